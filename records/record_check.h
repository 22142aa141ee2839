// Checking record bytes that come from outside (storage, the network, a
// file) before anything else reads them: every other operation believes
// the counts it reads.
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// True when the byteLength bytes at record (not null) begin with one
// well-formed record of type 1 to 7: the block is 8-byte aligned, every
// count and walk stays inside the bytes, totalSize is 0 or the size from
// the layout, and collection members are well-formed records of types 1
// to 6. Bytes after the record are allowed. Never reads outside the bytes;
// O(byteLength) whatever the counts say.
bool isWellFormedRecord(const Byte* record, std::uint64_t byteLength);

}  // namespace spatialgeom
