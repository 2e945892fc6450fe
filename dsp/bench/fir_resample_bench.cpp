// Speed of the 11-tap FIR filter and of the 8x resampler of libzrdsp_32,
// side by side with liquid-dsp's firfilt_rrrf and resamp_rrrf. Each
// benchmark reports nanoseconds per output sample; after the run the ratio
// ours / liquid-dsp is printed for both pairs.
#include "zrdsp_32.h"

#include <benchmark/benchmark.h>
#include <liquid/liquid.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kFirSamples = 1048576;
constexpr int kResampInputs = 32768;
constexpr float kResampStep = 0.125f;

std::vector<float> signal(int n) {
    std::vector<float> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = static_cast<float>(std::sin(0.013 * i) + 0.3 * std::sin(0.41 * i));
    return x;
}

std::vector<float> equaliser() {
    const double half[6] = {-0.166315397211716, 1.3403462,         -5.43629855311873,
                            14.388607,          -26.7291162725784, 34.205555};
    std::vector<float> taps(11);
    for (int i = 0; i < 6; ++i)
        taps[i] = static_cast<float>(half[i]);
    for (int i = 6; i < 11; ++i)
        taps[i] = taps[10 - i];
    return taps;
}

void set_per_output(benchmark::State& state, double outputs_per_iteration) {
    state.counters["ns_per_output"] = benchmark::Counter(
        outputs_per_iteration * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_fir_11tap_zrdsp(benchmark::State& state) {
    const auto x = signal(kFirSamples);
    auto taps = equaliser();
    std::vector<float> y(kFirSamples), st(11, 0.0f);
    for (auto _ : state) {
        zrdsp_fir(x.data(), y.data(), kFirSamples, taps.data(), 11, st.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    set_per_output(state, kFirSamples);
}
BENCHMARK(BM_fir_11tap_zrdsp)->Unit(benchmark::kMillisecond);

void BM_fir_11tap_liquid(benchmark::State& state) {
    auto x = signal(kFirSamples);
    auto taps = equaliser();
    std::vector<float> y(kFirSamples);
    firfilt_rrrf q = firfilt_rrrf_create(taps.data(), 11);
    for (auto _ : state) {
        firfilt_rrrf_execute_block(q, x.data(), kFirSamples, y.data());
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    firfilt_rrrf_destroy(q);
    set_per_output(state, kFirSamples);
}
BENCHMARK(BM_fir_11tap_liquid)->Unit(benchmark::kMillisecond);

void BM_resample_8x_zrdsp(benchmark::State& state) {
    const auto x = signal(kResampInputs);
    std::vector<float> y(kResampInputs * 8 + 16);
    int32_t produced = 0;
    for (auto _ : state) {
        // A fresh signal each time, as the front panel resamples each block.
        float hist[11] = {};
        float p = 8.0f;
        zrdsp_resample(x.data(), kResampInputs, y.data(), static_cast<int32_t>(y.size()), &produced,
                       &p, kResampStep, hist);
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    set_per_output(state, produced);
}
BENCHMARK(BM_resample_8x_zrdsp)->Unit(benchmark::kMillisecond);

void BM_resample_8x_liquid(benchmark::State& state) {
    auto x = signal(kResampInputs);
    std::vector<float> y(kResampInputs * 8 + 64);
    unsigned int produced = 0;
    // Semi-length 5 (11-sample span per output, like the 11-tap kernel),
    // 64 filters in the bank.
    resamp_rrrf q = resamp_rrrf_create(8.0f, 5, 0.45f, 60.0f, 64);
    for (auto _ : state) {
        resamp_rrrf_reset(q);
        resamp_rrrf_execute_block(q, x.data(), kResampInputs, y.data(), &produced);
        benchmark::DoNotOptimize(y.data());
        benchmark::ClobberMemory();
    }
    resamp_rrrf_destroy(q);
    set_per_output(state, produced);
}
BENCHMARK(BM_resample_8x_liquid)->Unit(benchmark::kMillisecond);

// Console output plus the ns-per-output figures, kept for the ratios: the
// median when repetitions are asked for, else the single run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> ns;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs) {
            const auto it = r.counters.find("ns_per_output");
            if (it == r.counters.end())
                continue;
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                median_[name] = it->second.value;
            else if (r.run_type == Run::RT_Iteration)
                ns[name] = it->second.value;
            if (median_.count(name))
                ns[name] = median_[name];
        }
    }

private:
    std::map<std::string, double> median_;
};

void print_ratio(const RatioReporter& rep, const char* ours, const char* theirs) {
    const auto a = rep.ns.find(ours);
    const auto b = rep.ns.find(theirs);
    if (a == rep.ns.end() || b == rep.ns.end() || b->second <= 0.0)
        return;
    std::printf("%-24s %8.3f ns/output   %-24s %8.3f ns/output   ratio ours/liquid %.3f\n", ours,
                a->second, theirs, b->second, a->second / b->second);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter rep;
    benchmark::RunSpecifiedBenchmarks(&rep);
    print_ratio(rep, "BM_fir_11tap_zrdsp", "BM_fir_11tap_liquid");
    print_ratio(rep, "BM_resample_8x_zrdsp", "BM_resample_8x_liquid");
    benchmark::Shutdown();
    return 0;
}
