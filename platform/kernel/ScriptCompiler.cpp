// The compiled form of script text (see ScriptCompiler.h). The expression compiler follows
// the interpreter's recursive-descent grammar rule by rule, so that what it accepts it
// reads exactly as the interpreter does; the statement compiler divides text with the
// interpreter's own scanning functions.
#include "ScriptCompiler.h"

#define _USE_MATH_DEFINES
#include <ctype.h>
#include <emmintrin.h>
#include <float.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "KernelInternal.h"
#include "QKData.h"
#include "QKSysMethod.h"
#include "QxExp.h"
#include "QxPow.h"

namespace qkcompiled {

namespace {

// The interpreter's limit of open parentheses, operators and blocks.
const int kMaxNesting = 200;
// Deeper stacks are left to the interpreter; no real formula comes near.
const int kMaxStack = 64;

struct NotCompilable {};

double Clean(double v)
{
    return isfinite(v) ? v : MISSING_VALUE;
}

// The interpreter's arithmetic, one operator each so that evaluation inlines them.
inline bool Missing(double a, double b)
{
    return IsMissingValue(a) || IsMissingValue(b);
}
inline double Add(double a, double b) { return Missing(a, b) ? MISSING_VALUE : Clean(a + b); }
inline double Sub(double a, double b) { return Missing(a, b) ? MISSING_VALUE : Clean(a - b); }
inline double Mul(double a, double b) { return Missing(a, b) ? MISSING_VALUE : Clean(a * b); }
inline double Div(double a, double b) { return Missing(a, b) || b == 0 ? MISSING_VALUE : Clean(a / b); }
inline double Pow(double a, double b) { return Missing(a, b) ? MISSING_VALUE : Clean(qkPow(a, b)); }

double Arith(char op, double a, double b)
{
    switch (op) {
    case '+': return Add(a, b);
    case '-': return Sub(a, b);
    case '*': return Mul(a, b);
    case '/': return Div(a, b);
    case '^': return Pow(a, b);
    }
    return MISSING_VALUE;
}

bool IsIdentStart(char c)
{
    return isalpha((unsigned char)c) || c == '_';
}

bool IsIdentChar(char c)
{
    return isalnum((unsigned char)c) || c == '_' || c == '\'';
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = (char)toupper((unsigned char)c);
    return s;
}

// Text the interpreter changes before it reads it (substitutions), or reads in ways of its
// own (quoted texts, comments), is never compiled.
bool PlainText(const std::string& s)
{
    return s.find_first_of("%$\"") == std::string::npos && s.find("/*") == std::string::npos;
}

// ---- Built-in functions, resolved once for the angle unit in force ----

typedef double (*Fn1)(double);
typedef double (*Fn2)(double, double);

template <int U> double In(double v)
{
    return U == 1 ? v * M_PI / 180.0 : U == 2 ? v * M_PI / 200.0 : v;
}
template <int U> double Out(double v)
{
    return U == 1 ? v * 180.0 / M_PI : U == 2 ? v * 200.0 / M_PI : v;
}
template <int U> double Sin(double v) { return sin(In<U>(v)); }
template <int U> double Cos(double v) { return cos(In<U>(v)); }
template <int U> double Tan(double v) { return tan(In<U>(v)); }
template <int U> double Asin(double v) { return Out<U>(asin(v)); }
template <int U> double Acos(double v) { return Out<U>(acos(v)); }
template <int U> double Atan(double v) { return Out<U>(atan(v)); }
template <int U> double Atan2(double y, double x) { return Out<U>(atan2(y, x)); }
double Sinh(double v) { return sinh(v); }
double Cosh(double v) { return cosh(v); }
double Tanh(double v) { return tanh(v); }
double Exp(double v) { return qkExp(v); }
double Ln(double v) { return log(v); }
double Log10(double v) { return log10(v); }
double Sqrt(double v) { return sqrt(v); }
double Abs(double v) { return fabs(v); }
double Int(double v) { return trunc(v); }
double Nint(double v) { return round(v); }
double Mod(double a, double b) { return trunc(b) == 0 ? NAN : fmod(trunc(a), trunc(b)); }

struct FunctionEntry {
    const char* name;
    int args; // -1: min and max, any number but at least one
    Fn1 f1[3];
    Fn2 f2[3];
    bool angle;
};

#define QK_ANGLE1(name, f) {name, 1, {f<0>, f<1>, f<2>}, {}, true}
#define QK_PLAIN1(name, f) {name, 1, {f, f, f}, {}, false}

const FunctionEntry kFunctions[] = {
    QK_ANGLE1("sin", Sin), QK_ANGLE1("cos", Cos), QK_ANGLE1("tan", Tan),
    QK_ANGLE1("asin", Asin), QK_ANGLE1("acos", Acos), QK_ANGLE1("atan", Atan),
    {"atan2", 2, {}, {Atan2<0>, Atan2<1>, Atan2<2>}, true},
    QK_PLAIN1("sinh", Sinh), QK_PLAIN1("cosh", Cosh), QK_PLAIN1("tanh", Tanh),
    QK_PLAIN1("exp", Exp), QK_PLAIN1("ln", Ln), QK_PLAIN1("log", Log10), QK_PLAIN1("sqrt", Sqrt),
    QK_PLAIN1("abs", Abs), QK_PLAIN1("int", Int), QK_PLAIN1("nint", Nint),
    {"mod", 2, {}, {Mod, Mod, Mod}, false},
    {"min", -1, {}, {}, false},
    {"max", -1, {}, {}, false},
};

int AngleUnit()
{
    int u = qkfxGetQrxSystem().GetRefMath().GetAngularUnits();
    return u == 1 || u == 2 ? u : 0;
}

// The bracket closing the one at `open`, in a text without quotes and comments.
size_t Close(const std::string& s, size_t open)
{
    char o = s[open], c = o == '(' ? ')' : ']';
    int depth = 0;
    for (size_t i = open; i < s.size(); ++i) {
        if (s[i] == o)
            ++depth;
        else if (s[i] == c && --depth == 0)
            return i;
    }
    throw NotCompilable();
}

} // namespace

enum Op : uint8_t {
    OP_CONST, OP_VAR, OP_CELL, OP_NEG, OP_NOT, OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_POW,
    OP_EQ, OP_NE, OP_LT, OP_LE, OP_GT, OP_GE, OP_AND, OP_OR, OP_FN1, OP_FN2, OP_MIN, OP_MAX,
    // An arithmetic operator whose right operand is a number or a variable, in one step:
    // OP_ADD_C .. OP_POW_C take `value`, OP_ADD_V .. OP_POW_V the variable `arg`.
    OP_ADD_C, OP_SUB_C, OP_MUL_C, OP_DIV_C, OP_POW_C, OP_ADD_V, OP_SUB_V, OP_MUL_V, OP_DIV_V, OP_POW_V,
};

struct Instr {
    Op op;
    int arg = 0;        // name index, function table index, or argument count
    double value = 0;
    Fn1 f1 = nullptr;
    Fn2 f2 = nullptr;
};

// ---- Expressions ------------------------------------------------------------------------

struct ExprCompiler {
    Expression& e;
    const std::string& s;
    int level;      // the interpreter's nesting count at this point, relative to the start
    int* stack;     // values on the stack now
    size_t p = 0;

    void Emit(Op op, int pops, int arg = 0, double value = 0)
    {
        std::vector<Instr>& code = e.m_code;
        if (op >= OP_ADD && op <= OP_POW && !code.empty() &&
            (code.back().op == OP_CONST || code.back().op == OP_VAR)) {
            // The right operand is the leaf just emitted: fold it into the operator.
            Instr& leaf = code.back();
            leaf.op = (Op)((leaf.op == OP_CONST ? OP_ADD_C : OP_ADD_V) + (op - OP_ADD));
            *stack -= 1;
            return;
        }
        if (op == OP_NEG && !code.empty() && code.back().op == OP_CONST) {
            double& v = code.back().value;
            v = IsMissingValue(v) ? v : -v;
            return;
        }
        Instr in;
        in.op = op;
        in.arg = arg;
        in.value = value;
        e.m_code.push_back(in);
        *stack += 1 - pops;
        e.m_stack = std::max(e.m_stack, *stack);
        if (e.m_stack > kMaxStack)
            throw NotCompilable();
    }
    void Deeper(int by)
    {
        e.m_nesting = std::max(e.m_nesting, level + by);
        if (level + by > kMaxNesting)
            throw NotCompilable();
    }
    void Space()
    {
        while (p < s.size() && isspace((unsigned char)s[p]))
            ++p;
    }
    bool Eat(const char* tok)
    {
        Space();
        size_t n = strlen(tok);
        if (s.compare(p, n, tok) == 0) {
            p += n;
            return true;
        }
        return false;
    }
    // A whole text (a parenthesis, an argument, an index) as the interpreter's Eval reads it.
    void Whole(const std::string& text, int atLevel)
    {
        ExprCompiler sub{e, text, atLevel, stack};
        sub.Or();
        sub.Space();
        if (sub.p != text.size())
            throw NotCompilable();
    }

    void Or()
    {
        And();
        while (Eat("||")) {
            And();
            Emit(OP_OR, 2);
        }
    }
    void And()
    {
        Cmp();
        while (Eat("&&")) {
            Cmp();
            Emit(OP_AND, 2);
        }
    }
    void Cmp()
    {
        Add();
        for (;;) {
            Space();
            static const struct { const char* tok; Op op; } ops[] = {
                {"==", OP_EQ}, {"!=", OP_NE}, {"<=", OP_LE}, {">=", OP_GE}, {"<", OP_LT}, {">", OP_GT}};
            const char* hit = nullptr;
            Op op = OP_EQ;
            for (const auto& o : ops)
                if (s.compare(p, strlen(o.tok), o.tok) == 0) {
                    hit = o.tok;
                    op = o.op;
                    break;
                }
            if (!hit)
                return;
            p += strlen(hit);
            Add();
            Emit(op, 2);
        }
    }
    void Add()
    {
        Mul();
        for (;;) {
            Space();
            if (p < s.size() && (s[p] == '+' || s[p] == '-') && s.compare(p, 2, "--") != 0) {
                char op = s[p++];
                Mul();
                Emit(op == '+' ? OP_ADD : OP_SUB, 2);
            } else {
                return;
            }
        }
    }
    void Mul()
    {
        Unary();
        for (;;) {
            Space();
            if (p < s.size() && (s[p] == '*' || s[p] == '/')) {
                char op = s[p++];
                Unary();
                Emit(op == '*' ? OP_MUL : OP_DIV, 2);
            } else {
                return;
            }
        }
    }
    void Unary()
    {
        Space();
        if (s.compare(p, 2, "--") == 0) {
            p += 2;
            Emit(OP_CONST, 0, 0, MISSING_VALUE);
            return;
        }
        for (const char* op : {"-", "+", "!"})
            if (Eat(op)) {
                Deeper(1);
                ++level;
                Unary();
                --level;
                if (*op == '-')
                    Emit(OP_NEG, 1);
                else if (*op == '!')
                    Emit(OP_NOT, 1);
                return;
            }
        Power();
    }
    void Power()
    {
        Primary();
        if (Eat("^")) {
            Deeper(1);
            ++level;
            Unary();
            --level;
            Emit(OP_POW, 2);
        }
    }
    int NameIndex(const std::string& name, bool cell)
    {
        std::string upper = Upper(name);
        for (size_t i = 0; i < e.m_names.size(); ++i)
            if (e.m_names[i].upper == upper && e.m_names[i].text == name) {
                e.m_names[i].cell |= cell;
                return (int)i;
            }
        Name n;
        n.text = name;
        n.upper = upper;
        n.cell = cell;
        e.m_names.push_back(n);
        return (int)e.m_names.size() - 1;
    }
    void Primary()
    {
        Space();
        if (p >= s.size())
            throw NotCompilable();
        char c = s[p];
        if (c == '(') {
            size_t close = Close(s, p);
            std::string inner = s.substr(p + 1, close - p - 1);
            p = close + 1;
            Deeper(1);
            Whole(inner, level + 1);
            return;
        }
        if (isdigit((unsigned char)c) || (c == '.' && p + 1 < s.size() && isdigit((unsigned char)s[p + 1]))) {
            char* endp = nullptr;
            double v = strtod(s.c_str() + p, &endp);
            p = endp - s.c_str();
            Emit(OP_CONST, 0, 0, v);
            return;
        }
        if (!IsIdentStart(c))
            throw NotCompilable();
        size_t start = p;
        while (p < s.size() && (IsIdentChar(s[p]) || (s[p] == '.' && p + 1 < s.size() && IsIdentStart(s[p + 1]))))
            ++p;
        std::string head = s.substr(start, p - start);
        if (head.find('.') != std::string::npos)
            throw NotCompilable(); // object members
        std::string args;
        bool hasArgs = false;
        if (p < s.size() && s[p] == '(') {
            size_t close = Close(s, p);
            args = s.substr(p + 1, close - p - 1);
            hasArgs = true;
            p = close + 1;
        }
        std::string index;
        bool hasIndex = false;
        if (p < s.size() && s[p] == '[') {
            size_t close = Close(s, p);
            index = s.substr(p + 1, close - p - 1);
            hasIndex = true;
            p = close + 1;
        }
        if (p < s.size() && s[p] == '$')
            throw NotCompilable(); // texts
        if (hasArgs || hasIndex)
            Deeper(1);
        if (hasArgs) {
            if (hasIndex)
                throw NotCompilable();
            Call(head, args);
            return;
        }
        if (hasIndex) {
            // The interpreter takes the index after the last '[': nested rows stay its own.
            if (index.find_first_of("[]") != std::string::npos)
                throw NotCompilable();
            Whole(qkTrim(index), level + 1);
            Emit(OP_CELL, 1, NameIndex(head, true));
            e.m_usesDatasets = true;
            return;
        }
        Emit(OP_VAR, 0, NameIndex(head, false));
    }
    void Call(const std::string& name, const std::string& argText)
    {
        const FunctionEntry* f = nullptr;
        for (const FunctionEntry& entry : kFunctions)
            if (_stricmp(name.c_str(), entry.name) == 0)
                f = &entry;
        if (!f)
            throw NotCompilable(); // exist, col, wcol and unknown names
        std::vector<std::string> parts = qkSplitArgs(argText);
        if ((f->args >= 0 && (int)parts.size() != f->args) || parts.empty())
            throw NotCompilable();
        for (const std::string& part : parts)
            Whole(part, level + 1);
        int index = (int)(f - kFunctions);
        if (f->args < 0) {
            Emit(_stricmp(f->name, "min") == 0 ? OP_MIN : OP_MAX, (int)parts.size(), (int)parts.size());
            return;
        }
        Emit(f->args == 1 ? OP_FN1 : OP_FN2, f->args, index);
        if (f->angle)
            e.m_angleUnit = 0;
    }
};

std::unique_ptr<Expression> Expression::Compile(const std::string& text)
{
    std::string s = qkTrim(text);
    if (s.empty() || !PlainText(s))
        return nullptr;
    auto e = std::make_unique<Expression>();
    int stack = 0;
    try {
        ExprCompiler c{*e, s, 0, &stack};
        c.Or();
        c.Space();
        if (c.p != s.size())
            return nullptr;
    } catch (const NotCompilable&) {
        return nullptr;
    }
    if (e->m_angleUnit >= 0)
        e->m_angleUnit = -2; // resolved at the first binding
    for (Instr& in : e->m_code)
        if (in.op == OP_FN1 || in.op == OP_FN2) {
            in.f1 = kFunctions[in.arg].f1[0];
            in.f2 = kFunctions[in.arg].f2[0];
        }
    return e;
}

void BindName(Name& n, VariableStore& store)
{
    auto it = store.vars.find(n.upper);
    if (it != store.vars.end()) {
        n.kind = Name::VARIABLE;
        n.var = &it->second;
    } else if (n.cell) {
        n.dataset = qkfxGetProject().FindDataset(n.text);
        n.kind = n.dataset ? Name::DATASET : Name::NONE;
    } else {
        n.kind = Name::NONE;
    }
}

void Expression::Bind(VariableStore& store)
{
    for (Name& n : m_names)
        BindName(n, store);
    m_generation = store.generation;
    BindAngles();
}

void Expression::BindAngles()
{
    if (m_angleUnit == -1)
        return;
    int unit = AngleUnit();
    if (unit == m_angleUnit)
        return;
    m_angleUnit = unit;
    for (Instr& in : m_code)
        if ((in.op == OP_FN1 || in.op == OP_FN2) && kFunctions[in.arg].angle) {
            in.f1 = kFunctions[in.arg].f1[unit];
            in.f2 = kFunctions[in.arg].f2[unit];
        }
}

bool Expression::Run(VariableStore& store, int nesting, double* out)
{
    if (nesting + m_nesting > kMaxNesting)
        return false;
    // Datasets may have come and gone since the last run; variables only with a new
    // generation.
    if (m_generation != store.generation || m_usesDatasets)
        Bind(store);
    else
        BindAngles();
    return RunBound(out);
}

bool Expression::RunBound(double* out)
{
    double stack[kMaxStack];
    int sp = 0;
    for (const Instr& in : m_code) {
        switch (in.op) {
        case OP_CONST:
            stack[sp++] = in.value;
            break;
        case OP_VAR: {
            const Name& n = m_names[in.arg];
            if (n.kind != Name::VARIABLE)
                return false;
            stack[sp++] = n.var->value;
            break;
        }
        case OP_CELL: {
            const Name& n = m_names[in.arg];
            double row = stack[sp - 1];
            if (n.kind != Name::DATASET || IsMissingValue(row) || !(row >= 1 && row <= QK_MAX_ROWS))
                return false;
            stack[sp - 1] = n.dataset->GetValue((int)row - 1);
            break;
        }
        case OP_NEG: {
            double v = stack[sp - 1];
            stack[sp - 1] = IsMissingValue(v) ? v : -v;
            break;
        }
        case OP_NOT:
            stack[sp - 1] = stack[sp - 1] == 0;
            break;
        case OP_ADD: --sp; stack[sp - 1] = Add(stack[sp - 1], stack[sp]); break;
        case OP_SUB: --sp; stack[sp - 1] = Sub(stack[sp - 1], stack[sp]); break;
        case OP_MUL: --sp; stack[sp - 1] = Mul(stack[sp - 1], stack[sp]); break;
        case OP_DIV: --sp; stack[sp - 1] = Div(stack[sp - 1], stack[sp]); break;
        case OP_POW: --sp; stack[sp - 1] = Pow(stack[sp - 1], stack[sp]); break;
        case OP_ADD_C: stack[sp - 1] = Add(stack[sp - 1], in.value); break;
        case OP_SUB_C: stack[sp - 1] = Sub(stack[sp - 1], in.value); break;
        case OP_MUL_C: stack[sp - 1] = Mul(stack[sp - 1], in.value); break;
        case OP_DIV_C: stack[sp - 1] = Div(stack[sp - 1], in.value); break;
        case OP_POW_C: stack[sp - 1] = Pow(stack[sp - 1], in.value); break;
        case OP_ADD_V:
        case OP_SUB_V:
        case OP_MUL_V:
        case OP_DIV_V:
        case OP_POW_V: {
            const Name& n = m_names[in.arg];
            if (n.kind != Name::VARIABLE)
                return false;
            const double a = stack[sp - 1], b = n.var->value;
            stack[sp - 1] = in.op == OP_ADD_V ? Add(a, b) : in.op == OP_SUB_V ? Sub(a, b)
                          : in.op == OP_MUL_V ? Mul(a, b) : in.op == OP_DIV_V ? Div(a, b) : Pow(a, b);
            break;
        }
        case OP_EQ: --sp; stack[sp - 1] = stack[sp - 1] == stack[sp]; break;
        case OP_NE: --sp; stack[sp - 1] = stack[sp - 1] != stack[sp]; break;
        case OP_LT:
        case OP_LE:
        case OP_GT:
        case OP_GE: {
            --sp;
            double x = stack[sp - 1], y = stack[sp];
            double r = 0;
            if (!IsMissingValue(x) && !IsMissingValue(y))
                r = in.op == OP_LT ? x < y : in.op == OP_LE ? x <= y : in.op == OP_GT ? x > y : x >= y;
            stack[sp - 1] = r;
            break;
        }
        case OP_AND: --sp; stack[sp - 1] = stack[sp - 1] != 0 && stack[sp] != 0; break;
        case OP_OR: --sp; stack[sp - 1] = stack[sp - 1] != 0 || stack[sp] != 0; break;
        case OP_FN1: {
            double v = stack[sp - 1];
            stack[sp - 1] = IsMissingValue(v) ? MISSING_VALUE : Clean(in.f1(v));
            break;
        }
        case OP_FN2: {
            --sp;
            double a = stack[sp - 1], b = stack[sp];
            stack[sp - 1] = IsMissingValue(a) || IsMissingValue(b) ? MISSING_VALUE : Clean(in.f2(a, b));
            break;
        }
        case OP_MIN:
        case OP_MAX: {
            sp -= in.arg;
            double r = stack[sp];
            bool missing = false;
            for (int i = 0; i < in.arg; ++i) {
                double v = stack[sp + i];
                missing |= IsMissingValue(v);
                r = in.op == OP_MIN ? (v < r ? v : r) : (v > r ? v : r);
            }
            stack[sp++] = missing ? MISSING_VALUE : Clean(r);
            break;
        }
        }
    }
    *out = stack[0];
    return true;
}

namespace {

// Rows a block of RunRows evaluates at most: its stack (kMaxStack blocks) stays in the
// cache. The plain form takes rows in pairs: a short last block with an odd count of rows
// repeats its last row.
const int kBlock = 64;

// A block is first run plainly, two rows at a time, without the missing-value tests of each
// operator: when no operand is missing and no result is infinite, not a number or the
// missing value ("trouble"), each operator gives what its tested form gives, so the
// block's values are the same. A block with trouble is run again with the tests.
inline __m128d Trouble(__m128d r)
{
    const __m128d magnitude = _mm_and_pd(r, _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFFLL)));
    return _mm_or_pd(_mm_cmpnle_pd(magnitude, _mm_set1_pd(DBL_MAX)), _mm_cmpeq_pd(r, _mm_set1_pd(MISSING_VALUE)));
}

struct AddV { __m128d operator()(__m128d a, __m128d b) const { return _mm_add_pd(a, b); } };
struct SubV { __m128d operator()(__m128d a, __m128d b) const { return _mm_sub_pd(a, b); } };
struct MulV { __m128d operator()(__m128d a, __m128d b) const { return _mm_mul_pd(a, b); } };
struct DivV { __m128d operator()(__m128d a, __m128d b) const { return _mm_div_pd(a, b); } };

// n rows from one block to another. A fit's requests are a few rows: the runtime's memcpy
// costs more in its call and set-up than this loop in all.
inline void CopyRows(double* to, const double* from, int n)
{
    int k = 0;
    for (; k + 2 <= n; k += 2)
        _mm_storeu_pd(to + k, _mm_loadu_pd(from + k));
    if (k < n)
        to[k] = from[k];
}

// Whether n rows (n > 0) hold one value, bit for bit, that is not missing. The first and the
// last row tell most columns apart (a data column, a parameter stepped at the end of the
// request); the rest are compared two at a time without a branch per pair.
inline bool OneValue(const double* c, int n)
{
    uint64_t first, last;
    memcpy(&first, c, sizeof first);
    memcpy(&last, c + n - 1, sizeof last);
    if (first != last || IsMissingValue(c[0]))
        return false;
    const __m128i one = _mm_set1_epi64x(static_cast<long long>(first));
    __m128i differ = _mm_setzero_si128();
    for (int k = 0; k + 2 <= n; k += 2)
        differ = _mm_or_si128(differ, _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c + k)), one));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(differ, _mm_setzero_si128())) == 0xFFFF;
}
} // namespace

Expression::Expression() = default;
Expression::~Expression() = default;

namespace {

// qkPow two rows at a time: its products in vectors, any other power by qxPow2 (qkPow's
// qxPow on each lane).
struct PowV {
    __m128d operator()(__m128d a, __m128d b) const
    {
        double y[2];
        _mm_storeu_pd(y, b);
        if (y[0] == 2 || y[0] == 3 || y[0] == -2 || y[1] == 2 || y[1] == 3 || y[1] == -2) {
            double x[2];
            _mm_storeu_pd(x, a);
            return _mm_set_pd(qkPow(x[1], y[1]), qkPow(x[0], y[0]));
        }
        return qxPow2(a, b);
    }
};

// A block raised to one power: qkPow's products stay in vectors.
inline __m128d PlainPower(double* a, double b, int n)
{
    __m128d trouble = _mm_setzero_pd();
    for (int k = 0; k < n; k += 2) {
        const __m128d x = _mm_loadu_pd(a + k), square = _mm_mul_pd(x, x);
        const __m128d r = b == 2 ? square : b == 3 ? _mm_mul_pd(square, x)
                        : b == -2 ? _mm_div_pd(_mm_set1_pd(1.0), square) : PowV()(x, _mm_set1_pd(b));
        _mm_storeu_pd(a + k, r);
        trouble = _mm_or_pd(trouble, Trouble(r));
    }
    return trouble;
}

inline __m128d PlainMissing(const double* v, int n)
{
    __m128d missing = _mm_setzero_pd();
    for (int k = 0; k < n; k += 2)
        missing = _mm_or_pd(missing, _mm_cmpeq_pd(_mm_loadu_pd(v + k), _mm_set1_pd(MISSING_VALUE)));
    return missing;
}

template <class F> inline __m128d PlainFunction(double* to, const double* a, int n, F f)
{
    __m128d trouble = _mm_setzero_pd();
    for (int k = 0; k < n; k += 2) {
        const __m128d r = _mm_set_pd(f(a[k + 1]), f(a[k]));
        _mm_storeu_pd(to + k, r);
        trouble = _mm_or_pd(trouble, Trouble(r));
    }
    return trouble;
}

inline __m128d PlainExp(double* to, const double* a, int n)
{
    __m128d trouble = _mm_setzero_pd();
    for (int k = 0; k < n; k += 2) {
        const __m128d r = qxExp2(_mm_loadu_pd(a + k));
        _mm_storeu_pd(to + k, r);
        trouble = _mm_or_pd(trouble, Trouble(r));
    }
    return trouble;
}

// to = f(a, b) over a block, where an operand is a block or, when its rows are null, one
// value for every row; the trouble found.
template <class F>
__attribute__((always_inline)) inline __m128d PlainBinary(double* to, const double* a, double oneA, const double* b,
                                                          double oneB, int n, F f)
{
    __m128d trouble = _mm_setzero_pd();
    const __m128d ca = _mm_set1_pd(oneA), cb = _mm_set1_pd(oneB);
    if (a && b) {
        for (int k = 0; k < n; k += 2) {
            const __m128d r = f(_mm_loadu_pd(a + k), _mm_loadu_pd(b + k));
            _mm_storeu_pd(to + k, r);
            trouble = _mm_or_pd(trouble, Trouble(r));
        }
    } else if (a) {
        for (int k = 0; k < n; k += 2) {
            const __m128d r = f(_mm_loadu_pd(a + k), cb);
            _mm_storeu_pd(to + k, r);
            trouble = _mm_or_pd(trouble, Trouble(r));
        }
    } else {
        for (int k = 0; k < n; k += 2) {
            const __m128d r = f(ca, _mm_loadu_pd(b + k));
            _mm_storeu_pd(to + k, r);
            trouble = _mm_or_pd(trouble, Trouble(r));
        }
    }
    return trouble;
}

// Whether RunBlockPlain takes the code: constants, variables, signs, arithmetic and
// functions, and no missing value among the constants.
bool PlainCode(const std::vector<Instr>& code)
{
    for (const Instr& in : code) {
        const bool op = in.op == OP_CONST || in.op == OP_VAR || in.op == OP_NEG || (in.op >= OP_ADD && in.op <= OP_POW) ||
                        (in.op >= OP_ADD_C && in.op <= OP_POW_V) || in.op == OP_FN1 || in.op == OP_FN2;
        if (!op || ((in.op == OP_CONST || (in.op >= OP_ADD_C && in.op <= OP_POW_C)) && IsMissingValue(in.value)))
            return false;
    }
    return true;
}

// A binary operator on a level of RunBlockPlain's stack (its block `to`, its rows `at` or
// one value `one`) and a second operand (rows b, or one value oneB): two levels of one value
// give one value, worked in one lane; otherwise the level's rows are written to its block.
template <class F>
__attribute__((always_inline)) inline __m128d LevelBinary(double* to, const double*& at, double& one, const double* b,
                                                          double oneB, int n, F f)
{
    if (!at && !b) {
        const __m128d r = f(_mm_set1_pd(one), _mm_set1_pd(oneB));
        one = _mm_cvtsd_f64(r);
        return Trouble(r);
    }
    const __m128d trouble = PlainBinary(to, at, one, b, oneB, n, f);
    at = to;
    return trouble;
}

// n rows (an even count) of a plain code (PlainCode), the first `rows` of them into out;
// column[i] is the block of name i's column, or null for a name of one value, which is not
// missing. False, with nothing written, when the block is trouble.
//
// A level of the stack holds one value for every row while it comes from constants and
// names of one value only (a fit's parameters, mostly): the operators on such levels are
// worked once, with the same vector operation taken for one lane, so every row gets the bits
// it would get on its own. A level read from a column stays in the column until an operator
// writes it. Powers, and functions of two arguments not both of one value, first write
// their operands out in full and run as before.
bool RunBlockPlain(const std::vector<Instr>& code, const std::vector<const double*>& column,
                   const std::vector<double>& value, int n, double (*stack)[kBlock], double* out, int rows)
{
    const double* at[kMaxStack]; // each level's rows: its own block, a column's, or null for one value
    double one[kMaxStack];       // a level's one value
    auto own = [&](int level) {
        if (!at[level])
            std::fill(stack[level], stack[level] + n, one[level]);
        else if (at[level] != stack[level])
            CopyRows(stack[level], at[level], n);
        at[level] = stack[level];
        return stack[level];
    };
    int sp = 0;
    for (const Instr& in : code) {
        const int top = sp - 1;
        __m128d trouble = _mm_setzero_pd();
        // The operand a variable gives: its column's block, or its one value.
        const bool named = in.op == OP_VAR || (in.op >= OP_ADD_V && in.op <= OP_POW_V);
        const double* c = named ? column[in.arg] : nullptr;
        if (c)
            trouble = PlainMissing(c, n);
        const double oneB = named ? value[in.arg] : in.value;
        auto binary = [&](int level, const double* b, double valueB, auto f) __attribute__((always_inline)) {
            return LevelBinary(stack[level], at[level], one[level], b, valueB, n, f);
        };
        switch (in.op) {
        case OP_CONST:
        case OP_VAR:
            at[sp] = c;
            one[sp] = oneB;
            ++sp;
            break;
        case OP_NEG:
            if (!at[top]) {
                one[top] = -one[top];
                trouble = _mm_cmpeq_pd(_mm_set1_pd(one[top]), _mm_set1_pd(MISSING_VALUE));
            } else {
                double* to = stack[top];
                for (int k = 0; k < n; ++k)
                    to[k] = -at[top][k];
                at[top] = to;
                trouble = PlainMissing(to, n);
            }
            break;
        case OP_ADD: --sp; trouble = binary(sp - 1, at[sp], one[sp], AddV()); break;
        case OP_SUB: --sp; trouble = binary(sp - 1, at[sp], one[sp], SubV()); break;
        case OP_MUL: --sp; trouble = binary(sp - 1, at[sp], one[sp], MulV()); break;
        case OP_DIV: --sp; trouble = binary(sp - 1, at[sp], one[sp], DivV()); break;
        case OP_POW: {
            --sp;
            double* a = own(sp - 1);
            trouble = PlainBinary(a, a, 0, own(sp), 0, n, PowV());
            break;
        }
        case OP_ADD_C: trouble = binary(top, nullptr, oneB, AddV()); break;
        case OP_SUB_C: trouble = binary(top, nullptr, oneB, SubV()); break;
        case OP_MUL_C: trouble = binary(top, nullptr, oneB, MulV()); break;
        case OP_DIV_C: trouble = binary(top, nullptr, oneB, DivV()); break;
        case OP_POW_C: trouble = PlainPower(own(top), in.value, n); break;
        case OP_ADD_V: trouble = _mm_or_pd(trouble, binary(top, c, oneB, AddV())); break;
        case OP_SUB_V: trouble = _mm_or_pd(trouble, binary(top, c, oneB, SubV())); break;
        case OP_MUL_V: trouble = _mm_or_pd(trouble, binary(top, c, oneB, MulV())); break;
        case OP_DIV_V: trouble = _mm_or_pd(trouble, binary(top, c, oneB, DivV())); break;
        case OP_POW_V: {
            double* a = own(top);
            trouble = _mm_or_pd(trouble, c ? PlainBinary(a, a, 0, c, 0, n, PowV()) : PlainPower(a, oneB, n));
            break;
        }
        case OP_FN1:
            // exp, the models' commonest function, inline (qkExp is qxExp).
            if (!at[top]) {
                one[top] = in.f1(one[top]);
                trouble = Trouble(_mm_set1_pd(one[top]));
            } else {
                trouble = in.f1 == Exp ? PlainExp(stack[top], at[top], n) : PlainFunction(stack[top], at[top], n, in.f1);
                at[top] = stack[top];
            }
            break;
        case OP_FN2: {
            --sp;
            if (!at[sp - 1] && !at[sp]) {
                one[sp - 1] = in.f2(one[sp - 1], one[sp]);
                trouble = Trouble(_mm_set1_pd(one[sp - 1]));
                break;
            }
            double* a = own(sp - 1);
            const double* y = own(sp);
            for (int k = 0; k < n; ++k)
                a[k] = in.f2(a[k], y[k]);
            for (int k = 0; k < n; k += 2)
                trouble = _mm_or_pd(trouble, Trouble(_mm_loadu_pd(a + k)));
            break;
        }
        default:
            return false;
        }
        if (_mm_movemask_pd(trouble))
            return false;
    }
    if (at[0])
        CopyRows(out, at[0], rows);
    else
        std::fill(out, out + rows, one[0]);
    return true;
}

// n rows of any code (but dataset rows) into out, each operator with its tests, as
// RunBound evaluates one row.
void RunBlockTested(const std::vector<Instr>& code, const std::vector<const double*>& column,
                    const std::vector<double>& value, int n, double (*stack)[kBlock], double* out)
{
    auto apply = [n](double* a, const double* b, int step, double (*f)(double, double)) {
        for (int k = 0; k < n; ++k)
            a[k] = f(a[k], b[step * k]);
    };
    int sp = 0;
    for (const Instr& in : code) {
        double* top = sp > 0 ? stack[sp - 1] : nullptr;
        const double* c = in.op >= OP_ADD_V && in.op <= OP_POW_V ? column[in.arg] : nullptr;
        const double* b = c ? c : in.op >= OP_ADD_V && in.op <= OP_POW_V ? &value[in.arg] : &in.value;
        const int step = c ? 1 : 0;
        switch (in.op) {
        case OP_CONST:
            std::fill(stack[sp], stack[sp] + n, in.value);
            ++sp;
            break;
        case OP_VAR:
            if (column[in.arg])
                CopyRows(stack[sp], column[in.arg], n);
            else
                std::fill(stack[sp], stack[sp] + n, value[in.arg]);
            ++sp;
            break;
        case OP_CELL:
            break; // RunRows takes no dataset rows
        case OP_NEG:
            for (int k = 0; k < n; ++k)
                top[k] = IsMissingValue(top[k]) ? top[k] : -top[k];
            break;
        case OP_NOT:
            for (int k = 0; k < n; ++k)
                top[k] = top[k] == 0;
            break;
        case OP_ADD: --sp; apply(stack[sp - 1], stack[sp], 1, Add); break;
        case OP_SUB: --sp; apply(stack[sp - 1], stack[sp], 1, Sub); break;
        case OP_MUL: --sp; apply(stack[sp - 1], stack[sp], 1, Mul); break;
        case OP_DIV: --sp; apply(stack[sp - 1], stack[sp], 1, Div); break;
        case OP_POW: --sp; apply(stack[sp - 1], stack[sp], 1, Pow); break;
        case OP_ADD_C: case OP_ADD_V: apply(top, b, step, Add); break;
        case OP_SUB_C: case OP_SUB_V: apply(top, b, step, Sub); break;
        case OP_MUL_C: case OP_MUL_V: apply(top, b, step, Mul); break;
        case OP_DIV_C: case OP_DIV_V: apply(top, b, step, Div); break;
        case OP_POW_C: case OP_POW_V: apply(top, b, step, Pow); break;
        case OP_EQ:
        case OP_NE:
        case OP_LT:
        case OP_LE:
        case OP_GT:
        case OP_GE:
        case OP_AND:
        case OP_OR: {
            --sp;
            double* a = stack[sp - 1];
            const double* y = stack[sp];
            for (int k = 0; k < n; ++k) {
                const double p = a[k], q = y[k];
                const bool known = !IsMissingValue(p) && !IsMissingValue(q);
                switch (in.op) {
                case OP_EQ: a[k] = p == q; break;
                case OP_NE: a[k] = p != q; break;
                case OP_LT: a[k] = known && p < q; break;
                case OP_LE: a[k] = known && p <= q; break;
                case OP_GT: a[k] = known && p > q; break;
                case OP_GE: a[k] = known && p >= q; break;
                case OP_AND: a[k] = p != 0 && q != 0; break;
                default: a[k] = p != 0 || q != 0; break;
                }
            }
            break;
        }
        case OP_FN1:
            for (int k = 0; k < n; ++k)
                top[k] = IsMissingValue(top[k]) ? MISSING_VALUE : Clean(in.f1(top[k]));
            break;
        case OP_FN2: {
            --sp;
            double* a = stack[sp - 1];
            const double* y = stack[sp];
            for (int k = 0; k < n; ++k)
                a[k] = IsMissingValue(a[k]) || IsMissingValue(y[k]) ? MISSING_VALUE : Clean(in.f2(a[k], y[k]));
            break;
        }
        case OP_MIN:
        case OP_MAX: {
            sp -= in.arg;
            for (int k = 0; k < n; ++k) {
                double r = stack[sp][k];
                bool missing = false;
                for (int i = 0; i < in.arg; ++i) {
                    const double v = stack[sp + i][k];
                    missing |= IsMissingValue(v);
                    r = in.op == OP_MIN ? (v < r ? v : r) : (v > r ? v : r);
                }
                stack[sp][k] = missing ? MISSING_VALUE : Clean(r);
            }
            ++sp;
            break;
        }
        }
    }
    CopyRows(out, stack[0], n);
}

} // namespace

bool Expression::RunRows(VariableStore& store, int nesting, int nColumns, QKVariable* const* vars,
                         const double* const* columns, int rows, double* out)
{
    if (nesting + m_nesting > kMaxNesting || m_usesDatasets)
        return false;
    if (m_generation != store.generation)
        Bind(store);
    else
        BindAngles();
    // Each name: its column, or its one value. The lists keep their size from call to call
    // (a fit asks for a few rows many times), and every entry is written below.
    const size_t nNames = m_names.size();
    if (m_column.size() != nNames) {
        m_column.resize(nNames);
        m_value.resize(nNames);
        m_block.resize(nNames);
        m_blockValue.resize(nNames);
    }
    std::vector<const double*>& column = m_column;
    std::vector<double>& value = m_value;
    std::vector<const double*>& block = m_block;
    std::vector<double>& blockValue = m_blockValue;
    if (m_plainCode < 0)
        m_plainCode = PlainCode(m_code);
    bool plain = m_plainCode != 0;
    for (size_t i = 0; i < nNames; ++i) {
        const Name& n = m_names[i];
        if (n.kind != Name::VARIABLE)
            return false;
        value[i] = blockValue[i] = n.var->value;
        column[i] = nullptr;
        for (int c = 0; c < nColumns; ++c)
            if (vars[c] == n.var)
                column[i] = columns[c];
        plain &= column[i] || !IsMissingValue(value[i]);
    }
    // The expression's own stack of blocks: one on the call's stack would be probed page by
    // page on every call.
    if (m_stackRows.size() < static_cast<size_t>(std::max(m_stack, 1)) * kBlock)
        m_stackRows.resize(static_cast<size_t>(std::max(m_stack, 1)) * kBlock);
    double (*stack)[kBlock] = reinterpret_cast<double (*)[kBlock]>(m_stackRows.data());
    std::vector<double>& padded = m_padded;
    for (int r0 = 0; r0 < rows; r0 += kBlock) {
        const int n = std::min(kBlock, rows - r0), even = (n + 1) & ~1;
        // An odd count of rows repeats its last row for the plain form's pairs.
        if (even > n)
            padded.resize(m_names.size() * kBlock);
        for (size_t i = 0; i < nNames; ++i) {
            const double* c = column[i] ? column[i] + r0 : nullptr;
            block[i] = c;
            if (!c)
                continue;
            // A column of one value throughout the block (a fit's parameter stepped in other
            // rows of the request) is taken as that one value: the same arithmetic, without
            // reading the column at each use.
            if (OneValue(c, n)) {
                block[i] = nullptr;
                blockValue[i] = c[0];
                continue;
            }
            if (even > n) {
                double* p = &padded[i * kBlock];
                CopyRows(p, c, n);
                p[n] = c[n - 1];
                block[i] = p;
            }
        }
        if (!(plain && RunBlockPlain(m_code, block, blockValue, even, stack, out + r0, n)))
            RunBlockTested(m_code, block, blockValue, n, stack, out + r0);
    }
    return true;
}

// ---- Statements -------------------------------------------------------------------------

namespace {

enum Flow { FLOW_NORMAL, FLOW_BREAK, FLOW_CONTINUE, FLOW_RETURN };

std::string Lower(std::string s)
{
    for (char& c : s)
        c = (char)tolower((unsigned char)c);
    return s;
}

} // namespace

struct Stmt {
    enum Kind { INTERPRETED, BLOCK, IF, FOR, ASSIGN, BREAK, CONTINUE, CALL } kind = INTERPRETED;
    size_t pos = 0, end = 0; // where it starts, and the end of the range it was read in
    int level = 0;           // the interpreter's nesting count when it runs, relative
    std::vector<std::unique_ptr<Stmt>> body; // BLOCK
    // IF and FOR: the condition, compiled or as text for the interpreter.
    std::unique_ptr<Expression> cond;
    std::string condText;
    std::unique_ptr<Stmt> then, otherwise; // IF
    std::unique_ptr<Stmt> start, step, loop; // FOR
    // ASSIGN: target name, operator ('=', '+', '-', '*', '/'), row index, value. A
    // statement of a for head has no position of its own: `text` is what the interpreter
    // runs in its place.
    Name target;
    char op = '=';
    std::unique_ptr<Expression> index, value;
    std::string text;
    bool inHead = false;
    MethodCall call; // CALL
};

struct StmtCompiler {
    Program& prog;
    const std::string& t;
    const Scanner& scan;

    Expression* Expr(const std::string& text, int level)
    {
        std::unique_ptr<Expression> e = Expression::Compile(text);
        if (!e || level + e->Nesting() > kMaxNesting)
            return nullptr;
        return e.release();
    }

    // A simple statement (trimmed text) as an assignment the compiled form takes, or null.
    std::unique_ptr<Stmt> Assignment(const std::string& raw, int level)
    {
        std::string s = qkTrim(raw);
        if (s.empty() || !PlainText(s) || !IsIdentStart(s[0]))
            return nullptr;
        size_t i = 0;
        while (i < s.size() && IsIdentChar(s[i]))
            ++i;
        if (i < s.size() && (s[i] == '.' || s[i] == '(' || s[i] == '$'))
            return nullptr;
        std::string name = s.substr(0, i);
        std::string index;
        bool hasIndex = false;
        if (i < s.size() && s[i] == '[') {
            size_t close;
            try {
                close = Close(s, i);
            } catch (const NotCompilable&) {
                return nullptr;
            }
            index = s.substr(i + 1, close - i - 1);
            if (index.find_first_of("[]") != std::string::npos)
                return nullptr;
            hasIndex = true;
            i = close + 1;
            if (i < s.size() && (IsIdentChar(s[i]) || s[i] == '.' || s[i] == '$'))
                return nullptr;
        }
        size_t op = s.find_first_not_of(" \t", i);
        if (op == std::string::npos)
            return nullptr;
        char kind = 0;
        if (s[op] == '=' && (op + 1 >= s.size() || s[op + 1] != '='))
            kind = '=';
        else if (op + 1 < s.size() && s[op + 1] == '=' && strchr("+-*/", s[op]))
            kind = s[op++];
        if (!kind)
            return nullptr;
        auto st = std::make_unique<Stmt>();
        st->kind = Stmt::ASSIGN;
        st->level = level;
        st->op = kind;
        st->target.text = name;
        st->target.upper = Upper(name);
        st->target.cell = hasIndex;
        if (hasIndex) {
            st->index.reset(Expr(index, level + 1));
            if (!st->index)
                return nullptr;
        }
        st->value.reset(Expr(qkTrim(s.substr(op + 1)), level));
        if (!st->value)
            return nullptr;
        return st;
    }

    // `obj.method(args)` (trimmed text) as the interpreter reads a call made for its effect,
    // or null. Whether obj is an object whose method it is, the interpreter says when the
    // statement runs.
    std::unique_ptr<Stmt> Call(const std::string& raw, int level)
    {
        std::string s = qkTrim(raw);
        if (s.empty() || !PlainText(s) || !IsIdentStart(s[0]))
            return nullptr;
        size_t dot = 0;
        while (dot < s.size() && IsIdentChar(s[dot]))
            ++dot;
        if (dot + 1 >= s.size() || s[dot] != '.' || !IsIdentStart(s[dot + 1]))
            return nullptr;
        size_t open = dot + 1;
        while (open < s.size() && IsIdentChar(s[open]))
            ++open;
        if (open >= s.size() || s[open] != '(')
            return nullptr;
        try {
            if (Close(s, open) != s.size() - 1)
                return nullptr;
        } catch (const NotCompilable&) {
            return nullptr;
        }
        auto st = std::make_unique<Stmt>();
        st->kind = Stmt::CALL;
        st->level = level;
        st->call.object = s.substr(0, dot);
        st->call.method = s.substr(dot + 1, open - dot - 1);
        st->call.args = s.substr(open + 1, s.size() - open - 2);
        st->call.upper = Upper(st->call.method);
        return st;
    }

    // One statement at pos, as the interpreter's RunStatement reads it; pos moves past it.
    std::unique_ptr<Stmt> Statement(size_t& pos, size_t end, int level)
    {
        if (level > kMaxNesting)
            throw NotCompilable();
        auto st = std::make_unique<Stmt>();
        st->pos = pos;
        st->end = end;
        st->level = level;
        if (t[pos] == '{') {
            size_t close = scan.findClose(t, pos, end);
            st->kind = Stmt::BLOCK;
            st->body = Range(pos + 1, close, level + 1);
            pos = close + 1;
            return st;
        }
        if (t[pos] == '}')
            throw NotCompilable();
        std::string word = Lower(scan.wordAt(t, pos, end));
        size_t after = scan.skipSpace(t, pos + word.size(), end, false);
        if (word == "if" && after < end && t[after] == '(')
            return If(std::move(st), pos, after, end, level);
        if (word == "for" && after < end && t[after] == '(')
            return For(std::move(st), pos, after, end, level);
        if (word == "else")
            throw NotCompilable();
        size_t stop = scan.statementEnd(t, pos, end);
        std::string raw = t.substr(pos, stop - pos);
        bool block = stop < end && t[stop] == '{';
        if (block)
            pos = scan.findClose(t, stop, end) + 1;
        else
            pos = stop < end && t[stop] != '}' && t[stop] != '/' ? stop + 1 : stop;
        std::string first = Lower(qkTrim(raw));
        if (first == "break" || first == "continue") {
            st->kind = first == "break" ? Stmt::BREAK : Stmt::CONTINUE;
            return st;
        }
        if (!block && word != "return") {
            std::unique_ptr<Stmt> a = Assignment(raw, level);
            if (!a)
                a = Call(raw, level);
            if (a) {
                a->pos = st->pos;
                a->end = end;
                return a;
            }
        }
        return st; // interpreted where it stands
    }

    std::unique_ptr<Stmt> If(std::unique_ptr<Stmt> st, size_t& pos, size_t open, size_t end, int level)
    {
        size_t close = scan.findClose(t, open, end);
        st->kind = Stmt::IF;
        Condition(*st, t.substr(open + 1, close - open - 1), level + 1);
        pos = scan.skipSpace(t, close + 1, end, true);
        if (pos >= end)
            throw NotCompilable();
        st->then = Statement(pos, end, level + 1);
        size_t look = scan.skipSpace(t, pos, end, true);
        if (look < end && t[look] == ';')
            look = scan.skipSpace(t, look + 1, end, true);
        if (look < end && Lower(scan.wordAt(t, look, end)) == "else") {
            pos = scan.skipSpace(t, look + 4, end, true);
            if (pos >= end)
                throw NotCompilable();
            st->otherwise = Statement(pos, end, level + 1);
        }
        return st;
    }

    void Condition(Stmt& st, const std::string& text, int level)
    {
        st.condText = text;
        st.cond.reset(Expr(text, level));
    }

    std::unique_ptr<Stmt> Head(const std::string& text, int level)
    {
        if (qkTrim(text).empty())
            return nullptr;
        std::unique_ptr<Stmt> st = Assignment(text, level);
        if (!st) {
            st = std::make_unique<Stmt>();
            st->level = level;
        }
        st->inHead = true;
        st->text = text;
        return st;
    }

    std::unique_ptr<Stmt> For(std::unique_ptr<Stmt> st, size_t& pos, size_t open, size_t end, int level)
    {
        size_t close = scan.findClose(t, open, end);
        std::vector<std::string> parts = scan.forParts(t.substr(open + 1, close - open - 1));
        if (parts.size() != 3)
            throw NotCompilable();
        size_t bodyStart = scan.skipSpace(t, close + 1, end, true);
        if (bodyStart >= end)
            throw NotCompilable();
        st->kind = Stmt::FOR;
        // The interpreter finds the body's end by reading it in the whole range, then runs
        // it in the range that ends there.
        size_t bodyEnd = bodyStart;
        Statement(bodyEnd, end, level + 1);
        size_t p = bodyStart;
        st->loop = Statement(p, bodyEnd, level + 1);
        pos = bodyEnd;
        st->start = Head(parts[0], level + 1);
        std::string cond = qkTrim(parts[1]);
        if (!cond.empty())
            Condition(*st, cond, level + 1);
        st->step = Head(parts[2], level + 1);
        return st;
    }

    // Every expression and assigned name of the finished tree, for binding, and the deepest
    // nesting its expressions reach.
    void Collect(Stmt& st)
    {
        auto expression = [&](Expression* e, int level) {
            if (!e)
                return;
            prog.m_expressions.push_back(e);
            prog.m_maxLevel = std::max(prog.m_maxLevel, level + e->Nesting());
            prog.m_usesDatasets |= e->UsesDatasets();
        };
        expression(st.cond.get(), st.level + 1);
        expression(st.index.get(), st.level + 1);
        expression(st.value.get(), st.level);
        if (st.kind == Stmt::ASSIGN) {
            prog.m_targets.push_back(&st.target);
            prog.m_usesDatasets |= st.target.cell;
        }
        for (auto& s : st.body)
            Collect(*s);
        for (Stmt* s : {st.then.get(), st.otherwise.get(), st.start.get(), st.step.get(), st.loop.get()})
            if (s)
                Collect(*s);
    }

    std::vector<std::unique_ptr<Stmt>> Range(size_t pos, size_t end, int level)
    {
        std::vector<std::unique_ptr<Stmt>> list;
        for (;;) {
            pos = scan.skipSpace(t, pos, end, true);
            while (pos < end && t[pos] == ';')
                pos = scan.skipSpace(t, pos + 1, end, true);
            if (pos >= end)
                return list;
            list.push_back(Statement(pos, end, level));
        }
    }
};

Program::Program() = default;
Program::~Program() = default;

std::unique_ptr<Program> Program::Compile(const std::string& text, const Scanner& scanner)
{
    auto prog = std::make_unique<Program>();
    StmtCompiler c{*prog, text, scanner};
    try {
        prog->m_body = c.Range(0, text.size(), 0);
        for (auto& st : prog->m_body)
            c.Collect(*st);
    } catch (...) {
        // What the interpreter would stop at, it had better say itself.
        return nullptr;
    }
    bool compiled = false;
    for (const auto& st : prog->m_body)
        compiled |= st->kind != Stmt::INTERPRETED;
    return compiled ? std::move(prog) : nullptr;
}

struct Exec {
    Program& prog;
    VariableStore& store;
    Runner& runner;
    int base;
    uint64_t run;
    bool dirty = true;
    bool called = false; // a method ran since the names were bound

    // Names are resolved again after anything the interpreter ran (it may have made or
    // deleted datasets and variables) and whenever the variables changed. A method may
    // have run script text too: datasets may have gone, the angle unit changed.
    void Ready()
    {
        if (called && prog.m_usesDatasets)
            dirty = true;
        if (!dirty && prog.m_bound == store.generation) {
            if (called)
                for (Expression* e : prog.m_expressions)
                    e->BindAngles();
            called = false;
            return;
        }
        called = false;
        for (Expression* e : prog.m_expressions)
            e->Bind(store);
        for (Name* n : prog.m_targets)
            BindName(*n, store);
        prog.m_bound = store.generation;
        dirty = false;
    }

    int Interpreted(const Stmt& st)
    {
        dirty = true;
        return runner.RunStatementAt(st.pos, st.end, base + st.level);
    }

    bool Test(const Stmt& st, size_t at)
    {
        Ready();
        double v;
        if (st.cond && st.cond->RunBound(&v))
            return v != 0;
        dirty = true;
        return runner.Condition(st.condText, at, base + st.level + 1);
    }

    // Runs an assignment; false when the interpreter has to run it instead.
    bool Assign(Stmt& st)
    {
        Ready();
        Name& n = st.target;
        double v;
        if (st.index) {
            double row;
            if (n.kind != Name::DATASET || !st.index->RunBound(&row) || IsMissingValue(row) ||
                !(row >= 1 && row <= QK_MAX_ROWS) || !st.value->RunBound(&v))
                return false;
            int r = (int)row - 1;
            if (st.op != '=')
                v = Arith(st.op, n.dataset->GetValue(r), v);
            return n.dataset->SetValue(r, v);
        }
        if (n.kind != Name::VARIABLE || !st.value->RunBound(&v))
            return false;
        if (st.op != '=')
            v = Arith(st.op, n.var->value, v);
        // As the interpreter's SetVariable: an assignment makes a plain variable.
        n.var->value = v;
        n.var->kind = 1.0;
        n.var->index = 0.0;
        return true;
    }

    void HeadStatement(Stmt& st, size_t forPos)
    {
        if (st.kind == Stmt::ASSIGN && Assign(st))
            return;
        dirty = true;
        runner.RunSimpleText(st.text, forPos, base + st.level);
    }

    int Run(Stmt& st)
    {
        switch (st.kind) {
        case Stmt::INTERPRETED:
            return Interpreted(st);
        case Stmt::BREAK:
            return FLOW_BREAK;
        case Stmt::CONTINUE:
            return FLOW_CONTINUE;
        case Stmt::ASSIGN:
            if (Assign(st))
                return FLOW_NORMAL;
            return Interpreted(st);
        case Stmt::CALL:
            if (st.call.run != run) {
                st.call.bound = nullptr;
                st.call.run = run;
                if (!runner.BindCall(st.call))
                    st.call.bound = nullptr;
            }
            if (!st.call.bound)
                return Interpreted(st);
            called = true;
            runner.Call(st.call, st.pos, base + st.level);
            return FLOW_NORMAL;
        case Stmt::BLOCK:
            for (auto& s : st.body) {
                int f = Run(*s);
                if (f != FLOW_NORMAL)
                    return f;
            }
            return FLOW_NORMAL;
        case Stmt::IF:
            runner.At(st.pos);
            if (Test(st, st.pos))
                return Run(*st.then);
            return st.otherwise ? Run(*st.otherwise) : FLOW_NORMAL;
        case Stmt::FOR: {
            runner.At(st.pos);
            if (st.start)
                HeadStatement(*st.start, st.pos);
            for (;;) {
                runner.CheckStop(st.pos);
                if (!st.condText.empty() && !Test(st, st.pos))
                    break;
                int f = Run(*st.loop);
                if (f == FLOW_BREAK)
                    break;
                if (f == FLOW_RETURN)
                    return f;
                if (st.step)
                    HeadStatement(*st.step, st.pos);
            }
            return FLOW_NORMAL;
        }
        }
        return FLOW_NORMAL;
    }
};

int Program::Run(VariableStore& store, Runner& runner, int nesting)
{
    if (nesting + m_maxLevel > kMaxNesting)
        return -1;
    Exec x{*this, store, runner, nesting, ++m_runs};
    for (auto& st : m_body) {
        int f = x.Run(*st);
        if (f != FLOW_NORMAL)
            return f;
    }
    return FLOW_NORMAL;
}

} // namespace qkcompiled
