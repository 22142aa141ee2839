// The C interface of spatialgeom/text.h: argument checks and status codes
// over the text writer (text/wkt_writer.h) and the writer's precision.
#include "spatialgeom/text.h"
#include "text/vertex_text.h"
#include "text/wkt_precision.h"
#include "text/wkt_writer.h"

namespace spatialgeom {
namespace {

constexpr std::int32_t kCannotWrite = -1;
// The dispatching writers' refusal: the record status, as a signed value.
constexpr std::int32_t kDispatchFailure = static_cast<std::int32_t>(SPATIAL_FAILURE);

const Byte* asRecord(const void* at) { return static_cast<const Byte*>(at); }

// The writers of one element: a null element or buffer cannot be written.
std::int32_t writeChecked(TextWriter write, const void* element, SpatialWChar* buffer, std::int32_t capacity) {
    if (element == nullptr || buffer == nullptr) return kCannotWrite;
    return write(asRecord(element), buffer, capacity);
}

std::int32_t writeVertexListChecked(std::uint32_t count, const DPoint3d* vertices, VertexStyle style,
                                    SpatialWChar* buffer, std::int32_t capacity) {
    if (count == 0 || capacity < 1) return 0;
    if (vertices == nullptr || buffer == nullptr) return kCannotWrite;
    return writeVertexList(vertices, count, style, buffer, capacity);
}

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API int32_t spatialWKB_convertBinaryToText(const void* geom, SpatialWChar* buffer, uint32_t bufferBytes) {
    if (geom == nullptr || buffer == nullptr) return kDispatchFailure;
    // At most 2^31 - 1 characters: the capacity fits in int32_t.
    const auto capacity = static_cast<std::int32_t>(bufferBytes / sizeof(SpatialWChar));
    if (recordType(asRecord(geom)) == SPATIAL_TYPE_COLLECTION) return writeCollection(asRecord(geom), buffer, capacity);
    return spatialWKT_geometry(geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_geometry(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    if (geom == nullptr || buffer == nullptr || capacity == 0) return kDispatchFailure;
    const TextWriter write = simpleKindWriter(recordType(asRecord(geom)));
    return write == nullptr ? kDispatchFailure : write(asRecord(geom), buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_point(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writePoint, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_linestring(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeLinestring, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_polygon(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writePolygon, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_multipoint(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeMultiPoint, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_multilinestring(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeMultiLinestring, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_multipolygon(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeMultiPolygon, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_geometryCollection(const void* geom, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeCollection, geom, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_pointList(uint32_t count, const DPoint3d* vertices, SpatialWChar* buffer,
                                             int32_t capacity) {
    return writeVertexListChecked(count, vertices, VertexStyle::kPlain, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_multipointList(uint32_t count, const DPoint3d* vertices, SpatialWChar* buffer,
                                                  int32_t capacity) {
    return writeVertexListChecked(count, vertices, VertexStyle::kParenthesised, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_sublineSeq(const void* seq, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeSublineList, seq, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_ringSeq(const void* seq, SpatialWChar* buffer, int32_t capacity) {
    return writeChecked(writeRingList, seq, buffer, capacity);
}

SPATIALGEOM_API int32_t spatialWKT_getPrecision(void) { return wktPrecision(); }

SPATIALGEOM_API int32_t spatialWKT_setPrecision(int32_t precision) { return exchangeWktPrecision(precision); }

}  // extern "C"
