// NMVelObj2D: putting a part into a drawing with the cursor or at a given point, and replacing a placed
// part in place. Every copy the user places is finished (committed, identity, attributes, properties,
// leader, spc object) before the next placement starts; a copy that cannot be finished is taken out
// again, so that the drawing holds whole parts only.
#include "insert2d/nm_vel_obj_2d.h"

#include "core/com_convert.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/dual_interface.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_query.h"
#include "hostapi/restore_step.h"
#include "hostapi/spc_doc_context.h"
#include "hostapi/vtable_call.h"
#include "insert2d/nm_velmar_tcs_2d.h"
#include "objects/bad_response.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/comp_properties.h"
#include "positioning/part_panel_2d.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <functional>
#include <utility>

namespace {

constexpr short kPhantomKind = 6;
constexpr short kRequestKind = 10;
// PlaceMacro's flag: move by the offset and turn by the angle.
constexpr long kMoveBy = 1;
// Placements below this magnitude are no move.
constexpr double kNoMove = 1e-6;

_variant_t Long(long value)
{
    return _variant_t(value);
}

// Adds what the list does not hold yet.
void AppendOnce(ObjArray& list, const ObjArray& objects)
{
    for (const IDispatchPtr& object : objects)
        if (!HoldsHostObject(list, object))
            list.push_back(object);
}

// Whether the line includes all of the objects; false when that cannot be read.
bool Holds(IVel7SpcObject* line, const ObjArray& objects) noexcept
{
    if (!line || objects.empty())
        return false;
    try {
        const ObjArray held(V7Get(line, &IVel7SpcObject::get_Geometry));
        return std::all_of(objects.begin(), objects.end(), [&](const IDispatchPtr& object) { return HoldsHostObject(held, object); });
    } catch (...) {
        TraceCurrentException(L"NMVelObj2D::RecreatePlacedSpcObject");
        return false;
    }
}

} // namespace

int32_t NMVelObj2D::DrawMacro(const std::function<void()>& draw)
{
    if (!static_cast<long>(V5Method(Doc(), IVel5Document2D::BeginMacro, 1L)))
        throw std::wstring(L"Can't create macro object");
    try {
        draw();
        return V5Method(Doc(), IVel5Document2D::EndMacro);
    } catch (...) {
        // The macro must not stay open, nor stand half drawn in the user's drawing; an end that failed
        // is asked once more.
        long left = 0;
        RestoreStep(L"NMVelObj2D::DrawMacro", [&] { left = V5Method(Doc(), IVel5Document2D::EndMacro); });
        DeleteQuietly(left);
        throw;
    }
}

void NMVelObj2D::DrawGroup(const std::function<void()>& draw)
{
    DrawGroupInto(group, draw);
}

void NMVelObj2D::DrawGroupInto(int32_t& target, const std::function<void()>& draw)
{
    target = V5Method(Doc(), IVel5Document2D::BeginGroup, 1L);
    long ended = 0;
    try {
        draw();
        ended = V5Method(Doc(), IVel5Document2D::EndGroup);
    } catch (...) {
        // An open group would take whatever the user draws next (an uncommitted one shows nothing); an
        // end that failed is asked once more.
        RestoreStep(L"NMVelObj2D::DrawGroup", [&] { V5Method(Doc(), IVel5Document2D::EndGroup); });
        throw;
    }
    if (!ended)
        throw std::wstring(L"Can't end group");
}

void NMVelObj2D::Insert()
{
    TraceScope scope(L"NMVelObj2D::Insert");
    scope.Value(L"IsSpecActive", IsSpecActive);
    if (IsSpecActive) {
        CreateNewSpcObj2D(ObjArray());
        return;
    }
    if (!InsertOnePart())
        return;
    do
        FinishCopy();
    while (InsertOnePart());
}

void NMVelObj2D::FinishCopy()
{
    iSpcObj = nullptr;
    try {
        const int32_t leader = DrawPosLeader();
        CreateNewSpcObj2D(leader != 0 ? DrawingObjectOf(leader) : ObjArray());
    } catch (...) {
        DiscardCopy();
        throw;
    }
}

void NMVelObj2D::DiscardCopy() noexcept
{
    // What the copy made goes with it: its spc object, the leader drawn for it (an existing leader
    // pointed at stays: it is another part's), its macro.
    if (iSpcObj)
        RestoreStep(L"NMVelObj2D::DiscardCopy", [&] { V7Call(iSpcObj, &IVel7SpcObjectBase::Delete); });
    iSpcObj = nullptr;
    DeleteQuietly(drawnLeader_);
    drawnLeader_ = 0;
    DeleteQuietly(macro);
    macro = 0;
}

bool NMVelObj2D::InsertOnePart()
{
    TraceScope scope(L"NMVelObj2D::InsertOnePart");
    return PlaceAndWrite(scope, [this] { SetAllParams(); });
}

bool NMVelObj2D::PlaceAndWrite(TraceScope& scope, const std::function<void()>& writeValues)
{
    const bool placed = PosByUser();
    scope.Value(L"IsPosByUser", placed);
    if (!placed) {
        // The macro of a cancelled placement stays in its uncommitted group, which Velmar drops.
        macro = 0;
        return false;
    }
    try {
        InsertGroup();
        V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro), mx, my, mang, kMoveBy);
        writeValues();
    } catch (...) {
        DeleteQuietly(macro);
        macro = 0;
        throw;
    }
    return true;
}

bool NMVelObj2D::PosByUser()
{
    TraceScope scope(L"NMVelObj2D::PosByUser");
    const IVel5Phantom2DPtr phantom = NewStructure<IVel5Phantom2D>(iApp5, kPhantomKind);
    V5Method(phantom, IVel5Phantom2D::Init);
    V5Put(phantom, IVel5Phantom2D::Kind, short{1});
    const IVel5RequestInfo2DPtr request = NewStructure<IVel5RequestInfo2D>(iApp5, kRequestKind);
    V5Method(request, IVel5RequestInfo2D::Init);
    V5Put(request, IVel5RequestInfo2D::Prompt, Translate(L"Выберите расположение и угол"));
    const IVel5Phantom2DParamPtr shown = RequireHost(ObjectAs<IVel5Phantom2DParam>(V5Method(phantom, IVel5Phantom2D::Params)));
    CreateNewMacroInGroup();
    // Not offered for placement: its group, never committed, is Velmar's to drop.
    RequireDrawing(macro);
    V5Put(shown, IVel5Phantom2DParam::Group, Long(group));
    bool placed = false;
    if (HasSpcData()) {
        PartPanel2D panel(iApp5, iApp7, NM_Name, Settings, IsTCS, request, phantom);
        placed = panel.Run();
        mx = panel.X;
        my = panel.Y;
        mang = panel.Angle;
        PosLeadMode = static_cast<int32_t>(panel.LeaderMode);
    } else {
        V5Method(iApp5, IVel5Application::BeforeProcess);
        placed = static_cast<long>(V5Method(Doc(), IVel5Document2D::PlacementRequest, request, ByRef(mx), ByRef(my),
                                            ByRef(mang), phantom)) != 0;
    }
    scope.Value(L"mx", mx);
    scope.Value(L"my", my);
    scope.Value(L"mang", mang);
    scope.Value(L"PosLeadMode", Long(PosLeadMode));
    scope.Value(L"res", placed);
    return placed;
}

void NMVelObj2D::InsertGroup()
{
    TraceScope scope(L"NMVelObj2D::InsertGroup");
    scope.Hex(L"group", group);
    V5Method(Doc(), IVel5Document2D::PrepareGroup, Long(group));
    V5Method(Doc(), IVel5Document2D::StoreGroup, Long(group), true);
    V5Method(Doc(), IVel5Document2D::RemoveObject, Long(group));
}

void NMVelObj2D::SetAllParams()
{
    TraceScope scope(L"NMVelObj2D::SetAllParams");
    // The identity first: without it the part could never be found, replaced or given hot points.
    Save();
    clearTechParams();
    SaveTechParams();
    SetCompProperties();
}

void NMVelObj2D::SetCompProperties()
{
    TraceScope scope(L"NMVelObj2D::SetCompProperties");
    const _bstr_t text = V7Get(Client(), &INMClient::AttributeText);
    const long document = V5Get(Doc(), IVel5Document2D::Reference);
    const IVel7DrawingObjectPtr object =
        ObjectAs<IVel7DrawingObject>(V5Method(iApp5, IVel5Application::SpcObjectAt, Long(macro), document));
    CompProperties2D(iApp5, iApp7, object, this).Save(BstrToWString(text), NM_QuarvendID);
}

void NMVelObj2D::CreateNewSpcObj2D(const ObjArray& extra)
{
    TraceScope scope(L"NMVelObj2D::CreateNewSpcObj2D");
    const bool canCreate = IsCanCreateSpcObj();
    scope.Value(L"IsCanCreateSpcObj", canCreate);
    if (!canCreate)
        return;
    try {
        const SpcDocContext context = Context(true);
        ObjArray geometry = DrawingObjectOf(macro);
        geometry.Append(extra);
        ChangeSpcObject(context, geometry);
        if (Settings->EditSpcObject)
            EditNewSpcObject();
    } catch (const CantCreateSpcObj&) {
        ShowSpcObjectCreateError();
    }
}

void NMVelObj2D::EditNewSpcObject()
{
    const IVel5SpecificationPtr editor = ObjectAs<IVel5Specification>(V5Method(Doc(), IVel5Document2D::SpcEditor));
    if (!editor)
        return;
    V5Method(iApp5, IVel5Application::BeforeProcess);
    const IVel7ObjectRefPtr current = RequireHost(QueryHostOrNull<IVel7ObjectRef>(iSpcObj));
    V5Method(editor, IVel5Specification::EditObject, Long(V7Get(current, &IVel7ObjectRef::get_Reference)));
}

void NMVelObj2D::CreateNewSpcObjectSilent(NMSpcObjSnapshot* snapshot, const ObjArray& geometry)
{
    TraceScope scope(L"NMVelObj2D::CreateNewSpcObjectSilent");
    const bool canCreate = IsCanCreateSpcObj();
    scope.Value(L"IsCanCreateSpcObj", canCreate);
    if (!canCreate)
        return;
    const SpcDocContext context = Context(true);
    if (!context.IsMainlyValid())
        return;
    RecreateSpcObject(context, snapshot, geometry);
    FillSpcObjectColumns(context);
}

void NMVelObj2D::Replace()
{
    TraceScope scope(L"NMVelObj2D::Replace");
    ReplacePart();
}

void NMVelObj2D::ReplacePart()
{
    TraceScope scope(L"NMVelObj2D::ReplacePart");
    ReplacePartAt(nullptr, nullptr);
}

void NMVelObj2D::replacePartSilent(double x, double y, double angle, const SpcLineMakeUp* asDrawn)
{
    TraceScope scope(L"NMVelObj2D::replacePartSilent");
    const double placement[] = {x, y, angle};
    ReplacePartAt(placement, asDrawn);
}

void NMVelObj2D::ReplacePartAt(const double* placement, const SpcLineMakeUp* madeUp)
{
    struct ClearLeaders {
        ObjArray& leaders;
        ~ClearLeaders() { leaders.clear(); }
    } clear{PosLeads};
    TraceScope scope(L"NMVelObj2D::ReplacePartAt");
    try {
        // What the macro holds is known as drawn only until it is drawn anew.
        const SpcLineMakeUp asDrawn = madeUp ? *madeUp : NMVelmarTCS2D::MakeUpAsDrawn(*this, this);
        CreateNewGroup();
        // The placed part stays as it was; the new group, never committed, is Velmar's to drop.
        RequireDrawing(group);
        const long replaced = V5Method(Doc(), IVel5Document2D::GroupIntoMacro, Long(macro), Long(group));
        scope.Value(L"res", replaced);
        if (replaced == 0)
            return;
        InsertGroup();
        SetAllParams();
        if (placement && (std::fabs(placement[0]) >= kNoMove || std::fabs(placement[1]) >= kNoMove ||
                          std::fabs(placement[2]) >= kNoMove))
            V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro), placement[0], placement[1], placement[2], kMoveBy);
        // The lines made for what the macro held: that of the part this one succeeds is rebuilt, the others
        // go, their comments to the new line; a line the user attached stays as it is.
        const auto handOver = [&](const SpcDocContext& context, bool getsLine, ObjArray& goes) {
            GetExistsSpcObjects(context);
            GetPosLeadsFromSpcObjects();
            const SpcLineHandOver lines = HandOverOldLines(asDrawn, context, {SuccessionIdentity()}, {getsLine});
            ObjArray own;
            for (size_t j = 0; j < ExSpcObjs.size(); ++j)
                if (lines.own[0] == j)
                    own.push_back(ExSpcObjs[j]);
                else if (lines.goes[j])
                    goes.push_back(ExSpcObjs[j]);
            ExSpcObjs = std::move(own);
            GetPosLeadsFromSpcObjects();
        };
        if (!HasSpcData()) {
            // A part without a spc section loses the lines made for what it replaces, and their leaders.
            const SpcDocContext context = Context(false);
            ObjArray goes;
            handOver(context, false, goes);
            ExSpcObjs = std::move(goes);
            GetPosLeadsFromSpcObjects();
            RemoveExistsSpcObjects();
            RemoveUnusedPosLeads(context);
        }
        if (IsCanCreateSpcObj()) {
            const SpcDocContext context = Context(true);
            ObjArray goes;
            handOver(context, true, goes);
            ObjArray geometry = DrawingObjectOf(macro);
            geometry.Append(PosLeads);
            ChangeListedSpcObject(context, geometry);
            if (!goes.empty())
                RemoveSetsOtherLines(std::move(goes));
        }
    } catch (const CantCreateSpcObj&) {
        ShowSpcObjectCreateError();
    }
}

void NMVelObj2D::RecreatePlacedSpcObject(const SpcDocContext& context, const NMVelObj2D& placed, bool mayMakeLeader)
{
    TraceScope scope(L"NMVelObj2D::RecreatePlacedSpcObject");
    GetExistsSpcObjects(context);
    GetPosLeadsFromSpcObjects();
    // A line the user attached to the part stays as it is, leader and all.
    KeepOwnSpcLinesListed(context, placed.PlacedLineIdentity(this), HeldByOwnLeader());
    GetPosLeadsFromSpcObjects();
    iSpcObj = nullptr;
    const int32_t leader = PosLeads.empty() && mayMakeLeader ? MakePosLead() : 0;
    ObjArray leaderObject;
    try {
        if (leader != 0) {
            leaderObject = GetSpcObjectAt(iApp5, leader);
            AppendOnce(Geometry, leaderObject);
        }
        ObjArray geometry;
        AppendOnce(geometry, Geometry);
        AppendOnce(geometry, GetSpcObjectAt(iApp5, macro));
        ChangeListedSpcObject(context, geometry);
    } catch (...) {
        // The leader made here stays only where the part's line (new, or the old one reused) holds it:
        // otherwise it would number nothing.
        if (leader != 0 && !Holds(iSpcObj, leaderObject))
            DeleteQuietly(leader);
        throw;
    }
}

void NMVelObj2D::RemoveFirstOldLine()
{
    if (ExSpcObjs.empty())
        return;
    ObjArray rest;
    rest.assign(ExSpcObjs.begin() + 1, ExSpcObjs.end());
    ExSpcObjs.resize(1);
    try {
        RemoveExistsSpcObjects();
    } catch (...) {
        ExSpcObjs.Append(rest);
        throw;
    }
    ExSpcObjs = rest;
}

void NMVelObj2D::RemoveOldLinesAndLeaders()
{
    // No way back from here: a part or set must not stay in two generations of lines. Each step starts where a
    // failed one stopped, so a step Velmar failed is asked once more before the failure is reported.
    const auto onceMore = [](const std::function<void()>& step) {
        try {
            step();
        } catch (...) {
            TraceCurrentException(L"NMVelObj2D::RemoveOldLinesAndLeaders");
            step();
        }
    };
    std::exception_ptr failure;
    while (!ExSpcObjs.empty()) {
        try {
            onceMore([this] { RemoveFirstOldLine(); });
        } catch (...) {
            // It stays readable, with its geometry and its leader; the other old lines still go.
            if (!failure)
                failure = std::current_exception();
            ExSpcObjs.erase(ExSpcObjs.begin());
        }
    }
    onceMore([this] { RemoveUnusedPosLeads(Context(false)); });
    if (failure)
        std::rethrow_exception(failure);
}

SpcLineHandOver NMVelObj2D::HandOverOldLines(const SpcLineMakeUp& asDrawn, const SpcDocContext& context,
                                             const std::vector<SpcLineIdentity>& now, const std::vector<bool>& getsLine)
{
    TraceScope scope(L"NMVelObj2D::HandOverOldLines");
    const SpcLineHandOver handOver = HandOverOldSpcLines(asDrawn, ReadOldSpcLines(context, HeldByOwnLeader()),
                                                         HasNormsetIdColumn(GetFirstSpcObject(), context), now, getsLine);
    for (const std::optional<size_t>& line : handOver.own)
        scope.Value(L"own line", line ? _variant_t(static_cast<long>(*line)) : _variant_t(-1L));
    scope.Value(L"lines that go", _variant_t(static_cast<unsigned long>(std::count(handOver.goes.begin(), handOver.goes.end(), true))));
    return handOver;
}

void NMVelObj2D::RemoveSetsOtherLines(ObjArray lines)
{
    TraceScope scope(L"NMVelObj2D::RemoveSetsOtherLines");
    ExSpcObjs = std::move(lines);
    GetPosLeadsFromSpcObjects();
    moveCommentObjects();
    RemoveOldLinesAndLeaders();
}

void NMVelObj2D::RebuildMacro()
{
    TraceScope scope(L"NMVelObj2D::RebuildMacro");
    CreateNewGroup();
    RequireDrawing(group);
    if (static_cast<long>(V5Method(Doc(), IVel5Document2D::GroupIntoMacro, Long(macro), Long(group))) != 0) {
        InsertGroup();
        Save();
    }
}

void NMVelObj2D::PlaceAt(double x, double y, double angle)
{
    TraceScope scope(L"NMVelObj2D::PlaceAt");
    scope.Value(L"x", x);
    scope.Value(L"y", y);
    scope.Value(L"angle", angle);
    // Only what this call makes is placed, written on and, after a failure, taken back.
    macro = 0;
    iSpcObj = nullptr;
    drawnLeader_ = 0;
    try {
        if (!IsSpecActive) {
            CreateNewMacro();
            if (macro == 0)
                throw std::wstring(L"Can't create macro object");
            RequireDrawing(macro);
            V5Method(Doc(), IVel5Document2D::PlaceMacro, Long(macro), x, y, angle, kMoveBy);
            SetAllParams();
        }
        try {
            CreateNewSpcObjectSilent(nullptr, DrawingObjectOf(macro));
        } catch (const CantCreateSpcObj&) {
            // The part stands in the drawing: a missing spc object never undoes an insertion.
            scope.WriteLine(L"CantCreateSpcObj: the part stays without its spc object");
        }
    } catch (...) {
        // A caller told of the failure may try again: nothing of this attempt may stay behind.
        DiscardCopy();
        throw;
    }
}

void NMVelObj2D::MakeUnplacedMacro()
{
    TraceScope scope(L"NMVelObj2D::MakeUnplacedMacro");
    macro = 0;
    CreateNewMacro();
    if (macro == 0)
        return;
    try {
        RequireDrawing(macro);
        Save();
    } catch (...) {
        DeleteQuietly(std::exchange(macro, 0));
        throw;
    }
}
