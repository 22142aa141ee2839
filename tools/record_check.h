// Checking record bytes that come from outside (standard input of decode)
// before any export reads them: the library believes every count it finds.
#pragma once

#include <cstdint>
#include <string>

namespace spatialgeom::tool {

// Empty when the `length` bytes at record (8-byte aligned) are exactly one
// well-formed record of types 1 to 7: every count and walk stays inside the
// bytes, totalSize is 0 or the size computed from the layout, collection
// members are well-formed records of types 1 to 6, and no byte is left
// over. Otherwise the first fault found. Never reads outside the bytes.
std::string recordFault(const void* record, std::uint64_t length);

}  // namespace spatialgeom::tool
