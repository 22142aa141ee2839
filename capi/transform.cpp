// The C interface of spatialgeom/transform.h: the transform_* exports over
// the kernel's transform operations (kernel/transform3d.h), and the record
// transforms over records/record_transform.h. Every producing export copies
// its inputs into locals, builds the result in a local transform and stores
// all twelve doubles at the end, so its destination may be the same storage
// as any input.
#include "kernel/transform3d.h"
#include "records/record_layout.h"
#include "records/record_transform.h"
#include "spatialgeom/transform.h"

namespace {

using spatialgeom::Byte;

uint32_t store(transform* out, const transform& result) {
    *out = result;
    return SPATIAL_SUCCESS;
}

uint32_t storeAngle(double* out, double angle) {
    if (out == nullptr) return SPATIAL_FAILURE;
    *out = angle;
    return SPATIAL_SUCCESS;
}

// Checks both pointers, then transforms the record as `kind` with a local
// copy of the transform (so that no store into the record can change it
// mid-walk).
uint32_t transformRecordAs(std::uint32_t kind, const transform* t, void* geom) {
    if (t == nullptr || geom == nullptr) return SPATIAL_FAILURE;
    const transform by = *t;
    spatialgeom::transformRecord(by, static_cast<Byte*>(geom), kind);
    return SPATIAL_SUCCESS;
}

}  // namespace

using namespace spatialgeom::kernel;

extern "C" {

SPATIALGEOM_API uint32_t transform_degrees2radians(double degrees, double* out) {
    return storeAngle(out, degreesToRadians(degrees));
}

SPATIALGEOM_API uint32_t transform_radians2degrees(double radians, double* out) {
    return storeAngle(out, radiansToDegrees(radians));
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

SPATIALGEOM_API uint32_t transform_initMirror(transform* out, const DPoint3d* planePoint, const DPoint3d* planeNormal) {
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

SPATIALGEOM_API uint32_t spatialWKB_transformGeometry(const transform* t, void* geom) {
    if (geom == nullptr) return SPATIAL_FAILURE;
    // Collections (7) are not transformed.
    const std::uint32_t type = spatialgeom::recordType(static_cast<const Byte*>(geom));
    if (type < SPATIAL_TYPE_POINT || type > SPATIAL_TYPE_MULTIPOLYGON) return SPATIAL_FAILURE;
    return transformRecordAs(type, t, geom);
}

SPATIALGEOM_API uint32_t spatialWKB_transformPoint(const transform* t, void* geom) {
    return transformRecordAs(SPATIAL_TYPE_POINT, t, geom);
}

SPATIALGEOM_API uint32_t spatialWKB_transformMultiPoint(const transform* t, void* geom) {
    return transformRecordAs(SPATIAL_TYPE_MULTIPOINT, t, geom);
}

SPATIALGEOM_API uint32_t spatialWKB_transformLine(const transform* t, void* geom) {
    return transformRecordAs(SPATIAL_TYPE_LINESTRING, t, geom);
}

// A polygon body and a multilinestring body share the ring sequence layout:
// the two walks are the same.
SPATIALGEOM_API uint32_t spatialWKB_transformPolygon(const transform* t, void* geom) {
    return transformRecordAs(SPATIAL_TYPE_POLYGON, t, geom);
}

SPATIALGEOM_API uint32_t spatialWKB_transformMultiLine(const transform* t, void* geom) {
    return transformRecordAs(SPATIAL_TYPE_MULTILINESTRING, t, geom);
}

SPATIALGEOM_API uint32_t spatialWKB_transformMultiPolygon(const transform* t, void* geom) {
    return transformRecordAs(SPATIAL_TYPE_MULTIPOLYGON, t, geom);
}

}  // extern "C"
