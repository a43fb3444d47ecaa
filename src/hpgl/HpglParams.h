// Numeric parameters of HP-GL statements: the longest decimal prefix of the parameter text is
// read (after optional white space and a sign) and the rest ignored.
#pragma once

#include <cstdint>
#include <string_view>

#include "hpgl/HpglStatement.h"

// A base-10 integer. False when no digit was read or the value does not fit in 32 bits.
bool parseHpglInt(std::string_view text, int32_t& out);

// A decimal real: digits with an optional fraction and exponent; no hexadecimal forms and no
// "inf" or "nan" words. False when no digit was read or the value overflows (is not finite); a
// value too small for a double reads as zero.
bool parseHpglRealText(std::string_view text, double& out);

// The same, with the common form of a plot's coordinates read inline: an optional sign and
// digits, 18 characters at most. Such an integer is below 10^18 < 2^63, so converting it to a
// double rounds once, to nearest, exactly as reading its decimal text does.
inline bool parseHpglReal(std::string_view text, double& out) {
    if (text.size() - 1 < 18) {
        const char* p = text.data();
        const char* const e = p + text.size();
        const bool negative = *p == '-';
        if (negative || *p == '+') ++p;
        if (p != e) {
            std::int64_t digits = 0;
            unsigned d = 0;
            while ((d = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10) {
                digits = digits * 10 + d;
                if (++p == e) {
                    const double v = static_cast<double>(digits);
                    out = negative ? -v : v;
                    return true;
                }
            }
        }
    }
    return parseHpglRealText(text, out);
}

// The value v takes when a handler writes it into a statement for another handler: written with
// "%.10g" (ten significant digits) and read back as a parameter. Whole numbers below 10^10 in
// magnitude come back unchanged without the detour through text.
double hpglValueThroughTextSlow(double v);
inline double hpglValueThroughText(double v) {
    // Ten digits write such a number exactly, and reading exact decimal digits gives it back.
    // Below 10^10 in magnitude the conversion to 64 bits is exact, so it tells whole numbers.
    if (v < 1e10 && v > -1e10 && v == static_cast<double>(static_cast<std::int64_t>(v))) return v;
    return hpglValueThroughTextSlow(v);
}

// Parameter i (1 for the first) of a statement; false when it is missing or does not convert.
inline bool intParam(const HpglStatement& st, int i, int32_t& out) {
    return i < st.size() && parseHpglInt(st[i], out);
}
inline bool realParam(const HpglStatement& st, int i, double& out) {
    return i < st.size() && parseHpglReal(st[i], out);
}
