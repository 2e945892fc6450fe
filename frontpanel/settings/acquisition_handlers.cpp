// Acquisition and filter settings handlers of the main window, and the
// procedures that rebuild the texts of the bandwidth and sample-rate lists.
#include "shell/main_form.h"
#include "common/controls.h"

#include "driver/dsp_library.h"
#include "driver/instrument.h"
#include "settings/settings_lists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QSignalBlocker>

#include <string>
#include <vector>

namespace zr {

namespace {

// Writes the entries by index: an existing entry gets the new text in place,
// a missing one is appended. The selection stays as it is and no handler runs.
void writeEntries(QComboBox* list, const std::vector<std::string>& entries) {
    const QSignalBlocker blocker(list);
    const int selected = list->currentIndex();
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const QString text = QString::fromStdString(entries[static_cast<std::size_t>(i)]);
        if (i < list->count()) {
            list->setItemText(i, text);
        } else {
            list->addItem(text);
        }
    }
    if (selected >= 0 && selected < list->count()) {
        list->setCurrentIndex(selected);
    }
}

} // namespace

void MainForm::fillbwlist() {
    writeEntries(bandwidth, bandwidthEntries(clockfreq, datatypeindex, aliasindex));
}

void MainForm::fillfslist() {
    writeEntries(sampfreq, sampleRateEntries(clockfreq, bwindex));
}

void MainForm::datatype_Click() {
    datatypeindex = selection(datatype);
    zrq7010->data_type(instr, datatypeindex);
    fillbwlist();
    if (xautoflag->isChecked()) {
        xauto_click();
    }
    avgcount = 0;
    txt_lostfocus(8); // re-apply the trigger delay
    relabel = true;
    // Software resampling exists for real baseband data only.
    Frame4->setVisible(datatypeindex == 0);
}

void MainForm::precision_Click() {
    resolutionindex = selection(precision);
    zrq7010->data_resolution(instr, resolutionindex);
    txt_lostfocus(8);
}

void MainForm::blocksize_click() {
    blockindex = selection(blocksize);
    blocklen = blocklenForIndex(blockindex);
    zrq7010->data_blocksize(instr, blocklen);
    // The window table for the new length, scaled so spectra read in dBm.
    dsp->window(windowbuf.data(), blocklen, windowindex, 0, windowNormalisation(blocklen));
    if (xautoflag->isChecked()) {
        xauto_click();
    }
    avgcount = 0;
    relabel = true;
}

void MainForm::bandwidth_Click() {
    bwindex = selection(bandwidth);
    zrq7010->filter_bw(instr, bwindex);
    fillfslist();
    if (xautoflag->isChecked()) {
        xauto_click();
    }
    avgcount = 0;
    relabel = true;
}

void MainForm::sampfreq_Click() {
    decimindex = selection(sampfreq);
    zrq7010->filter_decimate(instr, decimindex);
    if (xautoflag->isChecked()) {
        xauto_click();
    }
    avgcount = 0;
    relabel = true;
}

void MainForm::appendStatus_Click() {
    zrq7010->data_append_status(instr, appendstatus->isChecked() ? 1 : 0);
}

} // namespace zr
