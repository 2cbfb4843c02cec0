// The row walker of the kernel's script object classes.
#include "QKObjects.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "KernelInternal.h"
#include "QKScript.h"
#include "QmHost.h"

namespace {

std::string StoreKey(const std::string& section, const std::string& key)
{
    return section + "\n" + key;
}

bool IsNumberOp(int op)
{
    op &= 0xFFFF;
    return op == OBJOP_GET_NUMBER || op == OBJOP_SET_NUMBER;
}

bool IsSetOp(int op)
{
    op &= 0xFFFF;
    return op == OBJOP_SET_NUMBER || op == OBJOP_SET_STRING;
}

std::string FormatInt(int v)
{
    return std::to_string(v);
}

// A number from text; false when the text is not one.
bool ParseNumber(const char* text, double* value)
{
    if (!text)
        return false;
    char* end = nullptr;
    double v = strtod(text, &end);
    if (end == text)
        return false;
    while (*end == ' ' || *end == '\t')
        ++end;
    if (*end)
        return false;
    *value = v;
    return true;
}

int CallIntGetter(QmBaseObj* owner, const QmRow& row, int* value)
{
    return (owner->*reinterpret_cast<QmIntGetter>(row.getter))(value);
}

int CallIntSetter(QmBaseObj* owner, const QmRow& row, int value)
{
    return (owner->*reinterpret_cast<QmIntSetter>(row.setter))(value);
}

int CallTextGetter(QmBaseObj* owner, const QmRow& row, char* buffer)
{
    return (owner->*reinterpret_cast<QmTextGetter>(row.getter))(buffer);
}

int CallTextSetter(QmBaseObj* owner, const QmRow& row, const char* text)
{
    return (owner->*reinterpret_cast<QmTextSetter>(row.setter))(text);
}

bool IsIntKind(int kind)
{
    return kind == QM_KIND_INT || kind == QM_KIND_INT_KEPT;
}

bool IsObjectRow(const QmRow& row)
{
    return row.object && (row.kind == QM_KIND_OBJECT || row.kind == QM_KIND_OBJECT_2);
}

const QmRow* FindRow(const QmRow* table, const char* name)
{
    if (!table || !name)
        return nullptr;
    for (const QmRow* row = table; row->name; ++row)
        if (_stricmp(row->name, name) == 0)
            return row;
    return nullptr;
}

} // namespace

bool CQKSettingsStore::Read(const std::string& section, const std::string& key, std::string& value) const
{
    if (!IsFile()) {
        auto it = m_memory.find(StoreKey(section, key));
        if (it == m_memory.end())
            return false;
        value = it->second;
        return true;
    }
    // A sentinel default tells a missing key from an empty one.
    static const char kMissing[] = "\x01missing\x01";
    std::vector<char> buf(4096);
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buf.data(), (DWORD)buf.size(),
                                       m_file.c_str());
    std::string text(buf.data(), n);
    if (text == kMissing)
        return false;
    value = text;
    return true;
}

void CQKSettingsStore::Write(const std::string& section, const std::string& key, const std::string& value)
{
    if (!IsFile()) {
        m_memory[StoreKey(section, key)] = value;
        return;
    }
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), m_file.c_str());
}

void QKSettingsExchange::Int(const char* key, int& value)
{
    if (IsSaving()) {
        m_ini->store->Write(m_section, key, FormatInt(value));
        return;
    }
    std::string text;
    double v = 0;
    if (m_ini->store->Read(m_section, key, text) && ParseNumber(text.c_str(), &v))
        value = (int)v;
}

void QKSettingsExchange::Real(const char* key, double& value)
{
    if (IsSaving()) {
        m_ini->store->Write(m_section, key, qkFormatNumber(value, 17));
        return;
    }
    std::string text;
    double v = 0;
    if (m_ini->store->Read(m_section, key, text) && ParseNumber(text.c_str(), &v))
        value = v;
}

void QKSettingsExchange::Text(const char* key, std::string& value)
{
    if (IsSaving()) {
        m_ini->store->Write(m_section, key, value);
        return;
    }
    m_ini->store->Read(m_section, key, value);
}

inline namespace qkobjects {

QmBaseObj::~QmBaseObj() = default;

QmRow QmObjectRow(const char* name, QmMethod* object, int kind)
{
    QmRow row = {object, name, kind, nullptr, nullptr, {0, 0, 0}, 0.0};
    return row;
}

QmRow QmEndRow()
{
    QmRow row = {nullptr, nullptr, 0, nullptr, nullptr, {0, 0, 0}, 0.0};
    return row;
}

// ---- QmMethod ----

QmMethod::~QmMethod()
{
    DeleteArguments();
}

void QmMethod::CreateArguments(int count)
{
    DeleteArguments();
    if (count > QM_METHOD_MAX_ARGS)
        count = QM_METHOD_MAX_ARGS;
    for (int i = 0; i < count; ++i)
        args[i] = new QmString;
    argCount = count;
}

void QmMethod::DeleteArguments()
{
    for (QmString*& a : args) {
        delete a;
        a = nullptr;
    }
    argCount = 0;
}

int QmMethod::Begin(const char* argText, QmDLL*)
{
    std::string text = argText ? argText : "";
    size_t start = 0;
    for (int i = 0; i < argCount; ++i) {
        size_t comma = text.find(',', start);
        std::string piece = start > text.size() ? std::string()
                            : text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        start = comma == std::string::npos ? text.size() + 1 : comma + 1;
        if (!DontStripArg()) {
            size_t a = piece.find_first_not_of(" \t");
            size_t b = piece.find_last_not_of(" \t");
            piece = a == std::string::npos ? std::string() : piece.substr(a, b - a + 1);
            if (piece.size() >= 2 && piece.front() == '"' && piece.back() == '"')
                piece = piece.substr(1, piece.size() - 2);
        }
        if (args[i])
            args[i]->SetText(piece.c_str());
    }
    return 0;
}

int QmMethod::Process(double* result, QmDLL*)
{
    if (result)
        *result = 0;
    return 0;
}

void QmMethod::End(QmDLL*) {}

QmRow* QmMethod::GetTable()
{
    return nullptr;
}

QmRow* QmMethod::GetTableOfSimpleMethods()
{
    return nullptr;
}

int QmMethod::DontStripArg()
{
    return 0;
}

// ---- QmDLL ----

QmDLL::QmDLL()
{
    m_emptyTable[0] = QmEndRow();
    properties = m_emptyTable;
    methods = m_emptyTable;
}

QmDLL::~QmDLL() = default;

void QmDLL::init_members() {}

int QmDLL::FindValue(const char* name, int op, char* text)
{
    return find_value(name, op, text, properties, this);
}

int QmDLL::FindCommand(const char* name, const char* argText, double* result)
{
    return find_command(name, argText, result, methods);
}

int QmDLL::FindCommandValue(const char* methodName, const char* name, char* text, int op)
{
    return find_command_value(methodName, name, text, op, methods);
}

void QmDLL::List()
{
    list_table(methods, "");
    list_table(properties, "");
}

void QmDLL::Init()
{
    init_members();
    init_table(properties, this);
    init_table(methods, this);
}

int QmDLL::LoadSaveINI(STINI* ini, const char* section)
{
    load_save_INI(ini, section, methods, this);
    load_save_INI(ini, section, properties, this);
    return 1;
}

void QmDLL::SaveTemporary()
{
    m_temporary.Clear();
    STINI ini = {&m_temporary, 1};
    LoadSaveINI(&ini, "Temporary");
}

void QmDLL::LoadTemporary()
{
    STINI ini = {&m_temporary, 0};
    LoadSaveINI(&ini, "Temporary");
}

BOOL QmDLL::LoadPropertySettings(const char*, const char*)
{
    return FALSE;
}

BOOL QmDLL::SavePropertySettings(const char*, const char*)
{
    return FALSE;
}

int QmDLL::find_value(const char* name, int op, char* text, QmRow* table, QmBaseObj* owner)
{
    const QmRow* row = FindRow(table, name);
    if (!row || row->object || !row->getter)
        return QM_NOT_FOUND;
    bool set = IsSetOp(op);
    if (IsIntKind(row->kind)) {
        if (set) {
            double v = 0;
            if (!row->setter || !ParseNumber(text, &v))
                return QM_NOT_HANDLED;
            return CallIntSetter(owner, *row, (int)v) ? QM_HANDLED : QM_NOT_HANDLED;
        }
        int value = 0;
        if (!CallIntGetter(owner, *row, &value))
            return QM_NOT_HANDLED;
        lstrcpynA(text, FormatInt(value).c_str(), QM_ROW_TEXT_SIZE);
        return QM_HANDLED;
    }
    if (row->kind == QM_KIND_TEXT) {
        // A text member has no number.
        if (IsNumberOp(op))
            return QM_NOT_HANDLED;
        if (set)
            return row->setter && CallTextSetter(owner, *row, text) ? QM_HANDLED : QM_NOT_HANDLED;
        std::vector<char> buf(QM_ROW_TEXT_SIZE, 0);
        if (!CallTextGetter(owner, *row, buf.data()))
            return QM_NOT_HANDLED;
        buf.back() = 0;
        lstrcpynA(text, buf.data(), QM_ROW_TEXT_SIZE);
        return QM_HANDLED;
    }
    return QM_NOT_FOUND;
}

int QmDLL::find_command(const char* name, const char* argText, double* result, QmRow* table)
{
    if (!name)
        return QM_NOT_FOUND;
    const char* dot = strchr(name, '.');
    if (dot) {
        std::string objectName(name, dot - name);
        const QmRow* row = FindRow(table, objectName.c_str());
        if (!row || !IsObjectRow(*row))
            return QM_NOT_FOUND;
        QmMethod* object = row->object;
        const QmRow* fn = FindRow(object->GetTableOfSimpleMethods(), dot + 1);
        if (!fn || fn->kind != QM_KIND_FUNCTION || !fn->getter)
            return QM_NOT_FOUND;
        if (!result)
            return QM_HANDLED;
        (object->*reinterpret_cast<QmMethodFunction>(fn->getter))(result, argText ? argText : "", this);
        return QM_HANDLED;
    }
    const QmRow* row = FindRow(table, name);
    if (!row)
        return QM_NOT_FOUND;
    if (row->kind == QM_KIND_FUNCTION && !row->object && row->getter) {
        if (!result)
            return QM_HANDLED;
        (this->*reinterpret_cast<QmMethodFunction>(row->getter))(result, argText ? argText : "", this);
        return QM_HANDLED;
    }
    if (!IsObjectRow(*row))
        return QM_NOT_FOUND;
    if (!result)
        return QM_HANDLED;
    QmMethod* object = row->object;
    object->Begin(argText ? argText : "", this);
    object->Process(result, this);
    object->End(this);
    return QM_HANDLED;
}

int QmDLL::find_command_value(const char* methodName, const char* name, char* text, int op, QmRow* table)
{
    const QmRow* row = FindRow(table, methodName);
    if (!row || !IsObjectRow(*row))
        return QM_NOT_FOUND;
    int rc = find_value(name, op, text, row->object->GetTable(), row->object);
    // The method is this table's: a missing sub-property is its answer, not the next table's.
    return rc == QM_NOT_FOUND ? QM_NOT_HANDLED : rc;
}

void QmDLL::list_table(QmRow* table, const char* prefix)
{
    if (!table)
        return;
    CQKScript& script = qkfxGetScript();
    for (QmRow* row = table; row->name; ++row) {
        std::string full = std::string(prefix) + row->name;
        if (IsObjectRow(*row)) {
            script.Print(full + "()");
            list_table(row->object->GetTableOfSimpleMethods(), (full + ".").c_str());
            list_table(row->object->GetTable(), (full + ".").c_str());
            continue;
        }
        if (row->kind == QM_KIND_FUNCTION) {
            script.Print(full + "()");
            continue;
        }
        script.Print(full + (row->kind == QM_KIND_TEXT ? "$" : ""));
    }
}

void QmDLL::init_table(QmRow* table, QmBaseObj* owner)
{
    if (!table)
        return;
    for (QmRow* row = table; row->name; ++row) {
        if (IsObjectRow(*row))
            init_table(row->object->GetTable(), row->object);
        else if (row->kind == QM_KIND_INT && row->setter)
            CallIntSetter(owner, *row, (int)row->defaultValue);
    }
}

int QmDLL::load_save_INI(STINI* ini, const char* section, QmRow* table, QmBaseObj* owner, const char* keyPrefix)
{
    if (!ini || !ini->store || !table)
        return 0;
    for (QmRow* row = table; row->name; ++row) {
        std::string key = std::string(keyPrefix) + row->name;
        if (IsObjectRow(*row)) {
            load_save_INI(ini, section, row->object->GetTable(), row->object, (key + ".").c_str());
            continue;
        }
        // Read-only members are not settings.
        if (!row->getter || !row->setter)
            continue;
        if (IsIntKind(row->kind)) {
            if (ini->save) {
                int value = 0;
                if (CallIntGetter(owner, *row, &value))
                    ini->store->Write(section, key, FormatInt(value));
            } else {
                std::string text;
                double v = 0;
                if (ini->store->Read(section, key, text) && ParseNumber(text.c_str(), &v))
                    CallIntSetter(owner, *row, (int)v);
            }
        } else if (row->kind == QM_KIND_TEXT) {
            if (ini->save) {
                std::vector<char> buf(QM_ROW_TEXT_SIZE, 0);
                if (CallTextGetter(owner, *row, buf.data())) {
                    buf.back() = 0;
                    ini->store->Write(section, key, buf.data());
                }
            } else {
                std::string text;
                if (ini->store->Read(section, key, text))
                    CallTextSetter(owner, *row, text.c_str());
            }
        }
    }
    return 1;
}

} // namespace qkobjects
