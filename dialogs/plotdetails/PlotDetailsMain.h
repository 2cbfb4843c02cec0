// The Plot Details dialog: a tree of the graph page, its layers and their plots on the
// left, the pages of the selected object on the right, and below them the Plot Type
// list, the space-saving button, the Workbook button, OK, Cancel and Apply.
//
// Every page edits a working copy that the tree holds; Apply commits the copies to the
// kernel's objects, and OK and Cancel delete them, so Cancel keeps the graph as the last
// Apply left it.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include <vector>

#include "PlotDetailsTabManager.h"
#include "PlotDetailsTree.h"
#include "QDExport.h"
#include "QKGraphObjects.h"

// The Plot Type list and its label: the types the selected plot may change to.
class CQUPlotTypeSelector
{
public:
    void Attach(CComboBox* pCombo, CWnd* pLabel);
    void SetObject(CQKBase* pObject) { m_pObject = pObject; }
    CQKPlotObj* GetPlot() const;
    void Refresh();
    // The type of the selected entry, 0 when none.
    int GetSelectedType() const;

private:
    CComboBox* m_pCombo = nullptr;
    CWnd* m_pLabel = nullptr;
    CQKBase* m_pObject = nullptr;
    CString m_strLabel; // the label's text in the template
    BOOL m_bHasList = FALSE;
};

// What the tree has selected: the control, the element it edits and the current item.
struct CQUPlotDetailsTreeLink
{
    CQUPlotDetailsTree* pTree = nullptr;
    CQKBase* pElement = nullptr;
    HTREEITEM hCurrent = nullptr;
};

class QD_API CQUPlotDetailsMain : public CDialog
{
    DECLARE_DYNAMIC(CQUPlotDetailsMain)
public:
    // obj: the page, a layer or a plot object. The dialog edits working copies of the
    // layers and plots it shows, never obj itself; firstTab is a page template id that
    // the sheet should start on (0 for none).
    CQUPlotDetailsMain(CQKBase* obj, int mode, CWnd* pParent, UINT firstTab);
    ~CQUPlotDetailsMain() override;

    CQUPlotDetailsTabManager& GetTabManager() { return m_tabManager; }
    CQUPlotDetailsTree& GetTree() { return m_tree; }
    BOOL IsApplyClicked() const { return m_bApplyClicked; }
    void SetForLayoutPage(BOOL bLayout = TRUE) { m_bLayoutPage = bLayout; }
    BOOL IsForLayoutPage() const { return m_bLayoutPage; }
    CQKBase* GetCurrentObject() const { return m_pCurrent; }

    void SetOriginal3DPlotObjToSheet(CQKPlotObj* pPlot);
    void CheckWksButton();
    void ResizeDialog(BOOL bAnchorRight);
    int ProcessGroupPlot();
    void UpdateBasePtr();
    void SelectItem(HTREEITEM hItem, BOOL bRedirect);
    // Apply: the pages write their copies, the tree commits them. FALSE (Apply stays
    // enabled) when a page refused its values.
    BOOL UserChangesApplied();
    void OnPropertySheetIsReady(UINT) {}

    // The space-saving state shared by every opening while the program runs: 1 the tree
    // is shown, 0 it is hidden.
    static int GetSpaceSavingState();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelchangedPDMainTree(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnSelchangePlotdtlsPlotType();
    afx_msg void OnApply();
    afx_msg void OnSpaceSaving();
    afx_msg void OnWorkbook();
    afx_msg LRESULT EnableApplyButton(WPARAM, LPARAM);
    afx_msg LRESULT OnGroupIndependentSelected(WPARAM, LPARAM);
    afx_msg LRESULT OnTabManagerCheckTabs(WPARAM, LPARAM);
    afx_msg LRESULT OnAutomaticallyResize(WPARAM, LPARAM);
    afx_msg LRESULT OnSelChangeOnOptTree(WPARAM, LPARAM);
    afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    CButton m_btnWorkbook, m_btnSpaceSaving, m_btnOK, m_btnCancel, m_btnApply;
    CStatic m_stPlotType;
    CComboBox m_cbPlotType;
    CQUPlotDetailsTree m_tree;

    CQUPlotTypeSelector m_selector;
    CQUPlotDetailsTreeLink m_link;
    CQUPlotDetailsTabManager m_tabManager;

    CQKBase* m_pCurrent;
    CQKBase* m_pOwnedCopy; // the working copy made of the object handed in, until the tree has it
    CQKPlotObj* m_p3DSource;
    UINT m_nFirstTab;
    int m_nDepth;
    CQKPlotObj* m_pGroupLeader;
    BOOL m_bApplyClicked;
    BOOL m_bInitialized;
    BOOL m_bLayoutPage;
    CRect m_rcTree, m_rcPlace, m_rcSheet;

    DECLARE_MESSAGE_MAP()
};
