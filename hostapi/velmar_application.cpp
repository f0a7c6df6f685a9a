#include "hostapi/velmar_application.h"

#include "core/module.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"

IVel5Application* HeldVelmar5() noexcept
{
    return static_cast<IVel5Application*>(HeldApplication5());
}

IVel7Application* HeldVelmar7() noexcept
{
    return static_cast<IVel7Application*>(HeldApplication7());
}

HWND RequiredVelmarMainWindow()
{
    const _variant_t window = V5Method(HeldVelmar5(), IVel5Application::MainWindow);
    // The handle travels as a 32-bit integer; handles are sign-extended to their 64-bit form.
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<long>(window)));
}

HWND VelmarMainWindow() noexcept
{
    if (!HeldVelmar5())
        return nullptr;
    try {
        return RequiredVelmarMainWindow();
    } catch (...) {
        TraceCurrentException(L"VelmarMainWindow");
        return nullptr;
    }
}
