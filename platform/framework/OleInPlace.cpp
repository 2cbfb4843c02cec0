// In-place activation of server documents: the document's view moved into an in-place
// frame over the object's rectangle in the container's window, the container's menu merged
// with the template's in-place menu, and the hatched resize border around it.
#include "afxole.h"
#include "OleText.h"

#include <string>

// ---- the resize bar ---------------------------------------------------------------------

IMPLEMENT_DYNAMIC(COleResizeBar, CControlBar)

BEGIN_MESSAGE_MAP(COleResizeBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_WM_PAINT()
    ON_WM_SETCURSOR()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

COleResizeBar::COleResizeBar() : m_nDragEdges(0) {}

BOOL COleResizeBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    return CreateBar(cls, WS_CLIPSIBLINGS, dwStyle, pParentWnd, nID);
}

LRESULT COleResizeBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    AFX_SIZEPARENTPARAMS* layout = (AFX_SIZEPARENTPARAMS*)lParam;
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    // The bar lies under the whole area; what it leaves inside its border is the view's.
    AfxRepositionWindow(layout, m_hWnd, &layout->rect);
    ::SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::InflateRect(&layout->rect, -GetHatchWidth(), -GetHatchWidth());
    return 0;
}

void COleResizeBar::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT r;
    ::GetClientRect(m_hWnd, &r);
    HBRUSH hatch = ::CreateHatchBrush(HS_BDIAGONAL, ::GetSysColor(COLOR_WINDOWFRAME));
    int w = GetHatchWidth();
    RECT edges[4] = {{r.left, r.top, r.right, r.top + w},
                     {r.left, r.bottom - w, r.right, r.bottom},
                     {r.left, r.top + w, r.left + w, r.bottom - w},
                     {r.right - w, r.top + w, r.right, r.bottom - w}};
    ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
    for (const RECT& e : edges)
        ::FillRect(dc, &e, hatch);
    ::DeleteObject(hatch);
    ::EndPaint(m_hWnd, &ps);
}

int COleResizeBar::HitEdges(CPoint point) const
{
    RECT r;
    ::GetClientRect(m_hWnd, &r);
    const int w = GetHatchWidth();
    int edges = 0;
    if (point.x < r.left + w)
        edges |= 1;
    if (point.y < r.top + w)
        edges |= 2;
    if (point.x >= r.right - w)
        edges |= 4;
    if (point.y >= r.bottom - w)
        edges |= 8;
    return edges;
}

BOOL COleResizeBar::OnSetCursor(CWnd*, UINT, UINT)
{
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    LPCTSTR cursor = IDC_ARROW;
    switch (HitEdges(pt)) {
    case 1: case 4: cursor = IDC_SIZEWE; break;
    case 2: case 8: cursor = IDC_SIZENS; break;
    case 1 | 2: case 4 | 8: cursor = IDC_SIZENWSE; break;
    case 4 | 2: case 1 | 8: cursor = IDC_SIZENESW; break;
    }
    ::SetCursor(::LoadCursor(nullptr, cursor));
    return TRUE;
}

void COleResizeBar::OnLButtonDown(UINT, CPoint point)
{
    m_nDragEdges = HitEdges(point);
    if (m_nDragEdges == 0)
        return;
    m_ptDrag = point;
    ::ClientToScreen(m_hWnd, &m_ptDrag);
    COleIPFrameWnd* frame = DYNAMIC_DOWNCAST(COleIPFrameWnd, GetParentFrame());
    m_rectDrag = frame != nullptr ? frame->m_rectPos : CRect(0, 0, 0, 0);
    ::SetCapture(m_hWnd);
}

void COleResizeBar::OnLButtonUp(UINT, CPoint point)
{
    if (m_nDragEdges == 0 || ::GetCapture() != m_hWnd)
        return;
    ::ReleaseCapture();
    CPoint screen = point;
    ::ClientToScreen(m_hWnd, &screen);
    const int dx = screen.x - m_ptDrag.x, dy = screen.y - m_ptDrag.y;
    CRect r = m_rectDrag;
    if (m_nDragEdges & 1)
        r.left += dx;
    if (m_nDragEdges & 2)
        r.top += dy;
    if (m_nDragEdges & 4)
        r.right += dx;
    if (m_nDragEdges & 8)
        r.bottom += dy;
    m_nDragEdges = 0;
    r.NormalizeRect();
    if (r.Width() < 8 || r.Height() < 8)
        return;
    // The container decides the object's place; it answers with SetObjectRects.
    COleIPFrameWnd* frame = DYNAMIC_DOWNCAST(COleIPFrameWnd, GetParentFrame());
    CDocument* doc = frame != nullptr ? frame->GetActiveDocument() : nullptr;
    if (COleServerDoc* server = DYNAMIC_DOWNCAST(COleServerDoc, doc))
        server->RequestPositionChange(&r);
}

// ---- the in-place frame -----------------------------------------------------------------

IMPLEMENT_DYNCREATE(COleIPFrameWnd, CFrameWnd)

BEGIN_MESSAGE_MAP(COleIPFrameWnd, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

COleIPFrameWnd::COleIPFrameWnd()
    : m_rectPos(0, 0, 0, 0), m_rectClip(0, 0, 0, 0), m_hWndSite(nullptr), m_lpFrame(nullptr), m_lpDocFrame(nullptr),
      m_frameInfo(), m_hSharedMenu(nullptr), m_hOleMenu(nullptr), m_hMenuInPlace(nullptr), m_bUIActive(FALSE)
{
    m_frameInfo.cb = sizeof m_frameInfo;
}

COleIPFrameWnd::~COleIPFrameWnd()
{
    DestroySharedMenu();
    if (m_lpFrame != nullptr)
        m_lpFrame->Release();
    if (m_lpDocFrame != nullptr)
        m_lpDocFrame->Release();
    if (m_hMenuInPlace != nullptr)
        ::DestroyMenu(m_hMenuInPlace);
}

int COleIPFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    return CFrameWnd::OnCreate(lpcs);
}

BOOL COleIPFrameWnd::OnCreateControlBars(CFrameWnd*, CFrameWnd*)
{
    return TRUE;
}

BOOL COleIPFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    // No caption, border or title of its own: the container's window frames the object.
    cs.style &= ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU);
    cs.style |= WS_CLIPCHILDREN;
    cs.dwExStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE);
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
    return TRUE;
}

void COleIPFrameWnd::RepositionFrame(LPCRECT lpPosRect, LPCRECT lpClipRect)
{
    m_rectPos = *lpPosRect;
    m_rectClip = lpClipRect != nullptr ? *lpClipRect : *lpPosRect;
    // The hatched border lies around the object's rectangle, inside the clip rectangle.
    const int w = COleResizeBar::GetHatchWidth();
    CRect r = m_rectPos;
    r.InflateRect(w, w);
    CRect visible;
    if (!visible.IntersectRect(&r, &m_rectClip))
        visible = CRect(r.left, r.top, r.left, r.top);
    // A frame of this process is a child of the container's window; the window of another
    // process is covered by a popup it owns, on the same place of the screen (a child
    // window in another process's window is not drawn by every system).
    if (GetStyle() & WS_CHILD) {
        ::SetWindowPos(m_hWnd, nullptr, visible.left, visible.top, visible.Width(), visible.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        ::MapWindowPoints(m_hWndSite, nullptr, (LPPOINT)&visible, 2);
        ::SetWindowPos(m_hWnd, nullptr, visible.left, visible.top, visible.Width(), visible.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RecalcLayout();
}

BOOL COleIPFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        // The in-place server's keys first, then the container's (its frame's table).
        if (m_hAccelTable != nullptr && ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, pMsg))
            return TRUE;
        if (m_lpFrame != nullptr && m_bUIActive && ::OleTranslateAccelerator(m_lpFrame, &m_frameInfo, pMsg) == S_OK)
            return TRUE;
        return FALSE;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

BOOL COleIPFrameWnd::BuildSharedMenu()
{
    DestroySharedMenu();
    m_hSharedMenu = ::CreateMenu();
    if (m_hSharedMenu == nullptr)
        return FALSE;
    OLEMENUGROUPWIDTHS widths = {};
    // The container's groups: File (0), Container (2), Window (4). A container that
    // cannot insert them leaves the server's groups alone on the menu.
    if (m_lpFrame == nullptr || FAILED(m_lpFrame->InsertMenus(m_hSharedMenu, &widths)))
        memset(&widths, 0, sizeof widths);
    widths.width[1] = widths.width[3] = widths.width[5] = 0;
    const int n = m_hMenuInPlace != nullptr ? ::GetMenuItemCount(m_hMenuInPlace) : 0;
    const int help = n > 1 ? 1 : 0;
    auto insert = [&](int from, int at) {
        char text[128] = "";
        ::GetMenuStringA(m_hMenuInPlace, from, text, sizeof text, MF_BYPOSITION);
        HMENU sub = ::GetSubMenu(m_hMenuInPlace, from);
        if (sub != nullptr)
            ::InsertMenuA(m_hSharedMenu, at, MF_BYPOSITION | MF_POPUP | MF_STRING, (UINT_PTR)sub, text);
        else
            ::InsertMenuA(m_hSharedMenu, at, MF_BYPOSITION | MF_STRING, ::GetMenuItemID(m_hMenuInPlace, from), text);
    };
    int at = widths.width[0];
    for (int i = 0; i < n - help; ++i)
        insert(i, at++);
    widths.width[1] = n - help;
    at += widths.width[2] + widths.width[4];
    if (help) {
        insert(n - 1, at);
        widths.width[5] = 1;
    }
    m_hOleMenu = ::OleCreateMenuDescriptor(m_hSharedMenu, &widths);
    return m_hOleMenu != nullptr;
}

void COleIPFrameWnd::DestroySharedMenu()
{
    if (m_hSharedMenu == nullptr)
        return;
    if (m_hOleMenu != nullptr) {
        ::OleDestroyMenuDescriptor(m_hOleMenu);
        m_hOleMenu = nullptr;
    }
    // The server's popups belong to its in-place menu: taken out, not destroyed; the
    // container takes out its own.
    const int n = m_hMenuInPlace != nullptr ? ::GetMenuItemCount(m_hMenuInPlace) : 0;
    for (int i = 0; i < n; ++i) {
        HMENU sub = ::GetSubMenu(m_hMenuInPlace, i);
        for (int j = ::GetMenuItemCount(m_hSharedMenu) - 1; sub != nullptr && j >= 0; --j)
            if (::GetSubMenu(m_hSharedMenu, j) == sub)
                ::RemoveMenu(m_hSharedMenu, j, MF_BYPOSITION);
    }
    if (m_lpFrame != nullptr)
        m_lpFrame->RemoveMenus(m_hSharedMenu);
    ::DestroyMenu(m_hSharedMenu);
    m_hSharedMenu = nullptr;
}

// ---- the server document in place -------------------------------------------------------

COleIPFrameWnd* COleServerDoc::CreateInPlaceFrame(CWnd* pParentWnd)
{
    CDocTemplate* tmpl = m_pDocTemplate;
    if (tmpl == nullptr || tmpl->m_pOleFrameClass == nullptr)
        return nullptr;
    // The document's own view moves into the frame; a new one is made only when it has none.
    CView* view = nullptr;
    POSITION pos = GetFirstViewPosition();
    if (pos != nullptr)
        view = GetNextView(pos);
    COleIPFrameWnd* frame = DYNAMIC_DOWNCAST(COleIPFrameWnd, tmpl->m_pOleFrameClass->CreateObject());
    if (frame == nullptr)
        return nullptr;
    frame->m_hWndSite = pParentWnd->GetSafeHwnd();
    DWORD pid = 0;
    ::GetWindowThreadProcessId(frame->m_hWndSite, &pid);
    const DWORD style = pid == ::GetCurrentProcessId() ? WS_CHILD | WS_CLIPSIBLINGS : WS_POPUP;
    CCreateContext context;
    context.m_pCurrentDoc = this;
    context.m_pNewDocTemplate = tmpl;
    context.m_pNewViewClass = view == nullptr ? tmpl->m_pViewClass : nullptr;
    frame->m_nIDHelp = tmpl->m_nIDServerResource;
    if (!frame->Create(nullptr, nullptr, style, CRect(0, 0, 0, 0), pParentWnd, nullptr, 0, &context))
        return nullptr;
    const UINT id = tmpl->m_nIDServerResource;
    if (id != 0) {
        frame->m_hMenuInPlace = ::LoadMenuA(AfxFindResourceHandle(MAKEINTRESOURCE(id), RT_MENU), MAKEINTRESOURCE(id));
        HINSTANCE inst = AfxFindResourceHandle(MAKEINTRESOURCE(id), RT_ACCELERATOR);
        frame->m_hAccelTable = ::LoadAcceleratorsA(inst, MAKEINTRESOURCE(id));
    }
    m_hWndOrigParent = nullptr;
    if (view != nullptr) {
        m_hWndOrigParent = ::GetParent(view->m_hWnd);
        m_dwOrigStyle = view->GetStyle();
        m_dwOrigStyleEx = view->GetExStyle();
        view->ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
        ::SetParent(view->m_hWnd, frame->m_hWnd);
        ::SetWindowLongPtrA(view->m_hWnd, GWLP_ID, AFX_IDW_PANE_FIRST);
        view->ShowWindow(SW_SHOW);
        frame->SetActiveView(view, FALSE);
    } else {
        tmpl->InitialUpdateFrame(frame, this, FALSE);
    }
    return frame;
}

void COleServerDoc::DestroyInPlaceFrame(COleIPFrameWnd* pFrameWnd)
{
    CView* view = pFrameWnd->GetActiveView();
    if (view != nullptr && m_hWndOrigParent != nullptr && ::IsWindow(m_hWndOrigParent)) {
        // The view goes home to the frame it came from.
        pFrameWnd->SetActiveView(nullptr, FALSE);
        ::SetParent(view->m_hWnd, m_hWndOrigParent);
        ::SetWindowLongPtrA(view->m_hWnd, GWL_STYLE, m_dwOrigStyle);
        ::SetWindowLongPtrA(view->m_hWnd, GWL_EXSTYLE, m_dwOrigStyleEx);
        ::SetWindowPos(view->m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        if (CFrameWnd* home = view->GetParentFrame()) {
            home->SetActiveView(view, FALSE);
            home->RecalcLayout();
        }
    }
    m_hWndOrigParent = nullptr;
    pFrameWnd->DestroyWindow();
}

BOOL COleServerDoc::ActivateInPlace()
{
    if (m_pInPlaceFrame != nullptr) {
        if (!m_pInPlaceFrame->m_bUIActive)
            UIActivate();
        return TRUE;
    }
    if (m_lpClientSite == nullptr || m_pDocTemplate == nullptr || m_pDocTemplate->m_pOleFrameClass == nullptr)
        return FALSE;
    LPOLEINPLACESITE site = nullptr;
    if (FAILED(m_lpClientSite->QueryInterface(IID_IOleInPlaceSite, (void**)&site)) || site == nullptr)
        return FALSE;
    if (site->CanInPlaceActivate() != S_OK) {
        site->Release();
        return FALSE;
    }
    HWND parent = nullptr;
    LPOLEINPLACEFRAME lpFrame = nullptr;
    LPOLEINPLACEUIWINDOW lpDoc = nullptr;
    RECT rcPos = {}, rcClip = {};
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof info;
    if (FAILED(site->OnInPlaceActivate())) {
        site->Release();
        return FALSE;
    }
    if (FAILED(site->GetWindow(&parent)) || parent == nullptr ||
        FAILED(site->GetWindowContext(&lpFrame, &lpDoc, &rcPos, &rcClip, &info))) {
        if (lpFrame)
            lpFrame->Release();
        if (lpDoc)
            lpDoc->Release();
        site->OnInPlaceDeactivate();
        site->Release();
        return FALSE;
    }
    COleIPFrameWnd* frame = nullptr;
    try {
        frame = CreateInPlaceFrame(CWnd::FromHandle(parent));
    } catch (CException* e) {
        e->Delete();
    }
    if (frame == nullptr) {
        if (lpFrame)
            lpFrame->Release();
        if (lpDoc)
            lpDoc->Release();
        site->OnInPlaceDeactivate();
        site->Release();
        return FALSE;
    }
    m_pInPlaceFrame = frame;
    m_lpInPlaceSite = site;
    frame->m_lpFrame = lpFrame;
    frame->m_lpDocFrame = lpDoc;
    frame->m_frameInfo = info;
    frame->RepositionFrame(&rcPos, &rcClip);
    UIActivate();
    return TRUE;
}

void COleServerDoc::UIActivate()
{
    COleIPFrameWnd* frame = m_pInPlaceFrame;
    m_lpInPlaceSite->OnUIActivate();
    frame->m_bUIActive = TRUE;
    frame->BuildSharedMenu();
    const std::wstring name = qxafx::Wide(GetTitle());
    if (frame->m_lpFrame != nullptr) {
        frame->m_lpFrame->SetActiveObject(&m_xOleInPlaceActiveObject, name.c_str());
        frame->m_lpFrame->SetMenu(frame->m_hSharedMenu, frame->m_hOleMenu, frame->m_hWnd);
    }
    if (frame->m_lpDocFrame != nullptr)
        frame->m_lpDocFrame->SetActiveObject(&m_xOleInPlaceActiveObject, name.c_str());
    // No tools of its own: the container keeps its tools where they are.
    if (frame->OnCreateControlBars(nullptr, nullptr) && frame->m_lpFrame != nullptr)
        frame->m_lpFrame->SetBorderSpace(nullptr);
    frame->ShowWindow(SW_SHOWNOACTIVATE);
    frame->UpdateWindow();
    if (CView* view = frame->GetActiveView())
        view->SetFocus();
    if (m_lpClientSite != nullptr)
        m_lpClientSite->ShowObject();
}

void COleServerDoc::OnDeactivateUI(BOOL bUndoable)
{
    COleIPFrameWnd* frame = m_pInPlaceFrame;
    if (frame == nullptr || !frame->m_bUIActive)
        return;
    frame->m_bUIActive = FALSE;
    if (frame->m_lpFrame != nullptr) {
        frame->m_lpFrame->SetMenu(nullptr, nullptr, nullptr);
        frame->DestroySharedMenu();
        frame->m_lpFrame->SetActiveObject(nullptr, nullptr);
    }
    if (frame->m_lpDocFrame != nullptr)
        frame->m_lpDocFrame->SetActiveObject(nullptr, nullptr);
    if (m_lpInPlaceSite != nullptr)
        m_lpInPlaceSite->OnUIDeactivate(bUndoable);
}

void COleServerDoc::OnDeactivate()
{
    if (m_pInPlaceFrame == nullptr || m_bDeactivating)
        return;
    m_bDeactivating = TRUE;
    InternalAddRef();
    OnDeactivateUI(FALSE);
    COleIPFrameWnd* frame = m_pInPlaceFrame;
    frame->ShowWindow(SW_HIDE);
    m_pInPlaceFrame = nullptr;
    DestroyInPlaceFrame(frame);
    LPOLEINPLACESITE site = m_lpInPlaceSite;
    m_lpInPlaceSite = nullptr;
    if (site != nullptr) {
        site->OnInPlaceDeactivate();
        site->Release();
    }
    m_bDeactivating = FALSE;
    InternalRelease();
}

void COleServerDoc::OnSetItemRects(LPCRECT lpPosRect, LPCRECT lpClipRect)
{
    if (m_pInPlaceFrame != nullptr)
        m_pInPlaceFrame->RepositionFrame(lpPosRect, lpClipRect);
}

void COleServerDoc::OnFrameWindowActivate(BOOL) {}

void COleServerDoc::OnDocWindowActivate(BOOL bActivate)
{
    if (m_pInPlaceFrame == nullptr)
        return;
    if (bActivate && !m_pInPlaceFrame->m_bUIActive)
        UIActivate();
}

void COleServerDoc::RequestPositionChange(LPCRECT lpPosRect)
{
    if (m_lpInPlaceSite != nullptr)
        m_lpInPlaceSite->OnPosRectChange(lpPosRect);
}

IMPLEMENT_IUNKNOWN(COleServerDoc, OleInPlaceObject)

HRESULT COleServerDoc::XOleInPlaceObject::GetWindow(HWND* phwnd)
{
    METHOD_PROLOGUE(COleServerDoc, OleInPlaceObject)
    *phwnd = pThis->m_pInPlaceFrame != nullptr ? pThis->m_pInPlaceFrame->m_hWnd : nullptr;
    return *phwnd != nullptr ? S_OK : E_FAIL;
}

HRESULT COleServerDoc::XOleInPlaceObject::ContextSensitiveHelp(BOOL)
{
    return S_OK;
}

HRESULT COleServerDoc::XOleInPlaceObject::InPlaceDeactivate()
{
    METHOD_PROLOGUE(COleServerDoc, OleInPlaceObject)
    pThis->OnDeactivate();
    return S_OK;
}

HRESULT COleServerDoc::XOleInPlaceObject::UIDeactivate()
{
    METHOD_PROLOGUE(COleServerDoc, OleInPlaceObject)
    pThis->OnDeactivateUI(FALSE);
    return S_OK;
}

HRESULT COleServerDoc::XOleInPlaceObject::SetObjectRects(LPCRECT pos, LPCRECT clip)
{
    METHOD_PROLOGUE(COleServerDoc, OleInPlaceObject)
    if (pos == nullptr)
        return E_INVALIDARG;
    pThis->OnSetItemRects(pos, clip);
    return S_OK;
}

HRESULT COleServerDoc::XOleInPlaceObject::ReactivateAndUndo()
{
    return INPLACE_E_NOTUNDOABLE;
}

IMPLEMENT_IUNKNOWN(COleServerDoc, OleInPlaceActiveObject)

HRESULT COleServerDoc::XOleInPlaceActiveObject::GetWindow(HWND* phwnd)
{
    METHOD_PROLOGUE(COleServerDoc, OleInPlaceActiveObject)
    return pThis->m_xOleInPlaceObject.GetWindow(phwnd);
}

HRESULT COleServerDoc::XOleInPlaceActiveObject::ContextSensitiveHelp(BOOL)
{
    return S_OK;
}

HRESULT COleServerDoc::XOleInPlaceActiveObject::TranslateAccelerator(LPMSG)
{
    // The server's keys reach its own message loop (its frame's PreTranslateMessage).
    return S_FALSE;
}

HRESULT COleServerDoc::XOleInPlaceActiveObject::OnFrameWindowActivate(BOOL bActivate)
{
    METHOD_PROLOGUE(COleServerDoc, OleInPlaceActiveObject)
    pThis->OnFrameWindowActivate(bActivate);
    return S_OK;
}

HRESULT COleServerDoc::XOleInPlaceActiveObject::OnDocWindowActivate(BOOL bActivate)
{
    METHOD_PROLOGUE(COleServerDoc, OleInPlaceActiveObject)
    pThis->OnDocWindowActivate(bActivate);
    return S_OK;
}

HRESULT COleServerDoc::XOleInPlaceActiveObject::ResizeBorder(LPCRECT, LPOLEINPLACEUIWINDOW, BOOL)
{
    return S_OK;
}

HRESULT COleServerDoc::XOleInPlaceActiveObject::EnableModeless(BOOL)
{
    return S_OK;
}
