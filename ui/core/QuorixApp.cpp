#include "QuorixApp.h"

#include <afxdisp.h>
#include <afxtempl.h>

#include "CoreResources.h"
#include "FrameHost.h"
#include "InPlaceFrame.h"
#include "MainFrame.h"
#include "QKAccess.h"
#include "QKData.h"
#include "QKSysMethod.h"
#include "QUQrxSystem.h"
#include "QKUtil.h"
#include "QUAccess.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixDoc.h"
#include "NewWindowDlg.h"
#include "RenameWndDlg.h"

extern "C" __declspec(dllimport) HINSTANCE qdfxGetQDHInst();

IMPLEMENT_DYNAMIC(CQUOpenScreen, CObject)
IMPLEMENT_DYNAMIC(CQUOleTemplateServer, COleTemplateServer)
IMPLEMENT_DYNAMIC(CQuorixApp, CWinApp)

namespace {

// The value the kernel is told at start-up: an interactive program with its windows.
const int QU_RUNNING_MODE = 1;
const char QU_CAPTION[] = "Quorix 6.1";

// The framework's help file and profile name while the application points the members
// at its own.
LPCTSTR g_savedHelpFilePath = nullptr;
LPCTSTR g_savedProfileName = nullptr;

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         (LPCSTR)&ThisModule, &module);
    return module;
}

CString WithBackslash(const std::string& folder)
{
    CString s = folder.c_str();
    if (!s.IsEmpty() && s[s.GetLength() - 1] != '\\')
        s += '\\';
    return s;
}

BOOL SetClassesRootValue(const CString& key, const CString& value)
{
    return ::RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, value, (DWORD)value.GetLength()) == ERROR_SUCCESS;
}

CString TemplateDocString(CDocTemplate* t, CDocTemplate::DocStringIndex index)
{
    CString s;
    t->GetDocString(s, index);
    return s;
}

CString ClsidText(REFCLSID clsid)
{
    LPOLESTR wide = nullptr;
    if (FAILED(::StringFromCLSID(clsid, &wide)))
        return CString();
    char text[64] = {};
    ::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    ::CoTaskMemFree(wide);
    return text;
}

// The frames reach the application through this host: profile redirection, the toolbar
// arrangement's save and load, and the closing of the main window.
class CQuorixFrameHost : public CQUFrameHost {
public:
    BOOL BeginRegistryAccess(LPCTSTR lpszName, BOOL bIniFile, BOOL bCheckUpgrade) override
    {
        return App()->BeginRegistryAccess(lpszName, bIniFile, bCheckUpgrade);
    }
    BOOL EndRegistryAccess() override { return App()->EndRegistryAccess(); }
    BOOL GetToolbarRegKeyString(char* pszBuffer, BOOL bCheckUpgrade) override
    {
        App()->GetToolbarRegKeyString(pszBuffer, bCheckUpgrade);
        return TRUE;
    }
    void GetToolbarRegKeyStringLong(CString& strKey) override { strKey = App()->GetToolbarRegKeyStringLong(); }
    BOOL BeforeToolbarConfSaveLoad(BOOL bLoad) override { return App()->BeforeToolbarConfSaveLoad(bLoad); }
    BOOL AfterToolbarConfSaveLoad(BOOL bLoad) override { return App()->AfterToolbarConfSaveLoad(bLoad); }
    BOOL DoNotSaveToolabarsConf() override { return App()->DoNotSaveToolabarsConf(); }
    void SetClosingAllWindows(BOOL bClosing) override { App()->SetClosingAllWindows(bClosing); }
    BOOL OnMiscUnInit() override { return App()->OnMiscUnInit(); }
    BOOL IsEmbeddingOpened() override
    {
        CQUAccess* access = App()->GetAccess();
        return access != nullptr && access->IsEmbeddingOpened();
    }
    BOOL GetUseSpacer() override
    {
        int use = 0;
        if (CQUQrxSystem* system = dynamic_cast<CQUQrxSystem*>(&qkfxGetQrxSystem()))
            system->GetRefOperations().GetUseSpacer(&use);
        return use != 0;
    }
    void SetUseSpacer(BOOL use) override
    {
        if (CQUQrxSystem* system = dynamic_cast<CQUQrxSystem*>(&qkfxGetQrxSystem()))
            system->GetRefOperations().SetUseSpacer(use);
    }

    void NotifyPrinterChanged(BOOL bUpdateSelection) override { App()->NotifyPrinterChanged(bUpdateSelection); }

    CQuorixApp* m_app = nullptr;

private:
    CQuorixApp* App() const { return m_app; }
};

CQuorixFrameHost g_frameHost;

} // namespace

CQuorixApp* GetQuorixApp()
{
    return DYNAMIC_DOWNCAST(CQuorixApp, AfxGetApp());
}

extern "C" void OnFileNew()
{
    CQuorixApp* app = GetQuorixApp();
    CQKAccess* kernel = app && app->GetAccess() ? app->GetAccess() : qkfxGetAccess();
    kernel->execute_script("win -t wks Quorix", 0);
}

// ---- start screen, command line, template servers ----------------------------------------

CQUOpenScreen::~CQUOpenScreen()
{
    Close();
}

void CQUOpenScreen::Open()
{
    if (m_bShown)
        return;
    CQuorixApp* app = GetQuorixApp();
    if (CQKCustomModification* custom = app ? app->GetCustomModification() : nullptr)
        custom->OpenScreen(1);
    else
        qkfxOpenScreen(1);
    m_bShown = 1;
}

void CQUOpenScreen::Close()
{
    if (!m_bShown)
        return;
    CQuorixApp* app = GetQuorixApp();
    if (CQKCustomModification* custom = app ? app->GetCustomModification() : nullptr)
        custom->OpenScreen(0);
    else
        qkfxOpenScreen(0);
    m_bShown = 0;
}

void CQUCommandLineInfo::ParseParam(LPCTSTR lpszParam, BOOL bFlag, BOOL bLast)
{
    // "-P folder" hands the kernel its INI folder (a second instance, the shell's open
    // commands): neither the switch nor the folder is the framework's print request.
    BOOL consumed = FALSE;
    if (m_bIniFolderNext && !bFlag) {
        m_bIniFolderNext = 0;
        consumed = TRUE;
    } else if (bFlag && lstrcmpiA(lpszParam, "P") == 0) {
        m_bIniFolderNext = 1;
        consumed = TRUE;
    } else if (bFlag && (lpszParam[0] == 'h' || lpszParam[0] == 'H')) {
        m_bHidden = 1;
        consumed = TRUE;
    }
    if (!consumed) {
        CCommandLineInfo::ParseParam(lpszParam, bFlag, bLast);
    } else if (bLast) {
        // The last argument still ends the parse: a file named before it is opened.
        ParseLast(TRUE);
    }
}

BOOL CQUOleTemplateServer::UpdateRegistry()
{
    CQuorixApp* app = GetQuorixApp();
    CQKAccess* kernel = app && app->GetAccess() ? app->GetAccess() : qkfxGetAccess();
    CString typeId = m_pDocTemplate ? TemplateDocString(m_pDocTemplate, CDocTemplate::regFileTypeId) : CString();
    std::string exe;
    if (typeId.IsEmpty() || !qkuGetExeFile(exe, 3)) {
        kernel->CanNotUpdateRegistryMsg();
        return FALSE;
    }
    CString typeName = TemplateDocString(m_pDocTemplate, CDocTemplate::regFileTypeName);
    if (typeName.IsEmpty())
        typeName = typeId;
    CString shortName = TemplateDocString(m_pDocTemplate, CDocTemplate::fileNewName);
    if (shortName.IsEmpty())
        shortName = typeName;
    int iconIndex = 0;
    if (app != nullptr) {
        POSITION pos = app->GetFirstDocTemplatePosition();
        for (int i = 1; pos != nullptr; ++i)
            if (app->GetNextDocTemplate(pos) == m_pDocTemplate)
                iconIndex = i;
    }
    CString clsid = ClsidText(m_clsid);
    CString key = "CLSID\\" + clsid;
    CString server = CString("\"") + exe.c_str() + "\"";
    CString icon;
    icon.Format("%s,%d", exe.c_str(), iconIndex);
    BOOL ok = !clsid.IsEmpty() && SetClassesRootValue(typeId, typeName) &&
              SetClassesRootValue(typeId + "\\CLSID", clsid) && SetClassesRootValue(key, typeName) &&
              SetClassesRootValue(key + "\\ProgID", typeId) && SetClassesRootValue(key + "\\AuxUserType\\2", shortName) &&
              SetClassesRootValue(key + "\\DefaultIcon", icon) && SetClassesRootValue(key + "\\LocalServer32", server) &&
              SetClassesRootValue(key + "\\InprocHandler32", "ole32.dll") &&
              SetClassesRootValue(key + "\\Insertable", "");
    if (!ok) {
        kernel->CanNotUpdateRegistryMsg();
        return FALSE;
    }
    CQrxMultiDocTemplate* qt = DYNAMIC_DOWNCAST(CQrxMultiDocTemplate, m_pDocTemplate);
    std::string iniPart;
    if (qt != nullptr && qt->get_template_id() == QU_TEMPLATE_GRAPH && qkuGetINIPathForCommandline(iniPart, 1))
        qkuAppendRegistryKeyStringValue(HKEY_CLASSES_ROOT, key + "\\LocalServer32", nullptr, iniPart.c_str());
    return TRUE;
}

void CQUTemplateServersList::RemoveAllServers()
{
    while (!IsEmpty())
        delete RemoveHead();
}

void CQUTemplateServersList::UpdateRegistryForAll()
{
    POSITION pos = GetHeadPosition();
    while (pos != nullptr)
        ((CQUOleTemplateServer*)GetNext(pos))->UpdateRegistry();
}

// ---- the application ------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CQuorixApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, CWinApp::OnFilePrintSetup)
    ON_COMMAND_EX_RANGE(34048, 34049, on_script_commands_FILE)
    ON_COMMAND_EX_RANGE(33993, 34047, on_script_commands_FILE)
    ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
    ON_COMMAND_EX_RANGE(33008, 33050, on_script_commands_STANDARD)
    ON_COMMAND_EX_RANGE(32768, 32777, OnChangeMenuLevel)
    ON_UPDATE_COMMAND_UI_RANGE(32768, 32777, OnUpdateUIChangeMenuLevel)
    ON_UPDATE_COMMAND_UI(33994, OnUpdateFileCommand)
    ON_UPDATE_COMMAND_UI(34024, OnUpdateFileCommand)
    ON_COMMAND(32992, OnToggleScriptWindow)
    ON_UPDATE_COMMAND_UI(32992, OnUIUpdateToggleScriptWindow)
    ON_COMMAND(36080, OnOptions)
    ON_COMMAND(ID_FILE_NEW, OnNewWindow)
    ON_COMMAND(33120, OnRenameWindow)
    ON_UPDATE_COMMAND_UI(33120, OnUpdateRenameWindow)
    ON_COMMAND_EX_RANGE(38800, 38805, OnOnlineHelp)
    ON_UPDATE_COMMAND_UI_RANGE(38800, 38805, OnUpdateAlwaysEnabled)
    ON_COMMAND_EX_RANGE(38807, 38816, OnQrxWebSite)
    ON_UPDATE_COMMAND_UI_RANGE(38807, 38816, OnUpdateQrxWebSite)
    ON_COMMAND(40705, OnQrxTutorial)
    ON_COMMAND(40706, OnSendProjectTo)
    ON_COMMAND(38899, OnTurnOnReminderBoxes)
    ON_COMMAND(34115, OnViewProjectExplorer)
    ON_UPDATE_COMMAND_UI(34115, OnUIUpdateViewProjectExplorer)
    ON_COMMAND_RANGE(41033, 41035, OnPEViewMode)
    ON_UPDATE_COMMAND_UI_RANGE(41033, 41035, OnUIUpdatePEViewMode)
    ON_COMMAND(34121, OnViewOutputLog)
    ON_UPDATE_COMMAND_UI(34121, OnUIUpdateViewOutputLog)
    ON_COMMAND_EX_RANGE(38374, 38383, OnUIRLViewMode)
    ON_UPDATE_COMMAND_UI_RANGE(38374, 38383, OnUIUpdateRLViewMode)
END_MESSAGE_MAP()

CQuorixApp::CQuorixApp(LPCTSTR lpszAppName)
    : CWinApp(lpszAppName), m_QrxTemplateList(10), m_rectNotesMargin(1800, 1440, 1800, 1440)
{
}

CQuorixApp::~CQuorixApp()
{
    // The start screen closes through the customisation object, which goes after it.
    delete m_pStartScreen;
    m_pStartScreen = nullptr;
    delete m_pCustom;
    m_pCustom = nullptr;
    m_templateServers.RemoveAllServers();
    // The framework owns and deletes the templates themselves.
    m_QrxTemplateList.RemoveAll();
    delete[] m_pszRegistryKeyBuffer;
    delete[] m_pszProfileNameCopy;
}

CQUOpenScreen* CQuorixApp::CreateSplashScreen(BOOL)
{
    return new CQUOpenScreen;
}

void CQuorixApp::OnAfterSplashScreen(int result)
{
    if (m_pAccess != nullptr)
        m_pAccess->OnAfterSplashScreen(result);
}

CMDIFrameWnd* CQuorixApp::create_main_frame_object()
{
    return new CMainFrame;
}

int CQuorixApp::GetStrFromAppRes(UINT, CString&)
{
    return 1;
}

void CQuorixApp::DeleteStartScreen()
{
    delete m_pStartScreen;
    m_pStartScreen = nullptr;
}

BOOL CQuorixApp::InitInstance()
{
    qkfxSetRunningMode(QU_RUNNING_MODE);
    if (!AfxOleInit()) {
        AfxMessageBox(get_IDP_OLE_INIT_FAILED_id(), MB_OK);
        return FALSE;
    }
    InitOLEMessageFilter();

    g_savedHelpFilePath = m_pszHelpFilePath;
    g_savedProfileName = m_pszProfileName;

    qkfxReadCommandLine(m_lpCmdLine);
    qkfxSetGlobalINIPath();
    char iniFolder[MAX_PATH] = {};
    qkfxGetGlobalINIPath(iniFolder);
    qkfxSetGlobalPROGPath(nullptr);

    // The profile is the framework's "<program>.INI", kept in the kernel's INI folder.
    CString profile = WithBackslash(iniFolder) + CQKPath(g_savedProfileName).GetFileName().c_str();
    lstrcpynA(m_szProfilePath, profile, MAX_PATH);
    m_pszProfileName = m_szProfilePath;
    m_pszRegistryKey = nullptr;

    // Module handles are pointer-sized: written as full numbers, not cut to an int.
    CString handle;
    handle.Format("%I64d", (long long)(INT_PTR)ThisModule());
    WriteProfileString("HINST", "QU", handle);
    handle.Format("%I64d", (long long)(INT_PTR)qdfxGetQDHInst());
    WriteProfileString("HINST", "QD", handle);

    AfxEnableControlContainer();
    Enable3dControls();
    LoadStdProfileSettings(5);

    init_document_templates();

    CQUCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    m_bHiddenStart = cmdInfo.m_bHidden;
    BOOL bDDE = cmdInfo.m_nShellCommand == CCommandLineInfo::FileDDE;
    BOOL bServer = cmdInfo.m_bRunEmbedded || cmdInfo.m_bRunAutomated;

    if (cmdInfo.m_bShowSplash && !cmdInfo.m_bHidden) {
        m_pStartScreen = CreateSplashScreen(!(bServer || bDDE));
        if (m_pStartScreen != nullptr)
            m_pStartScreen->Open();
    }

    g_frameHost.m_app = this;
    QUSetFrameHost(&g_frameHost);
    CMDIFrameWnd* frame = create_main_frame_object();
    if (frame == nullptr)
        return FALSE;
    // The frame asks for its saved toolbar arrangement while it is being created, through
    // the main window: it is the main window from the start.
    m_pMainWnd = frame;
    if (!frame->LoadFrame(get_mainframe_resource_id(), 0x00EF8000, nullptr, nullptr)) {
        m_pMainWnd = nullptr;
        if (frame->m_hWnd == nullptr)
            delete frame;
        return FALSE;
    }
    EnableShellOpen();
    RegisterShellFileTypes(TRUE);

    if (!QK_init())
        return FALSE;
    frame->DragAcceptFiles(TRUE);

    if (bServer) {
        m_pAccess->SetEmbeddingOpened(cmdInfo.m_bRunEmbedded);
        qkfxConfigInitDDEOleServer();
        OnMenuChanges();
        COleObjectFactory::RegisterAll();
        return TRUE;
    }
    qkfxAutoRegister();
    qkfxAutoRegisterTypeLib("qauto.tlb");
    m_templateServers.UpdateRegistryForAll();
    COleObjectFactory::UpdateRegistryAll(TRUE);

    m_nCmdShow = m_pAccess->OnAfterMainFrameCreate(frame->GetSafeHwnd(), 1, cmdInfo.m_bHidden);
    if (bDDE) {
        ProcessShellCommand(cmdInfo);
        qkfxConfigInitDDEOleServer();
        m_bToolbarsNotSaved = 0;
    } else {
        m_bToolbarsNotSaved = (m_nCmdShow == SW_SHOWNORMAL || m_nCmdShow == SW_SHOWMAXIMIZED) ? 0 : 1;
    }
    frame->ShowWindow(m_nCmdShow);
    if (!bDDE && !qkfxExecuteCommandLine(m_lpCmdLine))
        return FALSE;

    OnMenuChanges();
    m_pAccess->GetScriptWindow()->OnMainFrameOpen(frame->GetSafeHwnd());
    frame->UpdateWindow();
    m_pAccess->GetPageManager()->SetProjectModified(false);
    return TRUE;
}

int CQuorixApp::ExitInstance()
{
    if (m_hNoExcelMenu != nullptr) {
        ::DestroyMenu(m_hNoExcelMenu);
        m_hNoExcelMenu = nullptr;
    }
    QK_uninit();
    if (g_frameHost.m_app == this) {
        QUSetFrameHost(nullptr);
        g_frameHost.m_app = nullptr;
    }
    int result = CWinApp::ExitInstance();
    if (g_savedProfileName != nullptr || g_savedHelpFilePath != nullptr) {
        m_pszHelpFilePath = g_savedHelpFilePath;
        m_pszProfileName = g_savedProfileName;
        g_savedHelpFilePath = nullptr;
        g_savedProfileName = nullptr;
    }
    return result;
}

int CQuorixApp::QK_init()
{
    CQUAccess* access = new CQUAccess;
    HWND frame = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
    if (!access->Init(frame, m_lpCmdLine)) {
        delete access;
        return 0;
    }
    m_pAccess = access;
    OnMiscInit();
    return 1;
}

void CQuorixApp::QK_uninit()
{
    if (m_pAccess == nullptr)
        return;
    m_pAccess->Uninit();
    delete m_pAccess;
    m_pAccess = nullptr;
}

int CQuorixApp::OnMiscInit()
{
    m_strHelpFile = m_pAccess ? m_pAccess->GetQuorixHelpFile().c_str() : "";
    m_pszHelpFilePath = m_strHelpFile;
    return 1;
}

int CQuorixApp::InitOLEMessageFilter()
{
    // The framework's filter that AfxOleInit registered gives way to the program's own.
    CWinThread* thread = AfxGetThread();
    if (thread != nullptr) {
        if (thread->m_pMessageFilter != nullptr) {
            thread->m_pMessageFilter->Revoke();
            delete thread->m_pMessageFilter;
        }
        thread->m_pMessageFilter = new CQUOleMessageFilter;
        thread->m_pMessageFilter->Register();
    }
    return 1;
}

BOOL CQuorixApp::OnIdle(LONG lCount)
{
    if (CWinApp::OnIdle(lCount))
        return TRUE;
    if (m_pAccess != nullptr)
        m_pAccess->QKOnIdle(lCount);
    qkfxProcessDllIdle(3, 0);
    return FALSE;
}

BOOL CQuorixApp::PreTranslateMessage(MSG* pMsg)
{
    if (qkfxDllMessageFilter(3, pMsg))
        return TRUE;
    return CWinApp::PreTranslateMessage(pMsg);
}

UINT CQuorixApp::MessageBoxType(UINT nType)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
        case MB_YESNO:
            nType |= MB_ICONEXCLAMATION;
            break;
        }
    }
    return nType;
}

int CQuorixApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)
{
    // The owner is found while it is still enabled: disabling the modeless windows
    // disables the main window too.
    HWND topLevel = nullptr;
    CWnd* owner = CWnd::GetSafeOwner(nullptr, &topLevel);
    HWND hOwner = owner ? owner->GetSafeHwnd() : nullptr;
    EnableModeless(FALSE);
    DWORD* context = &m_dwPromptContext;
    if (hOwner != nullptr)
        if (DWORD* own = (DWORD*)::SendMessage(hOwner, WM_HELPPROMPTADDR, 0, 0))
            context = own;
    DWORD oldContext = *context;
    if (nIDPrompt != 0)
        *context = HID_BASE_PROMPT + nIDPrompt;
    int result = ::MessageBoxA(hOwner, lpszPrompt, QU_CAPTION, MessageBoxType(nType));
    *context = oldContext;
    if (topLevel != nullptr)
        ::EnableWindow(topLevel, TRUE);
    EnableModeless(TRUE);
    return result;
}

BOOL CQuorixApp::OnDDECommand(LPTSTR lpszCommand)
{
    CString command = lpszCommand ? lpszCommand : "";
    if (command.Left(7) != "[open(\"")
        return FALSE;
    int end = command.Find('"', 7);
    if (end < 0)
        return FALSE;
    CString file = command.Mid(7, end - 7);
    CQKAccess* kernel = m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess();
    CWnd* main = m_pMainWnd;
    BOOL project = kernel->IsProjectFileName(file);
    if (main != nullptr && (main->GetStyle() & WS_VISIBLE) && project) {
        CString quoted = file;
        if (quoted.Left(1) != "\"")
            quoted = "\"" + file + "\"";
        return LaunchAnother(quoted);
    }
    if (main != nullptr) {
        if (m_nCmdShowAfterDDE != -1) {
            m_nCmdShow = m_nCmdShowAfterDDE;
            m_nCmdShowAfterDDE = -1;
        }
        int show = m_nCmdShow;
        if (show == -1 || show == SW_SHOWNORMAL)
            show = main->IsIconic() ? SW_RESTORE : SW_SHOW;
        main->ShowWindow(show);
        if (show != SW_MINIMIZE)
            ::SetForegroundWindow(main->GetSafeHwnd());
    }
    if (project)
        return kernel->OpenProjectFile(file);
    return qkfxAppendFile(file, 0) != 0;
}

BOOL CQuorixApp::GetLaunchCommandLine(const char* arguments, CString& commandLine) const
{
    std::string exe;
    if (!qkuGetExeFile(exe, 3))
        return FALSE;
    // The program's path is quoted: a folder with blanks would otherwise start another file.
    commandLine = CString("\"") + exe.c_str() + "\"";
    if (!qkfxIsIniPathEQProgPath()) {
        char iniFolder[MAX_PATH] = {};
        qkfxGetGlobalINIPath(iniFolder);
        commandLine += CString(" -P \"") + iniFolder + "\"";
    }
    commandLine += " ";
    commandLine += arguments ? arguments : "";
    return TRUE;
}

BOOL CQuorixApp::LaunchAnother(const char* arguments)
{
    CString commandLine;
    if (!GetLaunchCommandLine(arguments, commandLine))
        return FALSE;
    STARTUPINFOA si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    BOOL ok = ::CreateProcessA(nullptr, commandLine.GetBuffer(commandLine.GetLength()), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    commandLine.ReleaseBuffer();
    if (ok) {
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    return ok;
}

BOOL CQuorixApp::OnOpenRecentFile(UINT nID)
{
    m_bLeaveInMRU = 0;
    if (m_pRecentFileList == nullptr)
        return TRUE;
    int index = (int)nID - ID_FILE_MRU_FILE1;
    if (index < 0 || index >= m_pRecentFileList->GetSize() || (*m_pRecentFileList)[index].IsEmpty())
        return TRUE;
    CString file = (*m_pRecentFileList)[index];
    CQKAccess* kernel = m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess();
    if (kernel->IsProjectFileName(file)) {
        if (!kernel->OpenProjectFile(file))
            m_pRecentFileList->Remove(index);
    } else if (qkfxIsExcelFileName(file)) {
        CDocument* doc = OpenDocumentFile(file);
        if (CQuorixDoc* qdoc = DYNAMIC_DOWNCAST(CQuorixDoc, doc))
            qdoc->UpdateTitleFromPage();
        if (doc == nullptr && !m_bLeaveInMRU)
            m_pRecentFileList->Remove(index);
        m_bLeaveInMRU = 0;
    } else if (!qkfxAppendFile(file, 1)) {
        m_pRecentFileList->Remove(index);
    }
    return TRUE;
}

CDocument* CQuorixApp::OpenDocumentFile(LPCTSTR lpszFileName)
{
    CxlMultiDocTemplate* excel = DYNAMIC_DOWNCAST(CxlMultiDocTemplate, GetExcelDocumentTemplate());
    if (excel != nullptr && excel->IsFileNameAmongOpened(lpszFileName))
        return nullptr;
    return CWinApp::OpenDocumentFile(lpszFileName);
}

void CQuorixApp::AddToRecentFileList(LPCTSTR lpszPathName)
{
    if (!m_bAddingToMRUDisabled)
        CWinApp::AddToRecentFileList(lpszPathName);
}

// ---- templates ------------------------------------------------------------------------

void CQuorixApp::add_doc_template(CMultiDocTemplate* pTemplate)
{
    if (CQrxMultiDocTemplate* t = DYNAMIC_DOWNCAST(CQrxMultiDocTemplate, pTemplate)) {
        t->Init();
        m_QrxTemplateList.AddTail(t);
    }
}

CQrxMultiDocTemplate* CQuorixApp::get_template(int id) const
{
    POSITION pos = m_QrxTemplateList.GetHeadPosition();
    while (pos != nullptr) {
        CQrxMultiDocTemplate* t = (CQrxMultiDocTemplate*)m_QrxTemplateList.GetNext(pos);
        if (t->get_template_id() == id)
            return t;
    }
    return nullptr;
}

CQrxMultiDocTemplate* CQuorixApp::get_one_page_template(int pageType) const
{
    return get_template(pageType >= 0 && pageType <= 4 ? pageType : 0);
}

CQrxMultiDocTemplate* CQuorixApp::GetExcelDocumentTemplate() const
{
    return get_template(QU_TEMPLATE_EXCEL);
}

CQrxMultiDocTemplate* CQuorixApp::menu_modifications_character_to_template(char kind) const
{
    switch (kind) {
    case 'G': return get_template(QU_TEMPLATE_GRAPH);
    case 'M': return get_template(QU_TEMPLATE_MATRIX);
    case 'P': return get_template(QU_TEMPLATE_LAYOUT);
    case 'W': return get_template(QU_TEMPLATE_WKS);
    case 'X': return get_template(QU_TEMPLATE_EXCEL);
    }
    return nullptr;
}

CQUOleTemplateServer* CQuorixApp::NewTemplateServer(REFCLSID clsid, CMultiDocTemplate* pTemplate, BOOL bMultiInstance)
{
    CQUOleTemplateServer* server = new CQUOleTemplateServer;
    server->ConnectTemplate(clsid, pTemplate, bMultiInstance);
    m_templateServers.AddTail(server);
    return server;
}

int CQuorixApp::SetEmbeddedDirty(BOOL flag)
{
    CQrxMultiDocTemplate* graph = get_template(QU_TEMPLATE_GRAPH);
    if (graph != nullptr && graph->SetEmbeddedDirty(flag))
        return 1;
    CQrxMultiDocTemplate* layout = get_template(QU_TEMPLATE_LAYOUT);
    return layout != nullptr ? layout->SetEmbeddedDirty(flag) : 0;
}

// ---- printer ---------------------------------------------------------------------------

HGLOBAL CQuorixApp::GetPrinterDevMode()
{
    if (!HasPrinterInfo())
        UpdatePrinterSelection(FALSE);
    return m_hDevMode;
}

int CQuorixApp::GetPrinterDCIC(CDC* pDC, BOOL bIC)
{
    if (pDC == nullptr)
        return 0;
    if (!bIC)
        return CreatePrinterDC(*pDC) ? 1 : 0;
    if (m_hDevNames == nullptr)
        return 0;
    DEVNAMES* names = (DEVNAMES*)::GlobalLock(m_hDevNames);
    DEVMODEA* mode = m_hDevMode ? (DEVMODEA*)::GlobalLock(m_hDevMode) : nullptr;
    HDC dc = ::CreateICA((const char*)names + names->wDriverOffset, (const char*)names + names->wDeviceOffset,
                         (const char*)names + names->wOutputOffset, mode);
    if (mode != nullptr)
        ::GlobalUnlock(m_hDevMode);
    ::GlobalUnlock(m_hDevNames);
    if (dc == nullptr)
        return 0;
    pDC->DeleteDC();
    pDC->Attach(dc);
    return 1;
}

void CQuorixApp::NotifyPrinterChanged(BOOL bUpdateSelection)
{
    if (bUpdateSelection)
        UpdatePrinterSelection(FALSE);
    POSITION pos = m_QrxTemplateList.GetHeadPosition();
    while (pos != nullptr)
        ((CQrxMultiDocTemplate*)m_QrxTemplateList.GetNext(pos))->OnPrinterChanged(0);
    CQKAccess* kernel = m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess();
    kernel->OnPrinterChanged(0);
}

// ---- menus -----------------------------------------------------------------------------

void CQuorixApp::CopyMenu(HMENU target, HMENU source, BOOL bSeparatorFirst)
{
    for (int i = ::GetMenuItemCount(target) - 1; i >= 0; --i)
        ::DeleteMenu(target, i, MF_BYPOSITION);
    if (bSeparatorFirst && ::GetMenuItemCount(target) > 0)
        ::AppendMenuA(target, MF_SEPARATOR, 0, nullptr);
    int count = ::GetMenuItemCount(source);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info = {sizeof(info)};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_DATA | MIIM_STATE;
        info.dwTypeData = nullptr;
        if (!::GetMenuItemInfoA(source, i, TRUE, &info))
            continue;
        CString text;
        if (!(info.fType & MFT_OWNERDRAW) && info.cch > 0) {
            info.dwTypeData = text.GetBuffer((int)info.cch + 1);
            info.cch += 1;
            ::GetMenuItemInfoA(source, i, TRUE, &info);
            text.ReleaseBuffer();
        }
        UINT state = info.fState & (MFS_GRAYED | MFS_CHECKED);
        if (info.hSubMenu != nullptr) {
            HMENU popup = ::CreatePopupMenu();
            CopyMenu(popup, info.hSubMenu);
            ::AppendMenuA(target, MF_POPUP | MF_STRING | state, (UINT_PTR)popup, text);
        } else if (info.wID == 0 || (info.fType & MFT_SEPARATOR)) {
            ::AppendMenuA(target, MF_SEPARATOR, 0, nullptr);
            continue;
        } else {
            ::AppendMenuA(target, MF_STRING | state, info.wID, text);
        }
        if (info.fType & MFT_OWNERDRAW) {
            MENUITEMINFOA od = {sizeof(od)};
            od.fMask = MIIM_FTYPE | MIIM_DATA;
            od.fType = info.fType;
            od.dwItemData = info.dwItemData;
            ::SetMenuItemInfoA(target, ::GetMenuItemCount(target) - 1, TRUE, &od);
        }
    }
}

HMENU CQuorixApp::FindPlotPopup(HMENU menu)
{
    if (menu == nullptr)
        return nullptr;
    for (UINT id : {33249u, 33248u, 33250u}) {
        int count = ::GetMenuItemCount(menu);
        for (int i = 0; i < count; ++i) {
            HMENU popup = ::GetSubMenu(menu, i);
            if (popup != nullptr && qkuGetSubmenuWithThisItem(popup, id) != nullptr)
                return popup;
        }
    }
    return ::GetSubMenu(menu, 3);
}

void CQuorixApp::UpdateExcelRelatedMenus()
{
    CQrxMultiDocTemplate* excel = get_template(QU_TEMPLATE_EXCEL);
    CQrxMultiDocTemplate* wks = get_template(QU_TEMPLATE_WKS);
    if (excel == nullptr || wks == nullptr || wks->m_hMenuShared == nullptr)
        return;
    if (excel->m_hMenuShared == nullptr)
        excel->m_hMenuShared = ::CreateMenu();
    CopyMenu(excel->m_hMenuShared, wks->m_hMenuShared);
    HMENU target = FindPlotPopup(excel->m_hMenuShared);
    HMENU source = FindPlotPopup(wks->m_hMenuShared);
    if (target != nullptr && source != nullptr)
        CopyMenu(target, source);
}

HMENU CQuorixApp::GetPlotSubmenuFromExisting()
{
    CQrxMultiDocTemplate* wks = get_template(QU_TEMPLATE_WKS);
    return wks ? FindPlotPopup(wks->m_hMenuShared) : nullptr;
}

HMENU CQuorixApp::GetNoExcelMenu()
{
    if (m_hNoExcelMenu == nullptr) {
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(509), RT_MENU);
        m_hNoExcelMenu = ::LoadMenuA(module, MAKEINTRESOURCE(509));
    }
    return m_hNoExcelMenu;
}

int CQuorixApp::ReloadCleanMenusFromResources()
{
    CArray<HMENU, HMENU> old;
    POSITION pos = m_QrxTemplateList.GetHeadPosition();
    while (pos != nullptr) {
        HMENU menu = nullptr;
        ((CQrxMultiDocTemplate*)m_QrxTemplateList.GetNext(pos))->ReloadCleanMenu(menu);
        if (menu != nullptr)
            old.Add(menu);
    }
    OnMenuChanges();
    if (CMDIFrameWnd* mdi = DYNAMIC_DOWNCAST(CMDIFrameWnd, m_pMainWnd))
        if (CMDIChildWnd* child = mdi->MDIGetActive())
            child->OnUpdateFrameMenu(TRUE, child, nullptr);
    for (INT_PTR i = 0; i < old.GetSize(); ++i)
        ::DestroyMenu(old[i]);
    return 1;
}

void CQuorixApp::InitEmbeddingSession()
{
    InitMenusForOpenEmbedding();
}

void CQuorixApp::InitMenusForOpenEmbedding()
{
    InitEmbMenuForOpenEmbedding(QU_TEMPLATE_GRAPH);
}

void CQuorixApp::InitEmbMenuForOpenEmbedding(int templateId)
{
    CQrxMultiDocTemplate* t = get_template(templateId);
    if (t == nullptr || t->m_hMenuShared == nullptr)
        return;
    if (t->m_hMenuEmbedding == nullptr)
        t->m_hMenuEmbedding = ::CreateMenu();
    HMENU menu = t->m_hMenuEmbedding;
    CopyMenu(menu, t->m_hMenuShared);
    if (HMENU popup = qkuGetSubmenuWithThisItem(menu, 0x8500)) {
        CString text;
        if (!text.LoadString(10097))
            text = "&Update\tCtrl+S";
        ::InsertMenuA(popup, 0x8500, MF_BYCOMMAND | MF_STRING, 57610, text);
    }
    if (HMENU popup = qkuGetSubmenuWithThisItem(menu, 34100)) {
        int pos = qkuGetMenuItemPosition(popup, 34100);
        ::DeleteMenu(popup, pos, MF_BYPOSITION);
        // No two separators may meet where the item was.
        int count = ::GetMenuItemCount(popup);
        auto isSeparator = [&](int i) {
            return i >= 0 && i < count && (::GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR);
        };
        if (isSeparator(pos) && (pos == 0 || isSeparator(pos - 1) || pos == count - 1))
            ::DeleteMenu(popup, pos, MF_BYPOSITION);
        else if (isSeparator(pos - 1) && (pos - 1 == 0 || pos == count))
            ::DeleteMenu(popup, pos - 1, MF_BYPOSITION);
    }
}

void CQuorixApp::OnInitStandalone()
{
    if (m_pAccess == nullptr || !m_pAccess->IsEmbeddingOpened())
        return;
    m_pAccess->SetEmbeddingOpened(FALSE);
    ReloadCleanMenusFromResources();
    if (CMDIFrameWnd* mdi = DYNAMIC_DOWNCAST(CMDIFrameWnd, m_pMainWnd)) {
        BOOL maximized = FALSE;
        if (CMDIChildWnd* child = mdi->MDIGetActive(&maximized))
            if (maximized)
                child->MDIRestore();
    }
    CQKQrxSystem* system = m_pAccess->GetQrxSystem();
    system->ChangeMenuLevel(system->GetCurrentMenuLevel());
    OnMenuChanges();
    if (m_pMainWnd != nullptr)
        m_pMainWnd->DrawMenuBar();
}

BOOL CQuorixApp::OnChangeMenuLevel(UINT nID)
{
    if (CMDIFrameWnd* mdi = DYNAMIC_DOWNCAST(CMDIFrameWnd, m_pMainWnd)) {
        BOOL maximized = FALSE;
        if (mdi->MDIGetActive(&maximized) != nullptr && maximized) {
            AfxMessageBox(IDS_QU_MENU_LEVEL_MAXIMIZED, MB_OK);
            return TRUE;
        }
    }
    CQKAccess* kernel = m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess();
    if (!kernel->GetQrxSystem()->ChangeMenuLevel((int)nID - 32767))
        return TRUE;
    if (m_pAccess != nullptr && m_pAccess->IsEmbeddingOpened())
        InitMenusForOpenEmbedding();
    OnMenuChanges();
    if (m_pMainWnd != nullptr)
        m_pMainWnd->DrawMenuBar();
    return TRUE;
}

void CQuorixApp::OnUpdateUIChangeMenuLevel(CCmdUI* pCmdUI)
{
    CQKQrxSystem* system = (m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess())->GetQrxSystem();
    if (pCmdUI->m_nID == 32768 && pCmdUI->m_pSubMenu != nullptr) {
        HMENU popup = pCmdUI->m_pSubMenu->GetSafeHmenu();
        for (int i = ::GetMenuItemCount(popup) - 1; i >= 0; --i)
            ::DeleteMenu(popup, i, MF_BYPOSITION);
        for (int level = 1; level <= system->GetNumMenuLevels(); ++level)
            ::AppendMenuA(popup, MF_STRING, 32767 + level, system->GetMenuLevelTitle(level).c_str());
        return;
    }
    pCmdUI->SetRadio(pCmdUI->m_nID == (UINT)(system->GetCurrentMenuLevel() + 32767));
}

// ---- commands --------------------------------------------------------------------------

void CQuorixApp::OnAppAbout()
{
    (m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess())->GetQrxSystem()->AboutDialog();
}

BOOL CQuorixApp::on_script_commands_FILE(UINT nID)
{
    const char* script = nullptr;
    switch (nID) {
    case 34024: script = "win -tx wks excel"; break;
    case 34025: script = "win -n notes"; break;
    case 34039: script = "ed.open()"; break;
    case 33053: script = "print"; break;
    }
    if (script != nullptr) {
        (m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess())->execute_script(script, 0);
        return TRUE;
    }
    CommandToScript("FILE", nID);
    return TRUE;
}

BOOL CQuorixApp::on_script_commands_STANDARD(UINT nID)
{
    // The Standard toolbar's Print belongs to the file commands.
    if (nID == 33053)
        return on_script_commands_FILE(nID);
    CommandToScript("STANDARD", nID);
    return TRUE;
}

void CQuorixApp::OnUpdateFileCommand(CCmdUI* pCmdUI)
{
    // With any window, the page windows' and the main frame's own updates come first; a
    // window of another kind (an Excel workbook) leaves these two to the application.
    pCmdUI->Enable(QUIsCommandAvailable("FILE", pCmdUI->m_nID));
}

void CQuorixApp::OnUpdateAlwaysEnabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
}

void CQuorixApp::OnToggleScriptWindow()
{
    if (m_pAccess != nullptr)
        m_pAccess->GetQrxSystem()->ToggleScriptWindow();
}

void CQuorixApp::OnUIUpdateToggleScriptWindow(CCmdUI* pCmdUI)
{
    if (m_pAccess != nullptr)
        pCmdUI->SetCheck(m_pAccess->GetQrxSystem()->IsScriptWindowShown() ? 1 : 0);
}

void CQuorixApp::OnOptions()
{
    CommandToScript(nullptr, 36080);
}

namespace {

// The FILE command that makes a window of each kind of the New dialog (by the kind's
// label): the dialog offers only what that command may do.
UINT FileCommandOfNewKind(UINT label)
{
    static const struct {
        UINT label, command;
    } kinds[] = {{10240, 34011}, {10241, 34006}, {10246, 34024}, {10242, 34007}, {10243, 34009},
                 {10247, 34025}, {10244, 34008}, {10245, 34010}, {10248, 34039}};
    for (const auto& k : kinds)
        if (k.label == label)
            return k.command;
    return 0;
}

} // namespace

void CQuorixApp::OnNewWindow()
{
    CNewWindowDlg dlg(m_pMainWnd);
    if (dlg.DoModal() != IDOK)
        return;
    CQKAccess* kernel = m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess();
    const CNewWindowDlg::Kind* kind = CNewWindowDlg::GetKind(CNewWindowDlg::GetRememberedKind());
    UINT command = kind ? FileCommandOfNewKind(kind->nLabel) : 0;
    if (command != 0 && !kernel->on_before_run_command("FILE", (int)command)) {
        CString label, format, message;
        label.LoadString(kind->nLabel);
        format.LoadString(IDS_QU_NEW_KIND_UNAVAILABLE);
        message.Format(format, (LPCTSTR)label);
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    kernel->execute_script(dlg.m_strCommand, 0);
}

BOOL CQuorixApp::GetPageSetupDefaults(PRINTDLGA& defaults)
{
    defaults = {sizeof defaults};
    if (GetPrinterDeviceDefaults(&defaults))
        return TRUE;
    OnFilePrintSetup();
    return FALSE;
}

void CQuorixApp::OnRenameWindow()
{
    CQKPage* page = m_pAccess ? m_pAccess->GetActiveBasePage() : nullptr;
    if (page == nullptr)
        return;
    CQURenameWndDlg dlg(page, m_pMainWnd);
    if (dlg.DoModal() != IDOK)
        return;
    // The window's title follows its page's name.
    CMDIFrameWnd* frame = DYNAMIC_DOWNCAST(CMDIFrameWnd, m_pMainWnd);
    CMDIChildWnd* child = frame ? frame->MDIGetActive() : nullptr;
    CDocument* doc = child ? child->GetActiveDocument() : nullptr;
    if (CQuorixDoc* pageDoc = DYNAMIC_DOWNCAST(CQuorixDoc, doc))
        pageDoc->UpdateTitleFromPage();
    else if (doc != nullptr)
        doc->SetTitle(page->GetName().c_str());
}

void CQuorixApp::OnUpdateRenameWindow(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_pAccess != nullptr && m_pAccess->GetActiveBasePage() != nullptr);
}

BOOL CQuorixApp::OnOnlineHelp(UINT nID)
{
    (m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess())->OnlineHelp((int)nID);
    return TRUE;
}

BOOL CQuorixApp::OnQrxWebSite(UINT nID)
{
    (m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess())->OnQrxWebSite((int)nID);
    return TRUE;
}

void CQuorixApp::OnUpdateQrxWebSite(CCmdUI*)
{
}

void CQuorixApp::OnQrxTutorial()
{
    (m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess())->OnQrxTutorial();
}

void CQuorixApp::OnSendProjectTo()
{
    (m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess())->OnSendProjectTo();
}

void CQuorixApp::OnTurnOnReminderBoxes()
{
    qkuTurnOnReminderMsgBoxes(0);
}

namespace {

// The Results Log's view modes by command: every entry, the active folder's, and the
// active folder's with its subfolders.
WORD ResultsLogViewMode(UINT nID)
{
    switch (nID) {
    case 38380: return 4;
    case 38381: return 2;
    case 38382: return 3;
    }
    return 0;
}

} // namespace

void CQuorixApp::OnViewProjectExplorer()
{
    if (CMainFrame* frame = get_main_frame())
        frame->GetProjectExplorer()->ToggleShow();
}

void CQuorixApp::OnUIUpdateViewProjectExplorer(CCmdUI* pCmdUI)
{
    CMainFrame* frame = get_main_frame();
    CDockExplore* explorer = frame != nullptr ? frame->GetProjectExplorer() : nullptr;
    pCmdUI->Enable(explorer != nullptr && explorer->GetSafeHwnd() != nullptr);
    pCmdUI->SetCheck(explorer != nullptr && explorer->GetSafeHwnd() != nullptr && explorer->IsWindowVisible());
}

void CQuorixApp::OnPEViewMode(UINT nID)
{
    if (CMainFrame* frame = get_main_frame())
        frame->GetProjectExplorer()->SetViewModeFromCommand(nID);
}

void CQuorixApp::OnUIUpdatePEViewMode(CCmdUI* pCmdUI)
{
    CMainFrame* frame = get_main_frame();
    CDockExplore* explorer = frame != nullptr ? frame->GetProjectExplorer() : nullptr;
    BOOL exists = explorer != nullptr && explorer->GetSafeHwnd() != nullptr;
    pCmdUI->Enable(exists);
    pCmdUI->SetRadio(exists && explorer->GetViewModeCommand() == pCmdUI->m_nID);
}

void CQuorixApp::OnViewOutputLog()
{
    if (CMainFrame* frame = get_main_frame())
        frame->OutputLogToggle();
}

void CQuorixApp::OnUIUpdateViewOutputLog(CCmdUI* pCmdUI)
{
    CMainFrame* frame = get_main_frame();
    pCmdUI->Enable(frame != nullptr);
    pCmdUI->SetCheck(frame != nullptr && frame->GetOutputLog()->GetSafeHwnd() != nullptr &&
                     frame->GetOutputLog()->IsWindowVisible());
}

BOOL CQuorixApp::OnUIRLViewMode(UINT nID)
{
    CMainFrame* frame = get_main_frame();
    WORD mode = ResultsLogViewMode(nID);
    if (frame != nullptr && mode != 0 && frame->GetOutputLog()->GetSafeHwnd() != nullptr)
        frame->GetOutputLog()->GetEdit().SetViewMode(mode);
    return TRUE;
}

void CQuorixApp::OnUIUpdateRLViewMode(CCmdUI* pCmdUI)
{
    CMainFrame* frame = get_main_frame();
    BOOL hasLog = frame != nullptr && frame->GetOutputLog()->GetSafeHwnd() != nullptr;
    pCmdUI->Enable(hasLog);
    WORD mode = ResultsLogViewMode(pCmdUI->m_nID);
    pCmdUI->SetRadio(hasLog && mode != 0 && frame->GetOutputLog()->GetEdit().GetViewMode() == mode);
}

int CQuorixApp::CommandToScript(const char* group, UINT id)
{
    if (m_pAccess == nullptr)
        return 0;
    return m_pAccess->run_command_from_resource_as_script(group, id, nullptr);
}

// ---- closing ---------------------------------------------------------------------------

void CQuorixApp::SetClosingAllWindows(BOOL flag)
{
    m_bClosingAllWindows = flag ? 1 : 0;
    CQKAccess* kernel = m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess();
    if (flag)
        kernel->GetScriptWindow()->DisableCreation();
    else
        kernel->GetScriptWindow()->EnableCreation();
}

int CQuorixApp::BeginClosingAll(int)
{
    CQKAccess* kernel = m_pAccess ? (CQKAccess*)m_pAccess : qkfxGetAccess();
    if (!kernel->InPlaceActive() && !(m_pAccess && m_pAccess->IsEmbeddingOpened()))
        return 1;
    // Graph documents serving an embedding are handed back to their containers by the
    // OLE server documents, which this version does not have: there is nothing to tell.
    return 1;
}

int CQuorixApp::CheckExcelUpdateQuorixDirty()
{
    return 1;
}

CQKCustomModification* CQuorixApp::GetCustomModification()
{
    if (m_bCustomFirstUse) {
        m_bCustomFirstUse = 0;
        m_pCustom = new CQKCustomModification;
        if (!m_pCustom->IsCustomDLLValid()) {
            delete m_pCustom;
            m_pCustom = nullptr;
        }
    }
    return m_pCustom;
}

// ---- registry and profile ------------------------------------------------------------------

void CQuorixApp::GetToolbarRegKeyString(char* buffer, BOOL bCheckUpgrade)
{
    const char current[] = "Veltranex\\Quorix 6.1\\";
    lstrcpyA(buffer, current);
    if (bCheckUpgrade) {
        // Read straight from the registry: this runs inside a redirection of the profile,
        // and redirections do not nest.
        CString key = CString("Software\\") + current + "English\\InstallState\\Upgrade60To61";
        char value[16] = {};
        DWORD size = sizeof(value) - 1;
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE, &hKey) == ERROR_SUCCESS) {
            DWORD type = 0;
            if (::RegQueryValueExA(hKey, "bFirstTime", nullptr, &type, (BYTE*)value, &size) != ERROR_SUCCESS ||
                type != REG_SZ)
                value[0] = '\0';
            ::RegCloseKey(hKey);
        }
        if (lstrcmpA(value, "1") == 0)
            lstrcpyA(buffer, "Tessaron Software Inc.\\Quorix 6.0\\");
    }
    lstrcatA(buffer, "English");
}

CString CQuorixApp::GetToolbarRegKeyStringLong()
{
    char key[MAX_PATH];
    GetToolbarRegKeyString(key, FALSE);
    return CString("Software\\") + key + "\\Toolbars";
}

int CQuorixApp::BeginRegistryAccess(const char* name, BOOL bIniFile, BOOL bCheckUpgrade)
{
    if (!bIniFile) {
        delete[] m_pszRegistryKeyBuffer;
        m_pszRegistryKeyBuffer = new char[MAX_PATH];
        GetToolbarRegKeyString(m_pszRegistryKeyBuffer, bCheckUpgrade);
        m_pszRegistryKey = m_pszRegistryKeyBuffer;
    }
    m_pszSavedProfileName = m_pszProfileName;
    delete[] m_pszProfileNameCopy;
    m_pszProfileNameCopy = new char[MAX_PATH];
    lstrcpynA(m_pszProfileNameCopy, name ? name : "", MAX_PATH);
    m_pszProfileName = m_pszProfileNameCopy;
    return 1;
}

int CQuorixApp::EndRegistryAccess()
{
    m_pszRegistryKey = nullptr;
    delete[] m_pszRegistryKeyBuffer;
    m_pszRegistryKeyBuffer = nullptr;
    if (m_pszSavedProfileName != nullptr)
        m_pszProfileName = m_pszSavedProfileName;
    m_pszSavedProfileName = nullptr;
    delete[] m_pszProfileNameCopy;
    m_pszProfileNameCopy = nullptr;
    return 1;
}

int CQuorixApp::BeforeToolbarConfSaveLoad(BOOL bLoad)
{
    if (bLoad) {
        BeginRegistryAccess("Toolbars", FALSE, TRUE);
        if (CMainFrame* frame = get_main_frame(); frame != nullptr && frame->TlbarsArrangementFilePresent())
            return 1;
        EndRegistryAccess();
        if (GetProfileInt("RegistryAccess", "NoWrite", 0) != 0) {
            WriteProfileString("RegistryAccess", nullptr, nullptr);
            return 1;
        }
        CString file = WithBackslash(qkfxGetExePath()) + "qtb61.ini";
        BeginRegistryAccess(file, TRUE, FALSE);
        return 1;
    }
    if (!qkfxIsSaveTlbConfInRegistry())
        return 1;
    BeginRegistryAccess("Toolbars", FALSE, TRUE);
    if (CMainFrame* frame = get_main_frame(); frame != nullptr && frame->IsRegistryWritable())
        return 1;
    EndRegistryAccess();
    WriteProfileString("RegistryAccess", "NoWrite", "1");
    return 1;
}

int CQuorixApp::AfterToolbarConfSaveLoad(BOOL bLoad)
{
    if (!bLoad)
        if (CMainFrame* frame = get_main_frame())
            frame->KeyTlbarsArrangement();
    EndRegistryAccess();
    return 1;
}

void CQuorixApp::GetExePath(CString& path)
{
    path = qkfxGetExePath().c_str();
}

void CQuorixApp::GetINIFileFullPathName(CString& path)
{
    path = qkfxGetINIFileFullPathName().c_str();
}

void CQuorixApp::RegisterShellFileTypes(BOOL bCompat)
{
    auto shellTemplate = [](CQrxMultiDocTemplate* t) {
        int id = t->get_template_id();
        return id != QU_TEMPLATE_EXCEL && id != QU_TEMPLATE_LAYOUT && id != QU_TEMPLATE_NOTES;
    };
    POSITION pos = m_QrxTemplateList.GetHeadPosition();
    while (pos != nullptr) {
        CQrxMultiDocTemplate* t = (CQrxMultiDocTemplate*)m_QrxTemplateList.GetNext(pos);
        if (!shellTemplate(t))
            continue;
        CString typeId = TemplateDocString(t, CDocTemplate::regFileTypeId);
        CString ext = TemplateDocString(t, CDocTemplate::filterExt);
        if (typeId.IsEmpty())
            continue;
        qkuDeleteRegKey(HKEY_CLASSES_ROOT, typeId + "\\shell\\open\\ddeexec\\Application");
        if (!ext.IsEmpty())
            SetClassesRootValue(ext, typeId);
    }

    SetInRegisteringShellFileTypes(TRUE);
    CWinApp::RegisterShellFileTypes(bCompat);
    SetInRegisteringShellFileTypes(FALSE);

    std::string templateExt;
    CQrxMultiDocTemplate* graph = get_template(QU_TEMPLATE_GRAPH);
    if (graph == nullptr || !qkfxGetQrxTemplateFileExtension(10, templateExt) ||
        !SetClassesRootValue(templateExt.c_str(), TemplateDocString(graph, CDocTemplate::regFileTypeId)))
        return;

    std::string iniPart;
    BOOL withIni = qkuGetINIPathForCommandline(iniPart, 0);
    pos = m_QrxTemplateList.GetHeadPosition();
    while (pos != nullptr) {
        CQrxMultiDocTemplate* t = (CQrxMultiDocTemplate*)m_QrxTemplateList.GetNext(pos);
        if (!shellTemplate(t))
            continue;
        CString typeId = TemplateDocString(t, CDocTemplate::regFileTypeId);
        if (typeId.IsEmpty())
            continue;
        qkuDeleteRegKey(HKEY_CLASSES_ROOT, typeId + "\\shell\\print");
        qkuDeleteRegKey(HKEY_CLASSES_ROOT, typeId + "\\shell\\printto");
        if (withIni)
            qkuAppendRegistryKeyStringValue(HKEY_CLASSES_ROOT, typeId + "\\shell\\open\\command", nullptr,
                                            iniPart.c_str());
    }
    qkuRegisterExtension(".FLT", "Quorix60.GraphicExportFilter", 41224);
    qkfxRegisterOtherExtensions();
}

int CQuorixApp::GetQuorixGraphOLEObjectName(CString& name) const
{
    CQrxMultiDocTemplate* graph = get_template(QU_TEMPLATE_GRAPH);
    if (graph == nullptr)
        return 0;
    return graph->GetDocString(name, CDocTemplate::regFileTypeId) ? 1 : 0;
}
