// The intersection workloads at tolerance 0: ours (the pairwise exports)
// against GEOSIntersects, GEOS prepared geometry (which keeps an index of
// the polygon across calls; reported for reference) and Boost.Geometry's
// intersects, on geometries built from the same coordinates; and ours
// prepared (the polygon prepared once) against GEOS prepared.
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/geometries.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <functional>

#include "comparison.h"
#include "spatialgeom/prepared.h"
#include "spatialgeom/queries.h"
#include "spatialgeom/records.h"
#include "timing.h"

namespace bg = boost::geometry;

namespace comparison {
namespace {

using BoostPoint = bg::model::d2::point_xy<double>;
using BoostPolygon = bg::model::polygon<BoostPoint, false, true>;  // counter-clockwise, closed
using BoostLine = bg::model::linestring<BoostPoint>;
using BoostMultiPoint = bg::model::multi_point<BoostPoint>;

// Every tested geometry of a workload in the form of each library.
struct Subjects {
    void* ourTarget = nullptr;
    std::vector<void*> ours;
    GEOSGeometry* geosTarget = nullptr;
    std::vector<GEOSGeometry*> geos;
    BoostPolygon boostTarget;
    std::vector<BoostPoint> boostPoints;
    std::vector<BoostLine> boostLines;
    std::vector<BoostPolygon> boostPolygons;
    std::vector<BoostMultiPoint> boostMultiPoints;
};

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

BoostPoint boostPoint(const DPoint3d& p) { return {p.x, p.y}; }

template <typename Range>
Range boostRange(const Ring& ring) {
    Range range;
    for (const DPoint3d& p : ring) bg::append(range, boostPoint(p));
    return range;
}

BoostPolygon boostPolygon(const Polygon& polygon) {
    BoostPolygon result;
    result.outer() = boostRange<BoostPolygon::ring_type>(polygon.rings.front());
    for (std::size_t r = 1; r < polygon.rings.size(); ++r)
        result.inners().push_back(boostRange<BoostPolygon::ring_type>(polygon.rings[r]));
    return result;
}

Subjects buildSubjects(GEOSContextHandle_t geos, const Workload& w) {
    Subjects s;
    s.ourTarget = ourPolygon(w.target);
    s.geosTarget = geosPolygon(geos, w.target);
    s.boostTarget = boostPolygon(w.target);
    for (const Ring& points : w.points) {
        void* record = nullptr;
        if (w.kind == Workload::Kind::kPoint) {
            spatialWKB_createPoint(&points.front(), &record);
            s.geos.push_back(GEOSGeom_createPointFromXY_r(geos, points.front().x, points.front().y));
            s.boostPoints.push_back(boostPoint(points.front()));
        } else {
            spatialWKB_createMultiPoint(points.data(), static_cast<uint32_t>(points.size()), &record);
            std::vector<GEOSGeometry*> members;
            for (const DPoint3d& p : points) members.push_back(GEOSGeom_createPointFromXY_r(geos, p.x, p.y));
            s.geos.push_back(GEOSGeom_createCollection_r(geos, GEOS_MULTIPOINT, members.data(),
                                                         static_cast<unsigned>(members.size())));
            s.boostMultiPoints.push_back(boostRange<BoostMultiPoint>(points));
        }
        s.ours.push_back(record);
    }
    for (const Ring& line : w.lines) {
        void* record = nullptr;
        spatialWKB_createLine(line.data(), static_cast<uint32_t>(line.size()), &record);
        s.ours.push_back(record);
        s.geos.push_back(GEOSGeom_createLineString_r(geos, geosSequence(geos, line)));
        s.boostLines.push_back(boostRange<BoostLine>(line));
    }
    for (const Polygon& polygon : w.polygons) {
        s.ours.push_back(ourPolygon(polygon));
        s.geos.push_back(geosPolygon(geos, polygon));
        s.boostPolygons.push_back(boostPolygon(polygon));
    }
    return s;
}

void release(GEOSContextHandle_t geos, Subjects& s) {
    spatialWKB_destroyGeom(&s.ourTarget);
    for (void*& record : s.ours) spatialWKB_destroyGeom(&record);
    GEOSGeom_destroy_r(geos, s.geosTarget);
    for (GEOSGeometry* g : s.geos) GEOSGeom_destroy_r(geos, g);
}

using Export = uint32_t (*)(const void*, const void*, double, uint32_t*);

// Our pairwise export of the workload's kind, the polygon second or first
// as the export's order of kinds asks.
bool ourAnswer(const Workload& w, const void* subject, const void* target) {
    uint32_t meets = 2;
    switch (w.kind) {
        case Workload::Kind::kPoint: spatialWKB_intersectPointPolygon(subject, target, 0.0, &meets); break;
        case Workload::Kind::kLine: spatialWKB_intersectLineStringPolygon(subject, target, 0.0, &meets); break;
        case Workload::Kind::kPolygon: spatialWKB_intersectPolygonPolygon(target, subject, 0.0, &meets); break;
        case Workload::Kind::kMultiPoint: spatialWKB_intersectPolygonMultiPoint(target, subject, 0.0, &meets); break;
    }
    return meets == 1;
}

bool boostAnswer(const Workload& w, const Subjects& s, std::size_t i) {
    switch (w.kind) {
        case Workload::Kind::kPoint: return bg::intersects(s.boostPoints[i], s.boostTarget);
        case Workload::Kind::kLine: return bg::intersects(s.boostLines[i], s.boostTarget);
        case Workload::Kind::kPolygon: return bg::intersects(s.boostPolygons[i], s.boostTarget);
        case Workload::Kind::kMultiPoint: return bg::intersects(s.boostMultiPoints[i], s.boostTarget);
    }
    return false;
}

// Keeps the timed answers from being optimised away.
volatile std::size_t answerSink = 0;

struct Library {
    std::string name;
    std::function<bool(std::size_t)> answer;  // of tested geometry i
};

void checkAnswers(const Workload& w, const std::vector<Library>& libraries, Report* report) {
    for (const Library& library : libraries) {
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < w.expected.size(); ++i) wrong += library.answer(i) != w.expected[i];
        if (wrong != 0)
            report->warn(library.name + " differs from the expected answer on " + std::to_string(wrong) + " of " +
                         std::to_string(w.expected.size()) + " geometries of '" + w.name + "'");
    }
}

// Target ratios against the plain and the prepared GEOS predicate.
double plainTarget(const Workload&) { return 10.0; }
double preparedTarget(const Workload& w) { return w.kind == Workload::Kind::kPoint ? 0.0 : 1.0; }

void compareWorkload(GEOSContextHandle_t geos, const Workload& w, Report* report) {
    Subjects s = buildSubjects(geos, w);
    const GEOSPreparedGeometry* prepared = GEOSPrepare_r(geos, s.geosTarget);
    void* ourPrepared = nullptr;
    spatialWKB_prepareGeometry(s.ourTarget, &ourPrepared);
    const std::vector<Library> libraries = {
        {"ours", [&](std::size_t i) { return ourAnswer(w, s.ours[i], s.ourTarget); }},
        {"GEOSIntersects", [&](std::size_t i) { return GEOSIntersects_r(geos, s.geos[i], s.geosTarget) == 1; }},
        {"GEOS prepared", [&](std::size_t i) { return GEOSPreparedIntersects_r(geos, prepared, s.geos[i]) == 1; }},
        {"Boost.Geometry", [&](std::size_t i) { return boostAnswer(w, s, i); }},
        {"ours prepared",
         [&](std::size_t i) {
             uint32_t meets = 2;
             spatialWKB_intersectPrepared(ourPrepared, s.ours[i], 0.0, &meets);
             return meets == 1;
         }},
    };
    checkAnswers(w, libraries, report);
    std::vector<double> rates;
    for (const Library& library : libraries) {
        rates.push_back(medianRate([&] {
            std::size_t hits = 0;
            for (std::size_t i = 0; i < w.expected.size(); ++i) hits += library.answer(i);
            answerSink = hits;
            return w.expected.size();
        }));
    }
    const double targets[] = {0.0, plainTarget(w), preparedTarget(w), 0.0};
    for (std::size_t k = 1; k < 4; ++k)
        report->add({"Intersection", w.name, "tests/s", rates[0], libraries[k].name, rates[k], targets[k], false,
                     k == 2 && targets[k] == 0.0 ? "(reference)" : ""});
    report->add({"Intersection", w.name + ", ours prepared", "tests/s", rates[4], "GEOS prepared", rates[2], 2.0});
    spatialWKB_destroyPrepared(&ourPrepared);
    GEOSPreparedGeom_destroy_r(geos, prepared);
    release(geos, s);
}

}  // namespace

void compareIntersections(GEOSContextHandle_t geos, Report* report) {
    for (const Workload& w : workloads()) compareWorkload(geos, w, report);
}

}  // namespace comparison
