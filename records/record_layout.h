// The fixed offsets of the record layout and the word accessors every
// walker uses. A record is little-endian; integer words are u32, vertices
// are DPoint3d on 8-byte boundaries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "spatialgeom/types.h"

namespace spatialgeom {

using Byte = std::uint8_t;

// Header words (absolute offsets).
inline constexpr std::size_t kByteOrderOffset = 0;
inline constexpr std::size_t kReservedOffset = 4;
inline constexpr std::size_t kTypeOffset = 8;
inline constexpr std::size_t kTotalSizeOffset = 12;
inline constexpr std::size_t kHeaderSize = 16;
// The body starts after the header; the top-level count word of a
// multi-kind or collection sits there, and its first element 8 bytes later.
inline constexpr std::size_t kBodyOffset = 16;
inline constexpr std::size_t kFirstElementOffset = 24;

// A count word and its pad word; a subline's reserved word and vertexCount.
inline constexpr std::size_t kCountWordsSize = 8;
inline constexpr std::size_t kVertexSize = sizeof(DPoint3d);
inline constexpr std::size_t kPointRecordSize = kHeaderSize + kVertexSize;

static_assert(sizeof(DPoint3d) == 24, "DPoint3d must be three packed doubles");

// Reads and writes of u32 words. Memcpy keeps them free of alignment and
// aliasing assumptions; the compiler turns it into a plain load or store.
inline std::uint32_t readWord(const Byte* at) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

inline void writeWord(Byte* at, std::uint32_t value) { std::memcpy(at, &value, sizeof value); }

inline std::uint32_t recordType(const Byte* record) { return readWord(record + kTypeOffset); }
inline std::uint32_t recordTotalSize(const Byte* record) { return readWord(record + kTotalSizeOffset); }
// The top-level count of a multi-kind, polygon or collection record (also
// the sublineCount of a linestring).
inline std::uint32_t bodyCount(const Byte* record) { return readWord(record + kBodyOffset); }

// Writes byteOrder 1, reserved 1, the type code and totalSize.
inline void writeHeader(Byte* record, std::uint32_t type, std::uint32_t totalSize) {
    writeWord(record + kByteOrderOffset, 1);
    writeWord(record + kReservedOffset, 1);
    writeWord(record + kTypeOffset, type);
    writeWord(record + kTotalSizeOffset, totalSize);
}

// Vertices inside a record. Records start 8-byte aligned, so every vertex
// array is a properly aligned DPoint3d array.
inline const DPoint3d* vertexArray(const Byte* at) { return reinterpret_cast<const DPoint3d*>(at); }
inline DPoint3d* vertexArray(Byte* at) { return reinterpret_cast<DPoint3d*>(at); }

}  // namespace spatialgeom
