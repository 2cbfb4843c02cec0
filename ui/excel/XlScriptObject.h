// The script object that runs Excel macros in a workbook window: the property WNDNAME
// (the window to work on; the active workbook window when empty or not found) and the
// methods RUN(macro, arguments...) and RUNRANGE(sheet, cell, arguments...). Scripts reach
// it as "excel".
#pragma once

#include "QmFramework.h"
#include "XlExport.h"

class CQUxlView;
class CQUxlobj;

class CQUxlBaseMethod : public QmMethod {
    DECLARE_DYNAMIC(CQUxlBaseMethod)
public:
    int Begin(const char* argText, QmDLL* root) override;
    CQUxlobj* GetXLMainObj() const { return m_pObj; }

protected:
    CQUxlobj* m_pObj = nullptr;
};

class CQUxlRunBaseMethod : public CQUxlBaseMethod {
    DECLARE_DYNAMIC(CQUxlRunBaseMethod)
public:
    CQUxlRunBaseMethod();
};

class CQUxlRun : public CQUxlRunBaseMethod {
    DECLARE_DYNAMIC(CQUxlRun)
public:
    int Process(double* result, QmDLL* root) override;
    QmTableEntry* m_pEntry = nullptr;
};

class CQUxlRunRange : public CQUxlRunBaseMethod {
    DECLARE_DYNAMIC(CQUxlRunRange)
public:
    int Process(double* result, QmDLL* root) override;
    QmTableEntry* m_pEntry = nullptr;
};

class CQUxlobj : public QmDLL {
    DECLARE_DYNAMIC(CQUxlobj)
public:
    CQUxlobj();

    BOOL GetWndName(char* name);
    BOOL SetWndName(const char* name);
    // The workbook view to act on (may be null).
    CQUxlView* GetXLViewToRun(unsigned long);

    int Property(const char* name, int flags, void* value) override;
    void ListAll() override;
    int Command(const char* methodName, const char* argText, double* result) override;
    int CommandValue(const char* methodName, const char* name, void* value, int flags) override;
    void ResetAll() override;

    // The one object of the process, bound to the kernel as "excel".
    static CQUxlobj& Instance();

    QmString m_wndName;
    CQUxlRun m_run;
    CQUxlRunRange m_runRange;

private:
    QmTableEntry m_props[2];
    QmTableEntry m_meths[3];
};

// The numeric result of a macro: a number as it is, a boolean -1 (true) or 0; FALSE for
// anything else (with 0).
QUXL_API BOOL VARIANTToReturnValue(const VARIANT& value, double& result);
