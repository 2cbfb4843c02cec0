// Property sheets over the system's property sheet, and the common dialogs.
#pragma once
#include "afxcmn.h"
#include <commdlg.h>
#include <prsht.h>

/////////////////////////////////////////////////////////////////////////////
// Property pages and sheets

class QXAFX_API CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
    virtual ~CPropertyPage();
    void Construct(UINT nIDTemplate, UINT nIDCaption = 0);
    void Construct(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);

    // What the sheet is given for this page; adjust before the page is added.
    PROPSHEETPAGEA m_psp;

    // Enables Apply (TRUE) or, once no page is changed, disables it.
    void SetModified(BOOL bChanged = TRUE);
    void CancelToClose();
    LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);

    // Answers FALSE to keep a page from becoming active.
    virtual BOOL OnSetActive();
    // Answers FALSE to keep the page active (its data did not validate).
    virtual BOOL OnKillActive();
    // Answers FALSE to keep the sheet open; the default calls OnOK.
    virtual BOOL OnApply();
    virtual void OnReset();
    virtual void OnOK() override;
    virtual void OnCancel() override;
    virtual BOOL OnQueryCancel();
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    virtual BOOL OnWizardFinish();
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    CString m_strCaption;
    BOOL m_bFirstSetActive;
    friend class CPropertySheet;
};

class QXAFX_API CPropertySheet : public CWnd
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    virtual ~CPropertySheet();
    void Construct(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    void Construct(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    // What the system is given for the sheet; adjust the flags before it is shown.
    PROPSHEETHEADERA m_psh;

    // Modeless, or, with WS_CHILD in dwStyle, a child window of a dialog. Neither shows
    // the OK, Cancel and Apply buttons.
    virtual BOOL Create(CWnd* pParentWnd = nullptr, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);
    // Answers IDOK or IDCANCEL, the button that closed the sheet, or -1 on failure.
    virtual INT_PTR DoModal();

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const;
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
    CTabCtrl* GetTabControl() const;
    void EndDialog(int nEndID);
    void PressButton(int nButton) { ::SendMessageA(m_hWnd, PSM_PRESSBUTTON, nButton, 0); }
    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }
    void SetWizardButtons(DWORD dwFlags) { ::PostMessageA(m_hWnd, PSM_SETWIZBUTTONS, 0, dwFlags); }
    void SetFinishText(LPCTSTR lpszText) { ::SendMessageA(m_hWnd, PSM_SETFINISHTEXTA, 0, (LPARAM)lpszText); }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL ContinueModal() override;
    // Runs once the system has made the sheet's buttons, tabs and first page.
    virtual BOOL OnInitDialog();

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    // Builds the header's page list for the system from m_pages.
    BOOL BuildPropPageArray();
    void HideStandardButtons();

    CPtrArray m_pages;
    CString m_strCaption;
    CWnd* m_pParentWnd;
    BOOL m_bModeless;
    DWORD m_dwCreateStyle;
    DWORD m_dwCreateExStyle;
    HPROPSHEETPAGE* m_phPages;

    friend int CALLBACK AfxPropSheetCallback(HWND, UINT, LPARAM);
};

/////////////////////////////////////////////////////////////////////////////
// Common dialogs: modal, over the system's dialogs.

class QXAFX_API CCommonDialog : public CDialog
{
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd);
protected:
    void OnOK() override;
    void OnCancel() override;
    HWND OwnerForModal();
};

class QXAFX_API CFileDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    // The filter is "Text|*.txt|All files|*.*||", as the framework writes filters.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    OPENFILENAMEA m_ofn;

    INT_PTR DoModal() override;
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    // With OFN_ALLOWMULTISELECT: walks the chosen files as full paths.
    POSITION GetStartPosition() const { return (POSITION)m_ofn.lpstrFile; }
    CString GetNextPathName(POSITION& pos) const;

protected:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    char m_szFileTitle[64];
    char m_szFileName[MAX_PATH];
};

// The print and print setup dialog. DoModal shows the system's dialog (with the
// template of m_pd when PD_ENABLEPRINTTEMPLATE is set, the dialog then handled by this
// object's message map); with no printer it answers IDCANCEL.
class QXAFX_API CPrintDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                          PD_NOSELECTION,
                          CWnd* pParentWnd = nullptr);
    PRINTDLGA m_pd;

    INT_PTR DoModal() override;
    // Fills hDevMode and hDevNames with the default printer's, showing nothing.
    BOOL GetDefaults();
    LPDEVMODEA GetDevMode() const;   // locked; null without a printer
    CString GetDriverName() const;
    CString GetDeviceName() const;
    CString GetPortName() const;
    HDC GetPrinterDC() const { return m_pd.hDC; }
    // A DC for the chosen printer, which replaces and owns m_pd.hDC.
    HDC CreatePrinterDC();
    int GetCopies() const;
    int GetFromPage() const { return m_pd.nFromPage; }
    int GetToPage() const { return m_pd.nToPage; }
    BOOL PrintAll() const { return !PrintRange() && !PrintSelection(); }
    BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
    BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
    BOOL PrintCollate() const { return (m_pd.Flags & PD_COLLATE) != 0; }

protected:
    friend UINT_PTR CALLBACK AfxPrintHookProc(HWND, UINT, WPARAM, LPARAM);
};

class QXAFX_API CPageSetupDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CPageSetupDialog)
public:
    explicit CPageSetupDialog(DWORD dwFlags = PSD_MARGINS | PSD_INWININIINTLMEASURE, CWnd* pParentWnd = nullptr);
    PAGESETUPDLGA m_psd;

    INT_PTR DoModal() override;
    LPDEVMODEA GetDevMode() const;
    CString GetDriverName() const;
    CString GetDeviceName() const;
    CString GetPortName() const;
    HDC CreatePrinterDC();
    CSize GetPaperSize() const { return CSize(m_psd.ptPaperSize.x, m_psd.ptPaperSize.y); }
    void GetMargins(LPRECT lpRectMargins, LPRECT lpRectMinMargins) const;
};

// A DC for the printer that DEVNAMES and DEVMODE blocks name; null when there is none.
QXAFX_API HDC AfxCreateDC(HGLOBAL hDevNames, HGLOBAL hDevMode);

class QXAFX_API CColorDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CColorDialog)
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    CHOOSECOLORA m_cc;
    INT_PTR DoModal() override;
    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
    static COLORREF* PASCAL GetSavedCustomColors();
};

class QXAFX_API CFontDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFontDialog)
public:
    explicit CFontDialog(LPLOGFONTA lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);
    CHOOSEFONTA m_cf;
    LOGFONTA m_lf;
    INT_PTR DoModal() override;
    void GetCurrentFont(LPLOGFONTA lplf);
    CString GetFaceName() const { return CString(m_lf.lfFaceName); }
    CString GetStyleName() const { return CString(m_szStyleName); }
    int GetSize() const { return m_cf.iPointSize; }
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetWeight() const { return (int)m_lf.lfWeight; }
    BOOL IsStrikeOut() const { return m_lf.lfStrikeOut != 0; }
    BOOL IsUnderline() const { return m_lf.lfUnderline != 0; }
    BOOL IsBold() const { return m_lf.lfWeight == FW_BOLD; }
    BOOL IsItalic() const { return m_lf.lfItalic != 0; }
protected:
    char m_szStyleName[64];
};
