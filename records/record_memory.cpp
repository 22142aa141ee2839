#include "records/record_memory.h"

#include <cstring>

#include "records/record_sizes.h"

namespace spatialgeom {

Byte* copyRecord(const Byte* record) {
    std::uint32_t size = 0;
    if (!recordSize(record, &size)) return nullptr;
    Byte* copy = allocateRecord(size);
    if (copy != nullptr) std::memcpy(copy, record, size);
    return copy;
}

}  // namespace spatialgeom
