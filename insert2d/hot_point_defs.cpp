#include "insert2d/hot_point_defs.h"

#include "core/data_convert_error.h"
#include "core/number_text.h"
#include "core/string_utils.h"
#include "objects/part_data.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr double kFlat = 1e-6;
constexpr double kRayLength = 1e6;
constexpr double kPi = 3.14159265358979323846;
const size_t kNone = static_cast<size_t>(-1);

std::vector<std::wstring> NonEmptyPieces(const std::wstring& text, const wchar_t* separator)
{
    std::vector<std::wstring> pieces;
    for (std::wstring& piece : Split(text, separator))
        if (!piece.empty())
            pieces.push_back(std::move(piece));
    return pieces;
}

// Rows compared over the shorter length need not order consistently (a short row equals longer ones
// that differ among themselves): a plain insertion sort keeps the text's order among equal rows.
void SortRows(std::vector<HotPointRow>& rows)
{
    for (size_t i = 1; i < rows.size(); ++i)
        for (size_t j = i; j > 0 && CompareHotPointRows(rows[j], rows[j - 1]) < 0; --j)
            std::swap(rows[j], rows[j - 1]);
}

// The index of the first row not less than the key; rows.size() when every row is less.
size_t FirstNotLess(const std::vector<HotPointRow>& rows, const HotPointRow& key)
{
    for (size_t i = 0; i < rows.size(); ++i)
        if (CompareHotPointRows(rows[i], key) >= 0)
            return i;
    return rows.size();
}

// The row just before the found one: the first when it is the first, the last when none was found.
size_t RowBefore(size_t found, size_t count)
{
    if (found == 0)
        return 0;
    return found >= count ? count - 1 : found - 1;
}

HotPointRow Head(const HotPointRow& row, size_t count)
{
    return HotPointRow(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(std::min(count, row.size())));
}

// Equal to w in every value but w's last.
bool EqualButLast(const HotPointRow& row, const HotPointRow& w)
{
    for (size_t j = 0; j + 1 < w.size(); ++j)
        if (j >= row.size() || row[j] != w[j])
            return false;
    return true;
}

// Steps 4 to 6 of a drag: the row the dragged values W come to, kNone for none.
size_t ChooseRow(const HotPointLine& line, HotPointRow w, size_t k, double delta)
{
    const std::vector<HotPointRow>& rows = line.rows;
    const HotPointRow& current = rows[line.current];
    const size_t n = w.size();
    if (k + 1 < n) {
        // The values up to the dragged one come from the row the drag reached, the rest stay.
        const HotPointRow& base = rows[RowBefore(FirstNotLess(rows, Head(w, k + 1)), rows.size())];
        for (size_t j = 0; j <= k && j < base.size(); ++j)
            w[j] = base[j];
    }
    const size_t found = FirstNotLess(rows, w);
    if (found < rows.size()) {
        if (CompareHotPointRows(rows[found], w) == 0 || found == 0)
            return found;
        if (n == 1)
            return found - 1;
        return EqualButLast(rows[found - 1], w) ? found - 1 : found;
    }
    // Beyond the last row.
    if (n == 1)
        return delta >= 0 ? rows.size() - 1 : 0;
    if (k == 0) {
        HotPointRow last = current;
        last[0] = rows.back().at(0);
        const size_t reached = FirstNotLess(rows, last);
        return reached < rows.size() ? reached : kNone;
    }
    return RowBefore(FirstNotLess(rows, Head(w, k)), rows.size());
}

std::optional<double> Number(const std::wstring& text)
{
    try {
        return StrToDouble(text);
    } catch (const DataConvertError&) {
        return std::nullopt;
    }
}

} // namespace

int CompareHotPointRows(const HotPointRow& a, const HotPointRow& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] < b[i])
            return -1;
        if (a[i] > b[i])
            return 1;
    }
    return 0;
}

bool ParseHotPointDefinitions(const std::wstring& text, std::vector<HotPointLine>& lines)
{
    lines.clear();
    const std::vector<std::wstring> pieces = Split(text, L"\r\n");
    std::vector<HotPointLine> parsed;
    // The piece after the last line end is no line.
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        const std::vector<std::wstring> fields = Split(pieces[i], L"||");
        HotPointLine line;
        if (!fields.empty())
            line.names = NonEmptyPieces(fields[0], L"|");
        for (size_t f = 1; f < fields.size(); ++f) {
            HotPointRow row;
            for (const std::wstring& piece : NonEmptyPieces(fields[f], L"|")) {
                const std::optional<double> value = Number(piece);
                if (!value)
                    return false;
                row.push_back(*value);
            }
            if (row.size() > kHotPointRowCapacity)
                return false;
            if (!row.empty())
                line.rows.push_back(std::move(row));
        }
        if (line.names.empty() || line.rows.empty())
            return false;
        SortRows(line.rows);
        parsed.push_back(std::move(line));
    }
    lines = std::move(parsed);
    return true;
}

std::vector<SpecialHotPoint> ReadSpecialHotPoints(const pugi::xml_document& response)
{
    std::vector<SpecialHotPoint> points;
    const pugi::xml_node method =
        NMPartData::getObjectByClassID(response.child(L"response").child(L"objectcollection"), L"Method");
    const pugi::xml_node special =
        NMPartData::getAttributeByName(method.child(L"attributecollection"), L"SpecialHotPointsParameters");
    for (pugi::xml_node entry : special.child(L"attributecollection").children(L"attribute")) {
        SpecialHotPoint point;
        for (pugi::xml_node attribute : entry.child(L"attributecollection").children(L"attribute")) {
            const std::wstring name = XmlText(attribute.child(L"name"));
            const std::wstring value = XmlText(attribute.child(L"value"));
            const std::pair<const wchar_t*, double*> numbers[] = {{L"X", &point.X},   {L"Y", &point.Y},
                                                                  {L"kx", &point.kx}, {L"ky", &point.ky},
                                                                  {L"AttrValue", &point.AttrValue}};
            if (name == L"Title")
                point.Title = value;
            else if (name == L"Hint")
                point.Hint = value;
            else if (name == L"AttrCode")
                point.AttrCode = value;
            else if (name == L"Visible")
                point.Visible = value == L"True";
            for (const auto& [numberName, target] : numbers)
                if (name == numberName)
                    if (const std::optional<double> number = Number(value))
                        *target = *number;
        }
        if (point.Visible)
            points.push_back(point);
    }
    return points;
}

bool SelectCurrentRows(std::vector<HotPointLine>& lines, const std::vector<SpecialHotPoint>& points)
{
    for (HotPointLine& line : lines) {
        HotPointRow key;
        for (const std::wstring& name : line.names)
            for (const SpecialHotPoint& point : points)
                if (point.AttrCode == name) {
                    key.push_back(point.AttrValue);
                    break;
                }
        const size_t found = FirstNotLess(line.rows, key);
        if (found == line.rows.size() || CompareHotPointRows(line.rows[found], key) != 0)
            return false;
        line.current = found;
    }
    return true;
}

bool DragHotPoint(std::vector<HotPointLine>& lines, const SpecialHotPoint& point, double x, double y,
                  std::wstring& assignment)
{
    const double delta = std::fabs(point.kx) < kFlat ? (y - point.Y) * point.ky : (x - point.X) * point.kx;
    for (HotPointLine& line : lines) {
        size_t k = 0;
        while (k < line.names.size() && line.names[k] != point.AttrCode)
            ++k;
        if (k == line.names.size())
            continue;
        // A row without the dragged value (a text whose rows are shorter than its names) cannot move.
        if (line.rows.empty() || line.current >= line.rows.size() || k >= line.rows[line.current].size())
            return false;
        HotPointRow w = line.rows[line.current];
        w[k] += delta;
        const size_t chosen = ChooseRow(line, w, k, delta);
        if (chosen == kNone || chosen == line.current)
            return false;
        line.current = chosen;
        const HotPointRow& row = line.rows[chosen];
        std::vector<std::wstring> pairs;
        for (size_t i = 0; i < line.names.size() && i < row.size(); ++i)
            pairs.push_back(line.names[i] + L"=" + DoubleToStr(row[i], L','));
        assignment = JoinStrings(pairs, L"|");
        return true;
    }
    return false;
}

double HotPointOneDistance(double x1, double y1, double x2, double y2, double angle)
{
    const double radians = angle * kPi / 180.0;
    const double ex = kRayLength * std::cos(radians);
    const double ey = kRayLength * std::sin(radians);
    const double sides[4][4] = {{x1, y1, x2, y1}, {x2, y1, x2, y2}, {x2, y2, x1, y2}, {x1, y2, x1, y1}};
    double nearest = -1;
    for (const auto& side : sides) {
        const double dx = side[2] - side[0];
        const double dy = side[3] - side[1];
        const double across = ex * dy - ey * dx;
        if (across == 0)
            continue;   // the ray runs along the side
        const double t = (side[0] * dy - side[1] * dx) / across;
        const double u = (side[0] * ey - side[1] * ex) / across;
        if (t >= 0 && t <= 1 && u >= 0 && u <= 1 && (nearest < 0 || t < nearest))
            nearest = t;
    }
    const double length = nearest < 0 ? std::hypot(5.0, 5.0) : nearest * kRayLength;
    double folded = std::fmod(angle, 360.0);
    if (folded < 0)
        folded += 360.0;
    folded = std::fmod(folded, 90.0);
    if (folded > 45.0)
        folded = 90.0 - folded;
    return length * 0.8 * std::cos(folded * kPi / 180.0);
}
