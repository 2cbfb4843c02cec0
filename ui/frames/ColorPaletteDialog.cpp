#include "ColorPaletteDialog.h"

#include <QKGraphObjects.h>

#include "FramesResource.h"

namespace {

std::string LoadFramesString(UINT nId)
{
    char sz[512] = "";
    ::LoadStringA(QUFramesResourceModule(), nId, sz, sizeof sz);
    return sz;
}

} // namespace

BOOL CQUColorToolBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nFirstId)
{
    m_nFirstId = nFirstId;
    m_tips.clear();
    std::string strTips = LoadFramesString(IDS_CP_TOOLTIPS);
    for (size_t nFrom = 0;;) {
        size_t nEnd = strTips.find('\n', nFrom);
        m_tips.push_back(strTips.substr(nFrom, nEnd == std::string::npos ? std::string::npos : nEnd - nFrom));
        if (nEnd == std::string::npos)
            break;
        nFrom = nEnd + 1;
    }
    m_tips.resize(4);
    if (!CToolBarCtrl::Create(dwStyle, rect, pParentWnd, nFirstId - 1))
        return FALSE;
    SetButtonStructSize(sizeof(TBBUTTON));
    SetBitmapSize(CSize(16, 15));
    TBADDBITMAP tbab = {QUFramesResourceModule(), IDB_CP_TOOLBAR};
    if (::SendMessageA(m_hWnd, TB_ADDBITMAP, 4, (LPARAM)&tbab) < 0)
        return FALSE;
    for (int i = 0; i < 4; ++i) {
        TBBUTTON button = {};
        button.iBitmap = i;
        button.idCommand = (int)nFirstId + i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_BUTTON;
        if (!AddButtons(1, &button))
            return FALSE;
    }
    // One tool per button, subclassing the toolbar so the tip follows the mouse by itself.
    if (!m_tip.Create(this, TTS_ALWAYSTIP))
        return FALSE;
    for (int i = 0; i < 4; ++i) {
        RECT r;
        GetItemRect(i, &r);
        TTTOOLINFOA ti = {};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = m_hWnd;
        ti.uId = nFirstId + i;
        ti.rect = r;
        ti.lpszText = const_cast<char*>(m_tips[i].c_str());
        ::SendMessageA(m_tip.m_hWnd, TTM_ADDTOOLA, 0, (LPARAM)&ti);
    }
    ::SendMessageA(m_hWnd, TB_SETTOOLTIPS, (WPARAM)m_tip.m_hWnd, 0);
    m_bTipReady = TRUE;
    return TRUE;
}

std::string CQUColorToolBar::GetTipText(int nButton) const
{
    if (!m_bTipReady || nButton < 0 || nButton > 3)
        return std::string();
    char sz[128] = "";
    TTTOOLINFOA ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = m_hWnd;
    ti.uId = m_nFirstId + nButton;
    ti.lpszText = sz;
    ::SendMessageA(m_tip.m_hWnd, TTM_GETTEXTA, sizeof sz, (LPARAM)&ti);
    return sz;
}

CQUColorPaletteDialog::CQUColorPaletteDialog(CWnd* pParent)
    : CDialog(IDD_COLOR_PALETTE, pParent), m_nMaxColors(CQKColor::GetMaxNumOfColors())
{
}

BOOL CQUColorPaletteDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.SubclassDlgItem(IDC_CP_LIST, this);
    m_list.InitColumns(LoadFramesString(IDS_CP_TITLES).c_str());
    CRect rect;
    CWnd* pPlace = GetDlgItem(IDC_CP_TOOLBAR_PLACE);
    pPlace->GetWindowRect(&rect);
    ScreenToClient(&rect);
    // The toolbar takes the placeholder's place and id.
    pPlace->ShowWindow(SW_HIDE);
    pPlace->SetDlgCtrlID(0);
    m_toolBar.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN |
                         CCS_NORESIZE,
                     rect, this, IDC_CP_NEW);
    CQKColor::GetColors(m_original);
    m_list.LoadColors();
    UpdateButtons();
    m_nPaletteMode = CQKPalette::GetPaletteMode();
    return TRUE;
}

int CQUColorPaletteDialog::SelectedColor() const
{
    int nItem = m_list.GetNextItem(-1, LVNI_SELECTED);
    return nItem >= 0 ? nItem : m_list.GetItemCount();
}

void CQUColorPaletteDialog::UpdateButtons()
{
    m_toolBar.EnableButton(IDC_CP_NEW, m_list.GetColorCount() < m_nMaxColors);
    m_toolBar.EnableButton(IDC_CP_DELETE, m_list.GetColorCount() > 1);
}

BOOL CQUColorPaletteDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nId = LOWORD(wParam);
    if (nId >= IDC_CP_NEW && nId <= IDC_CP_DOWN) {
        m_toolBar.SetFocus();
        m_nSelected = SelectedColor();
        switch (nId) {
        case IDC_CP_NEW:
            m_list.AppendNewColor();
            break;
        case IDC_CP_DELETE:
            if (m_list.GetColorCount() > 1)
                m_list.DeleteColor(m_nSelected);
            break;
        case IDC_CP_UP:
            m_list.MoveColorUp(m_nSelected);
            break;
        case IDC_CP_DOWN:
            m_list.MoveColorDown(m_nSelected);
            break;
        }
        UpdateButtons();
        return TRUE;
    }
    if (nId == IDC_CP_LOAD_DEFAULT && HIWORD(wParam) == BN_CLICKED) {
        CQKColor::RestoreQuorixDefaultColors();
        m_list.LoadColors();
        UpdateButtons();
        m_bDefaultsLoaded = TRUE;
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CQUColorPaletteDialog::OnCancel()
{
    if (m_bDefaultsLoaded)
        CQKColor::SetColors(m_original);
    CDialog::OnCancel();
}

void CQUColorPaletteDialog::OnOK()
{
    BOOL bChanged = m_list.SaveColors();
    if (m_bDefaultsLoaded) {
        bChanged = TRUE;
        m_bDefaultsLoaded = FALSE;
    }
    if (!UpdateData(TRUE))
        return;
    if (bChanged) {
        std::string strText = LoadFramesString(IDS_CP_SAVE_QUESTION), strCaption = LoadFramesString(IDS_CP_WARNING);
        if (::MessageBoxA(m_hWnd, strText.c_str(), strCaption.c_str(), MB_ICONQUESTION | MB_YESNO) == IDYES) {
            CQKColor::SavePaletteToINIFile();
            CQKPalette::SavePaletteTypeToINIFile();
        }
        // Every open window draws with the new table.
        if (CWnd* pMain = AfxGetMainWnd())
            ::RedrawWindow(pMain->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    EndDialog(IDOK);
}
