// The calling convention of fitting-function libraries (QCLB60.dll and External DLL
// libraries alike), as the fitter binds and calls them.
//
// Every model function computes one data point: the fitter hands it the parameters, the
// independent values and the output arrays, all 1-based (element 0 is never read or
// written). The mode word asks for one of three things: the query (does the function have
// analytic derivatives?), the value, or the value with its partial derivatives.
//
// The 32-bit program this library descends from passed every argument in a 32-bit slot;
// here the slots that carry pointers or handles are pointer-sized, the counts stay int.
#pragma once

#include <windows.h>

#include "QFitHost.h"
#include "qxdefs.h"

// Mode bits of a FitFunction call; functions read the low byte, and the fitter sets
// exactly one bit per call.
enum {
    FITMODE_QUERY = 1,        // answer 1 when the function has analytic derivatives, else 0
    FITMODE_VALUE = 2,        // y[1] = f(x; p)
    FITMODE_DERIVATIVES = 4   // y[1] = f(x; p) and d[i] = df/dp_i
};

// One model function. Arguments in order:
//   mode        FITMODE_* bits (low byte read)
//   host        the fitter's host callback (QFitHost.h), never called by a model function
//   nParams     the caller's parameter count including replicas, read as a signed 16-bit
//               number by the functions whose peak count follows from it; 0 on the query
//   currentRow  the caller's current data row; not read
//   reserved    0; not read
//   params      p1 = params[1] ... pn = params[n]
//   work        the caller's work array; not read
//   x           x[1] (and x[2] where the row has two independent variables)
//   y           y[1] receives the value; a multi-peak function also writes peak i into y[1 + i]
//   d           d[i] = dy/dp_i, written in FITMODE_DERIVATIVES
// Result: 0 success, 1 failure (y[1] and the row's derivatives then hold MISSING_VALUE),
// or the query answer.
//
// Sizes the caller must give: params and d at least n + 1 doubles where n is the row's
// nParams (or the larger count it passes for a replicable function), x at least
// nIndependent + 1, y at least 2 (a multi-peak function: number of peaks + 2).
typedef int(WINAPI *FitFunction)(int mode, HostCallback host, int nParams, int currentRow,
                                 int reserved, double *params, double *work, double *x,
                                 double *y, double *d);

// One row of a library's name table. nParams is the number of parameters the function
// reads; the fitter sizes its arrays from it.
struct FitFuncEntry {
    unsigned short nIndependent;
    unsigned short nDependent;
    unsigned short nParams;
    unsigned short nReserved;   // 0 in every row; compared by the fitter like the others
    const char *name;
    FitFunction function;
};

// The lookup export of a Built-in library, "Get_Func": finds the row by name (case does not
// matter), writes its four counts through the pointers that are not null and returns its
// function; returns 0 and writes nothing for an unknown name.
typedef FitFunction(WINAPI *GetFuncProc)(const char *name, unsigned short *nIndependent,
                                         unsigned short *nDependent, unsigned short *nParams,
                                         unsigned short *nReserved);

// The file a Function Source library name "curvelib" stands for, in the program folder.
#define CURVELIB_FILE_NAME "QCLB60.dll"
