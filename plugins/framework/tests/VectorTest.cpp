// Vector properties: growth, texts, sorted insertion, the ten dataset names, and their
// numbered elements as a script reaches them through QMDLL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "QmFramework.h"
#include "SamplePluginFixture.h"
#include "TestHost.h"

namespace {

std::vector<std::string> Texts(QmVector& v)
{
    std::vector<std::string> out;
    for (int i = 0; i <= v.lastIndex; ++i)
        out.push_back(static_cast<const char*>(v.ItemAt(i)));
    return out;
}

TEST(Vectors, SizingAndGrowth)
{
    QmStringVector v(8, 20);
    ASSERT_EQ(v.SetVectorSize(0), 0);
    int n = -1;
    v.GetVectorSize(&n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(v.items, nullptr);

    ASSERT_EQ(v.SetText(45, "last"), 0);
    EXPECT_EQ(v.capacity, 60);
    v.GetVectorSize(&n);
    EXPECT_EQ(n, 46);
    for (int i = 0; i < 45; ++i)
        ASSERT_STREQ(static_cast<const char*>(v.ItemAt(i)), "") << i;
    // A write below the capacity keeps the block; one at the capacity grows it a step.
    void* block = v.items;
    ASSERT_EQ(v.SetText(59, "x"), 0);
    EXPECT_EQ(v.items, block);
    EXPECT_EQ(v.capacity, 60);
    ASSERT_EQ(v.SetText(60, "y"), 0);
    EXPECT_EQ(v.capacity, 80);
    EXPECT_STREQ(static_cast<const char*>(v.ItemAt(45)), "last");
    EXPECT_EQ(v.SetText(-1, "z"), 1);
    EXPECT_EQ(v.ItemAt(61), nullptr);

    // Texts are cut to the item size, terminator included.
    ASSERT_EQ(v.SetText(0, "abcdefghijk"), 0);
    EXPECT_STREQ(static_cast<const char*>(v.ItemAt(0)), "abcdefg");
    char out[64];
    ASSERT_EQ(v.GetValue(out, 0), 0);
    EXPECT_STREQ(out, "abcdefg");
    EXPECT_EQ(v.GetValue(out, 99), 1);

    ASSERT_EQ(v.SetVectorSize(3), 0);
    v.GetVectorSize(&n);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(v.capacity, 3);
}

TEST(Vectors, InsertSorted)
{
    struct Case {
        std::vector<const char*> in;
        int descending;
        std::vector<std::string> out;
    };
    const Case cases[] = {
        {{"b", "A", "c"}, 0, {"A", "b", "c"}},
        {{"b", "A", "c"}, 1, {"c", "b", "A"}},
        {{"same", "SAME", "a"}, 0, {"a", "same", "SAME"}},
        {{"only"}, 0, {"only"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.descending);
        QmStringVector v(240, 5);
        for (const char* s : c.in)
            ASSERT_EQ(v.InsertSorted(s, c.descending), 0);
        EXPECT_EQ(Texts(v), c.out);
    }
    // Items longer than any fixed scratch buffer compare in place.
    QmStringVector wide(1000, 0);
    std::string a(900, 'a'), b(900, 'a');
    b.back() = 'b';
    wide.InsertSorted(b.c_str(), 0);
    wide.InsertSorted(a.c_str(), 0);
    EXPECT_EQ(Texts(wide), (std::vector<std::string>{a, b}));
}

TEST(Vectors, NumericFamilies)
{
    QmDoubleVector d;
    ASSERT_EQ(d.SetValue(0.25, 2), 0);
    double v = 0;
    ASSERT_EQ(d.GetValue(&v, 2), 0);
    EXPECT_EQ(v, 0.25);
    ASSERT_EQ(d.GetValue(&v, 0), 0);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(d.GetValue(&v, 3), 1);
    QmIntVector i;
    ASSERT_EQ(i.SetValue(-2.7, 0), 0);
    ASSERT_EQ(i.GetValue(&v, 0), 0);
    EXPECT_EQ(v, -2.0);
    EXPECT_EQ(i.itemSize, 4);
}

TEST(Vectors, DatasetNamesHoldTen)
{
    QmClearErrors();
    QmDataNameVec names;
    names.count = 10;
    struct Case {
        int index;
        const char* text;
        int answer;
        int error;
    };
    const Case cases[] = {
        {0, "Data1_A", 0, 0}, {9, "Data1_J", 0, 0}, {10, "Data1_K", 1, QM_ERR_NAME_INDEX},
        {-1, "x", 1, QM_ERR_NAME_INDEX}, {3, "", 1, QM_ERR_NAME_EMPTY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        QmClearErrors();
        EXPECT_EQ(names.SetValue(c.text, c.index), c.answer);
        EXPECT_EQ(QmErrorCodeAt(1), c.error);
        if (c.error) {
            EXPECT_STREQ(QmErrorTextAt(1), "QmDataNameVec");
        }
    }
    char text[QM_STRING_RESULT_SIZE];
    ASSERT_EQ(names.GetValue(text, 9), 0);
    EXPECT_STREQ(text, "Data1_J");
    names.count = 2;
    EXPECT_EQ(names.GetValue(text, 9), 1);
    EXPECT_EQ(names.SetValue("Data1_C", 3), 1);
    EXPECT_EQ(names.SetValue("Data1_C", 2), 0);
}

TEST_F(SamplePlugin, VectorElementsThroughTheEntry)
{
    double v = 2.5;
    EXPECT_EQ(Call(nullptr, "V3", &v, OBJOP_SET_NUMBER), 1);
    double size = 0;
    EXPECT_EQ(Call(nullptr, "v", &size, OBJOP_GET_VECTOR_SIZE), 1);
    EXPECT_EQ(size, 3);
    EXPECT_EQ(GetNumber("V3"), 2.5);
    EXPECT_EQ(GetNumber("v1"), 0.0);
    // Element 0 does not exist; past the end the get fails; a bare name is no element.
    EXPECT_EQ(Call(nullptr, "V0", &v, OBJOP_GET_NUMBER), 0);
    EXPECT_EQ(Call(nullptr, "V4", &v, OBJOP_GET_NUMBER), 2);
    EXPECT_EQ(Call(nullptr, "V", &v, OBJOP_GET_NUMBER), 0);
    // A string vector is not a numeric one.
    EXPECT_EQ(Call(nullptr, "NAMES1", &v, OBJOP_GET_NUMBER), 0);
    SetString("NAMES2", "second");
    EXPECT_EQ(GetString("names2"), "second");

    size = 5;
    EXPECT_EQ(Call(nullptr, "V", &size, OBJOP_SET_VECTOR_SIZE), 1);
    EXPECT_EQ(GetNumber("V5"), 0.0);
    std::vector<std::string> lines = Listing();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "V5\t0"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "NAMES2$\t\"second\""), lines.end());

    // The nine-element result vectors refuse other elements with error 200.
    SetNumber("DF9", 4);
    EXPECT_EQ(GetNumber("DF9"), 4);
    SetNumber("DF1", 1);
    v = 0;
    EXPECT_EQ(Call(nullptr, "DF10", &v, OBJOP_GET_NUMBER), 2);
    EXPECT_EQ(v, 1.0);
    double id = 0;
    ASSERT_EQ(Run("ADD", "1,2"), 1);
    ASSERT_EQ(Run("LASTERRID", "", &id), 1);
    EXPECT_EQ(id, QM_ERR_PARA_INDEX);
    EXPECT_EQ(Call(nullptr, "DF", &size, OBJOP_GET_VECTOR_SIZE), 2);
}

TEST_F(SamplePlugin, DatasetDivisionThroughAMethod)
{
    TestHost& host = TestHost::Get();
    host.AddDataset("Num", {1, 1e300, 5, MISSING_VALUE});
    host.AddDataset("Den", {4, 1e-10, 0.5, 2});
    INT_PTR out = host.AddDataset("Out", {});
    double missing = -1;
    ASSERT_EQ(Run("DIVIDE", "Num,Den,Out", &missing), 1);
    EXPECT_EQ(missing, 2);
    const double M = MISSING_VALUE;
    EXPECT_EQ(host.Dataset(out)->values, (std::vector<double>{0.25, M, 10, M}));
    // A dataset that is not there fails the call with error 1000.
    EXPECT_EQ(Run("DIVIDE", "Num,Nothing,Out"), 2);
    double id = 0;
    ASSERT_EQ(Run("LASTERRID", "", &id), 1);
    EXPECT_EQ(id, QM_ERR_NO_DATASET);
}

} // namespace
