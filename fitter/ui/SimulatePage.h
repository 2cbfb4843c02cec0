// The simulate page (913): a curve of the current function with the parameters shown.
#pragma once

#include <windows.h>
#include <stddef.h>

struct FittingSession;

// Dialog procedure (ordinal 600).
extern "C" INT_PTR CALLBACK Simulate(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The page exists only on a begun fitting session: false when none can be begun.
bool PrepareSimulatePage(FittingSession* s, int page, int* templateId);
int LeaveSimulatePage(HWND page, FittingSession* s);

// The function's name cut to 13 characters, then "_" and the first letter from B to Y
// that names no dataset yet (then the letters with a digit).
void DefaultSimulationName(FittingSession* s, char* out, size_t capacity);

// The curve of dependent variable d named "Sheet_Column" (no "_": worksheet SIMULATE), at
// the X of its fitting data or uniformly spaced as the page set it. 0 made, 1 not (no
// data for the same-X spacing, no usable count, a dataset the host would not make),
// 28030 when stopped.
int MakeSimulatedCurve(FittingSession* s, int d, const char* curveName);
