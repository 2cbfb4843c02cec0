// Container files: several named members (equation pictures, sample curves) in one file.
//
// Layout, little-endian, no padding:
//   header  (16 bytes): magic "QXCF", version 1, member count, reserved 0
//   entries (72 bytes each, right after the header): member name (NUL-padded, at most
//           63 characters, compared without regard to ASCII case), offset of the
//           member's bytes from the start of the file, their length
//   member bytes anywhere behind the entries.
#pragma once
#include <cstdint>
#include <string_view>

namespace qxutil {

struct ContainerHeader {
    char magic[4];      // "QXCF"
    uint32_t version;   // 1
    uint32_t count;
    uint32_t reserved;
};

struct ContainerEntry {
    char name[64];
    uint32_t offset;
    uint32_t length;
};

static_assert(sizeof(ContainerHeader) == 16, "container header is 16 bytes in the file");
static_assert(sizeof(ContainerEntry) == 72, "container entry is 72 bytes in the file");

// Finds the member in a container file's bytes; false for a damaged container (bad
// magic or version, entries or members reaching past the end, an unterminated name)
// or a missing member.
bool FindContainerMember(std::string_view file, std::string_view member, std::string_view *data);

} // namespace qxutil
