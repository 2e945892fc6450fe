// A real main window (offscreen) on the recording instrument, for the tests
// of the marker panel, the Edit menu and the resampling options.
#pragma once

#include "driver/tests/fake_instrument.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <memory>

namespace zr::test {

struct WindowFixture : ::testing::Test {
    zr::FakeInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;

    void SetUp() override {
        form = std::make_unique<zr::MainForm>(&instrument, &dialogs, QString());
        form->setTerminator([](int) {});
        form->resize(1000, 700);
        form->show();
        QCoreApplication::processEvents(); // the picture takes its laid-out size
    }
    void TearDown() override { form.reset(); }
};

} // namespace zr::test
