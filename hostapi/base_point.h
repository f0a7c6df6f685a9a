#pragma once
// The base point of a sketch object placed beside a segment of the sketch: the point at a distance from
// the segment's start, square to the segment, on the side a flag chooses.
#include "hostapi/velmar5.h"

struct BasePoint {
    double x = 0;
    double y = 0;
    double angle = 0;   // the segment's direction, degrees
};

// angle = atan2 of the segment; the point lies at the distance from (x1, y1) along angle - 90 degrees,
// or along angle + 90 degrees on the other side.
BasePoint BasePointBeside(double x1, double y1, double x2, double y2, double distance, bool otherSide);

// The same for a segment of a sketch being edited: its parameters (a structure of kind 11 from the
// application) read through the editing object's 8 with (reference, structure, -1).
BasePoint MoveBasePoint3D(IVel5Application* application, IVel5Document2D* editor, long reference, double distance,
                          bool otherSide);
