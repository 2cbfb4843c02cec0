// The one page and plot tree: plots of every kind made by script, by the dialogs' working
// copies and through the maker the linked libraries use; the graph commands; the dump.
#include "KernelTest.h"

#include <algorithm>
#include <functional>
#include <memory>

#include "QKContour.h"
#include "QKGraphObjects.h"
#include "QKPlotHost.h"
#include "QKPlotModel.h"

namespace {

class PlotModelTest : public KernelTest {
protected:
    CQKGraphicLayer* ActiveLayer()
    {
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        return graph ? graph->GetActiveLayer() : nullptr;
    }

    // The plots of the layer that are no error bars, as "Type: role=dataset ..." lines.
    static std::string Describe(CQKGraphicLayer* layer)
    {
        static const char* const roles[] = {"Y", "X", "Z", "YERR", "XERR", "SIZE", "COLOR", "ANGLE",
                                            "MAG", "LOW", "HIGH", "XEND", "YEND", "MATRIX"};
        std::string text;
        for (int i = 0; i < layer->GetNumPlots(); ++i) {
            CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
            text += plot->GetPlotTypeName() + ":";
            for (const QKPlotData& d : plot->GetDataList())
                text += std::string(" ") + roles[d.role] + "=" + d.dataset;
            text += "\n";
        }
        return text;
    }
};

std::string Trimmed(std::string s)
{
    s.erase(0, s.find_first_not_of(' '));
    return s;
}

TEST_F(PlotModelTest, EveryPlotWordMakesItsKindFromColumnsOrAMatrix)
{
    // Column designations by letter: X, Y, E (Y error), W (X error), Z; "M" plots the
    // active matrix. Line words join their points by a connection of their own.
    struct Case {
        const char* word;
        const char* columns;
        const char* plots;
        int errorBars;
        int connect = QK_CONNECT_STRAIGHT;
        bool polar = false;
        bool triangle = false;
    };
    const Case cases[] = {
        {"line", "XYY", "Line: Y=Data1_B X=Data1_A\nLine: Y=Data1_C X=Data1_A\n", 0},
        {"Scatter", "XY", "Scatter: Y=Data1_B X=Data1_A\n", 0},
        {"LineSymb", "XY", "Line + Symbol: Y=Data1_B X=Data1_A\n", 0},
        {"Column", "XYY", "Column: Y=Data1_B X=Data1_A\nColumn: Y=Data1_C X=Data1_A\n", 0},
        {"Bar", "XY", "Bar: Y=Data1_B X=Data1_A\n", 0},
        {"StackCol", "XY", "Stack Column: Y=Data1_B X=Data1_A\n", 0},
        {"StackBar", "XY", "Stack Bar: Y=Data1_B X=Data1_A\n", 0},
        {"FloatColumn", "XYY", "Floating Column: Y=Data1_C X=Data1_A LOW=Data1_B\n", 0},
        {"FloatBar", "XYY", "Floating Bar: Y=Data1_C X=Data1_A LOW=Data1_B\n", 0},
        {"Area", "XY", "Area: Y=Data1_B X=Data1_A\n", 0},
        {"FillArea", "XYY", "Fill Area: Y=Data1_C X=Data1_A LOW=Data1_B\n", 0},
        {"YError", "XYE", "Scatter: Y=Data1_B X=Data1_A\nError Bar: YERR=Data1_C Y=Data1_B\n", 1},
        {"XYError", "XYEW",
         "Scatter: Y=Data1_B X=Data1_A\nError Bar: YERR=Data1_C Y=Data1_B\nError Bar: YERR=Data1_D Y=Data1_B\n", 2},
        {"HorzStep", "XY", "Line: Y=Data1_B X=Data1_A\n", 0, QK_CONNECT_STEP_HORIZONTAL},
        {"VertStep", "XY", "Line: Y=Data1_B X=Data1_A\n", 0, QK_CONNECT_STEP_VERTICAL},
        {"Segment2", "XY", "Line: Y=Data1_B X=Data1_A\n", 0, QK_CONNECT_2_POINT_SEGMENT},
        {"Segment3", "XY", "Line: Y=Data1_B X=Data1_A\n", 0, QK_CONNECT_3_POINT_SEGMENT},
        {"Spline", "XY", "Line: Y=Data1_B X=Data1_A\n", 0, QK_CONNECT_SPLINE},
        {"Polar", "XY", "Line + Symbol: Y=Data1_B X=Data1_A\n", 0, QK_CONNECT_STRAIGHT, true},
        {"Ternary", "XYZ", "Scatter: Z=Data1_C X=Data1_A Y=Data1_B\n", 0, QK_CONNECT_STRAIGHT, false, true},
        {"VertDropLine", "XY", "Vertical Drop Line: Y=Data1_B X=Data1_A\n", 0},
        {"HorzDropLine", "XY", "Horizontal Drop Line: Y=Data1_B X=Data1_A\n", 0},
        {"HiLoClose", "XYYY", "High-Low-Close: Y=Data1_D X=Data1_A HIGH=Data1_B LOW=Data1_C\n", 0},
        {"Vector", "XYYY", "Vector: Y=Data1_B X=Data1_A ANGLE=Data1_C MAG=Data1_D\n", 0},
        {"FlowVector", "XYYY", "Vector: Y=Data1_B X=Data1_A XEND=Data1_C YEND=Data1_D\n", 0},
        {"Pie", "XY", "Pie: Y=Data1_B\n", 0},
        {"BoxChart", "XYY", "Box Chart: Y=Data1_B\nBox Chart: Y=Data1_C\n", 0},
        {"Histogram", "Y", "Histogram: Y=Data1_A\n", 0},
        {"IndexSize", "XYY", "Bubble: Y=Data1_B X=Data1_A SIZE=Data1_C\n", 0},
        {"IndexColor", "XYY", "Color Mapped: Y=Data1_B X=Data1_A COLOR=Data1_C\n", 0},
        {"IndexColorSize", "XYYY", "Bubble + Color Mapped: Y=Data1_B X=Data1_A COLOR=Data1_C SIZE=Data1_D\n", 0},
        {"3DScatter", "XYZ", "3D Scatter: Z=Data1_C X=Data1_A Y=Data1_B\n", 0},
        {"Trajectory", "XYZ", "3D Trajectory: Z=Data1_C X=Data1_A Y=Data1_B\n", 0},
        {"3DBar", "XY", "3D Bars: Y=Data1_B X=Data1_A\n", 0},
        {"Ribbon", "XY", "3D Ribbons: Y=Data1_B X=Data1_A\n", 0},
        {"Walls", "XY", "3D Walls: Y=Data1_B X=Data1_A\n", 0},
        {"ContourColor", "XYZ", "Contour: Z=Data1_C X=Data1_A Y=Data1_B\n", 0},
        {"ContourBW", "M", "Contour: MATRIX=Matrix1\n", 0},
        {"GrayScaleMap", "M", "Contour: MATRIX=Matrix1\n", 0},
        {"ColorMap", "M", "3D Color Map Surface: MATRIX=Matrix1\n", 0},
        {"ColorFill", "M", "3D Color Map Surface: MATRIX=Matrix1\n", 0},
        {"3DBars", "M", "3D Bars: MATRIX=Matrix1\n", 0},
        {"WireFrame", "M", "3D Wire Frame: MATRIX=Matrix1\n", 0},
        {"WireSurface", "M", "3D Wire Surface: MATRIX=Matrix1\n", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        qkfxGetProject().New();
        std::string script;
        if (std::string(c.columns) == "M") {
            script = "win -t matrix; matrix -p 0 " + std::string(c.word);
        } else {
            script = "win -t wks; wks.ncols = " + std::to_string(strlen(c.columns)) + ";";
            for (size_t i = 0; c.columns[i]; ++i) {
                const char kind = c.columns[i];
                int type = kind == 'X' ? 4 : kind == 'E' ? 3 : kind == 'W' ? 7 : kind == 'Z' ? 6 : 1;
                script += "wks.col" + std::to_string(i + 1) + ".type = " + std::to_string(type) + ";";
            }
            script += "col(A)[1] = 1; worksheet -p 201 " + std::string(c.word);
        }
        ASSERT_TRUE(Run(script)) << err;
        CQKGraphicLayer* layer = ActiveLayer();
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(Describe(layer), c.plots);
        CQKPlotObj* first = layer->PlotObjByIndex(0, 1);
        EXPECT_EQ(layer->Is3DLayer(), first->Is3DPlot()) << "a 3D kind gets a 3D layer";
        EXPECT_EQ(first->HasErrorBar(), c.errorBars > 0);
        EXPECT_EQ(first->UsesMatrixData(), std::string(c.columns) == "M");
        EXPECT_EQ(layer->IsPolar() != FALSE, c.polar);
        EXPECT_EQ(layer->IsLayerTriangle() != FALSE, c.triangle);
        if (first->GetPlotObjectType(0) == QK_PLOT_LINE || first->GetPlotObjectType(0) == QK_PLOT_LINE_SYMBOL)
            EXPECT_EQ(first->GetConnectType(), c.connect);
        // Error bars point along Y, and along X for an X error column.
        for (int i = 1; i <= c.errorBars; ++i) {
            auto* bar = dynamic_cast<CQKErrorBar*>(layer->PlotObjByIndex(i, 1));
            ASSERT_NE(bar, nullptr);
            EXPECT_EQ(bar->IsDirectionX() != FALSE, i == 2);
        }
        if (first->GetPlotObjectType(0) == QK_PLOT_CONTOUR) {
            auto* contour = dynamic_cast<CQKContourPlotObj*>(first);
            ASSERT_NE(contour, nullptr) << "a contour plot is the contour node";
            EXPECT_EQ(contour->IsFillContours(), std::string(c.word) != "ContourBW");
        }
        // Several plots of one command form a group, the first its begin.
        if (layer->GetNumPlots() - c.errorBars > 1) {
            EXPECT_TRUE(first->IsGroupBegin());
            EXPECT_EQ(first->GetNumOfPlotsInGroup(), layer->GetNumPlots());
        }
        EXPECT_NE(qkfxDumpProject().find(first->GetPlotTypeName()), std::string::npos);
    }
}

TEST_F(PlotModelTest, PlotCommandsThatCannotPlotSayWhyAndLeaveNoGraph)
{
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"win -t wks; worksheet -p 201 Sparkles", "worksheet -p: unknown plot type \"Sparkles\""},
        {"win -t wks; wks.col2.type = 4; worksheet -p 201 Line", "worksheet -p: no Y column to plot as Line"},
        {"win -t wks; worksheet -p 201 HiLoClose", "worksheet -p: HiLoClose needs 3 Y columns for each plot"},
        {"win -t wks; worksheet -p 201 ContourColor", "worksheet -p: no Y and Z columns to plot as ContourColor"},
        {"win -t matrix; matrix -p 0 Line", "matrix -p: Line does not plot a matrix"},
        {"win -t wks; matrix -p 0 ContourBW", "matrix -p: there is no active matrix"},
        {"win -t wks; worksheet -p 201", "worksheet -p takes a template and a plot type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        qkfxGetProject().New();
        EXPECT_FALSE(Run(c.script));
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
        EXPECT_EQ(qkfxGetProject().GetActiveGraph(), nullptr);
        EXPECT_EQ(qkfxGetProject().FindPage("Graph1"), nullptr);
    }
}

// A linked layer draws its own axes on the top and right only: never over the first
// layer's bottom and left axes.
TEST_F(PlotModelTest, LinkedLayersShowTheirAxesOnTheTopAndRight)
{
    struct Case {
        const char* link;
        bool topX, rightY;
    } cases[] = {{"Both", true, true}, {"X", true, false}, {"Y", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        qkfxGetProject().New();
        ASSERT_TRUE(Run(std::string("win -t wks; for (i = 1; i <= 20; i += 1) { col(A)[i] = i; col(B)[i] = 40 * i }; "
                                    "worksheet -p 200 line; layer -new ") +
                        c.link))
            << err;
        CQKGraphicLayer* layer = qkfxGetProject().GetActiveGraph()->GetActiveLayer();
        auto shown = [&](int dim, int part) {
            auto* element = dynamic_cast<CQKPlotObj*>(layer->GetAxisPart(dim, part));
            return element != nullptr && element->IsShow() != FALSE;
        };
        // The linked axes start with the first layer's ranges.
        CQKGraphicLayer* first = qkfxGetProject().GetActiveGraph()->GetLayerByIndex(0, 1);
        for (int axis : {QK_AXIS_X, QK_AXIS_Y}) {
            const bool linked = axis == QK_AXIS_X ? c.topX : c.rightY;
            EXPECT_EQ(layer->GetAxisRecord(axis).to == first->GetAxisRecord(axis).to, linked) << "axis " << axis;
        }
        for (int dim = 0; dim < 2; ++dim) {
            const bool own = dim == 0 ? c.topX : c.rightY;
            EXPECT_FALSE(shown(dim, 0)) << "first side's axis of dimension " << dim;
            EXPECT_FALSE(shown(dim, 2)) << "first side's labels of dimension " << dim;
            EXPECT_EQ(shown(dim, 1), own) << "second side's axis of dimension " << dim;
            EXPECT_EQ(shown(dim, 3), own) << "second side's labels of dimension " << dim;
        }
    }
    // An unlinked new layer keeps the usual axes.
    qkfxGetProject().New();
    ASSERT_TRUE(Run("win -t wks; worksheet -p 200 line; layer -new")) << err;
    CQKGraphicLayer* layer = qkfxGetProject().GetActiveGraph()->GetActiveLayer();
    EXPECT_TRUE(dynamic_cast<CQKPlotObj*>(layer->GetAxisPart(0, 0))->IsShow());
    EXPECT_TRUE(dynamic_cast<CQKPlotObj*>(layer->GetAxisPart(0, 2))->IsShow());
}

TEST_F(PlotModelTest, LayerLabelAxisAndSetCommandsChangeTheTree)
{
    ASSERT_TRUE(Run("win -t wks; worksheet -p 200 line; layer -new X; layer -c; type $(count)")) << err;
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    ASSERT_EQ(graph->GetNumLayers(), 2);
    EXPECT_EQ(graph->GetActiveLayerIndex(), 1) << "the new layer is the active one";
    CQKGraphicLayer* second = graph->GetActiveLayer();
    int link = -1;
    EXPECT_TRUE(second->GetLinkToLayerIndex(link));
    EXPECT_EQ(second->GetLayerXAxisLink(), 1);
    EXPECT_EQ(second->GetLayerYAxisLink(), 0);
    EXPECT_EQ(out, "0\n") << "the new layer plots nothing yet";

    ASSERT_TRUE(Run("layer -b frame -1; label -y Volts (V); label -e -y ignored; axis -l y")) << err;
    EXPECT_TRUE(second->IsBkgBorder());
    ASSERT_NE(second->FindTextObj("YL"), nullptr);
    EXPECT_EQ(second->FindTextObj("YL")->GetTextString(), "Volts (V)") << "-e edits the title that is there";
    EXPECT_GE(qkfxGetCallLog().Find("CQKTextObj::DoDialog"), 0);
    EXPECT_GE(qkfxGetCallLog().Find("CQKAxes::DoDialog"), 0);
    ASSERT_TRUE(Run("axis Y")) << err;
    int axes = 0;
    for (int id : second->GetObjectIds())
        axes += dynamic_cast<CQKAxes*>(second->GetObject(id)) != nullptr;
    EXPECT_EQ(axes, 1) << "one axes object a dimension";

    ASSERT_TRUE(Run("layer -d")) << err;
    EXPECT_EQ(graph->GetNumLayers(), 1);
    EXPECT_EQ(graph->GetActiveLayerIndex(), 0);

    // set: Plot Details for the plotted dataset, -e resets its ranges.
    CQKPlotObj* plot = graph->GetActiveLayer()->PlotObjByIndex(0, 1);
    std::vector<QKPlotData> data = plot->GetDataList();
    data[0].first = 2;
    plot->SetDataList(data);
    ASSERT_TRUE(Run("set Data1_B")) << err;
    EXPECT_GE(qkfxGetCallLog().Find("CQKGraphPage::PlotDetailsDialog"), 0);
    ASSERT_TRUE(Run("set data1_b -e")) << err;
    EXPECT_EQ(plot->GetDataList()[0].first, 0);

    struct Case {
        const char* script;
        const char* message;
    };
    const Case failures[] = {
        {"layer -d", "layer -d: the last layer of Graph1 cannot be deleted"},
        {"set Data1_Q", "set: \"Data1_Q\" is not plotted in the active layer"},
        {"label -z Depth", "label -z: Layer1 has no Z axis"},
        {"axis Z", "axis: Layer1 has no Z axis"},
        {"axis W", "axis takes X, Y or Z"},
        {"layer -new Sideways", "layer -new knows Both, X and Y"},
        {"win -a Data1; label -x Time", "label: there is no active graph layer"},
    };
    for (const Case& c : failures) {
        SCOPED_TRACE(c.script);
        EXPECT_FALSE(Run(c.script));
        EXPECT_NE(err.find(c.message), std::string::npos) << err;
    }
}

TEST_F(PlotModelTest, WorkingCopiesAndTheLibrariesMakerChangeTheOneNode)
{
    // Every kind that draws datasets made through the maker the linked libraries use.
    ASSERT_TRUE(Run("win -t wks; win -t plot")) << err;
    CQKGraphicLayer* layer = ActiveLayer();
    const int kinds[] = {QK_PLOT_LINE, QK_PLOT_SCATTER, QK_PLOT_LINE_SYMBOL, QK_PLOT_COLUMN, QK_PLOT_AREA,
                         QK_PLOT_BAR, QK_PLOT_VECTOR, QK_PLOT_BOX, QK_PLOT_PIE, QK_PLOT_HIGH_LOW_CLOSE,
                         QK_PLOT_HISTOGRAM, QK_PLOT_3D_WALL, QK_PLOT_3D_RIBBON, QK_PLOT_3D_SURFACE,
                         QK_PLOT_3D_BARS, QK_PLOT_CONTOUR, QK_PLOT_ERROR_BAR, QK_PLOT_STACK_COLUMN,
                         QK_PLOT_STACK_BAR, QK_PLOT_FLOAT_COLUMN, QK_PLOT_FLOAT_BAR, QK_PLOT_FILL_AREA,
                         QK_PLOT_VERT_DROP_LINE, QK_PLOT_HORZ_DROP_LINE, QK_PLOT_BUBBLE, QK_PLOT_COLOR_MAPPED,
                         QK_PLOT_BUBBLE_COLOR_MAPPED, QK_PLOT_3D_SCATTER, QK_PLOT_3D_TRAJECTORY,
                         QK_PLOT_3D_WIRE_FRAME, QK_PLOT_3D_WIRE_SURFACE};
    QKPlotData b;
    b.dataset = "Data1_B";
    for (int kind : kinds) {
        SCOPED_TRACE(kind);
        std::string error;
        CQKPlotObj* plot = qkfxAddPlot(layer, kind, {b}, &error);
        ASSERT_NE(plot, nullptr) << error;
        EXPECT_EQ(plot->GetPlotObjectType(0), kind);
        EXPECT_EQ(layer->GetPlotIndex(plot->GetId()), layer->GetNumPlots() - 1);
        EXPECT_EQ(kind == QK_PLOT_CONTOUR, dynamic_cast<CQKContourPlotObj*>(plot) != nullptr);
        EXPECT_EQ(kind == QK_PLOT_ERROR_BAR, dynamic_cast<CQKErrorBar*>(plot) != nullptr);
    }
    std::string error;
    QKPlotData missing;
    missing.dataset = "Data1_Q";
    EXPECT_EQ(qkfxAddPlot(layer, QK_PLOT_LINE, {missing}, &error), nullptr);
    EXPECT_EQ(error, "there is no dataset \"Data1_Q\"");
    EXPECT_EQ(qkfxAddPlot(layer, 9999, {b}, &error), nullptr);
    EXPECT_EQ(error, "9999 is no plot type that draws datasets");
    EXPECT_EQ(qkfxAddPlot(layer, QK_PLOT_LINE, {}, &error), nullptr);
    EXPECT_EQ(qkfxAddPlot(nullptr, QK_PLOT_LINE, {b}, &error), nullptr);

    // A dialog's working copy commits into the node the script commands and the dump see.
    CQKPlotObj* node = layer->PlotObjByIndex(3, 1);
    std::string before = qkfxDumpProject();
    std::unique_ptr<CQKPlotObj> copy(layer->PlotObjByIndex(3, 0));
    copy->SetWidth(2.5);
    copy->SetBorderColor(3, 1);
    copy->SetBoxGap(35);
    EXPECT_EQ(qkfxDumpProject(), before) << "a working copy changes nothing until committed";
    copy->UpdateFromTemporary();
    std::unique_ptr<CQKPlotObj> bar(copy->GetWithNewPlotType(QK_PLOT_BAR, 0, 0));
    bar->UpdateFromTemporary();
    EXPECT_EQ(node->GetPlotObjectType(0), QK_PLOT_BAR);
    std::string diff = Diff(before, qkfxDumpProject());
    // Its id is 5: the legend took id 2 when the first plot came.
    for (const char* line : {"+      plot 5 Bar {", "+        plotType = 205", "+        lineWidth = 2.5",
                             "+        boxGap = 35", "+        pattern 1 = \"border 3 0 0.5 fill 18 0 0 0.5 type 0\""})
        EXPECT_NE(diff.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << diff;
}

TEST_F(PlotModelTest, TheDumpListsEveryNodeAndEachPropertyOnItsOwnLine)
{
    ASSERT_TRUE(Run("win -t wks; wks.ncols = 3; col(A)[1] = 1; col(A)[2] = 2; col(B)[2] = 4; col(B)[1]$ = n/a;\n"
                    "wks.col3.type = 3; col(C)[1] = 0.5; worksheet -p 201 YError; label -x Time (s);\n"
                    "win -t matrix; matrix -ps dim 2 2; win -n notes; %A = x\n"))
        << err;
    std::string dump = qkfxDumpProject();
    for (const char* line : {"project {", "  activePage = \"Notes1\"", "  page Data1 worksheet {",
                             "    dataset Data1_A {", "      values = \"1 2\"", "      text 0 = \"n/a\"",
                             "  page Graph1 graph {", "    layer Layer1 {", "      axis X {", "        break {",
                             "        ticks 2 {", "      plot 1 Scatter {", "        data = \"0 Data1_B 0 -1\"",
                             "        errorBar = 1", "      text 2 Legend {", "      plot 3 Error Bar {",
                             "      errorBar 3 {", "        text = \"\\\\l(1) Data1_B\"", "      text 4 XB {",
                             "        text = \"Time (s)\"", "  page Matrix1 matrix {", "    row 2 = \"-- --\"",
                             "  page Notes1 notes {"})
        EXPECT_NE(dump.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << dump;

    // Each property the dialogs edit shows as one changed line.
    CQKGraphPage* graph = static_cast<CQKGraphPage*>(qkfxGetProject().FindPage("Graph1"));
    CQKGraphicLayer* layer = graph->GetActiveLayer();
    auto* bars = dynamic_cast<CQKErrorBar*>(layer->PlotObjByIndex(1, 1));
    ASSERT_NE(bars, nullptr);
    struct Case {
        const char* line;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"capWidth = 12", [&] { bars->SetCapWidth(12); }},
        {"bkgColorValue = 3", [&] { layer->SetBkgColorValue(3); }},
        {"dimWidth = 6.5", [&] { graph->SetDimWidth(6.5); }},
        {"tabWidth = 4", [&] { layer->FindTextObj("XB")->SetTabWidth(4); }},
        {"gapWithinGroup = 10", [&] { layer->PlotObjByIndex(0, 1)->SetGapWithinGroup(10); }},
        {"text = \"ok\"", [&] { static_cast<CQKNotesPage*>(qkfxGetProject().FindPage("Notes1"))->m_text = "ok"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string before = qkfxDumpProject();
        c.change();
        std::string diff = Diff(before, qkfxDumpProject());
        EXPECT_EQ(std::count(diff.begin(), diff.end(), '\n'), 2) << diff;
        EXPECT_EQ(Trimmed(diff.substr(diff.find('+') + 1)), std::string(c.line) + "\n") << diff;
    }
}

TEST_F(PlotModelTest, RenamesAndDeletionsKeepThePlotsTrueToTheirData)
{
    ASSERT_TRUE(Run("win -t wks; wks.ncols = 3; wks.col3.type = 3; worksheet -p 201 YError;"
                    "win -t matrix; matrix -p 0 ContourBW")) << err;
    CQKProject& project = qkfxGetProject();
    CQKGraphicLayer* layer = static_cast<CQKGraphPage*>(project.FindPage("Graph1"))->GetActiveLayer();
    CQKGraphicLayer* contourLayer = static_cast<CQKGraphPage*>(project.FindPage("Graph2"))->GetActiveLayer();

    ASSERT_TRUE(project.FindPage("Data1")->SetName("Sample"));
    ASSERT_TRUE(static_cast<CQKWksPage*>(project.FindPage("Sample"))->RenameColumn(2, "Volts"));
    ASSERT_TRUE(project.FindPage("Matrix1")->SetName("Depth"));
    EXPECT_EQ(Describe(layer), "Scatter: Y=Sample_Volts X=Sample_A\nError Bar: YERR=Sample_C Y=Sample_Volts\n");
    EXPECT_EQ(layer->FindTextObj("Legend")->GetTextString(), "\\l(1) Sample_Volts");
    EXPECT_EQ(Describe(contourLayer), "Contour: MATRIX=Depth\n");
    ASSERT_TRUE(Run("win -a Graph1; set Sample_Volts -e")) << err;

    // Without its X a plot still draws; without its error column the error bars go;
    // without its main dataset the plot goes, and the legend with the last plot.
    ASSERT_TRUE(Run("del Sample_A")) << err;
    EXPECT_EQ(Describe(layer), "Scatter: Y=Sample_Volts\nError Bar: YERR=Sample_C Y=Sample_Volts\n");
    ASSERT_TRUE(Run("del Sample_C")) << err;
    EXPECT_EQ(Describe(layer), "Scatter: Y=Sample_Volts\n");
    ASSERT_TRUE(Run("del Sample_Volts")) << err;
    EXPECT_EQ(Describe(layer), "");
    EXPECT_EQ(layer->FindTextObj("Legend"), nullptr);

    ASSERT_TRUE(project.DeletePage("Depth"));
    EXPECT_EQ(contourLayer->GetNumPlots(), 0) << "a deleted matrix takes its plots along";
}

TEST_F(PlotModelTest, AContourPlotOwnsItsStoreThroughTheLoadedLibrary)
{
    // z = x^2 + y^2 on a 9 x 9 matrix over -4..4, one node missing.
    ASSERT_TRUE(Run("win -t matrix; matrix -ps dim 9 9")) << err;
    auto* matrix = static_cast<CQKMatrixPage*>(qkfxGetProject().GetActiveMatrix());
    matrix->m_x1 = matrix->m_y1 = -4;
    matrix->m_x2 = matrix->m_y2 = 4;
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c)
            matrix->SetCell(r, c, (c - 5) * (c - 5) + (r - 5) * (r - 5));
    matrix->SetCell(1, 1, MISSING_VALUE);
    ASSERT_TRUE(Run("matrix -p 0 ContourColor")) << err;

    std::string error;
    ASSERT_NE(qkfxGetSurfaceLibrary(&error), nullptr) << error;
    CQKGraphicLayer* layer = ActiveLayer();
    auto* plot = dynamic_cast<CQKContourPlotObj*>(layer->PlotObjByIndex(0, 1));
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->GetPlotObjType(), 10) << "the library's contour plot";

    // The grid holds the matrix on the colour map's scale, which spans the data; the
    // missing node holds the colour map's missing value, not the bottom of the scale.
    CQKContourGrid* grid = plot->GetContourGrid();
    ASSERT_EQ(grid->GetRows(), 9);
    ASSERT_EQ(grid->GetCols(), 9);
    EXPECT_EQ(grid->GetValue(0, 0), (float)QK_COLORMAP_MISSING_SCALE);
    EXPECT_LT(grid->GetValue(4, 4), grid->GetValue(8, 4)) << "the centre is lowest";
    EXPECT_EQ(grid->GetValue(8, 4), grid->GetValue(4, 8)) << "the map is symmetric";
    EXPECT_EQ(grid->GetScaleX(), 1.0);
    EXPECT_EQ(grid->GetOffsetX(), -4.0);
    size_t size = 0;
    ASSERT_NE(qkfxGetProject().GetNamedBlock("zcolors", &size), nullptr) << "the colour map is the project's";
    EXPECT_GT(size, 342u);

    // The colour hook answers the kernel's missing value and leaves the rest to the map.
    int handled = 0;
    double missing = MISSING_VALUE, value = 3;
    EXPECT_EQ(qkColorControlHook(39, 0, (INT_PTR)&missing, &handled, 0), QK_COLORMAP_MISSING_SCALE);
    EXPECT_EQ(handled, 1);
    handled = 0;
    qkColorControlHook(39, 0, (INT_PTR)&value, &handled, 0);
    EXPECT_EQ(handled, 0);

    // Drawing computes the lines into the store the plot's grid owns, and keeps them.
    grid->SetPlotArea({0, 0, 400, 400}, -4, 8, -4, 8);
    HDC dc = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 400);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_TRUE(plot->NeedsContourLines());
    EXPECT_TRUE(plot->Draw(dc, nullptr));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ASSERT_NE(grid->GetContourData(), nullptr);
    EXPECT_FALSE(plot->NeedsContourLines()) << "the lines are in the store";

    std::string dump = qkfxDumpProject();
    for (const char* line : {"      plot 1 Contour {", "        grid = \"9 x 9\"", "        store = 1",
                             "  block ZCOLORS {"})
        EXPECT_NE(dump.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << dump;

    // Its script text runs in the interpreter.
    EXPECT_EQ(qkPlotHostCallback(0, PLOTHOST_RUN_SCRIPT, 0, (INT_PTR) "type from the library"), 0);
    EXPECT_EQ(out, "from the library\n");
}

} // namespace

// A new graph shows its data with round ends; adding a plot moves each axis as its
// rescale mode says; Rescale brings every axis of every layer to the data.
TEST_F(PlotModelTest, AxesFollowTheDataAsTheirRescaleModesSay)
{
    auto range = [](CQKGraphicLayer* layer, int axis) {
        const QKAxisRecord& r = layer->GetAxisRecord(axis);
        return std::make_pair(atof(r.from.c_str()), atof(r.to.c_str()));
    };
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 1; col(A)[2] = 23; col(B)[1] = -3; col(B)[2] = 0.4;"
                    "worksheet -p 0 scatter")) << err;
    CQKGraphicLayer* layer = qkfxGetProject().GetActiveGraph()->GetActiveLayer();
    EXPECT_EQ(std::make_pair(0.0, 25.0), range(layer, QK_AXIS_X));
    EXPECT_EQ(std::make_pair(-3.0, 1.0), range(layer, QK_AXIS_Y));

    // A second worksheet's data, added under each Y rescale mode from the range 0 .. 10.
    struct Case {
        int mode;
        std::pair<double, double> y;
    };
    const Case cases[] = {
        {0, {0, 10}},   // manual: kept
        {1, {-20, 60}}, // normal: widened to hold the data
        {2, {-20, 60}}, // auto: the data
        {3, {0, 60}},   // fixed from
        {4, {-20, 10}}, // fixed to
    };
    ASSERT_TRUE(Run("win -t wks; col(A)[1] = 1; col(A)[2] = 2; col(B)[1] = -17; col(B)[2] = 55")) << err;
    CQKDataset* x = qkfxGetProject().GetActiveWks()->GetColumn(1);
    CQKDataset* y = qkfxGetProject().GetActiveWks()->GetColumn(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        while (layer->GetNumPlots())
            layer->RemoveDataObj(layer->GetObjectIds().back());
        layer->SetAxisRange(QK_AXIS_Y, 0, 10, 2);
        CQKAxes axes;
        ASSERT_TRUE(layer->GetAxes(&axes, QK_AXIS_Y));
        axes.SetRescaleType(c.mode);
        layer->UpdateFromTemporary();
        QKPlotData yd, xd;
        yd.role = QK_ROLE_Y;
        yd.dataset = y->GetName();
        xd.role = QK_ROLE_X;
        xd.dataset = x->GetName();
        std::string error;
        ASSERT_NE(nullptr, qkfxAddPlot(layer, QK_PLOT_LINE, {yd, xd}, &error)) << error;
        EXPECT_EQ(c.y, range(layer, QK_AXIS_Y));
    }
    // Rescale (the menu's "layer -all ask" and the script's rescale) goes to the data.
    layer->SetAxisRange(QK_AXIS_X, 100, 200, 50);
    ASSERT_TRUE(Run("win -a Graph1; layer -all ask")) << err;
    EXPECT_EQ(std::make_pair(1.0, 2.0), range(layer, QK_AXIS_X));
    layer->SetAxisRange(QK_AXIS_X, 100, 200, 50);
    ASSERT_TRUE(Run("rescale")) << err;
    EXPECT_EQ(std::make_pair(1.0, 2.0), range(layer, QK_AXIS_X));
}
