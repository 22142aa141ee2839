#include "text/number_format.h"

#include <array>
#include <charconv>

#include "text/fast_number_text.h"

namespace spatialgeom {
namespace fastnumber {
namespace {

// 5^0 .. 5^22: the powers of five a double's 53-bit integer can hold.
constexpr auto kPowersOfFive = [] {
    std::array<std::uint64_t, 23> powers{};
    std::uint64_t power = 1;
    for (std::uint64_t& p : powers) {
        p = power;
        power *= 5;
    }
    return powers;
}();

// Whether m 2^q 10^s (m < 2^53) lies exactly halfway between two integers.
// With s >= 0 it is m 5^s 2^(q + s), halfway when m has exactly
// -(q + s) - 1 trailing zero bits; with s < 0 it is m 2^(q + s) / 5^-s,
// halfway when moreover 5^-s divides m (so -s <= 22).
bool isHalfway(std::uint64_t m, int q, int s) {
    const int twos = -(q + s) - 1;
    if (twos < 0 || std::countr_zero(m) != twos) return false;
    return s >= 0 || (-s < static_cast<int>(kPowersOfFive.size()) && m % kPowersOfFive[-s] == 0);
}

}  // namespace

bool roundPrecisely(std::uint64_t m, int q, int s, int r, std::uint64_t* digits) {
    const powers::Significand& power = powers::significand(s);
    const bool exact = s >= 0 && s <= powers::kLargestExact;
    const Unsigned128 phi = (Unsigned128{power.high} << 64 | power.low) + (exact ? 0 : 1);
    const Unsigned128 high = Unsigned128{m} * static_cast<std::uint64_t>(phi >> 64) +
                             (Unsigned128{m} * static_cast<std::uint64_t>(phi) >> 64);
    const auto integer = static_cast<std::uint64_t>(high >> r);
    const Unsigned128 half = Unsigned128{1} << (r - 1);
    const Unsigned128 fraction = high & ((half << 1) - 1);
    *digits = integer;
    if (fraction > half) {
        ++*digits;
    } else if (fraction == half) {
        if (isHalfway(m, q, s)) *digits += integer & 1;
        else if (exact) ++*digits;
        else return false;
    }
    return true;
}

}  // namespace fastnumber

std::int32_t effectivePrecision(std::int32_t precision) {
    if (precision > 0) [[likely]]
        return precision;
    return precision < 0 ? 6 : 1;
}

SpatialWChar* formatNumberFast(double value, std::int32_t precision, SpatialWChar* out) {
    precision = effectivePrecision(precision);
    switch (precision > fastnumber::kLargestPrecision ? 0 : fastnumber::widthOf(precision)) {
        case 1: return fastnumber::writeNumber<1>(value, precision, out);
        case 2: return fastnumber::writeNumber<2>(value, precision, out);
        case 3: return fastnumber::writeNumber<3>(value, precision, out);
        default: return nullptr;
    }
}

SpatialWChar* formatNumber(double value, std::int32_t precision, SpatialWChar* out) {
    if (SpatialWChar* end = formatNumberFast(value, precision, out)) return end;
    // chars_format::general with a precision is specified as "%.*g" in the
    // C locale. kMaxNumberChars bounds every result, so it cannot fail.
    char text[kMaxNumberChars];
    const char* end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, effectivePrecision(precision)).ptr;
    for (const char* c = text; c < end; ++c) *out++ = static_cast<SpatialWChar>(*c);
    return out;
}

}  // namespace spatialgeom
