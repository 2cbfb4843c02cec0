// Finding the spreadsheet server, the wrappers' retries and the VARIANT conversion.
#include "XlFixture.h"

#include "ExcelRes.h"

namespace {

using qxtest::DialogDriver;

TEST(XlInstallation, WithoutARegisteredServerTheUserIsToldAndNothingIsCreated)
{
    QxExcelServerRegistration unregistered(false);
    ASSERT_TRUE(unregistered.ok());
    CQUxlView::dwExcelInstallation = 0;
    std::string text;
    DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    EXPECT_EQ(FALSE, driver.Run([] { return (INT_PTR)CQUxlView::CheckExcelInstallation(TRUE); }));
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_EQ(std::string(xlLoadString(IDS_XL_NOT_INSTALLED)), text);
    EXPECT_NE(std::string::npos, text.find("unable to detect a proper installation of Excel"));
    EXPECT_FALSE(CQUxlView::AssumeExcelVersionEight());

    CoInitialize(nullptr);
    CxlCntrItem item(nullptr);
    EXPECT_TRUE(FAILED(item.CreateFromFile("C:\\nowhere\\Book.xls")));
    EXPECT_EQ(nullptr, item.get_IDispatch());
    CoUninitialize();
}

TEST(XlInstallation, ARegisteredServerSetsTheVersionEightBits)
{
    QxExcelServerRegistration registered;
    ASSERT_TRUE(registered.ok());
    EXPECT_TRUE(CQUxlView::CheckExcelInstallation(FALSE));
    const DWORD versionEight = 0x40000000u | 0x10000000u | 0x04000000u;
    EXPECT_EQ(versionEight, CQUxlView::dwExcelInstallation & versionEight);
    EXPECT_TRUE(CQUxlView::AssumeExcelVersionEight());
}

TEST(XlVariant, OnlyNumericKindsConvertToDouble)
{
    double d = 0, byRefValue = 2.25;
    short i2 = -7;
    COleVariant inner(4.5);
    struct Case {
        VARIANT v;
        BOOL ok;
        double expected;
    } cases[8];
    for (auto& c : cases)
        VariantInit(&c.v);
    cases[0].v.vt = VT_I2, cases[0].v.iVal = 12, cases[0].ok = TRUE, cases[0].expected = 12;
    cases[1].v.vt = VT_BOOL, cases[1].v.boolVal = VARIANT_TRUE, cases[1].ok = TRUE, cases[1].expected = -1;
    cases[2].v.vt = VT_CY, cases[2].v.cyVal.int64 = 123456, cases[2].ok = TRUE, cases[2].expected = 12.3456;
    cases[3].v.vt = VT_R8 | VT_BYREF, cases[3].v.pdblVal = &byRefValue, cases[3].ok = TRUE, cases[3].expected = 2.25;
    cases[4].v.vt = VT_I2 | VT_BYREF, cases[4].v.piVal = &i2, cases[4].ok = TRUE, cases[4].expected = -7;
    cases[5].v.vt = VT_VARIANT | VT_BYREF, cases[5].v.pvarVal = &inner, cases[5].ok = TRUE, cases[5].expected = 4.5;
    cases[6].v.vt = VT_DATE, cases[6].v.date = 36526, cases[6].ok = FALSE;
    cases[7].v.vt = VT_EMPTY, cases[7].ok = FALSE;
    for (int i = 0; i < 8; ++i) {
        d = 0;
        EXPECT_EQ(cases[i].ok, xlVariantToDouble(cases[i].v, d)) << "case " << i;
        if (cases[i].ok)
            EXPECT_DOUBLE_EQ(cases[i].expected, d) << "case " << i;
    }
    COleVariant text("1.5");
    EXPECT_FALSE(xlVariantToDouble(text, d));
}

class XlAutomation : public XlFixture {};

TEST_F(XlAutomation, ARefusedCallIsTriedThreeTimesAndReportedOnce)
{
    CxlobjApplication* app = view->GetWorkbookDriver()->GetApplication();
    ASSERT_TRUE(app);
    FailNextCalls(3, RPC_E_CALL_REJECTED);
    CString version;
    DialogDriver driver;
    driver.Then([](HWND box) { qxtest::Click(box, IDOK); });
    EXPECT_EQ(FALSE, driver.Run([&] { return (INT_PTR)app->GetVersion(version); }));
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_FALSE(driver.TimedOut());

    // Two refusals: the third attempt goes through, after one message.
    FailNextCalls(2, RPC_E_CALL_REJECTED);
    DialogDriver second;
    second.Then([](HWND box) { qxtest::Click(box, IDOK); });
    EXPECT_EQ(TRUE, second.Run([&] { return (INT_PTR)app->GetVersion(version); }));
    EXPECT_EQ(1, second.StepsRun());
    EXPECT_STREQ("8.0", version);

    // Other failures are silent.
    FailNextCalls(3, E_FAIL);
    EXPECT_FALSE(app->GetVersion(version));
    delete app;
}

TEST_F(XlAutomation, VersionCheckAndMacrosThroughTheApplication)
{
    CQUxlView::s_versionChecked = FALSE;
    EXPECT_TRUE(view->CanGetSelection(FALSE));
    EXPECT_TRUE(CQUxlView::dwExcelInstallation & 0x00200000);

    // The macro name and at most five arguments reach the server.
    COleVariant args[8];
    for (int i = 0; i < 8; ++i)
        args[i] = (long)(i + 1);
    COleVariant result;
    ASSERT_TRUE(view->Run("ArgCount", result, 8, args));
    EXPECT_EQ(VT_I4, result.vt);
    EXPECT_EQ(5, result.lVal);
    ASSERT_TRUE(view->Run("Join", result, 2, args));
    EXPECT_STREQ(L"1,2", result.bstrVal);
    EXPECT_FALSE(view->Run("NoSuchMacro", result, 0, nullptr));

    // At a cell: the macro the cell names, with up to six arguments.
    UserSets("Sheet1", "C3", COleVariant("=ArgCount()"));
    ASSERT_TRUE(view->RunRange("Sheet1", "C3", result, 8, args));
    EXPECT_EQ(6, result.lVal);
    EXPECT_FALSE(view->RunRange("NoSheet", "C3", result, 0, nullptr));
}

TEST_F(XlAutomation, WithVersionFiveTheOlderCallingFormWorksButTheSelectionIsNeverRead)
{
    App().SetProperty(QXDISPID_VERSION, VT_BSTR, "5.0");
    view->uninit_xlDriver();
    CQUxlView::dwExcelInstallation = 0; // nothing says version 8
    CQUxlView::s_versionChecked = FALSE;
    ASSERT_FALSE(CQUxlView::AssumeExcelVersionEight());

    // Object members as methods answering VARIANTs: cells still move.
    double v = 8.25, back = 0;
    ASSERT_TRUE(view->GetSetOneExcelCellValueAsReal("Sheet1", 2, 2, &v, TRUE));
    ASSERT_TRUE(view->GetSetOneExcelCellValueAsReal("Sheet1", 2, 2, &back, FALSE));
    EXPECT_EQ(8.25, back);

    std::vector<std::string> texts;
    DialogDriver driver;
    for (int i = 0; i < 2; ++i)
        driver.Then([&](HWND box) {
            texts.push_back(qxtest::MessageBoxText(box));
            qxtest::Click(box, IDOK);
        });
    unsigned count = 4;
    QXLSELECTION ranges[4];
    driver.Run([&] {
        EXPECT_FALSE(view->GetSelection(&count, ranges, nullptr));
        EXPECT_FALSE(view->GetSelection(&count, ranges, nullptr));
        return (INT_PTR)0;
    });
    ASSERT_EQ(2u, texts.size());
    EXPECT_NE(std::string::npos, texts[0].find("detected on your computer is \"5.0\""));
    EXPECT_TRUE(CQUxlView::dwExcelInstallation & 0x00800000);
}

} // namespace
