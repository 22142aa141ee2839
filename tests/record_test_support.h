// Helpers shared by the record tests: an owning handle for library records
// and independent readers of the bytes at fixed offsets.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "spatialgeom/spatialgeom.h"

namespace testing_support {

// Owns a record made by the library; releases it with spatialWKB_destroyGeom.
class Record {
public:
    Record() = default;
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    ~Record() {
        if (geom_ != nullptr) spatialWKB_destroyGeom(&geom_);
    }
    void** out() { return &geom_; }
    void* get() const { return geom_; }
    const std::uint8_t* bytes() const { return static_cast<const std::uint8_t*>(geom_); }

private:
    void* geom_ = nullptr;
};

inline std::uint32_t wordAt(const void* record, std::size_t offset) {
    std::uint32_t value;
    std::memcpy(&value, static_cast<const std::uint8_t*>(record) + offset, sizeof value);
    return value;
}

inline DPoint3d vertexAt(const void* record, std::size_t offset) {
    DPoint3d value;
    std::memcpy(&value, static_cast<const std::uint8_t*>(record) + offset, sizeof value);
    return value;
}

inline bool samePoint(const DPoint3d& a, const DPoint3d& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// n distinct vertices starting at (base, base + 1, base + 2), step 10.
inline std::vector<DPoint3d> vertices(std::uint32_t n, double base = 0.0) {
    std::vector<DPoint3d> result;
    for (std::uint32_t i = 0; i < n; ++i) result.push_back({base + 10.0 * i, base + 10.0 * i + 1, base + 10.0 * i + 2});
    return result;
}

// Lays out records by hand, word by word, in an 8-byte aligned buffer: for
// records the creators cannot make (counts of 0, type 8, collections).
class ByteWriter {
public:
    ByteWriter& word(std::uint32_t value) { return append(&value, sizeof value); }
    ByteWriter& words(std::uint32_t value, std::uint32_t pad = 0) { return word(value).word(pad); }
    ByteWriter& vertex(const DPoint3d& point) { return append(&point, sizeof point); }
    ByteWriter& header(std::uint32_t type, std::uint32_t totalSize) { return word(1).word(1).word(type).word(totalSize); }
    ByteWriter& raw(const void* bytes, std::size_t size) { return append(bytes, size); }
    ByteWriter& padTo8() {
        while (size_ % 8 != 0) append("\0", 1);
        return *this;
    }
    std::size_t size() const { return size_; }
    void patchWord(std::size_t offset, std::uint32_t value) { std::memcpy(data() + offset, &value, sizeof value); }
    std::uint8_t* data() { return reinterpret_cast<std::uint8_t*>(storage_.data()); }

private:
    ByteWriter& append(const void* bytes, std::size_t size) {
        storage_.resize((size_ + size + 7) / 8);
        std::memcpy(data() + size_, bytes, size);
        size_ += size;
        return *this;
    }
    std::vector<std::uint64_t> storage_;
    std::size_t size_ = 0;
};

}  // namespace testing_support
