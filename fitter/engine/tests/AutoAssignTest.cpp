// The datasets the fitter window starts with, taken from the window the user works in: the
// columns selected in the active worksheet (one fit set each), or the active dataset of the
// active graph once the user has said so.
#include <gtest/gtest.h>

#include "ScriptKit.h"
#include "qxtest/DialogDriver.h"

namespace {

// The window opens in its basic mode, unless it starts at another page than before.
const int kSessionFullTemplate = 23382;
const int kSelectTemplate = 23395;
const int kSessionTemplate = 23397;
const int kDatasetsTemplate = 23400;

void CatchAll(const char* text, int, void* user)
{
    *static_cast<std::string*>(user) += std::string(text) + "\n";
}

void Pump()
{
    MSG msg;
    for (int i = 0; i < 50; ++i)
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
}

// This process's fitter window (other test programs may show theirs at the same time),
// once it has handled its creation message and shows itself.
HWND ShownFitterWindow()
{
    for (DWORD until = GetTickCount() + 5000; GetTickCount() < until; Sleep(10)) {
        Pump();
        for (HWND w = FindWindowExA(nullptr, nullptr, "QFIT41Parent", nullptr); w;
             w = FindWindowExA(nullptr, w, "QFIT41Parent", nullptr)) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(w))
                return w;
        }
    }
    return nullptr;
}

class AutoAssignTest : public ::testing::Test {
protected:
    void SetUp() override { scriptkit::UseSettingsFolder("autoassign"); }
    void TearDown() override
    {
        Run("qfit.end(); qfit.control(close);");
        Pump();
        qkfxSetGlobalINIPath(nullptr);
    }

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
    // Three Gaussian peaks in B, C and D over A; the parameters' script variables give Gauss
    // its start values.
    void MakeData()
    {
        Run("win -t wks; wks.ncols = 4; for (i = 1; i <= 41; i += 1) { x = (i - 1) / 10; Data1_A[i] = x;"
            "Data1_B[i] = 0.5 + 2 * exp(-2 * (x - 2)^2); Data1_C[i] = 0.5 + 3 * exp(-2 * (x - 2)^2);"
            "Data1_D[i] = 0.5 + 4 * exp(-2 * (x - 2)^2); } P1 = 0.5; P2 = 2; P3 = 1; P4 = 2;",
            true);
    }

    std::string out;
};

}  // namespace

TEST_F(AutoAssignTest, ColumnsSelectedInAWorksheetBecomeOneFitSetEach)
{
    MakeData();
    // The X column A is selected too, and left out.
    Run("wks.c1 = 1; wks.c2 = 4; wks.r1 = 0; wks.r2 = 0; qfit.init(); qfit.func$ = Gauss; qfit.control();");
    Pump();
    Run("%A = qfit.y1$; %B = qfit.y2$; %D = qfit.y3$; type $(qfit.numfitsets) %A %B %D; type $(exist(%H));");
    EXPECT_EQ("3 Data1_B Data1_C Data1_D\n3\n", out) << "the columns are plotted and fitted, one set each";
    EXPECT_EQ(kSessionFullTemplate, Value("qfit.isdialogopen"));
    // Each set takes the worksheet's X column and has parameters of its own: the peaks' areas
    // are their heights times sqrt(pi / 2).
    Run("qfit.fit(20); type $(qfit.err);");
    EXPECT_EQ("0\n", out);
    EXPECT_NEAR(2, Value("qfit.p2"), 1e-6);
    EXPECT_NEAR(2 * 1.2533141373155003, Value("qfit.p4"), 1e-6);
    EXPECT_NEAR(3 * 1.2533141373155003, Value("qfit.p8"), 1e-6);
    EXPECT_NEAR(4 * 1.2533141373155003, Value("qfit.p12"), 1e-6);
    // The fit curves are drawn against the data's X.
    CQKDataset* x = qkfxGetProject().FindDataset("Data1_A");
    ASSERT_TRUE(x != nullptr);
    for (const char* name : {"YFIT1", "YFIT3"}) {
        CQKDataset* curve = qkfxGetProject().FindDataset(name);
        ASSERT_TRUE(curve != nullptr) << name;
        EXPECT_EQ(x->GetHandle(), curve->m_xDataset) << name;
    }

    // The window opened again on the same selection makes no second graph.
    Run("qfit.end(); qfit.control(close);");
    Run("win -a Data1; qfit.control(); type $(exist(Graph1)) $(exist(Graph2));");
    Pump();
    EXPECT_EQ("3 0\n", out);
    EXPECT_EQ(kSessionFullTemplate, Value("qfit.isdialogopen"));
}

TEST_F(AutoAssignTest, WithoutAColumnSelectionTheWindowOpensAtTheSelectionPage)
{
    MakeData();
    Run("qfit.init(); qfit.func$ = Gauss; qfit.control(); %A = qfit.y$; type [%A];");
    Pump();
    EXPECT_EQ("[]\n", out);
    EXPECT_EQ(kSelectTemplate, Value("qfit.isdialogopen"));
}

// Going to the session page from a graph whose active dataset is not yet assigned asks
// whether to fit it.
TEST_F(AutoAssignTest, TheActiveDatasetOfAGraphIsFittedWhenTheUserSaysSo)
{
    const struct {
        int button;
        int page;
        const char* dataset;
    } cases[] = {
        {2102, kSessionTemplate, "Data1_C"},  // "Active Dataset "
        {2103, kDatasetsTemplate, ""},        // "Other Dataset"
        {2104, kSelectTemplate, ""},          // "Cancel"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        MakeData();
        Run("wks.c1 = 3; wks.c2 = 3; wks.r1 = 0; wks.r2 = 0; worksheet -p 201 scatter; type $(exist(%H)) %C;");
        ASSERT_EQ("3 Data1_C\n", out);
        Run("qfit.init(); qfit.func$ = Gauss; qfit.control(sele);");
        HWND window = ShownFitterWindow();
        ASSERT_TRUE(window != nullptr);
        std::string text;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND box) {
            text = qxtest::GetText(box, 2101);
            qxtest::Click(box, c.button);
        });
        driver.Run([&] { return SendMessageA(window, WM_COMMAND, 907, 0); });
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_NE(std::string::npos, text.find("'Data1_C'")) << text;
        Run("%A = qfit.y$; type [%A];");
        EXPECT_EQ("[" + std::string(c.dataset) + "]\n", out);
        EXPECT_EQ(c.page, Value("qfit.isdialogopen"));
        Run("qfit.end(); qfit.control(close);");
        Pump();
    }
}

// A fit of one graph's dataset is open when the session page is asked for over another
// graph: the question names the fitted pair and the first three of the layer's five, and
// "No" goes back to the fit graph.
TEST_F(AutoAssignTest, AnotherGraphDuringAFitIsNamedInTheQuestion)
{
    MakeData();
    Run("wks.ncols = 7; for (i = 1; i <= 41; i += 1) { Data1_E[i] = i; Data1_F[i] = 2 * i; Data1_G[i] = 3 * i; }"
        "wks.c1 = 2; wks.c2 = 2; wks.r1 = 0; wks.r2 = 0; worksheet -p 201 scatter; %F = %H;"
        "qfit.init(); qfit.func$ = Gauss; qfit.control(sele);");
    HWND window = ShownFitterWindow();
    ASSERT_TRUE(window != nullptr);
    qxtest::DialogDriver first;
    first.Then([&](HWND box) { qxtest::Click(box, 2102); });
    first.Run([&] { return SendMessageA(window, WM_COMMAND, 907, 0); });
    ASSERT_EQ(kSessionTemplate, Value("qfit.isdialogopen"));
    SendMessageA(window, WM_COMMAND, 904, 0);

    Run("win -a Data1; wks.c1 = 3; wks.c2 = 7; worksheet -p 201 scatter; type %H %F;");
    EXPECT_EQ("Graph2 Graph1\n", out);
    std::string text;
    qxtest::DialogDriver second;
    second.Then([&](HWND box) {
        text = qxtest::GetText(box, 2101);
        qxtest::Click(box, 2103);  // "No"
    });
    second.Run([&] { return SendMessageA(window, WM_COMMAND, 907, 0); });
    EXPECT_FALSE(second.TimedOut());
    EXPECT_NE(std::string::npos, text.find("'<Data1_A(X), Data1_B(Y)>'")) << text;
    EXPECT_NE(std::string::npos,
              text.find("'<Data1_A(X), Data1_C(Y)>, <Data1_A(X), Data1_D(Y)>, <Data1_A(X), Data1_E(Y)>, ..'"))
        << text;
    Run("%A = qfit.y$; type %H %A;");
    EXPECT_EQ("Graph1 Data1_B\n", out) << "the fit graph is active again";
    EXPECT_EQ(kSessionTemplate, Value("qfit.isdialogopen"));
}
