// Decimal text of doubles as printf's "%.*g" writes them in the C locale,
// independent of the process's locale: the decimal point is always '.'.
// The text is written as 16-bit characters, straight into a caller's buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "spatialgeom/types.h"

namespace spatialgeom {

// The characters formatNumber may write at out, scratch past the text's end
// included. The longest text of any double at any precision: a sign, the
// 767 significant digits of the longest exact decimal expansion, the point
// and an exponent such as "e-308" (774 characters), with room to spare.
inline constexpr std::size_t kMaxNumberChars = 800;

// The characters formatShortNumber may write at out: its texts and the
// scratch of its whole blocks of digits past their end (at most 25), with
// room to spare.
inline constexpr std::size_t kMaxShortNumberChars = 40;

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

// formatNumber's text when a cheap exact method finds it: the value is zero
// or normal, the effective precision at most 15, and the value's shortest
// round-trip digits number at most that precision (so always for data
// written with that many digits or fewer). Returns the end of the text,
// with unspecified characters after it up to kMaxShortNumberChars from out;
// null otherwise, with out's contents unspecified. Costs a few dozen
// arithmetic operations when the value scales to an integer by an exact
// power of ten (|exponent - precision| below about 22), else one shortest
// conversion.
SpatialWChar* formatShortNumber(double value, std::int32_t precision, SpatialWChar* out);

// A vertex's three coordinates as formatShortNumber writes them, a space
// between two, in one call: the end of the text, with unspecified
// characters after it up to 3 * kMaxShortNumberChars from out; null when
// one of them is declined.
SpatialWChar* formatShortCoordinates(const DPoint3d& vertex, std::int32_t precision, SpatialWChar* out);

}  // namespace spatialgeom
