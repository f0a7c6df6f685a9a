#include "hostapi/entity_access.h"

#include "hostapi/interface_bridge.h"

short GetEntityType(IVel5Entity* entity)
{
    return static_cast<short>(V5Get(entity, IVel5Entity::Type));
}

void WalkHostItems(IDispatch* collection, const std::function<bool(IDispatch* item)>& visit)
{
    if (!collection)
        return;
    for (IDispatchPtr item = ObjectAs<IDispatch>(V5Method(collection, IVel5ObjectCollection::First)); item;
         item = ObjectAs<IDispatch>(V5Method(collection, IVel5ObjectCollection::Next))) {
        if (!visit(item))
            return;
    }
}

IVel5EntityPtr MacroOfFeatureItem(IDispatch* item)
{
    return FeatureToMacro(QueryHostOrNull<IVel5Object>(item));
}
