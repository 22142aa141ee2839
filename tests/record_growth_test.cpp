// Growing records: the grown record is the one laid out by hand with the
// new element at the end, and a refused call changes nothing.
#include <gtest/gtest.h>

#include "record_test_builder.h"

using namespace testrecords;

namespace {

using Grower = uint32_t (*)(const DPoint3d*, uint32_t, void**);

// Created from elements[0], then grown by each grower with the next
// element (element i: vertices(lengths[i], 100 * i)).
struct GrowthCase {
    const char* name;
    Grower create;
    std::vector<Grower> growers;
    std::vector<uint32_t> lengths;
    Record (*laidOut)(const std::vector<Vertices>& elements);
};

TEST(RecordGrowth, AppendsOneElementAtTheEnd) {
    const GrowthCase cases[] = {
        {"subline to line",
         spatialWKB_createLine,
         {spatialWKB_addLineToLine},
         {2, 3},
         [](const std::vector<Vertices>& e) {
             return line({e[0], e[1]});
         }},
        {"ring to polygon",
         spatialWKB_createPolygon,
         {spatialWKB_addRingToPolygon},
         {4, 5},
         [](const std::vector<Vertices>& e) {
             return polygon({{e[0]}, {e[1]}});
         }},
        {"line to multiline",
         spatialWKB_createMultiLine,
         {spatialWKB_addLineToMultiLine},
         {2, 2},
         [](const std::vector<Vertices>& e) {
             return multiLine({{e[0]}, {e[1]}});
         }},
        {"polygon to multipolygon",
         spatialWKB_createMultiPolygon,
         {spatialWKB_addPolyToMultiPoly},
         {4, 4},
         [](const std::vector<Vertices>& e) {
             return multiPolygon({{{e[0]}}, {{e[1]}}});
         }},
        {"ring to multipolygon",
         spatialWKB_createMultiPolygon,
         {spatialWKB_addRingToMultiPoly},
         {4, 4},
         [](const std::vector<Vertices>& e) {
             return multiPolygon({{{e[0]}, {e[1]}}});
         }},
        {"hole to the last polygon",
         spatialWKB_createMultiPolygon,
         {spatialWKB_addPolyToMultiPoly, spatialWKB_addRingToMultiPoly},
         {4, 4, 5},
         [](const std::vector<Vertices>& e) {
             return multiPolygon({{{e[0]}}, {{e[1]}, {e[2]}}});
         }},
    };
    for (const GrowthCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Vertices> elements;
        for (uint32_t n : c.lengths) elements.push_back(vertices(n, 100.0 * elements.size()));
        LibraryRecord record;
        ASSERT_EQ(c.create(elements[0].data(), c.lengths[0], record.out()), SPATIAL_SUCCESS);
        for (std::size_t i = 1; i < elements.size(); ++i)
            ASSERT_EQ(c.growers[i - 1](elements[i].data(), c.lengths[i], record.out()), SPATIAL_SUCCESS);
        const Record expected = c.laidOut(elements).withLibraryPads();
        EXPECT_EQ(bytesOf(record.get()), bytesOf(expected.data()));
        uint32_t computed = 0;
        ASSERT_EQ(spatialWKB_calculateSize(record.get(), &computed), SPATIAL_SUCCESS);
        EXPECT_EQ(computed, expected.size());
    }
}

TEST(RecordGrowth, RefusedCallsChangeNothing) {
    const auto ring = vertices(4);
    LibraryRecord record;
    ASSERT_EQ(spatialWKB_createPolygon(ring.data(), 4, record.out()), SPATIAL_SUCCESS);
    void* const address = record.get();
    const std::vector<uint8_t> before = bytesOf(record.get());
    EXPECT_EQ(spatialWKB_addRingToPolygon(ring.data(), 0, record.out()), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_addRingToPolygon(nullptr, 4, record.out()), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_addRingToPolygon(ring.data(), 4, nullptr), SPATIAL_FAILURE);
    void* null = nullptr;
    EXPECT_EQ(spatialWKB_addRingToPolygon(ring.data(), 4, &null), SPATIAL_FAILURE);
    EXPECT_EQ(record.get(), address);
    EXPECT_EQ(bytesOf(record.get()), before);

    Record empty = ofType(SPATIAL_TYPE_MULTIPOLYGON);
    void* variable = empty.data();
    EXPECT_EQ(spatialWKB_addRingToMultiPoly(ring.data(), 4, &variable), SPATIAL_FAILURE) << "no polygon to hold it";
    EXPECT_EQ(variable, empty.data());
}

}  // namespace
