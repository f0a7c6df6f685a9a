#pragma once
// The arithmetic of the two-planes panel's coordinate spins. A point placed from two edges keeps its
// distances from them as magnitudes and the side of each edge as a sign; the panel's "X" spin edits the
// record's Y and its "Y" spin the record's X, because the record's axes are the sketch's turned.
#include "core/plane_geometry.h"

#include <cstdint>

struct CoordinateSigns {
    int16_t first = 1;    // of the "X" spin (the record's Y)
    int16_t second = 1;   // of the "Y" spin (the record's X)
};

// From the record's values: first +1 when Y < 0, second +1 when X > 0, each -1 otherwise.
CoordinateSigns SignsFromValues(double X, double Y);

// From the two edges' projections: the line through the second edge's middle along the first edge and
// the line through the first edge's middle along the second meet at a point; first is +1 when the
// second edge's equation is negative there, second +1 when the first edge's is positive. Parallel
// edges give no point and both signs +1.
CoordinateSigns SignsFromEdges(const Line2D& first, const Line2D& second);

// The record's values from the spins: Y := "X" spin times the negated first sign, X := "Y" spin times
// the second sign.
struct SpinReading {
    double X = 0;
    double Y = 0;
};
SpinReading ReadSpins(double spinX, double spinY, const CoordinateSigns& signs);

// What the spins show for a record: by coordinates (-Y, X); from two edges the magnitudes (|Y|, |X|).
struct SpinValues {
    double x = 0;
    double y = 0;
};
SpinValues ShownSpins(double X, double Y, bool fromTwoEdges);
