// Speed of the simulated acquisition and of the per-block averaging and display conversion.
#include "measure_state.h"
#include "processing.h"
#include "simread.h"

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

} // namespace
