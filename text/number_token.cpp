#include "text/number_token.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <system_error>

namespace spatialgeom {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// floor(log10(|value|)) of a token with a nonzero digit: the position of
// its first nonzero digit relative to the decimal point plus its exponent
// (saturated, so that an absurd exponent cannot wrap). Exact, which is all
// that is needed to tell an overflow from an underflow.
std::int64_t decimalExponent(std::string_view token) {
    constexpr std::int64_t kSaturation = 1'000'000'000;
    std::size_t i = token.starts_with('-') ? 1 : 0;
    while (i < token.size() && token[i] == '0') ++i;
    std::int64_t exponent = -1;
    if (i < token.size() && isDigit(token[i])) {
        for (; i < token.size() && isDigit(token[i]); ++i) ++exponent;
    }
    if (i < token.size() && token[i] == '.') {
        for (++i; i < token.size() && isDigit(token[i]); ++i) {
            if (exponent >= 0 || token[i] != '0') break;
            --exponent;
        }
    }
    while (i < token.size() && token[i] != 'e' && token[i] != 'E') ++i;
    if (i + 1 < token.size()) {
        const bool negative = token[i + 1] == '-';
        std::int64_t written = 0;
        for (i += 2; i < token.size(); ++i) written = std::min(written * 10 + (token[i] - '0'), kSaturation);
        exponent += negative ? -written : written;
    }
    return exponent;
}

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;
constexpr std::uint64_t kLargestExactInteger = std::uint64_t{1} << 53;

// The value of a token with at most one leading minus sign when its
// significant digits form an integer m <= 2^53 and its decimal scale e
// satisfies |e| <= 22: m and 10^|e| are exact doubles, so m * 10^e (one
// multiplication or division, correctly rounded) is the value strtod
// reads. nullopt for other tokens, which take the general conversion.
std::optional<double> exactlyRoundedShortDecimal(std::string_view token) {
    std::size_t i = 0;
    const bool negative = token[0] == '-';
    i += negative;
    std::uint64_t digits = 0;
    int significant = 0, scale = 0;
    bool fraction = false;
    for (; i < token.size(); ++i) {
        const char c = token[i];
        if (c == '.') {
            fraction = true;
            continue;
        }
        if (!isDigit(c)) break;
        scale -= fraction;
        if (digits == 0 && c == '0') continue;
        if (++significant > 19) return std::nullopt;
        digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (i < token.size()) {  // [eE][+-][0-9]+
        const bool negativeExponent = token[i + 1] == '-';
        int exponent = 0;
        for (i += 2; i < token.size(); ++i) {
            exponent = exponent * 10 + (token[i] - '0');
            if (exponent > 1000) return std::nullopt;
        }
        scale += negativeExponent ? -exponent : exponent;
    }
    if (digits == 0) return negative ? -0.0 : 0.0;
    if (digits > kLargestExactInteger || scale < -kLargestExactPower || scale > kLargestExactPower) return std::nullopt;
    const double magnitude = static_cast<double>(digits);
    const double value = scale >= 0 ? magnitude * kExactPowersOfTen[scale] : magnitude / kExactPowersOfTen[-scale];
    return negative ? -value : value;
}

}  // namespace

std::optional<double> numberTokenValue(std::string_view token) {
    if (token.size() >= 2 && token[0] == '-' && token[1] == '-') return std::nullopt;
    if (const std::optional<double> value = exactlyRoundedShortDecimal(token)) return value;
    double value = 0.0;
    const std::errc error = std::from_chars(token.data(), token.data() + token.size(), value).ec;
    if (error == std::errc::result_out_of_range) {
        if (decimalExponent(token) >= 0) return std::nullopt;
        return token.starts_with('-') ? -0.0 : 0.0;
    }
    if (error != std::errc{}) return std::nullopt;
    return value;
}

}  // namespace spatialgeom
