#include "DataDisplay.h"

#include <QKGraphObjects.h>
#include <QKSysMethod.h>
#include <QUControls.h>

#include "FramesResource.h"
#include "MainFrame.h"

namespace {

QKSysMethodDataDisplay& Settings()
{
    return qkfxGetQrxSystem().GetRefDataDisplay();
}

COLORREF ColorOf(int nIndex, COLORREF crDefault)
{
    DWORD colour = crDefault;
    return CQKColor::GetColorRef(nIndex, colour, 0) ? (COLORREF)colour : crDefault;
}

int TextWidth(HDC hdc, const LOGFONTA& lf, const CString& strText)
{
    HFONT hFont = ::CreateFontIndirectA(&lf);
    HGDIOBJ hOld = ::SelectObject(hdc, hFont);
    SIZE size = {};
    ::GetTextExtentPoint32A(hdc, strText, strText.GetLength(), &size);
    ::SelectObject(hdc, hOld);
    ::DeleteObject(hFont);
    return size.cx;
}

} // namespace

CRect QUDataDisplay::s_rectLastPaint(0, 0, 0, 0);

IMPLEMENT_DYNAMIC(QUDataDisplay, QCResizableControlBar)

QUDataDisplay::QUDataDisplay() : m_sizeDocked(150, 50), m_bShowPending(TRUE), m_nShowState(0), m_bWasVisible(FALSE)
{
    m_strText.LoadString(IDS_XY_UNKNOWN);
    memset(&m_lf, 0, sizeof m_lf);
    m_lf.lfHeight = 10;
    m_lf.lfWeight = 700;
    m_lf.lfClipPrecision = 2;
    m_lf.lfQuality = 1;
    m_lf.lfPitchAndFamily = 18;
    lstrcpynA(m_lf.lfFaceName, "Times New Roman", LF_FACESIZE);
}

BOOL QUDataDisplay::Init(CFrameWnd* pFrame, UINT nID)
{
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP | CBRS_BORDER_BOTTOM |
                    CBRS_SIZE_DYNAMIC;
    if (!Create(pFrame, nullptr, dwStyle, 4, nID, CRect(10, 10, 10, 10)))
        return FALSE;
    m_szDockHorz = m_szDockVert = m_sizeDocked;
    m_nBarID = nID;
    CString strName;
    if (GetBarName(strName))
        SetWindowText(strName);
    SetBarStyle(CBRS_ALIGN_TOP | CBRS_BORDER_ANY | CBRS_BORDER_3D | CBRS_SIZE_DYNAMIC);
    EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    pFrame->DockControlBar(this);
    m_pFrame = pFrame;
    return TRUE;
}

BOOL QUDataDisplay::DisplayText(LPCTSTR lpszText)
{
    if (lpszText != nullptr)
        m_strText = lpszText;
    else
        m_strText.LoadString(IDS_XY_UNKNOWN);
    if (m_hWnd != nullptr) {
        Invalidate(TRUE);
        UpdateWindow();
    }
    return TRUE;
}

BOOL QUDataDisplay::Dock(BOOL bDock, BOOL bQuiet)
{
    if (m_pFrame == nullptr)
        return FALSE;
    if (bDock) {
        EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
        if (!bQuiet) {
            // A new last row of the top dock bar, with the docking notices.
            SECMDIFrameWnd* pSecFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pFrame);
            if (pSecFrame != nullptr)
                pSecFrame->DockControlBarEx(this, AFX_IDW_DOCKBAR_TOP, 0, 0x7FFF, 1.0f, 0);
            else
                m_pFrame->DockControlBar(this);
            Invalidate();
        }
    } else {
        EnableDocking(0);
        if (!bQuiet) {
            CRect rect;
            GetWindowRect(&rect);
            SECMDIFrameWnd* pSecFrame = DYNAMIC_DOWNCAST(SECMDIFrameWnd, m_pFrame);
            if (pSecFrame != nullptr)
                pSecFrame->FloatControlBarEx(this, rect.TopLeft(), CBRS_ALIGN_TOP);
            else
                m_pFrame->FloatControlBar(this, rect.TopLeft(), CBRS_ALIGN_TOP);
            Invalidate();
        }
    }
    m_pFrame->RecalcLayout();
    return TRUE;
}

BOOL QUDataDisplay::ReadFromINI()
{
    QCResizableControlBar::ReadFromINI();
    return Dock(Settings().GetDocking(), TRUE);
}

BOOL QUDataDisplay::IsSetShow(int nShow)
{
    if (nShow) {
        m_bWasVisible = IsVisible();
        return TRUE;
    }
    return !m_bWasVisible && IsFloating();
}

void QUDataDisplay::SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame)
{
    m_nShowState = pInfo->m_bVisible;
    pInfo->m_bVisible = FALSE;
    QCResizableControlBar::SetBarInfo(pInfo, pFrame);
}

BOOL QUDataDisplay::OnFirstActivate()
{
    if (m_bShowPending) {
        m_bShowPending = FALSE;
        ShowWindow(m_nShowState ? SW_SHOWNA : SW_HIDE);
        if (m_pFrame != nullptr)
            m_pFrame->DelayRecalcLayout();
    }
    return TRUE;
}

int QUDataDisplay::SpaceNeeded(int nWidth, const CString& strText)
{
    HDC hdc = ::GetDC(m_hWnd);
    int cx = TextWidth(hdc, m_lf, strText);
    ::ReleaseDC(m_hWnd, hdc);
    return nWidth - cx;
}

LOGFONTA QUDataDisplay::FitFont(const CRect& rectClient)
{
    lstrcpynA(m_lf.lfFaceName, Settings().GetFont().c_str(), LF_FACESIZE);
    int nMode = Settings().GetAutoFit() ? -1 : Settings().GetResize();
    int nWidth = rectClient.Width();
    if (nMode == 1) {
        // Fit horizontally: the height changes only when the bar's width does.
        BOOL bWidthChanged = s_rectLastPaint.Width() != nWidth;
        if (bWidthChanged)
            s_rectLastPaint = rectClient;
        int nSpace = SpaceNeeded(nWidth, m_strText);
        if (nSpace > 0 && bWidthChanged) {
            while (SpaceNeeded(nWidth, m_strText) > 0 && m_lf.lfHeight < 4000)
                m_lf.lfHeight++;
            if (m_lf.lfHeight > 1)
                m_lf.lfHeight--;
        } else if (nSpace < 0) {
            while (SpaceNeeded(nWidth, m_strText) < 0 && m_lf.lfHeight > 1)
                m_lf.lfHeight--;
        }
    } else if (nMode == 2) {
        m_lf.lfWidth = 0;
        m_lf.lfHeight = rectClient.Height();
    } else if (nMode == -1) {
        m_lf.lfHeight = std::max(1, rectClient.Height());
        while (SpaceNeeded(nWidth, m_strText) < 0 && m_lf.lfHeight > 1)
            m_lf.lfHeight--;
    }
    return m_lf;
}

void QUDataDisplay::Paint(HDC hdc, const CRect& rectClient)
{
    HBRUSH hBack = ::CreateSolidBrush(ColorOf(Settings().GetBkColor(), RGB(255, 255, 255)));
    ::FillRect(hdc, &rectClient, hBack);
    ::DeleteObject(hBack);
    LOGFONTA lf = FitFont(rectClient);
    HFONT hFont = ::CreateFontIndirectA(&lf);
    HGDIOBJ hOld = ::SelectObject(hdc, hFont);
    COLORREF crOld = ::SetTextColor(hdc, ColorOf(Settings().GetTxtColor(), RGB(0, 0, 0)));
    int nOldMode = ::SetBkMode(hdc, TRANSPARENT);
    CRect rect(rectClient);
    ::DrawTextA(hdc, m_strText, -1, &rect, DT_WORDBREAK | DT_EXTERNALLEADING | DT_EDITCONTROL | DT_END_ELLIPSIS);
    ::SetBkMode(hdc, nOldMode);
    ::SetTextColor(hdc, crOld);
    ::SelectObject(hdc, hOld);
    ::DeleteObject(hFont);
    ::SetTextCharacterExtra(hdc, 0);
}

CSize QUDataDisplay::CalcFixedLayout(BOOL, BOOL bHorz)
{
    CSize size(m_sizeDocked.cx, 31);
    if (bHorz)
        m_szDockHorz = size;
    else
        m_szDockVert = size;
    return size;
}

void QUDataDisplay::OnBarDock()
{
    QCResizableControlBar::OnBarDock();
    if (!m_bShowPending && !Settings().GetDocking())
        Settings().SetDocking(1);
    m_dwExStyle = (m_dwExStyle & ~0x0C00) | 0x0004;
}

void QUDataDisplay::OnBarFloat()
{
    QCResizableControlBar::OnBarFloat();
    if (!m_bShowPending)
        Settings().SetDocking(0);
}

void QUDataDisplay::ShowContextMenu(CPoint point)
{
    CMenu menu;
    if (!menu.LoadMenu(IDM_DATA_DISPLAY))
        return;
    HMENU hPopup = ::GetSubMenu(menu.m_hMenu, 0);
    UINT nSize = Settings().GetResize() == 1 ? ID_DD_FIT_HORZ : Settings().GetResize() == 2 ? ID_DD_FIT_VERT : ID_DD_FIXED;
    ::CheckMenuRadioItem(hPopup, ID_DD_FIXED, ID_DD_FIT_VERT, nSize, MF_BYCOMMAND);
    if (Settings().GetAutoFit())
        for (UINT nID : {ID_DD_FIXED, ID_DD_FIT_HORZ, ID_DD_FIT_VERT})
            ::EnableMenuItem(hPopup, nID, MF_GRAYED);
    ::CheckMenuItem(hPopup, ID_DD_DOCKING, Settings().GetDocking() ? MF_CHECKED : MF_UNCHECKED);
    ::TrackPopupMenu(hPopup, TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
}

BOOL QUDataDisplay::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_DD_FIXED:
    case ID_DD_FIT_HORZ:
    case ID_DD_FIT_VERT:
        if (!Settings().GetAutoFit()) {
            Settings().SetResize(LOWORD(wParam) - ID_DD_FIXED);
            Invalidate();
        }
        return TRUE;
    case ID_DD_DOCKING:
        Dock(!Settings().GetDocking(), FALSE);
        return TRUE;
    case ID_DD_PROPERTIES: {
        CDataDispDlg dlg(this);
        if (dlg.DoModal() == IDOK)
            Invalidate();
        return TRUE;
    }
    }
    return QCResizableControlBar::OnCommand(wParam, lParam);
}

LRESULT QUDataDisplay::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(m_hWnd, &ps);
        CRect rect;
        GetClientRect(&rect);
        Paint(hdc, rect);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return TRUE;
    case WM_CONTEXTMENU: {
        CPoint pt;
        ::GetCursorPos(&pt);
        ShowContextMenu(pt);
        return 0;
    }
    case WM_SIZE: {
        LRESULT lResult = QCResizableControlBar::WindowProc(message, wParam, lParam);
        if (!IsFloating() && LOWORD(lParam) > 0)
            m_sizeDocked = CSize(LOWORD(lParam), HIWORD(lParam));
        return lResult;
    }
    case WM_WINDOWPOSCHANGED:
        Invalidate();
        break;
    }
    return QCResizableControlBar::WindowProc(message, wParam, lParam);
}

/////////////////////////////////////////////////////////////////////////////
// CDataDispDlg

CDataDispDlg::CDataDispDlg(CWnd* pParent) : CDialog(IDD_DATA_DISPLAY_FORMAT, pParent) {}

CDataDispDlg::~CDataDispDlg() {}

BOOL CDataDispDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_pFont.reset(new CQUFontComboBox);
    m_pTextColor.reset(new CQUColorComboBox);
    m_pBackColor.reset(new CQUColorComboBox);
    m_pFont->SubclassDlgItem(IDC_DD_FONT, this);
    m_pTextColor->SubclassDlgItem(IDC_DD_TEXT_COLOR, this);
    m_pBackColor->SubclassDlgItem(IDC_DD_BACK_COLOR, this);
    m_pFont->AddFontNames();
    m_pTextColor->AddColorNames();
    m_pBackColor->AddColorNames();
    // The face's index in the kernel's font table.
    int nFont = -1;
    for (int i = 0; i < CQKFontManager::GetFontCount(); i++) {
        std::string name;
        CQKFontManager::GetFontName(i, name);
        if (_stricmp(name.c_str(), Settings().GetFont().c_str()) == 0) {
            nFont = i;
            break;
        }
    }
    m_pFont->SetCurSel(nFont);
    m_pTextColor->SetCurSel(Settings().GetTxtColor());
    m_pBackColor->SetCurSel(Settings().GetBkColor());
    CheckDlgButton(IDC_DD_AUTOFIT, Settings().GetAutoFit() ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

void CDataDispDlg::OnOK()
{
    Settings().SetTxtColor(m_pTextColor->GetCurSel());
    Settings().SetBkColor(m_pBackColor->GetCurSel());
    std::string name;
    if (CQKFontManager::GetFontName(m_pFont->GetCurSel(), name) >= 0 && !name.empty())
        Settings().SetFont(name);
    Settings().SetAutoFit(IsDlgButtonChecked(IDC_DD_AUTOFIT) == BST_CHECKED);
    EndDialog(IDOK);
}
