// The selection callbacks Velmar calls while a panel's 3D process runs: they go to the current panel.
#include "core/trace_log.h"
#include "library/exports.h"
#include "positioning/vel_base_panel.h"

extern "C" BOOL WINAPI SELECTFILTERPROC(IDispatch* object) noexcept
{
    try {
        VelBasePanel* panel = VelBasePanel::Current();
        return panel && object ? panel->FilterFromVelmar(object) : FALSE;
    } catch (...) {
        TraceCurrentException(L"SELECTFILTERPROC");
        return FALSE;
    }
}

extern "C" BOOL WINAPI SELECTCALLBACKPROC(IDispatch* object, LONG_PTR argument) noexcept
{
    try {
        VelBasePanel* panel = VelBasePanel::Current();
        return panel ? panel->PickFromVelmar(object, argument) : FALSE;
    } catch (...) {
        TraceCurrentException(L"SELECTCALLBACKPROC");
        return FALSE;
    }
}
