#include "positioning/nm_elem_pos_r.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/dual_interface.h"
#include "hostapi/entity_access.h"
#include "hostapi/geometry_queries.h"
#include "hostapi/vtable_call.h"
#include "positioning/preview_scopes.h"

#include <cmath>

namespace {

constexpr short kAxis = 11;
constexpr short kPlane = 14;
constexpr long kFrameOnPlaneAndAxis = 3;

template <class Definition>
HostPtr<Definition> DefinitionOf(IVel5Entity* entity)
{
    return RequireHost(EntityDefinition<Definition>(entity));
}

} // namespace

NMElemPosR::NMElemPosR(IVel5Application* app5, IVel7Application* app7, PositioningMode mode)
    : NMElemPos(app5, app7, mode)
{
    TraceScope scope(L":NMElemPosR(PositioningMode)");
    scope.Value(L"PosMode", _variant_t(static_cast<long>(mode)));
}

NMElemPosR::~NMElemPosR()
{
    try {
        TraceScope scope(L"~NMElemPosR");
    } catch (...) {
        TraceCurrentException(L"~NMElemPosR");
    }
}

void NMElemPosR::CreateGeom(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::CreateGeom");
    // Each object is held by the record as soon as it exists, so that DeleteGeom finds it should a later
    // step fail.
    item.iAxis = NewEntity(kAxis);
    V5Put(item.iAxis, IVel5Entity::Setting1, true);
    V5Method(DefinitionOf<IVel5AxisDefinition11>(IVel5EntityPtr(item.iAxis)), IVel5AxisDefinition11::SetFace,
             RequireHost(item.iCylFace));
    V5Method(item.iAxis, IVel5Entity::Create);
    const IDispatchPtr axis7 = To7(item.iAxis);

    IDispatchPtr plane7;
    if (iPart5) {
        item.iBasePlane = NewEntity(kPlane);
        V5Put(item.iBasePlane, IVel5Entity::Setting1, true);
        const auto definition = DefinitionOf<IVel5OffsetPlaneDefinition>(IVel5EntityPtr(item.iBasePlane));
        V5Method(definition, IVel5OffsetPlaneDefinition::SetBase, RequireHost(iStartPlane));
        V5Put(definition, IVel5OffsetPlaneDefinition::Offset, 0.0);
        V5Method(item.iBasePlane, IVel5Entity::Create);
        plane7 = To7(item.iBasePlane);
    }

    item.iFrame = RequireHost(V7Get(Frames(), &IVel7Frames::Add));
    IVel7Frame* frame = AsDual<IVel7Frame>(item.iFrame);
    V7Call(frame, &IVel7Frame::put_Setting7, VARIANT_TRUE);
    V7Call(frame, &IVel7Frame::put_Setting8, VARIANT_TRUE);
    V7Call(frame, &IVel7Frame::put_Setting10, kFrameOnPlaneAndAxis);
    const IVel7FrameSourcePtr sources = RequireHost(QueryHostOrNull<IVel7FrameSource>(item.iFrame));
    V7Call(sources, &IVel7FrameSource::AddSource, plane7.GetInterfacePtr());
    V7Call(sources, &IVel7FrameSource::AddSource, axis7.GetInterfacePtr());
    BindFrameBases(item);

    if (positioning_modes::IsShifted(PosMode)) {
        EditBracket bracket(Document3D());
        item.iOffsetPlane = NewEntity(kPlane);
        const auto definition = DefinitionOf<IVel5OffsetPlaneDefinition>(IVel5EntityPtr(item.iOffsetPlane));
        V5Method(definition, IVel5OffsetPlaneDefinition::SetBase, RequireHost(iStartPlane));
        PlaceOffsetPlane(definition, item);
        V5Method(item.iOffsetPlane, IVel5Entity::Create);
    }
}

void NMElemPosR::PlaceOffsetPlane(IVel5OffsetPlaneDefinition* definition, const ElemPos& item)
{
    const OffsetPlaneSide side = OffsetPlaneOf(item.X, item.A);
    V5Put(definition, IVel5OffsetPlaneDefinition::Reversed, side.reversed);
    V5Put(definition, IVel5OffsetPlaneDefinition::Offset, side.distance);
}

void NMElemPosR::ApplyPosition(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::ApplyPosition");
    if (item.iOffsetPlane) {
        PlaceOffsetPlane(DefinitionOf<IVel5OffsetPlaneDefinition>(IVel5EntityPtr(item.iOffsetPlane)), item);
        V5Method(item.iOffsetPlane, IVel5Entity::Update);
    }
    if (iStartPlane && item.iCylFace) {
        const double r = GetCylinderParam1(RequireHost(QueryHostOrNull<IVel5Entity>(item.iCylFace)));
        const bool turnable = positioning_modes::IsTurnable(PosMode);
        const double phi = turnable ? Radians(item.Y) : 0;
        const double offset = IsReversedShift(item.A) ? item.X : -item.X;
        PlaceAuxLine(item, !turnable, offset, r * std::cos(phi), r * std::sin(phi));
    }
    V5Method(iApp5, IVel5Application::RefreshView);
}

bool NMElemPosR::RecreateGeom(ElemPos& item, bool correctAngle)
{
    TraceScope scope(L"NMElemPos::RecreateGeom");
    if (!iStartPlane || !item.iCylFace)
        return false;
    DeleteGeom(item);
    CreateGeom(item);
    if (item.iDirObj || !positioning_modes::IsTurnable(PosMode))
        return false;
    AutoFindDirObj(item);
    if (correctAngle)
        AutoCorrectAngle(item);
    return true;
}

void NMElemPosR::UpdateHeight()
{
    TraceScope scope(L"NMElemPos::UpdateHeight");
    // The cylinder fixes the axis: the position need not be applied before measuring.
    MeasureFirstItem(false);
    scope.Value(L"tcsH", tcsH);
}

double NMElemPosR::CalcHeight(ElemPos& item, IDispatch* surface)
{
    TraceScope scope(L"NMElemPos::CalcHeight");
    if (!item.iFrame)
        return 0;
    CurrentFrame current(Frames(), item.iFrame);
    MeasuringLine measure(iApp5, iDoc5);
    IVel5Entity* curve = measure.Make(Document3D(), iFeatures, {0, 0, 0});
    return DistanceToSurface(surface, {0, 0, 0}, curve);
}
