// The File Locations page of the Options sheet: the kernel's file type groups, as they
// are in the running program or as they are saved for the next start, and the dialogs
// that edit a group's defaults and add a type to the ASCII group.
#pragma once

#include "QUSystemPropertySheet.h"

#include "QUControls.h"

class QU_API CQUSystemFilePage : public CQUSystemPropertyPage {
public:
    CQUSystemFilePage();

    void GetData() override;
    void SetData() override;
    int Refresh(int reset) override;
    void InitControls() override;

    CQKFileTypeGroupPtrArray& GetCurrentGroups() { return m_current; }
    CQKFileTypeGroupPtrArray& GetStartupGroups() { return m_startup; }
    // Which groups the page shows, for all its instances while the program runs:
    // 0 the startup groups, 1 the running program's.
    static int GetShownArray() { return s_shown; }
    static void SetShownArray(int shown) { s_shown = shown ? 1 : 0; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // This page marks its own changes (MarkChanged): a change of the running program's
    // groups is no reason to ask about the startup options.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnModify();
    afx_msg void OnAdd();
    afx_msg void OnDelete();
    afx_msg void OnTrack();
    afx_msg void OnTrackBetween();
    afx_msg void OnStartup();
    afx_msg void OnCurrent();
    afx_msg void OnListClick(NMHDR* nmhdr, LRESULT* result);
    afx_msg void OnGroupsDoubleClick(NMHDR* nmhdr, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    CQKFileTypeGroupPtrArray& Shown() { return s_shown ? m_current : m_startup; }
    void FillGroups();
    void FillTypes();
    void SetGroupRow(int row, const CQKFileTypeGroup& group);
    void ShowArray(int shown);
    // Tells the sheet what changed: the running program's groups, or (with `startup`, or
    // when they are shown) the startup groups, which asks to save the startup options.
    void MarkChanged(bool startup = false);
    void LoadTracking();

    CQKFileTypeGroupPtrArray m_current, m_startup;
    int m_ascii = -1;
    CQUListCtrl m_types, m_groups;
    int m_track = 0, m_trackBetween = 0;
    static int s_shown;
};

class QU_API CFileExtGroupDefaultsDlg : public CDialog {
public:
    CFileExtGroupDefaultsDlg(CQKFileTypeGroup& group, CWnd* parent);
    BOOL OnInitDialog() override;

protected:
    void OnOK() override;
    afx_msg void OnBrowse();
    DECLARE_MESSAGE_MAP()

private:
    CQKFileTypeGroup& m_group;
};

class QU_API CFileExtGroupAddTypeDlg : public CDialog {
public:
    CFileExtGroupAddTypeDlg(CQKFileTypeGroup& group, CWnd* parent);
    BOOL OnInitDialog() override;

    CString m_description, m_pattern;

protected:
    void OnOK() override;

private:
    CQKFileTypeGroup& m_group;
};
