// Cells, columns, the selection, sheets and their layers between the workbook and the
// kernel.
#include "XlFixture.h"

#include <cmath>

namespace {

class XlData : public XlFixture {
protected:
    // A kernel column of `rows` rows: numbers, with a text every 7th row and a missing
    // value every 11th.
    CQKDataset* MakeColumn(const char* name, int rows)
    {
        CQKDataset* ds = qkfxGetProject().CreateDataset(name, 0);
        for (int r = 0; r < rows; ++r) {
            if (r % 11 == 5)
                ds->SetValue(r, MISSING_VALUE);
            else if (r % 7 == 3)
                ds->SetText(r, "t" + std::to_string(r));
            else
                ds->SetValue(r, std::sqrt((double)r) - 10.0);
        }
        return ds;
    }
    void ExpectSameColumn(CQKDataset* a, CQKDataset* b, int rows)
    {
        for (int r = 0; r < rows; ++r) {
            ASSERT_EQ(a->IsText(r), b->IsText(r)) << "row " << r;
            if (a->IsText(r))
                ASSERT_EQ(a->GetText(r), b->GetText(r)) << "row " << r;
            else
                ASSERT_EQ(a->GetValue(r), b->GetValue(r)) << "row " << r;
        }
    }
    int CountOf(const CString& log, const char* member)
    {
        int n = 0;
        for (int pos = log.Find(member); pos >= 0; pos = log.Find(member, pos + 1))
            ++n;
        return n;
    }
};

TEST_F(XlData, RangeNamesOfColumnsAndRows)
{
    struct {
        int column, first, end;
        const char* name;
    } cases[] = {{1, 5, 21, "A5:A20"}, {26, 1, 2, "Z1:Z1"}, {27, 1, 3, "AA1:AA2"}, {52, 2, 4, "AZ2:AZ3"},
                 {53, 1, 2049, "BA1:BA2048"}, {702, 7, 8, "ZZ7:ZZ7"}};
    for (auto& c : cases) {
        CString name;
        CQUxlView::ColumnRowRowToRangeName(name, c.column, c.first, c.end);
        EXPECT_STREQ(c.name, name) << c.column;
    }
}

TEST_F(XlData, CellsAsTextNumbersAndVariantsWithoutMarkingTheWorkbookModified)
{
    double x = 3.25;
    ASSERT_TRUE(view->GetSetOneExcelCellValueAsReal("Sheet1", 2, 4, &x, TRUE));
    int dirty = -1;
    ASSERT_TRUE(view->GetDirty(&dirty));
    EXPECT_EQ(0, dirty);
    char text[300];
    EXPECT_FALSE(view->GetSetOneExcelCellValue("Sheet1", 2, 4, text, 1, FALSE)) << "a number is no text";
    ASSERT_TRUE(view->GetOneExcelCellValueAsText("Sheet1", 2, 4, text));
    EXPECT_STREQ("3.25", text);

    // Texts come back cut to 255 characters.
    std::string longText(400, 'x');
    ASSERT_TRUE(view->GetSetOneExcelCellValue("Sheet1", 1, 0, (void*)longText.c_str(), 1, TRUE));
    ASSERT_TRUE(view->GetSetOneExcelCellValue("Sheet1", 1, 0, text, 1, FALSE));
    EXPECT_EQ(255u, strlen(text));
    double y = 0;
    EXPECT_FALSE(view->GetSetOneExcelCellValueAsReal("Sheet1", 1, 0, &y, FALSE)) << "a text is no number";

    // Currency reads as its amount.
    COleVariant cy;
    cy.vt = VT_CY;
    cy.cyVal.int64 = 15000;
    ASSERT_TRUE(view->GetSetOneExcelCellValue("Sheet1", 3, 9, &cy, 3, TRUE));
    ASSERT_TRUE(view->GetSetOneExcelCellValueAsReal("Sheet1", 3, 9, &y, FALSE));
    EXPECT_EQ(1.5, y);
    COleVariant back;
    ASSERT_TRUE(view->GetSetOneExcelCellValue("Sheet1", 3, 9, &back, 3, FALSE));
    EXPECT_EQ(VT_CY, back.vt);

    EXPECT_FALSE(view->GetSetOneExcelCellValueAsReal("NoSheet", 1, 0, &y, FALSE));
    EXPECT_FALSE(view->GetSetOneExcelCellValue("Sheet1", 1, 0, &y, 7, TRUE)) << "unknown type";
}

TEST_F(XlData, ColumnsRoundTripInBlocksWithTextsAndMissingValues)
{
    const int rows = 5000;
    CQKDataset* out = MakeColumn("out", rows);
    CQKExternData data(out);
    TakeCallLog();
    ASSERT_TRUE(view->CopyOneInternalColumnToExcel("Sheet1", 3, &data));
    // 5000 rows go as blocks of 2048, 2048 and 904.
    EXPECT_EQ(3, CountOf(TakeCallLog(), "Range.Value"));
    int dirty = -1;
    ASSERT_TRUE(view->GetDirty(&dirty));
    EXPECT_EQ(0, dirty);

    CQKDataset* in = qkfxGetProject().CreateDataset("in", 0);
    CQKExternData back(in);
    ASSERT_TRUE(view->CopyDataOneExternalColumn("Sheet1", 3, &back));
    ExpectSameColumn(out, in, rows);
    // Trailing missing values read as missing, and the used range is the column.
    EXPECT_EQ(MISSING_VALUE, in->GetValue(rows + 3));

    // A column outside the used range is nothing to copy, and succeeds.
    CQKDataset* none = qkfxGetProject().CreateDataset("none", 0);
    CQKExternData empty(none);
    EXPECT_TRUE(view->CopyDataOneExternalColumn("Sheet1", 8, &empty));
    EXPECT_EQ(0, none->GetEnd());
}

TEST_F(XlData, BlocksTheServerRefusesAreHalvedDownToThirtyTwoRows)
{
    const int rows = 3000;
    CQKDataset* out = MakeColumn("out", rows);
    LimitTransfers(300); // blocks of 256 rows get through
    CQKExternData data(out);
    ASSERT_TRUE(view->CopyOneInternalColumnToExcel("Sheet1", 1, &data));
    CQKDataset* in = qkfxGetProject().CreateDataset("in", 0);
    CQKExternData back(in);
    ASSERT_TRUE(view->CopyDataOneExternalColumn("Sheet1", 1, &back));
    ExpectSameColumn(out, in, rows);

    LimitTransfers(20); // below the floor: the copy gives up
    CQKExternData again(out);
    EXPECT_FALSE(view->CopyOneInternalColumnToExcel("Sheet1", 2, &again));
    CQKExternData fails(in);
    EXPECT_FALSE(view->CopyDataOneExternalColumn("Sheet1", 1, &fails));
}

TEST_F(XlData, WritesStopAtTheLastRowOfTheSheet)
{
    CQKDataset* out = qkfxGetProject().CreateDataset("out", 0);
    for (int r = 65530; r < 65540; ++r)
        out->SetValue(r, r);
    CQKExternData data(out);
    data.i1Change = 65530;
    ASSERT_TRUE(view->CopyOneInternalColumnToExcel("Sheet1", 1, &data));
    double v = 0;
    ASSERT_TRUE(view->GetSetOneExcelCellValueAsReal("Sheet1", 1, 65535, &v, FALSE));
    EXPECT_EQ(65535, v);

    // Nothing left to write is a failure.
    data.i1Change = 65536;
    EXPECT_FALSE(view->CopyOneInternalColumnToExcel("Sheet1", 1, &data));
}

TEST_F(XlData, ANewWorkbookHasFourSheetsInOrder)
{
    ASSERT_TRUE(view->InitNewWorkbook());
    CStringArray names;
    ASSERT_EQ(4, view->GetWorksheetNames(names));
    for (int i = 0; i < 4; ++i)
        EXPECT_STREQ(("Sheet" + std::to_string(i + 1)).c_str(), names[i]);
}

TEST_F(XlData, TheSelectionComesAsRangeRecords)
{
    CxlobjWorksheet ws(*view->GetWorkbookDriver(), "Sheet1");
    CxlobjRange* sel = ws.GetRange("B2:C10,E5:E6");
    ASSERT_TRUE(sel && sel->Activate());
    delete sel;
    unsigned count = 0;
    ASSERT_TRUE(view->GetSelection(&count, nullptr, nullptr));
    EXPECT_EQ(2u, count);
    QXLSELECTION ranges[50];
    count = 50;
    CString sheet;
    ASSERT_TRUE(view->GetSelection(&count, ranges, &sheet));
    EXPECT_STREQ("Sheet1", sheet);
    ASSERT_EQ(2u, count);
    EXPECT_EQ(2, ranges[0].c1);
    EXPECT_EQ(4, ranges[0].c2);
    EXPECT_EQ(1, ranges[0].r1);
    EXPECT_EQ(10, ranges[0].r2);
    EXPECT_EQ(5, ranges[1].c1);
    EXPECT_EQ(6, ranges[1].c2);
    EXPECT_EQ(4, ranges[1].r1);
    EXPECT_EQ(6, ranges[1].r2);
    // One record asked for: the count is cut; no count and several areas fails.
    count = 1;
    ASSERT_TRUE(view->GetSelection(&count, ranges, nullptr));
    EXPECT_EQ(1u, count);
    EXPECT_FALSE(view->GetSelection(nullptr, ranges, nullptr));
}

TEST_F(XlData, SheetsCopyIntoNativeWorksheetsThroughTheirLayers)
{
    UserSets("Sheet1", "A1", COleVariant(1.5));
    UserSets("Sheet1", "A3", COleVariant("label"));
    UserSets("Sheet1", "B2", COleVariant(-2.0));
    UINT copied = 0;
    ASSERT_TRUE(view->DoCopyToNativeQuorixWorksheets(2, &copied));
    EXPECT_EQ(1u, copied);
    CQKPage* page = qkfxGetProject().FindPage("Sheet1");
    ASSERT_TRUE(page && page->GetType() == QK_PAGE_WKS);
    auto* wks = static_cast<CQKWksPage*>(page);
    EXPECT_EQ(1.5, wks->GetColumn(1)->GetValue(0));
    EXPECT_EQ(MISSING_VALUE, wks->GetColumn(1)->GetValue(1));
    EXPECT_EQ("label", wks->GetColumn(1)->GetText(2));
    EXPECT_EQ(-2.0, wks->GetColumn(2)->GetValue(1));
    EXPECT_EQ(MISSING_VALUE, wks->GetColumn(2)->GetValue(0));

    // The layer knows the used range; mode 1 copies nothing.
    CQKWksExternLayer* layer = doc->GetPage()->FindLayer("Sheet1");
    ASSERT_TRUE(layer);
    EXPECT_EQ(3, layer->m_r2);
    EXPECT_EQ(2, layer->m_c2);
    EXPECT_FALSE(view->DoCopyToNativeQuorixWorksheets(1, &copied));

    // A second copy gets a name of its own.
    ASSERT_TRUE(view->DoCopyToNativeQuorixWorksheets(3, &copied));
    EXPECT_TRUE(qkfxGetProject().FindPage("Sheet11"));
}

TEST_F(XlData, ColumnInsertsAndDeletesReachTheSheetAndTheLayer)
{
    UserSets("Sheet1", "A1", COleVariant(1.0));
    UserSets("Sheet1", "B1", COleVariant(2.0));
    ASSERT_TRUE(view->UpdateAssociatedWorksheet("Sheet1", TRUE, nullptr));
    ASSERT_TRUE(view->OnInternalInsertDeleteColumn("Sheet1", 0, FALSE)); // before A
    double v = 0;
    ASSERT_TRUE(view->GetSetOneExcelCellValueAsReal("Sheet1", 2, 0, &v, FALSE));
    EXPECT_EQ(1.0, v);
    CQKWksExternLayer* layer = doc->GetPage()->FindLayer("Sheet1");
    EXPECT_EQ(1.0, layer->GetColumn(2)->GetValue(0));
    ASSERT_TRUE(view->OnInternalInsertDeleteColumn("Sheet1", 1, TRUE)); // B (the 1.0) goes
    ASSERT_TRUE(view->GetSetOneExcelCellValueAsReal("Sheet1", 2, 0, &v, FALSE));
    EXPECT_EQ(2.0, v);
    EXPECT_EQ(2.0, layer->GetColumn(2)->GetValue(0));
}

TEST_F(XlData, AUserChangeReachesTheKernelOnce)
{
    CQUWksPageExternal* page = doc->GetPage();
    view->OnCheckxlDirty();
    EXPECT_EQ(0, page->GetExternalModifiedCount());
    UserSets("Sheet1", "D4", COleVariant(7.0));
    view->OnCheckxlDirty();
    EXPECT_EQ(1, page->GetExternalModifiedCount());
    view->OnCheckxlDirty();
    EXPECT_EQ(1, page->GetExternalModifiedCount());

    // Leaving the window reports a change too; closing it hides it.
    UserSets("Sheet1", "D5", COleVariant(8.0));
    page->OnDeactivate(nullptr);
    EXPECT_EQ(2, page->GetExternalModifiedCount());
    EXPECT_EQ(1, page->CloseWnd());
    EXPECT_TRUE(page->IsExternalHidden());

    // The kernel's page operations reach the workbook through the view.
    double v = 0;
    ASSERT_TRUE(page->GetExternalDataAsReal("Sheet1", 4, 3, &v));
    EXPECT_EQ(7.0, v);
    QXLSELECTION used{};
    ASSERT_TRUE(page->OnGetExternalUseRange("Sheet1", &used));
    EXPECT_EQ(4, used.c1);
    EXPECT_EQ(5, used.c2);
    EXPECT_EQ(3, used.r1);
    EXPECT_EQ(5, used.r2);
}

TEST_F(XlData, AWorkbookThatCannotBeAskedSixTimesInARowCountsAsModified)
{
    CQUWksPageExternal* page = doc->GetPage();
    CQUxlView::s_dirtyRetries = 0;
    FailNextCalls(6 * 3, E_FAIL); // each question is tried three times
    for (int i = 0; i < 5; ++i) {
        view->OnCheckxlDirty();
        EXPECT_EQ(0, page->GetExternalModifiedCount()) << "question " << i + 1;
    }
    view->OnCheckxlDirty();
    EXPECT_EQ(1, page->GetExternalModifiedCount());
    EXPECT_EQ(0, CQUxlView::s_dirtyRetries);
}

} // namespace
