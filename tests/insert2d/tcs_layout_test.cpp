// The layout of a fastener set's members as plain arithmetic: which members each base variant draws and
// in what order, what the cut mask leaves out, where the arrangement puts them and what they are cut by.
#include "insert2d/tcs_layout.h"

#include "core/data_convert_error.h"

#include <gtest/gtest.h>

namespace {

NMTCSData Member(int32_t type, bool onPacket, bool hole = false, bool orientation = true)
{
    NMTCSData member;
    member.PartType = type;
    member.OnPacket = onPacket;
    member.Hole = hole;
    member.Orientation = orientation;
    return member;
}

const NMTCSData kBolt = Member(1, true);
const NMTCSData kNutOn = Member(2, true);
const NMTCSData kNutOff = Member(2, false);
const NMTCSData kWasher = Member(5, false);
const NMTCSData kHoleOn = Member(0, true, true);
const NMTCSData kHoleOff = Member(0, false, true);

} // namespace

TEST(TCSLayout, EachVariantDrawsItsPassesAndTheCutMaskLeavesOutWhatItCuts)
{
    struct Row {
        const char* what;
        int32_t variant;
        uint32_t mask;
        std::vector<NMTCSData> members;
        std::vector<size_t> drawn;
    };
    const Row rows[] = {
        {"only member 0", 1, 0, {kBolt}, {0}},
        {"holes first, washers last", 1, 0, {kBolt, kHoleOn, kWasher, kNutOff}, {1, 0, 3, 2}},
        {"variant 3 leaves out what stands on the packet", 3, 0, {kBolt, kHoleOn, kNutOff}, {1, 2}},
        {"variant 4 draws backwards and leaves out what is below", 4, 0, {kBolt, kHoleOn, kNutOff}, {1, 0}},
        {"mask 2: the first hole met is the packet's", 1, 2, {kBolt, kHoleOff, kHoleOn, kNutOff}, {2, 0, 3}},
        {"mask 4: the hole after the second flip and what lies after", 1, 4, {kBolt, kHoleOff, kHoleOn, kNutOff}, {1, 0}},
        {"mask 1: what stands on the packet", 1, 1, {kBolt, kNutOn, kNutOff}, {0, 2}},
        // The flag follows the stored list: the hole considered at step 1 is member 2, but member 1 is
        // no hole, so the flag stays down and the hole is drawn.
        {"variant 4: the flag by stored order", 4, 2, {kBolt, kNutOn, kHoleOff, kNutOn}, {2, 3, 1, 0}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TCSDrawOrder(row.variant, row.mask, row.members), row.drawn) << row.what;
}

TEST(TCSLayout, CutFlagsOutsideZeroToSixOrNullCutNothing)
{
    const std::wstring none = L"NULL_VALUE", empty, five = L"5", seven = L"7", negative = L"-1";
    EXPECT_EQ(TCSCutMask(nullptr), 0u);
    EXPECT_EQ(TCSCutMask(&none), 0u);
    EXPECT_EQ(TCSCutMask(&empty), 0u);
    EXPECT_EQ(TCSCutMask(&five), 5u);
    EXPECT_EQ(TCSCutMask(&seven), 0u);
    EXPECT_EQ(TCSCutMask(&negative), 0u);
    const std::wstring text = L"x";
    EXPECT_THROW(TCSCutMask(&text), DataConvertError);
}

TEST(TCSLayout, MembersTurnAndShiftAlongTheAxisAndTheStudsHoleByItsDepth)
{
    const auto place = [](NMTCSData attrs, bool drawn = true, std::optional<double> parH = std::nullopt) {
        TCSPlacement placement;
        attrs.Width = 1.5;
        attrs.Distance = 20;
        placement.attrs = attrs;
        placement.drawn = drawn;
        placement.parH = parH;
        return placement;
    };
    NMTCSData hole = kHoleOn;
    hole.Index = 2;
    NMTCSData stud = Member(3, true);
    std::vector<TCSPlacement> bolt = {place(kBolt), place(kNutOn), place(kNutOff), place(kNutOn, false)};
    ArrangeTCSPlacements(1, bolt);
    const double expected[][2] = {{0, 0}, {21.5, 180}, {20, 0}, {0, 0}};
    for (size_t i = 0; i < bolt.size(); ++i) {
        EXPECT_EQ(bolt[i].x, expected[i][0]) << i;
        EXPECT_EQ(bolt[i].angle, expected[i][1]) << i;
    }
    // Members 1 to n-1 on the packet and no hole, drawn or not.
    EXPECT_EQ(TCSPartsDisplace(bolt), 3.0);

    std::vector<TCSPlacement> studs = {place(stud), place(hole, true, 12.0), place(hole)};
    ArrangeTCSPlacements(5, studs);
    EXPECT_EQ(studs[1].x, -12);
    EXPECT_EQ(studs[2].x, 0);
    EXPECT_EQ(TCSPartsDisplace(studs), 0.0);

    std::vector<TCSPlacement> unarranged = {place(kBolt), place(kNutOn)};
    ArrangeTCSPlacements(3, unarranged);
    EXPECT_EQ(unarranged[1].x, 0);
    EXPECT_EQ(unarranged[1].angle, 0);
}

TEST(TCSLayout, CutRectanglesByMask)
{
    const double P = 20, away = 1e6, edge = 1e-6;
    const auto rect = [&](double x1, double x2) { return CutRectangle{x1, away, x2, -away}; };
    struct Row {
        int32_t variant;
        uint32_t mask;
        std::vector<CutRectangle> rectangles;
    };
    const Row rows[] = {
        {1, 1, {rect(-away, edge)}},        {2, 2, {rect(edge, P - edge)}}, {5, 3, {rect(-away, P - edge)}},
        {6, 4, {rect(P - edge, away)}},     {1, 6, {rect(edge, away)}},      {1, 5, {rect(-away, edge), rect(P - edge, away)}},
        {1, 0, {}},                        {3, 2, {}},                     {4, 5, {}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TCSCutRectangles(row.variant, row.mask, P), row.rectangles) << row.variant << " " << row.mask;
    EXPECT_EQ(TCSCutRectangle(7, P), rect(0, 0));
}
