// The "Filter && Resample" options of the running window: start-up on a
// session, the preset, then one measurement pass per "Single" on blocks the
// instrument delivers. What is checked is what the handlers leave in the
// window and what the graph gets: the points, their spacing and where the
// first one lies.
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

TEST_F(ResamplingLoop, GaussianAndFlatEnableTheRateListAndRelabelSwitchingKeepsTheRate) {
    EXPECT_TRUE(form->resampmode[0]->isChecked());
    EXPECT_FALSE(form->resamp->isEnabled());
    for (int i : {1, 2}) {
        form->relabel = false;
        option(i);
        EXPECT_TRUE(form->resamp->isEnabled()) << i;
        EXPECT_TRUE(form->relabel) << i;
    }
    for (int i : {3, 1, 2}) {
        rate(i);
        EXPECT_EQ(form->resampindex, i);
    }
    option(1);
    EXPECT_EQ(form->resampindex, 2);
    rate(-1); // no selection counts as "1x"
    EXPECT_EQ(form->resampindex, 0);
}

TEST_F(ResamplingLoop, DefaultResetsTheRateListThroughItsHandlerAndGreysItOut) {
    QStringList handlers;
    form->setHandlerTrace([&handlers](const QString& h) { handlers << h; });
    option(2);
    rate(3);
    form->relabel = false;
    handlers.clear();
    option(0);
    EXPECT_EQ(form->resamp->currentText(), "1x");
    EXPECT_EQ(form->resampindex, 0);
    EXPECT_FALSE(form->resamp->isEnabled());
    EXPECT_TRUE(form->relabel);
    EXPECT_EQ(handlers, QStringList({"resampmode_Click(0)", "resamp_Click"}));
    form->setHandlerTrace({});
}

TEST_F(ResamplingLoop, DefaultShowsTheBlockAsRead) {
    single();
    EXPECT_EQ(form->npoints, 1024);
    EXPECT_DOUBLE_EQ(form->xstart, 0.0);
    EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs);
    EXPECT_TRUE(asRead());
}

TEST_F(ResamplingLoop, PointsSpacingAndStartForEachOptionAndRate) {
    const struct {
        int option, rate;
        int32_t blocklen, points;
        double startSamples;
    } cases[] = {{1, 0, 1024, 1011, 8},
                 {1, 1, 1024, 2022, 8},
                 {1, 3, 1024, 8085, 8},
                 {2, 0, 1024, 1003, 11},
                 {2, 3, 4096, 16384, 11}}; // the last one stops at the cap
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "option " << c.option << " rate " << c.rate);
        chooseBlockSize(c.blocklen == 1024 ? "1024" : "4096");
        instrument.blockData = cosine(c.blocklen, 0.1);
        option(c.option);
        rate(c.rate);
        single();
        EXPECT_EQ(form->npoints, c.points);
        EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs / (1 << c.rate));
        EXPECT_DOUBLE_EQ(form->xstart, c.startSamples / fs);
    }
}

TEST_F(ResamplingLoop, FlatKeepsACosineAtATenthOfTheRateGaussianShrinksItToAbout0728) {
    for (int index : {0, 3}) {
        option(2);
        rate(index);
        single();
        // Every drawn point lies on the cosine at its own x value.
        EXPECT_LT(deviation(1.0), 0.002) << index;
        option(1);
        rate(index);
        single();
        EXPECT_LT(deviation(0.728), 0.001) << index;
        EXPECT_GT(deviation(1.0), 0.25) << index; // not the unfiltered cosine
    }
}

TEST_F(ResamplingLoop, DefaultAfterEightTimesLeavesBlocksUntouched) {
    option(1);
    rate(3);
    single();
    ASSERT_EQ(form->npoints, 8085);
    option(0);
    single();
    EXPECT_EQ(form->npoints, 1024);
    EXPECT_DOUBLE_EQ(form->xstart, 0.0);
    EXPECT_TRUE(asRead());
}

TEST_F(ResamplingLoop, ZoomSpectrumAndHistogramAreNeverResampled) {
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

    zr::selectEntry(form->datatype, 0);
    instrument.blockData = cosine(1024, 0.1);
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
