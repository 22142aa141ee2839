#include "queries/polygon_nearest.h"

#include <algorithm>
#include <cmath>

#include "kernel/range3d.h"
#include "queries/record_range.h"
#include "queries/work_counter.h"

namespace spatialgeom {
namespace {

using kernel::Segment3d;

double& coordinateOf(DPoint3d& p, int axis) { return axis == 0 ? p.x : axis == 1 ? p.y : p.z; }

// Is the computed image within a few ulps of the exact one? (Else the
// points are taken from the exact image.)
bool precise(const PlaneImage& image) { return image.error <= 0x1p-48 * (std::fabs(image.u) + std::fabs(image.v)); }

PlaneImage rounded(const RationalImage& image) { return {image.u.get_d(), image.v.get_d(), 0.0}; }

}  // namespace

PolygonNearest::PolygonNearest(const Byte* rings) {
    rings_.gather(rings);
    if (rings_.ringCount() > 0) plane_.find(rings_.ring(0), rings_.ringSize(0));
    prepare();
}

PolygonNearest::PolygonNearest(const PreparedPolygon& shared) {
    const PolygonRings& rings = shared.rings();
    rings_.vertices.assign(rings.vertices.begin(), rings.vertices.end());
    rings_.ringStart.assign(rings.ringStart.begin(), rings.ringStart.end());
    if (rings_.ringCount() > 0) plane_ = shared.plane().copyFor(rings_.ring(0));
    prepare();
}

// The rest of the parts, the rings and plane at hand.
void PolygonNearest::prepare() {
    RunningRange all;
    all.addVertices(rings_.vertices.data(), rings_.edgeCount());
    box_ = all.box();
    index_.attach(&rings_, plane_.uAxis(), plane_.vAxis());
    if (!plane_.hasRegion()) return;
    locator_.attach(&rings_, &index_, plane_.uAxis(), plane_.vAxis());
    lifted_.prepare(&rings_, &plane_, &locator_, &index_);
    lifted_.widenRange(box_);
}

// Each edge under the box of its stored and lifted ends (the latter
// widened by their error), as the intersection tests index it.
void PolygonNearest::buildIndex() {
    index_.build([&](const PolygonRings::Edge& e) {
        DRange3d box = kernel::boxOfPoints(rings_.vertices[e.from], rings_.vertices[e.to]);
        if (lifted_.any() && lifted_.lifted(e.ring)) {
            const Segment3d l = lifted_.liftedEdge(e);
            box = kernel::unitedBox(box, kernel::widenedBox(kernel::boxOfPoints(l.start, l.end), lifted_.radius(e)));
        }
        return box;
    });
}

bool PolygonNearest::preciseAsComputed(const LiftedBoundary::Piece& piece) {
    const Segment3d& s = piece.segment;
    const double scale = std::max({std::fabs(s.start.x), std::fabs(s.start.y), std::fabs(s.start.z), std::fabs(s.end.x),
                                   std::fabs(s.end.y), std::fabs(s.end.z)});
    return piece.radius <= 0x1p-48 * scale;
}

kernel::Segment3d PolygonNearest::preciseSegment(const PolygonRings::Edge& e, std::uint32_t cut) const {
    work::countExactPiece();
    const auto [start, end] = lifted_.exactEnds(e, cut);
    return {{start.x.get_d(), start.y.get_d(), start.z.get_d()}, {end.x.get_d(), end.y.get_d(), end.z.get_d()}};
}

// Exactly, the image known to within its error: the locator's answer, or
// when it is unsure the exact image's place.
template <typename ExactImage>
bool PolygonNearest::inRegion(const PlaneImage& image, ExactImage&& exactImage) {
    if (index_.worthBuilding()) buildIndex();
    if (image.error < INFINITY) {
        const RegionLocator::Place place = locator_.locate(image.u, image.v, image.error);
        if (place != RegionLocator::Place::unsure) return place == RegionLocator::Place::inside;
    }
    return locator_.exactlyInside(exactImage());
}

// The point of the plane whose image is (u, v).
DPoint3d PolygonNearest::liftedImage(const PlaneImage& image) const {
    DPoint3d q{0.0, 0.0, 0.0};
    coordinateOf(q, plane_.uAxis()) = image.u;
    coordinateOf(q, plane_.vAxis()) = image.v;
    double value = 0.0, error = 0.0, low = INFINITY, high = -INFINITY;
    plane_.lift(&q, 1, &value, &error, &low, &high);
    if (!(error <= 0x1p-48 * std::fabs(value))) {
        // Too far from the plane's exact lift for a closest point: lifted
        // exactly, then rounded.
        const kernel::RationalPoint exact = plane_.exactLifted(q);
        return {exact.x.get_d(), exact.y.get_d(), exact.z.get_d()};
    }
    coordinateOf(q, plane_.axis()) = value;
    return q;
}

void PolygonNearest::nearestInRegion(const Segment3d& s, kernel::ClosestPair& best) {
    if (!plane_.hasRegion()) return;
    const Estimate d0 = plane_.distance(s.start, 0.0), d1 = plane_.distance(s.end, 0.0);
    const int side0 = plane_.side(s.start, d0), side1 = plane_.side(s.end, d1);
    if (side0 * side1 < 0) {
        const PlaneImage x = plane_.crossingImage(s, d0, d1, 0.0);
        const auto exact = [&] {
            return plane_.exactCrossingImage(kernel::toRational(s.start), kernel::toRational(s.end));
        };
        if (inRegion(x, exact)) {
            // The crossing as the plane places it: the image's coordinates
            // and the lifted one.
            const DPoint3d c = liftedImage(precise(x) ? x : rounded(exact()));
            best = {c, c, 0.0};
            return;
        }
    }
    const std::pair<const DPoint3d&, const Estimate&> ends[2] = {{s.start, d0}, {s.end, d1}};
    const int sides[2] = {side0, side1};
    for (int i = 0; i < 2; ++i) {
        const DPoint3d& p = ends[i].first;
        const Estimate& d = ends[i].second;
        const double height = sides[i] == 0 ? 0.0 : std::fabs(d.value);
        if (!(height < best.distance)) continue;
        const PlaneImage foot = plane_.footImage(p, d, 0.0);
        const auto exact = [&] { return plane_.exactFootImage(kernel::toRational(p)); };
        if (!inRegion(foot, exact)) continue;
        DPoint3d onPlane = sides[i] == 0 ? p : liftedImage(precise(foot) ? foot : rounded(exact()));
        if (!(std::isfinite(onPlane.x) && std::isfinite(onPlane.y) && std::isfinite(onPlane.z))) continue;
        const double apart = kernel::pointDistance(p, onPlane);
        if (apart < best.distance) best = {p, onPlane, apart};
    }
}

}  // namespace spatialgeom
