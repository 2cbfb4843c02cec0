// Dataset objects against the test host: attaching, ranges, the report of written rows,
// element-wise arithmetic with missing values, weights.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>
#include <vector>

#include "QmFramework.h"
#include "TestHost.h"

namespace {

const double M = MISSING_VALUE;

uint64_t Bits(double v)
{
    uint64_t b;
    memcpy(&b, &v, sizeof b);
    return b;
}

class Datasets : public HostedTest {
protected:
    static std::vector<double> Values(const QmData& d)
    {
        HostDataset* h = TestHost::Get().Dataset(d.handle);
        return h ? h->values : std::vector<double>{};
    }
};

TEST_F(Datasets, DivisionGuardsOverflowAndMissingValues)
{
    // Expected quotients are exact or formed by the compiler from the literals.
    struct Case {
        double a, d, q;
    };
    const Case cases[] = {
        {1e300, 1e-10, M}, {5, 0, M}, {0, 0, M}, {-5, 0, M}, {5, 0.5, 10},
        {-6, 3, -2}, {1e-300, 1e-10, 1e-300 / 1e-10}, {1e308, 2, 5e307},
        {M, 2, M}, {2, M, M},
    };
    std::vector<double> as, ds;
    for (const Case& c : cases) {
        as.push_back(c.a);
        ds.push_back(c.d);
    }
    TestHost::Get().AddDataset("A", as);
    TestHost::Get().AddDataset("D", ds);
    QmSourceData a("A", 0), d("D", 0);
    std::unique_ptr<QmData> q = a / d;
    std::vector<double> got = Values(*q);
    ASSERT_EQ(got.size(), std::size(cases));
    for (size_t i = 0; i < got.size(); ++i) {
        SCOPED_TRACE(std::to_string(cases[i].a) + " / " + std::to_string(cases[i].d));
        EXPECT_EQ(Bits(got[i]), Bits(cases[i].q));
    }
    // The same rule with a number and in place.
    std::unique_ptr<QmData> byZero = a / 0.0;
    for (double v : Values(*byZero))
        EXPECT_EQ(Bits(v), Bits(M));
    a /= 0.5;
    EXPECT_EQ(Values(a)[4], 10.0);
    EXPECT_EQ(Values(a)[0], 2e300);
    EXPECT_EQ(Bits(Values(a)[8]), Bits(M));
}

TEST_F(Datasets, MissingValuesStayMissingInArithmetic)
{
    TestHost::Get().AddDataset("Y", {1, M, 3});
    TestHost::Get().AddDataset("Z", {M, 2, 2});
    QmSourceData y("Y", 0), z("Z", 0);
    struct Case {
        const char* what;
        std::unique_ptr<QmData> result;
        std::vector<double> expected;
    };
    Case cases[] = {
        {"y * 2", y * 2.0, {2, M, 6}},
        {"y + 5", y + 5.0, {6, M, 8}},
        {"y - 1", y - 1.0, {0, M, 2}},
        {"y * z", y * z, {M, M, 6}},
        {"y + z", y + z, {M, M, 5}},
        {"y - z", y - z, {M, M, 1}},
        {"y / z", y / z, {M, M, 1.5}},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Values(*c.result), c.expected);
        EXPECT_EQ(c.result->CountMissing(), c.what[4] == 'z' ? 2 : 1);
    }
    y += 1.0;
    EXPECT_EQ(Values(y), (std::vector<double>{2, M, 4}));
    y *= z;
    EXPECT_EQ(Values(y), (std::vector<double>{M, M, 8}));
    y -= z;
    EXPECT_EQ(Values(y), (std::vector<double>{M, M, 6}));
}

TEST_F(Datasets, WritesBeyondTheEndAreReportedOnDestruction)
{
    TestHost& host = TestHost::Get();
    INT_PTR h = host.AddDataset("Long", std::vector<double>(10, 1.0));
    {
        QmResultData d("Long", 0);
        ASSERT_EQ(d.handle, h);
        EXPECT_EQ(d.first, 0);
        EXPECT_EQ(d.end, 10);
        ASSERT_EQ(d.SetAt(12, 7.0), 0);
        EXPECT_EQ(d.lastWritten, 12);
    }
    std::vector<HostRequestRecord> sizes = host.Requests(HOST_SET_SIZE_FORMAT);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].text, "0,13," + std::to_string(0x8002));
    EXPECT_EQ(host.Dataset(h)->values.size(), 13u);

    // A write inside the range reports the range as it is and loses nothing.
    host.log.clear();
    {
        QmResultData d("Long", 0);
        ASSERT_EQ(d.SetAt(3, 5.0), 0);
    }
    sizes = host.Requests(HOST_SET_SIZE_FORMAT);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].number, 13);
    EXPECT_EQ(host.Dataset(h)->values.size(), 13u);
    EXPECT_EQ(host.Dataset(h)->values[3], 5.0);

    // Only reading sends nothing.
    host.log.clear();
    {
        QmSourceData d("Long", 0);
        d.GetAt(1);
    }
    EXPECT_EQ(host.CountRequests(HOST_SET_SIZE_FORMAT), 0u);
}

TEST_F(Datasets, SetRangeAndTypeWords)
{
    struct Case {
        int kind;
        int word;
    };
    const Case words[] = {{0, 0x8000}, {1, 0x8001}, {2, 0x8005}, {3, 0x8002}, {4, 0x8009},
                          {0x1001, 0x8011}, {0x1003, 0x8012}, {5, 0}};
    for (const Case& c : words) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(QmData::TypeWord(c.kind), c.word);
    }

    TestHost::Get().AddDataset("S", std::vector<double>(4, 0.0));
    QmInterimData d("S", 0);
    ASSERT_EQ(d.SetRange(0, 0), 0);
    EXPECT_EQ(d.lastWritten, -1);
    ASSERT_EQ(d.SetRange(2, 5), 0);
    EXPECT_EQ(d.lastWritten, 2);
    EXPECT_EQ(d.first, 2);
    EXPECT_EQ(d.end, 5);

    // A refused range, or no host at all, changes nothing and is reported as failure.
    TestHost::Get().refuseAll = true;
    EXPECT_EQ(d.SetRange(0, 9), 1);
    EXPECT_EQ(d.end, 5);
    TestHost::Get().refuseAll = false;
    QmBindHost(nullptr, nullptr);
    EXPECT_EQ(d.SetRange(0, 9), 1);
    EXPECT_EQ(d.end, 5);
    d.settable = 0;
    QmBindHost(TestHost::Context(), &TestHost::Callback);
    EXPECT_EQ(d.SetRange(0, 9), 1);
}

TEST_F(Datasets, UnattachedAndRefusedReadsAreExactlyMissing)
{
    QmSourceData none("NoSuchSet", 0);
    EXPECT_EQ(none.handle, 0);
    EXPECT_EQ(Bits(none.GetAt(0)), 0x81AA74FE1C132C0EULL);
    EXPECT_EQ(Bits(none.GetWithMode(0)), Bits(M));
    EXPECT_EQ(none.SetAt(0, 1.0), 1);
    EXPECT_EQ(none.IsError(), 1);
    EXPECT_EQ(QmLastErrorId(), QM_ERR_NO_DATASET);
    EXPECT_STREQ(QmErrorTextAt(1), "QmSourceData");

    TestHost::Get().AddDataset("Short", {4.0});
    QmSourceData d("Short", 0);
    EXPECT_EQ(d.GetAt(0), 4.0);
    EXPECT_EQ(Bits(d.GetAt(5)), Bits(M));
    EXPECT_EQ(Bits(d.GetByKey(5.0)), Bits(M));
    EXPECT_EQ(d.GetByKey(0.0), 4.0);
    QmClearErrors();
    EXPECT_EQ(d.IsError(), 0);

    QmBindHost(nullptr, nullptr);
    EXPECT_EQ(Bits(d.GetAt(0)), Bits(M));
}

TEST_F(Datasets, NamesAreCutTo24Characters)
{
    std::string name(30, 'n');
    TestHost::Get().AddDataset(name.substr(0, 24), {1.0, 2.0});
    QmSourceData d(name.c_str(), 0);
    EXPECT_NE(d.handle, 0);
    EXPECT_EQ(TestHost::Get().Requests(HOST_FIND_DATASET).at(0).text, name.substr(0, 24));
    // An empty name with the skip flag asks nothing.
    TestHost::Get().log.clear();
    QmSourceData empty("", 1);
    EXPECT_TRUE(TestHost::Get().log.empty());
}

TEST_F(Datasets, AttachingByWorksheetColumnAndCopying)
{
    TestHost& host = TestHost::Get();
    host.AddWorksheet("Data1", {"A", "B"}, 3);
    INT_PTR colB = host.Worksheet("Data1")->columns[1];
    QmWksName wks;
    wks.SetText("Data1");
    QmSourceData byName(wks, "b");
    QmSourceData byOffset(wks, 1);
    QmSourceData byIndex(1, "Data1");
    EXPECT_EQ(byName.handle, colB);
    EXPECT_EQ(byOffset.handle, colB);
    EXPECT_EQ(byIndex.handle, colB);
    EXPECT_EQ(host.Requests(HOST_OPEN_DATASET).at(0).number, 2);
    EXPECT_EQ(byName.end, 3);

    QmWksName empty;
    QmSourceData none(empty, "A");
    EXPECT_EQ(none.handle, 0);
    QmSourceData temporary(-1, "Data1");
    EXPECT_NE(temporary.handle, 0);
    EXPECT_EQ(temporary.temporary, 1);

    byName.SetMode(2);
    byName.lastWritten = 1;
    QmSourceData copy(byName);
    EXPECT_EQ(copy.handle, colB);
    EXPECT_EQ(copy.mode, 2);
    EXPECT_EQ(copy.end, 3);
    EXPECT_EQ(copy.lastWritten, 1);
    host.log.clear();
    ASSERT_EQ(copy.SetWithMode(0, 9.0), 0);
    copy.GetWithMode(0);
    EXPECT_EQ(host.CountRequests(HOST_SET_VALUE_K2), 1u);
    EXPECT_EQ(host.CountRequests(HOST_GET_VALUE_K2), 1u);
    copy.SetMode(4);
    copy.GetWithMode(0);
    EXPECT_EQ(host.CountRequests(HOST_GET_VALUE_K4), 1u);
    EXPECT_EQ(host.Dataset(colB)->values[0], 9.0);
}

TEST_F(Datasets, AssignFillAndTemporaries)
{
    TestHost& host = TestHost::Get();
    host.AddDataset("Src", {1, 2, 3, 4});
    INT_PTR dst = host.AddDataset("Dst", {});
    QmSourceData src("Src", 0);
    QmResultData target("Dst", 0);
    std::unique_ptr<QmData> doubled = src * 2.0;
    EXPECT_EQ(doubled->temporary, 1);
    target.Assign(*doubled);
    EXPECT_EQ(host.Dataset(dst)->values, (std::vector<double>{2, 4, 6, 8}));
    // The temporary source is handed back once its values are copied; a named one not.
    EXPECT_EQ(host.CountRequests(HOST_DATASET_TEXT), 1u);
    target.Assign(src);
    EXPECT_EQ(host.CountRequests(HOST_DATASET_TEXT), 1u);

    QmTempData t(1, 3, 1);
    EXPECT_EQ(t.first, 1);
    EXPECT_EQ(t.end, 3);
    t.Fill(0.5);
    EXPECT_EQ(host.Dataset(t.handle)->values, (std::vector<double>{M, 0.5, 0.5}));
}

TEST_F(Datasets, WeightsAndSigmas)
{
    TestHost::Get().AddDataset("Err", {2.0, 0.0, 1e-100, M});
    QmErrData err("Err", 0);
    double w = 0;
    ASSERT_EQ(err.GetWeight(0, &w), 0);
    EXPECT_EQ(w, 0.25);
    ASSERT_EQ(err.GetSigma(0, &w), 0);
    EXPECT_EQ(w, 2.0);
    for (int row : {1, 2, 3}) {
        SCOPED_TRACE(row);
        QmClearErrors();
        w = 42;
        EXPECT_EQ(err.GetWeight(row, &w), 1);
        EXPECT_EQ(w, 42);
        EXPECT_EQ(QmLastErrorId(), QM_ERR_SMALL_SIGMA);
        EXPECT_STREQ(QmErrorTextAt(1), "QmErrData");
    }
    QmErrData none;
    ASSERT_EQ(none.GetWeight(0, &w), 0);
    EXPECT_EQ(w, 1.0);
}

TEST_F(Datasets, TextCellsPairsAndClipping)
{
    TestHost& host = TestHost::Get();
    INT_PTR h = host.AddDataset("T", std::vector<double>(6, 1.0));
    QmTextData d("T", 0);
    ASSERT_EQ(d.SetText(2, "cell"), 0);
    EXPECT_EQ(d.SetText(2, nullptr), 1);
    std::vector<char> buffer(QM_STRING_RESULT_SIZE, 'x');
    ASSERT_EQ(d.GetText(2, buffer.data()), 0);
    EXPECT_STREQ(buffer.data(), "cell");
    EXPECT_EQ(d.GetText(3, buffer.data()), 1);
    EXPECT_STREQ(buffer.data(), "");

    double pair[2] = {0, 6.5};
    ASSERT_EQ(d.SetPair(1, pair), 0);
    double back[2] = {};
    ASSERT_EQ(d.GetAttributes(1, back), 0);
    EXPECT_EQ(back[1], 6.5);
    EXPECT_EQ(d.GetAttributesInRange(9, back), 1);

    d.SetRows(1, 20);
    EXPECT_EQ(d.ClipRange(5), 1);
    EXPECT_EQ(d.first, 1);
    EXPECT_EQ(d.end, 6);
    EXPECT_EQ(d.ClipRange(6), 0);
    EXPECT_EQ(host.Dataset(h)->texts[2], "cell");
}

} // namespace
