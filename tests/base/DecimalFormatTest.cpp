// The direct integer formatter must write exactly what printf writes, at every digit count and
// at the limits of each type.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "base/DecimalFormat.h"

namespace {

template <class T>
std::string formatted(T v) {
    char buf[kMaxDecimalChars + 4];
    char* end = formatDecimal(buf, v);
    return std::string(buf, end);
}

// Every power of ten and its neighbours, the type's limits, and a spread of values in between.
template <class T>
std::vector<T> samples() {
    std::vector<T> v = {0, 1, std::numeric_limits<T>::max(), std::numeric_limits<T>::min()};
    for (T p = 1;; p = static_cast<T>(p * 10)) {
        v.push_back(p);
        v.push_back(static_cast<T>(p - 1));
        v.push_back(static_cast<T>(p + 1));
        if (std::is_signed_v<T>) v.push_back(static_cast<T>(-p));
        if (p > std::numeric_limits<T>::max() / 10) break;
    }
    std::uint64_t x = 88172645463325252ull;
    for (int i = 0; i < 200000; ++i) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        // Values of every length: shift the random bits down by a varying amount.
        v.push_back(static_cast<T>(x >> (i % 64)));
    }
    return v;
}

template <class T>
void expectPrintfAgrees() {
    for (T v : samples<T>()) {
        const std::string got = formatted(v);
        ASSERT_EQ(got, std::to_string(v));  // printf's %d, %u, %ld and %lu
        ASSERT_LE(got.size(), static_cast<std::size_t>(kMaxDecimalChars));
    }
}

}  // namespace

TEST(DecimalFormatTest, AgreesWithPrintfForEveryIntegerType) {
    expectPrintfAgrees<std::int32_t>();
    expectPrintfAgrees<std::uint32_t>();
    expectPrintfAgrees<std::int64_t>();
    expectPrintfAgrees<std::uint64_t>();
}

TEST(DecimalFormatTest, CoordinatesAgreeWithPrintfAndStayWithinTheirRoom) {
    std::vector<std::int32_t> values = samples<std::int32_t>();
    for (std::int32_t v = -1000000; v <= 1000000; ++v)
        values.push_back(v);
    for (std::int32_t v : values) {
        char buf[kMaxDecimalChars + 4];
        std::memset(buf, '#', sizeof buf);
        const std::string got(buf, formatCoordinate(buf, v));
        ASSERT_EQ(got, std::to_string(v));
        ASSERT_EQ(std::string(buf + kMaxDecimalChars, 4), "####") << v;
    }
}
