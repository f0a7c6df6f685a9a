#include "positioning/positioning_panel.h"

#include "core/trace_log.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/geometry_queries.h"
#include "hostapi/host_window.h"
#include "hostapi/vtable_call.h"

#include <new>

namespace {

constexpr uint32_t kProcessMode = 1;

NMElemPos& Required(NMElemPos* model)
{
    if (!model)
        throw _com_error(E_POINTER);
    return *model;
}

} // namespace

PositioningPanel::PositioningPanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller,
                                   bool editMode, uint32_t helpId)
    : VelBasePanel3D(application5, application7, Translate(L"Панель позиционирования"), Translate(L"Позиционирование"),
                     kProcessMode, nullptr, helpId, true),
      Working(NMElemPos::Clone(&Required(caller))), Caller(caller), EditMode(editMode)
{
    if (!Working)
        throw std::bad_alloc();
}

PositioningPanel::~PositioningPanel() = default;

void PositioningPanel::OnAccepted()
{
    TraceScope scope(L"PositioningPanel::OnAccepted");
    Working->DeleteAllGeom();
    Caller->DeleteAllGeom();
    Caller->CopyFrom(*Working);
}

void PositioningPanel::ClearHighlightSets() noexcept
{
    for (IVel5Selection* selection : {iSelection1.GetInterfacePtr(), iSelection2.GetInterfacePtr()}) {
        try {
            V5Method(selection, IVel5Selection::Clear);
        } catch (...) {
            TraceCurrentException(L"PositioningPanel::ClearHighlightSets");
        }
    }
}

std::unique_ptr<VelPPButton> PositioningPanel::AddSelection(PosPanelMate& record, long id, const wchar_t* hint,
                                                            const wchar_t* fieldCaption)
{
    const std::wstring text = Translate(hint);
    const IVel7ButtonsPtr button = AddSelectButton(id, text, text);
    const IVel7SelectFieldPtr field = fieldCaption ? AddSelectField(id, Translate(fieldCaption)) : nullptr;
    return std::make_unique<VelPPButton>(&record, field, button);
}

void PositioningPanel::Highlight(IDispatch* object, bool firstSet)
{
    HighlightSet = firstSet ? 1 : 0;
    HighlightObject(object);
}

bool PositioningPanel::EndSurfaceIsMet()
{
    if (Working->IsValidEndPlane(Working->iEndPlane))
        return true;
    HostMessageBox(iApp7, Translate(L"Ось отверстия не пересекается с конечной поверхностью."), 48);
    return false;
}

bool PositioningPanel::AllowsCylinder(IVel5Entity* face)
{
    return IsCylindricalFace(face) ? Working->IsOuterAllowed() : Working->IsInnerAllowed();
}

std::wstring PositioningPanel::ByCylinders(const wchar_t* both, const wchar_t* inner, const wchar_t* outer)
{
    if (Working->IsInnerAllowed() && Working->IsOuterAllowed())
        return Translate(both);
    return Translate(Working->IsInnerAllowed() ? inner : outer);
}

long PositioningPanel::ControlId(IDispatch* control)
{
    return V7Get(RequireHost(QueryHostOrNull<IVel7Control>(control)), &IVel7Control::get_Id);
}

double PositioningPanel::ControlNumber(IDispatch* control)
{
    _variant_t value = V7Get(RequireHost(QueryHostOrNull<IVel7Control>(control)), &IVel7Control::get_Value);
    value.ChangeType(VT_R8);
    return V_R8(&value);
}
