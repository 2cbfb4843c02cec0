// What the fit engine needs of the fitter window. The window itself, its pages and
// dialogs come with the fitter's user interface; until then the window is never open.
#pragma once

#include <windows.h>

struct FittingSession;

// Window procedure of the class "QFIT41Parent".
LRESULT CALLBACK QFITControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers "QFIT41Parent" once per process; false when it cannot be registered.
bool RegisterFitterClass(HINSTANCE instance);

// Closes the fitter window of the session if it is open.
void CloseFitterWindow(FittingSession* s);

// Member CONTROL: opens the fitter window at the page the argument names.
int ShowFitterPage(FittingSession* s, const char* argument);

// Dialog template id of the window's current page, 0 when the window is not open.
int FitterPageTemplateId(FittingSession* s);

// Has the session page reload its parameter rows when it is shown.
void RefreshSessionPage(FittingSession* s);

// Members Y (mode 0) and FITDATA (mode 1): a get writes dependent variable n's dataset
// name into text (QFIT_STRING_VALUE_CAPACITY bytes); a set assigns the named dataset,
// 28035 when it does not exist. 0 when done.
int AssignDependentDataset(FittingSession* s, int mode, bool get, int n, char* text);

// The fitter's message box: string messageId formatted with arg, with 1 (OK), 2 (OK,
// Cancel) or 3 (Yes, No, Cancel) buttons, shown modally while the fitter window is
// disabled. Returns the 1-based number of the button pressed.
int FitMessageDialog(HWND owner, FittingSession* s, int buttons, int messageId, const char* arg);
