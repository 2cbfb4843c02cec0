// The constraints page (page 910): parameter bounds and the general linear constraints.
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 700).
extern "C" INT_PTR CALLBACK ConstraintsControl(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Writes the page into the definition and the parameters; 1 keeps the user on the page
// when a bound holds a comma.
int LeaveConstraintsPage(HWND page, FittingSession* s);
