// Start-up, shut-down and the start-up error trap, against a recording instrument and scripted
// dialogs.
#include "driver/library_loader.h"
#include "common/tests/window_fixture.h"
#include "settings/tests/preset_traffic.h"

#include <QAction>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>

namespace {

using Kind = zr::ScriptedDialogs::Kind;

const QString kTrap =
    "DLL not found. Double-click readme icon in zrq7010 group for possible causes.";
constexpr int32_t kOpenFailed = -1073807343;

// The fake, failing to open the descriptors listed and checking that the message buffer arrives
// cleared.
class CheckingInstrument : public zr::FakeInstrument {
public:
    bool bufferWasCleared = true;
    std::set<std::string> failing;
    CheckingInstrument() { initDefault.handle = 4097; }
    int32_t init(const char* descriptor, int16_t idQuery, int16_t reset, int32_t* instr) override {
        const int32_t status = zr::FakeInstrument::init(descriptor, idQuery, reset, instr);
        if (failing.count(descriptor) == 0) {
            return status;
        }
        *instr = 0;
        return kOpenFailed;
    }
    int32_t error_message(int32_t instr, int32_t status, char* text) override {
        for (int i = 0; i < zr::kDriverTextSize; ++i) {
            bufferWasCleared = bufferWasCleared && text[i] == '\0';
        }
        return zr::FakeInstrument::error_message(instr, status, text);
    }
    int opens() const { return static_cast<int>(callsOf("zrq7010_init").size()); }
};

// Dialogs that run something of the test's while the descriptor dialog is up.
class DialogsWithHook : public zr::ScriptedDialogs {
public:
    std::function<void()> whileAsking;
    QString input(const QString& p, const QString& t, const QString& a) override {
        if (whileAsking) {
            whileAsking();
        }
        return zr::ScriptedDialogs::input(p, t, a);
    }
};

struct Startup : zr::test::WindowTest<CheckingInstrument, DialogsWithHook> {
    int exitStatus = -1;

    void load(const QString& commandLine) {
        form.reset();
        form = std::make_unique<zr::MainForm>(&instrument, &dsp, &dialogs, commandLine);
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

// Where the descriptor comes from: the /a" switch once, otherwise the dialog (pre-filled with the
// default, its answer trimmed). Nothing usable ends the program silently, before any driver call.
// An open session gets the start-up register write, then the preset.
TEST_F(Startup, TheDescriptorFromTheCommandLineOrTheDialog) {
    struct Case {
        const char* commandLine;
        const char* answer; // the dialog's, asked without a descriptor switch
        const char* opened; // nullptr: the program ends
        bool diagnostics;
    };
    const Case cases[] = {
        {"", "   VXI::7  ", "VXI::7", false},
        {"/a\"VXI::5\" /d", nullptr, "VXI::5", true},
        {"", "     ", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        instrument.clearLog();
        dialogs = DialogsWithHook();
        if (c.answer != nullptr) {
            dialogs.addInput(c.answer);
        }
        load(c.commandLine);
        ASSERT_EQ(inputs().size(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_EQ(inputs()[0].answer, "VXI::192");
        }
        EXPECT_TRUE(messages().empty());
        EXPECT_EQ(form->ended(), c.opened == nullptr);
        if (c.opened == nullptr) {
            EXPECT_EQ(exitStatus, 0);
            EXPECT_TRUE(instrument.log().empty());
            continue;
        }
        EXPECT_EQ(instrument.log().at(0), "zrq7010_init " + std::string(c.opened) + " 1 1");
        EXPECT_EQ(instrument.log().at(1), "zrq7010_diag_reg 4097 1 1812");
        const std::vector<std::string> preset = zr::test::expectedPresetTraffic(4097);
        const std::vector<std::string>& log = instrument.log();
        EXPECT_EQ(std::search(log.begin(), log.end(), preset.begin(), preset.end()) - log.begin(),
                  2);
        EXPECT_EQ(form->windowTitle(), "ZRQ7010 Front Panel -- " + QString(c.opened));
        EXPECT_EQ(form->controlmenu[7]->isVisible(), c.diagnostics);
    }
}

// Each failed open shows the driver's message and asks again, pre-filled with the failed
// descriptor; confirming it unchanged ends silently. A successful open with handle 0 is one too.
TEST_F(Startup, FailedOpensShowTheDriverMessageAndReask) {
    instrument.failing = {"VXI::9", "VXI::1"};
    instrument.errorMessages[kOpenFailed] = "Resource not found";
    dialogs.addInput("VXI::1");
    dialogs.addInput("VXI::10");
    load("/a\"VXI::9\"");
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[0].text, "Resource not found");
    EXPECT_TRUE(instrument.bufferWasCleared);
    ASSERT_EQ(inputs().size(), 2u);
    EXPECT_EQ(inputs()[0].answer, "VXI::9");
    EXPECT_EQ(inputs()[1].answer, "VXI::1");
    EXPECT_EQ(form->windowTitle(), "ZRQ7010 Front Panel -- VXI::10");
    // Handle 0 is simulated mode: an open that reports success with it opened nothing, and no
    // simulated data go out under the real name.
    instrument = CheckingInstrument();
    instrument.initDefault.handle = 0;
    dialogs = DialogsWithHook();
    dialogs.addInput("VXI::192"); // unchanged: ends
    load("/a\"VXI::192\"");
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.contains("VXI::192"));
    ASSERT_EQ(inputs().size(), 1u);
    EXPECT_EQ(inputs()[0].answer, "VXI::192");
    EXPECT_TRUE(form->ended());
    EXPECT_EQ(exitStatus, 0);
    EXPECT_NE(form->windowTitle(), "ZRQ7010 Front Panel -- VXI::192");
    EXPECT_EQ(instrument.log(), std::vector<std::string>({"zrq7010_init VXI::192 1 1"}));
    EXPECT_EQ(form->passCount(), 0);
}

// A failure under the armed start-up trap (from the open on) shows the trap's text; before any
// open attempt the message names what could not be loaded. Either way the program ends with 1.
TEST_F(Startup, FailuresDuringStartUp) {
    const char* commandLines[] = {
        "/a\"VXI::192\"", // library missing at the open
        "/a\"VXI::9\"",   // a handler fails while the dialog after the failed open is up
        "/a\"sim\"",      // a function missing, no open attempt
    };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(commandLines[i]);
        instrument = CheckingInstrument();
        instrument.failing = {"VXI::9"};
        instrument.libraryMissing = i == 0;
        if (i == 2) {
            instrument.missingFunctions = {"zrq7010_diag_reg"};
        }
        dialogs = DialogsWithHook();
        if (i == 1) {
            dialogs.addInput("VXI::10");
            dialogs.whileAsking = [this] {
                form->dispatch("window_fill",
                               [] { throw zr::LibraryError("no function zrdsp_window"); });
            };
        }
        ends = 0;
        load(commandLines[i]);
        ASSERT_EQ(messages().size(), i == 1 ? 2u : 1u); // after the open's own message
        EXPECT_EQ(messages().back().title, "Error");
        if (i < 2) {
            EXPECT_EQ(messages().back().text, kTrap);
        } else {
            EXPECT_TRUE(messages().back().text.contains("zrq7010_diag_reg"));
        }
        EXPECT_EQ(exitStatus, 1);
        EXPECT_EQ(ends, 1);
        EXPECT_LE(instrument.opens(), 1); // nothing is opened after the failure
    }
}

TEST_F(Startup, AFailingHandlerAfterStartUpEndsWithAMessageAndNothingRunsAfter) {
    load("/a\"sim\"");
    ASSERT_FALSE(form->ended());
    form->dispatch("window_fill",
                   [] { throw std::runtime_error("function zrdsp_window not found"); });
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_TRUE(messages()[0].text.contains("zrdsp_window"));
    EXPECT_EQ(exitStatus, 1);
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
    EXPECT_EQ(instrument.log().back(), "zrq7010_close 4097");
    zr::selectEntry(form->measmode, 1);
    form->close(); // a second close does not end twice or close twice
    EXPECT_TRUE(trace.isEmpty());
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(instrument.callsOf("zrq7010_close").size(), 1u);
    // A driver that cannot be reached does not stop the end.
    load("/a\"sim\"");
    instrument.libraryMissing = true;
    form->close();
    EXPECT_EQ(exitStatus, 0);
    EXPECT_TRUE(messages().empty());
}

// A close (e.g. SIGTERM) while the descriptor dialog is up ends start-up without opening.
TEST_F(Startup, CloseDuringTheDialogStopsStartUp) {
    dialogs.addInput("VXI::3");
    dialogs.whileAsking = [this] { form->close(); };
    load("");
    EXPECT_EQ(exitStatus, 0);
    EXPECT_EQ(instrument.log(), std::vector<std::string>({"zrq7010_close 0"}));
}

// The descriptor is 8-bit text: bytes outside the locale reach the driver unchanged (the program
// hands the command line over one character per byte), and confirming the failed descriptor in
// the dialog keeps its bytes, so the repeat ends the program.
TEST_F(Startup, DescriptorBytesReachTheDriverUnchanged) {
    const QByteArray bytes("\xff\xfe\x80"
                           "abc");
    instrument.failing = {bytes.toStdString()};
    dialogs.addInput(QString::fromLocal8Bit(bytes)); // the pre-filled answer, confirmed
    load("/a\"" + QString::fromLatin1(bytes) + "\" /d");
    ASSERT_EQ(inputs().size(), 1u);
    EXPECT_EQ(instrument.log().at(0), "zrq7010_init " + bytes.toStdString() + " 1 1");
    EXPECT_EQ(instrument.opens(), 1);
    EXPECT_TRUE(form->ended());
    // Opened, the caption shows the text as the locale reads it (UTF-8 here).
    instrument = CheckingInstrument();
    load(QString::fromLatin1("/a\"Mess\xc3\xa4t\""));
    EXPECT_EQ(instrument.log().at(0), "zrq7010_init Mess\xc3\xa4t 1 1");
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("ZRQ7010 Front Panel -- Mess\xc3\xa4t"));
}

} // namespace
