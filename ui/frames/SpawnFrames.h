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
    // the cursor.
    LRESULT SpawnNcHitTest(WPARAM wParam, LPARAM lParam);
    void EraseHighlight();
    void DrawHighlight(const CRect& rect, COLORREF crTopLeft, COLORREF crBottomRight);
};

class QXFRAMES_API CSpawnMDIChildWnd : public CMDIChildWnd
{
    DECLARE_DYNCREATE(CSpawnMDIChildWnd)
public:
    CMenuSpawn m_spawn;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
