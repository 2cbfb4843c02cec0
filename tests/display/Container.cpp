// A small OLE container for the whole-program tests: it reads what Copy Page left on the
// clipboard, embeds a graph served by the program (a second process that OLE starts),
// draws the object's cached picture, saves it into a compound file, loads it again and
// opens it for editing in the server. Each step prints one line for the test to check.
//
//   qxolecontainer clipboard          the clipboard's formats and pictures
//   qxolecontainer paste FILE         the copied graph embedded (OleLoad of its storage),
//                                     drawn, saved into FILE
//   qxolecontainer create FILE        a new graph embedded (OleCreate), drawn, saved
//   qxolecontainer show FILE SECONDS  FILE loaded and drawn from its cache into a window
//                                     left on the screen for SECONDS
//   qxolecontainer open FILE SECONDS  FILE loaded, opened in the server's window for
//                                     SECONDS, closed without saving
//   qxolecontainer inplace FILE       FILE loaded into a window with a menu and activated
//                                     in place; after each step it prints "step NAME" and
//                                     waits for the file FILE.NAME before it goes on:
//                                     active (the server's window inside the container's;
//                                     dragging its hatched border asks for a new place,
//                                     which the container grants),
//                                     edited (a command of the server's in-place menu sent
//                                     as the container's menu sends it), deactivated (the
//                                     container draws the object's picture again)
#include <windows.h>
#include <ole2.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

namespace {

int Fail(const char* what, HRESULT hr = S_OK)
{
    printf("error: %s (0x%08lx)\n", what, (unsigned long)hr);
    fflush(stdout);
    return 1;
}

// The container's site for the one object: saving asks the object to write itself into
// the container's storage.
class Site : public IOleClientSite {
public:
    LPSTORAGE storage = nullptr;
    LPOLEOBJECT object = nullptr;
    int saves = 0;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(SaveObject)() override
    {
        ++saves;
        return Save();
    }
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker** mk) override
    {
        *mk = nullptr;
        return E_NOTIMPL;
    }
    STDMETHOD(GetContainer)(IOleContainer** c) override
    {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD(ShowObject)() override { return S_OK; }
    STDMETHOD(OnShowWindow)(BOOL) override { return S_OK; }
    STDMETHOD(RequestNewObjectLayout)() override { return E_NOTIMPL; }

    HRESULT Save()
    {
        LPPERSISTSTORAGE persist = nullptr;
        HRESULT hr = object->QueryInterface(IID_IPersistStorage, (void**)&persist);
        if (FAILED(hr))
            return hr;
        hr = OleSave(persist, storage, TRUE);
        persist->SaveCompleted(nullptr);
        persist->Release();
        if (SUCCEEDED(hr))
            hr = storage->Commit(STGC_DEFAULT);
        return hr;
    }
};


// The container's frame for an object active in place: its menu merged with the object's,
// its tools (none) and the object it holds active.
class Frame : public IOleInPlaceFrame {
public:
    HWND window = nullptr;
    HMENU ownMenu = nullptr;
    HMENU sharedMenu = nullptr;
    LPOLEINPLACEACTIVEOBJECT active = nullptr;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) ||
            IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetWindow)(HWND* phwnd) override
    {
        *phwnd = window;
        return S_OK;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return S_OK; }
    STDMETHOD(GetBorder)(LPRECT r) override
    {
        GetClientRect(window, r);
        return S_OK;
    }
    STDMETHOD(RequestBorderSpace)(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHOD(SetBorderSpace)(LPCBORDERWIDTHS widths) override
    {
        printf("borderspace %s\n", widths ? "set" : "none");
        fflush(stdout);
        return S_OK;
    }
    STDMETHOD(SetActiveObject)(IOleInPlaceActiveObject* object, LPCOLESTR name) override
    {
        if (object)
            object->AddRef();
        if (active)
            active->Release();
        active = object;
        printf("activeobject %ls\n", object ? (name ? name : L"?") : L"none");
        fflush(stdout);
        return S_OK;
    }
    // The container's groups: File first, Window last.
    STDMETHOD(InsertMenus)(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override
    {
        BOOL ok = InsertMenuA(shared, 0, MF_BYPOSITION | MF_POPUP, (UINT_PTR)GetSubMenu(ownMenu, 0), "&File") &&
                  AppendMenuA(shared, MF_POPUP, (UINT_PTR)GetSubMenu(ownMenu, 1), "&Window");
        printf("insertmenus %s\n", ok ? "ok" : "refused");
        fflush(stdout);
        widths->width[0] = ok ? 1 : 0;
        widths->width[2] = 0;
        widths->width[4] = ok ? 1 : 0;
        return ok ? S_OK : E_FAIL;
    }
    STDMETHOD(SetMenu)(HMENU shared, HOLEMENU descriptor, HWND objectWindow) override
    {
        if (shared == nullptr) {
            ::SetMenu(window, ownMenu);
            OleSetMenuDescriptor(nullptr, window, nullptr, nullptr, nullptr);
            sharedMenu = nullptr;
            printf("menu own\n");
        } else {
            BOOL ok = ::SetMenu(window, shared);
            if (ok)
                OleSetMenuDescriptor(descriptor, window, objectWindow, nullptr, nullptr);
            sharedMenu = ok ? shared : nullptr;
            printf("menu shared %s items %d\n", ok ? "shown" : "refused", ok ? GetMenuItemCount(shared) : -1);
            for (int i = 0; ok && i < GetMenuItemCount(shared); ++i) {
                char text[64] = "";
                GetMenuStringA(shared, i, text, sizeof text, MF_BYPOSITION);
                printf("menu item %s\n", text);
            }
        }
        fflush(stdout);
        return S_OK;
    }
    STDMETHOD(RemoveMenus)(HMENU shared) override
    {
        for (int i = GetMenuItemCount(shared) - 1; i >= 0; --i) {
            HMENU sub = GetSubMenu(shared, i);
            if (sub != nullptr && (sub == GetSubMenu(ownMenu, 0) || sub == GetSubMenu(ownMenu, 1)))
                RemoveMenu(shared, i, MF_BYPOSITION);
        }
        return S_OK;
    }
    STDMETHOD(SetStatusText)(LPCOLESTR) override { return S_OK; }
    STDMETHOD(EnableModeless)(BOOL) override { return S_OK; }
    STDMETHOD(TranslateAccelerator)(LPMSG, WORD) override { return S_FALSE; }
};

const UINT WM_DEACTIVATE_OBJECT = WM_APP + 1;

// The site of an object that can be active in place: the object's rectangle in the
// container's window and the container's frame.
class InPlaceSite : public Site, public IOleInPlaceSite {
public:
    Frame frame;
    RECT pos = {40, 40, 440, 340};
    bool inPlace = false;
    bool uiActive = false;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
            *ppv = static_cast<IOleInPlaceSite*>(this);
            return S_OK;
        }
        return Site::QueryInterface(iid, ppv);
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetWindow)(HWND* phwnd) override
    {
        *phwnd = frame.window;
        return S_OK;
    }
    STDMETHOD(ContextSensitiveHelp)(BOOL) override { return S_OK; }
    STDMETHOD(CanInPlaceActivate)() override { return S_OK; }
    STDMETHOD(OnInPlaceActivate)() override
    {
        inPlace = true;
        return S_OK;
    }
    STDMETHOD(OnUIActivate)() override
    {
        uiActive = true;
        return S_OK;
    }
    STDMETHOD(GetWindowContext)(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPos,
                                LPRECT lprcClip, LPOLEINPLACEFRAMEINFO info) override
    {
        *ppFrame = &frame;
        *ppDoc = nullptr;
        *lprcPos = pos;
        GetClientRect(frame.window, lprcClip);
        info->fMDIApp = FALSE;
        info->hwndFrame = frame.window;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHOD(Scroll)(SIZE) override { return S_OK; }
    STDMETHOD(OnUIDeactivate)(BOOL) override
    {
        uiActive = false;
        printf("uideactivated\n");
        fflush(stdout);
        // An outside-in object leaves its place with its user interface.
        PostMessageA(frame.window, WM_DEACTIVATE_OBJECT, 0, 0);
        return S_OK;
    }
    STDMETHOD(OnInPlaceDeactivate)() override
    {
        inPlace = false;
        printf("inplacedeactivated\n");
        fflush(stdout);
        return S_OK;
    }
    STDMETHOD(DiscardUndoState)() override { return S_OK; }
    STDMETHOD(DeactivateAndUndo)() override { return S_OK; }
    // The object's in-place side: through the object, or (when the object's handler does
    // not pass the question on to a server of another process) through the active object
    // it handed to the frame.
    HRESULT InPlaceObject(LPOLEINPLACEOBJECT* ip)
    {
        *ip = nullptr;
        if (object && SUCCEEDED(object->QueryInterface(IID_IOleInPlaceObject, (void**)ip)))
            return S_OK;
        return frame.active ? frame.active->QueryInterface(IID_IOleInPlaceObject, (void**)ip) : E_NOINTERFACE;
    }
    STDMETHOD(OnPosRectChange)(LPCRECT r) override
    {
        pos = *r;
        LPOLEINPLACEOBJECT ip = nullptr;
        printf("posrect %ld %ld %ld %ld\n", pos.left, pos.top, pos.right, pos.bottom);
        if (SUCCEEDED(InPlaceObject(&ip))) {
            RECT clip, r;
            GetClientRect(frame.window, &clip);
            ip->SetObjectRects(&pos, &clip);
            HWND objectWindow = nullptr;
            if (SUCCEEDED(ip->GetWindow(&objectWindow)) && GetWindowRect(objectWindow, &r))
                printf("moved window %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
            ip->Release();
        }
        fflush(stdout);
        return S_OK;
    }
};

std::wstring Wide(const char* text)
{
    wchar_t buf[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, text, -1, buf, MAX_PATH);
    return buf;
}

// Pixels of a 400 x 300 picture that the object's drawing left not white.
long Ink(LPOLEOBJECT object)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 400;
    bi.bmiHeader.biHeight = -300;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    DWORD* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, (void**)&bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, 400, 300};
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    HRESULT hr = OleDraw(object, DVASPECT_CONTENT, dc, &all);
    long n = 0;
    for (int i = 0; i < 400 * 300; ++i)
        n += (bits[i] & 0xFFFFFF) != 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return SUCCEEDED(hr) ? n : -1;
}

void Report(LPOLEOBJECT object)
{
    SIZEL size = {0, 0};
    HRESULT hr = object->GetExtent(DVASPECT_CONTENT, &size);
    printf("extent %ld %ld%s\n", size.cx, size.cy, SUCCEEDED(hr) ? "" : " (none)");
    printf("drawn %ld\n", Ink(object));
    fflush(stdout);
}

void Pump(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    while ((LONG)(end - GetTickCount()) > 0) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

LPOLEOBJECT g_shown = nullptr;

LRESULT CALLBACK ShowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
        InflateRect(&r, -10, -10);
        if (g_shown)
            OleDraw(g_shown, DVASPECT_CONTENT, dc, &r);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int Clipboard()
{
    if (!OpenClipboard(nullptr))
        return Fail("cannot open the clipboard");
    const UINT embed = RegisterClipboardFormatA("Embed Source");
    for (UINT cf = EnumClipboardFormats(0); cf != 0; cf = EnumClipboardFormats(cf)) {
        char name[128] = "";
        if (!GetClipboardFormatNameA(cf, name, sizeof name))
            snprintf(name, sizeof name, "%u", cf);
        printf("format %s\n", name);
    }
    if (HANDLE h = GetClipboardData(CF_METAFILEPICT)) {
        METAFILEPICT* p = (METAFILEPICT*)GlobalLock(h);
        printf("metafilepict %ld %ld %ld %u\n", p->mm, p->xExt, p->yExt, GetMetaFileBitsEx(p->hMF, 0, nullptr));
        GlobalUnlock(h);
    }
    if (HENHMETAFILE emf = (HENHMETAFILE)GetClipboardData(CF_ENHMETAFILE)) {
        ENHMETAHEADER header = {};
        GetEnhMetaFileHeader(emf, sizeof header, &header);
        printf("enhmetafile %ld %ld %lu\n", header.rclFrame.right - header.rclFrame.left,
               header.rclFrame.bottom - header.rclFrame.top, header.nRecords);
    }
    CloseClipboard();
    // The embedding is a storage: its class and the size of the page it holds.
    LPDATAOBJECT clip = nullptr;
    if (SUCCEEDED(OleGetClipboard(&clip))) {
        FORMATETC f = {(CLIPFORMAT)embed, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTORAGE};
        STGMEDIUM m = {};
        if (SUCCEEDED(clip->GetData(&f, &m))) {
            CLSID clsid = CLSID_NULL;
            ReadClassStg(m.pstg, &clsid);
            LPOLESTR progId = nullptr;
            ProgIDFromCLSID(clsid, &progId);
            LPSTREAM contents = nullptr;
            STATSTG stat = {};
            if (SUCCEEDED(m.pstg->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &contents))) {
                contents->Stat(&stat, STATFLAG_NONAME);
                contents->Release();
            }
            printf("embedsource %ls %lu\n", progId ? progId : L"?", (unsigned long)stat.cbSize.QuadPart);
            CoTaskMemFree(progId);
            ReleaseStgMedium(&m);
        }
        clip->Release();
    }
    fflush(stdout);
    return 0;
}

// Embeds the object, caches its picture, draws and saves it.
int Embed(bool fromClipboard, const char* path)
{
    Site site;
    HRESULT hr = StgCreateDocfile(Wide(path).c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                  &site.storage);
    if (FAILED(hr))
        return Fail("cannot create the file", hr);
    LPOLEOBJECT object = nullptr;
    if (fromClipboard) {
        LPDATAOBJECT clip = nullptr;
        hr = OleGetClipboard(&clip);
        if (FAILED(hr))
            return Fail("no clipboard", hr);
        FORMATETC f = {(CLIPFORMAT)RegisterClipboardFormatA("Embed Source"), nullptr, DVASPECT_CONTENT, -1,
                       TYMED_ISTORAGE};
        STGMEDIUM m = {};
        hr = clip->GetData(&f, &m);
        clip->Release();
        if (FAILED(hr))
            return Fail("no Embed Source on the clipboard", hr);
        hr = m.pstg->CopyTo(0, nullptr, nullptr, site.storage);
        ReleaseStgMedium(&m);
        if (FAILED(hr))
            return Fail("cannot copy the embedding", hr);
        hr = OleLoad(site.storage, IID_IOleObject, &site, (void**)&object);
        if (FAILED(hr))
            return Fail("OleLoad", hr);
        // The picture the object shows: a metafile picture, kept by the container.
        LPOLECACHE cache = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_IOleCache, (void**)&cache))) {
            FORMATETC pic = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
            DWORD conn = 0;
            cache->Cache(&pic, ADVF_PRIMEFIRST, &conn);
            cache->Release();
        }
        hr = OleRun(object);
        if (FAILED(hr))
            return Fail("OleRun", hr);
    } else {
        CLSID clsid;
        hr = CLSIDFromProgID(L"Quorix50.Graph", &clsid);
        if (FAILED(hr))
            return Fail("the graph's class is not registered", hr);
        hr = OleCreate(clsid, IID_IOleObject, OLERENDER_DRAW, nullptr, &site, site.storage, (void**)&object);
        if (FAILED(hr))
            return Fail("OleCreate", hr);
        OleRun(object);
    }
    site.object = object;
    object->SetClientSite(&site);
    OleSetContainedObject(object, TRUE);
    printf("embedded\n");
    fflush(stdout);
    // The cache takes its picture from the server when the object changes; ask for it.
    object->Update();
    Report(object);
    hr = site.Save();
    printf("saved 0x%08lx\n", (unsigned long)hr);
    fflush(stdout);
    hr = object->Close(OLECLOSE_NOSAVE);
    printf("closed 0x%08lx\n", (unsigned long)hr);
    object->Release();
    site.storage->Release();
    fflush(stdout);
    return 0;
}

HWND ShowWindowFor(LPOLEOBJECT object)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ShowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QxOleContainer";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    g_shown = object;
    HWND hwnd = CreateWindowExA(0, "QxOleContainer", "Container", WS_POPUP | WS_BORDER | WS_VISIBLE, 40, 40, 520, 410,
                                nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(hwnd);
    return hwnd;
}

// A visible top-level window of another process whose title names the program.
// When a process began, for telling the server OLE started for this container from an
// instance of the program that was already running (its windows have the same title).
ULONGLONG StartTime(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr)
        return 0;
    FILETIME created, exited, kernel, user;
    ULONGLONG start = 0;
    if (GetProcessTimes(process, &created, &exited, &kernel, &user))
        start = ((ULONGLONG)created.dwHighDateTime << 32) | created.dwLowDateTime;
    CloseHandle(process);
    return start;
}

bool ServerWindowShown()
{
    struct Find {
        ULONGLONG since;
        char title[256];
        HWND window;
    } find = {StartTime(GetCurrentProcessId()), "", nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            Find* f = (Find*)lp;
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            char title[256] = "";
            GetWindowTextA(hwnd, title, sizeof title);
            if (IsWindowVisible(hwnd) && strstr(title, "Quorix") != nullptr && StartTime(pid) > f->since) {
                lstrcpynA(f->title, title, sizeof f->title);
                f->window = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        (LPARAM)&find);
    if (!find.title[0])
        return false;
    // The page window the server opened: a visible child of its MDI client.
    HWND client = FindWindowExA(find.window, nullptr, "MDICLIENT", nullptr);
    for (HWND child = client ? GetWindow(client, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT)) {
        char title[256] = "";
        GetWindowTextA(child, title, sizeof title);
        RECT r;
        GetWindowRect(child, &r);
        if (IsWindowVisible(child) && r.right - r.left > 50 && r.bottom - r.top > 50) {
            printf("server window %s page %s at %ld %ld %ld %ld\n", find.title, title, r.left, r.top, r.right,
                   r.bottom);
            return true;
        }
    }
    return false;
}

int Load(const char* path, bool open, int seconds)
{
    Site site;
    HRESULT hr = StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                &site.storage);
    if (FAILED(hr))
        return Fail("cannot open the file", hr);
    LPOLEOBJECT object = nullptr;
    hr = OleLoad(site.storage, IID_IOleObject, &site, (void**)&object);
    if (FAILED(hr))
        return Fail("OleLoad", hr);
    site.object = object;
    printf("loaded running=%d\n", OleIsRunning(object) ? 1 : 0);
    Report(object);
    HWND window = ShowWindowFor(object);
    if (open) {
        hr = object->DoVerb(OLEIVERB_OPEN, nullptr, &site, 0, window, nullptr);
        printf("opened 0x%08lx running=%d\n", (unsigned long)hr, OleIsRunning(object) ? 1 : 0);
        fflush(stdout);
        bool shown = false;
        for (int i = 0; i < 100 && !shown; ++i) {
            Pump(100);
            shown = ServerWindowShown();
        }
        if (!shown)
            printf("error: no server window\n");
    }
    fflush(stdout);
    Pump(seconds * 1000);
    if (open) {
        hr = object->Close(OLECLOSE_NOSAVE);
        printf("closed 0x%08lx\n", (unsigned long)hr);
    }
    DestroyWindow(window);
    object->Release();
    site.storage->Release();
    fflush(stdout);
    return 0;
}


InPlaceSite* g_inPlaceSite = nullptr;

LRESULT CALLBACK InPlaceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DEACTIVATE_OBJECT && g_inPlaceSite != nullptr && g_inPlaceSite->inPlace) {
        LPOLEINPLACEOBJECT ip = nullptr;
        if (SUCCEEDED(g_inPlaceSite->InPlaceObject(&ip))) {
            ip->InPlaceDeactivate();
            ip->Release();
        }
        return 0;
    }
    if (msg == WM_PAINT && g_inPlaceSite != nullptr) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(dc, &r, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
        FillRect(dc, &g_inPlaceSite->pos, (HBRUSH)GetStockObject(WHITE_BRUSH));
        // Outside of in-place activation the container shows the object's picture.
        if (!g_inPlaceSite->inPlace)
            OleDraw(g_inPlaceSite->object, DVASPECT_CONTENT, dc, &g_inPlaceSite->pos);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Pumps messages until the test makes the file PATH.STEP (or a minute has passed).
bool WaitForGo(const char* path, const char* step)
{
    printf("step %s\n", step);
    fflush(stdout);
    const std::string go = std::string(path) + "." + step;
    for (int i = 0; i < 600; ++i) {
        if (GetFileAttributesA(go.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Pump(100);
    }
    printf("error: no go for %s\n", step);
    fflush(stdout);
    return false;
}

template <class Test>
bool PumpUntil(Test test)
{
    for (int i = 0; i < 300 && !test(); ++i)
        Pump(100);
    return test();
}

int InPlace(const char* path)
{
    InPlaceSite site;
    g_inPlaceSite = &site;
    HRESULT hr = StgOpenStorage(Wide(path).c_str(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                &site.storage);
    if (FAILED(hr))
        return Fail("cannot open the file", hr);
    LPOLEOBJECT object = nullptr;
    hr = OleLoad(site.storage, IID_IOleObject, static_cast<IOleClientSite*>(&site), (void**)&object);
    if (FAILED(hr))
        return Fail("OleLoad", hr);
    site.object = object;
    OleSetContainedObject(object, TRUE);
    printf("loaded\n");
    Report(object);

    HMENU menu = CreateMenu();
    HMENU file = CreatePopupMenu(), window = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, 1, "E&xit");
    AppendMenuA(window, MF_STRING, 2, "&Arrange");
    AppendMenuA(menu, MF_POPUP, (UINT_PTR)file, "&File");
    AppendMenuA(menu, MF_POPUP, (UINT_PTR)window, "&Window");
    site.frame.ownMenu = menu;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = InPlaceProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QxOleInPlaceContainer";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Container", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                                20, 20, 520, 420, nullptr, menu, wc.hInstance, nullptr);
    site.frame.window = hwnd;
    UpdateWindow(hwnd);
    Pump(300);

    hr = object->DoVerb(OLEIVERB_SHOW, nullptr, static_cast<IOleClientSite*>(&site), 0, hwnd, &site.pos);
    printf("activated 0x%08lx\n", (unsigned long)hr);
    fflush(stdout);
    LPOLEINPLACEOBJECT ip = nullptr;
    HWND objectWindow = nullptr;
    if (PumpUntil([&] { return site.inPlace && site.uiActive && site.frame.active != nullptr; }) &&
        SUCCEEDED(site.InPlaceObject(&ip)) && SUCCEEDED(ip->GetWindow(&objectWindow))) {
        RECT container, r;
        GetClientRect(hwnd, &container);
        MapWindowPoints(hwnd, nullptr, (LPPOINT)&container, 2);
        GetWindowRect(objectWindow, &r);
        printf("inplace window %ld %ld %ld %ld in container %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom,
               container.left, container.top, container.right, container.bottom);
    } else {
        printf("error: not active in place\n");
    }
    fflush(stdout);
    if (objectWindow != nullptr && WaitForGo(path, "active")) {
        // What the container's menu does with an item of the object's groups.
        PostMessageA(objectWindow, WM_COMMAND, MAKEWPARAM(36088, 0), 0);
        Pump(1000);
        if (WaitForGo(path, "edited")) {
            ip->InPlaceDeactivate();
            PumpUntil([&] { return !site.inPlace; });
            Pump(500);
            printf("deactivated inplace=%d\n", site.inPlace ? 1 : 0);
            Report(object);
            InvalidateRect(hwnd, nullptr, TRUE);
            UpdateWindow(hwnd);
            WaitForGo(path, "deactivated");
        }
    }
    if (ip)
        ip->Release();
    hr = object->Close(OLECLOSE_NOSAVE);
    printf("closed 0x%08lx\n", (unsigned long)hr);
    fflush(stdout);
    DestroyWindow(hwnd);
    object->Release();
    site.storage->Release();
    g_inPlaceSite = nullptr;
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Fail("usage: qxolecontainer clipboard | paste FILE | create FILE | show FILE SECONDS | open FILE SECONDS | inplace FILE");
    if (FAILED(OleInitialize(nullptr)))
        return Fail("OleInitialize");
    const std::string mode = argv[1];
    int result = 1;
    if (mode == "clipboard")
        result = Clipboard();
    else if ((mode == "paste" || mode == "create") && argc >= 3)
        result = Embed(mode == "paste", argv[2]);
    else if (mode == "inplace" && argc >= 3)
        result = InPlace(argv[2]);
    else if ((mode == "show" || mode == "open") && argc >= 4)
        result = Load(argv[2], mode == "open", atoi(argv[3]));
    else
        result = Fail("unknown mode");
    OleUninitialize();
    return result;
}
