// Colour maps of plot objects: the default levels a new plot gets, the copies the pages
// edit, colour-map files, and the colour map kept in project files.
#include "KernelTest.h"

#include <stdio.h>

#include "QKContour.h"
#include "QKFile.h"
#include "QKGraphObjects.h"

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

} // namespace
