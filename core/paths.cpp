#include "core/paths.h"

#include <string_view>

std::wstring GetFileName(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring GetFilePath(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring GetParentPath(const std::wstring& path)
{
    if (path.size() < 2 || path.back() != L'\\')
        return path;
    const size_t slash = path.rfind(L'\\', path.size() - 2);
    return slash == std::wstring::npos ? path : path.substr(0, slash + 1);
}

std::wstring GetFileExt(const std::wstring& path)
{
    const size_t dot = path.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : path.substr(dot);
}

std::wstring ValidFileNameText(const std::wstring& text)
{
    std::wstring name = text;
    for (wchar_t& c : name) {
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos)
            c = L'_';
    }
    return name;
}

std::wstring MakeValidFileName(const std::wstring& path)
{
    return GetFilePath(path) + ValidFileNameText(GetFileName(path));
}
