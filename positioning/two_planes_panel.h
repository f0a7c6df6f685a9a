#pragma once
// The panel of an element on a start surface (positioning mode 0) or between a start and an end surface
// (mode 1). Each point of the element is a placement record fixed in one of four ways: by coordinates,
// from two edges (distances with a side each), at the centre of a round edge or at a vertex; a polar
// shift and a guiding object may follow. When inserting, points are added, chosen and removed in the
// panel; at least one stays.
#include "positioning/coordinate_signs.h"
#include "positioning/nm_elem_pos_m.h"
#include "positioning/positioning_panel.h"

class TwoPlanesPanel : public PositioningPanel {
public:
    // helpId: 820 for mode 0, 815 for mode 1.
    TwoPlanesPanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode,
                   uint32_t helpId);
    ~TwoPlanesPanel() override;

    VARIANT_BOOL ButtonClick(long buttonId) override;
    VARIANT_BOOL ChangeControlValue(IDispatch* control) override;
    VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) override;
    VARIANT_BOOL ProcessActivate() override;
    // The working copy's unused references go before it is written back; an edited element whose place
    // only moved in its sketch is marked to be moved rather than rebuilt (isMove).
    void OnAccepted() override;
    VARIANT_BOOL IsComplete() override;
    BOOL SelectFilter(IDispatch* object) override;
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;
    void UpdatePrompt() override;

private:
    NMElemPosM& Points();
    bool HasEnd() const { return static_cast<bool>(End); }
    // Every record's preview; a failure resets the model (the previews go first) and the panel goes on.
    void BuildPreviews();
    void Reset();
    void SetDefaultSubMode(ElemPos& item);
    void ApplySubMode(const wchar_t* name);
    void SetSubModeControls();
    void LoadItemControls();
    void ReadCoordinateSpins();
    void Refresh();
    void MoveAndHighlight();
    void AddPoint();
    void ChooseItem(long row);
    // Shows the current point, added or chosen.
    void ShowItem();
    bool TakeEdge(IDispatch* object, bool first);
    bool TakeProjected(IDispatch* object, PosPanelMate* mate, IDispatchPtr ElemPos::*reference);
    void Refuse(const wchar_t* message);
    void ShowSpin(IVel7SpinEdit* spin, double value, bool visible, double low, double high);
    void ShowDirections(IVel7Buttons* pair, int16_t sign);

    PosPanelMate StartMate;
    PosPanelMate EndMate;
    PosPanelMate Edge1Mate;
    PosPanelMate Edge2Mate;
    PosPanelMate RoundEdgeMate;
    PosPanelMate VertexMate;
    PosPanelMate GuideMate;
    std::unique_ptr<VelPPButton> Start;
    std::unique_ptr<VelPPButton> End;
    IVel7ButtonsPtr PointBar;
    IVel7ComboBoxPtr PointCombo;
    IVel7ButtonsPtr SubModes;
    std::unique_ptr<VelPPButton> Edge1;
    IVel7SpinEditPtr SpinX;
    IVel7ButtonsPtr DirectionsX;
    std::unique_ptr<VelPPButton> Edge2;
    IVel7SpinEditPtr SpinY;
    IVel7ButtonsPtr DirectionsY;
    std::unique_ptr<VelPPButton> RoundEdge;
    std::unique_ptr<VelPPButton> Vertex;
    IVel7SpinEditPtr SpinR;
    IVel7SpinEditPtr SpinA;
    std::unique_ptr<VelPPButton> Guide;
};
