// Start-up, shut-down and the start-up error trap, against a recording
// instrument and scripted dialogs.
#include "driver/library_loader.h"
#include "driver/tests/fake_instrument.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace {

using Kind = zr::ScriptedDialogs::Kind;

const QString kTrap =
    "DLL not found. Double-click readme icon in zrq7010 group for possible causes.";
constexpr int32_t kOpenFailed = -1073807343;

// The fake, also checking that the message buffer arrives cleared.
class CheckingInstrument : public zr::FakeInstrument {
public:
    bool bufferWasCleared = true;
    CheckingInstrument() { initDefault.handle = 4097; }
    int32_t error_message(int32_t instr, int32_t status, char* text) override {
        for (int i = 0; i < zr::kDriverTextSize; ++i) {
            bufferWasCleared = bufferWasCleared && text[i] == '\0';
        }
        return zr::FakeInstrument::error_message(instr, status, text);
    }
    const std::vector<std::string>& calls() const { return log(); }
    int count(const std::string& line) const {
        return static_cast<int>(std::count(log().begin(), log().end(), line));
    }
    int countPrefix(const std::string& function) const {
        return static_cast<int>(callsOf(function).size());
    }
    void fail(const std::string& descriptor) { initAnswers[descriptor] = {kOpenFailed, 0}; }
};

struct Startup : ::testing::Test {
    CheckingInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;
    int exitStatus = -1;
    int ends = 0;

    void load(const QString& commandLine) {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, commandLine);
        form->setTerminator([this](int s) {
            exitStatus = s;
            ++ends;
        });
        // Start-up ends in the measurement loop; one pass is enough here.
        form->setPassObserver([this](long) { form->stopflag = true; });
        form->Form_Load();
    }
    std::vector<zr::ScriptedDialogs::Shown> inputs() const { return dialogs.shownOf(Kind::Input); }
    std::vector<zr::ScriptedDialogs::Shown> messages() const {
        return dialogs.shownOf(Kind::Message);
    }
};

TEST_F(Startup, NoSwitchesAsksWithTheDefaultDescriptor) {
    dialogs.addInput("VXI::192");
    load("");
    ASSERT_EQ(inputs().size(), 1u);
    EXPECT_EQ(inputs()[0].text, "Resource Descriptor");
    EXPECT_EQ(inputs()[0].answer, "VXI::192");
    EXPECT_EQ(instrument.calls().at(0), "zrq7010_init VXI::192 1 1");
    EXPECT_EQ(instrument.calls().at(1), "zrq7010_diag_reg 4097 1 1812");
    EXPECT_EQ(form->instr, 4097);
    EXPECT_EQ(form->windowTitle(), "ZRQ7010 Front Panel -- VXI::192");
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->stopflag);
    EXPECT_FALSE(form->ended());
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(messages().empty());
}

TEST_F(Startup, DialogAnswerIsTrimmed) {
    dialogs.addInput("   VXI::7  ");
    load("");
    EXPECT_EQ(instrument.calls().at(0), "zrq7010_init VXI::7 1 1");
    EXPECT_EQ(form->descriptor, "VXI::7");
}

TEST_F(Startup, CommandLineDescriptorWithBlanksIsUsedWithoutDialog) {
    load("/a\"   VXI::5   \"");
    EXPECT_TRUE(inputs().empty());
    EXPECT_EQ(instrument.calls().at(0), "zrq7010_init VXI::5 1 1");
    EXPECT_EQ(form->windowTitle(), "ZRQ7010 Front Panel -- VXI::5");
}

TEST_F(Startup, CapitalSwitchesAreNotRecognised) {
    dialogs.addInput("VXI::1");
    load("/A\"VXI::5\" /D");
    ASSERT_EQ(inputs().size(), 1u);
    EXPECT_EQ(inputs()[0].answer, "VXI::192");
    EXPECT_EQ(instrument.calls().at(0), "zrq7010_init VXI::1 1 1");
    EXPECT_FALSE(form->controlmenu[7]->isVisible());
}

TEST_F(Startup, DiagnosticsSwitchShowsTheMenuItemWhereverItStands) {
    load("/a\"VXI/d::1\"");
    EXPECT_EQ(instrument.calls().at(0), "zrq7010_init VXI/d::1 1 1");
    EXPECT_TRUE(form->controlmenu[7]->isVisible());
}

TEST_F(Startup, DiagnosticsItemStaysHiddenWithoutTheSwitch) {
    load("/a\"VXI::192\"");
    EXPECT_FALSE(form->controlmenu[7]->isVisible());
}

TEST_F(Startup, SimInAnyCaseSelectsSimulatedModeWithoutOpening) {
    load("/a\"my SiMulator\" /d");
    EXPECT_EQ(form->windowTitle(), "ZRQ7010 Front Panel -- sim");
    EXPECT_EQ(form->descriptor, "sim");
    EXPECT_EQ(form->instr, 0);
    EXPECT_EQ(instrument.countPrefix("zrq7010_init"), 0);
    // The first call of start-up writes diagnostic register 1 with handle 0;
    // the preset and the loop follow, all with handle 0.
    ASSERT_FALSE(instrument.calls().empty());
    EXPECT_EQ(instrument.calls()[0], "zrq7010_diag_reg 0 1 1812");
    for (const auto& call : instrument.calls()) {
        const auto first = call.find(' ');
        ASSERT_NE(first, std::string::npos) << call;
        const auto second = call.find(' ', first + 1);
        EXPECT_EQ(call.substr(first + 1, second - first - 1), "0") << call;
    }
    form->close();
    EXPECT_EQ(instrument.calls().back(), "zrq7010_close 0");
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(form->unloading);
}

TEST_F(Startup, LargerBlockSizesAreAppendedInOrderAndNotSelected) {
    load("/a\"sim\"");
    ASSERT_EQ(form->blocksize->count(), 11);
    EXPECT_EQ(form->blocksize->itemText(7), "4096");
    EXPECT_EQ(form->blocksize->itemText(8), "8192");
    EXPECT_EQ(form->blocksize->itemText(9), "16384");
    EXPECT_EQ(form->blocksize->itemText(10), "32768");
    EXPECT_LT(form->blocksize->currentIndex(), 8);
}

TEST_F(Startup, FailedOpenShowsTheDriverMessageAndReasksWithTheFailedDescriptor) {
    instrument.fail("VXI::9");
    dialogs.addInput("VXI::9"); // confirms the failed descriptor unchanged
    instrument.errorMessages[kOpenFailed] = "Resource not found";
    load("/a\"VXI::9\"");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Resource not found");
    EXPECT_TRUE(instrument.bufferWasCleared);
    EXPECT_EQ(instrument.calls().at(1),
              QString("zrq7010_error_message 0 %1").arg(kOpenFailed).toStdString());
    ASSERT_EQ(inputs().size(), 1u);
    EXPECT_EQ(inputs()[0].answer, "VXI::9");
    // The repeated descriptor ends the program silently.
    EXPECT_TRUE(form->ended());
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(instrument.countPrefix("zrq7010_init"), 1);
    EXPECT_EQ(instrument.countPrefix("zrq7010_diag_reg"), 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Startup, EditedDescriptorAfterAFailedOpenIsRetried) {
    instrument.fail("VXI::9");
    dialogs.addInput("VXI::9");
    dialogs.addInput("VXI::10");
    load("");
    EXPECT_EQ(instrument.count("zrq7010_init VXI::9 1 1"), 1);
    EXPECT_EQ(instrument.count("zrq7010_init VXI::10 1 1"), 1);
    ASSERT_EQ(inputs().size(), 2u);
    EXPECT_EQ(inputs()[1].answer, "VXI::9");
    EXPECT_EQ(form->windowTitle(), "ZRQ7010 Front Panel -- VXI::10");
    EXPECT_FALSE(form->ended());
}

TEST_F(Startup, DescriptorFailingTwiceThenCancelEnds) {
    instrument.fail("VXI::1");
    instrument.fail("VXI::2");
    dialogs.addInput("VXI::1");
    dialogs.addInput("VXI::2");
    load("");
    EXPECT_EQ(messages().size(), 2u);
    EXPECT_EQ(inputs().size(), 3u); // third dialog cancelled (no answer scripted)
    EXPECT_TRUE(form->ended());
    EXPECT_EQ(exitStatus, 0);
}

TEST_F(Startup, CancelOrEmptyOrBlanksEndsSilently) {
    load(""); // no answer scripted: cancel
    EXPECT_TRUE(form->ended());
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(instrument.calls().empty());
    EXPECT_TRUE(messages().empty());
}

TEST_F(Startup, EmptyQuotesOnTheCommandLineEndSilentlyWithoutDialog) {
    load("/a\"   \"");
    EXPECT_TRUE(inputs().empty());
    EXPECT_TRUE(form->ended());
    EXPECT_TRUE(instrument.calls().empty());
}

TEST_F(Startup, BlanksOnlyAnswerEnds) {
    dialogs.addInput("     ");
    load("");
    EXPECT_TRUE(form->ended());
    EXPECT_TRUE(instrument.calls().empty());
}

TEST_F(Startup, VeryLongCommandLineWithoutClosingQuote) {
    const QString d(10000, QChar('x'));
    load("/a\"" + d);
    ASSERT_GE(instrument.calls().size(), 2u);
    // The fake's log line is shortened; the descriptor itself is checked below.
    EXPECT_EQ(instrument.calls()[0].rfind("zrq7010_init xxxxxxxxxx", 0), 0u);
    EXPECT_EQ(instrument.countPrefix("zrq7010_init"), 1);
    EXPECT_EQ(form->descriptor, d);
}

TEST_F(Startup, TrapOnAMissingDriverLibraryAtOpen) {
    instrument.libraryMissing = true;
    load("/a\"VXI::192\"");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, kTrap);
    EXPECT_EQ(messages()[0].title, "Error");
    EXPECT_TRUE(form->ended());
    EXPECT_EQ(exitStatus, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Startup, TrapCoversTheStepsAfterTheOpen) {
    instrument.missingFunctions = {"zrq7010_diag_reg"};
    load("/a\"VXI::192\"");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, kTrap);
    EXPECT_EQ(exitStatus, 1);
}

TEST_F(Startup, TrapStaysArmedWhenSimulationIsChosenAfterAFailedOpen) {
    instrument.fail("VXI::9");
    instrument.missingFunctions = {"zrq7010_diag_reg"};
    dialogs.addInput("sim");
    load("/a\"VXI::9\"");
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1].text, kTrap);
    EXPECT_EQ(exitStatus, 1);
}

TEST_F(Startup, WithoutAnOpenAttemptAFailureNamesWhatCouldNotBeLoaded) {
    instrument.missingFunctions = {"zrq7010_diag_reg"};
    load("/a\"sim\"");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_NE(messages()[0].text, kTrap);
    EXPECT_TRUE(messages()[0].text.contains("zrq7010_diag_reg"));
    EXPECT_EQ(exitStatus, 1);
    EXPECT_TRUE(form->ended());
}

TEST_F(Startup, AFailingHandlerAfterStartUpEndsWithAMessage) {
    load("/a\"sim\"");
    ASSERT_FALSE(form->ended());
    zr::runGuarded([] { throw std::runtime_error("function zrdsp_window not found"); });
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.contains("zrdsp_window"));
    EXPECT_EQ(exitStatus, 1);
    // Nothing runs after the end.
    QStringList trace;
    form->setHandlerTrace([&](const QString& n) { trace << n; });
    zr::selectEntry(form->range, 0);
    EXPECT_TRUE(trace.isEmpty());
}

TEST_F(Startup, UnloadStopsClosesTheSessionAndEndsOnce) {
    load("/a\"VXI::192\"");
    form->stopflag = false; // as while a loop runs
    QStringList trace;
    form->setHandlerTrace([&](const QString& n) { trace << n; });
    form->close();
    EXPECT_TRUE(form->stopflag);
    EXPECT_TRUE(form->unloading);
    EXPECT_EQ(instrument.calls().back(), "zrq7010_close 4097");
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(form->cal->isVisible());
    zr::selectEntry(form->measmode, 1);
    form->controlmenu[2]->trigger();
    EXPECT_TRUE(trace.isEmpty());
    form->close(); // a second close does not end twice or close twice
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(instrument.countPrefix("zrq7010_close"), 1);
}

TEST_F(Startup, UnloadEndsEvenWhenTheDriverCannotBeReached) {
    load("/a\"sim\"");
    instrument.libraryMissing = true;
    form->close();
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(messages().empty());
}

// A close arriving while the descriptor dialog is up (e.g. SIGTERM) ends
// start-up: no session is opened afterwards.
class ClosingDialogs : public zr::ScriptedDialogs {
public:
    zr::MainForm* form = nullptr;
    QString input(const QString& p, const QString& t, const QString& a) override {
        form->close();
        return zr::ScriptedDialogs::input(p, t, a);
    }
};

TEST(StartupClose, CloseDuringTheDialogStopsStartUp) {
    CheckingInstrument instrument;
    ClosingDialogs dialogs;
    dialogs.addInput("VXI::3");
    zr::MainForm form(&instrument, &dialogs, QString());
    dialogs.form = &form;
    int status = -1;
    form.setTerminator([&](int s) { status = s; });
    form.Form_Load();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(instrument.countPrefix("zrq7010_init"), 0);
    EXPECT_EQ(instrument.calls(), std::vector<std::string>({"zrq7010_close 0"}));
    EXPECT_FALSE(form.isVisible());
}

// A handler failing inside start-up (e.g. in the measurement loop's yield)
// after the first open attempt: the trap's message, then the end; start-up
// goes no further.
class FailingDuringDialog : public zr::ScriptedDialogs {
public:
    QString input(const QString& p, const QString& t, const QString& a) override {
        zr::runGuarded([] { throw zr::LibraryError("no function zrdsp_window"); });
        return zr::ScriptedDialogs::input(p, t, a);
    }
};

TEST(StartupTrap, HandlerFailureUnderTheArmedTrapEndsStartUp) {
    CheckingInstrument instrument;
    instrument.fail("VXI::9");
    FailingDuringDialog dialogs;
    dialogs.addInput("VXI::10");
    zr::MainForm form(&instrument, &dialogs, "/a\"VXI::9\"");
    int status = -1;
    form.setTerminator([&](int s) { status = s; });
    form.Form_Load();
    const auto msgs = dialogs.shownOf(Kind::Message);
    ASSERT_EQ(msgs.size(), 2u); // the open failure, then the trap
    EXPECT_EQ(msgs[1].text, kTrap);
    EXPECT_EQ(msgs[1].title, "Error");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(instrument.countPrefix("zrq7010_init"), 1); // VXI::10 never opened
    EXPECT_FALSE(form.isVisible());
}

} // namespace
