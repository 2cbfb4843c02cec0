// Statistics: descriptive statistics of 10,000,000 values (every result, order
// statistics and normality test included) and a polynomial regression of degree 5 on
// 1,000,000 points, beside numpy on the same data. Each is timed twice: as a script
// runs it through the kernel (worksheet columns, the interpreter, Stat.DS() and
// Stat.PR() through QMDLL with a host request per value), and in the statistics core
// alone.
//
// The data are written to /tmp as raw doubles; a Python script run on the Unix side
// (the system's python3 with numpy) reads them, times the equivalent numpy calls (mean,
// std, min, max, sum, percentiles, moments, mean deviation, a normality statistic;
// polyfit with its covariance) in the same way, and writes its best times to a file,
// which this program reads back to print the ratios. Without python3 and numpy only our times are
// printed.
#include "BenchHarness.h"

#include "QKAccess.h"
#include "QKData.h"
#include "QKScript.h"
#include "RegressionCore.h"
#include "StatCore.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

const char *kScript = R"(import sys, time, math
import numpy as np
def best(fn, reps):
    b = 1e300
    for _ in range(reps):
        t = time.perf_counter(); fn(); b = min(b, time.perf_counter() - t)
    return b
v = np.fromfile(sys.argv[1], dtype=np.float64)
xy = np.fromfile(sys.argv[2], dtype=np.float64).reshape(2, -1)
def erf(z):
    # Abramowitz and Stegun 7.1.26, vectorised: numpy has no error function of its own.
    a = np.abs(z); t = 1 / (1 + 0.3275911 * a)
    p = t * (0.254829592 + t * (-0.284496736 + t * (1.421413741 + t * (-1.453152027 + t * 1.061405429))))
    return np.sign(z) * (1 - p * np.exp(-a * a))
def describe():
    n = v.size; m = v.mean(); d = v - m; s = v.std(ddof=1)
    r = (v.sum(), v.min(), v.max(), (d * d).sum(), np.abs(d).mean(),
         (d ** 3).sum(), (d ** 4).sum(), np.percentile(v, [25, 50, 75, 30]))
    srt = np.sort(v)
    z = (srt - m) / (s * math.sqrt(2.0))
    f = 0.5 * (1 + erf(z))
    i = np.arange(1, n + 1)
    return r, max(np.abs(i / n - f).max(), np.abs((i - 1) / n - f).max())
def fit():
    return np.polyfit(xy[0], xy[1], 5, cov=True)
with open(sys.argv[3] + '.part', 'w') as f:
    f.write('%.9f %.9f' % (best(describe, 3), best(fit, 3)))
import os
os.rename(sys.argv[3] + '.part', sys.argv[3])
)";

// Runs a Unix program (Wine starts an ELF file given by its Windows path) and waits up
// to `seconds` for the text file it writes at `resultPath`. Wine gives the program
// neither our pipes nor an exit status, so the finished file is the only answer: the
// script writes it under another name and renames it when done.
bool RunUnix(const char *program, const std::string &commandLine, const char *resultPath,
             int seconds, std::string &output)
{
    DeleteFileA(resultPath);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string line = commandLine;
    if (!CreateProcessA(program, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    for (int waited = 0; waited < seconds * 10; ++waited) {
        if (FILE *f = std::fopen(resultPath, "rb")) {
            char buffer[256] = {};
            size_t got = std::fread(buffer, 1, sizeof buffer - 1, f);
            std::fclose(f);
            output.assign(buffer, got);
            DeleteFileA(resultPath);
            return true;
        }
        Sleep(100);
    }
    return false;
}

// Copies values into a worksheet column of the kernel.
void FillColumn(CQKDataset *column, const std::vector<double> &values)
{
    for (size_t i = 0; i < values.size(); ++i)
        column->SetValue(int(i), values[i]);
}

// Runs script text with the kernel; the benchmark is void if the script fails.
void RunScript(const std::string &text)
{
    if (!qkfxGetScript().Execute(text)) {
        std::fprintf(stderr, "script failed: %s\n", qkfxGetScript().GetLastError().c_str());
        std::exit(1);
    }
}

bool WriteFile(const char *path, const void *data, size_t bytes)
{
    FILE *f = std::fopen(path, "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data, 1, bytes, f) == bytes;
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main()
{
    std::mt19937_64 random(20261209);
    std::normal_distribution<double> normal(100, 15);
    std::vector<double> values(10000000);
    for (double &v : values)
        v = normal(random);

    const int points = 1000000;
    std::uniform_real_distribution<double> uniform(0, 10);
    std::vector<double> x(points), y(points);
    for (int i = 0; i < points; ++i) {
        double t = uniform(random);
        x[i] = t;
        y[i] = 3 - 2 * t + 0.5 * t * t - 0.05 * t * t * t + 0.002 * std::pow(t, 4) -
               1e-4 * std::pow(t, 5) + normal(random) * 0.01;
    }

    qxstats::DescriptiveRequest everything;
    everything.geoMean = everything.meanDeviation = everything.moments = true;
    everything.normality = everything.median = everything.percentile = everything.confidence = true;
    everything.quartile25 = everything.quartile50 = everything.quartile75 = true;
    everything.interpolate = true;
    everything.percent = 30;
    double sink = 0;
    double ds = bench::BestTime([&] { sink += qxstats::Describe(values, everything).median; }, 3);
    double pr = bench::BestTime(
        [&] { sink += qxstats::FitPolynomial(x, y, {}, 5, 0.95, true).A; }, 3);

    if (!qkfxGetAccess()->Init(nullptr, "")) {
        std::fprintf(stderr, "the kernel did not start\n");
        return 1;
    }
    CQKProject &project = qkfxGetProject();
    auto *valuesPage = static_cast<CQKWksPage *>(project.CreatePage(QK_PAGE_WKS, "Values"));
    auto *pointsPage = static_cast<CQKWksPage *>(project.CreatePage(QK_PAGE_WKS, "Points"));
    FillColumn(valuesPage->GetColumn(2), values);
    FillColumn(pointsPage->GetColumn(1), x);
    FillColumn(pointsPage->GetColumn(2), y);
    RunScript("Stat.DS.DATA$ = Values_B; Stat.DS.MORE = 1; Stat.DS.INTERPOLATE = 1;"
              "Stat.DS.PERCENT = 30; Stat.DS.GEOMEAN = 1234;"
              "Stat.DATA$ = Points_B; Stat.PR.ORDER = 5; Stat.CHISQRERR = 1");
    double dsScript = bench::BestTime([&] { RunScript("Stat.DS.GEOMEAN = 1234; Stat.DS()"); }, 3);
    double prScript = bench::BestTime([&] { RunScript("Stat.PR()"); }, 3);
    // The script must have computed what the core computes, or its times mean nothing.
    double median = 0, b5 = 0;
    qkfxGetScript().Evaluate("Stat.DS.MEDIAN", &median);
    qkfxGetScript().Evaluate("Stat.PR.B5", &b5);
    if (median != qxstats::Describe(values, everything).median ||
        std::fabs(b5 / qxstats::FitPolynomial(x, y, {}, 5, 0.95, true).B[4] - 1) > 1e-9) {
        std::fprintf(stderr, "the script's results differ from the core's\n");
        return 1;
    }

    double refDs = 0, refPr = 0;
    const char *dataPath = "Z:\\tmp\\qxstats_bench_values.bin";
    const char *xyPath = "Z:\\tmp\\qxstats_bench_xy.bin";
    const char *scriptPath = "Z:\\tmp\\qxstats_bench.py";
    std::vector<double> xyData(x);
    xyData.insert(xyData.end(), y.begin(), y.end());
    std::string output;
    if (WriteFile(dataPath, values.data(), values.size() * sizeof(double)) &&
        WriteFile(xyPath, xyData.data(), xyData.size() * sizeof(double)) &&
        WriteFile(scriptPath, kScript, std::strlen(kScript)) &&
        RunUnix("Z:\\usr\\bin\\python3",
                "python3 /tmp/qxstats_bench.py /tmp/qxstats_bench_values.bin "
                "/tmp/qxstats_bench_xy.bin /tmp/qxstats_bench_result.txt",
                "Z:\\tmp\\qxstats_bench_result.txt", 300, output) &&
        std::sscanf(output.c_str(), "%lf %lf", &refDs, &refPr) == 2) {
        bench::Report("DS 10M values, script (vs numpy)", dsScript, refDs);
        bench::Report("DS 10M values, core (vs numpy)", ds, refDs);
        bench::Report("PR degree 5 1M points, script (vs numpy)", prScript, refPr);
        bench::Report("PR degree 5 1M points, core (vs numpy)", pr, refPr);
    } else {
        std::printf("numpy reference not available (python3 with numpy on the Unix side)\n");
        bench::Report("DS 10M values, script (vs core)", dsScript, ds);
        bench::Report("PR degree 5 1M points, script (vs core)", prScript, pr);
    }
    qkfxGetAccess()->Uninit();
    DeleteFileA(dataPath);
    DeleteFileA(xyPath);
    DeleteFileA(scriptPath);
    return sink == 12345.678 ? 1 : 0;
}
