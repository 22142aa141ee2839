#include "text/number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>

namespace spatialgeom {
namespace {

static_assert(sizeof(SpatialWChar) == 2 && std::endian::native == std::endian::little,
              "digits are stored four 16-bit characters to a 64-bit word, the first at the lowest address");

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

// The two digits of 0..99 as two 16-bit characters, the first in the low half.
constexpr auto kDigitPairs = [] {
    std::array<std::uint32_t, 100> pairs{};
    for (std::uint32_t n = 0; n < 100; ++n) pairs[n] = ('0' + n / 10) | ('0' + n % 10) << 16;
    return pairs;
}();

// Up to sixteen decimal digits as 16-bit characters, held as four words of
// four characters (the first character in the lowest lane), so that they
// are stored and inspected without a trip through memory. Eight digits
// cost five multiplications and four table reads.
class DecimalDigits {
  public:
    // The count digits of n < 10^count (count <= 16), leading zeros
    // included, followed by zeros. Always inlined, so that the words stay in
    // registers.
    [[gnu::always_inline]] DecimalDigits(std::uint64_t n, int count) {
        if (count <= 8) {
            setEight(0, n * kIntegerPowersOfTen[8 - count]);
            words_[2] = words_[3] = kZeroInEveryLane;
        } else {
            const std::uint64_t aligned = n * kIntegerPowersOfTen[kMaxDigits - count];
            setEight(0, aligned / 100000000);
            setEight(2, aligned % 100000000);
        }
    }

    SpatialWChar first() const { return static_cast<SpatialWChar>(words_[0]); }

    // The digits up to the last nonzero one; 0 when all are zero.
    int significant() const {
        if (words_[3] != kZeroInEveryLane) return 16 - trailingZeros(words_[3]);
        if (words_[2] != kZeroInEveryLane) return 12 - trailingZeros(words_[2]);
        if (words_[1] != kZeroInEveryLane) return 8 - trailingZeros(words_[1]);
        return 4 - trailingZeros(words_[0]);
    }

    // All sixteen characters at out, a word at a time: a wider read of the
    // words, had they been stored by halves, would stall.
    void store(SpatialWChar* out) const {
        storeWord(words_[0], out);
        storeWord(words_[1], out + 4);
        storeWord(words_[2], out + 8);
        storeWord(words_[3], out + 12);
    }

  private:
    static constexpr std::uint64_t kZeroInEveryLane = 0x0030'0030'0030'0030;

    // The '0' characters after a word's last other one (4 for "0000").
    static int trailingZeros(std::uint64_t word) { return std::countl_zero(word ^ kZeroInEveryLane) / 16; }

    static void storeWord(std::uint64_t word, SpatialWChar* out) { std::memcpy(out, &word, sizeof word); }

    // The eight digits of n < 10^8 in words word and word + 1, as four
    // pairs read off a 48-bit binary fraction of n / 10^6, each pair one
    // multiplication by 100 after the previous one. The fraction's constant
    // exceeds 2^48 / 10^6 by less than 0.3, so n times the excess stays
    // below 2^25, under a tenth of the unit of the six digits left, and
    // after each multiplication still under a tenth of the unit of the
    // digits left: every pair comes out exact.
    void setEight(int word, std::uint64_t n) {
        constexpr int kBits = 48;
        constexpr std::uint64_t kFraction = (std::uint64_t{1} << kBits) - 1;
        std::uint64_t y = n * ((std::uint64_t{1} << kBits) / 1000000 + 1);
        const auto nextPair = [&y] {
            const std::uint64_t pair = kDigitPairs[y >> kBits];
            y = (y & kFraction) * 100;
            return pair;
        };
        const std::uint64_t first = nextPair(), second = nextPair(), third = nextPair(), fourth = nextPair();
        words_[word] = first | second << 32;
        words_[word + 1] = third | fourth << 32;
    }

    std::array<std::uint64_t, 4> words_;
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

// A nearest integer to x >= 0 (either one at a tie), inline below 2^52
// where adding and removing 2^52 rounds to an integer exactly.
double roundToInteger(double x) {
    constexpr double kIntegerSpacing = 0x1p52;
    return x < kIntegerSpacing ? (x + kIntegerSpacing) - kIntegerSpacing : std::round(x);
}

// The decimal of precision digits nearest to magnitude (normal, positive),
// found with one scaling by an exact power of ten and checked by reading it
// back with one exactly rounded operation (as strtod does for such
// decimals). Empty when the check fails or the scale is out of range: data
// written with up to precision digits passes.
std::optional<Decimal> scaledDecimal(double magnitude, std::int32_t precision) {
    const int binaryExponent = static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023);
    int exponent = (binaryExponent * 78913) >> 18;  // floor(log10(magnitude)), or one below
    const double lowest = kExactPowersOfTen[precision - 1], highest = kExactPowersOfTen[precision];
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int scale = precision - 1 - exponent;
        if (scale < -kLargestExactPower || scale > kLargestExactPower) return std::nullopt;
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
        if ((scale >= 0 ? rounded / power : rounded * power) != magnitude) return std::nullopt;
        // Rounded up to 10^precision: the digits one place up.
        if (rounded == highest) return Decimal{static_cast<std::uint64_t>(lowest), exponent + 1};
        return Decimal{static_cast<std::uint64_t>(rounded), exponent};
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
// the leading digit on. Each writes whole fields, so up to 33 characters
// from out whatever the text's length.

// Exponent notation, for exponents outside [-4, precision): d[.ddd]e±dd[d].
SpatialWChar* writeExponentNotation(const Decimal& decimal, std::int32_t precision, SpatialWChar* out) {
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
SpatialWChar* writeSmallFixed(const Decimal& decimal, std::int32_t precision, SpatialWChar* out) {
    constexpr SpatialWChar kZeroPointZeros[] = u"0.000";
    std::memcpy(out, kZeroPointZeros, sizeof kZeroPointZeros);
    out += 1 - decimal.exponent;
    const DecimalDigits digits(decimal.digits, precision);
    digits.store(out);
    return out + digits.significant();
}

// Fixed notation for exponents in [0, precision): the integer's digits,
// then the point and the fraction's digits unless the fraction is zero.
SpatialWChar* writeFixed(double magnitude, const Decimal& decimal, std::int32_t precision, SpatialWChar* out) {
    const int integerDigits = decimal.exponent + 1, fractionDigits = precision - integerDigits;
    // The decimal's integer part, without a division: a decimal that is not
    // an integer lies at least 10^-fractionDigits below the next integer,
    // more than the doubles' spacing there (below 10^(integerDigits - 15)),
    // so its nearest double has the same integer part.
    const auto integer = static_cast<std::uint64_t>(magnitude);
    const std::uint64_t fraction = decimal.digits - integer * kIntegerPowersOfTen[fractionDigits];
    DecimalDigits(integer, integerDigits).store(out);
    out += integerDigits;
    if (fraction == 0) return out;
    *out++ = '.';
    const DecimalDigits fractionDigitText(fraction, fractionDigits);
    fractionDigitText.store(out);
    return out + fractionDigitText.significant();
}

SpatialWChar* writeDecimal(double magnitude, const Decimal& decimal, std::int32_t precision, SpatialWChar* out) {
    if (decimal.exponent < -4 || decimal.exponent >= precision) return writeExponentNotation(decimal, precision, out);
    if (decimal.exponent < 0) return writeSmallFixed(decimal, precision, out);
    return writeFixed(magnitude, decimal, precision, out);
}

}  // namespace

std::int32_t effectivePrecision(std::int32_t precision) {
    if (precision < 0) return 6;
    return precision == 0 ? 1 : precision;
}

SpatialWChar* formatShortNumber(double value, std::int32_t precision, SpatialWChar* out) {
    precision = effectivePrecision(precision);
    if (precision > kShortcutPrecision) return nullptr;
    if (std::signbit(value)) *out++ = '-';
    if (value == 0.0) {
        *out++ = '0';
        return out;
    }
    if (!std::isnormal(value)) return nullptr;
    const double magnitude = std::fabs(value);
    std::optional<Decimal> decimal = scaledDecimal(magnitude, precision);
    if (!decimal) decimal = shortestDecimal(magnitude, precision);
    return decimal ? writeDecimal(magnitude, *decimal, precision, out) : nullptr;
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
