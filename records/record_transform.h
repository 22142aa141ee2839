// Affine transforms applied to records in place.
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// Replaces every vertex of the record read as `kind` (1 to 6; the type code
// is not read) by its image under t. Only vertex coordinates change: the
// header, every count, pad and reserved word and the record's size stay
// byte-identical. t must not lie inside the record. One pass over the
// vertex runs, no allocation.
void transformRecord(const transform& t, Byte* record, std::uint32_t kind);

}  // namespace spatialgeom
