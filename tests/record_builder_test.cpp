// The one-pass builder against the records the creators and growing exports
// make for the same elements in the same order.
#include "records/record_builder.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "record_test_support.h"

using namespace testing_support;
using spatialgeom::Byte;
using spatialgeom::ShapeParts;

namespace {

// The first call of an element-wise build and the calls that add to it.
uint32_t appendRun(const ShapeParts& shape, std::span<const DPoint3d> run, bool firstOfGroup, bool firstOfAll,
                   void** record) {
    const auto n = static_cast<uint32_t>(run.size());
    switch (shape.type) {
        case SPATIAL_TYPE_POLYGON:
            return firstOfAll ? spatialWKB_createPolygon(run.data(), n, record)
                              : spatialWKB_addRingToPolygon(run.data(), n, record);
        case SPATIAL_TYPE_MULTILINESTRING:
            return firstOfAll ? spatialWKB_createMultiLine(run.data(), n, record)
                              : spatialWKB_addLineToMultiLine(run.data(), n, record);
        default:
            if (firstOfAll) return spatialWKB_createMultiPolygon(run.data(), n, record);
            return firstOfGroup ? spatialWKB_addPolyToMultiPoly(run.data(), n, record)
                                : spatialWKB_addRingToMultiPoly(run.data(), n, record);
    }
}

// The record of the shape built through the exports, element by element.
void buildWithExports(const ShapeParts& shape, Record* record) {
    const auto all = static_cast<uint32_t>(shape.vertices.size());
    switch (shape.type) {
        case SPATIAL_TYPE_POINT: ASSERT_EQ(spatialWKB_createPoint(shape.vertices.data(), record->out()), 0u); return;
        case SPATIAL_TYPE_LINESTRING:
            ASSERT_EQ(spatialWKB_createLine(shape.vertices.data(), all, record->out()), 0u);
            return;
        case SPATIAL_TYPE_MULTIPOINT:
            ASSERT_EQ(spatialWKB_createMultiPoint(shape.vertices.data(), all, record->out()), 0u);
            return;
        default: break;
    }
    std::vector<std::size_t> groups(shape.groupLengths.begin(), shape.groupLengths.end());
    if (groups.empty()) groups.push_back(shape.runLengths.size());
    std::size_t run = 0;
    std::size_t vertex = 0;
    for (std::size_t group = 0; group < groups.size(); ++group) {
        for (std::size_t ring = 0; ring < groups[group]; ++ring, ++run) {
            const auto vertices = shape.vertices.subspan(vertex, shape.runLengths[run]);
            vertex += vertices.size();
            ASSERT_EQ(appendRun(shape, vertices, ring == 0, run == 0, record->out()), 0u);
        }
    }
}

std::vector<uint8_t> bytesOf(const Record& record) {
    uint32_t size = 0;
    EXPECT_EQ(spatialWKB_getSize(record.get(), &size), 0u);
    return {record.bytes(), record.bytes() + size};
}

// Writes the shape at `offset` bytes into a fresh buffer; returns the bytes
// written and checks that exactly shapeRecordSize of them were.
std::vector<uint8_t> built(const ShapeParts& shape, std::size_t offset = 0) {
    const std::uint64_t size = spatialgeom::shapeRecordSize(shape);
    std::vector<uint64_t> storage((offset + size) / 8 + 1, 0);
    Byte* at = reinterpret_cast<Byte*>(storage.data()) + offset;
    EXPECT_EQ(spatialgeom::writeShapeRecord(shape, at), at + size);
    return {at, at + size};
}

struct BuilderCase {
    const char* name;
    uint32_t type;
    std::vector<std::size_t> runs;
    std::vector<std::size_t> groups;
    std::size_t pointCount;  // points and multipoints
    uint32_t size;
};

TEST(RecordBuilder, MatchesTheCreatorsAndGrowingExports) {
    const BuilderCase cases[] = {
        {"point", SPATIAL_TYPE_POINT, {}, {}, 1, 40},
        {"linestring", SPATIAL_TYPE_LINESTRING, {2}, {}, 0, 80},
        {"polygon with a hole", SPATIAL_TYPE_POLYGON, {4, 5}, {}, 0, 272},
        {"polygon of one vertex", SPATIAL_TYPE_POLYGON, {1}, {}, 0, 64},
        {"multipoint", SPATIAL_TYPE_MULTIPOINT, {}, {}, 3, 96},
        {"multilinestring", SPATIAL_TYPE_MULTILINESTRING, {2, 1, 3}, {}, 0, 216},
        {"multipolygon", SPATIAL_TYPE_MULTIPOLYGON, {4}, {1}, 0, 144},
        {"multipolygon with holes", SPATIAL_TYPE_MULTIPOLYGON, {4, 4, 4}, {1, 2}, 0, 376},
        {"multipolygon of many holes", SPATIAL_TYPE_MULTIPOLYGON, {5, 4, 3, 4, 6, 1}, {3, 1, 2}, 0, 24 + 24 + 96 + 552},
    };
    for (const BuilderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t vertexCount = std::accumulate(c.runs.begin(), c.runs.end(), c.pointCount);
        const std::vector<DPoint3d> points = vertices(static_cast<uint32_t>(vertexCount), 0.5);
        const ShapeParts shape{c.type, points, c.runs, c.groups};
        EXPECT_EQ(spatialgeom::shapeRecordSize(shape), c.size);
        Record expected;
        buildWithExports(shape, &expected);
        EXPECT_EQ(built(shape), bytesOf(expected));
        EXPECT_EQ(built(shape, 4), bytesOf(expected)) << "unaligned destination";
    }
}

TEST(RecordBuilder, CollectionMembersFollowTheHead) {
    const std::vector<DPoint3d> points = vertices(3);
    const ShapeParts members[] = {{SPATIAL_TYPE_POINT, std::span(points).first(1), {}, {}},
                                  {SPATIAL_TYPE_LINESTRING, std::span(points).subspan(1), {}, {}}};
    std::vector<uint64_t> storage(144 / 8, ~0ull);
    Byte* at = reinterpret_cast<Byte*>(storage.data());
    Byte* member = spatialgeom::writeCollectionHead(at, 2, 144);
    for (const ShapeParts& shape : members) member = spatialgeom::writeShapeRecord(shape, member);
    EXPECT_EQ(member, at + 144);

    Record point, line;
    buildWithExports(members[0], &point);
    buildWithExports(members[1], &line);
    ByteWriter expected;
    expected.header(SPATIAL_TYPE_COLLECTION, 144).words(2).raw(point.get(), 40).raw(line.get(), 80);
    EXPECT_EQ(std::vector<uint8_t>(at, at + 144), std::vector<uint8_t>(expected.data(), expected.data() + 144));
    uint32_t size = 0;
    ASSERT_EQ(spatialWKB_calculateSize(at, &size), 0u);
    EXPECT_EQ(size, 144u);
}

}  // namespace
