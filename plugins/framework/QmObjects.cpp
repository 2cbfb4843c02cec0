#include "QmObjects.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <climits>
#include <string>
#include <vector>

#include "qxutil.h"

IMPLEMENT_DYNAMIC(QmBaseObj, CObject)
IMPLEMENT_DYNAMIC(QmScript, QmBaseObj)
IMPLEMENT_DYNAMIC(QmProperty, QmScript)
IMPLEMENT_DYNAMIC(QmNumeric, QmProperty)
IMPLEMENT_DYNAMIC(QmReal, QmNumeric)
IMPLEMENT_DYNAMIC(QmInt, QmNumeric)
IMPLEMENT_DYNAMIC(QmColumnNum, QmInt)
IMPLEMENT_DYNAMIC(QmMemObjInt, QmInt)
IMPLEMENT_DYNAMIC(QmBool, QmNumeric)
IMPLEMENT_DYNAMIC(QmString, QmProperty)
IMPLEMENT_DYNAMIC(QmWksName, QmString)
IMPLEMENT_DYNAMIC(QmDataSetName, QmString)
IMPLEMENT_DYNAMIC(QmPlotName, QmString)
IMPLEMENT_DYNAMIC(QmMatrixName, QmString)
IMPLEMENT_DYNAMIC(QmMethod, QmScript)
IMPLEMENT_DYNAMIC(QmReset, QmMethod)
IMPLEMENT_DYNAMIC(QmTest, QmMethod)
IMPLEMENT_DYNAMIC(QmListErr, QmMethod)
IMPLEMENT_DYNAMIC(QmLastErrId, QmMethod)
IMPLEMENT_DYNAMIC(QmDLL, QmBaseObj)
IMPLEMENT_DYNAMIC(QmQuorix, QmBaseObj)

// ---- QmBaseObj ----------------------------------------------------------------------

int QmBaseObj::s_count = 0;

QmBaseObj::QmBaseObj()
{
    ++s_count;
}

QmBaseObj::~QmBaseObj()
{
    --s_count;
}

int QmBaseObj::IsValid() const
{
    return 1;
}

int QmBaseObj::IsError()
{
    return QmErrorRecorded();
}

void QmBaseObj::RecordError(int code) const
{
    QmRecordError(code, ClassName());
}

// ---- QmScript: the defaults -----------------------------------------------------------

int QmScript::Value(char*, int, int) { return 0; }
int QmScript::Value(double*, int, int) { return 0; }
int QmScript::Value(char*, int) { return 0; }
int QmScript::Value(double*, int) { return 0; }
int QmScript::Method(const char*, double*) { return 123; }
int QmScript::Type() { return QM_TYPE_NUMBER; }
int QmScript::SetValue(const char*, int) { return 0; }
int QmScript::SetValue(double, int) { return 0; }
int QmScript::SetValue(double) { return 0; }
int QmScript::GetValue(char*, int) { return 0; }
int QmScript::GetValue(double*, int) { return 0; }
int QmScript::GetValue(char*) { return 0; }
int QmScript::GetValue(double*) { return 0; }
int QmScript::SetVectorSize(int) { return 1; }
int QmScript::GetVectorSize(int*) { return 1; }
int QmScript::IsHookedWithMemoryObject() { return 0; }
void QmScript::init() {}
void QmScript::SetName(const char*) {}

int QmScript::VectorSize(double* value, int flags)
{
    if (!value)
        return 2;
    if (flags & QM_ACCESS_SET_SIZE) {
        double v = *value;
        if (!(v >= 0.0 && v <= INT_MAX))
            return 2;
        return SetVectorSize(static_cast<int>(v)) == 0 ? 1 : 2;
    }
    if (flags & QM_ACCESS_GET_SIZE) {
        int count = 0;
        if (GetVectorSize(&count) != 0)
            return 2;
        *value = count;
        return 1;
    }
    return 2;
}

// ---- QmProperty -----------------------------------------------------------------------

const char* QmProperty::GetStr() { return nullptr; }
double QmProperty::GetReal() { return MISSING_VALUE; }
int QmProperty::IsNeeded() { return 0; }

// ---- Numeric properties -----------------------------------------------------------------

QmNumeric::~QmNumeric()
{
    delete hook;
}

int QmNumeric::Value(double* value, int flags)
{
    if (!value)
        return 2;
    if (flags & QM_ACCESS_SET)
        return SetValue(*value) == 0 ? 1 : 2;
    if (flags & QM_ACCESS_GET)
        return GetValue(value) == 0 ? 1 : 2;
    return 2;
}

int QmNumeric::SetExpValue(const char* text)
{
    // A text the host cannot evaluate must not leave a stale value looking given.
    double v = 0.0;
    if (QmEvalNumber(text, &v) != 0)
        return 1;
    given = 1;
    return SetValue(v);
}

int QmNumeric::IsNeeded()
{
    return GetReal() == QM_UNSET_VALUE ? 1 : 0;
}

void QmNumeric::init()
{
    delete hook;
    hook = nullptr;
}

int QmReal::SetValue(double v)
{
    value = v;
    return 0;
}

int QmReal::GetValue(double* v)
{
    if (v)
        *v = value;
    return 0;
}

void QmReal::init()
{
    QmNumeric::init();
    value = 0.0;
}

int QmInt::SetValue(double v)
{
    if (v != v)
        value = 0;
    else if (v >= static_cast<double>(INT_MAX))
        value = INT_MAX;
    else if (v <= static_cast<double>(INT_MIN))
        value = INT_MIN;
    else
        value = static_cast<int>(v);
    return 0;
}

int QmInt::GetValue(double* v)
{
    if (v)
        *v = value;
    return 0;
}

void QmInt::init()
{
    QmNumeric::init();
    value = 0;
}

int QmBool::SetValue(double v)
{
    value = v != 0.0 ? 1 : 0;
    return 0;
}

int QmBool::GetValue(double* v)
{
    if (v)
        *v = value;
    return 0;
}

void QmBool::init()
{
    QmNumeric::init();
    value = 0;
}

// ---- QmString -------------------------------------------------------------------------

QmString::~QmString()
{
    free(text);
}

int QmString::SetText(const char* value)
{
    if (!value) {
        free(text);
        text = nullptr;
        return 0;
    }
    // Methods called once per line set the same names again and again: the text kept
    // is value cut to QM_STRING_RESULT_SIZE - 1 characters.
    if (text) {
        size_t i = 0;
        while (i < QM_STRING_RESULT_SIZE - 1 && value[i] && text[i] == value[i])
            ++i;
        if (text[i] == '\0' && (i == QM_STRING_RESULT_SIZE - 1 || value[i] == '\0'))
            return 0;
    }
    size_t n = strnlen(value, QM_STRING_RESULT_SIZE - 1);
    char* copy = static_cast<char*>(malloc(n + 1));
    if (!copy)
        return 1;
    memcpy(copy, value, n);
    copy[n] = '\0';
    free(text);
    text = copy;
    return 0;
}

int QmString::Value(char* buffer, int flags)
{
    if (!buffer)
        return 2;
    if (flags & QM_ACCESS_SET)
        return SetText(buffer) == 0 ? 1 : 2;
    if (flags & QM_ACCESS_GET)
        return GetValue(buffer) == 0 ? 1 : 2;
    return 2;
}

int QmString::GetValue(char* buffer)
{
    if (buffer)
        QmCopyText(buffer, QM_STRING_RESULT_SIZE, text ? text : "");
    return 0;
}

int QmString::SetExpValue(const char* value)
{
    given = 1;
    return SetText(value);
}

void QmString::init()
{
    free(text);
    text = nullptr;
}

// ---- QmMethod -------------------------------------------------------------------------

QmMethod::~QmMethod()
{
    for (QmProperty*& a : args) {
        delete a;
        a = nullptr;
    }
}

void QmMethod::AddArgument(QmProperty* argument)
{
    if (argCount >= QM_MAX_ARGS) {
        delete argument;
        return;
    }
    args[argCount++] = argument;
}

int QmMethod::Begin(const char* argText, QmDLL*)
{
    QmClearErrors();
    // Stripping and splitting work in place, on a copy of the host's text.
    size_t length = argText ? strlen(argText) : 0;
    char shortText[256];
    std::vector<char> longText;
    char* text = shortText;
    if (length >= sizeof shortText) {
        longText.resize(length + 1);
        text = longText.data();
    }
    // By hand: an argument text is short, and the C library's block copy costs more. A
    // text without blanks needs no stripping, one without a comma no splitting.
    bool blanks = false, comma = false;
    for (size_t i = 0; i < length; ++i) {
        char c = argText[i];
        text[i] = c;
        blanks = blanks || c == ' ' || c == '\t';
        comma = comma || c == ',';
    }
    text[length] = '\0';
    if (blanks && !DontStripArg())
        UtilStripBlanks(text);
    for (int i = 0; i < argCount; ++i)
        if (args[i])
            args[i]->given = 0;
    if (!*text)
        return 0;
    if (argCount == 0) {
        RecordError(QM_ERR_TOO_MANY_ARGS);
        return 1;
    }
    for (int i = 0;; ++i) {
        char* separator = comma ? UtilFindSeparator(text, ',', UTIL_SEP_SKIP_NESTED) : nullptr;
        if (separator)
            *separator = '\0';
        // An empty piece (two commas in a row) leaves that argument as it was.
        if (*text && args[i] && args[i]->SetExpValue(text) != 0) {
            RecordError(QM_ERR_BAD_ARGUMENT);
            return 1;
        }
        if (!separator)
            return 0;
        if (i + 1 >= argCount) {
            RecordError(QM_ERR_TOO_MANY_ARGS);
            return 1;
        }
        text = separator + 1;
    }
}

int QmMethod::Process(double* result, QmDLL*)
{
    if (result)
        *result = QM_UNSET_VALUE;
    return 0;
}

void QmMethod::End(QmDLL*)
{
    QmUpdateHost();
}

QmTableEntry* QmMethod::GetTable()
{
    return nullptr;
}

int QmMethod::FindSubproperty(QmDLL* root, const char* subName, int flags, void* value)
{
    return find_subproperty(root, subName, flags, value, GetTable());
}

int QmMethod::find_subproperty(QmDLL* root, const char* subName, int flags, void* value,
                               QmTableEntry* table)
{
    if (!table)
        return 2;
    return root->find_value(subName, flags, value, table, this);
}

void QmMethod::list_subproperties(QmTableEntry* table, const char* prefix, QmDLL* root)
{
    if (table)
        root->list_table(table, prefix);
}

void QmMethod::ListSubproperties(const char* prefix, QmDLL* root)
{
    list_subproperties(GetTable(), prefix, root);
}

void QmMethod::InitTableSubproperties(QmDLL* root)
{
    init_table_subproperties(GetTable(), root);
}

void QmMethod::init_table_subproperties(QmTableEntry* table, QmDLL* root)
{
    if (table)
        root->init_table(table);
}

int QmMethod::MemoryObjectUpdate(int, int) { return 1; }
void QmMethod::init_members() {}
int QmMethod::DontStripArg() { return 0; }

// ---- The standard methods ---------------------------------------------------------------

int QmReset::Process(double* result, QmDLL* root)
{
    root->ResetAll();
    *result = 0.0;
    return 0;
}

int QmTest::Process(double*, QmDLL*)
{
    return 0;
}

int QmListErr::Begin(const char*, QmDLL*)
{
    // Listing must not clear what it is asked to list.
    return 0;
}

int QmListErr::Process(double*, QmDLL*)
{
    int slot = QmNewestErrorSlot();
    for (int n = 0; n < QM_ERROR_SLOTS; ++n) {
        const char* text = QmErrorTextAt(slot);
        std::string line = text ? text : "";
        line += '\t';
        line += std::to_string(QmErrorCodeAt(slot));
        QmPrintText(line.c_str());
        slot = slot == 0 ? QM_ERROR_SLOTS - 1 : slot - 1;
    }
    return 0;
}

void QmListErr::End(QmDLL*) {}

int QmLastErrId::Process(double* result, QmDLL*)
{
    *result = QmLastErrorId();
    return 0;
}

// ---- QmDLL ------------------------------------------------------------------------------

QmDLL::QmDLL()
    : m_baseProperties{{&m_error, "ERROR"}, {&m_warnMsg, "WARNMSG"}, {&m_msg, "MSG"}, {nullptr, nullptr}},
      m_baseMethods{{&m_listErr, "LISTERR"}, {&m_lastErrId, "LASTERRID"}, {nullptr, nullptr}}
{
    properties = m_baseProperties;
    methods = m_baseMethods;
    name_table(properties);
    name_table(methods);
    status = -1;
    init_members();
    init_table(properties);
    init_table(methods);
}

QmDLL::~QmDLL() = default;

static int AccessFlags(int code)
{
    switch (code) {
    case OBJOP_SET_NUMBER: return QM_ACCESS_SET;
    case OBJOP_GET_NUMBER: return QM_ACCESS_GET;
    case OBJOP_SET_STRING: return QM_ACCESS_SET | QM_ACCESS_STRING;
    case OBJOP_GET_STRING: return QM_ACCESS_GET | QM_ACCESS_STRING;
    case OBJOP_GET_VECTOR_SIZE: return QM_ACCESS_GET_SIZE;
    case OBJOP_SET_VECTOR_SIZE: return QM_ACCESS_SET_SIZE;
    default: return QM_NOT_HANDLED;
    }
}

int QmDLL::Dispatch(HWND context, LPCSTR methodName, LPCSTR name, void* result,
                    HostCallback callback, int code)
{
    QmBindHost(context, callback);
    QmClearFailureReason();
    if ((code & 0xFFFF) == OBJOP_LAST_STATUS) {
        if (result)
            *static_cast<int*>(result) = status;
        return QM_HANDLED;
    }
    code &= 0xFFFF;
    if (code & OBJOP_FLAG_8000) {
        status = 0;
        code &= 0x7FFF;
    } else {
        status = -1;
    }
    if (!name)
        name = "";

    if (code == OBJOP_CALL_METHOD) {
        double scratch = 0.0;
        int r = Command(methodName ? methodName : "", name, result ? static_cast<double*>(result) : &scratch);
        if (status > 0)
            return QM_NOT_HANDLED;
        if (r == QM_HANDLED)
            return QM_HANDLED;
        if (status == 0) {
            status = 1;
            return QM_NOT_HANDLED;
        }
        return r;
    }

    if (!*name) {
        if (status < 0) {
            ListAll();
            return QM_HANDLED;
        }
        return QM_NOT_HANDLED;
    }

    int flags = AccessFlags(code);
    if (flags == QM_NOT_HANDLED || !result)
        return QM_NOT_HANDLED;

    int r = methodName ? CommandValue(methodName, name, result, flags) : Property(name, flags, result);
    if (r == QM_HANDLED)
        return QM_HANDLED;
    if (status == 0) {
        status = 1;
        return QM_NOT_HANDLED;
    }
    if (status > 0)
        return QM_NOT_HANDLED;
    return r;
}

int QmDLL::Property(const char* name, int flags, void* value)
{
    return find_value(name, flags, value, properties, nullptr);
}

void QmDLL::ListAll()
{
    list_table(methods, nullptr);
    list_table(properties, nullptr);
}

int QmDLL::Command(const char* methodName, const char* argText, double* result)
{
    return find_command(methodName, argText, result, methods);
}

int QmDLL::CommandValue(const char* methodName, const char* name, void* value, int flags)
{
    return find_command_value(methodName, name, flags, value, methods);
}

// Names are ASCII; the C runtime's comparison goes through the locale, and every method
// call compares its name with the whole method table.
static bool SameName(const char* a, const char* b)
{
    if (!a || !b)
        return false;
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y)
            return false;
        if (!x)
            return true;
    }
}

// Memory-hooked properties live in a host block that the owning method maps in for the
// duration of one access.
static int AccessEntry(QmScript* object, QmMethod* owner, int flags, void* value, int index)
{
    bool bracket = owner && object->IsHookedWithMemoryObject();
    if (bracket)
        owner->MemoryObjectUpdate(flags, 1);
    int r;
    if (index < 0)
        r = (flags & QM_ACCESS_STRING) ? object->Value(static_cast<char*>(value), flags)
                                       : object->Value(static_cast<double*>(value), flags);
    else
        r = (flags & QM_ACCESS_STRING) ? object->Value(static_cast<char*>(value), index, flags)
                                       : object->Value(static_cast<double*>(value), index, flags);
    if (bracket)
        owner->MemoryObjectUpdate(flags, 0);
    return r;
}

int QmDLL::find_value(const char* name, int flags, void* value, QmTableEntry* table, QmMethod* owner)
{
    if (!table || !name)
        return 0;
    bool hasVectors = false;
    for (QmTableEntry* e = table; e->name; ++e) {
        int type = e->object->Type();
        if (type & QM_TYPE_VECTOR) {
            hasVectors = true;
            continue;
        }
        if (type == (flags & 3) && SameName(e->name, name)) {
            int r = AccessEntry(e->object, owner, flags, value, -1);
            if (r)
                return r;
            break;
        }
    }
    int r = find_special(name, 0, flags, value);
    if (r || !hasVectors)
        return r;

    std::vector<char> base(strlen(name) + 1, '\0');
    int index = 0;
    UtilSplitIndexedName(base.data(), &index, name);
    bool sizeOp = (flags & (QM_ACCESS_SET_SIZE | QM_ACCESS_GET_SIZE)) != 0;
    if (!sizeOp && index < 1)
        return 0;
    for (QmTableEntry* e = table; e->name; ++e) {
        int type = e->object->Type();
        if (!(type & QM_TYPE_VECTOR) || !SameName(e->name, base.data()))
            continue;
        if (!sizeOp && (type & ~QM_TYPE_VECTOR) != (flags & 3))
            continue;
        if (sizeOp)
            return e->object->VectorSize(static_cast<double*>(value), flags);
        return AccessEntry(e->object, owner, flags, value, index - 1);
    }
    return r;
}

int QmDLL::find_command(const char* name, const char* argText, double* result, QmTableEntry* table)
{
    if (!table || !name)
        return 0;
    // Scripts call one method many times in a row (a reader once per line): the entry
    // found last is tried before the table is searched. Plug-ins are entered from the
    // script's thread only, as their objects are.
    static QmTableEntry* lastTable = nullptr;
    static QmTableEntry* lastEntry = nullptr;
    QmTableEntry* start = table;
    bool known = lastTable == table && SameName(lastEntry->name, name);
    if (known)
        start = lastEntry;
    for (QmTableEntry* e = start; e->name; ++e) {
        if (!(known && e == lastEntry) && (!SameName(e->name, name) || e->object->Type() != QM_TYPE_METHOD))
            continue;
        lastTable = table;
        lastEntry = e;
        if (status == 0)
            return 1;
        QmMethod* method = static_cast<QmMethod*>(e->object);
        if (method->Begin(argText, this) != 0) {
            ExplainFailure();
            return 2;
        }
        *result = -1.0;
        int b = method->Process(result, this);
        method->End(this);
        if (b)
            ExplainFailure();
        return b ? 2 : 1;
    }
    return 0;
}

void QmDLL::ExplainFailure()
{
    // A method that gave no reason in words is at least named by its newest error.
    if (QmFailureReasonGiven() || !QmErrorRecorded())
        return;
    int slot = QmNewestErrorSlot();
    const char* where = QmErrorTextAt(slot);
    if (where && *where)
        QmFailureReason("error %d in %s", QmErrorCodeAt(slot), where);
    else
        QmFailureReason("error %d", QmErrorCodeAt(slot));
}

int QmDLL::find_command_value(const char* methodName, const char* name, int flags, void* value,
                              QmTableEntry* table)
{
    if (!table || !methodName)
        return 0;
    bool held = false;
    for (QmTableEntry* e = table; e->name; ++e) {
        if (e->object->Type() != QM_TYPE_METHOD || !SameName(e->name, methodName))
            continue;
        held = true;
        int err = static_cast<QmMethod*>(e->object)->FindSubproperty(this, name, flags, value);
        if (err != 1) {
            if (status == 0) {
                status = 2;
                return 2;
            }
            return err;
        }
    }
    if (held)
        return 1;
    return find_special(methodName, 0, flags, value);
}

static void PrintListLine(const char* prefix, const std::string& line)
{
    if (prefix)
        QmPrintText(("  " + std::string(prefix) + "." + line).c_str());
    else
        QmPrintText(line.c_str());
}

static std::string Formatted(double value)
{
    char text[256];
    QmFormatNumber(value, text, sizeof text, "*");
    return text;
}

void QmDLL::list_table(QmTableEntry* table, const char* prefix)
{
    if (!table)
        return;
    std::vector<char> buffer(QM_STRING_RESULT_SIZE);
    for (QmTableEntry* e = table; e->name; ++e) {
        QmScript* object = e->object;
        int type = object->Type();
        if (type == QM_TYPE_METHOD) {
            PrintListLine(prefix, std::string(e->name) + "()");
            QmMethod* method = static_cast<QmMethod*>(object);
            if (method->GetTable())
                method->ListSubproperties(e->name, this);
        } else if (type & QM_TYPE_VECTOR) {
            double size = 0.0;
            if (object->VectorSize(&size, QM_ACCESS_GET_SIZE) != 1)
                continue;
            int n = size > 1.0 ? static_cast<int>(size) : 1;
            for (int i = 1; i <= n; ++i) {
                std::string line = std::string(e->name) + std::to_string(i);
                if (type & QM_TYPE_STRING) {
                    buffer[0] = '\0';
                    if (object->Value(buffer.data(), i - 1, QM_ACCESS_GET | QM_ACCESS_STRING) != 1)
                        buffer[0] = '\0';
                    line += "$\t\"";
                    line += buffer.data();
                    line += '"';
                } else {
                    double v = 0.0;
                    line += '\t';
                    line += object->Value(&v, i - 1, QM_ACCESS_GET) == 1 ? Formatted(v) : "--";
                }
                PrintListLine(prefix, line);
            }
        } else if (type == QM_TYPE_STRING) {
            buffer[0] = '\0';
            object->GetValue(buffer.data());
            PrintListLine(prefix, std::string(e->name) + "$\t\"" + buffer.data() + "\"");
        } else {
            double v = 0.0;
            object->GetValue(&v);
            PrintListLine(prefix, std::string(e->name) + "\t" + Formatted(v));
        }
    }
}

void QmDLL::init_table(QmTableEntry* table)
{
    if (!table)
        return;
    for (QmTableEntry* e = table; e->name; ++e) {
        if (e->object->Type() == QM_TYPE_METHOD) {
            QmMethod* method = static_cast<QmMethod*>(e->object);
            if (method->GetTable())
                method->InitTableSubproperties(this);
        }
        e->object->init();
    }
}

void QmDLL::ResetAll()
{
    init_members();
    init_table(properties);
    init_table(methods);
}

int QmDLL::find_special(const char*, int, int, void*)
{
    return 0;
}

void QmDLL::init_members()
{
    m_version.value = 6.0;
    m_error.value = 0;
}

void QmDLL::name_table(QmTableEntry* table)
{
    if (!table)
        return;
    for (QmTableEntry* e = table; e->name; ++e)
        e->object->SetName(e->name);
}
