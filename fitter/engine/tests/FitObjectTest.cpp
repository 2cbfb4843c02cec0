// The qfit object: its member table and listing, names with indexes, existence tests,
// session lookup and lifecycle, the module messages and the export table.
#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

#include "FitTestKit.h"
#include "qxtest/Exports.h"

namespace {

std::vector<std::string> Listed;

LRESULT CALLBACK RecordingHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER)
        Listed.push_back(reinterpret_cast<const char*>(lParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

TEST(FitObjectTable, CountsAndNames)
{
    int counts[4] = {0, 0, 0, 0}, rows = 0;
    for (const FitMember* m = FitMemberTable; m->code != -1; ++m, ++rows)
        ++counts[m->kind];
    EXPECT_EQ(101, rows);
    EXPECT_EQ(58, counts[KIND_NUMBER]);
    EXPECT_EQ(18, counts[KIND_STRING]);
    EXPECT_EQ(25, counts[KIND_METHOD]);
}

TEST(FitObjectTable, ExportsByName)
{
    // The window's procedures keep their ordinals: hosts bind them by number.
    const std::vector<std::pair<std::string, unsigned>> expected = {
        {"EquationPicScroll", 51}, {"EnumFamCallBack", 52}, {"EnumMetaFileProc", 53}, {"FitMsgDisplay", 54},
        {"SelectFitFunx", 100},    {"DefFitFunx", 200},     {"QFITControl", 300},      {"FitSession", 400},
        {"VariableDataset", 500},  {"Simulate", 600},       {"ConstraintsControl", 700}, {"FitControl", 800},
        {"FitResults", 900},       {"FitInit", 1000},       {"AfterFit", 1100},        {"AdvOptions", 1200},
        {"AttentionSave", 1400},   {"About", 1600},         {"QFIT_SaveAs", 1700}};
    std::vector<std::string> names;
    for (const auto& e : qxtest::ReadExports("qxfitter.dll")) {
        names.push_back(e.name);
        for (const auto& x : expected) {
            if (x.first == e.name) {
                EXPECT_EQ(x.second, e.ordinal) << e.name;
            }
        }
    }
    for (const auto& x : expected)
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), x.first)) << x.first;
    for (const char* entry : {"NonLinearFit", "ScxFit", "QFITModuleInit"})
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), entry)) << entry;
    EXPECT_EQ(expected.size() + 3, names.size());
}

// An empty name with a number get lists numbers, then strings with "$", then methods with
// "()", each in table order.
TEST_F(FitTest, EmptyNameListsTheMembers)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingHost;
    wc.lpszClassName = "FitRecordingHost";
    RegisterClassA(&wc);
    HWND recorder = CreateWindowA("FitRecordingHost", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    Listed.clear();
    double v = -1;
    EXPECT_EQ(1, NonLinearFit(recorder, "", "", &v, TestHost::Callback, QFIT_OP_GET_NUMBER));
    EXPECT_EQ(0.0, v);
    ASSERT_EQ(101u, Listed.size());
    EXPECT_EQ("type NPARA", Listed[0]);
    EXPECT_EQ("type NAME$", Listed[58]);
    EXPECT_EQ("type INIT()", Listed[76]);
    EXPECT_EQ("type CATEGORY()", Listed[100]);
    DestroyWindow(recorder);
}

TEST_F(FitTest, ExistenceTestsAndLastStatus)
{
    const struct {
        const char* name;
        int operation;
        int result;
        int status;
    } cases[] = {
        {"CHISQR", QFIT_OP_GET_NUMBER, 1, 0},
        {"FIT", QFIT_OP_GET_NUMBER, 2, 1},
        {"FIT", QFIT_OP_CALL_METHOD, 1, 0},
        {"FUNC", QFIT_OP_GET_STRING, 1, 0},
        {"P3", QFIT_OP_GET_NUMBER, 1, 0},
        {"NOPE", QFIT_OP_GET_NUMBER, 2, 1},
    };
    for (const auto& c : cases) {
        double v = 0;
        EXPECT_EQ(c.result, NonLinearFit(window, c.name, c.name, &v, TestHost::Callback, c.operation | QFIT_OP_EXISTS))
            << c.name;
        int32_t status = -5;
        EXPECT_EQ(1, NonLinearFit(window, "", "", &status, TestHost::Callback, QFIT_OP_LAST_STATUS));
        EXPECT_EQ(c.status, status) << c.name;
    }
    EXPECT_TRUE(host.sessions.empty()) << "an existence test carries nothing out";
    double v = 0;
    EXPECT_EQ(0, NonLinearFit(window, "", "NOPE", &v, TestHost::Callback, QFIT_OP_GET_NUMBER));
    EXPECT_EQ(2, NonLinearFit(window, "", "P", &v, TestHost::Callback, 99));
    EXPECT_EQ(2, NonLinearFit(window, "", "", &v, TestHost::Callback, QFIT_OP_CALL_METHOD));
    // Each failure tells the host why.
    ASSERT_EQ(host.failureReasons.size(), 2u);
    EXPECT_EQ(host.failureReasons[0], "qfit takes no operation 99");
    EXPECT_EQ(host.failureReasons[1], "no member of qfit is named");
}

TEST_F(FitTest, AnyMemberCreatesTheSessionItNeeds)
{
    EXPECT_EQ(0, Get("NPARA"));
    EXPECT_EQ(1u, host.sessions.size());
    EXPECT_EQ(Session(), WindowSession());
}

TEST_F(FitTest, UninitWithoutSessionCreatesNothing)
{
    EXPECT_EQ(0, ScxFit(window, 2, 0, nullptr, TestHost::Callback));
    EXPECT_EQ(0, host.Count(HOST_ATTACH_SESSION));
}

TEST_F(FitTest, MembersNeedingAFunctionDoNothingWithoutOne)
{
    double v = 7;
    EXPECT_EQ(1, ScxFit(window, 0x802 | QFIT_CODE_GET, 1, &v, TestHost::Callback));
    EXPECT_EQ(7, v);
}

TEST_F(FitTest, ParameterIndexes)
{
    UseFunction("Gauss", "y0 xc w A");
    host.variables["I"] = 2;
    Set("P", 10);
    Set("P2", 20);
    Set("P(i+1)", 30);
    Set("P4", 40);
    EXPECT_EQ(10, Get("P1"));
    EXPECT_EQ(20, Get("P2"));
    EXPECT_EQ(30, Get("P3"));
    EXPECT_EQ(40, Get("P(i*2)"));
    EXPECT_EQ("xc", GetText("N2"));
    EXPECT_EQ("A", GetText("NAME4"));
    EXPECT_EQ("", GetText("NAME9"));
    // Indexes outside 1..NPARA read the missing value and write nothing.
    for (const char* name : {"P0", "P(-1)", "P(i-5)", "P99", "E0", "E(-3)", "LB(-1)"})
        EXPECT_EQ(MISSING_VALUE, Get(name)) << name;
    Set("P(-1)", 5);
    Set("P0", 5);
    EXPECT_EQ(1, Err());
    FittingSession* s = Session();
    EXPECT_TRUE(IsMissingValue(s->value[0]));
    EXPECT_EQ(4, Get("NPARA"));
    EXPECT_EQ(4, Get("NPARAVARY"));
    Set("V2", 0);
    EXPECT_EQ(3, Get("NPARAVARY"));
    EXPECT_EQ(0, Get("V2"));
}

TEST_F(FitTest, RowMembersAreOneBasedForScripts)
{
    UseFunction("Line", "a b");
    UseData({1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6});
    Set("DATABEGIN", 5);
    EXPECT_EQ(4, Session()->dep[1].first);
    EXPECT_EQ(5, Get("DATABEGIN"));
    Set("DATAEND", 6);
    EXPECT_EQ(6, Session()->dep[1].end);
    EXPECT_EQ(6, Get("DATAEND"));
    Set("CURROW", 3);
    EXPECT_EQ(2, Session()->currentRow);
    EXPECT_EQ("xdata", GetText("X"));
    EXPECT_EQ("ydata", GetText("Y"));
    SetText("Y", "nosuch");
    EXPECT_EQ(FIT_ERR_NO_COLUMN, Err());
    ASSERT_FALSE(host.errors.empty());
    EXPECT_EQ(FIT_ERR_NO_COLUMN, host.errors.back().first);
    EXPECT_EQ("nosuch", host.errors.back().second);
    EXPECT_EQ("Data1", GetText("FITWKSNAME"));
    EXPECT_EQ(2, Get("FITCOLNUM"));
}

TEST_F(FitTest, BoundsKeepTheirOrder)
{
    UseFunction("Line", "a b");
    Set("UB1", 1);
    Set("LB1", 2);
    EXPECT_EQ(MISSING_VALUE, Get("LB1"));
    Set("LB1", 0.5);
    EXPECT_EQ(0.5, Get("LB1"));
    Set("UB1", 0.25);
    EXPECT_EQ(1, Get("UB1"));
    Set("LBX1", 1);
    EXPECT_EQ(1, Get("LBX1"));
    EXPECT_EQ(0, Get("UBX1"));
}

TEST_F(FitTest, UnknownFunctionIsReportedWithItsName)
{
    Get("NPARA");
    SetText("FUNC", "NoSuchFunction");
    EXPECT_EQ(FIT_ERR_NO_FUNCTION, Err());
    ASSERT_FALSE(host.errors.empty());
    EXPECT_EQ(FIT_ERR_NO_FUNCTION, host.errors.back().first);
    EXPECT_EQ("NoSuchFunction", host.errors.back().second);
    EXPECT_EQ("", GetText("FUNC"));
}

// INIT on a window with a session ends the old one first: its parameters are published
// (Keep Parameters is Yes here), its settings are not written back.
TEST_F(FitTest, InitTwiceEndsTheOldSession)
{
    UseFunction("Line", "a b");
    Session()->current->options[OPT_KEEP_PARAMS] = KW_YES;
    Set("P1", 3.5);
    FittingSession* old = Session();
    host.variableSets.clear();
    Call("INIT");
    EXPECT_NE(nullptr, Session());
    EXPECT_EQ(1, host.detaches);
    bool published = false;
    for (const auto& v : host.variableSets)
        published = published || (v.first == "a" && v.second.value == 3.5 && v.second.kind == 1.0);
    EXPECT_TRUE(published);
    EXPECT_EQ(0, Get("NPARA")) << "the new session has no function";
    std::string ini = host.settingsDir + "\\qfit.ini";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ini.c_str()));
    (void)old;
}

TEST_F(FitTest, ModuleMessages)
{
    EXPECT_EQ(1, QFITModuleInit(window, QFITMOD_CAN_START, 0, TestHost::Callback, 0));
    EXPECT_EQ(1, QFITModuleInit(window, QFITMOD_CREATE, 0, TestHost::Callback, 0));
    EXPECT_EQ(1, LiveSessionCount());
    EXPECT_EQ(Session(), WindowSession());
    EXPECT_EQ(1, QFITModuleInit(window, 1234, 0, TestHost::Callback, 0));
    EXPECT_EQ(1, QFITModuleInit(window, QFITMOD_CLOSE, 0, TestHost::Callback, 0));
    EXPECT_EQ(nullptr, Session());
    EXPECT_EQ(0, LiveSessionCount());
    std::string ini = host.settingsDir + "\\qfit.ini";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(ini.c_str())) << "closing writes the settings";
    EXPECT_EQ(2, QFITModuleInit(window, QFITMOD_CLOSE, 0, TestHost::Callback, 0));
}

// Ending one window's session must not take the window session of another window.
TEST_F(FitTest, EndingAnotherSessionKeepsTheWindowSession)
{
    Get("NPARA");
    FittingSession* first = Session();
    HWND other = CreateWindowA("STATIC", "other", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    double v;
    NonLinearFit(other, "", "NPARA", &v, TestHost::Callback, QFIT_OP_GET_NUMBER);
    EXPECT_EQ(2, LiveSessionCount());
    EXPECT_EQ(first, WindowSession());
    ScxFit(other, 2, 0, nullptr, TestHost::Callback);
    EXPECT_EQ(first, WindowSession());
    DestroyWindow(other);
}

// BEGIN opens a fitting session and computes the first chi-square; END closes it.
TEST_F(FitTest, BeginAndEndAFittingSession)
{
    UseLine(1, 2);
    EXPECT_EQ(0, Get("STATUS"));
    Call("BEGIN");
    EXPECT_EQ(0, Err());
    EXPECT_EQ(1, Get("STATUS"));
    EXPECT_EQ(10, Get("SSR"));
    Call("END");
    EXPECT_EQ(0, Get("STATUS"));
    EXPECT_EQ("QuitFit", host.scripts.back()) << "no curve was made, so none is deleted";
    EXPECT_EQ(MISSING_VALUE, Call("VARCOVAR", "1,1")) << "no fitting session is begun";
}

// Ending a fit takes the finishing steps its flags ask for and the definition's options
// allow, in order: EndFit, the fit curve column, the residue, the report to the results
// log, the report on the plot, the after-fit script; QuitFit always.
TEST_F(FitTest, FinishingStepsFollowFlagsAndOptions)
{
    const struct {
        const char* name;
        int flags;
        int option;  // the option the step needs, or -1
        bool yes;
        const char* script;  // a script the step runs, or null
        UINT request;        // a request the step makes, or 0
    } cases[] = {
        {"curve", 0x1, OPT_CURVES, true, nullptr, HOST_ADD_COLUMN},
        {"curve refused by the option", 0x1, OPT_CURVES, false, nullptr, 0},
        {"curve not asked", 0x2, OPT_CURVES, true, nullptr, 0},
        {"report to the log", 0x8, OPT_PASTE_TO_NOTES, true, "Type.BeginResults();", HOST_REQ_101F},
        {"report refused", 0x8, OPT_PASTE_TO_NOTES, false, nullptr, 0},
        {"after-fit script", 0x2, -1, true, "AfterFitText", 0},
        {"end of fit hook", 0x2, -1, true, "EndFit", 0},
    };
    UseLine(0, 1);
    host.createDatasets = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Set("P1", 0);
        Set("P2", 1);
        FittingSession* s = Session();
        FunctionDef* def = s->current;
        for (int option : {OPT_CURVES, OPT_PASTE_TO_NOTES, OPT_PASTE_TO_PLOT, OPT_RESIDUE})
            def->options[option] = KW_NO;
        if (c.option >= 0)
            def->options[c.option] = static_cast<int16_t>(c.yes ? KW_YES : KW_NO);
        def->afterSwitch = KW_ON;
        snprintf(def->afterScript, sizeof def->afterScript, "AfterFitText");
        Call("FIT", "10");
        ASSERT_EQ(0, Err());
        host.scripts.clear();
        const int columns = host.Count(HOST_ADD_COLUMN), lines = host.Count(HOST_REQ_101F);
        FinishFit(s, c.flags);
        const bool ran = c.script && std::find(host.scripts.begin(), host.scripts.end(), c.script) != host.scripts.end();
        EXPECT_EQ(c.script != nullptr, ran);
        if (c.request == HOST_ADD_COLUMN || (c.option == OPT_CURVES && !c.request))
            EXPECT_EQ(c.request ? 1 : 0, host.Count(HOST_ADD_COLUMN) - columns);
        if (c.request == HOST_REQ_101F || (c.option == OPT_PASTE_TO_NOTES && !c.request))
            EXPECT_EQ(c.request != 0, host.Count(HOST_REQ_101F) > lines);
        // EndFit comes first, the after-fit script last of the finishing steps, QuitFit after.
        const auto endFit = std::find(host.scripts.begin(), host.scripts.end(), "EndFit");
        const auto after = std::find(host.scripts.begin(), host.scripts.end(), "AfterFitText");
        const auto quit = std::find(host.scripts.begin(), host.scripts.end(), "QuitFit");
        ASSERT_TRUE(endFit != host.scripts.end());
        ASSERT_TRUE(quit != host.scripts.end());
        EXPECT_TRUE(endFit < after && after < quit);
    }
    // A fit ended without flags takes none of the steps.
    Set("P1", 0);
    Set("P2", 1);
    Call("FIT", "10");
    host.scripts.clear();
    FinishFit(Session(), 0);
    EXPECT_TRUE(std::find(host.scripts.begin(), host.scripts.end(), "EndFit") == host.scripts.end());
    EXPECT_TRUE(std::find(host.scripts.begin(), host.scripts.end(), "AfterFitText") == host.scripts.end());
    EXPECT_TRUE(std::find(host.scripts.begin(), host.scripts.end(), "QuitFit") != host.scripts.end());
}

// Result columns beside the data: the fit curve as column B, the bands as LCL/UCL and
// LPL/UPL, each labelled; a name already taken gives way to the next free column.
TEST_F(FitTest, ResultColumnsWithTheirNamesAndLabels)
{
    UseLine(1, 2);
    host.createDatasets = true;
    FittingSession* s = Session();
    ASSERT_EQ(0, MakeResultColumns(s, 1, 'F'));
    const QFitDataset fit = host.FindByName("Data1_B");
    ASSERT_NE(0, fit);
    EXPECT_EQ(std::string(s->current->name) + " fit of ydata", host.Dataset(fit).label);
    for (size_t i = 0; i < kLineX.size(); ++i)
        EXPECT_DOUBLE_EQ(1 + 2 * kLineX[i], host.Dataset(fit).values[i]) << i;
    EXPECT_EQ(0, MakeResultColumns(s, 1, 'C'));
    EXPECT_EQ(0, MakeResultColumns(s, 1, 'P'));
    const struct {
        const char* column;
        const char* label;
    } bands[] = {{"Data1_LCL", "Lower 0.95 Confidence Limit"}, {"Data1_UCL", "Upper 0.95 Confidence Limit"},
                 {"Data1_LPL", "Lower 0.95 Prediction Limit"}, {"Data1_UPL", "Upper 0.95 Prediction Limit"}};
    for (const auto& b : bands) {
        SCOPED_TRACE(b.column);
        const QFitDataset h = host.FindByName(b.column);
        ASSERT_NE(0, h);
        EXPECT_EQ(b.label, host.Dataset(h).label);
        ASSERT_EQ(kLineX.size(), host.Dataset(h).values.size());
    }
    // The lower confidence limit lies below the fitted line, the prediction limit further.
    EXPECT_LT(host.Dataset(host.FindByName("Data1_LCL")).values[2], host.Dataset(fit).values[2]);
    EXPECT_LT(host.Dataset(host.FindByName("Data1_LPL")).values[2], host.Dataset(host.FindByName("Data1_LCL")).values[2]);
    ASSERT_EQ(0, MakeResultColumns(s, 1, 'F'));
    EXPECT_NE(0, host.FindByName("Data1_Col1")) << "B is taken";
}

// Code 0x2E: a result request, as MAKE takes it, for the first dependent variable alone.
TEST_F(FitTest, ResultRequestForTheFirstDependentVariable)
{
    UseLine(1, 2);
    host.createDatasets = true;
    double v = 0;
    EXPECT_EQ(0, ScxFit(window, 0x2E, reinterpret_cast<INT_PTR>("F"), &v, TestHost::Callback));
    const QFitDataset curve = host.FindByName("YFIT");
    ASSERT_NE(0, curve);
    ASSERT_EQ(kLineX.size(), host.Dataset(curve).values.size());
    for (size_t i = 0; i < kLineX.size(); ++i)
        EXPECT_DOUBLE_EQ(1 + 2 * kLineX[i], host.Dataset(curve).values[i]) << i;
    EXPECT_EQ(1, ScxFit(window, 0x2E, reinterpret_cast<INT_PTR>("Q"), &v, TestHost::Callback)) << "no such request";
}
