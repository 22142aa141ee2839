// Affine transforms of 3D space: construction, products and application to
// points. A `transform` is the row-major 3x4 matrix of types.h: the first
// three columns are the linear part M, the fourth the translation t, and
// applying it to p gives M*p + t.
//
// Every operation writes its result only after it has read all of its
// inputs, so an output may be the same storage as any input. None allocates,
// none throws, and none produces a NaN from finite input: degenerate input
// (a zero rotation axis, a zero mirror normal) builds the identity and is
// reported by a false result. Costs are constant except for the array
// application, which is linear in the count.
#pragma once

#include <cstddef>

#include "kernel/vector3d.h"
#include "spatialgeom/types.h"

namespace spatialgeom::kernel {

// Angle conversions: one multiplication by pi / 180 or 180 / pi as the
// nearest doubles (never a division), so 180 degrees is exactly the double
// pi and back.
inline constexpr double degreesToRadians(double degrees) { return degrees * 0.017453292519943295; }
inline constexpr double radiansToDegrees(double radians) { return radians * 57.29577951308232; }

// A 3x3 matrix, row-major: form3d[row][column].
struct RotMatrix {
    double form3d[3][3];
};

// *out = the identity: unit matrix, zero translation.
void initIdentity(transform* out);

// *out = the matrix whose rows are (x00 x01 x02), (x10 x11 x12), (x20 x21 x22).
// Any values are accepted; nothing is normalised or orthogonalised.
void initMatrixFromRows(RotMatrix* out, double x00, double x01, double x02, double x10, double x11, double x12,
                        double x20, double x21, double x22);

// *out = the transform with linear part `matrix` and zero translation.
void initFromMatrix(transform* out, const RotMatrix& matrix);

// *out = the translation by `translation`: unit matrix.
void initTranslation(transform* out, const Vec3d& translation);

// *out = the rotation by `angle` radians about the line through point0 and
// point1. A positive angle turns counter-clockwise seen from point1 looking
// towards point0 (right-hand rule about the direction point0 -> point1).
// Every point of the line maps onto itself.
// Degenerate: when the two points coincide (or their difference is not
// finite) there is no axis; *out becomes the identity and the result is
// false. A non-finite angle gives a non-finite matrix.
bool initRotationAboutLine(transform* out, const DPoint3d& point0, const DPoint3d& point1, double angle);

// *out = the reflection in the plane through planePoint with normal
// planeNormal (any nonzero length). Points of the plane map onto themselves;
// applying the result twice gives the identity up to rounding.
// Degenerate: a zero (or non-finite) normal defines no plane; *out becomes
// the identity and the result is false.
bool initMirror(transform* out, const DPoint3d& planePoint, const Vec3d& planeNormal);

// *out = diag(sx, sy, sz) * source: row i of source (its translation
// included) is multiplied by the i-th factor. A null source stands for the
// identity, giving the diagonal matrix (sx, sy, sz) with zero translation.
// Zero and negative factors are accepted (flattening, reflection).
void scaleRows(transform* out, const transform* source, double sx, double sy, double sz);

// Keeps the linear part M of *t and sets its translation to point - M*point,
// so that point maps onto itself.
void setFixedPoint(transform* t, const DPoint3d& point);

// *out = a*b: applying *out equals applying b, then a.
void multiplyTransforms(transform* out, const transform& a, const transform& b);

// *out = t applied to in (M*in + t). out may be &in.
void applyToPoint(const transform& t, DPoint3d* out, const DPoint3d& in);

// out[i] = t applied to in[i] for i < count. out may equal in (in place);
// the arrays must not overlap otherwise. count 0 touches nothing.
void applyToPoints(const transform& t, DPoint3d* out, const DPoint3d* in, std::size_t count);

}  // namespace spatialgeom::kernel
