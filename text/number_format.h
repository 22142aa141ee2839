// Decimal text of doubles as printf's "%.*g" writes them in the C locale,
// independent of the process's locale: the decimal point is always '.'.
// The text is written as 16-bit characters, straight into a caller's buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "spatialgeom/types.h"
#include "text/fast_number_text.h"

namespace spatialgeom {

// The characters formatNumber may write at out, scratch past the text's end
// included. The longest text of any double at any precision: a sign, the
// 767 significant digits of the longest exact decimal expansion, the point
// and an exponent such as "e-308" (774 characters), with room to spare.
inline constexpr std::size_t kMaxNumberChars = 800;

// The characters formatNumberFast may write at out: its texts (at most 24
// characters: a sign, 17 digits, the point and "e-308") and the scratch of
// its whole blocks of digits past their end, with room to spare.
inline constexpr std::size_t kMaxFastNumberChars = fastnumber::kMaxChars;

// The largest effective precision formatNumberFast takes.
inline constexpr std::int32_t kLargestFastPrecision = fastnumber::kLargestPrecision;

// The number of significant digits "%.*g" uses for a requested precision:
// 0 acts as 1, a negative precision as 6.
std::int32_t effectivePrecision(std::int32_t precision);

// Writes value at out exactly as snprintf("%.*g", precision, value) does in
// the C locale (fixed notation when the decimal exponent is in
// [-4, precision), else exponent notation with a sign and at least two
// digits; trailing zeros and a trailing point removed; "inf", "-inf",
// "nan", "-nan", "-0"), without terminator. Returns the end of the text;
// the characters after it, up to kMaxNumberChars from out, are
// unspecified. Allocates nothing.
SpatialWChar* formatNumber(double value, std::int32_t precision, SpatialWChar* out);

// formatNumber's text, for finite values at effective precisions up to
// kLargestFastPrecision: the value is rounded to the precision with one
// 64 x 64-bit multiplication by a power of ten (powers_of_ten.h), exactly
// (ties to even, as printf rounds; fast_number_text.h says how). Returns the end of the text, with
// unspecified characters after it up to kMaxFastNumberChars from out; null
// for an infinity, a NaN, a larger precision, or a value whose product
// lies too close to a rounding boundary to be decided by the multiplication
// (never seen in practice), with out's contents unspecified.
SpatialWChar* formatNumberFast(double value, std::int32_t precision, SpatialWChar* out);

}  // namespace spatialgeom
