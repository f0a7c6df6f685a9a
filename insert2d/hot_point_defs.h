#pragma once
// What the hot points of a placed part know of its sizes: the reference book's definition text (lines of
// parameter names with the rows of values they may take together, such as a part's standard sizes), the
// special points of the part's response (where each parameter's point stands and how a drag moves its
// value), the current row of each line, the rule that turns a drag into another row, and where the
// turning point stands.
#include <pugixml.hpp>

#include <cstddef>
#include <string>
#include <vector>

using HotPointRow = std::vector<double>;

// One line of the definition text: names, their rows sorted ascending, the row the part has now.
struct HotPointLine {
    std::vector<std::wstring> names;
    std::vector<HotPointRow> rows;
    size_t current = 0;
};

// A point that drags one parameter.
struct SpecialHotPoint {
    std::wstring Title;
    std::wstring AttrCode;       // the parameter the point drives
    std::wstring Hint;
    double X = 0;
    double Y = 0;
    double kx = 0;               // a drag along x (or, when 0, along y by ky) changes the value by this much
    double ky = 0;
    double AttrValue = 0;        // the parameter's value now
    bool Visible = false;
};

struct HotPointDefs {
    std::wstring NM_ID;
    std::wstring NM_Name;
    std::vector<HotPointLine> lines;
    std::vector<SpecialHotPoint> points;
};

// A row holds at most this many values; a text with a longer row is rejected.
constexpr size_t kHotPointRowCapacity = 10;

// The lines of a definition text: lines end in "\r\n" (what follows the last one is ignored, so a text
// without one defines nothing and is accepted), fields are separated by "||", the first field holds the
// names and every further one a row, names and numbers separated by "|" ("." or "," as the decimal
// separator), empty pieces dropped. False, and no lines, when a line has no name or no row, a row more
// than kHotPointRowCapacity numbers, or a number does not read.
bool ParseHotPointDefinitions(const std::wstring& text, std::vector<HotPointLine>& lines);

// Rows compared value by value over the shorter of the two: negative, 0 or positive.
int CompareHotPointRows(const HotPointRow& a, const HotPointRow& b);

// The visible special points of a parsed response, in document order. They are the attributes of the
// attribute "SpecialHotPointsParameters" of the response's "Method" object, each point one attribute
// whose own attribute collection holds "Title", "Hint", "AttrCode", "X", "Y", "kx", "ky", "AttrValue"
// and "Visible" ("True" shows it) as name and value pairs:
//   <attribute><name>SpecialHotPointsParameters</name><attributecollection>
//     <attribute><name>d</name><attributecollection>
//       <attribute><name>Title</name><value>d</value></attribute> ...
// A number that does not read stays 0.
std::vector<SpecialHotPoint> ReadSpecialHotPoints(const pugi::xml_document& response);

// Each line's current row: the first row not less than the values of the points that drive its names
// (in name order), which must equal them. False when a line has no such row.
bool SelectCurrentRows(std::vector<HotPointLine>& lines, const std::vector<SpecialHotPoint>& points);

// A drag of the point to (x, y) walks its line's rows: true when the line's current row changed, with
// assignment the new row's "name=value" pairs joined by "|" (values with "," as decimal separator).
bool DragHotPoint(std::vector<HotPointLine>& lines, const SpecialHotPoint& point, double x, double y,
                  std::wstring& assignment);

// How far the turning point stands from the base point on the part's axis: the rectangle (two opposite
// corners, relative to the base point) is where the part is drawn, angle the part's angle in degrees.
double HotPointOneDistance(double x1, double y1, double x2, double y2, double angle);
