// Descriptive statistics of one column of values, independent of the script object that
// presents them. The object layer (StatDS) decides which results were asked for and
// writes them to its sub-properties; everything numeric happens here.
//
// How the results are checked: the certified univariate reference sets (mean, standard
// deviation) to at least 12 significant digits, 9 for the sets built to defeat one-pass
// formulas; the order statistics and moments against values worked out by hand.
#pragma once
#include <vector>

namespace qxstats {

// Compensated (Neumaier) running sum: the error of each addition is carried separately,
// so sums of many values of mixed size keep their digits.
class KahanSum {
public:
    void Add(double x);
    double Value() const { return sum_ + carry_; }

private:
    double sum_ = 0;
    double carry_ = 0;
};

// One pass over the values: count, missing values, extremes, total and (on request) the
// logarithm sum of the geometric mean.
struct SimpleSum {
    int count = 0;
    int missing = 0;
    double total = 0;
    double mean;           // MISSING_VALUE until a value was added
    double min;
    double max;
    double geoMean;        // MISSING_VALUE unless asked for and every value is positive
};
SimpleSum ComputeSimpleSum(const std::vector<double> &values, bool wantGeoMean);

// Moments about the mean of the values that are not missing (n >= 2, else invalid).
struct Moments {
    bool valid = false;
    double ssq;        // sum of squared deviations
    double variance;   // sample variance, n - 1 in the divisor
    double sd;
    double skewness;   // MISSING_VALUE for n <= 3 or zero variance
    double kurtosis;   // excess kurtosis, same conditions
};

// A copy of the values that are not missing, sorted unless the caller needs no order
// statistic (the moments do not depend on the order): percentiles and the normality test
// need it sorted.
class SortedValues {
public:
    explicit SortedValues(const std::vector<double> &values, bool sort = true);

    int Size() const { return int(x_.size()); }
    const std::vector<double> &Values() const { return x_; }

    // Mean of the sorted values, computed in two passes (mean, then the mean correction).
    double Mean() const;
    Moments ComputeMoments() const;

    // The p-th percentile (0 <= p <= 100, else MISSING_VALUE; MISSING_VALUE for no values).
    // With interpolation the rank is (n + 1) p / 100 on the 1-based sorted values, linear
    // between neighbours and clamped to the ends, so the median of 2, 4, 6 is 4 and of
    // 1, 2, 3, 4 is 2.5. Without it the value at the rounded 0-based rank (n - 1) p / 100.
    double Percentile(double p, bool interpolate) const;

    // Kolmogorov-Smirnov probability that the values come from a normal distribution with
    // their own mean and standard deviation; MISSING_VALUE for n <= 1 or zero spread.
    double NormalityProbability() const;
    // The same test with its statistic D (the largest distance between the sample's and
    // the normal distribution function); false, and both MISSING_VALUE, where the
    // probability would be.
    bool NormalityTest(double *d, double *probability) const;

private:
    std::vector<double> x_;
};

// The normal cumulative probability of x for mean m and standard deviation s;
// MISSING_VALUE for s = 0 or when (x - m) / s would overflow.
double NormalCDF(double x, double m, double s);

// Kolmogorov's limiting series for the two-sided probability of the scaled statistic t:
// 2 sum (-1)^(k-1) exp(-2 k^2 t^2); 1 when it does not settle within 200 terms.
double KolmogorovProbability(double t);

// Two-sided Student t quantile for a confidence level (the (1 + level) / 2 quantile)
// with df degrees of freedom; MISSING_VALUE when the level is outside [0, 1) or df < 1.
double TQuantileForLevel(double level, double df);

// Which results the caller wants; the rest keep their old values in the caller.
struct DescriptiveRequest {
    bool geoMean = false;
    bool meanDeviation = false;
    bool moments = false;       // SSQ, VAR, SD, SKEW, KURT, SE
    bool normality = false;
    bool median = false;
    bool quartile25 = false;
    bool quartile50 = false;
    bool quartile75 = false;
    bool percentile = false;
    bool confidence = false;    // CIL and CIU
    bool interpolate = false;   // for quartiles and the percentile; the median always is
    double percent = 0;
    double confLevel = 0.95;
};

struct DescriptiveResult {
    SimpleSum sum;
    double range;
    double meanDeviation;
    Moments moments;            // valid only when requested and n >= 2
    double se;
    double normality;
    double median;
    double quartile25, quartile50, quartile75;
    double percentile;
    double cil, ciu;
};

// Every result that is requested is computed; the ones that need two or more values
// (moments, SE, confidence limits) are MISSING_VALUE with fewer, rather than stale.
DescriptiveResult Describe(const std::vector<double> &values, const DescriptiveRequest &request);

} // namespace qxstats
