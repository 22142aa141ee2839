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
    // x and y side by side in one two-lane register, z alone. A bound
    // moves only where the comparison holds, which a NaN never makes it do.
    using Lanes = double __attribute__((vector_size(16)));
    const auto xy = [](const DPoint3d& p) { return Lanes{p.x, p.y}; };
    Lanes lowXY = xy(box_.low), highXY = xy(box_.high);
    double lowZ = box_.low.z, highZ = box_.high.z;
    for (std::uint32_t i = 0; i < count; ++i) {
        const DPoint3d& v = vertices[i];
        const Lanes vXY = xy(v);
        lowXY = vXY < lowXY ? vXY : lowXY;
        highXY = vXY > highXY ? vXY : highXY;
        lowZ = v.z < lowZ ? v.z : lowZ;
        highZ = v.z > highZ ? v.z : highZ;
    }
    box_ = {{lowXY[0], lowXY[1], lowZ}, {highXY[0], highXY[1], highZ}};
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
    return measure(box, [&](RunningRange& range) { range.addVertices(multiPointVertices(record), bodyCount(record)); });
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

bool rangeAsKind(const Byte* record, std::uint32_t kind, DRange3d* box) {
    switch (kind) {
        case SPATIAL_TYPE_POINT: return pointRecordRange(record, box);
        case SPATIAL_TYPE_LINESTRING: return lineRecordRange(record, box);
        case SPATIAL_TYPE_POLYGON: return polygonRecordRange(record, box);
        case SPATIAL_TYPE_MULTIPOINT: return multiPointRecordRange(record, box);
        case SPATIAL_TYPE_MULTILINESTRING: return multiLineRecordRange(record, box);
        case SPATIAL_TYPE_MULTIPOLYGON: return multiPolygonRecordRange(record, box);
        default: return false;
    }
}

}  // namespace spatialgeom
