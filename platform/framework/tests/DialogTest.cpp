// Dialogs from templates: modal to OK and Cancel, modeless, data exchange in both
// directions and validation that refuses bad input.
#include <afxwin.h>
#include <qxtest/DialogDriver.h>
#include <gtest/gtest.h>
#include "TestResources.h"

using qxtest::DialogDriver;

namespace {

class CValuesDlg : public CDialog
{
public:
    CValuesDlg() : CDialog(IDD_VALUES) {}
    int m_nCount = 7;
    double m_dRatio = 0.1;
    CString m_strName = "start";
    int m_nCheck = 1;
    int m_nRadio = 2;
    int m_nCombo = 1;
    CString m_strList = "beta";
    CComboBox m_combo;
    int m_nInitCalls = 0;

protected:
    BOOL OnInitDialog() override
    {
        m_nInitCalls++;
        // The lists are filled before the exchange puts the members into them.
        CListBox* pList = (CListBox*)GetDlgItem(IDC_LIST);
        pList->AddString("alpha");
        pList->AddString("beta");
        ::SendDlgItemMessageA(m_hWnd, IDC_COMBO, CB_ADDSTRING, 0, (LPARAM) "red");
        ::SendDlgItemMessageA(m_hWnd, IDC_COMBO, CB_ADDSTRING, 0, (LPARAM) "green");
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_COMBO, m_combo);
        DDX_Text(pDX, IDC_COUNT, m_nCount);
        DDV_MinMaxInt(pDX, m_nCount, 1, 100);
        DDX_Text(pDX, IDC_RATIO, m_dRatio);
        DDV_MinMaxDouble(pDX, m_dRatio, 0.0, 1.0);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDV_MaxChars(pDX, m_strName, 8);
        DDX_Check(pDX, IDC_CHECK, m_nCheck);
        DDX_Radio(pDX, IDC_RADIO1, m_nRadio);
        DDX_CBIndex(pDX, IDC_COMBO, m_nCombo);
        DDX_LBString(pDX, IDC_LIST, m_strList);
    }
};

}

TEST(Dialogs, ModalLoadsMembersAndSavesThemOnOK)
{
    CValuesDlg dlg;
    std::string shownCount, shownRatio;
    bool bChecked = false, bThird = false;
    int nCombo = -1, nList = -1;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        shownCount = qxtest::GetText(h, IDC_COUNT);
        shownRatio = qxtest::GetText(h, IDC_RATIO);
        bChecked = qxtest::IsChecked(h, IDC_CHECK);
        bThird = qxtest::IsChecked(h, IDC_RADIO3);
        nCombo = qxtest::ComboSelection(h, IDC_COMBO);
        nList = qxtest::ListSelection(h, IDC_LIST);
        qxtest::SetText(h, IDC_COUNT, " 42 ");
        qxtest::SetText(h, IDC_RATIO, "0.123456789012345");
        qxtest::SetText(h, IDC_NAME, "renamed");
        qxtest::SetCheck(h, IDC_CHECK, false);
        qxtest::SetCheck(h, IDC_RADIO3, false);
        qxtest::SetCheck(h, IDC_RADIO1, true);
        qxtest::ComboSelect(h, IDC_COMBO, 0);
        qxtest::ListSelect(h, IDC_LIST, 0);
        qxtest::Click(h, IDOK);
    });
    INT_PTR nResult = driver.Run([&] { return dlg.DoModal(); });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(dlg.m_nInitCalls, 1);
    EXPECT_EQ(shownCount, "7");
    EXPECT_EQ(shownRatio, "0.1");
    EXPECT_TRUE(bChecked);
    EXPECT_TRUE(bThird);
    EXPECT_EQ(nCombo, 1);
    EXPECT_EQ(nList, 1);
    EXPECT_EQ(dlg.m_nCount, 42);
    EXPECT_EQ(dlg.m_dRatio, 0.123456789012345);   // fifteen digits survive the round trip
    EXPECT_STREQ(dlg.m_strName, "renamed");
    EXPECT_EQ(dlg.m_nCheck, 0);
    EXPECT_EQ(dlg.m_nRadio, 0);
    EXPECT_EQ(dlg.m_nCombo, 0);
    EXPECT_STREQ(dlg.m_strList, "alpha");
    EXPECT_EQ(dlg.m_hWnd, nullptr);   // the window is gone after DoModal
    EXPECT_EQ(dlg.m_combo.m_hWnd, nullptr);
}

TEST(Dialogs, CancelKeepsTheMembers)
{
    CValuesDlg dlg;
    DialogDriver driver;
    driver.Then([](HWND h) {
        qxtest::SetText(h, IDC_COUNT, "99");
        qxtest::Click(h, IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDCANCEL);
    EXPECT_EQ(dlg.m_nCount, 7);
}

namespace {

// Records where the focus is after a refused OK.
class CCheckedValuesDlg : public CValuesDlg
{
public:
    int m_nFocusAfterRefusal = 0;
protected:
    void OnOK() override
    {
        if (!UpdateData(TRUE)) {
            m_nFocusAfterRefusal = ::GetDlgCtrlID(::GetFocus());
            return;
        }
        EndDialog(IDOK);
    }
};

}

TEST(Dialogs, ValidationRefusesBadValuesWithTheStandardPrompts)
{
    struct Case { int nID; const char* text; const char* prompt; };
    const Case cases[] = {
        {IDC_COUNT, "abc", "Please enter an integer."},
        {IDC_COUNT, "12x", "Please enter an integer."},
        {IDC_COUNT, "500", "Please enter an integer between 1 and 100."},
        {IDC_RATIO, "1.5", "Please enter a number between 0 and 1."},
        {IDC_RATIO, "", "Please enter a number."},
        {IDC_NAME, "far too long", "Please enter no more than 8 characters."},
    };
    for (const Case& c : cases) {
        CCheckedValuesDlg dlg;
        std::string prompt;
        DialogDriver driver;
        driver.Then([&](HWND h) {
                  qxtest::SetText(h, c.nID, c.text);
                  // Posted, not sent: the refusal's message box must come up after this
                  // step has returned, so the driver can run the box's step.
                  ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(h, IDOK));
              })
            .Then([&](HWND box) {
                prompt = qxtest::MessageBoxText(box);
                qxtest::Click(box, IDOK);
                // Once the box is gone, a good value is accepted.
                HWND h = driver.Dialogs()[0];
                qxtest::SetText(h, c.nID, c.nID == IDC_NAME ? "short" : "1");
                ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(h, IDOK));
            });
        INT_PTR nResult = driver.Run([&] { return dlg.DoModal(); });
        EXPECT_EQ(prompt, c.prompt) << c.text;
        EXPECT_EQ(dlg.m_nFocusAfterRefusal, c.nID) << c.text;
        EXPECT_EQ(nResult, IDOK) << c.text;
        EXPECT_FALSE(driver.TimedOut()) << c.text;
    }
}

TEST(Dialogs, ModelessDialogLivesUntilDestroyed)
{
    // A modeless dialog that deletes itself when its window goes, as such dialogs do.
    static int s_nDeleted = 0;
    class CModeless : public CValuesDlg
    {
    protected:
        void PostNcDestroy() override
        {
            s_nDeleted++;
            delete this;
        }
        void OnOK() override
        {
            if (UpdateData(TRUE))
                DestroyWindow();
        }
    };
    CModeless* pDlg = new CModeless;
    ASSERT_TRUE(pDlg->Create(IDD_VALUES));
    HWND hWnd = pDlg->m_hWnd;
    EXPECT_EQ(pDlg->m_nInitCalls, 1);
    EXPECT_EQ(qxtest::GetText(hWnd, IDC_COUNT), "7");
    qxtest::SetText(hWnd, IDC_COUNT, "8");
    EXPECT_TRUE(pDlg->UpdateData(TRUE));
    EXPECT_EQ(pDlg->m_nCount, 8);
    qxtest::Click(hWnd, IDOK);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(s_nDeleted, 1);
}

TEST(Dialogs, MissingTemplateFailsCleanly)
{
    CDialog dlg(9999);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create(9999));
}

namespace {

// An edit that takes F2 for itself before the dialog's navigation sees it.
class CHotKeyEdit : public CEdit
{
public:
    int m_nHotKeys = 0;
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F2) {
            m_nHotKeys++;
            return TRUE;
        }
        return CEdit::PreTranslateMessage(pMsg);
    }
};

class CHotKeyDlg : public CValuesDlg
{
public:
    CHotKeyEdit m_edit;
protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_NAME, m_edit);
        CValuesDlg::DoDataExchange(pDX);
    }
};

// A handler that fails with a file exception.
class CFailingDlg : public CValuesDlg
{
protected:
    afx_msg void OnCheck() { AfxThrowFileException(CFileException::accessDenied, 5, "locked.qpj"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailingDlg, CValuesDlg)
    ON_BN_CLICKED(IDC_CHECK, OnCheck)
END_MESSAGE_MAP()

}

TEST(Dialogs, ModalLoopOffersKeysToTheControlsPreTranslateMessage)
{
    CHotKeyDlg dlg;
    DialogDriver driver;
    driver.Then([&](HWND h) {
        HWND hEdit = ::GetDlgItem(h, IDC_NAME);
        ::PostMessageA(hEdit, WM_KEYDOWN, VK_F2, 0);
        ::PostMessageA(hEdit, WM_KEYDOWN, VK_F3, 0);
        ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)::GetDlgItem(h, IDCANCEL));
    });
    EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDCANCEL);
    EXPECT_EQ(dlg.m_edit.m_nHotKeys, 1);
}

TEST(Dialogs, ExceptionInAHandlerIsReportedAndTheDialogGoesOn)
{
    CFailingDlg dlg;
    std::string prompt;
    DialogDriver driver;
    driver.Then([&](HWND h) {
              ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_CHECK, BN_CLICKED), (LPARAM)::GetDlgItem(h, IDC_CHECK));
          })
        .Then([&](HWND box) {
            prompt = qxtest::MessageBoxText(box);
            qxtest::Click(box, IDOK);
            HWND h = driver.Dialogs()[0];
            ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(h, IDOK));
        });
    EXPECT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDOK);
    EXPECT_EQ(prompt, "Access to locked.qpj was denied.");
}
