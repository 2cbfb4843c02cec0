// Compiled script text: expressions as byte code and statement lists as trees, made once
// per text and kept, so that a formula evaluated for every data point or a loop body run a
// million times touches no strings.
//
// The compiled form is an accelerator, never a second language: it takes only what it can
// run with exactly the interpreter's results (numbers, variables, dataset rows, the
// arithmetic, comparisons and built-in functions of the grammar). Everything else stays
// interpreted: a text that holds substitutions, texts in quotes, object members or other
// functions is not compiled, and a compiled run that meets anything unusual (an undefined
// name, a bad row, a nesting limit) gives up without side effects so that the interpreter
// runs the same text again and says what is wrong, in its own words.
#pragma once

#include <stdint.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "QKScript.h"

class CQKDataset;

namespace qkcompiled {

// The interpreter's variables as compiled code sees them. Variables live in a map whose
// nodes never move, so a resolved name is a pointer until the variable is deleted; the
// generation changes whenever a variable is created or deleted, and compiled code resolves
// its names again when it sees a new generation.
struct VariableStore {
    std::map<std::string, QKVariable> vars; // by upper-cased name
    uint64_t generation = 1;
};

// A name as compiled code refers to it.
struct Name {
    std::string text;  // as written
    std::string upper;
    bool cell = false; // read with a row index: may name a dataset
    enum Kind { UNBOUND, VARIABLE, DATASET, NONE } kind = UNBOUND;
    QKVariable* var = nullptr;
    CQKDataset* dataset = nullptr;
};

struct Instr;

void BindName(Name& n, VariableStore& store);

// One expression in byte code.
class Expression {
public:
    // Null when the text is not one the compiled form takes.
    static std::unique_ptr<Expression> Compile(const std::string& text);

    // Evaluates into *out; false, with nothing changed anywhere, when the interpreter has to
    // run the text instead. `nesting` is how deep the interpreter already is.
    bool Run(VariableStore& store, int nesting, double* out);

    int Nesting() const { return m_nesting; }
    bool UsesDatasets() const { return m_usesDatasets; }

    // Resolves the names again (variables, then datasets for names read by row) and the
    // angle functions for the unit in force.
    void Bind(VariableStore& store);
    // Evaluation with the names as last bound (loops bind once, then run many times).
    bool RunBound(double* out);
    // The angle functions again when the unit changed.
    void BindAngles();
    // Evaluates `rows` rows at once, instruction by instruction over a block of rows: the
    // variables vars[c] read columns[c][r] at row r, every other name its value now. The
    // results are bit for bit those of Run with the variables set row by row. False, with
    // nothing written, when Run would give up (the interpreter then runs it row by row);
    // texts that read dataset rows are left to Run.
    bool RunRows(VariableStore& store, int nesting, int nColumns, QKVariable* const* vars,
                 const double* const* columns, int rows, double* out);

    ~Expression();
    Expression();

private:
    friend struct ExprCompiler;
    std::vector<Instr> m_code;
    std::vector<Name> m_names;
    int m_stack = 0;
    int m_nesting = 0;
    int m_angleUnit = -1; // the unit the angle functions were resolved for; -1 none used
    bool m_usesDatasets = false;
    uint64_t m_generation = 0;
    // RunRows's working lists, kept so that a call allocates nothing: by name its column,
    // its one value, its block, and a short last block's padded copies.
    std::vector<const double*> m_column, m_block;
    std::vector<double> m_value, m_blockValue, m_padded, m_stackRows;
    int m_plainCode = -1; // whether the code takes the plain form; -1 not yet known
};

// An object's method called for its effect, `obj.method(args)`: the parts as written, and
// the interpreter's binding of object and method, made once per run of a program (a loop
// calling a reader once per line finds the object and asks for the method once).
struct MethodCall {
    std::string object, method, args;
    std::string upper; // the method's name as plug-ins receive it
    const void* bound = nullptr;
    uint64_t run = 0; // the run the binding belongs to
};

// Hooks into the interpreter for what compiled statements hand back to it.
class Runner {
public:
    virtual ~Runner() = default;
    // Binds the call's object and method into call.bound; false when the statement is no
    // call of an object's method that the interpreter would make, and it runs it instead.
    virtual bool BindCall(MethodCall& call) = 0;
    // Calls the bound method with the argument text as the interpreter would at `pos`,
    // `nesting` levels deep, failing with the interpreter's error when it fails.
    virtual void Call(const MethodCall& call, size_t pos, int nesting) = 0;
    // Runs the one statement that starts at `pos` (offset into the running text) as the
    // interpreter would, `nesting` levels deep; the flow it ended with.
    virtual int RunStatementAt(size_t pos, size_t end, int nesting) = 0;
    // A simple statement of a for head (start or step), interpreted.
    virtual void RunSimpleText(const std::string& text, size_t statementPos, int nesting) = 0;
    // A condition, interpreted: nonzero when true.
    virtual bool Condition(const std::string& text, size_t statementPos, int nesting) = 0;
    // Where the running statement starts, for error messages.
    virtual void At(size_t pos) = 0;
    // Fails with "the script was stopped" when a stop was requested.
    virtual void CheckStop(size_t pos) = 0;
};

// The interpreter's scanning, so that compiled statements divide a text exactly as the
// interpreter does. Each may throw the interpreter's failure; compiling then gives up.
struct Scanner {
    size_t (*skipSpace)(const std::string& t, size_t pos, size_t end, bool newlines);
    size_t (*findClose)(const std::string& t, size_t open, size_t end);
    size_t (*statementEnd)(const std::string& t, size_t pos, size_t end);
    std::string (*wordAt)(const std::string& t, size_t pos, size_t end);
    // The parts of a for head between its semicolons (three when it is well formed).
    std::vector<std::string> (*forParts)(const std::string& head);
};

struct Stmt;

// A statement list compiled from a text; the statements it cannot take are run by the
// interpreter where they stand. Positions are offsets into that text.
class Program {
public:
    // Null when nothing in the text compiles, or when the interpreter would stop at
    // something in it (it then runs the text as before and says what is wrong).
    static std::unique_ptr<Program> Compile(const std::string& text, const Scanner& scanner);
    // Runs the statements with the interpreter `nesting` levels deep. The flow values are
    // the interpreter's (0 normal, 1 break, 2 continue, 3 return); -1 when the program is
    // too deep to run from there and the interpreter has to run the text.
    int Run(VariableStore& store, Runner& runner, int nesting);
    ~Program();
    Program();

private:
    friend struct StmtCompiler;
    friend struct Exec;
    std::vector<std::unique_ptr<Stmt>> m_body;
    std::vector<Expression*> m_expressions; // every expression of the tree, for binding
    std::vector<Name*> m_targets;           // every assigned name
    int m_maxLevel = 0;
    uint64_t m_bound = 0;
    bool m_usesDatasets = false; // names read or written by row
    uint64_t m_runs = 0;
};

// Texts compiled before, by text; a text that does not compile is remembered as such.
template <class T>
class Cache {
public:
    // Shared, because a running program may run a script that fills the cache anew.
    std::shared_ptr<T> Find(const std::string& key, bool* known)
    {
        auto it = m_map.find(key);
        *known = it != m_map.end();
        return *known ? it->second : nullptr;
    }
    std::shared_ptr<T> Put(const std::string& key, std::unique_ptr<T> value)
    {
        // Scripts that make texts on the fly (substituted loops) must not grow it forever.
        if (m_map.size() >= kLimit)
            m_map.clear();
        return m_map[key] = std::shared_ptr<T>(std::move(value));
    }
    void Clear() { m_map.clear(); }

private:
    static const size_t kLimit = 4096;
    std::unordered_map<std::string, std::shared_ptr<T>> m_map;
};

} // namespace qkcompiled
