// The WKB reader on raw bytes: it never reads outside them, and whatever it
// accepts is a well-formed record that the writer writes (at exactly the
// size it reports) and that reads back as the same record.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "spatialgeom/spatialgeom.h"

using namespace fuzz_support;

namespace {

std::vector<std::uint8_t> recordBytes(const void* record) {
    std::uint32_t size = 0;
    require(spatialWKB_getSize(record, &size) == SPATIAL_SUCCESS, "a record read has a size");
    require(spatialWKB_checkRecord(record, size) == SPATIAL_SUCCESS, "a record read is well formed");
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    return {bytes, bytes + size};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exact allocation: a read past the bytes is a heap overflow.
    auto* bytes = static_cast<std::uint8_t*>(std::malloc(size == 0 ? 1 : size));
    if (size != 0) std::memcpy(bytes, data, size);
    void* record = nullptr;
    if (spatialWKB_fromOgcWkb(bytes, static_cast<std::uint32_t>(size), &record) == SPATIAL_SUCCESS) {
        const std::vector<std::uint8_t> first = recordBytes(record);
        std::uint32_t wkbSize = 0;
        require(spatialWKB_toOgcWkb(record, nullptr, 0, &wkbSize) == SPATIAL_BUFFER_TOO_SMALL, "a size query");
        std::vector<std::uint8_t> wkb(wkbSize + 1, 0xA5);
        std::uint32_t written = 0;
        require(
            wkbSize == 0 || spatialWKB_toOgcWkb(record, wkb.data(), wkbSize - 1, &written) == SPATIAL_BUFFER_TOO_SMALL,
            "one byte short is too small");
        require(spatialWKB_toOgcWkb(record, wkb.data(), wkbSize, &written) == SPATIAL_SUCCESS && written == wkbSize,
                "an accepted record is written at its size");
        require(wkb[wkbSize] == 0xA5, "nothing written after the encoding");
        void* again = nullptr;
        require(spatialWKB_fromOgcWkb(wkb.data(), wkbSize, &again) == SPATIAL_SUCCESS, "the encoding reads back");
        require(recordBytes(again) == first, "the encoding reads back as the same record");
        spatialWKB_destroyGeom(&again);
        spatialWKB_destroyGeom(&record);
    }
    std::free(bytes);
    return 0;
}
