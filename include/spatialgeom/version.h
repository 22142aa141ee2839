/*
 * spatialgeom: the version of the library a program runs with.
 */
#ifndef SPATIALGEOM_VERSION_H
#define SPATIALGEOM_VERSION_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* The version of the loaded library as "MAJOR.MINOR.PATCH" (e.g. "1.0.0"),
 * a NUL-terminated ASCII string with static storage: never null, never to
 * be freed, the same pointer on every call. The major number is the
 * shared library's soname version (libspatialgeom.so.MAJOR), so a host
 * built against one release can tell whether the library it loaded is a
 * later, compatible one. Constant time, no allocation, safe on any thread
 * at any time (even before any other call). */
SPATIALGEOM_API const char* spatialWKB_version(void);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_VERSION_H */
