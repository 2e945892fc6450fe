#include "driver/dsp_library.h"

#include <atomic>

namespace zr {

#define ZR_DSP_FUNCTIONS(X)                                                                        \
    X(fft)                                                                                         \
    X(fft_double)                                                                                  \
    X(fft_real)                                                                                    \
    X(fft_real_double)                                                                             \
    X(window)                                                                                      \
    X(window_double)                                                                               \
    X(spectrum)                                                                                    \
    X(spectrum_double)                                                                             \
    X(cspectrum)                                                                                   \
    X(cspectrum_double)                                                                            \
    X(fir)                                                                                         \
    X(fir_double)                                                                                  \
    X(fir_synth)                                                                                   \
    X(fir_resp)                                                                                    \
    X(resample)                                                                                    \
    X(resample_double)                                                                             \
    X(resamp_resp)

// One cached pointer per function, null until its first call. Atomic, so the
// process-wide instance may be called from several threads.
struct DspLibrary::Bound {
#define ZR_DECLARE_POINTER(name) std::atomic<decltype(&::zrdsp_##name)> name{nullptr};
    ZR_DSP_FUNCTIONS(ZR_DECLARE_POINTER)
#undef ZR_DECLARE_POINTER
};

QString dspLibraryFileName() {
#if defined(_WIN32)
    return QStringLiteral("zrdsp_32.dll");
#else
    // The soname: the runtime package installs no unversioned name.
    return QStringLiteral("libzrdsp_32.so.1");
#endif
}

DspLibrary::DspLibrary()
    : library_(LibrarySearch{QStringLiteral("ZRDSP_LIBRARY"), dspLibraryFileName(),
                             QStringLiteral("signal-processing library"),
                             QStringLiteral(ZR_BIN_TO_LIBDIR)}),
      bound_(std::make_unique<Bound>()) {}

DspLibrary::~DspLibrary() = default;

bool DspLibrary::isLoaded() const {
    return library_.isLoaded();
}

QString DspLibrary::loadedFile() const {
    return library_.loadedFile();
}

namespace {

template <typename Fn> Fn bindOnce(std::atomic<Fn>& slot, LazyLibrary& library, const char* name) {
    Fn f = slot.load(std::memory_order_acquire);
    if (f == nullptr) {
        f = reinterpret_cast<Fn>(library.resolve(name));
        slot.store(f, std::memory_order_release);
    }
    return f;
}

} // namespace

#define ZR_FN(name) bindOnce(bound_->name, library_, "zrdsp_" #name)

void DspLibrary::fft(float* data, int32_t count, int16_t direction) {
    ZR_FN(fft)(data, count, direction);
}
void DspLibrary::fft_double(double* data, int32_t count, int16_t direction) {
    ZR_FN(fft_double)(data, count, direction);
}
void DspLibrary::fft_real(float* data, int32_t count, int16_t direction) {
    ZR_FN(fft_real)(data, count, direction);
}
void DspLibrary::fft_real_double(double* data, int32_t count, int16_t direction) {
    ZR_FN(fft_real_double)(data, count, direction);
}

void DspLibrary::window(float* window, int32_t count, int16_t type, int16_t flag, float value) {
    ZR_FN(window)(window, count, type, flag, value);
}
void DspLibrary::window_double(double* window, int32_t count, int16_t type, int16_t flag,
                               double value) {
    ZR_FN(window_double)(window, count, type, flag, value);
}

void DspLibrary::spectrum(const float* data, float* spectrum, const float* window, int32_t count,
                          int16_t mode) {
    ZR_FN(spectrum)(data, spectrum, window, count, mode);
}
void DspLibrary::spectrum_double(const double* data, double* spectrum, const double* window,
                                 int32_t count, int16_t mode) {
    ZR_FN(spectrum_double)(data, spectrum, window, count, mode);
}
void DspLibrary::cspectrum(const float* data, float* spectrum, const float* window, int32_t count,
                           int16_t mode) {
    ZR_FN(cspectrum)(data, spectrum, window, count, mode);
}
void DspLibrary::cspectrum_double(const double* data, double* spectrum, const double* window,
                                  int32_t count, int16_t mode) {
    ZR_FN(cspectrum_double)(data, spectrum, window, count, mode);
}

void DspLibrary::fir(const float* input, float* output, int32_t count, const float* taps,
                     int32_t ntaps, float* state) {
    ZR_FN(fir)(input, output, count, taps, ntaps, state);
}
void DspLibrary::fir_double(const double* input, double* output, int32_t count, const double* taps,
                            int32_t ntaps, double* state) {
    ZR_FN(fir_double)(input, output, count, taps, ntaps, state);
}
double DspLibrary::fir_synth(const double* desired, const double* weights, int32_t npts,
                             double delay, double* taps, int32_t ntaps) {
    return ZR_FN(fir_synth)(desired, weights, npts, delay, taps, ntaps);
}
void DspLibrary::fir_resp(double* response, int32_t nfreq, double f1, double f2, const double* taps,
                          int32_t ntaps) {
    ZR_FN(fir_resp)(response, nfreq, f1, f2, taps, ntaps);
}

void DspLibrary::resample(const float* input, int32_t count, float* output, int32_t maxout,
                          int32_t* produced, float* position, float step, float* history) {
    ZR_FN(resample)(input, count, output, maxout, produced, position, step, history);
}
void DspLibrary::resample_double(const double* input, int32_t count, double* output, int32_t maxout,
                                 int32_t* produced, double* position, double step,
                                 double* history) {
    ZR_FN(resample_double)(input, count, output, maxout, produced, position, step, history);
}
void DspLibrary::resamp_resp(double* response, int32_t count, double f1, double f2) {
    ZR_FN(resamp_resp)(response, count, f1, f2);
}

#undef ZR_FN

} // namespace zr
