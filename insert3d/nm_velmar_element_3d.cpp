#include "insert3d/nm_velmar_element_3d.h"

#include "core/com_convert.h"
#include "core/files.h"
#include "core/format_string.h"
#include "core/number_text.h"
#include "core/string_utils.h"
#include "core/trace_log.h"
#include "core/vbscript_host.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/element_queries.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/mate_queries.h"
#include "hostapi/scope_exit.h"
#include "hostapi/utility_instances.h"
#include "hostapi/vtable_call.h"
#include "insert3d/array_keeper.h"
#include "insert3d/mate_keeper.h"
#include "insert3d/placement_loop.h"
#include "objects/bad_response.h"

#include <new>

namespace {

constexpr short kMacroElement = 63;
constexpr short kAttributeHeaderKind = 38;
constexpr short kUserParamKind = 112;
constexpr short kValueItemKind = 108;
constexpr short kValueListKind = 23;

std::int64_t Address(IUnknown* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

// The features a selection of the element shows: its extrusions, cuts and patterns.
bool IsSelectedType(short type)
{
    return type == 25 || type == 26 || type == 29 || type == 47 || type == 58;
}

// Every inner object of the element, as the entity behind its feature.
template <class F>
void ForEachInnerEntity(IVel5Entity* macro, F&& visit)
{
    WalkHostItems(GetEntityDefinition(macro), [&](IDispatch* item) {
        if (const IVel5EntityPtr inner = FeatureToMacro(QueryHost<IVel5Object>(item)))
            visit(inner);
        return true;
    });
}

} // namespace

NMVelmarElement3D::NMVelmarElement3D(IVel5Application* app5, IVel7Application* app7, INMClient* client, IVel5Entity* macro,
                                     const NMElemPos* elemPos, const _bstr_t& startLocation, const _bstr_t& location,
                                     bool isSpecActive)
    : NMVelObjElem3D(app5, app7, client, macro, false, isSpecActive), StartLocation(startLocation), CurrentLocation(location)
{
    TraceScope scope(L":NMVelmarElement3D");
    if (!elemPos)
        return;
    ClearPos();
    elem_pos = NMElemPos::Clone(elemPos);
    if (!elem_pos)
        throw std::bad_alloc();
    elem_pos->DebugInfo();
    if (elem_pos->isMove)
        state = StateEdit;
    scope.Value(L"state", _variant_t(static_cast<unsigned long>(state)));
}

NMVelmarElement3D::~NMVelmarElement3D()
{
    try {
        TraceScope scope(L"~NMVelmarElement3D");
    } catch (...) {
        // The trace is all a destructor writes; the members release themselves.
    }
}

NMElemPos& NMVelmarElement3D::RequirePositioning()
{
    if (!elem_pos)
        throw _com_error(E_POINTER);
    return *elem_pos;
}

void NMVelmarElement3D::BindTo(NMObject* found)
{
    TraceScope scope(L"NMVelmarElement3D::BindTo");
    auto* element = dynamic_cast<NMVelmarElement3D*>(found);
    // Only a constructive element has an element to take over.
    if (!element)
        throw _com_error(E_INVALIDARG);
    iMacro = element->iMacro;
    iMacroDef = element->iMacroDef;
    // Whatever the element was made for, applied now it replaces the bound one.
    state = StateReplace;
    scope.Hex(L"iMacro", Address(iMacro));
    ClearPos();
}

std::unique_ptr<NMObject> NMVelmarElement3D::CreateOnBase()
{
    TraceScope scope(L"NMVelmarElement3D::CreateOnBase");
    return std::make_unique<NMVelmarElement3D>(iApp5, iApp7, Client(), iMacro, elem_pos.get(), StartLocation,
                                               CurrentLocation, IsSpecActive);
}

void NMVelmarElement3D::Select()
{
    TraceScope scope(L"NMVelmarElement3D::Select");
    const IVel5SelectionPtr selection = RequireHost(ObjectAs<IVel5Selection>(V5Method(iDoc5, IVel5Document3D::SelectionA)));
    WalkHostItems(ObjectAs<IDispatch>(V5Method(RequireHost(iMacroDef), IVel5MacroDefinition::InnerObjects)), [&](IDispatch* item) {
        const IVel5EntityPtr inner = FeatureToMacro(QueryHost<IVel5Object>(item));
        if (inner && IsSelectedType(GetEntityType(inner)))
            V5Method(selection, IVel5Selection::Add, inner);
        return true;
    });
}

void NMVelmarElement3D::Insert()
{
    TraceScope scope(L"NMVelmarElement3D::Insert");
    if (!elem_pos) {
        scope.WriteLine(L"elem_pos=null");
        return;
    }
    PlaceEveryRecord({iApp5, iApp7, L"Создано конструктивных элементов: %d из %d."}, elem_pos->Items.size(),
                     [this](size_t i) { elem_pos->item_idx = i; }, [this] { Insert13(); });
}

void NMVelmarElement3D::Insert13()
{
    TraceScope scope(L"NMVelmarElement3D::Insert13");
    UndoableStep([this] {
        UndoDisabledGuard undo(iDoc5, iDoc7);
        InsertOneElement();
        SetUniqueName(iMacro, NM_Name);
    });
}

void NMVelmarElement3D::InsertOneElement()
{
    TraceScope scope(L"NMVelmarElement3D::InsertOneElement");
    InsertElement();
    SaveAsPlaced(BstrToWString(CurrentLocation));
    SaveTechParams();
    V5Put(iMacroDef, IVel5MacroDefinition::Setting1, false);
    GetNewMateGeometry();
}

std::wstring NMVelmarElement3D::ScriptText() const
{
    std::wstring script = pData ? pData->GetScriptHeader() : std::wstring();
    const ElemPos& item = elem_pos->Items.at(elem_pos->item_idx);
    auto line = [&script](const wchar_t* name, const std::wstring& value) {
        script += FormatString(L"%s=%s\r\n", name, value.c_str());
    };
    line(L"positmType", IntToStr(item.GetSubModeIndex()));
    // The script's axes are the sketch's: x runs against the record's Y. 0 - Y keeps a zero unsigned.
    line(L"positmX", DoubleToStr(0.0 - item.Y, L'.'));
    line(L"positmY", DoubleToStr(item.X, L'.'));
    line(L"positmR", DoubleToStr(item.R, L'.'));
    line(L"positmA", DoubleToStr(item.A, L'.'));
    script += ToWide(ReadFileToString(NM_FileName));
    script += L"\r\n Script_OnLoad()";
    return script;
}

void NMVelmarElement3D::InsertElement()
{
    TraceScope scope(L"NMVelmarElement3D::InsertElement");
    NMElemPos& position = RequirePositioning();
    NM_FileName = NM_Path + NM_Body;
    scope.String(L"NM_FileName", NM_FileName);
    if (GetFileLength(NM_FileName) == -1)
        throw BadResponse(FormatString(L"File \"%s\" not exists", NM_FileName.c_str()));
    const std::wstring script = ScriptText();

    const IRAZadiPtr razadi = CreateRAZadi(scope, L"iGuru.CreateInstance(nmutils::CLSID_RAZadi)");
    VBScriptHost host;
    host.AddNamedItem(L"Velmar", iApp5);
    host.AddNamedItem(L"VelApp", iApp7);
    host.AddNamedItem(L"Doc", RequireHost(iDoc5));
    host.AddNamedItem(L"RAZadi", razadi);
    const IItemListPtr entities = CreateItemList(scope, L"iPosEntities.CreateInstance(nmutils::CLSID_ItemList)");
    position.PosEntities(entities);
    host.AddNamedItem(L"PosEntities", entities);
    host.AddNamedItem(L"EntityCollection", CreateItemList(scope, L"iEntColl.CreateInstance(nmutils::CLSID_ItemList)"));

    const long before = V7Get(entities, &IItemList::get_Count);
    scope.Value(L"iPosEntities->Count()", before);
    V7Call(razadi, &IRAZadi::Reset);
    try {
        host.Run(_bstr_t(script.c_str()));
    } catch (const VBScriptError&) {
        TraceRAZadiText(razadi, scope);
        throw;
    }
    // The script has built what it built: until it turns out to have handed back nothing, a failure
    // takes its step back.
    MarkChanged();
    TraceRAZadiText(razadi, scope);
    const long after = V7Get(entities, &IItemList::get_Count);
    scope.Value(L"iPosEntities->Count()", after);
    // A script that added nothing leaves one of the user's references last in the list: that is never
    // the element.
    IVel5EntityPtr built;
    if (after > before) {
        built = QueryHostOrNull<IVel5Entity>(V7Get(entities, &IItemList::Item, after - 1));
        if (built && GetEntityType(built) != kMacroElement)
            built = nullptr;
    }
    scope.Hex(L"iMacro", Address(built));
    if (!built) {
        // Nothing was built to take back; an undo now would take back what the user did before.
        ForgetChange();
        throw _com_error(E_POINTER);
    }
    iMacro = built;
    iMacroDef = ObjectAs<IVel5MacroDefinition>(V5Method(iMacro, IVel5Entity::Definition));
    scope.Hex(L"iMacroDef", Address(iMacroDef));
}

void NMVelmarElement3D::GetNewMateGeometry()
{
    TraceScope scope(L"NMVelmarElement3D::GetNewMateGeometry");
    const IDispatchPtr inner = GetEntityDefinition(iMacro);
    MateTargetPart = IDispatchPtr(GetEntityDefinitionPart(inner));
    MateTargetMacro = IDispatchPtr(GetMateMacroOfEntity(inner));
    const ObjArray geometry = GetMateGeometryObjects(inner);
    MateGeometry.assign(geometry.begin(), geometry.end());
    scope.Value(L"MateGeometry.size()", _variant_t(static_cast<unsigned long>(MateGeometry.size())));
}

IVel5ObjectPtr NMVelmarElement3D::MacroObject()
{
    return RequireHost(GetAPI5ObjectFromAPI7(ToApi7Object(iApp5, iMacro)));
}

void NMVelmarElement3D::Replace()
{
    TraceScope scope(L"NMVelmarElement3D::Replace");
    UndoableStep([this] {
        UndoDisabledGuard undo(iDoc5, iDoc7);
        V7Call(iApp7, &IVel7Application::put_EditSwitch, VARIANT_TRUE);
        ScopeExitApi7Slot25Off editSwitch(iApp7);
        {
            MateKeeper mates(iDoc5, RequireHost(iMacro));
            const IDispatchPtr oldFeature(MacroObject());
            ArrayKeeper arrays(iApp5, iDoc5, iDoc7, iMacro, {oldFeature}, VariantToWString(V5Get(iMacro, IVel5Entity::Name)));
            if (arrays.ArrayCount() > 0)
                MarkChanged();
            DocumentStateGuard current(iDoc5, arrays.GuardObject());
            if (!elem_pos) {
                const NMVelObjElem3D stored(iApp5, iApp7, Client(), iMacro, false, false);
                elem_pos = NMElemPos::Clone(stored.elem_pos.get());
            }
            RequirePositioning();
            DeleteReplacedObject(iDoc5, iMacro);
            MarkChanged();
            InsertOneElement();
            SetUniqueName(iMacro, NM_Name);
            arrays.NewElements.push_back(IDispatchPtr(MacroObject()));
            mates.HandOver(MateTargetPart, MateTargetMacro, MateGeometry);
        }
        editSwitch.Restore();
    });
}

void NMVelmarElement3D::CreateTechAttribute(double type, IVel5AttributeManager* manager, const TechAttrValues& values,
                                            const std::wstring& library)
{
    TraceScope scope(L"NMVelmarElement3D::CreateTechAttribute");
    scope.Value(L"aId", type);
    if (!manager)
        RaiseNullHostPointer(__uuidof(IVel5AttributeManager));
    const IVel5ObjectPtr object = MacroObject();
    const auto header = NewStructure<IVel5AttributeHeader>(iApp5, kAttributeHeaderKind);
    const auto record = NewStructure<IVel5UserParam>(iApp5, kUserParamKind);
    const auto item = NewStructure<IVel5ValueItem>(iApp5, kValueItemKind);
    const IVel5DynamicArrayPtr list =
        RequireHost(ObjectAs<IVel5DynamicArray>(V5Method(iApp5, IVel5Application::NewArray, kValueListKind)));
    V5Method(header, IVel5AttributeHeader::Init);
    V5Method(record, IVel5UserParam::Init);
    V5Method(record, IVel5UserParam::SetValues, list);
    for (const TechAttrValue& value : values) {
        V5Method(item, IVel5ValueItem::Init);
        V5Put(item, IVel5ValueItem::Text, value.text);
        V5Put(item, IVel5ValueItem::Flag, value.flag);
        V5Method(list, IVel5DynamicArray::Append, item, -1L);
    }
    if (!static_cast<bool>(V5Method(header, IVel5AttributeHeader::SetValues, record))) {
        scope.WriteLine(L"The attribute refused its values");
        return;
    }
    V5Method(manager, IVel5AttributeManager::CreateAttribute, object, header, type, library);
}

void NMVelmarElement3D::DeleteTechAttribute(double type, IVel5AttributeManager* manager)
{
    TraceScope scope(L"NMVelmarElement3D::DeleteTechAttribute");
    scope.Value(L"aId", type);
    if (!iMacro)
        return;
    if (!manager)
        RaiseNullHostPointer(__uuidof(IVel5AttributeManager));
    const IVel5ObjectPtr object = MacroObject();
    // All are found first: a collection walked while its attributes go would skip every other one.
    std::vector<IDispatchPtr> attributes;
    WalkHostItems(ObjectAs<IDispatch>(V5Method(object, IVel5Object::Attributes, 0L, 0L, 0L, 0L, type)), [&](IDispatch* attribute) {
        attributes.emplace_back(attribute);
        return true;
    });
    for (const IDispatchPtr& attribute : attributes)
        V5Method(manager, IVel5AttributeManager::DeleteAttribute, object, attribute, L"");
}
