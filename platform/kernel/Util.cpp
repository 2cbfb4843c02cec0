#include "QKUtil.h"

#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "KernelInternal.h"
#include "QKCallLog.h"
#include "QKScript.h"
#include "QKSysMethod.h"
#include "QKAccess.h"

std::string qkTrim(const std::string& s)
{
    size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos)
        return std::string();
    size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> qkSplitArgs(const std::string& text)
{
    std::vector<std::string> parts;
    int depth = 0;
    bool quote = false;
    std::string cur;
    for (char c : text) {
        if (c == '"')
            quote = !quote;
        if (!quote) {
            if (c == '(' || c == '[')
                ++depth;
            else if ((c == ')' || c == ']') && depth > 0)
                --depth;
            else if (c == ',' && depth == 0) {
                parts.push_back(qkTrim(cur));
                cur.clear();
                continue;
            }
        }
        cur += c;
    }
    if (!qkTrim(cur).empty() || !parts.empty())
        parts.push_back(qkTrim(cur));
    return parts;
}

bool qkSplitWords(const std::string& text, std::vector<std::string>* words)
{
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isspace((unsigned char)text[i]))
            ++i;
        if (i >= text.size())
            break;
        std::string w;
        if (text[i] == '"') {
            size_t close = text.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            w = text.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            while (i < text.size() && !isspace((unsigned char)text[i]))
                w += text[i++];
        }
        words->push_back(w);
    }
    return true;
}

bool CQKCString::GetReal(double* value) const
{
    const char* s = m_text.c_str();
    while (isspace((unsigned char)*s))
        ++s;
    if (!*s)
        return false;
    char* end = nullptr;
    double v = strtod(s, &end);
    while (isspace((unsigned char)*end))
        ++end;
    if (*end || end == s)
        return false;
    *value = v;
    return true;
}

bool CQKCString::GetInt(int* value) const
{
    double v = 0;
    if (!GetReal(&v) || v != (int)v)
        return false;
    *value = (int)v;
    return true;
}

std::string CQKCString::DoubleToStrByFormat(double value, const char* format)
{
    if (IsMissingValue(value))
        return "--";
    if (!format || !*format || !strcmp(format, "*"))
        return qkFormatNumber(value);
    if (format[0] == '*') {
        int digits = atoi(format + 1);
        char buf[64];
        snprintf(buf, sizeof buf, "%.*g", digits < 1 ? 1 : digits > 17 ? 17 : digits, value);
        return buf;
    }
    // A printf format for one double: anything else (a %s, several conversions) would
    // read arguments that are not there, so it falls back to the default form.
    const char* conv = strchr(format, '%');
    int count = 0;
    for (const char* p = format; (p = strchr(p, '%')); p += 2)
        count += p[1] != '%';
    if (!conv || count != 1)
        return qkFormatNumber(value);
    const char* spec = conv + 1 + strspn(conv + 1, "-+ #0123456789.");
    if (!*spec || !strchr("eEfgG", *spec))
        return qkFormatNumber(value);
    char buf[128];
    snprintf(buf, sizeof buf, format, value);
    return buf;
}

void CQKCString::NumToStr(double value, const char* format)
{
    m_text = DoubleToStrByFormat(value, format);
}

bool CQKCString::GetEndNumber(int* value) const
{
    size_t i = m_text.size();
    while (i > 0 && isdigit((unsigned char)m_text[i - 1]))
        --i;
    if (i == m_text.size() || m_text.size() - i > 9)
        return false;
    *value = atoi(m_text.c_str() + i);
    return true;
}

void CQKCString::DeleteMid(int start, int count)
{
    if (start < 0 || count <= 0 || start >= (int)m_text.size())
        return;
    m_text.erase(start, count);
}

void CQKCString::InsertString(int pos, const char* text)
{
    if (!text)
        return;
    pos = pos < 0 ? 0 : pos > (int)m_text.size() ? (int)m_text.size() : pos;
    m_text.insert(pos, text);
}

bool CQKCString::IsPathValid() const
{
    // A path ending in a separator names a folder: valid when the folder exists.
    if (!m_text.empty() && (m_text.back() == '\\' || m_text.back() == '/')) {
        std::string folder = m_text.size() > 3 ? m_text.substr(0, m_text.size() - 1) : m_text;
        DWORD attr = GetFileAttributesA(folder.c_str());
        return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
    }
    CQKPath path(m_text.c_str());
    std::string name = path.GetFileName();
    if (name.empty() || name.find_first_of("<>:\"/\\|?*") != std::string::npos)
        return false;
    std::string folder = path.GetFolder();
    if (folder.empty())
        return true;
    DWORD attr = GetFileAttributesA(folder.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL CQKCString::FindQuorixNumericVariable(const char* name, double* value)
{
    return name && qkfxGetScript().GetVariable(name, value);
}

std::string CQKPath::GetFolder() const
{
    size_t slash = m_path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : m_path.substr(0, slash);
}

std::string CQKPath::GetFileName() const
{
    size_t slash = m_path.find_last_of("\\/");
    return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string CQKPath::GetTitle() const
{
    std::string name = GetFileName();
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string CQKPath::GetExtension() const
{
    std::string name = GetFileName();
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

void CQKPath::SetExtension(const char* ext)
{
    std::string e = ext ? ext : "";
    if (!e.empty() && e[0] != '.')
        e = "." + e;
    m_path = m_path.substr(0, m_path.size() - GetExtension().size()) + e;
}

bool CQKPath::IsAbsolute() const
{
    return (m_path.size() > 2 && m_path[1] == ':') || (!m_path.empty() && (m_path[0] == '\\' || m_path[0] == '/'));
}

bool CQKPath::Exists() const
{
    return GetFileAttributesA(m_path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string CQKPath::Combine(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    char last = folder.back();
    return folder + (last == '\\' || last == '/' ? "" : "\\") + name;
}

std::string CQKINIFile::ReadString(const char* section, const char* key, const char* def) const
{
    std::vector<char> buf(4096);
    for (;;) {
        DWORD n = GetPrivateProfileStringA(section, key, def ? def : "", buf.data(), (DWORD)buf.size(),
                                           m_path.c_str());
        if (n < buf.size() - 2)
            return std::string(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

BOOL CQKINIFile::WriteString(const char* section, const char* key, const char* value) const
{
    return WritePrivateProfileStringA(section, key, value, m_path.c_str());
}

int CQKINIFile::ReadInt(const char* section, const char* key, int def) const
{
    return (int)GetPrivateProfileIntA(section, key, def, m_path.c_str());
}

BOOL CQKINIFile::WriteInt(const char* section, const char* key, int value) const
{
    return WriteString(section, key, std::to_string(value).c_str());
}

BOOL CQKINIFile::ReadWinPos(const char* section, RECT& rect, const char* def) const
{
    std::string text = ReadString(section, "WinPos", def);
    long l, t, r, b;
    if (sscanf(text.c_str(), "%ld %ld %ld %ld", &l, &t, &r, &b) != 4)
        return FALSE;
    rect = RECT{l, t, r, b};
    return TRUE;
}

BOOL CQKINIFile::WriteWinPos(const char* section, const RECT& rect) const
{
    char text[64];
    snprintf(text, sizeof text, "%ld %ld %ld %ld", (long)rect.left, (long)rect.top, (long)rect.right,
             (long)rect.bottom);
    return WriteString(section, "WinPos", text);
}

std::string QKSysMethodPath::GetProgram() const
{
    return qkGetProgramFolder();
}

std::string QKSysMethodPath::GetExcel() const
{
    std::string folder = m_excel.empty() ? GetProgram() : m_excel;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    return folder;
}

bool CQKQrxSystem::ChangeMenuLevel(int level)
{
    if (level < 0 || level >= GetNumMenuLevels())
        return false;
    m_menuLevel = level;
    return true;
}

std::string CQKQrxSystem::GetMenuLevelTitle(int level) const
{
    return level == 0 ? "Full Menus" : std::string();
}

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG)
        return TRUE;
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

void CQKQrxSystem::AboutDialog()
{
    qkfxGetCallLog().Add("CQKQrxSystem::AboutDialog");
    HWND frame = qkfxGetAccess()->GetMainFrame();
    HMODULE program = GetModuleHandleA(nullptr);
    const int kAboutBox = 100;
    if (frame == nullptr || !IsWindow(frame) || !FindResourceA(program, MAKEINTRESOURCEA(kAboutBox), RT_DIALOG))
        return;
    DialogBoxParamA(program, MAKEINTRESOURCEA(kAboutBox), frame, AboutProc, 0);
}

void CQKQrxSystem::ToggleScriptWindow()
{
    CQKScriptWindow* window = qkfxGetAccess()->GetScriptWindow();
    bool show = !window->IsShown();
    window->Show(show);
    qkfxGetCallLog().Add("CQKQrxSystem::ToggleScriptWindow", window->IsShown() ? "shown" : "hidden");
}

bool CQKQrxSystem::IsScriptWindowShown() const
{
    return qkfxGetAccess()->GetScriptWindow()->IsShown();
}

std::string qkFormatText(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}
