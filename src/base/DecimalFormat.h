// Decimal integers written straight into a caller's buffer, as printf's "%u", "%d" and "%ld" write
// them in the "C" locale, two digits per division. The caller provides room: at most
// kMaxDecimalChars bytes are written for any value.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

inline constexpr int kMaxDecimalChars = 20;  // "-9223372036854775808"

namespace decimal_detail {

inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// 10^t for t >= 1; 0 in place of 1, so that no value below 8 counts as having fewer digits.
inline constexpr std::uint32_t kDigitThresholds[10] = {
    0, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

// The number of decimal digits of v (1 for 0). The bit length times log10(2) (1233 / 4096 is a
// little above it) gives t, the count less one or less two; one comparison with 10^t decides.
inline int digitCount(std::uint32_t v) {
    const int bits = 32 - __builtin_clz(v | 1u);
    const int t = (bits * 1233) >> 12;
    return t + (v >= kDigitThresholds[t]);
}

// Writes the digits of v backwards, ending at end.
template <class T>
inline void digitsBackwards(char* end, T v) {
    while (v >= 100) {
        const unsigned r = static_cast<unsigned>(v % 100) * 2;
        v /= 100;
        end -= 2;
        end[0] = kDigitPairs[r];
        end[1] = kDigitPairs[r + 1];
    }
    if (v >= 10) {
        const unsigned r = static_cast<unsigned>(v) * 2;
        end[-2] = kDigitPairs[r];
        end[-1] = kDigitPairs[r + 1];
    } else {
        end[-1] = static_cast<char>('0' + v);
    }
}

}  // namespace decimal_detail

// "%u": the digits of v at p; returns the end.
inline char* formatDecimal(char* p, std::uint32_t v) {
    char* end = p + decimal_detail::digitCount(v);
    decimal_detail::digitsBackwards(end, v);
    return end;
}

// "%d": a minus sign, then the digits.
inline char* formatDecimal(char* p, std::int32_t v) {
    if (v < 0) {
        *p++ = '-';
        return formatDecimal(p, 0u - static_cast<std::uint32_t>(v));
    }
    return formatDecimal(p, static_cast<std::uint32_t>(v));
}

// "%llu" and "%lld" ("%lu" and "%ld" on LP64): 64-bit values.
inline char* formatDecimal(char* p, std::uint64_t v) {
    if (v <= UINT32_MAX) return formatDecimal(p, static_cast<std::uint32_t>(v));
    int n = 10;
    for (std::uint64_t t = v / 10000000000ull; t != 0; t /= 10)
        ++n;
    char* end = p + n;
    decimal_detail::digitsBackwards(end, v);
    return end;
}

inline char* formatDecimal(char* p, std::int64_t v) {
    if (v < 0) {
        *p++ = '-';
        return formatDecimal(p, static_cast<std::uint64_t>(0) - static_cast<std::uint64_t>(v));
    }
    return formatDecimal(p, static_cast<std::uint64_t>(v));
}

// "%d" for the coordinates of vertex lines, most of which have six or seven digits: a value
// below 10^8 is split into four digit pairs at once (no dependent chain of divisions), and its
// eight digits are stored in one 8-byte word whose leading zeros are shifted out. It may write
// scratch bytes after the returned end, up to p + kMaxDecimalChars; the caller writes over them
// or leaves them outside the text.
inline char* formatCoordinate(char* p, std::int32_t value) {
    if constexpr (std::endian::native != std::endian::little) return formatDecimal(p, value);
    if (value < 0) *p++ = '-';
    const std::uint32_t v =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    if (v >= 100000000u) return formatDecimal(p, v);
    const std::uint32_t high = v / 10000;
    const std::uint32_t low = v - high * 10000;
    // x / 100 as (x * 5243) >> 19, exact for every x below 10^4.
    const std::uint32_t h1 = (high * 5243) >> 19, l1 = (low * 5243) >> 19;
    const auto pair = [](std::uint32_t x) {
        std::uint16_t two;
        std::memcpy(&two, decimal_detail::kDigitPairs + 2 * x, 2);
        return static_cast<std::uint64_t>(two);
    };
    std::uint64_t word =
        pair(h1) | pair(high - h1 * 100) << 16 | pair(l1) << 32 | pair(low - l1 * 100) << 48;
    // The bytes of the word go to memory lowest first: shifting it down drops leading digits.
    const int n = decimal_detail::digitCount(v);
    word >>= 8 * (8 - n);
    std::memcpy(p, &word, 8);
    return p + n;
}
