#include "core/registry.h"

#include <algorithm>
#include <cstring>

namespace {

// RegEnumKeyExW and RegEnumValueW take their name buffers in characters and do not say how long a
// name that did not fit is; the buffer starts at 8192 bytes (or the key's longest name) and doubles.
constexpr DWORD FirstNameChars = 4096;
constexpr DWORD MaxNameChars = 32768;

enum class NameKind { Subkey, Value };

// The key a test keeps from deletion (testhooks::ScopedUndeletableRegKey); none while root is null.
struct UndeletableKey {
    HKEY root = nullptr;
    std::wstring path;
};

UndeletableKey& Undeletable() noexcept
{
    static UndeletableKey key;
    return key;
}

bool IsUndeletable(HKEY root, const std::wstring& path) noexcept
{
    const UndeletableKey& key = Undeletable();
    return key.root && key.root == root && _wcsicmp(key.path.c_str(), path.c_str()) == 0;
}

std::vector<std::wstring> EnumNames(HKEY key, NameKind kind)
{
    std::vector<std::wstring> names;
    if (!key)
        return names;
    DWORD longestSubkey = 0;
    DWORD longestValue = 0;
    DWORD capacity = FirstNameChars;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &longestSubkey, nullptr, nullptr, &longestValue,
                         nullptr, nullptr, nullptr) == ERROR_SUCCESS)
        capacity = std::max(capacity, (kind == NameKind::Subkey ? longestSubkey : longestValue) + 1);
    std::wstring buffer(capacity, L'\0');
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG result = kind == NameKind::Subkey
            ? RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
            : RegEnumValueW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA && buffer.size() < MaxNameChars) {
            buffer.resize(std::min<size_t>(buffer.size() * 2, MaxNameChars));
            continue;
        }
        if (result != ERROR_SUCCESS)
            break;
        names.emplace_back(buffer.data(), length);
        ++index;
    }
    return names;
}

} // namespace

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
}

HKEY* RegKey::put() noexcept
{
    Close();
    return &key_;
}

void RegKey::Close() noexcept
{
    if (key_)
        RegCloseKey(std::exchange(key_, nullptr));
}

RegKey OpenRegKey(HKEY root, const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(key);
}

RegKey CreateRegKey(HKEY root, const std::wstring& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(key);
}

LONG QueryRegValue(HKEY key, const std::wstring& name, std::vector<BYTE>& buffer, DWORD* type)
{
    if (buffer.empty())
        buffer.resize(1);
    DWORD valueType = REG_NONE;
    DWORD size = static_cast<DWORD>(buffer.size());
    LONG result = RegQueryValueExW(key, name.c_str(), nullptr, &valueType, buffer.data(), &size);
    if (result == ERROR_MORE_DATA) {
        buffer.resize(size);
        size = static_cast<DWORD>(buffer.size());
        result = RegQueryValueExW(key, name.c_str(), nullptr, &valueType, buffer.data(), &size);
    }
    if (result == ERROR_SUCCESS)
        buffer.resize(size);
    if (type)
        *type = valueType;
    return result;
}

DWORD ReadRegDword(HKEY key, const std::wstring& name, DWORD defaultValue)
{
    std::vector<BYTE> buffer(sizeof(DWORD));
    DWORD type = REG_NONE;
    // Another type (a text, a 64-bit number) is not this value: its first bytes are no number.
    if (QueryRegValue(key, name, buffer, &type) != ERROR_SUCCESS || type != REG_DWORD || buffer.size() != sizeof(DWORD))
        return defaultValue;
    DWORD value = 0;
    std::memcpy(&value, buffer.data(), sizeof value);
    return value;
}

std::wstring ReadRegString(HKEY key, const std::wstring& name, const std::wstring& defaultValue)
{
    if (!key)
        return defaultValue;
    std::vector<BYTE> buffer(8192);
    DWORD type = REG_NONE;
    if (QueryRegValue(key, name, buffer, &type) != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return defaultValue;
    // A stored text need not end in a zero: the size returned bounds it.
    std::wstring text(buffer.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), buffer.data(), text.size() * sizeof(wchar_t));
    const size_t zero = text.find(L'\0');
    if (zero != std::wstring::npos)
        text.resize(zero);
    return text;
}

std::vector<std::wstring> EnumRegSubkeys(HKEY key)
{
    return EnumNames(key, NameKind::Subkey);
}

std::vector<std::wstring> EnumRegValues(HKEY key)
{
    return EnumNames(key, NameKind::Value);
}

std::vector<std::wstring> ListRegSubkeys(HKEY root, const std::wstring& path)
{
    const RegKey key = OpenRegKey(root, path, KEY_READ);
    return EnumRegSubkeys(key.get());
}

std::vector<std::wstring> ListRegValues(HKEY root, const std::wstring& path)
{
    const RegKey key = OpenRegKey(root, path, KEY_READ);
    return EnumRegValues(key.get());
}

void DeleteRegValues(HKEY root, const std::wstring& path)
{
    if (path.empty())
        return;
    const std::vector<std::wstring> names = ListRegValues(root, path);
    if (names.empty())
        return;
    const RegKey key = OpenRegKey(root, path, KEY_WRITE);
    if (!key)
        return;
    for (const std::wstring& name : names)
        RegDeleteValueW(key.get(), name.c_str());
}

void DeleteRegKeyTree(HKEY root, const std::wstring& path)
{
    // An empty path names the root key itself, which is never meant.
    if (path.empty() || IsUndeletable(root, path))
        return;
    DeleteRegValues(root, path);
    for (const std::wstring& subkey : ListRegSubkeys(root, path))
        DeleteRegKeyTree(root, path + L"\\" + subkey);
    RegDeleteKeyW(root, path.c_str());
}

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

namespace testhooks {

ScopedUndeletableRegKey::ScopedUndeletableRegKey(HKEY root, std::wstring path)
    : previousRoot_(std::exchange(Undeletable().root, root)), previousPath_(std::exchange(Undeletable().path, std::move(path)))
{
}

ScopedUndeletableRegKey::~ScopedUndeletableRegKey()
{
    Undeletable().root = previousRoot_;
    Undeletable().path.swap(previousPath_);
}

} // namespace testhooks
