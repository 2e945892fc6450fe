// Measurement loop, measurement buttons and measurement-mode handlers of the main window.
#include "shell/main_form.h"
#include "common/qt_text.h"

#include "driver/instrument.h"
#include "driver/dsp_library.h"
#include "measure/pass.h"
#include "common/number_text.h"
#include "settings/settings_lists.h"
#include "common/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <algorithm>
#include <span>

namespace zr {

namespace {

// The most samples a read may deliver: zoom data take two values per sample, and the block
// array holds MeasureState::kDataSize values.
constexpr int32_t kMaxReadCount = static_cast<int32_t>(MeasureState::kDataSize / 2);

std::string textOf(const QLineEdit* field) {
    return field->text().toStdString();
}

} // namespace

DspFunctions MainForm::libraryCalls() const {
    SignalProcessing* lib = dsp;
    DspFunctions calls;
    calls.spectrum = [lib](const float* in, float* out, const float* shape, int32_t count,
                           int16_t mode) { lib->spectrum(in, out, shape, count, mode); };
    calls.cspectrum = [lib](const float* in, float* out, const float* shape, int32_t count,
                            int16_t mode) { lib->cspectrum(in, out, shape, count, mode); };
    calls.fir = [lib](const float* input, float* output, int32_t count, const float* taps,
                      int32_t ntaps,
                      float* state) { lib->fir(input, output, count, taps, ntaps, state); };
    calls.resample = [lib](const float* input, int32_t count, float* output, int32_t maxout,
                           int32_t* produced, float* position, float step, float* history) {
        lib->resample(input, count, output, maxout, produced, position, step, history);
    };
    return calls;
}

double MainForm::selectedSampleRate() const {
    return sampleRateOfEntry(sampfreq->itemText(decimindex).toStdString());
}

int32_t MainForm::selectedBins() const {
    const double n = leadingNumber(histbins->itemText(histbinsindex).toStdString());
    // The list offers 16 .. 4096; anything else (no selection) is kept inside the arrays.
    return static_cast<int32_t>(std::clamp(n, 0.0, static_cast<double>(kDataSize)));
}

// ---------------------------------------------------------------------------
// Simulated acquisition: the driver read's stand-in while no session is open.

int32_t MainForm::simread(int32_t&, float* block, int32_t& count, int16_t&) {
    SimSettings s;
    s.rangeindex = rangeindex;
    s.bwindex = bwindex;
    s.decimindex = decimindex;
    s.clockindex = clockindex;
    s.extclock = leadingNumber(textOf(txt[1]));
    s.centerfreq = leadingNumber(textOf(txt[2]));
    s.trigtypeindex = trigtypeindex;
    s.datatypeindex = datatypeindex;
    // The loop hands over the block array; any other array is taken to hold count samples.
    std::size_t capacity = static_cast<std::size_t>(std::max(count, 0)) * 2;
    if (block >= dispdata.data() && block < dispdata.data() + dispdata.size()) {
        capacity = static_cast<std::size_t>(dispdata.data() + dispdata.size() - block);
    }
    return zr::simread(s, simrng_, std::span<float>(block, capacity), count);
}

// ---------------------------------------------------------------------------
// The measurement loop.

void MainForm::measloop() {
    // A loop runs already: this call came from a handler inside its yield.
    if (!stopflag) {
        return;
    }
    // A loop is suspended in its yield, but a handler stopped it and now starts measuring again
    // (the reset does this through "Start"). Rather than nesting a second loop inside the first,
    // the suspended loop is asked to go on with a fresh pass as soon as the handler returns.
    if (loopDepth_ > 0) {
        loopRestart_ = true;
        return;
    }
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } depth(loopDepth_);

    stopflag = false;
    loopRestart_ = false;
    bool endedBySingle = false;
    runState_ = RunState::Running;
    blockRate_.start(statusClockNs());
    int16_t overloadflag = 0;
    LoopTiming* timing = looptiming;

    while (!stopflag) {
        ++passCount_;
        if (timing != nullptr) {
            ++timing->passes;
        }
        // Diagnostic read-out, on every pass.
        if (diagshown) {
            int16_t value = 0;
            zrq7010->diag_reg_get(instr, 4, &value);
            adc1offset->setText(QString::number(value));
        }

        // Acquire.
        int32_t status = 0;
        int32_t rearm = 0;
        {
            StageTimer t(timing != nullptr ? &timing->acquireNs : nullptr);
            const int32_t count = std::clamp(blocklen, 0, kMaxReadCount);
            if (instr != 0) {
                status = zrq7010->read(instr, dispdata.data(), count, &overloadflag);
            } else {
                int32_t session = instr;
                int32_t simcount = count;
                status = simread(session, dispdata.data(), simcount, overloadflag);
            }
            // No block: arm a measurement when the driver waits for one.
            if (status == 2) {
                rearm = zrq7010->meas_start(instr);
            } else if (status == 0) {
                // Re-arm at once, so the next block is acquired while this one is shown.
                if (showcal->isChecked()) {
                    showcaltable();
                } else {
                    cal->hide();
                }
                rearm = zrq7010->meas_start(instr);
            }
        }
        if (status == 2) {
            badstate->setVisible(instr != 0 && rearm != 0);
        } else if (status == 0) {
            if (timing != nullptr) {
                ++timing->blocks;
            }
            blockRate_.block(statusClockNs());
            // 4.3, 4.4 Indicators.
            overload->setVisible(overloadflag != 0);
            badstate->setVisible(instr != 0 && rearm != 0);

            // Transform, average, convert. Axes changed since the last draw are
            // recomputed first, so the block is averaged over the points it has now.
            if (relabel) {
                labelaxes();
            }
            PassSetup setup;
            setup.blocklen = std::clamp(blocklen, 0, kMaxReadCount);
            setup.datatypeindex = datatypeindex;
            setup.nbins = selectedBins();
            setup.resampmode = resampmode[1]->isChecked()   ? ResampMode::Gaussian
                               : resampmode[2]->isChecked() ? ResampMode::Flat
                                                            : ResampMode::Default;
            setup.fs = selectedSampleRate();
            setup.npoints = npoints;
            setup.xstep = xstep;
            PassResult result;
            {
                StageTimer t(timing != nullptr ? &timing->processNs : nullptr);
                result = processblock(*this, setup, libraryCalls(), timing);
            }
            if (result.resampled) {
                npoints = std::clamp<int32_t>(result.npoints, 1, kMaxPoints);
                xstep = result.xstep;
                lastResampled_ = XAxisInputs::Resampled{xstep, npoints};
                lastResampledSetup_ = resampleSetup();
            } else {
                lastResampled_.reset();
            }
            // Draw the block into the retained picture.
            drawgraph();
        }
        // Any other status: nothing is processed or drawn, no indicator changes.

        // The one place where the window's events run.
        {
            StageTimer t(timing != nullptr ? &timing->yieldNs : nullptr);
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        // The window was closed during the yield: no further step.
        if (unloading) {
            return;
        }
        // Stopped and started again during the yield: carry on with a fresh pass.
        if (loopRestart_) {
            loopRestart_ = false;
            stopflag = false;
            overloadflag = 0;
            continue;
        }
        // Show a settings change made during the yield at once.
        if (relabel) {
            drawgraph();
        }
        if (passObserver_) {
            passObserver_(passCount_);
        }
        // "Single" ends the loop after this pass.
        if (singleflag) {
            stopflag = true;
            singleflag = false;
            endedBySingle = true;
        }
    }
    runState_ = endedBySingle ? RunState::Single : RunState::Paused;
    // The last block's read-outs and picture on the screen now, not at the next refresh.
    presentGraph();
}

void MainForm::meascontrol_Click(int index) {
    switch (index) {
    case 0: // Start
        avgcount = 0;
        zrq7010->meas_start(instr);
        measloop();
        break;
    case 1: // Pause
        stopflag = true;
        break;
    case 2: // Continue
        zrq7010->meas_start(instr);
        measloop();
        break;
    case 3: // Single
        singleflag = true;
        measloop();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------
// Measurement mode, averaging, window, histogram.

void MainForm::measmode_Click() {
    const int selected = measmode->currentIndex();
    if (selected < 0 || selected > 2) {
        return; // no mode selected: the display setup stays as it is
    }
    const auto m = static_cast<std::size_t>(selected);
    // The new mode and its sub-panel.
    modeindex = static_cast<int16_t>(selected);
    bringToFront(meascont[m]);
    // Units beside the reference fields.
    static const char* const kYUnits[] = {"Volts", "dBm", "Counts"};
    static const char* const kXUnits[] = {"Sec", "Hz", "Volts"};
    lablyunits->setText(QString::fromLatin1(kYUnits[m]));
    lablxunits->setText(QString::fromLatin1(kXUnits[m]));
    // The mode's display setup into the fields; the lists run their handlers.
    txt[9]->setText(numberText(yref[m]));
    txt[10]->setText(numberText(yperdiv[m]));
    txt[11]->setText(numberText(ygrids[m]));
    yposindex = yrefpos[m];
    selectEntry(ypos, yposindex);
    txt[12]->setText(numberText(xref[m]));
    txt[13]->setText(numberText(xperdiv[m]));
    txt[14]->setText(numberText(xgrids[m]));
    xposindex = xrefpos[m];
    selectEntry(xpos, xposindex);
    txt[15]->setText(numberText(relx[m]));
    txt[16]->setText(numberText(rely[m]));
    txt[17]->setText(numberText(markstep[m]));
    // New x span for the new mode.
    if (xautoflag->isChecked()) {
        xauto_click();
    }
    // Averages restart; axes are recomputed before the next draw.
    avgcount = 0;
    relabel = true;
}

void MainForm::averaging_Click() {
    const int index = averaging->currentIndex();
    if (index >= 0) {
        avgmode = static_cast<int16_t>(index);
    }
}

void MainForm::window_Click() {
    const int index = window->currentIndex();
    if (index >= 0) {
        windowindex = static_cast<int16_t>(index);
    }
    blocksize_click();
}

void MainForm::histbins_Click() {
    const int index = histbins->currentIndex();
    if (index >= 0) {
        histbinsindex = static_cast<int16_t>(index);
    }
    // The histogram's x axis depends on the number of bins: recompute it before the next draw.
    relabel = true;
    if (xautoflag->isChecked()) {
        xauto_click();
    }
}

void MainForm::autohist_Click() {
    const std::optional<HistLimits> limits =
        zr::autohist(datamin, datamax, xgrids[static_cast<std::size_t>(modeindex)]);
    if (!limits) {
        return; // no value range yet (or a constant block): nothing changes
    }
    histmin = limits->histmin;
    histmax = limits->histmax;
    txt[4]->setText(numberText(histmin));
    txt[5]->setText(numberText(histmax));
    relabel = true;
    if (xautoflag->isChecked()) {
        xauto_click();
    }
}

void MainForm::histbuild(const float* values, int32_t count, float* counts, int32_t nbins,
                         double low, double high) {
    const std::size_t n = static_cast<std::size_t>(std::max(count, 0));
    const std::size_t bins = static_cast<std::size_t>(std::max(nbins, 0));
    zr::histbuild(std::span<const float>(values, n), count, std::span<float>(counts, bins), nbins,
                  low, high, datamin, datamax);
}

} // namespace zr
