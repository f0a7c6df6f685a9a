#pragma once
// Profile (INI) files.
#include <string>
#include <utility>
#include <vector>

// The value of key in section of the profile file, of any length; empty when the key is absent.
std::wstring GetIniString(const std::wstring& file, const std::wstring& section, const std::wstring& key);

// Every "key=value" line of section, in file order, read in one pass; a value in matching quotes loses
// them, as GetIniString gives it. Lines without "=" are skipped; no lines when the section is absent.
std::vector<std::pair<std::wstring, std::wstring>> GetIniSection(const std::wstring& file, const std::wstring& section);
