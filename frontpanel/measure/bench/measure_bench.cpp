// Speed of the simulated acquisition and of the per-block averaging and display conversion.
#include "measure_state.h"
#include "pass.h"
#include "processing.h"
#include "simread.h"
#include "zrdsp_32.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SimreadReal(benchmark::State& state) {
    zr::MeasureState m;
    zr::UniformSource rng;
    zr::SimSettings s;
    s.trigtypeindex = 4;
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(zr::simread(s, rng, m.dispdata, n));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_SimreadReal)->Arg(1024)->Arg(4096)->Arg(32768);

void BM_SimreadComplex(benchmark::State& state) {
    zr::MeasureState m;
    zr::UniformSource rng;
    zr::SimSettings s;
    s.trigtypeindex = 4;
    s.datatypeindex = 1;
    s.centerfreq = 1e5;
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(zr::simread(s, rng, m.dispdata, n));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_SimreadComplex)->Arg(1024)->Arg(4096)->Arg(32768);

// Exponential averaging followed by the spectrum's conversion to decibels.
void BM_AverageAndConvertSpectrum(benchmark::State& state) {
    zr::MeasureState m;
    zr::UniformSource rng;
    for (auto& v : m.dispdata)
        v = rng.next();
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        zr::average(m.dispdata, m.avgdata, n, zr::kAvgExponential, m.avgcount, 10);
        zr::convertdisplay(m.avgdata, m.dispdata, n, zr::kModeSpectrum, zr::kDataBaseband);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_AverageAndConvertSpectrum)->Arg(1024)->Arg(16385)->Arg(32768);

// Power of complex samples, peak hold and the zoom time conversion.
void BM_ZoomTimePeak(benchmark::State& state) {
    zr::MeasureState m;
    zr::UniformSource rng;
    zr::SimSettings s;
    s.datatypeindex = 1;
    s.trigtypeindex = 1;
    const auto n = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        zr::simread(s, rng, m.dispdata, n);
        state.ResumeTiming();
        zr::zoompower(m.dispdata, n);
        zr::average(m.dispdata, m.avgdata, n, zr::kAvgPeak, m.avgcount, 10);
        zr::convertdisplay(m.avgdata, m.dispdata, n, zr::kModeTime, zr::kDataZoom);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ZoomTimePeak)->Arg(32768);

void BM_Histbuild(benchmark::State& state) {
    zr::MeasureState m;
    zr::UniformSource rng;
    zr::SimSettings s;
    s.trigtypeindex = 1;
    zr::simread(s, rng, m.dispdata, 32768);
    for (auto _ : state) {
        zr::histbuild(m.dispdata, 32768, m.histdata, 4096, -1.0, 1.0, m.datamin, m.datamax);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 32768);
}
BENCHMARK(BM_Histbuild);

// A whole simulated pass as the loop runs it: simread, then transform, averaging and display
// conversion through processblock with the real library. items_per_second is passes per second.
void BM_FullPass(benchmark::State& state) {
    zr::MeasureState m;
    zr::UniformSource rng;
    zr::SimSettings s;
    s.trigtypeindex = 4;
    const auto n = static_cast<int32_t>(state.range(0));
    const auto mode = static_cast<int16_t>(state.range(1));
    m.modeindex = mode;
    m.avgmode = zr::kAvgExponential;
    m.numavg = 10;
    m.histmin = -1;
    m.histmax = 1;
    zr::fillfirkernel(m.firkernel);
    zrdsp_window(m.windowbuf.data(), n, 2, 0, 6.32455532f / static_cast<float>(n));
    zr::PassSetup p;
    p.blocklen = n;
    p.nbins = 256;
    p.npoints = mode == zr::kModeSpectrum ? n / 2 + 1 : (mode == zr::kModeHistogram ? 256 : n);
    p.fs = 20480000;
    p.resampmode = state.range(2) != 0 ? zr::ResampMode::Flat : zr::ResampMode::Default;
    m.resampindex = 1;
    const zr::DspFunctions dsp{&zrdsp_spectrum, &zrdsp_cspectrum, &zrdsp_fir, &zrdsp_resample};
    for (auto _ : state) {
        zr::simread(s, rng, m.dispdata, n);
        benchmark::DoNotOptimize(zr::processblock(m, p, dsp));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
// Arguments: block length, mode (0 time, 1 spectrum, 2 histogram), flat resampling 2x (0/1).
BENCHMARK(BM_FullPass)
    ->Args({32768, 0, 0})
    ->Args({32768, 0, 1})
    ->Args({32768, 1, 0})
    ->Args({32768, 2, 0})
    ->Args({4096, 1, 0});

} // namespace
