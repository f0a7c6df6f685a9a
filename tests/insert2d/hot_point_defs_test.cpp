// What the hot points know of a part's sizes: the definition text, the special points of a response,
// the current rows, the drag rule and where the turning point stands.
#include "insert2d/hot_point_defs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

std::vector<HotPointLine> Parsed(const std::wstring& text, bool accepted = true)
{
    std::vector<HotPointLine> lines;
    EXPECT_EQ(ParseHotPointDefinitions(text, lines), accepted) << testing::PrintToString(text);
    return lines;
}

SpecialHotPoint Point(const wchar_t* code, double value, double kx = 1, double ky = 0)
{
    SpecialHotPoint point;
    point.AttrCode = code;
    point.AttrValue = value;
    point.kx = kx;
    point.ky = ky;
    return point;
}

} // namespace

TEST(HotPointDefs, TheDefinitionTextIsReadLineByLineAndRejectedWhole)
{
    const auto two = Parsed(L"D|L||12|25||10|20\r\nd||1,5||1.25||\r\nignored");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].names, (std::vector<std::wstring>{L"D", L"L"}));
    EXPECT_EQ(two[0].rows, (std::vector<HotPointRow>{{10, 20}, {12, 25}}));
    EXPECT_EQ(two[1].rows, (std::vector<HotPointRow>{{1.25}, {1.5}}));
    EXPECT_TRUE(Parsed(L"D|L||10|20||12|25").empty());
    EXPECT_EQ(Parsed(L"D||1|2|3|4|5|6|7|8|9|10\r\n").at(0).rows[0].size(), 10u);
    for (const wchar_t* rejected : {L"D\r\n", L"||10\r\n", L"D||10\r\nE\r\n", L"D||1|2|3|4|5|6|7|8|9|10|11\r\n", L"D||x\r\n"})
        EXPECT_TRUE(Parsed(rejected, false).empty());
}

TEST(HotPointDefs, SpecialPointsAreTheVisibleOnesOfTheMethodObject)
{
    pugi::xml_document response;
    const auto attribute = [](const std::wstring& name, const std::wstring& value) {
        return L"<attribute><name>" + name + L"</name><value>" + value + L"</value></attribute>";
    };
    const auto point = [&](const std::wstring& code, const std::wstring& x, const std::wstring& visible) {
        return L"<attribute><name>" + code + L"</name><attributecollection>" + attribute(L"Title", L"T\\nt") +
               attribute(L"Hint", L"h") + attribute(L"AttrCode", code) + attribute(L"X", x) + attribute(L"kx", L"0,5") +
               attribute(L"AttrValue", L"12") + attribute(L"Visible", visible) + L"</attributecollection></attribute>";
    };
    const std::wstring xml = L"<response><objectcollection><object><classid>Method</classid><attributecollection>" +
                             attribute(L"NM_IID", L"PART:1") +
                             L"<attribute><name>SpecialHotPointsParameters</name><attributecollection>" +
                             point(L"d", L"x", L"True") + point(L"L", L"3", L"False") + point(L"s", L"4", L"True") +
                             L"</attributecollection></attribute></attributecollection></object></objectcollection></response>";
    ASSERT_TRUE(response.load_string(xml.c_str()));
    const std::vector<SpecialHotPoint> points = ReadSpecialHotPoints(response);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].AttrCode, L"d");
    EXPECT_EQ(points[0].Title, L"T\\nt");
    EXPECT_EQ(points[0].X, 0);   // not a number: left as it is
    EXPECT_EQ(points[0].kx, 0.5);
    EXPECT_EQ(points[0].AttrValue, 12);
    EXPECT_EQ(points[1].AttrCode, L"s");
    EXPECT_EQ(points[1].X, 4);
}

TEST(HotPointDefs, TheCurrentRowIsTheOneThePointsValuesGive)
{
    std::vector<HotPointLine> lines = Parsed(L"D|L||10|20||12|25||12|35\r\nd||8||10\r\n");
    EXPECT_TRUE(SelectCurrentRows(lines, {Point(L"L", 25), Point(L"d", 10), Point(L"D", 12)}));
    EXPECT_EQ(lines[0].current, 1u);
    EXPECT_EQ(lines[1].current, 1u);
    EXPECT_FALSE(SelectCurrentRows(lines, {Point(L"L", 26), Point(L"d", 10), Point(L"D", 12)}));
}

TEST(HotPointDefs, ADragWalksTheRowsOfItsLine)
{
    struct Row {
        const char* what;
        const wchar_t* text;
        HotPointRow current;
        SpecialHotPoint point;
        double x, y;
        const wchar_t* assignment;   // null: the row stays
    };
    SpecialHotPoint d = Point(L"d", 10);
    SpecialHotPoint upward = Point(L"d", 10, 0, 2);
    upward.Y = 4;
    SpecialHotPoint D = Point(L"D", 10);
    SpecialHotPoint L = Point(L"L", 20);
    const Row rows[] = {
        {"+1.5 stays at 10", L"d||8||10||12\r\n", {10}, d, 1.5, 0, nullptr},
        {"+2.5 beyond the last: 12", L"d||8||10||12\r\n", {10}, d, 2.5, 0, L"d=12"},
        {"-2.5 before the first: 8", L"d||8||10||12\r\n", {10}, d, -2.5, 0, L"d=8"},
        {"along y by ky: 3 up is +6", L"d||8||10||16\r\n", {10}, upward, 100, 7, L"d=16"},
        {"a point of no line", L"e||8||10\r\n", {10}, d, 5, 0, nullptr},
        {"the second name reaches its row", L"D|L||10|20||10|30||12|25\r\n", {10, 20}, L, 10, 0, L"D=10|L=30"},
        {"the second name beyond every row", L"D|L||10|20||10|30||12|25\r\n", {10, 20}, L, 50, 0, L"D=10|L=30"},
        {"the first name takes the next row's rest", L"D|L||10|20||10|30||12|25||12|35\r\n", {10, 20}, D, 3, 0, L"D=12|L=25"},
        {"the first name short of the next row", L"D|L||10|20||10|30||12|25\r\n", {10, 20}, D, 2, 0, nullptr},
    };
    for (const Row& row : rows) {
        std::vector<HotPointLine> lines = Parsed(row.text);
        for (HotPointLine& line : lines)
            line.current = static_cast<size_t>(std::find(line.rows.begin(), line.rows.end(), row.current) - line.rows.begin());
        std::wstring assignment = L"untouched";
        EXPECT_EQ(DragHotPoint(lines, row.point, row.x, row.y, assignment), row.assignment != nullptr) << row.what;
        EXPECT_EQ(assignment, row.assignment ? row.assignment : L"untouched") << row.what;
        if (row.assignment) {
            EXPECT_NE(lines[0].rows[lines[0].current], row.current) << row.what;
        }
    }
}

TEST(HotPointDefs, TheTurningPointStandsOnTheAxisInsideThePart)
{
    struct Row {
        double x1, y1, x2, y2, angle, distance;
    };
    const double half = std::sqrt(0.5);
    const Row rows[] = {
        {-10, -5, 10, 5, 0, 8},        {-10, -5, 10, 5, 90, 4},   {-10, -5, 10, 5, -90, 4},
        {-10, -5, 10, 5, 45, 5 * std::sqrt(2.0) * 0.8 * half}, {-10, -5, 10, 5, 30, 10 * 0.8 * std::cos(std::acos(-1.0) / 6)},
        {20, 20, 30, 30, 180, std::hypot(5.0, 5.0) * 0.8},   // the ray misses the part
    };
    for (const Row& row : rows)
        EXPECT_NEAR(HotPointOneDistance(row.x1, row.y1, row.x2, row.y2, row.angle), row.distance, 1e-9) << row.angle;
}
