#pragma once
// The debug archive that a user sends to support: a ZIP file with the single entry "debug.txt" holding
// the trace log as UTF-16 little-endian (the log's own U+FEFF gives it its byte-order mark), deflated
// at level 9.
#include "core/com.h"

#include <string>
#include <vector>

// The archive's bytes, built in memory. Throws std::bad_alloc when the archive cannot be built.
std::vector<unsigned char> BuildDebugZip(const std::wstring& logText);

// Builds the archive and writes it to path (any characters). On failure nothing is left at path, the
// result is false and *error (when given) receives the system error code.
bool WriteDebugZip(const std::wstring& path, const std::wstring& logText, DWORD* error = nullptr);
