#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

TEST(NumberToken, ShortAndLongDecimalsReadAsStrtodOrHaveNoValue) {
    const char* tokens[] = {"0",      "-0",          "0.",       "-0.000",    "123456.789012", "-123456.789012",
                            "1e+22",  "1e+23",       "9007199254740992", "9007199254740993", "0.1",
                            "1.5e-22", "1.5e-23",    "000123.4500", "99999999999999999999", "1234567890123456789",
                            "4.9406564584124654e-324", "2.2250738585072014e-308", "1.7976931348623157e+308",
                            "0.000000000000000000000000123", "-7e+0",  "3.14159265358979323846264338327950288"};
    for (const char* token : tokens) expectAsStrtod(token);
    // No value for a double minus or an overflow; underflow keeps its sign.
    EXPECT_FALSE(numberTokenValue("--1").has_value());
    EXPECT_FALSE(numberTokenValue("1e+999").has_value());
    expectAsStrtod("-1e-999");
}

TEST(NumberToken, RandomDecimalsReadAsStrtod) {
    std::mt19937_64 random(11);
    for (int i = 0; i < 200000; ++i) {
        const int integerDigits = static_cast<int>(random() % 12) + 1, fractionDigits = static_cast<int>(random() % 14);
        std::string token = random() % 2 ? "-" : "";
        for (int d = 0; d < integerDigits; ++d) token += static_cast<char>('0' + random() % 10);
        if (fractionDigits > 0 || random() % 4 == 0) token += '.';
        for (int d = 0; d < fractionDigits; ++d) token += static_cast<char>('0' + random() % 10);
        if (random() % 3 == 0) token += (random() % 2 ? "e+" : "e-") + std::to_string(random() % 30);
        expectAsStrtod(token);
    }
}

}  // namespace
