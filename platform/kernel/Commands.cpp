// The menu commands' kernel side: which commands run, the script commands the program's
// own script files (Standard.qgs, File.qgs, AppFile.qgs) call, and the script files the
// program carries as resources.
#include <windows.h>
#include <commdlg.h>
#include <cderr.h>

#include <map>
#include <string>
#include <vector>

#include "KernelInternal.h"
#include "PageRender.h"
#include "QKGraphObjects.h"
#include "QKAccess.h"
#include "QKAsciiImport.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKFile.h"
#include "QKGraphObjects.h"
#include "QKScript.h"
#include "QKSysMethod.h"
#include "QKUtil.h"

namespace {

// Commands whose kernel side is not built yet, with the area that will build it. Every
// command string of the page windows runs unless it is listed here; the menus draw these
// items grey (the user interface asks on_before_run_command), and README.md lists them.
struct UnbuiltCommands {
    int first, last;
    const char* area;
};

const UnbuiltCommands kUnbuilt[] = {
    // General commands of every page window.
    {36124, 36124, "graph"},
    {36130, 36130, "not described"},
    {36322, 36322, "not described"},
    {36323, 36324, "graph"},
    {36327, 36327, "not described"},
    // Plot commands: the kinds the kernel cannot plot yet.
    {33268, 33280, "graph"},
    {33281, 33283, "not described"},
    {33298, 33312, "graph"},
    {33327, 33328, "not described"},
    {33332, 33332, "not described"},
    // STANDARD.
    {33026, 33026, "graph"},
    {33028, 33028, "graph"},
    {33047, 33047, "not described"},
    {33048, 33049, "graph"},
    // FILE.
    {33999, 33999, "not described"},
    {34002, 34002, "not described"},
    {34028, 34032, "not described"},
    {34038, 34041, "not described"},
    // The 3D rotation angle.
    {35562, 35562, "graph"},
    // 3D Waterfall and the X and Y Constant with Base kinds: nothing but their names.
    {35573, 35573, "not described"},
    {35575, 35576, "not described"},
    // GRAPH and GRANALY of the graph window, and the shared FFT.
    {32966, 32966, "graph"},
    {34145, 34161, "not described"},
    {34174, 34174, "not described"},
    {9999, 9999, "not described"},
    // WKS and WKSANALY of the worksheet window.
    // Insert, Delete, Clear Worksheet and the fills are the worksheet page's own; Set
    // Column Values and the sorts the worksheet view's.
    {36437, 36440, "worksheet"},
    {36443, 36443, "worksheet"},
    {36447, 36447, "worksheet"},
    {36452, 36462, "worksheet"},
    {36466, 36496, "worksheet"},
    {36498, 36500, "worksheet"},
    {32818, 32823, "not described"},
    {32867, 32868, "not described"},
    {32898, 32904, "not described"},
};

// The object edits of the ARROW and OBJEDIT commands and the masking commands, by id;
// -1 where an id has none.
const int kObjectEdits[] = {
    QK_EDIT_LEFT, QK_EDIT_RIGHT, QK_EDIT_TOP, QK_EDIT_BOTTOM, QK_EDIT_VERTICAL, QK_EDIT_HORIZONTAL, // 35488-35493
    QK_EDIT_WIDTH, QK_EDIT_HEIGHT, QK_EDIT_FRONT, QK_EDIT_BACK, QK_EDIT_FRONT_DATA, QK_EDIT_BACK_DATA, QK_EDIT_GROUP, QK_EDIT_UNGROUP, // 35494-35501
    QK_EDIT_ARROW, -1, QK_EDIT_FONT_UP, QK_EDIT_FONT_DOWN,                                          // 35502-35505
};
const int kArrowEdits[] = {
    QK_EDIT_LINE_HORIZONTAL, QK_EDIT_LINE_VERTICAL, QK_EDIT_HEAD_NARROW, QK_EDIT_HEAD_WIDEN,
    QK_EDIT_HEAD_LENGTHEN, QK_EDIT_HEAD_SHORTEN, // 35520-35525
};
const int kMaskCommands[] = {
    QK_MASK_RANGE, QK_MASK_POINT, QK_MASK_COLOR, QK_MASK_HIDE, QK_MASK_SWAP, QK_MASK_ENABLE, QK_MASK_CLEAR, // 35536-35542
};

// The object, arrow and masking commands, the zoom, Rotate Page and New Legend need a graph
// (or, for the zoom, a layout) that has what they work on.
// The layer and page commands need a graph that has what they place or move.
bool LayerCommandReady(int id, bool* handled)
{
    *handled = true;
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    const bool isGraph = graph && graph->GetType() == QK_PAGE_GRAPH;
    CQKGraphicLayer* layer = isGraph ? graph->GetActiveLayer() : nullptr;
    switch (id) {
    case 36082: // Page Control
        return graph != nullptr;
    case 33092: // View > Show > Frame
    case 36083: // Layer Control
    case 36123: // Arrange All Layers
    case 36127: // Maximize Layer
        return layer != nullptr;
    case 36121: // Stack Data
        return layer && !layer->Is3DLayer();
    case 36122: // Exchange Axes: a 2D layer with a horizontal and a vertical axis
        return layer && !layer->Is3DLayer() && !layer->IsPolar() && !layer->IsLayerTriangle();
    case 33029: // Full Screen
    case 36128:
        return isGraph;
    case 32965: { // Set Display Range: rows the Data Selector chose in a plot of the layer
        INT_PTR dataset = 0;
        int first = 0, last = 0;
        if (!layer || !graph->GetSelectedRange(dataset, first, last))
            return false;
        for (int i = 0; i < layer->GetNumPlots(); ++i)
            if (CQKDataset* y = qkPlotDataset(*layer->PlotObjByIndex(i, 1), QK_ROLE_Y); y && y->GetHandle() == dataset)
                return true;
        return false;
    }
    case 34018: // Export Page
        return graph != nullptr;
    case 33041: // Date & Time
        return layer != nullptr;
    case 36120: // Add Function Graph
        return layer != nullptr && !layer->Is3DLayer();
    case 36129: // Fit page to encompass all layers
        return isGraph && graph->CanFitPageToLayers();
    case 36126: // Merge Graphs
    case 33044: {
        if (!isGraph)
            return false;
        CQKProject& project = qkfxGetProject();
        for (int i = 0; i < project.GetNumPages(); ++i)
            if (project.GetPage(i) != graph && project.GetPage(i)->GetType() == QK_PAGE_GRAPH)
                return true;
        return false;
    }
    case 33042: { // Extract to Layers: two plots besides error bars
        int plots = 0;
        for (int i = 0; layer && i < layer->GetNumPlots(); ++i)
            plots += layer->PlotObjByIndex(i, 1)->IsErrorBarPlot() ? 0 : 1;
        return plots >= 2;
    }
    case 33043: // Extract to Graphs
        return isGraph && graph->GetNumLayers() >= 2;
    case 36326: // New Color Scale: a colour-mapped plot in the active layer
        return isGraph && layer && qkColorScalePlot(*layer) != nullptr;
    case 32967: // Move Data Points and Remove Bad Data: a plot of X and Y data
    case 32968:
        return isGraph && graph->CanMask(QK_MASK_POINT);
    case 33045: // Add Graph and Add Worksheet: a layout, and a window of the kind to add
    case 33046: {
        if (!graph || graph->GetType() != QK_PAGE_LAYOUT)
            return false;
        CQKProject& project = qkfxGetProject();
        for (int i = 0; i < project.GetNumPages(); ++i)
            if (project.GetPage(i)->GetType() == (id == 33045 ? QK_PAGE_GRAPH : QK_PAGE_WKS))
                return true;
        return false;
    }
    default:
        break;
    }
    if (id >= 36115 && id <= 36119) { // Add Plot to Layer: a worksheet's columns
        CQKWksPage* wks = qkfxGetProject().GetLastActiveWks();
        bool data = false;
        for (int c = 1; wks && !data && c <= wks->GetNumCols(); ++c)
            data = wks->GetFilledRows(c) > 0;
        return layer && !layer->Is3DLayer() && data;
    }
    *handled = false;
    return true;
}

bool GraphCommandReady(int id)
{
    bool handled = false;
    const bool ready = LayerCommandReady(id, &handled);
    if (handled)
        return ready;
    const bool zoom = id == 33024 || id == 33025 || id == 33027 || id == 33337 || id == 36125 || id == 36325;
    // 35503 (the colour palette) edits the colour table, not the graph's objects.
    const bool edit = (id >= 35488 && id <= 35505 && id != 35503) || (id >= 35520 && id <= 35525);
    const bool mask = id >= 35536 && id <= 35542;
    if (!zoom && !edit && !mask)
        return true;
    CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
    if (!graph)
        return false;
    if (id == 36125)
        return graph->GetType() == QK_PAGE_GRAPH;
    if (id == 36325)
        return graph->GetType() == QK_PAGE_GRAPH && graph->GetActiveLayer() && graph->GetActiveLayer()->GetNumPlots() > 0;
    if (zoom)
        return true;
    if (mask)
        return graph->CanMask(kMaskCommands[id - 35536]);
    const int code = id >= 35520 ? kArrowEdits[id - 35520] : kObjectEdits[id - 35488];
    return code >= 0 && graph->CanEdit(code);
}

const int kDuplicate = 33051;
// Print (STANDARD 33040 and 33053, FILE 34022): only windows that draw themselves print.
const int kPrintCommands[] = {33040, 33053, 34022};
const int kCloseProject = 34017;
const int kImportKaleidagraph = 34036;
const int kStatisticsOnColumns = 36434, kStatisticsOnRows = 36435;
const int kRotateFirst = 35552, kRotateLast = 35561; // the 3D rotation toolbar
const int kRescale = 36321, kResetToFullRange = 36086;
const int kQuickFitFirst = 34163, kQuickFitLast = 34173; // the Analysis menu's fits
const int kLastImport = 34004;
const int kWorksheetScript = 36091;
const int kWorksheetCommands[] = {kWorksheetScript, 32824, 32825, 32834, 32835, 32836};
// The imports of the File menus and the graph window: ASCII (single, multiple, from the
// toolbar, into new worksheets), SigmaPlot, WAV, Mathematica, Kaleidagraph, ODBC.
const int kImportCommands[] = {34050, 34052, 34037, 34019, 34020, 34033, 34034, 34035, 34036, 34003};

// The import command run last in this session, with its group and command string, which
// Import using last-used method runs again.
struct LastImport {
    int id = 0;
    std::string group, command;
};
LastImport& TheLastImport()
{
    static LastImport last;
    return last;
}


// Duplicate copies the data of a worksheet, a matrix or notes. A graph or layout is a
// copy only with its layers and drawn objects, which the duplicate cannot carry yet.
bool CanDuplicate(const CQKPage* page)
{
    return page != nullptr &&
           (page->GetType() == QK_PAGE_WKS || page->GetType() == QK_PAGE_MATRIX || page->GetType() == QK_PAGE_NOTES);
}

CQKPage* ActivePage()
{
    CQKPage* page = qkfxGetAccess()->GetActiveBasePage();
    return page ? page : qkfxGetProject().GetActivePage();
}

// The active graph window's active layer; null when the active window is no graph.
CQKGraphicLayer* ActiveGraphLayer()
{
    CQKPage* page = ActivePage();
    auto* graph = dynamic_cast<CQKGraphPage*>(page);
    return graph && page->GetType() == QK_PAGE_GRAPH ? graph->GetActiveLayer() : nullptr;
}

struct ScriptResource {
    HMODULE module;
    int id;
};

std::map<std::string, ScriptResource>& ScriptResources()
{
    static std::map<std::string, ScriptResource> resources; // by upper-cased file name
    return resources;
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = (char)toupper((unsigned char)c);
    return s;
}

bool Same(const std::string& a, const char* b)
{
    return _stricmp(a.c_str(), b) == 0;
}

// Graphs, layouts and worksheets draw themselves, so they print.
bool CanPrint(const CQKPage* page)
{
    return page != nullptr && (page->GetType() == QK_PAGE_GRAPH || page->GetType() == QK_PAGE_LAYOUT ||
                               page->GetType() == QK_PAGE_WKS);
}

// print: the active window through the print dialog of its kind; print -s: its page
// set-up (the printer's set-up without a window). The main window carries the command
// out once the script has ended, as the menu would.
void Print(const std::vector<std::string>& args, std::string* error)
{
    const bool setup = args.size() == 1 && Same(args[0], "-s");
    if (!args.empty() && !setup) {
        *error = "print knows only -s (page set-up)";
        return;
    }
    CQKPage* page = ActivePage();
    if (!setup && !CanPrint(page)) {
        *error = page == nullptr ? "print: there is no window to print"
                                 : "print: the window " + page->GetName() + " cannot be printed";
        return;
    }
    HWND main = qkfxGetAccess()->GetMainFrame();
    if (main == nullptr || !PostMessageA(main, WM_COMMAND, setup ? 0xE106 : 0xE107, 0)) {
        *error = "print: there is no program window to print from";
        return;
    }
    qkfxGetCallLog().Add("print", setup ? "-s" : "");
}

// The filter of the file dialog: each word a file type group by name (its types), or a
// pattern such as *.qgw.
bool BuildFilter(const std::vector<std::string>& words, std::string* filter, std::string* folder,
                 std::string* error)
{
    CQKFileTypeGroupPtrArray groups;
    qkfxGetQrxSystem().GetRefFileExt().GetAllGroups(groups);
    for (const std::string& w : words) {
        if (w.find('*') != std::string::npos) {
            *filter += w + '\0' + w + '\0';
            continue;
        }
        int index = groups.GetGroupIndex(w.c_str());
        if (index < 0) {
            *error = "GetFile: there is no file type group \"" + w + "\"";
            return false;
        }
        CQKFileTypeGroup* g = groups.GetAt(index);
        // The dialog opens in the first group's folder.
        if (folder->empty())
            *folder = g->GetDefaultPath();
        for (int t = 0; t < g->GetNumTypes(); ++t)
            *filter += g->GetTypeDescription(t) + '\0' + g->GetTypeExtensions(t) + '\0';
    }
    if (filter->empty())
        *filter = std::string("All Files (*.*)") + '\0' + "*.*" + '\0';
    return true;
}

// GetFile [-m|-s]: %B receives the chosen file's folder (with its backslash) and %A its
// name; %A is empty when the user cancelled. With -m the user may choose several files of
// one folder: %A holds their names separated by "|", which no file name contains. With -s
// the dialog is the save dialog.
bool GetFile(const std::vector<std::string>& words, std::string* error)
{
    std::vector<std::string> args = words;
    bool multiple = !args.empty() && Same(args[0], "-m");
    bool save = !args.empty() && Same(args[0], "-s");
    if (multiple || save)
        args.erase(args.begin());
    std::string filter, path;
    if (!BuildFilter(args, &filter, &path, error))
        return false;
    CQKScript& script = qkfxGetScript();
    std::vector<std::string> names;
    if (save) {
        path.clear();
        if (qkfxGetAccess()->GetFileToSave(filter, "Save As", path) <= 0 || path.empty()) {
            script.SetStringVar(0, std::string());
            return true;
        }
    } else if (multiple) {
        if (!qkfxGetAccess()->GetFilesToOpen(filter, path, names) || names.empty()) {
            script.SetStringVar(0, std::string());
            return true;
        }
        path = names[0];
    } else if (!qkfxGetAccess()->GetFileToOpen(filter, path) || path.empty()) {
        script.SetStringVar(0, std::string());
        return true;
    }
    size_t slash = path.find_last_of("\\/");
    script.SetStringVar(1, slash == std::string::npos ? std::string() : path.substr(0, slash + 1));
    std::string list = slash == std::string::npos ? path : path.substr(slash + 1);
    for (size_t i = 1; i < names.size(); ++i)
        list += "|" + names[i].substr(names[i].find_last_of("\\/") + 1);
    script.SetStringVar(0, list);
    return true;
}

// A page's data changed outside its window: the window shows it again.
void ShowChanged(CQKPage* page)
{
    page->SetPageChange(1);
    HWND wnd = page->GetDrawingWnd();
    if (wnd != nullptr && IsWindow(wnd))
        InvalidateRect(wnd, nullptr, TRUE);
}

bool IsAsciiFile(const std::string& ext)
{
    return ext == ".DAT" || ext == ".TXT" || ext == ".CSV";
}

// import -w|-a|-n "folder\name1|name2...": ASCII files into worksheets. -w fills the active
// worksheet (its data replaced), -a adds the rows after the active worksheet's rows, -n
// makes a new worksheet; without an active worksheet a new one is made. Each file after
// the first goes into a worksheet of its own.
bool ImportFiles(char mode, const std::string& list, std::string* error)
{
    std::vector<std::string> paths;
    size_t slash = list.find_last_of("\\/", list.find('|'));
    std::string folder = slash == std::string::npos ? std::string() : list.substr(0, slash + 1);
    for (size_t a = 0;;) {
        size_t b = list.find('|', a);
        std::string name = list.substr(a, b == std::string::npos ? std::string::npos : b - a);
        if (!name.empty())
            paths.push_back(paths.empty() ? name : folder + name);
        if (b == std::string::npos)
            break;
        a = b + 1;
    }
    if (paths.empty()) {
        *error = "open: no file name";
        return false;
    }
    CQKProject& project = qkfxGetProject();
    CQKAccess* access = qkfxGetAccess();
    QKAsciiImportOptions options = qkfxGetAsciiImportOptions();
    options.append = mode == 'a';
    for (size_t i = 0; i < paths.size(); ++i) {
        CQKWksPage* wks = nullptr;
        if (i == 0 && mode != 'n')
            wks = dynamic_cast<CQKWksPage*>(ActivePage());
        bool made = wks == nullptr;
        if (made) {
            wks = static_cast<CQKWksPage*>(project.CreatePage(QK_PAGE_WKS));
            if (wks == nullptr) {
                *error = "open: no worksheet can be made";
                return false;
            }
            // A new worksheet holds just the file's columns.
            while (wks->GetNumCols() > 0)
                wks->DeleteColumn(wks->GetNumCols());
        }
        QKAsciiImportResult result;
        bool ok = qkImportAsciiWithProgress(wks, paths[i], options, &result);
        qkfxGetCallLog().Add("import ascii", paths[i] + " " + std::to_string(result.rows) + " " +
                                                 std::to_string(result.columns));
        if (!ok) {
            if (made)
                wks->Destroy();
            *error = "\"" + paths[i] + "\" was not imported: " + result.error;
            return false;
        }
        if (made)
            access->OnInternalNewPage(wks, TRUE);
        else
            ShowChanged(wks);
        if (result.cancelled) {
            access->DoMessageBox(("The import of \"" + paths[i] + "\" was cancelled: the first " +
                                  std::to_string(result.rows) + " rows were read and are kept.")
                                     .c_str(),
                                 MB_OK | MB_ICONINFORMATION);
            return true;
        }
        if (!result.error.empty())
            access->DoMessageBox(("\"" + paths[i] + "\": " + result.error + ".").c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
    return true;
}

// A file that cannot be read or written: the user sees why in the program's message box,
// and the script stops with the same words.
bool FileFailure(const std::string& text, std::string* error)
{
    CQKAccess* access = qkfxGetAccess();
    if (access->GetMainFrame() != nullptr && IsWindow(access->GetMainFrame()))
        access->DoMessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
    *error = text;
    return false;
}

// open [-a] <file>: what File Open (with -a, Append) does with the file the user chose, by
// its kind: a project replaces the open one (-a: joins it), a window file or template adds
// its window, a script opens in the script window.
bool Open(const std::vector<std::string>& args, std::string* error)
{
    bool append = args.size() == 2 && Same(args[0], "-a");
    if (args.size() != (append ? 2u : 1u)) {
        *error = "open needs one file name (open [-a] file)";
        return false;
    }
    const std::string& path = args.back();
    std::string ext = Upper(CQKPath(path.c_str()).GetExtension());
    if (IsAsciiFile(ext) && !append)
        return ImportFiles('n', path, error);
    CQKAccess* access = qkfxGetAccess();
    qkfxGetCallLog().Add(append ? "open -a" : "open", path);
    std::string why;
    if (ext == ".QPK" && !append) {
        if (!qkInstallPackage(path, &why))
            return FileFailure(why, error);
        return true;
    }
    if (ext == ".QPJ") {
        if (!qkfxOpenProject(path, append, &why))
            return FileFailure(why, error);
        return true;
    }
    static const char* const kWindowFiles[] = {".QGW", ".QGG", ".QGM", ".QGL", ".QTW", ".QTP", ".QTM"};
    for (const char* e : kWindowFiles)
        if (ext == e) {
            CQKPage* page = qkfxReadPage(path, std::string(), std::string(), &why);
            if (!page)
                return FileFailure(why, error);
            if (ext.compare(0, 3, ".QT") == 0)
                page->SetTemplateName(path);
            access->OnInternalNewPage(page, TRUE);
            return true;
        }
    if (ext == ".XLS" && !append) {
        // A workbook opens in a workbook window, which tells the user why when it cannot.
        if (access->OpenWorkbookFile(path.c_str()) < 0) {
            *error = "open: a workbook opens only in the program's workbook windows";
            return false;
        }
        return true;
    }
    if (ext == ".QGS") {
        // A script opens in the script window, where its lines can be read and run.
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            *error = "cannot open the script file \"" + path + "\"";
            return false;
        }
        std::string text;
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
            text.append(buffer, got);
        CloseHandle(file);
        CQKScriptWindow* window = access->GetScriptWindow();
        if (!window->Show(true)) {
            *error = "the script window cannot be opened";
            return false;
        }
        // The edit control wants CR LF line ends.
        std::string lines;
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
                lines += '\r';
            lines += text[i];
        }
        SetWindowTextA(window->GetEditHwnd(), lines.c_str());
        return true;
    }
    access->DoMessageBox(("\"" + path + "\" is not a file this program can open.").c_str(), MB_OK | MB_ICONEXCLAMATION);
    return true;
}

// doc -n: a new, empty project; every window closes with its page. A modified project
// asks first whether to save it: Yes saves (a save that does not happen keeps the project),
// No closes it as it is, Cancel keeps it. Without a main window there is no one to ask,
// and the project closes.
bool NewProject(std::string* error)
{
    CQKAccess* access = qkfxGetAccess();
    CQKProject& project = qkfxGetProject();
    if (project.IsModified() && project.GetNumPages() > 0) {
        int answer = access->DoMessageBox("Save changes to the project?", MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDYES && !qkSaveProject(false, error)) {
            if (!error->empty())
                access->DoMessageBox(error->c_str(), MB_OK | MB_ICONEXCLAMATION);
            *error = "the project stays open";
            return false;
        }
        if (answer == IDCANCEL) {
            *error = "the project stays open";
            return false;
        }
    }
    access->BeginClosingAll(0);
    project.New();
    access->EndClosingAll(0);
    return true;
}

// The Save As box for the file types of a group, proposing `path`: 1 chosen, 0 cancelled,
// -1 when there is no one to ask (no main window).
int AskFileToSave(const char* group, const char* title, std::string& path)
{
    std::string filter, folder, error;
    BuildFilter({group}, &filter, &folder, &error);
    int answer = qkfxGetAccess()->GetFileToSave(filter, title, path);
    return answer > 0 && path.empty() ? 0 : answer;
}

const char kNameTheFile[] = "there is no main window to ask for the file in: name it";

bool HasExtension(const std::string& path)
{
    size_t dot = path.find_last_of('.'), slash = path.find_last_of("\\/");
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

// save [file]: the project, to its own file (asking for one when it has none); save -a:
// under a new name the user gives; save -w|-t <window> [file]: a window file or a
// template, asking for the file when none is given. Cancelling a name saves nothing.
bool Save(const std::vector<std::string>& args, std::string* error)
{
    CQKProject& project = qkfxGetProject();
    std::string why;
    if (!args.empty() && (Same(args[0], "-w") || Same(args[0], "-t"))) {
        bool templ = Same(args[0], "-t");
        if (args.size() < 2 || args.size() > 3) {
            *error = "save " + args[0] + " takes a window and a file";
            return false;
        }
        CQKPage* page = project.FindPage(args[1]);
        if (!page) {
            *error = "save: there is no window \"" + args[1] + "\"";
            return false;
        }
        std::string ext;
        if (templ)
            qkfxGetQrxTemplateFileExtension(page->GetType(), ext);
        else
            ext = qkfxWindowFileExtension(page->GetType());
        if (ext.empty())
            return FileFailure("cannot save " + page->GetName() + ": it is a kind of window that has no " +
                                   (templ ? "templates" : "window files"),
                               error);
        std::string path;
        if (args.size() == 3) {
            path = args[2];
        } else {
            // The proposal: the window's own file, or its name in the template folder.
            std::string folder = qkfxGetQrxSystem().GetRefPath().GetTemplate();
            if (!folder.empty() && folder.back() != '\\')
                folder += "\\";
            std::string base = templ && !page->GetTemplateName().empty() ? page->GetTemplateName() : page->GetName();
            base = base.substr(base.find_last_of("\\/:") + 1);
            if (HasExtension(base))
                base = base.substr(0, base.find_last_of('.'));
            path = !templ && !page->GetFullPathFileName().empty() ? page->GetFullPathFileName()
                                                                  : (templ ? folder : "") + base + ext;
            int asked = AskFileToSave(templ ? "TEMPLATE" : "Window", templ ? "Save Template As" : "Save Window As", path);
            if (asked < 0) {
                *error = std::string("save: ") + kNameTheFile;
                return false;
            }
            if (asked == 0) {
                qkfxGetCallLog().Add("save: cancelled", page->GetName());
                return true;
            }
        }
        if (!HasExtension(path))
            path += ext;
        if (!qkfxSavePage(page, path, templ, &why))
            return FileFailure(why, error);
        return true;
    }
    if (!args.empty() && Same(args[0], "-n")) {
        // save -n notes [proposal]: the notes' text, as its bytes, to the file the user names
        // in the Save As box, which proposes the given name, else the notes' own file or name.
        auto* notes = args.size() >= 2 ? dynamic_cast<CQKNotesPage*>(project.FindPage(args[1])) : nullptr;
        if (args.size() < 2 || args.size() > 3 || notes == nullptr) {
            *error = "save -n takes a notes window and a proposed file";
            return false;
        }
        std::string path = args.size() == 3 && !args[2].empty() ? args[2]
                           : !notes->GetFullPathFileName().empty() ? notes->GetFullPathFileName()
                                                                   : notes->GetName();
        if (!HasExtension(path))
            path += ".txt";
        int asked = AskFileToSave("ASCII", "Save Notes As", path);
        if (asked < 0) {
            *error = std::string("save -n: ") + kNameTheFile;
            return false;
        }
        if (asked == 0) {
            qkfxGetCallLog().Add("save: cancelled", notes->GetName());
            return true;
        }
        std::vector<BYTE> bytes(notes->m_text.begin(), notes->m_text.end());
        if (!qkWriteFileSafely(path, bytes, &why))
            return FileFailure("The notes " + notes->GetName() + " were not saved to \"" + path + "\": " + why, error);
        notes->SetFullPathFileName(path.c_str());
        return true;
    }
    bool ask = args.size() == 1 && Same(args[0], "-a");
    if (args.size() > 1 || (args.size() == 1 && !ask && args[0][0] == '-')) {
        *error = "save knows [file], -a, -w <window> [file] and -t <window> [file]";
        return false;
    }
    if (args.size() == 1 && !ask) {
        std::string path = args[0];
        if (!HasExtension(path))
            path += ".qpj";
        if (!qkfxSaveProject(path, &why))
            return FileFailure(why, error);
        return true;
    }
    if (!qkSaveProject(ask, &why)) {
        if (why.empty()) {
            qkfxGetCallLog().Add("save: cancelled", "");
            return true;
        }
        return FileFailure(why, error);
    }
    return true;
}

// doc -uw: every window of the project is drawn again.
void RedrawWindows()
{
    qkfxGetCallLog().Add("doc -uw", "");
    CQKProject& project = qkfxGetProject();
    for (int i = 0; i < project.GetNumPages(); ++i) {
        CQKPage* page = project.GetPage(i);
        HWND wnd = page->GetFrameWnd() ? page->GetFrameWnd() : page->GetDrawingWnd();
        if (wnd != nullptr && IsWindow(wnd))
            RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void CopyColumn(const CQKDataset& from, CQKDataset& to)
{
    to.m_label = from.m_label;
    to.SetFormat(from.m_format);
    to.m_subformat = from.m_subformat;
    to.m_width = from.m_width;
    to.m_type = from.m_type;
    for (int row = 0; row < from.GetEnd(); ++row) {
        if (from.IsText(row))
            to.SetText(row, from.GetText(row));
        else
            to.SetValue(row, from.GetValue(row));
    }
    to.SetRange(from.GetFirst(), from.GetEnd());
}

// win -d: a copy of the active worksheet, matrix or notes page under the kind's next free
// name, shown in a window of its own.
bool Duplicate(std::string* error)
{
    CQKPage* source = ActivePage();
    if (!CanDuplicate(source)) {
        *error = source ? "win -d: the window \"" + source->GetName() + "\" cannot be duplicated"
                        : "win -d: there is no active window";
        return false;
    }
    CQKProject& project = qkfxGetProject();
    CQKPage* copy = project.CreatePage(source->GetType());
    if (copy == nullptr) {
        *error = "win -d: no window can be made";
        return false;
    }
    copy->SetTemplateName(source->GetTemplateName());
    if (auto* wks = dynamic_cast<CQKWksPage*>(source)) {
        auto* target = static_cast<CQKWksPage*>(copy);
        while (target->GetNumCols() > 0)
            target->DeleteColumn(target->GetNumCols());
        for (int c = 1; c <= wks->GetNumCols(); ++c) {
            CQKDataset* column = target->AddColumn(wks->GetColumn(c)->m_columnName);
            if (column == nullptr) {
                *error = "win -d: cannot copy column " + wks->GetColumn(c)->m_columnName;
                return false;
            }
            CopyColumn(*wks->GetColumn(c), *column);
        }
        target->m_labelsShown = wks->m_labelsShown;
    } else if (auto* matrix = dynamic_cast<CQKMatrixPage*>(source)) {
        auto* target = static_cast<CQKMatrixPage*>(copy);
        target->SetDimensions(matrix->GetRows(), matrix->GetCols());
        for (int r = 1; r <= matrix->GetRows(); ++r)
            for (int c = 1; c <= matrix->GetCols(); ++c)
                target->SetCell(r, c, matrix->GetCell(r, c));
        target->m_x1 = matrix->m_x1;
        target->m_x2 = matrix->m_x2;
        target->m_y1 = matrix->m_y1;
        target->m_y2 = matrix->m_y2;
        target->m_dataFormat = matrix->m_dataFormat;
        target->m_numDisplay = matrix->m_numDisplay;
        target->m_digits = matrix->m_digits;
        target->m_columnWidth = matrix->m_columnWidth;
        target->m_internalType = matrix->m_internalType;
        target->m_expression = matrix->m_expression;
    } else if (auto* notes = dynamic_cast<CQKNotesPage*>(source)) {
        static_cast<CQKNotesPage*>(copy)->m_text = notes->m_text;
        static_cast<CQKNotesPage*>(copy)->m_wordWrap = notes->m_wordWrap;
    }
    qkfxGetCallLog().Add("win -d", source->GetName() + " " + copy->GetName());
    qkfxGetAccess()->OnInternalNewPage(copy, TRUE);
    return true;
}

} // namespace

const char* qkfxGetUnbuiltCommandArea(int id)
{
    for (const UnbuiltCommands& c : kUnbuilt)
        if (id >= c.first && id <= c.last)
            return c.area;
    return nullptr;
}

int CQKAccess::on_before_run_command(const char*, int id)
{
    if (qkfxGetUnbuiltCommandArea(id) != nullptr)
        return 0;
    if (id == kDuplicate && !CanDuplicate(ActivePage()))
        return 0;
    if (!GraphCommandReady(id))
        return 0;
    for (int print : kPrintCommands)
        if (id == print && !CanPrint(ActivePage()))
            return 0;
    // An empty, unchanged project: closing it would leave the same empty project.
    if (id == kCloseProject && qkfxGetProject().GetNumPages() == 0 && !qkfxGetProject().IsModified())
        return 0;
    if (id == kLastImport && TheLastImport().id == 0)
        return 0;
    // The worksheet's script and the conversions to a matrix work on the active worksheet,
    // the conversions on its values.
    for (int wksCommand : kWorksheetCommands) {
        if (id != wksCommand)
            continue;
        auto* wks = dynamic_cast<CQKWksPage*>(ActivePage());
        if (wks == nullptr || wks->GetType() != QK_PAGE_WKS)
            return 0;
        bool values = false;
        for (int c = 1; c <= wks->GetNumCols() && !values; ++c)
            values = wks->GetColumn(c)->GetEnd() > 0;
        if (id != kWorksheetScript && !values)
            return 0;
    }
    // The import fills the active worksheet.
    if (id == kImportKaleidagraph && (ActivePage() == nullptr || ActivePage()->GetType() != QK_PAGE_WKS))
        return 0;
    // The statistics describe the active worksheet's columns.
    if (id == kStatisticsOnColumns || id == kStatisticsOnRows) {
        auto* wks = dynamic_cast<CQKWksPage*>(ActivePage());
        if (wks == nullptr || wks->GetType() != QK_PAGE_WKS || wks->GetNumCols() == 0)
            return 0;
        // Statistics on rows need rows: a worksheet of empty columns has none to describe.
        bool rows = false;
        for (int c = 1; c <= wks->GetNumCols() && !rows; ++c)
            rows = wks->GetColumn(c)->GetEnd() > 0;
        if (id == kStatisticsOnRows && !rows)
            return 0;
    }
    // The view commands turn a 3D layer; rescaling, the full range and the quick fits need a
    // graph's layer with plots.
    const bool needsPlots =
        id == kRescale || id == kResetToFullRange || (id >= kQuickFitFirst && id <= kQuickFitLast);
    CQKGraphicLayer* layer = (id >= kRotateFirst && id <= kRotateLast) || needsPlots ? ActiveGraphLayer() : nullptr;
    if (id >= kRotateFirst && id <= kRotateLast && !(layer && layer->Is3DLayer()))
        return 0;
    if (needsPlots && !(layer && layer->GetNumPlots() > 0))
        return 0;
    return 1;
}

int CQKAccess::DoMessageBox(const char* text, UINT type)
{
    qkfxGetCallLog().Add("CQKAccess::DoMessageBox", text ? text : "");
    if (m_mainFrame == nullptr || !IsWindow(m_mainFrame)) {
        qkfxGetScript().Print(text ? text : "", 2);
        return IDOK;
    }
    return MessageBoxA(m_mainFrame, text ? text : "", "Quorix 6.1", type);
}

int CQKAccess::GetFileToOpen(const std::string& filter, std::string& path)
{
    qkfxGetCallLog().Add("GetFile", filter.substr(0, filter.find('\0')));
    std::string folder = path;
    path.clear();
    if (m_mainFrame == nullptr || !IsWindow(m_mainFrame))
        return 0;
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_mainFrame;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn))
        return 0;
    path = file;
    return 1;
}

int CQKAccess::GetFileToSave(const std::string& filter, const std::string& title, std::string& path)
{
    qkfxGetCallLog().Add("GetFileToSave", title);
    if (m_mainFrame == nullptr || !IsWindow(m_mainFrame)) {
        path.clear();
        return -1;
    }
    char file[MAX_PATH] = "";
    lstrcpynA(file, path.c_str(), MAX_PATH);
    // The default extension is the first type's ("*.qpj" gives "qpj").
    std::string pattern = filter.c_str() + strlen(filter.c_str()) + 1;
    std::string ext = pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 ? pattern.substr(2) : std::string();
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_mainFrame;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
    BOOL chosen = GetSaveFileNameA(&ofn);
    // A proposal in a folder that is not there makes the box refuse to open: propose the
    // file's name alone then.
    if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        std::string name = path.substr(path.find_last_of("\\/:") + 1);
        lstrcpynA(file, name.c_str(), MAX_PATH);
        chosen = GetSaveFileNameA(&ofn);
    }
    if (!chosen) {
        path.clear();
        return 0;
    }
    path = file;
    return 1;
}

int CQKAccess::GetFilesToOpen(const std::string& filter, const std::string& folder, std::vector<std::string>& paths)
{
    qkfxGetCallLog().Add("GetFile -m", filter.substr(0, filter.find('\0')));
    paths.clear();
    if (m_mainFrame == nullptr || !IsWindow(m_mainFrame))
        return 0;
    std::vector<char> files(65536, '\0');
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_mainFrame;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = files.data();
    ofn.nMaxFile = (DWORD)files.size();
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ALLOWMULTISELECT;
    if (!GetOpenFileNameA(&ofn))
        return 0;
    // One file: its full path. Several: the folder, then each name, each ended by a NUL.
    const char* p = files.data();
    std::string first = p;
    p += first.size() + 1;
    if (*p == '\0') {
        paths.push_back(first);
        return 1;
    }
    if (!first.empty() && first.back() != '\\')
        first += '\\';
    for (; *p != '\0'; p += strlen(p) + 1)
        paths.push_back(first + p);
    return 1;
}

bool qkSaveProject(bool askName, std::string* error)
{
    error->clear();
    std::string path = qkfxGetProject().GetProjectPath();
    if (askName || path.empty()) {
        if (path.empty())
            path = "Untitled.qpj";
        int asked = AskFileToSave("Project", "Save Project As", path);
        if (asked < 0)
            *error = std::string("the project has no file yet, and ") + kNameTheFile + " (save file)";
        if (asked <= 0)
            return false;
    }
    return qkfxSaveProject(path, error);
}

void qkNoteCommandRun(int id, const char* group, const char* commandString)
{
    for (int import : kImportCommands)
        if (id == import) {
            TheLastImport() = LastImport{id, group ? group : "", commandString ? commandString : ""};
            return;
        }
}

void qkfxAddScriptResource(const char* fileName, HMODULE module, int id)
{
    if (fileName != nullptr && module != nullptr)
        ScriptResources()[Upper(fileName)] = ScriptResource{module, id};
}

bool qkFindScriptResource(const std::string& fileName, std::string* text)
{
    auto it = ScriptResources().find(Upper(fileName));
    if (it == ScriptResources().end())
        return false;
    HRSRC found = FindResourceA(it->second.module, MAKEINTRESOURCEA(it->second.id), "SCRIVEX");
    HGLOBAL loaded = found ? LoadResource(it->second.module, found) : nullptr;
    const char* data = loaded ? (const char*)LockResource(loaded) : nullptr;
    if (data == nullptr)
        return false;
    text->assign(data, SizeofResource(it->second.module, found));
    return true;
}

namespace {

bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && written;
}

// The page drawn at the screen's resolution into a 24-bit bitmap file.
bool ExportBitmap(CQKGraphPage& page, const std::string& path, std::string* why)
{
    double inchesW = 0, inchesH = 0;
    page.GetPageSizeInches(inchesW, inchesH);
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX), dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int w = std::max(1, (int)(inchesW * dpiX + 0.5)), h = std::max(1, (int)(inchesH * dpiY + 0.5));
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h; // bottom-up, as bitmap files store their rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    bi.bmiHeader.biXPelsPerMeter = (LONG)(dpiX / 0.0254 + 0.5);
    bi.bmiHeader.biYPelsPerMeter = (LONG)(dpiY / 0.0254 + 0.5);
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = dc ? CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!bmp) {
        if (dc)
            DeleteDC(dc);
        *why = qkFormatText("there is not enough memory for a picture of %d x %d pixels", w, h);
        return false;
    }
    HGDIOBJ old = SelectObject(dc, bmp);
    const RECT all = {0, 0, w, h};
    const BOOL drawn = qkDrawGraphPage(page, dc, all, true);
    GdiFlush();
    const size_t stride = ((size_t)w * 3 + 3) & ~(size_t)3, image = stride * h;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof file + sizeof bi.bmiHeader;
    file.bfSize = (DWORD)(file.bfOffBits + image);
    bi.bmiHeader.biSizeImage = (DWORD)image;
    std::vector<BYTE> bytes((const BYTE*)&file, (const BYTE*)&file + sizeof file);
    bytes.insert(bytes.end(), (const BYTE*)&bi.bmiHeader, (const BYTE*)&bi.bmiHeader + sizeof bi.bmiHeader);
    bytes.insert(bytes.end(), (const BYTE*)bits, (const BYTE*)bits + image);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    if (!drawn) {
        *why = "the page could not be drawn";
        return false;
    }
    if (!WriteBytes(path, bytes)) {
        *why = "cannot write " + path;
        return false;
    }
    return true;
}

// export -p [file]: the active graph or layout page as a picture, an enhanced metafile
// (.emf) or a bitmap (.bmp) by the file's extension; without a file the user names one.
void ExportPage(const std::vector<std::string>& args, std::string* error)
{
    auto* page = dynamic_cast<CQKGraphPage*>(ActivePage());
    if (!page) {
        *error = "export -p: the active window is no graph or layout";
        return;
    }
    std::string path = args.size() == 2 ? args[1] : page->GetName();
    if (args.size() < 2) {
        static const char kFilter[] = "Enhanced Metafile (*.emf)\0*.emf\0Bitmap (*.bmp)\0*.bmp\0";
        const int asked = qkfxGetAccess()->GetFileToSave(std::string(kFilter, sizeof kFilter), "Export Page", path);
        if (asked < 0) {
            *error = std::string("export -p: ") + kNameTheFile;
            return;
        }
        if (asked == 0 || path.empty()) {
            qkfxGetCallLog().Add("export -p: cancelled", page->GetName());
            return;
        }
    }
    if (!HasExtension(path))
        path += ".emf";
    const std::string ext = path.substr(path.find_last_of('.'));
    std::string why;
    if (Same(ext, ".emf")) {
        // An exported page is the whole page, like its bitmap; the margin control is Copy Page's.
        HENHMETAFILE emf = page->CreateEMFEx(nullptr, QK_EMF_WHOLE_PAGE);
        HENHMETAFILE copy = emf ? CopyEnhMetaFileA(emf, path.c_str()) : nullptr;
        if (!emf)
            why = "the page could not be drawn";
        else if (!copy)
            why = "cannot write " + path;
        if (copy)
            DeleteEnhMetaFile(copy);
        if (emf)
            DeleteEnhMetaFile(emf);
    } else if (Same(ext, ".bmp")) {
        ExportBitmap(*page, path, &why);
    } else {
        why = "\"" + ext + "\" is no picture type the page exports to: use .emf or .bmp";
    }
    if (!why.empty()) {
        *error = "export -p: " + why;
        return;
    }
    qkfxGetCallLog().Add("export -p", page->GetName() + " " + path);
}

} // namespace

bool qkRunApplicationCommand(const std::string& word, const std::vector<std::string>& args, std::string* error)
{
    if (word == "getfile") {
        GetFile(args, error);
        return true;
    }
    if (word == "open") {
        Open(args, error);
        return true;
    }
    if (word == "export" && args.size() == 2 && Same(args[0], "-w")) {
        // export -w file: the active worksheet as ASCII, as the import options read it back.
        CQKWksPage* wks = dynamic_cast<CQKWksPage*>(ActivePage());
        if (wks == nullptr)
            *error = "export -w: the active window is no worksheet";
        else if (qkfxExportAscii(wks, args[1], qkfxGetAsciiImportOptions(), error))
            qkfxGetCallLog().Add("export -w", args[1]);
        return true;
    }
    if (word == "export" && !args.empty() && args.size() <= 2 && Same(args[0], "-p")) {
        ExportPage(args, error);
        return true;
    }
    if (word == "getnumber") {
        if (args.size() != 2)
            *error = "getnumber needs a prompt and a variable name";
        else
            qkAskNumber(args[0], args[1], error);
        return true;
    }
    if (word == "import" && args.size() == 1 && Same(args[0], "-l")) {
        const LastImport last = TheLastImport();
        if (last.id == 0)
            *error = "import -l: no import has been run yet; choose one from File > Import first";
        else
            qkfxGetAccess()->run_resurce_string_ex(last.group.c_str(), last.command.c_str(), nullptr);
        return true;
    }
    if (word == "import" && args.size() == 1 && Same(args[0], "-o")) {
        qkAsciiImportOptionsDialog(error);
        return true;
    }
    if (word == "import" && args.size() == 2 && args[0].size() == 2 && args[0][0] == '-' &&
        strchr("wanWAN", args[0][1])) {
        ImportFiles((char)tolower((unsigned char)args[0][1]), args[1], error);
        return true;
    }
    if (word == "save") {
        Save(args, error);
        return true;
    }
    if (word == "print") {
        Print(args, error);
        return true;
    }
    if (word == "doc" && args.size() == 1 && Same(args[0], "-n")) {
        NewProject(error);
        return true;
    }
    if (word == "doc" && args.size() == 1 && Same(args[0], "-uw")) {
        RedrawWindows();
        return true;
    }
    if (word == "win" && args.size() == 1 && Same(args[0], "-d")) {
        Duplicate(error);
        return true;
    }
    return false;
}
