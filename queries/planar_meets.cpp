#include "queries/planar_meets.h"

#include <optional>

#include "queries/box_hierarchy.h"
#include "queries/element_tests.h"
#include "queries/planar_pairs.h"

namespace spatialgeom {
namespace {

bool nearBox(const PreparedPolygon& polygon, const DPoint3d& p) {
    return kernel::boxesOverlap(polygon.widenedBox(), {p, p});
}

// The boxes of a polygon's boundary edges, widened.
PlanarBoxes edgeBoxes(const PreparedPolygon& polygon, const FlatPlane& plane, double tolerance) {
    PlanarBoxes boxes(plane.uAxis(), plane.vAxis(), tolerance, true);
    boxes.measure(polygon.edgeCount(), [&](auto&& visit) { polygon.forEachEdgeSegment(visit); });
    return boxes;
}

// anyClosePair, through box hierarchies when both sets are chains of
// segments in order (lines and rings) and too large to cross directly.
template <typename Test>
bool anyCloseSegments(const PlanarBoxes& a, bool aChained, const PlanarBoxes& b, bool bChained, Test&& test) {
    if (aChained && bChained && !crossedDirectly(a, b))
        return anyClosePairInHierarchies(BoxHierarchy(a), BoxHierarchy(b), test);
    return anyClosePair(a, b, test);
}

// Is the first point of some chain of the lines inside the polygon?
bool chainStartInside(const LinearSet& lines, PreparedPolygon& polygon) {
    for (const std::uint32_t first : lines.chainStarts()) {
        const DPoint3d& start = lines.segment(first).start;
        if (nearBox(polygon, start) && polygon.containsOffBoundary(start)) return true;
    }
    return false;
}

// Up to kFewChains chains, both ends of each are tested against the
// polygon before the search for close pairs: a line that meets a polygon
// often starts or ends in it, and one point costs a single pass over the
// edges. A true answer is final; false leaves the close pairs to decide,
// and the chain starts are then settled. More chains go through
// chainStartInside, whose tests use the polygon's grid once it pays.
constexpr std::size_t kFewChains = 4;

std::optional<bool> chainEndsMeet(const LinearSet& lines, PreparedPolygon& polygon) {
    const ScratchVector<std::uint32_t>& starts = lines.chainStarts();
    if (starts.size() > kFewChains) return std::nullopt;
    const auto meetsPoint = [&](const DPoint3d& p) { return nearBox(polygon, p) && polygon.meetsFlatPoint(p); };
    for (std::size_t c = 0; c < starts.size(); ++c) {
        const std::size_t last = (c + 1 < starts.size() ? starts[c + 1] : lines.size()) - 1;
        if (meetsPoint(lines.segment(starts[c]).start) || meetsPoint(lines.segment(last).end)) return true;
    }
    return false;
}

// Is the first vertex of some ring of `rings` inside `region`?
bool ringStartInside(const PreparedPolygon& rings, PreparedPolygon& region) {
    return !rings.forEachRingStart(
        [&](const DPoint3d& v) { return !(nearBox(region, v) && region.containsOffBoundary(v)); });
}

}  // namespace

std::optional<FlatPlane> commonFlatPlane(PolygonSet& polygons) {
    std::optional<FlatPlane> common;
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        const PreparedPolygon& polygon = polygons.at(i);
        if (!polygon.hasVertices()) continue;
        const std::optional<FlatPlane> plane = polygon.flatPlane();
        if (!plane || (common && !(*common == *plane))) return std::nullopt;
        common = plane;
    }
    return common;
}

bool planarLinearMeetsPolygons(LinearSet& lines, PolygonSet& polygons, const FlatPlane& plane, double tolerance) {
    if (lines.size() == 1 && lines.segment(0).start == lines.segment(0).end) {
        for (std::size_t p = 0; p < polygons.size(); ++p)  // a single point: no pairs to search
            if (polygons.at(p).hasVertices() && polygons.at(p).meetsFlatPoint(lines.segment(0).start)) return true;
        return false;
    }
    std::optional<PlanarBoxes> lineBoxes;  // measured when first needed
    for (std::size_t p = 0; p < polygons.size(); ++p) {
        PreparedPolygon& polygon = polygons.at(p);
        if (!polygon.hasVertices()) continue;
        const std::optional<bool> endsMeet = chainEndsMeet(lines, polygon);
        if (endsMeet == true) return true;
        if (!lineBoxes) {
            lineBoxes.emplace(plane.uAxis(), plane.vAxis(), tolerance, false);
            lineBoxes->measure(lines.size(), [&](auto&& visit) {
                for (std::size_t i = 0; i < lines.size(); ++i) visit(lines.segment(i));
            });
        }
        const PlanarBoxes edges = edgeBoxes(polygon, plane, tolerance);
        if (anyCloseSegments(*lineBoxes, lines.isChained(), edges, true, [&](std::size_t i, std::size_t j) {
                return segmentsWithin(polygon.edgeSegmentAt(j), lines.segment(i), tolerance);
            }))
            return true;
        if (!endsMeet && chainStartInside(lines, polygon)) return true;
    }
    return false;
}

bool planarPolygonsMeetPolygons(PolygonSet& a, PolygonSet& b, const FlatPlane& plane, double tolerance) {
    ScratchVector<std::optional<PlanarBoxes>> bEdges(b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        PreparedPolygon& first = a.at(i);
        std::optional<PlanarBoxes> aEdges;
        for (std::size_t j = 0; j < b.size(); ++j) {
            PreparedPolygon& second = b.at(j);
            if (!first.hasVertices() || !second.hasVertices() ||
                !kernel::boxesOverlap(first.widenedBox(), second.widenedBox()))
                continue;
            if (ringStartInside(second, first) || ringStartInside(first, second)) return true;
            if (!aEdges) aEdges.emplace(edgeBoxes(first, plane, tolerance));
            if (!bEdges[j]) bEdges[j].emplace(edgeBoxes(second, plane, tolerance));
            if (anyCloseSegments(*aEdges, true, *bEdges[j], true, [&](std::size_t k, std::size_t l) {
                    return segmentsWithin(first.edgeSegmentAt(k), second.edgeSegmentAt(l), tolerance);
                }))
                return true;
        }
    }
    return false;
}

}  // namespace spatialgeom
