// The documents of graph and layout windows.
//
// A graph document is the base page document with the graph page type; a layout
// document, with the layout page type. Registering a graph as a running OLE object and
// linking to it from other programs belong to the OLE server, which this version does not
// have: the documents carry no path or moniker for it.
#pragma once

#include "QuorixDoc.h"

class QU_API CQUGraphDoc : public CQuorixDoc {
    DECLARE_DYNCREATE(CQUGraphDoc)
public:
    int get_desired_page_type() override { return 1; }
    BOOL OnNewDocument() override { return CQuorixDoc::OnNewDocument() ? 1 : 0; }
    // Called by the graph and layout pages before their window closes. An embedded graph
    // would update its container first; without OLE embedding there is nothing to update.
    virtual int OnBeforeCloseWnd() { return 1; }
};

class QU_API CQULayoutDoc : public CQUGraphDoc {
    DECLARE_DYNCREATE(CQULayoutDoc)
public:
    int get_desired_page_type() override { return 4; }
};
