// The version export. SPATIALGEOM_VERSION_STRING comes from the build (the
// project's version in the top CMakeLists.txt).
#include "spatialgeom/version.h"

#ifndef SPATIALGEOM_VERSION_STRING
#error "SPATIALGEOM_VERSION_STRING must be defined by the build"
#endif

extern "C" {

SPATIALGEOM_API const char* spatialWKB_version(void) { return SPATIALGEOM_VERSION_STRING; }

}  // extern "C"
