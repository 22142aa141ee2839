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

/* Parses the NUL-terminated narrow (ASCII/UTF-8) text, one geometry or one
 * collection, into a new record stored in *outGeom (owned by the caller,
 * released with spatialWKB_destroyGeom). 0 success; 1 syntax error (message
 * in spatialParse_errorString; *outGeom untouched); -1 null text; 32768 when
 * the record cannot be made (null outGeom, memory exhausted, size beyond 32
 * bits). 2 (parser stack overflow) is never returned: the grammar's nesting
 * is bounded. Bytes that form no token are written to standard output.
 * Thread-safe; parses of several threads run in parallel. */
SPATIALGEOM_API int32_t spatialParse_string(const char* text, void** outGeom);
/* The message of the most recent parse in the process, "parse error, at or
 * near \"TOKEN\"\n" (at most 127 characters), empty unless that parse had a
 * syntax error. A host parsing from several threads serialises its parse and
 * this read to get its own message. */
SPATIALGEOM_API const char* spatialParse_errorString(void);
/* No effect; 0. */
SPATIALGEOM_API int32_t spatialParse_initialize(void);
/* No effect; 0. */
SPATIALGEOM_API int32_t spatialParse_uninitialize(void);
/* Parses the NUL-terminated UTF-16 text and copies the record's bytes to the
 * start of buffer (any alignment; bytes after the record untouched).
 * SPATIAL_BUFFER_TOO_SMALL (buffer untouched) when the record exceeds
 * capacityBytes; the results 1 and -1 of spatialParse_string as unsigned;
 * 32768 for a null buffer, an unpaired surrogate or exhausted memory. */
SPATIALGEOM_API uint32_t spatialWKB_convertTextToBinary(const SpatialWChar* text, void* buffer, uint32_t capacityBytes);
/* The size in bytes of the record the UTF-16 text describes, in *size.
 * Results as spatialWKB_convertTextToBinary (32768 for a null size). */
SPATIALGEOM_API uint32_t spatialWKB_getSizeFromTextGeom(const SpatialWChar* text, uint32_t* size);
/* The reader's vocabulary: finds the first of the length bytes at text
 * (NUL bytes included; no terminator needed) that the reader would skip
 * and write to standard output because it forms no token: not part of a
 * keyword (all upper or all lower case), a number, "(", ")" or ",", and
 * not a blank (space, tab, line feed). A carriage return, a byte above 127
 * and a mixed-case word are such bytes. 1 with its offset in *offset; 0
 * when there is none (*offset untouched); -1 for a null text (length not
 * 0) or a null offset. A host refuses such text before parsing when the
 * echo would mix into its own output. Writes nothing anywhere else,
 * allocates nothing; O(length); reentrant. */
SPATIALGEOM_API int32_t spatialParse_findUnmatchedByte(const char* text, uint64_t length, uint64_t* offset);

SPATIALGEOM_EXTERN_C_END

#endif /* SPATIALGEOM_PARSE_H */
