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

int MRPRRegression::FindOwnThenCore(QmDLL* root, const char* subName, int flags, void* value,
                                    QmTableEntry* own)
{
    int r = find_subproperty(root, subName, flags, value, own);
    if (r)
        return r;
    r = find_subproperty(root, subName, flags, value, m_coreTable);
    if (r)
        return r;
    return QmMethod::FindSubproperty(root, subName, flags, value);
}

void MRPRRegression::ListOwnThenCore(const char* prefix, QmDLL* root, QmTableEntry* own)
{
    list_subproperties(own, prefix, root);
    list_subproperties(m_coreTable, prefix, root);
}

void MRPRRegression::InitOwnThenCore(QmDLL* root, QmTableEntry* own)
{
    init_table_subproperties(own, root);
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
    for (size_t k = 0; k < fit.B.size() && k < QmParaVector::SIZE; ++k) {
        m_b.values[k] = fit.B[k];
        m_bse.values[k] = fit.BSE[k];
        m_bp.values[k] = fit.BP[k];
    }
}

// ---- MR ------------------------------------------------------------------------------

StatMR::StatMR()
    : m_table{{&m_pin, "PIN"},   {&m_pout, "POUT"}, {&m_ydata, "YDATA"}, {&m_xdata, "XDATA"},
              {&m_numx, "NUMX"}, {&m_bestR2Wks, "BESTR2WKS"}, {nullptr, nullptr}}
{
    SetTable(m_table);
}

int StatMR::FindSubproperty(QmDLL* root, const char* subName, int flags, void* value)
{
    return FindOwnThenCore(root, subName, flags, value, m_table);
}

void StatMR::ListSubproperties(const char* prefix, QmDLL* root)
{
    ListOwnThenCore(prefix, root, m_table);
}

void StatMR::InitTableSubproperties(QmDLL* root)
{
    InitOwnThenCore(root, m_table);
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
    QmResultData residuals(Stat::NameOf(stat.m_resData), 1);
    residuals.SetMode(4);
    if (residuals.HasDataset())
        for (size_t i = 0; i < rows.size(); ++i)
            residuals.SetWithMode(residuals.first + (rows[i] - start), fit.residuals[i]);
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

int StatPR::FindSubproperty(QmDLL* root, const char* subName, int flags, void* value)
{
    return FindOwnThenCore(root, subName, flags, value, m_table);
}

void StatPR::ListSubproperties(const char* prefix, QmDLL* root)
{
    ListOwnThenCore(prefix, root, m_table);
}

void StatPR::InitTableSubproperties(QmDLL* root)
{
    InitOwnThenCore(root, m_table);
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
    std::vector<double> x, y, sigma;
    std::vector<int> rows;
    for (int row = data.first; row < data.end; ++row) {
        double pair[2];
        if (data.GetAttributes(row, pair) != 0)
            continue;
        if (IsMissingValue(pair[0]) || IsMissingValue(pair[1]))
            continue;
        double s = 1;
        if (errors.GetSigma(row, &s) != 0) {
            RecordError(STAT_ERR_PR_DATA);
            return 1;
        }
        x.push_back(pair[0]);
        y.push_back(pair[1]);
        sigma.push_back(s);
        rows.push_back(row);
    }
    fit = qxstats::FitPolynomial(x, y, sigma, order, stat.m_confLevel.value,
                                 stat.m_chiSqrErr.value != 0);
    if (fit.error) {
        RecordError(fit.error);
        return 1;
    }
    WriteResults(stat, fit);
    stat.m_xmean.value = fit.XMEAN;
    stat.m_sxx.value = fit.SXX;
    QmResultData residuals(Stat::NameOf(stat.m_resData), 1);
    residuals.SetMode(4);
    if (residuals.HasDataset())
        for (size_t i = 0; i < rows.size(); ++i)
            residuals.SetWithMode(rows[i], fit.residuals[i]);
    return 0;
}

int StatPR::WriteCurves(Stat& stat, const ModelResult& fit)
{
    QmSourceData fx(Stat::NameOf(stat.m_fitXData), 1);
    fx.SetMode(2);
    if (!fx.HasDataset() || fx.IsEmpty())
        return 0;
    QmResultData fy(Stat::NameOf(stat.m_fitYData), 1);
    fy.SetMode(4);
    if (fy.IsError()) {
        RecordError(STAT_ERR_PR_CURVE);
        return 1;
    }
    for (int row = fx.first; row < fx.end; ++row) {
        double x = fx.GetWithMode(row);
        fy.SetWithMode(row, IsMissingValue(x) ? MISSING_VALUE : qxstats::PolynomialValue(fit, x));
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
        QmResultData out(Stat::NameOf(*band.name), 1);
        if (!out.HasDataset())
            continue;
        out.SetMode(4);
        const int failure = band.prediction ? STAT_ERR_PR_PREDICTION : STAT_ERR_PR_CONFIDENCE;
        // A band of the constant fit is not drawn: there is no curve shape to follow.
        if (fit.order < 1) {
            RecordError(STAT_ERR_PR_ORDER);
            RecordError(failure);
            RecordError(STAT_ERR_PR_CURVE);
            return 1;
        }
        const bool defined = !IsMissingValue(fit.T) && !IsMissingValue(fit.SD);
        for (int row = fx.first; row < fx.end; ++row) {
            double x = fx.GetWithMode(row);
            double v = MISSING_VALUE;
            if (!IsMissingValue(x)) {
                double yv = fy.GetWithMode(row);
                if (IsMissingValue(yv) || fit.SXX == 0) {
                    v = yv;
                } else if (defined) {
                    double q = qxstats::PolynomialBandFactor(fit, x) + (band.prediction ? 1 : 0);
                    v = yv + band.sign * fit.T * fit.SD * std::sqrt(q);
                }
            }
            out.SetWithMode(row, v);
        }
    }
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
    return WriteCurves(stat, fit);
}
