// Navigation of geometry records: the only code that knows how elements
// follow one another. Every walker of the library (sizes, growth, readers,
// ranges, transforms, the text writer, intersections) steps through records
// with these operations. None validates a record: counts are believed.
//
// Building blocks:
//   subline:          u32 reserved, u32 vertexCount, vertexCount DPoint3d
//   subline sequence: u32 sublineCount, pad, sublineCount sublines
//   ring sequence:    u32 count (rings / lines), pad, count subline sequences
// Sizes are computed in 64 bits so that a corrupt count cannot wrap them;
// callers that store a size check that it fits in 32 bits.
#pragma once

#include <cstdint>

#include "records/record_layout.h"

namespace spatialgeom {

// 0 when x is a multiple of 8, else 8 - (x mod 8).
constexpr std::uint32_t alignPad(std::uint64_t x) { return static_cast<std::uint32_t>((8 - (x % 8)) % 8); }
constexpr std::uint64_t roundUp8(std::uint64_t x) { return x + alignPad(x); }

// ---- Sublines.
inline std::uint32_t sublineVertexCount(const Byte* subline) { return readWord(subline + 4); }
inline const DPoint3d* sublineVertices(const Byte* subline) { return vertexArray(subline + kCountWordsSize); }
inline DPoint3d* sublineVertices(Byte* subline) { return vertexArray(subline + kCountWordsSize); }
// 8 + 24 * vertexCount, rounded.
inline std::uint64_t sublineSize(const Byte* subline) {
    return roundUp8(kCountWordsSize + kVertexSize * std::uint64_t{sublineVertexCount(subline)});
}
// The address just after the subline.
inline const Byte* nextSubline(const Byte* subline) { return subline + sublineSize(subline); }

// ---- Subline sequences (a linestring body, a ring, a member line).
inline std::uint32_t sublineCount(const Byte* seq) { return readWord(seq); }
inline const Byte* firstSubline(const Byte* seq) { return seq + kCountWordsSize; }
// S: 8 + the sizes of its sublines, rounded.
std::uint64_t sublineSeqSize(const Byte* seq);
inline const Byte* nextSublineSeq(const Byte* seq) { return seq + sublineSeqSize(seq); }
// Sum of vertexCount over the sublines.
std::uint64_t sublineSeqVertexCount(const Byte* seq);

// ---- Ring sequences (a polygon body, a multipolygon member, and with its
// count read as lineCount, a multilinestring body).
inline std::uint32_t ringCount(const Byte* rings) { return readWord(rings); }
inline const Byte* firstSublineSeq(const Byte* rings) { return rings + kCountWordsSize; }
// R: 8 + the sizes of its subline sequences, rounded.
std::uint64_t ringSeqSize(const Byte* rings);
inline const Byte* nextRingSeq(const Byte* rings) { return rings + ringSeqSize(rings); }
// Sum of sublineSeqVertexCount over the subline sequences.
std::uint64_t ringSeqVertexCount(const Byte* rings);

// ---- Collections.
// The total size of a type 7 record: 24 + the rounded member sizes. A
// member's size is its totalSize when nonzero, else computed from its
// layout; the walk stops (status stays success) at the first member whose
// size cannot be found (unknown code, or type 8 with totalSize 0).
std::uint64_t collectionSize(const Byte* record);
// The member's size (totalSize, else computed) or false when it has none.
bool memberSize(const Byte* member, std::uint64_t* size);
// The address after the member, rounded; null when its size cannot be found.
const Byte* nextMember(const Byte* member);

// ---- Copying vertices out. Capacity counts vertices.
// Copies subline by subline into destination and writes the count copied
// to *copied. False when a subline did not fit: *copied then counts the
// sublines copied before it.
bool sublineSeqCopyVertices(const Byte* seq, std::uint32_t capacity, DPoint3d* destination, std::uint32_t* copied);
// The same over every subline sequence; on failure *copied counts only the
// subline sequences copied whole.
bool ringSeqCopyVertices(const Byte* rings, std::uint32_t capacity, DPoint3d* destination, std::uint32_t* copied);

// ---- Record size from the layout, by kind (what record_sizes.h reports).
// Each returns the exact size in bytes as a 64-bit value; none reads the
// type code or totalSize of the record itself.
std::uint64_t lineRecordSize(const Byte* record);
std::uint64_t polygonRecordSize(const Byte* record);
std::uint64_t multiPointRecordSize(const Byte* record);
std::uint64_t multiLineRecordSize(const Byte* record);
std::uint64_t multiPolygonRecordSize(const Byte* record);
// By geometryType: kinds 1..7. Returns false for type 8 and unknown codes.
bool layoutSize(const Byte* record, std::uint64_t* size);

// ---- Walkers. Each calls visit(element) for the elements in storage order
// and stops early when visit returns false; it returns false then, true
// when the walk completed. They are how callers loop without re-deriving
// offsets.
template <typename Visit>
bool forEachSubline(const Byte* seq, Visit&& visit) {
    const Byte* subline = firstSubline(seq);
    for (std::uint32_t i = 0, n = sublineCount(seq); i < n; ++i, subline = nextSubline(subline)) {
        if (!visit(subline)) return false;
    }
    return true;
}

// Visits the subline sequences of a ring sequence (rings of a polygon,
// lines of a multilinestring).
template <typename Visit>
bool forEachSublineSeq(const Byte* rings, Visit&& visit) {
    const Byte* seq = firstSublineSeq(rings);
    for (std::uint32_t i = 0, n = ringCount(rings); i < n; ++i, seq = nextSublineSeq(seq)) {
        if (!visit(seq)) return false;
    }
    return true;
}

// Visits the polygons (ring sequences) of a multipolygon record.
template <typename Visit>
bool forEachPolygon(const Byte* record, Visit&& visit) {
    const Byte* polygon = record + kFirstElementOffset;
    for (std::uint32_t i = 0, n = bodyCount(record); i < n; ++i, polygon = nextRingSeq(polygon)) {
        if (!visit(polygon)) return false;
    }
    return true;
}

// Visits the member records of a collection. A member whose position cannot
// be found ends the walk with false, as if visit had refused it.
template <typename Visit>
bool forEachMember(const Byte* record, Visit&& visit) {
    const Byte* member = record + kFirstElementOffset;
    for (std::uint32_t i = 0, n = bodyCount(record); i < n; ++i) {
        if (member == nullptr || !visit(member)) return false;
        if (i + 1 < n) member = nextMember(member);
    }
    return true;
}

// The index-th member line of a multilinestring record, or null when the
// index is not below its lineCount. Cost: O(index) element steps.
const Byte* multiLineMember(const Byte* record, std::uint32_t index);
// The index-th polygon of a multipolygon record, or null when the index is
// not below its polygonCount. Cost: O(index) element steps.
const Byte* multiPolygonMember(const Byte* record, std::uint32_t index);

// The body accessors of each kind.
inline const Byte* lineBody(const Byte* record) { return record + kBodyOffset; }       // subline sequence
inline const Byte* polygonBody(const Byte* record) { return record + kBodyOffset; }    // ring sequence
inline const Byte* multiLineBody(const Byte* record) { return record + kBodyOffset; }  // ring sequence layout
inline const DPoint3d* multiPointVertices(const Byte* record) { return vertexArray(record + kFirstElementOffset); }
inline DPoint3d* multiPointVertices(Byte* record) { return vertexArray(record + kFirstElementOffset); }
inline const DPoint3d* pointVertex(const Byte* record) { return vertexArray(record + kBodyOffset); }
inline DPoint3d* pointVertex(Byte* record) { return vertexArray(record + kBodyOffset); }

// Mutable overloads for in-place walkers (transforms): same layout.
inline Byte* mutableAt(const Byte* at) { return const_cast<Byte*>(at); }

}  // namespace spatialgeom
