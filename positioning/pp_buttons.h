#pragma once
// The controls of one selection on a panel, kept in step with its record: the select button that arms
// it, the field that shows what was picked and, for a mate, the pair of direction buttons and the
// section's toggle.
#include "insert3d/velmar_mate.h"
#include "hostapi/velmar7.h"

#include <cstdint>
#include <string>

// What a select field shows for an object: the translated "Не выбрано" without one; else the part's
// name and the object's joined by "." (a face definition is shown by its face).
std::wstring SelectedObjectName(IDispatch* object);

class VelPPButton {
public:
    // The button's id is the select button collection's control id less 100.
    VelPPButton(PosPanelMate* record, IVel7SelectField* field, IVel7Buttons* button);
    virtual ~VelPPButton() = default;
    VelPPButton(const VelPPButton&) = delete;
    VelPPButton& operator=(const VelPPButton&) = delete;

    // The field's value becomes the selected object's name, its hint its name, ": " and that name.
    virtual void UpdateCaption();
    // Enabled and checked.
    bool IsChecked();
    void SetChecked(bool checked);
    // Of the select button.
    void SetEnabled(bool enabled);
    // Of the select button and the field together.
    void SetVisible(bool visible);
    PosPanelMate& Record() { return *Mate; }

protected:
    uint32_t ButtonId;
    PosPanelMate* Mate;
    IVel7ButtonsPtr iButton;
    IVel7SelectFieldPtr iField;
};

class VelPPDirButton : public VelPPButton {
public:
    // The forward button's id is the direction collection's control id less 100, the reverse one's that
    // plus 1.
    VelPPDirButton(PosPanelMate* record, IVel7Buttons* directions, IVel7SelectField* field, IVel7Buttons* button);

    // The caption, then the direction pair: enabled when the record holds an object and `enable` is
    // set; when enabled, the record's direction checks forward (1), reverse (any other but 0) or
    // neither (0).
    virtual void UpdateDirection(bool enable);

protected:
    IVel7ButtonsPtr iDirections;
    uint32_t ForwardId;
    uint32_t ReverseId;
};

class VelPPTxtDirButton : public VelPPDirButton {
public:
    VelPPTxtDirButton(PosPanelMate* record, IVel7Buttons* directions, IVel7SelectField* field, IVel7Buttons* button,
                      IVel7Control* toggle);

protected:
    IVel7ControlPtr iToggle;
    uint32_t ToggleId;
};
