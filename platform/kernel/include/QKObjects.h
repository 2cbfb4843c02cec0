// The kernel's own build of the script object classes, for the script objects the user
// interface hands the kernel (the system object and its sub-objects). Unlike the plug-ins'
// classes, whose tables hold objects only, these tables are rows of a fixed layout that
// the kernel walks: a row names a member and says how to reach it, through an object or
// through a getter and a setter of the object that owns the table.
//
// The inline namespace keeps these classes apart, at link time, from the plug-in
// framework's classes of the same names, which some test programs link beside the kernel.
#pragma once

#include "QKDefs.h"

#include <stdint.h>

#include <map>

// Where load_save_INI reads and writes settings: a profile file, or the store's own
// memory when it is made without a file (the snapshot the options sheet restores).
class QK_API CQKSettingsStore {
public:
    explicit CQKSettingsStore(const std::string& iniFile = std::string()) : m_file(iniFile) {}
    bool IsFile() const { return !m_file.empty(); }
    // False when the key is not there; `value` is then left alone.
    bool Read(const std::string& section, const std::string& key, std::string& value) const;
    void Write(const std::string& section, const std::string& key, const std::string& value);
    void Clear() { m_memory.clear(); }

private:
    std::string m_file;
    std::map<std::string, std::string> m_memory; // "section\nkey" -> value
};

// The kernel's INI record: the store and the direction.
struct STINI {
    CQKSettingsStore* store;
    int save; // 1 writes the values into the store, 0 reads them back
};

// Reads or writes the values of one settings object under one section.
class QK_API QKSettingsExchange {
public:
    QKSettingsExchange(STINI* ini, const char* section) : m_ini(ini), m_section(section) {}
    bool IsSaving() const { return m_ini->save != 0; }
    void Int(const char* key, int& value);
    void Real(const char* key, double& value);
    void Text(const char* key, std::string& value);

private:
    STINI* m_ini;
    std::string m_section;
};

// Values of the row kinds. A method table holds kind 0 (a function of the table's owner:
// the getter field takes the result, the argument text and the root object) and kinds 1
// and 2 (a member object, reached as a method with sub-properties; the kernel reads both
// alike). A property table holds kind 2 (text), 5 (integer) and 6 (an integer the kernel
// keeps elsewhere: read and written like kind 5, but Init leaves it alone, since its
// default column need not be a value its setter takes).
enum QmRowKind {
    QM_KIND_FUNCTION = 0,
    QM_KIND_OBJECT = 1,
    QM_KIND_OBJECT_2 = 2,
    QM_KIND_TEXT = 2,
    QM_KIND_INT = 5,
    QM_KIND_INT_KEPT = 6,
};

// Text getters fill a buffer of this many characters, the terminator included.
enum { QM_ROW_TEXT_SIZE = 1024 };
enum { QM_METHOD_MAX_ARGS = 8 };

inline namespace qkobjects {

class QmDLL;
class QmMethod;

class QK_API QmBaseObj {
public:
    virtual ~QmBaseObj();
};

// The generic member function a row stores; the kind says which of the types below it
// really is, and the row makers cast it back to exactly that type.
typedef int (QmBaseObj::*QmRowFunction)();
typedef int (QmBaseObj::*QmIntGetter)(int*);
typedef int (QmBaseObj::*QmIntSetter)(int);
typedef int (QmBaseObj::*QmTextGetter)(char*);
typedef int (QmBaseObj::*QmTextSetter)(const char*);
typedef int (QmBaseObj::*QmMethodFunction)(double* result, const char* argText, QmDLL* root);

// One row; a table ends with a row whose name is null. Getters and setters answer 1 when
// done and 0 for a rejected value.
struct QmRow {
    QmMethod* object;
    const char* name; // upper case
    int32_t kind;
    QmRowFunction getter;
    QmRowFunction setter;
    int32_t reserved[3];
    double defaultValue;
};

// Keeps a parameter out of template deduction, so a null setter can be passed.
template <class T> struct QmSame { typedef T type; };

template <class T>
QmRow QmIntRow(const char* name, int (T::*get)(int*), typename QmSame<int (T::*)(int)>::type set, double def,
               int kind = QM_KIND_INT)
{
    QmRow row = {nullptr, name, kind, nullptr, nullptr, {0, 0, 0}, def};
    row.getter = reinterpret_cast<QmRowFunction>(static_cast<QmIntGetter>(get));
    if (set)
        row.setter = reinterpret_cast<QmRowFunction>(static_cast<QmIntSetter>(set));
    return row;
}

template <class T>
QmRow QmTextRow(const char* name, int (T::*get)(char*), typename QmSame<int (T::*)(const char*)>::type set)
{
    QmRow row = {nullptr, name, QM_KIND_TEXT, nullptr, nullptr, {0, 0, 0}, 0.0};
    row.getter = reinterpret_cast<QmRowFunction>(static_cast<QmTextGetter>(get));
    if (set)
        row.setter = reinterpret_cast<QmRowFunction>(static_cast<QmTextSetter>(set));
    return row;
}

template <class T>
QmRow QmFunctionRow(const char* name, int (T::*fn)(double*, const char*, QmDLL*))
{
    QmRow row = {nullptr, name, QM_KIND_FUNCTION, nullptr, nullptr, {0, 0, 0}, 0.0};
    row.getter = reinterpret_cast<QmRowFunction>(static_cast<QmMethodFunction>(fn));
    return row;
}

QK_API QmRow QmObjectRow(const char* name, QmMethod* object, int kind);
QK_API QmRow QmEndRow();

// A text argument of a method.
class QK_API QmString : public QmBaseObj {
public:
    const char* GetText() const { return m_text.c_str(); }
    void SetText(const char* text) { m_text = text ? text : ""; }

private:
    std::string m_text;
};

// A member object: called as a method, it may have sub-properties (GetTable) and methods
// of its own (GetTableOfSimpleMethods); argument objects live in `args` while it runs.
class QK_API QmMethod : public QmBaseObj {
public:
    ~QmMethod() override;

    QmString* args[QM_METHOD_MAX_ARGS] = {};
    int argCount = 0;

    // Gives the argument objects the pieces of the text between commas, in order; blanks
    // around a piece and enclosing double quotes go unless DontStripArg answers 1.
    virtual int Begin(const char* argText, QmDLL* root);
    // The default sets the result to 0 and does nothing else.
    virtual int Process(double* result, QmDLL* root);
    virtual void End(QmDLL* root);
    virtual QmRow* GetTable();
    virtual QmRow* GetTableOfSimpleMethods();
    virtual int DontStripArg();

    // Makes `count` argument objects (deleting any left over), and deletes them all.
    void CreateArguments(int count);
    void DeleteArguments();
};

// The root of a script object. The lookups answer 0 when the name is not in the table,
// 1 when done and 2 when the member refused (a rejected value, a read-only member).
// Operation codes are those of the plug-in protocol (OBJOP_GET_NUMBER ... in QmHost.h);
// numbers travel as text in the caller's buffer, which holds at least QM_ROW_TEXT_SIZE
// characters. A null result asks find_command only whether the method exists.
class QK_API QmDLL : public QmBaseObj {
public:
    QmDLL();
    ~QmDLL() override;

    QmRow* properties; // the QmDLL pair: empty tables, kept for the lookup order
    QmRow* methods;

    virtual int FindValue(const char* name, int op, char* text);
    virtual int FindCommand(const char* name, const char* argText, double* result);
    virtual int FindCommandValue(const char* methodName, const char* name, char* text, int op);
    // Prints every member, one per line, to the script output.
    virtual void List();
    // Every setting back to its default.
    virtual void Init();
    virtual int LoadSaveINI(STINI* ini, const char* section);
    // A snapshot of every setting, and its return.
    virtual void SaveTemporary();
    virtual void LoadTemporary();
    // The property settings (the startup options of the settings file) into the object,
    // or the object's into them; file and section NULL name the program's own. FALSE for
    // an object that keeps none.
    virtual BOOL LoadPropertySettings(const char* file, const char* section);
    virtual BOOL SavePropertySettings(const char* file, const char* section);
    virtual void init_members();

    int find_value(const char* name, int op, char* text, QmRow* table, QmBaseObj* owner);
    // `name` may be "OBJECT.METHOD": a method of a member object's simple-method table.
    int find_command(const char* name, const char* argText, double* result, QmRow* table);
    int find_command_value(const char* methodName, const char* name, char* text, int op, QmRow* table);
    void list_table(QmRow* table, const char* prefix);
    void init_table(QmRow* table, QmBaseObj* owner);
    int load_save_INI(STINI* ini, const char* section, QmRow* table, QmBaseObj* owner,
                      const char* keyPrefix = "");

protected:
    CQKSettingsStore m_temporary;

private:
    QmRow m_emptyTable[1];
};

} // namespace qkobjects
