// The console host as a user runs it: a script file in, printed lines and an exit code out.
#include "KernelTest.h"

namespace {

std::string Lines(std::string s)
{
    std::string t;
    for (char c : s)
        if (c != '\r')
            t += c;
    return t;
}

} // namespace

TEST(ConsoleHost, RunsAScriptFileAndAnswersWithItsOutcome)
{
    TempFile good("qxk_console.qgs",
                  "[Main]\n"
                  "win -t wks;\n"
                  "for (i = 1; i <= 3; i += 1) col(A)[i] = i;\n"
                  "col(B) = col(A) * 10;\n"
                  "type %1 $(col(B)[3]) $(wks.ncols);\n"
                  "return 0;\n");
    Result r = RunHost("\"" + good.path + "\" first");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    EXPECT_EQ(Lines(r.out), "first 30 2\n");

    TempFile bad("qxk_console_bad.qgs", "type before\nx = undefined + 1\ntype after\n");
    r = RunHost("\"" + bad.path + "\"");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_EQ(Lines(r.out), "before\n");
    EXPECT_NE(r.err.find("line 2: \"undefined\" is not defined"), std::string::npos) << r.err;

    r = RunHost("C:\\no\\such\\script.qgs");
    EXPECT_EQ(r.exitCode, 1u);
    EXPECT_NE(r.err.find("cannot open the script file"), std::string::npos) << r.err;

    r = RunHost("");
    EXPECT_EQ(r.exitCode, 2u);
    EXPECT_NE(r.err.find("usage"), std::string::npos);
}

// The fitter library itself, reached by name: its member listing comes back to the host
// window as script text, which the interpreter prints.
TEST(ConsoleHost, ListsTheFitObjectThroughTheFitterLibrary)
{
    TempFile script("qxk_console_fit.qgs", "qfit.=\n");
    Result r = RunHost("\"" + script.path + "\"");
    EXPECT_EQ(r.exitCode, 0u) << r.err;
    std::string out = Lines(r.out);
    EXPECT_EQ(out.substr(0, 6), "NPARA\n") << out;
    EXPECT_NE(out.find("\nFUNC$\n"), std::string::npos) << out;
    EXPECT_NE(out.find("\nINIT()\n"), std::string::npos) << out;
}
