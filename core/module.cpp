#include "core/module.h"

#include "core/trace_log.h"
#include "core/translate.h"

#include <utility>

namespace {

HINSTANCE g_module = nullptr;
IDispatch* g_application5 = nullptr;
IDispatch* g_application7 = nullptr;
IUnknown* g_provider = nullptr;
ProviderDisconnect g_disconnect = nullptr;
ModuleShutDownStep g_shutDownStep = nullptr;

// The slot is empty before the object hears Release, so that nothing can find it half gone.
template <typename Interface>
void ReleaseSlot(Interface*& slot)
{
    if (Interface* held = std::exchange(slot, nullptr))
        held->Release();
}

template <typename Interface>
void Hold(Interface*& slot, Interface* object)
{
    if (object)
        object->AddRef();
    ReleaseSlot(slot);
    slot = object;
}

} // namespace

HINSTANCE ModuleHandle() noexcept
{
    return g_module;
}

long ModuleHandleForVelmar() noexcept
{
    return static_cast<long>(reinterpret_cast<LONG_PTR>(g_module));
}

void HoldApplication5(IDispatch* application)
{
    Hold(g_application5, application);
}

void HoldApplication7(IDispatch* application)
{
    Hold(g_application7, application);
}

IDispatch* HeldApplication5() noexcept
{
    return g_application5;
}

IDispatch* HeldApplication7() noexcept
{
    return g_application7;
}

void HoldProvider(IUnknown* provider, ProviderDisconnect disconnect)
{
    Hold(g_provider, provider);
    g_disconnect = provider ? disconnect : nullptr;
}

IUnknown* HeldProvider() noexcept
{
    return g_provider;
}

void ReleaseVazezadAzuduv()
{
    if (!g_provider)
        return;
    const ProviderDisconnect disconnect = std::exchange(g_disconnect, nullptr);
    HRESULT result = S_OK;
    try {
        if (disconnect)
            result = disconnect(g_provider);
    } catch (...) {
        ReleaseSlot(g_provider);
        throw;
    }
    // A provider that failed to disconnect is still let go: keeping it would only release it later,
    // from the static clean-up, or twice.
    ReleaseSlot(g_provider);
    if (FAILED(result))
        _com_issue_error(result);
}

ModuleShutDownStep SetModuleShutDownStep(ModuleShutDownStep step) noexcept
{
    return std::exchange(g_shutDownStep, step);
}

void ShutDownModule(bool processTerminating) noexcept
{
    if (g_shutDownStep)
        g_shutDownStep(processTerminating);
    if (processTerminating) {
        // The process is ending: the COM servers behind these objects may be gone already and the loader
        // lock is held, so the objects are left to the end of the process.
        g_provider = nullptr;
        g_disconnect = nullptr;
        g_application5 = nullptr;
        g_application7 = nullptr;
        FreeLanguage();
        return;
    }
    try {
        ReleaseVazezadAzuduv();
    } catch (...) {
        TraceCurrentException(L"ReleaseVazezadAzuduv");
    }
    try {
        ReleaseSlot(g_application5);
    } catch (...) {
        TraceCurrentException(L"ShutDownModule: application 5");
    }
    try {
        ReleaseSlot(g_application7);
    } catch (...) {
        TraceCurrentException(L"ShutDownModule: application 7");
    }
    FreeLanguage();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_module = instance;
        break;
    case DLL_PROCESS_DETACH:
        ShutDownModule(reserved != nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}

namespace testhooks {

void SetModuleHandle(HINSTANCE instance) noexcept
{
    g_module = instance;
}

void ClearModuleSlots() noexcept
{
    g_provider = nullptr;
    g_disconnect = nullptr;
    g_application5 = nullptr;
    g_application7 = nullptr;
}

} // namespace testhooks
