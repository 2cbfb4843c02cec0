// DS: costly results are computed only when the script asked for them (set them to
// 1234 before the call) or when MORE is above 0; the others keep their values.
#include "StatObject.h"
#include "StatCore.h"
#include "StatMatrices.h"

IMPLEMENT_DYNAMIC(StatDS, StatMethod)

StatDS::StatDS()
    : m_table{{&m_data, "DATA"},         {&m_cname, "CNAME"},       {&m_size, "SIZE"},
              {&m_missing, "MISSING"},   {&m_mean, "MEAN"},         {&m_se, "SE"},
              {&m_cil, "CIL"},           {&m_ciu, "CIU"},           {&m_sd, "SD"},
              {&m_min, "MIN"},           {&m_max, "MAX"},           {&m_range, "RANGE"},
              {&m_median, "MEDIAN"},     {&m_medcil, "MEDCIL"},     {&m_medciu, "MEDCIU"},
              {&m_sum, "SUM"},           {&m_ssq, "SSQ"},           {&m_var, "VAR"},
              {&m_ad, "AD"},             {&m_skew, "SKEW"},         {&m_kurt, "KURT"},
              {&m_geomean, "GEOMEAN"},   {&m_testnorm, "TESTNORM"}, {&m_conflev, "CONFLEV"},
              {&m_q25, "QUARTL25"},      {&m_q50, "QUARTL50"},      {&m_q75, "QUARTL75"},
              {&m_more, "MORE"},         {&m_percent, "PERCENT"},   {&m_percentile, "PERCENTILE"},
              {&m_interpolate, "INTERPOLATE"}, {nullptr, nullptr}}
{
    // One optional text, recorded as given or not; nothing reads it.
    AddArgument(new QmString);
    SetTable(m_table);
}

void StatDS::InitTableSubproperties(QmDLL* root)
{
    StatMethod::InitTableSubproperties(root);
    // The level the root's CONFLEVEL starts with too; 0 would make both limits the mean.
    m_conflev.value = 0.95;
}

int StatDS::Process(double* result, QmDLL* root)
{
    *result = 0.0;
    QmSourceData data(Stat::NameOf(m_data), 1);
    if (!data.HasDataset())
        return 1;
    std::vector<double> values;
    values.reserve(data.end > data.first ? size_t(data.end - data.first) : 0);
    for (int row = data.first; row < data.end; ++row)
        values.push_back(data.GetAt(row));

    const bool more = m_more.value > 0;
    qxstats::DescriptiveRequest q;
    q.geoMean = m_geomean.IsNeeded() != 0;
    q.meanDeviation = more || m_ad.IsNeeded();
    q.moments = more || m_sd.IsNeeded() || m_ssq.IsNeeded() || m_var.IsNeeded() ||
                m_skew.IsNeeded() || m_kurt.IsNeeded() || m_se.IsNeeded();
    q.confidence = more || m_cil.IsNeeded() || m_ciu.IsNeeded();
    q.confLevel = m_conflev.value;
    qxstats::DescriptiveResult r = qxstats::Describe(values, q);

    // The order statistics and the normality test come from the sorted sample.
    const bool normality = more || m_testnorm.IsNeeded();
    const bool median = more || m_median.IsNeeded();
    const bool q25 = more || m_q25.IsNeeded();
    const bool q50 = more || m_q50.IsNeeded();
    const bool q75 = more || m_q75.IsNeeded();
    const bool percentile = more || m_percentile.IsNeeded();
    if (normality || median || q25 || q50 || q75 || percentile) {
        int missing = 0;
        KSStatVec sample(data, missing);
        QmBool always, interpolate;
        always.value = 1;
        interpolate.value = m_interpolate.value != 0;
        if (normality) {
            double d;
            sample.Normality(&d, &m_testnorm.value);
        }
        // The median is always interpolated; the quartiles and the percentile as asked.
        if (median)
            m_median.value = sample.Percentile(50, always);
        if (q25)
            m_q25.value = sample.Percentile(25, interpolate);
        if (q50)
            m_q50.value = sample.Percentile(50, interpolate);
        if (q75)
            m_q75.value = sample.Percentile(75, interpolate);
        if (percentile)
            m_percentile.value = m_percent.value > 0 && m_percent.value < 100
                                     ? sample.Percentile(m_percent.value, interpolate)
                                     : MISSING_VALUE;
    }

    m_size.value = r.sum.count;
    m_sum.value = r.sum.total;
    m_missing.value = r.sum.missing;
    m_mean.value = r.sum.mean;
    m_min.value = r.sum.min;
    m_max.value = r.sum.max;
    m_range.value = r.range;
    m_geomean.value = r.sum.geoMean;
    if (q.meanDeviation)
        m_ad.value = r.meanDeviation;
    if (q.moments) {
        m_ssq.value = r.moments.ssq;
        m_var.value = r.moments.variance;
        m_sd.value = r.moments.sd;
        m_skew.value = r.moments.skewness;
        m_kurt.value = r.moments.kurtosis;
        m_se.value = r.se;
    }
    if (q.confidence) {
        m_cil.value = r.cil;
        m_ciu.value = r.ciu;
    }
    return 0;
}
