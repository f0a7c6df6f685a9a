#pragma once
// Profile (INI) files.
#include <string>

// The value of key in section of the profile file, of any length; empty when the key is absent.
std::wstring GetIniString(const std::wstring& file, const std::wstring& section, const std::wstring& key);
