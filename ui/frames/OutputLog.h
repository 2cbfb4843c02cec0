// The Results Log: a docking bar holding every text result of the analyses, each run under
// a header naming the time, the window's folder and the window. The whole log is kept as
// one text; the display shows the entries of the chosen scope.
//
// A header is a line "[<date and time> "<folder path><window name>" (<day number>)]\r\n"
// that begins at the start of the text or after a line feed; an entry is a header and the
// text after it up to the next header.
#pragma once

#include <afxwin.h>

#include <vector>

#include "FramesApi.h"
#include "ResizableBar.h"

class CQKPage;

class QXFRAMES_API CQUOutputLogEdit : public CEdit
{
public:
    enum { ScopeWindow = 1, ScopeFolder = 2, ScopeSubfolders = 3, ScopeAll = 4 };
    enum { DateOn = 0x100, DateBefore = 0x200, DateAfter = 0x400 };

    struct Entry
    {
        int nStart;
        int nLength;
    };

    CQUOutputLogEdit();

    void SetViewMode(WORD wMode);
    WORD GetViewMode() const { return m_wViewMode; }
    void SetActiveFolder(LPCTSTR lpszFolder);
    const CString& GetActiveFolder() const { return m_strActiveFolder; }
    void SetAllText(LPCTSTR lpszText);
    void GetAllText(CString& strText) const { strText = m_strStored; }
    // Deletes the entries that pass the scope (low four bits of wMode) and the date test
    // (bits 0x100 to 0x400) for the path (null: the default filter path).
    void ClearLogs(WORD wMode, double dDate, LPCTSTR lpszPath);
    void UpdateDisplayedText();
    // Appends to the stored text and to the end of the display, whatever the scope.
    void AppendText(LPCTSTR lpszText);
    BOOL ClearLastEntry();
    BOOL RestoreLastCleared();
    const CString& GetLastCleared() const { return m_strLastCleared; }

    // The active folder followed by the name of the active window's page.
    virtual CString GetDefaultFilterPath();

    // Header rewriting over paths: windows renamed or moved, folders renamed or moved.
    void RenameWindowInHeaders(LPCTSTR lpszOldPath, LPCTSTR lpszNewName);
    void MoveWindowInHeaders(LPCTSTR lpszOldPath, LPCTSTR lpszNewFolder);
    void RenameFolderInHeaders(LPCTSTR lpszFolder, LPCTSTR lpszNewName);
    void MoveFolderInHeaders(LPCTSTR lpszFolder, LPCTSTR lpszNewParent);
    void PrefixHeaders(LPCTSTR lpszFolder);

    // Parsing
    static int FindNextHeader(const CString& strText, int nPos);
    static std::vector<Entry> GetEntries(const CString& strText);
    static CString QuotedPart(const CString& strEntry);
    static BOOL HeaderFolder(const CString& strEntry, CString& strFolder);
    static double DateNumber(const CString& strEntry);
    static BOOL PassesScope(int nCode, const CString& strFilterPath, const CString& strEntry);
    static BOOL PassesDate(WORD wFlags, double dDate, const CString& strEntry);
    // The distinct dates of the entries, in log order, as the clearing dialog lists them.
    static void GetEntryDates(const CString& strText, CStringArray& arrDates);

protected:
    CString m_strStored;
    CString m_strActiveFolder;
    CString m_strLastCleared;
    WORD m_wViewMode;

    // Applies fn to the quoted part of every header (fn answers whether it changed it).
    template <class Fn>
    void RewriteHeaders(Fn fn);
};

// "Clear Results Log": the scope, a date of the log's entries and whether to clear before,
// on or after it.
class QXFRAMES_API CQUOutputLogDialog : public CDialog
{
public:
    explicit CQUOutputLogDialog(CQUOutputLogEdit* pEdit, CWnd* pParent = nullptr);
    // The day number of a date as the date list shows it; -1 for no such date.
    static double DateFromText(const CString& strText);

protected:
    CQUOutputLogEdit* m_pEdit;
    BOOL OnInitDialog() override;
    void OnOK() override;
};

class QXFRAMES_API CQUOutputLog : public QCResizableControlBar
{
    DECLARE_DYNAMIC(CQUOutputLog)
public:
    CQUOutputLog();

    BOOL Init(CFrameWnd* pFrame, UINT nID, DWORD dwDockStyle);
    BOOL AppendLog(LPCTSTR lpszText);
    BOOL AppendString(LPCTSTR lpszText, CQKPage* pPage);
    BOOL AppendHeader(CQKPage* pPage);
    BOOL EnableAutoHeader(int nEnable);
    BOOL SetTabSize(int nTab);
    BOOL GetText(CString& strText);
    BOOL IsSetShow(int nShow);
    void SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrame) override;
    BOOL OnFirstActivate();
    BOOL KernelMessage(WORD wCode, LPARAM a, LPARAM b);
    BOOL HeaderWindowRename(CQKPage* pPage, LPCTSTR lpszNewName);
    BOOL HeaderWindowDelete(LPCTSTR lpszPath);
    BOOL HeaderActiveFolderRename(LPCTSTR lpszNewName);
    BOOL HeaderFolderDelete(LPCTSTR lpszFolderPath);
    BOOL EnableProjectAppend(int nEnable);
    BOOL get_explorer_window_path_name(CQKPage* pPage, CString& strPath);

    CQUOutputLogEdit& GetEdit() { return m_edit; }
    BOOL GetAutoOpen() const { return m_bAutoOpen; }
    void SetAutoOpen(BOOL b) { m_bAutoOpen = b; }
    int GetTabStop() const { return m_nTabStop; }
    // The header text for a page at the current time.
    static CString MakeHeader(LPCTSTR lpszPath);

protected:
    CQUOutputLogEdit m_edit;
    BOOL m_bFirstShowPending;
    int m_nShowState;
    BOOL m_bAutoHeader;
    BOOL m_bAutoOpen;
    int m_nTabSize;
    int m_nTabStop;
    BOOL m_bWasVisible;
    BOOL m_bProjectAppend;
    CString m_strStash;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void ShowContextMenu(CPoint point);
    // The edit fills the bar, less a 2-pixel margin.
    void FitEdit();
};
