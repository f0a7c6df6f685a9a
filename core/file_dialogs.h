#pragma once
// The Open and Save file dialogs. filters holds (description, pattern) pairs, e.g. {L"Архив ZIP (*.zip)",
// L"*.zip"}; path is the initial file name and, when the user confirms, the chosen path. On cancel the
// result is false and path is left as it was. A path of 260 characters or more throws std::bad_alloc.
#include "core/com.h"

#include <string>
#include <vector>

bool OpenFileDlg(HWND owner, std::wstring& path, const std::vector<std::wstring>& filters,
                 const std::wstring& defaultExtension);
bool SaveFileDlg(HWND owner, std::wstring& path, const std::vector<std::wstring>& filters,
                 const std::wstring& defaultExtension);
