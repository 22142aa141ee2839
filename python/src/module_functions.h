// The functions of the extension module, one family per file. Each takes
// and returns flat NumPy arrays; the package's Python layer (spatialgeom/
// __init__.py) broadcasts, reshapes and checks the arguments' types first.
#pragma once

#include <pybind11/pybind11.h>

namespace spatialgeom::python {

namespace py = pybind11;

// from_wkt, to_wkt (text_functions.cpp).
void addTextFunctions(py::module_& module);
// from_wkb, to_wkb, pickling of Geometry (wkb_functions.cpp).
void addWkbFunctions(py::module_& module);
// bounds, get_type_id, intersects, distance, prepare (query_functions.cpp).
void addQueryFunctions(py::module_& module);
// The transforms and their application (transform_functions.cpp).
void addTransformFunctions(py::module_& module);
// sjoin (join_function.cpp).
void addJoinFunctions(py::module_& module);

}  // namespace spatialgeom::python
