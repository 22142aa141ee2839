// The extension module spatialgeom._spatialgeom: the object types, the
// errors and the function families. The package's __init__.py is its
// public face.

#include <pybind11/pybind11.h>

#include <string>

#include "geometry_object.h"
#include "module_errors.h"
#include "module_functions.h"
#include "spatialgeom/version.h"

namespace py = pybind11;
namespace sgp = spatialgeom::python;

PYBIND11_MODULE(_spatialgeom, module) {
    module.doc() = "The library's records as Python objects, and vectorised functions over arrays of them.";
    if (!sgp::addObjectTypes(module.ptr())) throw py::error_already_set();

    const auto& geometryError =
        py::register_local_exception<sgp::GeometryError>(module, "GeometryError", PyExc_ValueError);
    // A text or WKB the library refuses; raised by the Python layer.
    PyObject* parseError = PyErr_NewException("spatialgeom.ParseError", geometryError.ptr(), nullptr);
    if (parseError == nullptr || PyModule_AddObject(module.ptr(), "ParseError", parseError) < 0) {
        Py_XDECREF(parseError);
        throw py::error_already_set();
    }

    sgp::addTextFunctions(module);
    sgp::addWkbFunctions(module);
    sgp::addQueryFunctions(module);
    sgp::addTransformFunctions(module);
    sgp::addJoinFunctions(module);

    module.def(
        "library_version", [] { return std::string(spatialWKB_version()); },
        "The version of the library the module holds.");
    module.def("_live_geometries", &sgp::liveGeometries, "Geometry objects alive (for tests).");
    module.def("_live_prepared", &sgp::livePrepared, "PreparedGeometry objects alive (for tests).");
}
