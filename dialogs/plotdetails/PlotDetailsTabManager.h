// Creates and owns the Plot Details pages and the property sheet that shows them inside
// the dialog, for the object selected in the tree: the plot pages (whose visible set the
// tab checker chooses), the layer pages or the graph page's pages. Apply writes the pages
// back into the dialog's working copies.
#pragma once

#include <afxdlgs.h>

#include <vector>

#include "QDExport.h"
#include "QKGraphObjects.h"

class CQUPlotDetailsMain;
class CQUPlotDetailsPage;
class CQUPlotDetailsTabChecker;

// The sheet inside the dialog, at the place of the dialog's invisible group box.
class QD_API CQUPDPropertySheet : public CPropertySheet
{
    DECLARE_DYNAMIC(CQUPDPropertySheet)
public:
    // Creates the sheet's window at once; IsCreated tells whether that worked.
    CQUPDPropertySheet(CWnd* pParent, int nStartPage, int left, int top, int right, int bottom, int nPages,
                       CPropertyPage** pages);
    BOOL IsCreated() const { return m_hWnd != nullptr; }

protected:
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    DECLARE_MESSAGE_MAP()
};

class QD_API CQUPlotDetailsTabManager
{
public:
    CQUPlotDetailsTabManager();
    ~CQUPlotDetailsTabManager();
    CQUPlotDetailsTabManager(const CQUPlotDetailsTabManager&) = delete;
    CQUPlotDetailsTabManager& operator=(const CQUPlotDetailsTabManager&) = delete;

    // Records the dialog and its sheet placeholder (control 1109) in client coordinates.
    void Attach(CQUPlotDetailsMain* pDialog);
    // TRUE when the object changed; the pages are not rebuilt.
    BOOL SetObject(CQKBase* pObject);
    CQKBase* GetObject() const { return m_pObject; }
    // Creates the pages and the sheet for the object; FALSE when it has none.
    BOOL CreatePages();
    BOOL Rebuild();
    // Deletes the sheet, the pages and the tab checker (the dialog is closing).
    void Close();
    // Writes the pages back; answers whether something was written. For layers and the
    // graph page a page whose values do not validate stops it: the answer is then FALSE
    // and FailedValidation() TRUE.
    BOOL ApplyPages();
    BOOL FailedValidation() const { return m_bValidationFailed; }
    void SetGroup(CQKPlotObj* pLeader, int nCount) { m_pGroupLeader = pLeader; m_nGroupCount = nCount; }
    CQKPlotObj* GetGroupLeader() const { return m_pGroupLeader; }
    int GetGroupCount() const { return m_nGroupCount; }
    BOOL ShowSheet(int nCmdShow);
    BOOL GetSheetRect(RECT* pRect) const;
    void MarkActivePageChanged();
    void SetFirstTab(UINT nTemplateID) { m_nFirstTab = nTemplateID; }
    void Set3DSourcePlot(CQKPlotObj* pPlot) { m_p3DSource = pPlot; }

    CQUPlotDetailsTabChecker* GetTabChecker() const { return m_pChecker; }
    CQUPDPropertySheet* GetSheet() const { return m_pSheet; }
    const std::vector<CQUPlotDetailsPage*>& GetPages() const { return m_pages; }

private:
    void DeletePages();
    void CreatePlotPages(CQKPlotObj* pPlot);
    void CreateLayerPages(CQKGraphicLayer* pLayer);
    void CreateGraphPagePages();
    BOOL MakeSheet(int nStart, std::vector<CPropertyPage*>& pages);

    CQKBase* m_pObject;
    CQUPlotDetailsMain* m_pDialog;
    CQUPlotDetailsTabChecker* m_pChecker;
    CRect m_rcPlace;
    CQKPlotObj* m_pGroupLeader;
    int m_nGroupCount;
    CQKPlotObj* m_p3DSource;
    CQUPDPropertySheet* m_pSheet;
    std::vector<CQUPlotDetailsPage*> m_pages; // creation order; owned
    UINT m_nFirstTab;
    BOOL m_bValidationFailed;
};
