// FFTW (double precision) as independent truth for the library's transforms,
// expressed in the library's conventions: direction +1 is e^(-2 pi i kn/N),
// nothing is normalised, and real spectra use the packed layout
// [X0, X(N/2), Re X1, Im X1, ...].
#ifndef ZRDSP_FFTW_ORACLE_H
#define ZRDSP_FFTW_ORACLE_H

#include <fftw3.h>

#include <vector>

namespace zr::test {

// Complex transform of n interleaved points.
template <typename T>
std::vector<double> oracle_fft(const std::vector<T>& in, int n, int direction) {
    std::vector<double> buf(in.begin(), in.end());
    auto* c = reinterpret_cast<fftw_complex*>(buf.data());
    fftw_plan p =
        fftw_plan_dft_1d(n, c, c, direction == 1 ? FFTW_FORWARD : FFTW_BACKWARD, FFTW_ESTIMATE);
    fftw_execute(p);
    fftw_destroy_plan(p);
    return buf;
}

// Forward real transform of n samples, packed.
template <typename T> std::vector<double> oracle_real_forward(const std::vector<T>& in, int n) {
    const auto N = static_cast<std::size_t>(n);
    std::vector<double> c(2 * N, 0.0);
    for (std::size_t i = 0; i < N; ++i)
        c[2 * i] = in[i];
    c = oracle_fft(c, n, 1);
    c[1] = c[N]; // X(N/2), real
    c.resize(N);
    return c;
}

// Inverse real transform of a packed spectrum, scaled like the library's:
// n/2 times the samples whose forward transform is the given spectrum.
template <typename T> std::vector<double> oracle_real_inverse(const std::vector<T>& packed, int n) {
    const auto N = static_cast<std::size_t>(n);
    std::vector<double> c(2 * N, 0.0);
    c[0] = packed[0];
    c[N] = packed[1];
    for (std::size_t k = 1; k < N / 2; ++k) {
        c[2 * k] = c[2 * (N - k)] = packed[2 * k];
        c[2 * k + 1] = packed[2 * k + 1];
        c[2 * (N - k) + 1] = -packed[2 * k + 1];
    }
    c = oracle_fft(c, n, -1);
    std::vector<double> x(N);
    for (std::size_t i = 0; i < N; ++i)
        x[i] = 0.5 * c[2 * i]; // FFTW's inverse returns n times the samples
    return x;
}

} // namespace zr::test

#endif
