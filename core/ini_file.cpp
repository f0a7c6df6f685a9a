#include "core/ini_file.h"

#include "core/com.h"

#include <algorithm>

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

std::vector<std::pair<std::wstring, std::wstring>> GetIniSection(const std::wstring& file, const std::wstring& section)
{
    // A result that fills the buffer but for its two terminators may have been cut.
    DWORD capacity = 4096;
    std::wstring lines;
    for (;;) {
        lines.assign(capacity, L'\0');
        const DWORD length = GetPrivateProfileSectionW(section.c_str(), lines.data(), capacity, file.c_str());
        if (length + 2 < capacity) {
            lines.resize(length);
            break;
        }
        capacity *= 2;
    }
    std::vector<std::pair<std::wstring, std::wstring>> values;
    for (size_t start = 0; start < lines.size();) {
        const size_t end = std::min(lines.find(L'\0', start), lines.size());
        const std::wstring line = lines.substr(start, end - start);
        start = end + 1;
        const size_t equals = line.find(L'=');
        if (equals == std::wstring::npos)
            continue;
        std::wstring value = line.substr(equals + 1);
        if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') && value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        values.emplace_back(line.substr(0, equals), std::move(value));
    }
    return values;
}
