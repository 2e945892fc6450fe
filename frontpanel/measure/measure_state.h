// Form-level values of the main window that belong to the measurement loop, modes, averaging,
// histogram and resampling options.
// Plain data, no widgets: the main window inherits it, so handlers use the
// names directly, and tests can build it on its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zr {

struct MeasureState {
    // Sizes of the block arrays; they are allocated once and never resized.
    static constexpr std::size_t kDataSize = 131073;  // dispdata, avgdata, histdata
    static constexpr std::size_t kWindowSize = 65537; // windowbuf
    static constexpr std::size_t kFirKernelSize = 12; // firkernel (taps 0 .. 10 used)

    // Loop control. The program starts idle: no loop runs until start-up enters it.
    bool stopflag = true;    // true: no loop runs, or the running one ends before its next pass
    bool singleflag = false; // true: the running loop ends after the pass in progress

    // Averaging.
    double avgcount = 0; // blocks in the running average; 0 restarts averaging
    double numavg = 0;   // limit of avgcount for exponential averaging ("# Averages")

    // Selections.
    int16_t modeindex = 0;     // 0 Time domain, 1 Spectrum, 2 Histogram
    int16_t avgmode = 0;       // 0 Off, 1 Exponential, 2 Peak
    int16_t windowindex = 0;   // 0 Uniform, 1 Hann, 2 Gauss top, 3 Flat top
    int16_t histbinsindex = 0; // selected entry of list histbins
    int16_t resampindex = 0;   // rate multiplier k: resampling factor 2^k

    // Histogram limits and the value range of the last histogrammed block.
    double histmin = 0;
    double histmax = 0;
    double datamin = 0;
    double datamax = 0;

    // Block arrays, all values 0 at start.
    std::vector<float> dispdata = std::vector<float>(kDataSize, 0.0f);
    std::vector<float> avgdata = std::vector<float>(kDataSize, 0.0f);
    std::vector<float> histdata = std::vector<float>(kDataSize, 0.0f);
    std::vector<float> windowbuf = std::vector<float>(kWindowSize, 0.0f);
    std::vector<float> firkernel = std::vector<float>(kFirKernelSize, 0.0f);
};

} // namespace zr
