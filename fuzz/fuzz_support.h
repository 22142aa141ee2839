// Helpers shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
// fuzzer's own output readable.
inline void silenceStandardOutput() {
    if (std::freopen("/dev/null", "w", stdout) == nullptr) fail("cannot redirect standard output");
}

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
