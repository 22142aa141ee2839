// The WKB reader on raw bytes: it never reads outside them, and whatever it
// accepts is a well-formed record that the writer writes (at exactly the
// size it reports) and that reads back as the same record.
#include <vector>

#include "fuzz/fuzz_support.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ExactCopy bytes(data, data + size);
    void* record = nullptr;
    if (spatialWKB_fromOgcWkb(bytes.data(), bytes.size(), &record) == SPATIAL_SUCCESS) {
        const std::vector<std::uint8_t> first = wellFormedBytes(record);
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
        require(wellFormedBytes(again) == first, "the encoding reads back as the same record");
        spatialWKB_destroyGeom(&again);
        spatialWKB_destroyGeom(&record);
    }
    return 0;
}
