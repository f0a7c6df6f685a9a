#include "hostapi/outermost_part.h"

#include "hostapi/dispatch_call.h"
#include "hostapi/host_query.h"

IVel5PartPtr GetOutermostFlaggedPart(IVel5Part* part)
{
    IVel5PartPtr current(part);
    while (current && static_cast<bool>(V5Method(current, IVel5Part::UserParamSet))) {
        const IVel5PartPtr owner = ObjectAs<IVel5Part>(V5Method(current, IVel5Part::OwnerPart, short{-1}));
        if (!owner || !static_cast<bool>(V5Method(owner, IVel5Part::UserParamSet)))
            break;
        current = owner;
    }
    return current;
}
