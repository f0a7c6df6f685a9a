#pragma once
// HTML Help, loaded from hhctrl.ocx when first needed and kept loaded: a help window that is still open
// belongs to that module.
#include "core/com.h"

#include <functional>
#include <string>

// HH_HELP_CONTEXT and the library's one help topic.
inline constexpr UINT HtmlHelpContext = 15;
inline constexpr DWORD_PTR LibraryHelpTopic = 60;

// HtmlHelpW(owner, path, command, data); null when HTML Help is not available or shows nothing.
HWND ShowHtmlHelp(HWND owner, const std::wstring& path, UINT command, DWORD_PTR data);

namespace testhooks {
using HtmlHelpFunction = std::function<HWND(HWND owner, const std::wstring& path, UINT command, DWORD_PTR data)>;
// Answers ShowHtmlHelp for the lifetime of the object instead of HTML Help.
class ScopedHtmlHelp {
public:
    explicit ScopedHtmlHelp(HtmlHelpFunction answer);
    ~ScopedHtmlHelp();
    ScopedHtmlHelp(const ScopedHtmlHelp&) = delete;
    ScopedHtmlHelp& operator=(const ScopedHtmlHelp&) = delete;

private:
    HtmlHelpFunction previous_;
};
} // namespace testhooks
