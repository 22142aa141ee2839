#include "object_arrays.h"

#include <cmath>
#include <string>

#include "geometry_object.h"

namespace spatialgeom::python {

HeldObjects::HeldObjects(const py::array& objects, const char* argument) {
    if (objects.ndim() != 1 || objects.dtype().kind() != 'O')
        throw py::type_error(std::string(argument) + ": expected a 1-D array of objects");
    const auto n = static_cast<std::size_t>(objects.shape(0));
    const auto stride = objects.strides(0);
    const auto* base = static_cast<const char*>(objects.data());
    objects_.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        PyObject* object = *reinterpret_cast<PyObject* const*>(base + static_cast<py::ssize_t>(i) * stride);
        if (object == nullptr) object = Py_None;  // an object array NumPy has not filled
        Py_INCREF(object);
        objects_.push_back(object);
    }
}

HeldObjects::~HeldObjects() {
    for (PyObject* object : objects_) Py_DECREF(object);
}

bool isMissing(PyObject* object) {
    return object == Py_None || (PyFloat_Check(object) && std::isnan(PyFloat_AS_DOUBLE(object)));
}

std::vector<GeometryRef> geometriesOf(const HeldObjects& objects, const char* argument) {
    std::vector<GeometryRef> geometries(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        PyObject* object = objects[i];
        if (isGeometry(object)) {
            geometries[i].record = recordOf(object);
        } else if (isPrepared(object)) {
            const auto* prepared = reinterpret_cast<PreparedObject*>(object);
            geometries[i] = {recordOf(prepared->geometry), prepared->prepared};
        } else if (!isMissing(object)) {
            throw py::type_error(std::string(argument) + ": expected Geometry, PreparedGeometry or None, got " +
                                 Py_TYPE(object)->tp_name + " at index " + std::to_string(i));
        }
    }
    return geometries;
}

py::array newObjectArray(std::size_t n) {
    // Kept for the life of the process (never released at exit, after the
    // interpreter).
    static const auto* empty = new py::object(py::module_::import("numpy").attr("empty"));
    return (*empty)(n, py::arg("dtype") = "object");
}

void storeObject(py::array& array, std::size_t i, PyObject* object) {
    auto** slot = static_cast<PyObject**>(array.mutable_data()) + i;
    PyObject* old = *slot;
    if (object == nullptr) {
        Py_INCREF(Py_None);
        object = Py_None;
    }
    *slot = object;
    Py_XDECREF(old);
}

py::array wrapRecords(std::vector<RecordPtr>& records) {
    py::array wrapped = newObjectArray(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!records[i]) continue;
        PyObject* geometry = wrapRecord(records[i].release());
        if (geometry == nullptr) throw py::error_already_set();
        storeObject(wrapped, i, geometry);
    }
    return wrapped;
}

}  // namespace spatialgeom::python
