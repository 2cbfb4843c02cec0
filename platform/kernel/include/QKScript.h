// The Scrivex interpreter: script variables, the string registers %A .. %Z, script files
// with sections, and the statements, commands and expressions of the language. The
// grammar is documented in the kernel's README.
#pragma once

#include <map>
#include <memory>

#include "QKDefs.h"

// Where `type` and the plug-ins' printed lines go. kind: 0 `type` and printed text,
// 1 `type -b` (a message box in the application), 2 an error message.
typedef void (*QKOutputProc)(const char* text, int kind, void* user);

struct QKVariable {
    double value = 0;
    double kind = 1.0;  // 1.0 plain variable, 4.0 fit parameter
    double index = 0.0; // the parameter's index for kind 4.0
};

class QK_API CQKScript {
public:
    CQKScript();
    ~CQKScript();

    // Runs script text. `sourceName` names the text in error messages and gives the
    // folder where run.section looks first. False when the script failed; the message,
    // naming the line, is in GetLastError() and went to the output as kind 2.
    bool Execute(const std::string& text, const std::string& sourceName = std::string());
    // Runs a script file: its text up to the first section, or its [Main] section when that
    // text is empty. args become %1, %2, ...
    bool RunFile(const std::string& path, const std::vector<std::string>& args);
    // run.section(file, section, args...): the file is a path or a name looked up, with
    // ".qgs" added when it has no extension, beside the running script and then in the
    // program folder. `result` receives the section's return value.
    bool RunSection(const std::string& file, const std::string& section,
                    const std::vector<std::string>& args, double* result);
    // Evaluates one expression to a number; false (with GetLastError) when it does not
    // evaluate, an undefined name included.
    bool Evaluate(const std::string& expression, double* result);
    // A formula evaluated many times (a fit's model): prepared once, compiled when it can
    // be, then evaluated by its handle (1 and up, valid for the life of the process) with
    // the results Evaluate would give. 0 for an empty text.
    int PrepareExpression(const std::string& expression);
    // Evaluates the expression at rows first .. end - 1 (from 0): the variable i is the
    // row number from 1, a dataset named without a row index reads its value at the row.
    // `i` keeps the value it had before. false (with GetLastError) at the first row that
    // does not evaluate.
    bool EvaluateRows(const std::string& expression, int first, int end, std::vector<double>* values);
    bool EvaluatePrepared(int handle, double* result);
    // The prepared formula for `rows` rows: row r sets the variables of the slots to
    // columns[c][r] (values only; a missing variable is made as by SetVariableBySlot) and
    // writes out[r], with EvaluatePrepared's results. False when a row fails; *done (when
    // given) counts the rows evaluated. The variables keep the last row's values.
    bool EvaluatePreparedRows(int handle, int nColumns, const int* slots, const double* const* columns,
                              int rows, double* out, int* done);
    // Compilation is on by default; off, every text runs interpreted, the reference the
    // compiled form is tested and measured against.
    void SetCompilation(bool on);
    // Whether an expression is one the compiled form takes (numbers, variables, dataset
    // rows, operators and the built-in functions).
    static bool IsCompilable(const std::string& expression);
    // Replaces %A .. %Z, %1 .. %9, %[text,#n], $(expression) and $Section.Key in text.
    bool Substitute(const std::string& text, std::string* result);
    const std::string& GetLastError() const { return m_lastError; }

    // Numeric variables; names are case-insensitive.
    void SetVariable(const std::string& name, double value, double kind = 1.0, double index = 0.0);
    bool GetVariable(const std::string& name, double* value) const;
    // A variable set many times (a fit's x and parameters) by slot number (1 and up) instead
    // of by name. A slot outlives its variable: set after the variable was deleted, it makes
    // the variable again.
    int GetVariableSlot(const std::string& name);
    bool SetVariableBySlot(int slot, double value, double kind = 1.0, double index = 0.0);
    const QKVariable* FindVariable(const std::string& name) const;
    // Deletes one variable, or every variable matching a pattern with '*'; the count.
    int DeleteVariables(const std::string& pattern);
    // Is the name a command, function, object, keyword or system variable of the language?
    bool IsReservedName(const std::string& name) const;

    // String registers by index 0 .. 25 (%A .. %Z). %H (7) is the active window's name
    // and cannot be set; false for it and for a bad index.
    bool SetStringVar(int index, const std::string& text);
    bool GetStringVar(int index, std::string* text) const;

    // Text of the kernel's string table ("$Section.Key"); false when there is none.
    bool GetTableString(const std::string& sectionDotKey, std::string* text) const;

    void SetOutput(QKOutputProc proc, void* user);
    void GetOutput(QKOutputProc* proc, void** user) const;
    void Print(const std::string& text, int kind = 0);

    // Forgets every variable and register (a new session of the interpreter).
    void Reset();

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
    std::string m_lastError;
    friend struct Impl;
};

QK_API CQKScript& qkfxGetScript();

// The built-in function list, as the set-values dialogs show it: name, one-line
// description, and the text a dialog inserts into a formula.
QK_API int qkfxGetFunctionCount();
QK_API const char* qkfxGetFunctionName(int i);
QK_API const char* qkfxGetFunctionDescription(int i);
QK_API const char* qkfxGetFunctionText(int i);

// Status-bar prompts and other texts with %X registers: the substituted text; a text
// that does not substitute is left as it was.
QK_API void qkfxSubstituteScrivexString(std::string& result, const char* text, int flags);
