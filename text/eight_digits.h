// Eight decimal digits as 16-bit characters, held in registers: the unit in
// which numbers are written. Two implementations with the same operations:
// SSE2 (one vector; the one used where the target has it) and portable
// (two 64-bit words of four characters). Both are always compiled, so that
// both are tested.
//
//   Eight eightDigits(std::uint32_t n)      n < 10^8, leading zeros included
//   void store(Eight, SpatialWChar* out)    the eight characters at out
//   int significantCharacters(Eight)        up to the last one other than '0'
//   SpatialWChar firstCharacter(Eight)
//   Eight noCharacters()                    eight zero characters (not '0')
//   Eight withPoint(Eight eight, Eight before, int at)
//       a point inserted at character at (in [-1, 8]): character i is
//       eight's i below at, '.' at at, and the one before it above at
//       (eight's i - 1, or before's last for i = 0), so that blocks of a
//       longer text move up by one place past the point
//   Eight movedUp(Eight eight, Eight before)  withPoint(eight, before, -1)
#pragma once

#include <array>
#include <bit>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "spatialgeom/types.h"

namespace spatialgeom::digits {

namespace portable {

// The two digits of 0..99 as two 16-bit characters, the first in the low half.
inline constexpr auto kDigitPairs = [] {
    std::array<std::uint32_t, 100> pairs{};
    for (std::uint32_t n = 0; n < 100; ++n) pairs[n] = ('0' + n / 10) | ('0' + n % 10) << 16;
    return pairs;
}();

inline constexpr std::uint64_t kZeroInEveryLane = 0x0030'0030'0030'0030;

// Character i of the eight in lane i % 4 (bits 16 (i % 4) on) of word i / 4.
struct Eight {
    std::uint64_t words[2];
};

// Four pairs read off a 48-bit binary fraction of n / 10^6, each pair one
// multiplication by 100 after the previous one. The fraction's constant
// exceeds 2^48 / 10^6 by less than 0.3, so n times the excess stays below
// 2^25, under a tenth of the unit of the six digits left, and after each
// multiplication still under a tenth of the unit of the digits left: every
// pair comes out exact.
inline Eight eightDigits(std::uint32_t n) {
    constexpr int kBits = 48;
    constexpr std::uint64_t kFraction = (std::uint64_t{1} << kBits) - 1;
    std::uint64_t y = n * ((std::uint64_t{1} << kBits) / 1000000 + 1);
    const auto nextPair = [&y] {
        const std::uint64_t pair = kDigitPairs[y >> kBits];
        y = (y & kFraction) * 100;
        return pair;
    };
    const std::uint64_t first = nextPair(), second = nextPair(), third = nextPair(), fourth = nextPair();
    return {{first | second << 32, third | fourth << 32}};
}

inline void store(Eight eight, SpatialWChar* out) {
    for (int i = 0; i < 8; ++i) out[i] = static_cast<SpatialWChar>(eight.words[i / 4] >> (16 * (i % 4)));
}

inline int significantCharacters(Eight eight) {
    // The '0' characters after a word's last other one (4 for "0000").
    const auto trailingZeros = [](std::uint64_t word) {
        return static_cast<int>(static_cast<unsigned>(std::countl_zero(word ^ kZeroInEveryLane)) / 16);
    };
    if (eight.words[1] != kZeroInEveryLane) return 8 - trailingZeros(eight.words[1]);
    return 4 - trailingZeros(eight.words[0]);
}

inline SpatialWChar firstCharacter(Eight eight) { return static_cast<SpatialWChar>(eight.words[0]); }

inline Eight noCharacters() { return {{0, 0}}; }

inline Eight movedUp(Eight eight, Eight before) {
    return {{eight.words[0] << 16 | before.words[1] >> 48, eight.words[1] << 16 | eight.words[0] >> 48}};
}

inline Eight withPoint(Eight eight, Eight before, int at) {
    const std::uint64_t shifted[2] = {eight.words[0] << 16 | before.words[1] >> 48,
                                      eight.words[1] << 16 | eight.words[0] >> 48};
    Eight out{{0, 0}};
    for (int i = 0; i < 8; ++i) {
        const int lane = 16 * (i % 4);
        const std::uint64_t character = i < at    ? eight.words[i / 4] >> lane & 0xFFFF
                                        : i == at ? std::uint64_t{'.'}
                                                  : shifted[i / 4] >> lane & 0xFFFF;
        out.words[i / 4] |= character << lane;
    }
    return out;
}

}  // namespace portable

#if defined(__SSE2__)
namespace sse2 {

// The quotients of x < 10^4 by 1000, 100, 10 and 1, as two multiplications
// of 4x by 16-bit fractions keeping the high halves: mulhi(mulhi(4x,
// divisor), scale).
struct QuotientStep {
    std::uint16_t divisor, scale;
    std::uint32_t power;
};
inline constexpr QuotientStep kQuotientSteps[4] = {
    {8389, 1 << 7, 1000}, {5243, 1 << 11, 100}, {13108, 1 << 13, 10}, {32768, 1 << 15, 1}};

constexpr bool quotientStepsExact() {
    for (std::uint32_t x = 0; x < 10000; ++x) {
        for (const QuotientStep& step : kQuotientSteps) {
            if (((4 * x * step.divisor >> 16) * step.scale >> 16) != x / step.power) return false;
        }
    }
    return true;
}
static_assert(quotientStepsExact());

// Character i of the eight in 16-bit lane i.
using Eight = __m128i;

// n's two halves of four digits, each spread as 4x over four lanes and
// divided lane by lane by 1000, 100, 10 and 1; digit i is then quotient i
// less ten times quotient i - 1. Two scalar multiplications and six vector
// operations.
inline Eight eightDigits(std::uint32_t n) {
    constexpr std::uint64_t kFourTimesInEveryLane = 0x0004'0004'0004'0004;
    const std::uint64_t high = n / 10000, low = n % 10000;
    const __m128i spread = _mm_set_epi64x(static_cast<long long>(low * kFourTimesInEveryLane),
                                          static_cast<long long>(high * kFourTimesInEveryLane));
    const auto& s = kQuotientSteps;
    const __m128i divisors = _mm_setr_epi16(s[0].divisor, s[1].divisor, s[2].divisor, s[3].divisor, s[0].divisor,
                                            s[1].divisor, s[2].divisor, s[3].divisor);
    const __m128i scales =
        _mm_setr_epi16(s[0].scale, s[1].scale, s[2].scale, s[3].scale, s[0].scale, s[1].scale, s[2].scale, s[3].scale);
    const __m128i quotients = _mm_mulhi_epu16(_mm_mulhi_epu16(spread, divisors), scales);
    const __m128i tensOfPrevious = _mm_slli_epi64(_mm_mullo_epi16(quotients, _mm_set1_epi16(10)), 16);
    return _mm_add_epi16(_mm_sub_epi16(quotients, tensOfPrevious), _mm_set1_epi16('0'));
}

inline void store(Eight eight, SpatialWChar* out) { _mm_storeu_si128(reinterpret_cast<__m128i*>(out), eight); }

inline int significantCharacters(Eight eight) {
    // Two bits per character, set for any but '0': the last set bit is bit
    // 2i + 1 for character i. (Shifted in 1 spares the case of no bit set.)
    const auto others =
        static_cast<std::uint32_t>(~_mm_movemask_epi8(_mm_cmpeq_epi16(eight, _mm_set1_epi16('0'))) & 0xFFFF);
    return static_cast<int>(std::bit_width(others << 1 | 1) / 2);
}

inline SpatialWChar firstCharacter(Eight eight) { return static_cast<SpatialWChar>(_mm_cvtsi128_si32(eight)); }

inline Eight noCharacters() { return _mm_setzero_si128(); }

inline Eight movedUp(Eight eight, Eight before) {
    return _mm_or_si128(_mm_slli_si128(eight, 2), _mm_srli_si128(before, 14));
}

// Lane masks from comparing the lane numbers with at: a dozen operations.
inline Eight withPoint(Eight eight, Eight before, int at) {
    const __m128i shifted = movedUp(eight, before);
    const __m128i lanes = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    const __m128i point = _mm_set1_epi16(static_cast<short>(at));
    const __m128i below = _mm_cmplt_epi16(lanes, point), above = _mm_cmpgt_epi16(lanes, point);
    const __m128i dot = _mm_andnot_si128(_mm_or_si128(below, above), _mm_set1_epi16('.'));
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(eight, below), _mm_and_si128(shifted, above)), dot);
}

}  // namespace sse2

using namespace sse2;
#else
using namespace portable;
#endif

}  // namespace spatialgeom::digits
