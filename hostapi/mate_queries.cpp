#include "hostapi/mate_queries.h"

#include "hostapi/element_queries.h"
#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/selection_tests.h"
#include "hostapi/vtable_call.h"

#include <cmath>

namespace {

constexpr short kFace = 6;
constexpr short kMacroElement = 63;
constexpr short kMateElement = 68;
constexpr long kMateItemCode = 72;

// The mate element when its item test equals the kind, else null.
IVel5EntityPtr OfKind(IVel5Application* application, IVel5EntityPtr mate, bool kind)
{
    if (mate && HasApi7Item72(application, mate) == kind)
        return mate;
    return nullptr;
}

// The first item of an owner's collection of a kind; null when there is none.
template <class Owner>
IVel5EntityPtr FirstOfKind(Owner* owner, DISPID collection, short kind)
{
    if (!owner)
        return nullptr;
    auto objects = ObjectAs<IVel5EntityCollection>(V5Method(owner, collection, kind));
    if (!objects)
        return nullptr;
    return ObjectAs<IVel5Entity>(V5Method(objects, IVel5EntityCollection::First));
}

} // namespace

IVel5EntityPtr GetDirectionObject(IVel5Entity* entity, short kind)
{
    return FirstOfKind(entity, IVel5Entity::DirectionObjects, kind);
}

IVel5EntityPtr GetDirectionObject(IVel5Part* part, short kind)
{
    return FirstOfKind(part, IVel5Part::ObjectsOfType, kind);
}

IVel5EntityPtr GetMateMacro(IDispatch* object7)
{
    if (!object7)
        return nullptr;
    return FeatureToMacro(ObjectAs<IVel5Object>(V5Method(object7, IVel7Dispatch::BridgeEx)));
}

bool HasApi7Item72(IVel5Application* application, IVel5Entity* entity)
{
    if (!entity)
        return false;
    auto entity7 = ObjectAs<IVel7Entity>(V5Method(application, IVel5Application::ToLayer, entity, VelLayer7, VelTypeNone));
    return entity7 && V7Get(entity7, &IVel7Entity::Item, kMateItemCode) != nullptr;
}

IVel5EntityPtr IsMateOfMacroKind(IVel5Application* application, IDispatch* object7, bool kind)
{
    IVel5EntityPtr macro = GetMateMacro(object7);
    if (!macro || GetEntityType(macro) != kMateElement)
        return nullptr;
    return OfKind(application, macro, kind);
}

IVel5EntityPtr GetMateMacroOfEntity(IDispatch* items)
{
    IVel5EntityPtr found;
    WalkHostItems(items, [&](IDispatch* item) {
        IVel5EntityPtr macro = MacroOfFeatureItem(item);
        if (macro && GetEntityType(macro) == kMateElement)
            found = macro;
        return !found;
    });
    return found;
}

IVel5EntityPtr GetMacroOfMateEntity(IVel5Entity* entity)
{
    return GetMateMacroOfEntity(GetEntityDefinition(entity));
}

IVel5EntityPtr IsMateEntityOfKind(IVel5Application* application, IDispatch* object7, bool kind)
{
    IVel5EntityPtr macro = GetMacroFromAPI7ObjectEx(object7);
    if (!macro || GetEntityType(macro) != kMacroElement)
        return nullptr;
    return OfKind(application, GetMacroOfMateEntity(macro), kind);
}

ObjArray GetMateObjects(IVel5Document3D* document, IDispatch* object)
{
    if (!document)
        return {};
    auto mates = ObjectAs<IVel5MateCollection>(V5Method(document, IVel5Document3D::Mates));
    if (!mates)
        return {};
    _variant_t found;
    V5Method(mates, IVel5MateCollection::MatesOf, object, ByRef(found));
    return ObjArray(found);
}

void CreateMate(IVel5Document3D* document, IDispatch* first, IDispatch* second, short mateType, short direction,
                IVel5MateCollection* mates, double value)
{
    if (!first || !second)
        return;
    // Velmar's mates carry a fixed value the library always sets to 1.
    constexpr short kFixed = 1;
    if (!mates) {
        V5Method(document, IVel5Document3D::AddMate, static_cast<long>(mateType), first, second, direction, kFixed, value);
        return;
    }
    auto mate = RequireHost(ObjectAs<IVel5Mate>(V5Method(document, IVel5Document3D::NewMate)));
    V5Put(mate, IVel5Mate::Kind, mateType);
    V5Method(mate, IVel5Mate::SetObject, 1L, first);
    V5Method(mate, IVel5Mate::SetObject, 2L, second);
    V5Put(mate, IVel5Mate::Direction, direction);
    V5Put(mate, IVel5Mate::Fixed, kFixed);
    V5Put(mate, IVel5Mate::Value, value);
    if (static_cast<bool>(V5Method(mate, IVel5Mate::Check)))
        V5Method(mates, IVel5MateCollection::Add, mate);
}

double GetConeParams(IVel5Entity* entity)
{
    auto face = RequireHost(EntityDefinition<IVel5FaceDefinition>(entity));
    auto surface = RequireHost(ObjectAs<IVel5Surface>(V5Method(face, IVel5FaceDefinition::Surface)));
    auto cone = RequireHost(ObjectAs<IVel5ConeParam>(V5Method(surface, IVel5Surface::Parameters)));
    return std::fabs(static_cast<double>(V5Get(cone, IVel5ConeParam::Value)));
}

IVel5PartPtr GetTopPart(IVel5Document3D* document)
{
    if (!document)
        return nullptr;
    auto part = ObjectAs<IVel5Part>(V5Method(document, IVel5Document3D::PartByCode, static_cast<long>(VelPartEditedInPlace)));
    if (!part)
        part = ObjectAs<IVel5Part>(V5Method(document, IVel5Document3D::PartByCode, static_cast<long>(VelPartTop)));
    return part;
}

ObjArray GetMateGeometryObjects(IDispatch* parts)
{
    ObjArray faces;
    WalkHostItems(parts, [&](IDispatch* item) {
        // The collection holds other objects beside parts; only parts have faces to offer.
        if (auto part = QueryHost<IVel5Part>(item))
            faces.Append(CollectFacesVariant2(part));
        return true;
    });
    return faces;
}

ObjArray CollectFacesVariant2(IVel5Part* part)
{
    ObjArray faces;
    if (!part)
        return faces;
    IDispatchPtr iterator = ObjectAs<IDispatch>(V5Method(part, IVel5Part::Faces, kFace));
    WalkHostItems(iterator, [&](IDispatch* item) {
        short flag = 0;
        auto face = QueryHost<IVel5Entity>(item);
        if (face && IsFaceVariant2(face, &flag))
            faces.push_back(IDispatchPtr(face));
        return true;
    });
    return faces;
}
