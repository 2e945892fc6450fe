#include "settings/settings_lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const std::string pm = "\xC2\xB1";

TEST(BandwidthList, ZoomModeAt2048MHzWithThe8MHzFilter) {
    const auto e = zr::bandwidthEntries(20480000.0, 1, 1);
    ASSERT_EQ(e.size(), 24u);
    EXPECT_EQ(e[0], pm + "8MHz");
    EXPECT_EQ(e[1], pm + "4,000,000.00");
    EXPECT_EQ(e[2], pm + "2,000,000.00");
    EXPECT_EQ(e[11], pm + "3,906.25");
    EXPECT_EQ(e[12], pm + "1,953.13"); // 1953.125 exactly: the half goes up
    EXPECT_EQ(e[23], pm + ".95");
}

TEST(BandwidthList, BasebandHasNoPrefixAndNamesTheBypassedFilter) {
    const auto e = zr::bandwidthEntries(20480000.0, 0, 0);
    ASSERT_EQ(e.size(), 24u);
    EXPECT_EQ(e[0], "40MHz");
    EXPECT_EQ(e[1], "4,000,000.00");
    EXPECT_EQ(e[23], ".95");
    EXPECT_EQ(zr::bandwidthEntries(20480000.0, 0, 1)[0], "8MHz");
    EXPECT_EQ(zr::bandwidthEntries(20480000.0, 1, 0)[0], pm + "40MHz");
}

TEST(BandwidthList, TwentyMHzClock) {
    const auto e = zr::bandwidthEntries(20000000.0, 0, 1);
    EXPECT_EQ(e[1], "3,906,250.00");
    EXPECT_EQ(e[11], "3,814.70"); // 3814.697265625
    EXPECT_EQ(e[23], ".93");
}

TEST(BandwidthList, EntriesHalveFromEntryOne) {
    // Independent of the text pattern: each entry, read without its commas,
    // is 0.390625 * clock / 2^i to within the two shown decimals.
    const double clock = 12345677.0;
    const auto e = zr::bandwidthEntries(clock, 0, 1);
    for (int i = 1; i < 24; ++i) {
        std::string digits;
        for (char c : e[static_cast<size_t>(i)])
            if (c != ',')
                digits += c;
        const double shown = std::stod("0" + digits);
        EXPECT_NEAR(shown, 0.390625 * clock / std::ldexp(1.0, i), 0.005 + 1e-9) << e[i];
    }
}

TEST(SampleRateList, RatesForTheBandwidthSelection) {
    const auto e0 = zr::sampleRateEntries(20480000.0, 0);
    ASSERT_EQ(e0.size(), 2u);
    EXPECT_EQ(e0[0], " 20480000");
    EXPECT_EQ(e0[1], " 10240000");
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, 1), e0);
    const auto e3 = zr::sampleRateEntries(20480000.0, 3);
    EXPECT_EQ(e3[0], " 5120000");
    EXPECT_EQ(e3[1], " 2560000");
    const auto e23 = zr::sampleRateEntries(20480000.0, 23);
    EXPECT_EQ(e23[0], " 4.8828125");
    EXPECT_EQ(e23[1], " 2.44140625");
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, -4)[0], " 20480000");
}

TEST(SampleRateList, EntriesReadBackAsTheirRates) {
    const double clocks[] = {20480000.0, 20000000.0, 12345677.0, 1.0};
    for (double clock : clocks) {
        for (int bw = 0; bw < 24; ++bw) {
            const auto e = zr::sampleRateEntries(clock, bw);
            const double rate = clock / std::ldexp(1.0, bw > 0 ? bw - 1 : 0);
            EXPECT_EQ(zr::sampleRateOfEntry(e[0]), rate) << e[0];
            EXPECT_EQ(zr::sampleRateOfEntry(e[1]), rate / 2) << e[1];
        }
    }
    EXPECT_EQ(zr::sampleRateEntries(12345677.0, 0)[1], " 6172838.5");
}

TEST(RangeList, CodeIsNineMinusIndex) {
    EXPECT_EQ(zr::rangeCodeForIndex(9), 0);
    EXPECT_EQ(zr::rangeCodeForIndex(0), 9);
    EXPECT_EQ(zr::kRangeEntries[9], "20mV, (-24dBm)");
    EXPECT_EQ(zr::kRangeEntries[0], "10.24V, (30dBm)");
}

TEST(RangeList, AutoRangeAnswerSelectsTheEntryAndResendsTheCode) {
    const int index = zr::rangeIndexForCode(4);
    EXPECT_EQ(index, 5);
    EXPECT_EQ(zr::kRangeEntries[static_cast<size_t>(index)], "320mV, (0dBm)");
    EXPECT_EQ(zr::rangeCodeForIndex(index), 4);
    for (int code = 0; code <= 9; ++code)
        EXPECT_EQ(zr::rangeCodeForIndex(zr::rangeIndexForCode(code)), code);
    EXPECT_EQ(zr::rangeIndexForCode(12), 0);
    EXPECT_EQ(zr::rangeIndexForCode(-3), 9);
}

TEST(AutoRangeWait, EndsWhenTheStatusTurnsNegative) {
    int calls = 0;
    const bool done = zr::waitForAutorange([&] {
        ++calls;
        return static_cast<int16_t>(calls < 3 ? 0x1234 : -32768);
    });
    EXPECT_TRUE(done);
    EXPECT_EQ(calls, 3);
}

TEST(AutoRangeWait, GivesUpWhenTheModuleNeverFinishes) {
    int calls = 0;
    const bool done = zr::waitForAutorange(
        [&] {
            ++calls;
            return static_cast<int16_t>(0x7FFF);
        },
        std::chrono::milliseconds(20));
    EXPECT_FALSE(done);
    EXPECT_GT(calls, 0);
}

TEST(BlockSize, ThirtyTwoTimesPowerOfTwo) {
    EXPECT_EQ(zr::blocklenForIndex(0), 32);
    EXPECT_EQ(zr::blocklenForIndex(5), 1024);
    EXPECT_EQ(zr::blocklenForIndex(10), 32768);
    EXPECT_EQ(zr::blocklenForIndex(11), 32768);
    EXPECT_EQ(zr::blocklenForIndex(-1), 32);
    EXPECT_NEAR(zr::windowNormalisation(1024) * 1024.0, 6.32455532, 1e-5);
    EXPECT_EQ(zr::windowNormalisation(0), 0.0f);
}

TEST(ClockSource, FrequencyPerSource) {
    EXPECT_EQ(zr::clockFreqForSource(0, "123"), 20480000.0);
    EXPECT_EQ(zr::clockFreqForSource(1, ""), 20000000.0);
    EXPECT_EQ(zr::clockFreqForSource(3, ""), 20000000.0);
    EXPECT_EQ(zr::clockFreqForSource(2, "10000000"), 10000000.0);
    EXPECT_EQ(zr::clockFreqForSource(2, "3e7"), 20480000.0);
    EXPECT_EQ(zr::clockFreqForSource(2, "abc"), 1.0);
    EXPECT_EQ(zr::clockFreqForSource(9, ""), 20480000.0);
    EXPECT_EQ(zr::kClockSourceEntries[3], "20MHz locked");
}

TEST(ClockSource, SlowClockIsInverted) {
    EXPECT_EQ(zr::slowClockArgument(true), 0);
    EXPECT_EQ(zr::slowClockArgument(false), 1);
}

} // namespace
