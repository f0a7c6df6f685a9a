#include "core/plane_geometry.h"

#include <cmath>

bool IsEqualRel(double a, double b, double eps)
{
    if (a == b)
        return true;
    if (a == 0)
        return std::fabs(b) < eps;
    if (b == 0)
        return std::fabs(a) < eps;
    return std::fabs(a / b - 1) <= eps;
}

void Line2D::Init()
{
    dx = x2 - x1;
    dy = y2 - y1;
    nx = -dy;
    ny = dx;
    c = y2 * x1 - y1 * x2;
    angle = std::atan2(dy, dx);
}

bool Line2D::IsParallel(const Line2D& other) const
{
    // Comparing angles would count mirror images (+30 and -30 degrees) as parallel and judge
    // near-horizontal noise by a relative tolerance; the cross product of the directions does neither.
    const double cross = dx * other.dy - dy * other.dx;
    return std::fabs(cross) <= 1e-6 * std::hypot(dx, dy) * std::hypot(other.dx, other.dy);
}
