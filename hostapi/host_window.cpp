#include "hostapi/host_window.h"

#include "hostapi/dispatch_call.h"

HWND HostMainWindow(IVel5Application* app5)
{
    const long handle = V5Method(app5, IVel5Application::MainWindow);
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
}
