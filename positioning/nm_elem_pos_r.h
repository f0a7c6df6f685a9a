#pragma once
// The positioning model of the round-surface modes: every mode but 0 and 1. Its geometry is not built yet: the geometry
// operations raise E_NOTIMPL.
#include "positioning/nm_elem_pos.h"

class NMElemPosR : public NMElemPos {
public:
    NMElemPosR(IVel5Application* app5, IVel7Application* app7, PositioningMode mode);
    explicit NMElemPosR(const NMElemPos& source) : NMElemPos(source) {}

    void CreateGeom(ElemPos& item) override;
    double CalcHeight(ElemPos& item, IDispatch* surface) override;
    void UpdateHeight() override;
    bool RecreateGeom(ElemPos& item, bool correctAngle) override;
    void ApplyPosition(ElemPos& item) override;
};
