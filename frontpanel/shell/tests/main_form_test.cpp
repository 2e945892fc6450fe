// The main window's controls: wiring to handlers and the picture (panel switching is checked
// with the Tab walk in keyboard_test.cpp).
#include "common/tests/window_fixture.h"
#include "shell/picture_box.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

namespace {

struct FormFixture : zr::test::WindowTest<> {
    QStringList trace;

    void SetUp() override {
        WindowTest::SetUp();
        form->setHandlerTrace([this](const QString& name) { trace << name; });
        // Buttons that start measuring run one pass.
        form->setPassObserver([this](long) { form->stopflag = true; });
    }
};

// That building it calls no driver function shows in startup_test.cpp's logs.
TEST_F(FormFixture, BuildingTheWindowRunsNoHandler) {
    EXPECT_EQ(form->dispatchCount(), 0);
    zr::selectEntry(form->range, 0); // the counter does see a dispatch
    EXPECT_EQ(form->dispatchCount(), 1);
}

TEST_F(FormFixture, EveryListReachesItsOwnHandlerOncePerSelection) {
    // Lists that make no driver call; the preset's traffic shows the others' wiring.
    const std::vector<std::pair<QComboBox*, QString>> lists = {
        {form->markermode, "markermode_Click"}, {form->averaging, "averaging_Click"},
        {form->resamp, "resamp_Click"},         {form->xpos, "xpos_Click"},
        {form->measmode, "measmode_Click"},     {form->histbins, "histbins_Click"}};
    for (const auto& [list, name] : lists) {
        trace.clear();
        zr::selectEntry(list, 1);
        zr::selectEntry(list, 1); // unchanged value: runs again; other lists' handlers may follow
        ASSERT_FALSE(trace.isEmpty()) << name.toStdString();
        EXPECT_EQ(trace.front(), name);
        EXPECT_EQ(trace.count(name), 2) << name.toStdString();
    }
    zr::fillList(form->bandwidth, {"10MHz", "5MHz"}); // lists rebuilt at run time
    zr::selectEntry(form->bandwidth, 0);
    EXPECT_EQ(trace.back(), "bandwidth_Click");
}

TEST_F(FormFixture, ButtonsBoxesAndMenusReachTheirHandlers) {
    zr::clickButton(form->markmove[2]);
    zr::clickButton(form->meascontrol[3]);
    zr::clickOption(form->resampmode[2]);
    form->resetmenu[0]->trigger();
    zr::clickButton(form->Command1);
    zr::setChecked(form->appendstatus, true);
    zr::setChecked(form->xautoflag, true); // read where needed, no handler
    form->about->trigger();
    // Other handlers run in between (the reset's preset); these arrive in order.
    const QStringList own = trace.filter(QRegularExpression(
        "^(markmove_Click|meascontrol_Click|resampmode_Click|resetmenu_Click|Command1_Click|"
        "appendStatus_Click|xautoflag|about_Click)"));
    EXPECT_EQ(own.join(' ').toStdString(),
              "markmove_Click(2) meascontrol_Click(3) resampmode_Click(2) resetmenu_Click(0) "
              "Command1_Click appendStatus_Click about_Click");
}

TEST_F(FormFixture, PictureUserCoordinatesMapCornersAndMouse) {
    form->show();
    QApplication::processEvents();
    auto* pic = form->picbox;
    const QSize s = pic->image().size();
    pic->setScale(-1, 10, 11, -2); // x -1..11 left to right, y 10..-2 top to bottom
    EXPECT_EQ(pic->userTransform().map(QPointF(11, -2)), QPointF(s.width(), s.height()));
    QTest::mouseClick(pic, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(trace, QStringList({"picbox_MouseDown"}));
    double gx = 0;
    pic->setMouseDown([&](int, int, double x, double) { gx = x; });
    QTest::mouseClick(pic, Qt::RightButton, {}, QPoint(s.width() / 2, 5));
    EXPECT_NEAR(gx, 5.0, 12.0 / s.width() + 1e-9);
}

} // namespace
