// Growing records in place: each export appends one element at the end of
// the record's top level (or, for a multipolygon hole, at the end of its
// last polygon, which is the end of the record). Elements already present
// never move relative to the record's start.
//
// Cost: finding the current size walks the top-level elements, so building
// a record of k elements by appending costs O(k^2) element steps; one
// resize and one vertex copy per call.
#include "records/element_writer.h"
#include "records/navigation.h"
#include "records/record_memory.h"
#include "spatialgeom/records.h"

namespace spatialgeom {
namespace {

// Where a growing export puts its element and which count word it raises.
struct Growth {
    std::uint64_t (*recordSize)(const Byte* record);  // size of the record as its kind
    unsigned depth;                                    // of the element written (see element_writer.h)
    // The count word that the new element is counted in (record is the
    // block after resizing). Null when the record cannot take the element.
    Byte* (*countWord)(Byte* record);
};

Byte* topLevelCount(Byte* record) { return record + kBodyOffset; }

// The ringCount of the last polygon of a multipolygon.
Byte* lastPolygonRingCount(Byte* record) {
    if (bodyCount(record) == 0) return nullptr;
    const Byte* last = nullptr;
    forEachPolygon(record, [&](const Byte* polygon) {
        last = polygon;
        return true;
    });
    return mutableAt(last);
}

std::uint32_t appendElement(const Growth& growth, const DPoint3d* vertices, std::uint32_t count, void** geomVar) {
    if (geomVar == nullptr || *geomVar == nullptr || vertices == nullptr || count == 0) return SPATIAL_FAILURE;
    auto* record = static_cast<Byte*>(*geomVar);
    if (growth.countWord(record) == nullptr) return SPATIAL_FAILURE;
    // Every element's size is a multiple of 8, so the old end of the record
    // is exactly its layout size.
    const std::uint64_t oldSize = growth.recordSize(record);
    const std::uint64_t newSize = oldSize + elementSize(growth.depth, count);
    if (!fitsRecordSize(newSize)) return SPATIAL_FAILURE;
    Byte* grown = resizeRecord(record, newSize);
    if (grown == nullptr) return SPATIAL_FAILURE;
    Byte* counted = growth.countWord(grown);
    writeWord(counted, readWord(counted) + 1);
    writeElement(grown + oldSize, growth.depth, vertices, count);
    writeWord(grown + kTotalSizeOffset, static_cast<std::uint32_t>(newSize));
    *geomVar = grown;
    return SPATIAL_SUCCESS;
}

constexpr Growth kSublineToLine{lineRecordSize, 0, topLevelCount};
constexpr Growth kLineToMultiLine{multiLineRecordSize, 1, topLevelCount};
constexpr Growth kRingToPolygon{polygonRecordSize, 1, topLevelCount};
constexpr Growth kPolygonToMultiPolygon{multiPolygonRecordSize, 2, topLevelCount};
constexpr Growth kRingToMultiPolygon{multiPolygonRecordSize, 1, lastPolygonRingCount};

}  // namespace
}  // namespace spatialgeom

using namespace spatialgeom;

extern "C" {

SPATIALGEOM_API uint32_t spatialWKB_addLineToLine(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return appendElement(kSublineToLine, vertices, count, geomVar);
}

SPATIALGEOM_API uint32_t spatialWKB_addLineToMultiLine(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return appendElement(kLineToMultiLine, vertices, count, geomVar);
}

SPATIALGEOM_API uint32_t spatialWKB_addRingToPolygon(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return appendElement(kRingToPolygon, vertices, count, geomVar);
}

SPATIALGEOM_API uint32_t spatialWKB_addPolyToMultiPoly(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return appendElement(kPolygonToMultiPolygon, vertices, count, geomVar);
}

SPATIALGEOM_API uint32_t spatialWKB_addRingToMultiPoly(const DPoint3d* vertices, uint32_t count, void** geomVar) {
    return appendElement(kRingToMultiPolygon, vertices, count, geomVar);
}

}  // extern "C"
