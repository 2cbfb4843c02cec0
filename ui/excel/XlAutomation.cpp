// The automation wrappers of the Excel link.
#include "XlAutomation.h"

#include "ExcelRes.h"
#include "XlView.h"

namespace {

// Dispatch identifiers of the spreadsheet objects.
enum {
    DISPID_XL_VALUE = 6, DISPID_XL_DELETE = 117, DISPID_XL_COUNT = 118, DISPID_XL_NAME = 110,
    DISPID_XL_TEXT = 138, DISPID_XL_APPLICATION = 148, DISPID_XL_PARENT = 150, DISPID_XL_ITEM = 170,
    DISPID_XL_SAVECOPYAS = 175, DISPID_XL_ADD = 181, DISPID_XL_RANGE = 197, DISPID_XL_COLUMN = 240,
    DISPID_XL_COLUMNS = 241, DISPID_XL_INSERT = 252, DISPID_XL_ROW = 257, DISPID_XL_ROWS = 258,
    DISPID_XL_RUN = 259, DISPID_XL_SAVED = 298, DISPID_XL_ACTIVATE = 304, DISPID_XL_ACTIVESHEET = 307,
    DISPID_XL_VERSION = 392, DISPID_XL_USEDRANGE = 412, DISPID_XL_WINDOWS = 430, DISPID_XL_SHEETS = 485,
    DISPID_XL_WORKSHEETS = 494, DISPID_XL_VISIBLE = 558, DISPID_XL_AREAS = 568,
    DISPID_XL_GETSAVEASFILENAME = 1076, DISPID_XL_RANGESELECTION = 1189,
};

// Parameter lists of up to six VARIANT arguments.
const BYTE* VariantParams(int count)
{
    static const BYTE* lists[] = {
        (const BYTE*)VTS_NONE,
        (const BYTE*)VTS_VARIANT,
        (const BYTE*)(VTS_VARIANT VTS_VARIANT),
        (const BYTE*)(VTS_VARIANT VTS_VARIANT VTS_VARIANT),
        (const BYTE*)(VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT),
        (const BYTE*)(VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT),
        (const BYTE*)(VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT),
    };
    return lists[count];
}

// Calls a member with `count` VARIANT arguments (at most six).
void InvokeWithVariants(COleDispatchDriver& d, DISPID id, WORD flags, VARTYPE vtRet, void* ret, int count,
                        const VARIANT* const* a)
{
    switch (count) {
    case 0: d.InvokeHelper(id, flags, vtRet, ret, VariantParams(0)); break;
    case 1: d.InvokeHelper(id, flags, vtRet, ret, VariantParams(1), a[0]); break;
    case 2: d.InvokeHelper(id, flags, vtRet, ret, VariantParams(2), a[0], a[1]); break;
    case 3: d.InvokeHelper(id, flags, vtRet, ret, VariantParams(3), a[0], a[1], a[2]); break;
    case 4: d.InvokeHelper(id, flags, vtRet, ret, VariantParams(4), a[0], a[1], a[2], a[3]); break;
    case 5: d.InvokeHelper(id, flags, vtRet, ret, VariantParams(5), a[0], a[1], a[2], a[3], a[4]); break;
    default: d.InvokeHelper(id, flags, vtRet, ret, VariantParams(6), a[0], a[1], a[2], a[3], a[4], a[5]); break;
    }
}

} // namespace

BOOL xlVariantToDouble(const VARIANT& in, double& result)
{
    const VARIANT* v = &in;
    if (v->vt == (VT_BYREF | VT_VARIANT)) {
        if (!v->pvarVal)
            return FALSE;
        return xlVariantToDouble(*v->pvarVal, result);
    }
    bool byRef = (v->vt & VT_BYREF) != 0;
    switch (v->vt & ~VT_BYREF) {
    case VT_I2: result = byRef ? *v->piVal : v->iVal; return TRUE;
    case VT_BOOL: result = (short)(byRef ? *v->pboolVal : v->boolVal); return TRUE;
    case VT_I4: result = byRef ? *v->plVal : v->lVal; return TRUE;
    case VT_R4: result = byRef ? *v->pfltVal : v->fltVal; return TRUE;
    case VT_R8: result = byRef ? *v->pdblVal : v->dblVal; return TRUE;
    case VT_CY: result = (double)(byRef ? v->pcyVal->int64 : v->cyVal.int64) / 10000.0; return TRUE;
    case VT_UI1: result = byRef ? *v->pbVal : v->bVal; return TRUE;
    }
    return FALSE;
}

BOOL ReportExcelBusy(CException* e)
{
    BOOL shown = FALSE;
    COleException* ole = DYNAMIC_DOWNCAST(COleException, e);
    if (ole && ole->m_sc == RPC_E_CALL_REJECTED) {
        xlMessageBox(IDS_XL_EXCEL_BUSY, MB_OK | MB_ICONEXCLAMATION);
        shown = TRUE;
    }
    e->Delete();
    return shown;
}

/////////////////////////////////////////////////////////////////////////////
// CxlobjBaseDispatchDriver

CxlobjBaseDispatchDriver::~CxlobjBaseDispatchDriver()
{
    if (m_bAttached)
        m_driver.ReleaseDispatch();
}

void CxlobjBaseDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch)
{
    m_driver.AttachDispatch(lpDispatch, TRUE);
    m_bAttached = lpDispatch != nullptr;
}

template <class F> BOOL CxlobjBaseDispatchDriver::Retry(F call)
{
    if (!m_bAttached)
        return FALSE;
    // One busy message per operation: a refused call is tried three times, and the user
    // needs to hear about it once.
    BOOL reported = FALSE;
    for (int attempt = 0; attempt < 3; ++attempt) {
        try {
            call();
            return TRUE;
        } catch (CException* e) {
            if (reported)
                e->Delete();
            else
                reported = ReportExcelBusy(e);
        }
    }
    return FALSE;
}

LPDISPATCH CxlobjBaseDispatchDriver::GetObjectMember(DISPID id, const VARIANT* item)
{
    LPDISPATCH result = nullptr;
    if (CQUxlView::AssumeExcelVersionEight()) {
        BOOL ok = Retry([&] {
            LPDISPATCH member = nullptr;
            m_driver.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &member, nullptr);
            if (!item || !member) {
                result = member;
                return;
            }
            COleDispatchDriver collection(member, TRUE);
            collection.InvokeHelper(DISPID_XL_ITEM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, VT_DISPATCH, &result,
                                    (const BYTE*)VTS_VARIANT, item);
        });
        if (!ok && result) {
            result->Release();
            result = nullptr;
        }
        return result;
    }
    Retry([&] {
        VARIANT v;
        VariantInit(&v);
        if (item)
            m_driver.InvokeHelper(id, DISPATCH_METHOD, VT_VARIANT, &v, (const BYTE*)VTS_VARIANT, item);
        else
            m_driver.InvokeHelper(id, DISPATCH_METHOD, VT_VARIANT, &v, (const BYTE*)VTS_NONE);
        if (v.vt == VT_DISPATCH && v.pdispVal) {
            result = v.pdispVal;
            result->AddRef();
        }
        VariantClear(&v);
    });
    return result;
}

LPDISPATCH CxlobjBaseDispatchDriver::GetObjectWithArgument(DISPID id, const VARIANT& argument)
{
    LPDISPATCH result = nullptr;
    BOOL eight = CQUxlView::AssumeExcelVersionEight();
    Retry([&] {
        if (result) {
            result->Release();
            result = nullptr;
        }
        if (eight) {
            m_driver.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, (const BYTE*)VTS_VARIANT, &argument);
            return;
        }
        VARIANT v;
        VariantInit(&v);
        m_driver.InvokeHelper(id, DISPATCH_METHOD, VT_VARIANT, &v, (const BYTE*)VTS_VARIANT, &argument);
        if (v.vt == VT_DISPATCH && v.pdispVal) {
            result = v.pdispVal;
            result->AddRef();
        }
        VariantClear(&v);
    });
    return result;
}

BOOL CxlobjBaseDispatchDriver::GetValue(DISPID id, VARIANT* value)
{
    return Retry([&] {
        VariantClear(value);
        m_driver.GetProperty(id, VT_VARIANT, value);
    });
}

BOOL CxlobjBaseDispatchDriver::SetValue(DISPID id, const VARIANT& value)
{
    return Retry([&] { m_driver.SetProperty(id, VT_VARIANT, &value); });
}

BOOL CxlobjBaseDispatchDriver::GetString(DISPID id, CString& text)
{
    return Retry([&] { m_driver.GetProperty(id, VT_BSTR, &text); });
}

int CxlobjBaseDispatchDriver::GetCount(DISPID id)
{
    COleVariant v;
    if (!GetValue(id, &v))
        return -1;
    double d;
    if (!xlVariantToDouble(v, d))
        return -1;
    return (int)d;
}

BOOL CxlobjBaseDispatchDriver::CallMethod(DISPID id, VARIANT* result, int count, const VARIANT* args)
{
    if (count < 0)
        count = 0;
    if (count > 6)
        count = 6;
    const VARIANT* list[6];
    for (int i = 0; i < count; ++i)
        list[i] = &args[i];
    VARIANT local;
    VariantInit(&local);
    VARIANT* out = result ? result : &local;
    BOOL ok = Retry([&] {
        VariantClear(out);
        InvokeWithVariants(m_driver, id, DISPATCH_METHOD, VT_VARIANT, out, count, list);
    });
    VariantClear(&local);
    return ok;
}

/////////////////////////////////////////////////////////////////////////////
// The typed wrappers

CxlobjApplication* CxlobjWorkbook::GetApplication()
{
    // A version 8 workbook names its application as its parent.
    DISPID id = CQUxlView::AssumeExcelVersionEight() ? DISPID_XL_PARENT : DISPID_XL_APPLICATION;
    return xlWrap<CxlobjApplication>(GetObjectMember(id));
}

CxlobjWorksheetsCollection* CxlobjWorkbook::GetWorksheets()
{
    return xlWrap<CxlobjWorksheetsCollection>(GetObjectMember(DISPID_XL_WORKSHEETS));
}

CxlobjWindow* CxlobjWorkbook::GetWindow(short index)
{
    COleVariant i(index);
    return xlWrap<CxlobjWindow>(GetObjectMember(DISPID_XL_WINDOWS, &i));
}

CxlobjActiveWorksheet* CxlobjWorkbook::GetActiveSheet()
{
    return xlWrap<CxlobjActiveWorksheet>(GetObjectMember(DISPID_XL_ACTIVESHEET));
}

BOOL CxlobjWorkbook::GetSaved(BOOL* saved)
{
    COleVariant v;
    if (!GetValue(DISPID_XL_SAVED, &v) || v.vt != VT_BOOL)
        return FALSE;
    *saved = v.boolVal != VARIANT_FALSE;
    return TRUE;
}

BOOL CxlobjWorkbook::SetSaved(BOOL saved)
{
    COleVariant v((short)(saved ? VARIANT_TRUE : VARIANT_FALSE), VT_BOOL);
    return SetValue(DISPID_XL_SAVED, v);
}

BOOL CxlobjWorkbook::SaveCopyAs(const char* file)
{
    COleVariant name(file);
    return CallMethod(DISPID_XL_SAVECOPYAS, nullptr, 1, &name);
}

BOOL CxlobjApplication::Run(const char* macro, VARIANT* result, int count, const VARIANT* args)
{
    // Six arguments in all reach the server: the name and at most five of the caller's.
    VARIANT list[6];
    if (count > 5)
        count = 5;
    if (count < 0)
        count = 0;
    COleVariant name(macro);
    list[0] = name;
    for (int i = 0; i < count; ++i)
        list[i + 1] = args[i]; // shallow: the caller keeps the values alive
    return CallMethod(DISPID_XL_RUN, result, count + 1, list);
}

BOOL CxlobjApplication::GetVersion(CString& version)
{
    return GetString(DISPID_XL_VERSION, version);
}

BOOL CxlobjApplication::GetVisible(int* visible)
{
    COleVariant v;
    if (!GetValue(DISPID_XL_VISIBLE, &v))
        return FALSE;
    if (v.vt == VT_BOOL && v.boolVal == VARIANT_TRUE) {
        *visible = 1;
        return TRUE;
    }
    double d;
    if (xlVariantToDouble(v, d) && d == 0) {
        *visible = 0;
        return TRUE;
    }
    return FALSE;
}

BOOL CxlobjApplication::GetSaveAsFilename(const char* initialFile, VARIANT* result)
{
    VARIANT args[5];
    COleVariant initial(initialFile);
    args[0] = initial;
    for (int i = 1; i < 5; ++i)
        VariantInit(&args[i]);
    return CallMethod(DISPID_XL_GETSAVEASFILENAME, result, 5, args);
}

int CxlobjWorksheetsCollection::GetCount()
{
    return CxlobjBaseDispatchDriver::GetCount(DISPID_XL_COUNT);
}

BOOL CxlobjWorksheetsCollection::Add(int count)
{
    COleVariant missing((long)DISP_E_PARAMNOTFOUND, VT_ERROR), n((short)count);
    VARIANT args[4] = {missing, missing, n, missing};
    COleVariant added;
    return CallMethod(DISPID_XL_ADD, &added, 4, args);
}

CxlobjWorksheet::CxlobjWorksheet(CxlobjWorkbook& workbook, short index)
{
    COleVariant i(index);
    if (LPDISPATCH d = workbook.GetObjectMember(DISPID_XL_WORKSHEETS, &i))
        AttachDispatch(d);
}

CxlobjWorksheet::CxlobjWorksheet(CxlobjWorkbook& workbook, const char* name)
{
    COleVariant n(name);
    if (LPDISPATCH d = workbook.GetObjectMember(DISPID_XL_WORKSHEETS, &n))
        AttachDispatch(d);
}

CxlobjSheet::CxlobjSheet(CxlobjWorkbook& workbook, const char* name)
{
    COleVariant n(name);
    if (LPDISPATCH d = workbook.GetObjectMember(DISPID_XL_SHEETS, &n))
        AttachDispatch(d);
}

CxlobjWorkbook* CxlobjWorksheet::GetParent()
{
    return xlWrap<CxlobjWorkbook>(GetObjectMember(DISPID_XL_PARENT));
}

BOOL CxlobjWorksheet::GetName(CString& name)
{
    return GetString(DISPID_XL_NAME, name);
}

BOOL CxlobjWorksheet::SetName(const char* name)
{
    COleVariant v(name);
    return SetValue(DISPID_XL_NAME, v);
}

CxlobjUsedRange* CxlobjWorksheet::GetUsedRange()
{
    return xlWrap<CxlobjUsedRange>(GetObjectMember(DISPID_XL_USEDRANGE));
}

CxlobjRange* CxlobjWorksheet::GetRange(const char* name)
{
    COleVariant n(name);
    return xlWrap<CxlobjRange>(GetObjectWithArgument(DISPID_XL_RANGE, n));
}

CxlobjRange* CxlobjWorksheet::GetColumn(int index)
{
    COleVariant i((long)index);
    return xlWrap<CxlobjOneColumnRange>(GetObjectMember(DISPID_XL_COLUMNS, &i));
}

BOOL CxlobjWorksheet::Activate()
{
    COleVariant r;
    return CallMethod(DISPID_XL_ACTIVATE, &r, 0, nullptr) && r.vt == VT_BOOL && r.boolVal == VARIANT_TRUE;
}

CxlobjRange* CxlobjWindow::GetRangeSelection()
{
    return xlWrap<CxlobjRange>(GetObjectMember(DISPID_XL_RANGESELECTION));
}

int CxlobjRange::GetRow()
{
    return GetCount(DISPID_XL_ROW);
}

int CxlobjRange::GetColumn()
{
    return GetCount(DISPID_XL_COLUMN);
}

int CxlobjRange::GetRowsCount()
{
    CxlobjRange* rows = xlWrap<CxlobjRange>(GetObjectMember(DISPID_XL_ROWS));
    int n = rows ? rows->GetCount(DISPID_XL_COUNT) : -1;
    delete rows;
    return n;
}

int CxlobjRange::GetColumnsCount()
{
    CxlobjRange* cols = xlWrap<CxlobjRange>(GetObjectMember(DISPID_XL_COLUMNS));
    int n = cols ? cols->GetCount(DISPID_XL_COUNT) : -1;
    delete cols;
    return n;
}

BOOL CxlobjRange::GetBounds(int& c1, int& c2, int& r1, int& r2)
{
    // Columns(1).Column and Rows(1).Row, then the counts.
    COleVariant one((long)1);
    CxlobjRange* firstCol = xlWrap<CxlobjRange>(GetObjectMember(DISPID_XL_COLUMNS, &one));
    int col = firstCol ? firstCol->GetColumn() : -1;
    delete firstCol;
    int ncols = GetColumnsCount();
    CxlobjRange* firstRow = xlWrap<CxlobjRange>(GetObjectMember(DISPID_XL_ROWS, &one));
    int row = firstRow ? firstRow->GetRow() : -1;
    delete firstRow;
    int nrows = GetRowsCount();
    if (col < 1 || ncols < 0 || row < 1 || nrows < 0)
        return FALSE;
    c1 = col;
    c2 = col + ncols;
    r1 = row;
    r2 = row + nrows;
    return TRUE;
}

CxlobjAreas* CxlobjRange::GetAreas()
{
    return xlWrap<CxlobjAreas>(GetObjectMember(DISPID_XL_AREAS));
}

CxlobjRange* CxlobjRange::GetArea(int index)
{
    COleVariant i((long)index);
    return xlWrap<CxlobjRange>(GetObjectMember(DISPID_XL_AREAS, &i));
}

BOOL CxlobjRange::GetValue(VARIANT* value)
{
    return CxlobjBaseDispatchDriver::GetValue(DISPID_XL_VALUE, value);
}

BOOL CxlobjRange::SetValue(const VARIANT& value)
{
    return CxlobjBaseDispatchDriver::SetValue(DISPID_XL_VALUE, value);
}

BOOL CxlobjRange::GetText(CString& text)
{
    COleVariant v;
    if (!CxlobjBaseDispatchDriver::GetValue(DISPID_XL_TEXT, &v) || v.vt != VT_BSTR)
        return FALSE;
    text = AfxStringFromBSTR(v.bstrVal);
    return TRUE;
}

BOOL CxlobjRange::Insert()
{
    return CallMethod(DISPID_XL_INSERT, nullptr, 0, nullptr);
}

BOOL CxlobjRange::Delete()
{
    return CallMethod(DISPID_XL_DELETE, nullptr, 0, nullptr);
}

BOOL CxlobjRange::Run(VARIANT* result, int count, const VARIANT* args)
{
    return CallMethod(DISPID_XL_RUN, result, count, args);
}

BOOL CxlobjRange::Activate()
{
    COleVariant r;
    return CallMethod(DISPID_XL_ACTIVATE, &r, 0, nullptr) && r.vt == VT_BOOL && r.boolVal == VARIANT_TRUE;
}

int CxlobjAreas::GetCount()
{
    return CxlobjBaseDispatchDriver::GetCount(DISPID_XL_COUNT);
}

CxlobjRange* CxlobjAreas::GetItem(int index)
{
    // Item is the collection's own member, not an item of something it holds.
    COleVariant i((long)index);
    LPDISPATCH result = nullptr;
    Retry([&] {
        if (result) {
            result->Release();
            result = nullptr;
        }
        m_driver.InvokeHelper(DISPID_XL_ITEM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, VT_DISPATCH, &result,
                              (const BYTE*)VTS_VARIANT, (const VARIANT*)&i);
    });
    return xlWrap<CxlobjRange>(result);
}
