// A program on the application base object, started the way the main program starts:
// six document templates, a plain MDI main frame, the profile in a folder of its own.
#pragma once

#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreTestResources.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QUGraphDoc.h"
#include "QUGraphView.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixApp.h"
#include "QuorixDoc.h"
#include "QuorixView.h"

class CTestView : public CQuorixView {
    DECLARE_DYNCREATE(CTestView)
};

class CTestApp : public CQuorixApp {
public:
    UINT get_mainframe_resource_id() override { return IDR_TEST_MAINFRAME; }
    UINT get_IDP_OLE_INIT_FAILED_id() override { return 100; }
    void init_document_templates() override;
    CQUOpenScreen* CreateSplashScreen(BOOL bShow) override
    {
        m_splashShow.push_back(bShow);
        return CQuorixApp::CreateSplashScreen(bShow);
    }

    std::vector<BOOL> m_splashShow;
};

// A temporary folder under the Wine prefix's temp folder, made empty.
std::string TestFolder(const char* name);

class AppFixture : public ::testing::Test {
protected:
    // The arguments after the program name; SetUp adds -P with the INI folder.
    virtual std::vector<std::string> Arguments() { return {}; }
    void SetUp() override;
    void TearDown() override;
    // Closes the main window and ends the application.
    void Stop();

    CTestApp* m_app = nullptr;
    std::string m_iniFolder;
    BOOL m_started = FALSE;

private:
    std::vector<std::string> m_args;
    std::vector<char*> m_argv;
    std::string m_commandLine;
    HANDLE m_registryTurn = nullptr;
    int m_savedArgc = 0;
    char** m_savedArgv = nullptr;
};

// Index of each op in the kernel's call log, in order of appearance; -1 for one missing.
std::vector<int> LogPositions(const std::vector<std::string>& ops);
