// The contour plot object on a paraboloid z = (x - 30)^2 + (y - 30)^2 over a 61 x 61
// grid, whose level lines are circles of radius sqrt(level) about node (30, 30). The
// values are whole numbers and no level (0, 287, 575, 862, ... of an 8-band map) is a
// sum of two squares below 30^2, so the perturbation leaves the field as it is.
//
// Reference radii are the exact ones. A traced point lies on a grid edge, where the
// contouring interpolates the quadratic linearly: the radius it gives is off by at most
// 1 / (8 r) grid units (the interpolation error h^2 z'' / 8 over the slope 2 r), below
// 0.01 for r > 12; the tolerance is 0.02.
//
// Device mapping: world = grid units, 10 device units per grid unit, the plot rectangle
// 0..600 on both axes with world y growing upward.
#include <gtest/gtest.h>

#include <math.h>

#include <memory>

#include "ContourPlot.h"
#include "QKCallLog.h"
#include "TestHost.h"
#include "qxtest/Pixels.h"

namespace {

const int kSize = 61;
const int kCentre = 30;

struct PlotFixture : ::testing::Test {
    TestHost host;
    std::unique_ptr<CQKGraphicLayer> layer;
    CQC3DContourPlotObj* plot = nullptr;

    void SetUp() override
    {
        ScxColorControl(30, 0, reinterpret_cast<INT_PTR>(host.callback()), nullptr);
        host.blocks["ZCOLORS"].assign(ZColorsSize(8), 0);
        ScxColorControl(0, 8, 0, Map());
        qkfxGetCallLog().Clear();

        layer.reset(new CQKGraphicLayer(nullptr));
        auto* made = reinterpret_cast<CQKContourPlotObj*>(qc3dxEntry(1, 0, 0, 0, 0));
        ASSERT_NE(nullptr, made);
        plot = static_cast<CQC3DContourPlotObj*>(made);
        layer->AddObject(plot);
        layer->SetFrameArea({0, 0, 600, 600}, 0, kSize - 1, 0, kSize - 1);

        CQKContourGrid* grid = plot->GetContourGrid();
        grid->SetSize(kSize, kSize);
        for (int k = 0; k < kSize; ++k)
            for (int j = 0; j < kSize; ++j)
                grid->SetValue(j, k, (float)((j - kCentre) * (j - kCentre) + (k - kCentre) * (k - kCentre)));
        grid->SetWorldMapping(1, 0, 1, 0);
        grid->SetPlotArea({0, 0, 600, 600}, 0, kSize - 1, 0, kSize - 1);
        plot->SetFillContours(FALSE);
    }

    void* Map() { return host.blocks["ZCOLORS"].data(); }
    int Level(int i) { return (int)ScxColorControl(34, i, 0, Map()); }
    double LevelValue(int i)
    {
        double v = 0;
        ScxColorControl(40, Level(i), reinterpret_cast<INT_PTR>(&v), Map());
        return v;
    }
    CQKColorMapData* Colours() { return plot->GetValidColorMapDataForDrawing(); }
    ContourStore& Store() { return plot->Store()->store; }

    // The line of a level index; null when there is none.
    ContourRecord* LineOf(int level)
    {
        for (int i = 1; i < Store().Count(); ++i)
            if (Store().Record(i)->levelIndex == level)
                return Store().Record(i);
        return nullptr;
    }
    int IndexOf(int level) { return (int)(LineOf(level) - Store().Record(0)); }

    qxtest::Image Draw()
    {
        qxtest::MemoryCanvas canvas(600, 600);
        EXPECT_TRUE(plot->Draw(canvas.dc(), nullptr));
        return canvas.Capture();
    }
    // The device point of a grid point.
    POINT Device(double gx, double gy) { return WorldToDevice(plot->GetContourGrid(), gx, gy); }
};

std::vector<float> Points(const ContourRecord* r)
{
    std::vector<float> p(2 * r->pointCount);
    memcpy(p.data(), GlobalLock(r->points), p.size() * sizeof(float));
    GlobalUnlock(r->points);
    return p;
}

bool Near(const qxtest::Image& image, POINT p, COLORREF colour, int reach = 1)
{
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx) {
            int x = p.x + dx, y = p.y + dy;
            if (x >= 0 && y >= 0 && x < image.width && y < image.height && image.ColorAt(x, y) == colour)
                return true;
        }
    return false;
}

TEST_F(PlotFixture, TheFactoryMakesTheLibrarysPlot)
{
    EXPECT_EQ(10, plot->GetPlotObjType());
    ASSERT_NE(nullptr, plot->GetRuntimeClass());
    EXPECT_STREQ("CQC3DContourPlotObj", plot->GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(plot->CanStartDrag());
    EXPECT_EQ(CQC3DContourLabelsPSet::CLASS_ID, std::unique_ptr<CQKPropertySet>(plot->CreateAdditionalPlotObjData())->GetClassID());
    EXPECT_TRUE(plot->NeedsContourLines());
    Draw();
    EXPECT_FALSE(plot->NeedsContourLines());
    EXPECT_GE(qkfxGetCallLog().Find("CQKContourPlotObj::UpdateGridInfo"), 0);

    // The store is the grid's: a copy owns its own points and has no owner.
    std::unique_ptr<CQKContourData> copy(plot->Store()->Duplicate());
    auto* copied = static_cast<CQC3DContourData*>(copy.get());
    EXPECT_EQ(nullptr, copied->owner);
    EXPECT_EQ(Store().Count(), copied->store.Count());
    EXPECT_NE(Store().Record(1)->points, copied->store.Record(1)->points);
}

TEST_F(PlotFixture, LevelLinesOfAParaboloidAreCirclesOfTheExactRadius)
{
    Draw();
    // Levels 2 to 4 close inside the grid; level 5 (1150, r = 33.9) leaves it.
    for (int level = 2; level <= 4; ++level) {
        SCOPED_TRACE(level);
        ContourRecord* r = LineOf(level);
        ASSERT_NE(nullptr, r);
        EXPECT_EQ(CONTOUR_INNER, r->kind);
        double radius = sqrt((double)Level(level));
        std::vector<float> p = Points(r);
        for (int k = 0; k < r->pointCount; ++k)
            ASSERT_NEAR(radius, hypot(p[2 * k] - kCentre, p[2 * k + 1] - kCentre), 0.02) << "point " << k;
        // Enclosed area against pi r^2: the polygon's corners lie on the circle.
        EXPECT_NEAR(3.14159265358979323846 * radius * radius, r->area, 0.01 * 3.14159265358979323846 * radius * radius);
    }
    ContourRecord* outer = LineOf(5);
    ASSERT_NE(nullptr, outer);
    EXPECT_EQ(CONTOUR_EDGE, outer->kind);
    EXPECT_GT(outer->borderPart, 0);
}

TEST_F(PlotFixture, LinesAreDrawnWhereTheyMustBe)
{
    QKContourPen blue;
    blue.color = RGB(0, 0, 255);
    for (int level = 0; level < 10; ++level)
        Colours()->SetDrawLine(level, blue);
    qxtest::Image image = Draw();
    for (int level = 2; level <= 4; ++level) {
        double r = sqrt((double)Level(level));
        for (double angle : {0.0, 0.7, 2.0, 3.5, 5.1}) {
            POINT on = Device(kCentre + r * cos(angle), kCentre + r * sin(angle));
            EXPECT_TRUE(Near(image, on, RGB(0, 0, 255))) << "level " << level << " angle " << angle;
        }
    }
    // Between the circles and at the centre nothing is drawn.
    EXPECT_EQ(RGB(255, 255, 255), image.ColorAt(300, 300));
    POINT between = Device(kCentre + 20.5, kCentre);
    EXPECT_FALSE(Near(image, between, RGB(0, 0, 255), 2));
    // The border part of the line that leaves the grid is not stroked.
    EXPECT_FALSE(Near(image, Device(0, kCentre), RGB(0, 0, 255), 2));

    // A hidden level draws no line.
    Colours()->SetContourLineFlags(3, CQKColorMapData::CONTOUR_LINE_HIDDEN);
    image = Draw();
    double r = sqrt((double)Level(3));
    EXPECT_FALSE(Near(image, Device(kCentre + r, kCentre), RGB(0, 0, 255), 2));
}

TEST_F(PlotFixture, FilledRegionsTakeTheirBandsColour)
{
    for (int index = 0; index < 40; ++index)
        Colours()->SetFill(index, RGB(10 + 5 * index, 100, 200), 0);
    plot->SetFillContours(TRUE);
    qxtest::Image image = Draw();
    struct Probe { double radius; int value; } probes[] = {
        {5, 25},        // inside the smallest circle
        {20.5, 420},    // between the lines of 287 and 575
        {26.5, 702},    // between 575 and 862
    };
    for (const Probe& p : probes) {
        COLORREF expected;
        int pattern;
        int index = (int)ScxColorControl(37, p.value, 0, Map());
        ASSERT_TRUE(Colours()->GetFill(index, expected, pattern));
        POINT at = Device(kCentre + p.radius, kCentre);
        EXPECT_EQ(expected, image.ColorAt(at.x, at.y)) << "radius " << p.radius;
    }
}

TEST_F(PlotFixture, GridCellsArePaintedInTheColourOfTheirNode)
{
    for (int index = 0; index < 40; ++index)
        Colours()->SetFill(index, RGB(10 + 5 * index, 50, 60), 0);
    plot->SetShowGrids(TRUE);
    plot->SetContourNeeded(FALSE);
    qxtest::Image image = Draw();
    for (POINT node : {POINT{30, 30}, POINT{10, 45}, POINT{59, 2}}) {
        COLORREF expected;
        int pattern;
        int index = (int)ScxColorControl(37, (int)plot->GetContourGrid()->GetValue(node.x, node.y), 0, Map());
        ASSERT_TRUE(Colours()->GetFill(index, expected, pattern));
        POINT at = Device(node.x + 0.2, node.y + 0.2);
        EXPECT_EQ(expected, image.ColorAt(at.x, at.y));
    }
    // With no contours asked for, none are computed.
    EXPECT_EQ(0, Store().Count());
}

TEST_F(PlotFixture, AutomaticLabelsSitOnTheirLinesApartAndCutGaps)
{
    QKContourPen blue;
    blue.color = RGB(0, 0, 255);
    for (int level = 2; level <= 4; ++level) {
        Colours()->SetDrawLine(level, blue);
        Colours()->SetContourLabelShown(level, TRUE);
        Colours()->SetForceContourLineLabelCreation(level, TRUE);
    }
    qxtest::Image image = Draw();
    CQC3DContourLabelsPSet* labels = plot->ExistingLabels();
    ASSERT_NE(nullptr, labels);
    ASSERT_EQ(3, labels->Count());
    EXPECT_FALSE(Colours()->IsForceContourLineLabelCreation(2)) << "the switch is spent";
    EXPECT_GE(qkfxGetCallLog().Find("CQKColorMapData::Save"), 0);

    std::vector<POINT> cells;
    for (int k = 0; k < labels->Count(); ++k) {
        const ContourLabelData& label = labels->LabelData(k);
        ContourRecord* line = Store().Record(label.contourIndex);
        SCOPED_TRACE(line->levelIndex);
        EXPECT_EQ(LevelValue(line->levelIndex), label.level);
        EXPECT_EQ(CONTOUR_LABEL_MATCHED | CONTOUR_LABEL_MEASURED, label.flags);
        // The centre is the chosen point of the line, on its circle.
        ASSERT_GE(line->labelPoint, 0);
        std::vector<float> p = Points(line);
        EXPECT_FLOAT_EQ(p[2 * line->labelPoint], (float)label.x);
        EXPECT_NEAR(sqrt((double)Level(line->levelIndex)), hypot(label.x - kCentre, label.y - kCentre), 0.02);
        cells.push_back({lround(label.x * 100 / (kSize - 1)), lround(label.y * 100 / (kSize - 1))});

        // The line is broken at the label's rectangle and goes on beyond it; the text
        // is drawn inside.
        RECT rect = {label.rect[0], label.rect[1], label.rect[2], label.rect[3]};
        ASSERT_LT(rect.left, rect.right);
        int blueInside = 0, text = 0;
        for (int y = rect.top + 1; y < rect.bottom - 1; ++y)
            for (int x = rect.left + 1; x < rect.right - 1; ++x) {
                COLORREF c = image.ColorAt(x, y);
                blueInside += c == RGB(0, 0, 255);
                text += c != RGB(0, 0, 255) && c != RGB(255, 255, 255);
            }
        EXPECT_EQ(0, blueInside);
        EXPECT_GT(text, 0);
        // Just outside the rectangle the line goes on.
        RECT around = {rect.left - 4, rect.top - 4, rect.right + 4, rect.bottom + 4};
        int blueAround = 0;
        for (int y = around.top; y < around.bottom; ++y)
            for (int x = around.left; x < around.right; ++x)
                if ((x < rect.left || x >= rect.right || y < rect.top || y >= rect.bottom) &&
                    image.ColorAt(x, y) == RGB(0, 0, 255))
                    ++blueAround;
        EXPECT_GT(blueAround, 0);
    }
    for (size_t a = 0; a < cells.size(); ++a)
        for (size_t b = a + 1; b < cells.size(); ++b)
            EXPECT_FALSE(abs(cells[a].x - cells[b].x) < 7 && abs(cells[a].y - cells[b].y) < 7);

    // A later drawing binds the saved labels again instead of making new ones.
    for (int level = 2; level <= 4; ++level)
        Colours()->SetForceContourLineLabelCreation(level, TRUE);
    Draw();
    EXPECT_EQ(3, plot->ExistingLabels()->Count());

    // With no level showing labels the label set goes.
    for (int level = 2; level <= 4; ++level)
        Colours()->SetContourLabelShown(level, FALSE);
    Draw();
    EXPECT_EQ(nullptr, plot->ExistingLabels());
}

TEST_F(PlotFixture, SavedLabelsBindByLevelOrByIndex)
{
    for (int level = 2; level <= 4; ++level)
        Colours()->SetContourLabelShown(level, TRUE);
    Draw();
    int line2 = IndexOf(2), line3 = IndexOf(3);
    double r2 = sqrt((double)Level(2)), r3 = sqrt((double)Level(3));
    Colours()->SetLevelSearchWindow(LevelValue(3) - LevelValue(2) + 1);

    CQC3DContourLabelsPSet* labels = plot->Labels();
    auto add = [&](double x, double y, double level, int index, int size) {
        ContourLabelData d = {};
        d.x = x;
        d.y = y;
        d.level = level;
        d.contourIndex = index;
        CQC3DPOneContourLabelPSet one(d);
        CQKFontTypePSet::Font f;
        f.size = size;
        one.font.SetFont(f);
        labels->Add(&one);
    };
    // Tall enough to touch both circles, with a level in the window of both: the first
    // line in record order takes it.
    add(kCentre + (r2 + r3) / 2, kCentre, LevelValue(3), -1, 72);
    // No level: bound by its index, taking that line's level.
    add(kCentre, kCentre + r3, MISSING_VALUE, line3, 10);
    // Near no line: dropped.
    add(kCentre, kCentre, LevelValue(2), -1, 10);
    Draw();
    ASSERT_EQ(2, labels->Count());
    EXPECT_EQ(std::min(line2, line3), labels->LabelData(0).contourIndex);
    EXPECT_EQ(line3, labels->LabelData(1).contourIndex);
    EXPECT_EQ(LevelValue(3), labels->LabelData(1).level);
}

TEST_F(PlotFixture, LabelsSurviveTheProjectFile)
{
    CQC3DContourLabelsPSet labels;
    for (int i = 0; i < 2; ++i) {
        ContourLabelData d = {};
        d.x = 1.5 + i;
        d.y = -2.25;
        d.level = i ? MISSING_VALUE : 575;
        d.contourIndex = 3 + i;
        d.rect[2] = 40;
        CQC3DPOneContourLabelPSet one(d);
        CQKFontTypePSet::Font f;
        f.font = 2;
        f.size = 12 + i;
        one.font.SetFont(f);
        labels.Add(&one);
    }
    CQKArchive out;
    ASSERT_TRUE(labels.WriteToArch(out));
    const std::vector<BYTE>& bytes = out.GetBytes();
    ASSERT_EQ(labels.GetSavingSize(), bytes.size());
    // Header and slots of the labels set, then the array's header and slots: the count.
    DWORD count;
    memcpy(&count, bytes.data() + 8 + 4 + 8 + 4, 4);
    EXPECT_EQ(2u, count);
    DWORD id;
    memcpy(&id, bytes.data(), 4);
    EXPECT_EQ(0x2FBD713Eu, id);
    memcpy(&id, bytes.data() + 12, 4);
    EXPECT_EQ(0x675FDE1Cu, id);
    memcpy(&id, bytes.data() + 28, 4);
    EXPECT_EQ(0xED07BA53u, id);
    memcpy(&id, bytes.data() + 36, 4);
    EXPECT_EQ(0x77730BADu, id);

    CQC3DContourLabelsPSet back;
    CQKArchive in(bytes);
    ASSERT_TRUE(back.ReadFromArch(in));
    ASSERT_EQ(2, back.Count());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(0, memcmp(&labels.LabelData(i), &back.LabelData(i), sizeof(ContourLabelData)));
        EXPECT_EQ(12 + i, back.Label(i)->font.GetFont().size);
        EXPECT_EQ(2, back.Label(i)->font.GetFont().font);
    }
    // A cut file fails without taking labels it could not finish.
    std::vector<BYTE> cut(bytes.begin(), bytes.end() - 10);
    CQKArchive shortIn(cut);
    EXPECT_FALSE(back.ReadFromArch(shortIn));
    CQKArchive limited;
    limited.SetWriteLimit(bytes.size() - 1);
    EXPECT_FALSE(labels.WriteToArch(limited));

    std::unique_ptr<CQKPropertySet> fresh(labels.CreateObjectOfSameType());
    EXPECT_EQ(0, static_cast<CQC3DContourLabelsPSet*>(fresh.get())->Count());
    EXPECT_EQ(0, labels.Delete(2));
    EXPECT_EQ(1, labels.Delete(0));
    EXPECT_EQ(4, labels.LabelData(0).contourIndex);
}

TEST_F(PlotFixture, MouseAddsDragsAndDropsLabels)
{
    Draw();
    int line3 = IndexOf(3);
    double r3 = sqrt((double)Level(3));
    POINT onLine = Device(kCentre + r3, kCentre);
    EXPECT_TRUE(plot->IsPointOnContourLine(onLine));
    EXPECT_FALSE(plot->IsPointOnContourLine({300, 300}));
    EXPECT_FALSE(plot->AddLabelAtPoint({300, 300}));

    qkfxGetCallLog().Clear();
    ASSERT_TRUE(plot->AddLabelAtPoint(onLine));
    CQC3DContourLabelsPSet* labels = plot->ExistingLabels();
    ASSERT_EQ(1, labels->Count());
    EXPECT_EQ(line3, labels->LabelData(0).contourIndex);
    EXPECT_TRUE(IsMissingValue(labels->LabelData(0).level));
    EXPECT_TRUE(Colours()->GetContourLineFlags(3) & CQKColorMapData::CONTOUR_LABEL_SHOWN);
    EXPECT_GE(qkfxGetCallLog().Find("CQKColorMapData::Save"), 0);
    EXPECT_GE(qkfxGetCallLog().Find("CQKLayer::BufferCleanup"), 0);
    EXPECT_GE(qkfxGetCallLog().Find("CQKContourPlotObj::UpdatePlot"), 0);
    EXPECT_TRUE(plot->IsModified());

    Draw();
    ASSERT_EQ(1, labels->Count());
    EXPECT_EQ(LevelValue(3), labels->LabelData(0).level);
    const int32_t* r = labels->LabelData(0).rect;
    POINT start = {(r[0] + r[2]) / 2, (r[1] + r[3]) / 2};
    EXPECT_EQ(0, labels->HitTest(start));

    // A drag starts only on a label; with no button held the drag ends at once, moving
    // nothing, and the dragging flag is down again.
    EXPECT_FALSE(plot->StartDragAtPoint({5, 5}));
    EXPECT_TRUE(plot->StartDragAtPoint(start));
    EXPECT_FALSE(qkuIsPlotObjDragging());
    EXPECT_EQ(1, labels->Count());

    auto dragBlock = [&](POINT from) {
        HGLOBAL block = CreateGlobalMemoryForDragDrop(20);
        auto* p = static_cast<int32_t*>(GlobalLock(block));
        p[0] = from.x;
        p[1] = from.y;
        p[2] = 0;
        GlobalUnlock(block);
        return block;
    };
    HGLOBAL block = dragBlock(start);
    // Along the circle: the label moves with its centre.
    POINT along = Device(kCentre + r3 * cos(0.3), kCentre + r3 * sin(0.3));
    POINT there = {start.x + (along.x - onLine.x), start.y + (along.y - onLine.y)};
    EXPECT_TRUE(plot->DropDragData(block, there, TRUE));
    EXPECT_EQ(start.x, (labels->LabelData(0).rect[0] + labels->LabelData(0).rect[2]) / 2) << "a query moves nothing";
    EXPECT_TRUE(plot->DropDragData(block, there, FALSE));
    EXPECT_NEAR(r3, hypot(labels->LabelData(0).x - kCentre, labels->LabelData(0).y - kCentre), 1.5);
    // Into empty space inside the frame: refused, the label stays.
    ContourLabelData before = labels->LabelData(0);
    EXPECT_FALSE(plot->DropDragData(block, {start.x - 150, start.y}, FALSE));
    EXPECT_EQ(0, memcmp(&before, &labels->LabelData(0), sizeof before));
    // Out of the frame: deleted.
    EXPECT_TRUE(plot->DropDragData(block, {700, 700}, TRUE));
    EXPECT_EQ(1, labels->Count());
    EXPECT_TRUE(plot->DropDragData(block, {700, 700}, FALSE));
    EXPECT_EQ(0, labels->Count());
    GlobalFree(block);
}

} // namespace
