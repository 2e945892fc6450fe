// One window of the program (offscreen) with the recording instrument, the signal-processing
// library and scripted dialogs, on session 4097 with an empty call log.
#pragma once

#include "common/controls.h"
#include "common/tests/scripted_dialogs.h"
#include "driver/dsp_library.h"
#include "driver/tests/fake_instrument.h"
#include "shell/main_form.h"

#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zr::test {

constexpr int32_t kHandle = 4097;
using Log = std::vector<std::string>;

// A log line of the recording instrument for the session: call("trigger_type", "3").
inline std::string call(const char* function, const std::string& args = "") {
    return "zrq7010_" + std::string(function) + " " + std::to_string(kHandle) +
           (args.empty() ? "" : " " + args);
}

template <class Instrument = FakeInstrument, class Dialogs = ScriptedDialogs>
struct WindowTest : ::testing::Test {
    Instrument instrument;
    DspLibrary dsp;
    Dialogs dialogs;
    std::unique_ptr<MainForm> form;
    int ends = 0; // times the program would have ended

    void SetUp() override {
        form = std::make_unique<MainForm>(&instrument, &dsp, &dialogs, QString());
        form->setTerminator([this](int) { ++ends; });
        form->instr = kHandle;
        instrument.clearLog();
    }
    // Types `text` into field `index` and leaves it; returns what the field shows then.
    QString commit(int index, const QString& text) {
        QLineEdit* field = form->txt[static_cast<std::size_t>(index)];
        field->setText(text);
        form->txt_lostfocus(index);
        return field->text();
    }
};

} // namespace zr::test
