// The leading 128 bits of the powers of ten, for exact conversions between
// doubles and decimals by 64 x 128-bit multiplications: the number writer
// rounds with them and the number reader values with them.
#pragma once

#include <array>
#include <cstdint>

namespace spatialgeom::powers {

inline constexpr int kSmallest = -330;
inline constexpr int kLargest = 342;
// 10^e fits its 128 bits (5^e < 2^128) up to this e.
inline constexpr int kLargestExact = 55;

// floor(10^e x 2^(127 - binaryExponent(e))), in [2^127, 2^128): the leading
// 128 bits of 10^e, truncated. Exact for e in [0, kLargestExact], below
// the power by less than one unit otherwise. No high word is all ones, so
// high + 1 (the leading 64 bits rounded up) fits in 64 bits.
struct Significand {
    std::uint64_t high;
    std::uint64_t low;
};

extern const std::array<Significand, kLargest - kSmallest + 1> kSignificands;

// e in [kSmallest, kLargest].
inline const Significand& significand(int e) { return kSignificands[e - kSmallest]; }

// floor(log2(10^e)) for e in [kSmallest, kLargest] (checked over the table
// where it is built).
constexpr int binaryExponent(int e) { return (e * 217706) >> 16; }

// The bits of the smallest double at least 10^n, for n in [-323, 309]
// (infinity's for 309): a finite positive double v is at least 10^n
// exactly when its bits are at least these, as unsigned integers.
inline constexpr int kSmallestCeiling = -323;
inline constexpr int kLargestCeiling = 309;
extern const std::array<std::uint64_t, kLargestCeiling - kSmallestCeiling + 1> kCeilingBits;
inline std::uint64_t ceilingBits(int n) { return kCeilingBits[n - kSmallestCeiling]; }

}  // namespace spatialgeom::powers
