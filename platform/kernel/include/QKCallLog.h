// The call log: an ordered record of the kernel operations that cannot be carried out in
// this build (dialogs, printing, help, web links) and of every operation whose calls a
// test checks. Tests read it instead of building a kernel of their own.
#pragma once

#include "QKDefs.h"

struct QKCallLogEntry {
    std::string op;   // operation, e.g. "layer -a" or "CQKAccess::OnlineHelp"
    std::string args; // its arguments as text, as the caller gave them
};

// The log keeps at most this many entries, dropping the older half when it is full.
const size_t QK_CALL_LOG_MAX = 100000;

class QK_API CQKCallLog {
public:
    void Add(const std::string& op, const std::string& args = std::string());
    void Clear();
    size_t GetCount() const { return m_entries.size(); }
    const QKCallLogEntry& GetAt(size_t i) const { return m_entries[i]; }
    // Index of the first entry at or after `from` whose op equals `op` (case-insensitive);
    // -1 when there is none.
    int Find(const std::string& op, size_t from = 0) const;
    // One line per entry, "op: args", for failure messages.
    std::string ToString() const;

private:
    std::vector<QKCallLogEntry> m_entries;
};

QK_API CQKCallLog& qkfxGetCallLog();
