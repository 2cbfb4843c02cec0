// The kernel's application object and the free functions of start-up and run time.
//
// In the application CQKAccess derives from the kernel's root class CQKBase, itself a
// framework CObject, and the user interface's bridge CQUAccess derives from it; those
// bases come when the user-interface layer links the framework. Windows are passed as
// window handles here for the same reason.
#pragma once

#include <string>
#include <vector>

#include "QKDefs.h"

#include <commctrl.h>

class CQKProject;
class CQKTreeExplorer;
class CQKListExplorer;
class CQKQrxSystem;
class CQKLayer;
class CQKPage;

// The script window: the kernel's own modeless window, in which a user types script lines
// and runs them. Enter runs the line under the caret, or every line the selection touches;
// what the lines print, errors included, is written below them in the window. The window
// is a resizable popup owned by the main window; closing it only hides it, so its text
// stays for the next time.
class QK_API CQKScriptWindow {
public:
    CQKScriptWindow() = default;
    ~CQKScriptWindow();
    CQKScriptWindow(const CQKScriptWindow&) = delete;
    CQKScriptWindow& operator=(const CQKScriptWindow&) = delete;

    // The main window owns the script window from now on.
    void OnMainFrameOpen(HWND frame);
    // The main window is closing: the script window goes first.
    void OnMainFrameClose(HWND frame);
    // While all windows close the window may not be made.
    void DisableCreation();
    void EnableCreation();
    bool IsCreationEnabled() const { return m_creationEnabled; }

    // Shows the window (making it on first use) or hides it; false when it cannot be made.
    bool Show(bool show);
    bool IsShown() const;
    // Activates a shown window; false when it is not shown.
    BOOL SetActive();
    // Keys meant for the window are handled here, ahead of the main window's accelerators.
    // TRUE when the message was consumed.
    BOOL PreTranslateMessage(MSG* msg);
    HWND GetHwnd() const { return m_hwnd; }
    HWND GetEditHwnd() const { return m_edit; }
    // Runs the line under the caret, or the selected lines, and writes their output below
    // them (what Enter does).
    void RunCurrentLines();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool Create();

    HWND m_owner = nullptr;
    HWND m_hwnd = nullptr;
    HWND m_edit = nullptr;
    WNDPROC m_editProc = nullptr;
    bool m_creationEnabled = true;
};

// The kernel's user-interface modules put windows of their own into bars of the main
// window, which the user interface's manager makes and keeps (its subclass of this, made by
// the access object's CreateUIMManager). The kernel's own answers "none" to each.
class QK_API CQKUIMManager {
public:
    virtual ~CQKUIMManager() = default;
    // The bar of module `id` titled `title` (made, floating, when it has none); null when
    // it cannot be made.
    virtual HWND GetUIMBar(const char* title, UINT id, int cx, int cy);
    // The module's window asks for a new size (with a non-zero flag `d`).
    virtual int OnSizeChange(int id, int cx, int cy, int d);
    // Shows or hides the module's bar; flag 0x10000 marks the kernel's own reasons, which
    // neither bring back a bar the user closed nor count as the user's choice.
    virtual int ShowUIMBar(int id, int show, DWORD flags);
    virtual int IsUIMBarVisible(int id);
    // Whether the user wants the bar, whether or not it is shown now.
    virtual int IsUIMBarGloballyVisible(int id);
    // The module's window inside its bar.
    virtual int InitChildUIM(int id, HWND child, DWORD flags);
};

// A module's look at a message of its bar before the bar handles it: 0 consumes the
// message (the bar answers 0), non-zero lets the bar handle it.
typedef int (*QKUIMMessageFilter)(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
// A module sets (or with null clears) the filter of its bar.
QK_API void qkUIMSetMessageFilter(HWND bar, QKUIMMessageFilter filter);
// What a module bar asks first of every message: the module's filter, 1 without one.
QK_API int qkUIMWindowProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);

class QK_API CQKAccess {
public:
    CQKAccess();
    virtual ~CQKAccess();

    // Nonzero when the kernel is ready: the host window exists and the command line is read.
    virtual int Init(HWND mainFrame, const char* commandLine);
    virtual void Uninit();
    virtual void OnAfterSplashScreen(int shown);
    // The main window's show command.
    virtual int OnAfterMainFrameCreate(HWND mainFrame, int, int hidden);
    // Nonzero while the kernel wants more idle time.
    virtual int QKOnIdle(long count);
    // The system object, script object `system`: the kernel's own here; the user
    // interface's access object makes its subclass. Null when there is no memory.
    virtual CQKQrxSystem* create_QrxSystem_object();

    // Runs script text; 0 when it ran, 1 when it failed (the message went to the output).
    virtual int execute_script(const char* text, int flags);
    // 0 vetoes the command: its kernel side is not built yet (qkfxGetUnbuiltCommandArea
    // names the area that will build it), or it does not apply to the active window.
    virtual int on_before_run_command(const char* group, int id);
    // Runs the script part of a command string "prompt\ntooltip\nscript": statements, or
    // "@Section" (in the file named by the group), "@Section,File", or "@arg,File,Section".
    // 0 when done (also when there is no script part), nonzero when it failed.
    virtual int run_resurce_string_ex(const char* group, const char* commandString, CQKLayer* layer);
    // "file,section[,arguments]"; the section's return value into `result`. 0 when done.
    virtual int run_section_script(const char* text, double* result);
    // User menu scripts are defined with the user interface; until then there is none and
    // the answer is nonzero (not done).
    virtual int run_user_menu_script(int id, CQKLayer* layer);
    virtual int ExecuteUserMenuItem(int id);

    // A page for a window of the kind `type` (QKPageType): mode 0 an empty page (source
    // ""), mode 1 read from the file `source`, mode 2 from an archive. Null when no page
    // could be made; the reason has gone to the output.
    CQKPage* CreateNewPage(DWORD type, HWND frame, const char* source, int mode);

    // ---- the user interface's side --------------------------------------------------
    // The user interface's bridge overrides these. Without it the kernel's pages have no
    // windows, and each answers "not done" (0, null) or does nothing.

    // A window for a page the kernel made itself; 0 when none came.
    virtual int OnInternalNewPage(CQKPage* page, BOOL bVisible);
    // A page object of the user interface's class for the kind (QKPageType), made with
    // the project and an empty name, which the kernel then gives; null for the kernel's
    // own class.
    virtual CQKPage* CreateNewPageObject(DWORD type);
    // The shared menu and the main drop-down menu tags of a window kind named by its
    // letter (W worksheet, G graph, M matrix, P layout, X Excel), and the tags following
    // a main menu the kernel inserted or removed.
    virtual HMENU MenuHandleFromCharForModification(char kind);
    virtual const char** MenuTagsFromCharForModification(char kind);
    virtual void OnAddRemoveMainDropDownMenu(char kind, int position, BOOL bRemove);
    virtual int ReloadCleanMenusFromResources();
    virtual void update_tools_index_from_QUSER(int tool);
    virtual void AddToMRUFileList(const char* path);
    // Tile (550), cascade (551) or arrange icons (552) of the page windows.
    virtual int OnInternalMDICommands(UINT command);
    // Around the loading of a file: kind 0 is a project.
    virtual int OnBeforeLoadFile(const char* path, int kind);
    virtual int OnAfterLoadFile(const char* path, int kind);
    virtual int OnInternalSetPathFileName(const char* path, DWORD value);
    // The main window: type 0 moves it to the rectangle, 1 maximises, 2 minimises.
    virtual void SetAppClientRect(const RECT* rect, int type);
    // The area of the page windows: 1, or 2 with a stand-in rectangle while the main
    // window is minimised; 0 without a main window.
    virtual int GetAppClientRect(RECT& rect);
    // The page's window in its parent's client coordinates; 0 when it has none.
    virtual int GetChildFrameRect(CQKPage* page, RECT& rect);
    // The word for a window kind ("Worksheet", "Graph", ...); 0 when there is none.
    virtual int GetWndString(std::string& text, int kind);
    // The icons of the window kinds and of the explorer's folders and selections, 16 (size
    // 0) or 32 (size 1) pixels; the caller owns the list. Null without a user interface.
    virtual HIMAGELIST CreateWndsImageList(DWORD size);
    // The project explorer's controls (null without the explorer).
    virtual CQKTreeExplorer* GetTreeExplorer();
    virtual CQKListExplorer* GetListExplorer();
    virtual int GetQuorixGraphOLEObjectName(std::string& name);
    virtual int AppendProject();
    // A workbook file opened in a workbook window of its own: 1 opened, 0 not (the user
    // cancelled, or the window has told why), -1 without a user interface (recorded).
    virtual int OpenWorkbookFile(const char* path);
    virtual int OnCheckForSaving(WORD flags);
    virtual int BeginClosingAll(int flags);
    virtual int EndClosingAll(int flags);
    // The Results Log: a kernel message of a kind with its two arguments, pointer-sized
    // (4099 appends the text `value` for the page `text`). 0 when there is no log, and
    // the kernel then prints to its standard output.
    virtual int OutputLog(WORD kind, LPARAM text, LPARAM value);
    // The data display bar, the 3D toolbar and the status bar of the main window.
    virtual int DataDisplayShow(BOOL show);
    virtual int DataDisplayText(const char* text);
    virtual int Show3DToolBar(int show, int delay);
    virtual int OnSetStatusBarText(const char* text, int update);
    virtual void OnSetPaneSize(int pane, int width);
    virtual void OnSetPaneSize(int pane, const std::string& text);
    virtual int OnSetStatusPaneText(int pane, const char* text);
    // A message for the user, with the buttons and icon of a message box type; the
    // answer of the box. Without a main window the text is printed as an error and the
    // answer is IDOK.
    virtual int DoMessageBox(const char* text, UINT type);
    // The file dialog of the script command GetFile: `filter` in the system's form
    // ("description\0pattern\0...\0"); `path` names the folder shown first (empty for the
    // system's choice) and receives the chosen file's full path. 0 when the user cancelled,
    // and always without a main window (the request is then recorded).
    virtual int GetFileToOpen(const std::string& filter, std::string& path);
    // The same dialog choosing several files of one folder: `paths` receives their full
    // paths. 0 when the user cancelled, and always without a main window (recorded).
    virtual int GetFilesToOpen(const std::string& filter, const std::string& folder, std::vector<std::string>& paths);
    // The system's Save As box over the main window, titled `title`, for the file types of
    // `filter`; `path` is the file proposed and receives the chosen one. 1 chosen, 0 when
    // the user cancelled, -1 without a main window to ask over (recorded).
    virtual int GetFileToSave(const std::string& filter, const std::string& title, std::string& path);
    // The page of the active window: the page manager's active page without windows.
    virtual CQKPage* GetActiveBasePage();
    virtual int IsActiveBasePage(CQKPage* page);
    // A question or a message for the user: a message box of `type` (MB_*) over the main
    // window; the button pressed (IDYES, IDNO, IDCANCEL, IDOK). The user interface's
    // bridge shows it as the program's own message boxes.
    virtual int AskUser(const char* text, UINT type);

    // ---- the main window's hooks ---------------------------------------------------------
    // Around each command of the main window: OnCommandBegin answers nonzero to let the
    // command run, and OnCommandEnd follows whether or not it ran.
    virtual int OnCommandBegin(WPARAM wParam, LPARAM lParam);
    virtual void OnCommandEnd(WPARAM wParam, LPARAM lParam);
    // The id of the command under way (the innermost when one runs another), 0 between
    // commands.
    UINT GetCurrentCommand() const { return m_commands.empty() ? 0 : m_commands.back(); }
    // User messages (WM_USER .. 0x7FFF) and timers of the main window; the result of the
    // message. WM_USER with script text in lParam runs the text, as the host window does.
    virtual LRESULT WMUserProcessing(UINT message, WPARAM wParam, LPARAM lParam);
    // The script editor windows ask to save their texts; FALSE when the user cancelled.
    virtual BOOL prompt_to_save_all_scrivex_editor_wnds();
    // The main window goes: the kernel forgets it.
    virtual void OnBeforeMainFrameClose(HWND frame);
    // The colour palette dialog (script "edit -color"); the kernel alone has none, so it
    // records the call and answers 0.
    virtual int OnColorPaletteDialog();
    // Button groups of the toolbars (the user interface's toolbar manager keeps them); the
    // kernel alone has none, so each records the call and answers 0 (not done).
    // A group made from its group file, named `group`, or by the file when `group` is
    // empty; 1 when made.
    virtual int AddUserCategory(const char* group, const char* iniFile);
    // A button added to the group `group`, made first (with `bitmap` as its pictures and
    // `count` buttons) when there is none of that name; the button runs section `section`
    // of `file` and shows `tooltip` and `status`; it goes on the toolbar `toolbar` when one
    // is named. 1 when done.
    virtual int AddUserDefinedButton(const char* group, const char* bitmap, int count, const char* toolbar,
                                     const char* file, const char* section, const char* tooltip,
                                     const char* status);

    // The manager of the module bars: the kernel's own, or the user interface's subclass.
    virtual CQKUIMManager* CreateUIMManager();
    // Made on first use through CreateUIMManager and kept until the access object goes.
    CQKUIMManager* GetUIMManager();

    CQKProject* GetPageManager();
    CQKQrxSystem* GetQrxSystem();
    CQKScriptWindow* GetScriptWindow() { return &m_scriptWindow; }

    // Project files: ".qpj". Opening replaces the project with the file's; a file that
    // cannot be read is reported and leaves the project as it was (FALSE).
    BOOL IsProjectFileName(const char* name);
    BOOL OpenProjectFile(const char* name);


    // Operations of the user interface the kernel cannot carry out without one: recorded in
    // the call log.
    void OnPrinterChanged(int);
    void CanNotUpdateRegistryMsg();
    void OnlineHelp(int id);
    void OnQrxTutorial();
    void OnSendProjectTo();
    void OnQrxWebSite(int id);

    std::string GetQuorixHelpFile();
    void SetCheckedToolNumber(int tool) { m_checkedTool = tool; }
    int GetCheckedToolNumber() const { return m_checkedTool; }
    BOOL InPlaceActive() const { return m_inPlaceActive; }
    void SetInPlaceActive(BOOL active) { m_inPlaceActive = active; }
    HWND GetMainFrame() const { return m_mainFrame; }

private:
    CQKScriptWindow m_scriptWindow;
    CQKUIMManager* m_uimManager = nullptr;
    std::vector<UINT> m_commands;
    HWND m_mainFrame = nullptr;
    int m_checkedTool = 0;
    BOOL m_inPlaceActive = FALSE;
};

// The application's access object: the one made last (the user interface's CQUAccess);
// without one the kernel uses a plain CQKAccess.
QK_API CQKAccess* qkfxGetAccess();

// Start-up, in the order the application calls them.
QK_API void qkfxSetRunningMode(int mode);
QK_API int qkfxGetRunningMode();
QK_API void qkfxReadCommandLine(const char* commandLine);
// The INI folder: `folder`, or with null the one the command line named with -P (the
// program folder when it named none).
QK_API void qkfxSetGlobalINIPath(const char* folder = nullptr);
QK_API void qkfxGetGlobalINIPath(char* buffer); // MAX_PATH characters
QK_API void qkfxSetGlobalPROGPath(const char* folder);
QK_API void qkfxConfigInitDDEOleServer();
QK_API void qkfxAutoRegister();
QK_API void qkfxAutoRegisterTypeLib(const char* name);
// Opens the files named on the command line; 0 ends the start.
QK_API int qkfxExecuteCommandLine(const char* commandLine);

// The area that will build a command whose kernel side is not built yet ("graph",
// "worksheet", "fitter", ...); null for a command that runs.
QK_API const char* qkfxGetUnbuiltCommandArea(int id);
// A script file the program carries as a resource (type "SCRIVEX"): run.section finds it
// by its file name when no file of that name is on disk.
QK_API void qkfxAddScriptResource(const char* fileName, HMODULE module, int id);

// A printer as the print dialogs show it: its name, whether it prints in colour, and its
// printable width and height in inches.
struct QKPrinterInfo {
    char device[CCHDEVICENAME] = {};
    BOOL color = FALSE;
    double width = 0, height = 0;
};
// The printer of that name, or the system's default printer for null or "". FALSE when
// there is no such printer.
QK_API BOOL qkfxGetCurrentPrinterInfo(const char* device, QKPrinterInfo& info);
QK_API int qkfxIsPrinterColor(const QKPrinterInfo& info);
// Prints the text of an edit control: with bPrompt the print dialog first, else on the
// default printer; `title` names the job; tabs stand every tabSize characters; `margin`
// in hundredths of an inch on every side; long lines wrap. The pages printed, 0 when the
// user cancelled or nothing could be printed (`flags` is reserved: 0).
QK_API int qkuPrintFromEditHwnd(HWND edit, int bPrompt, const char* title, int tabSize, int flags, int margin);
// Text as it prints: a line at each LF (CRs dropped), tabs expanded to blanks at every tabSize
// (8 when 0), lines longer than `columns` characters wrapped.
QK_API std::vector<std::string> qkuWrapTextLines(const std::string& text, int tabSize, int columns);

// Run time.
QK_API int qkfxDllMessageFilter(int code, MSG* msg);
QK_API int qkfxProcessDllIdle(int code, long count);
QK_API void qkfxOpenScreen(BOOL show);
QK_API int qkfxAppendFile(const char* name, int flag);
QK_API BOOL qkfxIsExcelFileName(const char* name);
QK_API BOOL qkfxIsSaveTlbConfInRegistry();
QK_API BOOL qkfxIsIniPathEQProgPath();
// The template file extension of a window kind (".qtw", ".qtp", ".qtm"; 10 is the graph
// template the shell registers); false for kinds without templates.
QK_API BOOL qkfxGetQrxTemplateFileExtension(int kind, std::string& extension);
QK_API void qkfxRegisterOtherExtensions();
QK_API std::string qkfxGetExePath();
QK_API std::string qkfxGetINIFileFullPathName();
// Numbered quick variables (the view sets 200 .. 204 before some commands) and named ones.
QK_API void qkfxSetQuickVariable(int number, double value);
QK_API double qkfxGetQuickVariable(int number);
QK_API void qkfxSetVariableValue(const char* name, double value);

// The bits of an enhanced metafile as a Windows metafile in `mapMode` (MM_ANISOTROPIC for
// a metafile picture) against the reference DC (the screen's when null); null on failure.
// The enhanced metafile stays the caller's.
QK_API HMETAFILE qkuConvertEMFtoWMFEx(HENHMETAFILE emf, HDC reference, int mapMode);
// Whether a copied page offers its enhanced metafile besides the metafile picture.
QK_API BOOL qkfxIsPutEMFOnClipboard();
// A system value: the script variable of that name, 0 when it has none.
QK_API double qkfxGetSysValue(const char* name);

QK_API BOOL qkuFileExists(const char* path);
QK_API BOOL qkuDeleteFile(const char* path);
// The program's executable, as a full path; FALSE when it cannot be had.
QK_API BOOL qkuGetExeFile(std::string& path, int flags);
// The part of a command line that hands a started program the INI folder: ` -P "folder"`
// when the INI folder is not the program folder, else empty (FALSE).
QK_API BOOL qkuGetINIPathForCommandline(std::string& part, int flags);
// Registry helpers of the shell registration. `root` is a predefined key.
QK_API BOOL qkuDeleteRegKey(HKEY root, const char* subKey); // with all its subkeys
// Deletes each subkey of subKey whose string value valueName equals value; FALSE when
// none was deleted.
QK_API BOOL qkuDeleteRegKeyByStringValue(HKEY root, const char* subKey, const char* valueName, const char* value);
QK_API BOOL qkuAppendRegistryKeyStringValue(HKEY root, const char* subKey, const char* valueName,
                                            const char* text);
// The extension's default value becomes typeId; typeId's DefaultIcon the program with the
// icon index.
QK_API BOOL qkuRegisterExtension(const char* extension, const char* typeId, int iconIndex);
// The system's folder picker; FALSE when the user cancelled. `folder` is the folder shown
// first and receives the one chosen.
QK_API BOOL qkuBrowseForFolder(HWND owner, const char* title, std::string& folder);
// Menus: the (sub)menu holding the command id, searched depth first, and the id's position
// in it; null and -1 when it is not there.
QK_API HMENU qkuGetSubmenuWithThisItem(HMENU menu, UINT id);
QK_API int qkuGetMenuItemPosition(HMENU menu, UINT id);
// The reminder boxes the user switched off come back; recorded in the call log until the
// user interface keeps them.
QK_API void qkuTurnOnReminderMsgBoxes(int flags);

// A customer's modification library; none is installed in this build.
class QK_API CQKCustomModification {
public:
    BOOL IsCustomDLLValid() const { return FALSE; }
    void OpenScreen(BOOL show);
};
