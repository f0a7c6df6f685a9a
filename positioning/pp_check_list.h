#pragma once
// A check box with the combo box it switches: the spc options of the part panels (whether to make a
// bill-of-materials object, and by which preset).
#include "hostapi/velmar7.h"

#include <cstdint>

class VelPPCheckList {
public:
    VelPPCheckList(IVel7Control* checkBox, IVel7ComboBox* comboBox) : iCheckBox(checkBox), iComboBox(comboBox) {}
    virtual ~VelPPCheckList() = default;
    VelPPCheckList(const VelPPCheckList&) = delete;
    VelPPCheckList& operator=(const VelPPCheckList&) = delete;

    bool IsChecked();
    // The combo box is enabled exactly while the check box is checked.
    void SyncEnabled();
    // The index of the combo box's value among its items (the first of equal texts); -1 when the value
    // is none of them.
    int32_t CurrentItem();

private:
    IVel7ControlPtr iCheckBox;
    IVel7ComboBoxPtr iComboBox;
};
