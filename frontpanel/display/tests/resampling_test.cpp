// The "Filter && Resample" options of the running window on the recording
// instrument, one measurement pass per "Single" (the instrument stops the loop
// after every read): the points the graph gets, their spacing and where the first lies.
#include "common/tests/window_fixture.h"
#include "settings/settings_lists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

std::vector<float> cosine(int32_t n, double cycles) {
    std::vector<float> v(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < v.size(); ++i)
        v[i] = static_cast<float>(std::cos(2 * std::numbers::pi * cycles * static_cast<double>(i)));
    return v;
}

struct OnePassInstrument : zr::FakeInstrument {
    zr::MainForm* form = nullptr;
    int reads = 0;
    int32_t read(int32_t instr, float* data, int32_t blocklen, int16_t* overloadOut) override {
        const int32_t status = zr::FakeInstrument::read(instr, data, blocklen, overloadOut);
        ++reads;
        if (form != nullptr)
            form->stopflag = true;
        return status;
    }
};

struct ResamplingLoop : zr::test::WindowTest<OnePassInstrument> {
    double fs = 0;

    void SetUp() override {
        WindowTest::SetUp();
        instrument.initDefault.handle = zr::test::kHandle;
        instrument.form = form.get();
        form->resize(1000, 700);
        dialogs.addInput(QStringLiteral("VXI::192"));
        form->Form_Load(); // one pass of the start-up loop, then back here
        ASSERT_FALSE(form->ended());
        ASSERT_EQ(form->instr, zr::test::kHandle);
        zr::selectEntry(form->measmode, 0); // "Time domain"
        blockSize("1024");
        fs = zr::sampleRateOfEntry(form->sampfreq->currentText().toStdString());
        ASSERT_GT(fs, 0);
        instrument.blockData = cosine(1024, 0.1);
    }

    void blockSize(const char* text) {
        const int i = form->blocksize->findText(QString::fromLatin1(text));
        ASSERT_GE(i, 0) << text;
        zr::selectEntry(form->blocksize, i);
    }
    void single() {
        const int before = instrument.reads;
        zr::clickButton(form->meascontrol[3]);
        ASSERT_EQ(instrument.reads, before + 1) << "one pass per Single";
    }
    void option(int index) { zr::clickOption(form->resampmode[static_cast<std::size_t>(index)]); }
    void rate(int index) { zr::selectEntry(form->resamp, index); }
    // Largest deviation of the drawn points from gain * cos(2 pi 0.1 t), t being
    // each point's x value in input sample periods.
    double deviation(double gain) const {
        double worst = 0;
        for (int32_t j = 0; j < form->npoints; ++j) {
            const double t = (form->xstart + j * form->xstep) * fs;
            worst = std::max(worst, std::fabs(form->dispdata[static_cast<std::size_t>(j)] -
                                              gain * std::cos(2 * std::numbers::pi * 0.1 * t)));
        }
        return worst;
    }
};

TEST_F(ResamplingLoop, OptionsEnableTheRateListAndDefaultResetsItThroughItsHandler) {
    EXPECT_FALSE(form->resamp->isEnabled());
    form->relabel = false;
    option(1);
    EXPECT_TRUE(form->resamp->isEnabled());
    EXPECT_TRUE(form->relabel);
    rate(3);
    option(2);
    EXPECT_EQ(form->resampindex, 3); // switching keeps the rate
    QStringList handlers;
    form->setHandlerTrace([&handlers](const QString& h) { handlers << h; });
    option(0);
    form->setHandlerTrace({});
    EXPECT_EQ(form->resamp->currentText(), "1x");
    EXPECT_EQ(form->resampindex, 0);
    EXPECT_FALSE(form->resamp->isEnabled());
    EXPECT_EQ(handlers, QStringList({"resampmode_Click(0)", "resamp_Click"}));
}

// Every drawn point lies on the cosine at its x: flat keeps a cosine at a tenth of the rate,
// Gaussian shrinks it to about 0.728.
TEST_F(ResamplingLoop, PointsSpacingStartAndResponseForEachOptionAndRate) {
    const struct {
        int option, rate;
        int32_t blocklen, points;
        double startSamples, gain, tolerance;
    } cases[] = {{1, 1, 1024, 2022, 8, 0.728, 0.001},
                 {2, 0, 1024, 1003, 11, 1.0, 0.002},
                 {2, 3, 4096, 16384, 11, 1.0, 0.002}, // stops at the cap
                 {0, 0, 1024, 1024, 0, 1.0, 1e-6}};   // default after 8x: the block as read
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "option " << c.option << " rate " << c.rate);
        blockSize(c.blocklen == 1024 ? "1024" : "4096");
        instrument.blockData = cosine(c.blocklen, 0.1);
        option(c.option);
        rate(c.rate);
        single();
        EXPECT_EQ(form->npoints, c.points);
        EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs / (1 << c.rate));
        EXPECT_DOUBLE_EQ(form->xstart, c.startSamples / fs);
        EXPECT_LT(deviation(c.gain), c.tolerance);
    }
    for (std::size_t i = 0; i < 1024; ++i) // the delivered samples, value for value
        ASSERT_EQ(form->dispdata[i], instrument.blockData[i]) << i;
}

// Autoscale X spans the block size times the sample period, whatever the resampler made of
// the block on show; a block taken under other settings never lends its spacing or count.
TEST_F(ResamplingLoop, AutoscaleXSpansTheBlockOfTheSettingsInForce) {
    ASSERT_TRUE(form->xautoflag->isChecked()); // the preset turns X-Auto on change on
    // The line as the loop shows it after the handler: redrawn when the handler asked for it.
    auto xline = [this] {
        if (form->relabel)
            form->drawgraph();
        return form->lablegraph[1]->text();
    };
    // 1024 samples at 20.48 MHz: 50 us over 10 divisions.
    ASSERT_EQ(fs, 20480000.0);
    for (int opt : {1, 2}) {
        for (int r : {0, 3}) {
            SCOPED_TRACE(::testing::Message() << "option " << opt << " rate " << r);
            option(opt);
            rate(r);
            single();
            zr::clickButton(form->xauto);
            EXPECT_DOUBLE_EQ(form->xperdiv[0], 1024 / fs / 10);
            EXPECT_TRUE(xline().endsWith("  5.000000uSec/div")) << xline().toStdString();
            single(); // the redraw of a new block keeps its own, finer spacing
            EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs / (1 << r));
        }
    }
    // A larger block: 4096 samples, 200 us, while the last block on show had 1024.
    blockSize("4096");
    EXPECT_DOUBLE_EQ(form->xperdiv[0], 4096 / fs / 10);
    EXPECT_TRUE(xline().endsWith(" 20.000000uSec/div")) << xline().toStdString();
    // Half the sample rate and back: 400 us, then 200 us again.
    ASSERT_EQ(zr::sampleRateOfEntry(form->sampfreq->itemText(1).toStdString()), fs / 2);
    zr::selectEntry(form->sampfreq, 1);
    EXPECT_TRUE(xline().endsWith(" 40.000000uSec/div")) << xline().toStdString();
    zr::selectEntry(form->sampfreq, 0);
    EXPECT_TRUE(xline().endsWith(" 20.000000uSec/div")) << xline().toStdString();
    // A redraw before the next block relabels from the new settings: 4096 points 1/fs apart.
    form->relabel = true;
    form->drawgraph();
    EXPECT_EQ(form->npoints, 4096);
    EXPECT_DOUBLE_EQ(form->xstep, 1.0 / fs);
}

TEST_F(ResamplingLoop, ZoomAndSpectrumAreNeverResampled) {
    option(1);
    rate(3);
    zr::selectEntry(form->datatype, 1); // zoom
    single();
    EXPECT_EQ(form->npoints, form->blocklen);
    EXPECT_DOUBLE_EQ(form->xstart, 0.0);
    zr::selectEntry(form->datatype, 0);
    zr::selectEntry(form->measmode, 1);
    single();
    EXPECT_EQ(form->npoints, 512); // half the block: the baseband spectrum lines
    EXPECT_DOUBLE_EQ(form->xstep, fs / 1024);
}

} // namespace
