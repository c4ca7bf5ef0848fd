// formatFixed against a second implementation of the old Windows runtime's rule, built on the
// exact decimal expansion of each double (big-integer arithmetic, no printf), over random values
// and values crowded around ties.

#include "base/value_encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

using nivra::formatFixed;

namespace {

// The exact decimal digits of a finite, non-zero magnitude and the power of ten of the first.
struct Exact {
    std::string digits;
    int exponent = 0;
};

Exact exactDecimal(double magnitude) {
    int binaryExponent = 0;
    const double fraction = std::frexp(magnitude, &binaryExponent);
    std::uint64_t mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    binaryExponent -= 53;             // magnitude = mantissa × 2^binaryExponent
    std::vector<std::uint32_t> limbs; // base 10^9, lowest first
    for (; mantissa > 0; mantissa /= 1000000000u)
        limbs.push_back(static_cast<std::uint32_t>(mantissa % 1000000000u));
    const auto multiply = [&limbs](std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product % 1000000000u);
            carry = product / 1000000000u;
        }
        if (carry > 0)
            limbs.push_back(static_cast<std::uint32_t>(carry));
    };
    // m × 2^-k = m × 5^k / 10^k.
    for (int i = 0; i < std::abs(binaryExponent); ++i)
        multiply(binaryExponent > 0 ? 2 : 5);
    const int decimalsAfterPoint = binaryExponent < 0 ? -binaryExponent : 0;
    std::string digits = std::to_string(limbs.back());
    for (std::size_t i = limbs.size() - 1; i-- > 0;) {
        const std::string part = std::to_string(limbs[i]);
        digits += std::string(9 - part.size(), '0') + part;
    }
    const int exponent = static_cast<int>(digits.size()) - 1 - decimalsAfterPoint;
    return {digits, exponent};
}

// Adds one to a string of decimal digits.
std::string increment(std::string digits) {
    std::size_t at = digits.size();
    while (at > 0 && digits[at - 1] == '9')
        digits[--at] = '0';
    if (at == 0)
        return "1" + digits;
    ++digits[at - 1];
    return digits;
}

// The rule: 17 significant digits rounded half up from the exact value, then that decimal
// number rounded half up at the requested decimals. Works on N = the 17-digit number ×
// 10^(decimals+1), truncated, whose last digit decides.
std::string oldRuntimeFixed(double value, int decimals) {
    std::string seventeen = "0";
    int exponent = 0;
    if (value != 0.0) {
        const Exact exact = exactDecimal(std::fabs(value));
        seventeen = exact.digits.substr(0, 17);
        seventeen += std::string(17 - seventeen.size(), '0');
        exponent = exact.exponent;
        if (exact.digits.size() > 17 && exact.digits[17] >= '5') {
            seventeen = increment(seventeen);
            if (seventeen.size() > 17) {
                seventeen.pop_back();
                ++exponent;
            }
        }
    }
    // value ≈ seventeen × 10^(exponent-16); N = seventeen × 10^(exponent-16+decimals+1).
    const int shift = exponent - 15 + decimals;
    std::string n = seventeen;
    if (shift >= 0)
        n += std::string(static_cast<std::size_t>(shift), '0');
    else
        n = -shift >= 17 ? "0" : n.substr(0, n.size() - static_cast<std::size_t>(-shift));
    const bool up = n.back() >= '5';
    n.pop_back();
    if (n.empty())
        n = "0";
    if (up)
        n = increment(n);
    n.erase(0, std::min(n.find_first_not_of('0'), n.size() - 1));
    if (n.size() < static_cast<std::size_t>(decimals) + 1)
        n.insert(0, static_cast<std::size_t>(decimals) + 1 - n.size(), '0');
    std::string text = std::signbit(value) ? "-" : "";
    text += n.substr(0, n.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0)
        text += "." + n.substr(n.size() - static_cast<std::size_t>(decimals));
    return text;
}

} // namespace

TEST(FixedDigits, TheReferenceItselfGivesKnownDigits) {
    EXPECT_EQ(oldRuntimeFixed(17.0 / 160, 4), "0.1063");
    EXPECT_EQ(oldRuntimeFixed(2.675, 2), "2.67");
    EXPECT_EQ(oldRuntimeFixed(-99.5, 0), "-100");
    EXPECT_EQ(oldRuntimeFixed(0.000006, 4), "0.0000");
    EXPECT_EQ(oldRuntimeFixed(999.99995, 4), "1000.0000");
}

TEST(FixedDigits, RandomValuesOfEveryMagnitudeMatchTheReference) {
    std::mt19937_64 random(20261210);
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> power(-9, 12);
    std::uniform_int_distribution<int> decimals(0, 8);
    for (int i = 0; i < 20000; ++i) {
        double value = mantissa(random) * std::pow(10.0, power(random));
        if (i % 2)
            value = -value;
        const int places = decimals(random);
        ASSERT_EQ(formatFixed(value, places), oldRuntimeFixed(value, places))
            << std::hexfloat << value << " " << places;
    }
}

// Values a few steps beside k.5 units of the last decimal, and exact binary ties, where the old
// runtime and an exact rounding part: the set must hold many such values.
TEST(FixedDigits, ValuesBesideTiesMatchTheReference) {
    std::mt19937_64 random(7);
    std::uniform_int_distribution<std::int64_t> units(0, 99999999);
    std::uniform_int_distribution<int> decimals(0, 6);
    int differentFromExact = 0;
    for (int i = 0; i < 20000; ++i) {
        const int places = decimals(random);
        double value = (static_cast<double>(units(random)) + 0.5) / std::pow(10.0, places);
        for (int step = 0; step < i % 4; ++step)
            value = std::nextafter(value, i % 8 < 4 ? 0.0 : HUGE_VAL);
        const std::string expected = oldRuntimeFixed(value, places);
        ASSERT_EQ(formatFixed(value, places), expected) << std::hexfloat << value << " " << places;
        differentFromExact += expected != nivra::formatC("%.*f", places, value);
    }
    EXPECT_GT(differentFromExact, 500);

    // The net rate and mean of runs of 40 h on 1000 cm², background 1/h, at four decimals.
    for (int counts = 0; counts < 5000; ++counts) {
        const double rate = (counts / 40.0 - 1.0) / 1000.0;
        const double mean = counts / 160.0;
        EXPECT_EQ(formatFixed(rate, 4), oldRuntimeFixed(rate, 4)) << counts;
        EXPECT_EQ(formatFixed(mean, 4), oldRuntimeFixed(mean, 4)) << counts;
    }

    // Exact binary ties are rounded away from zero, by both rules.
    for (int k = -2000; k < 2000; ++k) {
        const double tie = (2 * k + 1) / 16.0; // ends in 5 at the fourth decimal
        EXPECT_EQ(formatFixed(tie, 3), oldRuntimeFixed(tie, 3)) << tie;
    }
}
