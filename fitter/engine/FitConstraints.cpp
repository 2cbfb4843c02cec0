// Parameter bounds and general linear constraints.
//
// The constraint text is parsed into rows over all parameters, each normalised to
// row . p (=, <, <=) constant; the effective rows keep the varying parameters only and move
// the fixed ones into the constant. Trial steps are corrected onto the feasible set by an
// active-set step in a given metric (the unit matrix for a plain projection).
#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "FitMemory.h"
#include "FitSession.h"

namespace {

enum Relation { REL_EQ = -13, REL_LT = -5, REL_LE = -17, REL_GT = -6, REL_GE = -16 };

enum TokenKind { T_END, T_STATEMENT_END, T_SLASH, T_STAR, T_EQUAL, T_SIGN, T_REL, T_PARAM, T_NUMBER, T_ERROR };

enum CharClass : unsigned char { C_SKIP, C_SINGLE, C_SIGN, C_REL, C_WORD };

// One entry per 7-bit character; characters above 127 are outside the language.
struct ClassTable {
    CharClass c[128];
    ClassTable()
    {
        for (int i = 0; i < 128; ++i)
            c[i] = i < 32 || i == 127 ? C_SKIP : C_WORD;
        for (const char* p = " !$%&'\\^_`{|@"; *p; ++p)
            c[static_cast<unsigned char>(*p)] = C_SKIP;
        for (const char* p = "/*=;\n\r"; *p; ++p)
            c[static_cast<unsigned char>(*p)] = C_SINGLE;
        c['+'] = c['-'] = C_SIGN;
        c['<'] = c['>'] = C_REL;
    }
};
const ClassTable kClasses;

struct Token {
    TokenKind kind;
    double value;   // sign value or number
    int index;      // parameter index
    int relation;
    int code;       // error code of T_ERROR
};

struct Parser {
    FittingSession* s;
    const char* p;

    Token Next()
    {
        Token t = {T_END, 0, 0, 0, 0};
        for (;;) {
            const unsigned char ch = static_cast<unsigned char>(*p);
            if (!ch)
                return t;
            if (ch >= 128) {
                t.kind = T_ERROR;
                t.code = FIT_ERR_CONSTRAINT_SYNTAX;
                return t;
            }
            if (kClasses.c[ch] == C_SKIP && ch != '\n' && ch != '\r') {
                ++p;
                continue;
            }
            break;
        }
        const char ch = *p;
        switch (kClasses.c[static_cast<unsigned char>(ch)]) {
        case C_SINGLE:
            ++p;
            t.kind = ch == '/' ? T_SLASH : ch == '*' ? T_STAR : ch == '=' ? T_EQUAL : T_STATEMENT_END;
            return t;
        case C_SIGN:
            ++p;
            t.kind = T_SIGN;
            t.value = ch == '+' ? 1.0 : -1.0;
            return t;
        case C_REL:
            ++p;
            t.kind = T_REL;
            if (*p == '=') {
                ++p;
                t.relation = ch == '<' ? REL_LE : REL_GE;
            } else {
                t.relation = ch == '<' ? REL_LT : REL_GT;
            }
            return t;
        default:
            return Word();
        }
    }

    Token Word()
    {
        Token t = {T_ERROR, 0, 0, 0, FIT_ERR_CONSTRAINT_SYNTAX};
        char word[65];
        int n = 0;
        bool numeric = true;
        for (;;) {
            const char ch = *p;
            if (!ch || ch == '\t' || ch == '\n' || ch == '\r' || ch == ' ' || ch == '*' || ch == '/' ||
                ch == ';' || ch == '<' || ch == '=' || ch == '>')
                break;
            if (static_cast<unsigned char>(ch) >= 128)
                return t;
            if (ch == '+' || ch == '-') {
                const bool exponentSign = numeric && n > 0 && (word[n - 1] == 'E' || word[n - 1] == 'e');
                if (!exponentSign)
                    break;
            } else if (!isdigit(static_cast<unsigned char>(ch)) && ch != '.' && ch != 'E' && ch != 'e') {
                numeric = false;
            }
            if (n == 64)
                return t;
            word[n++] = ch;
            ++p;
        }
        word[n] = 0;
        for (int i = 1; i <= s->nParams; ++i)
            if (_stricmp(word, s->names[i]) == 0) {
                t.kind = T_PARAM;
                t.index = i;
                return t;
            }
        if (EvalNumber(s, word, &t.value) == 0) {
            t.kind = T_NUMBER;
            return t;
        }
        snprintf(s->unknownName, sizeof s->unknownName, "%s", word);
        t.code = FIT_ERR_CONSTRAINT_NAME;
        return t;
    }
};

// One side of a relation: coefficients over the parameters and a constant.
struct Side {
    double* coefficients;  // 1-based
    double constant;
};

// Reads a side into `side` starting with token `t`; on return `t` is the token after it.
int ParseSide(Parser& parser, Token& t, Side& side, int nParams)
{
    for (int i = 0; i <= nParams; ++i)
        side.coefficients[i] = 0;
    side.constant = 0;
    bool first = true;
    for (;;) {
        double sign = 1.0;
        if (t.kind == T_SIGN) {
            sign = t.value;
            t = parser.Next();
        } else if (!first) {
            return 0;
        }
        if (t.kind == T_ERROR)
            return t.code;
        if (t.kind != T_PARAM && t.kind != T_NUMBER)
            return FIT_ERR_CONSTRAINT_SYNTAX;
        Token a = t;
        t = parser.Next();
        if (t.kind == T_ERROR)
            return t.code;
        if (t.kind == T_STAR || t.kind == T_SLASH) {
            const bool divide = t.kind == T_SLASH;
            Token b = parser.Next();
            if (b.kind == T_ERROR)
                return b.code;
            if (b.kind != T_PARAM && b.kind != T_NUMBER)
                return FIT_ERR_CONSTRAINT_SYNTAX;
            if (a.kind == T_PARAM && b.kind == T_PARAM)
                return FIT_ERR_CONSTRAINT_SYNTAX;
            if (divide && (b.kind == T_PARAM || !(b.value > 1.7e-307)))
                return FIT_ERR_CONSTRAINT_SYNTAX;
            if (a.kind == T_PARAM)
                side.coefficients[a.index] += sign * (divide ? 1.0 / b.value : b.value);
            else if (b.kind == T_PARAM)
                side.coefficients[b.index] += sign * a.value;
            else
                side.constant += sign * (divide ? a.value / b.value : a.value * b.value);
            t = parser.Next();
            if (t.kind == T_ERROR)
                return t.code;
        } else if (a.kind == T_PARAM) {
            side.coefficients[a.index] += sign;
        } else {
            side.constant += sign * a.value;
        }
        first = false;
    }
}

int CountRelations(const char* text)
{
    int n = 0;
    for (const char* p = text; *p; ++p)
        n += *p == '<' || *p == '>' || *p == '=';
    return n;
}

int ParseConstraintText(FittingSession* s, const char* text)
{
    const int capacity = CountRelations(text);
    const int np = s->nParams;
    FreeConstraints(s);
    s->constraintRows = AllocMatrix(0, capacity, 0, np);
    s->constraintConst = AllocIndexed<double>(capacity);
    s->constraintRelation = AllocIndexed<int>(capacity);
    Side left = {AllocIndexed<double>(np), 0}, right = {AllocIndexed<double>(np), 0};
    int code = 0;
    if (!s->constraintRows || !s->constraintConst || !s->constraintRelation || !left.coefficients ||
        !right.coefficients)
        code = FIT_ERR_NO_MEMORY;
    Parser parser = {s, text};
    int n = 0;
    Token t = code ? Token{T_END, 0, 0, 0, 0} : parser.Next();
    while (!code && t.kind != T_END) {
        if (t.kind == T_STATEMENT_END) {
            t = parser.Next();
            continue;
        }
        if (t.kind == T_ERROR) {
            code = t.code;
            break;
        }
        code = ParseSide(parser, t, left, np);
        if (code)
            break;
        bool any = false;
        while (t.kind == T_REL || t.kind == T_EQUAL) {
            const int relation = t.kind == T_EQUAL ? REL_EQ : t.relation;
            t = parser.Next();
            code = ParseSide(parser, t, right, np);
            if (code)
                break;
            if (n >= capacity) {
                code = FIT_ERR_CONSTRAINT_SYNTAX;
                break;
            }
            ++n;
            const bool flip = relation == REL_GT || relation == REL_GE;
            for (int k = 1; k <= np; ++k)
                s->constraintRows[n][k] = flip ? right.coefficients[k] - left.coefficients[k]
                                               : left.coefficients[k] - right.coefficients[k];
            s->constraintConst[n] = flip ? left.constant - right.constant : right.constant - left.constant;
            s->constraintRelation[n] = relation == REL_GT ? REL_LT : relation == REL_GE ? REL_LE : relation;
            any = true;
            std::swap(left, right);
        }
        if (code)
            break;
        if (!any || (t.kind != T_STATEMENT_END && t.kind != T_END)) {
            code = t.kind == T_ERROR ? t.code : FIT_ERR_CONSTRAINT_SYNTAX;
            break;
        }
    }
    FreeLockedBlock(left.coefficients);
    FreeLockedBlock(right.coefficients);
    if (code) {
        FreeConstraints(s);
        return code;
    }
    s->nConstraints = n;
    return 0;
}

int BuildEffective(FittingSession* s)
{
    const int n = s->nConstraints, m = s->nVary;
    FreeMatrix(s->effectiveRows, 1);
    FreeAndClear(s->effectiveConst);
    FreeAndClear(s->effectiveRelation);
    s->effectiveRows = AllocMatrix(0, n, 0, m);
    s->effectiveConst = AllocIndexed<double>(n);
    s->effectiveRelation = AllocIndexed<int>(n);
    if (!s->effectiveRows || !s->effectiveConst || !s->effectiveRelation)
        return FIT_ERR_NO_MEMORY;
    int effective = 0, tail = n + 1;
    for (int i = 1; i <= n; ++i) {
        bool any = false;
        for (int j = 1; j <= m; ++j)
            any = any || s->constraintRows[i][s->varyMap[j]] != 0;
        const int at = any ? ++effective : --tail;
        double constant = s->constraintConst[i];
        for (int k = 1; k <= s->nParams; ++k)
            if (!(s->flags[k] & PARAM_VARIES))
                constant -= s->constraintRows[i][k] * s->value[k];
        for (int j = 1; j <= m; ++j)
            s->effectiveRows[at][j] = s->constraintRows[i][s->varyMap[j]];
        s->effectiveConst[at] = constant;
        s->effectiveRelation[at] = s->constraintRelation[i];
    }
    s->nEffective = effective;
    return effective ? 0 : FIT_ERR_CONSTRAINTS_INEFFECTIVE;
}

}  // namespace

void FreeConstraints(FittingSession* s)
{
    FreeMatrix(s->constraintRows, 1);
    FreeMatrix(s->effectiveRows, 1);
    s->constraintRows = s->effectiveRows = nullptr;
    FreeAndClear(s->constraintConst);
    FreeAndClear(s->constraintRelation);
    FreeAndClear(s->effectiveConst);
    FreeAndClear(s->effectiveRelation);
    s->nConstraints = s->nEffective = 0;
}

int ParseFunctionText(FittingSession* s, int clearState)
{
    if (clearState)
        s->constraintState = 0;
    if (s->constraintState == 2 || s->constraintState == 3) {
        s->status = 0;
        return 0;
    }
    const char* text = s->current && s->current->constraints ? s->current->constraints : "";
    ReportProgress(s, QFIT_PROGRESS_PARSING, nullptr);
    const int code = ParseConstraintText(s, text);
    EndProgress(s);
    s->constraintState = code == 0 && s->nConstraints > 0 ? 2 : 3;
    return code;
}

int PrepareConstraints(FittingSession* s, int clearState)
{
    const FunctionDef* def = s->current;
    if (CheckCurrentFunction(s) == 0 && def->constraintsSwitch != KW_OFF && def->constraints &&
        def->constraints[0]) {
        int code = ParseFunctionText(s, clearState);
        if (code)
            return code;
        if (!s->varyMap)
            return 0;
        code = BuildVaryMap(s);
        if (code)
            return code;
        return s->nConstraints ? BuildEffective(s) : 0;
    }
    FreeConstraints(s);
    s->constraintState = 0;
    s->status = 0;
    return 0;
}

int CheckConstraints(FittingSession* s, const double* values)
{
    for (int i = 1; i <= s->nEffective; ++i) {
        double sum = -s->effectiveConst[i], largest = 0;
        for (int j = 1; j <= s->nVary; ++j) {
            const double term = s->effectiveRows[i][j] * values[s->varyMap[j]];
            sum += term;
            largest = fmax(largest, fabs(term));
        }
        const double tolerance = 1e-8 * largest;
        const bool violated = s->effectiveRelation[i] == REL_EQ ? fabs(sum) > tolerance : sum > 0 && sum > tolerance;
        if (violated)
            return FIT_ERR_CONSTRAINT_VIOLATED;
    }
    return 0;
}

// An exclusive bound moves a value that reaches it to 1% of the way back toward the old
// value. When the old value is not strictly inside either (a start value already beyond
// the bound), the value goes just inside the bound instead, so the bound is never broken.
static double InsideExclusive(double bound, double old, double other, bool otherOn, double direction)
{
    if ((old - bound) * direction > 0)
        return 0.01 * old + 0.99 * bound;
    if (otherOn && (other - bound) * direction > 0)
        return 0.99 * bound + 0.01 * other;
    return bound + direction * 0.01 * (bound != 0 ? fabs(bound) : 1.0);
}

void ApplyBounds(FittingSession* s, double* newValues, const double* oldValues)
{
    for (int k = 1; k <= s->nParams; ++k) {
        const BYTE f = s->flags[k];
        const double lb = s->lowerBound[k], ub = s->upperBound[k];
        const bool lbOn = (f & PARAM_LB_ON) && !IsMissingValue(lb);
        const bool ubOn = (f & PARAM_UB_ON) && !IsMissingValue(ub);
        const double old = oldValues[k];
        if (lbOn && !(newValues[k] > lb))
            newValues[k] = (f & PARAM_LB_EXCLUSIVE) ? InsideExclusive(lb, old, ub, ubOn, 1.0) : lb;
        if (ubOn && !(newValues[k] < ub))
            newValues[k] = (f & PARAM_UB_EXCLUSIVE) ? InsideExclusive(ub, old, lb, lbOn, -1.0) : ub;
    }
}

int ConstraintCorrection(FittingSession* s, double* values, double** metric)
{
    const int n = s->nEffective, m = s->nVary;
    double** A = s->effectiveRows;
    double* r = AllocIndexed<double>(n);
    double* lambda = AllocIndexed<double>(n);
    double* previous = AllocIndexed<double>(n);
    double* e = AllocIndexed<double>(m);
    int* active = AllocIndexed<int>(n);  // 1 when constraint i is in the active set
    int* list = AllocIndexed<int>(n);
    int* pr = AllocIndexed<int>(n);
    int* pc = AllocIndexed<int>(n);
    int* pu = AllocIndexed<int>(n);
    double** G = AllocMatrix(0, n, 0, n);
    double** MA = AllocMatrix(0, m, 0, n);  // M A^T
    double** Gi = AllocMatrix(0, n, 0, n);
    int code = 0;
    if (!r || !lambda || !previous || !e || !active || !list || !pr || !pc || !pu || !G || !MA || !Gi) {
        code = FIT_ERR_NO_MEMORY;
        goto done;
    }
    {
        bool allSatisfied = true;
        for (int i = 1; i <= n; ++i) {
            double sum = -s->effectiveConst[i], scale = fabs(s->effectiveConst[i]);
            for (int j = 1; j <= m; ++j) {
                const double term = A[i][j] * values[s->varyMap[j]];
                sum += term;
                scale += fabs(term);
            }
            r[i] = sum;
            const bool eq = s->effectiveRelation[i] == REL_EQ;
            if (eq ? !(fabs(sum) < 1e-15 * scale) : sum > 0)
                allSatisfied = false;
        }
        if (allSatisfied)
            goto done;
        for (int j = 1; j <= m; ++j)
            for (int i = 1; i <= n; ++i) {
                double sum = 0;
                for (int k = 1; k <= m; ++k)
                    sum += metric[j][k] * A[i][k];
                MA[j][i] = sum;
            }
        double h = s->constraintTolerance;
        for (int i = 1; i <= n; ++i)
            for (int l = 1; l <= n; ++l) {
                double sum = 0;
                for (int j = 1; j <= m; ++j)
                    sum += A[i][j] * MA[j][l];
                G[i][l] = sum;
            }
        for (int i = 1; i <= n; ++i)
            G[i][i] *= 1 + h;
        for (int i = 1; i <= n; ++i)
            active[i] = s->effectiveRelation[i] == REL_EQ;

        // Inverts the active part of G into Gi (in list order); raises the regularisation
        // when the active system is singular.
        auto invertActive = [&](int& count) -> int {
            count = 0;
            for (int i = 1; i <= n; ++i)
                if (active[i])
                    list[++count] = i;
            for (;;) {
                for (int a = 1; a <= count; ++a)
                    for (int b = 1; b <= count; ++b)
                        Gi[a][b] = G[list[a]][list[b]];
                if (GaussJordan(Gi, count, nullptr, pr, pc, pu) == 0)
                    return 0;
                if (h >= 1) {
                    s->status = FIT_ERR_MATRIX_INVERSION;
                    return FIT_ERR_MATRIX_INVERSION;
                }
                h *= 10;
                for (int i = 1; i <= n; ++i)
                    G[i][i] *= 1 + h;
            }
        };

        for (int round = 0; round <= n; ++round) {
            int join = 0;
            double best = 0;
            for (int i = 1; i <= n; ++i) {
                if (active[i])
                    continue;
                double gl = 0;
                for (int l = 1; l <= n; ++l)
                    gl += G[i][l] * lambda[l];
                const double v = r[i] - gl;
                if (v > best) {
                    best = v;
                    join = i;
                }
            }
            if (!join)
                break;
            active[join] = 1;
            for (int i = 1; i <= n; ++i)
                previous[i] = lambda[i];
            for (;;) {
                int count;
                code = invertActive(count);
                if (code)
                    goto done;
                for (int i = 1; i <= n; ++i)
                    lambda[i] = 0;
                for (int a = 1; a <= count; ++a) {
                    double sum = 0;
                    for (int b = 1; b <= count; ++b)
                        sum += Gi[a][b] * r[list[b]];
                    lambda[list[a]] = sum;
                }
                int leave = 0;
                double smallest = 0;
                for (int i = 1; i <= n; ++i)
                    if (active[i] && s->effectiveRelation[i] != REL_EQ && lambda[i] < 0) {
                        const double a = previous[i] / (previous[i] - lambda[i]);
                        if (!leave || a < smallest) {
                            smallest = a;
                            leave = i;
                        }
                    }
                if (!leave)
                    break;
                active[leave] = 0;
                for (int i = 1; i <= n; ++i)
                    previous[i] = previous[i] * (1 - smallest) + smallest * lambda[i];
                lambda[leave] = 0;
            }
        }
        int count;
        for (int i = 1; i <= n; ++i)
            if (s->effectiveRelation[i] == REL_EQ)
                active[i] = 1;
        code = invertActive(count);
        if (code)
            goto done;
        for (int a = 1; a <= count; ++a) {
            double sum = 0;
            for (int b = 1; b <= count; ++b) {
                const int l = list[b];
                sum += Gi[a][b] * (h * G[l][l] * lambda[l] + r[l]);
            }
            previous[list[a]] = sum;
        }
        for (int i = 1; i <= n; ++i)
            lambda[i] = active[i] ? previous[i] : 0;
        for (int j = 1; j <= m; ++j) {
            double sum = 0;
            for (int i = 1; i <= n; ++i)
                sum += A[i][j] * lambda[i];
            e[j] = sum;
        }
        for (int j = 1; j <= m; ++j) {
            double sum = 0;
            for (int k = 1; k <= m; ++k)
                sum += metric[j][k] * e[k];
            values[s->varyMap[j]] -= sum;
        }
    }
done:
    FreeLockedBlock(r);
    FreeLockedBlock(lambda);
    FreeLockedBlock(previous);
    FreeLockedBlock(e);
    FreeLockedBlock(active);
    FreeLockedBlock(list);
    FreeLockedBlock(pr);
    FreeLockedBlock(pc);
    FreeLockedBlock(pu);
    FreeMatrix(G, 0);
    FreeMatrix(MA, 0);
    FreeMatrix(Gi, 0);
    return code;
}

int ProjectOnConstraints(FittingSession* s, double* values)
{
    const int m = s->nVary;
    double** unit = AllocMatrix(0, m, 0, m);
    if (!unit)
        return FIT_ERR_NO_MEMORY;
    for (int j = 1; j <= m; ++j)
        unit[j][j] = 1;
    const int steps = (m > s->nEffective ? m : s->nEffective) + 1;
    int code = FIT_ERR_CONSTRAINT_VIOLATED;
    for (int i = 0; i < steps; ++i) {
        code = ConstraintCorrection(s, values, unit);
        if (code)
            break;
        code = CheckConstraints(s, values);
        if (code == 0)
            break;
    }
    FreeMatrix(unit, 0);
    return code;
}

int PrepareParameterRanges(FittingSession* s)
{
    ApplyBounds(s, s->value, s->value);
    return s->nEffective ? ProjectOnConstraints(s, s->value) : 0;
}

int ConstraintMatrixElement(FittingSession* s, const char* argument, double* out)
{
    *out = MISSING_VALUE;
    char first[QFIT_HOST_TEXT_CAPACITY];
    const char* comma = argument ? strchr(argument, ',') : nullptr;
    if (!comma)
        return 1;
    snprintf(first, sizeof first, "%.*s", static_cast<int>(comma - argument), argument);
    double di, dj;
    if (EvalNumber(s, first, &di) || EvalNumber(s, comma + 1, &dj))
        return 1;
    const int i = static_cast<int>(di), j = static_cast<int>(dj);
    if (i < 1 || j < 1 || i > s->nEffective || j > s->nVary + 2)
        return 1;
    if (j <= s->nVary)
        *out = s->effectiveRows[i][j];
    else if (j == s->nVary + 1)
        *out = s->effectiveRelation[i] == REL_LE ? 2.0 : s->effectiveRelation[i] == REL_EQ ? 0.0 : 1.0;
    else
        *out = s->effectiveConst[i];
    return 0;
}
