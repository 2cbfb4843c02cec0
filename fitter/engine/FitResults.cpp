// Result datasets after a fit: the fitted curve of each dependent variable, its confidence
// and prediction bands, and the residues.
//
// Bands: with f the partial derivatives of the model at a point with respect to the varying
// parameters and C the inverse curvature matrix of the last run, g = f' C f; the half width
// is F sqrt(g) for the confidence band and F sqrt(g + 1) for the prediction band, where
// F = t(N - P, (1 + CONF) / 2) * sqrt(reduced chi-square).
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FitMemory.h"
#include "FitSession.h"
#include "FitUtil.h"
#include "qxutil.h"

namespace {

// Plot kinds: peaks share kind 2 with residues.
const int16_t kPlotFit = 1, kPlotResidue = 2, kPlotPeak = 2, kPlotConfidence = 3,
              kPlotPrediction = 4;

// The format applied to the value, and the variable's number appended when there are
// several dependent variables.
std::string ResultName(FittingSession* s, const char* format, const char* value, int d)
{
    char name[QFIT_HOST_TEXT_CAPACITY];
    snprintf(name, sizeof name, format, value);
    std::string result = name;
    if (s->nDep > 1)
        result += std::to_string(d);
    return result;
}

// A result dataset at the data's rows is plotted against the data's X (never against the
// data's own values).
void TakeXOf(FittingSession* s, QFitDataset result, QFitDataset data)
{
    const QFitDataset x = data ? CallHost(s, HOST_GET_X_DATASET, data, 0) : 0;
    if (x && x != result)
        CallHost(s, HOST_SET_X_DATASET, result, x);
}

// A result dataset of rows from .. to - 1, found again when it exists; *created tells
// whether the engine made it.
QFitDataset CreateSizedDataset(FittingSession* s, const std::string& name, QFitDataset x, int from, int to,
                               int* created = nullptr)
{
    if (from >= to)
        return 0;
    const bool existed = CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name.c_str()), 0) != 0;
    const QFitDataset dataset = CallHost(s, HOST_REQ_3009, reinterpret_cast<INT_PTR>(name.c_str()), to);
    if (!dataset)
        return 0;
    QFitRowRange range = {from, to};
    if (CallHost(s, HOST_SET_RANGE, dataset, reinterpret_cast<INT_PTR>(&range)) != 0)
        return 0;
    if (x && CallHost(s, HOST_SET_X_OTHER, dataset, x) != 0)
        return 0;
    if (created)
        *created = !existed;
    return dataset;
}

void Plot(FittingSession* s, QFitDataset dataset, int16_t kind)
{
    if (!dataset)
        return;
    QFitPlotRecord record = {{kind, 0, 4000, 0, 250, 0, 0, 1}};
    CallHost(s, HOST_DATASET_UPDATE, dataset, reinterpret_cast<INT_PTR>(&record));
}

void Write(FittingSession* s, QFitDataset dataset, int row, double value)
{
    if (!dataset)
        return;
    QFitValueRecord r = {row, 0, value};
    CallHost(s, HOST_SET_VALUE, dataset, reinterpret_cast<INT_PTR>(&r));
}

struct CurveDatasets {
    QFitDataset fit, lower, upper;
    const QFitDataset* peaks;  // 1-based, nPeaks of them
    int nPeaks;
    bool peaksWithBaseline;
};

// One point at the independent values now in the rows: the fit value, or the band around it.
int ComputeCurvePoint(FittingSession* s, char what, int d, const CurveDatasets& out, int index, double factor)
{
    const int fitSet = FitSetOfDependent(s, d), first = FirstIndepOfSet(s, fitSet);
    for (int i = first; i < first + IndepPerSet(s); ++i)
        if (IsMissingValue(s->indep[i].value))
            return 1;
    if (what == 'F') {
        const int failed = EvaluateModel(s, FITMODE_VALUE, fitSet);
        Write(s, out.fit, index, failed ? MISSING_VALUE : s->dep[d].fitted);
        // Each peak's own contribution follows the fitted value in the result record; the
        // baseline is what the peaks leave of the fitted value.
        double baseline = failed ? MISSING_VALUE : s->dep[d].fitted;
        for (int j = 1; j <= out.nPeaks && !failed; ++j)
            baseline -= s->callY[1 + j];
        for (int j = 1; j <= out.nPeaks; ++j)
            Write(s, out.peaks[j], index,
                  failed ? MISSING_VALUE : s->callY[1 + j] + (out.peaksWithBaseline ? baseline : 0.0));
        return failed;
    }
    if (ModelDerivatives(s, fitSet) != 0 || IsMissingValue(factor)) {
        Write(s, out.fit, index, MISSING_VALUE);
        Write(s, out.lower, index, MISSING_VALUE);
        Write(s, out.upper, index, MISSING_VALUE);
        return 1;
    }
    double g = 0;
    for (int i = 1; i <= s->nVary; ++i)
        for (int j = 1; j <= s->nVary; ++j)
            g += s->work[i][j] * s->derivatives[d][s->varyMap[i]] * s->derivatives[d][s->varyMap[j]];
    const double y = s->dep[d].fitted;
    const double h = factor * sqrt(what == 'C' ? g : g + 1);
    const bool usable = isfinite(h) && g >= 0;
    Write(s, out.fit, index, y);
    Write(s, out.lower, index, usable ? y - h : MISSING_VALUE);
    Write(s, out.upper, index, usable ? y + h : MISSING_VALUE);
    return usable ? 0 : 1;
}

bool Stopped(FittingSession* s)
{
    if (!CallHost(s, HOST_POLL_ABORT, 0, 0, s->hostWindow))
        return false;
    s->status = FIT_ERR_STOPPED;
    return true;
}

int CurvePointCount(FittingSession* s)
{
    return std::max(2, s->xPoints);
}

}  // namespace

int FitSetOfDependent(FittingSession* s, int d)
{
    for (int f = 1; f <= s->nFitSets; ++f)
        if (d >= s->fitSets[f].firstDependent && d <= s->fitSets[f].lastDependent)
            return f;
    return 1;
}

int ComputeBandFactor(FittingSession* s, double* factor)
{
    *factor = MISSING_VALUE;
    const int code = RunIterations(s, -1, 0, 0, nullptr);
    if (code)
        return code;
    if (s->nVary >= static_cast<int>(s->nPoints) || IsMissingValue(s->chiSqr))
        return 1;
    const double t = FitStudentQuantile((1 + s->confidence) / 2, s->nPoints - s->nVary);
    if (IsMissingValue(t))
        return 1;
    *factor = t * sqrt(s->chiSqr);
    return 0;
}

int FillResultCurve(FittingSession* s, int d, char what, QFitDataset lower, QFitDataset upper)
{
    if (d == -1) {
        int failures = 0;
        for (int k = 1; k <= s->nDep; ++k)
            failures += FillResultCurve(s, k, what) != 0;
        return failures;
    }
    DepVarInfo& v = s->dep[d];
    if (!v.dataset || s->xMode == 3)
        return 1;
    double factor = MISSING_VALUE;
    if (what != 'F' && ComputeBandFactor(s, &factor) != 0)
        factor = MISSING_VALUE;

    // Where the points lie: the data rows, a uniform run, a given X dataset's rows, or a run
    // evenly spaced on the axis scale over the data's X range.
    const int mode = s->xMode;
    const bool oneX = IndepPerSet(s) == 1;
    IndepVarInfo& x = s->indep[FirstIndepOfSet(s, FitSetOfDependent(s, d))];
    int from = v.first, to = v.end;
    QFitDataset givenX = 0;
    double start = s->xBegin, step = s->xStep, axisFrom = 0, axisTo = 0;
    if (mode == 1) {
        if (!oneX || s->xPoints < 1 || step == 0 || IsMissingValue(start))
            return 1;
        from = 0;
        to = s->xPoints;
    } else if (mode == 2) {
        if (!oneX || !s->funcxDataset)
            return 1;
        givenX = s->funcxDataset;
        QFitRowRanges rows = {};
        CallHost(s, HOST_GET_ROW_RANGE, givenX, reinterpret_cast<INT_PTR>(&rows));
        from = rows.used.first;
        to = rows.used.end;
    } else if (mode == 4 || mode == 5) {
        if (!oneX)
            return 1;
        double low = v.xBegin, high = v.xEnd;
        if (IsMissingValue(low) || IsMissingValue(high)) {
            QFitXBounds bounds = {MISSING_VALUE, MISSING_VALUE};
            CallHost(s, HOST_GET_X_BOUNDS, v.dataset, reinterpret_cast<INT_PTR>(&bounds));
            low = bounds.first;
            high = bounds.last;
        }
        if (IsMissingValue(low) || IsMissingValue(high))
            return 1;
        CallHost(s, HOST_TO_AXIS_SCALE, reinterpret_cast<INT_PTR>(&low), reinterpret_cast<INT_PTR>(&axisFrom));
        CallHost(s, HOST_TO_AXIS_SCALE, reinterpret_cast<INT_PTR>(&high), reinterpret_cast<INT_PTR>(&axisTo));
        if (axisFrom > axisTo)
            std::swap(axisFrom, axisTo);
        from = 0;
        to = CurvePointCount(s);
    }
    if (from >= to)
        return 1;

    // The datasets: the fit curve is named "YFIT", the bands after it.
    if (!v.fitCurve || CallHost(s, HOST_CHECK_DATASET, v.fitCurve, 0)) {
        int created = 0;
        v.fitCurve = CreateSizedDataset(s, ResultName(s, "%s", "YFIT", d), 0, from, to, &created);
        v.ownFitCurve = created;
    } else {
        QFitRowRange range = {from, to};
        CallHost(s, HOST_REQ_3009, reinterpret_cast<INT_PTR>(DatasetName(s, v.fitCurve).c_str()), to);
        CallHost(s, HOST_SET_RANGE, v.fitCurve, reinterpret_cast<INT_PTR>(&range));
    }
    if (!v.fitCurve)
        return 1;
    const std::string base = DatasetName(s, v.fitCurve);
    const FunctionDef* def = s->current;
    if (what == 'F')
        ActivateFitPlot(s);
    QFitDataset peaks[MAX_PEAK_DATASETS + 1] = {};
    int nPeaks = 0;
    if (what == 'F' && s->nDep == 1 && def->functionType != KW_USER_DEFINED && def->nDuplicates > 0 &&
        OptionValue(def, OPT_PEAKS_AFTER) == KW_YES) {
        nPeaks = std::min(def->nDuplicates + 1, static_cast<int>(MAX_PEAK_DATASETS));
        for (int j = 1; j <= nPeaks; ++j) {
            int created = 0;
            if (!(peaks[j] = CreateSizedDataset(s, base + "Peak" + std::to_string(j), 0, from, to, &created)))
                return 1;
            // The peaks of the working curve go with it when the fit ends.
            if (created && v.ownFitCurve)
                s->ownPeaks[j] = peaks[j];
        }
    }
    CurveDatasets out = {v.fitCurve, 0, 0, peaks, nPeaks, OptionValue(def, OPT_PEAKS_BASELINE) == KW_YES};
    if (what == 'C') {
        v.lowerConf = out.lower = lower ? lower : CreateSizedDataset(s, base + "_LCONF", 0, from, to);
        v.upperConf = out.upper = upper ? upper : CreateSizedDataset(s, base + "_UCONF", 0, from, to);
    } else if (what == 'P') {
        v.lowerPred = out.lower = lower ? lower : CreateSizedDataset(s, base + "_LPRED", 0, from, to);
        v.upperPred = out.upper = upper ? upper : CreateSizedDataset(s, base + "_UPRED", 0, from, to);
    }
    if (what != 'F' && (!out.lower || !out.upper))
        return 1;
    std::vector<QFitDataset> all = {out.fit, out.lower, out.upper};
    all.insert(all.end(), peaks + 1, peaks + 1 + nPeaks);
    for (QFitDataset dataset : all)
        if (dataset)
            CallHost(s, HOST_REQ_3004, dataset, 0);

    QFitDataset xCurve = 0;
    if (mode == 4 || mode == 5)
        xCurve = CreateSizedDataset(s, base + "_X", 0, from, to);
    int code = 0;
    for (int index = from; index < to; ++index) {
        if (Stopped(s)) {
            code = FIT_ERR_STOPPED;
            break;
        }
        s->currentRow = index;
        if (mode == 0) {
            if (ReadFitSetRow(s, FitSetOfDependent(s, d), index) >= 2)
                continue;
        } else if (mode == 1) {
            x.value = start + index * step;
        } else if (mode == 2) {
            QFitValueRecord r = {index, 0, 0.0};
            x.value =
                CallHost(s, HOST_GET_VALUE, givenX, reinterpret_cast<INT_PTR>(&r)) == 0 ? r.value : MISSING_VALUE;
        } else {
            double axis = axisFrom + (axisTo - axisFrom) * (index - from) / (to - from - 1);
            x.value = MISSING_VALUE;
            CallHost(s, HOST_FROM_AXIS_SCALE, reinterpret_cast<INT_PTR>(&axis), reinterpret_cast<INT_PTR>(&x.value));
            Write(s, xCurve, index, x.value);
        }
        ComputeCurvePoint(s, what, d, out, index, factor);
        CallHost(s, HOST_REQ_1018, index, 0x3F);
    }

    for (QFitDataset dataset : all) {
        if (!dataset)
            continue;
        if (mode == 0)
            TakeXOf(s, dataset, v.dataset);
        else if (mode == 1) {
            QFitXStartStep record = {start, step};
            CallHost(s, HOST_REQ_3005, dataset, reinterpret_cast<INT_PTR>(&record));
        } else if (mode == 2)
            CallHost(s, HOST_SET_X_OTHER, dataset, givenX);
        else if (xCurve)
            CallHost(s, HOST_SET_X_OTHER, dataset, xCurve);
    }
    const int16_t kind = what == 'C' ? kPlotConfidence : what == 'P' ? kPlotPrediction : kPlotFit;
    Plot(s, out.fit, kPlotFit);
    if (what != 'F') {
        Plot(s, out.lower, kind);
        Plot(s, out.upper, kind);
    }
    for (int j = 1; j <= nPeaks; ++j)
        Plot(s, peaks[j], kPlotPeak);
    return code ? code : (IsMissingValue(factor) && what != 'F' ? 1 : 0);
}

int MakeResidueCurve(FittingSession* s, int d)
{
    DepVarInfo& v = s->dep[d];
    if (!v.dataset || v.first >= v.end)
        return 1;
    // Named after the worksheet the data come from, else after the dataset's name up to its
    // last "_".
    char worksheet[QFIT_HOST_TEXT_CAPACITY] = "";
    QFitColumnQuery query = {v.dataset, 0, 0, worksheet, sizeof worksheet, 0};
    CallHost(s, HOST_REQ_3018, reinterpret_cast<INT_PTR>(&query), 0, s->hostWindow);
    worksheet[sizeof worksheet - 1] = 0;
    std::string base = worksheet;
    if (base.empty()) {
        const std::string name = DatasetName(s, v.dataset);
        const size_t underscore = name.rfind('_');
        base = underscore == std::string::npos ? "" : name.substr(0, underscore);
    }
    const std::string name = ResultName(s, base.empty() ? "%sresidue" : "%s_residue", base.c_str(), d);
    v.residue = CreateSizedDataset(s, name, 0, 0, v.end);
    if (!v.residue)
        return 1;
    const int fitSet = FitSetOfDependent(s, d);
    for (int row = v.first; row < v.end; ++row) {
        if (Stopped(s))
            return FIT_ERR_STOPPED;
        s->currentRow = row;
        if (ReadFitSetRow(s, fitSet, row) != 0 || EvaluateModel(s, FITMODE_VALUE, fitSet) != 0) {
            Write(s, v.residue, row, MISSING_VALUE);
            continue;
        }
        Write(s, v.residue, row, v.y - v.fitted);
        CallHost(s, HOST_REQ_1018, row, 0x3F);
    }
    TakeXOf(s, v.residue, v.dataset);
    QFitRowRange range = {v.first, v.end};
    CallHost(s, HOST_SET_RANGE, v.residue, reinterpret_cast<INT_PTR>(&range));
    Plot(s, v.residue, kPlotResidue);
    return 0;
}

namespace {

// A new column of the active worksheet named name (or, when that is taken, its next free
// name) with the label; 0 when none can be made.
QFitDataset AddResultColumn(FittingSession* s, const char* name, const std::string& label)
{
    QFitDataset column = CallHost(s, HOST_ADD_COLUMN, 0, reinterpret_cast<INT_PTR>(name));
    if (!column)
        column = CallHost(s, HOST_ADD_COLUMN, 0, reinterpret_cast<INT_PTR>(""));
    if (column)
        CallHost(s, HOST_SET_DATASET_LABEL, column, reinterpret_cast<INT_PTR>(label.c_str()));
    return column;
}

std::string Formatted(const char* format, const std::string& a, const std::string& b = std::string())
{
    char text[2 * QFIT_HOST_TEXT_CAPACITY];
    snprintf(text, sizeof text, format, a.c_str(), b.c_str());
    return text;
}

}  // namespace

int MakeResultColumns(FittingSession* s, int d, char kind)
{
    if (d < 1 || d > s->nDep || !s->current)
        return 1;
    DepVarInfo& v = s->dep[d];
    if (!v.dataset || v.first >= v.end)
        return 1;
    // The columns belong beside their data: the dependent dataset's worksheet is made active
    // for them (the fit graph is brought back when the curve is drawn).
    char worksheet[QFIT_HOST_TEXT_CAPACITY] = "";
    QFitColumnQuery query = {v.dataset, 0, 0, worksheet, static_cast<int32_t>(sizeof worksheet), 0};
    if (CallHost(s, HOST_REQ_3018, reinterpret_cast<INT_PTR>(&query), 0) == 0 && worksheet[0])
        CallHost(s, HOST_ACTIVATE_WINDOW, reinterpret_cast<INT_PTR>(worksheet), 0);
    const std::string data = DatasetName(s, v.dataset);
    char level[64];
    FitFormatNumber(s->confidence, level, sizeof level);
    const int mode = s->xMode;
    s->xMode = 0;
    int rc = 1;
    if (kind == 'F') {
        // The working curve stays the session's, for ending the fit to delete.
        const QFitDataset working = v.fitCurve;
        const int own = v.ownFitCurve;
        v.fitCurve = AddResultColumn(s, "B", Formatted("%s fit of %s", s->current->name, data));
        v.ownFitCurve = 0;
        if (v.fitCurve)
            rc = FillResultCurve(s, d, 'F');
        v.fitCurve = working;
        v.ownFitCurve = own;
    } else {
        const bool confidence = kind == 'C';
        const QFitDataset lower =
            AddResultColumn(s, confidence ? "LCL" : "LPL",
                            Formatted(confidence ? "Lower %s Confidence Limit" : "Lower %s Prediction Limit", level));
        const QFitDataset upper =
            AddResultColumn(s, confidence ? "UCL" : "UPL",
                            Formatted(confidence ? "Upper %s Confidence Limit" : "Upper %s Prediction Limit", level));
        if (lower && upper)
            rc = FillResultCurve(s, d, confidence ? 'C' : 'P', lower, upper);
    }
    s->xMode = mode;
    return rc;
}

int ResultCommand(FittingSession* s, int all, const char* argument)
{
    char text[QFIT_HOST_TEXT_CAPACITY];
    snprintf(text, sizeof text, "%s", argument ? argument : "");
    for (char* c = text; *c; ++c)
        *c = static_cast<char>(toupper(static_cast<unsigned char>(*c)));
    char letter[8] = "", spacing[8] = "", name[QFIT_HOST_TEXT_CAPACITY] = "";
    const char* p = NextToken(text, " ,", letter, sizeof letter);
    p = NextToken(p, " ,", spacing, sizeof spacing);
    NextToken(p, " ,", name, sizeof name);
    if (spacing[0]) {
        if (spacing[1] || spacing[0] < '0' || spacing[0] > '5')
            return 1;
        s->xMode = spacing[0] - '0';
    }
    const char what = letter[0] ? letter[0] : 'F';
    if (what != 'F' && ClearMissingDatasets(s))
        return 1;
    if (name[0] && s->nDep >= 1) {
        // A named result curve for the first dependent variable.
        DepVarInfo& v = s->dep[1];
        const int count = s->xMode == 0 ? v.end : s->xPoints;
        if (count < 1)
            return 1;
        QFitDataset x = 0;
        if (s->xMode == 4 || s->xMode == 5)
            x = CreateSizedDataset(s, std::string(name) + "_A", 0, 0, count);
        int created = 0;
        v.fitCurve = CreateSizedDataset(s, name, x, s->xMode == 0 ? v.first : 0, count, &created);
        v.ownFitCurve = 0;
        if (!v.fitCurve)
            return 1;
    }
    switch (what) {
    case 'F':
        return FillResultCurve(s, all ? -1 : 1, 'F');
    case 'C':
    case 'P':
        if (!s->fitActive && BeginFit(s, 0))
            return 1;
        return FillResultCurve(s, all ? -1 : 1, what);
    case 'B': {
        if (!s->fitActive && BeginFit(s, 0))
            return 1;
        const int confidence = FillResultCurve(s, all ? -1 : 1, 'C');
        const int prediction = FillResultCurve(s, all ? -1 : 1, 'P');
        return confidence ? confidence : prediction;
    }
    case 'V':
        if (!s->fitActive && BeginFit(s, 0))
            return 1;
        return StoreVarCovarMatrix(s);
    default:
        return 1;
    }
}

// Live curves: the fit curve at the data rows, written row by row while the chi-square is
// computed, and with "Generate Peaks During Fitting" one dataset per peak after it.
void PrepareLiveCurves(FittingSession* s)
{
    const FunctionDef* def = s->current;
    for (int d = 1; d <= s->nDep; ++d) {
        DepVarInfo& v = s->dep[d];
        if (!v.dataset || v.first >= v.end)
            continue;
        if (!v.fitCurve || CallHost(s, HOST_CHECK_DATASET, v.fitCurve, 0)) {
            int created = 0;
            v.fitCurve = CreateSizedDataset(s, ResultName(s, "%s", "YFIT", d), 0, v.first, v.end, &created);
            v.ownFitCurve = created;
        }
        v.liveDataset = v.fitCurve;
    }
    if (s->nDep == 1 && s->dep[1].liveDataset && def->functionType != KW_USER_DEFINED && def->nDuplicates > 0 &&
        OptionValue(def, OPT_PEAKS_DURING) == KW_YES) {
        const std::string base = DatasetName(s, s->dep[1].liveDataset);
        const int peaks = std::min(def->nDuplicates + 1, static_cast<int>(MAX_PEAK_DATASETS));
        for (int j = 1; j <= peaks; ++j) {
            int created = 0;
            s->peakDatasets[j] =
                CreateSizedDataset(s, base + "Peak" + std::to_string(j), 0, s->dep[1].first, s->dep[1].end, &created);
            if (created)
                s->ownPeaks[j] = s->peakDatasets[j];
        }
    }
}

void FinishLiveCurves(FittingSession* s)
{
    for (int d = 1; d <= s->nDep; ++d) {
        const DepVarInfo& v = s->dep[d];
        if (!v.liveDataset)
            continue;
        TakeXOf(s, v.liveDataset, v.dataset);
        Plot(s, v.liveDataset, kPlotFit);
    }
    for (int j = 1; j <= MAX_PEAK_DATASETS && s->peakDatasets[j]; ++j) {
        if (s->dep[1].dataset)
            TakeXOf(s, s->peakDatasets[j], s->dep[1].dataset);
        Plot(s, s->peakDatasets[j], kPlotPeak);
    }
}

int SubtractFitFrom(FittingSession* s, int d, const char* name)
{
    if (d < 1 || d > s->nDep || !name)
        return 1;
    const QFitDataset target = CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name), 0);
    if (!target)
        return 1;
    DepVarInfo& v = s->dep[d];
    const int fitSet = FitSetOfDependent(s, d);
    for (int row = v.first; row < v.end; ++row) {
        if (Stopped(s))
            return FIT_ERR_STOPPED;
        s->currentRow = row;
        QFitValueRecord r = {row, 0, 0.0};
        if (ReadFitSetRow(s, fitSet, row) >= 2 || EvaluateModel(s, FITMODE_VALUE, fitSet) != 0 ||
            CallHost(s, HOST_GET_VALUE, target, reinterpret_cast<INT_PTR>(&r)) != 0)
            continue;
        Write(s, target, row, r.value - v.fitted);
    }
    QFitRowRange range = {v.first, v.end};
    CallHost(s, HOST_SET_RANGE, target, reinterpret_cast<INT_PTR>(&range));
    return 0;
}

// The matrix dataset holds all T x T cells; only the varying parameters' cells get values.
int StoreVarCovarMatrix(FittingSession* s)
{
    if (!s->covarDataset)
        return 1;
    const int code = RunIterations(s, -1, 0, 0, nullptr);
    if (code)
        return code;
    const int t = s->nParams;
    for (int i = 0; i < t * t; ++i)
        Write(s, s->covarDataset, i, MISSING_VALUE);
    for (int i = 1; i <= s->nVary; ++i)
        for (int j = 1; j <= s->nVary; ++j)
            Write(s, s->covarDataset, (s->varyMap[i] - 1) * t + s->varyMap[j] - 1, s->work[i][j]);
    return 0;
}

namespace {

// The chi-square with parameter k held at p and the others refitted (5 rounds).
int ProfileChiSquare(FittingSession* s, int k, double p, int othersVary, double* chi2)
{
    s->value[k] = p;
    const int code = othersVary ? RunIterations(s, 1, 0, 5, nullptr) : ChiSquare(s);
    *chi2 = s->ssr;
    return code == FIT_ERR_NO_REDUCTION || code == FIT_WARN_DEPENDENCY ? 0 : code;
}

}  // namespace

// Limits of one parameter where the others, refitted, raise the chi-square to
// X = chi2min (F(CONF; 1, N - P) / (N - P) + 1), searched by secant steps from
// best -/+ t * error. For a model linear in its parameters they are best -/+ t * error.
int FindParamConfidenceLimits(FittingSession* s)
{
    const int P = s->nVary, N = static_cast<int>(s->nPoints);
    if (P < 1 || P >= N || !s->fitActive)
        return 0;
    const double fArgs[3] = {s->confidence, 1.0, static_cast<double>(N - P)};
    const double F = UtilFQuantile(fArgs);
    const double t = FitStudentQuantile((1 + s->confidence) / 2, N - P);
    if (IsMissingValue(F) || IsMissingValue(t))
        return 1;
    const double chi2min = s->ssr, target = chi2min * (F / (N - P) + 1);
    const int T = s->nParams;
    double* saved = AllocArray<double>(4 * (T + 1));
    BYTE* savedFlags = AllocArray<BYTE>(T + 1);
    int* varying = AllocArray<int>(P + 1);
    if (!saved || !savedFlags || !varying) {
        FreeLockedBlock(saved);
        FreeLockedBlock(savedFlags);
        FreeLockedBlock(varying);
        return FIT_ERR_NO_MEMORY;
    }
    for (int k = 0; k <= T; ++k) {
        saved[k] = s->value[k];
        saved[T + 1 + k] = s->error[k];
        saved[2 * (T + 1) + k] = s->dependency[k];
        saved[3 * (T + 1) + k] = s->halfWidth[k];
        savedFlags[k] = s->flags[k];
    }
    for (int j = 1; j <= P; ++j)
        varying[j] = s->varyMap[j];
    const double savedChiSqr = s->chiSqr, savedCod = s->cod, savedCorrelation = s->correlation;
    const unsigned savedPoints = s->nPoints;
    const int savedIterations = s->nIter;

    UtilProgressBox(s->hostWindow, UTIL_PROGRESS_OPEN, 0, "Calculating Confidence Interval Limits...");
    bool stop = false;
    int done = 0;
    for (int j = 1; j <= P && !stop; ++j) {
        const int k = varying[j];
        const double best = saved[k], error = saved[T + 1 + k];
        for (int side = -1; side <= 1 && !stop; side += 2) {
            double& limit = side < 0 ? s->lowerLimit[k] : s->upperLimit[k];
            limit = MISSING_VALUE;
            for (int i = 0; i <= T; ++i)
                s->value[i] = saved[i];
            s->flags[k] = static_cast<BYTE>(s->flags[k] & ~PARAM_VARIES);
            double p = best + side * t * error, chi2;
            if (ProfileChiSquare(s, k, p, P > 1, &chi2) != 0)
                continue;
            double q = p + (best - p) / 10, chi2q;
            for (int step = 1; step <= 34; ++step, ++done) {
                char text[PARAM_NAME_CHARS + 32];
                snprintf(text, sizeof text, "%s : %s limit %d", s->names[k], side < 0 ? "lower" : "upper", step);
                ReportProgress(s, QFIT_PROGRESS_CONFIDENCE, text);
                UtilProgressBox(s->hostWindow, UTIL_PROGRESS_SET, 100 * done / (P * 68), nullptr);
                if (CallHost(s, HOST_POLL_ABORT, 0, 0, s->hostWindow) ||
                    UtilProgressBox(s->hostWindow, UTIL_PROGRESS_POLL, 0, nullptr)) {
                    stop = true;
                    break;
                }
                if (ProfileChiSquare(s, k, q, P > 1, &chi2q) != 0)
                    break;
                const double dchi2 = chi2q - chi2, dp = q - p;
                if (fabs(dchi2) <= 1e-13 * fabs(chi2q - chi2min))
                    break;
                const double slope = dchi2 / dp;
                if (fabs(q - best) * fabs(slope) * 0.0005 > fabs(chi2q - target)) {
                    limit = q;
                    break;
                }
                p = q;
                chi2 = chi2q;
                q = q + (target - chi2q) / slope;
            }
        }
        s->flags[k] = savedFlags[k];
    }
    for (int k = 0; k <= T; ++k) {
        s->value[k] = saved[k];
        s->error[k] = saved[T + 1 + k];
        s->dependency[k] = saved[2 * (T + 1) + k];
        s->halfWidth[k] = saved[3 * (T + 1) + k];
        s->flags[k] = savedFlags[k];
    }
    FreeLockedBlock(saved);
    FreeLockedBlock(savedFlags);
    FreeLockedBlock(varying);
    RunIterations(s, -1, 0, 0, nullptr);
    s->chiSqr = savedChiSqr;
    s->cod = savedCod;
    s->correlation = savedCorrelation;
    s->nPoints = savedPoints;
    s->nIter = savedIterations;
    EndProgress(s);
    UtilProgressBox(s->hostWindow, UTIL_PROGRESS_CLOSE, 0, nullptr);
    return stop ? FIT_ERR_STOPPED : 0;
}

void ForgetResultDatasets(FittingSession* s)
{
    for (int d = 1; d <= s->nDep; ++d) {
        DepVarInfo& v = s->dep[d];
        v.fitCurve = v.lowerConf = v.upperConf = v.lowerPred = v.upperPred = v.residue = 0;
        v.ownFitCurve = 0;
    }
    for (QFitDataset& peak : s->ownPeaks)
        peak = 0;
}
