// A small plug-in built on the framework, loaded by the tests as a host would load a
// real one: one root object with a property of every kind and a few methods, enough to
// drive every path of the dispatcher through the QMDLL export.
#include <windows.h>

#include "QmFramework.h"

namespace {

// ADD(a, b): SUM := a + b, the result is the sum; every run counts in the root's RUNS.
class SampleAdd : public QmMethod {
    DECLARE_DYNAMIC(SampleAdd)
public:
    SampleAdd()
        : m_table{{&m_sum, "SUM"}, {&m_label, "LABEL"}, {nullptr, nullptr}}
    {
        AddArgument(new QmReal);
        AddArgument(new QmReal);
        for (QmTableEntry* e = m_table; e->name; ++e)
            e->object->SetName(e->name);
    }
    QmTableEntry* GetTable() override { return m_table; }
    int Process(double* result, QmDLL* root) override;

    QmReal m_sum;
    QmString m_label;

private:
    QmTableEntry m_table[3];
};
IMPLEMENT_DYNAMIC(SampleAdd, QmMethod)

// ONE(text): takes one text argument into TITLE.
class SampleOne : public QmMethod {
    DECLARE_DYNAMIC(SampleOne)
public:
    SampleOne() { AddArgument(new QmString); }
    int Process(double* result, QmDLL* root) override;
};
IMPLEMENT_DYNAMIC(SampleOne, QmMethod)

// DIVIDE(numerator, denominator, result): the dataset named `result` receives the
// element-wise quotient of the other two.
class SampleDivide : public QmMethod {
    DECLARE_DYNAMIC(SampleDivide)
public:
    SampleDivide()
    {
        for (int i = 0; i < 3; ++i)
            AddArgument(new QmDataSetName);
    }
    int Process(double* result, QmDLL*) override
    {
        QmSourceData numerator(args[0]->GetStr(), 1);
        QmSourceData denominator(args[1]->GetStr(), 1);
        QmResultData target(args[2]->GetStr(), 1);
        if (numerator.IsError() || denominator.IsError() || target.IsError())
            return 1;
        std::unique_ptr<QmData> quotient = numerator / denominator;
        target.Assign(*quotient);
        *result = target.CountMissing();
        return 0;
    }
};
IMPLEMENT_DYNAMIC(SampleDivide, QmMethod)

// MARK(): succeeds but leaves the root's status positive, as a handler may.
class SampleMark : public QmMethod {
    DECLARE_DYNAMIC(SampleMark)
public:
    int Process(double*, QmDLL* root) override
    {
        root->status = 1;
        return 0;
    }
};
IMPLEMENT_DYNAMIC(SampleMark, QmMethod)

// FAIL(): a method whose processing fails.
class SampleFail : public QmMethod {
    DECLARE_DYNAMIC(SampleFail)
public:
    int Process(double*, QmDLL*) override { return 1; }
};
IMPLEMENT_DYNAMIC(SampleFail, QmMethod)

class QmSample : public QmWks {
    DECLARE_DYNAMIC(QmSample)
public:
    QmSample()
        : m_props{{&m_x, "X"}, {&m_count, "COUNT"}, {&m_flag, "FLAG"}, {&m_title, "TITLE"},
                  {&m_runs, "RUNS"}, {&m_v, "V"}, {&m_names, "NAMES"}, {&m_df, "DF"},
                  {nullptr, nullptr}},
          m_meths{{&m_add, "ADD"}, {&m_one, "ONE"}, {&m_noArgs, "NOARGS"}, {&m_fail, "FAIL"},
                  {&m_reset, "RESET"}, {&m_divide, "DIVIDE"}, {&m_mark, "MARK"},
                  {nullptr, nullptr}}
    {
        name_table(m_props);
        name_table(m_meths);
        init_table(m_props);
        init_table(m_meths);
    }

    // Own tables first, then the worksheet root's and the standard members.
    int Property(const char* name, int flags, void* value) override
    {
        int r = find_value(name, flags, value, m_props, nullptr);
        return r ? r : QmWks::Property(name, flags, value);
    }
    void ListAll() override
    {
        list_table(m_meths, nullptr);
        list_table(m_props, nullptr);
        QmWks::ListAll();
    }
    int Command(const char* methodName, const char* argText, double* result) override
    {
        int r = find_command(methodName, argText, result, m_meths);
        return r ? r : QmWks::Command(methodName, argText, result);
    }
    int CommandValue(const char* methodName, const char* name, void* value, int flags) override
    {
        int r = find_command_value(methodName, name, flags, value, m_meths);
        return r ? r : QmWks::CommandValue(methodName, name, value, flags);
    }
    void ResetAll() override
    {
        QmWks::ResetAll();
        init_table(m_props);
        init_table(m_meths);
    }

    QmReal m_x;
    QmInt m_count;
    QmBool m_flag;
    QmString m_title;
    QmInt m_runs;
    SampleAdd m_add;
    SampleOne m_one;
    QmMethod m_noArgs;
    SampleFail m_fail;
    SampleDivide m_divide;
    SampleMark m_mark;
    QmDoubleVector m_v;
    QmStringVector m_names{16, 0};
    QmParaVector m_df;

private:
    QmTableEntry m_props[9];
    QmTableEntry m_meths[8];
};
IMPLEMENT_DYNAMIC(QmSample, QmWks)

QmSample theSample;

int SampleAdd::Process(double* result, QmDLL*)
{
    m_sum.value = args[0]->GetReal() + args[1]->GetReal();
    *result = m_sum.value;
    ++theSample.m_runs.value;
    return 0;
}

int SampleOne::Process(double* result, QmDLL*)
{
    theSample.m_title.SetText(args[0]->GetStr());
    *result = args[0]->given;
    return 0;
}

} // namespace

QmDLL& QmRootObject()
{
    return theSample;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
