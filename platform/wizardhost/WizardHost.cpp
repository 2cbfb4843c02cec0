// The wizard object and its steps, and the host that runs them: a modal frame with Back,
// Next, Finish and Cancel that shows one step dialog at a time, then the confirmation,
// then the new project's files.
#include "WizardHost.h"

namespace {

// A library registers its wizard object while LoadLibrary runs its attach code; the
// host that called LoadLibrary takes it from here.
CCustomAppWiz* g_pRegisteredWizard = nullptr;
int g_nSteps = 0;
class CWizardFrameDlg* g_pRunningFrame = nullptr;

const char kMessageCaption[] = "New Project";

} // namespace

IMPLEMENT_DYNAMIC(CAppWizStepDlg, CDialog)

CAppWizStepDlg::CAppWizStepDlg(UINT nIDTemplate) : CDialog(nIDTemplate), m_nIDTemplate(nIDTemplate) {}

CAppWizStepDlg::~CAppWizStepDlg() = default;

BOOL CAppWizStepDlg::OnDismiss()
{
    return TRUE;
}

void CAppWizStepDlg::OnOK() {}

void CAppWizStepDlg::OnCancel() {}

IMPLEMENT_DYNAMIC(CCustomAppWiz, CObject)

CCustomAppWiz::CCustomAppWiz() = default;

CCustomAppWiz::~CCustomAppWiz() = default;

void CCustomAppWiz::InitCustomAppWiz()
{
    SetNumberOfSteps(0);
}

void CCustomAppWiz::ExitCustomAppWiz() {}

CAppWizStepDlg* CCustomAppWiz::Next(CAppWizStepDlg*)
{
    return nullptr;
}

CAppWizStepDlg* CCustomAppWiz::Back(CAppWizStepDlg*)
{
    return nullptr;
}

void CCustomAppWiz::CustomizeProject(CBuildProject*) {}

void SetCustomAppWizClass(CCustomAppWiz* pAppWiz)
{
    g_pRegisteredWizard = pAppWiz;
}

namespace {

class CConfirmDlg : public CDialog
{
public:
    CConfirmDlg(const CString& text, CWnd* pParent) : CDialog(IDD_AWX_CONFIRM, pParent), m_text(text) {}

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetDlgItemText(IDC_AWX_CONFIRM_TEXT, m_text);
        return TRUE;
    }

private:
    CString m_text;
};

class CWizardFrameDlg : public CDialog
{
public:
    CWizardFrameDlg(CWizardHost& host, LPCTSTR lpszName, LPCTSTR lpszFolder, CWnd* pParent)
        : CDialog(IDD_AWX_FRAME, pParent), m_host(host), m_name(lpszName), m_folder(lpszFolder)
    {
    }

    void UpdateButtons()
    {
        if (!m_hWnd)
            return;
        CString text;
        if (m_pStep)
            text.Format("Step %d of %d", m_nStep, g_nSteps);
        SetDlgItemText(IDC_AWX_STEP_TEXT, text);
        GetDlgItem(ID_WIZBACK)->EnableWindow(m_pStep && m_nStep > 1);
        GetDlgItem(ID_WIZNEXT)->EnableWindow(m_pStep && m_nStep < g_nSteps);
    }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        g_pRunningFrame = this;
        m_nStep = 1;
        if (CAppWizStepDlg* pFirst = m_host.GetWizard()->Next(nullptr))
            Show(pFirst);
        UpdateButtons();
        return m_pStep == nullptr; // FALSE: the step's field has the keyboard
    }

    void OnDestroy()
    {
        if (g_pRunningFrame == this)
            g_pRunningFrame = nullptr;
        CDialog::OnDestroy();
    }

    void OnBack()
    {
        Move(-1);
    }

    void OnNext()
    {
        Move(+1);
    }

    void OnFinish()
    {
        if (m_pStep && !m_pStep->OnDismiss())
            return;
        CString confirm, text, error;
        if (!m_host.LoadTemplate("CONFIRM.INF", confirm, error)
            || !ExpandTemplate(confirm, m_host.GetWizard()->m_Dictionary, text, error)) {
            MessageBox(error, kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        CConfirmDlg dlg(text, this);
        if (dlg.DoModal() != IDOK)
            return;
        if (!m_host.GenerateProject(m_name, m_folder, error)) {
            MessageBox(error, kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        EndDialog(IDOK);
    }

    DECLARE_MESSAGE_MAP()

private:
    void Move(int direction)
    {
        if (!m_pStep || !m_pStep->OnDismiss())
            return;
        CCustomAppWiz* pWizard = m_host.GetWizard();
        CAppWizStepDlg* pTo = direction > 0 ? pWizard->Next(m_pStep) : pWizard->Back(m_pStep);
        if (!pTo)
            return;
        m_pStep->DestroyWindow();
        m_pStep = nullptr;
        m_nStep += direction;
        Show(pTo);
        UpdateButtons();
    }

    void Show(CAppWizStepDlg* pStep)
    {
        if (!pStep->Create(pStep->m_nIDTemplate, this)) {
            CString error;
            error.Format("The wizard's step dialog %u cannot be shown.", pStep->m_nIDTemplate);
            MessageBox(error, kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        CRect area;
        GetDlgItem(IDC_AWX_STEP_AREA)->GetWindowRect(&area);
        ScreenToClient(&area);
        pStep->SetDlgCtrlID(IDC_AWX_STEP);
        // First in the tab order, and the keyboard in its first field: a step is worked
        // through before the frame's buttons.
        ::SetWindowPos(pStep->m_hWnd, HWND_TOP, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        pStep->ShowWindow(SW_SHOW);
        m_pStep = pStep;
        if (HWND first = ::GetNextDlgTabItem(pStep->m_hWnd, nullptr, FALSE))
            SendMessage(WM_NEXTDLGCTL, (WPARAM)first, TRUE);
    }

    CWizardHost& m_host;
    CString m_name;
    CString m_folder;
    CAppWizStepDlg* m_pStep = nullptr;
    int m_nStep = 1;
};

BEGIN_MESSAGE_MAP(CWizardFrameDlg, CDialog)
    ON_WM_DESTROY()
    ON_COMMAND(ID_WIZBACK, OnBack)
    ON_COMMAND(ID_WIZNEXT, OnNext)
    ON_COMMAND(ID_WIZFINISH, OnFinish)
END_MESSAGE_MAP()

} // namespace

void SetNumberOfSteps(int nSteps)
{
    g_nSteps = nSteps;
    if (g_pRunningFrame)
        g_pRunningFrame->UpdateButtons();
}

CWizardHost::CWizardHost() : m_hModule(nullptr), m_pWizard(nullptr) {}

CWizardHost::~CWizardHost()
{
    if (m_hModule)
        FreeLibrary(m_hModule);
}

BOOL CWizardHost::LoadWizard(LPCTSTR lpszLibrary, CString& rError)
{
    if (m_hModule) {
        rError = "A wizard is loaded already.";
        return FALSE;
    }
    g_pRegisteredWizard = nullptr;
    HINSTANCE hModule = LoadLibraryA(lpszLibrary);
    if (!hModule) {
        rError.Format("The wizard library %s cannot be loaded (error %lu).", lpszLibrary, GetLastError());
        return FALSE;
    }
    if (!g_pRegisteredWizard) {
        FreeLibrary(hModule);
        rError.Format("%s registers no wizard object.", lpszLibrary);
        return FALSE;
    }
    m_hModule = hModule;
    m_pWizard = g_pRegisteredWizard;
    g_pRegisteredWizard = nullptr;
    return TRUE;
}

BOOL CWizardHost::LoadTemplate(LPCTSTR lpszName, CString& rText, CString& rError) const
{
    HRSRC hResource = m_hModule ? FindResourceA(m_hModule, lpszName, "TEMPLATE") : nullptr;
    HGLOBAL hData = hResource ? LoadResource(m_hModule, hResource) : nullptr;
    const char* pData = hData ? static_cast<const char*>(LockResource(hData)) : nullptr;
    if (!pData) {
        rError.Format("The wizard has no template %s.", lpszName);
        return FALSE;
    }
    DWORD size = SizeofResource(m_hModule, hResource);
    CString text;
    memcpy(text.GetBufferSetLength((int)size), pData, size);
    text.ReleaseBuffer((int)size);
    rText = text;
    return TRUE;
}

INT_PTR CWizardHost::Run(LPCTSTR lpszName, LPCTSTR lpszFolder, CWnd* pParentWnd)
{
    if (!m_pWizard)
        return -1;
    // Each run is a new project: nothing of an earlier run's answers is carried over.
    m_pWizard->m_Dictionary.RemoveAll();
    CString name(lpszName), upper(lpszName);
    upper.MakeUpper();
    m_pWizard->m_Dictionary["root"] = name;
    m_pWizard->m_Dictionary["ROOT"] = upper;
    m_project.Reset("", "");

    g_nSteps = 0;
    m_pWizard->InitCustomAppWiz();
    CWizardFrameDlg frame(*this, lpszName, lpszFolder, pParentWnd);
    INT_PTR result = frame.DoModal();
    if (result == IDOK)
        m_pWizard->CustomizeProject(&m_project);
    m_pWizard->ExitCustomAppWiz();
    return result;
}
