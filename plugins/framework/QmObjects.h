// The script object classes: a plug-in's root object (QmDLL or a subclass) holds named
// properties and methods in name tables; the host reaches them by name through QMDLL.
//
// Every class derives from QmBaseObj, a CObject with a runtime class, because the class
// name is part of the interface: the error list records the reporting object's class
// name, and scripts see it through LISTERR.
//
// Results follow two conventions, kept from the protocol: Set/Get operations answer 0
// when done and nonzero when not; Value, the lookups and the dispatcher answer 1 when
// done, 2 when failed and 0 when the name is not theirs.
//
// Text buffers handed to string operations (the QMDLL result buffer, the buffers of
// GetValue(char*)) hold QM_STRING_RESULT_SIZE bytes; stored texts are cut to fit them.
#pragma once

#include <afx.h>

#include "QmErrors.h"
#include "QmHostRequests.h"

// Access flags the property layer receives from the dispatcher.
enum QmAccess {
    QM_ACCESS_STRING = 1,
    QM_ACCESS_SET = 4,
    QM_ACCESS_GET = 8,
    QM_ACCESS_SET_SIZE = 32,
    QM_ACCESS_GET_SIZE = 64,
};

// Type codes of Type().
enum QmType {
    QM_TYPE_NUMBER = 0,
    QM_TYPE_STRING = 1,
    QM_TYPE_METHOD = 2,
    QM_TYPE_VECTOR = 0x10,
};

// A numeric property holding exactly this value counts as not given; it is also what
// a method that does not compute anything answers.
#define QM_UNSET_VALUE 1234.0

enum { QM_MAX_ARGS = 8 };

class QmDLL;
class QmMethod;
class QmScript;

// One entry of a name table; a table ends with an entry whose name is null.
struct QmTableEntry {
    QmScript* object;
    const char* name;
};

class QmBaseObj : public CObject {
    DECLARE_DYNAMIC(QmBaseObj)
public:
    QmBaseObj();
    ~QmBaseObj() override;

    // Objects alive in this library; a method's end sweep is checked against it.
    static int s_count;

    virtual int IsValid() const;
    virtual int IsError();

    const char* ClassName() const { return GetRuntimeClass()->m_lpszClassName; }
    // Records `code` in the error list under this object's class name.
    void RecordError(int code) const;
};

class QmScript : public QmBaseObj {
    DECLARE_DYNAMIC(QmScript)
public:
    virtual int Value(char* text, int index, int flags);
    virtual int Value(double* value, int index, int flags);
    virtual int Value(char* text, int flags);
    virtual int Value(double* value, int flags);
    virtual int Method(const char* text, double* result);
    virtual int Type();
    virtual int SetValue(const char* text, int index);
    virtual int SetValue(double value, int index);
    virtual int SetValue(double value);
    virtual int GetValue(char* text, int index);
    virtual int GetValue(double* value, int index);
    virtual int GetValue(char* text);
    virtual int GetValue(double* value);
    virtual int SetVectorSize(int count);
    virtual int GetVectorSize(int* count);
    virtual int VectorSize(double* value, int flags);
    virtual int IsHookedWithMemoryObject();
    virtual void init();
    virtual void SetName(const char* name);
};

class QmProperty : public QmScript {
    DECLARE_DYNAMIC(QmProperty)
public:
    int given = 0;             // set when an argument text assigned the value
    const char* name = nullptr; // not owned

    void SetName(const char* text) override { name = text; }
    // Takes the value from an argument text; 0 when done.
    virtual int SetExpValue(const char* text) = 0;
    virtual const char* GetStr();
    virtual double GetReal();
    virtual int IsNeeded();
};

class QmNumeric : public QmProperty {
    DECLARE_DYNAMIC(QmNumeric)
public:
    ~QmNumeric() override;
    QmBaseObj* hook = nullptr; // an owned memory object, when one is attached

    using QmScript::GetValue;
    using QmScript::SetValue;
    using QmScript::Value;
    int Value(double* value, int flags) override;
    int SetExpValue(const char* text) override;
    int IsNeeded() override;
    void init() override;
    int GetValue(double* value, int index) override { return GetValue(value); }
};

class QmReal : public QmNumeric {
    DECLARE_DYNAMIC(QmReal)
public:
    double value = 0.0;

    using QmNumeric::GetValue;
    using QmNumeric::SetValue;
    int SetValue(double v) override;
    int GetValue(double* v) override;
    double GetReal() override { return value; }
    void init() override;
};

class QmInt : public QmNumeric {
    DECLARE_DYNAMIC(QmInt)
public:
    int value = 0;

    using QmNumeric::GetValue;
    using QmNumeric::SetValue;
    int SetValue(double v) override; // truncated toward zero, clamped to the int range
    int GetValue(double* v) override;
    double GetReal() override { return value; }
    void init() override;
};

class QmColumnNum : public QmInt {
    DECLARE_DYNAMIC(QmColumnNum)
};

class QmMemObjInt : public QmInt {
    DECLARE_DYNAMIC(QmMemObjInt)
};

class QmBool : public QmNumeric {
    DECLARE_DYNAMIC(QmBool)
public:
    int value = 0;

    using QmNumeric::GetValue;
    using QmNumeric::SetValue;
    int SetValue(double v) override; // 1 for anything but 0
    int GetValue(double* v) override;
    void Set(int on) { value = on ? 1 : 0; }
    void init() override;
};

class QmString : public QmProperty {
    DECLARE_DYNAMIC(QmString)
public:
    ~QmString() override;
    char* text = nullptr; // owned

    using QmScript::GetValue;
    using QmScript::Value;
    int Value(char* buffer, int flags) override;
    int Type() override { return QM_TYPE_STRING; }
    int GetValue(char* buffer, int index) override { return GetValue(buffer); }
    int GetValue(char* buffer) override;
    int SetExpValue(const char* value) override;
    const char* GetStr() override { return text; }
    int IsValid() const override { return text != nullptr; }
    void init() override;

    // Stores a copy (null frees the text). 0 when done, 1 when memory was refused.
    int SetText(const char* value);
    // 1 when it holds a text that is not empty.
    bool HasText() const { return text && *text; }
};

class QmWksName : public QmString {
    DECLARE_DYNAMIC(QmWksName)
};
class QmDataSetName : public QmString {
    DECLARE_DYNAMIC(QmDataSetName)
};
class QmPlotName : public QmString {
    DECLARE_DYNAMIC(QmPlotName)
};
class QmMatrixName : public QmString {
    DECLARE_DYNAMIC(QmMatrixName)
};

// A method: up to eight argument objects that receive the comma-separated argument text,
// and optionally a table of sub-properties (its results and settings).
class QmMethod : public QmScript {
    DECLARE_DYNAMIC(QmMethod)
public:
    ~QmMethod() override;

    QmProperty* args[QM_MAX_ARGS] = {}; // owned
    int argCount = 0;
    const char* name = nullptr;

    // Appends an argument object, which the method then owns.
    void AddArgument(QmProperty* argument);

    int Type() override { return QM_TYPE_METHOD; }
    void init() override { init_members(); }
    void SetName(const char* text) override { name = text; }

    virtual int Begin(const char* argText, QmDLL* root);
    virtual int Process(double* result, QmDLL* root);
    virtual void End(QmDLL* root);
    virtual QmTableEntry* GetTable();
    virtual int FindSubproperty(QmDLL* root, const char* subName, int flags, void* value);
    virtual int find_subproperty(QmDLL* root, const char* subName, int flags, void* value,
                                 QmTableEntry* table);
    virtual void list_subproperties(QmTableEntry* table, const char* prefix, QmDLL* root);
    virtual void ListSubproperties(const char* prefix, QmDLL* root);
    virtual void InitTableSubproperties(QmDLL* root);
    virtual void init_table_subproperties(QmTableEntry* table, QmDLL* root);
    virtual int MemoryObjectUpdate(int flags, int phase);
    virtual void init_members();
    virtual int DontStripArg();
};

class QmReset : public QmMethod {
    DECLARE_DYNAMIC(QmReset)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmTest : public QmMethod {
    DECLARE_DYNAMIC(QmTest)
public:
    int Process(double* result, QmDLL* root) override;
};

class QmListErr : public QmMethod {
    DECLARE_DYNAMIC(QmListErr)
public:
    int Begin(const char* argText, QmDLL* root) override;
    int Process(double* result, QmDLL* root) override;
    void End(QmDLL* root) override;
};

class QmLastErrId : public QmMethod {
    DECLARE_DYNAMIC(QmLastErrId)
public:
    int Process(double* result, QmDLL* root) override;
};

// The root object: one per plug-in, reached by QMDLL. Derived roots keep tables of their
// own and look there first, then fall back on their base class's lookups.
class QmDLL : public QmBaseObj {
    DECLARE_DYNAMIC(QmDLL)
public:
    QmDLL();
    ~QmDLL() override;

    QmTableEntry* properties; // ERROR, WARNMSG, MSG
    QmTableEntry* methods;    // LISTERR, LASTERRID
    // -1 during and after an ordinary call, 0 during a check-only call, 1 after a
    // check-only call that missed, 2 after one whose sub-property lookup failed.
    int status;
    QmReal m_version; // set to 6 on every reset; nothing reads it
    QmReal m_spare;
    QmMemObjInt m_error;
    QmMemObjInt m_warnMsg;
    QmString m_msg;
    QmListErr m_listErr;
    QmLastErrId m_lastErrId;

    // The body of QMDLL.
    int Dispatch(HWND context, LPCSTR methodName, LPCSTR name, void* result,
                 HostCallback callback, int code);

    virtual int Property(const char* name, int flags, void* value);
    virtual void ListAll();
    virtual int Command(const char* methodName, const char* argText, double* result);
    virtual int CommandValue(const char* methodName, const char* name, void* value, int flags);
    virtual int find_value(const char* name, int flags, void* value, QmTableEntry* table,
                           QmMethod* owner);
    virtual int find_command(const char* name, const char* argText, double* result,
                             QmTableEntry* table);
    virtual int find_command_value(const char* methodName, const char* name, int flags,
                                   void* value, QmTableEntry* table);
    virtual void list_table(QmTableEntry* table, const char* prefix);
    virtual void init_table(QmTableEntry* table);
    virtual void ResetAll();
    virtual int find_special(const char* name, int unused, int flags, void* value);

    void init_members();
    void name_table(QmTableEntry* table);

private:
    // Hands the host a reason for a failed method call when the method gave none.
    void ExplainFailure();

    QmTableEntry m_baseProperties[4];
    QmTableEntry m_baseMethods[3];
};

// Base of the objects that stand for host data (datasets, layers, memory blocks).
class QmQuorix : public QmBaseObj {
    DECLARE_DYNAMIC(QmQuorix)
};

// The plug-in's one root object, defined by each plug-in; QMDLL forwards to it.
QmDLL& QmRootObject();
