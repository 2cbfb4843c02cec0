// The fitter main window: one top-level window that hosts one modeless page dialog at a
// time, with a toolbar row, a menu and a status line. Everything a page shows belongs to
// the fit session; the window keeps only handles and display flags in it.
#pragma once

#include <windows.h>

#include <string>

struct FittingSession;

// Window procedure of the class "QFIT41Parent" (ordinal 300).
extern "C" LRESULT CALLBACK QFITControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers "QFIT41Parent" once per process; false when it cannot be registered.
bool RegisterFitterClass(HINSTANCE instance);

// Opens the window at the session's current page, or restores and raises it when open.
HWND OpenFitterWindow(HWND owner, FittingSession* s);

// Closes the fitter window of the session if it is open: leaves the page, offers to end a
// fitting session under way, and keeps the page, mode and place for the next opening.
void CloseFitterWindow(FittingSession* s);

// Member CONTROL: opens the window at the page the word names ("Sele", "Edit", "New",
// "Fit", "Repl", "Resu", "Simu", "Cont", "Cons", "Init", "Afte"; "Clos" closes it).
int ShowFitterPage(FittingSession* s, const char* argument);

// The dialog template of a page in the session's current mode, 0 for an unknown page; the
// host shows it as the page's help topic.
int PageTemplateId(FittingSession* s, int page);

// Brings the menu and toolbar states up to date with the session (pages call it after
// changing the current function).
void UpdateFitterCommands(FittingSession* s);

// Template id of the window's current page, 0 when the window is not open.
int FitterPageTemplateId(FittingSession* s);

// Has the session page reload its parameter rows when it is shown.
void RefreshSessionPage(FittingSession* s);

// Members Y (mode 0) and FITDATA (mode 1): a get writes dependent variable n's dataset
// name into text (QFIT_STRING_VALUE_CAPACITY bytes); a set assigns the named dataset,
// 28035 when it does not exist. 0 when done.
int AssignDependentDataset(FittingSession* s, int mode, bool get, int n, char* text);

// Status line and message box: string id formatted with a, b and c (each a number or a
// string pointer, as the format asks). A window target puts the text in its status line
// and returns 0; no target shows a box of the given type captioned "NonLinear Curve
// Fitting" and returns its answer. 1 when the text cannot be had.
int FitMessage(HWND target, int stringId, FittingSession* s, INT_PTR a = 0, INT_PTR b = 0, INT_PTR c = 0,
               UINT boxType = MB_OK);

// The fitter's own message dialog: string id formatted with s1..s3, one to three buttons
// with the given captions, modal while the owner, host, main and page windows are
// disabled. Returns 1, 2 or 3 for the button pressed.
int FitMessageDialog(HWND owner, FittingSession* s, int buttons, int stringId, const char* s1 = nullptr,
                     const char* s2 = nullptr, const char* s3 = nullptr, const char* caption1 = "Ok",
                     const char* caption2 = "Cancel", const char* caption3 = "Cancel");

// Dialog procedure of the About box (ordinal 1600).
extern "C" INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog procedure of the message dialog (ordinal 54).
extern "C" INT_PTR CALLBACK FitMsgDisplay(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Run first by every fitter window: F1 help for the current page and the grey colours.
// True when the message was handled, with its result in *result.
bool FitterColorFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// Mouse messages over the toolbar row tell the host the help line of the button under the
// cursor; true when the message was consumed.
bool ToolbarMouseHelp(FittingSession* s, UINT message, LPARAM lParam, LRESULT* result);

// The fit report, onto the fit graph as a label (when the fit was begun in a graph) or
// into the results log.
void PasteFitResults(FittingSession* s, bool toPlot);

// Small string, list and edit helpers the pages share.
std::string FitterString(int id);
void SetEditNumber(HWND dialog, int id, double value);  // as many digits as the value needs
void SelectListText(HWND dialog, int listId, const char* text);
void FitListExtent(HWND dialog, int listId, FittingSession* s);
// Fills a list with the host's datasets in lower case, each with its handle as item data.
void FillDatasetList(HWND dialog, int listId, FittingSession* s);
void WantReturn(HWND dialog, int editId);

// Shows the help line of a page control (string id = control id) on a click or focus.
void ShowControlHelp(HWND page, WPARAM wParam, LPARAM lParam, FittingSession* s);

// What a page's dialog procedure does with its messages: every page runs the colour and
// help filter first and shows the help line of a control it is given a command from.
struct PageHandlers {
    void (*init)(HWND page, FittingSession* s);
    void (*command)(HWND page, FittingSession* s, WPARAM wParam);  // may be null
    int scrollTemplate;  // parameter table scrolled by WM_VSCROLL, 0 for none
};
INT_PTR RunPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam, const PageHandlers& handlers);
