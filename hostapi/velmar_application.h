#pragma once
// Velmar's application objects as the library holds them: LibInterfaceNotifyEntry fills the module's
// two slots with these interfaces, so they read back as such.
#include "hostapi/velmar5.h"
#include "hostapi/velmar7.h"

// Borrowed; null before Velmar handed its application over.
IVel5Application* HeldVelmar5() noexcept;
IVel7Application* HeldVelmar7() noexcept;

// Velmar's main window (HostMainWindow of the held application), the owner of the library's message boxes
// and dialogs. Null, the desktop, when there is no application or it cannot tell: a box without its owner
// still reaches the user, where a failure here would take the user's message with it. An owner that must
// be Velmar's is HostMainWindow(HeldVelmar5()) itself, which raises E_POINTER without an application.
HWND VelmarMainWindow() noexcept;
