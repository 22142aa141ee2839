// An exact, deliberately plain reference for the intersection exports: the
// squared 3D distance between two geometries in rational arithmetic
// (mpq_class), for the coordinates exactly as stored. It is slow (every
// element of one geometry against every element of the other) and written
// for obviousness, not speed; the tests and the fuzz target compare the
// library's answers with it.
//
// The geometry model mirrors a record: a point or the points of a
// multipoint; sublines (a linestring's sublines, or the member lines of a
// multilinestring, each of one subline); polygons of rings (outer first),
// each ring the vertices of its one subline. buildRecord() makes the same
// geometry through the public creators and growers.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gmpxx.h>

#include "spatialgeom/spatialgeom.h"

namespace exact {

enum class Kind : std::uint32_t {
    Point = SPATIAL_TYPE_POINT,
    LineString = SPATIAL_TYPE_LINESTRING,
    Polygon = SPATIAL_TYPE_POLYGON,
    MultiPoint = SPATIAL_TYPE_MULTIPOINT,
    MultiLineString = SPATIAL_TYPE_MULTILINESTRING,
    MultiPolygon = SPATIAL_TYPE_MULTIPOLYGON,
};

using Vertices = std::vector<DPoint3d>;

// Vectors in double, as the configurations are built (each operation rounded).
inline DPoint3d add(DPoint3d a, DPoint3d b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline DPoint3d sub(DPoint3d a, DPoint3d b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline DPoint3d mul(double s, DPoint3d a) { return {s * a.x, s * a.y, s * a.z}; }
inline double dotD(DPoint3d a, DPoint3d b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline DPoint3d crossD(DPoint3d a, DPoint3d b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

struct RefPolygon {
    std::vector<Vertices> rings;  // outer ring first, then the holes
};

struct RefGeometry {
    Kind kind = Kind::Point;
    Vertices points;                   // Point (exactly one), MultiPoint
    std::vector<Vertices> sublines;    // LineString: its sublines; MultiLineString: one per member
    std::vector<RefPolygon> polygons;  // Polygon (exactly one), MultiPolygon
};

// Convenience constructors.
RefGeometry point(DPoint3d p);
RefGeometry multiPoint(Vertices points);
RefGeometry lineString(Vertices vertices);
RefGeometry multiLineString(std::vector<Vertices> lines);
RefGeometry polygon(std::vector<Vertices> rings);
RefGeometry multiPolygon(std::vector<RefPolygon> polygons);

// The exact squared distance; nullopt when either geometry has no point at
// all (a linestring whose sublines all have fewer than two vertices).
std::optional<mpq_class> exactSquaredDistance(const RefGeometry& a, const RefGeometry& b);

// Whether geometries at the given squared distance (nullopt: one is empty,
// the distance infinite) meet at the tolerance: never for a negative or NaN
// tolerance, always for +infinity (an empty geometry too), else exactly
// when distance^2 <= tolerance^2 (never for an empty geometry).
bool meetsAt(const std::optional<mpq_class>& squaredDistance, double tolerance);
bool exactlyMeets(const RefGeometry& a, const RefGeometry& b, double tolerance);

// What the intersection exports owe. They answer 0 for records whose
// vertex boxes, the first widened by the tolerance, do not overlap, before
// any other test; the region of a polygon whose outer ring is not planar
// may reach beyond its vertices' box, and there "no" is owed even at a
// distance within the tolerance. The widening rounds outwards, so where the
// boxes' gap exceeds the tolerance by no more than that rounding, either
// answer stands.
enum class Owed { no, yes, either };
Owed owedAnswer(const RefGeometry& a, const RefGeometry& b, const std::optional<mpq_class>& squaredDistance,
                double tolerance);

// The double nearest to the square root of a nonnegative rational.
double roundedSqrt(const mpq_class& value);

// What is wrong with a distance answer d, onA, onB for a and b, whose exact
// squared distance is squaredDistance; null when nothing is. d must be the
// exact distance rounded upwards, onA and onB finite points on a and on b
// and d apart, both within 32 ulps of the largest coordinate.
const char* distanceFault(const RefGeometry& a, const RefGeometry& b, const mpq_class& squaredDistance, double d,
                          const DPoint3d& onA, const DPoint3d& onB);

// The record of the geometry, made by the public creators and growers, or
// null when they refuse it (an empty subline or ring, an empty multi-record).
// Owned by the caller (spatialWKB_destroyGeom).
void* buildRecord(const RefGeometry& g);

// WKT at 17 significant digits, which reads back to the same doubles. A
// linestring of several sublines is written LINESTRING((...),(...)), a form
// the reader does not take but that shows the sublines.
std::string toWkt(const RefGeometry& g);

}  // namespace exact
