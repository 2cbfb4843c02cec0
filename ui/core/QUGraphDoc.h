// The documents of graph and layout windows.
//
// A graph document is the base page document with the graph page type; a layout
// document, with the layout page type. Their server items hand out the page's picture:
// Copy Page puts it on the clipboard with the page's own data, and a container that
// embeds a graph shows it. Linking to a graph saved in a file (the running object table,
// monikers of pages inside projects) is not offered yet.
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
    // The page's picture and data to the clipboard (Edit Copy Page).
    void CopyPage();

protected:
    afx_msg void OnEditUpdateClient();
    afx_msg void OnUpdateEditUpdateClient(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

class QU_API CQULayoutDoc : public CQUGraphDoc {
    DECLARE_DYNCREATE(CQULayoutDoc)
public:
    int get_desired_page_type() override { return 4; }
    COleServerItem* OnGetEmbeddedItem() override;
};
