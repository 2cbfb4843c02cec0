// The script object `system` of the user interface and its five members.
#include "QUQrxSystem.h"

#include <afxwin.h>

#include <new>

#include "MainFrame.h"
#include "QKAccess.h"
#include "OptionsResources.h"
#include "OutputLog.h"
#include "QKScript.h"
#include "QUSystemFilePage.h"
#include "QUSystemPropertySheet.h"
#include "ToolBarManagerEx.h"
#include "XlDialogs.h"
#include "XlView.h"

namespace {

// The members' property tables hold no object pointers, so one copy serves every system
// object; they are filled on the first construction.
bool g_tablesFilled = false;
QmRow g_dlgRows[4];
QmRow g_excelRows[9];
QmRow g_operationsRows[3];
QmRow g_resultsRows[4];
QmRow g_toolbarRows[2];
QmRow g_toolbarMethods[8];

void FillTables()
{
    if (g_tablesFilled)
        return;
    g_tablesFilled = true;
    typedef CQUSystemDlg D;
    g_dlgRows[0] = QmIntRow<D>("ACTIVEPAGENUM", &D::GetActivePageNumber, &D::SetActivePageNumber, 0);
    g_dlgRows[1] = QmIntRow<D>("CLOSEPROMPT", &D::GetClosePrompt, &D::SetClosePrompt, 1);
    g_dlgRows[2] = QmIntRow<D>("SAVEONCLOSE", &D::GetSaveOnClose, &D::SetSaveOnClose, 0);
    g_dlgRows[3] = QmEndRow();

    typedef CQUSystemExcel E;
    g_excelRows[0] = QmIntRow<E>("OPENASEXCEL", &E::GetOpenAsExcel, &E::SetOpenAsExcel, 1);
    g_excelRows[1] = QmIntRow<E>("OPENASPROMPT", &E::GetOpenAsPrompt, &E::SetOpenAsPrompt, 1);
    g_excelRows[2] = QmIntRow<E>("DLGPLOT", &E::GetDlgPlot, &E::SetDlgPlot, 0);
    g_excelRows[3] = QmIntRow<E>("PLOTMULTI", &E::GetDlgPlotMulti, &E::SetDlgPlotMulti, 0);
    g_excelRows[4] = QmIntRow<E>("LEGENDTXTSEL", &E::GetLegendTxtSel, &E::SetLegendTxtSel, 0);
    g_excelRows[5] = QmIntRow<E>("SAVEASEXCEL", &E::GetSaveExcelDlg, &E::SetSaveExcelDlg, 0);
    g_excelRows[6] = QmIntRow<E>("CLOSEAFTERPLOT", &E::GetCloseAfterPlot, &E::SetCloseAfterPlot, 0);
    g_excelRows[7] = QmIntRow<E>("DRAGDROPPLOT", &E::GetDragDropPlotDefault, &E::SetDragDropPlotDefault, 4,
                                 QM_KIND_INT_KEPT);
    g_excelRows[8] = QmEndRow();

    typedef CQUSystemOperations O;
    g_operationsRows[0] = QmIntRow<O>("USESPACER", &O::GetUseSpacer, &O::SetUseSpacer, 1);
    g_operationsRows[1] = QmIntRow<O>("INPLACE", &O::GetInPlaceActivate, &O::SetInPlaceActivate, 0);
    g_operationsRows[2] = QmEndRow();

    // The defaults of the Results rows are the values a new object starts with: a default
    // the setter refuses would leave Reset without effect on TABSIZE and VIEWMODE, and the
    // object is made when the kernel first needs it, which may be after the log's window,
    // so a default of 0 for AUTOOPEN would keep results from ever showing a hidden log.
    typedef CQUSystemResults R;
    g_resultsRows[0] = QmIntRow<R>("AUTOOPEN", &R::GetAutoOpen, &R::SetAutoOpenFromScrivex, 1);
    g_resultsRows[1] = QmIntRow<R>("TABSIZE", &R::GetTabSize, &R::SetTabSizeFromScrivex, -1);
    g_resultsRows[2] = QmIntRow<R>("VIEWMODE", &R::GetViewMode, &R::SetViewModeFromScrivex, 2);
    g_resultsRows[3] = QmEndRow();

    typedef CQUSystemToolbars T;
    g_toolbarRows[0] = QmTextRow<T>("NAMES", &T::GetNames, nullptr);
    g_toolbarRows[1] = QmEndRow();
    g_toolbarMethods[0] = QmFunctionRow<T>("CREATE", &T::Create);
    g_toolbarMethods[1] = QmFunctionRow<T>("DELETE", &T::Delete);
    g_toolbarMethods[2] = QmFunctionRow<T>("EXISTS", &T::Exists);
    g_toolbarMethods[3] = QmFunctionRow<T>("ISOPEN", &T::IsOpen);
    g_toolbarMethods[4] = QmFunctionRow<T>("OPEN", &T::Open);
    g_toolbarMethods[5] = QmFunctionRow<T>("CLOSE", &T::Close);
    g_toolbarMethods[6] = QmFunctionRow<T>("CREATECATEGORY", &T::CreateCategory);
    g_toolbarMethods[7] = QmEndRow();
}

int Store(int* out, int value)
{
    if (!out)
        return 0;
    *out = value;
    return 1;
}

} // namespace

// ---- DIALOG ----

QmRow* CQUSystemDlg::GetTable()
{
    return g_dlgRows;
}

int CQUSystemDlg::GetActivePageNumber(int* v)
{
    return Store(v, m_activePage);
}

int CQUSystemDlg::SetActivePageNumber(int v)
{
    m_activePage = v;
    return 1;
}

int CQUSystemDlg::GetClosePrompt(int* v)
{
    return Store(v, (m_flags & FLAG_CLOSE_PROMPT) ? 1 : 0);
}

int CQUSystemDlg::SetClosePrompt(int v)
{
    m_flags = v ? (m_flags | FLAG_CLOSE_PROMPT) : (m_flags & ~FLAG_CLOSE_PROMPT);
    return 1;
}

int CQUSystemDlg::GetSaveOnClose(int* v)
{
    return Store(v, (m_flags & FLAG_SAVE_ON_CLOSE) ? 1 : 0);
}

int CQUSystemDlg::SetSaveOnClose(int v)
{
    m_flags = v ? (m_flags | FLAG_SAVE_ON_CLOSE) : (m_flags & ~FLAG_SAVE_ON_CLOSE);
    return 1;
}

int CQUSystemDlg::Process(double* result, QmDLL* root)
{
    auto* system = static_cast<CQUQrxSystem*>(root);
    if (result)
        *result = 0;
    CString caption;
    caption.LoadString(IDS_QU_OPTIONS);
    CWinThread* thread = AfxGetThread();
    CWnd* parent = thread ? thread->m_pMainWnd : nullptr;
    CQUSystemPropertySheet sheet(caption, parent, (UINT)(m_activePage < 0 ? 0 : m_activePage));
    sheet.SetSystem(system);
    system->SaveTemporary();
    INT_PTR answer = sheet.DoModal();
    QKSysMethodFileExt& ext = system->GetRefFileExt();
    CQUSystemFilePage& files = sheet.GetFilePage();
    if (answer == IDOK) {
        if (sheet.m_askToSave && sheet.AskSaveAsStartup()) {
            system->GetRefSaveStartup().Process(nullptr, system);
            if (sheet.m_saveFileGroups)
                ext.Save(files.GetStartupGroups());
        }
        if (sheet.m_setFileGroups)
            ext.SetAllGroups(files.GetCurrentGroups());
    } else if (sheet.m_restoreOnCancel || sheet.m_askToSave) {
        // Reset and Restore change the settings at once; Cancel takes that back.
        system->LoadTemporary();
    }
    return 0;
}

// ---- EXCEL ----

QmRow* CQUSystemExcel::GetTable()
{
    return g_excelRows;
}

int CQUSystemExcel::Process(double* result, QmDLL*)
{
    if (result)
        *result = 1;
    // Asks about the open workbooks only when wanted and one is open.
    if (!CQUXlSaveDialog::s_nSaveExcelDlg)
        return 0;
    if (!CQUXlSaveDialog::RunBeforeSaving(AfxGetMainWnd()) && result)
        *result = 0;
    return 0;
}

#define QU_FLAG_ACCESSORS(Name, field, rule) \
    int CQUSystemExcel::Get##Name(int* v) { return Store(v, field); } \
    int CQUSystemExcel::Set##Name(int v) \
    { \
        field = rule; \
        return 1; \
    }
QU_FLAG_ACCESSORS(DlgPlot, m_dlgPlot, v == 0 || v == 1 ? v : 0)
QU_FLAG_ACCESSORS(DlgPlotMulti, m_dlgPlotMulti, v >= 0 && v <= 2 ? v : 0)
QU_FLAG_ACCESSORS(LegendTxtSel, m_legendTxtSel, v == 0 || v == 1 ? v : 0)
QU_FLAG_ACCESSORS(CloseAfterPlot, m_closeAfterPlot, v)
#undef QU_FLAG_ACCESSORS

// The Excel link reads these three where it keeps them.
int CQUSystemExcel::GetOpenAsExcel(int* v)
{
    return Store(v, CQUExcelDoc::OpenWorkbookAsExcel() ? 1 : 0);
}

int CQUSystemExcel::SetOpenAsExcel(int v)
{
    CQUExcelDoc::SetOpenWorkbookAsExcel(v ? 1 : 0);
    return 1;
}

int CQUSystemExcel::GetOpenAsPrompt(int* v)
{
    return Store(v, CQUExcelDoc::DisplayOpenExcelDialog() ? 1 : 0);
}

int CQUSystemExcel::SetOpenAsPrompt(int v)
{
    CQUExcelDoc::SetDisplayOpenExcelDialog(v ? 1 : 0);
    return 1;
}

int CQUSystemExcel::GetSaveExcelDlg(int* v)
{
    return Store(v, CQUXlSaveDialog::s_nSaveExcelDlg);
}

int CQUSystemExcel::SetSaveExcelDlg(int v)
{
    CQUXlSaveDialog::s_nSaveExcelDlg = v;
    return 1;
}

namespace {
// Script values of DRAGDROPPLOT and the plot commands they stand for.
const int kDragDropPlotIds[] = {33249, 33248, 33250, 33280};
} // namespace

int CQUSystemExcel::GetDragDropPlotDefault(int* v)
{
    if (!v)
        return 0;
    switch (qkuSetGetDefaultPlotType(-1)) {
    case 33248:
        *v = 1;
        break;
    case 33249:
        *v = 0;
        break;
    case 33250:
        *v = 2;
        break;
    default:
        *v = 3;
        break;
    }
    return 1;
}

int CQUSystemExcel::GetDragDropPlotTypeID()
{
    return qkuSetGetDefaultPlotType(-1);
}

int CQUSystemExcel::SetDragDropPlotDefault(int v)
{
    if (v < 0 || v > 3)
        return 0;
    qkuSetGetDefaultPlotType(qkuCheckConvertPlotId(kDragDropPlotIds[v]));
    return 1;
}

// ---- OPERATIONS ----

QmRow* CQUSystemOperations::GetTable()
{
    return g_operationsRows;
}

int CQUSystemOperations::GetUseSpacer(int* v)
{
    return Store(v, m_useSpacer);
}

int CQUSystemOperations::SetUseSpacer(int v)
{
    m_useSpacer = v ? 1 : 0;
    return 1;
}

int CQUSystemOperations::GetInPlaceActivate(int* v)
{
    return Store(v, m_inPlaceActivate);
}

int CQUSystemOperations::SetInPlaceActivate(int v)
{
    m_inPlaceActivate = v ? 1 : 0;
    return 1;
}

// ---- RESULTS ----

const short CQUSystemResults::s_viewCodes[3] = {4, 2, 3};

QmRow* CQUSystemResults::GetTable()
{
    return g_resultsRows;
}

namespace {
// The main frame's Results Log when its window exists, else null.
CQUOutputLog* ResultsLog()
{
    CMainFrame* frame = get_main_frame();
    CQUOutputLog* log = frame ? frame->GetOutputLog() : nullptr;
    return log && log->m_hWnd ? log : nullptr;
}
} // namespace

int CQUSystemResults::GetAutoOpen(int* v)
{
    return Store(v, m_autoOpen);
}

int CQUSystemResults::SetAutoOpenFromScrivex(int v)
{
    SetAutoOpen(v);
    if (CQUOutputLog* log = ResultsLog())
        log->SetAutoOpen(m_autoOpen);
    return 1;
}

int CQUSystemResults::GetTabSize(int* v)
{
    return Store(v, m_tabSize);
}

int CQUSystemResults::SetTabSizeFromScrivex(int v)
{
    // -1: derived from the numeric format settings.
    if (v < 1 && v != -1)
        return 0;
    SetTabSize(v);
    if (CQUOutputLog* log = ResultsLog())
        log->SetTabSize(v);
    return 1;
}

int CQUSystemResults::GetViewMode(int* v)
{
    return Store(v, m_viewMode);
}

int CQUSystemResults::SetViewModeFromScrivex(int v)
{
    if (v < 1 || v > 3)
        return 0;
    SetViewMode(v);
    if (CQUOutputLog* log = ResultsLog())
        log->GetEdit().SetViewMode((WORD)GetViewCode());
    return 1;
}

// ---- TOOLBAR ----

QmRow* CQUSystemToolbars::GetTable()
{
    return g_toolbarRows;
}

QmRow* CQUSystemToolbars::GetTableOfSimpleMethods()
{
    return g_toolbarMethods;
}

namespace {
// The main frame's toolbar manager; null without a main frame or a manager.
SECToolBarManagerEx* ToolBarManager()
{
    return get_main_frame() ? QUGetToolBarManager() : nullptr;
}

std::string Unquoted(const char* text)
{
    std::string s = text ? text : "";
    size_t a = s.find_first_not_of(" \t");
    size_t b = s.find_last_not_of(" \t");
    s = a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        s = s.substr(1, s.size() - 2);
    return s;
}
} // namespace

int CQUSystemToolbars::GetNames(char* buffer)
{
    SECToolBarManagerEx* manager = ToolBarManager();
    if (!manager)
        return 0;
    CString names;
    BOOL done = manager->GetTbarsNames(names);
    // Each name is followed by ", "; the last blank goes. No toolbar: an empty text.
    if (!names.IsEmpty())
        names = names.Left(names.GetLength() - 1);
    lstrcpynA(buffer, names, QM_ROW_TEXT_SIZE);
    return done;
}

int CQUSystemToolbars::Run(double* result, const char* argText, Call call)
{
    *result = 1;
    bool category = call == CALL_CREATE_CATEGORY;
    CreateArguments(call == CALL_CREATE || category ? 2 : 1);
    Begin(argText, nullptr);
    SECToolBarManagerEx* manager = ToolBarManager();
    BOOL done = FALSE;
    if (category) {
        if (get_main_frame())
            done = qkfxGetAccess()->AddUserCategory(Unquoted(args[1]->GetText()).c_str(),
                                                    Unquoted(args[0]->GetText()).c_str());
    } else if (manager) {
        const char* name = args[call == CALL_CREATE ? 1 : 0]->GetText();
        switch (call) {
        case CALL_CREATE:
            done = manager->MakeUserDefTbar(args[0]->GetText(), name, -1, 0);
            break;
        case CALL_DELETE:
            done = manager->DeleteTbar(name);
            break;
        case CALL_EXISTS:
            done = manager->TbarExists(name);
            break;
        case CALL_ISOPEN:
            done = manager->TbarIsOpen(name);
            break;
        case CALL_OPEN:
            done = manager->OpenTbar(name, TRUE);
            break;
        case CALL_CLOSE:
            done = manager->OpenTbar(name, FALSE);
            break;
        default:
            break;
        }
    }
    if (done)
        *result = 0;
    DeleteArguments();
    if (category)
        return 0;
    return call == CALL_CREATE ? (done ? 0 : 1) : (manager ? 0 : 1);
}

int CQUSystemToolbars::Create(double* result, const char* argText, QmDLL*)
{
    return Run(result, argText, CALL_CREATE);
}

int CQUSystemToolbars::Delete(double* result, const char* argText, QmDLL*)
{
    return Run(result, argText, CALL_DELETE);
}

int CQUSystemToolbars::Exists(double* result, const char* argText, QmDLL*)
{
    return Run(result, argText, CALL_EXISTS);
}

int CQUSystemToolbars::IsOpen(double* result, const char* argText, QmDLL*)
{
    return Run(result, argText, CALL_ISOPEN);
}

int CQUSystemToolbars::Open(double* result, const char* argText, QmDLL*)
{
    return Run(result, argText, CALL_OPEN);
}

int CQUSystemToolbars::Close(double* result, const char* argText, QmDLL*)
{
    return Run(result, argText, CALL_CLOSE);
}

int CQUSystemToolbars::CreateCategory(double* result, const char* argText, QmDLL*)
{
    return Run(result, argText, CALL_CREATE_CATEGORY);
}

// ---- the system object ----

CQUQrxSystem::CQUQrxSystem()
{
    FillTables();
    static QmRow empty[1] = {QmEndRow()};
    m_ownProperties = empty;
    // The method rows point at this object's members, so each object has its own table.
    m_ownMethods = new QmRow[6];
    m_ownMethods[0] = QmObjectRow("DIALOG", &m_dlg, QM_KIND_OBJECT_2);
    m_ownMethods[1] = QmObjectRow("EXCEL", &m_excel, QM_KIND_OBJECT_2);
    m_ownMethods[2] = QmObjectRow("OPERATIONS", &m_operations, QM_KIND_OBJECT_2);
    m_ownMethods[3] = QmObjectRow("RESULTS", &m_results, QM_KIND_OBJECT);
    m_ownMethods[4] = QmObjectRow("TOOLBAR", &m_toolbars, QM_KIND_OBJECT);
    m_ownMethods[5] = QmEndRow();
}

CQUQrxSystem::~CQUQrxSystem()
{
    delete[] m_ownMethods;
}

int CQUQrxSystem::FindValue(const char* name, int op, char* text)
{
    int rc = find_value(name, op, text, m_ownProperties, this);
    if (!rc)
        rc = find_value(name, op, text, m_systemProperties, this);
    return rc ? rc : find_value(name, op, text, properties, this);
}

int CQUQrxSystem::FindCommand(const char* name, const char* argText, double* result)
{
    int rc = find_command(name, argText, result, m_ownMethods);
    if (!rc)
        rc = find_command(name, argText, result, m_systemMethods);
    return rc ? rc : find_command(name, argText, result, methods);
}

int CQUQrxSystem::FindCommandValue(const char* methodName, const char* name, char* text, int op)
{
    int rc = find_command_value(methodName, name, text, op, m_ownMethods);
    if (!rc)
        rc = find_command_value(methodName, name, text, op, m_systemMethods);
    return rc ? rc : find_command_value(methodName, name, text, op, methods);
}

void CQUQrxSystem::List()
{
    list_table(m_ownMethods, "");
    list_table(m_ownProperties, "");
    list_table(m_systemMethods, "");
    list_table(m_systemProperties, "");
    list_table(methods, "");
    list_table(properties, "");
}

void CQUQrxSystem::Init()
{
    init_members();
    init_table(m_systemProperties, this);
    init_table(m_systemMethods, this);
    init_members();
    init_table(m_ownProperties, this);
    init_table(m_ownMethods, this);
    init_members();
}

int CQUQrxSystem::LoadSaveINI(STINI* ini, const char* section)
{
    load_save_INI(ini, section, m_ownMethods, this);
    load_save_INI(ini, section, m_ownProperties, this);
    load_save_INI(ini, section, m_systemMethods, this);
    load_save_INI(ini, section, m_systemProperties, this);
    return 1;
}

CQKQrxSystem* create_QrxSystem_object()
{
    return new (std::nothrow) CQUQrxSystem;
}
