#include "queries/record_range.h"

#include "records/navigation.h"

namespace spatialgeom {

void RunningRange::add(const DPoint3d& v) {
    if (empty_) {
        box_.low = box_.high = v;
        empty_ = false;
        return;
    }
    if (box_.low.x > v.x) box_.low.x = v.x;
    if (box_.low.y > v.y) box_.low.y = v.y;
    if (box_.low.z > v.z) box_.low.z = v.z;
    if (v.x > box_.high.x) box_.high.x = v.x;
    if (v.y > box_.high.y) box_.high.y = v.y;
    if (v.z > box_.high.z) box_.high.z = v.z;
}

void RunningRange::addVertices(const DPoint3d* vertices, std::uint32_t count) {
    if (count == 0) return;
    if (empty_) add(vertices[0]);
    // The bounds stay in locals: stores to box_ could alias the vertices.
    DPoint3d low = box_.low, high = box_.high;
    for (std::uint32_t i = 0; i < count; ++i) {
        const DPoint3d& v = vertices[i];
        if (low.x > v.x) low.x = v.x;
        if (low.y > v.y) low.y = v.y;
        if (low.z > v.z) low.z = v.z;
        if (v.x > high.x) high.x = v.x;
        if (v.y > high.y) high.y = v.y;
        if (v.z > high.z) high.z = v.z;
    }
    box_ = {low, high};
}

void RunningRange::addSublineSeq(const Byte* seq) {
    forEachSubline(seq, [&](const Byte* subline) {
        addVertices(sublineVertices(subline), sublineVertexCount(subline));
        return true;
    });
}

void RunningRange::addRingSeq(const Byte* rings) {
    forEachSublineSeq(rings, [&](const Byte* seq) {
        addSublineSeq(seq);
        return true;
    });
}

// Stores the box of a finished walk; false when it saw no vertex.
static bool finish(const RunningRange& range, DRange3d* box) {
    if (range.empty()) return false;
    *box = range.box();
    return true;
}

bool pointRecordRange(const Byte* record, DRange3d* box) {
    RunningRange range;
    range.add(*pointVertex(record));
    return finish(range, box);
}

bool lineRecordRange(const Byte* record, DRange3d* box) {
    RunningRange range;
    range.addSublineSeq(lineBody(record));
    return finish(range, box);
}

bool polygonRecordRange(const Byte* record, DRange3d* box) {
    RunningRange range;
    range.addRingSeq(polygonBody(record));
    return finish(range, box);
}

bool multiPointRecordRange(const Byte* record, DRange3d* box) {
    RunningRange range;
    range.addVertices(multiPointVertices(record), bodyCount(record));
    return finish(range, box);
}

bool multiLineRecordRange(const Byte* record, DRange3d* box) {
    RunningRange range;
    range.addRingSeq(multiLineBody(record));
    return finish(range, box);
}

bool multiPolygonRecordRange(const Byte* record, DRange3d* box) {
    RunningRange range;
    forEachPolygon(record, [&](const Byte* polygon) {
        range.addRingSeq(polygon);
        return true;
    });
    return finish(range, box);
}

}  // namespace spatialgeom
