#pragma once
// The typed registry values of the settings and presets: numbers and booleans as REG_DWORD (booleans
// written as 0 or 1, read as true for any non-zero number), texts as REG_SZ with their terminating zero.
// Reads fall back to the caller's default (missing key or value, or a value of another type).
#include "core/com.h"

#include <cstdint>
#include <string>

bool ReadRegBool(HKEY key, const std::wstring& name, bool defaultValue);
int32_t ReadRegInt32(HKEY key, const std::wstring& name, int32_t defaultValue);

// False when the value could not be written.
bool WriteRegDword(HKEY key, const std::wstring& name, DWORD value);
bool WriteRegString(HKEY key, const std::wstring& name, const std::wstring& value);
