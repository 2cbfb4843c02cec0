// The initialization page (page 912): initial values, constants and the initialization
// script of the current function.
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 1000).
extern "C" INT_PTR CALLBACK FitInit(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Writes the page into the definition and the parameters; 1 keeps the user on the page
// when an initial value holds a comma or a constant has no numeric value.
int LeaveInitPage(HWND page, FittingSession* s);
