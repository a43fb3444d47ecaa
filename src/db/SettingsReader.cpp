#include "db/SettingsReader.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <utility>

#include "base/Language.h"
#include "base/StringUtil.h"
#include "db/ResourceSettings.h"
#include "db/SettingsLexer.h"

namespace {

// Numbers and characters are taken from the first 36 bytes of their word.
constexpr std::size_t kNumberPrefix = 36;
// A string value of this many bytes or more makes its statement invalid.
constexpr std::size_t kMaxString = 1024;
// Column counts accepted for tables kept without a known layout.
constexpr int kMaxKeptColumns = 64;

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

using Check = SettingsCheck;
using Form = SettingsForm;

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

}  // namespace

// Reads statement after statement, storing each value straight into the slot its key names (the
// reader is a friend of ResourceSettings).
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
                    const SettingsKey* rule = s_.keys_.find(t.text);
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

    bool statement(const SettingsKey& rule) {
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

    bool applyScalar(const SettingsKey& rule, const std::string& value) {
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
                for (const SettingsName& name : rule.names) {
                    if (equalsNoCase(value, name.name)) {
                        sc->integer = name.value;
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

    bool table(const SettingsKey& rule, SettingsToken t) {
        if (t.kind != SettingsTokenKind::ColumnCount) return fail(t);
        long long columns = 0;
        if (!parseInteger(t.text, &columns)) return fail(t);
        if (rule.form == Form::Table ? columns != rule.columnCount()
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

    bool addRow(const SettingsKey& rule, SettingsTable& table,
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

int readSettingsStatements(ResourceSettings& settings, std::string_view text) {
    SettingsReader reader(settings, text);
    return reader.run();
}
