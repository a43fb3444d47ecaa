#include "base/StringUtil.h"

#include <locale.h>

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/ErrorRecord.h"
#include "base/Language.h"

namespace {

inline unsigned char upper(char c) {
    return static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
inline bool isNonZeroDigit(char c) {
    return c >= '1' && c <= '9';
}

int sign(long long v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

}  // namespace

int compareNoCase(const char* a, const char* b) {
    return compareNoCase(std::string_view(a ? a : ""), std::string_view(b ? b : ""));
}

int compareNoCase(std::string_view a, std::string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        int d = static_cast<int>(upper(a[i])) - static_cast<int>(upper(b[i]));
        if (d != 0) return d;
    }
    // The shorter text ends in a NUL, which compares below every other byte.
    if (a.size() > n) return upper(a[n]);
    if (b.size() > n) return -static_cast<int>(upper(b[n]));
    return 0;
}

int compareNames(const char* a, const char* b) {
    std::string_view x(a ? a : "");
    std::string_view y(b ? b : "");
    if (x.empty() || y.empty()) return sign(static_cast<long long>(!x.empty()) - !y.empty());

    auto split = [](std::string_view s, std::string_view* text, std::string_view* digits) {
        std::size_t end = s.size();
        while (end > 0 && isDigit(s[end - 1]))
            --end;
        *text = s.substr(0, end);
        *digits = s.substr(end);
    };
    std::string_view textA, digitsA, textB, digitsB;
    split(x, &textA, &digitsA);
    split(y, &textB, &digitsB);

    if (int c = textA.compare(textB)) return c;  // unsigned byte order, a prefix first
    double numA = digitsA.empty() ? 0.0 : std::atof(std::string(digitsA).c_str());
    double numB = digitsB.empty() ? 0.0 : std::atof(std::string(digitsB).c_str());
    if (numA < numB) return -1;
    if (numA > numB) return 1;
    return sign(static_cast<long long>(digitsA.size()) - static_cast<long long>(digitsB.size()));
}

int compareVersions(const char* a, const char* b) {
    const char* p = a ? a : "";
    const char* q = b ? b : "";
    for (;;) {
        if (isNonZeroDigit(*p) && isNonZeroDigit(*q)) {
            const char* runA = p;
            const char* runB = q;
            while (isDigit(*p))
                ++p;
            while (isDigit(*q))
                ++q;
            long long lenA = p - runA;
            long long lenB = q - runB;
            if (lenA != lenB) return sign(lenA - lenB);
            for (long long i = 0; i < lenA; ++i) {
                if (runA[i] != runB[i]) return runA[i] - runB[i];
            }
            bool dotA = *p == '.';
            bool dotB = *q == '.';
            if (dotA != dotB) return dotA ? 1 : -1;
            if (!dotA) continue;
            // Fractions compare digit by digit; the longer one is greater when the shared
            // digits are equal.
            ++p;
            ++q;
            while (isDigit(*p) && isDigit(*q)) {
                if (*p != *q) return *p - *q;
                ++p;
                ++q;
            }
            if (isDigit(*p)) return 1;
            if (isDigit(*q)) return -1;
            continue;
        }
        if (*p != *q) {
            return static_cast<int>(static_cast<unsigned char>(*p)) -
                   static_cast<int>(static_cast<unsigned char>(*q));
        }
        if (*p == '\0') return 0;
        ++p;
        ++q;
    }
}

// Numbers are written and read with the "C" conventions whatever the process's locale:
// to_chars formats as printf does in the "C" locale, and reading goes through a "C" locale
// object of its own.
void appendDouble(std::string& out, double v) {
    char buffer[40];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 10);
    if (r.ec == std::errc()) out.append(buffer, r.ptr);
}

std::string formatDouble(double v) {
    std::string out;
    appendDouble(out, v);
    return out;
}

void appendInt(std::string& out, long long v) {
    char buffer[24];
    char* end = buffer + sizeof buffer;
    char* p = end;
    // Work with the magnitude as unsigned so that the most negative value does not overflow.
    unsigned long long magnitude =
        v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (v < 0) *--p = '-';
    out.append(p, static_cast<std::size_t>(end - p));
}

std::string formatInt(long long v) {
    std::string out;
    appendInt(out, v);
    return out;
}

int readLong(const char* text, int base, long* out, const char** end) {
    const char* start = text ? text : "";
    char* stop = nullptr;
    long value = 0;
    if (base == 0 || (base >= 2 && base <= 36)) {
        value = std::strtol(start, &stop, base);
    } else {
        stop = const_cast<char*>(start);
    }
    if (end) *end = stop;
    if (stop == start) {
        if (out) *out = 0;
        recordError(515, kSeverityMinor);
        return 0;
    }
    if (out) *out = value;
    return 1;
}

#if defined(_WIN32)
namespace {

// strtod in the "C" numeric conventions. The mingw runtime's strtod rounds correctly, as glibc's
// does, but reads the decimal separator of the process's numeric locale: when that is not ".",
// the number is handed over with its "." turned into that separator.
double strtodInC(const char* start, char** stop) {
    const lconv* numeric = std::localeconv();
    const char* point =
        numeric && numeric->decimal_point && *numeric->decimal_point ? numeric->decimal_point : ".";
    if (std::strcmp(point, ".") == 0) return std::strtod(start, stop);
    // Every character that a number can hold (white space, signs, digits, exponents,
    // hexadecimal digits, "inf" and "nan(...)").
    const std::size_t length = std::strspn(
        start, " \t\n\v\f\r+-.0123456789()_abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    std::string copy(start, length);
    const std::size_t dot = copy.find('.');
    if (dot != std::string::npos) copy.replace(dot, 1, point);
    char* copyEnd = nullptr;
    const double value = std::strtod(copy.c_str(), &copyEnd);
    std::size_t used = static_cast<std::size_t>(copyEnd - copy.c_str());
    // strtod takes the separator whole or not at all.
    if (dot != std::string::npos && used > dot) used -= std::strlen(point) - 1;
    *stop = const_cast<char*>(start) + used;
    return value;
}

}  // namespace
#endif

int readDouble(const char* text, double* out, const char** end) {
    const char* start = text ? text : "";
    char* stop = nullptr;
#if defined(_WIN32)
    double value = strtodInC(start, &stop);
#else
    // Made once and kept for the process; null only when the system cannot make it.
    static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    double value = cLocale ? ::strtod_l(start, &stop, cLocale) : std::strtod(start, &stop);
#endif
    if (end) *end = stop;
    if (stop == start) {
        if (out) *out = 0.0;
        recordError(515, kSeverityMinor);
        return 0;
    }
    if (out) *out = value;
    return 1;
}

long findByte(std::string_view s, char c, long start) {
    if (start < 0 || static_cast<unsigned long>(start) >= s.size()) return -1;
    int kind = charsetKind();
    if (kind == kCharsetSingleByte) {
        std::size_t at = s.find(c, static_cast<std::size_t>(start));
        return at == std::string_view::npos ? -1 : static_cast<long>(at);
    }
    // Walk whole characters from the beginning so that trail bytes are never taken for matches.
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t width =
            isLeadByte(static_cast<unsigned char>(s[i]), kind) && i + 1 < s.size() ? 2 : 1;
        if (i >= static_cast<std::size_t>(start) && s[i] == c) return static_cast<long>(i);
        i += width;
    }
    return -1;
}

long findByteBackward(std::string_view s, char c, long fromEnd) {
    if (fromEnd < 0 || static_cast<unsigned long>(fromEnd) >= s.size()) return -1;
    long from = static_cast<long>(s.size()) - 1 - fromEnd;
    int kind = charsetKind();
    if (kind == kCharsetSingleByte) {
        std::size_t at = s.rfind(c, static_cast<std::size_t>(from));
        return at == std::string_view::npos ? -1 : static_cast<long>(at);
    }
    // Walk whole characters from the beginning; the last candidate at or before `from` wins.
    // Searching backwards, a match on a second byte is skipped together with its first byte, so
    // a first byte is a candidate only when its second byte lies beyond `from` or differs.
    const std::size_t last = static_cast<std::size_t>(from);
    long found = -1;
    std::size_t i = 0;
    while (i <= last) {
        const bool pair = isLeadByte(static_cast<unsigned char>(s[i]), kind) && i + 1 < s.size();
        const bool trailMatches = pair && i + 1 <= last && s[i + 1] == c;
        if (s[i] == c && !trailMatches) found = static_cast<long>(i);
        i += pair ? 2 : 1;
    }
    return found;
}

std::size_t utf8SequenceLength(std::string_view text) {
    if (text.empty()) return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}
