// Certified accuracy: every NIST StRD nonlinear problem shipped in nist/ is fitted from both
// NIST starts by its own script, through the kernel's interpreter and the fitter library as
// a user would run it, and compared with the certified values in the problem's .dat file.
//
// The measure is the log relative error (LRE, the number of agreeing significant digits).
// Each parameter and each standard error must reach 4; the median over all of them must
// reach 6. The certified values are read from the NIST files themselves, never from the
// engine.
//
// The scripts set what a careful user sets: a tight tolerance, a small derivative step, and
// where the model has decay rates whose far start sends them off the data (BoxBOD, MGH17),
// bounds that keep the rates positive and on the data.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <cmath>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptKit.h"
#include "qxtest/Numeric.h"

namespace {

// A printed number, NaN for the missing value "--".
double Number(const char* text)
{
    char* end = nullptr;
    const double v = strtod(text, &end);
    return end != text ? v : NAN;
}

struct Certified {
    double value, deviation;
};

std::string NistFolder()
{
    std::string folder = "Z:" QX_NIST_DIR "\\";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

// Rows "  b1 =  start1  start2  certified  deviation" of the file's header.
std::vector<Certified> ReadCertified(const std::string& path)
{
    std::ifstream in(path);
    std::vector<Certified> values;
    std::string line;
    for (int n = 1; std::getline(in, line) && n < 60; ++n) {
        char name[8];
        double start1, start2, value, deviation;
        if (sscanf(line.c_str(), " %7[b0-9] = %lf %lf %lf %lf", name, &start1, &start2, &value, &deviation) == 5)
            values.push_back({value, deviation});
    }
    return values;
}

}  // namespace

TEST(Nist, CertifiedValuesFromBothStarts)
{
    const std::vector<std::string> problems = {"BoxBOD", "Chwirut1", "Chwirut2", "DanWood", "Eckerle4",
                                               "Gauss1", "Hahn1",    "Kirby2",   "Lanczos3", "MGH17",
                                               "Misra1a", "Misra1b", "Rat42"};
    const std::string ini = scriptkit::UseSettingsFolder("nist") + "qfit.ini";
    // The catalogue lists every problem in category "NIST", whose folder is this one.
    WritePrivateProfileStringA("Category", "NIST", NistFolder().c_str(), ini.c_str());
    for (const std::string& p : problems)
        WritePrivateProfileStringA("NIST", p.c_str(), p.c_str(), ini.c_str());
    std::vector<double> all;
    for (const std::string& problem : problems) {
        const std::vector<Certified> certified = ReadCertified(NistFolder() + problem + ".dat");
        ASSERT_FALSE(certified.empty()) << problem;
        for (int start = 1; start <= 2; ++start) {
            SCOPED_TRACE(problem + " from start " + std::to_string(start));
            std::string out, error;
            ASSERT_TRUE(scriptkit::Run(NistFolder() + problem + ".qgs", "", {std::to_string(start)}, &out, &error))
                << error;
            std::istringstream lines(out);
            std::vector<double> values(certified.size()), errors(certified.size());
            size_t found = 0;
            std::string line;
            while (std::getline(lines, line)) {
                unsigned index;
                char v[64], e[64];
                if (sscanf(line.c_str(), "P%u %63s %63s", &index, v, e) == 3 && index >= 1 &&
                    index <= certified.size()) {
                    values[index - 1] = Number(v);
                    errors[index - 1] = Number(e);
                    ++found;
                }
            }
            ASSERT_EQ(certified.size(), found) << out;
            for (size_t i = 0; i < certified.size(); ++i) {
                const double lreValue = std::isnan(values[i]) ? 0 : std::max(0.0, qxtest::Lre(values[i], certified[i].value));
                const double lreError = std::isnan(errors[i]) ? 0 : std::max(0.0, qxtest::Lre(errors[i], certified[i].deviation));
                all.push_back(lreValue);
                all.push_back(lreError);
                EXPECT_GE(lreValue, 4.0) << "b" << i + 1 << " = " << values[i] << ", certified "
                                         << certified[i].value;
                EXPECT_GE(lreError, 4.0) << "error of b" << i + 1 << " = " << errors[i] << ", certified "
                                         << certified[i].deviation;
            }
        }
    }
    qkfxSetGlobalINIPath(nullptr);
    std::sort(all.begin(), all.end());
    ASSERT_FALSE(all.empty());
    const double median = all.size() % 2 ? all[all.size() / 2] : (all[all.size() / 2 - 1] + all[all.size() / 2]) / 2;
    printf("NIST nonlinear: %zu figures, lowest LRE %.2f, median %.2f\n", all.size(), all.front(), median);
    EXPECT_GE(median, 6.0);
}
