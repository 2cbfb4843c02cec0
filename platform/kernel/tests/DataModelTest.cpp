#include "KernelTest.h"

#include <cmath>

#include "QKPlotModel.h"

#include <algorithm>
#include <functional>

#include "QKSysMethod.h"
#include "QKUtil.h"

using DataModelTest = KernelTest;

namespace {

// Spreadsheet letters, counted independently of the kernel: 1 = A, 27 = AA, 703 = AAA.
std::string LetterNameOf(int n)
{
    std::string name;
    while (n > 0) {
        --n;
        name.insert(name.begin(), (char)('A' + n % 26));
        n /= 26;
    }
    return name;
}

} // namespace

TEST_F(DataModelTest, PagesTakeTheirKindsNameWithTheLowestFreeNumber)
{
    CQKProject& p = qkfxGetProject();
    struct { QKPageType type; const char* name; } cases[] = {
        {QK_PAGE_WKS, "Data1"},     {QK_PAGE_WKS, "Data2"},    {QK_PAGE_GRAPH, "Graph1"},
        {QK_PAGE_MATRIX, "Matrix1"}, {QK_PAGE_NOTES, "Notes1"}, {QK_PAGE_LAYOUT, "Layout1"},
        {QK_PAGE_EXCEL, "Book1"},
    };
    for (auto& c : cases) {
        CQKPage* page = p.CreatePage(c.type);
        ASSERT_NE(page, nullptr) << c.name;
        EXPECT_EQ(page->GetName(), c.name);
        EXPECT_EQ(p.GetActivePage(), page);
    }
    ASSERT_TRUE(p.DeletePage("data1"));
    EXPECT_EQ(p.CreatePage(QK_PAGE_WKS)->GetName(), "Data1");
    EXPECT_EQ(p.CreatePage(QK_PAGE_GRAPH, "GRAPH1"), nullptr) << "names are unique regardless of case";
    EXPECT_EQ(p.CreatePage(QK_PAGE_GRAPH, "1st"), nullptr) << "a name starts with a letter";
    EXPECT_EQ(p.CreatePage(QK_PAGE_GRAPH, "a b"), nullptr);
    EXPECT_TRUE(p.IsModified());
    p.New();
    EXPECT_EQ(p.GetNumPages(), 0);
    EXPECT_FALSE(p.IsModified());
}

// A project that says it is unmodified is closed without asking: every change of data must
// mark it.
TEST_F(DataModelTest, EveryChangeOfDataMarksTheProjectModified)
{
    CQKProject& p = qkfxGetProject();
    CQKWksPage* wks = static_cast<CQKWksPage*>(p.CreatePage(QK_PAGE_WKS));
    CQKMatrixPage* m = static_cast<CQKMatrixPage*>(p.CreatePage(QK_PAGE_MATRIX));
    CQKDataset* free = p.CreateDataset("curve", 2);
    std::function<void()> changes[] = {
        [&] { wks->GetColumn(1)->SetValue(0, 1); },
        [&] { wks->GetColumn(1)->SetText(1, "x"); },
        [&] { wks->GetColumn(1)->SetRange(0, 1); },
        [&] { wks->AddColumn(); },
        [&] { wks->RenameColumn(3, "Q"); },
        [&] { wks->DeleteColumn(3); },
        [&] { wks->SetName("Run"); },
        [&] { m->SetDimensions(2, 2); },
        [&] { m->SetCell(1, 1, 5); },
        [&] { free->SetValue(0, 2); },
        [&] { p.DeleteDataset("curve"); },
    };
    int i = 0;
    for (auto& change : changes) {
        SCOPED_TRACE(i++);
        p.SetProjectModified(false);
        change();
        EXPECT_TRUE(p.IsModified());
    }
}

// A NaN or an infinity never reaches a dataset, whichever way it is written (a float read
// from a binary file by the file plug-in came as NaN and showed as no number at all).
TEST_F(DataModelTest, NotANumberAndInfinityAreHeldAsMissing)
{
    CQKDataset* d = qkfxGetProject().CreateDataset("v", 0);
    const double odd[] = {NAN, INFINITY, -INFINITY, 2.5};
    d->SetValues(0, odd, 4);
    d->SetValue(5, -INFINITY);
    std::vector<double> taken = {1, NAN};
    CQKDataset* t = qkfxGetProject().CreateDataset("t", 0);
    t->TakeValues(std::move(taken));
    const double expected[] = {MISSING_VALUE, MISSING_VALUE, MISSING_VALUE, 2.5, MISSING_VALUE, MISSING_VALUE};
    for (int r = 0; r < 6; ++r)
        EXPECT_EQ(expected[r], d->GetValue(r)) << r;
    EXPECT_EQ(1, t->GetValue(0));
    EXPECT_EQ(MISSING_VALUE, t->GetValue(1));
}

TEST_F(DataModelTest, WorksheetColumnsAreDatasetsNamedAfterPageAndColumn)
{
    CQKProject& p = qkfxGetProject();
    CQKWksPage* wks = static_cast<CQKWksPage*>(p.CreatePage(QK_PAGE_WKS));
    ASSERT_EQ(wks->GetNumCols(), 2);
    EXPECT_EQ(wks->GetColumn(1)->m_type, QK_COLTYPE_X);
    EXPECT_EQ(wks->GetColumn(2)->GetName(), "Data1_B");
    for (int i = 0; i < 25; ++i)
        wks->AddColumn();
    EXPECT_EQ(wks->GetColumn(26)->m_columnName, "Z");
    EXPECT_EQ(wks->GetColumn(27)->m_columnName, "AA");
    EXPECT_EQ(wks->AddColumn("b"), nullptr) << "column names are unique regardless of case";

    CQKDataset* b = p.FindDataset("data1_b");
    ASSERT_EQ(b, wks->GetColumn(2));
    ASSERT_TRUE(wks->SetName("Run_7"));
    EXPECT_EQ(b->GetName(), "Run_7_B");
    EXPECT_EQ(p.FindDataset("Run_7_B"), b) << "page names may hold underscores";
    ASSERT_TRUE(wks->RenameColumn(2, "Volts"));
    EXPECT_EQ(p.FindDataset("Run_7_Volts"), b);
    EXPECT_FALSE(wks->RenameColumn(2, "A"));
}

// A new column takes the lowest letter name not in use, also after columns were deleted
// or renamed and when a later letter name was given by hand.
TEST_F(DataModelTest, NewColumnsTakeTheLowestFreeLetterName)
{
    CQKProject& p = qkfxGetProject();
    CQKWksPage* wks = static_cast<CQKWksPage*>(p.CreatePage(QK_PAGE_WKS));
    for (int i = 0; i < 4; ++i)
        wks->AddColumn(); // A .. F
    ASSERT_NE(wks->AddColumn("h"), nullptr);
    std::function<void()> steps[] = {
        [&] {},
        [&] { wks->DeleteColumn(3); },                 // C goes
        [&] { wks->RenameColumn(2, "Volts"); },        // B goes
        [&] { wks->RenameColumn(1, "Amps"); },         // A goes
        [&] { wks->DeleteColumn(wks->GetNumCols()); }, // the A just added goes
        [&] {                                          // B goes and is taken again by hand
            wks->DeleteColumn(wks->GetColumnIndex(wks->FindColumn("B")));
            wks->AddColumn("b");
        },
    };
    const char* expected[] = {"G", "C", "B", "A", "A", "I"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        steps[i]();
        CQKDataset* c = wks->AddColumn();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->m_columnName, expected[i]);
    }
    EXPECT_EQ(wks->FindColumn("volts"), wks->GetColumn(2));
    EXPECT_EQ(wks->FindColumn("Volts2"), nullptr);
}

// Adding a column costs a fixed number of name look-ups, not one per column already
// there: a 10,000-column worksheet (or a damaged file asking for 26,000) must not take
// minutes.
TEST_F(DataModelTest, AddingAColumnCostsFixedNameLookupsHoweverWide)
{
    CQKProject& p = qkfxGetProject();
    CQKWksPage* wks = static_cast<CQKWksPage*>(p.CreatePage(QK_PAGE_WKS));
    long long most = 0;
    for (int i = 0; i < 10000; ++i) {
        long long before = wks->GetNameLookupCount();
        ASSERT_NE(wks->AddColumn(), nullptr);
        most = std::max(most, wks->GetNameLookupCount() - before);
    }
    EXPECT_LE(most, 2);
    EXPECT_EQ(wks->GetColumn(10002)->m_columnName, LetterNameOf(10002));

    // Holes and names given by hand cost each one look-up more, once.
    long long before = wks->GetNameLookupCount();
    for (int i = 0; i < 100; ++i) {
        wks->DeleteColumn(2 + 50 * i);
        wks->AddColumn(LetterNameOf(10003 + 2 * i));
        wks->AddColumn();
        wks->AddColumn();
    }
    EXPECT_LE(wks->GetNameLookupCount() - before, 100 * (1 + 2 + 2) + 100);
    EXPECT_EQ(wks->GetNumCols(), 10002 + 200);
}

TEST_F(DataModelTest, DatasetsGrowOnWriteWithMissingValuesAndHoldTextCells)
{
    CQKDataset* d = qkfxGetProject().CreateDataset("raw", 0);
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(d->SetValue(4, 2.5));
    EXPECT_EQ(d->GetEnd(), 5);
    for (int row : {-1, 0, 3, 5, 1000})
        EXPECT_TRUE(IsMissingValue(d->GetValue(row))) << row;
    EXPECT_EQ(d->GetValue(4), 2.5);
    EXPECT_FALSE(d->SetValue(-1, 1));
    EXPECT_FALSE(d->SetValue(QK_MAX_ROWS, 1)) << "a write far beyond any dataset fails instead of allocating";

    ASSERT_TRUE(d->SetText(1, "n/a"));
    EXPECT_TRUE(d->IsText(1));
    EXPECT_TRUE(IsMissingValue(d->GetValue(1)));
    EXPECT_EQ(d->GetText(1), "n/a");
    d->SetValue(1, 0.1);
    EXPECT_FALSE(d->IsText(1));
    EXPECT_EQ(d->GetText(1), "0.1");
    EXPECT_EQ(d->GetText(0), "--");

    ASSERT_TRUE(d->SetRange(0, 2));
    EXPECT_TRUE(IsMissingValue(d->GetValue(4))) << "rows cut off by a smaller range are gone";
    EXPECT_EQ(d->GetValue(1), 0.1);
}

TEST_F(DataModelTest, HandlesOfDeletedDatasetsNeverResolveAgain)
{
    CQKProject& p = qkfxGetProject();
    CQKWksPage* wks = static_cast<CQKWksPage*>(p.CreatePage(QK_PAGE_WKS));
    CQKGraphPage* graph = static_cast<CQKGraphPage*>(p.CreatePage(QK_PAGE_GRAPH));
    INT_PTR b = wks->GetColumn(2)->GetHandle();
    QKPlotData data;
    data.dataset = "Data1_B";
    ASSERT_NE(qkfxAddPlot(graph->GetActiveLayer(), QK_PLOT_LINE, {data}, nullptr), nullptr);
    ASSERT_EQ(p.GetDatasetFromHandle(b), wks->GetColumn(2));

    ASSERT_TRUE(p.DeleteDataset("Data1_B"));
    EXPECT_EQ(p.GetDatasetFromHandle(b), nullptr);
    EXPECT_EQ(graph->GetActiveLayer()->GetNumPlots(), 0) << "graphs forget a deleted dataset";
    EXPECT_EQ(graph->GetActiveLayer()->FindTextObj("Legend"), nullptr) << "and their legends with it";
    CQKDataset* again = wks->AddColumn("B");
    EXPECT_NE(again->GetHandle(), b);
    EXPECT_EQ(p.GetDatasetFromHandle(1), nullptr) << "small numbers are no handles";

    EXPECT_EQ(p.CreateDataset("Data1_B", 3), nullptr) << "the name is a column's";
    EXPECT_FALSE(p.DeleteDataset("nothing"));
}

TEST_F(DataModelTest, MatrixKeepsItsCellsWhenResized)
{
    CQKMatrixPage* m = static_cast<CQKMatrixPage*>(qkfxGetProject().CreatePage(QK_PAGE_MATRIX));
    ASSERT_TRUE(m->SetDimensions(2, 3));
    ASSERT_TRUE(m->SetCell(2, 3, 7));
    EXPECT_FALSE(m->SetCell(3, 1, 1));
    ASSERT_TRUE(m->SetDimensions(4, 4));
    EXPECT_EQ(m->GetCell(2, 3), 7);
    EXPECT_TRUE(IsMissingValue(m->GetCell(4, 4)));
    EXPECT_FALSE(m->SetDimensions(0, 4));
    EXPECT_FALSE(m->SetDimensions(1 << 13, 1 << 13));
    EXPECT_EQ(m->GetRows(), 4);
}

TEST_F(DataModelTest, CallLogKeepsOperationsInOrder)
{
    CQKCallLog& log = qkfxGetCallLog();
    log.Add("print");
    log.Add("layer -a", "x");
    log.Add("Print");
    EXPECT_EQ(log.Find("PRINT"), 0);
    EXPECT_EQ(log.Find("print", 1), 2);
    EXPECT_EQ(log.Find("clr"), -1);
    EXPECT_EQ(log.GetAt(1).args, "x");
    EXPECT_EQ(log.ToString(), "print\nlayer -a: x\nPrint\n");
    log.Clear();
    EXPECT_EQ(log.GetCount(), 0u);

    for (size_t i = 0; i <= QK_CALL_LOG_MAX; ++i)
        log.Add("doc -uw", std::to_string(i));
    EXPECT_LE(log.GetCount(), QK_CALL_LOG_MAX);
    EXPECT_EQ(log.GetAt(log.GetCount() - 1).args, std::to_string(QK_CALL_LOG_MAX)) << "the newest stay";
    log.Clear();
}

TEST_F(DataModelTest, UtilitiesReadNumbersPathsAndIniFiles)
{
    struct { const char* text; bool ok; double value; } reals[] = {
        {" 2.5 ", true, 2.5}, {"1e3", true, 1000}, {"", false, 0}, {"3x", false, 0}, {"--", false, 0},
    };
    for (auto& c : reals) {
        double v = 0;
        EXPECT_EQ(CQKCString(c.text).GetReal(&v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(CQKCString::DoubleToStrByFormat(0.1, "*"), "0.1");
    EXPECT_EQ(CQKCString::DoubleToStrByFormat(2.0 / 3, "*3"), "0.667");
    EXPECT_EQ(CQKCString::DoubleToStrByFormat(2.5, "%.2f V"), "2.50 V");
    EXPECT_EQ(CQKCString::DoubleToStrByFormat(2.5, "%s"), "2.5") << "a format that would read a text is refused";
    EXPECT_EQ(CQKCString::DoubleToStrByFormat(MISSING_VALUE, "%.2f"), "--");
    int n = 0;
    EXPECT_TRUE(CQKCString("Data12").GetEndNumber(&n));
    EXPECT_EQ(n, 12);
    CQKCString s("abcdef");
    s.DeleteMid(1, 2);
    s.InsertString(1, "XY");
    EXPECT_EQ(s.GetString(), "aXYdef");

    CQKPath path("C:\\data\\run.1.qgs");
    EXPECT_EQ(path.GetFolder(), "C:\\data");
    EXPECT_EQ(path.GetTitle(), "run.1");
    EXPECT_EQ(path.GetExtension(), ".qgs");
    path.SetExtension("txt");
    EXPECT_EQ(path.GetPath(), "C:\\data\\run.1.txt");

    TempFile file("qxkernel_test.ini", "");
    CQKINIFile ini(file.path.c_str());
    ASSERT_TRUE(ini.WriteString("Fit", "Tolerance", "1e-9"));
    ASSERT_TRUE(ini.WriteInt("Fit", "MaxIter", 250));
    EXPECT_EQ(ini.ReadString("Fit", "Tolerance"), "1e-9");
    EXPECT_EQ(ini.ReadInt("Fit", "MaxIter"), 250);
    EXPECT_EQ(ini.ReadString("Fit", "Missing", "none"), "none");
}
