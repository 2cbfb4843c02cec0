// Notes windows: a plain-text editor over a kernel notes page. The document is the
// framework's rich-edit document kept to plain text (a notes file holds the control's
// text as bytes), the view its rich-edit view; the page keeps the text while the window
// is hidden or the project is saved, and outlives a window that is only hidden.
#pragma once

#include <afxrich.h>

#include <string>
#include <vector>

#include "ChildFrame.h"
#include "QKData.h"
#include "QUExport.h"

class CQUNotesDoc;
class CQUNotesView;

class QU_API CQUNotesPage : public CQKNotesPage {
public:
    CQUNotesPage();
    ~CQUNotesPage() override;
    int GetImageListIndex() override { return 5; }
    int GetClosePrompt() override;
    // Keeps the window's text and selection in the page, then closes the window without
    // destroying the page.
    int OnCloseWnd() override;
    int Minimize() override;
    int Restore() override;
    int Activate() override;
    int Maximize() override;
    CQUNotesDoc* GetDoc() const { return m_doc; }
    // The page takes the window's text, selection and word wrap.
    void TakeFromView(CQUNotesView* view);

private:
    friend class CQUNotesDoc;
    int ShowFrame(int show);
    CQUNotesDoc* m_doc = nullptr;
};

class QU_API CQUNotesDoc : public CRichEditDoc {
    DECLARE_DYNCREATE(CQUNotesDoc)
public:
    CQUNotesDoc();
    ~CQUNotesDoc() override;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    // Plain text only: the file is the control's text.
    void Serialize(CArchive& ar) override;
    // The page takes the text; it is destroyed with the window unless the window was only
    // closed for the page to live on (SetDestroyPageOnClose(0)).
    void OnCloseDocument() override;
    // Notes are kept with the project: closing never asks to save a file.
    BOOL SaveModified() override { return TRUE; }

    CQUNotesPage* GetPage() const { return m_page; }
    CQUNotesView* GetFirstView() const;
    CFrameWnd* GetChildFrame() const;
    void SetDestroyPageOnClose(int destroy) { m_destroyPageOnClose = destroy; }
    int IsDestroyPageOnClose() const { return m_destroyPageOnClose; }
    // Links the page (a new one from the project when null) to this document.
    CQUNotesPage* InitPage(CQUNotesPage* page);
    CQUNotesPage* DetachPage();
    int IsInInitialUpdate() const { return m_initialUpdate; }

private:
    friend class CQUNotesView;
    int m_initialUpdate = 0;
    int m_new = 1;
    int m_destroyPageOnClose = 1;
    CQUNotesPage* m_page = nullptr;
};

class QU_API CQUNotesView : public CRichEditView, public IQUPageView {
    DECLARE_DYNCREATE(CQUNotesView)
public:
    CQUNotesDoc* GetDocument() const { return DYNAMIC_DOWNCAST(CQUNotesDoc, m_pDocument); }
    // Appends text (a script's); the window comes to the front unless it is minimised and
    // asked to stay so, or activate is 0.
    void AppendString(const char* text, BOOL activate);
    // The text changed by the user: the page takes it and the project is modified.
    void OnTextChanged();
    void OnInitialUpdate() override;
    // IQUPageView: the frame asks for the page and the window kind (5, notes).
    CQKPage* GetPage() override;
    int GetWndTemplateId() override { return 5; }
    int m_remainIconized = 0;

    // Printing: the text laid out on the printer's pages inside the notes page margins
    // (twips, the application's), a page at a time.
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    // The number of pages of the last layout.
    int GetPrintedPageCount() const { return m_printedPages; }

    // The page margins this window prints with (twips), the application's notes margins
    // when it was made; Page Setup changes both.
    CRect m_margins;
    // The orientation this window prints in (DEVMODE's dmOrientation: 1 portrait, 2
    // landscape), written into the printer settings while it prints and read back after.
    int GetCachedPrinterOrientation() const { return m_orientation; }
    void SetCachedPrinterOrientation(int orientation) { m_orientation = orientation; }
    // Into and from a DEVMODE block (the application's printer's when null); 0 when there
    // is none.
    int GetCachedPrinterOrientationIntoDevMode(HGLOBAL hDevMode = nullptr);
    int SetCachedPrinterOrientationFromDevMode(HGLOBAL hDevMode = nullptr);
    // Margins in twips as the page setup dialog shows them: thousandths of an inch,
    // rounded to the nearest ten (five rounds up).
    static int TwipsToThousandths(int twips);
    static int ThousandthsToTwips(int thousandths);
    BOOL IsWordWrap() const { return m_nWordWrap == WrapToWindow; }
    void EnableWordWrap(BOOL wrap);
    // The print preview shows the margins as lines; paper does not.
    void DrawMargins(CDC* pDC);

protected:
    // The caption menu's and the main menu's commands on the notes: Save Notes As (57604)
    // through the section File,NotesSaveAs; Print (57607), Print direct (57608, 33053);
    // Hide (32993) keeps the page without a window.
    afx_msg void OnNotesSaveAs();
    afx_msg void OnFilePrintDirectNotes();
    afx_msg void OnHideWindow();
    // The text's context menu (Undo, Cut, Copy, Paste, Clear, Select All, Find, Replace).
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
    afx_msg void OnWordWrap();
    afx_msg void OnUpdateWordWrap(CCmdUI* pCmdUI);
    afx_msg void OnRemainIconized();
    afx_msg void OnUpdateRemainIconized(CCmdUI* pCmdUI);
    afx_msg void OnPageSetup();
    afx_msg void OnPrintPreview();
    DECLARE_MESSAGE_MAP()

private:
    // The page's area of a printer DC inside the notes margins, in its device units.
    CRect PrintArea(CDC* pDC) const;
    std::vector<std::string> m_printLines; // the text as it prints
    CFont m_printFont;
    CRect m_printArea;
    int m_lineHeight = 1, m_linesPerPage = 1, m_printedPages = 0;
    int m_orientation = DMORIENT_PORTRAIT;

public:
    CQUNotesView();
};

// Makes the notes windows the kernel asks for.
class QU_API CQUNotes {
public:
    // A window for the page (a new page when null); the page, or null when no window
    // could be made.
    static CQUNotesPage* CreateNotesWindow(CQUNotesPage* page, BOOL visible);
    // The notes window of that name; null when there is none.
    static CQUNotesDoc* GetNotesDoc(const char* name);
    static int AppendStr(const char* name, const char* text, BOOL activate);
};
