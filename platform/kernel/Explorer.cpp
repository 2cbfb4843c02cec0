// The project's folders, and the project explorer's folder tree and window list.
#include "QKExplorer.h"

#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKFile.h"
#include "QKUtil.h"
#include "KernelInternal.h"

#include <windowsx.h>

#include <stdio.h>
#include <string.h>
#include <time.h>

#include <algorithm>

namespace {

bool SameText(const std::string& a, const std::string& b)
{
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

std::string TimeText(double seconds)
{
    if (seconds <= 0)
        return std::string();
    time_t t = (time_t)seconds;
    struct tm* local = localtime(&t);
    if (local == nullptr)
        return std::string();
    char text[64];
    strftime(text, sizeof text, "%m/%d/%Y %H:%M:%S", local);
    return text;
}

// The image list's order: the six window kinds, then the folders and the selections.
enum { IMG_FOLDER = 6, IMG_FOLDER_OPEN = 7, IMG_PROJECT = 11 };

CQKProject& Project()
{
    return qkfxGetProject();
}

// Tells the Results Log that windows or folders moved or were renamed, so its headers
// follow them.
void LogMessage(WORD kind, LPARAM a, LPARAM b)
{
    qkfxGetAccess()->OutputLog(kind, a, b);
}

const char* const kColumnTitles[CQKListExplorer::NUM_COLUMNS] = {"Name",     "View",    "Type",  "Size",
                                                                 "Modified", "Created", "Label", "Dependents"};
const int kColumnWidths[CQKListExplorer::NUM_COLUMNS] = {90, 60, 70, 60, 120, 120, 90, 80};

// The explorer menus' New submenu: the seven kinds of window from firstKind on, a folder.
void AppendNewMenu(HMENU menu, UINT firstKind, UINT folder)
{
    HMENU newMenu = CreatePopupMenu();
    const char* kinds[] = {"&Worksheet", "&Graph", "&Matrix", "&Excel", "&Notes", "&Layout", "&Function"};
    for (UINT i = 0; i < 7; ++i)
        AppendMenuA(newMenu, MF_STRING, firstKind + i, kinds[i]);
    AppendMenuA(newMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(newMenu, MF_STRING, folder, "&Folder");
    AppendMenuA(menu, MF_POPUP, (UINT_PTR)newMenu, "&New");
}

int ClientWidth(HWND hwnd)
{
    RECT client;
    GetClientRect(hwnd, &client);
    return client.right - client.left;
}

// The explorer's controls are subclassed so that a drag, which holds the mouse capture,
// sees the pointer's moves and the release.
const char kListProp[] = "QKExplorerList";
const char kProcProp[] = "QKExplorerProc";

LRESULT CALLBACK DragProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* list = (CQKListExplorer*)GetPropA(hwnd, kListProp);
    auto previous = (WNDPROC)GetPropA(hwnd, kProcProp);
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_KEYDOWN:
    case WM_CAPTURECHANGED:
        if (list != nullptr && list->OnDragMessage(message, wParam, lParam))
            return 0;
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)previous);
        RemovePropA(hwnd, kListProp);
        RemovePropA(hwnd, kProcProp);
        break;
    }
    return CallWindowProcA(previous, hwnd, message, wParam, lParam);
}

void Subclass(HWND hwnd, CQKListExplorer* list)
{
    if (hwnd == nullptr || GetPropA(hwnd, kProcProp) != nullptr)
        return;
    SetPropA(hwnd, kListProp, (HANDLE)list);
    SetPropA(hwnd, kProcProp, (HANDLE)GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)DragProc);
}

} // namespace

// ---- folders ------------------------------------------------------------------------

CQKFolder::CQKFolder(CQKFolder* parent, const std::string& name)
    : m_parent(parent), m_name(name), m_created((double)time(nullptr))
{
}

CQKFolder* CQKFolder::FindFolder(const std::string& name) const
{
    for (const auto& f : m_folders)
        if (SameText(f->m_name, name))
            return f.get();
    return nullptr;
}

std::string CQKFolder::GetPath() const
{
    if (m_parent == nullptr)
        return "/";
    return m_parent->GetPath() + m_name + "/";
}

bool CQKFolder::Contains(const CQKFolder* folder) const
{
    for (; folder != nullptr; folder = folder->m_parent)
        if (folder == this)
            return true;
    return false;
}

void CQKProject::ResetFolders()
{
    m_root.reset(new CQKFolder(nullptr, std::string()));
    m_currentFolder = m_root.get();
}

std::string CQKProject::GetRootName() const
{
    if (m_path.empty())
        return "UNTITLED";
    size_t slash = m_path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

void CQKProject::SetCurrentFolder(CQKFolder* folder)
{
    if (folder != nullptr && m_root->Contains(folder))
        m_currentFolder = folder;
}

bool CQKProject::IsValidFolderName(const std::string& name, std::string* error)
{
    const char* why = nullptr;
    if (name.empty())
        why = "a folder needs a name";
    else if (name.size() > 64)
        why = "a folder name has at most 64 characters";
    else
        for (unsigned char ch : name)
            if (ch < 32 || strchr("/\\\":*?<>|", ch) != nullptr)
                why = "a folder name cannot hold / \\ \" : * ? < > | or control characters";
    if (why != nullptr && error != nullptr)
        *error = why;
    return why == nullptr;
}

CQKFolder* CQKProject::CreateFolder(CQKFolder* parent, const std::string& name, std::string* error)
{
    if (parent == nullptr || !m_root->Contains(parent))
        return nullptr;
    std::string n = name;
    if (n.empty())
        for (int i = 1; n.empty() || parent->FindFolder(n) != nullptr; ++i)
            n = "Folder" + std::to_string(i);
    if (!IsValidFolderName(n, error))
        return nullptr;
    if (parent->FindFolder(n) != nullptr) {
        if (error != nullptr)
            *error = "the folder \"" + parent->GetPath() + "\" already holds a folder named \"" + n + "\"";
        return nullptr;
    }
    parent->m_folders.emplace_back(new CQKFolder(parent, n));
    m_modified = true;
    return parent->m_folders.back().get();
}

bool CQKProject::RenameFolder(CQKFolder* folder, const std::string& name, std::string* error)
{
    if (folder == nullptr || folder == m_root.get() || !IsValidFolderName(name, error))
        return false;
    CQKFolder* same = folder->m_parent->FindFolder(name);
    if (same != nullptr && same != folder) {
        if (error != nullptr)
            *error = "the folder \"" + folder->m_parent->GetPath() + "\" already holds a folder named \"" + name + "\"";
        return false;
    }
    folder->m_name = name;
    m_modified = true;
    return true;
}

bool CQKProject::DeleteFolder(CQKFolder* folder)
{
    if (folder == nullptr || folder == m_root.get() || !m_root->Contains(folder) || !folder->m_folders.empty())
        return false;
    for (const auto& page : m_pages)
        if (page->GetFolder() == folder)
            return false;
    if (folder->Contains(m_currentFolder))
        m_currentFolder = folder->m_parent;
    auto& siblings = folder->m_parent->m_folders;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == folder) {
            siblings.erase(siblings.begin() + i);
            break;
        }
    m_modified = true;
    return true;
}

bool CQKProject::MoveFolder(CQKFolder* folder, CQKFolder* parent)
{
    if (folder == nullptr || parent == nullptr || folder == m_root.get() || folder->Contains(parent) ||
        !m_root->Contains(parent) || parent->FindFolder(folder->m_name) != nullptr)
        return false;
    auto& siblings = folder->m_parent->m_folders;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == folder) {
            parent->m_folders.push_back(std::move(siblings[i]));
            siblings.erase(siblings.begin() + i);
            break;
        }
    folder->m_parent = parent;
    m_modified = true;
    return true;
}

bool CQKProject::MovePageToFolder(CQKPage* page, CQKFolder* folder)
{
    if (page == nullptr || folder == nullptr || !m_root->Contains(folder))
        return false;
    if (page->m_folder != folder) {
        page->m_folder = folder;
        m_modified = true;
    }
    return true;
}

CQKFolder* CQKProject::FindFolderByPath(const std::string& path) const
{
    if (path.empty() || path[0] != '/')
        return nullptr;
    CQKFolder* folder = m_root.get();
    size_t at = 1;
    while (at < path.size()) {
        size_t slash = path.find('/', at);
        if (slash == std::string::npos)
            slash = path.size();
        folder = folder->FindFolder(path.substr(at, slash - at));
        if (folder == nullptr)
            return nullptr;
        at = slash + 1;
    }
    return folder;
}

std::vector<CQKPage*> CQKProject::GetPagesInFolder(const CQKFolder* folder, bool below) const
{
    std::vector<CQKPage*> pages;
    for (const auto& page : m_pages)
        if (below ? folder->Contains(page->GetFolder()) : page->GetFolder() == folder)
            pages.push_back(page.get());
    return pages;
}

void CQKProject::MovePageToLast(CQKPage* page)
{
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i].get() == page) {
            std::unique_ptr<CQKPage> moved = std::move(m_pages[i]);
            m_pages.erase(m_pages.begin() + i);
            m_pages.push_back(std::move(moved));
            return;
        }
}

CQKFolder* CQKPage::GetFolder() const
{
    return m_folder != nullptr ? m_folder : m_project->GetRootFolder();
}

void CQKPage::SetLabel(const std::string& label)
{
    if (label == m_label)
        return;
    m_label = label;
    m_modifiedTime = (double)time(nullptr);
    m_project->SetProjectModified(true);
}

size_t qkfxGetPageByteSize(CQKPage* page)
{
    std::vector<BYTE> bytes;
    return page != nullptr && qkfxSavePageToMemory(page, false, bytes, nullptr) ? bytes.size() : 0;
}

std::string qkfxByteSizeText(size_t bytes)
{
    char text[48];
    if (bytes < 1024)
        snprintf(text, sizeof text, "%u B", (unsigned)bytes);
    else
        snprintf(text, sizeof text, "%.0f KB", (double)bytes / 1024.0);
    return text;
}

// ---- showing and hiding page windows ------------------------------------------------

void CQKListExplorer::ShowPageWindow(CQKPage* page)
{
    if (page == nullptr)
        return;
    page->SetHiddenPEWnd(0);
    HWND frame = page->GetFrameWnd();
    if (frame == nullptr) {
        qkfxGetAccess()->OnInternalNewPage(page, TRUE);
        return;
    }
    if (!IsWindowVisible(frame))
        ShowWindow(frame, SW_SHOW);
    page->Activate();
}

void CQKListExplorer::HidePageWindow(CQKPage* page)
{
    if (page == nullptr)
        return;
    page->SetHiddenPEWnd(1);
    HWND frame = page->GetFrameWnd();
    if (frame == nullptr || !IsWindowVisible(frame))
        return;
    HWND client = GetParent(frame);
    bool active = client != nullptr && (HWND)SendMessage(client, WM_MDIGETACTIVE, 0, 0) == frame;
    ShowWindow(frame, SW_HIDE);
    if (active)
        SendMessage(client, WM_MDINEXT, 0, 0);
}

// ---- the folder tree ----------------------------------------------------------------

CQKTreeExplorer::CQKTreeExplorer() = default;

CQKTreeExplorer::~CQKTreeExplorer()
{
    if (m_images != nullptr)
        ImageList_Destroy(m_images);
}

BOOL CQKTreeExplorer::Init(HWND tree, CQKListExplorer* list)
{
    m_tree = tree;
    m_list = list;
    if (m_tree == nullptr)
        return FALSE;
    Rebuild();
    return TRUE;
}

void CQKTreeExplorer::AddItems(HTREEITEM parentItem, CQKFolder* folder)
{
    bool root = folder->GetParent() == nullptr;
    std::string name = root ? Project().GetRootName() : folder->GetName();
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parentItem;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = (char*)name.c_str();
    insert.item.lParam = (LPARAM)folder;
    insert.item.iImage = root ? IMG_PROJECT : IMG_FOLDER;
    insert.item.iSelectedImage = root ? IMG_PROJECT : IMG_FOLDER_OPEN;
    HTREEITEM item = (HTREEITEM)SendMessageA(m_tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
    for (int i = 0; i < folder->GetNumFolders(); ++i)
        AddItems(item, folder->GetFolder(i));
    TreeView_Expand(m_tree, item, TVE_EXPAND);
}

void CQKTreeExplorer::Rebuild()
{
    if (m_tree == nullptr)
        return;
    EnsureImageList();
    m_filling = true;
    TreeView_DeleteAllItems(m_tree);
    m_commandItem = m_searchItem = nullptr;
    ResetPrevSearchItem();
    AddItems(TVI_ROOT, Project().GetRootFolder());
    HTREEITEM current = GetItem(Project().GetCurrentFolder());
    TreeView_SelectItem(m_tree, current);
    m_searchItem = current;
    m_filling = false;
    if (m_list != nullptr)
        m_list->UpdateListExplorer(1);
}

void CQKTreeExplorer::EnsureImageList()
{
    if (m_tree != nullptr && m_images == nullptr && (m_images = qkfxGetAccess()->CreateWndsImageList(0)) != nullptr)
        TreeView_SetImageList(m_tree, m_images, TVSIL_NORMAL);
}

HTREEITEM CQKTreeExplorer::GetItem(const CQKFolder* folder) const
{
    if (m_tree == nullptr || folder == nullptr)
        return nullptr;
    // Depth first over the items; projects hold few folders.
    std::vector<HTREEITEM> pending{TreeView_GetRoot(m_tree)};
    while (!pending.empty()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        for (; item != nullptr; item = TreeView_GetNextSibling(m_tree, item)) {
            if (GetFolder(item) == folder)
                return item;
            if (HTREEITEM child = TreeView_GetChild(m_tree, item))
                pending.push_back(child);
        }
    }
    return nullptr;
}

CQKFolder* CQKTreeExplorer::GetFolder(HTREEITEM item) const
{
    if (m_tree == nullptr || item == nullptr)
        return nullptr;
    TVITEMA tv = {};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!SendMessageA(m_tree, TVM_GETITEMA, 0, (LPARAM)&tv))
        return nullptr;
    CQKFolder* folder = (CQKFolder*)tv.lParam;
    return Project().GetRootFolder()->Contains(folder) ? folder : nullptr;
}

std::string CQKTreeExplorer::CreatePathString(HTREEITEM item, int withRoot) const
{
    CQKFolder* folder = GetFolder(item);
    if (folder == nullptr)
        return std::string();
    return withRoot ? Project().GetRootName() + folder->GetPath() : folder->GetPath();
}

std::string CQKTreeExplorer::GetCurrentPath() const
{
    return Project().GetCurrentFolder()->GetPath();
}

void CQKTreeExplorer::SelectFolder(CQKFolder* folder)
{
    HTREEITEM item = GetItem(folder);
    if (item == nullptr)
        return;
    TreeView_SelectItem(m_tree, item);
    // The notification goes to the tree's parent, which may not hand it back at once.
    OnSelchanged();
}

void CQKTreeExplorer::OnSelchanged()
{
    if (m_filling)
        return;
    CQKFolder* folder = GetFolder(TreeView_GetSelection(m_tree));
    if (folder == nullptr || folder == Project().GetCurrentFolder())
        return;
    Project().SetCurrentFolder(folder);
    qkfxGetCallLog().Add("CQKTreeExplorer::OnSelchanged", folder->GetPath());
    ApplyViewMode();
    if (m_list != nullptr)
        m_list->UpdateListExplorer(1);
}

int CQKTreeExplorer::ConvertIdToViewMode(UINT id)
{
    switch (id) {
    case QK_PE_VIEW_NONE: return QK_PEVIEW_NONE;
    case QK_PE_VIEW_FOLDER: return QK_PEVIEW_FOLDER;
    case QK_PE_VIEW_SUBFOLDERS: return QK_PEVIEW_SUBFOLDERS;
    default: return -1;
    }
}

void CQKTreeExplorer::SetPEViewMode(int mode, BOOL apply)
{
    if (mode < QK_PEVIEW_NONE || mode > QK_PEVIEW_SUBFOLDERS)
        return;
    m_viewMode = mode;
    if (apply)
        ApplyViewMode();
}

void CQKTreeExplorer::ApplyViewMode()
{
    if (m_viewMode == QK_PEVIEW_NONE)
        return;
    CQKFolder* current = Project().GetCurrentFolder();
    std::vector<CQKPage*> shown;
    for (int i = 0; i < Project().GetNumPages(); ++i) {
        CQKPage* page = Project().GetPage(i);
        bool inScope = m_viewMode == QK_PEVIEW_SUBFOLDERS ? current->Contains(page->GetFolder())
                                                          : page->GetFolder() == current;
        HWND frame = page->GetFrameWnd();
        if (inScope && !page->IsHiddenPEWnd()) {
            if (frame == nullptr)
                qkfxGetAccess()->OnInternalNewPage(page, TRUE);
            else if (!IsWindowVisible(frame))
                ShowWindow(frame, SW_SHOWNA);
            shown.push_back(page);
        } else if (!inScope && frame != nullptr && IsWindowVisible(frame)) {
            // Hidden for the folder, not by the user: the page keeps its window state.
            ShowWindow(frame, SW_HIDE);
        }
    }
    // The active window may have gone: the last shown one of the folder takes its place.
    HWND client = nullptr;
    for (CQKPage* page : shown)
        if (page->GetFrameWnd() != nullptr)
            client = GetParent(page->GetFrameWnd());
    for (int i = 0; client == nullptr && i < Project().GetNumPages(); ++i)
        if (HWND frame = Project().GetPage(i)->GetFrameWnd())
            client = GetParent(frame);
    if (client == nullptr)
        return;
    HWND active = (HWND)SendMessage(client, WM_MDIGETACTIVE, 0, 0);
    if (active != nullptr && IsWindowVisible(active))
        return;
    if (!shown.empty() && shown.back()->GetFrameWnd() != nullptr)
        SendMessage(client, WM_MDIACTIVATE, (WPARAM)shown.back()->GetFrameWnd(), 0);
}

void CQKTreeExplorer::MovePageToLast(CQKPage* page)
{
    Project().MovePageToLast(page);
    if (m_list != nullptr)
        m_list->SetUpdateNeeded(page);
}

HTREEITEM CQKTreeExplorer::NewFolder(HTREEITEM parent, BOOL editLabel)
{
    CQKFolder* folder = GetFolder(parent);
    if (folder == nullptr)
        folder = Project().GetCurrentFolder();
    CQKFolder* made = Project().CreateFolder(folder, std::string());
    if (made == nullptr)
        return nullptr;
    HTREEITEM parentItem = GetItem(folder);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parentItem;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = (char*)made->GetName().c_str();
    insert.item.lParam = (LPARAM)made;
    insert.item.iImage = IMG_FOLDER;
    insert.item.iSelectedImage = IMG_FOLDER_OPEN;
    HTREEITEM item = (HTREEITEM)SendMessageA(m_tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
    TreeView_Expand(m_tree, parentItem, TVE_EXPAND);
    if (m_list != nullptr)
        m_list->UpdateListExplorer(1);
    if (editLabel && item != nullptr) {
        SetFocus(m_tree);
        TreeView_EditLabel(m_tree, item);
    }
    return item;
}

BOOL CQKTreeExplorer::RenameFolder(HTREEITEM item, const std::string& name, std::string* error)
{
    CQKFolder* folder = GetFolder(item);
    if (folder == nullptr)
        return FALSE;
    // The Results Log rewrites its headers from the folder's path as it is before the
    // rename: it hears of it once the rename is sure to succeed, then the rename is made.
    std::string old = folder->GetName();
    if (!Project().RenameFolder(folder, name, error))
        return FALSE;
    Project().RenameFolder(folder, old);
    LogMessage(2, (LPARAM)item, (LPARAM)name.c_str());
    Project().RenameFolder(folder, name);
    TVITEMA tv = {};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = (char*)name.c_str();
    SendMessageA(m_tree, TVM_SETITEMA, 0, (LPARAM)&tv);
    if (m_list != nullptr)
        m_list->UpdateListExplorer(1);
    return TRUE;
}

void CQKTreeExplorer::GetContainedCount(HTREEITEM item, int* windows, int* folders) const
{
    CQKFolder* folder = GetFolder(item);
    *windows = folder ? (int)Project().GetPagesInFolder(folder, false).size() : 0;
    *folders = folder ? folder->GetNumFolders() : 0;
}

std::string CQKTreeExplorer::GetFolderByteSize(HTREEITEM item) const
{
    CQKFolder* folder = GetFolder(item);
    size_t bytes = 0;
    if (folder != nullptr)
        for (CQKPage* page : Project().GetPagesInFolder(folder, true))
            bytes += qkfxGetPageByteSize(page);
    return qkfxByteSizeText(bytes);
}

std::string CQKTreeExplorer::GetFolderLabel(HTREEITEM item) const
{
    CQKFolder* folder = GetFolder(item);
    if (folder == nullptr)
        return std::string();
    return folder->GetParent() == nullptr ? Project().GetRootName() : folder->GetName();
}

int CQKTreeExplorer::DeleteAllWindowsInFolder(int* askWindows, HTREEITEM item, int)
{
    CQKFolder* folder = GetFolder(item);
    if (folder == nullptr)
        return 4;
    std::vector<CQKPage*> pages = Project().GetPagesInFolder(folder, false);
    int kept = 0;
    for (size_t i = 0; i < pages.size(); ++i) {
        int result = m_list != nullptr ? m_list->DeleteWindow(askWindows, pages[i], i + 1 == pages.size()) : 4;
        if (result & 1)
            return 1;
        if (result & 4)
            kept = 4;
    }
    return kept;
}

void CQKTreeExplorer::CleanupFolderData(HTREEITEM item, int)
{
    CQKFolder* folder = GetFolder(item);
    if (folder == nullptr)
        return;
    std::string path = folder->GetPath();
    if (Project().DeleteFolder(folder)) {
        // The folder's item still holds its address: it must not be read again.
        TVITEMA tv = {};
        tv.mask = TVIF_PARAM | TVIF_HANDLE;
        tv.hItem = item;
        tv.lParam = 0;
        SendMessageA(m_tree, TVM_SETITEMA, 0, (LPARAM)&tv);
        qkfxGetCallLog().Add("CQKTreeExplorer::CleanupFolderData", path);
    }
}

void CQKTreeExplorer::DeleteTreeItem(HTREEITEM item)
{
    OnItemRemoved(item);
    if (m_searchItem == item)
        m_searchItem = nullptr;
    if (m_commandItem == item)
        m_commandItem = nullptr;
    m_filling = true;
    TreeView_DeleteItem(m_tree, item);
    m_filling = false;
    SelectFolder(Project().GetCurrentFolder());
    if (m_list != nullptr)
        m_list->UpdateListExplorer(1);
}

int CQKTreeExplorer::DeleteFolder(int* askFolders, int* askWindows, HTREEITEM item, BOOL)
{
    // Without questions.
    CQKFolder* folder = GetFolder(item);
    if (folder == nullptr || folder->GetParent() == nullptr)
        return 4;
    return DeleteFolderContents(askFolders, askWindows, item);
}

int CQKTreeExplorer::DeleteFolderContents(int* askFolders, int* askWindows, HTREEITEM item)
{
    bool kept = false;
    for (HTREEITEM child = TreeView_GetChild(m_tree, item); child != nullptr;) {
        HTREEITEM next = TreeView_GetNextSibling(m_tree, child);
        int result = DeleteFolder(askFolders, askWindows, child, FALSE);
        if (result & 1)
            return 1;
        if (result & 2) {
            CleanupFolderData(child, 0);
            DeleteTreeItem(child);
        }
        if (result & 4)
            kept = true;
        child = next;
    }
    int result = DeleteAllWindowsInFolder(askWindows, item, 0);
    if (result & 1)
        return 1;
    return kept || (result & 4) ? 4 : 2;
}

void CQKTreeExplorer::OnItemRemoved(HTREEITEM) {}

void CQKTreeExplorer::FindFrom(HTREEITEM item)
{
    m_searchItem = item;
}

void CQKTreeExplorer::ShowProperties(int) {}

BOOL CQKTreeExplorer::GetContainedText(HTREEITEM item, std::string& text)
{
    int windows = 0, folders = 0;
    GetContainedCount(item, &windows, &folders);
    if (windows == 0 && folders == 0)
        return FALSE;
    text = qkFormatText("%d Windows, %d Folders", windows, folders);
    return TRUE;
}

BOOL CQKTreeExplorer::Find(const std::string& text, int flags)
{
    if (text.empty())
        return FALSE;
    CQKFolder* start = GetFolder(m_searchItem);
    if (start == nullptr)
        start = Project().GetRootFolder();
    auto matches = [&](const std::string& what) {
        std::string a = what, b = text;
        if (!(flags & QK_PEFIND_CASE)) {
            std::transform(a.begin(), a.end(), a.begin(), ::toupper);
            std::transform(b.begin(), b.end(), b.begin(), ::toupper);
        }
        return (flags & QK_PEFIND_PARTIAL) ? a.find(b) != std::string::npos : a == b;
    };
    // Candidates in tree order: the folder's windows, then each subfolder (itself, then
    // what it holds) when subfolders are searched.
    struct Hit {
        CQKPage* page;
        CQKFolder* folder;
    };
    std::vector<Hit> hits;
    std::vector<CQKFolder*> order{start};
    for (size_t i = 0; i < order.size(); ++i) {
        CQKFolder* f = order[i];
        if (f != start && (flags & QK_PEFIND_FOLDER_NAMES) && matches(f->GetName()))
            hits.push_back({nullptr, f});
        for (CQKPage* page : Project().GetPagesInFolder(f, false))
            if (((flags & QK_PEFIND_NAMES) && matches(page->GetName())) ||
                ((flags & QK_PEFIND_LABELS) && !page->GetLabel().empty() && matches(page->GetLabel())))
                hits.push_back({page, nullptr});
        if (flags & QK_PEFIND_SUBFOLDERS)
            for (int k = 0; k < f->GetNumFolders(); ++k)
                order.push_back(f->GetFolder(k));
    }
    size_t next = 0;
    if (m_prevSearchPage != nullptr || m_prevSearchFolder != nullptr)
        for (size_t i = 0; i < hits.size(); ++i)
            if (hits[i].page == m_prevSearchPage && hits[i].folder == m_prevSearchFolder) {
                next = i + 1;
                break;
            }
    if (next >= hits.size())
        return FALSE;
    const Hit& hit = hits[next];
    m_prevSearchPage = hit.page;
    m_prevSearchFolder = hit.folder;
    if (hit.folder != nullptr) {
        SelectFolder(hit.folder);
    } else {
        SelectFolder(hit.page->GetFolder());
        CQKListExplorer::ShowPageWindow(hit.page);
        if (m_list != nullptr) {
            int index = m_list->FindPageItem(hit.page);
            if (index >= 0) {
                ListView_SetItemState(m_list->GetHwnd(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
                ListView_SetItemState(m_list->GetHwnd(), index, LVIS_SELECTED | LVIS_FOCUSED,
                                      LVIS_SELECTED | LVIS_FOCUSED);
                ListView_EnsureVisible(m_list->GetHwnd(), index, FALSE);
            }
        }
    }
    return TRUE;
}

HWND CQKTreeExplorer::GetEditControl() const
{
    return m_tree != nullptr ? TreeView_GetEditControl(m_tree) : nullptr;
}

void CQKTreeExplorer::DraggingCleanup()
{
    if (m_tree != nullptr)
        TreeView_SelectDropTarget(m_tree, nullptr);
    if (m_dragging && GetCapture() == m_tree)
        ReleaseCapture();
    m_dragging = FALSE;
    m_dragItem = nullptr;
}

HTREEITEM CQKTreeExplorer::DragOver(POINT screen)
{
    if (m_tree == nullptr)
        return nullptr;
    HTREEITEM item = nullptr;
    if (WindowFromPoint(screen) == m_tree) {
        TVHITTESTINFO hit = {};
        hit.pt = screen;
        ScreenToClient(m_tree, &hit.pt);
        item = TreeView_HitTest(m_tree, &hit);
        if (!(hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT)))
            item = nullptr;
    }
    TreeView_SelectDropTarget(m_tree, item);
    return item;
}

void CQKTreeExplorer::ShowContextMenu(HTREEITEM item, POINT screen)
{
    m_commandItem = item;
    CQKFolder* folder = GetFolder(item);
    HMENU menu = CreatePopupMenu();
    AppendNewMenu(menu, QK_PE_TREE_NEW_WKS, QK_PE_TREE_NEW_FOLDER);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    UINT notRoot = folder != nullptr && folder->GetParent() != nullptr ? MF_ENABLED : MF_GRAYED;
    AppendMenuA(menu, MF_STRING | notRoot, QK_PE_TREE_RENAME, "&Rename");
    AppendMenuA(menu, MF_STRING | notRoot, QK_PE_TREE_DELETE, "&Delete Folder");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, QK_PE_TREE_OPEN_WINDOWS, "&Show Windows");
    AppendMenuA(menu, MF_STRING, QK_PE_TREE_HIDE_WINDOWS, "&Hide Windows");
    AppendMenuA(menu, MF_STRING, QK_PE_TREE_FIND, "F&ind...");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    HMENU viewMenu = CreatePopupMenu();
    AppendMenuA(viewMenu, MF_STRING, QK_PE_VIEW_NONE, "&None");
    AppendMenuA(viewMenu, MF_STRING, QK_PE_VIEW_FOLDER, "Windows in Active &Folder");
    AppendMenuA(viewMenu, MF_STRING, QK_PE_VIEW_SUBFOLDERS, "Windows in Active Folder && &Subfolders");
    CheckMenuRadioItem(viewMenu, QK_PE_VIEW_NONE, QK_PE_VIEW_SUBFOLDERS, QK_PE_VIEW_NONE + m_viewMode, MF_BYCOMMAND);
    AppendMenuA(menu, MF_POPUP, (UINT_PTR)viewMenu, "&View Windows");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, QK_PE_TREE_PROPERTIES, "P&roperties...");
    // The menu's commands go to the tree's owner, which hands them back (OnCommandTreeExplorer).
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, GetParent(m_tree), nullptr);
    DestroyMenu(menu);
}

BOOL CQKTreeExplorer::OnCommandTreeExplorer(UINT id)
{
    HTREEITEM item = m_commandItem != nullptr ? m_commandItem : GetItem(Project().GetCurrentFolder());
    CQKFolder* folder = GetFolder(item);
    qkfxGetCallLog().Add("CQKTreeExplorer::OnCommandTreeExplorer", std::to_string(id));
    BOOL handled = TRUE;
    switch (id) {
    case QK_PE_TREE_NEW_FOLDER: NewFolder(item, TRUE); break;
    case QK_PE_TREE_RENAME:
        if (folder != nullptr && folder->GetParent() != nullptr) {
            SetFocus(m_tree);
            TreeView_EditLabel(m_tree, item);
        }
        break;
    case QK_PE_TREE_DELETE:
        if (folder != nullptr && folder->GetParent() != nullptr) {
            int askFolders = 1, askWindows = 1;
            if (DeleteFolder(&askFolders, &askWindows, item, TRUE) & 2) {
                CleanupFolderData(item, 0);
                DeleteTreeItem(item);
            }
        }
        break;
    case QK_PE_TREE_OPEN_WINDOWS:
    case QK_PE_TREE_HIDE_WINDOWS:
        if (folder != nullptr)
            for (CQKPage* page : Project().GetPagesInFolder(folder, false))
                id == QK_PE_TREE_OPEN_WINDOWS ? CQKListExplorer::ShowPageWindow(page)
                                              : CQKListExplorer::HidePageWindow(page);
        if (m_list != nullptr)
            m_list->UpdateListExplorer(1);
        break;
    case QK_PE_TREE_PROPERTIES:
        ShowProperties(folder != nullptr && folder->GetParent() == nullptr ? QK_PESEL_PROJECT : QK_PESEL_FOLDER);
        break;
    case QK_PE_VIEW_NONE:
    case QK_PE_VIEW_FOLDER:
    case QK_PE_VIEW_SUBFOLDERS: SetPEViewMode(ConvertIdToViewMode(id), TRUE); break;
    default: handled = FALSE;
    }
    m_commandItem = nullptr;
    return handled;
}

BOOL CQKTreeExplorer::OnNotify(NMHDR* header, LRESULT* result)
{
    if (header == nullptr || header->hwndFrom != m_tree)
        return FALSE;
    *result = 0;
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: OnSelchanged(); return TRUE;
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW: {
        auto* info = (NMTVDISPINFOA*)header;
        CQKFolder* folder = GetFolder(info->item.hItem);
        // The root is the project: it is named by its file.
        *result = folder == nullptr || folder->GetParent() == nullptr;
        m_editingLabel = *result == 0;
        return TRUE;
    }
    case TVN_ENDLABELEDITA: {
        auto* info = (NMTVDISPINFOA*)header;
        m_editingLabel = FALSE;
        if (info->item.pszText == nullptr)
            return TRUE;
        std::string error;
        if (!RenameFolder(info->item.hItem, info->item.pszText, &error) && !error.empty())
            qkfxGetAccess()->DoMessageBox(("The folder keeps its name: " + error + ".").c_str(),
                                          MB_OK | MB_ICONEXCLAMATION);
        return TRUE;
    }
    case NM_RCLICK: {
        POINT screen;
        GetCursorPos(&screen);
        TVHITTESTINFO hit = {};
        hit.pt = screen;
        ScreenToClient(m_tree, &hit.pt);
        HTREEITEM item = TreeView_HitTest(m_tree, &hit);
        if (item == nullptr)
            item = GetItem(Project().GetCurrentFolder());
        ShowContextMenu(item, screen);
        *result = 1;
        return TRUE;
    }
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW: {
        auto* info = (NMTREEVIEWA*)header;
        CQKFolder* folder = GetFolder(info->itemNew.hItem);
        if (folder == nullptr || folder->GetParent() == nullptr)
            return TRUE;
        m_dragItem = info->itemNew.hItem;
        m_dragging = TRUE;
        SetCapture(m_tree);
        return TRUE;
    }
    }
    return FALSE;
}

// ---- the window list ----------------------------------------------------------------

CQKListExplorer::CQKListExplorer()
{
    for (int i = 0; i < NUM_COLUMNS; ++i) {
        m_widths[i] = -1.0;
        m_order[i] = i;
    }
}

CQKListExplorer::~CQKListExplorer() = default;

BOOL CQKListExplorer::Init(HWND list, CQKTreeExplorer* tree)
{
    m_list = list;
    m_tree = tree;
    if (m_list == nullptr)
        return FALSE;
    for (int i = 0; i < NUM_COLUMNS; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = (char*)kColumnTitles[i];
        column.cx = kColumnWidths[i];
        column.iSubItem = i;
        SendMessageA(m_list, LVM_INSERTCOLUMNA, i, (LPARAM)&column);
    }
    ListView_SetExtendedListViewStyleEx(m_list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    Subclass(m_list, this);
    if (m_tree != nullptr)
        Subclass(m_tree->GetHwnd(), this);
    ApplyColumns();
    UpdateListExplorer(1);
    return TRUE;
}

void CQKListExplorer::ApplyColumns()
{
    if (m_list == nullptr)
        return;
    int width = ClientWidth(m_list);
    for (int i = 0; i < NUM_COLUMNS; ++i)
        if (m_widths[i] >= 0 && width > 0)
            ListView_SetColumnWidth(m_list, i, (int)(m_widths[i] * width + 0.5));
    std::vector<int> order(m_order, m_order + NUM_COLUMNS);
    std::vector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    bool permutation = true;
    for (int i = 0; i < NUM_COLUMNS; ++i)
        permutation &= sorted[i] == i;
    if (permutation)
        ListView_SetColumnOrderArray(m_list, NUM_COLUMNS, order.data());
}

void CQKListExplorer::StoreLEConfig()
{
    if (m_list == nullptr)
        return;
    int width = ClientWidth(m_list);
    for (int i = 0; i < NUM_COLUMNS; ++i)
        m_widths[i] = width > 0 ? (double)ListView_GetColumnWidth(m_list, i) / width : -1.0;
    ListView_GetColumnOrderArray(m_list, NUM_COLUMNS, m_order);
}

void CQKListExplorer::SuspendUpdateList(BOOL suspend)
{
    m_suspended = suspend;
    if (!suspend && m_updateNeeded)
        UpdateListExplorer(1);
}

void CQKListExplorer::SetUpdateNeeded(CQKPage*)
{
    if (m_suspended)
        m_updateNeeded = TRUE;
    else
        UpdateListExplorer(1);
}

void CQKListExplorer::UpdateListExplorer(int)
{
    if (m_list == nullptr)
        return;
    if (m_suspended) {
        m_updateNeeded = TRUE;
        return;
    }
    m_updateNeeded = FALSE;
    if (m_tree != nullptr)
        m_tree->EnsureImageList();
    if (ListView_GetImageList(m_list, LVSIL_SMALL) == nullptr)
        if (HIMAGELIST images = qkfxGetAccess()->CreateWndsImageList(0))
            ListView_SetImageList(m_list, images, LVSIL_SMALL);
    // The selection survives the refill where its items do.
    std::vector<LPARAM> selected;
    for (int item : GetSelectedItems()) {
        LVITEMA lv = {};
        lv.mask = LVIF_PARAM;
        lv.iItem = item;
        SendMessageA(m_list, LVM_GETITEMA, 0, (LPARAM)&lv);
        selected.push_back(lv.lParam);
    }
    SendMessage(m_list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(m_list);
    CQKFolder* current = Project().GetCurrentFolder();
    int row = 0;
    auto add = [&](LPARAM data, const std::string& name, int image, const std::string* cells) {
        LVITEMA lv = {};
        lv.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        lv.iItem = row;
        lv.pszText = (char*)name.c_str();
        lv.lParam = data;
        lv.iImage = image;
        int at = (int)SendMessageA(m_list, LVM_INSERTITEMA, 0, (LPARAM)&lv);
        for (int c = 1; c < NUM_COLUMNS; ++c) {
            LVITEMA sub = {};
            sub.iSubItem = c;
            sub.pszText = (char*)cells[c].c_str();
            SendMessageA(m_list, LVM_SETITEMTEXTA, at, (LPARAM)&sub);
        }
        if (std::find(selected.begin(), selected.end(), data) != selected.end())
            ListView_SetItemState(m_list, at, LVIS_SELECTED, LVIS_SELECTED);
        ++row;
    };
    for (int i = 0; i < current->GetNumFolders(); ++i) {
        CQKFolder* folder = current->GetFolder(i);
        std::string cells[NUM_COLUMNS] = {folder->GetName(), "", "Folder", "", "", TimeText(folder->GetTimeCreated()),
                                          "", ""};
        // Folders carry their address with the low bit set, so they never pass for a page.
        add((LPARAM)folder | 1, folder->GetName(), IMG_FOLDER, cells);
    }
    for (CQKPage* page : Project().GetPagesInFolder(current, false)) {
        std::string kind, state;
        qkfxGetAccess()->GetWndString(kind, page->GetImageListIndex());
        page->GetWindowState(state);
        HWND frame = page->GetFrameWnd();
        if (page->IsHiddenPEWnd() || (frame != nullptr && !IsWindowVisible(frame) && !IsIconic(frame)))
            state = page->IsHiddenPEWnd() ? "Hidden" : state;
        std::string cells[NUM_COLUMNS] = {page->GetName(),
                                          state,
                                          kind,
                                          qkfxByteSizeText(qkfxGetPageByteSize(page)),
                                          TimeText(page->GetTimeModified()),
                                          TimeText(page->GetTimeCreated()),
                                          page->GetLabel(),
                                          ""};
        add((LPARAM)page, page->GetName(), page->GetImageListIndex(), cells);
    }
    SendMessage(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
}

int CQKListExplorer::GetItemCount() const
{
    return m_list != nullptr ? ListView_GetItemCount(m_list) : 0;
}

CQKPage* CQKListExplorer::GetItemPage(int item) const
{
    if (m_list == nullptr)
        return nullptr;
    LVITEMA lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    if (!SendMessageA(m_list, LVM_GETITEMA, 0, (LPARAM)&lv) || (lv.lParam & 1))
        return nullptr;
    // The page may have gone since the list was filled.
    for (int i = 0; i < Project().GetNumPages(); ++i)
        if ((LPARAM)Project().GetPage(i) == lv.lParam)
            return Project().GetPage(i);
    return nullptr;
}

CQKFolder* CQKListExplorer::GetItemFolder(int item) const
{
    if (m_list == nullptr)
        return nullptr;
    LVITEMA lv = {};
    lv.mask = LVIF_PARAM;
    lv.iItem = item;
    if (!SendMessageA(m_list, LVM_GETITEMA, 0, (LPARAM)&lv) || !(lv.lParam & 1))
        return nullptr;
    CQKFolder* folder = (CQKFolder*)(lv.lParam & ~(LPARAM)1);
    return Project().GetRootFolder()->Contains(folder) ? folder : nullptr;
}

int CQKListExplorer::FindPageItem(const CQKPage* page) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetItemPage(i) == page)
            return i;
    return -1;
}

std::vector<int> CQKListExplorer::GetSelectedItems() const
{
    std::vector<int> items;
    if (m_list == nullptr)
        return items;
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(m_list, i, LVNI_SELECTED))
        items.push_back(i);
    return items;
}

int CQKListExplorer::GetSelectionType() const
{
    int windows = 0, folders = 0;
    for (int item : GetSelectedItems())
        (GetItemFolder(item) != nullptr ? folders : windows)++;
    if (windows + folders == 0)
        return -1;
    if (windows + folders == 1)
        return folders ? QK_PESEL_FOLDER : QK_PESEL_WINDOW;
    if (folders == 0)
        return QK_PESEL_WINDOWS;
    return windows == 0 ? QK_PESEL_FOLDERS : QK_PESEL_MIXED;
}

int CQKListExplorer::GetPropIndex() const
{
    if (m_list == nullptr)
        return -1;
    int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED | LVNI_SELECTED);
    if (focused >= 0)
        return focused;
    return ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
}

void CQKListExplorer::GetContainedCount(int* windows, int* folders) const
{
    *windows = *folders = 0;
    for (int item : GetSelectedItems())
        (GetItemFolder(item) != nullptr ? *folders : *windows)++;
}

std::string CQKListExplorer::GetMultipleSelectionByteSize() const
{
    size_t bytes = 0;
    for (int item : GetSelectedItems()) {
        if (CQKPage* page = GetItemPage(item))
            bytes += qkfxGetPageByteSize(page);
        else if (CQKFolder* folder = GetItemFolder(item))
            for (CQKPage* page : Project().GetPagesInFolder(folder, true))
                bytes += qkfxGetPageByteSize(page);
    }
    return qkfxByteSizeText(bytes);
}

HIMAGELIST CQKListExplorer::GetNormalImageList() const
{
    return m_list != nullptr ? ListView_GetImageList(m_list, LVSIL_SMALL) : nullptr;
}

void CQKListExplorer::ActivateSelectedFolder()
{
    std::vector<int> items = GetSelectedItems();
    if (items.size() == 1 && m_tree != nullptr)
        if (CQKFolder* folder = GetItemFolder(items[0]))
            m_tree->SelectFolder(folder);
}

HWND CQKListExplorer::GetEditControl() const
{
    return m_list != nullptr ? ListView_GetEditControl(m_list) : nullptr;
}

void CQKListExplorer::DeleteSelected()
{
    // Without questions: every selected window and folder.
    int askFolders = 0, askWindows = 0;
    std::vector<int> items = GetSelectedItems();
    std::vector<CQKPage*> pages;
    std::vector<CQKFolder*> folders;
    for (int item : items) {
        if (CQKPage* page = GetItemPage(item))
            pages.push_back(page);
        else if (CQKFolder* folder = GetItemFolder(item))
            folders.push_back(folder);
    }
    SuspendUpdateList(TRUE);
    for (CQKPage* page : pages)
        DeleteWindow(&askWindows, page, FALSE);
    for (CQKFolder* folder : folders)
        if (m_tree != nullptr) {
            HTREEITEM item = m_tree->GetItem(folder);
            if (m_tree->DeleteFolder(&askFolders, &askWindows, item, FALSE) & 2) {
                m_tree->CleanupFolderData(item, 0);
                m_tree->DeleteTreeItem(item);
            }
        }
    SuspendUpdateList(FALSE);
    UpdateListExplorer(1);
}

int CQKListExplorer::DeleteWindow(int*, CQKPage* page, BOOL)
{
    if (page == nullptr)
        return 4;
    page->Destroy();
    SetUpdateNeeded(nullptr);
    return 2;
}

void CQKListExplorer::ShowProperties() {}

BOOL CQKListExplorer::GetContainedText(std::string& text)
{
    int windows = 0, folders = 0;
    GetContainedCount(&windows, &folders);
    if (windows == 0 && folders == 0)
        return FALSE;
    text = qkFormatText("%d Windows, %d Folders", windows, folders);
    return TRUE;
}

void CQKListExplorer::ShowContextMenu(int item, POINT screen)
{
    HMENU menu = CreatePopupMenu();
    int type = GetSelectionType();
    bool anyPage = false;
    for (int i : GetSelectedItems())
        anyPage |= GetItemPage(i) != nullptr;
    if (item < 0 || type < 0) {
        AppendNewMenu(menu, QK_PE_LIST_NEW_WKS, QK_PE_LIST_NEW_FOLDER);
    } else {
        UINT pages = anyPage ? MF_ENABLED : MF_GRAYED;
        UINT single = GetSelectedItems().size() == 1 ? MF_ENABLED : MF_GRAYED;
        AppendMenuA(menu, MF_STRING | pages, QK_PE_LIST_SHOW, "&Show Window");
        AppendMenuA(menu, MF_STRING | pages, QK_PE_LIST_HIDE, "&Hide Window");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING | single, QK_PE_LIST_RENAME, "&Rename");
        AppendMenuA(menu, MF_STRING, QK_PE_LIST_DELETE, "&Delete");
        AppendMenuA(menu, MF_STRING | (type == QK_PESEL_WINDOW ? MF_ENABLED : MF_GRAYED), QK_PE_LIST_SAVE_AS,
                    "Save &As...");
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_STRING, QK_PE_LIST_PROPERTIES, "P&roperties...");
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, screen.x, screen.y, 0, GetParent(m_list), nullptr);
    DestroyMenu(menu);
}

BOOL CQKListExplorer::OnCommandListExplorer(UINT id)
{
    qkfxGetCallLog().Add("CQKListExplorer::OnCommandListExplorer", std::to_string(id));
    std::vector<int> items = GetSelectedItems();
    switch (id) {
    case QK_PE_LIST_SHOW:
    case QK_PE_LIST_HIDE: {
        std::vector<CQKPage*> pages;
        for (int item : items)
            if (CQKPage* page = GetItemPage(item))
                pages.push_back(page);
        for (CQKPage* page : pages)
            id == QK_PE_LIST_SHOW ? ShowPageWindow(page) : HidePageWindow(page);
        UpdateListExplorer(1);
        return TRUE;
    }
    case QK_PE_LIST_RENAME:
        if (items.size() == 1) {
            SetFocus(m_list);
            ListView_EditLabel(m_list, items[0]);
        }
        return TRUE;
    case QK_PE_LIST_DELETE: DeleteSelected(); return TRUE;
    case QK_PE_LIST_PROPERTIES: ShowProperties(); return TRUE;
    case QK_PE_LIST_NEW_FOLDER:
        if (m_tree != nullptr)
            m_tree->NewFolder(m_tree->GetItem(Project().GetCurrentFolder()), FALSE);
        return TRUE;
    }
    return FALSE;
}

BOOL CQKListExplorer::OnNotify(NMHDR* header, LRESULT* result)
{
    if (header == nullptr || header->hwndFrom != m_list)
        return FALSE;
    *result = 0;
    switch (header->code) {
    case NM_DBLCLK: {
        auto* info = (NMITEMACTIVATE*)header;
        if (info->iItem < 0)
            return TRUE;
        if (CQKFolder* folder = GetItemFolder(info->iItem)) {
            if (m_tree != nullptr)
                m_tree->SelectFolder(folder);
        } else if (CQKPage* page = GetItemPage(info->iItem)) {
            ShowPageWindow(page);
            UpdateListExplorer(1);
        }
        return TRUE;
    }
    case NM_RCLICK: {
        auto* info = (NMITEMACTIVATE*)header;
        POINT screen;
        GetCursorPos(&screen);
        ShowContextMenu(info->iItem, screen);
        *result = 1;
        return TRUE;
    }
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW: m_editingLabel = TRUE; return TRUE;
    case LVN_ENDLABELEDITA: {
        auto* info = (NMLVDISPINFOA*)header;
        m_editingLabel = FALSE;
        if (info->item.pszText == nullptr)
            return TRUE;
        std::string name = info->item.pszText;
        if (CQKPage* page = GetItemPage(info->item.iItem)) {
            std::string old = page->GetName();
            if (page->SetName(name)) {
                LogMessage(4100, (LPARAM)page, (LPARAM)name.c_str());
                *result = TRUE;
            } else {
                qkfxGetAccess()->DoMessageBox(("\"" + name + "\" cannot be the window's name: it is not a window "
                                               "name or another window has it.").c_str(),
                                              MB_OK | MB_ICONEXCLAMATION);
            }
        } else if (CQKFolder* folder = GetItemFolder(info->item.iItem)) {
            std::string error;
            if (m_tree != nullptr && m_tree->RenameFolder(m_tree->GetItem(folder), name, &error))
                *result = TRUE;
            else if (!error.empty())
                qkfxGetAccess()->DoMessageBox(("The folder keeps its name: " + error + ".").c_str(),
                                              MB_OK | MB_ICONEXCLAMATION);
        }
        UpdateListExplorer(1);
        return TRUE;
    }
    case LVN_BEGINDRAG: {
        m_dragPages.clear();
        for (int item : GetSelectedItems())
            if (CQKPage* page = GetItemPage(item))
                m_dragPages.push_back(page);
        if (m_dragPages.empty())
            return TRUE;
        m_dragging = TRUE;
        SetCapture(m_list);
        return TRUE;
    }
    case LVN_KEYDOWN: {
        auto* key = (NMLVKEYDOWN*)header;
        if (key->wVKey == VK_DELETE) {
            DeleteSelected();
        } else if (key->wVKey == VK_F2) {
            std::vector<int> items = GetSelectedItems();
            if (items.size() == 1)
                ListView_EditLabel(m_list, items[0]);
        }
        return TRUE;
    }
    }
    return FALSE;
}

void CQKListExplorer::EndDrag(POINT screen, bool drop)
{
    HTREEITEM target = m_tree != nullptr ? m_tree->DragOver(screen) : nullptr;
    m_dragging = FALSE;
    if (GetCapture() == m_list)
        ReleaseCapture();
    if (m_tree != nullptr)
        TreeView_SelectDropTarget(m_tree->GetHwnd(), nullptr);
    CQKFolder* folder = drop && m_tree != nullptr ? m_tree->GetFolder(target) : nullptr;
    if (folder != nullptr) {
        for (CQKPage* page : m_dragPages) {
            bool present = false;
            for (int i = 0; i < Project().GetNumPages(); ++i)
                present |= Project().GetPage(i) == page;
            if (!present || page->GetFolder() == folder)
                continue;
            // The log reads the window's old place from the page before it moves.
            LogMessage(1, (LPARAM)page, (LPARAM)target);
            Project().MovePageToFolder(page, folder);
            qkfxGetCallLog().Add("CQKListExplorer::MovePage", page->GetName() + " " + folder->GetPath());
        }
        if (m_tree != nullptr)
            m_tree->ApplyViewMode();
    }
    m_dragPages.clear();
    UpdateListExplorer(1);
}

BOOL CQKListExplorer::OnDragMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Dragged windows (from the list) or a dragged folder (in the tree).
    if (m_tree != nullptr && m_tree->m_dragging) {
        POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(m_tree->GetHwnd(), &screen);
        if (message == WM_MOUSEMOVE) {
            m_tree->DragOver(screen);
            return TRUE;
        }
        if (message == WM_LBUTTONUP || (message == WM_KEYDOWN && wParam == VK_ESCAPE) || message == WM_CAPTURECHANGED) {
            HTREEITEM target = message == WM_LBUTTONUP ? m_tree->DragOver(screen) : nullptr;
            HTREEITEM dragged = m_tree->m_dragItem;
            CQKFolder* folder = m_tree->GetFolder(dragged);
            CQKFolder* parent = m_tree->GetFolder(target);
            m_tree->DraggingCleanup();
            if (folder != nullptr && parent != nullptr && parent != folder->GetParent() &&
                !folder->Contains(parent) && parent->FindFolder(folder->GetName()) == nullptr) {
                LogMessage(3, (LPARAM)dragged, (LPARAM)target);
                Project().MoveFolder(folder, parent);
                m_tree->Rebuild();
            }
            return TRUE;
        }
        return FALSE;
    }
    if (!m_dragging)
        return FALSE;
    POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(m_list, &screen);
    switch (message) {
    case WM_MOUSEMOVE:
        if (m_tree != nullptr)
            m_tree->DragOver(screen);
        return TRUE;
    case WM_LBUTTONUP: EndDrag(screen, true); return TRUE;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            EndDrag(screen, false);
        return TRUE;
    case WM_CAPTURECHANGED:
        if ((HWND)lParam != m_list) {
            m_dragging = FALSE;
            m_dragPages.clear();
            if (m_tree != nullptr)
                TreeView_SelectDropTarget(m_tree->GetHwnd(), nullptr);
        }
        return TRUE;
    }
    return FALSE;
}
