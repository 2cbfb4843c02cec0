// The colour palette dialog: the user's list of colours that the kernel's colour table
// offers everywhere in the program, with a small toolbar to add, delete and move colours.
#pragma once

#include <afxcmn.h>
#include <afxwin.h>

#include <QKControls.h>

#include <string>
#include <vector>

#include "FramesApi.h"

// Four buttons (new, delete, up, down) with commands firstId .. firstId + 3 and tooltips.
class QXFRAMES_API CQUColorToolBar : public CToolBarCtrl
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nFirstId);
    // The tooltip text of button 0..3, empty for any other.
    std::string GetTipText(int nButton) const;
    CToolTipCtrl& GetToolTip() { return m_tip; }

protected:
    UINT m_nFirstId = 0;
    BOOL m_bTipReady = FALSE;
    std::vector<std::string> m_tips;
    CToolTipCtrl m_tip;
};

class QXFRAMES_API CQUColorPaletteDialog : public CDialog
{
public:
    explicit CQUColorPaletteDialog(CWnd* pParent = nullptr);

    CQKColorListCtrl& GetList() { return m_list; }
    CQUColorToolBar& GetToolBar() { return m_toolBar; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
    int SelectedColor() const;
    void UpdateButtons();

    CQKColorListCtrl m_list;
    CQUColorToolBar m_toolBar;
    int m_nSelected = -1;
    int m_nMaxColors;
    int m_nPaletteMode = 0;
    BOOL m_bDefaultsLoaded = FALSE;
    // The kernel's table when the dialog opened: "Load Default" changes the table at once,
    // and Cancel puts it back.
    std::vector<std::pair<std::string, DWORD>> m_original;
};
