// LibObjInterfaceEntry: Velmar asks for the hot points of the library macro the user selected.
#include "core/trace_log.h"
#include "insert2d/hot_point_2d.h"
#include "library/exports.h"
#include "hostapi/provider_connection.h"

namespace {

// Type 1: the hot points of a 2D library object.
constexpr int kHotPoints2D = 1;

} // namespace

extern "C" void WINAPI LibObjInterfaceEntry(int type, LONG_PTR, IUnknown** out) noexcept
{
    if (!out)
        return;
    *out = nullptr;
    if (type != kHotPoints2D)
        return;
    HotPoint2D* object = nullptr;
    try {
        NormsetInitOnce();
        object = new HotPoint2D();
        object->AddRef();
        object->Init();
        *out = static_cast<ILibHPObject*>(object);
    } catch (...) {
        TraceCurrentException(L"LibObjInterfaceEntry");
        // The reference taken goes back: the object is gone and Velmar gets none.
        if (object)
            object->Release();
        *out = nullptr;
    }
}
