// The marker panel, the mouse on the graph and the Edit menu of the real window
// (offscreen): which control moves what, which one redraws, and what the
// read-out line and the clipboard get (the read-out arithmetic is in marker_test.cpp).
// The wheel and a Shift or middle-button drag set X-Ref / X-Per Div through the display
// fields; clicks still place the marker.
#include "common/tests/window_fixture.h"
#include "display/graph.h"
#include "shell/picture_box.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

namespace {

struct MarkerWindow : zr::test::WindowTest<> {
    void SetUp() override {
        WindowTest::SetUp();
        form->resize(1000, 700);
        form->show();
        QCoreApplication::processEvents(); // the picture takes its laid-out size
        // A time-domain block of 8 points, 0.25 s apart from 0.5 s on, shown
        // 0.25 s per division from 0 s (binary fractions: no rounding).
        const float values[] = {0.5f, -1.0f, 2.0f, 3.0f, -2.0f, 1.5f, 0.25f, -0.75f};
        std::fill(form->dispdata.begin(), form->dispdata.end(), 0.0f);
        std::copy(std::begin(values), std::end(values), form->dispdata.begin());
        form->npoints = 8;
        form->xstart = 0.5;
        form->xstep = 0.25;
        form->relabel = false;
        form->xperdiv[0] = 0.25;
        form->xref[0] = 0.0;
        form->xrefpos[0] = 0;
        form->yperdiv[0] = 1.0;
        form->yref[0] = 0.0;
    }
    QString marker() const { return form->lablegraph[3]->text(); }
    int columnOf(double x) const {
        const QImage& im = form->picbox->image();
        const zr::GraphFrame f = zr::graphFrame(*form, 0);
        return static_cast<int>(
            std::floor(zr::userToPixel(f, x / form->xperdiv[0], 0.0, im.width(), im.height()).col));
    }
};

TEST_F(MarkerWindow, ButtonsMoveOrLoadTheCurrentModesValuesShowThemAndMovesRedraw) {
    zr::selectEntry(form->markermode, 1);
    form->markstep = {2.0, 7.0, 9.0};
    form->markx = {0.0, 8.0, 9.0};
    zr::clickButton(form->markmove[2]); // "Peak": point 3
    EXPECT_EQ(form->markx[0], 1.25);
    EXPECT_EQ(marker(), "Marker: X=    1.250000s  Y=    3.000000V");
    zr::clickButton(form->markmove[0]); // "<<" by markstep
    zr::clickButton(form->markmove[3]); // ">" by xstep
    EXPECT_EQ(form->markx, (zr::PerMode{-0.5, 8.0, 9.0}));
    EXPECT_EQ(form->txt[0]->text(), "-0.5");
    form->markx[0] = 1.125; // point 2.5 rounds to the even point 2
    zr::clickButton(form->markrelload[0]);
    EXPECT_EQ(form->relx[0], 1.125);
    EXPECT_EQ(form->txt[15]->text(), "1.125");
    zr::clickButton(form->markrelload[1]);
    EXPECT_EQ(form->rely[0], 2.0);
    EXPECT_EQ(form->txt[16]->text(), "2");
    zr::clickButton(form->markstepload);
    EXPECT_EQ(form->markstep[0], 1.125);
    EXPECT_EQ(form->txt[17]->text(), "1.125");
    zr::clickButton(form->markmove[4]); // ">>": the marker doubles
    EXPECT_EQ(form->markx[0], 2.25);
}

// A click on the picture moves markx and redraws only with the marker on; switching the marker
// on shows nothing until the next draw.
TEST_F(MarkerWindow, ClickMovesMarkxAndRedrawsOnlyWithTheMarkerOnWhichShowsFromTheNextDraw) {
    zr::selectEntry(form->markermode, 0);
    form->drawgraph(); // sets the picture's scale
    EXPECT_TRUE(marker().isEmpty());
    const QImage picture = form->picbox->image().copy();
    const int y = form->picbox->height() / 2;
    QTest::mouseClick(form->picbox, Qt::LeftButton, Qt::NoModifier, QPoint(columnOf(1.5), y));
    EXPECT_EQ(form->markx[0], 1.5);
    EXPECT_EQ(form->txt[0]->text(), "1.5");
    EXPECT_EQ(form->picbox->image(), picture);
    zr::selectEntry(form->markermode, 1);
    EXPECT_TRUE(marker().isEmpty());
    EXPECT_EQ(form->picbox->image(), picture);
    QTest::mouseClick(form->picbox, Qt::LeftButton, Qt::NoModifier, QPoint(columnOf(1.0), y));
    EXPECT_EQ(marker(), "Marker: X=    1.000000s  Y=    2.000000V");
}

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
    EXPECT_EQ(copied.pixel(columnOf(1.25), 0), qRgb(128, 0, 0)); // the marker line is part of it

    for (std::size_t i = 0; i < 5; ++i)
        form->lablegraph[i]->setText(i % 2 == 0 ? QString::number(i) : QString());
    form->editmenu[1]->trigger();
    mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_FALSE(mime->hasImage());
    EXPECT_EQ(mime->text(), "0\r2\r4\r");
}

using ZoomWindow = MarkerWindow;

TEST_F(ZoomWindow, WheelZoomsAboutTheCursorDragsPanAndStillClicksPlaceTheMarker) {
    form->picbox->setFixedSize(501, 300); // 10 divisions over 501 pixels: 50 per division
    QCoreApplication::processEvents();
    ASSERT_EQ(form->picbox->image().width(), 501);
    auto field = [&](int index) { return form->txt[static_cast<std::size_t>(index)]->text(); };
    auto send = [&](QEvent::Type type, int col, Qt::MouseButton b, Qt::KeyboardModifiers mods) {
        const QPointF at(col, 150);
        QMouseEvent e(type, at, form->picbox->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : b, b, mods);
        QCoreApplication::sendEvent(form->picbox, &e);
    };
    // Histogram of 16 bins over 0 .. 4 V: points 0.25 V apart from 0. X-Ref 0.5 V at the
    // centre, 0.25 V per division: the left edge is at -0.75 V, column 100 at -0.25 V.
    form->presetall();
    zr::setChecked(form->xautoflag, false);
    zr::selectEntry(form->measmode, 2);
    zr::selectEntry(form->histbins, 0);
    commit(4, "0");
    commit(5, "4");
    zr::selectEntry(form->xpos, 1);
    commit(12, "0.5");
    commit(13, "0.25");
    commit(0, "3"); // a press that placed the marker would move it off 3
    form->drawgraph();
    instrument.clearLog();

    const long draws = form->drawCount();
    for (int notches : {1, -1}) { // away from the user halves X-Per Div, then back
        const QPointF at(100, 150);
        QWheelEvent e(at, form->picbox->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(form->picbox, &e);
        if (notches == 1) {
            EXPECT_EQ(field(12), "0.125"); // -0.25 + (0.5 + 0.25) / 2
            EXPECT_EQ(field(13), "0.125");
            EXPECT_EQ(form->xperdiv[2], 0.125); // the mode's display setup
        }
    }
    EXPECT_EQ(field(12), "0.5");
    EXPECT_EQ(field(13), "0.25");
    EXPECT_EQ(form->drawCount(), draws + 2); // paused: drawn again at once
    EXPECT_TRUE(instrument.log().empty());   // typing these values calls no driver operation

    send(QEvent::MouseButtonPress, 100, Qt::LeftButton, Qt::ShiftModifier);
    send(QEvent::MouseMove, 130, Qt::LeftButton, Qt::ShiftModifier);
    send(QEvent::MouseMove, 150, Qt::LeftButton, Qt::ShiftModifier); // one division right
    send(QEvent::MouseButtonRelease, 150, Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(field(12), "0.25");
    send(QEvent::MouseButtonPress, 150, Qt::MiddleButton, Qt::NoModifier);
    send(QEvent::MouseMove, 50, Qt::MiddleButton, Qt::NoModifier); // two divisions left
    send(QEvent::MouseButtonRelease, 50, Qt::MiddleButton, Qt::NoModifier);
    EXPECT_EQ(field(12), "0.75");
    EXPECT_EQ(form->markx[2], 3.0); // no drag moved the marker
    // Without moving, both are clicks: column 300 is 0.75 + 1 division = 1 V, point 4.
    QTest::mouseClick(form->picbox, Qt::MiddleButton, Qt::NoModifier, QPoint(300, 150));
    EXPECT_EQ(form->markx[2], 1.0);
    QTest::mouseClick(form->picbox, Qt::LeftButton, Qt::ShiftModifier, QPoint(350, 150));
    EXPECT_EQ(field(0), "1.25");
}

} // namespace
