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
        {0, 6, "   0.000000"},
        {1234567, 6, "   1.234567M"},
        {20480000, 6, "  20.480000M"},
        {1000, 6, "   1.000000K"},
        {100000, 6, " 100.000000K"},
        {0.1, 6, " 100.000000m"},
        {-0.0025, 6, "  -2.500000m"},
        {-150, 6, "-150.000000"},
        {0.00001, 6, "  10.000000u"},
        {5e-13, 6, "   .500000p"},
        {3e12, 6, " 3000.000000G"},
        // Zero has no prefix and follows the digit count.
        {0.0, 3, "   0.000"},
        {-0.0, 6, "   0.000000"},
        {0.0, 0, "   0."},
        {999, 6, " 999.000000"},
        {0.000999, 6, " 999.000000u"},
        {-1e9, 6, "  -1.000000G"},
        // Rounding after the group was chosen: the blanks follow the magnitude
        // before rounding, so the field grows by one.
        {999.9999996, 6, " 1000.000000"},
        {9.9999996, 6, "   10.000000"},
        {99.9999996, 6, "  100.000000"},
        {-999.9999996, 6, "-1000.000000"},
        {0.9999999996, 6, " 1000.000000m"},
        {1234567.6, 6, "   1.234568M"},
        // Negatives keep the last digit column.
        {2.5, 6, "   2.500000"},
        {-2.5, 6, "  -2.500000"},
        {-25, 6, " -25.000000"},
        {-20.5, 6, " -20.500000"},
        {-1250000, 6, "  -1.250000M"},
        // Below 1e-12 the group stays "p"; above "G" the mantissa grows.
        {1e-13, 6, "   .100000p"},
        {-5e-13, 6, "  -.500000p"},
        {1e-19, 6, "   .000000p"},
        {1e-300, 6, "   .000000p"},
        {std::numeric_limits<double>::denorm_min(), 6, "   .000000p"},
        {1e15, 6, " 1000000.000000G"},
        {-3e12, 6, "-3000.000000G"},
        {1234567, 3, "   1.235M"},
        {1234567, 0, "   1.M"},
        {-0.0025, 2, "  -2.50m"},
        {1.5, -3, "   2."}, // negative digits count as 0 (1.5 rounds to even 2)
        {std::numeric_limits<double>::quiet_NaN(), 6, "        NaN"},
        {inf, 6, "        Inf"},
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

TEST(EngFormat, FieldWidths) {
    for (double v : {1.5, 15.0, 150.0}) {
        EXPECT_EQ(engformat(v, 6).size(), 11u) << v;
        EXPECT_EQ(engformat(-v, 6).size(), 11u) << v;
    }
    for (double v : {1.5e-6, 15e6, 150e-9, 999e9}) {
        EXPECT_EQ(engformat(v, 6).size(), 12u) << v; // 11 characters and the prefix letter
        EXPECT_EQ(engformat(-v, 6).size(), 12u) << v;
    }
    EXPECT_EQ(engformat(1.5, 100).size(), 4u + 1u + 30u); // at most 30 decimals
    const std::string big = engformat(1e300, 6);
    EXPECT_GT(big.size(), 290u);
    EXPECT_EQ(big[0], ' ');
    EXPECT_EQ(big[big.size() - 8], '.');
    EXPECT_EQ(big.back(), 'G');
    EXPECT_EQ(engformat(std::numeric_limits<double>::max(), 6).back(), 'G');
}

} // namespace
