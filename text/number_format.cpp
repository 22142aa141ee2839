#include "text/number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

#include "text/eight_digits.h"

namespace spatialgeom {
namespace {

// Above this precision the precision's last digit can be finer than a
// double's spacing, and the shortcuts below no longer hold.
constexpr std::int32_t kShortcutPrecision = 15;

constexpr int kLargestExactPower = 22;

// 10^0 .. 10^22, each exact: products of exact factors with exact results.
constexpr auto kExactPowersOfTen = [] {
    std::array<double, kLargestExactPower + 1> powers{};
    double power = 1.0;
    for (double& p : powers) {
        p = power;
        power *= 10.0;
    }
    return powers;
}();

// The digits a DecimalDigits holds.
constexpr int kMaxDigits = 16;

constexpr auto kIntegerPowersOfTen = [] {
    std::array<std::uint64_t, kMaxDigits + 1> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& p : powers) {
        p = power;
        power *= 10;
    }
    return powers;
}();

// Up to sixteen decimal digits as 16-bit characters, in two blocks of
// eight.
class DecimalDigits {
  public:
    // The count digits of n < 10^count (count <= 16), leading zeros
    // included. Always inlined, so that the blocks stay in registers.
    [[gnu::always_inline]] DecimalDigits(std::uint64_t n, int count) : wide_(count > 8) {
        if (!wide_) [[likely]] {
            first_ = second_ = digits::eightDigits(static_cast<std::uint32_t>(n * kIntegerPowersOfTen[8 - count]));
            significant_ = digits::significantCharacters(first_);
        } else {
            const std::uint64_t aligned = n * kIntegerPowersOfTen[kMaxDigits - count];
            first_ = digits::eightDigits(static_cast<std::uint32_t>(aligned / 100000000));
            second_ = digits::eightDigits(static_cast<std::uint32_t>(aligned % 100000000));
            const int inSecond = digits::significantCharacters(second_);
            significant_ = inSecond > 0 ? 8 + inSecond : digits::significantCharacters(first_);
        }
    }

    SpatialWChar first() const { return digits::firstCharacter(first_); }

    // The digits up to the last nonzero one; 0 when all are zero.
    int significant() const { return significant_; }

    // The count digits at out, with unspecified characters after them up to
    // sixteen: eight characters when count is at most 8.
    void store(SpatialWChar* out) const {
        digits::store(first_, out);
        if (wide_) digits::store(second_, out + 8);
    }

  private:
    bool wide_;
    digits::Eight first_, second_;
    int significant_;  // computed with the digits: free where unused
};

// digits x 10^(exponent - precision + 1), with digits in
// [10^(precision - 1), 10^precision): d.ddd x 10^exponent.
struct Decimal {
    std::uint64_t digits;
    int exponent;
};

// Why the shortcuts are exact: for a normal double v and a decimal D of at
// most P <= 15 significant digits that reads back as v, |v - D| is at most
// half of v's spacing, which is below half a unit in the P-th digit. So D
// is v rounded to P digits, which "%.*g" writes (without trailing zeros).

// A nearest integer to 0 <= x < 2^52 (either one at a tie): adding and
// removing 2^52 rounds to an integer exactly. Larger x give a value at least
// 2^52 - 1, itself above 10^15.
double roundToInteger(double x) {
    constexpr double kIntegerSpacing = 0x1p52;
    return (x + kIntegerSpacing) - kIntegerSpacing;
}

// x in [0, 2^63) truncated, through the signed conversion (one
// instruction, where the unsigned one needs a branch).
std::uint64_t truncated(double x) { return static_cast<std::uint64_t>(static_cast<std::int64_t>(x)); }

// The decimal of precision digits nearest to magnitude (normal, positive,
// with the given binary exponent), found with one scaling by an exact power
// of ten and checked by reading it back with one exactly rounded operation
// (as strtod does for such decimals). Empty when the check fails or the
// scale is out of range: data written with up to precision digits passes.
// Inlined into the short path.
[[gnu::always_inline]] inline std::optional<Decimal> scaledDecimal(double magnitude, int binaryExponent,
                                                                  std::int32_t precision) {
    int exponent = (binaryExponent * 78913) >> 18;  // floor(log10(magnitude)), or one below
    const double lowest = kExactPowersOfTen[precision - 1], highest = kExactPowersOfTen[precision];
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int scale = precision - 1 - exponent;
        if (scale < -kLargestExactPower || scale > kLargestExactPower) return std::nullopt;
        const double power = kExactPowersOfTen[std::abs(scale)];
        const double rounded = roundToInteger(scale >= 0 ? magnitude * power : magnitude / power);
        if (rounded < lowest) [[unlikely]] {
            --exponent;
            continue;
        }
        if (rounded > highest) [[unlikely]] {
            ++exponent;
            continue;
        }
        if ((scale >= 0 ? rounded / power : rounded * power) != magnitude) return std::nullopt;
        // Rounded up to 10^precision: the digits one place up.
        return rounded < highest ? Decimal{truncated(rounded), exponent} : Decimal{truncated(lowest), exponent + 1};
    }
    return std::nullopt;
}

// The shortest round-trip digits of magnitude (normal, positive), padded
// with zeros to precision digits, when they number at most precision.
// Costs one shortest conversion.
std::optional<Decimal> shortestDecimal(double magnitude, std::int32_t precision) {
    char scientific[32];
    const char* end =
        std::to_chars(scientific, scientific + sizeof scientific, magnitude, std::chars_format::scientific).ptr;
    const char* mark = std::find(static_cast<const char*>(scientific), end, 'e');
    std::uint64_t digits = 0;
    int count = 0;
    for (const char* c = scientific; c < mark; ++c) {
        if (*c == '.') continue;
        if (++count > precision) return std::nullopt;
        digits = 10 * digits + static_cast<std::uint64_t>(*c - '0');
    }
    // The exponent: a sign and two or three digits. (std::from_chars for
    // integers would export its helpers from the library.)
    int exponent = 0;
    for (const char* c = mark + 2; c < end; ++c) exponent = 10 * exponent + (*c - '0');
    if (mark[1] == '-') exponent = -exponent;
    return Decimal{digits * kIntegerPowersOfTen[precision - count], exponent};
}

// The writers below take a decimal of precision <= 15 digits whose nearest
// double is the magnitude being written, and write it as "%.*g" does, from
// the leading digit on. Each stores whole blocks of digits, so up to 24
// characters from out whatever the text's length.

// Exponent notation, for exponents outside [-4, precision): d[.ddd]e±dd[d].
SpatialWChar* writeExponentNotation(Decimal decimal, std::int32_t precision, SpatialWChar* out) {
    const DecimalDigits digits(decimal.digits, precision);
    digits.store(out + 1);  // the digits after the point land from out + 2 on
    out[0] = digits.first();
    out[1] = '.';
    const int significant = digits.significant();
    out += significant > 1 ? significant + 1 : 1;
    *out++ = 'e';
    *out++ = decimal.exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(decimal.exponent);
    if (magnitude >= 100) *out++ = static_cast<SpatialWChar>('0' + magnitude / 100);
    *out++ = static_cast<SpatialWChar>('0' + magnitude / 10 % 10);
    *out++ = static_cast<SpatialWChar>('0' + magnitude % 10);
    return out;
}

// Fixed notation for exponents in [-4, 0): "0.", the zeros after the point,
// the digits.
SpatialWChar* writeSmallFixed(Decimal decimal, std::int32_t precision, SpatialWChar* out) {
    constexpr SpatialWChar kZeroPointZeros[] = u"0.000";
    std::memcpy(out, kZeroPointZeros, sizeof kZeroPointZeros);
    out += 1 - decimal.exponent;
    const DecimalDigits digits(decimal.digits, precision);
    digits.store(out);
    return out + digits.significant();
}

// Fixed notation for exponents in [0, precision): the integer's digits,
// then the point and the fraction's digits unless the fraction is zero.
// Inlined into the short path.
[[gnu::always_inline]] inline SpatialWChar* writeFixed(double magnitude, Decimal decimal, std::int32_t precision,
                                                       SpatialWChar* out) {
    const int integerDigits = decimal.exponent + 1, fractionDigits = precision - integerDigits;
    // The decimal's integer part, without a division: a decimal that is not
    // an integer lies at least 10^-fractionDigits below the next integer,
    // more than the doubles' spacing there (below 10^(integerDigits - 15)),
    // so its nearest double has the same integer part.
    const std::uint64_t integer = truncated(magnitude);
    const std::uint64_t fraction = decimal.digits - integer * kIntegerPowersOfTen[fractionDigits];
    DecimalDigits(integer, integerDigits).store(out);
    out += integerDigits;
    if (fraction == 0) return out;
    *out++ = '.';
    const DecimalDigits fractionDigitText(fraction, fractionDigits);
    fractionDigitText.store(out);
    return out + fractionDigitText.significant();
}

// Inlined into the short path (its exponent and small cases are not).
[[gnu::always_inline]] inline SpatialWChar* writeDecimal(double magnitude, Decimal decimal, std::int32_t precision,
                                                         SpatialWChar* out) {
    if (decimal.exponent < -4 || decimal.exponent >= precision) return writeExponentNotation(decimal, precision, out);
    if (decimal.exponent < 0) return writeSmallFixed(decimal, precision, out);
    return writeFixed(magnitude, decimal, precision, out);
}

// formatShortNumber's text of magnitude through its shortest digits, or
// null. Kept out of line, so that the common path makes no call and saves
// no register.
[[gnu::noinline]] SpatialWChar* writeThroughShortest(double magnitude, std::int32_t precision, SpatialWChar* out) {
    const std::optional<Decimal> decimal = shortestDecimal(magnitude, precision);
    return decimal ? writeDecimal(magnitude, *decimal, precision, out) : nullptr;
}

// formatShortNumber at an effective precision, inlined into its callers.
[[gnu::always_inline]] inline SpatialWChar* writeShortNumber(double value, std::int32_t precision,
                                                             SpatialWChar* out) {
    if (precision > kShortcutPrecision) [[unlikely]]
        return nullptr;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    *out = '-';
    out += bits >> 63;
    const auto biasedExponent = static_cast<int>(bits >> 52 & 0x7FF);
    // Zero, subnormals, infinities and NaNs have the extreme biased exponents.
    if (biasedExponent == 0 || biasedExponent == 0x7FF) [[unlikely]] {
        if (value != 0.0) return nullptr;
        *out++ = '0';
        return out;
    }
    const double magnitude = std::fabs(value);
    if (const std::optional<Decimal> decimal = scaledDecimal(magnitude, biasedExponent - 1023, precision))
        return writeDecimal(magnitude, *decimal, precision, out);
    return writeThroughShortest(magnitude, precision, out);
}

}  // namespace

std::int32_t effectivePrecision(std::int32_t precision) {
    if (precision > 0) [[likely]]
        return precision;
    return precision < 0 ? 6 : 1;
}

SpatialWChar* formatShortNumber(double value, std::int32_t precision, SpatialWChar* out) {
    return writeShortNumber(value, effectivePrecision(precision), out);
}

SpatialWChar* formatShortCoordinates(const DPoint3d& vertex, std::int32_t precision, SpatialWChar* out) {
    precision = effectivePrecision(precision);
    if ((out = writeShortNumber(vertex.x, precision, out)) == nullptr) return nullptr;
    *out++ = ' ';
    if ((out = writeShortNumber(vertex.y, precision, out)) == nullptr) return nullptr;
    *out++ = ' ';
    return writeShortNumber(vertex.z, precision, out);
}

SpatialWChar* formatNumber(double value, std::int32_t precision, SpatialWChar* out) {
    if (SpatialWChar* end = formatShortNumber(value, precision, out)) return end;
    // chars_format::general with a precision is specified as "%.*g" in the
    // C locale. kMaxNumberChars bounds every result, so it cannot fail.
    char text[kMaxNumberChars];
    const char* end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, effectivePrecision(precision)).ptr;
    for (const char* c = text; c < end; ++c) *out++ = static_cast<SpatialWChar>(*c);
    return out;
}

}  // namespace spatialgeom
