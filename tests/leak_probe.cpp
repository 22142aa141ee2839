// Drops a record without releasing it. The sanitizer build runs this and
// expects the leak report: it proves that a leak fails a test there.
#include "spatialgeom/records.h"

int main() {
    const DPoint3d point{1, 2, 3};
    void* record = nullptr;
    if (spatialWKB_createPoint(&point, &record) != SPATIAL_SUCCESS) return 0;
    void* volatile dropped = record;
    dropped = nullptr;
    return dropped == nullptr ? 0 : 1;
}
