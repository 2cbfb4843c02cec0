// Tip of the Day: one tip at a time from the tips file in the program folder. Where the
// reading stopped is kept in the profile, so each showing goes on with the next tip; a
// changed tips file starts again at its first tip.
#pragma once
#include <afxwin.h>
#include <cstdio>

class CTipDlg : public CDialog
{
public:
    explicit CTipDlg(CWnd* pParent = nullptr);
    ~CTipDlg() override;

    // The tips file: "tips.txt" in the program folder.
    static CString GetTipsFilePath();

    CString m_strTip;
    int m_bStartup = FALSE; // show the tips at start-up

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    afx_msg void OnNextTip();
    afx_msg void OnStartup();
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    void GetNextTipString(CString& tip);

    FILE* m_pStream = nullptr;
};
