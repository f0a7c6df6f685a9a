#include "insert3d/velmar_mate.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"

VelmarMate::VelmarMate(IVel5Mate* mate, IDispatch* target) : HostMate(mate)
{
    TraceScope scope(L":VelmarMate");
    Kind = static_cast<short>(V5Get(HostMate, IVel5Mate::Kind));
    PickAgainClears = 1;
    Target = target;
    iface = ObjectAs<IDispatch>(V5Method(HostMate, IVel5Mate::Object, 1L));
    if (SameHostObject(iface, Target))
        iface = ObjectAs<IDispatch>(V5Method(HostMate, IVel5Mate::Object, 2L));
    Direction = static_cast<short>(V5Get(HostMate, IVel5Mate::Direction));
    Value = static_cast<double>(V5Get(HostMate, IVel5Mate::Value));
    Fixed = static_cast<short>(V5Get(HostMate, IVel5Mate::Fixed));
}
