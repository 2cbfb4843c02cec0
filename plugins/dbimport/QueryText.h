// Query texts: what the query builder writes from its grid of columns and reads back
// into it, the tidying of a criterion as it is typed, and the saved-query record kept
// by the host under the names SQL0 .. SQL9.
//
// The text the builder writes, lines separated by CR LF, optional lines only when they
// have content:
//   SELECT "a","b" FROM "t"        (SELECT * FROM "t" when no row is marked)
//   WHERE "a"=5 AND "b"='x'        (the criteria)
//    OR "a">7                      (the alternative criteria; alone they form the WHERE)
//   ORDER BY "a" DESC              (the first sorted row)
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class QmDBdatabase;
class QmMethod;
class QmODBC;

// One row of the query grid: a column of the table.
struct QueryRow {
    std::string name;
    bool import = true;
    std::string sort;       // "", "Ascending" or "Descending"
    std::string criteria;   // joined by AND
    std::string orCriteria; // the alternative line, joined by AND
};

extern const char kSortAscending[];
extern const char kSortDescending[];

std::string BuildQueryText(const std::vector<QueryRow>& rows, const char* table);

// Fills `rows` with the columns of `table` in `source` and the marks, criteria and sort
// of `query`. 1 when filled, 0 when the columns could not be listed.
int ParseQuery(std::vector<QueryRow>& rows, const char* query, const char* table, const char* source,
               QmDBdatabase& database);

// Tidies a criterion as typed: an operator (a run of < > =) and an operand, the operand in
// double quotes unless it is a plain number. Texts already holding a quote stay as typed.
void NormaliseCriterion(std::string& text);

// ---- Saved queries -------------------------------------------------------------------------

// The record lives in the host under the slot's name ("SQL0" .. "SQL9"), through
// HOST_REQ_9600 and HOST_REQ_9601 (QmHost.h).

// Room for a saved record when it is read back, so that a long query comes back whole.
enum { QODBC_SAVED_TEXT_SIZE = 65536 };

// SAVESQL: 0 stored, 1 not (a slot outside 0..9, a missing source, table or query, or
// the host refused).
int SaveQuery(QmODBC& root, int slot);
// LOADSQL: 0 loaded and checked (*result := 0), 1 not; errors under `method`'s name.
int LoadSavedQuery(QmMethod& method, QmODBC& root, int slot, double* result);
