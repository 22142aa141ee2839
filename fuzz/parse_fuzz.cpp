// The narrow parser on any text: no crash, leak or hang; an accepted text
// gives a well-formed record, a refused one a message and no record. The
// reader's vocabulary check reads only the bytes given.
#include <cstring>

#include "fuzz/fuzz_support.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    silenceStandardOutput();
    const std::string text = InputReader(data, size).restAsText();
    std::uint64_t unmatched = 0;
    if (spatialParse_findUnmatchedByte(text.data(), text.size(), &unmatched) == 1) {
        require(unmatched < text.size(), "an unmatched byte lies inside the text");
    }
    void* record = nullptr;
    const std::int32_t result = spatialParse_string(text.c_str(), &record);
    const std::size_t messageLength = std::strlen(spatialParse_errorString());
    require(messageLength < 128, "the message fits its buffer");
    if (result != 0) {
        require(record == nullptr, "a refused text leaves the record variable alone");
        require(result == SPATIAL_PARSE_SYNTAX_ERROR || result == static_cast<std::int32_t>(SPATIAL_FAILURE),
                "a refused text gives a syntax error or a failure");
        require((result == SPATIAL_PARSE_SYNTAX_ERROR) == (messageLength > 0),
                "a syntax error, and only one, has a message");
        return 0;
    }
    require(messageLength == 0, "an accepted text has no message");
    requireWellFormed(record);
    spatialWKB_destroyGeom(&record);
    return 0;
}
