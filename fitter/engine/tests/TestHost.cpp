#include "TestHost.h"

#include "qxtest/TempFolder.h"

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

TestHost* Current;

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
}

void CopyOut(INT_PTR buffer, const std::string& text, size_t capacity = QFIT_HOST_TEXT_CAPACITY)
{
    snprintf(reinterpret_cast<char*>(buffer), capacity, "%s", text.c_str());
}

struct ExpressionParser {
    const std::map<std::string, double>& variables;
    const char* p;
    bool ok = true;

    void Blanks()
    {
        while (*p == ' ' || *p == '\t')
            ++p;
    }
    double Factor()
    {
        Blanks();
        if (*p == '-') {
            ++p;
            return -Factor();
        }
        if (*p == '+') {
            ++p;
            return Factor();
        }
        if (*p == '(') {
            ++p;
            const double v = Expression();
            Blanks();
            if (*p != ')')
                ok = false;
            else
                ++p;
            return v;
        }
        if (isdigit(static_cast<unsigned char>(*p)) || *p == '.') {
            char* end;
            const double v = strtod(p, &end);
            p = end;
            return v;
        }
        if (isalpha(static_cast<unsigned char>(*p)) || *p == '_') {
            const char* start = p;
            while (isalnum(static_cast<unsigned char>(*p)) || *p == '_')
                ++p;
            auto it = variables.find(Upper(std::string(start, p)));
            if (it == variables.end()) {
                ok = false;
                return 0;
            }
            return it->second;
        }
        ok = false;
        return 0;
    }
    double Term()
    {
        double v = Factor();
        for (;;) {
            Blanks();
            if (*p == '*') {
                ++p;
                v *= Factor();
            } else if (*p == '/') {
                ++p;
                v /= Factor();
            } else {
                return v;
            }
        }
    }
    double Expression()
    {
        double v = Term();
        for (;;) {
            Blanks();
            if (*p == '+') {
                ++p;
                v += Term();
            } else if (*p == '-') {
                ++p;
                v -= Term();
            } else {
                return v;
            }
        }
    }
};

}  // namespace

bool EvaluateExpression(const std::map<std::string, double>& variables, const char* text, double* out)
{
    if (!text)
        return false;
    ExpressionParser parser{variables, text};
    const double v = parser.Expression();
    parser.Blanks();
    if (!parser.ok || *parser.p || parser.p == text)
        return false;
    *out = v;
    return true;
}

std::string MakeTempFolder()
{
    return qxtest::NewTempFolder("fittest_");
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = strrchr(path, '\\');
    if (slash)
        slash[1] = 0;
    return path;
}

TestHost::TestHost()
{
    Current = this;
    settingsDir = fallbackDir = MakeTempFolder();
    profileFile = settingsDir + "\\quorix61.ini";
    programDir = ProgramFolder();
}

TestHost::~TestHost()
{
    if (Current == this)
        Current = nullptr;
}

INT_PTR WINAPI TestHost::Callback(HWND context, UINT request, INT_PTR a1, INT_PTR a2)
{
    return Current->Handle(context, request, a1, a2);
}

QFitDataset TestHost::AddDataset(const std::string& name, const std::vector<double>& values)
{
    TestDataset d;
    d.name = name;
    d.values = values;
    d.used = {0, static_cast<int32_t>(values.size())};
    datasets_.push_back(d);
    return static_cast<QFitDataset>(datasets_.size());
}

FittingSession* TestHost::SessionOf(HWND window)
{
    auto it = sessions.find(window);
    return it == sessions.end() ? nullptr : it->second;
}

int TestHost::Count(UINT request) const
{
    auto it = counts_.find(request);
    return it == counts_.end() ? 0 : it->second;
}

int TestHost::CountProgress(int id) const
{
    int n = 0;
    for (const auto& p : progress)
        n += p.first == id;
    return n;
}

QFitDataset TestHost::Find(const char* name) const
{
    for (size_t i = 0; i < datasets_.size(); ++i)
        if (datasets_[i].valid && _stricmp(datasets_[i].name.c_str(), name) == 0)
            return static_cast<QFitDataset>(i + 1);
    return 0;
}

bool TestHost::Usable(QFitDataset handle) const
{
    return handle >= 1 && static_cast<size_t>(handle) <= datasets_.size() && datasets_[handle - 1].valid;
}

INT_PTR TestHost::Handle(HWND context, UINT request, INT_PTR a1, INT_PTR a2)
{
    ++counts_[request];
    switch (request) {
    case HOST_FIND_SESSION: {
        FittingSession* s = SessionOf(context);
        *reinterpret_cast<FittingSession**>(a1) = s;
        return s ? 0 : 1;
    }
    case HOST_ATTACH_SESSION:
        sessions[context] = reinterpret_cast<FittingSession*>(a1);
        return 0;
    case HOST_DETACH_SESSION:
        ++detaches;
        for (auto it = sessions.begin(); it != sessions.end(); ++it)
            if (it->second == reinterpret_cast<FittingSession*>(a1)) {
                sessions.erase(it);
                break;
            }
        return 0;
    case HOST_EVAL_NUMBER:
        return EvaluateExpression(variables, reinterpret_cast<const char*>(a1), reinterpret_cast<double*>(a2)) ? 0 : 1;
    case HOST_EVAL_RECORD:
        return EvaluateExpression(variables, reinterpret_cast<QFitTextRecord*>(a1)->text, reinterpret_cast<double*>(a2))
                   ? 0
                   : 1;
    case HOST_SET_VARIABLE: {
        const std::string name = reinterpret_cast<const char*>(a1);
        QFitVariableRecord r = {0, 1.0, 0.0};
        if (a2)
            r = *reinterpret_cast<QFitVariableRecord*>(a2);
        variables[Upper(name)] = r.value;
        variableSets.push_back({name, r});
        return 0;
    }
    case HOST_PREPARE_FORMULA:
        if (!preparedFormulas)
            return 1;
        formulas_.push_back(reinterpret_cast<const char*>(a1));
        *reinterpret_cast<int*>(a2) = static_cast<int>(formulas_.size());
        return 0;
    case HOST_VARIABLE_SLOT:
        if (!preparedFormulas)
            return 1;
        slotNames_.push_back(Upper(reinterpret_cast<const char*>(a1)));
        *reinterpret_cast<int*>(a2) = static_cast<int>(slotNames_.size());
        return 0;
    case HOST_SET_VARIABLE_SLOT:
        if (!preparedFormulas || a1 < 1 || a1 > static_cast<INT_PTR>(slotNames_.size()))
            return 1;
        variables[slotNames_[a1 - 1]] = reinterpret_cast<QFitVariableRecord*>(a2)->value;
        return 0;
    case HOST_EVAL_PREPARED:
        if (!preparedFormulas || a1 < 1 || a1 > static_cast<INT_PTR>(formulas_.size()))
            return 1;
        return EvaluateExpression(variables, formulas_[a1 - 1].c_str(), reinterpret_cast<double*>(a2)) ? 0 : 1;
    case HOST_EVAL_PREPARED_ROWS: {
        QFitRowsRecord* r = reinterpret_cast<QFitRowsRecord*>(a2);
        if (!preparedFormulas || refuseRows || r->handle < 1 || r->handle > static_cast<int>(formulas_.size()))
            return 1;
        for (r->done = 0; r->done < r->rows; ++r->done) {
            for (int c = 0; c < r->nColumns; ++c)
                variables[slotNames_[r->slots[c] - 1]] = r->columns[c][r->done];
            if (!EvaluateExpression(variables, formulas_[r->handle - 1].c_str(), &r->out[r->done]))
                return 1;
        }
        return 0;
    }
    case HOST_DELETE_VARIABLE:
        variableDeletes.push_back(reinterpret_cast<const char*>(a1));
        variables.erase(Upper(reinterpret_cast<const char*>(a1)));
        return 0;
    case HOST_RUN_SCRIPT:
        scripts.push_back(reinterpret_cast<const char*>(a1));
        if (scripts.back().rfind("GetFile", 0) == 0) {
            stringVariables[0] = pickedFile;
            stringVariables[1] = pickedFolder;
        }
        return 0;
    case HOST_GET_VARIABLE: {
        const auto found = variables.find(Upper(reinterpret_cast<const char*>(a1)));
        if (found == variables.end())
            return 1;
        *reinterpret_cast<double*>(a2) = found->second;
        return 0;
    }
    case HOST_REQ_101F:
        reportLines.push_back(reinterpret_cast<const char*>(a1));
        return 0;
    case HOST_REQ_101E:
        plotLabel = reinterpret_cast<const char*>(a1);
        return 0;
    case HOST_REPORT_ERROR:
        errors.push_back({static_cast<int>(a1), a2 ? reinterpret_cast<const char*>(a2) : ""});
        return 0;
    case HOST_FAILURE_REASON:
        failureReasons.push_back(reinterpret_cast<const char*>(a1));
        return 0;
    case HOST_REPORT_PROGRESS:
        progress.push_back({static_cast<int>(a1), a2 ? reinterpret_cast<const char*>(a2) : ""});
        return 0;
    case HOST_POLL_ABORT:
        ++polls;
        return abortAfterPolls >= 0 && polls > abortAfterPolls;
    case HOST_GET_SETTINGS_DIR:
        CopyOut(a1, settingsDir);
        return 0;
    case HOST_GET_FALLBACK_DIR:
        CopyOut(a1, fallbackDir);
        return 0;
    case HOST_REQ_1019:
        CopyOut(a1, profileFile);
        return 0;
    case HOST_GET_PROGRAM_DIR:
        CopyOut(a1, programDir);
        return 0;
    case HOST_FIND_DATASET: {
        const QFitDataset h = Find(reinterpret_cast<const char*>(a1));
        if (h && a2)
            *reinterpret_cast<QFitRowRange*>(a2) = Dataset(h).used;
        return h;
    }
    case HOST_LIST_DATASETS: {
        // Names separated by blanks, as the kernel lists them.
        std::string list;
        for (const TestDataset& d : datasets_)
            if (d.valid)
                list += (list.empty() ? "" : " ") + d.name;
        CopyOut(a1, list, QFIT_DATASET_LIST_CAPACITY);
        return 0;
    }
    case HOST_GET_DATASET_NAME:
        CopyOut(a2, Usable(a1) ? Dataset(a1).name : "");
        return 0;
    case HOST_CHECK_DATASET:
        return !Usable(a1);
    case HOST_GET_VALUE:
    case HOST_GET_VALUE_ALT: {
        if (!Usable(a1))
            return 1;
        QFitValueRecord* r = reinterpret_cast<QFitValueRecord*>(a2);
        const TestDataset& d = Dataset(a1);
        if (r->row < 0 || static_cast<size_t>(r->row) >= d.values.size() || IsMissingValue(d.values[r->row]))
            return 1;
        r->value = d.values[r->row];
        return 0;
    }
    case HOST_SET_VALUE: {
        if (!Usable(a1))
            return 1;
        QFitValueRecord* r = reinterpret_cast<QFitValueRecord*>(a2);
        TestDataset& d = Dataset(a1);
        if (r->row < 0)
            return 1;
        if (static_cast<size_t>(r->row) >= d.values.size())
            d.values.resize(r->row + 1, MISSING_VALUE);
        d.values[r->row] = r->value;
        return 0;
    }
    case HOST_GET_ROW_RANGE: {
        QFitRowRanges* r = reinterpret_cast<QFitRowRanges*>(a2);
        const TestDataset& d = Dataset(a1);
        r->full = {0, static_cast<int32_t>(d.values.size())};
        r->used = d.used;
        return 0;
    }
    case HOST_GET_X_BOUNDS: {
        QFitXBounds* b = reinterpret_cast<QFitXBounds*>(a2);
        const TestDataset& d = Dataset(a1);
        b->first = b->last = MISSING_VALUE;
        for (int i = d.used.first; i < d.used.end; ++i)
            if (!IsMissingValue(d.values[i])) {
                if (IsMissingValue(b->first))
                    b->first = d.values[i];
                b->last = d.values[i];
            }
        return 0;
    }
    case HOST_SET_STRING_VAR:
        stringVariables[static_cast<int>(a2)] = reinterpret_cast<const char*>(a1);
        return 0;
    case HOST_GET_STRING_VAR:
        CopyOut(a1, stringVariables[static_cast<int>(a2)]);
        return 0;
    case HOST_REQ_3009:
    case HOST_CREATE_DATASET: {
        if (!createDatasets)
            return 0;
        const char* name = reinterpret_cast<const char*>(a1);
        if (const QFitDataset h = Find(name)) {
            Dataset(h).values.resize(static_cast<size_t>(a2), MISSING_VALUE);
            return h;
        }
        return AddDataset(name, std::vector<double>(static_cast<size_t>(a2), MISSING_VALUE));
    }
    case HOST_ADD_COLUMN: {
        // A column of worksheet Data1: the name asked for unless taken, else the next free.
        if (!createDatasets)
            return 0;
        const std::string asked = a2 ? reinterpret_cast<const char*>(a2) : "";
        std::string name = asked.empty() ? std::string() : "Data1_" + asked;
        for (int n = 1; name.empty() || Find(name.c_str()); ++n)
            name = "Data1_Col" + std::to_string(n);
        return AddDataset(name, {});
    }
    case HOST_SET_RANGE:
        if (!createDatasets)
            return 0;
        if (!Usable(a1))
            return 1;
        Dataset(a1).used = *reinterpret_cast<QFitRowRange*>(a2);
        return 0;
    case HOST_SET_X_DATASET:
        if (!createDatasets)
            return 0;
        if (!Usable(a1))
            return 1;
        Dataset(a1).x = a2;
        return 0;
    case HOST_SET_DATASET_LABEL:
        if (!createDatasets)
            return 0;
        if (!Usable(a1))
            return 1;
        Dataset(a1).label = reinterpret_cast<const char*>(a2);
        return 0;
    case HOST_REQ_3018: {
        QFitColumnQuery* q = reinterpret_cast<QFitColumnQuery*>(a1);
        snprintf(q->buffer, q->bufferCapacity, "Data1");
        q->column = 2;
        return 0;
    }
    default:
        return 0;
    }
}
