#include "positioning/positioning_modes.h"

namespace positioning_modes {

namespace {

constexpr PositioningMode kModes = 21;

struct ModeRow {
    int32_t dowelHelpId;
    bool inner;
    bool outer;
};

// One row per mode; the dowel modes come in blocks of four (both kinds of cylinder, inner only, outer
// only), the round-edge and thread modes in threes (both, inner, outer).
constexpr ModeRow kRows[kModes] = {
    {0, false, false},   {0, false, false},   {0, false, false},                          // 0, 1, 2
    {830, true, true},   {840, true, true},   {835, true, true},   {845, true, true},     // 3 - 6
    {830, true, false},  {840, true, false},  {835, true, false},  {845, true, false},    // 7 - 10
    {830, false, true},  {840, false, true},  {835, false, true},  {845, false, true},    // 11 - 14
    {0, true, true},     {0, true, false},    {0, false, true},                           // 15 - 17
    {0, true, true},     {0, true, false},    {0, false, true},                           // 18 - 20
};

const ModeRow* RowOf(PositioningMode mode)
{
    return mode >= 0 && mode < kModes ? &kRows[mode] : nullptr;
}

} // namespace

bool IsTwoPlanes(PositioningMode mode)
{
    return mode == 0 || mode == 1;
}

bool IsHole(PositioningMode mode)
{
    return mode == 2;
}

bool IsRoundEdge(PositioningMode mode)
{
    return mode >= 15 && mode <= 17;
}

bool IsThread(PositioningMode mode)
{
    return mode >= 18 && mode <= 20;
}

int32_t DowelHelpId(PositioningMode mode)
{
    const ModeRow* row = RowOf(mode);
    return row ? row->dowelHelpId : 0;
}

bool IsInnerAllowed(PositioningMode mode)
{
    const ModeRow* row = RowOf(mode);
    return row && row->inner;
}

bool IsOuterAllowed(PositioningMode mode)
{
    const ModeRow* row = RowOf(mode);
    return row && row->outer;
}

bool IsTurnable(PositioningMode mode)
{
    const int32_t help = DowelHelpId(mode);
    return help == 830 || help == 835;
}

bool IsShifted(PositioningMode mode)
{
    const int32_t help = DowelHelpId(mode);
    return help == 830 || help == 840;
}

} // namespace positioning_modes
