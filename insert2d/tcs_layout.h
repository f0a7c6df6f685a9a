#pragma once
// How the members of a fastener set are laid out in a drawing, as plain arithmetic over their layout
// records: which members are drawn and in what order, where each lands along the set's axis, and the
// rectangles the set is cut by. The set's own coordinates have the axis as x; the packet (the parts
// fastened together) spans x from 0 to its length.
#include "objects/part_data.h"

#include <cstdint>
#include <optional>
#include <vector>

// The base variants (1 to 6) that arrange and cut their members; 3 and 4 leave every member at the origin.
bool TCSVariantArranges(int32_t baseVariant);

// The members a set draws, as positions in the stored list, in drawing order: three passes over the
// positions, each taking the members its test admits and the cut mask leaves (see the source for the rule).
std::vector<size_t> TCSDrawOrder(int32_t baseVariant, uint32_t cutMask, const std::vector<NMTCSData>& members);

// "CutFlags" as a mask: a 32-bit integer from 0 to 6; null (no value), anything larger or negative is 0.
// A text that is no integer throws DataConvertError.
uint32_t TCSCutMask(const std::wstring* value);

// One member as the arrangement sees it.
struct TCSPlacement {
    NMTCSData attrs;
    bool drawn = false;                   // it has a member macro
    std::optional<double> parH;           // its "PAR_H", when it has a value
    double x = 0;
    double y = 0;
    double angle = 0;                     // degrees
};

// The shift back along the axis: the widths of members 1 to n-1 that stand on the packet and are no hole.
double TCSPartsDisplace(const std::vector<TCSPlacement>& members);

// Turns and shifts the drawn members 1 to n-1 along the axis (the displacement is the caller's next
// step). Variants that do not arrange leave everything as it is.
void ArrangeTCSPlacements(int32_t baseVariant, std::vector<TCSPlacement>& members);

struct CutRectangle {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    bool operator==(const CutRectangle&) const = default;
};

// The rectangle of one mask (1, 2, 3, 4 or 6; any other gives an empty one at x 0) for a packet of
// length packetLength.
CutRectangle TCSCutRectangle(uint32_t mask, double packetLength);

// The rectangles a set is cut by: none for a variant that does not arrange or mask 0, two for mask 5
// (those of masks 1 and 4), else the mask's own.
std::vector<CutRectangle> TCSCutRectangles(int32_t baseVariant, uint32_t mask, double packetLength);
