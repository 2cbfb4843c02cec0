// A folder of the test's own under the temporary folder, made when it is missing; the
// process id in the name keeps test programs that run side by side apart.
#pragma once
#include <windows.h>

#include <string>

inline std::string TestFolder(const std::string& name)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + name + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}
