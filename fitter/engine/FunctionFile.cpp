// Function definition files (.fdf): a profile-layout text with ten fixed sections.
//
// One table lists every section and key in the order files are written; reading, parsing,
// writing, rendering and measuring all walk that table, so the five can never disagree on
// what a file holds.
#include <ctype.h>
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "FitMemory.h"
#include "FitSession.h"
#include "FitUtil.h"
#include "qxutil.h"

namespace {

struct KeywordRow {
    int16_t id;
    int16_t group;
    const char* text;
};

// Section names, key names and value words. Lookups ignore the group. "User-Defined" stands
// twice with one id; "Uniform" twice with two ids, and reading the word gives the first.
const KeywordRow kKeywords[] = {
    {8192, 1, "General Functions"},
    {8193, 1, "Spectroscopy"},
    {8194, 1, "Chromatography"},
    {12288, 2, "GENERAL INFORMATION"},
    {12289, 2, "FITTING PARAMETERS"},
    {4096, 2, "INDEPENDENT VARIABLES"},
    {4097, 2, "DEPENDENT VARIABLES"},
    {4098, 2, "FORMULA"},
    {4099, 2, "CONSTRAINTS"},
    {4100, 2, "INITIALIZATIONS"},
    {4101, 2, "AFTER FITTING"},
    {4102, 2, "CONSTANTS"},
    {12291, 2, "CONTROLS"},
    {4103, 3, "Names"},
    {4104, 3, "Initial Values"},
    {4105, 3, "Meanings"},
    {4106, 3, "Lower Bounds"},
    {4107, 3, "Upper Bounds"},
    {8195, 3, "Naming Method"},
    {4111, 3, "Number Of Significant Digits"},
    {4108, 4, "Function Name"},
    {4112, 4, "Brief Description"},
    {4110, 4, "Function Source"},
    {8196, 4, "Number Of Parameters"},
    {8197, 4, "Function Type"},
    {8198, 4, "Function Form"},
    {4109, 4, "Path"},
    {8199, 4, "Number Of Independent Variables"},
    {8200, 4, "Number Of Dependent Variables"},
    {8202, 5, "Built-in"},
    {8203, 5, "External DLL"},
    {8392, 5, "User-Defined"},
    {8205, 7, "Expression"},
    {8206, 7, "Y-Script"},
    {8207, 7, "Equations"},
    {8392, 6, "User-Defined"},
    {8209, 6, "Default"},
    {1, 8, "On"},
    {0, 8, "Off"},
    {2, 8, "Yes"},
    {3, 8, "No"},
    {8210, 8, "General Linear Constraints"},
    {8211, 8, "Initialization Scripts"},
    {8212, 8, "Scripts After Fitting"},
    {8213, 8, "Number Of Duplicates"},
    {8214, 8, "Duplicate Offset"},
    {8215, 8, "Duplicate Unit"},
    {8216, 8, "Generate Curves After Fitting"},
    {8217, 8, "Curve Point Spacing"},
    {8218, 8, "Generate Peaks After Fitting"},
    {8219, 8, "Generate Peaks During Fitting"},
    {8220, 8, "Generate Peaks with Baseline"},
    {8221, 8, "Paste Parameters to Plot After Fitting"},
    {8222, 8, "Paste Parameters to Notes Window After Fitting"},
    {8223, 8, "Generate Residue After Fitting"},
    {8224, 8, "Keep Parameters"},
    {129, 8, "Same X as Fitting Data"},
    {130, 8, "Uniform"},
    {131, 8, "According to Given X Column"},
    {132, 8, "Uniform"},
    {133, 8, "Uniform on X-Axis Scale"},
    {8225, 4, "Analytical Derivatives for User-Defined"},
};
static_assert(sizeof kKeywords / sizeof kKeywords[0] == 62, "the keyword table has 62 rows");

enum Section : int16_t {
    SEC_GENERAL = 12288,
    SEC_PARAMETERS = 12289,
    SEC_INDEPENDENT = 4096,
    SEC_DEPENDENT = 4097,
    SEC_FORMULA = 4098,
    SEC_CONSTRAINTS = 4099,
    SEC_INITIALIZATIONS = 4100,
    SEC_AFTER_FITTING = 4101,
    SEC_CONSTANTS = 4102,
    SEC_CONTROLS = 12291,
};

enum Kind { TEXT, KEYWORD, NUMBER, BODY, KEYLIST, OPTION, ANALYTICAL };

struct FileKey {
    int16_t section;
    int16_t key;  // the section itself for bodies and key lists
    Kind kind;
    size_t offset;
    size_t capacity;  // of a character field; the default keyword id of a keyword
};

#define STR(sec, key, kind, field) {sec, key, kind, offsetof(FunctionDef, field), sizeof(FunctionDef::field)}
#define KWD(sec, key, field, def) {sec, key, KEYWORD, offsetof(FunctionDef, field), def}
#define NUM(sec, key, field) {sec, key, NUMBER, offsetof(FunctionDef, field), 0}
#define OPT(key, n) {SEC_CONTROLS, key, OPTION, offsetof(FunctionDef, options) + (n) * sizeof(int16_t), 0}

// Every section and key in file order. The constraint text is the one body kept outside the
// record (offset 0 marks it).
const FileKey kFileKeys[] = {
    STR(SEC_GENERAL, 4108, TEXT, name),
    STR(SEC_GENERAL, 4112, TEXT, description),
    STR(SEC_GENERAL, 4110, TEXT, source),
    KWD(SEC_GENERAL, 8197, functionType, KW_USER_DEFINED),
    KWD(SEC_GENERAL, 8198, functionForm, KW_EXPRESSION),
    NUM(SEC_GENERAL, 8196, nParams),
    NUM(SEC_GENERAL, 8199, nIndependent),
    NUM(SEC_GENERAL, 8200, nDependent),
    {SEC_GENERAL, 8225, ANALYTICAL, offsetof(FunctionDef, derivativeFlag), KW_OFF},
    KWD(SEC_PARAMETERS, 8195, namingMethod, KW_USER_DEFINED),
    STR(SEC_PARAMETERS, 4103, TEXT, paramNames),
    STR(SEC_PARAMETERS, 4105, TEXT, meanings),
    STR(SEC_PARAMETERS, 4104, TEXT, initialValues),
    STR(SEC_PARAMETERS, 4106, TEXT, lowerBounds),
    STR(SEC_PARAMETERS, 4107, TEXT, upperBounds),
    STR(SEC_PARAMETERS, 4111, TEXT, significantDigits),
    STR(SEC_FORMULA, SEC_FORMULA, BODY, formula),
    {SEC_CONSTRAINTS, SEC_CONSTRAINTS, BODY, 0, FDF_BODY_CHARS},
    STR(SEC_CONSTANTS, SEC_CONSTANTS, KEYLIST, constants),
    STR(SEC_INITIALIZATIONS, SEC_INITIALIZATIONS, BODY, initScript),
    STR(SEC_AFTER_FITTING, SEC_AFTER_FITTING, BODY, afterScript),
    STR(SEC_INDEPENDENT, SEC_INDEPENDENT, KEYLIST, independentNames),
    STR(SEC_DEPENDENT, SEC_DEPENDENT, KEYLIST, dependentNames),
    {SEC_CONTROLS, 8210, KEYWORD, offsetof(FunctionDef, constraintsSwitch), KW_OFF},
    {SEC_CONTROLS, 8211, KEYWORD, offsetof(FunctionDef, initSwitch), KW_OFF},
    {SEC_CONTROLS, 8212, KEYWORD, offsetof(FunctionDef, afterSwitch), KW_OFF},
    NUM(SEC_CONTROLS, 8213, nDuplicates),
    NUM(SEC_CONTROLS, 8214, duplicateOffset),
    NUM(SEC_CONTROLS, 8215, duplicateUnit),
    OPT(8216, OPT_CURVES),
    OPT(8217, OPT_SPACING),
    OPT(8218, OPT_PEAKS_AFTER),
    OPT(8219, OPT_PEAKS_DURING),
    OPT(8220, OPT_PEAKS_BASELINE),
    OPT(8221, OPT_PASTE_TO_PLOT),
    OPT(8222, OPT_PASTE_TO_NOTES),
    OPT(8223, OPT_RESIDUE),
    OPT(8224, OPT_KEEP_PARAMS),
};

char* Field(FunctionDef* def, const FileKey& k)
{
    return reinterpret_cast<char*>(def) + k.offset;
}

const char* Field(const FunctionDef* def, const FileKey& k)
{
    if (k.kind == BODY && k.offset == 0)
        return def->constraints ? def->constraints : "";
    return reinterpret_cast<const char*>(def) + k.offset;
}

int16_t& Word(FunctionDef* def, const FileKey& k)
{
    return *reinterpret_cast<int16_t*>(Field(def, k));
}

int WordValue(const FunctionDef* def, const FileKey& k)
{
    // The type, form, naming and switch fields are ints; the rest 16-bit words.
    const char* p = Field(def, k);
    if (k.offset == offsetof(FunctionDef, functionType) || k.offset == offsetof(FunctionDef, functionForm) ||
        k.offset == offsetof(FunctionDef, namingMethod) || k.offset == offsetof(FunctionDef, constraintsSwitch) ||
        k.offset == offsetof(FunctionDef, initSwitch) || k.offset == offsetof(FunctionDef, afterSwitch))
        return *reinterpret_cast<const int*>(p);
    return *reinterpret_cast<const int16_t*>(p);
}

void SetWordValue(FunctionDef* def, const FileKey& k, int value)
{
    char* p = Field(def, k);
    if (k.offset == offsetof(FunctionDef, functionType) || k.offset == offsetof(FunctionDef, functionForm) ||
        k.offset == offsetof(FunctionDef, namingMethod) || k.offset == offsetof(FunctionDef, constraintsSwitch) ||
        k.offset == offsetof(FunctionDef, initSwitch) || k.offset == offsetof(FunctionDef, afterSwitch))
        *reinterpret_cast<int*>(p) = value;
    else
        *reinterpret_cast<int16_t*>(p) = static_cast<int16_t>(value);
}

bool Visited(const FunctionDef* def, const FileKey& k)
{
    return k.kind != ANALYTICAL || (def->functionType == KW_USER_DEFINED && def->functionForm == KW_Y_SCRIPT);
}

// The fitter setting each option inherits.
int16_t SettingOf(const FittingSession* s, int option)
{
    const int16_t values[OPTION_COUNT] = {s->optCurves,        s->optSpacing,     s->optPeaksAfter,
                                          s->optPeaksDuring,   s->optPeaksBaseline, s->optPasteToPlot,
                                          s->optPasteToLog,    s->optResidue,     s->optKeepParams};
    return static_cast<int16_t>(values[option] | OPTION_INHERITED);
}

int OptionIndex(const FileKey& k)
{
    return static_cast<int>((k.offset - offsetof(FunctionDef, options)) / sizeof(int16_t));
}

void StripTrailing(char* text)
{
    size_t n = strlen(text);
    while (n > 0 && !(text[n - 1] >= '!' && text[n - 1] <= '~'))
        text[--n] = 0;
}

// A count: an optional sign and decimal digits that fit a 16-bit number. Anything else
// (empty, "N/A", "3x", "1.5", "99999") is "not given", -1: a count is never guessed from
// the digits of a text that is not one.
int ParseCount(const char* text)
{
    const char* p = text;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    if (!isdigit(static_cast<unsigned char>(*p)))
        return -1;
    long value = 0;
    for (; isdigit(static_cast<unsigned char>(*p)); ++p) {
        value = value * 10 + (*p - '0');
        if (value > 32767)
            return -1;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p)
        return -1;
    return static_cast<int>(negative ? -value : value);
}

// Where values come from: a file through the platform's profile reader, or a text in memory.
struct Source {
    const char* file;
    const char* text;

    // A key's value cut at ";" (file only: the in-memory reader gives values as they stand)
    // and stripped of trailing blanks and control characters.
    void Key(const char* section, const char* key, char* out, size_t capacity) const
    {
        if (file)
            ReadProfileString(section, key, "", out, static_cast<int>(capacity), file);
        else
            UtilReadProfileString(section, key, "", out, static_cast<DWORD>(capacity), text);
        StripTrailing(out);
    }
    // Key names, each NUL-terminated, the list ended by an empty name.
    void KeyNames(const char* section, char* out, size_t capacity) const
    {
        out[0] = out[1] = 0;
        if (file)
            GetPrivateProfileStringA(section, nullptr, "", out, static_cast<DWORD>(capacity), file);
        else
            UtilReadProfileString(section, nullptr, "", out, static_cast<DWORD>(capacity), text);
    }
    // The whole section body; false when it does not fit, so a long text is never cut.
    bool Body(const char* section, char* out, size_t capacity) const
    {
        const DWORD n = file ? UtilReadProfileSection(section, out, static_cast<DWORD>(capacity), file)
                             : UtilReadProfileSectionText(section, out, static_cast<DWORD>(capacity), text);
        if (strlen(out) + 1 >= capacity && n + 1 >= capacity)
            return false;
        StripTrailing(out);
        return true;
    }
};

int ReadKeys(FittingSession* s, FunctionDef* def, const Source& source)
{
    for (const FileKey& k : kFileKeys) {
        if (!Visited(def, k))
            continue;
        const char* section = KeywordText(k.section);
        const char* key = KeywordText(k.key);
        switch (k.kind) {
        case TEXT:
            source.Key(section, key, Field(def, k), k.capacity);
            break;
        case KEYWORD:
        case ANALYTICAL: {
            char word[64];
            source.Key(section, key, word, sizeof word);
            const int id = KeywordId(word);
            SetWordValue(def, k, id >= 0 ? id : static_cast<int>(k.capacity));
            break;
        }
        case OPTION: {
            char word[64];
            source.Key(section, key, word, sizeof word);
            const int id = KeywordId(word);
            Word(def, k) = id >= 0 ? static_cast<int16_t>(id) : SettingOf(s, OptionIndex(k));
            break;
        }
        case NUMBER: {
            char number[64];
            source.Key(section, key, number, sizeof number);
            Word(def, k) = static_cast<int16_t>(ParseCount(number));
            break;
        }
        case BODY: {
            std::string body(FDF_BODY_CHARS + 1, '\0');
            if (!source.Body(section, &body[0], body.size())) {
                snprintf(s->definitionError, sizeof s->definitionError,
                         "its section [%s] is longer than %d characters", section, FDF_BODY_CHARS);
                return 1;
            }
            body.resize(strlen(body.c_str()));
            if (k.offset == 0) {
                FreeAndClear(def->constraints);
                if (!body.empty() && CopyToBlock(s, body.c_str(), &def->constraints)) {
                    snprintf(s->definitionError, sizeof s->definitionError, "memory is short");
                    return 1;
                }
            } else {
                snprintf(Field(def, k), k.capacity, "%s", body.c_str());
            }
            break;
        }
        case KEYLIST: {
            char names[FDF_KEYLIST_CHARS + 1];
            source.KeyNames(section, names, sizeof names);
            std::string list;
            for (const char* name = names; *name; name += strlen(name) + 1) {
                char value[128];
                source.Key(section, name, value, sizeof value);
                if (!list.empty())
                    list += ',';
                list += name;
                list += '=';
                list += value;
            }
            if (list.size() >= k.capacity) {
                snprintf(s->definitionError, sizeof s->definitionError,
                         "the keys of its section [%s] are longer than %d characters together", section,
                         static_cast<int>(k.capacity) - 1);
                return 1;
            }
            snprintf(Field(def, k), k.capacity, "%s", list.c_str());
            break;
        }
        }
    }
    return 0;
}

// The value of a key line; false when the line is left out (an inherited option whose
// setting is unchanged, when leaveInherited asks for that).
bool KeyValue(FittingSession* s, const FunctionDef* def, const FileKey& k, bool leaveInherited, std::string* value)
{
    switch (k.kind) {
    case TEXT:
        *value = Field(def, k);
        return true;
    case NUMBER: {
        const int n = WordValue(def, k);
        *value = n == -1 ? std::string("N/A") : std::to_string(n);
        return true;
    }
    case KEYWORD:
    case ANALYTICAL:
    case OPTION: {
        const int id = WordValue(def, k) & 0xFFFF;
        if (k.kind == OPTION && leaveInherited && (id & OPTION_INHERITED) &&
            static_cast<int16_t>(id) == SettingOf(s, OptionIndex(k)))
            return false;
        const char* word = KeywordText(id & ~OPTION_INHERITED);
        *value = word ? word : "";
        return true;
    }
    default:
        return false;
    }
}

// The file text of a definition. `inherited` leaves out options the file does not state
// and whose setting is unchanged, so that a file does not freeze inherited settings.
std::string Render(FittingSession* s, const FunctionDef* def, bool leaveInherited)
{
    std::string text;
    int16_t section = 0;
    auto endSection = [&]() {
        if (section)
            text += "\r\n\r\n";
    };
    for (const FileKey& k : kFileKeys) {
        if (!Visited(def, k))
            continue;
        if (k.section != section) {
            endSection();
            section = k.section;
            text += '[';
            text += KeywordText(k.section);
            text += "]\r\n";
        }
        const char* key = KeywordText(k.key);
        std::string value;
        switch (k.kind) {
        case TEXT:
        case KEYWORD:
        case ANALYTICAL:
        case OPTION:
        case NUMBER:
            if (KeyValue(s, def, k, leaveInherited, &value))
                text += std::string(key) + "=" + value + "\r\n";
            break;
        case BODY:
            text += Field(def, k);
            text += "\r\n";
            break;
        case KEYLIST: {
            char item[FDF_KEYLIST_CHARS];
            for (const char* p = NextToken(Field(def, k), ",", item, sizeof item); item[0];
                 p = NextToken(p, ",", item, sizeof item)) {
                text += item;
                if (!strchr(item, '='))
                    text += '=';
                text += "\r\n";
            }
            break;
        }
        }
    }
    endSection();
    return text;
}

// Paints the file text as Render lays it out: section titles in dark blue at x 0, keys in
// green and their values in black behind them, bodies and key lists line by line, all
// indented; one line height per line and an empty line after each section.
void Draw(FittingSession* s, const FunctionDef* def, HDC dc, int y, int lineHeight, int indent, bool formulaOnly)
{
    const COLORREF title = RGB(0, 0, 128), keyColour = RGB(0, 128, 0), plain = RGB(0, 0, 0);
    auto text = [&](int x, const std::string& line, COLORREF colour) {
        SetTextColor(dc, colour);
        TextOutA(dc, x, y, line.c_str(), static_cast<int>(line.size()));
        SIZE size = {};
        GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
        return size.cx;
    };
    auto lines = [&](const std::string& body) {
        size_t start = 0;
        while (start <= body.size()) {
            size_t end = body.find('\n', start);
            if (end == std::string::npos)
                end = body.size();
            std::string line = body.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            text(indent, line, plain);
            y += lineHeight;
            start = end + 1;
        }
    };
    int16_t section = 0;
    bool shown = false;
    for (const FileKey& k : kFileKeys) {
        if (!Visited(def, k))
            continue;
        if (k.section != section) {
            if (shown)
                y += lineHeight;
            section = k.section;
            shown = !formulaOnly || section == SEC_FORMULA;
            if (shown) {
                text(0, std::string("[") + KeywordText(section) + "]", title);
                y += lineHeight;
            }
        }
        if (!shown)
            continue;
        const std::string name = KeywordText(k.key);
        switch (k.kind) {
        case BODY:
            lines(Field(def, k));
            break;
        case KEYLIST: {
            std::string items;
            char item[FDF_KEYLIST_CHARS];
            for (const char* p = NextToken(Field(def, k), ",", item, sizeof item); item[0];
                 p = NextToken(p, ",", item, sizeof item)) {
                items += item;
                if (!strchr(item, '='))
                    items += '=';
                items += '\n';
            }
            if (!items.empty()) {
                items.pop_back();
                lines(items);
            }
            break;
        }
        default: {
            std::string value;
            if (KeyValue(s, def, k, false, &value)) {
                const int width = text(indent, name + "= ", keyColour);
                text(indent + width, value, plain);
                y += lineHeight;
            }
            break;
        }
        }
    }
}

const FileKey* FieldKey(int keyId)
{
    for (const FileKey& k : kFileKeys)
        if (k.key == keyId && (k.kind == TEXT || k.kind == BODY || k.kind == KEYLIST))
            return &k;
    return nullptr;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// An old-format definition: a ".f" file without a "General Information" section that has
// keys, read through the converter library.
int ReadOldFunctionFile(FittingSession* s, FunctionDef* def, const std::string& base)
{
    const std::string file = base + ".f";
    char keys[4] = "";
    if (!Exists(file) || GetPrivateProfileStringA("General Information", nullptr, "", keys, sizeof keys, file.c_str()))
        return 1;
    HMODULE converter = LoadLibraryFromProgramDir(s, kOldFormatConverter);
    const ReadOldFunctionFileProc read =
        converter ? reinterpret_cast<ReadOldFunctionFileProc>(GetProcAddress(converter, "ReadOldFunctionFile")) : nullptr;
    int result = 1;
    if (read && read(file.c_str(), nullptr) != -1) {
        DefaultFunction(s, def);
        snprintf(def->path, sizeof def->path, "%s", base.c_str());
        read(file.c_str(), def);
        result = 0;
    }
    if (converter)
        FreeLibrary(converter);
    return result;
}

}  // namespace

std::string HostFolder(FittingSession* s, UINT request)
{
    char folder[QFIT_HOST_TEXT_CAPACITY] = "";
    CallHost(s, request, reinterpret_cast<INT_PTR>(folder), 0);
    folder[sizeof folder - 1] = 0;
    std::string f = folder;
    if (!f.empty() && f.back() != '\\' && f.back() != '/')
        f += '\\';
    return f;
}

const char kOldFormatConverter[] = "Q32QFF41.DLL";

const char* KeywordText(int id)
{
    for (const KeywordRow& row : kKeywords)
        if (row.id == id)
            return row.text;
    return nullptr;
}

int KeywordId(const char* text)
{
    for (const KeywordRow& row : kKeywords)
        if (_stricmp(row.text, text) == 0)
            return row.id;
    return -1;
}

void DefaultFunction(FittingSession* s, FunctionDef* def)
{
    FreeAndClear(def->constraints);
    *def = FunctionDef();
    def->functionType = KW_USER_DEFINED;
    def->functionForm = KW_EXPRESSION;
    def->namingMethod = KW_USER_DEFINED;
    def->constraintsSwitch = def->initSwitch = def->afterSwitch = KW_OFF;
    def->nParams = def->nIndependent = def->nDependent = -1;
    def->nDuplicates = def->duplicateOffset = def->duplicateUnit = -1;
    for (int i = 0; i < OPTION_COUNT; ++i)
        def->options[i] = SettingOf(s, i);
    def->modified = FDF_NEVER_SAVED;
}

// The offset of the first NUL byte of a file, -1 when it holds none or cannot be opened.
static long NulByteOffset(const std::string& file)
{
    FILE* f = fopen(file.c_str(), "rb");
    if (!f)
        return -1;
    long offset = -1;
    char buffer[4096];
    long at = 0;
    size_t n;
    while (offset < 0 && (n = fread(buffer, 1, sizeof buffer, f)) > 0) {
        if (const void* hit = memchr(buffer, 0, n))
            offset = at + static_cast<long>(static_cast<const char*>(hit) - buffer);
        at += static_cast<long>(n);
    }
    fclose(f);
    return offset;
}

int ReadFunctionFile(FittingSession* s, FunctionDef* def, const char* path)
{
    std::string base = path ? path : "";
    if (!Exists(base + ".fdf")) {
        // Definitions that name a place under "fitfunc" of another installation are looked
        // for under this program's fitfunc folder.
        std::string lower = base;
        for (char& c : lower)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        const size_t at = lower.find("fitfunc");
        if (at != std::string::npos) {
            const std::string rebuilt = HostFolder(s, HOST_GET_PROGRAM_DIR) + base.substr(at);
            if (Exists(rebuilt + ".fdf"))
                base = rebuilt;
        }
    }
    s->definitionError[0] = 0;
    if (base.size() >= sizeof def->path) {
        snprintf(s->definitionError, sizeof s->definitionError, "its path is longer than %d characters",
                 static_cast<int>(sizeof def->path) - 1);
        return 1;
    }
    const std::string file = base + ".fdf";
    if (!Exists(file)) {
        const int rc = ReadOldFunctionFile(s, def, base);
        if (rc)
            snprintf(s->definitionError, sizeof s->definitionError, "the file %s does not exist", file.c_str());
        return rc;
    }
    // The profile reader ends a value at a NUL byte, so a formula with one inside would be
    // fitted cut short without a word: such a file is refused.
    const long nul = NulByteOffset(file);
    if (nul >= 0) {
        snprintf(s->definitionError, sizeof s->definitionError, "the file %s holds a NUL byte at offset %ld",
                 file.c_str(), nul);
        return 1;
    }
    DefaultFunction(s, def);
    snprintf(def->path, sizeof def->path, "%s", base.c_str());
    def->modified = 0;
    const Source source = {file.c_str(), nullptr};
    if (ReadKeys(s, def, source)) {
        FreeAndClear(def->constraints);
        return 1;
    }
    // A file without a Function Name could never be listed, found or chosen.
    if (!def->name[0]) {
        snprintf(s->definitionError, sizeof s->definitionError, "its key \"Function Name\" is missing or empty");
        FreeAndClear(def->constraints);
        return 1;
    }
    return 0;
}

std::string DefinitionFault(const FunctionDef* def)
{
    char text[160] = "";
    if (!def->name[0])
        snprintf(text, sizeof text, "it has no Function Name");
    else if (def->nParams < 1)
        snprintf(text, sizeof text, "its Number Of Parameters is missing or below 1");
    else if (ParamSlotCount(def) > MAX_PARAMS)
        snprintf(text, sizeof text, "it has more than %d parameters with its duplicates", MAX_PARAMS);
    else if (def->nIndependent < 1)
        snprintf(text, sizeof text, "its Number Of Independent Variables is missing or below 1");
    else if (def->nDependent < 1)
        snprintf(text, sizeof text, "its Number Of Dependent Variables is missing or below 1");
    return text;
}

int ParseFunctionDefinition(FittingSession* s, FunctionDef* def, const char* text)
{
    const Source source = {nullptr, text ? text : ""};
    return ReadKeys(s, def, source);
}

int RenderFunction(FittingSession* s, const FunctionDef* def, char* out, size_t capacity)
{
    const std::string text = Render(s, def, false);
    if (!out || text.size() >= capacity)
        return 1;
    memcpy(out, text.c_str(), text.size() + 1);
    return 0;
}

void DrawFunction(FittingSession* s, const FunctionDef* def, HDC dc, int y, int lineHeight, bool formulaOnly)
{
    Draw(s, def, dc, y, lineHeight, 12, formulaOnly);
}

void MeasureFunction(FittingSession* s, FunctionDef* def)
{
    const std::string text = Render(s, def, false);
    int lines = 0, widest = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        widest = std::max(widest, static_cast<int>(end - start));
        ++lines;
        start = end + 2;
    }
    def->measuredWidth = static_cast<int16_t>(std::min(widest, 32767));
    def->measuredLines = static_cast<int16_t>(std::min(lines, 32767));
}

int WriteFunctionFile(FittingSession* s, FunctionDef* def)
{
    const std::string folder = HostFolder(s, HOST_GET_SETTINGS_DIR) + "fitfunc\\";
    const char* fileName = PathFileName(def->path);
    if (!fileName[0])
        fileName = def->name;
    if (!fileName[0])
        return 1;
    const std::string target = folder + fileName + ".fdf";
    if (target.size() >= MAX_PATH)
        return 1;
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return 1;
    // A function defined anew has no file yet, nor perhaps the folder: both are made, and
    // a file made here is removed again when it cannot be written.
    CreateDirectoryA(folder.c_str(), nullptr);
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    HANDLE probe = UtilOpenFile(target.c_str(), GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (probe == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(probe);
    const std::string text = Render(s, def, true);
    FILE* f = fopen(target.c_str(), "wb");
    const bool written = f && fwrite(text.data(), 1, text.size(), f) == text.size();
    if (!f || fclose(f) != 0 || !written) {
        if (!existed)
            DeleteFileA(target.c_str());
        return 1;
    }
    const std::string base = target.substr(0, target.size() - 4);
    snprintf(def->path, sizeof def->path, "%s", base.c_str());
    def->modified = 0;
    char ini[2 * QFIT_HOST_TEXT_CAPACITY];
    GetWritableIniPath(s, ini, sizeof ini);
    AddFunctionToCategory(s->category, def, ini);
    return 0;
}

int SetFunctionField(FunctionDef* def, int keyId, const char* text)
{
    const FileKey* k = FieldKey(keyId);
    if (!k || !text)
        return 0;
    // Exact comparison: an edit that only changes letter case is an edit.
    if (strcmp(Field(static_cast<const FunctionDef*>(def), *k), text) == 0)
        return 0;
    if (k->kind == BODY && k->offset == 0) {
        char* copy = AllocArray<char>(strlen(text) + 1);
        if (!copy)
            return 0;
        strcpy(copy, text);
        FreeLockedBlock(def->constraints);
        def->constraints = copy;
    } else {
        if (strlen(text) >= k->capacity)
            return 0;
        strcpy(Field(def, *k), text);
    }
    def->modified |= FDF_CHANGED;
    return 1;
}

int CopyFunction(FunctionDef* target, const FunctionDef* source)
{
    char* constraints = nullptr;
    if (source->constraints) {
        constraints = AllocArray<char>(strlen(source->constraints) + 1);
        if (!constraints)
            return FIT_ERR_NO_MEMORY;
        strcpy(constraints, source->constraints);
    }
    FreeLockedBlock(target->constraints);
    *target = *source;
    target->constraints = constraints;
    return 0;
}

int FunctionsDiffer(const FunctionDef* a, const FunctionDef* b)
{
    for (const FileKey& k : kFileKeys) {
        if (k.kind == TEXT || k.kind == BODY || k.kind == KEYLIST) {
            if (strcmp(Field(a, k), Field(b, k)) != 0)
                return 1;
        } else if (k.kind != NUMBER || k.section == SEC_CONTROLS) {
            if (k.kind == ANALYTICAL && !Visited(a, k))
                continue;
            if (WordValue(a, k) != WordValue(b, k))
                return 1;
        }
    }
    return strcmp(a->path, b->path) != 0;
}

void ReleaseFunction(FunctionDef* def)
{
    FreeFunctionLibrary(def);
    FreeAndClear(def->constraints);
}
