// The measures of a positioning model and the location template they fill.
#include "positioning/nm_elem_pos.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/element_queries.h"
#include "hostapi/entity_access.h"
#include "hostapi/geometry_queries.h"
#include "hostapi/interface_bridge.h"
#include "positioning/location_fields.h"

#include <cmath>

namespace {

constexpr double kTolerance = 1e-6;

IVel5EntityPtr EntityOf(IDispatch* object)
{
    return RequireHost(QueryHostOrNull<IVel5Entity>(object));
}

} // namespace

std::wstring NMElemPos::PosLocation(const std::wstring& aOrgLocation)
{
    TraceScope scope(L"NMElemPos::PosLocation");
    scope.String(L"aOrgLocation", aOrgLocation);
    if (IsHoleMode())
        return HoleLocation(aOrgLocation);
    if (IsTwoPlanesMode())
        return TwoPlaneLocation(aOrgLocation);
    if (IsDowelMode())
        return DowelLocation(aOrgLocation);
    if (IsRoundEdgeMode())
        return RoundEdgeLocation(aOrgLocation);
    if (IsThreadMode())
        return ThreadLocation(aOrgLocation);
    // A stored element without a mode hands its identity in as the template: it must come back whole.
    return aOrgLocation;
}

std::wstring NMElemPos::HoleLocation(const std::wstring& text)
{
    TraceScope scope(L"NMElemPos::HoleLocation");
    UpdateHeight();
    GetCylAndThread();
    std::wstring res = FillLocationField(text, L"width", tcsH);
    // A smooth bore has no pitch: its placeholder stays for the reference book to see.
    if (tcsP > 0)
        res = FillLocationField(res, L"scrPitch", tcsP);
    res = FillLocationField(res, L"diameter", tcsD);
    res = FillLocationField(res, L"scrLength", tcsSL);
    scope.String(L"res", res);
    return res;
}

std::wstring NMElemPos::TwoPlaneLocation(const std::wstring& text)
{
    TraceScope scope(L"NMElemPos::TwoPlaneLocation");
    std::wstring res = text;
    if (PosMode == 1) {
        UpdateHeight();
        GetAngle();
        res = FillLocationField(res, L"width", tcsH);
        res = FillLocationField(res, L"length", tcsH);
        res = FillLocationField(res, L"angle", tcsA);
    }
    scope.String(L"res", res);
    return res;
}

std::wstring NMElemPos::CylinderLocation(const std::wstring& text)
{
    const IVel5EntityPtr face = EntityOf(CurrentItem().iCylFace);
    std::wstring res = FillLocationFlag(text, L"convex", IsCylindricalFace(face));
    res = FillLocationField(res, L"cyl_diam", 2 * GetCylinderParam1(face));
    return FillLocationField(res, L"cyl_length", GetCylinderParam2(face));
}

std::wstring NMElemPos::DowelLocation(const std::wstring& text)
{
    TraceScope scope(L"NMElemPos::DowelLocation");
    const std::wstring res = FillLocationField(CylinderLocation(text), L"cyl_angle", CurrentItem().Y);
    scope.String(L"res", res);
    return res;
}

std::wstring NMElemPos::RoundEdgeLocation(const std::wstring& text)
{
    TraceScope scope(L"NMElemPos::RoundEdgeLocation");
    const std::wstring res = CylinderLocation(text);
    scope.String(L"res", res);
    return res;
}

std::wstring NMElemPos::ThreadLocation(const std::wstring& text)
{
    TraceScope scope(L"NMElemPos::ThreadLocation");
    std::wstring res = CylinderLocation(text);
    const IVel5EntityPtr thread = EntityOf(CurrentItem().iCylEdge);
    res = FillLocationField(res, L"thread_diameter", GetThreadParam1(thread));
    res = FillLocationField(res, L"thread_length", GetThreadParam2(thread));
    res = FillLocationField(res, L"thread_pitch", GetThreadParam3(thread));
    scope.String(L"res", res);
    return res;
}

void NMElemPos::GetCylAndThread()
{
    TraceScope scope(L"NMElemPos::GetCylAndThread");
    const IVel5EntityPtr face = EntityOf(CurrentItem().iCylFace);
    // The thread lies in the element the face belongs to, which its version-7 form leads to.
    const IVel5EntityPtr thread = GetCylinderAxisFromEntity(ToApi7Object(iApp5, face));
    scope.Hex(L"iThrEnt", reinterpret_cast<std::int64_t>(thread.GetInterfacePtr()));
    if (thread) {
        tcsD = GetThreadParam1(thread);
        tcsSL = GetThreadParam2(thread);
        tcsP = GetThreadParam3(thread);
    } else {
        tcsD = 2 * GetCylinderParam1(face);
        tcsSL = GetCylinderParam2(face);
        tcsP = -1;
    }
    scope.Value(L"tcsD", tcsD);
    scope.Value(L"tcsSL", tcsSL);
    scope.Value(L"tcsP", tcsP);
}

void NMElemPos::GetAngle()
{
    TraceScope scope(L"NMElemPos::GetAngle");
    const IVel5MeasurerPtr measurer = RequireHost(ObjectAs<IVel5Measurer>(V5Method(RequireHost(iPart5), IVel5Part::Measurer)));
    V5Put(measurer, IVel5Measurer::First, iStartPlane);
    V5Put(measurer, IVel5Measurer::Second, iEndPlane);
    tcsA = 0;
    if (static_cast<bool>(V5Method(measurer, IVel5Measurer::Calculate)) &&
        static_cast<bool>(V5Method(measurer, IVel5Measurer::HasAngle))) {
        const double angle = V5Get(measurer, IVel5Measurer::Angle);
        // Parallel surfaces measure as noise around 0.
        tcsA = std::fabs(angle) < kTolerance ? 0 : angle;
    }
    scope.Value(L"tcsA", tcsA);
}

bool NMElemPos::IsValidEndPlane(IDispatch* candidate)
{
    TraceScope scope(L"NMElemPos::IsValidEndPlane");
    const double height = CalcHeight(Item(0), candidate);
    scope.Value(L"height", height);
    return std::fabs(height) >= kTolerance;
}
