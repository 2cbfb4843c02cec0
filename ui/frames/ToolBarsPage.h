// The "Customize Toolbar" sheet of the main frame and its page of toolbars.
#pragma once

#include <qxtoolkit.h>

#include "FramesApi.h"

struct SECToolBarStateEntry
{
    UINT nID;
    BOOL bEnabled;
    BOOL bChecked;
};

class QXFRAMES_API SECToolBarsPageEx : public SECToolBarsPage
{
    DECLARE_DYNCREATE(SECToolBarsPageEx)
public:
    SECToolBarsPageEx();
    void AddStateEntry(UINT nID, BOOL bEnabled, BOOL bChecked);
    BOOL IsItemEnabled(int nItem) const;
    // The file of the default arrangement that Reinitialize goes back to.
    static CString DefaultArrangementFile();

protected:
    CArray<SECToolBarStateEntry, const SECToolBarStateEntry&> m_entries;
    CArray<BOOL, BOOL> m_itemEnabled;
    BOOL m_bRechecking;

    BOOL OnInitDialog() override;
    void OnCheckChange(int nItem) override;
    void OnNewToolbar() override;
    void OnResetToolbar() override;
    void OnReinitialize() override;
};

class QXFRAMES_API SECToolBarSheetEx : public SECToolBarSheet
{
    DECLARE_DYNAMIC(SECToolBarSheetEx)
public:
    explicit SECToolBarSheetEx(UINT nIDCaption, CWnd* pParentWnd = nullptr);
    // Only a "Close" button at the right: Apply, Help and Cancel go, as every change takes
    // effect at once. Its first page calls it once the sheet window exists.
    void ArrangeButtons();
};
