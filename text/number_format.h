// Decimal text of doubles as printf's "%.*g" writes them in the C locale,
// independent of the process's locale: the decimal point is always '.'.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

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
std::string_view formatNumber(double value, std::int32_t precision, NumberChars& scratch);

}  // namespace spatialgeom
