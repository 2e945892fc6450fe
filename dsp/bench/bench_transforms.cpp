// Transforms, windows and spectra of libzrdsp_32 side by side with FFTW
// (plans made with FFTW_MEASURE before timing) and KissFFT (single precision
// only: the installed KissFFT is the float build). Every contender does the
// same work per iteration, including copying the input into its buffer, so the
// in-place transforms start from the same data each time.
#include "zrdsp_32.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fftw3.h>
#include <kiss_fft.h>
#include <kiss_fftr.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr long kSizes[] = {256, 512, 1024, 2048, 4096, 8192, 16384, 32768, 65536};

template <typename T> std::vector<T> noise(std::size_t n) {
    std::mt19937 gen(1234);
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    std::vector<T> v(n);
    for (auto& x : v)
        x = static_cast<T>(d(gen));
    return v;
}

// FFTW in both precisions behind one interface.
template <typename T> struct Fftw;

template <> struct Fftw<double> {
    using Plan = fftw_plan;
    using Cpx = fftw_complex;
    static void* alloc(std::size_t bytes) { return fftw_malloc(bytes); }
    static void free(void* p) { fftw_free(p); }
    static Plan dft(int n, double* in, double* out) {
        return fftw_plan_dft_1d(n, reinterpret_cast<Cpx*>(in), reinterpret_cast<Cpx*>(out),
                                FFTW_FORWARD, FFTW_MEASURE);
    }
    static Plan r2c(int n, double* in, double* out) {
        return fftw_plan_dft_r2c_1d(n, in, reinterpret_cast<Cpx*>(out), FFTW_MEASURE);
    }
    static void execute(Plan p) { fftw_execute(p); }
    static void destroy(Plan p) { fftw_destroy_plan(p); }
};

template <> struct Fftw<float> {
    using Plan = fftwf_plan;
    using Cpx = fftwf_complex;
    static void* alloc(std::size_t bytes) { return fftwf_malloc(bytes); }
    static void free(void* p) { fftwf_free(p); }
    static Plan dft(int n, float* in, float* out) {
        return fftwf_plan_dft_1d(n, reinterpret_cast<Cpx*>(in), reinterpret_cast<Cpx*>(out),
                                 FFTW_FORWARD, FFTW_MEASURE);
    }
    static Plan r2c(int n, float* in, float* out) {
        return fftwf_plan_dft_r2c_1d(n, in, reinterpret_cast<Cpx*>(out), FFTW_MEASURE);
    }
    static void execute(Plan p) { fftwf_execute(p); }
    static void destroy(Plan p) { fftwf_destroy_plan(p); }
};

// Buffer from FFTW's aligned allocator.
template <typename T> struct FftwBuffer {
    T* p;
    explicit FftwBuffer(std::size_t n) : p(static_cast<T*>(Fftw<T>::alloc(n * sizeof(T)))) {}
    ~FftwBuffer() { Fftw<T>::free(p); }
    FftwBuffer(const FftwBuffer&) = delete;
    FftwBuffer& operator=(const FftwBuffer&) = delete;
};

void api_fft(float* d, int n) {
    zrdsp_fft(d, n, 1);
}
void api_fft(double* d, int n) {
    zrdsp_fft_double(d, n, 1);
}
void api_fft_real(float* d, int n) {
    zrdsp_fft_real(d, n, 1);
}
void api_fft_real(double* d, int n) {
    zrdsp_fft_real_double(d, n, 1);
}
void api_window(float* w, int n) {
    zrdsp_window(w, n, 3, 0, 6.32455532f / n);
}
void api_window(double* w, int n) {
    zrdsp_window_double(w, n, 3, 0, 6.32455532 / n);
}
void api_spectrum(const float* d, float* s, const float* w, int n) {
    zrdsp_spectrum(d, s, w, n, 1);
}
void api_spectrum(const double* d, double* s, const double* w, int n) {
    zrdsp_spectrum_double(d, s, w, n, 1);
}
void api_cspectrum(const float* d, float* s, const float* w, int n) {
    zrdsp_cspectrum(d, s, w, n, 1);
}
void api_cspectrum(const double* d, double* s, const double* w, int n) {
    zrdsp_cspectrum_double(d, s, w, n, 1);
}

template <typename T> std::vector<T> hann(int n) {
    std::vector<T> w(n);
    if constexpr (sizeof(T) == sizeof(float))
        zrdsp_window(w.data(), n, 1, 0, 1.0f);
    else
        zrdsp_window_double(w.data(), n, 1, 0, 1.0);
    return w;
}

// ---- complex transform ---------------------------------------------------

template <typename T> void fft_ours(benchmark::State& st, int n) {
    const auto src = noise<T>(2 * n);
    std::vector<T> d(2 * n);
    for (auto _ : st) {
        std::memcpy(d.data(), src.data(), src.size() * sizeof(T));
        api_fft(d.data(), n);
        benchmark::DoNotOptimize(d.data());
    }
}

template <typename T> void fft_fftw(benchmark::State& st, int n) {
    const auto src = noise<T>(2 * n);
    FftwBuffer<T> d(2 * n);
    auto plan = Fftw<T>::dft(n, d.p, d.p);
    for (auto _ : st) {
        std::memcpy(d.p, src.data(), src.size() * sizeof(T));
        Fftw<T>::execute(plan);
        benchmark::DoNotOptimize(d.p);
    }
    Fftw<T>::destroy(plan);
}

void fft_kiss(benchmark::State& st, int n) {
    const auto src = noise<float>(2 * n);
    std::vector<kiss_fft_cpx> in(n), out(n);
    kiss_fft_cfg cfg = kiss_fft_alloc(n, 0, nullptr, nullptr);
    for (auto _ : st) {
        std::memcpy(in.data(), src.data(), src.size() * sizeof(float));
        kiss_fft(cfg, in.data(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
    kiss_fft_free(cfg);
}

// ---- real transform --------------------------------------------------------

template <typename T> void rfft_ours(benchmark::State& st, int n) {
    const auto src = noise<T>(n);
    std::vector<T> d(n);
    for (auto _ : st) {
        std::memcpy(d.data(), src.data(), src.size() * sizeof(T));
        api_fft_real(d.data(), n);
        benchmark::DoNotOptimize(d.data());
    }
}

template <typename T> void rfft_fftw(benchmark::State& st, int n) {
    const auto src = noise<T>(n);
    FftwBuffer<T> in(n), out(n + 2);
    auto plan = Fftw<T>::r2c(n, in.p, out.p);
    for (auto _ : st) {
        std::memcpy(in.p, src.data(), src.size() * sizeof(T));
        Fftw<T>::execute(plan);
        benchmark::DoNotOptimize(out.p);
    }
    Fftw<T>::destroy(plan);
}

void rfft_kiss(benchmark::State& st, int n) {
    const auto src = noise<float>(n);
    std::vector<float> in(n);
    std::vector<kiss_fft_cpx> out(n / 2 + 1);
    kiss_fftr_cfg cfg = kiss_fftr_alloc(n, 0, nullptr, nullptr);
    for (auto _ : st) {
        std::memcpy(in.data(), src.data(), src.size() * sizeof(float));
        kiss_fftr(cfg, in.data(), out.data());
        benchmark::DoNotOptimize(out.data());
    }
    kiss_fft_free(cfg);
}

// ---- window ------------------------------------------------------------------

template <typename T> void window_ours(benchmark::State& st, int n) {
    std::vector<T> w(n);
    for (auto _ : st) {
        api_window(w.data(), n);
        benchmark::DoNotOptimize(w.data());
    }
}

// ---- one-sided power spectrum of a windowed real block -------------------------

template <typename T> void spectrum_ours(benchmark::State& st, int n) {
    const auto src = noise<T>(n);
    const auto win = hann<T>(n);
    std::vector<T> s(n / 2 + 1);
    for (auto _ : st) {
        api_spectrum(src.data(), s.data(), win.data(), n);
        benchmark::DoNotOptimize(s.data());
    }
}

template <typename T> void spectrum_fftw(benchmark::State& st, int n) {
    const auto src = noise<T>(n);
    const auto win = hann<T>(n);
    FftwBuffer<T> in(n), out(n + 2);
    std::vector<T> s(n / 2 + 1);
    auto plan = Fftw<T>::r2c(n, in.p, out.p);
    for (auto _ : st) {
        for (int i = 0; i < n; ++i)
            in.p[i] = src[i] * win[i];
        Fftw<T>::execute(plan);
        for (int k = 0; k <= n / 2; ++k)
            s[k] = out.p[2 * k] * out.p[2 * k] + out.p[2 * k + 1] * out.p[2 * k + 1];
        benchmark::DoNotOptimize(s.data());
    }
    Fftw<T>::destroy(plan);
}

void spectrum_kiss(benchmark::State& st, int n) {
    const auto src = noise<float>(n);
    const auto win = hann<float>(n);
    std::vector<float> in(n), s(n / 2 + 1);
    std::vector<kiss_fft_cpx> out(n / 2 + 1);
    kiss_fftr_cfg cfg = kiss_fftr_alloc(n, 0, nullptr, nullptr);
    for (auto _ : st) {
        for (int i = 0; i < n; ++i)
            in[i] = src[i] * win[i];
        kiss_fftr(cfg, in.data(), out.data());
        for (int k = 0; k <= n / 2; ++k)
            s[k] = out[k].r * out[k].r + out[k].i * out[k].i;
        benchmark::DoNotOptimize(s.data());
    }
    kiss_fft_free(cfg);
}

// ---- two-sided power spectrum of a windowed complex block ------------------------

template <typename T> void cspectrum_ours(benchmark::State& st, int n) {
    const auto src = noise<T>(2 * n);
    const auto win = hann<T>(n);
    std::vector<T> s(n);
    for (auto _ : st) {
        api_cspectrum(src.data(), s.data(), win.data(), n);
        benchmark::DoNotOptimize(s.data());
    }
}

template <typename T> void cspectrum_fftw(benchmark::State& st, int n) {
    const auto src = noise<T>(2 * n);
    const auto win = hann<T>(n);
    FftwBuffer<T> d(2 * n);
    std::vector<T> s(n);
    auto plan = Fftw<T>::dft(n, d.p, d.p);
    for (auto _ : st) {
        for (int k = 0; k < n; ++k) {
            d.p[2 * k] = src[2 * k] * win[k];
            d.p[2 * k + 1] = src[2 * k + 1] * win[k];
        }
        Fftw<T>::execute(plan);
        for (int k = 0; k < n; ++k)
            s[(n / 2 + k) % n] = d.p[2 * k] * d.p[2 * k] + d.p[2 * k + 1] * d.p[2 * k + 1];
        benchmark::DoNotOptimize(s.data());
    }
    Fftw<T>::destroy(plan);
}

void cspectrum_kiss(benchmark::State& st, int n) {
    const auto src = noise<float>(2 * n);
    const auto win = hann<float>(n);
    std::vector<kiss_fft_cpx> in(n), out(n);
    std::vector<float> s(n);
    kiss_fft_cfg cfg = kiss_fft_alloc(n, 0, nullptr, nullptr);
    for (auto _ : st) {
        for (int k = 0; k < n; ++k) {
            in[k].r = src[2 * k] * win[k];
            in[k].i = src[2 * k + 1] * win[k];
        }
        kiss_fft(cfg, in.data(), out.data());
        for (int k = 0; k < n; ++k)
            s[(n / 2 + k) % n] = out[k].r * out[k].r + out[k].i * out[k].i;
        benchmark::DoNotOptimize(s.data());
    }
    kiss_fft_free(cfg);
}

template <typename F> void add(const std::string& name, long n, F f) {
    benchmark::RegisterBenchmark((name + "/" + std::to_string(n)).c_str(),
                                 [f, n](benchmark::State& st) { f(st, static_cast<int>(n)); })
        ->Unit(benchmark::kNanosecond)
        // The fastest repetition: on a shared machine, interference only
        // ever adds time, so the minimum is the steadiest figure.
        ->ComputeStatistics("min", [](const std::vector<double>& v) {
            return *std::min_element(v.begin(), v.end());
        });
}

template <typename T> void register_precision(const char* prec) {
    const std::string p = prec;
    for (long n : kSizes) {
        add("fft/" + p + "/ours", n, fft_ours<T>);
        add("fft/" + p + "/fftw", n, fft_fftw<T>);
        add("rfft/" + p + "/ours", n, rfft_ours<T>);
        add("rfft/" + p + "/fftw", n, rfft_fftw<T>);
        add("spectrum/" + p + "/ours", n, spectrum_ours<T>);
        add("spectrum/" + p + "/fftw", n, spectrum_fftw<T>);
        add("cspectrum/" + p + "/ours", n, cspectrum_ours<T>);
        add("cspectrum/" + p + "/fftw", n, cspectrum_fftw<T>);
        add("window/" + p + "/ours", n, window_ours<T>);
        if constexpr (sizeof(T) == sizeof(float)) {
            add("fft/" + p + "/kiss", n, fft_kiss);
            add("rfft/" + p + "/kiss", n, rfft_kiss);
            add("spectrum/" + p + "/kiss", n, spectrum_kiss);
            add("cspectrum/" + p + "/kiss", n, cspectrum_kiss);
        }
    }
}

const bool registered = [] {
    register_precision<float>("float");
    register_precision<double>("double");
    return true;
}();

} // namespace
