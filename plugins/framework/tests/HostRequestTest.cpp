// The request layer and the error list, in-process: what is sent, and what a plug-in
// sees when no host is bound or the host refuses.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "QmFramework.h"
#include "TestHost.h"

namespace {

class HostRequests : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestHost::Get().Reset();
        QmBindHost(TestHost::Context(), &TestHost::Callback);
        QmClearErrors();
    }
    void TearDown() override { QmBindHost(nullptr, nullptr); }
};

TEST_F(HostRequests, StringVariableLetters)
{
    struct Case {
        char letter;
        int answer;
        int index; // -1: nothing sent
    };
    const Case cases[] = {{'A', 1, 0}, {'b', 1, 1}, {'q', 1, 16}, {'Z', 1, 25},
                          {'1', 0, -1}, {'%', 0, -1}, {'[', 0, -1}, {'@', 0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("letter ") + c.letter);
        TestHost::Get().log.clear();
        EXPECT_EQ(QmSetStringVariable(c.letter, "text"), c.answer);
        std::vector<char> buffer(QM_STRING_RESULT_SIZE);
        EXPECT_EQ(QmGetStringVariable(c.letter, buffer.data()), c.answer);
        if (c.index < 0) {
            EXPECT_TRUE(TestHost::Get().log.empty());
            continue;
        }
        ASSERT_EQ(TestHost::Get().log.size(), 2u);
        EXPECT_EQ(TestHost::Get().log[0].number, c.index);
        EXPECT_EQ(TestHost::Get().log[1].number, c.index);
        EXPECT_STREQ(buffer.data(), "text");
    }
}

TEST_F(HostRequests, WithoutHostNothingIsReportedAsDone)
{
    QmBindHost(nullptr, nullptr);
    char buffer[8] = "keep";
    EXPECT_EQ(QmGetStringVariable('a', buffer), 0);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(QmSetStringVariable('a', "x"), 0);
    double v = 42;
    EXPECT_NE(QmEvalNumber("1", &v), 0);
    EXPECT_EQ(v, 42);
    QmPrintText("nobody listens");
    QmUpdateHost();
    // A numeric argument cannot be evaluated without a host: the call fails.
    QmReal argument;
    EXPECT_NE(argument.SetExpValue("3"), 0);
    EXPECT_EQ(argument.given, 0);
}

TEST_F(HostRequests, RefusedEvaluationKeepsTheValue)
{
    TestHost::Get().refuseAll = true;
    double v = 42;
    EXPECT_NE(QmEvalNumber("1", &v), 0);
    EXPECT_EQ(v, 42);
    TestHost::Get().refuseAll = false;
    EXPECT_EQ(QmEvalNumber("2.5", &v), 0);
    EXPECT_EQ(v, 2.5);
}

TEST_F(HostRequests, FormatNumberFallsBackWhenTheHostWritesNothing)
{
    char text[64];
    QmFormatNumber(1.5, text, sizeof text);
    EXPECT_STREQ(text, "1.5");
    EXPECT_EQ(TestHost::Get().Requests(HOST_FORMAT_NUMBER).at(0).text, "*");
    QmBindHost(nullptr, nullptr);
    QmFormatNumber(MISSING_VALUE, text, sizeof text);
    EXPECT_STREQ(text, "--");
    QmFormatNumber(0.25, text, 3);
    EXPECT_STREQ(text, "0.");
}

TEST_F(HostRequests, ErrorRingKeepsTheLastTenNewestFirst)
{
    EXPECT_EQ(QmErrorRecorded(), 0);
    QmRecordError(7, "First");
    EXPECT_EQ(QmErrorRecorded(), 1);
    EXPECT_EQ(QmNewestErrorSlot(), 1);
    EXPECT_STREQ(QmErrorTextAt(1), "First");
    // Eleven reports after a clear: the ring index wraps and overwrites slot 1 last.
    QmClearErrors();
    for (int code = 1; code <= 11; ++code)
        QmRecordError(code, code == 11 ? nullptr : "C");
    EXPECT_EQ(QmNewestErrorSlot(), 1);
    EXPECT_EQ(QmErrorCodeAt(1), 11);
    EXPECT_EQ(QmErrorTextAt(1), nullptr);
    EXPECT_EQ(QmErrorCodeAt(0), 10);
    EXPECT_EQ(QmErrorCodeAt(2), 2);
    EXPECT_EQ(QmLastErrorId(), 11);
    QmClearErrors();
    for (int slot = 0; slot < QM_ERROR_SLOTS; ++slot) {
        EXPECT_EQ(QmErrorCodeAt(slot), 0);
        EXPECT_EQ(QmErrorTextAt(slot), nullptr);
    }
    EXPECT_EQ(QmLastErrorId(), 11);
}

TEST_F(HostRequests, IsErrorFollowsTheListAcrossBegin)
{
    QmMethod method;
    QmRecordError(5, "Old");
    ASSERT_EQ(method.Begin("", nullptr), 0);
    EXPECT_EQ(method.IsError(), 0);
    method.RecordError(QM_ERR_TOO_MANY_ARGS);
    EXPECT_EQ(method.IsError(), 1);
    EXPECT_STREQ(QmErrorTextAt(1), "QmMethod");
}

TEST_F(HostRequests, LiveObjectCounter)
{
    int before = QmBaseObj::s_count;
    {
        QmString a;
        QmMethod m;
        m.AddArgument(new QmReal);
        EXPECT_EQ(QmBaseObj::s_count, before + 3);
    }
    EXPECT_EQ(QmBaseObj::s_count, before);
}

} // namespace
