#pragma once
// The library's own file and its text files. Unicode text files are UTF-16 little-endian with FF FE first;
// the readers throw the wide string "File not found: " + path for a missing file.
#include <cstdint>
#include <string>

// Full path of the library's own module file; empty when it cannot be had.
std::wstring GetModulePath();

// Size in bytes; -1 for an empty path, a path ending in "\\" (a folder) or a path that does not exist.
std::int64_t GetFileLength(const std::wstring& path);

// The whole file as bytes, up to the first zero byte.
std::string ReadFileToString(const std::wstring& path);

// The whole file as UTF-16 text: the first two bytes (the byte-order mark) are dropped whatever they
// hold, and the text ends at the first zero character.
std::wstring ReadUnicodeFile(const std::wstring& path);

// Creates or truncates the file and writes FF FE followed by the text, without a terminator.
// False when the file cannot be created or not every byte was written.
bool WriteUnicodeFile(const std::wstring& text, const std::wstring& path);

// "a.b.c.d" from the file's version resource; empty when there is none.
std::wstring GetFileVersionString(const std::wstring& path);
