// Numbers on their way into the handlers: parameter texts read as reals, and the numbers of
// encoded polylines, which reach PD and PU as if written into a statement with "%.10g". Both
// are checked against the C library's own printf and strtod over many values.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hpgl/HpglParams.h"

namespace {

// xorshift64: the same values on every run.
struct Random {
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    std::uint64_t next() {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return x;
    }
};

// What a built statement did with v: written with printf's "%.10g", read back with strtod.
double throughPrintf(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", v);
    return std::strtod(text, nullptr);
}

bool sameDouble(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

}  // namespace

TEST(HpglNumbers, EncodedValuesPassAsTheirTenDigitText) {
    ASSERT_NE(std::setlocale(LC_NUMERIC, nullptr), nullptr);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -1.0,
                                  9999999999.0,
                                  -9999999999.0,
                                  1e10,
                                  -1e10,
                                  10000000001.0,
                                  12345678901234.0,
                                  9007199254740993.0,
                                  4611686018427387904.0,
                                  0.5,
                                  -0.25,
                                  0.0124999999999993,
                                  1.0 / 3.0};
    Random r;
    for (int i = 0; i < 300000; ++i) {
        // Whole numbers of every magnitude a PE number may have (up to 2^63), with and without
        // fraction bits, as the decoder makes them: an integer times 2^-bits.
        const int shift = static_cast<int>(r.next() % 64);
        const std::int64_t magnitude = static_cast<std::int64_t>(r.next() >> (shift | 1));
        const std::int64_t v = (r.next() & 1) != 0 ? -magnitude : magnitude;
        const int bits = (i % 3 == 0) ? static_cast<int>(r.next() % 70) - 5 : 0;
        values.push_back(std::ldexp(static_cast<double>(v), -bits));
    }
    for (double v : values) {
        ASSERT_TRUE(sameDouble(hpglValueThroughText(v), throughPrintf(v))) << v;
    }
}

TEST(HpglNumbers, PlainDecimalsReadAsStrtodReadsThem) {
    Random r;
    const char* const signs[] = {"", "-", "+"};
    for (int i = 0; i < 300000; ++i) {
        // Up to 18 digits split between integer part and fraction, leading zeros included.
        const int intDigits = static_cast<int>(r.next() % 10);
        const int fracDigits = static_cast<int>(r.next() % 9);
        std::string text = signs[r.next() % 3];
        for (int k = 0; k < intDigits; ++k)
            text += static_cast<char>('0' + r.next() % 10);
        if (fracDigits > 0 || r.next() % 4 == 0) {
            text += '.';
            for (int k = 0; k < fracDigits; ++k)
                text += static_cast<char>('0' + r.next() % 10);
        }
        double got = 7.0;
        const bool ok = parseHpglReal(text, got);
        const bool hasDigit = text.find_first_of("0123456789") != std::string::npos;
        ASSERT_EQ(ok, hasDigit) << text;
        if (ok) {
            ASSERT_TRUE(sameDouble(got, std::strtod(text.c_str(), nullptr))) << text;
        }
    }
}

// Signed integers of every length around the inline reading's 18-character limit, where
// doubles stop holding every integer (2^53) and where 64 bits run out, with leading zeros.
TEST(HpglNumbers, IntegersReadAsStrtodReadsThem) {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "+0",
                                      "000000000000000007",
                                      "-00000000000000007",
                                      "9007199254740993",
                                      "-9007199254740993",
                                      "9007199254740995",
                                      "999999999999999999",
                                      "-99999999999999999",
                                      "1000000000000000001",
                                      "9223372036854775807",
                                      "9223372036854775809",
                                      "-18446744073709551617",
                                      "123456789012345678901234567890"};
    Random r;
    const char* const signs[] = {"", "-", "+"};
    for (int i = 0; i < 300000; ++i) {
        const int length = 1 + static_cast<int>(r.next() % 22);
        std::string text = signs[r.next() % 3];
        const int zeros = r.next() % 5 == 0 ? static_cast<int>(r.next() % 4) : 0;
        text.append(static_cast<size_t>(zeros), '0');
        for (int k = 0; k < length; ++k)
            text += static_cast<char>('0' + r.next() % 10);
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        double got = 7.0;
        ASSERT_TRUE(parseHpglReal(text, got)) << text;
        ASSERT_TRUE(sameDouble(got, std::strtod(text.c_str(), nullptr))) << text;
    }
    // Texts that only begin like an integer, and texts without digits, take the general path.
    const struct {
        const char* text;
        bool ok;
        double value;
    } others[] = {{"", false, 0},      {"-", false, 0},   {"+", false, 0},   {"12x", true, 12},
                  {"1e3", true, 1000}, {"-5.", true, -5}, {"--5", false, 0}, {" 7", true, 7}};
    for (const auto& c : others) {
        double got = 7.0;
        ASSERT_EQ(parseHpglReal(c.text, got), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(got, c.value) << c.text;
        }
    }
}
