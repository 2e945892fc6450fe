// Numeric entry fields of the main window: txt_lostfocus commits one field.
//
// The field rules live in numeric_fields.h (commitField); this handler reads
// the text, stores the accepted value where it belongs, makes the one driver
// call of the field, runs the follow-ups and writes the value back, so that
// the field always shows what is in force.
#include "shell/main_form.h"

#include "driver/instrument.h"
#include "settings/numeric_fields.h"

#include <QCheckBox>
#include <QLineEdit>

namespace zr {

namespace {

// The per-mode array a field result names, or nullptr for the other targets.
PerMode* perModeArray(DisplayState& d, FieldTarget target) {
    switch (target) {
    case FieldTarget::MarkX:
        return &d.markx;
    case FieldTarget::YRef:
        return &d.yref;
    case FieldTarget::YPerDiv:
        return &d.yperdiv;
    case FieldTarget::YGrids:
        return &d.ygrids;
    case FieldTarget::XRef:
        return &d.xref;
    case FieldTarget::XPerDiv:
        return &d.xperdiv;
    case FieldTarget::XGrids:
        return &d.xgrids;
    case FieldTarget::RelX:
        return &d.relx;
    case FieldTarget::RelY:
        return &d.rely;
    case FieldTarget::MarkStep:
        return &d.markstep;
    default:
        return nullptr;
    }
}

// Stores a result whose target is not a value of the settings state.
void storeElsewhere(const FieldResult& r, DisplayState& display, MeasureState& measure) {
    switch (r.target) {
    case FieldTarget::NumAvg:
        measure.numavg = r.intValue;
        return;
    case FieldTarget::HistMin:
        measure.histmin = r.stored;
        return;
    case FieldTarget::HistMax:
        measure.histmax = r.stored;
        return;
    default:
        break;
    }
    if (PerMode* array = perModeArray(display, r.target)) {
        if (r.slot >= 0 && r.slot < static_cast<int>(array->size())) {
            (*array)[static_cast<std::size_t>(r.slot)] = r.stored;
        }
    }
}

} // namespace

void MainForm::txt_lostfocus(int index) {
    if (index < 0 || index >= kFieldCount) {
        return;
    }
    QLineEdit* field = txt[static_cast<std::size_t>(index)];
    const FieldContext context{modeindex, clockindex, clockfreq, xautoflag->isChecked()};
    FieldResult r = commitField(index, field->text().toStdString(), context);

    if (!storeInSettings(r, *this)) {
        storeElsewhere(r, *this, *this);
    }

    switch (r.call) {
    case FieldCall::FrequencyCenter:
        zrq7010->frequency_center(instr, r.callDouble);
        break;
    case FieldCall::TriggerAdcLevel:
        zrq7010->trigger_adclevel(instr, static_cast<int16_t>(r.callInt));
        break;
    case FieldCall::TriggerMagLevel:
        zrq7010->trigger_maglevel(instr, static_cast<int16_t>(r.callInt));
        break;
    case FieldCall::TriggerDelay: {
        zrq7010->trigger_delay(instr, r.callInt);
        // The field shows the delay the module accepted; if the read-back
        // fails the variable keeps the value sent.
        int32_t accepted = r.callInt;
        zrq7010->trigger_delay_get(instr, &accepted);
        finishDelayField(r, accepted);
        storeInSettings(r, *this);
        break;
    }
    case FieldCall::None:
        break;
    }

    if (r.rebuildLists) {
        fillfslist();
        fillbwlist();
    }
    if (r.reapplyCenter) {
        txt_lostfocus(2);
    }
    if (r.runXauto) {
        xauto_click();
    }
    field->setText(QString::fromStdString(r.text));
    relabel = true;
}

} // namespace zr
