// Functions whose implementation has not landed yet stop the program with a message
// rather than answer something that looks valid.
#include "qxutil.h"

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void NotBuilt(const char *what)
{
    std::fprintf(stderr, "qxutil: %s is not built yet\n", what);
    std::fflush(stderr);
    std::abort();
}

} // namespace

extern "C" double UtilTQuantile(const double *) { NotBuilt("UtilTQuantile"); }
extern "C" double UtilFQuantile(const double *) { NotBuilt("UtilFQuantile"); }
extern "C" double UtilChiSquareQuantile(const double *) { NotBuilt("UtilChiSquareQuantile"); }
extern "C" int UtilStudentTInverse(const double *, double *) { NotBuilt("UtilStudentTInverse"); }
extern "C" double UtilIncompleteBeta(const double *) { NotBuilt("UtilIncompleteBeta"); }
extern "C" void UtilErf(double *) { NotBuilt("UtilErf"); }
extern "C" int UtilBinomial(int, int, int, double *) { NotBuilt("UtilBinomial"); }
extern "C" int UtilVectorAngle(double *) { NotBuilt("UtilVectorAngle"); }
extern "C" int UtilInvertMatrix(int, double *, int) { NotBuilt("UtilInvertMatrix"); }
extern "C" int UtilProgressBox(HWND, int, int, const char *) { NotBuilt("UtilProgressBox"); }
extern "C" int UtilPrepareDC(HANDLE, int, int, int) { NotBuilt("UtilPrepareDC"); }
extern "C" DWORD UtilPaletteService(HDC, int, DWORD_PTR, const void *) { NotBuilt("UtilPaletteService"); }
