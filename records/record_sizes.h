// Record sizes in the u32 a record stores them in: computed from the layout,
// or read from the header. Each returns false, *size untouched, when the
// record has no size of its own or its size does not fit in 32 bits (no
// record of ours is that large). Cost: one walk over the top-level elements.
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// The record read as `kind` (1 to 6), whatever its type code says.
bool sizeAsKind(const Byte* record, std::uint32_t kind, std::uint32_t* size);

// From the layout, by type code (1 to 7); false for type 8 and unknown codes.
// Never reads the record's own totalSize.
bool computedRecordSize(const Byte* record, std::uint32_t* size);

// totalSize when nonzero, else computedRecordSize.
bool recordSize(const Byte* record, std::uint32_t* size);

}  // namespace spatialgeom
