// Reading records: check order, capacities and partial copies.
#include <gtest/gtest.h>

#include "record_test_support.h"

using namespace testing_support;

namespace {

const DPoint3d kUnwritten{-7, -7, -7};

TEST(RecordReaders, LinePointsCopyWholeSublinesOnly) {
    const auto first = vertices(2);
    const auto second = vertices(3, 100);
    Record line;
    ASSERT_EQ(spatialWKB_createLine(first.data(), 2, line.out()), SPATIAL_SUCCESS);
    ASSERT_EQ(spatialWKB_addLineToLine(second.data(), 3, line.out()), SPATIAL_SUCCESS);
    struct Case {
        uint32_t capacity, status, count;
    };
    for (const Case c : {Case{5, SPATIAL_SUCCESS, 5}, Case{4, SPATIAL_FAILURE, 2}, Case{2, SPATIAL_FAILURE, 2},
                         Case{0, SPATIAL_FAILURE, 0}}) {
        SCOPED_TRACE(c.capacity);
        std::vector<DPoint3d> out(6, kUnwritten);
        uint32_t count = 99;
        EXPECT_EQ(spatialWKB_lineGetPoints(line.get(), c.capacity, out.data(), &count), c.status);
        EXPECT_EQ(count, c.count);
        EXPECT_TRUE(samePoint(out[c.count], kUnwritten));
    }
}

TEST(RecordReaders, PolygonPointsCountWholeRingsOnly) {
    const auto outer = vertices(4);
    const auto hole = vertices(5, 100);
    Record polygon;
    ASSERT_EQ(spatialWKB_createPolygon(outer.data(), 4, polygon.out()), SPATIAL_SUCCESS);
    ASSERT_EQ(spatialWKB_addRingToPolygon(hole.data(), 5, polygon.out()), SPATIAL_SUCCESS);
    uint32_t count = 0;
    ASSERT_EQ(spatialWKB_polygonGetPointCount(polygon.get(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 9u);
    std::vector<DPoint3d> out(9, kUnwritten);
    EXPECT_EQ(spatialWKB_polygonGetPoints(polygon.get(), 6, out.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(count, 4u);
    EXPECT_TRUE(samePoint(out[3], outer[3]));
    EXPECT_EQ(spatialWKB_polygonGetPoints(polygon.get(), 9, out.data(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 9u);
    EXPECT_TRUE(samePoint(out[8], hole[4]));
}

TEST(RecordReaders, MultipointIsAllOrNothing) {
    const auto points = vertices(3);
    Record multipoint;
    ASSERT_EQ(spatialWKB_createMultiPoint(points.data(), 3, multipoint.out()), SPATIAL_SUCCESS);
    std::vector<DPoint3d> out(4, kUnwritten);
    uint32_t count = 99;
    EXPECT_EQ(spatialWKB_mpointGetPoints(multipoint.get(), 2, out.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(count, 99u);
    EXPECT_TRUE(samePoint(out[0], kUnwritten));
    EXPECT_EQ(spatialWKB_mpointGetPoints(multipoint.get(), 4, out.data(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 3u);
    EXPECT_TRUE(samePoint(out[2], points[2]));
    EXPECT_TRUE(samePoint(out[3], kUnwritten));

    DPoint3d point = kUnwritten;
    EXPECT_EQ(spatialWKB_mpointGetPoint(multipoint.get(), 3, &point), SPATIAL_FAILURE);
    EXPECT_TRUE(samePoint(point, kUnwritten));
    EXPECT_EQ(spatialWKB_mpointGetPoint(multipoint.get(), 0, &point), SPATIAL_SUCCESS);
    EXPECT_TRUE(samePoint(point, points[0]));
}

TEST(RecordReaders, IndexedMembersAreFoundByWalkingStoredSizes) {
    const auto longLine = vertices(7);
    const auto shortLine = vertices(3, 100);
    Record multiline;
    ASSERT_EQ(spatialWKB_createMultiLine(longLine.data(), 7, multiline.out()), SPATIAL_SUCCESS);
    ASSERT_EQ(spatialWKB_addLineToMultiLine(shortLine.data(), 3, multiline.out()), SPATIAL_SUCCESS);
    uint32_t count = 0;
    ASSERT_EQ(spatialWKB_mlineGetLineCount(multiline.get(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(spatialWKB_mlineGetPointCount(multiline.get(), 1, &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 3u);
    std::vector<DPoint3d> out(3);
    ASSERT_EQ(spatialWKB_mlineGetPoints(multiline.get(), 1, 3, out.data(), &count), SPATIAL_SUCCESS);
    EXPECT_TRUE(samePoint(out[2], shortLine[2]));
    EXPECT_EQ(spatialWKB_mlineGetPointCount(multiline.get(), 2, &count), SPATIAL_FAILURE);

    Record multipolygon;
    ASSERT_EQ(spatialWKB_createMultiPolygon(longLine.data(), 7, multipolygon.out()), SPATIAL_SUCCESS);
    ASSERT_EQ(spatialWKB_addPolyToMultiPoly(shortLine.data(), 3, multipolygon.out()), SPATIAL_SUCCESS);
    ASSERT_EQ(spatialWKB_addRingToMultiPoly(longLine.data(), 7, multipolygon.out()), SPATIAL_SUCCESS);
    ASSERT_EQ(spatialWKB_mpolygonGetPolyCount(multipolygon.get(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(spatialWKB_mpolygonGetPointCount(multipolygon.get(), 1, &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 10u);
    std::vector<DPoint3d> polygonOut(10);
    EXPECT_EQ(spatialWKB_mpolygonGetPoints(multipolygon.get(), 1, 9, polygonOut.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(spatialWKB_mpolygonGetPointCount(multipolygon.get(), 2, &count), SPATIAL_FAILURE);
}

TEST(RecordReaders, ChecksComeInOrderAndWriteNothing) {
    const DPoint3d origin{0, 0, 0};
    Record point;
    ASSERT_EQ(spatialWKB_createPoint(&origin, point.out()), SPATIAL_SUCCESS);
    uint32_t count = 99;
    DPoint3d out = kUnwritten;
    // Wrong type for every typed reader.
    EXPECT_EQ(spatialWKB_lineGetPointCount(point.get(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_polygonGetPointCount(point.get(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_mpointGetPointCount(point.get(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_mlineGetLineCount(point.get(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_mpolygonGetPolyCount(point.get(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_mpointGetPoints(point.get(), 0, &out, &count), SPATIAL_FAILURE);
    EXPECT_EQ(count, 99u);
    // Null record and null outputs.
    EXPECT_EQ(spatialWKB_pointGetPoint(nullptr, &out), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_pointGetPoint(point.get(), nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_lineGetPoints(point.get(), 10, nullptr, &count), SPATIAL_FAILURE);
    EXPECT_TRUE(samePoint(out, kUnwritten));
    ASSERT_EQ(spatialWKB_pointGetPoint(point.get(), &out), SPATIAL_SUCCESS);
    EXPECT_TRUE(samePoint(out, origin));
    // getType reports any stored code.
    ByteWriter odd;
    odd.header(9, 0);
    uint32_t type = 0;
    ASSERT_EQ(spatialWKB_getType(odd.data(), &type), SPATIAL_SUCCESS);
    EXPECT_EQ(type, 9u);
    EXPECT_EQ(spatialWKB_getType(odd.data(), nullptr), SPATIAL_FAILURE);
}

}  // namespace
