// The signal-processing library libzrdsp_32.so.1 (zrdsp_32.dll on Windows),
// loaded at its first call and bound function by function, each at its own
// first call. Methods mirror the library's C entry points (name without the
// "zrdsp_" prefix, same arguments); see dsp/include/zrdsp_32.h.
#pragma once

#include "driver/library_loader.h"

#include "zrdsp_32.h"

#include <QString>

#include <memory>

namespace zr {

// File name of the signal-processing library on this platform.
QString dspLibraryFileName();

// The library calls the window makes. The program hands it a DspLibrary; a test may hand it one
// that records or fails.
class SignalProcessing {
public:
    virtual ~SignalProcessing() = default;
    virtual void window(float* window, int32_t count, int16_t type, int16_t flag, float value) = 0;
    virtual void spectrum(const float* data, float* spectrum, const float* window, int32_t count,
                          int16_t mode) = 0;
    virtual void cspectrum(const float* data, float* spectrum, const float* window, int32_t count,
                           int16_t mode) = 0;
    virtual void fir(const float* input, float* output, int32_t count, const float* taps,
                     int32_t ntaps, float* state) = 0;
    virtual void resample(const float* input, int32_t count, float* output, int32_t maxout,
                          int32_t* produced, float* position, float step, float* history) = 0;
};

// The environment variable ZRDSP_LIBRARY names a file that is used instead of
// any search; otherwise the loader's normal search, then the program's
// directory, then the installed library folder (../lib/<arch> from the
// program). A library or function that cannot be found throws LibraryError
// at that call. Binding is thread-safe; the calls are as thread-safe as the
// library's functions.
class DspLibrary final : public SignalProcessing {
public:
    DspLibrary();
    ~DspLibrary() override;
    DspLibrary(const DspLibrary&) = delete;
    DspLibrary& operator=(const DspLibrary&) = delete;

    bool isLoaded() const;
    QString loadedFile() const;

    void fft(float* data, int32_t count, int16_t direction);
    void fft_double(double* data, int32_t count, int16_t direction);
    void fft_real(float* data, int32_t count, int16_t direction);
    void fft_real_double(double* data, int32_t count, int16_t direction);

    void window(float* window, int32_t count, int16_t type, int16_t flag, float value) override;
    void window_double(double* window, int32_t count, int16_t type, int16_t flag, double value);

    void spectrum(const float* data, float* spectrum, const float* window, int32_t count,
                  int16_t mode) override;
    void spectrum_double(const double* data, double* spectrum, const double* window, int32_t count,
                         int16_t mode);
    void cspectrum(const float* data, float* spectrum, const float* window, int32_t count,
                   int16_t mode) override;
    void cspectrum_double(const double* data, double* spectrum, const double* window, int32_t count,
                          int16_t mode);

    void fir(const float* input, float* output, int32_t count, const float* taps, int32_t ntaps,
             float* state) override;
    void fir_double(const double* input, double* output, int32_t count, const double* taps,
                    int32_t ntaps, double* state);
    double fir_synth(const double* desired, const double* weights, int32_t npts, double delay,
                     double* taps, int32_t ntaps);
    void fir_resp(double* response, int32_t nfreq, double f1, double f2, const double* taps,
                  int32_t ntaps);

    void resample(const float* input, int32_t count, float* output, int32_t maxout,
                  int32_t* produced, float* position, float step, float* history) override;
    void resample_double(const double* input, int32_t count, double* output, int32_t maxout,
                         int32_t* produced, double* position, double step, double* history);
    void resamp_resp(double* response, int32_t count, double f1, double f2);

private:
    struct Bound;
    LazyLibrary library_;
    std::unique_ptr<Bound> bound_;
};

} // namespace zr
