// The module's errors as C++ exceptions, translated into Python ones where a
// function returns to Python: GeometryError (a ValueError) for a record the
// library refuses, std::bad_alloc (MemoryError) for memory, TypeError and
// ValueError (pybind11's type_error and value_error) for arguments.
#pragma once

#include <stdexcept>

namespace spatialgeom::python {

class GeometryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace spatialgeom::python
