// Levenberg-Marquardt runs: the weighted chi-square with and without derivatives, the trial
// steps of one round, the damped normal equations (Gauss-Jordan with full pivoting, with a
// singular value decomposition when the matrix is singular), parameter errors and the
// check for mutually dependent parameters.
//
// Overflow guards compare magnitudes before anything is summed, so a huge value of either
// sign ends the computation with 28025 instead of turning a sum into infinity.
#include <emmintrin.h>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "FitMemory.h"
#include "GaussRow.h"
#include "FitSession.h"
#include "FitUtil.h"

namespace {

const double kValueLimit = 1e154;
const double kProductLimit = 1.7e307;
const double kWeightFloor = 1.7e-307;
const double kMuLimit = 1e40;
const int kMaxFailures = 40;

// The steps every row of every pass takes (reading, evaluating, range test, sums) go
// inline into the row loops: as calls they cost a pass over many rows several per cent.
#define ROW_STEP inline __attribute__((always_inline))

// The weight of dependent variable d at the current row; false when the row has no usable
// weight: no readable value and none before it, or a negative or non-finite weight.
bool Weight(FittingSession* s, int d, int row, double* w)
{
    DepVarInfo& v = s->dep[d];
    double denominator;
    QFitValueRecord r = {row, 0, 0.0};
    switch (v.weightType) {
    case 0:
        *w = 1.0;
        return true;
    case 1:
    case 3: {
        const bool read = v.weightDataset &&
                          CallHost(s, HOST_GET_VALUE, v.weightDataset, reinterpret_cast<INT_PTR>(&r)) == 0 &&
                          !IsMissingValue(r.value);
        if (read && r.value * r.value >= kWeightFloor) {
            v.lastDenominator = r.value * r.value;
            v.hasDenominator = 1;
        }
        if (!v.hasDenominator)
            return false;
        denominator = v.lastDenominator;
        break;
    }
    case 2:
        if (fabs(v.y) >= kWeightFloor) {
            v.lastDenominator = fabs(v.y);
            v.hasDenominator = 1;
        }
        if (!v.hasDenominator)
            return false;
        denominator = v.lastDenominator;
        break;
    case 4: {
        const bool read = v.weightDataset &&
                          CallHost(s, HOST_GET_VALUE, v.weightDataset, reinterpret_cast<INT_PTR>(&r)) == 0 &&
                          !IsMissingValue(r.value);
        if (read) {
            v.lastDirectWeight = r.value;
            v.hasDirectWeight = 1;
        }
        if (!v.hasDirectWeight)
            return false;
        *w = v.lastDirectWeight;
        return isfinite(*w) && *w >= 0;
    }
    default:
        return false;
    }
    *w = 1.0 / denominator;
    return isfinite(*w) && *w >= 0;
}

// d is a dependent variable of fit set f.
ROW_STEP bool RowInRange(FittingSession* s, int row, int d, int f)
{
    const DepVarInfo& v = s->dep[d];
    if (row < v.first || row >= v.end)
        return false;
    const int first = FirstIndepOfSet(s, f);
    for (int i = first; i < first + IndepPerSet(s); ++i) {
        const IndepVarInfo& x = s->indep[i];
        if (x.useXRange) {
            if (x.value < x.xFrom || x.value > x.xTo)
                return false;
        } else if (x.dataset && (row < x.first || row >= x.end)) {
            return false;
        }
    }
    return true;
}

// The forward-difference step of a parameter at value p. A zero step (a parameter at 0
// with a minimum step of 0) would divide by zero.
double DerivativeStep(const FittingSession* s, double p)
{
    double h = s->derivStep;
    if (!s->fixedDerivStep) {
        h = fabs(p * s->derivStep);
        if (h < s->minDerivStep)
            h = s->minDerivStep;
        if (h > s->maxDerivStep)
            h = s->maxDerivStep;
    }
    if (!(h > 0))
        h = s->derivStep > 0 ? s->derivStep : 1e-8;
    return h;
}

// Forward differences for the varying parameters of one fit set at the current row.
// `known`, when given, holds the fitted values at the current parameters, from the pass
// that last evaluated them; the model is then not evaluated there again.
int NumericDerivatives(FittingSession* s, int fitSet, const double* known = nullptr)
{
    const FitSetInfo& set = s->fitSets[fitSet];
    if (known) {
        for (int d = set.firstDependent; d <= set.lastDependent; ++d)
            s->dep[d].fitted = *known++;
    } else if (EvaluateModel(s, FITMODE_VALUE, fitSet)) {
        s->status = 1;
        return 1;
    }
    for (int d = set.firstDependent; d <= set.lastDependent; ++d)
        s->savedY[d] = s->dep[d].fitted;
    // Parameters of other fit sets do not enter this set's model: their derivatives stay 0.
    // (A parameter all sets share enters every set's.)
    for (int j = 1; j <= s->nVary; ++j) {
        const int k = s->varyMap[j];
        if (!ParamInFitSet(s, fitSet, k))
            continue;
        const double p = s->value[k];
        const double h = DerivativeStep(s, p);
        s->value[k] = p + h;
        const int failed = EvaluateModel(s, FITMODE_VALUE, fitSet);
        if (!failed)
            for (int d = set.firstDependent; d <= set.lastDependent; ++d)
                s->derivatives[d][k] = (s->dep[d].fitted - s->savedY[d]) / h;
        s->value[k] = p;
        if (failed) {
            s->status = 1;
            return 1;
        }
    }
    for (int d = set.firstDependent; d <= set.lastDependent; ++d)
        s->dep[d].fitted = s->savedY[d];
    return 0;
}

struct Sums {
    double S, Sy, Syy, T;
};

// Adds a row with observed value y, fitted value f, weight w and, when g is given, the
// derivatives g[1..nVary] of the varying parameters, to the sums, the sum of squares `ssr`
// and the count of points `points`. Returns 28025 on overflow.
ROW_STEP int AddResidualTo(FittingSession* s, double y, double f, const double* g, double w, Sums& sums,
                           bool* relativeLost, double& ssrTotal, unsigned& points)
{
    if (!(fabs(y) <= kValueLimit) || !(fabs(f) <= kValueLimit))
        return FIT_ERR_GENERAL;
    const double diff = y - f;
    if (!(fabs(diff) <= kValueLimit) || !(fabs(diff * w) <= kValueLimit))
        return FIT_ERR_GENERAL;
    const int nVary = s->nVary;
    if (g)
        for (int j = 1; j <= nVary; ++j) {
            const double a = fabs(g[j]);
            if (!(a <= kValueLimit) || !(a * w <= kValueLimit) || !(a * (a * w) <= kProductLimit))
                return FIT_ERR_GENERAL;
        }
    const double ssr = ssrTotal + diff * (diff * w);
    if (!(ssr <= kProductLimit))
        return FIT_ERR_GENERAL;
    const double a = fabs(y) + fabs(f);
    const double t = sums.T + a * (a * w);
    if (!(a * w <= kProductLimit) || !(t <= kProductLimit)) {
        *relativeLost = true;
        return FIT_ERR_GENERAL;
    }
    const double syy = sums.Syy + w * y * y;
    if (!isfinite(syy) || !isfinite(sums.Sy + w * y) || !isfinite(sums.S + w))
        return FIT_ERR_GENERAL;
    ssrTotal = ssr;
    sums.T = t;
    sums.S += w;
    sums.Sy += w * y;
    sums.Syy = syy;
    if (g)
        for (int j = 1; j <= nVary; ++j) {
            const double t = g[j] * w;
            double* alpha = s->alpha[j];
            // Two products and sums at a time: each element is rounded as alone.
            const __m128d tt = _mm_set1_pd(t);
            int k = 1;
            for (; k + 1 <= j; k += 2)
                _mm_storeu_pd(alpha + k, _mm_add_pd(_mm_loadu_pd(alpha + k), _mm_mul_pd(tt, _mm_loadu_pd(g + k))));
            for (; k <= j; ++k)
                alpha[k] += t * g[k];
            s->beta[j] += diff * t;
        }
    ++points;
    return 0;
}

// AddResidualTo the session's sum of squares and count of points.
ROW_STEP int AddResidualValues(FittingSession* s, double y, double f, const double* g, double w, Sums& sums,
                               bool* relativeLost)
{
    return AddResidualTo(s, y, f, g, w, sums, relativeLost, s->ssr, s->nPoints);
}

// Adds the row of dependent variable d with weight w, as AddResidualValues.
ROW_STEP int AddResidual(FittingSession* s, int d, double w, Sums& sums, bool withDerivatives, bool* relativeLost)
{
    const DepVarInfo& v = s->dep[d];
    // The row's derivatives of the varying parameters, gathered once (1-based).
    double g[MAX_PARAMS + 1];
    if (withDerivatives) {
        const double* row = s->derivatives[d];
        const int* map = s->varyMap;
        for (int j = 1; j <= s->nVary; ++j)
            g[j] = row[map[j]];
    }
    return AddResidualValues(s, v.y, v.fitted, withDerivatives ? g : nullptr, w, sums, relativeLost);
}

void ResetDenominators(FittingSession* s)
{
    for (int d = 1; d <= s->nDep; ++d) {
        s->dep[d].hasDenominator = 0;
        s->dep[d].hasDirectWeight = 0;
    }
}

// The loop shared by both chi-squares.
// The row's fitted values (MISSING_VALUE for a row that failed or was skipped) into the live
// curves, and each peak's value into the peak datasets of the fit set. The peaks are in the
// result record only after an unperturbed call (peaksValid): forward differences leave the
// last perturbed call there.
void WriteLiveRow(FittingSession* s, int fitSet, int row, bool usable, bool peaksValid = true)
{
    const FitSetInfo& set = s->fitSets[fitSet];
    for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
        if (!s->dep[d].liveDataset)
            continue;
        QFitValueRecord r = {row, 0, usable ? s->dep[d].fitted : MISSING_VALUE};
        CallHost(s, HOST_SET_VALUE, s->dep[d].liveDataset, reinterpret_cast<INT_PTR>(&r));
    }
    for (int j = 1; j <= MAX_PEAK_DATASETS && s->peakDatasets[j] && peaksValid; ++j) {
        QFitValueRecord r = {row, 0, usable ? s->callY[1 + j] : MISSING_VALUE};
        CallHost(s, HOST_SET_VALUE, s->peakDatasets[j], reinterpret_cast<INT_PTR>(&r));
    }
}

int AccumulateRows(FittingSession* s, bool withDerivatives, Sums& sums);

// The row's values from the run's cache when they are there, else from the host (kept in
// the cache when it has one).
ROW_STEP int ReadRow(FittingSession* s, int fitSet, int row, size_t index)
{
    if (!s->rowCache || index >= s->rowCacheRows)
        return ReadFitSetRow(s, fitSet, row);
    const FitSetInfo& set = s->fitSets[fitSet];
    const int first = FirstIndepOfSet(s, fitSet), nIndep = IndepPerSet(s);
    double* slot = s->rowCache + index * s->rowCacheWidth;
    if (index < s->rowCacheFilled) {
        double* v = slot + 1;
        for (int d = set.firstDependent; d <= set.lastDependent; ++d)
            s->dep[d].y = *v++;
        for (int i = first; i < first + nIndep; ++i)
            s->indep[i].value = *v++;
        return static_cast<int>(slot[0]);
    }
    const int code = ReadFitSetRow(s, fitSet, row);
    double* v = slot + 1;
    for (int d = set.firstDependent; d <= set.lastDependent; ++d)
        *v++ = s->dep[d].y;
    for (int i = first; i < first + nIndep; ++i)
        *v++ = s->indep[i].value;
    slot[0] = code;
    s->rowCacheFilled = index + 1;
    return code;
}

int AccumulateChiSquare(FittingSession* s, bool withDerivatives, Sums& sums)
{
    BeginModelPass(s);
    const int code = AccumulateRows(s, withDerivatives, sums);
    EndModelPass(s);
    return code;
}

// What a pass keeps and takes from the fitted values of the last pass of values.
struct PassState {
    bool withDerivatives, live, keep, reuse;
    bool relativeLost;
    double* fitted;
    bool writes;  // a live curve or a peak dataset to write (WriteLiveRow)
};

// The row's fitted values and derivatives are in the session: keeps them for the next pass,
// writes the live curves and adds the row to the sums. Nonzero ends the pass with that code.
ROW_STEP int FinishRow(FittingSession* s, PassState& p, int f, int row, size_t index, int rowCode, int failed, bool analytic,
              Sums& sums)
{
    const FitSetInfo& set = s->fitSets[f];
    double* slot = p.fitted && index < s->rowCacheRows ? p.fitted + index * s->fittedWidth : nullptr;
    if (p.keep && slot) {
        slot[0] = !failed;
        for (int d = set.firstDependent; d <= set.lastDependent; ++d)
            slot[1 + d - set.firstDependent] = s->dep[d].fitted;
    }
    if (p.live && p.writes)
        WriteLiveRow(s, f, row, !failed, !p.withDerivatives || analytic);
    if (failed || rowCode == 1)
        return 0;
    for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
        if (!RowInRange(s, row, d, f))
            continue;
        double w;
        // Unweighted rows, the usual case, without the call.
        if (s->dep[d].weightType == 0)
            w = 1.0;
        else if (!Weight(s, d, row, &w))
            continue;
        const int code = AddResidual(s, d, w, sums, p.withDerivatives, &p.relativeLost);
        if (code) {
            s->ssr = s->chiSqr = MISSING_VALUE;
            if (p.relativeLost)
                s->relativeSsr = MISSING_VALUE;
            return code;
        }
    }
    return 0;
}

// One row evaluated on its own: the model, or its forward differences.
ROW_STEP int EvaluateRow(FittingSession* s, PassState& p, int f, size_t index, bool analytic)
{
    double* slot = p.fitted && index < s->rowCacheRows ? p.fitted + index * s->fittedWidth : nullptr;
    if (p.withDerivatives && !analytic)
        return NumericDerivatives(s, f, p.reuse && slot && slot[0] != 0 ? slot + 1 : nullptr);
    return EvaluateModel(s, analytic ? FITMODE_DERIVATIVES : FITMODE_VALUE, f);
}

// Rows an Expression is evaluated for in one host request.
const int kBlockRows = 256;
// A request of at most this many rows (those of all evaluations) carries every parameter.
const int kFewRows = 64;

// A block of rows evaluated together: its rows (`count` of them from firstRow, every
// step-th, at cache indices from firstIndex), each row's code, and the values: the fitted
// values of the `evaluated` rows that were, then for each stepped parameter j (stepOf[j]
// nonzero) the same rows with the parameter moved by h[j].
struct BlockRows {
    int firstRow, step;
    size_t firstIndex;
    int count, evaluated;
    const unsigned char* codes;
    const double* values;
    const double* h;
    const int* stepOf;
    int nSteps;
    double* quotients;  // room for nSteps x evaluated values
};

// Whether the rows of fit set f up to cache index `end`, evaluated together, can be finished
// by FinishBlockRows: all in the row cache, unweighted, and the independent variables'
// ranges given by rows, not by X.
bool FinishesRowsItself(const FittingSession* s, int f, size_t end)
{
    const FitSetInfo& set = s->fitSets[f];
    if (end > s->rowCacheFilled || s->dep[set.firstDependent].weightType != 0)
        return false;
    const int first = FirstIndepOfSet(s, f), nIndep = IndepPerSet(s);
    for (int i = first; i < first + nIndep; ++i)
        if (s->indep[i].useXRange)
            return false;
    return true;
}

// The rows of a block finished as FinishRow finishes them one by one, the same sums in the
// same order, without its general steps (row ranges tested once for the block, the row's
// values taken from the cache, the derivatives kept at hand). The session is left as the
// row-by-row finish leaves it: at the last row, with the values of the last row evaluated,
// or at the row whose sums failed.
int FinishBlockRows(FittingSession* s, PassState& p, int f, const BlockRows& b, Sums& sums)
{
    const int d = s->fitSets[f].firstDependent;
    const int first = FirstIndepOfSet(s, f), nIndep = IndepPerSet(s);
    const DepVarInfo& v = s->dep[d];
    // The rows whose sums count: the dependent variable's, within each independent one's.
    int from = v.first, to = v.end;
    for (int i = first; i < first + nIndep; ++i)
        if (s->indep[i].dataset) {
            from = std::max(from, s->indep[i].first);
            to = std::min(to, s->indep[i].end);
        }
    const bool derivatives = p.withDerivatives, live = p.live && p.writes;
    const int nVary = s->nVary;
    // The derivatives of parameters this set's model leaves out stay as they are.
    double g[MAX_PARAMS + 1];
    if (derivatives)
        for (int j = 1; j <= nVary; ++j)
            g[j] = s->derivatives[d][s->varyMap[j]];
    // The forward differences of all rows, a stepped parameter at a time and two rows at a
    // time: the same quotients as row by row, in the room the block's columns leave.
    if (derivatives)
        for (int j = 1; j <= b.nSteps; ++j) {
            if (!b.stepOf[j])
                continue;
            const double* base = b.values;
            const double* moved = b.values + b.stepOf[j] * b.evaluated;
            double* q = b.quotients + (j - 1) * b.evaluated;
            const __m128d h = _mm_set1_pd(b.h[j]);
            int e = 0;
            for (; e + 2 <= b.evaluated; e += 2)
                _mm_storeu_pd(q + e, _mm_div_pd(_mm_sub_pd(_mm_loadu_pd(moved + e), _mm_loadu_pd(base + e)), h));
            for (; e < b.evaluated; ++e)
                q[e] = (moved[e] - base[e]) / b.h[j];
        }
    const double* cache = s->rowCache;
    const size_t cacheWidth = s->rowCacheWidth;
    double* kept = p.keep ? p.fitted : nullptr;
    int lastEvaluated = -1, code = 0, r = 0;
    double lastValue = 0;
    // The totals in hand for the block, and in the session whenever the host is called.
    double ssr = s->ssr;
    unsigned points = s->nPoints;
    Sums block = sums;
    for (int e = 0; r < b.count; ++r) {
        const int row = b.firstRow + r * b.step;
        if (b.codes[r] >= 2) {
            if (p.live)
                WriteLiveRow(s, f, row, false);
            continue;
        }
        const double y0 = b.values[e];
        if (derivatives)
            for (int j = 1; j <= b.nSteps; ++j)
                if (b.stepOf[j])
                    g[j] = b.quotients[(j - 1) * b.evaluated + e];
        ++e;
        lastEvaluated = r;
        lastValue = y0;
        const size_t at = b.firstIndex + r;
        if (kept && at < s->rowCacheRows) {
            double* slot = kept + at * s->fittedWidth;
            slot[0] = 1;
            slot[1] = y0;
        }
        if (live) {
            s->ssr = ssr;
            s->nPoints = points;
            sums = block;
            s->dep[d].fitted = y0;
            WriteLiveRow(s, f, row, true, !derivatives);
        }
        if (b.codes[r] == 1 || row < from || row >= to)
            continue;
        code = AddResidualTo(s, cache[at * cacheWidth + 1], y0, derivatives ? g : nullptr, 1.0, block,
                             &p.relativeLost, ssr, points);
        if (code)
            break;
    }
    s->ssr = ssr;
    s->nPoints = points;
    sums = block;
    const int at = std::min(r, b.count - 1);
    s->currentRow = b.firstRow + at * b.step;
    ReadRow(s, f, s->currentRow, b.firstIndex + at);
    if (lastEvaluated >= 0) {
        s->dep[d].fitted = s->savedY[d] = lastValue;
        if (derivatives)
            for (int j = 1; j <= b.nSteps; ++j)
                if (b.stepOf[j])
                    s->derivatives[d][s->varyMap[j]] = g[j];
    }
    if (code) {
        s->ssr = s->chiSqr = MISSING_VALUE;
        if (p.relativeLost)
            s->relativeSsr = MISSING_VALUE;
    }
    return code;
}

// Whether a pass evaluates an Expression's rows in blocks: its rows are cached (nothing but
// the engine reaches its data), one dependent variable, no analytic derivatives.
bool EvaluatesInBlocks(const FittingSession* s)
{
    const FunctionDef* def = s->current;
    if (!s->rowCache || s->rowsRefused || def->functionForm != KW_EXPRESSION || def->functionType == KW_BUILTIN ||
        def->functionType == KW_EXTERNAL_DLL || def->derivativeFlag)
        return false;
    for (int f = 1; f <= s->nFitSets; ++f)
        if (s->fitSets[f].firstDependent != s->fitSets[f].lastDependent)
            return false;
    return true;
}

// The rows of fit set f from `row` on, at most kBlockRows of them: read, evaluated together
// (the model and, with derivatives, once more for each varying parameter of the set at its
// forward step, all in one request: the stepped parameters' slots take their values row by
// row) and then finished one by one in order, with exactly the values row by row
// evaluation gives. Rows the host does not evaluate together are evaluated one by one.
int AccumulateBlock(FittingSession* s, PassState& p, int f, int& row, size_t& index, Sums& sums)
{
    const FitSetInfo& set = s->fitSets[f];
    const int step = set.step > 0 ? set.step : 1;
    const int d = set.firstDependent;
    const int first = FirstIndepOfSet(s, f), nIndep = IndepPerSet(s);
    // The block's rows and cache indices follow from its first; each row's code (0-2) in a
    // byte, so that the frame stays within one page (a larger one is probed on every call).
    const int firstRow = row;
    const size_t firstIndex = index;
    unsigned char codes[kBlockRows];
    int n = 0, m = 0;  // rows read; rows to evaluate
    // The request's rows: the block's rows at the current parameters, then the same rows
    // again for each stepped parameter. Its columns, each of `width` values: the
    // independent variables, then the slots of stepped parameters; then the results (the
    // fitted values first); after them the steps, each stepped parameter's evaluation, the
    // columns' addresses and the slots (kept off the frame for the reason above).
    // With many parameters a block has fewer rows, so that a request stays a few thousand.
    const int nSteps = p.withDerivatives ? s->nVary : 0;
    const int blockRows = std::max(16, std::min(kBlockRows, 4096 / (1 + nSteps)));
    const size_t width = static_cast<size_t>(blockRows) * (1 + nSteps);
    const int nSlots = std::min(ParamsPerSet(s), static_cast<int>(MAX_PARAMS));
    const size_t size = (nIndep + nSlots + 1) * width + 5 * (MAX_PARAMS + 1);
    if (s->blockWorkSize < size) {
        double* grown = static_cast<double*>(realloc(s->blockWork, size * sizeof(double)));
        if (!grown)
            return FIT_ERR_NO_MEMORY;
        s->blockWork = grown;
        s->blockWorkSize = size;
    }
    double* x = s->blockWork;
    double* f0 = x + (nIndep + nSlots) * width;
    bool needBase = !p.withDerivatives || !p.reuse;
    // A stop request is answered between blocks: a block is a few microseconds of work.
    if (CallHost(s, HOST_POLL_ABORT, 0, 0, s->hostWindow))
        return FIT_ERR_STOPPED;
    const double* const cache = s->rowCache;
    const size_t cacheWidth = s->rowCacheWidth;
    for (; row < set.endRow && n < blockRows; row += step) {
        s->currentRow = row;
        int code;
        const size_t at = index++;
        ++n;
        if (at < s->rowCacheFilled) {
            // A row read before: its code and independent values straight from the cache.
            const double* cached = cache + at * cacheWidth;
            code = static_cast<int>(cached[0]);
            codes[n - 1] = static_cast<unsigned char>(code);
            if (code >= 2)
                continue;
            for (int i = 0; i < nIndep; ++i)
                x[i * width + m] = cached[2 + i];
        } else {
            code = ReadRow(s, f, row, at);
            codes[n - 1] = static_cast<unsigned char>(code);
            if (code >= 2)
                continue;
            for (int i = 0; i < nIndep; ++i)
                x[i * width + m] = s->indep[first + i].value;
        }
        const double* slot = p.fitted && p.reuse && at < s->rowCacheRows ? p.fitted + at * s->fittedWidth : nullptr;
        if (slot && slot[0] != 0)
            f0[m] = slot[1];
        else
            needBase = true;
        ++m;
    }
    double* h = f0 + width;  // read only for the parameters stepped below
    int* stepOf = reinterpret_cast<int*>(h + MAX_PARAMS + 1);  // evaluation of each stepped parameter
    // Room for the addresses of as many independent as parameter columns.
    const double** columns = reinterpret_cast<const double**>(h + 2 * (MAX_PARAMS + 1));
    int* paramSlots = reinterpret_cast<int*>(h + 4 * (MAX_PARAMS + 1));
    static_assert(sizeof(const double*) <= sizeof(double) && sizeof(int) <= sizeof(double),
                  "an address or a slot fits a column entry");
    bool together = m > 0 && nIndep <= MAX_PARAMS;
    // The stepped parameters in order, each with its forward step.
    int evaluations = 1;
    for (int j = 1; together && j <= nSteps; ++j) {
        const int k = s->varyMap[j];
        stepOf[j] = 0;
        if (!ParamInFitSet(s, f, k))
            continue;
        h[j] = DerivativeStep(s, s->value[k]);
        stepOf[j] = evaluations++;
    }
    // The slots whose parameter is stepped, each a column: the parameter's value, and its
    // value plus the step in the rows of its own evaluation. A request of a few rows takes
    // every parameter of the set as a column, so that none is set by a request of its own.
    const bool everyParameter = evaluations * m <= kFewRows;
    int nParamColumns = 0;
    for (int slot = 1; together && (evaluations > 1 || everyParameter) && slot <= nSlots; ++slot) {
        const int k = ParamOfSlot(s, f, slot);
        int stepped = 0;
        for (int j = 1; j <= nSteps && !stepped; ++j)
            if (stepOf[j] && s->varyMap[j] == k)
                stepped = j;
        if (!stepped && !everyParameter)
            continue;
        double* column = x + (nIndep + nParamColumns) * width;
        const double value = s->value[k], moved = stepped ? value + h[stepped] : value;
        for (int e = 0; e < evaluations; ++e)
            std::fill(column + e * m, column + (e + 1) * m, stepped && e == stepOf[stepped] ? moved : value);
        paramSlots[nParamColumns++] = slot;
    }
    if (together) {
        for (int i = 0; i < nIndep; ++i)
            for (int e = 1; e < evaluations; ++e)
                CopyDoubles(x + i * width + e * m, x + i * width, m);
        // Without the fitted values (kept from the last pass) the request starts a block later.
        const int skip = needBase ? 0 : m;
        for (int c = 0; c < nIndep + nParamColumns; ++c)
            columns[c] = x + c * width + skip;
        if (evaluations > 1 || needBase)
            together = EvaluateExpressionRows(s, f, columns, evaluations * m - skip, f0 + skip, nParamColumns,
                                              paramSlots) == 0;
    }
    if (m > 0 && !together)
        s->rowsRefused = 1;
    if (together && FinishesRowsItself(s, f, firstIndex + n))
        // The block's columns are no longer needed: they hold the forward differences.
        return FinishBlockRows(s, p, f, BlockRows{firstRow, step, firstIndex, n, m, codes, f0, h, stepOf, nSteps, x},
                               sums);
    for (int r = 0, e = 0; r < n; ++r) {
        const int thisRow = firstRow + r * step;
        const size_t at = firstIndex + r;
        s->currentRow = thisRow;
        ReadRow(s, f, thisRow, at);
        if (codes[r] >= 2) {
            if (p.live)
                WriteLiveRow(s, f, thisRow, false);
            continue;
        }
        int failed = 0;
        if (!together) {
            failed = EvaluateRow(s, p, f, at, false);
        } else {
            const double y0 = f0[e];
            s->dep[d].fitted = s->savedY[d] = y0;
            for (int j = 1; j <= nSteps; ++j)
                if (stepOf[j])
                    s->derivatives[d][s->varyMap[j]] = (f0[stepOf[j] * m + e] - y0) / h[j];
        }
        ++e;
        const int code = FinishRow(s, p, f, thisRow, at, codes[r], failed, false, sums);
        if (code)
            return code;
    }
    return 0;
}

// What the rows of a pass of the library's Gauss share: its parameters as the call slots
// take them and the parameter each slot's derivative goes to.
struct GaussPass {
    int slots, peaks;
    bool direct;  // call slot j is parameter j, and there are no other parameters
    double p1;
    curvelib::GaussTerms peak[MAX_PARAMS / 3 + 1];  // 1-based; A = 0 for a peak left out
    int param[MAX_PARAMS + 1];
};

// Whether the rows of fit set f are computed here in this pass: the library's Gauss with
// whole peaks, one variable of each kind, nothing written during the pass (the peak
// datasets would need each peak's value) and no peak whose width makes every row fail.
bool StartGaussPass(FittingSession* s, const PassState& pass, int f, GaussPass* g)
{
    const FitSetInfo& set = s->fitSets[f];
    g->slots = s->callSlots;
    if (!s->libraryGauss || (pass.live && pass.writes) || IndepPerSet(s) != 1 || set.firstDependent != set.lastDependent ||
        g->slots < 4 || g->slots > MAX_PARAMS || (g->slots - 1) % 3 != 0 ||
        (pass.withDerivatives && !s->current->derivativeFlag))
        return false;
    g->peaks = (g->slots - 1) / 3;
    double p[MAX_PARAMS + 1];
    for (int j = 1; j <= g->slots; ++j) {
        g->param[j] = ParamOfCallSlot(s, f, j);
        p[j] = s->value[g->param[j]];
    }
    g->p1 = p[1];
    g->direct = s->nParams == g->slots;
    for (int j = 1; j <= g->slots; ++j)
        g->direct = g->direct && g->param[j] == j;
    for (int k = 1; k <= g->peaks; ++k) {
        const double xc = p[3 * k - 1], w = p[3 * k], A = p[3 * k + 1];
        if (A == 0.0)
            g->peak[k] = {xc, 0.0, 0.0, 0.0};
        else if (w > 0.0)
            g->peak[k] = curvelib::GaussPeakTerms(xc, w, A);
        else
            return false;
    }
    return true;
}

// Whether the library would take a row's value y and derivatives d[1..slots] (every
// stride-th value): finite, and y not the missing-value mark.
ROW_STEP bool FiniteGaussRow(const GaussPass& g, bool derivatives, double y, const double* d, size_t stride)
{
    if (!isfinite(y) || IsMissingValue(y))
        return false;
    if (derivatives)
        for (int j = 1; j <= g.slots; ++j)
            if (!isfinite(d[j * stride]))
                return false;
    return true;
}

// A row's value y and derivatives d[1..slots] into the fitted value and the derivatives,
// as EvaluateLibrary leaves them. False when the library would fail the row: it is then
// called for the row, and fails it its own way.
ROW_STEP bool StoreGaussRow(FittingSession* s, const GaussPass& g, int f, bool derivatives, double y,
                            const double* d, size_t stride)
{
    if (!FiniteGaussRow(g, derivatives, y, d, stride))
        return false;
    const int dep = s->fitSets[f].firstDependent;
    if (derivatives) {
        double* row = s->derivatives[dep];
        for (int j = 1; j <= g.slots; ++j)
            row[g.param[j]] = 0;
        for (int j = 1; j <= g.slots; ++j)
            row[g.param[j]] += d[j * stride];
    }
    s->dep[dep].fitted = y;
    return true;
}

// The current row of the pass's fit set as the library's Gauss computes it (see
// StoreGaussRow).
ROW_STEP bool GaussRow(FittingSession* s, const GaussPass& g, int f, bool derivatives)
{
    const double x = s->indep[FirstIndepOfSet(s, f)].value;
    double y = g.p1;
    double d[MAX_PARAMS + 1];
    if (!derivatives) {
        for (int k = 1; k <= g.peaks; ++k) {
            double c;
            if (g.peak[k].A == 0.0)
                continue;
            if (!curvelib::GaussPeak(g.peak[k], x, &c))
                return false;
            y += c;
        }
    } else {
        d[1] = 1.0;
        for (int k = 1; k <= g.peaks; ++k) {
            double c;
            if (g.peak[k].A == 0.0) {
                d[3 * k - 1] = d[3 * k] = d[3 * k + 1] = 0.0;
                continue;
            }
            if (!curvelib::GaussPeakDerivatives(g.peak[k], x, &c, &d[3 * k - 1]))
                return false;
            y += c;
        }
    }
    return StoreGaussRow(s, g, f, derivatives, y, d, 1);
}

// The Gauss rows of fit set f from `row` on, at most kBlockRows of them: read, computed two
// at a time (GaussPeakPair) and then finished one by one in order, with the values row by
// row computation gives.
// Not inlined: its row arrays would put every pass of another model on a frame that is
// probed page by page.
__attribute__((noinline)) int AccumulateGaussBlock(FittingSession* s, PassState& p, const GaussPass& g, int f,
                                                   int& row, size_t& index, bool derivatives, Sums& sums)
{
    const FitSetInfo& set = s->fitSets[f];
    const int step = set.step > 0 ? set.step : 1;
    const int first = FirstIndepOfSet(s, f);
    int rows[kBlockRows], codes[kBlockRows];
    size_t indices[kBlockRows];
    double x[kBlockRows], y[kBlockRows], observed[kBlockRows];
    int nan[kBlockRows];
    int n = 0, m = 0;  // rows read; rows to compute
    // The derivatives, one column of kBlockRows for each call slot.
    const size_t size = static_cast<size_t>(g.slots + 1) * kBlockRows;
    if (derivatives && s->blockWorkSize < size) {
        double* grown = static_cast<double*>(realloc(s->blockWork, size * sizeof(double)));
        if (!grown)
            return FIT_ERR_NO_MEMORY;
        s->blockWork = grown;
        s->blockWorkSize = size;
    }
    double* d = s->blockWork;
    // A stop is asked for once a block: its rows take less time than the host's answer.
    if (CallHost(s, HOST_POLL_ABORT, 0, 0, s->hostWindow))
        return FIT_ERR_STOPPED;
    for (; row < set.endRow && n < kBlockRows; row += step) {
        rows[n] = row;
        indices[n] = index;
        if (index < s->rowCacheFilled) {
            // A row read before: code, observed and independent value (see ReadRow).
            const double* cached = s->rowCache + index * s->rowCacheWidth;
            codes[n] = static_cast<int>(cached[0]);
            observed[m] = cached[1];
            x[m] = cached[2];
        } else {
            s->currentRow = row;
            codes[n] = ReadRow(s, f, row, index);
            observed[m] = s->dep[set.firstDependent].y;
            x[m] = s->indep[first].value;
        }
        ++index;
        if (codes[n++] < 2)
            ++m;
    }
    for (int e = 0; e < m; e += 2) {
        // An odd last row is computed as a pair with itself.
        const __m128d xs = e + 1 < m ? _mm_loadu_pd(x + e) : _mm_set1_pd(x[e]);
        __m128d ys = _mm_set1_pd(g.p1);
        int bad = 0;
        if (derivatives) {
            _mm_storeu_pd(d + kBlockRows + e, _mm_set1_pd(1.0));
            for (int k = 1; k <= g.peaks; ++k) {
                __m128d dk[3];
                if (g.peak[k].A == 0.0)
                    dk[0] = dk[1] = dk[2] = _mm_setzero_pd();
                else
                    bad |= curvelib::GaussPeakPair(g.peak[k], xs, &ys, dk);
                for (int i = 0; i < 3; ++i)
                    _mm_storeu_pd(d + (3 * k - 1 + i) * kBlockRows + e, dk[i]);
            }
        } else {
            for (int k = 1; k <= g.peaks; ++k)
                if (g.peak[k].A != 0.0)
                    bad |= curvelib::GaussPeakPair(g.peak[k], xs, &ys, nullptr);
        }
        _mm_storeu_pd(y + e, ys);
        nan[e] = bad & 1;
        nan[e + 1] = bad & 2;
    }
    const int dep = set.firstDependent;
    DepVarInfo& v = s->dep[dep];
    if (p.keep || v.weightType != 0) {
        for (int r = 0, e = 0; r < n; ++r) {
            s->currentRow = rows[r];
            ReadRow(s, f, rows[r], indices[r]);
            if (codes[r] >= 2) {
                if (p.live)
                    WriteLiveRow(s, f, rows[r], false);
                continue;
            }
            const int failed = !nan[e] && StoreGaussRow(s, g, f, derivatives, y[e], d + e, kBlockRows)
                                   ? 0
                                   : EvaluateRow(s, p, f, indices[r], derivatives);
            ++e;
            const int code = FinishRow(s, p, f, rows[r], indices[r], codes[r], failed, derivatives, sums);
            if (code)
                return code;
        }
        return 0;
    }
    // Unweighted rows that keep nothing: what FinishRow does for each, with the derivatives
    // gathered from the block's columns instead of through the session.
    const IndepVarInfo& xv = s->indep[first];
    double* derivativeRow = s->derivatives[dep];
    const int* map = s->varyMap;
    double gathered[MAX_PARAMS + 1];
    int last = -1;  // the last row computed here
    for (int r = 0, e = 0; r < n; ++r) {
        if (codes[r] >= 2)
            continue;
        const int at = e++;
        // With each parameter in its own slot the derivatives go from the block's columns
        // to the sums; the session gets the last row's (below).
        const bool computed = !nan[at] && (g.direct ? FiniteGaussRow(g, derivatives, y[at], d + at, kBlockRows)
                                                    : StoreGaussRow(s, g, f, derivatives, y[at], d + at, kBlockRows));
        if (computed)
            last = at;
        if (!computed) {
            s->currentRow = rows[r];
            ReadRow(s, f, rows[r], indices[r]);
            const int code = FinishRow(s, p, f, rows[r], indices[r], codes[r], EvaluateRow(s, p, f, indices[r], derivatives),
                                       derivatives, sums);
            if (code)
                return code;
            continue;
        }
        const int row = rows[r];
        const double xr = x[at];
        const bool inRange = codes[r] == 0 && row >= v.first && row < v.end &&
                             (xv.useXRange ? !(xr < xv.xFrom || xr > xv.xTo)
                                           : !(xv.dataset && (row < xv.first || row >= xv.end)));
        if (!inRange)
            continue;
        if (derivatives && g.direct)
            for (int j = 1; j <= s->nVary; ++j)
                gathered[j] = 0.0 + d[map[j] * kBlockRows + at];
        else if (derivatives)
            for (int j = 1; j <= s->nVary; ++j)
                gathered[j] = derivativeRow[map[j]];
        const int code = AddResidualValues(s, observed[at], y[at], derivatives ? gathered : nullptr, 1.0, sums, &p.relativeLost);
        if (code) {
            s->ssr = s->chiSqr = MISSING_VALUE;
            if (p.relativeLost)
                s->relativeSsr = MISSING_VALUE;
            return code;
        }
    }
    // The session's row as the last row of the block leaves it.
    if (g.direct && last >= 0)
        StoreGaussRow(s, g, f, derivatives, y[last], d + last, kBlockRows);
    if (n > 0) {
        s->currentRow = rows[n - 1];
        ReadRow(s, f, rows[n - 1], indices[n - 1]);
    }
    return 0;
}

// The passes of AccumulateRows; `gauss` is room for the library Gauss's pass, null when the
// model is not the library's Gauss.
int AccumulateRowsWith(FittingSession* s, bool withDerivatives, Sums& sums, GaussPass* gauss)
{
    PassState p = {withDerivatives, withDerivatives || s->chiSquareOnly, false, false, false, s->fittedCache, false};
    p.writes = s->peakDatasets[1] != 0;
    for (int d = 1; d <= s->nDep; ++d)
        p.writes = p.writes || s->dep[d].liveDataset;
    size_t index = 0;
    ResetDenominators(s);
    // A pass of values keeps them for the derivatives at the same parameters (the next
    // round's after an accepted step): each row's success and fitted values.
    p.keep = p.fitted && !withDerivatives;
    p.reuse = p.fitted && withDerivatives && s->fittedValid && SameDoubles(s->fittedParams, s->value, s->nParams + 1);
    if (p.keep) {
        CopyDoubles(s->fittedParams, s->value, s->nParams + 1);
        s->fittedValid = 0;
    }
    for (int f = 1; f <= s->nFitSets; ++f) {
        const FitSetInfo& set = s->fitSets[f];
        const int step = set.step > 0 ? set.step : 1;
        // A block the host does not evaluate together ends blocks for the run.
        bool blocks = EvaluatesInBlocks(s);
        const bool gaussRows = gauss && StartGaussPass(s, p, f, gauss);
        const bool analytic = withDerivatives && s->current->derivativeFlag;
        for (int row = set.firstRow; row < set.endRow;) {
            if (gaussRows && s->rowCache) {
                const int code = AccumulateGaussBlock(s, p, *gauss, f, row, index, analytic, sums);
                if (code)
                    return code;
                continue;
            }
            if (blocks) {
                const int code = AccumulateBlock(s, p, f, row, index, sums);
                if (code)
                    return code;
                blocks = !s->rowsRefused;
                continue;
            }
            if (CallHost(s, HOST_POLL_ABORT, 0, 0, s->hostWindow))
                return FIT_ERR_STOPPED;
            s->currentRow = row;
            const int rowCode = ReadRow(s, f, row, index);
            const size_t at = index++;
            const int thisRow = row;
            row += step;
            if (rowCode >= 2) {
                if (p.live)
                    WriteLiveRow(s, f, thisRow, false);
                continue;
            }
            const int failed = gaussRows && GaussRow(s, *gauss, f, analytic) ? 0 : EvaluateRow(s, p, f, at, analytic);
            const int code = FinishRow(s, p, f, thisRow, at, rowCode, failed, analytic, sums);
            if (code)
                return code;
        }
    }
    if (p.keep)
        s->fittedValid = 1;
    return 0;
}

// The library Gauss's pass state is a few kilobytes: on the frame of every pass it would
// make each one probe its stack page by page.
__attribute__((noinline)) int AccumulateGaussRows(FittingSession* s, bool withDerivatives, Sums& sums)
{
    GaussPass gauss;
    return AccumulateRowsWith(s, withDerivatives, sums, &gauss);
}

int AccumulateRows(FittingSession* s, bool withDerivatives, Sums& sums)
{
    return s->libraryGauss ? AccumulateGaussRows(s, withDerivatives, sums)
                           : AccumulateRowsWith(s, withDerivatives, sums, nullptr);
}

void ReducedChiSquare(FittingSession* s)
{
    s->chiSqr = s->nPoints > static_cast<unsigned>(s->nVary) ? s->ssr / (s->nPoints - s->nVary) : MISSING_VALUE;
}

}  // namespace

int ModelDerivatives(FittingSession* s, int fitSet)
{
    if (s->current->derivativeFlag)
        return EvaluateModel(s, FITMODE_DERIVATIVES, fitSet);
    return NumericDerivatives(s, fitSet);
}

int ChiSquareWithDerivatives(FittingSession* s)
{
    s->paramsChanged = 0;
    ReportProgressCount(s, QFIT_PROGRESS_CHISQR, s->lmRounds);
    for (int j = 0; j <= s->nVary; ++j) {
        s->beta[j] = 0;
        for (int k = 0; k <= s->nVary; ++k)
            s->alpha[j][k] = 0;
    }
    s->ssr = 0;
    s->nPoints = 0;
    Sums sums = {0, 0, 0, 0};
    const int code = AccumulateChiSquare(s, true, sums);
    if (code) {
        EndProgress(s);
        return code;
    }
    for (int j = 1; j <= s->nVary; ++j)
        for (int k = 1; k < j; ++k)
            s->alpha[k][j] = s->alpha[j][k];
    ReducedChiSquare(s);
    if (s->nPoints == 0) {
        s->cod = s->correlation = 0;
        EndProgress(s);
        return FIT_ERR_NO_POINTS;
    }
    s->relativeSet = sums.T != 0;
    if (sums.T != 0)
        s->relativeSsr = s->ssr / sums.T;
    const double e = sums.Syy - sums.Sy * sums.Sy / sums.S;
    if (e != 0) {
        s->cod = 1 - s->ssr / e;
        s->correlation = s->cod > 0 ? sqrt(s->cod) : 0;
    } else {
        s->cod = s->correlation = 0;
    }
    EndProgress(s);
    return 0;
}

int ChiSquare(FittingSession* s)
{
    s->ssr = 0;
    s->nPoints = 0;
    Sums sums = {0, 0, 0, 0};
    const int code = AccumulateChiSquare(s, false, sums);
    if (code)
        return code;
    ReducedChiSquare(s);
    if (s->nPoints == 0)
        return FIT_ERR_TOO_FEW_POINTS;
    s->relativeSet = sums.T != 0;
    if (sums.T != 0)
        s->relativeSsr = s->ssr / sums.T;
    return 0;
}

// Full-pivoting Gauss-Jordan elimination on the n x n matrix a (1-based). a is replaced by
// its inverse; b, when given, by the solution of a x = b. 28024 when a is singular.
int GaussJordan(double** a, int n, double* b, int* rowIndex, int* columnIndex, int* used)
{
    for (int j = 1; j <= n; ++j)
        used[j] = 0;
    for (int i = 1; i <= n; ++i) {
        double big = 0;
        int row = 0, column = 0;
        for (int j = 1; j <= n; ++j) {
            if (used[j] == 1)
                continue;
            for (int k = 1; k <= n; ++k) {
                if (used[k] == 0 && fabs(a[j][k]) >= big) {
                    big = fabs(a[j][k]);
                    row = j;
                    column = k;
                } else if (used[k] > 1) {
                    return FIT_ERR_MATRIX_INVERSION;
                }
            }
        }
        if (column == 0)
            return FIT_ERR_MATRIX_INVERSION;
        if (++used[column] > 1)
            return FIT_ERR_MATRIX_INVERSION;
        if (row != column) {
            for (int l = 1; l <= n; ++l) {
                const double t = a[row][l];
                a[row][l] = a[column][l];
                a[column][l] = t;
            }
            if (b) {
                const double t = b[row];
                b[row] = b[column];
                b[column] = t;
            }
        }
        rowIndex[i] = row;
        columnIndex[i] = column;
        if (a[column][column] == 0)
            return FIT_ERR_MATRIX_INVERSION;
        const double inverse = 1.0 / a[column][column];
        a[column][column] = 1.0;
        for (int l = 1; l <= n; ++l)
            a[column][l] *= inverse;
        if (b)
            b[column] *= inverse;
        for (int ll = 1; ll <= n; ++ll) {
            if (ll == column)
                continue;
            const double factor = a[ll][column];
            a[ll][column] = 0;
            for (int l = 1; l <= n; ++l)
                a[ll][l] -= a[column][l] * factor;
            if (b)
                b[ll] -= b[column] * factor;
        }
    }
    for (int l = n; l >= 1; --l) {
        if (rowIndex[l] == columnIndex[l])
            continue;
        for (int k = 1; k <= n; ++k) {
            const double t = a[k][rowIndex[l]];
            a[k][rowIndex[l]] = a[k][columnIndex[l]];
            a[k][columnIndex[l]] = t;
        }
    }
    return 0;
}

namespace {

double Pythag(double a, double b)
{
    return hypot(a, b);
}

// Golub-Reinsch singular value decomposition of the m x n matrix a (1-based): a is
// replaced by U, w receives the singular values and v the matrix V, so that the input
// equals U diag(w) V^T. 1 when a singular value needs more than 30 iterations, 28023
// without memory.
int SingularValueDecomposition(double** a, int m, int n, double* w, double** v)
{
    double* rv1 = AllocIndexed<double>(n);
    if (!rv1)
        return FIT_ERR_NO_MEMORY;
    double g = 0, scale = 0, anorm = 0;
    int l = 1;
    for (int i = 1; i <= n; ++i) {
        l = i + 1;
        rv1[i] = scale * g;
        g = scale = 0;
        double s = 0;
        if (i <= m) {
            for (int k = i; k <= m; ++k)
                scale += fabs(a[k][i]);
            if (scale != 0) {
                for (int k = i; k <= m; ++k) {
                    a[k][i] /= scale;
                    s += a[k][i] * a[k][i];
                }
                double f = a[i][i];
                g = -copysign(sqrt(s), f);
                const double h = f * g - s;
                a[i][i] = f - g;
                for (int j = l; j <= n; ++j) {
                    s = 0;
                    for (int k = i; k <= m; ++k)
                        s += a[k][i] * a[k][j];
                    f = s / h;
                    for (int k = i; k <= m; ++k)
                        a[k][j] += f * a[k][i];
                }
                for (int k = i; k <= m; ++k)
                    a[k][i] *= scale;
            }
        }
        w[i] = scale * g;
        g = s = scale = 0;
        if (i <= m && i != n) {
            for (int k = l; k <= n; ++k)
                scale += fabs(a[i][k]);
            if (scale != 0) {
                for (int k = l; k <= n; ++k) {
                    a[i][k] /= scale;
                    s += a[i][k] * a[i][k];
                }
                const double f = a[i][l];
                g = -copysign(sqrt(s), f);
                const double h = f * g - s;
                a[i][l] = f - g;
                for (int k = l; k <= n; ++k)
                    rv1[k] = a[i][k] / h;
                for (int j = l; j <= m; ++j) {
                    s = 0;
                    for (int k = l; k <= n; ++k)
                        s += a[j][k] * a[i][k];
                    for (int k = l; k <= n; ++k)
                        a[j][k] += s * rv1[k];
                }
                for (int k = l; k <= n; ++k)
                    a[i][k] *= scale;
            }
        }
        anorm = fmax(anorm, fabs(w[i]) + fabs(rv1[i]));
    }
    for (int i = n; i >= 1; --i) {
        if (i < n) {
            if (g != 0) {
                for (int j = l; j <= n; ++j)
                    v[j][i] = (a[i][j] / a[i][l]) / g;
                for (int j = l; j <= n; ++j) {
                    double s = 0;
                    for (int k = l; k <= n; ++k)
                        s += a[i][k] * v[k][j];
                    for (int k = l; k <= n; ++k)
                        v[k][j] += s * v[k][i];
                }
            }
            for (int j = l; j <= n; ++j)
                v[i][j] = v[j][i] = 0;
        }
        v[i][i] = 1;
        g = rv1[i];
        l = i;
    }
    for (int i = (m < n ? m : n); i >= 1; --i) {
        l = i + 1;
        g = w[i];
        for (int j = l; j <= n; ++j)
            a[i][j] = 0;
        if (g != 0) {
            g = 1.0 / g;
            for (int j = l; j <= n; ++j) {
                double s = 0;
                for (int k = l; k <= m; ++k)
                    s += a[k][i] * a[k][j];
                const double f = (s / a[i][i]) * g;
                for (int k = i; k <= m; ++k)
                    a[k][j] += f * a[k][i];
            }
            for (int j = i; j <= m; ++j)
                a[j][i] *= g;
        } else {
            for (int j = i; j <= m; ++j)
                a[j][i] = 0;
        }
        ++a[i][i];
    }
    for (int k = n; k >= 1; --k) {
        for (int its = 1; its <= 30; ++its) {
            bool flag = true;
            int nm = 0;
            for (l = k; l >= 1; --l) {
                nm = l - 1;
                if (fabs(rv1[l]) + anorm == anorm) {
                    flag = false;
                    break;
                }
                if (fabs(w[nm]) + anorm == anorm)
                    break;
            }
            if (flag) {
                double c = 0, s = 1;
                for (int i = l; i <= k; ++i) {
                    const double f = s * rv1[i];
                    rv1[i] = c * rv1[i];
                    if (fabs(f) + anorm == anorm)
                        break;
                    g = w[i];
                    double h = Pythag(f, g);
                    w[i] = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    for (int j = 1; j <= m; ++j) {
                        const double y = a[j][nm], z = a[j][i];
                        a[j][nm] = y * c + z * s;
                        a[j][i] = z * c - y * s;
                    }
                }
            }
            const double z0 = w[k];
            if (l == k) {
                if (z0 < 0) {
                    w[k] = -z0;
                    for (int j = 1; j <= n; ++j)
                        v[j][k] = -v[j][k];
                }
                break;
            }
            if (its == 30) {
                FreeLockedBlock(rv1);
                return 1;
            }
            double x = w[l];
            nm = k - 1;
            double y = w[nm];
            g = rv1[nm];
            double h = rv1[k];
            double f = ((y - z0) * (y + z0) + (g - h) * (g + h)) / (2.0 * h * y);
            g = Pythag(f, 1.0);
            f = ((x - z0) * (x + z0) + h * ((y / (f + copysign(g, f))) - h)) / x;
            double c = 1, s = 1;
            for (int j = l; j <= nm; ++j) {
                const int i = j + 1;
                g = rv1[i];
                y = w[i];
                h = s * g;
                g = c * g;
                double z = Pythag(f, h);
                rv1[j] = z;
                c = f / z;
                s = h / z;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                for (int jj = 1; jj <= n; ++jj) {
                    x = v[jj][j];
                    z = v[jj][i];
                    v[jj][j] = x * c + z * s;
                    v[jj][i] = z * c - x * s;
                }
                z = Pythag(f, h);
                w[j] = z;
                if (z != 0) {
                    z = 1.0 / z;
                    c = f * z;
                    s = h * z;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                for (int jj = 1; jj <= m; ++jj) {
                    y = a[jj][j];
                    z = a[jj][i];
                    a[jj][j] = y * c + z * s;
                    a[jj][i] = z * c - y * s;
                }
            }
            rv1[l] = 0;
            rv1[k] = f;
            w[k] = x;
        }
    }
    FreeLockedBlock(rv1);
    return 0;
}

void LoadWorkingMatrix(FittingSession* s, int flagStep)
{
    const int m = s->nVary;
    for (int j = 1; j <= m; ++j) {
        for (int k = 1; k <= m; ++k)
            s->work[j][k] = s->alpha[j][k];
        if (flagStep) {
            s->work[j][j] = s->alpha[j][j] * (1 + s->mu);
            s->rhs[j] = s->beta[j];
        }
    }
    if (!flagStep || !s->pinned)
        return;
    // A parameter held at its bound takes no step; the others solve the system without it.
    for (int j = 1; j <= m; ++j) {
        if (!s->pinned[j])
            continue;
        for (int k = 1; k <= m; ++k)
            s->work[j][k] = s->work[k][j] = 0;
        s->work[j][j] = 1;
        s->rhs[j] = 0;
    }
}

}  // namespace

int SolveLMStep(FittingSession* s, int flagStep)
{
    const int m = s->nVary;
    double trace = 0;
    bool zeroDiagonal = false;
    for (int j = 1; j <= m; ++j) {
        trace += s->alpha[j][j];
        if (s->alpha[j][j] == 0)
            zeroDiagonal = true;
    }
    if (trace == 0 && s->msgPrompt) {
        ReportFitError(s, s->callback, s->hostWindow, FIT_ERR_FORMULA);
        return 1;
    }
    LoadWorkingMatrix(s, flagStep);
    if (!zeroDiagonal) {
        const int code = GaussJordan(s->work, m, flagStep ? s->rhs : nullptr, s->pivotRow, s->pivotColumn,
                                     s->pivotUsed);
        if (code == 0) {
            if (flagStep)
                for (int j = 1; j <= m; ++j)
                    s->step[j] = s->rhs[j];
            return 0;
        }
        LoadWorkingMatrix(s, flagStep);
    }
    const int svd = SingularValueDecomposition(s->work, m, m, s->singular, s->svdV);
    if (svd)
        return svd;
    double largest = 0;
    for (int j = 1; j <= m; ++j)
        largest = fmax(largest, s->singular[j]);
    bool zeroed = false;
    for (int j = 1; j <= m; ++j)
        if (s->singular[j] < s->singularCriterion * largest) {
            s->singular[j] = 0;
            zeroed = true;
        }
    if (flagStep) {
        // step = V diag(1/w) U^T rhs
        double* tmp = AllocIndexed<double>(m);
        if (!tmp)
            return FIT_ERR_NO_MEMORY;
        for (int j = 1; j <= m; ++j) {
            double sum = 0;
            if (s->singular[j] != 0) {
                for (int i = 1; i <= m; ++i)
                    sum += s->work[i][j] * s->rhs[i];
                sum /= s->singular[j];
            }
            tmp[j] = sum;
        }
        for (int j = 1; j <= m; ++j) {
            double sum = 0;
            for (int k = 1; k <= m; ++k)
                sum += s->svdV[j][k] * tmp[k];
            s->step[j] = sum;
        }
        FreeLockedBlock(tmp);
    } else if (zeroDiagonal && s->msgPrompt) {
        int named = 1;
        if (zeroed) {
            double smallest = 1 + s->mu;
            bool found = false;
            for (int j = 1; j <= m; ++j)
                if (s->alpha[j][j] < smallest) {
                    smallest = s->alpha[j][j];
                    named = j;
                    found = true;
                }
            if (!found)
                named = 1;
        }
        SetPendingText(s, s->names[s->varyMap[named]]);
        ReportFitError(s, s->callback, s->hostWindow, FIT_ERR_FIX_PARAM);
    }
    // The working matrix becomes the pseudo-inverse V diag(1/w) U^T.
    double** u = AllocMatrix(0, m, 0, m);
    if (!u)
        return FIT_ERR_NO_MEMORY;
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j)
            u[i][j] = s->work[i][j];
    for (int i = 1; i <= m; ++i)
        for (int j = 1; j <= m; ++j) {
            double sum = 0;
            for (int k = 1; k <= m; ++k)
                if (s->singular[k] != 0)
                    sum += s->svdV[i][k] * u[j][k] / s->singular[k];
            s->work[i][j] = sum;
        }
    FreeMatrix(u, 0);
    return zeroDiagonal ? FIT_ERR_FIX_PARAM : 0;
}

int SingularDiagnosis(FittingSession* s, double** matrix, int n, int code)
{
    s->dataChanged = 1;
    double trace = 0;
    int smallest = 1;
    for (int j = 1; j <= n; ++j) {
        trace += matrix[j][j];
        if (matrix[j][j] < matrix[smallest][smallest])
            smallest = j;
    }
    if (trace == 0) {
        if (s->msgPrompt)
            ReportFitError(s, s->callback, s->hostWindow, FIT_ERR_FORMULA);
        s->status = code;
    } else if (s->msgPrompt && n >= 1) {
        SetPendingText(s, s->names[s->varyMap[smallest]]);
        ReportFitError(s, s->callback, s->hostWindow, FIT_ERR_FIX_PARAM);
    }
    return code;
}

static int DependencyCheck(FittingSession* s)
{
    double best = 1.0;
    int bj = 0, bk = 0;
    for (int j = 1; j <= s->nVary; ++j)
        for (int k = j + 1; k <= s->nVary; ++k) {
            const double a = s->alpha[j][j] * s->alpha[k][k];
            const double b = s->alpha[j][k] * s->alpha[k][j];
            if (a + b == 0)
                continue;
            const double r = fabs(a - b) / fabs(a + b);
            if (r < best) {
                best = r;
                bj = j;
                bk = k;
            }
        }
    if (bj && best < 1e-10) {
        char text[PENDING_TEXT_CHARS];
        snprintf(text, sizeof text, "%s and %s", s->names[s->varyMap[bj]], s->names[s->varyMap[bk]]);
        SetPendingText(s, text);
        s->status = FIT_WARN_DEPENDENCY;
        return FIT_WARN_DEPENDENCY;
    }
    return 0;
}

// Errors are weighted when the weights, not the scatter, carry the data's uncertainty.
static bool IsWeighted(FittingSession* s, int)
{
    return s->nDep >= 1 && s->dep[1].weightType != 0;
}

int ComputeErrors(FittingSession* s)
{
    for (int k = 1; k <= s->nParams; ++k)
        s->error[k] = s->dependency[k] = 0;
    double factor = MISSING_VALUE;
    if (s->nPoints > static_cast<unsigned>(s->nVary)) {
        const double gate = FitGateValue(s->confidence);
        if (gate != -1 && gate >= 0)
            factor = sqrt(gate);
    }
    s->gateFactor = factor;
    // Without a reduced chi-square (no more points than varying parameters) the errors
    // stay 0: the missing-value marker must not enter the arithmetic.
    if (IsMissingValue(s->chiSqr)) {
        for (int j = 1; j <= s->nVary; ++j)
            s->halfWidth[s->varyMap[j]] = MISSING_VALUE;
        return 0;
    }
    // One quantile serves every parameter; it is worked out only when one needs it.
    bool quantileKnown = false;
    for (int j = 1; j <= s->nVary; ++j) {
        const int k = s->varyMap[j];
        const double cov = s->work[j][j];
        const double c = s->chiSqr * cov;
        if (c > 0) {
            const double variance = (!ErrorsWithChiSq && IsWeighted(s, k)) ? cov : c;
            s->error[k] = sqrt(variance);
            if (!IsMissingValue(factor)) {
                if (!quantileKnown)
                    s->lastQuantile = FitStudentQuantile((1 + s->confidence) / 2, s->nPoints - s->nVary);
                quantileKnown = true;
                s->halfWidth[k] = s->lastQuantile * s->error[k];
            } else {
                s->halfWidth[k] = MISSING_VALUE;
            }
        } else {
            s->error[k] = s->halfWidth[k] = MISSING_VALUE;
        }
        const double product = fabs(cov * s->alpha[j][j]);
        s->dependency[k] = product > 1.7e-307 && product < 1.7e307 ? 1 - 1 / (cov * s->alpha[j][j]) : MISSING_VALUE;
    }
    return 0;
}

namespace {

// A varying parameter that sits on an active bound while the descent direction (beta)
// points out of the feasible side is held for the round. Clipping its step after the
// solve instead would leave the other parameters with steps computed for a move that
// never happens, and the run would stall short of the bounded minimum.
void PinParametersAtBounds(FittingSession* s)
{
    for (int j = 1; j <= s->nVary; ++j) {
        const int k = s->varyMap[j];
        const BYTE f = s->flags[k];
        const bool atLower = (f & PARAM_LB_ON) && !IsMissingValue(s->lowerBound[k]) && s->value[k] <= s->lowerBound[k];
        const bool atUpper = (f & PARAM_UB_ON) && !IsMissingValue(s->upperBound[k]) && s->value[k] >= s->upperBound[k];
        s->pinned[j] = (atLower && s->beta[j] < 0) || (atUpper && s->beta[j] > 0);
    }
}

int LMRound(FittingSession* s, int iteration)
{
    ++s->lmRounds;
    int code = ChiSquareWithDerivatives(s);
    if (code)
        return code;
    s->previousSsr = s->ssr;
    PinParametersAtBounds(s);
    const double roundChiSqr = s->chiSqr;
    const unsigned roundPoints = s->nPoints;
    const bool roundSetsRelative = s->relativeSet != 0;
    const double roundRelative = s->relativeSsr;
    int evaluationFailures = 0;
    bool lastRejected = false;  // s->lastTrial holds this round's last trial, which found no reduction
    for (;;) {
        ++s->trials;
        code = SolveLMStep(s, 1);
        if (code != 0 && code != FIT_ERR_FIX_PARAM)
            break;
        if (s->paraChange != 1)
            for (int j = 1; j <= s->nVary; ++j)
                s->step[j] *= s->paraChange;
        for (int k = 1; k <= s->nParams; ++k)
            s->backup[k] = s->value[k];
        for (int j = 1; j <= s->nVary; ++j)
            s->value[s->varyMap[j]] += s->step[j];
        if (s->nEffective) {
            // The step is corrected in the metric of the (pseudo-)inverse damped curvature
            // that the solver leaves in the working matrix, which makes it the constrained
            // step; a plain Euclidean projection of the free step would stall at a
            // feasible point that is not the constrained minimum.
            code = ConstraintCorrection(s, s->value, s->work);
            if (code == 0)
                code = ProjectOnConstraints(s, s->value);
            if (code) {
                for (int k = 1; k <= s->nParams; ++k)
                    s->value[k] = s->backup[k];
                break;
            }
        }
        ApplyBounds(s, s->value, s->backup);
        ReportProgressPair(s, QFIT_PROGRESS_TRIAL, iteration, s->trials);
        // A step too small to move any parameter (as mu grows after the last improvement)
        // finds the round's own chi-square: it is taken without evaluating the model again.
        int evaluation = 0;
        bool again = false;
        if (SameDoubles(s->value + 1, s->backup + 1, s->nParams)) {
            s->ssr = s->previousSsr;
            s->chiSqr = roundChiSqr;
            s->nPoints = roundPoints;
            s->relativeSet = roundSetsRelative;
            if (roundSetsRelative)
                s->relativeSsr = roundRelative;
        } else if (lastRejected && SameDoubles(s->value + 1, s->lastTrial + 1, s->nParams)) {
            // A step that lands where the round's last trial did (mu grown by too little to
            // move any parameter since) finds no reduction again, without evaluating the model.
            again = true;
        } else {
            evaluation = ChiSquare(s);
        }
        const bool rejected = again || evaluation != 0 || s->ssr >= s->previousSsr || s->nPoints < roundPoints;
        lastRejected = rejected && evaluation == 0;
        if (lastRejected && !again)
            CopyDoubles(s->lastTrial + 1, s->value + 1, s->nParams);
        if (rejected) {
            // Back to the last accepted values, with their statistics.
            for (int k = 1; k <= s->nParams; ++k)
                s->value[k] = s->backup[k];
            s->ssr = s->previousSsr;
            s->chiSqr = roundChiSqr;
            s->nPoints = roundPoints;
            s->mu *= 10;
        }
        if (evaluation != 0) {
            code = evaluation;
            if (evaluation == FIT_ERR_STOPPED)
                break;
            if (++evaluationFailures >= kMaxFailures || s->mu >= kMuLimit)
                break;
            continue;
        }
        if (rejected) {
            if (++s->failures >= kMaxFailures || s->mu >= kMuLimit) {
                code = FIT_ERR_NO_REDUCTION;
                break;
            }
            continue;
        }
        s->mu *= 0.1;
        if (s->muMin > s->mu)
            s->muMin = s->mu;
        s->failures = 0;
        const double sum = s->ssr + s->previousSsr;
        if (sum == 0 || fabs(s->ssr - s->previousSsr) / sum < s->tolerance) {
            s->previousSsr = s->ssr;
            return FIT_CONVERGED;
        }
        return 0;
    }
    s->status = code;
    s->mu = 0.001;
    return code;
}

int FinishLM(FittingSession* s)
{
    const int dependency = DependencyCheck(s);
    s->iterationsSinceBegin += s->nIter;
    SolveLMStep(s, 0);
    ComputeErrors(s);
    return dependency;
}

int LMIterate(FittingSession* s, int n)
{
    s->failures = 0;
    s->nIter = 0;
    if (s->evaluationLimit == 0)
        return 0;
    if (s->dataChanged) {
        s->dataChanged = 0;
        const int code = PrepareParameterRanges(s);
        if (code)
            return code;
    }
    for (int i = 1; i <= n; ++i) {
        const int code = LMRound(s, i);
        s->status = code;
        char mu[64];
        FitFormatMu(s->mu, mu, sizeof mu);
        ReportProgressIteration(s, QFIT_PROGRESS_ITERATION, mu, i);
        if (code == 0) {
            s->nIter = i;
            continue;
        }
        if (code == FIT_ERR_NO_REDUCTION) {
            s->nIter = i - 1;
            return FinishLM(s);
        }
        if (code == FIT_ERR_STOPPED) {
            s->nIter = i - 1;
            s->iterationsSinceBegin += i - 1;
            return FIT_ERR_STOPPED;
        }
        if (code == FIT_CONVERGED) {
            s->nIter = i;
            break;
        }
        s->nIter = 0;
        s->mu = 0.001;
        return code;
    }
    const int code = ChiSquareWithDerivatives(s);
    if (code)
        return code;
    return FinishLM(s);
}

}  // namespace

// The dataset's used range decides the variable's rows when the stored range no longer
// lies inside it.
void ValidateDataRange(FittingSession* s, QFitDataset dataset, int* first, int* end, double* xFrom,
                       double* xTo, bool direct)
{
    QFitRowRanges ranges = {};
    QFitXBounds bounds = {MISSING_VALUE, MISSING_VALUE};
    GetDatasetRange(s, dataset, &ranges, &bounds, direct);
    const bool whole = ranges.used.first == ranges.full.first && ranges.used.end == ranges.full.end;
    if (whole && *first >= ranges.used.first && *end <= ranges.used.end && *first < *end)
        return;
    *first = ranges.used.first;
    *end = ranges.used.end;
    *xFrom = bounds.first;
    *xTo = bounds.last;
}

static int PrepareRun(FittingSession* s)
{
    s->lmRounds = s->trials = s->failures = 0;
    s->constraintTolerance = 1e-7;
    s->dataChanged = 1;
    EstimateMissingParams(s);
    const int code = RequireParamValues(s);
    if (code)
        return code;
    long estimate = 0;
    for (int d = 1; d <= s->nDep; ++d) {
        if (s->dep[d].step == 0)
            return 1;
        estimate += (s->dep[d].end - s->dep[d].first) / s->dep[d].step;
    }
    const int varying = BuildVaryMap(s);
    if (varying)
        return varying;
    if (estimate <= 0)
        return FIT_ERR_TOO_FEW_POINTS;
    return PrepareConstraints(s, 0);
}

void UpdateFitSetRanges(FittingSession* s)
{
    for (int f = 1; f <= s->nFitSets; ++f) {
        FitSetInfo& set = s->fitSets[f];
        set.firstRow = INT_MAX;
        set.endRow = 0;
        for (int d = set.firstDependent; d <= set.lastDependent; ++d) {
            if (s->dep[d].first < set.firstRow)
                set.firstRow = s->dep[d].first;
            if (s->dep[d].end > set.endRow)
                set.endRow = s->dep[d].end;
        }
        if (set.firstRow > set.endRow)
            set.firstRow = set.endRow;
    }
}

namespace {

bool DatasetsUsable(FittingSession* s)
{
    for (int d = 1; d <= s->nDep; ++d)
        if (IsDatasetInvalid(s, s->dep[d].dataset))
            return false;
    for (int i = 1; i <= s->nIndep; ++i)
        if (IsDatasetInvalid(s, s->indep[i].dataset))
            return false;
    return true;
}

}  // namespace

void FreeRowCache(FittingSession* s)
{
    free(s->rowCache);
    free(s->fittedCache);
    free(s->fittedParams);
    free(s->blockWork);
    s->rowCache = s->fittedCache = s->fittedParams = s->blockWork = nullptr;
    s->blockWorkSize = 0;
    s->rowCacheRows = s->rowCacheFilled = 0;
    s->fittedValid = 0;
    s->rowsRefused = 0;
    s->libraryGauss = 0;
}

// Whether the current function is the Gauss of the function library this program ships.
static bool IsLibraryGauss(const FunctionDef* def)
{
    if (def->functionType != KW_BUILTIN || !def->function || def->byOrdinal || !def->module ||
        def->module != GetModuleHandleA(CURVELIB_FILE_NAME))
        return false;
    const GetFuncProc getFunc = reinterpret_cast<GetFuncProc>(GetProcAddress(def->module, "Get_Func"));
    return getFunc && getFunc("Gauss", nullptr, nullptr, nullptr, nullptr) == def->function;
}

// A cache of the run's rows, when nothing but the engine can change them during the run:
// a library function called with its arguments, or an Expression, and no curve the run
// writes that is one of its inputs. Without memory for it the rows are read each pass.
static void StartRowCache(FittingSession* s)
{
    FreeRowCache(s);
    const FunctionDef* def = s->current;
    s->libraryGauss = IsLibraryGauss(def);
    const bool library = def->functionType == KW_BUILTIN || def->functionType == KW_EXTERNAL_DLL;
    if ((library && def->byOrdinal) || (!library && def->functionForm != KW_EXPRESSION))
        return;
    for (int d = 1; d <= s->nDep; ++d) {
        QFitDataset written[MAX_PEAK_DATASETS + 2];
        int n = 0;
        written[n++] = s->dep[d].liveDataset;
        for (int j = 1; j <= MAX_PEAK_DATASETS; ++j)
            written[n++] = s->peakDatasets[j];
        for (int k = 0; k < n; ++k) {
            if (!written[k])
                continue;
            for (int e = 1; e <= s->nDep; ++e)
                if (written[k] == s->dep[e].dataset)
                    return;
            for (int i = 1; i <= s->nIndep; ++i)
                if (written[k] == s->indep[i].dataset)
                    return;
        }
    }
    size_t rows = 0;
    int width = 0;
    for (int f = 1; f <= s->nFitSets; ++f) {
        const FitSetInfo& set = s->fitSets[f];
        const int step = set.step > 0 ? set.step : 1;
        if (set.endRow > set.firstRow)
            rows += (set.endRow - set.firstRow + step - 1) / step;
        width = width > set.lastDependent - set.firstDependent + 1 ? width : set.lastDependent - set.firstDependent + 1;
    }
    width += 1 + IndepPerSet(s);
    if (rows == 0 || rows > SIZE_MAX / sizeof(double) / width)
        return;
    s->rowCache = static_cast<double*>(malloc(rows * width * sizeof(double)));
    if (!s->rowCache)
        return;
    s->rowCacheRun = s->rowCacheRun == INT_MAX ? 1 : s->rowCacheRun + 1;
    s->rowCacheRows = rows;
    s->rowCacheWidth = width;
    // Fitted values are kept for numeric derivatives only.
    if (def->derivativeFlag)
        return;
    s->fittedWidth = 1 + width - 1 - IndepPerSet(s);
    s->fittedCache = static_cast<double*>(malloc(rows * s->fittedWidth * sizeof(double)));
    s->fittedParams = static_cast<double*>(malloc((s->nParams + 1) * sizeof(double)));
    if (!s->fittedCache || !s->fittedParams) {
        free(s->fittedCache);
        free(s->fittedParams);
        s->fittedCache = s->fittedParams = nullptr;
    }
}

static int RunIterationsOnce(FittingSession* s, int kind, int countIsText, INT_PTR count, double* result);

int RunIterations(FittingSession* s, int kind, int countIsText, INT_PTR count, double* result)
{
    const int code = RunIterationsOnce(s, kind, countIsText, count, result);
    FreeRowCache(s);
    return code;
}

static int RunIterationsOnce(FittingSession* s, int kind, int countIsText, INT_PTR count, double* result)
{
    s->nIter = 0;
    s->trials = 0;
    if (CheckCurrentFunction(s) || !DatasetsUsable(s))
        return 1;
    int code = BeginFit(s, 0);
    if (code)
        return code;
    code = PrepareRun(s);
    if (code)
        return code;
    for (int d = 1; d <= s->nDep; ++d)
        ValidateDataRange(s, s->dep[d].dataset, &s->dep[d].first, &s->dep[d].end, &s->dep[d].xBegin,
                          &s->dep[d].xEnd, true);
    for (int i = 1; i <= s->nIndep; ++i)
        ValidateDataRange(s, s->indep[i].dataset, &s->indep[i].first, &s->indep[i].end, &s->indep[i].xFrom,
                          &s->indep[i].xTo, false);
    UpdateFitSetRanges(s);
    int n;
    if (countIsText) {
        double v;
        if (EvalNumber(s, reinterpret_cast<const char*>(count), &v))
            return 1;
        n = static_cast<int>(v);
    } else {
        n = static_cast<int>(count);
    }

    if (kind == 0 || (kind == 3 && !countIsText))
        PrepareLiveCurves(s);
    StartRowCache(s);
    if (kind >= 0 && kind <= 2) {
        if (n > 0) {
            char text[32];
            snprintf(text, sizeof text, "%d", n);
            ReportProgress(s, QFIT_PROGRESS_RUN, text);
            code = LMIterate(s, n);
            if (result)
                *result = s->nIter;
            EndProgress(s);
        } else {
            s->chiSquareOnly = 1;
            code = ChiSquare(s);
            s->chiSquareOnly = 0;
        }
    } else if (kind == 3) {
        if (n <= 0)
            return 0;
        code = PrepareRun(s);
        if (code == 0)
            code = RunSimplex(s);
        if (code == 0 && ChiSquareWithDerivatives(s) == 0) {
            SolveLMStep(s, 0);
            ComputeErrors(s);
        }
    } else if (kind == -1) {
        code = ChiSquareWithDerivatives(s);
        if (code)
            return code;
        SolveLMStep(s, 0);
        ComputeErrors(s);
    }
    if (kind != 0 || n != 0)
        s->resultsChanged = 1;
    if ((code == 0 || code == FIT_WARN_DEPENDENCY) && (kind == 0 || (kind == 3 && !countIsText)))
        FinishLiveCurves(s);
    FreeRowCache(s);
    if ((code == 0 || code == FIT_WARN_DEPENDENCY) && kind != -1)
        CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>("EndIterate"), 0);
    for (int i = 1; i <= MAX_PEAK_DATASETS; ++i)
        s->peakDatasets[i] = 0;
    for (int d = 1; d <= s->nDep; ++d)
        s->dep[d].liveDataset = 0;
    if (code == FIT_WARN_DEPENDENCY && countIsText) {
        // The warning is dropped here, so its names must not ride along with a later report.
        code = 0;
        s->pendingFlag = 0;
        s->pendingText[0] = 0;
    }
    else if (code && result)
        *result = -1.0;
    return code;
}
