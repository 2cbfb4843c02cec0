#include "Splash.h"
#include "QKDIB.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(Csplash, CDialog)
    ON_WM_PAINT()
END_MESSAGE_MAP()

Csplash::Csplash(CWnd* pParent)
    : CDialog(IDD_SPLASH, pParent)
{
    m_strVersion.LoadString(IDS_VERSION);
}

void Csplash::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_SPLASH_VERSION, m_strVersion);
}

// The picture fills the frame control. Its palette goes in as a background palette, so
// the splash never takes the colours of the window in front.
void Csplash::OnPaint()
{
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_SPLASH_PICTURE);
    CQKDIB dib;
    if (!frame || !dib.LoadResource(IDB_SPLASH_DIB))
        return;
    CRect rect;
    frame->GetWindowRect(&rect);
    ScreenToClient(&rect);
    CQKDIBPal palette;
    CPalette* old = nullptr;
    if (palette.Create(dib)) {
        old = dc.SelectPalette(&palette, TRUE);
        dc.RealizePalette();
    }
    dib.Draw(&dc, &rect);
    if (old)
        dc.SelectPalette(old, TRUE);
}

CAppSplash::CAppSplash()
    : m_pDialog(new Csplash)
{
}

CAppSplash::~CAppSplash()
{
    Close();
    delete m_pDialog;
}

void CAppSplash::Open()
{
    if (m_pDialog->GetSafeHwnd() || !m_pDialog->Create(IDD_SPLASH, nullptr))
        return;
    m_pDialog->ShowWindow(SW_SHOW);
    m_pDialog->UpdateWindow();
    m_bShown = 1;
}

void CAppSplash::Close()
{
    if (m_pDialog->GetSafeHwnd())
        m_pDialog->DestroyWindow();
    m_bShown = 0;
}
