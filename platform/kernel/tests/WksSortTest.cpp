// Worksheet rows sorted by keys, columns filled from formulas, the selection's kind and
// column widths dragged with the mouse.
#include <windows.h>

#include <string>
#include <vector>

#include "KernelTest.h"
#include "QKScript.h"

namespace {

const double M = MISSING_VALUE;

class WksSortTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        ASSERT_NE(wks, nullptr);
        wks->AddColumn(); // C
    }
    // Fills a column (from 1) with cells: numbers, M for missing, or texts given as "t:..".
    void Fill(int column, const std::vector<std::string>& cells)
    {
        CQKDataset* c = wks->GetColumn(column);
        c->SetRange(0, 0);
        for (size_t r = 0; r < cells.size(); ++r) {
            if (cells[r].compare(0, 2, "t:") == 0)
                c->SetText((int)r, cells[r].substr(2));
            else if (cells[r] == "--")
                c->SetValue((int)r, M);
            else
                c->SetValue((int)r, atof(cells[r].c_str()));
        }
    }
    std::string Column(int column)
    {
        std::string s;
        CQKDataset* c = wks->GetColumn(column);
        for (int r = 0; r < c->GetEnd(); ++r)
            s += (r ? " " : "") + c->GetText(r);
        return s;
    }
    CQKWksPage* wks = nullptr;
};

TEST_F(WksSortTest, SortsRowsByKeys)
{
    struct Case {
        const char* what;
        std::vector<std::string> a, b;
        std::vector<const char*> keys;
        BOOL missingLargest;
        const char* wantA;
        const char* wantB;
    } cases[] = {
        {"ascending", {"3", "1", "2"}, {"30", "10", "20"}, {"A: A"}, 0, "1 2 3", "10 20 30"},
        {"descending", {"3", "1", "2"}, {"30", "10", "20"}, {"D: A"}, 0, "3 2 1", "30 20 10"},
        {"equal keys keep their order", {"1", "0", "1", "0"}, {"1", "2", "3", "4"}, {"A: A"}, 0, "0 0 1 1", "2 4 1 3"},
        {"equal keys keep their order descending", {"1", "0", "1", "0"}, {"1", "2", "3", "4"}, {"D: A"}, 0,
         "1 1 0 0", "1 3 2 4"},
        // Missing values at a column's end are no rows of it.
        {"missing values last", {"2", "--", "1"}, {"1", "2", "3"}, {"A: A"}, 1, "1 2", "3 1 2"},
        {"missing values first", {"2", "--", "1"}, {"1", "2", "3"}, {"A: A"}, 0, "-- 1 2", "2 3 1"},
        {"missing values largest descending", {"2", "--", "1"}, {"1", "2", "3"}, {"D: A"}, 1, "-- 2 1", "2 1 3"},
        {"texts after numbers, case ignored", {"t:pear", "5", "t:Apple", "t:banana"}, {"1", "2", "3", "4"},
         {"A: A"}, 0, "5 Apple banana pear", "2 3 4 1"},
        {"two keys", {"1", "2", "1", "2"}, {"5", "6", "7", "8"}, {"A: A", "D: B"}, 0, "1 1 2 2", "7 5 8 6"},
        {"second key ascending", {"1", "2", "1", "2"}, {"7", "8", "5", "6"}, {"D: A", "A: B"}, 0, "2 2 1 1",
         "6 8 5 7"},
        {"key of a shorter column", {"3", "1"}, {"1", "2", "3"}, {"A: A"}, 1, "1 3", "2 1 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fill(1, c.a);
        Fill(2, c.b);
        wks->SelectNone();
        std::string why;
        ASSERT_TRUE(wks->SortColumns((int)c.keys.size(), c.keys.data(), c.missingLargest, TRUE, &why)) << why;
        EXPECT_EQ(Column(1), c.wantA);
        EXPECT_EQ(Column(2), c.wantB);
    }
}

TEST_F(WksSortTest, SortsOnlyTheSelectedColumnsAndRows)
{
    Fill(1, {"4", "3", "2", "1"});
    Fill(2, {"40", "30", "20", "10"});
    Fill(3, {"9", "8", "7", "6"});
    // Rows 2 to 4 of column B, by B.
    wks->SelectCells(2, 1, 2, 3);
    const char* key[] = {"A: B"};
    ASSERT_TRUE(wks->SortColumns(1, key, 0, FALSE));
    EXPECT_EQ(Column(1), "4 3 2 1");
    EXPECT_EQ(Column(2), "40 10 20 30");
    // Whole columns A and B by B: C stays.
    wks->SelectColumns(1, 2);
    ASSERT_TRUE(wks->SortColumns(1, key, 0, FALSE));
    EXPECT_EQ(Column(1), "3 2 1 4");
    EXPECT_EQ(Column(2), "10 20 30 40");
    EXPECT_EQ(Column(3), "9 8 7 6");
}

TEST_F(WksSortTest, BadKeysChangeNothing)
{
    Fill(1, {"2", "1"});
    const char* cases[][1] = {{"A: Q"}, {"X: A"}, {"A"}, {""}};
    for (auto& keys : cases) {
        std::string why;
        EXPECT_FALSE(wks->SortColumns(1, keys, 0, TRUE, &why)) << keys[0];
        EXPECT_FALSE(why.empty()) << keys[0];
        EXPECT_EQ(Column(1), "2 1");
    }
    EXPECT_FALSE(wks->SortColumns(0, nullptr, 0, TRUE));
}

TEST_F(WksSortTest, FillsAColumnFromAFormula)
{
    Fill(1, {"1", "2", "3", "4"});
    Fill(2, {"10", "20", "--", "40"});
    struct Case {
        const char* formula;
        int first, end;
        const char* want;
    } cases[] = {
        {"i*2", 0, 4, "2 4 6 8"},
        {"col(A)+col(B)", 0, 4, "11 22 -- 44"},
        {"col(A)^2", 1, 3, "-- 4 9"},
        {"sqrt(-1)", 0, 2, ""},
        {"wcol(1)*i", 0, 3, "1 4 9"},
    };
    qkfxGetScript().SetVariable("i", 77);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        wks->GetColumn(3)->SetRange(0, 0);
        std::string why;
        ASSERT_TRUE(wks->SetValuesFromExpression(3, c.formula, c.first, c.end, &why)) << why;
        EXPECT_EQ(Column(3), c.want);
        EXPECT_EQ(wks->GetColumn(3)->m_function, c.formula);
    }
    double i = 0;
    ASSERT_TRUE(qkfxGetScript().GetVariable("i", &i));
    EXPECT_EQ(i, 77) << "the row variable keeps the user's value";
}

TEST_F(WksSortTest, AFormulaThatFailsChangesNothing)
{
    Fill(3, {"5", "6"});
    const char* bad[] = {"col(Q)", "1+", "nosuchname*2", ""};
    for (const char* f : bad) {
        std::string why;
        EXPECT_FALSE(wks->SetValuesFromExpression(3, f, 0, 2, &why)) << f;
        EXPECT_FALSE(why.empty()) << f;
        EXPECT_EQ(Column(3), "5 6");
    }
    std::string why;
    EXPECT_FALSE(wks->SetValuesFromExpression(3, "1", 2, 1, &why));
    EXPECT_FALSE(wks->SetValuesFromExpression(9, "1", 0, 1, &why));
}

TEST_F(WksSortTest, SelectionKinds)
{
    Fill(1, {"1", "2", "3"});
    struct Case {
        const char* what;
        int c1, r1, c2, r2; // r1 -1: whole columns; c1 0: whole rows r1 .. r2
        int kind;
    } cases[] = {
        {"one cell", 2, 1, 2, 1, 3},
        {"part of one column", 2, 0, 2, 2, 5},
        {"block", 1, 0, 2, 2, 6},
        {"part of one row", 1, 1, 3, 1, 7},
        {"one heading", 2, -1, 2, 0, 2},
        {"headings", 1, -1, 2, 0, 9},
        {"all headings", 1, -1, 3, 0, 4},
        {"one row number", 0, 2, 0, 2, 0},
        {"row numbers", 0, 1, 0, 2, 8},
    };
    for (const Case& c : cases) {
        if (c.c1 == 0)
            wks->SelectRows(c.r1, c.r2);
        else if (c.r1 < 0)
            wks->SelectColumns(c.c1, c.c2);
        else
            wks->SelectCells(c.c1, c.r1, c.c2, c.r2);
        EXPECT_EQ(wks->GetSelectionKind(), c.kind) << c.what;
    }
    wks->SelectNone();
    EXPECT_EQ(wks->GetSelectionKind(), 1);
}

TEST_F(WksSortTest, ColumnWidthFollowsTheMouseAtTheHeadingEdge)
{
    HWND view = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    RECT r = {0, 0, 400, 300};
    wks->SetDrawRect(r);
    int edge = wks->GetRowNumberWidth() + wks->GetColumnPixels(1);
    int y = wks->GetHeaderHeight() / 2;
    EXPECT_EQ(wks->HitTestColumnEdge(edge, y), 1);
    EXPECT_EQ(wks->HitTestColumnEdge(edge - 20, y), 0);
    EXPECT_EQ(wks->HitTestColumnEdge(edge, y + wks->GetHeaderHeight()), 0) << "only in the headings";
    const int oldWidth = wks->GetColumn(1)->m_width;
    LRESULT result;
    wks->WindowProc(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge, y), &result);
    wks->WindowProc(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge + 70, y), &result);
    wks->WindowProc(view, WM_LBUTTONUP, 0, MAKELPARAM(edge + 70, y), &result);
    EXPECT_GT(wks->GetColumn(1)->m_width, oldWidth);
    EXPECT_NEAR(wks->GetRowNumberWidth() + wks->GetColumnPixels(1), edge + 70, 10);
    EXPECT_EQ(wks->m_selC1, 0) << "a width drag selects nothing";
    // Dragged to the left edge the column keeps one character.
    edge = wks->GetRowNumberWidth() + wks->GetColumnPixels(1);
    wks->WindowProc(view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge, y), &result);
    wks->WindowProc(view, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(0, y), &result);
    wks->WindowProc(view, WM_LBUTTONUP, 0, MAKELPARAM(0, y), &result);
    EXPECT_EQ(wks->GetColumn(1)->m_width, 1);
    DestroyWindow(view);
}

} // namespace
