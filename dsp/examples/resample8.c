/* Resampling a block by 8 with zrdsp_resample.
 *
 * 256 samples of a slow sine (0.02 cycles per input sample) become eight
 * outputs per input (step 1/8). Output j lies at input time j/8; the
 * resampler stops where its 11-tap kernel would need inputs beyond the block
 * (they wait in the history for the next block). The outputs are compared
 * with the sine at their times: the error is the kernel's droop at the
 * sine's frequency, which zrdsp_resamp_resp reports. */
#include <math.h>
#include <stdio.h>

#include <zrdsp_32.h>

enum { IN = 256, MAXOUT = 8 * IN };

static const double kPi = 3.14159265358979323846;

int main(void) {
    static float input[IN], output[MAXOUT];
    float history[11] = {0};
    float position = 0.0f;
    int32_t produced = 0;
    const double frequency = 0.02, step = 1.0 / 8.0;
    for (int n = 0; n < IN; ++n)
        input[n] = (float)sin(2.0 * kPi * frequency * n);
    zrdsp_resample(input, IN, output, MAXOUT, &produced, &position, (float)step, history);

    /* Compare where the whole kernel has seen real input (no lead-in zeros). */
    double largest = 0.0;
    int compared = 0;
    for (int j = 0; j < produced; ++j) {
        const double t = j * step;
        if (t < 10.0)
            continue;
        const double error = fabs(output[j] - sin(2.0 * kPi * frequency * t));
        if (error > largest)
            largest = error;
        ++compared;
    }
    double response = 0.0;
    zrdsp_resamp_resp(&response, 1, frequency, frequency);
    printf("%d inputs -> %d outputs, next output at input time %.3f\n", IN, (int)produced,
           produced * step);
    printf("kernel response at %.2f cycles per sample: %.4f\n", frequency, response);
    printf("largest error against the sine over %d outputs: %.4f\n", compared, largest);
    return 0;
}
