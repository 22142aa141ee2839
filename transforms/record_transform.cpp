// The spatialWKB_transform* exports: one affine transform applied in place
// to every vertex of a record. The walk uses the navigation walkers and
// writes nothing but vertex coordinates, so the header, every count, pad and
// reserved word and the record's size stay byte-identical. One pass over
// the record, no allocation.

#include "kernel/transform3d.h"
#include "records/navigation.h"
#include "spatialgeom/transform.h"

namespace {

using spatialgeom::Byte;

void transformRun(const transform& t, DPoint3d* vertices, std::size_t count) {
    spatialgeom::kernel::applyToPoints(t, vertices, vertices, count);
}

// Every subline of a subline sequence (a linestring body, a ring, a line).
void transformSublineSeq(const transform& t, const Byte* seq) {
    spatialgeom::forEachSubline(seq, [&](const Byte* subline) {
        transformRun(t, spatialgeom::sublineVertices(spatialgeom::mutableAt(subline)),
                     spatialgeom::sublineVertexCount(subline));
        return true;
    });
}

// Every subline sequence of a ring sequence (a polygon body, a multipolygon
// member, a multilinestring body).
void transformRingSeq(const transform& t, const Byte* rings) {
    spatialgeom::forEachSublineSeq(rings, [&](const Byte* seq) {
        transformSublineSeq(t, seq);
        return true;
    });
}

void transformPointRecord(const transform& t, Byte* record) {
    transformRun(t, spatialgeom::pointVertex(record), 1);
}

void transformMultiPointRecord(const transform& t, Byte* record) {
    transformRun(t, spatialgeom::multiPointVertices(record), spatialgeom::bodyCount(record));
}

void transformLineRecord(const transform& t, Byte* record) { transformSublineSeq(t, spatialgeom::lineBody(record)); }

// A polygon body and a multilinestring body share the ring sequence layout.
void transformRingSeqRecord(const transform& t, Byte* record) {
    transformRingSeq(t, spatialgeom::polygonBody(record));
}

void transformMultiPolygonRecord(const transform& t, Byte* record) {
    spatialgeom::forEachPolygon(record, [&](const Byte* polygon) {
        transformRingSeq(t, polygon);
        return true;
    });
}

using RecordWalk = void (*)(const transform&, Byte*);

// Checks both pointers, then runs walk with a local copy of the transform
// (so that no store into the record can change it mid-walk).
uint32_t transformRecord(const transform* t, void* geom, RecordWalk walk) {
    if (t == nullptr || geom == nullptr) return SPATIAL_FAILURE;
    const transform by = *t;
    walk(by, static_cast<Byte*>(geom));
    return SPATIAL_SUCCESS;
}

// The walk for a type code, null for 7 (collections are not transformed),
// 8 and unknown codes.
RecordWalk walkForType(std::uint32_t type) {
    switch (type) {
        case SPATIAL_TYPE_POINT: return transformPointRecord;
        case SPATIAL_TYPE_LINESTRING: return transformLineRecord;
        case SPATIAL_TYPE_POLYGON: return transformRingSeqRecord;
        case SPATIAL_TYPE_MULTIPOINT: return transformMultiPointRecord;
        case SPATIAL_TYPE_MULTILINESTRING: return transformRingSeqRecord;
        case SPATIAL_TYPE_MULTIPOLYGON: return transformMultiPolygonRecord;
        default: return nullptr;
    }
}

}  // namespace

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_transformGeometry(const transform* t, void* geom) {
    if (geom == nullptr) return SPATIAL_FAILURE;
    const RecordWalk walk = walkForType(spatialgeom::recordType(static_cast<const Byte*>(geom)));
    if (walk == nullptr) return SPATIAL_FAILURE;
    return transformRecord(t, geom, walk);
}

SPATIALGEOM_API uint32_t spatialWKB_transformPoint(const transform* t, void* geom) {
    return transformRecord(t, geom, transformPointRecord);
}

SPATIALGEOM_API uint32_t spatialWKB_transformMultiPoint(const transform* t, void* geom) {
    return transformRecord(t, geom, transformMultiPointRecord);
}

SPATIALGEOM_API uint32_t spatialWKB_transformLine(const transform* t, void* geom) {
    return transformRecord(t, geom, transformLineRecord);
}

SPATIALGEOM_API uint32_t spatialWKB_transformPolygon(const transform* t, void* geom) {
    return transformRecord(t, geom, transformRingSeqRecord);
}

SPATIALGEOM_API uint32_t spatialWKB_transformMultiLine(const transform* t, void* geom) {
    return transformRecord(t, geom, transformRingSeqRecord);
}

SPATIALGEOM_API uint32_t spatialWKB_transformMultiPolygon(const transform* t, void* geom) {
    return transformRecord(t, geom, transformMultiPolygonRecord);
}

}  // extern "C"
