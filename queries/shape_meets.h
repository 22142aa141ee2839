// Whether two gathered geometries come within the tolerance they were
// gathered with. Each stops at the first pair that meets.
#pragma once

#include "queries/linear_set.h"
#include "queries/polygon_set.h"

namespace spatialgeom {

// Each segment of the smaller set against the segments of the larger one
// near it. Cost: about (n + m) plus the pairs whose widened boxes overlap.
bool linearMeetsLinear(LinearSet& a, LinearSet& b, double tolerance);
// Each polygon against the segments near its box; shapes lying in one
// plane of constant coordinate go through planar_meets.h instead.
bool linearMeetsPolygons(LinearSet& lines, PolygonSet& polygons, double tolerance);
// Every pair of polygons whose boxes come within the tolerance; likewise.
bool polygonsMeetPolygons(PolygonSet& a, PolygonSet& b, double tolerance);

// The same tests for shapes anywhere in space, whatever their planes.
bool linearMeetsPolygonsInSpace(LinearSet& lines, PolygonSet& polygons);
bool polygonsMeetPolygonsInSpace(PolygonSet& a, PolygonSet& b);

inline bool shapesMeet(LinearSet& a, LinearSet& b, double tolerance) { return linearMeetsLinear(a, b, tolerance); }
inline bool shapesMeet(LinearSet& a, PolygonSet& b, double tolerance) { return linearMeetsPolygons(a, b, tolerance); }
inline bool shapesMeet(PolygonSet& a, LinearSet& b, double tolerance) { return linearMeetsPolygons(b, a, tolerance); }
inline bool shapesMeet(PolygonSet& a, PolygonSet& b, double tolerance) { return polygonsMeetPolygons(a, b, tolerance); }

}  // namespace spatialgeom
