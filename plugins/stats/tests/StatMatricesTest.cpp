// The statistics matrices in-process. Reference values are worked by hand: the line
// y = 1 + 2x through (0, 1.5), (1, 2.5), (2, 5.5) leaves residuals 0.5, -0.5, 0.5; the
// normality statistic of 1, 2, 3 against N(2, 1) is the largest |i/n - F(x_i)| or
// |(i-1)/n - F(x_i)|, reached at x = 1 and 3 (F from erfc).
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>

#include <vector>

#include "StatCore.h"
#include "StatMatrices.h"
#include "TestHost.h"
#include "qxdefs.h"
#include "qxtest/Numeric.h"

namespace {

class StatMatrices : public HostedTest {
protected:
    void SetUp() override
    {
        HostedTest::SetUp();
        QmDeleteObjectList();
    }
    void TearDown() override
    {
        QmDeleteObjectList();
        HostedTest::TearDown();
    }
    static void Put(QmMX& m, std::vector<double> values)
    {
        for (int i = 0; i < m.rows; ++i)
            for (int j = 0; j < m.columns; ++j)
                *m.Element(i, j) = values[size_t(i * m.columns + j)];
    }
    static std::vector<double> Column(QmMX& m)
    {
        std::vector<double> out;
        for (int i = 0; i < m.rows; ++i)
            out.push_back(*m.Element(i, 0));
        return out;
    }
    // The newest error's code and the class it was recorded under.
    static std::pair<int, std::string> Newest()
    {
        int slot = QmNewestErrorSlot();
        const char* text = QmErrorTextAt(slot);
        return {QmErrorCodeAt(slot), text ? text : ""};
    }
};

TEST_F(StatMatrices, SumsOfSquaresAndTheirErrors)
{
    QmStatMX x(3, 2);
    Put(x, {1, 0, 1, 1, 1, 2});
    QmCvec y(3), b(2);
    Put(y, {1.5, 2.5, 5.5});
    Put(b, {1, 2});
    double rss = -1;
    ASSERT_EQ(x.ResidualSumOfSquares(y, b, &rss), 0);
    QX_EXPECT_CLOSE("residual sum of squares", 0.75, rss, 1e-15);

    QmStatMX v(3, 1);
    Put(v, {2, 4, 9});
    QmCvec w(3);
    Put(w, {1, 2, 3});
    double ss = -1;
    ASSERT_EQ(v.SumOfSquaredDeviations(&ss, 6, w), 0);
    // (2 - 6)^2 + (4 - 3)^2 + (9 - 2)^2
    QX_EXPECT_CLOSE("sum of squared deviations", 66, ss, 1e-15);
    EXPECT_FALSE(QmErrorRecorded());

    // A zero weight gives no sum rather than a wrong one, with the code of the variant.
    Put(w, {1, 0, 3});
    struct {
        QmStatMX::DeviationCheck check;
        int code;
    } variants[] = {{QmStatMX::CHECK_AFTER_DIVISION, 512}, {QmStatMX::CHECK_BEFORE_DIVISION, 513}};
    for (auto& c : variants) {
        QmClearErrors();
        EXPECT_EQ(v.SumOfSquaredDeviations(&ss, 6, w, c.check), 1);
        EXPECT_EQ(Newest(), std::make_pair(c.code, std::string("QmStatMX")));
    }

    QmStatMX same(3, 1), other(2, 2);
    EXPECT_EQ(same.Copy(v), 0);
    EXPECT_EQ(Column(same), (std::vector<double>{2, 4, 9}));
    QmClearErrors();
    EXPECT_EQ(same.Copy(other), 1);
    EXPECT_EQ(Newest(), std::make_pair(503, std::string("QmStatMX")));
}

TEST_F(StatMatrices, StatisticsVectors)
{
    QmStatVec v(4, 2.5);
    EXPECT_EQ(v.Mean(), 2.5);
    EXPECT_EQ(v.SumOfSquaredDeviations(), 0);
    Put(v, {1e9 + 1, 1e9 + 2, 1e9 + 3, 1e9 + 6});
    EXPECT_EQ(v.Mean(), 1e9 + 3);
    EXPECT_EQ(v.SumOfSquaredDeviations(), 14) << "centred: no digits lost to the large mean";
    v.Add(-1e9);
    EXPECT_EQ(Column(v), (std::vector<double>{1, 2, 3, 6}));
    v.Fill(7);
    EXPECT_EQ(Column(v), (std::vector<double>(4, 7)));

    QmStatVec shorter(3);
    QmClearErrors();
    EXPECT_EQ(shorter.Copy(v), 1);
    EXPECT_EQ(Newest(), std::make_pair(503, std::string("QmStatVec")));

    TestHost::Get().AddDataset("S", {5, MISSING_VALUE, 1, 4});
    QmData data("S", 1);
    QmStatVec filled(2, 0);
    EXPECT_EQ(filled.FillFrom(data), 2) << "as far as the vector reaches";
    EXPECT_EQ(Column(filled), (std::vector<double>{5, 1}));
}

TEST_F(StatMatrices, SortedSamplesOfDatasets)
{
    TestHost::Get().AddDataset("D", {5, MISSING_VALUE, 1});
    QmData d("D", 1);
    int missing = -1;
    KSStatVec k(d, missing);
    EXPECT_EQ(missing, 1);
    EXPECT_EQ(Column(k), (std::vector<double>{5, 1})) << "row order until sorted";
    EXPECT_EQ(k.sorted, 0);

    TestHost::Get().AddDataset("T", {3, 1, 2});
    QmData t("T", 1);
    KSStatVec s(t, missing);
    s.Sort();
    EXPECT_EQ(Column(s), (std::vector<double>{1, 2, 3}));
    *s.Element(0, 0) = 9;
    s.Sort();
    EXPECT_EQ(Column(s), (std::vector<double>{9, 2, 3})) << "sorted once only";

    // A larger sample against an independent sort, duplicates and a reversed run included.
    std::vector<double> values;
    for (int i = 0; i < 500; ++i)
        values.push_back(double((i * 7919) % 101) - (i > 400 ? i : 0));
    TestHost::Get().AddDataset("L", values);
    QmData l("L", 1);
    KSStatVec large(l, missing);
    large.Sort();
    std::vector<double> expected = values;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Column(large), expected);

    QmBool interpolate;
    interpolate.value = 1;
    TestHost::Get().AddDataset("Q", {4, 1, 3, 2});
    QmData q("Q", 1);
    KSStatVec quartiles(q, missing);
    EXPECT_EQ(quartiles.Percentile(50, interpolate), 2.5);
    interpolate.value = 0;
    EXPECT_EQ(quartiles.Percentile(100, interpolate), 4);

    TestHost::Get().AddDataset("N", {3, 1, 2});
    QmData n("N", 1);
    KSStatVec normal(n, missing);
    double dStat = 0, probability = 0;
    ASSERT_EQ(normal.Normality(&dStat, &probability), 0);
    // Mean 2, standard deviation 1: F(1) = 0.158655..., and D = 1/3 - F(1), the step of
    // the sample's distribution just after its first value (the same again at 3).
    QX_EXPECT_CLOSE("D", 1.0 / 3 - 0.5 * erfc(1 / sqrt(2.0)), dStat, 1e-12);
    QX_EXPECT_CLOSE("probability", qxstats::KolmogorovProbability(dStat * (sqrt(3.0) + 0.12 + 0.11 / sqrt(3.0))),
                    probability, 1e-15);

    // No values: no storage, and the statistics say so without touching memory.
    TestHost::Get().AddDataset("E", {MISSING_VALUE, MISSING_VALUE});
    QmData e("E", 1);
    QmClearErrors();
    KSStatVec empty(e, missing);
    EXPECT_EQ(missing, 2);
    EXPECT_FALSE(empty.IsValid());
    EXPECT_EQ(empty.Mean(), 0);
    EXPECT_EQ(empty.SumOfSquaredDeviations(), 0);
    EXPECT_EQ(empty.Percentile(50, interpolate), MISSING_VALUE);
    EXPECT_EQ(empty.Normality(&dStat, &probability), 1);
    EXPECT_EQ(probability, MISSING_VALUE);
    EXPECT_FALSE(QmErrorRecorded()) << "an empty sample is no error";
}

} // namespace
