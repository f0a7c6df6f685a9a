#pragma once
// Velmar's main window as the version-5 application gives it: the owner of what a command shows.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

#include <string>

// Dispatch id 21, a 32-bit handle sign-extended as Windows extends window handles. A null application
// raises E_POINTER.
HWND HostMainWindow(IVel5Application* app5);

// Velmar's own message box (version-7 application, 34) with the library's display name as caption: 48
// for refusals, 64 for results. The button pressed; a failing call raises _com_error.
long HostMessageBox(IVel7Application* app7, const std::wstring& text, long flags);
