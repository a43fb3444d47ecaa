#include "hpgl/HpglParams.h"

#include <charconv>
#include <system_error>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips white space and reads a sign; returns whether it was a minus.
bool readSign(std::string_view t, size_t& i) {
    while (i < t.size() && isSpace(t[i]))
        ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) return t[i++] == '-';
    return false;
}

}  // namespace

bool parseHpglInt(std::string_view t, int32_t& out) {
    size_t i = 0;
    const bool negative = readSign(t, i);
    const size_t start = i;
    int64_t v = 0;
    bool tooLarge = false;
    for (; i < t.size() && isDigit(t[i]); ++i) {
        if (v <= (int64_t{1} << 40)) {
            v = v * 10 + (t[i] - '0');
        } else {
            tooLarge = true;
        }
    }
    if (i == start) return false;
    if (negative) v = -v;
    if (tooLarge || v < INT32_MIN || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

namespace {

// Up to 15 digits are exact in a double, and so is 10^fracDigits: one division rounds
// correctly, giving the value the general conversion would.
constexpr double kPow10[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                               1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// The common form of a plot's numbers in one pass: an optional sign, digits, an optional
// fraction, nothing else and at most 15 digits. False for every other text.
bool parsePlainDecimal(std::string_view t, double& out) {
    const char* p = t.data();
    const char* const e = p + t.size();
    if (p == e) return false;
    const bool negative = *p == '-';
    if (negative || *p == '+') ++p;
    std::uint64_t digits = 0;
    const char* const first = p;
    while (p != e && isDigit(*p))
        digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
    size_t count = static_cast<size_t>(p - first);
    size_t fracDigits = 0;
    if (p != e && *p == '.') {
        const char* const fraction = ++p;
        while (p != e && isDigit(*p))
            digits = digits * 10 + static_cast<std::uint64_t>(*p++ - '0');
        fracDigits = static_cast<size_t>(p - fraction);
        count += fracDigits;
    }
    if (p != e || count == 0 || count > 15) return false;
    const double v = static_cast<double>(digits) / kPow10[fracDigits];
    out = negative ? -v : v;
    return true;
}

}  // namespace

bool parseHpglRealText(std::string_view t, double& out) {
    if (parsePlainDecimal(t, out)) return true;
    size_t i = 0;
    const bool negative = readSign(t, i);
    const size_t mantissa = i;
    // Decimal exponent of the first non-zero digit, for telling overflow from underflow.
    int64_t leadExponent = 0;
    bool nonZero = false;
    size_t intDigits = 0;
    for (; i < t.size() && isDigit(t[i]); ++i, ++intDigits) {
        if (!nonZero && t[i] != '0') nonZero = true;
        if (nonZero && leadExponent < INT32_MAX) ++leadExponent;
    }
    size_t fracDigits = 0;
    if (i < t.size() && t[i] == '.') {
        ++i;
        for (; i < t.size() && isDigit(t[i]); ++i, ++fracDigits) {
            if (!nonZero) {
                if (t[i] != '0') {
                    nonZero = true;
                } else if (leadExponent > INT32_MIN) {
                    --leadExponent;
                }
            }
        }
    }
    if (intDigits + fracDigits == 0) return false;
    const size_t mantissaEnd = i;
    size_t end = i;
    int64_t exponent = 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) expNegative = t[j++] == '-';
        if (j < t.size() && isDigit(t[j])) {
            for (; j < t.size() && isDigit(t[j]); ++j) {
                if (exponent < INT32_MAX) exponent = exponent * 10 + (t[j] - '0');
            }
            if (expNegative) exponent = -exponent;
            end = j;
        }
    }
    double v = 0.0;
    if (exponent == 0 && intDigits + fracDigits <= 15) {
        int64_t digits = 0;
        for (size_t j = mantissa; j < mantissaEnd; ++j) {
            if (t[j] != '.') digits = digits * 10 + (t[j] - '0');
        }
        v = static_cast<double>(digits) / kPow10[fracDigits];
        out = negative ? -v : v;
        return true;
    }
    const char* first = t.data() + mantissa;
    const auto r = std::from_chars(first, t.data() + end, v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        if (leadExponent + exponent > 0) return false;  // too large for a double
        v = 0.0;                                        // too small: reads as zero
    } else if (r.ec != std::errc() || r.ptr != t.data() + end) {
        return false;
    }
    out = negative ? -v : v;
    return true;
}

double hpglValueThroughTextSlow(double v) {
    char buf[40];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 10);
    double back = 0.0;
    parseHpglReal(std::string_view(buf, static_cast<size_t>(r.ptr - buf)), back);
    return back;
}
