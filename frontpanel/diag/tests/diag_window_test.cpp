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

// ---- Control register 1: each list reads it and changes only its own field --

TEST_F(DiagWindow, EachListReadsRegisterOneAndWritesItsOwnField) {
    instrument.diagRegAnswers[1] = static_cast<int16_t>(0xFFFF);
    const struct {
        QComboBox* list;
        int index;
        const char* written;
    } cases[] = {
        {form->tau, 3, "zrq7010_diag_reg 4097 1 -129"},      // "2^25": 0xFF7F
        {form->calmode, 0, "zrq7010_diag_reg 4097 1 -1793"}, // "Reset": 0xF8FF
        {form->dataout, 2, "zrq7010_diag_reg 4097 1 4095"},  // "ADC2 only": 0x07FF + 0x0800
        {form->dataout, 1, "zrq7010_diag_reg 4097 1 6143"},  // "ADC1 only": 0x07FF + 0x1000
    };
    for (const auto& c : cases) {
        instrument.clearLog();
        ASSERT_TRUE(zr::selectEntry(c.list, c.index));
        EXPECT_EQ(instrument.log(), lines({"zrq7010_diag_reg_get 4097 1", c.written}));
    }
    EXPECT_EQ(form->tauindex, 3);
    EXPECT_EQ(form->calmodeindex, 0);
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

TEST_F(DiagWindow, EnterWritesTheLimitedValueAndShowsIt) {
    const struct {
        int trimindex;
        const char* typed;
        const char* written; // the driver call
        const char* shown;   // the field afterwards
    } cases[] = {
        {2, "300", "zrq7010_diag_reg 4097 4 255", "255"},
        {2, "17abc", "zrq7010_diag_reg 4097 4 17", "17"},
        {2, "2.5", "zrq7010_diag_reg 4097 4 2", "2.5"},
        {7, "128", "zrq7010_diag_reg 4097 9 128", "128"},
        {8, "-40000", "zrq7010_diag_reg 4097 14 -32768", "-32768"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " on trim " + std::to_string(c.trimindex));
        ASSERT_TRUE(zr::selectEntry(form->trimdac, c.trimindex));
        form->adc1entry->setText(QString::fromLatin1(c.typed));
        instrument.clearLog();
        QTest::keyClick(form->adc1entry, Qt::Key_Return);
        EXPECT_EQ(instrument.log(), lines({c.written}));
        EXPECT_EQ(form->adc1entry->text(), QString::fromLatin1(c.shown));
    }
}

TEST_F(DiagWindow, OnlyEnterWritesAndIsConsumed) {
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 2));
    form->adc1entry->clear();
    instrument.clearLog();
    QTest::keyClicks(form->adc1entry, "123");
    EXPECT_EQ(form->adc1entry->text(), "123");
    int key = '4';
    form->adc1entry_KeyPress(key);
    EXPECT_EQ(key, '4') << "other keys pass through unchanged";
    EXPECT_TRUE(instrument.log().empty());
    key = zr::kKeyEnter;
    form->adc1entry_KeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(instrument.log(), lines({"zrq7010_diag_reg 4097 4 123"}));
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
    // A text without its terminating NUL reads as empty.
    instrument.terminateTexts = false;
    instrument.errorQueue = {5};
    form->selftest_Click();
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1].text, ", 5");
}

// A driver whose error queue never reports 0; records whether the wait
// pointer shows while it runs the test and answers the queue.
class EndlessErrors : public zr::FakeInstrument {
public:
    int queries = 0;
    bool waitDuringTest = false;
    bool waitDuringQueue = true;
    static bool waiting() {
        return QApplication::overrideCursor() != nullptr &&
               QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    }
    int32_t self_test(int32_t instr, int16_t* result, char* text) override {
        waitDuringTest = waiting();
        return zr::FakeInstrument::self_test(instr, result, text);
    }
    int32_t error_query(int32_t instr, int32_t* code, char* text) override {
        ++queries;
        waitDuringQueue = waitDuringQueue && waiting();
        zr::FakeInstrument::error_query(instr, code, text);
        *code = 7;
        return 0;
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

TEST(DiagWindowSelfTest, AnEndlessErrorQueueStopsAfter256CodesUnderTheWaitPointer) {
    EndlessErrors instrument;
    CursorAtMessage dialogs;
    zr::MainForm form(&instrument, &dialogs, QString());
    instrument.selfTestText = "T";
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    form.selftest_Click();
    EXPECT_EQ(instrument.queries, 256);
    const auto shown = dialogs.shownOf(Kind::Message);
    ASSERT_EQ(shown.size(), 1u);
    const QStringList parts = shown[0].text.split('\n');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0], "T" + QString(", 7").repeated(256));
    EXPECT_TRUE(parts[1].contains("256")) << parts[1].toStdString();
    EXPECT_TRUE(instrument.waitDuringTest);
    EXPECT_TRUE(instrument.waitDuringQueue);
    EXPECT_TRUE(dialogs.normalAtMessage);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// ---- Calibration table -------------------------------------------------------

TEST_F(DiagWindow, CalibrationTableIsRebuiltOnEveryCallAndCopied) {
    instrument.adccal.fill(1.0);
    form->showcaltable();
    EXPECT_TRUE(form->cal->isVisible());
    instrument.adccal.fill(0.0);
    instrument.adccal[0] = -1.5;  // DAC3, row 0
    instrument.adccal[18] = 0.25; // DAC2, row 9
    instrument.adccal[28] = 2.0;  // gain adjust
    QGuiApplication::clipboard()->setText("old");
    form->showcaltable();
    EXPECT_EQ(instrument.log(),
              lines({"zrq7010_diag_adccal_get 4097", "zrq7010_diag_adccal_get 4097"}));
    const QStringList shown = form->cal->text().split('\n');
    ASSERT_EQ(shown.size(), 15);
    EXPECT_EQ(shown[0], "     DAC3        DAC2        DAC1");
    EXPECT_EQ(shown[1], "   -1.500000   +0.000000   +0.000000");
    EXPECT_EQ(shown[10], QString(12, ' ') + "   +0.250000");
    EXPECT_EQ(shown[12], "W1 =    +0.000000");
    EXPECT_EQ(shown[13], "W2 =    +0.250000");
    EXPECT_EQ(shown[14], "Gain adjust =    +2.000000");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), shown.join("\r\n") + "\r\n");
}

// ---- Power-on save -------------------------------------------------------------

TEST_F(DiagWindow, SaveAsksAndSendsTheStampOfTheCurrentTime) {
    const struct {
        QDateTime now;
        const char* sent;
    } cases[] = {
        {QDateTime(QDate(2001, 3, 3), QTime(9, 5, 41)), "zrq7010_diag_cal 4097 2098403909"},
        {QDateTime(QDate(2047, 12, 31), QTime(23, 59)), "zrq7010_diag_cal 4097 2147286523"}};
    for (const auto& c : cases) {
        dialogs.addAnswer(true);
        form->diagHooks.now = [&c] { return c.now; };
        instrument.clearLog();
        form->Command1_Click();
        EXPECT_EQ(instrument.log(), lines({c.sent}));
    }
    const auto questions = dialogs.shownOf(Kind::Question);
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0].text,
              "Do you want to replace the power-on settings with the current values?");
    EXPECT_EQ(questions[0].title, "Calibration Save");
    EXPECT_TRUE(messages().empty());
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
