#include "settings/settings_lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string pm = "\xC2\xB1";

TEST(BandwidthList, EntriesForClockTypeAndFilter) {
    using E = std::vector<std::string>;
    auto e = zr::bandwidthEntries(20480000, 1, 1);
    ASSERT_EQ(e.size(), 24u);
    EXPECT_EQ((E{e[0], e[12], e[23]}), (E{pm + "8MHz", pm + "1,953.13", pm + ".95"}));
    e = zr::bandwidthEntries(20000000, 0, 0);
    EXPECT_EQ((E{e[0], e[1], e[23]}), (E{"40MHz", "3,906,250.00", ".93"}));
    // Independent of the text pattern: each entry, read without its commas, is
    // 0.390625 * clock / 2^i to within the two shown decimals.
    const double clock = 12345677.0;
    e = zr::bandwidthEntries(clock, 0, 1);
    for (int i = 1; i < 24; ++i) {
        std::string digits;
        for (char c : e[static_cast<size_t>(i)])
            if (c != ',')
                digits += c;
        EXPECT_NEAR(std::stod("0" + digits), 0.390625 * clock / std::ldexp(1.0, i), 0.005 + 1e-9)
            << e[static_cast<size_t>(i)];
    }
}

TEST(SampleRateList, RatesForTheBandwidthSelectionReadBackExactly) {
    using E = std::vector<std::string>;
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, 3), (E{" 5120000", " 2560000"}));
    EXPECT_EQ(zr::sampleRateEntries(20480000.0, -4)[0], " 20480000");
    for (double clock : {20480000.0, 12345677.0, 1.0}) {
        for (int bw = 0; bw < 24; ++bw) {
            const auto e = zr::sampleRateEntries(clock, bw);
            const double rate = clock / std::ldexp(1.0, bw > 0 ? bw - 1 : 0);
            EXPECT_EQ(zr::sampleRateOfEntry(e[0]), rate) << e[0];
            EXPECT_EQ(zr::sampleRateOfEntry(e[1]), rate / 2) << e[1];
        }
    }
}

TEST(AutoRangeWait, EndsWhenTheStatusTurnsNegativeOrGivesUp) {
    int calls = 0;
    EXPECT_TRUE(zr::waitForAutorange([&] {
        ++calls;
        return static_cast<int16_t>(calls < 3 ? 0x1234 : -32768);
    }));
    EXPECT_EQ(calls, 3);
    EXPECT_FALSE(zr::waitForAutorange([] { return static_cast<int16_t>(0x7FFF); },
                                      std::chrono::milliseconds(20)));
}

// Out-of-range list indices and module answers select real entries; the external clock is
// limited.
TEST(ListIndices, OutOfRangeIndicesAnswersAndExternalClockLimits) {
    EXPECT_EQ(zr::rangeIndexForCode(12), 0);
    EXPECT_EQ(zr::rangeIndexForCode(-3), 9);
    EXPECT_EQ(zr::blocklenForIndex(11), 32768);
    EXPECT_EQ(zr::blocklenForIndex(-1), 32);
    EXPECT_EQ(zr::clockFreqForSource(9, ""), 20480000.0);
    EXPECT_EQ(zr::clockFreqForSource(2, "3e7"), 20480000.0);
    EXPECT_EQ(zr::clockFreqForSource(2, "abc"), 1.0);
}

} // namespace
