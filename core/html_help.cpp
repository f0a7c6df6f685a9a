#include "core/html_help.h"

#include <utility>

namespace {

testhooks::HtmlHelpFunction& Answer()
{
    static testhooks::HtmlHelpFunction answer;
    return answer;
}

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

HWND ShowHtmlHelp(HWND owner, const std::wstring& path, UINT command, DWORD_PTR data)
{
    if (const auto answer = Answer())
        return answer(owner, path, command, data);
    const HtmlHelpW function = LoadHtmlHelp();
    return function ? function(owner, path.c_str(), command, data) : nullptr;
}

namespace testhooks {

ScopedHtmlHelp::ScopedHtmlHelp(HtmlHelpFunction answer) : previous_(std::exchange(Answer(), std::move(answer))) {}

ScopedHtmlHelp::~ScopedHtmlHelp()
{
    Answer() = std::move(previous_);
}

} // namespace testhooks
