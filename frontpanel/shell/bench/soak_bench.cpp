// Soak: the real measurement loop of the window, offscreen, at 32768 samples per block for a
// fixed number of passes in each mode, in simulated mode and with a session on the stand-in
// driver (through the driver binding, as the program runs). Reports the process's peak resident
// set, how much the resident set changed over a warm-up of 50 passes after the mode was set, and
// how it moves after that: its growth over the run, how many times it rose between two samples
// (every 50 passes) and the largest such step.
//
//   zrfp_soak_bench [--benchmark_filter=...]      ZR_SOAK_PASSES: passes per run (1000)
#include "driver/driver_library.h"
#include "driver/dsp_library.h"
#include "measure/loop_timing.h"
#include "common/controls.h"
#include "common/tests/scripted_dialogs.h"
#include "shell/main_form.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

long statusKb(const char* field) {
    long kb = 0;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        const std::size_t n = std::strlen(field);
        while (std::fgets(line, sizeof line, f) != nullptr) {
            if (std::strncmp(line, field, n) == 0) {
                kb = std::strtol(line + n, nullptr, 10);
            }
        }
        std::fclose(f);
    }
    return kb;
}

struct Soak {
    zr::DriverLibrary driver;
    zr::DspLibrary dsp;
    zr::ScriptedDialogs dialogs;
    zr::MainForm form{&driver, &dsp, &dialogs, QString()};
    long target = 0;

    Soak() {
        form.setTerminator([](int) {});
        form.setPassObserver([this](long passes) {
            if (passes >= target) {
                form.singleflag = true;
            }
        });
        form.show();
        QApplication::processEvents();
    }
    void run(long passes) {
        target = form.passCount() + passes;
        form.meascontrol_Click(2); // Continue
    }
};

// Made once, kept to the end of the process (not destroyed after the application object).
Soak& soak() {
    static Soak* s = new Soak;
    return *s;
}

void configure(Soak& s, int mode, bool session) {
    zr::MainForm& f = s.form;
    if (session && f.instr == 0) {
        int32_t handle = 0;
        s.driver.init("VXI::192", 1, 1, &handle);
        f.instr = handle;
    } else if (!session && f.instr != 0) {
        s.driver.close(f.instr);
        f.instr = 0;
    }
    f.presetall();
    if (f.blocksize->count() < 11) {
        f.blocksize->addItems({"8192", "16384", "32768"}); // as start-up adds them
    }
    zr::selectEntry(f.trigsource, 4); // Immediate: every read delivers a block
    zr::selectEntry(f.measmode, mode);
    zr::selectEntry(f.blocksize, 10); // 32768
    if (mode == 2) {
        f.txt[4]->setText("-1.2");
        f.txt_lostfocus(4);
        f.txt[5]->setText("1.2");
        f.txt_lostfocus(5);
    }
}

void BM_Soak(benchmark::State& state, int mode, bool session) {
    Soak& s = soak();
    configure(s, mode, session);
    const long beforeWarmUp = statusKb("VmRSS:");
    s.run(50); // warm-up: libraries bound, buffers and picture at their size
    const long warmUpKb = statusKb("VmRSS:") - beforeWarmUp;
    const long passes = state.range(0);
    long first = 0, last = 0, steps = 0, largestStep = 0;
    zr::LoopTiming timing; // counts the blocks that were processed and drawn
    s.form.looptiming = &timing;
    for (auto _ : state) {
        first = last = statusKb("VmRSS:");
        for (long done = 0; done < passes; done += 50) {
            s.run(50);
            const long now = statusKb("VmRSS:");
            if (now > last) {
                ++steps;
                largestStep = std::max(largestStep, now - last);
            }
            last = now;
        }
    }
    s.form.looptiming = nullptr;
    state.counters["blocks_per_pass"] =
        static_cast<double>(timing.blocks) / static_cast<double>(timing.passes);
    state.counters["npoints"] = s.form.npoints;
    state.counters["passes"] = static_cast<double>(passes);
    state.counters["peak_rss_mb"] = static_cast<double>(statusKb("VmHWM:")) / 1024.0;
    state.counters["warmup_rss_kb"] = static_cast<double>(warmUpKb);
    state.counters["rss_growth_kb"] = static_cast<double>(last - first);
    state.counters["rss_steps"] = static_cast<double>(steps);
    state.counters["largest_step_kb"] = static_cast<double>(largestStep);
}

void registerAll() {
    const char* modeName[] = {"TimeDomain", "Spectrum", "Histogram"};
    const long passes = std::max(50L, qEnvironmentVariableIntValue("ZR_SOAK_PASSES") > 0
                                          ? long{qEnvironmentVariableIntValue("ZR_SOAK_PASSES")}
                                          : 1000L);
    for (const bool session : {false, true}) {
        for (int mode = 0; mode < 3; ++mode) {
            benchmark::RegisterBenchmark(
                (std::string("BM_Soak/") + (session ? "StandIn/" : "Simulated/") + modeName[mode])
                    .c_str(),
                BM_Soak, mode, session)
                ->Arg(passes)
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (qEnvironmentVariableIsEmpty("ZRDSP_LIBRARY")) {
        qputenv("ZRDSP_LIBRARY", ZR_DSP_LIBRARY);
    }
    if (qEnvironmentVariableIsEmpty("ZRQ7010_DRIVER")) {
        qputenv("ZRQ7010_DRIVER", ZR_DRIVER_LIBRARY);
    }
    qunsetenv("ZRQ7010_JOURNAL"); // a journal would grow with every call
    QApplication app(argc, argv);
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
