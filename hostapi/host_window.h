#pragma once
// Velmar's main window as the version-5 application gives it: the owner of what a command shows.
#include "hostapi/velmar5.h"

// Dispatch id 21, a 32-bit handle sign-extended as Windows extends window handles. A null application
// raises E_POINTER.
HWND HostMainWindow(IVel5Application* app5);
