// A workbook window's document and view on a new workbook of the stand-in server, with
// the kernel's project fresh for each test.
#pragma once

#include <gtest/gtest.h>

#include <qxtest/DialogDriver.h>

#include "QKCallLog.h"
#include "QxExcelServer.h"
#include "QxExcelServerTesting.h"
#include "XlView.h"

class XlFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(reg.ok());
        CoInitialize(nullptr);
        qkfxGetProject().New();
        qkfxGetCallLog().Clear();
        ASSERT_TRUE(CQUxlView::CheckExcelInstallation(FALSE));
        doc = new CQUExcelDoc;
        doc->m_bAutoDelete = FALSE; // the test deletes it
        ASSERT_TRUE(doc->InitPage(nullptr));
        view = new CQUxlView;
        doc->AddView(view);
        CLSID clsid;
        ASSERT_EQ(S_OK, CLSIDFromProgID(L"Excel.Sheet.8", &clsid));
        CxlCntrItem* item = new CxlCntrItem(doc);
        ASSERT_TRUE(item->CreateNewItem(clsid));
        view->SetItem(item);
        ASSERT_TRUE(view->InitDriverAutomation());
    }
    void TearDown() override
    {
        delete view;
        delete doc;
        CoUninitialize();
    }

    // The Application object of the workbook, for the stand-in's test controls.
    COleDispatchDriver App()
    {
        LPDISPATCH d = nullptr;
        COleDispatchDriver book(view->GetWorkbookDriver()->GetIDispatch(), FALSE);
        book.InvokeHelper(150, DISPATCH_PROPERTYGET, VT_DISPATCH, &d, nullptr);
        return COleDispatchDriver(d);
    }
    void FailNextCalls(long count, SCODE code)
    {
        App().InvokeHelper(QXDISPID_FAILNEXTCALLS, DISPATCH_METHOD, VT_EMPTY, nullptr,
                           (const BYTE*)(VTS_I4 VTS_I4), count, (long)code);
    }
    void LimitTransfers(long cells) { App().SetProperty(QXDISPID_MAXTRANSFERCELLS, VT_I4, cells); }
    CString TakeCallLog()
    {
        CString log;
        App().GetProperty(QXDISPID_CALLLOG, VT_BSTR, &log);
        return log;
    }
    // Writes a cell as the user would, without the view.
    void UserSets(const char* sheet, const char* cell, const COleVariant& value)
    {
        CxlobjWorksheet ws(*view->GetWorkbookDriver(), sheet);
        ASSERT_TRUE(ws.IsAttached());
        CxlobjRange* r = ws.GetRange(cell);
        ASSERT_TRUE(r);
        EXPECT_TRUE(r->SetValue(value));
        delete r;
    }

    QxExcelServerRegistration reg;
    CQUExcelDoc* doc = nullptr;
    CQUxlView* view = nullptr;
};
