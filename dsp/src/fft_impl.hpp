// In-place radix-2 transforms shared by the FFT entry points, the spectra and
// the FIR design. One template per algorithm serves float and double; the only
// numerical difference between the two lives in Precision<T>.
//
// Arithmetic: every butterfly, sum and twiddle recurrence is carried in double
// and rounded to T only when stored into the caller's array. The twiddle
// factors come from a two-sine-per-stage recurrence; no table is kept and
// nothing is allocated.
#ifndef ZRDSP_FFT_IMPL_HPP
#define ZRDSP_FFT_IMPL_HPP

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace zr::dsp {

// Rounding rules of one element precision.
//  twiddle(): a twiddle factor as it multiplies data. The single-precision
//             transforms round it to float (the recurrence itself stays in
//             double); the double transforms use it unchanged.
//  split():   an intermediate of the real-transform split step (h1r, h1i, h2r,
//             h2i), held in the element precision.
template <typename T> struct Precision;

template <> struct Precision<double> {
    static double twiddle(double w) { return w; }
    static double split(double v) { return v; }
};

template <> struct Precision<float> {
    static double twiddle(double w) { return static_cast<float>(w); }
    static double split(double v) { return static_cast<float>(v); }
};

// 2*pi as the 15-digit literal used by the complex butterflies, and pi as used
// by the real split step. The butterfly constant is deliberately not
// full-precision 2*pi: results are reproducible to the last bit with it.
inline constexpr double kTwoPiButterfly = 6.28318530717959;
inline constexpr double kPi = 3.141592653589793;

// True for 1, 2, 4, ... 2^30.
inline bool is_power_of_two(std::int32_t n) {
    return n > 0 && (n & (n - 1)) == 0;
}

// Advances the twiddle (wr, wi) by one step of angle theta, given
// wpr = -2 sin^2(theta/2) and wpi = sin(theta).
inline void advance_twiddle(double& wr, double& wi, double wpr, double wpi) {
    const double t = wr;
    wr = wr * wpr - wi * wpi + wr;
    wi = wi * wpr + t * wpi + wi;
}

// Complex transform of `count` interleaved points in place, unnormalised.
// direction +1: kernel e^(-2 pi i kn/N); -1: e^(+2 pi i kn/N).
// count must be a power of two >= 1 (the caller checks).
template <typename T> void fft_complex(T* data, std::size_t count, int direction) {
    using P = Precision<T>;
    const std::size_t n = 2 * count;

    // Bit-reversal reordering. The counters follow 1-based positions, so the
    // pair at position p is data[p-1], data[p].
    std::size_t j = 1;
    for (std::size_t i = 1; i < n; i += 2) {
        if (j > i) {
            const T tr = data[j - 1];
            const T ti = data[j];
            data[j - 1] = data[i - 1];
            data[j] = data[i];
            data[i - 1] = tr;
            data[i] = ti;
        }
        std::size_t m = n / 2;
        while (m >= 2 && j > m) {
            j -= m;
            m /= 2;
        }
        j += m;
    }

    // Butterfly stages; the twiddle of each stage starts at 1 and is rotated by
    // the recurrence after every butterfly column m.
    std::size_t mmax = 2;
    while (n > mmax) {
        const std::size_t istep = 2 * mmax;
        const double theta = -direction * kTwoPiButterfly / static_cast<double>(mmax);
        const double s = std::sin(0.5 * theta);
        const double wpr = -2.0 * s * s;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (std::size_t m = 1; m < mmax; m += 2) {
            const double wim = P::twiddle(wi);
            for (std::size_t i = m; i <= n; i += istep) {
                T* a = data + (i - 1);
                T* b = a + mmax;
                const double br = b[0];
                const double bi = b[1];
                const double tr = wr * br - wim * bi;
                const double ti = wr * bi + wim * br;
                const double ar = a[0];
                const double ai = a[1];
                b[0] = static_cast<T>(ar - tr);
                b[1] = static_cast<T>(ai - ti);
                a[0] = static_cast<T>(ar + tr);
                a[1] = static_cast<T>(ai + ti);
            }
            advance_twiddle(wr, wi, wpr, wpi);
        }
        mmax = istep;
    }
}

// Split/merge step of the real transform on the packed array of n reals:
// pairs bin k with bin n/2-k using the twiddle recurrence of angle theta, then
// combines positions 0 and 1 and flips the sign of the imaginary part of bin n/4.
template <typename T> void real_split(T* data, std::size_t n, double theta, double c2) {
    using P = Precision<T>;
    const double c1 = 0.5;
    const double s = std::sin(0.5 * theta);
    const double wpr = -2.0 * s * s;
    const double wpi = std::sin(theta);
    double wr = 1.0 + wpr;
    double wi = wpi;
    const std::size_t half = n / 2;
    for (std::size_t k = 1; k < n / 4; ++k) {
        T* zk = data + 2 * k;
        T* zq = data + 2 * (half - k);
        const double rk = zk[0], ik = zk[1], rq = zq[0], iq = zq[1];
        const double h1r = P::split(c1 * (rk + rq));
        const double h1i = P::split(c1 * (ik - iq));
        const double h2r = P::split(-c2 * (ik + iq));
        const double h2i = P::split(c2 * (rk - rq));
        const double wrm = P::twiddle(wr);
        const double wim = P::twiddle(wi);
        zk[0] = static_cast<T>(h1r + wrm * h2r - wim * h2i);
        zk[1] = static_cast<T>(h1i + wrm * h2i + wim * h2r);
        zq[0] = static_cast<T>(h1r - wrm * h2r + wim * h2i);
        zq[1] = static_cast<T>(-h1i + wrm * h2i + wim * h2r);
        advance_twiddle(wr, wi, wpr, wpi);
    }
    const double f = data[0];
    const double g = data[1];
    data[0] = static_cast<T>(f + g);
    data[1] = static_cast<T>(f - g);
    data[half + 1] = -data[half + 1];
}

// Real transform of n samples in place (n a power of two >= 4; the caller
// checks). direction exactly 1: forward, samples in, packed spectrum out
// (data[0] = X[0], data[1] = X[n/2], data[2k], data[2k+1] = X[k]). Any other
// direction: inverse, packed spectrum in, n/2 times the samples out.
template <typename T> void fft_real(T* data, std::size_t n, int direction) {
    const double theta = kPi / static_cast<double>(n / 2);
    if (direction == 1) {
        fft_complex(data, n / 2, 1);
        real_split(data, n, -theta, -0.5);
    } else {
        real_split(data, n, theta, 0.5);
        data[0] = static_cast<T>(0.5 * data[0]);
        data[1] = static_cast<T>(0.5 * data[1]);
        fft_complex(data, n / 2, -1);
    }
}

} // namespace zr::dsp

#endif
