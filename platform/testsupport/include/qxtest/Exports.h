// A DLL's export table, read from the loaded image, for checks of names and ordinals.
#pragma once
#include <string>
#include <vector>

namespace qxtest {

struct ExportEntry {
    unsigned ordinal;
    std::string name;  // empty for an export by ordinal only
    bool operator==(const ExportEntry &o) const { return ordinal == o.ordinal && name == o.name; }
};

// Every export of the DLL (loaded from the program folder by name), sorted by ordinal.
// Throws std::runtime_error when the DLL cannot be loaded.
std::vector<ExportEntry> ReadExports(const std::string &dll);

// Compares the export table with `expected`; answers an empty string when they match,
// otherwise a readable list of what is missing, what is extra and what differs.
std::string CompareExports(const std::string &dll, std::vector<ExportEntry> expected);

} // namespace qxtest
