#include "Container.h"

#include <cstring>

namespace qxutil {

namespace {

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool SameMemberName(const char *stored, size_t storedLength, std::string_view wanted)
{
    if (storedLength != wanted.size())
        return false;
    for (size_t i = 0; i < storedLength; ++i)
        if (AsciiLower(stored[i]) != AsciiLower(wanted[i]))
            return false;
    return true;
}

} // namespace

bool FindContainerMember(std::string_view file, std::string_view member, std::string_view *data)
{
    ContainerHeader header;
    if (file.size() < sizeof header)
        return false;
    std::memcpy(&header, file.data(), sizeof header);
    if (std::memcmp(header.magic, "QXCF", 4) != 0 || header.version != 1)
        return false;
    // 64-bit arithmetic: a damaged count or offset must not wrap around.
    uint64_t directoryEnd = sizeof header + uint64_t(header.count) * sizeof(ContainerEntry);
    if (directoryEnd > file.size())
        return false;
    for (uint32_t i = 0; i < header.count; ++i) {
        ContainerEntry entry;
        std::memcpy(&entry, file.data() + sizeof header + size_t(i) * sizeof entry, sizeof entry);
        const void *nul = std::memchr(entry.name, 0, sizeof entry.name);
        if (!nul)
            return false;
        size_t nameLength = static_cast<const char *>(nul) - entry.name;
        if (!SameMemberName(entry.name, nameLength, member))
            continue;
        if (uint64_t(entry.offset) + entry.length > file.size())
            return false;
        *data = file.substr(entry.offset, entry.length);
        return true;
    }
    return false;
}

} // namespace qxutil
