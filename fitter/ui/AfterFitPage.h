// The after-fit page (page 914): what happens when the fitting session ends.
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 1100).
extern "C" INT_PTR CALLBACK AfterFit(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Writes the options and the after-fit script into the current definition; always 0.
int LeaveAfterFitPage(HWND page, FittingSession* s);
