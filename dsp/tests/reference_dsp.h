// Straightforward reference of every entry point of the library: plain loops
// that follow the documented steps one by one, with no attention to speed;
// the library must agree with them bit for bit (reference_test.cpp,
// fir_resample_test.cpp), so that any speed work on it can be checked here.
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

// Block FIR filter; output must not alias input here.
template <typename T>
void fir(const T* input, T* output, int32_t count, const T* taps, int32_t ntaps, T* state) {
    const int32_t N = ntaps;
    const int32_t n = count;
    // The signal as one sequence: the old history followed by the block.
    std::vector<T> storage(static_cast<std::size_t>(N + n));
    T* seq = storage.data();
    for (int32_t j = 0; j < N; ++j)
        seq[j] = state[j];
    for (int32_t j = 0; j < n; ++j)
        seq[N + j] = input[j];
    for (int32_t m = n - 1; m >= 0; --m) {
        double sum = 0.0;
        for (int32_t k = 0; k < N; ++k)
            sum = sum + static_cast<double>(taps[N - 1 - k]) * static_cast<double>(seq[N + m - k]);
        output[m] = static_cast<T>(sum);
    }
    // New history: the last N values of the sequence.
    for (int32_t j = 0; j < N; ++j)
        state[j] = seq[n + j];
}

// Least-squares design of a well-posed system (status 0).
inline void fir_synth(const double* desired, const double* weights, int32_t npts, double delay,
                      double* taps, int32_t ntaps) {
    const int32_t a = npts;
    std::vector<double> qv(static_cast<std::size_t>(2 * a)), rv(qv.size());
    double* q = qv.data();
    double* r = rv.data();
    const double pi = 3.141592653589793;
    const double theta = delay * pi / a;
    const double mu = -2.0 * std::sin(theta / 2.0) * std::sin(theta / 2.0);
    double c = 1.0, s = 0.0;
    for (int32_t i = 0; i <= a; ++i) {
        const double W = weights[i];
        const double re = desired[2 * i];
        const double im = desired[2 * i + 1];
        if (i < a) {
            r[2 * i] = W;
            r[2 * i + 1] = 0.0;
            q[2 * i] = W * (re * c - im * s);
            q[2 * i + 1] = W * (re * s + im * c);
        } else {
            r[1] = W;
            q[1] = W * (re * c - im * s);
        }
        double t = s;
        s = s + (-std::sin(theta)) * c + s * mu;
        c = c + c * mu + t * std::sin(theta);
    }
    realft(q, 2 * a, -1);
    realft(r, 2 * a, -1);
    for (int32_t j = 0; j < a; ++j) {
        double t = r[j];
        r[j] = r[a + j];
        r[a + j] = t;
    }

    // Levinson recursion, 1-based: rho[n+d] = R(d) = r[a+d], y[i] = q[i-1].
    const int32_t n = ntaps;
    const auto vn = static_cast<std::size_t>(n);
    std::vector<double> rhov(2 * vn), yv(vn + 1), xv(vn + 1), gv(vn + 1), hv(vn + 1);
    double *rho = rhov.data(), *y = yv.data(), *x = xv.data(), *g = gv.data(), *h = hv.data();
    for (int32_t d = -(n - 1); d <= n - 1; ++d)
        rho[n + d] = r[a + d];
    for (int32_t i = 1; i <= n; ++i)
        y[i] = q[i - 1];
    x[1] = y[1] / rho[n];
    if (n > 1) {
        g[1] = rho[n - 1] / rho[n];
        h[1] = rho[n + 1] / rho[n];
        for (int32_t m = 1;; ++m) {
            int32_t m1 = m + 1;
            double sxn = -y[m1];
            double sd = -rho[n];
            for (int32_t j = 1; j <= m; ++j) {
                sxn = sxn + rho[n + m1 - j] * x[j];
                sd = sd + rho[n + m1 - j] * g[m - j + 1];
            }
            x[m1] = sxn / sd;
            for (int32_t j = 1; j <= m; ++j)
                x[j] = x[j] - x[m1] * g[m - j + 1];
            if (m1 == n)
                break;
            double sgn = -rho[n - m1];
            double shn = -rho[n + m1];
            double sgd = -rho[n];
            for (int32_t j = 1; j <= m; ++j) {
                sgn = sgn + rho[n + j - m1] * g[j];
                shn = shn + rho[n + m1 - j] * h[j];
                sgd = sgd + rho[n + j - m1] * h[m - j + 1];
            }
            g[m1] = sgn / sgd;
            h[m1] = shn / sd;
            double pp = g[m1];
            double qq = h[m1];
            int32_t k = m;
            for (int32_t j = 1; j <= (m + 1) / 2; ++j) {
                double pt1 = g[j], pt2 = g[k], qt1 = h[j], qt2 = h[k];
                g[j] = pt1 - pp * qt2;
                g[k] = pt2 - pp * qt1;
                h[j] = qt1 - qq * pt2;
                h[k] = qt2 - qq * pt1;
                k = k - 1;
            }
        }
    }
    for (int32_t j = 1; j <= n; ++j)
        taps[j - 1] = x[j];
}

inline void fir_resp(double* response, int32_t nfreq, double f1, double f2, const double* taps,
                     int32_t ntaps) {
    const double pi = 3.141592653589793;
    double eta = 0.0;
    if (nfreq > 1)
        eta = pi * (f2 - f1) / (nfreq - 1);
    const double wpr = -2.0 * std::sin(eta) * std::sin(eta);
    const double wpi = std::sin(2.0 * eta);
    double c = std::cos(6.283185307179586 * f1);
    double s = std::sin(6.283185307179586 * f1);
    for (int32_t k = 0; k < nfreq; ++k) {
        double Pr = 0.0, Pi = 0.0;
        for (int32_t m = 0; m < ntaps; ++m) {
            double nr = Pr * c - Pi * s + taps[m];
            double ni = Pr * s + Pi * c;
            Pr = nr;
            Pi = ni;
        }
        response[2 * k] = Pr;
        response[2 * k + 1] = Pi;
        double cn = c + c * wpr - s * wpi;
        double sn = s + c * wpi + s * wpr;
        c = cn;
        s = sn;
    }
}

// The resampler's kernel table, K(m/380) for m = 0 .. 2090, in single precision.
inline const float* kernel_table() {
    static const std::vector<float> table = [] {
        const float A[6] = {0.0f, 1.539081f, 0.683614f, 0.15986f, 0.015624f, 0.000297f};
        const float F = 0.09090909f;
        const float delta = 0.0015031544f;
        std::vector<float> t(2091);
        double angle = 0.0;
        for (int m = 0; m <= 2090; ++m) {
            double sum = 0.0;
            for (int i = 1; i <= 5; ++i)
                sum = sum + static_cast<double>(A[i]) * std::cos(i * angle);
            t[static_cast<std::size_t>(m)] =
                static_cast<float>(static_cast<double>(F) * (1.0 + sum));
            angle = angle + static_cast<double>(delta);
        }
        return t;
    }();
    return table.data();
}

// Resampler call with count and maxout >= 0.
template <typename T>
void resample(const T* input, int32_t count, T* output, int32_t maxout, int32_t* produced,
              T* position, T step, T* history) {
    const float* table = kernel_table();
    *produced = 0;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(*position))
        return;
    T p = *position;
    int32_t prod = 0;
    while (p <= static_cast<T>(-6.5) && prod < maxout) {
        output[prod] = 0;
        p = p + step;
        prod = prod + 1;
    }
    int32_t i = 0;
    while (prod < maxout) {
        if (p > static_cast<T>(-5.5)) {
            if (i >= count)
                break;
            for (int j = 0; j <= 9; ++j)
                history[j] = history[j + 1];
            history[10] = input[i];
            i = i + 1;
            p = p - 1;
        } else {
            double u = (static_cast<double>(p) + 11.0) * 380.0;
            u = static_cast<double>(static_cast<T>(u));
            int c = static_cast<int>(std::ceil(u));
            double beta = c - u;
            double alpha = 1.0 - beta;
            double sum = 0.0;
            for (int k = 0; k <= 10; ++k) {
                double weight;
                if (c - 380 * k >= 1)
                    weight = alpha * table[c - 380 * k] + beta * table[c - 380 * k - 1];
                else
                    weight = alpha * table[380 * k - c] + beta * table[380 * k - c + 1];
                sum = sum + weight * static_cast<double>(history[k]);
            }
            output[prod] = static_cast<T>(sum);
            p = p + step;
            prod = prod + 1;
        }
    }
    *position = p;
    *produced = prod;
}

inline void resamp_resp(double* response, int32_t count, double f1, double f2) {
    const double b[6] = {1.0, -1.539081, 0.683614, -0.15986, 0.015624, -0.000297};
    double dc = 0.0;
    if (count > 1)
        dc = 11.0 * (f2 - f1) / (count - 1);
    double c = 11.0 * f1;
    for (int32_t i = 0; i < count; ++i) {
        double sum = 0.0;
        for (int j = 0; j <= 5; ++j) {
            double c2 = c * c;
            double e = c2 - j * j;
            if (-0.0001 < e && e < 0.0001) {
                sum = (j == 0) ? 1.0 : std::fabs(b[j]) / 2.0;
                break;
            }
            sum = sum + -c * std::sin(3.141592653589793 * c) * b[j] * (-0.3183098861837907) / e;
        }
        response[i] = sum;
        c = c + dc;
    }
}

} // namespace zr::ref

#endif
