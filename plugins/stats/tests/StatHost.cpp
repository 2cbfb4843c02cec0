#include "StatHost.h"

#include "qxdefs.h"

#include <cmath>
#include <cstdio>
#include <cstring>

StatHost& StatHost::Get()
{
    static StatHost host;
    return host;
}

INT_PTR WINAPI StatHost::Callback(HWND, UINT code, INT_PTR a, INT_PTR b)
{
    return Get().Answer(code, a, b);
}

void StatHost::Reset()
{
    *this = StatHost();
}

std::string StatHost::Upper(const std::string& s)
{
    std::string u = s;
    for (char& c : u)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return u;
}

void StatHost::AddDataset(const std::string& name, std::vector<double> values,
                          std::vector<double> x)
{
    StatHostDataset& d = datasets_[Upper(name)];
    d.values = std::move(values);
    d.x = std::move(x);
}

void StatHost::AddWorksheet(const std::string& name, const std::vector<std::string>& columns,
                            const std::vector<std::vector<double>>& values)
{
    worksheets_[Upper(name)] = columns;
    for (size_t i = 0; i < columns.size(); ++i)
        AddDataset(name + "_" + columns[i], values[i]);
}

std::vector<double> StatHost::Values(const std::string& name) const
{
    auto it = datasets_.find(Upper(name));
    return it == datasets_.end() ? std::vector<double>() : it->second.values;
}

StatHostDataset* StatHost::ByHandle(INT_PTR handle)
{
    if (handle < 1 || size_t(handle) > handles_.size())
        return nullptr;
    return &datasets_[handles_[handle - 1]];
}

INT_PTR StatHost::Answer(UINT code, INT_PTR a, INT_PTR b)
{
    auto handleOf = [this](const std::string& name) -> INT_PTR {
        std::string key = Upper(name);
        if (!datasets_.count(key))
            return 0;
        for (size_t i = 0; i < handles_.size(); ++i)
            if (handles_[i] == key)
                return INT_PTR(i + 1);
        handles_.push_back(key);
        return INT_PTR(handles_.size());
    };
    auto fillRange = [this](QmRangeRecord* range, INT_PTR h) {
        range->hostFirst = 0;
        range->hostEnd = int(ByHandle(h)->values.size());
    };
    switch (code) {
    case HOST_REQ_300B:
        bracket.push_back(a);
        return 77;
    case HOST_REQ_300C:
        ++updates;
        return 0;
    case HOST_PRINT_TEXT:
        printed.push_back(reinterpret_cast<const char*>(a));
        return 0;
    case HOST_FORMAT_NUMBER: {
        auto* record = reinterpret_cast<QmFormatRecord*>(b);
        std::snprintf(record->output, 64, "%.17g", *reinterpret_cast<double*>(a));
        return 0;
    }
    case HOST_EVAL_NUMBER: {
        char* end = nullptr;
        double v = std::strtod(reinterpret_cast<const char*>(a), &end);
        if (end == reinterpret_cast<const char*>(a) || *end)
            return 1;
        *reinterpret_cast<double*>(b) = v;
        return 0;
    }
    case HOST_FIND_OBJECT:
        if (!worksheets_.count(Upper(reinterpret_cast<const char*>(a))))
            return 1;
        *reinterpret_cast<INT_PTR*>(b) = 1000;
        return 0;
    case HOST_FIND_DATASET: {
        if (!a)
            return 0;
        INT_PTR h = handleOf(reinterpret_cast<const char*>(a));
        if (h)
            fillRange(reinterpret_cast<QmRangeRecord*>(b), h);
        return h;
    }
    case HOST_FIND_DATASET_EX: {
        auto* range = reinterpret_cast<QmRangeRecord*>(b);
        std::string sheet = reinterpret_cast<const char*>(a);
        std::string column = reinterpret_cast<const char*>(range->request);
        if (!worksheets_.count(Upper(sheet)))
            return 0;
        INT_PTR h = handleOf(sheet + "_" + column);
        if (h)
            fillRange(range, h);
        return h;
    }
    case HOST_GET_VALUE:
    case HOST_GET_VALUE_K2:
    case HOST_GET_VALUE_K4: {
        StatHostDataset* d = ByHandle(a);
        auto* record = reinterpret_cast<QmValueRecord*>(b);
        if (!d || record->row < 0 || size_t(record->row) >= d->values.size())
            return 1;
        record->value = d->values[record->row];
        return 0;
    }
    case HOST_SET_VALUE:
    case HOST_SET_VALUE_K2:
    case HOST_SET_VALUE_K4: {
        StatHostDataset* d = ByHandle(a);
        auto* record = reinterpret_cast<QmValueRecord*>(b);
        if (!d || record->row < 0)
            return 1;
        if (size_t(record->row) >= d->values.size())
            d->values.resize(record->row + 1, MISSING_VALUE);
        d->values[record->row] = record->value;
        return 0;
    }
    case HOST_GET_PAIR: {
        StatHostDataset* d = ByHandle(a);
        auto* record = reinterpret_cast<QmPairRecord*>(b);
        if (!d || record->row < 0 || size_t(record->row) >= d->values.size())
            return 1;
        record->pair[0] = d->x.empty() ? record->row : d->x[record->row];
        record->pair[1] = d->values[record->row];
        return 0;
    }
    case HOST_GET_RANGE: {
        StatHostDataset* d = ByHandle(a);
        auto* range = reinterpret_cast<QmRangeRecord*>(b);
        if (d) {
            range->request = 0;
            range->requestEnd = int(d->values.size());
        }
        return 0;
    }
    case HOST_SET_SIZE_FORMAT: {
        StatHostDataset* d = ByHandle(a);
        auto* record = reinterpret_cast<QmSizeFormatRecord*>(b);
        if (!d || record->end < 0)
            return 1;
        d->values.resize(record->end, MISSING_VALUE);
        return 0;
    }
    case HOST_TO_AXIS_SCALE:
    case HOST_FROM_AXIS_SCALE: {
        double v = *reinterpret_cast<double*>(a);
        if (logAxis)
            v = code == HOST_TO_AXIS_SCALE ? std::log10(v) : std::pow(10.0, v);
        *reinterpret_cast<double*>(b) = v;
        return 0;
    }
    default:
        return 1;
    }
}

StatPlugin& StatPlugin::Get()
{
    static StatPlugin plugin;
    if (!plugin.module) {
        plugin.module = LoadLibraryA("qxstats.dll");
        if (plugin.module)
            plugin.entry_ = reinterpret_cast<QMDLLProc>(GetProcAddress(plugin.module, "QMDLL"));
    }
    return plugin;
}

int StatPlugin::Call(const char* method, const char* name, void* result, int code)
{
    if (!entry_)
        return -1;
    return entry_(reinterpret_cast<HWND>(INT_PTR(0x5A5A)), method, name, result,
                  &StatHost::Callback, code);
}

int StatPlugin::SetNumber(const char* method, const char* name, double value)
{
    return Call(method, name, &value, OBJOP_SET_NUMBER);
}

double StatPlugin::GetNumber(const char* method, const char* name, int* answer)
{
    double value = -999;
    int r = Call(method, name, &value, OBJOP_GET_NUMBER);
    if (answer)
        *answer = r;
    return value;
}

int StatPlugin::SetString(const char* method, const char* name, const char* text)
{
    std::vector<char> buffer(QM_STRING_RESULT_SIZE, 0);
    std::strncpy(buffer.data(), text, buffer.size() - 1);
    return Call(method, name, buffer.data(), OBJOP_SET_STRING);
}

int StatPlugin::Run(const char* method, const char* argument, double* result)
{
    double scratch = 0;
    return Call(method, argument, result ? result : &scratch, OBJOP_CALL_METHOD);
}

int StatPlugin::LastError()
{
    double id = 0;
    Call("LASTERRID", "", &id, OBJOP_CALL_METHOD);
    return int(id);
}
