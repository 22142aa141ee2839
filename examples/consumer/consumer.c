/* A C program using the installed library: names the library's version,
 * builds a square with a hole, writes it as text, parses a point and tests
 * whether the two meet. */
#include <spatialgeom/spatialgeom.h>

#include <stdio.h>

/* Writes the record's text as ASCII into out (the writer's characters are
 * 16-bit; everything it writes is ASCII). */
static int toAscii(const void* record, char* out, size_t capacity) {
    SpatialWChar wide[256];
    int32_t length = spatialWKB_convertBinaryToText(record, wide, sizeof wide);
    if (length < 0 || (size_t)length >= capacity) return 0;
    for (int32_t i = 0; i <= length; ++i) out[i] = (char)wide[i];
    return 1;
}

int main(void) {
    const DPoint3d outer[] = {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}};
    const DPoint3d hole[] = {{1, 1, 0}, {3, 1, 0}, {3, 3, 0}, {1, 3, 0}, {1, 1, 0}};
    void* square = NULL;
    void* point = NULL;
    char text[256];
    uint32_t meets = 0;
    int status = 1;

    /* The library actually loaded: a host can refuse an older major version. */
    printf("libspatialgeom %s\n", spatialWKB_version());
    if (spatialWKB_version()[0] == '0') goto done;

    if (spatialWKB_createPolygon(outer, 5, &square) != SPATIAL_SUCCESS) goto done;
    if (spatialWKB_addRingToPolygon(hole, 5, &square) != SPATIAL_SUCCESS) goto done;
    if (!toAscii(square, text, sizeof text)) goto done;
    printf("%s\n", text);

    if (spatialParse_string("POINT(2 2 0)", &point) != 0) goto done;
    if (spatialWKB_intersectGeometry(square, point, 0.0, &meets) != SPATIAL_SUCCESS) goto done;
    printf("POINT(2 2 0) in the hole meets: %s\n", meets ? "true" : "false");
    if (meets != 0) goto done;
    status = 0;
done:
    if (square) spatialWKB_destroyGeom(&square);
    if (point) spatialWKB_destroyGeom(&point);
    return status;
}
