// The "Filter && Resample" options of the real window (offscreen): what the
// handlers leave in the window, and what a pass of the loop then makes of a
// baseband time-domain block with the real signal-processing library.
#include "display/tests/loop_pass.h"
#include "display/tests/window_fixture.h"

#include "shell/controls.h"

#include <QComboBox>
#include <QRadioButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

using zr::test::LoopPassResult;
using zr::test::LoopPassSetup;
using zr::test::runLoopPass;
using zr::test::WindowFixture;

constexpr double kFs = 20480000.0;

struct ResamplingWindow : WindowFixture {
    QStringList handlers;

    void SetUp() override {
        WindowFixture::SetUp();
        form->setHandlerTrace([this](const QString& h) { handlers << h; });
        // The equaliser taps, as the preset stores them.
        zr::test::fillEqualiser(*form);
    }

    // The option buttons as the loop reads them on every pass.
    LoopPassSetup setup(int32_t blocklen) const {
        LoopPassSetup s;
        s.blocklen = blocklen;
        s.gaussian = form->resampmode[1]->isChecked();
        s.flat = form->resampmode[2]->isChecked();
        s.fs = kFs;
        s.npoints = blocklen;
        s.xstep = 1.0 / kFs;
        return s;
    }

    // A 1 V cosine at `cycles` per input sample in dispdata[0 .. n-1].
    void cosine(int32_t n, double cycles) {
        std::fill(form->dispdata.begin(), form->dispdata.end(), 0.0f);
        for (int32_t i = 0; i < n; ++i)
            form->dispdata[i] = static_cast<float>(std::cos(2 * std::numbers::pi * cycles * i));
    }

    LoopPassResult pass(int32_t blocklen) { return runLoopPass(*form, setup(blocklen)); }

    double peak(int32_t npoints) const {
        double m = 0;
        for (int32_t i = 0; i < npoints; ++i)
            m = std::max(m, std::fabs(static_cast<double>(form->dispdata[i])));
        return m;
    }
};

// ---- Handlers -------------------------------------------------------------------

TEST_F(ResamplingWindow, WindowStartsWithDefaultAndTheListGreyedOut) {
    EXPECT_TRUE(form->resampmode[0]->isChecked());
    EXPECT_FALSE(form->resamp->isEnabled());
    EXPECT_EQ(form->resampindex, 0);
}

TEST_F(ResamplingWindow, GaussianAndFlatEnableTheListAndRelabel) {
    for (int i : {1, 2}) {
        form->relabel = false;
        zr::clickOption(form->resampmode[i]);
        EXPECT_TRUE(form->resamp->isEnabled()) << i;
        EXPECT_TRUE(form->relabel) << i;
    }
}

TEST_F(ResamplingWindow, RateListStoresItsIndex) {
    zr::clickOption(form->resampmode[1]);
    for (int i : {3, 1, 2, 0}) {
        zr::selectEntry(form->resamp, i);
        EXPECT_EQ(form->resampindex, i);
    }
}

TEST_F(ResamplingWindow, SwitchingBetweenGaussianAndFlatKeepsTheRate) {
    zr::clickOption(form->resampmode[1]);
    zr::selectEntry(form->resamp, 3);
    zr::clickOption(form->resampmode[2]);
    EXPECT_EQ(form->resampindex, 3);
    EXPECT_EQ(form->resamp->currentText(), "8x");
}

TEST_F(ResamplingWindow, DefaultWhileEightTimesIsShownResetsTheListAndGreysItOut) {
    zr::clickOption(form->resampmode[2]);
    zr::selectEntry(form->resamp, 3);
    ASSERT_EQ(form->resampindex, 3);
    form->relabel = false;
    handlers.clear();
    zr::clickOption(form->resampmode[0]);
    EXPECT_EQ(form->resamp->currentText(), "1x");
    EXPECT_EQ(form->resampindex, 0);
    EXPECT_FALSE(form->resamp->isEnabled());
    EXPECT_TRUE(form->relabel);
    // The list's own handler ran once, through the program-driven selection.
    EXPECT_EQ(handlers, QStringList({"resampmode_Click(0)", "resamp_Click"}));
}

TEST_F(ResamplingWindow, NoSelectionInTheRateListCountsAsOneTimes) {
    zr::clickOption(form->resampmode[1]);
    zr::selectEntry(form->resamp, 2);
    zr::selectEntry(form->resamp, -1);
    EXPECT_EQ(form->resampindex, 0);
}

// ---- The loop's pass with the options chosen in the window ------------------------

TEST_F(ResamplingWindow, DefaultLeavesTheBlockAsRead) {
    cosine(1024, 0.1);
    const float before = form->dispdata[3];
    const LoopPassResult r = pass(1024);
    EXPECT_FALSE(r.resampled);
    EXPECT_EQ(r.npoints, 1024);
    EXPECT_EQ(form->dispdata[3], before);
}

TEST_F(ResamplingWindow, GaussianPointCountsForOneTwoAndEightTimes) {
    zr::clickOption(form->resampmode[1]);
    const struct {
        int index;
        int32_t points;
    } cases[] = {{0, 1011}, {1, 2022}, {3, 8085}};
    for (const auto& c : cases) {
        zr::selectEntry(form->resamp, c.index);
        cosine(1024, 0.01);
        const LoopPassResult r = pass(1024);
        EXPECT_TRUE(r.resampled);
        EXPECT_EQ(r.npoints, c.points) << c.index;
        EXPECT_DOUBLE_EQ(r.xstep, 1.0 / kFs / (1 << c.index));
    }
}

TEST_F(ResamplingWindow, FlatPointCountAtOneTimes) {
    zr::clickOption(form->resampmode[2]);
    cosine(1024, 0.01);
    const LoopPassResult r = pass(1024);
    EXPECT_EQ(r.npoints, 1003);
    EXPECT_DOUBLE_EQ(r.xstep, 1.0 / kFs);
}

TEST_F(ResamplingWindow, FlatEightTimesOnFourThousandSamplesStopsAtTheCap) {
    zr::clickOption(form->resampmode[2]);
    zr::selectEntry(form->resamp, 3);
    cosine(4096, 0.01);
    form->dispdata[16384] = 77.0f;
    const LoopPassResult r = pass(4096);
    EXPECT_EQ(r.npoints, 16384);
    EXPECT_EQ(form->dispdata[16384], 77.0f); // nothing written past the cap
}

TEST_F(ResamplingWindow, FlatKeepsTheAmplitudeOfACosineAtATenthOfTheRate) {
    zr::clickOption(form->resampmode[2]);
    for (int index : {0, 3}) {
        zr::selectEntry(form->resamp, index);
        cosine(1024, 0.1);
        const LoopPassResult r = pass(1024);
        EXPECT_NEAR(peak(r.npoints), 1.0, 0.002) << index;
    }
}

TEST_F(ResamplingWindow, GaussianDropsACosineAtATenthOfTheRateToAbout0728) {
    zr::clickOption(form->resampmode[1]);
    for (int index : {0, 3}) {
        zr::selectEntry(form->resamp, index);
        cosine(1024, 0.1);
        const LoopPassResult r = pass(1024);
        EXPECT_NEAR(peak(r.npoints), 0.728, 0.001) << index;
    }
}

TEST_F(ResamplingWindow, ZoomDataIsNeverResampled) {
    zr::clickOption(form->resampmode[1]);
    zr::selectEntry(form->resamp, 3);
    LoopPassSetup s = setup(512);
    s.datatypeindex = 1;
    std::fill(form->dispdata.begin(), form->dispdata.end(), 0.0f);
    form->dispdata[0] = 3.0f; // sample 0 = 3 + 4j
    form->dispdata[1] = 4.0f;
    const LoopPassResult r = runLoopPass(*form, s);
    EXPECT_FALSE(r.resampled);
    EXPECT_EQ(r.npoints, 512);
    EXPECT_FLOAT_EQ(form->dispdata[0], std::sqrt(2.0f * 25.0f)); // sqrt(2) x magnitude
}

TEST_F(ResamplingWindow, SpectrumAndHistogramAreNeverResampled) {
    zr::clickOption(form->resampmode[2]);
    zr::selectEntry(form->resamp, 3);
    for (int mode : {zr::kModeSpectrum, zr::kModeHistogram}) {
        form->modeindex = static_cast<int16_t>(mode);
        form->histmin = -1.0;
        form->histmax = 1.0;
        cosine(1024, 0.1);
        LoopPassSetup s = setup(1024);
        s.npoints = mode == zr::kModeSpectrum ? 512 : 256;
        s.xstep = 123.0;
        const LoopPassResult r = runLoopPass(*form, s);
        EXPECT_FALSE(r.resampled) << mode;
        EXPECT_EQ(r.npoints, s.npoints) << mode;
        EXPECT_EQ(r.xstep, 123.0) << mode;
    }
}

} // namespace
