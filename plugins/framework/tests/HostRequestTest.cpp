// The request layer and the error list, in-process: what is sent, and what a plug-in
// sees when no host is bound or the host refuses.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "QmFramework.h"
#include "TestHost.h"

namespace {

class HostRequests : public HostedTest {
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

// A property kept in host memory is reached only between the owning method's two
// memory updates, and only when it is reached as that method's sub-property.
TEST_F(HostRequests, HookedSubPropertiesAreBracketedByTheirMethod)
{
    struct Hooked : QmReal {
        int IsHookedWithMemoryObject() override { return 1; }
    };
    struct Owner : QmMethod {
        std::vector<std::string> calls;
        int MemoryObjectUpdate(int flags, int phase) override
        {
            calls.push_back(std::to_string(flags) + ":" + std::to_string(phase));
            return 1;
        }
    };
    Hooked hooked;
    QmReal plain;
    QmTableEntry table[] = {{&hooked, "H"}, {&plain, "P"}, {nullptr, nullptr}};
    QmDLL root;
    Owner owner;
    double v = 5;
    EXPECT_EQ(root.find_value("h", QM_ACCESS_SET, &v, table, &owner), 1);
    EXPECT_EQ(root.find_value("P", QM_ACCESS_GET, &v, table, &owner), 1);
    EXPECT_EQ(root.find_value("H", QM_ACCESS_GET, &v, table, nullptr), 1);
    EXPECT_EQ(v, 5);
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"4:1", "4:0"}));
}

TEST_F(HostRequests, UnsetMarkAndDefaults)
{
    QmReal r;
    EXPECT_EQ(r.IsNeeded(), 0);
    r.SetValue(QM_UNSET_VALUE);
    EXPECT_EQ(r.IsNeeded(), 1);
    QmString s;
    EXPECT_EQ(s.IsNeeded(), 0);
    EXPECT_EQ(s.GetReal(), MISSING_VALUE);
    EXPECT_EQ(s.IsValid(), 0);
    s.SetText("");
    EXPECT_EQ(s.IsValid(), 1);
    QmBool b;
    EXPECT_EQ(b.GetReal(), MISSING_VALUE);
    EXPECT_EQ(r.Method("x", nullptr), 123);
    double result = 0;
    QmMethod m;
    EXPECT_EQ(m.Process(&result, nullptr), 0);
    EXPECT_EQ(result, QM_UNSET_VALUE);
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
