// The frames, documents and views of the window kinds the program registers.
//
// Each class takes the place of the user-interface layer's class of the same role and
// adds next to nothing. Where that layer's class does not exist yet (the notes document
// and view), the class derives from what the layer does offer: CUnbuiltPageView says in
// the window that its contents are not drawn yet. Worksheets, matrices, graphs and layouts
// have the layer's own classes. The kernel's page behind each window is real either way.
#pragma once
#include <afxwin.h>

#include "ChildFrame.h"
#include "MainFrame.h"
#include "QUGraphDoc.h"
#include "QUGraphView.h"
#include "QuorixDoc.h"
#include "QuorixView.h"
#include "QUMatrixView.h"
#include "QUWksView.h"

class CMainFrameQuorix : public CMainFrame
{
    DECLARE_DYNCREATE(CMainFrameQuorix)
protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()
};

class CChildFrameQuorix : public CChildFrame
{
    DECLARE_DYNCREATE(CChildFrameQuorix)
};

// Names the window kind and says that its view is not built, rather than showing an
// empty window as if the page had nothing in it. It is the base view of the page windows
// otherwise: it tells its frame the page and the window kind, and runs the commands.
class CUnbuiltPageView : public CQuorixView
{
    DECLARE_DYNCREATE(CUnbuiltPageView)
public:
    // The text the window shows.
    CString GetNotice();
protected:
    void OnDraw(CDC* pDC) override;
};

// A worksheet document holds a lock on the program for as long as it lives.
class CWksDocQuorix : public CQUWksDoc
{
    DECLARE_DYNCREATE(CWksDocQuorix)
public:
    CWksDocQuorix();
    ~CWksDocQuorix() override;
};

class CGraphDocQuorix : public CQUGraphDoc
{
    DECLARE_DYNCREATE(CGraphDocQuorix)
};

class CMatrixDocQuorix : public CQUMatrixDoc
{
    DECLARE_DYNCREATE(CMatrixDocQuorix)
};

// Notes windows, until the user-interface layer has their document.
class CNotesDocQuorix : public CDocument
{
    DECLARE_DYNCREATE(CNotesDocQuorix)
};

class CWksViewQuorix : public CQUWksView
{
    DECLARE_DYNCREATE(CWksViewQuorix)
};

class CGraphViewQuorix : public CQUGraphView
{
    DECLARE_DYNCREATE(CGraphViewQuorix)
};

class CMatrixViewQuorix : public CQUMatrixView
{
    DECLARE_DYNCREATE(CMatrixViewQuorix)
};
