// The layer and page commands of the graph window through their command texts: whether
// the menus offer them, the graph after each, what a project keeps of them, and where the
// moved plots draw.
#include "KernelTest.h"
#include "TestDib.h"

#include <functional>

#include "QKAccess.h"
#include "QKFile.h"
#include "QKGraphObjects.h"
#include "QKPageDraw.h"
#include "QKPlotModel.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255);

class LayersTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        x = wks->AddColumn();
        y1 = wks->AddColumn();
        y2 = wks->AddColumn();
        for (int i = 0; i < 10; ++i)
            x->SetValue(i, i), y1->SetValue(i, i), y2->SetValue(i, 9 - i);
        graph = NewGraph();
    }
    CQKGraphPage* NewGraph()
    {
        auto* g = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
        qkfxGetProject().SetActivePage(g);
        return g;
    }
    CQKPlotObj* Plot(CQKGraphPage* g, CQKDataset* y, int layerIndex = 0)
    {
        std::vector<QKPlotData> data(2);
        data[0].role = QK_ROLE_Y, data[0].dataset = y->GetName(), data[0].handle = y->GetHandle();
        data[1].role = QK_ROLE_X, data[1].dataset = x->GetName(), data[1].handle = x->GetHandle();
        std::string error;
        CQKPlotObj* plot = qkfxAddPlot(g->GetLayerByIndex(layerIndex, 1), QK_PLOT_SCATTER, data, &error);
        EXPECT_NE(plot, nullptr) << error;
        plot->SetColor(3); // blue
        qkfxRescaleLayer(g->GetLayerByIndex(layerIndex, 1), TRUE);
        return plot;
    }
    // Runs a command's text as the menu would: refused (1 on refusal) or run (0).
    int Command(const char* group, int id, const std::string& script)
    {
        CQKAccess* access = qkfxGetAccess();
        if (!access->on_before_run_command(group, id))
            return 1;
        return access->run_resurce_string_ex(group, ("p\nt\n" + script).c_str(), nullptr) == 0 ? 0 : 2;
    }
    static void Place(const CQKGraphicLayer* l, double left, double top, double width, double height)
    {
        EXPECT_EQ(l->GetMeasUnits(), QK_UNITS_PAGE_PERCENT);
        EXPECT_NEAR(l->GetMeasLeft(), left, 1e-9);
        EXPECT_NEAR(l->GetMeasTop(), top, 1e-9);
        EXPECT_NEAR(l->GetMeasWidth(), width, 1e-9);
        EXPECT_NEAR(l->GetMeasHeight(), height, 1e-9);
    }
    std::string PlotsOf(const CQKGraphicLayer* l) const
    {
        std::string s;
        for (int i = 0; i < l->GetNumPlots(); ++i)
            s += (s.empty() ? "" : " ") + l->PlotObjByIndex(i, 1)->GetDataSetName();
        return s;
    }

    CQKWksPage* wks = nullptr;
    CQKDataset *x = nullptr, *y1 = nullptr, *y2 = nullptr;
    CQKGraphPage* graph = nullptr;
    int autoColor = -1;
    static void NewLegendOf(CQKGraphPage* g)
    {
        std::string error;
        EXPECT_TRUE(g->NewLegend(&error)) << error;
    }
};

// Each command: what makes the menus refuse it, then the graph after it ran.
TEST_F(LayersTest, EachCommandRefusedWithoutWhatItNeedsAndItsGraphAfter)
{
    struct Case {
        const char* name;
        const char* group;
        int id;
        const char* script;
        std::function<void()> notReady; // the graph as it is when the menus grey the command
        std::function<void()> ready;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"Maximize Layer", nullptr, 36127, "run.section(Graph,FitLayerToPage);",
         [&] { qkfxGetProject().SetActivePage(wks); }, [&] { qkfxGetProject().SetActivePage(graph); },
         [&] {
             CQKGraphicLayer* l = graph->GetActiveLayer();
             Place(l, 12, 6, 82, 82);
             EXPECT_EQ(l->GetRestorePlace(), (std::vector<double>{0, 15, 10, 70, 70}));
             // The second time it goes back.
             EXPECT_EQ(Command(nullptr, 36127, "run.section(Graph,MaxLayer);"), 0) << err;
             Place(l, 15, 10, 70, 70);
             EXPECT_TRUE(l->GetRestorePlace().empty());
         }},
        {"Arrange All Layers", nullptr, 36123, "run.section(graph,ArrangeAllLayers);",
         [&] { qkfxGetProject().SetActivePage(wks); },
         [&] {
             qkfxGetProject().SetActivePage(graph);
             graph->AddLayer();
             graph->AddLayer();
         },
         [&] {
             // Three layers: two columns, two rows, row by row.
             ASSERT_EQ(graph->GetNumLayers(), 3);
             Place(graph->GetLayerByIndex(0, 1), 6, 3, 41, 41);
             Place(graph->GetLayerByIndex(1, 1), 56, 3, 41, 41);
             Place(graph->GetLayerByIndex(2, 1), 6, 53, 41, 41);
         }},
        {"Extract to Layers", "STANDARD", 33042, "@ExtractLayers",
         [&] {
             Plot(graph, y1);
             NewLegendOf(graph);
         },
         [&] {
             CQKPlotObj* second = Plot(graph, y2);
             second->SetColor(-1); // automatic: the second colour of the layer
             autoColor = second->GetActualColorForAutoColor(0);
             NewLegendOf(graph);
         },
         [&] {
             // The moved plot keeps its colour; each layer's legend lists its own plot.
             EXPECT_EQ(graph->GetLayerByIndex(1, 1)->PlotObjByIndex(0, 1)->GetColor(), autoColor);
             for (int i = 0; i < 2; ++i) {
                 const CQKTextObj* legend = graph->GetLayerByIndex(i, 1)->FindTextObj("Legend");
                 ASSERT_NE(legend, nullptr) << i;
                 EXPECT_NE(legend->GetTextString().find((i ? y2 : y1)->GetName()), std::string::npos) << i;
                 EXPECT_EQ(legend->GetTextString().find((i ? y1 : y2)->GetName()), std::string::npos) << i;
             }
             ASSERT_EQ(graph->GetNumLayers(), 2);
             EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(0, 1)), y1->GetName());
             EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(1, 1)), y2->GetName());
             Place(graph->GetLayerByIndex(1, 1), 56, 6, 41, 82);
         }},
        {"Extract to Graphs", "STANDARD", 33043, "@ExtractGraphs",
         [&] { Plot(graph, y1); },
         [&] {
             graph->AddLayer();
             Plot(graph, y2, 1);
         },
         [&] {
             EXPECT_EQ(graph->GetNumLayers(), 1);
             EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(0, 1)), y1->GetName());
             auto* made = dynamic_cast<CQKGraphPage*>(qkfxGetProject().FindPage("Graph2"));
             ASSERT_NE(made, nullptr);
             ASSERT_EQ(made->GetNumLayers(), 1);
             EXPECT_EQ(PlotsOf(made->GetLayerByIndex(0, 1)), y2->GetName());
         }},
        {"Merge Graphs", nullptr, 36126, "run.section(Graph,MergeAllPages);",
         [&] { Plot(graph, y1); },
         [&] {
             CQKGraphPage* other = NewGraph();
             Plot(other, y2);
             other->AddLayer(); // linked to the first layer of its graph
             other->GetLayerByIndex(1, 1)->SetLinkToLayerIndex(0);
             qkfxGetProject().SetActivePage(graph);
         },
         [&] {
             EXPECT_EQ(qkfxGetProject().FindPage("Graph2"), nullptr);
             ASSERT_EQ(graph->GetNumLayers(), 3);
             EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(1, 1)), y2->GetName());
             EXPECT_EQ(graph->GetLayerByIndex(2, 1)->GetState().linkTo, 1) << "the link follows its layer";
             Place(graph->GetLayerByIndex(1, 1), 56, 3, 41, 41);
         }},
        {"Fit page to encompass all layers", nullptr, 36129, "run.section(Graph,FitPageToLayers)", [] {},
         [&] {
             // 1 inch left of the page, 2 inches wide, 3 inches high at 1 inch from the top.
             CQKGraphicLayer* l = graph->GetActiveLayer();
             l->SetMeasUnits(QK_UNITS_INCH);
             l->SetMeasLeft(-1), l->SetMeasTop(1), l->SetMeasWidth(2), l->SetMeasHeight(3);
         },
         [&] {
             double w, h;
             graph->GetPageSizeInches(w, h);
             EXPECT_NEAR(w, 10 + 1 + 0.9, 1e-9);
             EXPECT_NEAR(h, 7.5, 1e-9);
             EXPECT_NEAR(graph->GetActiveLayer()->GetMeasLeft(), 0.9, 1e-9) << "in its own units";
             EXPECT_FALSE(graph->CanFitPageToLayers());
         }},
        {"Add Scatter", nullptr, 36116, "worksheet -P i scatter",
         [&] { qkfxGetProject().New(); },
         [&] {
             SetUp();
             qkfxGetProject().SetActivePage(wks);
             wks->m_selC1 = wks->m_selC2 = wks->GetNumCols(); // y2
             qkfxGetProject().SetActivePage(graph);
         },
         [&] { EXPECT_EQ(PlotsOf(graph->GetActiveLayer()), y2->GetName()); }},
        {"Frame", nullptr, 33092, "layer -b frame -1", [&] { qkfxGetProject().SetActivePage(wks); },
         [&] {
             qkfxGetProject().SetActivePage(graph);
             EXPECT_FALSE(graph->CheckViewShowCommand(33092));
         },
         [&] { EXPECT_TRUE(graph->CheckViewShowCommand(33092)); }},
        {"Exchange Axes", nullptr, 36122, "layer -b Xchange -1;", [&] { qkfxGetProject().SetActivePage(wks); },
         [&] {
             qkfxGetProject().SetActivePage(graph);
             EXPECT_FALSE(graph->CheckViewShowCommand(36122));
         },
         [&] {
             EXPECT_TRUE(graph->GetActiveLayer()->IsExchangeAxes());
             EXPECT_TRUE(graph->CheckViewShowCommand(36122));
             // The second time the axes go back.
             EXPECT_EQ(Command(nullptr, 36122, "layer -b Xchange -1;"), 0) << err;
             EXPECT_FALSE(graph->CheckViewShowCommand(36122));
         }},
        {"Stack Data", nullptr, 36121, "layer -b stack -1;", [&] { qkfxGetProject().SetActivePage(wks); },
         [&] {
             qkfxGetProject().SetActivePage(graph);
             EXPECT_FALSE(graph->CheckViewShowCommand(36121));
         },
         [&] {
             EXPECT_TRUE(graph->GetActiveLayer()->IsStackPlots());
             EXPECT_TRUE(graph->CheckViewShowCommand(36121));
             EXPECT_EQ(Command(nullptr, 36121, "layer -b stack -1;"), 0) << err;
             EXPECT_FALSE(graph->CheckViewShowCommand(36121));
         }},
        {"Page Control", nullptr, 36082, "Page;l", [&] { qkfxGetProject().SetActivePage(wks); },
         [&] { qkfxGetProject().SetActivePage(graph); },
         [&] { EXPECT_NE(qkfxGetCallLog().ToString().find("no dialog for a plain page (0)"), std::string::npos); }},
        {"Date & Time", "STANDARD", 33041, "@DateTime", [&] { qkfxGetProject().SetActivePage(wks); },
         [&] { qkfxGetProject().SetActivePage(graph); },
         [&] {
             // One label, "m/d/yyyy hh:mm" of now (the minute may have turned meanwhile).
             CQKGraphicLayer* l = graph->GetActiveLayer();
             std::string text;
             for (int id : l->GetObjectIds())
                 if (auto* t = dynamic_cast<CQKTextObj*>(l->GetObject(id)))
                     text = t->GetTextString();
             SYSTEMTIME now;
             GetLocalTime(&now);
             int m = 0, d = 0, y = 0, hh = 0, mm = 0;
             ASSERT_EQ(sscanf(text.c_str(), "%d/%d/%d %d:%d", &m, &d, &y, &hh, &mm), 5) << text;
             EXPECT_EQ(text.size(), text.find(':') + 3) << text;
             EXPECT_EQ((std::vector<int>{m, d, y}), (std::vector<int>{now.wMonth, now.wDay, now.wYear})) << text;
             EXPECT_LE(std::abs(now.wHour * 60 + now.wMinute - hh * 60 - mm), 1) << text;
         }},
        {"Add Function Graph", nullptr, 36120, "NewFunction",
         [&] {
             graph->AddLayer(true);
             graph->SetActiveLayerIndex(1);
         },
         [&] { graph->SetActiveLayerIndex(0); },
         [&] {
             // A function of its own name joins the layer; Plot Details opened on it.
             CQKGraphicLayer* l = graph->GetActiveLayer();
             ASSERT_EQ(l->GetNumPlots(), 1);
             CQKPlotObj* f = l->PlotObjByIndex(0, 1);
             EXPECT_EQ(f->GetPlotObjectType(0), QK_PLOT_FUNCTION);
             EXPECT_EQ(f->GetFunctionName(), "F1");
             EXPECT_NE(qkfxGetCallLog().ToString().find("no dialog for a plain page (2)"), std::string::npos);
             ASSERT_EQ(Command(nullptr, 36120, "NewFunction"), 0) << err;
             EXPECT_EQ(PlotsOf(l), "F1 F2");
         }},
        {"Set Display Range", "GRAPH", 32965, "@SetDisplayRange", [&] { Plot(graph, y1); },
         [&] {
             // The Data Selector dragged over the left half of the drawn page.
             const RECT client = {0, 0, 800, 600};
             graph->SetViewMode(2, 1);
             ASSERT_TRUE(graph->SetDrawRect(client));
             Dib dib(800, 600);
             ASSERT_TRUE(graph->Draw(dib.dc, client));
             ASSERT_TRUE(graph->SelectRange({0, 0}, {400, 0}));
         },
         [&] {
             INT_PTR dataset = 0;
             int first = -1, last = -1;
             ASSERT_TRUE(graph->GetSelectedRange(dataset, first, last));
             EXPECT_EQ(first, 0);
             EXPECT_GT(last, 0);
             EXPECT_LT(last, 9);
             for (const QKPlotData& d : graph->GetActiveLayer()->PlotObjByIndex(0, 1)->GetDataList())
                 EXPECT_EQ((std::vector<int>{d.first, d.end}), (std::vector<int>{first, last + 1}));
             // Kept in the project; Reset to Full Range shows every row again.
             std::vector<BYTE> bytes;
             qkfxSaveProjectToMemory(bytes);
             const std::string before = qkfxDumpProject();
             std::string error;
             ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
             EXPECT_EQ(Diff(before, qkfxDumpProject()), "");
             graph = static_cast<CQKGraphPage*>(qkfxGetProject().FindPage("Graph1"));
             qkfxGetProject().SetActivePage(graph);
             ASSERT_EQ(Command(nullptr, 36086, "set %C -e;HideMarker;"), 0) << err;
             for (const QKPlotData& d : graph->GetActiveLayer()->PlotObjByIndex(0, 1)->GetDataList())
                 EXPECT_EQ((std::vector<int>{d.first, d.end}), (std::vector<int>{0, -1}));
         }},
        {"Layer Control", nullptr, 36083, "Layer -K P;",
         [&] { qkfxGetProject().SetActivePage(qkfxGetProject().CreatePage(QK_PAGE_LAYOUT)); },
         [&] { qkfxGetProject().SetActivePage(graph); },
         [&] { EXPECT_NE(qkfxGetCallLog().ToString().find("no dialog for a plain page (1)"), std::string::npos); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qkfxGetProject().New();
        qkfxGetCallLog().Clear();
        SetUp();
        c.notReady();
        EXPECT_EQ(Command(c.group, c.id, c.script), 1) << "refused";
        c.ready();
        ASSERT_EQ(Command(c.group, c.id, c.script), 0) << err;
        EXPECT_TRUE(qkfxGetProject().IsModified() || c.id == 36082 || c.id == 36083);
        c.check();
    }
}

// A maximised layer's earlier place is kept in the project, so that Maximize Layer brings
// it back after the project was read again.
TEST_F(LayersTest, DroppedColumnsJoinTheLayerUnderThePointAsThePlotCommandSays)
{
    CQKGraphicLayer* lower = graph->GetActiveLayer();
    CQKGraphicLayer* upper = graph->AddLayer();
    lower->SetFrameArea(RECT{0, 0, 200, 200}, 0, 10, 0, 10);
    upper->SetFrameArea(RECT{100, 100, 300, 300}, 0, 10, 0, 10);
    graph->SetActiveLayerIndex(0);
    struct {
        POINT point;
        int layer;
    } points[] = {{{50, 50}, 0}, {{150, 150}, 1}, {{250, 250}, 1}, {{400, 10}, 0}};
    for (auto& p : points)
        EXPECT_EQ(p.layer, graph->FindLayerIndexFromPointForDragDrop(p.point)) << p.point.x << "," << p.point.y;

    // Dropped where the upper layer lies over the lower: into the upper, which becomes the
    // active layer; only the selected column is plotted, as the command's kind.
    const int column = wks->GetColumnIndex(y2);
    wks->SelectColumns(column, column);
    ASSERT_TRUE(CQKWksPage::PlotDrop(wks, graph, POINT{150, 150}, 33248));
    EXPECT_EQ(1, graph->GetActiveLayerIndex());
    EXPECT_EQ(y2->GetName(), PlotsOf(upper));
    EXPECT_EQ(QK_PLOT_SCATTER, upper->PlotObjByIndex(0, 1)->GetPlotObjectType(0));
    EXPECT_EQ("", PlotsOf(lower));

    // No selection: every column after the X (the new worksheet's own two, then ours); a
    // command naming no kind plots lines.
    wks->SelectNone();
    ASSERT_TRUE(CQKWksPage::PlotDrop(wks, graph, POINT{50, 50}, 33280));
    EXPECT_EQ(0, graph->GetActiveLayerIndex());
    EXPECT_EQ(wks->GetNumCols() - 1, lower->GetNumPlots()) << PlotsOf(lower);
    EXPECT_NE(std::string::npos, PlotsOf(lower).find(y1->GetName() + " " + y2->GetName())) << PlotsOf(lower);
    EXPECT_EQ(QK_PLOT_LINE, lower->PlotObjByIndex(0, 1)->GetPlotObjectType(0));

    // Refused: nothing to plot, no graph; the reason is kept.
    CQKWksPage* empty = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
    while (empty->GetNumCols() > 0)
        empty->DeleteColumn(1);
    EXPECT_FALSE(CQKWksPage::PlotDrop(empty, graph, POINT{50, 50}, 33248));
    EXPECT_FALSE(CQKWksPage::PlotDrop(wks, nullptr, POINT{50, 50}, 33248));
    EXPECT_GE(qkfxGetCallLog().Find("drop"), 0) << qkfxGetCallLog().ToString();
}

// A plot dragged onto another layer moves there with the error bars that follow it: it
// keeps the colour it showed (an automatic colour follows the place in the layer), leaves
// its group, and the legends list each layer's plots. A drop on the plot's own layer,
// outside every frame or on a layer of another kind moves nothing. The pictures are
// checked by where the moved plot's colour lies: inside the new layer's frame only.
TEST_F(LayersTest, ADroppedPlotMovesToTheLayerUnderThePoint)
{
    const COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0);
    CQKGraphicLayer* left = graph->GetActiveLayer();
    CQKGraphicLayer* right = graph->AddLayer();
    for (CQKGraphicLayer* l : {left, right}) {
        l->SetMeasLeft(l == left ? 5 : 55);
        l->SetMeasTop(10);
        l->SetMeasWidth(40);
        l->SetMeasHeight(70);
    }
    CQKPlotObj* kept = Plot(graph, y1);                      // blue
    CQKPlotObj* moved = Plot(graph, y2);
    moved->SetColor(-9);                                     // automatic: red, the second plot's
    CQKDataset* error = wks->AddColumn();
    for (int i = 0; i < 10; ++i)
        error->SetValue(i, 0.5);
    std::vector<QKPlotData> barData(2);
    barData[0].role = QK_ROLE_Y_ERROR, barData[0].dataset = error->GetName(), barData[0].handle = error->GetHandle();
    barData[1].role = QK_ROLE_Y, barData[1].dataset = y2->GetName(), barData[1].handle = y2->GetHandle();
    std::string err;
    CQKPlotObj* bar = qkfxAddPlot(left, QK_PLOT_ERROR_BAR, barData, &err);
    ASSERT_NE(bar, nullptr) << err;
    bar->SetColor(-9);                                       // automatic: green, the third plot's
    static_cast<CQKErrorBar*>(bar)->EnableOwnerColor(FALSE); // drawn in its own colour
    kept->SetGroup(7, TRUE);
    moved->SetGroup(7, FALSE);
    NewLegendOf(graph);
    ASSERT_EQ(y1->GetName() + " " + y2->GetName() + " " + error->GetName(), PlotsOf(left));

    const int W = 800, H = 600;
    graph->SetViewMode(2, 1);
    const RECT client = {0, 0, W, H};
    ASSERT_TRUE(graph->SetDrawRect(client));
    RECT frames[2];
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(qkfxGetLayerFrame(graph, i, client, frames[i]));
    auto middle = [](const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; };
    auto colourIn = [&](const Dib& dib, const RECT& r, COLORREF c) {
        const RECT ink = dib.Ink(r, [c](COLORREF p) { return p == c; });
        return ink.left < ink.right;
    };

    // Refused: the plot's own layer, outside both frames, error bars alone, a 3D layer.
    EXPECT_FALSE(graph->DropPlot(moved, middle(frames[0]), true));
    EXPECT_FALSE(graph->DropPlot(moved, POINT{W / 2, 5}, true));
    EXPECT_FALSE(graph->DropPlot(bar, middle(frames[1]), true));
    EXPECT_TRUE(graph->DropPlot(moved, middle(frames[1]), true));
    EXPECT_EQ(3, left->GetNumPlots()) << "a test drop moves nothing";

    qkfxGetProject().SetProjectModified(false);
    ASSERT_TRUE(graph->DropPlot(moved, middle(frames[1]), false));
    EXPECT_EQ(y1->GetName(), PlotsOf(left));
    EXPECT_EQ(y2->GetName() + " " + error->GetName(), PlotsOf(right));
    EXPECT_EQ(right, moved->GetValidLayer());
    EXPECT_EQ(right, bar->GetValidLayer());
    EXPECT_EQ(1, moved->GetColor()) << "the red it showed";
    EXPECT_EQ(2, bar->GetColor()) << "the green it showed";
    EXPECT_EQ(0, moved->GetState().group);
    EXPECT_EQ(0, kept->GetState().group) << "one plot left is no group";
    EXPECT_EQ(moved, graph->GetStoredGrElement()) << "the moved plot stays selected";
    EXPECT_TRUE(qkfxGetProject().IsModified());
    EXPECT_FALSE(graph->CanUndo());
    ASSERT_NE(left->FindTextObj("Legend"), nullptr);
    EXPECT_EQ(std::string::npos, left->FindTextObj("Legend")->GetTextString().find(y2->GetName()));
    ASSERT_NE(right->FindTextObj("Legend"), nullptr);
    EXPECT_NE(std::string::npos, right->FindTextObj("Legend")->GetTextString().find(y2->GetName()));
    {
        Dib dib(W, H);
        ASSERT_TRUE(graph->Draw(dib.dc, client));
        EXPECT_TRUE(colourIn(dib, frames[1], kRed));
        EXPECT_TRUE(colourIn(dib, frames[1], kGreen));
        EXPECT_FALSE(colourIn(dib, frames[0], kRed));
        EXPECT_FALSE(colourIn(dib, frames[0], kGreen));
        EXPECT_TRUE(colourIn(dib, frames[0], kBlue));
    }

    // On to another graph's layer; not into a 3D layer.
    CQKGraphPage* other = NewGraph();
    CQKGraphPage* surface = NewGraph();
    surface->AddLayer(true);
    ASSERT_TRUE(surface->DeleteLayer(0));
    for (CQKGraphPage* g : {other, surface}) {
        g->SetViewMode(2, 1);
        ASSERT_TRUE(g->SetDrawRect(client));
    }
    RECT otherFrame, surfaceFrame;
    ASSERT_TRUE(qkfxGetLayerFrame(other, 0, client, otherFrame));
    ASSERT_TRUE(qkfxGetLayerFrame(surface, 0, client, surfaceFrame));
    EXPECT_FALSE(surface->DropPlot(moved, middle(surfaceFrame), false));
    EXPECT_EQ(right, moved->GetValidLayer());
    ASSERT_TRUE(other->DropPlot(moved, middle(otherFrame), false));
    EXPECT_EQ(other->GetLayerByIndex(0, 1), moved->GetValidLayer());
    EXPECT_EQ(other->GetLayerByIndex(0, 1), bar->GetValidLayer());
    EXPECT_EQ(0, right->GetNumPlots());
    EXPECT_EQ(nullptr, right->FindTextObj("Legend")) << "a layer left without plots has no legend";
    EXPECT_EQ(nullptr, graph->GetStoredGrElement());
    EXPECT_EQ(1, moved->GetColor());
    EXPECT_GE(qkfxGetCallLog().Find("CQKGraphPage::DropPlot"), 0);
}

TEST_F(LayersTest, TheMaximisedLayersEarlierPlaceIsSaved)
{
    ASSERT_TRUE(graph->MaximizeLayer(nullptr));
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    const std::string before = qkfxDumpProject();
    EXPECT_NE(before.find("restorePlace = \"units 0 left 15 top 10 width 70 height 70\""), std::string::npos);
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(Diff(before, qkfxDumpProject()), "");
    auto* read = dynamic_cast<CQKGraphPage*>(qkfxGetProject().FindPage("Graph1"));
    ASSERT_NE(read, nullptr);
    ASSERT_TRUE(read->MaximizeLayer(nullptr));
    EXPECT_DOUBLE_EQ(read->GetActiveLayer()->GetMeasWidth(), 70);
}

// A layer's exchanged axes and stacked plots, a polar and a ternary layer are kept in the
// project.
// Neither a polar nor a 3D layer has a horizontal and a vertical axis to exchange: the
// command says so. Stacking a group rescales the axes to the stacked values.
TEST_F(LayersTest, ExchangedStackedPolarAndTernaryLayersAreSavedAndOnlyPlainLayersExchange)
{
    Plot(graph, y1)->SetGroup(1, TRUE);
    Plot(graph, y1)->SetGroup(1, FALSE);
    CQKAxes axes;
    ASSERT_TRUE(graph->GetActiveLayer()->GetAxes(&axes, QK_AXIS_Y));
    axes.SetRescaleType(1); // normal: grows when the data leave the range
    graph->GetActiveLayer()->UpdateFromTemporary();
    ASSERT_TRUE(Run("layer -b Xchange -1; layer -b stack -1")) << err;
    double lo, hi;
    ASSERT_TRUE(qkfxGetDataRange(graph->GetActiveLayer(), QK_AXIS_Y, lo, hi));
    EXPECT_EQ(hi, 18) << "9 on top of 9";
    EXPECT_EQ(graph->GetActiveLayer()->GetAxisRecord(QK_AXIS_Y).to, "20") << "rescaled to the stacked values";
    CQKGraphPage* polar = NewGraph();
    polar->GetActiveLayer()->SetPolar(TRUE);
    EXPECT_EQ(Command(nullptr, 36122, "layer -b Xchange -1;"), 1) << "refused on a polar layer";
    EXPECT_FALSE(Run("layer -b Xchange -1"));
    EXPECT_NE(err.find("Layer1 is a polar layer, whose axes cannot be exchanged"), std::string::npos) << err;
    CQKGraphPage* ternary = NewGraph();
    ternary->AddLayer(false, true);
    ternary->DeleteLayer(0);
    EXPECT_EQ(Command(nullptr, 36122, "layer -b Xchange -1;"), 1) << "refused on a ternary layer";
    const std::string names[3] = {graph->GetName(), polar->GetName(), ternary->GetName()};
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    const std::string before = qkfxDumpProject();
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(Diff(before, qkfxDumpProject()), "");
    auto* first = dynamic_cast<CQKGraphPage*>(qkfxGetProject().FindPage(names[0]));
    auto* second = dynamic_cast<CQKGraphPage*>(qkfxGetProject().FindPage(names[1]));
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->GetActiveLayer()->IsExchangeAxes());
    EXPECT_TRUE(first->GetActiveLayer()->IsStackPlots());
    EXPECT_FALSE(first->GetActiveLayer()->IsPolar());
    EXPECT_TRUE(second->GetActiveLayer()->IsPolar());
    auto* third = dynamic_cast<CQKGraphPage*>(qkfxGetProject().FindPage(names[2]));
    ASSERT_NE(third, nullptr);
    EXPECT_TRUE(third->GetActiveLayer()->IsLayerTriangle());
    EXPECT_FALSE(second->GetActiveLayer()->IsExchangeAxes());
    CQKGraphPage* solid = NewGraph();
    solid->AddLayer(true);
    solid->DeleteLayer(0);
    solid->SetActiveLayerIndex(0);
    EXPECT_EQ(Command(nullptr, 36122, "layer -b Xchange -1;"), 1) << "refused on a 3D layer";
}

// After Extract to Layers each plot draws inside its own layer's frame, in the half of the
// page that layer was given.
TEST_F(LayersTest, ExtractedPlotsDrawInTheirOwnLayers)
{
    Plot(graph, y1);
    Plot(graph, y2);
    ASSERT_TRUE(graph->ExtractPlotsToLayers(nullptr));
    const int W = 800, H = 600;
    graph->SetViewMode(2, 1);
    RECT client = {0, 0, W, H};
    ASSERT_TRUE(graph->SetDrawRect(client));
    for (int shown = 0; shown < 2; ++shown) {
        // One layer's data at a time: its blue lies within its frame, and nowhere else.
        graph->GetLayerByIndex(0, 1)->SetDataShown(shown == 0);
        graph->GetLayerByIndex(1, 1)->SetDataShown(shown == 1);
        // The legend's samples are blue as well; they are not what moved.
        graph->GetLayerByIndex(0, 1)->SetLabelShown(FALSE);
        graph->GetLayerByIndex(1, 1)->SetLabelShown(FALSE);
        Dib dib(W, H);
        ASSERT_TRUE(graph->Draw(dib.dc, client));
        const CQKGraphicLayer* l = graph->GetLayerByIndex(shown, 1);
        RECT frame = {(LONG)std::lround(l->GetMeasLeft() / 100 * W), (LONG)std::lround(l->GetMeasTop() / 100 * H),
                      (LONG)std::lround((l->GetMeasLeft() + l->GetMeasWidth()) / 100 * W),
                      (LONG)std::lround((l->GetMeasTop() + l->GetMeasHeight()) / 100 * H)};
        RECT all = {0, 0, W, H};
        const RECT ink = dib.Ink(all, [](COLORREF c) { return c == kBlue; });
        SCOPED_TRACE(shown);
        ASSERT_LT(ink.left, ink.right) << "the plot draws";
        EXPECT_GE(ink.left, frame.left - 6);
        EXPECT_LE(ink.right, frame.right + 6);
        EXPECT_GE(ink.top, frame.top - 6);
        EXPECT_LE(ink.bottom, frame.bottom + 6);
        // The data reach both ends of the layer's X range: the ink spans most of the frame.
        EXPECT_GT(ink.right - ink.left, (frame.right - frame.left) / 2);
    }
}

} // namespace

namespace {

// A graph page whose Plot Details answers as the user would: OK or Cancel.
int g_plotDetailsAnswer = IDOK;
class AnsweringGraph : public CQKGraphPage {
public:
    using CQKGraphPage::CQKGraphPage;
    int PlotDetailsDialog(CQKBase*, int, DWORD) override { return g_plotDetailsAnswer; }
};

} // namespace

// New Function makes a graph of its own for the function, numbered on from "Function";
// a function whose dialog was cancelled goes again (its new graph stays, empty); the kept
// one is saved and read back.
TEST_F(LayersTest, NewFunctionMakesAFunctionGraphThatIsSaved)
{
    qkfxGetProject().New();
    qkfxGetProject().SetPageFactory(QK_PAGE_GRAPH, [](CQKProject* p, const std::string& name) -> CQKPage* {
        return new AnsweringGraph(p, name, QK_PAGE_GRAPH);
    });
    g_plotDetailsAnswer = IDOK;
    ASSERT_EQ(Command("FILE", 34010, "@NewFunction,Standard"), 0) << err;
    auto* made = dynamic_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetName(), "Function1");
    CQKPlotObj* f = made->GetActiveLayer()->PlotObjByIndex(0, 1);
    ASSERT_NE(f, nullptr);
    f->SetFunctionToSeries("sin(x)");
    g_plotDetailsAnswer = IDCANCEL;
    ASSERT_EQ(Command(nullptr, 36120, "NewFunction"), 0) << err;
    EXPECT_EQ(PlotsOf(made->GetActiveLayer()), "F1");
    ASSERT_EQ(Command("FILE", 34010, "@NewFunction,Standard"), 0) << err;
    EXPECT_EQ(qkfxGetProject().GetActivePage()->GetName(), "Function2");
    EXPECT_EQ(static_cast<CQKGraphPage*>(qkfxGetProject().GetActivePage())->GetActiveLayer()->GetNumPlots(), 0);
    qkfxGetProject().SetPageFactory(QK_PAGE_GRAPH, nullptr);

    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    const std::string before = qkfxDumpProject();
    EXPECT_NE(before.find("F1(x) = sin(x)"), std::string::npos) << before;
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(Diff(before, qkfxDumpProject()), "");
}

// Full Screen: the graph alone on a black screen, as large as its proportions allow and
// centred; a key takes it away.
TEST_F(LayersTest, FullScreenShowsThePageCentredOnBlack)
{
    Plot(graph, y1);
    EXPECT_EQ(Command(nullptr, 36128, "run.section(Graph,FullScreen);"), 0) << err;
    HWND shown = FindWindowA("QuorixFullScreenPage", nullptr);
    ASSERT_NE(shown, nullptr);
    RECT r;
    GetWindowRect(shown, &r);
    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.right - r.left, W);
    EXPECT_EQ(r.bottom - r.top, H);
    Dib dib(W, H);
    SendMessageA(shown, WM_PRINTCLIENT, (WPARAM)dib.dc, PRF_CLIENT);
    double pw, ph;
    graph->GetPageSizeInches(pw, ph);
    const double scale = std::min(W / pw, H / ph);
    const double left = (W - pw * scale) / 2, top = (H - ph * scale) / 2;
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    // Paper inside the page's corners, black outside them.
    EXPECT_EQ(dib.At((int)left + 3, (int)top + 3), white);
    EXPECT_EQ(dib.At((int)(left + pw * scale) - 4, (int)(top + ph * scale) - 4), white);
    if (left >= 3)
        EXPECT_EQ(dib.At((int)left - 3, H / 2), black);
    if (top >= 3)
        EXPECT_EQ(dib.At(W / 2, (int)top - 3), black);
    // The data's blue lies within the page.
    EXPECT_TRUE(dib.Ink({(int)left, (int)top, (int)(left + pw * scale), (int)(top + ph * scale)},
                        [](COLORREF c) { return c == kBlue; })
                    .right > 0);
    SendMessageA(shown, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_FALSE(IsWindow(shown));
}

// Export Page writes the page as the screen draws it: a bitmap at the screen's resolution
// whose pixels are the page's drawing, an enhanced metafile framed at the page's size. A
// type it cannot write and a missing file name are refused with the reason.
TEST_F(LayersTest, ExportPageWritesBitmapsAndMetafiles)
{
    Plot(graph, y1);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string bmpPath = std::string(folder) + "qx_export_page.bmp",
                      emfPath = std::string(folder) + "qx_export_page.emf";
    DeleteFileA(bmpPath.c_str());
    DeleteFileA(emfPath.c_str());
    ASSERT_TRUE(Run("export -p " + bmpPath + "; export -p " + emfPath)) << err;

    // The bitmap: the page's inches at the screen's pixels per inch, pixel for pixel the
    // page drawn into a bitmap of that size.
    HBITMAP file = (HBITMAP)LoadImageA(nullptr, bmpPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(file, nullptr);
    BITMAP info;
    GetObject(file, sizeof info, &info);
    double pw, ph;
    graph->GetPageSizeInches(pw, ph);
    HDC screen = GetDC(nullptr);
    const int W = (int)(pw * GetDeviceCaps(screen, LOGPIXELSX) + 0.5), H = (int)(ph * GetDeviceCaps(screen, LOGPIXELSY) + 0.5);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(info.bmWidth, W);
    ASSERT_EQ(info.bmHeight, H);
    Dib read(W, H), drawn(W, H);
    HDC fileDC = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(fileDC, file);
    BitBlt(read.dc, 0, 0, W, H, fileDC, 0, 0, SRCCOPY);
    SelectObject(fileDC, old);
    DeleteDC(fileDC);
    DeleteObject(file);
    graph->SetViewMode(2, 1);
    RECT all = {0, 0, W, H};
    ASSERT_TRUE(graph->SetDrawRect(all));
    ASSERT_TRUE(graph->Draw(drawn.dc, all));
    int differ = 0, blue = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            differ += read.At(x, y) != drawn.At(x, y);
            blue += read.At(x, y) == kBlue;
        }
    EXPECT_EQ(differ, 0);
    EXPECT_GT(blue, 0) << "the data are in the picture";

    // The metafile: framed at the page's size, drawing the data.
    HENHMETAFILE emf = GetEnhMetaFileA(emfPath.c_str());
    ASSERT_NE(emf, nullptr);
    ENHMETAHEADER header;
    GetEnhMetaFileHeader(emf, sizeof header, &header);
    SIZE size;
    graph->GetPageSize(size);
    EXPECT_NEAR(header.rclFrame.right - header.rclFrame.left, size.cx, 2);
    EXPECT_NEAR(header.rclFrame.bottom - header.rclFrame.top, size.cy, 2);
    Dib played(W, H);
    FillRect(played.dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    PlayEnhMetaFile(played.dc, emf, &all);
    DeleteEnhMetaFile(emf);
    EXPECT_GT(played.Ink(all, [](COLORREF c) { return c == kBlue; }).right, 0);
    DeleteFileA(bmpPath.c_str());
    DeleteFileA(emfPath.c_str());

    EXPECT_FALSE(Run("export -p " + std::string(folder) + "qx_export_page.gif"));
    EXPECT_NE(err.find("use .emf or .bmp"), std::string::npos) << err;
    // From the menu without a main window to ask in, it says to name the file.
    EXPECT_EQ(Command("FILE", 34018, "@ExportPage,GraphExp"), 2);
    qkfxGetProject().SetActivePage(wks);
    EXPECT_EQ(Command("FILE", 34018, "@ExportPage,GraphExp"), 1) << "a worksheet exports no page";
}
