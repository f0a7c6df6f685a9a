#pragma once
// The base of the 2D panels: Velmar's placement process in the active 2D document, which moves the
// placed object with the cursor while the panel is shown and gives back where the user put it.
#include "positioning/vel_base_panel.h"

class VelBasePanel2D : public VelBasePanel {
public:
    // placementInfo: the caller's, or null for a new one; placedObject may be null.
    VelBasePanel2D(IVel5Application* application5, IVel7Application* application7, const std::wstring& headerCaption,
                   const std::wstring& pageCaption, IDispatch* placementInfo, IDispatch* placedObject, uint32_t helpId,
                   bool headerStyle);
    ~VelBasePanel2D() override;

    // The placement process; true when the user accepted, with X, Y and Angle where the object was put.
    bool Run() override;

    // The ends of a 2D panel's run: no selection process, no callbacks to answer.
    BOOL SelectFilter(IDispatch*) override { return FALSE; }
    BOOL SelectCallback(IDispatch*, LONG_PTR) override { return FALSE; }

    double X = 0;
    double Y = 0;
    double Angle = 0;

protected:
    void EndProcess() override;

    IVel5RequestInfo2DPtr iPlacementInfo;
    IVel5Document2DPtr iDoc2D;
    IDispatchPtr iPlacedObject;
};
