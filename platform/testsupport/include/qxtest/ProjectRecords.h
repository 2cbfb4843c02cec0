// The record layout of project, window and template files, as tests and the fuzzer see it
// from outside: the checksum (CRC-32, as in zip files) written apart from the kernel's, so
// that a fault in either shows, and the walk that puts the checksums of changed records
// right, so that a reader meets the damage itself.
#pragma once

#include <windows.h>
#include <string.h>

#include <vector>

namespace qxtest {

inline DWORD Crc32Of(const BYTE* p, size_t n, DWORD crc = 0)
{
    DWORD c = crc ^ 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    }
    return c ^ 0xFFFFFFFFu;
}

// Each record: tag, version, length (4 bytes each), checksum over those 12 bytes and the
// payload, then the payload: the length of its fields, the fields, the records inside.
// Recomputes the checksums of the records between p and end that still parse, innermost
// first.
inline void FixRecordChecksums(std::vector<BYTE>& b, size_t p, size_t end)
{
    while (end - p >= 16) {
        DWORD length;
        memcpy(&length, &b[p + 8], 4);
        if (length > end - p - 16)
            return;
        size_t payload = p + 16;
        DWORD fields;
        if (length >= 4) {
            memcpy(&fields, &b[payload], 4);
            if (fields <= length - 4)
                FixRecordChecksums(b, payload + 4 + fields, payload + length);
        }
        DWORD crc = Crc32Of(&b[payload], length, Crc32Of(&b[p], 12));
        memcpy(&b[p + 12], &crc, 4);
        p = payload + length;
    }
}

} // namespace qxtest
