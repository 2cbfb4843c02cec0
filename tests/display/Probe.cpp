// qxprobe.dll: the in-process half of the whole-program test harness.
//
// Under Wine a menu handle means nothing outside the process that made it, so a test that
// wants to read the main window's menus, or watch which windows a command opens, has to ask
// from inside. qxdrive.exe puts this library into the running program through a message
// hook; on its first call the hook starts a thread here that answers requests on the named
// pipe \\.\pipe\qxprobe-<process id>, one request a line, each answer ending with a line
// holding a single dot. The answering thread is not the program's user-interface thread, so
// it can tell a hung program from a busy one; work that must run on that thread (menu
// updates, scripts) is sent to it through a second, in-process hook.
//
// Requests (hwnd values are hexadecimal, as answers give them):
//   ping                 the user-interface thread answers within 20 s: "ok", else "hung"
//   settle               ping, wait until the input made so far (clicks, keys) is handled,
//                        then until a dialog the program is opening is shown and the
//                        main window's parts stand still
//   parts                "part <hwnd> <id> <parent id> <left> <top> <right> <bottom> <class>"
//                        per visible window inside the main window (bars, buttons, pages)
//   main                 "main <hwnd> <left> <top> <right> <bottom>" of the main window
//   bar                  "bar <index> <left> <top> <right> <bottom> <text>" per menu-bar item
//   menus                the command tree after the program's own menu updates:
//                        "item <id> <enabled|grey>[,checked] <path>" and "popup ..." lines
//   invoke <id>          posts the command, waits until the command is over or its window
//                        shows, and tells what came of it: "window <hwnd> <class>
//                        <modal|modeless> <title>" for each window it opened or showed
//                        again, "page <hwnd> <title>", "gone <hwnd>", "frame" (the main
//                        window's own bars changed), then "ok"; or "hung"
//   post <id>            posts the command and answers at once (Exit, which ends the program)
//   windows              "window ..." for every visible top-level window but the main one
//   tips                 "tip <hwnd> <text>" for every visible tooltip of the program
//   active               "active <hwnd>": the active window, the one keys go to
//   popups               "popup <hwnd> <left> <top> <right> <bottom> <items>" per open menu
//   itemrect <id>        "rect <left> <top> <right> <bottom>" of the command in an open menu
//   subrect <text>       the same of the submenu item of that text (without its &) in an open menu
//   children             "child <hwnd> <visible> <active> <title>" per page window
//   view                 "view <hwnd> <left> <top> <right> <bottom>": the active page
//                        window's view (its drawing area), in screen coordinates
//   control <hwnd> <id>  "rect <left> <top> <right> <bottom>" of the visible control of that
//                        id inside the window (a dialog, its pages)
//   activate <hwnd>      makes a page window the active one
//   maximize <hwnd>      maximizes a page window
//   close <hwnd>         posts WM_CLOSE
//   gone <hwnd> <ms>     waits until the window is hidden or destroyed: "ok" or "still"
//   script <text>        runs Scrivex text on the user-interface thread: "ok" or "error: ..."
//   dump <path>          writes the project's state dump (qkfxDumpProject) to the file: "ok"
//   cells <v1> <v2> ...  fills the active matrix row by row with the values: "ok"
//   axes                 "axis <X|Y|Z> <from> <to>" of the active graph's active layer
//   tab <hwnd> <index>   "rect <left> <top> <right> <bottom>" of a tab of the visible tab
//                        row inside the window (a property sheet's)
//   listitem <hwnd> <id> <row>  "rect <left> <top> <right> <bottom>" of a row of the list
//                        view of that id inside the window
//   dock <id>            "dock <floating 0|1> <dock bar id> <row> <left> <top> <right> <bottom>"
//                        of the visible bar of that id, docked in the main window or floating
//                        (rows counted from 0 by the places of the dock bar's visible bars)
//   button <bar id> <command>  "rect <left> <top> <right> <bottom>" of the toolbar's button
//   cell <column> <row>  "rect <left> <top> <right> <bottom>" of a cell of the active
//                        worksheet (column from 1, row from 0; row -1: the heading)
#include <windows.h>
#include <commctrl.h>

#include <QKAccess.h>
#include <QKData.h>
#include <QKGraphObjects.h>
#include <QKScript.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "MenuSpawn.h"
#include <qxtoolkit.h>

namespace {

const WPARAM kRunMagic = 0x51585052;   // "QXPR": only our own sends carry it
const DWORD kPingTimeoutMs = 20000;

DWORD g_uiThread;
UINT g_runMessage;

std::string Hex(HWND hwnd)
{
    char text[32];
    snprintf(text, sizeof text, "%llx", (unsigned long long)(ULONG_PTR)hwnd);
    return text;
}

HWND ParseHwnd(const std::string& text)
{
    return (HWND)(ULONG_PTR)strtoull(text.c_str(), nullptr, 16);
}

std::string ClassOf(HWND hwnd)
{
    char text[128] = "";
    GetClassNameA(hwnd, text, sizeof text);
    return text;
}

std::string TitleOf(HWND hwnd)
{
    // The stored text, without a message: a window of a busy thread must not hold the probe.
    wchar_t wide[256] = L"";
    InternalGetWindowText(hwnd, wide, 256);
    char text[512] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

std::string RectText(const RECT& rc)
{
    std::ostringstream out;
    out << rc.left << ' ' << rc.top << ' ' << rc.right << ' ' << rc.bottom;
    return out.str();
}

// The program's main window: an unowned, visible top-level window of the user-interface
// thread with a menu bar.
HWND MainWindow()
{
    struct Search { HWND found; } search = {nullptr};
    EnumThreadWindows(
        g_uiThread,
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == nullptr && SECGetFrameMenu(hwnd) != nullptr) {
                ((Search*)lParam)->found = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        (LPARAM)&search);
    return search.found;
}

HWND MdiClient(HWND main)
{
    return main != nullptr ? FindWindowExA(main, nullptr, "MDICLIENT", nullptr) : nullptr;
}

// Top-level windows of this process that a person could see, apart from the main window,
// open menus and tool tips.
std::vector<HWND> OtherWindows(HWND main, bool visibleOnly)
{
    struct Search { HWND main; bool visibleOnly; std::vector<HWND> found; } search = {main, visibleOnly, {}};
    EnumWindows(
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            Search* s = (Search*)lParam;
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid != GetCurrentProcessId() || hwnd == s->main)
                return TRUE;
            if (s->visibleOnly && !IsWindowVisible(hwnd))
                return TRUE;
            std::string cls = ClassOf(hwnd);
            if (cls == "#32768" || cls == "tooltips_class32" || cls == "IME" || cls == "Default IME")
                return TRUE;
            s->found.push_back(hwnd);
            return TRUE;
        },
        (LPARAM)&search);
    return search.found;
}

std::string WindowLine(HWND hwnd, HWND main)
{
    bool modal = main != nullptr && !IsWindowEnabled(main);
    return "window " + Hex(hwnd) + " " + ClassOf(hwnd) + " " + (modal ? "modal" : "modeless") + " " + TitleOf(hwnd);
}

std::vector<HWND> PageWindows(HWND main)
{
    std::vector<HWND> pages;
    HWND client = MdiClient(main);
    for (HWND child = client != nullptr ? GetWindow(client, GW_CHILD) : nullptr; child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindow(child, GW_OWNER) == nullptr)
            pages.push_back(child);
    return pages;
}

std::vector<HWND> VisibleDescendants(HWND main)
{
    std::vector<HWND> found;
    EnumChildWindows(
        main,
        [](HWND hwnd, LPARAM lParam) -> BOOL {
            if (IsWindowVisible(hwnd))
                ((std::vector<HWND>*)lParam)->push_back(hwnd);
            return TRUE;
        },
        (LPARAM)&found);
    return found;
}

// What a person sees of the main window's own parts: its visible descendants (bars, page
// windows) with their places, its menu and its title.
std::string FrameSignature(HWND main)
{
    std::ostringstream out;
    out << Hex((HWND)SECGetFrameMenu(main)) << '|' << TitleOf(main) << '|';
    for (HWND hwnd : VisibleDescendants(main)) {
        RECT rc;
        GetWindowRect(hwnd, &rc);
        out << Hex(hwnd) << ':' << RectText(rc) << ';';
    }
    return out.str();
}

bool Ping(HWND main)
{
    DWORD_PTR result = 0;
    return main != nullptr && SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, kPingTimeoutMs, &result) != 0;
}

// Runs work on the user-interface thread and waits for it; false when the thread did not
// take it in time. The work lives on the heap: a late run must not find it gone.
bool RunOnUiThread(HWND main, std::function<void()> work)
{
    auto* pending = new std::function<void()>(std::move(work));
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(main, g_runMessage, kRunMagic, (LPARAM)pending, SMTO_NORMAL, kPingTimeoutMs, &result))
        return false;
    delete pending;
    return true;
}

// Commands the user-interface thread has taken from its queue. A ping is a sent message,
// which the thread answers before it takes a posted one: that a ping came back does not
// say that a command posted before it has begun.
volatile LONG g_commandsTaken;
volatile LONG g_awaitedCommand;
// Markers the probe posted to the main window and the thread has taken since.
volatile LONG g_markersTaken;
const WPARAM kMarkerMagic = 0x5158504D;   // "QXPM"

LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    const MSG* msg = (const MSG*)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_COMMAND &&
        LOWORD(msg->wParam) == (WORD)g_awaitedCommand)
        InterlockedIncrement(&g_commandsTaken);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == g_runMessage && msg->wParam == kMarkerMagic)
        InterlockedIncrement(&g_markersTaken);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Posts a marker behind whatever the thread has been posted so far (a window that posts
// itself a message when it is made, and shows itself when that message comes) and waits,
// two seconds at most, until the thread has taken it: by then the earlier posts have run.
// A thread busy in a loop that takes no posted messages just lets the wait run out.
void AwaitPostedWork(HWND main)
{
    LONG taken = g_markersTaken;
    if (!PostMessageA(main, g_runMessage, kMarkerMagic, 0))
        return;
    for (int waited = 0; waited < 2000 && g_markersTaken == taken; waited += 10)
        Sleep(10);
}

// Dialogs of the user-interface thread that have been shown since the probe came in. A
// hidden dialog that was never shown is on its way to the screen; one that was shown and
// is hidden now is kept at rest (a modeless dialog closed by hiding it).
CRITICAL_SECTION g_shownLock;
std::vector<HWND> g_dialogsShown;

bool WasShown(HWND hwnd)
{
    EnterCriticalSection(&g_shownLock);
    bool shown = std::find(g_dialogsShown.begin(), g_dialogsShown.end(), hwnd) != g_dialogsShown.end();
    LeaveCriticalSection(&g_shownLock);
    return shown;
}

LRESULT CALLBACK CallWndHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const CWPSTRUCT* call = (const CWPSTRUCT*)lParam;
        if (call->message == g_runMessage && call->wParam == kRunMagic)
            (*(std::function<void()>*)call->lParam)();
        bool showing = (call->message == WM_SHOWWINDOW && call->wParam) ||
                       (call->message == WM_WINDOWPOSCHANGED && (((const WINDOWPOS*)call->lParam)->flags & SWP_SHOWWINDOW));
        if (showing && !WasShown(call->hwnd) && ClassOf(call->hwnd) == "#32770") {
            EnterCriticalSection(&g_shownLock);
            g_dialogsShown.push_back(call->hwnd);
            LeaveCriticalSection(&g_shownLock);
        }
        if (call->message == WM_NCDESTROY) {
            EnterCriticalSection(&g_shownLock);
            g_dialogsShown.erase(std::remove(g_dialogsShown.begin(), g_dialogsShown.end(), call->hwnd), g_dialogsShown.end());
            LeaveCriticalSection(&g_shownLock);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A menu text without its access-key marks ("&&" is an ampersand).
std::string WithoutAccessKeys(const std::string& text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '&' && i + 1 < text.size())
            i++;
        else if (text[i] == '&')
            continue;
        plain += text[i];
    }
    return plain;
}

// A menu item's text without access-key marks and shortcut. The program's menus draw their
// commands themselves, and then the text lives in the item's drawing record.
std::string ItemText(HMENU menu, UINT index, const MENUITEMINFOA& mii)
{
    std::string text;
    if ((mii.fType & MFT_OWNERDRAW) && mii.dwItemData != 0) {
        text = ((const CMenuSpawn::Record*)mii.dwItemData)->szText;
    } else {
        char buffer[256] = "";
        GetMenuStringA(menu, index, buffer, sizeof buffer, MF_BYPOSITION);
        text = buffer;
    }
    text = WithoutAccessKeys(text.substr(0, text.find('\t')));
    std::replace(text.begin(), text.end(), '/', '|');   // '/' separates the path
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

void WalkMenu(HWND main, HMENU menu, UINT indexInParent, const std::string& path, std::ostringstream& out)
{
    // What the program does when the drop-down opens: its command updates grey and check
    // the items.
    SendMessageA(main, WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(indexInParent, FALSE));
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &mii) || (mii.fType & MFT_SEPARATOR))
            continue;
        std::string text = ItemText(menu, (UINT)i, mii);
        if (text.empty() || text == "--")
            continue;   // an owner-drawn separator
        std::string state = (mii.fState & MFS_GRAYED) ? "grey" : "enabled";
        if (mii.fState & MFS_CHECKED)
            state += ",checked";
        std::string itemPath = path + "/" + text;
        if (mii.hSubMenu != nullptr) {
            out << "popup 0 " << state << ' ' << itemPath << '\n';
            WalkMenu(main, mii.hSubMenu, (UINT)i, itemPath, out);
        } else {
            out << "item " << mii.wID << ' ' << state << ' ' << itemPath << '\n';
        }
    }
}

std::string Menus(HWND main)
{
    std::ostringstream out;
    bool done = RunOnUiThread(main, [&] {
        HMENU bar = SECGetFrameMenu(main);
        SendMessageA(main, WM_INITMENU, (WPARAM)bar, 0);
        int count = GetMenuItemCount(bar);
        for (int i = 0; i < count; i++) {
            HMENU popup = GetSubMenu(bar, i);
            if (popup == nullptr)
                continue;   // the system menu button of a maximized page window
            char text[256] = "";
            GetMenuStringA(bar, (UINT)i, text, sizeof text, MF_BYPOSITION);
            std::string name = WithoutAccessKeys(text);
            if (name.empty())
                continue;
            out << "popup 0 enabled " << name << '\n';
            WalkMenu(main, popup, (UINT)i, name, out);
        }
        SendMessageA(main, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    });
    return done ? out.str() : "hung\n";
}

std::string Bar(HWND main)
{
    std::ostringstream out;
    HMENU bar = SECGetFrameMenu(main);
    int count = bar != nullptr ? GetMenuItemCount(bar) : 0;
    for (int i = 0; i < count; i++) {
        RECT rc = {};
        char text[256] = "";
        GetMenuStringA(bar, (UINT)i, text, sizeof text, MF_BYPOSITION);
        std::string name = WithoutAccessKeys(text);
        if (SECGetFrameMenuItemRect(main, i, &rc))
            out << "bar " << i << ' ' << RectText(rc) << ' ' << name << '\n';
    }
    return out.str();
}

// The user-interface thread is inside a command of the main window (a nested message loop
// answers the probe while, say, a file dialog reads its folders before it is made).
bool CommandUnderWay(HWND main)
{
    bool busy = false;
    RunOnUiThread(main, [&busy] { busy = qkfxGetAccess()->GetCurrentCommand() != 0; });
    return busy;
}

// Pointer and key input that has reached the user-interface thread and is not handled
// yet. GetQueueStatus on that thread also reads what the display has sent to the program
// meanwhile, so a click xdotool has made counts from the moment it is made.
bool InputPending(HWND main)
{
    bool pending = false;
    RunOnUiThread(main, [&pending] { pending = HIWORD(GetQueueStatus(QS_INPUT)) != 0; });
    return pending;
}

// Waits, five seconds at most, until the thread has taken the input made so far (a test's
// click or keys), then until it has run what that input posted: a ping alone may come
// back before the thread has even read the click.
void AwaitInput(HWND main)
{
    for (int waited = 0; waited < 5000 && InputPending(main); waited += 20)
        Sleep(20);
    AwaitPostedWork(main);
}

// A shown window owned by this one: a dialog that asks something while it is being made
// (the print dialog's message that there is no printer) waits, hidden, on that window.
bool OwnsShownWindow(HWND owner, const std::vector<HWND>& windows)
{
    for (HWND hwnd : windows)
        if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == owner)
            return true;
    return false;
}

// A modal dialog disables the main window and exists before its loop shows it, and a
// command may take a while before it makes its window: wait, some seconds at most, until
// whatever the program has begun to open is on the screen, or the command is over.
// A hidden dialog is on its way only when it has never been shown and is not itself
// waiting on a shown window: one kept hidden at rest, or one that asks a question while
// it is being made, must not hold the wait for its full length.
void Settle(HWND main, const std::function<bool(HWND)>& isNew)
{
    for (int waited = 0; waited < 15000; waited += 20) {
        bool hiddenDialog = false, shown = false;
        std::vector<HWND> windows = OtherWindows(main, false);
        for (HWND hwnd : windows) {
            if (!isNew(hwnd))
                continue;
            if (IsWindowVisible(hwnd))
                shown = true;
            else if (ClassOf(hwnd) == "#32770" && !WasShown(hwnd) && !OwnsShownWindow(hwnd, windows))
                hiddenDialog = true;
        }
        if (!hiddenDialog && (shown || (IsWindowEnabled(main) && !CommandUnderWay(main))))
            return;
        Sleep(20);
        Ping(main);
    }
}

// Where the main window's visible parts are; the bars rearrange for a while after a page
// window is activated, moving the page windows and their views.
std::string LayoutSignature(HWND main)
{
    std::string signature;
    for (HWND hwnd : VisibleDescendants(main)) {
        RECT rc;
        GetWindowRect(hwnd, &rc);
        signature += Hex(hwnd) + ' ' + RectText(rc) + ';';
    }
    return signature;
}

// Waits until the parts stand still: the same places twice 150 ms apart, for three
// seconds at most.
void SettleLayout(HWND main)
{
    std::string last = LayoutSignature(main);
    for (int waited = 0; waited < 3000; waited += 150) {
        Sleep(150);
        Ping(main);
        std::string now = LayoutSignature(main);
        if (now == last)
            return;
        last = now;
    }
}

std::string Invoke(HWND main, UINT id)
{
    std::vector<HWND> windowsBefore = OtherWindows(main, false);
    // A window that was there but hidden (the script window after it was closed) and is
    // shown again was opened by the command as much as a new one.
    std::vector<HWND> shownBefore = OtherWindows(main, true);
    std::vector<HWND> pagesBefore = PageWindows(main);
    std::string frameBefore = FrameSignature(main);
    g_awaitedCommand = (LONG)id;
    LONG taken = g_commandsTaken;
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    for (DWORD waited = 0; g_commandsTaken == taken; waited += 10) {
        if (waited >= kPingTimeoutMs || !Ping(main))
            return "hung\n";
        Sleep(10);
    }
    // Two rounds: a command may post more work for the thread before it is done (a window
    // made hidden that shows itself on a message it posted itself).
    if (!Ping(main) || !Ping(main))
        return "hung\n";
    AwaitPostedWork(main);
    AwaitPostedWork(main);

    auto isNew = [&](HWND hwnd) {
        return std::find(windowsBefore.begin(), windowsBefore.end(), hwnd) == windowsBefore.end();
    };
    Settle(main, isNew);

    std::ostringstream out;
    for (HWND hwnd : OtherWindows(main, true))
        if (std::find(shownBefore.begin(), shownBefore.end(), hwnd) == shownBefore.end())
            out << WindowLine(hwnd, main) << '\n';
    std::vector<HWND> pagesAfter = PageWindows(main);
    for (HWND page : pagesAfter)
        if (std::find(pagesBefore.begin(), pagesBefore.end(), page) == pagesBefore.end())
            out << "page " << Hex(page) << ' ' << TitleOf(page) << '\n';
    for (HWND page : pagesBefore)
        if (std::find(pagesAfter.begin(), pagesAfter.end(), page) == pagesAfter.end())
            out << "gone " << Hex(page) << '\n';
    if (FrameSignature(main) != frameBefore)
        out << "frame\n";
    out << "ok\n";
    return out.str();
}

// Where the bar of a control id stands: docked along an edge of the main window (the dock
// bars' ids 0xE81B to 0xE81E) or in a floating frame (0xE81F).
// The visible bar of that id, docked in the main window or floating; null when none.
HWND FindVisibleBar(HWND main, int id)
{
    struct Find {
        int id;
        HWND found;
    } find = {id, nullptr};
    auto visit = [](HWND hwnd, LPARAM lParam) -> BOOL {
        Find* f = (Find*)lParam;
        int parentId = GetDlgCtrlID(GetParent(hwnd));
        if (GetDlgCtrlID(hwnd) == f->id && IsWindowVisible(hwnd) && parentId >= 0xE81B && parentId <= 0xE81F) {
            f->found = hwnd;
            return FALSE;
        }
        return TRUE;
    };
    EnumChildWindows(main, visit, (LPARAM)&find);
    if (find.found == nullptr) {
        // Floating frames are top-level windows of the program.
        EnumWindows(
            [](HWND top, LPARAM lParam) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(top, &pid);
                if (pid == GetCurrentProcessId() && IsWindowVisible(top))
                    EnumChildWindows(
                        top,
                        [](HWND hwnd, LPARAM l) -> BOOL {
                            Find* f = (Find*)l;
                            if (GetDlgCtrlID(hwnd) == f->id && IsWindowVisible(hwnd) &&
                                GetDlgCtrlID(GetParent(hwnd)) == 0xE81F) {
                                f->found = hwnd;
                                return FALSE;
                            }
                            return TRUE;
                        },
                        lParam);
                return ((Find*)lParam)->found == nullptr;
            },
            (LPARAM)&find);
    }
    return find.found;
}

std::string DockLine(HWND main, int id)
{
    struct {
        HWND found;
    } find = {FindVisibleBar(main, id)};
    if (find.found == nullptr)
        return "error: no visible bar " + std::to_string(id) + "\n";
    HWND dock = GetParent(find.found);
    int dockId = GetDlgCtrlID(dock);
    bool vertical = dockId == 0xE81C || dockId == 0xE81D;
    RECT rc;
    GetWindowRect(find.found, &rc);
    std::vector<LONG> before;
    for (HWND sibling = GetWindow(dock, GW_CHILD); sibling != nullptr; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        RECT rs;
        if (!IsWindowVisible(sibling) || !GetWindowRect(sibling, &rs))
            continue;
        LONG at = vertical ? rs.left : rs.top;
        if (at < (vertical ? rc.left : rc.top) && std::find(before.begin(), before.end(), at) == before.end())
            before.push_back(at);
    }
    std::ostringstream out;
    out << "dock " << (GetAncestor(find.found, GA_ROOT) != main ? 1 : 0) << ' ' << dockId << ' ' << before.size()
        << ' ' << RectText(rc) << '\n';
    return out.str();
}

// The screen rectangle of a toolbar's button.
std::string ButtonLine(HWND main, int barId, int command)
{
    HWND bar = FindVisibleBar(main, barId);
    if (bar == nullptr)
        return "error: no visible bar " + std::to_string(barId) + "\n";
    LRESULT index = SendMessageA(bar, TB_COMMANDTOINDEX, (WPARAM)command, 0);
    RECT rc;
    if (index < 0 || !SendMessageA(bar, TB_GETITEMRECT, (WPARAM)index, (LPARAM)&rc))
        return "error: bar " + std::to_string(barId) + " has no button " + std::to_string(command) + "\n";
    MapWindowPoints(bar, nullptr, (POINT*)&rc, 2);
    return "rect " + RectText(rc) + "\n";
}

std::string Answer(const std::string& line)
{
    std::istringstream in(line);
    std::string verb;
    in >> verb;
    HWND main = MainWindow();
    if (main == nullptr && verb != "windows")
        return "error: the program has no main window\n";
    std::ostringstream out;
    if (verb == "ping") {
        out << (Ping(main) ? "ok" : "hung") << '\n';
    } else if (verb == "settle") {
        if (Ping(main)) {
            AwaitInput(main);
            Settle(main, [](HWND hwnd) { return true; });
            SettleLayout(main);
            out << "ok\n";
        } else {
            out << "hung\n";
        }
    } else if (verb == "main") {
        RECT rc;
        GetWindowRect(main, &rc);
        out << "main " << Hex(main) << ' ' << RectText(rc) << '\n';
    } else if (verb == "parts") {
        for (HWND hwnd : VisibleDescendants(main)) {
            RECT rc;
            GetWindowRect(hwnd, &rc);
            out << "part " << Hex(hwnd) << ' ' << GetDlgCtrlID(hwnd) << ' ' << GetDlgCtrlID(GetParent(hwnd)) << ' '
                << RectText(rc) << ' ' << ClassOf(hwnd) << '\n';
        }
    } else if (verb == "bar") {
        out << Bar(main);
    } else if (verb == "dock") {
        out << DockLine(main, [&] { int id = 0; in >> id; return id; }());
    } else if (verb == "button") {
        int barId = 0, command = 0;
        in >> barId >> command;
        out << ButtonLine(main, barId, command);
    } else if (verb == "menus") {
        out << Menus(main);
    } else if (verb == "invoke" || verb == "post") {
        UINT id = 0;
        if (!(in >> id))
            return "error: " + verb + " needs a command id\n";
        if (verb == "post")
            out << (PostMessageA(main, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? "ok" : "error: not posted") << '\n';
        else
            out << Invoke(main, id);
    } else if (verb == "windows") {
        for (HWND hwnd : OtherWindows(main, true))
            out << WindowLine(hwnd, main) << '\n';
    } else if (verb == "tips") {
        std::vector<HWND> tips;
        EnumWindows(
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && ClassOf(hwnd) == "tooltips_class32")
                    ((std::vector<HWND>*)lParam)->push_back(hwnd);
                return TRUE;
            },
            (LPARAM)&tips);
        for (HWND hwnd : tips) {
            char text[256] = "";
            GetWindowTextA(hwnd, text, sizeof text);
            out << "tip " << Hex(hwnd) << ' ' << text << '\n';
        }
    } else if (verb == "active") {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(g_uiThread, &info);
        out << "active " << Hex(info.hwndActive) << '\n';
    } else if (verb == "popups") {
        EnumWindows(
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid == GetCurrentProcessId() && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32768") {
                    RECT rc;
                    GetWindowRect(hwnd, &rc);
                    DWORD_PTR menu = 0;
                    SendMessageTimeoutA(hwnd, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &menu);
                    *(std::ostringstream*)lParam << "popup " << Hex(hwnd) << ' ' << RectText(rc) << ' '
                                                 << GetMenuItemCount((HMENU)menu) << '\n';
                }
                return TRUE;
            },
            (LPARAM)&out);
    } else if (verb == "itemrect") {
        struct Find { UINT id; RECT rc; bool found; } find = {0, {}, false};
        in >> find.id;
        EnumWindows(
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                Find* f = (Find*)lParam;
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) || ClassOf(hwnd) != "#32768")
                    return TRUE;
                DWORD_PTR menu = 0;
                SendMessageTimeoutA(hwnd, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &menu);
                int count = GetMenuItemCount((HMENU)menu);
                for (int i = 0; i < count; i++)
                    if (GetMenuItemID((HMENU)menu, i) == f->id && GetMenuItemRect(nullptr, (HMENU)menu, (UINT)i, &f->rc)) {
                        f->found = true;
                        return FALSE;
                    }
                return TRUE;
            },
            (LPARAM)&find);
        out << (find.found ? "rect " + RectText(find.rc) : std::string("error: no open menu holds that command")) << '\n';
    } else if (verb == "subrect") {
        struct Find { std::string text; RECT rc; bool found; } find = {"", {}, false};
        std::getline(in >> std::ws, find.text);
        EnumWindows(
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                Find* f = (Find*)lParam;
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd) || ClassOf(hwnd) != "#32768")
                    return TRUE;
                DWORD_PTR menu = 0;
                SendMessageTimeoutA(hwnd, MN_GETHMENU, 0, 0, SMTO_ABORTIFHUNG, 2000, &menu);
                int count = GetMenuItemCount((HMENU)menu);
                for (int i = 0; i < count; i++) {
                    char text[256] = "";
                    GetMenuStringA((HMENU)menu, (UINT)i, text, sizeof text, MF_BYPOSITION);
                    std::string plain;
                    for (const char* c = text; *c && *c != '\t'; ++c)
                        if (*c != '&')
                            plain += *c;
                    if (GetSubMenu((HMENU)menu, i) && plain == f->text &&
                        GetMenuItemRect(nullptr, (HMENU)menu, (UINT)i, &f->rc)) {
                        f->found = true;
                        return FALSE;
                    }
                }
                return TRUE;
            },
            (LPARAM)&find);
        out << (find.found ? "rect " + RectText(find.rc) : std::string("error: no open menu holds that submenu")) << '\n';
    } else if (verb == "children") {
        HWND active = (HWND)SendMessageA(MdiClient(main), WM_MDIGETACTIVE, 0, 0);
        for (HWND page : PageWindows(main))
            out << "child " << Hex(page) << ' ' << (IsWindowVisible(page) ? 1 : 0) << ' ' << (page == active ? 1 : 0)
                << ' ' << TitleOf(page) << '\n';
    } else if (verb == "view") {
        HWND active = (HWND)SendMessageA(MdiClient(main), WM_MDIGETACTIVE, 0, 0);
        HWND view = active ? GetWindow(active, GW_CHILD) : nullptr;
        RECT rc;
        if (view && GetWindowRect(view, &rc))
            out << "view " << Hex(view) << ' ' << RectText(rc) << '\n';
        else
            out << "error: no page window is active\n";
    } else if (verb == "control") {
        std::string handle;
        struct Find {
            int id;
            HWND found;
        } find = {0, nullptr};
        in >> handle >> find.id;
        EnumChildWindows(
            ParseHwnd(handle),
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                Find* f = (Find*)lParam;
                if (GetDlgCtrlID(hwnd) == f->id && IsWindowVisible(hwnd)) {
                    f->found = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            (LPARAM)&find);
        RECT rc;
        if (find.found && GetWindowRect(find.found, &rc))
            out << "rect " << RectText(rc) << '\n';
        else
            out << "error: no visible control " << find.id << '\n';
    } else if (verb == "activate" || verb == "maximize" || verb == "close" || verb == "gone") {
        std::string handle;
        in >> handle;
        HWND hwnd = ParseHwnd(handle);
        if (verb == "activate") {
            SendMessageA(MdiClient(main), WM_MDIACTIVATE, (WPARAM)hwnd, 0);
            out << "ok\n";
        } else if (verb == "maximize") {
            SendMessageA(MdiClient(main), WM_MDIMAXIMIZE, (WPARAM)hwnd, 0);
            out << "ok\n";
        } else if (verb == "close") {
            out << (PostMessageA(hwnd, WM_CLOSE, 0, 0) ? "ok" : "error: not posted") << '\n';
        } else {
            int ms = 2000;
            in >> ms;
            for (int waited = 0; IsWindow(hwnd) && IsWindowVisible(hwnd) && waited < ms; waited += 20)
                Sleep(20);
            out << (IsWindow(hwnd) && IsWindowVisible(hwnd) ? "still" : "ok") << '\n';
        }
    } else if (verb == "cells") {
        std::vector<double> values;
        for (double v; in >> v;)
            values.push_back(v);
        std::string error;
        bool ran = RunOnUiThread(main, [&] {
            CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
            if (!m || (size_t)m->GetRows() * m->GetCols() != values.size()) {
                error = "no active matrix of that many cells";
                return;
            }
            for (size_t i = 0; i < values.size(); ++i)
                m->SetCell((int)(i / m->GetCols()) + 1, (int)(i % m->GetCols()) + 1, values[i]);
        });
        out << (!ran ? "hung" : error.empty() ? "ok" : "error: " + error) << '\n';
    } else if (verb == "axes") {
        bool ran = RunOnUiThread(main, [&] {
            CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
            CQKGraphicLayer* layer = graph ? graph->GetActiveLayer() : nullptr;
            if (!layer) {
                out << "error: no active graph layer\n";
                return;
            }
            const char* names[3] = {"X", "Y", "Z"};
            const int types[3] = {QK_AXIS_X, QK_AXIS_Y, QK_AXIS_Z};
            for (int d = 0; d < 3; ++d) {
                const QKAxisRecord& r = layer->GetAxisRecord(types[d]);
                out << "axis " << names[d] << ' ' << r.from << ' ' << r.to << '\n';
            }
        });
        if (!ran)
            out << "hung\n";
    } else if (verb == "tab") {
        std::string handle;
        int index = 0;
        in >> handle >> index;
        HWND tabs = nullptr;
        EnumChildWindows(
            ParseHwnd(handle),
            [](HWND hwnd, LPARAM lParam) -> BOOL {
                char cls[64] = "";
                GetClassNameA(hwnd, cls, sizeof cls);
                if (lstrcmpiA(cls, "SysTabControl32") == 0 && IsWindowVisible(hwnd)) {
                    *(HWND*)lParam = hwnd;
                    return FALSE;
                }
                return TRUE;
            },
            (LPARAM)&tabs);
        RECT rc;
        if (tabs && SendMessageA(tabs, TCM_GETITEMRECT, index, (LPARAM)&rc)) {
            MapWindowPoints(tabs, nullptr, (POINT*)&rc, 2);
            out << "rect " << RectText(rc) << '\n';
        } else {
            out << "error: no tab " << index << '\n';
        }
    } else if (verb == "listitem") {
        std::string handle;
        int id = 0, row = 0;
        in >> handle >> id >> row;
        HWND list = GetDlgItem(ParseHwnd(handle), id);
        RECT rc = {LVIR_BOUNDS, 0, 0, 0};
        if (list && SendMessageA(list, LVM_GETITEMRECT, row, (LPARAM)&rc)) {
            MapWindowPoints(list, nullptr, (POINT*)&rc, 2);
            out << "rect " << RectText(rc) << '\n';
        } else {
            out << "error: no row " << row << " in list " << id << '\n';
        }
    } else if (verb == "treeitem") {
        // treeitem <parent> <id> <text>: the rectangle of the first item so labelled.
        std::string handle, text;
        int id = 0;
        in >> handle >> id;
        std::getline(in, text);
        text.erase(0, text.find_first_not_of(' '));
        HWND tree = GetDlgItem(ParseHwnd(handle), id);
        RECT rc = {};
        bool found = false;
        std::vector<HTREEITEM> pending;
        if (tree)
            pending.push_back((HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        while (!pending.empty() && !found) {
            HTREEITEM item = pending.back();
            pending.pop_back();
            for (; item != nullptr && !found; item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item)) {
                char label[256] = "";
                TVITEMA tv = {};
                tv.mask = TVIF_TEXT | TVIF_HANDLE;
                tv.hItem = item;
                tv.pszText = label;
                tv.cchTextMax = sizeof label;
                SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
                if (text == label) {
                    *(HTREEITEM*)&rc = item;
                    found = SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&rc) != 0;
                }
                if (HTREEITEM child = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)item))
                    pending.push_back(child);
            }
        }
        if (found) {
            MapWindowPoints(tree, nullptr, (POINT*)&rc, 2);
            out << "rect " << RectText(rc) << '\n';
        } else {
            out << "error: no item \"" << text << "\" in tree " << id << '\n';
        }
    } else if (verb == "cell") {
        int column = 0, row = 0;
        in >> column >> row;
        RECT cell = {};
        bool found = false;
        bool ran = RunOnUiThread(main, [&] {
            auto* wks = dynamic_cast<CQKWksPage*>(qkfxGetProject().GetActivePage());
            RECT draw;
            if (wks == nullptr || wks->GetDrawingWnd() == nullptr || !wks->GetDrawRect(draw) ||
                column < wks->GetLeftColumn() || column > wks->GetNumCols())
                return;
            int x = draw.left + wks->GetRowNumberWidth();
            for (int c = wks->GetLeftColumn(); c < column; ++c)
                x += wks->GetColumnPixels(c);
            int y = row < 0 ? draw.top : draw.top + wks->GetHeaderHeight() + (row - wks->GetTopRow()) * wks->GetRowHeight();
            POINT corner = {x, y};
            ClientToScreen(wks->GetDrawingWnd(), &corner);
            cell = {corner.x, corner.y, corner.x + wks->GetColumnPixels(column),
                    corner.y + (row < 0 ? wks->GetHeaderHeight() : wks->GetRowHeight())};
            found = true;
        });
        if (!ran)
            out << "hung\n";
        else if (!found)
            out << "error: no such cell in an active worksheet window\n";
        else
            out << "rect " << RectText(cell) << '\n';
    } else if (verb == "script") {
        std::string text;
        std::getline(in, text);
        text.erase(0, text.find_first_not_of(' '));
        std::string error;
        bool ran = RunOnUiThread(main, [&] {
            if (!qkfxGetScript().Execute(text))
                error = qkfxGetScript().GetLastError();
        });
        if (!ran)
            out << "hung\n";
        else if (!error.empty())
            out << "error: " << error << '\n';
        else
            out << "ok\n";
    } else if (verb == "eval") {
        // An expression's value, read without running a command: a condition that is not
        // yet true answers 0 and leaves nothing behind.
        std::string text;
        std::getline(in, text);
        text.erase(0, text.find_first_not_of(' '));
        std::string error;
        double value = 0;
        bool ran = RunOnUiThread(main, [&] {
            if (!qkfxGetScript().Evaluate(text, &value))
                error = qkfxGetScript().GetLastError();
        });
        char number[40];
        snprintf(number, sizeof number, "%.17g", value);
        if (!ran)
            out << "hung\n";
        else if (!error.empty())
            out << "error: " << error << '\n';
        else
            out << "value " << number << '\n';
    } else if (verb == "dump") {
        std::string path;
        std::getline(in, path);
        path.erase(0, path.find_first_not_of(' '));
        std::string dump;
        if (!RunOnUiThread(main, [&] { dump = qkfxDumpProject(); })) {
            out << "hung\n";
        } else {
            FILE* f = fopen(path.c_str(), "wb");
            bool written = f != nullptr && fwrite(dump.data(), 1, dump.size(), f) == dump.size();
            if (f != nullptr)
                written = fclose(f) == 0 && written;
            out << (written ? "ok" : "error: cannot write " + path) << '\n';
        }
    } else {
        out << "error: unknown request \"" << verb << "\"\n";
    }
    return out.str();
}

DWORD WINAPI Server(void*)
{
    char name[64];
    snprintf(name, sizeof name, "\\\\.\\pipe\\qxprobe-%lu", GetCurrentProcessId());
    for (;;) {
        HANDLE pipe = CreateNamedPipeA(name, PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 1 << 16, 1 << 16, 0,
                                       nullptr);
        if (pipe == INVALID_HANDLE_VALUE)
            return 1;
        if (ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
            std::string pending;
            char buffer[4096];
            DWORD got = 0;
            while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
                pending.append(buffer, got);
                size_t end;
                while ((end = pending.find('\n')) != std::string::npos) {
                    std::string request = pending.substr(0, end);
                    pending.erase(0, end + 1);
                    if (!request.empty() && request.back() == '\r')
                        request.pop_back();
                    std::string answer = Answer(request) + ".\n";
                    DWORD written = 0;
                    WriteFile(pipe, answer.data(), (DWORD)answer.size(), &written, nullptr);
                }
            }
        }
        DisconnectNamedPipe(pipe);
        CloseHandle(pipe);
    }
}

} // namespace

// The hook qxdrive.exe sets on the program's user-interface thread. Its first call, on that
// thread, keeps this library loaded and starts the answering thread.
extern "C" __declspec(dllexport) LRESULT CALLBACK QxProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (g_uiThread == 0) {
        g_uiThread = GetCurrentThreadId();
        // The driver unhooks once the probe answers; the library must stay.
        HMODULE pinned = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           (LPCSTR)&QxProbeHook, &pinned);
        g_runMessage = RegisterWindowMessageA("QxProbeRun");
        InitializeCriticalSection(&g_shownLock);
        SetWindowsHookExA(WH_CALLWNDPROC, CallWndHook, nullptr, g_uiThread);
        SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, g_uiThread);
        CloseHandle(CreateThread(nullptr, 0, Server, nullptr, 0, nullptr));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
