// Reading records: check order, capacities and partial copies.
#include <gtest/gtest.h>

#include "record_test_builder.h"

using namespace testrecords;

namespace {

const DPoint3d kUnwritten{-7, -7, -7};

TEST(RecordReaders, LinePointsCopyWholeSublinesOnly) {
    const auto first = vertices(2);
    const auto second = vertices(3, 100);
    const Record line = testrecords::line({first, second});
    uint32_t all = 0;
    ASSERT_EQ(spatialWKB_lineGetPointCount(line.data(), &all), SPATIAL_SUCCESS);
    EXPECT_EQ(all, 5u);
    struct Case {
        uint32_t capacity, status, count;
    };
    for (const Case c : {Case{5, SPATIAL_SUCCESS, 5}, Case{4, SPATIAL_FAILURE, 2}, Case{2, SPATIAL_FAILURE, 2},
                         Case{0, SPATIAL_FAILURE, 0}}) {
        SCOPED_TRACE(c.capacity);
        std::vector<DPoint3d> out(6, kUnwritten);
        uint32_t count = 99;
        EXPECT_EQ(spatialWKB_lineGetPoints(line.data(), c.capacity, out.data(), &count), c.status);
        EXPECT_EQ(count, c.count);
        EXPECT_TRUE(samePoint(out[c.count], kUnwritten));
    }
}

TEST(RecordReaders, PolygonPointsCountWholeRingsOnly) {
    const auto outer = vertices(4);
    const auto hole = vertices(5, 100);
    const Record polygon = testrecords::polygon({{outer}, {hole}});
    uint32_t count = 0;
    ASSERT_EQ(spatialWKB_polygonGetPointCount(polygon.data(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 9u);
    std::vector<DPoint3d> out(9, kUnwritten);
    EXPECT_EQ(spatialWKB_polygonGetPoints(polygon.data(), 6, out.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(count, 4u);
    EXPECT_TRUE(samePoint(out[3], outer[3]));
    EXPECT_EQ(spatialWKB_polygonGetPoints(polygon.data(), 9, out.data(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 9u);
    EXPECT_TRUE(samePoint(out[8], hole[4]));
}

TEST(RecordReaders, MultipointIsAllOrNothing) {
    const auto points = vertices(3);
    const Record multipoint = multiPoint(points);
    std::vector<DPoint3d> out(4, kUnwritten);
    uint32_t count = 99;
    EXPECT_EQ(spatialWKB_mpointGetPoints(multipoint.data(), 2, out.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(count, 99u);
    EXPECT_TRUE(samePoint(out[0], kUnwritten));
    EXPECT_EQ(spatialWKB_mpointGetPoints(multipoint.data(), 4, out.data(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 3u);
    EXPECT_TRUE(samePoint(out[2], points[2]));
    EXPECT_TRUE(samePoint(out[3], kUnwritten));

    DPoint3d point = kUnwritten;
    EXPECT_EQ(spatialWKB_mpointGetPoint(multipoint.data(), 3, &point), SPATIAL_FAILURE);
    EXPECT_TRUE(samePoint(point, kUnwritten));
    EXPECT_EQ(spatialWKB_mpointGetPoint(multipoint.data(), 0, &point), SPATIAL_SUCCESS);
    EXPECT_TRUE(samePoint(point, points[0]));
}

TEST(RecordReaders, IndexedMembersAreFoundByWalkingTheEarlierOnes) {
    const auto longLine = vertices(7);
    const auto shortLine = vertices(3, 100);
    const Record multiline = multiLine({{longLine}, {shortLine}});
    uint32_t count = 0;
    ASSERT_EQ(spatialWKB_mlineGetLineCount(multiline.data(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(spatialWKB_mlineGetPointCount(multiline.data(), 1, &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 3u);
    std::vector<DPoint3d> out(3);
    ASSERT_EQ(spatialWKB_mlineGetPoints(multiline.data(), 1, 3, out.data(), &count), SPATIAL_SUCCESS);
    EXPECT_TRUE(samePoint(out[2], shortLine[2]));
    EXPECT_EQ(spatialWKB_mlineGetPointCount(multiline.data(), 2, &count), SPATIAL_FAILURE);

    const Record multipolygon = multiPolygon({{{longLine}}, {{shortLine}, {longLine}}});
    ASSERT_EQ(spatialWKB_mpolygonGetPolyCount(multipolygon.data(), &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(spatialWKB_mpolygonGetPointCount(multipolygon.data(), 1, &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 10u);
    std::vector<DPoint3d> polygonOut(10);
    EXPECT_EQ(spatialWKB_mpolygonGetPoints(multipolygon.data(), 1, 9, polygonOut.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(spatialWKB_mpolygonGetPointCount(multipolygon.data(), 2, &count), SPATIAL_FAILURE);
}

TEST(RecordReaders, ChecksComeInOrderAndWriteNothing) {
    const DPoint3d origin{0, 0, 0};
    const Record point = testrecords::point(origin);
    uint32_t count = 99;
    DPoint3d out = kUnwritten;
    // Wrong type for every typed reader.
    EXPECT_EQ(spatialWKB_lineGetPointCount(point.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_polygonGetPointCount(point.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_mpointGetPointCount(point.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_mlineGetLineCount(point.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_mpolygonGetPolyCount(point.data(), &count), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_mpointGetPoints(point.data(), 0, &out, &count), SPATIAL_FAILURE);
    EXPECT_EQ(count, 99u);
    // Null record and null outputs.
    EXPECT_EQ(spatialWKB_pointGetPoint(nullptr, &out), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_pointGetPoint(point.data(), nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_lineGetPoints(point.data(), 10, nullptr, &count), SPATIAL_FAILURE);
    EXPECT_TRUE(samePoint(out, kUnwritten));
    ASSERT_EQ(spatialWKB_pointGetPoint(point.data(), &out), SPATIAL_SUCCESS);
    EXPECT_TRUE(samePoint(out, origin));
    // getType reports any stored code.
    const Record odd = ofType(9);
    uint32_t type = 0;
    ASSERT_EQ(spatialWKB_getType(odd.data(), &type), SPATIAL_SUCCESS);
    EXPECT_EQ(type, 9u);
    EXPECT_EQ(spatialWKB_getType(odd.data(), nullptr), SPATIAL_FAILURE);
}

}  // namespace
