// The status line's arithmetic: blocks per second over windows of about a second, the
// resolution bandwidth and the texts.
#include "status_line.h"

#include <gtest/gtest.h>

constexpr std::int64_t kMs = 1'000'000;

TEST(StatusLine, BlockRateAveragesOverWindowsOfASecond) {
    zr::BlockRate rate;
    rate.start(0);
    for (int k = 1; k <= 9; ++k)
        rate.block(k * 100 * kMs);
    EXPECT_FALSE(rate.perSecond(999 * kMs)); // the first window is still open
    rate.block(1000 * kMs);                  // closes [0, 1 s) with 9 blocks
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
        const char* text;
    };
    for (const Row& r :
         {Row{1, 20480000.0, 1024, "RBW 30.000 kHz"}, // 1.5 * 20 kHz
          Row{2, 20480000.0, 32768, "RBW 1.385 kHz"}, // 2.215349684 * 625 Hz
          Row{3, 1000.0, 1000, "RBW 3.822 Hz"}, Row{0, 20480000.0, 8, "RBW 2.560 MHz"},
          Row{1, 20480000.0, 0, "RBW 0.000 Hz"}}) // no points: nothing to divide
        EXPECT_EQ(zr::rbwText(zr::resolutionBandwidth(r.window, r.fs, r.points)), r.text);
    EXPECT_DOUBLE_EQ(zr::resolutionBandwidth(2, 20480000.0, 32768), 2.215349684 * 625.0);
    EXPECT_STREQ(zr::runStateText(zr::RunState::Running), "Running");
    EXPECT_STREQ(zr::runStateText(zr::RunState::Paused), "Paused");
    EXPECT_STREQ(zr::runStateText(zr::RunState::Single), "Single");
}
