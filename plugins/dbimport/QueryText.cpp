#include "QueryText.h"

#include <ctype.h>
#include <string.h>

#include <algorithm>

#include "OdbcAccess.h"
#include "QodbcObject.h"

const char kSortAscending[] = "Ascending";
const char kSortDescending[] = "Descending";

namespace {

std::string TrimLeft(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    return b == std::string::npos ? std::string() : s.substr(b);
}

std::string TrimRight(const std::string& s)
{
    size_t e = s.find_last_not_of(" \t\r\n");
    return e == std::string::npos ? std::string() : s.substr(0, e + 1);
}

std::string Trim(const std::string& s)
{
    return TrimRight(TrimLeft(s));
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return s;
}

bool SameText(const std::string& a, const std::string& b)
{
    return _stricmp(a.c_str(), b.c_str()) == 0;
}

bool HasOperator(const std::string& s)
{
    return s.find_first_of("=<>") != std::string::npos;
}

// A typed criterion as SQL: "=" when it has no operator, and its double-quoted operand as
// an SQL literal in single quotes, apostrophes inside doubled.
std::string CriterionSql(std::string c)
{
    if (!HasOperator(c))
        c = "=" + c;
    size_t open = c.find('"');
    if (open == std::string::npos)
        return c;
    size_t close = c.find('"', open + 1);
    if (close == std::string::npos) {
        c[open] = '\'';
        return c;
    }
    std::string inner;
    for (size_t i = open + 1; i < close; ++i) {
        inner += c[i];
        if (c[i] == '\'')
            inner += '\'';
    }
    return c.substr(0, open) + "'" + inner + "'" + c.substr(close + 1);
}

// The reverse: a literal in single quotes back into double quotes, doubled apostrophes
// made single again.
std::string CriterionFromSql(const std::string& c)
{
    size_t open = c.find('\'');
    if (open == std::string::npos)
        return c;
    std::string inner;
    size_t i = open + 1;
    for (; i < c.size(); ++i) {
        if (c[i] == '\'') {
            if (i + 1 < c.size() && c[i + 1] == '\'') {
                inner += '\'';
                ++i;
                continue;
            }
            break;
        }
        inner += c[i];
    }
    std::string after = i < c.size() ? c.substr(i + 1) : std::string();
    return c.substr(0, open) + "\"" + inner + "\"" + after;
}

std::string Clause(const std::vector<QueryRow>& rows, std::string QueryRow::*cell)
{
    std::string clause;
    for (const QueryRow& r : rows) {
        if ((r.*cell).empty())
            continue;
        if (!clause.empty())
            clause += " AND ";
        clause += DbQuoteName(r.name.c_str()) + CriterionSql(r.*cell);
    }
    return clause;
}

// The double-quoted names of a text, in order (a doubled quote inside a name is one).
std::vector<std::string> QuotedNames(const std::string& text)
{
    std::vector<std::string> names;
    size_t i = 0;
    while ((i = text.find('"', i)) != std::string::npos) {
        std::string name;
        size_t j = i + 1;
        for (; j < text.size(); ++j) {
            if (text[j] == '"') {
                if (j + 1 < text.size() && text[j + 1] == '"') {
                    name += '"';
                    ++j;
                    continue;
                }
                break;
            }
            name += text[j];
        }
        names.push_back(name);
        i = j + 1;
    }
    return names;
}

QueryRow* FindRow(std::vector<QueryRow>& rows, const std::string& name)
{
    for (QueryRow& r : rows)
        if (SameText(r.name, name))
            return &r;
    return nullptr;
}

// One criteria line ("WHERE ..." or "OR ...") into `cell` of the rows it names.
void FillCriteria(std::vector<QueryRow>& rows, const std::string& line, std::string QueryRow::*cell)
{
    size_t i = line.find('"');
    while (i != std::string::npos) {
        size_t end = i + 1;
        while (end < line.size()) {
            if (line[end] == '"' && !(end + 1 < line.size() && line[end + 1] == '"'))
                break;
            end += line[end] == '"' ? 2 : 1;
        }
        std::string name = QuotedNames(line.substr(i, end - i + 1)).front();
        // Criteria hold no double quotes once written, so the next one starts a name.
        size_t next = line.find('"', end + 1);
        std::string criterion = Trim(line.substr(end + 1, next == std::string::npos ? std::string::npos : next - end - 1));
        if (next != std::string::npos && criterion.size() >= 3 && Upper(criterion.substr(criterion.size() - 3)) == "AND")
            criterion = TrimRight(criterion.substr(0, criterion.size() - 3));
        if (QueryRow* r = FindRow(rows, name))
            r->*cell = CriterionFromSql(criterion);
        i = next;
    }
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t lf = text.find('\n', start);
        lines.push_back(Trim(text.substr(start, lf == std::string::npos ? std::string::npos : lf - start)));
        if (lf == std::string::npos)
            break;
        start = lf + 1;
    }
    return lines;
}

bool StartsWith(const std::string& s, const char* prefix)
{
    return Upper(s).compare(0, strlen(prefix), prefix) == 0;
}

std::string SlotName(int slot)
{
    return std::string("SQL") + static_cast<char>('0' + slot);
}

INT_PTR Storage()
{
    QmWindowRecord record = {};
    record.a = 0;
    record.b = -1;
    return QmCallHost(HOST_FIND_WINDOW, reinterpret_cast<INT_PTR>(&record), reinterpret_cast<INT_PTR>(""));
}

bool Contains(QmStringVector& list, const std::string& item)
{
    for (int i = 0; i <= list.lastIndex; ++i)
        if (SameText(static_cast<const char*>(list.ItemAt(i)), item))
            return true;
    return false;
}

} // namespace

void NormaliseCriterion(std::string& text)
{
    if (text.empty() || text.find('"') != std::string::npos)
        return;
    std::string t = Trim(text);
    size_t op = t.find_first_not_of("<>=");
    std::string oper = t.substr(0, op == std::string::npos ? t.size() : op);
    std::string operand = op == std::string::npos ? std::string() : Trim(t.substr(op));
    bool number = operand.find_first_not_of("0123456789.") == std::string::npos;
    text = oper + (number ? operand : "\"" + operand + "\"");
}

std::string BuildQueryText(const std::vector<QueryRow>& rows, const char* table)
{
    std::string list;
    for (const QueryRow& r : rows) {
        if (!r.import)
            continue;
        if (!list.empty())
            list += ",";
        list += DbQuoteName(r.name.c_str());
    }
    std::string text = "SELECT " + (list.empty() ? std::string("*") : list) + " FROM " + DbQuoteName(table);
    std::string where = Clause(rows, &QueryRow::criteria);
    std::string alternative = Clause(rows, &QueryRow::orCriteria);
    // An OR line with no WHERE before it would not be SQL: alone it is the condition.
    if (where.empty() && !alternative.empty()) {
        where = alternative;
        alternative.clear();
    }
    if (!where.empty())
        text += "\r\nWHERE " + where;
    if (!alternative.empty())
        text += "\r\n OR " + alternative;
    for (const QueryRow& r : rows) {
        if (r.sort.empty())
            continue;
        text += "\r\nORDER BY " + DbQuoteName(r.name.c_str());
        if (SameText(r.sort, kSortDescending))
            text += " DESC";
        break;
    }
    return text;
}

int ParseQuery(std::vector<QueryRow>& rows, const char* query, const char* table, const char* source,
               QmDBdatabase& database)
{
    QmStringVector names(64, 5);
    QmMemObjInt count;
    if (database.ListColumns(names, count, source, table, "", "") != 0)
        return 0;
    rows.clear();
    for (int i = 0; i <= names.lastIndex; ++i) {
        QueryRow r;
        r.name = static_cast<const char*>(names.ItemAt(i));
        rows.push_back(r);
    }

    std::vector<std::string> lines = Lines(query ? query : "");
    const std::string& first = lines[0];
    size_t from = Upper(first).find("FROM");
    std::string list = first.substr(0, from == std::string::npos ? first.size() : from);
    list = list.size() > 6 ? Trim(list.substr(6)) : std::string();
    // Marks go by whole names, so a column ID is not marked by a selected PRODUCTID.
    if (list.find('*') == std::string::npos || list.find('"') != std::string::npos) {
        std::vector<std::string> chosen = QuotedNames(list);
        if (chosen.empty()) {
            size_t start = 0;
            while (start <= list.size()) {
                size_t comma = list.find(',', start);
                chosen.push_back(Trim(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start)));
                if (comma == std::string::npos)
                    break;
                start = comma + 1;
            }
        }
        for (QueryRow& r : rows)
            r.import = std::any_of(chosen.begin(), chosen.end(),
                                   [&](const std::string& n) { return SameText(n, r.name); });
    }

    bool where = false, alternative = false, sorted = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (StartsWith(line, "WHERE") && !where) {
            FillCriteria(rows, line.substr(5), &QueryRow::criteria);
            where = true;
        } else if (StartsWith(line, "OR ") && where && !alternative) {
            FillCriteria(rows, line.substr(3), &QueryRow::orCriteria);
            alternative = true;
        } else if (StartsWith(line, "ORDER BY") && !sorted) {
            std::vector<std::string> by = QuotedNames(line.substr(8));
            if (!by.empty())
                if (QueryRow* r = FindRow(rows, by.front()))
                    r->sort = Upper(line).find("DESC") != std::string::npos ? kSortDescending : kSortAscending;
            sorted = true;
        }
    }
    return 1;
}

int SaveQuery(QmODBC& root, int slot)
{
    if (slot < 0 || slot > 9)
        return 1;
    if (!root.m_dbSource.HasText() || !root.m_dbTable.HasText() || !root.m_dbSql.HasText())
        return 1;
    std::string record = root.m_sqlComment.HasText() ? root.m_sqlComment.text : "//This is the SQL query statement";
    record += "\r\n";
    record += root.m_dbSource.text;
    record += "\r\n";
    record += root.m_dbTable.text;
    record += "\r\n";
    record += root.m_tableType.text ? root.m_tableType.text : "";
    record += "\r\n";
    record += root.m_dbSql.text;
    QmSavedTextWrite write = {Storage(), record.c_str(), 0};
    std::string name = SlotName(slot);
    INT_PTR answer = QmCallHost(HOST_REQ_9601, reinterpret_cast<INT_PTR>(&write),
                                reinterpret_cast<INT_PTR>(name.c_str()), 1);
    return answer == 0 ? 0 : 1;
}

int LoadSavedQuery(QmMethod& method, QmODBC& root, int slot, double* result)
{
    *result = 1;
    if (slot < 0 || slot > 9)
        return 1;
    std::vector<char> buffer(QODBC_SAVED_TEXT_SIZE, '\0');
    QmSavedTextRead read = {Storage(), static_cast<INT_PTR>(buffer.size()), buffer.data()};
    std::string name = SlotName(slot);
    if (QmCallHost(HOST_REQ_9600, reinterpret_cast<INT_PTR>(&read), reinterpret_cast<INT_PTR>(name.c_str()), 1) != 0)
        return 1;
    buffer.back() = '\0';
    std::string text = buffer.data();
    if (text.empty())
        return 1;

    std::string fields[4];
    size_t start = 0;
    for (std::string& field : fields) {
        if (start >= text.size()) {
            start = text.size();
            break;
        }
        size_t lf = text.find('\n', start);
        field = Trim(text.substr(start, lf == std::string::npos ? std::string::npos : lf - start));
        start = lf == std::string::npos ? text.size() : lf + 1;
    }
    root.m_sqlComment.SetText(fields[0].c_str());
    root.m_dbSource.SetText(fields[1].c_str());
    root.m_dbTable.SetText(fields[2].c_str());
    root.m_tableType.SetText(fields[3].c_str());
    root.m_dbSql.SetText(text.substr(start).c_str());

    QmDBdatabase database;
    QmStringVector list(80, 5);
    QmMemObjInt count;
    if (!database.ListSources(list, count, &method))
        return 1;
    if (!Contains(list, fields[1])) {
        method.RecordError(QODBC_ERR_3);
        return 1;
    }
    // A query saved on a view is looked up among the views.
    int kind = SameText(fields[3], "VIEW") ? DB_VIEWS : DB_TABLES;
    if (database.ListTables(list, count, fields[1].c_str(), "", "", kind, nullptr, 0, &method) != 0 ||
        !Contains(list, fields[2])) {
        method.RecordError(QODBC_ERR_2);
        return 1;
    }
    *result = 0;
    std::string sql = root.m_dbSql.text ? root.m_dbSql.text : "";
    if (sql.empty())
        return 0;
    std::string upper = Upper(sql);
    size_t from = upper.find("FROM");
    std::string names = sql.substr(0, from);
    size_t tail = upper.find("WHERE");
    if (tail == std::string::npos)
        tail = upper.find("ORDER BY");
    if (tail != std::string::npos)
        names += sql.substr(tail);
    if (database.ListColumns(list, count, fields[1].c_str(), fields[2].c_str(), "", "", &method) != 0) {
        method.RecordError(QODBC_ERR_1);
        return 1;
    }
    for (const std::string& n : QuotedNames(names)) {
        if (!Contains(list, n)) {
            method.RecordError(QODBC_ERR_1);
            return 1;
        }
    }
    return 0;
}
