// The script object Stat as the kernel reaches it: qxstats.dll loaded from the program
// folder, every call through its QMDLL export with the test host's callback. The
// numbers themselves are checked against references in the core's tests; here the
// checks are what reaches the script and the host: properties, sub-properties, error
// codes, the datasets written and the bracket of every call.
#include "StatHost.h"
#include "NistData.h"

#include "qxdefs.h"
#include "qxtest/Exports.h"
#include "qxtest/Numeric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const double M = MISSING_VALUE;

class StatObject : public ::testing::Test {
protected:
    void SetUp() override
    {
        StatHost::Get().Reset();
        ASSERT_NE(plugin().module, nullptr) << "qxstats.dll not loaded, error " << GetLastError();
        ASSERT_EQ(plugin().Run("RESET", ""), 1);
        StatHost::Get().Reset();
    }
    static StatPlugin& plugin() { return StatPlugin::Get(); }
    static StatHost& host() { return StatHost::Get(); }
    static double Get(const char* method, const char* name) { return plugin().GetNumber(method, name); }
    static void Set(const char* method, const char* name, double v)
    {
        ASSERT_EQ(plugin().SetNumber(method, name, v), 1) << name;
    }
    static void SetText(const char* method, const char* name, const char* text)
    {
        ASSERT_EQ(plugin().SetString(method, name, text), 1) << name;
    }
};

} // namespace

TEST_F(StatObject, ExportsResetAndResultVectors)
{
    std::vector<std::string> names;
    for (const qxtest::ExportEntry& e : qxtest::ReadExports("qxstats.dll"))
        names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"QMDLL", "WKS_Update"}));
    typedef DWORD(WINAPI * WksUpdateProc)(DWORD, DWORD, DWORD, DWORD, DWORD);
    auto update = reinterpret_cast<WksUpdateProc>(GetProcAddress(plugin().module, "WKS_Update"));
    ASSERT_NE(update, nullptr);
    EXPECT_EQ(update(1, 2, 3, 4, 5), 0xEDCBABCDu);

    Set(nullptr, "CONFLEVEL", 0.9);
    Set(nullptr, "Fvalue", 3);
    ASSERT_EQ(plugin().Run("RESET", ""), 1);
    EXPECT_EQ(Get(nullptr, "CONFLEVEL"), 0.95);
    EXPECT_EQ(Get(nullptr, "Fvalue"), M);
    EXPECT_EQ(Get(nullptr, "R"), M);
    EXPECT_EQ(Get(nullptr, "SD"), 0);
    EXPECT_EQ(Get(nullptr, "APPARENT"), 1);

    Set(nullptr, "DF9", 4);
    EXPECT_EQ(Get(nullptr, "DF9"), 4);
    int answer = 0;
    plugin().GetNumber(nullptr, "DF10", &answer);
    EXPECT_NE(answer, 1);
    EXPECT_EQ(plugin().LastError(), 200);
}

TEST_F(StatObject, MakeXSpreadsTheWidenedRange)
{
    host().AddDataset("fx", {});
    SetText(nullptr, "FITXDATA", "fx");
    Set(nullptr, "APPARENT", 0);
    Set("MAKEX", "FITNPTS", 5);
    Set("MAKEX", "FITX1", 0);
    Set("MAKEX", "FITX2", 10);
    Set("MAKEX", "MARGIN", 10);
    double result = -5;
    ASSERT_EQ(plugin().Run("MAKEX", "", &result), 1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(host().Values("fx"), (std::vector<double>{-1, 2, 5, 8, 11}));
    // Begin and End bracket the call: the mode, then the host's token back.
    EXPECT_EQ(host().bracket, (std::vector<INT_PTR>{0, 77}));
    EXPECT_GE(host().updates, 1);

    Set("MAKEX", "FITNPTS", 1);
    ASSERT_EQ(plugin().Run("MAKEX", ""), 1);
    EXPECT_EQ(host().Values("fx"), (std::vector<double>{-1}));

    // No dataset, or no rows: the call fails with the result 1.
    Set("MAKEX", "FITNPTS", 0);
    EXPECT_EQ(plugin().Run("MAKEX", "", &result), 2);
    EXPECT_EQ(result, 1);
    SetText(nullptr, "FITXDATA", "nothing");
    Set("MAKEX", "FITNPTS", 3);
    EXPECT_EQ(plugin().Run("MAKEX", "", &result), 2);

    Set(nullptr, "APPARENT", 1);
    host().bracket.clear();
    plugin().Run("MAKEX", "");
    EXPECT_EQ(host().bracket.front(), 6);
}

TEST_F(StatObject, DescriptiveStatistics)
{
    host().AddDataset("v", {2, M, 4, 6});
    SetText("DS", "DATA", "v");
    Set("DS", "MORE", 1);
    ASSERT_EQ(plugin().Run("DS", ""), 1);
    struct Expect {
        const char* name;
        double value;
    } expected[] = {{"SIZE", 3}, {"MISSING", 1}, {"MEAN", 4}, {"SUM", 12}, {"SSQ", 8},
                    {"VAR", 4},  {"SD", 2},      {"MIN", 2},  {"MAX", 6},  {"RANGE", 4},
                    {"MEDIAN", 4}, {"SKEW", M},  {"KURT", M}, {"GEOMEAN", M}};
    for (const Expect& e : expected)
        EXPECT_EQ(Get("DS", e.name), e.value) << e.name;
    QX_EXPECT_CLOSE("AD", 4.0 / 3, Get("DS", "AD"), 1e-15);
    // CONFLEV starts at 0.95: t(0.975, 2) = 4.302652729749464.
    QX_EXPECT_CLOSE("CIU", 4 + 4.302652729749464 * 2 / std::sqrt(3.0), Get("DS", "CIU"), 1e-12);

    // Without MORE only what is asked for (1234) is computed; a 0 stays 0.
    host().AddDataset("g", {1, 4, 16});
    SetText("DS", "DATA", "g");
    Set("DS", "MORE", 0);
    Set("DS", "GEOMEAN", 1234);
    Set("DS", "MEDIAN", 0);
    Set("DS", "TESTNORM", 1234);
    ASSERT_EQ(plugin().Run("DS", ""), 1);
    QX_EXPECT_CLOSE("GEOMEAN", 4, Get("DS", "GEOMEAN"), 1e-15);
    EXPECT_EQ(Get("DS", "MEDIAN"), 0);
    EXPECT_NE(Get("DS", "TESTNORM"), 1234);
    EXPECT_EQ(Get("DS", "MEAN"), 7);
    // Not asked for again: the geometric mean is not kept from the last call.
    ASSERT_EQ(plugin().Run("DS", ""), 1);
    EXPECT_EQ(Get("DS", "GEOMEAN"), M);

    // Percentiles follow INTERPOLATE; the bounds 0 and 100 give no percentile.
    host().AddDataset("ten", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    SetText("DS", "DATA", "ten");
    Set("DS", "MORE", 1);
    Set("DS", "INTERPOLATE", 1);
    Set("DS", "PERCENT", 25);
    ASSERT_EQ(plugin().Run("DS", ""), 1);
    EXPECT_EQ(Get("DS", "QUARTL25"), 2.75);
    EXPECT_EQ(Get("DS", "PERCENTILE"), 2.75);
    Set("DS", "PERCENT", 100);
    ASSERT_EQ(plugin().Run("DS", ""), 1);
    EXPECT_EQ(Get("DS", "PERCENTILE"), M);

    // No dataset: the call fails and nothing changes.
    SetText("DS", "DATA", "none");
    double result = -3;
    EXPECT_EQ(plugin().Run("DS", "", &result), 2);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Get("DS", "SIZE"), 10);
}

TEST_F(StatObject, LineFitResultsCurvesAndResiduals)
{
    auto rows = qxstats_test::ReadNistRows("Norris.dat");
    host().AddDataset("y", qxstats_test::Column(rows, 0), qxstats_test::Column(rows, 1));
    host().AddDataset("fx", {0, M, 500});
    for (const char* name : {"fy", "ucl", "lcl", "upl", "lpl", "res"})
        host().AddDataset(name, {});
    SetText(nullptr, "DATA", "y");
    SetText(nullptr, "FITXDATA", "fx");
    SetText(nullptr, "FITYDATA", "fy");
    SetText(nullptr, "UCLDATA", "ucl");
    SetText(nullptr, "LCLDATA", "lcl");
    SetText(nullptr, "UPLDATA", "upl");
    SetText(nullptr, "LPLDATA", "lpl");
    SetText(nullptr, "RESDATA", "res");
    Set(nullptr, "CHISQRERR", 1);
    double result = -1;
    ASSERT_EQ(plugin().Run("LR", "", &result), 1);
    EXPECT_EQ(result, 0);
    double a = Get("LR", "A"), b = Get("LR", "B");
    EXPECT_GE(qxtest::Lre(a, -0.262323073774029), 9);
    EXPECT_GE(qxtest::Lre(b, 1.00211681802045), 9);
    EXPECT_GE(qxtest::Lre(Get("LR", "BSE"), 0.429796848199937E-03), 9);
    EXPECT_GE(qxtest::Lre(Get(nullptr, "SD"), 0.884796396144373), 9);
    EXPECT_GE(qxtest::Lre(Get(nullptr, "COD"), 0.999993745883712), 9);
    EXPECT_EQ(Get(nullptr, "NPTS"), 36);
    EXPECT_EQ(Get(nullptr, "DF2"), 34);

    std::vector<double> fy = host().Values("fy");
    ASSERT_EQ(fy.size(), 3u);
    EXPECT_EQ(fy[0], a);
    EXPECT_EQ(fy[1], M);
    EXPECT_EQ(fy[2], a + b * 500);
    std::vector<double> ucl = host().Values("ucl"), lcl = host().Values("lcl"),
                        upl = host().Values("upl"), lpl = host().Values("lpl");
    ASSERT_EQ(ucl.size(), 3u);
    EXPECT_EQ(ucl[1], M);
    EXPECT_EQ(lpl[1], M);
    for (int i : {0, 2}) {
        SCOPED_TRACE(i);
        QX_EXPECT_CLOSE("symmetric confidence band", fy[i] - lcl[i], ucl[i] - fy[i], 1e-9);
        EXPECT_GT(upl[i] - fy[i], ucl[i] - fy[i]);
        QX_EXPECT_CLOSE("symmetric prediction band", fy[i] - lpl[i], upl[i] - fy[i], 1e-9);
    }
    std::vector<double> res = host().Values("res");
    ASSERT_EQ(res.size(), rows.size());
    QX_EXPECT_CLOSE("residual", rows[0][0] - (a + b * rows[0][1]), res[0], 1e-9);
}

TEST_F(StatObject, LineFitModesAndErrors)
{
    host().AddDataset("one", {4}, {2});
    SetText(nullptr, "DATA", "one");
    ASSERT_EQ(plugin().Run("LR", "z"), 1);
    EXPECT_EQ(Get("LR", "B"), 2);
    EXPECT_EQ(Get(nullptr, "R"), 1);
    EXPECT_EQ(Get(nullptr, "COD"), 1);

    // An unknown mode, or a given slope that is missing, refuses the call.
    EXPECT_EQ(plugin().Run("LR", "q"), 2);
    host().AddDataset("same", {1, 2}, {3, 3});
    SetText(nullptr, "DATA", "same");
    double result = -1;
    ASSERT_EQ(plugin().Run("LR", "", &result), 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Get("LR", "B"), M);
    char text[QM_STRING_RESULT_SIZE] = {};
    plugin().Call(nullptr, "MSG", text, OBJOP_GET_STRING);
    EXPECT_STREQ(text, "Two points have the same x values.");
    EXPECT_EQ(plugin().Run("LR", "b"), 2);
    ASSERT_EQ(plugin().Run("RESET", ""), 1);
    host().AddDataset("line", {1, 2, 4}, {0, 1, 2});
    SetText(nullptr, "DATA", "line");
    ASSERT_EQ(plugin().Run("LR", "B", &result), 1);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Get("LR", "B"), 0);
    QX_EXPECT_CLOSE("A", 7.0 / 3, Get("LR", "A"), 1e-15);

    // Too few points fail the call, so that no script reads an earlier line as this one.
    struct Case {
        const char* data;
        const char* mode;
        int error;
    } cases[] = {{"nothing", "", 801}, {"one", "", 804}, {"none", "z", 802}};
    host().AddDataset("none", {}, {});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        SetText(nullptr, "DATA", c.data);
        EXPECT_EQ(plugin().Run("LR", c.mode, &result), 2);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(plugin().LastError(), c.error);
    }
    host().AddDataset("sigma", {0.5, 0, 1});
    SetText(nullptr, "DATA", "line");
    SetText(nullptr, "ERRBARDATA", "sigma");
    ASSERT_EQ(plugin().Run("LR", "", &result), 1);
    EXPECT_EQ(plugin().LastError(), 803);
}

// A mode that LR refuses after the call was bracketed still gives the host its token
// back: a refused call must not leave the host in the call's scale mode.
TEST_F(StatObject, RefusedLineModeClosesTheBracket)
{
    host().AddDataset("line", {1, 2, 4}, {0, 1, 2});
    SetText(nullptr, "DATA", "line");
    Set("LR", "B", M);
    for (const char* mode : {"q", "b", "zz"}) {
        SCOPED_TRACE(mode);
        host().bracket.clear();
        EXPECT_EQ(plugin().Run("LR", mode), 2);
        EXPECT_EQ(host().bracket, (std::vector<INT_PTR>{6, 77}));
    }
}

TEST_F(StatObject, PolynomialFitAndCurves)
{
    host().AddDataset("p", {1, 3, 5}, {0, 1, 2});
    host().AddDataset("fx", {0, M, 2});
    for (const char* name : {"fy", "ucl", "res"})
        host().AddDataset(name, {});
    SetText(nullptr, "DATA", "p");
    SetText(nullptr, "FITXDATA", "fx");
    SetText(nullptr, "FITYDATA", "fy");
    SetText(nullptr, "RESDATA", "res");
    Set("PR", "ORDER", 1);
    double result = -1;
    ASSERT_EQ(plugin().Run("PR", "", &result), 1);
    EXPECT_EQ(result, 0);
    EXPECT_NEAR(Get("PR", "A"), 1, 1e-14);
    EXPECT_NEAR(Get("PR", "B1"), 2, 1e-14);
    EXPECT_EQ(Get(nullptr, "R"), 1);
    EXPECT_EQ(Get(nullptr, "XMEAN"), 1);
    EXPECT_EQ(Get(nullptr, "SXX"), 2);
    EXPECT_EQ(Get(nullptr, "DF1"), 1);
    EXPECT_EQ(Get(nullptr, "DF2"), 1);
    EXPECT_EQ(Get(nullptr, "DF3"), 2);
    std::vector<double> fy = host().Values("fy");
    ASSERT_EQ(fy.size(), 3u);
    EXPECT_NEAR(fy[0], 1, 1e-14);
    EXPECT_EQ(fy[1], M);
    EXPECT_NEAR(fy[2], 5, 1e-14);
    EXPECT_EQ(host().Values("res").size(), 3u);

    // The constant fit draws its curve but no band.
    SetText(nullptr, "UCLDATA", "ucl");
    Set("PR", "ORDER", 0);
    EXPECT_EQ(plugin().Run("PR", "", &result), 2);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(plugin().LastError(), 600);
    EXPECT_DOUBLE_EQ(host().Values("fy")[0], 3);

    Set("PR", "ORDER", 10);
    ASSERT_EQ(plugin().Run("PR", "", &result), 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(plugin().LastError(), 606);
    // No argument is taken.
    EXPECT_EQ(plugin().Run("PR", "1"), 2);
    EXPECT_EQ(plugin().LastError(), 900);
}

TEST_F(StatObject, MultipleFitOnWorksheetColumns)
{
    host().AddWorksheet("Data1", {"Y", "X1", "X2"},
                        {{3, 4, 7, 11, 20}, {1, 2, 3, 4, M}, {1, 0, 1, 3, 5}});
    host().AddDataset("res", {});
    SetText(nullptr, "WORKSHEET", "Data1");
    SetText(nullptr, "RESDATA", "res");
    SetText("MR", "YDATA", "Y");
    SetText("MR", "XDATA1", "X1");
    SetText("MR", "XDATA2", "X2");
    ASSERT_EQ(plugin().Run("MR", ""), 1);
    EXPECT_EQ(Get("MR", "NUMX"), 2);
    EXPECT_EQ(Get(nullptr, "NPTS"), 4);
    EXPECT_EQ(Get(nullptr, "DF1"), 2);
    EXPECT_EQ(Get(nullptr, "DF2"), 1);
    EXPECT_EQ(Get(nullptr, "DF3"), 3);
    // Without CHISQRERR: the roots of the diagonal of (X'X)^-1 (37/23, 19/46, 10/23).
    QX_EXPECT_CLOSE("ASE", std::sqrt(37.0 / 23), Get("MR", "ASE"), 1e-13);
    QX_EXPECT_CLOSE("BSE2", std::sqrt(10.0 / 23), Get("MR", "BSE2"), 1e-13);
    // The row with a missing X is neither fitted nor given a residual.
    std::vector<double> res = host().Values("res");
    ASSERT_EQ(res.size(), 4u);
    double b1 = Get("MR", "B1");

    // Ten X columns would not fit the nine coefficients: refused, B1 kept.
    for (int k = 3; k <= 10; ++k) {
        std::string name = "XDATA" + std::to_string(k);
        SetText("MR", name.c_str(), "X2");
    }
    EXPECT_EQ(plugin().Run("MR", ""), 2);
    EXPECT_EQ(plugin().LastError(), 200);
    EXPECT_EQ(Get("MR", "B1"), b1);

    SetText("MR", "YDATA", "Nope");
    EXPECT_EQ(plugin().Run("MR", ""), 2);
    EXPECT_EQ(plugin().LastError(), 1801);
}

// A fit with fewer X columns than the one before must not leave that fit's coefficients
// beside its own: the listing and the script would read them as part of the new model.
TEST_F(StatObject, MultipleFitLeavesNoCoefficientOfAnEarlierFit)
{
    host().AddWorksheet("Data1", {"Y", "X1", "X2"},
                        {{3, 4, 7, 11, 20}, {1, 2, 3, 4, 6}, {1, 0, 1, 3, 5}});
    SetText(nullptr, "WORKSHEET", "Data1");
    SetText("MR", "YDATA", "Y");
    SetText("MR", "XDATA1", "X1");
    SetText("MR", "XDATA2", "X2");
    ASSERT_EQ(plugin().Run("MR", ""), 1);
    ASSERT_NE(Get("MR", "B2"), M);

    double size = 1;
    ASSERT_EQ(plugin().Call("MR", "XDATA", &size, OBJOP_SET_VECTOR_SIZE), 1);
    SetText("MR", "XDATA1", "X1");
    ASSERT_EQ(plugin().Run("MR", ""), 1);
    EXPECT_EQ(Get("MR", "NUMX"), 1);
    EXPECT_NE(Get("MR", "B1"), M);
    for (const char* name : {"B2", "BSE2", "BP2", "B9"})
        EXPECT_EQ(Get("MR", name), M) << name;
}

// A listing names the method, then its own sub-properties, then the shared results.
// The nine-element result vectors have no size to read, so they list no elements.
TEST_F(StatObject, ListingOrderOfPolynomialFit)
{
    double value = 0;
    ASSERT_EQ(plugin().Call(nullptr, "", &value, OBJOP_GET_NUMBER), 1);
    std::vector<std::string> names;
    for (const std::string& line : host().printed) {
        const std::string prefix = "  PR.";
        if (line.compare(0, prefix.size(), prefix) == 0)
            names.push_back(line.substr(prefix.size(), line.find('\t') - prefix.size()));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ORDER", "A", "ASE", "AP", "T"}));
    EXPECT_NE(std::find(host().printed.begin(), host().printed.end(), "PR()"), host().printed.end());
}
