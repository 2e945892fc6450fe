#include "common/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

using zr::formatNumber;
using zr::leadingNumber;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(LeadingNumber, ReadsTheLongestLeadingDecimalNumber) {
    const std::pair<std::string, double> cases[] = {
        {"10e-6", 1e-5},
        {"  -12.5abc", -12.5},
        {"-.25", -0.25},
        {"7E-x", 7}, // an incomplete exponent is left out
        // Text that does not start with a number reads as 0.
        {"+.e5", 0},
        {"0x1p3", 0},
        {std::string("42\0"
                     "7",
                     4),
         42},
        // Overflow is limited to the largest finite double, underflow reads 0.
        {"-1e999", -DBL_MAX},
        {"1e99999999999999999999999", DBL_MAX},
        {std::string(5000, '9'), DBL_MAX},
        {"1e-999", 0}};
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(leadingNumber(text), value) << "'" << text << "'";
    }
    EXPECT_TRUE(std::signbit(leadingNumber("-1e-999")));
}

TEST(FormatNumber, PlainOrExponentFormAndTheValuesThatCannotBeShown) {
    const std::pair<double, const char*> cases[] = {
        {20480000, "20480000"},
        {-0.00125, "-0.00125"},
        {123456789012345.0, "123456789012345"},
        // Exponent below -4 or from 15 on.
        {5e-6, "5E-06"},
        {-1.5e20, "-1.5E+20"},
        // Zero of either sign, NaN and infinities show as what the parse would have produced.
        {-0.0, "0"},
        {kNaN, "0"},
        {-kInf, "-1.7976931348623157E+308"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatNumber(value), text) << value;
    }
    EXPECT_EQ(zr::formatNumberLeadingBlank(4.8828125), " 4.8828125");
}

TEST(FormatNumber, EveryFiniteDoubleReadsBackExactly) {
    std::mt19937_64 gen(20240611);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = gen();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        if (std::isfinite(x) && x != 0.0) {
            ASSERT_EQ(leadingNumber(formatNumber(x)), x) << formatNumber(x);
        }
    }
}

// "#,###.00": exact halves of the binary value round away from zero and carry.
TEST(FormatGrouped, HashCommaPattern) {
    const std::pair<double, const char*> cases[] = {{0.95367431640625, ".95"},
                                                    {-1234.5, "-1,234.50"},
                                                    {1953.125, "1,953.13"},
                                                    {999999.999, "1,000,000.00"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(zr::formatGrouped2(value), text) << value;
    }
}

TEST(FormatFixed, RoundsTheExactValue) {
    EXPECT_EQ(zr::formatFixedAbs(-1.5, 6), "1.500000");
    EXPECT_EQ(zr::formatFixedAbs(2.5, 0), "3");
    EXPECT_EQ(zr::formatFixedAbs(0.0000005, 6), "0.000000"); // 4.99999999999999977e-07
    EXPECT_EQ(zr::formatFixedAbs(kInf, 2), "");
    EXPECT_EQ(zr::formatFixedAbs(DBL_MAX, 2).size(), 309u + 3u);
}

TEST(Rounding, HalfUpHalfEvenAndIntegerConversionsLimitedToTheType) {
    EXPECT_EQ(zr::roundHalfUp(-2.5), -2.0);
    // floor(x + 0.5) would give 1 here because x + 0.5 rounds up to 1.0.
    EXPECT_EQ(zr::roundHalfUp(0.49999999999999994), 0.0);
    EXPECT_EQ(zr::roundHalfUp(4503599627370497.0), 4503599627370497.0);
    EXPECT_EQ(zr::roundHalfEven(2.5), 2);
    EXPECT_EQ(zr::roundHalfEven(-3.5), -4);
    EXPECT_EQ(zr::toInt16Nearest(40000.0), 32767);
    EXPECT_EQ(zr::toInt16Nearest(254.5), 254);
    EXPECT_EQ(zr::toInt16Nearest(kNaN), 0);
    EXPECT_EQ(zr::toInt32Nearest(-1e12), INT32_MIN);
    EXPECT_EQ(zr::toInt32Nearest(DBL_MAX), INT32_MAX);
    EXPECT_EQ(zr::toInt32Nearest(2147483646.5), 2147483646);
}

} // namespace
