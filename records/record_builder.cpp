#include "records/record_builder.h"

#include <cstring>

namespace spatialgeom {
namespace {

// A count word followed by its pad word (written as 0).
Byte* writeCountWords(Byte* at, std::size_t count) {
    writeWord(at, static_cast<std::uint32_t>(count));
    writeWord(at + 4, 0);
    return at + kCountWordsSize;
}

Byte* writeVertices(Byte* at, std::span<const DPoint3d> vertices) {
    if (!vertices.empty()) std::memcpy(at, vertices.data(), vertices.size_bytes());
    return at + vertices.size_bytes();
}

// A subline sequence of one subline holding all the vertices.
Byte* writeSublineSeq(Byte* at, std::span<const DPoint3d> vertices) {
    at = writeCountWords(at, 1);
    writeWord(at, 0);  // sublineReserved
    writeWord(at + 4, static_cast<std::uint32_t>(vertices.size()));
    return writeVertices(at + kCountWordsSize, vertices);
}

// A ring sequence: one subline sequence per run, taking the runs' vertices
// in order from the front of vertices.
Byte* writeRingSeq(Byte* at, std::span<const DPoint3d> vertices, std::span<const std::size_t> runLengths) {
    at = writeCountWords(at, runLengths.size());
    for (const std::size_t length : runLengths) {
        at = writeSublineSeq(at, vertices.first(length));
        vertices = vertices.subspan(length);
    }
    return at;
}

Byte* writeMultiPolygonBody(Byte* at, const ShapeParts& shape) {
    at = writeCountWords(at, shape.groupLengths.size());
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
        case SPATIAL_TYPE_MULTIPOINT: return writeVertices(writeCountWords(at, shape.vertices.size()), shape.vertices);
        case SPATIAL_TYPE_MULTIPOLYGON: return writeMultiPolygonBody(at, shape);
        default: return at;
    }
}

}  // namespace

std::uint64_t shapeRecordSize(const ShapeParts& shape) {
    const std::uint64_t vertexBytes = kVertexSize * std::uint64_t{shape.vertices.size()};
    // A subline sequence of one subline: its count words and the subline's.
    constexpr std::uint64_t kSeqOverhead = 2 * kCountWordsSize;
    const std::uint64_t runOverhead = kSeqOverhead * shape.runLengths.size();
    switch (shape.type) {
        case SPATIAL_TYPE_POINT: return kPointRecordSize;
        case SPATIAL_TYPE_LINESTRING: return kHeaderSize + kSeqOverhead + vertexBytes;
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
    return writeCountWords(at + kBodyOffset, memberCount);
}

}  // namespace spatialgeom
