#pragma once
// The panel of a hole element (positioning mode 2): a start surface, an end surface and the cylindrical
// faces of the holes, one element per hole. When inserting, the holes are listed and a listed hole
// picked again leaves the list; all holes of one element have the radius of the first. When editing, the
// one hole's face can be changed for another of its radius.
#include "positioning/positioning_panel.h"

class HolePanel : public PositioningPanel {
public:
    HolePanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode);
    ~HolePanel() override;

    // OK needs the first hole's axis to meet the end surface.
    VARIANT_BOOL ButtonClick(long buttonId) override;
    VARIANT_BOOL ChangeControlValue(IDispatch*) override { return VARIANT_FALSE; }
    VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) override;
    VARIANT_BOOL ProcessActivate() override;
    VARIANT_BOOL IsComplete() override;
    BOOL SelectFilter(IDispatch* object) override;
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;
    void UpdatePrompt() override;

private:
    void SetButtonStates();
    void Refresh();
    void HighlightAll();
    // A picked surface may be neither the start nor the end surface the panel holds.
    bool IsHeldSurface(IDispatch* object);
    void TakeHoleFace(IDispatch* face);

    PosPanelMate StartMate;
    PosPanelMate EndMate;
    PosPanelMate CylinderMate;
    std::unique_ptr<VelPPButton> Start;
    std::unique_ptr<VelPPButton> End;
    std::unique_ptr<VelPPButton> Cylinder;
    IVel7HoleListPtr HoleList;
};
