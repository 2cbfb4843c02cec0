// The matrix window: a worksheet window whose page is a matrix. The kernel's matrix page
// draws and edits the cells as the worksheet's table does; the view adds the matrix
// commands (group "MATRIX"), and the page the matrix's three dialogs.
#pragma once

#include <afxwin.h>

#include "QUWksView.h"

class CQKMatrixPage;

class QU_API CQUMatrixDoc : public CQUWksDoc {
    DECLARE_DYNCREATE(CQUMatrixDoc)
public:
    int get_desired_page_type() override { return 2; }
    COleServerItem* OnGetEmbeddedItem() override;
    CQKMatrixPage* get_matrix_page() const;
};

class QU_API CQUMatrixView : public CQUWksView {
    DECLARE_DYNCREATE(CQUMatrixView)
public:
    CQKMatrixPage* get_matrix_page();
    // The matrix's context menu (584): cells (0), the corner (1), outside the table (2),
    // or the whole matrix selected (3).
    int GetContextMenuID(int* position) override { return 584; }
    int GetSelectionMenuPosition(int hitKind) override;

protected:
    afx_msg BOOL OnMatrixCommand(UINT nID);
    afx_msg void OnUpdateMatrixCommand(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};
