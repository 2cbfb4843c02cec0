// The sample plug-in as scripts reach it: loaded by the kernel by name, entered through
// QMDLL, its host requests answered from the kernel's data model.
#include <gtest/gtest.h>

#include <string>

#include "QKData.h"
#include "QKHost.h"
#include "QKScript.h"
#include "qxdefs.h"

namespace {

class SampleScripts : public ::testing::Test {
protected:
    void SetUp() override
    {
        qkfxGetProject().New();
        qkfxGetScript().Reset();
        qkfxGetScript().SetOutput(&SampleScripts::Catch, this);
        ASSERT_TRUE(qkfxRegisterScriptObject("Sample", "qxsampleplug.dll", QK_ENTRY_QMDLL));
        ASSERT_TRUE(Run("Sample.RESET()")) << err;
    }
    void TearDown() override { qkfxGetScript().SetOutput(nullptr, nullptr); }

    bool Run(const std::string& text)
    {
        out.clear();
        err.clear();
        return qkfxGetScript().Execute(text);
    }

    std::string out, err;

private:
    static void Catch(const char* text, int kind, void* user)
    {
        auto* self = static_cast<SampleScripts*>(user);
        (kind == 2 ? self->err : self->out) += std::string(text) + "\n";
    }
};

TEST_F(SampleScripts, PropertiesMethodsAndSubProperties)
{
    struct Case {
        const char* script;
        const char* expected;
    };
    const Case cases[] = {
        {"Sample.x = 2.5; Sample.count = -2.7; type $(Sample.X) $(SAMPLE.COUNT)", "2.5 -2\n"},
        {"Sample.title$ = hello there; %A = Sample.TITLE$; type %A", "hello there\n"},
        {"i = 2; r = Sample.ADD(1, 3*i); type $(r) $(Sample.ADD.SUM) $(Sample.RUNS)", "7 7 1\n"},
        {"Sample.V3 = 4; type $(Sample.V3) $(Sample.V1)", "4 0\n"},
        {"r = Sample.TEST(); type $(r)", "-1\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_TRUE(Run(c.script)) << err;
        EXPECT_EQ(out, c.expected);
    }
}

TEST_F(SampleScripts, ListingAndErrors)
{
    ASSERT_TRUE(Run("Sample.=")) << err;
    EXPECT_EQ(out.rfind("ADD()\n  ADD.SUM\t0\n", 0), 0u) << out;
    EXPECT_NE(out.find("\nAPPARENT\t1\n"), std::string::npos) << out;

    // A refused call is an error of the script; the plug-in keeps the reason.
    EXPECT_FALSE(Run("Sample.ADD(1, 2, 3)"));
    EXPECT_FALSE(err.empty());
    ASSERT_TRUE(Run("e = Sample.LASTERRID(); type $(e)")) << err;
    EXPECT_EQ(out, "900\n");
    ASSERT_TRUE(Run("Sample.LISTERR()")) << err;
    EXPECT_EQ(out.substr(0, out.find('\n')), "\t0");
}

TEST_F(SampleScripts, DatasetDivisionAndNames)
{
    ASSERT_TRUE(Run("win -t wks; worksheet -a 1;"
                    "for (i = 1; i <= 4; i += 1) { col(A)[i] = i; col(B)[i] = i - 2; }"
                    "n = Sample.DIVIDE(Data1_A, Data1_B, Data1_C); type $(n)"))
        << err;
    EXPECT_EQ(out, "1\n");
    CQKDataset* c = qkfxGetProject().FindDataset("Data1_C");
    ASSERT_NE(c, nullptr);
    ASSERT_EQ(c->GetEnd(), 4);
    EXPECT_EQ(c->GetValue(0), -1.0);
    EXPECT_EQ(c->GetValue(1), MISSING_VALUE);
    EXPECT_EQ(c->GetValue(2), 3.0);
    EXPECT_EQ(c->GetValue(3), 2.0);

    ASSERT_TRUE(Run("Sample.NAME(1, Data_1, A); %B = Sample.NAME.WORKSHEET$; %C = Sample.NAME.DATA1$;"
                    "type %B %C"))
        << err;
    EXPECT_EQ(out, "Data11 Data11_A\n");
}

} // namespace
