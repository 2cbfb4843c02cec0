// The document behind every page window.
//
// The document owns no data: the data lives in one kernel page, which the document
// creates or receives from its template, connects to its first frame and view, names
// after its title and destroys when it closes. Titles follow the page name, the page's
// changes drive the modified flag, and the kernel may install a menu of its own for the
// page. Each window kind's document changes little more than the page type it asks for.
// The document is also an OLE server document: a container embeds the page (its window
// file in the object's storage) and shows the kernel's picture of it.
#pragma once

#include <afxole.h>

#include "QUExport.h"

class CQKPage;
class CQrxMultiDocTemplate;

class QU_API CQuorixDoc : public COleServerDoc {
    DECLARE_DYNCREATE(CQuorixDoc)
public:
    CQuorixDoc();
    ~CQuorixDoc() override;

    // The document that has just opened a project file; an OLE link that opened the
    // project takes its page from the first one the kernel makes.
    static CQuorixDoc* pQrxDocLinkingProject;

    void SetTitle(LPCTSTR lpszTitle) override;
    BOOL IsModified() override { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) override { m_bModified = bModified; }
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCTSTR lpszPathName) override;
    void OnCloseDocument() override;
    // The kernel's closing query replaces the framework's save prompt for page windows.
    BOOL SaveModified() override;
    HMENU GetDefaultMenu() override;
    // The OLE storage of an embedded or linked page: the page's window file.
    void Serialize(CArchive& ar) override;
    BOOL OnUpdateDocument() override;
    COleServerItem* OnGetEmbeddedItem() override;
    void OnDeactivateUI(BOOL bUndoable) override;
    void SavePage(CArchive& ar);
    BOOL HasClientSiteConnection() const { return GetClientSite() != nullptr; }

    // The kernel page type the document asks for: QKPageType.
    virtual int get_desired_page_type() { return 0; }
    virtual int OnInternalSetPathFileName(const char* path, unsigned long value);

    CQKPage* GetPage() const { return m_pPage; }
    CQKPage* GetValidPage() const { return m_pPage; }
    CQrxMultiDocTemplate* get_doc_template() const;
    CView* get_first_view() const;
    CFrameWnd* get_first_child_frame() const;

    int ConnectPage(CQKPage* page);
    CQKPage* DisconnectPage();
    void SetFrameAndDrawingWindows();
    // The kernel destroyed the page: the window goes without touching it again.
    void on_page_destroy_internally();
    int OnInternalActivate(BOOL bRestore);
    void UpdateOnChange(unsigned short change);
    // Sets the title and, with bRenamePage, names the page after it (without the
    // extension); a name the kernel changes comes back as the title.
    void SetTitle(const char* title, BOOL bRenamePage);
    void SetNiceTitle(BOOL bPageName);
    int SetUniqueTitle(const char* base, int* out);
    int UpdateTitleFromPage();

    int OnSetPagespecificMenu(HMENU menu, BOOL bUpdate);
    int OnClearPagespecificMenu(BOOL bUpdate) { return DestroyPageSpecificMenu(bUpdate); }
    int DestroyPageSpecificMenu(BOOL bUpdate);
    int UpdateFrameMenu();

    BOOL is_ole_first_new();
    BOOL is_being_created_internally() const;
    BOOL is_being_created_invisible() const;
    CQKPage* get_new_internally_created_page() const;

    DWORD test_status(DWORD mask) const { return m_status & mask; }
    void set_status(DWORD mask) { m_status |= mask; }
    void reset_status(DWORD mask) { m_status &= ~mask; }
    int is_in_drawing() const { return m_bInDrawing; }
    void set_in_drawing(int flag) { m_bInDrawing = flag; }
    void SetShutDownOnFinalRelease(BOOL flag) { m_bShutDownOnFinalRelease = flag; }
    BOOL ShutDownOnFinalRelease() const { return m_bShutDownOnFinalRelease; }

protected:
    DWORD m_status = 0;
    int m_bInDrawing = 0;
    CQKPage* m_pPage = nullptr;
    int m_bShutDownOnFinalRelease = 0;
    HMENU m_hPageMenu = nullptr;
    DECLARE_DISPATCH_MAP()
};
