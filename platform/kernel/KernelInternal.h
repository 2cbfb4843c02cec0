// Declarations shared by the kernel's own source files; not part of its interface.
#pragma once

#include <math.h>

#include "QKDefs.h"
#include "QmHost.h"

#include <map>

// Calls one operation of a plug-in script object (qfit, Stat, fum, ...), loading its
// library on first use. Returns the entry's answer (0 not a member, 1 handled, 2 not
// handled) or -1 when the object cannot be reached, with the reason in *error. For the
// answer 2, *error holds the reason the plug-in gave (HOST_FAILURE_REASON), or "".
int qkCallPluginObject(const std::string& object, const char* methodName, const char* name,
                       int op, void* result, std::string* error);
// A script object's entry, found (and its library loaded) once, for a caller that calls it
// many times: qkCallBoundPlugin answers as qkCallPluginObject does. Not for "system".
struct QKPluginEntry {
    FARPROC proc = nullptr;
    int kind = 0;
};
bool qkBindPluginObject(const std::string& object, QKPluginEntry* entry, std::string* error);
int qkCallBoundPlugin(const QKPluginEntry& entry, const char* methodName, const char* name, int op,
                      void* result, std::string* error);
bool qkIsPluginObject(const std::string& name);
// The names of all script objects the kernel knows, its own and the plug-ins'.
std::vector<std::string> qkGetPluginObjectNames();

// The hidden window that stands for the host: plug-ins send it script text as WM_USER
// messages, and the fitter keys its sessions by its thread.
HWND qkGetHostWindow();

INT_PTR WINAPI qkFitterHostCallback(HWND context, UINT request, INT_PTR a, INT_PTR b);
INT_PTR WINAPI qkFrameworkHostCallback(HWND context, UINT request, INT_PTR a, INT_PTR b);

// Deletes the temporary datasets plug-ins made during the call that is ending.
void qkBeginPluginCall();
void qkEndPluginCall();
void qkAddTemporary(INT_PTR datasetHandle);
// HOST_FAILURE_REASON: keeps the first reason given during the plug-in call in progress.
void qkSetFailureReason(const std::string& text);

// The stop request (Ctrl+C in the console host); loops of scripts end on it.
bool qkIsAbortRequested();

std::string qkGetProgramFolder();
std::string qkGetIniFolder();

// Packed files (.qpk). qkPackFiles reads a list (the package's path, then one file a line,
// each relative to the list's folder or absolute) and writes the package. qkInstallPackage
// puts a package's files into the user's settings folder and runs its setup script;
// qkUndoPackageInstall, called by that script (qpack.undo), puts the folder back as it was
// and is false when no setup is running.
bool qkPackFiles(const std::string& listName, std::string* error);
bool qkInstallPackage(const std::string& path, std::string* error);
bool qkUndoPackageInstall();

std::string qkTrim(const std::string& text);

// The script language's exp (ScriptMath.cpp) and ^, shared by the interpreter and the
// compiled form.
double qkExp(double x);
// qxPow (QxPow.h): within about 0.52 ulp where pow takes a logarithm and an exponential (a
// positive base to a power that is neither an integer nor one half), several times faster
// than the runtime's; the runtime's pow for everything else (ScriptMath.cpp).
double qkPowGeneral(double a, double b);
// A square is one rounding, as exact as pow gives it. A cube and an inverse square are
// products (two roundings, within about an ulp of pow): polynomial and rational models
// raise every row to them, and the library's pow costs tens of times more. Everything
// else is qkPowGeneral's. Inline, so that compiled code raising a block of rows to a
// constant power keeps the products in the loop.
inline double qkPow(double a, double b)
{
    if (b == 2)
        return a * a;
    if (b == 3)
        return a * a * a;
    if (b == -2)
        return 1 / (a * a);
    return qkPowGeneral(a, b);
}
// Splits at blanks; a double-quoted text is one word, without its quotes. False when a
// quote is not closed (the words up to it are kept).
bool qkSplitWords(const std::string& text, std::vector<std::string>* words);
// Splits a function's arguments at the commas outside brackets and double quotes, each
// trimmed; none for a blank text.
std::vector<std::string> qkSplitArgs(const std::string& text);

// Shortest text that reads back as the same double, with at most `digits` significant
// digits; "--" for the missing value.
std::string qkFormatNumber(double value, int digits = 15);
// A number as a table cell shows it: sub-format 0 decimal (scientific beyond the options'
// thresholds), 1 scientific, 2 engineering, 3 decimal with digit groups, in `digits`
// significant digits or, for decimal forms with places >= 0, that many decimal places; with
// the options' separators.
std::string qkFormatCellNumber(double value, int subformat, int digits, int places = -1);
// A number as the user types it: the options' decimal character, digit groups allowed.
bool qkParseTypedNumber(const std::string& text, double* value);
std::string qkTrimBlanks(const std::string& s);
// printf into a string of at most 255 characters, for the call log and object descriptions.
std::string qkFormatText(const char* format, ...);

// Deletes the system object (the access object's Uninit); the next use makes a new one.
void qkDeleteQrxSystem();
class QKSettingsExchange;
// The defaults of new text labels (SetDefault) to or from the property settings.
void qkExchangeTextDefaults(QKSettingsExchange& ex);
// One operation of the plug-in protocol on the system object; its answers are the
// protocol's.
int qkCallSystemObject(const char* methodName, const char* name, int op, void* result);

// Whether the plot-type table knows the type (QKPlotObjects.cpp).
bool qkIsKnownPlotType(int type);

class CQKScript;
// The graph commands of the script language (GraphCommands.cpp): `worksheet -p`,
// `matrix -p`, `layer`, `set`, `label` and `axis`, given their argument words. false with
// the reason in *error.
bool qkRunGraphCommand(CQKScript& script, const std::string& command, const std::vector<std::string>& words,
                       std::string* error);
// The object and masking commands of the script language (GraphEdit.cpp): `draw` and
// `mask` on the active graph. false with the reason in *error.
bool qkRunObjectCommand(const std::string& command, const std::vector<std::string>& words, std::string* error);
// The datasets plotted in any graph, each once, in page, layer and plot order (doc -e D).
std::vector<std::string> qkListPlottedDatasets();

class CQKContourPlotObj;
// A contour plot node of the 3D library (PlotHost.cpp); null with the reason in *error
// when the library cannot be loaded.
CQKContourPlotObj* qkCreateContourPlot(std::string* error);
// Fills an empty contour grid from the matrix the plot draws, each node on the colour
// map's scale (missing values at its missing value); false when there is nothing to fill
// it from.
bool qkFillContourGrid(CQKContourPlotObj* plot);

// After a page or column was renamed, every plot names its datasets and matrix as they
// are now called (PlotModel.cpp).
void qkRefreshPlotNames();
// Writes the file beside the old one and moves it into place only when it is whole: a
// failure leaves the old file as it was (the project's backup setting applies).
bool qkWriteFileSafely(const std::string& path, const std::vector<BYTE>& bytes, std::string* error);
// A matrix page is going: the plots that draw it go from every layer.
void qkRemovePlotsOfPage(INT_PTR page);

// The plug-ins' named memory blocks and saved texts (the database plug-in's queries),
// by upper-cased name (HostServices.cpp); project files keep them.
std::map<std::string, std::vector<BYTE>> qkGetHostBlocks();
// false when the block is in use and would change size (it keeps its contents then).
bool qkSetHostBlock(const std::string& name, const std::vector<BYTE>& bytes);
// Removes the blocks no plug-in holds.
void qkClearHostBlocks();
std::map<std::string, std::string>& qkSavedTexts();

class CArchive;
// The bytes of one window file from an archive (ProjectFile.cpp): its header says how many
// follow. false with the reason in *error.
bool qkReadPageBytes(CArchive* archive, std::vector<BYTE>& bytes, std::string* error);
// The name and kind of the one window that window-file bytes hold, without making it.
bool qkPeekPage(const std::vector<BYTE>& bytes, std::string& name, int& type, std::string* error);

// The script commands of the program's own script files (GetFile, open, doc -n, doc -uw,
// win -d): true when `word` with `args` is one of them; a failure leaves its message in
// *error.
// The ASCII import as the user starts it: a box shows its progress, with Cancel, when the
// file is large and there is a main window.
struct QKAsciiImportOptions;
struct QKAsciiImportResult;
class CQKWksPage;
bool qkImportAsciiWithProgress(CQKWksPage* wks, const std::string& path, const QKAsciiImportOptions& options,
                               QKAsciiImportResult* result);

// A command string of menu command `id` is about to run: the imports are remembered for
// Import using last-used method (import -l).
void qkNoteCommandRun(int id, const char* group, const char* commandString);

// import -o: the ASCII Import Options dialog over the main window (recorded without one).
bool qkAsciiImportOptionsDialog(std::string* error);
// getnumber "prompt" var: asks for a number over the main window, the variable's value
// shown first; OK sets the variable, Cancel sets it to the missing value. Without a main
// window the variable stays as it is (recorded).
bool qkAskNumber(const std::string& prompt, const std::string& variable, std::string* error);
// A list of window names over the main window: the index chosen, -2 when cancelled, -1
// with the reason in *error when it cannot ask (no main window).
int qkPickWindow(const std::string& title, const std::vector<std::string>& names, std::string* error);

bool qkRunApplicationCommand(const std::string& word, const std::vector<std::string>& args, std::string* error);
// The text of a script file the program carries as a resource; false when it carries none
// of that name.
bool qkFindScriptResource(const std::string& fileName, std::string* text);

// Saves the project to its file, asking for one in the Save As box when it has none or
// when `askName` (Commands.cpp). false when it was not saved: *error says why, or is
// empty when the user cancelled the name.
bool qkSaveProject(bool askName, std::string* error);

// Places a layer's frame inside a cell of its page (fractions of the page), leaving room
// for the axes' labels and titles; the layer's units become percent of the page.
class CQKGraphicLayer;
void qkPlaceLayerInCell(CQKGraphicLayer& layer, double left, double top, double width, double height);
// The layers whose X axis is linked 1 to 1 to this layer's take its X range and scale type.
void qkFollowLinkedAxes(CQKGraphicLayer& layer);

// Graph templates of worksheet -p: the names of the built-in graphs of several layers and
// statistical charts, and graph template files (a path, or a name in the template folder).
struct QKPlotWord;
class CQKDataset;
class CQKGraphPage;
bool qkIsGraphTemplate(const std::string& templ);
// Plots the columns into a new graph of the template with the word's kind; null with the
// reason in *error, nothing left behind. The charts' worksheets of worked-out values are
// shown; the graph is the active page.
CQKGraphPage* qkPlotIntoTemplate(const std::string& templ, const QKPlotWord& word,
                                 const std::vector<CQKDataset*>& columns, std::string* error);
