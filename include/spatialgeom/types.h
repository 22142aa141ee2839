/*
 * spatialgeom: shared public types, status codes and the export macro.
 *
 * Every header of this directory compiles as C99 and as C++.
 */
#ifndef SPATIALGEOM_TYPES_H
#define SPATIALGEOM_TYPES_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(SPATIALGEOM_BUILDING)
#define SPATIALGEOM_API __declspec(dllexport)
#else
#define SPATIALGEOM_API __declspec(dllimport)
#endif
#else
#define SPATIALGEOM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define SPATIALGEOM_EXTERN_C_BEGIN extern "C" {
#define SPATIALGEOM_EXTERN_C_END }
#else
#define SPATIALGEOM_EXTERN_C_BEGIN
#define SPATIALGEOM_EXTERN_C_END
#endif

/* Wide text: 16-bit UTF-16 code units on every platform. */
#ifdef __cplusplus
typedef char16_t SpatialWChar;
#else
typedef uint_least16_t SpatialWChar;
#endif

/* A point, vector, scale factor or normal: three doubles, 24 bytes. */
typedef struct DPoint3d {
    double x;
    double y;
    double z;
} DPoint3d;

/* An axis-aligned box: low is the minimum corner, high the maximum one. */
typedef struct DRange3d {
    DPoint3d low;
    DPoint3d high;
} DRange3d;

/*
 * An affine transform of 3D space: twelve doubles, 96 bytes, a row-major
 * 3x4 matrix. Row i is (form3d[i][0], form3d[i][1], form3d[i][2],
 * form3d[i][3]); the first three columns are the linear part M and the
 * fourth column the translation t. Applying it to p gives M*p + t:
 *   x' = form3d[0][0]*x + form3d[0][1]*y + form3d[0][2]*z + form3d[0][3]
 * and likewise y' (row 1) and z' (row 2).
 */
typedef struct transform {
    double form3d[3][4];
} transform;

/* Status of the record, range, transform and intersection exports (u32). */
#define SPATIAL_SUCCESS 0u
#define SPATIAL_FAILURE 32768u
/* spatialWKB_convertTextToBinary only: the caller's buffer is too small
 * (-5 as a signed value). */
#define SPATIAL_BUFFER_TOO_SMALL 4294967291u

/* Type codes stored in a record's geometryType word. */
#define SPATIAL_TYPE_POINT 1u
#define SPATIAL_TYPE_LINESTRING 2u
#define SPATIAL_TYPE_POLYGON 3u
#define SPATIAL_TYPE_MULTIPOINT 4u
#define SPATIAL_TYPE_MULTILINESTRING 5u
#define SPATIAL_TYPE_MULTIPOLYGON 6u
#define SPATIAL_TYPE_COLLECTION 7u
#define SPATIAL_TYPE_RESERVED 8u

#endif /* SPATIALGEOM_TYPES_H */
