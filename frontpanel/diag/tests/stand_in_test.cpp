// About and the Diagnostics panel through the real driver binding, against the stand-in driver
// library loaded in-process: what only the stand-in's own answers show. The handlers themselves
// are checked against the recording instrument.
#include "driver/driver_library.h"
#include "driver/dsp_library.h"
#include "common/controls.h"
#include "common/tests/scripted_dialogs.h"
#include "shell/main_form.h"

#include <QComboBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#ifndef ZR_DRIVER_PATH
#error "the build names the stand-in driver"
#endif

namespace {

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
    const auto shown = dialogs.shownOf(zr::ScriptedDialogs::Kind::Message);
    ASSERT_EQ(shown.size(), 1u);
    const QStringList about = shown[0].text.split('\n');
    ASSERT_EQ(about.size(), 10);
    EXPECT_EQ(about[6], "   Library revision: zrq7010_32 stand-in 1.0.0");
    ASSERT_TRUE(zr::selectEntry(form.trimdac, 2)); // "ADC1 offset"
    EXPECT_EQ(form.adc1entry->text(), "128");
    driver.close(handle);
}

} // namespace
