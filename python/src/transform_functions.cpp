// The affine transforms (made by the library's transform exports, as 3 x 4
// arrays) and their application to copies of records.

#include <cmath>
#include <string>
#include <vector>

#include "module_errors.h"
#include "module_functions.h"
#include "object_arrays.h"
#include "record_queries.h"
#include "spatialgeom/records.h"
#include "spatialgeom/transform.h"

namespace spatialgeom::python {
namespace {

using Matrix = py::array_t<double, py::array::c_style | py::array::forcecast>;

DPoint3d finitePoint(double x, double y, double z, const char* what) {
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        throw py::value_error(std::string(what) + " must be finite");
    return {x, y, z};
}

Matrix asArray(const transform& t) {
    Matrix matrix({3, 4});
    double* out = matrix.mutable_data();
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) *out++ = t.form3d[row][column];
    return matrix;
}

Matrix translation(double x, double y, double z) {
    const DPoint3d offset = finitePoint(x, y, z, "the offsets");
    transform t;
    transform_initTranslation(&t, &offset);
    return asArray(t);
}

Matrix scaling(double sx, double sy, double sz, double fx, double fy, double fz) {
    const DPoint3d factors = finitePoint(sx, sy, sz, "the factors");
    const DPoint3d fixed = finitePoint(fx, fy, fz, "the origin");
    transform t;
    transform_initScale(&t, &factors, &fixed);
    return asArray(t);
}

// angle (degrees, or radians) counter-clockwise seen from `to` looking
// towards `from`.
Matrix rotation(double angle, bool radians, double x0, double y0, double z0, double x1, double y1, double z1) {
    if (!std::isfinite(angle)) throw py::value_error("the angle must be finite");
    const DPoint3d from = finitePoint(x0, y0, z0, "the axis");
    const DPoint3d to = finitePoint(x1, y1, z1, "the axis");
    if (from.x == to.x && from.y == to.y && from.z == to.z)
        throw py::value_error("the axis needs two different points");
    double value = angle;
    if (!radians) transform_degrees2radians(angle, &value);
    transform t;
    transform_initRotationAboutLine(&t, &from, &to, value);
    return asArray(t);
}

Matrix mirroring(double px, double py, double pz, double nx, double ny, double nz) {
    const DPoint3d point = finitePoint(px, py, pz, "the plane's point");
    const DPoint3d normal = finitePoint(nx, ny, nz, "the plane's normal");
    if (normal.x == 0 && normal.y == 0 && normal.z == 0) throw py::value_error("the plane's normal must not be zero");
    transform t;
    transform_initMirror(&t, &point, &normal);
    return asArray(t);
}

// A transformed copy of every geometry (None for a missing one; a
// PreparedGeometry gives a Geometry).
py::array affineTransform(const py::array& geometries, const Matrix& matrix) {
    if (matrix.ndim() != 2 || matrix.shape(0) != 3 || matrix.shape(1) != 4)
        throw py::value_error("the matrix must be 3 x 4");
    transform t;
    const double* values = matrix.data();
    for (int k = 0; k < 12; ++k) {
        if (!std::isfinite(values[k])) throw py::value_error("the matrix must be finite");
        t.form3d[k / 4][k % 4] = values[k];
    }
    HeldObjects held(geometries, "geometry");
    const std::vector<GeometryRef> refs = geometriesOf(held, "geometry");
    std::vector<RecordPtr> copies(refs.size());
    {
        py::gil_scoped_release release;
        for (std::size_t i = 0; i < refs.size(); ++i) {
            if (refs[i].record == nullptr) continue;
            if (spatialWKB_copy(refs[i].record, copies[i].out()) != SPATIAL_SUCCESS) throw std::bad_alloc();
            transformRecord(t, copies[i].get());
        }
    }
    return wrapRecords(copies);
}

}  // namespace

void addTransformFunctions(py::module_& module) {
    module.def("translation", &translation, py::arg("x"), py::arg("y"), py::arg("z"), "The shift by (x, y, z).");
    module.def("scaling", &scaling, py::arg("sx"), py::arg("sy"), py::arg("sz"), py::arg("fx"), py::arg("fy"),
               py::arg("fz"), "Scaling by (sx, sy, sz) about the fixed point (fx, fy, fz).");
    module.def("rotation", &rotation, py::arg("angle"), py::arg("radians"), py::arg("x0"), py::arg("y0"), py::arg("z0"),
               py::arg("x1"), py::arg("y1"), py::arg("z1"),
               "Rotation about the line through (x0, y0, z0) and (x1, y1, z1).");
    module.def("mirroring", &mirroring, py::arg("px"), py::arg("py"), py::arg("pz"), py::arg("nx"), py::arg("ny"),
               py::arg("nz"), "Reflection in the plane through p with normal n.");
    module.def("affine_transform", &affineTransform, py::arg("geometries"), py::arg("matrix"),
               "A copy of each geometry with the 3 x 4 transform applied to every vertex.");
}

}  // namespace spatialgeom::python
