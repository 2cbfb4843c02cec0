// The library's name table and the lookups over it (Get_Func and its relatives, and the
// three table operations the test export FuncTest uses).
#pragma once

#include "FitFunction.h"

namespace curvelib {

extern const FitFuncEntry kFitTable[];
extern const int kFitTableSize;

// The first row whose name equals `name` without regard to case, in table order; null
// when none does or `name` is null.
const FitFuncEntry *FindRow(const char *name);

// Sends "type <row name>" for every row in table order to `window` (WM_USER, wParam 0).
void ListFunctionNames(HWND window);

// The row's parameter count, 0 for an unknown name.
int GetParamCount(const char *name);

} // namespace curvelib
