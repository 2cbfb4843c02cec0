// Column Format: a worksheet column's name, label, plot designation, display format with
// its sub-format, and width, as the worksheet draws them. OK gives them to the worksheet
// all at once; a value it refuses is explained and the dialog stays open.
#pragma once

#include <afxwin.h>

#include "QKData.h"
#include "QUExport.h"

class QU_API CQUColumnFormatDlg : public CDialog {
public:
    CQUColumnFormatDlg(CQKWksPage* page, int column, CWnd* parent = nullptr);

    // The designations and display formats in the order of their lists.
    static const int kTypes[7];
    static const int kFormats[5];

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnFormatChanged();
    // Fills the sub-format list for the chosen display format, selecting `subformat`.
    void FillSubformats(int subformat);
    DECLARE_MESSAGE_MAP()

    CQKWksPage* m_page;
    int m_column;
};
