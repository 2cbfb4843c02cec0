// The results page (page 908): bands, residues, the parameter worksheet and the
// variance-covariance matrix of the fit, for the dependent variables the user selects.
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 900).
extern "C" INT_PTR CALLBACK FitResults(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Stores the confidence and prediction levels that lie strictly between 0 and 1; always 0.
int LeaveResultsPage(HWND page, FittingSession* s);
