// The resampling options through the running window: start-up on a session,
// the preset, then one measurement pass per "Single" on blocks the instrument
// delivers. What is checked is what the graph gets: the points, their
// spacing and where the first one lies.
#include "display/tests/loop_fixture.h"

#include "settings/number_text.h"
#include "settings/settings_lists.h"

#include <QRadioButton>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using zr::test::LoopFixture;

std::vector<float> cosine(int32_t n, double cycles) {
    std::vector<float> v(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n; ++i)
        v[i] = static_cast<float>(std::cos(2 * std::numbers::pi * cycles * i));
    return v;
}

struct ResamplingLoop : LoopFixture {
    double fs = 0;

    void SetUp() override {
        LoopFixture::SetUp();
        if (HasFatalFailure())
            return;
        zr::selectEntry(form->measmode, 0); // "Time domain"
        chooseBlockSize("1024");
        fs = zr::sampleRateOfEntry(form->sampfreq->currentText().toStdString());
        ASSERT_GT(fs, 0);
        instrument.blockData = cosine(1024, 0.1);
    }

    void option(int index) { zr::clickOption(form->resampmode[index]); }
    void rate(int index) { zr::selectEntry(form->resamp, index); }

    // The drawn points are the delivered samples, value for value.
    bool asRead() const {
        for (std::size_t i = 0; i < instrument.blockData.size(); ++i)
            if (form->dispdata[i] != instrument.blockData[i])
                return false;
        return form->npoints == static_cast<int32_t>(instrument.blockData.size());
    }

    // Largest deviation of the drawn points from gain * cos(2 pi 0.1 t), t being
    // each point's x value in input sample periods.
    double deviation(double gain) const {
        double worst = 0;
        for (int32_t j = 0; j < form->npoints; ++j) {
            const double t = (form->xstart + j * form->xstep) * fs;
            const double want = gain * std::cos(2 * std::numbers::pi * 0.1 * t);
            worst = std::max(worst, std::fabs(form->dispdata[j] - want));
        }
        return worst;
    }
};

TEST_F(ResamplingLoop, DefaultShowsTheBlockAsRead) {
    single();
    EXPECT_EQ(form->npoints, 1024);
    EXPECT_DOUBLE_EQ(form->xstart, 0.0);
    EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs);
    EXPECT_TRUE(asRead());
}

TEST_F(ResamplingLoop, GaussianPointsSpacingAndStartForOneTwoAndEightTimes) {
    option(1);
    const struct {
        int index;
        int32_t points;
    } cases[] = {{0, 1011}, {1, 2022}, {3, 8085}};
    for (const auto& c : cases) {
        rate(c.index);
        single();
        EXPECT_EQ(form->npoints, c.points) << c.index;
        EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs / (1 << c.index)) << c.index;
        EXPECT_DOUBLE_EQ(form->xstart, 8.0 / fs) << c.index;
    }
}

TEST_F(ResamplingLoop, FlatAtOneTimesStartsElevenSamplesIn) {
    option(2);
    single();
    EXPECT_EQ(form->npoints, 1003);
    EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs);
    EXPECT_DOUBLE_EQ(form->xstart, 11.0 / fs);
}

TEST_F(ResamplingLoop, FlatEightTimesOnFourThousandSamplesStopsAtTheCap) {
    chooseBlockSize("4096");
    instrument.blockData = cosine(4096, 0.1);
    option(2);
    rate(3);
    single();
    EXPECT_EQ(form->npoints, 16384);
    EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs / 8);
}

TEST_F(ResamplingLoop, FlatKeepsACosineAtATenthOfTheRateInAmplitudeAndPlace) {
    option(2);
    for (int index : {0, 3}) {
        rate(index);
        single();
        // Every drawn point lies on the 1 V cosine at its own x value.
        EXPECT_LT(deviation(1.0), 0.002) << index;
    }
}

TEST_F(ResamplingLoop, GaussianShrinksACosineAtATenthOfTheRateToAbout0728) {
    option(1);
    for (int index : {0, 3}) {
        rate(index);
        single();
        EXPECT_LT(deviation(0.728), 0.001) << index;
        EXPECT_GT(deviation(1.0), 0.25) << index; // not the unfiltered cosine
    }
}

TEST_F(ResamplingLoop, DefaultAfterEightTimesResetsTheRateAndLeavesBlocksUntouched) {
    option(1);
    rate(3);
    single();
    ASSERT_EQ(form->npoints, 8085);
    option(0);
    EXPECT_EQ(form->resamp->currentText(), "1x");
    EXPECT_FALSE(form->resamp->isEnabled());
    single();
    EXPECT_EQ(form->npoints, 1024);
    EXPECT_DOUBLE_EQ(form->xstart, 0.0);
    EXPECT_TRUE(asRead());
}

TEST_F(ResamplingLoop, ZoomDataIsNeverResampled) {
    option(1);
    rate(3);
    zr::selectEntry(form->datatype, 1); // zoom (complex)
    // Complex samples 0.6 + 0.8j: magnitude 1, shown as sqrt(2).
    std::vector<float> z(2 * 1024);
    for (std::size_t i = 0; i < z.size(); i += 2) {
        z[i] = 0.6f;
        z[i + 1] = 0.8f;
    }
    instrument.blockData = z;
    single();
    EXPECT_EQ(form->npoints, form->blocklen);
    EXPECT_DOUBLE_EQ(form->xstart, 0.0);
    for (int32_t j = 0; j < form->npoints; ++j)
        ASSERT_NEAR(form->dispdata[j], std::sqrt(2.0), 1e-5) << j;
}

TEST_F(ResamplingLoop, SpectrumAndHistogramAreNeverResampled) {
    option(2);
    rate(3);
    zr::selectEntry(form->measmode, 1);
    single();
    EXPECT_EQ(form->npoints, 512); // half the block: the baseband spectrum lines
    EXPECT_DOUBLE_EQ(form->xstep, fs / 1024);
    zr::selectEntry(form->measmode, 2);
    single();
    const double nbins = zr::leadingNumber(form->histbins->currentText().toStdString());
    EXPECT_EQ(form->npoints, static_cast<int32_t>(nbins));
    EXPECT_DOUBLE_EQ(form->xstart, form->histmin);
}

} // namespace
