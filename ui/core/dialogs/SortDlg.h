// Two dialogs over lists of a worksheet's columns. Nested Sort: the user builds an ordered
// list of sort keys from the columns, each ascending or descending, and OK sorts the
// worksheet by them. The layer contents dialog: the columns with their plot designations,
// which a double click (or Space) on a row moves to the next; OK sets them.
#pragma once

#include <afxcmn.h>

#include <vector>

#include "ColumnListCtrls.h"
#include "QUExport.h"

class CQKWksPage;

class QU_API CQUSortDlg : public CDialog {
public:
    CQUSortDlg(CQKWksPage* page, CWnd* parent = nullptr);

    // Set before the dialog runs, read after: missing values as 0 smallest or 1 largest,
    // the scope 0 the selected columns or 1 the whole worksheet (-1: none chosen).
    int m_missingAs = -1;
    int m_scope = -1;
    // The scope can be chosen (1) or stays as the caller set it (0).
    int m_scopeEnabled = 1;

    // The criteria as the worksheet takes them: "A: name" or "D: name", in list order.
    CStringArray& GetCriteria() { return m_criteria; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    afx_msg void OnSortAddAscendButton();
    afx_msg void OnSortAddDescendButton();
    afx_msg void OnSortDeleteButton();
    afx_msg void OnListChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSortAddButton(BOOL descending);
    void EnableDisableButtons();
    // Sorts by the criteria of the sort-order list; nothing without criteria.
    void OnSortOkButton();
    DECLARE_MESSAGE_MAP()

    CQKWksPage* m_page;
    CQUWksColumnListCtrl m_columns;
    CListCtrl m_order;
    CStringArray m_criteria;
};

class QU_API CQUPlotObjEditDlg : public CDialog {
public:
    CQUPlotObjEditDlg(CQKWksPage* page, CWnd* parent = nullptr);

    // The designation words the list shows, in the order a row's designation moves on.
    static const int kDesignations[5];

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnRowActivated(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnRowKey(NMHDR* pNMHDR, LRESULT* pResult);
    // The selected row's designation becomes the next one.
    void NextDesignation();
    void ShowRow(int row);
    DECLARE_MESSAGE_MAP()

    CQKWksPage* m_page;
    CListCtrl m_list;
    std::vector<int> m_types; // the designation per column, as edited
};
