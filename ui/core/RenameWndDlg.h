// The Window menu's Rename: a new name for the active window's page.
#pragma once

#include <afxwin.h>

#include "QUExport.h"

class CQKPage;

class QU_API CQURenameWndDlg : public CDialog {
public:
    CQURenameWndDlg(CQKPage* page, CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    // The page takes the name, or the user is told why it cannot and the dialog stays.
    void OnOK() override;

    CQKPage* m_page;
};
