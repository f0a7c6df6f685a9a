#pragma once
// HTML Help, loaded from hhctrl.ocx when first needed and kept loaded: a help window that is still open
// belongs to that module.
#include "core/com.h"

#include <string>

// HH_HELP_CONTEXT and the library's one help topic.
inline constexpr UINT HtmlHelpContext = 15;
inline constexpr DWORD_PTR LibraryHelpTopic = 60;

// HtmlHelpW(owner, path, command, data) of hhctrl.ocx, the modal seam's real answer; null when HTML Help
// is not available or shows nothing.
HWND RealHtmlHelp(HWND owner, const std::wstring& path, UINT command, DWORD_PTR data);

// Opens the topic of the library's help file (LibraryHelpFile) over the owner,
// through the modal seam.
void ShowLibraryHelp(HWND owner, DWORD_PTR topic);
