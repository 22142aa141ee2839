// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "spatialgeom/spatialgeom.h"

namespace fuzz_support {

// A failed property: prints what and stops the run, which libFuzzer reports
// as a crash with the input that caused it.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

inline void require(bool holds, const char* what) {
    if (!holds) fail(what);
}

// The scanner echoes bytes that form no token to standard output: keep the
// fuzzer's own output readable. A target that parses text calls this first
// on each input; the redirect is made once.
inline void silenceStandardOutput() {
    static const bool silenced = std::freopen("/dev/null", "w", stdout) != nullptr;
    require(silenced, "cannot redirect standard output");
}

// The size of a record an export made, which must be well formed.
inline std::uint32_t requireWellFormed(const void* record) {
    std::uint32_t size = 0;
    require(spatialWKB_getSize(record, &size) == SPATIAL_SUCCESS, "a record made has a size");
    require(spatialWKB_checkRecord(record, size) == SPATIAL_SUCCESS, "a record made is well formed");
    return size;
}

inline std::vector<std::uint8_t> wellFormedBytes(const void* record) {
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    return {bytes, bytes + requireWellFormed(record)};
}

// An exact heap copy of input bytes, made from a range (aligned as new
// aligns): a read past it is a heap overflow. Empty, it holds no pointer.
using ExactCopy = std::vector<std::uint8_t>;

// Reads the input front to back: fixed-size values first, the rest as text.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next sizeof(T) bytes as a T, zero once the input runs out.
    template <typename T>
    T take() {
        T value{};
        const std::size_t bytes = size_ < sizeof value ? size_ : sizeof value;
        std::memcpy(&value, data_, bytes);
        data_ += bytes;
        size_ -= bytes;
        return value;
    }

    // The rest, cut at the first NUL (the exports read NUL-terminated text).
    std::string restAsText() const {
        const std::string rest(reinterpret_cast<const char*>(data_), size_);
        return rest.substr(0, rest.find('\0'));
    }

    const std::uint8_t* rest() const { return data_; }
    std::size_t restSize() const { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace fuzz_support
