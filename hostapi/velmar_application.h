#pragma once
// Velmar's application objects as the library holds them: LibInterfaceNotifyEntry fills the module's
// two slots with these interfaces, so they read back as such.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

// Borrowed; null before Velmar handed its application over.
IVel5Application* HeldVelmar5() noexcept;
IVel7Application* HeldVelmar7() noexcept;

// Velmar's main window (dispatch id 21, a 32-bit handle), the owner of the library's message boxes and
// dialogs. Null, the desktop, when there is no application or it cannot tell: a box without its owner
// still reaches the user, where a failure here would take the user's message with it.
HWND VelmarMainWindow() noexcept;
// The same for an owner that must be Velmar's: without an application the call raises E_POINTER, and a
// failing host call its error.
HWND RequiredVelmarMainWindow();
