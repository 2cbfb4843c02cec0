// OLE from the client's side through real OLE: VARIANT values, calls through IDispatch to
// the system's dictionary object, and the message filter.
#include <afxole.h>
#include <gtest/gtest.h>
#include <string>

namespace {

CString TextOf(const VARIANT& var)
{
    return var.vt == VT_BSTR ? AfxStringFromBSTR(var.bstrVal) : CString("(not text)");
}

TEST(OleVariant, ValuesConvertCopyAndRefuseWhatDoesNotConvert)
{
    COleVariant text("42");
    EXPECT_EQ(text.vt, VT_BSTR);
    EXPECT_EQ(TextOf(text), CString("42"));
    COleVariant copy = text;
    text = "changed";   // the copy owns its own string
    EXPECT_EQ(TextOf(copy), CString("42"));
    copy.ChangeType(VT_I4);
    EXPECT_EQ(copy.vt, VT_I4);
    EXPECT_EQ(copy.lVal, 42);

    struct Case { COleVariant value; VARTYPE vt; } cases[] = {
        {COleVariant(2.5), VT_R8},
        {COleVariant(1L, VT_BOOL), VT_BOOL},
        {COleVariant((short)7), VT_I2},
        {COleVariant((BYTE)200), VT_UI1},
        {COleVariant((long)DISP_E_PARAMNOTFOUND, VT_ERROR), VT_ERROR},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value.vt, c.vt);
    EXPECT_EQ(cases[1].value.boolVal, VARIANT_TRUE);

    COleVariant word("abc");
    try {
        word.ChangeType(VT_R8);
        ADD_FAILURE() << "a word became a number";
    } catch (COleException* e) {
        EXPECT_EQ(e->m_sc, DISP_E_TYPEMISMATCH);
        e->Delete();
    }
    EXPECT_EQ(TextOf(word), CString("abc"));   // a failed conversion keeps the value

    VARIANT detached = copy.Detach();
    EXPECT_EQ(copy.vt, VT_EMPTY);
    COleVariant attached;
    attached.Attach(detached);
    EXPECT_EQ(attached.lVal, 42);
    EXPECT_EQ(detached.vt, VT_EMPTY);
}

DISPID DispIdOf(LPDISPATCH lpDispatch, const wchar_t* name)
{
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    EXPECT_EQ(lpDispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid), S_OK) << name;
    return dispid;
}

TEST(OleDispatch, MembersOfAnAutomationObjectAreCalledAndTheirErrorsThrown)
{
    ASSERT_TRUE(AfxOleInit());
    COleException error;
    COleDispatchDriver missing;
    EXPECT_FALSE(missing.CreateDispatch("No.Such.Program", &error));
    EXPECT_EQ(error.m_sc, CO_E_CLASSSTRING);
    try {
        missing.InvokeHelper(1, DISPATCH_METHOD, VT_EMPTY, nullptr, (const BYTE*)VTS_NONE);
        ADD_FAILURE() << "a call through no object";
    } catch (COleException* e) {
        EXPECT_EQ(e->m_sc, E_POINTER);
        e->Delete();
    }

    COleDispatchDriver dict;
    ASSERT_TRUE(dict.CreateDispatch("Scripting.Dictionary"));
    DISPID idAdd = DispIdOf(dict, L"Add"), idCount = DispIdOf(dict, L"Count"), idItem = DispIdOf(dict, L"Item"),
           idExists = DispIdOf(dict, L"Exists"), idCompare = DispIdOf(dict, L"CompareMode");

    COleVariant key("alpha"), value(3.25);
    dict.InvokeHelper(idAdd, DISPATCH_METHOD, VT_EMPTY, nullptr, (const BYTE*)(VTS_PVARIANT VTS_PVARIANT),
                      (VARIANT*)&key, (VARIANT*)&value);
    COleVariant key2("beta"), value2("second");
    dict.InvokeHelper(idAdd, DISPATCH_METHOD, VT_EMPTY, nullptr, (const BYTE*)(VTS_VARIANT VTS_VARIANT),
                      (const VARIANT*)&key2, (const VARIANT*)&value2);
    long nCount = 0;
    dict.GetProperty(idCount, VT_I4, &nCount);
    EXPECT_EQ(nCount, 2);

    // Results arrive in the type asked for.
    CString strItem;
    dict.InvokeHelper(idItem, DISPATCH_PROPERTYGET, VT_BSTR, &strItem, (const BYTE*)VTS_PVARIANT, (VARIANT*)&key);
    EXPECT_EQ(strItem, CString("3.25"));
    double dItem = 0;
    dict.InvokeHelper(idItem, DISPATCH_PROPERTYGET, VT_R8, &dItem, (const BYTE*)VTS_PVARIANT, (VARIANT*)&key);
    EXPECT_EQ(dItem, 3.25);
    BOOL bExists = FALSE;
    dict.InvokeHelper(idExists, DISPATCH_METHOD, VT_BOOL, &bExists, (const BYTE*)VTS_PVARIANT, (VARIANT*)&key2);
    EXPECT_TRUE(bExists);
    COleVariant gamma("gamma");
    dict.InvokeHelper(idExists, DISPATCH_METHOD, VT_BOOL, &bExists, (const BYTE*)VTS_PVARIANT, (VARIANT*)&gamma);
    EXPECT_FALSE(bExists);
    VARIANT varItem;
    ::VariantInit(&varItem);
    dict.InvokeHelper(idItem, DISPATCH_PROPERTYGET, VT_VARIANT, &varItem, (const BYTE*)VTS_PVARIANT, (VARIANT*)&key2);
    EXPECT_EQ(TextOf(varItem), CString("second"));
    ::VariantClear(&varItem);

    // The object's own refusal (a key added twice) comes as a dispatch exception.
    try {
        dict.InvokeHelper(idAdd, DISPATCH_METHOD, VT_EMPTY, nullptr, (const BYTE*)(VTS_PVARIANT VTS_PVARIANT),
                          (VARIANT*)&key, (VARIANT*)&value);
        ADD_FAILURE() << "the same key twice";
    } catch (COleDispatchException* e) {
        EXPECT_NE(e->m_scError, S_OK);
        e->Delete();
    } catch (COleException* e) {
        EXPECT_NE(e->m_sc, S_OK);
        e->Delete();
    }
    // A property that cannot be set while the dictionary holds items.
    try {
        dict.SetProperty(idCompare, VT_I4, 1L);
        ADD_FAILURE() << "compare mode changed on a filled dictionary";
    } catch (CException* e) {
        e->Delete();
    }
    dict.GetProperty(idCount, VT_I4, &nCount);
    EXPECT_EQ(nCount, 2);

    // A second driver attached without releasing leaves the interface to the first.
    COleDispatchDriver borrowed;
    borrowed.AttachDispatch(dict.m_lpDispatch, FALSE);
    borrowed.ReleaseDispatch();
    dict.GetProperty(idCount, VT_I4, &nCount);
    EXPECT_EQ(nCount, 2);
    COleDispatchDriver shared(dict);
    dict.ReleaseDispatch();
    shared.GetProperty(idCount, VT_I4, &nCount);
    EXPECT_EQ(nCount, 2);
}

TEST(OleMessageFilter, BusyProgramsAskCallersToWaitAndBusyServersAreCalledAgainForAWhile)
{
    CWinApp app;   // the filter belongs to the program's thread
    ASSERT_TRUE(AfxOleInit());
    COleMessageFilter* pFilter = AfxOleGetMessageFilter();
    ASSERT_NE(pFilter, nullptr);
    // It is the thread's registered filter.
    LPMESSAGEFILTER lpCurrent = nullptr;
    ASSERT_EQ(::CoRegisterMessageFilter(nullptr, &lpCurrent), S_OK);
    EXPECT_EQ(lpCurrent, pFilter->GetMessageFilterInterface());
    ::CoRegisterMessageFilter(lpCurrent, nullptr);

    IMessageFilter* pIFilter = pFilter->GetMessageFilterInterface();
    EXPECT_EQ(pIFilter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), (DWORD)SERVERCALL_ISHANDLED);
    pFilter->BeginBusyState();
    EXPECT_EQ(pIFilter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), (DWORD)SERVERCALL_RETRYLATER);
    EXPECT_EQ(pIFilter->HandleInComingCall(CALLTYPE_NESTED, nullptr, 0, nullptr), (DWORD)SERVERCALL_ISHANDLED);
    pFilter->SetBusyReply(SERVERCALL_REJECTED);
    EXPECT_EQ(pIFilter->HandleInComingCall(CALLTYPE_TOPLEVEL_CALLPENDING, nullptr, 0, nullptr), (DWORD)SERVERCALL_REJECTED);
    pFilter->EndBusyState();
    EXPECT_EQ(pIFilter->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr), (DWORD)SERVERCALL_ISHANDLED);

    pFilter->SetMessagePendingDelay(3000);
    pFilter->SetRetryReply(50);
    struct Case { DWORD tick; DWORD reject; DWORD expected; } cases[] = {
        {100, SERVERCALL_RETRYLATER, 50},
        {2999, SERVERCALL_RETRYLATER, 50},
        {3000, SERVERCALL_RETRYLATER, (DWORD)-1},
        {100, SERVERCALL_REJECTED, (DWORD)-1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pIFilter->RetryRejectedCall(nullptr, c.tick, c.reject), c.expected) << c.tick;
    EXPECT_EQ(pIFilter->MessagePending(nullptr, 0, PENDINGTYPE_TOPLEVEL), (DWORD)PENDINGMSG_WAITDEFPROCESS);

    // Locks held by other programs keep the program from ending.
    EXPECT_TRUE(AfxOleCanExitApp());
    AfxOleLockApp();
    EXPECT_FALSE(AfxOleCanExitApp());
    AfxOleUnlockApp();
    EXPECT_TRUE(AfxOleCanExitApp());
}

}
