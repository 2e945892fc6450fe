// Speed of the real measurement loop in the window: simulated acquisition (no session), the
// library's transforms, averaging, conversion and the redraw into the retained picture, with one
// event dispatch per pass, all on an offscreen window. Every benchmark iteration runs a fixed
// number of passes through "Continue"; the loop ends itself after them, as after "Single".
//
// Rates are per second of processor time of the process (the machine may be shared), and the
// stages are measured in processor time of the window thread.
// Counters: passes_per_s, and per pass in microseconds: acquire (simulation + re-arm), dsp
// (spectrum, or equaliser + resampler: the library calls), other_proc (power of zoom samples,
// histogram, averaging and conversion), draw (every redraw), yield (event dispatch).
// BM_Memory reports the peak resident set and the growth of the resident set over many passes.
#include "driver/tests/fake_instrument.h"
#include "driver/dsp_library.h"
#include "measure/loop_timing.h"
#include "common/controls.h"
#include "common/tests/scripted_dialogs.h"
#include "shell/main_form.h"
#include "shell/picture_box.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

namespace {

// The fake without its call log, so that a long run keeps no growing record.
class QuietInstrument : public zr::FakeInstrument {
public:
    int32_t meas_start(int32_t) override { return 0; }
    int32_t diag_reg_get(int32_t, int16_t, int16_t* value) override {
        *value = 0;
        return 0;
    }
};

struct Bench {
    QuietInstrument instrument;
    zr::DspLibrary dsp;
    zr::ScriptedDialogs dialogs;
    zr::MainForm form{&instrument, &dsp, &dialogs, QString()};
    long target = 0;

    Bench() {
        form.setTerminator([](int) {});
        form.instr = 0;
        form.setPassObserver([this](long passes) {
            if (passes >= target) {
                form.singleflag = true;
            }
        });
        form.show(); // at the size the window opens with
        QApplication::processEvents();
    }
    void run(long passes) {
        target = form.passCount() + passes;
        form.meascontrol_Click(2); // Continue
    }
};

// Made once and kept to the end of the process (it must not outlive the application object
// in a static destructor).
Bench& bench() {
    static Bench* b = new Bench;
    return *b;
}

struct Config {
    int mode = 1; // 0 time domain, 1 spectrum, 2 histogram
    int blocklen = 1024;
    int resamp = 0;     // 0 Default, 1 Gaussian, 2 Flat
    int rate = 0;       // resamp list index
    bool noise = false; // tone out of band, picture far smaller than the noise
};

int blockIndex(int blocklen) {
    int index = 0;
    while ((32 << index) < blocklen) {
        ++index;
    }
    return index;
}

void configure(Bench& b, const Config& c) {
    zr::MainForm& f = b.form;
    f.presetall();
    if (f.blocksize->count() < 11) {
        f.blocksize->addItems({"8192", "16384", "32768"}); // as start-up adds them
    }
    zr::selectEntry(f.trigsource, 4); // Immediate: every simulated read delivers a block
    zr::selectEntry(f.measmode, c.mode);
    zr::selectEntry(f.blocksize, blockIndex(c.blocklen));
    zr::clickOption(f.resampmode[c.resamp]);
    if (c.resamp != 0) {
        zr::selectEntry(f.resamp, c.rate);
    }
    if (c.mode == 2) {
        // Limits around the simulated tone, so the bins are filled.
        f.txt[4]->setText("-1.2");
        f.txt_lostfocus(4);
        f.txt[5]->setText("1.2");
        f.txt_lostfocus(5);
    }
    if (c.noise) {
        // A centre frequency beyond the simulated band removes tone and offset; the picture
        // shows +-0.5 mV of the +-3.6 mV noise, so nearly every segment runs across it.
        f.txt[2]->setText("15000000");
        f.txt[10]->setText("0.0001");
        f.txt_lostfocus(10);
    }
    b.run(20); // warm-up: library bound, axes computed, averaging settled
}

void BM_Loop(benchmark::State& state, Config c) {
    Bench& b = bench();
    configure(b, c);
    zr::LoopTiming timing;
    b.form.looptiming = &timing;
    constexpr long kPasses = 20;
    for (auto _ : state) {
        b.run(kPasses);
    }
    b.form.looptiming = nullptr;
    const double n = static_cast<double>(timing.passes);
    auto us = [n](int64_t ns) { return static_cast<double>(ns) / n / 1000.0; };
    state.counters["passes_per_s"] = benchmark::Counter(
        static_cast<double>(kPasses), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["npoints"] = b.form.npoints;
    state.counters["pic_w"] = b.form.picbox->image().width();
    state.counters["pic_h"] = b.form.picbox->image().height();
    state.counters["acquire_us"] = us(timing.acquireNs);
    state.counters["dsp_us"] = us(timing.transformNs + timing.resampleNs);
    state.counters["resample_us"] = us(timing.resampleNs);
    state.counters["other_proc_us"] = us(timing.processNs - timing.transformNs - timing.resampleNs);
    state.counters["draw_us"] = us(timing.drawNs);
    state.counters["yield_us"] = us(timing.yieldNs);
    state.counters["blocks_per_pass"] = static_cast<double>(timing.blocks) / n;
}

long residentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Resident memory over a long run at 1024 samples in each mode.
void BM_Memory(benchmark::State& state) {
    Bench& b = bench();
    long growthKb = 0;
    long passes = 0;
    for (auto _ : state) {
        for (int mode = 0; mode < 3; ++mode) {
            Config c;
            c.mode = mode;
            configure(b, c);
            b.run(2000);
            const long before = residentKb();
            b.run(state.range(0));
            growthKb += residentKb() - before;
            passes += state.range(0);
        }
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["passes"] = static_cast<double>(passes);
    state.counters["rss_growth_kb"] = static_cast<double>(growthKb);
    state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void registerAll() {
    const char* modeName[] = {"TimeDomain", "Spectrum", "Histogram"};
    for (int mode = 0; mode < 3; ++mode) {
        for (int n : {1024, 4096, 32768}) {
            Config c;
            c.mode = mode;
            c.blocklen = n;
            benchmark::RegisterBenchmark(
                (std::string("BM_Loop/") + modeName[mode] + "/" + std::to_string(n)).c_str(),
                BM_Loop, c)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (int n : {1024, 32768}) {
        Config c;
        c.mode = 0;
        c.blocklen = n;
        c.noise = true;
        benchmark::RegisterBenchmark(
            ("BM_Loop/TimeDomainNoiseAcrossPicture/" + std::to_string(n)).c_str(), BM_Loop, c)
            ->Unit(benchmark::kMicrosecond);
    }
    {
        Config c;
        c.mode = 0;
        c.blocklen = 32768;
        c.resamp = 2;
        c.rate = 3;
        benchmark::RegisterBenchmark("BM_Loop/TimeDomainFlat8x/32768", BM_Loop, c)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("BM_Memory", BM_Memory)
        ->Arg(20000)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("ZRDSP_LIBRARY")) {
        qputenv("ZRDSP_LIBRARY", ZR_DSP_LIBRARY);
    }
    QApplication app(argc, argv);
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
