// Simulated acquisition: fills a block with what the digitizer would deliver for the current
// settings (a 1 V, 20 kHz test tone, a small offset and uniform noise, shifted by the zoom centre
// frequency), used in place of the driver read when no instrument session is open.
#pragma once

#include <cstdint>
#include <span>

namespace zr {

// Uniform random numbers in [0, 1) as single-precision values. Never seeded: every run of the
// program repeats the same sequence. One generator per window.
class UniformSource {
public:
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) * 0x1p-24f; // 24 bits: exactly representable, < 1
    }

private:
    uint32_t state_ = 0x2545F491u;
};

// The settings the simulation imitates, read from the window's form-level values.
struct SimSettings {
    int16_t rangeindex = 0;    // range 0.02 * 2^(9 - rangeindex) volts
    int16_t bwindex = 0;       // bandwidth entry
    int16_t decimindex = 0;    // sample-rate entry; 1 or more adds a decimation step
    int16_t clockindex = 0;    // clock source code
    double extclock = 0;       // numeric value of the "Ext clock freq" field, Hz
    double centerfreq = 0;     // numeric value of the "Center freq" field, Hz
    int16_t trigtypeindex = 0; // 0 Software, 1 Input, 2 External, 3 Magnitude, 4 Immediate
    int16_t datatypeindex = 0; // 0 real samples, any other value complex (interleaved) samples
};

// Status answered by simread.
inline constexpr int32_t kSimDataReady = 0;
inline constexpr int32_t kSimNoData = 2; // waiting for a trigger the simulation cannot produce

// Writes count real samples (or count complex samples, 2 * count values) into data and returns
// 0, or returns 2 without writing when the trigger cannot fire. A count larger than data can hold
// is reduced to what fits; a count below 1 writes nothing.
int32_t simread(const SimSettings& s, UniformSource& rng, std::span<float> data, int32_t count);

namespace detail {

// Unit phasor e^{i(phase + n * step)} for n = 0, 1, 2, ..., advanced by one complex rotation per
// sample instead of a cosine and a sine. The exact value is recomputed every kReseed samples, so
// rounding errors cannot build up: it stays within a few 1e-14 of cos/sin(phase + n * step) plus
// the rounding of the argument phase + n * step itself.
class Phasor {
public:
    static constexpr int32_t kReseed = 256;

    Phasor(double phase, double step);
    double re() const { return re_; }
    double im() const { return im_; }
    void advance();

private:
    void seed();

    double phase_;
    double step_;
    double stepre_;
    double stepim_;
    double re_ = 1;
    double im_ = 0;
    int64_t n_ = 0;
};

} // namespace detail

} // namespace zr
