/* The spectrum of a tone in dBm.
 *
 * A 1 V peak tone at 1.28 MHz, sampled at 20.48 MHz, 1024 samples. With the
 * window scaled to a sum of sqrt(40) the decibel spectrum reads in dBm
 * (50 ohm): the tone shows 10 dBm on its line, whichever the window. */
#include <math.h>
#include <stdio.h>

#include <zrdsp_32.h>

enum { N = 1024 };

int main(void) {
    const double rate = 20.48e6, frequency = 1.28e6, amplitude = 1.0;
    static float x[N], w[N], s[N / 2 + 1];
    const char* names[] = {"uniform", "Hann", "Gauss top", "flat top"};
    printf("libzrdsp_32 %s\n", ZRDSP_VERSION_STRING);
    for (int type = ZRDSP_WINDOW_UNIFORM; type <= ZRDSP_WINDOW_FLAT_TOP; ++type) {
        for (int n = 0; n < N; ++n)
            x[n] = (float)(amplitude * cos(2.0 * 3.14159265358979323846 * frequency * n / rate));
        zrdsp_window(w, N, (int16_t)type, ZRDSP_SCALE_MEAN, 6.32455532f / N);
        zrdsp_spectrum(x, s, w, N, ZRDSP_DECIBELS);
        int peak = 0;
        for (int k = 1; k <= N / 2; ++k)
            if (s[k] > s[peak])
                peak = k;
        printf("%-9s window: peak on line %d (%.0f Hz) at %.2f dBm\n", names[type], peak,
               peak * rate / N, s[peak]);
    }
    return 0;
}
