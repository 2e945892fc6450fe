/* Designing a lowpass with zrdsp_fir_synth and filtering with zrdsp_fir.
 *
 * 63 taps, pass band up to 0.1 and stop band from 0.15 cycles per sample
 * (least squares, the transition band unweighted, linear phase through a
 * delay of 31 samples). Two tones are filtered in blocks of 100 samples:
 * the one in the pass band keeps its amplitude, the one in the stop band
 * is suppressed. The gains are measured on the filtered samples and
 * compared with the design's response from zrdsp_fir_resp. */
#include <math.h>
#include <stdio.h>

#include <zrdsp_32.h>

enum { NPTS = 256, NTAPS = 63, LEN = 4000, BLOCK = 100 };

static const double kPi = 3.14159265358979323846;

/* Peak amplitude of a tone after the filter, from the RMS of the settled output. */
static double filtered_gain(const float* taps, double frequency) {
    static float x[LEN], y[LEN];
    float state[NTAPS] = {0};
    for (int n = 0; n < LEN; ++n)
        x[n] = (float)cos(2.0 * kPi * frequency * n);
    for (int start = 0; start < LEN; start += BLOCK)
        zrdsp_fir(x + start, y + start, BLOCK, taps, NTAPS, state);
    double power = 0.0;
    for (int n = NTAPS; n < LEN; ++n)
        power += (double)y[n] * y[n];
    return sqrt(2.0 * power / (LEN - NTAPS));
}

/* 20 log10 of a gain, with -0.0 shown as 0.0. */
static double decibels(double gain) {
    const double db = 20.0 * log10(gain);
    return fabs(db) < 0.05 ? 0.0 : db;
}

int main(void) {
    static double desired[2 * (NPTS + 1)], weights[NPTS + 1], taps[NTAPS];
    float taps_f[NTAPS];
    for (int i = 0; i <= NPTS; ++i) {
        const double f = i / (2.0 * NPTS);
        desired[2 * i] = f <= 0.1 ? 1.0 : 0.0;
        desired[2 * i + 1] = 0.0;
        weights[i] = (f <= 0.1 || f >= 0.15) ? 1.0 : 0.0;
    }
    const double status = zrdsp_fir_synth(desired, weights, NPTS, (NTAPS - 1) / 2.0, taps, NTAPS);
    if (status != 0.0) {
        printf("design failed (%g)\n", status);
        return 1;
    }
    for (int m = 0; m < NTAPS; ++m)
        taps_f[m] = (float)taps[m];

    const double tones[2] = {0.05, 0.25};
    for (int t = 0; t < 2; ++t) {
        double response[2];
        zrdsp_fir_resp(response, 1, tones[t], tones[t], taps, NTAPS);
        const double designed = hypot(response[0], response[1]);
        const double measured = filtered_gain(taps_f, tones[t]);
        printf("tone %.2f: designed %.1f dB, measured %.1f dB\n", tones[t], decibels(designed),
               decibels(measured));
    }
    return 0;
}
