// Saved queries of the database plug-in, as a project brings them back: the query record
// of a project file holds the input, and LOADSQL reads it. A query it takes comes back the
// same after SAVESQL and LOADSQL again.
#include "Fuzz.h"

#include <string.h>

#include "QKData.h"
#include "QKFile.h"
#include "QKScript.h"
#include "qxtest/ProjectRecords.h"

namespace {

using qxfuzz::Bytes;

void Quiet(const char*, int, void*) {}

void Fresh()
{
    qkfxGetProject().New();
    CQKScript& s = qkfxGetScript();
    s.Reset();
    s.SetOutput(qxfuzz::Verbose() ? nullptr : &Quiet, nullptr);
}

void PutInt(Bytes& b, DWORD v) { b.insert(b.end(), reinterpret_cast<BYTE*>(&v), reinterpret_cast<BYTE*>(&v) + 4); }

void PutText(Bytes& b, const Bytes& text)
{
    PutInt(b, static_cast<DWORD>(text.size()));
    b.insert(b.end(), text.begin(), text.end());
}

// A project file of one record, the saved query named SQL1 whose text is the input.
Bytes ProjectWithQuery(const Bytes& text)
{
    Bytes fields;
    std::string name = "SQL1";
    PutText(fields, Bytes(name.begin(), name.end()));
    PutText(fields, text);
    Bytes file = {'Q', 'X', 'P', 'F', 1, 0, 1, 0, 0, 0, 0, 0};
    Bytes record = {'Q', 'U', 'R', 'Y', 1, 0, 0, 0};
    PutInt(record, static_cast<DWORD>(4 + fields.size()));
    PutInt(record, 0);
    PutInt(record, static_cast<DWORD>(fields.size()));
    record.insert(record.end(), fields.begin(), fields.end());
    file.insert(file.end(), record.begin(), record.end());
    DWORD body = static_cast<DWORD>(file.size() - 12);
    memcpy(&file[8], &body, 4);
    qxtest::FixRecordChecksums(file, 12, file.size());
    return file;
}

// The text of the first saved query of a project file, as the plug-in wrote it.
bool QueryText(const Bytes& project, Bytes* text)
{
    for (size_t p = 12; p + 28 <= project.size(); ++p)
        if (memcmp(&project[p], "QURY", 4) == 0) {
            DWORD nameLength, textLength;
            memcpy(&nameLength, &project[p + 20], 4);
            size_t at = p + 24 + nameLength;
            if (at + 4 > project.size())
                return false;
            memcpy(&textLength, &project[at], 4);
            if (at + 4 + textLength > project.size())
                return false;
            text->assign(project.begin() + at + 4, project.begin() + at + 4 + textLength);
            return true;
        }
    return false;
}

// What SAVESQL writes for queries on the sample data source, with and without a comment.
void Seeds(std::vector<Bytes>& seeds)
{
    const char* scripts[] = {
        "QODBC.DBSOURCE$ = QuorixSamples; QODBC.DBTABLE$ = readings; QODBC.TABLETYPE$ = TABLE;"
        "QODBC.DBSQL$ = \"SELECT station, temperature FROM readings WHERE temperature > 13 ORDER BY id\";"
        "QODBC.SQLCOMMENT$ = warm stations; QODBC.SAVESQL(1)",
        "QODBC.DBSOURCE$ = QuorixSamples; QODBC.DBTABLE$ = readings; QODBC.DBSQL$ = \"SELECT * FROM readings\";"
        "QODBC.SAVESQL(1)",
    };
    for (const char* script : scripts) {
        Fresh();
        qkfxGetScript().Execute("QODBC.RESET()");
        if (!qkfxGetScript().Execute(script))
            continue;
        Bytes project, text;
        qkfxSaveProjectToMemory(project);
        if (QueryText(project, &text))
            seeds.push_back(text);
    }
}

std::string Member(const char* name)
{
    std::string text;
    qkfxGetScript().Execute(std::string("%Q = QODBC.") + name + "$");
    qkfxGetScript().GetStringVar('Q' - 'A', &text);
    return text;
}

std::string RunSavedQuery(const Bytes& input)
{
    Fresh();
    CQKScript& s = qkfxGetScript();
    s.Execute("QODBC.RESET()");
    Bytes file = ProjectWithQuery(input);
    std::string error;
    if (!qkfxOpenProjectFromMemory(file.data(), file.size(), false, &error))
        return "a project holding only a saved query was refused: " + error;
    if (!s.Execute("QODBC.LOADSQL(1)")) {
        qxfuzz::Tally("refused");
        return s.GetLastError().empty() ? "LOADSQL stopped without a reason" : std::string();
    }
    qxfuzz::Tally("loaded");
    const char* members[] = {"DBSOURCE", "DBTABLE", "DBSQL", "SQLCOMMENT", "TABLETYPE"};
    std::string first[5];
    for (int i = 0; i < 5; ++i)
        first[i] = Member(members[i]);
    // A record without its query loads (the table's whole query then reads), but SAVESQL
    // keeps only whole queries: nothing to compare.
    if (first[2].empty())
        return std::string();
    if (!s.Execute("QODBC.SAVESQL(2)"))
        return "a query LOADSQL took cannot be saved again: " + s.GetLastError();
    s.Execute("QODBC.RESET()");
    if (!s.Execute("QODBC.LOADSQL(2)"))
        return "a query LOADSQL took, saved again, cannot be loaded: " + s.GetLastError();
    // SAVESQL writes its own comment where there is none.
    for (int i = 0; i < 5; ++i)
        if (Member(members[i]) != first[i] && !(i == 3 && first[i].empty()))
            return std::string(members[i]) + " changed when the query was saved and loaded again";
    return std::string();
}

qxfuzz::Registration savedQuery({"savedquery", nullptr, RunSavedQuery, Seeds, nullptr,
                                 {"SELECT ", " FROM ", " WHERE ", " ORDER BY ", "\r\n", "\"", "'", "=", ",", "*",
                                  "QuorixSamples", "readings", "TABLE", "VIEW", "\t"}});

} // namespace
