#include "hostapi/velmar_application.h"

#include "core/module.h"
#include "core/trace_log.h"
#include "hostapi/host_window.h"

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
    if (!HeldVelmar5())
        return nullptr;
    try {
        return HostMainWindow(HeldVelmar5());
    } catch (...) {
        TraceCurrentException(L"VelmarMainWindow");
        return nullptr;
    }
}
