#include "ConstraintsPage.h"

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"

#include "../engine/FitSession.h"

namespace {

const int kConstraintsKey = 4099;  // the definition's constraints text

// A relation button of row r flips between exclusive "<" and inclusive "<=".
void ToggleRelation(HWND page, FittingSession* s, int id, int base, BYTE bit)
{
    const int p = s->paramFirst + (id - base) - 1;
    if (p < 1 || p > s->paramLast)
        return;
    s->flags[p] ^= bit;
    SetDlgItemTextA(page, id, (s->flags[p] & bit) ? "<" : "<=");
}

void ToggleBound(HWND page, FittingSession* s, int id, int base, BYTE bit, int editBase, int relationBase)
{
    const int r = id - base;
    const int p = s->paramFirst + r - 1;
    if (p < 1 || p > s->paramLast)
        return;
    const bool on = IsDlgButtonChecked(page, id) == BST_CHECKED;
    s->flags[p] = on ? (s->flags[p] | bit) : (s->flags[p] & ~bit);
    EnableWindow(GetDlgItem(page, editBase + r), on);
    EnableWindow(GetDlgItem(page, relationBase + r), on);
}

void OnInitDialog(HWND page, FittingSession* s)
{
    SetupParamPanel(page, s, IDC_PARAM_SCROLL, IDD_PAGE_CONSTRAINTS);
    PrepareParamTexts(page, s, IDD_PAGE_CONSTRAINTS);
    FillParamRows(page, s, IDD_PAGE_CONSTRAINTS);
    const FunctionDef* def = s->current;
    CheckDlgButton(page, IDC_CONSTRAINTS_ENABLED, def && def->constraintsSwitch == KW_ON ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextA(page, IDC_CONSTRAINTS_TEXT, def && def->constraints ? def->constraints : "");
    SetFocus(GetDlgItem(page, IDC_CONSTRAINTS_TEXT));
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (code != BN_CLICKED)
        return;
    if (id > IDC_PARAM_LOWER_RELATION && id <= IDC_PARAM_LOWER_RELATION + PARAM_VISIBLE_ROWS)
        ToggleRelation(page, s, id, IDC_PARAM_LOWER_RELATION, PARAM_LB_EXCLUSIVE);
    else if (id > IDC_PARAM_UPPER_RELATION && id <= IDC_PARAM_UPPER_RELATION + PARAM_VISIBLE_ROWS)
        ToggleRelation(page, s, id, IDC_PARAM_UPPER_RELATION, PARAM_UB_EXCLUSIVE);
    else if (id > IDC_PARAM_LOWER_ON && id <= IDC_PARAM_LOWER_ON + PARAM_VISIBLE_ROWS)
        ToggleBound(page, s, id, IDC_PARAM_LOWER_ON, PARAM_LB_ON, IDC_PARAM_LOWER, IDC_PARAM_LOWER_RELATION);
    else if (id > IDC_PARAM_UPPER_ON && id <= IDC_PARAM_UPPER_ON + PARAM_VISIBLE_ROWS)
        ToggleBound(page, s, id, IDC_PARAM_UPPER_ON, PARAM_UB_ON, IDC_PARAM_UPPER, IDC_PARAM_UPPER_RELATION);
}

}  // namespace

INT_PTR CALLBACK ConstraintsControl(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, IDD_PAGE_CONSTRAINTS};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveConstraintsPage(HWND page, FittingSession* s)
{
    FunctionDef* def = s->current;
    if (!def)
        return 0;
    bool changed = false;
    const int enabled = IsDlgButtonChecked(page, IDC_CONSTRAINTS_ENABLED) == BST_CHECKED ? KW_ON : KW_OFF;
    if (enabled != def->constraintsSwitch) {
        def->constraintsSwitch = enabled;
        def->modified |= FDF_CHANGED;
        changed = true;
    }
    // Stored only when it differs from the definition's text.
    if (ReadEditIntoField(page, s, IDC_CONSTRAINTS_TEXT, kConstraintsKey))
        changed = true;
    ReadParamRows(page, s, IDD_PAGE_CONSTRAINTS);
    const int committed = CommitBounds(page, s);
    if (committed < 0) {
        // The user keeps the page and the texts to mend the bound.
        if (changed)
            s->constraintState = 0;
        FitMessage(s->fitterWindow, IDS_COMMA_IN_BOUND, s);
        return 1;
    }
    if (committed > 0)
        changed = true;
    FreeParamTexts(s);
    if (changed)
        s->constraintState = 0;  // parsed again before the next iteration
    return 0;
}
