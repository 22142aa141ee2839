#include "text/number_token.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
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

constexpr std::uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Eight characters as one little-endian word.
std::uint64_t loadEight(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    return word;
}

constexpr std::uint64_t everyByte(std::uint64_t byte) { return byte * 0x0101010101010101; }

// The count of leading digit characters of a word (8 when all are): a
// byte is a digit when its high half is 3 and stays 3 when 6 is added. No
// byte carries into the next unless it is above 0xF9, no digit, so the
// bytes up to the first non-digit are judged exactly.
int leadingDigits(std::uint64_t word) {
    const std::uint64_t notDigits =
        ((word & everyByte(0xF0)) ^ everyByte(0x30)) | (((word + everyByte(0x06)) & everyByte(0xF0)) ^ everyByte(0x30));
    return notDigits == 0 ? 8 : std::countr_zero(notDigits) / 8;
}

// The value of the first count (0 to 8) characters of a word, digits: their
// values moved up behind leading zeros (two shifts, so that a count of 0
// shifts everything out), then joined in pairs, fours and the eight by
// three multiplications.
std::uint64_t digitsValue(std::uint64_t word, int count) {
    const int half = 32 - 4 * count;
    std::uint64_t values = ((word - everyByte('0')) << half) << half;  // no borrow among the leading digits
    values = values * 10 + (values >> 8);                              // each 16-bit lane: two digits in its low byte
    return ((values & 0x000000FF000000FF) * (100 + (1000000ULL << 32)) +
            ((values >> 16) & 0x000000FF000000FF) * (1 + (10000ULL << 32))) >>
           32;
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
    constexpr std::ptrdiff_t kExactDigitChars = 19;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    while (p < end && *p == '-') ++p;
    const char* const integerBegin = p;
    // The digits are valued as they are scanned (wrapping modulo 2^64 past
    // 19 digits, when the value is not used).
    std::uint64_t digits = 0;
    const auto takeDigits = [&] {
        // Eight characters at a time while eight remain: the run's length
        // in them and its value without a branch on either (runs of varied
        // lengths mispredicted the loop's exit), then one by one.
        while (end - p >= 8) {
            const std::uint64_t word = loadEight(p);
            const int count = leadingDigits(word);
            digits = digits * kPowersOfTen[count] + digitsValue(word, count);
            p += count;
            if (count < 8) return;
        }
        for (unsigned d; p < end && (d = static_cast<unsigned char>(*p) - '0') <= 9; ++p) digits = digits * 10 + d;
    };
    takeDigits();
    const char* const integerEnd = p;
    if (integerEnd == integerBegin) return scan->length = 0;
    const char* fractionBegin = p;
    if (p < end && *p == '.') {
        fractionBegin = ++p;
        takeDigits();
    }
    const std::ptrdiff_t fractionDigits = p - fractionBegin;
    int exponent = 0;
    bool exponentFits = true;
    if (end - p > 2 && (*p == 'e' || *p == 'E') && (p[1] == '+' || p[1] == '-') && isDigit(p[2])) {
        const bool negative = p[1] == '-';
        for (p += 2; p < end && isDigit(*p); ++p) {
            exponent = std::min(exponent * 10 + (*p - '0'), 100000);
            exponentFits = exponentFits && exponent < 100000;
        }
        if (negative) exponent = -exponent;
    }
    const auto length = static_cast<std::size_t>(p - begin);
    scan->length = length;
    scan->hasValue = false;
    const std::ptrdiff_t minusSigns = integerBegin - begin;
    if (minusSigns >= 2) return length;  // "--1" has no value
    std::optional<double> value;
    std::ptrdiff_t digitChars = (integerEnd - integerBegin) + fractionDigits;
    if (digitChars > kExactDigitChars) {  // leading zeros add nothing to the value
        for (const char* c = integerBegin; c < p && (*c == '0' || *c == '.'); ++c) digitChars -= *c == '0';
    }
    if (exponentFits && digitChars <= kExactDigitChars)
        value = exactValue(digits, exponent - static_cast<int>(fractionDigits), minusSigns == 1);
    if (!value) value = convertedValue(text.substr(0, length));
    if (value) {
        scan->hasValue = true;
        scan->value = *value;
    }
    return length;
}

std::optional<double> numberTokenValue(std::string_view token) {
    NumberScan scan;
    scanNumber(token, &scan);
    if (!scan.hasValue) return std::nullopt;
    return scan.value;
}

}  // namespace spatialgeom
