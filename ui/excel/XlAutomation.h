// The automation wrappers of the Excel link: one small class per spreadsheet object, each
// member called by its dispatch identifier (no type library is imported).
//
// Every access is tried up to three times, each attempt inside a try and catch, so no
// exception leaves this layer: a member that fails three times answers FALSE or null.
// Object-valued members come in two calling forms: version 8 servers give them as
// properties returning an IDispatch (and items of a collection through Item); older ones
// as methods returning a VARIANT. `CQUxlView::AssumeExcelVersionEight` chooses the form.
#pragma once

#include <afxdisp.h>

#include "QKExternal.h"
#include "XlExport.h"

// A VARIANT of a numeric kind as a double: VT_I2, VT_BOOL (as a 16-bit integer, so true
// is -1), VT_I4, VT_R4, VT_R8, VT_CY (the amount), VT_UI1, their by-reference forms and a
// by-reference VARIANT. FALSE for every other type.
QUXL_API BOOL xlVariantToDouble(const VARIANT& value, double& result);

// Shows the busy message when the exception is the server refusing the call; deletes the
// exception. TRUE when the message was shown.
QUXL_API BOOL ReportExcelBusy(CException* e);

class CxlobjRange;

class QUXL_API CxlobjBaseDispatchDriver {
public:
    CxlobjBaseDispatchDriver() : m_bAttached(0) {}
    virtual ~CxlobjBaseDispatchDriver();
    // Attaches with automatic release.
    void AttachDispatch(LPDISPATCH lpDispatch);
    int IsAttached() const { return m_bAttached; }
    LPDISPATCH GetIDispatch() const { return m_driver.m_lpDispatch; }

    COleDispatchDriver m_driver;
    int m_bAttached;

protected:
    // The retry layer: runs `call` up to three times; the busy message is shown at most
    // once per operation.
    template <class F> BOOL Retry(F call);
    // An object-valued member in the calling form of the server; `item` asks for one item
    // of the collection (by index or name). A new reference or null.
    LPDISPATCH GetObjectMember(DISPID id, const VARIANT* item = nullptr);
    // A parameterised object member such as Range("B3"): the argument goes with the call.
    LPDISPATCH GetObjectWithArgument(DISPID id, const VARIANT& argument);
    BOOL GetValue(DISPID id, VARIANT* value);
    BOOL SetValue(DISPID id, const VARIANT& value);
    BOOL GetString(DISPID id, CString& text);
    // A count or index converted to an integer; -1 when it cannot be read.
    int GetCount(DISPID id);
    // A method with up to six VARIANT arguments; the result (may be null) receives what
    // it answers.
    BOOL CallMethod(DISPID id, VARIANT* result, int count, const VARIANT* args);
};

class CxlobjApplication;
class CxlobjWorksheetsCollection;
class CxlobjWorksheet;
class CxlobjSheet;
class CxlobjActiveWorksheet;
class CxlobjWindow;
class CxlobjUsedRange;
class CxlobjAreas;

class QUXL_API CxlobjWorkbook : public CxlobjBaseDispatchDriver {
public:
    CxlobjWorkbook() = default;
    CxlobjApplication* GetApplication();
    CxlobjWorksheetsCollection* GetWorksheets();
    CxlobjWindow* GetWindow(short index);
    CxlobjActiveWorksheet* GetActiveSheet();
    BOOL GetSaved(BOOL* saved);
    BOOL SetSaved(BOOL saved);
    BOOL SaveCopyAs(const char* file);

    friend class CxlobjWorksheet;
    friend class CxlobjSheet;
};

class QUXL_API CxlobjApplication : public CxlobjBaseDispatchDriver {
public:
    // Application.Run: the macro name and at most five arguments.
    BOOL Run(const char* macro, VARIANT* result, int count, const VARIANT* args);
    BOOL GetVersion(CString& version);
    // 1 visible, 0 hidden; FALSE for any other answer.
    BOOL GetVisible(int* visible);
    BOOL GetSaveAsFilename(const char* initialFile, VARIANT* result);
};

class QUXL_API CxlobjWorksheetsCollection : public CxlobjBaseDispatchDriver {
public:
    int GetCount();
    BOOL Add(int count);
};

class QUXL_API CxlobjWorksheet : public CxlobjBaseDispatchDriver {
public:
    CxlobjWorksheet() = default;
    // Worksheets(index) or Worksheets(name); unattached when there is no such sheet.
    CxlobjWorksheet(CxlobjWorkbook& workbook, short index);
    CxlobjWorksheet(CxlobjWorkbook& workbook, const char* name);
    CxlobjWorkbook* GetParent();
    BOOL GetName(CString& name);
    BOOL SetName(const char* name);
    CxlobjUsedRange* GetUsedRange();
    CxlobjRange* GetRange(const char* name);
    // Columns(index): one whole column, 1-based.
    CxlobjRange* GetColumn(int index);
    BOOL Activate();
};

// A sheet of the Sheets collection (macro sheets too), looked up by name.
class QUXL_API CxlobjSheet : public CxlobjWorksheet {
public:
    CxlobjSheet(CxlobjWorkbook& workbook, const char* name);
};

class QUXL_API CxlobjActiveWorksheet : public CxlobjWorksheet {};

class QUXL_API CxlobjWindow : public CxlobjBaseDispatchDriver {
public:
    CxlobjRange* GetRangeSelection();
};

class QUXL_API CxlobjRange : public CxlobjBaseDispatchDriver {
public:
    int GetRow();
    int GetColumn();
    int GetRowsCount();
    int GetColumnsCount();
    // First column, column end, first row, row end, all 1-based, ends one past the last.
    BOOL GetBounds(int& c1, int& c2, int& r1, int& r2);
    CxlobjAreas* GetAreas();
    // Areas(index) of the older calling form.
    CxlobjRange* GetArea(int index);
    BOOL GetValue(VARIANT* value);
    BOOL SetValue(const VARIANT& value);
    BOOL GetText(CString& text);
    BOOL Insert();
    BOOL Delete();
    BOOL Run(VARIANT* result, int count, const VARIANT* args);
    BOOL Activate();
};

class QUXL_API CxlobjUsedRange : public CxlobjRange {};
class QUXL_API CxlobjOneColumnRange : public CxlobjRange {};
class QUXL_API CxlobjOneCellRange : public CxlobjRange {};

class QUXL_API CxlobjAreas : public CxlobjBaseDispatchDriver {
public:
    int GetCount();
    CxlobjRange* GetItem(int index);
};

// A new wrapper of type T attached to the interface (whose reference it takes), or null
// when there is none.
template <class T> T* xlWrap(LPDISPATCH lpDispatch)
{
    if (!lpDispatch)
        return nullptr;
    T* w = new T;
    w->AttachDispatch(lpDispatch);
    return w;
}
