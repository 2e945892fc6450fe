#include "engformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using zr::engformat;

TEST(EngFormat, Table) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int digits;
        const char* text;
    } cases[] = {
        {1234567, 6, "   1.234567M"},
        {-0.0025, 6, "  -2.500000m"},
        {-150, 6, "-150.000000"},
        {0.0, 3, "   0.000"}, // zero has no prefix and follows the digit count
        {-0.0, 6, "   0.000000"},
        // Rounding after the group was chosen: the blanks follow the magnitude
        // before rounding, so the field grows by one.
        {999.9999996, 6, " 1000.000000"},
        {0.9999999996, 6, " 1000.000000m"},
        {5e-13, 6, "   .500000p"},     // below 1e-12 the group stays "p"
        {1e15, 6, " 1000000.000000G"}, // above "G" the mantissa grows
        {1234567, 0, "   1.M"},
        {1.5, -3, "   2."}, // negative digits count as 0 (1.5 rounds to even 2)
        {std::numeric_limits<double>::quiet_NaN(), 6, "        NaN"},
        {-inf, 6, "       -Inf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(engformat(c.value, c.digits), c.text) << c.value << " digits " << c.digits;
}

TEST(EngFormat, EveryPowerOfTenLandsInItsOwnGroup) {
    const char* const prefixes[] = {"p", "n", "u", "m", "", "K", "M", "G"};
    const char* const mantissas[] = {"   1.000000", "  10.000000", " 100.000000"};
    for (int p = -12; p <= 11; ++p) {
        const std::string want = std::string(mantissas[(p + 12) % 3]) + prefixes[(p + 12) / 3];
        EXPECT_EQ(engformat(std::pow(10.0, p), 6), want) << "1e" << p;
    }
}

TEST(EngFormat, HugeValuesAndDigitCountsStayBounded) {
    EXPECT_EQ(engformat(1.5, 100).size(), 4u + 1u + 30u); // at most 30 decimals
    const std::string big = engformat(std::numeric_limits<double>::max(), 6);
    EXPECT_GT(big.size(), 300u);
    EXPECT_EQ(big[big.size() - 8], '.');
    EXPECT_EQ(big.back(), 'G');
}

} // namespace
