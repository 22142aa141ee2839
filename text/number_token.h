// The value of a number token of the geometry text.
#pragma once

#include <optional>
#include <string_view>

namespace spatialgeom {

// token matches -*[0-9]+(\.[0-9]*)?([eE][+-][0-9]+)? (the scanner's number
// rules). Returns its value as strtod reads it in the C locale, whatever
// locale the host has set: a magnitude below the smallest subnormal gives a
// signed zero. Returns nullopt when the token has no value: it starts with
// two or more minus signs, or its magnitude exceeds the double range.
std::optional<double> numberTokenValue(std::string_view token);

}  // namespace spatialgeom
