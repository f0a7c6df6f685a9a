// The filter callbacks Velmar calls while a measure tool lets the user pick: they go to the current
// tool of their dimension.
#include "core/trace_log.h"
#include "library/exports.h"
#include "tools/nm_measure_2d.h"
#include "tools/nm_measure_3d.h"

extern "C" int WINAPI MEASUREFILTERPROC3D(IDispatch* object) noexcept
{
    try {
        NMMeasure3D* tool = NMMeasure3D::Current();
        return tool && object ? tool->Filter(object) : 0;
    } catch (...) {
        TraceCurrentException(L"MEASUREFILTERPROC3D");
        return 0;
    }
}

extern "C" int WINAPI MEASUREFILTERPROC2D(LONG_PTR, double* x, double* y, LONG_PTR, LONG_PTR, int moving) noexcept
{
    try {
        NMMeasure2D* tool = NMMeasure2D::Current();
        if (!tool || !x || !y)
            return 0;
        const int answer = tool->Filter(*x, *y);
        tool->PickFlag = moving == 0;
        return answer;
    } catch (...) {
        TraceCurrentException(L"MEASUREFILTERPROC2D");
        return 0;
    }
}
