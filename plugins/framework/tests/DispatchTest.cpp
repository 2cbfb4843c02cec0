// The QMDLL entry, the dispatcher, the script object classes and the error list, driven
// through the sample plug-in's export as a host drives it.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "QmFramework.h"
#include "SamplePluginFixture.h"

TEST_F(SamplePlugin, DispatchAnswersAndStatusWord)
{
    struct Case {
        const char* method;
        const char* name;
        int code;
        int answer;
        int status; // read back with code 30 afterwards
    };
    const Case cases[] = {
        {nullptr, "X", OBJOP_GET_NUMBER, 1, -1},
        {nullptr, "x", OBJOP_GET_NUMBER, 1, -1},
        {nullptr, "NOPE", OBJOP_GET_NUMBER, 0, -1},
        {nullptr, "X", OBJOP_GET_NUMBER | OBJOP_FLAG_8000, 1, 0},
        {nullptr, "NOPE", OBJOP_GET_NUMBER | OBJOP_FLAG_8000, 2, 1},
        // A number read as a text is not found; X is both, a number of the sample's own
        // and the worksheet root's dataset name.
        {nullptr, "COUNT", OBJOP_GET_STRING, 0, -1},
        {nullptr, "X", OBJOP_GET_STRING, 1, -1},
        {nullptr, "title", OBJOP_GET_STRING, 1, -1},
        // Codes outside the table are not handled, whatever the name.
        {nullptr, "X", 21, 2, -1},
        {nullptr, "X", 16, 2, -1},
        {nullptr, "X", 2053, 2, -1},
        // Only the low 16 bits of the code count.
        {nullptr, "X", 0x10000 | OBJOP_GET_NUMBER, 1, -1},
        // Sub-properties of a method.
        {"ADD", "SUM", OBJOP_GET_NUMBER, 1, -1},
        {"add", "label", OBJOP_GET_STRING, 1, -1},
        {"ADD", "NOPE", OBJOP_GET_NUMBER, 0, -1},
        {"ADD", "NOPE", OBJOP_GET_NUMBER | OBJOP_FLAG_8000, 2, 2},
        {"NOSUCH", "SUM", OBJOP_GET_NUMBER, 0, -1},
        {"NOSUCH", "SUM", OBJOP_GET_NUMBER | OBJOP_FLAG_8000, 2, 1},
        // A method without sub-properties refuses every sub-property.
        {"ONE", "SUM", OBJOP_GET_NUMBER, 2, -1},
        // Method calls and their existence tests.
        {"ADD", "1,2", OBJOP_CALL_METHOD, 1, -1},
        {"FAIL", "", OBJOP_CALL_METHOD, 2, -1},
        // A method that ran but left a positive status is not handled, unlike a property.
        {"MARK", "", OBJOP_CALL_METHOD, 2, 1},
        {"NOSUCH", "", OBJOP_CALL_METHOD, 0, -1},
        {"ADD", "", OBJOP_CALL_METHOD | OBJOP_FLAG_8000, 1, 0},
        {"NOSUCH", "", OBJOP_CALL_METHOD | OBJOP_FLAG_8000, 2, 1},
        {nullptr, "", OBJOP_GET_NUMBER | OBJOP_FLAG_8000, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method ? c.method : "(root)") + "." + c.name + " code " + std::to_string(c.code));
        std::vector<char> result(QM_STRING_RESULT_SIZE, '\0');
        EXPECT_EQ(Call(c.method, c.name, result.data(), c.code), c.answer);
        EXPECT_EQ(Status(), c.status);
        // The status read does not change the status.
        EXPECT_EQ(Status(), c.status);
    }
}

TEST_F(SamplePlugin, ExistenceTestOfMethodDoesNotRunIt)
{
    double r = 0;
    ASSERT_EQ(Call("ADD", "1,2", &r, OBJOP_CALL_METHOD | OBJOP_FLAG_8000), 1);
    EXPECT_EQ(GetNumber("RUNS"), 0);
    ASSERT_EQ(Run("ADD", "1,2", &r), 1);
    EXPECT_EQ(r, 3.0);
    EXPECT_EQ(GetNumber("RUNS"), 1);
    EXPECT_EQ(GetNumber("SUM", "ADD"), 3.0);
    // Every call hands the host's context back and tells the host the method ended.
    EXPECT_EQ(TestHost::Get().CountRequests(HOST_REQ_300C), 1u);
    for (const HostRequestRecord& rec : TestHost::Get().log)
        EXPECT_NE(rec.text, "<wrong context>");
}

TEST_F(SamplePlugin, EmptyNameListsOnlyInOrdinaryCalls)
{
    double v = 0;
    EXPECT_EQ(Call(nullptr, "", &v, OBJOP_GET_NUMBER | OBJOP_FLAG_8000), 2);
    EXPECT_TRUE(TestHost::Get().printed.empty());
    EXPECT_FALSE(Listing().empty());
}

TEST_F(SamplePlugin, ListingText)
{
    SetNumber("X", 1.5);
    SetNumber("COUNT", 3);
    SetNumber("FLAG", 7);
    SetString("TITLE", "t");
    const std::vector<std::string> expected = {
        "ADD()", "  ADD.SUM\t0", "  ADD.LABEL$\t\"\"", "ONE()", "NOARGS()", "FAIL()", "RESET()",
        "DIVIDE()", "MARK()",
        "X\t1.5", "COUNT\t3", "FLAG\t1", "TITLE$\t\"t\"", "RUNS\t0",
        // An empty vector still shows one element line; DF's size cannot be read.
        "V1\t--", "NAMES1$\t\"\"",
        // The worksheet root's own members, then the standard ones.
        "TEST()", "NAME()", "  NAME.WORKSHEET$\t\"\"",
        "WORKSHEET$\t\"\"", "MATRIX$\t\"\"", "X$\t\"\"", "DATA$\t\"\"", "APPARENT\t1",
        "LISTERR()", "LASTERRID()", "ERROR\t0", "WARNMSG\t0", "MSG$\t\"\"",
    };
    EXPECT_EQ(Listing(), expected);
    std::vector<HostRequestRecord> formats = TestHost::Get().Requests(HOST_FORMAT_NUMBER);
    ASSERT_FALSE(formats.empty());
    for (const HostRequestRecord& f : formats)
        EXPECT_EQ(f.text, "*");
}

TEST_F(SamplePlugin, NumericPropertiesConvertOnSet)
{
    struct Case {
        const char* name;
        double set;
        double get;
    };
    const Case cases[] = {
        {"COUNT", -2.7, -2}, {"COUNT", 2.7, 2}, {"COUNT", 1e12, INT_MAX}, {"COUNT", -1e12, INT_MIN},
        {"FLAG", 0.5, 1}, {"FLAG", -3, 1}, {"FLAG", 0, 0}, {"X", -2.7, -2.7},
        {"X", MISSING_VALUE, MISSING_VALUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " := " + std::to_string(c.set));
        SetNumber(c.name, c.set);
        EXPECT_EQ(GetNumber(c.name), c.get);
    }
}

TEST_F(SamplePlugin, StringPropertiesKeepTextsThatFitTheHostBuffer)
{
    EXPECT_EQ(GetString("TITLE"), "");
    SetString("TITLE", "a \"quoted\" text");
    EXPECT_EQ(GetString("title"), "a \"quoted\" text");
    // Texts past 16 bits of length are kept up to what the host's buffer holds.
    std::string longText(70000, 'q');
    SetString("TITLE", longText);
    EXPECT_EQ(GetString("TITLE"), std::string(QM_STRING_RESULT_SIZE - 1, 'q'));
    SetString("MSG", "note");
    EXPECT_EQ(GetString("MSG"), "note");
}

TEST_F(SamplePlugin, MethodArgumentParsing)
{
    struct Case {
        const char* method;
        const char* args;
        int answer;
        double result;    // checked when the call is handled
        int lastError;    // LASTERRID afterwards (0: no new error in this call)
    };
    const Case cases[] = {
        {"ADD", "1,2", 1, 3, 0},
        {"ADD", " 4 , 5 ", 1, 9, 0},
        // An empty argument text keeps both values; an empty piece keeps that one.
        {"ADD", "", 1, 9, 0},
        {"ADD", ",7", 1, 11, 0},
        {"ADD", "1,2,3", 2, 0, QM_ERR_TOO_MANY_ARGS},
        {"ADD", "1,2,", 2, 0, QM_ERR_TOO_MANY_ARGS},
        {"ONE", "1,", 2, 0, QM_ERR_TOO_MANY_ARGS},
        {"NOARGS", "x", 2, 0, QM_ERR_TOO_MANY_ARGS},
        {"NOARGS", "", 1, QM_UNSET_VALUE, 0},
        // A number the host cannot evaluate fails the call instead of keeping a stale value.
        {"ADD", "1,zz", 2, 0, QM_ERR_BAD_ARGUMENT},
        // A text argument is kept as it stands; given only when a text came.
        {"ONE", "abc", 1, 1, 0},
        {"ONE", "", 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.method) + "(" + c.args + ")");
        double result = -5;
        int answer = Run(c.method, c.args, &result);
        EXPECT_EQ(answer, c.answer);
        if (answer == 1) {
            EXPECT_EQ(result, c.result);
        }
        double id = 0;
        ASSERT_EQ(Run("LASTERRID", "", &id), 1);
        if (c.lastError) {
            EXPECT_EQ(id, c.lastError);
        }
    }
    EXPECT_EQ(GetString("TITLE"), "abc");
}

TEST_F(SamplePlugin, ErrorListAndLastErrorId)
{
    double r = 0;
    ASSERT_EQ(Run("ADD", "1,2", &r), 1);
    TestHost::Get().printed.clear();
    ASSERT_EQ(Run("LISTERR", "", &r), 1);
    EXPECT_EQ(TestHost::Get().printed, std::vector<std::string>(10, "\t0"));
    EXPECT_EQ(r, -1.0);

    ASSERT_EQ(Run("ADD", "1,2,3", &r), 2);
    TestHost::Get().printed.clear();
    ASSERT_EQ(Run("LISTERR", "", &r), 1);
    std::vector<std::string> expected(10, "\t0");
    expected[0] = "SampleAdd\t900";
    EXPECT_EQ(TestHost::Get().printed, expected);
    // LISTERR neither clears the list nor notifies the host.
    TestHost::Get().printed.clear();
    size_t updates = TestHost::Get().CountRequests(HOST_REQ_300C);
    ASSERT_EQ(Run("LISTERR", "", &r), 1);
    EXPECT_EQ(TestHost::Get().printed, expected);
    EXPECT_EQ(TestHost::Get().CountRequests(HOST_REQ_300C), updates);

    // The failed call told the host why, by its newest error; a call that succeeds says nothing.
    std::vector<HostRequestRecord> reasons = TestHost::Get().Requests(HOST_FAILURE_REASON);
    ASSERT_EQ(reasons.size(), 1u);
    EXPECT_EQ(reasons[0].text, "error 900 in SampleAdd");

    // A later successful call clears the list but not the last error id.
    ASSERT_EQ(Run("ADD", "1,2", &r), 1);
    ASSERT_EQ(Run("LASTERRID", "", &r), 1);
    EXPECT_EQ(r, QM_ERR_TOO_MANY_ARGS);
    EXPECT_EQ(TestHost::Get().CountRequests(HOST_FAILURE_REASON), 1u);
}

TEST_F(SamplePlugin, ResetRestoresDefaults)
{
    SetNumber("X", 4);
    SetString("TITLE", "t");
    SetNumber("ERROR", 12);
    double r = 7;
    ASSERT_EQ(Run("ADD", "1,2", &r), 1);
    ASSERT_EQ(Run("RESET", "", &r), 1);
    EXPECT_EQ(r, 0.0);
    EXPECT_EQ(GetNumber("X"), 0);
    EXPECT_EQ(GetString("TITLE"), "");
    EXPECT_EQ(GetNumber("ERROR"), 0);
    EXPECT_EQ(GetNumber("SUM", "ADD"), 0);
}
