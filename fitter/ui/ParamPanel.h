// The parameter table that five fitter pages share: four visible rows of a base control id
// plus the row (1..4), scrolled by bar 325. The page's template id says which columns the
// page has: session 23382 (value, vary, error, dependency), simulate 23383 (value), control
// 23384 (significant digits), initialization 23387 (initial value, vary), constraints 23389
// (bounds with their relations and switches). Texts live in the session's slots between
// PrepareParamTexts and FreeParamTexts.
#pragma once

#include <windows.h>
#include <stddef.h>

struct FittingSession;

enum : int { PARAM_VISIBLE_ROWS = 4 };

void SetupParamPanel(HWND page, FittingSession* s, int scrollId, int templateId);
// 0, or 28023 when the slots cannot be had.
int PrepareParamTexts(HWND page, FittingSession* s, int templateId);
void FillParamRows(HWND page, FittingSession* s, int templateId);
void ReadParamRows(HWND page, FittingSession* s, int templateId);
// The page's WM_VSCROLL: 1 when the visible rows moved.
int ScrollParamPanel(HWND page, WPARAM scroll, HWND scrollBar, FittingSession* s, int templateId);
// Value texts into parameter values; a text the host cannot evaluate keeps its old value.
void CommitParamValues(HWND page, FittingSession* s);
// Initial values into the definition as "text(V)" or "text(F)" entries: 0, 28023 without
// slots, -1 when a text holds a comma (it would split into two entries on reading back).
int CommitInitValues(HWND page, FittingSession* s);
// Bounds into the parameters and the definition: the number of lists changed, -1 when a
// text holds a comma.
int CommitBounds(HWND page, FittingSession* s);
// Reads the rows back; when anything changed, commits and records a history snapshot.
void RefreshParamPanel(FittingSession* s, HWND page, int templateId);
void FreeParamTexts(FittingSession* s);

// History of the session page. Init returns 1 when no history can be kept; Back and
// Forward return the new current snapshot, -1 without history.
int InitParamHistory(FittingSession* s);
void PushParamHistory(FittingSession* s);
int ParamHistoryBack(FittingSession* s);
int ParamHistoryForward(FittingSession* s);
void EnableHistoryButtons(FittingSession* s, HWND page);
void FreeParamHistory(FittingSession* s);

// Cuts trailing characters outside '!'..'~', keeping at least one; the new length.
size_t TrimTrailing(char* text);
// The value with digits significant digits (0: as many as it needs).
void FormatValue(double value, int digits, char* buffer);
// Sum over the lines of a multi-line edit of line length + 2.
int GetEditTextLength(HWND window, int id);
// Reads an edit control, trimmed, into a field of the current function definition.
int ReadEditIntoField(HWND page, FittingSession* s, int controlId, int fieldId);
