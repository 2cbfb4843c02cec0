// The graph and layout windows: their documents and views, the commands only a graph
// has, and the dialogs and the fitter window reached from a graph window's menus.
#include "CoreTestApp.h"

#include <commctrl.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <functional>
#include <set>

#include <qxtest/DialogDriver.h>

#include "PlotDetailsResources.h"
#include "QKAccess.h"
#include "QKContour.h"
#include "QKGraphObjects.h"
#include "QKPageDraw.h"
#include "QKScript.h"
#include "QUAccess.h"
#include "QUPages.h"

namespace {

class GraphViews : public AppFixture {
protected:
    // A worksheet of two columns (y = x), plotted as a line into a new graph window.
    CQUGraphView* NewLineGraph()
    {
        EXPECT_EQ(Run("win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }"), 0);
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

// The view's client area as the view paints it, drawn into a 32-bit bitmap.
struct Picture {
    int width = 0, height = 0;
    std::vector<DWORD> pixels; // 0x00RRGGBB, top row first

    DWORD At(int x, int y) const { return pixels[(size_t)y * width + x]; }
    // How many pixels have the colour, and which of them is nearest the middle (inside
    // the layer, away from the legend and the axes).
    int Count(COLORREF colour, POINT* middle = nullptr) const
    {
        DWORD rgb = (DWORD)GetRValue(colour) << 16 | (DWORD)GetGValue(colour) << 8 | GetBValue(colour);
        int n = 0;
        long long best = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                if (At(x, y) != rgb)
                    continue;
                ++n;
                long long d = (long long)(x - width / 2) * (x - width / 2) + (long long)(y - height / 2) * (y - height / 2);
                if (middle && (best < 0 || d < best)) {
                    best = d;
                    *middle = {x, y};
                }
            }
        return n;
    }
    // Kept for people to look at when QX_VIEW_PICTURES names a folder.
    void Save(const char* name) const
    {
        char folder[MAX_PATH] = "";
        if (!::GetEnvironmentVariableA("QX_VIEW_PICTURES", folder, MAX_PATH))
            return;
        std::string path = std::string(folder) + "\\" + name + ".bmp";
        BITMAPFILEHEADER file = {};
        BITMAPINFOHEADER info = {sizeof info, width, -height, 1, 32, BI_RGB};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + (DWORD)(pixels.size() * 4);
        if (FILE* f = fopen(path.c_str(), "wb")) {
            fwrite(&file, sizeof file, 1, f);
            fwrite(&info, sizeof info, 1, f);
            fwrite(pixels.data(), 4, pixels.size(), f);
            fclose(f);
        }
    }
};

Picture Render(CView* view)
{
    CRect client;
    view->GetClientRect(&client);
    Picture picture;
    picture.width = client.Width();
    picture.height = client.Height();
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::FillRect(memory, &client, (HBRUSH)::GetStockObject(LTGRAY_BRUSH));
    CDC dc;
    dc.Attach(memory);
    view->OnPrepareDC(&dc, nullptr);
    view->OnDraw(&dc);
    dc.Detach();
    ::GdiFlush();
    picture.pixels.assign((DWORD*)bits, (DWORD*)bits + (size_t)picture.width * picture.height);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
    return picture;
}

COLORREF ColourOf(int index)
{
    DWORD colour = 0;
    EXPECT_TRUE(CQKColor::GetColorRef(index, colour, 0)) << index;
    return (COLORREF)colour;
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
    // Plot Details or the fitter to work on, and a 2D layer no Z axis.
    struct Case {
        CView* view;
        UINT id;
        int enabled;
    } cases[] = {
        {layoutView, 34012, 0}, {layoutView, 34016, 0},
        {graphView, 36084, 0}, {graphView, 36085, 0},
        {graphView, 36103, 1}, {graphView, 36105, 0}, {graphView, 36099, 0}, // no Z axis in 2D
    };
    for (const Case& c : cases)
        EXPECT_EQ(Enabled(c.view, c.id), c.enabled) << c.id;
}

// Format > Plot on a graph window opens Plot Details on the active layer's plot; what OK
// takes reaches the plot.
// Columns dragged from the program's worksheet reach the graph window through the drop
// target it registered: a link shown while dragged, the column plotted in the layer under
// the point when dropped. Data that are no such drag, or come while no worksheet drags,
// show nothing; a layout takes no drops.
TEST_F(GraphViews, ColumnsDroppedOnTheGraphWindowArePlottedThere)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    CQKGraphPage* graph = view->GetGraphPage();
    CQKWksPage* wks = qkfxGetProject().GetLastActiveWks();
    ASSERT_NE(wks, nullptr);
    ASSERT_EQ(Run("win -t layout"), 0);
    CQUGraphView* layoutView = ViewOf(qkfxGetProject().FindPage("Layout1"));
    ASSERT_NE(layoutView, nullptr);
    COleDropTarget other;
    auto* otherInterface = (IDropTarget*)other.GetInterface(&IID_IDropTarget);
    EXPECT_EQ(::RegisterDragDrop(view->m_hWnd, otherInterface), DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(::RegisterDragDrop(layoutView->m_hWnd, otherInterface), S_OK) << "a layout registers no target";
    ::RevokeDragDrop(layoutView->m_hWnd);

    wks->SelectColumns(2, 2);
    auto columnsData = [&](CLIPFORMAT format) {
        auto* source = new COleDataSource;
        HGLOBAL block = CreateGlobalMemoryForDragDrop(sizeof(CQKWksPage*));
        *(CQKWksPage**)::GlobalLock(block) = wks;
        ::GlobalUnlock(block);
        source->CacheGlobalData(format, block);
        return source;
    };
    CRect client;
    view->GetClientRect(&client);
    CPoint middle = client.CenterPoint();
    view->ClientToScreen(&middle);
    const POINTL at = {middle.x, middle.y};

    // The view's registered target, as a drag source's OLE reaches it.
    struct Peek : CQUGraphView {
        static IDropTarget* Of(CQUGraphView* v)
        {
            return (IDropTarget*)static_cast<Peek*>(v)->m_dropTarget.GetInterface(&IID_IDropTarget);
        }
    };
    struct Case {
        const char* name;
        BOOL dragging;
        CLIPFORMAT format;
        DWORD shown;
        int plots;
    } cases[] = {
        {"no worksheet drags", FALSE, (CLIPFORMAT)GetQuorixWksDragDropClipboardFormat(), DROPEFFECT_NONE, 1},
        {"other data", TRUE, CF_TEXT, DROPEFFECT_NONE, 1},
        {"the worksheet's columns", TRUE, (CLIPFORMAT)GetQuorixWksDragDropClipboardFormat(), DROPEFFECT_LINK, 2},
    };
    IDropTarget* drop = Peek::Of(view);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COleDataSource* source = columnsData(c.format);
        LPDATAOBJECT data = source->GetDataObject(FALSE);
        CQKWksPage::ms_bDraggingFromQrxWksInvoked = c.dragging;
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
        ASSERT_EQ(drop->DragEnter(data, MK_LBUTTON, at, &effect), S_OK);
        EXPECT_EQ(effect, c.shown);
        effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
        drop->DragOver(MK_LBUTTON, at, &effect);
        EXPECT_EQ(effect, c.shown);
        effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
        drop->Drop(data, 0, at, &effect);
        CQKWksPage::ms_bDraggingFromQrxWksInvoked = FALSE;
        EXPECT_EQ(effect, c.shown);
        EXPECT_EQ(graph->GetActiveLayer()->GetNumPlots(), c.plots);
        source->InternalRelease();
    }
}

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
    // This process's fitter window: other test programs may show theirs at the same time.
    HWND fitter = nullptr;
    for (HWND w = ::FindWindowExA(nullptr, nullptr, "QFIT41Parent", nullptr); w && !fitter;
         w = ::FindWindowExA(nullptr, w, "QFIT41Parent", nullptr)) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(w, &process);
        if (process == ::GetCurrentProcessId())
            fitter = w;
    }
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
    // No dataset is assigned yet: the window opened at the selection page with no fit
    // begun, so closing it asks nothing.
    qxtest::DialogDriver question;
    question.Then([](HWND box) { ::PostMessageA(box, WM_COMMAND, IDNO, 0); });
    question.Run([&] { return (INT_PTR)Run("qfit.control(Close)"); }, 2000);
    EXPECT_EQ(question.StepsRun(), 0);
    EXPECT_FALSE(::IsWindow(fitter));
}

namespace {

// A device context the view takes for a printer's.
class PrinterDC : public CDC {
public:
    PrinterDC() { m_bPrinting = TRUE; }
};

struct MetaLine {
    int type;
    POINT point;
};

int CALLBACK CollectMetaLines(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
{
    if (record->iType == EMR_MOVETOEX || record->iType == EMR_LINETO) {
        const POINTL& p = ((const EMRLINETO*)record)->ptl;
        ((std::vector<MetaLine>*)data)->push_back({(int)record->iType, {p.x, p.y}});
    }
    return 1;
}

} // namespace

// Printing places the page on the printable area keeping its shape, and marks its corners
// when the page shows crop marks.
TEST_F(GraphViews, PrintingPlacesThePageAndMarksItsCorners)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    view->GetPage()->SetShowCropmark(TRUE);
    HDC meta = ::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    PrinterDC dc;
    dc.Attach(meta);
    const int width = dc.GetDeviceCaps(HORZRES), height = dc.GetDeviceCaps(VERTRES);
    CPrintInfo info;
    info.m_nCurPage = 1;
    view->OnPrepareDC(&dc, &info);
    info.m_rectDraw.SetRect(0, 0, width, height);
    view->OnPrint(&dc, &info);
    view->OnEndPrinting(&dc, &info);
    dc.Detach();
    HENHMETAFILE emf = ::CloseEnhMetaFile(meta);
    std::vector<MetaLine> lines;
    ::EnumEnhMetaFile(nullptr, emf, CollectMetaLines, &lines, nullptr);
    ::DeleteEnhMetaFile(emf);
    // The crop marks come last: four L-shaped marks of a move and two lines each.
    ASSERT_GE(lines.size(), 12u);
    std::vector<MetaLine> marks(lines.end() - 12, lines.end());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(marks[i].type, i % 3 == 0 ? EMR_MOVETOEX : EMR_LINETO) << i;
    POINT topLeft = marks[1].point, topRight = marks[4].point, bottomRight = marks[7].point,
          bottomLeft = marks[10].point;
    EXPECT_EQ(topLeft.y, topRight.y);
    EXPECT_EQ(topRight.x, bottomRight.x);
    EXPECT_EQ(bottomLeft.y, bottomRight.y);
    EXPECT_EQ(topLeft.x, bottomLeft.x);
    EXPECT_GE(topLeft.x, 0);
    EXPECT_GE(topLeft.y, 0);
    EXPECT_LT(bottomRight.x, width);
    EXPECT_LT(bottomRight.y, height);
    // A 10 by 7.5 inch page.
    double aspect = double(bottomRight.x - topLeft.x + 1) / (bottomRight.y - topLeft.y + 1);
    EXPECT_NEAR(aspect, 10 / 7.5, 0.02);
}

// A double click on a plot opens Plot Details on it; the colour chosen there is what the
// window draws the plot in afterwards.
TEST_F(GraphViews, DoubleClickingAPlotOpensPlotDetailsAndTheWindowShowsItsNewColour)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    view->GetParentFrame()->MoveWindow(0, 0, 640, 480);
    CQKPlotObj* plot = view->GetActiveLayer()->PlotObjByIndex(0, 1);
    ASSERT_NE(plot, nullptr);
    const int kRed = 1, kGreen = 2; // indexes of the colour table
    plot->SetColor(kRed);
    Picture before = Render(view);
    before.Save("line-red");
    POINT onLine = {};
    ASSERT_GT(before.Count(ColourOf(kRed), &onLine), 20) << "the line is drawn in its colour";
    // The line y = x crosses the middle of the layer.
    EXPECT_EQ(before.Count(ColourOf(kGreen)), 0);

    int steps = 0;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND dialog) {
        ++steps;
        EXPECT_NE(qxtest::WindowText(dialog).find("Plot Details"), std::string::npos);
        qxtest::ComboSelect(ShownPage(dialog), IDC_PD_LINE_COLOR, kGreen + 1); // after Auto
        qxtest::Click(dialog, IDOK);
    });
    driver.Run([&] {
        view->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(onLine.x, onLine.y));
        return (INT_PTR)0;
    });
    ASSERT_EQ(steps, 1) << "no dialog opened for a double click at " << onLine.x << "," << onLine.y;
    EXPECT_EQ(plot->GetColor(), kGreen);
    Picture after = Render(view);
    after.Save("line-green");
    EXPECT_GT(after.Count(ColourOf(kGreen)), 20);
    EXPECT_EQ(after.Count(ColourOf(kRed)), 0);

    // A double click on nothing opens nothing.
    qxtest::DialogDriver none;
    none.Then([&](HWND dialog) { qxtest::Click(dialog, IDCANCEL); });
    none.Run([&] {
        view->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
        return (INT_PTR)0;
    }, 1000);
    EXPECT_EQ(none.StepsRun(), 0);
}

// Each kind of plot draws something of its own inside the layer: the window differs from
// the same window with the plot hidden. The pictures are kept for people to look at
// (QX_VIEW_PICTURES).
TEST_F(GraphViews, EveryKindOfPlotIsDrawn)
{
    ASSERT_EQ(Run("win -t wks; wks.ncols = 3; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = 3 + sin(i / 2); col(C)[i] = mod(i, 4) }"
                  "; wks.col1.type = 4; wks.col3.type = 6"), 0) << qkfxGetScript().GetLastError();
    CQKWksPage* wks = qkfxGetProject().GetActiveWks();
    ASSERT_EQ(Run("win -t matrix; matrix -ps dim 24 24"), 0);
    CQKMatrixPage* matrix = qkfxGetProject().GetActiveMatrix();
    for (int r = 1; r <= 24; ++r)
        for (int c = 1; c <= 24; ++c)
            matrix->SetCell(r, c, sin(r / 4.0) * cos(c / 5.0));
    struct Case {
        const char* script;
        const char* name;
        bool drawn; // the 3D kinds are drawn by the 3D library, not bound yet
    } cases[] = {
        {"worksheet -p Line Line", "line", true},
        {"worksheet -p Scatter Scatter", "scatter", true},
        {"worksheet -p Column Column", "column", true},
        {"matrix -p Contour ContourColor", "contour", true},
        {"matrix -p Surface ColorFill", "surface", false},
    };
    for (const Case& c : cases) {
        qkfxGetProject().SetActivePage(strncmp(c.script, "matrix", 6) == 0 ? (CQKPage*)matrix : wks);
        ASSERT_EQ(Run(c.script), 0) << c.script << ": " << qkfxGetScript().GetLastError();
        CQUGraphView* view = ViewOf(qkfxGetProject().GetActiveGraph());
        ASSERT_NE(view, nullptr) << c.script;
        view->GetParentFrame()->MoveWindow(0, 0, 640, 480);
        Picture shown = Render(view);
        shown.Save(c.name);
        CQKPlotObj* plot = view->GetActiveLayer()->PlotObjByIndex(0, 1);
        plot->SetShow(FALSE);
        Picture hidden = Render(view);
        plot->SetShow(TRUE);
        int differ = 0;
        for (size_t i = 0; i < shown.pixels.size(); ++i)
            differ += shown.pixels[i] != hidden.pixels[i];
        if (c.drawn)
            EXPECT_GT(differ, 100) << c.name;
        // Every kind's window shows its page: paper, axes and their labels.
        std::set<DWORD> colours(hidden.pixels.begin(), hidden.pixels.end());
        EXPECT_GE(colours.size(), 3u) << c.name;
    }
}

// A double click opens the dialog of what it hits: an axis its axis dialog (the tick-label
// page for its labels), a text (the legend) the text dialog, a plot Plot Details.
TEST_F(GraphViews, DoubleClicksOpenTheDialogOfTheElementHit)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    view->GetParentFrame()->MoveWindow(0, 0, 640, 480);
    Render(view); // the page hit-tests what it drew last
    CQKPage* page = view->GetPage();
    CQKGraphicLayer* layer = view->GetActiveLayer();
    struct Case {
        const char* kind;
        std::function<bool(CQKGrElement*)> is;
        const char* caption;
    } cases[] = {
        {"axis", [&](CQKGrElement* e) { int d, p; return layer->FindAxisPart(e, d, p) && d == 0 && p == 0; }, "Axis"},
        {"text", [](CQKGrElement* e) { return dynamic_cast<CQKTextObj*>(e) != nullptr; }, "Text Control"},
        {"plot", [&](CQKGrElement* e) { int d, p; return dynamic_cast<CQKPlotObj*>(e) && !layer->FindAxisPart(e, d, p); }, "Plot Details"},
    };
    CRect client;
    view->GetClientRect(&client);
    for (const Case& c : cases) {
        POINT hit = {-1, -1};
        for (int y = 0; y < client.bottom && hit.x < 0; y += 3)
            for (int x = 0; x < client.right && hit.x < 0; x += 3)
                if (c.is(page->FindGrElement(x, y)))
                    hit = {x, y};
        ASSERT_GE(hit.x, 0) << "no " << c.kind << " drawn";
        std::string caption;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND dialog) {
            caption = qxtest::WindowText(dialog);
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        driver.Run([&] {
            view->SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(hit.x, hit.y));
            return (INT_PTR)0;
        });
        EXPECT_EQ(driver.StepsRun(), 1) << c.kind << " at " << hit.x << "," << hit.y;
        EXPECT_NE(caption.find(c.caption), std::string::npos) << c.kind << ": " << caption;
    }
}

// A plot pressed in the graph window and moved past the drag distance is dragged: OLE runs
// the drag, and the window under the pointer takes the drop through the drop target it
// registered. The button is up when the drag starts, so each drag drops at once where the
// pointer is: on the other layer the plot moves there, on its own layer or outside the
// program's windows nothing moves; on another graph window's layer it moves into that
// graph. A press that does not move stays a click.
TEST_F(GraphViews, APlotDraggedOntoAnotherLayerMovesThere)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    view->GetParentFrame()->MoveWindow(0, 0, 640, 480);
    CQKGraphPage* graph = view->GetGraphPage();
    CQKGraphicLayer* left = view->GetActiveLayer();
    CQKGraphicLayer* right = graph->AddLayer();
    for (CQKGraphicLayer* l : {left, right}) {
        l->SetMeasLeft(l == left ? 8 : 58);
        l->SetMeasWidth(36);
    }
    CQKPlotObj* plot = left->PlotObjByIndex(0, 1);
    ASSERT_NE(plot, nullptr);
    graph->SetViewMode(2, 1); // the page fills the window
    CRect client;
    view->GetClientRect(&client);
    auto frameMiddle = [&](int layer) {
        RECT frame = {};
        EXPECT_TRUE(qkfxGetLayerFrame(graph, layer, client, frame));
        CPoint p((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
        view->ClientToScreen(&p);
        return p;
    };
    // The plot's line, where the page hit-tests it after drawing.
    auto onPlot = [&] {
        Render(view);
        for (int y = 0; y < client.bottom; y += 2)
            for (int x = 0; x < client.right; x += 2)
                if (graph->FindGrElement(x, y) == plot)
                    return CPoint(x, y);
        return CPoint(-1, -1);
    };
    struct Case {
        const char* name;
        std::function<CPoint()> pointer; // screen point of the drop
        int moves;                        // how far the press moves: 0 a click
        CQKGraphicLayer* after;
    } cases[] = {
        {"a click", [&] { return frameMiddle(1); }, 0, left},
        {"onto the other layer", [&] { return frameMiddle(1); }, 20, right},
        {"onto its own layer", [&] { return frameMiddle(1); }, 20, right},
        {"outside the windows", [] { return CPoint(-500, -500); }, 20, right},
        {"back", [&] { return frameMiddle(0); }, 20, left},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CPoint at = onPlot();
        ASSERT_GE(at.x, 0) << "the plot is drawn";
        const CPoint drop = c.pointer();
        ASSERT_TRUE(::SetCursorPos(drop.x, drop.y));
        view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        EXPECT_EQ(graph->GetStoredGrElement(), plot) << "the press selects the plot";
        view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + c.moves, at.y));
        view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x + c.moves, at.y));
        EXPECT_EQ(plot->GetValidLayer(), c.after);
        EXPECT_EQ(left->GetNumPlots() + right->GetNumPlots(), 1);
        EXPECT_FALSE(qkuIsPlotObjDragging()) << "the drag has ended";
    }
    EXPECT_EQ(plot->GetColor(), 0) << "the black it showed";

    // Onto the layer of another graph window beside this one.
    qkfxGetProject().SetActivePage(qkfxGetProject().GetLastActiveWks());
    ASSERT_EQ(Run("worksheet -p Line line"), 0);
    CQKGraphPage* other = qkfxGetProject().GetActiveGraph();
    ASSERT_NE(other, graph);
    CQUGraphView* otherView = ViewOf(other);
    ASSERT_NE(otherView, nullptr);
    view->GetParentFrame()->MoveWindow(0, 0, 400, 400);
    otherView->GetParentFrame()->MoveWindow(400, 0, 400, 400);
    other->SetViewMode(2, 1);
    view->GetClientRect(&client);
    CRect otherClient;
    otherView->GetClientRect(&otherClient);
    Render(otherView);
    RECT otherFrame = {};
    ASSERT_TRUE(qkfxGetLayerFrame(other, 0, otherClient, otherFrame));
    CPoint drop((otherFrame.left + otherFrame.right) / 2, (otherFrame.top + otherFrame.bottom) / 2);
    otherView->ClientToScreen(&drop);
    const CPoint at = onPlot();
    ASSERT_GE(at.x, 0);
    ASSERT_TRUE(::SetCursorPos(drop.x, drop.y));
    view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 20, at.y));
    view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x + 20, at.y));
    EXPECT_EQ(plot->GetValidLayer(), other->GetLayerByIndex(0, 1));
    EXPECT_EQ(other->GetLayerByIndex(0, 1)->GetNumPlots(), 2);
    EXPECT_EQ(left->GetNumPlots() + right->GetNumPlots(), 0);
}

// A plot is picked up wherever the press selects it, not only at its data points: a line
// plot (no symbols) pressed on its line halfway between two points, a column plot pressed
// in a column halfway down; either drag moves the plot onto the other layer.
TEST_F(GraphViews, APlotIsDraggedFromItsLineOrColumnBetweenItsPoints)
{
    EXPECT_EQ(Run("win -t wks; for (i = 1; i <= 10; i += 1) { col(A)[i] = i; col(B)[i] = i }"), 0);
    CQKWksPage* wks = qkfxGetProject().GetActiveWks();
    ASSERT_NE(wks, nullptr);
    struct Case {
        const char* script;
        double x, y; // where the press falls, in data units
    } cases[] = {
        {"worksheet -p Line Line", 4.5, 4.5},   // the line from (4, 4) to (5, 5)
        {"worksheet -p Column Column", 5, 2.5}, // the column of (5, 5), below its top
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        qkfxGetProject().SetActivePage(wks);
        ASSERT_EQ(Run(c.script), 0) << qkfxGetScript().GetLastError();
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        CQUGraphView* view = ViewOf(graph);
        ASSERT_NE(view, nullptr);
        view->GetParentFrame()->MoveWindow(0, 0, 640, 480);
        CQKGraphicLayer* left = view->GetActiveLayer();
        CQKGraphicLayer* right = graph->AddLayer();
        for (CQKGraphicLayer* l : {left, right}) {
            l->SetMeasLeft(l == left ? 8 : 58);
            l->SetMeasWidth(36);
        }
        // Axes from 0 to 11, so that a data point's place follows from the layer's frame.
        for (int axis : {QK_AXIS_X, QK_AXIS_Y}) {
            CQKAxes axes;
            ASSERT_TRUE(left->GetAxes(&axes, axis));
            axes.SetRangeFrom("0");
            axes.SetRangeTo("11");
            left->UpdateFromTemporary();
        }
        CQKPlotObj* plot = left->PlotObjByIndex(0, 1);
        ASSERT_NE(plot, nullptr);
        graph->SetViewMode(2, 1); // the page fills the window
        CRect client;
        view->GetClientRect(&client);
        RECT frames[2] = {};
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(qkfxGetLayerFrame(graph, i, client, frames[i]));
        const RECT& f = frames[0];
        const CPoint at(f.left + (int)lround(c.x / 11 * (f.right - f.left)),
                        f.bottom - (int)lround(c.y / 11 * (f.bottom - f.top)));
        // The nearest data points are far beyond the press's reach of a point.
        ASSERT_GT((f.right - f.left) / 11 / 2, 8);
        Render(view); // the page hit-tests what it drew last
        ASSERT_EQ(graph->FindGrElement(at.x, at.y), plot) << "the plot is drawn at " << at.x << "," << at.y;
        CPoint drop((frames[1].left + frames[1].right) / 2, (frames[1].top + frames[1].bottom) / 2);
        view->ClientToScreen(&drop);
        ASSERT_TRUE(::SetCursorPos(drop.x, drop.y));
        view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        EXPECT_EQ(graph->GetStoredGrElement(), plot) << "the press selects the plot";
        view->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x + 20, at.y));
        view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x + 20, at.y));
        EXPECT_EQ(plot->GetValidLayer(), right);
        EXPECT_EQ(left->GetNumPlots(), 0);
        EXPECT_FALSE(qkuIsPlotObjDragging()) << "the drag has ended";
    }
}

// A right click shows the submenu of the element clicked: the graph menu's "Axis",
// "Page", "Plotline" and "Plotline3D", the graphic objects' "SelUserObj" for a text, the
// layout's "InsideLayout" for its page.
TEST_F(GraphViews, ContextMenusFollowTheElementClicked)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    CQKGraphicLayer* layer = view->GetActiveLayer();
    ASSERT_EQ(Run("win -t layout"), 0);
    CQUGraphView* layoutView = ViewOf(qkfxGetProject().FindPage("Layout1"));
    ASSERT_NE(layoutView, nullptr);
    CQKPlotObj surface;
    surface.SetPlotObjectType(QK_PLOT_3D_SURFACE);
    struct Case {
        CQuorixView* view;
        CQKGrElement* element;
        UINT menu;
        const char* submenu;
    } cases[] = {
        {view, nullptr, 571, "Page"},
        {view, layer->PlotObjByIndex(0, 1), 571, "Plotline"},
        {view, &surface, 571, "Plotline3D"},
        {view, layer->GetAxisPart(0, 0), 571, "Axis"},
        {view, layer->GetAxisPart(1, 2), 571, "Axis"},
        {view, layer->FindTextObj("Legend"), 581, "SelUserObj"},
        {layoutView, nullptr, 571, "InsideLayout"},
    };
    for (const Case& c : cases) {
        int position = -1;
        UINT menu = c.view->GetContextMenuFor(c.element, &position);
        EXPECT_EQ(menu, c.menu) << c.submenu;
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(menu), RT_MENU);
        HMENU loaded = module ? ::LoadMenuA(module, MAKEINTRESOURCE(menu)) : nullptr;
        ASSERT_NE(loaded, nullptr) << menu;
        char name[64] = "";
        ::GetMenuStringA(loaded, (UINT)position, name, sizeof name, MF_BYPOSITION);
        EXPECT_STREQ(name, c.submenu);
        EXPECT_NE(::GetSubMenu(loaded, position), nullptr) << c.submenu;
        ::DestroyMenu(loaded);
    }
}

// A plot kind the worksheet's columns cannot make says why in a message box, and makes no
// graph.
TEST_F(GraphViews, APlotTheColumnsCannotMakeSaysWhy)
{
    ASSERT_EQ(Run("win -t wks; col(A)[1] = 1; col(B)[1] = 2"), 0);
    CQKPage* wks = qkfxGetProject().GetActiveWks();
    CView* view = DYNAMIC_DOWNCAST(CView, CWnd::FromHandlePermanent(wks->GetDrawingWnd()));
    ASSERT_NE(view, nullptr);
    int pages = qkfxGetProject().GetNumPages();
    std::string message;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND box) {
        message = qxtest::WindowText(::GetDlgItem(box, 0xFFFF));
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    driver.Run([&] {
        view->SendMessage(WM_COMMAND, 33254, 0); // Floating Column: two Y columns a plot
        return (INT_PTR)0;
    });
    EXPECT_EQ(driver.StepsRun(), 1);
    EXPECT_NE(message.find("FloatColumn"), std::string::npos) << message;
    EXPECT_EQ(qkfxGetProject().GetNumPages(), pages);
}

// The Edit commands of a graph window work on its selected objects and are grey without
// them; the toolbox greys the tools the page does not offer.
TEST_F(GraphViews, EditCommandsWorkOnTheSelectedObjects)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    CQKGraphPage* page = view->GetGraphPage();
    CQKGraphicLayer* layer = view->GetActiveLayer();
    const UINT kCopy = 57634, kPaste = 57637, kClear = 57632, kUndo = 57643;
    page->SetStoredGrElement(nullptr);
    EXPECT_EQ(Enabled(view, kCopy), 0);
    EXPECT_EQ(Enabled(view, kUndo), 0);
    CQKTextObj* legend = layer->FindTextObj("Legend");
    ASSERT_NE(legend, nullptr);
    page->SelectGrObject(legend, false);
    EXPECT_EQ(Enabled(view, kCopy), 1);
    const int objects = layer->GetObjectCount();
    view->SendMessage(WM_COMMAND, kCopy);
    EXPECT_EQ(Enabled(view, kPaste), 1);
    view->SendMessage(WM_COMMAND, kPaste);
    EXPECT_EQ(layer->GetObjectCount(), objects + 1);
    view->SendMessage(WM_COMMAND, kClear);
    EXPECT_EQ(layer->GetObjectCount(), objects) << "the pasted copy was selected and cleared";
    EXPECT_EQ(Enabled(view, kUndo), 1);
    view->SendMessage(WM_COMMAND, kUndo);
    EXPECT_EQ(layer->GetObjectCount(), objects + 1);
    EXPECT_EQ(Enabled(view, kUndo), 0) << "one step";

    EXPECT_EQ(Enabled(view, 34982), 1) << "the arrow tool";
    EXPECT_EQ(Enabled(view, 34979), 0) << "the screen reader is not built";
}

// A click of the text tool makes a label and opens its dialog: OK keeps the label, Cancel
// takes it away; the pointer is chosen again either way.
TEST_F(GraphViews, TheTextToolsLabelStaysOnlyWithOk)
{
    CQUGraphView* view = NewLineGraph();
    ASSERT_NE(view, nullptr);
    CQKGraphPage* page = view->GetGraphPage();
    CQKGraphicLayer* layer = view->GetActiveLayer();
    ASSERT_TRUE(page->SetDrawRect(RECT{0, 0, 800, 600}));
    CQKAccess* access = qkfxGetAccess();
    for (int answer : {IDCANCEL, IDOK}) {
        const int objects = layer->GetObjectCount();
        view->SendMessage(WM_COMMAND, 34978);
        EXPECT_EQ(access->GetCheckedToolNumber(), 2);
        qxtest::DialogDriver driver;
        driver.Then([&](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, answer, 0); });
        driver.Run([&] {
            view->SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(200, 150));
            return (INT_PTR)0;
        });
        EXPECT_EQ(driver.StepsRun(), 1);
        EXPECT_EQ(layer->GetObjectCount(), objects + (answer == IDOK ? 1 : 0)) << answer;
        EXPECT_EQ(access->GetCheckedToolNumber(), 0);
    }
}
