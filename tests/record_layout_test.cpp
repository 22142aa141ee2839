// Byte layouts, sizes, growth, copies and releases of records, checked
// against records laid out by hand. (The readers: limit_boundaries_test.)
#include <utility>

#include <gtest/gtest.h>

#include "record_test_builder.h"

using namespace testrecords;

namespace {

using Creator = uint32_t (*)(const DPoint3d*, uint32_t, void**);
using TypedSize = uint32_t (*)(const void*, uint32_t*);

uint32_t createPoint(const DPoint3d* vertices, uint32_t, void** out) { return spatialWKB_createPoint(vertices, out); }

// A size export's status and the size it gives (77: left alone).
using SizeOutcome = std::pair<uint32_t, uint32_t>;
constexpr SizeOutcome kFails{SPATIAL_FAILURE, 77}, kLeftAlone{SPATIAL_SUCCESS, 77};
constexpr SizeOutcome sized(uint32_t size) { return {SPATIAL_SUCCESS, size}; }

SizeOutcome sizeBy(TypedSize size, const void* record) {
    SizeOutcome out{0, 77};
    out.first = size(record, &out.second);
    return out;
}

// Each creator lays out the record of its kind from n vertices as laid out
// here (pad and reserved words 0, totalSize stored), and the size exports
// agree with it.
TEST(RecordCreators, LayOutTheirKindByteForByte) {
    const struct {
        const char* name;
        Creator create;
        Record (*laidOut)(const Vertices&);
        TypedSize typedSize;
    } kinds[] = {
        {"point", createPoint, [](const Vertices& v) { return point(v[0]); }, spatialWKB_getPointSize},
        {"linestring", spatialWKB_createLine, [](const Vertices& v) { return line({v}); }, spatialWKB_getLineSize},
        {"polygon", spatialWKB_createPolygon, [](const Vertices& v) { return polygon({{v}}); },
         spatialWKB_getPolygonSize},
        {"multipoint", spatialWKB_createMultiPoint, multiPoint, spatialWKB_getMultiPointSize},
        {"multilinestring", spatialWKB_createMultiLine, [](const Vertices& v) { return multiLine({{v}}); },
         spatialWKB_getMultiLineSize},
        {"multipolygon", spatialWKB_createMultiPolygon, [](const Vertices& v) { return multiPolygon({{{v}}}); },
         spatialWKB_getMultiPolygonSize},
    };
    for (const auto& kind : kinds) {
        for (uint32_t n : {1u, 2u, 5u}) {
            SCOPED_TRACE(std::string(kind.name) + " n=" + std::to_string(n));
            const Vertices input = vertices(n);
            const Record expected = kind.laidOut(input).withLibraryPads();
            LibraryRecord record;
            ASSERT_EQ(kind.create(input.data(), n, record.out()), SPATIAL_SUCCESS);
            EXPECT_EQ(bytesOf(record.get()), bytesOf(expected.data()));
            EXPECT_EQ(sizeBy(spatialWKB_calculateSize, record.get()), sized(expected.size()));
            EXPECT_EQ(sizeBy(kind.typedSize, record.get()), sized(expected.size()));
        }
    }
}

// A linestring of two sublines (2 and 3 vertices): 16 + 8 + 56 + 80 = 160
// bytes, with the totalSize given.
Record twoSublineLine(uint32_t totalSize) {
    Record line = testrecords::line({vertices(2), vertices(3, 100)});
    line.setWord(12, totalSize);
    return line;
}

Record withoutTotalSize(Record record) {
    record.setWord(12, 0);
    return record;
}

// A collection of a point (40 bytes) and a 2-vertex linestring (80 bytes),
// its members with or without their totalSize.
Record pointAndLineCollection(bool memberSizes) {
    const Record point = testrecords::point({1, 2, 3}), line = testrecords::line({vertices(2)});
    return withoutTotalSize(memberSizes ? collection({point, line})
                                        : collection({withoutTotalSize(point), withoutTotalSize(line)}));
}

// spatialWKB_calculateSize computes from the layout alone; getSize trusts a
// stored totalSize and computes when it is 0.
TEST(RecordSizes, ComputedAndStoredSizes) {
    // Point, type 8 without totalSize, point: the walk counts the first
    // point only and cannot step over the type 8 member.
    const Record type8Member = Record().header(SPATIAL_TYPE_RESERVED).vertex({1, 2, 3});
    const Record member = point({1, 2, 3});
    const Record stopsAtType8 = withoutTotalSize(
        Record().header(SPATIAL_TYPE_COLLECTION).count(3).member(member).member(type8Member).member(member));
    const struct {
        const char* name;
        Record record;
        SizeOutcome calculated, got;
    } cases[] = {
        {"two sublines without totalSize", twoSublineLine(0), sized(160), sized(160)},
        {"two sublines claiming 1000 bytes", twoSublineLine(1000), sized(160), sized(1000)},
        {"empty multipoint", ofType(SPATIAL_TYPE_MULTIPOINT), sized(24), sized(24)},
        {"empty multilinestring", ofType(SPATIAL_TYPE_MULTILINESTRING), sized(24), sized(24)},
        {"empty multipolygon", ofType(SPATIAL_TYPE_MULTIPOLYGON), sized(24), sized(24)},
        {"empty collection", ofType(SPATIAL_TYPE_COLLECTION), sized(24), sized(24)},
        {"collection, members with totalSize", pointAndLineCollection(true), sized(144), sized(144)},
        {"collection, members without totalSize", pointAndLineCollection(false), sized(144), sized(144)},
        {"collection with a member of type 8", stopsAtType8, sized(64), sized(64)},
        {"type 8, which has no layout", ofType(SPATIAL_TYPE_RESERVED), kLeftAlone, kFails},
        {"type 0", ofType(0), kFails, kFails},
        {"type 9", ofType(9), kFails, kFails},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sizeBy(spatialWKB_calculateSize, c.record.data()), c.calculated) << c.name;
        EXPECT_EQ(sizeBy(spatialWKB_getSize, c.record.data()), c.got) << c.name;
    }
}

// The typed sizes read no type code; getType reports any code stored.
TEST(RecordSizes, TypedSizesAndTypeReadNoTypeAndRefuseNulls) {
    const Record line = twoSublineLine(0);
    EXPECT_EQ(sizeBy(spatialWKB_getPointSize, line.data()), sized(40));
    EXPECT_EQ(sizeBy(spatialWKB_getLineSize, line.data()), sized(160));
    EXPECT_EQ(sizeBy(spatialWKB_getMultiPointSize, ofType(SPATIAL_TYPE_MULTIPOINT).data()), sized(24));
    EXPECT_EQ(sizeBy(spatialWKB_getLineSize, nullptr), kFails);
    EXPECT_EQ(spatialWKB_getLineSize(line.data(), nullptr), SPATIAL_FAILURE);
    uint32_t type = 0;
    ASSERT_EQ(spatialWKB_getType(ofType(9).data(), &type), SPATIAL_SUCCESS);
    EXPECT_EQ(type, 9u);
    EXPECT_EQ(spatialWKB_getType(line.data(), nullptr), SPATIAL_FAILURE);
}

TEST(RecordLifetime, CopyIsIndependentAndDestroyClearsTheVariable) {
    Record collection = pointAndLineCollection(true).finish();
    LibraryRecord copy;
    ASSERT_EQ(spatialWKB_copy(collection.data(), copy.out()), SPATIAL_SUCCESS);
    collection.setWord(16, 0);
    EXPECT_EQ(wordAt(copy.get(), 16), 2u);

    void* variable = nullptr;
    EXPECT_EQ(spatialWKB_copy(ofType(SPATIAL_TYPE_RESERVED).data(), &variable), SPATIAL_FAILURE);
    EXPECT_EQ(variable, nullptr);
    ASSERT_EQ(spatialWKB_copy(copy.get(), &variable), SPATIAL_SUCCESS);
    EXPECT_EQ(spatialWKB_destroyGeomCollection(&variable), SPATIAL_SUCCESS);
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(spatialWKB_destroyGeom(&variable), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_destroyGeom(nullptr), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_copy(nullptr, &variable), SPATIAL_FAILURE);
    EXPECT_EQ(spatialWKB_copy(copy.get(), nullptr), SPATIAL_FAILURE);
}

// Created from the first element, then grown by each grower with the next.
struct GrowthCase {
    const char* name;
    Creator create;
    std::vector<Creator> growers;
    std::vector<Vertices> elements;
    Record expected;
};

// Growing records: the grown record is the one laid out by hand with the
// new element at the end, and a refused call changes nothing.
TEST(RecordGrowth, AppendsOneElementAtTheEnd) {
    const Vertices a = vertices(2), b = vertices(3, 100), p = vertices(4), q = vertices(4, 100), h = vertices(5, 200);
    const Creator multiPolygonOf = spatialWKB_createMultiPolygon, addPolygon = spatialWKB_addPolyToMultiPoly,
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
        EXPECT_EQ(sizeBy(spatialWKB_calculateSize, record.get()), sized(expected.size()));
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
