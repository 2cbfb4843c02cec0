// The worksheet root: NAME through the sample plug-in's entry, and the root's own
// members and evenly spaced X values in-process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QmFramework.h"
#include "SamplePluginFixture.h"
#include "TestHost.h"
#include "qxtest/Numeric.h"

namespace {

TEST_F(SamplePlugin, NameMakesUnusedWorksheetAndDatasetNames)
{
    struct Case {
        const char* args;
        std::vector<std::string> taken;    // window names in use
        std::vector<std::string> datasets; // datasets that exist
        int answer;
        const char* worksheet;
        const char* data1; // first generated dataset name, or null for none (checked
                           // when the call is handled)
    };
    const Case cases[] = {
        {"1,Data_1,A", {}, {}, 1, "Data11", "Data11_A"},
        {",Data_1,A", {"Data11"}, {}, 1, "Data12", "Data12_A"},
        {"1,Data_1,A,B", {}, {"Data11_B"}, 1, "Data12", "Data12_A"},
        {"0,Book", {"Book"}, {}, 1, "Book", nullptr},
        {"0,Book,,A", {}, {}, 1, "Book", "Book_A"},
        {"1,A_B_C", {}, {}, 1, "AB1", nullptr},
        {"1,abcdefghijklmnopqrstuvwxyz,LONGCOL", {}, {}, 1, "abcdefghijklmn1", "abcdefghijklmn1_LONGCOL"},
        {"1", {}, {}, 2, "", nullptr},
        {"", {}, {}, 2, "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        TestHost& host = TestHost::Get();
        host.Reset();
        host.takenNames = c.taken;
        for (const std::string& d : c.datasets)
            host.AddDataset(d, {1.0});
        SetString("WORKSHEET", "", "NAME");
        double result = 0;
        EXPECT_EQ(Run("NAME", c.args, &result), c.answer);
        EXPECT_EQ(GetString("WORKSHEET", "NAME"), c.worksheet);
        if (c.answer != 1)
            continue;
        std::vector<char> text(QM_STRING_RESULT_SIZE);
        int got = Call("NAME", "DATA1", text.data(), OBJOP_GET_STRING);
        if (c.data1) {
            EXPECT_EQ(got, 1);
            EXPECT_STREQ(text.data(), c.data1);
        } else {
            EXPECT_EQ(got, 2);
        }
    }
    double id = 0;
    ASSERT_EQ(Run("LASTERRID", "", &id), 1);
    EXPECT_EQ(id, QM_ERR_NO_BASE_NAME);
}

TEST_F(SamplePlugin, NameGivesUpWhenEveryCandidateIsTaken)
{
    TestHost::Get().allNamesTaken = true;
    double result = 0;
    EXPECT_EQ(Run("NAME", "1,Data", &result), 2);
    EXPECT_EQ(TestHost::Get().CountRequests(HOST_NAME_IN_USE), 10000u);
    double id = 0;
    ASSERT_EQ(Run("LASTERRID", "", &id), 1);
    EXPECT_EQ(id, QM_ERR_TOO_MANY_NAMES);
    EXPECT_EQ(GetString("WORKSHEET", "NAME"), "");
}

TEST_F(SamplePlugin, TestAndResetOfTheWorksheetRoot)
{
    double result = 0;
    ASSERT_EQ(Run("TEST", "", &result), 1);
    EXPECT_EQ(result, -1.0);
    SetNumber("APPARENT", 0);
    SetString("WORKSHEET", "Data1");
    SetString("DATA", "Data1_B");
    ASSERT_EQ(Run("RESET", "", &result), 1);
    EXPECT_EQ(GetNumber("APPARENT"), 1);
    EXPECT_EQ(GetString("WORKSHEET"), "");
    EXPECT_EQ(GetString("DATA"), "");
}

class WorksheetRoot : public HostedTest {
};

TEST_F(WorksheetRoot, LinearDataEndsExactlyOnTheLastValue)
{
    // References: x1 + (x2 - x1) i / (n - 1) formed from exact fractions.
    struct Case {
        int rows;
        double x1, x2;
        std::vector<double> expected;
    };
    const Case cases[] = {
        {1, 3, 9, {3}},
        {2, 3, 9, {3, 9}},
        {5, 0, 1, {0, 0.25, 0.5, 0.75, 1}},
        {11, 0, 1, {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1}},
        {4, 1, -2, {1, 0, -1, -2}},
        {0, 0, 1, {}},
    };
    QmWks root;
    root.m_apparent.Set(0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        INT_PTR h = TestHost::Get().AddDataset("X" + std::to_string(c.rows), std::vector<double>(c.rows, -1.0));
        QmResultData d(("X" + std::to_string(c.rows)).c_str(), 0);
        ASSERT_EQ(root.MakeLinearData(d, c.x1, c.x2), 0);
        const std::vector<double>& got = TestHost::Get().Dataset(h)->values;
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_TRUE(qxtest::Close("row " + std::to_string(i), c.expected[i], got[i], 1e-15, 1e-16));
        if (!got.empty()) {
            EXPECT_EQ(got.back(), c.rows == 1 ? c.x1 : c.x2);
        }
    }

    // With APPARENT the ends are taken through the axis scale first.
    TestHost::Get().axisLog10 = true;
    root.m_apparent.Set(1);
    INT_PTR h = TestHost::Get().AddDataset("Log", std::vector<double>(3, 0.0));
    QmResultData d("Log", 0);
    ASSERT_EQ(root.MakeLinearData(d, 1, 100), 0);
    EXPECT_EQ(TestHost::Get().Dataset(h)->values, (std::vector<double>{0, 1, 2}));

    TestHost::Get().refuseAll = true;
    EXPECT_EQ(root.MakeLinearData(d, 1, 100), 1);
}

TEST_F(WorksheetRoot, GetWorksheetFindsTheNamedWindow)
{
    INT_PTR wks = TestHost::Get().AddWorksheet("Data1", {"A"}, 2);
    QmWks root;
    root.m_worksheetName.SetText("Data1");
    EXPECT_EQ(root.GetWorksheet(), wks);
    root.m_worksheetName.SetText("Nope");
    EXPECT_EQ(root.GetWorksheet(), 0);
    root.m_worksheetName.SetText("Data1");
    QmBindHost(nullptr, nullptr);
    EXPECT_EQ(root.GetWorksheet(), 0);
}

} // namespace
