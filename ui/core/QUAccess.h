// The bridge object: the one object through which the kernel calls the user interface.
//
// The kernel holds only a CQKAccess pointer and never names a user-interface class, so
// every window, menu or page object it needs from this side is reached through the
// virtual operations overridden here. The same object runs menu commands whose script
// is kept in their string resources.
#pragma once

#include <afxwin.h>

#include "QKAccess.h"
#include "QUExport.h"

class CQKPage;

// The module bars of the kernel, made and kept by the main frame's toolbar manager; each
// operation answers 0 (null) without a main frame.
class QU_API CQUUIMManager : public CQKUIMManager {
public:
    HWND GetUIMBar(const char* title, UINT id, int cx, int cy) override;
    int OnSizeChange(int id, int cx, int cy, int d) override;
    int ShowUIMBar(int id, int show, DWORD flags) override;
    int IsUIMBarVisible(int id) override;
    int IsUIMBarGloballyVisible(int id) override;
    int InitChildUIM(int id, HWND child, DWORD flags) override;
};

class QU_API CQUAccess : public CQKAccess {
public:
    CQUAccess() = default;
    ~CQUAccess() override = default;

    int OnInternalNewPage(CQKPage* page, BOOL bVisible) override;
    // Worksheet, graph, matrix and layout pages of the user interface's classes; the Excel
    // link makes its external pages itself and notes pages are the kernel's.
    CQKPage* CreateNewPageObject(DWORD type) override;
    // The user interface's system object, with the members that need the program's windows.
    CQKQrxSystem* create_QrxSystem_object() override;
    HMENU MenuHandleFromCharForModification(char kind) override;
    const char** MenuTagsFromCharForModification(char kind) override;
    void OnAddRemoveMainDropDownMenu(char kind, int position, BOOL bRemove) override;
    int ReloadCleanMenusFromResources() override;
    void update_tools_index_from_QUSER(int tool) override { SetCheckedToolNumber(tool); }
    void AddToMRUFileList(const char* path) override;
    int OnInternalMDICommands(UINT command) override;
    int OnBeforeLoadFile(const char* path, int kind) override;
    int OnAfterLoadFile(const char* path, int kind) override;
    int OnInternalSetPathFileName(const char* path, DWORD value) override;
    void SetAppClientRect(const RECT* rect, int type) override;
    int GetAppClientRect(RECT& rect) override;
    int GetChildFrameRect(CQKPage* page, RECT& rect) override;
    int GetWndString(std::string& text, int kind) override;
    HIMAGELIST CreateWndsImageList(DWORD size) override;
    CQKTreeExplorer* GetTreeExplorer() override;
    CQKListExplorer* GetListExplorer() override;
    int GetQuorixGraphOLEObjectName(std::string& name) override;
    int AppendProject() override;
    int OpenWorkbookFile(const char* path) override;
    int OnCheckForSaving(WORD flags) override;
    int BeginClosingAll(int flags) override;
    int EndClosingAll(int flags) override;
    // The main frame's Results Log, data display, 3D toolbar (59409) and status bar.
    int OutputLog(WORD kind, LPARAM text, LPARAM value) override;
    int DataDisplayShow(BOOL show) override;
    int DataDisplayText(const char* text) override;
    int Show3DToolBar(int show, int delay) override;
    int OnSetStatusBarText(const char* text, int update) override;
    void OnSetPaneSize(int pane, int width) override;
    void OnSetPaneSize(int pane, const std::string& text) override;
    int OnSetStatusPaneText(int pane, const char* text) override;
    CQKPage* GetActiveBasePage() override;
    // The system's message box over the program's windows.
    int DoMessageBox(const char* text, UINT type) override;
    int OnColorPaletteDialog() override;
    int IsActiveBasePage(CQKPage* page) override;
    // The program's message box (its caption, its owner, modeless windows disabled).
    int AskUser(const char* text, UINT type) override;
    // Button groups through the main frame's toolbar manager; 0 without one. A name that
    // is already taken is asked again in the "Button Group Name" dialog (Cancel gives 0).
    int AddUserCategory(const char* group, const char* iniFile) override;
    CQKUIMManager* CreateUIMManager() override;
    int AddUserDefinedButton(const char* group, const char* bitmap, int count, const char* toolbar, const char* file,
                             const char* section, const char* tooltip, const char* status) override;

    // The page of the active window, else the page manager's active page.
    CQKPage* GetActivePage();
    // The program folder from the kernel's path settings; MAX_PATH characters.
    void GetKernelPath(char* buffer);
    // The command's string resource "prompt\ntooltip\nscript" goes to the kernel, which
    // runs its script part. 1 when the command ran or the kernel vetoed it, 0 when there
    // is no such string or the script failed.
    int run_command_from_resource_as_script(const char* group, UINT id, CQKLayer* layer);

    void SetEmbeddingOpened(BOOL flag) { m_bEmbeddingOpened = flag ? 1 : 0; }
    int IsEmbeddingOpened() const { return m_bEmbeddingOpened; }
    int IsLoadingProject() const { return m_bLoadingProject; }
    void SetOpenedExternalAsQuorix(BOOL flag) { m_bOpenedExternalAsQuorix = flag ? 1 : 0; }
    int GetOpenedExternalAsQuorix() const { return m_bOpenedExternalAsQuorix; }

private:
    int m_bEmbeddingOpened = 0;
    int m_bOpenedExternalAsQuorix = 0;
    int m_bLoadingProject = 0;
};
