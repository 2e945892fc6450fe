// The main window's controls: names, captions, list orders, initial texts,
// and that each control reaches its handler exactly once.
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
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

QStringList itemsOf(const QComboBox* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i) {
        out << list->itemText(i);
    }
    return out;
}

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

TEST(FormBuild, BuildingTheWindowDispatchesNoHandler) {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    const long before = zr::dispatchCount();
    zr::MainForm form(&instrument, &dialogs, QString());
    EXPECT_EQ(zr::dispatchCount(), before);
    zr::selectEntry(form.range, 0); // the counter does see a dispatch
    EXPECT_EQ(zr::dispatchCount(), before + 1);
}

TEST_F(FormFixture, BuildingTheWindowRunsNoHandlerAndCallsNoDriver) {
    EXPECT_TRUE(instrument.log().empty());
    EXPECT_TRUE(trace.isEmpty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "ZRQ7010A Front Panel");
}

TEST_F(FormFixture, AllEighteenTextFieldsHaveTheirInitialTexts) {
    const QStringList initial = {"0", "20480000", "0",  "10", "-1",    "1",  "0", "-60", "0",
                                 "0", ".1",       "10", "0",  "10e-6", "10", "0", "0",   "0"};
    for (int i = 0; i < 18; ++i) {
        ASSERT_NE(form->txt[i], nullptr) << i;
        EXPECT_EQ(form->txt[i]->text(), initial[i]) << "txt(" << i << ")";
    }
}

TEST_F(FormFixture, PanelsInIndexOrderOneVisible) {
    const QStringList captions = {"Input",   "Acquisition", "Trigger", "Measurement",
                                  "Display", "Marker",      "Clock",   "Diagnostics"};
    form->show();
    int visible = 0;
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(form->Frame1[i]->title(), captions[i]);
        visible += form->Frame1[i]->isVisible();
    }
    EXPECT_EQ(visible, 1);
}

TEST_F(FormFixture, ListsKeepTheirEntriesInOrder) {
    EXPECT_EQ(itemsOf(form->range),
              QStringList({"10.24V, (30dBm)", "5.12V, (24dBm)", "2.56V, (18dBm)", "1.28V, (12dBm)",
                           "640mV, (6dBm)", "320mV, (0dBm)", "160mV, (-6dBm)", "80mV, (-12dBm)",
                           "40mV, (-18dBm)", "20mV, (-24dBm)"}));
    EXPECT_EQ(itemsOf(form->blocksize),
              QStringList({"32", "64", "128", "256", "512", "1024", "2048", "4096"}));
    EXPECT_EQ(itemsOf(form->trigsource), QStringList({"Software", "Input (% range)", "External",
                                                      "Magnitude (dBfs)", "Immediate"}));
    EXPECT_EQ(itemsOf(form->calmode),
              QStringList({"Reset", "Uncalibrated", "Dither only", "Gain + dither", "DAC + dither",
                           "no updates", "no gain update", "Full calibration"}));
    EXPECT_EQ(itemsOf(form->trimdac),
              QStringList({"Input offset (fine)", "Input offset (coarse)", "ADC1 offset",
                           "ADC1 reference", "Sum Node offset", "DAC1 reference", "DAC2 reference",
                           "DAC3 reference", "20MHz Adjust"}));
    EXPECT_EQ(itemsOf(form->window), QStringList({"Uniform", "Hann", "Gauss top", "Flat top"}));
    EXPECT_EQ(itemsOf(form->histbins),
              QStringList({"16", "32", "64", "128", "256", "512", "1024", "2048", "4096"}));
    EXPECT_EQ(itemsOf(form->clocksource),
              QStringList({"20.48MHz", "20MHz", "External", "20MHz locked"}));
    EXPECT_EQ(itemsOf(form->dataout), QStringList({"Normal", "ADC1 only", "ADC2 only"}));
    EXPECT_EQ(itemsOf(form->tau),
              QStringList({"2^22", "2^23", "2^24", "2^25", "2^26", "2^27", "2^28", "2^29"}));
    EXPECT_EQ(itemsOf(form->ypos), QStringList({"Top", "Center", "Bottom"}));
    EXPECT_EQ(itemsOf(form->xpos), QStringList({"Left", "Center", "Right"}));
    EXPECT_EQ(itemsOf(form->markermode), QStringList({"Off", "On", "Noise"}));
    EXPECT_EQ(itemsOf(form->syncmode), QStringList({"Independent", "Front", "Rear"}));
    EXPECT_EQ(itemsOf(form->resamp), QStringList({"1x", "2x", "4x", "8x"}));
    EXPECT_EQ(form->bandwidth->count(), 0);
    EXPECT_EQ(form->sampfreq->count(), 0);
}

TEST_F(FormFixture, LabelsButtonsAndIndicators) {
    EXPECT_EQ(form->labl[4], nullptr);
    EXPECT_EQ(form->labl[0]->text(), "Range");
    EXPECT_EQ(form->labl[5]->text(), "Alias Filter");
    EXPECT_EQ(form->labl[7]->text(), "Ext clock freq");
    EXPECT_EQ(form->labl[22]->text(), "Level (% range)");
    EXPECT_EQ(form->labl[26]->text(), "Y-Ref,");
    EXPECT_EQ(form->labl[35]->text(), "Step size");
    for (int i : {0,  1,  2,  3,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18,
                  19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35}) {
        EXPECT_NE(form->labl[i], nullptr) << i;
    }
    EXPECT_EQ(form->lablyunits->text(), "Volts");
    EXPECT_EQ(form->lablxunits->text(), "Hz");
    EXPECT_EQ(form->Label10->text(), "Rate multiplier");
    EXPECT_EQ(form->Label8->text(), "Bump=");
    const QStringList meas = {"Start", "Pause", "Continue", "Single"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form->meascontrol[i]->text(), meas[i]);
    }
    const QStringList moves = {"<<", "<", "Peak", ">", ">>"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form->markmove[i]->text(), moves[i]);
    }
    EXPECT_EQ(form->Frame4->title(), "Filter && Resample");
    EXPECT_TRUE(form->resampmode[0]->isChecked());
    EXPECT_EQ(form->resampmode[0]->text(), "Default Q7010");
    EXPECT_FALSE(form->resamp->isEnabled());
    EXPECT_EQ(form->appendstatus->text(), "Overload linked to Block");
    EXPECT_FALSE(form->appendstatus->isChecked());
    EXPECT_EQ(form->autohist->text(), "Auto Limit Set");
    EXPECT_EQ(form->Command1->text(), "Save");
    form->show();
    EXPECT_EQ(form->badstate->text(), "BAD SETUP");
    EXPECT_EQ(form->overload->text(), "OVERLOAD");
    EXPECT_FALSE(form->badstate->isVisible());
    EXPECT_FALSE(form->overload->isVisible());
    EXPECT_EQ(form->badstate->geometry(), form->overload->geometry()); // one place
}

TEST_F(FormFixture, MenusInOrderWithDiagnosticsHidden) {
    const auto menus = form->menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), "Edit");
    EXPECT_EQ(menus[1]->text(), "Control");
    EXPECT_EQ(menus[2]->text(), "Reset");
    EXPECT_EQ(menus[3]->text(), "Help");
    const auto items = form->mcontrol->actions();
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ(items[0]->text(), "Input");
    EXPECT_EQ(items[7]->text(), "Diagnostics");
    EXPECT_FALSE(items[7]->isVisible());
    EXPECT_TRUE(items[8]->isSeparator());
    EXPECT_EQ(items[9]->text(), "Self Test");
    EXPECT_EQ(form->editmenu[1]->text(), "Copy Caption");
    EXPECT_EQ(form->resetmenu[1]->text(), "Hard Reset");
    EXPECT_EQ(form->hlp->text(), "ZRQ7010 Help");
}

TEST_F(FormFixture, CalibrationWindowIsHiddenFixedPitchAndPrintable) {
    ASSERT_NE(form->cal, nullptr);
    EXPECT_EQ(form->cal->windowTitle(), "Calibration table");
    EXPECT_FALSE(form->cal->isVisible());
    const auto* area = form->cal->findChild<QPlainTextEdit*>();
    ASSERT_NE(area, nullptr);
    EXPECT_TRUE(area->font().fixedPitch());
    form->cal->print("a");
    form->cal->print("b");
    EXPECT_EQ(form->cal->text(), "a\nb");
    form->cal->cls();
    EXPECT_EQ(form->cal->text(), "");
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

TEST_F(FormFixture, EnterInATextFieldCommitsAndIsConsumed) {
    form->show();
    QApplication::setActiveWindow(form.get());
    form->controlmenu_click(3);
    form->txt[3]->setFocus();
    QApplication::processEvents();
    QSignalSpy returned(form->txt[3], &QLineEdit::returnPressed);
    form->relabel = false;
    QTest::keyClick(form->txt[3], Qt::Key_Return);
    EXPECT_EQ(trace, QStringList({"txt_KeyPress(3)"}));
    EXPECT_EQ(returned.count(), 0);
    EXPECT_TRUE(form->relabel);
    form->relabel = false;
    QTest::keyClick(form->txt[3], Qt::Key_5);
    EXPECT_TRUE(form->relabel); // every key asks for new axes
    EXPECT_EQ(form->txt[3]->text(), "105");
    trace.clear();
    form->txt[4]->setFocus(); // focus to another field: the first one is applied
    QApplication::processEvents();
    EXPECT_EQ(trace, QStringList({"txt_lostfocus(3)"}));
}

TEST_F(FormFixture, KeyPressLeavesOtherKeysAlone) {
    int key = 'x';
    form->txt_KeyPress(0, key);
    EXPECT_EQ(key, 'x');
    key = 13;
    form->txt_KeyPress(0, key);
    EXPECT_EQ(key, 0);
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

TEST_F(FormFixture, PictureDrawsLinesIntoItsImage) {
    auto* pic = form->picbox;
    pic->setScale(0, 1, 1, 0);
    pic->cls();
    const QColor back = pic->image().pixelColor(5, 5);
    pic->line(QPointF(0, 0.5), QPointF(1, 0.5), QColor(128, 0, 0));
    const int midY = pic->image().height() / 2;
    bool found = false;
    for (int dy = -1; dy <= 1; ++dy) {
        found = found ||
                pic->image().pixelColor(pic->image().width() / 2, midY + dy) == QColor(128, 0, 0);
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(pic->image().pixelColor(5, 5), back);
}

} // namespace
