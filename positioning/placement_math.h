#pragma once
// The arithmetic of placing a constructive element: where a record's point goes in its sketch, the point
// two edges give, the auxiliary line in the placement frame, the offset plane's side, the turn that
// follows a direction object and the nearest of the points where the element's axis meets a surface.
#include "core/plane_geometry.h"

#include <optional>
#include <utility>
#include <vector>

struct Point2D {
    double x = 0;
    double y = 0;
};

struct Point3D {
    double x = 0;
    double y = 0;
    double z = 0;
};

double Radians(double degrees);

// A record's X and Y are the sketch's y and -x: the sketch point is (-Y, X).
Point2D SketchPointOf(double X, double Y);
// The reverse reading: X = sketch y, Y = -sketch x.
void CoordinatesOfSketchPoint(const Point2D& point, double& X, double& Y);

// A copy of the line moved sideways by d; a positive d moves it to its left.
Line2D OffsetLine(const Line2D& line, double d);
// Where two lines meet; none when they are parallel or of zero length (Line2D::IsParallel).
std::optional<Point2D> Intersection(const Line2D& first, const Line2D& second);

// The auxiliary line in its frame (the first coordinate along the frame's axis): from (offset, -u, -v)
// when symmetric, else from (offset, 0, 0); to (offset, u, v), or one unit along the axis when u and v
// are both below 1e-6 in magnitude.
std::pair<Point3D, Point3D> AuxLinePoints(bool symmetric, double offset, double u, double v);

// A record's A reverses the shift along the cylinder's axis when it equals -1 (within 1e-6).
bool IsReversedShift(double A);

// The plane offset from the start surface by X: its distance is |X|, and it runs against the start
// surface exactly when one of A (reversing) and a negative X says so.
struct OffsetPlaneSide {
    bool reversed = false;
    double distance = 0;
};
OffsetPlaneSide OffsetPlaneOf(double X, double A);

// The turn that makes a record's zero direction follow a direction at angle phi (radians) in the start
// plane: 360 - phi in degrees + base, less 360 once when it reaches 360.
double CorrectedAngle(double base, double phi);

// The smallest distance from the point to any of the points; 0 when there are none.
double NearestDistance(const std::vector<Point3D>& points, const Point3D& from);
