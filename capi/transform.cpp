// The transform_* exports: thin layers over the kernel's transform
// operations. Every producing export copies its inputs into locals, builds
// the result in a local transform and stores all twelve doubles at the end,
// so its destination may be the same storage as any input.

#include "kernel/transform3d.h"
#include "spatialgeom/transform.h"

namespace {

// pi / 180 and 180 / pi as the nearest doubles. Conversions multiply by
// them (never divide), so 180 degrees is exactly the double pi and back.
constexpr double kRadiansPerDegree = 0.017453292519943295;
constexpr double kDegreesPerRadian = 57.29577951308232;

uint32_t store(transform* out, const transform& result) {
    *out = result;
    return SPATIAL_SUCCESS;
}

uint32_t scaleAngle(double angle, double factor, double* out) {
    if (out == nullptr) return SPATIAL_FAILURE;
    *out = angle * factor;
    return SPATIAL_SUCCESS;
}

}  // namespace

using namespace spatialgeom::kernel;

extern "C" {

SPATIALGEOM_API uint32_t transform_degrees2radians(double degrees, double* out) {
    return scaleAngle(degrees, kRadiansPerDegree, out);
}

SPATIALGEOM_API uint32_t transform_radians2degrees(double radians, double* out) {
    return scaleAngle(radians, kDegreesPerRadian, out);
}

SPATIALGEOM_API uint32_t transform_initIdentity(transform* out) {
    transform result;
    initIdentity(&result);
    return store(out, result);
}

SPATIALGEOM_API uint32_t transform_initTranslation(transform* out, const DPoint3d* translation) {
    const DPoint3d by = *translation;
    transform result;
    initTranslation(&result, by);
    return store(out, result);
}

SPATIALGEOM_API uint32_t transform_initScale(transform* out, const DPoint3d* scale, const DPoint3d* fixedPoint) {
    const DPoint3d factors = *scale;
    const DPoint3d fixed = *fixedPoint;
    transform result;
    scaleRows(&result, nullptr, factors.x, factors.y, factors.z);
    setFixedPoint(&result, fixed);
    return store(out, result);
}

SPATIALGEOM_API uint32_t transform_initRotation(transform* out, double r00, double r01, double r02, double r10,
                                                double r11, double r12, double r20, double r21, double r22) {
    RotMatrix matrix;
    initMatrixFromRows(&matrix, r00, r01, r02, r10, r11, r12, r20, r21, r22);
    transform result;
    initFromMatrix(&result, matrix);
    return store(out, result);
}

SPATIALGEOM_API uint32_t transform_initRotationAboutLine(transform* out, const DPoint3d* linePoint0,
                                                         const DPoint3d* linePoint1, double angle) {
    const DPoint3d point0 = *linePoint0;
    const DPoint3d point1 = *linePoint1;
    transform result;
    initRotationAboutLine(&result, point0, point1, angle);  // identity for coincident points
    return store(out, result);
}

SPATIALGEOM_API uint32_t transform_initMirror(transform* out, const DPoint3d* planePoint,
                                              const DPoint3d* planeNormal) {
    const DPoint3d point = *planePoint;
    const DPoint3d normal = *planeNormal;
    transform result;
    initMirror(&result, point, normal);  // identity for a zero normal
    return store(out, result);
}

SPATIALGEOM_API uint32_t transform_multiply(const transform* a, const transform* b, transform* out) {
    const transform left = *a;
    const transform right = *b;
    transform result;
    multiplyTransforms(&result, left, right);
    return store(out, result);
}

SPATIALGEOM_API uint32_t transform_setFixedPoint(transform* t, const DPoint3d* point) {
    transform result = *t;
    const DPoint3d fixed = *point;
    setFixedPoint(&result, fixed);
    return store(t, result);
}

SPATIALGEOM_API uint32_t transform_point(const transform* t, DPoint3d* point) {
    const transform by = *t;
    applyToPoint(by, point, *point);
    return SPATIAL_SUCCESS;
}

SPATIALGEOM_API uint32_t transform_pointArray(const transform* t, unsigned count, DPoint3d* points) {
    const transform by = *t;
    applyToPoints(by, points, points, count);
    return SPATIAL_SUCCESS;
}

}  // extern "C"
