// The writer on every record the parser makes, at any precision and any
// capacity: the result is -1 (did not fit), 0 (not even the keyword fit),
// 32768 (no capacity), or exactly the length of the whole text, which is
// then terminated and equal to the text written with room to spare.
// Nothing is written beyond the capacity. At 17 digits the text reads back
// as the same record.
#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"

using namespace fuzz_support;

namespace {

constexpr std::int32_t kUnwritable = -1;

// The whole text at the current precision, or kUnwritable when the record
// has an element that cannot be written.
std::int32_t writeWhole(const void* record, std::u16string* text) {
    constexpr std::uint32_t kLargest = 1u << 26;
    for (std::uint32_t capacity = 256;; capacity *= 2) {
        text->assign(capacity, u'\0');
        const std::int32_t written = spatialWKB_convertBinaryToText(record, text->data(), capacity * 2);
        if (written >= 0 || capacity == kLargest) {
            if (written >= 0) text->resize(static_cast<std::size_t>(written));
            return written;
        }
    }
}

void checkCutShort(const void* record, std::int32_t whole, const std::u16string& text, std::uint32_t bufferBytes) {
    // An exact allocation (a write past the capacity is a heap overflow),
    // never null.
    std::vector<SpatialWChar> buffer(std::max<std::size_t>(1, bufferBytes / 2));
    const std::int32_t written = spatialWKB_convertBinaryToText(record, buffer.data(), bufferBytes);
    // 32768: a capacity of 0 characters.
    if (written == kUnwritable || written == 0 || written == static_cast<std::int32_t>(SPATIAL_FAILURE)) return;
    require(written == whole, "a written text is the whole text");
    require(static_cast<std::uint32_t>(written) < bufferBytes / 2, "the terminator fits");
    require(buffer[static_cast<std::size_t>(written)] == 0, "the text is terminated");
    require(std::u16string_view(buffer.data(), static_cast<std::size_t>(written)) == text,
            "the text is the whole text");
}

// At 17 digits every finite coordinate reads back exactly.
void checkReadBack(const void* record) {
    spatialWKT_setPrecision(17);
    std::u16string text;
    if (writeWhole(record, &text) < 0) return;
    const std::string narrow(text.begin(), text.end());
    if (narrow.find("inf") != std::string::npos || narrow.find("nan") != std::string::npos) return;
    void* again = nullptr;
    require(spatialParse_string(narrow.c_str(), &again) == 0, "the written text reads back");
    require(wellFormedBytes(again) == wellFormedBytes(record), "the text reads back as the same record");
    spatialWKB_destroyGeom(&again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    silenceStandardOutput();
    InputReader input(data, size);
    const std::int32_t precision = input.take<std::int8_t>();
    const std::uint32_t bufferBytes = input.take<std::uint16_t>();
    const std::string wkt = input.restAsText();
    void* record = nullptr;
    if (spatialParse_string(wkt.c_str(), &record) != 0) return 0;

    spatialWKT_setPrecision(precision);
    std::u16string text;
    const std::int32_t whole = writeWhole(record, &text);
    checkCutShort(record, whole, text, bufferBytes);
    checkReadBack(record);
    spatialWKB_destroyGeom(&record);
    return 0;
}
