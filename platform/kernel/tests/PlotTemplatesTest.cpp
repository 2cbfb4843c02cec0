// Graphs of several layers and the statistical charts of worksheet -p: where the layers
// stand, which columns each plots, the values the charts work out (against values worked
// out here by hand), what a project keeps of them, and what a selection that cannot make
// the graph leaves behind.
#include "KernelTest.h"
#include "TestDib.h"

#include <functional>

#include "QKFile.h"
#include "QKGraphObjects.h"
#include "QKPageDraw.h"
#include "QKPlotModel.h"
#include "QKSysMethod.h"

namespace {

class PlotTemplatesTest : public KernelTest {
protected:
    // A worksheet of an X column and Y columns with the given values, all of them selected.
    CQKWksPage* Data(const std::vector<std::vector<double>>& ys)
    {
        auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1"));
        while (wks->GetNumCols() > 0)
            wks->DeleteColumn(1);
        CQKDataset* x = wks->AddColumn("A");
        x->m_type = QK_COLTYPE_X;
        for (size_t i = 0; i < ys.size(); ++i) {
            CQKDataset* y = wks->AddColumn(std::string(1, char('B' + i)));
            for (size_t r = 0; r < ys[i].size(); ++r) {
                y->SetValue((int)r, ys[i][r]);
                x->SetValue((int)r, r + 1.0);
            }
        }
        return wks;
    }
    CQKGraphPage* Plot(const std::string& templ, const std::string& word)
    {
        EXPECT_TRUE(Run("worksheet -p " + templ + " " + word)) << qkfxGetScript().GetLastError();
        return qkfxGetProject().GetActiveGraph();
    }
    static std::string PlotsOf(const CQKGraphicLayer* l)
    {
        std::string s;
        for (int i = 0; i < l->GetNumPlots(); ++i)
            s += (s.empty() ? "" : " ") + l->PlotObjByIndex(i, 1)->GetDataSetName();
        return s;
    }
    static std::vector<double> Values(const CQKPage* page, const char* column)
    {
        const CQKDataset* d = static_cast<const CQKWksPage*>(page)->FindColumn(column);
        EXPECT_NE(d, nullptr) << column;
        std::vector<double> v;
        for (int r = 0; d && r < d->GetEnd(); ++r)
            v.push_back(d->GetValue(r));
        return v;
    }
    static void ExpectValues(const std::vector<double>& got, const std::vector<double>& want, const char* what)
    {
        ASSERT_EQ(got.size(), want.size()) << what;
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_NEAR(got[i], want[i], 1e-12 * (1 + fabs(want[i]))) << what << " row " << i;
    }
    static double Number(const std::string& text) { return atof(text.c_str()); }
};

// Each arrangement: how many layers, where each stands (percent of the page), which
// columns it plots and what it links to.
TEST_F(PlotTemplatesTest, LayersStandWhereTheTemplateSaysAndTakeTheColumnsInOrder)
{
    Data({{1, 2, 3}, {3, 2, 1}, {2, 2, 2}});
    // A cell of a rows x columns grid, less the room for labels (12% left, 6% top, 6%
    // right, 12% bottom of the cell).
    auto cell = [](int row, int column, int rows, int columns) {
        const double w = 1.0 / columns, h = 1.0 / rows;
        return std::vector<double>{(column * w + 0.12 * w) * 100, (row * h + 0.06 * h) * 100, 0.82 * w * 100,
                                   0.82 * h * 100};
    };
    // The stack: 82% of the page high from 6% down, the first layer at the bottom.
    auto stacked = [](int i, int n) {
        return std::vector<double>{12, (0.06 + 0.82 * (n - 1 - i) / n) * 100, 82, 0.82 / n * 100};
    };
    struct Case {
        const char* templ;
        std::vector<std::vector<double>> places;
        std::vector<std::string> plots;
        std::vector<int> linkTo;
    } cases[] = {
        {"Panel2Horz", {cell(0, 0, 1, 2), cell(0, 1, 1, 2)}, {"Data1_B Data1_C", "Data1_D"}, {-1, -1}},
        {"Panel2Vert", {cell(0, 0, 2, 1), cell(1, 0, 2, 1)}, {"Data1_B Data1_C", "Data1_D"}, {-1, -1}},
        {"Panel4",
         {cell(0, 0, 2, 2), cell(0, 1, 2, 2), cell(1, 0, 2, 2), cell(1, 1, 2, 2)},
         {"Data1_B", "Data1_C", "Data1_D", ""},
         {-1, -1, -1, -1}},
        {"Stack", {stacked(0, 3), stacked(1, 3), stacked(2, 3)}, {"Data1_B", "Data1_C", "Data1_D"}, {-1, 0, 0}},
        {"DoubleY", {{15, 10, 70, 70}, {15, 10, 70, 70}}, {"Data1_B", "Data1_C Data1_D"}, {-1, 0}},
        {"Zoom", {cell(0, 0, 2, 1), cell(1, 0, 2, 1)}, {"Data1_B Data1_C Data1_D", "Data1_B Data1_C Data1_D"}, {-1, -1}},
    };
    for (const Case& c : cases) {
        qkfxGetProject().SetActivePage(qkfxGetProject().FindPage("Data1"));
        CQKGraphPage* graph = Plot(c.templ, "Line");
        ASSERT_NE(graph, nullptr) << c.templ;
        ASSERT_EQ(graph->GetNumLayers(), (int)c.places.size()) << c.templ;
        EXPECT_EQ(graph->GetTemplateName(), c.templ);
        for (int i = 0; i < graph->GetNumLayers(); ++i) {
            const CQKGraphicLayer* l = graph->GetLayerByIndex(i, 1);
            const std::vector<double> got = {l->GetMeasLeft(), l->GetMeasTop(), l->GetMeasWidth(), l->GetMeasHeight()};
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(got[k], c.places[i][k], 1e-9) << c.templ << " layer " << i << " value " << k;
            EXPECT_EQ(PlotsOf(l), c.plots[i]) << c.templ << " layer " << i;
            EXPECT_EQ(l->GetState().linkTo, c.linkTo[i]) << c.templ << " layer " << i;
            if (c.linkTo[i] >= 0) {
                // A linked layer shows the X range of the layer it follows, which spans
                // the data of both.
                const QKAxisRecord& mine = l->GetAxisRecord(QK_AXIS_X);
                const QKAxisRecord& theirs = graph->GetLayerByIndex(c.linkTo[i], 1)->GetAxisRecord(QK_AXIS_X);
                EXPECT_EQ(l->GetLayerXAxisLink(), 1) << c.templ;
                EXPECT_EQ(mine.from + " " + mine.to, theirs.from + " " + theirs.to) << c.templ;
                EXPECT_LE(Number(theirs.from), 1);
                EXPECT_GE(Number(theirs.to), 3);
            }
        }
    }
    // The zoomed layer shows the middle half of the X range 1 to 3; the right layer of the
    // double-Y graph labels its Y axis on the right, and shows no X axis of its own.
    CQKGraphPage* zoom = qkfxGetProject().GetActiveGraph();
    const QKAxisRecord& zx = zoom->GetLayerByIndex(1, 1)->GetAxisRecord(QK_AXIS_X);
    EXPECT_DOUBLE_EQ(Number(zx.from), 1.5);
    EXPECT_DOUBLE_EQ(Number(zx.to), 2.5);
    const CQKGraphicLayer* right = static_cast<CQKGraphPage*>(qkfxGetProject().FindPage("Graph5"))->GetLayerByIndex(1, 1);
    const QKAxisRecord& ry = right->GetAxisRecord(QK_AXIS_Y);
    EXPECT_TRUE(ry.labels[1].IsShow() && ry.ticks[1].IsShow());
    EXPECT_FALSE(ry.labels[0].IsShow() || ry.ticks[0].IsShow());
    const QKAxisRecord& rx = right->GetAxisRecord(QK_AXIS_X);
    EXPECT_FALSE(rx.labels[0].IsShow() || rx.ticks[0].IsShow() || rx.ticks[1].IsShow());
    // The right axis's plots take colours after the left one's.
    EXPECT_EQ(right->PlotObjByIndex(0, 1)->GetColor(), 1);
    EXPECT_EQ(right->PlotObjByIndex(1, 1)->GetColor(), 2);
}

// A linked X axis follows its layer when that one rescales or its axis dialog commits.
TEST_F(PlotTemplatesTest, ALinkedXAxisFollowsTheLayerItLinksTo)
{
    CQKWksPage* wks = Data({{1, 2, 3}, {3, 2, 1}});
    CQKGraphPage* graph = Plot("Stack", "Line");
    ASSERT_NE(graph, nullptr);
    wks->FindColumn("A")->SetValue(2, 40);
    qkfxRescaleLayer(graph->GetLayerByIndex(0, 1), TRUE);
    const QKAxisRecord& top = graph->GetLayerByIndex(1, 1)->GetAxisRecord(QK_AXIS_X);
    EXPECT_GE(Number(top.to), 40);
    EXPECT_EQ(top.to, graph->GetLayerByIndex(0, 1)->GetAxisRecord(QK_AXIS_X).to);
    CQKGraphicLayer* bottom = graph->GetLayerByIndex(0, 1);
    bottom->SetAxisRange(QK_AXIS_X, 0, 8, 2);
    bottom->UpdateFromTemporary();
    EXPECT_EQ(top.from + " " + top.to, "0 8");
}

// A waterfall draws each line further right and up than the one before: ten percent of
// the frame each, the axes grown so that the last line fits.
TEST_F(PlotTemplatesTest, AWaterfallShiftsEachLineAndItsAxesHoldTheLast)
{
    Data({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    CQKGraphPage* graph = Plot("Waterfall", "Line");
    ASSERT_NE(graph, nullptr);
    CQKGraphicLayer* layer = graph->GetLayerByIndex(0, 1);
    EXPECT_EQ(layer->GetWaterfallX(), 10);
    EXPECT_EQ(layer->GetWaterfallY(), 10);
    EXPECT_EQ(layer->GetNumPlots(), 3);
    // X data 1 to 3: the last line is 20% of the frame further on, so the axis holds
    // 1 + 2 / 0.8 = 3.5 at least.
    EXPECT_GE(Number(layer->GetAxisRecord(QK_AXIS_X).to), 3.5);
    // Drawn: the third line lies 2 x 10% of the frame right of and above the first.
    const int W = 800, H = 600;
    graph->SetViewMode(2, 1);
    RECT client = {0, 0, W, H};
    ASSERT_TRUE(graph->SetDrawRect(client));
    layer->SetLabelShown(FALSE);
    const int colors[3] = {3, 17, 1}; // blue, white, red
    for (int i = 0; i < 3; ++i)
        layer->PlotObjByIndex(i, 1)->SetColor(colors[i]);
    Dib dib(W, H);
    ASSERT_TRUE(graph->Draw(dib.dc, client));
    RECT frame;
    ASSERT_TRUE(qkfxGetLayerFrame(graph, 0, client, frame));
    RECT all = {0, 0, W, H};
    const RECT first = dib.Ink(all, [](COLORREF c) { return c == RGB(0, 0, 255); });
    const RECT third = dib.Ink(all, [](COLORREF c) { return c == RGB(255, 0, 0); });
    ASSERT_LT(first.left, first.right);
    ASSERT_LT(third.left, third.right);
    EXPECT_NEAR(third.left - first.left, 0.2 * (frame.right - frame.left), 1.5);
    EXPECT_NEAR(first.top - third.top, 0.2 * (frame.bottom - frame.top), 1.5);
}

// Histograms share bins of one round width: values on an edge go to the bin above, the
// last bin holds its upper edge.
TEST_F(PlotTemplatesTest, HistogramsCountInSharedRoundBins)
{
    // 0, 0.1, ..., 1.0 typed as decimals and 0.25 twice: width 0.1 from 0, ten bins.
    std::vector<double> b = {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0};
    Data({b, {0.25, 0.25}});
    const std::vector<double> centers = {0.05, 0.15, 0.25, 0.35, 0.45, 0.55, 0.65, 0.75, 0.85, 0.95};
    const std::vector<double> countB = {1, 1, 1, 1, 1, 1, 1, 1, 1, 2}, countC = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0};
    std::vector<double> cumB, cumC, percentB, percentC;
    for (size_t k = 0; k < countB.size(); ++k) {
        cumB.push_back((k ? cumB.back() : 0) + countB[k]);
        cumC.push_back((k ? cumC.back() : 0) + countC[k]);
        percentB.push_back(cumB.back() / 11 * 100);
        percentC.push_back(cumC.back() / 2 * 100);
    }
    struct Case {
        const char* templ;
        int layers;
        std::vector<std::pair<const char*, std::vector<double>>> columns;
    } cases[] = {
        {"HistProb", 2, {{"Center", centers}, {"CountB", countB}, {"PercentB", percentB}, {"CountC", countC}, {"PercentC", percentC}}},
        {"StackHist", 2, {{"Center", centers}, {"CountB", countB}, {"CountC", countC}}},
        {"CumulativeHist", 1, {{"Center", centers}, {"CumulB", cumB}, {"CumulC", cumC}}},
    };
    for (const Case& c : cases) {
        qkfxGetProject().SetActivePage(qkfxGetProject().FindPage("Data1"));
        CQKGraphPage* graph = Plot(c.templ, "Column");
        ASSERT_NE(graph, nullptr) << c.templ;
        EXPECT_EQ(graph->GetNumLayers(), c.layers) << c.templ;
        // The values are in the newest worksheet, which the graph plots.
        const std::string plotted = graph->GetLayerByIndex(0, 1)->PlotObjByIndex(0, 1)->GetDataSetName();
        CQKPage* bins = qkfxGetProject().FindPage(plotted.substr(0, plotted.find('_')));
        ASSERT_NE(bins, nullptr) << plotted;
        ASSERT_EQ(static_cast<CQKWksPage*>(bins)->GetNumCols(), (int)c.columns.size()) << c.templ;
        for (const auto& [name, values] : c.columns)
            ExpectValues(Values(bins, name), values, name);
        EXPECT_EQ(graph->GetLayerByIndex(0, 1)->PlotObjByIndex(0, 1)->GetBoxGap(), 0) << c.templ;
        // The X axis runs from the first bin's lower edge to the last one's upper edge.
        const QKAxisRecord& x = graph->GetLayerByIndex(c.layers - 1, 1)->GetAxisRecord(QK_AXIS_X);
        EXPECT_EQ(x.from + " " + x.to, "0 1") << c.templ;
    }
    // The percentages run on a right axis from 0 to 100.
    CQKGraphPage* prob = static_cast<CQKGraphPage*>(qkfxGetProject().FindPage("Graph1"));
    const QKAxisRecord& py = prob->GetLayerByIndex(1, 1)->GetAxisRecord(QK_AXIS_Y);
    EXPECT_EQ(py.from + " " + py.to, "0 100");
    EXPECT_EQ(PlotsOf(prob->GetLayerByIndex(1, 1)), "Bins1_PercentB Bins1_PercentC");
}

// The X-bar R chart: subgroups of five from one column, or the rows of several columns;
// centre lines and limits from the standard factors for the subgroup size.
TEST_F(PlotTemplatesTest, TheQcChartWorksOutMeansRangesAndLimits)
{
    struct Case {
        std::vector<std::vector<double>> data;
        std::vector<double> means, ranges;
        double a2, d3, d4;
    } cases[] = {
        // Twelve values: two subgroups of five, the last two left out.
        {{{1, 2, 3, 4, 5, 2, 4, 6, 8, 10, 99, 99}}, {3, 6}, {4, 8}, 0.577, 0, 2.114},
        // Three columns: each complete row a subgroup of three; the row with a gap is left out.
        {{{1, 4, 7, 2}, {2, 6, 7, MISSING_VALUE}, {6, 5, 7, 3}}, {3, 5, 7}, {5, 2, 0}, 1.023, 0, 2.574},
        // Seven columns: D3 is no longer 0.
        {{{1, 2}, {2, 4}, {3, 6}, {4, 8}, {5, 10}, {6, 12}, {7, 14}}, {4, 8}, {6, 12}, 0.419, 0.076, 1.924},
    };
    for (const Case& c : cases) {
        qkfxGetProject().New();
        Data(c.data);
        CQKGraphPage* graph = Plot("QCchart", "LineSymbol");
        ASSERT_NE(graph, nullptr);
        CQKPage* qc = qkfxGetProject().FindPage("QC1");
        ASSERT_NE(qc, nullptr);
        const size_t n = c.means.size();
        double grand = 0, rbar = 0;
        for (size_t i = 0; i < n; ++i)
            grand += c.means[i] / n, rbar += c.ranges[i] / n;
        std::vector<double> index;
        for (size_t i = 0; i < n; ++i)
            index.push_back(i + 1.0);
        ExpectValues(Values(qc, "Subgroup"), index, "Subgroup");
        ExpectValues(Values(qc, "Mean"), c.means, "Mean");
        ExpectValues(Values(qc, "Range"), c.ranges, "Range");
        ExpectValues(Values(qc, "MeanCL"), std::vector<double>(n, grand), "MeanCL");
        ExpectValues(Values(qc, "MeanUCL"), std::vector<double>(n, grand + c.a2 * rbar), "MeanUCL");
        ExpectValues(Values(qc, "MeanLCL"), std::vector<double>(n, grand - c.a2 * rbar), "MeanLCL");
        ExpectValues(Values(qc, "RangeCL"), std::vector<double>(n, rbar), "RangeCL");
        ExpectValues(Values(qc, "RangeUCL"), std::vector<double>(n, c.d4 * rbar), "RangeUCL");
        ExpectValues(Values(qc, "RangeLCL"), std::vector<double>(n, c.d3 * rbar), "RangeLCL");
        ASSERT_EQ(graph->GetNumLayers(), 2);
        EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(0, 1)), "QC1_Mean QC1_MeanCL QC1_MeanUCL QC1_MeanLCL");
        EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(1, 1)), "QC1_Range QC1_RangeCL QC1_RangeUCL QC1_RangeLCL");
    }
}

// The quantile chart, the line series and the box kinds.
TEST_F(PlotTemplatesTest, ChartsOfSortedValuesRowsAndBoxes)
{
    Data({{3, 1, 2, 20}, {4, 4, MISSING_VALUE, 5}});
    CQKGraphPage* graph = Plot("Quantile", "Scatter");
    ASSERT_NE(graph, nullptr);
    CQKPage* q = qkfxGetProject().FindPage("Quantile1");
    ASSERT_NE(q, nullptr);
    ExpectValues(Values(q, "FractionB"), {0.125, 0.375, 0.625, 0.875}, "FractionB");
    ExpectValues(Values(q, "SortedB"), {1, 2, 3, 20}, "SortedB");
    ExpectValues(Values(q, "FractionC"), {1 / 6.0, 0.5, 5 / 6.0}, "FractionC");
    ExpectValues(Values(q, "SortedC"), {4, 4, 5}, "SortedC");
    EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(0, 1)), "Quantile1_SortedB Quantile1_SortedC");

    qkfxGetProject().SetActivePage(qkfxGetProject().FindPage("Data1"));
    graph = Plot("LineSeries", "LineSymbol");
    CQKPage* s = qkfxGetProject().FindPage("Series1");
    ASSERT_NE(s, nullptr);
    ExpectValues(Values(s, "Column"), {1, 2}, "Column");
    ExpectValues(Values(s, "Row1"), {3, 4}, "Row1");
    ExpectValues(Values(s, "Row4"), {20, 5}, "Row4");
    EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(0, 1)), "Series1_Row1 Series1_Row2 Series1_Row3 Series1_Row4");

    struct Box {
        const char* templ;
        const char* word;
        int boxType, whiskerRange;
        bool outliers;
    } boxes[] = {{"Outlier", "BoxChart", 0, 4, true}, {"ColumnScatter", "BoxChart", 1, 2, false}};
    for (const Box& b : boxes) {
        qkfxGetProject().SetActivePage(qkfxGetProject().FindPage("Data1"));
        graph = Plot(b.templ, b.word);
        CQKGraphicLayer* layer = graph->GetLayerByIndex(0, 1);
        ASSERT_EQ(layer->GetNumPlots(), 2) << b.templ;
        const QKBoxState& st = layer->PlotObjByIndex(1, 1)->GetState().box;
        EXPECT_EQ(st.type, b.boxType) << b.templ;
        EXPECT_EQ(st.whiskerRange, b.whiskerRange) << b.templ;
        EXPECT_EQ(st.outliers, b.outliers) << b.templ;
        // The boxes stand at 1 and 2; the Y axis holds every value.
        double lo, hi;
        ASSERT_TRUE(qkfxGetDataRange(layer, QK_AXIS_X, lo, hi));
        EXPECT_EQ(lo, 0.5);
        EXPECT_EQ(hi, 2.5);
        EXPECT_LE(Number(layer->GetAxisRecord(QK_AXIS_Y).from), 1);
        EXPECT_GE(Number(layer->GetAxisRecord(QK_AXIS_Y).to), 20);
    }
    qkfxGetProject().SetActivePage(qkfxGetProject().FindPage("Data1"));
    graph = Plot("PiecePie", "Pie");
    const CQKPlotObj* pie = graph->GetLayerByIndex(0, 1)->PlotObjByIndex(0, 1);
    EXPECT_EQ(pie->GetPlotObjectType(0), QK_PLOT_PIE);
    EXPECT_TRUE(pie->GetLabelPercent());
    EXPECT_FALSE(pie->GetLabelValue());
}

// A selection that cannot make the graph says why and leaves no graph or worksheet behind.
TEST_F(PlotTemplatesTest, ASelectionThatCannotMakeTheGraphLeavesNothing)
{
    struct Case {
        std::vector<std::vector<double>> data;
        const char* templ;
        const char* why;
    } cases[] = {
        {{{1, 2}}, "DoubleY", "two Y columns"},
        {{{1, 2}}, "LineSeries", "two Y columns"},
        {{{1, 2, 3, 4}}, "QCchart", "at least 5 numbers"},
        {{{1, MISSING_VALUE}, {MISSING_VALUE, 2}}, "QCchart", "no row holds a number in every"},
        {{{MISSING_VALUE}}, "HistProb", "no numbers to count"},
        {{}, "Panel4", "no Y column"},
    };
    for (const Case& c : cases) {
        qkfxGetProject().New();
        Data(c.data);
        EXPECT_FALSE(Run(std::string("worksheet -p ") + c.templ + " Line")) << c.templ;
        EXPECT_NE(qkfxGetScript().GetLastError().find(c.why), std::string::npos)
            << c.templ << ": " << qkfxGetScript().GetLastError();
        EXPECT_EQ(qkfxGetProject().GetNumPages(), 1) << c.templ;
        EXPECT_EQ(qkfxGetProject().GetActivePage()->GetName(), "Data1") << c.templ;
    }
}

// The graphs and their worksheets of values come back from a project file as they were.
TEST_F(PlotTemplatesTest, AProjectKeepsTheLayersLinksOffsetsAndValues)
{
    Data({{1, 2, 3, 4, 5, 6}, {2, 3, 4, 5, 6, 7}});
    for (const char* t : {"DoubleY", "Stack", "Waterfall", "HistProb", "QCchart", "Outlier"}) {
        qkfxGetProject().SetActivePage(qkfxGetProject().FindPage("Data1"));
        ASSERT_NE(Plot(t, t == std::string("Outlier") ? "BoxChart" : "Line"), nullptr) << t;
    }
    const std::string before = qkfxDumpProject();
    EXPECT_NE(before.find("waterfallX"), std::string::npos);
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ(Diff(before, qkfxDumpProject()), "");
}

// Template: a graph template the user saved, its layers taking the Y columns in turn.
TEST_F(PlotTemplatesTest, AGraphTemplateFileDealsTheColumnsOverItsLayers)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "qxk_two_layers.qtp";
    Data({{1, 2}, {2, 1}, {3, 3}});
    auto* made = static_cast<CQKGraphPage*>(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    made->AddLayer();
    made->GetLayerByIndex(1, 1)->SetMeasLeft(55);
    std::string error;
    ASSERT_TRUE(qkfxSavePage(made, path, true, &error)) << error;
    qkfxGetProject().SetActivePage(qkfxGetProject().FindPage("Data1"));
    CQKGraphPage* graph = Plot("\"" + path + "\"", "Scatter");
    ASSERT_NE(graph, nullptr);
    ASSERT_NE(graph, made);
    ASSERT_EQ(graph->GetNumLayers(), 2);
    EXPECT_EQ(graph->GetLayerByIndex(1, 1)->GetMeasLeft(), 55);
    EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(0, 1)), "Data1_B Data1_C");
    EXPECT_EQ(PlotsOf(graph->GetLayerByIndex(1, 1)), "Data1_D");
    DeleteFileA(path.c_str());
    // A name that is no template and no built-in graph keeps the standard graph.
    qkfxGetProject().SetActivePage(qkfxGetProject().FindPage("Data1"));
    graph = Plot("NoSuchTemplate", "Line");
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->GetNumLayers(), 1);
    EXPECT_EQ(graph->GetActiveLayer()->GetNumPlots(), 3);
}

} // namespace
