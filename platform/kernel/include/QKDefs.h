// Export macro and the basic types every kernel header uses.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "qxdefs.h"

#ifdef QXKERNEL_BUILD
#define QK_API __declspec(dllexport)
#else
#define QK_API __declspec(dllimport)
#endif

// Kinds of the kernel's messages to the Results Log (CQKAccess::OutputLog).
enum {
    QK_LOG_SET = 0,       // the whole text of the log (null: empty)
    QK_LOG_HEADER = 4097, // a header for the page before the next text
    QK_LOG_END = 4098,    // the end of one result
    QK_LOG_APPEND = 4099, // text for the page
};

// Window kinds and their template ids, as the user-interface layer numbers them.
enum QKPageType {
    QK_PAGE_WKS = 0,
    QK_PAGE_GRAPH = 1,
    QK_PAGE_MATRIX = 2,
    QK_PAGE_EXCEL = 3,
    QK_PAGE_LAYOUT = 4,
    QK_PAGE_NOTES = 5,
};

class CQKPlotObj;

// The model's state as text (qkfxDumpProject): a node opens with a line ending in "{" and
// closes with "}", its properties are "name = value" lines, all indented by depth.
class QK_API CQKStateDump {
public:
    void Open(const std::string& node);
    void Close();
    void Add(const char* name, const std::string& value);
    void Add(const char* name, const char* value) { Add(name, std::string(value ? value : "")); }
    void Add(const char* name, int value);
    void Add(const char* name, double value);
    void Add(const char* name, bool value) { Add(name, value ? 1 : 0); }
    const std::string& GetText() const { return m_text; }

private:
    std::string m_text;
    int m_depth = 0;
};

// The root of the kernel's objects that the dialogs are handed: a page, a layer or a plot
// object answers which of them it is, so a dialog given any of them can tell them apart.
class QK_API CQKBase {
public:
    virtual ~CQKBase();
    virtual BOOL IsBasePtrPlotObj() const { return FALSE; }
    virtual BOOL IsBasePtrLayer() const { return FALSE; }
    virtual BOOL IsBasePtrPage() const { return FALSE; }
    // The plot object that stands for this one in a dialog (a plot object answers itself).
    virtual CQKPlotObj* GetRepresentativePlotObj() { return nullptr; }
    // Writes the node, its properties and its children.
    virtual void DumpState(CQKStateDump& dump) const;
};
