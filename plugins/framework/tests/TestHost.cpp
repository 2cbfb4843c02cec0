#include "TestHost.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "qxdefs.h"

TestHost& TestHost::Get()
{
    static TestHost host;
    return host;
}

INT_PTR WINAPI TestHost::Callback(HWND context, UINT code, INT_PTR a, INT_PTR b)
{
    TestHost& host = Get();
    HostRequestRecord record{code, a, b, std::string(), 0};
    INT_PTR answer;
    if (host.refuseAll) {
        // Requests that produce a handle or pointer fail with 0, the others with 1.
        switch (code) {
        case HOST_FIND_DATASET: case HOST_OPEN_DATASET: case HOST_FIND_DATASET_EX:
        case HOST_GET_COLUMN_DATASET: case HOST_NEW_TEMP_DATASET: case HOST_FIND_WINDOW:
        case HOST_MEMBLOCK_GET: case HOST_WKS_NUM_COLUMNS:
            answer = 0;
            break;
        default:
            answer = 1;
        }
    } else {
        answer = host.Answer(code, a, b, record);
    }
    if (context != Context())
        record.text = "<wrong context>";
    host.log.push_back(record);
    return answer;
}

void TestHost::Reset()
{
    *this = TestHost();
}

INT_PTR TestHost::NewHandle()
{
    return (INT_PTR(1) << 32) + (++next_);
}

INT_PTR TestHost::AddDataset(const std::string& name, std::vector<double> values)
{
    INT_PTR h = NewHandle();
    HostDataset& d = datasets_[h];
    d.name = name;
    d.values = std::move(values);
    return h;
}

INT_PTR TestHost::AddWorksheet(const std::string& name, const std::vector<std::string>& columns, size_t rows)
{
    INT_PTR h = NewHandle();
    HostWorksheet& w = worksheets_[h];
    w.name = name;
    for (const std::string& c : columns) {
        w.columns.push_back(AddDataset(name + "_" + c, std::vector<double>(rows, 0.0)));
        w.columnNames.push_back(c);
    }
    takenNames.push_back(name);
    return h;
}

HostDataset* TestHost::Dataset(INT_PTR handle)
{
    auto it = datasets_.find(handle);
    return it == datasets_.end() ? nullptr : &it->second;
}

HostDataset* TestHost::DatasetByName(const std::string& name)
{
    for (auto& [h, d] : datasets_)
        if (_stricmp(d.name.c_str(), name.c_str()) == 0)
            return &d;
    return nullptr;
}

static INT_PTR HandleOf(std::map<INT_PTR, HostDataset>& sets, const std::string& name)
{
    for (auto& [h, d] : sets)
        if (!d.name.empty() && _stricmp(d.name.c_str(), name.c_str()) == 0)
            return h;
    return 0;
}

HostWorksheet* TestHost::Worksheet(const std::string& name)
{
    for (auto& [h, w] : worksheets_)
        if (_stricmp(w.name.c_str(), name.c_str()) == 0)
            return &w;
    return nullptr;
}

std::vector<HostRequestRecord> TestHost::Requests(UINT code) const
{
    std::vector<HostRequestRecord> out;
    for (const HostRequestRecord& r : log)
        if (r.code == code)
            out.push_back(r);
    return out;
}

static void FillRange(QmRangeRecord* range, const HostDataset& d)
{
    if (!range)
        return;
    range->hostFirst = 0;
    range->hostEnd = static_cast<int>(d.values.size());
}

INT_PTR TestHost::Answer(UINT code, INT_PTR a, INT_PTR b, HostRequestRecord& record)
{
    const char* textA = reinterpret_cast<const char*>(a);
    switch (code) {
    case HOST_PRINT_TEXT:
        record.text = textA;
        printed.push_back(textA);
        return 0;
    case HOST_FAILURE_REASON:
        record.text = textA;
        return 0;
    case HOST_EVAL_NUMBER: {
        record.text = textA;
        char* end = nullptr;
        double v = strtod(textA, &end);
        if (end == textA || *end)
            return 1;
        *reinterpret_cast<double*>(b) = v;
        return 0;
    }
    case HOST_FORMAT_NUMBER: {
        auto* format = reinterpret_cast<QmFormatRecord*>(b);
        record.text = format->format;
        double v = *reinterpret_cast<double*>(a);
        if (v == MISSING_VALUE)
            strcpy(format->output, "--");
        else
            snprintf(format->output, 64, "%.10g", v);
        return 0;
    }
    case HOST_GET_STRING_VAR:
        record.number = static_cast<int>(b);
        strcpy(reinterpret_cast<char*>(a), stringVars[b].c_str());
        return 0;
    case HOST_SET_STRING_VAR:
        record.number = static_cast<int>(b);
        record.text = textA;
        stringVars[b] = textA;
        return 0;
    case HOST_NAME_IN_USE:
        record.text = textA;
        if (allNamesTaken)
            return 1;
        for (const std::string& n : takenNames)
            if (_stricmp(n.c_str(), textA) == 0)
                return 1;
        return 0;
    case HOST_FIND_OBJECT: {
        record.text = textA;
        for (auto& [h, w] : worksheets_)
            if (_stricmp(w.name.c_str(), textA) == 0) {
                *reinterpret_cast<INT_PTR*>(b) = h;
                return 0;
            }
        return 1;
    }
    case HOST_FIND_WINDOW: {
        auto* window = reinterpret_cast<QmWindowRecord*>(a);
        record.text = window->name;
        record.number = window->a * 100 + window->b;
        for (auto& [h, w] : worksheets_)
            if (_stricmp(w.name.c_str(), window->name) == 0)
                return h;
        return 0;
    }
    case HOST_FIND_DATASET: {
        record.text = textA ? textA : "<null>";
        INT_PTR h = textA ? HandleOf(datasets_, textA) : 0;
        if (h)
            FillRange(reinterpret_cast<QmRangeRecord*>(b), datasets_[h]);
        return h;
    }
    case HOST_OPEN_DATASET:
    case HOST_FIND_DATASET_EX: {
        record.text = textA;
        auto* range = reinterpret_cast<QmRangeRecord*>(b);
        HostWorksheet* w = Worksheet(textA);
        if (!w)
            return 0;
        size_t column = 0;
        if (code == HOST_OPEN_DATASET) {
            record.number = static_cast<int>(range->request);
            column = static_cast<size_t>(range->request);
        } else {
            const char* colName = reinterpret_cast<const char*>(range->request);
            record.number = -1;
            for (size_t i = 0; i < w->columnNames.size(); ++i)
                if (_stricmp(w->columnNames[i].c_str(), colName) == 0)
                    column = i + 1;
        }
        if (column < 1 || column > w->columns.size())
            return 0;
        INT_PTR h = w->columns[column - 1];
        FillRange(range, datasets_[h]);
        return h;
    }
    case HOST_GET_COLUMN_DATASET: {
        const char* wksName = reinterpret_cast<const char*>(b);
        record.text = wksName;
        record.number = static_cast<int>(a);
        HostWorksheet* w = Worksheet(wksName);
        if (!w || a < 0 || static_cast<size_t>(a) >= w->columns.size())
            return 0;
        return w->columns[a];
    }
    case HOST_NEW_TEMP_DATASET: {
        INT_PTR h = NewHandle();
        datasets_[h].temporary = true;
        return h;
    }
    case HOST_DATASET_TEXT:
        return 0;
    case HOST_GET_VALUE:
    case HOST_GET_VALUE_K2:
    case HOST_GET_VALUE_K4: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmValueRecord*>(b);
        record.number = rec->row;
        if (!d || rec->row < 0 || static_cast<size_t>(rec->row) >= d->values.size())
            return 1;
        rec->value = d->values[rec->row];
        return 0;
    }
    case HOST_SET_VALUE:
    case HOST_SET_VALUE_K2:
    case HOST_SET_VALUE_K4: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmValueRecord*>(b);
        record.number = rec->row;
        if (!d || rec->row < 0)
            return 1;
        if (static_cast<size_t>(rec->row) >= d->values.size())
            d->values.resize(rec->row + 1, MISSING_VALUE);
        d->values[rec->row] = rec->value;
        return 0;
    }
    case HOST_GET_PAIR: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmPairRecord*>(b);
        if (!d || rec->row < 0 || static_cast<size_t>(rec->row) >= d->values.size())
            return 1;
        rec->pair[0] = rec->row;
        rec->pair[1] = d->values[rec->row];
        return 0;
    }
    case HOST_SET_PAIR: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmPairRecord*>(b);
        if (!d || rec->row < 0)
            return 1;
        if (static_cast<size_t>(rec->row) >= d->values.size())
            d->values.resize(rec->row + 1, MISSING_VALUE);
        d->values[rec->row] = rec->pair[1];
        return 0;
    }
    case HOST_GET_VALUE_AT: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmKeyRecord*>(b);
        int row = static_cast<int>(rec->key);
        if (!d || row < 0 || static_cast<size_t>(row) >= d->values.size())
            return 1;
        rec->value = d->values[row];
        return 0;
    }
    case HOST_GET_RANGE: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmRangeRecord*>(b);
        if (d) {
            rec->request = 0;
            rec->requestEnd = static_cast<int>(d->values.size());
        }
        return 0;
    }
    case HOST_SET_SIZE_FORMAT: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmSizeFormatRecord*>(b);
        record.number = rec->end;
        record.text = std::to_string(rec->first) + "," + std::to_string(rec->end) + "," +
                      std::to_string(rec->typeWord);
        if (!d || rec->end < 0)
            return 1;
        d->lastTypeWord = rec->typeWord;
        d->values.resize(rec->end, MISSING_VALUE);
        return 0;
    }
    case HOST_IS_DATASET_NAME: {
        HostDataset* d = Dataset(a);
        return d && d->readOnly ? 1 : 0;
    }
    case HOST_SET_TEXT: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmTextRecord*>(b);
        record.number = rec->row;
        record.text = rec->text;
        if (!d || rec->row < 0)
            return 1;
        d->texts[rec->row] = rec->text;
        return 0;
    }
    case HOST_GET_TEXT: {
        HostDataset* d = Dataset(a);
        auto* rec = reinterpret_cast<QmTextRecord*>(b);
        if (!d || !d->texts.count(rec->row))
            return 1;
        strcpy(rec->text, d->texts[rec->row].c_str());
        return 0;
    }
    case HOST_TO_AXIS_SCALE:
    case HOST_FROM_AXIS_SCALE: {
        double v = *reinterpret_cast<double*>(a);
        if (axisLog10)
            v = code == HOST_TO_AXIS_SCALE ? log10(v) : pow(10.0, v);
        *reinterpret_cast<double*>(b) = v;
        return 0;
    }
    case HOST_WKS_NUM_COLUMNS: {
        auto it = worksheets_.find(a);
        return it == worksheets_.end() ? 0 : static_cast<INT_PTR>(it->second.columns.size());
    }
    case HOST_WKS_REQ_6801: {
        auto it = worksheets_.find(a);
        int column = *reinterpret_cast<int*>(b);
        record.number = column;
        if (it == worksheets_.end() || column < 1 || static_cast<size_t>(column) > it->second.columns.size())
            return 1;
        strcpy(reinterpret_cast<char*>(b), it->second.columnNames[column - 1].c_str());
        return 0;
    }
    case HOST_WKS_SET_COLUMN_NAME:
    case HOST_WKS_REQ_6818: {
        auto it = worksheets_.find(a);
        auto* rec = reinterpret_cast<QmColumnTextRecord*>(b);
        record.number = rec->column;
        record.text = rec->text;
        if (it != worksheets_.end() && rec->column >= 1 && static_cast<size_t>(rec->column) <= it->second.columns.size()) {
            if (code == HOST_WKS_SET_COLUMN_NAME)
                it->second.columnNames[rec->column - 1] = rec->text;
            else
                it->second.labels[rec->column] = rec->text;
        }
        return 0;
    }
    case HOST_WKS_SET_COLUMN_ATTR: {
        auto it = worksheets_.find(a);
        int* rec = reinterpret_cast<int*>(b);
        record.number = rec[1];
        if (it == worksheets_.end())
            return 1;
        it->second.formats[rec[1]] = rec[2];
        return 0;
    }
    case HOST_WKS_GET_COLUMN_ATTR: {
        auto it = worksheets_.find(a);
        int* rec = reinterpret_cast<int*>(b);
        record.number = rec[1];
        if (it == worksheets_.end() || !it->second.formats.count(rec[1]))
            return 1;
        rec[0] = it->second.formats[rec[1]];
        return 0;
    }
    case HOST_WKS_REQ_6804:
    case HOST_WKS_REQ_681A:
        record.number = static_cast<int>(b);
        return 0;
    case HOST_WKS_REQ_6806: {
        int* rec = reinterpret_cast<int*>(b);
        record.number = rec[1];
        return 0;
    }
    case HOST_MEMBLOCK_GET: {
        auto* rec = reinterpret_cast<QmMemBlockRecord*>(a);
        const char* name = reinterpret_cast<const char*>(b);
        record.text = name ? name : "";
        if (!name)
            return 0;
        std::vector<char>& block = memoryBlocks[name];
        if (block.empty())
            block.resize(rec->value > 0 ? rec->value : 16);
        ++memoryBlocksOut;
        return reinterpret_cast<INT_PTR>(block.data());
    }
    case HOST_MEMBLOCK_RELEASE: {
        const char* name = reinterpret_cast<const char*>(b);
        record.text = name ? name : "";
        --memoryBlocksOut;
        return 0;
    }
    default:
        return 0;
    }
}
