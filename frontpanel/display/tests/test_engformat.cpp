#include "engformat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using zr::engformat;

TEST(EngFormat, TableOfExamples) {
    EXPECT_EQ(engformat(0, 6), "   0.000000");
    EXPECT_EQ(engformat(1234567, 6), "   1.234567M");
    EXPECT_EQ(engformat(20480000, 6), "  20.480000M");
    EXPECT_EQ(engformat(1000, 6), "   1.000000K");
    EXPECT_EQ(engformat(100000, 6), " 100.000000K");
    EXPECT_EQ(engformat(0.1, 6), " 100.000000m");
    EXPECT_EQ(engformat(-0.0025, 6), "  -2.500000m");
    EXPECT_EQ(engformat(-150, 6), "-150.000000");
    EXPECT_EQ(engformat(0.00001, 6), "  10.000000u");
    EXPECT_EQ(engformat(5e-13, 6), "   .500000p");
    EXPECT_EQ(engformat(3e12, 6), " 3000.000000G");
}

TEST(EngFormat, UnitFollowsPrefix) {
    EXPECT_EQ(engformat(1500000, 6) + "Hz", "   1.500000MHz");
    EXPECT_EQ(engformat(0.1, 6) + "Volts", " 100.000000mVolts");
    EXPECT_EQ(engformat(10e-6, 6) + "Sec", "  10.000000uSec");
}

TEST(EngFormat, ZeroHasNoPrefixAndFollowsDigits) {
    EXPECT_EQ(engformat(0.0, 3), "   0.000");
    EXPECT_EQ(engformat(-0.0, 6), "   0.000000");
    EXPECT_EQ(engformat(0.0, 0), "   0.");
}

TEST(EngFormat, GroupBoundaries) {
    EXPECT_EQ(engformat(999, 6), " 999.000000");
    EXPECT_EQ(engformat(1000000, 6), "   1.000000M");
    EXPECT_EQ(engformat(0.001, 6), "   1.000000m");
    EXPECT_EQ(engformat(0.000999, 6), " 999.000000u");
    EXPECT_EQ(engformat(1, 6), "   1.000000");
    EXPECT_EQ(engformat(1e-9, 6), "   1.000000n");
    EXPECT_EQ(engformat(1e-12, 6), "   1.000000p");
    EXPECT_EQ(engformat(1e9, 6), "   1.000000G");
    EXPECT_EQ(engformat(-1e9, 6), "  -1.000000G");
    // Every power of ten from 1e-12 to 1e11 lands in its own group with mantissa 1, 10 or 100.
    const char* const prefixes[] = {"p", "n", "u", "m", "", "K", "M", "G"};
    const char* const mantissas[] = {"   1.000000", "  10.000000", " 100.000000"};
    for (int p = -12; p <= 11; ++p) {
        const int g = (p + 12) / 3;
        const std::string want = std::string(mantissas[(p + 12) % 3]) + prefixes[g];
        EXPECT_EQ(engformat(std::pow(10.0, p), 6), want) << "1e" << p;
    }
}

TEST(EngFormat, RoundingAfterTheGroupWasChosen) {
    EXPECT_EQ(engformat(999.9999996, 6), " 1000.000000");
    // The blanks follow the magnitude before rounding, so the field grows by one.
    EXPECT_EQ(engformat(9.9999996, 6), "   10.000000");
    EXPECT_EQ(engformat(99.9999996, 6), "  100.000000");
    EXPECT_EQ(engformat(-999.9999996, 6), "-1000.000000");
    EXPECT_EQ(engformat(0.9999999996, 6), " 1000.000000m");
    EXPECT_EQ(engformat(1234567.6, 6), "   1.234568M");
}

TEST(EngFormat, NegativesKeepTheLastDigitColumn) {
    EXPECT_EQ(engformat(2.5, 6), "   2.500000");
    EXPECT_EQ(engformat(-2.5, 6), "  -2.500000");
    EXPECT_EQ(engformat(-25, 6), " -25.000000");
    EXPECT_EQ(engformat(-20.5, 6), " -20.500000");
    EXPECT_EQ(engformat(-1250000, 6), "  -1.250000M");
    for (double v : {1.5, 15.0, 150.0}) {
        EXPECT_EQ(engformat(v, 6).size(), 11u) << v;
        EXPECT_EQ(engformat(-v, 6).size(), 11u) << v;
    }
    for (double v : {1.5e-6, 15e6, 150e-9, 999e9}) {
        EXPECT_EQ(engformat(v, 6).size(), 12u) << v; // 11 characters and the prefix letter
        EXPECT_EQ(engformat(-v, 6).size(), 12u) << v;
    }
}

TEST(EngFormat, BeyondThePrefixRange) {
    // Below 1e-12 the group stays "p" and nothing stands before the point.
    EXPECT_EQ(engformat(1e-13, 6), "   .100000p");
    EXPECT_EQ(engformat(-5e-13, 6), "  -.500000p");
    EXPECT_EQ(engformat(1e-19, 6), "   .000000p");
    EXPECT_EQ(engformat(1e-300, 6), "   .000000p");
    // Above the "G" group the mantissa grows.
    EXPECT_EQ(engformat(1e15, 6), " 1000000.000000G");
    EXPECT_EQ(engformat(-3e12, 6), "-3000.000000G");
    const std::string big = engformat(1e300, 6);
    EXPECT_EQ(big.back(), 'G');
    EXPECT_GT(big.size(), 290u);
    EXPECT_EQ(big[0], ' ');
    EXPECT_EQ(big[big.size() - 8], '.');
    EXPECT_EQ(engformat(std::numeric_limits<double>::max(), 6).back(), 'G');
    EXPECT_EQ(engformat(std::numeric_limits<double>::denorm_min(), 6), "   .000000p");
}

TEST(EngFormat, OtherDigitCounts) {
    EXPECT_EQ(engformat(1234567, 3), "   1.235M");
    EXPECT_EQ(engformat(1234567, 0), "   1.M");
    EXPECT_EQ(engformat(-0.0025, 2), "  -2.50m");
    EXPECT_EQ(engformat(1.5, -3), "   2."); // negative digits count as 0 (1.5 rounds to even 2)
    EXPECT_EQ(engformat(1.5, 100).size(), 4u + 1u + 30u); // at most 30 decimals
}

TEST(EngFormat, NotANumberAndInfinityDoNotCrash) {
    EXPECT_EQ(engformat(std::numeric_limits<double>::quiet_NaN(), 6), "        NaN");
    EXPECT_EQ(engformat(std::numeric_limits<double>::infinity(), 6), "        Inf");
    EXPECT_EQ(engformat(-std::numeric_limits<double>::infinity(), 6), "       -Inf");
}

} // namespace
