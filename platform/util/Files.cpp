// Files, profile texts and container files.
#include "qxutil.h"
#include "Container.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Section and key names are ASCII words; other bytes compare as they are.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

// One line of a profile text: its bytes without the line end, and where the next starts.
struct Line {
    std::string_view text;
    size_t next;
};

Line LineAt(std::string_view all, size_t from)
{
    size_t end = from;
    while (end < all.size() && all[end] != '\n' && all[end] != '\r')
        ++end;
    size_t next = end;
    if (next < all.size() && all[next] == '\r')
        ++next;
    if (next < all.size() && all[next] == '\n')
        ++next;
    return {all.substr(from, end - from), next};
}

// The name of a section header line ("[name]"), or false when the line is no header.
bool SectionName(std::string_view line, std::string_view *name)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return false;
    size_t close = line.find(']');
    *name = Trim(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

// The body of the first section of that name: [begin, end) in `all`; false when absent.
bool FindSection(std::string_view all, std::string_view section, size_t *begin, size_t *end)
{
    section = Trim(section);
    size_t at = 0;
    bool inside = false;
    while (at < all.size()) {
        Line line = LineAt(all, at);
        std::string_view name;
        if (SectionName(line.text, &name)) {
            if (inside) {
                *end = at;
                return true;
            }
            if (SameName(name, section)) {
                inside = true;
                *begin = line.next;
            }
        }
        at = line.next;
    }
    if (inside)
        *end = all.size();
    return inside;
}

// The key lines of a section body: name and value, both trimmed; lines that are empty
// or start with ';' are comments.
struct KeyLine {
    std::string_view name;
    std::string_view value;
};

std::vector<KeyLine> KeyLines(std::string_view body)
{
    std::vector<KeyLine> keys;
    for (size_t at = 0; at < body.size();) {
        Line line = LineAt(body, at);
        at = line.next;
        std::string_view t = Trim(line.text);
        if (t.empty() || t.front() == ';')
            continue;
        size_t eq = t.find('=');
        keys.push_back({Trim(t.substr(0, eq)),
                        eq == std::string_view::npos ? std::string_view() : Trim(t.substr(eq + 1))});
    }
    return keys;
}

DWORD CopyCut(std::string_view value, char *buffer, DWORD size)
{
    DWORD n = DWORD(std::min<size_t>(value.size(), size - 1));
    std::memcpy(buffer, value.data(), n);
    buffer[n] = 0;
    return n;
}

DWORD ReadSection(std::string_view all, const char *section, char *buffer, DWORD size)
{
    if (!buffer || size == 0)
        return 0;
    size_t begin, end;
    if (!section || !FindSection(all, section, &begin, &end))
        return CopyCut({}, buffer, size);
    return CopyCut(all.substr(begin, end - begin), buffer, size);
}

bool ReadWholeFile(const char *fileName, std::string *contents)
{
    if (!fileName)
        return false;
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER length;
    bool ok = GetFileSizeEx(file, &length) && length.QuadPart < (1LL << 30);
    if (ok) {
        contents->resize(size_t(length.QuadPart));
        DWORD read = 0;
        ok = length.QuadPart == 0 ||
             (ReadFile(file, &(*contents)[0], DWORD(length.QuadPart), &read, nullptr) &&
              read == DWORD(length.QuadPart));
    }
    CloseHandle(file);
    return ok;
}

} // namespace

extern "C" HANDLE UtilOpenFile(const char *path, DWORD access, DWORD disposition)
{
    if (!path || !*path)
        return INVALID_HANDLE_VALUE;
    return CreateFileA(path, access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

extern "C" int64_t UtilFileLength(HANDLE file)
{
    LARGE_INTEGER length;
    if (file == nullptr || file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &length))
        return -1;
    return length.QuadPart;
}

extern "C" DWORD UtilReadProfileString(const char *section, const char *key,
                                       const char *defaultValue, char *buffer, DWORD size,
                                       const char *text)
{
    if (!buffer || size == 0)
        return 0;
    std::string_view all = text ? text : "";
    size_t begin = 0, end = 0;
    bool found = section && FindSection(all, section, &begin, &end);

    std::vector<KeyLine> keys = found ? KeyLines(all.substr(begin, end - begin)) : std::vector<KeyLine>();

    if (!key) {
        // The key names of the section, each terminated, ended by an empty name.
        if (size < 2) {
            buffer[0] = 0;
            return 0;
        }
        DWORD used = 0;
        for (const KeyLine &k : keys) {
            if (used + k.name.size() + 1 > size - 1) {
                buffer[used] = 0;
                return size - 2;
            }
            std::memcpy(buffer + used, k.name.data(), k.name.size());
            used += DWORD(k.name.size());
            buffer[used++] = 0;
        }
        buffer[used] = 0;
        return used;
    }

    std::string_view wanted = Trim(key);
    for (const KeyLine &k : keys) {
        if (!SameName(k.name, wanted))
            continue;
        std::string_view value = k.value;
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return CopyCut(value, buffer, size);
    }
    std::string_view fallback = defaultValue ? defaultValue : "";
    while (!fallback.empty() && IsBlank(fallback.back()))
        fallback.remove_suffix(1);
    return CopyCut(fallback, buffer, size);
}

extern "C" DWORD UtilReadProfileSectionText(const char *section, char *buffer, DWORD size,
                                            const char *text)
{
    return ReadSection(text ? text : "", section, buffer, size);
}

extern "C" DWORD UtilReadProfileSection(const char *section, char *buffer, DWORD size,
                                        const char *fileName)
{
    std::string contents;
    if (!ReadWholeFile(fileName, &contents))
        contents.clear();
    return ReadSection(contents, section, buffer, size);
}

extern "C" HGLOBAL UtilReadContainerMember(const char *container, const char *member, DWORD *size)
{
    if (size)
        *size = 0;
    std::string contents;
    if (!member || !ReadWholeFile(container, &contents))
        return nullptr;
    std::string_view data;
    if (!qxutil::FindContainerMember(contents, member, &data))
        return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, data.empty() ? 1 : data.size());
    if (!block)
        return nullptr;
    void *p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(p, data.data(), data.size());
    GlobalUnlock(block);
    if (size)
        *size = DWORD(data.size());
    return block;
}
