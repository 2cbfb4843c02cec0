// The MDI frame and child frame whose menus are owner-drawn by a CMenuSpawn.
#pragma once

#include <qxtoolkit.h>

#include "FramesApi.h"
#include "MenuSpawn.h"

class QXFRAMES_API CSpawnMDIFrameWnd : public SECMDIFrameWnd
{
    DECLARE_DYNCREATE(CSpawnMDIFrameWnd)
public:
    CSpawnMDIFrameWnd();

    CMenuSpawn m_spawn;
    CRect m_rectHighlight;   // the menu-bar item drawn raised, window coordinates
    BOOL m_bInMenuLoop;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The toolkit's hit test, with the raised look of the owner-drawn menu-bar item under
    // the cursor. A message-map handler, not a case of WindowProc: a frame that handles
    // the hit test itself calls this one directly, and WindowProc would have dispatched
    // the message to that frame's handler again, round and round.
    afx_msg LRESULT OnNcHitTest(CPoint point);
    void EraseHighlight();
    void DrawHighlight(const CRect& rect, COLORREF crTopLeft, COLORREF crBottomRight);
    DECLARE_MESSAGE_MAP()
};

class QXFRAMES_API CSpawnMDIChildWnd : public CMDIChildWnd
{
    DECLARE_DYNCREATE(CSpawnMDIChildWnd)
public:
    CMenuSpawn m_spawn;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
