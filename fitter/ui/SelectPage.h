// The function selection page (page 904).
#pragma once

#include <windows.h>

struct FittingSession;

// Dialog procedure of the page (ordinal 100).
extern "C" INT_PTR CALLBACK SelectFitFunx(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The page's leave routine: 1 keeps the user on the page.
int LeaveSelectPage(HWND page, FittingSession* s);

// Menu "Add": the user picks a function file; its function joins the list and the category
// (written into the category's folder when it lies elsewhere). 0 added, 1 not (no file, a
// function of that name or path listed already, a file that cannot be read or written).
int AddFunctionFromFile(HWND page, FittingSession* s);

// Menu "Delete": removes the selected function from the list and its category; 0 done,
// 1 when the user declined, -1 when nothing could be removed.
int DeleteSelectedFunction(HWND page, FittingSession* s);
