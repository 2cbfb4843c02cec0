// The dialogs of user-defined buttons and button groups: a button's settings, the image of
// a new button, a group's name, a new group, an existing group file, and the export of a
// group as a packed file.
#pragma once

#include <afxwin.h>

#include "FramesApi.h"

class CQUUserDefButtons;
class CQUButtonAttribs;
class SECToolBarManagerEx;

class QXFRAMES_API CQUModifyButtonDlg : public CDialog
{
public:
    explicit CQUModifyButtonDlg(CWnd* pParent = nullptr);
    void SetFromButton(const CQUButtonAttribs& button);
    void CopyToButton(CQUButtonAttribs& button) const;

    CString m_strArgumentList;
    CString m_strFileName;
    CString m_strSectionName;
    CString m_strStatusBarMsg;
    CString m_strToolTip;
    int m_nContext;   // 0 template, 1 window
    int m_bWorksheet, m_bGraph, m_bMatrix, m_bExcel, m_bLayout;
    CString m_strTemplateName;
    CString m_strVariable;
    BOOL m_bReadOnly;

    // A chosen script file, with ".qgs" added when it has another extension.
    static CString ScriptFileName(const CString& strPath);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void ApplyContextRule();
};

class QXFRAMES_API CQUAddButtonDlg : public CDialog
{
public:
    explicit CQUAddButtonDlg(CWnd* pParent = nullptr);
    CString m_strImageNumber;
    int m_nImageCount;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};

class QXFRAMES_API CQUNewCategoryName : public CDialog
{
public:
    explicit CQUNewCategoryName(CWnd* pParent = nullptr);
    CString m_strName;
    BOOL m_bNameMissing;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};

class QXFRAMES_API CQUCreateGroupDlg : public CDialog
{
public:
    // The manager's groups decide which names are taken.
    explicit CQUCreateGroupDlg(SECToolBarManagerEx* pManager, CWnd* pParent = nullptr);
    CString m_strGroupName;
    CString m_strBitmapFile;
    CString m_strButtonCount;

protected:
    SECToolBarManagerEx* m_pManager;
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void FocusEdit(int nID);
};

class QXFRAMES_API CQUAddGroupDlg : public CDialog
{
public:
    explicit CQUAddGroupDlg(CWnd* pParent = nullptr);
    CString m_strIniFile;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

class QXFRAMES_API CQUExportCategoryDlg : public CDialog
{
public:
    CQUExportCategoryDlg(CQUUserDefButtons* pGroup, CWnd* pParent = nullptr);
    CString m_strPackagePath;

    void WriteAdditionalFiles();
    // Writes the file list and the setup script, runs the kernel's packer and deletes
    // both files again; FALSE when a file cannot be written or the packer fails.
    BOOL ExportGroup();
    // The two files as they are written.
    CString MakeFileList() const;
    CString MakeSetupScript() const;
    // Adds a file in the group's relative form unless the list holds it already.
    void AddAdditionalFile(LPCTSTR lpszPath);

protected:
    CQUUserDefButtons* m_pGroup;
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnAddFile();
    void OnRemoveFile();
    void SetExtents();
};
