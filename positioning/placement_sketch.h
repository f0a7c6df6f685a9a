#pragma once
// A record's placement sketch opened for editing for the scope, closed again at its end (also when a
// failure passes): its one placement point, and the points and lines that picked model objects give
// when they are projected into it. A projection is removed again before the call returns.
#include "core/plane_geometry.h"
#include "hostapi/scope_exit.h"
#include "positioning/placement_math.h"

#include <optional>

class PlacementSketch {
public:
    PlacementSketch(IVel5Application* application, IDispatch* sketch);
    PlacementSketch(const PlacementSketch&) = delete;
    PlacementSketch& operator=(const PlacementSketch&) = delete;

    // The sketch's point object; none when it has none.
    std::optional<Point2D> Point();
    // Moves the sketch's point there, or makes it (point style 7) when the sketch has none yet: a
    // placement sketch holds one point.
    void PutPoint(const Point2D& point);
    // A vertex or a round edge projected: the position of a point, the centre of an arc, a circle or
    // an object of kind 32, tried in that order; none for any other projection.
    std::optional<Point2D> ProjectedPoint(IDispatch* object);
    // An edge projected: the line of a segment; none for any other projection.
    std::optional<Line2D> ProjectedLine(IDispatch* object);

private:
    long FirstPoint();
    // The parameters of a 2D object read into a new structure of that kind; the object's kind.
    long Read(long reference, short structureKind, IDispatchPtr& parameters);

    IVel5ApplicationPtr application_;
    IVel5SketchDefinitionPtr definition_;
    std::optional<ScopeExitDispid2> close_;
    IVel5Document2DPtr editor_;
};
