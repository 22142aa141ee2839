// bounds, get_type_id, intersects, distance and prepare.

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "geometry_object.h"
#include "module_functions.h"
#include "object_arrays.h"
#include "record_queries.h"
#include "spatialgeom/prepared.h"

namespace spatialgeom::python {
namespace {

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// n x 6: xmin, ymin, zmin, xmax, ymax, zmax; NaN for a missing geometry or
// one without vertices.
py::array_t<double> bounds(const py::array& geometries) {
    HeldObjects held(geometries, "geometry");
    const std::vector<GeometryRef> refs = geometriesOf(held, "geometry");
    py::array_t<double> result({static_cast<py::ssize_t>(refs.size()), py::ssize_t{6}});
    double* out = result.mutable_data();
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < refs.size(); ++i, out += 6) {
            DRange3d range;
            if (refs[i].record != nullptr && recordRange(refs[i].record, &range)) {
                const double values[6] = {range.low.x,  range.low.y,  range.low.z,
                                          range.high.x, range.high.y, range.high.z};
                for (int k = 0; k < 6; ++k) out[k] = values[k];
            } else {
                for (int k = 0; k < 6; ++k) out[k] = std::numeric_limits<double>::quiet_NaN();
            }
        }
    }
    return result;
}

// The type code, 1 point to 7 collection; -1 for a missing geometry.
py::array_t<int> typeIds(const py::array& geometries) {
    HeldObjects held(geometries, "geometry");
    const std::vector<GeometryRef> refs = geometriesOf(held, "geometry");
    py::array_t<int> result(static_cast<py::ssize_t>(refs.size()));
    int* out = result.mutable_data();
    for (std::size_t i = 0; i < refs.size(); ++i)
        out[i] = refs[i].record == nullptr ? -1 : static_cast<int>(recordType(refs[i].record));
    return result;
}

void checkLengths(std::size_t a, std::size_t b, std::size_t c) {
    if (a != b || b != c) throw py::value_error("the arrays must have one length");
}

py::array_t<bool> intersects(const py::array& a, const py::array& b, const DoubleArray& tolerance) {
    HeldObjects heldA(a, "a"), heldB(b, "b");
    const std::vector<GeometryRef> refsA = geometriesOf(heldA, "a"), refsB = geometriesOf(heldB, "b");
    if (tolerance.ndim() != 1) throw py::value_error("tolerance: expected a 1-D array");
    checkLengths(refsA.size(), refsB.size(), static_cast<std::size_t>(tolerance.shape(0)));
    py::array_t<bool> result(static_cast<py::ssize_t>(refsA.size()));
    bool* out = result.mutable_data();
    const double* tolerances = tolerance.data();
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < refsA.size(); ++i) {
            const GeometryRef& x = refsA[i];
            const GeometryRef& y = refsB[i];
            if (x.record == nullptr || y.record == nullptr) {
                out[i] = false;
            } else if (x.prepared != nullptr || y.prepared == nullptr) {
                out[i] = preparedMeets(x.prepared, x.record, y.record, tolerances[i]);
            } else {
                out[i] = preparedMeets(y.prepared, y.record, x.record, tolerances[i]);
            }
        }
    }
    return result;
}

py::array_t<double> distance(const py::array& a, const py::array& b) {
    HeldObjects heldA(a, "a"), heldB(b, "b");
    const std::vector<GeometryRef> refsA = geometriesOf(heldA, "a"), refsB = geometriesOf(heldB, "b");
    checkLengths(refsA.size(), refsB.size(), refsB.size());
    py::array_t<double> result(static_cast<py::ssize_t>(refsA.size()));
    double* out = result.mutable_data();
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < refsA.size(); ++i) {
            const GeometryRef& x = refsA[i];
            const GeometryRef& y = refsB[i];
            if (x.record == nullptr || y.record == nullptr) {
                out[i] = std::numeric_limits<double>::quiet_NaN();
            } else if (x.prepared != nullptr || y.prepared == nullptr) {
                out[i] = preparedDistance(x.prepared, x.record, y.record);
            } else {
                out[i] = preparedDistance(y.prepared, y.record, x.record);
            }
        }
    }
    return result;
}

// Owns a prepared geometry until it is handed to a PreparedGeometry.
struct PreparedPtr {
    void* prepared = nullptr;
    PreparedPtr() = default;
    PreparedPtr(const PreparedPtr&) = delete;
    PreparedPtr& operator=(const PreparedPtr&) = delete;
    ~PreparedPtr() {
        if (prepared != nullptr) spatialWKB_destroyPrepared(&prepared);
    }
    void* release() {
        void* p = prepared;
        prepared = nullptr;
        return p;
    }
};

// A PreparedGeometry for each Geometry; a PreparedGeometry is kept as it
// is, a missing geometry gives None.
py::array prepare(const py::array& geometries) {
    HeldObjects held(geometries, "geometry");
    const std::vector<GeometryRef> refs = geometriesOf(held, "geometry");
    std::vector<PreparedPtr> prepared(refs.size());
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < refs.size(); ++i)
            if (refs[i].record != nullptr && isGeometry(held[i])) prepared[i].prepared = prepareRecord(refs[i].record);
    }
    py::array result = newObjectArray(refs.size());
    for (std::size_t i = 0; i < refs.size(); ++i) {
        PyObject* object = held[i];
        if (isPrepared(object)) {
            Py_INCREF(object);
            storeObject(result, i, object);
        } else if (isGeometry(object)) {
            PyObject* wrapped = wrapPrepared(object, prepared[i].release());
            if (wrapped == nullptr) throw py::error_already_set();
            storeObject(result, i, wrapped);
        }
    }
    return result;
}

py::object prepareOne(const py::object& geometry) {
    if (!isGeometry(geometry.ptr())) throw py::type_error("expected a Geometry");
    PreparedPtr prepared;
    {
        py::gil_scoped_release release;
        prepared.prepared = prepareRecord(recordOf(geometry.ptr()));
    }
    PyObject* wrapped = wrapPrepared(geometry.ptr(), prepared.release());
    if (wrapped == nullptr) throw py::error_already_set();
    return py::reinterpret_steal<py::object>(wrapped);
}

}  // namespace

void addQueryFunctions(py::module_& module) {
    module.def("bounds", &bounds, py::arg("geometries"),
               "n x 6 array of xmin, ymin, zmin, xmax, ymax, zmax (NaN: missing or no vertex).");
    module.def("get_type_id", &typeIds, py::arg("geometries"), "Type codes, 1 point to 7 collection; -1 for None.");
    module.def("intersects", &intersects, py::arg("a"), py::arg("b"), py::arg("tolerance"),
               "Whether a[i] and b[i] meet within tolerance[i] (3D distance at most it).");
    module.def("distance", &distance, py::arg("a"), py::arg("b"),
               "The 3D distance of a[i] and b[i], rounded upwards (NaN: missing or no vertex).");
    module.def("prepare", &prepare, py::arg("geometries"), "A PreparedGeometry for each geometry (None for None).");
    module.def("_prepare_one", &prepareOne, py::arg("geometry"), "The PreparedGeometry of one Geometry.");
}

}  // namespace spatialgeom::python
