#pragma once
// The placement modes of a constructive element (PosMode 0 to 20) and what hangs on each: the kind of
// model that builds it, the dowel panel's help id, the cylinders it may be put on, whether it picks a
// direction object by itself. -1 (an element stored without a mode) is none of them.
#include <cstdint>

using PositioningMode = int32_t;

namespace positioning_modes {

// 0 and 1: a point on a start surface, set in a sketch (NMElemPosM); every other mode: on a cylinder.
bool IsTwoPlanes(PositioningMode mode);
bool IsHole(PositioningMode mode);          // 2
bool IsRoundEdge(PositioningMode mode);     // 15 to 17
bool IsThread(PositioningMode mode);        // 18 to 20
// The dowel panel's help id for 3 to 14 (830, 840, 835, 845 by (mode - 3) mod 4); 0 for every other mode.
int32_t DowelHelpId(PositioningMode mode);
// Inner: a bore (a concave cylinder or round edge); outer: a shaft.
bool IsInnerAllowed(PositioningMode mode);
bool IsOuterAllowed(PositioningMode mode);
// 3, 5, 7, 9, 11, 13: turned about the cylinder's axis by Y, and the only round modes that pick a
// direction object by themselves.
bool IsTurnable(PositioningMode mode);
// 3, 4, 7, 8, 11, 12: start at a plane offset from the start surface.
bool IsShifted(PositioningMode mode);

} // namespace positioning_modes
