#include "insert3d/nm_velmar_tcs_3d.h"

#include "core/com_convert.h"
#include "core/format_string.h"
#include "core/number_text.h"
#include "core/paths.h"
#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/host_version.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/mate_queries.h"
#include "hostapi/position_leaders.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"
#include "insert3d/array_keeper.h"
#include "insert3d/placement_loop.h"
#include "objects/bad_response.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/placed_answer.h"
#include "objects/spc_comments.h"
#include "objects/spc_obj_snapshot.h"

#include <algorithm>
#include <cwchar>
#include <new>

namespace {

constexpr short kMateElements = 68;
constexpr short kPlanesAndAxes = 109;
constexpr short kStudType = 3;
constexpr short kLongStudType = 13;
constexpr short kUnderPacketType = 21;
constexpr short kCoincidence = 0;
constexpr short kCoaxial = 4;
constexpr short kDistance = 5;
// The host the reference book answers a placed part's identifier for.
const wchar_t kPlacedContext[] = L"ВЕЛМАР 3D";

std::int64_t Address(IUnknown* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

IVel5EntityPtr FindNamed(IVel5Part* part, short type, const wchar_t* name, short flags)
{
    const IVel5EntityCollectionPtr objects = ObjectAs<IVel5EntityCollection>(V5Method(part, IVel5Part::ObjectsOfType, type));
    if (!objects)
        return nullptr;
    return ObjectAs<IVel5Entity>(V5Method(objects, IVel5EntityCollection::FindByName, name, flags, flags));
}

// A model's mate plane: "PlaneT" where it has one, else "Plane".
IVel5EntityPtr ModelPlane(IVel5Part* part)
{
    IVel5EntityPtr plane = FindNamed(part, kPlanesAndAxes, L"PlaneT", 0);
    return plane ? plane : FindNamed(part, kPlanesAndAxes, L"Plane", 0);
}

IVel5EntityPtr ModelAxis(IVel5Part* part)
{
    return FindNamed(part, kPlanesAndAxes, L"Axis", 0);
}

bool IsStudLike(const NMTCSData& layout)
{
    return layout.PartType == kStudType || layout.PartType == kLongStudType;
}

} // namespace

NMVelmarTCS3D::NMVelmarTCS3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Entity* macro,
                             const NMElemPos* elemPos, const _bstr_t& startLocation, const _bstr_t& location, bool isSpecActive,
                             NMAllSettings* settings)
    : NMVelObjElem3D(app5, app7, client, macro, true, isSpecActive), StartLocation(startLocation), CurrentLocation(location)
{
    TraceScope scope(L":NMVelmarTCS3D");
    Settings = settings;
    if (!elemPos)
        return;
    ClearPos();
    elem_pos = NMElemPos::Clone(elemPos);
    if (!elem_pos)
        throw std::bad_alloc();
    elem_pos->DebugInfo();
}

NMVelmarTCS3D::~NMVelmarTCS3D()
{
    try {
        TraceScope scope(L"~NMVelmarTCS3D");
        Elements.clear();
        Models.clear();
    } catch (...) {
        // The members' destructors keep their failures inside; only the trace could fail here.
    }
}

void NMVelmarTCS3D::BindTo(NMObject* found)
{
    TraceScope scope(L"NMVelmarTCS3D::BindTo");
    auto* set = dynamic_cast<NMVelObjElem3D*>(found);
    // Only a fastener set has a set to take over.
    if (!set || !set->IsTCS)
        throw _com_error(E_INVALIDARG);
    iMacro = set->iMacro;
    iMacroDef = set->iMacroDef;
    // Whatever the set was made for, applied now it replaces the bound one.
    state = StateReplace;
    scope.Hex(L"iMacro", Address(iMacro));
    ClearPos();
    elem_pos = NMElemPos::Clone(set->elem_pos.get());
    // The holes are built where the bound set's holes are.
    for (const auto& element : Elements) {
        element->ClearPos();
        element->elem_pos = NMElemPos::Clone(elem_pos.get());
    }
}

std::unique_ptr<NMObject> NMVelmarTCS3D::CreateOnBase()
{
    TraceScope scope(L"NMVelmarTCS3D::CreateOnBase");
    return std::make_unique<NMVelmarTCS3D>(iApp5, iApp7, Client(), iMacro, elem_pos.get(), StartLocation, CurrentLocation,
                                           IsSpecActive, Settings);
}

void NMVelmarTCS3D::loadPartData(const pugi::xml_node& node, XmlDocumentPtr document)
{
    TraceScope scope(L"NMVelmarTCS3D::loadPartData");
    NMVelObjElem3D::loadPartData(node, document);
    for (const NMAssmPart& member : pData->Members) {
        scope.String(L"m_methodBody", member.m_methodBody);
        if (_wcsicmp(GetFileExt(member.m_methodBody).c_str(), L".vbs") == 0) {
            auto element = std::make_unique<NMVelmarElement3D>(iApp5, iApp7, Client(), nullptr, elem_pos.get(), StartLocation,
                                                               CurrentLocation, IsSpecActive);
            element->loadPartData(member.m_node, member.m_document);
            element->TCSData = member.m_attrs;
            Elements.push_back(std::move(element));
        } else {
            auto model = std::make_unique<NMVelmarModel3D>(iApp5, iApp7, Client(), nullptr, IsSpecActive, Settings);
            model->loadPartData(member.m_node, member.m_document);
            model->TCSData = member.m_attrs;
            Models.push_back(std::move(model));
        }
    }
    scope.Value(L"Models.size()", _variant_t(static_cast<unsigned long>(Models.size())));
    scope.Value(L"Elements.size()", _variant_t(static_cast<unsigned long>(Elements.size())));
}

void NMVelmarTCS3D::Select()
{
    TraceScope scope(L"NMVelmarTCS3D::Select");
    const IVel5SelectionPtr selection = RequireHost(ObjectAs<IVel5Selection>(V5Method(iDoc5, IVel5Document3D::SelectionA)));
    V5Method(selection, IVel5Selection::Add, RequireHost(iMacro));
}

void NMVelmarTCS3D::SetActivePosItem(size_t index)
{
    TraceScope scope(L"NMVelmarTCS3D::SetActivePosItem");
    scope.Value(L"aIndex", _variant_t(static_cast<unsigned long>(index)));
    if (elem_pos)
        elem_pos->item_idx = index;
    for (const auto& element : Elements)
        if (element->elem_pos)
            element->elem_pos->item_idx = index;
}

void NMVelmarTCS3D::RequireMembers() const
{
    // A set of nothing would leave an empty macro in the document, or take a placed set's members away.
    if (Models.empty() && Elements.empty())
        throw _bstr_t(FormatString(Translate(L"Изделие \"%s\" не содержит ни одной детали и не вставлено в документ."),
                                   NM_Name.c_str())
                          .c_str());
}

void NMVelmarTCS3D::Insert()
{
    TraceScope scope(L"NMVelmarTCS3D::Insert");
    RequireMembers();
    if (IsSpecActive) {
        // In a bill of materials only the members' spc objects are made: one refused shows once.
        InsertTCSModels(nullptr);
        if (SpcError) {
            SpcError = false;
            ShowSpcObjectCreateError();
        }
        return;
    }
    // A set stands in the holes its positioning picked. Answered without one (the reference book asked on a
    // selected component that no set holds), it has nowhere to go, and the user learns why nothing came.
    if (!elem_pos) {
        scope.WriteLine(L"elem_pos=null");
        throw _bstr_t(FormatString(Translate(L"Крепежное соединение \"%s\" не вставлено: не указаны отверстия для его установки.\r\n"
                                             L"Крепежное соединение устанавливается в отверстия, указанные при позиционировании, "
                                             L"и не может заменить компонент, не входящий в крепежное соединение."),
                                   NM_Name.c_str())
                          .c_str());
    }
    PlaceEveryRecord({iApp5, iApp7, L"Создано крепежных соединений: %d из %d."}, elem_pos->Items.size(),
                     [this](size_t i) { SetActivePosItem(i); }, [this] { InsertTCS(); });
}

void NMVelmarTCS3D::InsertTCS()
{
    TraceScope scope(L"NMVelmarTCS3D::InsertTCS");
    UndoableStep([this] {
        TraceScope step(L"NMVelmarTCS3D::InsertTCS13");
        UndoDisabledGuard undo(iDoc5, iDoc7);
        InsertTCS12();
    });
    if (SpcError) {
        SpcError = false;
        ShowSpcObjectCreateError();
    }
}

void NMVelmarTCS3D::InsertTCS12()
{
    TraceScope scope(L"NMVelmarTCS3D::InsertTCS12");
    InsertTCSModels(nullptr);
    InsertTCSElements();
    SetUniqueNames();
    CreateTCSMacro();
    SetUniqueName(iMacro, NM_Name);
    MateTCS();
}

void NMVelmarTCS3D::MakeMemberComponent(NMVelmarModel3D& model)
{
    model.CreateNewPart();
    model.InsertPart();
    MarkChanged();
    model.Instantiate(model.iPrt5);
    model.SetAllParams();
    model.SetPlacement(nullptr);
}

void NMVelmarTCS3D::InsertTCSModels(Succession* succession)
{
    TraceScope scope(L"NMVelmarTCS3D::InsertTCSModels");
    scope.Value(L"Models.size()", _variant_t(static_cast<unsigned long>(Models.size())));
    // In a replace every new member stands in the assembly with its old member's leaders made again on it
    // before any old line is rebuilt: each copy then knows all the lines that numbered through its old
    // leader, and each new line can take the copies its old lines held.
    std::vector<NMVelmarModel3D::LeaderCopy> copies;
    if (succession) {
        for (size_t i = 0; i < Models.size(); ++i) {
            NMVelmarModel3D& model = *Models[i];
            if (model.IsSpecActive)
                continue;
            MakeMemberComponent(model);
            if (const OldMemberSpc* predecessor = succession->own[i]) {
                model.SetEditPart(predecessor->part);
                succession->copies[i] = model.SetPosLeaderFromEditPart(*succession->context);
                model.SetEditPart(nullptr);
            }
            copies.insert(copies.end(), succession->copies[i].begin(), succession->copies[i].end());
        }
    }
    IVel5EntityPtr referencePlane;
    IVel5EntityPtr referenceAxis;
    for (size_t i = 0; i < Models.size(); ++i) {
        NMVelmarModel3D& model = *Models[i];
        const OldMemberSpc* predecessor = succession ? succession->own[i] : nullptr;
        // Each new member takes the spc objects of the old member it pairs with, and none other.
        model.ExSpcObjs.clear();
        NMSpcObjSnapshot* snapshot = nullptr;
        if (predecessor && predecessor->linesTaken) {
            model.ExSpcObjs = predecessor->objects;
            snapshot = predecessor->snapshot.get();
        }
        model.MoveAnswer = MoveAnswer;
        if (!succession && !model.IsSpecActive)
            MakeMemberComponent(model);
        // Its line numbers through its own position leaders and those the old member's lines held.
        const ObjArray leaders =
            predecessor ? model.LeadersForLine(succession->copies[i], copies, predecessor->objects, succession->going) : ObjArray();
        bool refused = false;
        try {
            model.CreateNewSpcObj3DSilent(snapshot, leaders);
        } catch (const CantCreateSpcObj&) {
            SpcError = true;
            refused = true;
        }
        // Velmar refused the member's spc object: those of the old member in its place go with it, for no
        // line may number a component that is gone.
        if (!model.ExSpcObjs.empty() && refused)
            model.RemoveExistsSpcObjects();
        // A question asked for the first member is not asked again for the others.
        if (i == 0)
            MoveAnswer = model.MoveAnswer;
        if (model.IsSpecActive)
            continue;
        const IVel5EntityPtr plane = ModelPlane(model.iPrt5);
        const IVel5EntityPtr axis = ModelAxis(model.iPrt5);
        if (i == 0) {
            referencePlane = plane;
            referenceAxis = axis;
            continue;
        }
        const NMTCSData& layout = model.TCSData;
        CreateMate(iDoc5, referenceAxis, axis, kCoaxial, 0, nullptr, 0.0);
        if (layout.OnPacket == layout.Orientation)
            CreateMate(iDoc5, referencePlane, plane, kDistance, 1, nullptr, -(layout.Width + layout.Distance));
        else
            CreateMate(iDoc5, referencePlane, plane, kDistance, -1, nullptr, -layout.Distance);
    }
}

void NMVelmarTCS3D::InsertTCSElements()
{
    TraceScope scope(L"NMVelmarTCS3D::InsertTCSElements");
    scope.Value(L"Elements.size()", _variant_t(static_cast<unsigned long>(Elements.size())));
    for (size_t i = Elements.size(); i-- > 0;) {
        NMVelmarElement3D& element = *Elements[i];
        // The script builds the hole by its place in the set.
        if (element.pData)
            element.pData->Params[L"PAR_DIR"] = IntToStr(static_cast<int32_t>(i + 1));
        MarkChanged();
        element.InsertOneElement();
    }
}

void NMVelmarTCS3D::SetUniqueNames()
{
    TraceScope scope(L"NMVelmarTCS3D::SetUniqueNames");
    for (const auto& element : Elements)
        SetUniqueName(element->iMacro, element->NM_Name);
}

IDispatchPtr NMVelmarTCS3D::MemberObject(IDispatch* object7)
{
    return IDispatchPtr(RequireHost(GetAPI5ObjectFromAPI7(object7)));
}

void NMVelmarTCS3D::CreateTCSMacro()
{
    TraceScope scope(L"NMVelmarTCS3D::CreateTCSMacro");
    iMacro = RequireHost(ObjectAs<IVel5Entity>(V5Method(RequireHost(iTopPart5), IVel5Part::NewMacroElement)));
    MarkChanged();
    iMacroDef = RequireHost(ObjectAs<IVel5MacroDefinition>(V5Method(iMacro, IVel5Entity::Definition)));
    scope.Hex(L"iMacro", Address(iMacro));
    const IDispatchPtr members = RequireHost(ObjectAs<IDispatch>(V5Method(iMacroDef, IVel5MacroDefinition::InnerObjects)));
    for (const auto& model : Models)
        V5Method(members, IVel5ObjectCollection::Add, MemberObject(model->iPrt7));
    for (const auto& element : Elements)
        V5Method(members, IVel5ObjectCollection::Add, MemberObject(ToApi7Object(iApp5, element->iMacro)));
    V5Method(iMacro, IVel5Entity::Update);
    NM_QuarvendID = L"TKR3D";
    SaveAsPlaced(BstrToWString(CurrentLocation));
    V5Put(iMacroDef, IVel5MacroDefinition::Setting1, true);
}

NMVelmarModel3D& NMVelmarTCS3D::GetLastModelOnPacket()
{
    for (size_t i = Models.size(); i-- > 0;)
        if (Models[i]->TCSData.OnPacket)
            return *Models[i];
    return *Models.at(0);
}

NMVelmarModel3D* NMVelmarTCS3D::GetFirstModelUnderPacket()
{
    for (const auto& model : Models)
        if (!model->TCSData.OnPacket)
            return model.get();
    return nullptr;
}

void NMVelmarTCS3D::MateTCS()
{
    TraceScope scope(L"NMVelmarTCS3D::MateTCS");
    if (Models.empty())
        return;
    NMVelmarModel3D* mated = &GetLastModelOnPacket();
    if (mated->TCSData.PartType == kUnderPacketType)
        if (NMVelmarModel3D* under = GetFirstModelUnderPacket())
            mated = under;
    const NMTCSData& layout = mated->TCSData;
    scope.Value(L"PartType", _variant_t(static_cast<long>(layout.PartType)));

    const IVel5EntityPtr attach = FindNamed(mated->iPrt5, kMateElements, L"Auto", -1);
    if (attach && !Elements.empty()) {
        CreateMate(iDoc5, Elements[0]->MateTargetMacro, attach, kCoincidence, 1, nullptr, 0.0);
        return;
    }
    const IVel5EntityPtr plane = ModelPlane(mated->iPrt5);
    const IVel5EntityPtr axis = ModelAxis(mated->iPrt5);
    const bool studLike = IsStudLike(layout);
    // Without a positioning model there is nothing in the assembly to mate the set to.
    IDispatchPtr counterPlane;
    IDispatchPtr counterAxis;
    if (elem_pos) {
        counterPlane = studLike || layout.PartType == kUnderPacketType ? elem_pos->iEndPlane : elem_pos->iStartPlane;
        if (Elements.empty())
            counterAxis = elem_pos->Items.at(elem_pos->item_idx).iCylFace;
    }
    if (!Elements.empty()) {
        // A stud is held by the second hole when the set has one.
        const NMVelmarElement3D& hole = studLike && Elements.size() > 1 ? *Elements[1] : *Elements[0];
        counterAxis = hole.MateTargetPart;
    }
    if (plane && counterPlane) {
        CreateMate(iDoc5, counterPlane, plane, kCoincidence, studLike ? -1 : 1, nullptr, 0.0);
        V5Method(iDoc5, IVel5Document3D::Rebuild);
    }
    CreateMate(iDoc5, counterAxis, axis, kCoaxial, 0, nullptr, 0.0);
}

void NMVelmarTCS3D::Replace()
{
    TraceScope scope(L"NMVelmarTCS3D::Replace");
    RequireMembers();
    {
        TraceScope replace(L"NMVelmarTCS3D::ReplaceTCS");
        UndoableStep([this] {
            TraceScope step(L"NMVelmarTCS3D::ReplaceTCS13");
            UndoDisabledGuard undo(iDoc5, iDoc7);
            ReplaceTCS12();
        });
    }
    if (SpcError) {
        SpcError = false;
        ShowSpcObjectCreateError();
    }
}

void NMVelmarTCS3D::ReplaceTCS12()
{
    TraceScope scope(L"NMVelmarTCS3D::ReplaceTCS12");
    RequireHost(iMacro);
    V7Call(iApp7, &IVel7Application::put_EditSwitch, VARIANT_TRUE);
    ScopeExitApi7Slot25Off editSwitch(iApp7);
    FindTCSElements();
    const std::wstring name = VariantToWString(V5Get(iMacro, IVel5Entity::Name));
    {
        ArrayKeeper arrays(iApp5, iDoc5, iDoc7, iMacro, {MemberObject(ToApi7Object(iApp5, iMacro))}, name);
        if (arrays.ArrayCount() > 0)
            MarkChanged();
        ReplaceTCSModels();
        ReplaceTCSElements(arrays);
    }
    SetUniqueNames();
    SetUniqueName(iMacro, NM_Name);
    MateTCS();
    editSwitch.Restore();
}

std::vector<IVel5PartPtr> NMVelmarTCS3D::FindTCSModels()
{
    TraceScope scope(L"NMVelmarTCS3D::FindTCSModels");
    std::vector<IVel5PartPtr> parts;
    WalkHostItems(ObjectAs<IDispatch>(V5Method(RequireHost(iMacroDef), IVel5MacroDefinition::InnerObjects)), [&](IDispatch* item) {
        if (const IVel5PartPtr part = FeatureToPart(QueryHost<IVel5Object>(item)))
            parts.push_back(part);
        return true;
    });
    scope.Value(L"res.size()", _variant_t(static_cast<unsigned long>(parts.size())));
    return parts;
}

std::vector<IVel5EntityPtr> NMVelmarTCS3D::FindTCSElements()
{
    TraceScope scope(L"NMVelmarTCS3D::FindTCSElements");
    std::vector<IVel5EntityPtr> elements;
    WalkHostItems(ObjectAs<IDispatch>(V5Method(RequireHost(iMacroDef), IVel5MacroDefinition::InnerObjects)), [&](IDispatch* item) {
        if (const IVel5EntityPtr element = FeatureToMacro(QueryHost<IVel5Object>(item)))
            elements.push_back(element);
        return true;
    });
    scope.Value(L"res.size()", _variant_t(static_cast<unsigned long>(elements.size())));
    return elements;
}

std::vector<std::wstring> NMVelmarTCS3D::OldSetListing()
{
    TraceScope scope(L"NMVelmarTCS3D::OldSetListing");
    std::vector<std::wstring> listing;
    // The set's macro element keeps the set's identifier where an element keeps its method body.
    const NMVelObjElem3D stored(iApp5, iApp7, RequireHost(iMacro));
    scope.String(L"set", stored.NM_Body);
    if (stored.NM_Body.empty() || !Client())
        return listing;
    listing = ListedMemberIds(Client(), stored.NM_Body);
    scope.Value(L"listing.size()", _variant_t(static_cast<unsigned long>(listing.size())));
    return listing;
}

std::unique_ptr<NMVelmarModel3D> NMVelmarTCS3D::ListedMember(const std::wstring& id)
{
    TraceScope scope(L"NMVelmarTCS3D::ListedMember");
    scope.String(L"NM_ID", id);
    auto member = std::make_unique<NMVelmarModel3D>(iApp5, iApp7, Client(), nullptr, IsSpecActive, Settings);
    try {
        LoadPlacedAnswer(*member, Client(), id, kPlacedContext);
    } catch (const BadResponse&) {
        TraceCurrentException(L"NMVelmarTCS3D::ListedMember");
        return nullptr;
    }
    scope.Value(L"HasSpcData", member->HasSpcData());
    return member;
}

std::vector<NMVelmarTCS3D::OldMemberSpc> NMVelmarTCS3D::FindExSpcObject(const SpcDocContext& context,
                                                                       const std::vector<IVel5PartPtr>& oldParts,
                                                                       const std::vector<std::wstring>& listing)
{
    TraceScope scope(L"NMVelmarTCS3D::FindExSpcObject");
    std::vector<OldMemberSpc> found;
    std::vector<bool> matched(listing.size());
    size_t total = 0;
    for (const IVel5PartPtr& part : oldParts) {
        OldMemberSpc& member = found.emplace_back();
        member.part = part;
        // The component keeps what it is in the reference book in its identity block.
        NMVelmarModel3D old(iApp5, iApp7, Client(), part, false, Settings);
        member.member = old.MemberKey();
        // Twins take the listing's entries of their identifier in turn.
        for (size_t k = 0; k < listing.size(); ++k)
            if (!matched[k] && listing[k] == old.NM_ID) {
                matched[k] = true;
                member.listed = ListedMember(listing[k]);
                break;
            }
        if (context.iSpcObjs) {
            member.attached = old.ListOwnSpcLines(context, !member.listed || member.listed->HasSpcData(), &member.ownGuessed);
            member.objects = old.ExSpcObjs;
        }
        const IVel7SpcObjectPtr first = member.objects.empty() ? nullptr : QueryHostOrNull<IVel7SpcObject>(member.objects.front());
        member.snapshot = std::make_unique<NMSpcObjSnapshot>(context, first, Is3DSpec, true);
        total += member.objects.size();
    }
    scope.Value(L"ExSpcObjs.size()", _variant_t(static_cast<unsigned long>(total)));
    return found;
}

void NMVelmarTCS3D::ReplaceTCSModels()
{
    TraceScope scope(L"NMVelmarTCS3D::ReplaceTCSModels");
    const std::vector<IVel5PartPtr> oldParts = FindTCSModels();
    // Each new member takes over from the old member it pairs with: its places in patterns, its leaders and,
    // where it gets a line, its spc objects. Where the settings make none, the old members' spc objects go
    // with them, as those of an old member no new one takes do.
    const bool makeSpcObjects = IsCanCreateSpcObj();
    const SpcDocContext context = Context(makeSpcObjects);
    // What the reference book says of the old set now tells a member without spc data, which has no line.
    std::vector<OldMemberSpc> previous =
        FindExSpcObject(context, oldParts, context.iSpcObjs ? OldSetListing() : std::vector<std::wstring>());
    const SpcLinePairing pairing = PairOldMembers(context, previous);
    KeepWrittenLinesOfDroppedMembers(context, previous, pairing);
    Succession succession;
    succession.own.resize(Models.size());
    succession.copies.resize(Models.size());
    succession.context = &context;
    for (size_t i = 0; i < Models.size(); ++i)
        if (pairing.own[i]) {
            succession.own[i] = &previous[*pairing.own[i]];
            succession.own[i]->linesTaken = Models[i]->IsCanCreateSpcObj();
        }
    const std::vector<DroppedLeader> dropped = DroppedMembersLeaders(context, previous, pairing);
    for (const DroppedLeader& leader : dropped)
        succession.going.push_back(leader.leader);
    InsertTCSModels(&succession);
    // The set's old lines go, or are rebuilt with the copies of the leaders they held: none of them keeps
    // an old leader in use.
    ObjArray oldLines;
    for (const OldMemberSpc& old : previous)
        oldLines.Append(old.objects);
    HandOnLeaderCopies(context, oldLines, succession);
    HandOnDroppedMembersLeaders(previous, oldLines, pairing, succession, dropped);
    RemoveOldMembersLines(previous, pairing);
    HandOnAttachedLines(previous, pairing);
    if (makeSpcObjects)
        V5Method(iDoc5, IVel5Document3D::Rebuild);
    ReplaceTCSModelsInPatterns(succession.own);
}

void NMVelmarTCS3D::HandOnLeaderCopies(const SpcDocContext& context, const ObjArray& oldLines, const Succession& succession)
{
    TraceScope scope(L"NMVelmarTCS3D::HandOnLeaderCopies");
    ObjArray lineless;
    for (size_t i = 0; i < Models.size(); ++i) {
        NMVelmarModel3D::GiveCopiesToOtherLines(succession.copies[i], oldLines);
        if (!Models[i]->iSpcObj)
            lineless.Append(NMVelmarModel3D::PositionLeaderCopies(succession.copies[i]));
    }
    // A position leader shows the number of the lines it is in: in none, it numbers nothing.
    if (!lineless.empty())
        NMVelmarModel3D::RemovePosLeaders(HeldByNoSpcObject(context, lineless));
}

SpcLinePairing NMVelmarTCS3D::PairOldMembers(const SpcDocContext& context, const std::vector<OldMemberSpc>& previous)
{
    TraceScope scope(L"NMVelmarTCS3D::PairOldMembers");
    std::vector<std::optional<SpcLineIdentity>> models;
    for (const auto& model : Models) {
        SpcLineIdentity identity = model->IsCanCreateSpcObj() ? model->LineIdentityByPreset() : SpcLineIdentity{};
        identity.member = model->MemberKey();
        models.push_back(identity);
    }
    // Each old member is one line, the set's own: a line typed over stays with its component.
    std::vector<OldSpcLine> members;
    for (const OldMemberSpc& old : previous) {
        members.push_back(old.objects.empty() ? OldSpcLine{} : ShownOldSpcLine(old.snapshot->OldObject, context));
        members.back().identity.member = old.member;
    }
    SpcLinePairing pairing = PairSpcLines(models, members);
    for (const auto& member : pairing.own)
        scope.Value(L"own member", member ? _variant_t(static_cast<long>(*member)) : _variant_t(-1L));
    return pairing;
}

void NMVelmarTCS3D::KeepWrittenLinesOfDroppedMembers(const SpcDocContext& context, std::vector<OldMemberSpc>& previous,
                                                     const SpcLinePairing& pairing)
{
    TraceScope scope(L"NMVelmarTCS3D::KeepWrittenLinesOfDroppedMembers");
    for (size_t j = 0; j < previous.size(); ++j) {
        OldMemberSpc& old = previous[j];
        if (!old.ownGuessed || std::find(pairing.own.begin(), pairing.own.end(), j) != pairing.own.end())
            continue;
        ObjArray kept;
        for (const IDispatchPtr& line : old.objects) {
            const IVel7SpcObjectPtr object = RequireHost(QueryHostOrNull<IVel7SpcObject>(line));
            if (CarriesWriting(object, ShownOldSpcLine(object, context), old.listed.get()))
                old.attached.push_back(line);
            else
                kept.push_back(line);
        }
        scope.Value(L"member", _variant_t(static_cast<unsigned long>(j)));
        scope.Value(L"kept as the user's", _variant_t(static_cast<unsigned long>(old.objects.size() - kept.size())));
        old.objects = std::move(kept);
    }
}

bool NMVelmarTCS3D::CarriesWriting(IDispatch* line, const OldSpcLine& shown, const NMVelmarModel3D* listed)
{
    if (std::any_of(shown.others.begin(), shown.others.end(),
                    [&](const SpcLineColumn& column) { return !listed || !listed->MakesColumnText(column); }))
        return true;
    if (HostVersion < kHostVersion1501)
        return false;
    const IVel7SpcCommentsPtr comments = CommentsOf(RequireHost(QueryHostOrNull<IVel7SpcObject>(line)));
    return comments && V7Get(comments, &IVel7SpcComments::get_Count) > 0;
}

NMVelmarModel3D* NMVelmarTCS3D::LinesHeir(size_t member, const SpcLinePairing& pairing)
{
    const std::optional<size_t> owner = pairing.owner[member];
    if (owner && Models[*owner]->iSpcObj)
        return Models[*owner].get();
    for (const auto& model : Models)
        if (model->iSpcObj)
            return model.get();
    return nullptr;
}

std::vector<NMVelmarTCS3D::DroppedLeader> NMVelmarTCS3D::DroppedMembersLeaders(const SpcDocContext& context,
                                                                              const std::vector<OldMemberSpc>& previous,
                                                                              const SpcLinePairing& pairing)
{
    TraceScope scope(L"NMVelmarTCS3D::DroppedMembersLeaders");
    std::vector<DroppedLeader> dropped;
    ObjArray listed;
    // A make-up of holes alone drops every member: their leaders are handed on or go all the same. A leader
    // with branches to several dropped members is handed on once, as the first of them has it.
    for (size_t j = 0; j < previous.size(); ++j)
        if (std::find(pairing.own.begin(), pairing.own.end(), j) == pairing.own.end())
            for (const IDispatchPtr& leader : NMVelmarModel3D::GetLeadersOfPart(iApp5, iDoc7, ToApi7Object(iApp5, previous[j].part)))
                if (!HoldsHostObject(listed, leader)) {
                    listed.push_back(leader);
                    dropped.push_back({leader, j, SpcObjectsHolding(context, leader)});
                }
    scope.Value(L"dropped.size()", _variant_t(static_cast<unsigned long>(dropped.size())));
    return dropped;
}

IVel5PartPtr NMVelmarTCS3D::ComponentOfStayingLine(IDispatch* line, const std::vector<OldMemberSpc>& previous,
                                                   const SpcLinePairing& pairing)
{
    const ObjArray geometry(V7Get(RequireHost(QueryHostOrNull<IVel7SpcObject>(line)), &IVel7SpcObject::get_Geometry));
    for (const IDispatchPtr& object : geometry) {
        const IVel7PartPtr part7 = QueryHostOrNull<IVel7Part>(object);
        if (!part7)
            continue;
        const auto old = std::find_if(previous.begin(), previous.end(), [&](const OldMemberSpc& member) {
            return SameHostObject(ToApi7Object(iApp5, member.part), part7);
        });
        if (old != previous.end()) {
            // The old member goes with the set: the line holds the component that takes its attached lines.
            if (NMVelmarModel3D* holder = AttachedLinesHolder(static_cast<size_t>(old - previous.begin()), pairing))
                return holder->iPrt5;
        } else if (const IVel5PartPtr part =
                       ObjectAs<IVel5Part>(V5Method(iApp5, IVel5Application::ToLayer, part7, VelLayer5, VelTypePart))) {
            return part;
        }
    }
    return nullptr;
}

void NMVelmarTCS3D::HandOnDroppedMembersLeaders(const std::vector<OldMemberSpc>& previous, const ObjArray& oldLines,
                                                const SpcLinePairing& pairing, const Succession& succession,
                                                const std::vector<DroppedLeader>& dropped)
{
    TraceScope scope(L"NMVelmarTCS3D::HandOnDroppedMembersLeaders");
    if (dropped.empty())
        return;
    ObjArray rebuilt;
    for (const OldMemberSpc* old : succession.own)
        if (old && old->linesTaken)
            rebuilt.Append(old->objects);
    // A leader with a branch to a member that stays went with that member's leaders.
    const ObjArray present = LeadersOfDocument(iDoc7);
    ObjArray gone;
    for (const DroppedLeader& old : dropped) {
        if (!HoldsHostObject(present, old.leader))
            continue;
        ObjArray staying;
        for (const IDispatchPtr& holder : old.holders)
            if (!HoldsHostObject(oldLines, holder))
                staying.push_back(holder);
        const bool numbersRebuiltLine = std::any_of(old.holders.begin(), old.holders.end(),
                                                    [&](const IDispatchPtr& holder) { return HoldsHostObject(rebuilt, holder); });
        NMVelmarModel3D* heir = LinesHeir(old.member, pairing);
        // A number some line keeps showing moves with the member's lines to the part whose line takes them;
        // where the replace made no line, to the part of the first line that stays and shows it.
        IVel5PartPtr target;
        if (heir && (numbersRebuiltLine || !staying.empty()))
            target = heir->iPrt5;
        for (size_t i = 0; !heir && !target && i < staying.size(); ++i)
            target = ComponentOfStayingLine(staying[i], previous, pairing);
        const IDispatchPtr copy =
            target ? CopyPosLeaderOfKind(iApp5, DocumentLeaders(iDoc7), old.leader, GetPosLeaderKind(old.leader), target) : nullptr;
        if (!copy) {
            gone.push_back(old.leader);
            continue;
        }
        scope.WriteLine(L"Create_New_Lead");
        ObjArray holding;
        if (heir)
            holding.push_back(IDispatchPtr(heir->iSpcObj));
        holding.Append(staying);
        for (size_t i = 0; i < Models.size(); ++i) {
            const OldMemberSpc* predecessor = succession.own[i];
            if (predecessor && predecessor->linesTaken && Models[i]->iSpcObj && !HoldsHostObject(holding, Models[i]->iSpcObj) &&
                std::any_of(old.holders.begin(), old.holders.end(),
                            [&](const IDispatchPtr& holder) { return HoldsHostObject(predecessor->objects, holder); }))
                holding.push_back(IDispatchPtr(Models[i]->iSpcObj));
        }
        NMVelmarModel3D::IncludeInLines(holding, copy);
    }
    NMVelmarModel3D::RemovePosLeaders(gone);
}

void NMVelmarTCS3D::RemoveOldMembersLines(std::vector<OldMemberSpc>& previous, const SpcLinePairing& pairing)
{
    TraceScope scope(L"NMVelmarTCS3D::RemoveOldMembersLines");
    for (size_t j = 0; j < previous.size(); ++j) {
        if (previous[j].objects.empty() || previous[j].linesTaken)
            continue;
        if (NMVelmarModel3D* heir = LinesHeir(j, pairing)) {
            // Through the model whose new line takes the comments, as its own old objects would be.
            heir->ExSpcObjs = previous[j].objects;
            heir->moveCommentObjects();
            heir->RemoveExistsSpcObjects();
        } else {
            ExSpcObjs = previous[j].objects;
            RemoveExistsSpcObjects();
        }
    }
}

void NMVelmarTCS3D::HandOnAttachedLines(const std::vector<OldMemberSpc>& previous, const SpcLinePairing& pairing)
{
    TraceScope scope(L"NMVelmarTCS3D::HandOnAttachedLines");
    for (size_t j = 0; j < previous.size(); ++j) {
        if (previous[j].attached.empty())
            continue;
        if (NMVelmarModel3D* holder = AttachedLinesHolder(j, pairing))
            NMVelmarModel3D::IncludeInLines(previous[j].attached, holder->iPrt7);
    }
}

NMVelmarModel3D* NMVelmarTCS3D::AttachedLinesHolder(size_t member, const SpcLinePairing& pairing)
{
    const auto successor = std::find(pairing.own.begin(), pairing.own.end(), member);
    NMVelmarModel3D* holder = successor != pairing.own.end() ? Models[static_cast<size_t>(successor - pairing.own.begin())].get()
                                                             : LinesHeir(member, pairing);
    // Where the replace made no line, the set's first member holds what it has.
    if (!holder && !Models.empty())
        holder = Models.front().get();
    return holder && !holder->IsSpecActive ? holder : nullptr;
}

void NMVelmarTCS3D::ReplaceTCSModelsInPatterns(const std::vector<OldMemberSpc*>& own)
{
    TraceScope scope(L"NMVelmarTCS3D::ReplaceTCSModelsInPatterns");
    // Each member takes the places of the old member it succeeds, and only in the patterns that held that
    // one: a pattern of the bolt alone does not start to pattern the nut.
    for (size_t i = 0; i < Models.size(); ++i)
        if (own[i] && !Models[i]->IsSpecActive) {
            Models[i]->SetEditPart(own[i]->part);
            Models[i]->ProcessReplaceEditPartInPatterns();
            Models[i]->SetEditPart(nullptr);
        }
}

void NMVelmarTCS3D::ReplaceTCSElements(ArrayKeeper& keeper)
{
    TraceScope scope(L"NMVelmarTCS3D::ReplaceTCSElements");
    DocumentStateGuard current(iDoc5, keeper.GuardObject());
    // The old set's members go with its macro element.
    DeleteReplacedObject(iDoc5, iMacro);
    MarkChanged();
    InsertTCSElements();
    CreateTCSMacro();
    keeper.NewElements.push_back(MemberObject(ToApi7Object(iApp5, iMacro)));
}
