// Plotting from workbook ranges: plot commands with the default assignments, and the
// Select Data for Plotting dialog.
#include "XlFixture.h"

#include "ExcelRes.h"
#include "QKAccess.h"
#include "QKGraphObjects.h"
#include "QUGraphDoc.h"
#include "QUGraphView.h"
#include "XlPlot.h"

namespace {

using qxtest::DialogDriver;

class XlPlotting : public XlFixture {
protected:
    void SetUp() override
    {
        XlFixture::SetUp();
        CQUxlPlotSettings::DlgPlot = 1;
        CQUxlPlotSettings::DlgPlotMulti = 0;
        CQUxlPlotSettings::LegendTxtSel = 0;
        CQUxlPlotSettings::CloseAfterPlot = 0;
        CPlotExcelDlg::s_X = CPlotExcelDlg::s_Y = CPlotExcelDlg::s_Z = CPlotExcelDlg::s_Err = "";
        CPlotExcelDlg::s_Label = CPlotExcelDlg::s_Sheet = "";
        CPlotExcelDlg::s_titleRow = CPlotExcelDlg::s_lastPlotInto = -1;
        // Columns A (x), B and C (two curves), rows 1 to 5.
        for (int r = 1; r <= 5; ++r) {
            UserSets("Sheet1", ("A" + std::to_string(r)).c_str(), COleVariant((double)r));
            UserSets("Sheet1", ("B" + std::to_string(r)).c_str(), COleVariant((double)(r * r)));
            UserSets("Sheet1", ("C" + std::to_string(r)).c_str(), COleVariant((double)(10 - r)));
        }
    }
    void Select(const char* range)
    {
        CxlobjWorksheet ws(*view->GetWorkbookDriver(), "Sheet1");
        CxlobjRange* r = ws.GetRange(range);
        ASSERT_TRUE(r && r->Activate());
        delete r;
    }
    std::vector<CQKGraphPage*> Graphs()
    {
        std::vector<CQKGraphPage*> out;
        CQKProject& p = qkfxGetProject();
        for (int i = 0; i < p.GetNumPages(); ++i)
            if (p.GetPage(i)->GetType() == QK_PAGE_GRAPH)
                out.push_back(static_cast<CQKGraphPage*>(p.GetPage(i)));
        return out;
    }
    std::string NameOf(INT_PTR handle)
    {
        CQKDataset* d = qkfxGetProject().GetDatasetFromHandle(handle);
        return d ? d->GetName() : std::string("?");
    }
    // The dataset the layer's i-th plot draws.
    CQKDataset* Plotted(CQKGraphicLayer* layer, int i)
    {
        auto* plot = dynamic_cast<CQKDataObj*>(layer->PlotObjByIndex(i, 1));
        return plot ? qkfxGetProject().GetDatasetFromHandle(plot->GetDataHandle()) : nullptr;
    }
    HWND Dialog() { return CQUxlView::m_pPlotExcelDlg ? CQUxlView::m_pPlotExcelDlg->m_hWnd : nullptr; }
    std::string Summary() { return qxtest::GetText(Dialog(), IDC_XL_PLOT_SUMMARY); }
};

TEST_F(XlPlotting, ASelectionPlotsWithTheFirstColumnAsX)
{
    Select("A1:C5");
    view->on_plot_commands(33232);
    auto graphs = Graphs();
    ASSERT_EQ(1u, graphs.size());
    CQKGraphicLayer* layer = graphs[0]->GetActiveLayer();
    ASSERT_EQ(2, layer->GetNumPlots());
    CQKDataset* y = Plotted(layer, 0);
    ASSERT_TRUE(y);
    EXPECT_EQ(16.0, y->GetValue(3));
    EXPECT_EQ("A", NameOf(y->m_xDataset).substr(NameOf(y->m_xDataset).size() - 1));
    EXPECT_EQ(NameOf(y->m_xDataset), layer->PlotObjByIndex(0, 1)->GetDataName(QK_ROLE_X));
    // A command that names no kind of plot plots lines.
    EXPECT_EQ(QK_PLOT_LINE, layer->PlotObjByIndex(0, 1)->GetPlotObjectType(0));
    EXPECT_EQ(nullptr, CQUxlView::m_pPlotExcelDlg);
}

TEST_F(XlPlotting, PlotsGoIntoLayersOrPagesAsChosen)
{
    Select("A1:C5");
    CQUxlPlotSettings::DlgPlotMulti = 1;
    view->on_plot_commands(33232);
    ASSERT_EQ(1u, Graphs().size());
    EXPECT_EQ(2, Graphs()[0]->GetNumLayers());
    EXPECT_EQ(1, Graphs()[0]->GetLayerByIndex(1, 1)->GetNumPlots());
    CQUxlPlotSettings::DlgPlotMulti = 2;
    view->on_plot_commands(33232);
    EXPECT_EQ(3u, Graphs().size());
}

TEST_F(XlPlotting, ASelectionOfOneRowIsRefused)
{
    Select("A2:C2");
    std::string text;
    DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    driver.Run([&] {
        view->on_plot_commands(33232);
        return (INT_PTR)0;
    });
    EXPECT_NE(std::string::npos, text.find("not appropriate for the plot type"));
    EXPECT_TRUE(Graphs().empty());
}

TEST_F(XlPlotting, TheDialogAssignsRolesRefusesOverlapsAndPlots)
{
    Select("B3");
    view->on_plot_commands(33232); // one cell: the dialog
    ASSERT_TRUE(Dialog());
    view->on_plot_commands(33232);
    EXPECT_TRUE(Dialog()) << "still the one dialog";
    EXPECT_FALSE(qxtest::IsEnabled(Dialog(), IDOK)) << "no Y yet";

    Select("B1:B5");
    qxtest::Click(Dialog(), IDC_XL_PLOT_Y);
    EXPECT_TRUE(qxtest::IsEnabled(Dialog(), IDOK));
    Select("B2:B3");
    qxtest::Click(Dialog(), IDC_XL_PLOT_X); // overlaps Y: refused
    Select("A1:A5");
    qxtest::Click(Dialog(), IDC_XL_PLOT_X);
    Select("D2");
    qxtest::Click(Dialog(), IDC_XL_PLOT_TITLE_ROW);

    // A role of one column refuses two columns with a message and is cleared.
    Select("C1:D5");
    std::string text;
    DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    driver.Run([&] {
        qxtest::Click(Dialog(), IDC_XL_PLOT_ERR);
        return (INT_PTR)0;
    });
    EXPECT_EQ("You must select a range containing no more than one column for this operation.", text);
    EXPECT_EQ("      X: A1:A5\r\n      Y: B1:B5\r\n      Z: \r\n    Err: \r\nLabel: \r\n  Title: 2", Summary());

    qxtest::Click(Dialog(), IDOK);
    auto graphs = Graphs();
    ASSERT_EQ(1u, graphs.size());
    ASSERT_EQ(1, graphs[0]->GetActiveLayer()->GetNumPlots());
    CQKDataset* y = Plotted(graphs[0]->GetActiveLayer(), 0);
    EXPECT_EQ(25.0, y->GetValue(4));
    EXPECT_NE(0, y->m_xDataset);

    // Clear with nothing selected in the summary empties every role; Close ends it.
    qxtest::Click(Dialog(), IDC_XL_PLOT_CLEAR);
    EXPECT_EQ("      X: \r\n      Y: \r\n      Z: \r\n    Err: \r\nLabel: \r\n  Title: ", Summary());
    EXPECT_FALSE(qxtest::IsEnabled(Dialog(), IDOK));
    qxtest::Click(Dialog(), IDCANCEL);
    EXPECT_EQ(nullptr, CQUxlView::m_pPlotExcelDlg);
}

TEST_F(XlPlotting, SeveralYAreasMakeOnePlotDescription)
{
    UserSets("Sheet1", "E1", COleVariant("speed"));
    UserSets("Sheet1", "E2", COleVariant(1.0));
    UserSets("Sheet1", "E3", COleVariant(2.0));
    CQUxlPlotSettings::DlgPlot = 0;
    Select("B1:B5,C1:C5,E1:E3");
    view->on_plot_commands(33232); // default assignments off: the dialog
    ASSERT_TRUE(Dialog());
    qxtest::Click(Dialog(), IDC_XL_PLOT_Y);
    EXPECT_NE(std::string::npos, Summary().find("Y: B1:B5;C1:C5;E1:E3"));
    qxtest::Click(Dialog(), IDOK);
    ASSERT_EQ(1u, Graphs().size());
    EXPECT_EQ(3, Graphs()[0]->GetActiveLayer()->GetNumPlots());
    CQUxlView::DeletePlotDlg();
    EXPECT_EQ(nullptr, CQUxlView::m_pPlotExcelDlg);
    // A column's label row is its first text.
    EXPECT_EQ(0, view->GetLabelRowNum("Sheet1", 5));
    EXPECT_EQ(-1, view->GetLabelRowNum("Sheet1", 2));
}

TEST_F(XlPlotting, WithAGraphActiveTheDialogPlotsIntoItsActiveLayer)
{
    CQKGraphPage* graph = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    ASSERT_TRUE(graph);
    Select("C3");
    view->on_plot_commands(33232);
    ASSERT_TRUE(Dialog());
    Select("C1:C5");
    qxtest::Click(Dialog(), IDC_XL_PLOT_Y);
    qkfxGetProject().SetActivePage(graph);
    qxtest::Click(Dialog(), IDOK);
    EXPECT_EQ(1u, Graphs().size()) << "no new graph";
    ASSERT_EQ(1, graph->GetActiveLayer()->GetNumPlots());
    EXPECT_EQ(7.0, Plotted(graph->GetActiveLayer(), 0)->GetValue(2));
    CQUxlView::DeletePlotDlg();
}

// Data whose "Link Source" names the moniker of a workbook path, a sheet and a range, as a
// spreadsheet's drag offers it.
COleDataSource* LinkSourceData(const wchar_t* path, const wchar_t* sheet, const wchar_t* range)
{
    IMoniker* file = nullptr;
    IMoniker* name = nullptr;
    EXPECT_EQ(S_OK, CreateFileMoniker(path, &file));
    for (const wchar_t* item : {sheet, range}) {
        if (!item)
            continue;
        IMoniker* part = nullptr;
        IMoniker* joined = nullptr;
        EXPECT_EQ(S_OK, CreateItemMoniker(L"!", item, &part));
        EXPECT_EQ(S_OK, (name ? name : file)->ComposeWith(part, FALSE, &joined));
        part->Release();
        if (name)
            name->Release();
        name = joined;
    }
    IStream* stream = nullptr;
    EXPECT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, FALSE, &stream));
    IPersistStream* persist = nullptr;
    (name ? name : file)->QueryInterface(IID_IPersistStream, (void**)&persist);
    EXPECT_EQ(S_OK, OleSaveToStream(persist, stream));
    WriteClassStm(stream, CLSID_NULL);
    persist->Release();
    HGLOBAL block = nullptr;
    GetHGlobalFromStream(stream, &block);
    stream->Release();
    if (name)
        name->Release();
    file->Release();
    auto* source = new COleDataSource;
    source->CacheGlobalData((CLIPFORMAT)RegisterClipboardFormatA("Link Source"), block);
    return source;
}

// A graph window's view over a graph page of its own, without a window.
struct GraphWindow {
    CQUGraphDoc* doc = new CQUGraphDoc;
    CQUGraphView* view = (CQUGraphView*)RUNTIME_CLASS(CQUGraphView)->CreateObject();
    CQKGraphPage* page = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    GraphWindow()
    {
        doc->m_bAutoDelete = FALSE;
        doc->ConnectPage(page);
        doc->AddView(view);
    }
    ~GraphWindow()
    {
        doc->RemoveView(view);
        delete view;
        doc->DisconnectPage();
        delete doc;
    }
};

// A range dragged from the active workbook is known by its link's name, which must begin
// with the workbook's path and end in "!" and an R1C1 range; dropped on a graph it is
// plotted in the graph's layer. Other data show no drop effect.
TEST_F(XlPlotting, ARangeDraggedFromTheActiveWorkbookIsPlottedWhereItIsDropped)
{
    // The workbook window is the active one of the program's main window.
    CWinApp app("xldrop");
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, "main"));
    app.m_pMainWnd = frame;
    frame->SetActiveView(view, FALSE);
    doc->SetPathName("C:\\data\\Book1.xls", FALSE);
    GraphWindow graph;
    ASSERT_NE(graph.page, nullptr);
    Select("B1:B5");

    struct Case {
        const char* name;
        const wchar_t *path, *sheet, *range;
        DROPEFFECT shown;
    } cases[] = {
        {"another workbook", L"C:\\data\\Other.xls", L"Sheet1", L"R1C2:R5C2", DROPEFFECT_NONE},
        {"a single \"!\"", L"C:\\data\\Book1.xls", nullptr, L"R1C2:R5C2", DROPEFFECT_NONE},
        {"a range of one character", L"C:\\data\\Book1.xls", L"Sheet1", L"C", DROPEFFECT_NONE},
        {"no R1C1 range", L"C:\\data\\Book1.xls", L"Sheet1", L"B1:B5", DROPEFFECT_NONE},
        {"this workbook's range", L"C:\\data\\Book1.xls", L"Sheet1", L"R1C2:R5C2", DROPEFFECT_COPY | DROPEFFECT_LINK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COleDataSource* source = LinkSourceData(c.path, c.sheet, c.range);
        COleDataObject data;
        data.Attach(source->GetDataObject(FALSE), FALSE);
        EXPECT_EQ(c.shown, graph.view->OnDragEnter(&data, 0, CPoint(10, 10)));
        if (c.shown != DROPEFFECT_NONE) {
            EXPECT_TRUE(graph.view->OnDrop(&data, DROPEFFECT_COPY, CPoint(10, 10)));
            ASSERT_EQ(1, graph.page->GetActiveLayer()->GetNumPlots());
            EXPECT_EQ(16.0, Plotted(graph.page->GetActiveLayer(), 0)->GetValue(3));
        } else
            graph.view->OnDragLeave();
        source->InternalRelease();
    }
    EXPECT_EQ(1u, Graphs().size()) << "no graph of its own";

    frame->SetActiveView(nullptr, FALSE);
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
}

TEST_F(XlPlotting, UseDefaultsPlotsTheSelectionAndKeepsTheOptionOnlyOnYes)
{
    CQUxlPlotSettings::DlgPlot = 0;
    Select("A1:C5");
    view->on_plot_commands(33232); // default assignments off: the dialog
    ASSERT_TRUE(Dialog());
    EXPECT_TRUE(qxtest::IsEnabled(Dialog(), IDC_XL_PLOT_USE_DEFAULTS));
    std::string question;
    DialogDriver no;
    no.Then([&](HWND box) {
        question = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDNO);
    });
    no.Run([&] {
        qxtest::Click(Dialog(), IDC_XL_PLOT_USE_DEFAULTS);
        return (INT_PTR)0;
    });
    EXPECT_EQ("Would you also like to enable the 'Default Plot Assignments' in the Options dialog box?", question);
    EXPECT_EQ(1u, Graphs().size());
    EXPECT_EQ(0, CQUxlPlotSettings::DlgPlot);

    DialogDriver cancel;
    cancel.Then([](HWND box) { qxtest::Click(box, IDCANCEL); });
    cancel.Run([&] {
        qxtest::Click(Dialog(), IDC_XL_PLOT_USE_DEFAULTS);
        return (INT_PTR)0;
    });
    EXPECT_EQ(1u, Graphs().size());

    DialogDriver yes;
    yes.Then([](HWND box) { qxtest::Click(box, IDYES); });
    yes.Run([&] {
        qxtest::Click(Dialog(), IDC_XL_PLOT_USE_DEFAULTS);
        return (INT_PTR)0;
    });
    EXPECT_EQ(2u, Graphs().size());
    EXPECT_EQ(1, CQUxlPlotSettings::DlgPlot);
}

TEST_F(XlPlotting, SavedRolesAndTheDialogsPositionOutliveTheDialog)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "qxxlplot" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "\\Quorix.ini").c_str());
    qkfxSetGlobalINIPath(folder.c_str());

    Select("C3");
    view->on_plot_commands(33232);
    ASSERT_TRUE(Dialog());
    Select("B1:B5");
    qxtest::Click(Dialog(), IDC_XL_PLOT_Y);
    qxtest::Click(Dialog(), IDC_XL_PLOT_SAVE_SETTINGS);
    MoveWindow(Dialog(), 40, 50, 400, 300, FALSE);
    qxtest::Click(Dialog(), IDCANCEL);
    ASSERT_EQ(nullptr, Dialog());
    char pos[64];
    GetPrivateProfileStringA("EXCELPLOTDLG", "WinPos", "", pos, sizeof pos, (folder + "\\Quorix.ini").c_str());
    EXPECT_STREQ("40 50 440 350", pos);

    Select("C3");
    view->on_plot_commands(33232);
    ASSERT_TRUE(Dialog());
    EXPECT_NE(std::string::npos, Summary().find("Y: B1:B5"));
    RECT r;
    GetWindowRect(Dialog(), &r);
    EXPECT_EQ(40, r.left);
    EXPECT_EQ(50, r.top);
    CQUxlView::DeletePlotDlg();
}

} // namespace
