#include "text/number_format.h"

#include <charconv>

namespace spatialgeom {

std::int32_t effectivePrecision(std::int32_t precision) {
    if (precision < 0) return 6;
    return precision == 0 ? 1 : precision;
}

std::string_view formatNumber(double value, std::int32_t precision, NumberChars& scratch) {
    // chars_format::general with a precision is specified as "%.*g" in the
    // C locale. kMaxNumberChars bounds every result, so it cannot fail.
    const auto result = std::to_chars(scratch.data(), scratch.data() + scratch.size(), value,
                                      std::chars_format::general, effectivePrecision(precision));
    return {scratch.data(), static_cast<std::size_t>(result.ptr - scratch.data())};
}

}  // namespace spatialgeom
