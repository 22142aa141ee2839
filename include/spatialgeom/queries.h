/*
 * spatialgeom: ranges (3D boxes) of records and intersection tests.
 */
#ifndef SPATIALGEOM_QUERIES_H
#define SPATIALGEOM_QUERIES_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* ---- Ranges: (*low, *high) = the box of every vertex of the record.
 * Null arguments, or a record with no vertex at all: 32768, nothing
 * written. The kind-specific exports do not read geometryType. */

/* Dispatch by geometryType (1..6); other codes: 32768. */
SPATIALGEOM_API uint32_t spatialWKB_getRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getPointRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getLineRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getPolygonRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getMultiPointRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getMultiLineRange(const void* geom, DPoint3d* low, DPoint3d* high);
SPATIALGEOM_API uint32_t spatialWKB_getMultiPolygonRange(const void* geom, DPoint3d* low, DPoint3d* high);

/* ---- Intersections: *result = 1 when the shortest 3D distance between the
 * two geometries is at most tolerance, else 0. Arguments: first record,
 * second record, tolerance, result. Status 0, or 32768 for null arguments,
 * collections, type 8, unknown codes or a record without vertices. */

SPATIALGEOM_API uint32_t spatialWKB_intersectGeometry(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryPoint(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryLineString(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryPolygon(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiPoint(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiLineString(const void* g, const void* x, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectGeometryMultiPolygon(const void* g, const void* x, double tolerance, uint32_t* result);

SPATIALGEOM_API uint32_t spatialWKB_intersectPointPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPointMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectLineStringMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectPolygonMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiPoint(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPointMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiLineStringMultiLineString(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiLineStringMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);
SPATIALGEOM_API uint32_t spatialWKB_intersectMultiPolygonMultiPolygon(const void* a, const void* b, double tolerance, uint32_t* result);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_QUERIES_H */
