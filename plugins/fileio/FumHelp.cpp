// The methods that help the script writer: call forms, alternate spellings, the list of
// open files, and the list separator set from a character.
#include "Fum.h"

#include "qxutil.h"

#include <string.h>

IMPLEMENT_DYNAMIC(QmHelpIO, QmFUMIO)
IMPLEMENT_DYNAMIC(QmListSep, QmFUMIO)
IMPLEMENT_DYNAMIC(QmSyntax, QmHelpIO)
IMPLEMENT_DYNAMIC(QmAltSpell, QmHelpIO)
IMPLEMENT_DYNAMIC(QmListAll, QmHelpIO)

// ---- Table helpers --------------------------------------------------------------------

static QmScript* FindIn(QmTableEntry* table, const std::string& name)
{
    QmScript* found = nullptr;
    for (QmTableEntry* e = table; e->name; ++e)
        if (_stricmp(e->name, name.c_str()) == 0)
            found = e->object;
    return found;
}

static int PrintNamesOf(QmTableEntry* table, QmScript* object)
{
    int n = 0;
    for (QmTableEntry* e = table; e->name; ++e)
        if (e->object == object) {
            QmPrintText(e->name);
            ++n;
        }
    return n;
}

static int ListTable(QmTableEntry* table, const char* heading)
{
    QmPrintText(heading);
    int n = 0;
    for (QmTableEntry* e = table; e->name; ++e, ++n)
        QmPrintText(e->name);
    return n;
}

QmScript* QmHelpIO::FindMethod(const std::string& name) { return FindIn(TheFum().fumMethods, name); }
QmScript* QmHelpIO::FindProperty(const std::string& name) { return FindIn(TheFum().fumProperties, name); }
int QmHelpIO::PrintMethodNames(QmScript* object) { return PrintNamesOf(TheFum().fumMethods, object); }
int QmHelpIO::PrintPropertyNames(QmScript* object) { return PrintNamesOf(TheFum().fumProperties, object); }
int QmHelpIO::ListMethods() { return ListTable(TheFum().fumMethods, "Methods available in FUM: "); }
int QmHelpIO::ListProperties() { return ListTable(TheFum().fumProperties, "Properties available in FUM: "); }

// ---- LISTSEP --------------------------------------------------------------------------

QmListSep::QmListSep()
{
    usage.SetText("([\"char\"])\r\nNote: Lack of an argument will reset list seperator to \",\".");
    AddText();
}

int QmListSep::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    if (!Given(0)) {
        fum.listSep.value = 44;
        return 0;
    }
    const char* given = args[0]->GetStr();
    std::vector<char> text(given ? given : "", given ? given + strlen(given) + 1 : nullptr);
    if (text.empty())
        text.push_back('\0');
    char* quoted = UtilQuotedText(text.data());
    if (!quoted)
        return fum.Fail(FUM_ERR_BAD_ARG, FUM_OLD_NO_TEXT);
    bool sent = false;
    INT_PTR answer = QmCallHost(HOST_LIST_SEPARATOR, reinterpret_cast<INT_PTR>(quoted), 0, 0, &sent);
    if (sent && answer == -1)
        return fum.Fail(FUM_ERR_HOST, FUM_OLD_HOST);
    int r = fum.listSep.SetChecked(static_cast<signed char>(quoted[0]));
    // A character the separator cannot hold (a code above 127 read as negative) is a
    // failure the script must see, not a silent keep of the old separator.
    return r;
}

// ---- SYNTAX ---------------------------------------------------------------------------

QmSyntax::QmSyntax()
{
    usage.SetText("([method])");
    AddText();
}

int QmSyntax::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    *result = -1;
    if (!Given(0)) {
        ListMethods();
        *result = 0;
        return 0;
    }
    const char* name = args[0]->GetStr();
    if (!name)
        return fum.Extended() ? fum.Fail(FUM_ERR_NO_ARG_TEXT, 0) : (*result = 0, 0);
    QmScript* method = FindMethod(name);
    if (!method)
        return fum.Extended() ? fum.Fail(FUM_ERR_NO_METHOD, 0) : (*result = 0, 0);
    QmFUMIO* m = static_cast<QmFUMIO*>(method);
    std::string line = std::string("fum.") + name + (m->usage.text ? m->usage.text : "");
    QmPrintText(line.c_str());
    *result = 0;
    return 0;
}

// ---- ALTSPELL -------------------------------------------------------------------------

QmAltSpell::QmAltSpell()
{
    usage.SetText("([method/property])");
    AddText();
}

int QmAltSpell::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    FUM& fum = TheFum();
    *result = -1;
    if (!Given(0)) {
        ListProperties();
        *result = 0;
        return 0;
    }
    const char* name = args[0]->GetStr();
    if (!name)
        return fum.Extended() ? fum.Fail(FUM_ERR_NO_ARG_TEXT, 0) : (*result = 0, 0);
    if (QmScript* method = FindMethod(name))
        PrintMethodNames(method);
    else if (QmScript* property = FindProperty(name))
        PrintPropertyNames(property);
    else
        return fum.Extended() ? fum.Fail(FUM_ERR_NO_NAME, 0) : (*result = 0, 0);
    *result = 0;
    return 0;
}

// ---- LISTALL --------------------------------------------------------------------------

QmListAll::QmListAll()
{
    usage.SetText("([mode][,path])");
    AddText();
    AddText();
}

static bool Starts(QmProperty* a, char letter)
{
    const char* t = a && a->given ? a->GetStr() : nullptr;
    return t && (*t == letter || *t == letter + ('a' - 'A'));
}

int QmListAll::Process(double* result, QmDLL* root)
{
    QmFUMIO::Process(result, root);
    std::vector<FUM_File*> files = TheFum().files.Files();
    if (files.empty()) {
        QmPrintText("No open files.");
        *result = 0;
        return 0;
    }
    bool showMode = Starts(args[0], 'M');
    bool showPath = Starts(args[1], 'P');
    std::string heading = " hFile  ";
    if (showMode)
        heading += "Mode   ";
    heading += showPath ? "Path" : "Name";
    QmPrintText(heading.c_str());
    QmPrintText("");
    static const char* modes[3] = {"read   ", "write  ", "both   "};
    for (FUM_File* f : files) {
        char number[16] = "      ";
        int h = f->Handle() % 1000000;
        if (h)
            snprintf(number, sizeof number, "%6d", h);
        std::string line = std::string(number) + "  ";
        if (showMode)
            line += modes[f->mode <= 2 ? f->mode : 2];
        std::string path = static_cast<const char*>(f->GetFilePath());
        if (showPath) {
            line += path;
        } else {
            size_t slash = path.find_last_of('\\');
            line += slash == std::string::npos ? path : path.substr(slash + 1);
        }
        QmPrintText(line.c_str());
    }
    *result = static_cast<double>(files.size());
    return 0;
}
