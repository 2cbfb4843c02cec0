#include "QKGraphObjects.h"
#include "KernelTest.h"

namespace {

class GraphObjectsTest : public KernelTest {};

TEST_F(GraphObjectsTest, TablesAnswerInRangeAndRefuseOutsideIt)
{
    std::string name;
    DWORD rgb = 0x123456;
    int n = CQKColor::GetColorNumber();
    ASSERT_GT(n, 2);
    EXPECT_TRUE(CQKColor::GetColorName(1, name));
    EXPECT_EQ("Red", name);
    EXPECT_TRUE(CQKColor::GetColorRef(1, rgb, 0));
    EXPECT_EQ(RGB(255, 0, 0), rgb);
    EXPECT_FALSE(CQKColor::GetColorName(n, name));
    EXPECT_EQ("", name);
    rgb = 0x123456;
    EXPECT_FALSE(CQKColor::GetColorRef(-1, rgb, 0));
    EXPECT_EQ(0x123456u, rgb);

    EXPECT_EQ(QK_FONT_TRUETYPE, CQKFontManager::GetFontName(1, name));
    EXPECT_EQ("Arial", name);
    EXPECT_EQ(-1, CQKFontManager::GetFontName(CQKFontManager::GetFontCount(), name));
}

TEST_F(GraphObjectsTest, DatesCountDaysFromTheFirstOf1900)
{
    // Weekdays and dates from the calendar: 1 Jan 1900 was a Monday, 1 Jan 2000 (36524
    // days later: 100 years with 24 leap days) a Saturday, 29 Feb 2000 existed.
    struct Case { double days; const char* shortForm; const char* longForm; } cases[] = {
        {0, "1/1/1900", "Monday, January 1, 1900"},
        {59, "3/1/1900", "Thursday, March 1, 1900"}, // 1900 was no leap year
        {36524, "1/1/2000", "Saturday, January 1, 2000"},
        {36524 + 59, "2/29/2000", "Tuesday, February 29, 2000"},
    };
    for (const Case& c : cases) {
        std::string s, l;
        CQKUtilDate date(c.days);
        date.GetDateShortForm(s);
        date.GetDateLongForm(l);
        EXPECT_EQ(c.shortForm, s) << c.days;
        EXPECT_EQ(c.longForm, l) << c.days;
    }
}

TEST_F(GraphObjectsTest, RemovingAnErrorBarKeepsItsDatasetDeletingDropsBoth)
{
    CQKProject& project = qkfxGetProject();
    auto* wks = static_cast<CQKWksPage*>(project.CreatePage(QK_PAGE_WKS));
    CQKDataset* column = wks->AddColumn();
    CQKDataset* free = project.CreateDataset("Errs", 3);
    CQKPage* graph = project.CreatePage(QK_PAGE_GRAPH);
    CQKLayer layer(graph);

    auto* onColumn = new CQKErrorBar;
    onColumn->SetData(column->GetHandle());
    auto* onFree = new CQKErrorBar;
    onFree->SetData(free->GetHandle());
    int a = layer.AddObject(onColumn), b = layer.AddObject(onFree);
    EXPECT_EQ(&layer, onColumn->GetValidLayer());
    EXPECT_EQ(a, onColumn->GetId());
    EXPECT_FALSE(onColumn->IsDatasetExternal());
    EXPECT_TRUE(onFree->IsDatasetExternal());

    EXPECT_TRUE(onColumn->OpenWorksheet());
    EXPECT_EQ(wks, project.GetActivePage());

    EXPECT_TRUE(layer.RemoveDataObj(b));
    EXPECT_EQ(nullptr, layer.GetObject(b));
    EXPECT_NE(nullptr, project.FindDataset("Errs"));

    std::string columnName = column->GetName();
    EXPECT_TRUE(layer.DeleteDataObj(a));
    EXPECT_EQ(0, layer.GetObjectCount());
    EXPECT_EQ(nullptr, project.FindDataset(columnName));
    EXPECT_FALSE(layer.DeleteDataObj(a));
}

TEST_F(GraphObjectsTest, NewTextLabelsTakeTheDefaultsLastSet)
{
    CQKTextObj first;
    CQKTextStyle style;
    first.GetTextStyle(style);
    style.font = 2;
    style.size = 36;
    style.flags = QK_TEXT_WHITE_OUT;
    first.SetTextStyle(style);
    first.SetColor(3);
    first.EnableBorder(TRUE);
    first.SetBorderStyle(2);
    first.SetTabWidth(12);
    first.SetTextString("not a default");
    EXPECT_TRUE(first.SetDefault(0));

    CQKTextObj second;
    CQKTextStyle got;
    second.GetTextStyle(got);
    EXPECT_EQ(2, got.font);
    EXPECT_EQ(36, got.size);
    EXPECT_EQ(QK_TEXT_WHITE_OUT, got.flags);
    EXPECT_EQ(3, second.GetColor());
    EXPECT_TRUE(second.IsBorder());
    EXPECT_EQ(2, second.GetBorderStyle());
    EXPECT_EQ(12, second.GetTabWidth());
    EXPECT_EQ("", second.GetTextString());

    CQKTextObj reset; // leave the process-wide defaults as they were
    reset.SetTextStyle(CQKTextStyle());
    reset.SetColor(0);
    reset.SetTabWidth(8);
    reset.SetDefault(0);
}

} // namespace

namespace {

TEST_F(GraphObjectsTest, AxesEditAWorkingCopyThatTheLayerCommitsOrDrops)
{
    // Index forms of the axis type word, both ways.
    const int btlr[6] = {QK_AXIS_X, QK_AXIS_X | QK_AXIS_SECOND, QK_AXIS_Y, QK_AXIS_Y | QK_AXIS_SECOND,
                         QK_AXIS_Z, QK_AXIS_Z | QK_AXIS_SECOND};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(btlr[i], CQKGraphicLayer::GetXYZAxisType(i, TRUE)) << i;
        EXPECT_EQ(i, CQKGraphicLayer::GetBTLRAxisType(btlr[i])) << i;
        EXPECT_EQ(i / 2, CQKGraphicLayer::GetHVAxisType(btlr[i])) << i;
        EXPECT_EQ(i / 2 + 1, CQKGraphicLayer::GetAxesID(btlr[i])) << i;
    }

    CQKGraphicLayer layer(qkfxGetProject().CreatePage(QK_PAGE_GRAPH));
    CQKAxes first, second;
    ASSERT_TRUE(layer.GetAxes(&first, QK_AXIS_Y));
    ASSERT_TRUE(layer.GetAxes(&second, QK_AXIS_Y | QK_AXIS_SECOND));
    first.SetRangeTo("50");
    second.Get2ndAxis()->SetTitle("right");
    EXPECT_EQ("50", second.GetRangeTo()); // one working copy per dimension
    EXPECT_EQ("10", layer.GetAxisRecord(QK_AXIS_Y).to);
    layer.UpdateFromTemporary();
    EXPECT_EQ("50", layer.GetAxisRecord(QK_AXIS_Y).to);
    EXPECT_EQ("right", layer.GetAxisRecord(QK_AXIS_Y).ticks[1].GetTitle());

    first.SetRangeTo("70");
    layer.DiscardTemporary();
    CQKAxes again;
    layer.GetAxes(&again, QK_AXIS_Y);
    EXPECT_EQ("50", again.GetRangeTo());

    // A logarithmic scale moves a range that reaches zero; a linear one keeps it.
    again.SetRangeFrom("0");
    EXPECT_FALSE(again.AdjustAxis(0));
    EXPECT_TRUE(again.AdjustAxis(1));
    EXPECT_EQ("0.05", again.GetRangeFrom());
    EXPECT_EQ("50", again.GetRangeTo());
    EXPECT_FALSE(again.AdjustAxis(1));
}

} // namespace
