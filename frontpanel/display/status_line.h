// The window's status line: run state, blocks per second and, in Spectrum mode, the resolution
// bandwidth. Plain computation; the window only shows the texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zr {

// Running: a loop runs passes. Single: the running loop ends after the pass in progress, or the
// last loop ended that way. Paused: no loop runs and the last one was stopped otherwise.
enum class RunState { Running, Paused, Single };

// "Running", "Paused", "Single".
const char* runStateText(RunState state);

// Blocks per second over windows of about one second: a window closes at the first block or
// query at least `windowNs` after it opened, and the rate is its blocks over its length.
class BlockRate {
public:
    explicit BlockRate(std::int64_t windowNs = 1'000'000'000) : windowNs_(windowNs) {}
    // Counting starts afresh at `nowNs`; nothing is measured yet.
    void start(std::int64_t nowNs);
    // One block arrived at `nowNs`.
    void block(std::int64_t nowNs);
    // The rate of the last closed window (closing the open one when it is due); nothing before
    // the first window closed.
    std::optional<double> perSecond(std::int64_t nowNs);

private:
    void roll(std::int64_t nowNs);
    std::int64_t windowNs_;
    std::int64_t opened_ = 0;
    bool started_ = false;
    long count_ = 0;
    std::optional<double> rate_;
};

// "12.5 blocks/s", one decimal; empty without a rate.
std::string blockRateText(std::optional<double> perSecond);

// Resolution bandwidth of a spectrum: the window's equivalent noise bandwidth in lines times
// the line spacing fs / points, in Hz. 0 when points or fs is not positive.
double resolutionBandwidth(int windowindex, double fs, std::int32_t points);

// "RBW 30.000 kHz": three decimals with the engineering prefix (lower-case k for kilo).
std::string rbwText(double hertz);

} // namespace zr
