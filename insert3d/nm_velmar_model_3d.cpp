#include "insert3d/nm_velmar_model_3d.h"

#include "core/files.h"
#include "core/format_string.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/mate_queries.h"
#include "hostapi/restore_step.h"
#include "hostapi/vtable_call.h"
#include "objects/bad_response.h"
#include "objects/cant_create_spc_obj.h"
#include "positioning/part_panel_3d.h"

#include <utility>

namespace {

std::int64_t Address(const void* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

_variant_t Long(long value)
{
    return _variant_t(value);
}

// What the leader call asks for: a position leader of kind 89 with nothing set yet.
constexpr long kLeaderKind = 89;

} // namespace

NMVelmarModel3D::NMVelmarModel3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Part* editedPart,
                                 bool isSpecActive, NMAllSettings* settings)
    : NMVelObjModel3D(app5, app7, client, editedPart, isSpecActive), iEdPrt5(editedPart)
{
    TraceScope scope(L":NMVelmarModel3D");
    Settings = settings;
    if (!IsSpecActive) {
        if (!iDoc5)
            throw std::wstring(L"No active document 3D API5");
        if (!iDoc7)
            throw std::wstring(L"No active document 3D API7");
    } else {
        Is3DSpec = iDoc5 != nullptr;
    }
    if (iEdPrt5)
        iEdPrt7 = Twin(iEdPrt5);
    scope.Value(L"Is3DSpec", Is3DSpec);
    scope.Hex(L"sets", Address(Settings));
    scope.Hex(L"iEdPrt5", Address(iEdPrt5));
    scope.Hex(L"iEdPrt7", Address(iEdPrt7));
}

NMVelmarModel3D::~NMVelmarModel3D()
{
    try {
        TraceScope scope(L"~NMVelmarModel3D");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

IVel7PartPtr NMVelmarModel3D::Twin(IVel5Part* part) const
{
    return ObjectAs<IVel7Part>(V5Method(iApp5, IVel5Application::ToLayer, part, static_cast<long>(VelLayer7),
                                        static_cast<long>(VelTypeNone)));
}

const Variables& NMVelmarModel3D::PartVariables() const
{
    static const Variables none;
    return pData ? pData->ObjData : none;
}

void NMVelmarModel3D::loadPartData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    NMVelObjModel3D::loadPartData(node, std::move(document));
    // Refused here, before anything is placed: Velmar would store it and call the part made.
    if (PartVariables().HasValue(L"MACC"))
        MassToStore();
}

void NMVelmarModel3D::BindTo(NMObject* found)
{
    TraceScope scope(L"NMVelmarModel3D::BindTo");
    scope.Hex(L"aObj", Address(found));
    auto* model = dynamic_cast<NMVelmarModel3D*>(found);
    // Only a component model has a component to take over.
    if (!model)
        throw _com_error(E_INVALIDARG);
    iPrt5 = model->iPrt5;
    iEdPrt5 = iPrt5;
    iPrt7 = iPrt5 ? Twin(iPrt5) : nullptr;
    iEdPrt7 = iPrt7;
    if (model != this)
        ExSpcObjs = model->ExSpcObjs;
    state = NM_Body == model->NM_Body ? StateEdit : StateReplace;
    scope.Hex(L"iPrt5", Address(iPrt5));
    scope.Hex(L"iPrt7", Address(iPrt7));
    scope.Value(L"ExSpcObjs.size()", _variant_t(static_cast<unsigned long>(ExSpcObjs.size())));
    scope.Value(L"state", _variant_t(static_cast<unsigned long>(state)));
}

std::unique_ptr<NMObject> NMVelmarModel3D::CreateOnBase()
{
    TraceScope scope(L"NMVelmarModel3D::CreateOnBase");
    return std::make_unique<NMVelmarModel3D>(iApp5, iApp7, Client(), iPrt5, IsSpecActive, Settings);
}

void NMVelmarModel3D::Select()
{
    TraceScope scope(L"NMVelmarModel3D::Select");
    const IVel5SelectionPtr selection = RequireHost(ObjectAs<IVel5Selection>(V5Method(iDoc5, IVel5Document3D::SelectionA)));
    V5Method(selection, IVel5Selection::Add, iPrt5);
}

void NMVelmarModel3D::GetExistsSpcObjects(const SpcDocContext& context)
{
    ListOwnSpcLines(context);
}

ObjArray NMVelmarModel3D::ListOwnSpcLines(const SpcDocContext& context, bool hasSpcData, bool* ownGuessed)
{
    TraceScope scope(L"NMVelmarModel3D::ListOwnSpcLines");
    ExSpcObjs.clear();
    if (iEdPrt7)
        ExSpcObjs = SpcObjectsHolding(context, iEdPrt7);
    scope.Value(L"ExSpcObjs.size()", _variant_t(static_cast<unsigned long>(ExSpcObjs.size())));
    // One line of a part with spc data is the part's whatever it shows: nothing to read to tell it. A part
    // without spc data never had a line of the library's: even one line is read.
    if (ExSpcObjs.empty() || (hasSpcData && ExSpcObjs.size() == 1))
        return ObjArray();
    ObjArray numbered;
    for (const IDispatchPtr& leader : GetPosLeadsForPart(iEdPrt7))
        numbered.Append(SpcObjectsHolding(context, leader));
    std::vector<bool> heldByLeader;
    for (const IDispatchPtr& line : ExSpcObjs)
        heldByLeader.push_back(HoldsHostObject(numbered, line));
    // What the library gave the component when it placed it, whatever part this object now makes of it.
    const NMVelObjModel3D placed(iApp5, iApp7, Client(), iEdPrt5, false);
    // The line shows its name as the designation or as the name, by the preset it was made with.
    return KeepOwnSpcLinesListed(context, {placed.NM_Name, placed.NM_Name, placed.NM_QuarvendID}, heldByLeader, hasSpcData, ownGuessed);
}

void NMVelmarModel3D::RestorePosition(int32_t position)
{
    TraceScope scope(L"NMVelmarModel3D::RestorePosition");
    scope.Value(L"position", Long(position));
    const IVel5SpecificationPtr editor = ObjectAs<IVel5Specification>(V5Method(iDoc5, IVel5Document3D::SpcEditor));
    if (editor)
        V5Method(editor, IVel5Specification::SetPosition, static_cast<long>(position));
}

bool NMVelmarModel3D::IsTopPartSpcAllowed() const
{
    if (!iTopPart5 || !static_cast<bool>(V5Method(iTopPart5, IVel5Part::EditedInPlace)))
        return true;
    return static_cast<bool>(V5Method(iTopPart5, IVel5Part::EditedInPlace)) && IsSpecActive;
}

bool NMVelmarModel3D::IsPartSpcEnabled() const
{
    return !iPrt7 || V7Get(iPrt7, &IVel7Part::get_InSpc) != VARIANT_FALSE;
}

bool NMVelmarModel3D::IsCanCreateSpcObj() const
{
    return IsTopPartSpcAllowed() && IsPartSpcEnabled() && NMVelObjModel3D::IsCanCreateSpcObj();
}

void NMVelmarModel3D::Insert()
{
    TraceScope scope(L"NMVelmarModel3D::Insert");
    if (IsSpecActive) {
        CreateNewSpcObj3D();
        return;
    }
    if (!InsertOnePart())
        return;
    do {
        CreateNewSpcObj3D();
        if (Settings && Settings->PosLeader3D && state == StateInsert) {
            V5Method(iApp5, IVel5Application::BeforeProcess);
            V5Method(iPrt5, IVel5Part::NewLeader, kLeaderKind, 0L);
        }
    } while (InsertOnePart());
}

short NMVelmarModel3D::InsertOnePart()
{
    TraceScope scope(L"NMVelmarModel3D::InsertOnePart");
    CreateNewPart();
    PhantomGuard phantom(iDoc5, iPrt5);
    Instantiate(phantom.Part());
    VelmarMateSet mates(iApp5, iPrt5, nullptr);
    const short placed = PosByUser(phantom, mates);
    scope.Value(L"IsPosByUser", _variant_t(placed));
    if (placed)
        InsertOnePart13(phantom, mates);
    return placed;
}

short NMVelmarModel3D::PosByUser(PhantomGuard& phantom, VelmarMateSet& mates)
{
    TraceScope scope(L"NMVelmarModel3D::PosByUser");
    return PosByUser13(phantom, mates);
}

short NMVelmarModel3D::PosByUser13(PhantomGuard& phantom, VelmarMateSet& mates)
{
    TraceScope scope(L"NMVelmarModel3D::PosByUser13");
    UndoContainerGuard undo(iDoc5, iDoc7);
    return PosByUser12(phantom, mates);
}

short NMVelmarModel3D::PosByUser12(PhantomGuard& phantom, VelmarMateSet& mates)
{
    TraceScope scope(L"NMVelmarModel3D::PosByUser12");
    PartPanel3D panel(iApp5, iApp7, NM_Name, Settings, IsCanCreateSpcObj() && HasSpcData(), &mates, phantom.Placement());
    return panel.Run() ? 1 : 0;
}

void NMVelmarModel3D::InsertOnePart13(PhantomGuard& phantom, VelmarMateSet& mates)
{
    TraceScope scope(L"NMVelmarModel3D::InsertOnePart13");
    UndoDisabledGuard undo(iDoc5, iDoc7);
    InsertOnePart12(phantom, mates);
}

void NMVelmarModel3D::InsertOnePart12(PhantomGuard& phantom, VelmarMateSet& mates)
{
    TraceScope scope(L"NMVelmarModel3D::InsertOnePart12");
    SetAllParams();
    SetPlacementByReqInfo(phantom);
    InsertPart();
    try {
        CreateMates(mates);
    } catch (...) {
        DeleteNewComponent();
        throw;
    }
}

void NMVelmarModel3D::DeleteNewComponent() noexcept
{
    try {
        TraceScope scope(L"NMVelmarModel3D::DeleteNewComponent");
        DeleteHelperObject(iDoc5, iPrt5, L"the new component");
    } catch (...) {
        TraceCurrentException(L"NMVelmarModel3D::DeleteNewComponent");
    }
}

void NMVelmarModel3D::CreateNewPart()
{
    TraceScope scope(L"NMVelmarModel3D::CreateNewPart");
    // The reference book gives the folder with its final separator.
    NM_FileName = NM_Path + NM_Body;
    scope.String(L"NM_FileName", NM_FileName);
    if (GetFileLength(NM_FileName) == -1)
        throw BadResponse(FormatString(L"File \"%s\" not exists", NM_FileName.c_str()));
    iPrt5 = ObjectAs<IVel5Part>(V5Method(iDoc5, IVel5Document3D::PartByCode, static_cast<long>(VelPartNew)));
    if (!iPrt5)
        throw std::wstring(L"Can't create new part");
    scope.String(L"NM_Name", NM_Name);
    V5Put(iPrt5, IVel5Part::ComponentName, NM_Name);
    V5Put(iPrt5, IVel5Part::FileName, NM_FileName);
    iPrt7 = Twin(iPrt5);
}

void NMVelmarModel3D::SetPlacementByReqInfo(PhantomGuard& phantom)
{
    TraceScope scope(L"NMVelmarModel3D::SetPlacementByReqInfo");
    IVel5PlacementInfo* entity = phantom.Placement();
    if (!entity)
        RaiseNullHostPointer(__uuidof(IVel5PlacementInfo));
    SetPlacement(ObjectAs<IVel5Placement>(V5Method(entity, IVel5PlacementInfo::Position)));
}

void NMVelmarModel3D::SetPlacement(IVel5Placement* placement)
{
    TraceScope scope(L"NMVelmarModel3D::SetPlacement");
    scope.Hex(L"aPlace", Address(placement));
    if (!placement)
        return;
    V5Method(iPrt5, IVel5Part::SetPlacement, placement);
    V5Method(iPrt5, IVel5Part::ApplyPlacement);
}

void NMVelmarModel3D::InsertPart()
{
    TraceScope scope(L"NMVelmarModel3D::InsertPart");
    V5Method(iDoc5, IVel5Document3D::InsertComponent, NM_FileName, iPrt5, true);
}

void NMVelmarModel3D::SetAllParams()
{
    TraceScope scope(L"NMVelmarModel3D::SetAllParams");
    // A debugging session keeps the component free of the library's block.
    if (!Settings || !Settings->debug_mode)
        Save();
    SetMaterial();
    SetMaterialID();
    SetMass();
    SetCompProperties();
}

void NMVelmarModel3D::CreateMates(VelmarMateSet& mates)
{
    TraceScope scope(L"NMVelmarModel3D::CreateMates");
    scope.Value(L"mates.ConjunctPnt.Used", _variant_t(mates.ConjunctPnt().Used));
    auto create = [&](VelmarMateRole role) {
        const VelmarMate& mate = mates.Members[role];
        CreateMate(iDoc5, mate.iface, mate.Target, static_cast<short>(mate.Kind), mate.Direction, nullptr, mate.Value);
    };
    if (mates.ConjunctPnt().Used) {
        create(MateAttachPoint);
        if (mates.Members[MateCone].Used)
            create(MateCone);
        return;
    }
    for (VelmarMateRole role : {MatePlane, MateAxis, MateAxisDirection})
        create(role);
}

void NMVelmarModel3D::InsertSilent(NMSpcObjSnapshot* snapshot, IVel5Placement* placement)
{
    TraceScope scope(L"NMVelmarModel3D::InsertSilent");
    iSpcObj = nullptr;
    if (!IsSpecActive) {
        CreateNewPart();
        InsertPart();
    }
    bool spcStep = false;
    try {
        if (!IsSpecActive) {
            Instantiate(iPrt5);
            SetAllParams();
            SetPlacement(placement);
        }
        spcStep = true;
        CreateNewSpcObj3DSilent(snapshot);
    } catch (const CantCreateSpcObj&) {
        // In the spc step the component is whole and stays without an spc object; before it, nothing stays.
        DiscardNewSpcObject();
        if (!spcStep && !IsSpecActive)
            DeleteNewComponent();
        throw;
    } catch (...) {
        // The caller is told of no part: neither the component nor an spc object made for it may stay.
        DiscardNewSpcObject();
        if (!IsSpecActive)
            DeleteNewComponent();
        throw;
    }
}

void NMVelmarModel3D::DiscardNewSpcObject() noexcept
{
    if (iSpcObj)
        RestoreStep(L"NMVelmarModel3D::DiscardNewSpcObject", [&] { V7Call(iSpcObj, &IVel7SpcObjectBase::Delete); });
    iSpcObj = nullptr;
}

void NMVelmarModel3D::InsertFast()
{
    TraceScope scope(L"NMVelmarModel3D::InsertFast");
    CreateNewPart();
    InsertPart();
    try {
        Instantiate(iPrt5);
        Save();
        SetMass();
        SetMaterial();
    } catch (...) {
        DeleteNewComponent();
        throw;
    }
}

void NMVelmarModel3D::CreateNewSpcObj3D()
{
    TraceScope scope(L"NMVelmarModel3D::CreateNewSpcObj3D");
    if (!IsCanCreateSpcObj())
        return;
    try {
        const SpcDocContext context = Context(true);
        if (IsSpecActive) {
            InternalChangeSpcObj3D(context, ObjArray());
            return;
        }
        {
            SpcCreateGuard guard(context.iSpcDsc);
            ObjArray geometry;
            geometry.push_back(IDispatchPtr(iPrt7));
            InternalChangeSpcObj3D(context, geometry);
        }
        if (Settings && Settings->EditSpcObject)
            EditNewSpcObject();
    } catch (const CantCreateSpcObj&) {
        ShowSpcObjectCreateError();
    }
}

void NMVelmarModel3D::EditNewSpcObject()
{
    const IVel5SpecificationPtr editor = ObjectAs<IVel5Specification>(V5Method(iDoc5, IVel5Document3D::SpcEditor));
    V5Method(iApp5, IVel5Application::BeforeProcess);
    const IVel7ObjectRefPtr current = RequireHost(QueryHostOrNull<IVel7ObjectRef>(iSpcObj));
    V5Method(editor, IVel5Specification::EditObject, V7Get(current, &IVel7ObjectRef::get_Reference));
}

void NMVelmarModel3D::CreateNewSpcObj3DSilent(NMSpcObjSnapshot* snapshot, const ObjArray& leaders)
{
    TraceScope scope(L"NMVelmarModel3D::CreateNewSpcObj3DSilent");
    const bool canCreate = IsCanCreateSpcObj();
    scope.Value(L"IsCanCreateSpcObj", canCreate);
    if (!canCreate)
        return;
    const SpcDocContext context = Context(true);
    const bool mainlyValid = context.IsMainlyValid();
    scope.Value(L"IsMainlyValid", mainlyValid);
    if (!mainlyValid)
        return;
    if (IsSpecActive) {
        RecreateSpcObject(context, snapshot, ObjArray());
    } else {
        SpcCreateGuard guard(context.iSpcDsc);
        ObjArray geometry;
        geometry.push_back(IDispatchPtr(iPrt7));
        geometry.Append(leaders);
        RecreateSpcObject(context, snapshot, geometry);
    }
    FillSpcObjectColumns(context);
}

void NMVelmarModel3D::InternalChangeSpcObj3D(const SpcDocContext& context, const ObjArray& geometry, bool listed)
{
    TraceScope scope(L"NMVelmarModel3D::InternalChangeSpcObj3D");
    SpcCreateGuard guard(context.iSpcDsc);
    if (listed)
        ChangeListedSpcObject(context, geometry);
    else
        ChangeSpcObject(context, geometry);
}

bool NMVelmarModel3D::ChangeSpcObj3D(const SpcDocContext& context, const ObjArray& geometry, bool listed)
{
    TraceScope scope(L"NMVelmarModel3D::ChangeSpcObj3D");
    try {
        InternalChangeSpcObj3D(context, geometry, listed);
        return true;
    } catch (const CantCreateSpcObj&) {
        ShowSpcObjectCreateError();
        return false;
    }
}
