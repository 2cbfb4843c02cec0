// How the fitter talks to the user: the status line, the message box, its own message
// dialog with the caller's button captions, and the colour and help filter every fitter
// window runs first.
#include <ctype.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "FitterResources.h"
#include "FitterWindow.h"
#include "ParamPanel.h"
#include "qxutil.h"

#include "../engine/FitSession.h"

namespace {

const char kBoxCaption[] = "NonLinear Curve Fitting";

// Loads string id as a format and prints it with three arguments. All three are always
// passed, so a conversion whose argument happens to be 0 still gets its argument.
void FormatString(int stringId, char* out, size_t capacity, INT_PTR a, INT_PTR b, INT_PTR c)
{
    char format[256] = "";
    LoadStringA(FitterInstance, stringId, format, sizeof format);
    snprintf(out, capacity, format, a, b, c);
}

struct MessageDialogTexts {
    const char* text;
    const char* captions[3];
};

}  // namespace

int FitMessage(HWND target, int stringId, FittingSession* s, INT_PTR a, INT_PTR b, INT_PTR c, UINT boxType)
{
    char local[256];
    char* text = s ? s->textBuffer : local;
    const size_t capacity = s ? sizeof s->textBuffer : sizeof local;
    FormatString(stringId, text, capacity, a, b, c);
    if (target) {
        SetDlgItemTextA(target, IDC_STATUS_LINE, text);
        return 0;
    }
    HWND owner = s && s->fitterWindow && IsWindow(s->fitterWindow) ? s->fitterWindow : s ? s->hostWindow : nullptr;
    return MessageBoxA(owner, text, kBoxCaption, boxType & 0xFFFF);
}

INT_PTR CALLBACK FitMsgDisplay(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT filtered;
    if (FitterColorFilter(dialog, message, wParam, lParam, &filtered))
        return filtered;
    switch (message) {
    case WM_INITDIALOG: {
        const MessageDialogTexts* texts = reinterpret_cast<const MessageDialogTexts*>(lParam);
        SetDlgItemTextA(dialog, IDC_MESSAGE_TEXT, texts->text);
        for (int i = 0; i < 3; ++i)
            if (texts->captions[i])
                SetDlgItemTextA(dialog, IDC_MESSAGE_BUTTON1 + i, texts->captions[i]);
        SetFocus(GetDlgItem(dialog, IDC_MESSAGE_BUTTON1));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MESSAGE_BUTTON1:
            EndDialog(dialog, 1);
            return TRUE;
        case IDC_MESSAGE_BUTTON2:
            EndDialog(dialog, 2);
            return TRUE;
        case IDC_MESSAGE_BUTTON3:
            EndDialog(dialog, 3);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

INT_PTR CALLBACK About(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT filtered;
    if (FitterColorFilter(dialog, message, wParam, lParam, &filtered))
        return filtered;
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDC_ABOUT_CLOSE || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

int FitMessageDialog(HWND owner, FittingSession* s, int buttons, int stringId, const char* s1, const char* s2,
                     const char* s3, const char* caption1, const char* caption2, const char* caption3)
{
    // Names of functions, datasets and worksheets are the user's: the result is cut to the
    // buffer, never written past it.
    char* text = static_cast<char*>(GlobalAlloc(GPTR, 512));
    if (!text)
        return 1;
    char format[256] = "";
    LoadStringA(FitterInstance, stringId, format, sizeof format);
    snprintf(text, 512, format, s1 ? s1 : "", s2 ? s2 : "", s3 ? s3 : "");

    HWND disabled[4] = {owner, s ? s->hostWindow : nullptr, s ? s->fitterWindow : nullptr,
                        s ? s->pageWindow : nullptr};
    bool wasEnabled[4] = {};
    for (int i = 0; i < 4; ++i)
        if (disabled[i] && IsWindow(disabled[i]))
            wasEnabled[i] = !EnableWindow(disabled[i], FALSE);

    buttons = buttons < 1 ? 1 : buttons > 3 ? 3 : buttons;
    const int templateId = buttons == 1 ? IDD_MESSAGE_1 : buttons == 2 ? IDD_MESSAGE_2 : IDD_MESSAGE_3;
    MessageDialogTexts texts = {text, {caption1, caption2, caption3}};
    HWND parent = owner ? owner : s && s->fitterWindow ? s->fitterWindow : s ? s->hostWindow : nullptr;
    INT_PTR answer = DialogBoxParamA(FitterInstance, MAKEINTRESOURCEA(templateId), parent, FitMsgDisplay,
                                     reinterpret_cast<LPARAM>(&texts));

    for (int i = 0; i < 4; ++i)
        if (wasEnabled[i] && IsWindow(disabled[i]))
            EnableWindow(disabled[i], TRUE);
    GlobalFree(text);
    return answer >= 1 && answer <= buttons ? static_cast<int>(answer) : buttons;
}

bool FitterColorFilter(HWND window, UINT message, WPARAM wParam, LPARAM, LRESULT* result)
{
    switch (message) {
    case WM_HELP: {
        FittingSession* s = WindowSession();
        if (s && s->pageWindow && IsWindow(s->pageWindow))
            CallHost(s, HOST_REQ_1030, PageTemplateId(s, s->pageId), 0, window);
        *result = TRUE;
        return true;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 0));
        SetBkColor(reinterpret_cast<HDC>(wParam), RGB(194, 194, 194));
        *result = reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
        return true;
    case WM_CTLCOLORDLG:
        *result = reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
        return true;
    }
    return false;
}

bool ToolbarMouseHelp(FittingSession* s, UINT message, LPARAM lParam, LRESULT* result)
{
    if (message != WM_MOUSEMOVE && message != WM_LBUTTONDOWN && message != WM_LBUTTONUP)
        return false;
    if (!s || s->basicFitter == KW_YES || !s->fitterWindow)
        return false;
    POINT point = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ClientToScreen(s->fitterWindow, &point);
    for (int id = PAGE_ID_SELECT; id <= PAGE_ID_ADVANCED; ++id) {
        HWND button = GetDlgItem(s->fitterWindow, id);
        RECT r;
        if (!button || !IsWindowVisible(button) || !GetWindowRect(button, &r) || !PtInRect(&r, point))
            continue;
        LoadStringA(FitterInstance, id, s->textBuffer, sizeof s->textBuffer);
        CallHost(s, HOST_REQ_1027, message, reinterpret_cast<INT_PTR>(s->textBuffer), button);
        break;
    }
    *result = 0;
    return true;
}

void ShowControlHelp(HWND, WPARAM wParam, LPARAM, FittingSession* s)
{
    const int code = HIWORD(wParam);
    if (code != BN_CLICKED && code != EN_SETFOCUS && code != BN_SETFOCUS && code != CBN_SETFOCUS &&
        code != LBN_SETFOCUS)
        return;
    if (s && s->fitterWindow && IsWindow(s->fitterWindow))
        FitMessage(s->fitterWindow, LOWORD(wParam), s);
}

void SelectListText(HWND dialog, int listId, const char* text)
{
    const LRESULT index = SendDlgItemMessageA(dialog, listId, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageA(dialog, listId, LB_SETCURSEL, index == LB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

// Measured with the list's own font here: the host has no text measure of its own to offer.
void FitListExtent(HWND dialog, int listId, FittingSession*)
{
    HWND list = GetDlgItem(dialog, listId);
    if (!list)
        return;
    HDC dc = GetDC(list);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        if (length == LB_ERR || length >= 1024)
            continue;
        char text[1024];
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        SIZE size = {};
        GetTextExtentPoint32A(dc, text, static_cast<int>(length), &size);
        if (size.cx > widest)
            widest = size.cx;
    }
    if (old)
        SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, widest, 0);
}

void WantReturn(HWND dialog, int editId)
{
    HWND edit = GetDlgItem(dialog, editId);
    if (edit)
        SetWindowLongPtrA(edit, GWL_STYLE, GetWindowLongPtrA(edit, GWL_STYLE) | ES_WANTRETURN);
}

INT_PTR RunPageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam, const PageHandlers& handlers)
{
    LRESULT filtered;
    if (FitterColorFilter(page, message, wParam, lParam, &filtered))
        return filtered;
    FittingSession* s = WindowSession();
    if (!s)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        handlers.init(page, s);
        return FALSE;  // the page has set the focus itself
    case WM_COMMAND:
        ShowControlHelp(page, wParam, lParam, s);
        if (handlers.command)
            handlers.command(page, s, wParam);
        return TRUE;
    case WM_VSCROLL:
        if (!handlers.scrollTemplate)
            return FALSE;
        ScrollParamPanel(page, wParam, reinterpret_cast<HWND>(lParam), s, handlers.scrollTemplate);
        return TRUE;
    }
    return FALSE;
}

void FillDatasetList(HWND dialog, int listId, FittingSession* s)
{
    std::vector<char> names(QFIT_DATASET_LIST_CAPACITY, 0);
    CallHost(s, HOST_LIST_DATASETS, reinterpret_cast<INT_PTR>(names.data()), 0);
    names.back() = 0;
    HWND list = GetDlgItem(dialog, listId);
    char* context = nullptr;
    for (char* name = strtok_s(names.data(), " ", &context); name; name = strtok_s(nullptr, " ", &context)) {
        const QFitDataset dataset = CallHost(s, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(name), 0);
        for (char* c = name; *c; ++c)
            *c = static_cast<char>(tolower(static_cast<unsigned char>(*c)));
        const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendMessageA(list, LB_SETITEMDATA, index, static_cast<LPARAM>(dataset));
    }
    FitListExtent(dialog, listId, s);
}

std::string FitterString(int id)
{
    char text[128] = "";
    LoadStringA(FitterInstance, id, text, sizeof text);
    return text;
}

void SetEditNumber(HWND dialog, int id, double value)
{
    char text[UTIL_NUMBER_TEXT_SIZE];
    FormatValue(value, 0, text);
    SetDlgItemTextA(dialog, id, text);
}
