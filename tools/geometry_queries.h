// Ranges and intersection tests for any record the parser makes. The
// library's exports take kinds 1 to 6; the tool extends them to geometry
// collections as the union of their members.
#pragma once

#include "spatialgeom/types.h"

namespace spatialgeom::tool {

// The box of every vertex. False when the record has no vertex (or is of a
// kind the library does not know).
bool geometryRange(const void* record, DRange3d* range);

// Whether the shortest 3D distance between a and b is at most tolerance.
// A collection meets b when one of its members does. False when the
// library refuses the pair (a record without vertices).
bool geometriesMeet(const void* a, const void* b, double tolerance);

// A geometry tested against many others: prepared once (spatialgeom/
// prepared.h) when that pays, a polygon or multi-record of many vertices,
// else tested as geometriesMeet does. meets(b) answers as geometriesMeet(a,
// b, tolerance). The record must outlive the object only when it was not
// prepared; throws std::bad_alloc when memory runs out.
class GeometryProbe {
public:
    GeometryProbe(const void* record, double tolerance);
    ~GeometryProbe();
    GeometryProbe(const GeometryProbe&) = delete;
    GeometryProbe& operator=(const GeometryProbe&) = delete;

    bool meets(const void* other) const;

private:
    const void* record_;
    double tolerance_;
    void* prepared_ = nullptr;
};

}  // namespace spatialgeom::tool
