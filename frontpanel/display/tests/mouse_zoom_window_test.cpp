// Mouse zoom and pan on the graph of the real window (offscreen): the wheel and a Shift or
// middle-button drag set X-Ref / X-Per Div through the display fields; clicks still place the
// marker.
#include "driver/tests/fake_instrument.h"
#include "common/controls.h"
#include "common/tests/scripted_dialogs.h"
#include "shell/main_form.h"
#include "shell/picture_box.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct ZoomWindow : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;

    void SetUp() override {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([](int) {});
        // 10 divisions over 501 pixels: 50 pixels per division.
        form->picbox->setFixedSize(501, 300);
        form->resize(1000, 700);
        form->show();
        QCoreApplication::processEvents();
        ASSERT_EQ(form->picbox->image().width(), 501);
        // Histogram of 16 bins over 0 .. 4 V: 16 points 0.25 V apart from 0. X-Ref 0.5 V at the
        // centre, 0.25 V per division: the left edge is at -0.75 V.
        form->presetall();
        zr::setChecked(form->xautoflag, false);
        zr::selectEntry(form->measmode, 2);
        zr::selectEntry(form->histbins, 0);
        setField(4, "0");
        setField(5, "4");
        zr::selectEntry(form->xpos, 1);
        setField(12, "0.5");
        setField(13, "0.25");
        form->drawgraph();
        ASSERT_EQ(form->xstep, 0.25);
        ASSERT_EQ(form->xstart, 0.0);
        instrument.clearLog();
    }
    void TearDown() override { form.reset(); }
    void setField(int index, const char* text) {
        form->txt[static_cast<std::size_t>(index)]->setText(text);
        form->txt_lostfocus(index);
    }
    void wheel(int col, int notches) {
        const QPointF at(col, 150);
        QWheelEvent e(at, form->picbox->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(form->picbox, &e);
    }
    void move(int col, Qt::MouseButton button, Qt::KeyboardModifiers mods) {
        const QPointF at(col, 150);
        QMouseEvent e(QEvent::MouseMove, at, form->picbox->mapToGlobal(at), Qt::NoButton, button,
                      mods);
        QCoreApplication::sendEvent(form->picbox, &e);
    }
    QString field(int index) const { return form->txt[static_cast<std::size_t>(index)]->text(); }
};

TEST_F(ZoomWindow, WheelStepZoomsXAboutTheCursorThroughTheFields) {
    const long draws = form->drawCount();
    wheel(100, 1); // column 100 is -0.25 V; one notch away halves X-Per Div
    EXPECT_EQ(field(12), "0.125");
    EXPECT_EQ(field(13), "0.125");
    EXPECT_EQ(form->xref[2], 0.125);
    EXPECT_EQ(form->xperdiv[2], 0.125);
    EXPECT_EQ(form->drawCount(), draws + 1); // paused: drawn again at once
    wheel(100, -1);                          // back out about the same x
    EXPECT_EQ(field(12), "0.5");
    EXPECT_EQ(field(13), "0.25");
    EXPECT_TRUE(instrument.log().empty()); // typing these values calls no driver operation
}

TEST_F(ZoomWindow, ShiftOrMiddleDragPansAndAStillClickPlacesTheMarker) {
    setField(0, "3"); // a press that placed the marker would put it on point 0
    QTest::mousePress(form->picbox, Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 150));
    move(130, Qt::LeftButton, Qt::ShiftModifier);
    move(150, Qt::LeftButton, Qt::ShiftModifier); // 50 columns: one division to the right
    QTest::mouseRelease(form->picbox, Qt::LeftButton, Qt::ShiftModifier, QPoint(150, 150));
    EXPECT_EQ(field(12), "0.25");
    EXPECT_EQ(form->markx[2], 3.0); // a drag does not move the marker
    QTest::mousePress(form->picbox, Qt::MiddleButton, Qt::NoModifier, QPoint(150, 150));
    move(50, Qt::MiddleButton, Qt::NoModifier);
    QTest::mouseRelease(form->picbox, Qt::MiddleButton, Qt::NoModifier, QPoint(50, 150));
    EXPECT_EQ(field(12), "0.75");
    EXPECT_EQ(form->markx[2], 3.0);
    // Without moving, both are clicks: column 300 is 0.75 + 1 division = 1 V, point 4.
    QTest::mouseClick(form->picbox, Qt::MiddleButton, Qt::NoModifier, QPoint(300, 150));
    EXPECT_EQ(form->markx[2], 1.0);
    QTest::mouseClick(form->picbox, Qt::LeftButton, Qt::ShiftModifier, QPoint(350, 150));
    EXPECT_EQ(form->markx[2], 1.25);
    EXPECT_EQ(form->txt[0]->text(), "1.25");
}

} // namespace
