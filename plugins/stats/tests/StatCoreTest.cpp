// Descriptive statistics. Reference values: the certified univariate reference sets;
// for the fixture of eight values, a 40-digit computation of the textbook formulas
// (sample skewness G1, excess kurtosis G2, the Kolmogorov series summed to the end);
// small cases worked out by hand.
#include "StatCore.h"
#include "NistData.h"

#include "qxdefs.h"
#include "qxtest/Numeric.h"

#include <gtest/gtest.h>

using namespace qxstats;

namespace {

const double M = MISSING_VALUE;

DescriptiveRequest Everything()
{
    DescriptiveRequest q;
    q.geoMean = q.meanDeviation = q.moments = q.normality = q.median = true;
    q.quartile25 = q.quartile50 = q.quartile75 = q.percentile = q.confidence = true;
    return q;
}

} // namespace

// Mean and standard deviation of the certified sets: at least 12 significant digits, 9 for
// the sets whose values differ only in their last digits (a one-pass variance fails them).
TEST(DescriptiveStatistics, CertifiedUnivariateSets)
{
    struct Case {
        const char *file;
        double mean, sd, minLre;
    } cases[] = {
        {"PiDigits.dat", 4.53480000000000, 2.86733906028871, 12},
        {"Lew.dat", -177.435000000000, 277.332168044316, 12},
        {"Michelso.dat", 299.852400000000, 0.0790105478190518, 12},
        {"NumAcc1.dat", 10000002, 1, 9},
        {"NumAcc2.dat", 1.2, 0.1, 9},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<double> v = qxstats_test::Column(qxstats_test::ReadNistRows(c.file), 0);
        ASSERT_GT(v.size(), 2u);
        DescriptiveResult r = Describe(v, Everything());
        EXPECT_GE(qxtest::Lre(r.sum.mean, c.mean), c.minLre) << "mean " << r.sum.mean;
        EXPECT_GE(qxtest::Lre(r.moments.sd, c.sd), c.minLre) << "sd " << r.moments.sd;
    }
}

TEST(DescriptiveStatistics, SmallSampleWithMissingValue)
{
    DescriptiveResult r = Describe({2, M, 4, 6}, Everything());
    EXPECT_EQ(r.sum.count, 3);
    EXPECT_EQ(r.sum.missing, 1);
    EXPECT_EQ(r.sum.mean, 4);
    EXPECT_EQ(r.sum.total, 12);
    EXPECT_EQ(r.sum.min, 2);
    EXPECT_EQ(r.sum.max, 6);
    EXPECT_EQ(r.range, 4);
    EXPECT_EQ(r.moments.ssq, 8);
    EXPECT_EQ(r.moments.variance, 4);
    EXPECT_EQ(r.moments.sd, 2);
    QX_EXPECT_CLOSE("AD", 4.0 / 3, r.meanDeviation, 1e-15);
    // The median of 2, 4, 6 is the middle value.
    EXPECT_EQ(r.median, 4);
    // Three values: skewness and kurtosis are not defined.
    EXPECT_EQ(r.moments.skewness, M);
    EXPECT_EQ(r.moments.kurtosis, M);
    // t(0.975, 2) = 4.302652729749464 (closed form (2p - 1) / sqrt(2p(1 - p))).
    double se = 2 / std::sqrt(3.0);
    QX_EXPECT_CLOSE("SE", se, r.se, 1e-15);
    QX_EXPECT_CLOSE("CIL", 4 - 4.302652729749464 * se, r.cil, 1e-12);
    QX_EXPECT_CLOSE("CIU", 4 + 4.302652729749464 * se, r.ciu, 1e-12);
}

TEST(DescriptiveStatistics, HigherMomentsAndNormalityOfFixture)
{
    DescriptiveResult r = Describe({2.1, 3.7, 1.4, 8.9, 5.5, 4.2, 7.3, 2.8}, Everything());
    QX_EXPECT_CLOSE("MEAN", 4.4875, r.sum.mean, 1e-15);
    QX_EXPECT_CLOSE("SSQ", 47.18875, r.moments.ssq, 1e-14);
    QX_EXPECT_CLOSE("VAR", 6.74125, r.moments.variance, 1e-14);
    QX_EXPECT_CLOSE("SD", 2.596391726993444, r.moments.sd, 1e-14);
    QX_EXPECT_CLOSE("SKEW", 0.6620780862844355, r.moments.skewness, 1e-13);
    QX_EXPECT_CLOSE("KURT", -0.5651199158501704, r.moments.kurtosis, 1e-13);
    QX_EXPECT_CLOSE("AD", 2.059375, r.meanDeviation, 1e-14);
    QX_EXPECT_CLOSE("TESTNORM", 0.9605819304707053, r.normality, 1e-9);
}

// Ranks (n + 1) p / 100 with interpolation; the rounded 0-based rank (n - 1) p / 100
// without it.
TEST(DescriptiveStatistics, PercentileRules)
{
    std::vector<double> oneToFour{4, 2, 3, 1}, oneToTen{10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    struct Case {
        const std::vector<double> *values;
        double p;
        bool interpolate;
        double expected;
    } cases[] = {
        {&oneToFour, 50, true, 2.5},   {&oneToFour, 50, false, 3},
        {&oneToTen, 25, true, 2.75},   {&oneToTen, 75, true, 8.25},
        {&oneToTen, 25, false, 3},     {&oneToTen, 75, false, 8},
        {&oneToTen, 5, true, 1},       {&oneToTen, 95, true, 10},
        {&oneToTen, 0, false, 1},      {&oneToTen, 100, false, 10},
        {&oneToTen, -1, true, M},      {&oneToTen, 100.5, false, M},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "p " << c.p << " interpolate " << c.interpolate
                                        << " n " << c.values->size());
        EXPECT_EQ(SortedValues(*c.values).Percentile(c.p, c.interpolate), c.expected);
    }
    EXPECT_EQ(SortedValues({7}).Percentile(25, true), 7);
    EXPECT_EQ(SortedValues({}).Percentile(50, true), M);

    // The bounds 0 and 100 are not percentages of the percentile result.
    DescriptiveRequest q = Everything();
    for (double percent : {0.0, 100.0}) {
        q.percent = percent;
        EXPECT_EQ(Describe(oneToTen, q).percentile, M);
    }
    q.percent = 30;
    q.interpolate = true;
    EXPECT_DOUBLE_EQ(Describe(oneToTen, q).percentile, 3.3);
    // The median interpolates whatever the setting; quartiles follow it.
    q.interpolate = false;
    DescriptiveResult r = Describe(oneToFour, q);
    EXPECT_EQ(r.median, 2.5);
    EXPECT_EQ(r.quartile50, 3);
}

TEST(DescriptiveStatistics, GeometricMeanAndDegenerateSamples)
{
    DescriptiveRequest q = Everything();
    QX_EXPECT_CLOSE("GEOMEAN", 4, Describe({1, 4, 16}, q).sum.geoMean, 1e-15);
    EXPECT_EQ(Describe({1, 0, 16}, q).sum.geoMean, M);
    EXPECT_EQ(Describe({1, -4, 16}, q).sum.geoMean, M);
    q.geoMean = false;
    EXPECT_EQ(Describe({1, 4, 16}, q).sum.geoMean, M);

    // One value: no spread, no standard error, no confidence limits.
    DescriptiveResult one = Describe({5}, Everything());
    EXPECT_EQ(one.sum.count, 1);
    EXPECT_EQ(one.moments.ssq, 0);
    EXPECT_EQ(one.moments.sd, M);
    EXPECT_EQ(one.moments.variance, M);
    EXPECT_EQ(one.se, M);
    EXPECT_EQ(one.cil, M);
    EXPECT_EQ(one.ciu, M);
    EXPECT_EQ(one.normality, M);
    EXPECT_EQ(one.quartile25, 5);

    // Every value missing.
    DescriptiveResult none = Describe({M, M}, Everything());
    EXPECT_EQ(none.sum.count, 0);
    EXPECT_EQ(none.sum.missing, 2);
    EXPECT_EQ(none.sum.total, 0);
    EXPECT_EQ(none.sum.min, M);
    EXPECT_EQ(none.sum.max, M);
    EXPECT_EQ(none.range, 0);
    EXPECT_EQ(none.median, M);
    EXPECT_EQ(none.normality, M);
    EXPECT_EQ(none.meanDeviation, M);

    // Equal values: no variance, so no skewness or kurtosis, and no normality test.
    DescriptiveResult flat = Describe({3, 3, 3, 3, 3}, Everything());
    EXPECT_EQ(flat.moments.variance, 0);
    EXPECT_EQ(flat.moments.skewness, M);
    EXPECT_EQ(flat.normality, M);
}

TEST(DescriptiveStatistics, KolmogorovSeries)
{
    // Q(t) = 2 sum (-1)^(k-1) exp(-2 k^2 t^2), 40-digit references.
    struct Case {
        double t, q;
    } cases[] = {{0.5, 0.9639452436648751}, {1.0, 0.2699996716773545}, {2.0, 0.0006709252557797}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.t);
        QX_EXPECT_CLOSE("Q", c.q, KolmogorovProbability(c.t), 1e-8);
    }
    // Near zero the series does not settle: the probability is 1.
    EXPECT_EQ(KolmogorovProbability(0.01), 1);
}
