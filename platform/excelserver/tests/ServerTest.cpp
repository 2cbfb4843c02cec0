// The stand-in server through IDispatch as any client reaches it: creation by ProgID,
// cells, sheets, the selection, macros, its file, and the test controls.
#include <afxdisp.h>
#include <initguid.h>

#include "QxExcelServer.h"
#include "QxExcelServerTesting.h"

#include <gtest/gtest.h>

namespace {

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(reg.ok());
        CoInitialize(nullptr);
        CLSID clsid;
        ASSERT_EQ(S_OK, CLSIDFromProgID(L"Excel.Sheet.8", &clsid));
        ASSERT_TRUE(book.CreateDispatch(clsid));
    }
    void TearDown() override
    {
        book.ReleaseDispatch();
        CoUninitialize();
    }
    // An object-valued member read as a property, with one optional argument.
    LPDISPATCH Get(COleDispatchDriver& d, DISPID id, const VARIANT* arg = nullptr)
    {
        LPDISPATCH out = nullptr;
        if (arg)
            d.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &out, (const BYTE*)VTS_VARIANT, arg);
        else
            d.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &out, nullptr);
        return out;
    }
    COleDispatchDriver Sheet(const char* name)
    {
        COleVariant key(name);
        return COleDispatchDriver(Get(book, 494, &key));
    }
    COleDispatchDriver Range(COleDispatchDriver& sheet, const char* name)
    {
        COleVariant key(name);
        return COleDispatchDriver(Get(sheet, 197, &key));
    }
    long Long(COleDispatchDriver& d, DISPID id)
    {
        long v = 0;
        d.GetProperty(id, VT_I4, &v);
        return v;
    }

    QxExcelServerRegistration reg;
    COleDispatchDriver book;
};

TEST_F(ServerTest, CellsKeepNumbersTextAndEmptiness)
{
    COleDispatchDriver sheet = Sheet("Sheet1");
    COleDispatchDriver b2 = Range(sheet, "B2");
    b2.SetProperty(6, VT_R8, 2.5);
    COleDispatchDriver c7 = Range(sheet, "C7");
    c7.SetProperty(6, VT_BSTR, "text");
    COleVariant v;
    b2.GetProperty(6, VT_VARIANT, &v);
    EXPECT_EQ(VT_R8, v.vt);
    EXPECT_EQ(2.5, v.dblVal);

    // The used range is the block from B2 to C7.
    COleDispatchDriver used(Get(sheet, 412));
    EXPECT_EQ(2, Long(used, 257));
    EXPECT_EQ(2, Long(used, 240));
    COleDispatchDriver rows(Get(used, 258)), cols(Get(used, 241));
    EXPECT_EQ(6, Long(rows, 118));
    EXPECT_EQ(2, Long(cols, 118));

    // A block reads as a two-dimensional array from 1, empty cells as VT_EMPTY.
    COleDispatchDriver block = Range(sheet, "B2:C7");
    COleVariant arr;
    block.GetProperty(6, VT_VARIANT, &arr);
    ASSERT_EQ(VT_ARRAY | VT_VARIANT, arr.vt);
    LONG lo = 0, hi = 0;
    SafeArrayGetLBound(arr.parray, 1, &lo);
    SafeArrayGetUBound(arr.parray, 1, &hi);
    EXPECT_EQ(1, lo);
    EXPECT_EQ(6, hi);
    VARIANT e;
    VariantInit(&e);
    LONG idx[2] = {6, 2};
    SafeArrayGetElement(arr.parray, idx, &e);
    EXPECT_EQ(VT_BSTR, e.vt);
    VariantClear(&e);
    LONG idx2[2] = {3, 1};
    SafeArrayGetElement(arr.parray, idx2, &e);
    EXPECT_EQ(VT_EMPTY, e.vt);

    // Writing marks the workbook modified.
    BOOL saved = TRUE;
    book.GetProperty(298, VT_BOOL, &saved);
    EXPECT_FALSE(saved);
}

TEST_F(ServerTest, SheetsAreAddedBeforeTheActiveOneAndNamesStayUnique)
{
    COleDispatchDriver sheets(Get(book, 494));
    COleVariant missing((long)DISP_E_PARAMNOTFOUND, VT_ERROR), three((long)3);
    LPDISPATCH added = nullptr;
    sheets.InvokeHelper(181, DISPATCH_METHOD, VT_DISPATCH, &added, (const BYTE*)(VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT),
                        (const VARIANT*)&missing, (const VARIANT*)&missing, (const VARIANT*)&three, (const VARIANT*)&missing);
    if (added)
        added->Release();
    EXPECT_EQ(4, Long(sheets, 118));
    const char* expected[] = {"Sheet4", "Sheet3", "Sheet2", "Sheet1"};
    for (short i = 1; i <= 4; ++i) {
        COleVariant key(i);
        COleDispatchDriver s(Get(book, 494, &key));
        CString name;
        s.GetProperty(110, VT_BSTR, &name);
        EXPECT_STREQ(expected[i - 1], name);
    }
    COleDispatchDriver first = Sheet("Sheet4");
    EXPECT_THROW(first.SetProperty(110, VT_BSTR, "sheet1"), CException*);
}

TEST_F(ServerTest, SelectionFollowsActivateAndAreasCount)
{
    COleDispatchDriver sheet = Sheet("Sheet1");
    COleDispatchDriver sel = Range(sheet, "A1:A5,C2:D9");
    BOOL ok = FALSE;
    sel.InvokeHelper(304, DISPATCH_METHOD, VT_BOOL, &ok, nullptr);
    EXPECT_TRUE(ok);
    COleVariant one((short)1);
    COleDispatchDriver window(Get(book, 430, &one));
    COleDispatchDriver selection(Get(window, 1189));
    COleDispatchDriver areas(Get(selection, 568));
    EXPECT_EQ(2, Long(areas, 118));
    COleVariant two((short)2);
    COleDispatchDriver second(Get(areas, 170, &two));
    EXPECT_EQ(2, Long(second, 257));
    EXPECT_EQ(3, Long(second, 240));
}

TEST_F(ServerTest, MacrosRunByNameAndFromACell)
{
    COleDispatchDriver app(Get(book, 150));
    COleVariant name("Sum"), a((long)2), b("3.5");
    COleVariant result;
    app.InvokeHelper(259, DISPATCH_METHOD, VT_VARIANT, &result, (const BYTE*)(VTS_VARIANT VTS_VARIANT VTS_VARIANT),
                     (const VARIANT*)&name, (const VARIANT*)&a, (const VARIANT*)&b);
    EXPECT_EQ(VT_R8, result.vt);
    EXPECT_EQ(5.5, result.dblVal);

    COleVariant nope("NoSuchMacro");
    EXPECT_THROW(app.InvokeHelper(259, DISPATCH_METHOD, VT_VARIANT, &result, (const BYTE*)VTS_VARIANT, (const VARIANT*)&nope),
                 CException*);

    COleDispatchDriver sheet = Sheet("Sheet1");
    COleDispatchDriver a1 = Range(sheet, "A1");
    a1.SetProperty(6, VT_BSTR, "=ArgCount()");
    COleVariant x((long)1);
    a1.InvokeHelper(259, DISPATCH_METHOD, VT_VARIANT, &result, (const BYTE*)(VTS_VARIANT VTS_VARIANT), (const VARIANT*)&x,
                    (const VARIANT*)&x);
    EXPECT_EQ(VT_I4, result.vt);
    EXPECT_EQ(2, result.lVal);
}

TEST_F(ServerTest, SaveCopyAsAndLoadKeepEveryKindOfCell)
{
    COleDispatchDriver sheet = Sheet("Sheet1");
    Range(sheet, "A1").SetProperty(6, VT_R8, 1.0 / 3.0);
    Range(sheet, "A2").SetProperty(6, VT_BSTR, "two\nlines \\ and a backslash");
    COleVariant cy;
    cy.vt = VT_CY;
    cy.cyVal.int64 = 15000;
    Range(sheet, "B1").SetProperty(6, VT_VARIANT, (const VARIANT*)&cy);
    sheet.SetProperty(110, VT_BSTR, "Data");

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    CString path = CString(temp) + "qxexcelsrv-test.xls";
    book.InvokeHelper(175, DISPATCH_METHOD, VT_EMPTY, nullptr, (const BYTE*)VTS_BSTR, (LPCTSTR)path);

    CLSID clsid;
    CLSIDFromProgID(L"Excel.Sheet.8", &clsid);
    IPersistFile* pf = nullptr;
    ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistFile, (void**)&pf));
    BSTR wpath = AfxAllocBSTR(path);
    ASSERT_EQ(S_OK, pf->Load(wpath, STGM_READ));
    SysFreeString(wpath);
    IDispatch* disp = nullptr;
    pf->QueryInterface(IID_IDispatch, (void**)&disp);
    pf->Release();
    COleDispatchDriver loaded(disp);
    COleVariant key("Data");
    COleDispatchDriver data(Get(loaded, 494, &key));
    COleVariant v;
    Range(data, "A1").GetProperty(6, VT_VARIANT, &v);
    EXPECT_EQ(1.0 / 3.0, v.dblVal);
    CString text;
    Range(data, "A2").GetProperty(6, VT_BSTR, &text);
    EXPECT_STREQ("two\nlines \\ and a backslash", text);
    Range(data, "B1").GetProperty(6, VT_VARIANT, &v);
    EXPECT_EQ(VT_CY, v.vt);
    EXPECT_EQ(15000, v.cyVal.int64);
    DeleteFileA(path);
}

TEST_F(ServerTest, TestControlsInjectFailuresAndLimitTransfers)
{
    COleDispatchDriver app(Get(book, 150));
    app.InvokeHelper(QXDISPID_FAILNEXTCALLS, DISPATCH_METHOD, VT_EMPTY, nullptr, (const BYTE*)(VTS_I4 VTS_I4), 2L,
                     (long)RPC_E_CALL_REJECTED);
    for (int i = 0; i < 2; ++i) {
        try {
            CString v;
            app.GetProperty(392, VT_BSTR, &v);
            ADD_FAILURE() << "call " << i << " went through";
        } catch (COleException* e) {
            EXPECT_EQ(RPC_E_CALL_REJECTED, e->m_sc);
            e->Delete();
        }
    }
    CString version;
    app.GetProperty(392, VT_BSTR, &version);
    EXPECT_STREQ("8.0", version);

    app.SetProperty(QXDISPID_MAXTRANSFERCELLS, VT_I4, 100L);
    COleDispatchDriver sheet = Sheet("Sheet1");
    COleVariant v;
    EXPECT_NO_THROW(Range(sheet, "A1:A100").GetProperty(6, VT_VARIANT, &v));
    EXPECT_THROW(Range(sheet, "A1:A101").GetProperty(6, VT_VARIANT, &v), CException*);
}

} // namespace
