// The words of Well-Known Binary shared by its reader and writer: byte
// orders, type codes and flags, and loads and stores in either byte order
// at any alignment.
//
// A geometry is a byte-order byte (0 big-endian, 1 little-endian), a u32
// type word in that order, then its body: a point its coordinates; a
// linestring a u32 point count and the points; a polygon a u32 ring count
// and each ring as a point count and the points; the multi-kinds and the
// collection a u32 count and that many whole geometries, each with its own
// byte-order byte and type word.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "records/record_layout.h"

namespace spatialgeom::wkb {

enum class ByteOrder : Byte { kBig = 0, kLittle = 1 };

// The kinds 1 (point) to 7 (collection) use the record's type codes.
// ISO codes add 1000 for z, 2000 for m, 3000 for both.
inline constexpr std::uint32_t kZCodeOffset = 1000;
inline constexpr std::uint32_t kLastKind = 7;
// The extended dialect keeps the kind in the low bits and flags the rest.
inline constexpr std::uint32_t kZFlag = 0x80000000u;
inline constexpr std::uint32_t kMFlag = 0x40000000u;
inline constexpr std::uint32_t kSridFlag = 0x20000000u;
inline constexpr std::uint32_t kFlagBits = kZFlag | kMFlag | kSridFlag;

// Byte-order byte and type word.
inline constexpr std::size_t kHeadBytes = 5;
inline constexpr std::size_t kWordBytes = 4;
inline constexpr std::size_t kDoubleBytes = 8;

inline constexpr bool kNativeLittle = std::endian::native == std::endian::little;
static_assert(kNativeLittle || std::endian::native == std::endian::big, "mixed-endian hosts are not supported");

inline bool isNative(ByteOrder order) { return (order == ByteOrder::kLittle) == kNativeLittle; }

inline std::uint32_t loadWord(const Byte* at, ByteOrder order) {
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return isNative(order) ? value : __builtin_bswap32(value);
}

inline double loadDouble(const Byte* at, ByteOrder order) {
    std::uint64_t bits;
    std::memcpy(&bits, at, sizeof bits);
    return std::bit_cast<double>(isNative(order) ? bits : __builtin_bswap64(bits));
}

inline void storeLittleWord(Byte* at, std::uint32_t value) {
    if constexpr (!kNativeLittle) value = __builtin_bswap32(value);
    std::memcpy(at, &value, sizeof value);
}

inline void storeLittleDouble(Byte* at, double value) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    if constexpr (!kNativeLittle) bits = __builtin_bswap64(bits);
    std::memcpy(at, &bits, sizeof bits);
}

}  // namespace spatialgeom::wkb
