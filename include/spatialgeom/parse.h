/*
 * spatialgeom: parsing Well-Known Text into records.
 */
#ifndef SPATIALGEOM_PARSE_H
#define SPATIALGEOM_PARSE_H

#include "spatialgeom/types.h"

SPATIALGEOM_EXTERN_C_BEGIN

/* Results of spatialParse_string besides 0 and the record statuses. */
#define SPATIAL_PARSE_SYNTAX_ERROR 1
#define SPATIAL_PARSE_STACK_OVERFLOW 2
#define SPATIAL_PARSE_NULL_TEXT (-1)

/* Parses the NUL-terminated UTF-8/ASCII text into a new record stored in
 * *outGeom (owned by the caller). 0 success; 1 syntax error; 2 parser stack
 * overflow; -1 null text; 32768 when the record cannot be built. */
SPATIALGEOM_API int32_t spatialParse_string(const char* text, void** outGeom);
/* The message of the most recent parse in the process (empty after a success). */
SPATIALGEOM_API const char* spatialParse_errorString(void);
/* No effect; 0. */
SPATIALGEOM_API int32_t spatialParse_initialize(void);
/* No effect; 0. */
SPATIALGEOM_API int32_t spatialParse_uninitialize(void);
/* Parses the wide text and copies the record's bytes into buffer
 * (capacityBytes bytes). SPATIAL_BUFFER_TOO_SMALL when it does not fit. */
SPATIALGEOM_API uint32_t spatialWKB_convertTextToBinary(const SpatialWChar* text, void* buffer, uint32_t capacityBytes);
/* The size in bytes of the record the wide text describes. */
SPATIALGEOM_API uint32_t spatialWKB_getSizeFromTextGeom(const SpatialWChar* text, uint32_t* size);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_PARSE_H */
