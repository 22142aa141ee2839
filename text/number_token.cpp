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

// The value strtod reads for digits x 10^scale when digits <= 2^53 and
// |scale| <= 22: both are exact doubles, so one multiplication or
// division, correctly rounded, gives it. nullopt otherwise: the general
// conversion decides.
std::optional<double> exactValue(std::uint64_t digits, int scale, bool negative) {
    if (digits == 0) return negative ? -0.0 : 0.0;
    if (digits > kLargestExactInteger || scale < -kLargestExactPower || scale > kLargestExactPower) return std::nullopt;
    const double magnitude = static_cast<double>(digits);
    const double value = scale >= 0 ? magnitude * kExactPowersOfTen[scale] : magnitude / kExactPowersOfTen[-scale];
    return negative ? -value : value;
}

// Advances *i over a run of digits of text, appending each to *digits
// (digits * 10 + d, wrapping modulo 2^64 past 19 digits: the caller then
// ignores it). One pass: the scan and the value together.
void takeDigits(std::string_view text, std::size_t* i, std::uint64_t* digits) {
    const char* p = text.data();
    std::size_t at = *i;
    std::uint64_t value = *digits;
    for (unsigned d; at < text.size() && (d = static_cast<unsigned char>(p[at]) - '0') <= 9; ++at) value = value * 10 + d;
    *i = at;
    *digits = value;
}

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

std::size_t scanNumber(std::string_view text, NumberScan* scan) {
    // At most 19 digit characters cannot overflow 64 bits.
    constexpr std::size_t kExactDigitChars = 19;
    const std::size_t size = text.size();
    std::size_t i = 0;
    while (i < size && text[i] == '-') ++i;
    const std::size_t minusSigns = i;
    std::uint64_t digits = 0;
    takeDigits(text, &i, &digits);
    const std::size_t integerEnd = i;
    if (integerEnd == minusSigns) return scan->length = 0;
    std::size_t fractionBegin = i, fractionEnd = i;
    if (i < size && text[i] == '.') {
        fractionBegin = ++i;
        takeDigits(text, &i, &digits);
        fractionEnd = i;
    }
    int exponent = 0;
    bool exponentFits = true;
    if (i + 2 < size && (text[i] == 'e' || text[i] == 'E') && (text[i + 1] == '+' || text[i + 1] == '-') &&
        isDigit(text[i + 2])) {
        const bool negative = text[i + 1] == '-';
        for (i += 2; i < size && isDigit(text[i]); ++i) {
            exponent = std::min(exponent * 10 + (text[i] - '0'), 100000);
            exponentFits = exponentFits && exponent < 100000;
        }
        if (negative) exponent = -exponent;
    }
    scan->length = i;
    scan->hasValue = false;
    if (minusSigns >= 2) return i;  // "--1" has no value
    std::optional<double> value;
    const std::size_t digitChars = (integerEnd - minusSigns) + (fractionEnd - fractionBegin);
    if (exponentFits && digitChars <= kExactDigitChars) {
        const int scale = exponent - static_cast<int>(fractionEnd - fractionBegin);
        value = exactValue(digits, scale, minusSigns == 1);
    }
    if (!value) value = convertedValue(text.substr(0, i));
    if (value) {
        scan->hasValue = true;
        scan->value = *value;
    }
    return i;
}

std::optional<double> numberTokenValue(std::string_view token) {
    NumberScan scan;
    scanNumber(token, &scan);
    if (!scan.hasValue) return std::nullopt;
    return scan.value;
}

}  // namespace spatialgeom
