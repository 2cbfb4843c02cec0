// The container item of the page windows: an object of another program embedded in a
// page window's document, drawn by the window's view and opened or activated in place by
// a double-click. One item at a time is active in place in a view.
#pragma once

#include <afxole.h>

#include "QUExport.h"

class CQuorixDoc;

class QU_API CQuorixCntrItem : public COleClientItem {
    DECLARE_SERIAL(CQuorixCntrItem)
public:
    explicit CQuorixCntrItem(CQuorixDoc* pContainer = nullptr);

    CQuorixDoc* GetDocument() const { return (CQuorixDoc*)COleClientItem::GetDocument(); }

    // The framework's, then every view of the document shows the change.
    void OnChange(OLE_NOTIFICATION nCode, DWORD dwParam) override;
    BOOL OnChangeItemPosition(const CRect& rectPos) override;
    // The place the views draw the item in.
    void OnGetItemPosition(CRect& rPosition) override;
    // Another item of the document active in place in the same view is closed first.
    void OnActivate() override;
    // An inside-out object is hidden when its user interface goes.
    void OnDeactivateUI(BOOL bUndoable) override;
    // Not while the document is itself active in place in another container.
    BOOL CanActivate() override;
    void Serialize(CArchive& ar) override;
};
