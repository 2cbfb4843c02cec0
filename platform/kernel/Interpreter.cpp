// The Scrivex interpreter.
//
// Script text is executed straight from its source, without building a tree: statements
// are found by scanning for their terminators (";", a line end outside parentheses, or
// the "}" of the enclosing block), control statements re-run the text ranges of their
// bodies, and untaken branches are scanned in skip mode so the scanner stays in step.
// Positions always refer to the original text, so every error names the line it came from.
//
// %-registers, %[..], $(..) and $Section.Key are substituted in each simple statement just
// before it runs (a loop body therefore sees the current value of its variables), while
// the structure (braces, if/else, for) is read from the raw text.
#include "QKScript.h"

#define _USE_MATH_DEFINES
#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <functional>

#include "KernelInternal.h"
#include "QKAccess.h"
#include "QKCallLog.h"
#include "QKData.h"
#include "QKFile.h"
#include "QKGraphObjects.h"
#include "QKPlotModel.h"
#include "QKSysMethod.h"
#include "ScriptCompiler.h"

namespace {

struct ScriptFail {
    std::string message;
    bool located = false;
};

[[noreturn]] void Fail(const std::string& message)
{
    throw ScriptFail{message, false};
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = (char)toupper((unsigned char)c);
    return s;
}

std::string Lower(std::string s)
{
    for (char& c : s)
        c = (char)tolower((unsigned char)c);
    return s;
}

bool Same(const std::string& a, const char* b)
{
    return _stricmp(a.c_str(), b) == 0;
}

std::string Trim(const std::string& s)
{
    return qkTrim(s);
}

bool IsIdentStart(char c)
{
    return isalpha((unsigned char)c) || c == '_';
}

// Variable names may hold an apostrophe: the fitter reads derivatives as y'P1.
bool IsIdentChar(char c)
{
    return isalnum((unsigned char)c) || c == '_' || c == '\'';
}

std::string Unquote(const std::string& s)
{
    std::string t = Trim(s);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"')
        return t.substr(1, t.size() - 2);
    return t;
}

// Command arguments: words separated by blanks; a double-quoted text is one word.
std::vector<std::string> SplitWords(const std::string& text)
{
    std::vector<std::string> words;
    if (!qkSplitWords(text, &words))
        Fail("missing closing quote in \"" + text + "\"");
    return words;
}

// An option is a word of a dash and a letter ("-a", "-tx", "-K"); "-1" is a value.
bool IsOption(const std::string& w)
{
    return w.size() >= 2 && w[0] == '-' && isalpha((unsigned char)w[1]);
}

// '*' matches any run of characters.
bool Glob(const char* text, const char* pattern)
{
    if (*pattern == 0)
        return *text == 0;
    if (*pattern == '*')
        return Glob(text, pattern + 1) || (*text && Glob(text + 1, pattern));
    return *text == *pattern && Glob(text + 1, pattern + 1);
}

double Clean(double v)
{
    // Results that are not numbers (0/0, sqrt(-1), overflow) become missing values rather
    // than spreading NaN and infinity through datasets.
    return isfinite(v) ? v : MISSING_VALUE;
}

// ---- The kernel's string table ($Section.Key) --------------------------------------

struct TableString {
    const char* key;
    const char* text;
};

const TableString kStringTable[] = {
    {"General.UserDefinedGroupAdded", "has been added to the toolbars."},
    {"General.UserDefinedGroup", "User-defined button group"},
    {"QDARead.NewVersion", "This file was written by a newer version than this import knows; "
                           "the import goes on, but check the data."},
    {"QDARead.Untested", "Files of this version have not been tested with this import; "
                         "check the data."},
    {"QDARead.UnknownData", "The file holds a column of an unknown data type; the import stops "
                            "at that column."},
};

// ---- Built-in functions ----------------------------------------------------------------

struct FunctionDef {
    const char* name;
    int args; // -1: any number, at least one
    const char* description;
    const char* text;
    std::function<double(const std::vector<double>&)> fn;
};

double AngleIn(double v)
{
    switch (qkfxGetQrxSystem().GetRefMath().GetAngularUnits()) {
    case 1: return v * M_PI / 180.0;
    case 2: return v * M_PI / 200.0;
    }
    return v;
}

double AngleOut(double v)
{
    switch (qkfxGetQrxSystem().GetRefMath().GetAngularUnits()) {
    case 1: return v * 180.0 / M_PI;
    case 2: return v * 200.0 / M_PI;
    }
    return v;
}

const std::vector<FunctionDef>& Functions()
{
    static const std::vector<FunctionDef> table = {
        {"sin", 1, "Sine of the angle", "sin()", [](auto& a) { return sin(AngleIn(a[0])); }},
        {"cos", 1, "Cosine of the angle", "cos()", [](auto& a) { return cos(AngleIn(a[0])); }},
        {"tan", 1, "Tangent of the angle", "tan()", [](auto& a) { return tan(AngleIn(a[0])); }},
        {"asin", 1, "Arc sine", "asin()", [](auto& a) { return AngleOut(asin(a[0])); }},
        {"acos", 1, "Arc cosine", "acos()", [](auto& a) { return AngleOut(acos(a[0])); }},
        {"atan", 1, "Arc tangent", "atan()", [](auto& a) { return AngleOut(atan(a[0])); }},
        {"atan2", 2, "Arc tangent of y/x in the right quadrant", "atan2(,)",
         [](auto& a) { return AngleOut(atan2(a[0], a[1])); }},
        {"sinh", 1, "Hyperbolic sine", "sinh()", [](auto& a) { return sinh(a[0]); }},
        {"cosh", 1, "Hyperbolic cosine", "cosh()", [](auto& a) { return cosh(a[0]); }},
        {"tanh", 1, "Hyperbolic tangent", "tanh()", [](auto& a) { return tanh(a[0]); }},
        {"exp", 1, "Exponential function", "exp()", [](auto& a) { return qkExp(a[0]); }},
        {"ln", 1, "Natural logarithm", "ln()", [](auto& a) { return log(a[0]); }},
        {"log", 1, "Logarithm to base 10", "log()", [](auto& a) { return log10(a[0]); }},
        {"sqrt", 1, "Square root", "sqrt()", [](auto& a) { return sqrt(a[0]); }},
        {"abs", 1, "Absolute value", "abs()", [](auto& a) { return fabs(a[0]); }},
        {"int", 1, "Integer part (toward zero)", "int()", [](auto& a) { return trunc(a[0]); }},
        {"nint", 1, "Nearest integer", "nint()", [](auto& a) { return round(a[0]); }},
        {"mod", 2, "Remainder of the integer division", "mod(,)",
         [](auto& a) { return trunc(a[1]) == 0 ? NAN : fmod(trunc(a[0]), trunc(a[1])); }},
        {"min", -1, "Smallest argument", "min(,)",
         [](auto& a) { return *std::min_element(a.begin(), a.end()); }},
        {"max", -1, "Largest argument", "max(,)",
         [](auto& a) { return *std::max_element(a.begin(), a.end()); }},
    };
    return table;
}

const char* const kCommandNames[] = {
    "type", "ty", "doc", "win", "layer", "worksheet", "wo", "set", "label", "axis", "edit",
    "page", "matrix", "del", "clr", "print", "rescale", "hidemarker", "newfunction",
    "getenumwin", "getfile", "getnumber", "open", "import", "export", "if", "else", "for", "break", "continue", "return",
    "save", "draw", "mask", "legend", "layout", "datapoints",
};

// Bare words the fitter runs at fixed moments; a project may give them a meaning later,
// until then they do nothing, quietly, so that a fit does not print an error per iteration.
const char* const kHookNames[] = {"EndIterate", "EndFit", "QuitFit"};

const char* const kKernelObjects[] = {"wks", "type", "run", "system", "ed", "qpack", "col",
                                      "wcol", "exist"};

// ---- Values ----------------------------------------------------------------------------

struct Val {
    enum Kind { NUM, STR, NAME } kind = NUM;
    double num = 0;
    std::string str;
    static Val Num(double v) { Val r; r.num = v; return r; }
    static Val Str(const std::string& s) { Val r; r.kind = STR; r.str = s; return r; }
    static Val Name(const std::string& s) { Val r; r.kind = NAME; r.str = s; return r; }
};

struct Source {
    std::string text;
    std::string name;   // file path or a description
    std::string folder; // where run.section looks first
};

struct Frame {
    std::shared_ptr<Source> source;
    std::vector<std::string> args; // %1, %2, ...
};

enum Flow { FLOW_NORMAL, FLOW_BREAK, FLOW_CONTINUE, FLOW_RETURN };

// Script files the program carries as resources are named so where a path would stand.
const char kResourcePrefix[] = "<resource>";

const int kMaxDepth = 64;
// Deepest nesting of braces and parentheses: far beyond any real script, well within the
// stack, so that a runaway text fails with a message instead of crashing.
const int kMaxNesting = 200;

} // namespace

// ---- The interpreter's state and machinery ---------------------------------------------

struct CQKScript::Impl {
    CQKScript* self;
    qkcompiled::VariableStore store;
    std::map<std::string, QKVariable>& vars = store.vars; // by upper-cased name
    // Compiled expressions and statement texts (whole scripts run by Execute, for loops) by
    // their text; formulas prepared by handle; variable slots by number (a null variable:
    // deleted, made again when next set).
    qkcompiled::Cache<qkcompiled::Expression> expressions;
    qkcompiled::Cache<qkcompiled::Program> programs;
    // Object methods that compiled statements call, by "OBJECT.METHOD" upper-cased; nodes
    // stay where they are, so a compiled statement keeps a pointer to its own.
    std::map<std::string, QKPluginEntry> boundCalls;
    bool compilation = true;
    struct Prepared {
        std::string text;
        std::unique_ptr<qkcompiled::Expression> compiled;
    };
    std::vector<Prepared> prepared;
    std::map<std::string, int> preparedByText;
    struct Slot {
        std::string name;
        QKVariable* var;
    };
    std::vector<Slot> slots;
    std::map<std::string, int> slotsByName; // by upper-cased name
    std::string regs[26];
    QKOutputProc output = nullptr;
    void* outputUser = nullptr;
    bool logged = false; // the application's Results Log took text of the current run
    std::vector<Frame> frames;
    double returnValue = 0;
    int depth = 0;
    double redirection = 0;

    // Where the statement being run starts, for error messages.
    const Source* curSource = nullptr;
    size_t curPos = 0;

    // Row of the whole-dataset assignment being evaluated, or -1; the longest dataset an
    // expression referred to without an index.
    int vectorRow = -1;
    int vectorRows = 0;
    int nesting = 0; // open blocks and parentheses being run or evaluated

    explicit Impl(CQKScript* s) : self(s) { Reset(); }

    // One more level of recursion for as long as it lives: operator chains ("- - - 1",
    // "2^2^2"), function arguments, if/else and for chains and nested substitutions each
    // recurse, so a runaway text fails with a message instead of overflowing the stack.
    struct Nested {
        Impl* impl;
        Nested(Impl* i, const char* what) : impl(i)
        {
            if (++impl->nesting > kMaxNesting) {
                --impl->nesting;
                Fail(std::string(what) + " are nested too deeply");
            }
        }
        ~Nested() { --impl->nesting; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;
    };

    // Compiled code holds pointers to variables: any deletion forgets them all.
    void VariablesDeleted()
    {
        ++store.generation;
        for (Slot& slot : slots)
            slot.var = nullptr;
    }

    void Reset()
    {
        vars.clear();
        VariablesDeleted();
        for (std::string& r : regs)
            r.clear();
        redirection = 0;
        // System variables: reserved names with a value.
        for (char c : std::string("XYZ"))
            for (int n = 1; n <= 4; ++n)
                vars[std::string(1, c) + std::to_string(n)] = QKVariable();
        vars["PI"].value = M_PI;
    }

    // ---- scanning ----

    static size_t LineOf(const Source& src, size_t pos)
    {
        return 1 + std::count(src.text.begin(), src.text.begin() + std::min(pos, src.text.size()), '\n');
    }

    // Skips blanks and comments; line ends too when `newlines`.
    static size_t SkipSpace(const std::string& t, size_t pos, size_t end, bool newlines)
    {
        while (pos < end) {
            char c = t[pos];
            if (c == ' ' || c == '\t' || c == '\r' || (newlines && c == '\n')) {
                ++pos;
            } else if (c == '/' && pos + 1 < end && t[pos + 1] == '*') {
                size_t close = t.find("*/", pos + 2);
                if (close == std::string::npos || close >= end)
                    Fail("comment \"/*\" is not closed");
                pos = close + 2;
            } else if (c == '/' && pos + 1 < end && t[pos + 1] == '/') {
                while (pos < end && t[pos] != '\n')
                    ++pos;
            } else {
                break;
            }
        }
        return pos;
    }

    // Position of the bracket that closes the one at `open`.
    static size_t FindClose(const std::string& t, size_t open, size_t end)
    {
        char o = t[open];
        char c = o == '(' ? ')' : o == '[' ? ']' : '}';
        int depth = 0;
        bool quote = false;
        for (size_t i = open; i < end; ++i) {
            char ch = t[i];
            if (ch == '"') {
                quote = !quote;
            } else if (!quote) {
                if (ch == '/' && i + 1 < end && t[i + 1] == '*') {
                    size_t close = t.find("*/", i + 2);
                    if (close == std::string::npos)
                        break;
                    i = close + 1;
                } else if (ch == o) {
                    ++depth;
                } else if (ch == c && --depth == 0) {
                    return i;
                }
            }
        }
        Fail(std::string("'") + o + "' is not closed");
    }

    // End of a simple statement starting at pos: a ';', a line end or a '{' outside
    // parentheses, a '}' of the enclosing block, or the end of the range.
    static size_t StatementEnd(const std::string& t, size_t pos, size_t end)
    {
        int depth = 0;
        bool quote = false;
        for (size_t i = pos; i < end; ++i) {
            char c = t[i];
            if (c == '"') {
                quote = !quote;
                continue;
            }
            // A text ends on its line: an open quote would otherwise take in the
            // statements that follow and the script would end as if they had run.
            if (quote && c == '\n')
                Fail("a double quote is not closed on this line");
            if (quote)
                continue;
            if (c == '/' && i + 1 < end && t[i + 1] == '*') {
                size_t close = t.find("*/", i + 2);
                if (close == std::string::npos)
                    Fail("comment \"/*\" is not closed");
                i = close + 1;
            } else if (c == '/' && i + 1 < end && t[i + 1] == '/' && depth == 0 &&
                       (i == pos || isspace((unsigned char)t[i - 1]) || t[i - 1] == ';')) {
                // A comment; "//" inside a word ("http://") is text.
                return i;
            } else if (c == '(' || c == '[') {
                ++depth;
            } else if (c == ')' || c == ']') {
                if (depth > 0)
                    --depth;
            } else if (depth == 0 && (c == ';' || c == '\n' || c == '{' || c == '}')) {
                return i;
            }
        }
        if (quote)
            Fail("a double quote is not closed on this line");
        return end;
    }

    static std::vector<std::string> ForParts(const std::string& head)
    {
        std::vector<std::string> parts;
        size_t from = 0;
        int depth = 0;
        for (size_t i = 0; i <= head.size(); ++i) {
            if (i < head.size() && (head[i] == '(' || head[i] == '['))
                ++depth;
            else if (i < head.size() && (head[i] == ')' || head[i] == ']'))
                --depth;
            else if (i == head.size() || (head[i] == ';' && depth == 0)) {
                parts.push_back(head.substr(from, i - from));
                from = i + 1;
            }
        }
        return parts;
    }

    static std::string WordAt(const std::string& t, size_t pos, size_t end)
    {
        size_t e = pos;
        while (e < end && isalpha((unsigned char)t[e]))
            ++e;
        if (e < end && IsIdentChar(t[e]))
            return std::string();
        return t.substr(pos, e - pos);
    }

    // ---- running text ----

    Flow RunRange(const Source& src, size_t pos, size_t end, bool skip)
    {
        const std::string& t = src.text;
        for (;;) {
            pos = SkipSpace(t, pos, end, true);
            while (pos < end && t[pos] == ';')
                pos = SkipSpace(t, pos + 1, end, true);
            if (pos >= end)
                return FLOW_NORMAL;
            Flow f = RunStatement(src, pos, end, skip);
            if (f != FLOW_NORMAL)
                return f;
        }
    }

    Flow RunStatement(const Source& src, size_t& pos, size_t end, bool skip)
    {
        const std::string& t = src.text;
        if (!skip) {
            curSource = &src;
            curPos = pos;
        }
        if (t[pos] == '{') {
            size_t close = FindClose(t, pos, end);
            if (++nesting > kMaxNesting)
                Fail("blocks are nested too deeply");
            Flow f = RunRange(src, pos + 1, close, skip);
            --nesting;
            pos = close + 1;
            return f;
        }
        if (t[pos] == '}')
            Fail("'}' without a matching '{'");

        std::string word = Lower(WordAt(t, pos, end));
        size_t after = SkipSpace(t, pos + word.size(), end, false);
        if (word == "if" && after < end && t[after] == '(') {
            Nested level(this, "statements");
            return RunIf(src, pos, after, end, skip);
        }
        if (word == "for" && after < end && t[after] == '(') {
            Nested level(this, "statements");
            return RunFor(src, pos, after, end, skip);
        }
        if (word == "else")
            Fail("'else' without 'if'");

        size_t stop = StatementEnd(t, pos, end);
        std::string raw = t.substr(pos, stop - pos);
        // A command may take a braced block ("doc -e D {...}").
        size_t blockOpen = std::string::npos, blockClose = std::string::npos;
        if (stop < end && t[stop] == '{') {
            blockOpen = stop;
            blockClose = FindClose(t, stop, end);
            pos = blockClose + 1;
        } else {
            pos = stop < end && t[stop] != '}' && t[stop] != '/' ? stop + 1 : stop;
        }
        if (skip)
            return FLOW_NORMAL;

        std::string first = Lower(Trim(raw));
        if (first == "break")
            return FLOW_BREAK;
        if (first == "continue")
            return FLOW_CONTINUE;
        if (word == "return") {
            std::string expr = Trim(raw.substr(6));
            returnValue = expr.empty() ? 0 : ToNum(Eval(Subst(expr)));
            return FLOW_RETURN;
        }
        RunSimple(raw, src, blockOpen, blockClose);
        return FLOW_NORMAL;
    }

    Flow RunIf(const Source& src, size_t& pos, size_t open, size_t end, bool skip)
    {
        const std::string& t = src.text;
        size_t close = FindClose(t, open, end);
        bool take = false;
        if (!skip)
            take = ToNum(Eval(Subst(t.substr(open + 1, close - open - 1)))) != 0;
        pos = SkipSpace(t, close + 1, end, true);
        if (pos >= end)
            Fail("'if' without a statement");
        Flow f = RunStatement(src, pos, end, skip || !take);
        size_t look = SkipSpace(t, pos, end, true);
        if (look < end && t[look] == ';')
            look = SkipSpace(t, look + 1, end, true);
        if (look < end && Lower(WordAt(t, look, end)) == "else") {
            pos = SkipSpace(t, look + 4, end, true);
            if (pos >= end)
                Fail("'else' without a statement");
            Flow g = RunStatement(src, pos, end, skip || take || f != FLOW_NORMAL);
            if (f == FLOW_NORMAL)
                f = g;
        }
        return f;
    }

    Flow RunFor(const Source& src, size_t& pos, size_t open, size_t end, bool skip)
    {
        const std::string& t = src.text;
        const size_t statementStart = pos;
        size_t close = FindClose(t, open, end);
        std::vector<std::string> parts = ForParts(t.substr(open + 1, close - open - 1));
        if (parts.size() != 3)
            Fail("'for' needs (start; condition; step)");
        size_t bodyStart = SkipSpace(t, close + 1, end, true);
        if (bodyStart >= end)
            Fail("'for' without a statement");
        size_t bodyEnd = bodyStart;
        RunStatement(src, bodyEnd, end, true);
        pos = bodyEnd;
        if (skip)
            return FLOW_NORMAL;
        Flow compiled;
        if (RunCompiledLoop(src, statementStart, bodyEnd, &compiled))
            return compiled;
        size_t forPos = curPos;
        if (!Trim(parts[0]).empty())
            RunSimple(parts[0], src, std::string::npos, std::string::npos);
        for (;;) {
            curSource = &src;
            curPos = forPos;
            if (qkIsAbortRequested())
                Fail("the script was stopped");
            std::string cond = Trim(parts[1]);
            if (!cond.empty() && ToNum(Eval(Subst(cond))) == 0)
                break;
            size_t p = bodyStart;
            Flow f = RunStatement(src, p, bodyEnd, false);
            if (f == FLOW_BREAK)
                break;
            if (f == FLOW_RETURN)
                return f;
            curSource = &src;
            curPos = forPos;
            if (!Trim(parts[2]).empty())
                RunSimple(parts[2], src, std::string::npos, std::string::npos);
        }
        return FLOW_NORMAL;
    }

    // ---- compiled text ----

    // What compiled statements hand back: each runs as the interpreter would run it at that
    // place of the source, with the nesting count it would have there.
    struct CompiledRunner : qkcompiled::Runner {
        Impl* im;
        const Source& src;
        size_t base; // where the compiled text starts in the source

        CompiledRunner(Impl* i, const Source& s, size_t b) : im(i), src(s), base(b) {}

        struct Level {
            Impl* im;
            int saved;
            Level(Impl* i, int level) : im(i), saved(i->nesting) { i->nesting = level; }
            ~Level() { im->nesting = saved; }
        };
        int RunStatementAt(size_t pos, size_t end, int nesting) override
        {
            Level level(im, nesting);
            size_t p = base + pos;
            return im->RunStatement(src, p, base + end, false);
        }
        void RunSimpleText(const std::string& text, size_t statementPos, int nesting) override
        {
            Level level(im, nesting);
            At(statementPos);
            im->RunSimple(text, src, std::string::npos, std::string::npos);
        }
        bool Condition(const std::string& text, size_t statementPos, int nesting) override
        {
            Level level(im, nesting);
            At(statementPos);
            return im->ToNum(im->Eval(im->Subst(text))) != 0;
        }
        bool BindCall(qkcompiled::MethodCall& call) override
        {
            // The kernel's own objects, and anything that is no plug-in's method (a property
            // with an index text, an object that cannot be loaded), the interpreter runs.
            std::string obj = Lower(call.object);
            if (obj == "wks" || obj == "type" || obj == "run" || obj == "system" || obj == "ed" ||
                obj == "qpack" || !qkIsPluginObject(call.object))
                return false;
            const std::string& method = call.upper;
            QKPluginEntry& entry = im->boundCalls[Upper(call.object) + "." + method];
            std::string err;
            if (!qkBindPluginObject(call.object, &entry, &err))
                return false;
            double result = 0;
            if (qkCallBoundPlugin(entry, method.c_str(), call.args.c_str(), OBJOP_CALL_METHOD | OBJOP_FLAG_8000,
                                  &result, &err) != QM_HANDLED)
                return false;
            call.bound = &entry;
            return true;
        }
        void Call(const qkcompiled::MethodCall& call, size_t pos, int nesting) override
        {
            Level level(im, nesting);
            At(pos);
            const QKPluginEntry& entry = *static_cast<const QKPluginEntry*>(call.bound);
            double result = 0;
            std::string err;
            int rc = qkCallBoundPlugin(entry, call.upper.c_str(), call.args.c_str(), OBJOP_CALL_METHOD,
                                       &result, &err);
            if (rc != QM_HANDLED)
                im->CheckPlugin(rc, err, call.object + "." + call.method + "()");
        }
        void At(size_t pos) override
        {
            im->curSource = &src;
            im->curPos = base + pos;
        }
        void CheckStop(size_t pos) override
        {
            if (qkIsAbortRequested()) {
                At(pos);
                Fail("the script was stopped");
            }
        }
    };

    static const qkcompiled::Scanner& Scanner()
    {
        static const qkcompiled::Scanner scanner = {&Impl::SkipSpace, &Impl::FindClose, &Impl::StatementEnd,
                                                          &Impl::WordAt, &Impl::ForParts};
        return scanner;
    }

    // Runs the statements of src from `start` to `end` compiled, `level` levels deep, when
    // they compile; false when the interpreter has to run them.
    bool RunCompiled(const Source& src, size_t start, size_t end, int level, Flow* flow)
    {
        if (!compilation)
            return false;
        std::string text = src.text.substr(start, end - start);
        bool known;
        std::shared_ptr<qkcompiled::Program> program = programs.Find(text, &known);
        if (!known)
            program = programs.Put(text, qkcompiled::Program::Compile(text, Scanner()));
        if (!program)
            return false;
        CompiledRunner runner(this, src, start);
        int f = program->Run(store, runner, level);
        if (f < 0)
            return false;
        *flow = (Flow)f;
        return true;
    }

    // The for statement from `start` to `bodyEnd`; the statement itself runs one level out
    // from where its loop runs.
    bool RunCompiledLoop(const Source& src, size_t start, size_t bodyEnd, Flow* flow)
    {
        return RunCompiled(src, start, bodyEnd, nesting - 1, flow);
    }

    // A whole text as Execute runs it.
    Flow RunText(const Source& src)
    {
        Flow f;
        if (RunCompiled(src, 0, src.text.size(), nesting, &f))
            return f;
        return RunRange(src, 0, src.text.size(), false);
    }

    bool EvaluateCompiled(const std::string& text, double* value)
    {
        if (!compilation)
            return false;
        bool known;
        std::shared_ptr<qkcompiled::Expression> e = expressions.Find(text, &known);
        if (!known)
            e = expressions.Put(text, qkcompiled::Expression::Compile(text));
        return e && e->Run(store, nesting, value);
    }

    // ---- substitution ----

    std::string Subst(const std::string& text)
    {
        std::string out;
        size_t i = 0;
        while (i < text.size()) {
            char c = text[i];
            if (c == '%' && i + 1 < text.size()) {
                char n = text[i + 1];
                if (isalpha((unsigned char)n)) {
                    std::string v;
                    self->GetStringVar(toupper((unsigned char)n) - 'A', &v);
                    out += v;
                    i += 2;
                    continue;
                }
                if (n >= '1' && n <= '9') {
                    size_t k = n - '1';
                    if (!frames.empty() && k < frames.back().args.size())
                        out += frames.back().args[k];
                    i += 2;
                    continue;
                }
                if (n == '[') {
                    Nested level(this, "substitutions");
                    size_t close = FindClose(text, i + 1, text.size());
                    out += WordOf(Subst(text.substr(i + 2, close - i - 2)));
                    i = close + 1;
                    continue;
                }
            }
            if (c == '$' && i + 1 < text.size() && text[i + 1] == '(') {
                Nested level(this, "substitutions");
                size_t close = FindClose(text, i + 1, text.size());
                out += qkFormatNumber(ToNum(Eval(Subst(text.substr(i + 2, close - i - 2)))));
                i = close + 1;
                continue;
            }
            if (c == '$' && i + 1 < text.size() && IsIdentStart(text[i + 1])) {
                size_t e = i + 1;
                while (e < text.size() && (IsIdentChar(text[e]) || text[e] == '.'))
                    ++e;
                std::string s;
                if (self->GetTableString(text.substr(i + 1, e - i - 1), &s)) {
                    out += s;
                    i = e;
                    continue;
                }
            }
            out += c;
            ++i;
        }
        return out;
    }

    // "%[text,#n]": word n (1-based) of the text; words are separated by blanks.
    std::string WordOf(const std::string& inner)
    {
        size_t comma = inner.rfind(",#");
        if (comma == std::string::npos)
            Fail("%[...] needs the form %[text,#n]");
        double n = ToNum(Eval(inner.substr(comma + 2)));
        std::vector<std::string> words = SplitWords(inner.substr(0, comma));
        int k = (int)n;
        if (k < 1 || k > (int)words.size())
            return std::string();
        return words[k - 1];
    }

    // ---- simple statements ----

    void RunSimple(const std::string& raw, const Source& src, size_t blockOpen, size_t blockClose)
    {
        std::string text = Trim(raw);
        if (text.empty())
            return;
        // %X = text: the register itself is not substituted.
        if (text.size() >= 2 && text[0] == '%' && isalpha((unsigned char)text[1])) {
            size_t eq = text.find_first_not_of(" \t", 2);
            if (eq != std::string::npos && text[eq] == '=' && (eq + 1 >= text.size() || text[eq + 1] != '=')) {
                int index = toupper((unsigned char)text[1]) - 'A';
                std::string value = StringValue(Subst(text.substr(eq + 1)));
                if (!self->SetStringVar(index, value))
                    Fail(std::string("%") + (char)('A' + index) + " cannot be set");
                return;
            }
        }
        std::string s = Trim(Subst(text));
        if (s.empty())
            return;
        if (TryAssignment(s))
            return;
        size_t w = 0;
        while (w < s.size() && (IsIdentChar(s[w])))
            ++w;
        std::string word = s.substr(0, w);
        if (word.empty())
            Fail("cannot read \"" + s + "\"");
        if (w < s.size() && (s[w] == '.' || s[w] == '(')) {
            Eval(s); // a method or function call for its effect
            return;
        }
        std::string args = w < s.size() ? s.substr(w) : std::string();
        if (RunCommand(Lower(word), args, src, blockOpen, blockClose))
            return;
        for (const char* hook : kHookNames)
            if (Same(word, hook) && Trim(args).empty()) {
                qkfxGetCallLog().Add(hook);
                return;
            }
        Fail("unknown command \"" + word + "\"");
    }

    // name = expr, name += expr, obj.prop = expr, dataset[i] = expr, col(A) = expr, ...
    bool TryAssignment(const std::string& s)
    {
        size_t i = 0;
        if (!IsIdentStart(s[0]))
            return false;
        // The target: a name with dots, optional (..), optional [..], optional $.
        while (i < s.size() && (IsIdentChar(s[i]) || s[i] == '.'))
            ++i;
        if (i < s.size() && s[i] == '(')
            i = FindClose(s, i, s.size()) + 1;
        while (i < s.size() && (IsIdentChar(s[i]) || s[i] == '.'))
            ++i;
        if (i < s.size() && s[i] == '[')
            i = FindClose(s, i, s.size()) + 1;
        if (i < s.size() && s[i] == '$')
            ++i;
        std::string target = s.substr(0, i);
        size_t op = s.find_first_not_of(" \t", i);
        if (op == std::string::npos)
            return false;
        char kind = 0;
        if (s[op] == '=' && (op + 1 >= s.size() || s[op + 1] != '='))
            kind = '=';
        else if (op + 1 < s.size() && s[op + 1] == '=' && strchr("+-*/", s[op]))
            kind = s[op++];
        if (!kind)
            return false;
        // obj.= lists the object's members.
        if (target.size() > 1 && target.back() == '.' && Trim(s.substr(op + 1)).empty()) {
            ListObject(target.substr(0, target.size() - 1));
            return true;
        }
        Assign(target, kind, Trim(s.substr(op + 1)));
        return true;
    }

    void Assign(const std::string& target, char kind, const std::string& rhs)
    {
        Ref ref = ParseRef(target);
        if (ref.isString) {
            if (kind != '=')
                Fail("only '=' assigns text");
            SetRefText(ref, StringValue(rhs));
            return;
        }
        if (ref.dataset && !ref.hasIndex && kind == '=') {
            AssignDataset(ref.dataset, rhs);
            return;
        }
        double v = ToNum(Eval(rhs));
        if (kind != '=') {
            double old = ToNum(GetRef(ref));
            v = Arith(kind, old, v);
        }
        SetRefNum(ref, v);
    }

    // Whole-dataset assignment: the expression is evaluated for each row, with datasets
    // named without an index read at that row. The rows are those of the longest dataset
    // the expression names, or the target's own rows.
    void AssignDataset(CQKDataset* target, const std::string& rhs)
    {
        INT_PTR handle = target->GetHandle();
        vectorRow = 0;
        vectorRows = 0;
        std::vector<double> values;
        try {
            values.push_back(ToNum(Eval(rhs)));
            int rows = std::max(vectorRows, target->GetEnd());
            for (int r = 1; r < rows; ++r) {
                vectorRow = r;
                values.push_back(ToNum(Eval(rhs)));
            }
        } catch (...) {
            vectorRow = -1;
            throw;
        }
        vectorRow = -1;
        target = qkfxGetProject().GetDatasetFromHandle(handle);
        if (!target)
            Fail("the dataset was deleted while it was computed");
        if (vectorRows == 0 && target->GetEnd() == 0)
            return; // nothing to fill: no rows and no dataset to take them from
        target->SetRange(target->GetFirst(), (int)values.size());
        for (size_t r = 0; r < values.size(); ++r)
            target->SetValue((int)r, values[r]);
    }

    // ---- references: variables, datasets, cells, members ----

    struct Ref {
        enum Kind { VAR, CELL, DATASET, MEMBER } kind = VAR;
        std::string name;           // variable name, or the full dotted path
        CQKDataset* dataset = nullptr;
        bool hasIndex = false;
        int row = 0;                // 0-based
        bool isString = false;      // a trailing $
        std::vector<std::string> path; // members: object, member, sub-member
        std::string args;           // raw text inside the parentheses of the last member
        bool hasArgs = false;
    };

    Ref ParseRef(const std::string& text)
    {
        Ref r;
        std::string s = Trim(text);
        if (!s.empty() && s.back() == '$') {
            r.isString = true;
            s.pop_back();
        }
        std::string index;
        if (!s.empty() && s.back() == ']') {
            size_t open = s.rfind('[');
            if (open == std::string::npos)
                Fail("cannot read \"" + text + "\"");
            index = s.substr(open + 1, s.size() - open - 2);
            s = Trim(s.substr(0, open));
            r.hasIndex = true;
        }
        size_t paren = s.find('(');
        std::string head = paren == std::string::npos ? s : s.substr(0, paren);
        if (paren != std::string::npos) {
            if (s.back() != ')' || FindClose(s, paren, s.size()) != s.size() - 1)
                Fail("cannot read \"" + text + "\"");
            r.args = s.substr(paren + 1, s.size() - paren - 2);
            r.hasArgs = true;
        }
        if (head.find('.') != std::string::npos) {
            size_t from = 0;
            for (size_t dot; (dot = head.find('.', from)) != std::string::npos; from = dot + 1)
                r.path.push_back(head.substr(from, dot - from));
            r.path.push_back(head.substr(from));
            r.name = head;
            if (IsObject(r.path[0])) {
                r.kind = Ref::MEMBER;
                if (r.hasIndex)
                    Fail("an object member takes no [index]: \"" + text + "\"");
                return r;
            }
        }
        if (r.hasArgs) {
            std::string fn = Lower(head);
            if (fn == "col" || fn == "wcol") {
                r.dataset = ColumnRef(fn, r.args);
            } else {
                Fail("cannot assign to \"" + text + "\"");
            }
        } else {
            r.name = head;
            if (!FindVar(head))
                r.dataset = qkfxGetProject().FindDataset(head);
            if (!r.dataset && head.find('.') != std::string::npos)
                Fail("\"" + r.path[0] + "\" is not an object, nor \"" + head + "\" a dataset");
            if (!r.dataset && r.hasIndex)
                Fail("no dataset \"" + head + "\"");
        }
        if (r.dataset) {
            r.kind = r.hasIndex ? Ref::CELL : Ref::DATASET;
            if (r.hasIndex) {
                double row = ToNum(Eval(index));
                if (IsMissingValue(row) || row < 1 || row > QK_MAX_ROWS)
                    Fail("row " + qkFormatNumber(row) + " is outside the dataset " + r.dataset->GetName());
                r.row = (int)row - 1;
            }
        } else if (!IsValidVariableName(head)) {
            Fail("\"" + head + "\" is not a valid variable name");
        }
        return r;
    }

    static bool IsValidVariableName(const std::string& n)
    {
        if (n.empty() || !IsIdentStart(n[0]))
            return false;
        for (char c : n)
            if (!IsIdentChar(c))
                return false;
        return true;
    }

    CQKDataset* ColumnRef(const std::string& fn, const std::string& arg)
    {
        CQKWksPage* wks = qkfxGetProject().GetActiveWks();
        if (!wks)
            Fail(fn + "(): there is no active worksheet");
        CQKDataset* d = nullptr;
        if (fn == "col") {
            d = wks->FindColumn(Trim(arg));
            if (!d)
                Fail("the worksheet " + wks->GetName() + " has no column \"" + Trim(arg) + "\"");
        } else {
            double n = ToNum(Eval(arg));
            d = wks->GetColumn((int)n);
            if (!d || n != (int)n)
                Fail("the worksheet " + wks->GetName() + " has no column " + qkFormatNumber(n));
        }
        return d;
    }

    Val GetRef(const Ref& r)
    {
        switch (r.kind) {
        case Ref::VAR: {
            // An undefined name is kept as a name: two names compare as texts, and only
            // using it as a number is an error.
            const QKVariable* v = FindVar(r.name);
            return v ? Val::Num(v->value) : Val::Name(r.name);
        }
        case Ref::CELL:
            if (r.isString)
                return Val::Str(r.dataset->IsText(r.row) || !IsMissingValue(r.dataset->GetValue(r.row))
                                    ? r.dataset->GetText(r.row) : std::string());
            return Val::Num(r.dataset->GetValue(r.row));
        case Ref::DATASET:
            if (vectorRow >= 0) {
                vectorRows = std::max(vectorRows, r.dataset->GetEnd());
                return Val::Num(r.dataset->GetValue(vectorRow));
            }
            return Val::Name(r.dataset->GetName());
        case Ref::MEMBER:
            return GetMember(r);
        }
        return Val();
    }

    void SetRefNum(const Ref& r, double v)
    {
        switch (r.kind) {
        case Ref::VAR: self->SetVariable(r.name, v); break;
        case Ref::CELL:
            if (!r.dataset->SetValue(r.row, v))
                Fail("cannot write row " + std::to_string(r.row + 1) + " of " + r.dataset->GetName());
            break;
        case Ref::DATASET: Fail("cannot combine a whole dataset with '" + r.name + "'"); break;
        case Ref::MEMBER: SetMember(r, v, nullptr); break;
        }
    }

    void SetRefText(const Ref& r, const std::string& text)
    {
        if (r.kind == Ref::CELL) {
            if (!r.dataset->SetText(r.row, text))
                Fail("cannot write row " + std::to_string(r.row + 1) + " of " + r.dataset->GetName());
        } else if (r.kind == Ref::MEMBER) {
            SetMember(r, 0, &text);
        } else {
            Fail("\"" + r.name + "$\" cannot hold text; string variables are %A .. %Z");
        }
    }

    // The text on the right of a text assignment: a quoted text, a string member
    // ("wks.col3.name$"), a text cell ("Data1_A[2]$"), or the text itself.
    std::string StringValue(const std::string& raw)
    {
        std::string s = Trim(raw);
        if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
            return s.substr(1, s.size() - 2);
        if (s.size() > 1 && s.back() == '$' && IsIdentStart(s[0])) {
            bool refLike = true;
            for (char c : s)
                if (isspace((unsigned char)c))
                    refLike = false;
            if (refLike) {
                Ref r = ParseRef(s);
                if (r.kind == Ref::MEMBER || r.kind == Ref::CELL) {
                    Val v = GetRef(r);
                    return v.kind == Val::NUM ? qkFormatNumber(v.num) : v.str;
                }
            }
        }
        return s;
    }

    // ---- objects ----

    bool IsObject(const std::string& name)
    {
        std::string n = Lower(name);
        return n == "wks" || n == "type" || n == "run" || n == "system" || n == "ed" || n == "qpack" ||
               qkIsPluginObject(name);
    }

    Val GetMember(const Ref& r)
    {
        std::string obj = Lower(r.path[0]);
        if (obj == "wks")
            return WksMember(r, false, 0, nullptr);
        if (obj == "type")
            return TypeMember(r, false, 0);
        if (obj == "run")
            return RunMember(r);
        if (obj == "ed" || obj == "qpack") {
            if (r.path.size() == 2 && r.hasArgs) {
                std::string method = Lower(r.path[1]);
                if (obj == "qpack" && method == "pack") {
                    std::vector<std::string> args = qkSplitArgs(r.args);
                    if (args.size() != 1)
                        Fail("qpack.pack needs the list of files to pack");
                    std::string why;
                    if (!qkPackFiles(Unquote(args[0]), &why))
                        Fail(why);
                    return Val::Num(0);
                }
                if (obj == "qpack" && method == "undo" && qkUndoPackageInstall())
                    return Val::Num(0);
                qkfxGetCallLog().Add(obj + "." + method, r.args);
                return Val::Num(0);
            }
            Fail("\"" + r.name + "\" is not a member");
        }
        // system.toolbar.create(...): a method of one of the system object's members.
        if (obj == "system" && r.path.size() == 3 && r.hasArgs) {
            std::string method = Upper(r.path[1]) + "." + Upper(r.path[2]);
            double result = 0;
            std::string err;
            int rc = qkCallPluginObject(obj, method.c_str(), r.args.c_str(), OBJOP_CALL_METHOD, &result, &err);
            CheckPlugin(rc, err, r.name + "()");
            return Val::Num(result);
        }
        return PluginGet(r);
    }

    void SetMember(const Ref& r, double v, const std::string* text)
    {
        std::string obj = Lower(r.path[0]);
        if (obj == "wks") {
            WksMember(r, true, v, text);
            return;
        }
        if (obj == "type") {
            TypeMember(r, true, v);
            return;
        }
        if (obj == "run" || obj == "ed" || obj == "qpack")
            Fail("\"" + r.name + "\" cannot be set");
        PluginSet(r, v, text);
    }

    Val RunMember(const Ref& r)
    {
        if (r.path.size() != 2 || !r.hasArgs)
            Fail("run has the methods section() and dialog()");
        std::string m = Lower(r.path[1]);
        std::vector<std::string> args = qkSplitArgs(r.args);
        if (m == "section") {
            if (args.size() < 2)
                Fail("run.section needs a file and a section");
            std::vector<std::string> rest(args.begin() + 2, args.end());
            double result = 0;
            Section(args[0], args[1], rest, &result);
            return Val::Num(result);
        }
        if (m == "dialog") {
            qkfxGetCallLog().Add("run.dialog", r.args);
            return Val::Num(0);
        }
        Fail("run has no method \"" + r.path[1] + "\"");
    }

    Val TypeMember(const Ref& r, bool set, double v)
    {
        std::string m = Lower(r.path.size() == 2 ? r.path[1] : std::string());
        if (m == "redirection" && !r.hasArgs) {
            if (set)
                redirection = v;
            return Val::Num(redirection);
        }
        if (!set && r.hasArgs && (m == "beginresults" || m == "endresults")) {
            qkfxGetCallLog().Add("type." + m, "");
            return Val::Num(0);
        }
        if (!set && r.hasArgs && m == "msgbox") {
            std::vector<std::string> a = qkSplitArgs(r.args);
            qkfxGetCallLog().Add("type.msgbox", r.args);
            self->Print(a.empty() ? std::string() : Unquote(a[0]), 1);
            return Val::Num(0);
        }
        Fail("\"" + r.name + "\" is not a member of type");
    }

    CQKWksPage* ActiveWks(const char* what)
    {
        CQKWksPage* wks = qkfxGetProject().GetActiveWks();
        if (!wks)
            Fail(std::string(what) + ": there is no active worksheet");
        return wks;
    }

    // wks.sel, c1, c2, r1, r2, ncols, iscolsel(n), labels(), col<n>.name$ ...
    Val WksMember(const Ref& r, bool set, double v, const std::string* text)
    {
        CQKWksPage* wks = ActiveWks("wks");
        std::string m = Lower(r.path.size() >= 2 ? r.path[1] : std::string());
        if (r.path.size() == 2 && r.hasArgs) {
            if (set)
                Fail("\"" + r.name + "()\" cannot be set");
            if (m == "iscolsel") {
                int n = (int)ToNum(Eval(r.args));
                bool whole = wks->m_selR1 == 0 && wks->m_selR2 == 0;
                return Val::Num(whole && n >= wks->m_selC1 && n <= wks->m_selC2 && n >= 1 ? 1 : 0);
            }
            if (m == "goto") {
                // The active cell moves to row n (from 1) and comes into view.
                int n = (int)ToNum(Eval(r.args));
                if (n < 1 || n > QK_MAX_ROWS)
                    Fail("wks.goto: there is no row " + std::to_string(n));
                wks->GoToRow(n - 1);
                return Val::Num(n);
            }
            if (m == "labels") {
                wks->m_labelsShown = Trim(r.args).empty() || ToNum(Eval(r.args)) != 0;
                qkfxGetCallLog().Add("wks.labels", r.args);
                return Val::Num(0);
            }
            Fail("wks has no method \"" + r.path[1] + "\"");
        }
        if (r.path.size() == 2 && !r.isString) {
            int* field = m == "c1" ? &wks->m_selC1 : m == "c2" ? &wks->m_selC2
                       : m == "r1" ? &wks->m_selR1 : m == "r2" ? &wks->m_selR2 : nullptr;
            if (field) {
                if (set)
                    *field = (int)v;
                return Val::Num(*field);
            }
            if (m == "sel") {
                if (set)
                    Fail("wks.sel cannot be set; set wks.c1, c2, r1, r2");
                // 0 nothing, 1 one cell, 2 a block of cells, 8 whole columns.
                if (wks->m_selC1 < 1)
                    return Val::Num(0);
                if (wks->m_selR1 == 0 && wks->m_selR2 == 0)
                    return Val::Num(8);
                bool one = wks->m_selC1 == wks->m_selC2 && wks->m_selR1 == wks->m_selR2;
                return Val::Num(one ? 1 : 2);
            }
            if (m == "ncols") {
                if (set) {
                    int n = (int)v;
                    if (n < 1 || n > 4096)
                        Fail("wks.ncols must be 1 .. 4096");
                    while (wks->GetNumCols() < n)
                        wks->AddColumn();
                    while (wks->GetNumCols() > n)
                        wks->DeleteColumn(wks->GetNumCols());
                }
                return Val::Num(wks->GetNumCols());
            }
        }
        if (r.path.size() == 2 && r.isString && m == "name") {
            if (set && !wks->SetName(*text))
                Fail("\"" + *text + "\" is not a free window name");
            return Val::Str(wks->GetName());
        }
        if (r.path.size() == 3 && m.compare(0, 3, "col") == 0 && m.size() > 3 &&
            m.find_first_not_of("0123456789", 3) == std::string::npos) {
            int n = atoi(m.c_str() + 3);
            CQKDataset* c = wks->GetColumn(n);
            if (!c)
                Fail("the worksheet " + wks->GetName() + " has no column " + std::to_string(n));
            std::string a = Lower(r.path[2]);
            if (r.isString) {
                if (a == "name") {
                    if (set && !wks->RenameColumn(n, *text))
                        Fail("\"" + *text + "\" is not a free column name");
                    return Val::Str(c->m_columnName);
                }
                if (a == "label") {
                    if (set) {
                        c->m_label = *text;
                        qkfxGetProject().SetProjectModified(true);
                    }
                    return Val::Str(c->m_label);
                }
            } else {
                if (a == "format") {
                    if (set) {
                        c->SetFormat((int)v);
                        qkfxGetProject().SetProjectModified(true);
                    }
                    return Val::Num(c->m_format);
                }
                int* field = a == "type" ? &c->m_type : a == "subformat" ? &c->m_subformat
                           : a == "width" ? &c->m_width : nullptr;
                if (field) {
                    if (set) {
                        *field = (int)v;
                        qkfxGetProject().SetProjectModified(true);
                    }
                    return Val::Num(*field);
                }
                if (a == "nrows") {
                    if (set && (v < 0 || v > QK_MAX_ROWS || !c->SetRange(std::min(c->GetFirst(), (int)v), (int)v)))
                        Fail("cannot give " + c->GetName() + " " + qkFormatNumber(v) + " rows");
                    return Val::Num(c->GetEnd());
                }
            }
        }
        Fail("\"" + r.name + (r.isString ? "$" : "") + "\" is not a member of wks");
    }

    // Plug-in objects: members are upper-cased, argument texts are passed as they are.
    Val PluginGet(const Ref& r)
    {
        const std::string& obj = r.path[0];
        std::string err;
        if (r.path.size() == 2 && r.hasArgs) {
            std::string method = Upper(r.path[1]);
            double result = 0;
            int exists = qkCallPluginObject(obj, method.c_str(), r.args.c_str(),
                                            OBJOP_CALL_METHOD | OBJOP_FLAG_8000, &result, &err);
            if (exists < 0)
                Fail(err);
            if (exists == QM_HANDLED) {
                int rc = qkCallPluginObject(obj, method.c_str(), r.args.c_str(), OBJOP_CALL_METHOD, &result, &err);
                CheckPlugin(rc, err, obj + "." + r.path[1] + "()");
                return Val::Num(result);
            }
            // Not a method: a property whose name carries an index text, qfit.P(i+1).
            return PluginProperty(obj, nullptr, method + "(" + r.args + ")", r.isString);
        }
        if (r.hasArgs)
            Fail("\"" + r.name + "(...)\" is not a method");
        if (r.path.size() == 2)
            return PluginProperty(obj, nullptr, Upper(r.path[1]), r.isString);
        if (r.path.size() == 3) {
            std::string method = Upper(r.path[1]);
            return PluginProperty(obj, method.c_str(), Upper(r.path[2]), r.isString);
        }
        Fail("\"" + r.name + "\" is not a member");
    }

    Val PluginProperty(const std::string& obj, const char* method, const std::string& name, bool isString)
    {
        std::string err;
        if (isString) {
            std::vector<char> buf(QM_STRING_RESULT_SIZE, 0);
            int rc = qkCallPluginObject(obj, method, name.c_str(), OBJOP_GET_STRING, buf.data(), &err);
            CheckPlugin(rc, err, obj + "." + (method ? std::string(method) + "." : "") + name + "$");
            buf.back() = 0;
            return Val::Str(buf.data());
        }
        double v = 0;
        int rc = qkCallPluginObject(obj, method, name.c_str(), OBJOP_GET_NUMBER, &v, &err);
        CheckPlugin(rc, err, obj + "." + (method ? std::string(method) + "." : "") + name);
        return Val::Num(v);
    }

    void PluginSet(const Ref& r, double v, const std::string* text)
    {
        if ((r.hasArgs && r.path.size() != 2) || r.path.size() > 3)
            Fail("\"" + r.name + "\" cannot be set");
        const std::string& obj = r.path[0];
        std::string method = r.path.size() == 3 ? Upper(r.path[1]) : std::string();
        // qfit.P(i+1) = v: the index text goes to the object with the name.
        std::string name = Upper(r.path.back()) + (r.hasArgs ? "(" + r.args + ")" : std::string());
        const char* m = method.empty() ? nullptr : method.c_str();
        std::string err;
        std::string what = r.name + (text ? "$" : "");
        if (text) {
            std::vector<char> buf(text->begin(), text->end());
            buf.push_back(0);
            int rc = qkCallPluginObject(obj, m, name.c_str(), OBJOP_SET_STRING, buf.data(), &err);
            CheckPlugin(rc, err, what);
            return;
        }
        int rc = qkCallPluginObject(obj, m, name.c_str(), OBJOP_SET_NUMBER, &v, &err);
        CheckPlugin(rc, err, what);
    }

    void CheckPlugin(int rc, const std::string& err, const std::string& what)
    {
        if (rc < 0)
            Fail(err);
        if (rc == QM_NOT_FOUND)
            Fail("\"" + what + "\" is not a member");
        if (rc != QM_HANDLED)
            Fail("\"" + what + "\" failed" + (err.empty() ? std::string() : ": " + err));
    }

    void ListObject(const std::string& obj)
    {
        if (!qkIsPluginObject(obj) && Lower(obj) != "system")
            Fail("\"" + obj + "\" is not an object that lists its members");
        double v = 0;
        std::string err;
        int rc = qkCallPluginObject(obj, nullptr, "", OBJOP_GET_NUMBER, &v, &err);
        CheckPlugin(rc, err, obj + ".");
    }

    // ---- expressions ----

    struct Parser {
        Impl* impl;
        const std::string& s;
        size_t p = 0;

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
        [[noreturn]] void Bad()
        {
            if (p >= s.size())
                Fail("the expression \"" + s + "\" is incomplete");
            Fail("cannot read \"" + s.substr(p) + "\" in \"" + s + "\"");
        }

        Val Or()
        {
            Val a = And();
            while (Eat("||")) {
                Val b = And();
                a = Val::Num(impl->ToNum(a) != 0 || impl->ToNum(b) != 0);
            }
            return a;
        }
        Val And()
        {
            Val a = Cmp();
            while (Eat("&&")) {
                Val b = Cmp();
                a = Val::Num(impl->ToNum(a) != 0 && impl->ToNum(b) != 0);
            }
            return a;
        }
        Val Cmp()
        {
            Val a = Add();
            for (;;) {
                Space();
                const char* ops[] = {"==", "!=", "<=", ">=", "<", ">"};
                const char* hit = nullptr;
                for (const char* o : ops)
                    if (s.compare(p, strlen(o), o) == 0) {
                        hit = o;
                        break;
                    }
                if (!hit)
                    return a;
                p += strlen(hit);
                Val b = Add();
                a = Val::Num(impl->Compare(hit, a, b));
            }
        }
        Val Add()
        {
            Val a = Mul();
            for (;;) {
                Space();
                if (p < s.size() && (s[p] == '+' || s[p] == '-') && s.compare(p, 2, "--") != 0) {
                    char op = s[p++];
                    Val b = Mul();
                    a = Val::Num(Arith(op, impl->ToNum(a), impl->ToNum(b)));
                } else {
                    return a;
                }
            }
        }
        Val Mul()
        {
            Val a = Unary();
            for (;;) {
                Space();
                if (p < s.size() && (s[p] == '*' || s[p] == '/')) {
                    char op = s[p++];
                    Val b = Unary();
                    a = Val::Num(Arith(op, impl->ToNum(a), impl->ToNum(b)));
                } else {
                    return a;
                }
            }
        }
        Val Unary()
        {
            Space();
            if (s.compare(p, 2, "--") == 0) {
                // "--" is the missing value, as lists and cells show it.
                p += 2;
                return Val::Num(MISSING_VALUE);
            }
            if (Eat("-")) {
                Nested level(impl, "expressions");
                double v = impl->ToNum(Unary());
                return Val::Num(IsMissingValue(v) ? v : -v);
            }
            if (Eat("+")) {
                Nested level(impl, "expressions");
                return Val::Num(impl->ToNum(Unary()));
            }
            if (Eat("!")) {
                Nested level(impl, "expressions");
                return Val::Num(impl->ToNum(Unary()) == 0);
            }
            return Power();
        }
        Val Power()
        {
            Val a = Primary();
            if (Eat("^")) {
                Nested level(impl, "expressions");
                double b = impl->ToNum(Unary());
                return Val::Num(Arith('^', impl->ToNum(a), b));
            }
            return a;
        }
        Val Primary()
        {
            Space();
            if (p >= s.size())
                Bad();
            char c = s[p];
            if (c == '(') {
                size_t close = FindClose(s, p, s.size());
                std::string inner = s.substr(p + 1, close - p - 1);
                p = close + 1;
                if (++impl->nesting > kMaxNesting)
                    Fail("parentheses are nested too deeply");
                Parser sub{impl, inner};
                Val v = sub.Or();
                sub.Space();
                if (sub.p != inner.size())
                    sub.Bad();
                --impl->nesting;
                return v;
            }
            if (c == '"') {
                size_t close = s.find('"', p + 1);
                if (close == std::string::npos)
                    Fail("missing closing quote in \"" + s + "\"");
                std::string text = s.substr(p + 1, close - p - 1);
                p = close + 1;
                return Val::Str(text);
            }
            if (isdigit((unsigned char)c) || (c == '.' && p + 1 < s.size() && isdigit((unsigned char)s[p + 1]))) {
                char* endp = nullptr;
                double v = strtod(s.c_str() + p, &endp);
                p = endp - s.c_str();
                return Val::Num(v);
            }
            if (!IsIdentStart(c))
                Bad();
            // A reference: name(.name)*, then (args), [index], $.
            size_t start = p;
            while (p < s.size() && (IsIdentChar(s[p]) || (s[p] == '.' && p + 1 < s.size() && IsIdentStart(s[p + 1]))))
                ++p;
            std::string head = s.substr(start, p - start);
            std::string args;
            bool hasArgs = false;
            if (p < s.size() && s[p] == '(') {
                size_t close = FindClose(s, p, s.size());
                args = s.substr(p + 1, close - p - 1);
                hasArgs = true;
                p = close + 1;
            }
            size_t refEnd = p;
            if (p < s.size() && s[p] == '[')
                refEnd = p = FindClose(s, p, s.size()) + 1;
            if (p < s.size() && s[p] == '$')
                refEnd = ++p;
            // Arguments and row indexes are expressions of their own.
            std::unique_ptr<Nested> level;
            if ((hasArgs && head.find('.') == std::string::npos) || s[refEnd - 1] == ']' ||
                (refEnd > 1 && s[refEnd - 1] == '$' && s[refEnd - 2] == ']'))
                level = std::make_unique<Nested>(impl, "expressions");
            if (hasArgs && head.find('.') == std::string::npos) {
                std::string fn = Lower(head);
                if (fn == "exist") {
                    if (s[refEnd - 1] == ']' || s[refEnd - 1] == '$')
                        Bad();
                    return Val::Num(impl->Exist(Trim(args)));
                }
                if (fn != "col" && fn != "wcol") {
                    if (s[refEnd - 1] == ']' || s[refEnd - 1] == '$')
                        Bad();
                    return Val::Num(impl->CallFunction(head, args));
                }
            }
            return impl->GetRef(impl->ParseRef(s.substr(start, refEnd - start)));
        }
    };

    Val Eval(const std::string& text)
    {
        Parser parser{this, text};
        Val v = parser.Or();
        parser.Space();
        if (parser.p != text.size())
            parser.Bad();
        return v;
    }

    double ToNum(const Val& v)
    {
        if (v.kind == Val::NUM)
            return v.num;
        if (v.kind == Val::NAME) {
            if (qkfxGetProject().FindDataset(v.str))
                Fail("\"" + v.str + "\" is a dataset; name a row, as " + v.str + "[1]");
            Fail("\"" + v.str + "\" is not defined");
        }
        char* endp = nullptr;
        double d = strtod(v.str.c_str(), &endp);
        if (v.str.empty() || *endp)
            Fail("\"" + v.str + "\" is not a number");
        return d;
    }

    static double Arith(char op, double a, double b)
    {
        if (IsMissingValue(a) || IsMissingValue(b))
            return MISSING_VALUE;
        switch (op) {
        case '+': return Clean(a + b);
        case '-': return Clean(a - b);
        case '*': return Clean(a * b);
        case '/': return b == 0 ? MISSING_VALUE : Clean(a / b);
        case '^': return Clean(qkPow(a, b));
        }
        return MISSING_VALUE;
    }

    double Compare(const char* op, const Val& a, const Val& b)
    {
        if (a.kind != Val::NUM || b.kind != Val::NUM) {
            // Names and texts compare as names: "%A==%C" asks whether two dataset names
            // are the same, not whether their data are.
            if (a.kind == Val::NUM || b.kind == Val::NUM) {
                if ((a.kind == Val::NAME) || (b.kind == Val::NAME))
                    ToNum(a.kind == Val::NAME ? a : b);
            }
            std::string x = a.kind == Val::NUM ? qkFormatNumber(a.num) : a.str;
            std::string y = b.kind == Val::NUM ? qkFormatNumber(b.num) : b.str;
            int c = _stricmp(x.c_str(), y.c_str());
            if (!strcmp(op, "=="))
                return c == 0;
            if (!strcmp(op, "!="))
                return c != 0;
            Fail(std::string("texts can only be compared with == and !="));
        }
        double x = a.num, y = b.num;
        if (!strcmp(op, "=="))
            return x == y;
        if (!strcmp(op, "!="))
            return x != y;
        if (IsMissingValue(x) || IsMissingValue(y))
            return 0;
        if (!strcmp(op, "<="))
            return x <= y;
        if (!strcmp(op, ">="))
            return x >= y;
        if (!strcmp(op, "<"))
            return x < y;
        return x > y;
    }

    double CallFunction(const std::string& name, const std::string& argText)
    {
        for (const FunctionDef& f : Functions()) {
            if (!Same(name, f.name))
                continue;
            std::vector<std::string> parts = qkSplitArgs(argText);
            if ((f.args >= 0 && (int)parts.size() != f.args) || (f.args < 0 && parts.empty()))
                Fail(std::string(f.name) + "() takes " + (f.args < 0 ? "at least one" : std::to_string(f.args)) +
                     " argument" + (f.args == 1 ? "" : "s"));
            std::vector<double> a;
            for (const std::string& part : parts) {
                a.push_back(ToNum(Eval(part)));
                if (IsMissingValue(a.back()))
                    return MISSING_VALUE;
            }
            return Clean(f.fn(a));
        }
        Fail("unknown function \"" + name + "\"");
    }

    // 1 dataset, 2 worksheet, 3 graph, 4 numeric variable, 5 matrix, 9 notes, 11 layout,
    // 12 Excel workbook; 0 when the name is not in use.
    double Exist(const std::string& name)
    {
        if (CQKPage* page = qkfxGetProject().FindPage(name)) {
            switch (page->GetType()) {
            case QK_PAGE_WKS: return 2;
            case QK_PAGE_GRAPH: return 3;
            case QK_PAGE_MATRIX: return 5;
            case QK_PAGE_NOTES: return 9;
            case QK_PAGE_LAYOUT: return 11;
            case QK_PAGE_EXCEL: return 12;
            }
        }
        if (qkfxGetProject().FindDataset(name))
            return 1;
        if (FindVar(name))
            return 4;
        return 0;
    }

    const QKVariable* FindVar(const std::string& name) const
    {
        auto it = vars.find(Upper(name));
        return it == vars.end() ? nullptr : &it->second;
    }

    // ---- commands ----

    bool RunCommand(const std::string& word, const std::string& args, const Source& src,
                    size_t blockOpen, size_t blockClose)
    {
        std::vector<std::string> w;
        auto words = [&]() -> std::vector<std::string>& {
            if (w.empty())
                w = SplitWords(args);
            return w;
        };
        auto log = [&](const std::string& op) { qkfxGetCallLog().Add(op, Trim(args)); };
        if (blockOpen != std::string::npos && word != "doc")
            Fail("\"" + word + "\" takes no {block}");

        // The commands of the program's own script files live beside the menu commands.
        if (blockOpen == std::string::npos &&
            (word == "getfile" || word == "getnumber" || word == "open" || word == "import" || word == "export" ||
             word == "save" || word == "doc" || word == "win" || word == "print")) {
            std::string error;
            if (qkRunApplicationCommand(word, words(), &error)) {
                if (!error.empty())
                    Fail(error);
                return true;
            }
        }

        if (word == "type" || word == "ty") {
            std::string text = args;
            int kind = 0;
            for (;;) {
                size_t a = text.find_first_not_of(" \t");
                if (a == std::string::npos || text[a] != '-' || a + 2 > text.size())
                    break;
                char o = (char)tolower((unsigned char)text[a + 1]);
                if ((o != 'a' && o != 'b') || (a + 2 < text.size() && !isspace((unsigned char)text[a + 2])))
                    break;
                if (o == 'b') {
                    kind = 1;
                    qkfxGetCallLog().Add("type -b", Trim(text.substr(a + 2)));
                }
                text = text.substr(a + 2);
            }
            text = Trim(text);
            // A text in double quotes prints without them, as in every other place
            // where a script gives a literal text.
            if (text.size() >= 2 && text.front() == '"' && text.find('"', 1) == text.size() - 1)
                text = text.substr(1, text.size() - 2);
            self->Print(text, kind);
            return true;
        }
        if (word == "doc") {
            std::vector<std::string>& a = words();
            if (a.size() == 2 && Same(a[0], "-e") && Same(a[1], "D") && blockOpen != std::string::npos) {
                ForEachPlottedDataset(src, blockOpen, blockClose);
                return true;
            }
            Fail("doc knows -n, -uw and -e D {...}");
        }
        if (word == "win") {
            Win(words());
            return true;
        }
        if (word == "page" && !(words().size() == 1 && Same(words()[0], "-r"))) {
            GraphCommand(word, words());
            return true;
        }
        // The lone `l` the page control's command text ends with ("Page;l").
        if (word == "l" && words().empty())
            return true;
        if (word == "layer" || word == "set" || word == "label" || word == "axis" || word == "newfunction" ||
            word == "getenumwin" || word == "layout") {
            GraphCommand(word, words());
            return true;
        }
        if (word == "draw" || word == "mask" || word == "legend" || word == "datapoints" ||
            (word == "page" && words().size() == 1 && Same(words()[0], "-r"))) {
            std::string error;
            if (!qkRunObjectCommand(word, words(), &error))
                Fail(error);
            return true;
        }
        if (word == "worksheet" || word == "wo") {
            Worksheet(words());
            return true;
        }
        if (word == "matrix") {
            std::vector<std::string>& a = words();
            if (!a.empty() && Same(a[0], "-p")) {
                GraphCommand("matrix", a);
                return true;
            }
            if (a.size() == 4 && Same(a[0], "-ps") && Same(a[1], "dim")) {
                CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
                if (!m)
                    Fail("matrix: there is no active matrix");
                double rows = ToNum(Eval(a[2])), cols = ToNum(Eval(a[3]));
                if (rows != (int)rows || cols != (int)cols || !m->SetDimensions((int)rows, (int)cols))
                    Fail("matrix: cannot size " + m->GetName() + " " + a[2] + " x " + a[3]);
                return true;
            }
            CQKMatrixPage* m = qkfxGetProject().GetActiveMatrix();
            if (!a.empty() && m == nullptr)
                Fail("matrix: there is no active matrix");
            std::string why;
            if (a.size() == 2 && Same(a[0], "-e")) {
                // The dialogs' own answers: 0 when a value was refused (the dialog said why).
                if (Same(a[1], "properties"))
                    m->OnEditProperties(0);
                else if (Same(a[1], "dimensions"))
                    m->OnEditDimensions();
                else if (Same(a[1], "values"))
                    m->EditMatrixValues();
                else
                    Fail("matrix -e knows properties, dimensions and values");
                return true;
            }
            if (a.size() == 1 && Same(a[0], "-t")) {
                m->Transpose();
                return true;
            }
            if (a.size() == 1 && Same(a[0], "-i")) {
                if (!m->Invert(&why))
                    Fail("matrix -i: " + why);
                return true;
            }
            if (a.size() == 3 && (Same(a[0], "-x") || Same(a[0], "-s"))) {
                double cf = ToNum(Eval(a[1])), rf = ToNum(Eval(a[2]));
                bool expand = Same(a[0], "-x");
                if (cf != (int)cf || rf != (int)rf || cf < 1 || rf < 1 || cf > QK_MAX_ROWS || rf > QK_MAX_ROWS ||
                    !(expand ? m->Expand((int)cf, (int)rf) : m->Shrink((int)cf, (int)rf)))
                    Fail("matrix " + a[0] + ": cannot " + (expand ? "expand " : "shrink ") + m->GetName() + " by " + a[1] +
                         " x " + a[2] + " (" + std::to_string(m->GetRows()) + " rows, " + std::to_string(m->GetCols()) +
                         " columns)");
                return true;
            }
            if (a.size() == 2 && Same(a[0], "-sm")) {
                const double size = ToNum(Eval(a[1]));
                if (size != floor(size) || size < -1e9 || size > 1e9)
                    why = "the smoothing block must be an odd number of cells from 3 to 99, not " + a[1];
                if (!why.empty() || !m->Smooth((int)size, &why))
                    Fail("matrix -sm: " + why);
                return true;
            }
            if (a.size() == 1 && Same(a[0], "-in")) {
                double volume = 0;
                if (!m->Integrate(&volume, &why))
                    Fail("matrix -in: " + why);
                // The answer for scripts, and for the user in the Results Log.
                self->SetVariable("volume", volume);
                self->Print(m->GetName() + ": volume " + qkFormatNumber(volume) + " over X " + qkFormatNumber(m->m_x1) +
                            " to " + qkFormatNumber(m->m_x2) + ", Y " + qkFormatNumber(m->m_y1) + " to " +
                            qkFormatNumber(m->m_y2));
                return true;
            }
            if (a.size() == 1 && (Same(a[0], "-c") || Same(a[0], "-xyz"))) {
                if (!m->ConvertToWorksheet(Same(a[0], "-xyz")))
                    Fail("matrix " + a[0] + ": no worksheet could be made");
                return true;
            }
            if (a.size() == 2 && Same(a[0], "-v")) {
                if (!m->SetValuesFromExpression(0, m->GetRows(), 0, m->GetCols(), a[1], &why))
                    Fail("matrix -v: " + why);
                return true;
            }
            Fail("matrix knows -ps dim <rows> <columns>, -p <template> <type>, -e properties|dimensions|values, -t, -i, "
                 "-x <columns> <rows>, -s <columns> <rows>, -sm <block>, -in, -v <formula>, -c and -xyz");
        }
        if (word == "del") {
            std::vector<std::string>& a = words();
            if (a.empty())
                Fail("del needs a name");
            if (Same(a[0], "-v")) {
                for (size_t i = 1; i < a.size(); ++i)
                    self->DeleteVariables(a[i]);
                return true;
            }
            for (const std::string& name : a) {
                if (IsOption(name))
                    Fail("del knows -v");
                qkfxGetProject().DeleteDataset(name); // deleting what is not there is no error
            }
            return true;
        }
        if (word == "edit") {
            std::vector<std::string>& a = words();
            if (a.size() == 1 && Same(a[0], "-color")) {
                qkfxGetAccess()->OnColorPaletteDialog();
                return true;
            }
        }
        if (word == "rescale") {
            CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
            if (!graph || !graph->GetActiveLayer())
                Fail("rescale: there is no active graph layer");
            qkfxRescaleLayer(graph->GetActiveLayer(), TRUE);
            return true;
        }
        // Commands whose effect is the user interface's (dialogs, drawing, printing).
        static const char* const uiCommands[] = {"edit", "clr", "hidemarker"};
        for (const char* c : uiCommands)
            if (word == c) {
                log(c);
                return true;
            }
        return false;
    }

    void Win(const std::vector<std::string>& a)
    {
        CQKProject& project = qkfxGetProject();
        if (a.size() >= 2 && Same(a[0], "-a")) {
            CQKPage* page = project.FindPage(a[1]);
            if (!page)
                Fail("win -a: there is no window \"" + a[1] + "\"");
            project.SetActivePage(page);
            return;
        }
        if (a.size() >= 2 && (Same(a[0], "-t") || Same(a[0], "-tx"))) {
            std::string kind = Lower(a[1]);
            QKPageType type;
            if (Same(a[0], "-tx"))
                type = QK_PAGE_EXCEL;
            else if (kind == "wks" || kind == "data" || kind == "worksheet")
                type = QK_PAGE_WKS;
            else if (kind == "plot" || kind == "graph")
                type = QK_PAGE_GRAPH;
            else if (kind == "matrix")
                type = QK_PAGE_MATRIX;
            else if (kind == "layout")
                type = QK_PAGE_LAYOUT;
            else
                Fail("win -t: unknown window kind \"" + a[1] + "\"");
            std::string templ = a.size() >= 3 ? a[2] : std::string();
            std::string name = a.size() >= 4 ? a[3] : std::string();
            if (a.size() > 4)
                Fail("win -t takes a kind, a template and a name");
            qkfxGetCallLog().Add("win -t", a[1] + (templ.empty() ? "" : " " + templ) + (name.empty() ? "" : " " + name));
            CQKPage* page;
            std::string error;
            if (templ.empty() || type == QK_PAGE_EXCEL || type == QK_PAGE_LAYOUT) {
                page = project.CreatePage(type, name);
                if (!page)
                    Fail("win -t: \"" + name + "\" is not a free window name");
                page->SetTemplateName(templ);
            } else if (!(page = qkfxNewPageFromTemplate(type, templ, name, &error))) {
                Fail("win -t: " + error);
            }
            // The window is the user interface's; without one the page stays window-less.
            qkfxGetAccess()->OnInternalNewPage(page, TRUE);
            return;
        }
        if (a.size() >= 2 && Same(a[0], "-n")) {
            std::string name = a.size() >= 3 ? a[2] : std::string();
            CQKPage* page = project.CreatePage(QK_PAGE_NOTES, name);
            if (!page)
                Fail("win -n: \"" + name + "\" is not a free window name");
            qkfxGetAccess()->OnInternalNewPage(page, TRUE);
            return;
        }
        Fail("win knows -t <kind> [template [name]], -tx, -n, -a <name> and -d");
    }

    void Worksheet(const std::vector<std::string>& a)
    {
        if (a.size() >= 2 && Same(a[0], "-a")) {
            CQKWksPage* wks = ActiveWks("worksheet -a");
            std::string count;
            for (size_t i = 1; i < a.size(); ++i)
                count += a[i] + " ";
            double n = ToNum(Eval(count));
            if (n < 0 || n > 4096 || n != (int)n)
                Fail("worksheet -a: cannot add " + Trim(count) + " columns");
            for (int i = 0; i < (int)n; ++i)
                wks->AddColumn();
            return;
        }
        if (!a.empty() && Same(a[0], "-p")) {
            GraphCommand("worksheet", a);
            return;
        }
        if (a.size() == 2 && Same(a[0], "-e") && Same(a[1], "f")) {
            // The column format dialog on the first selected column, else the active one.
            CQKWksPage* wks = ActiveWks("worksheet -e f");
            int column = wks->m_selC1 >= 1 ? wks->m_selC1 : wks->GetActiveColumn();
            if (wks->GetColumn(column) == nullptr)
                Fail("worksheet -e f: the worksheet " + wks->GetName() + " has no column");
            if (!wks->ColumnFormatDialog(column))
                qkfxGetCallLog().Add("worksheet -e", "f");
            return;
        }
        if (a.size() == 2 && Same(a[0], "-e") && Same(a[1], "script")) {
            CQKWksPage* wks = ActiveWks("worksheet -e script");
            if (!wks->WorksheetScriptDialog())
                qkfxGetCallLog().Add("worksheet -e", "script");
            return;
        }
        if (!a.empty() && Same(a[0], "-e")) {
            qkfxGetCallLog().Add("worksheet -e", a.size() > 1 ? a[1] : std::string());
            return;
        }
        if (!a.empty() && Same(a[0], "-m")) {
            ConvertToMatrix(a);
            return;
        }
        Fail("worksheet knows -a <n>, -p <template> <type>, -e and -m <method>");
    }

    // worksheet -m direct | expand <columns> | bin <x bins> <y bins> | regular | random
    // <columns> <rows>: the active worksheet's selection into a new matrix.
    void ConvertToMatrix(const std::vector<std::string>& a)
    {
        CQKWksPage* wks = ActiveWks("worksheet -m");
        auto count = [&](size_t i) {
            double n = ToNum(Eval(a[i]));
            if (n != n || n != (int)n || n < 1 || n > QK_MAX_ROWS)
                Fail("worksheet -m " + a[1] + ": " + a[i] + " is no count");
            return (int)n;
        };
        std::string why;
        CQKMatrixPage* m = nullptr;
        if (a.size() == 2 && Same(a[1], "direct"))
            m = wks->ConvertToMatrixDirect(&why);
        else if (a.size() == 3 && Same(a[1], "expand"))
            m = wks->ConvertToMatrixExpand(count(2), &why);
        else if (a.size() == 4 && Same(a[1], "bin"))
            m = wks->ConvertToMatrixBinned(count(2), count(3), &why);
        else if (a.size() == 2 && Same(a[1], "regular"))
            m = wks->ConvertToMatrixRegular(&why);
        else if (a.size() == 4 && Same(a[1], "random"))
            m = wks->ConvertToMatrixRandom(count(2), count(3), &why);
        else
            Fail("worksheet -m knows direct, expand <columns>, bin <x bins> <y bins>, regular and random "
                 "<columns> <rows>");
        if (m == nullptr) {
            // The user chose the conversion from a menu: the reason goes before their eyes,
            // not only into the Results Log.
            std::string message = wks->GetName() + " was not converted: " + why;
            HWND main = qkfxGetAccess()->GetMainFrame();
            if (main != nullptr && IsWindow(main))
                qkfxGetAccess()->DoMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
            Fail(message);
        }
    }

    // The graph commands work on the project's tree (GraphCommands.cpp).
    void GraphCommand(const std::string& command, const std::vector<std::string>& words)
    {
        std::string error;
        if (!qkRunGraphCommand(*self, command, words, &error))
            Fail(error);
    }

    // doc -e D {block}: runs the block once for each dataset plotted in any graph, with
    // %C naming it.
    void ForEachPlottedDataset(const Source& src, size_t open, size_t close)
    {
        std::vector<std::string> names = qkListPlottedDatasets();
        std::string saved = regs[2];
        for (const std::string& n : names) {
            if (qkIsAbortRequested())
                Fail("the script was stopped");
            regs[2] = n;
            Flow f = RunRange(src, open + 1, close, false);
            if (f == FLOW_BREAK)
                break;
            if (f == FLOW_RETURN)
                Fail("'return' inside doc -e");
        }
        regs[2] = saved;
    }

    // ---- files and sections ----

    std::string FindScriptFile(const std::string& file)
    {
        std::string name = Trim(Unquote(file));
        if (name.empty())
            Fail("run.section needs a file name");
        size_t slash = name.find_last_of("\\/");
        if (name.find('.', slash == std::string::npos ? 0 : slash) == std::string::npos)
            name += ".qgs";
        bool absolute = name.size() > 2 && (name[1] == ':' || name[0] == '\\' || name[0] == '/');
        std::vector<std::string> candidates;
        if (absolute) {
            candidates.push_back(name);
        } else {
            if (!frames.empty() && !frames.back().source->folder.empty())
                candidates.push_back(frames.back().source->folder + "\\" + name);
            candidates.push_back(qkGetProgramFolder() + "\\" + name);
        }
        for (const std::string& c : candidates) {
            DWORD attr = GetFileAttributesA(c.c_str());
            if (attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY))
                return c;
        }
        std::string text;
        if (!absolute && qkFindScriptResource(name, &text))
            return kResourcePrefix + name;
        Fail("cannot find the script file \"" + name + "\"");
    }

    std::shared_ptr<Source> LoadFile(const std::string& path)
    {
        if (path.compare(0, strlen(kResourcePrefix), kResourcePrefix) == 0) {
            auto src = std::make_shared<Source>();
            qkFindScriptResource(path.substr(strlen(kResourcePrefix)), &src->text);
            src->name = path.substr(strlen(kResourcePrefix));
            return src;
        }
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            Fail("cannot open the script file \"" + path + "\"");
        auto src = std::make_shared<Source>();
        char buf[65536];
        DWORD got = 0;
        bool ok = true;
        while ((ok = ReadFile(h, buf, sizeof buf, &got, nullptr)) && got > 0)
            src->text.append(buf, got);
        CloseHandle(h);
        if (!ok)
            Fail("cannot read the script file \"" + path + "\"");
        src->name = path;
        size_t slash = path.find_last_of("\\/");
        src->folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
        return src;
    }

    // Finds the range of a section: after its "[Name]" line up to the next header. An empty
    // name is the text before the first header.
    static bool FindSection(const std::string& t, const std::string& section, size_t* begin, size_t* end)
    {
        bool inSection = section.empty();
        size_t start = 0;
        for (size_t line = 0; line <= t.size();) {
            size_t eol = t.find('\n', line);
            if (eol == std::string::npos)
                eol = t.size();
            std::string l = Trim(t.substr(line, eol - line));
            if (l.size() >= 3 && l.front() == '[' && l.back() == ']' && l.find(']') == l.size() - 1) {
                if (inSection) {
                    *begin = start;
                    *end = line;
                    return true;
                }
                if (_stricmp(Trim(l.substr(1, l.size() - 2)).c_str(), section.c_str()) == 0) {
                    inSection = true;
                    start = eol;
                }
            }
            line = eol + 1;
        }
        if (inSection) {
            *begin = start;
            *end = t.size();
            return true;
        }
        return false;
    }

    void Section(const std::string& file, const std::string& section, const std::vector<std::string>& args,
                 double* result)
    {
        std::shared_ptr<Source> src = LoadFile(FindScriptFile(file));
        RunSourceSection(src, Trim(section), args, result);
    }

    void RunSourceSection(std::shared_ptr<Source> src, const std::string& section,
                          const std::vector<std::string>& args, double* result)
    {
        size_t begin = 0, end = 0;
        if (!FindSection(src->text, section, &begin, &end))
            Fail("the script file \"" + src->name + "\" has no section [" + section + "]");
        if (depth >= kMaxDepth)
            Fail("sections call each other too deeply");
        const Source* savedSource = curSource;
        size_t savedPos = curPos;
        ++depth;
        frames.push_back(Frame{src, args});
        returnValue = 0;
        try {
            Flow f = RunRange(*src, begin, end, false);
            if (f == FLOW_BREAK || f == FLOW_CONTINUE)
                Fail("'break' or 'continue' outside a loop");
            *result = f == FLOW_RETURN ? returnValue : 0;
        } catch (ScriptFail& f) {
            Locate(f);
            frames.pop_back();
            --depth;
            throw;
        } catch (...) {
            frames.pop_back();
            --depth;
            throw;
        }
        frames.pop_back();
        --depth;
        curSource = savedSource;
        curPos = savedPos;
    }

    // Adds the file and line of the failing statement, while its source is still alive.
    void Locate(ScriptFail& f)
    {
        if (f.located || !curSource)
            return;
        f.message = (curSource->name.empty() ? std::string() : curSource->name + ", ") + "line " +
                    std::to_string(LineOf(*curSource, curPos)) + ": " + f.message;
        f.located = true;
    }

    // Runs `body` and turns a failure into the message the caller reports.
    bool Guard(const std::function<void()>& body)
    {
        const Source* savedSource = curSource;
        size_t savedPos = curPos;
        int savedRow = vectorRow;
        int savedNesting = nesting;
        try {
            body();
            curSource = savedSource;
            curPos = savedPos;
            return true;
        } catch (ScriptFail& f) {
            Locate(f);
            self->m_lastError = f.message;
        } catch (const std::bad_alloc&) {
            self->m_lastError = "not enough memory to run the script";
        } catch (const std::exception& e) {
            self->m_lastError = std::string("internal error of the interpreter: ") + e.what();
        }
        curSource = savedSource;
        curPos = savedPos;
        vectorRow = savedRow;
        nesting = savedNesting;
        return false;
    }
};

// ---- CQKScript -------------------------------------------------------------------------

namespace {
// A top-level run is one entry of the Results Log: the next run's text goes under a header
// of its own, naming its time and window.
void EndLogEntry(bool& logged)
{
    if (!logged)
        return;
    logged = false;
    qkfxGetAccess()->OutputLog(QK_LOG_END, 0, 0);
}
} // namespace

CQKScript::CQKScript() : m_impl(std::make_unique<Impl>(this))
{
}

CQKScript::~CQKScript() = default;

bool CQKScript::Execute(const std::string& text, const std::string& sourceName)
{
    auto src = std::make_shared<Source>();
    src->text = text;
    src->name = sourceName;
    Impl& im = *m_impl;
    if (!im.frames.empty())
        src->folder = im.frames.back().source->folder;
    bool ok = im.Guard([&] {
        if (im.depth >= kMaxDepth)
            Fail("scripts call each other too deeply");
        ++im.depth;
        // Top-level text keeps the section arguments of its caller (plug-ins run text
        // from inside a section).
        im.frames.push_back(Frame{src, im.frames.empty() ? std::vector<std::string>() : im.frames.back().args});
        try {
            Flow f = im.RunText(*src);
            if (f == FLOW_BREAK || f == FLOW_CONTINUE)
                Fail("'break' or 'continue' outside a loop");
        } catch (ScriptFail& f) {
            im.Locate(f);
            im.frames.pop_back();
            --im.depth;
            throw;
        } catch (...) {
            im.frames.pop_back();
            --im.depth;
            throw;
        }
        im.frames.pop_back();
        --im.depth;
    });
    if (im.depth == 0) {
        if (!ok)
            Print(m_lastError, 2);
        EndLogEntry(im.logged);
    }
    return ok;
}

bool CQKScript::RunFile(const std::string& path, const std::vector<std::string>& args)
{
    Impl& im = *m_impl;
    bool ok = im.Guard([&] {
        std::shared_ptr<Source> src = im.LoadFile(path);
        size_t begin = 0, end = 0;
        Impl::FindSection(src->text, "", &begin, &end);
        std::string top = src->text.substr(begin, end - begin);
        // A file of sections alone runs its [Main].
        bool blank = true;
        try {
            blank = Trim(top).empty() || Impl::SkipSpace(top, 0, top.size(), true) == top.size();
        } catch (const ScriptFail&) {
            blank = false;
        }
        double result = 0;
        im.RunSourceSection(src, blank && Impl::FindSection(src->text, "Main", &begin, &end) ? "Main" : "",
                            args, &result);
    });
    if (!ok)
        Print(m_lastError, 2);
    if (im.depth == 0)
        EndLogEntry(im.logged);
    return ok;
}

bool CQKScript::RunSection(const std::string& file, const std::string& section,
                           const std::vector<std::string>& args, double* result)
{
    double r = 0;
    bool ok = m_impl->Guard([&] { m_impl->Section(file, section, args, &r); });
    if (result)
        *result = r;
    if (m_impl->depth == 0) {
        if (!ok)
            Print(m_lastError, 2);
        EndLogEntry(m_impl->logged);
    }
    return ok;
}

bool CQKScript::Evaluate(const std::string& expression, double* result)
{
    double v = 0;
    if (m_impl->EvaluateCompiled(expression, &v)) {
        if (result)
            *result = v;
        return true;
    }
    bool ok = m_impl->Guard([&] { v = m_impl->ToNum(m_impl->Eval(m_impl->Subst(Trim(expression)))); });
    if (ok && result)
        *result = v;
    return ok;
}

bool CQKScript::EvaluateRows(const std::string& expression, int first, int end, std::vector<double>* values)
{
    Impl& im = *m_impl;
    values->clear();
    const QKVariable* old = FindVariable("i");
    const bool hadI = old != nullptr;
    const QKVariable kept = hadI ? *old : QKVariable();
    bool ok = im.Guard([&] {
        const std::string text = im.Subst(Trim(expression));
        if (text.empty())
            Fail("the formula is empty");
        values->reserve((size_t)std::max(0, end - first));
        for (int r = first; r < end; ++r) {
            SetVariable("i", r + 1.0);
            im.vectorRow = r;
            values->push_back(im.ToNum(im.Eval(text)));
        }
        im.vectorRow = -1;
    });
    if (hadI)
        SetVariable("i", kept.value, kept.kind, kept.index);
    else
        DeleteVariables("i");
    return ok;
}

bool CQKScript::Substitute(const std::string& text, std::string* result)
{
    std::string r;
    bool ok = m_impl->Guard([&] { r = m_impl->Subst(text); });
    if (ok)
        *result = r;
    return ok;
}

int CQKScript::PrepareExpression(const std::string& expression)
{
    Impl& im = *m_impl;
    if (Trim(expression).empty())
        return 0;
    auto it = im.preparedByText.find(expression);
    if (it != im.preparedByText.end())
        return it->second;
    im.prepared.push_back(Impl::Prepared{expression, qkcompiled::Expression::Compile(expression)});
    return im.preparedByText[expression] = (int)im.prepared.size();
}

bool CQKScript::EvaluatePrepared(int handle, double* result)
{
    Impl& im = *m_impl;
    if (handle < 1 || handle > (int)im.prepared.size())
        return false;
    Impl::Prepared& p = im.prepared[handle - 1];
    double v;
    if (im.compilation && p.compiled && p.compiled->Run(im.store, im.nesting, &v)) {
        if (result)
            *result = v;
        return true;
    }
    // A copy: what the interpreter runs may prepare formulas and move the list.
    const std::string text = p.text;
    return Evaluate(text, result);
}

bool CQKScript::EvaluatePreparedRows(int handle, int nColumns, const int* slots, const double* const* columns,
                                     int rows, double* out, int* done)
{
    Impl& im = *m_impl;
    if (done)
        *done = 0;
    if (handle < 1 || handle > (int)im.prepared.size() || rows < 0 || nColumns < 0 || (nColumns && (!slots || !columns)))
        return false;
    for (int c = 0; c < nColumns; ++c)
        if (slots[c] < 1 || slots[c] > (int)im.slots.size() || !columns[c])
            return false;
    if (rows == 0)
        return true;
    // Each column's variable, made when it does not exist, as its first row would make it.
    auto variable = [&](int c, double first) {
        Impl::Slot& slot = im.slots[slots[c] - 1];
        if (!slot.var)
            SetVariableBySlot(slots[c], first);
        return slot.var;
    };
    Impl::Prepared* p = &im.prepared[handle - 1];
    if (im.compilation && p->compiled) {
        // A fit's few columns need no allocation.
        QKVariable* few[8];
        std::vector<QKVariable*> many(nColumns > 8 ? nColumns : 0);
        QKVariable** vars = nColumns > 8 ? many.data() : few;
        for (int c = 0; c < nColumns; ++c)
            vars[c] = variable(c, columns[c][0]);
        if (p->compiled->RunRows(im.store, im.nesting, nColumns, vars, columns, rows, out)) {
            for (int c = 0; c < nColumns; ++c)
                vars[c]->value = columns[c][rows - 1];
            if (done)
                *done = rows;
            return true;
        }
    }
    // Row by row: what the interpreter runs may delete variables, so each row finds them again.
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < nColumns; ++c)
            variable(c, columns[c][r])->value = columns[c][r];
        if (!EvaluatePrepared(handle, &out[r]))
            return false;
        if (done)
            *done = r + 1;
    }
    return true;
}

void CQKScript::SetCompilation(bool on)
{
    m_impl->compilation = on;
}

bool CQKScript::IsCompilable(const std::string& expression)
{
    return qkcompiled::Expression::Compile(expression) != nullptr;
}

int CQKScript::GetVariableSlot(const std::string& name)
{
    Impl& im = *m_impl;
    std::string upper = Upper(name);
    auto it = im.slotsByName.find(upper);
    if (it != im.slotsByName.end())
        return it->second;
    im.slots.push_back(Impl::Slot{name, nullptr});
    return im.slotsByName[upper] = (int)im.slots.size();
}

bool CQKScript::SetVariableBySlot(int slot, double value, double kind, double index)
{
    Impl& im = *m_impl;
    if (slot < 1 || slot > (int)im.slots.size())
        return false;
    Impl::Slot& s = im.slots[slot - 1];
    if (!s.var) {
        SetVariable(s.name, value, kind, index);
        s.var = &im.vars[Upper(s.name)];
        return true;
    }
    s.var->value = value;
    s.var->kind = kind;
    s.var->index = index;
    return true;
}

void CQKScript::SetVariable(const std::string& name, double value, double kind, double index)
{
    auto inserted = m_impl->vars.emplace(Upper(name), QKVariable());
    if (inserted.second)
        ++m_impl->store.generation; // a new name: compiled code resolves its names again
    QKVariable& v = inserted.first->second;
    v.value = value;
    v.kind = kind;
    v.index = index;
}

bool CQKScript::GetVariable(const std::string& name, double* value) const
{
    const QKVariable* v = m_impl->FindVar(name);
    if (!v)
        return false;
    if (value)
        *value = v->value;
    return true;
}

const QKVariable* CQKScript::FindVariable(const std::string& name) const
{
    return m_impl->FindVar(name);
}

int CQKScript::DeleteVariables(const std::string& pattern)
{
    std::string p = Upper(pattern);
    int n = 0;
    for (auto it = m_impl->vars.begin(); it != m_impl->vars.end();) {
        bool match = Glob(it->first.c_str(), p.c_str());
        if (match) {
            it = m_impl->vars.erase(it);
            ++n;
        } else {
            ++it;
        }
    }
    if (n > 0)
        m_impl->VariablesDeleted();
    return n;
}

bool CQKScript::IsReservedName(const std::string& name) const
{
    for (const char* c : kCommandNames)
        if (Same(name, c))
            return true;
    for (const char* h : kHookNames)
        if (Same(name, h))
            return true;
    for (const char* o : kKernelObjects)
        if (Same(name, o))
            return true;
    for (const FunctionDef& f : Functions())
        if (Same(name, f.name))
            return true;
    if (qkIsPluginObject(name))
        return true;
    std::string u = Upper(name);
    if (u == "PI" || u == "COUNT")
        return true;
    return u.size() == 2 && strchr("XYZ", u[0]) && u[1] >= '1' && u[1] <= '4';
}

bool CQKScript::SetStringVar(int index, const std::string& text)
{
    if (index < 0 || index >= 26 || index == 'H' - 'A')
        return false;
    m_impl->regs[index] = text;
    return true;
}

bool CQKScript::GetStringVar(int index, std::string* text) const
{
    if (index < 0 || index >= 26)
        return false;
    if (index == 'H' - 'A') {
        CQKPage* page = qkfxGetProject().GetActivePage();
        *text = page ? page->GetName() : std::string();
    } else if (index == 'C' - 'A' && m_impl->regs[index].empty()) {
        // Outside `doc -e D` the current dataset is the active graph layer's first data
        // plot, the one the graph's menu commands (Plot Details: "set %C") work on.
        text->clear();
        CQKGraphPage* graph = qkfxGetProject().GetActiveGraph();
        if (CQKGraphicLayer* layer = graph ? graph->GetActiveLayer() : nullptr)
            for (int i = 0; i < layer->GetNumPlots() && text->empty(); ++i) {
                CQKPlotObj* plot = layer->PlotObjByIndex(i, 1);
                if (!plot->IsErrorBarPlot())
                    *text = plot->GetDataSetName();
            }
    } else {
        *text = m_impl->regs[index];
    }
    return true;
}

bool CQKScript::GetTableString(const std::string& sectionDotKey, std::string* text) const
{
    for (const TableString& s : kStringTable)
        if (Same(sectionDotKey, s.key)) {
            *text = s.text;
            return true;
        }
    return false;
}

void CQKScript::SetOutput(QKOutputProc proc, void* user)
{
    m_impl->output = proc;
    m_impl->outputUser = user;
}

void CQKScript::GetOutput(QKOutputProc* proc, void** user) const
{
    *proc = m_impl->output;
    *user = m_impl->outputUser;
}

void CQKScript::Print(const std::string& text, int kind)
{
    qkfxGetProject().AppendResultsLog(text + "\r\n");
    if (m_impl->output) {
        m_impl->output(text.c_str(), kind, m_impl->outputUser);
        return;
    }
    // In the application the Results Log takes what scripts print, errors included.
    std::string line = text + "\r\n";
    if (qkfxGetAccess()->OutputLog(QK_LOG_APPEND, (LPARAM)qkfxGetProject().GetActivePage(), (LPARAM)line.c_str())) {
        m_impl->logged = true;
        return;
    }
    FILE* f = kind == 2 ? stderr : stdout;
    fprintf(f, "%s\n", text.c_str());
    fflush(f);
}

void CQKScript::Reset()
{
    m_impl->Reset();
}

CQKScript& qkfxGetScript()
{
    static CQKScript script;
    return script;
}

int qkfxGetFunctionCount()
{
    return (int)Functions().size();
}

const char* qkfxGetFunctionName(int i)
{
    return i >= 0 && i < qkfxGetFunctionCount() ? Functions()[i].name : "";
}

const char* qkfxGetFunctionDescription(int i)
{
    return i >= 0 && i < qkfxGetFunctionCount() ? Functions()[i].description : "";
}

const char* qkfxGetFunctionText(int i)
{
    return i >= 0 && i < qkfxGetFunctionCount() ? Functions()[i].text : "";
}

void qkfxSubstituteScrivexString(std::string& result, const char* text, int)
{
    if (!qkfxGetScript().Substitute(text ? text : "", &result))
        result = text ? text : "";
}

std::string qkFormatNumber(double value, int digits)
{
    if (IsMissingValue(value))
        return "--";
    char buf[64];
    int d = 1;
    for (; d < digits; ++d) {
        snprintf(buf, sizeof buf, "%.*g", d, value);
        if (strtod(buf, nullptr) == value)
            break;
    }
    // Whole numbers below 1e15 are written out ("50", not "5e+01").
    int exponent = value == 0 ? 0 : (int)floor(log10(fabs(value)));
    if (exponent >= 0 && exponent < 15 && d < exponent + 1)
        d = exponent + 1;
    snprintf(buf, sizeof buf, "%.*g", d, value);
    return buf;
}
