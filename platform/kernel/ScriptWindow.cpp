#include <windows.h>

#include <string>
#include <vector>

#include "KernelInternal.h"
#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKScript.h"

namespace {

const char kClassName[] = "QKScriptWindow";
const char kTitle[] = "Script Window";
const int kEditId = 1;

HINSTANCE KernelModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&KernelModule, &module);
    return module;
}

std::string EditText(HWND edit)
{
    int length = GetWindowTextLengthA(edit);
    std::string text(length + 1, '\0');
    GetWindowTextA(edit, &text[0], length + 1);
    text.resize(length);
    return text;
}

// What the running lines print, collected for the window.
void Collect(const char* text, int, void* user)
{
    static_cast<std::vector<std::string>*>(user)->push_back(text ? text : "");
}

} // namespace

CQKScriptWindow::~CQKScriptWindow()
{
    if (m_hwnd != nullptr && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
}

void CQKScriptWindow::OnMainFrameOpen(HWND frame)
{
    qkfxGetCallLog().Add("CQKScriptWindow::OnMainFrameOpen");
    m_owner = frame;
}

void CQKScriptWindow::OnMainFrameClose(HWND)
{
    if (m_hwnd != nullptr && IsWindow(m_hwnd))
        DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    m_edit = nullptr;
    m_owner = nullptr;
}

void CQKScriptWindow::DisableCreation()
{
    m_creationEnabled = false;
}

void CQKScriptWindow::EnableCreation()
{
    m_creationEnabled = true;
}

bool CQKScriptWindow::Create()
{
    HINSTANCE instance = KernelModule();
    WNDCLASSA wc = {};
    if (!GetClassInfoA(instance, kClassName, &wc)) {
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    HWND owner = m_owner != nullptr && IsWindow(m_owner) ? m_owner : nullptr;
    // A popup given no place would cover the menu bar: it starts in the lower left of the
    // main window.
    const int width = 480, height = 240;
    RECT place = {40, 40, 0, 0};
    if (owner != nullptr && GetWindowRect(owner, &place)) {
        place.left += 40;
        place.top = place.bottom - height - 40 > place.top ? place.bottom - height - 40 : place.top;
    }
    m_hwnd = CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, kTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                             place.left, place.top, width, height, owner, nullptr, instance, this);
    if (m_hwnd == nullptr)
        return false;
    RECT client;
    GetClientRect(m_hwnd, &client);
    m_edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                 ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL,
                             0, 0, client.right, client.bottom, m_hwnd, (HMENU)(INT_PTR)kEditId, instance, nullptr);
    if (m_edit == nullptr) {
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
        return false;
    }
    SendMessageA(m_edit, WM_SETFONT, (WPARAM)GetStockObject(ANSI_FIXED_FONT), FALSE);
    // A script may be long: the edit control's default limit is far too small.
    SendMessageA(m_edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    SetWindowLongPtrA(m_edit, GWLP_USERDATA, (LONG_PTR)this);
    m_editProc = (WNDPROC)SetWindowLongPtrA(m_edit, GWLP_WNDPROC, (LONG_PTR)EditProc);
    return true;
}

bool CQKScriptWindow::Show(bool show)
{
    if (!show) {
        if (m_hwnd != nullptr)
            ShowWindow(m_hwnd, SW_HIDE);
        return true;
    }
    if (m_hwnd == nullptr || !IsWindow(m_hwnd)) {
        m_hwnd = nullptr;
        if (!m_creationEnabled || !Create())
            return false;
    }
    ShowWindow(m_hwnd, SW_SHOW);
    SetFocus(m_edit);
    return true;
}

bool CQKScriptWindow::IsShown() const
{
    return m_hwnd != nullptr && IsWindow(m_hwnd) && IsWindowVisible(m_hwnd);
}

BOOL CQKScriptWindow::SetActive()
{
    if (!IsShown())
        return FALSE;
    SetActiveWindow(m_hwnd);
    SetFocus(m_edit);
    return TRUE;
}

BOOL CQKScriptWindow::PreTranslateMessage(MSG* msg)
{
    if (!IsShown() || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
        return FALSE;
    if (msg->hwnd != m_hwnd && !IsChild(m_hwnd, msg->hwnd))
        return FALSE;
    // The keys are the window's: the main window's accelerators must not see them.
    TranslateMessage(msg);
    DispatchMessageA(msg);
    return TRUE;
}

void CQKScriptWindow::RunCurrentLines()
{
    if (m_edit == nullptr)
        return;
    DWORD selStart = 0, selEnd = 0;
    SendMessageA(m_edit, EM_GETSEL, (WPARAM)&selStart, (LPARAM)&selEnd);
    int firstLine = (int)SendMessageA(m_edit, EM_LINEFROMCHAR, selStart, 0);
    // A selection that ends at the start of a line does not take that line in.
    DWORD lastChar = selEnd > selStart ? selEnd - 1 : selEnd;
    int lastLine = (int)SendMessageA(m_edit, EM_LINEFROMCHAR, lastChar, 0);
    std::string text = EditText(m_edit);
    int begin = (int)SendMessageA(m_edit, EM_LINEINDEX, firstLine, 0);
    int lastBegin = (int)SendMessageA(m_edit, EM_LINEINDEX, lastLine, 0);
    int end = lastBegin + (int)SendMessageA(m_edit, EM_LINELENGTH, lastBegin, 0);
    if (begin < 0 || end < begin || end > (int)text.size())
        return;
    std::string lines = text.substr(begin, end - begin);

    std::vector<std::string> output;
    CQKScript& script = qkfxGetScript();
    QKOutputProc savedProc = nullptr;
    void* savedUser = nullptr;
    script.GetOutput(&savedProc, &savedUser);
    script.SetOutput(Collect, &output);
    script.Execute(lines, kTitle);
    script.SetOutput(savedProc, savedUser);

    // The output goes below the lines that ran, and the caret to a fresh line after it.
    std::string insert = "\r\n";
    for (const std::string& line : output)
        insert += line + "\r\n";
    bool atEnd = end == (int)text.size();
    if (!atEnd)
        insert.resize(insert.size() - 2);
    SendMessageA(m_edit, EM_SETSEL, end, end);
    SendMessageA(m_edit, EM_REPLACESEL, TRUE, (LPARAM)insert.c_str());
    if (!atEnd) {
        int next = end + (int)insert.size();
        SendMessageA(m_edit, EM_SETSEL, next, next);
    }
    SendMessageA(m_edit, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK CQKScriptWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTA*)lParam)->lpCreateParams);
    auto* self = (CQKScriptWindow*)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    switch (msg) {
    case WM_SIZE:
        if (self != nullptr && self->m_edit != nullptr)
            MoveWindow(self->m_edit, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SETFOCUS:
        if (self != nullptr && self->m_edit != nullptr)
            SetFocus(self->m_edit);
        return 0;
    case WM_CLOSE:
        // Closing hides: the lines typed so far stay for the next time.
        ShowWindow(hwnd, SW_HIDE);
        return 0;
    case WM_NCDESTROY:
        if (self != nullptr && self->m_hwnd == hwnd) {
            self->m_hwnd = nullptr;
            self->m_edit = nullptr;
        }
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CQKScriptWindow::EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = (CQKScriptWindow*)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    WNDPROC base = self ? self->m_editProc : DefWindowProcA;
    // Enter runs; Ctrl+Enter and Shift+Enter start a new line without running.
    bool plainEnter = wParam == VK_RETURN && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (msg == WM_KEYDOWN && plainEnter && self != nullptr) {
        self->RunCurrentLines();
        return 0;
    }
    if (msg == WM_CHAR && (wParam == '\r' || wParam == '\n') && plainEnter)
        return 0;
    return CallWindowProcA(base, hwnd, msg, wParam, lParam);
}
