// Whether two gathered geometries come within the tolerance they were
// gathered with. Each stops at the first pair that meets.
#pragma once

#include "queries/linear_set.h"
#include "queries/polygon_set.h"

namespace spatialgeom {

// Each segment of the smaller set against the segments of the larger one
// near it. Cost: about (n + m) plus the pairs whose widened boxes overlap.
bool linearMeetsLinear(LinearSet& a, LinearSet& b, double tolerance);
// Each polygon against the segments near its box.
bool linearMeetsPolygons(LinearSet& lines, PolygonSet& polygons);
// Every pair of polygons whose boxes come within the tolerance.
bool polygonsMeetPolygons(PolygonSet& a, PolygonSet& b);

inline bool shapesMeet(LinearSet& a, LinearSet& b, double tolerance) { return linearMeetsLinear(a, b, tolerance); }
inline bool shapesMeet(LinearSet& a, PolygonSet& b, double) { return linearMeetsPolygons(a, b); }
inline bool shapesMeet(PolygonSet& a, LinearSet& b, double) { return linearMeetsPolygons(b, a); }
inline bool shapesMeet(PolygonSet& a, PolygonSet& b, double) { return polygonsMeetPolygons(a, b); }

}  // namespace spatialgeom
