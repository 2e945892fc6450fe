// The window against the stand-in driver in its fault modes, in-process, for the faults that only
// an operator's action reaches: a range search that never ends and an error queue that never
// empties. The program-level faults are run end to end in e2e_test.cpp.
#include "driver/driver_library.h"
#include "driver/dsp_library.h"
#include "settings/settings_lists.h"
#include "common/tests/scripted_dialogs.h"
#include "shell/main_form.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

using Kind = zr::ScriptedDialogs::Kind;

struct DriverFault : ::testing::Test {
    zr::DriverLibrary driver;
    zr::DspLibrary dsp;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;
    QByteArray oldDriver = qgetenv("ZRQ7010_DRIVER");

    void SetUp() override {
        qputenv("ZRQ7010_DRIVER", ZR_DRIVER_PATH);
        form = std::make_unique<zr::MainForm>(&driver, &dsp, &dialogs, "/a\"VXI::192\"");
        form->setTerminator([](int) {});
        form->setPassObserver([this](long) { form->stopflag = true; });
        form->Form_Load();
        ASSERT_FALSE(form->ended());
    }
    void TearDown() override {
        qunsetenv("ZRQ7010_FAULT");
        if (form && !form->ended()) {
            form->close();
        }
        qputenv("ZRQ7010_DRIVER", oldDriver);
    }
    std::vector<zr::ScriptedDialogs::Shown> messages() const {
        return dialogs.shownOf(Kind::Message);
    }
};

// Auto Range gives up after its wait with a message, and the range list keeps the range in force.
TEST_F(DriverFault, AutoRangeThatNeverFinishes) {
    const int rangeBefore = form->range->currentIndex();
    qputenv("ZRQ7010_FAULT", "autorange-endless");
    form->autorangeTimeout = std::chrono::milliseconds(100);
    form->autorange_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text.toStdString(), std::string(zr::kAutorangeTimeoutMessage));
    EXPECT_EQ(form->range->currentIndex(), rangeBefore);
    EXPECT_FALSE(form->ended());
}

// The self test reads a bounded number of codes from a queue that never empties and reports them.
TEST_F(DriverFault, ErrorQueueThatNeverEmpties) {
    qputenv("ZRQ7010_FAULT", "error-queue-endless");
    form->selftest_Click();
    ASSERT_EQ(messages().size(), 1u);
    const QString text = messages()[0].text;
    EXPECT_TRUE(text.startsWith("Self test passed,-1004,-1004")) << text.toStdString();
    EXPECT_TRUE(text.contains("did not end")) << text.toStdString();
    EXPECT_FALSE(form->ended());
}

} // namespace
