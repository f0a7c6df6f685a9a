#include "core/files.h"

#include "core/com.h"
#include "core/module.h"
#include "core/number_text.h"
#include "core/unique.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

std::wstring FileNotFound(const std::wstring& path)
{
    return L"File not found: " + path;
}

// The whole file as bytes: a missing file throws, an empty one is not opened, and a read that stops
// early gives what was read.
std::string ReadWholeFile(const std::wstring& path)
{
    const std::int64_t length = GetFileLength(path);
    if (length == -1)
        throw FileNotFound(path);
    std::string bytes;
    if (length < 1)
        return bytes;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw FileNotFound(path);
    bytes.resize(static_cast<size_t>(length));
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0)
            break;
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

} // namespace

std::wstring GetModulePath()
{
    constexpr DWORD capacity = 4096;
    std::wstring path(capacity, L'\0');
    const DWORD length = GetModuleFileNameW(ModuleHandle(), path.data(), capacity);
    // A full buffer means the path was cut short: no path is better than a wrong one.
    if (length == 0 || length >= capacity)
        return {};
    path.resize(length);
    return path;
}

std::int64_t GetFileLength(const std::wstring& path)
{
    if (path.empty() || path.back() == L'\\')
        return -1;
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

std::string ReadFileToString(const std::wstring& path)
{
    std::string bytes = ReadWholeFile(path);
    const size_t zero = bytes.find('\0');
    if (zero != std::string::npos)
        bytes.resize(zero);
    return bytes;
}

std::wstring ReadUnicodeFile(const std::wstring& path)
{
    const std::string bytes = ReadWholeFile(path);
    // The first two bytes are the byte-order mark, taken as read; an odd last byte is no character.
    std::wstring text;
    if (bytes.size() > 2) {
        text.resize((bytes.size() - 2) / 2);
        for (size_t i = 0; i < text.size(); ++i) {
            const auto low = static_cast<unsigned char>(bytes[2 + 2 * i]);
            const auto high = static_cast<unsigned char>(bytes[3 + 2 * i]);
            text[i] = static_cast<wchar_t>(low | (high << 8));
        }
    }
    const size_t zero = text.find(L'\0');
    if (zero != std::wstring::npos)
        text.resize(zero);
    return text;
}

bool WriteUnicodeFile(const std::wstring& text, const std::wstring& path)
{
    std::string bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes += '\xFF';
    bytes += '\xFE';
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    // Data the system still buffers may fail to reach the disk only at the close.
    return CloseHandle(file.release()) != FALSE;
}

std::wstring GetFileVersionString(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<BYTE> info(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, info.data()))
        return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed
        || fixedSize < sizeof(VS_FIXEDFILEINFO))
        return {};
    return IntToStr(HIWORD(fixed->dwFileVersionMS)) + L"." + IntToStr(LOWORD(fixed->dwFileVersionMS)) + L"."
           + IntToStr(HIWORD(fixed->dwFileVersionLS)) + L"." + IntToStr(LOWORD(fixed->dwFileVersionLS));
}
