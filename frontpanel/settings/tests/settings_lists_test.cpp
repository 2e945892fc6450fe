#include "settings/settings_lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string pm = "\xC2\xB1";

TEST(BandwidthList, EntriesForClockTypeAndFilter) {
    struct Case {
        double clock;
        int type, alias;
        std::string e0, e1, e11, e12, e23;
    };
    const Case cases[] = {{20480000, 1, 1, pm + "8MHz", pm + "4,000,000.00", pm + "3,906.25",
                           pm + "1,953.13", pm + ".95"}, // 1953.125 exactly: the half goes up
                          {20480000, 0, 0, "40MHz", "4,000,000.00", "3,906.25", "1,953.13", ".95"},
                          {20000000, 0, 1, "8MHz", "3,906,250.00", "3,814.70", "1,907.35", ".93"},
                          {20000000, 1, 0, pm + "40MHz", pm + "3,906,250.00", pm + "3,814.70",
                           pm + "1,907.35", pm + ".93"}};
    for (const Case& c : cases) {
        const auto e = zr::bandwidthEntries(c.clock, c.type, c.alias);
        ASSERT_EQ(e.size(), 24u);
        EXPECT_EQ((std::vector<std::string>{e[0], e[1], e[11], e[12], e[23]}),
                  (std::vector<std::string>{c.e0, c.e1, c.e11, c.e12, c.e23}));
    }
    // Independent of the text pattern: each entry, read without its commas, is
    // 0.390625 * clock / 2^i to within the two shown decimals.
    const double clock = 12345677.0;
    const auto e = zr::bandwidthEntries(clock, 0, 1);
    for (int i = 1; i < 24; ++i) {
        std::string digits;
        for (char c : e[static_cast<size_t>(i)])
            if (c != ',')
                digits += c;
        EXPECT_NEAR(std::stod("0" + digits), 0.390625 * clock / std::ldexp(1.0, i), 0.005 + 1e-9)
            << e[i];
    }
}

TEST(SampleRateList, RatesForTheBandwidthSelectionReadBackExactly) {
    using E = std::vector<std::string>;
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, 0), (E{" 20480000", " 10240000"}));
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, 1), (E{" 20480000", " 10240000"}));
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, 3), (E{" 5120000", " 2560000"}));
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, 23), (E{" 4.8828125", " 2.44140625"}));
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, -4)[0], " 20480000");
    EXPECT_EQ(zr::sampleRateEntries(12345677.0, 0)[1], " 6172838.5");
    for (double clock : {20480000.0, 20000000.0, 12345677.0, 1.0}) {
        for (int bw = 0; bw < 24; ++bw) {
            const auto e = zr::sampleRateEntries(clock, bw);
            const double rate = clock / std::ldexp(1.0, bw > 0 ? bw - 1 : 0);
            EXPECT_EQ(zr::sampleRateOfEntry(e[0]), rate) << e[0];
            EXPECT_EQ(zr::sampleRateOfEntry(e[1]), rate / 2) << e[1];
        }
    }
}

TEST(RangeList, CodeIsNineMinusIndexAndAnyAnswerSelectsARealEntry) {
    for (int code = 0; code <= 9; ++code)
        EXPECT_EQ(zr::rangeCodeForIndex(zr::rangeIndexForCode(code)), code);
    EXPECT_EQ(zr::rangeIndexForCode(4), 5);
    EXPECT_EQ(zr::rangeIndexForCode(12), 0);
    EXPECT_EQ(zr::rangeIndexForCode(-3), 9);
}

TEST(AutoRangeWait, EndsWhenTheStatusTurnsNegativeOrGivesUp) {
    int calls = 0;
    EXPECT_TRUE(zr::waitForAutorange([&] {
        ++calls;
        return static_cast<int16_t>(calls < 3 ? 0x1234 : -32768);
    }));
    EXPECT_EQ(calls, 3);
    calls = 0;
    const auto never = [&] {
        ++calls;
        return static_cast<int16_t>(0x7FFF);
    };
    EXPECT_FALSE(zr::waitForAutorange(never, std::chrono::milliseconds(20)));
    EXPECT_GT(calls, 0);
}

TEST(BlockSizeAndClock, LengthsAndFrequencies) {
    EXPECT_EQ(zr::blocklenForIndex(0), 32);
    EXPECT_EQ(zr::blocklenForIndex(10), 32768);
    EXPECT_EQ(zr::blocklenForIndex(11), 32768);
    EXPECT_EQ(zr::blocklenForIndex(-1), 32);
    EXPECT_EQ(zr::windowNormalisation(0), 0.0f);
    const std::pair<int, const char*> sources[] = {{0, "123"}, {1, ""}, {3, ""}, {9, ""}};
    const double clocks[] = {20480000, 20000000, 20000000, 20480000};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(zr::clockFreqForSource(sources[i].first, sources[i].second), clocks[i]) << i;
    // External: the field's number, limited to 1 .. 20480000 Hz.
    EXPECT_EQ(zr::clockFreqForSource(2, "10000000"), 10000000.0);
    EXPECT_EQ(zr::clockFreqForSource(2, "3e7"), 20480000.0);
    EXPECT_EQ(zr::clockFreqForSource(2, "abc"), 1.0);
}

} // namespace
