#include "db/LexSaveInfo.h"

#include <climits>
#include <optional>

#include "base/SysEnv.h"
#include "db/LexProperty.h"
#include "db/LexSheet.h"
#include "db/ResourceSettings.h"

namespace {

// At least `width` digits, zero-padded; negative numbers keep their sign in front.
void appendPadded(std::string& out, long long v, int width) {
    std::string digits = std::to_string(v < 0 ? -v : v);
    if (v < 0) out.push_back('-');
    for (int i = static_cast<int>(digits.size()); i < width; ++i)
        out.push_back('0');
    out += digits;
}

bool startsWith(std::string_view text, std::size_t pos, std::string_view what) {
    return text.substr(pos, what.size()) == what;
}

// Sets a scope-0 property: a new one is appended; an existing one changes only when replace.
int putProperty(LexSheet& sheet, std::string_view name, std::optional<std::string_view> value,
                bool replace) {
    LexProperty* p = findPropertyQuiet(sheet.properties(), name, 0);
    if (p != nullptr) return replace ? setPropertyValue(*p, value) : 1;
    std::unique_ptr<LexProperty> created = createProperty(name, value, false);
    if (!created) return 0;
    return addProperty(sheet.properties(), created, 0);
}

// Reads a decimal integer as atoi does (leading blanks, sign, digits), saturating at the int
// limits; text without digits reads as 0.
long long leadingInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        v = v * 10 + (text[i++] - '0');
        if (v > INT_MAX) {
            v = static_cast<long long>(INT_MAX) + 1;
            break;
        }
    }
    v = negative ? -v : v;
    if (v > INT_MAX) v = INT_MAX;
    return v;
}

}  // namespace

std::string lexVersionLine(const std::tm& t) {
    std::string line = "$Version 1.100 ";
    appendPadded(line, t.tm_mon + 1, 2);
    line.push_back('/');
    appendPadded(line, t.tm_mday, 2);
    line.push_back(' ');
    appendPadded(line, t.tm_hour, 2);
    line.push_back(':');
    appendPadded(line, t.tm_min, 2);
    line.push_back(':');
    appendPadded(line, t.tm_sec, 2);
    line.push_back(' ');
    line += std::to_string(static_cast<long long>(t.tm_year) + 1900);
    return line;
}

std::string formatSaveDate(std::string_view pattern, const std::tm& t) {
    if (pattern.empty()) pattern = "YYYY/MM/DD";
    long long year = static_cast<long long>(t.tm_year) + 1900;
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        if (startsWith(pattern, i, "YYYY")) {
            appendPadded(out, year, 4);
            i += 4;
        } else if (startsWith(pattern, i, "YY")) {
            appendPadded(out, ((year % 100) + 100) % 100, 2);
            i += 2;
        } else if (startsWith(pattern, i, "MM")) {
            appendPadded(out, t.tm_mon + 1, 2);
            i += 2;
        } else if (startsWith(pattern, i, "DD")) {
            appendPadded(out, t.tm_mday, 2);
            i += 2;
        } else {
            out.push_back(pattern[i++]);
        }
    }
    return out;
}

std::string formatSaveTime(std::string_view pattern, const std::tm& t) {
    if (pattern.empty()) pattern = "HH:MM:SS";
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        if (startsWith(pattern, i, "HH")) {
            appendPadded(out, t.tm_hour, 2);
            i += 2;
        } else if (startsWith(pattern, i, "MM")) {
            appendPadded(out, t.tm_min, 2);
            i += 2;
        } else if (startsWith(pattern, i, "SS")) {
            appendPadded(out, t.tm_sec, 2);
            i += 2;
        } else {
            out.push_back(pattern[i++]);
        }
    }
    return out;
}

std::string lexDatePattern(const LexEnvironment* env) {
    if (env != nullptr) return env->datePattern();
    const char* v = getSysEnv("QRX_DATE_FORMAT");
    return v != nullptr ? std::string(v) : std::string("YY/MM/DD");
}

std::string lexTimePattern(const LexEnvironment* env) {
    if (env != nullptr) return env->timePattern();
    const char* v = getSysEnv("QRX_TIME_FORMAT");
    return v != nullptr ? std::string(v) : std::string("HH:MM:SS");
}

int updateSaveInformation(LexSheet& sheet, std::string_view userName, std::string_view date,
                          std::string_view time) {
    std::optional<std::string_view> user;
    if (!userName.empty()) user = userName;
    int ok = putProperty(sheet, "author", user, false);
    ok &= putProperty(sheet, "date", date, false);
    ok &= putProperty(sheet, "time", time, false);
    ok &= putProperty(sheet, "updateUser", user, true);
    ok &= putProperty(sheet, "updateDate", date, true);
    ok &= putProperty(sheet, "updateTime", time, true);
    return ok;
}

int updateSaveCount(LexSheet& sheet) {
    LexProperty* p = findPropertyQuiet(sheet.properties(), "saveCount", 0);
    if (p == nullptr) return putProperty(sheet, "saveCount", "1", true);
    long long old = p->value() != nullptr ? leadingInteger(*p->value()) : 0;
    long long next = old < INT_MAX ? old + 1 : INT_MAX;
    return setPropertyValue(*p, std::to_string(next));
}
