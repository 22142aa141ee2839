// Heap blocks that hold records. Every record the library hands out is one
// block of the C heap, so a host may keep it as long as it likes and release
// it from any thread.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <limits>

#include "records/record_layout.h"

namespace spatialgeom {

// True when a size computed in 64 bits can be stored in a record's u32
// totalSize word.
constexpr bool fitsRecordSize(std::uint64_t size) { return size <= std::numeric_limits<std::uint32_t>::max(); }

inline Byte* allocateRecord(std::uint64_t size) { return static_cast<Byte*>(std::malloc(size)); }

// Resizes the block, keeping its contents; null on failure, the old block
// then stays valid.
inline Byte* resizeRecord(void* record, std::uint64_t size) { return static_cast<Byte*>(std::realloc(record, size)); }

inline void releaseRecord(void* record) { std::free(record); }

// A new block holding the record's bytes (recordSize of them); null when the
// record has no size or the block cannot be had. O(size).
Byte* copyRecord(const Byte* record);

}  // namespace spatialgeom
