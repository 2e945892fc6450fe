/* A C program using the installed library: found through pkg-config or
 * through the CMake package. Exits 0 when a call gives its known result (the
 * library's own tests check the values of every entry point). */
#include <stdio.h>

#include <zrdsp_32.h>

int main(void) {
    float x[4] = {1.0f, 2.0f, 3.0f, 4.0f};

    zrdsp_fft_real(x, 4, 1);
    if (x[0] != 10.0f || x[1] != -2.0f || x[2] != -2.0f || x[3] != 2.0f) {
        fprintf(stderr, "real transform: %g %g %g %g\n", x[0], x[1], x[2], x[3]);
        return 1;
    }
    printf("zrdsp_32 consumer ok\n");
    return 0;
}
