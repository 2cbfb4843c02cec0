#include "QUAccess.h"

#include <new>

#include "ButtonDialogs.h"
#include "ColorPaletteDialog.h"
#include "CustomToolBar.h"
#include "FramesResource.h"
#include "ModuleBar.h"
#include "ToolBarManagerEx.h"
#include "UserDefButtons.h"
#include "QUNotes.h"

#include "MainFrame.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKSysMethod.h"
#include "QUDDMenuTagMap.h"
#include "QUPages.h"
#include "QUQrxSystem.h"
#include "QrxMultiDocTemplate.h"
#include "QuorixApp.h"
#include "QuorixDoc.h"

namespace {

CMDIFrameWnd* MainFrame()
{
    return DYNAMIC_DOWNCAST(CMDIFrameWnd, AfxGetMainWnd());
}

CQrxMultiDocTemplate* TemplateOfLetter(char kind)
{
    CQuorixApp* app = GetQuorixApp();
    return app ? app->menu_modifications_character_to_template(kind) : nullptr;
}

} // namespace

int CQUAccess::OnInternalNewPage(CQKPage* page, BOOL bVisible)
{
    CQuorixApp* app = GetQuorixApp();
    // Notes pages have windows of their own kind, made by the notes manager.
    if (auto* notes = dynamic_cast<CQUNotesPage*>(page))
        return notes->GetDoc() != nullptr || CQUNotes::CreateNotesWindow(notes, bVisible) != nullptr ? 1 : 0;
    if (app == nullptr || page == nullptr || page->GetType() > QK_PAGE_LAYOUT)
        return 0;
    CQrxMultiDocTemplate* t = app->get_one_page_template(page->GetType());
    return t ? t->OnInternalNewPage(page, bVisible) : 0;
}

CQKPage* CQUAccess::CreateNewPageObject(DWORD type)
{
    switch (type) {
    case QK_PAGE_WKS: return new (std::nothrow) CQUWksPage;
    case QK_PAGE_GRAPH: return new (std::nothrow) CQUGraphPage;
    case QK_PAGE_MATRIX: return new (std::nothrow) CQUMatrixPage;
    case QK_PAGE_LAYOUT: return new (std::nothrow) CQULayoutPage;
    case QK_PAGE_NOTES: return new (std::nothrow) CQUNotesPage;
    }
    return nullptr;
}

HMENU CQUAccess::MenuHandleFromCharForModification(char kind)
{
    CQrxMultiDocTemplate* t = TemplateOfLetter(kind);
    return t ? t->m_hMenuShared : nullptr;
}

const char** CQUAccess::MenuTagsFromCharForModification(char kind)
{
    CQrxMultiDocTemplate* t = TemplateOfLetter(kind);
    return t && t->GetMenuTagMap() ? t->GetMenuTagMap()->GetTable() : nullptr;
}

void CQUAccess::OnAddRemoveMainDropDownMenu(char kind, int position, BOOL bRemove)
{
    CQrxMultiDocTemplate* t = TemplateOfLetter(kind);
    if (t && t->GetMenuTagMap())
        t->GetMenuTagMap()->OnAddRemoveMainDropDownMenu(position, bRemove);
}

int CQUAccess::ReloadCleanMenusFromResources()
{
    CQuorixApp* app = GetQuorixApp();
    return app ? app->ReloadCleanMenusFromResources() : 0;
}

void CQUAccess::AddToMRUFileList(const char* path)
{
    if (CWinApp* app = AfxGetApp())
        app->AddToRecentFileList(path);
}

int CQUAccess::OnInternalMDICommands(UINT command)
{
    CMDIFrameWnd* frame = MainFrame();
    if (frame != nullptr && (command == WM_MDITILE || command == WM_MDICASCADE || command == WM_MDIICONARRANGE))
        ::SendMessageA(frame->m_hWndMDIClient, command, 0, 0);
    return 1;
}

int CQUAccess::OnBeforeLoadFile(const char* path, int kind)
{
    m_bLoadingProject = kind == 0 ? 1 : 0;
    return CQKAccess::OnBeforeLoadFile(path, kind);
}

int CQUAccess::OnAfterLoadFile(const char* path, int kind)
{
    m_bLoadingProject = 0;
    return CQKAccess::OnAfterLoadFile(path, kind);
}

int CQUAccess::OnInternalSetPathFileName(const char* path, DWORD value)
{
    CQuorixApp* app = GetQuorixApp();
    CQrxMultiDocTemplate* graph = app ? app->get_template(QU_TEMPLATE_GRAPH) : nullptr;
    return graph ? graph->OnInternalSetPathFileName(path, value) : 0;
}

void CQUAccess::SetAppClientRect(const RECT* rect, int type)
{
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr)
        return;
    switch (type) {
    case 0:
        if (rect != nullptr)
            main->MoveWindow(rect, TRUE);
        break;
    case 1:
        if (main->IsWindowVisible())
            main->ShowWindow(SW_SHOWMAXIMIZED);
        break;
    case 2:
        if (main->IsWindowVisible())
            main->ShowWindow(SW_SHOWMINIMIZED);
        break;
    }
}

int CQUAccess::GetAppClientRect(RECT& rect)
{
    CMDIFrameWnd* frame = MainFrame();
    if (frame == nullptr) {
        ::SetRectEmpty(&rect);
        return 0;
    }
    // A minimised program has no useful area; the kernel lays windows out in this one.
    if (frame->IsIconic()) {
        ::SetRect(&rect, 0, 0, 100, 200);
        return 2;
    }
    ::GetClientRect(frame->m_hWndMDIClient, &rect);
    return 1;
}

int CQUAccess::GetChildFrameRect(CQKPage* page, RECT& rect)
{
    HWND frame = page ? page->GetFrameWnd() : nullptr;
    if (frame == nullptr || !::IsWindow(frame)) {
        ::SetRectEmpty(&rect);
        return 0;
    }
    ::GetWindowRect(frame, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(frame), (POINT*)&rect, 2);
    return 1;
}

int CQUAccess::GetWndString(std::string& text, int kind)
{
    static const UINT ids[] = {10241, 10242, 10244, 10246, 10243, 10247};
    text.clear();
    if (kind < 0 || kind >= (int)(sizeof(ids) / sizeof(ids[0])))
        return 0;
    CString s;
    if (!s.LoadString(ids[kind]))
        return 0;
    text = (LPCTSTR)s;
    return 1;
}

HIMAGELIST CQUAccess::CreateWndsImageList(DWORD size)
{
    if (size > 1)
        return nullptr;
    int cx = size == 0 ? 16 : 32;
    HIMAGELIST list = ImageList_Create(cx, cx, ILC_COLOR24 | ILC_MASK, 6, 4);
    if (list == nullptr)
        return nullptr;
    // The window kinds, then the explorer's folders and selections, each from whichever
    // module of the resource chain holds it.
    static const UINT kIcons[] = {501, 502, 504, 505, 503, 506, 884, 883, 885, 886, 887, 888};
    for (UINT id : kIcons) {
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(id), RT_GROUP_ICON);
        HICON icon = module ? (HICON)::LoadImageA(module, MAKEINTRESOURCE(id), IMAGE_ICON, cx, cx, 0) : nullptr;
        if (icon == nullptr) {
            // A missing icon keeps the indexes of the others: a blank one stands in.
            HBITMAP blank = ::CreateBitmap(cx, cx, 1, 32, nullptr);
            ImageList_Add(list, blank, nullptr);
            ::DeleteObject(blank);
            continue;
        }
        ImageList_AddIcon(list, icon);
        ::DestroyIcon(icon);
    }
    return list;
}

CQKTreeExplorer* CQUAccess::GetTreeExplorer()
{
    CMainFrame* frame = get_main_frame();
    return frame ? frame->GetTreeExplorer() : nullptr;
}

CQKListExplorer* CQUAccess::GetListExplorer()
{
    CMainFrame* frame = get_main_frame();
    return frame ? frame->GetListExplorer() : nullptr;
}

int CQUAccess::GetQuorixGraphOLEObjectName(std::string& name)
{
    CQuorixApp* app = GetQuorixApp();
    CString s;
    int result = app ? app->GetQuorixGraphOLEObjectName(s) : 0;
    name = (LPCTSTR)s;
    return result;
}

int CQUAccess::AppendProject()
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(WM_COMMAND, 33997, 0);
    return 1;
}

int CQUAccess::OpenWorkbookFile(const char* path)
{
    CQuorixApp* app = GetQuorixApp();
    if (!app || !AfxGetMainWnd())
        return CQKAccess::OpenWorkbookFile(path);
    CDocument* doc = app->OpenDocumentFile(path);
    if (CQuorixDoc* qdoc = DYNAMIC_DOWNCAST(CQuorixDoc, doc))
        qdoc->UpdateTitleFromPage();
    return doc ? 1 : 0;
}

int CQUAccess::AskUser(const char* text, UINT type)
{
    return AfxMessageBox(text ? text : "", type);
}

namespace {

SECToolBarManagerEx* MainToolBarManager()
{
    return get_main_frame() ? QUGetToolBarManager() : nullptr;
}

// A group file named without an extension is an INI file.
CString GroupFileName(const char* name)
{
    CString file(name ? name : "");
    int slash = file.ReverseFind('\\');
    if (file.Find('.', slash + 1) < 0)
        file += ".ini";
    return file;
}

} // namespace

HWND CQUUIMManager::GetUIMBar(const char* title, UINT id, int cx, int cy)
{
    SECToolBarManagerEx* manager = MainToolBarManager();
    SIZE size = {cx, cy};
    CWnd* bar = manager ? manager->GetUIMBar((int)id, title, &size, TRUE) : nullptr;
    return bar ? bar->GetSafeHwnd() : nullptr;
}

int CQUUIMManager::OnSizeChange(int id, int cx, int cy, int d)
{
    SECToolBarManagerEx* manager = MainToolBarManager();
    return manager ? manager->OnSizeChange(id, cx, cy, d) : 0;
}

int CQUUIMManager::ShowUIMBar(int id, int show, DWORD flags)
{
    SECToolBarManagerEx* manager = MainToolBarManager();
    return manager ? manager->ShowUIMBar(id, show, flags) : 0;
}

int CQUUIMManager::IsUIMBarVisible(int id)
{
    SECToolBarManagerEx* manager = MainToolBarManager();
    return manager ? manager->IsUIMBarVisible(id) : 0;
}

int CQUUIMManager::IsUIMBarGloballyVisible(int id)
{
    SECToolBarManagerEx* manager = MainToolBarManager();
    return manager ? manager->IsUIMBarGloballyVisible(id) : 0;
}

int CQUUIMManager::InitChildUIM(int id, HWND child, DWORD flags)
{
    SECToolBarManagerEx* manager = MainToolBarManager();
    return manager ? manager->InitChildUIM(id, child, flags) : 0;
}

CQKUIMManager* CQUAccess::CreateUIMManager()
{
    return new (std::nothrow) CQUUIMManager;
}

int CQUAccess::AddUserCategory(const char* group, const char* iniFile)
{
    SECToolBarManagerEx* manager = MainToolBarManager();
    if (!manager)
        return 0;
    CString name(group ? group : "");
    if (!name.IsEmpty() && manager->GetGroupWithName(name) != -1) {
        CQUNewCategoryName dlg;
        dlg.m_strName = name;
        if (dlg.DoModal() == IDCANCEL)
            return 0;
        name = dlg.m_strName;
    }
    return manager->AddUserDefButtons(GroupFileName(iniFile), name, FALSE, "", 0, CQUUserDefButtons::LoadAddExisting)
               ? 1
               : 0;
}

int CQUAccess::AddUserDefinedButton(const char* group, const char* bitmap, int count, const char* toolbar,
                                    const char* file, const char* section, const char* tooltip, const char* status)
{
    SECToolBarManagerEx* manager = MainToolBarManager();
    if (!manager || !group || !*group)
        return 0;
    bool existed = manager->GetGroupWithName(group) != -1;
    if (!existed) {
        if (!bitmap || !*bitmap)
            return 0;
        CString iniFile = GroupFileName(group);
        CString path = QUFolderOfKind(2) + iniFile;
        if (qkuFileExists(path)) {
            CString caption, text, warning;
            caption.LoadString(IDS_BG_CAPTION);
            text.LoadString(IDS_BG_DEFAULT_INI_NAME);
            warning.LoadString(IDS_BG_INI_WILL_BE_OVERWRITTEN);
            CWnd* owner = AfxGetMainWnd();
            if (::MessageBoxA(owner ? owner->GetSafeHwnd() : nullptr, text + iniFile + ". " + warning, caption,
                              MB_OKCANCEL) == IDCANCEL)
                return 0;
            ::DeleteFileA(path);
        }
        if (!manager->AddUserDefButtons(iniFile, group, FALSE, bitmap, count > 0 ? count : 1,
                                        CQUUserDefButtons::LoadCreateNew))
            return 0;
    }
    int index = manager->GetGroupWithName(group);
    if (index < 0)
        return 0;
    CQUUserDefButtons* pGroup = manager->GetUserDefBtnsGroupsArray()[index];
    if (existed) {
        UINT id = manager->GetNextAvailableId();
        if (id == 0 || pGroup->AddButton(manager, id, count) == 0)
            return 0;
        manager->AddToUsedIds(id);
    }
    int last = pGroup->GetButtonCount() - 1;
    pGroup->SetButtonTexts(last, file, section, tooltip, status);
    if (toolbar && *toolbar) {
        if (CQUCustomToolBar* bar = manager->FindTbarByName(toolbar)) {
            if (SECStdBtn* button = bar->CreateButton(pGroup->GetButton(last)->Id, bar)) {
                bar->AddButton(bar->GetBtnCount(), button, FALSE);
                if (CFrameWnd* frame = bar->GetParentFrame())
                    frame->RecalcLayout();
            }
        } else if (!manager->MakeUserDefTbar(group, toolbar, -1, 0)) {
            return 0;
        }
    }
    return 1;
}

int CQUAccess::OnCheckForSaving(WORD)
{
    if (CQuorixApp* app = GetQuorixApp())
        app->CheckExcelUpdateQuorixDirty();
    return 1;
}

int CQUAccess::BeginClosingAll(int flags)
{
    // The bars that follow the windows' contents go back to their empty state.
    if (CMainFrame* frame = get_main_frame()) {
        frame->GetSpacer()->SetBaseSize(0);
        frame->DataDisplayText(nullptr);
    }
    if (CQuorixApp* app = GetQuorixApp())
        app->BeginClosingAll(flags);
    return 1;
}

int CQUAccess::EndClosingAll(int flags)
{
    if (CQuorixApp* app = GetQuorixApp())
        app->EndClosingAll(flags);
    return 1;
}

int CQUAccess::OutputLog(WORD kind, LPARAM text, LPARAM value)
{
    CMainFrame* frame = get_main_frame();
    if (frame == nullptr || frame->GetOutputLog()->GetSafeHwnd() == nullptr)
        return 0;
    return frame->GetOutputLog()->KernelMessage(kind, text, value);
}

int CQUAccess::DataDisplayShow(BOOL show)
{
    CMainFrame* frame = get_main_frame();
    return frame ? frame->DataDisplayShow(show) : 0;
}

int CQUAccess::DataDisplayText(const char* text)
{
    CMainFrame* frame = get_main_frame();
    return frame ? frame->DataDisplayText(text) : 0;
}

int CQUAccess::Show3DToolBar(int show, int delay)
{
    CMainFrame* frame = get_main_frame();
    return frame ? frame->ShowToolBar(59409, show, delay) : 0;
}

int CQUAccess::OnSetStatusBarText(const char* text, int update)
{
    CMainFrame* frame = get_main_frame();
    return frame ? frame->SetStatusbarText(text, update) : 0;
}

void CQUAccess::OnSetPaneSize(int pane, int width)
{
    if (CMainFrame* frame = get_main_frame())
        frame->SetPaneSize(pane, width);
}

void CQUAccess::OnSetPaneSize(int pane, const std::string& text)
{
    if (CMainFrame* frame = get_main_frame()) {
        CString s = text.c_str();
        frame->SetPaneSize(pane, s);
    }
}

int CQUAccess::OnSetStatusPaneText(int pane, const char* text)
{
    CMainFrame* frame = get_main_frame();
    return frame ? frame->SetStatusPaneText(pane, text) : 0;
}

CQKPage* CQUAccess::GetActiveBasePage()
{
    CMDIFrameWnd* frame = MainFrame();
    CMDIChildWnd* child = frame ? frame->MDIGetActive() : nullptr;
    // Every page window's frame knows its page: notes and workbook windows as well.
    if (CChildFrame* pageFrame = DYNAMIC_DOWNCAST(CChildFrame, child))
        return pageFrame->GetBasePage();
    CQuorixDoc* doc = child ? DYNAMIC_DOWNCAST(CQuorixDoc, child->GetActiveDocument()) : nullptr;
    return doc ? doc->GetPage() : nullptr;
}

int CQUAccess::DoMessageBox(const char* text, UINT type)
{
    qkfxGetCallLog().Add("CQKAccess::DoMessageBox", text ? text : "");
    return AfxMessageBox(text ? text : "", type);
}

int CQUAccess::OnColorPaletteDialog()
{
    CQUColorPaletteDialog dlg(AfxGetMainWnd());
    return (int)dlg.DoModal();
}

int CQUAccess::IsActiveBasePage(CQKPage* page)
{
    return page != nullptr && page == GetActiveBasePage();
}

CQKPage* CQUAccess::GetActivePage()
{
    CQKPage* page = GetActiveBasePage();
    return page ? page : GetPageManager()->GetActivePage();
}

void CQUAccess::GetKernelPath(char* buffer)
{
    if (buffer)
        lstrcpynA(buffer, GetQrxSystem()->GetRefPath().GetProgram().c_str(), MAX_PATH);
}

int CQUAccess::run_command_from_resource_as_script(const char* group, UINT id, CQKLayer* layer)
{
    if (!on_before_run_command(group, (int)id))
        return 1;
    CString command;
    if (!command.LoadString(id))
        return 0;
    return run_resurce_string_ex(group, command, layer) != 0 ? 0 : 1;
}

CQKQrxSystem* CQUAccess::create_QrxSystem_object()
{
    return ::create_QrxSystem_object();
}
