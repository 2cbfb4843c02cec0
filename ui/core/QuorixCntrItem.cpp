#include "QuorixCntrItem.h"

#include "QuorixDoc.h"

IMPLEMENT_SERIAL(CQuorixCntrItem, COleClientItem, 0)

CQuorixCntrItem::CQuorixCntrItem(CQuorixDoc* pContainer) : COleClientItem(pContainer) {}

void CQuorixCntrItem::OnChange(OLE_NOTIFICATION nCode, DWORD dwParam)
{
    COleClientItem::OnChange(nCode, dwParam);
    if (GetDocument() != nullptr)
        GetDocument()->UpdateAllViews(nullptr);
}

BOOL CQuorixCntrItem::OnChangeItemPosition(const CRect& rectPos)
{
    return COleClientItem::OnChangeItemPosition(rectPos) ? TRUE : FALSE;
}

void CQuorixCntrItem::OnGetItemPosition(CRect& rPosition)
{
    rPosition.SetRect(10, 10, 210, 210);
}

void CQuorixCntrItem::OnActivate()
{
    if (CQuorixDoc* doc = GetDocument()) {
        COleClientItem* other = doc->GetInPlaceActiveItem(m_pView);
        if (other != nullptr && other != this)
            other->Close(OLECLOSE_SAVEIFDIRTY);
    }
    COleClientItem::OnActivate();
}

void CQuorixCntrItem::OnDeactivateUI(BOOL bUndoable)
{
    COleClientItem::OnDeactivateUI(bUndoable);
    if ((GetMiscStatus(GetDrawAspect()) & OLEMISC_INSIDEOUT) != 0 && m_lpObject != nullptr)
        m_lpObject->DoVerb(OLEIVERB_HIDE, nullptr, &m_xOleClientSite, 0, nullptr, nullptr);
}

BOOL CQuorixCntrItem::CanActivate()
{
    if (GetDocument() != nullptr && GetDocument()->IsInPlaceActive())
        return FALSE;
    return COleClientItem::CanActivate();
}

void CQuorixCntrItem::Serialize(CArchive& ar)
{
    COleClientItem::Serialize(ar);
}
