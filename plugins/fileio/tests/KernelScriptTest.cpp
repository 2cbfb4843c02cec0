// fum as scripts reach it: the kernel's interpreter runs the script text, loads
// qxfileio.dll by name and answers its host requests.
#include "QKAccess.h"
#include "QKData.h"
#include "QKScript.h"

#include "qxdefs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

double Eval(const std::string& expression)
{
    double v = -999;
    EXPECT_TRUE(qkfxGetScript().Evaluate(expression.c_str(), &v)) << expression << ": "
                                                                   << qkfxGetScript().GetLastError();
    return v;
}

void RunScript(const std::string& text)
{
    EXPECT_TRUE(qkfxGetScript().Execute(text.c_str())) << text << ": " << qkfxGetScript().GetLastError();
}

std::string ScratchFile(const char* name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "qxfileio_script_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

} // namespace

TEST(FumScript, OpensAsksAndClosesFilesByNumber)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    std::string path = ScratchFile("a.dat");
    DeleteFileA(path.c_str());
    RunScript("fum.reset(); h = fum.open(" + path + ", 2); fum.newactions = 1");
    EXPECT_EQ(Eval("fum.hfile"), Eval("h"));
    EXPECT_EQ(Eval("fum.exists(" + path + ")"), 1);
    EXPECT_EQ(Eval("file.size()"), 0);
    RunScript("fum.close(h)");
    EXPECT_EQ(Eval("fum.hfile"), -1);
    EXPECT_EQ(Eval("fum.remove(" + path + ")"), 1);
    EXPECT_EQ(Eval("fum.exists(" + path + ")"), 0);
    qkfxGetAccess()->Uninit();
}

TEST(FumScript, WritesBinaryValuesAndReadsThemBack)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    std::string path = ScratchFile("v.bin");
    DeleteFileA(path.c_str());
    RunScript("fum.reset(); fum.open(" + path + ", 2); fum.signed = 1; fum.nbytes = 2;"
              "fum.write(-300); fum.dwrite(2.5); fum.rewind()");
    EXPECT_EQ(Eval("fum.read()"), -300);
    EXPECT_EQ(Eval("fum.dread()"), 2.5);
    EXPECT_EQ(Eval("fum.getpos()"), 10);
    RunScript("fum.closeall()");
    DeleteFileA(path.c_str());
    qkfxGetAccess()->Uninit();
}

TEST(FumScript, BlocksOfWorksheetColumnsRoundTrip)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1"));
    ASSERT_NE(wks, nullptr);
    const double values[] = {-1.5, 0.25, 1e10, -3};
    for (int i = 0; i < 4; ++i)
        wks->GetColumn(1)->SetValue(i, values[i]);
    std::string path = ScratchFile("block.bin");
    DeleteFileA(path.c_str());
    RunScript("fum.reset(); fum.open(" + path + ", 2); fum.nbytes = 8; fum.skip = 1;"
              "n = fum.awrite(Data1_A, 1, 4, 1); fum.rewind(); m = fum.aread(Data1_B, 2, 5, 1);"
              "fum.closeall()");
    EXPECT_EQ(Eval("n"), 4);
    EXPECT_EQ(Eval("m"), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Eval("Data1_B[" + std::to_string(i + 2) + "]"), values[i]) << i;
    DeleteFileA(path.c_str());
    qkfxGetAccess()->Uninit();
}

TEST(FumScript, BinaryRowsAppendToAWorksheet)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    auto* src = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Src"));
    ASSERT_NE(src, nullptr);
    for (int i = 0; i < 6; ++i)
        src->GetColumn(1)->SetValue(i, i + 1.5);
    auto* rows = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Rows"));
    ASSERT_NE(rows, nullptr);
    std::string path = ScratchFile("rows.bin");
    DeleteFileA(path.c_str());
    RunScript("fum.reset(); fum.open(" + path + ", 2); fum.nbytes = 8;"
              "fum.awrite(Src_A, 1, 6, 1); fum.rewind();"
              "r1 = fum.readrowbin(Rows, 3, 1); r2 = fum.readrowbin(Rows, 3, 1); fum.closeall()");
    EXPECT_EQ(Eval("r1"), 3);
    EXPECT_EQ(Eval("r2"), 3);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(rows->GetColumn(col + 1)->GetValue(row), row * 3 + col + 1.5) << row << "," << col;
    DeleteFileA(path.c_str());
    qkfxGetAccess()->Uninit();
}

TEST(FumScript, TextWrittenLineByLineReadsBackIntoWorksheetRows)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Data1"));
    ASSERT_NE(wks, nullptr);
    std::string path = ScratchFile("t.csv");
    DeleteFileA(path.c_str());
    RunScript("fum.reset(); fum.open(" + path + ", 1); fum.lwrite(\"1.5,-2,30\");"
              "fum.newactions = 1; %B = 4e2,5; fum.lwrite(B); %C = last line; fum.lwrite(C); fum.closeall()");
    RunScript("fum.reset(); fum.open(" + path + "); fum.readascii.stopmode = 8;"
              "n1 = fum.readascii(, Data1); n2 = fum.readascii(, Data1); n3 = fum.tread(D, 1)");
    // Number characters taken.
    EXPECT_EQ(Eval("n1"), 7);
    EXPECT_EQ(Eval("n2"), 4);
    EXPECT_EQ(Eval("Data1_A[1]"), 1.5);
    EXPECT_EQ(Eval("Data1_B[1]"), -2);
    EXPECT_EQ(wks->GetNumCols(), 3);
    EXPECT_EQ(Eval("Data1_C[1]"), 30);
    EXPECT_EQ(Eval("Data1_A[2]"), 400);
    EXPECT_EQ(Eval("Data1_B[2]"), 5);
    std::string line;
    ASSERT_TRUE(qkfxGetScript().GetStringVar(3, &line));
    EXPECT_EQ(line, "last line");
    EXPECT_EQ(Eval("n3"), 9);
    RunScript("fum.closeall()");
    DeleteFileA(path.c_str());
    qkfxGetAccess()->Uninit();
}

TEST(FumScript, RecordsWrittenFromOneWorksheetReadIntoAnother)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    auto* source = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Src"));
    auto* target = static_cast<CQKWksPage*>(qkfxGetProject().CreatePage(QK_PAGE_WKS, "Dst"));
    ASSERT_NE(source, nullptr);
    ASSERT_NE(target, nullptr);
    source->AddColumn("C");
    const double a[] = {1, -2, 300}, b[] = {0.5, 1e-5, -7.25}, c[] = {65535, 0, 12};
    for (int i = 0; i < 3; ++i) {
        source->GetColumn(1)->SetValue(i, a[i]);
        source->GetColumn(2)->SetValue(i, b[i]);
        source->GetColumn(3)->SetValue(i, c[i]);
    }
    std::string path = ScratchFile("rec.bin");
    DeleteFileA(path.c_str());
    RunScript("fum.reset(); fum.open(" + path + ", 2); w = fum.writerecord(Src, 3, -sh|d|2|sh);"
              "fum.rewind(); n = fum.readrecord(Dst, 3, -sh|d|2|sh); p = fum.getpos(); fum.closeall()");
    EXPECT_EQ(Eval("w"), 0);
    EXPECT_EQ(Eval("n"), 3);
    EXPECT_EQ(Eval("p"), 3 * 14);
    EXPECT_EQ(target->GetNumCols(), 3);
    for (int i = 0; i < 3; ++i) {
        std::string row = "[" + std::to_string(i + 1) + "]";
        EXPECT_EQ(Eval("Dst_A" + row), a[i]);
        EXPECT_EQ(Eval("Dst_B" + row), b[i]);
        EXPECT_EQ(Eval("Dst_C" + row), c[i]);
    }
    DeleteFileA(path.c_str());
    qkfxGetAccess()->Uninit();
}

// A line reader called once per line keeps what it found in the worksheet while the
// worksheet stays as it was; whatever the script changes between two lines, the next line
// goes where a reader looking everything up again would put it.
TEST(FumScript, LineReadersFollowWhatChangesBetweenLines)
{
    ASSERT_TRUE(qkfxGetAccess()->Init(nullptr, ""));
    std::string path = ScratchFile("rows.csv");
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fputs("1,2,3\r\n4,5,6\r\n7,8,9\r\n10,11,12\r\n", f);
    fclose(f);
    // The worksheet's columns, a cell each: a number, "--" for missing, 'text for a text.
    auto dump = [](const char* name) {
        auto* wks = static_cast<CQKWksPage*>(qkfxGetProject().FindPage(name));
        if (!wks)
            return std::string("none");
        std::string out;
        for (int c = 1; c <= wks->GetNumCols(); ++c) {
            CQKDataset* d = wks->GetColumn(c);
            out += d->m_columnName + ":";
            for (int r = 0; r < d->GetEnd(); ++r)
                out += " " + std::string(d->IsText(r) ? "'" : "") + d->GetText(r);
            out += "|";
        }
        return out;
    };
    struct {
        const char* between; // script run after two lines
        const char* data1;
        const char* old;
    } cases[] = {
        {"", "A: 1 4 7 10|B: 2 5 8 11|C: 3 6 9 12|", "none"},
        {"Data1_B[2] = 99", "A: 1 4 7 10|B: 2 99 8 11|C: 3 6 9 12|", "none"},
        {"Data1_A[4] = 0", "A: 1 4 -- 0 7 10|B: 2 5 -- -- 8 11|C: 3 6 -- -- 9 12|", "none"},
        {"wks.col2.format = 2", "A: 1 4 7 10|B: 2 5 '8 '11|C: 3 6 9 12|", "none"},
        {"wks.ncols = 2", "A: 1 4 7 10|B: 2 5 8 11|C: -- -- 9 12|", "none"},
        {"wks.col1.nrows = 0; wks.col2.nrows = 0; wks.col3.nrows = 1", "A: -- 7 10|B: -- 8 11|C: 3 9 12|", "none"},
        {"wks.name$ = Old; win -t wks", "A: 7 10|B: 8 11|C: 9 12|", "A: 1 4|B: 2 5|C: 3 6|"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.between);
        qkfxGetProject().New();
        RunScript("win -t wks; fum.reset(); fum.open(" + path + "); fum.linerow(Data1); fum.linerow(Data1)");
        RunScript(c.between);
        RunScript("for (i = 1; i <= 2; i += 1) fum.linerow(Data1); fum.closeall()");
        EXPECT_EQ(dump("Data1"), c.data1);
        EXPECT_EQ(dump("Old"), c.old);
    }
    DeleteFileA(path.c_str());
    qkfxGetAccess()->Uninit();
}
