// The dialog project wizard: the wizard object, its step chooser and its four steps.
#pragma once

#include <afxwin.h>
#include <afxcmn.h>

#include "WizardHost.h"

// What kind of project the user asked for; it decides the order of the steps.
enum DialogProjectKind : short {
    kEmptyProject = 0,
    kSimpleDialog = 1,
    kTabbedDialog = 2,
    kWizardDialog = 3,
};

DialogProjectKind GetProjectKind();
void SetProjectKind(DialogProjectKind kind);

// Names the generated resources use themselves; a user's resource id must not redefine them.
BOOL IsReservedResourceName(const CString& name);
// A resource id becomes a C symbol in Resource.h.
BOOL IsValidResourceName(const CString& name);
// A script name is a section name of the dialog engine's section paths, where a point
// separates sections and a blank starts the options, and it names the script file.
BOOL IsValidScriptName(const CString& name);

// Step 100: the kind of project.
class CProjectKindStep : public CAppWizStepDlg
{
public:
    explicit CProjectKindStep(CMapStringToString& dictionary);
    BOOL OnDismiss() override;

protected:
    BOOL OnInitDialog() override;
    void OnKindClicked(UINT nID);
    DECLARE_MESSAGE_MAP()

private:
    CMapStringToString& m_dictionary;
};

// Step 101: the main dialog's caption, resource id and script name.
class CDialogInfoStep : public CAppWizStepDlg
{
public:
    explicit CDialogInfoStep(CMapStringToString& dictionary);
    BOOL OnDismiss() override;

protected:
    BOOL OnInitDialog() override;

private:
    BOOL Refuse(UINT nIDPrompt, int nIDField);
    CMapStringToString& m_dictionary;
};

// Steps 102 and 103: the tabs of a tabbed dialog or the pages of a wizard, one design for
// the two key families DDK_TAB_* and DDK_PAGE_*.
class CChildListStep : public CAppWizStepDlg
{
public:
    CChildListStep(UINT nIDTemplate, CMapStringToString& dictionary, LPCTSTR lpszFamily,
                   LPCTSTR lpszNoun);
    BOOL OnDismiss() override;

protected:
    BOOL OnInitDialog() override;
    void OnFieldKillFocus(UINT nID);
    void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnAdd();
    void OnUp();
    void OnDown();
    void OnRemove();
    DECLARE_MESSAGE_MAP()

private:
    CString Key(LPCTSTR lpszName) const;
    CString Key(LPCTSTR lpszName, int i) const;
    int Selection() const;
    void Select(int nRow);
    void UpdateButtons();
    void SwapRows(int nFirst, int nSecond);
    CString Field(int nID);
    BOOL Refuse(UINT nIDPrompt, int nIDField);

    CMapStringToString& m_dictionary;
    CString m_family; // "TAB" or "PAGE"
    CListCtrl m_list;
};

// Chooses the step that follows or precedes the current one by the project kind.
class CDialogChooser
{
public:
    explicit CDialogChooser(CMapStringToString& dictionary);
    ~CDialogChooser();
    CDialogChooser(const CDialogChooser&) = delete;
    CDialogChooser& operator=(const CDialogChooser&) = delete;

    CAppWizStepDlg* Next(CAppWizStepDlg* pDlg);
    CAppWizStepDlg* Back(CAppWizStepDlg* pDlg);

private:
    enum { kSlots = 5 };
    int m_nCurrent;                   // 0: before the first step
    CAppWizStepDlg* m_steps[kSlots];  // slot 0 is empty; slots 1 to 4 hold steps 100 to 103
};

class CDialogAppWiz : public CCustomAppWiz
{
public:
    void InitCustomAppWiz() override;
    void ExitCustomAppWiz() override;
    CAppWizStepDlg* Next(CAppWizStepDlg* pDlg) override;
    CAppWizStepDlg* Back(CAppWizStepDlg* pDlg) override;
    void CustomizeProject(CBuildProject* pProject) override;

private:
    CDialogChooser* m_pChooser = nullptr;
};

extern CDialogAppWiz DialogWizard;
