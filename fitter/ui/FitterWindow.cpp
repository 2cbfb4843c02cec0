#include "FitterWindow.h"

#include <stdio.h>
#include <string.h>

#include <initializer_list>

#include "FitUtil.h"
#include "FitterResources.h"
#include "ParamPanel.h"
#include "AfterFitPage.h"
#include "ConstraintsPage.h"
#include "ControlPage.h"
#include "DatasetsPage.h"
#include "DefinePage.h"
#include "FunctionView.h"
#include "InitPage.h"
#include "ReplicasPage.h"
#include "ResultsPage.h"
#include "SelectPage.h"
#include "SessionPage.h"
#include "SimulatePage.h"

#include "../engine/FitMemory.h"
#include "../engine/FitSession.h"

namespace {

// Posted by the window to itself at creation: the first page is made once the window
// exists, so that page creation sees a complete main window.
const UINT WM_FITTER_OPEN = 0x5000;

const int kToolbarRow = 32;   // pixels of the toolbar row
const int kButtonSize = 25;

// A page: its id (= menu command = toolbar button), its toolbar bitmap, its templates for
// the full and the basic mode (0: none of its own), its caption string and its dialog
// procedure.
struct PageInfo {
    int id;
    const char* bitmap;
    int fullTemplate;
    int basicTemplate;
    int caption;
    DLGPROC procedure;
    int (*leave)(HWND page, FittingSession* s);  // reads the page back; nonzero refuses
    // Prepares what the page edits and chooses its template; false when no page can be made.
    bool (*prepare)(FittingSession* s, int page, int* templateId);
};

const PageInfo kPages[] = {
    {PAGE_ID_SELECT, "bselect", IDD_PAGE_SELECT, IDD_PAGE_SELECT_BASIC, 2000, SelectFitFunx, LeaveSelectPage},
    {PAGE_ID_EDIT, "bedit", IDD_PAGE_DEFINE, IDD_PAGE_DEFINE_BASIC, 2001, DefFitFunx, LeaveEditPage,
     PrepareDefinePage},
    {PAGE_ID_NEW, "bnew", IDD_PAGE_DEFINE, IDD_PAGE_DEFINE_BASIC, 2008, DefFitFunx, LeaveNewPage, PrepareDefinePage},
    {PAGE_ID_SESSION, "bfit", IDD_PAGE_SESSION, IDD_PAGE_SESSION_BASIC, 2002, FitSession, LeaveSessionPage},
    {PAGE_ID_RESULTS, "bresults", IDD_PAGE_RESULTS, 0, 2003, FitResults, LeaveResultsPage},
    {PAGE_ID_CONTROL, "bcontrol", IDD_PAGE_CONTROL, 0, 2004, FitControl, LeaveControlPage},
    {PAGE_ID_CONSTRAINTS, "bconstra", IDD_PAGE_CONSTRAINTS, 0, 2005, ConstraintsControl, LeaveConstraintsPage},
    {PAGE_ID_DATASETS, "bdataset", IDD_PAGE_DATASETS, IDD_PAGE_DATASETS_BASIC, 2006, VariableDataset,
     LeaveDatasetsPage},
    {PAGE_ID_INIT, "binit", IDD_PAGE_INIT, 0, 2009, FitInit, LeaveInitPage},
    {PAGE_ID_SIMULATE, "bsimulat", IDD_PAGE_SIMULATE, 0, 2007, Simulate, LeaveSimulatePage, PrepareSimulatePage},
    {PAGE_ID_AFTERFIT, "bafterfi", IDD_PAGE_AFTERFIT, 0, 2010, AfterFit, LeaveAfterFitPage},
    {PAGE_ID_ADVANCED, "badvopt", IDD_PAGE_ADVANCED, 0, 2011, AdvOptions, LeaveReplicaPage},
};

// Toolbar order; 0 closes a group, after which a gap follows.
const int kToolbarOrder[] = {PAGE_ID_SELECT, PAGE_ID_EDIT, PAGE_ID_NEW, PAGE_ID_ADVANCED, 0,
                             PAGE_ID_DATASETS, 0, PAGE_ID_SESSION, PAGE_ID_RESULTS, PAGE_ID_SIMULATE, 0,
                             PAGE_ID_CONSTRAINTS, PAGE_ID_CONTROL, 0, PAGE_ID_INIT, PAGE_ID_AFTERFIT};

void UpdateCommandStates(FittingSession* s, HWND window);

const PageInfo* FindPage(int id)
{
    for (const PageInfo& p : kPages)
        if (p.id == id)
            return &p;
    return nullptr;
}

bool IsBasic(const FittingSession* s) { return s->basicFitter == KW_YES; }
bool ToolbarOn(const FittingSession* s) { return s->enableToolbar == KW_YES; }
bool HasBasicTemplate(int page)
{
    const PageInfo* p = FindPage(page);
    return p && p->basicTemplate;
}

bool HasCurrentFunction(const FittingSession* s)
{
    return s->nFunctions > 0 && s->functions && s->current;
}

RECT ControlRect(HWND window, int id)
{
    RECT r = {};
    HWND control = GetDlgItem(window, id);
    if (control && GetWindowRect(control, &r))
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MoveControl(HWND window, int id, int x, int y)
{
    SetWindowPos(GetDlgItem(window, id), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ShowControl(HWND window, int id, bool show)
{
    ShowWindow(GetDlgItem(window, id), show ? SW_SHOWNA : SW_HIDE);
}

SIZE NonClientSize(HWND window)
{
    RECT w, c;
    GetWindowRect(window, &w);
    GetClientRect(window, &c);
    return {(w.right - w.left) - c.right, (w.bottom - w.top) - c.bottom};
}

// Sizes the window to width x height, or to the saved rectangle when one is stored; the
// saved rectangle serves once.
void SizeWindow(FittingSession* s, HWND window, int width, int height)
{
    if (s->savedRect[2] > 0 && s->savedRect[3] > 0) {
        SetWindowPos(window, nullptr, s->savedRect[0], s->savedRect[1], s->savedRect[2], s->savedRect[3],
                     SWP_NOZORDER | SWP_NOACTIVATE);
        s->savedRect[2] = s->savedRect[3] = 0;
    } else {
        SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SaveWindowRect(FittingSession* s, HWND window)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return;
    s->savedRect[0] = static_cast<int16_t>(r.left);
    s->savedRect[1] = static_cast<int16_t>(r.top);
    s->savedRect[2] = static_cast<int16_t>(r.right - r.left);
    s->savedRect[3] = static_cast<int16_t>(r.bottom - r.top);
}

void SetPageCaption(FittingSession* s, HWND window)
{
    char caption[256] = "";
    LoadStringA(FitterInstance, IDS_WINDOW_CAPTION, caption, sizeof caption);
    const PageInfo* page = FindPage(s->pageId);
    const size_t used = strlen(caption);
    if (page && used < sizeof caption - 1)
        LoadStringA(FitterInstance, page->caption, caption + used, static_cast<int>(sizeof caption - used));
    SetWindowTextA(window, caption);
}

void InvalidateButton(HWND window, int page)
{
    HWND button = GetDlgItem(window, page);
    if (button)
        InvalidateRect(button, nullptr, TRUE);
}

// The buttons in their groups along the top of the page area, spread over its width.
void ArrangeToolbar(FittingSession* s, HWND window)
{
    const RECT area = ControlRect(window, IDC_PAGE_AREA);
    const int gap = (area.right - area.left - 300) / 4;
    const bool show = ToolbarOn(s);
    int x = area.left;
    if (s->fullMenu) {
        for (int id : kToolbarOrder) {
            if (!id) {
                x += gap;
                continue;
            }
            SetWindowPos(GetDlgItem(window, id), nullptr, x, 3, kButtonSize, kButtonSize,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            ShowControl(window, id, show);
            x += kButtonSize;
        }
        return;
    }
    for (int id : kToolbarOrder) {
        if (!id)
            continue;
        const bool placed = id == PAGE_ID_SELECT || id == PAGE_ID_SESSION;
        if (placed) {
            SetWindowPos(GetDlgItem(window, id), nullptr, x, 3, kButtonSize, kButtonSize,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            x += kButtonSize;
        }
        ShowControl(window, id, placed && show);
    }
}

// Places the page frame below the toolbar row (or at the top without it), the status line
// and the mode button below the frame, and the page area centred in the frame. grow is
// +1 or -1 when the toolbar was just turned on or off: the window follows by one row.
void LayoutToolbarRow(FittingSession* s, HWND window, int grow)
{
    const bool toolbar = ToolbarOn(s);
    const RECT frame = ControlRect(window, IDC_PAGE_FRAME);
    const int frameHeight = frame.bottom - frame.top;
    const int frameTop = toolbar ? kToolbarRow : 0;
    MoveControl(window, IDC_PAGE_FRAME, frame.left, frameTop);
    const int statusTop = frameHeight + (toolbar ? 36 : 4);
    const RECT button = ControlRect(window, IDC_BASIC_MODE);
    const RECT status = ControlRect(window, IDC_STATUS_LINE);
    const RECT separator = ControlRect(window, IDC_STATUS_SEPARATOR);
    MoveControl(window, IDC_BASIC_MODE, button.left, statusTop);
    MoveControl(window, IDC_STATUS_LINE, status.left, statusTop + 2);
    MoveControl(window, IDC_STATUS_SEPARATOR, separator.left, statusTop - 2);
    const RECT area = ControlRect(window, IDC_PAGE_AREA);
    const int areaTop = frameTop + (frameHeight - (area.bottom - area.top)) / 2;
    MoveControl(window, IDC_PAGE_AREA, area.left, areaTop);
    if (s->pageWindow && IsWindow(s->pageWindow)) {
        const RECT page = ControlRect(window, GetDlgCtrlID(s->pageWindow));
        SetWindowPos(s->pageWindow, nullptr, page.left, areaTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (grow) {
        // The limit first: the window may not grow past the one it has.
        s->maxTrack[1] = static_cast<int16_t>(s->maxTrack[1] + grow * kToolbarRow);
        RECT r;
        GetWindowRect(window, &r);
        SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + grow * kToolbarRow,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ArrangeToolbar(s, window);
    InvalidateRect(window, nullptr, TRUE);
}

void CheckPageItems(FittingSession* s, HWND window)
{
    HMENU menu = GetMenu(window);
    if (!menu)
        return;
    CheckMenuItem(menu, s->pageId, MF_BYCOMMAND | MF_CHECKED);
    CheckMenuItem(menu, CMD_TOOLBAR, MF_BYCOMMAND | (ToolbarOn(s) ? MF_CHECKED : MF_UNCHECKED));
}

void LoadFitterMenu(FittingSession* s, HWND window)
{
    HMENU old = GetMenu(window);
    HMENU menu = LoadMenuA(FitterInstance, s->fullMenu ? "QFITMenu" : "QFITMenuShort");
    SetMenu(window, menu);
    if (old)
        DestroyMenu(old);
    CheckPageItems(s, window);
}

// Sizes the window round the basic area of the page: the large area for the definition
// pages, the small one for the others.
void SizeForBasicPage(FittingSession* s, HWND window, int page)
{
    const int areaId = page == PAGE_ID_EDIT || page == PAGE_ID_NEW ? IDC_BASIC_AREA_LARGE : IDC_BASIC_AREA_SMALL;
    const RECT area = ControlRect(window, areaId);
    MoveControl(window, areaId, 5, 5);
    const SIZE nc = NonClientSize(window);
    s->maxTrack[0] = static_cast<int16_t>(area.right - area.left + nc.cx + 10);
    s->maxTrack[1] = static_cast<int16_t>(area.bottom - area.top + nc.cy + 10);
    SizeWindow(s, window, s->maxTrack[0], s->maxTrack[1]);
}

const int kFullModeOnly[] = {IDC_PAGE_FRAME, IDC_STATUS_LINE, IDC_STATUS_SEPARATOR, IDC_BASIC_MODE};

void ArrangeForMode(FittingSession* s, HWND window)
{
    if (IsBasic(s)) {
        HMENU menu = GetMenu(window);
        SetMenu(window, nullptr);
        if (menu)
            DestroyMenu(menu);
        for (int id = PAGE_ID_SELECT; id <= PAGE_ID_ADVANCED; ++id)
            ShowControl(window, id, false);
        for (int id : kFullModeOnly)
            ShowControl(window, id, false);
        SizeForBasicPage(s, window, s->pageId);
        return;
    }
    MoveControl(window, IDC_BASIC_AREA_LARGE, 5, kToolbarRow);
    MoveControl(window, IDC_BASIC_AREA_SMALL, 5, kToolbarRow);
    LoadFitterMenu(s, window);
    for (int id : kFullModeOnly)
        ShowControl(window, id, true);
    LayoutToolbarRow(s, window, 0);
    const SIZE nc = NonClientSize(window);
    const RECT frame = ControlRect(window, IDC_PAGE_FRAME);
    const RECT status = ControlRect(window, IDC_STATUS_LINE);
    s->maxTrack[0] = static_cast<int16_t>(frame.right - frame.left + nc.cx + 2 * frame.left);
    s->maxTrack[1] = static_cast<int16_t>(status.bottom + nc.cy + 5);
    SizeWindow(s, window, s->maxTrack[0], s->maxTrack[1]);
    // The menu and buttons were not kept up to date while the mode was basic.
    UpdateCommandStates(s, window);
}

void UpdateCommandStates(FittingSession* s, HWND window)
{
    if (IsBasic(s))
        return;
    HMENU menu = GetMenu(window);
    auto enable = [&](int id, bool on) {
        if (menu)
            EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
        HWND control = GetDlgItem(window, id);
        if (control)
            EnableWindow(control, on);
    };
    const int page = s->pageId;
    const bool function = s->current != nullptr;
    if (s->fullMenu)
        enable(CMD_LESS, page == PAGE_ID_SELECT || page == PAGE_ID_SESSION);
    for (int id : {PAGE_ID_EDIT, PAGE_ID_SESSION, PAGE_ID_RESULTS, PAGE_ID_CONTROL, PAGE_ID_CONSTRAINTS,
                   PAGE_ID_DATASETS, PAGE_ID_INIT, PAGE_ID_SIMULATE, PAGE_ID_AFTERFIT})
        enable(id, function);
    enable(PAGE_ID_ADVANCED, function && s->current->nDuplicates >= 0);
    enable(CMD_ADD_FUNCTION, page == PAGE_ID_SELECT);
    enable(CMD_DELETE_FUNCTION, page == PAGE_ID_SELECT && s->nFunctions > 0 && function);
    enable(CMD_PAGE_BASIC_MODE, HasBasicTemplate(page));
    // The view buttons are the select page's to enable, by what the function has to show.
    if (page == PAGE_ID_SELECT && s->pageWindow && IsWindow(s->pageWindow)) {
        if (!HasCurrentFunction(s))
            for (int id : {IDC_VIEW_EQUATION, IDC_VIEW_CURVE, IDC_VIEW_FILE})
                EnableWindow(GetDlgItem(s->pageWindow, id), FALSE);
        EnableWindow(GetDlgItem(s->pageWindow, IDC_FUNCTION_LIST), s->nFunctions > 0);
    }
}

// Makes page's dialog in the page area; false when the page could not be made, and then
// the current page stays as it was.
bool CreatePage(FittingSession* s, HWND window, int page)
{
    const PageInfo* info = FindPage(page);
    if (!info)
        return false;
    // The session page runs on a begun fitting session; without one there is no page.
    if (page == PAGE_ID_SESSION && BeginFit(s, 1) != 0)
        return false;
    int templateId = PageTemplateId(s, page);
    if (info->prepare && !info->prepare(s, page, &templateId))
        return false;
    HWND dialog = CreateDialogParamA(FitterInstance, MAKEINTRESOURCEA(templateId), window, info->procedure,
                                     reinterpret_cast<LPARAM>(s));
    if (!dialog)
        return false;
    s->pageWindow = dialog;
    const int areaId = !IsBasic(s) ? IDC_PAGE_AREA
                       : page == PAGE_ID_EDIT || page == PAGE_ID_NEW ? IDC_BASIC_AREA_LARGE
                                                                      : IDC_BASIC_AREA_SMALL;
    const RECT area = ControlRect(window, areaId);
    SetWindowPos(dialog, nullptr, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
    s->pageId = static_cast<int16_t>(page);
    SetPageCaption(s, window);
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    if (HMENU menu = GetMenu(window))
        CheckMenuItem(menu, page, MF_BYCOMMAND | MF_CHECKED);
    InvalidateButton(window, page);
    CallHost(s, HOST_REQ_1025, reinterpret_cast<INT_PTR>(dialog), 0);
    FitMessage(window, page, s);
    return true;
}

// Reads the page back into the session before its dialog goes; nonzero refuses the change.
int LeavePage(FittingSession* s, HWND window, int page)
{
    const PageInfo* info = FindPage(page);
    const int refused = info && info->leave && s->pageWindow ? info->leave(s->pageWindow, s) : 0;
    InvalidateButton(window, page);
    if (HMENU menu = GetMenu(window))
        CheckMenuItem(menu, page, MF_BYCOMMAND | MF_UNCHECKED);
    CallHost(s, HOST_REQ_1025, 0, 0);
    return refused;
}

void DestroyPage(FittingSession* s)
{
    if (s->pageWindow && IsWindow(s->pageWindow))
        DestroyWindow(s->pageWindow);
    s->pageWindow = nullptr;
}

// Leaving a definition page with a definition that cannot be used asks first; false keeps
// the user on the page with everything typed.
bool CheckLeavePage(FittingSession* s, HWND window)
{
    if ((s->pageId != PAGE_ID_EDIT && s->pageId != PAGE_ID_NEW) || s->noCheck || !s->pageWindow)
        return true;
    const int check = CheckEditedFunction(s);
    if (check == 0)
        return true;
    // A system variable anywhere in the names gets the message that lists them.
    const int message = check == 256 || check == 0x10 || check == 0x40 ? IDS_SYSTEM_VARIABLE
                        : check == 1024                              ? IDS_RESERVED_NAME
                                                                     : IDS_BAD_DEFINITION;
    return FitMessageDialog(window, s, 2, message, nullptr, nullptr, nullptr, "Ok", "Cancel") == 1;
}

// Asks before a new function is defined while a fit is under way; false refuses.
bool ConfirmNewFunction(FittingSession* s, HWND window)
{
    if (!IsFitActive(s))
        return true;
    const char* name = s->current ? s->current->name : "";
    if (FitMessageDialog(window, s, 2, IDS_END_SESSION_WITH, name, nullptr, nullptr, "Yes", "Cancel") != 1)
        return false;
    FinishFit(s, -1);
    return true;
}

// Whether page may be entered now; *target is the page to show instead when it differs.
bool CanEnterPage(FittingSession* s, int page, int* target)
{
    switch (page) {
    case PAGE_ID_SELECT:
    case PAGE_ID_NEW:
    case PAGE_ID_CONTROL:
        *target = page;
        return true;
    case PAGE_ID_SESSION:
        // The datasets come from the window the user works in; a function that cannot be
        // fitted is modified or another picked; either may leave the user where he was.
        AutoAssignDatasets(s, 1, target);
        return true;
    case PAGE_ID_EDIT:
    case PAGE_ID_INIT:
    case PAGE_ID_AFTERFIT:
        if (!HasCurrentFunction(s))
            return false;
        *target = page;
        return true;
    case PAGE_ID_ADVANCED:
        if (!HasCurrentFunction(s) || s->current->nDuplicates < 0)
            return false;
        *target = page;
        return true;
    case PAGE_ID_RESULTS:
    case PAGE_ID_CONSTRAINTS:
    case PAGE_ID_DATASETS:
    case PAGE_ID_SIMULATE:
        if (CheckCurrentFunction(s) != 0)
            return false;
        *target = page;
        return true;
    }
    return false;
}

void ChangePage(FittingSession* s, HWND window, int page)
{
    if (!s->rebuildPage && !s->noCheck && page == s->pageId)
        return;
    if (!s->rebuildPage && !CheckLeavePage(s, window))
        return;
    if (!s->rebuildPage && page == PAGE_ID_NEW && !ConfirmNewFunction(s, window))
        return;
    int target = s->pageId;
    const bool left = !(s->pageWindow && IsWindow(s->pageWindow)) || LeavePage(s, window, s->pageId) == 0;
    if (!left) {
        // The page found bad input: it stays as the user left it, to be mended.
        MessageBeep(static_cast<UINT>(-1));
        if (HMENU menu = GetMenu(window))
            CheckMenuItem(menu, s->pageId, MF_BYCOMMAND | MF_CHECKED);
        CallHost(s, HOST_REQ_1025, reinterpret_cast<INT_PTR>(s->pageWindow), 0);
        s->rebuildPage = 0;
        return;
    }
    const bool enter = CanEnterPage(s, page, &target) || s->rebuildPage;
    if (!enter) {
        InvalidateButton(window, page);
        DestroyPage(s);
        InvalidateButton(window, s->pageId);
        MessageBeep(static_cast<UINT>(-1));
        CreatePage(s, window, s->pageId);
    } else {
        if (IsBasic(s))
            SizeForBasicPage(s, window, target);
        DestroyPage(s);
        InvalidateButton(window, s->pageId);
        // A page that could not be made (a fit that would not begin) leaves the one before.
        if (!CreatePage(s, window, target) && target != s->pageId)
            CreatePage(s, window, s->pageId);
    }
    // A rebuild is asked for one change only, also when the page could not be made.
    s->rebuildPage = 0;
    if (s->pageWindow)
        UpdateCommandStates(s, window);
}

void ToggleBasicMode(FittingSession* s, HWND window)
{
    int target = s->pageId;
    if (!HasBasicTemplate(target))
        target = PAGE_ID_SELECT;
    if (target == s->pageId)
        s->rebuildPage = 1;
    s->basicFitter = IsBasic(s) ? KW_NO : KW_YES;
    PostMessageA(window, WM_COMMAND, target, 0);
    ArrangeForMode(s, window);
    FitMessage(window, CMD_PAGE_BASIC_MODE, s);
}

void DrawToolButton(FittingSession* s, HWND window, const DRAWITEMSTRUCT* item)
{
    if (IsBasic(s))
        return;
    const PageInfo* page = FindPage(static_cast<int>(item->CtlID));
    if (!page)
        return;
    const bool disabled = (item->itemState & ODS_DISABLED) != 0;
    const bool current = page->id == s->pageId;
    bool pressed = current;
    if (item->itemAction == ODA_SELECT && !current) {
        pressed = (item->itemState & ODS_SELECTED) != 0;
        if (pressed) {
            char help[256] = "";
            LoadStringA(FitterInstance, page->id, help, sizeof help);
            SetWindowTextA(window, help);
        } else {
            SetPageCaption(s, window);
        }
    }
    if (item->itemAction == ODA_FOCUS && !current && (item->itemState & ODS_FOCUS))
        FitMessage(window, page->id, s);

    char name[16];
    snprintf(name, sizeof name, "%s", page->bitmap);
    if (disabled)
        name[0] = 'd';
    const RECT& r = item->rcItem;
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC dc = item->hDC;
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    if (HBITMAP bitmap = LoadBitmapA(FitterInstance, name)) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (pressed)
            BitBlt(dc, r.left + 5, r.top + 5, w - 6, h - 6, memory, 3, 3, SRCCOPY);
        else
            BitBlt(dc, r.left, r.top, w, h, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(bitmap);
    }
    HPEN black = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HPEN dark = CreatePen(PS_SOLID, 1, RGB(128, 128, 128));
    HPEN light = CreatePen(PS_SOLID, 1, disabled ? RGB(64, 64, 64) : RGB(192, 192, 192));
    HGDIOBJ oldPen = SelectObject(dc, black);
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right, r.top);
    SelectObject(dc, pressed ? light : dark);
    MoveToEx(dc, r.left + 1, r.bottom - 1, nullptr);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.right - 1, r.top);
    SelectObject(dc, pressed ? dark : light);
    MoveToEx(dc, r.left + 1, r.bottom - 2, nullptr);
    LineTo(dc, r.left + 1, r.top + 1);
    LineTo(dc, r.right - 1, r.top + 1);
    SelectObject(dc, oldPen);
    DeleteObject(black);
    DeleteObject(dark);
    DeleteObject(light);
}

void OnCommand(FittingSession* s, HWND window, int command)
{
    switch (command) {
    case CMD_MORE:
    case CMD_LESS:
        s->fullMenu = command == CMD_MORE;
        LoadFitterMenu(s, window);
        if (!IsBasic(s))
            ArrangeToolbar(s, window);
        UpdateCommandStates(s, window);
        return;
    case CMD_TOOLBAR:
        s->enableToolbar = ToolbarOn(s) ? KW_NO : KW_YES;
        LayoutToolbarRow(s, window, ToolbarOn(s) ? 1 : -1);
        CheckPageItems(s, window);
        return;
    case IDC_BASIC_MODE:
    case CMD_BASIC_MODE:
    case CMD_PAGE_BASIC_MODE:
        ToggleBasicMode(s, window);
        return;
    case CMD_ADD_FUNCTION:
        if (s->pageId == PAGE_ID_SELECT && s->pageWindow)
            AddFunctionFromFile(s->pageWindow, s);
        return;
    case CMD_DELETE_FUNCTION:
        if (s->pageId == PAGE_ID_SELECT && s->pageWindow)
            DeleteSelectedFunction(s->pageWindow, s);
        return;
    case CMD_EXIT:
        CloseFitterWindow(s);
        return;
    case CMD_ABOUT:
        DialogBoxParamA(FitterInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, About, 0);
        return;
    case CMD_HELP_CONTENTS:
    case CMD_HELP_SEARCH:
    case CMD_HELP_INDEX:
        return;
    case CMD_INITIALIZE:
        CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>(";qfit.init();qfit.control();"), 0);
        return;
    }
    if (FindPage(command))
        ChangePage(s, window, command);
}

void OnOpen(FittingSession* s, HWND window)
{
    if (s->nFunctions <= 0)
        s->pageId = PAGE_ID_SELECT;
    s->fitterWindow = window;
    ArrangeForMode(s, window);
    s->noCheck = 0;
    // Shown before the page is made: showing moves the focus, and the page takes it from
    // there (or, when it cannot be made, its message stays in the status line).
    ShowWindow(window, SW_SHOW);
    if (CreatePage(s, window, s->pageId))
        s->rebuildPage = 0;
    UpdateCommandStates(s, window);
}

// Selects the page a "control" call starts at; a page that cannot be shown yet falls back
// to the selection page.
void SetStartPage(FittingSession* s, int page)
{
    if (CheckCurrentFunction(s) != 0 || (page == PAGE_ID_RESULTS && ClearMissingDatasets(s) != 0)) {
        s->pageId = PAGE_ID_SELECT;
        return;
    }
    if (page != s->pageId) {
        s->savedRect[2] = s->savedRect[3] = 0;
        s->pageId = static_cast<int16_t>(page);
        s->basicFitter = KW_NO;
    }
}

bool NoFitPossible(FittingSession* s)
{
    return CheckCurrentFunction(s) != 0 || ClearMissingDatasets(s) != 0;
}

}  // namespace

LRESULT CALLBACK QFITControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    FittingSession* s = WindowSession();
    LRESULT result = 0;
    if (s && ToolbarMouseHelp(s, message, lParam, &result))
        return result;
    if (FitterColorFilter(window, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case WM_CREATE:
        PostMessageA(window, WM_FITTER_OPEN, 0, 0);
        break;
    case WM_FITTER_OPEN:
        if (s)
            OnOpen(s, window);
        return 0;
    case WM_COMMAND:
        if (s && s->fitterWindow == window)
            OnCommand(s, window, LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        if (s)
            CloseFitterWindow(s);
        return 0;
    case WM_GETMINMAXINFO:
        if (s && s->maxTrack[0] > 0 && s->maxTrack[1] > 0) {
            MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMaxTrackSize = {s->maxTrack[0], s->maxTrack[1]};
            info->ptMaxSize = info->ptMaxTrackSize;
            RECT r;
            GetWindowRect(window, &r);
            info->ptMaxPosition = IsIconic(window) ? POINT{s->savedRect[0], s->savedRect[1]} : POINT{r.left, r.top};
            return 0;
        }
        break;
    case WM_DRAWITEM:
        if (s && wParam >= PAGE_ID_SELECT && wParam <= PAGE_ID_ADVANCED) {
            DrawToolButton(s, window, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_SYSCOMMAND:
        if (s && (wParam & 0xFFF0) == SC_MINIMIZE && !IsIconic(window))
            SaveWindowRect(s, window);
        break;
    case WM_MENUSELECT:
        if (s && !(HIWORD(wParam) & MF_POPUP) && LOWORD(wParam))
            FitMessage(window, LOWORD(wParam), s);
        return 0;
    case WM_DESTROY:
        // Destroyed from outside (its owner went): forget the handles, keep the state.
        if (s && s->fitterWindow == window) {
            s->fitterWindow = nullptr;
            s->pageWindow = nullptr;
        }
        break;
    }
    return DefDlgProcA(window, message, wParam, lParam);
}

bool RegisterFitterClass(HINSTANCE instance)
{
    WNDCLASSA* wc = AllocArray<WNDCLASSA>(1);
    if (!wc)
        return false;
    wc->style = CS_DBLCLKS | CS_GLOBALCLASS;
    wc->lpfnWndProc = QFITControl;
    wc->cbWndExtra = DLGWINDOWEXTRA;  // the window is a dialog made from a template
    wc->hInstance = instance;
    wc->hIcon = LoadIconA(instance, "qfiticon");
    wc->hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc->hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc->lpszMenuName = "QFITMenu";
    wc->lpszClassName = "QFIT41Parent";
    const bool registered = RegisterClassA(wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    FreeLockedBlock(wc);
    return registered && RegisterFormulaDisplay(instance);
}

HWND OpenFitterWindow(HWND owner, FittingSession* s)
{
    if (s->fitterWindow && IsWindow(s->fitterWindow)) {
        if (IsIconic(s->fitterWindow))
            ShowWindow(s->fitterWindow, SW_RESTORE);
        BringWindowToTop(s->fitterWindow);
        return s->fitterWindow;
    }
    return CreateDialogParamA(FitterInstance, MAKEINTRESOURCEA(IDD_FITTER_MAIN), owner, nullptr,
                              reinterpret_cast<LPARAM>(s));
}

void CloseFitterWindow(FittingSession* s)
{
    // Texts and history belong to a shown page; none survives the window. The session
    // page's log outlives it only while the fit goes on.
    FreeParamTexts(s);
    FreeParamHistory(s);
    if (!IsFitActive(s))
        FreeAndClear(s->savedLog);
    HWND window = s->fitterWindow;
    if (!window || !IsWindow(window)) {
        s->fitterWindow = nullptr;
        s->pageWindow = nullptr;
        return;
    }
    if (!IsIconic(window))
        SaveWindowRect(s, window);
    if (s->pageWindow && IsWindow(s->pageWindow))
        LeavePage(s, window, s->pageId);
    if (IsFitActive(s) && FitMessage(nullptr, IDS_END_SESSION, s, 0, 0, 0, MB_YESNO | MB_ICONQUESTION) == IDYES)
        FinishFit(s, -1);
    DestroyPage(s);
    s->fitterWindow = nullptr;
    DestroyWindow(window);
}

int ShowFitterPage(FittingSession* s, const char* argument)
{
    char word[5] = "";
    const char* text = argument ? argument : "";
    while (*text == ' ')
        ++text;
    snprintf(word, sizeof word, "%s", text);
    if (_stricmp(word, "Clos") == 0) {
        CloseFitterWindow(s);
        return 0;
    }
    if (s->fitterWindow && IsWindow(s->fitterWindow)) {
        OpenFitterWindow(s->hostWindow, s);
        return 0;
    }
    int page = s->pageId;
    if (!word[0]) {
        page = NoFitPossible(s) ? PAGE_ID_SELECT : PAGE_ID_SESSION;
        AutoAssignDatasets(s, 0, &page);
        if (page != PAGE_ID_SELECT && page != PAGE_ID_SESSION)
            s->fullMenu = 1;
    } else {
        if (_stricmp(word, "Sele") == 0)
            page = PAGE_ID_SELECT;
        else if (_stricmp(word, "Edit") == 0)
            page = CheckCurrentFunction(s) ? PAGE_ID_SELECT : PAGE_ID_EDIT;
        else if (_stricmp(text, "New") == 0)
            page = PAGE_ID_NEW;
        else if (_stricmp(text, "Fit") == 0)
            page = NoFitPossible(s) ? PAGE_ID_SELECT : PAGE_ID_SESSION;
        else if (_stricmp(word, "Repl") == 0)
            page = PAGE_ID_ADVANCED;
        else if (_stricmp(word, "Resu") == 0)
            page = PAGE_ID_RESULTS;
        else if (_stricmp(word, "Simu") == 0)
            page = PAGE_ID_SIMULATE;
        else if (_stricmp(word, "Cont") == 0)
            page = PAGE_ID_CONTROL;
        else if (_stricmp(word, "Cons") == 0)
            page = PAGE_ID_CONSTRAINTS;
        else if (_stricmp(word, "Init") == 0)
            page = PAGE_ID_INIT;
        else if (_stricmp(word, "Afte") == 0)
            page = PAGE_ID_AFTERFIT;
    }
    SetStartPage(s, page);
    // Equation pictures need their fonts: installed before the window shows any.
    InstallEquationFonts(s);
    OpenFitterWindow(s->hostWindow, s);
    return 0;
}

int PageTemplateId(FittingSession* s, int page)
{
    const PageInfo* info = FindPage(page);
    if (!info)
        return 0;
    if (page == PAGE_ID_NEW)
        return IDD_PAGE_DEFINE;
    if (page == PAGE_ID_EDIT)
        return HELP_PAGE_EDIT;
    return IsBasic(s) && info->basicTemplate ? info->basicTemplate : info->fullTemplate;
}

void UpdateFitterCommands(FittingSession* s)
{
    if (s->fitterWindow && IsWindow(s->fitterWindow))
        UpdateCommandStates(s, s->fitterWindow);
}

int FitterPageTemplateId(FittingSession* s)
{
    return s->fitterWindow && IsWindow(s->fitterWindow) ? PageTemplateId(s, s->pageId) : 0;
}

void RefreshSessionPage(FittingSession* s)
{
    // A script changed parameters behind the page: its rows show the session's values again.
    if (s->pageId != PAGE_ID_SESSION || !s->pageWindow || !IsWindow(s->pageWindow))
        return;
    if (PrepareParamTexts(s->pageWindow, s, IDD_PAGE_SESSION) == 0)
        FillParamRows(s->pageWindow, s, IDD_PAGE_SESSION);
}

int AssignDependentDataset(FittingSession* s, int fitData, bool get, int n, char* text)
{
    DepVarInfo& v = s->dep[n];
    if (get) {
        if (text)
            snprintf(text, QFIT_STRING_VALUE_CAPACITY, "%s", DatasetName(s, v.dataset).c_str());
        return 0;
    }
    const int code = AssignDatasetRange(s, text ? text : "", &v.dataset, &v.first, &v.end);
    if (code || !v.dataset)
        return code;
    // The data's own X serves the variable's fit set: its first independent variable
    // without a usable dataset (as fit data, its first one) is linked to it.
    const int f = FitSetOfDependent(s, n);
    v.step = 1;
    s->fitSets[f].step = 1;
    const int first = FirstIndepOfSet(s, f);
    for (int i = first; i < first + IndepPerSet(s) && i <= s->nIndep; ++i)
        if (fitData || !s->indep[i].dataset || IsDatasetInvalid(s, s->indep[i].dataset) || s->indep[i].useAlt) {
            LinkToDependent(s, i, n);
            break;
        }
    UpdateFitSetRanges(s);
    MatchIndependentDatasets(s);
    return 0;
}
