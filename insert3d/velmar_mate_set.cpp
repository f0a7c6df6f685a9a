#include "insert3d/velmar_mate_set.h"

#include "core/com_convert.h"
#include "core/data_convert_error.h"
#include "core/number_text.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/mate_queries.h"
#include "hostapi/vtable_call.h"

namespace {

// The part's object types the proposed mates are looked for among.
constexpr short kMateElements = 68;
constexpr short kConeSurfaces = 28;
constexpr short kConeSurfacesOlder = 27;
constexpr short kCoordinateSystems = 85;
constexpr short kPlanesAndAxes = 109;
// Kinds of the sub-objects of a bridge object.
constexpr short kFaceObjects = 6;
constexpr short kElementObjects = 8;
// The sub-objects of a coordinate system that mates are read at, in this order; 4 is its element.
constexpr short kLcsCodes[] = {71, 72, 73, 4, 1, 2, 3};
constexpr short kLcsElementCode = 4;

IVel5EntityCollectionPtr ObjectsOfType(IVel5Part* part, short type)
{
    return ObjectAs<IVel5EntityCollection>(V5Method(part, IVel5Part::ObjectsOfType, type));
}

IVel5EntityPtr FindNamed(IVel5EntityCollection* objects, const wchar_t* name, short first, short second)
{
    if (!objects)
        return nullptr;
    return ObjectAs<IVel5Entity>(V5Method(objects, IVel5EntityCollection::FindByName, name, first, second));
}

IVel7EntityPtr Version7(IVel5Application* application, IDispatch* object)
{
    return ObjectAs<IVel7Entity>(V5Method(application, IVel5Application::ToLayer, object, VelLayer7, VelTypeNone));
}

// The version-5 form of the version-7 entity's item of a code; null when it has none.
IVel5EntityPtr ItemOf(IVel5Application* application, IVel7Entity* entity7, long code)
{
    if (!entity7)
        return nullptr;
    const IDispatchPtr item = V7Get(entity7, &IVel7Entity::Item, code);
    if (!item)
        return nullptr;
    return ObjectAs<IVel5Entity>(V5Method(application, IVel5Application::ToLayer, item, VelLayer5, VelTypeEntity));
}

// The sub-objects of a kind of the object behind the version-7 entity.
IDispatchPtr SubObjects(IVel7Entity* entity7, short kind)
{
    const IVel5ObjectPtr bridge = GetAPI5ObjectFromAPI7(entity7);
    if (!bridge)
        return nullptr;
    return ObjectAs<IDispatch>(V5Method(bridge, IVel5Object::SubObjects, kind));
}

// A proposed member: initial kind, both flags set, nothing found yet.
VelmarMate Proposed(int32_t kind)
{
    VelmarMate mate;
    mate.Kind = kind;
    mate.PickAgainClears = 1;
    return mate;
}

} // namespace

VelmarMateSet::VelmarMateSet(IVel5Application* application, IVel5Part* part, IVel5Document3D* context)
    : Members{Proposed(0), Proposed(0), Proposed(0), Proposed(4), Proposed(1)}
{
    TraceScope scope(L":VelmarMateSet");
    FindAttachPoint(application, part);
    if (ConjunctPnt().Used)
        FindCone(application, part);
    else
        FindPlanesAndAxes(part);
    ReadCoordinateSystems(application, part, context);
    for (int i = 0; i < 5; ++i)
        scope.Value(L"Used" + IntToStr(i), Members[i].Used);
}

void VelmarMateSet::FindAttachPoint(IVel5Application* application, IVel5Part* part)
{
    VelmarMate& attach = ConjunctPnt();
    attach.Target = FindNamed(ObjectsOfType(part, kMateElements), L"Auto", -1, -1);
    attach.Used = attach.Target != nullptr;
    if (!attach.Used)
        return;
    const IVel7EntityPtr attach7 = Version7(application, attach.Target);
    AttachBase71 = ItemOf(application, attach7, 71);
    if (IVel5EntityPtr base72 = ItemOf(application, attach7, 72)) {
        AttachBase72 = base72;
        AttachBasesFlag = 1;
    }
}

void VelmarMateSet::FindCone(IVel5Application* application, IVel5Part* part)
{
    // The trailing blank is part of the name models give their cone.
    IVel5EntityPtr cone = FindNamed(ObjectsOfType(part, kConeSurfaces), L"Conus ", 0, 0);
    if (!cone)
        cone = FindNamed(ObjectsOfType(part, kConeSurfacesOlder), L"Conus ", 0, 0);
    if (!cone)
        return;
    IVel5EntityPtr face;
    WalkHostItems(SubObjects(Version7(application, cone), kFaceObjects), [&](IDispatch* item) {
        const IVel5EntityPtr candidate = QueryHost<IVel5Entity>(item);
        const IVel5FaceDefinitionPtr definition = candidate ? EntityDefinition<IVel5FaceDefinition>(candidate) : nullptr;
        if (definition && static_cast<bool>(V5Method(definition, IVel5FaceDefinition::Test2)))
            face = candidate;
        return !face;
    });
    VelmarMate& coneMate = Members[MateCone];
    coneMate.Target = face;
    coneMate.Used = face != nullptr;
    if (face)
        ConeValue = GetConeParams(face);
}

void VelmarMateSet::FindPlanesAndAxes(IVel5Part* part)
{
    const IVel5EntityCollectionPtr objects = ObjectsOfType(part, kPlanesAndAxes);
    IVel5EntityPtr plane = FindNamed(objects, L"Plane", 0, 0);
    if (IVel5EntityPtr planeR = FindNamed(objects, L"PlaneR", 0, 0))
        plane = planeR;
    Members[MatePlane].Target = plane;
    Members[MateAxis].Target = FindNamed(objects, L"Axis", 0, 0);
    Members[MateAxisDirection].Target = FindNamed(objects, L"AxisD", 0, 0);
    for (int role : {MatePlane, MateAxis, MateAxisDirection})
        Members[role].Used = Members[role].Target != nullptr;
}

void VelmarMateSet::ReadCoordinateSystems(IVel5Application* application, IVel5Part* part, IVel5Document3D* context)
{
    WalkHostItems(ObjectsOfType(part, kCoordinateSystems), [&](IDispatch* item) {
        const IVel7EntityPtr system7 = Version7(application, item);
        if (!system7)
            return true;
        const std::wstring name = BstrToWString(V7Get(system7, &IVel7Entity::get_Name));
        if (!IsLcsName(name))
            return true;
        std::map<int16_t, std::vector<VelmarMate>> byCode;
        for (short code : kLcsCodes) {
            IVel5EntityPtr sub;
            if (code == kLcsElementCode) {
                const IDispatchPtr elements = SubObjects(system7, kElementObjects);
                sub = elements ? ObjectAs<IVel5Entity>(V5Method(elements, IVel5EntityCollection::First)) : nullptr;
            } else {
                sub = ItemOf(application, system7, code);
            }
            if (!sub)
                continue;
            std::vector<VelmarMate> mates;
            if (!context) {
                VelmarMate proposed = Proposed(0);
                proposed.Target = sub;
                mates.push_back(proposed);
            } else {
                for (const IDispatchPtr& found : GetMateObjects(context, sub))
                    if (const IVel5MatePtr mate = QueryHostOrNull<IVel5Mate>(found))
                        mates.emplace_back(mate, sub);
            }
            if (!mates.empty())
                byCode[code] = std::move(mates);
        }
        if (!byCode.empty())
            LcsMates[name] = std::move(byCode);
        return true;
    });
}

bool IsLcsName(const std::wstring& name)
{
    if (name.size() <= 3 || name.compare(0, 3, L"lcs") != 0)
        return false;
    try {
        StrToInt32(name.substr(3));
        return true;
    } catch (const DataConvertError&) {
        return false;
    }
}
