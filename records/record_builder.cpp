#include "records/record_builder.h"

#include <cstring>

#include "records/element_writer.h"

namespace spatialgeom {
namespace {

// The element depths of element_writer.h.
constexpr unsigned kSublineSeqDepth = 1;

Byte* writeVertices(Byte* at, std::span<const DPoint3d> vertices) {
    if (!vertices.empty()) std::memcpy(at, vertices.data(), vertices.size_bytes());
    return at + vertices.size_bytes();
}

Byte* writeCount(Byte* at, std::size_t count) {
    writeCountWords(at, static_cast<std::uint32_t>(count));
    return at + kCountWordsSize;
}

// A subline sequence of one subline holding all the vertices.
Byte* writeSublineSeq(Byte* at, std::span<const DPoint3d> vertices) {
    return writeElement(at, kSublineSeqDepth, vertices.data(), static_cast<std::uint32_t>(vertices.size()));
}

// A ring sequence: one subline sequence per run, taking the runs' vertices
// in order from the front of vertices.
Byte* writeRingSeq(Byte* at, std::span<const DPoint3d> vertices, std::span<const std::size_t> runLengths) {
    at = writeCount(at, runLengths.size());
    for (const std::size_t length : runLengths) {
        at = writeSublineSeq(at, vertices.first(length));
        vertices = vertices.subspan(length);
    }
    return at;
}

Byte* writeMultiPolygonBody(Byte* at, const ShapeParts& shape) {
    at = writeCount(at, shape.groupLengths.size());
    std::span<const DPoint3d> vertices = shape.vertices;
    std::span<const std::size_t> runs = shape.runLengths;
    for (const std::size_t ringCount : shape.groupLengths) {
        const std::span<const std::size_t> rings = runs.first(ringCount);
        std::size_t vertexCount = 0;
        for (const std::size_t length : rings) vertexCount += length;
        at = writeRingSeq(at, vertices.first(vertexCount), rings);
        vertices = vertices.subspan(vertexCount);
        runs = runs.subspan(ringCount);
    }
    return at;
}

Byte* writeBody(const ShapeParts& shape, Byte* at) {
    switch (shape.type) {
        case SPATIAL_TYPE_POINT: return writeVertices(at, shape.vertices.first(1));
        case SPATIAL_TYPE_LINESTRING: return writeSublineSeq(at, shape.vertices);
        case SPATIAL_TYPE_POLYGON:
        case SPATIAL_TYPE_MULTILINESTRING: return writeRingSeq(at, shape.vertices, shape.runLengths);
        case SPATIAL_TYPE_MULTIPOINT: return writeVertices(writeCount(at, shape.vertices.size()), shape.vertices);
        case SPATIAL_TYPE_MULTIPOLYGON: return writeMultiPolygonBody(at, shape);
        default: return at;
    }
}

}  // namespace

std::uint64_t shapeRecordSize(const ShapeParts& shape) {
    const std::uint64_t vertexBytes = kVertexSize * std::uint64_t{shape.vertices.size()};
    // What each line or ring adds besides its vertices.
    const std::uint64_t runOverhead = elementSize(kSublineSeqDepth, 0) * shape.runLengths.size();
    switch (shape.type) {
        case SPATIAL_TYPE_POINT: return kPointRecordSize;
        case SPATIAL_TYPE_LINESTRING: return kHeaderSize + elementSize(kSublineSeqDepth, shape.vertices.size());
        case SPATIAL_TYPE_POLYGON:
        case SPATIAL_TYPE_MULTILINESTRING: return kFirstElementOffset + runOverhead + vertexBytes;
        case SPATIAL_TYPE_MULTIPOINT: return kFirstElementOffset + vertexBytes;
        case SPATIAL_TYPE_MULTIPOLYGON:
            return kFirstElementOffset + kCountWordsSize * shape.groupLengths.size() + runOverhead + vertexBytes;
        default: return 0;
    }
}

Byte* writeShapeRecord(const ShapeParts& shape, Byte* at) {
    writeHeader(at, shape.type, static_cast<std::uint32_t>(shapeRecordSize(shape)));
    return writeBody(shape, at + kHeaderSize);
}

Byte* writeCollectionHead(Byte* at, std::size_t memberCount, std::uint32_t totalSize) {
    writeHeader(at, SPATIAL_TYPE_COLLECTION, totalSize);
    return writeCount(at + kBodyOffset, memberCount);
}

}  // namespace spatialgeom
