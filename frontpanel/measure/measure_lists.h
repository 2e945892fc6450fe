// Entries of the Measurement panel's lists.
#pragma once

#include <array>
#include <string_view>

namespace zr {

// Indexed by modeindex.
inline constexpr std::array<std::string_view, 3> kMeasModeEntries = {"Time domain", "Spectrum",
                                                                     "Histogram"};
inline constexpr std::array<std::string_view, 3> kAveragingEntries = {"Off", "Exponential", "Peak"};
// Option buttons of "Filter && Resample", and the rate factors 2^index.
inline constexpr std::array<std::string_view, 3> kResampModeCaptions = {
    "Default Q7010", "Gaussian Response", "Flat Response"};
inline constexpr std::array<std::string_view, 4> kResampEntries = {"1x", "2x", "4x", "8x"};
inline constexpr std::array<std::string_view, 4> kWindowEntries = {"Uniform", "Hann", "Gauss top",
                                                                   "Flat top"};
// The number at the start of an entry is the number of bins.
inline constexpr std::array<std::string_view, 9> kHistBinsEntries = {
    "16", "32", "64", "128", "256", "512", "1024", "2048", "4096"};
// Buttons under the settings area, by meascontrol index.
inline constexpr std::array<std::string_view, 4> kMeasControlCaptions = {"Start", "Pause",
                                                                         "Continue", "Single"};

} // namespace zr
