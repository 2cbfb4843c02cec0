#include "FitTable.h"

#include <cstdio>

// Every body the table names, declared once per row (a shared body is declared again,
// which is harmless).
#define QX_ROW(row, function, exportName, ordinal, nIndependent, nParams, group)          \
    extern "C" int WINAPI function(int, HostCallback, int, int, int, double *, double *, \
                                   double *, double *, double *);
#define QX_EXPORT(name, ordinal)
#define QX_FORM(row, meanings, start, xFrom, xTo, formula)
#include "FitTable.inc"
#undef QX_ROW
#undef QX_EXPORT
#undef QX_FORM

namespace curvelib {

const FitFuncEntry kFitTable[] = {
#define QX_ROW(row, function, exportName, ordinal, nIndependent, nParams, group) \
    {nIndependent, 1, nParams, 0, #row, function},
#define QX_EXPORT(name, ordinal)
#define QX_FORM(row, meanings, start, xFrom, xTo, formula)
#include "FitTable.inc"
#undef QX_ROW
#undef QX_EXPORT
#undef QX_FORM
};

const int kFitTableSize = sizeof(kFitTable) / sizeof(kFitTable[0]);

const FitFuncEntry *FindRow(const char *name)
{
    if (!name)
        return nullptr;
    for (const FitFuncEntry &row : kFitTable) {
        if (lstrcmpiA(row.name, name) == 0)
            return &row;
    }
    return nullptr;
}

void ListFunctionNames(HWND window)
{
    for (const FitFuncEntry &row : kFitTable) {
        char line[64];
        std::snprintf(line, sizeof line, "type %s", row.name);
        SendMessageA(window, WM_USER, 0, reinterpret_cast<LPARAM>(line));
    }
}

int GetParamCount(const char *name)
{
    const FitFuncEntry *row = FindRow(name);
    return row ? row->nParams : 0;
}

} // namespace curvelib

extern "C" FitFunction WINAPI Get_Func(const char *name, unsigned short *nIndependent,
                                       unsigned short *nDependent, unsigned short *nParams,
                                       unsigned short *nReserved)
{
    const FitFuncEntry *row = curvelib::FindRow(name);
    if (!row)
        return nullptr;
    if (nIndependent)
        *nIndependent = row->nIndependent;
    if (nDependent)
        *nDependent = row->nDependent;
    if (nParams)
        *nParams = row->nParams;
    if (nReserved)
        *nReserved = row->nReserved;
    return row->function;
}

extern "C" FitFunction WINAPI get_funx(const char *name)
{
    const FitFuncEntry *row = curvelib::FindRow(name);
    return row ? row->function : nullptr;
}

// Kept for the libraries' common export list; it has nothing to list.
extern "C" int WINAPI get_funx_list(INT_PTR)
{
    return 0;
}
