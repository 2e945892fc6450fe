// DspLibrary binds every entry point of the signal-processing library by name
// (the loader's failures are checked in driver_library_test.cpp). Results are
// limited to those fixed by the library's header contract.
#include "binding_test_util.h"
#include "driver/dsp_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

TEST(DspLibrary, EveryEntryPointBindsAndRuns) {
    zrtest::ScopedEnv env("ZRDSP_LIBRARY", ZR_DSP_LIBRARY);
    zr::DspLibrary lib;
    float impulse[8] = {1, 0, 0, 0, 0, 0, 0, 0}; // transforms to all ones
    lib.fft(impulse, 4, 1);
    EXPECT_FLOAT_EQ(impulse[6], 1.0f);
    double impulseD[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    lib.fft_double(impulseD, 4, 1);
    EXPECT_DOUBLE_EQ(impulseD[6], 1.0);
    float w[8];
    lib.window(w, 8, 0, 0, 1.0f); // uniform, mean 1
    EXPECT_FLOAT_EQ(w[5], 1.0f);
    double wd[8];
    lib.window_double(wd, 8, 0, 0, 2.0);
    EXPECT_DOUBLE_EQ(wd[3], 2.0);

    // Out-of-contract counts return without touching the data.
    float f[16];
    double d[16];
    std::fill(std::begin(f), std::end(f), 7.0f);
    std::fill(std::begin(d), std::end(d), 7.0);
    lib.fft_real(f, 3, 1);
    lib.fft_real_double(d, 3, 1);
    lib.spectrum(f, f, f, 3, 1);
    lib.spectrum_double(d, d, d, 3, 1);
    lib.cspectrum(f, f, f, 3, 1);
    lib.cspectrum_double(d, d, d, 3, 1);
    lib.fir(f, f, 4, f, 0, f);
    lib.fir_double(d, d, 4, d, 0, d);
    int32_t produced = -1;
    float pos = 0;
    double posD = 0;
    lib.resample(f, 4, f + 8, 4, &produced, &pos, 0.0f, f + 4);
    EXPECT_EQ(produced, 0);
    lib.resample_double(d, 4, d + 8, 4, &produced, &posD, 0.0, d + 4);
    EXPECT_TRUE(std::all_of(std::begin(f), std::end(f), [](float v) { return v == 7.0f; }));
    EXPECT_TRUE(std::all_of(std::begin(d), std::end(d), [](double v) { return v == 7.0; }));
    double taps[4] = {9, 9, 9, 9};
    EXPECT_EQ(lib.fir_synth(d, d, 3, 0.0, taps, 2), 3.0); // 2*npts not a power of two
    EXPECT_EQ(taps[0], 9.0);
    double resp[4];
    const double one = 1.0; // a single unit tap: response 1 everywhere
    lib.fir_resp(resp, 2, 0.0, 0.25, &one, 1);
    EXPECT_DOUBLE_EQ(resp[2], 1.0);
    double kr[2] = {NAN, NAN};
    lib.resamp_resp(kr, 1, 0.0, 0.0);
    EXPECT_TRUE(std::isfinite(kr[0]));
}
