// The status line's arithmetic: blocks per second over windows of about a second, the
// resolution bandwidth and the texts.
#include "status_line.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t kMs = 1'000'000;

TEST(StatusLine, BlockRateAveragesOverWindowsOfASecond) {
    zr::BlockRate rate;
    rate.start(0);
    for (int k = 1; k <= 9; ++k)
        rate.block(k * 100 * kMs);
    EXPECT_FALSE(rate.perSecond(999 * kMs)); // the first window is still open
    rate.block(1000 * kMs);                  // closes [0, 1 s) with 9 blocks, opens the next
    EXPECT_DOUBLE_EQ(*rate.perSecond(1000 * kMs), 9.0);
    rate.block(1250 * kMs);
    rate.block(1500 * kMs);
    EXPECT_DOUBLE_EQ(*rate.perSecond(1999 * kMs), 9.0);
    EXPECT_DOUBLE_EQ(*rate.perSecond(2500 * kMs), 2.0); // 3 blocks in 1.5 s
    EXPECT_DOUBLE_EQ(*rate.perSecond(3500 * kMs), 0.0); // none since
    rate.start(4000 * kMs);
    EXPECT_FALSE(rate.perSecond(4100 * kMs));
    EXPECT_EQ(zr::blockRateText(2.0), "2.0 blocks/s");
    EXPECT_EQ(zr::blockRateText(std::nullopt), "");
}

TEST(StatusLine, ResolutionBandwidthIsNoiseBandwidthTimesLineSpacing) {
    struct Row {
        int window;
        double fs;
        std::int32_t points;
        double hertz;
        const char* text;
    };
    const Row rows[] = {
        {0, 20480000.0, 1024, 20000.0, "RBW 20.000 kHz"},
        {1, 20480000.0, 1024, 30000.0, "RBW 30.000 kHz"},
        {2, 20480000.0, 32768, 1384.5935525, "RBW 1.385 kHz"}, // 2.215349684 * 625 Hz
        {3, 1000.0, 1000, 3.82210876, "RBW 3.822 Hz"},
        {0, 20480000.0, 8, 2560000.0, "RBW 2.560 MHz"},
        {1, 20480000.0, 0, 0.0, "RBW 0.000 Hz"}, // no points: nothing to divide by
    };
    for (const Row& r : rows) {
        const double rbw = zr::resolutionBandwidth(r.window, r.fs, r.points);
        EXPECT_NEAR(rbw, r.hertz, 1e-9 * r.hertz) << r.text;
        EXPECT_EQ(zr::rbwText(rbw), r.text);
    }
    EXPECT_STREQ(zr::runStateText(zr::RunState::Running), "Running");
    EXPECT_STREQ(zr::runStateText(zr::RunState::Paused), "Paused");
    EXPECT_STREQ(zr::runStateText(zr::RunState::Single), "Single");
}

} // namespace
