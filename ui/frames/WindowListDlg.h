// The "Windows" dialog of the Window menu's entry for more windows: every document window
// with its kind and state, to activate, minimise, restore or close.
#pragma once

#include <afxwin.h>

#include "FramesApi.h"

class QXFRAMES_API CMoreWndDlg : public CDialog
{
public:
    explicit CMoreWndDlg(CWnd* pParent = nullptr);

    int GetItemCount() const;
    CString GetItemText(int nItem, int nColumn) const;
    HWND GetItemFrame(int nItem) const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnCloseWindows();
    void OnMinimizeRestore(BOOL bMinimize);
    void OnActivate();
    void SortByColumn(int nColumn);
    void UpdateViewText(int nItem);
    void LayoutControls(int cx, int cy);
    HWND ListWnd() const { return ::GetDlgItem(m_hWnd, 1109); }
    int GetSelectedCount() const;
};
