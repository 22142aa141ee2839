// Ownership of the records the library hands out.
#pragma once

#include <memory>

#include "spatialgeom/records.h"

namespace spatialgeom::tool {

struct RecordDeleter {
    void operator()(void* record) const { spatialWKB_destroyGeom(&record); }
};
// A record made by the library, released with spatialWKB_destroyGeom.
using Record = std::unique_ptr<void, RecordDeleter>;

}  // namespace spatialgeom::tool
