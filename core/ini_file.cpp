#include "core/ini_file.h"

#include "core/com.h"

std::wstring GetIniString(const std::wstring& file, const std::wstring& section, const std::wstring& key)
{
    // The profile functions give no length: a result that fills the buffer may have been cut, so the
    // buffer grows until the value fits with room to spare.
    DWORD capacity = 1024;
    for (;;) {
        std::wstring value(capacity, L'\0');
        const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), L"", value.data(), capacity,
                                                      file.c_str());
        if (length + 1 < capacity) {
            value.resize(length);
            return value;
        }
        capacity *= 2;
    }
}
