#pragma once
// The trace log out of a debug archive the error dialog saved ("debug.txt", UTF-16 with its mark).
#include <optional>
#include <string>

namespace velmar_sim {

// The log's text without its byte-order mark; none when the archive cannot be read.
std::optional<std::wstring> ReadDebugLog(const std::wstring& archive);

} // namespace velmar_sim
