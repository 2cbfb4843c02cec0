// A small function library of the Built-in convention for the engine's tests.
//   Gauss  y = y0 + A exp(-(x - xc)^2 / (2 w^2))   parameters y0 xc w A, analytic derivatives
//   Line   y = a + b x                              numeric derivatives
//   Quad   y = a + b x + c x^2                      numeric derivatives
//   Prop   y = a b x                                a and b cannot be told apart
//   Huge   y = 1e155 a x                            beyond the engine's value limit
//   Crash  writes through a null pointer
// and, exported at ordinal 7 only, a line in the record form of functions bound by ordinal.
#include <windows.h>

#include <math.h>
#include <string.h>

#include "FitFunction.h"

namespace {

int WINAPI Gauss(int mode, HostCallback, int, int, int, double* p, double*, double* x, double* y, double* d)
{
    if (mode & FITMODE_QUERY)
        return 1;
    const double u = (x[1] - p[2]) / p[3];
    const double e = exp(-0.5 * u * u);
    y[1] = p[1] + p[4] * e;
    if (mode & FITMODE_DERIVATIVES) {
        d[1] = 1;
        d[2] = p[4] * e * u / p[3];
        d[3] = p[4] * e * u * u / p[3];
        d[4] = e;
    }
    return 0;
}

int WINAPI Line(int mode, HostCallback, int, int, int, double* p, double*, double* x, double* y, double*)
{
    if (mode & FITMODE_QUERY)
        return 0;
    y[1] = p[1] + p[2] * x[1];
    return 0;
}

int WINAPI Quad(int mode, HostCallback, int, int, int, double* p, double*, double* x, double* y, double*)
{
    if (mode & FITMODE_QUERY)
        return 0;
    y[1] = p[1] + p[2] * x[1] + p[3] * x[1] * x[1];
    return 0;
}

int WINAPI Prop(int mode, HostCallback, int, int, int, double* p, double*, double* x, double* y, double*)
{
    if (mode & FITMODE_QUERY)
        return 0;
    y[1] = p[1] * p[2] * x[1];
    return 0;
}

int WINAPI Huge(int mode, HostCallback, int, int, int, double* p, double*, double* x, double* y, double*)
{
    if (mode & FITMODE_QUERY)
        return 0;
    y[1] = 1e155 * p[1] * x[1];
    return 0;
}

int WINAPI Crash(int mode, HostCallback, int, int, int, double*, double*, double*, double* y, double*)
{
    if (mode & FITMODE_QUERY)
        return 0;
    volatile double* nowhere = nullptr;
    *nowhere = 1;
    y[1] = 0;
    return 0;
}

const FitFuncEntry kTable[] = {
    {1, 1, 4, 0, "Gauss", Gauss},
    {1, 1, 2, 0, "Line", Line},
    {1, 1, 3, 0, "Quad", Quad},
    {1, 1, 2, 0, "Prop", Prop},
    {1, 1, 1, 0, "Huge", Huge},
    {1, 1, 1, 0, "Crash", Crash},
};

}  // namespace

extern "C" FitFunction WINAPI Get_Func(const char* name, unsigned short* nIndependent, unsigned short* nDependent,
                                       unsigned short* nParams, unsigned short* nReserved)
{
    for (const FitFuncEntry& e : kTable)
        if (_stricmp(e.name, name) == 0) {
            if (nIndependent)
                *nIndependent = e.nIndependent;
            if (nDependent)
                *nDependent = e.nDependent;
            if (nParams)
                *nParams = e.nParams;
            if (nReserved)
                *nReserved = e.nReserved;
            return e.function;
        }
    return nullptr;
}

namespace {
int RecordInitCalls;
}

// Record form: the record is {x; current row}; y replaces x. A call with no parameters is
// the set-up call.
extern "C" int WINAPI RecordLine(HWND, void* record, int nParams, double* firstParam, HostCallback)
{
    if (nParams == 0) {
        ++RecordInitCalls;
        return 0;
    }
    double* r = static_cast<double*>(record);
    r[0] = firstParam[0] + firstParam[1] * r[0];
    return 0;
}

extern "C" int WINAPI RecordLineSetUpCalls()
{
    return RecordInitCalls;
}

// The same models exported by name, as External DLL functions of the library convention.
extern "C" int WINAPI ExternalGauss(int mode, HostCallback h, int n, int row, int r, double* p, double* w, double* x,
                                    double* y, double* d)
{
    return Gauss(mode, h, n, row, r, p, w, x, y, d);
}

extern "C" int WINAPI ExternalLine(int mode, HostCallback h, int n, int row, int r, double* p, double* w, double* x,
                                   double* y, double* d)
{
    return Line(mode, h, n, row, r, p, w, x, y, d);
}
