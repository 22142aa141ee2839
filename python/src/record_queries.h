// Ranges, intersection tests, distances and transforms for every record the
// module holds. The library's exports take kinds 1 to 6; here a geometry
// collection is the union of its members, as in the spatialgeom tool, and a
// record without vertices (an empty container) meets nothing and has no
// range and no distance. Called with the interpreter lock released.
#pragma once

#include "spatialgeom/types.h"

namespace spatialgeom::python {

// The box of every vertex; false when the record has none.
bool recordRange(const void* record, DRange3d* range);

// Whether the shortest 3D distance between a and b is at most tolerance
// (negative or NaN: never). Throws std::bad_alloc when the library refuses
// two records that have vertices (memory it could not have).
bool recordsMeet(const void* a, const void* b, double tolerance);

// The same for a prepared geometry (null: not prepared) of record a.
bool preparedMeets(const void* prepared, const void* a, const void* b, double tolerance);

// The library's prepared geometry of record (null for a collection or a
// record without vertices, which are tested member by member or meet
// nothing). Throws std::bad_alloc.
void* prepareRecord(const void* record);

// The shortest 3D distance, rounded upwards; NaN when a record has no
// vertex, or a coordinate is not finite; +infinity for lines without a
// segment. Throws std::bad_alloc.
double recordDistance(const void* a, const void* b);

// The same for a prepared geometry (null: not prepared) of record a.
double preparedDistance(const void* prepared, const void* a, const void* b);

// The type code, 1 to 7.
unsigned recordType(const void* record);

// Transforms a record of the module (a copy of its own) in place, a
// collection member by member. Throws GeometryError when the library
// refuses it.
void transformRecord(const transform& t, void* record);

}  // namespace spatialgeom::python
