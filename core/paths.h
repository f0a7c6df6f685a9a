#pragma once
// Path texts with "\\" as the separator; none of these touches the file system.
#include <string>

// The part after the last "\\"; the whole text when there is none.
std::wstring GetFileName(const std::wstring& path);
// The part up to and including the last "\\"; empty when there is none.
std::wstring GetFilePath(const std::wstring& path);
// For "a\\b\\": "a\\"; a path not ending in "\\", or without an earlier "\\", is returned unchanged.
std::wstring GetParentPath(const std::wstring& path);
// From the last "." to the end, dot included; empty when there is no ".".
std::wstring GetFileExt(const std::wstring& path);
// The folder part unchanged, then the file name with \ / : * ? " < > | each replaced by "_".
std::wstring MakeValidFileName(const std::wstring& path);
// The whole text with those characters replaced: a name that is no path ("M10\50" stays one name).
std::wstring ValidFileNameText(const std::wstring& text);
