// The marker panel, the click in the graph and the Edit menu of the real
// window (offscreen): which control moves what, which one redraws, what the
// read-out line then shows and what the clipboard gets.
#include "display/tests/loop_fixture.h"
#include "display/tests/window_fixture.h"

#include "display/engformat.h"
#include "display/graph.h"
#include "display/marker.h"
#include "shell/picture_box.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>

#include <cmath>
#include <string>
#include <vector>

namespace {

using zr::test::LoopFixture;
using zr::test::WindowFixture;

constexpr QRgb kMarkerRed = qRgb(128, 0, 0);

struct MarkerWindow : WindowFixture {
    void SetUp() override {
        WindowFixture::SetUp();
        // A time-domain block of 8 points, 0.25 s apart from 0.5 s on, shown
        // 0.25 s per division from 0 s (binary fractions: no rounding).
        block({0.5f, -1.0f, 2.0f, 3.0f, -2.0f, 1.5f, 0.25f, -0.75f}, 0.5, 0.25);
        form->xperdiv[0] = 0.25;
        form->xref[0] = 0.0;
        form->xrefpos[0] = 0;
        form->yperdiv[0] = 1.0;
        form->yref[0] = 0.0;
    }
    // The displayed block of the current mode; the axes stay as set here when a handler redraws.
    void block(std::initializer_list<float> values, double x0, double dx) {
        std::fill(form->dispdata.begin(), form->dispdata.end(), 0.0f);
        std::copy(values.begin(), values.end(), form->dispdata.begin());
        form->npoints = static_cast<int32_t>(values.size());
        form->xstart = x0;
        form->xstep = dx;
        form->relabel = false;
    }
    QString marker() const { return form->lablegraph[3]->text(); }
    // Pixel columns of the picture holding marker-red pixels.
    std::vector<int> redColumns() const {
        const QImage& im = form->picbox->image();
        std::vector<int> cols;
        for (int c = 0; c < im.width(); ++c)
            for (int r = 0; r < im.height(); ++r)
                if (im.pixel(c, r) == kMarkerRed) {
                    cols.push_back(c);
                    break;
                }
        return cols;
    }
    int columnOf(double x) const {
        const QImage& im = form->picbox->image();
        const zr::GraphFrame f = zr::graphFrame(*form, 0);
        return static_cast<int>(
            std::floor(zr::userToPixel(f, x / form->xperdiv[0], 0.0, im.width(), im.height()).col));
    }
    static QString readout(double fx, const char* xunit, double fy, const char* yunit) {
        return QString::fromStdString("Marker: X= " + zr::engformat(fx, 6) + xunit +
                                      "  Y= " + zr::engformat(fy, 6) + yunit);
    }
};

// ---- Move buttons -----------------------------------------------------------

TEST_F(MarkerWindow, PeakSearchesTheWholeBlockAndTakesTheFirstOfEqualMaxima) {
    block({1, 5, 2, 7, 3, 7, 0}, 0.25, 0.5);
    form->xperdiv[0] = 0.1; // the grid shows x 0 .. 1: the peak lies right of it
    form->markx[0] = 100.0;
    zr::clickButton(form->markmove[2]);
    EXPECT_DOUBLE_EQ(form->markx[0], 0.25 + 3 * 0.5);
    EXPECT_EQ(form->txt[0]->text(), "1.75");
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

TEST_F(MarkerWindow, MovesWorkWithTheMarkerOffAndOnlyTouchTheCurrentMode) {
    zr::selectEntry(form->markermode, 0);
    form->modeindex = zr::kModeSpectrum;
    block({1, 2, 3}, 1000.0, 500.0);
    form->markx = {7.0, 1000.0, 9.0};
    zr::clickButton(form->markmove[3]);
    EXPECT_EQ(form->markx, (zr::PerMode{7.0, 1500.0, 9.0}));
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

TEST_F(MarkerWindow, MoveButtonsRedraw) {
    zr::selectEntry(form->markermode, 1);
    form->markx[0] = 1.0;
    zr::clickButton(form->markmove[3]); // ">" to 1.25 s: point 3
    EXPECT_EQ(marker(), readout(1.25, "s", 3.0, "V"));
    EXPECT_EQ(redColumns(), std::vector<int>{columnOf(1.25)});
    form->markx[0] = 0.0;
    zr::clickButton(form->markmove[2]); // "Peak": point 3 again
    EXPECT_EQ(marker(), readout(1.25, "s", 3.0, "V"));
}

TEST_F(MarkerWindow, LessThanPastTheFirstPointKeepsTheDrawnMarkerOnPointZero) {
    zr::selectEntry(form->markermode, 1);
    form->markx[0] = 0.75;
    zr::clickButton(form->markmove[1]); // onto point 0
    const QString atStart = marker();
    EXPECT_EQ(atStart, readout(0.5, "s", 0.5, "V"));
    EXPECT_EQ(redColumns(), std::vector<int>{columnOf(0.5)});
    const QImage picture = form->picbox->image().copy();
    for (int i = 1; i <= 3; ++i) {
        zr::clickButton(form->markmove[1]); // markx itself is never limited
        EXPECT_EQ(form->markx[0], 0.5 - i * 0.25);
        EXPECT_EQ(marker(), atStart) << i;
        EXPECT_EQ(form->picbox->image(), picture) << i;
    }
    EXPECT_EQ(form->txt[0]->text(), "-0.25");
    for (int i = 0; i < 4; ++i) // back in range after as many ">"
        zr::clickButton(form->markmove[3]);
    EXPECT_EQ(marker(), readout(0.75, "s", -1.0, "V"));
}

// ---- Marker mode and the click in the graph ------------------------------------

TEST_F(MarkerWindow, OffToOnShowsNothingUntilTheNextDraw) {
    zr::selectEntry(form->markermode, 0);
    form->markx[0] = 1.0;
    form->drawgraph();
    EXPECT_TRUE(marker().isEmpty());
    EXPECT_TRUE(redColumns().empty());
    const QImage picture = form->picbox->image().copy();
    zr::selectEntry(form->markermode, 1);
    EXPECT_EQ(form->markmode, 1);
    EXPECT_TRUE(marker().isEmpty());
    EXPECT_EQ(form->picbox->image(), picture);
    form->drawgraph(); // the next block
    EXPECT_EQ(marker(), readout(1.0, "s", 2.0, "V"));
    EXPECT_EQ(redColumns(), std::vector<int>{columnOf(1.0)});
}

TEST_F(MarkerWindow, ClickMovesMarkxAndRedrawsOnlyWithTheMarkerOn) {
    zr::selectEntry(form->markermode, 0);
    form->drawgraph();
    const QImage picture = form->picbox->image().copy();
    form->lablegraph[3]->setText("unchanged");
    form->dispdata[7] = 100.0f;             // a redraw would show this
    form->picbox_MouseDown(1, 0, 6.2, 0.0); // 1.55 s: point 4 at 1.5 s
    EXPECT_EQ(form->markx[0], 1.5);
    EXPECT_EQ(form->txt[0]->text(), "1.5");
    EXPECT_EQ(marker(), "unchanged");
    EXPECT_EQ(form->picbox->image(), picture);

    zr::selectEntry(form->markermode, 1);
    form->picbox_MouseDown(2, 0, 6.5, 0.0); // 1.625 s, half-way: point 5 at 1.75 s
    EXPECT_EQ(form->markx[0], 1.75);
    EXPECT_EQ(marker(), readout(1.75, "s", 1.5, "V"));
    EXPECT_NE(form->picbox->image(), picture);
}

TEST_F(MarkerWindow, MouseClickOnThePictureUsesTheDrawnScale) {
    zr::selectEntry(form->markermode, 1);
    form->drawgraph(); // sets the picture's scale
    const zr::GraphFrame f = zr::graphFrame(*form, 0);
    const int width = form->picbox->image().width();
    for (double target : {1.25, 2.0}) {
        // The pixel column nearest to the data point, clicked with the mouse.
        const double col = zr::userToPixel(f, target / form->xperdiv[0], 0, width, 10).col;
        const QPoint at(static_cast<int>(std::lround(col)), form->picbox->height() / 2);
        QTest::mouseClick(form->picbox, Qt::LeftButton, Qt::NoModifier, at);
        const double expected = zr::mouseMarkX(zr::pixelToUserX(f, at.x(), width), f.xperdiv,
                                               form->xstart, form->xstep, form->npoints);
        EXPECT_DOUBLE_EQ(form->markx[0], expected) << target;
        EXPECT_EQ(form->markx[0], target) << target;
    }
}

// ---- Relative references ----------------------------------------------------------

TEST_F(MarkerWindow, RelativeXTakesMarkxRelativeYTheRawValueAtTheRoundedPoint) {
    form->markx[0] = 1.125; // point 2.5 rounds to the even point 2
    zr::clickButton(form->markrelload[0]);
    EXPECT_DOUBLE_EQ(form->relx[0], 1.125);
    EXPECT_EQ(form->txt[15]->text(), "1.125");
    zr::clickButton(form->markrelload[1]);
    EXPECT_DOUBLE_EQ(form->rely[0], 2.0);
    EXPECT_EQ(form->txt[16]->text(), "2");
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

TEST_F(MarkerWindow, NoiseMarkerWithHannAtTenHertzSubtractsTenLogFifteen) {
    form->modeindex = 1;
    form->xstart = 0.0;
    form->xstep = 10.0;
    form->xperdiv[1] = 10.0;
    form->markx[1] = 20.0;
    form->dispdata[2] = -20.5f;
    form->windowindex = 1; // "Hann"
    zr::selectEntry(form->markermode, 2);
    zr::clickButton(form->markmove[3]); // 30 Hz: point 3
    EXPECT_EQ(marker(), readout(30.0, "Hz", 3.0 - 10.0 * std::log10(15.0), "dBm/Hz"));
    form->windowindex = 0; // "Uniform": 10 dB
    zr::clickButton(form->markmove[1]);
    EXPECT_EQ(marker(), readout(20.0, "Hz", -30.5, "dBm/Hz"));
    // Relative Y: dB/Hz, the reference subtracted first.
    form->markrel[1]->setChecked(true);
    zr::clickButton(form->markrelload[1]); // rely = raw -20.5, no redraw
    EXPECT_EQ(marker(), readout(20.0, "Hz", -30.5, "dBm/Hz"));
    zr::clickButton(form->markmove[2]); // "Peak" redraws: point 3
    EXPECT_EQ(marker(), readout(30.0, "Hz", 3.0 + 20.5 - 10.0, "dB/Hz"));
}

// ---- Edit menu --------------------------------------------------------------------

TEST_F(MarkerWindow, CopyGraphAndCopyCaptionEachLeaveOnlyTheirOwnData) {
    zr::selectEntry(form->markermode, 1);
    form->markx[0] = 1.25;
    form->drawgraph();
    form->editmenu_Click(1); // text first, so that the copy must replace it
    form->editmenu[0]->trigger();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_FALSE(mime->hasText());
    const QImage copied = qvariant_cast<QImage>(mime->imageData());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              form->picbox->image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(copied.pixel(columnOf(1.25), 0), kMarkerRed); // the marker line is part of it

    const char* lines[5] = {"A", "", "C", "Marker: X=    1.250000MHz  Y=  -20.500000dBm",
                            "Averages =  12"};
    for (int i = 0; i < 5; ++i)
        form->lablegraph[i]->setText(lines[i]);
    form->editmenu[1]->trigger();
    mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_FALSE(mime->hasImage());
    EXPECT_EQ(mime->text(), "A\rC\rMarker: X=    1.250000MHz  Y=  -20.500000dBm\rAverages =  12\r");
}

// ---- Read-out lines of the running window -----------------------------------------

struct CaptionLoop : LoopFixture {};

TEST_F(CaptionLoop, CopyCaptionHasTheAxisLinesAndTheMarkerReadoutWhenOn) {
    zr::selectEntry(form->markermode, 0);
    zr::selectEntry(form->averaging, 0);
    single();
    form->editmenu[1]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), form->lablegraph[0]->text() + "\r" +
                                                        form->lablegraph[1]->text() + "\r" +
                                                        form->lablegraph[2]->text() + "\r");
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(form->lablegraph[i]->text().isEmpty()) << i;

    zr::selectEntry(form->markermode, 1);
    single();
    form->editmenu[1]->trigger();
    const QStringList lines = QGuiApplication::clipboard()->text().split('\r');
    ASSERT_EQ(lines.size(), 5); // four lines and the empty rest after the last CR
    EXPECT_TRUE(lines[3].startsWith("Marker: X= "));
    EXPECT_TRUE(lines[4].isEmpty());
}

} // namespace
