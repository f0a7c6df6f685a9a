// NMVelmarModel3D: a placed component edited in place (new parameters on the same model) or replaced
// by another model, with what the component had in the assembly carried over: placement, mates, layer,
// colours, pattern membership, position leaders, macro membership and spc object. Either runs as one
// step of Velmar's undo, which takes it back when it fails after the first change.
#include "core/com_convert.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/host_version.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/mate_queries.h"
#include "hostapi/pattern_sources.h"
#include "hostapi/position_leaders.h"
#include "hostapi/vtable_call.h"
#include "insert3d/nm_velmar_model_3d.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr short kMacroElement = 63;
constexpr short kPlaneMate = 3;

struct Point {
    double x = 0;
    double y = 0;
    double z = 0;
};

Point AnchorPoint(IVel7LeaderAnchors* anchors, long index)
{
    Point point;
    V7Get(anchors, &IVel7LeaderAnchors::GetPoint, index, &point.x, &point.y, &point.z);
    return point;
}

void UpdateObject(IUnknown* object)
{
    V7Get(RequireHost(QueryHostOrNull<IVel7ModelObject>(object)), &IVel7ModelObject::Update);
}

// The identity of a host object, for ordering lists by it.
IUnknown* Identity(IUnknown* object)
{
    IUnknownPtr identity;
    if (object)
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    return identity.GetInterfacePtr();
}

// Each object once, by identity, in the order first met.
ObjArray UniqueByIdentity(const ObjArray& objects)
{
    ObjArray unique;
    for (const IDispatchPtr& object : objects)
        if (std::none_of(unique.begin(), unique.end(), [&](const IDispatchPtr& kept) { return SameHostObject(kept, object); }))
            unique.push_back(object);
    return unique;
}

// A part's box (58 with -1 and 0): each axis as (lower, upper); false when the part gives none.
bool ReadBox(IVel5Part* part, std::array<std::pair<double, double>, 3>& box)
{
    double corner[6] = {};
    if (!static_cast<bool>(V5Method(part, IVel5Part::Box, -1L, 0L, ByRef(corner[0]), ByRef(corner[1]), ByRef(corner[2]),
                                    ByRef(corner[3]), ByRef(corner[4]), ByRef(corner[5]))))
        return false;
    for (int axis = 0; axis < 3; ++axis)
        box[axis] = std::minmax(corner[axis], corner[axis + 3]);
    return true;
}

long PositionAmong(const ObjArray& sources, IUnknown* object)
{
    for (size_t i = 0; i < sources.size(); ++i)
        if (SameHostObject(sources[i], object))
            return static_cast<long>(i);
    return -1;
}

} // namespace

void NMVelmarModel3D::Edit()
{
    TraceScope scope(L"NMVelmarModel3D::Edit");
    UndoableStep([this] {
        TraceScope step(L"NMVelmarModel3D::EditPart13");
        UndoDisabledGuard undo(iDoc5, iDoc7);
        EditPart12();
    });
}

void NMVelmarModel3D::EditPart12()
{
    TraceScope scope(L"NMVelmarModel3D::EditPart12");
    // The component's own lines are told from the user's by what it was placed as, before the edit writes
    // the new size into its identity block: the lines show the old size.
    const bool lined = IsCanCreateSpcObj();
    const SpcDocContext context = lined ? Context(true) : SpcDocContext();
    if (lined)
        ListOwnSpcLines(context);
    RenameEditPart();
    MoveConeMate();
    SetAllParams();
    ObjArray geometry;
    geometry.push_back(IDispatchPtr(iPrt7));
    MovePosLeader(geometry);
    if (lined)
        ChangeSpcObj3D(context, geometry, true);
}

void NMVelmarModel3D::RenameEditPart()
{
    TraceScope scope(L"NMVelmarModel3D::RenameEditPart");
    scope.String(L"NM_Name", NM_Name);
    V5Put(RequireHost(iPrt5), IVel5Part::ComponentName, NM_Name);
    MarkChanged();
    V5Method(iPrt5, IVel5Part::Update);
}

void NMVelmarModel3D::MoveConeMate()
{
    TraceScope scope(L"NMVelmarModel3D::MoveConeMate");
    VelmarMateSet before(iApp5, iPrt5, nullptr);
    const VelmarMate& oldCone = before.Members[MateCone];
    ObjArray mates;
    if (oldCone.Used)
        mates = GetMateObjects(iDoc5, oldCone.Target);
    Instantiate(iPrt5);
    if (!oldCone.Used)
        return;
    VelmarMateSet after(iApp5, iPrt5, nullptr);
    VelmarMate& newCone = after.Members[MateCone];
    // A cone face the rebuild kept keeps its mates as they are.
    if (!newCone.Used || SameHostObject(newCone.Target, oldCone.Target))
        return;
    if (!RecreateMates2(mates, newCone, oldCone, false))
        return;
    for (const IDispatchPtr& mate : mates)
        DeleteHelperObject(iDoc5, mate, L"a mate");
}

void NMVelmarModel3D::MovePosLeader(ObjArray& geometry)
{
    TraceScope scope(L"NMVelmarModel3D::MovePosLeader");
    const IVel7LeadersPtr leaders = DocumentLeaders(iDoc7);
    const long count = V7Get(leaders, &IVel7Leaders::get_Count);
    for (long i = 0; i < count; ++i) {
        const IDispatchPtr item = V7Get(leaders, &IVel7Leaders::get_Item, i);
        const IVel7LeaderPtr leader = QueryHostOrNull<IVel7Leader>(item);
        const IVel7LeaderAnchorsPtr anchors = QueryHostOrNull<IVel7LeaderAnchors>(item);
        if (!leader || !anchors)
            continue;
        Point position;
        V7Call(leader, &IVel7Leader::GetPoint, &position.x, &position.y, &position.z);
        bool moved = false;
        const long anchorCount = V7Get(anchors, &IVel7LeaderAnchors::get_Count);
        for (long j = 0; j < anchorCount; ++j) {
            const IDispatchPtr anchored = V7Get(RequireHost(QueryHostOrNull<IVel7ModelObject>(V7Get(anchors, &IVel7LeaderAnchors::get_Item, j))),
                                                &IVel7ModelObject::get_AnchoredObject);
            if (!SameHostObject(anchored, iPrt7))
                continue;
            // The text keeps its distance from the anchor in the leader's plane.
            const Point before = AnchorPoint(anchors, j);
            const Point offset{position.x - before.x, position.y - before.y, position.z - before.z};
            MovePosLeaderGeometry(iApp5, iPrt5, anchors, j);
            UpdateObject(leader);
            const Point after = AnchorPoint(anchors, j);
            Point moveTo = after;
            const long plane = V7Get(leader, &IVel7Leader::get_PlaneCode);
            if (plane == 1 || plane == 2)
                moveTo.x += offset.x;
            if (plane == 1 || plane == 3)
                moveTo.y += offset.y;
            if (plane == 2 || plane == 3)
                moveTo.z += offset.z;
            if (plane >= 1 && plane <= 3) {
                V7Call(leader, &IVel7Leader::SetPoint, moveTo.x, moveTo.y, moveTo.z);
                UpdateObject(leader);
                position = moveTo;
            }
            moved = true;
        }
        if (moved && QueryHostOrNull<IVel7LeaderA822>(item))
            geometry.push_back(item);
    }
}

void NMVelmarModel3D::Replace()
{
    TraceScope scope(L"NMVelmarModel3D::Replace");
    UndoableStep([this] {
        TraceScope step(L"NMVelmarModel3D::ReplacePart13");
        UndoDisabledGuard undo(iDoc5, iDoc7);
        ReplacePart12();
    });
}

void NMVelmarModel3D::ReplacePart12()
{
    TraceScope scope(L"NMVelmarModel3D::ReplacePart12");
    if (!iEdPrt5 || !iEdPrt7)
        RaiseNullHostPointer(__uuidof(IVel5Part));
    CreateNewPart();
    InsertPart();
    MarkChanged();
    Instantiate(iPrt5);
    SetLayerFromEditPart();
    SetColorsByEditPart();
    SetAllParams();
    SetPlacementByEditPart();
    SetMatesFromEditPart();
    ProcessReplaceEditPartInPatterns();
    const bool makeSpcObject = IsCanCreateSpcObj();
    const SpcDocContext context = Context(makeSpcObject);
    // The old component's own lines, told from those the user attached while its leaders still stand on it:
    // the new line is rebuilt from them, and they go with it where it gets none. The user's lines stay as
    // they were made, with the new component; any other line that held one of its leaders stays too.
    const ObjArray attached = ListOwnSpcLines(context);
    const ObjArray ownLines = ExSpcObjs;
    const std::vector<LeaderCopy> copies = SetPosLeaderFromEditPart(context);
    ObjArray geometry;
    geometry.push_back(IDispatchPtr(iPrt7));
    geometry.Append(LeadersForLine(copies, copies, ownLines));
    const bool lined = makeSpcObject && ChangeSpcObj3D(context, geometry, true);
    if (!lined) {
        ExSpcObjs = ownLines;
        RemoveExistsSpcObjects();
    }
    GiveCopiesToOtherLines(copies, ownLines);
    IncludeInLines(attached, iPrt7);
    // A position leader shows the number of the lines it is in: in none, it numbers nothing.
    if (!lined)
        RemovePosLeaders(HeldByNoSpcObject(context, PositionLeaderCopies(copies)));
    ReplaceEditPartInMacro();
    DeleteEditPart();
}

void NMVelmarModel3D::SetEditPart(IVel5Part* part)
{
    iEdPrt5 = part;
    iEdPrt7 = part ? Twin(part) : nullptr;
}

void NMVelmarModel3D::SetLayerFromEditPart()
{
    TraceScope scope(L"NMVelmarModel3D::SetLayerFromEditPart");
    scope.Value(L"HostVersion", _variant_t(static_cast<unsigned long>(HostVersion)));
    if (HostVersion < kHostVersion1501)
        return;
    const IVel7LayerPtr from = RequireHost(QueryHostOrNull<IVel7Layer>(iEdPrt7));
    const IVel7LayerPtr to = RequireHost(QueryHostOrNull<IVel7Layer>(iPrt7));
    V7Call(to, &IVel7Layer::put_Layer, V7Get(from, &IVel7Layer::get_Layer));
    const VARIANT_BOOL updated = V7Get(RequireHost(QueryHostOrNull<IVel7ModelObject>(iPrt7)), &IVel7ModelObject::Update);
    scope.Value(L"iPrt7->Update()", updated != VARIANT_FALSE);
}

void NMVelmarModel3D::SetColorsByEditPart()
{
    TraceScope scope(L"NMVelmarModel3D::SetColorsByEditPart");
    // The look property belongs to what colours a part.
    V5Put(iPrt5, IVel5Part::PhantomLook, static_cast<long>(V5Get(iEdPrt5, IVel5Part::PhantomLook)));
    long colour = 0;
    double light[6] = {};
    if (!static_cast<bool>(V5Method(iEdPrt5, IVel5Part::GetColour, ByRef(colour), ByRef(light[0]), ByRef(light[1]),
                                    ByRef(light[2]), ByRef(light[3]), ByRef(light[4]), ByRef(light[5]))))
        return;
    scope.WriteLine(L"Update");
    V5Method(iPrt5, IVel5Part::SetColour, colour, light[0], light[1], light[2], light[3], light[4], light[5]);
    V5Method(iPrt5, IVel5Part::Update);
}

void NMVelmarModel3D::SetPlacementByEditPart()
{
    TraceScope scope(L"NMVelmarModel3D::SetPlacementByEditPart");
    SetPlacement(ObjectAs<IVel5Placement>(V5Method(iEdPrt5, IVel5Part::Placement)));
}

void NMVelmarModel3D::SetMatesFromEditPart()
{
    TraceScope scope(L"NMVelmarModel3D::SetMatesFromEditPart");
    VelmarMateSet made(iApp5, iPrt5, nullptr);
    VelmarMateSet old(iApp5, iEdPrt5, iDoc5);
    auto usedInBoth = [&](VelmarMateRole role) { return made.Members[role].Used && old.Members[role].Used; };
    if (usedInBoth(MateAttachPoint)) {
        VelmarMate& oldAttach = old.Members[MateAttachPoint];
        bool recreated = RecreateMates(made.Members[MateAttachPoint], oldAttach, true);
        // The old mates may hold on to the attach point's base objects instead of the point itself.
        for (const IDispatchPtr& base : {old.AttachBase71, old.AttachBase72}) {
            if (recreated || !made.AttachBasesFlag)
                break;
            oldAttach.Target = base;
            recreated = RecreateMates(made.Members[MateAttachPoint], oldAttach, true);
        }
        if (usedInBoth(MateCone))
            RecreateMates(made.Members[MateCone], old.Members[MateCone], false);
    } else {
        // One of the two has no attach point: the mates go by planes and axes, which a part with an
        // attach point has too, though its set did not look for them.
        if (old.ConjunctPnt().Used)
            old.FindPlanesAndAxes(iEdPrt5);
        if (made.ConjunctPnt().Used)
            made.FindPlanesAndAxes(iPrt5);
        if (usedInBoth(MatePlane))
            RecreateMates(made.Members[MatePlane], old.Members[MatePlane], false);
        if (usedInBoth(MateAxis))
            RecreateMates(made.Members[MateAxis], old.Members[MateAxis], false);
        if (usedInBoth(MatePlane) && usedInBoth(MateAxis))
            CorrectCoaxialMate(made, old);
        if (usedInBoth(MateAxisDirection))
            RecreateMates(made.Members[MateAxisDirection], old.Members[MateAxisDirection], false);
    }
    RecreateLcsMates(made.LcsMates, old.LcsMates, false);
}

bool NMVelmarModel3D::RecreateMates(VelmarMate& newMember, const VelmarMate& oldMember, bool attach)
{
    TraceScope scope(L"NMVelmarModel3D::RecreateMates");
    return RecreateMates2(GetMateObjects(iDoc5, oldMember.Target), newMember, oldMember, attach);
}

bool NMVelmarModel3D::RecreateMates2(const ObjArray& mates, VelmarMate& newMember, const VelmarMate& oldMember, bool attach)
{
    TraceScope scope(L"NMVelmarModel3D::RecreateMates2");
    scope.Value(L"mates.size()", _variant_t(static_cast<unsigned long>(mates.size())));
    if (mates.empty())
        return false;
    for (const IDispatchPtr& item : mates) {
        const IVel5MatePtr mate = RequireHost(QueryHostOrNull<IVel5Mate>(item));
        const IDispatchPtr first = ObjectAs<IDispatch>(V5Method(mate, IVel5Mate::Object, 1L));
        const IDispatchPtr second = ObjectAs<IDispatch>(V5Method(mate, IVel5Mate::Object, 2L));
        IDispatchPtr assembly = SameHostObject(first, oldMember.Target) ? second : first;
        if (attach)
            assembly = IDispatchPtr(GetMateMacro(assembly));
        else
            newMember.Direction = static_cast<short>(V5Get(mate, IVel5Mate::Direction));
        newMember.iface = assembly;
        newMember.Kind = static_cast<short>(V5Get(mate, IVel5Mate::Kind));
        newMember.Value = static_cast<double>(V5Get(mate, IVel5Mate::Value));
        CreateMate(iDoc5, newMember.iface, newMember.Target, static_cast<short>(newMember.Kind), newMember.Direction, nullptr,
                   newMember.Value);
    }
    return true;
}

void NMVelmarModel3D::CorrectCoaxialMate(VelmarMateSet& newSet, VelmarMateSet& oldSet)
{
    TraceScope scope(L"NMVelmarModel3D::CorrectCoaxialMate");
    const ObjArray planeMates = GetMateObjects(iDoc5, oldSet.Members[MatePlane].Target);
    if (planeMates.empty())
        return;
    const IVel5MatePtr first = RequireHost(QueryHostOrNull<IVel5Mate>(planeMates.front()));
    if (static_cast<short>(V5Get(first, IVel5Mate::Kind)) != kPlaneMate)
        return;
    std::array<std::pair<double, double>, 3> made{};
    std::array<std::pair<double, double>, 3> edited{};
    if (!ReadBox(iPrt5, made) || !ReadBox(iEdPrt5, edited))
        return;
    bool apart = false;
    for (int axis = 0; axis < 3; ++axis)
        apart = apart || made[axis].first > edited[axis].second || edited[axis].first > made[axis].second;
    scope.Value(L"apart", apart);
    if (!apart)
        return;
    // The new model lies on the other side of the plane: the axis mate turns round.
    VelmarMate& axis = newSet.Members[MateAxis];
    axis.Direction = axis.Direction == 1 ? -1 : 1;
    for (const IDispatchPtr& mate : GetMateObjects(iDoc5, axis.Target))
        DeleteHelperObject(iDoc5, mate, L"a mate");
    CreateMate(iDoc5, axis.iface, axis.Target, static_cast<short>(axis.Kind), axis.Direction, nullptr, axis.Value);
}

void NMVelmarModel3D::RecreateLcsMates(const VelmarMateSet::LcsMap& newMap, const VelmarMateSet::LcsMap& oldMap, bool deleteOld)
{
    for (const auto& [name, oldCodes] : oldMap) {
        const auto newCodes = newMap.find(name);
        if (newCodes == newMap.end())
            continue;
        for (const auto& [code, oldMates] : oldCodes) {
            const auto newMates = newCodes->second.find(code);
            if (newMates == newCodes->second.end() || newMates->second.empty())
                continue;
            const IDispatchPtr target = newMates->second.front().Target;
            for (const VelmarMate& old : oldMates) {
                CreateMate(iDoc5, old.iface, target, static_cast<short>(old.Kind), old.Direction, nullptr, old.Value);
                if (deleteOld)
                    DeleteHelperObject(iDoc5, old.HostMate, L"a mate");
            }
        }
    }
}

void NMVelmarModel3D::ProcessReplaceEditPartInPatterns()
{
    TraceScope scope(L"NMVelmarModel3D::ProcessReplaceEditPartInPatterns");
    ObjArray edited;
    edited.push_back(IDispatchPtr(iEdPrt7));
    // A pattern is listed once for every part of the list it holds: each is rewritten once.
    const ObjArray patterns = UniqueByIdentity(ReplacePartInPatternsAPI7(iDoc7, edited));
    PatternMates stored = StorePatternPartsLCSMates(patterns);
    ReplaceEditPartInPatterns(patterns);
    RestorePatternPartsLCSMates(patterns, stored);
    stored.clear();
}

IVel5PartPtr NMVelmarModel3D::InstanceCopy(IVel7Pattern* pattern, long first, long second, long position)
{
    const IDispatchPtr instance = V7Get(pattern, &IVel7Pattern::get_Instance, first, second);
    const IDispatchPtr instance5 =
        RequireHost(ObjectAs<IDispatch>(V5Method(iApp5, IVel5Application::ToLayer, instance, VelLayer5, VelTypePatternInstance)));
    return ObjectAs<IVel5Part>(V5Method(instance5, IVel5Array::CopyAt, position));
}

NMVelmarModel3D::PatternMates NMVelmarModel3D::StorePatternPartsLCSMates(const ObjArray& patterns)
{
    TraceScope scope(L"NMVelmarModel3D::StorePatternPartsLCSMates");
    scope.Value(L"Patts.size()", _variant_t(static_cast<unsigned long>(patterns.size())));
    PatternMates stored(patterns.size());
    for (size_t k = 0; k < patterns.size(); ++k) {
        const IVel7PatternPtr pattern = RequireHost(QueryHostOrNull<IVel7Pattern>(patterns[k]));
        const long position = PositionAmong(ObjArray(V7Get(pattern, &IVel7Pattern::get_Sources)), iEdPrt7);
        long firstRange = 0;
        long secondRange = 0;
        V7Call(pattern, &IVel7Pattern::GetInstanceRanges, &firstRange, &secondRange);
        for (long i = 1; i <= firstRange; ++i)
            for (long j = 1; j <= secondRange; ++j) {
                const IVel5PartPtr copy = InstanceCopy(pattern, i, j, position);
                if (!copy)
                    continue;
                VelmarMateSet set(iApp5, copy, iDoc5);
                if (!set.LcsMates.empty())
                    stored[k].push_back({i, j, position, std::move(set.LcsMates)});
            }
        scope.Value(L"res.size()", _variant_t(static_cast<unsigned long>(stored[k].size())));
    }
    return stored;
}

void NMVelmarModel3D::ReplaceEditPartInPatterns(const ObjArray& patterns)
{
    TraceScope scope(L"NMVelmarModel3D::ReplaceEditPartInPatterns");
    ObjArray added;
    added.push_back(IDispatchPtr(iPrt7));
    ObjArray removed;
    removed.push_back(IDispatchPtr(iEdPrt7));
    ReplacePartInPatterns(patterns, added, removed);
}

void NMVelmarModel3D::RestorePatternPartsLCSMates(const ObjArray& patterns, const PatternMates& stored)
{
    TraceScope scope(L"NMVelmarModel3D::RestorePatternPartsLCSMates");
    for (size_t k = 0; k < patterns.size() && k < stored.size(); ++k) {
        const IVel7PatternPtr pattern = RequireHost(QueryHostOrNull<IVel7Pattern>(patterns[k]));
        // The rewrite appends the new part and takes the old one out, so the sources after it may have
        // moved: the copies to mate are those of the new part, at its own position now.
        const long position = PositionAmong(ObjArray(V7Get(pattern, &IVel7Pattern::get_Sources)), iPrt7);
        for (const InstanceMates& record : stored[k]) {
            const IVel5PartPtr copy = RequireHost(InstanceCopy(pattern, record.first, record.second, position));
            const VelmarMateSet set(iApp5, copy, nullptr);
            RecreateLcsMates(set.LcsMates, record.mates, true);
        }
    }
}

std::vector<NMVelmarModel3D::LeaderCopy> NMVelmarModel3D::SetPosLeaderFromEditPart(const SpcDocContext& context)
{
    TraceScope scope(L"NMVelmarModel3D::SetPosLeaderFromEditPart");
    const IVel7LeadersPtr leaders = DocumentLeaders(iDoc7);
    // The leaders as they are before any copy: a copy never comes up for copying, and a source a copy
    // did not take out is never met again.
    const long count = V7Get(leaders, &IVel7Leaders::get_Count);
    ObjArray present;
    for (long i = 0; i < count; ++i)
        present.push_back(V7Get(leaders, &IVel7Leaders::get_Item, i));
    std::vector<LeaderCopy> copies;
    for (const IDispatchPtr& leader : present) {
        const IVel7LeaderAnchorsPtr anchors = QueryHostOrNull<IVel7LeaderAnchors>(leader);
        if (!anchors || !GetPosLeadersOfPart(iApp5, iEdPrt5, anchors))
            continue;
        const long kind = GetPosLeaderKind(leader);
        if (!IsHandedOnLeaderKind(kind))
            continue;
        LeaderCopy made;
        made.numbering = kind == kPositionLeaderKind;
        // Asked before the copy takes the old leader out of the document, and so out of its lines.
        made.holders = SpcObjectsHolding(context, leader);
        made.copy = CopyPosLeaderOfKind(iApp5, leaders, leader, kind, iPrt5);
        scope.WriteLine(L"Create_New_Lead");
        if (!made.copy)
            continue;
        const long now = V7Get(leaders, &IVel7Leaders::get_Count);
        for (long i = 0; i < now; ++i)
            if (SameHostObject(V7Get(leaders, &IVel7Leaders::get_Item, i), leader)) {
                scope.WriteLine(L"The old leader is still in the document");
                break;
            }
        copies.push_back(std::move(made));
    }
    return copies;
}

ObjArray NMVelmarModel3D::PositionLeaderCopies(const std::vector<LeaderCopy>& copies)
{
    ObjArray numbering;
    for (const LeaderCopy& copy : copies)
        if (copy.numbering)
            numbering.push_back(copy.copy);
    return numbering;
}

ObjArray NMVelmarModel3D::LeadersForLine(const std::vector<LeaderCopy>& own, const std::vector<LeaderCopy>& copies,
                                         const ObjArray& oldLines, const ObjArray& going)
{
    // A position leader that numbered no line numbers its component's; one a line held numbers the lines
    // rebuilt from those that held it, not the line of a part it happens to stand on.
    ObjArray included;
    for (const LeaderCopy& copy : own)
        if (copy.numbering && copy.holders.empty())
            included.push_back(copy.copy);
    for (const LeaderCopy& copy : copies)
        if (!HoldsHostObject(included, copy.copy) &&
            std::any_of(copy.holders.begin(), copy.holders.end(), [&](const IDispatchPtr& line) { return HoldsHostObject(oldLines, line); }))
            included.push_back(copy.copy);
    for (const IDispatchPtr& leader : LeadersHeldBy(iDoc7, oldLines))
        if (!HoldsHostObject(included, leader) && !HoldsHostObject(going, leader))
            included.push_back(leader);
    return included;
}

void NMVelmarModel3D::GiveCopiesToOtherLines(const std::vector<LeaderCopy>& copies, const ObjArray& rebuilt)
{
    TraceScope scope(L"NMVelmarModel3D::GiveCopiesToOtherLines");
    for (const LeaderCopy& copy : copies) {
        ObjArray others;
        for (const IDispatchPtr& holder : copy.holders)
            if (!HoldsHostObject(rebuilt, holder))
                others.push_back(holder);
        IncludeInLines(others, copy.copy);
    }
}

void NMVelmarModel3D::IncludeInLines(const ObjArray& lines, IDispatch* object)
{
    TraceScope scope(L"NMVelmarModel3D::IncludeInLines");
    ObjArray included;
    included.push_back(IDispatchPtr(object));
    for (const IDispatchPtr& holder : lines) {
        const IVel7SpcObjectPtr line = RequireHost(QueryHostOrNull<IVel7SpcObject>(holder));
        IncludeSpcGeometry(line, included, scope);
        V7Get(line, &IVel7SpcObjectBase::Update);
    }
}

void NMVelmarModel3D::RemovePosLeaders(const ObjArray& leaders)
{
    TraceScope scope(L"NMVelmarModel3D::RemovePosLeaders");
    scope.Value(L"leaders.size()", _variant_t(static_cast<unsigned long>(leaders.size())));
    for (const IDispatchPtr& leader : leaders)
        RemovePosLeader(leader);
}

void NMVelmarModel3D::ReplaceEditPartInMacro()
{
    TraceScope scope(L"NMVelmarModel3D::ReplaceEditPartInMacro");
    const IVel5EntityPtr owner = GetMacroFromAPI7Object(iEdPrt5);
    if (!owner || GetEntityType(owner) != kMacroElement)
        return;
    scope.String(L"iOwnEnt->name", VariantToWString(V5Get(owner, IVel5Entity::Name)));
    const IVel5MacroDefinitionPtr definition = RequireHost(EntityDefinition<IVel5MacroDefinition>(owner));
    V5Method(definition, IVel5MacroDefinition::AddPart, iPrt5);
    V5Method(owner, IVel5Entity::Update);
}

void NMVelmarModel3D::DeleteEditPart()
{
    TraceScope scope(L"NMVelmarModel3D::DeleteEditPart");
    DeleteReplacedObject(iDoc5, iEdPrt5);
    iEdPrt5 = nullptr;
    iEdPrt7 = nullptr;
}

template <class Wanted>
ObjArray NMVelmarModel3D::LeadersPointingAt(IVel5Application* app5, IVel7Document3D* doc7, IDispatch* part, Wanted wanted)
{
    const IVel5PartPtr part5 = ObjectAs<IVel5Part>(V5Method(app5, IVel5Application::ToLayer, part, VelLayer5, VelTypePart));
    ObjArray found;
    if (!part5)
        return found;
    const IVel7LeadersPtr leaders = DocumentLeaders(doc7);
    const long count = V7Get(leaders, &IVel7Leaders::get_Count);
    for (long i = 0; i < count; ++i) {
        const IDispatchPtr leader = V7Get(leaders, &IVel7Leaders::get_Item, i);
        const IVel7LeaderAnchorsPtr anchors = QueryHostOrNull<IVel7LeaderAnchors>(leader);
        if (anchors && wanted(leader) && GetPosLeadersOfPart(app5, part5, anchors) && !HoldsHostObject(found, leader))
            found.push_back(leader);
    }
    return found;
}

ObjArray NMVelmarModel3D::GetPosLeadsForPart(IDispatch* part)
{
    TraceScope scope(L"NMVelmarModel3D::GetPosLeadsForPart");
    ObjArray found =
        LeadersPointingAt(iApp5, iDoc7, part, [](IDispatch* leader) { return QueryHostOrNull<IVel7LeaderA822>(leader) != nullptr; });
    std::sort(found.begin(), found.end(), [](const IDispatchPtr& a, const IDispatchPtr& b) { return Identity(a) < Identity(b); });
    scope.Value(L"pos_leads.size()", _variant_t(static_cast<unsigned long>(found.size())));
    return found;
}

ObjArray NMVelmarModel3D::GetLeadersOfPart(IVel5Application* app5, IVel7Document3D* doc7, IDispatch* part)
{
    TraceScope scope(L"NMVelmarModel3D::GetLeadersOfPart");
    const ObjArray found =
        LeadersPointingAt(app5, doc7, part, [](IDispatch* leader) { return IsHandedOnLeaderKind(GetPosLeaderKind(leader)); });
    scope.Value(L"leaders.size()", _variant_t(static_cast<unsigned long>(found.size())));
    return found;
}
