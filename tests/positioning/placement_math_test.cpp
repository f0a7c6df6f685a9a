// The arithmetic of placing an element, the modes' columns and the location fields, against
// hand-worked numbers.
#include "positioning/placement_math.h"

#include "core/number_text.h"
#include "positioning/location_fields.h"
#include "positioning/positioning_modes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kPi = 3.141592653589793;

Line2D Line(double x1, double y1, double x2, double y2)
{
    Line2D line{x1, y1, x2, y2};
    line.Init();
    return line;
}

void ExpectPoint(const Point3D& p, double x, double y, double z)
{
    EXPECT_NEAR(p.x, x, 1e-12);
    EXPECT_NEAR(p.y, y, 1e-12);
    EXPECT_NEAR(p.z, z, 1e-12);
}

} // namespace

TEST(PlacementMath, TheSketchPointIsMinusYXAndReadsBack)
{
    const Point2D p = SketchPointOf(10, 5);
    EXPECT_EQ(p.x, -5);
    EXPECT_EQ(p.y, 10);
    double X = 0, Y = 0;
    CoordinatesOfSketchPoint(p, X, Y);
    EXPECT_EQ(X, 10);
    EXPECT_EQ(Y, 5);
}

TEST(PlacementMath, TwoEdgesMovedToTheirLeftMeetAtThePoint)
{
    const Line2D x = Line(0, 0, 10, 0), y = Line(0, 0, 0, 10);
    const Line2D above = OffsetLine(x, 3);
    EXPECT_EQ(above.y1, 3);
    EXPECT_NEAR(OffsetLine(y, 4).x1, -4, 1e-12);
    auto point = Intersection(above, OffsetLine(y, 4));
    ASSERT_TRUE(point);
    EXPECT_NEAR(point->x, -4, 1e-12);
    EXPECT_NEAR(point->y, 3, 1e-12);
    point = Intersection(x, y);
    ASSERT_TRUE(point);
    EXPECT_NEAR(point->x, 0, 1e-12);
    EXPECT_NEAR(point->y, 0, 1e-12);
    // No division by zero: parallel edges and an edge seen end-on give no point.
    EXPECT_FALSE(Intersection(x, Line(0, 5, -20, 5)));
    EXPECT_FALSE(Intersection(x, Line(3, 3, 3, 3)));
}

TEST(PlacementMath, TheAuxiliaryLineRunsAlongTheAxisOrToTheShift)
{
    auto [from, to] = AuxLinePoints(false, 0, 0, 0);
    ExpectPoint(from, 0, 0, 0);
    ExpectPoint(to, 1, 0, 0);
    std::tie(from, to) = AuxLinePoints(false, 0, 5 * std::cos(kPi / 2), 5 * std::sin(kPi / 2));
    ExpectPoint(to, 0, 0, 5);
    std::tie(from, to) = AuxLinePoints(true, 2, 4, 0);
    ExpectPoint(from, 2, -4, 0);
    ExpectPoint(to, 2, 4, 0);
    std::tie(from, to) = AuxLinePoints(true, -2, 5e-7, -5e-7);
    ExpectPoint(to, -1, 0, 0);
}

TEST(PlacementMath, TheOffsetPlaneRunsItsDistanceTheWayAAndTheSignOfXSay)
{
    struct Row {
        double X, A;
        bool reversed;
    };
    for (const Row& row : {Row{5, 1, false}, Row{5, -1, true}, Row{-5, 1, true}, Row{-5, -1, false}, Row{5, -1.0000001, true},
                           Row{5, 0, false}}) {
        const OffsetPlaneSide side = OffsetPlaneOf(row.X, row.A);
        EXPECT_EQ(side.reversed, row.reversed) << row.X << " " << row.A;
        EXPECT_EQ(side.distance, 5) << row.X << " " << row.A;
    }
}

TEST(PlacementMath, TheTurnLosesAFullCircleOnce)
{
    EXPECT_NEAR(CorrectedAngle(0, kPi / 2), 270, 1e-12);
    EXPECT_NEAR(CorrectedAngle(300, -kPi / 2), 390, 1e-12);
    EXPECT_NEAR(CorrectedAngle(0, 0), 0, 1e-12);
}

TEST(PlacementMath, TheNearestIntersectionGivesTheDistance)
{
    EXPECT_EQ(NearestDistance({{0, 0, 7}, {3, 4, 0}}, {0, 0, 0}), 5);
    EXPECT_EQ(NearestDistance({}, {1, 1, 1}), 0);
}

TEST(PositioningModes, EachModeHasItsColumns)
{
    struct Row {
        int32_t dowel;
        bool inner, outer, turnable, shifted;
    };
    const Row rows[22] = {
        {0, false, false, false, false},                                                          // -1
        {0, false, false, false, false},   {0, false, false, false, false},   {0, false, false, false, false},
        {830, true, true, true, true},     {840, true, true, false, true},    {835, true, true, true, false},
        {845, true, true, false, false},   {830, true, false, true, true},    {840, true, false, false, true},
        {835, true, false, true, false},   {845, true, false, false, false},  {830, false, true, true, true},
        {840, false, true, false, true},   {835, false, true, true, false},   {845, false, true, false, false},
        {0, true, true, false, false},     {0, true, false, false, false},    {0, false, true, false, false},
        {0, true, true, false, false},     {0, true, false, false, false},    {0, false, true, false, false},
    };
    for (PositioningMode mode = -1; mode <= 20; ++mode) {
        const Row& row = rows[mode + 1];
        using namespace positioning_modes;
        EXPECT_EQ(DowelHelpId(mode), row.dowel) << mode;
        EXPECT_EQ(IsInnerAllowed(mode), row.inner) << mode;
        EXPECT_EQ(IsOuterAllowed(mode), row.outer) << mode;
        EXPECT_EQ(IsTurnable(mode), row.turnable) << mode;
        EXPECT_EQ(IsShifted(mode), row.shifted) << mode;
        EXPECT_EQ(IsTwoPlanes(mode), mode == 0 || mode == 1) << mode;
        EXPECT_EQ(IsHole(mode), mode == 2) << mode;
        EXPECT_EQ(IsRoundEdge(mode), mode >= 15 && mode <= 17) << mode;
        EXPECT_EQ(IsThread(mode), mode >= 18) << mode;
    }
}

TEST(LocationFields, CompletePlaceholdersAreFilledAndEverythingElseKeptAsWritten)
{
    const std::wstring nul(L"a\0[width]\0b", 11);
    const std::wstring longText(5000, L'[');
    struct Row {
        std::wstring text, filled;
    };
    const Row rows[] = {
        {L"H=[width]; again [width]", L"H=[12.5]; again [12.5]"},
        {L"[widt", L"[widt"},
        {L"x [width", L"x [width"},
        {L"[[width]]", L"[[12.5]]"},
        {L"]width[", L"]width["},
        {L"%s %d % [width] %n", L"%s %d % [12.5] %n"},
        {L"", L""},
        {nul, std::wstring(L"a\0[12.5]\0b", 10)},
        {longText + L"[width]" + longText, longText + L"[12.5]" + longText},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FillLocationField(row.text, L"width", 12.5), row.filled) << row.text.size();
    EXPECT_EQ(FillLocationFlag(L"[convex][convex]", L"convex", true), L"[1][1]");
    EXPECT_EQ(FillLocationFlag(L"[convex]", L"convex", false), L"[0]");
}

TEST(LocationFields, ValuesAreWrittenWithAPointWhateverTheLocaleAndNeverAsNaN)
{
    {
        ScopedNumericLocale russian("Russian");
        EXPECT_EQ(FillLocationField(L"[d]", L"d", 0.1), L"[0.1]");
    }
    EXPECT_EQ(FillLocationField(L"[d]", L"d", 1e-7), L"[1e-07]");
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        try {
            FillLocationField(L"[angle]", L"angle", bad);
            ADD_FAILURE() << "a value that is not finite was written";
        } catch (const std::wstring& error) {
            EXPECT_NE(error.find(L"[angle]"), std::wstring::npos);
        }
        // A measure the template does not ask for is no matter.
        EXPECT_EQ(FillLocationField(L"[width]", L"angle", bad), L"[width]");
    }
}
