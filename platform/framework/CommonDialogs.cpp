// The common dialogs: file, colour and font.
#include "afxdlgs.h"

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)

CCommonDialog::CCommonDialog(CWnd* pParentWnd) { m_pParentWnd = pParentWnd; }

// The system ends its own dialogs.
void CCommonDialog::OnOK()
{
    if (UpdateData(TRUE))
        Default();
}

void CCommonDialog::OnCancel() { Default(); }

HWND CCommonDialog::OwnerForModal()
{
    HWND hWndTop = nullptr;
    CWnd::GetSafeOwner(m_pParentWnd, &hWndTop);
    return hWndTop;
}

/////////////////////////////////////////////////////////////////////////////
// CFileDialog

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog)
{
    memset(&m_ofn, 0, sizeof(m_ofn));
    m_szFileName[0] = '\0';
    m_szFileTitle[0] = '\0';
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = _countof(m_szFileName);
    m_ofn.lpstrDefExt = lpszDefExt;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = _countof(m_szFileTitle);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.hInstance = AfxGetResourceHandle();
    if (lpszFileName != nullptr)
        lstrcpynA(m_szFileName, lpszFileName, _countof(m_szFileName));
    if (lpszFilter != nullptr) {
        // "A|*.a|B|*.b||" becomes the system's "A\0*.a\0B\0*.b\0\0".
        m_strFilter = lpszFilter;
        LPTSTR pch = m_strFilter.GetBuffer(0);
        for (; *pch != '\0'; pch++)
            if (*pch == '|')
                *pch = '\0';
        m_strFilter.ReleaseBuffer(m_strFilter.GetLength());
        m_ofn.lpstrFilter = m_strFilter;
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = OwnerForModal();
    BOOL bResult = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    // With several files chosen the buffer starts with the folder; the path is the first file's.
    if ((m_ofn.Flags & OFN_ALLOWMULTISELECT) && m_ofn.lpstrFile[strlen(m_ofn.lpstrFile) + 1] != '\0') {
        POSITION pos = GetStartPosition();
        return GetNextPathName(pos);
    }
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    CString strPath = GetPathName();
    int n = strPath.ReverseFind('\\');
    int n2 = strPath.ReverseFind('/');
    return strPath.Mid((n > n2 ? n : n2) + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind('.');
    return nDot < 0 ? CString() : strName.Mid(nDot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind('.');
    return nDot < 0 ? strName : strName.Left(nDot);
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    LPTSTR lpsz = (LPTSTR)pos;
    if (lpsz == m_ofn.lpstrFile) {
        if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT)) {
            pos = nullptr;
            return CString(m_ofn.lpstrFile);
        }
        lpsz += strlen(lpsz) + 1;
        if (*lpsz == '\0') {   // one file: the buffer holds its full path
            pos = nullptr;
            return CString(m_ofn.lpstrFile);
        }
    }
    CString strPath(m_ofn.lpstrFile);
    CString strFileName(lpsz);
    lpsz += strlen(lpsz) + 1;
    pos = *lpsz == '\0' ? nullptr : (POSITION)lpsz;
    if (!strPath.IsEmpty() && strPath.Right(1) != "\\" && strPath.Right(1) != "/")
        strPath += '\\';
    return strPath + strFileName;
}

/////////////////////////////////////////////////////////////////////////////
// CColorDialog

COLORREF* PASCAL CColorDialog::GetSavedCustomColors()
{
    // Kept for the whole session, as the user expects custom colours to stay.
    static COLORREF s_custColors[16] = {
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
    return s_custColors;
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
    memset(&m_cc, 0, sizeof(m_cc));
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.lpCustColors = GetSavedCustomColors();
    m_cc.Flags = dwFlags;
    if ((m_cc.rgbResult = clrInit) != 0)
        m_cc.Flags |= CC_RGBINIT;
}

INT_PTR CColorDialog::DoModal()
{
    m_cc.hwndOwner = OwnerForModal();
    return ::ChooseColorA(&m_cc) ? IDOK : IDCANCEL;
}

/////////////////////////////////////////////////////////////////////////////
// CFontDialog

CFontDialog::CFontDialog(LPLOGFONTA lplfInitial, DWORD dwFlags, CDC* pdcPrinter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd)
{
    memset(&m_cf, 0, sizeof(m_cf));
    memset(&m_lf, 0, sizeof(m_lf));
    m_szStyleName[0] = '\0';
    m_cf.lStructSize = sizeof(m_cf);
    m_cf.lpszStyle = m_szStyleName;
    m_cf.Flags = dwFlags | CF_USESTYLE;
    m_cf.lpLogFont = &m_lf;
    if (lplfInitial != nullptr) {
        m_lf = *lplfInitial;
        m_cf.Flags |= CF_INITTOLOGFONTSTRUCT;
    }
    if (pdcPrinter != nullptr) {
        m_cf.hDC = pdcPrinter->m_hDC;
        m_cf.Flags |= CF_PRINTERFONTS;
    }
}

INT_PTR CFontDialog::DoModal()
{
    m_cf.hwndOwner = OwnerForModal();
    return ::ChooseFontA(&m_cf) ? IDOK : IDCANCEL;
}

void CFontDialog::GetCurrentFont(LPLOGFONTA lplf)
{
    if (m_hWnd != nullptr)
        ::SendMessageA(m_hWnd, WM_CHOOSEFONT_GETLOGFONT, 0, (LPARAM)lplf);
    else
        *lplf = m_lf;
}
