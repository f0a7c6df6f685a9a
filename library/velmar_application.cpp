#include "library/velmar_application.h"

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

HWND VelmarMainWindow() noexcept
{
    IVel5Application* application = HeldVelmar5();
    if (!application)
        return nullptr;
    try {
        const _variant_t window = V5Method(application, IVel5Application::MainWindow);
        // The handle travels as a 32-bit integer; handles are sign-extended to their 64-bit form.
        return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<long>(window)));
    } catch (...) {
        TraceCurrentException(L"VelmarMainWindow");
        return nullptr;
    }
}
