#pragma once
// The library's display name: the caption of every message box and dialog of the library. Velmar asks
// for it through the display-name export, which translates it and stores it here on every call; it is
// empty until then.
#include <string>

const std::wstring& LibraryDisplayName() noexcept;
void SetLibraryDisplayName(const std::wstring& name);
