#include "text/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace spatialgeom {
namespace {

// Above this precision the precision's last digit can be finer than a
// double's spacing, and the shortcut below no longer holds.
constexpr std::int32_t kShortcutPrecision = 15;

// "%.*g" of value through its shortest round-trip digits, or an empty view
// when they do not decide it. For a normal double (or zero) whose shortest
// digits S number at most the precision P <= 15, the exact value lies
// within half a spacing of the double of S, and that spacing is below half
// a unit in the P-th digit: rounding to P digits gives S, so "%.*g" writes
// S's digits (it drops trailing zeros, and S has none) in fixed or
// exponent notation by S's exponent. Exponent notation is exactly the
// shortest scientific text. Costs one shortest conversion.
std::string_view formatThroughShortest(double value, std::int32_t precision, NumberChars& scratch) {
    if (precision > kShortcutPrecision || !(std::isnormal(value) || value == 0.0)) return {};
    char scientific[32];
    const char* end = std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific).ptr;
    const bool negative = scientific[0] == '-';
    const char* mark = std::find(static_cast<const char*>(scientific), end, 'e');
    char digits[20];
    int count = 0;
    for (const char* c = scientific + negative; c < mark; ++c)
        if (*c != '.') digits[count++] = *c;
    if (count > precision) return {};
    int exponent = 0;
    std::from_chars(mark + 1 + (mark[1] == '+'), end, exponent);
    if (exponent < -4 || exponent >= precision) {
        std::memcpy(scratch.data(), scientific, static_cast<std::size_t>(end - scientific));
        return {scratch.data(), static_cast<std::size_t>(end - scientific)};
    }
    char* out = scratch.data();
    if (negative) *out++ = '-';
    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int zeros = -exponent - 1; zeros > 0; --zeros) *out++ = '0';
        out = std::copy_n(digits, count, out);
    } else {
        const int integerDigits = exponent + 1;
        for (int i = 0; i < integerDigits; ++i) *out++ = i < count ? digits[i] : '0';
        if (count > integerDigits) {
            *out++ = '.';
            out = std::copy(digits + integerDigits, digits + count, out);
        }
    }
    return {scratch.data(), static_cast<std::size_t>(out - scratch.data())};
}

}  // namespace

std::int32_t effectivePrecision(std::int32_t precision) {
    if (precision < 0) return 6;
    return precision == 0 ? 1 : precision;
}

std::string_view formatNumber(double value, std::int32_t precision, NumberChars& scratch) {
    precision = effectivePrecision(precision);
    if (const std::string_view shortest = formatThroughShortest(value, precision, scratch); !shortest.empty())
        return shortest;
    // chars_format::general with a precision is specified as "%.*g" in the
    // C locale. kMaxNumberChars bounds every result, so it cannot fail.
    const auto result = std::to_chars(scratch.data(), scratch.data() + scratch.size(), value,
                                      std::chars_format::general, precision);
    return {scratch.data(), static_cast<std::size_t>(result.ptr - scratch.data())};
}

}  // namespace spatialgeom
