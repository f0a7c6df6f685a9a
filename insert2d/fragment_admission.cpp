#include "insert2d/fragment_admission.h"

#include "hostapi/velmar5.h"

namespace {

constexpr long kAuxiliaryStyle = 6;

template <class I>
FragmentAdmission ByStyle(short kind)
{
    return {FragmentAdmission::Rule::ByStyle, kind, &__uuidof(I), I::Style};
}

} // namespace

FragmentAdmission FragmentAdmissionOf(long objectType)
{
    switch (objectType) {
    case 9:
    case 10:
    case 13:
    case 14:
    case 15:
    case 28:
        return {FragmentAdmission::Rule::Never};
    case 1:
        return ByStyle<IVel5SegmentParam>(11);
    case 2:
        return ByStyle<IVel5ArcParam>(20);
    case 3:
        return ByStyle<IVel5CircleParam>(12);
    case 32:
        return ByStyle<IVel5Type32Param>(22);
    case 33:
    case 34:
        return ByStyle<IVel5Type33Param>(23);
    case 35:
        return ByStyle<IVel5Type35Param>(91);
    default:
        return {FragmentAdmission::Rule::Always};
    }
}

bool AdmitsStyle(long style)
{
    return style != kAuxiliaryStyle;
}
