#include "objects/settings_registry.h"

#include "core/registry.h"

bool ReadRegBool(HKEY key, const std::wstring& name, bool defaultValue)
{
    return ReadRegDword(key, name, defaultValue ? 1 : 0) != 0;
}

int32_t ReadRegInt32(HKEY key, const std::wstring& name, int32_t defaultValue)
{
    return static_cast<int32_t>(ReadRegDword(key, name, static_cast<DWORD>(defaultValue)));
}

bool WriteRegDword(HKEY key, const std::wstring& name, DWORD value)
{
    return RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

bool WriteRegString(HKEY key, const std::wstring& name, const std::wstring& value)
{
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
           ERROR_SUCCESS;
}
