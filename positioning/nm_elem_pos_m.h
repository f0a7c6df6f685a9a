#pragma once
// The positioning model of the two-planes modes 0 and 1: the element stands on a start surface (mode 1:
// and runs to an end surface) at a point set in a sketch on that surface, by coordinates, from two
// edges, at the centre of a round edge or at a vertex, shifted from it by R in the direction A. Each
// record's preview is a sketch with its one point, a frame on that sketch and an auxiliary line in the
// frame that carries the shift.
#include "positioning/nm_elem_pos.h"

#include <optional>
#include <utility>

class PlacementSketch;

class NMElemPosM : public NMElemPos {
public:
    NMElemPosM(IVel5Application* app5, IVel7Application* app7, PositioningMode mode);
    explicit NMElemPosM(const NMElemPos& source) : NMElemPos(source) {}
    ~NMElemPosM() override;

    void CreateGeom(ElemPos& item) override;
    double CalcHeight(ElemPos& item, IDispatch* surface) override;
    void UpdateHeight() override;
    bool RecreateGeom(ElemPos& item, bool correctAngle) override;
    void ApplyPosition(ElemPos& item) override;

    // Puts the record's sketch point where its sub-mode says.
    void DrawPoint(ElemPos& item);

    // For the two-planes panel, on the current record's sketch:
    // its point read back into X and Y;
    void ReadSketchPoint();
    // X and Y from a picked vertex or round edge; false when its projection gives no point;
    bool TakeProjectedPoint(IDispatch* object);
    // whether an edge projects as a line;
    bool IsEdgeProjectable(IDispatch* edge);
    // both edges as lines; none when either does not project as one.
    std::optional<std::pair<Line2D, Line2D>> ProjectEdges(IDispatch* first, IDispatch* second);
    // -1 when the object is part of a record's own preview, 0 otherwise: a record's vertex or a point of
    // its sketch; an edge (kind 7) of a record's auxiliary line; a point (kind 8) of it.
    long IsPreviewPoint(IDispatch* object);
    long IsAuxLineEdge(IDispatch* object);
    long IsAuxLinePoint(IDispatch* object);

private:
    Point2D PointOfItem(ElemPos& item, PlacementSketch& sketch);
    long IsAuxLineObject(IDispatch* object, short kind);
};
