// Keyboard use of the window: the shortcut table on its items and buttons, the Tab walk, the
// tooltips, and a keyboard-only session against the same session with the mouse.
#include "common/tests/window_fixture.h"
#include "shell/control_tips.h"
#include "shell/picture_box.h"
#include "shell/shortcuts.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

QString q(std::string_view s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

TEST(ControlTips, LimitsComeFromTheFieldRulesAndLists) {
    const std::pair<int, const char*> fields[] = {
        {7, "-131.32 to 7.15 in steps of 0.38 dB"}, // codes -349..19 of 20 log10(2) / 16 dB
        {6, "-256 to 255"},
        {1, "1 to 20480000"},
        {11, "whole number, 1 to 50"},
        {14, "whole number, 1 or more"},
        {13, "0 is taken as 1E-10"},
        {17, "the sign is dropped"},
        {0, ""},
        {18, ""},
    };
    for (const auto& [index, text] : fields)
        EXPECT_EQ(zr::fieldLimitsText(index), text) << index;
    const std::pair<const char*, const char*> controls[] = {
        {"txt(11)", "Number of Y divisions: whole number, 1 to 50"},
        {"blocksize", "Samples per block: 32 to 32768"},
        {"range", "full scale: 10.24V to 20mV"},
        {"adc1entry", "0 to 255 (20MHz Adjust: -32768 to 32767)"},
        {"meascontrol(3)", "one more block and stops (F7)"},
        {"xauto", "(Ctrl+Shift+X)"},
    };
    for (const auto& [name, part] : controls)
        EXPECT_NE(zr::controlTip(name).find(part), std::string::npos)
            << name << ": " << zr::controlTip(name);
    EXPECT_EQ(zr::controlTip("txt(18)"), "");
    EXPECT_EQ(zr::controlTip("nothing"), "");
}

TEST(ShortcutTable, TheUserGuideListsEveryShortcut) {
    QFile guide(ZR_HELP_PATH);
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(guide.readAll());
    std::set<std::string_view> keys;
    for (const zr::Shortcut& s : zr::kShortcuts) {
        EXPECT_TRUE(keys.insert(s.keys).second) << s.keys;
        const QString row = QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
                                .arg(q(s.keys), q(s.caption).toHtmlEscaped());
        EXPECT_TRUE(html.contains(row)) << row.toStdString();
    }
}

// A preset window on show and active, against the recording instrument, its handlers traced.
struct KeyWindow : zr::test::WindowTest<> {
    QStringList trace;

    void SetUp() override {
        WindowTest::SetUp();
        form->presetall();
        ASSERT_FALSE(form->ended()) << "the preset needs the signal-processing library";
        form->controlmenu[7]->setVisible(true);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->setHandlerTrace([this](const QString& name) { trace << name; });
        instrument.blockData.resize(1024);
        for (std::size_t i = 0; i < instrument.blockData.size(); ++i)
            instrument.blockData[i] = static_cast<float>(std::sin(0.05 * double(i)));
        instrument.clearLog();
    }
    // A key as the window system delivers it: to the focus widget, shortcuts first.
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(form->windowHandle(), k, m);
        QApplication::processEvents();
    }
    void keys(const QKeySequence& s) { key(Qt::Key(s[0].key()), s[0].keyboardModifiers()); }
    void type(const char* text) {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(form->windowHandle(), *c);
    }
};

// Each row of the table reaches its own control's handler, through the same dispatch as a
// click; the hidden Diagnostics item only once it is shown.
TEST_F(KeyWindow, EveryShortcutRunsItsControlsHandler) {
    form->setPassObserver([this](long) { form->stopflag = true; });
    const std::map<QString, QString> handlers = {{"editmenu", "editmenu_Click"},
                                                 {"controlmenu", "controlmenu_click"},
                                                 {"meascontrol", "meascontrol_Click"},
                                                 {"markmove", "markmove_Click"},
                                                 {"yauto", "yauto_Click"},
                                                 {"xauto", "xauto_click"}};
    form->controlmenu[7]->setVisible(false);
    keys(QKeySequence(QStringLiteral("Ctrl+8")));
    EXPECT_FALSE(trace.contains("controlmenu_click(7)"));
    form->controlmenu[7]->setVisible(true);
    for (const zr::Shortcut& s : zr::kShortcuts) {
        const QString base = q(s.control).section('(', 0, 0);
        const QString handler = handlers.at(base) + q(s.control).mid(base.size());
        trace.clear();
        keys(QKeySequence(q(s.keys)));
        EXPECT_TRUE(trace.contains(handler)) << s.keys << " -> " << handler.toStdString();
    }
    // In a text field Ctrl+C still copies the field's own text.
    form->controlmenu[4]->trigger();
    form->txt[11]->setFocus();
    form->txt[11]->selectAll();
    trace.clear();
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), form->txt[11]->text());
    EXPECT_FALSE(trace.contains("editmenu_Click(1)"));
}

// The Control menu shows each panel alone (and notes when it is Diagnostics). From the first
// control of the panel, Tab visits every control that can take the focus (that panel's and the
// buttons') once, in reading order, and comes back.
TEST_F(KeyWindow, EachPanelAloneAndTabWalksItAndTheButtonsInReadingOrder) {
    const std::set<int> modes = {0, 1, 2}; // the Measurement panel's three sub-panels
    for (int panel = 0; panel < 8; ++panel) {
        for (int mode : panel == 3 ? modes : std::set<int>{0}) {
            SCOPED_TRACE(testing::Message() << "panel " << panel << " mode " << mode);
            zr::selectEntry(form->measmode, mode);
            form->controlmenu[std::size_t(panel)]->trigger();
            QApplication::processEvents();
            for (int k = 0; k < 8; ++k)
                EXPECT_EQ(form->Frame1[std::size_t(k)]->isVisible(), k == panel) << k;
            EXPECT_EQ(form->diagshown, panel == 7);
            std::vector<QWidget*> reachable;
            // Of a group of options, Tab stops at the chosen one (the arrows choose another).
            for (QWidget* w : form->findChildren<QWidget*>()) {
                const auto* option = qobject_cast<QRadioButton*>(w);
                if (w->window() == form.get() && w->isVisible() && w->isEnabled() &&
                    (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
                    (!option || option->isChecked()))
                    reachable.push_back(w);
            }
            // The first control: the top left one of the panel.
            const QWidget* frame = form->Frame1[std::size_t(panel)];
            const auto at = [this](QWidget* w) {
                return QRect(w->mapTo(form.get(), QPoint()), w->size());
            };
            QWidget* start = nullptr;
            for (QWidget* w : reachable)
                if (frame->isAncestorOf(w) &&
                    (!start ||
                     std::pair(at(w).y(), at(w).x()) < std::pair(at(start).y(), at(start).x())))
                    start = w;
            ASSERT_NE(start, nullptr);
            start->setFocus(Qt::TabFocusReason);
            std::vector<QWidget*> walk{start};
            for (int i = 0; i < 200; ++i) {
                key(Qt::Key_Tab);
                if (QApplication::focusWidget() == start)
                    break;
                walk.push_back(QApplication::focusWidget());
            }
            ASSERT_EQ(QApplication::focusWidget(), start) << "the walk comes back";
            EXPECT_EQ(std::set<QWidget*>(walk.begin(), walk.end()),
                      std::set<QWidget*>(reachable.begin(), reachable.end()));
            EXPECT_EQ(walk.size(), reachable.size());
            // Reading order: the panel's controls, then the buttons; in each, a control is
            // right of the one before on its row, or below it.
            for (std::size_t i = 1; i < walk.size(); ++i) {
                const QRect a = at(walk[i - 1]), b = at(walk[i]);
                const bool sameRow = b.top() < a.bottom() && a.top() < b.bottom();
                const bool inPanelA = frame->isAncestorOf(walk[i - 1]);
                const bool inPanelB = frame->isAncestorOf(walk[i]);
                EXPECT_TRUE(inPanelA || !inPanelB) << i;
                if (inPanelA == inPanelB) {
                    EXPECT_TRUE(sameRow ? b.left() > a.left() : b.top() >= a.bottom())
                        << walk[i]->toolTip().toStdString();
                }
            }
            for (QWidget* w : walk)
                EXPECT_FALSE(w->toolTip().isEmpty()) << w->metaObject()->className();
        }
    }
    form->controlmenu_click(8); // no such panel: nothing changes
    EXPECT_TRUE(form->Frame1[7]->isVisible());
    EXPECT_FALSE(form->picbox->toolTip().isEmpty());
    // The arrows choose another option as a click on it does.
    zr::selectEntry(form->measmode, 0);
    form->controlmenu[3]->trigger();
    form->resampmode[0]->setFocus(Qt::TabFocusReason);
    trace.clear();
    key(Qt::Key_Down);
    EXPECT_TRUE(form->resampmode[1]->isChecked());
    EXPECT_EQ(trace.value(0), "resampmode_Click(1)");
}

// The same session once with the keyboard alone and once with the mouse: the same driver
// calls in the same order and the same read-out lines copied.
TEST_F(KeyWindow, KeyboardSessionGivesTheSameJournalAndCaptionAsTheMouse) {
    using Result = std::pair<std::vector<std::string>, QString>; // journal, caption
    const auto session = [this](bool keyboard) {
        if (keyboard) {
            key(Qt::Key_5, Qt::ControlModifier); // Display: the focus is on its first control
            for (int i = 0; i < 3; ++i)
                key(Qt::Key_Tab);
            type("8"); // Y-Grids, all of it selected on entering
            key(Qt::Key_Return);
            key(Qt::Key_3, Qt::ControlModifier); // Trigger
            key(Qt::Key_Space);                  // "Enable generation" off
            key(Qt::Key_Tab);
            key(Qt::Key_Up); // Type: "Magnitude (dBfs)"
            key(Qt::Key_Tab);
            type("300"); // Level (% range)
            key(Qt::Key_Return);
            key(Qt::Key_Tab);
            type("-20");                                             // Level (dBfs), no Enter
            key(Qt::Key_F7);                                         // Single
            key(Qt::Key_P, Qt::AltModifier);                         // Peak
            key(Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier); // Autoscale Y
            key(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier); // Copy Caption
        } else {
            instrument = zr::FakeInstrument(); // the same session on a fresh window
            SetUp();
            zr::MainForm& f = *form;
            const auto typeInto = [this](QLineEdit* field, const char* text, bool enter) {
                QTest::mouseClick(field, Qt::LeftButton);
                field->selectAll();
                type(text);
                if (enter)
                    key(Qt::Key_Return);
            };
            f.controlmenu[4]->trigger();
            QTest::mouseClick(f.txt[10], Qt::LeftButton);
            typeInto(f.txt[11], "8", true);
            f.controlmenu[2]->trigger();
            QTest::mouseClick(f.triggen, Qt::LeftButton);
            zr::selectEntry(f.trigsource, 3);
            typeInto(f.txt[6], "300", true);
            typeInto(f.txt[7], "-20", false);
            QTest::mouseClick(f.meascontrol[3], Qt::LeftButton);
            QTest::mouseClick(f.markmove[2], Qt::LeftButton);
            QTest::mouseClick(f.yauto, Qt::LeftButton);
            f.editmenu[1]->trigger();
        }
        return Result{instrument.log(), QApplication::clipboard()->text()};
    };
    const Result byKeys = session(true);
    const Result byMouse = session(false);
    EXPECT_EQ(byKeys, byMouse);
    // It did what was asked: the settings reached the module, then one block was read; the
    // field left without Enter was applied before the button's block.
    const std::vector<std::string>& log = byKeys.first;
    const auto at = [&log](const char* line) { return std::find(log.begin(), log.end(), line); };
    for (const char* line :
         {"zrq7010_trigger_gen 4097 0", "zrq7010_trigger_type 4097 3",
          "zrq7010_trigger_adclevel 4097 255", "zrq7010_trigger_maglevel 4097 -53"})
        EXPECT_LT(at(line), at("zrq7010_read 4097 1024")) << line;
    EXPECT_NE(at("zrq7010_read 4097 1024"), log.end());
    EXPECT_FALSE(byKeys.second.isEmpty());
}

} // namespace
