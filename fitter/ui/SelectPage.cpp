// The function selection page: categories of qfit.ini, the functions of the chosen one,
// its description and a view of the function, with Delete from the menu.
#include "SelectPage.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitterResources.h"
#include "DefinePage.h"
#include "FitterWindow.h"
#include "FunctionView.h"

#include "../engine/FitMemory.h"
#include "../engine/FitSession.h"
#include "../engine/FitUtil.h"

namespace {

const char kDefaultCategory[] = "Quorix Basic Functions";

int CurrentIndex(const FittingSession* s)
{
    for (int i = 0; i < s->nFunctions; ++i)
        if (s->functions[i] == s->current)
            return i;
    return -1;
}

std::vector<std::string> CategoryNames(FittingSession* s)
{
    char ini[2 * QFIT_HOST_TEXT_CAPACITY];
    GetIniPath(s, ini, sizeof ini);
    std::vector<char> keys(4096);
    const DWORD n = GetPrivateProfileStringA("Category", nullptr, "", keys.data(), static_cast<DWORD>(keys.size()), ini);
    std::vector<std::string> names;
    for (DWORD i = 0; i < n && keys[i];) {
        names.emplace_back(&keys[i]);
        i += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

void FillFunctionList(HWND page, FittingSession* s);

void UpdateFunctionView(HWND page, FittingSession* s)
{
    if (s->fitterWindow)
        UpdateFitterCommands(s);
    const bool basic = s->basicFitter == KW_YES;
    HWND view = GetDlgItem(page, IDC_FUNCTION_VIEW);
    const FunctionDef* def = s->current;
    if (!def) {
        for (int id : {IDC_VIEW_EQUATION, IDC_VIEW_CURVE, IDC_VIEW_FILE})
            EnableWindow(GetDlgItem(page, id), FALSE);
        SetWindowTextA(view, "");
        ShowFunctionInView(s, view, nullptr);
        SetDlgItemTextA(page, IDC_DESCRIPTION, "");
        if (basic)
            for (int id : {IDC_BASIC_FIT, IDC_BASIC_DATASETS, IDC_BASIC_EDIT})
                EnableWindow(GetDlgItem(page, id), FALSE);
        return;
    }
    if (basic)
        for (int id : {IDC_BASIC_FIT, IDC_BASIC_DATASETS, IDC_BASIC_NEW, IDC_BASIC_EDIT})
            EnableWindow(GetDlgItem(page, id), TRUE);
    SetDlgItemTextA(page, IDC_DESCRIPTION, def->description);
    bool picture = false, curve = false;
    CheckFunctionPictures(s, def, &picture, &curve);
    EnableWindow(GetDlgItem(page, IDC_VIEW_EQUATION), picture);
    EnableWindow(GetDlgItem(page, IDC_VIEW_CURVE), curve);
    const bool fileView = !(basic && def->functionType == KW_BUILTIN);
    EnableWindow(GetDlgItem(page, IDC_VIEW_FILE), fileView);
    if (!fileView && s->viewMode == 2)
        s->viewMode = picture ? 0 : curve ? 1 : 2;
    if ((s->viewMode == 0 && !picture) || (s->viewMode == 1 && !curve))
        s->viewMode = 2;
    // The view's text is the function file while the file is what it shows.
    std::string text;
    if (s->viewMode == 2 && fileView) {
        std::vector<char> buffer(64 * 1024);
        if (RenderFunction(s, def, buffer.data(), buffer.size()) == 0)
            text = buffer.data();
    }
    SetWindowTextA(view, text.c_str());
    if (!def->measuredLines)
        MeasureFunction(s, s->current);
    ShowFunctionInView(s, view, def);
    CheckRadioButton(page, IDC_VIEW_EQUATION, IDC_VIEW_FILE, IDC_VIEW_EQUATION + s->viewMode);
}

void FillFunctionList(HWND page, FittingSession* s)
{
    HWND list = GetDlgItem(page, IDC_FUNCTION_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < s->nFunctions; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s->functions[i]->name));
    EnableWindow(list, s->nFunctions > 0);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(CurrentIndex(s)), 0);
    UpdateFunctionView(page, s);
}

// A change of function while a fit is under way ends that fit first, when the user agrees;
// the engine evaluates the current function while the fit is open, so the change cannot
// wait for the page to be left.
bool ConfirmFunctionChange(HWND page, FittingSession* s, FunctionDef* next)
{
    if (!IsFitActive(s) || !s->current || s->current == next)
        return true;
    const int answer = FitMessageDialog(page, s, 3, IDS_CHANGE_FITTED, s->current->name, next ? next->name : "",
                                        nullptr, "Yes", "No", "Cancel");
    if (answer != 1)
        return false;
    FinishFit(s, -1);
    return true;
}

void OnFunctionSelected(HWND page, FittingSession* s)
{
    const LRESULT index = SendDlgItemMessageA(page, IDC_FUNCTION_LIST, LB_GETCURSEL, 0, 0);
    FunctionDef* next = index >= 0 && index < s->nFunctions ? s->functions[index] : nullptr;
    if (next != s->current) {
        if (!ConfirmFunctionChange(page, s, next)) {
            SendDlgItemMessageA(page, IDC_FUNCTION_LIST, LB_SETCURSEL, static_cast<WPARAM>(CurrentIndex(s)), 0);
            return;
        }
        // A function whose library cannot be had stays listed but not usable: the engine
        // has told the user why.
        SelectFunction(s, next);
        SyncDefaultFunction(s, 2, s->category);
    }
    UpdateFunctionView(page, s);
}

void OnCategorySelected(HWND page, FittingSession* s)
{
    HWND list = GetDlgItem(page, IDC_CATEGORY_LIST);
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index < 0)
        return;
    char category[CATEGORY_CHARS] = "";
    if (SendMessageA(list, LB_GETTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof category))
        return;
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(category));
    if (IsFitActive(s) && !ConfirmFunctionChange(page, s, nullptr)) {
        SelectListText(page, IDC_CATEGORY_LIST, s->category);
        return;
    }
    // The functions of the category shown go when another is loaded: unsaved ones are
    // offered for saving first.
    EnableWindow(page, FALSE);
    if (s->fitterWindow)
        EnableWindow(s->fitterWindow, FALSE);
    AskSaveFunctions(page, s);
    EnableWindow(page, TRUE);
    if (s->fitterWindow)
        EnableWindow(s->fitterWindow, TRUE);
    snprintf(s->category, sizeof s->category, "%s", category);
    LoadFunctionGroup(s, category);
    SyncDefaultFunction(s, 0, category);
    FillFunctionList(page, s);
}

void OnInitDialog(HWND page, FittingSession* s)
{
    if (s->basicFitter != KW_YES) {
        HWND list = GetDlgItem(page, IDC_CATEGORY_LIST);
        std::vector<std::string> names = CategoryNames(s);
        if (names.empty())
            names.emplace_back(kDefaultCategory);
        for (const std::string& name : names)
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageA(list, LB_SETCURSEL,
                     static_cast<WPARAM>(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                      reinterpret_cast<LPARAM>(s->category))),
                     0);
        FitListExtent(page, IDC_CATEGORY_LIST, s);
    }
    FillFunctionList(page, s);
    SetFocus(GetDlgItem(page, IDC_FUNCTION_LIST));
}

void OnCommand(HWND page, FittingSession* s, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    HWND main = s->fitterWindow;
    switch (id) {
    case IDC_CATEGORY_LIST:
        if (code == LBN_SELCHANGE)
            OnCategorySelected(page, s);
        return;
    case IDC_FUNCTION_LIST:
        if (code == LBN_SELCHANGE)
            OnFunctionSelected(page, s);
        return;
    case IDC_VIEW_EQUATION:
    case IDC_VIEW_CURVE:
    case IDC_VIEW_FILE:
        if (code == BN_CLICKED) {
            s->viewMode = id - IDC_VIEW_EQUATION;
            UpdateFunctionView(page, s);
        }
        return;
    case IDC_BASIC_NEW:
        PostMessageA(main, WM_COMMAND, PAGE_ID_NEW, 0);
        return;
    case IDC_BASIC_EDIT:
        PostMessageA(main, WM_COMMAND, PAGE_ID_EDIT, 0);
        return;
    case IDC_BASIC_FIT:
        PostMessageA(main, WM_COMMAND, PAGE_ID_SESSION, 0);
        return;
    case IDC_BASIC_DATASETS:
        PostMessageA(main, WM_COMMAND, PAGE_ID_DATASETS, 0);
        return;
    case CMD_PAGE_BASIC_MODE:
        PostMessageA(main, WM_COMMAND, CMD_PAGE_BASIC_MODE, 0);
        return;
    case IDC_BASIC_CLOSE:
        CloseFitterWindow(s);
        return;
    }
}

std::string StringVariable(FittingSession* s, int letter)
{
    char text[QFIT_HOST_TEXT_CAPACITY] = "";
    CallHost(s, HOST_GET_STRING_VAR, reinterpret_cast<INT_PTR>(text), letter);
    text[sizeof text - 1] = 0;
    return text;
}

// Copies a picture or curve that lies beside a function file; one that is not there is no
// failure, most functions have none.
bool CopyCompanion(const std::string& from, const std::string& to)
{
    if (GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES || _stricmp(from.c_str(), to.c_str()) == 0)
        return true;
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

}  // namespace

INT_PTR CALLBACK SelectFitFunx(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    static const PageHandlers handlers = {OnInitDialog, OnCommand, 0};
    return RunPageProcedure(page, message, wParam, lParam, handlers);
}

int LeaveSelectPage(HWND, FittingSession* s)
{
    // A library function whose library is not loaded keeps the user here.
    if (s->current && !s->current->function && LoadFunctionLibrary(s) != 0)
        return 1;
    return 0;
}

int DeleteSelectedFunction(HWND page, FittingSession* s)
{
    HWND list = GetDlgItem(page, IDC_FUNCTION_LIST);
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index < 0 || index >= s->nFunctions)
        return -1;
    const std::string name = s->functions[index]->name;
    if (s->functions[index] == s->current && IsFitActive(s)) {
        if (FitMessageDialog(page, s, 2, IDS_DELETE_FITTED, name.c_str(), nullptr, nullptr, "Yes", "No") != 1)
            return 1;
        FinishFit(s, -1);
    } else if (MessageBoxA(page, name.c_str(), "Delete Function", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return 1;
    }
    if (RemoveFunction(s, static_cast<int>(index)) != 0)
        return -1;
    char ini[2 * QFIT_HOST_TEXT_CAPACITY];
    GetWritableIniPath(s, ini, sizeof ini);
    WritePrivateProfileStringA(s->category, name.c_str(), nullptr, ini);
    SendMessageA(list, LB_DELETESTRING, index, 0);
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    SendMessageA(list, LB_SETCURSEL, index < count ? index : count - 1, 0);
    OnFunctionSelected(page, s);
    EnableWindow(list, s->nFunctions > 0);
    return 0;
}

int AddFunctionFromFile(HWND page, FittingSession* s)
{
    CallHost(s, HOST_SET_STRING_VAR, reinterpret_cast<INT_PTR>(""), 0);
    CallHost(s, HOST_RUN_SCRIPT, reinterpret_cast<INT_PTR>("GetFile *.fdf"), 0);
    std::string folder = StringVariable(s, 1);
    std::string name = StringVariable(s, 0);
    if (name.empty())
        return 1;
    // The extension goes from the last dot on, whatever its length.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.resize(dot);
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    const std::string path = folder + name;
    for (int i = 0; i < s->nFunctions; ++i)
        if (_stricmp(s->functions[i]->name, name.c_str()) == 0 || _stricmp(s->functions[i]->path, path.c_str()) == 0)
            return 1;
    FunctionDef* def = AllocArray<FunctionDef>(1);
    if (!def)
        return 1;
    // The file's own Function Name must not be listed already either.
    int result = ReadFunctionFile(s, def, path.c_str()) == 0 && !FindLoadedFunction(s, def->name) ? 0 : 1;
    if (result == 0) {
        MeasureFunction(s, def);
        def->modified = 0;
        char ini[2 * QFIT_HOST_TEXT_CAPACITY];
        GetWritableIniPath(s, ini, sizeof ini);
        const std::string categoryFolder = CategoryFolder(s);
        if (_stricmp(categoryFolder.c_str(), folder.c_str()) != 0) {
            // A file from elsewhere is written where the category's functions are, with its
            // picture and sample curve beside it.
            snprintf(def->path, sizeof def->path, "%s%s", categoryFolder.c_str(), name.c_str());
            result = WriteFunctionFile(s, def) == 0 && CopyCompanion(path + ".wmf", std::string(def->path) + ".wmf") &&
                             CopyCompanion(path + ".cuv", std::string(def->path) + ".cuv")
                         ? 0
                         : 1;
        } else {
            result = AddFunctionToCategory(s->category, def, ini);
        }
    }
    if (result == 0)
        result = AddLoadedFunction(s, def) ? 1 : 0;
    ReleaseFunction(def);
    FreeLockedBlock(def);
    if (result)
        return 1;
    HWND list = GetDlgItem(page, IDC_FUNCTION_LIST);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s->functions[s->nFunctions - 1]->name));
    EnableWindow(list, TRUE);
    SendMessageA(list, LB_SETCURSEL, s->nFunctions - 1, 0);
    OnFunctionSelected(page, s);
    return 0;
}
