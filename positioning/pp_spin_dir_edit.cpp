#include "positioning/pp_spin_dir_edit.h"

#include "hostapi/vtable_call.h"

VelPPSpinDirEdit::VelPPSpinDirEdit(PosPanelMate* record, IVel7SpinEdit* spin, IVel7Buttons* directions)
    : Mate(record), iSpin(spin), iDirections(directions),
      ForwardId(static_cast<uint32_t>(V7Get(directions, &IVel7Control::get_Id) - 100)), ReverseId(ForwardId + 1)
{
}

void VelPPSpinDirEdit::RefreshDirection()
{
    const bool enabled = Mate->iface != nullptr;
    V7Call(iDirections, &IVel7Control::put_Enabled, enabled ? VARIANT_TRUE : VARIANT_FALSE);
    if (!enabled)
        return;
    const bool forward = Mate->Direction == 1;
    V7Call(iDirections, &IVel7Buttons::SetChecked, static_cast<long>(ForwardId), forward ? VARIANT_TRUE : VARIANT_FALSE);
    V7Call(iDirections, &IVel7Buttons::SetChecked, static_cast<long>(ReverseId), forward ? VARIANT_FALSE : VARIANT_TRUE);
}

void VelPPSpinDirEdit::SetValue(double value)
{
    V7Call(iSpin, &IVel7Control::put_Value, _variant_t(value));
}
