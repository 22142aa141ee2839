// The value of a number token of the geometry text.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace spatialgeom {

// token matches -*[0-9]+(\.[0-9]*)?([eE][+-][0-9]+)? (the scanner's number
// rules). Returns its value as strtod reads it in the C locale, whatever
// locale the host has set: a magnitude below the smallest subnormal gives a
// signed zero. Returns nullopt when the token has no value: it starts with
// two or more minus signs, or its magnitude exceeds the double range.
std::optional<double> numberTokenValue(std::string_view token);

// The number token at the start of text, -*[0-9]+(\.[0-9]*)? optionally
// followed by [eE][+-][0-9]+ (longest match), and its value as
// numberTokenValue gives it (hasValue false for nullopt), found in one
// pass into *scan; returns the length, 0 when text does not start with a
// number. (Fields are written one by one: returning the whole structure
// made its copy the scanner's most expensive step.)
struct NumberScan {
    std::size_t length = 0;
    bool hasValue = false;
    double value = 0.0;
};
std::size_t scanNumber(std::string_view text, NumberScan* scan);

}  // namespace spatialgeom
