#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "text/number_token.h"

namespace {

using spatialgeom::numberTokenValue;

// Same bits as strtod in the C locale (the library never changes the
// locale of the test process).
void expectAsStrtod(const std::string& token) {
    const std::optional<double> value = numberTokenValue(token);
    ASSERT_TRUE(value.has_value()) << token;
    const double expected = std::strtod(token.c_str(), nullptr);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*value), std::bit_cast<std::uint64_t>(expected)) << token;
}

// Up to 19 digits with any scale: one multiplication by the table's power
// of ten, checked near one half, or the general conversion. Every count of
// digits and of fraction digits, 17-digit texts as "%.17g" writes them,
// integers above 2^53 (half of them ties between two doubles) and values
// near the ends of the double range.
TEST(NumberToken, LongDecimalsAndTiesReadAsStrtod) {
    std::mt19937_64 random(19);
    char text[64];
    for (int i = 0; i < 100000; ++i) {
        const int count = static_cast<int>(random() % 19) + 1;
        std::string digits;
        for (int d = 0; d < count; ++d) digits += static_cast<char>('0' + random() % 10);
        const int point = static_cast<int>(random() % (count + 1));
        std::string token = random() % 2 ? "-" : "";
        token += point == 0 ? "0." : digits.substr(0, point) + ".";
        token += digits.substr(point);
        if (random() % 2 == 0) token += (random() % 2 ? "e+" : "e-") + std::to_string(random() % 330);
        if (std::isinf(std::strtod(token.c_str(), nullptr))) EXPECT_FALSE(numberTokenValue(token).has_value()) << token;
        else expectAsStrtod(token);
        std::snprintf(text, sizeof text, "%.17g", std::bit_cast<double>(random() & 0x7FEFFFFFFFFFFFFF));
        if (std::strchr(text, 'e') == nullptr || std::strchr(text, '+') != nullptr || std::strchr(text, '-') != nullptr)
            expectAsStrtod(text);
        std::snprintf(text, sizeof text, "%llu",
                      static_cast<unsigned long long>((random() >> (random() % 11)) | (1ULL << 53)));
        expectAsStrtod(text);
    }
    // Zeros of both signs, powers of ten at the ends of the exact range,
    // long digit runs, underflow (which keeps its sign).
    for (const char* token :
         {"-123456.789012", "000123.4500", "1234567890123456789", "99999999999999999999",
          "0.000000000000000000000000123", "3.14159265358979323846264338327950288", "-000000000000000000000012345.5e-3",
          "0", "-0", "0.", "-0.000", "1e+22", "1e+23", "1.5e-22", "1.5e-23", "-7e+0", "0.1", "-1e-999"})
        expectAsStrtod(token);
    // The ends of the double range, of the exact integers and of 64 bits,
    // and a fraction of 20 digits.
    for (const char* token :
         {"1.7976931348623157e+308", "1.7976931348623158e+308", "2.2250738585072011e-308", "2.2250738585072012e-308",
          "2.2250738585072014e-308", "4.9406564584124654e-324", "9007199254740992", "9007199254740993",
          "18446744073709551615", "1844674407370955161.5", "0.18446744073709551615", "0.00014936410000000001"})
        expectAsStrtod(token);
    // No value for a double minus or an overflow.
    EXPECT_FALSE(numberTokenValue("--1").has_value());
    EXPECT_FALSE(numberTokenValue("1e+999").has_value());
}

// A number of every length, followed by every kind of character, read
// from a view that ends right after it or goes on.
TEST(NumberToken, ScanEndsAtTheFirstCharacterNotInTheNumber) {
    const std::string digits = "98765432109876543210987";
    for (std::size_t length = 1; length <= digits.size(); ++length) {
        for (const char* after : {"", " ", ",", ")", "x", "\xff", ".5"}) {
            const std::string number = digits.substr(0, length);
            const std::string text = number + after + " 1234567890";
            spatialgeom::NumberScan scan;
            const std::size_t expectedLength = number.size() + (after == std::string(".5") ? 2 : 0);
            ASSERT_EQ(spatialgeom::scanNumber(text, &scan), expectedLength) << text;
            ASSERT_EQ(spatialgeom::scanNumber(std::string_view(text).substr(0, expectedLength), &scan), expectedLength);
            ASSERT_TRUE(scan.hasValue);
            EXPECT_EQ(scan.value, std::strtod(text.substr(0, expectedLength).c_str(), nullptr)) << text;
        }
    }
}

}  // namespace
