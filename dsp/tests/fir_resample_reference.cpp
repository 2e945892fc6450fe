// Literal reference versions of the FIR and resampling entry points (see
// fir_resample_reference.hpp). Compiled without multiply-add contraction,
// like the library.
#include "fir_resample_reference.hpp"

#include "zrdsp_32.h"

#include <cmath>
#include <vector>

namespace zr::ref {

template <typename T>
void fir(const T* input, T* output, int32_t count, const T* taps, int32_t ntaps, T* state) {
    if (ntaps < 1 || count < 0)
        return;
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

template void fir(const float*, float*, int32_t, const float*, int32_t, float*);
template void fir(const double*, double*, int32_t, const double*, int32_t, double*);

namespace {

float table[2091];
bool table_built = false;

void build_table() {
    const float A[6] = {0.0f, 1.539081f, 0.683614f, 0.15986f, 0.015624f, 0.000297f};
    const float F = 0.09090909f;
    const float delta = 0.0015031544f;
    double angle = 0.0;
    for (int m = 0; m <= 2090; ++m) {
        double sum = 0.0;
        for (int i = 1; i <= 5; ++i)
            sum = sum + static_cast<double>(A[i]) * std::cos(i * angle);
        table[m] = static_cast<float>(static_cast<double>(F) * (1.0 + sum));
        angle = angle + static_cast<double>(delta);
    }
    table_built = true;
}

} // namespace

template <typename T>
void resample(const T* input, int32_t count, T* output, int32_t maxout, int32_t* produced,
              T* position, T step, T* history) {
    if (!table_built)
        build_table();
    *produced = 0;
    if (!(step > 0) || !std::isfinite(step) || !std::isfinite(*position))
        return;
    if (count < 0)
        count = 0;
    if (maxout < 0)
        maxout = 0;
    T p = *position;
    int32_t prod = 0;
    bool done = false;
    while (p <= static_cast<T>(-6.5)) {
        if (prod >= maxout) {
            done = true;
            break;
        }
        output[prod] = 0;
        p = p + step;
        prod = prod + 1;
    }
    int32_t i = 0;
    while (!done && prod < maxout) {
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

template void resample(const float*, int32_t, float*, int32_t, int32_t*, float*, float, float*);
template void resample(const double*, int32_t, double*, int32_t, int32_t*, double*, double,
                       double*);

double fir_synth(const double* desired, const double* weights, int32_t npts, double delay,
                 double* taps, int32_t ntaps) {
    if (ntaps < 1)
        return 2.0;
    if (npts < 2 || (npts & (npts - 1)) != 0 || ntaps > npts)
        return 3.0;
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
    zrdsp_fft_real_double(q, 2 * a, -1);
    zrdsp_fft_real_double(r, 2 * a, -1);
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
    double status = -1.0;
    if (rho[n] == 0.0) {
        status = 1.0;
    } else {
        x[1] = y[1] / rho[n];
        if (n == 1) {
            status = 0.0;
        } else {
            g[1] = rho[n - 1] / rho[n];
            h[1] = rho[n + 1] / rho[n];
            for (int32_t m = 1; status < 0.0; ++m) {
                int32_t m1 = m + 1;
                double sxn = -y[m1];
                double sd = -rho[n];
                for (int32_t j = 1; j <= m; ++j) {
                    sxn = sxn + rho[n + m1 - j] * x[j];
                    sd = sd + rho[n + m1 - j] * g[m - j + 1];
                }
                if (sd == 0.0) {
                    status = 1.0;
                    break;
                }
                x[m1] = sxn / sd;
                for (int32_t j = 1; j <= m; ++j)
                    x[j] = x[j] - x[m1] * g[m - j + 1];
                if (m1 == n) {
                    status = 0.0;
                    break;
                }
                double sgn = -rho[n - m1];
                double shn = -rho[n + m1];
                double sgd = -rho[n];
                for (int32_t j = 1; j <= m; ++j) {
                    sgn = sgn + rho[n + j - m1] * g[j];
                    shn = shn + rho[n + m1 - j] * h[j];
                    sgd = sgd + rho[n + j - m1] * h[m - j + 1];
                }
                if (sgd == 0.0) {
                    status = 1.0;
                    break;
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
    }
    // Singular systems leave whatever the recursion had written, as the
    // library does: copy every entry the recursion touched.
    for (int32_t j = 1; j <= n; ++j)
        taps[j - 1] = x[j];
    return status;
}

void fir_resp(double* response, int32_t nfreq, double f1, double f2, const double* taps,
              int32_t ntaps) {
    if (nfreq < 1)
        return;
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

void resamp_resp(double* response, int32_t count, double f1, double f2) {
    if (count < 1)
        return;
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

float kernel_entry(int m) {
    if (!table_built)
        build_table();
    return table[m];
}

} // namespace zr::ref
