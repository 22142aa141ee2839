#include "text/number_format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace spatialgeom {
namespace {

// Above this precision the precision's last digit can be finer than a
// double's spacing, and the shortcuts below no longer hold.
constexpr std::int32_t kShortcutPrecision = 15;

constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactPower = 22;

// Writes the decimal d.ddd x 10^exponent of digits[0..count) (count >= 1,
// no trailing zero unless the value is zero) as "%.*g" does at a precision of
// at least count, at out: fixed notation for exponents in [-4, precision),
// else d.ddde+XX. Returns the end of the text.
template <typename Char>
Char* placeDigits(bool negative, const char* digits, int count, int exponent, std::int32_t precision, Char* out) {
    const auto copy = [&out](const char* from, const char* to) {
        while (from < to) *out++ = static_cast<Char>(*from++);
    };
    if (negative) *out++ = '-';
    if (exponent < -4 || exponent >= precision) {
        *out++ = static_cast<Char>(digits[0]);
        if (count > 1) {
            *out++ = '.';
            copy(digits + 1, digits + count);
        }
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude >= 100) *out++ = static_cast<Char>('0' + magnitude / 100);
        *out++ = static_cast<Char>('0' + magnitude / 10 % 10);
        *out++ = static_cast<Char>('0' + magnitude % 10);
    } else if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        for (int zeros = -exponent - 1; zeros > 0; --zeros) *out++ = '0';
        copy(digits, digits + count);
    } else {
        const int integerDigits = exponent + 1;
        if (count >= integerDigits) {
            copy(digits, digits + integerDigits);
            if (count > integerDigits) {
                *out++ = '.';
                copy(digits + integerDigits, digits + count);
            }
        } else {
            copy(digits, digits + count);
            for (int zeros = integerDigits - count; zeros > 0; --zeros) *out++ = '0';
        }
    }
    return out;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The eight decimal digits of n < 10^8, leading zeros included, at out:
// four independent pairs rather than a dependent chain of divisions.
void writeEightDigits(std::uint32_t n, char* out) {
    const std::uint32_t high = n / 10000, low = n % 10000;
    std::memcpy(out, kDigitPairs + 2 * (high / 100), 2);
    std::memcpy(out + 2, kDigitPairs + 2 * (high % 100), 2);
    std::memcpy(out + 4, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(out + 6, kDigitPairs + 2 * (low % 100), 2);
}

// The count decimal digits of n (10^(count-1) <= n < 10^count <= 10^16):
// returns where they start in sixteen (which gets all sixteen, leading
// zeros included).
// (std::to_chars for integers would export its digit table from the
// library.)
const char* writeDigits(std::uint64_t n, int count, char (&sixteen)[16]) {
    writeEightDigits(static_cast<std::uint32_t>(n / 100000000), sixteen);
    writeEightDigits(static_cast<std::uint32_t>(n % 100000000), sixteen + 8);
    return sixteen + 16 - count;
}

// A nearest integer to x >= 0 (either one at a tie), inline below 2^52
// where adding and removing 2^52 rounds to an integer exactly.
double roundToInteger(double x) {
    constexpr double kIntegerSpacing = 0x1p52;
    return x < kIntegerSpacing ? (x + kIntegerSpacing) - kIntegerSpacing : std::round(x);
}

// Why the shortcuts are exact: for a normal double v and a decimal D of at
// most P <= 15 significant digits that reads back as v, |v - D| is at most
// half of v's spacing, which is below half a unit in the P-th digit. So D
// is v rounded to P digits, which "%.*g" writes (without trailing zeros).

// "%.*g" through the decimal n x 10^-s of precision digits nearest to |v|,
// found with one scaling by an exact power of ten and checked by reading
// it back with one exactly rounded operation (as strtod does for such
// decimals), written at out. Null when the check fails or the scale is out
// of range: data written with up to `precision` digits passes.
template <typename Char>
Char* formatScaledDecimal(double value, std::int32_t precision, Char* out) {
    if (precision > kShortcutPrecision || !std::isnormal(value)) return nullptr;
    const double magnitude = std::fabs(value);
    const int binaryExponent = static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023);
    int exponent = (binaryExponent * 78913) >> 18;  // floor(log10(magnitude)), or one below
    const double lowest = kExactPowersOfTen[precision - 1], highest = kExactPowersOfTen[precision];
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int scale = precision - 1 - exponent;
        if (scale < -kLargestExactPower || scale > kLargestExactPower) return nullptr;
        const double power = kExactPowersOfTen[std::abs(scale)];
        const double rounded = roundToInteger(scale >= 0 ? magnitude * power : magnitude / power);
        if (rounded > highest) {
            ++exponent;
            continue;
        }
        if (rounded < lowest) {
            --exponent;
            continue;
        }
        if ((scale >= 0 ? rounded / power : rounded * power) != magnitude) return nullptr;
        char sixteen[16];
        int count = rounded == highest ? precision + 1 : precision;
        const char* digits = writeDigits(static_cast<std::uint64_t>(rounded), count, sixteen);
        const int decimalExponent = count - 1 - scale;
        while (count > 1 && digits[count - 1] == '0') --count;
        return placeDigits(value < 0.0, digits, count, decimalExponent, precision, out);
    }
    return nullptr;
}

// "%.*g" through v's shortest round-trip digits when they number at most
// the precision (zero included), written at out; null otherwise. Costs one
// shortest conversion.
template <typename Char>
Char* formatThroughShortest(double value, std::int32_t precision, Char* out) {
    if (precision > kShortcutPrecision || !(std::isnormal(value) || value == 0.0)) return nullptr;
    char scientific[32];
    const char* end = std::to_chars(scientific, scientific + sizeof scientific, value, std::chars_format::scientific).ptr;
    const bool negative = scientific[0] == '-';
    const char* mark = std::find(static_cast<const char*>(scientific), end, 'e');
    char digits[20];
    int count = 0;
    for (const char* c = scientific + negative; c < mark; ++c)
        if (*c != '.') digits[count++] = *c;
    if (count > precision) return nullptr;
    // The exponent: a sign and two or three digits. (std::from_chars for
    // integers would export its helpers from the library.)
    int exponent = 0;
    for (const char* c = mark + 2; c < end; ++c) exponent = 10 * exponent + (*c - '0');
    if (mark[1] == '-') exponent = -exponent;
    return placeDigits(negative, digits, count, exponent, precision, out);
}

}  // namespace

std::int32_t effectivePrecision(std::int32_t precision) {
    if (precision < 0) return 6;
    return precision == 0 ? 1 : precision;
}

template <typename Char>
Char* formatShortNumber(double value, std::int32_t precision, Char* out) {
    precision = effectivePrecision(precision);
    if (Char* end = formatScaledDecimal(value, precision, out)) return end;
    return formatThroughShortest(value, precision, out);
}

template char* formatShortNumber(double, std::int32_t, char*);
template SpatialWChar* formatShortNumber(double, std::int32_t, SpatialWChar*);

std::string_view formatNumber(double value, std::int32_t precision, NumberChars& scratch) {
    if (const char* end = formatShortNumber(value, precision, scratch.data()))
        return {scratch.data(), static_cast<std::size_t>(end - scratch.data())};
    return formatGeneralNumber(value, precision, scratch);
}

std::string_view formatGeneralNumber(double value, std::int32_t precision, NumberChars& scratch) {
    // chars_format::general with a precision is specified as "%.*g" in the
    // C locale. kMaxNumberChars bounds every result, so it cannot fail.
    const auto result = std::to_chars(scratch.data(), scratch.data() + scratch.size(), value,
                                      std::chars_format::general, effectivePrecision(precision));
    return {scratch.data(), static_cast<std::size_t>(result.ptr - scratch.data())};
}

}  // namespace spatialgeom
