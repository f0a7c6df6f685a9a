#include "positioning/placement_math.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
// Velmar's values are exact to about this much.
constexpr double kTolerance = 1e-6;

} // namespace

double Radians(double degrees)
{
    return degrees * kPi / 180;
}

Point2D SketchPointOf(double X, double Y)
{
    return {-Y, X};
}

void CoordinatesOfSketchPoint(const Point2D& point, double& X, double& Y)
{
    X = point.y;
    Y = -point.x;
}

Line2D OffsetLine(const Line2D& line, double d)
{
    Line2D moved = line;
    const double dx = -std::cos(line.angle - kPi / 2) * d;
    const double dy = -std::sin(line.angle - kPi / 2) * d;
    moved.x1 += dx;
    moved.y1 += dy;
    moved.x2 += dx;
    moved.y2 += dy;
    moved.Init();
    return moved;
}

std::optional<Point2D> Intersection(const Line2D& first, const Line2D& second)
{
    // Projections of edges that the user picked long ago may have become parallel since: no division
    // by zero may come of it.
    if (first.IsParallel(second))
        return std::nullopt;
    const double a1 = first.nx, b1 = first.ny, c1 = first.c;
    const double a2 = second.nx, b2 = second.ny, c2 = second.c;
    const double d = a2 * b1 - a1 * b2;
    return Point2D{(c1 * b2 - c2 * b1) / d, (c2 * a1 - c1 * a2) / d};
}

std::pair<Point3D, Point3D> AuxLinePoints(bool symmetric, double offset, double u, double v)
{
    const Point3D first = symmetric ? Point3D{offset, -u, -v} : Point3D{offset, 0, 0};
    if (std::fabs(u) < kTolerance && std::fabs(v) < kTolerance)
        return {first, {offset + 1, 0, 0}};
    return {first, {offset, u, v}};
}

bool IsReversedShift(double A)
{
    return IsEqualRel(A, -1.0, kTolerance);
}

OffsetPlaneSide OffsetPlaneOf(double X, double A)
{
    return {IsReversedShift(A) != (X < 0), std::fabs(X)};
}

double CorrectedAngle(double base, double phi)
{
    double value = 360 - phi * 180 / kPi + base;
    if (value >= 360)
        value -= 360;
    return value;
}

double NearestDistance(const std::vector<Point3D>& points, const Point3D& from)
{
    if (points.empty())
        return 0;
    double nearest = 1e30;
    for (const Point3D& p : points)
        nearest = std::min(nearest, std::sqrt((p.x - from.x) * (p.x - from.x) + (p.y - from.y) * (p.y - from.y) +
                                              (p.z - from.z) * (p.z - from.z)));
    return nearest;
}
