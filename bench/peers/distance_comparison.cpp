// The distance on the planar intersection workloads (z = 0): ours
// (spatialWKB_distance, the exact 3D distance rounded upwards, with the
// closest points) against GEOSDistance, on the point, line and polygon
// pairs with the 1,000-vertex polygon; and ours prepared (the polygon
// prepared once, spatialWKB_distancePrepared) against GEOS prepared
// (GEOSPreparedDistance), for reference. Ours takes the polygon first in
// both, so that the two do the same computation. Every pair's distances
// must agree within a few ulps of the coordinates' magnitude.
#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "comparison.h"
#include "spatialgeom/prepared.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"
#include "timing.h"

namespace comparison {
namespace {

void* ourPolygon(const Polygon& polygon) {
    void* record = nullptr;
    const Ring& outer = polygon.rings.front();
    spatialWKB_createPolygon(outer.data(), static_cast<uint32_t>(outer.size()), &record);
    for (std::size_t r = 1; r < polygon.rings.size(); ++r)
        spatialWKB_addRingToPolygon(polygon.rings[r].data(), static_cast<uint32_t>(polygon.rings[r].size()), &record);
    return record;
}

GEOSCoordSequence* geosSequence(GEOSContextHandle_t geos, const Ring& ring) {
    return GEOSCoordSeq_copyFromBuffer_r(geos, &ring.front().x, static_cast<unsigned>(ring.size()), 1, 0);
}

GEOSGeometry* geosPolygon(GEOSContextHandle_t geos, const Polygon& polygon) {
    std::vector<GEOSGeometry*> holes;
    for (std::size_t r = 1; r < polygon.rings.size(); ++r)
        holes.push_back(GEOSGeom_createLinearRing_r(geos, geosSequence(geos, polygon.rings[r])));
    GEOSGeometry* shell = GEOSGeom_createLinearRing_r(geos, geosSequence(geos, polygon.rings.front()));
    return GEOSGeom_createPolygon_r(geos, shell, holes.data(), static_cast<unsigned>(holes.size()));
}

// The pairs of a workload in both libraries' forms: subject i against the
// polygon.
struct Pairs {
    void* ourPolygon = nullptr;
    std::vector<void*> ours;
    GEOSGeometry* geosPolygon = nullptr;
    std::vector<GEOSGeometry*> geos;
    double magnitude = 0.0;  // the largest coordinate
};

Pairs buildPairs(GEOSContextHandle_t geos, const Workload& w) {
    Pairs p;
    p.ourPolygon = ourPolygon(w.target);
    p.geosPolygon = geosPolygon(geos, w.target);
    const auto measure = [&](const Ring& ring) {
        for (const DPoint3d& v : ring) p.magnitude = std::max({p.magnitude, std::fabs(v.x), std::fabs(v.y)});
    };
    for (const Ring& ring : w.target.rings) measure(ring);
    for (const Ring& point : w.points) {
        void* record = nullptr;
        spatialWKB_createPoint(&point.front(), &record);
        p.ours.push_back(record);
        p.geos.push_back(GEOSGeom_createPointFromXY_r(geos, point.front().x, point.front().y));
        measure(point);
    }
    for (const Ring& line : w.lines) {
        void* record = nullptr;
        spatialWKB_createLine(line.data(), static_cast<uint32_t>(line.size()), &record);
        p.ours.push_back(record);
        p.geos.push_back(GEOSGeom_createLineString_r(geos, geosSequence(geos, line)));
        measure(line);
    }
    for (const Polygon& polygon : w.polygons) {
        p.ours.push_back(ourPolygon(polygon));
        p.geos.push_back(geosPolygon(geos, polygon));
        for (const Ring& ring : polygon.rings) measure(ring);
    }
    return p;
}

void release(GEOSContextHandle_t geos, Pairs& p) {
    spatialWKB_destroyGeom(&p.ourPolygon);
    for (void*& record : p.ours) spatialWKB_destroyGeom(&record);
    GEOSGeom_destroy_r(geos, p.geosPolygon);
    for (GEOSGeometry* g : p.geos) GEOSGeom_destroy_r(geos, g);
}

// Keeps the timed answers from being optimised away.
volatile double distanceSink = 0.0;

struct Library {
    std::string name;
    std::function<double(std::size_t)> distance;  // of pair i
};

void compareWorkload(GEOSContextHandle_t geos, const Workload& w, Report* report) {
    Pairs p = buildPairs(geos, w);
    const GEOSPreparedGeometry* geosPrepared = GEOSPrepare_r(geos, p.geosPolygon);
    void* ourPrepared = nullptr;
    spatialWKB_prepareGeometry(p.ourPolygon, &ourPrepared);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<Library> libraries = {
        {"ours",
         [&](std::size_t i) {
             double d = nan;
             DPoint3d onA, onB;
             spatialWKB_distance(p.ourPolygon, p.ours[i], &d, &onA, &onB);
             return d;
         }},
        {"GEOSDistance",
         [&](std::size_t i) {
             double d = nan;
             GEOSDistance_r(geos, p.geos[i], p.geosPolygon, &d);
             return d;
         }},
        {"ours prepared",
         [&](std::size_t i) {
             double d = nan;
             DPoint3d onA, onB;
             spatialWKB_distancePrepared(ourPrepared, p.ours[i], &d, &onA, &onB);
             return d;
         }},
        {"GEOS prepared",
         [&](std::size_t i) {
             double d = nan;
             GEOSPreparedDistance_r(geos, geosPrepared, p.geos[i], &d);
             return d;
         }},
    };
    // Every library's distances agree with ours within a few ulps of the
    // coordinates (GEOS rounds its own way; ours is exact, rounded upwards).
    const double slack = 16 * std::numeric_limits<double>::epsilon() * p.magnitude;
    for (const Library& library : libraries) {
        std::size_t apart = 0;
        for (std::size_t i = 0; i < p.ours.size(); ++i)
            apart += !(std::fabs(library.distance(i) - libraries[0].distance(i)) <= slack);
        if (apart != 0)
            report->warn(library.name + " differs from ours beyond " + std::to_string(slack) + " on " +
                         std::to_string(apart) + " of " + std::to_string(p.ours.size()) + " pairs of '" + w.name + "'");
    }
    std::vector<double> rates;
    for (const Library& library : libraries) {
        rates.push_back(medianRate([&] {
            double sum = 0.0;
            for (std::size_t i = 0; i < p.ours.size(); ++i) sum += library.distance(i);
            distanceSink = sum;
            return p.ours.size();
        }));
    }
    report->add({"Distance", w.name, "pairs/s", rates[0], libraries[1].name, rates[1], 5.0});
    report->add({"Distance", w.name + ", ours prepared", "pairs/s", rates[2], libraries[3].name, rates[3], 0.0, false,
                 "(reference)"});
    spatialWKB_destroyPrepared(&ourPrepared);
    GEOSPreparedGeom_destroy_r(geos, geosPrepared);
    release(geos, p);
}

}  // namespace

void compareDistances(GEOSContextHandle_t geos, Report* report) {
    for (const Workload& w : workloads())
        if (w.kind != Workload::Kind::kMultiPoint) compareWorkload(geos, w, report);
}

}  // namespace comparison
