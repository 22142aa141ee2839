#include "records/record_growth.h"

#include "records/element_writer.h"
#include "records/navigation.h"
#include "records/record_memory.h"

namespace spatialgeom {
namespace {

// Where an append puts its element and which count word it raises.
struct Growth {
    std::uint64_t (*recordSize)(const Byte* record);  // size of the record as its kind
    unsigned depth;                                   // of the element written (see element_writer.h)
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

bool appendElement(const Growth& growth, Byte** record, const DPoint3d* vertices, std::uint32_t count) {
    if (growth.countWord(*record) == nullptr) return false;
    // Every element's size is a multiple of 8, so the old end of the record
    // is exactly its layout size.
    const std::uint64_t oldSize = growth.recordSize(*record);
    const std::uint64_t newSize = oldSize + elementSize(growth.depth, count);
    if (!fitsRecordSize(newSize)) return false;
    Byte* grown = resizeRecord(*record, newSize);
    if (grown == nullptr) return false;
    Byte* counted = growth.countWord(grown);
    writeWord(counted, readWord(counted) + 1);
    writeElement(grown + oldSize, growth.depth, vertices, count);
    writeWord(grown + kTotalSizeOffset, static_cast<std::uint32_t>(newSize));
    *record = grown;
    return true;
}

constexpr Growth kSublineToLine{lineRecordSize, 0, topLevelCount};
constexpr Growth kLineToMultiLine{multiLineRecordSize, 1, topLevelCount};
constexpr Growth kRingToPolygon{polygonRecordSize, 1, topLevelCount};
constexpr Growth kPolygonToMultiPolygon{multiPolygonRecordSize, 2, topLevelCount};
constexpr Growth kRingToLastPolygon{multiPolygonRecordSize, 1, lastPolygonRingCount};

}  // namespace

bool appendSublineToLine(Byte** record, const DPoint3d* vertices, std::uint32_t count) {
    return appendElement(kSublineToLine, record, vertices, count);
}

bool appendLineToMultiLine(Byte** record, const DPoint3d* vertices, std::uint32_t count) {
    return appendElement(kLineToMultiLine, record, vertices, count);
}

bool appendRingToPolygon(Byte** record, const DPoint3d* vertices, std::uint32_t count) {
    return appendElement(kRingToPolygon, record, vertices, count);
}

bool appendPolygonToMultiPolygon(Byte** record, const DPoint3d* vertices, std::uint32_t count) {
    return appendElement(kPolygonToMultiPolygon, record, vertices, count);
}

bool appendRingToLastPolygon(Byte** record, const DPoint3d* vertices, std::uint32_t count) {
    return appendElement(kRingToLastPolygon, record, vertices, count);
}

}  // namespace spatialgeom
