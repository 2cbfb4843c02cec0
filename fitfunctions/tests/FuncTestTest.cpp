// The test export FuncTest against a recording host: listing, dataset binding, the
// parameter-list tokens, and the two evaluation passes with their dataset slots.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "GoldenData.h"
#include "QmHost.h"

using namespace curvelib_test;

namespace {

// Datasets by name; handle = index + 1. A row whose value is NaN has no value.
struct FakeHost {
    std::vector<std::string> names;
    std::vector<std::vector<double>> values;
    std::vector<QFitRowRange> ranges;
    std::vector<std::string> lookups;
    std::vector<std::string> evaluated;
    int nullWrites = 0;

    INT_PTR Add(const std::string &name, std::vector<double> v = std::vector<double>(10, NAN))
    {
        names.push_back(name);
        values.push_back(v);
        ranges.push_back({-1, -1});
        return static_cast<INT_PTR>(names.size());
    }
    std::vector<double> &Of(const std::string &name)
    {
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name)
                return values[i];
        throw std::runtime_error("no dataset " + name);
    }
};

FakeHost *g_host = nullptr;

INT_PTR WINAPI Callback(HWND context, UINT request, INT_PTR a, INT_PTR b)
{
    FakeHost &h = *g_host;
    EXPECT_EQ(context, nullptr);
    switch (request) {
    case HOST_FIND_DATASET: {
        std::string name = reinterpret_cast<const char *>(a);
        h.lookups.push_back(name);
        for (size_t i = 0; i < h.names.size(); ++i) {
            if (h.names[i] == name) {
                if (b)
                    *reinterpret_cast<QFitRowRange *>(b) = {0, static_cast<int32_t>(h.values[i].size())};
                return static_cast<INT_PTR>(i + 1);
            }
        }
        return 0;
    }
    case HOST_EVAL_NUMBER: {
        const char *text = reinterpret_cast<const char *>(a);
        h.evaluated.push_back(text);
        char *end = nullptr;
        double v = std::strtod(text, &end);
        if (*end)
            return 1;
        *reinterpret_cast<double *>(b) = v;
        return 0;
    }
    case HOST_GET_VALUE: {
        auto *r = reinterpret_cast<QFitValueRecord *>(b);
        const std::vector<double> &v = h.values.at(a - 1);
        if (r->row < 0 || r->row >= static_cast<int>(v.size()) || std::isnan(v[r->row]))
            return 1;
        r->value = v[r->row];
        return 0;
    }
    case HOST_SET_VALUE: {
        if (a == 0) {
            ++h.nullWrites;
            return 1;
        }
        auto *r = reinterpret_cast<QFitValueRecord *>(b);
        h.values.at(a - 1).at(r->row) = r->value;
        return 0;
    }
    case HOST_SET_RANGE:
        if (a == 0) {
            ++h.nullWrites;
            return 1;
        }
        h.ranges.at(a - 1) = *reinterpret_cast<QFitRowRange *>(b);
        return 0;
    default:
        ADD_FAILURE() << "unexpected request " << request;
        return 1;
    }
}

std::vector<std::string> g_listed;

LRESULT CALLBACK ListWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_USER) {
        EXPECT_EQ(wp, 0u);
        g_listed.push_back(reinterpret_cast<const char *>(lp));
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

typedef int(WINAPI *FuncTestProc)(HWND, LPCSTR, LPCSTR, LPCSTR, HostCallback, int);

class CurvelibFuncTest : public testing::Test {
protected:
    FakeHost host;
    FuncTestProc funcTest = nullptr;

    void SetUp() override
    {
        g_host = &host;
        funcTest = reinterpret_cast<FuncTestProc>(GetProcAddress(Library(), "FuncTest"));
        ASSERT_NE(funcTest, nullptr);
    }
    int Call(int op, const char *method, const char *member, const char *value = nullptr)
    {
        return funcTest(nullptr, method, member, value, Callback, op);
    }
    // X = 0..9 with row 4 missing; Y and the 20 slots.
    void BindAll()
    {
        std::vector<double> xs;
        for (int i = 0; i < 10; ++i)
            xs.push_back(i == 4 ? NAN : i);
        host.Add("X", xs);
        host.Add("Y");
        for (char c = 'c'; c <= 'v'; ++c)
            host.Add(std::string("data1_") + c);
        ASSERT_EQ(Call(OBJOP_SET_STRING, nullptr, "x", "X"), 1);
        ASSERT_EQ(Call(OBJOP_SET_STRING, nullptr, "Y", "Y"), 1);
        ASSERT_EQ(Call(OBJOP_GET_NUMBER, nullptr, "deriv"), 1);
    }
};

} // namespace

TEST_F(CurvelibFuncTest, ListSendsEveryRowInTableOrder)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ListWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "CurvelibListTarget";
    RegisterClassA(&wc);
    HWND w = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    g_listed.clear();
    EXPECT_EQ(funcTest(w, nullptr, "LIST", nullptr, Callback, OBJOP_GET_NUMBER), 1);
    DestroyWindow(w);
    const Golden &g = GoldenData();
    ASSERT_EQ(g_listed.size(), g.table.size());
    for (size_t i = 0; i < g.table.size(); ++i)
        EXPECT_EQ(g_listed[i], "type " + g.table[i].row);
}

TEST_F(CurvelibFuncTest, BindingDatasets)
{
    host.Add("X", {1, 2, 3});
    EXPECT_EQ(Call(OBJOP_SET_STRING, nullptr, "x", "Unknown"), 0);
    EXPECT_EQ(Call(OBJOP_SET_STRING, nullptr, "x", "X"), 1);
    EXPECT_EQ(Call(OBJOP_SET_STRING, nullptr, "z", "X"), 0);
    EXPECT_EQ(Call(OBJOP_GET_NUMBER, nullptr, "deriv"), 1);
    ASSERT_EQ(host.lookups.size(), 22u);
    EXPECT_EQ(host.lookups[2], "data1_c");
    EXPECT_EQ(host.lookups[21], "data1_v");
    // Evaluation with no Y and no slots bound writes nothing to a null handle.
    EXPECT_EQ(Call(OBJOP_CALL_METHOD, "Line", "1 2"), 1);
    EXPECT_EQ(host.nullWrites, 0);
}

TEST_F(CurvelibFuncTest, ParameterTokens)
{
    BindAll();
    struct Row {
        const char *text;
        std::vector<std::string> tokens;
    } rows[] = {
        {"1,2 3", {"1", "2", "3"}},
        {"  4 ,, 5", {"4", "5"}},
        {"1+2", {}},
        {"2, 3+1", {"2"}},
        {"", {}},
        {"-1.5e3, a_b", {"-1.5e3", "a_b"}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.text);
        host.evaluated.clear();
        Call(OBJOP_CALL_METHOD, "Parabola", r.text);
        EXPECT_EQ(host.evaluated, r.tokens);
    }
    // A token the host cannot evaluate ends the call with 0; unknown functions too.
    EXPECT_EQ(Call(OBJOP_CALL_METHOD, "Line", "1, oops"), 0);
    EXPECT_EQ(Call(OBJOP_CALL_METHOD, "NoSuchModel", "1"), 0);
}

// Line with p = (2, 3) over X = 0..9 (row 4 without a value; the range is half-open and
// covers all ten rows):
// Y = 2 + 3x; slots 0 and 1 the analytic derivatives 1 and x, slot 2 the values again,
// slots 3 and 4 the forward differences, equal to 1 and x up to the step's rounding.
TEST_F(CurvelibFuncTest, EvaluatesBothPassesIntoTheSlots)
{
    BindAll();
    ASSERT_EQ(Call(OBJOP_CALL_METHOD, "Line", "2, 3"), 1);
    const std::vector<double> &y = host.Of("Y");
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        if (i == 4) {
            EXPECT_TRUE(std::isnan(y[i]));
            EXPECT_TRUE(std::isnan(host.Of("data1_c")[i]));
            EXPECT_TRUE(std::isnan(host.Of("data1_g")[i]));
            continue;
        }
        EXPECT_EQ(y[i], 2.0 + 3.0 * i);
        EXPECT_EQ(host.Of("data1_c")[i], 1.0);
        EXPECT_EQ(host.Of("data1_d")[i], static_cast<double>(i));
        EXPECT_EQ(host.Of("data1_e")[i], 2.0 + 3.0 * i);
        EXPECT_NEAR(host.Of("data1_f")[i], 1.0, 1e-6);
        EXPECT_NEAR(host.Of("data1_g")[i], i, 1e-6 * (1 + i));
        EXPECT_TRUE(std::isnan(host.Of("data1_h")[i]));
    }
    EXPECT_EQ(host.ranges[1].first, 0);
    EXPECT_EQ(host.ranges[1].end, 10);
}

// A function without a derivative block shows MISSING_VALUE in pass 1, never stale
// numbers; a failing row carries MISSING_VALUE into its numeric derivatives.
TEST_F(CurvelibFuncTest, MissingValuesWhereNothingWasComputed)
{
    BindAll();
    ASSERT_EQ(Call(OBJOP_CALL_METHOD, "PolyCtr5", "1 2 3 4 5 6 7"), 1);
    EXPECT_TRUE(IsMissingValue(host.Of("Y")[1]));
    EXPECT_TRUE(IsMissingValue(host.Of("data1_c")[1]));
    EXPECT_FALSE(IsMissingValue(host.Of("data1_j")[1]));   // slot 7: the values
    ASSERT_EQ(Call(OBJOP_CALL_METHOD, "Logarithm", "3"), 1);
    EXPECT_TRUE(IsMissingValue(host.Of("Y")[2]));
    EXPECT_TRUE(IsMissingValue(host.Of("data1_e")[2]));    // numeric derivative, x below p1
    EXPECT_FALSE(IsMissingValue(host.Of("Y")[5]));
}
