#include "OutputLog.h"

#include <QKAccess.h>
#include <QKData.h>
#include <QKGraphObjects.h>
#include <QKSysMethod.h>
#include <oleauto.h>

#include <cmath>

#include "ChildFrame.h"
#include "FramesResource.h"
#include "MainFrame.h"

namespace {

// Days since 1 January 1900 (day 0), the day numbers the kernel's date class counts.
double DaysNow(SYSTEMTIME* pst = nullptr)
{
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    if (pst != nullptr)
        *pst = st;
    double dVariant = 0;
    ::SystemTimeToVariantTime(&st, &dVariant);
    return dVariant - 2.0;   // the variant date counts 1 January 1900 as day 2
}

CString DateText(double dDays)
{
    std::string s;
    CQKUtilDate(dDays).GetDateShortForm(s);
    return s.c_str();
}

// "m/d/yyyy" back to its day number; -1 when the text is no such date.
double DateFromTextOf(const CString& strText)
{
    int m = 0, d = 0, y = 0;
    if (sscanf((LPCTSTR)strText, "%d/%d/%d", &m, &d, &y) != 3)
        return -1;
    SYSTEMTIME st = {};
    st.wYear = (WORD)y;
    st.wMonth = (WORD)m;
    st.wDay = (WORD)d;
    double dVariant = 0;
    if (!::SystemTimeToVariantTime(&st, &dVariant))
        return -1;
    return dVariant - 2.0;
}

CString HeaderLine(const CString& strEntry)
{
    int nCR = strEntry.Find('\r');
    return nCR >= 0 ? strEntry.Left(nCR) : strEntry;
}

CString FolderOf(const CString& strPath)
{
    int nSlash = strPath.ReverseFind('/');
    return nSlash >= 0 ? strPath.Left(nSlash + 1) : CString();
}

BOOL StartsWithNoCase(const CString& strText, const CString& strPrefix)
{
    return strText.GetLength() >= strPrefix.GetLength() &&
           strText.Left(strPrefix.GetLength()).CompareNoCase(strPrefix) == 0;
}

// The parent of a folder path "/A/B/" is "/A/".
CString ParentFolder(const CString& strFolder)
{
    CString s = strFolder;
    if (!s.IsEmpty() && s[s.GetLength() - 1] == '/')
        s = s.Left(s.GetLength() - 1);
    return FolderOf(s);
}

} // namespace

/////////////////////////////////////////////////////////////////////////////
// CQUOutputLogEdit

CQUOutputLogEdit::CQUOutputLogEdit() : m_strActiveFolder("/"), m_wViewMode(ScopeFolder) {}

int CQUOutputLogEdit::FindNextHeader(const CString& strText, int nPos)
{
    int nLength = strText.GetLength();
    int p = nPos < 0 ? 0 : nPos;
    while (p < nLength) {
        int nOpen = strText.Find('[', p);
        if (nOpen < 0)
            return -1;
        int nLineEnd = strText.Find('\n', nOpen);
        if (nOpen == 0 || strText[nOpen - 1] == '\n') {
            int nCR = strText.Find('\r', nOpen);
            if (nCR > nOpen && (nLineEnd < 0 || nCR < nLineEnd) && strText[nCR - 1] == ']')
                return nOpen;
        }
        if (nLineEnd < 0)
            return -1;
        p = nLineEnd + 1;
    }
    return -1;
}

std::vector<CQUOutputLogEdit::Entry> CQUOutputLogEdit::GetEntries(const CString& strText)
{
    std::vector<Entry> entries;
    int nStart = FindNextHeader(strText, 0);
    while (nStart >= 0) {
        int nNext = FindNextHeader(strText, nStart + 1);
        int nEnd = nNext >= 0 ? nNext : strText.GetLength();
        entries.push_back({nStart, nEnd - nStart});
        nStart = nNext;
    }
    return entries;
}

CString CQUOutputLogEdit::QuotedPart(const CString& strEntry)
{
    CString strHeader = HeaderLine(strEntry);
    int nFirst = strHeader.Find('"');
    int nLast = strHeader.ReverseFind('"');
    if (nFirst < 0 || nLast <= nFirst)
        return CString();
    return strHeader.Mid(nFirst + 1, nLast - nFirst - 1);
}

BOOL CQUOutputLogEdit::HeaderFolder(const CString& strEntry, CString& strFolder)
{
    CString strQuoted = QuotedPart(strEntry);
    if (strQuoted.Find('/') < 0)
        return FALSE;
    strFolder = FolderOf(strQuoted);
    return TRUE;
}

double CQUOutputLogEdit::DateNumber(const CString& strEntry)
{
    // The number follows the quoted path, so parentheses in folder or window names are
    // not taken for it.
    CString strHeader = HeaderLine(strEntry);
    int nFrom = strHeader.ReverseFind('"');
    int nOpen = strHeader.Find('(', nFrom < 0 ? 0 : nFrom);
    int nClose = nOpen >= 0 ? strHeader.Find(')', nOpen) : -1;
    if (nOpen < 0 || nClose < 0)
        return 0;
    return atof(strHeader.Mid(nOpen + 1, nClose - nOpen - 1));
}

BOOL CQUOutputLogEdit::PassesScope(int nCode, const CString& strFilterPath, const CString& strEntry)
{
    switch (nCode) {
    case ScopeWindow:
        return QuotedPart(strEntry).CompareNoCase(strFilterPath) == 0 && strEntry.Find('"') >= 0;
    case ScopeFolder:
    case ScopeSubfolders: {
        CString strFolder;
        if (strFilterPath.Find('/') < 0 || !HeaderFolder(strEntry, strFolder))
            return FALSE;
        CString strFilterFolder = FolderOf(strFilterPath);
        return nCode == ScopeFolder ? strFolder.CompareNoCase(strFilterFolder) == 0
                                    : StartsWithNoCase(strFolder, strFilterFolder);
    }
    case ScopeAll:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CQUOutputLogEdit::PassesDate(WORD wFlags, double dDate, const CString& strEntry)
{
    if (!(wFlags & (DateOn | DateBefore | DateAfter)))
        return TRUE;
    double d = DateNumber(strEntry);
    return (d == dDate && (wFlags & DateOn)) || (d < dDate && (wFlags & DateBefore)) ||
           (d > dDate && (wFlags & DateAfter));
}

void CQUOutputLogEdit::GetEntryDates(const CString& strText, CStringArray& arrDates)
{
    arrDates.RemoveAll();
    for (const Entry& e : GetEntries(strText)) {
        CString strDate = DateText(DateNumber(strText.Mid(e.nStart, e.nLength)));
        BOOL bKnown = FALSE;
        for (INT_PTR i = 0; i < arrDates.GetSize() && !bKnown; i++)
            bKnown = arrDates[i] == strDate;
        if (!bKnown)
            arrDates.Add(strDate);
    }
}

CString CQUOutputLogEdit::GetDefaultFilterPath()
{
    CString strPath = m_strActiveFolder;
    CMainFrame* pFrame = get_main_frame();
    CChildFrame* pChild = pFrame != nullptr ? pFrame->get_active_childframe(nullptr) : nullptr;
    CQKPage* pPage = pChild != nullptr ? pChild->GetPage() : nullptr;
    if (pPage != nullptr)
        strPath += pPage->GetName().c_str();
    return strPath;
}

void CQUOutputLogEdit::SetViewMode(WORD wMode)
{
    m_wViewMode = wMode;
    UpdateDisplayedText();
}

void CQUOutputLogEdit::SetActiveFolder(LPCTSTR lpszFolder)
{
    m_strActiveFolder = lpszFolder;
    UpdateDisplayedText();
}

void CQUOutputLogEdit::SetAllText(LPCTSTR lpszText)
{
    m_strStored = lpszText != nullptr ? lpszText : "";
    UpdateDisplayedText();
}

void CQUOutputLogEdit::UpdateDisplayedText()
{
    CString strFilter = GetDefaultFilterPath();
    CString strDisplay;
    for (const Entry& e : GetEntries(m_strStored)) {
        CString strEntry = m_strStored.Mid(e.nStart, e.nLength);
        if (PassesScope(m_wViewMode, strFilter, strEntry))
            strDisplay += strEntry;
    }
    if (m_hWnd != nullptr)
        SetWindowText(strDisplay);
    KeepInProject();
}

void CQUOutputLogEdit::KeepInProject()
{
    qkfxGetProject().SetResultsLog((LPCTSTR)m_strStored);
}

void CQUOutputLogEdit::AppendText(LPCTSTR lpszText)
{
    m_strStored += lpszText;
    KeepInProject();
    if (m_hWnd == nullptr)
        return;
    int nEnd = GetWindowTextLength();
    SetSel(nEnd, nEnd);
    ReplaceSel(lpszText);
    SendMessage(EM_SCROLLCARET);
}

void CQUOutputLogEdit::ClearLogs(WORD wMode, double dDate, LPCTSTR lpszPath)
{
    CString strFilter = lpszPath != nullptr ? CString(lpszPath) : GetDefaultFilterPath();
    std::vector<Entry> entries = GetEntries(m_strStored);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        CString strEntry = m_strStored.Mid(it->nStart, it->nLength);
        if (PassesScope(wMode & 0x0F, strFilter, strEntry) && PassesDate(wMode & 0x700, dDate, strEntry))
            m_strStored.Delete(it->nStart, it->nLength);
    }
    UpdateDisplayedText();
}

BOOL CQUOutputLogEdit::ClearLastEntry()
{
    CString strFilter = GetDefaultFilterPath();
    std::vector<Entry> entries = GetEntries(m_strStored);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        CString strEntry = m_strStored.Mid(it->nStart, it->nLength);
        if (PassesScope(m_wViewMode, strFilter, strEntry)) {
            m_strLastCleared = strEntry;
            m_strStored.Delete(it->nStart, it->nLength);
            UpdateDisplayedText();
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CQUOutputLogEdit::RestoreLastCleared()
{
    if (m_strLastCleared.IsEmpty())
        return FALSE;
    m_strStored += m_strLastCleared;
    m_strLastCleared.Empty();
    UpdateDisplayedText();
    return TRUE;
}

template <class Fn>
void CQUOutputLogEdit::RewriteHeaders(Fn fn)
{
    std::vector<Entry> entries = GetEntries(m_strStored);
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        CString strHeader = HeaderLine(m_strStored.Mid(it->nStart, it->nLength));
        int nFirst = strHeader.Find('"');
        int nLast = strHeader.ReverseFind('"');
        if (nFirst < 0 || nLast <= nFirst)
            continue;
        CString strQuoted = strHeader.Mid(nFirst + 1, nLast - nFirst - 1);
        if (!fn(strQuoted))
            continue;
        m_strStored.Delete(it->nStart + nFirst + 1, nLast - nFirst - 1);
        m_strStored.Insert(it->nStart + nFirst + 1, strQuoted);
    }
    UpdateDisplayedText();
}

void CQUOutputLogEdit::RenameWindowInHeaders(LPCTSTR lpszOldPath, LPCTSTR lpszNewName)
{
    CString strOld(lpszOldPath), strNew(lpszNewName);
    RewriteHeaders([&](CString& strQuoted) {
        if (strQuoted.CompareNoCase(strOld) != 0)
            return false;
        strQuoted = FolderOf(strQuoted) + strNew;
        return true;
    });
}

void CQUOutputLogEdit::MoveWindowInHeaders(LPCTSTR lpszOldPath, LPCTSTR lpszNewFolder)
{
    CString strOld(lpszOldPath), strFolder(lpszNewFolder);
    RewriteHeaders([&](CString& strQuoted) {
        if (strQuoted.CompareNoCase(strOld) != 0)
            return false;
        int nSlash = strQuoted.ReverseFind('/');
        strQuoted = strFolder + strQuoted.Mid(nSlash + 1);
        return true;
    });
}

void CQUOutputLogEdit::RenameFolderInHeaders(LPCTSTR lpszFolder, LPCTSTR lpszNewName)
{
    BOOL bActive = lpszFolder == nullptr || *lpszFolder == '\0';
    CString strFolder = bActive ? m_strActiveFolder : CString(lpszFolder);
    // The root has no name of its own to change.
    if (strFolder.GetLength() < 2)
        return;
    CString strNewFolder = ParentFolder(strFolder) + lpszNewName + "/";
    RewriteHeaders([&](CString& strQuoted) {
        if (strQuoted.Find('/') < 0 || !StartsWithNoCase(FolderOf(strQuoted), strFolder))
            return false;
        strQuoted = strNewFolder + strQuoted.Mid(strFolder.GetLength());
        return true;
    });
    if (bActive) {
        m_strActiveFolder = strNewFolder;
        UpdateDisplayedText();
    }
}

void CQUOutputLogEdit::MoveFolderInHeaders(LPCTSTR lpszFolder, LPCTSTR lpszNewParent)
{
    CString strFolder(lpszFolder), strNewParent(lpszNewParent);
    CString strOldParent = ParentFolder(strFolder);
    if (strFolder.GetLength() < 2)
        return;
    RewriteHeaders([&](CString& strQuoted) {
        if (strQuoted.Find('/') < 0 || !StartsWithNoCase(FolderOf(strQuoted), strFolder))
            return false;
        strQuoted = strNewParent + strQuoted.Mid(strOldParent.GetLength());
        return true;
    });
}

void CQUOutputLogEdit::PrefixHeaders(LPCTSTR lpszFolder)
{
    CString strPrefix(lpszFolder);
    if (!strPrefix.IsEmpty() && strPrefix[strPrefix.GetLength() - 1] == '/')
        strPrefix = strPrefix.Left(strPrefix.GetLength() - 1);
    RewriteHeaders([&](CString& strQuoted) {
        strQuoted = strPrefix + strQuoted;
        return true;
    });
}

/////////////////////////////////////////////////////////////////////////////
// CQUOutputLogDialog

CQUOutputLogDialog::CQUOutputLogDialog(CQUOutputLogEdit* pEdit, CWnd* pParent)
    : CDialog(IDD_CLEAR_RESULTS_LOG, pParent), m_pEdit(pEdit)
{
}

double CQUOutputLogDialog::DateFromText(const CString& strText)
{
    return DateFromTextOf(strText);
}

BOOL CQUOutputLogDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    CheckRadioButton(IDC_CL_ACTIVE_WINDOW, IDC_CL_ALL, IDC_CL_ACTIVE_WINDOW);
    CheckDlgButton(IDC_CL_ON, BST_CHECKED);
    CString strText;
    m_pEdit->GetAllText(strText);
    CStringArray dates;
    CQUOutputLogEdit::GetEntryDates(strText, dates);
    CWnd* pCombo = GetDlgItem(IDC_CL_DATES);
    for (INT_PTR i = 0; i < dates.GetSize(); i++)
        pCombo->SendMessage(CB_ADDSTRING, 0, (LPARAM)(LPCTSTR)dates[i]);
    pCombo->SendMessage(CB_SETCURSEL, dates.GetSize() - 1);
    return TRUE;
}

void CQUOutputLogDialog::OnOK()
{
    WORD wMode = 0;
    for (int nID = IDC_CL_ACTIVE_WINDOW; nID <= IDC_CL_ALL; nID++)
        if (IsDlgButtonChecked(nID))
            wMode = (WORD)(nID - IDC_CL_ACTIVE_WINDOW + 1);
    if (IsDlgButtonChecked(IDC_CL_BEFORE))
        wMode |= CQUOutputLogEdit::DateBefore;
    if (IsDlgButtonChecked(IDC_CL_ON))
        wMode |= CQUOutputLogEdit::DateOn;
    if (IsDlgButtonChecked(IDC_CL_AFTER))
        wMode |= CQUOutputLogEdit::DateAfter;
    CString strDate;
    GetDlgItemText(IDC_CL_DATES, strDate);
    m_pEdit->ClearLogs(wMode, DateFromTextOf(strDate), nullptr);
    EndDialog(IDOK);
}

/////////////////////////////////////////////////////////////////////////////
// CQUOutputLog

IMPLEMENT_DYNAMIC(CQUOutputLog, QCResizableControlBar)

CQUOutputLog::CQUOutputLog()
    : m_bFirstShowPending(TRUE), m_nShowState(0), m_bAutoHeader(TRUE), m_bAutoOpen(TRUE), m_nTabSize(-1),
      m_nTabStop(0), m_bWasVisible(FALSE), m_bProjectAppend(FALSE)
{
}

BOOL CQUOutputLog::Init(CFrameWnd* pFrame, UINT nID, DWORD dwDockStyle)
{
    if (!QCResizableControlBar::Init(pFrame, nID, dwDockStyle))
        return FALSE;
    DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL | ES_READONLY | ES_MULTILINE;
    if (!m_edit.CreateEx(WS_EX_STATICEDGE, "EDIT", nullptr, dwStyle, 0, 0, 10, 10, m_hWnd, (HMENU)1))
        return FALSE;
    m_edit.SendMessage(EM_LIMITTEXT, 0, 0);
    m_edit.SendMessage(WM_SETFONT, (WPARAM)::GetStockObject(SYSTEM_FIXED_FONT), FALSE);
    // The bar was docked and sized before the edit existed: it gets its room now, not at
    // the next size change, which may never come.
    FitEdit();
    return TRUE;
}

void CQUOutputLog::FitEdit()
{
    if (m_edit.m_hWnd == nullptr)
        return;
    CRect rect;
    GetClientRect(&rect);
    rect.DeflateRect(2, 2);
    m_edit.MoveWindow(&rect);
}

CString CQUOutputLog::MakeHeader(LPCTSTR lpszPath)
{
    SYSTEMTIME st;
    double dDays = DaysNow(&st);
    CString strTime;
    strTime.Format("%s %02d:%02d:%02d", (LPCTSTR)DateText(dDays), st.wHour, st.wMinute, st.wSecond);
    CString strHeader;
    strHeader.Format("[%s \"%s\" (%d)]\r\n", (LPCTSTR)strTime, lpszPath, (int)floor(dDays));
    return strHeader;
}

BOOL CQUOutputLog::get_explorer_window_path_name(CQKPage* pPage, CString& strPath)
{
    if (pPage != nullptr)
        strPath = CString(pPage->GetFolder()->GetPath().c_str()) + pPage->GetName().c_str();
    return TRUE;
}

BOOL CQUOutputLog::AppendLog(LPCTSTR lpszText)
{
    m_edit.AppendText(lpszText != nullptr ? lpszText : "");
    return TRUE;
}

BOOL CQUOutputLog::AppendString(LPCTSTR lpszText, CQKPage* pPage)
{
    if (m_bAutoHeader)
        AppendHeader(pPage);
    return AppendLog(lpszText);
}

BOOL CQUOutputLog::AppendHeader(CQKPage* pPage)
{
    m_bAutoHeader = FALSE;
    if (m_hWnd != nullptr && !IsVisible() && m_bAutoOpen) {
        CMainFrame* pFrame = get_main_frame();
        if (pFrame != nullptr)
            pFrame->OutputLogToggle();
    }
    CString strPath;
    get_explorer_window_path_name(pPage, strPath);
    return AppendLog(MakeHeader(strPath));
}

BOOL CQUOutputLog::EnableAutoHeader(int nEnable)
{
    m_bAutoHeader = nEnable;
    return TRUE;
}

BOOL CQUOutputLog::SetTabSize(int nTab)
{
    if (nTab == -1) {
        QKSysMethodNumeric& numeric = qkfxGetQrxSystem().GetRefNumeric();
        int nDigits = numeric.GetNumDecDigits();
        int nUpper = numeric.GetUpperThreshold();
        nTab = nUpper < 7 ? nDigits + 9 : nDigits + nUpper + 3;
    }
    m_nTabSize = nTab;
    // Tab stops are in dialog units: the fixed font's average width in quarters of the
    // dialog base unit.
    HDC hdc = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hdc, ::GetStockObject(SYSTEM_FIXED_FONT));
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(hdc, &tm);
    ::SelectObject(hdc, hOld);
    ::ReleaseDC(nullptr, hdc);
    int nBase = LOWORD(::GetDialogBaseUnits());
    m_nTabStop = nTab * (nBase > 0 ? tm.tmAveCharWidth * 4 / nBase : 4);
    if (m_edit.m_hWnd == nullptr)
        return FALSE;
    return (BOOL)m_edit.SendMessage(EM_SETTABSTOPS, 1, (LPARAM)&m_nTabStop);
}

BOOL CQUOutputLog::GetText(CString& strText)
{
    m_edit.GetWindowText(strText);
    return TRUE;
}

BOOL CQUOutputLog::IsSetShow(int nShow)
{
    if (nShow) {
        m_bWasVisible = IsVisible();
        return TRUE;
    }
    return !m_bWasVisible && IsFloating();
}

void CQUOutputLog::SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame)
{
    // The bar is shown at its first activation, not by the restore.
    m_nShowState = pInfo->m_bVisible;
    pInfo->m_bVisible = FALSE;
    pInfo->m_dwStyle |= CBRS_ALIGN_ANY;
    QCResizableControlBar::SetBarInfo(pInfo, pFrame);
}

BOOL CQUOutputLog::OnFirstActivate()
{
    if (!m_bFirstShowPending)
        return TRUE;
    m_bFirstShowPending = FALSE;
    if (IsFloating())
        ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED);
    if (m_pFrame != nullptr)
        m_pFrame->ShowControlBar(this, m_nShowState, TRUE);
    return TRUE;
}

BOOL CQUOutputLog::HeaderWindowRename(CQKPage* pPage, LPCTSTR lpszNewName)
{
    if (pPage == nullptr)
        return FALSE;
    CString strOld;
    get_explorer_window_path_name(pPage, strOld);
    m_edit.RenameWindowInHeaders(strOld, lpszNewName);
    return TRUE;
}

BOOL CQUOutputLog::HeaderWindowDelete(LPCTSTR lpszPath)
{
    m_edit.ClearLogs(CQUOutputLogEdit::ScopeWindow, 0, lpszPath);
    return TRUE;
}

BOOL CQUOutputLog::HeaderActiveFolderRename(LPCTSTR lpszNewName)
{
    m_edit.RenameFolderInHeaders("", lpszNewName);
    return TRUE;
}

BOOL CQUOutputLog::HeaderFolderDelete(LPCTSTR lpszFolderPath)
{
    m_edit.ClearLogs(CQUOutputLogEdit::ScopeSubfolders, 0, lpszFolderPath);
    return TRUE;
}

BOOL CQUOutputLog::EnableProjectAppend(int nEnable)
{
    CString strText;
    m_edit.GetAllText(strText);
    if (nEnable) {
        m_strStash = strText;
        m_bProjectAppend = TRUE;
        m_edit.SetAllText("");
    } else if (m_bProjectAppend) {
        m_edit.SetAllText(m_strStash + strText);
        m_strStash.Empty();
        m_bProjectAppend = FALSE;
    }
    return TRUE;
}

BOOL CQUOutputLog::KernelMessage(WORD wCode, LPARAM a, LPARAM b)
{
    switch (wCode) {
    case 0:
        m_edit.SetAllText((LPCTSTR)b);
        return TRUE;
    case 4:
        return EnableProjectAppend((int)b);
    case 4097:
        SetTabSize(m_nTabSize);
        return AppendHeader((CQKPage*)a);
    case 4098:
        AppendString("\r\n", nullptr);
        m_bAutoHeader = TRUE;
        return TRUE;
    case 4099:
        return AppendString((LPCTSTR)b, (CQKPage*)a);
    case 4100:
        return HeaderWindowRename((CQKPage*)a, (LPCTSTR)b);
    case 1:
    case 2:
    case 3: {
        // Sent before the window or folder moves or is renamed: the paths are the old ones.
        CMainFrame* pFrame = get_main_frame();
        CQKTreeExplorer* pTree = pFrame != nullptr ? pFrame->GetTreeExplorer() : nullptr;
        if (pTree == nullptr)
            return FALSE;
        if (wCode == 1) {
            CString strOld;
            if (a == 0 || !get_explorer_window_path_name((CQKPage*)a, strOld))
                return FALSE;
            m_edit.MoveWindowInHeaders(strOld, pTree->CreatePathString((HTREEITEM)b, 0).c_str());
        } else if (wCode == 2) {
            m_edit.RenameFolderInHeaders(pTree->CreatePathString((HTREEITEM)a, 0).c_str(), (LPCTSTR)b);
        } else {
            m_edit.MoveFolderInHeaders(pTree->CreatePathString((HTREEITEM)a, 0).c_str(),
                                       pTree->CreatePathString((HTREEITEM)b, 0).c_str());
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

void CQUOutputLog::ShowContextMenu(CPoint point)
{
    CRect rect;
    GetWindowRect(&rect);
    if (!rect.PtInRect(point))
        point = rect.CenterPoint();
    CMenu menu;
    if (!menu.LoadMenu(IDM_RESULTS_LOG))
        return;
    HMENU hPopup = ::GetSubMenu(menu.m_hMenu, 0);
    int nStart = 0, nEnd = 0;
    m_edit.GetSel(nStart, nEnd);
    int nLength = m_edit.GetWindowTextLength();
    ::EnableMenuItem(hPopup, ID_LOG_COPY, nStart != nEnd ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(hPopup, ID_LOG_SELECT_ALL, (nStart == 0 && nEnd == nLength) ? MF_GRAYED : MF_ENABLED);
    ::EnableMenuItem(hPopup, ID_LOG_CLEAR_LAST, nLength > 0 ? MF_ENABLED : MF_GRAYED);
    ::EnableMenuItem(hPopup, ID_LOG_RESTORE_LAST, m_edit.GetLastCleared().IsEmpty() ? MF_GRAYED : MF_ENABLED);
    UINT nView = m_edit.GetViewMode() == CQUOutputLogEdit::ScopeAll      ? ID_LOG_VIEW_ALL
                 : m_edit.GetViewMode() == CQUOutputLogEdit::ScopeFolder ? ID_LOG_VIEW_FOLDER
                                                                         : ID_LOG_VIEW_SUBFOLDERS;
    ::CheckMenuRadioItem(hPopup, ID_LOG_VIEW_ALL, ID_LOG_VIEW_SUBFOLDERS, nView, MF_BYCOMMAND);
    ::CheckMenuItem(hPopup, ID_LOG_AUTO_OPEN, m_bAutoOpen ? MF_CHECKED : MF_UNCHECKED);
    ::TrackPopupMenu(hPopup, TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
}

BOOL CQUOutputLog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case ID_LOG_COPY:
        m_edit.Copy();
        return TRUE;
    case ID_LOG_SELECT_ALL:
        m_edit.SetSel(0, -1);
        return TRUE;
    case ID_LOG_PRINT: {
        CString strTitle;
        GetWindowText(strTitle);
        qkuPrintFromEditHwnd(m_edit.m_hWnd, 1, strTitle, m_nTabSize > 0 ? m_nTabSize : 15, 0, 75);
        return TRUE;
    }
    case ID_LOG_CLEAR: {
        CQUOutputLogDialog dlg(&m_edit, this);
        dlg.DoModal();
        return TRUE;
    }
    case ID_LOG_CLEAR_LAST:
        m_edit.ClearLastEntry();
        return TRUE;
    case ID_LOG_RESTORE_LAST:
        m_edit.RestoreLastCleared();
        return TRUE;
    case ID_LOG_VIEW_ALL:
        m_edit.SetViewMode(CQUOutputLogEdit::ScopeAll);
        return TRUE;
    case ID_LOG_VIEW_FOLDER:
        m_edit.SetViewMode(CQUOutputLogEdit::ScopeFolder);
        return TRUE;
    case ID_LOG_VIEW_SUBFOLDERS:
        m_edit.SetViewMode(CQUOutputLogEdit::ScopeSubfolders);
        return TRUE;
    case ID_LOG_AUTO_OPEN:
        m_bAutoOpen = !m_bAutoOpen;
        return TRUE;
    }
    return QCResizableControlBar::OnCommand(wParam, lParam);
}

LRESULT CQUOutputLog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        FitEdit();
        break;
    case WM_CONTEXTMENU:
        ShowContextMenu(CPoint((short)LOWORD(lParam), (short)HIWORD(lParam)));
        return 0;
    case WM_CTLCOLORSTATIC:
        // Read-only, the log still reads on the window colour.
        if ((HWND)lParam == m_edit.m_hWnd) {
            ::SetBkColor((HDC)wParam, ::GetSysColor(COLOR_WINDOW));
            return (LRESULT)::GetSysColorBrush(COLOR_WINDOW);
        }
        break;
    }
    return QCResizableControlBar::WindowProc(message, wParam, lParam);
}
