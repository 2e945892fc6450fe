// The Diagnostics panel, self test, calibration table and power-on save of
// the real window (offscreen), against the recording instrument and
// scripted dialogs.
#include "driver/tests/fake_instrument.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Kind = zr::ScriptedDialogs::Kind;
constexpr int32_t kHandle = 4097;

std::vector<std::string> lines(std::initializer_list<const char*> l) {
    return {l.begin(), l.end()};
}

struct DiagWindow : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;

    void SetUp() override {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([](int) {});
        form->instr = kHandle;
        instrument.clearLog();
    }
    std::vector<zr::ScriptedDialogs::Shown> messages() const {
        return dialogs.shownOf(Kind::Message);
    }
};

// ---- Control register 1: each list changes only its own field -------------

TEST_F(DiagWindow, TauOnAllOnesClearsOnlyItsFieldAndWritesTheIndex) {
    instrument.diagRegAnswers[1] = static_cast<int16_t>(0xFFFF);
    ASSERT_TRUE(zr::selectEntry(form->tau, 3)); // "2^25"
    EXPECT_EQ(instrument.log(),
              lines({"zrq7010_diag_reg_get 4097 1", "zrq7010_diag_reg 4097 1 -129"})); // 0xFF7F
    EXPECT_EQ(form->tauindex, 3);
}

TEST_F(DiagWindow, CalModeResetOnAllOnesWritesF8FF) {
    instrument.diagRegAnswers[1] = static_cast<int16_t>(0xFFFF);
    ASSERT_TRUE(zr::selectEntry(form->calmode, 0)); // "Reset"
    EXPECT_EQ(instrument.log(),
              lines({"zrq7010_diag_reg_get 4097 1", "zrq7010_diag_reg 4097 1 -1793"})); // 0xF8FF
    EXPECT_EQ(form->calmodeindex, 0);
}

TEST_F(DiagWindow, OutputSelectionSendsSwappedCodesInBits11And12) {
    instrument.diagRegAnswers[1] = 0;
    ASSERT_TRUE(zr::selectEntry(form->dataout, 1)); // "ADC1 only": code 2
    ASSERT_TRUE(zr::selectEntry(form->dataout, 2)); // "ADC2 only": code 1
    ASSERT_TRUE(zr::selectEntry(form->dataout, 0)); // "Normal": code 0
    EXPECT_EQ(instrument.callsOf("zrq7010_diag_reg"),
              lines({"zrq7010_diag_reg 4097 1 4096", "zrq7010_diag_reg 4097 1 2048",
                     "zrq7010_diag_reg 4097 1 0"}));
    EXPECT_EQ(instrument.callsOf("zrq7010_diag_reg_get").size(), 3u);
}

TEST_F(DiagWindow, OutputSelectionClearsBits13To15AndKeepsTheLowBits) {
    instrument.diagRegAnswers[1] = static_cast<int16_t>(0xFFFF);
    ASSERT_TRUE(zr::selectEntry(form->dataout, 2));                     // "ADC2 only": code 1
    EXPECT_EQ(instrument.log().back(), "zrq7010_diag_reg 4097 1 4095"); // 0x07FF + 0x0800
}

TEST_F(DiagWindow, FieldsSetOneAfterAnotherAllStayInTheRegister) {
    // The fake reads back what was written last: start from the start-up value.
    instrument.diag_reg(kHandle, 1, 1812);          // 0x0714
    ASSERT_TRUE(zr::selectEntry(form->tau, 3));     // 0x0714 -> 0x0774
    ASSERT_TRUE(zr::selectEntry(form->calmode, 2)); // -> 0x0274
    ASSERT_TRUE(zr::selectEntry(form->dataout, 1)); // -> 0x1274
    EXPECT_EQ(instrument.diagRegs.at(1), 0x1274);
}

TEST_F(DiagWindow, BumpingWritesRegister13WithoutReading) {
    ASSERT_TRUE(zr::selectEntry(form->bumping, 1));
    ASSERT_TRUE(zr::selectEntry(form->bumping, 0));
    EXPECT_EQ(instrument.log(),
              lines({"zrq7010_diag_reg 4097 13 1", "zrq7010_diag_reg 4097 13 0"}));
    EXPECT_EQ(form->bumpindex, 0);
}

// ---- Trim DACs -------------------------------------------------------------

TEST_F(DiagWindow, TrimSelectionShowsTheSelectedRegister) {
    instrument.diagRegAnswers[4] = 200;
    instrument.diagRegAnswers[14] = -1234;
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 2)); // "ADC1 offset"
    EXPECT_EQ(form->adc1entry->text(), "200");
    EXPECT_EQ(form->trimindex, 2);
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 8)); // "20MHz Adjust"
    EXPECT_EQ(form->adc1entry->text(), "-1234");
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 0)); // "Input offset (fine)"
    EXPECT_EQ(instrument.log(),
              lines({"zrq7010_diag_reg_get 4097 4", "zrq7010_diag_reg_get 4097 14",
                     "zrq7010_diag_reg_get 4097 2"}));
}

struct TrimCase {
    int trimindex;
    const char* typed;
    const char* written; // the driver call
    const char* shown;   // the field afterwards
};

TEST_F(DiagWindow, EnterWritesTheLimitedValueAndShowsIt) {
    const std::vector<TrimCase> cases = {
        {2, "300", "zrq7010_diag_reg 4097 4 255", "255"},
        {2, "-7", "zrq7010_diag_reg 4097 4 0", "0"},
        {2, "17abc", "zrq7010_diag_reg 4097 4 17", "17"},
        {2, "abc", "zrq7010_diag_reg 4097 4 0", "0"},
        {7, "128", "zrq7010_diag_reg 4097 9 128", "128"},
        {8, "40000", "zrq7010_diag_reg 4097 14 32767", "32767"},
        {8, "-40000", "zrq7010_diag_reg 4097 14 -32768", "-32768"},
        {8, "-1234", "zrq7010_diag_reg 4097 14 -1234", "-1234"},
    };
    for (const TrimCase& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " on trim " + std::to_string(c.trimindex));
        ASSERT_TRUE(zr::selectEntry(form->trimdac, c.trimindex));
        form->adc1entry->setText(QString::fromLatin1(c.typed));
        instrument.clearLog();
        QTest::keyClick(form->adc1entry, Qt::Key_Return);
        EXPECT_EQ(instrument.log(), lines({c.written}));
        EXPECT_EQ(form->adc1entry->text(), QString::fromLatin1(c.shown));
    }
}

TEST_F(DiagWindow, HalvesGoToTheEvenNeighbour) {
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 2));
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"2.5", "zrq7010_diag_reg 4097 4 2"},
        {"3.5", "zrq7010_diag_reg 4097 4 4"},
        {"254.5", "zrq7010_diag_reg 4097 4 254"},
        {"2.6", "zrq7010_diag_reg 4097 4 3"}};
    for (const auto& [typed, written] : cases) {
        form->adc1entry->setText(QString::fromLatin1(typed));
        instrument.clearLog();
        int key = zr::kKeyEnter;
        form->adc1entry_KeyPress(key);
        EXPECT_EQ(key, 0) << "Enter is consumed";
        EXPECT_EQ(instrument.log(), lines({written})) << typed;
    }
}

TEST_F(DiagWindow, DigitsWithoutEnterWriteNothing) {
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 2));
    form->adc1entry->clear();
    instrument.clearLog();
    QTest::keyClicks(form->adc1entry, "123");
    EXPECT_EQ(form->adc1entry->text(), "123");
    EXPECT_TRUE(instrument.log().empty());
    int key = '4';
    form->adc1entry_KeyPress(key);
    EXPECT_EQ(key, '4') << "other keys pass through unchanged";
    EXPECT_TRUE(instrument.log().empty());
}

// ---- Self test ---------------------------------------------------------------

TEST_F(DiagWindow, SelfTestListsTheQueuedCodesAfterTheText) {
    instrument.selfTestText = "T";
    instrument.errorQueue = {12, -3};
    form->selftest_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "T, 12,-3");
    EXPECT_EQ(messages()[0].title, "Self Test");
    EXPECT_EQ(instrument.log(), lines({"zrq7010_self_test 4097", "zrq7010_error_query 4097",
                                       "zrq7010_error_query 4097", "zrq7010_error_query 4097"}));
}

TEST_F(DiagWindow, SelfTestWithAnEmptyQueueShowsTheTextAlone) {
    instrument.selfTestText = "Self test passed";
    form->selftest_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Self test passed");
}

TEST_F(DiagWindow, SelfTestTextWithoutNulReadsEmpty) {
    instrument.terminateTexts = false;
    instrument.selfTestText = "T";
    instrument.errorQueue = {5};
    form->selftest_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, ", 5");
}

// A driver whose error queue never reports 0.
class EndlessErrors : public zr::FakeInstrument {
public:
    int queries = 0;
    int32_t error_query(int32_t instr, int32_t* code, char* text) override {
        ++queries;
        zr::FakeInstrument::error_query(instr, code, text);
        *code = 7;
        return 0;
    }
};

TEST(DiagWindowSelfTest, AnEndlessErrorQueueStopsAfter256CodesWithANote) {
    EndlessErrors instrument;
    zr::ScriptedDialogs dialogs;
    zr::MainForm form(&instrument, &dialogs, QString());
    instrument.selfTestText = "T";
    form.selftest_Click();
    EXPECT_EQ(instrument.queries, 256);
    const auto shown = dialogs.shownOf(Kind::Message);
    ASSERT_EQ(shown.size(), 1u);
    const QStringList parts = shown[0].text.split('\n');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0], "T" + QString(", 7").repeated(256));
    EXPECT_TRUE(parts[1].contains("256")) << parts[1].toStdString();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Records the mouse pointer while the driver runs the test.
class CursorWatch : public zr::FakeInstrument {
public:
    bool waitDuringTest = false;
    bool waitDuringQueue = false;
    int32_t self_test(int32_t instr, int16_t* result, char* text) override {
        waitDuringTest = QApplication::overrideCursor() != nullptr &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return zr::FakeInstrument::self_test(instr, result, text);
    }
    int32_t error_query(int32_t instr, int32_t* code, char* text) override {
        waitDuringQueue = QApplication::overrideCursor() != nullptr &&
                          QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return zr::FakeInstrument::error_query(instr, code, text);
    }
};

// The box is shown after the normal pointer is back.
class CursorAtMessage : public zr::ScriptedDialogs {
public:
    bool normalAtMessage = false;
    void message(const QString& text, const QString& title) override {
        normalAtMessage = QApplication::overrideCursor() == nullptr;
        zr::ScriptedDialogs::message(text, title);
    }
};

TEST(DiagWindowSelfTest, TheWaitPointerShowsWhileTheTestRuns) {
    CursorWatch instrument;
    CursorAtMessage dialogs;
    zr::MainForm form(&instrument, &dialogs, QString());
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    form.selftest_Click();
    EXPECT_TRUE(instrument.waitDuringTest);
    EXPECT_TRUE(instrument.waitDuringQueue);
    EXPECT_TRUE(dialogs.normalAtMessage);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- Calibration table -------------------------------------------------------

QStringList allOnesTable() {
    const QString row = "   +1.000000   +1.000000   +1.000000";
    QStringList t{"     DAC3        DAC2        DAC1"};
    for (int i = 0; i < 9; ++i) {
        t << row;
    }
    t << QString(12, ' ') + "   +1.000000"
      << ""
      << "W1 =    +1.996094"
      << "W2 =    +1.998047"
      << "Gain adjust =    +1.000000";
    return t;
}

TEST_F(DiagWindow, CalibrationTableGoesToTheWindowAndTheClipboard) {
    instrument.adccal.fill(1.0);
    QGuiApplication::clipboard()->setText("old");
    form->showcaltable();
    EXPECT_TRUE(form->cal->isVisible());
    EXPECT_EQ(instrument.log(), lines({"zrq7010_diag_adccal_get 4097"}));
    const QStringList expected = allOnesTable();
    EXPECT_EQ(form->cal->text().split('\n'), expected);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected.join("\r\n") + "\r\n");
}

TEST_F(DiagWindow, CalibrationTableIsRebuiltOnEveryCall) {
    instrument.adccal.fill(1.0);
    form->showcaltable();
    instrument.adccal.fill(0.0);
    instrument.adccal[0] = -1.5;  // DAC3, row 0
    instrument.adccal[18] = 0.25; // DAC2, row 9
    instrument.adccal[28] = 2.0;  // gain adjust
    form->showcaltable();
    const QStringList shown = form->cal->text().split('\n');
    ASSERT_EQ(shown.size(), 15);
    EXPECT_EQ(shown[1], "   -1.500000   +0.000000   +0.000000");
    EXPECT_EQ(shown[10], QString(12, ' ') + "   +0.250000");
    EXPECT_EQ(shown[12], "W1 =    +0.000000");
    EXPECT_EQ(shown[13], "W2 =    +0.250000");
    EXPECT_EQ(shown[14], "Gain adjust =    +2.000000");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown.join("\r\n") + "\r\n");
}

// ---- Power-on save -------------------------------------------------------------

TEST_F(DiagWindow, SaveAsksAndSendsTheStampOfTheCurrentTime) {
    dialogs.addAnswer(true);
    form->diagHooks.now = [] { return QDateTime(QDate(2001, 3, 3), QTime(9, 5, 41)); };
    form->Command1_Click();
    const auto questions = dialogs.shownOf(Kind::Question);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].text,
              "Do you want to replace the power-on settings with the current values?");
    EXPECT_EQ(questions[0].title, "Calibration Save");
    // ((((2001 * 16 + 3) * 32 + 3) * 32 + 9) * 64 + 5)
    EXPECT_EQ(instrument.log(), lines({"zrq7010_diag_cal 4097 2098403909"}));
    EXPECT_TRUE(messages().empty());
}

TEST_F(DiagWindow, SaveOnTheLastDayThatFitsTheStamp) {
    dialogs.addAnswer(true);
    form->diagHooks.now = [] { return QDateTime(QDate(2047, 12, 31), QTime(23, 59)); };
    form->Command1_Click();
    EXPECT_EQ(instrument.log(), lines({"zrq7010_diag_cal 4097 2147286523"}));
}

TEST_F(DiagWindow, AnsweringNoCallsNothing) {
    dialogs.addAnswer(false);
    bool clockRead = false;
    form->diagHooks.now = [&clockRead] {
        clockRead = true;
        return QDateTime(QDate(2001, 3, 3), QTime(9, 5));
    };
    form->Command1_Click();
    EXPECT_EQ(dialogs.shownOf(Kind::Question).size(), 1u);
    EXPECT_TRUE(instrument.log().empty());
    EXPECT_FALSE(clockRead);
    EXPECT_TRUE(messages().empty());
}

TEST_F(DiagWindow, AYearAfter2047IsRefusedWithAMessage) {
    dialogs.addAnswer(true);
    form->diagHooks.now = [] { return QDateTime(QDate(2048, 1, 1), QTime(0, 0)); };
    form->Command1_Click();
    EXPECT_TRUE(instrument.callsOf("zrq7010_diag_cal").empty());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, "Calibration Save");
    EXPECT_TRUE(messages()[0].text.contains("2047")) << messages()[0].text.toStdString();
}

} // namespace
