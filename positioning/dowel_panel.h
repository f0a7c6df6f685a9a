#pragma once
// The panel of a dowel-like element (positioning modes 3 to 14): a planar start face with the distance
// from it and its mating direction, a cylindrical face of the kinds the mode allows and, in the odd
// modes, the turn about the cylinder's axis with the object it is measured from.
#include "positioning/positioning_panel.h"
#include "positioning/pp_spin_dir_edit.h"

class DowelPanel : public PositioningPanel {
public:
    // helpId: the mode's (NMElemPos::IsDowelMode).
    DowelPanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode,
               uint32_t helpId);
    ~DowelPanel() override;

    VARIANT_BOOL ChangeControlValue(IDispatch* control) override;
    VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) override;
    VARIANT_BOOL ProcessActivate() override;
    VARIANT_BOOL IsComplete() override;
    BOOL SelectFilter(IDispatch* object) override;
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;
    void UpdatePrompt() override;

private:
    bool Turnable() const { return static_cast<bool>(Guide); }
    void SetButtonStates();
    void Refresh();
    void MoveAndHighlight();

    PosPanelMate StartMate;
    PosPanelMate CylinderMate;
    PosPanelMate GuideMate;
    std::unique_ptr<VelPPButton> Start;
    std::unique_ptr<VelPPSpinDirEdit> Distance;
    std::unique_ptr<VelPPButton> Cylinder;
    IVel7SpinEditPtr Angle;
    std::unique_ptr<VelPPButton> Guide;
};
