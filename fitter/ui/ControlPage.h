// The control page (page 909): iterations, tolerance, derivative steps, weighting per
// dependent variable, error scaling and significant digits.
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 800).
extern "C" INT_PTR CALLBACK FitControl(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Reads the page back into the session; a text the host cannot evaluate keeps the old
// value. Always 0.
int LeaveControlPage(HWND page, FittingSession* s);
