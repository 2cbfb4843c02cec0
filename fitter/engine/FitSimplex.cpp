// Nelder-Mead downhill simplex over the varying parameters, minimising the weighted sum of
// squared residuals without derivatives. Every trial point is made feasible (bounds, then
// linear constraints) before it is evaluated.
#include <math.h>
#include <stdio.h>

#include "FitMemory.h"
#include "FitSession.h"

namespace {

struct Simplex {
    FittingSession* s;
    int n;
    double** vertex;  // [1..n+1][1..n]
    double* y;        // [1..n+1]
    double* sum;      // [1..n]
    double* trial;    // [1..n]

    void ToParams(const double* point)
    {
        for (int j = 1; j <= n; ++j)
            s->value[s->varyMap[j]] = point[j];
    }

    int MakeFeasible(double* point)
    {
        ToParams(point);
        ApplyBounds(s, s->value, s->value);
        if (s->nEffective) {
            const int code = ProjectOnConstraints(s, s->value);
            if (code)
                return code;
        }
        for (int j = 1; j <= n; ++j)
            point[j] = s->value[s->varyMap[j]];
        return 0;
    }

    int Evaluate(const double* point, double* out)
    {
        ++s->trials;
        ReportProgressCount(s, QFIT_PROGRESS_TRIAL, s->trials);
        ToParams(point);
        const int code = ChiSquare(s);
        *out = s->ssr;
        EndProgress(s);
        return code;
    }

    void Sums()
    {
        for (int j = 1; j <= n; ++j) {
            double t = 0;
            for (int i = 1; i <= n + 1; ++i)
                t += vertex[i][j];
            sum[j] = t;
        }
    }

    // Moves the worst vertex through the centroid of the others by factor f.
    int Try(int worst, double f, double* out)
    {
        const double a = (1 - f) / n, b = a - f;
        for (int j = 1; j <= n; ++j)
            trial[j] = a * sum[j] - b * vertex[worst][j];
        int code = MakeFeasible(trial);
        if (code == 0)
            code = Evaluate(trial, out);
        if (code)
            return code;
        if (*out < y[worst]) {
            y[worst] = *out;
            for (int j = 1; j <= n; ++j) {
                sum[j] += trial[j] - vertex[worst][j];
                vertex[worst][j] = trial[j];
            }
        }
        return 0;
    }

    int Best() const
    {
        int best = 1;
        for (int i = 2; i <= n + 1; ++i)
            if (y[i] < y[best])
                best = i;
        return best;
    }

    int Run()
    {
        int code = PrepareParameterRanges(s);
        if (code)
            return code;
        for (int j = 1; j <= n; ++j)
            vertex[1][j] = s->value[s->varyMap[j]];
        for (int i = 1; i <= n; ++i) {
            for (int j = 1; j <= n; ++j)
                vertex[i + 1][j] = vertex[1][j];
            vertex[i + 1][i] = vertex[1][i] != 0 ? vertex[1][i] * 1.05 : 0.05;
        }
        for (int i = 2; i <= n + 1; ++i)
            if ((code = MakeFeasible(vertex[i])) != 0)
                return code;
        if ((code = MakeFeasible(vertex[1])) != 0)
            return code;
        for (int i = 1; i <= n + 1; ++i)
            y[i] = HUGE_VAL;
        for (int i = 1; i <= n + 1; ++i)
            if ((code = Evaluate(vertex[i], &y[i])) != 0)
                return code;
        Sums();
        int lowMoves = 0;
        for (;;) {
            int low = 1, high, nextHigh;
            if (y[1] > y[2]) {
                high = 1;
                nextHigh = 2;
            } else {
                high = 2;
                nextHigh = 1;
            }
            for (int i = 1; i <= n + 1; ++i) {
                if (y[i] <= y[low] && i != low) {
                    low = i;
                    ++lowMoves;
                }
                if (y[i] > y[high]) {
                    nextHigh = high;
                    high = i;
                } else if (y[i] > y[nextHigh] && i != high) {
                    nextHigh = i;
                }
            }
            s->nIter = lowMoves;
            const double scale = fabs(y[high]) + fabs(y[low]);
            if (scale == 0 || 2 * fabs(y[high] - y[low]) / scale < s->tolerance ||
                s->trials >= s->evaluationLimit)
                return 0;
            double value;
            if ((code = Try(high, -1.0, &value)) != 0)
                return code;
            if (value <= y[low]) {
                if ((code = Try(high, 2.0, &value)) != 0)
                    return code;
            } else if (value >= y[nextHigh]) {
                const double saved = y[high];
                if ((code = Try(high, 0.5, &value)) != 0)
                    return code;
                if (value >= saved) {
                    for (int i = 1; i <= n + 1; ++i) {
                        if (i == low)
                            continue;
                        for (int j = 1; j <= n; ++j)
                            vertex[i][j] = 0.5 * (vertex[i][j] + vertex[low][j]);
                        if ((code = MakeFeasible(vertex[i])) != 0 || (code = Evaluate(vertex[i], &y[i])) != 0)
                            return code;
                    }
                    Sums();
                }
            }
        }
    }
};

}  // namespace

int RunSimplex(FittingSession* s)
{
    const int n = s->nVary;
    Simplex simplex = {s, n, AllocMatrix(0, n + 1, 0, n), AllocIndexed<double>(n + 1), AllocIndexed<double>(n),
                       AllocIndexed<double>(n)};
    int code = 0;
    if (!simplex.vertex || !simplex.y || !simplex.sum || !simplex.trial) {
        code = FIT_ERR_NO_MEMORY;
    } else {
        s->trials = 0;
        code = simplex.Run();
        // Whatever ended the run (a stop request included), the parameters keep the best
        // point evaluated so far, not the last trial point.
        const int best = simplex.Best();
        if (simplex.y[best] != HUGE_VAL) {
            simplex.ToParams(simplex.vertex[best]);
            if (code == 0) {
                s->ssr = simplex.y[best];
                s->chiSqr = s->nPoints > static_cast<unsigned>(n) ? s->ssr / (s->nPoints - n) : MISSING_VALUE;
            }
        }
    }
    FreeMatrix(simplex.vertex, 0);
    FreeLockedBlock(simplex.y);
    FreeLockedBlock(simplex.sum);
    FreeLockedBlock(simplex.trial);
    return code;
}
