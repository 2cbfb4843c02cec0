// The fitter's readers, reached as a script reaches them: a function definition file chosen
// by name from the catalogue, and the settings of qfit.ini read when a session begins.
#include "Fuzz.h"

#include <cmath>

#include "QKData.h"
#include "QKScript.h"
#include "QKAccess.h"

namespace {

using qxfuzz::Bytes;

void Quiet(const char*, int, void*) {}

// The settings folder of the run: qfit.ini names the category "Fuzz", whose folder holds
// the one function "Fuzz". A file of the current folder must outlive every qfit.ini: a value that
// would delete it (fum.remove) must never run.
struct Settings {
    std::string folder, sentinel;
    Settings()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qxfuzz-settings-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\fz").c_str(), nullptr);
        sentinel = "qxfuzz-sentinel.txt"; // in the current folder, where a relative name points
        qkfxSetGlobalINIPath(folder.c_str());
    }
    void Write(const std::string& name, const Bytes& bytes) const
    {
        if (FILE* f = fopen((folder + "\\" + name).c_str(), "wb")) {
            if (!bytes.empty())
                fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
    }
    void Catalogue() const
    {
        std::string ini = "[Category]\r\nFuzz=fz\r\n\r\n[Fuzz]\r\nDefault Function=Fuzz\r\nFuzz=Fuzz\r\n";
        Write("qfit.ini", Bytes(ini.begin(), ini.end()));
        if (FILE* f = fopen(sentinel.c_str(), "wb"))
            fclose(f);
    }
};

const Settings& TheSettings()
{
    static Settings settings;
    return settings;
}

bool Number(const char* expression, double* value)
{
    return qkfxGetScript().Evaluate(expression, value);
}

// A fresh project and fitter session over the input's file.
void Fresh()
{
    qkfxGetProject().New();
    CQKScript& s = qkfxGetScript();
    s.Reset();
    s.SetOutput(qxfuzz::Verbose() ? nullptr : &Quiet, nullptr);
    s.Execute("qfit.uninit()");
}

// Chosen, or refused with a reason; a function that did not load never fits.
std::string RunDefinition(const Bytes& input)
{
    const Settings& settings = TheSettings();
    settings.Catalogue();
    settings.Write("fz\\Fuzz.fdf", input);
    Fresh();
    CQKScript& s = qkfxGetScript();
    s.Execute("win -t wks; col(A) = 1; col(B) = 2; Data1_A[3] = 3; Data1_B[3] = 5");
    s.Execute("qfit.init(); qfit.func$ = Fuzz");
    double err = 0, npara = 0;
    if (!Number("qfit.err", &err))
        return "qfit.err cannot be read: " + s.GetLastError();
    std::string name;
    bool chosen = err == 0 && s.Execute("%F = qfit.func$") && s.GetStringVar('F' - 'A', &name) && name == "Fuzz";
    qxfuzz::Tally(chosen ? "chosen" : "refused");
    if (chosen && Number("qfit.npara", &npara) && (npara < 0 || npara > 10000 || npara != std::floor(npara)))
        return "a definition gave " + std::to_string(npara) + " parameters";
    if (!chosen) {
        s.Execute("qfit.x$ = Data1_A; qfit.y$ = Data1_B; qfit.fit(3)");
        double after = 0;
        if (Number("qfit.err", &after) && after == 0 && Number("qfit.npara", &npara) && npara == 0)
            return "a fit without a loaded function answered success";
    }
    s.Execute("qfit.uninit()");
    return std::string();
}

// Whatever qfit.ini holds, the settings a session begins with are in their ranges, and no
// value ran as a script.
std::string RunSettings(const Bytes& input)
{
    const Settings& settings = TheSettings();
    settings.Catalogue();
    settings.Write("qfit.ini", input);
    Fresh();
    qkfxGetScript().Execute("qfit.init()");
    double tolerance = 0, step = 0, low = 0, high = 0, points = 0;
    if (!Number("qfit.tolerance", &tolerance) || !Number("qfit.derivstep", &step) ||
        !Number("qfit.minderivstep", &low) || !Number("qfit.maxderivstep", &high) || !Number("qfit.xpoints", &points))
        return "a setting cannot be read: " + qkfxGetScript().GetLastError();
    if (!std::isfinite(tolerance) || tolerance < 0)
        return "the tolerance is " + std::to_string(tolerance);
    if (!std::isfinite(step) || step <= 0)
        return "the derivative step is " + std::to_string(step);
    if (!(low <= high))
        return "the smallest derivative step lies above the largest";
    if (GetFileAttributesA(settings.sentinel.c_str()) == INVALID_FILE_ATTRIBUTES)
        return "a value of qfit.ini ran as a script and deleted a file";
    qxfuzz::Tally(tolerance == 0.05 && step == 0.005 ? "defaults" : "settings read");
    qkfxGetScript().Execute("qfit.uninit()");
    return std::string();
}

qxfuzz::Registration definition({"fdf", "fdf", RunDefinition, nullptr, nullptr,
                                 {"[FORMULA]", "[CONSTANTS]", "[GENERAL INFORMATION]", "Number Of Parameters=",
                                  "Function Type=User-Defined", "Function Source=curvelib.", "Names=", "(V)", "--",
                                  "=", ",", "\r\n", "y =", "exp(", "Number Of Duplicates=", "99999999"}});
qxfuzz::Registration fitSettings({"qfitini", "qfitini", RunSettings, nullptr, nullptr,
                                  {"[QFIT Control]", "tolerance=", "derivStepSize=", "minDerivStepSize=",
                                   "maxDerivStepSize=", "STEP=", "FITNPTS=", "1e400", "-1", "nan", "0", "x = 1",
                                   "fum.remove(qxfuzz-sentinel.txt)", "run.section(", "Function Group=", "\r\n", "=", ";"}});

} // namespace
