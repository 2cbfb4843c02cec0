// The query dialog of EDITSQL: a sheet of two pages, the data source and table
// (CDatabaseDialog) and the query grid of the table's columns (CSelectCasesDialog).
//
// The choices are a draft until OK: a cancelled dialog leaves the object's source,
// table, table kind, query and connection string as they were.
#pragma once

#include <afxdlgs.h>
#include <afxwin.h>

#include <memory>
#include <string>
#include <vector>

#include "GridControl.h"
#include "OdbcAccess.h"
#include "resource.h"

class QmODBC;

// What the dialog settles, written to the object on OK.
struct QueryDraft {
    std::string source;
    std::string table;
    std::string tableType;
    std::string connectString;
    std::string connectSource;
    std::string query;
};

class CDatabaseDialog : public CPropertyPage {
public:
    explicit CDatabaseDialog(QmODBC& root, QueryDraft& draft);

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;

    // The data source and table selected now ("" when none).
    std::string SelectedSource();
    std::string SelectedTable();
    bool ViewsChosen();

    CListBox& Sources() { return *static_cast<CListBox*>(GetDlgItem(IDC_SOURCE_LIST)); }
    CListBox& Tables() { return *static_cast<CListBox*>(GetDlgItem(IDC_TABLE_LIST)); }
    int m_kind = -1; // 0 tables, 1 views

protected:
    void OnSourceChanged();
    void OnKindClicked();
    void OnAddSource();
    DECLARE_MESSAGE_MAP()

private:
    void ListSources();
    void ListTablesOfSelected();
    void SelectByPrefix(CListBox& list, const char* prefix);

    QmODBC& root_;
    QueryDraft& draft_;
    QmDBdatabase database_;
    // Completed connection strings of the sources, owned here; the list items point at them.
    std::vector<std::unique_ptr<std::string>> connectStrings_;
};

class CSelectCasesDialog : public CPropertyPage {
public:
    CSelectCasesDialog(QmODBC& root, QueryDraft& draft, CDatabaseDialog& sourcePage);

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    void OnOK() override;

    QueryGrid grid;
    bool shown = false;
    bool accepted = false;

protected:
    void OnCheckAll();
    void OnUncheckAll();
    DECLARE_MESSAGE_MAP()

private:
    QmODBC& root_;
    QueryDraft& draft_;
    CDatabaseDialog& sourcePage_;
    QmDBdatabase database_;
};

class CSQLTabbedDialog : public CPropertySheet {
public:
    CSQLTabbedDialog(QmODBC& root, CWnd* parent);

    QueryDraft draft;
    CDatabaseDialog databasePage;
    CSelectCasesDialog casesPage;
};

// EDITSQL: shows the dialog owned by the host window; 1 when the user pressed OK (the
// object then holds the new query and choices), else 0.
int EditQuery(QmODBC& root);

// The module holding this code, whose resources and window classes the dialog uses.
HINSTANCE DbModule();
