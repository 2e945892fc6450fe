// FIR design, the FIR filter and the resampler of the signal-processing
// library: any taps, design grid and signal are safe, and a block split into
// two calls gives exactly the output of one call (the state carries over).
#include "fuzz_input.h"
#include "zrdsp_32.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Bit for bit, except that any two NaNs count as the same (the processor may carry either
// operand's NaN, with its sign, through a sum).
bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0 &&
            !(std::isnan(a[i]) && std::isnan(b[i]))) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zrfuzz::Input in(data, size);
    const int what = static_cast<int>(in.range(0, 2));
    if (what == 0) {
        // Design: npts a power of two over two, ntaps 1 .. npts (and beyond, refused).
        const int npts = 1 << in.range(0, 9);
        const auto ntaps = static_cast<std::int32_t>(in.range(-1, npts + 1));
        const double delay = in.take<double>();
        std::vector<double> desired(2 * static_cast<std::size_t>(npts) + 2);
        std::vector<double> weights(static_cast<std::size_t>(npts) + 1);
        for (double& d : desired) {
            d = in.take<float>();
        }
        for (double& w : weights) {
            w = in.take<float>();
        }
        std::vector<double> taps(static_cast<std::size_t>(std::max(ntaps, 1)), -7.0);
        const double status =
            zrdsp_fir_synth(desired.data(), weights.data(), npts, delay, taps.data(), ntaps);
        ZRFUZZ_CHECK(status == 0 || status == 1 || status == 2 || status == 3);
        return 0;
    }
    const auto count = static_cast<std::int32_t>(in.range(0, 2000));
    const auto split = static_cast<std::int32_t>(in.range(0, count));
    if (what == 1) {
        const auto ntaps = static_cast<std::int32_t>(in.range(1, 300)); // also the heap path
        std::vector<float> taps(static_cast<std::size_t>(ntaps));
        for (float& t : taps) {
            t = in.take<float>();
        }
        std::vector<float> signal(static_cast<std::size_t>(count));
        for (float& v : signal) {
            v = in.take<float>();
        }
        std::vector<float> whole(signal.size()), parts(signal.size());
        std::vector<float> s1(taps.size()), s2(taps.size());
        zrdsp_fir(signal.data(), whole.data(), count, taps.data(), ntaps, s1.data());
        zrdsp_fir(signal.data(), parts.data(), split, taps.data(), ntaps, s2.data());
        zrdsp_fir(signal.data() + split, parts.data() + split, count - split, taps.data(), ntaps,
                  s2.data());
        ZRFUZZ_CHECK(sameBits(whole, parts));
        ZRFUZZ_CHECK(sameBits(s1, s2));
        return 0;
    }
    // Resampler: a step from 1/8 to 8, the output large enough for the whole block.
    const auto step =
        static_cast<float>(std::ldexp(1.0 + static_cast<double>(in.range(0, 1 << 20)) / (1 << 20),
                                      static_cast<int>(in.range(-3, 2))));
    const float start = static_cast<float>(in.range(0, 1000)) / 1000.0f;
    std::vector<float> signal(static_cast<std::size_t>(count));
    for (float& v : signal) {
        v = in.take<float>();
    }
    const auto capacity = static_cast<std::int32_t>(static_cast<float>(count) / step + 16.0f);
    std::vector<float> whole(static_cast<std::size_t>(capacity)), parts(whole.size());
    std::vector<float> h1(11), h2(11);
    float p1 = start, p2 = start;
    std::int32_t n1 = -1, n2a = -1, n2b = -1;
    zrdsp_resample(signal.data(), count, whole.data(), capacity, &n1, &p1, step, h1.data());
    zrdsp_resample(signal.data(), split, parts.data(), capacity, &n2a, &p2, step, h2.data());
    ZRFUZZ_CHECK(n2a >= 0 && n2a <= capacity);
    zrdsp_resample(signal.data() + split, count - split, parts.data() + n2a, capacity - n2a, &n2b,
                   &p2, step, h2.data());
    ZRFUZZ_CHECK(n1 >= 0 && n1 < capacity); // never full, so every input was consumed
    ZRFUZZ_CHECK(n1 == n2a + n2b);
    whole.resize(static_cast<std::size_t>(n1));
    parts.resize(static_cast<std::size_t>(n1));
    ZRFUZZ_CHECK(sameBits(whole, parts));
    ZRFUZZ_CHECK(sameBits(h1, h2));
    ZRFUZZ_CHECK(p1 == p2 || (std::isnan(p1) && std::isnan(p2)));
    return 0;
}
