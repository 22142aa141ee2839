// The wide-text conversions on any UTF-16 text and buffer capacity: the
// size export and the conversion agree, the conversion writes the record
// and nothing after it, and only into a buffer that holds it.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_support.h"

using namespace fuzz_support;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    silenceStandardOutput();
    InputReader input(data, size);
    // A capacity up to 64 KiB and an offset that misaligns the buffer.
    const std::uint32_t capacity = input.take<std::uint16_t>();
    const std::size_t offset = input.take<std::uint8_t>() % 8;
    std::vector<SpatialWChar> text(input.restSize() / 2 + 1, 0);
    std::memcpy(text.data(), input.rest(), input.restSize() / 2 * 2);

    std::uint32_t textSize = 0;
    const std::uint32_t sized = spatialWKB_getSizeFromTextGeom(text.data(), &textSize);
    constexpr std::uint8_t kUntouched = 0xa5;
    // Bytes before the buffer, the capacity, and one guard byte after it
    // (a buffer is never null, even of capacity 0).
    std::vector<std::uint8_t> block(offset + capacity + 1, kUntouched);
    std::uint8_t* buffer = block.data() + offset;
    const std::uint32_t converted = spatialWKB_convertTextToBinary(text.data(), buffer, capacity);

    if (sized != SPATIAL_SUCCESS) {
        require(converted == sized, "the conversion fails as the size export does");
    } else if (textSize > capacity) {
        require(converted == SPATIAL_BUFFER_TOO_SMALL, "a record beyond the capacity is refused");
    } else {
        require(converted == SPATIAL_SUCCESS, "a record within the capacity is converted");
        std::vector<std::uint64_t> aligned(textSize / 8 + 1);
        std::memcpy(aligned.data(), buffer, textSize);
        require(requireWellFormed(aligned.data()) == textSize, "the record is as large as announced");
    }
    const std::size_t written = converted == SPATIAL_SUCCESS ? textSize : 0;
    for (std::size_t i = written; i <= capacity; ++i)
        require(buffer[i] == kUntouched, "bytes after the record are untouched");
    for (std::size_t i = 0; i < offset; ++i) require(block[i] == kUntouched, "bytes before the buffer are untouched");
    return 0;
}
