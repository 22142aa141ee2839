#include "join/collection_union.h"

#include <cmath>
#include <limits>
#include <new>

#include "kernel/range3d.h"
#include "queries/call_scratch.h"
#include "queries/record_distance.h"
#include "queries/record_intersection.h"
#include "queries/record_range.h"

namespace spatialgeom {
namespace {

bool simpleKind(std::uint32_t type) { return type >= SPATIAL_TYPE_POINT && type <= SPATIAL_TYPE_MULTIPOLYGON; }

bool hasVertex(const Byte* part) {
    DRange3d box;
    return rangeAsKind(part, recordType(part), &box);
}

DRange3d unite(const DRange3d& a, const DRange3d& b) {
    return {{kernel::minOf(a.low.x, b.low.x), kernel::minOf(a.low.y, b.low.y), kernel::minOf(a.low.z, b.low.z)},
            {kernel::maxOf(a.high.x, b.high.x), kernel::maxOf(a.high.y, b.high.y), kernel::maxOf(a.high.z, b.high.z)}};
}

}  // namespace

bool unionKinds(const Byte* record) {
    const std::uint32_t type = recordType(record);
    if (type != SPATIAL_TYPE_COLLECTION) return simpleKind(type);
    return forEachMember(record, [](const Byte* member) { return simpleKind(recordType(member)); });
}

bool unionRange(const Byte* record, DRange3d* box) {
    bool any = false;
    forEachPart(record, [&](const Byte* part) {
        DRange3d partBox;
        if (rangeAsKind(part, recordType(part), &partBox)) {
            *box = any ? unite(*box, partBox) : partBox;
            any = true;
        }
        return true;
    });
    return any;
}

bool partsMeet(const Byte* a, const Byte* b, double tolerance) {
    // The lower type code first, a first when they are equal, as the
    // intersection export dispatches.
    const std::uint32_t kindA = recordType(a), kindB = recordType(b);
    bool meets = false;
    const bool answered = kindB < kindA ? intersectRecords(kindB, kindA, b, a, tolerance, &meets)
                                        : intersectRecords(kindA, kindB, a, b, tolerance, &meets);
    if (answered) return meets;
    if (hasVertex(a) && hasVertex(b)) throw std::bad_alloc();  // refused for memory only
    return false;
}

bool unionMeets(const Byte* a, const Byte* b, double tolerance) {
    bool meets = false;
    forEachPart(a, [&](const Byte* partA) {
        forEachPart(b, [&](const Byte* partB) {
            meets = partsMeet(partA, partB, tolerance);
            return !meets;
        });
        return !meets;
    });
    return meets;
}

bool unionWithin(const Byte* a, const Byte* b, double tolerance) {
    bool within = false;
    forEachPart(a, [&](const Byte* partA) {
        if (hasVertex(partA))
            forEachPart(b, [&](const Byte* partB) {
                if (hasVertex(partB)) {
                    const ScratchScope scratch;
                    within = geometriesWithin(recordType(partA), recordType(partB), partA, partB, tolerance);
                }
                return !within;
            });
        return !within;
    });
    return within;
}

double unionDistance(const Byte* a, const Byte* b) {
    double least = std::numeric_limits<double>::infinity();
    forEachPart(a, [&](const Byte* partA) {
        if (!hasVertex(partA)) return true;
        forEachPart(b, [&](const Byte* partB) {
            if (!hasVertex(partB)) return true;
            double d = 0.0;
            if (!recordDistance(partA, partB, &d, nullptr, nullptr)) throw std::bad_alloc();
            if (std::isnan(d) || d < least) least = d;
            return !std::isnan(least);
        });
        return !std::isnan(least);
    });
    return least;
}

}  // namespace spatialgeom
