// The splash dialog: the program's picture and version while the program starts.
#pragma once
#include <afxwin.h>

class Csplash : public CDialog
{
public:
    explicit Csplash(CWnd* pParent = nullptr);

    CString m_strVersion;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
