#include "positioning/nm_elem_pos_m.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/dual_interface.h"
#include "hostapi/entity_access.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"
#include "positioning/placement_sketch.h"
#include "positioning/preview_scopes.h"

#include <cmath>

namespace {

constexpr short kEdges = 7;
constexpr short kPoints = 8;

bool HasSubObject(IDispatch* owner, short kind, IDispatch* object)
{
    const IVel5EntityPtr entity = QueryHostOrNull<IVel5Entity>(owner);
    if (!entity || !object)
        return false;
    bool found = false;
    WalkHostItems(ObjectAs<IDispatch>(V5Method(entity, IVel5Entity::SubObjects, kind)), [&](IDispatch* item) {
        found = SameHostObject(item, object);
        return !found;
    });
    return found;
}

Point3D ReadLinePoint(IVel7AuxLineMode* line, long index)
{
    Point3D p;
    V7Call(line, &IVel7AuxLineMode::GetPoint, index, &p.x, &p.y, &p.z);
    return p;
}

} // namespace

NMElemPosM::NMElemPosM(IVel5Application* app5, IVel7Application* app7, PositioningMode mode)
    : NMElemPos(app5, app7, mode)
{
    TraceScope scope(L":NMElemPosM(PositioningMode)");
    scope.Value(L"PosMode", _variant_t(static_cast<long>(mode)));
}

NMElemPosM::~NMElemPosM()
{
    try {
        TraceScope scope(L"~NMElemPosM");
    } catch (...) {
        TraceCurrentException(L"~NMElemPosM");
    }
}

void NMElemPosM::CreateGeom(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::CreateGeom");
    item.iSketch = NewSketch(iStartPlane);
    DrawPoint(item);
    const IDispatchPtr sketch7 = To7(item.iSketch);
    item.iFrame = RequireHost(V7Get(Frames(), &IVel7Frames::Add));
    IVel7Frame* frame = AsDual<IVel7Frame>(item.iFrame);
    V7Call(frame, &IVel7Frame::put_Setting7, VARIANT_TRUE);
    V7Call(frame, &IVel7Frame::put_Setting8, VARIANT_TRUE);
    V7Call(RequireHost(QueryHostOrNull<IVel7FrameSource>(item.iFrame)), &IVel7FrameSource::AddSource,
           sketch7.GetInterfacePtr());
    UpdateModelObject(item.iFrame);
    BindFrameBases(item);
}

void NMElemPosM::DrawPoint(ElemPos& item)
{
    TraceScope scope(L"NMElemPosM::DrawPoint");
    PlacementSketch sketch(iApp5, item.iSketch);
    sketch.PutPoint(PointOfItem(item, sketch));
}

Point2D NMElemPosM::PointOfItem(ElemPos& item, PlacementSketch& sketch)
{
    const int subMode = item.GetSubModeIndex();
    TraceScope scope(L"NMElemPosM::PointOfItem");
    scope.Value(L"subMode", _variant_t(static_cast<long>(subMode)));
    IDispatch* picked = subMode == SubModeVertex ? item.iVertex.GetInterfacePtr()
                        : subMode == SubModeRoundEdgeCentre ? item.iCylEdge.GetInterfacePtr()
                                                            : nullptr;
    if (picked) {
        if (const std::optional<Point2D> point = sketch.ProjectedPoint(picked))
            CoordinatesOfSketchPoint(*point, item.X, item.Y);
        else
            scope.WriteLine(L"the projection gives no point: by coordinates");
    }
    if (subMode == SubModeFromTwoEdges && item.iEdge1 && item.iEdge2) {
        const std::optional<Line2D> first = sketch.ProjectedLine(item.iEdge1);
        const std::optional<Line2D> second = sketch.ProjectedLine(item.iEdge2);
        std::optional<Point2D> point;
        if (first && second)
            point = Intersection(OffsetLine(*first, item.X), OffsetLine(*second, item.Y));
        if (point)
            return *point;
        scope.WriteLine(L"the edges give no point (parallel or degenerate projections): by coordinates");
    }
    return SketchPointOf(item.X, item.Y);
}

void NMElemPosM::ApplyPosition(ElemPos& item)
{
    TraceScope scope(L"NMElemPos::ApplyPosition");
    if (!item.iSketch)
        return;
    DrawPoint(item);
    BindFrameBases(item);
    const double phi = Radians(item.A);
    PlaceAuxLine(item, false, 0, item.R * std::cos(phi), item.R * std::sin(phi));
}

bool NMElemPosM::RecreateGeom(ElemPos& item, bool correctAngle)
{
    TraceScope scope(L"NMElemPos::RecreateGeom");
    if (!iStartPlane)
        return false;
    DeleteGeom(item);
    CreateGeom(item);
    if (item.iDirObj)
        return false;
    AutoFindDirObj(item);
    if (correctAngle)
        AutoCorrectAngle(item);
    return true;
}

void NMElemPosM::UpdateHeight()
{
    TraceScope scope(L"NMElemPos::UpdateHeight");
    MeasureFirstItem(true);
    scope.Value(L"tcsH", tcsH);
}

double NMElemPosM::CalcHeight(ElemPos& item, IDispatch* surface)
{
    TraceScope scope(L"NMElemPos::CalcHeight");
    CurrentFrame current(Frames(), RequireHost(item.iFrame));
    const IVel7AuxLineModePtr line = RequireHost(QueryHostOrNull<IVel7AuxLineMode>(item.iAuxLine));
    ScopeExitApi7Slot7 modeBack(line);
    V7Call(line, &IVel7AuxLineMode::put_Mode, kAuxLineMoving);
    const Point3D first = ReadLinePoint(line, 1);
    const Point3D second = ReadLinePoint(line, 2);
    // The element starts where its shift ends.
    const Point3D from = item.R <= 0 ? first : second;
    MeasuringLine measure(iApp5, iDoc5);
    IVel5Entity* curve = measure.Make(Document3D(), iFeatures, from);
    return DistanceToSurface(surface, from, curve);
}

void NMElemPosM::ReadSketchPoint()
{
    TraceScope scope(L"NMElemPosM::ReadSketchPoint");
    ElemPos& item = CurrentItem();
    PlacementSketch sketch(iApp5, item.iSketch);
    if (const std::optional<Point2D> point = sketch.Point())
        CoordinatesOfSketchPoint(*point, item.X, item.Y);
}

bool NMElemPosM::TakeProjectedPoint(IDispatch* object)
{
    TraceScope scope(L"NMElemPosM::TakeProjectedPoint");
    ElemPos& item = CurrentItem();
    PlacementSketch sketch(iApp5, item.iSketch);
    const std::optional<Point2D> point = sketch.ProjectedPoint(object);
    if (point)
        CoordinatesOfSketchPoint(*point, item.X, item.Y);
    return point.has_value();
}

bool NMElemPosM::IsEdgeProjectable(IDispatch* edge)
{
    TraceScope scope(L"NMElemPosM::IsEdgeProjectable");
    PlacementSketch sketch(iApp5, CurrentItem().iSketch);
    return sketch.ProjectedLine(edge).has_value();
}

std::optional<std::pair<Line2D, Line2D>> NMElemPosM::ProjectEdges(IDispatch* first, IDispatch* second)
{
    TraceScope scope(L"NMElemPosM::ProjectEdges");
    PlacementSketch sketch(iApp5, CurrentItem().iSketch);
    const std::optional<Line2D> line1 = sketch.ProjectedLine(first);
    const std::optional<Line2D> line2 = sketch.ProjectedLine(second);
    if (!line1 || !line2)
        return std::nullopt;
    return std::make_pair(*line1, *line2);
}

long NMElemPosM::IsPreviewPoint(IDispatch* object)
{
    for (const ElemPos& item : Items)
        if ((item.iVertex && SameHostObject(item.iVertex, object)) || HasSubObject(item.iSketch, kPoints, object))
            return -1;
    return 0;
}

long NMElemPosM::IsAuxLineEdge(IDispatch* object)
{
    return IsAuxLineObject(object, kEdges);
}

long NMElemPosM::IsAuxLinePoint(IDispatch* object)
{
    return IsAuxLineObject(object, kPoints);
}

long NMElemPosM::IsAuxLineObject(IDispatch* object, short kind)
{
    for (const ElemPos& item : Items)
        if (item.iAuxLine && HasSubObject(GetMacroFromAPI7ObjectEx(item.iAuxLine), kind, object))
            return -1;
    return 0;
}
