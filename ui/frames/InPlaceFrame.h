// The frame in which a graph is edited in place inside another program's window, and the
// program's OLE message filter.
#pragma once

#include <afxole.h>

#include "FramesApi.h"

class QXFRAMES_API CInPlaceFrame : public COleIPFrameWnd
{
    DECLARE_DYNCREATE(CInPlaceFrame)
public:
    CInPlaceFrame();
    BOOL OnCreateControlBars(CFrameWnd* pWndFrame, CFrameWnd* pWndDoc) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    // Not created: the object brings no tools into its container.
    CToolBar m_wndToolBar;
    COleResizeBar m_wndResizeBar;
    COleDropTarget m_dropTarget;
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    DECLARE_MESSAGE_MAP()
};

// Calls to a busy server are given up after three seconds (the Excel link's calls).
class QXFRAMES_API CQUOleMessageFilter : public COleMessageFilter
{
    DECLARE_DYNAMIC(CQUOleMessageFilter)
public:
    CQUOleMessageFilter();
};
