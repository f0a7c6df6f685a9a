#include "positioning/pp_buttons.h"

#include "core/com_convert.h"
#include "core/translate.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/vtable_call.h"

namespace {

constexpr long kButtonIdOffset = 100;

uint32_t ControlId(IVel7Control* control)
{
    return static_cast<uint32_t>(V7Get(control, &IVel7Control::get_Id));
}

VARIANT_BOOL AsVariantBool(bool value)
{
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

} // namespace

std::wstring SelectedObjectName(IDispatch* object)
{
    if (!object)
        return Translate(L"Не выбрано");
    IVel5EntityPtr entity = QueryHost<IVel5Entity>(object);
    if (!entity) {
        if (const IVel5FaceDefinitionPtr face = QueryHost<IVel5FaceDefinition>(object))
            entity = ObjectAs<IVel5Entity>(V5Method(face, IVel5FaceDefinition::Face));
    }
    if (!entity)
        return std::wstring();
    const std::wstring own = VariantToWString(V5Get(entity, IVel5Entity::Name));
    const IVel5PartPtr part = ObjectAs<IVel5Part>(V5Method(entity, IVel5Entity::Part));
    if (!part)
        return own;
    return VariantToWString(V5Get(part, IVel5Part::Name)) + L"." + own;
}

VelPPButton::VelPPButton(PosPanelMate* record, IVel7SelectField* field, IVel7Buttons* button)
    : ButtonId(ControlId(button) - kButtonIdOffset), Mate(record), iButton(button), iField(field)
{
}

void VelPPButton::UpdateCaption()
{
    const std::wstring name = SelectedObjectName(Mate->iface);
    V7Call(iField, &IVel7Control::put_Value, _variant_t(name.c_str()));
    const std::wstring fieldName = BstrToWString(V7Get(iField, &IVel7Control::get_Name));
    V7Call(iField, &IVel7Control::put_Hint, _bstr_t((fieldName + L": " + name).c_str()));
}

bool VelPPButton::IsChecked()
{
    return V7Get(iButton, &IVel7Buttons::IsEnabled, static_cast<long>(ButtonId)) != VARIANT_FALSE &&
           V7Get(iButton, &IVel7Buttons::IsChecked, static_cast<long>(ButtonId)) != VARIANT_FALSE;
}

void VelPPButton::SetChecked(bool checked)
{
    V7Call(iButton, &IVel7Buttons::SetChecked, static_cast<long>(ButtonId), AsVariantBool(checked));
}

void VelPPButton::SetEnabled(bool enabled)
{
    V7Call(iButton, &IVel7Buttons::SetEnabled, static_cast<long>(ButtonId), AsVariantBool(enabled));
}

void VelPPButton::SetVisible(bool visible)
{
    V7Call(iButton, &IVel7Control::put_Visible, AsVariantBool(visible));
    V7Call(iField, &IVel7Control::put_Visible, AsVariantBool(visible));
}

VelPPDirButton::VelPPDirButton(PosPanelMate* record, IVel7Buttons* directions, IVel7SelectField* field, IVel7Buttons* button)
    : VelPPButton(record, field, button), iDirections(directions), ForwardId(ControlId(directions) - kButtonIdOffset),
      ReverseId(ForwardId + 1)
{
}

void VelPPDirButton::UpdateDirection(bool enable)
{
    UpdateCaption();
    const bool enabled = enable && Mate->iface;
    V7Call(iDirections, &IVel7Control::put_Enabled, AsVariantBool(enabled));
    if (!enabled)
        return;
    const int16_t state = Mate->Direction;
    V7Call(iDirections, &IVel7Buttons::SetChecked, static_cast<long>(ForwardId), AsVariantBool(state == 1));
    V7Call(iDirections, &IVel7Buttons::SetChecked, static_cast<long>(ReverseId), AsVariantBool(state != 0 && state != 1));
}

VelPPTxtDirButton::VelPPTxtDirButton(PosPanelMate* record, IVel7Buttons* directions, IVel7SelectField* field,
                                     IVel7Buttons* button, IVel7Control* toggle)
    : VelPPDirButton(record, directions, field, button), iToggle(toggle), ToggleId(ControlId(toggle))
{
}
