#pragma once
// Module lifetime: the library's module handle and the process-wide objects that are released, in a
// fixed order, when the library is unloaded. The slots hold plain COM pointers; whoever fills a slot
// hands over the interface it will read back (the holder AddRefs it, the shut-down releases it).
#include "core/com.h"

// The library's own instance handle, stored at process attach (null in a program that links the
// library statically).
HINSTANCE ModuleHandle() noexcept;
// The handle as Velmar takes it, a 32-bit integer, with which it finds the library's callbacks by name.
// The library is linked below 2 GB, so that these bits are the whole handle.
long ModuleHandleForVelmar() noexcept;

// Velmar's application objects (version-5 and version-7 interfaces). Hold* AddRefs the new object and
// releases a previously held one; Held* returns the borrowed pointer or null.
void HoldApplication5(IDispatch* application);
void HoldApplication7(IDispatch* application);
IDispatch* HeldApplication5() noexcept;
IDispatch* HeldApplication7() noexcept;

// The reference-book provider. The disconnect function is the provider's shut-down call (its caller
// knows the provider's interface; the holder does not). HoldProvider AddRefs the new provider and
// releases a previously held one without disconnecting it; HoldProvider(nullptr, nullptr) empties the slot.
using ProviderDisconnect = HRESULT (*)(IUnknown* provider);
void HoldProvider(IUnknown* provider, ProviderDisconnect disconnect);
IUnknown* HeldProvider() noexcept;

// Disconnects and releases a held provider. The slot is emptied and the provider released even when
// the disconnect fails; the failure is then raised as _com_error.
void ReleaseVazezadAzuduv();

// A step an upper layer runs first at shut-down (the event sinks let go of Velmar's sources before the
// applications go). It learns whether the process is terminating and must not throw.
using ModuleShutDownStep = void (*)(bool processTerminating) noexcept;
// Installs the step; returns the one it replaces (tests restore it).
ModuleShutDownStep SetModuleShutDownStep(ModuleShutDownStep step) noexcept;

// The shut-down of process detach: the upper layer's step, provider, version-5 application, version-7
// application, dictionary, each step on its own. At process termination (processTerminating) the slots are only cleared and no
// COM object is called: their servers may already be gone.
void ShutDownModule(bool processTerminating) noexcept;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace testhooks {
void SetModuleHandle(HINSTANCE instance) noexcept;
// Empties every slot without calling the held objects.
void ClearModuleSlots() noexcept;
} // namespace testhooks
