#include "db/ResourceSettings.h"

#include <cmath>
#include <exception>
#include <limits>
#include <utility>

#include "base/PathUtil.h"
#include "base/StringUtil.h"
#include "base/SysEnv.h"
#include "db/SettingsLexer.h"
#include "db/SettingsReader.h"

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

// Settings files larger than this are refused rather than read into memory.
constexpr std::size_t kMaxFileSize = std::size_t{64} << 20;

// A switch of the environment: on when the variable is set to a non-empty value.
bool environmentSwitch(const char* name) {
    const char* v = getSysEnv(name);
    return v != nullptr && v[0] != '\0';
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// ResourceSettings

ResourceSettings::ResourceSettings(const SettingsKeySet& keys) : keys_(keys) {
    scalars_.resize(static_cast<std::size_t>(keys.scalarSlots()));
    tables_.reserve(keys.tableColumns().size());
    for (int columns : keys.tableColumns())
        tables_.emplace_back(columns);
}

ResourceSettings::~ResourceSettings() = default;

int ResourceSettings::read(std::string_view text) {
    failedLine_ = 0;
    try {
        if (!readSettingsStatements(*this, text)) return 0;
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
    const SettingsKey* rule = keys_.find(key);
    if (rule == nullptr) return nullptr;
    if (rule->form == SettingsForm::Table) return &tables_[static_cast<std::size_t>(rule->slot)];
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
std::int32_t DatabaseSettings::textCharHeight(int index) const {
    return unitsOf(table(kDbTextTable).number(index, 1));
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
    const std::string& level = scalar(kDbSheetNetErrorLevel).text;
    return level.size() == 4 && compareNoCase(level, "Hard") == 0 ? 1 : 0;
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
