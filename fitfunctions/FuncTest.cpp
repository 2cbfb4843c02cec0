// FuncTest: a script-object handler for checking the library from a script. It lists the
// table, binds an X, a Y and up to 20 derivative datasets of the host, and evaluates one
// function over the X rows twice: with its analytic derivatives and with forward
// differences, writing values and both sets of derivatives into the bound datasets.
//
// The bindings are module state shared by every caller of the library: FuncTest is a
// diagnostic for one script at a time, and the model functions never touch this state.
#include <cstring>

#include "FitTable.h"
#include "QmHost.h"

extern "C" FitFunction WINAPI get_funx(const char *name);

namespace {

// Fixed capacities of the evaluation arrays, far above any row's parameter count, so that
// a multi-peak function's peak outputs and any parameter list stay inside them.
const int kCapacity = 32;
const int kMaxTokens = kCapacity - 2;
const int kDerivativeSlots = 20;
const double kStep = 1e-08;

QFitDataset g_x = 0;
QFitRowRange g_xRange = {0, 0};
QFitDataset g_y = 0;
QFitDataset g_slots[kDerivativeSlots] = {};

bool IsTokenChar(char c)
{
    return IsCharAlphaNumericA(c) || c == '_' || c == '.' || c == '-';
}

bool IsSeparator(char c)
{
    return c == ' ' || c == '\t' || c == ',';
}

// Splits the parameter list into tokens: runs of letters, digits, '_', '.' and '-' that
// end at a blank, a comma or the end. Any other character ends the list, dropping the
// token it touches. Answers the number of tokens (at most kMaxTokens).
int SplitTokens(const char *text, char tokens[][64])
{
    int count = 0;
    if (!text)
        return 0;
    const char *s = text;
    while (IsSeparator(*s))
        ++s;
    while (*s && count < kMaxTokens) {
        const char *start = s;
        while (IsTokenChar(*s))
            ++s;
        if (s == start || (*s && !IsSeparator(*s)))
            break;
        size_t len = static_cast<size_t>(s - start);
        if (len >= sizeof tokens[0])
            break;
        std::memcpy(tokens[count], start, len);
        tokens[count][len] = '\0';
        ++count;
        while (IsSeparator(*s))
            ++s;
    }
    return count;
}

void SetValue(HostCallback host, QFitDataset set, int row, double value)
{
    if (!set)
        return;
    QFitValueRecord record = {row, 0, value};
    host(nullptr, HOST_SET_VALUE, set, reinterpret_cast<INT_PTR>(&record));
}

void SetRange(HostCallback host, QFitDataset set)
{
    if (!set)
        return;
    QFitRowRange range = g_xRange;
    host(nullptr, HOST_SET_RANGE, set, reinterpret_cast<INT_PTR>(&range));
}

bool GetX(HostCallback host, int row, double &x)
{
    if (!g_x)
        return false;
    QFitValueRecord record = {row, 0, 0.0};
    if (host(nullptr, HOST_GET_VALUE, g_x, reinterpret_cast<INT_PTR>(&record)) != 0)
        return false;
    x = record.value;
    return true;
}

void FillMissing(double *a)
{
    for (int i = 0; i < kCapacity; ++i)
        a[i] = MISSING_VALUE;
}

int Evaluate(const char *name, const char *arguments, HostCallback host)
{
    FitFunction f = get_funx(name);
    if (!f)
        return 0;
    const int n = curvelib::GetParamCount(name);

    double p[kCapacity] = {};
    char tokens[kMaxTokens][64];
    int count = SplitTokens(arguments, tokens);
    for (int i = 0; i < count; ++i) {
        double value = 0.0;
        if (host(nullptr, HOST_EVAL_NUMBER, reinterpret_cast<INT_PTR>(tokens[i]),
                 reinterpret_cast<INT_PTR>(&value)) != 0)
            return 0;
        p[1 + i] = value;
    }

    double x[kCapacity] = {}, y[kCapacity], d[kCapacity], work[kCapacity] = {};
    // Pass 1: the function's own derivatives. y and d start missing, so that a function
    // without a derivative block leaves nothing that looks like a result.
    for (int row = g_xRange.first; row < g_xRange.end; ++row) {
        if (!GetX(host, row, x[1]))
            continue;
        FillMissing(y);
        FillMissing(d);
        f(FITMODE_DERIVATIVES, host, n, 0, 0, p, work, x, y, d);
        SetValue(host, g_y, row, y[1]);
        for (int j = 1; j <= n; ++j)
            SetValue(host, g_slots[j - 1], row, d[j]);
    }
    SetRange(host, g_y);
    for (int j = 0; j < n; ++j)
        SetRange(host, g_slots[j]);

    // Pass 2: forward differences of the value.
    for (int row = g_xRange.first; row < g_xRange.end; ++row) {
        if (!GetX(host, row, x[1]))
            continue;
        FillMissing(y);
        f(FITMODE_VALUE, nullptr, n, 0, 0, p, work, x, y, d);
        double y0 = y[1];
        SetValue(host, g_slots[n], row, y0);
        double numeric[kCapacity];
        for (int j = 1; j <= n; ++j) {
            double saved = p[j];
            p[j] = saved + kStep;
            FillMissing(y);
            f(FITMODE_VALUE, nullptr, n, 0, 0, p, work, x, y, d);
            double y1 = y[1];
            p[j] = saved;
            numeric[j] = (IsMissingValue(y0) || IsMissingValue(y1)) ? MISSING_VALUE
                                                                    : (y1 - y0) * 100000000.0;
        }
        for (int j = 1; j <= n; ++j)
            SetValue(host, g_slots[n + j], row, numeric[j]);
    }
    for (int j = n; j <= 2 * n; ++j)
        SetRange(host, g_slots[j]);
    return 1;
}

} // namespace

extern "C" int WINAPI FuncTest(HWND window, LPCSTR method, LPCSTR member, LPCSTR value,
                               HostCallback host, int operation)
{
    const int op = operation & 0xFFFF;
    const char *name = op == OBJOP_CALL_METHOD ? method : member;
    if (!name)
        return 0;

    if (op == OBJOP_GET_NUMBER && lstrcmpiA(name, "list") == 0) {
        curvelib::ListFunctionNames(window);
        return 1;
    }
    if (op == OBJOP_SET_STRING) {
        if (!host)
            return 0;
        if (lstrcmpiA(name, "x") == 0) {
            QFitRowRange range = {0, 0};
            g_x = host(nullptr, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(value),
                       reinterpret_cast<INT_PTR>(&range));
            if (g_x)
                g_xRange = range;
            return g_x ? 1 : 0;
        }
        if (lstrcmpiA(name, "y") == 0) {
            g_y = host(nullptr, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(value), 0);
            return g_y ? 1 : 0;
        }
        return 0;
    }
    if (!host)
        return 0;
    if (lstrcmpiA(name, "deriv") == 0) {
        for (int k = 0; k < kDerivativeSlots; ++k) {
            char slotName[] = "data1_c";
            slotName[6] = static_cast<char>('c' + k);
            g_slots[k] = host(nullptr, HOST_FIND_DATASET, reinterpret_cast<INT_PTR>(slotName), 0);
        }
        return 1;
    }
    return Evaluate(name, member, host);
}
