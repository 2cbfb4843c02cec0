// LR: collects the (x, y) points of DATA with their weights, fits the line in the mode
// of the argument, writes the results, the residuals and, after a fit, the curves.
#include "StatObject.h"

#include <cctype>
#include <cstring>

using qxstats::LineInput;
using qxstats::LineMode;
using qxstats::LineResult;

IMPLEMENT_DYNAMIC(StatLR, StatMethod)

StatLR::StatLR()
    : m_table{{&m_a, "A"},   {&m_b, "B"},   {&m_ase, "ASE"}, {&m_bse, "BSE"},
              {&m_t, "T"},   {&m_ap, "AP"}, {&m_bp, "BP"},   {nullptr, nullptr}}
{
    AddArgument(new QmString);
    SetTable(m_table);
}

int StatLR::Begin(const char* argText, QmDLL* root)
{
    if (StatMethod::Begin(argText, root) != 0)
        return 1;
    throughZero = givenSlope = 0;
    QmProperty* mode = args[0];
    if (!mode->given)
        return 0;
    const char* text = mode->GetStr();
    if (text && std::strlen(text) == 1 && std::tolower(static_cast<unsigned char>(*text)) == 'z') {
        throughZero = 1;
        return 0;
    }
    if (text && std::strlen(text) == 1 && std::tolower(static_cast<unsigned char>(*text)) == 'b') {
        givenSlope = 1;
        if (!IsMissingValue(m_b.value))
            return 0;
    }
    // Refused: End will not run, so the bracket opened above is closed here.
    CloseBracket();
    return 1;
}

int StatLR::Fit(Stat& stat, LineResult& fit)
{
    // Too few points fail the call itself: a script that went on would read the line of
    // an earlier fit as if it were this one's.
    const char* name = Stat::NameOf(stat.m_data);
    QmSourceData data(name, 1);
    if (!data.HasDataset()) {
        RecordError(STAT_ERR_LR_NO_DATA);
        QmFailureReason("DATA names no dataset (\"%s\")", name ? name : "");
        return 2;
    }
    if (!data.ClipRange(1)) {
        RecordError(STAT_ERR_LR_NO_ROWS);
        QmFailureReason("the dataset %s has no rows to fit", name);
        return 2;
    }
    QmErrData errors(Stat::NameOf(stat.m_errBarData), 1);
    StatPoints points;
    if (CollectPoints(data, errors, points) != 0) {
        RecordError(STAT_ERR_LR_WEIGHT);
        return 1;
    }
    LineInput in;
    in.mode = throughZero ? LineMode::ThroughZero : givenSlope ? LineMode::GivenSlope
                                                               : LineMode::Ordinary;
    in.givenSlope = m_b.value;
    in.confLevel = stat.m_confLevel.value;
    in.chiSqrErr = stat.m_chiSqrErr.value != 0;
    in.x = points.x;
    in.y = points.y;
    for (double s : points.sigma)
        in.w.push_back(1 / (s * s));

    fit = qxstats::FitLine(in);
    if (fit.error) {
        RecordError(fit.error);
        if (fit.error != STAT_ERR_LR_TOO_FEW)
            return 1;
        QmFailureReason("a line needs at least %d point%s; %s gives %d", throughZero || givenSlope ? 1 : 2,
                        throughZero || givenSlope ? "" : "s", name, fit.npts);
        return 2;
    }
    m_a.value = fit.A;
    m_b.value = fit.B;
    m_ase.value = fit.ASE;
    m_bse.value = fit.BSE;
    m_t.value = fit.T;
    m_ap.value = fit.AP;
    m_bp.value = fit.BP;
    for (int k = 0; k < 3; ++k)
        stat.m_df.values[k] = fit.df[k];
    stat.m_npts.value = fit.npts;
    stat.m_xmean.value = fit.XMEAN;
    stat.m_ymean.value = fit.YMEAN;
    stat.m_wtotal.value = fit.WTOTAL;
    stat.m_sxx.value = fit.SXX;
    stat.m_ssto.value = fit.SSTO;
    stat.m_sse.value = fit.SSE;
    stat.m_ssr.value = fit.SSR;
    stat.m_msr.value = fit.MSR;
    stat.m_mse.value = fit.MSE;
    stat.m_sd.value = fit.SD;
    stat.m_r.value = fit.R;
    stat.m_cod.value = fit.COD;
    stat.m_adrsq.value = fit.ADRSQ;
    stat.m_fvalue.value = fit.Fvalue;
    stat.m_pvalue.value = fit.Pvalue;

    WriteResiduals(stat, points.rows, fit.residuals);
    if (fit.status == LineResult::Warned) {
        stat.m_msg.SetText(fit.warning);
        return 1;
    }
    return 0;
}

int StatLR::Process(double* result, QmDLL* root)
{
    Stat& stat = *static_cast<Stat*>(root);
    LineResult fit;
    if (int failed = Fit(stat, fit)) {
        // Otherwise the call itself is done; the error list or MSG says why there is no line.
        *result = 1;
        return failed == 2 ? 1 : 0;
    }
    *result = 0;
    return WriteCurves(
        stat, [&fit](double x) { return fit.A + fit.B * x; },
        [&fit](double x, bool prediction, double* h) {
            *h = qxstats::LineHalfWidth(fit, x, prediction);
            return 0;
        },
        STAT_ERR_LR_CURVE, 0, 0);
}
