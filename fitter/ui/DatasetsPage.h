// The datasets page (page 911): which dataset and rows each variable of each fit set takes.
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 500).
extern "C" INT_PTR CALLBACK VariableDataset(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Nothing to read back: every assignment takes effect when it is made; always 0.
int LeaveDatasetsPage(HWND page, FittingSession* s);
