/* A C program using the installed library: found through pkg-config or
 * through the CMake package. Exits 0 when the results are right. */
#include <math.h>
#include <stdio.h>

#include <zrdsp_32.h>

int main(void) {
    float x[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    double d[8] = {1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    float w[8];
    double sum = 0.0;
    int i;
    int failures = 0;

    zrdsp_fft_real(x, 4, 1);
    if (x[0] != 10.0f || x[1] != -2.0f || x[2] != -2.0f || x[3] != 2.0f) {
        fprintf(stderr, "real transform: %g %g %g %g\n", x[0], x[1], x[2], x[3]);
        ++failures;
    }
    zrdsp_fft_double(d, 4, -1);
    for (i = 0; i < 4; ++i)
        if (d[2 * i] != 1.0 || d[2 * i + 1] != 0.0) {
            fprintf(stderr, "impulse bin %d: %g %g\n", i, d[2 * i], d[2 * i + 1]);
            ++failures;
        }
    zrdsp_window(w, 8, 1, 0, 1.0f);
    for (i = 0; i < 8; ++i)
        sum += w[i];
    if (fabs(sum - 8.0) > 1e-5 || fabs(w[4] - 2.0f) > 1e-6) {
        fprintf(stderr, "window: sum %g peak %g\n", sum, w[4]);
        ++failures;
    }
    if (failures == 0)
        printf("zrdsp_32 consumer ok\n");
    return failures == 0 ? 0 : 1;
}
