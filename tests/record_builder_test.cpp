// The one-pass builder against records laid out by hand for the same
// elements in the same order.
#include "records/record_builder.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "record_test_builder.h"

using namespace testrecords;
using spatialgeom::Byte;
using spatialgeom::ShapeParts;

namespace {

// The shape laid out by hand (pad words 0): each run is one subline, the
// only one of its ring or line; groups split the rings among polygons.
Record laidOut(const ShapeParts& shape) {
    const Vertices all(shape.vertices.begin(), shape.vertices.end());
    SublineSeqs runs;
    for (std::size_t run = 0, at = 0; run < shape.runLengths.size(); at += shape.runLengths[run++])
        runs.push_back({Vertices(all.begin() + at, all.begin() + at + shape.runLengths[run])});
    switch (shape.type) {
        case SPATIAL_TYPE_POINT: return point(all[0]).withLibraryPads();
        case SPATIAL_TYPE_LINESTRING: return line({all}).withLibraryPads();
        case SPATIAL_TYPE_MULTIPOINT: return multiPoint(all).withLibraryPads();
        case SPATIAL_TYPE_POLYGON: return polygon(runs).withLibraryPads();
        case SPATIAL_TYPE_MULTILINESTRING: return multiLine(runs).withLibraryPads();
        default: break;
    }
    std::vector<SublineSeqs> polygons;
    auto ring = runs.begin();
    for (std::size_t rings : shape.groupLengths) {
        polygons.emplace_back(ring, ring + static_cast<std::ptrdiff_t>(rings));
        ring += static_cast<std::ptrdiff_t>(rings);
    }
    return multiPolygon(polygons).withLibraryPads();
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

TEST(RecordBuilder, MatchesTheRecordsLaidOutByHand) {
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
        const Vertices points = vertices(static_cast<uint32_t>(vertexCount), 0.5);
        const ShapeParts shape{c.type, points, c.runs, c.groups};
        EXPECT_EQ(spatialgeom::shapeRecordSize(shape), c.size);
        const std::vector<uint8_t> expected = bytesOf(laidOut(shape).data());
        EXPECT_EQ(built(shape), expected);
        EXPECT_EQ(built(shape, 4), expected) << "unaligned destination";
    }
}

TEST(RecordBuilder, CollectionMembersFollowTheHead) {
    const Vertices points = vertices(3);
    const ShapeParts members[] = {{SPATIAL_TYPE_POINT, std::span(points).first(1), {}, {}},
                                  {SPATIAL_TYPE_LINESTRING, std::span(points).subspan(1), {}, {}}};
    std::vector<uint64_t> storage(144 / 8, ~0ull);
    Byte* at = reinterpret_cast<Byte*>(storage.data());
    Byte* member = spatialgeom::writeCollectionHead(at, 2, 144);
    for (const ShapeParts& shape : members) member = spatialgeom::writeShapeRecord(shape, member);
    EXPECT_EQ(member, at + 144);
    const Record expected = collection({point(points[0]), line({{points[1], points[2]}})}).withLibraryPads();
    EXPECT_EQ(std::vector<uint8_t>(at, at + 144), bytesOf(expected.data()));
}

}  // namespace
