// Straightforward reference of the library's transforms, windows and spectra:
// plain loops that follow the documented steps one by one, with no attention
// to speed; the library must agree with them bit for bit (reference_test.cpp).
// Compile with -ffp-contract=off like the library (every library test is).
// Arithmetic is carried in double; values are rounded to T when stored. The
// single-precision versions round the twiddles that multiply data to float
// (T), and hold the split-step intermediates h1r, h1i, h2r, h2i as T.
#ifndef ZRDSP_REFERENCE_DSP_H
#define ZRDSP_REFERENCE_DSP_H

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace zr::ref {

// Complex transform of nn points (2*nn values), positions counted from 1.
// Any integer type for the count, so callers may pass the library's own.
template <typename T, typename Count> void fft(T* data, Count count, int direction) {
    const auto nn = static_cast<unsigned long>(count);
    auto d = [data](unsigned long p) -> T& { return data[p - 1]; };
    const unsigned long n = 2 * nn;

    unsigned long j = 1;
    for (unsigned long i = 1; i < n; i += 2) {
        if (j > i) {
            std::swap(d(j), d(i));
            std::swap(d(j + 1), d(i + 1));
        }
        unsigned long m = n / 2;
        while (m >= 2 && j > m) {
            j = j - m;
            m = m / 2;
        }
        j = j + m;
    }

    unsigned long mmax = 2;
    while (n > mmax) {
        const unsigned long istep = 2 * mmax;
        const double theta = -direction * 6.28318530717959 / static_cast<double>(mmax);
        const double sh = std::sin(theta / 2);
        const double wpr = -2 * sh * sh;
        const double wpi = std::sin(theta);
        double wr = 1.0;
        double wi = 0.0;
        for (unsigned long m = 1; m < mmax; m += 2) {
            for (unsigned long i = m; i <= n; i += istep) {
                const unsigned long jj = i + mmax;
                const double wiT = static_cast<T>(wi);
                const double tr = wr * d(jj) - wiT * d(jj + 1);
                const double ti = wr * d(jj + 1) + wiT * d(jj);
                d(jj) = static_cast<T>(d(i) - tr);
                d(jj + 1) = static_cast<T>(d(i + 1) - ti);
                d(i) = static_cast<T>(d(i) + tr);
                d(i + 1) = static_cast<T>(d(i + 1) + ti);
            }
            const double t = wr;
            wr = wr * wpr - wi * wpi + wr;
            wi = wi * wpr + t * wpi + wi;
        }
        mmax = istep;
    }
}

// Turns the half-size complex transform into the real one and back (both directions).
template <typename T> void realft_merge(T* data, unsigned long N, double theta, double c2) {
    const double c1 = 0.5;
    const double sh = std::sin(theta / 2);
    const double wpr = -2 * sh * sh;
    const double wpi = std::sin(theta);
    double wr = 1 + wpr;
    double wi = wpi;
    for (unsigned long k = 1; k < N / 4; ++k) {
        const unsigned long kq = N / 2 - k;
        const double reZk = data[2 * k], imZk = data[2 * k + 1];
        const double reZq = data[2 * kq], imZq = data[2 * kq + 1];
        const T h1r = static_cast<T>(c1 * (reZk + reZq));
        const T h1i = static_cast<T>(c1 * (imZk - imZq));
        const T h2r = static_cast<T>(-c2 * (imZk + imZq));
        const T h2i = static_cast<T>(c2 * (reZk - reZq));
        const double wrT = static_cast<T>(wr);
        const double wiT = static_cast<T>(wi);
        const double H1r = h1r, H1i = h1i, H2r = h2r, H2i = h2i;
        data[2 * k] = static_cast<T>(H1r + wrT * H2r - wiT * H2i);
        data[2 * k + 1] = static_cast<T>(H1i + wrT * H2i + wiT * H2r);
        data[2 * kq] = static_cast<T>(H1r - wrT * H2r + wiT * H2i);
        data[2 * kq + 1] = static_cast<T>(-H1i + wrT * H2i + wiT * H2r);
        const double t = wr;
        wr = wr * wpr - wi * wpi + wr;
        wi = wi * wpr + t * wpi + wi;
    }
    const double f = data[0];
    const double g = data[1];
    data[0] = static_cast<T>(f + g);
    data[1] = static_cast<T>(f - g);
    data[N / 2 + 1] = -data[N / 2 + 1];
}

// Real transform of N samples; direction exactly 1 is forward.
template <typename T, typename Count> void realft(T* data, Count count, int direction) {
    const auto N = static_cast<unsigned long>(count);
    const double pi = 3.141592653589793;
    if (direction == 1) {
        fft(data, N / 2, 1);
        realft_merge(data, N, -pi / static_cast<double>(N / 2), -0.5);
    } else {
        realft_merge(data, N, pi / static_cast<double>(N / 2), 0.5);
        data[0] = static_cast<T>(data[0] / 2.0);
        data[1] = static_cast<T>(data[1] / 2.0);
        fft(data, N / 2, -1);
    }
}

// Window of an even count >= 2.
template <typename T> void window(T* w, int count, int type, int flag, T value) {
    static const std::vector<double> coefficients[] = {
        {1},
        {1, 1},
        {1, 1.45875529058, 0.543087184, 0.08816718498, 0.00390252806},
        {1, 1.941109216, 1.308381824, 0.40400112, 0.035108828}};
    const auto& table = coefficients[type >= 1 && type <= 3 ? type : 0]; // unknown: uniform
    const double* c = table.data();
    const int K = static_cast<int>(table.size());
    const int h = count / 2;
    const double delta = 6.283185307179586 / count;
    std::vector<double> v(static_cast<std::size_t>(h));
    double A = 0, B = 0;
    for (int j = 0; j < h; ++j) {
        double s = 0;
        for (int k = 0; k < K; ++k)
            s += c[k] * std::cos(static_cast<double>(static_cast<long long>(k) * j) * delta);
        v[static_cast<std::size_t>(j)] = s;
        w[h + j] = static_cast<T>(s);
        w[h - j] = static_cast<T>(s);
        A += s;
        B += s * s;
    }
    double e = 0;
    for (int k = 0; k < K; ++k)
        e += c[k] * std::cos(k * 3.141592653589793);
    w[0] = static_cast<T>(e);
    const double S1 = 2 * A - v[0] + w[0];
    const double S2 = 2 * B - v[0] * v[0] + static_cast<double>(w[0]) * w[0];
    double g;
    if (flag != 0)
        g = value / std::sqrt(S2 / count);
    else
        g = count * static_cast<double>(value) / S1;
    for (int i = 0; i < count; ++i)
        w[i] = static_cast<T>(w[i] * g);
}

template <typename T> void scale_mode(T* p, long n, int mode) {
    const double F = static_cast<T>(10 / std::log(10.0));
    for (long i = 0; i < n; ++i) {
        if (mode == 0)
            p[i] = static_cast<T>(std::sqrt(static_cast<double>(p[i])));
        else if (mode == 2)
            p[i] = p[i] == 0 ? T(-500) : static_cast<T>(std::log(static_cast<double>(p[i])) * F);
    }
}

template <typename T> void spectrum(const T* data, T* out, const T* win, long count, int mode) {
    const auto N = static_cast<std::size_t>(count);
    std::vector<T> work(N + 1);
    for (std::size_t i = 0; i < N; ++i)
        work[i] = static_cast<T>(static_cast<double>(data[i]) * win[i]);
    realft(work.data(), N, 1);
    out[0] = static_cast<T>(static_cast<double>(work[0]) * work[0]);
    for (std::size_t k = 1; k <= N / 2 - 1; ++k)
        out[k] = static_cast<T>(static_cast<double>(work[2 * k]) * work[2 * k] +
                                static_cast<double>(work[2 * k + 1]) * work[2 * k + 1]);
    out[N / 2] = static_cast<T>(static_cast<double>(work[1]) * work[1]);
    scale_mode(out, count / 2 + 1, mode);
}

template <typename T> void cspectrum(const T* data, T* out, const T* win, long count, int mode) {
    const auto N = static_cast<std::size_t>(count);
    std::vector<T> work(2 * N);
    for (std::size_t k = 0; k < N; ++k) {
        work[2 * k] = static_cast<T>(static_cast<double>(win[k]) * data[2 * k]);
        work[2 * k + 1] = static_cast<T>(static_cast<double>(win[k]) * data[2 * k + 1]);
    }
    fft(work.data(), N, 1);
    for (std::size_t k = 0; k < N; ++k)
        out[(N / 2 + k) % N] =
            static_cast<T>(static_cast<double>(work[2 * k]) * work[2 * k] +
                           static_cast<double>(work[2 * k + 1]) * work[2 * k + 1]);
    scale_mode(out, count, mode);
}

} // namespace zr::ref

#endif
