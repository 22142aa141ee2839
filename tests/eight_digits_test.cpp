#include "text/eight_digits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace spatialgeom {
namespace {

std::string text(const SpatialWChar (&eight)[8]) { return std::string(eight, eight + 8); }

// The operations of each implementation (a namespace of digits::), read
// back as text.
#define SPATIALGEOM_DIGIT_OPERATIONS(Name, d)                                                                  \
    struct Name {                                                                                              \
        static std::string digitText(std::uint32_t n) {                                                        \
            SpatialWChar out[8];                                                                               \
            d::store(d::eightDigits(n), out);                                                                  \
            return text(out);                                                                                  \
        }                                                                                                      \
        static std::string withPoint(std::uint32_t n, std::uint32_t before, int at) {                          \
            SpatialWChar out[8];                                                                               \
            d::store(at == -2 ? d::movedUp(d::eightDigits(n), d::eightDigits(before))                          \
                              : d::withPoint(d::eightDigits(n), d::eightDigits(before), at),                   \
                     out);                                                                                     \
            return text(out);                                                                                  \
        }                                                                                                      \
        static int significant(std::uint32_t n) { return d::significantCharacters(d::eightDigits(n)); }        \
        static char first(std::uint32_t n) { return static_cast<char>(d::firstCharacter(d::eightDigits(n))); } \
    };

SPATIALGEOM_DIGIT_OPERATIONS(Portable, digits::portable)
#if defined(__SSE2__)
SPATIALGEOM_DIGIT_OPERATIONS(Sse2, digits::sse2)
using Implementations = ::testing::Types<Portable, Sse2>;
#else
using Implementations = ::testing::Types<Portable>;
#endif

template <typename T>
class EightDigits : public ::testing::Test {};
TYPED_TEST_SUITE(EightDigits, Implementations);

// Boundaries of every digit position and trailing zeros of every length,
// then a sweep and random values.
std::vector<std::uint32_t> samples() {
    std::vector<std::uint32_t> values = {0, 1, 9, 10, 11, 99, 100, 101, 99999999, 12345678, 10000001};
    for (std::uint32_t power = 1; power < 100000000; power *= 10) {
        const std::uint32_t nines = 99999999 / power * power;  // trailing zeros after nines
        values.insert(values.end(), {power - 1, power, power + 1, 9 * power, 9 * power - 1, 5 * power, nines});
    }
    for (std::uint32_t n = 0; n < 100000000; n += 9973) values.push_back(n);
    std::mt19937 random(17);
    for (int i = 0; i < 200000; ++i) values.push_back(random() % 100000000);
    return values;
}

TYPED_TEST(EightDigits, MatchZeroPaddedDecimalText) {
    for (std::uint32_t n : samples()) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "%08u", n);
        const std::string text = expected;
        ASSERT_EQ(TypeParam::digitText(n), text) << n;
        ASSERT_EQ(TypeParam::first(n), text[0]) << n;
        ASSERT_EQ(TypeParam::significant(n), static_cast<int>(text.find_last_not_of('0') + 1)) << n;
    }
}

// A point at every place of a block, the block before carrying its last
// character in: the characters below the point, '.', the characters above
// it moved up by one. at -2 asks for movedUp, which equals at -1.
TYPED_TEST(EightDigits, PointInsertedAtEveryPlace) {
    const std::string digitsText = "12345678", beforeText = "87654329";
    const std::string moved = beforeText.substr(7) + digitsText.substr(0, 7);
    for (int at = -2; at <= 8; ++at) {
        std::string expected = moved;
        if (at >= 0) expected = digitsText.substr(0, at) + (at < 8 ? "." : "") + moved.substr(std::min(at + 1, 8));
        EXPECT_EQ(TypeParam::withPoint(12345678, 87654329, at), expected) << at;
    }
}

}  // namespace
}  // namespace spatialgeom
