#include "QmWks.h"

#include <string.h>

#include <algorithm>
#include <string>

IMPLEMENT_DYNAMIC(QmName, QmMethod)
IMPLEMENT_DYNAMIC(QmWks, QmDLL)

// ---- NAME -------------------------------------------------------------------------------

enum { NAME_FIRST_COLUMN_ARG = 2, NAME_ARGS = 8, NAME_LENGTH = 21 };

QmName::QmName()
    : m_table{{&m_worksheet, "WORKSHEET"}, {&m_data, "DATA"}, {nullptr, nullptr}}
{
    AddArgument(new QmMemObjInt);
    for (int i = 1; i < NAME_ARGS; ++i)
        AddArgument(new QmString);
    for (QmTableEntry* e = m_table; e->name; ++e)
        e->object->SetName(e->name);
}

int QmName::Begin(const char* argText, QmDLL* root)
{
    if (QmMethod::Begin(argText, root) != 0)
        return 1;
    if (!args[1]->given) {
        RecordError(QM_ERR_NO_BASE_NAME);
        return 1;
    }
    unique = (!args[0]->given || args[0]->GetReal() != 0.0) ? 1 : 0;
    return 0;
}

int QmName::FillData(const std::string& worksheet, bool test)
{
    m_data.init();
    for (int i = NAME_FIRST_COLUMN_ARG; i < NAME_ARGS; ++i) {
        if (!args[i]->given || !args[i]->GetStr() || !*args[i]->GetStr())
            continue;
        std::string dataset = worksheet + "_" + args[i]->GetStr();
        if (test) {
            char cut[QM_MAX_DATASET_NAME + 1];
            QmCopyText(cut, sizeof cut, dataset.c_str());
            QmRangeRecord range{0, 0, 0, 0};
            INT_PTR existing = QmCallHost(HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(cut),
                                          reinterpret_cast<INT_PTR>(&range));
            if (existing != 0) {
                m_data.init();
                return 1;
            }
        }
        if (m_data.count >= QmArray::CAPACITY) {
            RecordError(QM_ERR_TOO_MANY_NAMES);
            continue;
        }
        m_data.count++;
        m_data.SetValue(dataset.c_str(), m_data.count - 1);
    }
    return 0;
}

int QmName::Process(double*, QmDLL*)
{
    std::string base = args[1]->GetStr() ? args[1]->GetStr() : "";
    size_t underscore = base.find('_');
    if (underscore != std::string::npos) {
        std::string second = base.substr(underscore + 1);
        base = base.substr(0, underscore) + second.substr(0, second.find('_'));
    }
    size_t longest = 0;
    for (int i = NAME_FIRST_COLUMN_ARG; i < NAME_ARGS; ++i)
        if (args[i]->given && args[i]->GetStr())
            longest = std::max(longest, strlen(args[i]->GetStr()));
    base = base.substr(0, longest < NAME_LENGTH ? NAME_LENGTH - longest : 0);

    if (!unique) {
        m_worksheet.SetText(base.c_str());
        FillData(base, false);
        return 0;
    }
    // Every candidate may be taken: the search is bounded and then reported.
    for (int n = 1; n <= MAX_CANDIDATES; ++n) {
        std::string candidate = base + std::to_string(n);
        if (QmCallHost(HOST_NAME_IN_USE, reinterpret_cast<INT_PTR>(candidate.c_str()), 0, 1) != 0)
            continue;
        if (FillData(candidate, true) != 0)
            continue;
        m_worksheet.SetText(candidate.c_str());
        return 0;
    }
    m_worksheet.SetText(nullptr);
    RecordError(QM_ERR_TOO_MANY_NAMES);
    return 1;
}

// ---- QmWks ------------------------------------------------------------------------------

QmWks::QmWks()
    : m_ownProperties{{&m_worksheetName, "WORKSHEET"}, {&m_matrix, "MATRIX"}, {&m_x, "X"},
                      {&m_data, "DATA"}, {&m_apparent, "APPARENT"}, {nullptr, nullptr}},
      m_ownMethods{{&m_test, "TEST"}, {&m_name, "NAME"}, {nullptr, nullptr}}
{
    properties2 = m_ownProperties;
    methods2 = m_ownMethods;
    name_table(properties2);
    name_table(methods2);
    m_reset.SetName("RESET");
    init_members();
    init_table(properties2);
    init_table(methods2);
    SetDefaults();
}

int QmWks::Property(const char* name, int flags, void* value)
{
    int r = find_value(name, flags, value, properties2, nullptr);
    return r ? r : QmDLL::Property(name, flags, value);
}

void QmWks::ListAll()
{
    list_table(methods2, nullptr);
    list_table(properties2, nullptr);
    QmDLL::ListAll();
}

int QmWks::Command(const char* methodName, const char* argText, double* result)
{
    int r = find_command(methodName, argText, result, methods2);
    return r ? r : QmDLL::Command(methodName, argText, result);
}

int QmWks::CommandValue(const char* methodName, const char* name, void* value, int flags)
{
    int r = find_command_value(methodName, name, flags, value, methods2);
    return r ? r : QmDLL::CommandValue(methodName, name, value, flags);
}

void QmWks::ResetAll()
{
    init_members();
    init_table(properties2);
    init_table(methods2);
    SetDefaults();
}

INT_PTR QmWks::GetWorksheet()
{
    INT_PTR handle = 0;
    const char* name = m_worksheetName.text ? m_worksheetName.text : "";
    if (QmCallHost(HOST_FIND_OBJECT, reinterpret_cast<INT_PTR>(name), reinterpret_cast<INT_PTR>(&handle), 1) != 0)
        return 0;
    return handle;
}

void QmWks::SetDefaults()
{
    m_apparent.Set(1);
}

int QmWks::MakeLinearData(QmData& d, double x1, double x2)
{
    if (m_apparent.value) {
        QmCallHost(HOST_TO_AXIS_SCALE, reinterpret_cast<INT_PTR>(&x1), reinterpret_cast<INT_PTR>(&x1));
        QmCallHost(HOST_TO_AXIS_SCALE, reinterpret_cast<INT_PTR>(&x2), reinterpret_cast<INT_PTR>(&x2));
    }
    int n = d.end - d.first;
    double step = (x2 - x1) / (n == 1 ? 1 : n - 1);
    // Each value from its index rather than by adding steps, so rounding does not build
    // up and the last row holds x2.
    for (int i = 0; i < n; ++i) {
        double x = (i == n - 1 && n > 1) ? x2 : x1 + i * step;
        if (d.SetWithMode(d.first + i, x) != 0)
            return 1;
    }
    return 0;
}
