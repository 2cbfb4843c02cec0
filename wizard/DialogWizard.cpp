// The wizard object and the step chooser.
#include "DialogWizard.h"

#include <commctrl.h>

#include "resource.h"

CDialogAppWiz DialogWizard;

namespace {
// One value for the process, as the steps that read it live as long as the wizard runs.
short g_projectKind = kEmptyProject;
}

DialogProjectKind GetProjectKind()
{
    return DialogProjectKind(g_projectKind);
}

void SetProjectKind(DialogProjectKind kind)
{
    g_projectKind = kind;
}

BOOL IsReservedResourceName(const CString& name)
{
    static const char* const reserved[] = {
        "IDOK", "IDCANCEL", "IDABORT", "IDRETRY", "IDIGNORE", "IDYES", "IDNO", "IDCLOSE",
        "IDHELP", "IDC_STATIC", "ID_WIZBACK", "ID_WIZNEXT", "ID_WIZFINISH",
        "IDC_TAB_PLACEHOLDER", "IDC_PAGE_PLACEHOLDER", "VS_VERSION_INFO",
    };
    for (const char* r : reserved)
        if (name == r)
            return TRUE;
    return FALSE;
}

static BOOL IsNameOf(const CString& name, BOOL bUnderscoreFirst)
{
    if (name.IsEmpty() || name.GetLength() > 64)
        return FALSE;
    for (int i = 0; i < name.GetLength(); ++i) {
        unsigned char c = (unsigned char)name[i];
        BOOL letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        BOOL digit = c >= '0' && c <= '9';
        if (i == 0 ? !(letter || (bUnderscoreFirst && c == '_')) : !(letter || digit || c == '_'))
            return FALSE;
    }
    return TRUE;
}

BOOL IsValidResourceName(const CString& name)
{
    return IsNameOf(name, TRUE);
}

BOOL IsValidScriptName(const CString& name)
{
    return IsNameOf(name, FALSE);
}

CDialogChooser::CDialogChooser(CMapStringToString& dictionary) : m_nCurrent(0)
{
    m_steps[0] = nullptr;
    m_steps[1] = new CProjectKindStep(dictionary);
    m_steps[2] = new CDialogInfoStep(dictionary);
    m_steps[3] = new CChildListStep(IDD_STEP_TABS, dictionary, "TAB", "Tab");
    m_steps[4] = new CChildListStep(IDD_STEP_PAGES, dictionary, "PAGE", "Page");
}

CDialogChooser::~CDialogChooser()
{
    for (CAppWizStepDlg* pStep : m_steps)
        delete pStep;
}

CAppWizStepDlg* CDialogChooser::Next(CAppWizStepDlg*)
{
    // The dialog information leads to the tabs of a tabbed dialog or to the pages of a
    // wizard; every other step to the one after it.
    if (m_nCurrent == 2 && GetProjectKind() == kTabbedDialog)
        m_nCurrent = 3;
    else if (m_nCurrent == 2 && GetProjectKind() == kWizardDialog)
        m_nCurrent = 4;
    else if (m_nCurrent < kSlots - 1)
        ++m_nCurrent;
    else
        return nullptr;
    return m_steps[m_nCurrent];
}

CAppWizStepDlg* CDialogChooser::Back(CAppWizStepDlg*)
{
    if (m_nCurrent == 3 || m_nCurrent == 4)
        m_nCurrent = 2;
    else if (m_nCurrent > 0)
        --m_nCurrent;
    return m_steps[m_nCurrent];
}

void CDialogAppWiz::InitCustomAppWiz()
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    m_pChooser = new CDialogChooser(m_Dictionary);
    SetNumberOfSteps(1);
    m_Dictionary["HELP"] = "0";
    m_Dictionary["PROJTYPE_DLL"] = "1";
}

void CDialogAppWiz::ExitCustomAppWiz()
{
    delete m_pChooser;
    m_pChooser = nullptr;
}

CAppWizStepDlg* CDialogAppWiz::Next(CAppWizStepDlg* pDlg)
{
    return m_pChooser ? m_pChooser->Next(pDlg) : nullptr;
}

CAppWizStepDlg* CDialogAppWiz::Back(CAppWizStepDlg* pDlg)
{
    return m_pChooser ? m_pChooser->Back(pDlg) : nullptr;
}

void CDialogAppWiz::CustomizeProject(CBuildProject* pProject)
{
    // The generated library holds resources only: it must link without an entry point.
    // A configuration that refuses the option keeps its settings.
    for (long i = 1; i <= pProject->GetConfigurationCount(); ++i) {
        if (CBuildConfiguration* pConfig = pProject->GetConfiguration(i))
            pConfig->AddToolSettings("link.exe", "/NOENTRY");
    }
}
