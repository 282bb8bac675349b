/* An outside C program built against the installed library with pkg-config: converts a block of
 * raw results and checks a verification value, and compares with the known answers. */
#include <stdio.h>
#include <string.h>
#include <trqm7x_math.h>

int main(void) {
    /* Gains (1, 10), (2, 20), (4, 40); offsets 0.5, 0.25, 0.125; scale 2^1 / 2 = 1. */
    const double coeff[10] = {0, 0, 0, 0, 1, 10, 2, 20, 4, 40};
    const ConvParams params = {1, 2, 0, 0, {0.5, 0.25, 0.125}};
    const int32_t chans[3] = {0, 1, 2};
    const int32_t raw[6] = {1, -2, 3, -4, 5, 0};
    const double expected[6] = {0.5, -40.25, 11.875, -40.5, 9.75, -0.125};
    double out[6] = {0};
    char tolText[32] = "", devText[32] = "";
    int failures = 0;

    trqm7xMath_translateResults(&params, coeff, chans, 3, raw, out, 2);
    for (int i = 0; i < 6; ++i) {
        if (out[i] != expected[i]) {
            printf("value %d: %.17g, expected %.17g\n", i, out[i], expected[i]);
            ++failures;
        }
    }
    if (trqm7xMath_povCheckValueProc(10.0, 1.0, 0.99, 0.5, tolText, devText) != 0 ||
        strcmp(tolText, "  0.50") != 0 || strcmp(devText, "  -0.10") != 0) {
        printf("povCheckValueProc: \"%s\" \"%s\"\n", tolText, devText);
        ++failures;
    }
    printf("C client: %s\n", failures == 0 ? "known answers" : "WRONG ANSWERS");
    return failures == 0 ? 0 : 1;
}
