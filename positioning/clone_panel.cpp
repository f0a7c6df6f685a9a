#include "positioning/clone_panel.h"

#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/position_leaders.h"
#include "hostapi/vtable_call.h"
#include "objects/nm_vel_obj_model_3d.h"

namespace {

constexpr uint32_t kProcessMode = 1;
constexpr uint32_t kHelpId = 5;
constexpr long kPartField = 9100;
// Velmar's own value for the field (its position 37).
constexpr long kFieldLayout = 60;

} // namespace

ClonePanel::ClonePanel(IVel5Application* application5, IVel7Application* application7)
    : VelBasePanel3D(application5, application7, Translate(L"Позиционирование"), Translate(L"Создать деталь на базе стандартной"),
                     kProcessMode, nullptr, kHelpId, true)
{
    TraceScope scope(L":ClonePanel");
    field_ = AddSelectField(kPartField, L"");
    V7Call(field_, &IVel7SelectField::put_Setting37, kFieldLayout);
}

ClonePanel::~ClonePanel() = default;

IVel5PartPtr ClonePanel::LibraryPart(IVel5Part* part, std::wstring& id, std::wstring& name)
{
    if (!part)
        return nullptr;
    const IVel5PartPtr outermost = GetOutermostFlaggedPart(part);
    if (!outermost)
        return nullptr;
    const NMVelObjModel3D model(iApp5, iApp7, nullptr, outermost, false);
    if (!model.IsNMObject)
        return nullptr;
    id = model.NM_ID;
    name = model.NM_Name;
    return outermost;
}

BOOL ClonePanel::SelectFilter(IDispatch* object)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity)
        return FALSE;
    std::wstring id;
    std::wstring name;
    return LibraryPart(ObjectAs<IVel5Part>(V5Get(entity, IVel5Entity::Part)), id, name) != nullptr;
}

BOOL ClonePanel::SelectCallback(IDispatch* object, LONG_PTR)
{
    TraceScope scope(L"ClonePanel::SelectCallback");
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(object);
    const IVel5ObjectPtr current = ObjectAs<IVel5Object>(V5Get(iRequestInfo, IVel5PlacementInfo::CurrentObject));
    if (!entity && !current) {
        Refresh();
        return FALSE;
    }
    IVel5PartPtr part = FeatureToPart(current);
    if (!part && entity)
        part = ObjectAs<IVel5Part>(V5Get(entity, IVel5Entity::Part));
    if (!part)
        return FALSE;
    std::wstring id;
    std::wstring name;
    if (const IVel5PartPtr library = LibraryPart(part, id, name)) {
        NM_ID = id;
        NM_Name = name;
        Part = library;
        scope.String(L"NM_ID", NM_ID);
        Refresh();
    } else {
        UpdatePrompt();
    }
    return TRUE;
}

void ClonePanel::Refresh()
{
    V5Method(iSelection1, IVel5Selection::Clear);
    if (Part)
        V5Method(iSelection1, IVel5Selection::Add, Part);
    const std::wstring shown = Part ? NM_Name : Translate(L"Не выбрано");
    V7Call(field_, &IVel7Control::put_Value, _variant_t(shown.c_str()));
    UpdatePrompt();
}

VARIANT_BOOL ClonePanel::ProcessActivate()
{
    InitHeader();
    Refresh();
    return VARIANT_FALSE;
}

VARIANT_BOOL ClonePanel::IsComplete()
{
    return Part ? VARIANT_TRUE : VARIANT_FALSE;
}

void ClonePanel::UpdatePrompt()
{
    PromptWords.clear();
    AddPromptWord(Translate(L"стандартное изделие"), true);
    ShowPrompt();
}
