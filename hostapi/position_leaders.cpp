#include "hostapi/position_leaders.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr short kFaces = 6;
constexpr short kPartFeature = VelTypePart;

IVel7ModelObjectPtr ModelObjectOf(IUnknown* object)
{
    return RequireHost(QueryHostOrNull<IVel7ModelObject>(object));
}

// The point of the leader's anchor.
struct Point {
    double x = 0;
    double y = 0;
    double z = 0;
};

// The source's point overwrites the coordinates of the plane the code names: 1 x/y, 2 x/z, 3 y/z.
void TakePlaneCoordinates(long code, const Point& from, Point& point)
{
    switch (code) {
    case 1:
        point.x = from.x;
        point.y = from.y;
        break;
    case 2:
        point.x = from.x;
        point.z = from.z;
        break;
    case 3:
        point.y = from.y;
        point.z = from.z;
        break;
    default:
        break;
    }
}

// One property: the source's getter into the copy's setter.
template <class I>
void CopyProperty(I* source, I* copy, HRESULT (STDMETHODCALLTYPE I::*get)(VARIANT*), HRESULT (STDMETHODCALLTYPE I::*put)(VARIANT))
{
    const _variant_t value = V7Get(source, get);
    V7Call(copy, put, value);
}

// One text: the source's text object's text into the copy's text object.
template <class I>
void CopyText(I* source, I* copy, HRESULT (STDMETHODCALLTYPE I::*text)(IDispatch**))
{
    const IVel7LeaderTextPtr from = RequireHost(QueryHostOrNull<IVel7LeaderText>(V7Get(source, text)));
    const IVel7LeaderTextPtr to = RequireHost(QueryHostOrNull<IVel7LeaderText>(V7Get(copy, text)));
    _bstr_t value = V7Get(from, &IVel7LeaderText::get_Text);
    V7Call(to, &IVel7LeaderText::put_Text, value.GetBSTR());
}

// The copy is complete once it updates; then the source leaves the document.
void FinishCopy(IUnknown* source, IUnknown* copy)
{
    if (V7Get(ModelObjectOf(copy), &IVel7ModelObject::Update) == VARIANT_FALSE)
        return;
    RemovePosLeader(source);
}

// The shared settings under the code, then the kind's own through `copyOwn`; null when the part gave no
// anchor.
template <class I, class F>
HostPtr<I> CopyOfKind(IVel5Application* application, IVel7Leaders* leaders, I* source, long code, IVel5Part* part, F copyOwn)
{
    const IVel7LeaderPtr common = RequireHost(QueryHostOrNull<IVel7Leader>(source));
    const IVel7LeaderPtr made = CopyPosLeaderParams(application, leaders, common, code, part);
    if (!made)
        return nullptr;
    const HostPtr<I> copy = RequireHost(QueryHostOrNull<I>(made));
    copyOwn(source, copy.GetInterfacePtr());
    FinishCopy(source, copy);
    return copy;
}

} // namespace

IVel5PartPtr GetOutermostFlaggedPart(IVel5Part* part)
{
    IVel5PartPtr current(part);
    while (current && static_cast<bool>(V5Get(current, IVel5Part::UserParamSet))) {
        const IVel5PartPtr owner = ObjectAs<IVel5Part>(V5Method(current, IVel5Part::Owner, -1L));
        if (!owner || !static_cast<bool>(V5Get(owner, IVel5Part::UserParamSet)))
            break;
        current = owner;
    }
    return current;
}

IVel5PartPtr SetPosLeaderParts(IVel5Part* part)
{
    IVel5PartPtr current(part);
    while (current) {
        if (static_cast<bool>(V5Method(current, IVel5Part::EditedInPlace)))
            return current;
        const IVel5ObjectPtr bridge = RequireHost(ObjectAs<IVel5Object>(V5Method(current, IVel5Part::HostObject)));
        const IVel5FeatureCollectionPtr tree =
            RequireHost(ObjectAs<IVel5FeatureCollection>(V5Method(bridge, IVel5Object::Features, -1L, -1L)));
        IVel5PartPtr next;
        WalkHostItems(tree, [&](IDispatch* item) {
            const IVel5ObjectPtr feature = QueryHost<IVel5Object>(item);
            if (feature && static_cast<short>(V5Get(feature, IVel5Object::Type)) == kPartFeature)
                next = ObjectAs<IVel5Part>(V5Method(feature, IVel5Object::Target));
            return !next;
        });
        if (!next)
            break;
        current = next;
    }
    return IVel5PartPtr(part);
}

void MovePosLeaderGeometry(IVel5Application* application, IVel5Part* part, IVel7LeaderAnchors* leader, long index)
{
    TraceScope scope(L"MovePosLeaderGeometry");
    scope.Value(L"aIndex", index);
    bool placed = false;
    WalkHostItems(RequireHost(ObjectAs<IVel5EntityCollection>(V5Method(part, IVel5Part::ObjectsOfType, kFaces))), [&](IDispatch* item) {
        const IVel5EntityPtr face = QueryHost<IVel5Entity>(item);
        if (!face)
            return true;
        const IDispatchPtr face7 =
            ModelObjectOf(ObjectAs<IDispatch>(V5Method(application, IVel5Application::ToLayer, face, VelLayer7, VelTypeNone)));
        const IVel5FaceDefinitionPtr definition = RequireHost(EntityDefinition<IVel5FaceDefinition>(face));
        WalkHostItems(RequireHost(ObjectAs<IVel5EdgeCollection>(V5Method(definition, IVel5FaceDefinition::Edges))), [&](IDispatch* edgeItem) {
            const IVel5EdgeDefinitionPtr edge = RequireHost(QueryHost<IVel5EdgeDefinition>(edgeItem));
            for (bool start : {true, false}) {
                const IVel5VertexPtr vertex = ObjectAs<IVel5Vertex>(V5Method(edge, IVel5EdgeDefinition::Vertex, start));
                if (!vertex)
                    continue;
                Point point;
                V5Method(vertex, IVel5Vertex::Point, ByRef(point.x), ByRef(point.y), ByRef(point.z));
                const VARIANT_BOOL done = index < 0
                                              ? V7Get(leader, &IVel7LeaderAnchors::Add, point.x, point.y, point.z, face7.GetInterfacePtr())
                                              : V7Get(leader, &IVel7LeaderAnchors::MovePoint, index, point.x, point.y, point.z);
                if (done != VARIANT_FALSE) {
                    placed = true;
                    return false;
                }
            }
            return true;
        });
        return !placed;
    });
    scope.Value(L"placed", placed);
}

bool GetPosLeadersOfPart(IVel5Application* application, IVel5Part* part, IVel7LeaderAnchors* leader)
{
    const long count = V7Get(leader, &IVel7LeaderAnchors::get_Count);
    for (long i = 0; i < count; ++i) {
        const IDispatchPtr anchored = V7Get(ModelObjectOf(V7Get(leader, &IVel7LeaderAnchors::get_Item, i)), &IVel7ModelObject::get_AnchoredObject);
        const IVel5PartPtr anchoredPart =
            ObjectAs<IVel5Part>(V5Method(application, IVel5Application::ToLayer, anchored, VelLayer5, VelTypePart));
        if (anchoredPart && SameHostObject(GetOutermostFlaggedPart(anchoredPart), part))
            return true;
    }
    return false;
}

long GetPosLeaderKind(IDispatch* leader)
{
    if (QueryHostOrNull<IVel7LeaderA741>(leader))
        return 86;
    if (QueryHostOrNull<IVel7LeaderA822>(leader))
        return 89;
    if (QueryHostOrNull<IVel7LeaderEEF8>(leader))
        return 90;
    if (QueryHostOrNull<IVel7Leader8A5D>(leader))
        return 105;
    return 87;
}

bool IsHandedOnLeaderKind(long kind)
{
    return kind == 86 || kind == kPositionLeaderKind || kind == 90 || kind == 105;
}

IVel7LeaderPtr CopyPosLeaderParams(IVel5Application* application, IVel7Leaders* leaders, IVel7Leader* source, long code,
                                   IVel5Part* part)
{
    TraceScope scope(L"CopyPosLeaderParams");
    scope.Value(L"aKind", code);
    const IVel7LeaderPtr copy = RequireHost(QueryHostOrNull<IVel7Leader>(V7Get(leaders, &IVel7Leaders::Add, code)));
    const IVel7LeaderAnchorsPtr anchors = RequireHost(QueryHostOrNull<IVel7LeaderAnchors>(copy));
    MovePosLeaderGeometry(application, part, anchors, -1);
    if (V7Get(anchors, &IVel7LeaderAnchors::get_Count) == 0) {
        // A leader without an anchor is no leader: it goes again, and the old one keeps pointing where it did.
        RemovePosLeader(copy);
        scope.WriteLine(L"The part gave the new leader no anchor: no copy");
        return nullptr;
    }
    Point point;
    V7Get(anchors, &IVel7LeaderAnchors::GetPoint, 0L, &point.x, &point.y, &point.z);
    CopyProperty<IVel7Leader>(source, copy, &IVel7Leader::get_Property26, &IVel7Leader::put_Property27);
    V7Call(copy, &IVel7Leader::put_PlaneCode, V7Get(source, &IVel7Leader::get_PlaneCode));
    CopyProperty<IVel7Leader>(source, copy, &IVel7Leader::get_Property22, &IVel7Leader::put_Property23);
    V7Call(ModelObjectOf(copy), &IVel7ModelObject::put_Property13, V7Get(ModelObjectOf(source), &IVel7ModelObject::get_Property14));
    Point from;
    V7Call(source, &IVel7Leader::GetPoint, &from.x, &from.y, &from.z);
    TakePlaneCoordinates(V7Get(copy, &IVel7Leader::get_PlaneCode), from, point);
    V7Call(copy, &IVel7Leader::SetPoint, point.x, point.y, point.z);
    return copy;
}

IVel7LeaderA822Ptr CopyPosLeaderA822(IVel5Application* application, IVel7Leaders* leaders, IVel7LeaderA822* source, IVel5Part* part)
{
    TraceScope scope(L"CopyPosLeaderA822");
    using I = IVel7LeaderA822;
    return CopyOfKind(application, leaders, source, 89, part, [](I* from, I* to) {
        CopyProperty<I>(from, to, &I::get_Property13, &I::put_Property14);
        CopyProperty<I>(from, to, &I::get_Property17, &I::put_Property18);
        CopyText<I>(from, to, &I::get_Text15);
        CopyProperty<I>(from, to, &I::get_Property7, &I::put_Property8);
        CopyProperty<I>(from, to, &I::get_Property11, &I::put_Property12);
        CopyText<I>(from, to, &I::get_Text16);
    });
}

IVel7LeaderA741Ptr CopyPosLeaderA741(IVel5Application* application, IVel7Leaders* leaders, IVel7LeaderA741* source, IVel5Part* part)
{
    TraceScope scope(L"CopyPosLeaderA741");
    using I = IVel7LeaderA741;
    return CopyOfKind(application, leaders, source, 86, part, [](I* from, I* to) {
        CopyProperty<I>(from, to, &I::get_Property11, &I::put_Property12);
        CopyProperty<I>(from, to, &I::get_Property20, &I::put_Property21);
        CopyProperty<I>(from, to, &I::get_Property7, &I::put_Property8);
        CopyProperty<I>(from, to, &I::get_Property9, &I::put_Property10);
        for (auto text : {&I::get_Text15, &I::get_Text13, &I::get_Text16, &I::get_Text14, &I::get_Text17})
            CopyText<I>(from, to, text);
    });
}

IVel7LeaderEEF8Ptr CopyPosLeaderEEF8(IVel5Application* application, IVel7Leaders* leaders, IVel7LeaderEEF8* source, IVel5Part* part)
{
    TraceScope scope(L"CopyPosLeaderEEF8");
    using I = IVel7LeaderEEF8;
    return CopyOfKind(application, leaders, source, 90, part, [](I* from, I* to) {
        CopyText<I>(from, to, &I::get_Text9);
        CopyProperty<I>(from, to, &I::get_Property10, &I::put_Property11);
        CopyText<I>(from, to, &I::get_Text7);
        CopyText<I>(from, to, &I::get_Text8);
    });
}

IVel7Leader8A5DPtr CopyPosLeader8A5D(IVel5Application* application, IVel7Leaders* leaders, IVel7Leader8A5D* source, IVel5Part* part)
{
    TraceScope scope(L"CopyPosLeader8A5D");
    using I = IVel7Leader8A5D;
    return CopyOfKind(application, leaders, source, 87, part, [](I* from, I* to) {
        for (auto text : {&I::get_Text9, &I::get_Text7, &I::get_Text8})
            CopyText<I>(from, to, text);
    });
}

IDispatchPtr CopyPosLeaderOfKind(IVel5Application* application, IVel7Leaders* leaders, IDispatch* source, long kind, IVel5Part* part)
{
    switch (kind) {
    case 86:
        return IDispatchPtr(CopyPosLeaderA741(application, leaders, QueryHost<IVel7LeaderA741>(source), part));
    case kPositionLeaderKind:
        return IDispatchPtr(CopyPosLeaderA822(application, leaders, QueryHost<IVel7LeaderA822>(source), part));
    case 90:
        return IDispatchPtr(CopyPosLeaderEEF8(application, leaders, QueryHost<IVel7LeaderEEF8>(source), part));
    case 105:
        return IDispatchPtr(CopyPosLeader8A5D(application, leaders, QueryHost<IVel7Leader8A5D>(source), part));
    default:
        return nullptr;
    }
}

void RemovePosLeader(IUnknown* leader)
{
    const IVel7ModelObjectParamPtr parameters =
        RequireHost(QueryHostOrNull<IVel7ModelObjectParam>(V7Get(ModelObjectOf(leader), &IVel7ModelObject::get_Parameters)));
    V7Get(parameters, &IVel7ModelObjectParam::Remove);
}

IVel7LeadersPtr DocumentLeaders(IVel7Document3D* document)
{
    return RequireHost(QueryHostOrNull<IVel7Leaders>(V7Get(document, &IVel7Document3D::get_Leaders)));
}

ObjArray LeadersOfDocument(IVel7Document3D* document)
{
    const IVel7LeadersPtr leaders = DocumentLeaders(document);
    const long count = V7Get(leaders, &IVel7Leaders::get_Count);
    ObjArray present;
    for (long i = 0; i < count; ++i)
        present.push_back(V7Get(leaders, &IVel7Leaders::get_Item, i));
    return present;
}

ObjArray LeadersHeldBy(IVel7Document3D* document, const ObjArray& spcObjects)
{
    ObjArray included;
    for (const IDispatchPtr& line : spcObjects)
        included.Append(ObjArray(V7Get(RequireHost(QueryHostOrNull<IVel7SpcObject>(line)), &IVel7SpcObject::get_Geometry)));
    ObjArray held;
    if (included.empty())
        return held;
    for (const IDispatchPtr& leader : LeadersOfDocument(document))
        if (HoldsHostObject(included, leader))
            held.push_back(leader);
    return held;
}
