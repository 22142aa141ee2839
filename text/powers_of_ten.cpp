#include "text/powers_of_ten.h"

#include <array>
#include <bit>

namespace spatialgeom::powers {
namespace {

constexpr int kCount = kLargest - kSmallest + 1;

// Unsigned integers of up to 1,280 bits, for building the table at compile
// time: 32-bit limbs, least significant first.
struct Wide {
    static constexpr int kLimbs = 40;
    std::array<std::uint32_t, kLimbs> limbs{};

    constexpr int bitLength() const {
        for (int i = kLimbs - 1; i >= 0; --i)
            if (limbs[i] != 0) return 32 * i + std::bit_width(limbs[i]);
        return 0;
    }
    // Bits [first, first + 32) as one word; bits below 0 read as zeros.
    constexpr std::uint32_t word(int first) const {
        if (first <= -32) return 0;
        if (first < 0) return limbs[0] << -first;
        const int limb = first / 32, offset = first % 32;
        if (offset == 0) return limbs[limb];
        const std::uint32_t above = limb + 1 < kLimbs ? limbs[limb + 1] : 0;
        return limbs[limb] >> offset | above << (32 - offset);
    }
    constexpr void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
    }
    // Truncating division.
    constexpr void divide(std::uint32_t divisor) {
        std::uint64_t remainder = 0;
        for (int i = kLimbs - 1; i >= 0; --i) {
            const std::uint64_t current = remainder << 32 | limbs[i];
            limbs[i] = static_cast<std::uint32_t>(current / divisor);
            remainder = current % divisor;
        }
    }
    // The 128 bits from the leading one down, truncated (zeros appended
    // when there are fewer).
    constexpr Significand leading128() const {
        const int first = bitLength() - 128;
        const auto pair = [&](int at) { return std::uint64_t{word(first + at + 32)} << 32 | word(first + at); };
        return {pair(64), pair(0)};
    }
};

struct Table {
    std::array<Significand, kCount> significands{};
    bool exponentsHold = true;       // binaryExponent agrees with every power
    bool highWordsIncrement = true;  // no high word is all ones: high + 1 fits
};

// 10^e = 5^e 2^e has the leading bits of 5^e; 10^-t = 2^-t / 5^t those of
// 2^1200 / 5^t (1200 bits keep 128 of them for t up to 330). A truncated
// quotient divided again truncates like the whole division, so dividing by
// 5 t times gives floor(2^1200 / 5^t).
constexpr Table buildTable() {
    Table table;
    Wide power;
    power.limbs[0] = 1;
    std::array<int, 1 - kSmallest> fiveBits{};  // bit lengths of 5^t, t <= -kSmallest
    for (int e = 0; e <= kLargest || e <= -kSmallest; ++e) {
        const int bits = power.bitLength();
        if (e <= -kSmallest) fiveBits[e] = bits;
        if (e <= kLargest) {
            table.significands[e - kSmallest] = power.leading128();
            table.exponentsHold = table.exponentsHold && binaryExponent(e) == e + bits - 1;
        }
        power.multiply(5);
    }
    Wide quotient;
    quotient.limbs[1200 / 32] = 1u << (1200 % 32);
    for (int t = 1; t <= -kSmallest; ++t) {
        quotient.divide(5);
        table.significands[-t - kSmallest] = quotient.leading128();
        // log2(10^-t) = -t - log2(5^t), where 5^t is no power of two.
        table.exponentsHold = table.exponentsHold && binaryExponent(-t) == -t - fiveBits[t];
    }
    for (const Significand& s : table.significands)
        table.highWordsIncrement = table.highWordsIncrement && s.high != ~std::uint64_t{0};
    return table;
}

constexpr Table kTable = buildTable();
static_assert(kTable.exponentsHold);
static_assert(kTable.highWordsIncrement);
static_assert(kTable.significands[0 - kSmallest].high == std::uint64_t{1} << 63);   // 10^0
static_assert(kTable.significands[1 - kSmallest].high == std::uint64_t{10} << 60);  // 10^1 = 1010b

}  // namespace

constinit const std::array<Significand, kLargest - kSmallest + 1> kSignificands = kTable.significands;

namespace {

// The smallest double at least 10^n, from the table: its integer multiple
// of the spacing at 10^n (2^(L - 52), or 2^-1074 among the subnormals),
// rounded up from the leading bits, which are inexact beyond 10^55 and
// below 10^0.
constexpr std::uint64_t ceilingBitsOf(int n) {
    const Significand& t = kTable.significands[n - kSmallest];
    const int binary = binaryExponent(n);  // 10^n in [2^binary, 2^(binary + 1))
    if (binary > 1023) return std::uint64_t{0x7FF} << 52;
    const int spacing = binary - 52 > -1074 ? binary - 52 : -1074;
    // 10^n / 2^spacing = leading bits / 2^shift.
    const int shift = 127 - binary + spacing;  // 75 for normal doubles, more below
    const std::uint64_t multiple = shift >= 64 ? t.high >> (shift - 64) : 0;
    const std::uint64_t rest = (shift >= 64 ? t.high & ((std::uint64_t{1} << (shift - 64)) - 1) : t.high) | t.low;
    const bool inexact = n < 0 || n > kLargestExact;
    std::uint64_t ceiling = multiple + (rest != 0 || inexact ? 1 : 0);
    // As bits: a subnormal's multiple is its bits; a normal double's
    // carries the biased exponent above its 52 fraction bits.
    if (spacing == -1074 && ceiling < (std::uint64_t{1} << 52)) return ceiling;
    int exponent = spacing;
    if (ceiling == std::uint64_t{1} << 53) {
        ceiling >>= 1;
        ++exponent;
    }
    return static_cast<std::uint64_t>(exponent + 1075) << 52 | (ceiling - (std::uint64_t{1} << 52));
}

constexpr auto kCeilings = [] {
    std::array<std::uint64_t, kLargestCeiling - kSmallestCeiling + 1> bits{};
    for (int n = kSmallestCeiling; n <= kLargestCeiling; ++n) bits[n - kSmallestCeiling] = ceilingBitsOf(n);
    return bits;
}();

static_assert(kCeilings[0 - kSmallestCeiling] == 0x3FF0000000000000);   // 1
static_assert(kCeilings[22 - kSmallestCeiling] == 0x4480F0CF064DD592);  // 1e22, exact
static_assert(kCeilings[309 - kSmallestCeiling] == 0x7FF0000000000000);

}  // namespace

constinit const std::array<std::uint64_t, kLargestCeiling - kSmallestCeiling + 1> kCeilingBits = kCeilings;

}  // namespace spatialgeom::powers
