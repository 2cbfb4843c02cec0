// The function catalogue the build ships in the program folder (one definition file per
// model of curvelib, listed in qfit.ini), used by a session whose settings folder has no
// qfit.ini of its own; and what a script is told when a function cannot be chosen or
// fitted, or when a setting is refused.
#include <gtest/gtest.h>

#include <math.h>

#include <map>

#include "FitFunction.h"
#include "ScriptKit.h"
#include "qxtest/Numeric.h"

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    *(strrchr(path, '\\') + 1) = 0;
    return path;
}

std::vector<std::string> Keys(const char* section, const std::string& file)
{
    std::vector<char> buffer(65536);
    GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    std::vector<std::string> keys;
    for (const char* p = buffer.data(); *p; p += strlen(p) + 1)
        keys.push_back(p);
    return keys;
}

std::string Profile(const char* section, const char* key, const std::string& file)
{
    char value[512] = "";
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file.c_str());
    return value;
}

void CatchAll(const char* text, int, void* user)
{
    *static_cast<std::string*>(user) += std::string(text) + "\n";
}

class ScriptCatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { folder = scriptkit::UseSettingsFolder("catalogue"); }
    void TearDown() override { qkfxSetGlobalINIPath(nullptr); }

    // Runs text and keeps everything printed, error messages included, in out.
    void Run(const std::string& text, bool newProject = false)
    {
        if (newProject)
            qkfxGetProject().New();
        CQKScript& script = qkfxGetScript();
        out.clear();
        script.SetOutput(CatchAll, &out);
        script.Execute(text);
        script.SetOutput(nullptr, nullptr);
    }
    double Value(const std::string& expression)
    {
        double v = 0;
        EXPECT_TRUE(qkfxGetScript().Evaluate(expression, &v)) << expression;
        return v;
    }
    void WriteFile(const std::string& name, const std::string& bytes)
    {
        FILE* f = fopen((folder + name).c_str(), "wb");
        ASSERT_TRUE(f != nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    // Lists a definition file of the test's folder in a category of the folder's qfit.ini.
    void List(const char* category, const std::string& name)
    {
        const std::string ini = folder + "qfit.ini";
        WritePrivateProfileStringA("Category", category, folder.c_str(), ini.c_str());
        WritePrivateProfileStringA(category, name.c_str(), name.c_str(), ini.c_str());
    }

    std::string folder;
    std::string out;
};

// Every row of the library's table has a definition listed in one category, whose counts
// are the library's; Gauss is the default of the category a session opens.
TEST_F(ScriptCatalogueTest, EveryModelIsListed)
{
    const std::string ini = ProgramFolder() + "qfit.ini";
    HMODULE lib = LoadLibraryA((ProgramFolder() + "QCLB60.dll").c_str());
    ASSERT_TRUE(lib != nullptr);
    typedef FitFunction(WINAPI * GetFunc)(const char*, unsigned short*, unsigned short*, unsigned short*,
                                          unsigned short*);
    GetFunc getFunc = reinterpret_cast<GetFunc>(GetProcAddress(lib, "Get_Func"));
    ASSERT_TRUE(getFunc != nullptr);

    std::map<std::string, std::string> seen;
    for (const std::string& category : Keys("Category", ini)) {
        const std::string dir = ProgramFolder() + Profile("Category", category.c_str(), ini) + "\\";
        for (const std::string& name : Keys(category.c_str(), ini)) {
            if (name == "Default Function")
                continue;
            SCOPED_TRACE(category + " / " + name);
            EXPECT_TRUE(seen.emplace(name, category).second) << "listed twice";
            const std::string fdf = dir + Profile(category.c_str(), name.c_str(), ini) + ".fdf";
            unsigned short counts[4] = {0, 0, 0, 0};
            ASSERT_TRUE(getFunc(name.c_str(), &counts[0], &counts[1], &counts[2], &counts[3]) != nullptr);
            EXPECT_EQ(name, Profile("GENERAL INFORMATION", "Function Name", fdf));
            EXPECT_EQ("curvelib." + name, Profile("GENERAL INFORMATION", "Function Source", fdf));
            EXPECT_EQ("Built-in", Profile("GENERAL INFORMATION", "Function Type", fdf));
            EXPECT_EQ(std::to_string(counts[0]), Profile("GENERAL INFORMATION", "Number Of Independent Variables", fdf));
            EXPECT_EQ(std::to_string(counts[2]), Profile("GENERAL INFORMATION", "Number Of Parameters", fdf));
        }
    }
    EXPECT_EQ(189u, seen.size());
    EXPECT_EQ("Quorix Basic Functions", seen["Gauss"]);
    EXPECT_EQ("Gauss", Profile("Quorix Basic Functions", "Default Function", ini));
    FreeLibrary(lib);
}

// A script chooses Gauss by name from the shipped catalogue and fits one peak: the
// default-named parameters, the fit curve, the parameter worksheet, and what ending the fit
// leaves behind.
TEST_F(ScriptCatalogueTest, FitsGaussChosenByName)
{
    auto gauss = [](double x) { return 0.5 + 2 / (1.2533141373155003) * exp(-2 * (x - 3) * (x - 3)); };
    Run("win -t wks; for (i = 1; i <= 61; i += 1) { x = (i - 1) / 10; Data1_A[i] = x;"
        "Data1_B[i] = 0.5 + 2 / 1.2533141373155003 * exp(-2 * (x - 3)^2) + 0.001 * sin(7 * i); }",
        true);
    Run("qfit.init(); qfit.func$ = Gauss; type $(qfit.err) $(qfit.npara); %A = qfit.n4$; type %A;");
    EXPECT_EQ("0 4\nP4\n", out);
    Run("qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.xmode = 0; qfit.tolerance = 1e-12;"
        "qfit.p1 = 0.4; qfit.p2 = 2.8; qfit.p3 = 1.2; qfit.p4 = 1.5; qfit.fit(100); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    const double truth[] = {0.5, 3, 1, 2};
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k + 1);
        EXPECT_TRUE(qxtest::Close("parameter", truth[k], Value("qfit.p" + std::to_string(k + 1)), 1e-2, 1e-2));
    }
    for (int row : {21, 31, 41})
        EXPECT_TRUE(qxtest::Close("fit curve", gauss(Value("Data1_A[" + std::to_string(row) + "]")),
                                  Value("YFIT[" + std::to_string(row) + "]"), 1e-2, 1e-2));

    const double first = Value("qfit.niter");
    EXPECT_GT(first, 1);

    // The parameter worksheet of the results page's button: names, values, errors and the
    // confidence limits found by refitting, one row per parameter.
    Run("run.section(fit.qgs, ParaConf, Params); %A = Params_A[2]$; type %H %A;");
    EXPECT_EQ("Params P2\n", out);
    EXPECT_DOUBLE_EQ(Value("qfit.p2"), Value("Params_B[2]"));
    EXPECT_DOUBLE_EQ(Value("qfit.e4"), Value("Params_C[4]"));
    EXPECT_LT(Value("Params_D[2]"), Value("Params_B[2]"));
    EXPECT_GT(Value("Params_E[2]"), Value("Params_B[2]"));

    // Ending the fit leaves the report in the results log and the fit curve as a column of
    // the worksheet (B being the data's, the next free one); the working curve YFIT goes.
    Run("qfit.end();");
    EXPECT_NE(std::string::npos, out.find("Model: Gauss")) << out;
    EXPECT_NE(std::string::npos, out.find("P2\t2.99")) << out;
    for (int row : {21, 31, 41})
        EXPECT_TRUE(qxtest::Close("kept fit curve", gauss(Value("Data1_A[" + std::to_string(row) + "]")),
                                  Value("Data1_C[" + std::to_string(row) + "]"), 1e-2, 1e-2));
    double gone = 0;
    EXPECT_FALSE(qkfxGetScript().Evaluate("YFIT[21]", &gone));

    // The same fit again after the first has ended takes the same course: nothing of the
    // first run's damping carries over.
    Run("qfit.p1 = 0.4; qfit.p2 = 2.8; qfit.p3 = 1.2; qfit.p4 = 1.5; qfit.fit(100); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    EXPECT_EQ(first, Value("qfit.niter"));
}

// A shipped function chosen by name fits without a value typed: parameters whose meanings
// name a role are estimated from the data (peaks, decays, growths, steps, several peaks
// through replicas), the others start from the definition's values. Values the script set
// are kept.
TEST_F(ScriptCatalogueTest, ShippedFunctionsStartFromTheData)
{
    struct Case {
        const char* function;
        int replicas;
        const char* data;  // y over x = (i - 1) / 10, i = 1 .. 81
        std::vector<double> truth;
    };
    const Case cases[] = {
        {"Gauss", 0, "0.5 + 2 / 1.2533141373155 * exp(-2 * (x - 3)^2)", {0.5, 3, 1, 2}},
        {"Gauss", 0, "-1 - 30 / (0.3 * 1.2533141373155) * exp(-2 * ((x - 6.5) / 0.3)^2)", {-1, 6.5, 0.3, -30}},
        {"Lorentz", 0, "0.2 + 2 * 3 / pi * 0.8 / (4 * (x - 2)^2 + 0.64)", {0.2, 2, 0.8, 3}},
        {"GaussAmp", 0, "1 + 5 * exp(-(x - 4)^2 / (2 * 0.5^2))", {1, 4, 0.5, 5}},
        {"Gauss", 1, "0.1 + 3 / 0.7520 * exp(-2 * ((x - 2) / 0.6)^2) + 1 / 0.7520 * exp(-2 * ((x - 5.5) / 0.6)^2)",
         {0.1, 2, 0.6, 3, 5.5, 0.6, 1}},
        {"ExpDecay1", 0, "0.3 + 4 * exp(-x / 1.5)", {0.3, 0, 4, 1.5}},
        {"ExpDec1", 0, "2 + 10 * exp(-x / 0.8)", {2, 10, 0.8}},
        {"ExpGrow1", 0, "1 + 0.5 * exp(x / 2)", {1, 0, 0.5, 2}},
        {"Boltzman", 0, "5 + (1 - 5) / (1 + exp((x - 4) / 0.7))", {1, 5, 4, 0.7}},
        {"Line", 0, "3 - 0.5 * x", {3, -0.5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.function) + " over " + c.data);
        Run(std::string("win -t wks; for (i = 1; i <= 81; i += 1) { x = (i - 1) / 10; Data1_A[i] = x;"
                        "Data1_B[i] = ") + c.data + " + 0.002 * sin(7 * i); }",
            true);
        Run(std::string("qfit.init(); qfit.func$ = ") + c.function + ";" +
            (c.replicas ? "qfit.numreplica = " + std::to_string(c.replicas) + ";" : std::string()) +
            "qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.fit(200); type $(qfit.err);");
        EXPECT_EQ("0\n", out);
        ASSERT_EQ(c.truth.size(), static_cast<size_t>(Value("qfit.npara")));
        for (size_t k = 0; k < c.truth.size(); ++k)
            EXPECT_TRUE(qxtest::Close("parameter " + std::to_string(k + 1), c.truth[k],
                                      Value("qfit.p" + std::to_string(k + 1)), 2e-2, 2e-2));
        Run("qfit.end(65535);");
    }

    // A value the script gave is the start, not an estimate: a centre far off the peak
    // leaves the fit at the other bump.
    Run("win -t wks; for (i = 1; i <= 81; i += 1) { x = (i - 1) / 10; Data1_A[i] = x;"
        "Data1_B[i] = 2 * exp(-2 * (x - 2)^2) + 0.5 * exp(-2 * (x - 7)^2); }",
        true);
    Run("qfit.init(); qfit.func$ = Gauss; qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.p2 = 7;"
        "qfit.fit(200); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    EXPECT_NEAR(7, Value("qfit.p2"), 0.05);

    // A function passed over in the list hands none of its start values on to the next one's
    // parameters of the same names; a variable the script set does.
    Run("qfit.end(65535); qfit.func$ = PolyN; qfit.func$ = Gauss; type $(qfit.p2 == --);");
    EXPECT_EQ("1\n", out);
    Run("qfit.func$ = PolyN; P2 = 6.5; qfit.func$ = Gauss; type $(qfit.p2);");
    EXPECT_EQ("6.5\n", out);
}

// The quick fits of the graph's Analysis menu fit the graph's active dataset without a
// value typed and end as Done does: the curve kept as a column of the data's worksheet and
// drawn in the graph, the report in the results log. Polynomial and multi-peak fits take
// their count from the question, which without a main window keeps its default (2).
TEST_F(ScriptCatalogueTest, QuickFitsLeaveCurveAndReport)
{
    struct Case {
        const char* file;
        const char* section;
        const char* data;  // y over x = (i - 1) / 10, i = 1 .. 81
        const char* model;
        const char* check;  // a condition on the fitted parameters
    };
    const Case cases[] = {
        {"fit", "Fit1Peak, Gauss", "0.5 + 2 / 1.2533141373155 * exp(-2 * (x - 3)^2)", "Gauss", "abs(qfit.p2 - 3) < 0.01"},
        {"fit", "Fit1Peak, Lorentz", "1 + 2 / pi * 0.5 / (4 * (x - 4)^2 + 0.25)", "Lorentz", "abs(qfit.p2 - 4) < 0.01"},
        {"fit", "FitNPeaks, Gauss", "exp(-2 * (x - 2)^2) + 2 * exp(-2 * (x - 6)^2)", "Gauss",
         "qfit.npara == 7 && abs(qfit.p2 - 2) < 0.01 && abs(qfit.p5 - 6) < 0.01 || abs(qfit.p5 - 2) < 0.01 && abs(qfit.p2 - 6) < 0.01"},
        {"fit", "ExpDecay1", "0.5 + 3 * exp(-x / 2)", "ExpDecay1", "abs(qfit.p4 - 2) < 0.01"},
        {"fit", "ExpDecay2", "0.5 + 3 * exp(-x / 0.5) + 2 * exp(-x / 4)", "ExpDecay2",
         "abs(qfit.p4 * qfit.p6 - 2) < 0.01 && abs(qfit.p4 + qfit.p6 - 4.5) < 0.01"},
        {"fit", "ExpDecay3", "1 + exp(-x / 0.2) + exp(-x / 1.5) + exp(-x / 6)", "ExpDecay3", "abs(qfit.p1 - 1) < 0.1"},
        {"fit", "ExpGrowth", "2 + 0.1 * exp(x / 1.5)", "ExpGrow1", "abs(qfit.p4 - 1.5) < 0.01"},
        {"fit", "Sigmoidal", "1 + 4 / (1 + exp((x - 5) / 0.5))", "Boltzman", "abs(qfit.p3 - 5) < 0.01"},
        {"LR", "MenuLR", "2 + 0.5 * x", "Line", "abs(qfit.p2 - 0.5) < 0.01"},
        {"PR", "MenuPR", "1 - x + 0.25 * x^2", "Parabola", "abs(qfit.p3 - 0.25) < 0.01"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + ", " + c.section);
        Run(std::string("win -t wks; for (i = 1; i <= 81; i += 1) { x = (i - 1) / 10; Data1_A[i] = x;"
                        "Data1_B[i] = ") + c.data + " + 0.001 * sin(7 * i); } worksheet -p 201 scatter;",
            true);
        Run(std::string("r = run.section(") + c.file + ", " + c.section + "); type $(r);");
        EXPECT_NE(std::string::npos, out.find(std::string("Model: ") + c.model + " ")) << out;
        EXPECT_EQ("0\n", out.substr(out.size() - 2)) << out;
        EXPECT_EQ(1, Value(c.check)) << c.check;
        // The curve: the data's next column, plotted with the data in the graph (with its
        // peaks when there are several); no working curve is left.
        Run("layer -c; type %Z $(exist(Data1_C));");
        EXPECT_EQ(0u, out.find("Data1_B Data1_C ")) << out;
        EXPECT_EQ(std::string::npos, out.find("YFIT")) << out;
        EXPECT_EQ("1\n", out.substr(out.size() - 2)) << out;
        EXPECT_EQ(0, Value("qfit.status"));
    }

    // Without a dataset in the active window there is nothing to fit, and nothing is made.
    Run("win -t wks; r = run.section(fit, Fit1Peak, Gauss); type $(r);", true);
    EXPECT_NE(std::string::npos, out.find("There is no dataset to fit")) << out;
    EXPECT_EQ("1\n", out.substr(out.size() - 2)) << out;
}

// The fitting templates of the worksheet's plot commands plot the selected columns as a
// scatter in a new graph and fit it: the parameters are the ones the data were made from
// (a straight line through noisy data: the least-squares line worked out here, to the
// fitter's convergence), the curve
// is kept and drawn beside the data.
TEST_F(ScriptCatalogueTest, FittingTemplatesPlotAndFit)
{
    struct Case {
        const char* section;
        const char* data; // y over x = i / 10, i = 1 .. 81
        const char* model;
        std::vector<double> truth; // the parameters, in the model's order; empty: the line
    };
    const Case cases[] = {
        {"LinearReg", "2 + 0.5 * x + 0.05 * sin(7 * i)", "Line", {}},
        {"ExpGrow", "2 + 0.1 * exp(x / 1.5)", "ExpGrow1", {}},
        {"ExpDec", "0.5 + 3 * exp(-x / 2)", "ExpDecay1", {}},
        {"Sigmoidal", "1 + 4 / (1 + exp((x - 5) / 0.5))", "Boltzman", {5, 1, 5, 0.5}},
        {"DoseRespFit", "1 + (5 - 1) / (1 + (x / 2)^3)", "Logistic", {5, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        Run(std::string("win -t wks; for (i = 1; i <= 81; i += 1) { x = i / 10; Data1_A[i] = x; Data1_B[i] = ") +
                c.data + "; }",
            true);
        Run(std::string("r = run.section(PlotProf, ") + c.section + "); type $(r) %H;");
        EXPECT_NE(std::string::npos, out.find(std::string("Model: ") + c.model + " ")) << out;
        EXPECT_NE(std::string::npos, out.find("0 Graph1\n")) << out;
        for (size_t k = 0; k < c.truth.size(); ++k)
            EXPECT_TRUE(qxtest::Close("parameter", c.truth[k], Value("qfit.p" + std::to_string(k + 1)), 1e-4, 1e-4))
                << k + 1;
        if (std::string(c.model) == "Line") {
            double sx = 0, sy = 0, sxx = 0, sxy = 0;
            const int n = 81;
            for (int i = 1; i <= n; ++i) {
                const double x = i / 10.0, y = 2 + 0.5 * x + 0.05 * sin(7.0 * i);
                sx += x, sy += y, sxx += x * x, sxy += x * y;
            }
            const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx), intercept = (sy - slope * sx) / n;
            EXPECT_TRUE(qxtest::Close("intercept", intercept, Value("qfit.p1"), 1e-5, 1e-5));
            EXPECT_TRUE(qxtest::Close("slope", slope, Value("qfit.p2"), 1e-5, 1e-5));
        } else {
            // Exact data: the kept curve is the data.
            for (int row : {1, 30, 60, 81})
                EXPECT_TRUE(qxtest::Close("curve", Value("Data1_B[" + std::to_string(row) + "]"),
                                          Value("Data1_C[" + std::to_string(row) + "]"), 1e-4, 1e-4))
                    << row;
        }
        Run("layer -c; type %Z;");
        EXPECT_EQ("Data1_B Data1_C\n", out);
    }
}

// A function that cannot be chosen says why, and a later fit fails with a message instead
// of answering success with no parameters.
TEST_F(ScriptCatalogueTest, UnusableDefinitionsSayWhy)
{
    const std::string head = "[GENERAL INFORMATION]\r\nFunction Name=%s\r\nFunction Type=User-Defined\r\n"
                             "Number Of Parameters=1\r\nNumber Of Independent Variables=1\r\n"
                             "Number Of Dependent Variables=1\r\n[FITTING PARAMETERS]\r\nNames=a\r\n";
    auto file = [&](const std::string& name, const std::string& rest) {
        std::string text = head;
        text.replace(text.find("%s"), 2, name);
        WriteFile(name + ".fdf", text + rest);
    };
    file("Huge", "[FORMULA]\r\n" + std::string(5000, 'a') + "\r\n");
    file("ZeroByte", std::string("[FORMULA]\r\na*x\0+1\r\n", 19));
    WriteFile("Nameless.fdf", "[GENERAL INFORMATION]\r\nNumber Of Parameters=1\r\n[FORMULA]\r\na*x\r\n");
    WriteFile("NoCount.fdf", "[GENERAL INFORMATION]\r\nFunction Name=NoCount\r\nNumber Of Parameters=N/A\r\n"
                             "Number Of Independent Variables=1\r\nNumber Of Dependent Variables=1\r\n");
    for (const char* name : {"Huge", "ZeroByte", "Nameless", "NoCount", "Missing"})
        List("Broken", name);

    const struct {
        const char* name;
        const char* says;
    } cases[] = {
        {"Huge", "section [FORMULA] is longer than 4096 characters"},
        {"ZeroByte", "holds a NUL byte at offset"},
        {"Nameless", "\"Function Name\" is missing or empty"},
        {"NoCount", "Number Of Parameters is missing"},
        {"Missing", "Missing.fdf does not exist"},
    };
    Run("win -t wks; Data1_A[1] = 1; Data1_B[1] = 2; Data1_A[2] = 2; Data1_B[2] = 3;", true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Run(std::string("qfit.init(); qfit.func$ = ") + c.name + "; type $(qfit.err);");
        EXPECT_NE(std::string::npos, out.find(std::string("The function '") + c.name + "' cannot be used")) << out;
        EXPECT_NE(std::string::npos, out.find(c.says)) << out;
        EXPECT_NE(std::string::npos, out.find("28052")) << out;
        Run("qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.fit(10); type $(qfit.err) $(qfit.npara);");
        EXPECT_NE(std::string::npos, out.find("No function is chosen to fit")) << out;
        EXPECT_NE(std::string::npos, out.find("28052 0")) << out;
    }
}

// Settings values of qfit.ini are evaluated only when they cannot act: an assignment, a
// method call or a command is refused with a message and the default kept; a value out of
// range is refused too, from qfit.ini or from a script.
TEST_F(ScriptCatalogueTest, SettingsAreRefusedOutsideTheirRange)
{
    const std::string ini = folder + "qfit.ini";
    const std::string victim = folder + "victim.txt";
    WriteFile("victim.txt", "keep me");
    const struct {
        const char* key;
        std::string value;
        const char* member;
        double expected;
        bool refused;
    } cases[] = {
        {"tolerance", "1/1000", "tolerance", 0.001, false},
        {"tolerance", "sneaky=0.25", "tolerance", 0.05, true},
        {"tolerance", "fum.remove(\"" + victim + "\")", "tolerance", 0.05, true},
        {"tolerance", "type hello", "tolerance", 0.05, true},
        {"tolerance", "1e308*10", "tolerance", 0.05, true},
        {"derivStepSize", "0", "derivstep", 0.005, true},
        {"minDerivStepSize", "1e40", "minderivstep", 5e-30, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        WritePrivateProfileStringA("QFIT Control", c.key, c.value.c_str(), ini.c_str());
        Run("qfit.init(); type $(qfit." + std::string(c.member) + ");", true);
        EXPECT_TRUE(qxtest::Close(c.key, c.expected, Value(std::string("qfit.") + c.member), 1e-12));
        EXPECT_EQ(c.refused, out.find("Fitter setting refused") != std::string::npos) << out;
        if (c.refused) {
            EXPECT_NE(std::string::npos, out.find(c.key)) << out;
        }
        WritePrivateProfileStringA("QFIT Control", c.key, nullptr, ini.c_str());
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES == GetFileAttributesA(victim.c_str()), false);
    double never = 0;
    EXPECT_FALSE(qkfxGetScript().Evaluate("sneaky", &never)) << "the assignment in qfit.ini ran";

    // From a script: the value stays and the script learns why.
    const struct {
        const char* assignment;
        const char* member;
        double kept;
    } scripted[] = {
        {"qfit.tolerance = 1e308*10", "tolerance", 0.05},
        {"qfit.derivstep = 0", "derivstep", 0.005},
        {"qfit.maxderivstep = 1e-40", "maxderivstep", 5e30},
    };
    for (const auto& c : scripted) {
        SCOPED_TRACE(c.assignment);
        Run(std::string("qfit.init(); ") + c.assignment + "; type $(qfit.err);", true);
        EXPECT_NE(std::string::npos, out.find("28053")) << out;
        EXPECT_TRUE(qxtest::Close(c.member, c.kept, Value(std::string("qfit.") + c.member), 1e-12));
    }
}

// A fit ended and started again on the same data takes the same course, iteration for
// iteration and to the same damping: the Levenberg-Marquardt mu of the last fit does not
// carry over into the next, in the same session or a new one.
TEST_F(ScriptCatalogueTest, RepeatedFitsTakeTheSameCourse)
{
    WriteFile("Bell.fdf", "[GENERAL INFORMATION]\r\nFunction Name=Bell\r\nFunction Type=User-Defined\r\n"
                          "Function Form=Expression\r\nNumber Of Parameters=3\r\nNumber Of Independent Variables=1\r\n"
                          "Number Of Dependent Variables=1\r\n[FITTING PARAMETERS]\r\nNames=a,b,c\r\n"
                          "Initial Values=1(V),2(V),1(V)\r\n[FORMULA]\r\na*exp(-(x-b)^2/c)\r\n"
                          "[INDEPENDENT VARIABLES]\r\nx=\r\n[DEPENDENT VARIABLES]\r\ny=\r\n[CONTROLS]\r\n"
                          "Paste Parameters to Notes Window After Fitting=No\r\n");
    List("Mine", "Bell");
    Run("win -t wks; for (i = 1; i <= 41; i += 1) { x = (i - 1) / 5; Data1_A[i] = x;"
        "Data1_B[i] = 3 * exp(-(x - 4)^2 / 2) + 0.05 * sin(17 * i); }",
        true);
    const std::string fit = "qfit.func$ = Bell; qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.tolerance = 1e-12;"
                            "qfit.p1 = 1; qfit.p2 = 2.5; qfit.p3 = 1; qfit.fit(100);"
                            "type $(qfit.err) $(qfit.niter) $(qfit.mu); qfit.end();";
    Run(fit);
    const std::string first = out;
    EXPECT_EQ('0', first[0]) << first;
    for (const std::string& again : {fit, fit, "qfit.init();" + fit}) {
        Run(again);
        EXPECT_EQ(first, out);
    }
}

// A definition's constants are variables its formula can use, and datasets named in its
// variable sections are assigned when it is chosen; a constant without a value or a named
// dataset that does not exist is an error that names it.
TEST_F(ScriptCatalogueTest, ConstantsAndNamedDatasets)
{
    auto define = [&](const std::string& name, const std::string& constants, const std::string& x) {
        WriteFile(name + ".fdf", "[GENERAL INFORMATION]\r\nFunction Name=" + name +
                                     "\r\nFunction Type=User-Defined\r\nFunction Form=Expression\r\n"
                                     "Number Of Parameters=2\r\nNumber Of Independent Variables=1\r\n"
                                     "Number Of Dependent Variables=1\r\n[FITTING PARAMETERS]\r\nNames=a,b\r\n"
                                     "Initial Values=1(V),1(V)\r\n[FORMULA]\r\nk*a+b*x\r\n[CONSTANTS]\r\n" +
                                     constants + "\r\n[INDEPENDENT VARIABLES]\r\nx=" + x +
                                     "\r\n[DEPENDENT VARIABLES]\r\ny=Data1_B\r\n[CONTROLS]\r\n"
                                     "Paste Parameters to Notes Window After Fitting=No\r\n");
        List("Mine", name);
    };
    define("Scaled", "k=3", "Data1_A");
    define("NoValue", "k=", "Data1_A");
    define("NoData", "k=3", "NoSuchColumn");
    Run("win -t wks; for (i = 1; i <= 6; i += 1) { Data1_A[i] = i; Data1_B[i] = 3 * 2 + 0.5 * i; }", true);

    Run("qfit.init(); qfit.func$ = Scaled; qfit.fit(50); type $(qfit.err) $(k);");
    EXPECT_EQ("0 3\n", out);
    EXPECT_TRUE(qxtest::Close("a", 2, Value("qfit.p1"), 1e-8, 1e-10));
    EXPECT_TRUE(qxtest::Close("b", 0.5, Value("qfit.p2"), 1e-8, 1e-10));

    const struct {
        const char* name;
        const char* says;
        const char* err;
    } cases[] = {
        {"NoValue", "The constant 'k=' of the function 'NoValue' has no value", "28052"},
        {"NoData", "The dataset 'NoSuchColumn' used in the fitting does not exist", "28049"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Run(std::string("qfit.init(); qfit.func$ = ") + c.name + "; type $(qfit.err);");
        EXPECT_NE(std::string::npos, out.find(c.says)) << out;
        EXPECT_NE(std::string::npos, out.find(c.err)) << out;
    }
}

// The data step belongs to the fit set of the dependent variable it is given for.
TEST_F(ScriptCatalogueTest, DataStepPerFitSet)
{
    WriteFile("Line2.fdf", "[GENERAL INFORMATION]\r\nFunction Name=Line2\r\nFunction Type=User-Defined\r\n"
                           "Function Form=Expression\r\nNumber Of Parameters=2\r\n"
                           "Number Of Independent Variables=1\r\nNumber Of Dependent Variables=1\r\n"
                           "[FITTING PARAMETERS]\r\nNames=a,b\r\n[FORMULA]\r\na+b*x\r\n"
                           "[INDEPENDENT VARIABLES]\r\nx=\r\n[DEPENDENT VARIABLES]\r\ny=\r\n");
    List("Mine", "Line2");
    Run("win -t wks;", true);
    Run("qfit.init(); qfit.func$ = Line2; qfit.numfitsets = 2; qfit.datastep2 = 2;"
        "type $(qfit.datastep1) $(qfit.datastep2); qfit.datastep1 = 3; type $(qfit.datastep1) $(qfit.datastep2);");
    EXPECT_EQ("1 2\n3 2\n", out);
}

}  // namespace
