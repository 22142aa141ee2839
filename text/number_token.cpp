#include "text/number_token.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <system_error>

#include "text/powers_of_ten.h"

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

using Unsigned128 = unsigned __int128;

// The double nearest digits x 10^scale (digits < 2^64, not 0), as strtod
// reads it, from the table of powers of ten (powers_of_ten.h); nullopt when
// one multiplication cannot decide it (then the general conversion does).
//
// With digits shifted up to w in [2^63, 2^64) and the table's 10^scale
// truncated to 128 bits (phi, exact for scale in [0, 55]), the product's
// high 128 bits U = floor(w phi / 2^64) are below the true value
// w 10^scale 2^(127 - log2(10^scale)) / 2^64 by less than 2 (w phi is
// below the true product by less than w < 2^64), and U lies in [2^126,
// 2^128). Its leading 53 bits are the double's, rounded by the bits below
// them (74 or 75: R, with half = 2^(bits - 1)): the true bits lie in
// [R, R + 2), which is below one half when R <= half - 2 and above it when
// R > half. R = half - 1 or half with an inexact phi is undecided; with an
// exact phi the product's low word tells (zero: a tie, to even). A carry
// out of the 53 bits moves one binary place up. Subnormal and overflowing
// results are left to the general conversion.
std::optional<double> tableValue(std::uint64_t digits, int scale, bool negative) {
    if (scale < powers::kSmallest || scale > powers::kLargest) return std::nullopt;
    const int shift = std::countl_zero(digits);
    const std::uint64_t w = digits << shift;
    const powers::Significand& phi = powers::significand(scale);
    const Unsigned128 high = Unsigned128{w} * phi.high, low = Unsigned128{w} * phi.low;
    const Unsigned128 upper = high + (low >> 64);
    const auto lowWord = static_cast<std::uint64_t>(low);
    const int top = static_cast<int>(upper >> 127);  // 1 when U >= 2^127
    const int dropped = 74 + top;                    // bits below the 53 kept
    std::uint64_t mantissa = static_cast<std::uint64_t>(upper >> dropped);
    const Unsigned128 half = Unsigned128{1} << (dropped - 1);
    const Unsigned128 rest = upper & ((half << 1) - 1);
    const bool exact = scale >= 0 && scale <= powers::kLargestExact;
    if (rest + 1 >= half && rest <= half) {  // half - 1 or half
        if (!exact) return std::nullopt;
        if (rest == half && lowWord == 0) mantissa += mantissa & 1;  // a tie
        else if (rest == half) ++mantissa;
    } else if (rest > half) {
        ++mantissa;
    }
    // The value is mantissa 2^(dropped + 64 - shift + log2(10^scale) - 127).
    int exponent = dropped + 64 - shift + powers::binaryExponent(scale) - 127;
    if (mantissa == std::uint64_t{1} << 53) {
        mantissa >>= 1;
        ++exponent;
    }
    const int biased = exponent + 52 + 1023;
    if (biased < 1 || biased > 2046) return std::nullopt;
    const std::uint64_t bits = std::uint64_t{negative} << 63 | static_cast<std::uint64_t>(biased) << 52 |
                               (mantissa & ((std::uint64_t{1} << 52) - 1));
    return std::bit_cast<double>(bits);
}

// The value strtod reads for digits x 10^scale when digits < 2^64: for
// digits <= 2^53 and |scale| <= 22 both are exact doubles, so one
// multiplication or division, correctly rounded, gives it; otherwise the
// table decides. nullopt when neither can: the general conversion decides.
std::optional<double> exactValue(std::uint64_t digits, int scale, bool negative) {
    if (digits == 0) return negative ? -0.0 : 0.0;
    if (digits > kLargestExactInteger || scale < -kLargestExactPower || scale > kLargestExactPower)
        return tableValue(digits, scale, negative);
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
