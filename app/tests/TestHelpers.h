// Helpers of the main program's tests.
#pragma once
#include <windows.h>

#include <string>

#include "qxtest/TempFolder.h"

// A new folder of the test's own under the temporary folder.
inline std::string TestFolder(const std::string& name)
{
    return qxtest::NewTempFolder(name);
}

// Every start of the program writes the shell's file types and the toolbar keys into the
// one registry, and two starts at the same moment can spoil each other's keys: test cases
// that start the program, here and in the application core's tests, take turns.
class RegistryTurn {
public:
    RegistryTurn() : m_mutex(CreateMutexA(nullptr, FALSE, "qxuser_core_tests registry"))
    {
        WaitForSingleObject(m_mutex, INFINITE);
    }
    ~RegistryTurn()
    {
        ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
    }
    RegistryTurn(const RegistryTurn&) = delete;
    RegistryTurn& operator=(const RegistryTurn&) = delete;

private:
    HANDLE m_mutex;
};
