// The distance from a point to a polygon kind that lies in one plane of
// constant coordinate (z = 0 data, the common case), in one or two passes
// over the rings as stored: no copy, no index, no plane to find.
//
// The value and the polygon's point are those of the general distance
// (record_distance.h): the exact distance rounded upwards, and the exact
// closest point rounded. The point's foot in the plane lies in the region
// (the even-odd region of each polygon's outer ring minus its holes' open
// interiors) or the nearest boundary edge gives the distance. The edges'
// distances are found in floating point, with a bound on their error;
// only those within the bound of the least are measured exactly.
#pragma once

#include <optional>
#include <span>

#include "records/vertex_runs.h"

namespace spatialgeom {

struct PointToPolygons {
    double distance;     // exact, rounded upwards
    DPoint3d onPolygon;  // the exact closest point, each coordinate rounded
};

// The distance from `point` to the polygons whose rings `runs` hold, in
// order (element: the polygon; ring: 0 the outer ring, then the holes;
// the runs of one ring next to each other). nullopt when this path does
// not apply and the general one must answer: the vertices do not all
// share one coordinate, there is no vertex, or a coordinate (of the point
// too) is outside what the orientation predicates take exactly
// (filter::predicateSafe), which includes every coordinate that is not
// finite.
//
// Cost: one pass over the edges when the point's foot lies in the region;
// otherwise two, and a rational distance for each edge whose computed
// distance comes within the error bound of the least (one or two, but for
// edges nearly as close as the nearest). May throw std::bad_alloc (the
// rational arithmetic).
std::optional<PointToPolygons> pointToFlatPolygons(const DPoint3d& point, std::span<const VertexRun> runs);

class PreparedPolygon;

// The same answer for a single shared polygon (prepared_polygon.h) in a
// plane of constant coordinate, found through its grid: the place of the
// foot from its cell, and otherwise the edges of the cells around the foot
// until some edge bounds the distance, then those of the cells within
// that bound. nullopt where pointToFlatPolygons would give way, and for a
// polygon that is not shared or not flat. Cost: about the edges near the
// foot; a rational distance as above. Any number of threads may ask.
std::optional<PointToPolygons> pointToSharedFlatPolygon(const DPoint3d& point, const PreparedPolygon& polygon);

}  // namespace spatialgeom
