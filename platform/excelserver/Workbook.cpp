// The workbook data and its file.
#include "Workbook.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qxxl {

ServerState& Server()
{
    static ServerState state;
    return state;
}

std::string FromBSTR(BSTR text)
{
    if (!text)
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text, (int)SysStringLen(text), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, (int)SysStringLen(text), &out[0], n, nullptr, nullptr);
    return out;
}

BSTR ToBSTR(const std::string& text)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    BSTR out = SysAllocStringLen(nullptr, n);
    if (out)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), out, n);
    return out;
}

static bool ParseCellRef(const char*& p, int& row, int& col, bool allowColumnOnly)
{
    if (*p == '$')
        ++p;
    col = 0;
    int letters = 0;
    while (isalpha((unsigned char)*p)) {
        col = col * 26 + (toupper((unsigned char)*p) - 'A' + 1);
        ++p;
        if (++letters > 2)
            return false;
    }
    if (letters == 0 || col > kMaxCols)
        return false;
    if (*p == '$')
        ++p;
    if (!isdigit((unsigned char)*p)) {
        row = 0; // a whole column
        return allowColumnOnly;
    }
    long r = 0;
    while (isdigit((unsigned char)*p)) {
        r = r * 10 + (*p - '0');
        if (r > kMaxRows)
            return false;
        ++p;
    }
    row = (int)r;
    return row >= 1;
}

bool ParseRangeName(const std::string& name, std::vector<Area>& areas)
{
    areas.clear();
    const char* p = name.c_str();
    for (;;) {
        while (*p == ' ')
            ++p;
        int r1, c1;
        if (!ParseCellRef(p, r1, c1, true))
            return false;
        int r2 = r1, c2 = c1;
        if (*p == ':') {
            ++p;
            if (!ParseCellRef(p, r2, c2, true))
                return false;
        }
        if ((r1 == 0) != (r2 == 0))
            return false;
        if (r1 == 0) {
            r1 = 1;
            r2 = kMaxRows;
        }
        Area a{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
        areas.push_back(a);
        while (*p == ' ')
            ++p;
        if (*p == 0)
            return true;
        if (*p != ',')
            return false;
        ++p;
    }
}

const Cell* Sheet::Find(int row, int col) const
{
    auto it = cells.find({row, col});
    return it == cells.end() ? nullptr : &it->second;
}

void Sheet::Put(int row, int col, const Cell& cell)
{
    if (cell.vt == VT_EMPTY)
        cells.erase({row, col});
    else
        cells[{row, col}] = cell;
}

Area Sheet::UsedRange() const
{
    if (cells.empty())
        return Area{1, 1, 1, 1};
    Area a{kMaxRows, kMaxCols, 1, 1};
    for (auto& kv : cells) {
        a.r1 = std::min(a.r1, kv.first.first);
        a.r2 = std::max(a.r2, kv.first.first);
        a.c1 = std::min(a.c1, kv.first.second);
        a.c2 = std::max(a.c2, kv.first.second);
    }
    return a;
}

Book::Book()
{
    auto s = std::make_shared<Sheet>();
    s->name = "Sheet1";
    sheets.push_back(s);
}

int Book::FindSheet(const std::string& name) const
{
    for (size_t i = 0; i < sheets.size(); ++i)
        if (_stricmp(sheets[i]->name.c_str(), name.c_str()) == 0)
            return (int)i;
    return -1;
}

std::string Book::NextSheetName() const
{
    for (int n = 1;; ++n) {
        std::string name = "Sheet" + std::to_string(n);
        if (FindSheet(name) < 0)
            return name;
    }
}

static std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

static std::string Unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            char c = text[++i];
            out += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string FormatNumber(double v)
{
    char buf[64];
    snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string CellText(const Cell* c)
{
    if (!c)
        return std::string();
    switch (c->vt) {
    case VT_R8:
    case VT_DATE: return FormatNumber(c->number);
    case VT_CY: {
        char buf[64];
        snprintf(buf, sizeof buf, "%.2f", (double)c->currency / 10000.0);
        return buf;
    }
    case VT_BOOL: return c->flag ? "TRUE" : "FALSE";
    default: return c->text;
    }
}

static const char kHeader[] = "QXWORKBOOK 1";

std::string Book::Write() const
{
    std::string out = std::string(kHeader) + "\nACTIVE " + std::to_string(active) + "\n";
    char buf[80];
    for (auto& s : sheets) {
        out += "SHEET " + s->name + "\n";
        for (auto& kv : s->cells) {
            const Cell& c = kv.second;
            snprintf(buf, sizeof buf, "%d %d ", kv.first.first, kv.first.second);
            out += buf;
            switch (c.vt) {
            case VT_R8: snprintf(buf, sizeof buf, "N %.17g\n", c.number); break;
            case VT_DATE: snprintf(buf, sizeof buf, "D %.17g\n", c.number); break;
            case VT_CY: snprintf(buf, sizeof buf, "C %lld\n", (long long)c.currency); break;
            case VT_BOOL: snprintf(buf, sizeof buf, "B %d\n", c.flag ? 1 : 0); break;
            default: snprintf(buf, sizeof buf, "S "); break;
            }
            out += buf;
            if (c.vt == VT_BSTR)
                out += Escape(c.text) + "\n";
        }
    }
    return out;
}

bool Book::Read(const std::string& text, std::string& error)
{
    std::vector<std::shared_ptr<Sheet>> loaded;
    int loadedActive = 0;
    int lineNo = 0;
    bool ok = true;
    size_t pos = 0;
    while (ok && pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNo;
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (lineNo == 1) {
            ok = line == kHeader;
            continue;
        }
        if (line.compare(0, 7, "ACTIVE ") == 0) {
            loadedActive = atoi(line.c_str() + 7);
        } else if (line.compare(0, 6, "SHEET ") == 0) {
            auto s = std::make_shared<Sheet>();
            s->name = line.substr(6);
            loaded.push_back(s);
        } else {
            int row = 0, col = 0, used = 0;
            char kind = 0;
            if (loaded.empty() || sscanf(line.c_str(), "%d %d %c %n", &row, &col, &kind, &used) < 3 || row < 1 ||
                row > kMaxRows || col < 1 || col > kMaxCols) {
                ok = false;
                break;
            }
            const char* value = line.c_str() + used;
            Cell c;
            switch (kind) {
            case 'N': c.vt = VT_R8; c.number = strtod(value, nullptr); break;
            case 'D': c.vt = VT_DATE; c.number = strtod(value, nullptr); break;
            case 'C': c.vt = VT_CY; c.currency = _strtoi64(value, nullptr, 10); break;
            case 'B': c.vt = VT_BOOL; c.flag = atoi(value) != 0; break;
            case 'S': c.vt = VT_BSTR; c.text = Unescape(value); break;
            default: ok = false; break;
            }
            if (ok)
                loaded.back()->Put(row, col, c);
        }
    }
    if (!ok || lineNo == 0 || loaded.empty()) {
        error = "The file is not a workbook of this program.";
        return false;
    }
    sheets = loaded;
    active = (loadedActive >= 0 && loadedActive < (int)sheets.size()) ? loadedActive : 0;
    saved = true;
    return true;
}

bool Book::Save(const std::wstring& path) const
{
    // Written beside the target and moved over it, so a failed write leaves the old file.
    std::wstring temp = path + L".tmp";
    FILE* f = _wfopen(temp.c_str(), L"wb");
    if (!f)
        return false;
    std::string text = Write();
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = fflush(f) == 0 && !ferror(f) && ok;
    ok = fclose(f) == 0 && ok;
    if (!ok || !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

bool Book::Load(const std::wstring& path, std::string& error)
{
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) {
        error = "The file cannot be opened.";
        return false;
    }
    std::string text;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    fclose(f);
    if (!Read(text, error))
        return false;
    file = path;
    return true;
}

} // namespace qxxl
