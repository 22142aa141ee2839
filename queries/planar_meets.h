// Intersection of shapes that all lie exactly in one plane of constant
// coordinate, the common case of flat data. The answers are those of the
// general tests in shape_meets.h; only the search differs. Two flat shapes
// meet when a boundary edge or segment of one comes within tolerance of a
// boundary edge or segment of the other, found as close pairs over one
// grid (planar_pairs.h), or when one lies inside the other's region. A
// connected chain of segments that meets no boundary edge lies wholly
// inside or wholly outside a region, so its first point decides, and a
// ring's first vertex decides for the ring.
#pragma once

#include <optional>

#include "queries/flat_plane.h"
#include "queries/linear_set.h"
#include "queries/polygon_set.h"

namespace spatialgeom {

// The plane every polygon with vertices lies in, if there is one and at
// least one polygon has vertices. Prepares every polygon.
std::optional<FlatPlane> commonFlatPlane(PolygonSet& polygons);

// Cost: about the segments and edges of the shapes plus their close pairs,
// plus one containment test per chain or ring start near a polygon.
bool planarLinearMeetsPolygons(LinearSet& lines, PolygonSet& polygons, const FlatPlane& plane, double tolerance);
bool planarPolygonsMeetPolygons(PolygonSet& a, PolygonSet& b, const FlatPlane& plane, double tolerance);

}  // namespace spatialgeom
