// The fast path of the number writer (number_format.h), inline so that the
// vertex writers take it without a call per vertex: "%.*g" text of finite
// doubles at precisions up to 17, rounded exactly with the powers of ten of
// powers_of_ten.h.
//
// Digits are converted in blocks of eight (eight_digits.h). The writers are
// instantiated per width, the blocks their longest conversion needs: 1 for
// precisions up to 7, 2 up to 15, 3 (two blocks and leading digits) for 16
// and 17, so the common precisions carry no branch for longer numbers.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "spatialgeom/types.h"
#include "text/eight_digits.h"
#include "text/powers_of_ten.h"

namespace spatialgeom::fastnumber {

using Unsigned128 = unsigned __int128;

inline constexpr std::int32_t kLargestPrecision = 17;

// The characters a number's writer may write: at most 24 of text (a sign,
// 17 digits, the point and "e-308") and the scratch of whole blocks stored
// past its end (up to 35 characters in all), with room to spare.
inline constexpr std::size_t kMaxChars = 40;

// The blocks of eight digits that numbers of an effective precision up to
// kLargestPrecision need.
constexpr int widthOf(std::int32_t precision) { return precision <= 7 ? 1 : precision <= 15 ? 2 : 3; }

inline constexpr auto kPowersOfTen = [] {
    std::array<std::uint64_t, 20> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

// Up to 8 kWidth decimal digits (at most 18) as 16-bit characters: one
// block of eight for up to eight digits, two for up to sixteen, one or two
// leading digits and two blocks for more.
template <int kWidth>
class Digits {
public:
    // The count digits of n < 10^count (count <= 8 kWidth, at most 18),
    // leading zeros included. Always inlined, so that the blocks stay in
    // registers.
    [[gnu::always_inline]] Digits(std::uint64_t n, int count) : count_(count) {
        if (kWidth == 1 || count <= 8) [[likely]] {
            first_ = second_ = digits::eightDigits(static_cast<std::uint32_t>(n * kPowersOfTen[8 - count]));
            lead_ = digits::firstCharacter(first_);
            significant_ = digits::significantCharacters(first_);
            return;
        }
        int leading = 0;  // the digits before the blocks
        std::uint64_t blocks = n * kPowersOfTen[16 - (count < 16 ? count : 16)];
        if (kWidth == 3 && count > 16) {
            leading = count - 16;
            const std::uint64_t top = n / kPowersOfTen[16];
            blocks = n - top * kPowersOfTen[16];
            leadingPair_[0] = static_cast<SpatialWChar>('0' + (leading == 2 ? top / 10 : top));
            leadingPair_[1] = static_cast<SpatialWChar>('0' + top % 10);
        }
        first_ = digits::eightDigits(static_cast<std::uint32_t>(blocks / 100000000));
        second_ = digits::eightDigits(static_cast<std::uint32_t>(blocks % 100000000));
        lead_ = leading > 0 ? leadingPair_[0] : digits::firstCharacter(first_);
        const int inSecond = digits::significantCharacters(second_);
        significant_ = leading + (inSecond > 0 ? 8 + inSecond : digits::significantCharacters(first_));
    }

    SpatialWChar first() const { return lead_; }

    // The digits up to the last nonzero one; 0 when all are zero. (With
    // leading digits and zero blocks: the leading digits, zero or not.)
    int significant() const { return significant_; }

    // The count digits at out, with unspecified characters after them up to
    // eight kWidth: eight characters when count is at most 8.
    void store(SpatialWChar* out) const {
        if (kWidth == 3 && count_ > 16) {
            out[0] = leadingPair_[0];
            out[1] = leadingPair_[1];  // overwritten by the blocks when one digit leads
            out += count_ - 16;
        }
        digits::store(first_, out);
        if (kWidth > 1 && count_ > 8) digits::store(second_, out + 8);
    }

private:
    int count_;
    digits::Eight first_, second_;
    SpatialWChar lead_;
    SpatialWChar leadingPair_[2] = {};
    int significant_;  // computed with the digits: free where unused
};

// digits x 10^(exponent - precision + 1), with digits in
// [10^(precision - 1), 10^precision): d.ddd x 10^exponent.
struct Decimal {
    std::uint64_t digits;
    int exponent;
};

// Out of line (number_format.cpp): m 2^q 10^s rounded to an integer with
// the table's 128 bits into *digits; false when too close to one half to
// decide (see roundToPrecision).
bool roundPrecisely(std::uint64_t m, int q, int s, int r, std::uint64_t* digits);

// The decimal of precision digits (<= 17) nearest to the finite, nonzero
// double of the given bits (sign cleared), ties to even, as printf rounds.
// With v = m 2^q (m in [2^52, 2^53)):
//
// k = floor(log10 v) is floor(log10 2^(q + 52)), or one more when v is at
// least the next power of ten (compared with that power's ceiling double).
// With s = precision - 1 - k, the digits are v 10^s rounded. Let phi be
// the table's 10^s and T = m 10^s 2^(63 - log2(10^s)), so that v 10^s =
// T / 2^r with r = 63 - floor(log2(10^s)) - q, between about 55 and 117.
//
// One multiplication with the table's 64 leading bits rounded up (phi64)
// and m shifted up by 11 bits: P = m 2^11 phi64 exceeds T 2^11 by less
// than 2^64, and v 10^s = P / 2^R with R = r + 11 >= 66 (P < 2^128 and
// v 10^s >= 1). P shifted right by R - 64 holds the integer in its high
// word and the fraction's first 64 bits in its low word, which exceed the
// true ones by less than E = 2^(128 - R) units (below 2^26 at precision 6,
// 2^58 at 17), plus one unit for the bits cut off. A fraction word below
// 2^63 (one half) or at least 2^63 + E decides the rounding; between them
// (a share E / 2^64 of the values, and every tie) roundPrecisely decides.
// A fraction just under an integer whose true value is just above it
// rounds to the same integer either way, and an integer of 10^precision
// (the true value just under it) rounds to it too.
//
// roundPrecisely uses all 128 bits rounded up (phi): H = floor(m phi / 2^64)
// is T up to (-2^-11, 1) (and [0, 1) when phi is exact: 10^s for s in
// [0, 55]), so the r bits of H's fraction decide, except when they are
// exactly one half: then the value is a tie, or above one half when phi is
// exact, or undecided (false: the caller takes the general path; not met
// in any test).
[[gnu::always_inline]] inline bool roundToPrecision(std::uint64_t bits, std::int32_t precision, Decimal* out) {
    std::uint64_t m;
    int q;
    if (bits >= std::uint64_t{1} << 52) [[likely]] {
        m = (bits & ((std::uint64_t{1} << 52) - 1)) | std::uint64_t{1} << 52;
        q = static_cast<int>(bits >> 52) - 1075;
    } else {  // a subnormal: its bits shifted up to the normal width
        const int shift = std::countl_zero(bits) - 11;
        m = bits << shift;
        q = -1074 - shift;
    }
    int k = ((q + 52) * 78913) >> 18;
    k += bits >= powers::ceilingBits(k + 1) ? 1 : 0;
    const int s = precision - 1 - k;
    const int r = 63 - powers::binaryExponent(s) - q;
    const int shift = (r + 11 - 64) & 63;  // R - 64, in [2, 63]
    const Unsigned128 shifted = Unsigned128{m << 11} * (powers::significand(s).high + 1) >> shift;
    const auto integer = static_cast<std::uint64_t>(shifted >> 64);
    const auto fraction = static_cast<std::uint64_t>(shifted);
    std::uint64_t digits = integer + (fraction >> 63);
    if (fraction - (std::uint64_t{1} << 63) < std::uint64_t{1} << (64 - shift)) [[unlikely]] {
        if (!roundPrecisely(m, q, s, r, &digits)) return false;
    }
    if (digits == kPowersOfTen[precision]) {  // rounded up to 10^precision: one place up
        digits = kPowersOfTen[precision - 1];
        ++k;
    }
    *out = {digits, k};
    return true;
}

// The characters "e-dd" and "e+dd" of the exponents -99 to 99, four 16-bit
// characters in one word, the first in the low bits.
inline constexpr auto kExponentTexts = [] {
    std::array<std::uint64_t, 199> texts{};
    for (int e = -99; e <= 99; ++e) {
        const int magnitude = e < 0 ? -e : e;
        texts[e + 99] = std::uint64_t{'e'} | std::uint64_t(e < 0 ? '-' : '+') << 16 |
                        std::uint64_t('0' + magnitude / 10) << 32 | std::uint64_t('0' + magnitude % 10) << 48;
    }
    return texts;
}();

// The exponent's text, "e+dd" or "e-ddd", at out: its end.
[[gnu::always_inline]] inline SpatialWChar* writeExponent(int exponent, SpatialWChar* out) {
    if (exponent > -100 && exponent < 100) [[likely]] {
        std::memcpy(out, &kExponentTexts[exponent + 99], sizeof(std::uint64_t));
        return out + 4;
    }
    const int magnitude = exponent < 0 ? -exponent : exponent;
    out[0] = 'e';
    out[1] = exponent < 0 ? '-' : '+';
    out[2] = static_cast<SpatialWChar>('0' + magnitude / 100);
    out[3] = static_cast<SpatialWChar>('0' + magnitude / 10 % 10);
    out[4] = static_cast<SpatialWChar>('0' + magnitude % 10);
    return out + 5;
}

// The decimal as "%.*g" writes it, from the leading digit on, at
// precisions up to 7. The three notations are one layout, so that data
// mixing them costs no mispredicted branch: a prefix ("0." and zeros, for
// exponents in [-4, 0)), the digits (one block) with a point inserted after
// the integer's digits (after the first, in exponent notation), cut after
// the last nonzero digit or the integer, and the exponent ("e+dd", for
// exponents outside [-4, precision)). Every part is stored whole: up to 18
// characters from out.
[[gnu::always_inline]] inline SpatialWChar* writeShortDecimal(Decimal decimal, std::int32_t precision,
                                                              SpatialWChar* out) {
    const int exponent = decimal.exponent;
    const bool exponentNotation = exponent < -4 || exponent >= precision;
    const bool small = !exponentNotation && exponent < 0;
    // Selected through masks: the compiler would branch on the notation.
    const int exponentMask = -static_cast<int>(exponentNotation), smallMask = -static_cast<int>(small);
    // The digits before the point; beyond the block for small numbers,
    // whose point is in the prefix.
    const int integerDigits = ((((exponent + 1) & ~smallMask) | (8 & smallMask)) & ~exponentMask) | (1 & exponentMask);
    const int prefix = (1 - exponent) & smallMask;
    constexpr SpatialWChar kZeroPointZeros[8] = {'0', '.', '0', '0', '0', '0', '0', '0'};
    std::memcpy(out, kZeroPointZeros, sizeof kZeroPointZeros);
    const digits::Eight block =
        digits::eightDigits(static_cast<std::uint32_t>(decimal.digits * kPowersOfTen[8 - precision]));
    digits::store(digits::withPoint(block, digits::noCharacters(), integerDigits), out + prefix);
    // The integer's digits stay (none for small numbers); fraction digits
    // up to the last nonzero one follow a point.
    const int significant = digits::significantCharacters(block);
    int length = significant > integerDigits ? significant + 1 : significant;
    const int kept = integerDigits & ~smallMask;
    length = length > kept ? length : kept;
    SpatialWChar* end = out + prefix + length;
    // The exponent's four characters stored always and counted in exponent
    // notation only; three-digit exponents (exponent notation) apart.
    if (static_cast<unsigned>(exponent + 99) > 198) [[unlikely]]
        return writeExponent(exponent, end);
    std::memcpy(end, &kExponentTexts[exponent + 99], sizeof(std::uint64_t));
    return end + (4 & exponentMask);
}

// x in [0, 2^63) truncated, through the signed conversion (one
// instruction, where the unsigned one needs a branch).
inline std::uint64_t truncated(double x) { return static_cast<std::uint64_t>(static_cast<std::int64_t>(x)); }

// The decimal as "%.*g" writes it at precisions of width 2 or 3, a branch
// per notation (data mostly keeps to one): up to 8 kWidth + 11 characters
// from out.
template <int kWidth>
[[gnu::always_inline]] inline SpatialWChar* writeLongDecimal(double magnitude, Decimal decimal, std::int32_t precision,
                                                             SpatialWChar* out) {
    const int exponent = decimal.exponent;
    if (exponent < -4 || exponent >= precision) [[unlikely]] {  // d[.ddd]e±dd[d]
        const Digits<kWidth> digits(decimal.digits, precision);
        digits.store(out + 1);  // the digits after the point land from out + 2 on
        out[0] = digits.first();
        out[1] = '.';
        const int significant = digits.significant();
        return writeExponent(exponent, out + (significant > 1 ? significant + 1 : 1));
    }
    if (exponent < 0) [[unlikely]] {  // "0.", the zeros after the point, the digits
        constexpr SpatialWChar kZeroPointZeros[8] = {'0', '.', '0', '0', '0', '0', '0', '0'};
        std::memcpy(out, kZeroPointZeros, sizeof kZeroPointZeros);
        out += 1 - exponent;
        const Digits<kWidth> digits(decimal.digits, precision);
        digits.store(out);
        return out + digits.significant();
    }
    // The integer's digits, then the point and the fraction's digits unless
    // the fraction is zero. The integer part without a division: the
    // decimal is the magnitude times 10^fractionDigits rounded, so it lies
    // between truncated(magnitude) and the next integer times that power
    // (the latter when the rounding carries into the integer).
    const int integerDigits = exponent + 1, fractionDigits = precision - integerDigits;
    const std::uint64_t scale = kPowersOfTen[fractionDigits];
    std::uint64_t integer = truncated(magnitude);
    std::uint64_t fraction = decimal.digits - integer * scale;
    if (fraction == scale) [[unlikely]] {
        ++integer;
        fraction = 0;
    }
    if (fraction == 0) {
        Digits<kWidth>(integer, integerDigits).store(out);
        return out + integerDigits;
    }
    // One conversion where it saves blocks: the integer, a zero (to become
    // the point) and the fraction, a decimal of precision + 1 digits.
    if (kWidth == 2 && (integerDigits > 8 || fractionDigits > 8)) {
        const Digits<kWidth> text(integer * (10 * scale) + fraction, precision + 1);
        text.store(out);
        out[integerDigits] = '.';
        return out + text.significant();
    }
    // Two parts of at most eight digits (width 2), or of up to seventeen and
    // sixteen (width 3).
    Digits<kWidth == 2 ? 1 : 3>(integer, integerDigits).store(out);
    out += integerDigits;
    *out++ = '.';
    const Digits<kWidth == 2 ? 1 : 2> fractionText(fraction, fractionDigits);
    fractionText.store(out);
    return out + fractionText.significant();
}

// The text of value at an effective precision of width kWidth, or null for
// an infinity, a NaN or an undecided rounding.
template <int kWidth>
[[gnu::always_inline]] inline SpatialWChar* writeNumber(double value, std::int32_t precision, SpatialWChar* out) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    *out = '-';
    out += bits >> 63;
    const std::uint64_t magnitudeBits = bits & ~(std::uint64_t{1} << 63);
    // Zero, infinities and NaNs: the ends of the range of magnitude bits.
    constexpr std::uint64_t kInfinityBits = std::uint64_t{0x7FF} << 52;
    if (magnitudeBits - 1 >= kInfinityBits - 1) [[unlikely]] {
        if (magnitudeBits != 0) return nullptr;
        *out++ = '0';
        return out;
    }
    // Integers of at most precision digits (10^17 and below are exact
    // doubles) are their own digits, in fixed notation.
    // (Signed conversions: one instruction each, where unsigned ones take
    // several.)
    // One branch, taken by integral data: the magnitude clamped below 2^62
    // (so that it converts), truncated, equal to the magnitude and below
    // 10^precision.
    const double magnitude = std::bit_cast<double>(magnitudeBits);
    const auto integer = static_cast<std::int64_t>(magnitude < 0x1p62 ? magnitude : 0x1p62);
    {
        // Compared as bits and combined as integers, so that data mixing
        // integers with other numbers mispredicts no branch of the test.
        // (integer < 10^precision < 2^57 leaves the difference's top bit set.)
        const std::uint64_t aboveLimit = ((static_cast<std::uint64_t>(integer) - kPowersOfTen[precision]) >> 63) ^ 1;
        const std::uint64_t mismatch =
            (std::bit_cast<std::uint64_t>(static_cast<double>(integer)) ^ magnitudeBits) | aboveLimit;
        if (mismatch == 0) {
            const auto digitsOf = static_cast<std::uint64_t>(integer);
            const int guess = std::bit_width(digitsOf) * 1233 >> 12;  // floor(log10), or one below
            const int count = guess + (digitsOf >= kPowersOfTen[guess] ? 1 : 0);
            if constexpr (kWidth == 1) {
                digits::store(digits::eightDigits(static_cast<std::uint32_t>(digitsOf * kPowersOfTen[8 - count])), out);
            } else {
                Digits<kWidth>(digitsOf, count).store(out);
            }
            return out + count;
        }
    }
    Decimal decimal;
    if (!roundToPrecision(magnitudeBits, precision, &decimal)) [[unlikely]]
        return nullptr;
    if constexpr (kWidth == 1) return writeShortDecimal(decimal, precision, out);
    else return writeLongDecimal<kWidth>(std::bit_cast<double>(magnitudeBits), decimal, precision, out);
}

// The three coordinates, a space between two; null when one is declined.
template <int kWidth>
[[gnu::always_inline]] inline SpatialWChar* writeCoordinates(const DPoint3d& vertex, std::int32_t precision,
                                                             SpatialWChar* out) {
    if ((out = writeNumber<kWidth>(vertex.x, precision, out)) == nullptr) return nullptr;
    *out++ = ' ';
    if ((out = writeNumber<kWidth>(vertex.y, precision, out)) == nullptr) return nullptr;
    *out++ = ' ';
    return writeNumber<kWidth>(vertex.z, precision, out);
}

}  // namespace spatialgeom::fastnumber
