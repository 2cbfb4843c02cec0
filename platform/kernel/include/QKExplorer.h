// The project's folders and the project explorer's two controls: the folder tree and the
// list of the current folder's windows and subfolders.
//
// Every page lies in one folder; new pages go into the current folder. The root folder
// is the project itself, named after the project file. The user interface owns the
// windows (a tree view and a report list view in its explorer bar) and hands them to
// these classes, which fill them from the project, answer their notifications (forwarded
// by the bar) and run the explorer's commands; the deletion questions, the properties
// and the find dialog are the user interface's, through the virtual operations.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "QKDefs.h"

class CQKPage;
class CQKProject;
class CQKListExplorer;

class QK_API CQKFolder {
public:
    CQKFolder(CQKFolder* parent, const std::string& name);
    const std::string& GetName() const { return m_name; }
    CQKFolder* GetParent() const { return m_parent; }
    int GetNumFolders() const { return (int)m_folders.size(); }
    CQKFolder* GetFolder(int i) const { return m_folders[i].get(); }
    // A subfolder by name, regardless of case; null when there is none.
    CQKFolder* FindFolder(const std::string& name) const;
    // "/" for the root, "/A/B/" for B in A: the form the Results Log's headers use.
    std::string GetPath() const;
    // Whether `folder` is this folder or lies below it.
    bool Contains(const CQKFolder* folder) const;
    double GetTimeCreated() const { return m_created; }

private:
    friend class CQKProject;
    friend struct QKFileAccess;
    CQKFolder* m_parent;
    std::string m_name;
    std::vector<std::unique_ptr<CQKFolder>> m_folders;
    double m_created = 0; // seconds since 1970
};

// Explorer view modes: which windows the workspace shows as the current folder changes.
enum {
    QK_PEVIEW_NONE = 0,          // the explorer shows and hides nothing
    QK_PEVIEW_FOLDER = 1,        // the current folder's windows
    QK_PEVIEW_SUBFOLDERS = 2,    // the current folder's and its subfolders' windows
};

// Commands of the explorer's menus (the main frame hands 40992-41039 to the tree and
// 41040-41088 to the list); the new-window commands go to the main window.
enum {
    QK_PE_TREE_NEW_FOLDER = 40992,
    QK_PE_TREE_RENAME = 40993,
    QK_PE_TREE_DELETE = 40994,
    QK_PE_TREE_PROPERTIES = 40995,
    QK_PE_TREE_OPEN_WINDOWS = 40996, // shows every window of the folder
    QK_PE_TREE_HIDE_WINDOWS = 40997, // hides them
    QK_PE_TREE_NEW_WKS = 41015,      // .. 41021: new windows of the seven kinds
    QK_PE_TREE_FIND = 41032,
    QK_PE_VIEW_NONE = 41033,
    QK_PE_VIEW_FOLDER = 41034,
    QK_PE_VIEW_SUBFOLDERS = 41035,
    QK_PE_LIST_SHOW = 41040,
    QK_PE_LIST_HIDE = 41041,
    QK_PE_LIST_RENAME = 41042,
    QK_PE_LIST_DELETE = 41043,
    QK_PE_LIST_PROPERTIES = 41044,
    QK_PE_LIST_NEW_FOLDER = 41045,
    QK_PE_LIST_NEW_WKS = 41059, // .. 41065
    QK_PE_LIST_SAVE_AS = 41080,
};

// Selection kinds the properties dialog is made for.
enum {
    QK_PESEL_PROJECT = 0,
    QK_PESEL_FOLDER = 1,
    QK_PESEL_WINDOWS = 2,   // several windows
    QK_PESEL_WINDOW = 3,
    QK_PESEL_FOLDERS = 4,   // several folders
    QK_PESEL_MIXED = 5,     // windows and folders
};

// The find dialog's flags.
enum {
    QK_PEFIND_SUBFOLDERS = 0x01,
    QK_PEFIND_PARTIAL = 0x02,
    QK_PEFIND_CASE = 0x04,
    QK_PEFIND_FOLDER_NAMES = 0x10,
    QK_PEFIND_LABELS = 0x20,
    QK_PEFIND_NAMES = 0x40,
};

class QK_API CQKTreeExplorer {
public:
    CQKTreeExplorer();
    virtual ~CQKTreeExplorer();
    CQKTreeExplorer(const CQKTreeExplorer&) = delete;
    CQKTreeExplorer& operator=(const CQKTreeExplorer&) = delete;

    // Takes the tree view and the list beside it, and fills the tree from the project.
    BOOL Init(HWND tree, CQKListExplorer* list);
    HWND GetHwnd() const { return m_tree; }
    CQKListExplorer* GetList() const { return m_list; }
    // The tree made again from the project's folders (a project read, a new project).
    void Rebuild();
    // The icons, asked of the user interface until it gives them (it may not be ready
    // when the tree is made).
    void EnsureImageList();
    // A notification of the tree (forwarded by its parent); TRUE when handled.
    BOOL OnNotify(NMHDR* header, LRESULT* result);
    // The tree's selection became the current folder.
    void OnSelchanged();
    // The current folder's path ("/" the root).
    std::string GetCurrentPath() const;
    HTREEITEM GetItem(const class CQKFolder* folder) const;
    class CQKFolder* GetFolder(HTREEITEM item) const;
    // "/A/B/" of the item's folder; with `withRoot` the root's name leads ("Project1/A/B/").
    std::string CreatePathString(HTREEITEM item, int withRoot) const;
    // The folder of the current folder becomes `folder` (the tree selects it).
    void SelectFolder(class CQKFolder* folder);

    int GetPEViewMode() const { return m_viewMode; }
    // Sets the view mode; with `apply` the windows are shown and hidden for it now.
    void SetPEViewMode(int mode, BOOL apply);
    static int ConvertIdToViewMode(UINT id);
    // Shows the windows the view mode asks for and hides the others.
    void ApplyViewMode();
    // The page goes last among the windows of its folder (the order the list shows).
    void MovePageToLast(CQKPage* page);

    // The commands of the tree's menu; the item they act on is the one the menu was opened
    // on (the current folder when none). FALSE for an id the tree does not know.
    BOOL OnCommandTreeExplorer(UINT id);
    // The item the last context menu was opened on (null: the current folder).
    HTREEITEM GetCommandItem() const { return m_commandItem; }
    void SetCommandItem(HTREEITEM item) { m_commandItem = item; }
    // A new subfolder ("Folder1", "Folder2", ...) of the item's folder, its label edited;
    // null when none could be made.
    HTREEITEM NewFolder(HTREEITEM parent, BOOL editLabel);
    BOOL RenameFolder(HTREEITEM item, const std::string& name, std::string* error);

    // The windows and subfolders a folder holds, directly.
    void GetContainedCount(HTREEITEM item, int* windows, int* folders) const;
    // The bytes a folder's windows would take in a project file, as text ("12 KB").
    std::string GetFolderByteSize(HTREEITEM item) const;
    std::string GetFolderLabel(HTREEITEM item) const;

    // Deletion: the windows directly in the folder, each through the list's DeleteWindow
    // (which asks when *askWindows). Bit 1 of the result: cancelled; bit 4: a window was
    // kept.
    int DeleteAllWindowsInFolder(int* askWindows, HTREEITEM folder, int reserved);
    // The folder (empty by now) leaves the project; its item stays until DeleteTreeItem.
    void CleanupFolderData(HTREEITEM item, int reserved);
    void DeleteTreeItem(HTREEITEM item);

    // Searching: from the search item, the next window or folder whose name or label
    // matches (the QK_PEFIND_* flags), in tree order; the window is activated or the
    // folder selected. FALSE when nothing more matches.
    BOOL Find(const std::string& text, int flags);
    HTREEITEM GetSearchItem() const { return m_searchItem; }
    void SetSearchItem(HTREEITEM item) { m_searchItem = item; }
    void ResetPrevSearchItem() { m_prevSearchPage = nullptr; m_prevSearchFolder = nullptr; }
    void ResetPrevPage() { m_prevSearchPage = nullptr; }
    // Whether a label is being edited (accelerators then stay off).
    BOOL IsEditingLabel() const { return m_editingLabel; }
    HWND GetEditControl() const;
    BOOL IsDragging() const { return m_dragging; }
    void DraggingCleanup();
    void KillTheTimer() {}

    // ---- the user interface's part -------------------------------------------------
    // Deletes a folder with its subfolders and windows, asking when the flags say so.
    // Bit 1: cancelled; bit 2: delete the folder; bit 4: the folder was kept.
    virtual int DeleteFolder(int* askFolders, int* askWindows, HTREEITEM folder, BOOL last);
    // What DeleteFolder does once it may: each subfolder through DeleteFolder (deleted
    // when it answers bit 2), then the windows; 1 cancelled, 2 the folder may go, 4 kept.
    int DeleteFolderContents(int* askFolders, int* askWindows, HTREEITEM folder);
    virtual void OnItemRemoved(HTREEITEM item);
    virtual void FindFrom(HTREEITEM item);
    virtual void ShowProperties(int type);
    virtual BOOL GetContainedText(HTREEITEM item, std::string& text);

    // Called by the list while it drags windows: the folder under a screen point, with the
    // tree's drop highlight on it (null: none).
    HTREEITEM DragOver(POINT screen);

private:
    friend class CQKListExplorer;
    void AddItems(HTREEITEM parentItem, class CQKFolder* folder);
    void ShowContextMenu(HTREEITEM item, POINT screen);
    HTREEITEM m_commandItem = nullptr;
    HTREEITEM m_searchItem = nullptr;
    CQKPage* m_prevSearchPage = nullptr;
    class CQKFolder* m_prevSearchFolder = nullptr;
    HWND m_tree = nullptr;
    CQKListExplorer* m_list = nullptr;
    HIMAGELIST m_images = nullptr;
    int m_viewMode = QK_PEVIEW_FOLDER;
    bool m_filling = false;
    BOOL m_editingLabel = FALSE;
    BOOL m_dragging = FALSE;
    HTREEITEM m_dragItem = nullptr;
};

class QK_API CQKListExplorer {
public:
    CQKListExplorer();
    virtual ~CQKListExplorer();
    CQKListExplorer(const CQKListExplorer&) = delete;
    CQKListExplorer& operator=(const CQKListExplorer&) = delete;

    BOOL Init(HWND list, CQKTreeExplorer* tree);
    HWND GetHwnd() const { return m_list; }
    CQKTreeExplorer* GetTree() const { return m_tree; }
    // Fills the list with the current folder's subfolders and windows.
    void UpdateListExplorer(int reserved);
    // While suspended, changes only mark the list for an update, made on resuming.
    void SuspendUpdateList(BOOL suspend);
    void SetUpdateNeeded(CQKPage* page);
    BOOL OnNotify(NMHDR* header, LRESULT* result);
    BOOL OnCommandListExplorer(UINT id);
    // Mouse messages of a drag, which the bar's list receives while it has the capture.
    BOOL OnDragMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL IsDragging() const { return m_dragging; }

    // The list's items: a page or a folder each.
    int GetItemCount() const;
    CQKPage* GetItemPage(int item) const;
    class CQKFolder* GetItemFolder(int item) const;
    BOOL ItemDataIsPage(int item) const { return GetItemPage(item) != nullptr; }
    int FindPageItem(const CQKPage* page) const;
    std::vector<int> GetSelectedItems() const;
    // The selection's kind (QK_PESEL_*), -1 when nothing is selected.
    int GetSelectionType() const;
    // The item the properties are shown for (the focused selected one).
    int GetPropIndex() const;
    void GetContainedCount(int* windows, int* folders) const;
    std::string GetMultipleSelectionByteSize() const;
    HIMAGELIST GetNormalImageList() const;
    // Enter on a selected folder opens it.
    void ActivateSelectedFolder();
    BOOL IsEditingLabel() const { return m_editingLabel; }
    HWND GetEditControl() const;

    // Saved state of the columns: widths as shares of the list's width (-1 not set) and
    // the order; StoreLEConfig reads them from the control.
    void StoreLEConfig();
    double GetLEColumnsPercentageWidth(int column) const { return m_widths[column]; }
    int GetLEColumnsOrder(int column) const { return m_order[column]; }
    void SetLEColumnsPercentageWidth(int column, double share) { m_widths[column] = share; }
    void SetLEColumnsOrder(int column, int order) { m_order[column] = order; }

    // ---- the user interface's part -------------------------------------------------
    virtual void DeleteSelected();
    // Bit 1: cancelled; bit 2: deleted; bit 4: kept.
    virtual int DeleteWindow(int* askWindows, CQKPage* page, BOOL last);
    virtual void ShowProperties();
    virtual BOOL GetContainedText(std::string& text);

    // Page window operations the list's commands use.
    static void ShowPageWindow(CQKPage* page);
    static void HidePageWindow(CQKPage* page);

    enum { NUM_COLUMNS = 8 };

private:
    friend class CQKTreeExplorer;
    void ApplyColumns();
    void ShowContextMenu(int item, POINT screen);
    void EndDrag(POINT screen, bool drop);
    HWND m_list = nullptr;
    CQKTreeExplorer* m_tree = nullptr;
    BOOL m_suspended = FALSE;
    BOOL m_updateNeeded = FALSE;
    BOOL m_editingLabel = FALSE;
    BOOL m_dragging = FALSE;
    std::vector<CQKPage*> m_dragPages;
    double m_widths[NUM_COLUMNS];
    int m_order[NUM_COLUMNS];
};

// The bytes a page takes in a project file, as a number.
QK_API size_t qkfxGetPageByteSize(CQKPage* page);
// "1,234 KB"-style text of a byte count.
QK_API std::string qkfxByteSizeText(size_t bytes);
