// The Diagnostics panel, self test, power-on save and About through the real
// driver binding, against the stand-in driver library loaded in-process.
#include "driver/driver_library.h"
#include "driver/dsp_library.h"
#include "common/controls.h"
#include "common/tests/scripted_dialogs.h"
#include "shell/main_form.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#ifndef ZR_DRIVER_PATH
#error "the build names the stand-in driver"
#endif

namespace {

using Kind = zr::ScriptedDialogs::Kind;

struct StandIn : ::testing::Test {
    static void SetUpTestSuite() { qputenv("ZRQ7010_DRIVER", ZR_DRIVER_PATH); }

    zr::DriverLibrary driver;
    zr::DspLibrary dsp;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;

    void SetUp() override {
        int32_t handle = 0;
        ASSERT_EQ(driver.init("VXI::192", 1, 1, &handle), 0);
        ASSERT_NE(handle, 0);
        form = std::make_unique<zr::MainForm>(&driver, &dsp, &dialogs, QString());
        form->setTerminator([](int) {});
        form->instr = handle;
    }
    void TearDown() override {
        if (form)
            driver.close(form->instr);
    }
    QString lastMessage() const {
        const auto shown = dialogs.shownOf(Kind::Message);
        return shown.empty() ? QString() : shown.back().text;
    }
    int16_t reg(int16_t r) {
        int16_t v = 0;
        driver.diag_reg_get(form->instr, r, &v);
        return v;
    }
};

// The stamp the save sends and its text in About are checked against the recording instrument.
TEST_F(StandIn, AboutShowsTheLibraryRevision) {
    form->about_Click();
    const QStringList about = lastMessage().split('\n');
    ASSERT_EQ(about.size(), 10);
    EXPECT_EQ(about[6], "   Library revision: zrq7010_32 stand-in 1.0.0");
}

TEST_F(StandIn, TrimValuesAndControlRegisterFieldsLandInTheModule) {
    ASSERT_TRUE(zr::selectEntry(form->trimdac, 2)); // "ADC1 offset", power-on 128
    EXPECT_EQ(form->adc1entry->text(), "128");
    form->adc1entry->setText("300");
    QTest::keyClick(form->adc1entry, Qt::Key_Return);
    EXPECT_EQ(reg(4), 255);
    ASSERT_EQ(reg(1), 0x0714);                      // power-on value
    ASSERT_TRUE(zr::selectEntry(form->tau, 3));     // bits 5..7 = 3
    ASSERT_TRUE(zr::selectEntry(form->calmode, 2)); // bits 8..10 = 2
    ASSERT_TRUE(zr::selectEntry(form->dataout, 2)); // bits 11.. = code 1
    EXPECT_EQ(reg(1), 0x0A74);
}

TEST_F(StandIn, SelfTestReportsTheModulesQueuedErrors) {
    driver.input_range(form->instr, 99); // refused: queues the parameter error
    form->selftest_Click();
    EXPECT_EQ(lastMessage(), "Self test passed,-1004");
    form->selftest_Click();
    EXPECT_EQ(lastMessage(), "Self test passed") << "the queue was emptied";
}

TEST_F(StandIn, CalibrationTableOfTheModule) {
    form->showcaltable();
    const QStringList shown = form->cal->text().split('\n');
    ASSERT_EQ(shown.size(), 15);
    EXPECT_TRUE(shown[14].startsWith("Gain adjust =    +0.99")) << shown[14].toStdString();
}

} // namespace
