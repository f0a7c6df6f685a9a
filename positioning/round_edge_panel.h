#pragma once
// The panel of an element on an existing cylindrical feature picked by one of its round edges
// (positioning modes 15 to 17): the edge gives the planar start face and the cylindrical face that meet
// at it; the edge itself is not kept.
#include "positioning/positioning_panel.h"

class RoundEdgePanel : public PositioningPanel {
public:
    RoundEdgePanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode,
                   uint32_t helpId);
    ~RoundEdgePanel() override;

    VARIANT_BOOL ChangeControlValue(IDispatch*) override { return VARIANT_FALSE; }
    VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) override;
    VARIANT_BOOL ProcessActivate() override;
    VARIANT_BOOL IsComplete() override;
    BOOL SelectFilter(IDispatch* object) override;
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;
    void UpdatePrompt() override;

private:
    void ShowCaptions();
    void HighlightFaces();

    PosPanelMate StartMate;
    PosPanelMate CylinderMate;
    std::unique_ptr<VelPPButton> Edge;
    IVel7SelectFieldPtr CylinderField;
};
