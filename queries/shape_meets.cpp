#include "queries/shape_meets.h"

#include "queries/element_tests.h"
#include "queries/planar_meets.h"

namespace spatialgeom {

bool linearMeetsLinear(LinearSet& a, LinearSet& b, double tolerance) {
    LinearSet& probes = a.size() <= b.size() ? a : b;
    LinearSet& indexed = &probes == &a ? b : a;
    for (std::size_t i = 0; i < probes.size(); ++i) {
        const kernel::Segment3d& probe = probes.segment(i);
        const DRange3d box = kernel::boxOfPoints(probe.start, probe.end);
        if (!indexed.forEachNear(box, [&](const kernel::Segment3d& s) { return !segmentsWithin(probe, s, tolerance); }))
            return true;
    }
    return false;
}

bool linearMeetsPolygons(LinearSet& lines, PolygonSet& polygons, double tolerance) {
    if (const std::optional<FlatPlane> plane = commonFlatPlane(polygons); plane && lines.liesIn(*plane))
        return planarLinearMeetsPolygons(lines, polygons, *plane, tolerance);
    return linearMeetsPolygonsInSpace(lines, polygons);
}

bool linearMeetsPolygonsInSpace(LinearSet& lines, PolygonSet& polygons) {
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        PreparedPolygon& polygon = polygons.at(i);
        if (!polygon.hasVertices()) continue;
        if (!lines.forEachNear(polygon.widenedBox(),
                               [&](const kernel::Segment3d& s) { return !polygon.meetsSegment(s); }))
            return true;
    }
    return false;
}

bool polygonsMeetPolygons(PolygonSet& a, PolygonSet& b, double tolerance) {
    if (const std::optional<FlatPlane> plane = commonFlatPlane(a); plane && commonFlatPlane(b) == plane)
        return planarPolygonsMeetPolygons(a, b, *plane, tolerance);
    return polygonsMeetPolygonsInSpace(a, b);
}

bool polygonsMeetPolygonsInSpace(PolygonSet& a, PolygonSet& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j)
            if (a.at(i).meetsPolygon(b.at(j))) return true;
    return false;
}

}  // namespace spatialgeom
