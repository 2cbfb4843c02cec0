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
        return IsMissingValue(m_b.value) ? 1 : 0;
    }
    return 1;
}

int StatLR::Fit(Stat& stat, LineResult& fit)
{
    QmSourceData data(Stat::NameOf(stat.m_data), 1);
    if (!data.HasDataset()) {
        RecordError(STAT_ERR_LR_NO_DATA);
        return 1;
    }
    if (!data.ClipRange(1)) {
        RecordError(STAT_ERR_LR_NO_ROWS);
        return 1;
    }
    QmErrData errors(Stat::NameOf(stat.m_errBarData), 1);
    LineInput in;
    in.mode = throughZero ? LineMode::ThroughZero : givenSlope ? LineMode::GivenSlope
                                                               : LineMode::Ordinary;
    in.givenSlope = m_b.value;
    in.confLevel = stat.m_confLevel.value;
    in.chiSqrErr = stat.m_chiSqrErr.value != 0;
    std::vector<int> rows;
    for (int row = data.first; row < data.end; ++row) {
        double pair[2];
        if (data.GetAttributes(row, pair) != 0)
            continue;
        // A point with a missing coordinate is no point.
        if (IsMissingValue(pair[0]) || IsMissingValue(pair[1]))
            continue;
        double w = 1;
        if (errors.GetWeight(row, &w) != 0) {
            RecordError(STAT_ERR_LR_WEIGHT);
            return 1;
        }
        in.x.push_back(pair[0]);
        in.y.push_back(pair[1]);
        in.w.push_back(w);
        rows.push_back(row);
    }

    fit = qxstats::FitLine(in);
    if (fit.error) {
        RecordError(fit.error);
        return 1;
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

    if (!fit.residuals.empty()) {
        QmResultData residuals(Stat::NameOf(stat.m_resData), 1);
        residuals.SetMode(4);
        if (residuals.HasDataset())
            for (size_t i = 0; i < rows.size(); ++i)
                residuals.SetWithMode(rows[i], fit.residuals[i]);
    }
    if (fit.status == LineResult::Warned) {
        stat.m_msg.SetText(fit.warning);
        return 1;
    }
    return 0;
}

int StatLR::WriteCurves(Stat& stat, const LineResult& fit)
{
    QmSourceData fx(Stat::NameOf(stat.m_fitXData), 1);
    fx.SetMode(2);
    if (!fx.HasDataset() || fx.IsEmpty())
        return 0;
    QmResultData fy(Stat::NameOf(stat.m_fitYData), 1);
    fy.SetMode(4);
    if (!fy.HasDataset()) {
        RecordError(STAT_ERR_LR_CURVE);
        return 1;
    }
    for (int row = fx.first; row < fx.end; ++row) {
        double x = fx.GetWithMode(row);
        double y = IsMissingValue(x) ? MISSING_VALUE : fit.A + fit.B * x;
        if (fy.SetWithMode(row, y) != 0) {
            RecordError(STAT_ERR_LR_CURVE);
            return 1;
        }
    }
    struct Band {
        QmDataSetName* name;
        double sign;
        bool prediction;
    } bands[] = {{&stat.m_uclData, 1, false},
                 {&stat.m_lclData, -1, false},
                 {&stat.m_uplData, 1, true},
                 {&stat.m_lplData, -1, true}};
    for (const Band& band : bands) {
        if (!band.name->HasText())
            continue;
        QmResultData out(band.name->text, 1);
        out.SetMode(4);
        if (!out.HasDataset()) {
            RecordError(STAT_ERR_LR_CURVE);
            return 1;
        }
        for (int row = fx.first; row < fx.end; ++row) {
            double x = fx.GetWithMode(row);
            double y = fy.GetWithMode(row);
            double v = MISSING_VALUE;
            if (!IsMissingValue(x) && !IsMissingValue(y)) {
                double h = qxstats::LineHalfWidth(fit, x, band.prediction);
                v = IsMissingValue(h) ? MISSING_VALUE : y + band.sign * h;
            }
            if (out.SetWithMode(row, v) != 0) {
                RecordError(STAT_ERR_LR_CURVE);
                return 1;
            }
        }
    }
    return 0;
}

int StatLR::Process(double* result, QmDLL* root)
{
    Stat& stat = *static_cast<Stat*>(root);
    LineResult fit;
    if (Fit(stat, fit) != 0) {
        // The call itself is done; the error list or MSG says why there is no line.
        *result = 1;
        return 0;
    }
    *result = 0;
    return WriteCurves(stat, fit);
}
