// Diagnostics panel handlers of the main window: the three lists that share
// control register 1 (each changes only its own bit field, reading the
// register just before writing it), the bumping register, and the trim-DAC
// selector with its value field.
#include "diag/diag_registers.h"
#include "driver/instrument.h"
#include "common/controls.h"
#include "shell/main_form.h"

#include <QComboBox>
#include <QLineEdit>

namespace zr {

namespace {

// Reads control register 1 as the driver returns it.
uint16_t readControl(Instrument& driver, int32_t instr) {
    int16_t r = 0;
    driver.diag_reg_get(instr, kControlRegister, &r);
    return fromRegisterRead(r);
}

} // namespace

void MainForm::calmode_Click() {
    const int selection = calmode->currentIndex();
    if (selection < 0) {
        return; // no entry selected: the register keeps its field
    }
    calmodeindex = static_cast<int16_t>(selection);
    const uint16_t r = readControl(*zrq7010, instr);
    zrq7010->diag_reg(instr, kControlRegister, asRegisterArg(controlWithCalMode(r, calmodeindex)));
}

void MainForm::dataout_Click() {
    const int d = dataout->currentIndex();
    if (d < 0) {
        return;
    }
    const uint16_t r = readControl(*zrq7010, instr);
    zrq7010->diag_reg(instr, kControlRegister, asRegisterArg(controlWithDataOut(r, d)));
}

void MainForm::bumping_Click() {
    const int selection = bumping->currentIndex();
    if (selection < 0) {
        return;
    }
    bumpindex = static_cast<int16_t>(selection);
    zrq7010->diag_reg(instr, kBumpingRegister, bumpindex);
}

void MainForm::tau_Click() {
    const int selection = tau->currentIndex();
    if (selection < 0) {
        return;
    }
    tauindex = static_cast<int16_t>(selection);
    const uint16_t r = readControl(*zrq7010, instr);
    zrq7010->diag_reg(instr, kControlRegister, asRegisterArg(controlWithTau(r, tauindex)));
}

void MainForm::trimdac_Click() {
    const int selection = trimdac->currentIndex();
    if (selection < 0) {
        return;
    }
    trimindex = static_cast<int16_t>(selection);
    int16_t value = 0;
    zrq7010->diag_reg_get(instr, trimDacFor(trimindex).reg, &value);
    adc1entry->setText(QString::fromStdString(trimReadoutText(value)));
}

void MainForm::adc1entry_KeyPress(int& keyAscii) {
    if (keyAscii != kKeyEnter) {
        return; // typing only edits the field; Enter writes the register
    }
    keyAscii = 0;
    const TrimWrite w = trimEntry(trimindex, adc1entry->text().toStdString());
    zrq7010->diag_reg(instr, w.reg, w.value);
    adc1entry->setText(QString::fromStdString(w.text));
}

} // namespace zr
