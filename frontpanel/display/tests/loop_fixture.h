// A real main window (offscreen) started on a session of the recording
// instrument: start-up, the preset and the measurement loop all run. Each
// entry of the loop runs exactly one pass (the instrument stops the loop
// after every read), so a test chooses its settings and presses "Single".
#pragma once

#include "driver/tests/fake_instrument.h"
#include "shell/controls.h"
#include "shell/dialogs.h"
#include "shell/main_form.h"

#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace zr::test {

class OnePassInstrument : public zr::FakeInstrument {
public:
    std::function<void()> afterRead;
    int reads = 0;
    int32_t read(int32_t instr, float* data, int32_t blocklen, int16_t* overload) override {
        const int32_t status = zr::FakeInstrument::read(instr, data, blocklen, overload);
        ++reads;
        if (afterRead)
            afterRead();
        return status;
    }
};

struct LoopFixture : ::testing::Test {
    OnePassInstrument instrument;
    zr::ScriptedDialogs dialogs;
    std::unique_ptr<zr::MainForm> form;

    void SetUp() override {
        instrument.initDefault.handle = 4097;
        form =
            std::make_unique<zr::MainForm>(&instrument, &dialogs, QStringLiteral("/a\"VXI::192\""));
        form->setTerminator([](int) {});
        instrument.afterRead = [this] { form->stopflag = true; };
        form->resize(1000, 700);
        form->Form_Load(); // one pass of the start-up loop, then back here
        ASSERT_FALSE(form->ended());
        ASSERT_EQ(form->instr, 4097);
    }
    void TearDown() override { form.reset(); }

    void single() {
        const int before = instrument.reads;
        zr::clickButton(form->meascontrol[3]);
        ASSERT_EQ(instrument.reads, before + 1) << "one pass per Single";
    }
    void chooseBlockSize(const char* text) {
        const int i = form->blocksize->findText(QString::fromLatin1(text));
        ASSERT_GE(i, 0) << text;
        zr::selectEntry(form->blocksize, i);
    }
};

} // namespace zr::test
