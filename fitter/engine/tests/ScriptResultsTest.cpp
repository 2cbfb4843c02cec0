// Fits through scripts and the kernel: a function found in the catalogue with the start
// values its file states, datasets named by SETINDEP and SETDEPEND, the fitted curve, the
// confidence and prediction bands, the parameters' confidence limits, the residue made when
// the fit ends, and which datasets ending a fit deletes.
//
// The data are the line y = 1 + 2x plus residuals (1, -2, 0, 2, -1), orthogonal to 1 and x,
// so the least-squares line is a = 1, b = 2 with SSR 10 on 3 degrees of freedom. The band
// half widths follow from the textbook formulas for a straight line: with s^2 = 10 / 3,
// mean x 2 and Sxx 10, the standard error of the fit at x is s sqrt(1/5 + (x - 2)^2 / 10)
// and of a new observation s sqrt(1 + 1/5 + (x - 2)^2 / 10), each times the Student t
// quantile t(0.975, 3) = 3.18244630528371 (from tables).
#include <gtest/gtest.h>

#include <math.h>

#include "ScriptKit.h"
#include "qxtest/Numeric.h"

namespace {

const double kX[] = {0, 1, 2, 3, 4};
const double kY[] = {2, 1, 5, 9, 8};
const double kT975 = 3.18244630528371;

const char kLineFunction[] =
    "[GENERAL INFORMATION]\r\n"
    "Function Name=StraightLine\r\n"
    "Function Type=User-Defined\r\n"
    "Function Form=Expression\r\n"
    "Number Of Parameters=2\r\n"
    "Number Of Independent Variables=1\r\n"
    "Number Of Dependent Variables=1\r\n"
    "[FITTING PARAMETERS]\r\n"
    "Names=a,b\r\n"
    "Initial Values=0(V),1(V)\r\n"
    "[FORMULA]\r\n"
    "a+b*x\r\n"
    "[INDEPENDENT VARIABLES]\r\n"
    "x=\r\n"
    "[DEPENDENT VARIABLES]\r\n"
    "y=\r\n"
    "[CONTROLS]\r\n"
    "Generate Residue After Fitting=Yes\r\n"
    "Paste Parameters to Notes Window After Fitting=No\r\n"
    "Keep Parameters=No\r\n";

// The same line as a script that gives its own derivatives: y'a and y'b, named after the
// parameters of the first fit set whichever fit set is evaluated.
const char kScriptLineFunction[] =
    "[GENERAL INFORMATION]\r\n"
    "Function Name=ScriptLine\r\n"
    "Function Type=User-Defined\r\n"
    "Function Form=Y-Script\r\n"
    "Analytical Derivatives for User-Defined=On\r\n"
    "Number Of Parameters=2\r\n"
    "Number Of Independent Variables=1\r\n"
    "Number Of Dependent Variables=1\r\n"
    "[FITTING PARAMETERS]\r\n"
    "Names=a,b\r\n"
    "Initial Values=0(V),1(V)\r\n"
    "[FORMULA]\r\n"
    "y = a + b*x; y'a = 1; y'b = x;\r\n"
    "[INDEPENDENT VARIABLES]\r\n"
    "x=\r\n"
    "[DEPENDENT VARIABLES]\r\n"
    "y=\r\n"
    "[CONTROLS]\r\n"
    "Keep Parameters=No\r\n";

class ScriptResultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string folder = scriptkit::UseSettingsFolder("results");
        FILE* f = fopen((folder + "StraightLine.fdf").c_str(), "wb");
        ASSERT_TRUE(f != nullptr);
        fputs(kLineFunction, f);
        fclose(f);
        const std::string ini = folder + "qfit.ini";
        WritePrivateProfileStringA("Category", "Lines", folder.c_str(), ini.c_str());
        WritePrivateProfileStringA("Lines", "StraightLine", "StraightLine", ini.c_str());
        f = fopen((folder + "ScriptLine.fdf").c_str(), "wb");
        ASSERT_TRUE(f != nullptr);
        fputs(kScriptLineFunction, f);
        fclose(f);
        WritePrivateProfileStringA("Lines", "ScriptLine", "ScriptLine", ini.c_str());
    }
    void TearDown() override { qkfxSetGlobalINIPath(nullptr); }

    // Runs script text on the current project; fails the test when it does not run.
    void Run(const std::string& text, bool newProject = false)
    {
        std::string error;
        ASSERT_TRUE(scriptkit::Run("", text, {}, &out, &error, newProject)) << error;
    }
    double Value(const std::string& expression)
    {
        double v = -999;
        EXPECT_TRUE(qkfxGetScript().Evaluate(expression, &v)) << expression;
        return v;
    }
    void FillData()
    {
        std::string text = "win -t wks;";
        for (int i = 0; i < 5; ++i)
            text += "Data1_A[" + std::to_string(i + 1) + "] = " + std::to_string(kX[i]) + "; Data1_B[" +
                    std::to_string(i + 1) + "] = " + std::to_string(kY[i]) + ";";
        Run(text, true);
    }

    std::string out;
};

}  // namespace

TEST_F(ScriptResultsTest, FitCurveBandsAndResidue)
{
    FillData();
    Run("qfit.func$ = StraightLine; type $(qfit.p1) $(qfit.p2) $(qfit.err);");
    EXPECT_EQ("0 1 0\n", out) << "start values come from the function file";
    Run("qfit.setindep(x, Data1_A); qfit.setdepend(y, Data1_B); qfit.xmode = 0; qfit.fit(50);");
    EXPECT_TRUE(qxtest::Close("a", 1, Value("qfit.p1"), 1e-6));
    EXPECT_TRUE(qxtest::Close("b", 2, Value("qfit.p2"), 1e-6));
    EXPECT_TRUE(qxtest::Close("SSR", 10, Value("qfit.ssr"), 1e-9));
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const std::string row = "[" + std::to_string(i + 1) + "]";
        const double fit = 1 + 2 * kX[i];
        EXPECT_TRUE(qxtest::Close("YFIT", fit, Value("YFIT" + row), 1e-6));
    }

    Run("qfit.make(C); qfit.make(P); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    const double s2 = 10.0 / 3;
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const std::string row = "[" + std::to_string(i + 1) + "]";
        const double fit = 1 + 2 * kX[i], leverage = 0.2 + (kX[i] - 2) * (kX[i] - 2) / 10;
        const double conf = kT975 * sqrt(s2 * leverage), pred = kT975 * sqrt(s2 * (1 + leverage));
        EXPECT_TRUE(qxtest::Close("lower confidence", fit - conf, Value("YFIT_LCONF" + row), 1e-6));
        EXPECT_TRUE(qxtest::Close("upper confidence", fit + conf, Value("YFIT_UCONF" + row), 1e-6));
        EXPECT_TRUE(qxtest::Close("lower prediction", fit - pred, Value("YFIT_LPRED" + row), 1e-6));
        EXPECT_TRUE(qxtest::Close("upper prediction", fit + pred, Value("YFIT_UPRED" + row), 1e-6));
    }
    // Limits by refitting: for a model linear in its parameters they are best -/+ t * error,
    // here a: 1 -/+ t sqrt(2) and b: 2 -/+ t sqrt(1/3).
    const double fitted = Value("qfit.p1");
    Run("qfit.paraconf(); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    EXPECT_TRUE(qxtest::Close("lower limit of a", 1 - kT975 * sqrt(2.0), Value("qfit.l1"), 1e-3));
    EXPECT_TRUE(qxtest::Close("upper limit of a", 1 + kT975 * sqrt(2.0), Value("qfit.u1"), 1e-3));
    EXPECT_TRUE(qxtest::Close("lower limit of b", 2 - kT975 * sqrt(1.0 / 3), Value("qfit.l2"), 1e-3));
    EXPECT_TRUE(qxtest::Close("upper limit of b", 2 + kT975 * sqrt(1.0 / 3), Value("qfit.u2"), 1e-3));
    EXPECT_EQ(fitted, Value("qfit.p1")) << "the search leaves the fitted values as they were";

    // The covariance dataset holds the inverse curvature, (X'X)^-1 = [[0.6, -0.2], [-0.2, 0.1]]
    // for the design of 1 and x at x = 0..4.
    ASSERT_TRUE(qkfxGetProject().CreateDataset("cov", 4) != nullptr);
    Run("qfit.covar$ = cov; qfit.make(V); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    const double covariance[] = {0.6, -0.2, -0.2, 0.1};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(qxtest::Close("covariance", covariance[i], Value("cov[" + std::to_string(i + 1) + "]"), 1e-6));

    Run("%A = qfit.lconfcol$; %B = qfit.upredcol$; type %A %B;");
    EXPECT_EQ("YFIT_LCONF YFIT_UPRED\n", out);

    // Ending the fit makes the residue the function asks for and deletes the curve the fit
    // made; the bands stay.
    Run("qfit.end(); type $(exist(YFIT)) $(exist(YFIT_LCONF));");
    EXPECT_EQ("0 1\n", out);
    const double residuals[] = {1, -2, 0, 2, -1};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(qxtest::Close("residue", residuals[i], Value("Data1_residue[" + std::to_string(i + 1) + "]"),
                                  1e-6, 1e-6));
    }
}

// A dataset of the fit curve's name that the user had before the fit is refilled by the
// fit but never deleted by its end.
TEST_F(ScriptResultsTest, EndingAFitKeepsAUsersDatasetOfTheSameName)
{
    FillData();
    ASSERT_TRUE(qkfxGetProject().CreateDataset("YFIT", 5) != nullptr);
    Run("qfit.func$ = StraightLine; qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.xmode = 0; qfit.fit(50);");
    EXPECT_TRUE(qxtest::Close("YFIT", 9, Value("YFIT[5]"), 1e-6));
    Run("qfit.end(); type $(exist(YFIT));");
    EXPECT_EQ("1\n", out);
    Run("qfit.setweight(1, w, Data1_A); %A = qfit.w1$; type %A $(exist(w));");
    EXPECT_EQ("Data1_A 4\n", out);
    Run("%A = qfit.x$; type |%A|; qfit.cleanupfitdata(); %A = qfit.x$; type |%A|;");
    EXPECT_EQ("|Data1_A|\n||\n", out);
}

// Duplicates of a library function: two Gaussian peaks on one baseline are the function
// library's Gauss with one duplicate of (xc, w, A). The data are exact, so the fit finds the
// parameters that made them; the peak datasets hold each peak's own curve.
TEST_F(ScriptResultsTest, DuplicatedPeaks)
{
    const std::string folder = scriptkit::UseSettingsFolder("results");
    FILE* f = fopen((folder + "Peaks.fdf").c_str(), "wb");
    ASSERT_TRUE(f != nullptr);
    fputs("[GENERAL INFORMATION]\r\nFunction Name=Peaks\r\nFunction Source=curvelib.Gauss\r\n"
          "Function Type=Built-in\r\nNumber Of Parameters=4\r\nNumber Of Independent Variables=1\r\n"
          "Number Of Dependent Variables=1\r\n[FITTING PARAMETERS]\r\nNames=y0,xc,w,A\r\n"
          "[CONTROLS]\r\nNumber Of Duplicates=0\r\nDuplicate Offset=2\r\nDuplicate Unit=3\r\n"
          "Generate Peaks After Fitting=Yes\r\nGenerate Peaks with Baseline=No\r\nKeep Parameters=No\r\n",
          f);
    fclose(f);
    const std::string ini = folder + "qfit.ini";
    WritePrivateProfileStringA("Category", "Peaks", folder.c_str(), ini.c_str());
    WritePrivateProfileStringA("Peaks", "Peaks", "Peaks", ini.c_str());

    const double truth[] = {0.5, 3, 1, 2, 7, 1.5, 4};
    auto peak = [](double x, double xc, double w, double a) {
        const double u = (x - xc) / w;
        return a / (w * 1.2533141373155003) * exp(-2 * u * u);
    };
    Run("win -t wks; for (i = 1; i <= 101; i += 1) { x = (i - 1) / 10; Data1_A[i] = x;"
        "Data1_B[i] = 0.5 + 2 / 1.2533141373155003 * exp(-2 * (x - 3)^2)"
        " + 4 / (1.5 * 1.2533141373155003) * exp(-2 * ((x - 7) / 1.5)^2); }",
        true);
    Run("qfit.func$ = Peaks; qfit.numreplica = 1; type $(qfit.npara) $(qfit.numreplica);"
        "%A = qfit.n2$; %B = qfit.n7$; type %A %B;");
    EXPECT_EQ("7 1\nxc1 A2\n", out);
    Run("qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.xmode = 0; qfit.tolerance = 1e-14;"
        "qfit.p1 = 0.4; qfit.p2 = 3.2; qfit.p3 = 1.2; qfit.p4 = 1.5; qfit.p5 = 6.8; qfit.p6 = 1.3; qfit.p7 = 3.5;"
        "qfit.fit(200); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE(k + 1);
        EXPECT_TRUE(qxtest::Close("parameter", truth[k], Value("qfit.p" + std::to_string(k + 1)), 1e-6));
    }
    for (int row : {31, 50, 71}) {
        SCOPED_TRACE(row);
        const double x = (row - 1) / 10.0;
        const std::string at = "[" + std::to_string(row) + "]";
        EXPECT_TRUE(qxtest::Close("peak 1", peak(x, 3, 1, 2), Value("YFITPeak1" + at), 1e-6, 1e-9));
        EXPECT_TRUE(qxtest::Close("peak 2", peak(x, 7, 1.5, 4), Value("YFITPeak2" + at), 1e-6, 1e-9));
    }
}

// Two fit sets of one function: each set has its own datasets and parameters (the second
// set's named after the first's with "_2"), and its own fit curve. The second data are the
// exact line y = 3 - x / 2, so both sets' least-squares lines are known.
TEST_F(ScriptResultsTest, TwoFitSets)
{
    FillData();
    Run("worksheet -a 2; for (i = 1; i <= 5; i += 1) { Data1_C[i] = i; Data1_D[i] = 3 - i / 2; }");
    Run("qfit.func$ = StraightLine; qfit.numfitsets = 2; type $(qfit.numfitsets) $(qfit.npara) $(qfit.numdepend);"
        "%A = qfit.n3$; %B = qfit.n4$; type %A %B;");
    EXPECT_EQ("2 4 2\na_2 b_2\n", out);
    Run("qfit.x1$ = Data1_A; qfit.y1$ = Data1_B; qfit.x2$ = Data1_C; qfit.y2$ = Data1_D; qfit.xmode = 0;"
        "qfit.p3 = 0; qfit.p4 = 0; qfit.fit(50); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    const double expected[] = {1, 2, 3, -0.5};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k + 1);
        EXPECT_TRUE(qxtest::Close("parameter", expected[k], Value("qfit.p" + std::to_string(k + 1)), 1e-6, 1e-9));
    }
    EXPECT_TRUE(qxtest::Close("SSR of both sets", 10, Value("qfit.ssr"), 1e-9));
    EXPECT_TRUE(qxtest::Close("curve of set 1", 9, Value("YFIT1[5]"), 1e-6));
    EXPECT_TRUE(qxtest::Close("curve of set 2", 0.5, Value("YFIT2[5]"), 1e-6));

    // Back to one set: the first set's parameters stay.
    Run("qfit.numfitsets = 1; type $(qfit.npara) $(qfit.numdepend);");
    EXPECT_EQ("2 1\n", out);
    EXPECT_TRUE(qxtest::Close("a", 1, Value("qfit.p1"), 1e-6));
    Run("qfit.numfitsets = 51; type $(qfit.numfitsets);");
    EXPECT_EQ("1\n", out);
}

// A script with its own derivatives fits both sets: the second set's parameters (a_2, b_2)
// take their derivatives from y'a and y'b.
TEST_F(ScriptResultsTest, ScriptDerivativesForTwoFitSets)
{
    FillData();
    Run("worksheet -a 2; for (i = 1; i <= 5; i += 1) { Data1_C[i] = i; Data1_D[i] = 3 - i / 2; }");
    Run("qfit.func$ = ScriptLine; qfit.numfitsets = 2; qfit.x1$ = Data1_A; qfit.y1$ = Data1_B;"
        "qfit.x2$ = Data1_C; qfit.y2$ = Data1_D; qfit.xmode = 0; qfit.p3 = 0; qfit.p4 = 0;"
        "qfit.tolerance = 1e-15; qfit.fit(50); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    const double expected[] = {1, 2, 3, -0.5};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k + 1);
        EXPECT_TRUE(qxtest::Close("parameter", expected[k], Value("qfit.p" + std::to_string(k + 1)), 1e-9, 1e-12));
    }
    EXPECT_TRUE(qxtest::Close("SSR of both sets", 10, Value("qfit.ssr"), 1e-12));
}

// The fit curve goes to a graph: one is made when the fit starts from a worksheet, and a
// later fit brings the same graph back instead of making another.
TEST_F(ScriptResultsTest, TheFitGraphIsMadeOnceAndBroughtBack)
{
    FillData();
    Run("qfit.func$ = StraightLine; qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.xmode = 0; qfit.fit(20); type %H;");
    EXPECT_EQ("Graph1\n", out);
    Run("win -a Data1; qfit.fit(5); type %H $(exist(Graph2)) $(exist(intTemp));");
    EXPECT_EQ("Graph1 0 0\n", out);
}

// Beginning a fit shows the model at its start values as the live curve at the data rows;
// ending the fit takes the curve away again.
TEST_F(ScriptResultsTest, BeginShowsTheLiveCurve)
{
    FillData();
    Run("qfit.func$ = StraightLine; qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.p1 = 0.5; qfit.p2 = 2; qfit.begin();"
        "type $(qfit.err) $(YFIT[1]) $(YFIT[5]);");
    EXPECT_EQ("0 0.5 8.5\n", out);
    Run("qfit.end(); type $(exist(YFIT));");
    EXPECT_EQ("0\n", out);
}
