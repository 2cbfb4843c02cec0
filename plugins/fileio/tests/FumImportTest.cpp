// Worksheet-level methods: WKSBLOCK, and the Mathematica and SigmaPlot imports from
// fixtures assembled here byte by byte from the layouts the imports read.
#include "FumFixture.h"

#include <string.h>

#include "qxdefs.h"

namespace {

std::vector<unsigned char> Text(const std::string& s)
{
    return std::vector<unsigned char>(s.begin(), s.end());
}

std::vector<double> Column(const std::string& name)
{
    HostDataset* d = TestHost::Get().DatasetByName(name);
    return d ? d->values : std::vector<double>{-999};
}

template <typename T>
void PutAt(std::vector<unsigned char>& out, size_t at, T v)
{
    if (out.size() < at + sizeof v)
        out.resize(at + sizeof v, 0);
    memcpy(&out[at], &v, sizeof v);
}

void PutText(std::vector<unsigned char>& out, size_t at, const std::string& s)
{
    if (out.size() < at + s.size() + 1)
        out.resize(at + s.size() + 1, 0);
    memcpy(&out[at], s.c_str(), s.size() + 1);
}

// The 80-bit extended bytes of a double, by the x87 (an independent encoder).
void PutExtended(std::vector<unsigned char>& out, size_t at, double v)
{
    long double x = v;
    unsigned char b[16] = {};
    memcpy(b, &x, 10);
    if (out.size() < at + 10)
        out.resize(at + 10, 0);
    memcpy(&out[at], b, 10);
}

} // namespace

TEST_F(FumTest, WksBlockReadsARectangleOfNumbers)
{
    TestHost::Get().AddWorksheet("W", {"A", "B", "C"}, 0);
    WriteBytes(Path("b.txt"), Text("9 9\r\n1.5;2;3\r\n\r\n-4 5E1\r\n7 1e5\r\n8\r\n"));
    Value("OPEN", Path("b.txt"));
    ASSERT_EQ(Value("SETPOS", "5"), 5);
    ASSERT_EQ(Set("LISTSEP", 59), 1);
    ASSERT_EQ(Set("NBYTES", 4), 1);
    // Rows 1 to 4 (the empty line uses one up); the fourth line stops at 1e5.
    EXPECT_EQ(Value("WKSBLOCK", "W,2,3,1,0"), 3);
    EXPECT_EQ(Get("ERROR"), 1031);
    EXPECT_EQ(TestHost::Get().stringVars[25], "e5");
    EXPECT_EQ(Column("W_B"), (std::vector<double>{1.5, MISSING_VALUE, -4}));
    EXPECT_EQ(Column("W_C"), (std::vector<double>{2, MISSING_VALUE, 50}));
    EXPECT_EQ(Value("GETPOS"), 31);
    EXPECT_EQ(Get("NBYTES"), 4);
    EXPECT_EQ(Get("LISTSEP"), 59);
    // From there to the end of the file: ERROR 1030 in classic mode, 33 in extended.
    EXPECT_EQ(Value("WKSBLOCK", "W,1,1,10,0"), 1);
    EXPECT_EQ(Get("ERROR"), 1030);
    EXPECT_EQ(Column("W_A").at(9), 8);
    ASSERT_EQ(Value("SETPOS", "31"), 31);
    ASSERT_EQ(Set("NEWACTIONS", 1), 1);
    EXPECT_EQ(Run("WKSBLOCK", "W,1,1,10,0"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 33);
    // A limited block stops at its last row, behind that line.
    ASSERT_EQ(Value("SETPOS", "0"), 0);
    EXPECT_EQ(Value("WKSBLOCK", "W,1,2,1,1"), 1);
    EXPECT_EQ(Value("GETPOS"), 5);
    EXPECT_EQ(Run("WKSBLOCK", ""), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 10);
}

TEST_F(FumTest, MathematicaListsBecomeTextColumns)
{
    struct Row {
        std::string content;
        std::vector<std::vector<std::string>> columns;
    } rows[] = {
        {"{1, 2, 3}", {{"1", "2", "3"}}},
        {"{{1,2},\r\n {3,4}}", {{"1", "2"}, {"3", "4"}}},
        {"{1.5*^-7,-2}", {{"1.5E-7", "-2"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.content);
        TestHost::Get().Reset();
        TestHost::Get().AddWorksheet("M", {"A", "B"}, 0);
        ASSERT_EQ(Value("CLOSEALL"), 0);
        WriteBytes(Path("m.txt"), Text(row.content));
        Value("OPEN", Path("m.txt"));
        EXPECT_EQ(Value("MATHEMATICA", "M"), MISSING_VALUE);
        const char* names[] = {"M_A", "M_B"};
        for (size_t c = 0; c < row.columns.size(); ++c) {
            std::map<int, std::string>& texts = TestHost::Get().DatasetByName(names[c])->texts;
            ASSERT_EQ(texts.size(), row.columns[c].size()) << c;
            for (size_t r = 0; r < row.columns[c].size(); ++r)
                EXPECT_EQ(texts[static_cast<int>(r)], row.columns[c][r]);
        }
        EXPECT_EQ(TestHost::Get().Worksheet("M")->formats[1], 9);
    }
    struct Bad {
        std::string content;
        const char* worksheet;
        double error;
    } bad[] = {{"{{{1}}}", "M", 41}, {"1,2", "M", 41}, {"{1}", "Nowhere", 39}};
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.content);
        TestHost::Get().Reset();
        TestHost::Get().AddWorksheet("M", {"A"}, 0);
        WriteBytes(Path("bad.txt"), Text(b.content));
        Value("OPEN", Path("bad.txt"));
        EXPECT_EQ(Run("MATHEMATICA", b.worksheet), QM_NOT_HANDLED);
        EXPECT_EQ(Get("ERROR"), b.error);
        EXPECT_TRUE(TestHost::Get().DatasetByName("M_A")->texts.empty());
    }
}

namespace {

// A worksheet file of the Windows layout: the name at 32, the worksheet position at 50
// (for "JSDataWorksheet") or 80, then data records and title records.
std::vector<unsigned char> SigmaWinFile(const std::string& name, const std::vector<std::vector<double>>& columns,
                                        const std::vector<std::string>& titles, int missingKindAt,
                                        size_t truncateTo = 0)
{
    std::vector<unsigned char> f(200, 0);
    PutText(f, 32, name);
    const uint32_t p = 120;
    PutAt<uint32_t>(f, name == "JSDataWorksheet" ? 50 : 80, p);
    PutAt<int16_t>(f, p + 44, static_cast<int16_t>(columns.size() - 1));
    size_t at = p + 48;
    for (size_t d = 0; d < columns.size(); ++d) {
        f.resize(at + 32 + 16 * columns[d].size(), 0);
        f[at] = 1;
        PutAt<uint32_t>(f, at + 20, static_cast<uint32_t>(d));
        PutAt<uint32_t>(f, at + 28, static_cast<uint32_t>(16 * columns[d].size()));
        for (size_t i = 0; i < columns[d].size(); ++i) {
            size_t cell = at + 32 + 16 * i;
            PutExtended(f, cell, columns[d][i]);
            f[cell + 15] = static_cast<int>(i) == missingKindAt && d == 0 ? 3 : 17;
        }
        at = f.size();
    }
    for (size_t k = 0; k < titles.size(); ++k) {
        f.resize(at + 56, 0);
        f[at] = 2;
        PutText(f, at + 24, titles[k]);
        PutAt<uint16_t>(f, at + 48, static_cast<uint16_t>(k));
        at = f.size();
    }
    if (truncateTo)
        f.resize(truncateTo);
    return f;
}

} // namespace

TEST_F(FumTest, SigmaPlotWindowsWorksheetsImportWithTitles)
{
    for (const char* name : {"JSDataWorksheet", "Other"}) {
        SCOPED_TRACE(name);
        TestHost::Get().Reset();
        TestHost::Get().AddWorksheet("S", {"A", "B"}, 0);
        ASSERT_EQ(Value("CLOSEALL"), 0);
        WriteBytes(Path("s.jnb"), SigmaWinFile(name, {{1.5, -2, 1e300}, {0.25, 4}}, {"Time", "Volts"}, 1));
        Value("OPEN", Path("s.jnb"));
        ASSERT_EQ(Set("NBYTES", 2), 1);
        ASSERT_EQ(Set("SKIP", 3), 1);
        EXPECT_EQ(Value("SIGMAWIN", "S"), MISSING_VALUE);
        EXPECT_EQ(Column("S_A"), (std::vector<double>{1.5, MISSING_VALUE, 1e300}));
        EXPECT_EQ(Column("S_B"), (std::vector<double>{0.25, 4}));
        EXPECT_EQ(TestHost::Get().Worksheet("S")->labels[1], "Time");
        EXPECT_EQ(TestHost::Get().Worksheet("S")->labels[2], "Volts");
        // Every setting is as it was; the import ran in extended mode without leaving it.
        EXPECT_EQ(Get("NBYTES"), 2);
        EXPECT_EQ(Get("SKIP"), 3);
        EXPECT_EQ(Get("NEWACTIONS"), 0);
        EXPECT_EQ(Get("LISTSEP"), 44);
        EXPECT_EQ(Get("ERROR"), 0);
    }
    // A file that ends inside the second cell of the only column: the rest is missing.
    TestHost::Get().Reset();
    TestHost::Get().AddWorksheet("S", {"A"}, 0);
    ASSERT_EQ(Value("CLOSEALL"), 0);
    WriteBytes(Path("cut.jnb"), SigmaWinFile("Other", {{1, 2, 3}}, {}, -1, 120 + 48 + 32 + 16 + 12));
    Value("OPEN", Path("cut.jnb"));
    EXPECT_EQ(Value("SIGMAWIN", "S"), MISSING_VALUE);
    EXPECT_EQ(Column("S_A"), (std::vector<double>{1, MISSING_VALUE}));
}

TEST_F(FumTest, SigmaPlotDosWorksheetsImportTheirBlocks)
{
    // A header ending in byte 26 (a 26 at the very start does not end it), the position
    // P six bytes behind it, a second part ending in 26 at f, the blocks from f + 129.
    std::vector<unsigned char> f = {26, 'h', 'e', 'a', 'd', 26};
    const uint32_t p = 40;
    PutAt<uint32_t>(f, 6 + 6, p);
    f.resize(p, 0);
    for (char c : std::string("second part"))
        f.push_back(static_cast<unsigned char>(c));
    size_t fAt = f.size();
    f.push_back(26);
    std::vector<std::vector<double>> columns = {{1.5, -2.25}, {1e-300, 7, 8}};
    size_t block = fAt + 129;
    for (size_t c = 0; c < columns.size(); ++c) {
        size_t m = columns[c].size();
        size_t next = block + 20 + 8 * m + 5;
        PutAt<uint32_t>(f, block, static_cast<uint32_t>(next - block - 6));
        PutAt<uint32_t>(f, block + 4, static_cast<uint32_t>(c));
        PutAt<uint16_t>(f, block + 18, static_cast<uint16_t>(m));
        for (size_t i = 0; i < m; ++i)
            PutAt<double>(f, block + 20 + 8 * i, columns[c][i]);
        block = next;
    }
    PutAt<uint32_t>(f, block, 0);
    WriteBytes(Path("d.spw"), f);
    TestHost::Get().AddWorksheet("D", {"A", "B"}, 0);
    Value("OPEN", Path("d.spw"));
    EXPECT_EQ(Value("SIGMADOS", "D"), MISSING_VALUE);
    EXPECT_EQ(Column("D_A"), columns[0]);
    EXPECT_EQ(Column("D_B"), columns[1]);
    EXPECT_EQ(Get("NBYTES"), 1);

    // A block whose length points outside the file is refused, not followed.
    PutAt<uint32_t>(f, fAt + 129, 100000);
    WriteBytes(Path("bad.spw"), f);
    Value("OPEN", Path("bad.spw"));
    EXPECT_EQ(Run("SIGMADOS", "D"), QM_NOT_HANDLED);
    EXPECT_EQ(Get("ERROR"), 41);
}
