// The placement frame of a record, its auxiliary line, its direction object and the measure along it:
// what both kinds of positioning model share.
#include "positioning/nm_elem_pos.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/dual_interface.h"
#include "hostapi/entity_access.h"
#include "hostapi/geometry_queries.h"
#include "hostapi/mate_queries.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"
#include "positioning/preview_scopes.h"

#include <cmath>
#include <optional>

namespace {

constexpr long kBaseSurface = 71;
constexpr long kBaseDirection = 72;
constexpr short kDirectionKinds[] = {71, 72, 73};   // the part's X, Y and Z axes
constexpr short kPointCollection = 156;

IVel7FrameBasePtr BasesOf(IDispatch* frame)
{
    return RequireHost(QueryHostOrNull<IVel7FrameBase>(frame));
}

bool IsAxisType(short type)
{
    return (type >= 9 && type <= 13) || (type >= 71 && type <= 73);
}

} // namespace

void NMElemPos::BindFrameBases(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::BindFrameBases");
    const IDispatchPtr start7 = To7(RequireHost(iStartPlane));
    IVel7Frame* frame = AsDual<IVel7Frame>(RequireHost(item.iFrame));
    V7Call(frame, &IVel7Frame::put_Setting9, VARIANT_FALSE);
    const IVel7FrameBasePtr bases = BasesOf(item.iFrame);
    V7Get(bases, &IVel7FrameBase::SetBase, kBaseSurface, start7.GetInterfacePtr());
    if (item.iDirObj)
        V7Get(bases, &IVel7FrameBase::SetBase, kBaseDirection, To7(item.iDirObj).GetInterfacePtr());
    UpdateModelObject(item.iFrame);
}

void NMElemPos::PlaceAuxLine(ElemPos& item, bool symmetric, double offset, double u, double v)
{
    TraceScope scope(L"NMElemPos::PlaceAuxLine");
    CurrentFrame current(Frames(), RequireHost(item.iFrame));
    if (!item.iAuxLine)
        MakeAuxLine(Document3D(), iFeatures, {0, 0, 0}, {1, 0, 0}, item.iAuxLine);
    const IVel7AuxLineModePtr line = RequireHost(QueryHostOrNull<IVel7AuxLineMode>(item.iAuxLine));
    V7Call(line, &IVel7AuxLineMode::SetState, 1L);
    V7Call(line, &IVel7AuxLineMode::SetState, 0L);
    ScopeExitApi7Slot7 modeBack(line);
    V7Call(line, &IVel7AuxLineMode::put_Mode, kAuxLineMoving);
    const auto [first, second] = AuxLinePoints(symmetric, offset, u, v);
    SetLinePoints(line, first, second);
    UpdateModelObject(line);
}

void NMElemPos::AutoFindDirObj(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::AutoFindDirObj");
    IVel5PartPtr part;
    if (const IVel5EntityPtr start = QueryHostOrNull<IVel5Entity>(iStartPlane))
        part = ObjectAs<IVel5Part>(V5Method(start, IVel5Entity::Part));
    if (!part)
        part = iPart5;
    for (short kind : kDirectionKinds) {
        const IVel5EntityPtr candidate = GetDirectionObject(part.GetInterfacePtr(), kind);
        if (IsDirObjAccepted(candidate, item)) {
            item.iDirObj = candidate;
            scope.Value(L"kind", _variant_t(kind));
            return;
        }
    }
}

bool NMElemPos::IsDirObjAccepted(IDispatch* candidate, ElemPos& item)
{
    TraceScope scope(L"NMElemPos::IsDirObjAccepted");
    if (!candidate || !item.iFrame)
        return false;
    const IDispatchPtr candidate7 = To7(candidate);
    const bool accepted = V7Get(BasesOf(item.iFrame), &IVel7FrameBase::SetBase, kBaseDirection,
                                candidate7.GetInterfacePtr()) != VARIANT_FALSE;
    if (accepted)
        UpdateModelObject(item.iFrame);
    scope.Value(L"accepted", accepted);
    return accepted;
}

void NMElemPos::AutoCorrectAngle(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::AutoCorrectAngle");
    // AutoFindDirObj may have found no axis the frame takes: then there is nothing to follow.
    if (!item.iDirObj) {
        scope.WriteLine(L"no direction object");
        return;
    }
    IVel5EntityPtr sketch = QueryHostOrNull<IVel5Entity>(item.iSketch);
    std::optional<ScopeExitDispid43> temporary;
    if (!sketch) {
        sketch = NewSketch(iStartPlane);
        temporary.emplace(iDoc5, sketch);
    }
    const Point3D d = DirectionOf(item.iDirObj);
    const auto definition = RequireHost(EntityDefinition<IVel5SketchDefinition>(sketch));
    const auto plane = RequireHost(QueryHostOrNull<IVel5Placement>(ObjectAs<IDispatch>(V5Method(definition, IVel5SketchDefinition::Plane))));
    double u = 0;
    double v = 0;
    V5Method(plane, IVel5Placement::ToPlane, d.x, d.y, d.z, ByRef(u), ByRef(v));
    const double value = CorrectedAngle(item.iSketch ? item.A : item.Y, std::atan2(v, u));
    if (item.iSketch)
        item.A = value;
    else
        item.Y = value;
    scope.Value(L"value", value);
}

Point3D NMElemPos::DirectionOf(IDispatch* object)
{
    const IVel5EntityPtr entity = RequireHost(QueryHostOrNull<IVel5Entity>(object));
    Point3D a;
    Point3D b;
    if (IsAxisType(GetEntityType(entity))) {
        GetAxisPoints(entity, a.x, a.y, a.z, b.x, b.y, b.z);
        return {b.x - a.x, b.y - a.y, b.z - a.z};
    }
    // An edge: its curve from the first to the last parameter, carried into the top part's coordinates.
    const auto edge = RequireHost(EntityDefinition<IVel5EdgeDefinition>(entity));
    const auto curve = RequireHost(ObjectAs<IVel5Curve>(V5Method(edge, IVel5EdgeDefinition::Curve)));
    const double start = V5Get(curve, IVel5Curve::Start);
    const double end = V5Get(curve, IVel5Curve::End);
    V5Method(curve, IVel5Curve::PointAt, start, ByRef(a.x), ByRef(a.y), ByRef(a.z));
    V5Method(curve, IVel5Curve::PointAt, end, ByRef(b.x), ByRef(b.y), ByRef(b.z));
    Point3D d{b.x - a.x, b.y - a.y, b.z - a.z};
    GetCurveEndPoints(iPart5, entity, d.x, d.y, d.z);
    return d;
}

double NMElemPos::DistanceToSurface(IDispatch* surface, const Point3D& point, IDispatch* curve)
{
    TraceScope scope(L"NMElemPos::DistanceToSurface");
    const IVel5EntityPtr entity = RequireHost(QueryHostOrNull<IVel5Entity>(surface));
    IDispatchPtr base;
    GetEntityGeometry(entity, base);
    const IVel5SurfacePtr geometry = QueryHostOrNull<IVel5Surface>(base);
    if (!geometry) {
        // An object without a surface cannot be met: no depth, as when the axis misses it.
        scope.WriteLine(L"no surface");
        return 0;
    }
    const IDispatchPtr points = RequireHost(ObjectAs<IDispatch>(V5Method(iDoc5, IVel5Document3D::NewCollection, kPointCollection)));
    V5Method(geometry, IVel5Surface::Intersect, curve, points);
    const long count = V5Get(points, IVel5PointCollection::Count);
    std::vector<Point3D> found;
    for (long i = 0; i < count; ++i) {
        Point3D p;
        V5Method(points, IVel5PointCollection::Point, i, ByRef(p.x), ByRef(p.y), ByRef(p.z));
        GetCurvePoint(iPart5, entity, p.x, p.y, p.z);
        found.push_back(p);
    }
    const double distance = NearestDistance(found, point);
    scope.Value(L"distance", distance);
    return distance;
}
