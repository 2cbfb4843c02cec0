// The base view of the page windows: its window class, the page it tells its frame,
// activation making its page the active one, commands run as script text, toolbox tools,
// hiding, and the crop marks of printed pages.
#include "CoreTestApp.h"

#include "MainFrame.h"
#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKUtil.h"
#include "QUAccess.h"

namespace {

class Views : public AppFixture {
protected:
    CQuorixView* NewView(const char* script, const char* name, CQKPage** page)
    {
        EXPECT_EQ(m_app->GetAccess()->execute_script(script, 0), 0) << script;
        *page = qkfxGetProject().FindPage(name);
        if (*page == nullptr)
            return nullptr;
        return DYNAMIC_DOWNCAST(CQuorixView, CWnd::FromHandlePermanent((*page)->GetDrawingWnd()));
    }
    static double Variable(const char* name)
    {
        double value = -1;
        CQKCString::FindQuorixNumericVariable(name, &value);
        return value;
    }
};

struct Line {
    int type;
    POINT point;
};

int CALLBACK CollectLines(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    auto* lines = (std::vector<Line>*)data;
    if (record->iType == EMR_MOVETOEX || record->iType == EMR_LINETO) {
        const POINTL& p = ((const EMRLINETO*)record)->ptl;
        lines->push_back({(int)record->iType, {p.x, p.y}});
    }
    return 1;
}

} // namespace

TEST_F(Views, PageViewsHaveTheirClassAndTellTheFrameTheirPage)
{
    CQKPage* page = nullptr;
    CQuorixView* view = NewView("win -t plot Standard Plot1", "Plot1", &page);
    ASSERT_NE(view, nullptr);
    char className[64] = {};
    ::GetClassNameA(view->GetSafeHwnd(), className, sizeof(className));
    EXPECT_STREQ(className, "qfxViewClass");
    WNDCLASSA wc = {};
    ASSERT_TRUE(::GetClassInfoA(AfxGetInstanceHandle(), "qfxViewClass", &wc));
    EXPECT_EQ(wc.style, (UINT)(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(wc.hbrBackground, (HBRUSH)::GetStockObject(LTGRAY_BRUSH));

    EXPECT_EQ(view->GetPage(), page);
    EXPECT_EQ(view->GetWndTemplateId(), QU_TEMPLATE_GRAPH);
    CChildFrame* frame = view->get_parent_child_frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->GetPage(), page);
    EXPECT_EQ(frame->get_wnd_template_id(), QU_TEMPLATE_GRAPH);
}

TEST_F(Views, TheActivatedWindowsPageIsTheActivePage)
{
    CQKPage *first = nullptr, *second = nullptr;
    CQuorixView* firstView = NewView("win -t wks Standard First", "First", &first);
    ASSERT_NE(NewView("win -t matrix Standard Second", "Second", &second), nullptr);
    ASSERT_NE(firstView, nullptr);
    qkfxGetProject().SetActivePage(nullptr);
    get_main_frame()->MDIActivate(firstView->GetParentFrame());
    EXPECT_EQ(qkfxGetProject().GetActivePage(), first);
    get_main_frame()->MDIActivate(CWnd::FromHandlePermanent(second->GetFrameWnd()));
    EXPECT_EQ(qkfxGetProject().GetActivePage(), second);
}

TEST_F(Views, CommandsRunTheScriptsOfTheirStrings)
{
    CQKPage* page = nullptr;
    CQuorixView* view = NewView("win -t plot Standard Cmds", "Cmds", &page);
    ASSERT_NE(view, nullptr);
    struct Case {
        UINT id;
        double variable;
    } cases[] = {
        {IDS_TEST_COMMAND, 7},          // a general command
        {IDS_TEST_VARIANT_COMMAND, 0},  // one of the five variants: the kernel refuses the
                                        // graph's commands until it has their side
        {IDS_TEST_PLOT_COMMAND, 40},    // a plot command
    };
    for (const Case& c : cases) {
        qkfxSetVariableValue("coretestvar", 0);
        view->SendMessage(WM_COMMAND, c.id, 0);
        EXPECT_EQ(Variable("coretestvar"), c.variable) << c.id;
    }
    // Each of the five variants sets its own quick variable first. Their items are grey
    // until the kernel runs them, so the handler is reached as the menus will reach it.
    for (int n = 200; n <= 204; ++n)
        qkfxSetQuickVariable(n, 0);
    view->OnCmdMsg(IDS_TEST_VARIANT_COMMAND, CN_COMMAND, nullptr, nullptr);
    EXPECT_EQ(qkfxGetQuickVariable(201), 4);
    EXPECT_EQ(qkfxGetQuickVariable(200), 0);
    EXPECT_EQ(qkfxGetQuickVariable(202), 0);

    struct Logged {
        UINT id;
        const char* op;
        const char* args;
    } logged[] = {
        {1700, "CQKAccess::ExecuteUserMenuItem", "1700"},
        {33370, "CQKAccess::run_user_menu_script", "33370"},
    };
    for (const Logged& l : logged) {
        qkfxGetCallLog().Clear();
        view->SendMessage(WM_COMMAND, l.id, 0);
        int at = qkfxGetCallLog().Find(l.op);
        ASSERT_GE(at, 0) << l.id << "\n" << qkfxGetCallLog().ToString();
        EXPECT_EQ(qkfxGetCallLog().GetAt(at).args, l.args);
    }
}

TEST_F(Views, ToolboxToolsAreCheckedByTheKernelsToolNumber)
{
    CQKPage* page = nullptr;
    CQuorixView* view = NewView("win -t plot Standard Tools", "Tools", &page);
    ASSERT_NE(view, nullptr);
    view->SendMessage(WM_COMMAND, 34982, 0); // the arrow tool (the readers are not built)
    EXPECT_EQ(m_app->GetAccess()->GetCheckedToolNumber(), 6);
    view->SendMessage(WM_COMMAND, 34976, 0);
    EXPECT_EQ(m_app->GetAccess()->GetCheckedToolNumber(), 0);
}

TEST_F(Views, HidingTheWindowKeepsItsPageMarkedHidden)
{
    CQKPage* page = nullptr;
    CQuorixView* view = NewView("win -t wks Standard Hidden", "Hidden", &page);
    ASSERT_NE(view, nullptr);
    view->SendMessage(WM_COMMAND, 32993, 0);
    EXPECT_EQ(qkfxGetProject().FindPage("Hidden"), page);
    EXPECT_TRUE(page->IsHiddenPEWnd());
    EXPECT_TRUE(page->IsNoWnd());
    EXPECT_EQ(m_app->get_template(QU_TEMPLATE_WKS)->GetNumDocs(), 0);
}

TEST_F(Views, CropMarksAreFourCornersOfATwoAndAHalfPercentLength)
{
    CQKPage* page = nullptr;
    CQuorixView* view = NewView("win -t plot Standard Marks", "Marks", &page);
    ASSERT_NE(view, nullptr);
    auto draw = [&](BOOL show) {
        page->SetShowCropmark(show);
        HDC meta = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
        CDC dc;
        dc.Attach(meta);
        int result = view->DrawCropmarks(&dc, nullptr, CRect(0, 0, 1000, 800));
        dc.Detach();
        HENHMETAFILE emf = ::CloseEnhMetaFile(meta);
        std::vector<Line> lines;
        ::EnumEnhMetaFile(nullptr, emf, CollectLines, &lines, nullptr);
        ::DeleteEnhMetaFile(emf);
        return std::make_pair(result, lines);
    };
    auto none = draw(FALSE);
    EXPECT_EQ(none.first, 0);
    EXPECT_TRUE(none.second.empty());

    auto marks = draw(TRUE);
    EXPECT_EQ(marks.first, 1);
    // 0.025 x 799, cut to 19; the right and bottom edges are 999 and 799.
    const int expected[12][3] = {
        {EMR_MOVETOEX, 0, 19}, {EMR_LINETO, 0, 0}, {EMR_LINETO, 19, 0},
        {EMR_MOVETOEX, 980, 0}, {EMR_LINETO, 999, 0}, {EMR_LINETO, 999, 19},
        {EMR_MOVETOEX, 999, 780}, {EMR_LINETO, 999, 799}, {EMR_LINETO, 980, 799},
        {EMR_MOVETOEX, 0, 780}, {EMR_LINETO, 0, 799}, {EMR_LINETO, 19, 799},
    };
    ASSERT_EQ(marks.second.size(), 12u);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(marks.second[i].type, expected[i][0]) << i;
        EXPECT_EQ(marks.second[i].point.x, expected[i][1]) << i;
        EXPECT_EQ(marks.second[i].point.y, expected[i][2]) << i;
    }
}

namespace {

// What an update handler made of a menu item.
class ProbeCmdUI : public CCmdUI {
public:
    explicit ProbeCmdUI(UINT id) { m_nID = id; }
    void Enable(BOOL bOn) override
    {
        m_enabled = bOn ? 1 : 0;
        m_bEnableChanged = TRUE;
    }
    int m_enabled = -1;
};

} // namespace

TEST_F(Views, ItemsOfCommandsThatCannotRunAreGrey)
{
    CQKPage* page = nullptr;
    CQuorixView* view = NewView("win -t wks Standard Grey", "Grey", &page);
    ASSERT_NE(view, nullptr);
    CMainFrame* frame = get_main_frame();
    ASSERT_NE(frame, nullptr);
    struct Case {
        UINT id;
        int enabled;
    } cases[] = {
        {36080, 1},            // Preferences runs
        {IDS_TEST_COMMAND, 1}, // a command string of the test's own
        {36083, 0},            // Layer Control: the graph's, not built yet
        {36300, 0},            // no string at all
        {34006, 1},            // New Worksheet
        {34012, 1},            // Save Window
        {34025, 1},            // New Notes
        {34043, 0},            // no string
        {33052, 1},            // Refresh
        {33051, 1},            // Duplicate, of a worksheet
        {33024, 0},            // Zoom In
        {33249, 1},            // Line, a plot the kernel makes
        {33281, 0},            // Scatter Matrix, a plot with no description
        {36122, 0},            // Exchange Axes: no graph layer here
        {35536, 0},            // a mask command
        {36401, 1},            // Column Format: a fixed script the worksheet runs
        {36091, 1},            // Worksheet Script, of the worksheet
        {33092, 0},            // the layer frame: nothing draws it yet
    };
    for (const Case& c : cases) {
        ProbeCmdUI ui(c.id);
        ASSERT_TRUE(view->OnCmdMsg(c.id, CN_UPDATE_COMMAND_UI, &ui, nullptr)) << c.id;
        EXPECT_EQ(ui.m_enabled, c.enabled) << c.id;
    }
    // The main frame's own update, which decides for the toolbar buttons without a view,
    // asks the kernel the same.
    for (const Case& c : cases) {
        if (!(c.id >= 33993 && c.id <= 34089))
            continue;
        ProbeCmdUI ui(c.id);
        frame->OnGeneralToolsUpdate(&ui);
        EXPECT_EQ(ui.m_enabled, c.enabled) << c.id;
    }
    // Duplicate does not apply to a graph.
    CQuorixView* graph = NewView("win -t plot Standard GreyGraph", "GreyGraph", &page);
    ASSERT_NE(graph, nullptr);
    ProbeCmdUI ui(33051);
    graph->OnCmdMsg(33051, CN_UPDATE_COMMAND_UI, &ui, nullptr);
    EXPECT_EQ(ui.m_enabled, 0);
}
