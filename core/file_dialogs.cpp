#include "core/file_dialogs.h"

#include "core/mem_block.h"
#include "core/modal_seam.h"

#include <cwchar>

namespace {

constexpr DWORD OpenFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;   // 0x81004
constexpr DWORD SaveFlags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY; // 0x80006

bool RunFileDialog(bool save, HWND owner, std::wstring& path, const std::vector<std::wstring>& filters,
                   const std::wstring& defaultExtension)
{
    // The filter is every text followed by NUL, and one more NUL at the end.
    std::wstring filter;
    for (const auto& text : filters) {
        filter += text;
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');

    MemBlock file(path);
    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = owner;
    request.lpstrFilter = filters.empty() ? nullptr : filter.c_str();
    request.lpstrFile = file.As<wchar_t>();
    request.nMaxFile = MemBlock::PathChars;
    request.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    request.Flags = save ? SaveFlags : OpenFlags;
    if (!(save ? ShowSaveFileDialog(request) : ShowOpenFileDialog(request)))
        return false;
    path.assign(file.As<wchar_t>(), wcsnlen(file.As<wchar_t>(), MemBlock::PathChars));
    return true;
}

} // namespace

bool OpenFileDlg(HWND owner, std::wstring& path, const std::vector<std::wstring>& filters,
                 const std::wstring& defaultExtension)
{
    return RunFileDialog(false, owner, path, filters, defaultExtension);
}

bool SaveFileDlg(HWND owner, std::wstring& path, const std::vector<std::wstring>& filters,
                 const std::wstring& defaultExtension)
{
    return RunFileDialog(true, owner, path, filters, defaultExtension);
}
