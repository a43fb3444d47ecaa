#include "db/ResourceSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <utility>

#include "base/Language.h"
#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"
#include "db/SettingsLexer.h"

// ---------------------------------------------------------------------------------------------
// Numbers and units

int roundToUnits(double value, std::int32_t* units) {
    if (!std::isfinite(value)) return 0;
    double r = value >= 0.0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5);
    if (r < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return 0;
    }
    if (units != nullptr) *units = static_cast<std::int32_t>(r);
    return 1;
}

int millimetresToUnits(double mm, std::int32_t* units) {
    if (!std::isfinite(mm)) return 0;
    return roundToUnits(mm * 1000.0, units);
}

namespace {

// Numbers and characters are taken from the first 36 bytes of their word.
constexpr std::size_t kNumberPrefix = 36;
// A string value of this many bytes or more makes its statement invalid.
constexpr std::size_t kMaxString = 1024;
// Column counts accepted for tables kept without a known layout.
constexpr int kMaxKeptColumns = 64;
// Settings files larger than this are refused rather than read into memory.
constexpr std::size_t kMaxFileSize = std::size_t{64} << 20;

std::string_view numberPart(std::string_view word) {
    return word.substr(0, kNumberPrefix);
}

// A decimal integer with an optional sign, the whole word; false for anything else or when it
// does not fit 64 bits.
bool parseInteger(std::string_view word, long long* out) {
    word = numberPart(word);
    bool negative = false;
    if (!word.empty() && (word[0] == '+' || word[0] == '-')) {
        negative = word[0] == '-';
        word.remove_prefix(1);
    }
    if (word.empty() || word[0] < '0' || word[0] > '9') return false;
    unsigned long long v = 0;
    auto [ptr, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (ec != std::errc() || ptr != word.data() + word.size()) return false;
    if (v > static_cast<unsigned long long>(std::numeric_limits<long long>::max())) return false;
    *out = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
    return true;
}

// A decimal fraction with an optional sign and exponent, the whole word, finite.
bool parseReal(std::string_view word, double* out) {
    word = numberPart(word);
    if (!word.empty() && word[0] == '+') word.remove_prefix(1);
    std::string_view digits = word;
    if (!digits.empty() && digits[0] == '-') digits.remove_prefix(1);
    if (digits.empty() || !((digits[0] >= '0' && digits[0] <= '9') || digits[0] == '.')) {
        return false;
    }
    double v = 0.0;
    auto [ptr, ec] =
        std::from_chars(word.data(), word.data() + word.size(), v, std::chars_format::general);
    if (ec != std::errc() || ptr != word.data() + word.size() || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

// The first character of a word: one byte, or two for a double-byte character.
std::string firstCharacter(std::string_view word) {
    if (word.empty()) return {};
    unsigned char c = static_cast<unsigned char>(word[0]);
    std::size_t n = (c >= 128 && word.size() >= 2 && isLeadByte(c, charsetKind())) ? 2 : 1;
    return std::string(word.substr(0, n));
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && compareNoCase(a, b) == 0;
}

// How one value (of a scalar or of a table column) is checked and stored.
enum class Check {
    Int,           // non-negative, fits 32 bits
    Byte,          // 0 to 255
    UInt16,        // 0 to 65535
    FillKind,      // 0 to 2
    Real,          // any finite value
    Length,        // non-negative, in database units, fits 32 bits once rounded
    Mm,            // millimetres that fit 32 bits in database units
    PositiveMm,    // millimetres, at least one database unit
    ZonePitch,     // millimetres; a value that is not positive counts as 1.0
    PositiveReal,  // greater than 0
    String,        // shorter than 1024 bytes
    Pattern,       // a string; an empty one leaves the setting as it was
};

// Checks one word; fills number (numeric checks) and text. false when the value is invalid.
bool checkValue(Check check, const std::string& word, SettingsCell* cell) {
    cell->text = word;
    cell->number = 0.0;
    long long i = 0;
    double d = 0.0;
    std::int32_t units = 0;
    switch (check) {
        case Check::Int:
        case Check::Byte:
        case Check::UInt16:
        case Check::FillKind: {
            if (!parseInteger(word, &i) || i < 0) return false;
            long long limit = check == Check::Byte       ? 255
                              : check == Check::UInt16   ? 65535
                              : check == Check::FillKind ? 2
                                                         : std::numeric_limits<std::int32_t>::max();
            if (i > limit) return false;
            cell->number = static_cast<double>(i);
            return true;
        }
        case Check::Real:
            if (!parseReal(word, &d)) return false;
            cell->number = d;
            return true;
        case Check::Length:
            if (!parseReal(word, &d) || d < 0.0 || !roundToUnits(d, &units)) return false;
            cell->number = d;
            return true;
        case Check::Mm:
            if (!parseReal(word, &d) || !millimetresToUnits(d, &units)) return false;
            cell->number = d;
            return true;
        case Check::PositiveMm:
            if (!parseReal(word, &d) || !millimetresToUnits(d, &units) || units <= 0) return false;
            cell->number = d;
            return true;
        case Check::ZonePitch:
            if (!parseReal(word, &d)) return false;
            if (!(d > 0.0)) d = 1.0;
            if (!millimetresToUnits(d, &units) || units <= 0) return false;
            cell->number = d;
            return true;
        case Check::PositiveReal:
            if (!parseReal(word, &d) || !(d > 0.0)) return false;
            cell->number = d;
            return true;
        case Check::String:
        case Check::Pattern:
            return word.size() < kMaxString;
    }
    return false;
}

struct EnumName {
    const char* name;
    int value;
};

constexpr EnumName kJustifications[] = {
    {"lowerLeft", 0},  {"lowerCenter", 1},  {"lowerRight", 2},
    {"centerLeft", 4}, {"centerCenter", 5}, {"centerRight", 6},
    {"upperLeft", 8},  {"upperCenter", 9},  {"upperRight", 10},
};
constexpr EnumName kZoneOrigins[] = {
    {"DownLeft", kZoneDownLeft},
    {"DownRight", kZoneDownRight},
    {"UpLeft", kZoneUpLeft},
    {"UpRight", kZoneUpRight},
};
constexpr EnumName kZoneOffsetModes[] = {
    {"Off", kZoneOffsetOff},
    {"CenterEnd", kZoneOffsetCenterEnd},
    {"CenterCross", kZoneOffsetCenterCross},
};

template <std::size_t N>
constexpr std::pair<const EnumName*, int> names(const EnumName (&a)[N]) {
    return {a, static_cast<int>(N)};
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Key tables

struct ResourceSettings::KeyRule {
    const char* key;
    Form form;
    int slot = -1;  // scalar or table slot; -1 for kept keys
    Check check = Check::String;
    const Check* columns = nullptr;  // table columns after the index
    int columnCount = 0;             // the index included
    const EnumName* names = nullptr;
    int nameCount = 0;
};

struct ResourceSettings::KeySet {
    std::vector<KeyRule> rules;  // sorted by key
    int scalarSlots = 0;
    int tableSlots = 0;
    std::vector<int> tableColumns;  // column count of each table slot

    KeySet(std::vector<KeyRule> r) : rules(std::move(r)) {
        std::sort(rules.begin(), rules.end(),
                  [](const KeyRule& a, const KeyRule& b) { return std::strcmp(a.key, b.key) < 0; });
        for (const KeyRule& k : rules) {
            if (k.form == Form::Table) {
                tableSlots = std::max(tableSlots, k.slot + 1);
            } else if (k.form != Form::Kept) {
                scalarSlots = std::max(scalarSlots, k.slot + 1);
            }
        }
        tableColumns.assign(static_cast<std::size_t>(tableSlots), 0);
        for (const KeyRule& k : rules) {
            if (k.form == Form::Table)
                tableColumns[static_cast<std::size_t>(k.slot)] = k.columnCount;
        }
    }

    const KeyRule* find(std::string_view key) const {
        auto it = std::lower_bound(rules.begin(), rules.end(), key,
                                   [](const KeyRule& r, std::string_view k) { return r.key < k; });
        if (it == rules.end() || std::string_view(it->key) != key) return nullptr;
        return &*it;
    }
};

namespace {

using Form = ResourceSettings::Form;
using KeyRule = ResourceSettings::KeyRule;

KeyRule scalarRule(const char* key, Form form, int slot, Check check = Check::String) {
    KeyRule r{key, form};
    r.slot = slot;
    r.check = check;
    return r;
}

template <std::size_t N>
KeyRule tableRule(const char* key, int slot, const Check (&columns)[N]) {
    KeyRule r{key, Form::Table};
    r.slot = slot;
    r.columns = columns;
    r.columnCount = static_cast<int>(N) + 1;
    return r;
}

KeyRule named(const char* key, int slot, std::pair<const EnumName*, int> n) {
    KeyRule r{key, Form::Name};
    r.slot = slot;
    r.names = n.first;
    r.nameCount = n.second;
    return r;
}

KeyRule kept(const char* key) {
    return KeyRule{key, Form::Kept};
}

// Table layouts (the columns after the index).
constexpr Check kColorColumns[] = {Check::Byte, Check::Byte, Check::Byte, Check::String};
constexpr Check kLineWidthColumns[] = {Check::Length};
constexpr Check kLineStyleColumns[] = {Check::Length, Check::Length, Check::Length, Check::Length};
constexpr Check kFillStyleColumns[] = {Check::FillKind, Check::Real, Check::Length};
constexpr Check kTextColumns[] = {Check::Length, Check::Length, Check::Length, Check::Length};
constexpr Check kPrecisionColumns[] = {Check::String, Check::PositiveReal, Check::Real};
constexpr Check kPathColumns[] = {Check::String};
constexpr Check kGridColumns[] = {Check::UInt16, Check::UInt16, Check::PositiveMm,
                                  Check::PositiveMm};
constexpr Check kSymSheetColumns[] = {Check::String, Check::Mm, Check::Mm, Check::Mm, Check::Mm};
constexpr Check kSchSheetColumns[] = {Check::String, Check::Mm,     Check::Mm,    Check::Mm,
                                      Check::Mm,     Check::UInt16, Check::String};
constexpr Check kSheetAttrColumns[] = {Check::String, Check::String};

// Slots of the database settings.
enum DbScalar {
    kDbDefaultFirst = 0,  // the 25 defaults in the order of SettingsDefault
    kDbPrecisionTblNo = kDbDefaultFirst + kSettingsDefaultCount,
    kDbNlogicStartChar,
    kDbNlogicEndChar,
    kDbBusStartChar,
    kDbBusEndChar,
    kDbBitEndChar,
    kDbRangeEndChar,
    kDbRangeStepChar,
    kDbNodeSize,
    kDbCornerRadius,
    kDbDateFormat,
    kDbTimeFormat,
    kDbSimpleArray,
    kDbSheetNetErrorLevel,
};
enum DbTable {
    kDbColorTable,
    kDbTextTable,
    kDbLineWidth,
    kDbLineStyleTable,
    kDbFillStyleTable,
    kDbPrecisionTable,
    kDbSymbPathTable,
    kDbContPathTable,
    kDbLcdbPathTable,
};

struct DefaultKey {
    const char* key;
    int builtIn;
    int table;  // the table the index points into
};
// In the order of SettingsDefault.
constexpr DefaultKey kDefaultKeys[kSettingsDefaultCount] = {
    {"defaultCompColor", -1, kDbColorTable},
    {"defaultFrameColor", 0, kDbColorTable},
    {"defaultNetColor", 0, kDbColorTable},
    {"defaultBusColor", 0, kDbColorTable},
    {"defaultLineColor", 0, kDbColorTable},
    {"defaultCircleColor", 0, kDbColorTable},
    {"defaultTextColor", 0, kDbColorTable},
    {"defaultPropertyColor", 0, kDbColorTable},
    {"defaultSymbSheetColor", 0, kDbColorTable},
    {"defaultSchmSheetColor", 0, kDbColorTable},
    {"defaultSymbFrameColor", 13, kDbColorTable},
    {"defaultLineWidth", 0, kDbLineWidth},
    {"defaultFrameLineWidth", 0, kDbLineWidth},
    {"defaultNetLineWidth", 0, kDbLineWidth},
    {"defaultBusLineWidth", 0, kDbLineWidth},
    {"defaultCircleLineWidth", 0, kDbLineWidth},
    {"defaultLineStyle", 0, kDbLineStyleTable},
    {"defaultFrameLineStyle", 0, kDbLineStyleTable},
    {"defaultNetLineStyle", 0, kDbLineStyleTable},
    {"defaultBusLineStyle", 0, kDbLineStyleTable},
    {"defaultCircleLineStyle", 0, kDbLineStyleTable},
    {"defaultFillStyle", 0, kDbFillStyleTable},
    {"defaultCircleFillStyle", 0, kDbFillStyleTable},
    {"defaultTextFont", 0, kDbTextTable},
    {"defaultPropertyFont", 0, kDbTextTable},
};

const ResourceSettings::KeySet& databaseKeys() {
    static const ResourceSettings::KeySet keys = [] {
        std::vector<KeyRule> r = {
            tableRule("precisionTable", kDbPrecisionTable, kPrecisionColumns),
            scalarRule("precisionTblNo", Form::Integer, kDbPrecisionTblNo, Check::Int),
            scalarRule("nlogicStartChar", Form::Character, kDbNlogicStartChar),
            scalarRule("nlogicEndChar", Form::Character, kDbNlogicEndChar),
            scalarRule("busStartChar", Form::Character, kDbBusStartChar),
            scalarRule("busEndChar", Form::Character, kDbBusEndChar),
            scalarRule("bitEndChar", Form::Character, kDbBitEndChar),
            scalarRule("rangeEndChar", Form::Character, kDbRangeEndChar),
            scalarRule("rangeStepChar", Form::Character, kDbRangeStepChar),
            scalarRule("nodeSize", Form::Real, kDbNodeSize, Check::Real),
            scalarRule("cornerRadius", Form::Real, kDbCornerRadius, Check::Real),
            tableRule("colorTable", kDbColorTable, kColorColumns),
            tableRule("textTable", kDbTextTable, kTextColumns),
            tableRule("lineWidth", kDbLineWidth, kLineWidthColumns),
            tableRule("lineStyleTable", kDbLineStyleTable, kLineStyleColumns),
            tableRule("fillStyleTable", kDbFillStyleTable, kFillStyleColumns),
            tableRule("symbPathTable", kDbSymbPathTable, kPathColumns),
            tableRule("contPathTable", kDbContPathTable, kPathColumns),
            tableRule("lcdbPathTable", kDbLcdbPathTable, kPathColumns),
            scalarRule("dateFormat", Form::String, kDbDateFormat, Check::Pattern),
            scalarRule("timeFormat", Form::String, kDbTimeFormat, Check::Pattern),
            scalarRule("simpleArray", Form::Flag, kDbSimpleArray),
            scalarRule("sheetNetErrorLevel", Form::String, kDbSheetNetErrorLevel),
        };
        for (int i = 0; i < kSettingsDefaultCount; ++i) {
            r.push_back(
                scalarRule(kDefaultKeys[i].key, Form::Integer, kDbDefaultFirst + i, Check::Int));
        }
        for (const char* k : {"dataTrap",
                              "propDispNum",
                              "contentsViewer",
                              "contentsFrameIsVisible",
                              "contentsUnvisibleCmpType",
                              "vmarkFlag",
                              "vmarkStr",
                              "vmarkPname",
                              "noMountAliasName",
                              "noMountAliasValue",
                              "noMountDispStyle",
                              "busNSimpleDispFlag",
                              "busNSimpleDispSepChar",
                              "busNSimpleDispCrownChar",
                              "useBusAliasFlag",
                              "createNetLabelFromDefRef",
                              "overwritePortMode",
                              "nplNoMountCompDispStyle",
                              "nplNoMountCompAliasName",
                              "nplNoMountCompAliasValue"}) {
            r.push_back(kept(k));
        }
        return ResourceSettings::KeySet(std::move(r));
    }();
    return keys;
}

// Slots of the environment settings.
enum EnvScalar {
    kEnvGridColor,
    kEnvSymSheetSizeColor,
    kEnvSchSheetSizeColor,
    kEnvZonePitchX,
    kEnvZonePitchY,
    kEnvZoneStartTextX,
    kEnvZoneStartTextY,
    kEnvZoneOrigin,
    kEnvZoneDispFlag,
    kEnvZoneOffsetX,
    kEnvZoneOffsetY,
    kEnvZoneOffsetMode,
    kEnvTextJustify,
    kEnvPvJustify,
    kEnvZipText,
    kEnvDoNotSelectUnvisiblePbox,
};
enum EnvTable {
    kEnvGridTable,
    kEnvSymSheetSizeTable,
    kEnvSchSheetSizeTable,
    kEnvSchSheetAttrTable,
};

const ResourceSettings::KeySet& environmentKeys() {
    static const ResourceSettings::KeySet keys = [] {
        std::vector<KeyRule> r = {
            tableRule("gridTable", kEnvGridTable, kGridColumns),
            scalarRule("gridColor", Form::Integer, kEnvGridColor, Check::Int),
            tableRule("symSheetSizeTable", kEnvSymSheetSizeTable, kSymSheetColumns),
            tableRule("schSheetSizeTable", kEnvSchSheetSizeTable, kSchSheetColumns),
            tableRule("schSheetAttrTable", kEnvSchSheetAttrTable, kSheetAttrColumns),
            scalarRule("symSheetSizeColor", Form::Integer, kEnvSymSheetSizeColor, Check::Int),
            scalarRule("schSheetSizeColor", Form::Integer, kEnvSchSheetSizeColor, Check::Int),
            scalarRule("zonePitchX", Form::Real, kEnvZonePitchX, Check::ZonePitch),
            scalarRule("zonePitchY", Form::Real, kEnvZonePitchY, Check::ZonePitch),
            scalarRule("zoneStartTextX", Form::Character, kEnvZoneStartTextX),
            scalarRule("zoneStartTextY", Form::Character, kEnvZoneStartTextY),
            named("zoneOrigin", kEnvZoneOrigin, names(kZoneOrigins)),
            scalarRule("zoneDispFlag", Form::Flag, kEnvZoneDispFlag),
            scalarRule("zoneOffsetX", Form::Real, kEnvZoneOffsetX, Check::Mm),
            scalarRule("zoneOffsetY", Form::Real, kEnvZoneOffsetY, Check::Mm),
            named("zoneOffsetMode", kEnvZoneOffsetMode, names(kZoneOffsetModes)),
            named("textJustify", kEnvTextJustify, names(kJustifications)),
            named("pvJustify", kEnvPvJustify, names(kJustifications)),
            scalarRule("zipText", Form::Flag, kEnvZipText),
            scalarRule("doNotSelectUnvisiblePbox", Form::Flag, kEnvDoNotSelectUnvisiblePbox),
        };
        for (const char* k : {"dProject",
                              "screenTrap",
                              "panRatio",
                              "zoomRatio",
                              "adjustRatio",
                              "cursorType",
                              "cursorColor",
                              "rotateRatio",
                              "dFocus",
                              "areaMode",
                              "roundRectCornerRadius",
                              "inputGrid",
                              "echoGrid",
                              "gridHighlightColor",
                              "symSheetDispFlag",
                              "schSheetDispFlag",
                              "symbolPath",
                              "cScale",
                              "cPvScaleFlag",
                              "cAngle",
                              "cSearchFlag",
                              "cCutinFlag",
                              "netInputMode",
                              "nSearchFlag",
                              "busInputMode",
                              "bSearchFlag",
                              "netTheta",
                              "slide",
                              "mvSearchFlag",
                              "mvPvGridFlag",
                              "cpSearchFlag",
                              "mcpSearchFlag",
                              "pasteSearchFlag",
                              "deleteWithNet",
                              "cbufWithNetLabel",
                              "cbufWithReference",
                              "ripperStyle",
                              "ripperDir",
                              "pvAngle",
                              "pvDispMode",
                              "pvOffsetFromObjX",
                              "pvOffsetFromObjY",
                              "lineInputMode",
                              "lineTheta",
                              "circleInputMode",
                              "circleRadius",
                              "textAngle",
                              "sPinDispFlag",
                              "compIDDispFlag",
                              "netIDDispFlag",
                              "cPinIDDispFlag",
                              "sPinIDDispFlag",
                              "pvIDDispFlag",
                              "backupTime",
                              "undoLimit",
                              "logfile",
                              "openCheckMarkColor",
                              "openCheckMarkFlag",
                              "liftPointCPin",
                              "dispRoute",
                              "measureColor",
                              "measureFontForUNIX",
                              "measureFontForWIN",
                              "measureDisp",
                              "measurePos",
                              "netDupCheck",
                              "swapSConnMode",
                              "swapSDisconnChgPin",
                              "cpNetLabelIncrement",
                              "dynamicScroll",
                              "chgNetLabelScope",
                              "chgNetLabelDispFlag",
                              "chgNetLabelAutoRefMode",
                              "chgNetLabelListHeightSize",
                              "chgNetLabelViewSelectBusLabel",
                              "selectNetDialogBootMode",
                              "cpsSelectMode",
                              "cpsSearchMode",
                              "UnloadedSymbolCheck",
                              "UpdatedSymbolCheckFlag",
                              "symbDefaultcompType",
                              "saveAreaFlag",
                              "BlockCheckTiming",
                              "moveSignMode",
                              "dynPanFlag",
                              "autoSaveRuleCheck",
                              "autoSaveReload",
                              "autoSaveReloadKeyName",
                              "autoSaveReloadRscFile"}) {
            r.push_back(kept(k));
        }
        return ResourceSettings::KeySet(std::move(r));
    }();
    return keys;
}

// A switch of the environment: on when the variable is set to a non-empty value.
bool environmentSwitch(const char* name) {
    const char* v = getSysEnv(name);
    return v != nullptr && v[0] != '\0';
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The reader

class SettingsReader {
public:
    SettingsReader(ResourceSettings& settings, std::string_view text) : s_(settings), lex_(text) {}

    // 1 when the end of the text was reached, 0 at the first invalid statement.
    int run() {
        for (;;) {
            SettingsToken t = lex_.next();
            switch (t.kind) {
                case SettingsTokenKind::End:
                    return 1;
                case SettingsTokenKind::Error:
                    return fail(t);
                case SettingsTokenKind::Key: {
                    const ResourceSettings::KeyRule* rule = s_.keys_.find(t.text);
                    if (rule == nullptr) break;  // unknown keys are passed over token by token
                    if (!statement(*rule)) return 0;
                    break;
                }
                default:
                    break;
            }
        }
    }

private:
    int fail(const SettingsToken& t) {
        s_.failedLine_ = t.line > 0 ? t.line : 1;
        return 0;
    }

    bool statement(const ResourceSettings::KeyRule& rule) {
        SettingsToken t = lex_.next();
        if (rule.form == Form::Table) return table(rule, t);
        if (rule.form == Form::Kept && t.kind == SettingsTokenKind::ColumnCount) {
            return table(rule, t);
        }
        if (t.kind != SettingsTokenKind::Colon) return fail(t);
        std::string value;
        t = lex_.next();
        if (t.kind == SettingsTokenKind::Value) {
            value = std::move(t.text);
        } else if (t.kind == SettingsTokenKind::LParen &&
                   (rule.form == Form::String || rule.form == Form::Kept)) {
            // A parenthesised list is kept as its words joined by one blank.
            bool first = true;
            for (;;) {
                t = lex_.next();
                if (t.kind == SettingsTokenKind::RParen) break;
                if (t.kind != SettingsTokenKind::Value) return fail(t);
                if (!first) value.push_back(' ');
                value += t.text;
                first = false;
                if (value.size() >= kMaxString) return fail(t);
            }
        } else {
            return fail(t);
        }
        if (!applyScalar(rule, value)) return fail(t);
        return true;
    }

    bool applyScalar(const ResourceSettings::KeyRule& rule, const std::string& value) {
        ResourceSettings::Scalar* sc = rule.slot >= 0 ? &s_.scalar(rule.slot) : nullptr;
        SettingsCell cell;
        switch (rule.form) {
            case Form::Flag:
                if (equalsNoCase(value, "On")) {
                    sc->integer = 1;
                } else if (equalsNoCase(value, "Off")) {
                    sc->integer = 0;
                }
                break;
            case Form::Integer:
                if (!checkValue(rule.check, value, &cell)) return false;
                sc->integer = static_cast<long long>(cell.number);
                break;
            case Form::Real:
                if (!checkValue(rule.check, value, &cell)) return false;
                sc->real = cell.number;
                break;
            case Form::Character:
                sc->text = firstCharacter(numberPart(value));
                break;
            case Form::Name:
                for (int i = 0; i < rule.nameCount; ++i) {
                    if (equalsNoCase(value, rule.names[i].name)) {
                        sc->integer = rule.names[i].value;
                        break;
                    }
                }
                break;
            case Form::String:
            case Form::Kept:
                if (value.size() >= kMaxString) return false;
                if (sc != nullptr && !(rule.check == Check::Pattern && value.empty())) {
                    sc->text = value;
                }
                break;
            case Form::Table:
                return false;
        }
        s_.written_[rule.key] = value;
        return true;
    }

    bool table(const ResourceSettings::KeyRule& rule, SettingsToken t) {
        if (t.kind != SettingsTokenKind::ColumnCount) return fail(t);
        long long columns = 0;
        if (!parseInteger(t.text, &columns)) return fail(t);
        if (rule.form == Form::Table ? columns != rule.columnCount
                                     : (columns < 1 || columns > kMaxKeptColumns)) {
            return fail(t);
        }
        t = lex_.next();
        if (t.kind != SettingsTokenKind::Open) return fail(t);
        SettingsTable result(static_cast<int>(columns));
        std::vector<std::string> row;
        row.reserve(static_cast<std::size_t>(columns));
        for (;;) {
            t = lex_.next();
            if (t.kind == SettingsTokenKind::Close) {
                if (!row.empty()) return fail(t);  // a row cut short
                break;
            }
            if (t.kind != SettingsTokenKind::Value) return fail(t);
            row.push_back(std::move(t.text));
            if (row.size() == static_cast<std::size_t>(columns)) {
                if (!addRow(rule, result, row)) return fail(t);
                row.clear();
            }
        }
        if (rule.form == Form::Table) {
            s_.tables_[static_cast<std::size_t>(rule.slot)] = std::move(result);
        } else {
            s_.keptTables_[rule.key] = std::move(result);
        }
        return true;
    }

    bool addRow(const ResourceSettings::KeyRule& rule, SettingsTable& table,
                const std::vector<std::string>& row) {
        long long index = 0;
        if (!parseInteger(row[0], &index) || index < 0 || index >= SettingsTable::kMaxRows) {
            return false;
        }
        std::vector<SettingsCell> cells(row.size() - 1);
        for (std::size_t i = 1; i < row.size(); ++i) {
            Check check = rule.form == Form::Table ? rule.columns[i - 1] : Check::String;
            if (!checkValue(check, row[i], &cells[i - 1])) return false;
        }
        return table.setRow(static_cast<int>(index), std::move(cells)) != 0;
    }

    ResourceSettings& s_;
    SettingsLexer lex_;
};

// ---------------------------------------------------------------------------------------------
// ResourceSettings

ResourceSettings::ResourceSettings(const KeySet& keys) : keys_(keys) {
    scalars_.resize(static_cast<std::size_t>(keys.scalarSlots));
    tables_.reserve(keys.tableColumns.size());
    for (int columns : keys.tableColumns)
        tables_.emplace_back(columns);
}

ResourceSettings::~ResourceSettings() = default;

int ResourceSettings::read(std::string_view text) {
    failedLine_ = 0;
    try {
        SettingsReader reader(*this, text);
        if (!reader.run()) return 0;
        finishReading();
        return 1;
    } catch (const std::exception&) {
        if (failedLine_ == 0) failedLine_ = 1;
        return 0;
    }
}

int ResourceSettings::readFile(std::string_view path, int* error) {
    if (error != nullptr) *error = 0;
    try {
        path_ = std::string(path);
        std::string text;
        if (!readSettingsText(path_, kMaxFileSize, text, error)) return 0;
        return read(text);
    } catch (const std::exception&) {
        return 0;
    }
}

const std::string* ResourceSettings::valueOf(std::string_view key) const {
    auto it = written_.find(key);
    return it == written_.end() ? nullptr : &it->second;
}

const SettingsTable* ResourceSettings::tableOf(std::string_view key) const {
    const KeyRule* rule = keys_.find(key);
    if (rule == nullptr) return nullptr;
    if (rule->form == Form::Table) return &tables_[static_cast<std::size_t>(rule->slot)];
    auto it = keptTables_.find(key);
    return it == keptTables_.end() ? nullptr : &it->second;
}

// ---------------------------------------------------------------------------------------------
// DatabaseSettings

DatabaseSettings::DatabaseSettings(bool fromEnvironment) : ResourceSettings(databaseKeys()) {
    for (int i = 0; i < kSettingsDefaultCount; ++i) {
        scalar(kDbDefaultFirst + i).integer = kDefaultKeys[i].builtIn;
    }
    scalar(kDbNlogicStartChar).text = "~";
    scalar(kDbNlogicEndChar).text = "~";
    scalar(kDbBusStartChar).text = "[";
    scalar(kDbBusEndChar).text = "]";
    scalar(kDbBitEndChar).text = ",";
    scalar(kDbRangeEndChar).text = ":";
    scalar(kDbRangeStepChar).text = ";";
    scalar(kDbNodeSize).real = 1.0;
    scalar(kDbDateFormat).text = "YY/MM/DD";
    scalar(kDbTimeFormat).text = "HH:MM:SS";
    if (fromEnvironment) {
        if (const char* v = getSysEnv("QRX_DATE_FORMAT")) scalar(kDbDateFormat).text = v;
        if (const char* v = getSysEnv("QRX_TIME_FORMAT")) scalar(kDbTimeFormat).text = v;
        scalar(kDbSimpleArray).integer = environmentSwitch("QRX_SIMPLE_ARRAY") ? 1 : 0;
    }
}

void DatabaseSettings::finishReading() {
    // The defaults are checked only now, so that the order of the keys in a file does not matter.
    // Only values the file gave are checked: a built-in default stands as it is.
    for (int i = 0; i < kSettingsDefaultCount; ++i) {
        if (valueOf(kDefaultKeys[i].key) == nullptr) continue;
        long long& v = scalar(kDbDefaultFirst + i).integer;
        if (v >= table(kDefaultKeys[i].table).size()) v = 0;
    }
}

int DatabaseSettings::defaultIndex(SettingsDefault which) const {
    int i = static_cast<int>(which);
    if (i < 0 || i >= kSettingsDefaultCount) return 0;
    return static_cast<int>(scalar(kDbDefaultFirst + i).integer);
}

int DatabaseSettings::colorCount() const {
    return table(kDbColorTable).size();
}
bool DatabaseSettings::colorDefined(int index) const {
    return table(kDbColorTable).defined(index);
}
SettingsColor DatabaseSettings::color(int index) const {
    const SettingsTable& t = table(kDbColorTable);
    SettingsColor c;
    c.red = static_cast<int>(t.number(index, 0));
    c.green = static_cast<int>(t.number(index, 1));
    c.blue = static_cast<int>(t.number(index, 2));
    c.name = t.text(index, 3);
    return c;
}

namespace {
std::int32_t unitsOf(double v) {
    std::int32_t u = 0;
    roundToUnits(v, &u);
    return u;
}
std::int32_t mmUnitsOf(double v) {
    std::int32_t u = 0;
    millimetresToUnits(v, &u);
    return u;
}
}  // namespace

int DatabaseSettings::lineWidthCount() const {
    return table(kDbLineWidth).size();
}
bool DatabaseSettings::lineWidthDefined(int index) const {
    return table(kDbLineWidth).defined(index);
}
std::int32_t DatabaseSettings::lineWidth(int index) const {
    return unitsOf(table(kDbLineWidth).number(index, 0));
}

int DatabaseSettings::lineStyleCount() const {
    return table(kDbLineStyleTable).size();
}
LineStyleEntry DatabaseSettings::lineStyle(int index) const {
    const SettingsTable& t = table(kDbLineStyleTable);
    LineStyleEntry e;
    e.dash1 = unitsOf(t.number(index, 0));
    e.gap1 = unitsOf(t.number(index, 1));
    e.dash2 = unitsOf(t.number(index, 2));
    e.gap2 = unitsOf(t.number(index, 3));
    return e;
}

int DatabaseSettings::fillStyleCount() const {
    return table(kDbFillStyleTable).size();
}
FillStyleEntry DatabaseSettings::fillStyle(int index) const {
    const SettingsTable& t = table(kDbFillStyleTable);
    FillStyleEntry e;
    e.kind = static_cast<int>(t.number(index, 0));
    e.angle = t.number(index, 1);
    e.pitch = unitsOf(t.number(index, 2));
    return e;
}

int DatabaseSettings::textTableCount() const {
    return table(kDbTextTable).size();
}
bool DatabaseSettings::textEntryDefined(int index) const {
    return table(kDbTextTable).defined(index);
}
TextTableEntry DatabaseSettings::textEntry(int index) const {
    const SettingsTable& t = table(kDbTextTable);
    TextTableEntry e;
    e.charWidth = unitsOf(t.number(index, 0));
    e.charHeight = unitsOf(t.number(index, 1));
    e.charGap = unitsOf(t.number(index, 2));
    e.lineGap = unitsOf(t.number(index, 3));
    return e;
}

int DatabaseSettings::precisionCount() const {
    return table(kDbPrecisionTable).size();
}
PrecisionEntry DatabaseSettings::precision(int index) const {
    const SettingsTable& t = table(kDbPrecisionTable);
    PrecisionEntry e;
    e.name = t.text(index, 0);
    e.unitsPerMm = t.number(index, 1);
    e.ratio = t.number(index, 2);
    return e;
}
int DatabaseSettings::precisionTblNo() const {
    return static_cast<int>(scalar(kDbPrecisionTblNo).integer);
}

const std::string& DatabaseSettings::nlogicStartChar() const {
    return scalar(kDbNlogicStartChar).text;
}
const std::string& DatabaseSettings::nlogicEndChar() const {
    return scalar(kDbNlogicEndChar).text;
}
const std::string& DatabaseSettings::busStartChar() const {
    return scalar(kDbBusStartChar).text;
}
const std::string& DatabaseSettings::busEndChar() const {
    return scalar(kDbBusEndChar).text;
}
const std::string& DatabaseSettings::bitEndChar() const {
    return scalar(kDbBitEndChar).text;
}
const std::string& DatabaseSettings::rangeEndChar() const {
    return scalar(kDbRangeEndChar).text;
}
const std::string& DatabaseSettings::rangeStepChar() const {
    return scalar(kDbRangeStepChar).text;
}

double DatabaseSettings::nodeSize() const {
    return scalar(kDbNodeSize).real;
}
double DatabaseSettings::cornerRadius() const {
    return scalar(kDbCornerRadius).real;
}

const std::string& DatabaseSettings::datePattern() const {
    return scalar(kDbDateFormat).text;
}
const std::string& DatabaseSettings::timePattern() const {
    return scalar(kDbTimeFormat).text;
}

int DatabaseSettings::simpleArray() const {
    return static_cast<int>(scalar(kDbSimpleArray).integer);
}
int DatabaseSettings::sheetNetErrorHard() const {
    return equalsNoCase(scalar(kDbSheetNetErrorLevel).text, "Hard") ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// EnvironmentSettings

EnvironmentSettings::EnvironmentSettings(const DatabaseSettings* database, bool fromEnvironment)
    : ResourceSettings(environmentKeys()), database_(database) {
    scalar(kEnvZonePitchX).real = 1.0;
    scalar(kEnvZonePitchY).real = 1.0;
    scalar(kEnvZoneStartTextX).text = "1";
    scalar(kEnvZoneStartTextY).text = "A";
    if (fromEnvironment) {
        scalar(kEnvZipText).integer = environmentSwitch("QRX_ZIP_TEXT") ? 1 : 0;
        scalar(kEnvDoNotSelectUnvisiblePbox).integer =
            environmentSwitch("QRX_DO_NOT_SELECT_UNVISIBLE_PBOX") ? 1 : 0;
    }
}

int EnvironmentSettings::gridRowCount() const {
    return table(kEnvGridTable).size();
}
bool EnvironmentSettings::gridRowDefined(int index) const {
    return table(kEnvGridTable).defined(index);
}
GridRow EnvironmentSettings::gridRow(int index) const {
    const SettingsTable& t = table(kEnvGridTable);
    GridRow g;
    g.valueA = static_cast<int>(t.number(index, 0));
    g.valueB = static_cast<int>(t.number(index, 1));
    g.pitchX = mmUnitsOf(t.number(index, 2));
    g.pitchY = mmUnitsOf(t.number(index, 3));
    return g;
}
int EnvironmentSettings::gridColor() const {
    return static_cast<int>(scalar(kEnvGridColor).integer);
}

namespace {
SheetSizeEntry sheetSizeOf(const SettingsTable& t, int index, bool schematic) {
    SheetSizeEntry e;
    e.name = t.text(index, 0);
    e.x1 = mmUnitsOf(t.number(index, 1));
    e.y1 = mmUnitsOf(t.number(index, 2));
    e.x2 = mmUnitsOf(t.number(index, 3));
    e.y2 = mmUnitsOf(t.number(index, 4));
    if (schematic) {
        e.value = static_cast<int>(t.number(index, 5));
        e.secondName = t.text(index, 6);
    }
    return e;
}
}  // namespace

int EnvironmentSettings::symSheetSizeCount() const {
    return table(kEnvSymSheetSizeTable).size();
}
SheetSizeEntry EnvironmentSettings::symSheetSize(int index) const {
    return sheetSizeOf(table(kEnvSymSheetSizeTable), index, false);
}
int EnvironmentSettings::schSheetSizeCount() const {
    return table(kEnvSchSheetSizeTable).size();
}
SheetSizeEntry EnvironmentSettings::schSheetSize(int index) const {
    return sheetSizeOf(table(kEnvSchSheetSizeTable), index, true);
}
int EnvironmentSettings::symSheetSizeColor() const {
    return static_cast<int>(scalar(kEnvSymSheetSizeColor).integer);
}
int EnvironmentSettings::schSheetSizeColor() const {
    return static_cast<int>(scalar(kEnvSchSheetSizeColor).integer);
}

std::int32_t EnvironmentSettings::zonePitchX() const {
    return mmUnitsOf(scalar(kEnvZonePitchX).real);
}
std::int32_t EnvironmentSettings::zonePitchY() const {
    return mmUnitsOf(scalar(kEnvZonePitchY).real);
}
const std::string& EnvironmentSettings::zoneStartTextX() const {
    return scalar(kEnvZoneStartTextX).text;
}
const std::string& EnvironmentSettings::zoneStartTextY() const {
    return scalar(kEnvZoneStartTextY).text;
}
int EnvironmentSettings::zoneOrigin() const {
    return static_cast<int>(scalar(kEnvZoneOrigin).integer);
}
int EnvironmentSettings::zoneDispFlag() const {
    return static_cast<int>(scalar(kEnvZoneDispFlag).integer);
}
std::int32_t EnvironmentSettings::zoneOffsetX() const {
    return mmUnitsOf(scalar(kEnvZoneOffsetX).real);
}
std::int32_t EnvironmentSettings::zoneOffsetY() const {
    return mmUnitsOf(scalar(kEnvZoneOffsetY).real);
}
int EnvironmentSettings::zoneOffsetMode() const {
    return static_cast<int>(scalar(kEnvZoneOffsetMode).integer);
}
int EnvironmentSettings::textJustify() const {
    return static_cast<int>(scalar(kEnvTextJustify).integer);
}
int EnvironmentSettings::pvJustify() const {
    return static_cast<int>(scalar(kEnvPvJustify).integer);
}
int EnvironmentSettings::zipText() const {
    return static_cast<int>(scalar(kEnvZipText).integer);
}
int EnvironmentSettings::doNotSelectUnvisiblePbox() const {
    return static_cast<int>(scalar(kEnvDoNotSelectUnvisiblePbox).integer);
}

// ---------------------------------------------------------------------------------------------
// Opening

namespace {

// Checks the file against the open mode; mode 0 wants no file, modes 1 and 2 an accessible one.
bool modeAllows(std::string_view path, int mode) {
    switch (mode) {
        case kSettingsCreate:
            return !path.empty() && pathKind(path) == 0;
        case kSettingsUpdate:
            return !path.empty() && pathKind(path) >= 2 && testAccess(path, kAccessReadWrite);
        case kSettingsRead:
            return !path.empty() && pathKind(path) >= 2 && testAccess(path, kAccessRead);
        default:
            return false;
    }
}

template <typename T, typename Make>
std::unique_ptr<T> openSettings(std::string_view path, int mode, Status* status, Make make) {
    auto failed = [&](int code, int sysError = 0) {
        reportStatus(status, Status::failure(code, std::string(path), sysError));
        return nullptr;
    };
    try {
        if (!modeAllows(path, mode)) return failed(kSettingsRefused);
        std::unique_ptr<T> s = make(mode != kSettingsCreate);
        int error = 0;
        if (mode != kSettingsCreate && !s->readFile(path, &error)) {
            return failed(
                error != 0 || s->failedLine() == 0 ? kSettingsUnreadable : kSettingsInvalid, error);
        }
        reportStatus(status, Status::success());
        return s;
    } catch (const std::exception&) {
        return failed(kSettingsUnreadable);
    }
}

}  // namespace

std::unique_ptr<DatabaseSettings> openDatabaseSettings(std::string_view path, int mode,
                                                       Status* status) {
    return openSettings<DatabaseSettings>(path, mode, status, [](bool fromEnvironment) {
        return std::make_unique<DatabaseSettings>(fromEnvironment);
    });
}

std::unique_ptr<EnvironmentSettings> openEnvironmentSettings(std::string_view path, int mode,
                                                             const DatabaseSettings* database,
                                                             Status* status) {
    return openSettings<EnvironmentSettings>(path, mode, status, [database](bool fromEnvironment) {
        return std::make_unique<EnvironmentSettings>(database, fromEnvironment);
    });
}
