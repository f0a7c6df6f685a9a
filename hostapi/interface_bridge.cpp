#include "hostapi/interface_bridge.h"

#include "core/obj_array.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr short kMacroElement = 63;

IVel5ObjectPtr BridgeToObject5(IDispatch* object, DISPID bridgeCall)
{
    if (!object)
        return nullptr;
    IVel5ObjectPtr bridge = ObjectAs<IVel5Object>(V5Method(object, bridgeCall));
    if (!bridge)
        return nullptr;
    return ObjectAs<IVel5Object>(V5Method(bridge, IVel5Object::Object5));
}

short FeatureType(IVel5Object* feature)
{
    return static_cast<short>(V5Get(feature, IVel5Object::Type));
}

} // namespace

IVel5ObjectPtr GetAPI5ObjectFromAPI7(IDispatch* object)
{
    return BridgeToObject5(object, IVel7Dispatch::Bridge);
}

IVel5ObjectPtr GetAPI5ObjectFromAPI7Ex(IDispatch* object)
{
    return BridgeToObject5(object, IVel7Dispatch::BridgeEx);
}

IVel5EntityPtr FeatureToMacro(IVel5Object* feature)
{
    if (!feature || FeatureType(feature) != VelTypeEntity)
        return nullptr;
    return ObjectAs<IVel5Entity>(V5Method(feature, IVel5Object::Target));
}

IVel5PartPtr FeatureToPart(IVel5Object* feature)
{
    if (!feature || FeatureType(feature) != VelTypePart)
        return nullptr;
    return ObjectAs<IVel5Part>(V5Method(feature, IVel5Object::Target));
}

IDispatchPtr ToApi7Object(IVel5Application* application, IDispatch* object)
{
    return ObjectAs<IDispatch>(V5Method(application, IVel5Application::ToLayer, object, static_cast<long>(VelLayer7),
                                        static_cast<long>(VelTypeNone)));
}

IVel5EntityPtr ToApi5Entity(IVel5Application* application, IDispatch* object7)
{
    return ObjectAs<IVel5Entity>(V5Method(application, IVel5Application::ToLayer, object7, static_cast<long>(VelLayer5),
                                          static_cast<long>(VelTypeEntity)));
}

IVel5EntityPtr GetMacroFromAPI7Object(IDispatch* object)
{
    return FeatureToMacro(GetAPI5ObjectFromAPI7(object));
}

IVel5EntityPtr GetMacroFromAPI7ObjectEx(IDispatch* object)
{
    return FeatureToMacro(GetAPI5ObjectFromAPI7Ex(object));
}

IDispatchPtr CollectMacroObjects(IVel5Application* application, IDispatch* selected)
{
    IDispatchPtr result(selected);
    IVel5ObjectPtr object5 = GetAPI5ObjectFromAPI7(selected);
    IVel5EntityPtr entity = FeatureToMacro(object5);
    if (!entity || static_cast<short>(V5Get(entity, IVel5Entity::Type)) == kMacroElement)
        return result;
    auto features = ObjectAs<IVel5FeatureCollection>(V5Method(object5, IVel5Object::Features, false, false));
    auto bridge = ObjectAs<IVel5Object>(V5Method(selected, IVel7Dispatch::Bridge));
    const long index = static_cast<long>(V5Method(features, IVel5FeatureCollection::IndexOf, bridge));
    return CollectMacroObjectsByIndex(application, object5, index);
}

IVel5PartPtr CollectMacroObjectsByIndex(IVel5Application* application, IVel5Object* object, long index)
{
    auto feature = ObjectAs<IVel5Object>(V5Method(object, IVel5Object::Object5));
    auto entity = ObjectAs<IVel5Entity>(V5Method(feature, IVel5Object::Target));
    auto entity7 = ObjectAs<IVel7Pattern>(V5Method(application, IVel5Application::ToLayer, entity, VelLayer7, VelTypeNone));
    const ObjArray parts(V7Get(entity7, &IVel7Pattern::get_Sources));
    if (index < 0 || static_cast<size_t>(index) >= parts.size()) {
        // Velmar gives an index inside the entity's list; anything else stands for no part.
        TraceScope scope(L"CollectMacroObjectsByIndex");
        scope.Value(L"index", index);
        scope.Value(L"count", static_cast<long>(parts.size()));
        return nullptr;
    }
    auto part7 = QueryHostOrNull<IVel7Part>(parts[static_cast<size_t>(index)]);
    return ObjectAs<IVel5Part>(V5Method(application, IVel5Application::ToLayer, part7, VelLayer5, VelTypePart));
}
