// The development environment's project-wizard interface, as a custom wizard library
// sees it: the wizard object with its dictionary, the step dialogs, the project the
// wizard customises, and the host that loads a wizard library, shows its steps, expands
// its templates and writes the new project's files.
#pragma once

// Controls of the host's wizard frame. The step dialog shown in the frame carries the id
// IDC_AWX_STEP, so code that holds the frame finds the current step with GetDlgItem.
// Back, Next and Finish are ID_WIZBACK, ID_WIZNEXT and ID_WIZFINISH of afxres.h.
#define IDD_AWX_FRAME        30100
#define IDD_AWX_CONFIRM      30101
#define IDC_AWX_STEP_AREA    30001
#define IDC_AWX_STEP_TEXT    30002
#define IDC_AWX_STEP         30003
#define IDC_AWX_CONFIRM_TEXT 30004

#ifndef RC_INVOKED

#include <afxwin.h>
#include <afxcoll.h>

#ifdef QXWIZHOST_BUILDING
#define QXWIZ_API __declspec(dllexport)
#else
#define QXWIZ_API __declspec(dllimport)
#endif

// A step of a custom wizard: a child dialog that the host's frame shows between its
// buttons. The host creates the window when the step is shown and destroys it when the
// step is left, so each showing starts from OnInitDialog; the object itself belongs to
// the wizard.
class QXWIZ_API CAppWizStepDlg : public CDialog
{
    DECLARE_DYNAMIC(CAppWizStepDlg)
public:
    explicit CAppWizStepDlg(UINT nIDTemplate);
    ~CAppWizStepDlg() override;

    // Called before the step is left by Back, Next or Finish; FALSE keeps it shown.
    virtual BOOL OnDismiss();

    UINT m_nIDTemplate;

protected:
    // Enter and Escape belong to the frame, which has the buttons; a child must not end.
    void OnOK() override;
    void OnCancel() override;
};

class QXWIZ_API CBuildConfiguration
{
public:
    CBuildConfiguration(LPCTSTR lpszName, const CStringArray& tools);

    // Appends options to the settings of one of the configuration's tools. E_INVALIDARG
    // for a tool the configuration does not use or for empty options; the configuration
    // is then unchanged.
    HRESULT AddToolSettings(LPCTSTR lpszTool, LPCTSTR lpszSettings);
    // The options given to a tool, separated by blanks; empty when none or no such tool.
    CString GetToolSettings(LPCTSTR lpszTool) const;

    CString m_strName;

private:
    CStringArray m_tools;
    CStringArray m_settings; // one entry per tool, in the order of m_tools
};

// The new project as the host made it: its files and its configurations.
class QXWIZ_API CBuildProject
{
public:
    CBuildProject();
    ~CBuildProject();
    CBuildProject(const CBuildProject&) = delete;
    CBuildProject& operator=(const CBuildProject&) = delete;

    void Reset(LPCTSTR lpszName, LPCTSTR lpszFolder);
    CBuildConfiguration* AddConfiguration(LPCTSTR lpszName, const CStringArray& tools);
    void AddFile(LPCTSTR lpszName, BOOL bExcludedFromBuild);

    // Configurations are counted from 1, as the automation interface counts them.
    long GetConfigurationCount() const { return (long)m_configurations.GetSize(); }
    CBuildConfiguration* GetConfiguration(long nIndex) const;

    int GetFileCount() const { return (int)m_files.GetSize(); }
    CString GetFileName(int i) const { return m_files[i]; }
    BOOL IsExcludedFromBuild(int i) const { return m_excluded[i] != 0; }

    CString m_strName;
    CString m_strFolder;
    BOOL m_bDynamicLibrary; // the wizard asked for a library (dictionary key PROJTYPE_DLL)

private:
    CPtrArray m_configurations;
    CStringArray m_files;
    CByteArray m_excluded;
};

// The wizard object of a custom wizard library: one static object of a subclass, handed
// to the host with SetCustomAppWizClass while the library attaches.
class QXWIZ_API CCustomAppWiz : public CObject
{
    DECLARE_DYNAMIC(CCustomAppWiz)
public:
    CCustomAppWiz();
    ~CCustomAppWiz() override;

    virtual void InitCustomAppWiz();
    virtual void ExitCustomAppWiz();
    // The step after pDlg (the first step when pDlg is null), or null when there is none.
    virtual CAppWizStepDlg* Next(CAppWizStepDlg* pDlg);
    virtual CAppWizStepDlg* Back(CAppWizStepDlg* pDlg);
    // Called once the project's files are written and the project exists.
    virtual void CustomizeProject(CBuildProject* pProject);

    // Text keys to text values; every answer the templates use. The host puts the project
    // name under "root" and in capitals under "ROOT" before InitCustomAppWiz.
    CMapStringToString m_Dictionary;
};

QXWIZ_API void SetCustomAppWizClass(CCustomAppWiz* pAppWiz);
// The number of steps the frame counts; it takes effect at once in a running wizard.
QXWIZ_API void SetNumberOfSteps(int nSteps);

// The template language: lines beginning with "$$//" are dropped; "$$IF(KEY)",
// "$$ELIF(KEY)" and "$$ENDIF" keep the lines of the first branch whose key is present
// ("KEY1 || KEY2" for any of several); "$$BEGINLOOP(COUNTKEY)" ... "$$ENDLOOP" repeat a
// block COUNTKEY times; "$$KEY$$" is replaced by the key's value, and inside a loop by the
// value of KEY_n for pass n when that key exists. Lines end in CR LF. Returns FALSE with a
// message naming the line for an unknown key, an unbalanced block or a count that is not
// a decimal number.
QXWIZ_API BOOL ExpandTemplate(LPCTSTR lpszTemplate, const CMapStringToString& dictionary,
                              CString& rResult, CString& rError);

class QXWIZ_API CWizardHost
{
public:
    CWizardHost();
    ~CWizardHost();
    CWizardHost(const CWizardHost&) = delete;
    CWizardHost& operator=(const CWizardHost&) = delete;

    // Loads a custom wizard library by name; it registers its wizard object while it
    // attaches. FALSE, with the reason in rError, when it cannot be loaded or registers none.
    BOOL LoadWizard(LPCTSTR lpszLibrary, CString& rError);
    CCustomAppWiz* GetWizard() const { return m_pWizard; }
    HINSTANCE GetWizardModule() const { return m_hModule; }

    // Runs the wizard for a new project named lpszName in lpszFolder: InitCustomAppWiz,
    // the steps in the host's frame, the confirmation, the files, CustomizeProject and
    // ExitCustomAppWiz. IDOK when the project was made, IDCANCEL when the user cancelled,
    // -1 when the frame could not be shown.
    INT_PTR Run(LPCTSTR lpszName, LPCTSTR lpszFolder, CWnd* pParentWnd = nullptr);
    // The project the last successful Run made.
    CBuildProject& GetProject() { return m_project; }

    // The template's text from the wizard library's resources of type "TEMPLATE".
    BOOL LoadTemplate(LPCTSTR lpszName, CString& rText, CString& rError) const;
    // Expands NEWPROJ.INF and every template it lists with the wizard's dictionary, writes
    // the files into the project folder (made when missing) and fills the project with
    // them and with the configurations Release and Debug. Nothing is written when a
    // template fails, when a target is no plain file name or when any target exists
    // already: a user's file is never overwritten.
    BOOL GenerateProject(LPCTSTR lpszName, LPCTSTR lpszFolder, CString& rError);

private:
    HINSTANCE m_hModule;
    CCustomAppWiz* m_pWizard;
    CBuildProject m_project;
};

#endif // RC_INVOKED
