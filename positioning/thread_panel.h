#pragma once
// The panel of an element on a thread (positioning modes 18 to 20): the picked thread gives its planar
// start face and its cylindrical face, from the library element that made it or from the edge it
// starts at; either face can also be picked by hand once a thread is set.
#include "positioning/positioning_panel.h"

class ThreadPanel : public PositioningPanel {
public:
    ThreadPanel(IVel5Application* application5, IVel7Application* application7, NMElemPos* caller, bool editMode,
                uint32_t helpId);
    ~ThreadPanel() override;

    VARIANT_BOOL ChangeControlValue(IDispatch*) override { return VARIANT_FALSE; }
    VARIANT_BOOL ControlCommand(IDispatch* control, long buttonId) override;
    VARIANT_BOOL ProcessActivate() override;
    VARIANT_BOOL IsComplete() override;
    BOOL SelectFilter(IDispatch* object) override;
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override;
    void UpdatePrompt() override;

private:
    // The start and face buttons work only once a thread is set.
    void EnableAndHighlight();
    void HighlightAll();
    // The thread's start face and cylindrical face; false when they cannot be told.
    bool FacesOfThread(IVel5Entity* thread, IDispatchPtr& start, IDispatchPtr& face);

    PosPanelMate ThreadMate;
    PosPanelMate StartMate;
    PosPanelMate CylinderMate;
    std::unique_ptr<VelPPButton> Thread;
    std::unique_ptr<VelPPButton> Start;
    std::unique_ptr<VelPPButton> Cylinder;
};
