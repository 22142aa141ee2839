#include "queries/record_range.h"

#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "queries/work_counter.h"
#include "records/navigation.h"

namespace spatialgeom {

void RunningRange::add(const DPoint3d& v) { addVertices(&v, 1); }

void RunningRange::addVertices(const DPoint3d* vertices, std::uint32_t count) {
    work::countMeasured(count);
    if (tracking_) grow<true>(vertices, count);
    else grow<false>(vertices, count);
}

template <bool Track>
void RunningRange::grow(const DPoint3d* vertices, std::uint32_t count) {
    if (count == 0) return;
    if (empty_) {
        box_.low = box_.high = vertices[0];
        empty_ = false;
    }
    // x and y side by side in one two-lane register, z alone. A bound
    // moves only where the comparison holds, which a NaN never makes it do.
    using Lanes = double __attribute__((vector_size(16)));
    using Mask = std::int64_t __attribute__((vector_size(16)));
    const auto xy = [](const DPoint3d& p) { return Lanes{p.x, p.y}; };
    // Two accumulators, for the even and the odd vertices, so that the
    // comparisons do not wait on each other from vertex to vertex.
    struct Bounds {
        Lanes lowXY, highXY;
        double lowZ, highZ;
        Mask nan;
        void take(const DPoint3d& v, Lanes vXY) {
            lowXY = vXY < lowXY ? vXY : lowXY;
            highXY = vXY > highXY ? vXY : highXY;
            lowZ = v.z < lowZ ? v.z : lowZ;
            highZ = v.z > highZ ? v.z : highZ;
            if constexpr (Track) {
                // (x, y) against (y, z): a lane is unordered when either of
                // its coordinates is NaN, and the two lanes see all three.
                Lanes vYZ;
                std::memcpy(&vYZ, &v.y, sizeof vYZ);
#if defined(__SSE2__)
                nan |= reinterpret_cast<Mask>(_mm_cmpunord_pd(vXY, vYZ));
#else
                nan |= (vXY != vXY) | (vYZ != vYZ);
#endif
            }
        }
    };
    Bounds even{xy(box_.low), xy(box_.high), box_.low.z, box_.high.z, Mask{}}, odd = even;
    std::uint32_t i = 0;
    for (; i + 2 <= count; i += 2) {
        even.take(vertices[i], xy(vertices[i]));
        odd.take(vertices[i + 1], xy(vertices[i + 1]));
    }
    if (i < count) even.take(vertices[i], xy(vertices[i]));
    even.take({odd.lowXY[0], odd.lowXY[1], odd.lowZ}, odd.lowXY);
    even.take({odd.highXY[0], odd.highXY[1], odd.highZ}, odd.highXY);
    if constexpr (Track)
        nanSeen_ = nanSeen_ || even.nan[0] != 0 || even.nan[1] != 0 || odd.nan[0] != 0 || odd.nan[1] != 0;
    box_ = {{even.lowXY[0], even.lowXY[1], even.lowZ}, {even.highXY[0], even.highXY[1], even.highZ}};
}

bool RunningRange::finite() const {
    if (empty_) return true;
    // An infinity moves the bound on its side; a NaN was seen passing.
    const double all[6] = {box_.low.x, box_.low.y, box_.low.z, box_.high.x, box_.high.y, box_.high.z};
    bool finite = !nanSeen_;
    for (double c : all) finite = finite && c - c == 0.0;
    return finite;
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
bool measure(DRange3d* box, Walk&& walk, bool* finite = nullptr) {
    RunningRange range(finite != nullptr);
    walk(range);
    if (range.empty()) return false;
    *box = range.box();
    if (finite != nullptr) *finite = range.finite();
    return true;
}

bool pointRecordRange(const Byte* record, DRange3d* box) {
    // One vertex is its own box (as RunningRange sets it).
    work::countMeasured(1);
    const DPoint3d& p = *pointVertex(record);
    *box = {p, p};
    return true;
}

bool lineRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) { range.addSublineSeq(lineBody(record)); });
}

bool polygonRecordRange(const Byte* record, DRange3d* box, bool* finite) {
    return measure(
        box, [&](RunningRange& range) { range.addRingSeq(polygonBody(record)); }, finite);
}

bool multiPointRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) { range.addVertices(multiPointVertices(record), bodyCount(record)); });
}

bool multiLineRecordRange(const Byte* record, DRange3d* box) {
    return measure(box, [&](RunningRange& range) { range.addRingSeq(multiLineBody(record)); });
}

bool multiPolygonRecordRange(const Byte* record, DRange3d* box, bool* finite) {
    return measure(
        box,
        [&](RunningRange& range) {
            forEachPolygon(record, [&](const Byte* polygon) {
                range.addRingSeq(polygon);
                return true;
            });
        },
        finite);
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
