#pragma once
// The positioning model of every mode that puts the element on a cylinder (all but 0 and 1): the
// element's axis is the picked cylindrical face's, it starts on the start surface or shifted from it by
// X along the axis (A = -1 reverses the shift), and the turnable dowel modes turn it about the axis by Y.
// Each record's preview is an axis on the face, a plane on the start surface, a frame standing on both,
// an auxiliary line in the frame and, in the shifted dowel modes, a plane offset from the start surface.
#include "positioning/nm_elem_pos.h"

class NMElemPosR : public NMElemPos {
public:
    NMElemPosR(IVel5Application* app5, IVel7Application* app7, PositioningMode mode);
    explicit NMElemPosR(const NMElemPos& source) : NMElemPos(source) {}
    ~NMElemPosR() override;

    void CreateGeom(ElemPos& item) override;
    double CalcHeight(ElemPos& item, IDispatch* surface) override;
    void UpdateHeight() override;
    bool RecreateGeom(ElemPos& item, bool correctAngle) override;
    void ApplyPosition(ElemPos& item) override;

private:
    // The offset plane's side and distance by the record's X and A.
    void PlaceOffsetPlane(IVel5OffsetPlaneDefinition* definition, const ElemPos& item);
};
