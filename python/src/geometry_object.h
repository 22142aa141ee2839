// The Python objects that own the library's things: Geometry, one record,
// and PreparedGeometry, one prepared geometry with the Geometry it was made
// from. Both are plain extension types, final and not constructible from
// Python: only the module's functions make them, so every object holds what
// it says (a record, and for PreparedGeometry its Geometry) from its
// creation to its deallocation, which releases it exactly once.
#pragma once

#include <Python.h>

#include <cstdint>

namespace spatialgeom::python {

struct GeometryObject {
    PyObject_HEAD void* record;
};

struct PreparedObject {
    PyObject_HEAD void* prepared;  // null when the record cannot be prepared (a collection, no vertex)
    PyObject* geometry;            // the Geometry prepared (a strong reference)
};

extern PyTypeObject GeometryType;
extern PyTypeObject PreparedType;

// Readies both types and adds them to the module; false with an exception
// set on failure.
bool addObjectTypes(PyObject* module);

// A new Geometry owning record, or null with an exception set, record then
// released.
PyObject* wrapRecord(void* record);

// A new PreparedGeometry of the Geometry given, taking ownership of
// prepared (may be null); null with an exception set on failure (prepared
// then released).
PyObject* wrapPrepared(PyObject* geometry, void* prepared);

inline bool isGeometry(PyObject* object) { return Py_TYPE(object) == &GeometryType; }
inline bool isPrepared(PyObject* object) { return Py_TYPE(object) == &PreparedType; }

// The record of a Geometry.
inline const void* recordOf(PyObject* geometry) { return reinterpret_cast<GeometryObject*>(geometry)->record; }

// Geometry and PreparedGeometry objects alive, for the tests of the
// module's memory handling.
std::int64_t liveGeometries();
std::int64_t livePrepared();

}  // namespace spatialgeom::python
