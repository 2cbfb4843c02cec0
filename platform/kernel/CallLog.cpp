#include "QKCallLog.h"

#include <string.h>

void CQKCallLog::Add(const std::string& op, const std::string& args)
{
    // A long session (an import that refreshes after every row) must not fill memory
    // with its log: past the limit the older half goes.
    if (m_entries.size() >= QK_CALL_LOG_MAX)
        m_entries.erase(m_entries.begin(), m_entries.begin() + QK_CALL_LOG_MAX / 2);
    m_entries.push_back({op, args});
}

void CQKCallLog::Clear()
{
    m_entries.clear();
}

int CQKCallLog::Find(const std::string& op, size_t from) const
{
    for (size_t i = from; i < m_entries.size(); ++i)
        if (_stricmp(m_entries[i].op.c_str(), op.c_str()) == 0)
            return (int)i;
    return -1;
}

std::string CQKCallLog::ToString() const
{
    std::string s;
    for (const QKCallLogEntry& e : m_entries)
        s += e.op + (e.args.empty() ? "" : ": " + e.args) + "\n";
    return s;
}

CQKCallLog& qkfxGetCallLog()
{
    static CQKCallLog log;
    return log;
}
