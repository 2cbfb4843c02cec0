// Text and memory helpers, the error reporter and the linear solvers.
#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitMemory.h"
#include "FitSession.h"
#include "FitUtil.h"
#include "TestHost.h"

TEST(FitText, NextTokenKeepsParenthesesWhole)
{
    const char* p = "a,(b,c),d";
    char out[16];
    std::string tokens;
    while ((p = NextToken(p, ",", out, sizeof out)) != nullptr)
        tokens += std::string("[") + out + "]";
    EXPECT_EQ("[a][(b,c)][d]", tokens);
}

TEST(FitText, NextTokenCutsToCapacity)
{
    char out[4];
    EXPECT_NE(nullptr, NextToken("abcdefgh,x", ",", out, sizeof out));
    EXPECT_STREQ("abc", out);
}

TEST(FitText, ParseOrdinal)
{
    const struct {
        const char* text;
        int expected;
    } cases[] = {{"-12", -12}, {"1a", -1}, {"", -1}, {"N/A", -1}, {"n/a", -1}, {"42", 42}, {"007", 7}};
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ParseOrdinal(c.text)) << c.text;
}

TEST(FitText, PathParts)
{
    char base[32];
    PathBaseName("C:\\x\\lib.old.dll", base, sizeof base);
    EXPECT_STREQ("lib", base);
    EXPECT_STREQ("f.fdf", PathFileName("C:/a\\b:f.fdf"));
}

TEST(FitText, LinesToCommaList)
{
    char text[] = "a\r\nb\r\n\r\nc\r\n";
    EXPECT_EQ(0, LinesToCommaList(text));
    EXPECT_STREQ("a,b,c", text);
    char shortText[] = "ab";
    EXPECT_EQ(1, LinesToCommaList(shortText));
    EXPECT_STREQ("ab", shortText);
}

// Occurrences go from the front, one after the other, even when they follow each other.
TEST(FitText, KeepCharCountRemovesFromTheFront)
{
    char text[] = ",,,x";
    KeepCharCount(text, ',', 1);
    EXPECT_STREQ(",x", text);
    char fewer[] = "a,b";
    KeepCharCount(fewer, ',', 3);
    EXPECT_STREQ("a,b", fewer);
}

TEST(FitText, NextWordAndPairs)
{
    char word[16];
    const char* p = NextWord("  abc_1.2 = 5", word, sizeof word);
    EXPECT_STREQ("abc_1.2", word);
    p = NextWord(p, word, sizeof word);
    EXPECT_STREQ("=", word);
    EXPECT_EQ(nullptr, NextWord("#x", word, sizeof word));
    char key[16], value[16];
    KeyOfPair("Names=a, b", key, sizeof key);
    ValueOfPair("Names=a, b", value, sizeof value);
    EXPECT_STREQ("Names", key);
    EXPECT_STREQ("a, b", value);
    ValueOfPair("plain", value, sizeof value);
    EXPECT_STREQ("", value);
}

// Texts compared a word at a time: only the bytes up to the first text's end count, wherever
// the end falls in its word, and whatever follows it in either buffer.
TEST(FitText, SameTextLooksUpToTheEndOnly)
{
    const char* texts[] = {"", "a", "b1*(1-exp(-b2*x))", "abcdefg", "abcdefgh", "abcdefghi", "b1*x^b2"};
    for (const char* text : texts)
        for (const char* other : texts) {
            char a[32], b[32];
            memset(a, 'x', sizeof a);
            memset(b, 'y', sizeof b);
            strcpy(a, text);
            strcpy(b, other);
            EXPECT_EQ(strcmp(text, other) == 0, SameText(a, b, sizeof a)) << text << " | " << other;
        }
    // A difference in any one byte, the end included, is found.
    for (size_t at = 0; at < 20; ++at) {
        char a[32] = "0123456789abcdefghi", b[32] = "0123456789abcdefghi";
        b[at] = at < 19 ? '#' : 'j';
        if (at == 19)
            b[20] = 0;
        EXPECT_FALSE(SameText(a, b, sizeof a)) << at;
    }
    // A buffer with no end is never the same.
    char full[8], same[8];
    memset(full, 'z', sizeof full);
    memset(same, 'z', sizeof same);
    EXPECT_FALSE(SameText(full, same, sizeof full));
}

// mu's kept texts are the free format's, whatever was kept before: values met again, values
// that share a place in the table, negative zero against zero, and short buffers.
TEST(FitText, KeptMuTextsAreTheFreeFormat)
{
    std::vector<double> values = {0.001, 0, -0.0, 1e300, 5e-324, -2.5, 1e7};
    for (double mu = 0.001; mu > 1e-20; mu *= 0.1)
        values.push_back(mu);
    for (double mu = 0.001; mu < 1e40; mu *= 10)
        values.push_back(mu);
    for (int i = 0; i < 300; ++i)  // more values than places
        values.push_back(1.0 + i / 7.0);
    for (int round = 0; round < 3; ++round)
        for (double v : values) {
            char expected[64], kept[64];
            FitFormatNumber(v, expected, sizeof expected);
            memset(kept, 'x', sizeof kept);
            FitFormatMu(v, kept, sizeof kept);
            ASSERT_STREQ(expected, kept) << v;
            for (size_t capacity : {size_t(1), size_t(4)}) {
                char shortExpected[8], shortKept[8];
                FitFormatNumber(v, shortExpected, capacity);
                FitFormatMu(v, shortKept, capacity);
                ASSERT_STREQ(shortExpected, shortKept) << v << " in " << capacity;
            }
        }
}

TEST(FitMemory, MatrixRowsAreDistinct)
{
    double** m = AllocMatrix(1, 3, 1, 4);
    ASSERT_NE(nullptr, m);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 4; ++c)
            m[r][c] = 10 * r + c;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 4; ++c)
            EXPECT_EQ(10 * r + c, m[r][c]);
    FreeMatrix(m, 1);
    EXPECT_EQ(nullptr, AllocMatrix(2, 1, 1, 1));
}

namespace {

// A bare session with n varying parameters named a, b, c, ... and the solver's arrays.
struct SolverSession {
    FittingSession* s;
    explicit SolverSession(int n)
    {
        s = AllocArray<FittingSession>(1);
        s->callback = TestHost::Callback;
        s->msgPrompt = 1;
        s->singularCriterion = 1e-60;
        s->nParams = s->nVary = n;
        s->alpha = AllocMatrix(0, n, 0, n);
        s->work = AllocMatrix(0, n, 0, n);
        s->svdV = AllocMatrix(0, n, 0, n);
        s->varyMap = AllocIndexed<int>(n);
        s->pivotRow = AllocIndexed<int>(n);
        s->pivotColumn = AllocIndexed<int>(n);
        s->pivotUsed = AllocIndexed<int>(n);
        s->rhs = AllocIndexed<double>(n);
        s->beta = AllocIndexed<double>(n);
        s->backup = AllocIndexed<double>(n);
        s->step = AllocIndexed<double>(n);
        s->singular = AllocIndexed<double>(n);
        s->names = static_cast<char(*)[PARAM_NAME_CHARS]>(AllocLockedBlock((n + 1) * PARAM_NAME_CHARS));
        for (int j = 1; j <= n; ++j) {
            s->varyMap[j] = j;
            s->names[j][0] = static_cast<char>('a' + j - 1);
        }
    }
    ~SolverSession()
    {
        FreeEngineArrays(s);
        FreeLockedBlock(s->names);
        FreeLockedBlock(s);
    }
};

}  // namespace

TEST(FitSolver, GaussJordanInverseTimesMatrixIsIdentity)
{
    const double a[3][3] = {{4, 7, 2}, {3, 6, 1}, {2, 5, 3}};
    double** m = AllocMatrix(0, 3, 0, 3);
    int r[4], c[4], u[4];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i + 1][j + 1] = a[i][j];
    ASSERT_EQ(0, GaussJordan(m, 3, nullptr, r, c, u));
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += a[i][k] * m[k + 1][j + 1];
            EXPECT_NEAR(i == j ? 1.0 : 0.0, sum, 1e-13) << i << "," << j;
        }
    double** singular = AllocMatrix(0, 2, 0, 2);
    singular[1][1] = singular[1][2] = singular[2][1] = singular[2][2] = 1;
    EXPECT_EQ(FIT_ERR_MATRIX_INVERSION, GaussJordan(singular, 2, nullptr, r, c, u));
    FreeMatrix(m, 0);
    FreeMatrix(singular, 0);
}

// alpha = [[1,1],[1,1]] with mu 0 is singular: the step and the working matrix come from
// the pseudo-inverse, which is [[1/4,1/4],[1/4,1/4]].
TEST(FitSolver, SingularSystemFallsBackToPseudoInverse)
{
    TestHost host;
    SolverSession ss(2);
    FittingSession* s = ss.s;
    s->alpha[1][1] = s->alpha[1][2] = s->alpha[2][1] = s->alpha[2][2] = 1;
    s->beta[1] = s->beta[2] = 2;
    s->mu = 0;
    EXPECT_EQ(0, SolveLMStep(s, 1));
    EXPECT_NEAR(1.0, s->step[1], 1e-12);
    EXPECT_NEAR(1.0, s->step[2], 1e-12);
    for (int i = 1; i <= 2; ++i)
        for (int j = 1; j <= 2; ++j)
            EXPECT_NEAR(0.25, s->work[i][j], 1e-12);
}

// A zero diagonal element goes straight to the decomposition and answers 28036, naming the
// parameter whose curvature is the smallest below 1 + mu.
TEST(FitSolver, ZeroDiagonalNamesTheParameterToFix)
{
    TestHost host;
    SolverSession ss(3);
    FittingSession* s = ss.s;
    s->alpha[1][1] = 4;
    s->alpha[3][3] = 9;
    s->mu = 0;
    EXPECT_EQ(FIT_ERR_FIX_PARAM, SolveLMStep(s, 0));
    EXPECT_NEAR(0.25, s->work[1][1], 1e-12);
    EXPECT_NEAR(0.0, s->work[2][2], 1e-12);
    EXPECT_NEAR(1.0 / 9, s->work[3][3], 1e-12);
    ASSERT_EQ(1u, host.errors.size());
    EXPECT_EQ(FIT_ERR_FIX_PARAM, host.errors[0].first);
    EXPECT_EQ("b", host.errors[0].second);
}

TEST(FitSolver, ZeroTraceIsReported)
{
    TestHost host;
    SolverSession ss(2);
    EXPECT_EQ(1, SolveLMStep(ss.s, 1));
    ASSERT_EQ(1u, host.errors.size());
    EXPECT_EQ(FIT_ERR_FORMULA, host.errors[0].first);
}

// The reporter: what reaches the host, what ERR shows afterwards, what is returned.
TEST(FitReport, Rules)
{
    const struct {
        int code, msgPrompt;
        bool pending;
        int reports;
        const char* text;
        int status;
    } cases[] = {
        {5, 1, false, 0, "", 5},
        {FIT_ERR_STOPPED, 0, false, 0, "", FIT_ERR_STOPPED},
        {FIT_ERR_STOPPED, 1, false, 1, "", FIT_ERR_STOPPED},
        {FIT_WARN_DEPENDENCY, 2, true, 0, "", 77},
        {FIT_WARN_DEPENDENCY, 1, true, 1, "a and b", FIT_WARN_DEPENDENCY},
        {FIT_ERR_CONSTRAINT_NAME, 1, false, 1, "q", FIT_ERR_CONSTRAINT_NAME},
        {FIT_ERR_NO_POINTS, 1, false, 0, "", FIT_ERR_NO_POINTS},
    };
    for (const auto& c : cases) {
        TestHost host;
        FittingSession* s = AllocArray<FittingSession>(1);
        s->callback = TestHost::Callback;
        s->status = 77;
        s->msgPrompt = c.msgPrompt;
        strcpy(s->unknownName, "q");
        if (c.pending)
            SetPendingText(s, "a and b");
        EXPECT_EQ(c.code, ReportFitError(s, TestHost::Callback, nullptr, c.code));
        ASSERT_EQ(static_cast<size_t>(c.reports), host.errors.size()) << c.code;
        if (c.reports) {
            EXPECT_EQ(c.text, host.errors[0].second) << c.code;
        }
        EXPECT_EQ(c.status, s->status) << c.code;
        FreeLockedBlock(s);
    }
}

TEST(FitReport, PendingTextServesOneReport)
{
    TestHost host;
    FittingSession* s = AllocArray<FittingSession>(1);
    s->callback = TestHost::Callback;
    s->msgPrompt = 1;
    SetPendingText(s, "P1");
    ReportFitError(s, TestHost::Callback, nullptr, FIT_ERR_PARAM_INIT);
    ReportFitError(s, TestHost::Callback, nullptr, FIT_ERR_PARAM_INIT);
    ASSERT_EQ(2u, host.errors.size());
    EXPECT_EQ("P1", host.errors[0].second);
    EXPECT_EQ("", host.errors[1].second);
    FreeLockedBlock(s);
}

TEST(FitHostRoutines, DatasetRangeAndValueLists)
{
    TestHost host;
    FittingSession* s = AllocArray<FittingSession>(1);
    s->callback = TestHost::Callback;
    const QFitDataset d = host.AddDataset("x", {MISSING_VALUE, 2, 3, MISSING_VALUE, 5, 6});
    QFitRowRanges rows = {};
    QFitXBounds bounds = {};
    EXPECT_EQ(0, GetDatasetRange(s, d, &rows, &bounds, true)) << "the whole range is in use";
    EXPECT_EQ(2, bounds.first);
    EXPECT_EQ(6, bounds.last);
    host.Dataset(d).used = {0, 4};
    EXPECT_EQ(1, GetDatasetRange(s, d, &rows, &bounds, true));
    EXPECT_EQ(0, rows.used.first);
    EXPECT_EQ(4, rows.used.end);
    EXPECT_EQ(2, bounds.first) << "first non-missing value inside the used range";
    EXPECT_EQ(3, bounds.last);
    EXPECT_EQ(1, IsDatasetInvalid(s, 0));
    EXPECT_EQ(0, IsDatasetInvalid(s, d));

    host.variables["K"] = 4;
    double numbers[3];
    int n = 0;
    EXPECT_EQ(0, ParseValueList(s, 3, 3, "1, k*2", numbers, &n));
    EXPECT_EQ(2, n);
    EXPECT_EQ(1, numbers[0]);
    EXPECT_EQ(8, numbers[1]);
    EXPECT_EQ(MISSING_VALUE, numbers[2]);
    EXPECT_EQ(1, ParseValueList(s, 3, 2, "1, nosuch", numbers, &n));
    int32_t integer = 0;
    EXPECT_EQ(0, ParseValueList(s, 2, 1, "k+0.5", &integer, &n));
    EXPECT_EQ(4, integer);
    // Names go into 8-byte slots; a name that would not fit ends the list.
    char names[3][8];
    EXPECT_EQ(0, ParseValueList(s, 1, 3, "ab, cd ef", names, &n));
    EXPECT_EQ(3, n);
    EXPECT_STREQ("ef", names[2]);
    EXPECT_EQ(1, ParseValueList(s, 1, 3, "ab, toolongname", names, &n));
    EXPECT_EQ(1, n);
    FreeLockedBlock(s);
}
