#pragma once
// Registry access. Reads are silent: a missing key or value, or a value of another type, gives the
// caller's default. Keys are owned by RegKey.
#include "core/com.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class RegKey {
public:
    explicit RegKey(HKEY key = nullptr) noexcept : key_(key) {}
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept;
    ~RegKey() { Close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY get() const noexcept { return key_; }
    explicit operator bool() const noexcept { return key_ != nullptr; }
    // Closes a held key and gives the address to open a new one into.
    HKEY* put() noexcept;
    void Close() noexcept;

private:
    HKEY key_;
};

inline void CloseRegKey(RegKey& key) noexcept { key.Close(); }

// root\path opened (or created) with the given access; an empty holder on failure.
RegKey OpenRegKey(HKEY root, const std::wstring& path, REGSAM access);
RegKey CreateRegKey(HKEY root, const std::wstring& path, REGSAM access);

// RegQueryValueExW into buffer (resized to the bytes returned); grows once on ERROR_MORE_DATA.
// Returns the Windows error code; type receives the value's type.
LONG QueryRegValue(HKEY key, const std::wstring& name, std::vector<BYTE>& buffer, DWORD* type = nullptr);

// A REG_DWORD value, or the default.
DWORD ReadRegDword(HKEY key, const std::wstring& name, DWORD defaultValue);
// A REG_SZ or REG_EXPAND_SZ value up to its first zero (bounded by its size), or the default.
std::wstring ReadRegString(HKEY key, const std::wstring& name, const std::wstring& defaultValue);
// Numbers and booleans stored as REG_DWORD (booleans written as 0 or 1, read as true for any non-zero number).
bool ReadRegBool(HKEY key, const std::wstring& name, bool defaultValue);
int32_t ReadRegInt32(HKEY key, const std::wstring& name, int32_t defaultValue);

// Texts are written as REG_SZ with their terminating zero. False when the value could not be written.
bool WriteRegDword(HKEY key, const std::wstring& name, DWORD value);
bool WriteRegString(HKEY key, const std::wstring& name, const std::wstring& value);

// Names of all subkeys / values of an open key in index order; empty without a key.
std::vector<std::wstring> EnumRegSubkeys(HKEY key);
std::vector<std::wstring> EnumRegValues(HKEY key);
// The same for root\path opened with KEY_READ; empty when it cannot be opened.
std::vector<std::wstring> ListRegSubkeys(HKEY root, const std::wstring& path);
std::vector<std::wstring> ListRegValues(HKEY root, const std::wstring& path);

// Deletes every value of root\path. An empty path is refused (it would mean the root itself).
void DeleteRegValues(HKEY root, const std::wstring& path);
// Deletes root\path with all its values and subkeys, bottom-up; failures are ignored. An empty path is refused.
void DeleteRegKeyTree(HKEY root, const std::wstring& path);

namespace testhooks {
// While the object lives, DeleteRegKeyTree leaves root\path (named as the caller names it, in any case) and
// everything under it as it is, as Windows does with a key the user may only read. Wine deletes such a key
// all the same, so this is the one way a test sees a deletion fail. One key at a time; the one held
// before comes back at the end.
class ScopedUndeletableRegKey {
public:
    ScopedUndeletableRegKey(HKEY root, std::wstring path);
    ~ScopedUndeletableRegKey();
    ScopedUndeletableRegKey(const ScopedUndeletableRegKey&) = delete;
    ScopedUndeletableRegKey& operator=(const ScopedUndeletableRegKey&) = delete;

private:
    HKEY previousRoot_;
    std::wstring previousPath_;
};
} // namespace testhooks
