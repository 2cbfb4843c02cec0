// OLE drop targets: COleDropTarget over IDropTarget, and the drop handlers of views.
#include "afxole.h"

#include <map>

#include "ModuleState.h"

namespace {

// The registered targets by window, so that a window's destruction ends its registration:
// OLE keeps a reference to the target until RevokeDragDrop, which needs the window.
std::map<HWND, COleDropTarget*>& Registered()
{
    static std::map<HWND, COleDropTarget*> targets;
    return targets;
}

CPoint ClientPoint(HWND hWnd, POINTL pt)
{
    POINT p = {pt.x, pt.y};
    ::ScreenToClient(hWnd, &p);
    return CPoint(p.x, p.y);
}

} // namespace

void afximpl::RevokeDropTargetOf(HWND hWnd)
{
    auto it = Registered().find(hWnd);
    if (it != Registered().end())
        it->second->Revoke();
}

BEGIN_INTERFACE_MAP(COleDropTarget, CCmdTarget)
    INTERFACE_PART(COleDropTarget, IID_IDropTarget, DropTarget)
END_INTERFACE_MAP()

COleDropTarget::COleDropTarget() : m_hWnd(nullptr), m_lpDataObject(nullptr), m_dropEffectCurrent(DROPEFFECT_NONE) {}

COleDropTarget::~COleDropTarget()
{
    Revoke();
}

BOOL COleDropTarget::Register(CWnd* pWnd)
{
    if (pWnd == nullptr || pWnd->m_hWnd == nullptr || m_hWnd != nullptr)
        return FALSE;
    LPUNKNOWN unknown = (LPUNKNOWN)GetInterface(&IID_IUnknown);
    // The lock keeps the target's stub alive while other processes hold it.
    if (FAILED(::CoLockObjectExternal(unknown, TRUE, FALSE)))
        return FALSE;
    if (FAILED(::RegisterDragDrop(pWnd->m_hWnd, &m_xDropTarget))) {
        ::CoLockObjectExternal(unknown, FALSE, FALSE);
        return FALSE;
    }
    m_hWnd = pWnd->m_hWnd;
    Registered()[m_hWnd] = this;
    return TRUE;
}

void COleDropTarget::Revoke()
{
    if (m_hWnd == nullptr)
        return;
    if (m_lpDataObject != nullptr) {
        m_lpDataObject->Release();
        m_lpDataObject = nullptr;
    }
    ::RevokeDragDrop(m_hWnd);
    ::CoLockObjectExternal((LPUNKNOWN)GetInterface(&IID_IUnknown), FALSE, TRUE);
    Registered().erase(m_hWnd);
    m_hWnd = nullptr;
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDragEnter(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDragOver(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

void COleDropTarget::OnDragLeave(CWnd* pWnd)
{
    if (CView* view = DYNAMIC_DOWNCAST(CView, pWnd))
        view->OnDragLeave();
}

BOOL COleDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDrop(pDataObject, dropEffect, point) : FALSE;
}

DROPEFFECT COleDropTarget::OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                                    DROPEFFECT dropList, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDropEx(pDataObject, dropDefault, dropList, point) : (DROPEFFECT)-1;
}

DROPEFFECT COleDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point)
{
    CView* view = DYNAMIC_DOWNCAST(CView, pWnd);
    return view ? view->OnDragScroll(dwKeyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT PASCAL COleDropTarget::FilterDropEffect(DROPEFFECT dropEffect, DROPEFFECT dwEffects)
{
    if ((dropEffect & dwEffects) == dropEffect)
        return dropEffect;
    const DROPEFFECT scroll = dropEffect & DROPEFFECT_SCROLL;
    switch (dropEffect & ~DROPEFFECT_SCROLL) {
    case DROPEFFECT_COPY:
        if (dwEffects & DROPEFFECT_MOVE)
            return DROPEFFECT_MOVE | scroll;
        break;
    case DROPEFFECT_MOVE:
        if (dwEffects & DROPEFFECT_COPY)
            return DROPEFFECT_COPY | scroll;
        break;
    }
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::DragOverEffect(DWORD dwKeyState, POINTL pt, DWORD dwAllowed)
{
    CWnd* pWnd = CWnd::FromHandle(m_hWnd);
    const CPoint point = ClientPoint(m_hWnd, pt);
    DROPEFFECT effect = OnDragScroll(pWnd, dwKeyState, point);
    if (!(effect & DROPEFFECT_SCROLL)) {
        COleDataObject data;
        data.Attach(m_lpDataObject, FALSE);
        effect = OnDragOver(pWnd, &data, dwKeyState, point);
    }
    return FilterDropEffect(effect, dwAllowed);
}

IMPLEMENT_IUNKNOWN(COleDropTarget, DropTarget)

HRESULT COleDropTarget::XDropTarget::DragEnter(LPDATAOBJECT pDataObject, DWORD grfKeyState, POINTL pt,
                                               LPDWORD pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    if (pThis->m_hWnd == nullptr || pDataObject == nullptr) {
        *pdwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    if (pThis->m_lpDataObject != nullptr)
        pThis->m_lpDataObject->Release();
    pThis->m_lpDataObject = pDataObject;
    pDataObject->AddRef();

    CWnd* pWnd = CWnd::FromHandle(pThis->m_hWnd);
    COleDataObject data;
    data.Attach(pDataObject, FALSE);
    DROPEFFECT effect = pThis->OnDragEnter(pWnd, &data, grfKeyState, ClientPoint(pThis->m_hWnd, pt));
    pThis->m_dropEffectCurrent = FilterDropEffect(effect, *pdwEffect);
    *pdwEffect = pThis->m_dropEffectCurrent;
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::DragOver(DWORD grfKeyState, POINTL pt, LPDWORD pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    if (pThis->m_lpDataObject == nullptr) {
        *pdwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    pThis->m_dropEffectCurrent = pThis->DragOverEffect(grfKeyState, pt, *pdwEffect);
    *pdwEffect = pThis->m_dropEffectCurrent;
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::DragLeave()
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (pThis->m_lpDataObject == nullptr)
        return S_OK;
    pThis->OnDragLeave(CWnd::FromHandle(pThis->m_hWnd));
    pThis->m_lpDataObject->Release();
    pThis->m_lpDataObject = nullptr;
    return S_OK;
}

HRESULT COleDropTarget::XDropTarget::Drop(LPDATAOBJECT pDataObject, DWORD grfKeyState, POINTL pt,
                                          LPDWORD pdwEffect)
{
    METHOD_PROLOGUE(COleDropTarget, DropTarget)
    if (pdwEffect == nullptr)
        return E_INVALIDARG;
    if (pThis->m_hWnd == nullptr || pDataObject == nullptr) {
        *pdwEffect = DROPEFFECT_NONE;
        return S_OK;
    }
    // A drop without a drag over this window (a source that drops at once) still gets the
    // drag-over answer for its point.
    if (pThis->m_lpDataObject != pDataObject) {
        DWORD effect = *pdwEffect;
        DragEnter(pDataObject, grfKeyState, pt, &effect);
    }
    // The target may go away while the drop runs (a drop that closes the window).
    pThis->ExternalAddRef();
    CWnd* pWnd = CWnd::FromHandle(pThis->m_hWnd);
    const CPoint point = ClientPoint(pThis->m_hWnd, pt);
    COleDataObject data;
    data.Attach(pDataObject, FALSE);
    DROPEFFECT effect = pThis->m_dropEffectCurrent & ~DROPEFFECT_SCROLL;
    const DROPEFFECT made = pThis->OnDropEx(pWnd, &data, effect, *pdwEffect, point);
    if (made != (DROPEFFECT)-1)
        effect = made;
    else if (effect != DROPEFFECT_NONE) {
        if (!pThis->OnDrop(pWnd, &data, effect, point))
            effect = DROPEFFECT_NONE;
    } else
        pThis->OnDragLeave(pWnd);
    *pdwEffect = effect;
    if (pThis->m_lpDataObject != nullptr) {
        pThis->m_lpDataObject->Release();
        pThis->m_lpDataObject = nullptr;
    }
    pThis->ExternalRelease();
    return S_OK;
}

/////////////////////////////////////////////////////////////////////////////
// The drop handlers of views: no drops unless the view takes them.

DROPEFFECT CView::OnDragEnter(COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT CView::OnDragOver(COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
void CView::OnDragLeave() {}
BOOL CView::OnDrop(COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
DROPEFFECT CView::OnDropEx(COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint) { return (DROPEFFECT)-1; }
DROPEFFECT CView::OnDragScroll(DWORD, CPoint) { return DROPEFFECT_NONE; }

/////////////////////////////////////////////////////////////////////////////

LPDATAOBJECT COleDataObject::GetIDataObject(BOOL bAddRef)
{
    if (m_lpDataObject != nullptr && bAddRef)
        m_lpDataObject->AddRef();
    return m_lpDataObject;
}
