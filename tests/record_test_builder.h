// Geometry records for tests, laid out byte by byte independently of the
// library's creators, so that tests can also make what the creators never
// make (empty sublines, counts of 0, several sublines per ring, any type
// code); and readers of the bytes at fixed offsets. Pad and reserved words
// hold a nonzero pattern, so that a test can tell one an operation
// overwrote; withLibraryPads() clears them as the library writes them.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "spatialgeom/record_ptr.h"
#include "spatialgeom/spatialgeom.h"

namespace testrecords {

using Vertices = std::vector<DPoint3d>;
// A subline sequence: a linestring body, one ring, one member line.
using Sublines = std::vector<Vertices>;
// A ring sequence: the rings of one polygon (outer first) or the lines of a
// multilinestring.
using SublineSeqs = std::vector<Sublines>;

inline constexpr std::uint32_t kPadPattern = 0xA5A5A5A5u;

// Record bytes in 8-byte aligned storage, appended word by word. The
// factories below finish() what they build; a test may also append by hand
// (leaving totalSize as it wrote it) and change any word afterwards.
class Record {
public:
    Record& word(std::uint32_t value) { return append(&value, sizeof value); }
    Record& pad() {
        padOffsets_.push_back(size_);
        return word(kPadPattern);
    }
    // A count word and its pad word.
    Record& count(std::size_t n) { return word(static_cast<std::uint32_t>(n)).pad(); }
    Record& vertex(const DPoint3d& v) {
        vertexOffsets_.push_back(size_);
        return append(&v, sizeof v);
    }
    // byteOrder 1, reserved 1, the type code and totalSize.
    Record& header(std::uint32_t type, std::uint32_t totalSize = 0) {
        return word(1).word(1).word(type).word(totalSize);
    }
    // The reserved word, vertexCount and the vertices.
    Record& subline(const Vertices& vertices) {
        pad().word(static_cast<std::uint32_t>(vertices.size()));
        for (const DPoint3d& v : vertices) vertex(v);
        return *this;
    }
    Record& sublineSeq(const Sublines& sublines) {
        count(sublines.size());
        for (const Vertices& s : sublines) subline(s);
        return *this;
    }
    Record& ringSeq(const SublineSeqs& seqs) {
        count(seqs.size());
        for (const Sublines& seq : seqs) sublineSeq(seq);
        return *this;
    }
    // A complete record as a collection member, padded to a multiple of 8;
    // its pad words and vertices become this record's.
    Record& member(const Record& record) {
        for (std::size_t offset : record.padOffsets_) padOffsets_.push_back(size_ + offset);
        for (std::size_t offset : record.vertexOffsets_) vertexOffsets_.push_back(size_ + offset);
        append(record.data(), record.size());
        size_ = (size_ + 7) / 8 * 8;
        return *this;
    }
    // Stores the size as totalSize.
    Record& finish() {
        setWord(12, size());
        return *this;
    }
    // A copy with every pad and reserved word 0.
    Record withLibraryPads() const {
        Record copy = *this;
        for (std::size_t offset : padOffsets_) copy.setWord(offset, 0);
        return copy;
    }
    void setWord(std::size_t offset, std::uint32_t value) { std::memcpy(bytes() + offset, &value, sizeof value); }

    const void* data() const { return storage_.data(); }
    void* data() { return storage_.data(); }
    const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(storage_.data()); }
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(storage_.data()); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(size_); }
    // The byte offset of each vertex, in storage order.
    const std::vector<std::size_t>& vertexOffsets() const { return vertexOffsets_; }
    bool operator==(const Record& other) const {
        return size_ == other.size_ && std::memcmp(data(), other.data(), size_) == 0;
    }

private:
    Record& append(const void* from, std::size_t n) {
        if (n == 0) return *this;
        storage_.resize((size_ + n + 7) / 8);
        std::memcpy(bytes() + size_, from, n);
        size_ += n;
        return *this;
    }
    std::vector<std::uint64_t> storage_;  // zero beyond size_
    std::size_t size_ = 0;
    std::vector<std::size_t> vertexOffsets_, padOffsets_;
};

inline Record point(const DPoint3d& p) { return Record().header(SPATIAL_TYPE_POINT).vertex(p).finish(); }

inline Record line(const Sublines& sublines) {
    return Record().header(SPATIAL_TYPE_LINESTRING).sublineSeq(sublines).finish();
}

inline Record polygon(const SublineSeqs& rings) {
    return Record().header(SPATIAL_TYPE_POLYGON).ringSeq(rings).finish();
}

inline Record multiPoint(const Vertices& points) {
    Record r;
    r.header(SPATIAL_TYPE_MULTIPOINT).count(points.size());
    for (const DPoint3d& p : points) r.vertex(p);
    return r.finish();
}

inline Record multiLine(const SublineSeqs& lines) {
    return Record().header(SPATIAL_TYPE_MULTILINESTRING).ringSeq(lines).finish();
}

inline Record multiPolygon(const std::vector<SublineSeqs>& polygons) {
    Record r;
    r.header(SPATIAL_TYPE_MULTIPOLYGON).count(polygons.size());
    for (const SublineSeqs& rings : polygons) r.ringSeq(rings);
    return r.finish();
}

inline Record collection(const std::vector<Record>& members) {
    Record r;
    r.header(SPATIAL_TYPE_COLLECTION).count(members.size());
    for (const Record& member : members) r.member(member);
    return r.finish();
}

// A header with any type code, totalSize 0 and a count word of 0: the empty
// record of a multi-kind or a collection, or no record at all.
inline Record ofType(std::uint32_t type) { return Record().header(type).count(0); }

// n distinct vertices starting at (base, base + 1, base + 2), step 10.
inline Vertices vertices(std::uint32_t n, double base = 0.0) {
    Vertices result;
    for (std::uint32_t i = 0; i < n; ++i) result.push_back({base + 10.0 * i, base + 10.0 * i + 1, base + 10.0 * i + 2});
    return result;
}

// A record made by the library, as opposed to the Record laid out here.
using LibraryRecord = spatialgeom::RecordPtr;

// The record's bytes, as many as spatialWKB_getSize gives; none when it
// fails.
inline std::vector<std::uint8_t> bytesOf(const void* record) {
    std::uint32_t size = 0;
    if (spatialWKB_getSize(record, &size) != SPATIAL_SUCCESS) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(record);
    return {bytes, bytes + size};
}

// The record's WKB, sized by the writer's own size query.
inline std::vector<std::uint8_t> ogcWkbOf(const void* record) {
    std::uint32_t size = 0;
    if (spatialWKB_toOgcWkb(record, nullptr, 0, &size) != SPATIAL_BUFFER_TOO_SMALL) return {};
    std::vector<std::uint8_t> wkb(size);
    if (spatialWKB_toOgcWkb(record, wkb.data(), size, &size) != SPATIAL_SUCCESS || size != wkb.size()) return {};
    return wkb;
}

inline std::uint32_t wordAt(const void* record, std::size_t offset) {
    std::uint32_t value;
    std::memcpy(&value, static_cast<const std::uint8_t*>(record) + offset, sizeof value);
    return value;
}

inline bool samePoint(const DPoint3d& a, const DPoint3d& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace testrecords
