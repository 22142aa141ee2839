// Growing records: the grown record is the one laid out by hand with the
// new element at the end, and a refused call changes nothing.
#include <gtest/gtest.h>

#include "record_test_builder.h"

using namespace testrecords;

namespace {

using Grower = uint32_t (*)(const DPoint3d*, uint32_t, void**);

// Created from the first element, then grown by each grower with the next.
struct GrowthCase {
    const char* name;
    Grower create;
    std::vector<Grower> growers;
    std::vector<Vertices> elements;
    Record expected;
};

TEST(RecordGrowth, AppendsOneElementAtTheEnd) {
    const Vertices a = vertices(2), b = vertices(3, 100), p = vertices(4), q = vertices(4, 100), h = vertices(5, 200);
    const Grower multiPolygonOf = spatialWKB_createMultiPolygon, addPolygon = spatialWKB_addPolyToMultiPoly,
                 addRing = spatialWKB_addRingToMultiPoly;
    const GrowthCase cases[] = {
        {"subline to line", spatialWKB_createLine, {spatialWKB_addLineToLine}, {a, b}, line({a, b})},
        {"ring to polygon", spatialWKB_createPolygon, {spatialWKB_addRingToPolygon}, {p, h}, polygon({{p}, {h}})},
        {"line to lines", spatialWKB_createMultiLine, {spatialWKB_addLineToMultiLine}, {a, b}, multiLine({{a}, {b}})},
        {"polygon to multipolygon", multiPolygonOf, {addPolygon}, {p, q}, multiPolygon({{{p}}, {{q}}})},
        {"ring to multipolygon", multiPolygonOf, {addRing}, {p, q}, multiPolygon({{{p}, {q}}})},
        {"hole to the last polygon",
         multiPolygonOf,
         {addPolygon, addRing},
         {p, q, h},
         multiPolygon({{{p}}, {{q}, {h}}})},
    };
    for (const GrowthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto count = [](const Vertices& v) { return static_cast<uint32_t>(v.size()); };
        LibraryRecord record;
        ASSERT_EQ(c.create(c.elements[0].data(), count(c.elements[0]), record.out()), SPATIAL_SUCCESS);
        for (std::size_t i = 1; i < c.elements.size(); ++i)
            ASSERT_EQ(c.growers[i - 1](c.elements[i].data(), count(c.elements[i]), record.out()), SPATIAL_SUCCESS);
        const Record expected = c.expected.withLibraryPads();
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
