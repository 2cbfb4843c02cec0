// Texts between the program's code page and OLE's wide strings, for the OLE sources.
#pragma once
#include "afx.h"

#include <string>

namespace qxafx {

inline std::wstring Wide(LPCTSTR text)
{
    if (text == nullptr)
        return std::wstring();
    int n = ::MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring w(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1)
        ::MultiByteToWideChar(CP_ACP, 0, text, -1, &w[0], n);
    return w;
}

inline CString Narrow(LPCOLESTR text)
{
    if (text == nullptr)
        return CString();
    char buf[1024] = "";
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, buf, sizeof buf, nullptr, nullptr);
    return CString(buf);
}

} // namespace qxafx
