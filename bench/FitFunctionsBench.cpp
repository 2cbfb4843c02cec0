// Evaluations per second of a few representative fitting functions of QCLB60.dll, called
// through the exported convention exactly as the fitter calls them, beside the same
// formula written inline here. The ratio is the price of the convention, the library's
// domain tests and its error-number handling per data point.
#include <cmath>
#include <cstdio>

#include "BenchHarness.h"
#include "FitFunction.h"

namespace {

const int kPoints = 20000;
volatile double g_sink;

double XOf(int i) { return -5.0 + 10.0 * i / kPoints; }

struct Subject {
    const char *name;
    const char *row;
    int mode;
    int nArg;
    double p[20];
    double (*inlineFormula)(const double *p, double x, double *d);
};

// Gauss with one peak, value and the three derivatives of its peak.
double GaussInline(const double *p, double x, double *d)
{
    double xc = p[2], w = p[3], A = p[4];
    double r = 1.4142135623730951 * (x - xc) / w;
    double q = r * r;
    double E = std::exp(-q);
    double dA = E / (w * 1.2533141373155);
    double c = dA * A;
    d[1] = 1.0;
    d[2] = 2.0 * q * c / (x - xc);
    d[3] = (2.0 * q - 1.0) * c / w;
    d[4] = dA;
    return p[1] + c;
}

// Five Gauss peaks, value only.
double FivePeaksInline(const double *p, double x, double *)
{
    double y = p[1];
    for (int k = 1; k <= 5; ++k) {
        double u = (x - p[3 * k - 1]) / p[3 * k];
        y += p[3 * k + 1] * std::exp(-2.0 * u * u) / (p[3 * k] * 1.2533141373155);
    }
    return y;
}

// Three-term exponential decay, value and derivatives.
double ExpDec3Inline(const double *p, double x, double *d)
{
    double y = p[1];
    d[1] = 1.0;
    for (int j = 0; j < 3; ++j) {
        double A = p[2 + 2 * j], t = p[3 + 2 * j];
        double E = std::exp(-x / t);
        d[2 + 2 * j] = E;
        d[3 + 2 * j] = (x / t) * E * A / t;
        y += A * E;
    }
    return y;
}

} // namespace

int main()
{
    HMODULE lib = LoadLibraryA(CURVELIB_FILE_NAME);
    auto getFunc = lib ? reinterpret_cast<GetFuncProc>(GetProcAddress(lib, "Get_Func")) : nullptr;
    if (!getFunc) {
        std::printf("cannot load %s\n", CURVELIB_FILE_NAME);
        return 1;
    }
    Subject subjects[] = {
        {"Gauss, derivatives", "Gauss", FITMODE_DERIVATIVES, 4, {0, 0.1, 0.3, 1.2, 2.0}, GaussInline},
        {"Gauss, 5 peaks, value", "Gauss", FITMODE_VALUE, 16,
         {0, 0.1, -3, 1, 2, -1, 0.5, 1, 0.5, 0.7, 3, 2, 1.5, 0.5, 4, 2, 1}, FivePeaksInline},
        {"ExpDec3, derivatives", "ExpDec3", FITMODE_DERIVATIVES, 7,
         {0, 0.2, 1.5, 0.7, -0.5, 2.0, 0.3, 5.0}, ExpDec3Inline},
    };
    std::printf("%d points per run\n", kPoints);
    for (Subject &s : subjects) {
        FitFunction f = getFunc(s.row, nullptr, nullptr, nullptr, nullptr);
        double x[2], y[20], d[20];
        double library = bench::BestTime([&] {
            double sum = 0.0;
            for (int i = 0; i < kPoints; ++i) {
                x[1] = XOf(i);
                f(s.mode, nullptr, s.nArg, 0, 0, s.p, nullptr, x, y, d);
                sum += y[1];
            }
            g_sink = sum;
        });
        double inlined = bench::BestTime([&] {
            double sum = 0.0;
            for (int i = 0; i < kPoints; ++i)
                sum += s.inlineFormula(s.p, XOf(i), d);
            g_sink = sum;
        });
        bench::Report(s.name, library, inlined);
        std::printf("%-40s %12.3g evaluations/s through the library\n", "", kPoints / library);
    }
    FreeLibrary(lib);
    return 0;
}
