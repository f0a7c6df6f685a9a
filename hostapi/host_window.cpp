#include "hostapi/host_window.h"

#include "core/display_name.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/vtable_call.h"

HWND HostMainWindow(IVel5Application* app5)
{
    const long handle = V5Method(app5, IVel5Application::MainWindow);
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle));
}

long HostMessageBox(IVel7Application* app7, const std::wstring& text, long flags)
{
    const _bstr_t message(text.c_str());
    const _bstr_t caption(LibraryDisplayName().c_str());
    return V7Get(app7, &IVel7Application::ShowMessage, static_cast<BSTR>(message), static_cast<BSTR>(caption), flags);
}
