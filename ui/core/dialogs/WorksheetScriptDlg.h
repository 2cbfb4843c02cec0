// Worksheet Script: the worksheet's own script, kept with it. OK keeps the text; Do It
// keeps it and runs it on the worksheet once the dialog has closed; Cancel changes nothing.
#pragma once

#include <afxwin.h>

#include "QKData.h"
#include "QUExport.h"

class QU_API CQUWorksheetScriptDlg : public CDialog {
public:
    CQUWorksheetScriptDlg(CQKWksPage* page, CWnd* parent = nullptr);
    // The dialog's answer for Do It.
    static const int kDoIt = 3;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnDoIt();
    DECLARE_MESSAGE_MAP()

    CQKWksPage* m_page;
};
