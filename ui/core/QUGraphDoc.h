// The documents of graph and layout windows.
//
// A graph document is the base page document with the graph page type; a layout
// document, with the layout page type. Their server items hand out the page's picture:
// Copy Page puts it on the clipboard with the page's own data and a link, and a container
// that embeds a graph shows it. A graph saved by the kernel is registered in the running
// object table under a moniker of its file (a window file), or of the project file
// composed with an item moniker of the page's name, so that a container's link to it
// binds to the open window; Update Client sends the new picture to linked containers.
#pragma once

#include "QuorixDoc.h"

class QU_API CQUGraphDoc : public CQuorixDoc {
    DECLARE_DYNCREATE(CQUGraphDoc)
public:
    CQUGraphDoc();
    int get_desired_page_type() override { return 1; }
    BOOL OnNewDocument() override { return CQuorixDoc::OnNewDocument() ? 1 : 0; }
    COleServerItem* OnGetEmbeddedItem() override;
    // The program ends with the last reference when a hidden server served a link.
    void OnFinalRelease() override;
    // Called by the graph and layout pages before their window closes: an embedded graph
    // updates its container first.
    virtual int OnBeforeCloseWnd();
    BOOL OnBeforeClosingAllWhenEmbedding();
    // Whether any server item of the document serves a container.
    BOOL CanUpdateClient();
    // The page's picture and data to the clipboard (Edit Copy Page), with a link when the
    // graph has a moniker.
    void CopyPage();

    // ---- linking ----
    void Serialize(CArchive& ar) override { CQuorixDoc::Serialize(ar); }
    // An embedded graph's moniker is its container's; otherwise the moniker of its path.
    LPMONIKER GetMoniker(OLEGETMONIKER nAssign) override;
    // The item a link into a project names: the page of that name, which this document
    // takes over from the window that shows it.
    COleServerItem* OnGetLinkedItem(LPCTSTR lpszItemName) override;
    // Registers the document as running under path when its template has a server
    // factory (TRUE without one); bMessage reports a failure in a message box.
    virtual BOOL RegisterIfServerAttached(const char* path, BOOL bMessage);
    BOOL OnUpdateDocument() override;
    // The kernel saved or opened the page under path.
    int OnInternalSetPathFileName(const char* path, unsigned long value) override;
    // A file moniker of path; for a project file composed with an item moniker of the
    // page's name. Null without a path, or for a project page without a name.
    IMoniker* CreateDocumentMoniker(const char* path);
    // Registers the document in the running object table under its moniker of path; one
    // moniker is registered once. Table failures are written to the script window.
    BOOL RegisterQU(COleObjectFactory* pFactory, const char* path);
    BOOL RegisterWithCurrentOLEPath();
    const CString& GetOLEPath() const { return m_strOLEPath; }
    BOOL IsRegisteredAsRunning() const { return m_dwRegister != 0; }

protected:
    afx_msg void OnEditUpdateClient();
    afx_msg void OnUpdateEditUpdateClient(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    // The path under which the document registers as running.
    CString m_strOLEPath;
};

class QU_API CQULayoutDoc : public CQUGraphDoc {
    DECLARE_DYNCREATE(CQULayoutDoc)
public:
    int get_desired_page_type() override { return 4; }
    void Serialize(CArchive& ar) override { CQUGraphDoc::Serialize(ar); }
    COleServerItem* OnGetEmbeddedItem() override;
};
