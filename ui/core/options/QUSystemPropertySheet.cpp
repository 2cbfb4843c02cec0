// The Options sheet and its base page.
#include "QUSystemPropertySheet.h"

#include <afxres.h>

#include "OptionsResources.h"
#include "QUControls.h"
#include "QUSystemFilePage.h"
#include "QKUtil.h"

namespace {

// Combo texts longer than this are not numbers any setting takes.
const int kMaxNumberChars = 10;

std::string NumberText(double v)
{
    return CQKCString::DoubleToStrByFormat(v, "*");
}

} // namespace

// ---- CQUSystemPropertyPage ----

BEGIN_MESSAGE_MAP(CQUSystemPropertyPage, CPropertyPage)
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

CQUSystemPropertyPage::CQUSystemPropertyPage(UINT templateId) : CPropertyPage(templateId), m_notTouched(1)
{
    m_psp.dwFlags &= ~PSP_HASHELP;
}

CQUSystemPropertyPage::~CQUSystemPropertyPage() = default;

CQUSystemPropertySheet* CQUSystemPropertyPage::GetSheet()
{
    return dynamic_cast<CQUSystemPropertySheet*>(GetParent());
}

CQUQrxSystem* CQUSystemPropertyPage::GetSystem()
{
    CQUSystemPropertySheet* sheet = GetSheet();
    return sheet ? sheet->GetSystem() : nullptr;
}

void CQUSystemPropertyPage::BindInt(UINT id, QUOptionKind kind, UINT choices, std::function<int()> get,
                                    std::function<void(int)> set)
{
    QUOptionBinding b = {id, kind, choices, 0, nullptr, nullptr, nullptr, nullptr};
    b.get = [get] { return (double)get(); };
    if (set)
        b.set = [set](double v) { set((int)v); };
    Bind(b);
}

void CQUSystemPropertyPage::BindText(UINT id, QUOptionKind kind, UINT choices, int maxChars,
                                     std::function<std::string()> get, std::function<void(const std::string&)> set)
{
    QUOptionBinding b = {id, kind, choices, maxChars, nullptr, nullptr, get, set};
    Bind(b);
}

int CQUSystemPropertyPage::IndexOf(UINT id) const
{
    for (size_t i = 0; i < m_bindings.size(); ++i)
        if (m_bindings[i].id == id)
            return (int)i;
    return -1;
}

double& CQUSystemPropertyPage::Value(UINT id)
{
    m_values.resize(m_bindings.size());
    int i = IndexOf(id);
    ASSERT(i >= 0);
    return m_values[i];
}

CString& CQUSystemPropertyPage::Text(UINT id)
{
    m_texts.resize(m_bindings.size());
    int i = IndexOf(id);
    ASSERT(i >= 0);
    return m_texts[i];
}

void CQUSystemPropertyPage::AddChoices(CComboBox& combo, UINT stringId)
{
    CString list;
    if (!list.LoadString(stringId))
        return;
    const char* p = list;
    while ((p = strchr(p, '"')) != nullptr) {
        const char* end = strchr(p + 1, '"');
        if (!end)
            break;
        combo.AddString(CString(p + 1, (int)(end - p - 1)));
        p = end + 1;
    }
}

void CQUSystemPropertyPage::InitColorCombo(CQUColorComboBox& combo, int itemWidth, int itemHeight)
{
    combo.SetItemHeight(-1, itemHeight);
    combo.SetItemHeight(0, itemHeight);
    combo.SetRectSize(CSize(itemWidth, itemHeight));
    combo.AddColorNames();
    combo.SetCurSel(0);
}

void CQUSystemPropertyPage::InitLineTypeCombo(CComboBox& combo, int, int itemHeight)
{
    combo.SetItemHeight(0, itemHeight);
    AddChoices(combo, IDS_QU_LINE_TYPES);
    combo.SetCurSel(0);
}

void CQUSystemPropertyPage::InitControls()
{
    for (const QUOptionBinding& b : m_bindings) {
        CWnd* control = GetDlgItem(b.id);
        if (!control)
            continue;
        int height = 16;
        switch (b.kind) {
        case QU_OPT_COLOR: {
            auto combo = std::make_unique<CQUColorComboBox>();
            combo->SubclassDlgItem(b.id, this);
            InitColorCombo(*combo, height, height);
            m_owned.push_back(std::move(combo));
            break;
        }
        case QU_OPT_FONT: {
            auto combo = std::make_unique<CQUFontComboBox>();
            combo->SubclassDlgItem(b.id, this);
            combo->SetItemHeight(-1, height);
            combo->SetItemHeight(0, height);
            combo->SetRectSize(CSize(height, height));
            combo->AddFontNames();
            m_fontLists.push_back({b.id, combo.get()});
            m_owned.push_back(std::move(combo));
            break;
        }
        case QU_OPT_LIST:
        case QU_OPT_INT:
        case QU_OPT_REAL:
        case QU_OPT_TEXT:
        case QU_OPT_FILL_ONLY: {
            TCHAR className[16] = "";
            ::GetClassNameA(control->m_hWnd, className, 16);
            bool isCombo = lstrcmpiA(className, "ComboBox") == 0;
            int limit = b.kind == QU_OPT_INT || b.kind == QU_OPT_REAL ? kMaxNumberChars : b.maxChars;
            if (isCombo) {
                CComboBox* combo = (CComboBox*)control;
                if (b.choices)
                    AddChoices(*combo, b.choices);
                if (limit)
                    combo->SendMessage(CB_LIMITTEXT, limit, 0);
            } else if (limit) {
                control->SendMessage(EM_LIMITTEXT, limit, 0);
            }
            break;
        }
        default:
            break;
        }
    }
}

void CQUSystemPropertyPage::GetData()
{
    m_values.assign(m_bindings.size(), 0.0);
    m_texts.assign(m_bindings.size(), CString());
    for (size_t i = 0; i < m_bindings.size(); ++i) {
        const QUOptionBinding& b = m_bindings[i];
        if (b.getText)
            m_texts[i] = b.getText().c_str();
        else if (b.get)
            m_values[i] = b.get();
        if ((b.kind == QU_OPT_INT || b.kind == QU_OPT_REAL) && b.get)
            m_texts[i] = NumberText(m_values[i]).c_str();
    }
}

void CQUSystemPropertyPage::SetData()
{
    for (size_t i = 0; i < m_bindings.size() && i < m_values.size(); ++i) {
        const QUOptionBinding& b = m_bindings[i];
        if (b.setText)
            b.setText((LPCTSTR)m_texts[i]);
        else if (b.set)
            b.set(m_values[i]);
    }
}

void CQUSystemPropertyPage::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPage::DoDataExchange(pDX);
    if (m_values.size() != m_bindings.size())
        return; // not loaded yet: the first exchange of the dialog's own initialisation
    for (size_t i = 0; i < m_bindings.size(); ++i) {
        const QUOptionBinding& b = m_bindings[i];
        CWnd* control = GetDlgItem(b.id);
        if (!control)
            continue;
        int v = (int)m_values[i];
        switch (b.kind) {
        case QU_OPT_CHECK:
            DDX_Check(pDX, b.id, v);
            m_values[i] = v;
            break;
        case QU_OPT_LIST:
            DDX_CBIndex(pDX, b.id, v);
            m_values[i] = v;
            break;
        case QU_OPT_RADIO:
            DDX_Radio(pDX, b.id, v);
            m_values[i] = v;
            break;
        case QU_OPT_COLOR:
        case QU_OPT_FONT: {
            CComboBox* combo = (CComboBox*)control;
            CQUFontComboBox* fonts = nullptr;
            for (const auto& f : m_fontLists)
                if (f.first == b.id)
                    fonts = f.second;
            if (pDX->m_bSaveAndValidate) {
                int sel = fonts ? fonts->GetCurSel() : combo->GetCurSel();
                if (sel >= 0)
                    m_values[i] = sel;
            } else if (fonts) {
                fonts->SetCurSel(v);
            } else {
                combo->SetCurSel(v);
            }
            break;
        }
        case QU_OPT_INT:
        case QU_OPT_REAL:
        case QU_OPT_TEXT: {
            CString text = m_texts[i];
            DDX_Text(pDX, b.id, text);
            if (!pDX->m_bSaveAndValidate)
                break;
            m_texts[i] = text;
            // What the kernel's string-to-number helpers make of the text: a leading
            // number, or 0.
            if (b.kind == QU_OPT_INT)
                m_values[i] = atoi(text);
            else if (b.kind == QU_OPT_REAL)
                m_values[i] = atof(text);
            break;
        }
        default:
            break;
        }
    }
}

BOOL CQUSystemPropertyPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    InitControls();
    GetData();
    UpdateData(FALSE);
    UpdateControlStates();
    m_notTouched = 1;
    return TRUE;
}

int CQUSystemPropertyPage::Refresh(int)
{
    if (!m_hWnd)
        return 0;
    GetData();
    UpdateData(FALSE);
    UpdateControlStates();
    return 1;
}

void CQUSystemPropertyPage::OnMouseMove(UINT nFlags, CPoint point)
{
    m_notTouched = 0;
    CPropertyPage::OnMouseMove(nFlags, point);
}

BOOL CQUSystemPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT code = HIWORD(wParam);
    // Button clicks, selection changes, typing; menu and accelerator commands have no
    // control.
    bool change = lParam == 0 || code == BN_CLICKED || code == CBN_SELCHANGE || code == CBN_EDITCHANGE ||
                  code == EN_CHANGE;
    if (!m_notTouched && change)
        if (CQUSystemPropertySheet* sheet = GetSheet())
            sheet->m_askToSave = 1;
    return CPropertyPage::OnCommand(wParam, lParam);
}

void CQUSystemPropertyPage::OnOK()
{
    CQUSystemPropertySheet* sheet = GetSheet();
    if (sheet && sheet->GetSystem())
        sheet->GetSystem()->GetRefDlg().SetActivePageNumber(sheet->GetActiveIndex());
    SetData();
}

// ---- CQUSystemPropertySheet ----

BEGIN_MESSAGE_MAP(CQUSystemPropertySheet, CPropertySheet)
    ON_BN_CLICKED(IDC_QU_RESET, OnReset)
    ON_BN_CLICKED(IDC_QU_RESTORE, OnRestore)
    ON_WM_HELPINFO()
END_MESSAGE_MAP()

CQUSystemPropertySheet::CQUSystemPropertySheet(LPCTSTR caption, CWnd* parent, UINT startPage)
    : CPropertySheet(caption, parent, startPage), m_files(new CQUSystemFilePage)
{
    AddPage(&m_numFormat);
    AddPage(m_files.get());
    AddPage(&m_axis);
    AddPage(&m_graph);
    AddPage(&m_fonts);
    AddPage(&m_page);
    AddPage(&m_advanced);
    AddPage(&m_excel);
    AddPage(&m_windows);
    // A start page past the last would leave the system to pick none.
    if (startPage >= (UINT)GetPageCount())
        m_psh.nStartPage = 0;
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_psh.dwFlags &= ~PSH_HASHELP;
}

CQUSystemPropertySheet::~CQUSystemPropertySheet() = default;

CQUSystemFilePage& CQUSystemPropertySheet::GetFilePage()
{
    return *m_files;
}

BOOL CQUSystemPropertySheet::OnInitDialog()
{
    CPropertySheet::OnInitDialog();
    CWnd* ok = GetDlgItem(IDOK);
    if (!ok)
        return TRUE;
    CRect rcOk;
    ok->GetWindowRect(&rcOk);
    ScreenToClient(&rcOk);
    int width = rcOk.Width();
    CRect rcReset(rcOk.left - width - 30, rcOk.top, rcOk.left - 10, rcOk.bottom);
    CRect rcRestore(rcReset.left - width - 30, rcOk.top, rcReset.left - 10, rcOk.bottom);
    CString reset, restore;
    reset.LoadString(IDS_QU_RESET);
    restore.LoadString(IDS_QU_RESTORE);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
    m_reset.Create(reset, style, rcReset, this, IDC_QU_RESET);
    m_restore.Create(restore, style, rcRestore, this, IDC_QU_RESTORE);
    CFont* font = GetFont();
    m_reset.SetFont(font);
    m_restore.SetFont(font);
    return TRUE;
}

void CQUSystemPropertySheet::RefreshPages(int reset)
{
    for (int i = 0; i < GetPageCount(); ++i)
        if (auto* page = dynamic_cast<CQUSystemPropertyPage*>(GetPage(i)))
            page->Refresh(reset);
}

void CQUSystemPropertySheet::OnReset()
{
    if (m_system)
        m_system->Init();
    RefreshPages(1);
    m_restoreOnCancel = 1;
    m_askToSave = 1;
}

void CQUSystemPropertySheet::OnRestore()
{
    if (m_system) {
        m_system->Init();
        m_system->GetRefLoadStartup().Process(nullptr, m_system);
    }
    RefreshPages(0);
    m_restoreOnCancel = 1;
    m_askToSave = 1;
}

BOOL CQUSystemPropertySheet::AskSaveAsStartup()
{
    if (!m_system)
        return FALSE;
    CQUSystemDlg& dlg = m_system->GetRefDlg();
    int prompt = 0, save = 0;
    dlg.GetClosePrompt(&prompt);
    dlg.GetSaveOnClose(&save);
    if (!prompt)
        return save ? TRUE : FALSE;
    CString question;
    question.LoadString(IDS_QU_SAVE_AS_STARTUP);
    return AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

BOOL CQUSystemPropertySheet::OnHelpInfo(HELPINFO* info)
{
    if (CPropertyPage* page = GetActivePage())
        return (BOOL)page->SendMessage(WM_HELP, 0, (LPARAM)info);
    return (BOOL)Default();
}
