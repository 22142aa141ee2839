#include "text/number_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace spatialgeom {
namespace {

std::string narrow(const SpatialWChar* from, const SpatialWChar* to) {
    std::string text;
    for (const SpatialWChar* c = from; c < to; ++c) text += static_cast<char>(*c);
    return text;
}

std::string format(double value, std::int32_t precision) {
    SpatialWChar text[kMaxNumberChars];
    return narrow(text, formatNumber(value, precision, text));
}

// A signed decimal of at most `maxDigits` significant digits times 10^e,
// e in [-range/2, range/2).
double shortDecimal(std::mt19937_64& random, int maxDigits, int range) {
    const int digits = static_cast<int>(random() % static_cast<unsigned>(maxDigits)) + 1;
    std::int64_t mantissa = static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(std::pow(10.0, maxDigits)));
    for (int d = digits; d < maxDigits; ++d) mantissa /= 10;
    return (random() % 2 ? -1.0 : 1.0) * static_cast<double>(mantissa) *
           std::pow(10.0, static_cast<int>(random() % static_cast<unsigned>(range)) - range / 2);
}

double randomBits(std::mt19937_64& random) {
    const std::uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The tests run in the C locale, where snprintf is the reference.
std::string printfG(double value, std::int32_t precision) {
    char text[2 * kMaxNumberChars];
    std::snprintf(text, sizeof text, "%.*g", precision, value);
    return text;
}

// Values of every shape, each with both signs at every precision:
// - few significant digits, as surveyed data has, near every boundary
//   between fixed and exponent notation;
// - the edges of the writer's cases: integer parts of more than eight
//   digits, fractions of more than eight, decimals rounding up to a power
//   of ten, binary ties, the switches between notations (exponents -5/-4
//   and precision - 1/precision), and the values no shortcut takes;
// - the coordinate shapes of the benchmark grid (bench/peers): surveyed
//   (six decimals), full-mantissa doubles, integers, one to three
//   decimals, mixed magnitudes (seven digits times 10^-5 .. 10^12);
// - exact ties between two decimals of the precision, which round to the
//   even one: few-bit binary fractions (0.125 at 2 digits) and halves of
//   large integers (2500000 at 1 digit, where dividing by a power of five
//   shows the tie), with their neighbours.
TEST(NumberFormat, EveryShapeMatchesSnprintfAtEveryPrecision) {
    std::vector<double> values = {
        // Long integer parts and fractions; ties and values rounding up to a power of ten.
        123456789.125, 1234567890123.5, 99999999.5, 100000000.25, 1.2345678901, 0.000123456789012, 12.0000000001, 0.125,
        2.5, 0.375, 999999.5, 9999995, 99999.95, 0.00009999995, 0.000099999,
        // Benchmark shapes, the largest integers, the extremes and the notation switches.
        123456.789012, 654321.098765, 1234.567, 999999999999999, 1000000000000001.0, DBL_MIN, 5e-324, DBL_MAX, 0.0, NAN,
        INFINITY, 1e-5, 1e-4, 9.5e-5, 123456.0, 1e16};
    for (int exponent = -25; exponent <= 25; ++exponent) {
        const double power = std::pow(10.0, exponent);
        values.insert(values.end(), {power, std::nextafter(power, 0.0), std::nextafter(power, 1e300), 9.5 * power,
                                     9.99999999999999 * power});
    }
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> plan(0.0, 999999.0);
    const auto decimals = [](double x, int places) {
        const double scale = std::pow(10.0, places);
        return std::round(x * scale) / scale;
    };
    for (int i = 0; i < 20000; ++i) {
        values.push_back(shortDecimal(random, 17, 40));
        char mixed[40];
        std::snprintf(mixed, sizeof mixed, "%de%d", static_cast<int>(1000000 + random() % 9000000),
                      static_cast<int>(random() % 18) - 11);
        values.insert(values.end(),
                      {decimals(plan(random), 6), plan(random), std::floor(plan(random)),
                       decimals(plan(random), 1 + static_cast<int>(random() % 3)), std::strtod(mixed, nullptr)});
        const double fewBits =
            std::ldexp(static_cast<double>(random() >> (64 - 1 - random() % 20)), static_cast<int>(random() % 80) - 40);
        const double halfOfPowerOfTen = (2.0 * static_cast<double>(random() % 100000) + 1.0) * 5.0 *
                                        std::pow(10.0, static_cast<int>(random() % 16));
        for (double tie : {fewBits, halfOfPowerOfTen})
            values.insert(values.end(), {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e300)});
    }
    for (double magnitude : values)
        for (double value : {magnitude, -magnitude})
            for (std::int32_t precision = -1; precision <= 18; ++precision)
                ASSERT_EQ(format(value, precision), printfG(value, precision)) << value << " at " << precision;
}

// The fast path writes every finite value at precisions up to 17, and
// declines the rest; formatNumber writes any bits at any precision (a
// negative one acts as 6, 0 as 1).
TEST(NumberFormat, FastPathWritesEveryFiniteValueUpToPrecision17) {
    const std::int32_t anyPrecisions[] = {INT32_MIN, -7, 0, 1, 2, 7, 10, 16, 17, 20, 40, 309, 310, 800, 2000};
    std::mt19937_64 random(11);
    for (int i = 0; i < 40000; ++i) {
        const double decimal = shortDecimal(random, 17, 50);
        const double arbitrary = randomBits(random);
        const std::int32_t anyPrecision = anyPrecisions[random() % std::size(anyPrecisions)];
        ASSERT_EQ(format(arbitrary, anyPrecision), printfG(arbitrary, anyPrecision))
            << arbitrary << " at " << anyPrecision;
        for (std::int32_t precision : {-1, 0, 1, 3, 6, 9, 12, 14, 15, 16, 17, 18, 25}) {
            for (double value : {decimal, arbitrary}) {
                SpatialWChar wide[kMaxFastNumberChars];
                const SpatialWChar* end = formatNumberFast(value, precision, wide);
                const bool taken = std::isfinite(value) && precision <= kLargestFastPrecision;
                ASSERT_EQ(end != nullptr, taken) << value << " at " << precision;
                if (taken) {
                    ASSERT_EQ(narrow(wide, end), printfG(value, precision)) << value << " at " << precision;
                }
            }
        }
    }
}

TEST(NumberFormat, LongestTextsFitTheScratch) {
    // The values with the most significant digits, at a precision above them.
    const double longest[] = {-std::nextafter(DBL_MIN, 0.0), -DBL_MIN, -DBL_MAX, -std::nextafter(1e-4, 1.0)};
    for (double value : longest) {
        const std::string text = format(value, 800);
        EXPECT_LE(text.size(), 774u);
        EXPECT_EQ(text, printfG(value, 800));
        EXPECT_EQ(format(value, INT32_MAX), text);
    }
}

}  // namespace
}  // namespace spatialgeom
