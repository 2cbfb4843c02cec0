#include "qxtest/Exports.h"

#include <windows.h>
#include <algorithm>
#include <sstream>
#include <stdexcept>

namespace qxtest {

std::vector<ExportEntry> ReadExports(const std::string &dll)
{
    HMODULE module = LoadLibraryA(dll.c_str());
    if (!module)
        throw std::runtime_error("cannot load " + dll + ", error " + std::to_string(GetLastError()));
    auto *base = reinterpret_cast<const unsigned char *>(module);
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY &dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<ExportEntry> entries;
    if (dir.VirtualAddress && dir.Size) {
        auto *exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + dir.VirtualAddress);
        auto *functions = reinterpret_cast<const DWORD *>(base + exp->AddressOfFunctions);
        auto *names = reinterpret_cast<const DWORD *>(base + exp->AddressOfNames);
        auto *nameIndexes = reinterpret_cast<const WORD *>(base + exp->AddressOfNameOrdinals);
        for (DWORD i = 0; i < exp->NumberOfFunctions; ++i) {
            if (!functions[i])
                continue;
            ExportEntry e{unsigned(exp->Base + i), ""};
            for (DWORD j = 0; j < exp->NumberOfNames; ++j)
                if (nameIndexes[j] == i)
                    e.name = reinterpret_cast<const char *>(base + names[j]);
            entries.push_back(e);
        }
    }
    FreeLibrary(module);
    return entries;
}

std::string CompareExports(const std::string &dll, std::vector<ExportEntry> expected)
{
    std::vector<ExportEntry> actual = ReadExports(dll);
    auto byOrdinal = [](const ExportEntry &a, const ExportEntry &b) {
        return a.ordinal != b.ordinal ? a.ordinal < b.ordinal : a.name < b.name;
    };
    std::sort(expected.begin(), expected.end(), byOrdinal);
    std::ostringstream report;
    auto show = [](const ExportEntry &e) {
        return "@" + std::to_string(e.ordinal) + (e.name.empty() ? " (no name)" : " " + e.name);
    };
    size_t i = 0, j = 0;
    while (i < expected.size() || j < actual.size()) {
        if (j == actual.size() || (i < expected.size() && expected[i].ordinal < actual[j].ordinal)) {
            report << "missing " << show(expected[i++]) << "\n";
        } else if (i == expected.size() || actual[j].ordinal < expected[i].ordinal) {
            report << "extra " << show(actual[j++]) << "\n";
        } else {
            if (!(expected[i] == actual[j]))
                report << "expected " << show(expected[i]) << ", found " << show(actual[j]) << "\n";
            ++i;
            ++j;
        }
    }
    return report.str();
}

} // namespace qxtest
