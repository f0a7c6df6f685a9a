#include "core/plane_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Line2D MakeLine(double x1, double y1, double x2, double y2)
{
    Line2D line;
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
    line.Init();
    return line;
}

Line2D AtAngle(double degrees, double length = 1)
{
    const double radians = degrees * 3.141592653589793 / 180;
    return MakeLine(1, 2, 1 + length * std::cos(radians), 2 + length * std::sin(radians));
}

} // namespace

TEST(PlaneGeometry, IsEqualRelIsRelativeWithAStrictBoundAtZero)
{
    EXPECT_TRUE(IsEqualRel(0, 1e-7, 1e-6));
    EXPECT_FALSE(IsEqualRel(0, 1e-6, 1e-6));
    EXPECT_TRUE(IsEqualRel(1e-7, 0, 1e-6));
    EXPECT_FALSE(IsEqualRel(-1e-6, 0, 1e-6));
    EXPECT_TRUE(IsEqualRel(1000, 1000.001, 1e-6));
    EXPECT_FALSE(IsEqualRel(1000, 1000.0011, 1e-6));
    EXPECT_TRUE(IsEqualRel(-5, -5, 0));
    EXPECT_FALSE(IsEqualRel(5, -5, 1e-6));
}

TEST(PlaneGeometry, InitDerivesDirectionNormalAndOffset)
{
    const Line2D line = MakeLine(1, 2, 4, 6);
    EXPECT_EQ(line.dx, 3);
    EXPECT_EQ(line.dy, 4);
    EXPECT_EQ(line.nx, -4);
    EXPECT_EQ(line.ny, 3);
    EXPECT_EQ(line.c, 6 * 1 - 2 * 4);
    EXPECT_DOUBLE_EQ(line.angle, std::atan2(4.0, 3.0));
    // Both points lie on the line nx*x + ny*y + c = 0.
    EXPECT_EQ(line.nx * line.x1 + line.ny * line.y1 + line.c, 0);
    EXPECT_EQ(line.nx * line.x2 + line.ny * line.y2 + line.c, 0);
    EXPECT_DOUBLE_EQ(MakeLine(0, 0, -1, -1e-300).angle, -3.141592653589793);
}

TEST(PlaneGeometry, SameAndOppositeDirectionsAreParallel)
{
    EXPECT_TRUE(MakeLine(0, 0, 1, 0).IsParallel(MakeLine(1, 0, 0, 0)));
    EXPECT_TRUE(MakeLine(0, 0, 1, 0).IsParallel(MakeLine(5, 7, 100, 7)));
    EXPECT_TRUE(AtAngle(30).IsParallel(AtAngle(30, 1000)));
    EXPECT_TRUE(AtAngle(30).IsParallel(AtAngle(-150)));
    EXPECT_TRUE(AtAngle(90).IsParallel(AtAngle(-90)));
    EXPECT_TRUE(AtAngle(180).IsParallel(AtAngle(-180)));
}

TEST(PlaneGeometry, MirrorImageLinesAreNotParallel)
{
    EXPECT_FALSE(AtAngle(30).IsParallel(AtAngle(-30)));
    EXPECT_FALSE(AtAngle(150).IsParallel(AtAngle(-150)));
    EXPECT_FALSE(AtAngle(0).IsParallel(AtAngle(90)));
    EXPECT_FALSE(AtAngle(10).IsParallel(AtAngle(10.01)));
}

TEST(PlaneGeometry, NearHorizontalNoiseStillCountsAsParallel)
{
    // Angles of 1e-8 and 3e-8 radians differ by a factor of three, yet both lines are horizontal.
    const Line2D a = MakeLine(0, 0, 100, 100 * 1e-8);
    const Line2D b = MakeLine(0, 5, 100, 5 + 100 * 3e-8);
    EXPECT_TRUE(a.IsParallel(b));
    EXPECT_TRUE(b.IsParallel(a));
    EXPECT_TRUE(a.IsParallel(MakeLine(100, 0, 0, 3e-6)));
}
