// The graph and layout windows: their documents and views, the commands only a graph
// has, and the dialogs and the fitter window reached from a graph window's menus.
#include "CoreTestApp.h"

#include <commctrl.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <set>

#include <qxtest/DialogDriver.h>

#include "PlotDetailsResources.h"
#include "QKAccess.h"
#include "QKGraphObjects.h"
#include "QKScript.h"
#include "QUAccess.h"
#include "QUPages.h"

namespace {

class GraphViews : public AppFixture {
protected:
    // A worksheet of two columns, plotted as a line into a new graph window.
    CQUGraphView* NewLineGraph()
    {
        EXPECT_EQ(Run("win -t wks; col(A)[1] = 1; col(A)[2] = 2; col(A)[3] = 3;"
                      "col(B)[1] = 4; col(B)[2] = 1; col(B)[3] = 3"), 0);
        EXPECT_EQ(Run("worksheet -p Line line"), 0);
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        return graph ? ViewOf(graph) : nullptr;
    }
    int Run(const char* script) { return m_app->GetAccess()->execute_script(script, 0); }
    static CQUGraphView* ViewOf(CQKPage* page)
    {
        return DYNAMIC_DOWNCAST(CQUGraphView, CWnd::FromHandlePermanent(page->GetDrawingWnd()));
    }
    static int Enabled(CView* view, UINT id)
    {
        struct Probe : CCmdUI {
            void Enable(BOOL on) override { enabled = on ? 1 : 0; }
            int enabled = -1;
        } ui;
        ui.m_nID = id;
        view->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui.enabled;
    }
};

// The page of Plot Details' property sheet that is shown.
HWND ShownPage(HWND dialog)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (HWND page = (HWND)SendMessageA(child, PSM_GETCURRENTPAGEHWND, 0, 0))
            return page;
    return nullptr;
}

} // namespace

TEST_F(GraphViews, GraphAndLayoutWindowsHaveTheirDocumentsViewsAndPages)
{
    ASSERT_EQ(Run("win -t plot; win -t layout"), 0);
    CQKPage* graph = qkfxGetProject().FindPage("Graph1");
    CQKPage* layout = qkfxGetProject().FindPage("Layout1");
    ASSERT_NE(graph, nullptr);
    ASSERT_NE(layout, nullptr);
    CQUGraphView* graphView = ViewOf(graph);
    ASSERT_NE(graphView, nullptr);
    EXPECT_FALSE(graphView->IsKindOf(RUNTIME_CLASS(CQULayoutView)));
    EXPECT_TRUE(graphView->GetDocument()->IsKindOf(RUNTIME_CLASS(CQUGraphDoc)));
    EXPECT_NE(dynamic_cast<CQDGraphPage*>(graph), nullptr) << "Plot Details opens on the program's graphs";
    CQUGraphView* layoutView = ViewOf(layout);
    ASSERT_NE(layoutView, nullptr);
    EXPECT_TRUE(layoutView->IsKindOf(RUNTIME_CLASS(CQULayoutView)));
    EXPECT_TRUE(layoutView->GetDocument()->IsKindOf(RUNTIME_CLASS(CQULayoutDoc)));
    EXPECT_EQ(((CQuorixDoc*)layoutView->GetDocument())->get_desired_page_type(), QK_PAGE_LAYOUT);
    EXPECT_EQ(graphView->GetContextMenuID(nullptr), 571);

    // A layout has no window or template file of its own; an empty graph has nothing for
    // Plot Details or the fitter to work on.
    struct Case {
        CView* view;
        UINT id;
        int enabled;
    } cases[] = {
        {layoutView, 34012, 0}, {layoutView, 34016, 0},
        {graphView, 36084, 0}, {graphView, 36085, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Enabled(c.view, c.id), c.enabled) << c.id;
}

// Format > Plot on a graph window opens Plot Details on the active layer's plot; what OK
// takes reaches the plot.
TEST_F(GraphViews, PlotDetailsFromTheMenuChangesThePlot)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    CQKPlotObj* plot = view->GetActiveLayer()->PlotObjByIndex(0, 1);
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(Enabled(view, 36084), 1);
    int colorBefore = plot->GetColor();
    int newColorIndex = colorBefore == 4 ? 5 : 4;
    std::string caption;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        caption = qxtest::WindowText(dialog);
        HWND page = ShownPage(dialog);
        ASSERT_NE(page, nullptr);
        qxtest::ComboSelect(page, IDC_PD_LINE_COLOR, newColorIndex);
        qxtest::Click(dialog, IDOK);
    });
    driver.Run([&] {
        view->SendMessage(WM_COMMAND, 36084, 0);
        return (INT_PTR)0;
    });
    EXPECT_EQ(driver.StepsRun(), 1);
    EXPECT_NE(caption.find("Plot Details"), std::string::npos) << caption;
    EXPECT_NE(plot->GetColor(), colorBefore);
    EXPECT_EQ(plot->GetColor(), newColorIndex - 1) << "the list's first entry is Auto";
}

// Analysis > Non-linear Curve Fit opens the fitter's window over the program.
TEST_F(GraphViews, TheFitterWindowOpensFromAGraphOfData)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Enabled(view, 36085), 1);
    view->SendMessage(WM_COMMAND, 36085, 0);
    HWND fitter = ::FindWindowA("QFIT41Parent", nullptr);
    ASSERT_NE(fitter, nullptr) << qkfxGetScript().GetLastError();
    // The window shows itself once its creation message has been handled.
    for (DWORD until = ::GetTickCount() + 5000; !::IsWindowVisible(fitter) && ::GetTickCount() < until;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(10);
    }
    EXPECT_TRUE(::IsWindowVisible(fitter));
    EXPECT_EQ(Run("qfit.control(Close)"), 0);
    EXPECT_FALSE(::IsWindow(fitter));
}
