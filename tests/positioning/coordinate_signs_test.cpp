// The two-planes panel's spin arithmetic: what the spins show reads back as the record it came from,
// and the sides of two edges give the signs.
#include "positioning/coordinate_signs.h"

#include <gtest/gtest.h>

namespace {

Line2D Edge(double x1, double y1, double x2, double y2)
{
    Line2D line;
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
    line.Init();
    return line;
}

} // namespace

TEST(CoordinateSigns, WhatTheSpinsShowReadsBackAsTheRecordInEitherWayOfPlacing)
{
    const double values[][2] = {{3, -4}, {-3, 4}, {2.5, 7}, {-1, -9}};
    for (const auto& [X, Y] : values) {
        // By coordinates the spins show (-Y, X) and the signs stay +1.
        const SpinValues byCoordinates = ShownSpins(X, Y, false);
        EXPECT_EQ(byCoordinates.x, -Y);
        EXPECT_EQ(byCoordinates.y, X);
        const SpinReading read = ReadSpins(byCoordinates.x, byCoordinates.y, {});
        EXPECT_EQ(read.X, X);
        EXPECT_EQ(read.Y, Y);
        // From two edges they show magnitudes; the signs keep the sides.
        const SpinValues magnitudes = ShownSpins(X, Y, true);
        EXPECT_GT(magnitudes.x, 0);
        EXPECT_GT(magnitudes.y, 0);
        const SpinReading back = ReadSpins(magnitudes.x, magnitudes.y, SignsFromValues(X, Y));
        EXPECT_EQ(back.X, X) << X << "," << Y;
        EXPECT_EQ(back.Y, Y) << X << "," << Y;
    }
}

TEST(CoordinateSigns, TwoEdgesGiveTheSidesOfTheirCornerAndParallelOnesNone)
{
    struct Row {
        Line2D first, second;
        CoordinateSigns expected;
    };
    const Row rows[] = {
        {Edge(0, 0, 10, 0), Edge(0, 0, 0, 10), {1, 1}},
        // The first edge drawn the other way round turns its side.
        {Edge(10, 0, 0, 0), Edge(0, 0, 0, 10), {1, -1}},
        // The corner lies on the other side of a second edge further out.
        {Edge(0, 0, 10, 0), Edge(20, 0, 20, 10), {-1, 1}},
        // Edges at +30 and -30 degrees meet.
        {Edge(0, 0, 10, 5.7735026919), Edge(0, 0, 10, -5.7735026919), {-1, -1}},
        {Edge(10, 0, 0, 0), Edge(0, 5, 10, 5), {1, 1}},
    };
    for (const Row& row : rows) {
        const CoordinateSigns signs = SignsFromEdges(row.first, row.second);
        EXPECT_EQ(signs.first, row.expected.first) << &row - rows;
        EXPECT_EQ(signs.second, row.expected.second) << &row - rows;
    }
}
