// Pages whose data lies in an external workbook: layers per sheet, the value exchange of a
// column, and the range names of the workbook link.
#include "KernelTest.h"

#include "QKExternal.h"

namespace {

class ExternalTest : public KernelTest {};

TEST_F(ExternalTest, ColumnNamesAndRangeNamesMatchTheWorkbookNaming)
{
    struct {
        int column;
        const char* name;
    } columns[] = {{1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {0, ""}, {703, ""}};
    for (auto& c : columns)
        EXPECT_EQ(c.name, qkuxlColumnNumberToColumnName(c.column)) << c.column;

    std::string name;
    ASSERT_TRUE(qkuxlRangeToRangeName(QXLSELECTION{2, 3, 4, 20}, name));
    EXPECT_EQ("B5:B20", name);
    QXLSELECTION r{};
    ASSERT_TRUE(qkuxlRangeNameToRange("AB7:AC9", r));
    EXPECT_EQ(28, r.c1);
    EXPECT_EQ(30, r.c2);
    EXPECT_EQ(6, r.r1);
    EXPECT_EQ(9, r.r2);
    ASSERT_TRUE(qkuxlRangeNameToRange("C3", r));
    EXPECT_EQ(4, r.c2);
    EXPECT_EQ(3, r.r2);
    for (const char* bad : {"", "3C", "B9:B2", "A1:", "ABC1"})
        EXPECT_FALSE(qkuxlRangeNameToRange(bad, r)) << bad;
}

TEST_F(ExternalTest, RCRangeNamesReadCellsWholeColumnsAndRowsWithinTheRowLimit)
{
    struct {
        const char* name;
        int maxRows;
        bool ok;
        QXLSELECTION range;
    } cases[] = {
        {"R2C1:R11C2", 65536, true, {1, 3, 1, 11}},
        {"r3c4", 65536, true, {4, 5, 2, 3}},
        {"C2:C3", 65536, true, {2, 4, 0, 65536}},
        {"C2", 16384, true, {2, 3, 0, 16384}},
        {"R5:R6", 16384, true, {1, 257, 4, 6}},
        {"R1C1:R65536C1", 65536, true, {1, 2, 0, 65536}},
        {"R1C1:R65537C1", 65536, false, {}},
        {"R20000C1", 16384, false, {}},
        {"R11C2:R2C1", 65536, false, {}},
        {"R2C1:C2", 65536, false, {}},
        {"R2C257", 65536, false, {}},
        {"R0C1", 65536, false, {}},
        {"B2:B5", 65536, false, {}},
        {"R2C1:", 65536, false, {}},
        {"", 65536, false, {}},
    };
    for (auto& c : cases) {
        QXLSELECTION r{-1, -1, -1, -1};
        ASSERT_EQ(c.ok, qkuxlRCRangeNameToRange(c.name, r, c.maxRows) != FALSE) << c.name;
        if (!c.ok)
            continue;
        EXPECT_EQ(c.range.c1, r.c1) << c.name;
        EXPECT_EQ(c.range.c2, r.c2) << c.name;
        EXPECT_EQ(c.range.r1, r.r1) << c.name;
        EXPECT_EQ(c.range.r2, r.r2) << c.name;
    }
}

TEST_F(ExternalTest, ExternDataCarriesNumbersTextsAndMissingValues)
{
    CQKDataset* ds = qkfxGetProject().CreateDataset("xl", 0);
    ASSERT_TRUE(ds);
    CQKExternData data(ds);
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = 2.5;
    EXPECT_TRUE(data.SetInternalValue(v, 0));
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(L"label");
    EXPECT_TRUE(data.SetInternalValue(v, 1));
    VariantClear(&v);
    v.vt = VT_EMPTY;
    EXPECT_TRUE(data.SetInternalValue(v, 2));
    v.vt = VT_BOOL;
    v.boolVal = VARIANT_TRUE;
    EXPECT_TRUE(data.SetInternalValue(v, 3));
    v.vt = VT_UNKNOWN;
    v.punkVal = nullptr;
    EXPECT_FALSE(data.SetInternalValue(v, 4));

    EXPECT_EQ(2.5, ds->GetValue(0));
    EXPECT_EQ("label", ds->GetText(1));
    EXPECT_EQ(MISSING_VALUE, ds->GetValue(2));
    EXPECT_EQ(-1.0, ds->GetValue(3));

    CQKExternData back(ds);
    EXPECT_EQ(0, back.i1Change);
    EXPECT_EQ(4, back.i2Change);
    ASSERT_TRUE(back.GetInternalValue(&v, 1));
    EXPECT_EQ(VT_BSTR, v.vt);
    VariantClear(&v);
    ASSERT_TRUE(back.GetInternalValue(&v, 2));
    EXPECT_EQ(VT_EMPTY, v.vt);
}

TEST_F(ExternalTest, LayersPerSheetWithStableIdsAndTheLastOneKept)
{
    CQKProject& project = qkfxGetProject();
    auto* page = dynamic_cast<CQKWksExternPage*>(project.CreatePage(QK_PAGE_EXCEL));
    ASSERT_TRUE(page);
    EXPECT_EQ("Book1", page->GetName());
    CQKWksExternLayer* a = page->GetOrCreateActiveLayer("Sheet1");
    CQKWksExternLayer* b = page->GetOrCreateActiveLayer("Sheet2");
    EXPECT_EQ(a, page->GetOrCreateActiveLayer("SHEET1"));
    EXPECT_EQ(1, a->GetID());
    EXPECT_EQ(2, b->GetID());
    EXPECT_TRUE(page->RemoveLayer(a));
    EXPECT_FALSE(page->RemoveLayer(b));
    EXPECT_EQ(3, page->GetOrCreateActiveLayer("Sheet3")->GetID());

    // Without a workbook behind the page nothing is fetched.
    b->SetRowRange(0, 3, 0, 2);
    EXPECT_FALSE(page->CheckCopyData(b, 1, 0));

    // The state dump lists each sheet's layer with its columns.
    ASSERT_TRUE(b->AddExternColumn(1, nullptr, nullptr));
    b->GetColumn(1)->SetValue(1, 7.5);
    std::string dump = qkfxDumpProject();
    EXPECT_NE(dump.find("    sheet 2 Sheet2 {\n      used = \"0 3 0 2\"\n"), std::string::npos) << dump;
    EXPECT_NE(dump.find("        values = \"-- 7.5\"\n"), std::string::npos) << dump;
}

TEST_F(ExternalTest, InsertingAndDeletingSheetColumnsMovesTheKernelsCopy)
{
    CQKProject& project = qkfxGetProject();
    CQKWksExternLayer layer(&project, "S", 1);
    ASSERT_TRUE(layer.AddExternColumn(3, nullptr, nullptr));
    for (int c = 1; c <= 3; ++c)
        layer.GetColumn(c)->SetValue(0, c);
    ASSERT_TRUE(layer.OnInternalInsertDeleteColumn(1, 0)); // before B
    ASSERT_EQ(4, layer.GetNumCols());
    EXPECT_EQ(1, layer.GetColumn(1)->GetValue(0));
    EXPECT_EQ(MISSING_VALUE, layer.GetColumn(2)->GetValue(0));
    EXPECT_EQ(2, layer.GetColumn(3)->GetValue(0));
    EXPECT_EQ(3, layer.GetColumn(4)->GetValue(0));
    ASSERT_TRUE(layer.OnInternalInsertDeleteColumn(0, 1)); // A goes
    ASSERT_EQ(3, layer.GetNumCols());
    EXPECT_EQ(MISSING_VALUE, layer.GetColumn(1)->GetValue(0));
    EXPECT_EQ(2, layer.GetColumn(2)->GetValue(0));
}

// A page of the user interface's kind, as its factory makes it.
class MarkedPage : public CQKWksExternPage {
public:
    using CQKWksExternPage::CQKWksExternPage;
};

CQKPage* MakeMarkedPage(CQKProject* project, const std::string& name)
{
    return new MarkedPage(project, name);
}

TEST_F(ExternalTest, APageFactoryMakesThePagesOfItsKind)
{
    CQKProject& project = qkfxGetProject();
    project.SetPageFactory(QK_PAGE_EXCEL, &MakeMarkedPage);
    CQKPage* page = project.CreatePage(QK_PAGE_EXCEL);
    EXPECT_TRUE(dynamic_cast<MarkedPage*>(page));
    EXPECT_EQ(page, project.GetActivePage());
    EXPECT_FALSE(project.CreatePage(QK_PAGE_EXCEL, page->GetName())) << "names stay unique";
    project.SetPageFactory(QK_PAGE_EXCEL, nullptr);
    EXPECT_FALSE(dynamic_cast<MarkedPage*>(project.CreatePage(QK_PAGE_EXCEL)));
}

} // namespace
