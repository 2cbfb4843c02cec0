// The function definition pages: the new-function page (906) starts from a fresh
// definition, the edit page (905) works on a copy of the current function. Both show the
// definition as a form or as the text of its file, and save it to its ".fdf" file.
#pragma once

#include <windows.h>

#include <string>

struct FittingSession;
struct FunctionDef;

// Dialog procedures of the pages (ordinal 200) and of the two save dialogs (1400, 1700).
extern "C" INT_PTR CALLBACK DefFitFunx(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR CALLBACK AttentionSave(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" INT_PTR CALLBACK QFIT_SaveAs(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The page creators' part: prepares the record the page edits and chooses its template;
// false when no page can be made.
bool PrepareDefinePage(FittingSession* s, int page, int* templateId);
int LeaveNewPage(HWND page, FittingSession* s);
int LeaveEditPage(HWND page, FittingSession* s);

// The check run before a definition page is left: 0 when the page's definition is usable,
// else the first failing check (256 a system variable among the parameter names, 1024 a
// name the script language uses, other values an incomplete definition).
int CheckEditedFunction(FittingSession* s);

// A new definition with the defaults of a new function and a name "user<n>" that no loaded
// function, file or path of the category has yet; null when it cannot be made. The caller
// frees it with FreeFunctionRecord.
FunctionDef* NewFunctionDefinition(FittingSession* s);
void FreeFunctionRecord(FunctionDef* def);

// Appends the record to the loaded functions and makes the copy current; the record is
// freed. 0, or 28023 when memory runs out.
int AppendFunction(FittingSession* s, FunctionDef* record);

// The folder of the session's category (key <category> of section "Category" of qfit.ini),
// made absolute, ending in "\\".
std::string CategoryFolder(FittingSession* s);

// Counts the names of a list separated by "," or ";", in place: a ";" that closes a name
// becomes ",", a separator that closes none becomes a blank.
int CountNames(char* text);

// Writes the record to its file, asking for another name when a never saved function would
// overwrite an existing file. 1 written, 0 not (cancelled or the file could not be written).
int SaveFunction(HWND owner, FittingSession* s, FunctionDef* record);

// When any loaded function is new or modified, asks which to save. Returns 0.
int AskSaveFunctions(HWND owner, FittingSession* s);
