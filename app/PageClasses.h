// The frames, documents and views of the window kinds the program registers.
//
// Each class takes the place of the user-interface layer's class of the same role and
// adds next to nothing.
#pragma once
#include <afxwin.h>

#include "ChildFrame.h"
#include "InPlaceFrame.h"
#include "MainFrame.h"
#include "QUGraphDoc.h"
#include "QUGraphView.h"
#include "QuorixDoc.h"
#include "QuorixView.h"
#include "QUMatrixView.h"
#include "QUNotes.h"
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

// The frame of a graph edited in place inside another program's window.
class CInPlaceFrameQuorix : public CInPlaceFrame
{
    DECLARE_DYNCREATE(CInPlaceFrameQuorix)
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

class CNotesDocQuorix : public CQUNotesDoc
{
    DECLARE_DYNCREATE(CNotesDocQuorix)
};

class CNotesViewQuorix : public CQUNotesView
{
    DECLARE_DYNCREATE(CNotesViewQuorix)
};

// The notes window's frame: the text typed into its view is the page's at once.
class CNotesChildFrame : public CChildFrame
{
    DECLARE_DYNCREATE(CNotesChildFrame)
public:
    // The caption's menu: Save Notes As..., Print, Rename..., Hide.
    BOOL VirtualNcRButtonDown(UINT nHitTest, CPoint point) override;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
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
