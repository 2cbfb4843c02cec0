// The Excel link's dialogs driven as a user would: associating sheets with layers,
// workbook properties, and which linked workbooks update their files.
#include "XlFixture.h"

#include <commctrl.h>

#include "ExcelRes.h"
#include "XlDialogs.h"

namespace {

using qxtest::DialogDriver;

class XlDialogs : public XlFixture {
protected:
    CQUWksPageExternal* Page() { return doc->GetPage(); }
    std::vector<std::string> LayerNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < Page()->GetNumLayers(); ++i)
            names.push_back(Page()->GetLayer(i)->GetName());
        return names;
    }
};

TEST_F(XlDialogs, ALayerWhoseSheetIsGoneIsGivenAnUnassociatedSheet)
{
    ASSERT_TRUE(view->InitNewWorkbook());
    Page()->GetOrCreateActiveLayer("Sheet1");
    Page()->GetOrCreateActiveLayer("Gone");
    std::string message;
    DialogDriver driver;
    driver.Then([&](HWND dlg) {
        message = qxtest::WindowText(GetDlgItem(dlg, IDC_XL_CONNECT_TEXT));
        EXPECT_EQ(3, (int)SendDlgItemMessageA(dlg, IDC_XL_CONNECT_SHEETS, LB_GETCOUNT, 0, 0));
        EXPECT_EQ("Sheet2", qxtest::GetText(dlg, IDC_XL_CONNECT_NAME));
        EXPECT_TRUE(qxtest::IsEnabled(dlg, IDC_XL_CONNECT_REMOVE));
        qxtest::ListSelect(dlg, IDC_XL_CONNECT_SHEETS, 1);
        EXPECT_EQ("Sheet3", qxtest::GetText(dlg, IDC_XL_CONNECT_NAME));
        qxtest::Click(dlg, IDOK);
    });
    EXPECT_EQ(IDOK, driver.Run([&] { return view->OnCmExcelUpdateSheets(); }));
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_NE(std::string::npos, message.find("cannot find the Excel worksheet Gone in the workbook " + Page()->GetName()));
    EXPECT_EQ((std::vector<std::string>{"Sheet1", "Sheet3"}), LayerNames());
    EXPECT_FALSE(CXlConnectLayerDlg::s_bSaveCancelled);
}

TEST_F(XlDialogs, AWrongNameIsRefusedAndCancelStopsTheSave)
{
    ASSERT_TRUE(view->InitNewWorkbook());
    Page()->GetOrCreateActiveLayer("Gone");
    std::string refusal;
    // The refusal comes while the dialog stays; the dialog is then cancelled.
    DialogDriver cancel;
    cancel.Then([&](HWND dlg) {
        qxtest::SetText(dlg, IDC_XL_CONNECT_NAME, "Sheet9");
        qxtest::Click(dlg, IDOK);
        qxtest::Click(dlg, IDCANCEL);
    });
    cancel.Then([&](HWND box) {
        refusal = qxtest::MessageBoxText(box);
        qxtest::Click(box, IDOK);
    });
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string file = std::string(temp) + "qxxl-cancelled.xls";
    DeleteFileA(file.c_str());
    EXPECT_EQ(FALSE, cancel.Run([&] { return (INT_PTR)view->SaveTheWorkbook(file.c_str(), TRUE); }));
    EXPECT_EQ("Please type or select the correct worksheet name.", refusal);
    EXPECT_TRUE(CXlConnectLayerDlg::s_bSaveCancelled);
    EXPECT_TRUE(CXlConnectLayerDlg::s_bUpdateCancelled);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    EXPECT_EQ((std::vector<std::string>{"Gone"}), LayerNames());
}

TEST_F(XlDialogs, LayersWithoutSheetsMayGoButTheLastOneStays)
{
    // Every sheet has a layer; two layers lost their sheets.
    Page()->GetOrCreateActiveLayer("Sheet1");
    Page()->GetOrCreateActiveLayer("Old1");
    Page()->GetOrCreateActiveLayer("Old2");
    std::vector<std::string> asked;
    DialogDriver driver;
    driver
        .Then([&](HWND box) {
            asked.push_back(qxtest::MessageBoxText(box));
            qxtest::Click(box, IDOK);
        })
        .Then([&](HWND box) {
            asked.push_back(qxtest::MessageBoxText(box));
            qxtest::Click(box, IDCANCEL);
        });
    driver.Run([&] { return view->OnCmExcelUpdateSheets(); });
    ASSERT_EQ(2u, asked.size());
    EXPECT_NE(std::string::npos, asked[0].find("layer Old1 cannot be associated"));
    EXPECT_EQ((std::vector<std::string>{"Sheet1", "Old2"}), LayerNames());
    EXPECT_TRUE(CXlConnectLayerDlg::s_bSaveCancelled) << "a refused removal stops a save";
}

TEST_F(XlDialogs, WorkbookPropertiesListTheSheetsAndSortBothWays)
{
    Page()->SetInternalSaving(1);
    Page()->GetOrCreateActiveLayer("beta");
    Page()->GetOrCreateActiveLayer("Alpha");
    Page()->GetOrCreateActiveLayer("gamma");
    auto rows = [](HWND list) {
        std::vector<std::string> out;
        int n = ListView_GetItemCount(list);
        for (int i = 0; i < n; ++i) {
            char name[64] = "", index[16] = "";
            ListView_GetItemText(list, i, 0, name, sizeof name);
            ListView_GetItemText(list, i, 1, index, sizeof index);
            out.push_back(std::string(name) + "|" + index);
        }
        return out;
    };
    auto clickHeader = [](HWND dlg, int column) {
        NMLISTVIEW nm = {};
        nm.hdr.hwndFrom = GetDlgItem(dlg, IDC_XL_RENAME_SHEETS);
        nm.hdr.idFrom = IDC_XL_RENAME_SHEETS;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iSubItem = column;
        SendMessageA(dlg, WM_NOTIFY, IDC_XL_RENAME_SHEETS, (LPARAM)&nm);
    };
    CExlRename::s_bSortAscending = TRUE;
    DialogDriver driver;
    driver.Then([&](HWND dlg) {
        HWND list = GetDlgItem(dlg, IDC_XL_RENAME_SHEETS);
        EXPECT_EQ((std::vector<std::string>{"beta|", "Alpha|@2", "gamma|@3"}), rows(list));
        EXPECT_TRUE(qxtest::IsChecked(dlg, IDC_XL_RENAME_INTERNAL));
        EXPECT_FALSE(qxtest::IsEnabled(dlg, IDC_XL_RENAME_UPDATE));
        clickHeader(dlg, 0);
        EXPECT_EQ((std::vector<std::string>{"Alpha|@2", "beta|", "gamma|@3"}), rows(list));
        clickHeader(dlg, 0);
        EXPECT_EQ((std::vector<std::string>{"gamma|@3", "beta|", "Alpha|@2"}), rows(list));
        clickHeader(dlg, 1);
        EXPECT_EQ((std::vector<std::string>{"beta|", "Alpha|@2", "gamma|@3"}), rows(list));
        qxtest::Click(dlg, IDC_XL_RENAME_EXTERNAL);
        EXPECT_TRUE(qxtest::IsEnabled(dlg, IDC_XL_RENAME_UPDATE));
        qxtest::SetCheck(dlg, IDC_XL_RENAME_UPDATE, true);
        qxtest::SetText(dlg, IDC_XL_RENAME_TITLE, "Results");
        qxtest::Click(dlg, IDOK);
    });
    driver.Run([&] {
        view->OnCmExcelRename();
        return (INT_PTR)0;
    });
    EXPECT_EQ(1, driver.StepsRun());
    EXPECT_FALSE(Page()->IsInternalSaving());
    EXPECT_TRUE(Page()->IsAutomaticExternalUpdate());
    EXPECT_STREQ("Results", doc->GetTitle());
}

TEST_F(XlDialogs, AReadOnlyLinkedWorkbookCannotBeTickedForUpdates)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string file = std::string(temp) + "qxxl-readonly.xls";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY);
    Page()->SetInternalSaving(0);
    Page()->SetExternalName(file.c_str());
    std::string message;
    bool tickedAfter = true;
    DialogDriver driver;
    driver
        .Then([&](HWND dlg) {
            HWND list = GetDlgItem(dlg, IDC_XL_SAVE_EXTERNAL);
            ASSERT_EQ(1, (int)SendMessageA(list, LB_GETCOUNT, 0, 0));
            EXPECT_EQ(0, (int)SendDlgItemMessageA(dlg, IDC_XL_SAVE_INTERNAL, LB_GETCOUNT, 0, 0));
            auto* box = static_cast<CCheckListBox*>(CWnd::FromHandlePermanent(list));
            ASSERT_TRUE(box);
            SendMessageA(list, LB_SETCARETINDEX, 0, 0);
            box->SetCheck(0, 1);
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_XL_SAVE_EXTERNAL, CLBN_CHKCHANGE), (LPARAM)list);
            tickedAfter = box->GetCheck(0) != 0;
            qxtest::ComboSelect(dlg, IDC_XL_SAVE_SHOW, 2);
            qxtest::Click(dlg, IDOK);
        })
        .Then([&](HWND box) {
            message = qxtest::MessageBoxText(box);
            qxtest::Click(box, IDOK);
        });
    CQUXlSaveDialog dlg;
    driver.Run([&] {
        XlResourceScope resources;
        return dlg.DoModal();
    });
    EXPECT_EQ("Update Automatically is not possible because the linked external file is read-only.", message);
    EXPECT_FALSE(tickedAfter);
    EXPECT_FALSE(Page()->IsAutomaticExternalUpdate());
    EXPECT_EQ(2, CQUXlSaveDialog::s_nSaveExcelDlg);
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(file.c_str());

    // Before a project is saved: cancelling says so; "Never" asks nothing.
    DialogDriver cancel;
    cancel.Then([](HWND dlg) { qxtest::Click(dlg, IDCANCEL); });
    EXPECT_EQ(0, cancel.Run([] { return (INT_PTR)CQUXlSaveDialog::RunBeforeSaving(nullptr); }));
    CQUXlSaveDialog::s_nSaveExcelDlg = 0;
    EXPECT_EQ(1, CQUXlSaveDialog::RunBeforeSaving(nullptr));
}

} // namespace
