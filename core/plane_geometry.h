#pragma once
// A relative comparison of measured or converted numbers and a small 2D line record.

// a == b exactly; with one of them zero, the other strictly below eps in magnitude; else |a/b - 1| <= eps.
bool IsEqualRel(double a, double b, double eps);

// Set x1, y1, x2, y2, then call Init for the derived fields.
struct Line2D {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double dx = 0, dy = 0;     // x2 - x1, y2 - y1
    double nx = 0, ny = 0;     // the normal: -dy, dx
    double c = 0;              // y2*x1 - y1*x2, so that nx*x + ny*y + c == 0 on the line
    double angle = 0;          // atan2(dy, dx), -pi..pi

    void Init();
    // Same or opposite direction, within 1e-6 of the product of the lengths (a cross product test).
    bool IsParallel(const Line2D& other) const;
};
