// Time of one full redraw (clear, grid, trace) of the graph into a
// 417 x 345 picture, for smooth and full-scale noise traces.
#include "graph.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

void redraw(benchmark::State& state, bool noise) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    std::vector<float> data(static_cast<std::size_t>(n));
    std::mt19937 rng(1);
    std::uniform_real_distribution<float> u(-5.0f, 5.0f); // the whole 10-division height
    for (std::int32_t i = 0; i < n; ++i)
        data[static_cast<std::size_t>(i)] =
            noise ? u(rng) : static_cast<float>(4.0 * std::sin(2 * M_PI * 3.0 * i / n));

    zr::DisplayState s;
    s.relabel = false;
    s.markmode = 1;
    s.xstart = 0;
    s.npoints = n;
    s.xstep = 1.0 / n; // the block spans the 10 divisions
    s.xperdiv[0] = 0.1;
    s.markx[0] = 0.5;
    zr::GraphInputs in;
    in.modeindex = zr::kModeTime;
    in.dispdata = data;
    QImage picture(417, 345, QImage::Format_RGB32);
    for (auto _ : state) {
        zr::GraphTexts t = zr::drawgraph(s, in, picture);
        benchmark::DoNotOptimize(t);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_RedrawSmooth(benchmark::State& state) {
    redraw(state, false);
}
void BM_RedrawNoise(benchmark::State& state) {
    redraw(state, true);
}

BENCHMARK(BM_RedrawSmooth)
    ->Arg(1024)
    ->Arg(4096)
    ->Arg(32768)
    ->Arg(131073)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedrawNoise)
    ->Arg(1024)
    ->Arg(4096)
    ->Arg(32768)
    ->Arg(131073)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
