#include "hostapi/base_point.h"

#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr short kSegmentParameters = 11;

} // namespace

BasePoint BasePointBeside(double x1, double y1, double x2, double y2, double distance, bool otherSide)
{
    BasePoint point;
    point.angle = std::atan2(y2 - y1, x2 - x1) / (kPi / 180.0);
    // Which side is "other" is our reading of the editing flag: the element sits square to the edge,
    // on the side away from the edge's normal unless the flag turns it round.
    const double theta = (point.angle + (otherSide ? 90.0 : -90.0)) * kPi / 180.0;
    point.x = x1 + std::cos(theta) * distance;
    point.y = y1 + std::sin(theta) * distance;
    return point;
}

BasePoint MoveBasePoint3D(IVel5Application* application, IVel5Document2D* editor, long reference, double distance,
                          bool otherSide)
{
    const IVel5SegmentParamPtr segment = RequireHost(
        ObjectAs<IVel5SegmentParam>(V5Method(application, IVel5Application::NewStructure, kSegmentParameters)));
    V5Method(editor, IVel5Document2D::ReadParams, reference, segment, -1L);
    const double x1 = V5Get(segment, IVel5SegmentParam::X1);
    const double y1 = V5Get(segment, IVel5SegmentParam::Y1);
    const double x2 = V5Get(segment, IVel5SegmentParam::X2);
    const double y2 = V5Get(segment, IVel5SegmentParam::Y2);
    return BasePointBeside(x1, y1, x2, y2, distance, otherSide);
}
