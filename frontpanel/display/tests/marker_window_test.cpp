// The marker panel, the click in the graph and the Edit menu of the real
// window (offscreen), against the recording instrument.
#include "display/tests/window_fixture.h"

#include "display/marker.h"
#include "settings/number_text.h"
#include "shell/controls.h"
#include "shell/picture_box.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using zr::test::WindowFixture;

QString number(double v) {
    return QString::fromStdString(zr::formatNumber(v));
}

struct MarkerWindow : WindowFixture {
    // A displayed block of n points starting at x0, spaced dx, in the current mode.
    void block(std::initializer_list<float> values, double x0, double dx) {
        std::fill(form->dispdata.begin(), form->dispdata.end(), 0.0f);
        std::copy(values.begin(), values.end(), form->dispdata.begin());
        form->npoints = static_cast<int32_t>(values.size());
        form->xstart = x0;
        form->xstep = dx;
        form->relabel = false; // the axes stay as set here when a handler redraws
    }
};

// ---- Move buttons -----------------------------------------------------------

TEST_F(MarkerWindow, PeakTakesTheFirstOfEqualMaxima) {
    block({1, 5, 2, 7, 3, 7, 0}, 0.25, 0.5);
    form->markx[0] = 100.0;
    zr::clickButton(form->markmove[2]);
    EXPECT_DOUBLE_EQ(form->markx[0], 0.25 + 3 * 0.5);
    EXPECT_EQ(form->txt[0]->text(), "1.75");
}

TEST_F(MarkerWindow, PeakOnPointZeroIsXstart) {
    block({9, 5, 2, 7, 3, 8.5f}, 1e-6, 1e-6);
    form->markx[0] = 3e-6;
    zr::clickButton(form->markmove[2]);
    EXPECT_DOUBLE_EQ(form->markx[0], 1e-6);
    EXPECT_EQ(form->txt[0]->text(), number(1e-6));
}

TEST_F(MarkerWindow, PeakSearchesTheWholeBlockNotOnlyTheVisiblePart) {
    // The peak lies far right of the ten divisions shown.
    block({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4}, 0, 1);
    form->xperdiv[0] = 0.1; // the grid shows x 0 .. 1
    zr::clickButton(form->markmove[2]);
    EXPECT_DOUBLE_EQ(form->markx[0], 19.0);
}

TEST_F(MarkerWindow, StepButtonsMoveByXstepAndMarkstep) {
    block({0, 0, 0, 0}, 0, 0.25);
    form->markstep[0] = 2.0;
    form->markx[0] = 1.0;
    zr::clickButton(form->markmove[3]); // ">"
    EXPECT_DOUBLE_EQ(form->markx[0], 1.25);
    zr::clickButton(form->markmove[4]); // ">>"
    EXPECT_DOUBLE_EQ(form->markx[0], 3.25);
    EXPECT_EQ(form->txt[0]->text(), "3.25");
    zr::clickButton(form->markmove[0]); // "<<"
    zr::clickButton(form->markmove[1]); // "<"
    EXPECT_DOUBLE_EQ(form->markx[0], 1.0);
    EXPECT_EQ(form->txt[0]->text(), "1");
}

TEST_F(MarkerWindow, LessThanPastTheFirstPointKeepsDecreasingMarkx) {
    block({3, 1, 2}, 0.5, 0.25);
    form->markx[0] = 0.5;
    for (int i = 1; i <= 4; ++i) {
        zr::clickButton(form->markmove[1]);
        EXPECT_DOUBLE_EQ(form->markx[0], 0.5 - 0.25 * i);
    }
    EXPECT_EQ(form->txt[0]->text(), "-0.5");
}

TEST_F(MarkerWindow, MovesWorkWithTheMarkerOffAndOnlyTouchTheCurrentMode) {
    zr::selectEntry(form->markermode, 0);
    form->modeindex = zr::kModeSpectrum;
    block({1, 2, 3}, 1000.0, 500.0);
    form->markx = {7.0, 1000.0, 9.0};
    zr::clickButton(form->markmove[3]);
    EXPECT_DOUBLE_EQ(form->markx[1], 1500.0);
    EXPECT_DOUBLE_EQ(form->markx[0], 7.0);
    EXPECT_DOUBLE_EQ(form->markx[2], 9.0);
    EXPECT_EQ(form->txt[0]->text(), "1500");
}

TEST_F(MarkerWindow, MarkstepLoadThenStepRightDoublesTheMarker) {
    form->modeindex = zr::kModeSpectrum;
    block({0, 0, 0, 0}, 0, 10000.0);
    form->markx[1] = 2.5e6;
    zr::clickButton(form->markstepload);
    EXPECT_DOUBLE_EQ(form->markstep[1], 2.5e6);
    EXPECT_EQ(form->txt[17]->text(), "2500000");
    zr::clickButton(form->markmove[4]);
    EXPECT_DOUBLE_EQ(form->markx[1], 5e6);
    EXPECT_EQ(form->txt[0]->text(), "5000000");
}

// ---- Marker mode --------------------------------------------------------------

TEST_F(MarkerWindow, MarkerModeStoresTheListIndex) {
    for (int i : {0, 2, 1}) {
        zr::selectEntry(form->markermode, i);
        EXPECT_EQ(form->markmode, i);
    }
}

// ---- Click in the graph -------------------------------------------------------

TEST_F(MarkerWindow, ClickHalfWaySelectsTheHigherPoint) {
    block({0, 0, 0, 0, 0, 0}, 0.0, 0.5);
    form->xperdiv[0] = 2.0;
    // x value 1.25 lies half-way between points 2 (1.0) and 3 (1.5).
    form->picbox_MouseDown(1, 0, 1.25 / 2.0, 0.0);
    EXPECT_DOUBLE_EQ(form->markx[0], 1.5);
    EXPECT_EQ(form->txt[0]->text(), "1.5");
    // Just below half-way: the lower point.
    form->picbox_MouseDown(2, 0, 1.2 / 2.0, 123.0);
    EXPECT_DOUBLE_EQ(form->markx[0], 1.0);
}

TEST_F(MarkerWindow, ClickOutsideTheDataPutsTheMarkerOnTheEndPoints) {
    block({0, 0, 0, 0}, 10.0, 2.0);
    form->xperdiv[0] = 1.0;
    form->picbox_MouseDown(1, 0, -50.0, 0.0);
    EXPECT_DOUBLE_EQ(form->markx[0], 10.0);
    form->picbox_MouseDown(4, 1, 50.0, 0.0);
    EXPECT_DOUBLE_EQ(form->markx[0], 16.0);
    EXPECT_EQ(form->txt[0]->text(), "16");
}

// ---- Relative references --------------------------------------------------------

TEST_F(MarkerWindow, RelativeXTakesMarkx) {
    form->markx[0] = -2.5e-6;
    zr::clickButton(form->markrelload[0]);
    EXPECT_DOUBLE_EQ(form->relx[0], -2.5e-6);
    EXPECT_EQ(form->txt[15]->text(), number(-2.5e-6));
}

TEST_F(MarkerWindow, RelativeYReadsTheRawValueAtTheRoundedPointHalfToEven) {
    block({10, 11, 12, 13, 14, 15}, 0.0, 1.0);
    form->markx[0] = 2.5; // point 2
    zr::clickButton(form->markrelload[1]);
    EXPECT_DOUBLE_EQ(form->rely[0], 12.0);
    EXPECT_EQ(form->txt[16]->text(), "12");
    form->markx[0] = 3.5; // point 4
    zr::clickButton(form->markrelload[1]);
    EXPECT_DOUBLE_EQ(form->rely[0], 14.0);
    form->markx[0] = -7.0; // left of the data: point 0
    zr::clickButton(form->markrelload[1]);
    EXPECT_DOUBLE_EQ(form->rely[0], 10.0);
    form->markx[0] = 99.0; // right of the data: the last point
    zr::clickButton(form->markrelload[1]);
    EXPECT_DOUBLE_EQ(form->rely[0], 15.0);
}

TEST_F(MarkerWindow, RelativeYIgnoresNoiseAndRelativeCorrections) {
    form->modeindex = zr::kModeSpectrum;
    zr::selectEntry(form->markermode, 2);
    form->markrel[1]->setChecked(true);
    form->rely[1] = 100.0;
    block({-20.5f, -30.25f}, 0.0, 10.0);
    form->markx[1] = 10.0;
    zr::clickButton(form->markrelload[1]);
    EXPECT_DOUBLE_EQ(form->rely[1], -30.25);
    EXPECT_EQ(form->txt[16]->text(), "-30.25");
}

// ---- Edit menu --------------------------------------------------------------------

TEST_F(MarkerWindow, CopyCaptionSkipsEmptyLinesAndEndsEachWithACarriageReturn) {
    form->lablegraph[0]->setText("Time Domain");
    form->lablegraph[1]->setText("X: 5us/div");
    form->lablegraph[2]->setText("Y: 1V/div");
    form->lablegraph[3]->setText("");
    form->lablegraph[4]->setText("");
    form->editmenu[1]->trigger();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), "Time Domain\rX: 5us/div\rY: 1V/div\r");
    EXPECT_FALSE(mime->hasImage());
}

TEST_F(MarkerWindow, CopyCaptionKeepsTheOrderOfTheLines) {
    form->lablegraph[0]->setText("A");
    form->lablegraph[1]->setText("");
    form->lablegraph[2]->setText("C");
    form->lablegraph[3]->setText("Marker: X=    1.250000MHz  Y=  -20.500000dBm");
    form->lablegraph[4]->setText("Averages =  12");
    form->editmenu_Click(1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "A\rC\rMarker: X=    1.250000MHz  Y=  -20.500000dBm\rAverages =  12\r");
}

TEST_F(MarkerWindow, CopyGraphLeavesOnlyThePicture) {
    form->lablegraph[0]->setText("Spectrum");
    form->editmenu_Click(1); // text first, so that the copy must replace it
    QImage& image = form->picbox->image();
    image.fill(qRgb(10, 20, 30));
    image.setPixel(3, 4, qRgb(200, 0, 0));
    form->editmenu[0]->trigger();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasImage());
    EXPECT_FALSE(mime->hasText());
    const QImage copied = qvariant_cast<QImage>(mime->imageData());
    ASSERT_EQ(copied.size(), image.size());
    EXPECT_EQ(copied.pixel(3, 4), qRgb(200, 0, 0));
    EXPECT_EQ(copied.pixel(0, 0), qRgb(10, 20, 30));
}

TEST_F(MarkerWindow, CopyCaptionAfterCopyGraphLeavesOnlyText) {
    form->editmenu_Click(0);
    form->lablegraph[0]->setText("Histogram");
    form->editmenu_Click(1);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_FALSE(mime->hasImage());
    EXPECT_TRUE(mime->text().startsWith("Histogram\r"));
}

} // namespace
