// Packed files (.qpk): several files in one, with a setup script that installs them when
// the package is opened. Layout (little-endian):
//   "QPK" 0x1A, version (uint32, 1), file count (uint32), then per file: name length
//   (uint32), name (no folder), size (uint32), the file's bytes.
// Every file of a package goes into the user's settings folder; the one named
// "QPKSetup.qgs" is run there and removed.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "KernelInternal.h"
#include "QKCallLog.h"
#include "QKScript.h"
#include "QKUtil.h"

namespace {

const char kMagic[4] = {'Q', 'P', 'K', 0x1A};
const uint32_t kVersion = 1;
const char kSetupName[] = "QPKSetup.qgs";
const uint32_t kMaxFileSize = 0x40000000;

struct PackedFile {
    std::string name;
    std::string bytes;
};

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != FALSE) && got > 0)
        bytes->append(buffer, got);
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    if (!ok)
        DeleteFileA(path.c_str());
    return ok;
}

// A name a package may carry: a plain file name, so that no file lands outside the folder
// it is installed into.
bool IsPlainFileName(const std::string& name)
{
    if (name.empty() || name.size() > MAX_PATH || name == "." || name == "..")
        return false;
    for (unsigned char c : name)
        if (c < 32 || strchr("\\/:*?\"<>|", c))
            return false;
    return true;
}

std::string Lowered(std::string text)
{
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

void PutU32(std::string* out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out->push_back((char)((v >> (8 * i)) & 0xFF));
}

bool GetU32(const std::string& in, size_t* pos, uint32_t* v)
{
    if (in.size() - *pos < 4)
        return false;
    *v = 0;
    for (int i = 0; i < 4; ++i)
        *v |= (uint32_t)(unsigned char)in[*pos + i] << (8 * i);
    *pos += 4;
    return true;
}

// The files of a package, all checked before anything is written.
bool ParsePackage(const std::string& bytes, std::vector<PackedFile>* files, std::string* why)
{
    size_t pos = 4;
    uint32_t version = 0, count = 0;
    if (bytes.size() < 4 || memcmp(bytes.data(), kMagic, 4) != 0) {
        *why = "it is not a packed file";
        return false;
    }
    if (!GetU32(bytes, &pos, &version) || !GetU32(bytes, &pos, &count)) {
        *why = "it is cut short";
        return false;
    }
    if (version != kVersion) {
        *why = "it was packed in version " + std::to_string(version) + ", which this program does not read";
        return false;
    }
    std::set<std::string> seen;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0, size = 0;
        if (!GetU32(bytes, &pos, &length) || bytes.size() - pos < length) {
            *why = "it is cut short";
            return false;
        }
        PackedFile f;
        f.name = bytes.substr(pos, length);
        pos += length;
        if (!IsPlainFileName(f.name)) {
            *why = "file " + std::to_string(i + 1) + " has a name that is not a plain file name";
            return false;
        }
        if (!seen.insert(Lowered(f.name)).second) {
            *why = "it holds \"" + f.name + "\" twice";
            return false;
        }
        if (!GetU32(bytes, &pos, &size) || bytes.size() - pos < size) {
            *why = "it is cut short in \"" + f.name + "\"";
            return false;
        }
        f.bytes = bytes.substr(pos, size);
        pos += size;
        files->push_back(std::move(f));
    }
    if (pos != bytes.size()) {
        *why = "it has bytes after its last file";
        return false;
    }
    if (!seen.count(Lowered(kSetupName))) {
        *why = std::string("it has no setup script (") + kSetupName + ")";
        return false;
    }
    return true;
}

// The installation in progress: what each written file held before, so that the setup
// script's qpack.undo() can put the folder back as it was.
struct Installation {
    struct Written {
        std::string path;
        bool existed = false;
        std::string before;
    };
    std::vector<Written> written;
    bool undone = false;

    void Undo()
    {
        for (auto it = written.rbegin(); it != written.rend(); ++it) {
            if (it->existed)
                WriteWholeFile(it->path, it->before);
            else
                DeleteFileA(it->path.c_str());
        }
        written.clear();
        undone = true;
    }
};

Installation* g_installation = nullptr;

} // namespace

bool qkPackFiles(const std::string& listName, std::string* error)
{
    // A bare list name is looked for where button groups live: the user's settings folder,
    // then the program folder.
    std::string listPath = listName;
    if (!CQKPath(listName.c_str()).IsAbsolute()) {
        listPath = CQKPath::Combine(qkGetIniFolder(), listName);
        if (!CQKPath(listPath.c_str()).Exists())
            listPath = CQKPath::Combine(qkGetProgramFolder(), listName);
    }
    std::string list;
    if (!ReadWholeFile(listPath, &list)) {
        *error = "the list of files to pack, \"" + listName + "\", cannot be read";
        return false;
    }
    std::string folder = CQKPath(listPath.c_str()).GetFolder();
    auto resolve = [&](const std::string& entry) {
        return CQKPath(entry.c_str()).IsAbsolute() ? entry : CQKPath::Combine(folder, entry);
    };
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find('\n', start);
        std::string line = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        line = qkTrim(line);
        if (!line.empty())
            lines.push_back(line);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    if (lines.size() < 2) {
        *error = "the list \"" + listPath + "\" names no files to pack";
        return false;
    }
    std::string package = resolve(lines[0]);
    std::string out(kMagic, 4);
    PutU32(&out, kVersion);
    PutU32(&out, (uint32_t)(lines.size() - 1));
    std::set<std::string> seen;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string path = resolve(lines[i]);
        std::string name = CQKPath(path.c_str()).GetFileName();
        if (!seen.insert(Lowered(name)).second) {
            *error = "two files to pack are named \"" + name + "\"; a package holds each name once";
            return false;
        }
        std::string bytes;
        if (!ReadWholeFile(path, &bytes)) {
            *error = "\"" + path + "\" cannot be read, so the package was not written";
            return false;
        }
        if (bytes.size() > kMaxFileSize) {
            *error = "\"" + path + "\" is too large to pack";
            return false;
        }
        PutU32(&out, (uint32_t)name.size());
        out += name;
        PutU32(&out, (uint32_t)bytes.size());
        out += bytes;
    }
    // Written beside, then moved over: a package that fails half-way leaves the old one.
    std::string temp = package + ".tmp";
    if (!WriteWholeFile(temp, out) || !MoveFileExA(temp.c_str(), package.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp.c_str());
        *error = "the package \"" + package + "\" cannot be written";
        return false;
    }
    qkfxGetCallLog().Add("qpack.pack", package);
    return true;
}

bool qkInstallPackage(const std::string& path, std::string* error)
{
    std::string bytes, why;
    std::vector<PackedFile> files;
    if (!ReadWholeFile(path, &bytes)) {
        *error = "\"" + path + "\" cannot be read";
        return false;
    }
    if (!ParsePackage(bytes, &files, &why)) {
        *error = "\"" + path + "\" was not installed: " + why;
        return false;
    }
    if (g_installation) {
        *error = "\"" + path + "\" was not installed: another package's setup is running";
        return false;
    }
    std::string folder = qkGetIniFolder();
    Installation installation;
    std::string setupPath;
    for (const PackedFile& f : files) {
        Installation::Written w;
        w.path = CQKPath::Combine(folder, f.name);
        w.existed = ReadWholeFile(w.path, &w.before);
        if (!WriteWholeFile(w.path, f.bytes)) {
            installation.Undo();
            *error = "\"" + path + "\" was not installed: \"" + w.path + "\" cannot be written";
            return false;
        }
        installation.written.push_back(w);
        if (_stricmp(f.name.c_str(), kSetupName) == 0)
            setupPath = w.path;
    }
    qkfxGetCallLog().Add("qpack.install", path);
    g_installation = &installation;
    bool ran = qkfxGetScript().RunFile(setupPath, {});
    g_installation = nullptr;
    if (!installation.undone) {
        // The setup script is the package's, not the folder's: it goes, and a file of its
        // name that was there before comes back.
        for (const Installation::Written& w : installation.written)
            if (w.path == setupPath) {
                if (w.existed)
                    WriteWholeFile(w.path, w.before);
                else
                    DeleteFileA(w.path.c_str());
            }
    }
    if (!ran) {
        *error = "the setup script of \"" + path + "\" failed: " + qkfxGetScript().GetLastError();
        return false;
    }
    return true;
}

bool qkUndoPackageInstall()
{
    if (!g_installation)
        return false;
    g_installation->Undo();
    qkfxGetCallLog().Add("qpack.undo", "");
    return true;
}
