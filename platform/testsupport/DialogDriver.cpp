#include "qxtest/DialogDriver.h"

#include <algorithm>

namespace qxtest {

namespace {
// The driver of the innermost Run on this thread; Run nests when a step opens a dialog.
thread_local DialogDriver *t_current = nullptr;
thread_local HHOOK t_hook = nullptr;
}

DialogDriver &DialogDriver::Then(Step step)
{
    steps_.push_back(std::move(step));
    return *this;
}

INT_PTR DialogDriver::Run(const std::function<INT_PTR()> &open, DWORD timeoutMs)
{
    dialogs_.clear();
    stepsRun_ = 0;
    timedOut_ = false;
    deadline_ = GetTickCount() + timeoutMs;

    DialogDriver *outer = t_current;
    HHOOK outerHook = t_hook;
    t_current = this;
    t_hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    UINT_PTR timer = SetTimer(nullptr, 0, 10, OnTimer);

    INT_PTR result = open();

    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(t_hook);
    t_hook = outerHook;
    t_current = outer;
    return result;
}

LRESULT CALLBACK DialogDriver::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && t_current) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        auto *create = reinterpret_cast<CBT_CREATEWNDA *>(lParam);
        char cls[32] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        // Property pages are dialogs too, but children of their sheet: only top-level
        // dialogs get a step.
        if (std::string(cls) == "#32770" && !(create->lpcs->style & WS_CHILD))
            t_current->dialogs_.push_back(hwnd);
    }
    return CallNextHookEx(t_hook, code, wParam, lParam);
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (t_current)
        t_current->Tick();
}

void DialogDriver::Tick()
{
    // A step may open another modal dialog (a button that shows a message box); its loop
    // calls back here, and the next step then drives that dialog. The step in progress has
    // already been counted, so it never runs twice.
    if (int(GetTickCount() - deadline_) > 0) {
        timedOut_ = true;
        for (auto it = dialogs_.rbegin(); it != dialogs_.rend(); ++it) {
            if (IsWindow(*it)) {
                EndDialog(*it, -2);
                PostMessageA(*it, WM_CLOSE, 0, 0);
            }
        }
        return;
    }
    if (stepsRun_ >= int(steps_.size()) || stepsRun_ >= int(dialogs_.size()))
        return;
    HWND dialog = dialogs_[stepsRun_];
    if (!IsWindow(dialog)) {
        // Closed by the code under test before its step could run: the step is skipped
        // and the next dialog gets the next step.
        dialogs_.erase(dialogs_.begin() + stepsRun_);
        return;
    }
    if (!IsWindowVisible(dialog))
        return;
    Step step = steps_[stepsRun_++];
    step(dialog);
}

static HWND Control(HWND dialog, int id)
{
    return GetDlgItem(dialog, id);
}

static void Notify(HWND dialog, int id, int code)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(Control(dialog, id)));
}

void SetText(HWND dialog, int id, const std::string &text)
{
    // WM_SETTEXT on an edit control sends EN_CHANGE itself, as typing would.
    SetDlgItemTextA(dialog, id, text.c_str());
}

std::string GetText(HWND dialog, int id)
{
    return WindowText(Control(dialog, id));
}

void Click(HWND dialog, int id)
{
    SendMessageA(Control(dialog, id), BM_CLICK, 0, 0);
}

void SetCheck(HWND dialog, int id, bool checked)
{
    HWND button = Control(dialog, id);
    if (IsChecked(dialog, id) == checked)
        return;
    LONG type = GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON || type == BS_AUTO3STATE) {
        SendMessageA(button, BM_CLICK, 0, 0);
    } else {
        SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        Notify(dialog, id, BN_CLICKED);
    }
}

bool IsChecked(HWND dialog, int id)
{
    return SendMessageA(Control(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ComboSelect(HWND dialog, int id, int index)
{
    SendMessageA(Control(dialog, id), CB_SETCURSEL, index, 0);
    Notify(dialog, id, CBN_SELCHANGE);
}

int ComboSelection(HWND dialog, int id)
{
    return int(SendMessageA(Control(dialog, id), CB_GETCURSEL, 0, 0));
}

void ListSelect(HWND dialog, int id, int index)
{
    SendMessageA(Control(dialog, id), LB_SETCURSEL, index, 0);
    Notify(dialog, id, LBN_SELCHANGE);
}

int ListSelection(HWND dialog, int id)
{
    return int(SendMessageA(Control(dialog, id), LB_GETCURSEL, 0, 0));
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(Control(dialog, id)) != FALSE;
}

std::string WindowText(HWND hwnd)
{
    int n = GetWindowTextLengthA(hwnd);
    std::string text(size_t(n) + 1, '\0');
    n = GetWindowTextA(hwnd, &text[0], n + 1);
    text.resize(size_t(std::max(n, 0)));
    return text;
}

std::string MessageBoxText(HWND box)
{
    // The message is the one static control that is not the icon.
    std::string found;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0)
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            continue;
        std::string text = WindowText(child);
        if (!text.empty())
            found = text;
    }
    return found;
}

namespace {
thread_local HHOOK t_cancelHook = nullptr;
}

CancelProgressBoxes::CancelProgressBoxes()
    : hook_(SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId()))
{
    t_cancelHook = hook_;
}

CancelProgressBoxes::~CancelProgressBoxes()
{
    if (hook_ != nullptr)
        UnhookWindowsHookEx(hook_);
    t_cancelHook = nullptr;
}

LRESULT CALLBACK CancelProgressBoxes::Hook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        char name[64] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        if (lstrcmpA(name, "QxUtilProgressBox") == 0)
            PostMessageA(reinterpret_cast<HWND>(wParam), WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(t_cancelHook, code, wParam, lParam);
}

} // namespace qxtest
