// The automation objects of the stand-in server (Application, Workbook, Worksheets,
// Worksheet, Window, Range, Areas), its class factory and its registration.
#include <initguid.h>

#include "QxExcelServer.h"
#include "Workbook.h"

#include <olectl.h>

#include <cstdio>
#include <cstring>

using namespace qxxl;

static HMODULE g_module;

namespace {

// Dispatch identifiers of the automation surface.
enum {
    ID_VALUE = 6, ID_DELETE = 117, ID_COUNT = 118, ID_NAME = 110, ID_TEXT = 138, ID_APPLICATION = 148,
    ID_PARENT = 150, ID_ITEM = 170, ID_SAVECOPYAS = 175, ID_ADD = 181, ID_RANGE = 197, ID_COLUMN = 240,
    ID_COLUMNS = 241, ID_INSERT = 252, ID_ROW = 257, ID_ROWS = 258, ID_RUN = 259, ID_SAVED = 298,
    ID_ACTIVATE = 304, ID_ACTIVESHEET = 307, ID_VERSION = 392, ID_USEDRANGE = 412, ID_WINDOWS = 430,
    ID_SHEETS = 485, ID_WORKSHEETS = 494, ID_VISIBLE = 558, ID_AREAS = 568, ID_GETSAVEASFILENAME = 1076,
    ID_RANGESELECTION = 1189,
};

struct MemberName {
    DISPID id;
    const char* name;
};
const MemberName kMembers[] = {
    {ID_VALUE, "Value"}, {ID_DELETE, "Delete"}, {ID_COUNT, "Count"}, {ID_NAME, "Name"}, {ID_TEXT, "Text"},
    {ID_APPLICATION, "Application"}, {ID_PARENT, "Parent"}, {ID_ITEM, "Item"}, {ID_SAVECOPYAS, "SaveCopyAs"},
    {ID_ADD, "Add"}, {ID_RANGE, "Range"}, {ID_COLUMN, "Column"}, {ID_COLUMNS, "Columns"}, {ID_INSERT, "Insert"},
    {ID_ROW, "Row"}, {ID_ROWS, "Rows"}, {ID_RUN, "Run"}, {ID_SAVED, "Saved"}, {ID_ACTIVATE, "Activate"},
    {ID_ACTIVESHEET, "ActiveSheet"}, {ID_VERSION, "Version"}, {ID_USEDRANGE, "UsedRange"},
    {ID_WINDOWS, "Windows"}, {ID_SHEETS, "Sheets"}, {ID_WORKSHEETS, "Worksheets"}, {ID_VISIBLE, "Visible"},
    {ID_AREAS, "Areas"}, {ID_GETSAVEASFILENAME, "GetSaveAsFilename"}, {ID_RANGESELECTION, "RangeSelection"},
    {QXDISPID_FAILNEXTCALLS, "QxFailNextCalls"}, {QXDISPID_MAXTRANSFERCELLS, "QxMaxTransferCells"},
    {QXDISPID_SAVEASANSWER, "QxSaveAsAnswer"}, {QXDISPID_CALLLOG, "QxCallLog"}, {QXDISPID_VERSION, "QxVersion"},
    {QXDISPID_DRAGDATA, "QxDragData"},
};

const char* MemberNameOf(DISPID id)
{
    for (auto& m : kMembers)
        if (m.id == id)
            return m.name;
    return id == DISPID_VALUE ? "_Default" : "?";
}

// A failure the client sees as the object's own error (DISP_E_EXCEPTION with a text).
struct Failure {
    HRESULT hr;
    std::string text;
};

[[noreturn]] void Fail(const std::string& text) { throw Failure{DISP_E_EXCEPTION, text}; }
[[noreturn]] void FailCode(HRESULT hr) { throw Failure{hr, std::string()}; }

// The arguments of one call in their written order; the value of a property put apart.
struct Args {
    std::vector<VARIANT*> list;
    VARIANT* putValue = nullptr;
    size_t size() const { return list.size(); }
    // An argument that is there and not the "missing" marker.
    bool Given(size_t i) const
    {
        if (i >= list.size())
            return false;
        const VARIANT* v = Deref(list[i]);
        return !(v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND) && v->vt != VT_EMPTY;
    }
    static const VARIANT* Deref(const VARIANT* v)
    {
        while (v->vt == (VT_BYREF | VT_VARIANT))
            v = v->pvarVal;
        return v;
    }
    const VARIANT* operator[](size_t i) const { return Deref(list[i]); }
    long Long(size_t i) const
    {
        VARIANT t;
        VariantInit(&t);
        if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>((*this)[i]), 0, VT_I4)))
            FailCode(DISP_E_TYPEMISMATCH);
        return t.lVal;
    }
    std::string String(size_t i) const
    {
        VARIANT t;
        VariantInit(&t);
        if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>((*this)[i]), 0, VT_BSTR)))
            FailCode(DISP_E_TYPEMISMATCH);
        std::string s = FromBSTR(t.bstrVal);
        VariantClear(&t);
        return s;
    }
};

class DispatchObject : public IDispatch {
public:
    explicit DispatchObject(const char* kind, std::shared_ptr<Book> book) : m_kind(kind), m_book(std::move(book))
    {
        InterlockedIncrement(&Server().objects);
    }
    virtual ~DispatchObject() { InterlockedDecrement(&Server().objects); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_ref); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG n = InterlockedDecrement(&m_ref);
        if (n == 0)
            delete this;
        return n;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        if (count)
            *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            std::string name = FromBSTR(names[i]); // LPOLESTR reads as a BSTR up to its end
            name = name.c_str();
            for (auto& m : kMembers)
                if (_stricmp(m.name, name.c_str()) == 0)
                    ids[i] = m.id;
            if (ids[i] == DISPID_UNKNOWN)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excep, UINT* argErr) override
    {
        ServerState& st = Server();
        if (st.failCount > 0) {
            --st.failCount;
            return st.failCode;
        }
        st.callLog += std::string(m_kind) + "." + MemberNameOf(id) + "\n";
        Args args;
        UINT n = params ? params->cArgs : 0;
        UINT named = params ? params->cNamedArgs : 0;
        UINT first = 0;
        if ((flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) && named == 1 && n >= 1 &&
            params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT) {
            args.putValue = &params->rgvarg[0];
            first = 1;
        } else if (named != 0) {
            return DISP_E_NONAMEDARGS;
        }
        for (UINT i = n; i > first; --i)
            args.list.push_back(&params->rgvarg[i - 1]);
        VARIANT local;
        VariantInit(&local);
        VARIANT* out = result ? result : &local;
        VariantInit(out);
        try {
            Call(id, flags, args, out);
            // A window showing the workbook and the containers of an embedded one follow
            // every change; reading members changes nothing.
            if ((IsPut(flags) || id == ID_ADD || id == ID_INSERT || id == ID_DELETE || id == ID_RUN ||
                 id == ID_ACTIVATE) &&
                m_book->changed)
                m_book->changed();
        } catch (const Failure& f) {
            VariantClear(out);
            VariantClear(&local);
            if (f.hr == DISP_E_EXCEPTION && excep) {
                memset(excep, 0, sizeof *excep);
                excep->wCode = 1004;
                excep->bstrSource = SysAllocString(L"Stand-in spreadsheet");
                excep->bstrDescription = ToBSTR(f.text);
                excep->scode = E_FAIL;
            }
            return f.hr;
        }
        VariantClear(&local);
        return S_OK;
    }

protected:
    // Carries out one member; failures throw Failure.
    virtual void Call(DISPID id, WORD flags, Args& args, VARIANT* result) = 0;

    static bool IsPut(WORD flags) { return (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0; }
    static void ReturnObject(VARIANT* result, IDispatch* object)
    {
        result->vt = VT_DISPATCH;
        result->pdispVal = object; // the new object's one reference goes to the caller
    }
    static void ReturnBool(VARIANT* result, bool value)
    {
        result->vt = VT_BOOL;
        result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    static void ReturnLong(VARIANT* result, long value)
    {
        result->vt = VT_I4;
        result->lVal = value;
    }
    static void ReturnString(VARIANT* result, const std::string& text)
    {
        result->vt = VT_BSTR;
        result->bstrVal = ToBSTR(text);
    }
    [[noreturn]] void Unknown(DISPID id) { FailCode(DISP_E_MEMBERNOTFOUND); }

    LONG m_ref = 1;
    const char* m_kind;
    std::shared_ptr<Book> m_book;
};

IDispatch* NewApplication(const std::shared_ptr<Book>& book);
IDispatch* NewWorkbook(const std::shared_ptr<Book>& book);
IDispatch* NewWorksheet(const std::shared_ptr<Book>& book, const std::shared_ptr<Sheet>& sheet);
IDispatch* NewRange(const std::shared_ptr<Book>& book, const std::shared_ptr<Sheet>& sheet, std::vector<Area> areas,
                    int countMode);

// Count of a range: its cells, or the rows or the columns of its first area.
enum { COUNT_CELLS, COUNT_ROWS, COUNT_COLUMNS };

// One worksheet of the book by 1-based index or by name; null when there is none.
std::shared_ptr<Sheet> SheetByKey(const Book& book, const VARIANT* key)
{
    if (key->vt == VT_BSTR) {
        int i = book.FindSheet(FromBSTR(key->bstrVal));
        return i < 0 ? nullptr : book.sheets[i];
    }
    VARIANT t;
    VariantInit(&t);
    if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>(key), 0, VT_I4)))
        return nullptr;
    if (t.lVal < 1 || t.lVal > (long)book.sheets.size())
        return nullptr;
    return book.sheets[t.lVal - 1];
}

void CellToVariant(const Cell* c, VARIANT* v)
{
    VariantInit(v);
    if (!c)
        return;
    switch (c->vt) {
    case VT_R8: v->vt = VT_R8; v->dblVal = c->number; break;
    case VT_DATE: v->vt = VT_DATE; v->date = c->number; break;
    case VT_CY: v->vt = VT_CY; v->cyVal.int64 = c->currency; break;
    case VT_BOOL: v->vt = VT_BOOL; v->boolVal = c->flag ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_BSTR: v->vt = VT_BSTR; v->bstrVal = ToBSTR(c->text); break;
    }
}

Cell VariantToCell(const VARIANT* in)
{
    const VARIANT* v = Args::Deref(in);
    Cell c;
    switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR: return c;
    case VT_BSTR:
        c.text = FromBSTR(v->bstrVal);
        if (!c.text.empty())
            c.vt = VT_BSTR;
        return c;
    case VT_BOOL: c.vt = VT_BOOL; c.flag = v->boolVal != VARIANT_FALSE; return c;
    case VT_CY: c.vt = VT_CY; c.currency = v->cyVal.int64; return c;
    case VT_DATE: c.vt = VT_DATE; c.number = v->date; return c;
    default: {
        VARIANT t;
        VariantInit(&t);
        if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>(v), 0, VT_R8)))
            FailCode(DISP_E_TYPEMISMATCH);
        c.vt = VT_R8;
        c.number = t.dblVal;
        return c;
    }
    }
}

// The built-in macros. A workbook of this server carries no macro code, so the macros it
// runs are fixed: enough to show arguments going in and results coming back.
void RunMacro(Book& book, const std::string& name, Args& args, size_t first, VARIANT* result)
{
    size_t n = args.size() > first ? args.size() - first : 0;
    if (_stricmp(name.c_str(), "ArgCount") == 0) {
        result->vt = VT_I4;
        result->lVal = (long)n;
    } else if (_stricmp(name.c_str(), "Echo") == 0) {
        if (n > 0)
            VariantCopy(result, const_cast<VARIANT*>(args[first]));
    } else if (_stricmp(name.c_str(), "Join") == 0) {
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s += (i ? "," : "") + args.String(first + i);
        result->vt = VT_BSTR;
        result->bstrVal = ToBSTR(s);
    } else if (_stricmp(name.c_str(), "Sum") == 0) {
        double sum = 0;
        for (size_t i = 0; i < n; ++i) {
            VARIANT t;
            VariantInit(&t);
            if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>(args[first + i]), 0, VT_R8)))
                Fail("Sum: an argument is not a number.");
            sum += t.dblVal;
        }
        result->vt = VT_R8;
        result->dblVal = sum;
    } else if (_stricmp(name.c_str(), "IsTrue") == 0) {
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    } else if (_stricmp(name.c_str(), "SetCell") == 0) {
        // SetCell(sheet, cell, value)
        if (n < 3)
            Fail("SetCell needs a sheet, a cell and a value.");
        int s = book.FindSheet(args.String(first));
        std::vector<Area> areas;
        if (s < 0 || !ParseRangeName(args.String(first + 1), areas))
            Fail("SetCell: no such sheet or cell.");
        book.sheets[s]->Put(areas[0].r1, areas[0].c1, VariantToCell(args[first + 2]));
        book.saved = false;
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    } else {
        Fail("The macro '" + name + "' cannot be found.");
    }
}

class Application : public DispatchObject {
public:
    explicit Application(std::shared_ptr<Book> book) : DispatchObject("Application", std::move(book)) {}

protected:
    void Call(DISPID id, WORD flags, Args& args, VARIANT* result) override
    {
        ServerState& st = Server();
        switch (id) {
        case ID_RUN:
            if (!args.Given(0))
                Fail("Run needs the name of a macro.");
            RunMacro(*m_book, args.String(0), args, 1, result);
            return;
        case ID_VERSION: ReturnString(result, st.version); return;
        case ID_VISIBLE: ReturnBool(result, false); return;
        case ID_GETSAVEASFILENAME:
            if (st.saveAsAnswer.vt == VT_EMPTY)
                ReturnBool(result, false);
            else
                VariantCopy(result, &st.saveAsAnswer);
            return;
        case QXDISPID_FAILNEXTCALLS:
            st.failCount = (int)args.Long(0);
            st.failCode = (SCODE)args.Long(1);
            return;
        case QXDISPID_MAXTRANSFERCELLS:
            if (!args.putValue)
                FailCode(DISP_E_BADPARAMCOUNT);
            {
                Args one;
                one.list.push_back(args.putValue);
                st.maxTransferCells = (int)one.Long(0);
            }
            return;
        case QXDISPID_SAVEASANSWER:
            if (!args.putValue)
                FailCode(DISP_E_BADPARAMCOUNT);
            VariantClear(&st.saveAsAnswer);
            VariantCopy(&st.saveAsAnswer, args.putValue);
            return;
        case QXDISPID_DRAGDATA: {
            IDataObject* data = nullptr;
            HRESULT hr = CreateRangeDragData(*m_book, &data);
            if (FAILED(hr))
                FailCode(hr);
            result->vt = VT_UNKNOWN;
            result->punkVal = data;
            return;
        }
        case QXDISPID_CALLLOG:
            ReturnString(result, st.callLog);
            st.callLog.clear();
            return;
        case QXDISPID_VERSION:
            if (!args.putValue)
                FailCode(DISP_E_BADPARAMCOUNT);
            {
                Args one;
                one.list.push_back(args.putValue);
                st.version = one.String(0);
            }
            return;
        }
        Unknown(id);
    }
};

class Worksheets : public DispatchObject {
public:
    Worksheets(const char* kind, std::shared_ptr<Book> book) : DispatchObject(kind, std::move(book)) {}

protected:
    void Call(DISPID id, WORD flags, Args& args, VARIANT* result) override
    {
        Book& b = *m_book;
        switch (id) {
        case ID_COUNT: ReturnLong(result, (long)b.sheets.size()); return;
        case DISPID_VALUE:
        case ID_ITEM: {
            if (!args.Given(0))
                FailCode(DISP_E_BADPARAMCOUNT);
            auto s = SheetByKey(b, args[0]);
            if (!s)
                FailCode(DISP_E_BADINDEX);
            ReturnObject(result, NewWorksheet(m_book, s));
            return;
        }
        case ID_ADD: {
            // Add(Before, After, Count, Type): without Before or After each new sheet goes
            // before the active one and becomes active, as a new sheet does.
            if (args.Given(0) || args.Given(1))
                Fail("Add places sheets before the active sheet only.");
            long count = args.Given(2) ? args.Long(2) : 1;
            if (count < 1 || count > 255)
                Fail("Add: the count must be 1 to 255.");
            std::shared_ptr<Sheet> last;
            for (long i = 0; i < count; ++i) {
                last = std::make_shared<Sheet>();
                last->name = b.NextSheetName();
                b.sheets.insert(b.sheets.begin() + b.active, last);
            }
            b.saved = false;
            ReturnObject(result, NewWorksheet(m_book, last));
            return;
        }
        }
        Unknown(id);
    }
};

class Window : public DispatchObject {
public:
    explicit Window(std::shared_ptr<Book> book) : DispatchObject("Window", std::move(book)) {}

protected:
    void Call(DISPID id, WORD flags, Args& args, VARIANT* result) override
    {
        if (id == ID_RANGESELECTION) {
            auto s = m_book->sheets[m_book->active];
            ReturnObject(result, NewRange(m_book, s, s->selection, COUNT_CELLS));
            return;
        }
        Unknown(id);
    }
};

// The workbook's windows: it has one.
class Windows : public DispatchObject {
public:
    explicit Windows(std::shared_ptr<Book> book) : DispatchObject("Windows", std::move(book)) {}

protected:
    void Call(DISPID id, WORD flags, Args& args, VARIANT* result) override
    {
        switch (id) {
        case ID_COUNT: ReturnLong(result, 1); return;
        case DISPID_VALUE:
        case ID_ITEM:
            if (!args.Given(0) || args.Long(0) != 1)
                FailCode(DISP_E_BADINDEX);
            ReturnObject(result, new Window(m_book));
            return;
        }
        Unknown(id);
    }
};

class Workbook : public DispatchObject, public IPersistFile {
public:
    explicit Workbook(std::shared_ptr<Book> book) : DispatchObject("Workbook", std::move(book)) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv && (riid == IID_IPersistFile || riid == IID_IPersist)) {
            *ppv = static_cast<IPersistFile*>(this);
            AddRef();
            return S_OK;
        }
        return DispatchObject::QueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return DispatchObject::AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return DispatchObject::Release(); }

    STDMETHODIMP GetClassID(CLSID* clsid) override
    {
        *clsid = CLSID_QxStandInWorkbook;
        return S_OK;
    }
    STDMETHODIMP IsDirty() override { return m_book->saved ? S_FALSE : S_OK; }
    STDMETHODIMP Load(LPCOLESTR name, DWORD) override
    {
        std::string error;
        return m_book->Load(name, error) ? S_OK : STG_E_READFAULT;
    }
    STDMETHODIMP Save(LPCOLESTR name, BOOL remember) override
    {
        std::wstring path = name ? name : m_book->file;
        if (path.empty())
            return E_INVALIDARG;
        if (!m_book->Save(path))
            return STG_E_WRITEFAULT;
        if (remember || !name) {
            m_book->file = path;
            m_book->saved = true;
        }
        return S_OK;
    }
    STDMETHODIMP SaveCompleted(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP GetCurFile(LPOLESTR* name) override
    {
        if (m_book->file.empty())
            return E_FAIL;
        size_t bytes = (m_book->file.size() + 1) * sizeof(wchar_t);
        *name = (LPOLESTR)CoTaskMemAlloc(bytes);
        if (!*name)
            return E_OUTOFMEMORY;
        memcpy(*name, m_book->file.c_str(), bytes);
        return S_OK;
    }

protected:
    void Call(DISPID id, WORD flags, Args& args, VARIANT* result) override
    {
        Book& b = *m_book;
        switch (id) {
        case ID_APPLICATION:
        case ID_PARENT: ReturnObject(result, NewApplication(m_book)); return;
        case ID_WORKSHEETS:
        case ID_SHEETS:
            if (args.Given(0)) {
                auto s = SheetByKey(b, args[0]);
                if (!s)
                    FailCode(DISP_E_BADINDEX);
                ReturnObject(result, NewWorksheet(m_book, s));
            } else {
                ReturnObject(result, new Worksheets(id == ID_SHEETS ? "Sheets" : "Worksheets", m_book));
            }
            return;
        case ID_WINDOWS:
            if (!args.Given(0)) {
                ReturnObject(result, new Windows(m_book));
                return;
            }
            if (args.Long(0) != 1)
                FailCode(DISP_E_BADINDEX);
            ReturnObject(result, new Window(m_book));
            return;
        case ID_ACTIVESHEET: ReturnObject(result, NewWorksheet(m_book, b.sheets[b.active])); return;
        case ID_SAVED:
            if (IsPut(flags)) {
                Args one;
                one.list.push_back(args.putValue);
                VARIANT t;
                VariantInit(&t);
                if (FAILED(VariantChangeType(&t, const_cast<VARIANT*>(one[0]), 0, VT_BOOL)))
                    FailCode(DISP_E_TYPEMISMATCH);
                b.saved = t.boolVal != VARIANT_FALSE;
            } else {
                ReturnBool(result, b.saved);
            }
            return;
        case ID_SAVECOPYAS: {
            if (!args.Given(0))
                FailCode(DISP_E_BADPARAMCOUNT);
            BSTR path = ToBSTR(args.String(0));
            bool ok = b.Save(path);
            SysFreeString(path);
            if (!ok)
                Fail("The workbook cannot be saved into the file '" + args.String(0) + "'.");
            return;
        }
        }
        Unknown(id);
    }
};

class Worksheet : public DispatchObject {
public:
    Worksheet(std::shared_ptr<Book> book, std::shared_ptr<Sheet> sheet)
        : DispatchObject("Worksheet", std::move(book)), m_sheet(std::move(sheet))
    {
    }

protected:
    void Call(DISPID id, WORD flags, Args& args, VARIANT* result) override
    {
        Book& b = *m_book;
        switch (id) {
        case ID_PARENT: ReturnObject(result, NewWorkbook(m_book)); return;
        case ID_NAME:
            if (IsPut(flags)) {
                Args one;
                one.list.push_back(args.putValue);
                std::string name = one.String(0);
                int other = b.FindSheet(name);
                if (name.empty() || name.size() > 31 || name.find_first_of("[]:*?/\\") != std::string::npos ||
                    (other >= 0 && b.sheets[other] != m_sheet))
                    Fail("The sheet cannot be named '" + name + "'.");
                m_sheet->name = name;
                b.saved = false;
            } else {
                ReturnString(result, m_sheet->name);
            }
            return;
        case ID_USEDRANGE: ReturnObject(result, NewRange(m_book, m_sheet, {m_sheet->UsedRange()}, COUNT_CELLS)); return;
        case ID_RANGE: {
            std::vector<Area> areas;
            if (!args.Given(0) || !ParseRangeName(args.String(0), areas))
                Fail("The range name is not valid.");
            ReturnObject(result, NewRange(m_book, m_sheet, areas, COUNT_CELLS));
            return;
        }
        case ID_COLUMNS:
        case ID_ROWS: {
            bool cols = id == ID_COLUMNS;
            Area all{1, 1, kMaxRows, kMaxCols};
            if (args.Given(0)) {
                long i = args.Long(0);
                if (i < 1 || i > (cols ? kMaxCols : kMaxRows))
                    FailCode(DISP_E_BADINDEX);
                if (cols)
                    all.c1 = all.c2 = (int)i;
                else
                    all.r1 = all.r2 = (int)i;
            }
            ReturnObject(result, NewRange(m_book, m_sheet, {all}, cols ? COUNT_COLUMNS : COUNT_ROWS));
            return;
        }
        case ID_ACTIVATE:
            for (size_t i = 0; i < b.sheets.size(); ++i)
                if (b.sheets[i] == m_sheet)
                    b.active = (int)i;
            ReturnBool(result, true);
            return;
        }
        Unknown(id);
    }

    std::shared_ptr<Sheet> m_sheet;
};

class Areas : public DispatchObject {
public:
    Areas(std::shared_ptr<Book> book, std::shared_ptr<Sheet> sheet, std::vector<Area> areas)
        : DispatchObject("Areas", std::move(book)), m_sheet(std::move(sheet)), m_areas(std::move(areas))
    {
    }

protected:
    void Call(DISPID id, WORD flags, Args& args, VARIANT* result) override
    {
        switch (id) {
        case ID_COUNT: ReturnLong(result, (long)m_areas.size()); return;
        case DISPID_VALUE:
        case ID_ITEM: {
            long i = args.Given(0) ? args.Long(0) : 0;
            if (i < 1 || i > (long)m_areas.size())
                FailCode(DISP_E_BADINDEX);
            ReturnObject(result, NewRange(m_book, m_sheet, {m_areas[i - 1]}, COUNT_CELLS));
            return;
        }
        }
        Unknown(id);
    }
    std::shared_ptr<Sheet> m_sheet;
    std::vector<Area> m_areas;
};

class Range : public DispatchObject {
public:
    Range(std::shared_ptr<Book> book, std::shared_ptr<Sheet> sheet, std::vector<Area> areas, int countMode)
        : DispatchObject("Range", std::move(book)), m_sheet(std::move(sheet)), m_areas(std::move(areas)),
          m_countMode(countMode)
    {
    }

protected:
    void CheckTransfer(long long cells)
    {
        int limit = Server().maxTransferCells;
        if (limit > 0 && cells > limit)
            FailCode(E_OUTOFMEMORY);
    }

    void GetValue(VARIANT* result)
    {
        const Area& a = m_areas[0];
        if (a.r1 == a.r2 && a.c1 == a.c2) {
            CellToVariant(m_sheet->Find(a.r1, a.c1), result);
            return;
        }
        CheckTransfer((long long)a.Rows() * a.Cols());
        SAFEARRAYBOUND bounds[2] = {{(ULONG)a.Rows(), 1}, {(ULONG)a.Cols(), 1}};
        SAFEARRAY* sa = SafeArrayCreate(VT_VARIANT, 2, bounds);
        if (!sa)
            FailCode(E_OUTOFMEMORY);
        for (auto it = m_sheet->cells.lower_bound({a.r1, 0}); it != m_sheet->cells.end() && it->first.first <= a.r2;
             ++it) {
            int r = it->first.first, c = it->first.second;
            if (c < a.c1 || c > a.c2)
                continue;
            LONG index[2] = {r - a.r1 + 1, c - a.c1 + 1};
            VARIANT v;
            CellToVariant(&it->second, &v);
            SafeArrayPutElement(sa, index, &v);
            VariantClear(&v);
        }
        result->vt = VT_ARRAY | VT_VARIANT;
        result->parray = sa;
    }

    void PutValue(const VARIANT* in)
    {
        const VARIANT* v = Args::Deref(in);
        const Area& a = m_areas[0];
        if (v->vt & VT_ARRAY) {
            SAFEARRAY* sa = (v->vt & VT_BYREF) ? *v->pparray : v->parray;
            UINT dims = SafeArrayGetDim(sa);
            if ((v->vt & VT_TYPEMASK) != VT_VARIANT || dims < 1 || dims > 2)
                FailCode(DISP_E_TYPEMISMATCH);
            CheckTransfer((long long)a.Rows() * a.Cols());
            LONG lo0, hi0, lo1 = 1, hi1 = 1;
            SafeArrayGetLBound(sa, 1, &lo0);
            SafeArrayGetUBound(sa, 1, &hi0);
            if (dims == 2) {
                SafeArrayGetLBound(sa, 2, &lo1);
                SafeArrayGetUBound(sa, 2, &hi1);
            }
            // A one-dimensional array is one row, as a spreadsheet reads it.
            int rows = dims == 2 ? hi0 - lo0 + 1 : 1;
            int cols = dims == 2 ? hi1 - lo1 + 1 : hi0 - lo0 + 1;
            for (int r = 0; r < a.Rows() && r < rows; ++r)
                for (int c = 0; c < a.Cols() && c < cols; ++c) {
                    LONG index[2];
                    if (dims == 2) {
                        index[0] = lo0 + r;
                        index[1] = lo1 + c;
                    } else {
                        index[0] = lo0 + c;
                    }
                    VARIANT e;
                    VariantInit(&e);
                    if (FAILED(SafeArrayGetElement(sa, index, &e)))
                        FailCode(DISP_E_BADINDEX);
                    Cell cell;
                    try {
                        cell = VariantToCell(&e);
                    } catch (...) {
                        VariantClear(&e);
                        throw;
                    }
                    VariantClear(&e);
                    m_sheet->Put(a.r1 + r, a.c1 + c, cell);
                }
        } else {
            Cell cell = VariantToCell(v);
            for (const Area& area : m_areas) {
                CheckTransfer((long long)area.Rows() * area.Cols());
                for (int r = area.r1; r <= area.r2; ++r)
                    for (int c = area.c1; c <= area.c2; ++c)
                        m_sheet->Put(r, c, cell);
            }
        }
        m_book->saved = false;
    }

    // Inserting or deleting whole columns moves the cells to their right.
    void ShiftColumns(bool insert)
    {
        const Area& a = m_areas[0];
        if (m_areas.size() != 1 || a.r1 != 1 || a.r2 != kMaxRows)
            Fail("Only whole columns can be inserted or deleted.");
        int width = a.Cols();
        std::map<std::pair<int, int>, Cell> moved;
        for (auto& kv : m_sheet->cells) {
            int r = kv.first.first, c = kv.first.second;
            if (c < a.c1) {
                moved[kv.first] = kv.second;
            } else if (insert) {
                if (c + width <= kMaxCols)
                    moved[{r, c + width}] = kv.second;
            } else if (c > a.c2) {
                moved[{r, c - width}] = kv.second;
            }
        }
        m_sheet->cells.swap(moved);
        m_book->saved = false;
    }

    void Call(DISPID id, WORD flags, Args& args, VARIANT* result) override
    {
        const Area& a = m_areas[0];
        switch (id) {
        case ID_ROW: ReturnLong(result, a.r1); return;
        case ID_COLUMN: ReturnLong(result, a.c1); return;
        case ID_ROWS:
        case ID_COLUMNS: {
            bool cols = id == ID_COLUMNS;
            Area sub = a;
            if (args.Given(0)) {
                long i = args.Long(0);
                if (i < 1 || i > (cols ? a.Cols() : a.Rows()))
                    FailCode(DISP_E_BADINDEX);
                if (cols)
                    sub.c1 = sub.c2 = a.c1 + (int)i - 1;
                else
                    sub.r1 = sub.r2 = a.r1 + (int)i - 1;
            }
            ReturnObject(result, NewRange(m_book, m_sheet, {sub}, cols ? COUNT_COLUMNS : COUNT_ROWS));
            return;
        }
        case DISPID_VALUE:
        case ID_ITEM: {
            // Items of the range as its count counts them: rows, columns or cells.
            long i = args.Given(0) ? args.Long(0) : 0;
            Area sub = a;
            if (m_countMode == COUNT_ROWS && i >= 1 && i <= a.Rows()) {
                sub.r1 = sub.r2 = a.r1 + (int)i - 1;
            } else if (m_countMode == COUNT_COLUMNS && i >= 1 && i <= a.Cols()) {
                sub.c1 = sub.c2 = a.c1 + (int)i - 1;
            } else if (m_countMode == COUNT_CELLS && i >= 1 && i <= (long long)a.Rows() * a.Cols()) {
                sub.r1 = sub.r2 = a.r1 + (int)((i - 1) / a.Cols());
                sub.c1 = sub.c2 = a.c1 + (int)((i - 1) % a.Cols());
            } else {
                FailCode(DISP_E_BADINDEX);
            }
            ReturnObject(result, NewRange(m_book, m_sheet, {sub}, m_countMode));
            return;
        }
        case ID_COUNT: {
            long long n = 0;
            if (m_countMode == COUNT_ROWS)
                n = a.Rows();
            else if (m_countMode == COUNT_COLUMNS)
                n = a.Cols();
            else
                for (const Area& area : m_areas)
                    n += (long long)area.Rows() * area.Cols();
            ReturnLong(result, (long)n);
            return;
        }
        case ID_AREAS:
            if (args.Given(0)) {
                long i = args.Long(0);
                if (i < 1 || i > (long)m_areas.size())
                    FailCode(DISP_E_BADINDEX);
                ReturnObject(result, NewRange(m_book, m_sheet, {m_areas[i - 1]}, COUNT_CELLS));
            } else {
                ReturnObject(result, new Areas(m_book, m_sheet, m_areas));
            }
            return;
        case ID_VALUE:
            if (IsPut(flags))
                PutValue(args.putValue);
            else
                GetValue(result);
            return;
        case ID_TEXT: ReturnString(result, CellText(m_sheet->Find(a.r1, a.c1))); return;
        case ID_INSERT:
        case ID_DELETE:
            ShiftColumns(id == ID_INSERT);
            ReturnBool(result, true);
            return;
        case ID_RUN: {
            // The macro named by the cell's text ("=Name()" or "Name").
            std::string name = CellText(m_sheet->Find(a.r1, a.c1));
            if (!name.empty() && name[0] == '=')
                name.erase(0, 1);
            size_t paren = name.find('(');
            if (paren != std::string::npos)
                name.erase(paren);
            if (name.empty())
                Fail("The cell holds no macro.");
            RunMacro(*m_book, name, args, 0, result);
            return;
        }
        case ID_ACTIVATE:
            for (size_t i = 0; i < m_book->sheets.size(); ++i)
                if (m_book->sheets[i] == m_sheet)
                    m_book->active = (int)i;
            m_sheet->selection = m_areas;
            ReturnBool(result, true);
            return;
        case ID_RANGE: {
            std::vector<Area> rel;
            if (!args.Given(0) || !ParseRangeName(args.String(0), rel))
                Fail("The range name is not valid.");
            for (Area& r : rel) {
                r.r1 += a.r1 - 1;
                r.r2 += a.r1 - 1;
                r.c1 += a.c1 - 1;
                r.c2 += a.c1 - 1;
                if (r.r2 > kMaxRows || r.c2 > kMaxCols)
                    Fail("The range lies outside the sheet.");
            }
            ReturnObject(result, NewRange(m_book, m_sheet, rel, COUNT_CELLS));
            return;
        }
        }
        Unknown(id);
    }

    std::shared_ptr<Sheet> m_sheet;
    std::vector<Area> m_areas;
    int m_countMode;
};

IDispatch* NewApplication(const std::shared_ptr<Book>& book) { return new Application(book); }
IDispatch* NewWorkbook(const std::shared_ptr<Book>& book) { return static_cast<DispatchObject*>(new Workbook(book)); }
IDispatch* NewWorksheet(const std::shared_ptr<Book>& book, const std::shared_ptr<Sheet>& sheet)
{
    return new Worksheet(book, sheet);
}
IDispatch* NewRange(const std::shared_ptr<Book>& book, const std::shared_ptr<Sheet>& sheet, std::vector<Area> areas,
                    int countMode)
{
    return new Range(book, sheet, std::move(areas), countMode);
}

class ClassFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return CreateWorkbookObject(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&Server().locks);
        else
            InterlockedDecrement(&Server().locks);
        return S_OK;
    }
};
ClassFactory g_factory;

} // namespace

IDispatch* qxxl::NewWorkbookDispatch(const std::shared_ptr<Book>& book) { return NewWorkbook(book); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    if (clsid != CLSID_QxStandInWorkbook)
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT WINAPI DllCanUnloadNow()
{
    return Server().objects == 0 && Server().locks == 0 ? S_OK : S_FALSE;
}

static const char kProgId[] = "Excel.Sheet.8";
// Workbook files are found to be of the class by their extension, so a file can be made
// into an embedded object.
static const char kExtension[] = ".xls";

static std::string ClsidKey()
{
    wchar_t text[64];
    StringFromGUID2(CLSID_QxStandInWorkbook, text, 64);
    char narrow[64];
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return std::string("CLSID\\") + narrow;
}

static bool SetKeyValue(const std::string& key, const char* name, const std::string& value)
{
    HKEY h;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExA(h, name, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

// The class answers in-process. The local-server value names this file too: clients that
// check an installation look for a server file there.
extern "C" HRESULT WINAPI DllRegisterServer()
{
    char path[MAX_PATH];
    if (!GetModuleFileNameA(g_module, path, MAX_PATH))
        return SELFREG_E_CLASS;
    std::string clsid = ClsidKey();
    std::string braced = clsid.substr(6);
    bool ok = SetKeyValue(kProgId, nullptr, "Stand-in Worksheet") && SetKeyValue(std::string(kProgId) + "\\CLSID", nullptr, braced) &&
              SetKeyValue(clsid, nullptr, "Stand-in Worksheet") && SetKeyValue(clsid + "\\ProgID", nullptr, kProgId) &&
              SetKeyValue(clsid + "\\InprocServer32", nullptr, path) &&
              SetKeyValue(clsid + "\\InprocServer32", "ThreadingModel", "Apartment") &&
              SetKeyValue(clsid + "\\LocalServer32", nullptr, path) &&
              SetKeyValue(kExtension, nullptr, kProgId);
    return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT WINAPI DllUnregisterServer()
{
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ClsidKey().c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgId);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kExtension);
    return S_OK;
}
