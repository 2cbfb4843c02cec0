// The start screen of the program: a modeless dialog with the program's picture and
// version while the program starts.
#pragma once
#include <afxwin.h>

#include "QuorixApp.h"

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

class CAppSplash : public CQUOpenScreen
{
public:
    CAppSplash();
    ~CAppSplash() override;
    // Opens the dialog, with no parent; nothing shows when its window cannot be made.
    void Open() override;
    void Close() override;
    Csplash* GetDialog() { return m_pDialog; }

private:
    Csplash* m_pDialog;
};
