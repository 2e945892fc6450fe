// Mouse zoom and pan on the graph of the real window (offscreen): the wheel and a Shift or
// middle-button drag set X-Ref / X-Per Div through the display fields; clicks still place the
// marker.
#include "common/tests/window_fixture.h"
#include "shell/picture_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QTest>
#include <QWheelEvent>

using ZoomWindow = zr::test::WindowTest<>;

TEST_F(ZoomWindow, WheelZoomsAboutTheCursorDragsPanAndStillClicksPlaceTheMarker) {
    form->picbox->setFixedSize(501, 300); // 10 divisions over 501 pixels: 50 per division
    form->resize(1000, 700);
    form->show();
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
