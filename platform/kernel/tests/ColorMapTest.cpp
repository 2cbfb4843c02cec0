// Colour maps of plot objects: the default levels a new plot gets, the copies the pages
// edit, colour-map files, and the colour map kept in project files.
#include "KernelTest.h"
#include "TestDib.h"

#include <stdio.h>

#include "QKAccess.h"
#include "QKContour.h"
#include "QKFile.h"
#include "QKGraphObjects.h"
#include "QKPageDraw.h"

namespace {

class ColorMapTest : public KernelTest {
protected:
    // A contour plot of a 5 x 5 matrix holding 0 to 40.
    CQKPlotObj* Contour()
    {
        qkfxGetProject().New();
        EXPECT_TRUE(Run("win -t matrix; matrix -ps dim 5 5")) << err;
        CQKMatrixPage* matrix = qkfxGetProject().GetActiveMatrix();
        for (int r = 1; r <= 5; ++r)
            for (int c = 1; c <= 5; ++c)
                matrix->SetCell(r, c, (r - 1) * 8 + (c - 1) * 2);
        EXPECT_TRUE(Run("matrix -p 0 ContourColor")) << err;
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        return graph ? graph->GetActiveLayer()->PlotObjByIndex(0, 1) : nullptr;
    }
};

TEST_F(ColorMapTest, NewContourPlotSpreadsEightBandsOverItsData)
{
    CQKPlotObj* plot = Contour();
    ASSERT_NE(nullptr, plot);
    const QKColorMapState& s = plot->GetColorMapState();
    ASSERT_EQ(9u, s.levels.size());
    double range[2];
    ASSERT_TRUE(plot->GetDefaultColorColumnRange(range));
    EXPECT_EQ(range[0], s.levels.front().level);
    EXPECT_EQ(range[1], s.levels.back().level);
    EXPECT_NE(s.levels.front().fillColor, s.levels[7].fillColor);
    for (int feature : {1, 2, 3, 4})
        EXPECT_TRUE(plot->HasCMapProperties(feature)) << feature;
}

TEST_F(ColorMapTest, FileRoundTripAndDamagedFilesChangeNothing)
{
    CQKPlotObj* plot = Contour();
    ASSERT_NE(nullptr, plot);
    std::unique_ptr<CQKColorMapData> map(plot->GetColorMapData(nullptr));
    map->Levels()[3].fillColor = RGB(1, 2, 3);
    map->Levels()[4].flags = CMAP_LINE_HIDDEN | CMAP_LABEL_SHOWN;
    TempFile file("levels.pal", "");
    const std::string& path = file.path;
    ASSERT_TRUE(map->Save(path.c_str(), 1));
    std::unique_ptr<CQKColorMapData> back(plot->GetColorMapData(nullptr));
    ASSERT_TRUE(back->Load(path.c_str(), 1));
    EXPECT_TRUE(back->GetState() == map->GetState());

    struct Case {
        const char* text;
    } cases[] = {{"not a colour map\r\n"},
                 {"Quorix color map 1\r\nlevel 1 FF0000 0 0 50 0 50 0 0\r\n"},   // one level
                 {"Quorix color map 1\r\nlevel 2 FF 0 0 50 0 50 0 0\r\nlevel 1 FF 0 0 50 0 50 0 0\r\n"}, // falling
                 {"Quorix color map 1\r\nlevel 1 FF 0 0 50 0 50 0 0\r\nlevel x\r\n"}};
    for (const Case& c : cases) {
        FILE* f = fopen(path.c_str(), "wb");
        fputs(c.text, f);
        fclose(f);
        const QKColorMapState before = back->GetState();
        EXPECT_FALSE(back->Load(path.c_str(), 1)) << c.text;
        EXPECT_TRUE(back->GetState() == before) << c.text;
    }
}

TEST_F(ColorMapTest, ProjectKeepsTheColourMap)
{
    CQKPlotObj* plot = Contour();
    ASSERT_NE(nullptr, plot);
    std::unique_ptr<CQKColorMapData> map(plot->GetColorMapData(nullptr));
    map->Levels()[2].fillColor = RGB(200, 0, 200);
    map->Levels()[2].pattern = 3;
    map->SetLabelsPrefix("z=");
    map->SetLabelsSigDigits(5);
    map->SetUseOtherColorsInColorMixing(TRUE);
    plot->SaveColorMapData(map.get());
    plot->SetColorMapRescaleMode(CMAP_RESCALE_FIXED_TO);
    const QKColorMapState saved = plot->GetColorMapState();
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    ASSERT_NE(nullptr, graph);
    CQKPlotObj* back = graph->GetActiveLayer()->PlotObjByIndex(0, 1);
    ASSERT_NE(nullptr, back);
    EXPECT_TRUE(back->GetColorMapState() == saved);
}

// New Color Scale: the contour plot's bands bottom up in their fills beside the layer, a
// value beside each level; refused in a layer without a colour-mapped plot.
TEST_F(ColorMapTest, ColorScaleShowsThePlotsBandsAndLevels)
{
    CQKPlotObj* plot = Contour();
    ASSERT_NE(nullptr, plot);
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    EXPECT_EQ(qkfxGetAccess()->on_before_run_command(nullptr, 36326), 1);
    ASSERT_TRUE(Run("run.section(Standard,Spectrum)")) << err;
    auto* scale = dynamic_cast<CQKDrawObj*>(graph->GetStoredGrElement());
    ASSERT_NE(nullptr, scale);
    EXPECT_EQ(QK_DRAW_COLORSCALE, scale->GetKind());
    RECT frame;
    const int w = 800, h = 600;
    const RECT whole = {0, 0, w, h};
    ASSERT_TRUE(qkfxGetLayerFrame(graph, 0, whole, frame));
    const int left = (int)std::lround(scale->m_x1 * w), top = (int)std::lround(scale->m_y1 * h);
    const int right = (int)std::lround(scale->m_x2 * w), bottom = (int)std::lround(scale->m_y2 * h);
    EXPECT_GT(left, frame.right) << "beside the frame";
    EXPECT_LE(right, w);

    // Saved and read back like a drawn object.
    const std::string dump = qkfxDumpProject();
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    EXPECT_EQ("", Diff(dump, qkfxDumpProject()));
    graph = qkfxGetProject().GetActiveGraph();
    ASSERT_NE(nullptr, graph);
    plot = graph->GetActiveLayer()->PlotObjByIndex(0, 1);

    Dib dib(w, h);
    graph->SetViewMode(2, 1);
    ASSERT_TRUE(graph->SetDrawRect(whole));
    ASSERT_TRUE(graph->Draw(dib.dc, whole));
    const std::vector<ColorMapEntry>& levels = plot->GetColorMapState().levels;
    const int n = (int)levels.size();
    ASSERT_GE(n, 3);
    const int bar = left + (right - left) * 2 / 5;
    const double step = double(bottom - top) / (n - 1);
    for (int i = 0; i + 1 < n; ++i) {
        SCOPED_TRACE(i);
        const int y = (int)std::lround(bottom - (i + 0.5) * step);
        EXPECT_EQ(levels[i].fillColor & 0xFFFFFF, dib.At((left + bar) / 2, y));
    }
    // The values: ink right of the bar, from about the bottom level to the top one.
    const RECT labels = dib.Ink({bar + 2, top - 20, w, bottom + 20}, [](COLORREF c) { return c == RGB(0, 0, 0); });
    EXPECT_FALSE(IsRectEmpty(&labels));
    EXPECT_NEAR(labels.bottom, bottom, step);
    EXPECT_NEAR(labels.top, top, step);

    // Undone like a drawn object.
    ASSERT_TRUE(Run("legend -s")) << err;
    const int objects = graph->GetActiveLayer()->GetObjectCount();
    ASSERT_TRUE(graph->Undo());
    EXPECT_EQ(objects - 1, graph->GetActiveLayer()->GetObjectCount());

    EXPECT_TRUE(Run("win -t plot"));
    EXPECT_EQ(qkfxGetAccess()->on_before_run_command(nullptr, 36326), 0);
    EXPECT_FALSE(Run("legend -s"));
    EXPECT_NE(std::string::npos, err.find("colour-mapped")) << err;
}

} // namespace
