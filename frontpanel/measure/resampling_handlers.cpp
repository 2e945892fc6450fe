// Software resampling options of the main window.
//
// The option chosen is not stored: the measurement loop reads the option
// buttons on every pass. The rate multiplier is kept in resampindex.
#include "common/controls.h"
#include "shell/main_form.h"

#include <QComboBox>
#include <QRadioButton>

#include <algorithm>

namespace zr {

void MainForm::resamp_Click() {
    // Entries "1x", "2x", "4x", "8x": factor 2^index. No selection (a list
    // being refilled) counts as "1x", so the factor is always one of the four.
    const int index = std::clamp(resamp->currentIndex(), 0, 3);
    resampindex = static_cast<int16_t>(index);
}

void MainForm::resampmode_Click(int index) {
    if (index == 0) {
        selectEntry(resamp, 0);
        resamp->setEnabled(false);
    } else {
        resamp->setEnabled(true);
    }
    relabel = true;
}

} // namespace zr
