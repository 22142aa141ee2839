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

// A decimal gathered while scanning: its significant digits as an integer
// (while they fit 19 digits) and the power of ten that scales them.
struct ShortDecimal {
    std::uint64_t digits = 0;
    int significant = 0;
    int scale = 0;

    void add(char c) {
        if (digits == 0 && c == '0') return;  // leading zeros are not significant
        if (++significant <= 19) digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
    }

    // When the digits form an integer m <= 2^53 and |scale| <= 22, m and
    // 10^|scale| are exact doubles, so m * 10^scale (one multiplication or
    // division, correctly rounded) is the value strtod reads. nullopt
    // otherwise: the general conversion decides.
    std::optional<double> exactValue(bool negative) const {
        if (digits == 0 && significant == 0) return negative ? -0.0 : 0.0;
        if (significant > 19 || digits > kLargestExactInteger || scale < -kLargestExactPower ||
            scale > kLargestExactPower)
            return std::nullopt;
        const double magnitude = static_cast<double>(digits);
        const double value = scale >= 0 ? magnitude * kExactPowersOfTen[scale] : magnitude / kExactPowersOfTen[-scale];
        return negative ? -value : value;
    }
};

// The general conversion of a token with at most one leading minus sign.
std::optional<double> convertedValue(std::string_view token) {
    double value = 0.0;
    const std::errc error = std::from_chars(token.data(), token.data() + token.size(), value).ec;
    if (error == std::errc::result_out_of_range) {
        if (decimalExponent(token) >= 0) return std::nullopt;
        return token.starts_with('-') ? -0.0 : 0.0;
    }
    if (error != std::errc{}) return std::nullopt;
    return value;
}

}  // namespace

NumberScan scanNumber(std::string_view text) {
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size && text[i] == '-') ++i;
    const std::size_t minusSigns = i;
    ShortDecimal decimal;
    for (; i < size && isDigit(text[i]); ++i) decimal.add(text[i]);
    if (i == minusSigns) return {};
    if (i < size && text[i] == '.') {
        for (++i; i < size && isDigit(text[i]); ++i) {
            decimal.add(text[i]);
            --decimal.scale;
        }
    }
    const bool exponentFollows = i + 2 < size && (text[i] == 'e' || text[i] == 'E') &&
                                 (text[i + 1] == '+' || text[i + 1] == '-') && isDigit(text[i + 2]);
    bool exponentFits = true;
    if (exponentFollows) {
        const bool negative = text[i + 1] == '-';
        int exponent = 0;
        for (i += 2; i < size && isDigit(text[i]); ++i) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000);
            exponentFits = exponentFits && exponent < 100000;
        }
        decimal.scale += negative ? -exponent : exponent;
    }
    NumberScan scan{i, std::nullopt};
    if (minusSigns >= 2) return scan;  // "--1" has no value
    if (exponentFits) scan.value = decimal.exactValue(minusSigns == 1);
    if (!scan.value) scan.value = convertedValue(text.substr(0, i));
    return scan;
}

std::optional<double> numberTokenValue(std::string_view token) { return scanNumber(token).value; }

}  // namespace spatialgeom
