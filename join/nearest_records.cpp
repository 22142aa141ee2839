#include "join/nearest_records.h"

#include <cmath>

#include "join/box_tree.h"
#include "join/collection_union.h"
#include "join/parallel_loop.h"
#include "join/record_boxes.h"
#include "kernel/box_gap.h"
#include "queries/call_scratch.h"
#include "queries/polygon_nearest.h"
#include "records/vertex_runs.h"

namespace spatialgeom {
namespace {

constexpr std::size_t kSearchesPerChunk = 64;

bool finiteVertices(const Byte* record) {
    return forEachVertexRun(record, [](const VertexRun& run) {
        for (std::uint32_t k = 0; k < run.count; ++k) {
            const DPoint3d& v = run.vertices[k];
            if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return false;
        }
        return true;
    });
}

DRange3d unite(const DRange3d& a, const DRange3d& b) {
    return {{std::min(a.low.x, b.low.x), std::min(a.low.y, b.low.y), std::min(a.low.z, b.low.z)},
            {std::max(a.high.x, b.high.x), std::max(a.high.y, b.high.y), std::max(a.high.z, b.high.z)}};
}

}  // namespace

bool reachBox(const Byte* record, DRange3d* box) {
    if (!unionRange(record, box) || !finiteVertices(record)) return false;
    // The region of a polygon lies in its plane over its outer ring; when
    // that ring is not planar, the plane leaves the vertices' box.
    const ScratchScope scratch;
    const auto addPolygon = [&](const Byte* rings) {
        if (ringSeqVertexCount(rings) == 0) return true;
        const PolygonNearest polygon(rings);
        *box = unite(*box, polygon.box());
        return true;
    };
    forEachPart(record, [&](const Byte* part) {
        const std::uint32_t kind = recordType(part);
        if (kind == SPATIAL_TYPE_POLYGON) addPolygon(polygonBody(part));
        if (kind == SPATIAL_TYPE_MULTIPOLYGON) forEachPolygon(part, addPolygon);
        return true;
    });
    return true;
}

bool nearestRecords(const void* const* a, std::uint32_t aCount, const void* const* b, std::uint32_t bCount,
                    double maxDistance, std::uint32_t threads, std::vector<NearestPair>* found) {
    BoxedRecords indexed, searches;
    if (!boxesOf(a, aCount, threads, reachBox, &indexed) || !boxesOf(b, bCount, threads, reachBox, &searches))
        return false;
    found->clear();
    if (indexed.ids.empty() || searches.ids.empty()) return true;
    const BoxTree tree(indexed.boxes, indexed.ids);

    // One answer slot per search, filled in any order.
    constexpr std::uint32_t kNone = ~std::uint32_t{0};
    std::vector<NearestPair> answers(searches.ids.size(), NearestPair{0, kNone, 0.0});
    parallelFor(searches.ids.size(), threads, kSearchesPerChunk, [&](std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end; ++k) {
            const std::uint32_t j = searches.ids[k];
            const auto* record = static_cast<const Byte*>(b[j]);
            NearestPair& best = answers[k];
            best.j = j;
            // Boxes whose gap equals the best distance may still hold a
            // record at that distance with a lower position: they are
            // visited too.
            tree.nearestFirst(
                [&](const DRange3d& box) { return kernel::boxGap(box, searches.boxes[k]); }, maxDistance,
                [&](std::uint32_t i, double) {
                    const auto* candidate = static_cast<const Byte*>(a[i]);
                    // One intersection test tells a record
                    // farther than the best so far, for less
                    // than measuring it.
                    if (best.i != kNone && best.distance < INFINITY && !unionWithin(candidate, record, best.distance))
                        return best.distance;
                    const double d = unionDistance(candidate, record);
                    if (d <= maxDistance &&
                        (best.i == kNone || d < best.distance || (d == best.distance && i < best.i))) {
                        best.i = i;
                        best.distance = d;
                    }
                    return best.i == kNone ? maxDistance : best.distance;
                });
        }
    });

    for (const NearestPair& answer : answers)
        if (answer.i != kNone) found->push_back(answer);
    return true;
}

}  // namespace spatialgeom
