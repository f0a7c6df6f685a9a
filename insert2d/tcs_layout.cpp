#include "insert2d/tcs_layout.h"

#include "core/number_text.h"
#include "core/variables.h"

namespace {

constexpr uint32_t kBefore = 1;     // the region before the packet
constexpr uint32_t kPacket = 2;     // the packet
constexpr uint32_t kAfter = 4;      // the region after the packet
constexpr uint32_t kLargestMask = 6;
constexpr double kFar = 1e6;
constexpr double kEdge = 1e-6;

// Parts such as washers under a nut: drawn in the last pass, over what the others drew.
bool IsLastPassPart(const NMTCSData& member)
{
    return member.PartType == 5 || member.PartType == 6 || member.PartType == 21;
}

bool PassAdmits(int32_t variant, int pass, const NMTCSData& member)
{
    switch (variant) {
    case 3:
        return (pass == 2 && member.Hole) || (pass == 3 && !member.OnPacket && !member.Hole);
    case 4:
        return (pass == 2 && member.Hole) || (pass == 3 && member.OnPacket && !member.Hole);
    default:
        if (pass == 1)
            return member.Hole;
        return !member.Hole && (pass == 2) != IsLastPassPart(member);
    }
}

// Whether the cut mask leaves out a member the pass admitted. flag alternates with the holes met along
// the stored list, so that the holes on either side of the packet are told apart.
bool MaskSkips(uint32_t mask, bool flag, const NMTCSData& member)
{
    if (member.Hole)
        return ((mask & kPacket) && flag) || (!flag && (mask & (member.OnPacket ? kAfter : kBefore)));
    return ((mask & kBefore) && member.OnPacket) || ((mask & kAfter) && !member.OnPacket);
}

} // namespace

bool TCSVariantArranges(int32_t baseVariant)
{
    return baseVariant == 1 || baseVariant == 2 || baseVariant == 5 || baseVariant == 6;
}

std::vector<size_t> TCSDrawOrder(int32_t baseVariant, uint32_t cutMask, const std::vector<NMTCSData>& members)
{
    std::vector<size_t> order;
    const size_t n = members.size();
    for (int pass = 1; pass <= 3; ++pass) {
        bool flag = false;
        for (size_t i = 0; i < n; ++i) {
            // Variant 4 draws from the end of the list; the flag still follows the stored order.
            const size_t considered = baseVariant == 4 ? n - 1 - i : i;
            const NMTCSData& member = members[considered];
            if (!PassAdmits(baseVariant, pass, member))
                continue;
            if (cutMask != 0 && i > 0) {
                if (members[i].Hole)
                    flag = !flag;
                if (MaskSkips(cutMask, flag, member))
                    continue;
            }
            order.push_back(considered);
        }
    }
    return order;
}

uint32_t TCSCutMask(const std::wstring* value)
{
    if (!value || Variables::IsNullValue(*value))
        return 0;
    // Compared unsigned: a negative mask is as much out of range as a large one.
    const auto mask = static_cast<uint32_t>(StrToInt32(*value));
    return mask <= kLargestMask ? mask : 0;
}

double TCSPartsDisplace(const std::vector<TCSPlacement>& members)
{
    double displace = 0;
    for (size_t i = 1; i < members.size(); ++i)
        if (members[i].attrs.OnPacket && !members[i].attrs.Hole)
            displace += members[i].attrs.Width;
    return displace;
}

void ArrangeTCSPlacements(int32_t baseVariant, std::vector<TCSPlacement>& members)
{
    if (!TCSVariantArranges(baseVariant))
        return;
    const bool isStud = !members.empty() && members[0].attrs.PartType == 3;
    for (size_t i = 1; i < members.size(); ++i) {
        TCSPlacement& member = members[i];
        if (!member.drawn)
            continue;
        const NMTCSData& attrs = member.attrs;
        const bool sameWay = attrs.OnPacket == attrs.Orientation;
        if (sameWay)
            member.angle += 180.0;
        if (isStud && attrs.Hole && attrs.Index == 2) {
            // The stud's hole is measured from its screwed-in end by its depth, when the part gives one.
            if (member.parH)
                member.x -= *member.parH;
        } else {
            member.x += sameWay ? attrs.Width + attrs.Distance : attrs.Distance;
        }
    }
}

CutRectangle TCSCutRectangle(uint32_t mask, double packetLength)
{
    CutRectangle rectangle{0, kFar, 0, -kFar};
    switch (mask) {
    case 1:
        rectangle.x1 = -kFar, rectangle.x2 = kEdge;
        break;
    case 2:
        rectangle.x1 = kEdge, rectangle.x2 = packetLength - kEdge;
        break;
    case 3:
        rectangle.x1 = -kFar, rectangle.x2 = packetLength - kEdge;
        break;
    case 4:
        rectangle.x1 = packetLength - kEdge, rectangle.x2 = kFar;
        break;
    case 6:
        rectangle.x1 = kEdge, rectangle.x2 = kFar;
        break;
    default:
        break;
    }
    return rectangle;
}

std::vector<CutRectangle> TCSCutRectangles(int32_t baseVariant, uint32_t mask, double packetLength)
{
    if (!TCSVariantArranges(baseVariant) || mask == 0)
        return {};
    if (mask == (kBefore | kAfter))
        return {TCSCutRectangle(kBefore, packetLength), TCSCutRectangle(kAfter, packetLength)};
    return {TCSCutRectangle(mask, packetLength)};
}
