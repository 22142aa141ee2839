/* Compiled as strict C99: the public headers must be valid C, and the
 * shared library must link from C. */
#include "spatialgeom/record_ptr.h"
#include "spatialgeom/spatialgeom.h"

#include <stdio.h>

int main(void) {
    DPoint3d point = {1.0, 2.0, 3.0};
    void* record = NULL;
    uint32_t size = 0;
    SpatialWChar wide[2] = {0, 0};
    if (spatialWKB_createPoint(&point, &record) != SPATIAL_SUCCESS) return 1;
    if (spatialWKB_getSize(record, &size) != SPATIAL_SUCCESS || size != 40) return 2;
    if (spatialWKB_destroyGeom(&record) != SPATIAL_SUCCESS || record != NULL) return 3;
    if (spatialWKB_version() == NULL || spatialWKB_version()[0] == '\0') return 4;
    (void)wide;
    puts("C interface ok");
    return 0;
}
