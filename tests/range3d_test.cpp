#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "kernel/range3d.h"

namespace {

using namespace spatialgeom::kernel;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Same bits, or both NaN.
bool sameDouble(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Values at the edges of the format, and random bit patterns.
TEST(RangeRounding, StepsAndMinMaxMatchTheLibrary) {
    std::vector<double> values = {0.0,  -0.0,  DBL_MIN,     -DBL_MIN,     DBL_MAX,       -DBL_MAX,
                                  kInf, -kInf, kNaN,        DBL_TRUE_MIN, -DBL_TRUE_MIN, 1.0,
                                  -1.0, 0.1,   -123456.789, 1e300,        -1e-300};
    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) values.push_back(std::bit_cast<double>(random()));
    for (double v : values) {
        EXPECT_TRUE(sameDouble(nextUp(v), std::nextafter(v, kInf))) << v;
        EXPECT_TRUE(sameDouble(nextDown(v), std::nextafter(v, -kInf))) << v;
    }
    for (std::size_t i = 0; i < values.size(); i += 7) {
        for (std::size_t j = 0; j < values.size(); j += 11) {
            const double a = values[i], b = values[j];
            if (a == b && std::signbit(a) != std::signbit(b)) continue;  // the library may pick either zero
            EXPECT_TRUE(sameDouble(minOf(a, b), std::fmin(a, b))) << a << " " << b;
            EXPECT_TRUE(sameDouble(maxOf(a, b), std::fmax(a, b))) << a << " " << b;
        }
    }
}

TEST(RangeRounding, SegmentOverlapMatchesTheWidenedBox) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> coordinate(-2.0, 2.0);
    const auto point = [&] { return DPoint3d{coordinate(random), coordinate(random), coordinate(random)}; };
    for (int i = 0; i < 20000; ++i) {
        const DPoint3d a = point(), b = i % 3 == 0 ? a : point(), q0 = point(), q1 = i % 2 ? q0 : point();
        const DRange3d query = boxOfPoints(q0, q1);
        const double distance = i % 4 == 0 ? 0.0 : std::fabs(coordinate(random)) / 4;
        EXPECT_EQ(widenedSegmentOverlaps(a, b, distance, query),
                  boxesOverlap(widenedBox(boxOfPoints(a, b), distance), query));
    }
}

}  // namespace
