// Decimal text of doubles as printf's "%.*g" writes them in the C locale,
// independent of the process's locale: the decimal point is always '.'.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "spatialgeom/types.h"

namespace spatialgeom {

// The longest text of any double at any precision: a sign, the 767
// significant digits of the longest exact decimal expansion, the point and
// an exponent such as "e-308" (774 characters), with room to spare.
inline constexpr std::size_t kMaxNumberChars = 800;

using NumberChars = std::array<char, kMaxNumberChars>;

// The number of significant digits "%.*g" uses for a requested precision:
// 0 acts as 1, a negative precision as 6.
std::int32_t effectivePrecision(std::int32_t precision);

// Writes value into scratch exactly as snprintf("%.*g", precision, value)
// does in the C locale (fixed notation when the decimal exponent is in
// [-4, precision), else exponent notation with a sign and at least two
// digits; trailing zeros and a trailing point removed; "inf", "-inf",
// "nan", "-nan", "-0"). Returns a view into scratch. Allocates nothing.
// The longest text formatShortNumber writes ("-0.0000" and sixteen digits,
// or "-d." fifteen digits and "e-308"), with room to spare.
inline constexpr std::size_t kMaxShortNumberChars = 32;

// The text formatNumber gives, written straight to out (char or
// SpatialWChar, no terminator) when a cheap exact method finds it: the value
// is zero or normal, the effective precision at most 15, and the value's
// shortest round-trip digits number at most that precision (so always for
// data written with that many digits or fewer). Returns the end of the
// text, at most kMaxShortNumberChars characters on; null otherwise, with
// out's contents unspecified. Allocates nothing.
template <typename Char>
Char* formatShortNumber(double value, std::int32_t precision, Char* out);

std::string_view formatNumber(double value, std::int32_t precision, NumberChars& scratch);

// formatNumber without its cheap paths: the answer for the values
// formatShortNumber declines.
std::string_view formatGeneralNumber(double value, std::int32_t precision, NumberChars& scratch);

}  // namespace spatialgeom
