#include "core/html_help.h"

#include "core/library_files.h"
#include "core/modal_seam.h"

namespace {

using HtmlHelpW = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HtmlHelpW LoadHtmlHelp()
{
    static HtmlHelpW function = [] {
        HMODULE module = LoadLibraryW(L"hhctrl.ocx");
        // GetProcAddress knows no signatures: the address goes through void* to its real type.
        return module ? reinterpret_cast<HtmlHelpW>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW"))) : nullptr;
    }();
    return function;
}

} // namespace

HWND RealHtmlHelp(HWND owner, const std::wstring& path, UINT command, DWORD_PTR data)
{
    const HtmlHelpW function = LoadHtmlHelp();
    return function ? function(owner, path.c_str(), command, data) : nullptr;
}

void ShowLibraryHelp(HWND owner, DWORD_PTR topic)
{
    ShowHtmlHelp(owner, LibraryHelpFile(), HtmlHelpContext, topic);
}
