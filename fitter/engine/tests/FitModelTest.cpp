// Model evaluation: user-defined functions evaluated by the host, rows with missing
// values, the data range taken from the dataset, and FUNCVAL.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>

#include <vector>

#include "FitTestKit.h"
#include "qxtest/Numeric.h"

namespace {

class ModelTest : public FitTest {
protected:
    // Loads a definition of two parameters a and b over x and y and makes it current.
    void Choose(FunctionDef def)
    {
        Get("NPARA");
        strcpy(def.paramNames, "a b");
        def.nIndependent = def.nDependent = 1;
        def.nParams = 2;
        def.constraintsSwitch = KW_OFF;
        ASSERT_EQ(0, AddLoadedFunction(Session(), &def));
        SetText("FUNC", def.name);
        ASSERT_EQ(0, Err());
    }
    void UserDefined(int form, const char* formula, const char* name = "UserLine")
    {
        FunctionDef def = {};
        strcpy(def.name, name);
        def.functionType = KW_USER_DEFINED;
        def.functionForm = form;
        strcpy(def.formula, formula);
        Choose(def);
        UseData(kLineX, kLineY);
    }
    // A new session fitting the Expression `formula` of a and b to the columns xs and ys.
    void ExpressionOver(const char* formula, const std::vector<double>& x, const std::vector<double>& y,
                        bool prepared, bool refuseRows = false)
    {
        ScxFit(window, 2, 0, nullptr, TestHost::Callback);
        host.preparedFormulas = prepared;
        host.refuseRows = refuseRows;
        UserDefined(KW_EXPRESSION, formula);
        host.AddDataset("xs", x);
        host.AddDataset("ys", y);
        SetText("X", "xs");
        SetText("Y", "ys");
    }
};

}  // namespace

TEST_F(ModelTest, UserDefinedExpressionFitsTheLine)
{
    UserDefined(KW_EXPRESSION, "a + b*x");
    EXPECT_EQ(KW_USER_DEFINED, Get("FTYPE"));
    Set("P1", 0);
    Set("P2", 1);
    Set("TOLERANCE", 0);
    Call("ITERATE", "50");
    EXPECT_EQ(0, Err());
    EXPECT_TRUE(qxtest::Close("a", 1, Get("P1"), 1e-7));
    EXPECT_TRUE(qxtest::Close("b", 2, Get("P2"), 1e-7));
    EXPECT_TRUE(qxtest::Close("SSR", 10, Get("SSR"), 1e-12));
}

// An Expression's rows evaluated together, a block at a time, give the fit that evaluating
// them one by one gives, to the bit: without prepared formulas, with them but the rows
// request refused, and with it; a missing y and a missing x among the rows. Together, a
// pass asks once per block, its forward steps included; a trial that moves no parameter
// (the run ends when mu has grown so far) asks nothing.
TEST_F(ModelTest, RowsEvaluatedTogetherGiveTheRowByRowFit)
{
    std::vector<double> x, y;
    for (int i = 0; i < 700; ++i) {
        x.push_back(0.01 * i);
        y.push_back(0.5 * x.back() + 3 / (x.back() + 2) + 0.01 * ((i * 7919) % 13 - 6));
    }
    y[10] = MISSING_VALUE;
    x[300] = MISSING_VALUE;
    struct Way {
        bool prepared, refuseRows;
    } ways[] = {{false, false}, {true, true}, {true, false}};
    std::vector<std::vector<double>> results;
    for (const Way& way : ways) {
        SCOPED_TRACE(std::to_string(way.prepared) + std::to_string(way.refuseRows));
        ExpressionOver("a*x + 3/(x + b)", x, y, way.prepared, way.refuseRows);
        Set("P1", 1);
        Set("P2", 1);
        Set("TOLERANCE", 0);
        const int rowsRequests = host.Count(HOST_EVAL_PREPARED_ROWS);
        host.progress.clear();
        Call("ITERATE", "200");
        EXPECT_EQ(0, Err());
        EXPECT_EQ(698, Get("NPOINTS"));
        results.push_back({Get("P1"), Get("P2"), Get("E1"), Get("E2"), Get("SSR"), Get("NITER")});
        const int requests = host.Count(HOST_EVAL_PREPARED_ROWS) - rowsRequests;
        EXPECT_EQ(requests > 0, way.prepared);
        if (way.prepared && !way.refuseRows) {
            // 698 rows are three blocks; each round's pass and each trial's at most once each.
            const int passes = host.CountProgress(QFIT_PROGRESS_CHISQR) + host.CountProgress(QFIT_PROGRESS_TRIAL);
            EXPECT_LT(requests, 3 * passes);
            EXPECT_EQ(0, requests % 3);
        }
    }
    EXPECT_TRUE(qxtest::Close("a", 0.5, results[0][0], 1e-2));
    for (size_t w = 1; w < results.size(); ++w)
        for (size_t k = 0; k < results[0].size(); ++k)
            EXPECT_EQ(0, memcmp(&results[w][k], &results[0][k], sizeof(double)))
                << "way " << w << " value " << k << ": " << results[w][k] << " != " << results[0][k];
}

// With mu below the precision of 1 + mu every trial takes the same step: after the first
// finds no reduction the others land where it did and are not evaluated again. A round begun
// at mu 1e-30 ends as the round begun at 1e-16 does (the same step, then the same trials),
// to the bit, with no more requests for rows.
TEST_F(ModelTest, TrialsThatLandWhereTheLastRejectedOneDidAreNotEvaluated)
{
    std::vector<double> x, y;
    for (int i = 0; i <= 20; ++i) {
        x.push_back(0.1 * i);
        y.push_back(2 / (x.back() + 0.5) + 0.01 * ((i * 7919) % 13 - 6));
    }
    struct Round {
        double mu;
        int trials, requests;
        double values[4];
    } rounds[] = {{1e-30}, {1e-16}};
    for (Round& round : rounds) {
        ExpressionOver("a/(x + b)", x, y, true);
        Set("P1", 5);
        Set("P2", 2);
        Set("TOLERANCE", 0);
        Set("MU", round.mu);
        const int before = host.Count(HOST_EVAL_PREPARED_ROWS);
        host.progress.clear();
        Call("ITERATE", "1");
        ASSERT_EQ(0, Err());
        ASSERT_EQ(1, Get("NITER"));
        round.trials = host.CountProgress(QFIT_PROGRESS_TRIAL);
        round.requests = host.Count(HOST_EVAL_PREPARED_ROWS) - before;
        const double values[] = {Get("P1"), Get("P2"), Get("SSR"), Get("MU")};
        memcpy(round.values, values, sizeof values);
    }
    // mu 1e-30 to 1e-17: fourteen trials more, none of them evaluated.
    EXPECT_EQ(rounds[1].trials + 14, rounds[0].trials);
    EXPECT_EQ(rounds[1].requests, rounds[0].requests);
    EXPECT_EQ(0, memcmp(rounds[0].values, rounds[1].values, sizeof rounds[0].values));
    EXPECT_GT(rounds[1].trials, 1);
}

// Equations run in turn, each result a script variable the next can use; the fitted value
// is read back from the dependent variable's name.
TEST_F(ModelTest, EquationsFormChainsItsVariables)
{
    UserDefined(KW_EQUATIONS, "t = b*x; y = a + t");
    Set("P1", 1);
    Set("P2", 2);
    Call("ITERATE", "0");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(10, Get("SSR"));
    bool sawT = false;
    for (const auto& v : host.variableSets)
        sawT = sawT || _stricmp(v.first.c_str(), "t") == 0;  // equations are read upper-cased
    EXPECT_TRUE(sawT);
}

// Equations are read once per set-up: line ends, ";" and "," outside parentheses separate
// them, blanks go, and each left-hand name is declared before the first row. Too many
// equations for the session's slots fail every row.
TEST_F(ModelTest, EquationsAreSplitOnceAndTheirNamesDeclared)
{
    UserDefined(KW_EQUATIONS, "  t = b * x ,\r\n\r\n u = (t) ;;\n y = a + u\n");
    Set("P1", 1);
    Set("P2", 2);
    Call("ITERATE", "0");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(10, Get("SSR"));
    EXPECT_EQ(1, host.Count(HOST_TRANSLATE_FORMULA));
    std::vector<std::string> declared;
    for (const auto& v : host.variableSets)
        declared.push_back(v.first);
    for (const char* name : {"T", "U", "Y"})
        EXPECT_NE(std::find(declared.begin(), declared.end(), name), declared.end()) << name;
    Call("ITERATE", "0");
    EXPECT_EQ(1, host.Count(HOST_TRANSLATE_FORMULA)) << "the same formula is not prepared again";

    std::string many;
    for (int k = 1; k <= MAX_EQUATIONS + 1; ++k)
        many += "t" + std::to_string(k) + " = b*x; ";
    UserDefined(KW_EQUATIONS, (many + "y = a + t1").c_str(), "TooMany");
    Set("P1", 1);
    Set("P2", 2);
    Call("ITERATE", "0");
    EXPECT_NE(0, Err());
}

// A row whose y is missing is evaluated but adds nothing; a row whose x is missing is
// skipped.
TEST_F(ModelTest, RowsWithMissingValues)
{
    UseFunction("Line", "a b");
    UseData({0, 1, MISSING_VALUE, 3, 4}, {2, MISSING_VALUE, 5, 9, 8});
    Set("P1", 1);
    Set("P2", 2);
    Call("ITERATE", "0");
    EXPECT_EQ(3, Get("NPOINTS"));
    EXPECT_EQ(6, Get("SSR"));  // residuals 1, 2, -1
}

// When the dataset's used range no longer holds the stored range, the run takes the used
// range (rows 1..3 here, 2..4 for a script).
TEST_F(ModelTest, DataRangeFollowsTheDataset)
{
    UseFunction("Line", "a b");
    UseData(kLineX, kLineY);
    const QFitDataset y = host.AddDataset("yshort", kLineY);
    host.Dataset(y).used = {1, 4};
    SetText("Y", "yshort");
    Set("P1", 1);
    Set("P2", 2);
    Set("DATABEGIN", 1);
    Set("DATAEND", 5);
    Call("ITERATE", "0");
    EXPECT_EQ(2, Get("DATABEGIN"));
    EXPECT_EQ(4, Get("DATAEND"));
    EXPECT_EQ(3, Get("NPOINTS"));
    EXPECT_EQ(8, Get("SSR"));  // residuals -2, 0, 2
}

// An External DLL function found by name is asked whether it computes its own derivatives,
// as a Built-in one is; one bound by ordinal (the record form) is not asked.
TEST_F(ModelTest, ExternalFunctionsAreAskedForTheirDerivatives)
{
    const struct {
        const char* source;
        int16_t flag;
    } cases[] = {{"fittestfuncs.ExternalGauss", 1}, {"fittestfuncs.ExternalLine", 0}, {"fittestfuncs.7", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        FunctionDef def = {};
        snprintf(def.name, sizeof def.name, "Ext%d", static_cast<int>(&c - cases));
        def.functionType = KW_EXTERNAL_DLL;
        def.nParams = 4;
        def.nIndependent = def.nDependent = 1;
        snprintf(def.source, sizeof def.source, "%s", c.source);
        Choose(def);
        ASSERT_TRUE(Session()->current != nullptr);
        EXPECT_EQ(c.flag, Session()->current->derivativeFlag);
    }
}

// An External DLL function bound by ordinal is called in record form, after one set-up
// call when it is chosen.
TEST_F(ModelTest, FunctionBoundByOrdinalUsesTheRecordForm)
{
    FunctionDef def = {};
    strcpy(def.name, "RecLine");
    def.functionType = KW_EXTERNAL_DLL;
    strcpy(def.source, "fittestfuncs.7");
    Choose(def);
    EXPECT_EQ(KW_EXTERNAL_DLL, Get("FTYPE"));
    HMODULE library = GetModuleHandleA("fittestfuncs.dll");
    ASSERT_NE(nullptr, library);
    auto setUpCalls = reinterpret_cast<int(WINAPI*)()>(GetProcAddress(library, "RecordLineSetUpCalls"));
    EXPECT_EQ(1, setUpCalls());
    UseData(kLineX, kLineY);
    Set("P1", 0);
    Set("P2", 1);
    Set("TOLERANCE", 0);
    Call("ITERATE", "50");
    EXPECT_EQ(0, Err());
    EXPECT_TRUE(qxtest::Close("a", 1, Get("P1"), 1e-7));
    EXPECT_TRUE(qxtest::Close("b", 2, Get("P2"), 1e-7));
}

// A fault inside a library function fails the row; the program goes on.
TEST_F(ModelTest, FaultInsideAFunctionFailsTheRow)
{
    UseFunction("Crash", "a");
    UseData(kLineX, kLineY);
    Set("P1", 1);
    Call("ITERATE", "0");
    EXPECT_EQ(FIT_ERR_TOO_FEW_POINTS, Err());
    EXPECT_EQ(0, Get("NPOINTS"));
    EXPECT_EQ(MISSING_VALUE, Call("FUNCVAL", "2"));
}

TEST_F(ModelTest, FuncVal)
{
    UseFunction("Gauss", "y0 xc w A");
    EXPECT_EQ(MISSING_VALUE, Call("FUNCVAL", "5"));
    EXPECT_EQ(FIT_ERR_PARAM_INIT, host.errors.back().first);
    EXPECT_EQ("y0, xc, w, A", host.errors.back().second);
    Set("P1", 1);
    Set("P2", 5);
    Set("P3", 1.2);
    Set("P4", 10);
    EXPECT_EQ(11, Call("FUNCVAL", "5"));
    EXPECT_EQ(0, Err());
    EXPECT_EQ(MISSING_VALUE, Call("FUNCVAL", "nosuch"));
    EXPECT_EQ(0, Err());
    EXPECT_EQ(MISSING_VALUE, Call("FUNCVAL", ""));
    EXPECT_EQ(1, Err());
}

// Two fit sets sharing the slope: the lines through (x, 1 + 2x) and (x, 3 + 2.5x) get one
// common slope, the least-squares 2.25, and intercepts 0.5 and 3.5 of their own. Sharing
// is undone with the slope kept in both sets.
TEST_F(ModelTest, FitSetsShareAParameter)
{
    UseFunction("Line", "a b");
    Set("NUMFITSETS", 2);
    EXPECT_EQ(4, Get("NPARA"));
    FittingSession* s = Session();
    ASSERT_EQ(0, ShareAcrossFitSets(s, 2, true));
    EXPECT_EQ(3, Get("NPARA"));
    EXPECT_EQ("a", GetText("N1"));
    EXPECT_EQ("b", GetText("N2"));
    EXPECT_EQ("a_2", GetText("N3"));
    host.AddDataset("x1", {0, 1, 2, 3, 4});
    host.AddDataset("y1", {1, 3, 5, 7, 9});
    host.AddDataset("x2", {0, 1, 2, 3, 4});
    host.AddDataset("y2", {3, 5.5, 8, 10.5, 13});
    SetText("X1", "x1");
    SetText("Y1", "y1");
    SetText("X2", "x2");
    SetText("Y2", "y2");
    Set("P1", 0);
    Set("P2", 1);
    Set("P3", 0);
    Set("TOLERANCE", 0);
    Call("ITERATE", "50");
    EXPECT_EQ(0, Err());
    EXPECT_TRUE(qxtest::Close("a", 0.5, Get("P1"), 1e-7));
    EXPECT_TRUE(qxtest::Close("common b", 2.25, Get("P2"), 1e-7));
    EXPECT_TRUE(qxtest::Close("a_2", 3.5, Get("P3"), 1e-7));

    // Each set its own slope again, both starting from the common one.
    ASSERT_EQ(0, ShareAcrossFitSets(s, 2, false));
    EXPECT_EQ(4, Get("NPARA"));
    EXPECT_EQ("b_2", GetText("N4"));
    EXPECT_TRUE(qxtest::Close("b", 2.25, Get("P2"), 1e-7));
    EXPECT_TRUE(qxtest::Close("b_2", 2.25, Get("P4"), 1e-7));
    Call("ITERATE", "50");
    EXPECT_TRUE(qxtest::Close("b", 2, Get("P2"), 1e-7));
    EXPECT_TRUE(qxtest::Close("b_2", 2.5, Get("P4"), 1e-7));
    EXPECT_EQ(1, ShareAcrossFitSets(s, 3, true)) << "no third slot";
}

// Two Gaussian peaks of one width (the library's Gauss, its peak repeated by one replica):
// with the width shared by the replicas the fit has one width among six parameters, named
// y0, xc1, w, A1, xc2, A2, and finds it; given back, both widths start from the common one.
TEST_F(ModelTest, ReplicasShareAParameter)
{
    Get("NPARA");
    FunctionDef def = {};
    strcpy(def.name, "Peaks");
    def.functionType = KW_BUILTIN;
    def.functionForm = KW_EXPRESSION;
    strcpy(def.source, "curvelib.Gauss");
    strcpy(def.paramNames, "y0 xc w A");
    def.nParams = 4;
    def.nIndependent = def.nDependent = 1;
    def.duplicateOffset = 2;
    def.duplicateUnit = 3;
    def.options[OPT_KEEP_PARAMS] = KW_NO;
    ASSERT_EQ(0, AddLoadedFunction(Session(), &def));
    SetText("FUNC", "Peaks");
    ASSERT_EQ(0, Err());
    FittingSession* s = Session();
    ASSERT_EQ(0, ShareAcrossReplicas(s, 3, true)) << "kept until there are replicas";
    Set("NUMREPLICA", 1);
    EXPECT_EQ(6, Get("NPARA"));
    const char* names[] = {"y0", "xc1", "w", "A1", "xc2", "A2"};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(names[k], GetText(("N" + std::to_string(k + 1)).c_str()));

    std::vector<double> x, y;
    auto peak = [](double at, double xc, double w, double a) {
        const double u = (at - xc) / w;
        return a / (w * 1.2533141373155003) * exp(-2 * u * u);
    };
    for (int i = 0; i <= 100; ++i) {
        x.push_back(i / 10.0);
        y.push_back(0.5 + peak(i / 10.0, 3, 1, 2) + peak(i / 10.0, 7, 1, 4));
    }
    UseData(x, y);
    const double start[] = {0.4, 3.2, 1.2, 1.5, 6.8, 3.5};
    for (int k = 0; k < 6; ++k)
        Set(("P" + std::to_string(k + 1)).c_str(), start[k]);
    Set("TOLERANCE", 0);
    Call("ITERATE", "100");
    EXPECT_EQ(0, Err());
    const double truth[] = {0.5, 3, 1, 2, 7, 4};
    for (int k = 0; k < 6; ++k)
        EXPECT_TRUE(qxtest::Close(names[k], truth[k], Get(("P" + std::to_string(k + 1)).c_str()), 1e-7));

    ASSERT_EQ(0, ShareAcrossReplicas(s, 3, false));
    EXPECT_EQ(7, Get("NPARA"));
    EXPECT_EQ("w1", GetText("N3"));
    EXPECT_EQ("w2", GetText("N6"));
    EXPECT_TRUE(qxtest::Close("w1", 1, Get("P3"), 1e-7));
    EXPECT_TRUE(qxtest::Close("w2", 1, Get("P6"), 1e-7));
    EXPECT_TRUE(qxtest::Close("A2", 4, Get("P7"), 1e-7));
    EXPECT_EQ(1, ShareAcrossReplicas(s, 1, true)) << "y0 is not repeated";
}

// The fit of the library's Gauss, whose rows the engine computes itself, is the fit of the
// same function called for every row (reached as an External DLL function, which the engine
// always calls), to the bit: parameters, errors, SSR and points. The cases cover one peak,
// two peaks sharing a width, a peak held at amplitude 0, rows with missing values, a row
// the derivative call fails (an infinite x), odd row counts and weighted rows.
TEST_F(ModelTest, LibraryGaussComputedInTheEngineFitsAsTheLibraryCalledRowByRow)
{
    const struct Case {
        const char* name;
        int points, replicas;
        bool shareWidth;
        std::vector<double> start;
        int heldAtZero;  // 1-based parameter held at 0, or 0
        int iterations;
        int weighting;   // WTYPE
    } cases[] = {
        {"one peak", 1001, 0, false, {0.3, 4.6, 2.0, 2.0}, 0, 12, 0},
        {"two peaks, one width", 600, 1, true, {0.4, 3.2, 1.2, 1.5, 6.8, 3.5}, 0, 12, 0},
        {"second peak held at 0", 257, 1, false, {0.3, 4.6, 2.0, 2.0, 7.0, 1.0, 0.0}, 7, 8, 0},
        {"missing and infinite values", 515, 0, false, {0.3, 4.6, 2.0, 2.0}, 0, 10, 0},
        {"statistical weights", 300, 0, false, {0.3, 6.6, 2.0, 2.0}, 0, 10, 2},
    };
    auto peak = [](double at, double xc, double w, double a) {
        const double u = (at - xc) / w;
        return a / (w * 1.2533141373155003) * exp(-2 * u * u);
    };
    int dataset = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> x, y;
        for (int i = 0; i < c.points; ++i) {
            x.push_back(10.0 * i / c.points);
            y.push_back(0.5 + peak(x.back(), 3, 1, 2) + peak(x.back(), 7, 1, 4) + 0.01 * sin(7.0 * i));
        }
        if (c.name[0] == 'm') {
            y[10] = MISSING_VALUE;
            x[300] = MISSING_VALUE;
            x[301] = INFINITY;
        }
        const std::string xName = "gx" + std::to_string(++dataset), yName = "gy" + std::to_string(dataset);
        host.AddDataset(xName, x);
        host.AddDataset(yName, y);
        struct Result {
            std::vector<double> values;
            int err;
        } results[2];
        const char* sources[] = {"curvelib.Gauss", "QCLB60.Gauss"};
        for (int way = 0; way < 2; ++way) {
            ScxFit(window, 2, 0, nullptr, TestHost::Callback);
            Get("NPARA");
            FunctionDef def = {};
            snprintf(def.name, sizeof def.name, "Peaks%d", way);
            def.functionType = way == 0 ? KW_BUILTIN : KW_EXTERNAL_DLL;
            def.functionForm = KW_EXPRESSION;
            strcpy(def.source, sources[way]);
            strcpy(def.paramNames, "y0 xc w A");
            def.nParams = 4;
            def.nIndependent = def.nDependent = 1;
            def.duplicateOffset = 2;
            def.duplicateUnit = 3;
            def.options[OPT_KEEP_PARAMS] = KW_NO;
            ASSERT_EQ(0, AddLoadedFunction(Session(), &def));
            SetText("FUNC", def.name);
            ASSERT_EQ(0, Err());
            ASSERT_EQ(1, Session()->current->derivativeFlag);
            Set("NUMREPLICA", c.replicas);
            if (c.shareWidth)
                ASSERT_EQ(0, ShareAcrossReplicas(Session(), 3, true));
            SetText("X", xName);
            SetText("Y", yName);
            const int n = static_cast<int>(c.start.size());
            ASSERT_EQ(n, Get("NPARA"));
            for (int k = 1; k <= n; ++k)
                Set(("P" + std::to_string(k)).c_str(), c.start[k - 1]);
            if (c.heldAtZero)
                Set(("V" + std::to_string(c.heldAtZero)).c_str(), 0);
            Set("WTYPE", c.weighting);
            Set("TOLERANCE", 0);
            Call("ITERATE", std::to_string(c.iterations).c_str());
            results[way].err = Err();
            for (int k = 1; k <= n; ++k) {
                results[way].values.push_back(Get(("P" + std::to_string(k)).c_str()));
                results[way].values.push_back(Get(("E" + std::to_string(k)).c_str()));
            }
            results[way].values.push_back(Get("SSR"));
            results[way].values.push_back(Get("NPOINTS"));
        }
        EXPECT_EQ(results[1].err, results[0].err);
        ASSERT_EQ(results[1].values.size(), results[0].values.size());
        for (size_t i = 0; i < results[0].values.size(); ++i)
            EXPECT_EQ(0, memcmp(&results[0].values[i], &results[1].values[i], sizeof(double)))
                << "value " << i << ": " << results[0].values[i] << " against " << results[1].values[i];
        // The fit went somewhere: the first centre moved from its start to one of the data's.
        const double xc = results[0].values[2];
        EXPECT_TRUE(fabs(xc - 3) < 0.1 || fabs(xc - 7) < 0.1) << xc;
    }
}
