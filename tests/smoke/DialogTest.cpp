// With no display, dialogs from resource templates are created, owner-drawn controls are
// asked to draw, and property sheets switch pages and apply, all driven by messages.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

#include "qxtest/DialogDriver.h"
#include "smoke_resource.h"

namespace {

struct OwnerDrawState {
    int drawItemCalls = 0;
    int measureItemCalls = 0;
    std::vector<int> itemsDrawn;
    int selectionAtOk = -1;
    std::string nameAtOk;
    bool gridAtOk = false;
};

INT_PTR CALLBACK OwnerDrawProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto *state = reinterpret_cast<OwnerDrawState *>(GetWindowLongPtrA(dlg, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG: {
        SetWindowLongPtrA(dlg, DWLP_USER, lParam);
        for (const char *name : {"Black", "Red", "Green", "Blue"})
            SendDlgItemMessageA(dlg, IDC_COLORS, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        SendDlgItemMessageA(dlg, IDC_COLORS, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    case WM_MEASUREITEM:
        // Sent while the dialog is created, before WM_INITDIALOG has stored the state.
        reinterpret_cast<MEASUREITEMSTRUCT *>(lParam)->itemHeight = 16;
        if (state)
            ++state->measureItemCalls;
        return TRUE;
    case WM_DRAWITEM: {
        auto *dis = reinterpret_cast<DRAWITEMSTRUCT *>(lParam);
        if (state) {
            ++state->drawItemCalls;
            state->itemsDrawn.push_back(int(dis->itemID));
        }
        COLORREF colors[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
        if (dis->itemID < 4) {
            HBRUSH brush = CreateSolidBrush(colors[dis->itemID]);
            FillRect(dis->hDC, &dis->rcItem, brush);
            DeleteObject(brush);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && GetWindowTextLengthA(GetDlgItem(dlg, IDC_NAME)) == 0) {
            MessageBoxA(dlg, "Enter a name.", "Quorix 6.1", MB_OK | MB_ICONEXCLAMATION);
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            state->selectionAtOk = int(SendDlgItemMessageA(dlg, IDC_COLORS, CB_GETCURSEL, 0, 0));
            char text[64] = "";
            GetDlgItemTextA(dlg, IDC_NAME, text, sizeof text);
            state->nameAtOk = text;
            state->gridAtOk = IsDlgButtonChecked(dlg, IDC_GRID) == BST_CHECKED;
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

TEST(Dialogs, OwnerDrawnComboIsDrawnAndDialogIsDrivenToOk)
{
    OwnerDrawState state;
    qxtest::DialogDriver driver;
    driver.Then([](HWND dlg) {
        qxtest::ComboSelect(dlg, IDC_COLORS, 2);
        RedrawWindow(GetDlgItem(dlg, IDC_COLORS), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        qxtest::SetText(dlg, IDC_NAME, "Pressure");
        qxtest::SetCheck(dlg, IDC_GRID, true);
        qxtest::Click(dlg, IDOK);
    });
    INT_PTR result = driver.Run([&] {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OWNERDRAW), nullptr,
                               OwnerDrawProc, reinterpret_cast<LPARAM>(&state));
    });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(driver.StepsRun(), 1);
    EXPECT_EQ(result, IDOK);
    EXPECT_GT(state.drawItemCalls, 0);
    EXPECT_NE(std::find(state.itemsDrawn.begin(), state.itemsDrawn.end(), 2), state.itemsDrawn.end())
        << "the selected item was never drawn";
    EXPECT_EQ(state.selectionAtOk, 2);
    EXPECT_EQ(state.nameAtOk, "Pressure");
    EXPECT_TRUE(state.gridAtOk);
}

TEST(Dialogs, AStepThatOpensAMessageBoxHasItDrivenByTheNextStep)
{
    OwnerDrawState state;
    std::string refusal;
    qxtest::DialogDriver driver;
    driver
        .Then([](HWND dlg) {
            qxtest::Click(dlg, IDOK);  // refused: the name is empty
            qxtest::SetText(dlg, IDC_NAME, "Time");
            qxtest::Click(dlg, IDOK);
        })
        .Then([&](HWND box) {
            refusal = qxtest::MessageBoxText(box);
            qxtest::Click(box, IDOK);
        });
    INT_PTR result = driver.Run([&] {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OWNERDRAW), nullptr,
                               OwnerDrawProc, reinterpret_cast<LPARAM>(&state));
    }, 5000);
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_EQ(driver.StepsRun(), 2);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(refusal, "Enter a name.");
    EXPECT_EQ(state.nameAtOk, "Time");
}

TEST(Dialogs, CancelAndTimeoutEndTheDialog)
{
    OwnerDrawState state;
    qxtest::DialogDriver cancel;
    cancel.Then([](HWND dlg) { qxtest::Click(dlg, IDCANCEL); });
    EXPECT_EQ(cancel.Run([&] {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OWNERDRAW), nullptr,
                               OwnerDrawProc, reinterpret_cast<LPARAM>(&state));
    }), IDCANCEL);

    // No step: the driver gives up after the timeout instead of hanging the test.
    qxtest::DialogDriver idle;
    INT_PTR result = idle.Run([&] {
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_OWNERDRAW), nullptr,
                               OwnerDrawProc, reinterpret_cast<LPARAM>(&state));
    }, 300);
    EXPECT_TRUE(idle.TimedOut());
    EXPECT_EQ(result, -2);
}

TEST(Dialogs, MessageBoxTextIsReadAndAnswered)
{
    std::string text, caption;
    qxtest::DialogDriver driver;
    driver.Then([&](HWND box) {
        text = qxtest::MessageBoxText(box);
        caption = qxtest::WindowText(box);
        qxtest::Click(box, IDNO);
    });
    INT_PTR result = driver.Run([] {
        return INT_PTR(MessageBoxA(nullptr, "Save changes to Data1?", "Quorix 6.1", MB_YESNO | MB_ICONEXCLAMATION));
    });
    EXPECT_EQ(result, IDNO);
    EXPECT_EQ(text, "Save changes to Data1?");
    EXPECT_EQ(caption, "Quorix 6.1");
}

struct PageLog {
    std::vector<std::string> events;
    std::string appliedText[2];
};

struct PageData {
    PageLog *log;
    int index;
};

INT_PTR CALLBACK PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<PROPSHEETPAGEA *>(lParam)->lParam);
        return TRUE;
    }
    auto *data = reinterpret_cast<PageData *>(GetWindowLongPtrA(page, DWLP_USER));
    if (msg != WM_NOTIFY || !data)
        return FALSE;
    PageLog *log = data->log;
    int index = data->index;
    auto *hdr = reinterpret_cast<NMHDR *>(lParam);
    std::string who = "page" + std::to_string(index) + ":";
    switch (hdr->code) {
    case PSN_SETACTIVE:
        log->events.push_back(who + "setactive");
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        return TRUE;
    case PSN_KILLACTIVE:
        log->events.push_back(who + "killactive");
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
        return TRUE;
    case PSN_APPLY: {
        char text[64] = "";
        GetDlgItemTextA(page, IDC_PAGE_EDIT, text, sizeof text);
        log->appliedText[index] = text;
        log->events.push_back(who + "apply");
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    }
    }
    return FALSE;
}

TEST(Dialogs, PropertySheetSwitchesPagesAndApplies)
{
    InitCommonControls();
    PageLog log;
    PageData data[2] = {{&log, 0}, {&log, 1}};
    PROPSHEETPAGEA pages[2] = {};
    int ids[2] = {IDD_PAGE_ONE, IDD_PAGE_TWO};
    for (int i = 0; i < 2; ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].hInstance = GetModuleHandleA(nullptr);
        pages[i].pszTemplate = MAKEINTRESOURCEA(ids[i]);
        pages[i].pfnDlgProc = PageProc;
        pages[i].lParam = reinterpret_cast<LPARAM>(&data[i]);
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE;
    header.hInstance = GetModuleHandleA(nullptr);
    header.pszCaption = "Axis";
    header.nPages = 2;
    header.ppsp = pages;

    qxtest::DialogDriver driver;
    driver.Then([&](HWND sheet) {
        HWND first = PropSheet_GetCurrentPageHwnd(sheet);
        SetDlgItemTextA(first, IDC_PAGE_EDIT, "Linear");
        PropSheet_SetCurSel(sheet, nullptr, 1);
        HWND second = PropSheet_GetCurrentPageHwnd(sheet);
        ASSERT_NE(second, first);
        SetDlgItemTextA(second, IDC_PAGE_EDIT, "Time (s)");
        PropSheet_Changed(sheet, second);
        PropSheet_Apply(sheet);
        PropSheet_PressButton(sheet, PSBTN_OK);
    });
    INT_PTR result = driver.Run([&] { return PropertySheetA(&header); });
    EXPECT_FALSE(driver.TimedOut());
    EXPECT_GE(result, 0);
    EXPECT_EQ(log.appliedText[0], "Linear");
    EXPECT_EQ(log.appliedText[1], "Time (s)");
    auto seen = [&](const std::string &e) {
        return std::find(log.events.begin(), log.events.end(), e) != log.events.end();
    };
    EXPECT_TRUE(seen("page0:killactive"));
    EXPECT_TRUE(seen("page1:setactive"));
    EXPECT_TRUE(seen("page1:apply"));
}

} // namespace
