// The compiled form against the interpreter: every text runs both ways from the same state
// and must give the same values, bit for bit, the same missing values and the same errors.
#include <math.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "KernelTest.h"
#include "QKHost.h"
#include "QKSysMethod.h"

namespace {

class CompiledScriptTest : public KernelTest {
protected:
    void SetUp() override
    {
        KernelTest::SetUp();
        qkfxGetScript().SetCompilation(true);
    }
    void TearDown() override
    {
        qkfxGetScript().SetCompilation(true);
        qkfxGetQrxSystem().GetRefMath().SetAngularUnits(0);
        KernelTest::TearDown();
    }

    // The state the expressions and scripts of the tables read.
    void Prepare()
    {
        ASSERT_TRUE(Run("win -t wks; wks.ncols = 3;"
                        "Data1_A[1] = 0.5; Data1_A[2] = 2; Data1_A[3] = --; Data1_A[4] = -3;"
                        "Data1_B[1] = 10; Data1_B[2] = 20;"
                        "a = 1.5; b = 0.25; c = -2; z = 0; m = --; big = 1e300; n3 = 3;"))
            << err;
        qkfxGetScript().SetVariable("P1", 4.5, 4.0, 1);
        CQKDataset* free = qkfxGetProject().CreateDataset("free", 2);
        free->SetValue(0, 7);
        free->SetValue(1, 8);
    }

    struct Outcome {
        bool ok;
        double value;
        std::string error;
    };

    Outcome Evaluate(const std::string& text, bool compiled)
    {
        CQKScript& s = qkfxGetScript();
        s.SetCompilation(compiled);
        Outcome o{false, 0, std::string()};
        o.ok = s.Evaluate(text, &o.value);
        if (!o.ok)
            o.error = s.GetLastError();
        return o;
    }

    // What a script leaves behind: output, errors, variables and datasets.
    std::string Snapshot(bool ok)
    {
        std::string state = (ok ? "ok\n" : "failed: " + qkfxGetScript().GetLastError() + "\n") + out + err;
        char line[128];
        for (const char* name : {"i", "j", "s", "t", "k", "v", "a", "P1", "q"}) {
            const QKVariable* v = qkfxGetScript().FindVariable(name);
            if (v) {
                snprintf(line, sizeof line, "%s=%.17g/%g/%g\n", name, v->value, v->kind, v->index);
                state += line;
            }
        }
        for (const char* name : {"Data1_A", "Data1_B", "Data1_C", "free"})
            if (CQKDataset* d = qkfxGetProject().FindDataset(name)) {
                state += std::string(name) + ":";
                for (int r = d->GetFirst(); r < d->GetEnd(); ++r) {
                    snprintf(line, sizeof line, " %.17g", d->GetValue(r));
                    state += line;
                }
                state += "\n";
            }
        return state;
    }

    std::string RunBothWays(const std::string& script, bool compiled)
    {
        SetUp();
        Prepare();
        qkfxGetScript().SetCompilation(compiled);
        const bool ok = Run(script);
        qkfxGetScript().SetCompilation(true);
        return Snapshot(ok);
    }
};

// A script object that writes down every call it takes, apart from the questions whether
// a method exists (which the compiled form asks once per loop, the interpreter per call):
// ADD answers its argument text read as a number, RUN runs its argument text as script,
// FAIL fails with a reason; P is no method, so P(i) is a property with an index text.
std::string g_calls;
int g_questions = 0;

int WINAPI Recorder(HWND, LPCSTR method, LPCSTR name, void* result, HostCallback host, int code)
{
    const std::string m = method ? method : "";
    const bool isMethod = m == "ADD" || m == "RUN" || m == "FAIL";
    if (code & OBJOP_FLAG_8000) {
        ++g_questions;
        return isMethod ? QM_HANDLED : QM_NOT_HANDLED;
    }
    g_calls += m + "[" + (name ? name : "") + "]" + std::to_string(code & 0xFFFF) + ";";
    if ((code & 0xFFFF) == OBJOP_GET_NUMBER && !method) {
        *static_cast<double*>(result) = 42;
        return QM_HANDLED;
    }
    if ((code & 0xFFFF) != OBJOP_CALL_METHOD || !isMethod)
        return QM_NOT_FOUND;
    if (m == "RUN")
        return host(nullptr, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(name), 0) == 0 ? QM_HANDLED : QM_NOT_HANDLED;
    if (m == "FAIL") {
        host(nullptr, HOST_FAILURE_REASON, reinterpret_cast<INT_PTR>("it was asked to"), 0);
        return QM_NOT_HANDLED;
    }
    *static_cast<double*>(result) = atof(name);
    return QM_HANDLED;
}

bool SameBits(double a, double b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

// Expressions marked `compiles` must take the compiled road, so that the comparison is not
// between the interpreter and itself; the others show that what is not compiled behaves
// as before.
TEST_F(CompiledScriptTest, ExpressionsGiveTheInterpretersResults)
{
    struct { const char* text; bool compiles; } cases[] = {
        // numbers, operators and their order
        {"1", true}, {" 2.5e3 ", true}, {".5", true}, {"0x10", true}, {"1e999", true}, {"-1e999", true},
        {"1 + 2 * 3 ^ 2", true}, {"-2^2", true}, {"2^3^2", true}, {"2^-1", true}, {"(1+2)*3", true},
        {"7/2", true}, {"10/4*2", true}, {"1 - - 1", true}, {"+-+1", true}, {"!0", true}, {"!!3", true},
        {"!-1", true}, {"((((a))))", true}, {"1/3*3 - 1", true}, {"big*big", true}, {"-big*big", true},
        // missing values and results that are not numbers
        {"--", true}, {"-(--)", true}, {"-- + 1", true}, {"m * 0", true}, {"1/0", true}, {"0/0", true},
        {"z/z", true}, {"0^-1", true}, {"(-8)^(1/3)", true}, {"sqrt(-1)", true}, {"ln(0)", true},
        {"exp(1000)", true}, {"!m", true}, {"-m", true},
        // comparisons and logic
        {"1 < 2", true}, {"2 <= 1", true}, {"3 > 3", true}, {"3 >= 3", true}, {"1 == 1", true},
        {"1 != 1", true}, {"m == --", true}, {"m != 1", true}, {"m < 1", true}, {"m >= m", true},
        {"1 < 2 < 3", true}, {"1 == 1 && 0 || 1", true}, {"0 && 1", true}, {"m || 0", true}, {"a > b && b > c", true},
        // functions
        {"sin(a) + cos(b) + tan(c)", true}, {"asin(0.5) + acos(0.5) + atan(2)", true}, {"atan2(1, -1)", true},
        {"sinh(1) * cosh(1) / tanh(1)", true}, {"exp(-b * 3) + ln(a) + log(1000)", true}, {"sqrt(2)", true},
        {"abs(c)", true}, {"int(-2.7) + int(2.7)", true}, {"nint(2.5) + nint(-2.5)", true}, {"mod(7, 3)", true},
        {"mod(-7, 3)", true}, {"mod(7.9, 2.9)", true}, {"mod(5, 0)", true}, {"min(3, 1, 2)", true},
        {"max(3, 1, 2)", true}, {"min(2)", true}, {"max(1, m, 3)", true}, {"min(-0, 0)", true},
        {"SIN(A)*EXP(-B*N3)", true}, {"sin(m)", true}, {"atan2(m, 1)", true}, {"max(big*10, 1)", true},
        {"asin(2)", true}, {"sin(sin(sin(a)))", true},
        // variables and dataset rows
        {"a*exp(-b*n3)+c", true}, {"A*EXP(-B*N3)+C", true}, {"p1 * 2", true}, {"PI", true}, {"x1", true},
        {"Data1_A[2]", true}, {"Data1_A[1] + Data1_B[2]", true}, {"Data1_A[3]", true}, {"Data1_A[99]", true},
        {"Data1_A[n3 - 1] * 2", true}, {"Data1_A[1.9]", true}, {"free[2]", true}, {"data1_a[2]", true},
        {"Data1_A[0]", true}, {"Data1_A[-1]", true}, {"Data1_A[m]", true}, {"Data1_A[1e9]", true},
        {"nosuch[1]", true}, {"a[5]", true}, {"Data1_A[Data1_A[2]]", false},
        // names that are not numbers
        {"y", true}, {"y + 1", true}, {"Data1_A", true}, {"Data1_A + 1", true}, {"abc == abc", true},
        {"abc != abd", true}, {"abc < 1", true},
        // what is not compiled
        {"\"a\" == \"a\"", false}, {"\"abc\" < 1", false}, {"exist(a)", false}, {"exist(Data1)", false},
        {"wks.ncols", false}, {"col(A)[2]", false}, {"wcol(2)[1]", false}, {"Data1_A[1]$", false},
        {"$(1+1)", false}, {"%A", false}, {"1 /* no */ + 2", false},
        // errors
        {"", false}, {"1 +", false}, {"(1", false}, {"1)", false}, {"1 2", false}, {"a--b", false},
        {"sin(1, 2)", false}, {"sin()", false}, {"max()", false}, {"max(1,)", false}, {"nosuch(1)", false},
        {"sin(1)[2]", false}, {"1 =< 2", false}, {"a = 1", false}, {"* 2", false}, {"1 // 2", false},
    };
    Prepare();
    QKSysMethodMath& math = qkfxGetQrxSystem().GetRefMath();
    for (int unit = 0; unit <= 2; ++unit) {
        math.SetAngularUnits(unit);
        for (auto& c : cases) {
            SCOPED_TRACE(std::string(c.text) + " (angle unit " + std::to_string(unit) + ")");
            EXPECT_EQ(CQKScript::IsCompilable(c.text), c.compiles);
            // Twice compiled: the second run takes the cached form.
            Outcome reference = Evaluate(c.text, false);
            for (int round = 0; round < 2; ++round) {
                Outcome compiled = Evaluate(c.text, true);
                ASSERT_EQ(compiled.ok, reference.ok) << compiled.error << " / " << reference.error;
                if (reference.ok)
                    EXPECT_TRUE(SameBits(compiled.value, reference.value))
                        << compiled.value << " != " << reference.value;
                else
                    EXPECT_EQ(compiled.error, reference.error);
            }
        }
    }
}

// The names a compiled expression reads are resolved again when variables and datasets come
// and go, and when the angle unit changes.
TEST_F(CompiledScriptTest, CompiledExpressionsFollowNamesAndSettings)
{
    CQKScript& s = qkfxGetScript();
    double v = 0;
    EXPECT_FALSE(s.Evaluate("q + 1", &v));
    EXPECT_NE(s.GetLastError().find("\"q\" is not defined"), std::string::npos);
    s.SetVariable("q", 2);
    ASSERT_TRUE(s.Evaluate("q + 1", &v));
    EXPECT_EQ(v, 3);
    s.DeleteVariables("q");
    EXPECT_FALSE(s.Evaluate("q + 1", &v));

    // Rows of datasets that go and come back.
    ASSERT_TRUE(Run("win -t wks; Data1_A[1] = 5"));
    ASSERT_TRUE(s.Evaluate("Data1_A[1] * 2", &v));
    EXPECT_EQ(v, 10);
    qkfxGetProject().New();
    EXPECT_FALSE(s.Evaluate("Data1_A[1] * 2", &v));
    EXPECT_NE(s.GetLastError().find("no dataset \"Data1_A\""), std::string::npos) << s.GetLastError();
    ASSERT_TRUE(Run("win -t wks; Data1_A[1] = 3"));
    ASSERT_TRUE(s.Evaluate("Data1_A[1] * 2", &v));
    EXPECT_EQ(v, 6);

    QKSysMethodMath& math = qkfxGetQrxSystem().GetRefMath();
    ASSERT_TRUE(s.Evaluate("sin(90)", &v));
    EXPECT_DOUBLE_EQ(v, sin(90.0));
    math.SetAngularUnits(1);
    ASSERT_TRUE(s.Evaluate("sin(90)", &v));
    EXPECT_DOUBLE_EQ(v, 1);
}

// Prepared formulas and variable slots: the fitter's way of evaluating its model.
TEST_F(CompiledScriptTest, PreparedFormulasAndSlotsSurviveDeletionAndReset)
{
    CQKScript& s = qkfxGetScript();
    const int x = s.GetVariableSlot("x"), a = s.GetVariableSlot("A");
    ASSERT_GT(x, 0);
    EXPECT_EQ(s.GetVariableSlot("X"), x) << "names are case-insensitive";
    EXPECT_EQ(s.PrepareExpression("  "), 0);
    const int h = s.PrepareExpression("A*EXP(-0.5*X)");
    ASSERT_GT(h, 0);
    EXPECT_EQ(s.PrepareExpression("A*EXP(-0.5*X)"), h);
    EXPECT_TRUE(s.SetVariableBySlot(x, 2));
    EXPECT_TRUE(s.SetVariableBySlot(a, 3, 4.0, 1));
    EXPECT_EQ(s.FindVariable("a")->kind, 4.0);
    double v = 0, reference = 0;
    ASSERT_TRUE(s.EvaluatePrepared(h, &v));
    ASSERT_TRUE(s.Evaluate("3*exp(-0.5*2)", &reference));
    EXPECT_TRUE(SameBits(v, reference));

    s.DeleteVariables("x");
    EXPECT_FALSE(s.EvaluatePrepared(h, &v));
    EXPECT_NE(s.GetLastError().find("\"X\" is not defined"), std::string::npos) << s.GetLastError();
    EXPECT_TRUE(s.SetVariableBySlot(x, 4));
    ASSERT_TRUE(s.EvaluatePrepared(h, &v));
    EXPECT_DOUBLE_EQ(v, 3 * exp(-2.0));

    s.Reset();
    EXPECT_FALSE(s.EvaluatePrepared(h, &v));
    s.SetVariableBySlot(x, 0);
    s.SetVariableBySlot(a, 1);
    ASSERT_TRUE(s.EvaluatePrepared(h, &v));
    EXPECT_EQ(v, 1);
    EXPECT_FALSE(s.EvaluatePrepared(0, &v));
    EXPECT_FALSE(s.EvaluatePrepared(h + 1000, &v));
    EXPECT_FALSE(s.SetVariableBySlot(0, 1));

    // What does not compile is prepared all the same and evaluated by the interpreter.
    const int text = s.PrepareExpression("exist(A)");
    ASSERT_TRUE(s.EvaluatePrepared(text, &v));
    EXPECT_EQ(v, 4);
}

// A prepared formula over many rows at once gives, row for row, what setting its
// variables and evaluating it row by row gives: the same bits, missing values and failures,
// with compilation on and off. Rows of odd values (missing, zero, signed zero, overflowing,
// tiny) sit in the middle of ordinary ones, so that whole blocks of both kinds are met; in
// the first block y keeps one value, as a fit's parameter does in the rows of one step.
TEST_F(CompiledScriptTest, PreparedRowsGiveTheRowByRowResults)
{
    const char* formulas[] = {
        "a*exp(-b*x)+c", "(a+b*x+c*x^2)/(1+z*x+b*x^3)", "x^-2 + y^3", "x^y", "x^(y+0.5)", "-x", "-(x - x)",
        "x/y", "exp(x*1000)", "1/x", "sqrt(x)", "ln(x)*y", "x > y", "x == y || x < 0", "!x", "min(x, y, a)",
        "max(x, 1)", "m + x", "x * m", "atan2(x, y)", "mod(x, y)", "sin(x) + cos(y)", "x == --", "--", "big*x",
        "y", "2", "x - x*1e308*10", "Data1_A[1] + x", "x + q", "exist(a) + x", "x + nosuch[1]",
        "exp(-x*y*300)", "exp(y/x)",
        // Operators on names of one value in a block (y in the first, a, b, z, big in all).
        "-y*x + exp(-b)*x", "atan2(y, b) + x", "mod(y, a)*x", "y^b*x + (y+1)^2*x - y^-2", "x + 1/z",
        "exp(y*1000)*x", "big*big + x", "-(b - b)*x", "sqrt(y)/x",
    };
    const double odd[] = {0, -0.0, MISSING_VALUE, 1e300, -1e300, 1e-310, -3, 7, 0.5, 1e-200, 2};
    const int rows = 151; // three blocks, the last short and odd
    std::vector<double> xs(rows), ys(rows);
    for (int r = 0; r < rows; ++r) {
        xs[r] = 0.25 + 0.01 * r;
        ys[r] = r < 64 ? 0.7 : 1.5 - 0.003 * r;
        if (r >= 70 && r < 70 + 11) {
            xs[r] = odd[r - 70];
            ys[r] = odd[(r - 70 + 4) % 11];
        }
    }
    Prepare();
    CQKScript& s = qkfxGetScript();
    const int slots[2] = {s.GetVariableSlot("x"), s.GetVariableSlot("y")};
    const double* columns[2] = {xs.data(), ys.data()};
    QKSysMethodMath& math = qkfxGetQrxSystem().GetRefMath();
    math.SetAngularUnits(1);
    for (bool compiled : {true, false}) {
        for (const char* f : formulas) {
            SCOPED_TRACE(std::string(f) + (compiled ? " compiled" : " interpreted"));
            s.SetCompilation(compiled);
            const int h = s.PrepareExpression(f);
            ASSERT_GT(h, 0);
            std::vector<double> reference(rows), out(rows, 12345);
            int failedAt = rows;
            std::string error;
            for (int r = 0; r < rows && failedAt == rows; ++r) {
                s.SetVariableBySlot(slots[0], xs[r]);
                s.SetVariableBySlot(slots[1], ys[r]);
                if (!s.EvaluatePrepared(h, &reference[r])) {
                    failedAt = r;
                    error = s.GetLastError();
                }
            }
            s.SetVariableBySlot(slots[0], -1);
            s.SetVariableBySlot(slots[1], -1);
            int done = -1;
            const bool ok = s.EvaluatePreparedRows(h, 2, slots, columns, rows, out.data(), &done);
            EXPECT_EQ(ok, failedAt == rows);
            EXPECT_EQ(done, failedAt);
            if (!ok)
                EXPECT_EQ(s.GetLastError(), error);
            for (int r = 0; r < done; ++r)
                ASSERT_TRUE(SameBits(out[r], reference[r])) << "row " << r << ": " << out[r] << " != " << reference[r];
            if (done > 0) {
                EXPECT_TRUE(SameBits(s.FindVariable("x")->value, xs[done - 1])) << "the last row's values stay";
                EXPECT_TRUE(SameBits(s.FindVariable("y")->value, ys[done - 1]));
            }
        }
    }
    s.SetCompilation(true);

    // A variable of a slot that does not exist is made; bad handles and slots are refused.
    s.DeleteVariables("x");
    const int h = s.PrepareExpression("x*2");
    double out[2];
    int done = -1;
    ASSERT_TRUE(s.EvaluatePreparedRows(h, 1, slots, columns, 2, out, &done));
    EXPECT_EQ(done, 2);
    EXPECT_EQ(out[1], xs[1] * 2);
    ASSERT_NE(s.FindVariable("x"), nullptr);
    EXPECT_EQ(s.FindVariable("x")->value, xs[1]);
    EXPECT_TRUE(s.EvaluatePreparedRows(h, 1, slots, columns, 0, out, &done));
    EXPECT_EQ(done, 0);
    const int badSlot = 999999;
    EXPECT_FALSE(s.EvaluatePreparedRows(h, 1, &badSlot, columns, 2, out, &done));
    EXPECT_FALSE(s.EvaluatePreparedRows(0, 1, slots, columns, 2, out, &done));
    EXPECT_FALSE(s.EvaluatePreparedRows(h, 1, slots, nullptr, 2, out, &done));
}

// Loops, conditions and assignments run compiled with the interpreter's results: values,
// output, errors and the lines errors name.
TEST_F(CompiledScriptTest, StatementsGiveTheInterpretersResults)
{
    const char* scripts[] = {
        "for (i = 1; i <= 4; i += 1) Data1_B[i] = a*exp(-b*Data1_A[i]) + c;",
        "for (i = 1; i <= 4; i += 1) { Data1_C[i] = Data1_A[i] * i; Data1_B[i] += Data1_C[i] }",
        "s = 0; for (i = 1; i <= 10; i += 1) { if (i == 3) continue; if (i > 7) break; s += i; t = s * 2 }",
        "s = 0; for (i = 1; i <= 3; i += 1) for (j = i; j <= 3; j += 1) { s = s * 10 + j; }",
        "s = 1; for (i = 10; i > 0; i -= 3) { if (i > 5) s *= i; else { s /= i }; }",
        "i = 0; for (;;) { i += 1; if (i >= 5) break }",
        "for (i = 1; i <= 3; i += 1) { type i=$(i); s = i }",
        "for (i = 1; i <= 3; i += 1) { k = i * 2; del -v k; }",
        "for (i = 1; i <= 3; i += 1) s += i;",
        "for (i = 1; i <= 3; i += 1) { v = i; v[3] = 7; }",
        "for (i = 1; i <= 2; i += 1) Data1_C = Data1_A * i;",
        "for (i = 1; i <= 3; i += 1) P1 = P1 + i;",
        "for (i = 1; i <= 3; i += 1) free[i] *= 2;",
        "for (i = 1; i <= 3; i += 1) { if (i == 2) return; s = i }\ntype after",
        "for (i = 1; i <= 3; i += 1)\n{\n  s = i;\n  Data1_B[i - 1] = 1;\n}",
        "for (i = 1; i <= q; i += 1) s = i;",
        "for (i = 1; i <= 3; i += 1) s = nosuch(i);",
        "for (i = 1; i <= 3; i += 1) { %A = $(i); t = %A * 2 }",
        "for (i = 1; i <= 3; i += 1) { s = i; if (i == 2) wks.ncols = 5; Data1_E[i] = s }",
        "for (i = 1; i <= 2; i += 1) { if (i == 1) Data1_B[i] = 1 else Data1_B[i] = 2 }",
        "for (i = 1; i <= 2; i += 1) { if (i == 1) Data1_B[i] = 1; else Data1_B[i] = 2 }",
        "for (i = 1; i <= 2; i += 1) { Data1_B[i] = m; Data1_C[i] = 1/z; Data1_A[i] = Data1_A[i] }",
        "for (i = 1; i <= 3; i += 1) x1 += i; s = x1",
        "for (i = 1; i <= 3; i += 1) Data1_B[i]$ = t$(i)",
        "for (i = 1; i <= 3; i += 1) { s = i; break; s = 99 }",
        "for (i = 1; i <= 3; i += 1) {}",
        "for (i = 1; i <= 3; i += 1) { s = i } /* a comment */ t = 2",
        "for (i = 1; i <= 3; i += 1) else s = 1",
        "s = 1; if (s == 1) t = 2; else t = 3; Data1_B[2] = s + t; Data1_C[1] -= 4; { k = t ^ 2 }",
        "s = 1;\nt = 2;\nData1_B[0] = s",
        "s = 1; break; t = 2",
        "s = 1; return; t = 2",
        "a = 2; a *= a; P1 /= 2; x1 = a",
    };
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        const std::string reference = RunBothWays(script, false);
        EXPECT_EQ(RunBothWays(script, true), reference);
    }

    // A stop request ends a compiled loop as it ends an interpreted one.
    for (bool compiled : {false, true}) {
        SetUp();
        qkfxGetScript().SetCompilation(compiled);
        qkfxRequestAbort(true);
        EXPECT_FALSE(Run("s = 0;\nfor (i = 1; i <= 1000; i += 1) s += i"));
        qkfxRequestAbort(false);
        EXPECT_EQ(qkfxGetScript().GetLastError(), "line 2: the script was stopped");
    }
}

// Methods of script objects called in loops: the compiled form finds the object and asks
// for the method once per loop, and then calls it as the interpreter does, with the same
// argument texts, the same effects of what the method runs and the same errors.
TEST_F(CompiledScriptTest, ObjectMethodsInLoopsGiveTheInterpretersResults)
{
    ASSERT_TRUE(qkfxRegisterScriptObjectEntry("rec", Recorder));
    const char* scripts[] = {
        "for (i = 1; i <= 3; i += 1) rec.add(i);",
        "for (i = 1; i <= 3; i += 1) { Rec.Add( 2 , i ); s = i }",
        "for (i = 1; i <= 3; i += 1) { rec.run(k = i * 2); s = k }",
        "for (i = 1; i <= 3; i += 1) { rec.run(Data1_C[i] = i + 1); Data1_B[i] = Data1_C[i] * 2 }",
        "for (i = 1; i <= 3; i += 1) { rec.run(del -v s); s = i }",
        "for (i = 1; i <= 2; i += 1) rec.run(for (j = 1; j <= 2; j += 1) rec.add(j))",
        "for (i = 1; i <= 3; i += 1) {\n  rec.add(i);\n  if (i == 2) rec.fail(i)\n}",
        "for (i = 1; i <= 3; i += 1) rec.p(i);",
        "for (i = 1; i <= 3; i += 1) rec.nosuch(i);",
        "for (i = 1; i <= 2; i += 1) nosuch.add(i);",
        "for (i = 1; i <= 2; i += 1) rec.add(f(i)) + 1;",
        "for (i = 1; i <= 2; i += 1) rec.add((i);",
        "for (i = 1; i <= 2; i += 1) rec.add(%A);",
        "rec.add(1); s = 2; rec.add(3)",
    };
    for (const char* script : scripts) {
        SCOPED_TRACE(script);
        g_calls.clear();
        const std::string reference = RunBothWays(script, false) + g_calls;
        g_calls.clear();
        EXPECT_EQ(RunBothWays(script, true) + g_calls, reference);
    }
    // The compiled road was taken: one question for the loop instead of one per call.
    for (bool compiled : {false, true}) {
        g_questions = 0;
        RunBothWays("for (i = 1; i <= 5; i += 1) rec.add(i)", compiled);
        EXPECT_EQ(g_questions, compiled ? 1 : 5);
    }
}

// exp, which both ways share, is within one unit in the last place of the exact value
// (the reference values are the exact exponentials rounded to double).
TEST_F(CompiledScriptTest, ExponentialIsWithinAnUlp)
{
    const double cases[][2] = {
        {0x0.0p+0, 0x1.0000000000000p+0},
        {0x1.0000000000000p+0, 0x1.5bf0a8b145769p+1},
        {-0x1.0000000000000p+0, 0x1.78b56362cef38p-2},
        {0x1.0000000000000p-1, 0x1.a61298e1e069cp+0},
        {0x1.b7cdfd9d7bdbbp-34, 0x1.000000006df38p+0},
        {-0x1.56e1fc2f8f359p-997, 0x1.0000000000000p+0},
        {0x1.62e42fefa39efp-1, 0x1.0000000000000p+1},
        {0x1.26bb1bbb55516p+1, 0x1.4000000000001p+3},
        {0x1.4000000000000p+3, 0x1.5829dcf950560p+14},
        {-0x1.4000000000000p+3, 0x1.7cd79b5647c9bp-15},
        {0x1.9000000000000p+6, 0x1.3494a9b171bf5p+144},
        {-0x1.9000000000000p+6, 0x1.a8c1f14e2af5dp-145},
        {0x1.5df3333333333p+9, 0x1.ac3c2d2582f8fp+1009},
        {-0x1.5df3333333333p+9, 0x1.32132bfae6577p-1010},
        {0x1.62d999999999ap+9, 0x1.d75ae7a50ee14p+1023},
        {-0x1.7480000000000p+9, 0x0.0000000000001p-1022},
        {0x1.61e4f765fd8aep-9, 0x1.00b12fb0f4433p+0},
        {-0x1.61e4f765fd8aep-9, 0x1.fe9e953ac0bf4p-1},
        {0x1.8000000000000p+0, 0x1.1ed3fe64fc541p+2},
        {-0x1.6000000000000p+1, 0x1.05d93892fa010p-4},
        {0x1.2c00000000000p+5, 0x1.1293919c201e5p+54},
        {0x1.f480000000000p+7, 0x1.062f048b5c69bp+361},
        {-0x1.f420000000000p+8, 0x1.631d739eed4b5p-722},
        {-0x1.ed44ac963f43cp+7, 0x1.22742b8716ed8p-356},
        {-0x1.e8cfa7f3e7e86p+8, 0x1.bc0c083bb704ep-706},
        {0x1.a69dd48ce676cp+7, 0x1.ce85f33ad47e9p+304},
        {-0x1.2b4b6adca374cp+9, 0x1.561d137b2cc84p-864},
        {0x1.91e0e1fbc8350p+5, 0x1.63735f0564b4bp+72},
        {-0x1.78122f320631ep+7, 0x1.a64a737a7c4dap-272},
        {-0x1.356697b9e6a11p+9, 0x1.3228b01887fe0p-893},
        {0x1.4d1eefd24f500p+3, 0x1.034d7f617aefap+15},
        {-0x1.d99abcf4ffae6p-1, 0x1.960b6e02d1222p-2},
        {-0x1.0fc98b29e5570p-3, 0x1.c05e66470fbe3p-1},
        {-0x1.b877d1e131f48p-1, 0x1.b131547a5302dp-2},
        {-0x1.a31c20b97748ap-1, 0x1.c3a546f3ffde2p-2},
        {-0x1.352b5de1bc450p-3, 0x1.b842486f610afp-1},
        {0x1.4eb252c860c96p-1, 0x1.ec32c41a78ca5p+0},
        {-0x1.813a0f06b9f7ep-1, 0x1.e28bb60ca71d7p-2},
        {-0x1.1b673eaf47a68p-1, 0x1.265c168f5b881p-1},
    };
    CQKScript& s = qkfxGetScript();
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        s.SetVariable("x", c[0]);
        double v = 0;
        ASSERT_TRUE(s.Evaluate("exp(x)", &v));
        EXPECT_TRUE(v == c[1] || v == nextafter(c[1], 0.0) || v == nextafter(c[1], 1e308)) << v << " " << c[1];
    }
}

// How far v is from a more exact value, in units in the last place of the doubles around
// that value (the subnormals' spacing below the normal range).
static double UlpsFrom(double v, long double exact)
{
    int e;
    frexpl(exact, &e);
    return (double)(fabsl((long double)v - exact) / ldexpl(1.0L, std::max(e - 53, -1074)));
}

// ^ where pow takes a logarithm and an exponential (a positive normal base other than 1 to
// a finite power neither an integer nor one half) is within about half an ulp of the exact
// power, measured against the x87's powl: its 64-bit significand keeps its own error to a
// few thousandths of a double's ulp while |b log2 a| stays below 64, where 0.52 ulp is asked;
// beyond, up to overflow and down into the subnormal results, its own error grows to a
// tenth of an ulp and more (0.6 ulp measured here where the exact power is 0.48 ulp away),
// and an ulp is asked. Every other power is the
// runtime's pow bit for bit (the script's own products for 2, 3 and -2 aside). Results
// beyond the doubles are the missing value, as every operator gives them. Each case gives
// the same bits interpreted, compiled, and compiled over rows.
TEST_F(CompiledScriptTest, PowerIsWithinHalfAnUlpTheSameBothWays)
{
    std::vector<std::pair<double, double>> cases = {
        {1.309, 4.0},   {1.309, 3.99999}, {0.71, 2.5},      {0.7099, 2.5},   {1.29, -1.5},   {1.2901, -1.5},
        {1.0, 7.3},     {2.0, 0.5},       {2.0, -0.5},      {2.0, 1023.5},   {2.0, 1024.5},  {2.0, -1074.5},
        {10.0, 308.2},  {10.0, 309.0},    {10.0, -323.7},   {1e-310, 0.25},  {1e-310, 1.75}, {-8.0, 1.0 / 3},
        {-2.0, 5.0},    {-2.0, 0.5},      {0.0, 0.3},       {0.0, -0.3},     {3.0, 1e-300},  {1e300, 1e-5},
        {1.0000001, 1e9}, {0.9999999, 1e9}, {5.0, 2147483648.5}, {5.0, -7.0}, {0.5, 0.5000001}, {1e-5, 1.0 / 7},
        // Next to 1, where the logarithm is all in its smallest terms.
        {0x1.0000000000001p+0, 0x1.8p+51}, {0x1.fffffffffffffp-1, -0x1.8p+51}, {0x1.0000000000001p+0, 1e-3},
        // Bases at the edges of the normal range, results at the edges of the doubles.
        {0x1p-1022, 0.999}, {0x1.fffffffffffffp+1023, 0.999}, {0x1.fffffffffffffp+1023, -0.999},
        {2.0, 1023.99}, {2.0, -1022.01}, {2.0, -1073.9}, {2.0, -1075.5}, {0.5, 1073.7}, {3.0, 646.1},
        {7.5, 1.0 / 3}, {1e-300, -1.0001}, {1e300, 1.02}, {1e300, -1.0299},
        {2.0, INFINITY}, {0.5, -INFINITY}, {2.0, NAN}, {NAN, 0.5}, {INFINITY, 0.7}, {-INFINITY, 0.7}, {-0.0, 0.7},
    };
    uint64_t seed = 12345;
    auto next = [&seed]() {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return (seed >> 11) * (1.0 / 9007199254740992.0);
    };
    for (int i = 0; i < 3000; ++i)
        cases.push_back({exp(12 * (next() - 0.5)), (next() - 0.5) * (i % 3 ? 12 : 600)});
    for (int i = 0; i < 1000; ++i) {
        cases.push_back({1 + (next() - 0.5) * 2e-3, (next() - 0.5) * 2e4});     // near 1, large powers
        cases.push_back({exp((next() - 0.5) * 1400), next() - 0.5});            // the whole range of bases
        cases.push_back({exp((next() - 0.5) * 20), (next() - 0.5) * 140});      // results up to e^+-700
        cases.push_back({exp(-next() * 3), 700 / (next() * 3 + 0.01) + 0.5});   // subnormal results
    }
    Prepare();
    CQKScript& s = qkfxGetScript();
    std::vector<double> as, bs, results;
    double worstModerate = 0, worst = 0;
    for (const auto& c : cases) {
        const double a = c.first, b = c.second;
        SCOPED_TRACE(::testing::Message() << std::hexfloat << a << " ^ " << b);
        s.SetVariable("px", a);
        s.SetVariable("py", b);
        Outcome o[2];
        for (bool compiled : {false, true}) {
            o[compiled] = Evaluate("px ^ py", compiled);
            ASSERT_TRUE(o[compiled].ok) << o[compiled].error;
        }
        ASSERT_TRUE(SameBits(o[0].value, o[1].value)) << o[0].value << " " << o[1].value;
        as.push_back(a);
        bs.push_back(b);
        results.push_back(o[0].value);
        const bool logRoad = a > 0 && isnormal(a) && a != 1 && isfinite(b) && b != trunc(b) && b != 0.5;
        if (!logRoad) {
            const double reference = pow(a, b);
            const double expected = isfinite(reference) ? reference : MISSING_VALUE;
            EXPECT_TRUE(SameBits(o[0].value, expected)) << o[0].value << " " << expected;
            continue;
        }
        const long double exact = powl(a, b);
        if (!isfinite((double)exact)) {
            EXPECT_EQ(o[0].value, MISSING_VALUE);
            continue;
        }
        const double ulps = UlpsFrom(o[0].value, exact);
        const bool moderate = fabsl(b * log2l(a)) < 64;
        (moderate ? worstModerate : worst) = std::max(moderate ? worstModerate : worst, ulps);
        EXPECT_LE(ulps, moderate ? 0.52 : 1.0) << o[0].value << " " << (double)exact;
    }
    printf("[          ] worst: %.4f ulp for |b log2 a| < 64, %.4f beyond\n", worstModerate, worst);

    // Over rows, two at a time.
    const int slots[2] = {s.GetVariableSlot("px"), s.GetVariableSlot("py")};
    const double* columns[2] = {as.data(), bs.data()};
    const int h = s.PrepareExpression("px ^ py");
    ASSERT_GT(h, 0);
    std::vector<double> out(as.size());
    int done = -1;
    ASSERT_TRUE(s.EvaluatePreparedRows(h, 2, slots, columns, (int)as.size(), out.data(), &done));
    ASSERT_EQ(done, (int)as.size());
    for (size_t r = 0; r < as.size(); ++r)
        ASSERT_TRUE(SameBits(out[r], results[r])) << std::hexfloat << as[r] << " ^ " << bs[r];
}

// Powers over rows as a fit's passes ask for them: the same bases to the same exponent
// again, mixed with new ones, two rows at a time. Every request must give the
// interpreter's values row by row.
TEST_F(CompiledScriptTest, PreparedRowsOfPowersGiveTheRowByRowResults)
{
    Prepare();
    CQKScript& s = qkfxGetScript();
    const int slots[2] = {s.GetVariableSlot("x"), s.GetVariableSlot("b")};
    const int rows = 150;
    std::vector<double> xs(rows), bs(rows), out(rows), reference(rows);
    for (const char* f : {"a*x^b", "x^b + x^(b*2)", "(x+1)^-b"}) {
        SCOPED_TRACE(f);
        const int h = s.PrepareExpression(f);
        ASSERT_GT(h, 0);
        // Passes as a fit makes them: the exponent of the last pass in the first third of the
        // rows, stepped in the rest; the bases repeat with a period of 37 rows.
        for (int pass = 0; pass < 6; ++pass) {
            for (int r = 0; r < rows; ++r) {
                xs[r] = 0.5 + 0.1 * (r % 37);
                bs[r] = r < rows / 3 ? 1.7 + 0.1 * pass : 1.7 + 0.1 * (pass + 1) + (r < 2 * rows / 3 ? 0 : 1e-7);
            }
            s.SetCompilation(false);
            for (int r = 0; r < rows; ++r) {
                s.SetVariableBySlot(slots[0], xs[r]);
                s.SetVariableBySlot(slots[1], bs[r]);
                ASSERT_TRUE(s.EvaluatePrepared(h, &reference[r]));
            }
            s.SetCompilation(true);
            const double* columns[2] = {xs.data(), bs.data()};
            int done = -1;
            ASSERT_TRUE(s.EvaluatePreparedRows(h, 2, slots, columns, rows, out.data(), &done));
            ASSERT_EQ(done, rows);
            for (int r = 0; r < rows; ++r)
                ASSERT_TRUE(SameBits(out[r], reference[r])) << "pass " << pass << " row " << r;
        }
    }
}
