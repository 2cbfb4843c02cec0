// Document templates of the six window kinds.
//
// Beyond the framework's work, a template lets the kernel make a window for a page it
// has made itself ("internal" creation): while OnInternalNewPage runs, the page is
// remembered here and the new document attaches it instead of asking the kernel for a
// new one. Templates also carry their kind's drop-down menu tag map, find documents by
// title or page name and make unique titles.
#pragma once

#include <afxwin.h>

#include "QUExport.h"

class CQKPage;
class CQUDDMenuTagMap;

// Template ids: the window kinds as the user interface numbers them.
enum {
    QU_TEMPLATE_WKS = 0,
    QU_TEMPLATE_GRAPH = 1,
    QU_TEMPLATE_MATRIX = 2,
    QU_TEMPLATE_EXCEL = 3,
    QU_TEMPLATE_LAYOUT = 4,
    QU_TEMPLATE_NOTES = 5,
};

class QU_API CQrxMultiDocTemplate : public CMultiDocTemplate {
    DECLARE_DYNAMIC(CQrxMultiDocTemplate)
public:
    CQrxMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                         CRuntimeClass* pViewClass);
    ~CQrxMultiDocTemplate() override;

    void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE) override;
    void SetDefaultTitle(CDocument* pDocument) override;

    virtual int OnPrinterChanged(DWORD flags);
    virtual int GetQuorixTemplateExtension(CString& extension);
    virtual int OnInternalSetPathFileName(const char* path, DWORD value);
    virtual int get_template_id();
    virtual CDocument* TryCreateDocument(CQKPage* page, BOOL bVisible);
    // The kernel made `page` itself and wants a window for it. 0 when no window came,
    // and then nothing of the attempt is left behind.
    virtual int OnInternalNewPage(CQKPage* page, BOOL bVisible);
    virtual CQUDDMenuTagMap* CreateQUDDMenuTagMapObject();

    void Init();
    CQUDDMenuTagMap* GetMenuTagMap() const { return m_pTagMap; }
    int GetNumDocs() const;
    CDocument* FindDocument(const char* title) const;
    CDocument* FindDocumentByPageName(const char* name) const;
    // A title no other document of the template has: the base (or the document name
    // followed by "1"), with a count appended while another document holds it.
    int CreateNewDocTitle(CString& out, CDocument* doc, const char* base, int* pChanged);
    int SynchronizeDocNamesWithPageNames();
    int SetEmbeddedDirty(BOOL flag);
    // The menu comes again from the resources; `old` receives the menu it replaces, which
    // the caller destroys once every frame has the new one.
    int ReloadCleanMenu(HMENU& old);

    void set_doc_being_created_invisible(BOOL flag) { m_bCreatingInvisible = flag ? 1 : 0; }
    int doc_being_created_invisible() const { return m_bCreatingInvisible; }
    BOOL doc_being_created_internally() const { return m_pInternalPage != nullptr; }
    CQKPage* get_new_internally_created_page() const { return m_pInternalPage; }

protected:
    CQKPage* m_pInternalPage = nullptr;
    CQUDDMenuTagMap* m_pTagMap = nullptr;
    int m_bCreatingInvisible = 0;
};

class QU_API CWorksheetMultiDocTemplate : public CQrxMultiDocTemplate {
    DECLARE_DYNAMIC(CWorksheetMultiDocTemplate)
public:
    using CQrxMultiDocTemplate::CQrxMultiDocTemplate;
    int get_template_id() override { return QU_TEMPLATE_WKS; }
    CQUDDMenuTagMap* CreateQUDDMenuTagMapObject() override;
};

class QU_API CGraphMultiDocTemplate : public CQrxMultiDocTemplate {
    DECLARE_DYNAMIC(CGraphMultiDocTemplate)
public:
    using CQrxMultiDocTemplate::CQrxMultiDocTemplate;
    int get_template_id() override { return QU_TEMPLATE_GRAPH; }
    // A graph document waiting for the project an OLE link opens takes the first page
    // the kernel makes.
    CDocument* TryCreateDocument(CQKPage* page, BOOL bVisible) override;
    CQUDDMenuTagMap* CreateQUDDMenuTagMapObject() override;
};

class QU_API CMatrixMultiDocTemplate : public CQrxMultiDocTemplate {
    DECLARE_DYNAMIC(CMatrixMultiDocTemplate)
public:
    using CQrxMultiDocTemplate::CQrxMultiDocTemplate;
    int get_template_id() override { return QU_TEMPLATE_MATRIX; }
    CQUDDMenuTagMap* CreateQUDDMenuTagMapObject() override;
};

// The Excel, layout and notes kinds register no shell file types of their own: while the
// application registers them, these templates answer no document strings.
class QU_API CxlMultiDocTemplate : public CQrxMultiDocTemplate {
    DECLARE_DYNAMIC(CxlMultiDocTemplate)
public:
    using CQrxMultiDocTemplate::CQrxMultiDocTemplate;
    int get_template_id() override { return QU_TEMPLATE_EXCEL; }
    BOOL GetDocString(CString& rString, DocStringIndex index) const override;
    void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE) override;
    CDocument* TryCreateDocument(CQKPage* page, BOOL bVisible) override;
    CQUDDMenuTagMap* CreateQUDDMenuTagMapObject() override;

    int SetOpenAsReadOnly(BOOL flag) { m_bReadOnly = flag ? 1 : 0; return 1; }
    int OpenAsReadOnly() const { return m_bReadOnly; }
    // Whether a workbook of that file is open (compared regardless of case).
    BOOL IsFileNameAmongOpened(const char* path) const;

private:
    int m_bReadOnly = 0;
};

class QU_API CLayoutMultiDocTemplate : public CQrxMultiDocTemplate {
    DECLARE_DYNAMIC(CLayoutMultiDocTemplate)
public:
    using CQrxMultiDocTemplate::CQrxMultiDocTemplate;
    int get_template_id() override { return QU_TEMPLATE_LAYOUT; }
    BOOL GetDocString(CString& rString, DocStringIndex index) const override;
    CQUDDMenuTagMap* CreateQUDDMenuTagMapObject() override;
};

class QU_API CNotesMultiDocTemplate : public CQrxMultiDocTemplate {
    DECLARE_DYNAMIC(CNotesMultiDocTemplate)
public:
    using CQrxMultiDocTemplate::CQrxMultiDocTemplate;
    int get_template_id() override { return QU_TEMPLATE_NOTES; }
    BOOL GetDocString(CString& rString, DocStringIndex index) const override;
    void SetDefaultTitle(CDocument* pDocument) override;
    CQUDDMenuTagMap* CreateQUDDMenuTagMapObject() override;

    CDocument* FindNotesWindow(const char* name) const;
    // base, or its stem with the next number while a notes window or notes page holds
    // the name ("Notes" -> "Notes1" -> "Notes2").
    int CreateNewWindowName(CString& out, const char* base, CQKPage* page);
    // Closes every notes window; 0 when one of them refused to close.
    int CloseAllWindows(DWORD flags);
};
