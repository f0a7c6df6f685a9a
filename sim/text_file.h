#pragma once
// Files the stand-in programs read as given: responses and panel scripts.
#include <optional>
#include <string>

namespace sim {

// A path as a Unix shell or the compiler (__FILE__) gives it, as Windows names it under Wine; any other
// path as it is.
std::wstring WindowsPath(const std::wstring& path);

// A whole file's bytes; none when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::wstring& path);

// A text file in UTF-16 with its mark, else in UTF-8 (with or without its mark); none when it cannot be
// opened.
std::optional<std::wstring> ReadTextFile(const std::wstring& path);

} // namespace sim
