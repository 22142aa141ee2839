// The record checker on raw bytes: it never reads outside them, and every
// export that reads a record runs cleanly on whatever it accepts.
#include "fuzz/fuzz_support.h"
#include "tests/record_exercise.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const testing_support::PartnerRecords partners;
    const ExactCopy bytes(data, data + size);
    if (spatialWKB_checkRecord(bytes.data(), bytes.size()) == SPATIAL_SUCCESS)
        require(testing_support::exerciseRecord(bytes.data(), partners),
                "an accepted record has a size and copies whole");
    return 0;
}
