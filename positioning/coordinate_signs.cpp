#include "positioning/coordinate_signs.h"

#include "positioning/placement_math.h"

#include <cmath>

CoordinateSigns SignsFromValues(double X, double Y)
{
    return {static_cast<int16_t>(Y < 0 ? 1 : -1), static_cast<int16_t>(X > 0 ? 1 : -1)};
}

CoordinateSigns SignsFromEdges(const Line2D& first, const Line2D& second)
{
    auto through = [](double x, double y, const Line2D& direction) {
        Line2D line;
        line.x1 = x;
        line.y1 = y;
        line.x2 = x + direction.dx;
        line.y2 = y + direction.dy;
        line.Init();
        return line;
    };
    const Line2D alongFirst = through((second.x1 + second.x2) / 2, (second.y1 + second.y2) / 2, first);
    const Line2D alongSecond = through((first.x1 + first.x2) / 2, (first.y1 + first.y2) / 2, second);
    const std::optional<Point2D> corner = Intersection(alongFirst, alongSecond);
    if (!corner)
        return {};
    auto side = [&](const Line2D& edge) { return edge.nx * corner->x + edge.ny * corner->y + edge.c; };
    return {static_cast<int16_t>(side(second) < 0 ? 1 : -1), static_cast<int16_t>(side(first) > 0 ? 1 : -1)};
}

SpinReading ReadSpins(double spinX, double spinY, const CoordinateSigns& signs)
{
    return {spinY * signs.second, spinX * -signs.first};
}

SpinValues ShownSpins(double X, double Y, bool fromTwoEdges)
{
    if (fromTwoEdges)
        return {std::fabs(Y), std::fabs(X)};
    return {0.0 - Y, X};
}
