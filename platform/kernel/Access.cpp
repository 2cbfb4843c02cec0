#include "QKAccess.h"

#include <ctype.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <shlobj.h>
#include <new>

#include "KernelInternal.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKFile.h"
#include "QKScript.h"
#include "QKSysMethod.h"
#include "QKUtil.h"

namespace {

int g_runningMode = 0;
std::string g_iniFolder;
std::string g_progFolder;
std::vector<std::string> g_commandLineFiles;
std::string g_commandLineIniFolder;
std::map<int, double> g_quickVariables;
CQKAccess* g_access = nullptr;


bool HasExtension(const char* name, const char* ext)
{
    return name && _stricmp(CQKPath(name).GetExtension().c_str(), ext) == 0;
}

} // namespace

std::string qkGetIniFolder()
{
    return g_iniFolder.empty() ? qkGetProgramFolder() : g_iniFolder;
}

// ---- CQKAccess -------------------------------------------------------------------------

CQKAccess::CQKAccess()
{
    // The newest access object is the application's: the user interface's bridge is made
    // after any plain one the kernel made for itself.
    g_access = this;
}

CQKAccess::~CQKAccess()
{
    delete m_uimManager;
    if (g_access == this)
        g_access = nullptr;
}

CQKUIMManager* CQKAccess::CreateUIMManager()
{
    return new (std::nothrow) CQKUIMManager;
}

CQKUIMManager* CQKAccess::GetUIMManager()
{
    if (!m_uimManager)
        m_uimManager = CreateUIMManager();
    return m_uimManager;
}

HWND CQKUIMManager::GetUIMBar(const char*, UINT, int, int)
{
    return nullptr;
}

int CQKUIMManager::OnSizeChange(int, int, int, int)
{
    return 0;
}

int CQKUIMManager::ShowUIMBar(int, int, DWORD)
{
    return 0;
}

int CQKUIMManager::IsUIMBarVisible(int)
{
    return 0;
}

int CQKUIMManager::IsUIMBarGloballyVisible(int)
{
    return 0;
}

int CQKUIMManager::InitChildUIM(int, HWND, DWORD)
{
    return 0;
}

namespace {
std::map<HWND, QKUIMMessageFilter>& UIMFilters()
{
    static std::map<HWND, QKUIMMessageFilter> filters;
    return filters;
}
} // namespace

void qkUIMSetMessageFilter(HWND bar, QKUIMMessageFilter filter)
{
    if (filter)
        UIMFilters()[bar] = filter;
    else
        UIMFilters().erase(bar);
}

int qkUIMWindowProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = UIMFilters().find(bar);
    if (it == UIMFilters().end())
        return 1;
    QKUIMMessageFilter filter = it->second;
    // A window handle is used again after its window goes: the filter goes with it.
    if (message == WM_NCDESTROY)
        UIMFilters().erase(it);
    return filter(bar, message, wParam, lParam);
}

int CQKAccess::Init(HWND mainFrame, const char* commandLine)
{
    m_mainFrame = mainFrame;
    qkfxGetCallLog().Add("CQKAccess::Init", commandLine ? commandLine : "");
    if (commandLine)
        qkfxReadCommandLine(commandLine);
    return qkGetHostWindow() != nullptr;
}

void CQKAccess::Uninit()
{
    qkfxGetCallLog().Add("CQKAccess::Uninit");
    m_mainFrame = nullptr;
    // The system object may be the user interface's, whose code goes with it.
    qkDeleteQrxSystem();
}

void CQKAccess::OnAfterSplashScreen(int shown)
{
    qkfxGetCallLog().Add("CQKAccess::OnAfterSplashScreen", std::to_string(shown));
}

int CQKAccess::OnAfterMainFrameCreate(HWND, int, int hidden)
{
    qkfxGetCallLog().Add("CQKAccess::OnAfterMainFrameCreate", std::to_string(hidden));
    return hidden ? SW_HIDE : SW_SHOWNORMAL;
}

int CQKAccess::QKOnIdle(long)
{
    return 0;
}

CQKQrxSystem* CQKAccess::create_QrxSystem_object()
{
    return new (std::nothrow) CQKQrxSystem;
}

int CQKAccess::execute_script(const char* text, int)
{
    return qkfxGetScript().Execute(text ? text : "") ? 0 : 1;
}

int CQKAccess::run_resurce_string_ex(const char* group, const char* commandString, CQKLayer*)
{
    qkNoteCommandRun((int)GetCurrentCommand(), group, commandString);
    std::string s = commandString ? commandString : "";
    size_t first = s.find('\n');
    size_t second = first == std::string::npos ? std::string::npos : s.find('\n', first + 1);
    std::string part = second == std::string::npos ? std::string() : qkTrim(s.substr(second + 1));
    if (part.empty()) {
        qkfxGetCallLog().Add("run_resurce_string_ex: no script", s);
        return 0;
    }
    if (part[0] != '@')
        return qkfxGetScript().Execute(part, group ? std::string("command of ") + group : std::string()) ? 0 : 1;

    // "@Section", "@Section,File", and "@arg,File,Section" (the direction commands of the
    // 3D menu: "@2,3d,OneToSix" runs section OneToSix of file 3d with the argument 2).
    std::vector<std::string> parts;
    size_t from = 1;
    for (size_t comma; (comma = part.find(',', from)) != std::string::npos; from = comma + 1)
        parts.push_back(qkTrim(part.substr(from, comma - from)));
    parts.push_back(qkTrim(part.substr(from)));
    std::string file, section;
    std::vector<std::string> args;
    if (parts.size() == 1) {
        section = parts[0];
        file = group ? group : "";
    } else if (parts.size() == 2) {
        section = parts[0];
        file = parts[1];
    } else if (parts.size() == 3) {
        args.push_back(parts[0]);
        file = parts[1];
        section = parts[2];
    } else {
        qkfxGetScript().Print("cannot read the command \"" + part + "\"", 2);
        return 1;
    }
    if (file.empty()) {
        qkfxGetScript().Print("the command \"" + part + "\" names no script file and has no group", 2);
        return 1;
    }
    double result = 0;
    return qkfxGetScript().RunSection(file, section, args, &result) ? 0 : 1;
}

int CQKAccess::run_section_script(const char* text, double* result)
{
    std::string s = text ? text : "";
    std::vector<std::string> parts;
    size_t comma1 = s.find(',');
    if (comma1 == std::string::npos) {
        qkfxGetScript().Print("a section call needs \"file,section\": \"" + s + "\"", 2);
        return 1;
    }
    size_t comma2 = s.find(',', comma1 + 1);
    std::string file = qkTrim(s.substr(0, comma1));
    std::string section = qkTrim(s.substr(comma1 + 1, comma2 == std::string::npos ? std::string::npos : comma2 - comma1 - 1));
    std::vector<std::string> args;
    // The rest is one argument text, blanks and quotes included.
    if (comma2 != std::string::npos && !qkTrim(s.substr(comma2 + 1)).empty())
        args.push_back(qkTrim(s.substr(comma2 + 1)));
    double r = 0;
    bool ok = qkfxGetScript().RunSection(file, section, args, &r);
    if (result)
        *result = r;
    return ok ? 0 : 1;
}

int CQKAccess::OnColorPaletteDialog()
{
    qkfxGetCallLog().Add("CQKAccess::OnColorPaletteDialog", "");
    return 0;
}

int CQKAccess::AddUserCategory(const char* group, const char* iniFile)
{
    qkfxGetCallLog().Add("CQKAccess::AddUserCategory", std::string(group ? group : "") + "," + (iniFile ? iniFile : ""));
    return 0;
}

int CQKAccess::AddUserDefinedButton(const char* group, const char*, int, const char*, const char*, const char*,
                                    const char*, const char*)
{
    qkfxGetCallLog().Add("CQKAccess::AddUserDefinedButton", group ? group : "");
    return 0;
}

int CQKAccess::run_user_menu_script(int id, CQKLayer*)
{
    qkfxGetCallLog().Add("CQKAccess::run_user_menu_script", std::to_string(id));
    return 1;
}

int CQKAccess::ExecuteUserMenuItem(int id)
{
    qkfxGetCallLog().Add("CQKAccess::ExecuteUserMenuItem", std::to_string(id));
    return 1;
}

CQKPage* CQKAccess::CreateNewPage(DWORD type, HWND frame, const char* source, int mode)
{
    qkfxGetCallLog().Add("CQKAccess::CreateNewPage",
                         std::to_string(type) + " " + std::to_string(mode) + " " +
                             (mode == 2 || !source ? "" : source));
    if (type > QK_PAGE_LAYOUT || (type == QK_PAGE_EXCEL && mode != 0)) {
        qkfxGetScript().Print("no page of kind " + std::to_string(type) + " can be made here", 2);
        return nullptr;
    }
    CQKPage* page = nullptr;
    std::string error;
    if (mode == 1) {
        page = qkfxReadPage(source ? source : "", std::string(), std::string(), &error);
    } else if (mode == 2) {
        // The archive comes in place of the file name (the embedding's storage): the
        // windows of the data the page draws, then the page. A data window whose name the
        // project already has is the project's; the page draws that one.
        std::vector<BYTE> bytes;
        std::vector<CQKPage*> data;
        CArchive* archive = reinterpret_cast<CArchive*>(const_cast<char*>(source));
        if (!archive)
            error = "there is no storage to read the window from";
        while (archive && !page && qkReadPageBytes(archive, bytes, &error)) {
            std::string name;
            int kind = -1;
            if (!qkPeekPage(bytes, name, kind, &error))
                break;
            CQKPage* existing = name.empty() ? nullptr : qkfxGetProject().FindPage(name);
            const bool isData = kind != (int)type;
            if (isData && existing)
                continue;
            CQKPage* read = qkfxReadPageFromMemory(bytes.data(), bytes.size(), std::string(), std::string(), &error);
            if (!read)
                break;
            if (isData) {
                read->SetHiddenPEWnd(1);
                data.push_back(read);
            } else {
                page = read;
            }
        }
        if (!page) {
            for (CQKPage* p : data)
                p->Destroy();
            error = "cannot read the stored window: " + error;
        }
    } else if (mode == 0) {
        page = qkfxGetProject().CreatePage((QKPageType)type);
        if (!page)
            error = "no new window can be made";
    } else {
        error = qkFormatText("%d is no way of making a window", mode);
    }
    if (page && page->GetType() != (QKPageType)type) {
        error = "the file holds another kind of window";
        page->Destroy();
        page = nullptr;
    }
    if (!page) {
        qkfxGetScript().Print(error, 2);
        return nullptr;
    }
    page->SetTheFrameWnd(frame);
    return page;
}

int CQKAccess::OnInternalNewPage(CQKPage*, BOOL)
{
    return 0;
}

CQKPage* CQKAccess::CreateNewPageObject(DWORD)
{
    return nullptr;
}

HMENU CQKAccess::MenuHandleFromCharForModification(char)
{
    return nullptr;
}

const char** CQKAccess::MenuTagsFromCharForModification(char)
{
    return nullptr;
}

void CQKAccess::OnAddRemoveMainDropDownMenu(char, int, BOOL)
{
}

int CQKAccess::ReloadCleanMenusFromResources()
{
    return 0;
}

void CQKAccess::update_tools_index_from_QUSER(int tool)
{
    SetCheckedToolNumber(tool);
}

void CQKAccess::AddToMRUFileList(const char*)
{
}

int CQKAccess::OnInternalMDICommands(UINT)
{
    return 0;
}

int CQKAccess::OnBeforeLoadFile(const char*, int)
{
    return 1;
}

int CQKAccess::OnAfterLoadFile(const char*, int)
{
    return 1;
}

int CQKAccess::OnInternalSetPathFileName(const char*, DWORD)
{
    return 1;
}

void CQKAccess::SetAppClientRect(const RECT*, int)
{
}

int CQKAccess::GetAppClientRect(RECT& rect)
{
    SetRectEmpty(&rect);
    return 0;
}

int CQKAccess::GetChildFrameRect(CQKPage*, RECT& rect)
{
    SetRectEmpty(&rect);
    return 0;
}

int CQKAccess::GetWndString(std::string& text, int)
{
    text.clear();
    return 0;
}

HIMAGELIST CQKAccess::CreateWndsImageList(DWORD)
{
    return nullptr;
}

CQKTreeExplorer* CQKAccess::GetTreeExplorer()
{
    return nullptr;
}

CQKListExplorer* CQKAccess::GetListExplorer()
{
    return nullptr;
}

int CQKAccess::GetQuorixGraphOLEObjectName(std::string& name)
{
    name.clear();
    return 0;
}

int CQKAccess::AppendProject()
{
    return 0;
}

int CQKAccess::OpenWorkbookFile(const char* path)
{
    qkfxGetCallLog().Add("OpenWorkbookFile", path ? path : "");
    return -1;
}

int CQKAccess::OnCheckForSaving(WORD)
{
    return 1;
}

int CQKAccess::BeginClosingAll(int)
{
    return 1;
}

int CQKAccess::EndClosingAll(int)
{
    return 1;
}

int CQKAccess::OutputLog(WORD, LPARAM, LPARAM)
{
    return 0;
}

int CQKAccess::DataDisplayShow(BOOL)
{
    return 0;
}

int CQKAccess::DataDisplayText(const char*)
{
    return 0;
}

int CQKAccess::Show3DToolBar(int, int)
{
    return 0;
}

int CQKAccess::OnSetStatusBarText(const char*, int)
{
    return 0;
}

void CQKAccess::OnSetPaneSize(int, int)
{
}

void CQKAccess::OnSetPaneSize(int, const std::string&)
{
}

int CQKAccess::OnSetStatusPaneText(int, const char*)
{
    return 0;
}

CQKPage* CQKAccess::GetActiveBasePage()
{
    return qkfxGetProject().GetActivePage();
}

int CQKAccess::IsActiveBasePage(CQKPage* page)
{
    return page != nullptr && page == GetActiveBasePage();
}

int CQKAccess::AskUser(const char* text, UINT type)
{
    char caption[256] = "";
    if (!m_mainFrame || !GetWindowTextA(m_mainFrame, caption, sizeof caption))
        strcpy(caption, "Quorix");
    return MessageBoxA(m_mainFrame, text ? text : "", caption, type);
}

int CQKAccess::OnCommandBegin(WPARAM wParam, LPARAM)
{
    m_commands.push_back(LOWORD(wParam));
    return 1;
}

void CQKAccess::OnCommandEnd(WPARAM, LPARAM)
{
    if (!m_commands.empty())
        m_commands.pop_back();
}

LRESULT CQKAccess::WMUserProcessing(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER && lParam) {
        qkfxGetScript().Execute(reinterpret_cast<const char*>(lParam));
        return 0;
    }
    // The kernel's own timers and messages come with its windows (script window, tools).
    qkfxGetCallLog().Add("CQKAccess::WMUserProcessing", std::to_string(message) + "," + std::to_string(wParam));
    return 0;
}

BOOL CQKAccess::prompt_to_save_all_scrivex_editor_wnds()
{
    // There are no script editor windows yet, so nothing waits to be saved.
    return TRUE;
}

void CQKAccess::OnBeforeMainFrameClose(HWND frame)
{
    if (frame == m_mainFrame)
        m_mainFrame = nullptr;
}

CQKProject* CQKAccess::GetPageManager()
{
    return &qkfxGetProject();
}

CQKQrxSystem* CQKAccess::GetQrxSystem()
{
    return &qkfxGetQrxSystem();
}

BOOL CQKAccess::IsProjectFileName(const char* name)
{
    return HasExtension(name, ".qpj");
}

BOOL CQKAccess::OpenProjectFile(const char* name)
{
    qkfxGetCallLog().Add("CQKAccess::OpenProjectFile", name ? name : "");
    std::string error;
    if (!qkfxOpenProject(name ? name : "", false, &error)) {
        qkfxGetScript().Print(error, 2);
        return FALSE;
    }
    return TRUE;
}

void CQKAccess::OnPrinterChanged(int)
{
    qkfxGetCallLog().Add("CQKAccess::OnPrinterChanged");
}

void CQKAccess::CanNotUpdateRegistryMsg()
{
    qkfxGetCallLog().Add("CQKAccess::CanNotUpdateRegistryMsg");
}

void CQKAccess::OnlineHelp(int id)
{
    qkfxGetCallLog().Add("CQKAccess::OnlineHelp", std::to_string(id));
}

void CQKAccess::OnQrxTutorial()
{
    qkfxGetCallLog().Add("CQKAccess::OnQrxTutorial");
}

void CQKAccess::OnSendProjectTo()
{
    qkfxGetCallLog().Add("CQKAccess::OnSendProjectTo");
}

void CQKAccess::OnQrxWebSite(int id)
{
    qkfxGetCallLog().Add("CQKAccess::OnQrxWebSite", std::to_string(id));
}

std::string CQKAccess::GetQuorixHelpFile()
{
    return CQKPath::Combine(qkGetProgramFolder(), "quorix61.hlp");
}

CQKAccess* qkfxGetAccess()
{
    if (!g_access) {
        static CQKAccess plain;
        return &plain;
    }
    return g_access;
}

// ---- start-up --------------------------------------------------------------------------

void qkfxSetRunningMode(int mode)
{
    g_runningMode = mode;
}

int qkfxGetRunningMode()
{
    return g_runningMode;
}

void qkfxReadCommandLine(const char* commandLine)
{
    // Switches start with '/' or '-'; everything else names a file (quoted when it holds
    // blanks).
    // "-P folder" names the INI folder (a second instance gets the first one's); its
    // folder is no file to open.
    g_commandLineFiles.clear();
    g_commandLineIniFolder.clear();
    std::vector<std::string> words;
    qkSplitWords(commandLine ? commandLine : "", &words);
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.empty())
            continue;
        if ((word == "-P" || word == "/P" || word == "-p" || word == "/p") && i + 1 < words.size())
            g_commandLineIniFolder = words[++i];
        else if (word[0] != '/' && word[0] != '-')
            g_commandLineFiles.push_back(word);
    }
}

void qkfxSetGlobalINIPath(const char* folder)
{
    g_iniFolder = folder ? folder : g_commandLineIniFolder;
}

void qkfxGetGlobalINIPath(char* buffer)
{
    if (buffer)
        lstrcpynA(buffer, qkGetIniFolder().c_str(), MAX_PATH);
}

void qkfxSetGlobalPROGPath(const char* folder)
{
    g_progFolder = folder ? folder : "";
}

void qkfxConfigInitDDEOleServer()
{
    qkfxGetCallLog().Add("qkfxConfigInitDDEOleServer");
}

void qkfxAutoRegister()
{
    qkfxGetCallLog().Add("qkfxAutoRegister");
}

void qkfxAutoRegisterTypeLib(const char* name)
{
    qkfxGetCallLog().Add("qkfxAutoRegisterTypeLib", name ? name : "");
}

int qkfxExecuteCommandLine(const char* commandLine)
{
    qkfxGetCallLog().Add("qkfxExecuteCommandLine", commandLine ? commandLine : "");
    if (commandLine)
        qkfxReadCommandLine(commandLine);
    // A file that does not open is reported; the start goes on.
    for (const std::string& file : g_commandLineFiles) {
        if (qkfxGetAccess()->IsProjectFileName(file.c_str()))
            qkfxGetAccess()->OpenProjectFile(file.c_str());
        else
            qkfxGetCallLog().Add("open file", file);
    }
    return 1;
}

// ---- run time --------------------------------------------------------------------------

int qkfxDllMessageFilter(int, MSG*)
{
    return 0;
}

int qkfxProcessDllIdle(int, long)
{
    return 0;
}

void qkfxOpenScreen(BOOL show)
{
    qkfxGetCallLog().Add("qkfxOpenScreen", show ? "1" : "0");
}

int qkfxAppendFile(const char* name, int)
{
    // A project joins the open one; a window file or template adds its window.
    std::string path = name ? name : "", error;
    qkfxGetCallLog().Add("qkfxAppendFile", path);
    if (qkfxGetAccess()->IsProjectFileName(path.c_str())) {
        if (qkfxOpenProject(path, true, &error))
            return 1;
    } else if (CQKPage* page = qkfxReadPage(path, std::string(), std::string(), &error)) {
        qkfxGetAccess()->OnInternalNewPage(page, TRUE);
        return 1;
    }
    qkfxGetScript().Print(error, 2);
    return 0;
}

BOOL qkfxIsExcelFileName(const char* name)
{
    return HasExtension(name, ".xls");
}

BOOL qkfxIsSaveTlbConfInRegistry()
{
    return FALSE;
}

BOOL qkfxIsIniPathEQProgPath()
{
    return _stricmp(qkGetIniFolder().c_str(), qkGetProgramFolder().c_str()) == 0;
}

BOOL qkfxGetQrxTemplateFileExtension(int kind, std::string& extension)
{
    switch (kind) {
    case QK_PAGE_WKS: extension = ".qtw"; return TRUE;
    case QK_PAGE_GRAPH:
    case 10: extension = ".qtp"; return TRUE;
    case QK_PAGE_MATRIX: extension = ".qtm"; return TRUE;
    }
    extension.clear();
    return FALSE;
}

void qkfxRegisterOtherExtensions()
{
    qkfxGetCallLog().Add("qkfxRegisterOtherExtensions");
}

std::string qkfxGetExePath()
{
    return g_progFolder.empty() ? qkGetProgramFolder() : g_progFolder;
}

std::string qkfxGetINIFileFullPathName()
{
    return CQKPath::Combine(qkGetIniFolder(), "quorix61.ini");
}

void qkfxSetQuickVariable(int number, double value)
{
    g_quickVariables[number] = value;
}

double qkfxGetQuickVariable(int number)
{
    auto it = g_quickVariables.find(number);
    return it == g_quickVariables.end() ? 0 : it->second;
}

void qkfxSetVariableValue(const char* name, double value)
{
    if (name && *name)
        qkfxGetScript().SetVariable(name, value);
}

BOOL qkuFileExists(const char* path)
{
    DWORD attr = path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL qkuDeleteFile(const char* path)
{
    return path && DeleteFileA(path);
}

BOOL qkuGetExeFile(std::string& path, int)
{
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return FALSE;
    path.assign(buf, n);
    return TRUE;
}

BOOL qkuGetINIPathForCommandline(std::string& part, int)
{
    part.clear();
    if (qkfxIsIniPathEQProgPath())
        return FALSE;
    part = " -P \"" + qkGetIniFolder() + "\"";
    return TRUE;
}

BOOL qkuDeleteRegKey(HKEY root, const char* subKey)
{
    if (!subKey || !*subKey)
        return FALSE; // never the whole root
    LONG rc = RegDeleteTreeA(root, subKey);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

BOOL qkuDeleteRegKeyByStringValue(HKEY root, const char* subKey, const char* valueName, const char* value)
{
    HKEY key;
    if (!subKey || !valueName || !value || RegOpenKeyExA(root, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return FALSE;
    std::vector<std::string> matches;
    char name[256];
    for (DWORD i = 0;; i++) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        char text[1024] = "";
        DWORD textSize = sizeof text - 1;
        DWORD type = 0;
        if (RegGetValueA(key, name, valueName, RRF_RT_REG_SZ, &type, text, &textSize) == ERROR_SUCCESS &&
            strcmp(text, value) == 0)
            matches.push_back(name);
    }
    RegCloseKey(key);
    BOOL deleted = FALSE;
    for (const std::string& match : matches)
        deleted |= qkuDeleteRegKey(root, (std::string(subKey) + "\\" + match).c_str());
    return deleted;
}

BOOL qkuAppendRegistryKeyStringValue(HKEY root, const char* subKey, const char* valueName, const char* text)
{
    HKEY key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return FALSE;
    DWORD type = 0, size = 0;
    std::string value;
    if (RegQueryValueExA(key, valueName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        value.resize(size);
        RegQueryValueExA(key, valueName, nullptr, nullptr, (BYTE*)&value[0], &size);
        value.resize(strnlen(value.c_str(), size));
    }
    value += text ? text : "";
    LONG rc = RegSetValueExA(key, valueName, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

BOOL qkuRegisterExtension(const char* extension, const char* typeId, int iconIndex)
{
    if (!extension || !typeId)
        return FALSE;
    std::string exe;
    if (!qkuGetExeFile(exe, 3))
        return FALSE;
    std::string icon = exe + "," + std::to_string(iconIndex);
    std::string iconKey = std::string(typeId) + "\\DefaultIcon";
    return RegSetValueA(HKEY_CLASSES_ROOT, extension, REG_SZ, typeId, (DWORD)strlen(typeId)) == ERROR_SUCCESS &&
           RegSetValueA(HKEY_CLASSES_ROOT, iconKey.c_str(), REG_SZ, icon.c_str(), (DWORD)icon.size()) == ERROR_SUCCESS;
}

HMENU qkuGetSubmenuWithThisItem(HMENU menu, UINT id)
{
    int count = menu ? GetMenuItemCount(menu) : -1;
    for (int i = 0; i < count; ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (!sub && GetMenuItemID(menu, i) == id)
            return menu;
        if (sub)
            if (HMENU found = qkuGetSubmenuWithThisItem(sub, id))
                return found;
    }
    return nullptr;
}

int qkuGetMenuItemPosition(HMENU menu, UINT id)
{
    int count = menu ? GetMenuItemCount(menu) : -1;
    for (int i = 0; i < count; ++i)
        if (!GetSubMenu(menu, i) && GetMenuItemID(menu, i) == id)
            return i;
    return -1;
}

void qkuTurnOnReminderMsgBoxes(int flags)
{
    qkfxGetCallLog().Add("qkuTurnOnReminderMsgBoxes", std::to_string(flags));
}

void CQKCustomModification::OpenScreen(BOOL show)
{
    qkfxGetCallLog().Add("CQKCustomModification::OpenScreen", show ? "1" : "0");
}

namespace {

int CALLBACK BrowseCallback(HWND hwnd, UINT message, LPARAM, LPARAM data)
{
    if (message == BFFM_INITIALIZED && data)
        SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

} // namespace

BOOL qkuBrowseForFolder(HWND owner, const char* title, std::string& folder)
{
    // The shell is loaded only here: linked to the kernel it would bring the desktop into
    // every process that runs a script, the console host's too.
    HMODULE shell = LoadLibraryA("shell32.dll");
    if (!shell)
        return FALSE;
    typedef PIDLIST_ABSOLUTE(WINAPI * BrowseProc)(LPBROWSEINFOA);
    typedef BOOL(WINAPI * PathProc)(PCIDLIST_ABSOLUTE, LPSTR);
    typedef void(WINAPI * FreeProc)(LPVOID);
    auto browse = reinterpret_cast<BrowseProc>(GetProcAddress(shell, "SHBrowseForFolderA"));
    auto toPath = reinterpret_cast<PathProc>(GetProcAddress(shell, "SHGetPathFromIDListA"));
    auto free = reinterpret_cast<FreeProc>(GetProcAddress(shell, "ILFree"));
    BOOL ok = FALSE;
    if (browse && toPath && free) {
        BROWSEINFOA info = {};
        info.hwndOwner = owner;
        info.lpszTitle = title;
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
        info.lpfn = BrowseCallback;
        info.lParam = (LPARAM)folder.c_str();
        if (PIDLIST_ABSOLUTE list = browse(&info)) {
            char path[MAX_PATH] = "";
            ok = toPath(list, path);
            free(list);
            if (ok)
                folder = path;
        }
    }
    FreeLibrary(shell);
    return ok;
}

// ---- printers --------------------------------------------------------------------------

BOOL qkfxGetCurrentPrinterInfo(const char* device, QKPrinterInfo& info)
{
    info = QKPrinterInfo();
    char name[CCHDEVICENAME] = {};
    if (device != nullptr && *device != '\0') {
        lstrcpynA(name, device, sizeof name);
    } else {
        DWORD size = sizeof name;
        if (!GetDefaultPrinterA(name, &size))
            return FALSE;
    }
    HDC ic = CreateICA(nullptr, name, nullptr, nullptr);
    if (ic == nullptr)
        return FALSE;
    lstrcpynA(info.device, name, sizeof info.device);
    const int dpiX = GetDeviceCaps(ic, LOGPIXELSX), dpiY = GetDeviceCaps(ic, LOGPIXELSY);
    info.width = dpiX > 0 ? (double)GetDeviceCaps(ic, HORZRES) / dpiX : 0;
    info.height = dpiY > 0 ? (double)GetDeviceCaps(ic, VERTRES) / dpiY : 0;
    // The driver says whether the device prints colour; its DC's colour depth is the
    // answer when the driver does not say.
    int colorDevice = DeviceCapabilitiesA(name, nullptr, DC_COLORDEVICE, nullptr, nullptr);
    if (colorDevice >= 0)
        info.color = colorDevice != 0;
    else
        info.color = GetDeviceCaps(ic, BITSPIXEL) * GetDeviceCaps(ic, PLANES) > 1;
    DeleteDC(ic);
    return TRUE;
}

int qkfxIsPrinterColor(const QKPrinterInfo& info)
{
    return info.color ? 1 : 0;
}

std::vector<std::string> qkuWrapTextLines(const std::string& text, int tabSize, int columns)
{
    const int tab = tabSize > 0 ? tabSize : 8;
    columns = std::max(1, columns);
    std::vector<std::string> lines;
    std::string line;
    auto flush = [&]() {
        lines.push_back(line);
        line.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r')
            continue;
        if (c == '\n') {
            flush();
            continue;
        }
        if (c == '\t') {
            do
                line += ' ';
            while (line.size() % tab != 0 && (int)line.size() < columns);
        } else {
            line += c;
        }
        if ((int)line.size() >= columns)
            flush();
    }
    if (!line.empty())
        flush();
    return lines;
}

int qkuPrintFromEditHwnd(HWND edit, int bPrompt, const char* title, int tabSize, int, int margin)
{
    if (edit == nullptr || !IsWindow(edit))
        return 0;
    PRINTDLGA pd = {sizeof pd};
    pd.hwndOwner = GetAncestor(edit, GA_ROOT);
    pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIES | (bPrompt ? 0 : PD_RETURNDEFAULT);
    if (!PrintDlgA(&pd) || pd.hDC == nullptr) {
        if (pd.hDevMode)
            GlobalFree(pd.hDevMode);
        if (pd.hDevNames)
            GlobalFree(pd.hDevNames);
        return 0;
    }
    HDC dc = pd.hDC;
    std::string text(GetWindowTextLengthA(edit) + 1, '\0');
    text.resize(GetWindowTextA(edit, &text[0], (int)text.size()));

    const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    const int offX = GetDeviceCaps(dc, PHYSICALOFFSETX), offY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    const int pageW = GetDeviceCaps(dc, PHYSICALWIDTH) > 0 ? GetDeviceCaps(dc, PHYSICALWIDTH) : GetDeviceCaps(dc, HORZRES);
    const int pageH = GetDeviceCaps(dc, PHYSICALHEIGHT) > 0 ? GetDeviceCaps(dc, PHYSICALHEIGHT) : GetDeviceCaps(dc, VERTRES);
    RECT area = {MulDiv(margin, dpiX, 100) - offX, MulDiv(margin, dpiY, 100) - offY,
                 pageW - MulDiv(margin, dpiX, 100) - offX, pageH - MulDiv(margin, dpiY, 100) - offY};
    if (area.right <= area.left || area.bottom <= area.top)
        area = {0, 0, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    // The log's fixed font at 10 points.
    HFONT font = CreateFontA(-MulDiv(10, dpiY, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                             "Courier New");
    HGDIOBJ oldFont = SelectObject(dc, font);
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    const int lineH = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
    const int charW = std::max<int>(1, tm.tmAveCharWidth);
    const int columns = std::max<int>(1, (area.right - area.left) / charW);
    const int tab = tabSize > 0 ? tabSize : 8;

    std::vector<std::string> lines = qkuWrapTextLines(text, tab, columns);

    DOCINFOA doc = {sizeof doc};
    doc.lpszDocName = title && *title ? title : "Results Log";
    int pages = 0;
    bool ok = StartDocA(dc, &doc) > 0;
    const int perPage = std::max(1, (int)(area.bottom - area.top) / lineH);
    for (size_t first = 0; ok && (first < lines.size() || pages == 0); first += perPage) {
        ok = StartPage(dc) > 0;
        if (!ok)
            break;
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        for (size_t i = first; i < lines.size() && i < first + perPage; ++i)
            TextOutA(dc, area.left, area.top + (int)(i - first) * lineH, lines[i].c_str(), (int)lines[i].size());
        ok = EndPage(dc) > 0;
        ++pages;
    }
    if (ok)
        EndDoc(dc);
    else
        AbortDoc(dc);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteDC(dc);
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
    return ok ? pages : 0;
}
