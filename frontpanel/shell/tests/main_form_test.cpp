// The main window's controls: the wiring of every control to its handler,
// panel switching, and the picture.
#include "driver/tests/fake_instrument.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"
#include "shell/picture_box.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct FormFixture : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;
    QStringList trace;
    int exitStatus = -1;

    void SetUp() override {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([this](int s) { exitStatus = s; });
        form->setHandlerTrace([this](const QString& name) { trace << name; });
        // Buttons that start measuring run one pass; the guide opener does nothing.
        form->setPassObserver([this](long) { form->stopflag = true; });
        form->diagHooks.openUrl = [](const QUrl&) { return true; };
    }
};

TEST(FormBuild, BuildingTheWindowRunsNoHandlerAndCallsNoDriver) {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    const long before = zr::dispatchCount();
    zr::MainForm form(&instrument, &dialogs, QString());
    EXPECT_EQ(zr::dispatchCount(), before);
    EXPECT_TRUE(instrument.log().empty());
    EXPECT_FALSE(form.isVisible());
    zr::selectEntry(form.range, 0); // the counter does see a dispatch
    EXPECT_EQ(zr::dispatchCount(), before + 1);
}

TEST_F(FormFixture, IndicatorsStartHiddenInOnePlace) {
    form->show();
    EXPECT_FALSE(form->badstate->isVisible());
    EXPECT_FALSE(form->overload->isVisible());
    EXPECT_EQ(form->badstate->geometry(), form->overload->geometry());
}

TEST_F(FormFixture, EveryListReachesItsOwnHandlerOncePerSelection) {
    const std::vector<std::pair<QComboBox*, QString>> lists = {
        {form->range, "range_click"},
        {form->coupling, "coupling_Click"},
        {form->signal, "signal_Click"},
        {form->ground, "ground_Click"},
        {form->aliasfilt, "aliasfilt_Click"},
        {form->datatype, "datatype_Click"},
        {form->blocksize, "blocksize_click"},
        {form->precision, "precision_Click"},
        {form->trigsource, "trigsource_Click"},
        {form->trigslope, "trigslope_Click"},
        {form->measmode, "measmode_Click"},
        {form->averaging, "averaging_Click"},
        {form->resamp, "resamp_Click"},
        {form->window, "window_Click"},
        {form->histbins, "histbins_Click"},
        {form->ypos, "ypos_Click"},
        {form->xpos, "xpos_Click"},
        {form->markermode, "markermode_Click"},
        {form->syncmode, "syncmode_Click"},
        {form->clocksource, "clocksource_Click"},
        {form->mastermode, "mastermode_Click"},
        {form->calmode, "calmode_Click"},
        {form->dataout, "dataout_Click"},
        {form->bumping, "bumping_Click"},
        {form->tau, "tau_Click"},
        {form->trimdac, "trimdac_Click"}};
    for (const auto& [list, name] : lists) {
        trace.clear();
        zr::selectEntry(list, 1);
        zr::selectEntry(list, 1); // unchanged value: runs again
        // A handler may select entries of other lists itself (the mode
        // handler selects the reference positions); the list's own handler
        // still runs exactly once per selection, first.
        ASSERT_FALSE(trace.isEmpty()) << name.toStdString();
        EXPECT_EQ(trace.front(), name);
        EXPECT_EQ(trace.count(name), 2) << name.toStdString();
    }
    // Lists rebuilt at run time: filling runs nothing, selecting runs once.
    trace.clear();
    zr::fillList(form->bandwidth, {"10MHz", "5MHz"});
    zr::fillList(form->sampfreq, {"20.48MHz"});
    EXPECT_TRUE(trace.isEmpty());
    zr::selectEntry(form->bandwidth, 0);
    zr::selectEntry(form->sampfreq, 0);
    EXPECT_EQ(trace, QStringList({"bandwidth_Click", "sampfreq_Click"}));
}

TEST_F(FormFixture, ButtonArraysPassTheirIndex) {
    zr::clickButton(form->markmove[2]);
    zr::clickButton(form->meascontrol[3]);
    zr::clickButton(form->markrelload[1]);
    zr::clickOption(form->resampmode[2]);
    form->resetmenu[0]->trigger();
    form->editmenu[0]->trigger();
    // Handlers that run other controls' handlers (the reset's preset, the
    // option's rate list) add those in between; the arrays' own handlers
    // arrive in order with their indices.
    const QStringList own = trace.filter(QRegularExpression(
        "^(markmove|meascontrol|markrelload|resampmode|resetmenu|editmenu)_Click\\("));
    EXPECT_EQ(own.join(' ').toStdString(),
              "markmove_Click(2) meascontrol_Click(3) markrelload_Click(1) resampmode_Click(2) "
              "resetmenu_Click(0) editmenu_Click(0)");
}

TEST_F(FormFixture, SingleButtonsAndCheckBoxes) {
    for (auto* b : {form->autorange, form->autozero, form->yauto, form->xauto, form->autohist,
                    form->markstepload, form->Command1}) {
        zr::clickButton(b);
    }
    zr::setChecked(form->appendstatus, true);
    zr::setChecked(form->triggen, false);
    zr::setChecked(form->slowclock, true);
    zr::setChecked(form->xautoflag, true); // read where needed, no handler
    zr::setChecked(form->showcal, true);
    zr::setChecked(form->markrel[0], true);
    form->selftest->trigger();
    form->hlp->trigger();
    form->about->trigger();
    // Auto Range selects the chosen range, which runs the range list's handler
    // too; the controls' own handlers arrive once each, in order.
    const QStringList expected = {"autorange_Click", "autozero_Click",     "yauto_Click",
                                  "xauto_click",     "autohist_Click",     "markstepload_Click",
                                  "Command1_Click",  "appendStatus_Click", "triggen_Click",
                                  "slowclock_Click", "selftest_Click",     "hlp_Click",
                                  "about_Click"};
    QStringList own;
    for (const QString& name : trace) {
        if (expected.contains(name)) {
            own << name;
        }
    }
    EXPECT_EQ(own.join(' ').toStdString(), expected.join(' ').toStdString());
    EXPECT_TRUE(trace.contains("range_click"));
}

TEST_F(FormFixture, ControlMenuSwitchesPanelsAndDiagnosticsFlag) {
    form->show();
    for (int i = 0; i < 8; ++i) {
        form->controlmenu[i]->trigger();
        int visible = 0;
        for (int k = 0; k < 8; ++k) {
            visible += form->Frame1[k]->isVisible();
        }
        EXPECT_EQ(visible, 1);
        EXPECT_TRUE(form->Frame1[i]->isVisible()) << i;
        EXPECT_EQ(form->diagshown, i == 7) << i;
    }
    form->controlmenu_click(3);
    EXPECT_FALSE(form->diagshown);
    EXPECT_TRUE(form->Frame1[3]->isVisible());
    form->controlmenu_click(8); // no such panel: nothing changes
    EXPECT_TRUE(form->Frame1[3]->isVisible());
}

// Enter is consumed (and commits, see the settings window tests); every key asks for new axes.
TEST_F(FormFixture, KeyPressConsumesOnlyEnter) {
    for (const int typed : {int{'x'}, zr::kKeyEnter}) {
        int key = typed;
        form->relabel = false;
        form->txt_KeyPress(0, key);
        EXPECT_EQ(key, typed == zr::kKeyEnter ? 0 : typed);
        EXPECT_TRUE(form->relabel);
    }
}

TEST_F(FormFixture, GraphGrowsWithTheWindowAndKeepsAMatchingImage) {
    form->show();
    QApplication::processEvents();
    const QSize before = form->picbox->size();
    QSignalSpy resized(form->picbox, &zr::PictureBox::resized);
    form->resize(form->width() + 200, form->height() + 150);
    QApplication::processEvents();
    const QSize after = form->picbox->size();
    EXPECT_GT(after.width(), before.width());
    EXPECT_GT(after.height(), before.height());
    EXPECT_EQ(form->picbox->image().size(), after);
    EXPECT_GE(resized.count(), 1);
}

TEST_F(FormFixture, PictureUserCoordinatesMapCornersAndMouse) {
    form->show();
    QApplication::processEvents();
    auto* pic = form->picbox;
    const QSize s = pic->image().size();
    pic->setScale(-1, 10, 11, -2); // x -1..11 left to right, y 10..-2 top to bottom
    const QPointF tl = pic->userTransform().map(QPointF(-1, 10));
    const QPointF br = pic->userTransform().map(QPointF(11, -2));
    EXPECT_NEAR(tl.x(), 0, 1e-9);
    EXPECT_NEAR(tl.y(), 0, 1e-9);
    EXPECT_NEAR(br.x(), s.width(), 1e-9);
    EXPECT_NEAR(br.y(), s.height(), 1e-9);
    QTest::mouseClick(pic, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(trace, QStringList({"picbox_MouseDown"}));
    double gx = 0;
    int gb = 0;
    pic->setMouseDown([&](int b, int, double x, double) {
        gb = b;
        gx = x;
    });
    QTest::mouseClick(pic, Qt::RightButton, {}, QPoint(s.width() / 2, 5));
    EXPECT_EQ(gb, 2);
    EXPECT_NEAR(gx, 5.0, 12.0 / s.width() + 1e-9);
}

} // namespace
