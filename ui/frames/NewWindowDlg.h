// The "New" dialog: the kinds of new window, with a template for worksheets, graphs and
// matrices; it answers the script command that makes the window.
#pragma once

#include <afxwin.h>

#include <string>

#include "FramesApi.h"

class QXFRAMES_API CNewWindowDlg : public CDialog
{
public:
    explicit CNewWindowDlg(CWnd* pParent = nullptr);

    CString m_strTemplatePath;   // ends in a backslash
    CString m_strTemplateName;
    CString m_strCommand;        // read after IDOK

    // The kinds in list order: label string, template kind (-1 none) and command.
    struct Kind
    {
        UINT nLabel;
        int nTemplateKind;
        const char* pszCommand;
    };
    static const Kind* GetKind(int nIndex);
    static int GetKindCount();
    static int GetRememberedKind();

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void Refresh();
    void FillTemplates();
    int SelectedKind() const;
    std::string DefaultTemplateOf(int nKind) const;
    void SetDefaultTemplateOf(int nKind, const std::string& strTemplate);
};
