// Builds geometry records word by word for tests, independent of the
// library's creators, so that tests can also lay out records the creators
// never make (empty sublines, count words of 0, several sublines per ring).
// Pad words hold a nonzero pattern, so that a test can tell a pad word that
// an operation overwrote.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "spatialgeom/types.h"

namespace testrecords {

using Vertices = std::vector<DPoint3d>;
// A subline sequence: a linestring body, one ring, one member line.
using Sublines = std::vector<Vertices>;
// A ring sequence: the rings of one polygon (outer first) or the lines of a
// multilinestring.
using SublineSeqs = std::vector<Sublines>;

class Record {
public:
    const void* data() const { return words_.data(); }
    void* data() { return words_.data(); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(bytes_.size()); }
    const unsigned char* bytes() const { return reinterpret_cast<const unsigned char*>(words_.data()); }
    // The byte offset of each vertex, in storage order.
    const std::vector<std::size_t>& vertexOffsets() const { return vertexOffsets_; }

    void word(std::uint32_t value) { append(&value, sizeof value); }
    void pad() { word(0xA5A5A5A5u); }
    void vertex(const DPoint3d& v) {
        vertexOffsets_.push_back(bytes_.size());
        append(&v, sizeof v);
    }
    void header(std::uint32_t type) {
        word(1);
        word(1);
        word(type);
        word(0);
    }
    void sublineSeq(const Sublines& sublines) {
        word(static_cast<std::uint32_t>(sublines.size()));
        pad();
        for (const Vertices& subline : sublines) {
            word(0);
            word(static_cast<std::uint32_t>(subline.size()));
            for (const DPoint3d& v : subline) vertex(v);
        }
    }
    void ringSeq(const SublineSeqs& seqs) {
        word(static_cast<std::uint32_t>(seqs.size()));
        pad();
        for (const Sublines& seq : seqs) sublineSeq(seq);
    }
    // A complete record as a collection member, padded to a multiple of 8.
    void member(const Record& record) {
        append(record.data(), record.size());
        while (bytes_.size() % 8 != 0) bytes_.push_back(0);
    }
    // Stores totalSize and copies the bytes into 8-byte aligned storage.
    Record& finish() {
        const std::uint32_t total = size();
        std::memcpy(bytes_.data() + 12, &total, sizeof total);
        words_.assign((bytes_.size() + 7) / 8, 0);
        std::memcpy(words_.data(), bytes_.data(), bytes_.size());
        return *this;
    }

private:
    void append(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    std::vector<unsigned char> bytes_;
    std::vector<std::uint64_t> words_;
    std::vector<std::size_t> vertexOffsets_;
};

inline Record point(const DPoint3d& p) {
    Record r;
    r.header(SPATIAL_TYPE_POINT);
    r.vertex(p);
    return r.finish();
}

inline Record line(const Sublines& sublines) {
    Record r;
    r.header(SPATIAL_TYPE_LINESTRING);
    r.sublineSeq(sublines);
    return r.finish();
}

inline Record polygon(const SublineSeqs& rings) {
    Record r;
    r.header(SPATIAL_TYPE_POLYGON);
    r.ringSeq(rings);
    return r.finish();
}

inline Record multiPoint(const Vertices& points) {
    Record r;
    r.header(SPATIAL_TYPE_MULTIPOINT);
    r.word(static_cast<std::uint32_t>(points.size()));
    r.pad();
    for (const DPoint3d& p : points) r.vertex(p);
    return r.finish();
}

inline Record multiLine(const SublineSeqs& lines) {
    Record r;
    r.header(SPATIAL_TYPE_MULTILINESTRING);
    r.ringSeq(lines);
    return r.finish();
}

inline Record multiPolygon(const std::vector<SublineSeqs>& polygons) {
    Record r;
    r.header(SPATIAL_TYPE_MULTIPOLYGON);
    r.word(static_cast<std::uint32_t>(polygons.size()));
    r.pad();
    for (const SublineSeqs& rings : polygons) r.ringSeq(rings);
    return r.finish();
}

// A collection holding one point member.
inline Record collectionOfPoint(const DPoint3d& p) {
    Record r;
    r.header(SPATIAL_TYPE_COLLECTION);
    r.word(1);
    r.pad();
    r.header(SPATIAL_TYPE_POINT);
    r.vertex(p);
    return r.finish();
}

inline Record collection(const std::vector<Record>& members) {
    Record r;
    r.header(SPATIAL_TYPE_COLLECTION);
    r.word(static_cast<std::uint32_t>(members.size()));
    r.word(0);
    for (const Record& member : members) r.member(member);
    return r.finish();
}

// A header with any type code and no body beyond a zero count word.
inline Record ofType(std::uint32_t type) {
    Record r;
    r.header(type);
    r.word(0);
    r.pad();
    return r.finish();
}

}  // namespace testrecords
