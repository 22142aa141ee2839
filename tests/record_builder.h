// Hand-laid geometry records for tests: any counts (0 included), lines and
// rings of several sublines, and collections of arbitrary members, which
// the creating exports do not make. totalSize is left 0 unless given, so
// readers compute sizes from the layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "spatialgeom/types.h"

namespace spatialgeom::testing {

using Vertices = std::vector<DPoint3d>;
using Sublines = std::vector<Vertices>;  // one line or ring
using Rings = std::vector<Sublines>;     // one polygon, or the lines of a multilinestring

// An 8-byte aligned record laid out word by word.
class TestRecord {
  public:
    const void* data() const { return words_.data(); }
    std::size_t size() const { return size_; }

    TestRecord& word(std::uint32_t value) { return raw(&value, sizeof value); }
    TestRecord& vertex(const DPoint3d& p) { return raw(&p, sizeof p); }
    TestRecord& header(std::uint32_t type, std::uint32_t totalSize = 0) {
        return word(1).word(1).word(type).word(totalSize);
    }
    TestRecord& subline(const Vertices& vertices) {
        word(0).word(static_cast<std::uint32_t>(vertices.size()));
        for (const DPoint3d& p : vertices) vertex(p);
        return *this;
    }
    TestRecord& sublineSeq(const Sublines& sublines) {
        word(static_cast<std::uint32_t>(sublines.size())).word(0);
        for (const Vertices& s : sublines) subline(s);
        return *this;
    }
    TestRecord& ringSeq(const Rings& rings) {
        word(static_cast<std::uint32_t>(rings.size())).word(0);
        for (const Sublines& r : rings) sublineSeq(r);
        return *this;
    }
    // A complete record, rounded up to a multiple of 8 bytes.
    TestRecord& member(const TestRecord& record) {
        raw(record.data(), record.size());
        size_ = words_.size() * 8;
        return *this;
    }

  private:
    TestRecord& raw(const void* at, std::size_t size) {
        const std::size_t start = size_;
        size_ += size;
        words_.resize((size_ + 7) / 8, 0);
        std::memcpy(reinterpret_cast<std::uint8_t*>(words_.data()) + start, at, size);
        return *this;
    }

    std::vector<std::uint64_t> words_;
    std::size_t size_ = 0;
};

inline TestRecord pointRecord(const DPoint3d& p) { return TestRecord().header(SPATIAL_TYPE_POINT).vertex(p); }
inline TestRecord lineRecord(const Sublines& sublines) {
    return TestRecord().header(SPATIAL_TYPE_LINESTRING).sublineSeq(sublines);
}
inline TestRecord polygonRecord(const Rings& rings) { return TestRecord().header(SPATIAL_TYPE_POLYGON).ringSeq(rings); }
inline TestRecord multiPointRecord(const Vertices& points) {
    TestRecord record;
    record.header(SPATIAL_TYPE_MULTIPOINT).word(static_cast<std::uint32_t>(points.size())).word(0);
    for (const DPoint3d& p : points) record.vertex(p);
    return record;
}
inline TestRecord multiLineRecord(const Rings& lines) {
    return TestRecord().header(SPATIAL_TYPE_MULTILINESTRING).ringSeq(lines);
}
inline TestRecord multiPolygonRecord(const std::vector<Rings>& polygons) {
    TestRecord record;
    record.header(SPATIAL_TYPE_MULTIPOLYGON).word(static_cast<std::uint32_t>(polygons.size())).word(0);
    for (const Rings& p : polygons) record.ringSeq(p);
    return record;
}
inline TestRecord collectionRecord(const std::vector<TestRecord>& members) {
    TestRecord record;
    record.header(SPATIAL_TYPE_COLLECTION).word(static_cast<std::uint32_t>(members.size())).word(0);
    for (const TestRecord& m : members) record.member(m);
    return record;
}

}  // namespace spatialgeom::testing
