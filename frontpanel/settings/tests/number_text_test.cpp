#include "settings/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

using zr::formatFixedAbs;
using zr::formatGrouped2;
using zr::formatNumber;
using zr::formatNumberLeadingBlank;
using zr::leadingNumber;

TEST(LeadingNumber, ReadsTheLeadingDecimalNumber) {
    EXPECT_EQ(leadingNumber("10e-6"), 1e-5);
    EXPECT_EQ(leadingNumber("  -12.5abc"), -12.5);
    EXPECT_EQ(leadingNumber("\t+3 Hz"), 3.0);
    EXPECT_EQ(leadingNumber("5."), 5.0);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("-.25"), -0.25);
    EXPECT_EQ(leadingNumber("2E3"), 2000.0);
    EXPECT_EQ(leadingNumber("1.5e+2x"), 150.0);
    EXPECT_EQ(leadingNumber(" 20480000"), 20480000.0);
    EXPECT_EQ(leadingNumber("1 2"), 1.0);
    EXPECT_EQ(leadingNumber("3.7.2"), 3.7);
}

TEST(LeadingNumber, IncompleteExponentIsLeftOut) {
    EXPECT_EQ(leadingNumber("1e"), 1.0);
    EXPECT_EQ(leadingNumber("7e+"), 7.0);
    EXPECT_EQ(leadingNumber("7E-x"), 7.0);
}

TEST(LeadingNumber, NonNumericTextReadsZero) {
    EXPECT_EQ(leadingNumber(""), 0.0);
    EXPECT_EQ(leadingNumber("abc"), 0.0);
    EXPECT_EQ(leadingNumber("."), 0.0);
    EXPECT_EQ(leadingNumber("-"), 0.0);
    EXPECT_EQ(leadingNumber("+.e5"), 0.0);
    EXPECT_EQ(leadingNumber("e5"), 0.0);
    EXPECT_EQ(leadingNumber("nan"), 0.0);
    EXPECT_EQ(leadingNumber("inf"), 0.0);
    EXPECT_EQ(leadingNumber("&H10"), 0.0);
    EXPECT_EQ(leadingNumber("0x1p3"), 0.0);
}

TEST(LeadingNumber, OverflowIsLimitedToTheLargestFiniteDouble) {
    EXPECT_EQ(leadingNumber("1e999"), DBL_MAX);
    EXPECT_EQ(leadingNumber("-1e999"), -DBL_MAX);
    EXPECT_EQ(leadingNumber("1e99999999999999999999999"), DBL_MAX);
    EXPECT_EQ(leadingNumber("0.0001e400"), DBL_MAX);
    EXPECT_EQ(leadingNumber(std::string(5000, '9')), DBL_MAX);
}

TEST(LeadingNumber, UnderflowReadsZero) {
    EXPECT_EQ(leadingNumber("1e-999"), 0.0);
    EXPECT_EQ(leadingNumber("100000e-400"), 0.0);
    EXPECT_EQ(leadingNumber("0e99999"), 0.0);
    EXPECT_EQ(leadingNumber("0.000e99999999999999"), 0.0);
    EXPECT_TRUE(std::signbit(leadingNumber("-1e-999")));
}

TEST(LeadingNumber, StopsAtAnEmbeddedNul) {
    const char text[] = {'4', '2', '\0', '7'};
    EXPECT_EQ(leadingNumber(std::string_view(text, sizeof text)), 42.0);
}

TEST(FormatNumber, ShowsTheFieldValuesOfThePanel) {
    EXPECT_EQ(formatNumber(1024000), "1024000");
    EXPECT_EQ(formatNumber(1000000), "1000000");
    EXPECT_EQ(formatNumber(20480000), "20480000");
    EXPECT_EQ(formatNumber(-59.83), "-59.83");
    EXPECT_EQ(formatNumber(7.15), "7.15");
    EXPECT_EQ(formatNumber(255), "255");
    EXPECT_EQ(formatNumber(-1), "-1");
    EXPECT_EQ(formatNumber(0.1), "0.1");
    EXPECT_EQ(formatNumber(12.5), "12.5");
    EXPECT_EQ(formatNumber(0.0001), "0.0001");
    EXPECT_EQ(formatNumber(-0.00125), "-0.00125");
    EXPECT_EQ(formatNumber(123456789012345.0), "123456789012345");
}

TEST(FormatNumber, UsesTheExponentFormForVerySmallOrLargeValues) {
    EXPECT_EQ(formatNumber(5e-6), "5E-06");
    EXPECT_EQ(formatNumber(1e-6), "1E-06");
    EXPECT_EQ(formatNumber(1e-10), "1E-10");
    EXPECT_EQ(formatNumber(1e-20), "1E-20");
    EXPECT_EQ(formatNumber(1e15), "1E+15");
    EXPECT_EQ(formatNumber(-1.5e20), "-1.5E+20");
    EXPECT_EQ(formatNumber(DBL_MAX), "1.7976931348623157E+308");
    EXPECT_EQ(formatNumber(4.9e-324), "5E-324");
}

TEST(FormatNumber, ZeroAndNonFiniteValues) {
    EXPECT_EQ(formatNumber(0.0), "0");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity()), "1.7976931348623157E+308");
    EXPECT_EQ(formatNumber(-std::numeric_limits<double>::infinity()), "-1.7976931348623157E+308");
}

TEST(FormatNumber, EveryFiniteDoubleReadsBackExactly) {
    std::mt19937_64 gen(20240611);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = gen();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (!std::isfinite(x))
            continue;
        const std::string text = formatNumber(x);
        if (x == 0.0)
            EXPECT_EQ(text, "0");
        else
            ASSERT_EQ(leadingNumber(text), x) << text;
    }
    // Values of the sizes an operator types.
    std::uniform_real_distribution<double> mag(-12.0, 12.0);
    for (int i = 0; i < 20000; ++i) {
        const double x = std::pow(10.0, mag(gen)) * (i % 2 ? -1 : 1);
        ASSERT_EQ(leadingNumber(formatNumber(x)), x) << formatNumber(x);
    }
}

TEST(FormatNumber, LeadingBlankBeforeNonNegativeNumbers) {
    EXPECT_EQ(formatNumberLeadingBlank(20480000), " 20480000");
    EXPECT_EQ(formatNumberLeadingBlank(12), " 12");
    EXPECT_EQ(formatNumberLeadingBlank(0), " 0");
    EXPECT_EQ(formatNumberLeadingBlank(-3), "-3");
    EXPECT_EQ(formatNumberLeadingBlank(4.8828125), " 4.8828125");
}

TEST(FormatGrouped, HashCommaPattern) {
    EXPECT_EQ(formatGrouped2(4000000), "4,000,000.00");
    EXPECT_EQ(formatGrouped2(3906250), "3,906,250.00");
    EXPECT_EQ(formatGrouped2(0.95367431640625), ".95");
    EXPECT_EQ(formatGrouped2(0.931322574615478515625), ".93");
    EXPECT_EQ(formatGrouped2(0), ".00");
    EXPECT_EQ(formatGrouped2(123), "123.00");
    EXPECT_EQ(formatGrouped2(1234), "1,234.00");
    EXPECT_EQ(formatGrouped2(123456.789), "123,456.79");
    EXPECT_EQ(formatGrouped2(-1234.5), "-1,234.50");
}

TEST(FormatGrouped, ExactHalvesRoundAwayFromZeroAndCarry) {
    EXPECT_EQ(formatGrouped2(1953.125), "1,953.13");
    EXPECT_EQ(formatGrouped2(0.125), ".13");
    EXPECT_EQ(formatGrouped2(999999.999), "1,000,000.00");
    EXPECT_EQ(formatGrouped2(99.995), "100.00"); // 99.99500000000000454...
    EXPECT_EQ(formatGrouped2(0.994), ".99");
}

TEST(FormatFixed, RoundsTheExactValue) {
    EXPECT_EQ(formatFixedAbs(1.5, 6), "1.500000");
    EXPECT_EQ(formatFixedAbs(-1.5, 6), "1.500000");
    EXPECT_EQ(formatFixedAbs(0.5, 0), "1");
    EXPECT_EQ(formatFixedAbs(2.5, 0), "3");
    EXPECT_EQ(formatFixedAbs(1.998046875, 6), "1.998047");
    EXPECT_EQ(formatFixedAbs(0.0000005, 6), "0.000000"); // 4.99999999999999977e-07
    EXPECT_EQ(formatFixedAbs(std::numeric_limits<double>::infinity(), 2), "");
    const std::string big = formatFixedAbs(DBL_MAX, 2);
    EXPECT_EQ(big.size(), 309u + 3u);
    EXPECT_EQ(big.substr(0, 5), "17976");
    EXPECT_EQ(big.substr(big.size() - 3), ".00");
}

TEST(Rounding, HalfUpIsTheLargestIntegerNotAboveXPlusHalf) {
    EXPECT_EQ(zr::roundHalfUp(2.5), 3.0);
    EXPECT_EQ(zr::roundHalfUp(-2.5), -2.0);
    EXPECT_EQ(zr::roundHalfUp(-159.45), -159.0);
    EXPECT_EQ(zr::roundHalfUp(0.4), 0.0);
    // floor(x + 0.5) would give 1 here because x + 0.5 rounds up to 1.0.
    EXPECT_EQ(zr::roundHalfUp(0.49999999999999994), 0.0);
    EXPECT_EQ(zr::roundHalfUp(4503599627370497.0), 4503599627370497.0);
}

TEST(Rounding, HalfEvenGoesToTheEvenNeighbour) {
    EXPECT_EQ(zr::roundHalfEven(2.5), 2.0);
    EXPECT_EQ(zr::roundHalfEven(3.5), 4.0);
    EXPECT_EQ(zr::roundHalfEven(-2.5), -2.0);
    EXPECT_EQ(zr::roundHalfEven(-3.5), -4.0);
    EXPECT_EQ(zr::roundHalfEven(0.5), 0.0);
    EXPECT_EQ(zr::roundHalfEven(2.6), 3.0);
}

TEST(Rounding, IntegerConversionsAreLimitedToTheType) {
    EXPECT_EQ(zr::toInt16Nearest(300.0), 300);
    EXPECT_EQ(zr::toInt16Nearest(40000.0), 32767);
    EXPECT_EQ(zr::toInt16Nearest(32767.5), 32767);
    EXPECT_EQ(zr::toInt16Nearest(-40000.0), -32768);
    EXPECT_EQ(zr::toInt16Nearest(254.5), 254);
    EXPECT_EQ(zr::toInt16Nearest(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(zr::toInt32Nearest(1e12), INT32_MAX);
    EXPECT_EQ(zr::toInt32Nearest(-1e12), INT32_MIN);
    EXPECT_EQ(zr::toInt32Nearest(DBL_MAX), INT32_MAX);
    EXPECT_EQ(zr::toInt32Nearest(-2147483648.0), INT32_MIN);
    EXPECT_EQ(zr::toInt32Nearest(2147483646.5), 2147483646);
}

} // namespace
