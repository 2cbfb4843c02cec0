// The fixture of the Options tests: the user interface's system object made through a
// test access object, its startup options in a folder of their own, the script output
// caught, and helpers to reach the sheet's pages.
#pragma once

#include <gtest/gtest.h>
#include <qxtest/DialogDriver.h>
#include <qxtest/TempFolder.h>

#include <afxwin.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "QKAccess.h"
#include "QKScript.h"
#include "QUQrxSystem.h"

class OptionsTestAccess : public CQKAccess {
public:
    CQKQrxSystem* create_QrxSystem_object() override { return ::create_QrxSystem_object(); }
};

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The dialog templates are qxuser's.
        AfxSetResourceHandle(GetModuleHandleA("qxuser.dll"));
        iniFolder = qxtest::NewTempFolder("qxoptionstest");
        qkfxSetGlobalINIPath(iniFolder.c_str());
        DeleteFileA(IniFile().c_str());
        access.reset(new OptionsTestAccess);
        access->Uninit();
        system = dynamic_cast<CQUQrxSystem*>(&qkfxGetQrxSystem());
        ASSERT_NE(nullptr, system);
        qkfxGetScript().Reset();
        qkfxGetScript().SetOutput(&OptionsTest::Catch, this);
    }
    void TearDown() override
    {
        qkfxGetScript().SetOutput(nullptr, nullptr);
        access->Uninit();
        access.reset();
        DeleteFileA(IniFile().c_str());
        RemoveDirectoryA(iniFolder.c_str());
    }

    static std::string IniFile() { return qkfxGetINIFileFullPathName(); }

    bool Run(const std::string& text)
    {
        out.clear();
        err.clear();
        return qkfxGetScript().Execute(text);
    }
    double Number(const std::string& expression)
    {
        double v = -12345;
        EXPECT_TRUE(Run("v_ = " + expression)) << expression << ": " << err;
        qkfxGetScript().GetVariable("v_", &v);
        return v;
    }

    // Runs the Options sheet as system.dialog() does, with one step per dialog that opens.
    // The test is the sheet's only user: every test of the build shares one Wine desktop,
    // and a pointer that another test moves across the sheet would reach its pages as
    // mouse messages (a page would count as touched). Pointer messages from the input queue
    // are dropped; those a step sends itself go straight to the window.
    void RunSheet(qxtest::DialogDriver& driver)
    {
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, DropQueuedPointerInput, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, hook);
        driver.Run([&] { return (INT_PTR)(Run("system.dialog()") ? 1 : 0); });
        UnhookWindowsHookEx(hook);
        EXPECT_FALSE(driver.TimedOut());
        EXPECT_EQ("", err);
    }

    static HWND Page(HWND sheet) { return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0); }
    static HWND Go(HWND sheet, int index)
    {
        SendMessageA(sheet, PSM_SETCURSEL, index, 0);
        return Page(sheet);
    }
    // What a user's pointer over the page does first.
    static void Touch(HWND page) { SendMessageA(page, WM_MOUSEMOVE, 0, 0); }
    static std::string TabText(HWND sheet)
    {
        HWND tabs = (HWND)SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0);
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, TabCtrl_GetCurSel(tabs), (LPARAM)&item);
        return text;
    }

    std::unique_ptr<OptionsTestAccess> access;
    CQUQrxSystem* system = nullptr;
    std::string iniFolder, out, err;

private:
    static LRESULT CALLBACK DropQueuedPointerInput(int code, WPARAM wParam, LPARAM lParam)
    {
        MSG* msg = (MSG*)lParam;
        if (code == HC_ACTION && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST)
            msg->message = WM_NULL;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static void Catch(const char* text, int kind, void* user)
    {
        OptionsTest* self = static_cast<OptionsTest*>(user);
        (kind == 2 ? self->err : self->out) += std::string(text) + "\n";
    }
};

// Pages of the sheet, in its order.
enum { kNumFormat, kFiles, kAxis, kGraph, kFonts, kPage, kMisc, kExcel, kWindows };
