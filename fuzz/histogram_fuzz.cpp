// The histogram and "Auto Limit Set": every value is counted once, the data
// range is the block's, and the limits found are finite and at least as wide
// as the rule makes them.
#include "fuzz_input.h"
#include "processing.h"

#include <cmath>
#include <numeric>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zrfuzz::Input in(data, size);
    const auto nbins = static_cast<std::int32_t>(in.range(1, 1024));
    const double low = in.take<double>();
    const double high = in.take<double>();
    // X-Grids as its field leaves it: a whole number of at least 1.
    const double xgrids = static_cast<double>(in.range(1, 1000));
    std::vector<float> block;
    while (in.left() >= sizeof(float) && block.size() < 4096) {
        block.push_back(in.take<float>());
    }
    const auto count = static_cast<std::int32_t>(block.size());
    std::vector<float> counts(static_cast<std::size_t>(nbins), -1.0f);
    double datamin = 7.0, datamax = -7.0; // left alone when nothing is counted
    zr::histbuild(block, count, counts, nbins, low, high, datamin, datamax);
    const double total = std::accumulate(counts.begin(), counts.end(), 0.0);
    for (float c : counts) {
        ZRFUZZ_CHECK(c >= 0 && c == std::floor(c));
    }
    if (low == high) {
        ZRFUZZ_CHECK(total == 0);
        return 0;
    }
    if (!std::isfinite(low) || !std::isfinite(high)) {
        return 0; // no bin width; only memory safety is asked
    }
    ZRFUZZ_CHECK(total == count);
    bool anyNumber = false;
    for (float v : block) {
        if (!std::isnan(v)) {
            anyNumber = true;
            ZRFUZZ_CHECK(v >= datamin && v <= datamax);
        }
    }
    if (!anyNumber) {
        return 0;
    }
    if (const auto limits = zr::autohist(datamin, datamax, xgrids)) {
        ZRFUZZ_CHECK(std::isfinite(limits->histmin) && std::isfinite(limits->histmax));
        ZRFUZZ_CHECK(limits->histmin < limits->histmax);
        // The limits span xgrids steps of at least 1.2 x the data range / (xgrids + 1). They need
        // not cover the data: the centre is the next multiple of the step above the midpoint,
        // up to a step away (values -0.9166 .. 0.9168 with 10 divisions give -0.8 .. 1.2).
        const double width = limits->histmax - limits->histmin;
        ZRFUZZ_CHECK(width >= 1.2 * (datamax - datamin) * xgrids / (xgrids + 1) * (1 - 1e-9) ||
                     !std::isfinite(width));
    }
    return 0;
}
