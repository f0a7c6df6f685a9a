// NMVelObj2D: the position leaders of a placed part. A leader is a drawing object of type 21 that
// belongs to the geometry of the part's spc object.
#include "insert2d/nm_vel_obj_2d.h"

#include <algorithm>

#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr long kLeaderType = 21;
constexpr short kRequestKind = 10;
constexpr short kPointKind = 14;
constexpr short kLeaderKind = 61;
constexpr short kPointListKind = 2;
// Velmar's answer of a point request when the user gave a point.
constexpr long kPointGiven = -1;
// How far from the point the object pointed at may lie.
constexpr double kPickDistance = 100.0;
// Where a new leader's shelf stands from the part's placement point.
constexpr double kShelfOffset = 20.0;

_variant_t Long(long value)
{
    return _variant_t(value);
}

IVel5LeaderParamPtr NewLeaderStructure(IVel5Application* app5)
{
    IVel5LeaderParamPtr leader = NewStructure<IVel5LeaderParam>(app5, kLeaderKind);
    V5Method(leader, IVel5LeaderParam::Init);
    return leader;
}

} // namespace

int32_t NMVelObj2D::DrawPosLeader()
{
    TraceScope scope(L"NMVelObj2D::DrawPosLeader");
    scope.Value(L"PosLeadMode", Long(PosLeadMode));
    drawnLeader_ = 0;
    if (PosLeadMode == LeaderNone)
        return 0;
    V5Method(Doc(), IVel5Document2D::Highlight, Long(macro), 1L);
    const ScopeExitDispid38 unhighlight(Doc(), macro);
    long leader = 0;
    if (PosLeadMode == LeaderNew) {
        V5Method(iApp5, IVel5Application::BeforeProcess);
        leader = V5Method(Doc(), IVel5Document2D::DrawInteractively, kLeaderType);
        // Known before anything else can fail: a copy that is not finished takes its new leader with it.
        drawnLeader_ = leader;
    } else if (PosLeadMode == LeaderExisting) {
        leader = GetExistsPosLead();
    }
    scope.Hex(L"pos_lead", leader);
    return leader;
}

int32_t NMVelObj2D::GetExistsPosLead()
{
    TraceScope scope(L"NMVelObj2D::GetExistsPosLead");
    const IVel5RequestInfo2DPtr request = NewStructure<IVel5RequestInfo2D>(iApp5, kRequestKind);
    V5Method(request, IVel5RequestInfo2D::Init);
    V5Put(request, IVel5RequestInfo2D::Prompt, Translate(L"Укажите существующую линию-выноску"));
    for (;;) {
        V5Method(iApp5, IVel5Application::BeforeProcess);
        double x = 0;
        double y = 0;
        const long answer = V5Method(Doc(), IVel5Document2D::PointRequest, request, ByRef(x), ByRef(y), _variant_t());
        if (answer != kPointGiven)
            return 0;
        const long object = V5Method(Doc(), IVel5Document2D::ObjectAt, x, y, kPickDistance);
        if (object != 0 && static_cast<long>(V5Method(Doc(), IVel5Document2D::ReadParams, Long(object), _variant_t(), -1L)) ==
                               kLeaderType) {
            scope.Hex(L"pos_lead", object);
            return object;
        }
    }
}

void NMVelObj2D::GetPosLeadsFromSpcObjects()
{
    TraceScope scope(L"NMVelObj2D::GetPosLeadsFromSpcObjects");
    PosLeads.clear();
    for (const IDispatchPtr& listed : ExSpcObjs) {
        const IVel7SpcObjectPtr object = RequireHost(QueryHostOrNull<IVel7SpcObject>(listed));
        const ObjArray geometry(V7Get(object, &IVel7SpcObject::get_Geometry));
        for (const IDispatchPtr& item : geometry) {
            const IVel7DrawingObjectPtr drawn = QueryHostOrNull<IVel7DrawingObject>(item);
            if (!drawn || V7Get(drawn, &IVel7DrawingObject::get_Type) != kLeaderType)
                continue;
            const IDispatchPtr leader = QueryHost<IDispatch>(drawn);
            if (!HoldsHostObject(PosLeads, leader))
                PosLeads.push_back(leader);
        }
    }
    scope.Value(L"pleads.size()", _variant_t(static_cast<unsigned long>(PosLeads.size())));
}

std::vector<bool> NMVelObj2D::HeldByOwnLeader()
{
    std::vector<ObjArray> held;
    for (const IDispatchPtr& listed : ExSpcObjs)
        held.emplace_back(V7Get(RequireHost(QueryHostOrNull<IVel7SpcObject>(listed)), &IVel7SpcObject::get_Geometry));
    // The part's leader is the one that holds most of its lines: a line Velmar would not delete keeps the
    // leader of its own generation beside it.
    IDispatchPtr leader;
    size_t most = 0;
    for (const IDispatchPtr& candidate : PosLeads) {
        const size_t count = static_cast<size_t>(
            std::count_if(held.begin(), held.end(), [&](const ObjArray& geometry) { return HoldsHostObject(geometry, candidate); }));
        if (count > most) {
            most = count;
            leader = candidate;
        }
    }
    std::vector<bool> flags;
    for (const ObjArray& geometry : held)
        flags.push_back(leader && HoldsHostObject(geometry, leader));
    return flags;
}

void NMVelObj2D::RemovePosLeads()
{
    TraceScope scope(L"NMVelObj2D::RemovePosLeads");
    scope.Value(L"pleads.size()", _variant_t(static_cast<unsigned long>(PosLeads.size())));
    // Each leader leaves the list once deleted: a failure half way never leaves a deleted one listed.
    while (!PosLeads.empty()) {
        const IVel7DrawingObjectPtr leader = RequireHost(QueryHostOrNull<IVel7DrawingObject>(PosLeads.front()));
        V5Method(Doc(), IVel5Document2D::RemoveObject, Long(V7Get(leader, &IVel7DrawingObject::get_Reference)));
        PosLeads.erase(PosLeads.begin());
    }
}

void NMVelObj2D::RemoveUnusedPosLeads(const SpcDocContext& context)
{
    TraceScope scope(L"NMVelObj2D::RemoveUnusedPosLeads");
    // Without the bill of materials no line can be asked about, and a leader in use must not go.
    if (!context.iSpcObjs) {
        PosLeads.clear();
        return;
    }
    PosLeads = HeldByNoSpcObject(context, PosLeads);
    RemovePosLeads();
}

int32_t NMVelObj2D::MakePosLead()
{
    TraceScope scope(L"NMVelObj2D::MakePosLead");
    if (PosLeads.empty())
        return CreateNewPosLead(macro);
    const IVel7DrawingObjectPtr old = RequireHost(QueryHostOrNull<IVel7DrawingObject>(PosLeads.front()));
    return CreateNewPosLeadByOldPosLead(macro, old);
}

int32_t NMVelObj2D::CreateNewPosLead(int32_t macroReference)
{
    TraceScope scope(L"NMVelObj2D::CreateNewPosLead");
    scope.WriteLine(L"Create_New_Lead");
    const IVel5LeaderParamPtr leader = NewLeaderStructure(iApp5);
    double x = 0;
    double y = 0;
    double angle = 0;
    V5Method(Doc(), IVel5Document2D::MacroPlacement, Long(macroReference), ByRef(x), ByRef(y), ByRef(angle));
    const IVel5Point2DPtr point = NewStructure<IVel5Point2D>(iApp5, kPointKind);
    V5Method(point, IVel5Point2D::Init);
    V5Put(point, IVel5Point2D::X, x);
    V5Put(point, IVel5Point2D::Y, y);
    const IVel5DynamicArrayPtr points =
        RequireHost(ObjectAs<IVel5DynamicArray>(V5Method(iApp5, IVel5Application::NewArray, kPointListKind)));
    V5Method(points, IVel5DynamicArray::Append, point, -1L);
    const IVel5DynamicArrayPtr branches = RequireHost(ObjectAs<IVel5DynamicArray>(V5Method(leader, IVel5LeaderParam::Branches)));
    V5Method(branches, IVel5DynamicArray::Append, points, -1L);
    V5Method(leader, IVel5LeaderParam::SetBranches, branches);
    V5Put(leader, IVel5LeaderParam::Setting1, 65535L);
    V5Put(leader, IVel5LeaderParam::Setting5, 1L);
    V5Put(leader, IVel5LeaderParam::Setting4, short{1});
    V5Put(leader, IVel5LeaderParam::ShelfX, x + kShelfOffset);
    V5Put(leader, IVel5LeaderParam::ShelfY, y + kShelfOffset);
    const long made = V5Method(Doc(), IVel5Document2D::CreateLeader, leader);
    scope.Hex(L"pos_lead", made);
    return made;
}

int32_t NMVelObj2D::CreateNewPosLeadByOldPosLead(int32_t macroReference, IVel7DrawingObject* oldLeader)
{
    TraceScope scope(L"NMVelObj2D::CreateNewPosLeadByOldPosLead");
    const long old = V7Get(RequireHost(IVel7DrawingObjectPtr(oldLeader)), &IVel7DrawingObject::get_Reference);
    scope.Hex(L"old_lead", old);
    const IVel5LeaderParamPtr leader = NewLeaderStructure(iApp5);
    if (!static_cast<long>(V5Method(Doc(), IVel5Document2D::ReadParams, Long(old), leader, -1L)))
        return CreateNewPosLead(macroReference);
    const IVel5DynamicArrayPtr texts = RequireHost(ObjectAs<IVel5DynamicArray>(V5Method(leader, IVel5LeaderParam::Texts)));
    V5Method(texts, IVel5DynamicArray::Clear);
    V5Method(leader, IVel5LeaderParam::SetTexts, texts);
    const long made = V5Method(Doc(), IVel5Document2D::CreateLeader, leader);
    scope.Hex(L"pos_lead", made);
    return made;
}
