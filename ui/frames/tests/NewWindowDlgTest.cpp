// The "New" dialog: the kinds of window, the templates of a kind's folder, the default
// template, and the command it answers.
#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>

#include <QKSysMethod.h>
#include <algorithm>
#include <fstream>

#include "FramesFixture.h"
#include "FramesResource.h"
#include "NewWindowDlg.h"

using namespace framestest;

namespace {

using NewWindowDlgTest = FramesFixture;

TEST_F(NewWindowDlgTest, KindsTemplatesAndTheCommand)
{
    for (const char* name : {"Quorix.qtw", "Mine.qtw", "Plot.qtp", "Other.qtm"})
        std::ofstream(m_strFolder + name) << "template";
    QKSysMethodPath& path = qkfxGetQrxSystem().GetRefPath();
    path.SetTemplate(m_strFolder);
    QKSysMethodWks& wks = qkfxGetQrxSystem().GetRefWks();
    std::string savedDefault = wks.GetDefaultTemplate();

    struct Case
    {
        int kind;
        bool templates;
        std::string command;
    } cases[] = {
        {0, false, ";run.section(standard,NewProject) "},
        {1, true, "win -t wks  \"" + m_strFolder + "Quorix\""},
        {5, false, "win -n N  "},
        {8, false, "ed.open() "},
    };
    for (const Case& c : cases) {
        CNewWindowDlg dlg;
        bool bEnabled = !c.templates;
        std::vector<std::string> items;
        qxtest::DialogDriver driver;
        driver.Then([&](HWND h) {
            qxtest::ListSelect(h, IDC_NW_KINDS, c.kind);
            bEnabled = qxtest::IsEnabled(h, IDC_NW_TEMPLATE) && qxtest::IsEnabled(h, IDC_NW_SET_DEFAULT);
            int n = (int)::SendDlgItemMessageA(h, IDC_NW_TEMPLATE, CB_GETCOUNT, 0, 0);
            for (int i = 0; i < n; i++) {
                char sz[64] = "";
                ::SendDlgItemMessageA(h, IDC_NW_TEMPLATE, CB_GETLBTEXT, i, (LPARAM)sz);
                items.push_back(sz);
            }
            qxtest::Click(h, IDOK);
        });
        ASSERT_EQ(driver.Run([&] { return dlg.DoModal(); }), IDOK);
        EXPECT_EQ(bEnabled, c.templates) << c.kind;
        EXPECT_EQ(std::string(dlg.m_strCommand), c.command);
        if (c.kind == 1) {
            std::sort(items.begin(), items.end());
            EXPECT_EQ(items, (std::vector<std::string>{"Mine", "Quorix"}));
        }
        // The dialog opens on the kind chosen last.
        EXPECT_EQ(CNewWindowDlg::GetRememberedKind(), c.kind);
    }

    // "Set Default" makes the chosen template the kind's default, with its folder.
    CNewWindowDlg dlg;
    qxtest::DialogDriver driver;
    int nOpenedOn = -1;
    driver.Then([&](HWND h) {
        nOpenedOn = qxtest::ListSelection(h, IDC_NW_KINDS);
        qxtest::ListSelect(h, IDC_NW_KINDS, 1);
        int nMine = (int)::SendDlgItemMessageA(h, IDC_NW_TEMPLATE, CB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "Mine");
        qxtest::ComboSelect(h, IDC_NW_TEMPLATE, nMine);
        qxtest::Click(h, IDC_NW_SET_DEFAULT);
        qxtest::Click(h, IDCANCEL);
    });
    driver.Run([&] { return dlg.DoModal(); });
    EXPECT_EQ(nOpenedOn, 8);
    EXPECT_EQ(wks.GetDefaultTemplate(), m_strFolder + "Mine");
    wks.SetDefaultTemplate(savedDefault);
    path.SetTemplate("");
}

} // namespace
