// The dialogs of the Excel link.
#pragma once

#include "XlView.h"

// Dialog templates are this library's own: found through it whatever the resource chain
// holds while the dialog runs.
class QUXL_API XlResourceScope {
public:
    XlResourceScope();
    ~XlResourceScope();

private:
    HINSTANCE m_previous;
};

// The dialogs' common base: the help key opens the dialog's own help topic.
class QUXL_API CXlDialog : public CDialog {
public:
    using CDialog::CDialog;

protected:
    afx_msg BOOL OnHelpInfo(HELPINFO* info);
    DECLARE_MESSAGE_MAP()
};

// Associate Excel Worksheet: a kernel layer whose sheet is gone gets a sheet that has no
// layer, or is removed.
class QUXL_API CXlConnectLayerDlg : public CXlDialog {
public:
    CXlConnectLayerDlg(CQUxlView* view, CQKWksExternLayer* layer, CWnd* parent = nullptr);

    // Set by Cancel: one read by saving, one by the update command.
    static BOOL s_bSaveCancelled;
    static BOOL s_bUpdateCancelled;

    // The state of the association: all sheet names (FALSE when they cannot be read),
    // those with no layer, and the first layer with no sheet (null when none).
    static BOOL Survey(CQUxlView* view, CStringArray& sheets, CStringArray& unassociated,
                       CQKWksExternLayer** orphan);
    // Asks, for each layer with no sheet, whether to remove it; the last layer stays.
    static void PruneLayers(CQUxlView* view, const CStringArray& sheets);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnSelectSheet();
    afx_msg void OnRemove();
    // Fills the lists; FALSE (and the dialog ends as cancelled) when nothing is left to
    // associate.
    BOOL Refresh();

    CQUxlView* m_pView;
    CQKWksExternLayer* m_pLayer;
    CListBox m_allSheets; // hidden: every sheet name
    CListBox m_sheets;    // sheets with no layer

    DECLARE_MESSAGE_MAP()
};

#include <map>

#include "QUControls.h"

// Open Excel: a workbook file opens as a workbook or as native worksheets (the chosen
// sheets).
class QUXL_API COpenExcelDlg : public CXlDialog {
public:
    COpenExcelDlg(CQUxlView* view, CWnd* parent = nullptr);

    CStringArray m_chosenSheets;
    int m_nChoice = 0;    // 0 as a workbook, 1 as native worksheets
    BOOL m_bDontShow = FALSE;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnChoice();
    void ShowList();

    CQUxlView* m_pView;
    CListBox m_sheets;
    BOOL m_bFilled = FALSE;

    DECLARE_MESSAGE_MAP()
};

// Workbook Properties: the window's name, where the workbook is kept and whether a linked
// file is updated.
class QUXL_API CExlRename : public CXlDialog {
public:
    CExlRename(CQUxlView* view, CWnd* parent = nullptr);
    ~CExlRename() override;

    CString m_strTitle;
    CString m_strPath;
    BOOL m_bUpdate = FALSE;
    int m_nStorage = 0; // 0 internal, 1 external

    // Sorting alternates between ascending and descending with every header click.
    static BOOL s_bSortAscending;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnStorage();
    afx_msg void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    static int CALLBACK CompareNames(LPARAM a, LPARAM b, LPARAM);
    static int CALLBACK CompareIds(LPARAM a, LPARAM b, LPARAM);

    CQUxlView* m_pView;
    CQUListCtrl m_sheets;
    // Layer identifier to name, for the sort's comparisons.
    static std::map<int, CString> s_names;

    DECLARE_MESSAGE_MAP()
};

// Save Excel Workbooks: which linked workbooks update their files when the project is
// saved, and when the dialog shows.
class QUXL_API CQUXlSaveDialog : public CXlDialog {
public:
    explicit CQUXlSaveDialog(CWnd* parent = nullptr);

    // When the dialog shows: 0 never, 1 before saving, 2 before Save Project As.
    static int s_nSaveExcelDlg;
    // Runs the dialog before a project is saved when it is wanted and a workbook window
    // exists: 0 when the user cancelled, else 1.
    static int RunBeforeSaving(CWnd* owner);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnCheckChange();

    CListBox m_internal;
    CCheckListBox m_external;
    CQUStringComBox m_show;

    DECLARE_MESSAGE_MAP()
};
