#include "StatObject.h"

IMPLEMENT_DYNAMIC(StatMethod, QmMethod)
IMPLEMENT_DYNAMIC(MakeXdata, StatMethod)
IMPLEMENT_DYNAMIC(Stat, QmWks)

namespace {

Stat theStat;

} // namespace

QmDLL& QmRootObject()
{
    return theStat;
}

// ---- StatMethod ----------------------------------------------------------------------

int StatMethod::Begin(const char* argText, QmDLL* root)
{
    if (QmMethod::Begin(argText, root) != 0)
        return 1;
    Stat* stat = static_cast<Stat*>(root);
    scaleToken = QmCallHost(HOST_REQ_300B, stat->m_apparent.value ? 6 : 0, 0);
    return 0;
}

void StatMethod::CloseBracket()
{
    if (QmHostBound())
        QmCallHost(HOST_REQ_300B, scaleToken, 0);
}

void StatMethod::End(QmDLL* root)
{
    CloseBracket();
    QmDeleteObjectList();
    QmUpdateHost();
}

void StatMethod::SetTable(QmTableEntry* table)
{
    for (QmTableEntry* e = table; e->name; ++e)
        e->object->SetName(e->name);
}

int StatMethod::CollectPoints(QmSourceData& data, QmErrData& errors, StatPoints& points)
{
    for (int row = data.first; row < data.end; ++row) {
        double pair[2];
        if (data.GetAttributes(row, pair) != 0)
            continue;
        // A point with a missing coordinate is no point.
        if (IsMissingValue(pair[0]) || IsMissingValue(pair[1]))
            continue;
        double sigma = 1;
        if (errors.GetSigma(row, &sigma) != 0)
            return 1;
        points.x.push_back(pair[0]);
        points.y.push_back(pair[1]);
        points.sigma.push_back(sigma);
        points.rows.push_back(row);
    }
    return 0;
}

void StatMethod::WriteResiduals(Stat& stat, const std::vector<int>& rows,
                                const std::vector<double>& values, int start)
{
    QmResultData residuals(Stat::NameOf(stat.m_resData), 1);
    if (!residuals.HasDataset())
        return;
    residuals.SetMode(4);
    for (size_t i = 0; i < rows.size() && i < values.size(); ++i)
        residuals.SetWithMode(start < 0 ? rows[i] : residuals.first + (rows[i] - start), values[i]);
}

int StatMethod::WriteCurves(Stat& stat, const std::function<double(double)>& curve,
                            const StatHalfWidth& halfWidth, int curveError, int confidenceError,
                            int predictionError)
{
    QmSourceData fx(Stat::NameOf(stat.m_fitXData), 1);
    fx.SetMode(2);
    if (!fx.HasDataset() || fx.IsEmpty())
        return 0;
    QmResultData fy(Stat::NameOf(stat.m_fitYData), 1);
    fy.SetMode(4);
    auto fail = [&](int code) {
        if (code)
            RecordError(code);
        RecordError(curveError);
        return 1;
    };
    if (fy.IsError())
        return fail(0);
    for (int row = fx.first; row < fx.end; ++row) {
        double x = fx.GetWithMode(row);
        if (fy.SetWithMode(row, IsMissingValue(x) ? MISSING_VALUE : curve(x)) != 0)
            return fail(0);
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
        const int bandError = band.prediction ? predictionError : confidenceError;
        QmResultData out(band.name->text, 1);
        out.SetMode(4);
        if (!out.HasDataset())
            return fail(bandError);
        for (int row = fx.first; row < fx.end; ++row) {
            double x = fx.GetWithMode(row);
            double v = MISSING_VALUE;
            if (!IsMissingValue(x)) {
                double y = fy.GetWithMode(row), h = MISSING_VALUE;
                if (int refused = halfWidth(x, band.prediction, &h)) {
                    RecordError(refused);
                    return fail(bandError);
                }
                if (!IsMissingValue(y) && !IsMissingValue(h))
                    v = y + band.sign * h;
            }
            if (out.SetWithMode(row, v) != 0)
                return fail(bandError);
        }
    }
    return 0;
}

// ---- MAKEX ---------------------------------------------------------------------------

MakeXdata::MakeXdata()
    : m_table{{&m_fitNpts, "FITNPTS"}, {&m_fitX1, "FITX1"}, {&m_fitX2, "FITX2"},
              {&m_margin, "MARGIN"}, {nullptr, nullptr}}
{
    SetTable(m_table);
}

int MakeXdata::Process(double* result, QmDLL* root)
{
    Stat& stat = *static_cast<Stat*>(root);
    *result = 1.0;
    QmResultData x(Stat::NameOf(stat.m_fitXData), 1);
    if (!x.HasDataset())
        return 1;
    x.SetMode(2);
    if (x.SetRange(0, m_fitNpts.value) != 0 || x.IsEmpty())
        return 1;
    double x1 = m_fitX1.value, x2 = m_fitX2.value;
    // The margin widens the range as the axis shows it, so a logarithmic axis gets
    // equal margins on both sides.
    if (stat.m_apparent.value) {
        QmCallHost(HOST_TO_AXIS_SCALE, reinterpret_cast<INT_PTR>(&x1), reinterpret_cast<INT_PTR>(&x1));
        QmCallHost(HOST_TO_AXIS_SCALE, reinterpret_cast<INT_PTR>(&x2), reinterpret_cast<INT_PTR>(&x2));
    }
    double w = x2 - x1;
    x1 -= m_margin.value * w * 0.01;
    x2 += m_margin.value * w * 0.01;
    if (stat.m_apparent.value) {
        QmCallHost(HOST_FROM_AXIS_SCALE, reinterpret_cast<INT_PTR>(&x1), reinterpret_cast<INT_PTR>(&x1));
        QmCallHost(HOST_FROM_AXIS_SCALE, reinterpret_cast<INT_PTR>(&x2), reinterpret_cast<INT_PTR>(&x2));
    }
    int r = stat.MakeLinearData(x, x1, x2);
    *result = r;
    return r;
}

// ---- The root ------------------------------------------------------------------------

Stat::Stat()
    : m_props{{&m_confLevel, "CONFLEVEL"}, {&m_df, "DF"},          {&m_r, "R"},
              {&m_sd, "SD"},               {&m_xmean, "XMEAN"},    {&m_ymean, "YMEAN"},
              {&m_cod, "COD"},             {&m_adrsq, "ADRSQ"},    {&m_npts, "NPTS"},
              {&m_chiSqrErr, "CHISQRERR"}, {&m_ssr, "SSR"},        {&m_sse, "SSE"},
              {&m_ssto, "SSTO"},           {&m_sxx, "SXX"},        {&m_msr, "MSR"},
              {&m_mse, "MSE"},             {&m_wtotal, "WTOTAL"},  {&m_fvalue, "Fvalue"},
              {&m_pvalue, "Pvalue"},       {&m_fitYData, "FITYDATA"}, {&m_fitXData, "FITXDATA"},
              {&m_uclData, "UCLDATA"},     {&m_lclData, "LCLDATA"}, {&m_uplData, "UPLDATA"},
              {&m_lplData, "LPLDATA"},     {&m_errBarData, "ERRBARDATA"},
              {&m_resData, "RESDATA"},     {nullptr, nullptr}},
      m_meths{{&m_reset, "RESET"}, {&m_lr, "LR"},       {&m_pr, "PR"}, {&m_mr, "MR"},
              {&m_makeX, "MAKEX"}, {&m_ds, "DS"},       {nullptr, nullptr}}
{
    name_table(m_props);
    name_table(m_meths);
    Stat::ResetAll();
}

int Stat::Property(const char* name, int flags, void* value)
{
    int r = find_value(name, flags, value, m_props, nullptr);
    return r ? r : QmWks::Property(name, flags, value);
}

void Stat::ListAll()
{
    list_table(m_meths, nullptr);
    list_table(m_props, nullptr);
    QmWks::ListAll();
}

int Stat::Command(const char* methodName, const char* argText, double* result)
{
    int r = find_command(methodName, argText, result, m_meths);
    return r ? r : QmWks::Command(methodName, argText, result);
}

int Stat::CommandValue(const char* methodName, const char* name, void* value, int flags)
{
    int r = find_command_value(methodName, name, flags, value, m_meths);
    return r ? r : QmWks::CommandValue(methodName, name, value, flags);
}

void Stat::ResetAll()
{
    QmWks::ResetAll();
    init_table(m_props);
    init_table(m_meths);
    SetStatDefaults();
    QmClearErrors();
}

void Stat::SetStatDefaults()
{
    m_confLevel.value = 0.95;
    m_r.value = MISSING_VALUE;
    m_cod.value = MISSING_VALUE;
    m_adrsq.value = MISSING_VALUE;
    m_fvalue.value = MISSING_VALUE;
    m_pvalue.value = MISSING_VALUE;
    m_version.value = 3.6;
    m_spare.value = 1.0;
}

// Kept for hosts that call it after a worksheet changed; the statistics keep no state
// that depends on worksheets, so there is nothing to update.
extern "C" __declspec(dllexport) DWORD WINAPI WKS_Update(DWORD, DWORD, DWORD, DWORD, DWORD)
{
    return 0xEDCBABCD;
}
