// Reading records: the order of the checks. (Capacities and indexes:
// limit_boundaries_test.)
#include <gtest/gtest.h>

#include "record_test_builder.h"

using namespace testrecords;

namespace {

const DPoint3d kUnwritten{-7, -7, -7};

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
