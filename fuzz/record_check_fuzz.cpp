// The record checker on raw bytes: it never reads outside them, and every
// export that reads a record runs cleanly on whatever it accepts.
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "tests/record_exercise.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing_support::PartnerRecords partners;
    // An exact, 8-byte aligned allocation: a read past the bytes is a heap
    // overflow.
    void* bytes = std::malloc(size == 0 ? 1 : size);
    std::memcpy(bytes, data, size);
    if (spatialWKB_checkRecord(bytes, static_cast<std::uint32_t>(size)) == SPATIAL_SUCCESS)
        require(testing_support::exerciseRecord(bytes, partners), "an accepted record has a size and copies whole");
    std::free(bytes);
    return 0;
}
