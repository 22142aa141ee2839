// NumPy object arrays in and out of the module's functions.
//
// The Python layer hands every function flat (1-D, C-contiguous) arrays of
// dtype object. A function takes strong references to their elements
// (HeldObjects) before it releases the interpreter lock, so that no other
// thread can free a record it reads by replacing an element meanwhile.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstddef>
#include <vector>

#include "spatialgeom/record_ptr.h"

namespace spatialgeom::python {

namespace py = pybind11;

// Strong references to the elements of a 1-D object array, released when
// it goes (with the interpreter lock held). type_error unless the array is
// 1-D of dtype object.
class HeldObjects {
public:
    HeldObjects(const py::array& objects, const char* argument);
    ~HeldObjects();
    HeldObjects(const HeldObjects&) = delete;
    HeldObjects& operator=(const HeldObjects&) = delete;

    std::size_t size() const { return objects_.size(); }
    PyObject* operator[](std::size_t i) const { return objects_[i]; }

private:
    std::vector<PyObject*> objects_;
};

// One element read as a geometry: its record (null for a missing one: None
// or a float NaN) and, for a PreparedGeometry, its prepared geometry (null
// when it could not be prepared).
struct GeometryRef {
    const void* record = nullptr;
    const void* prepared = nullptr;
};

// Every element read as a geometry; type_error naming the argument and the
// position for anything else.
std::vector<GeometryRef> geometriesOf(const HeldObjects& objects, const char* argument);

// Whether an element stands for a missing value: None or a float NaN.
bool isMissing(PyObject* object);

// A new 1-D object array of n elements, all None.
py::array newObjectArray(std::size_t n);

// Stores object, a new reference (null for None), at index i of such an
// array, releasing what was there.
void storeObject(py::array& array, std::size_t i, PyObject* object);

// A new 1-D object array of a Geometry per record (None for an empty
// RecordPtr), taking the records.
py::array wrapRecords(std::vector<RecordPtr>& records);

}  // namespace spatialgeom::python
