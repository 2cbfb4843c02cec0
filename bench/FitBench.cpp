// The fitter's benchmark: the NIST problems from both starts, run by their own scripts, and
// a 4-parameter Gaussian plus baseline on 1,000,000 noisy points (the best of three fits,
// as the scipy and GSL references take theirs), each fitted through the kernel's
// interpreter exactly as the console host runs a script. It prints, per fit, the
// iterations and the seconds per iteration as lines the comparison script reads:
//   NIST <problem> <start> <iterations> <seconds per iteration>
//   GAUSS <points> <iterations> <seconds per iteration>
// bench/bench_fit.sh runs the same fits with GSL and prints the ratios.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchHarness.h"
#include "FitData.h"
#include "QKAccess.h"
#include "QKData.h"
#include "QKScript.h"

namespace {

std::string g_out;

void Catch(const char* text, int kind, void*)
{
    if (kind != 2)
        g_out += std::string(text) + "\n";
}

bool Run(const std::string& text, bool newProject)
{
    if (newProject) {
        qkfxGetProject().New();
        qkfxGetScript().Reset();
    }
    g_out.clear();
    qkfxGetScript().SetOutput(Catch, nullptr);
    const bool ok = qkfxGetScript().Execute(text);
    qkfxGetScript().SetOutput(nullptr, nullptr);
    if (!ok)
        fprintf(stderr, "script failed: %s\n", qkfxGetScript().GetLastError().c_str());
    return ok;
}

int Iterations()
{
    const size_t at = g_out.find("NITER ");
    return at == std::string::npos ? 0 : atoi(g_out.c_str() + at + 6);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string SettingsFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "qxfitbench\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    qkfxSetGlobalINIPath(folder.c_str());
    return folder;
}

}  // namespace

// With a problem's name as argument only that problem runs (for profiling).
int main(int argc, char** argv)
{
    std::string nist = "Z:" QX_NIST_DIR "\\";
    std::replace(nist.begin(), nist.end(), '/', '\\');
    const std::string folder = SettingsFolder();
    const std::string ini = folder + "qfit.ini";
    DeleteFileA(ini.c_str());
    const char* problems[] = {"BoxBOD", "Chwirut1", "Chwirut2", "DanWood", "Eckerle4", "Gauss1", "Hahn1",
                              "Kirby2", "Lanczos3", "MGH17", "Misra1a", "Misra1b", "Rat42"};
    WritePrivateProfileStringA("Category", "NIST", nist.c_str(), ini.c_str());
    for (const char* p : problems)
        WritePrivateProfileStringA("NIST", p, p, ini.c_str());

    // Each script runs in three parts: its set-up, its fit statement, timed, and the rest,
    // which prints the iterations and ends the session. The fit statement runs again for
    // one iteration; the difference of the two (the best of several runs each), over the
    // iterations but one, is the time per iteration, without what every fit does once
    // (the set-up of the run, the last pass of derivatives, the parameter errors and the
    // result curve), which both runs do.
    for (const char* problem : problems) {
        if (argc > 1 && _stricmp(argv[1], problem) != 0)
            continue;
        const std::string script = ReadFile(nist + problem + ".qgs");
        if (script.find("qfit.fit(") == std::string::npos)
            continue;
        for (int start = 1; start <= 2; ++start) {
            std::string text = script;
            for (size_t at; (at = text.find("%1")) != std::string::npos;)
                text.replace(at, 2, std::to_string(start));
            const size_t at = text.find("qfit.fit("), end = text.find(';', at);
            const std::string setup = text.substr(0, at), fitStatement = text.substr(at, end + 1 - at),
                              rest = text.substr(end + 1);
            std::string oneIteration = fitStatement;
            oneIteration.replace(0, 9, "qfit.fit(1+0*");
            int iterations = 0;
            // The fit runs as many iterations as it takes, then once more with exactly that
            // many as its limit, which is what is timed: a fit that ends because a round finds
            // no reduction spends that round on top of its iterations, and GSL, given the
            // same number of iterations, is not asked for it either.
            if (!Run(setup, true) || !Run(fitStatement, false) || !Run(rest, false))
                return 1;
            const std::string exactStatement = "qfit.fit(" + std::to_string(Iterations()) + ");";
            // One timed run of a statement after its set-up; -1 when a part fails.
            auto timed = [&](const std::string& statement) {
                LARGE_INTEGER frequency, t0, t1;
                QueryPerformanceFrequency(&frequency);
                if (!Run(setup, true))
                    return -1.0;
                QueryPerformanceCounter(&t0);
                const bool ok = Run(statement, false);
                QueryPerformanceCounter(&t1);
                if (!ok || !Run(rest, false))
                    return -1.0;
                if (statement == exactStatement)
                    iterations = Iterations();
                return double(t1.QuadPart - t0.QuadPart) / frequency.QuadPart;
            };
            // The best of 20 runs each, the full fit and the one iteration taken in turns,
            // exactly as the GSL reference takes its own, so that both sides see the same
            // spells of load on a shared machine.
            double full = 1e300, base = 1e300;
            for (int r = 0; r < 20 && full >= 0 && base >= 0; ++r) {
                const double t = timed(exactStatement), t1 = t < 0 ? -1.0 : timed(oneIteration);
                full = t < 0 ? -1.0 : std::min(full, t);
                base = t1 < 0 ? -1.0 : std::min(base, t1);
            }
            if (full < 0 || base < 0)
                return 1;
            printf("NIST %s %d %d %.9g\n", problem, start, iterations,
                   iterations > 1 ? std::max(0.0, full - base) / (iterations - 1) : 0.0);
            fflush(stdout);
        }
    }

    if (argc > 1 && _stricmp(argv[1], "gauss") != 0)
        return 0;
    // The Gaussian through the function library, data made in memory as by an import.
    FILE* f = fopen((folder + "BenchGauss.fdf").c_str(), "wb");
    fputs("[GENERAL INFORMATION]\r\nFunction Name=BenchGauss\r\nFunction Source=curvelib.Gauss\r\n"
          "Function Type=Built-in\r\nNumber Of Parameters=4\r\nNumber Of Independent Variables=1\r\n"
          "Number Of Dependent Variables=1\r\n[FITTING PARAMETERS]\r\nNames=y0,xc,w,A\r\n"
          "[CONTROLS]\r\nKeep Parameters=No\r\n",
          f);
    fclose(f);
    WritePrivateProfileStringA("Category", "Bench", folder.c_str(), ini.c_str());
    WritePrivateProfileStringA("Bench", "BenchGauss", "BenchGauss", ini.c_str());
    std::vector<double> x(FIT_BENCH_POINTS), y(FIT_BENCH_POINTS);
    FitBenchData(FIT_BENCH_POINTS, x.data(), y.data());
    qkfxGetProject().New();
    qkfxGetScript().Reset();
    CQKDataset* gx = qkfxGetProject().CreateDataset("gx", FIT_BENCH_POINTS);
    CQKDataset* gy = qkfxGetProject().CreateDataset("gy", FIT_BENCH_POINTS);
    for (int i = 0; i < FIT_BENCH_POINTS; ++i) {
        gx->SetValue(i, x[i]);
        gy->SetValue(i, y[i]);
    }
    char text[512];
    snprintf(text, sizeof text,
             "qfit.func$ = BenchGauss; qfit.x$ = gx; qfit.y$ = gy; qfit.nofitcurve = 1; qfit.tolerance = 0;"
             "qfit.p1 = %.17g; qfit.p2 = %.17g; qfit.p3 = %.17g; qfit.p4 = %.17g;"
             "qfit.fit(%d); type NITER $(qfit.niter) $(qfit.p1) $(qfit.p2) $(qfit.p3) $(qfit.p4); qfit.end();",
             kFitBenchStart[0], kFitBenchStart[1], kFitBenchStart[2], kFitBenchStart[3], FIT_BENCH_ITERATIONS);
    // The best of three whole fits, as the scipy reference takes its best of three: the
    // first run alone also pays for memory the process has not touched before.
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    double seconds = 1e300;
    for (int r = 0; r < 3; ++r) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        if (!Run(text, false))
            return 1;
        QueryPerformanceCounter(&t1);
        seconds = std::min(seconds, double(t1.QuadPart - t0.QuadPart) / frequency.QuadPart);
    }
    const int iterations = Iterations();
    fprintf(stderr, "Gaussian fit: %s", g_out.c_str());
    printf("GAUSS %d %d %.9g\n", FIT_BENCH_POINTS, iterations, iterations > 0 ? seconds / iterations : 0.0);
    qkfxSetGlobalINIPath(nullptr);
    return 0;
}
