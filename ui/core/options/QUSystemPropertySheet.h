// The Options sheet and its pages. Every page reads its settings from the kernel's
// settings objects (or the system object's members) when it is created or refreshed, and
// writes them back only when the sheet ends with OK.
//
// Most controls are plain bindings: a control, its kind and the setting it shows. Pages
// list their bindings once; the base page fills, shows, reads and writes them all, so a
// page class adds only what is particular to it (enable rules, the dash list, the file
// type groups).
#pragma once

#include <afxdlgs.h>

#include <functional>
#include <memory>
#include <vector>

#include "QKControls.h"
#include "QUQrxSystem.h"

class CQUSystemPropertySheet;
class CQUColorComboBox;
class CQUFontComboBox;
class CQUSystemFilePage;

enum QUOptionKind {
    QU_OPT_CHECK,     // check box: 0 or 1
    QU_OPT_LIST,      // drop-down list: the selected index
    QU_OPT_INT,       // drop-down combo with a number the user may type
    QU_OPT_REAL,
    QU_OPT_RADIO,     // radio group from the control: the checked button's index
    QU_OPT_TEXT,      // edit or combo text
    QU_OPT_COLOR,     // colour list: the colour index
    QU_OPT_FONT,      // font list: the font index
    QU_OPT_FILL_ONLY, // a combo given its choices, bound to no setting
};

struct QUOptionBinding {
    UINT id;
    QUOptionKind kind;
    UINT choices;  // string of double-quoted choices, or 0
    int maxChars;  // texts: the longest text taken; 0 for numbers and lists
    std::function<double()> get;
    std::function<void(double)> set; // null for read-only settings
    std::function<std::string()> getText;
    std::function<void(const std::string&)> setText;
};

class QU_API CQUSystemPropertyPage : public CPropertyPage {
public:
    explicit CQUSystemPropertyPage(UINT templateId);
    ~CQUSystemPropertyPage() override;

    // Loads the controls' values from the settings (before UpdateData).
    virtual void GetData();
    // Writes the controls' values to the settings.
    virtual void SetData();
    // When the page window exists: GetData and UpdateData(FALSE); 1, else 0. `reset` is
    // 1 after the sheet's Reset, 0 after Restore.
    virtual int Refresh(int reset);
    // Fills the combo boxes with their choices.
    virtual void InitControls();

    CQUQrxSystem* GetSystem();
    CQUSystemPropertySheet* GetSheet();
    void InitColorCombo(CQUColorComboBox& combo, int itemWidth, int itemHeight);
    void InitLineTypeCombo(CComboBox& combo, int itemWidth, int itemHeight);
    BOOL IsNotTouched() const { return m_notTouched; }

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    // Run after the values went into the controls, to set what is enabled.
    virtual void UpdateControlStates() {}

    void Bind(const QUOptionBinding& binding) { m_bindings.push_back(binding); }
    void BindInt(UINT id, QUOptionKind kind, UINT choices, std::function<int()> get, std::function<void(int)> set);
    void BindText(UINT id, QUOptionKind kind, UINT choices, int maxChars, std::function<std::string()> get,
                  std::function<void(const std::string&)> set);
    // The value a binding holds while the page is open.
    double& Value(UINT id);
    CString& Text(UINT id);

    // Adds the choices of a string of double-quoted items to a combo box.
    static void AddChoices(CComboBox& combo, UINT stringId);

    int m_notTouched;

    DECLARE_MESSAGE_MAP()

private:
    int IndexOf(UINT id) const;
    std::vector<QUOptionBinding> m_bindings;
    std::vector<double> m_values;
    std::vector<CString> m_texts;
    std::vector<std::unique_ptr<CWnd>> m_owned; // the owner-drawn lists
    std::vector<std::pair<UINT, CQUFontComboBox*>> m_fontLists;
};

class QU_API CQUSystemNumFormatPage : public CQUSystemPropertyPage {
public:
    CQUSystemNumFormatPage();
};

class QU_API CQUSystemAxisPage : public CQUSystemPropertyPage {
public:
    CQUSystemAxisPage();
};

class QU_API CQUSystemGraphPage : public CQUSystemPropertyPage {
public:
    CQUSystemGraphPage();
    void GetData() override;
    void SetData() override;
    void InitControls() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnDashSelChange();
    DECLARE_MESSAGE_MAP()

private:
    // The seven definitions as edited so far; the edit shows the selected one.
    CString m_definitions[QKSysMethodDash::NUM_DEFINITIONS];
    int m_dash = 0;
    // The user-defined symbols, edited in the well until the sheet is confirmed.
    CQKUDSWell m_userSymbols;

public:
    CQKUDSWell& GetUserSymbolsWell() { return m_userSymbols; }
};

class QU_API CQUSystemFontsPage : public CQUSystemPropertyPage {
public:
    CQUSystemFontsPage();
};

class QU_API CQUSystemPagePage : public CQUSystemPropertyPage {
public:
    CQUSystemPagePage();
    void InitControls() override;

protected:
    void UpdateControlStates() override;
    afx_msg void OnStateChange();
    DECLARE_MESSAGE_MAP()
};

class QU_API CQUSystemAdvancedPage : public CQUSystemPropertyPage {
public:
    CQUSystemAdvancedPage();
    void InitControls() override;
};

class QU_API CQUSystemExcelPage : public CQUSystemPropertyPage {
public:
    CQUSystemExcelPage();
};

class QU_API CQUSystemWindowsPage : public CQUSystemPropertyPage {
public:
    CQUSystemWindowsPage();
    void InitControls() override;

protected:
    void UpdateControlStates() override;
    afx_msg void OnClosePromptClicked();
    DECLARE_MESSAGE_MAP()
};

// Grid line styles of new layers; a page the sheet does not show.
class QU_API CQUSystemGridsPage : public CQUSystemPropertyPage {
public:
    CQUSystemGridsPage();
    void InitControls() override;
};

class QU_API CQUSystemPropertySheet : public CPropertySheet {
public:
    CQUSystemPropertySheet(LPCTSTR caption, CWnd* parent, UINT startPage);
    ~CQUSystemPropertySheet() override;

    void SetSystem(CQUQrxSystem* system) { m_system = system; }
    CQUQrxSystem* GetSystem() const { return m_system; }
    BOOL OnInitDialog() override;
    // Every created page refreshes; `reset` as for CQUSystemPropertyPage::Refresh.
    void RefreshPages(int reset);
    // Whether to save the settings as the startup options: asked when the DIALOG member's
    // CLOSEPROMPT is set, else its SAVEONCLOSE.
    BOOL AskSaveAsStartup();

    CQUSystemFilePage& GetFilePage();

    // Set by Reset and Restore.
    int m_restoreOnCancel = 0;
    // Set by Reset, Restore and changes on the pages.
    int m_askToSave = 0;
    // The startup file type groups were changed.
    int m_saveFileGroups = 0;
    // The running program's file type groups were changed.
    int m_setFileGroups = 0;

protected:
    afx_msg void OnReset();
    afx_msg void OnRestore();
    afx_msg BOOL OnHelpInfo(HELPINFO* info);
    DECLARE_MESSAGE_MAP()

private:
    CQUSystemNumFormatPage m_numFormat;
    std::unique_ptr<CQUSystemFilePage> m_files;
    CQUSystemAxisPage m_axis;
    CQUSystemGraphPage m_graph;
    CQUSystemFontsPage m_fonts;
    CQUSystemPagePage m_page;
    CQUSystemAdvancedPage m_advanced;
    CQUSystemExcelPage m_excel;
    CQUSystemWindowsPage m_windows;
    CButton m_reset, m_restore;
    CQUQrxSystem* m_system = nullptr;
};
