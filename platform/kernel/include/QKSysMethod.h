// The settings objects: one object per topic with Get and Set pairs, handed out by the
// system object CQKQrxSystem. Values live for the session; the options sheet of the user
// interface edits them.
#pragma once

#include "QKDefs.h"

// Calculation settings the interpreter uses.
class QK_API QKSysMethodMath {
public:
    // 0 radians, 1 degrees, 2 gradians: the unit of the trigonometric functions.
    int GetAngularUnits() const { return m_angularUnits; }
    void SetAngularUnits(int units) { m_angularUnits = units >= 0 && units <= 2 ? units : 0; }

private:
    int m_angularUnits = 0;
};

// How numbers are shown.
class QK_API QKSysMethodNumeric {
public:
    // Numbers at or beyond these powers of ten are shown in scientific notation.
    int GetUpperThreshold() const { return m_upper; }
    void SetUpperThreshold(int v) { m_upper = v; }
    int GetLowerThreshold() const { return m_lower; }
    void SetLowerThreshold(int v) { m_lower = v; }
    int GetNumDecDigits() const { return m_digits; }
    void SetNumDecDigits(int v) { m_digits = v; }
    // 0: "1,000.5" (thousands, decimal point), 1: "1.000,5".
    int GetSeparators() const { return m_separators; }
    void SetSeparators(int v) { m_separators = v; }

private:
    int m_upper = 6, m_lower = -3, m_digits = 6, m_separators = 0;
};

class QK_API QKSysMethodWks {
public:
    BOOL GetClosePrompt() const { return m_closePrompt; }
    void SetClosePrompt(BOOL v) { m_closePrompt = v; }
    BOOL GetExcelClosePrompt() const { return m_excelClosePrompt; }
    void SetExcelClosePrompt(BOOL v) { m_excelClosePrompt = v; }
    BOOL GetMatrixClosePrompt() const { return m_matrixClosePrompt; }
    void SetMatrixClosePrompt(BOOL v) { m_matrixClosePrompt = v; }
    // The template new worksheets are made from: a name, or a path with its folder.
    const std::string& GetDefaultTemplate() const { return m_defaultTemplate; }
    void SetDefaultTemplate(const std::string& v) { m_defaultTemplate = v; }

private:
    BOOL m_closePrompt = TRUE, m_excelClosePrompt = TRUE, m_matrixClosePrompt = TRUE;
    std::string m_defaultTemplate = "Origin";
};

class QK_API QKSysMethodGraph {
public:
    BOOL GetClosePrompt() const { return m_closePrompt; }
    void SetClosePrompt(BOOL v) { m_closePrompt = v; }
    BOOL GetLayoutClosePrompt() const { return m_layoutClosePrompt; }
    void SetLayoutClosePrompt(BOOL v) { m_layoutClosePrompt = v; }
    const std::string& GetDefaultTemplate() const { return m_defaultTemplate; }
    void SetDefaultTemplate(const std::string& v) { m_defaultTemplate = v; }

private:
    BOOL m_closePrompt = TRUE, m_layoutClosePrompt = TRUE;
    std::string m_defaultTemplate = "Origin";
};

class QK_API QKSysMethodMatrix {
public:
    const std::string& GetDefaultTemplate() const { return m_defaultTemplate; }
    void SetDefaultTemplate(const std::string& v) { m_defaultTemplate = v; }

private:
    std::string m_defaultTemplate = "Origin";
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

// How the windows look: whether menus show the toolbar images of their commands.
class QK_API QKSysMethodDisplay {
public:
    BOOL HasDisplayBitmaps() const { return m_displayBitmaps; }
    void SetDisplayBitmaps(BOOL v) { m_displayBitmaps = v; }

private:
    BOOL m_displayBitmaps = TRUE;
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

class QK_API CQKQrxSystem {
public:
    // Menu levels: the sets of menus the user can switch between. The kernel knows the
    // full menus; the user interface adds its own levels with the menus.
    int GetNumMenuLevels() const { return 1; }
    int GetCurrentMenuLevel() const { return m_menuLevel; }
    // False for a level that does not exist.
    bool ChangeMenuLevel(int level);
    std::string GetMenuLevelTitle(int level) const;
    // The about box is the user interface's: recorded in the call log.
    void AboutDialog();
    void ToggleScriptWindow();
    bool IsScriptWindowShown() const { return m_scriptWindowShown; }

    QKSysMethodMath& GetRefMath() { return m_math; }
    QKSysMethodNumeric& GetRefNumeric() { return m_numeric; }
    QKSysMethodWks& GetRefWks() { return m_wks; }
    QKSysMethodGraph& GetRefGraph() { return m_graph; }
    QKSysMethodMatrix& GetRefMatrix() { return m_matrix; }
    QKSysMethodPath& GetRefPath() { return m_path; }
    QKSysMethodDisplay& GetRefDisplay() { return m_display; }
    QKSysMethodDataDisplay& GetRefDataDisplay() { return m_dataDisplay; }

private:
    QKSysMethodMath m_math;
    QKSysMethodNumeric m_numeric;
    QKSysMethodWks m_wks;
    QKSysMethodGraph m_graph;
    QKSysMethodMatrix m_matrix;
    QKSysMethodPath m_path;
    QKSysMethodDisplay m_display;
    QKSysMethodDataDisplay m_dataDisplay;
    int m_menuLevel = 0;
    bool m_scriptWindowShown = false;
};

QK_API CQKQrxSystem& qkfxGetQrxSystem();

// TRUE when the display settings keep the images off the menus.
inline BOOL qkfxAreBitmapsOnMenusDisabled()
{
    return !qkfxGetQrxSystem().GetRefDisplay().HasDisplayBitmaps();
}
