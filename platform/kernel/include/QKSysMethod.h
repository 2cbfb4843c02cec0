// The settings objects: one object per topic with Get and Set pairs, handed out by the
// system object CQKQrxSystem, which is also the script object `system`. Values live for
// the session; the options sheet of the user interface edits them, and the system object
// saves them as the startup options and reads them back.
#pragma once

#include "QKDefs.h"
#include "QKObjects.h"

// Each settings object lists its integer settings once, with their defaults; the list
// makes the Get and Set pair, the member and the exchange with the settings store (key =
// the name). Settings of other types are written out by hand beside the list.
#define QK_INT_SETTING_ACCESSORS(Name, def) \
    int Get##Name() const { return m_##Name; } \
    void Set##Name(int v) { m_##Name = v; }
#define QK_INT_SETTING_EXCHANGE(Name, def) ex.Int(#Name, m_##Name);
#define QK_INT_SETTING_FIELD(Name, def) int m_##Name = def;
#define QK_INT_SETTINGS(LIST) \
public: \
    LIST(QK_INT_SETTING_ACCESSORS) \
    void ExchangeInts(QKSettingsExchange& ex) { LIST(QK_INT_SETTING_EXCHANGE) } \
private: \
    LIST(QK_INT_SETTING_FIELD) \
public:

// Calculation settings the interpreter uses.
class QK_API QKSysMethodMath {
public:
    // 0 radians, 1 degrees, 2 gradians: the unit of the trigonometric functions.
    int GetAngularUnits() const { return m_angularUnits; }
    void SetAngularUnits(int units) { m_angularUnits = units >= 0 && units <= 2 ? units : 0; }
    void Exchange(QKSettingsExchange& ex)
    {
        ex.Int("AngularUnits", m_angularUnits);
        SetAngularUnits(m_angularUnits);
    }

private:
    int m_angularUnits = 0;
};

// How numbers are shown: at or beyond the threshold powers of ten in scientific notation.
// Separators: 0 the system's, 1 "1,000.0", 2 "1.000,0", 3 "1 000,0", 4 "1'000.0".
#define QK_NUMERIC_SETTINGS(X) X(UpperThreshold, 6) X(LowerThreshold, -3) X(NumDecDigits, 6) X(Separators, 0)
class QK_API QKSysMethodNumeric {
    QK_INT_SETTINGS(QK_NUMERIC_SETTINGS)
};

// Ticks and their labels; gaps in percent of the label font size, colours as colour
// indices of the kernel's colour table.
#define QK_TICK_SETTINGS(X) \
    X(MaxNumeric, 12) X(MaxText, 12) X(GapLabelToInside, 70) X(GapLabelToOutside, 70) \
    X(GapLabelToAxisTitle, 100) X(LabelColor, 0) X(MinorLength, 50) X(LogScale1As10E, 0)
class QK_API QKSysMethodTick {
    QK_INT_SETTINGS(QK_TICK_SETTINGS)
};

#define QK_AXIS_SETTINGS(X) X(Color, 0)
class QK_API QKSysMethodAxis {
    QK_INT_SETTINGS(QK_AXIS_SETTINGS)
public:
    // In points.
    double GetWidth() const { return m_width; }
    void SetWidth(double v) { m_width = v; }
    void Exchange(QKSettingsExchange& ex)
    {
        ExchangeInts(ex);
        ex.Real("Width", m_width);
    }

private:
    double m_width = 1.5;
};

// The seven dash definitions: lengths of dashes and gaps, in points, separated by blanks.
#define QK_DASH_SETTINGS(X) X(SoftInPgView, 1) X(ScaleByWidth, 1)
class QK_API QKSysMethodDash {
    QK_INT_SETTINGS(QK_DASH_SETTINGS)
public:
    enum { NUM_DEFINITIONS = 7, MAX_DEFINITION = 20 };
    // Index 1 to 7; an empty text for any other.
    std::string GetDefinition(int index) const;
    // False for an index outside 1 to 7; the text is cut to MAX_DEFINITION characters.
    bool SetDefinition(int index, const std::string& text);
    void Exchange(QKSettingsExchange& ex);

private:
    std::string m_definitions[NUM_DEFINITIONS] = {"12 6", "3 3", "12 6 3 6", "12 6 3 6 3 6",
                                                  "6 6", "2 4", "6 4 2 4"};
};

// Symbols: the gap between a line and a symbol, the border width, in percent of the size.
#define QK_SYMBOL_SETTINGS(X) X(LineGap, 10) X(BorderWidth, 10)
class QK_API QKSysMethodSymbol {
    QK_INT_SETTINGS(QK_SYMBOL_SETTINGS)
};

// Graphs. The default symbol fill colour is a colour index (17 white). The default plot type is a plot command id (33248 scatter, 33249 line, 33250
// line and symbol, 33280 the current tool's type). Close prompts: 0 hide without a
// prompt, 1 prompt, 2 delete without a prompt.
#define QK_GRAPH_SETTINGS(X) \
    X(ClosePrompt, 1) X(LayoutClosePrompt, 1) X(DefaultFillColor, 17) X(HatchGap, 20) X(HatchWidth, 0) \
    X(BarShowZero, 0) X(Log1IsFloor, 0) X(PercInterp, 1) X(BisectionSearchPts, 500) X(DefaultPlotType, 33249)
class QK_API QKSysMethodGraph {
    QK_INT_SETTINGS(QK_GRAPH_SETTINGS)
public:
    int HasAlphaChar() const { return m_alphaChar; }
    void SetAlphaChar(int v) { m_alphaChar = v ? 1 : 0; }
    // Balloon help is always on in this version.
    int GetBalloonHelp() const { return 1; }
    std::string GetDefaultImportPlotXY() const { return m_importPlotXY; }
    void SetDefaultImportPlotXY(const std::string& v) { m_importPlotXY = v; }
    const std::string& GetDefaultTemplate() const { return m_defaultTemplate; }
    void SetDefaultTemplate(const std::string& v) { m_defaultTemplate = v; }
    void Exchange(QKSettingsExchange& ex)
    {
        ExchangeInts(ex);
        ex.Int("AlphaChar", m_alphaChar);
        ex.Text("DefaultImportPlotXY", m_importPlotXY);
        ex.Text("DefaultTemplate", m_defaultTemplate);
    }

private:
    int m_alphaChar = 0;
    std::string m_importPlotXY = "Line";
    std::string m_defaultTemplate = "Quorix";
};

class QK_API QKSysMethodMatrix {
public:
    const std::string& GetDefaultTemplate() const { return m_defaultTemplate; }
    void SetDefaultTemplate(const std::string& v) { m_defaultTemplate = v; }
    void Exchange(QKSettingsExchange& ex) { ex.Text("DefaultTemplate", m_defaultTemplate); }

private:
    std::string m_defaultTemplate = "Quorix";
};

// Text labels: fonts by index of the kernel's font table, size in points.
#define QK_FONT_SETTINGS(X) X(LabelName, 0) X(GreekName, 0) X(LabelColor, 0) X(LabelSize, 22) X(Default, 0)
class QK_API QKSysMethodFont {
    QK_INT_SETTINGS(QK_FONT_SETTINGS)
};

// Printing and the text layout of labels; spacing, sizes and offsets in percent, scale
// factors in thousandths. The print dialog's choices are kept here between print jobs:
// gray scale on black-and-white printers (KeepDevColor), thinning of worksheet and
// matrix data, simplified colours on colour printers.
#define QK_PRINT_SETTINGS(X) \
    X(FontUseBaseline, 1) X(PageViewWYSIWYG, 1) X(LineSpace, 20) X(SubSize, 60) X(SubOffset, 20) \
    X(SupOffset, 40) X(TabSize, 8) X(XScaleFactor, 1000) X(YScaleFactor, 1000) X(KeepDevColor, 0) \
    X(SkipPlotPoint, 0) X(MaxPlotPoints, 0) X(UseSimplifiedColorsOnColorPrinter, 0) X(MatrixSkipPoints, 0) \
    X(MatrixXMaxPlotPoints, 32) X(MatrixYMaxPlotPoints, 32)
class QK_API QKSysMethodPrint {
    QK_INT_SETTINGS(QK_PRINT_SETTINGS)
};

// Copying a page to the clipboard. Closeness: 0 border, 1 tight, 2 page. PutEMF: the
// enhanced metafile goes to the clipboard beside the metafile picture.
#define QK_COPYPAGE_SETTINGS(X) X(Ratio, 100) X(Closeness, 0) X(ClipBorderWidth, 5) X(PutEMF, 1)
class QK_API QKSysMethodCopyPage {
    QK_INT_SETTINGS(QK_COPYPAGE_SETTINGS)
};

#define QK_PAGE_SETTINGS(X) \
    X(AxisGridSpacing, 10) X(ObjGridSpacing, 10) X(CopyExportAdvanced, 0) X(CopyExportAdvKeepSize, 0) \
    X(CopyExportAdvResolution, 300)
class QK_API QKSysMethodPage {
    QK_INT_SETTINGS(QK_PAGE_SETTINGS)
public:
    // Fixed in this version.
    int GetRedraw() const { return 1; }
    int GetPreviewMode() const { return 0; }
};

// How the windows look: no redraw while a window is covered by more than NoWinUpdate
// percent; whether menus show the toolbar images of their commands.
#define QK_DISPLAY_SETTINGS(X) X(NoWinUpdate, 40)
class QK_API QKSysMethodDisplay {
    QK_INT_SETTINGS(QK_DISPLAY_SETTINGS)
public:
    BOOL HasDisplayBitmaps() const { return m_displayBitmaps; }
    void SetDisplayBitmaps(BOOL v) { m_displayBitmaps = v ? TRUE : FALSE; }
    void Exchange(QKSettingsExchange& ex)
    {
        ExchangeInts(ex);
        ex.Int("DisplayBitmaps", m_displayBitmaps);
    }

private:
    BOOL m_displayBitmaps = TRUE;
};

class QK_API QKSysMethodDate {
public:
    enum { NUM_CUSTOM = 2, MAX_CUSTOM = 60 };
    // Index 0 or 1; an empty text for any other.
    std::string GetCustomFormat(int index) const;
    // False for another index; the text is cut to MAX_CUSTOM characters.
    bool SetCustomFormat(int index, const std::string& text);
    void Exchange(QKSettingsExchange& ex);

private:
    std::string m_custom[NUM_CUSTOM] = {"dd'.'MM'.'yyyy", "HH:mm:ss"};
};

// Worksheets. Close prompts as for graphs; TranspDelEmptyCols: 0 always, 1 never, 2 prompt.
// ASCII import: AsciiDelimiter 0 detected, 1 comma, 2 tab, 3 semicolon, 4 blanks; header
// lines before the data, and the header line (from 1, 0 none) that names or labels the
// columns.
#define QK_WKS_SETTINGS(X) \
    X(ClosePrompt, 1) X(ExcelClosePrompt, 1) X(MatrixClosePrompt, 1) X(TranspDelEmptyCols, 2) \
    X(DefaultUseNumericData, 1) X(AsciiDelimiter, 0) X(AsciiHeaderLines, 0) X(AsciiNamesLine, 0) \
    X(AsciiLabelsLine, 0)
class QK_API QKSysMethodWks {
    QK_INT_SETTINGS(QK_WKS_SETTINGS)
public:
    // The template of multi-file ASCII import, a name without extension.
    std::string GetImportTemplate() const { return m_importTemplate; }
    void SetImportTemplate(const std::string& v) { m_importTemplate = v; }
    // The template new worksheets are made from: a name, or a path with its folder.
    const std::string& GetDefaultTemplate() const { return m_defaultTemplate; }
    void SetDefaultTemplate(const std::string& v) { m_defaultTemplate = v; }
    void Exchange(QKSettingsExchange& ex)
    {
        ExchangeInts(ex);
        ex.Text("ImportTemplate", m_importTemplate);
        ex.Text("DefaultTemplate", m_defaultTemplate);
    }

private:
    std::string m_importTemplate = "ASCII";
    std::string m_defaultTemplate = "Quorix";
};

#define QK_NOTES_SETTINGS(X) X(ClosePrompt, 1)
class QK_API QKSysMethodNotes {
    QK_INT_SETTINGS(QK_NOTES_SETTINGS)
};

#define QK_SCRIPT_SETTINGS(X) X(ClosePrompt, 1)
class QK_API QKSysMethodScript {
    QK_INT_SETTINGS(QK_SCRIPT_SETTINGS)
};

// Projects. NewContent: 0 a worksheet, 1 an Excel workbook, 2 an empty graph, 3 a matrix,
// 4 the project Quorix.qpj, 5 nothing. OpenIconizedAsHidden: 0 hidden, 1 minimized, 2 ask.
#define QK_PROJECT_SETTINGS(X) X(NewContent, 0) X(BackupBeforeSave, 0) X(OpenIconizedAsHidden, 1)
class QK_API QKSysMethodProject {
    QK_INT_SETTINGS(QK_PROJECT_SETTINGS)
};

// Grid lines of new layers: colour indices, line types, widths in points.
#define QK_GRID_SETTINGS(X) X(MajorColor, 18) X(MinorColor, 18) X(MajorType, 0) X(MinorType, 2)
class QK_API QKSysMethodGrid {
    QK_INT_SETTINGS(QK_GRID_SETTINGS)
public:
    double GetMajorWidth() const { return m_majorWidth; }
    void SetMajorWidth(double v) { m_majorWidth = v; }
    double GetMinorWidth() const { return m_minorWidth; }
    void SetMinorWidth(double v) { m_minorWidth = v; }
    void Exchange(QKSettingsExchange& ex)
    {
        ExchangeInts(ex);
        ex.Real("MajorWidth", m_majorWidth);
        ex.Real("MinorWidth", m_minorWidth);
    }

private:
    double m_majorWidth = 1.0, m_minorWidth = 0.5;
};

// Folders: the program folder and the folder of templates.
class QK_API QKSysMethodPath {
public:
    std::string GetProgram() const;
    std::string GetTemplate() const { return m_template.empty() ? GetProgram() : m_template; }
    void SetTemplate(const std::string& folder) { m_template = folder; }
    // Where new workbooks are named (the program folder until set), ending in a backslash.
    std::string GetExcel() const;
    void SetExcel(const std::string& folder) { m_excel = folder; }

private:
    std::string m_template;
    std::string m_excel;
};

// A named group of file types for the file dialogs, with a default folder and type.
class QK_API CQKFileTypeGroup {
public:
    enum { MAX_DESCRIPTION = 59, MAX_PATTERN = 19 };
    explicit CQKFileTypeGroup(const std::string& name = std::string()) : m_name(name) {}

    const std::string& GetName() const { return m_name; }
    const std::string& GetDefaultPath() const { return m_path; }
    void SetDefaultPath(const std::string& path) { m_path = path; }
    // Index of the default type; -1 when there is none.
    int GetDefaultType() const { return m_defaultType; }
    void SetDefaultType(int index);
    int GetNumTypes() const { return (int)m_types.size(); }
    std::string GetTypeDescription(int index) const;
    // Patterns separated by ";", as "*.dat;*.txt".
    std::string GetTypeExtensions(int index) const;
    // False for an empty pattern; texts longer than the limits are cut.
    bool AddType(const std::string& description, const std::string& pattern);
    // False for an index outside the types; the default type follows its type.
    bool DeleteType(int index);

private:
    struct Type {
        std::string description, extensions;
    };
    std::string m_name, m_path;
    int m_defaultType = -1;
    std::vector<Type> m_types;
};

// Groups owned by the array; copies are deep.
class QK_API CQKFileTypeGroupPtrArray {
public:
    CQKFileTypeGroupPtrArray() = default;
    CQKFileTypeGroupPtrArray(const CQKFileTypeGroupPtrArray& other) { *this = other; }
    CQKFileTypeGroupPtrArray& operator=(const CQKFileTypeGroupPtrArray& other);
    ~CQKFileTypeGroupPtrArray() { RemoveAll(); }

    int GetSize() const { return (int)m_groups.size(); }
    CQKFileTypeGroup* GetAt(int index) const;
    void Add(CQKFileTypeGroup* group) { m_groups.push_back(group); }
    void RemoveAll();
    // By name, regardless of case; -1 when there is none.
    int GetGroupIndex(const char* name) const;

private:
    std::vector<CQKFileTypeGroup*> m_groups;
};

// The file type groups: those in force while the program runs, and the startup groups
// saved in the INI file. The tracking switches make the file dialogs remember the last
// folder, within a run and across runs.
class QK_API QKSysMethodFileExt {
public:
    QKSysMethodFileExt();
    BOOL IsTracking() const { return m_tracking; }
    void EnableTracking(BOOL on) { m_tracking = on ? TRUE : FALSE; }
    BOOL IsTrackingBetweenSessions() const { return m_trackingBetween; }
    void EnableTrackingBetweenSessions(BOOL on) { m_trackingBetween = on ? TRUE : FALSE; }

    // The startup groups, or the built-in ones when none were saved. False when the saved
    // groups could not be read (the built-in ones are then given).
    bool Load(CQKFileTypeGroupPtrArray& groups) const;
    void LoadInternalDefaults(CQKFileTypeGroupPtrArray& groups) const;
    void GetAllGroups(CQKFileTypeGroupPtrArray& groups) const { groups = m_groups; }
    void SetAllGroups(const CQKFileTypeGroupPtrArray& groups) { m_groups = groups; }
    // Saves the groups as the startup groups; false when the INI file could not be written.
    bool Save(const CQKFileTypeGroupPtrArray& groups) const;
    void Exchange(QKSettingsExchange& ex);

private:
    BOOL m_tracking = TRUE, m_trackingBetween = FALSE;
    CQKFileTypeGroupPtrArray m_groups;
};

// The look of the data display bar: colours are indexes into the kernel's colour table.
class QK_API QKSysMethodDataDisplay {
public:
    int GetBkColor() const { return m_bkColor; }
    void SetBkColor(int v) { m_bkColor = v; }
    int GetTxtColor() const { return m_txtColor; }
    void SetTxtColor(int v) { m_txtColor = v; }
    const std::string& GetFont() const { return m_font; }
    void SetFont(const std::string& face) { m_font = face; }
    // 1: the font fills the bar, whatever the sizing mode.
    int GetAutoFit() const { return m_autoFit; }
    void SetAutoFit(int v) { m_autoFit = v; }
    // 0 fixed size, 1 fit horizontally, 2 fit vertically.
    int GetResize() const { return m_resize; }
    void SetResize(int v) { m_resize = v; }
    int GetDocking() const { return m_docking; }
    void SetDocking(int v) { m_docking = v; }

private:
    int m_bkColor = 17; // white
    int m_txtColor = 0; // black
    std::string m_font = "Times New Roman";
    int m_autoFit = 0, m_resize = 0, m_docking = 1;
};

// Every setting of the kernel that the options sheet edits, in one value: the system
// object copies it whole for its snapshot.
struct QKSettings {
    QKSysMethodMath math;
    QKSysMethodNumeric numeric;
    QKSysMethodTick tick;
    QKSysMethodAxis axis;
    QKSysMethodDash dash;
    QKSysMethodSymbol symbol;
    QKSysMethodGraph graph;
    QKSysMethodMatrix matrix;
    QKSysMethodFont font;
    QKSysMethodPrint print;
    QKSysMethodCopyPage copyPage;
    QKSysMethodPage page;
    QKSysMethodDisplay display;
    QKSysMethodDate date;
    QKSysMethodWks wks;
    QKSysMethodNotes notes;
    QKSysMethodScript script;
    QKSysMethodProject project;
    QKSysMethodGrid grid;
    QKSysMethodDataDisplay dataDisplay;
};

class CQKQrxSystem;

// The two methods of the system object that save the settings as the startup options
// (SAVESTARTUP) and read them back (LOADSTARTUP). Startup options live in the INI file,
// section "System" for the script object's own members and one section per topic.
class QK_API CQKSaveStartupMethod : public QmMethod {
public:
    int Process(double* result, QmDLL* root) override;
};

class QK_API CQKLoadStartupMethod : public QmMethod {
public:
    int Process(double* result, QmDLL* root) override;
};

// The system object and script object `system`. The user interface replaces it by a
// subclass with tables of its own (through CQKAccess::create_QrxSystem_object); the
// kernel's own tables hold the two startup methods.
class QK_API CQKQrxSystem : public QmDLL {
public:
    CQKQrxSystem();
    ~CQKQrxSystem() override;

    // Menu levels: the sets of menus the user can switch between. The kernel knows the
    // full menus; the user interface adds its own levels with the menus.
    int GetNumMenuLevels() const { return 1; }
    int GetCurrentMenuLevel() const { return m_menuLevel; }
    // False for a level that does not exist.
    bool ChangeMenuLevel(int level);
    std::string GetMenuLevelTitle(int level) const;
    // The program's About box (its dialog 100) over the main window; recorded, and without
    // a main window or that dialog nothing more.
    void AboutDialog();
    // Shows or hides the access object's script window.
    void ToggleScriptWindow();
    bool IsScriptWindowShown() const;
    // Closes the project with every window: mode 0 asks the project's closing query first
    // and then each page's (OnClosingQuery with closing-all set); mode 1 (the program runs
    // for an embedding) asks nothing. FALSE when an answer kept the project open; the
    // windows are all still there then.
    BOOL OnCloseAllWindows(int mode);

    QKSysMethodMath& GetRefMath() { return m_settings.math; }
    QKSysMethodNumeric& GetRefNumeric() { return m_settings.numeric; }
    QKSysMethodTick& GetRefTick() { return m_settings.tick; }
    QKSysMethodAxis& GetRefAxis() { return m_settings.axis; }
    QKSysMethodDash& GetRefDash() { return m_settings.dash; }
    QKSysMethodSymbol& GetRefSymbol() { return m_settings.symbol; }
    QKSysMethodGraph& GetRefGraph() { return m_settings.graph; }
    QKSysMethodMatrix& GetRefMatrix() { return m_settings.matrix; }
    QKSysMethodFont& GetRefFont() { return m_settings.font; }
    QKSysMethodPrint& GetRefPrint() { return m_settings.print; }
    QKSysMethodCopyPage& GetRefCopyPage() { return m_settings.copyPage; }
    QKSysMethodPage& GetRefPage() { return m_settings.page; }
    QKSysMethodDisplay& GetRefDisplay() { return m_settings.display; }
    QKSysMethodDataDisplay& GetRefDataDisplay() { return m_settings.dataDisplay; }
    QKSysMethodDate& GetRefDate() { return m_settings.date; }
    QKSysMethodWks& GetRefWks() { return m_settings.wks; }
    QKSysMethodNotes& GetRefNotes() { return m_settings.notes; }
    QKSysMethodScript& GetRefScript() { return m_settings.script; }
    QKSysMethodProject& GetRefProject() { return m_settings.project; }
    QKSysMethodGrid& GetRefGrid() { return m_settings.grid; }
    QKSysMethodPath& GetRefPath() { return m_path; }
    QKSysMethodFileExt& GetRefFileExt() { return m_fileExt; }

    CQKSaveStartupMethod& GetRefSaveStartup() { return m_saveStartup; }
    CQKLoadStartupMethod& GetRefLoadStartup() { return m_loadStartup; }

    // The kernel's pair of tables, then the QmDLL pair.
    int FindValue(const char* name, int op, char* text) override;
    int FindCommand(const char* name, const char* argText, double* result) override;
    int FindCommandValue(const char* methodName, const char* name, char* text, int op) override;
    void List() override;
    void Init() override;
    int LoadSaveINI(STINI* ini, const char* section) override;
    // The kernel's settings come back to their defaults with the members.
    void init_members() override;
    void SaveTemporary() override;
    void LoadTemporary() override;
    // The startup options of the INI file (the only property settings the system keeps:
    // other files and sections are refused).
    BOOL LoadPropertySettings(const char* file, const char* section) override;
    BOOL SavePropertySettings(const char* file, const char* section) override;
    // Reads or writes the kernel's settings objects (not the script members' rows).
    void ExchangeSettings(STINI* ini);

protected:
    QmRow* m_systemProperties; // the CQKQrxSystem pair
    QmRow* m_systemMethods;

private:
    QKSettings m_settings, m_snapshot;
    QKSysMethodPath m_path;
    QKSysMethodFileExt m_fileExt;
    CQKSaveStartupMethod m_saveStartup;
    CQKLoadStartupMethod m_loadStartup;
    QmRow m_kernelPropertyRows[1];
    QmRow m_kernelMethodRows[3];
    int m_menuLevel = 0;
};

// The system object, made on first use through the access object's
// create_QrxSystem_object; its settings start at their defaults and then take the saved
// startup options.
QK_API CQKQrxSystem& qkfxGetQrxSystem();

// TRUE when the display settings keep the images off the menus.
inline BOOL qkfxAreBitmapsOnMenusDisabled()
{
    return !qkfxGetQrxSystem().GetRefDisplay().HasDisplayBitmaps();
}

// The default plot type of dropped data: -1 only asks; any other id sets it. Answers the
// type in force afterwards.
QK_API int qkuSetGetDefaultPlotType(int id);
// A plot id the default plot type can take: the four known ids as they are, any other
// id the line plot (33249).
QK_API int qkuCheckConvertPlotId(int id);
