// The Diagnostics panel, self test, calibration table, power-on save, Help, About and hard reset
// of the real window (offscreen), against the recording instrument and scripted dialogs; About
// and the trim read-out once more against the stand-in driver, for its own answers.
#include "common/tests/window_fixture.h"
#include "driver/driver_library.h"
#include "settings/tests/preset_traffic.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;
using Kind = zr::ScriptedDialogs::Kind;
using zr::test::call;
using zr::test::kHandle;
using zr::test::Log;

// Records what the window showed while the module worked: the wait pointer during the self test,
// and at each hard-reset poke its time, the wait pointer and whether a watched event had run.
struct CursorWatch : zr::FakeInstrument {
    bool waitDuringTest = false;
    const bool* watched = nullptr;
    std::vector<Clock::time_point> pokeTimes;
    std::vector<bool> watchedAtPoke;
    std::vector<bool> busyAtPoke;

    static bool waitCursorOn() {
        return QApplication::overrideCursor() != nullptr &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    }
    int32_t self_test(int32_t instr, int16_t* result, char* text) override {
        waitDuringTest = waitCursorOn();
        return zr::FakeInstrument::self_test(instr, result, text);
    }
    int32_t diag_poke(int32_t instr, int16_t reg, int32_t value) override {
        pokeTimes.push_back(Clock::now());
        watchedAtPoke.push_back(watched != nullptr && *watched);
        busyAtPoke.push_back(waitCursorOn());
        return zr::FakeInstrument::diag_poke(instr, reg, value);
    }
};

// Records whether a box is shown after the normal pointer is back.
struct CursorAtMessage : zr::ScriptedDialogs {
    bool normalAtMessage = false;
    void message(const QString& text, const QString& title) override {
        normalAtMessage = QApplication::overrideCursor() == nullptr;
        zr::ScriptedDialogs::message(text, title);
    }
};

struct DiagWindow : zr::test::WindowTest<CursorWatch, CursorAtMessage> {
    std::vector<QUrl> opened;
    bool viewerAccepts = true;

    void SetUp() override {
        WindowTest::SetUp();
        form->diagHooks.openUrl = [this](const QUrl& url) {
            opened.push_back(url);
            return viewerAccepts;
        };
    }
    std::vector<zr::ScriptedDialogs::Shown> messages() const {
        return dialogs.shownOf(Kind::Message);
    }
};

// Bumping writes register 13 without reading it; the three lists that share register 1 read it
// just before writing and change only their own bits. A trim selection shows its register, and
// only Enter writes the typed value, limited.
TEST_F(DiagWindow, PanelListsAndTrimEntryWriteTheirRegisters) {
    instrument.diag_reg(kHandle, 1, 0x0714);
    instrument.diagRegAnswers[14] = -1234;
    instrument.clearLog();
    ASSERT_TRUE(zr::selectEntry(form->bumping, 1));
    ASSERT_TRUE(zr::selectEntry(form->bumping, 0));
    ASSERT_TRUE(zr::selectEntry(form->tau, 3));     // bits 5..7 = 3: 0x0774
    ASSERT_TRUE(zr::selectEntry(form->calmode, 2)); // bits 8..10 = 2: 0x0274
    ASSERT_TRUE(zr::selectEntry(form->dataout, 2)); // bits 11.. = code 1: 0x0A74
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 8)); // "20MHz Adjust"
    EXPECT_EQ(form->adc1entry->text(), "-1234");
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 2)); // "ADC1 offset"
    const std::string get = call("diag_reg_get", "1");
    EXPECT_EQ(instrument.log(), (Log{call("diag_reg", "13 1"), call("diag_reg", "13 0"), get,
                                     call("diag_reg", "1 1908"), get, call("diag_reg", "1 628"),
                                     get, call("diag_reg", "1 2676"), call("diag_reg_get", "14"),
                                     call("diag_reg_get", "4")}));
    form->adc1entry->clear();
    instrument.clearLog();
    QTest::keyClicks(form->adc1entry, "300");
    int key = '4';
    form->adc1entry_KeyPress(key);
    EXPECT_EQ(key, '4') << "other keys pass through unchanged";
    EXPECT_TRUE(instrument.log().empty());
    key = zr::kKeyEnter;
    form->adc1entry_KeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(instrument.log(), Log{call("diag_reg", "4 255")});
    EXPECT_EQ(form->adc1entry->text(), "255");
}

TEST_F(DiagWindow, AnEndlessErrorQueueStopsAfter256CodesUnderTheWaitPointer) {
    instrument.selfTestText = "T";
    instrument.errorQueue.assign(300, 7);
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    form->selftest_Click();
    EXPECT_EQ(instrument.log().front(), "zrq7010_self_test 4097");
    EXPECT_EQ(instrument.callsOf("zrq7010_error_query").size(), 256u);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, "Self Test");
    const QStringList parts = messages()[0].text.split('\n');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0], "T" + QString(", 7").repeated(256));
    EXPECT_TRUE(parts[1].contains("256")) << parts[1].toStdString();
    EXPECT_TRUE(instrument.waitDuringTest);
    EXPECT_TRUE(dialogs.normalAtMessage);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(DiagWindow, CalibrationTableIsRebuiltOnEveryCallCopiedAndShownWhole) {
    instrument.adccal.fill(1.0);
    form->showcaltable();
    EXPECT_TRUE(form->cal->isVisible());
    instrument.adccal[28] = 2.0; // gain adjust
    QGuiApplication::clipboard()->setText("old");
    form->showcaltable();
    EXPECT_EQ(instrument.log(),
              Log({"zrq7010_diag_adccal_get 4097", "zrq7010_diag_adccal_get 4097"}));
    const QStringList shown = form->cal->text().split('\n');
    ASSERT_EQ(shown.size(), 15);
    EXPECT_EQ(shown[14], "Gain adjust =    +2.000000");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown.join("\r\n") + "\r\n");

    // The same table again leaves what the operator copied meanwhile on the clipboard.
    QGuiApplication::clipboard()->setText("mine");
    form->showcaltable();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "mine");
    // Shown anew after the loop hid it: the table is copied again.
    form->cal->hide();
    form->showcaltable();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown.join("\r\n") + "\r\n");

    QApplication::processEvents();
    QPlainTextEdit* area = form->cal->area();
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 0) << "all 15 lines fit";
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0) << "the widest line fits";

    // Made smaller by the operator and scrolled to the heading: the next print stays there.
    form->cal->resize(form->cal->width(), form->cal->height() / 3);
    form->showcaltable();
    QApplication::processEvents();
    ASSERT_GT(area->verticalScrollBar()->maximum(), 0);
    area->verticalScrollBar()->setValue(0);
    form->showcaltable();
    EXPECT_EQ(area->verticalScrollBar()->value(), 0);
}

TEST_F(DiagWindow, SaveAsksAndSendsTheStampOfTheCurrentTimeUpToTheYear2047) {
    dialogs.addAnswer(false); // "No" does not even read the clock
    form->diagHooks.now = [] {
        ADD_FAILURE() << "clock read";
        return QDateTime();
    };
    form->Command1_Click();
    EXPECT_TRUE(instrument.log().empty());
    dialogs.addAnswer(true);
    form->diagHooks.now = [] { return QDateTime(QDate(2001, 3, 3), QTime(9, 5, 41)); };
    form->Command1_Click();
    EXPECT_EQ(instrument.log(), Log({"zrq7010_diag_cal 4097 2098403909"}));
    const auto questions = dialogs.shownOf(Kind::Question);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[1].text,
              "Do you want to replace the power-on settings with the current values?");
    EXPECT_EQ(questions[1].title, "Calibration Save");
    EXPECT_TRUE(messages().empty());

    dialogs.addAnswer(true); // a year after 2047 is refused with a message
    form->diagHooks.now = [] { return QDateTime(QDate(2048, 1, 1), QTime(0, 0)); };
    form->Command1_Click();
    EXPECT_EQ(instrument.callsOf("zrq7010_diag_cal").size(), 1u);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, "Calibration Save");
    EXPECT_TRUE(messages()[0].text.contains("2047")) << messages()[0].text.toStdString();
}

TEST_F(DiagWindow, HelpOpensTheUserGuideNextToTheProgram) {
    const QString guide =
        QDir(QCoreApplication::applicationDirPath()).filePath("zrq7010-help.html");
    form->hlp_Click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(guide));
    EXPECT_TRUE(messages().empty());
    QFile file(guide); // the guide the build put there covers what an operator needs
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << guide.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    for (const char* topic : {"Measurement modes", "Keyboard use", "Simulated mode", "Diagnostics"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;

    viewerAccepts = false; // a viewer that cannot open it is reported
    form->hlp_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.contains("zrq7010-help.html"));
}

TEST_F(DiagWindow, AboutShowsTheVersionAndWhatTheModuleReports) {
    instrument.terminateTexts = false;
    instrument.calStamp = 2098403909; // 3 March 2001, 09:05
    form->about_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, "About ZRQ7010 Front Panel");
    const QStringList text = messages()[0].text.split('\n');
    ASSERT_EQ(text.size(), 10);
    EXPECT_EQ(text[0], QString("ZRQ7010 Front Panel, Version ") + ZR_TEST_PROJECT_VERSION);
    EXPECT_EQ(text[7], "   Firmware/Board revision: "); // a text without its NUL reads as empty
    EXPECT_EQ(text[8], "   Memory Size:  64MByte");
    EXPECT_EQ(text[9], "   Last calibrated: 03-03-2001,  09:05");
    EXPECT_EQ(instrument.log(), Log({"zrq7010_revision_query 4097", "zrq7010_data_memsize_get 4097",
                                     "zrq7010_diag_cal_get 4097"}));
}

TEST_F(DiagWindow, HardResetGivesTheModuleFiveSecondsWithoutProcessingEvents) {
    instrument.diag_reg(kHandle, 1, 1812); // what start-up writes
    instrument.clearLog();
    form->setPassObserver([this](long passes) {
        if (passes == 3) {
            form->stopflag = true;
        }
    });
    bool eventProcessed = false;
    instrument.watched = &eventProcessed;
    QTimer::singleShot(0, [&eventProcessed] { eventProcessed = true; });
    form->resetmenu_Click(1);

    ASSERT_EQ(instrument.pokeTimes.size(), 2u);
    const auto waited = instrument.pokeTimes[1] - instrument.pokeTimes[0];
    EXPECT_GE(waited, std::chrono::seconds(5));
    EXPECT_LT(waited, std::chrono::seconds(7));
    EXPECT_FALSE(instrument.watchedAtPoke[1]) << "no window event ran during the wait";
    EXPECT_EQ(instrument.busyAtPoke, std::vector<bool>({true, true})) << "busy cursor throughout";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "and the normal one afterwards";

    // The module's sequence, then one preset and "Start".
    Log want = {call("diag_poke", "2 1"), call("diag_poke", "7 -769"), call("diag_peek", "7"),
                call("reset")};
    const Log preset = zr::test::expectedPresetTraffic(kHandle);
    want.insert(want.end(), preset.begin(), preset.end());
    want.push_back(call("meas_start"));
    const Log& log = instrument.log();
    ASSERT_GE(log.size(), want.size());
    EXPECT_EQ(Log(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(want.size())), want);
    EXPECT_EQ(instrument.callsOf("zrq7010_read").size(), 3u) << "the measurement runs again";
    EXPECT_TRUE(eventProcessed) << "the restarted loop yields to the window again";
}

// The stand-in driver's own answers through the real binding: its library revision and the trim
// registers' power-on value.
TEST(StandIn, AboutShowsTheLibraryRevisionAndTheTrimItsPowerOnValue) {
    qputenv("ZRQ7010_DRIVER", ZR_DRIVER_PATH);
    zr::DriverLibrary driver;
    zr::DspLibrary dsp;
    zr::ScriptedDialogs dialogs;
    int32_t handle = 0;
    ASSERT_EQ(driver.init("VXI::192", 1, 1, &handle), 0);
    zr::MainForm form(&driver, &dsp, &dialogs, QString());
    form.setTerminator([](int) {});
    form.instr = handle;
    form.about_Click();
    const auto shown = dialogs.shownOf(Kind::Message);
    ASSERT_EQ(shown.size(), 1u);
    const QStringList about = shown[0].text.split('\n');
    ASSERT_EQ(about.size(), 10);
    EXPECT_EQ(about[6], "   Library revision: zrq7010_32 stand-in 1.0.0");
    ASSERT_TRUE(zr::selectEntry(form.trimdac, 2)); // "ADC1 offset"
    EXPECT_EQ(form.adc1entry->text(), "128");
    driver.close(handle);
}

} // namespace
