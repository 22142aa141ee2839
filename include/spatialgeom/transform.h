/*
 * spatialgeom: affine transforms, and transforming whole records in place.
 *
 * The transform layout is documented in types.h (row-major 3x4). Producing
 * exports copy their inputs first, so the destination may alias an input.
 * Unless stated otherwise, pointers are not checked and must be valid.
 */
#ifndef SPATIALGEOM_TRANSFORM_H
#define SPATIALGEOM_TRANSFORM_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* *out = degrees * (pi / 180); 32768 when out is null. */
SPATIALGEOM_API uint32_t transform_degrees2radians(double degrees, double* out);
/* *out = radians * (180 / pi); 32768 when out is null. */
SPATIALGEOM_API uint32_t transform_radians2degrees(double radians, double* out);
/* *out = the identity (unit matrix, zero translation). */
SPATIALGEOM_API uint32_t transform_initIdentity(transform* out);
/* *out = the shift by *translation (unit matrix). */
SPATIALGEOM_API uint32_t transform_initTranslation(transform* out, const DPoint3d* translation);
/* Scaling by (scale->x, scale->y, scale->z) about fixedPoint. */
SPATIALGEOM_API uint32_t transform_initScale(transform* out, const DPoint3d* scale, const DPoint3d* fixedPoint);
/* The given 3x3 matrix, row by row, zero translation. */
SPATIALGEOM_API uint32_t transform_initRotation(transform* out, double r00, double r01, double r02, double r10,
                                                double r11, double r12, double r20, double r21, double r22);
/* Rotation by angle (radians, finite) about the line through linePoint0 and
 * linePoint1; a positive angle turns counter-clockwise seen from linePoint1
 * looking towards linePoint0 (right-hand rule about linePoint0->linePoint1).
 * Coincident points define no axis: *out is then the identity. Returns 0. */
SPATIALGEOM_API uint32_t transform_initRotationAboutLine(transform* out, const DPoint3d* linePoint0,
                                                         const DPoint3d* linePoint1, double angle);
/* Reflection in the plane through planePoint with normal planeNormal (any
 * nonzero length). A zero normal defines no plane: *out is then the
 * identity (never NaNs). Returns 0 in both cases. */
SPATIALGEOM_API uint32_t transform_initMirror(transform* out, const DPoint3d* planePoint, const DPoint3d* planeNormal);
/* *out = a*b: applying out equals applying b, then a. */
SPATIALGEOM_API uint32_t transform_multiply(const transform* a, const transform* b, transform* out);
/* Keeps the matrix, replaces the translation so that *point maps to itself. */
SPATIALGEOM_API uint32_t transform_setFixedPoint(transform* t, const DPoint3d* point);
/* *point = t(*point). */
SPATIALGEOM_API uint32_t transform_point(const transform* t, DPoint3d* point);
/* Each of the count points replaced by its image; count 0 changes nothing. */
SPATIALGEOM_API uint32_t transform_pointArray(const transform* t, unsigned count, DPoint3d* points);

/* ---- Records, in place: only vertex coordinates change. Null arguments
 * give 32768; the kind-specific exports do not read geometryType. */

/* Dispatch by geometryType (1..6); 7 (collections are not transformed), 8
 * and unknown codes: 32768, record untouched. */
SPATIALGEOM_API uint32_t spatialWKB_transformGeometry(const transform* t, void* geom);
SPATIALGEOM_API uint32_t spatialWKB_transformPoint(const transform* t, void* geom);
SPATIALGEOM_API uint32_t spatialWKB_transformMultiPoint(const transform* t, void* geom);
SPATIALGEOM_API uint32_t spatialWKB_transformLine(const transform* t, void* geom);
/* A polygon and a multilinestring share one body layout: these two are the
 * same operation and transform either kind. */
SPATIALGEOM_API uint32_t spatialWKB_transformPolygon(const transform* t, void* geom);
SPATIALGEOM_API uint32_t spatialWKB_transformMultiLine(const transform* t, void* geom);
SPATIALGEOM_API uint32_t spatialWKB_transformMultiPolygon(const transform* t, void* geom);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_TRANSFORM_H */
