// The script object that runs Excel macros.
#include "XlScriptObject.h"

#include "QKHost.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixApp.h"
#include "XlView.h"

IMPLEMENT_DYNAMIC(CQUxlBaseMethod, QmMethod)
IMPLEMENT_DYNAMIC(CQUxlRunBaseMethod, CQUxlBaseMethod)
IMPLEMENT_DYNAMIC(CQUxlRun, CQUxlRunBaseMethod)
IMPLEMENT_DYNAMIC(CQUxlRunRange, CQUxlRunBaseMethod)
IMPLEMENT_DYNAMIC(CQUxlobj, QmDLL)

namespace {

int WINAPI XlObjectEntry(HWND context, LPCSTR methodName, LPCSTR name, void* result, HostCallback callback,
                         int code)
{
    return CQUxlobj::Instance().Dispatch(context, methodName, name, result, callback, code);
}

// The object is there as soon as the user interface is loaded.
const bool g_registered = qkfxRegisterScriptObjectEntry("excel", &XlObjectEntry);

} // namespace

BOOL VARIANTToReturnValue(const VARIANT& value, double& result)
{
    result = 0.0;
    if (qkVariantToReal(value, result))
        return TRUE;
    const VARIANT* v = &value;
    while (v->vt == (VT_BYREF | VT_VARIANT))
        v = v->pvarVal;
    if (v->vt == VT_BOOL) {
        result = v->boolVal ? -1.0 : 0.0;
        return TRUE;
    }
    result = 0.0;
    return FALSE;
}

int CQUxlBaseMethod::Begin(const char* argText, QmDLL* root)
{
    m_pObj = DYNAMIC_DOWNCAST(CQUxlobj, root);
    return QmMethod::Begin(argText, root);
}

CQUxlRunBaseMethod::CQUxlRunBaseMethod()
{
    for (int i = 0; i < 8; ++i)
        AddArgument(new QmString);
}

// Runs a macro through `run` with the arguments from `first` on as VARIANTs (script
// variables substituted), up to the first one not given; they are cleared in every case.
template <class F> static int RunWithArguments(CQUxlRunBaseMethod* method, int first, double* result, F run)
{
    VARIANT values[8];
    for (VARIANT& v : values)
        VariantInit(&v);
    int n = 0;
    for (int i = first; i < method->argCount; ++i) {
        QmString* arg = static_cast<QmString*>(method->args[i]);
        if (!arg->given || !arg->HasText() || !qkuStringWithReplacementToVariant(arg->GetStr(), &values[n]))
            break;
        ++n;
    }
    COleVariant out;
    int code = 1;
    if (run(out, n, n ? values : nullptr)) {
        double d = 0;
        VARIANTToReturnValue(out, d);
        if (result)
            *result = d;
        code = 0;
    }
    for (VARIANT& v : values)
        VariantClear(&v);
    return code;
}

int CQUxlRun::Process(double* result, QmDLL* root)
{
    CQUxlView* view = GetXLMainObj() ? GetXLMainObj()->GetXLViewToRun(0) : nullptr;
    QmString* macro = static_cast<QmString*>(args[0]);
    if (!view || !macro->given || !macro->HasText())
        return 1;
    CString name = macro->GetStr();
    return RunWithArguments(this, 1, result, [&](COleVariant& out, int n, const VARIANT* values) {
        return view->Run(name, out, n, values);
    });
}

int CQUxlRunRange::Process(double* result, QmDLL* root)
{
    CQUxlView* view = GetXLMainObj() ? GetXLMainObj()->GetXLViewToRun(0) : nullptr;
    QmString* sheet = static_cast<QmString*>(args[0]);
    QmString* cell = static_cast<QmString*>(args[1]);
    if (!view || !sheet->given || !sheet->HasText() || !cell->given || !cell->HasText())
        return 1;
    CString sheetName = sheet->GetStr(), cellName = cell->GetStr();
    return RunWithArguments(this, 2, result, [&](COleVariant& out, int n, const VARIANT* values) {
        return view->RunRange(sheetName, cellName, out, n, values);
    });
}

CQUxlobj::CQUxlobj()
    : m_props{{&m_wndName, "WNDNAME"}, {nullptr, nullptr}},
      m_meths{{&m_run, "RUN"}, {&m_runRange, "RUNRANGE"}, {nullptr, nullptr}}
{
    m_run.m_pEntry = &m_meths[0];
    m_runRange.m_pEntry = &m_meths[1];
    name_table(m_props);
    name_table(m_meths);
    init_table(m_props);
    init_table(m_meths);
}

CQUxlobj& CQUxlobj::Instance()
{
    static CQUxlobj object;
    return object;
}

BOOL CQUxlobj::GetWndName(char* name)
{
    lstrcpynA(name, m_wndName.HasText() ? m_wndName.GetStr() : "", MAX_PATH);
    return TRUE;
}

BOOL CQUxlobj::SetWndName(const char* name)
{
    m_wndName.SetText(name);
    return TRUE;
}

CQUxlView* CQUxlobj::GetXLViewToRun(unsigned long)
{
    char name[MAX_PATH];
    GetWndName(name);
    if (*name) {
        // The workbook window of that name: the Excel template's document, or the window
        // whose kernel page has the name.
        CQuorixApp* app = GetQuorixApp();
        CQrxMultiDocTemplate* excel = app ? app->GetExcelDocumentTemplate() : nullptr;
        if (auto* doc = excel ? DYNAMIC_DOWNCAST(CQUExcelDoc, excel->FindDocument(name)) : nullptr)
            if (CQUxlView* view = doc->get_first_QU_view())
                return view;
        CQKPage* page = qkfxGetProject().FindPage(name);
        if (auto* external = dynamic_cast<CQUWksPageExternal*>(page))
            if (CQUxlView* view = external->GetValidxlView())
                return view;
    }
    return CQUxlView::get_active_excel_view();
}

int CQUxlobj::Property(const char* name, int flags, void* value)
{
    int r = find_value(name, flags, value, m_props, nullptr);
    return r ? r : QmDLL::Property(name, flags, value);
}

void CQUxlobj::ListAll()
{
    list_table(m_meths, nullptr);
    list_table(m_props, nullptr);
    QmDLL::ListAll();
}

int CQUxlobj::Command(const char* methodName, const char* argText, double* result)
{
    int r = find_command(methodName, argText, result, m_meths);
    return r ? r : QmDLL::Command(methodName, argText, result);
}

int CQUxlobj::CommandValue(const char* methodName, const char* name, void* value, int flags)
{
    int r = find_command_value(methodName, name, flags, value, m_meths);
    return r ? r : QmDLL::CommandValue(methodName, name, value, flags);
}

void CQUxlobj::ResetAll()
{
    QmDLL::ResetAll();
    init_table(m_props);
    init_table(m_meths);
}
