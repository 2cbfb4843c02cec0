// A folder of a test's own under the temporary folder.
#pragma once
#include <windows.h>

#include <string>

namespace qxtest {

// Made new for each call: process ids come back soon under Wine, so a name built from the
// id alone can find a folder that an earlier test program left behind, files and all.
inline std::string NewTempFolder(const std::string& prefix)
{
    static int serial;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string base = std::string(temp) + prefix + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(++serial) + "_";
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string folder = base + std::to_string(attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr))
            return folder;
    }
    return base + "0";
}

}  // namespace qxtest
