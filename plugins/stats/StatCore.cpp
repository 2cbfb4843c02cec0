#include "StatCore.h"

#include "qxdefs.h"
#include "qxutil.h"

#include <algorithm>
#include <cmath>

namespace qxstats {

void KahanSum::Add(double x)
{
    double t = sum_ + x;
    if (std::fabs(sum_) >= std::fabs(x))
        carry_ += (sum_ - t) + x;
    else
        carry_ += (x - t) + sum_;
    sum_ = t;
}

SimpleSum ComputeSimpleSum(const std::vector<double> &values, bool wantGeoMean)
{
    SimpleSum s;
    s.mean = s.min = s.max = MISSING_VALUE;
    s.geoMean = MISSING_VALUE;
    KahanSum total, logSum;
    bool logValid = wantGeoMean;
    for (double x : values) {
        if (IsMissingValue(x)) {
            ++s.missing;
            continue;
        }
        ++s.count;
        if (IsMissingValue(s.max) || x > s.max)
            s.max = x;
        if (IsMissingValue(s.min) || x < s.min)
            s.min = x;
        total.Add(x);
        if (logValid) {
            if (x > 0)
                logSum.Add(std::log(x));
            else
                logValid = false;
        }
    }
    s.total = total.Value();
    if (s.count > 0) {
        s.mean = s.total / s.count;
        if (logValid)
            s.geoMean = std::exp(logSum.Value() / s.count);
    }
    return s;
}

SortedValues::SortedValues(const std::vector<double> &values, bool sort)
{
    x_.reserve(values.size());
    for (double v : values)
        if (!IsMissingValue(v))
            x_.push_back(v);
    // Introsort: O(n log n) with bounded recursion depth, whatever the order of the input.
    if (sort)
        std::sort(x_.begin(), x_.end());
}

double SortedValues::Mean() const
{
    if (x_.empty())
        return 0;
    KahanSum total;
    for (double v : x_)
        total.Add(v);
    double n = double(x_.size());
    double mean = total.Value() / n;
    // One correction pass removes what rounding of the total left in the mean.
    KahanSum correction;
    for (double v : x_)
        correction.Add(v - mean);
    return mean + correction.Value() / n;
}

Moments SortedValues::ComputeMoments() const
{
    Moments m;
    int n = Size();
    if (n < 2)
        return m;
    double mean = Mean();
    // Corrected two-pass sums: the sum of deviations, which is zero in exact arithmetic,
    // corrects the squared sum for what the rounding of the mean left over.
    KahanSum d1, d2, d3, d4;
    for (double v : x_) {
        double d = v - mean;
        double d2v = d * d;
        d1.Add(d);
        d2.Add(d2v);
        d3.Add(d2v * d);
        d4.Add(d2v * d2v);
    }
    double nn = n;
    m.valid = true;
    m.ssq = d2.Value();
    m.variance = (m.ssq - d1.Value() * d1.Value() / nn) / (nn - 1);
    if (m.variance < 0)
        m.variance = 0;
    m.sd = std::sqrt(m.variance);
    if (m.variance == 0 || n <= 3) {
        m.skewness = m.kurtosis = MISSING_VALUE;
    } else {
        double v = m.variance;
        m.skewness = nn * d3.Value() / (v * m.sd * (nn - 1) * (nn - 2));
        m.kurtosis = (nn * (nn + 1) * d4.Value() - 3 * (nn - 1) * m.ssq * m.ssq) /
                     (v * v * (nn - 1) * (nn - 2) * (nn - 3));
    }
    return m;
}

double SortedValues::Percentile(double p, bool interpolate) const
{
    int n = Size();
    if (!(p >= 0 && p <= 100) || n == 0)
        return MISSING_VALUE;
    if (n == 1)
        return x_[0];
    if (interpolate) {
        double f = (n + 1) * p / 100;
        double g = std::floor(f);
        double r = f - g;
        if (g < 1)
            return x_[0];
        if (g >= n)
            return x_[n - 1];
        int k = int(g);   // 1-based rank k is x_[k - 1]
        if (r == 0)
            return x_[k - 1];
        return (1 - r) * x_[k - 1] + r * x_[k];
    }
    int g = int((n - 1) * p / 100 + 0.5);
    if (g < 1)
        return x_[0];
    return x_[std::min(g, n - 1)];
}

double NormalCDF(double x, double m, double s)
{
    if (s == 0)
        return MISSING_VALUE;
    if (std::fabs(s) < 1 && std::fabs(x - m) >= std::fabs(s) * 1.7e307)
        return MISSING_VALUE;
    double z = (x - m) / s / std::sqrt(2.0);
    UtilErf(&z);
    if (IsMissingValue(z))
        return MISSING_VALUE;
    return (z + 1) / 2;
}

double KolmogorovProbability(double t)
{
    double a = -2 * t * t;
    double sum = 0, previous = 0, sign = 2;
    for (int k = 1; k <= 200; ++k) {
        double term = sign * std::exp(a * k * k);
        sum += term;
        if (std::fabs(term) <= 1e-4 * previous || std::fabs(term) <= 1e-9 * sum)
            return sum;
        sign = -sign;
        previous = std::fabs(term);
    }
    return 1;
}

double SortedValues::NormalityProbability() const
{
    double d, probability;
    NormalityTest(&d, &probability);
    return probability;
}

bool SortedValues::NormalityTest(double *statistic, double *probability) const
{
    *statistic = *probability = MISSING_VALUE;
    int n = Size();
    if (n <= 1)
        return false;
    Moments m = ComputeMoments();
    double mean = Mean();
    double s = std::sqrt(m.ssq / (n - 1));
    double d = 0;
    for (int i = 1; i <= n; ++i) {
        double f = NormalCDF(x_[i - 1], mean, s);
        if (IsMissingValue(f))
            return false;
        d = std::max(d, std::max(std::fabs(double(i - 1) / n - f), std::fabs(double(i) / n - f)));
    }
    double rn = std::sqrt(double(n));
    *statistic = d;
    *probability = KolmogorovProbability(d * (rn + 0.12 + 0.11 / rn));
    return true;
}

double TQuantileForLevel(double level, double df)
{
    double p = (1 + level) / 2;
    if (!(p >= 0 && p <= 1) || !(df >= 1))
        return MISSING_VALUE;
    double args[2] = {p, df};
    double t = MISSING_VALUE;
    if (UtilStudentTInverse(args, &t) != 0)
        return MISSING_VALUE;
    return t;
}

DescriptiveResult Describe(const std::vector<double> &values, const DescriptiveRequest &request)
{
    DescriptiveResult r;
    r.sum = ComputeSimpleSum(values, request.geoMean);
    const SimpleSum &s = r.sum;
    r.range = s.count > 0 ? s.max - s.min : 0;

    r.meanDeviation = MISSING_VALUE;
    if (request.meanDeviation && s.count > 0) {
        KahanSum ad;
        for (double x : values)
            if (!IsMissingValue(x))
                ad.Add(std::fabs(x - s.mean));
        r.meanDeviation = ad.Value() / s.count;
    }

    bool needOrder = request.normality || request.median || request.quartile25 ||
                     request.quartile50 || request.quartile75 || request.percentile;
    SortedValues sorted(values, needOrder);
    r.se = MISSING_VALUE;
    if (request.moments || request.confidence) {
        r.moments = sorted.ComputeMoments();
        if (r.moments.valid)
            r.se = r.moments.sd / std::sqrt(double(s.count));
    }
    if (request.moments && !r.moments.valid) {
        // Fewer than two values: no spread is defined; say so instead of keeping an
        // earlier dataset's figures.
        r.moments.ssq = s.count == 1 ? 0 : MISSING_VALUE;
        r.moments.variance = r.moments.sd = MISSING_VALUE;
        r.moments.skewness = r.moments.kurtosis = MISSING_VALUE;
    }

    r.normality = request.normality ? sorted.NormalityProbability() : MISSING_VALUE;
    r.median = request.median ? sorted.Percentile(50, true) : MISSING_VALUE;
    r.quartile25 = request.quartile25 ? sorted.Percentile(25, request.interpolate) : MISSING_VALUE;
    r.quartile50 = request.quartile50 ? sorted.Percentile(50, request.interpolate) : MISSING_VALUE;
    r.quartile75 = request.quartile75 ? sorted.Percentile(75, request.interpolate) : MISSING_VALUE;
    r.percentile = MISSING_VALUE;
    if (request.percentile && request.percent > 0 && request.percent < 100)
        r.percentile = sorted.Percentile(request.percent, request.interpolate);

    r.cil = r.ciu = MISSING_VALUE;
    if (request.confidence && !IsMissingValue(r.se)) {
        double t = TQuantileForLevel(request.confLevel, s.count - 1);
        if (!IsMissingValue(t)) {
            r.cil = s.mean - t * r.se;
            r.ciu = s.mean + t * r.se;
        }
    }
    return r;
}

} // namespace qxstats
