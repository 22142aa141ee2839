#include <cmath>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "record_test_builder.h"
#include "spatialgeom/queries.h"

namespace {

using namespace testrecords;

struct Box {
    uint32_t status;
    DPoint3d low, high;
};

using RangeExport = uint32_t (*)(const void*, DPoint3d*, DPoint3d*);

Box rangeOf(RangeExport measure, const Record& record) {
    const DPoint3d sentinel{7e7, 7e7, 7e7};
    Box box{0, sentinel, sentinel};
    box.status = measure(record.data(), &box.low, &box.high);
    return box;
}

void expectBox(const Box& box, DPoint3d low, DPoint3d high) {
    ASSERT_EQ(box.status, SPATIAL_SUCCESS);
    for (auto [actual, expected] : {std::pair{box.low, low}, std::pair{box.high, high}}) {
        EXPECT_EQ(actual.x, expected.x);
        EXPECT_EQ(actual.y, expected.y);
        EXPECT_EQ(actual.z, expected.z);
    }
}

void expectRefused(const Box& box) {
    EXPECT_EQ(box.status, SPATIAL_FAILURE);
    EXPECT_EQ(box.low.x, 7e7);
    EXPECT_EQ(box.high.z, 7e7);
}

// Every kind measured by its own export and by the dispatcher alike.
struct KindCase {
    const char* name;
    RangeExport measure;
    Record record;
    DPoint3d low, high;
};

std::vector<KindCase> kindCases() {
    const Record twoSublines = line({{{0, 0, 0}, {1, 1, 1}}, {{-4, 3, 9}, {2, 2, 2}, {0, 8, -1}}});
    // The hole reaches outside the outer ring: its vertices widen the box.
    const Record holeOutside =
        polygon({{{{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}}}, {{{1, 1, 0}, {9, 1, 0}, {1, -3, 2}}}});
    const Record multiline = multiLine({{{{0, 0, 0}, {1, 0, 0}}}, {{{5, 5, 5}}, {{-2, 1, 1}, {0, 0, 7}}}});
    const Record multipolygon = multiPolygon(
        {{{{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}}}, {{{{5, 5, 1}, {6, 5, 1}, {5, 6, 1}}}, {{{5.2, 5.2, -3}}}}});
    const Record multipoint = multiPoint({{3, 3, 3}, {-1, 5, 0}, {2, -6, 4}});
    // lineCount rewritten to 1: the second member is no longer part of it.
    Record countedOnce = multiLine({{{{0, 0, 0}, {1, 0, 0}}}, {{{50, 50, 50}, {60, 60, 60}}}});
    countedOnce.setWord(16, 1);
    const Record emptyLines = multiLine({{}, {{}}, {vertices(2)}});
    const Record emptyPolygons = multiPolygon({{}, {{}}, {{vertices(1, 4)}}});
    return {
        {"point", spatialWKB_getPointRange, point({1, 2, 3}), {1, 2, 3}, {1, 2, 3}},
        {"line", spatialWKB_getLineRange, line({{{0, 0, 5}, {10, -2, 1}}}), {0, -2, 1}, {10, 0, 5}},
        {"line of two sublines", spatialWKB_getLineRange, twoSublines, {-4, 0, -1}, {2, 8, 9}},
        {"polygon with a hole outside", spatialWKB_getPolygonRange, holeOutside, {0, -3, 0}, {9, 4, 2}},
        {"multipoint", spatialWKB_getMultiPointRange, multipoint, {-1, -6, 0}, {3, 5, 4}},
        {"multiline", spatialWKB_getMultiLineRange, multiline, {-2, 0, 0}, {5, 5, 7}},
        {"multiline of one counted member", spatialWKB_getMultiLineRange, countedOnce, {0, 0, 0}, {1, 0, 0}},
        {"multipolygon", spatialWKB_getMultiPolygonRange, multipolygon, {0, 0, -3}, {6, 6, 1}},
        // Empty sublines, rings and members before the vertices: the box is
        // that of the vertices present.
        {"line, empties", spatialWKB_getLineRange, line({{}, {{2, 3, 4}, {1, 5, 4}}, {}}), {1, 3, 4}, {2, 5, 4}},
        {"polygon, empties", spatialWKB_getPolygonRange, polygon({{}, {{}, {{1, 1, 1}}}}), {1, 1, 1}, {1, 1, 1}},
        {"multiline, empties", spatialWKB_getMultiLineRange, emptyLines, {0, 1, 2}, {10, 11, 12}},
        {"multipolygon, empties", spatialWKB_getMultiPolygonRange, emptyPolygons, {4, 5, 6}, {4, 5, 6}},
    };
}

TEST(Range, CoversEveryVertexOfEveryKindThroughBothExportsAndRefusesNulls) {
    DPoint3d low{}, high{};
    for (const KindCase& c : kindCases()) {
        SCOPED_TRACE(c.name);
        for (RangeExport measure : {c.measure, spatialWKB_getRange}) {
            expectBox(rangeOf(measure, c.record), c.low, c.high);
            EXPECT_EQ(measure(nullptr, &low, &high), SPATIAL_FAILURE);
            EXPECT_EQ(measure(c.record.data(), nullptr, &high), SPATIAL_FAILURE);
            EXPECT_EQ(measure(c.record.data(), &low, nullptr), SPATIAL_FAILURE);
        }
    }
}

TEST(Range, SignedZeroKeepsTheFirstVertexSign) {
    const Box box = rangeOf(spatialWKB_getLineRange, line({{{-0.0, 0.0, 1}, {0.0, -0.0, 1}}}));
    ASSERT_EQ(box.status, SPATIAL_SUCCESS);
    EXPECT_TRUE(std::signbit(box.low.x) && std::signbit(box.high.x));
    EXPECT_FALSE(std::signbit(box.low.y) || std::signbit(box.high.y));
}

TEST(Range, ARecordWithoutVertexOrOfAnotherTypeIsRefused) {
    expectRefused(rangeOf(spatialWKB_getLineRange, line({})));
    expectRefused(rangeOf(spatialWKB_getLineRange, line({{}, {}})));
    expectRefused(rangeOf(spatialWKB_getPolygonRange, polygon({{{}}})));
    expectRefused(rangeOf(spatialWKB_getMultiPointRange, multiPoint({})));
    expectRefused(rangeOf(spatialWKB_getMultiLineRange, multiLine({{}, {{}}})));
    expectRefused(rangeOf(spatialWKB_getMultiPolygonRange, multiPolygon({{}, {{}}})));
    expectRefused(rangeOf(spatialWKB_getRange, multiPoint({})));
    // So are collections and codes outside 1..6.
    expectRefused(rangeOf(spatialWKB_getRange, collection({point({1, 2, 3})})));
    for (uint32_t type : {0u, 8u, 9u, 0xFFFFFFFFu}) expectRefused(rangeOf(spatialWKB_getRange, ofType(type)));
}

// The widened range rounds outwards: a distance that vanishes in the
// rounding of a large coordinate, or a distance of 0, still moves every
// bound, a bound of 0 too. It may be computed in place; a negative or NaN
// distance, at which nothing meets, is refused.
TEST(Range, WideningRoundsOutwardsAndRefusesDistancesThatMeetNothing) {
    DPoint3d low{0.1, -0.3, 1e20}, high{0.7, 0.2, 1e20};
    ASSERT_EQ(spatialWKB_widenRange(&low, &high, 0.2, &low, &high), SPATIAL_SUCCESS);
    EXPECT_LT(low.x, 0.1 - 0.2);
    EXPECT_GT(high.y, 0.2 + 0.2);
    EXPECT_LT(low.z, 1e20);
    EXPECT_GT(high.z, 1e20);
    const DPoint3d before = low, zero{0, 0, 0};
    DPoint3d sameLow, sameHigh;
    ASSERT_EQ(spatialWKB_widenRange(&low, &high, 0.0, &sameLow, &sameHigh), SPATIAL_SUCCESS);
    EXPECT_TRUE(sameLow.x < low.x && sameHigh.x > high.x && sameLow.z < low.z && sameHigh.z > high.z);
    ASSERT_EQ(spatialWKB_widenRange(&zero, &zero, 0.0, &sameLow, &sameHigh), SPATIAL_SUCCESS);
    EXPECT_TRUE(sameLow.y < 0.0 && sameHigh.y > 0.0);
    for (double distance : {-1.0, std::nan("")}) {
        EXPECT_EQ(spatialWKB_widenRange(&low, &high, distance, &low, &high), SPATIAL_FAILURE);
    }
    EXPECT_EQ(spatialWKB_widenRange(&low, &high, 1.0, nullptr, &high), SPATIAL_FAILURE);
    EXPECT_EQ(low.x, before.x);
}

}  // namespace
