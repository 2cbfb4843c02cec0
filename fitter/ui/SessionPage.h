// The fitting session page (page 907).
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 400).
extern "C" INT_PTR CALLBACK FitSession(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The page's leave routine: the rows are read back and committed, and the log is kept for
// the next visit while the fitting session goes on. Always 0.
int LeaveSessionPage(HWND page, FittingSession* s);

// Writes what an action (Chi-Sqr 306, Levenberg-Marquardt 303, simplex 304) did into the
// log, with its engine result.
void AppendIterationLog(HWND page, FittingSession* s, int action, int result);
