/* The GSL reference of the fit benchmark, built natively against libgsl: the same fits as
   the fitter's benchmark, with gsl_multifit_nlinear (Levenberg-Marquardt trust region),
   running exactly the number of iterations the fitter took. Prints seconds per iteration,
   for the NIST problems measured as the fitter's benchmark measures them.

     FitGsl gauss ITERATIONS
     FitGsl nist FILE.dat PROBLEM START ITERATIONS
     FitGsl data FILE          (writes the Gaussian's x and y as raw doubles)

   The Gaussian gets its analytic Jacobian, as the function library's Gauss gives the
   fitter; the NIST models get GSL's forward-difference Jacobian, as user-defined functions
   get the fitter's. */
#include <gsl/gsl_multifit_nlinear.h>
#include <gsl/gsl_vector.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include "../FitData.h"

typedef double (*Model)(const double* b, double x);

static double BoxBOD(const double* b, double x) { return b[0] * (1 - exp(-b[1] * x)); }
static double Chwirut(const double* b, double x) { return exp(-b[0] * x) / (b[1] + b[2] * x); }
static double DanWood(const double* b, double x) { return b[0] * pow(x, b[1]); }
static double Eckerle4(const double* b, double x)
{
    const double u = (x - b[2]) / b[1];
    return b[0] / b[1] * exp(-0.5 * u * u);
}
static double Gauss1(const double* b, double x)
{
    const double u = (x - b[3]) / b[4], v = (x - b[6]) / b[7];
    return b[0] * exp(-b[1] * x) + b[2] * exp(-u * u) + b[5] * exp(-v * v);
}
static double Hahn1(const double* b, double x)
{
    return (b[0] + b[1] * x + b[2] * x * x + b[3] * x * x * x) / (1 + b[4] * x + b[5] * x * x + b[6] * x * x * x);
}
static double Kirby2(const double* b, double x)
{
    return (b[0] + b[1] * x + b[2] * x * x) / (1 + b[3] * x + b[4] * x * x);
}
static double Lanczos3(const double* b, double x)
{
    return b[0] * exp(-b[1] * x) + b[2] * exp(-b[3] * x) + b[4] * exp(-b[5] * x);
}
static double MGH17(const double* b, double x) { return b[0] + b[1] * exp(-x * b[3]) + b[2] * exp(-x * b[4]); }
static double Misra1a(const double* b, double x) { return b[0] * (1 - exp(-b[1] * x)); }
static double Misra1b(const double* b, double x) { return b[0] * (1 - pow(1 + b[1] * x / 2, -2)); }
static double Rat42(const double* b, double x) { return b[0] / (1 + exp(b[1] - b[2] * x)); }

static const struct {
    const char* name;
    Model model;
} kModels[] = {
    {"BoxBOD", BoxBOD},   {"Chwirut1", Chwirut}, {"Chwirut2", Chwirut}, {"DanWood", DanWood},
    {"Eckerle4", Eckerle4}, {"Gauss1", Gauss1},  {"Hahn1", Hahn1},      {"Kirby2", Kirby2},
    {"Lanczos3", Lanczos3}, {"MGH17", MGH17},    {"Misra1a", Misra1a},  {"Misra1b", Misra1b},
    {"Rat42", Rat42},
};

struct Problem {
    Model model;
    int n;
    const double* x;
    const double* y;
};

static int Residuals(const gsl_vector* b, void* data, gsl_vector* f)
{
    const struct Problem* p = data;
    for (int i = 0; i < p->n; ++i)
        gsl_vector_set(f, i, p->model(b->data, p->x[i]) - p->y[i]);
    return GSL_SUCCESS;
}

static double GaussModel(const double* b, double x)
{
    return FitBenchModel(b, x);
}

static int GaussJacobian(const gsl_vector* b, void* data, gsl_matrix* J)
{
    const struct Problem* p = data;
    const double xc = b->data[1], w = b->data[2], A = b->data[3];
    for (int i = 0; i < p->n; ++i) {
        const double d = p->x[i] - xc, q = 2 * d * d / (w * w);
        const double dA = exp(-q) / (w * 1.2533141373155003), c = A * dA;
        gsl_matrix_set(J, i, 0, 1.0);
        gsl_matrix_set(J, i, 1, 4 * d * c / (w * w));
        gsl_matrix_set(J, i, 2, (2 * q - 1) * c / w);
        gsl_matrix_set(J, i, 3, dA);
    }
    return GSL_SUCCESS;
}

static double Now(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

/* Seconds of at most `iterations` iterations from `start`, the set-up (the first residuals
   and Jacobian) included; `made` receives the iterations made: one that GSL refuses (no
   progress possible) ends the run. */
static double Fit(struct Problem* problem, int nParams, const double* start, int iterations, int analytic, int* made)
{
    gsl_multifit_nlinear_parameters params = gsl_multifit_nlinear_default_parameters();
    gsl_multifit_nlinear_fdf fdf;
    fdf.f = Residuals;
    fdf.df = analytic ? GaussJacobian : NULL;
    fdf.fvv = NULL;
    fdf.n = problem->n;
    fdf.p = nParams;
    fdf.params = problem;
    gsl_multifit_nlinear_workspace* w =
        gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &params, problem->n, nParams);
    gsl_vector_const_view b0 = gsl_vector_const_view_array(start, nParams);
    const double t0 = Now();
    gsl_multifit_nlinear_init(&b0.vector, &fdf, w);
    *made = 0;
    while (*made < iterations && gsl_multifit_nlinear_iterate(w) == GSL_SUCCESS)
        ++*made;
    const double seconds = Now() - t0;
    gsl_multifit_nlinear_free(w);
    return seconds;
}

static int ReadNist(const char* path, int start, double* b, int* nParams, double* x, double* y, int capacity)
{
    FILE* f = fopen(path, "r");
    if (!f)
        return -1;
    char line[512];
    int n = 0, lineNo = 0;
    *nParams = 0;
    while (fgets(line, sizeof line, f)) {
        ++lineNo;
        double s1, s2, c, e;
        int index;
        if (lineNo < 60 && sscanf(line, " b%d = %lf %lf %lf %lf", &index, &s1, &s2, &c, &e) == 5)
            b[(*nParams)++] = start == 2 ? s2 : s1;
        else if (lineNo >= 61 && n < capacity && sscanf(line, "%lf %lf", &y[n], &x[n]) == 2)
            ++n;
    }
    fclose(f);
    return n;
}

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "data") == 0) {
        /* The Gaussian's data as raw doubles, x then y, for the scipy reference. */
        static double x[FIT_BENCH_POINTS], y[FIT_BENCH_POINTS];
        FitBenchData(FIT_BENCH_POINTS, x, y);
        FILE* f = fopen(argv[2], "wb");
        if (!f || fwrite(x, sizeof x, 1, f) != 1 || fwrite(y, sizeof y, 1, f) != 1) {
            fprintf(stderr, "FitGsl: cannot write %s\n", argv[2]);
            return 1;
        }
        fclose(f);
        return 0;
    }
    if (argc == 3 && strcmp(argv[1], "gauss") == 0) {
        static double x[FIT_BENCH_POINTS], y[FIT_BENCH_POINTS];
        FitBenchData(FIT_BENCH_POINTS, x, y);
        struct Problem p = {GaussModel, FIT_BENCH_POINTS, x, y};
        int made;
        /* The best of three, as the other two sides take theirs. */
        double seconds = 1e300;
        for (int r = 0; r < 3; ++r) {
            const double t = Fit(&p, 4, kFitBenchStart, atoi(argv[2]), 1, &made);
            seconds = t < seconds ? t : seconds;
        }
        printf("%.9g\n", seconds / (made > 0 ? made : 1));
        return 0;
    }
    if (argc == 6 && strcmp(argv[1], "nist") == 0) {
        static double x[1000], y[1000];
        double b[16];
        int nParams;
        const int n = ReadNist(argv[2], atoi(argv[4]), b, &nParams, x, y, 1000);
        for (size_t i = 0; i < sizeof kModels / sizeof kModels[0]; ++i)
            if (n > 0 && strcmp(kModels[i].name, argv[3]) == 0) {
                struct Problem p = {kModels[i].model, n, x, y};
                /* Measured as the fitter's side is: the run of all the iterations less a run
                   of one, over the iterations but one, so that the set-up both do once is
                   left out; each the best of many runs, so that the clock resolves them. */
                double full = 1e300, one = 1e300;
                int made = 0, madeOne = 0;
                for (int r = 0; r < 20; ++r) {
                    const double t = Fit(&p, nParams, b, atoi(argv[5]), 0, &made);
                    const double t1 = Fit(&p, nParams, b, 1, 0, &madeOne);
                    full = t < full ? t : full;
                    one = t1 < one ? t1 : one;
                }
                printf("%.9g\n", made > 1 && madeOne == 1 ? (full > one ? full - one : 0) / (made - 1) : full / (made > 0 ? made : 1));
                return 0;
            }
        fprintf(stderr, "FitGsl: no problem %s in %s\n", argv[3], argv[2]);
        return 1;
    }
    fprintf(stderr, "usage: FitGsl gauss ITERATIONS | FitGsl nist FILE.dat PROBLEM START ITERATIONS | FitGsl data FILE\n");
    return 2;
}
