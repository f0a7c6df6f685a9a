#include "positioning/pp_check_list.h"

#include "core/com_convert.h"
#include "hostapi/vtable_call.h"

bool VelPPCheckList::IsChecked()
{
    const _variant_t value = V7Get(iCheckBox, &IVel7Control::get_Value);
    _variant_t number;
    if (FAILED(VariantChangeType(&number, const_cast<_variant_t*>(&value), 0, VT_I2)))
        return false;
    return V_I2(&number) != 0;
}

void VelPPCheckList::SyncEnabled()
{
    V7Call(iComboBox, &IVel7Control::put_Enabled, IsChecked() ? VARIANT_TRUE : VARIANT_FALSE);
}

int32_t VelPPCheckList::CurrentItem()
{
    const std::wstring value = VariantToWString(V7Get(iComboBox, &IVel7Control::get_Value));
    return V7Get(iComboBox, &IVel7ComboBox::ItemIndex, _bstr_t(value.c_str()));
}
