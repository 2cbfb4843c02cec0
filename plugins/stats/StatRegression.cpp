// MR and PR: each collects its points into the core's least-squares model and writes the
// shared results (A, ASE, AP, B, BSE, T, BP and the root's analysis of variance).
#include "StatObject.h"

#include <algorithm>
#include <cmath>
#include <memory>

using qxstats::ModelResult;

IMPLEMENT_DYNAMIC(MRPRRegression, StatMethod)
IMPLEMENT_DYNAMIC(StatMR, MRPRRegression)
IMPLEMENT_DYNAMIC(StatPR, MRPRRegression)

// ---- Shared results ------------------------------------------------------------------

MRPRRegression::MRPRRegression()
    : m_coreTable{{&m_a, "A"}, {&m_ase, "ASE"}, {&m_ap, "AP"}, {&m_b, "B"},
                  {&m_bse, "BSE"}, {&m_t, "T"}, {&m_bp, "BP"}, {nullptr, nullptr}}
{
    SetTable(m_coreTable);
}

int MRPRRegression::FindSubproperty(QmDLL* root, const char* subName, int flags, void* value)
{
    int r = find_subproperty(root, subName, flags, value, GetTable());
    if (r)
        return r;
    r = find_subproperty(root, subName, flags, value, m_coreTable);
    if (r)
        return r;
    return QmMethod::FindSubproperty(root, subName, flags, value);
}

void MRPRRegression::ListSubproperties(const char* prefix, QmDLL* root)
{
    if (GetTable() != m_coreTable)
        list_subproperties(GetTable(), prefix, root);
    list_subproperties(m_coreTable, prefix, root);
}

void MRPRRegression::InitTableSubproperties(QmDLL* root)
{
    if (GetTable() != m_coreTable)
        init_table_subproperties(GetTable(), root);
    init_table_subproperties(m_coreTable, root);
}

void MRPRRegression::WriteResults(Stat& stat, const ModelResult& fit)
{
    stat.m_npts.value = fit.npts;
    for (int k = 0; k < 3; ++k)
        stat.m_df.values[k] = fit.df[k];
    stat.m_wtotal.value = fit.WTOTAL;
    stat.m_ymean.value = fit.YMEAN;
    stat.m_ssto.value = fit.SSTO;
    stat.m_ssr.value = fit.SSR;
    stat.m_sse.value = fit.SSE;
    stat.m_msr.value = fit.MSR;
    stat.m_mse.value = fit.MSE;
    stat.m_fvalue.value = fit.Fvalue;
    stat.m_sd.value = fit.SD;
    stat.m_r.value = fit.R;
    stat.m_cod.value = fit.COD;
    stat.m_adrsq.value = fit.ADRSQ;
    stat.m_pvalue.value = fit.Pvalue;
    m_a.value = fit.A;
    m_ase.value = fit.ASE;
    m_ap.value = fit.AP;
    m_t.value = fit.T;
    // All nine elements: those beyond this fit's parameters are no part of its model and
    // must not keep the coefficients of an earlier, larger one.
    for (size_t k = 0; k < QmParaVector::SIZE; ++k) {
        const bool fitted = k < fit.B.size();
        m_b.values[k] = fitted ? fit.B[k] : MISSING_VALUE;
        m_bse.values[k] = fitted ? fit.BSE[k] : MISSING_VALUE;
        m_bp.values[k] = fitted ? fit.BP[k] : MISSING_VALUE;
    }
}

// ---- MR ------------------------------------------------------------------------------

StatMR::StatMR()
    : m_table{{&m_pin, "PIN"},   {&m_pout, "POUT"}, {&m_ydata, "YDATA"}, {&m_xdata, "XDATA"},
              {&m_numx, "NUMX"}, {&m_bestR2Wks, "BESTR2WKS"}, {nullptr, nullptr}}
{
    SetTable(m_table);
}

int StatMR::Fit(Stat& stat)
{
    QmSourceData y(stat.m_worksheetName, m_ydata.HasText() ? m_ydata.text : "");
    if (!y.HasDataset()) {
        RecordError(STAT_ERR_NO_COLUMN);
        return 1;
    }
    if (!y.ClipRange(1)) {
        RecordError(STAT_ERR_NO_ROWS);
        return 1;
    }
    const int p = m_numx.value;
    // B, BSE and BP hold nine coefficients: more columns would have to overwrite one.
    if (p > QmParaVector::SIZE) {
        m_b.RecordError(QM_ERR_PARA_INDEX);
        return 1;
    }
    std::vector<std::unique_ptr<QmSourceData>> x;
    int start = y.first;
    for (int k = 0; k < p; ++k) {
        const char* name = static_cast<const char*>(m_xdata.ItemAt(k));
        auto column = std::make_unique<QmSourceData>(stat.m_worksheetName, name ? name : "");
        if (!column->HasDataset())
            return 1;
        start = std::max(start, column->first);
        x.push_back(std::move(column));
    }
    std::vector<std::vector<double>> columns(p);
    std::vector<double> yv;
    std::vector<int> rows;
    for (int row = start; row < y.end; ++row) {
        double v = y.GetAt(row);
        if (IsMissingValue(v))
            continue;
        bool complete = true;
        std::vector<double> xs(p);
        for (int k = 0; k < p && complete; ++k) {
            xs[k] = x[k]->GetAt(row);
            complete = !IsMissingValue(xs[k]);
        }
        if (!complete)
            continue;
        for (int k = 0; k < p; ++k)
            columns[k].push_back(xs[k]);
        yv.push_back(v);
        rows.push_back(row);
    }
    ModelResult fit = qxstats::FitMultiple(columns, yv, stat.m_confLevel.value,
                                           stat.m_chiSqrErr.value != 0);
    if (fit.error) {
        RecordError(fit.error);
        return 1;
    }
    WriteResults(stat, fit);
    WriteResiduals(stat, rows, fit.residuals, start);
    return 0;
}

int StatMR::Process(double* result, QmDLL* root)
{
    Stat& stat = *static_cast<Stat*>(root);
    int count = 0;
    m_xdata.GetVectorSize(&count);
    m_numx.value = count;
    return Fit(stat);
}

// ---- PR ------------------------------------------------------------------------------

StatPR::StatPR() : m_table{{&m_order, "ORDER"}, {nullptr, nullptr}}
{
    SetTable(m_table);
}

int StatPR::Fit(Stat& stat, ModelResult& fit)
{
    const int order = m_order.value;
    if (order < 0 || order > 9) {
        RecordError(STAT_ERR_PR_ORDER);
        return 1;
    }
    QmSourceData data(Stat::NameOf(stat.m_data), 1);
    if (!data.HasDataset()) {
        RecordError(STAT_ERR_NO_COLUMN);
        return 1;
    }
    if (!data.ClipRange(1)) {
        RecordError(STAT_ERR_NO_ROWS);
        return 1;
    }
    QmErrData errors(Stat::NameOf(stat.m_errBarData), 1);
    StatPoints points;
    if (CollectPoints(data, errors, points) != 0) {
        RecordError(STAT_ERR_PR_DATA);
        return 1;
    }
    fit = qxstats::FitPolynomial(points.x, points.y, points.sigma, order, stat.m_confLevel.value,
                                 stat.m_chiSqrErr.value != 0);
    if (fit.error) {
        RecordError(fit.error);
        return 1;
    }
    WriteResults(stat, fit);
    stat.m_xmean.value = fit.XMEAN;
    stat.m_sxx.value = fit.SXX;
    WriteResiduals(stat, points.rows, fit.residuals);
    return 0;
}

int StatPR::Process(double* result, QmDLL* root)
{
    Stat& stat = *static_cast<Stat*>(root);
    ModelResult fit;
    int r = Fit(stat, fit);
    *result = r;
    if (r != 0)
        return 0;
    return WriteCurves(
        stat, [&fit](double x) { return qxstats::PolynomialValue(fit, x); },
        [&fit](double x, bool prediction, double* h) {
            // A band of the constant fit is not drawn: there is no curve shape to follow.
            if (fit.order < 1)
                return int(STAT_ERR_PR_ORDER);
            if (fit.SXX == 0)
                *h = 0;
            else if (!IsMissingValue(fit.T) && !IsMissingValue(fit.SD))
                *h = fit.T * fit.SD *
                     std::sqrt(qxstats::PolynomialBandFactor(fit, x) + (prediction ? 1 : 0));
            return 0;
        },
        STAT_ERR_PR_CURVE, STAT_ERR_PR_CONFIDENCE, STAT_ERR_PR_PREDICTION);
}
