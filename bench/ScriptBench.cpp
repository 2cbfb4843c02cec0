// The interpreter's benchmark: a formula evaluated by text, by prepared handle and
// interpreted, and a script loop that fills a million dataset rows, compiled and
// interpreted. Prints lines the comparison script reads:
//   EVAL <kind> <seconds per evaluation>
//   LOOP <kind> <rows> <seconds per row>
// bench/bench_script.sh runs the same loop in CPython and prints the ratios.
#include <windows.h>

#include <stdio.h>

#include <string>

#include "BenchHarness.h"
#include "QKData.h"
#include "QKScript.h"

namespace {

const char* kFormula = "A*EXP(-B*X)+C";
const int kRows = 1000000;

double PerEvaluation(bool compiled, bool prepared)
{
    CQKScript& s = qkfxGetScript();
    s.SetCompilation(compiled);
    const int handle = s.PrepareExpression(kFormula);
    const int x = s.GetVariableSlot("X");
    const int n = compiled ? 1000000 : 50000;
    double sum = 0;
    const double t = bench::BestTime([&] {
        for (int i = 0; i < n; ++i) {
            double v = 0;
            s.SetVariableBySlot(x, i * 1e-6);
            if (prepared)
                s.EvaluatePrepared(handle, &v);
            else
                s.Evaluate(kFormula, &v);
            sum += v;
        }
    }, 3);
    s.SetCompilation(true);
    if (sum == 12345)
        puts("");
    return t / n;
}

double PerRow(bool compiled, int rows)
{
    CQKScript& s = qkfxGetScript();
    s.SetCompilation(compiled);
    const std::string loop = "for (i = 1; i <= " + std::to_string(rows) +
                             "; i += 1) Data1_B[i] = a*exp(-b*Data1_A[i]) + c;";
    const double t = bench::BestTime([&] {
        if (!s.Execute(loop))
            fprintf(stderr, "loop failed: %s\n", s.GetLastError().c_str());
    }, 3);
    s.SetCompilation(true);
    return t / rows;
}

} // namespace

int main()
{
    CQKScript& s = qkfxGetScript();
    s.Execute("A = 1.5; B = 0.25; C = -2; X = 0; a = 1.5; b = 0.25; c = -2; win -t wks;");
    CQKDataset* x = qkfxGetProject().FindDataset("Data1_A");
    CQKDataset* y = qkfxGetProject().FindDataset("Data1_B");
    for (int i = 0; i < kRows; ++i) {
        x->SetValue(i, i * 1e-5);
        y->SetValue(i, 0);
    }
    printf("EVAL interpreted %.9g\n", PerEvaluation(false, false));
    printf("EVAL compiled %.9g\n", PerEvaluation(true, false));
    printf("EVAL prepared %.9g\n", PerEvaluation(true, true));
    printf("LOOP interpreted %d %.9g\n", kRows / 20, PerRow(false, kRows / 20));
    printf("LOOP compiled %d %.9g\n", kRows, PerRow(true, kRows));
    return 0;
}
