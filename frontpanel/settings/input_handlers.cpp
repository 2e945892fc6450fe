// Input settings handlers of the main window: range, coupling, ground,
// signal, anti-alias filter, automatic ranging and offset zeroing.
#include "shell/main_form.h"

#include "driver/instrument.h"
#include "settings/settings_lists.h"
#include "common/controls.h"
#include "common/dialogs.h"

#include <QComboBox>

namespace zr {

void MainForm::range_click() {
    rangeindex = selection(range);
    zrq7010->input_range(instr, rangeCodeForIndex(rangeindex));
    trimdac_Click(); // the trim read-out follows the new range
    relabel = true;
}

void MainForm::coupling_Click() {
    couplingindex = selection(coupling);
    zrq7010->input_coupling(instr, couplingindex);
}

void MainForm::ground_Click() {
    groundindex = selection(ground);
    zrq7010->input_float(instr, groundindex);
}

void MainForm::signal_Click() {
    signalindex = selection(signal);
    zrq7010->input_signal(instr, signalindex);
}

void MainForm::aliasfilt_Click() {
    aliasindex = selection(aliasfilt);
    zrq7010->input_alias_filter(instr, aliasindex);
    fillbwlist(); // entry 0 names the analog filter
}

void MainForm::autozero_Click() {
    zrq7010->input_autozero(instr);
}

// Starts the module's range search, waits for it to report idle and selects
// the range it chose. The wait is bounded: a module that never reports idle
// gets a message and the range list keeps the range in force.
void MainForm::autorange_Click() {
    zrq7010->input_range_auto(instr, 0, 0);
    const bool finished = waitForAutorange(
        [this] {
            int16_t status = 0;
            zrq7010->status_get(instr, &status);
            return status;
        },
        autorangeTimeout);
    if (!finished) {
        dialogs->message(QString::fromUtf8(kAutorangeTimeoutMessage.data(),
                                           static_cast<qsizetype>(kAutorangeTimeoutMessage.size())),
                         appTitle());
        return;
    }
    int16_t code = rangeCodeForIndex(rangeindex);
    zrq7010->input_range_get(instr, &code);
    selectEntry(range, rangeIndexForCode(code)); // runs range_click
}

} // namespace zr
