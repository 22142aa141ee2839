#include "queries/record_range.h"

#include "records/navigation.h"

namespace spatialgeom {

void RunningRange::add(const DPoint3d& v) { addVertices(&v, 1); }

void RunningRange::addVertices(const DPoint3d* vertices, std::uint32_t count) {
    if (count == 0) return;
    if (empty_) {
        box_.low = box_.high = vertices[0];
        empty_ = false;
    }
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

// Runs one walk over the record into a fresh range and stores its box;
// false, *box untouched, when the walk saw no vertex.
template <typename Walk>
bool measure(DRange3d* box, Walk&& walk) {
    RunningRange range;
    walk(range);
    if (range.empty()) return false;
    *box = range.box();
    return true;
}

bool pointRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) { range.add(*pointVertex(record)); });
}

bool lineRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) { range.addSublineSeq(lineBody(record)); });
}

bool polygonRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) { range.addRingSeq(polygonBody(record)); });
}

bool multiPointRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) {
        range.addVertices(multiPointVertices(record), bodyCount(record));
    });
}

bool multiLineRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) { range.addRingSeq(multiLineBody(record)); });
}

bool multiPolygonRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) {
        forEachPolygon(record, [&](const Byte* polygon) {
            range.addRingSeq(polygon);
            return true;
        });
    });
}

}  // namespace spatialgeom
