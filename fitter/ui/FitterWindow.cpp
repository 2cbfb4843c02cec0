#include "FitterWindow.h"

#include <stdio.h>

#include "../engine/FitMemory.h"
#include "../engine/FitSession.h"

LRESULT CALLBACK QFITControl(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterFitterClass(HINSTANCE instance)
{
    WNDCLASSA* wc = AllocArray<WNDCLASSA>(1);
    if (!wc)
        return false;
    wc->style = CS_DBLCLKS | CS_GLOBALCLASS;
    wc->lpfnWndProc = QFITControl;
    wc->cbWndExtra = 30;
    wc->hInstance = instance;
    wc->hIcon = LoadIconA(instance, "qfiticon");
    wc->hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc->hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc->lpszMenuName = "QFITMenu";
    wc->lpszClassName = "QFIT41Parent";
    const bool registered = RegisterClassA(wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    FreeLockedBlock(wc);
    return registered;
}

void CloseFitterWindow(FittingSession* s)
{
    if (s->fitterWindow && IsWindow(s->fitterWindow))
        DestroyWindow(s->fitterWindow);
    s->fitterWindow = nullptr;
}

int ShowFitterPage(FittingSession* s, const char*)
{
    CallHost(s, HOST_RUN_SCRIPT,
             reinterpret_cast<INT_PTR>("type -a \"qfit: the fitter window is not available in this version.\""), 0);
    return 1;
}

int FitterPageTemplateId(FittingSession* s)
{
    return s->fitterWindow && IsWindow(s->fitterWindow) ? s->pageId : 0;
}

void RefreshSessionPage(FittingSession*)
{
    // No page is ever shown without the fitter window, so there is nothing to reload.
}

int AssignDependentDataset(FittingSession* s, int, bool get, int n, char* text)
{
    DepVarInfo& v = s->dep[n];
    if (get) {
        char name[QFIT_HOST_TEXT_CAPACITY] = "";
        if (v.dataset)
            CallHost(s, HOST_GET_DATASET_NAME, v.dataset, reinterpret_cast<INT_PTR>(name));
        name[sizeof name - 1] = 0;
        if (text)
            snprintf(text, QFIT_STRING_VALUE_CAPACITY, "%s", name);
        return 0;
    }
    const char* name = text ? text : "";
    if (!name[0]) {
        v.dataset = 0;
        return 0;
    }
    const QFitDataset dataset = FindDatasetRange(s, name, &v.first, &v.end);
    if (!dataset)
        return FIT_ERR_NO_COLUMN;
    v.dataset = dataset;
    return 0;
}

int FitMessageDialog(HWND owner, FittingSession* s, int buttons, int messageId, const char* arg)
{
    char format[512] = "", text[1024];
    LoadStringA(FitterInstance, messageId, format, sizeof format);
    snprintf(text, sizeof text, format, arg ? arg : "");
    const UINT type = buttons >= 3 ? MB_YESNOCANCEL : buttons == 2 ? MB_OKCANCEL : MB_OK;
    const bool disable = s && s->fitterWindow && IsWindow(s->fitterWindow);
    if (disable)
        EnableWindow(s->fitterWindow, FALSE);
    const int answer = MessageBoxA(owner, text, "Quorix 6.1", type | MB_ICONEXCLAMATION);
    if (disable)
        EnableWindow(s->fitterWindow, TRUE);
    switch (answer) {
    case IDNO:
        return 2;
    case IDCANCEL:
        return buttons >= 3 ? 3 : 2;
    default:
        return 1;
    }
}
