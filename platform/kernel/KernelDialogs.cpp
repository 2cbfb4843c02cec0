// The kernel's own dialogs: ASCII Import Options over the worksheet settings the ASCII
// import reads (delimiter, header lines, the lines of the column names and labels), the
// number prompt of the script command getnumber and the window list a layout's Add Graph
// and Add Worksheet choose from. The kernel carries no dialog resources, so
// the templates are built in memory.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "KernelInternal.h"
#include "QKAccess.h"
#include "QKAsciiImport.h"
#include "QKCallLog.h"
#include "QKScript.h"
#include "QKSysMethod.h"

namespace {

enum { kDelimiter = 101, kHeaderLines = 102, kNamesLine = 103, kLabelsLine = 104, kNumber = 105 };
const char* const kDelimiterNames[] = {"Detected from the data", "Comma", "Tab", "Semicolon",
                                       "Blanks (a run of blanks or tabs is one)"};
// Most header lines the options take: more is surely a typing mistake.
const int kMaxHeaderLines = 10000;

// A dialog template in memory: DLGTEMPLATE, then each item on a DWORD boundary.
class TemplateBuilder {
public:
    TemplateBuilder(const char* title, short cx, short cy)
    {
        DLGTEMPLATE t = {};
        t.style = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        t.cx = cx;
        t.cy = cy;
        Append(&t, sizeof t);
        Word(0); // no menu
        Word(0); // the dialog class
        Text(title);
        Word(8);
        Text("MS Shell Dlg");
    }
    void Item(WORD id, WORD atom, const char* text, DWORD style, short x, short y, short cx, short cy)
    {
        while (m_bytes.size() % 4)
            m_bytes.push_back(0);
        DLGITEMTEMPLATE item = {};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        Append(&item, sizeof item);
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0); // no creation data
        ++reinterpret_cast<DLGTEMPLATE*>(m_bytes.data())->cdit;
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data()); }

private:
    void Append(const void* p, size_t n)
    {
        const BYTE* b = (const BYTE*)p;
        m_bytes.insert(m_bytes.end(), b, b + n);
    }
    void Word(WORD w) { Append(&w, sizeof w); }
    void Text(const char* s)
    {
        int n = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
        std::vector<wchar_t> w(n);
        MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), n);
        Append(w.data(), w.size() * sizeof(wchar_t));
    }
    std::vector<BYTE> m_bytes;
};

enum { kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082, kCombo = 0x0085 };

bool ReadLineNumber(HWND dlg, int id, const char* what, int* value)
{
    BOOL ok = FALSE;
    UINT v = GetDlgItemInt(dlg, id, &ok, FALSE);
    if (!ok || v > (UINT)kMaxHeaderLines) {
        std::string text = std::string(what) + " must be a whole number from 0 to " + std::to_string(kMaxHeaderLines) + ".";
        MessageBoxA(dlg, text.c_str(), "ASCII Import Options", MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dlg, id));
        return false;
    }
    *value = (int)v;
    return true;
}

INT_PTR CALLBACK OptionsProc(HWND dlg, UINT msg, WPARAM wp, LPARAM)
{
    QKSysMethodWks& wks = qkfxGetQrxSystem().GetRefWks();
    switch (msg) {
    case WM_INITDIALOG: {
        HWND combo = GetDlgItem(dlg, kDelimiter);
        for (const char* name : kDelimiterNames)
            SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)name);
        int d = wks.GetAsciiDelimiter();
        SendMessageA(combo, CB_SETCURSEL, d >= 0 && d < 5 ? d : 0, 0);
        SetDlgItemInt(dlg, kHeaderLines, (UINT)std::max(0, wks.GetAsciiHeaderLines()), FALSE);
        SetDlgItemInt(dlg, kNamesLine, (UINT)std::max(0, wks.GetAsciiNamesLine()), FALSE);
        SetDlgItemInt(dlg, kLabelsLine, (UINT)std::max(0, wks.GetAsciiLabelsLine()), FALSE);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            int header, names, labels;
            if (!ReadLineNumber(dlg, kHeaderLines, "Header lines", &header) ||
                !ReadLineNumber(dlg, kNamesLine, "The line of the column names", &names) ||
                !ReadLineNumber(dlg, kLabelsLine, "The line of the column labels", &labels))
                return TRUE;
            if (names > header || labels > header) {
                MessageBoxA(dlg, "The column names and labels are read from header lines: their line cannot lie "
                                 "below the header lines.",
                            "ASCII Import Options", MB_OK | MB_ICONEXCLAMATION);
                return TRUE;
            }
            wks.SetAsciiDelimiter((int)SendDlgItemMessageA(dlg, kDelimiter, CB_GETCURSEL, 0, 0));
            wks.SetAsciiHeaderLines(header);
            wks.SetAsciiNamesLine(names);
            wks.SetAsciiLabelsLine(labels);
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

bool qkAsciiImportOptionsDialog(std::string* error)
{
    qkfxGetCallLog().Add("ASCII Import Options", "");
    HWND owner = qkfxGetAccess()->GetMainFrame();
    if (owner == nullptr || !IsWindow(owner))
        return true; // no window to show it over: recorded only
    char decimal = qkfxGetDecimalChar(qkfxGetQrxSystem().GetRefNumeric().GetSeparators());
    std::string note = std::string("Numbers are read with the decimal character of the Numeric Format options: \"") +
                       decimal + "\".";
    TemplateBuilder t("ASCII Import Options", 230, 132);
    const DWORD label = SS_LEFT, number = ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
    t.Item(0xFFFF, kStatic, "&Delimiter:", label, 7, 9, 90, 8);
    t.Item(kDelimiter, kCombo, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 100, 7, 123, 80);
    t.Item(0xFFFF, kStatic, "&Header lines:", label, 7, 27, 90, 8);
    t.Item(kHeaderLines, kEdit, "", number, 100, 25, 30, 12);
    t.Item(0xFFFF, kStatic, "Column &names from line:", label, 7, 45, 90, 8);
    t.Item(kNamesLine, kEdit, "", number, 100, 43, 30, 12);
    t.Item(0xFFFF, kStatic, "(0: none)", label, 135, 45, 60, 8);
    t.Item(0xFFFF, kStatic, "Column &labels from line:", label, 7, 63, 90, 8);
    t.Item(kLabelsLine, kEdit, "", number, 100, 61, 30, 12);
    t.Item(0xFFFF, kStatic, "(0: none)", label, 135, 63, 60, 8);
    t.Item(0xFFFF, kStatic, note.c_str(), label, 7, 82, 216, 18);
    t.Item(IDOK, kButton, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 118, 110, 50, 14);
    t.Item(IDCANCEL, kButton, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 173, 110, 50, 14);
    if (DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, OptionsProc, 0) == -1) {
        *error = "the ASCII Import Options dialog cannot be shown";
        return false;
    }
    return true;
}

namespace {

struct NumberPrompt {
    double value;
    bool hasValue;
};

INT_PTR CALLBACK NumberProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    NumberPrompt* prompt = (NumberPrompt*)GetWindowLongPtrA(dlg, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        prompt = (NumberPrompt*)lp;
        if (prompt->hasValue) {
            char text[64];
            snprintf(text, sizeof text, "%.15g", prompt->value);
            SetDlgItemTextA(dlg, kNumber, text);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) {
            char text[128] = "";
            GetDlgItemTextA(dlg, kNumber, text, sizeof text);
            std::string s = text;
            size_t a = s.find_first_not_of(" \t"), b = s.find_last_not_of(" \t");
            s = a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
            double v;
            if (!qkfxParseNumber(s.data(), s.data() + s.size(), '.', &v)) {
                MessageBoxA(dlg, "Please type a number.", "Quorix 6.1", MB_OK | MB_ICONEXCLAMATION);
                SetFocus(GetDlgItem(dlg, kNumber));
                return TRUE;
            }
            prompt->value = v;
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

bool qkAskNumber(const std::string& prompt, const std::string& variable, std::string* error)
{
    qkfxGetCallLog().Add("getnumber", prompt + " " + variable);
    HWND owner = qkfxGetAccess()->GetMainFrame();
    if (owner == nullptr || !IsWindow(owner))
        return true; // no window to ask in: the variable stays as it is (recorded)
    CQKScript& script = qkfxGetScript();
    NumberPrompt answer = {0, false};
    answer.hasValue = script.GetVariable(variable, &answer.value) && answer.value != MISSING_VALUE;
    TemplateBuilder t("Quorix 6.1", 200, 62);
    t.Item(0xFFFF, kStatic, prompt.c_str(), SS_LEFT, 7, 9, 120, 8);
    t.Item(kNumber, kEdit, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 130, 7, 63, 12);
    t.Item(IDOK, kButton, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 88, 40, 50, 14);
    t.Item(IDCANCEL, kButton, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 143, 40, 50, 14);
    INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, NumberProc, (LPARAM)&answer);
    if (r == -1) {
        *error = "getnumber: the dialog cannot be shown";
        return false;
    }
    // Cancel leaves the missing value, which the script tests for.
    script.SetVariable(variable, r == IDOK ? answer.value : MISSING_VALUE);
    return true;
}

namespace {

enum { kWindowList = 106 };

struct WindowChoice {
    const std::vector<std::string>* names;
    int chosen;
};

INT_PTR CALLBACK WindowListProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp)
{
    WindowChoice* choice = (WindowChoice*)GetWindowLongPtrA(dlg, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dlg, DWLP_USER, lp);
        choice = (WindowChoice*)lp;
        for (const std::string& name : *choice->names)
            SendDlgItemMessageA(dlg, kWindowList, LB_ADDSTRING, 0, (LPARAM)name.c_str());
        SendDlgItemMessageA(dlg, kWindowList, LB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || (LOWORD(wp) == kWindowList && HIWORD(wp) == LBN_DBLCLK)) {
            choice->chosen = (int)SendDlgItemMessageA(dlg, kWindowList, LB_GETCURSEL, 0, 0);
            if (choice->chosen >= 0)
                EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (LOWORD(wp) == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

int qkPickWindow(const std::string& title, const std::vector<std::string>& names, std::string* error)
{
    HWND owner = qkfxGetAccess() ? qkfxGetAccess()->GetMainFrame() : nullptr;
    if (owner == nullptr || !IsWindow(owner)) {
        *error = "there is no window to ask in: name the window";
        return -1;
    }
    TemplateBuilder t(title.c_str(), 180, 130);
    t.Item(kWindowList, 0x0083, "", LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 7, 110, 116);
    t.Item(IDOK, kButton, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 123, 7, 50, 14);
    t.Item(IDCANCEL, kButton, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 123, 25, 50, 14);
    WindowChoice choice = {&names, -1};
    INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.Get(), owner, WindowListProc, (LPARAM)&choice);
    if (r == -1) {
        *error = "the window list cannot be shown";
        return -1;
    }
    return r == IDOK ? choice.chosen : -2;
}
