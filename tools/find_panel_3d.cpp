#include "tools/find_panel_3d.h"

#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/vtable_call.h"
#include "objects/nm_vel_obj_elem_3d.h"
#include "objects/nm_vel_obj_model_3d.h"

namespace {

constexpr uint32_t kProcessMode = 1;
constexpr uint32_t kHelpId = 2;
constexpr long kTypeButtons = 9150;
constexpr long kFirstType = 9050;
constexpr long kLastType = 9052;
constexpr short kMacroElement = 63;

IVel5EntityPtr MacroElement(IVel5Entity* entity)
{
    return entity && GetEntityType(entity) == kMacroElement ? IVel5EntityPtr(entity) : nullptr;
}

// Where in the list the object of the kind that holds the host object lies; 0 when none does.
template <class Kind, class HostPtr, class Host>
uint64_t PositionOf(const std::vector<NMObject*>& listed, HostPtr Kind::*held, Host* host)
{
    for (size_t i = 0; i < listed.size(); ++i) {
        const auto* object = dynamic_cast<const Kind*>(listed[i]);
        if (object && (object->*held == host || SameHostObject(object->*held, host)))
            return i;
    }
    return 0;
}

} // namespace

FindPanel3D::FindPanel3D(IVel5Application* application5, IVel7Application* application7, Finder* finder)
    : FindPanel(finder, application5, application7, Translate(L"Найти и заменить"), Translate(L"Найти и заменить"),
                kProcessMode, nullptr, kHelpId, false)
{
    TraceScope scope(L":FindPanel3D");
    types_ = AddButtonBar(kTypeButtons,
                          {Translate(L"Нормсет"), Translate(L"Конструктивные элементы"), Translate(L"Крепежные соединения")}, {});
    AddFindControls();
    CheckGroupButton(types_, static_cast<long>(finder_->Type));
    Open();
}

FindPanel3D::~FindPanel3D() = default;

std::wstring FindPanel3D::Category() const
{
    switch (finder_->Type) {
    case NMObjElement: return Translate(L"Конструктивные элементы");
    case NMObjTCS: return Translate(L"Крепежные соединения");
    default: return FindPanel::Category();
    }
}

void FindPanel3D::WritePrompt(const std::wstring& text)
{
    V5Put(iRequestInfo, IVel5PlacementInfo::Prompt, _bstr_t(text.c_str()));
    V5Method(iDoc, IVel5Document3D::ShowChanges);
}

void FindPanel3D::ShowCurrent()
{
    V5Method(iSelection1, IVel5Selection::Clear);
    FindPanel::ShowCurrent();
}

VARIANT_BOOL FindPanel3D::ProcessActivate()
{
    TraceScope scope(L"FindPanel3D::ProcessActivate");
    InitHeader();
    ShowCurrent();
    return VARIANT_FALSE;
}

VARIANT_BOOL FindPanel3D::ControlCommand(IDispatch* control, long buttonId)
{
    if (buttonId < kFirstType || buttonId > kLastType)
        return FindPanel::ControlCommand(control, buttonId);
    TraceScope scope(L"FindPanel3D::ControlCommand");
    scope.Value(L"id", buttonId);
    finder_->ChangeNMObjType(static_cast<uint32_t>(buttonId - kFirstType), false);
    RefillNames();
    UpdateControls();
    return VARIANT_FALSE;
}

IVel5PartPtr FindPanel3D::IsLibraryModel(IDispatch* object, std::wstring& name)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    const IVel5PartPtr part = entity ? ObjectAs<IVel5Part>(V5Get(entity, IVel5Entity::Part)) : nullptr;
    if (!part)
        return nullptr;
    const NMVelObjModel3D model(iApp5, iApp7, nullptr, part, false);
    if (!model.IsNMObject)
        return nullptr;
    name = model.NM_Name;
    return part;
}

IVel5EntityPtr FindPanel3D::IsLibraryElement(IDispatch* object, std::wstring& name, bool& isTCS)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity)
        return nullptr;
    // The element itself, the element a component lies in (a fastener set's member), or the element the
    // picked face or edge belongs to.
    IVel5EntityPtr macro = MacroElement(entity);
    if (!macro) {
        const IVel5PartPtr part = ObjectAs<IVel5Part>(V5Get(entity, IVel5Entity::Part));
        macro = part ? MacroElement(GetMacroFromAPI7Object(part)) : nullptr;
    }
    if (!macro)
        macro = MacroElement(FeatureToMacro(ObjectAs<IVel5Object>(V5Get(entity, IVel5Entity::Owner))));
    if (!macro)
        return nullptr;
    const NMVelObjElem3D element(iApp5, iApp7, macro);
    if (!element.IsNMObject)
        return nullptr;
    name = element.NM_Name;
    isTCS = element.IsTCS;
    return macro;
}

BOOL FindPanel3D::SelectFilter(IDispatch* object)
{
    std::wstring name;
    bool isTCS = false;
    return IsLibraryModel(object, name) || IsLibraryElement(object, name, isTCS);
}

void FindPanel3D::SwitchType(uint32_t type)
{
    if (finder_->Type == type)
        return;
    CheckGroupButton(types_, static_cast<long>(type));
    finder_->ChangeNMObjType(type, false);
    RefillNames();
}

void FindPanel3D::ShowName(const std::wstring& name)
{
    V7Call(names_, &IVel7Control::put_Value, _variant_t(name.c_str()));
    finder_->ChangeNMFilter(name);
}

BOOL FindPanel3D::SelectCallback(IDispatch* object, LONG_PTR)
{
    TraceScope scope(L"FindPanel3D::SelectCallback");
    std::wstring name;
    bool isTCS = false;
    if (const IVel5EntityPtr macro = IsLibraryElement(object, name, isTCS)) {
        SwitchType(isTCS ? NMObjTCS : NMObjElement);
        ShowName(name);
        finder_->Index = IndexOfElement(macro);
        UpdateControls();
    } else if (const IVel5PartPtr part = IsLibraryModel(object, name)) {
        SwitchType(NMObjPart);
        ShowName(name);
        finder_->Index = IndexOfModel(part);
        UpdateControls();
    }
    ShowCurrent();
    return FALSE;
}

uint64_t FindPanel3D::IndexOfModel(IVel5Part* part) const
{
    return PositionOf(finder_->NMObjsFlt, &NMVelObjModel3D::iPrt5, part);
}

uint64_t FindPanel3D::IndexOfElement(IVel5Entity* macro) const
{
    return PositionOf(finder_->NMObjsFlt, &NMVelObjElem3D::iMacro, macro);
}
