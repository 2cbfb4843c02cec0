/* Data of the fit benchmark, made the same way by the fitter's benchmark (Windows) and by
   the GSL reference (built natively): a Gaussian peak of area A and width w (twice the
   standard deviation) on a baseline y0, the model of the function library's Gauss,
   y = y0 + A / (w sqrt(pi/2)) exp(-2 ((x - xc) / w)^2), with normal noise of standard
   deviation 0.05 from a fixed-seed generator. Plain C so that both compilers take it. */
#ifndef QX_BENCH_FIT_DATA_H
#define QX_BENCH_FIT_DATA_H

#include <math.h>
#include <stdint.h>

enum { FIT_BENCH_POINTS = 1000000, FIT_BENCH_ITERATIONS = 8 };

/* True parameters (y0, xc, w, A) and the start both fits begin from. */
static const double kFitBenchTrue[4] = {0.5, 5.0, 1.5, 3.0};
static const double kFitBenchStart[4] = {0.3, 4.6, 2.0, 2.0};

static inline double FitBenchModel(const double* p, double x)
{
    const double u = (x - p[1]) / p[2];
    return p[0] + p[3] / (p[2] * 1.2533141373155003) * exp(-2.0 * u * u);
}

/* x evenly spaced over [0, 10); y the model plus noise (xorshift64 and Box-Muller). */
static inline void FitBenchData(int n, double* x, double* y)
{
    uint64_t state = 0x9E3779B97F4A7C15ull;
    const double twoPi = 6.283185307179586;
    for (int i = 0; i < n; i += 2) {
        double u[2];
        for (int k = 0; k < 2; ++k) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            u[k] = ((state >> 11) + 0.5) / 9007199254740992.0;
        }
        const double r = sqrt(-2.0 * log(u[0]));
        const double noise[2] = {r * cos(twoPi * u[1]), r * sin(twoPi * u[1])};
        for (int k = 0; k < 2 && i + k < n; ++k) {
            x[i + k] = 10.0 * (i + k) / n;
            y[i + k] = FitBenchModel(kFitBenchTrue, x[i + k]) + 0.05 * noise[k];
        }
    }
}

#endif
