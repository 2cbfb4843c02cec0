// Worksheets into matrices: every cell of the new matrix against values worked out here
// from the worksheet's data, by direct loops that share nothing with the conversions. The
// worksheet's own script, and the import run again.
#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "KernelTest.h"
#include "QKAccess.h"
#include "QKFile.h"
#include "qxtest/DialogDriver.h"

namespace {

const double M = MISSING_VALUE;

class WksToMatrixTest : public KernelTest {
protected:
    // Data1 with one column per vector (missing values as M), designated as given.
    CQKWksPage* Sheet(const std::vector<std::vector<double>>& columns, const std::vector<int>& types = {})
    {
        auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
        while (wks->GetNumCols() > 0)
            wks->DeleteColumn(1);
        for (size_t c = 0; c < columns.size(); ++c) {
            CQKDataset* col = wks->AddColumn();
            col->SetValues(0, columns[c].data(), (int)columns[c].size());
            if (c < types.size())
                col->m_type = types[c];
        }
        return wks;
    }
    // The matrix's cells row by row.
    static std::vector<double> Cells(const CQKMatrixPage* m)
    {
        std::vector<double> v;
        for (int r = 1; r <= m->GetRows(); ++r)
            for (int c = 1; c <= m->GetCols(); ++c)
                v.push_back(m->GetCell(r, c));
        return v;
    }
    static void ExpectCells(const CQKMatrixPage* m, int rows, int cols, const std::vector<double>& expected,
                            double tolerance = 0)
    {
        ASSERT_EQ(m->GetRows(), rows);
        ASSERT_EQ(m->GetCols(), cols);
        std::vector<double> got = Cells(m);
        for (size_t i = 0; i < expected.size(); ++i) {
            if (expected[i] == M || tolerance == 0)
                EXPECT_EQ(got[i], expected[i]) << "cell " << i / cols + 1 << "," << i % cols + 1;
            else
                EXPECT_NEAR(got[i], expected[i], tolerance) << "cell " << i / cols + 1 << "," << i % cols + 1;
        }
    }
    static void ExpectMap(const CQKMatrixPage* m, double x1, double x2, double y1, double y2)
    {
        EXPECT_DOUBLE_EQ(m->m_x1, x1);
        EXPECT_DOUBLE_EQ(m->m_x2, x2);
        EXPECT_DOUBLE_EQ(m->m_y1, y1);
        EXPECT_DOUBLE_EQ(m->m_y2, y2);
    }
};

TEST_F(WksToMatrixTest, DirectAndExpandCopyTheSelectedCells)
{
    struct Case {
        const char* what;
        int c1, c2, r1, r2; // the selection as the page keeps it (rows from 1, 0 whole columns)
        const char* command;
        int rows, cols;
        std::vector<double> cells;
    } cases[] = {
        {"nothing selected: every cell", 0, 0, 0, 0, "worksheet -m direct", 4, 3,
         {1, 10, 100, 2, M, 200, 3, 30, M, 4, 40, M}},
        {"one cell is where the user clicked: every cell", 2, 2, 3, 3, "worksheet -m direct", 4, 3,
         {1, 10, 100, 2, M, 200, 3, 30, M, 4, 40, M}},
        {"a block", 2, 3, 2, 3, "worksheet -m direct", 2, 2, {M, 200, 30, M}},
        {"whole columns: the rows they hold", 1, 2, 0, 0, "worksheet -m direct", 4, 2, {1, 10, 2, M, 3, 30, 4, 40}},
        {"rows of three, each column starting a row", 0, 0, 0, 0, "worksheet -m expand 3", 5, 3,
         {1, 2, 3, 4, M, M, 10, M, 30, 40, M, M, 100, 200, M}},
        {"rows of two of the third column", 3, 3, 0, 0, "worksheet -m expand 2", 2, 2, {100, 200, M, M}},
        {"rows as long as the columns", 1, 1, 0, 0, "worksheet -m expand 4", 1, 4, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qkfxGetProject().New();
        // Column C holds two values and a text; B a missing value.
        CQKWksPage* wks = Sheet({{1, 2, 3, 4}, {10, M, 30, 40}, {100, 200}});
        wks->GetColumn(3)->SetText(2, "n/a");
        wks->m_selC1 = c.c1;
        wks->m_selC2 = c.c2;
        wks->m_selR1 = c.r1;
        wks->m_selR2 = c.r2;
        ASSERT_TRUE(Run(c.command)) << err;
        CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
        ASSERT_NE(m, nullptr);
        ExpectCells(m, c.rows, c.cols, c.cells);
        ExpectMap(m, 1, c.cols, 1, c.rows);
        EXPECT_EQ(wks->GetColumn(3)->GetText(2), "n/a"); // the worksheet stays as it was
    }
}

TEST_F(WksToMatrixTest, BinningCountsThePairsInEachBin)
{
    // X in [0, 8], Y in [0, 4]: with 4 x 2 bins each bin is 2 wide in X and 2 high in Y.
    // The row with a missing Y is left out.
    const std::vector<double> x = {0, 1, 1.99, 2, 5, 7.5, 8, 8, 3, 4};
    const std::vector<double> y = {0, 3, 1, 2, 4, 0.5, 4, 1.999, M, 2};
    struct Case {
        int xBins, yBins;
        std::vector<int> types;
    } cases[] = {{4, 2, {}}, {3, 5, {}}, {1, 1, {}}, {4, 2, {QK_COLTYPE_Y, QK_COLTYPE_X, QK_COLTYPE_Y}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.xBins) + " x " + std::to_string(c.yBins));
        qkfxGetProject().New();
        // With designations, a leading Y column before the X column is passed over.
        std::vector<std::vector<double>> columns = {x, y};
        if (!c.types.empty())
            columns = {{9, 9, 9, 9, 9, 9, 9, 9, 9, 9}, x, y};
        Sheet(columns, c.types);
        ASSERT_TRUE(Run("worksheet -m bin " + std::to_string(c.xBins) + " " + std::to_string(c.yBins))) << err;
        // Counted here by comparing each value with the bins' edges.
        const double xw = 8.0 / c.xBins, yw = 4.0 / c.yBins;
        std::vector<double> expected((size_t)c.xBins * c.yBins, 0);
        for (size_t i = 0; i < x.size(); ++i) {
            if (y[i] == M)
                continue;
            int bx = 0, by = 0;
            while (bx < c.xBins - 1 && x[i] >= (bx + 1) * xw)
                ++bx;
            while (by < c.yBins - 1 && y[i] >= (by + 1) * yw)
                ++by;
            expected[(size_t)by * c.xBins + bx] += 1;
        }
        CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
        ASSERT_NE(m, nullptr);
        ExpectCells(m, c.yBins, c.xBins, expected);
        ExpectMap(m, xw / 2, 8 - xw / 2, yw / 2, 4 - yw / 2);
    }
}

TEST_F(WksToMatrixTest, RegularXYZPutsEachRowOnItsNode)
{
    // A 3 x 4 grid (X 0.5 .. 1.5 step 0.5, Y -1 .. 2 step 1) given in shuffled order, one
    // node left without a row.
    std::vector<double> x, y, z, expected(12, M);
    const int order[] = {7, 2, 11, 0, 5, 9, 3, 10, 1, 8, 4};
    for (int k : order) {
        int c = k % 3, r = k / 3;
        x.push_back(0.5 + 0.5 * c);
        y.push_back(-1 + r);
        z.push_back(100 * r + c + 0.25);
        expected[k] = 100 * r + c + 0.25;
    }
    Sheet({z, x, y}, {QK_COLTYPE_Z, QK_COLTYPE_X, QK_COLTYPE_Y});
    ASSERT_TRUE(Run("worksheet -m regular")) << err;
    CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
    ASSERT_NE(m, nullptr);
    ExpectCells(m, 4, 3, expected);
    ExpectMap(m, 0.5, 1.5, -1, 2);

    // The matrix's own X-Y-Z columns come back as the same matrix.
    ASSERT_TRUE(Run("matrix -xyz")) << err;
    ASSERT_TRUE(Run("worksheet -m regular")) << err;
    CQKMatrixPage* again = qkfxGetProject().GetActiveMatrix();
    ASSERT_NE(again, m);
    ExpectCells(again, 4, 3, expected);
    ExpectMap(again, 0.5, 1.5, -1, 2);
}

TEST_F(WksToMatrixTest, ConversionsThatCannotBeDoneSayWhyAndMakeNothing)
{
    struct Case {
        std::vector<std::vector<double>> columns;
        const char* command;
        const char* why;
    } cases[] = {
        {{{0, 1, 3}, {0, 0, 0}, {1, 2, 3}}, "worksheet -m regular", "X values are not evenly spaced"},
        {{{0, 1, 0}, {0, 0, 0}, {1, 2, 3}}, "worksheet -m regular", "two rows hold X = 0, Y = 0"},
        {{{0, 1}, {0, 1}}, "worksheet -m regular", "X, Y and Z columns are needed"},
        {{{1, 1, 1}, {0, 1, 2}, {5, 6, 7}}, "worksheet -m random 4 4", "X values are all equal"},
        {{{0, 1}, {0, 1}, {1, 2}}, "worksheet -m random 1 4", "at least two columns and two rows"},
        {{{M, M}, {M, M}, {M, M}}, "worksheet -m regular", "no row holds X, Y and Z values"},
        {{{1, 2}}, "worksheet -m bin 2 2", "X and Y columns are needed"},
        {{{}, {}}, "worksheet -m direct", "no cells to convert"},
        {{{1, 2}}, "worksheet -m expand 0", "0 is no count"},
        {{{1, 2}}, "worksheet -m direct 2", "worksheet -m knows"},
        {{{1}, {1}}, "worksheet -m direct", ""}, // the one that works, for contrast
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command + std::string(" ") + c.why);
        qkfxGetProject().New();
        Sheet(c.columns);
        bool ok = Run(c.command);
        EXPECT_EQ(ok, *c.why == 0) << err;
        EXPECT_NE(err.find(c.why), std::string::npos) << err;
        EXPECT_EQ(qkfxGetProject().GetActiveMatrix() != nullptr, *c.why == 0);
    }
}

TEST_F(WksToMatrixTest, RandomXYZWeighsEveryPointByItsInverseSquaredDistance)
{
    // X spans 0 .. 10 and Y 0 .. 2: distances are taken with each scaled to its range.
    const std::vector<double> x = {0, 10, 3, 7, 5, 2.5, 10};
    const std::vector<double> y = {0, 2, 1.5, 0.5, 1, 0.5, 2};
    const std::vector<double> z = {1, 5, -2, 4, 3, 0.5, 7}; // two points on the corner (10, 2)
    Sheet({x, y, z});
    ASSERT_TRUE(Run("worksheet -m random 20 20")) << err;
    CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->GetCols(), 20);
    ASSERT_EQ(m->GetRows(), 20);
    ExpectMap(m, 0, 10, 0, 2);
    std::vector<double> expected;
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 20; ++c) {
            const long double nx = 10.0L * c / 19, ny = 2.0L * r / 19;
            long double num = 0, den = 0, onSum = 0;
            int on = 0;
            for (size_t i = 0; i < x.size(); ++i) {
                long double dx = (x[i] - nx) / 10, dy = (y[i] - ny) / 2, d2 = dx * dx + dy * dy;
                if (std::fabs((double)d2) < 1e-24) {
                    onSum += z[i];
                    ++on;
                } else {
                    num += z[i] / d2;
                    den += 1 / d2;
                }
            }
            expected.push_back(on ? (double)(onSum / on) : (double)(num / den));
        }
    ExpectCells(m, 20, 20, expected, 1e-12);
    EXPECT_EQ(m->GetCell(1, 1), 1);   // on the point (0, 0)
    EXPECT_EQ(m->GetCell(20, 20), 6); // the mean of the two points on (10, 2)
}

TEST_F(WksToMatrixTest, CancelledRandomXYZGriddingLeavesNoMatrix)
{
    Sheet({{0, 1, 2, 3}, {0, 2, 1, 3}, {1, 2, 3, 4}});
    bool ok;
    {
        qxtest::CancelProgressBoxes cancel;
        ASSERT_TRUE(cancel.Installed());
        ok = Run("worksheet -m random 50 50");
    }
    EXPECT_FALSE(ok);
    EXPECT_NE(err.find("cancelled"), std::string::npos) << err;
    EXPECT_EQ(qkfxGetProject().GetActiveMatrix(), nullptr);
    // Not cancelled, the same conversion makes its matrix.
    ASSERT_TRUE(Run("worksheet -m random 50 50")) << err;
    EXPECT_NE(qkfxGetProject().GetActiveMatrix(), nullptr);
}

TEST_F(WksToMatrixTest, TheWorksheetScriptRunsOnItsWorksheetAndIsSaved)
{
    CQKWksPage* data = Sheet({{1, 2, 3}});
    auto* other = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS));
    ASSERT_EQ(qkfxGetProject().GetActivePage(), other);
    data->m_script = "%H_A[4] = 10 * wks.ncols;";
    std::string why;
    ASSERT_TRUE(data->RunScript(&why)) << why;
    EXPECT_EQ(qkfxGetProject().GetActivePage(), data);
    EXPECT_EQ(data->GetColumn(1)->GetValue(3), 10);

    data->m_script = "nosuchcommand 1;";
    EXPECT_FALSE(data->RunScript(&why));
    EXPECT_NE(why.find("nosuchcommand"), std::string::npos) << why;

    // Kept in the project file with its worksheet; a worksheet without one has none.
    data->m_script = "type \"line one\";\r\ntype two;";
    std::vector<BYTE> bytes;
    qkfxSaveProjectToMemory(bytes);
    qkfxGetProject().New();
    std::string error;
    ASSERT_TRUE(qkfxOpenProjectFromMemory(bytes.data(), bytes.size(), false, &error)) << error;
    auto* read = dynamic_cast<CQKWksPage*>(qkfxGetProject().FindPage("Data1"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->m_script, "type \"line one\";\r\ntype two;");
    EXPECT_EQ(dynamic_cast<CQKWksPage*>(qkfxGetProject().FindPage("Data2"))->m_script, "");
}

TEST_F(WksToMatrixTest, TheLastImportCommandRunsAgain)
{
    CQKAccess* access = qkfxGetAccess();
    const int lastImport = 34004;
    EXPECT_EQ(access->on_before_run_command("FILE", lastImport), 0);
    EXPECT_FALSE(Run("import -l"));
    EXPECT_NE(err.find("no import has been run yet"), std::string::npos) << err;

    // Other commands are not imports; the import command is remembered with its group.
    struct Step {
        int id;
        const char* script;
    } steps[] = {{34050, "imported = 1;"}, {33051, "other = 1;"}};
    for (const Step& s : steps) {
        access->OnCommandBegin(s.id, 0);
        access->run_resurce_string_ex("FILE", (std::string("p\nt\n") + s.script).c_str(), nullptr);
        access->OnCommandEnd(s.id, 0);
    }
    EXPECT_EQ(access->on_before_run_command("FILE", lastImport), 1);
    ASSERT_TRUE(Run("imported = 0; other = 0; import -l")) << err;
    EXPECT_EQ(Var("imported"), 1);
    EXPECT_EQ(Var("other"), 0);
}

} // namespace
