// The application base object of the program.
//
// The main program derives its one application object from CQuorixApp and overrides only
// the virtual operations that name its own resources and classes (the main frame's
// resource and class, the document templates, the start screen). CQuorixApp owns the
// start-up order, the bridge object through which the kernel reaches the user interface,
// the list of document templates and of their OLE template servers, the idle and message
// hooks into the kernel, DDE, the message box of the whole system, the redirection of the
// profile functions between the profile INI file and the registry, and the shell
// registration.
#pragma once

#include <afxwin.h>
#include <afxole.h>

#include "QUExport.h"

class CQUAccess;
class CQKCustomModification;
class CQrxMultiDocTemplate;
class CQuorixDoc;

// The start screen; Open and Close pair up, however often each is called.
class QU_API CQUOpenScreen : public CObject {
    DECLARE_DYNAMIC(CQUOpenScreen)
public:
    CQUOpenScreen() = default;
    ~CQUOpenScreen() override;
    virtual void Open();
    virtual void Close();
    int IsShown() const { return m_bShown; }

protected:
    int m_bShown = 0;
};

// The framework's command line with switches of our own: any switch beginning with h or
// H asks for a hidden start, and -P names the INI folder for the kernel.
class QU_API CQUCommandLineInfo : public CCommandLineInfo {
public:
    CQUCommandLineInfo() = default;
    void ParseParam(LPCTSTR lpszParam, BOOL bFlag, BOOL bLast) override;
    int m_bHidden = 0;

private:
    int m_bIniFolderNext = 0;
};

// The OLE server registration of one document template: the class id under which
// other programs find the template's documents, written into the registry from the
// template's document strings.
class QU_API CQUOleTemplateServer : public COleTemplateServer {
    DECLARE_DYNAMIC(CQUOleTemplateServer)
public:
    CQUOleTemplateServer() = default;
    // Writes the server's keys; FALSE (after the kernel's message) when they cannot be
    // written. The graph server's start command carries the INI folder when it is not the
    // program folder.
    BOOL UpdateRegistry();
    void UpdateRegistry(OLE_APPTYPE nAppType, LPCTSTR* rglpszRegister = nullptr,
                        LPCTSTR* rglpszOverwrite = nullptr) override
    {
        UpdateRegistry();
    }
    BOOL IsConnected() const { return m_pDocTemplate != nullptr; }
    CDocTemplate* GetTemplate() const { return m_pDocTemplate; }
};

class QU_API CQUTemplateServersList : public CObList {
public:
    CQUTemplateServersList() : CObList(10) {}
    ~CQUTemplateServersList() override { RemoveAllServers(); }
    void RemoveAllServers();
    void UpdateRegistryForAll();
};

class QU_API CQuorixApp : public CWinApp {
    DECLARE_DYNAMIC(CQuorixApp)
public:
    explicit CQuorixApp(LPCTSTR lpszAppName = nullptr);
    ~CQuorixApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnIdle(LONG lCount) override;
    CDocument* OpenDocumentFile(LPCTSTR lpszFileName) override;
    void AddToRecentFileList(LPCTSTR lpszPathName) override;
    int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override;
    BOOL OnDDECommand(LPTSTR lpszCommand) override;

    // What the main program supplies.
    virtual CQUOpenScreen* CreateSplashScreen(BOOL bShow);
    virtual void OnAfterSplashScreen(int result);
    virtual UINT get_mainframe_resource_id() { return 0; }
    virtual UINT get_IDP_OLE_INIT_FAILED_id() { return 0; }
    // The base makes the frames library's CMainFrame.
    virtual CMDIFrameWnd* create_main_frame_object();
    virtual void init_document_templates() {}
    virtual int GetStrFromAppRes(UINT id, CString& text);

    // Start and end.
    int QK_init();
    void QK_uninit();
    int OnMiscInit();
    int OnMiscUnInit() { return 1; }
    int InitOLEMessageFilter();
    int DoNotSaveToolabarsConf() const { return m_bToolbarsNotSaved; }
    CQUAccess* GetAccess() const { return m_pAccess; }
    CQUOpenScreen* GetStartScreen() const { return m_pStartScreen; }
    void DeleteStartScreen();

    // Templates, in registration order. add_doc_template initialises the template; the
    // caller also hands it to the framework with AddDocTemplate.
    void add_doc_template(CMultiDocTemplate* pTemplate);
    CObList& get_template_list() { return m_QrxTemplateList; }
    CQrxMultiDocTemplate* get_template(int id) const;
    CQrxMultiDocTemplate* GetValidDocTemplate(int id) const { return get_template(id); }
    // Page types 0 to 4 are the template ids 0 to 4; any other type the worksheet's.
    CQrxMultiDocTemplate* get_one_page_template(int pageType) const;
    CQrxMultiDocTemplate* GetExcelDocumentTemplate() const;
    // The kernel names a window kind's menu by a letter: W, G, M, P, X.
    CQrxMultiDocTemplate* menu_modifications_character_to_template(char kind) const;
    CQUOleTemplateServer* NewTemplateServer(REFCLSID clsid, CMultiDocTemplate* pTemplate, BOOL bMultiInstance);
    CQUTemplateServersList& GetTemplateServersList() { return m_templateServers; }
    int SetEmbeddedDirty(BOOL flag);

    // Printer.
    BOOL HasPrinterInfo() const { return m_hDevMode != nullptr && m_hDevNames != nullptr; }
    HGLOBAL GetPrinterDevMode();
    int GetPrinterDCIC(CDC* pDC, BOOL bIC);
    void NotifyPrinterChanged(BOOL bUpdateSelection);
    // The printer's defaults for a page setup; without a printer the system's print setup
    // dialog says so and the answer is FALSE.
    BOOL GetPageSetupDefaults(PRINTDLGA& defaults);

    // Menus.
    void OnMenuChanges() { UpdateExcelRelatedMenus(); }
    void UpdateExcelRelatedMenus();
    HMENU GetPlotSubmenuFromExisting();
    HMENU GetNoExcelMenu();
    int ReloadCleanMenusFromResources();
    void InitEmbeddingSession();
    void InitMenusForOpenEmbedding();
    void InitEmbMenuForOpenEmbedding(int templateId);
    void OnInitStandalone();
    // Copies `source` into `target` (emptied first) item by item, popups recursively;
    // with bSeparatorFirst a separator goes first when the target already has items.
    static void CopyMenu(HMENU target, HMENU source, BOOL bSeparatorFirst = FALSE);
    // The popup of `menu` that holds the plot commands.
    static HMENU FindPlotPopup(HMENU menu);

    // Recent files.
    void DisableAddingToMRU(BOOL flag) { m_bAddingToMRUDisabled = flag ? 1 : 0; }
    int AddingToMRUDisabled() const { return m_bAddingToMRUDisabled; }
    void SetLeaveInMRU(BOOL flag) { m_bLeaveInMRU = flag ? 1 : 0; }
    int GetLeaveInMRU() const { return m_bLeaveInMRU; }

    // Closing.
    void SetClosingAllWindows(BOOL flag);
    int IsClosingAllWindows() const { return m_bClosingAllWindows; }
    int BeginClosingAll(int flags);
    int EndClosingAll(int) { return 1; }

    // Registry and profile.
    int BeginRegistryAccess(const char* name, BOOL bIniFile, BOOL bCheckUpgrade);
    int EndRegistryAccess();
    void GetToolbarRegKeyString(char* buffer, BOOL bCheckUpgrade);
    CString GetToolbarRegKeyStringLong();
    int BeforeToolbarConfSaveLoad(BOOL bLoad);
    int AfterToolbarConfSaveLoad(BOOL bLoad);
    void GetExePath(CString& path);
    void GetINIFileFullPathName(CString& path);
    void RegisterShellFileTypes(BOOL bCompat);
    int InRegisteringShellFileTypes() const { return m_bRegisteringShellFileTypes; }
    void SetInRegisteringShellFileTypes(BOOL flag) { m_bRegisteringShellFileTypes = flag ? 1 : 0; }
    int GetQuorixGraphOLEObjectName(CString& name) const;

    // Other.
    int CommandToScript(const char* group, UINT id);
    CQKCustomModification* GetCustomModification();
    // Starts another instance of the program with the arguments; FALSE when it cannot.
    BOOL LaunchAnother(const char* arguments);
    // The command line LaunchAnother starts: the program in quotes, the INI folder when it
    // is not the program folder, then the arguments. FALSE without the program's path.
    BOOL GetLaunchCommandLine(const char* arguments, CString& commandLine) const;
    void GetNotesPageMargin(CRect& margin) const { margin = m_rectNotesMargin; }
    void SetNotesPageMargin(const CRect& margin) { m_rectNotesMargin = margin; }
    int CheckExcelUpdateQuorixDirty();

    // The message box type a system message box gets: one without an icon whose buttons
    // are OK, OK/Cancel, Yes/No/Cancel or Yes/No gets the exclamation icon.
    static UINT MessageBoxType(UINT nType);
    // Hidden-start flag of the last start-up.
    int IsHiddenStart() const { return m_bHiddenStart; }

    afx_msg void OnAppAbout();

    // The application's FILE and STANDARD commands, which the page views pass on too.
    afx_msg BOOL on_script_commands_FILE(UINT nID);
    afx_msg BOOL on_script_commands_STANDARD(UINT nID);

protected:
    // File New: the New dialog's command for the chosen kind of window runs as script.
    afx_msg void OnNewWindow();
    // Window Rename: a new name for the active window.
    afx_msg void OnRenameWindow();
    afx_msg void OnUpdateRenameWindow(CCmdUI* pCmdUI);
    afx_msg BOOL OnOpenRecentFile(UINT nID);
    afx_msg BOOL OnChangeMenuLevel(UINT nID);
    afx_msg void OnUpdateUIChangeMenuLevel(CCmdUI* pCmdUI);
    afx_msg void OnUpdateAlwaysEnabled(CCmdUI* pCmdUI);
    afx_msg void OnUpdateFileCommand(CCmdUI* pCmdUI);
    afx_msg void OnToggleScriptWindow();
    afx_msg void OnUIUpdateToggleScriptWindow(CCmdUI* pCmdUI);
    afx_msg void OnOptions();
    afx_msg BOOL OnOnlineHelp(UINT nID);
    afx_msg BOOL OnQrxWebSite(UINT nID);
    afx_msg void OnUpdateQrxWebSite(CCmdUI* pCmdUI);
    afx_msg void OnQrxTutorial();
    afx_msg void OnSendProjectTo();
    afx_msg void OnTurnOnReminderBoxes();
    afx_msg void OnViewOutputLog();
    afx_msg void OnUIUpdateViewOutputLog(CCmdUI* pCmdUI);
    afx_msg BOOL OnUIRLViewMode(UINT nID);
    afx_msg void OnViewProjectExplorer();
    afx_msg void OnUIUpdateViewProjectExplorer(CCmdUI* pCmdUI);
    afx_msg void OnPEViewMode(UINT nID);
    afx_msg void OnUIUpdatePEViewMode(CCmdUI* pCmdUI);
    afx_msg void OnUIUpdateRLViewMode(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    CObList m_QrxTemplateList;
    CQUTemplateServersList m_templateServers;
    CQUOpenScreen* m_pStartScreen = nullptr;
    int m_bClosingAllWindows = 0;
    CRect m_rectNotesMargin;
    CQUAccess* m_pAccess = nullptr;
    int m_bLeaveInMRU = 0;
    HMENU m_hNoExcelMenu = nullptr;
    int m_bAddingToMRUDisabled = 0;
    int m_bRegisteringShellFileTypes = 0;
    int m_bToolbarsNotSaved = 0;
    LPCTSTR m_pszSavedProfileName = nullptr;
    char* m_pszRegistryKeyBuffer = nullptr;
    char* m_pszProfileNameCopy = nullptr;
    CQKCustomModification* m_pCustom = nullptr;
    int m_bCustomFirstUse = 1;
    char m_szProfilePath[MAX_PATH] = {};
    int m_bHiddenStart = 0;
    CString m_strHelpFile;
};

// The application object as CQuorixApp; null when there is none or it is another kind.
QU_API CQuorixApp* GetQuorixApp();

// The File New command of the program's toolbars: a new worksheet.
extern "C" QU_API void OnFileNew();
