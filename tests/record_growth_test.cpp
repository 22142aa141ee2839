// Growing records: sizes, counts, where the new element lands, and that a
// refused call changes nothing.
#include <gtest/gtest.h>

#include "record_test_support.h"

using namespace testing_support;

namespace {

using Grower = uint32_t (*)(const DPoint3d*, uint32_t, void**);
using Creator = uint32_t (*)(const DPoint3d*, uint32_t, void**);

struct GrowthCase {
    const char* name;
    Creator create;
    uint32_t createdWith;
    Grower grow;
    uint32_t grownBy;
    uint32_t sizeBefore;
    uint32_t sizeAfter;
    std::size_t newVertexCountOffset;  // vertexCount of the appended subline
};

TEST(RecordGrowth, AppendsOneElementAtTheEnd) {
    const GrowthCase cases[] = {
        {"subline to line", spatialWKB_createLine, 2, spatialWKB_addLineToLine, 3, 80, 160, 84},
        {"ring to polygon", spatialWKB_createPolygon, 4, spatialWKB_addRingToPolygon, 5, 136, 272, 148},
        {"line to multiline", spatialWKB_createMultiLine, 2, spatialWKB_addLineToMultiLine, 2, 88, 152, 100},
        {"polygon to multipolygon", spatialWKB_createMultiPolygon, 4, spatialWKB_addPolyToMultiPoly, 4, 144, 264,
         164},
        {"ring to multipolygon", spatialWKB_createMultiPolygon, 4, spatialWKB_addRingToMultiPoly, 4, 144, 256, 156},
    };
    for (const GrowthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto first = vertices(c.createdWith);
        const auto added = vertices(c.grownBy, 500);
        Record record;
        ASSERT_EQ(c.create(first.data(), c.createdWith, record.out()), SPATIAL_SUCCESS);
        std::vector<uint8_t> before(record.bytes(), record.bytes() + c.sizeBefore);
        ASSERT_EQ(c.grow(added.data(), c.grownBy, record.out()), SPATIAL_SUCCESS);
        EXPECT_EQ(wordAt(record.get(), 12), c.sizeAfter);
        uint32_t computed = 0;
        ASSERT_EQ(spatialWKB_calculateSize(record.get(), &computed), SPATIAL_SUCCESS);
        EXPECT_EQ(computed, c.sizeAfter);
        EXPECT_EQ(wordAt(record.get(), c.newVertexCountOffset), c.grownBy);
        EXPECT_EQ(wordAt(record.get(), c.newVertexCountOffset - 4), 0u);
        for (uint32_t i = 0; i < c.grownBy; ++i)
            EXPECT_TRUE(samePoint(vertexAt(record.get(), c.newVertexCountOffset + 4 + 24 * i), added[i]));
        // Everything before the old end is unchanged apart from totalSize and
        // the one count word raised.
        for (std::size_t offset = 16; offset < c.sizeBefore; offset += 4) {
            if (offset == 16 || (c.grow == spatialWKB_addRingToMultiPoly && offset == 24)) continue;
            EXPECT_EQ(wordAt(record.get(), offset), wordAt(before.data(), offset)) << "offset " << offset;
        }
        Record copy;
        ASSERT_EQ(spatialWKB_copy(record.get(), copy.out()), SPATIAL_SUCCESS);
        EXPECT_EQ(std::memcmp(copy.get(), record.get(), c.sizeAfter), 0);
    }
}

TEST(RecordGrowth, HolesJoinTheLastPolygonOfAMultipolygon) {
    // (((4)), ((4), (4))): 144 + 120 + 112 = 376 bytes.
    const auto ring = vertices(4);
    Record record;
    ASSERT_EQ(spatialWKB_createMultiPolygon(ring.data(), 4, record.out()), SPATIAL_SUCCESS);
    ASSERT_EQ(spatialWKB_addPolyToMultiPoly(ring.data(), 4, record.out()), SPATIAL_SUCCESS);
    ASSERT_EQ(spatialWKB_addRingToMultiPoly(ring.data(), 4, record.out()), SPATIAL_SUCCESS);
    EXPECT_EQ(wordAt(record.get(), 12), 376u);
    EXPECT_EQ(wordAt(record.get(), 16), 2u) << "polygonCount";
    EXPECT_EQ(wordAt(record.get(), 24), 1u) << "rings of the first polygon";
    EXPECT_EQ(wordAt(record.get(), 144), 2u) << "rings of the second polygon";
    uint32_t count = 0;
    ASSERT_EQ(spatialWKB_mpolygonGetPointCount(record.get(), 1, &count), SPATIAL_SUCCESS);
    EXPECT_EQ(count, 8u);

    ByteWriter empty;
    empty.header(6, 24).words(0);
    void* variable = empty.data();
    EXPECT_EQ(spatialWKB_addRingToMultiPoly(ring.data(), 4, &variable), SPATIAL_FAILURE) << "no polygon to hold it";
    EXPECT_EQ(variable, empty.data());
}

TEST(RecordGrowth, RefusedCallsChangeNothing) {
    const auto ring = vertices(4);
    Record record;
    ASSERT_EQ(spatialWKB_createPolygon(ring.data(), 4, record.out()), SPATIAL_SUCCESS);
    void* const address = record.get();
    const std::vector<uint8_t> before(record.bytes(), record.bytes() + 136);
    EXPECT_EQ(spatialWKB_addRingToPolygon(ring.data(), 0, record.out()), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_addRingToPolygon(nullptr, 4, record.out()), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_addRingToPolygon(ring.data(), 4, nullptr), SPATIAL_FAILURE);
    void* null = nullptr;
    EXPECT_EQ(spatialWKB_addRingToPolygon(ring.data(), 4, &null), SPATIAL_FAILURE);
    EXPECT_EQ(record.get(), address);
    EXPECT_EQ(std::memcmp(record.get(), before.data(), 136), 0);
}

TEST(RecordGrowth, RefusesARecordThatWouldOutgrowThirtyTwoBits) {
    // A linestring whose one subline claims 0xFFFFFFF0 vertices: its size
    // alone passes 4 GiB, so growing must fail before touching the heap (the
    // block here is a stack buffer that realloc must never see).
    ByteWriter line;
    line.header(2, 0).words(1).words(0, 0xFFFFFFF0u);
    const DPoint3d vertex{0, 0, 0};
    void* variable = line.data();
    EXPECT_EQ(spatialWKB_addLineToLine(&vertex, 1, &variable), SPATIAL_FAILURE);
    EXPECT_EQ(variable, line.data());
    EXPECT_EQ(wordAt(line.data(), 16), 1u);
}

}  // namespace
