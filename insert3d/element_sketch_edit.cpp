// NMVelmarElement3D: moving a built element to its new position in its own sketch, where the part script
// left the element's base point (by coordinates) or its two edge lines (from two edges).
#include "insert3d/nm_velmar_element_3d.h"

#include "core/trace_log.h"
#include "hostapi/base_point.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/element_queries.h"
#include "hostapi/entity_access.h"
#include "hostapi/host_guards.h"
#include "hostapi/interface_bridge.h"
#include "hostapi/scope_exit.h"
#include "hostapi/vtable_call.h"

#include <array>
#include <functional>
#include <cmath>
#include <vector>

namespace {

constexpr short kSketch = 5;
constexpr short kCoordinateSystem = 85;
constexpr long kSketchSegment = 1;
constexpr long kSketchPoint = 5;
constexpr short kPointParameters = 16;
// Sketch constraints and the partners they tie, by Velmar's type numbers: a merge ties a segment to the
// dimension that carries its side and to the base point it measures from.
constexpr long kMergeConstraint = 11;
constexpr long kSideConstraint = 14;
constexpr long kDimensionPartner = 13041;
constexpr long kBasePointPartner = 13077;
// A sample of an edge lies on a sketch object when it is closer than this.
constexpr double kOnObject = 1e-07;

std::int64_t Address(IUnknown* object)
{
    return reinterpret_cast<std::int64_t>(object);
}

template <class I>
HostPtr<I> Required(IDispatch* object)
{
    return RequireHost(QueryHostOrNull<I>(object));
}

// The first constraint of the type among the object's, in order; null when it has none.
IVel7SketchConstraintPtr FirstConstraint(IDispatch* object, long type, const std::function<bool(IVel7SketchConstraint*)>& accept)
{
    const IVel7SketchObjectPtr sketchObject = Required<IVel7SketchObject>(object);
    const long count = V7Get(sketchObject, &IVel7SketchObject::get_ConstraintCount);
    for (long i = 0; i < count; ++i) {
        const IVel7SketchConstraintPtr constraint =
            Required<IVel7SketchConstraint>(V7Get(sketchObject, &IVel7SketchObject::get_Constraint, i));
        if (V7Get(constraint, &IVel7SketchConstraint::get_Type) == type && accept(constraint))
            return constraint;
    }
    return nullptr;
}

// The partner of the first merge whose partner is of the kind; null when none is. For a dimension the
// flag says whether its first side constraint is set (false without one).
IDispatchPtr GetMergedPartner(IDispatch* object, long kind, bool* flag)
{
    IDispatchPtr partner;
    FirstConstraint(object, kMergeConstraint, [&](IVel7SketchConstraint* merge) {
        partner = V7Get(merge, &IVel7SketchConstraint::get_Partner);
        if (partner && V7Get(Required<IVel7SketchObject>(partner), &IVel7SketchObject::get_Type) == kind)
            return true;
        partner = nullptr;
        return false;
    });
    if (partner && flag) {
        const IVel7SketchConstraintPtr side = FirstConstraint(partner, kSideConstraint, [](IVel7SketchConstraint*) { return true; });
        *flag = side && V7Get(side, &IVel7SketchConstraint::get_Flag) != VARIANT_FALSE;
    }
    return partner;
}

} // namespace

IVel5EntityPtr NMVelmarElement3D::FindSketch()
{
    TraceScope scope(L"NMVelmarElement3D::FindSketch");
    std::vector<IVel5EntityPtr> sketches;
    bool hasSystem = false;
    WalkHostItems(GetEntityDefinition(iMacro), [&](IDispatch* item) {
        const IVel5EntityPtr inner = FeatureToMacro(QueryHost<IVel5Object>(item));
        if (!inner)
            return true;
        const short type = GetEntityType(inner);
        if (type == kSketch)
            sketches.push_back(inner);
        else if (type == kCoordinateSystem)
            hasSystem = true;
        return true;
    });
    IVel5EntityPtr found;
    // Only an element the library's part scripts built (with its system of type 85) is moved in place;
    // its sketch is the one on the start surface the user kept.
    if (hasSystem && elem_pos) {
        for (const IVel5EntityPtr& sketch : sketches) {
            const IVel5SketchDefinitionPtr definition = EntityDefinition<IVel5SketchDefinition>(sketch);
            if (definition && SameHostObject(ObjectAs<IDispatch>(V5Method(definition, IVel5SketchDefinition::Plane)),
                                             elem_pos->iStartPlane)) {
                found = sketch;
                break;
            }
        }
    }
    scope.Hex(L"iSk", Address(found));
    return found;
}

void NMVelmarElement3D::Edit()
{
    TraceScope scope(L"NMVelmarElement3D::Edit");
    const IVel5EntityPtr sketch = FindSketch();
    if (!sketch) {
        state = StateReplace;
        Replace();
        return;
    }
    UndoableStep([&] {
        {
            UndoDisabledGuard undo(iDoc5, iDoc7);
            V7Call(iApp7, &IVel7Application::put_EditSwitch, VARIANT_TRUE);
            ScopeExitApi7Slot25Off editSwitch(iApp7);
            {
                const IVel5SketchDefinitionPtr definition = RequireHost(EntityDefinition<IVel5SketchDefinition>(sketch));
                const IVel5Document2DPtr editor = RequireHost(QueryDispid9Interface(definition));
                ScopeExitDispid2 endEdit(definition);
                const int subMode = RequirePositioning().CurrentItem().GetSubModeIndex();
                scope.Value(L"subMode", _variant_t(static_cast<long>(subMode)));
                if (subMode == SubModeByCoordinates)
                    MoveElementByCoord(editor);
                else if (subMode == SubModeFromTwoEdges)
                    MoveElementByTwoEdges(editor, definition);
            }
            editSwitch.Restore();
        }
        V5Method(sketch, IVel5Entity::Update);
    });
}

void NMVelmarElement3D::MoveElementByCoord(IVel5Document2D* editor)
{
    TraceScope scope(L"NMVelmarElement3D::MoveElementByCoord");
    const IVel5IteratorPtr finder = RequireHost(ObjectAs<IVel5Iterator>(V5Method(iApp5, IVel5Application::NewIterator)));
    const ScopeExitDispid9 release(finder);
    if (!static_cast<bool>(V5Method(finder, IVel5Iterator::Init, kSketchPoint, 0L)))
        return;
    const long reference = V5Method(finder, IVel5Iterator::Step, L"F");
    scope.Hex(L"ref", reference);
    if (!reference)
        return;
    const auto point = NewStructure<IVel5PointParam>(iApp5, kPointParameters);
    const long type = V5Method(editor, IVel5Document2D::ReadParams, reference, point, -1L);
    if (type != kSketchPoint)
        return;
    const ElemPos& item = elem_pos->CurrentItem();
    V5Put(point, IVel5PointParam::X, 0.0 - item.Y);
    V5Put(point, IVel5PointParam::Y, item.X);
    V5Method(editor, IVel5Document2D::WriteParams, reference, point, -1L);
    MarkChanged();
    UpdateElement();
}

void NMVelmarElement3D::MoveElementByTwoEdges(IVel5Document2D* editor, IVel5SketchDefinition* sketch)
{
    TraceScope scope(L"NMVelmarElement3D::MoveElementByTwoEdges");
    const IVel5IteratorPtr finder = RequireHost(ObjectAs<IVel5Iterator>(V5Method(iApp5, IVel5Application::NewIterator)));
    const ScopeExitDispid9 release(finder);
    if (!static_cast<bool>(V5Method(finder, IVel5Iterator::Init, kSketchSegment, 0L)))
        return;
    const long first = V5Method(finder, IVel5Iterator::Step, L"F");
    if (!first)
        return;
    MoveBasepoint(first, editor, sketch);
    if (const long second = V5Method(finder, IVel5Iterator::Step, L"N"))
        MoveBasepoint(second, editor, sketch);
    UpdateElement();
}

void NMVelmarElement3D::MoveBasepoint(long reference, IVel5Document2D* editor, IVel5SketchDefinition* sketch)
{
    TraceScope scope(L"NMVelmarElement3D::MoveBasepoint");
    const ElemPos& item = elem_pos->CurrentItem();
    const IDispatchPtr edge = FindEdge(reference, sketch);
    const long group = V5Get(editor, IVel5Document2D::EditedGroup);
    const IDispatchPtr object =
        RequireHost(ObjectAs<IDispatch>(V5Method(iApp5, IVel5Application::SketchObjectAt, group, reference)));
    bool otherSide = false;
    GetMergedPartner(object, kDimensionPartner, &otherSide);
    const IVel7SketchPointPtr point = Required<IVel7SketchPoint>(GetMergedPartner(object, kBasePointPartner, nullptr));
    scope.Value(L"tx", V7Get(point, &IVel7SketchPoint::get_tx));
    scope.Value(L"ty", V7Get(point, &IVel7SketchPoint::get_ty));
    const bool alongFirst = edge && item.iEdge1 && (edge.GetInterfacePtr() == item.iEdge1.GetInterfacePtr() || SameHostObject(edge, item.iEdge1));
    const double disp = 0.0 - (alongFirst ? item.X : item.Y);
    scope.Value(L"disp", disp);
    const BasePoint moved = MoveBasePoint3D(iApp5, editor, reference, disp, otherSide);
    V7Call(point, &IVel7SketchPoint::put_tx, moved.x);
    // From here the sketch holds a half-moved point: a failure must take the step back.
    MarkChanged();
    V7Call(point, &IVel7SketchPoint::put_ty, moved.y);
    V7Get(point, &IVel7SketchPoint::Update);
    scope.WriteLine(L"iPnt->Update()");
}

IDispatchPtr NMVelmarElement3D::FindEdge(long reference, IVel5SketchDefinition* sketch)
{
    TraceScope scope(L"NMVelmarElement3D::FindEdge");
    const ElemPos& item = elem_pos->CurrentItem();
    auto liesOnObject = [&](IDispatch* edge) {
        const IVel5EdgeDefinitionPtr definition = RequireHost(EntityDefinition<IVel5EdgeDefinition>(Required<IVel5Entity>(edge)));
        const IVel5CurvePtr curve = RequireHost(ObjectAs<IVel5Curve>(V5Method(definition, IVel5EdgeDefinition::Curve)));
        const IVel5PlacementPtr plane =
            RequireHost(ObjectAs<IVel5Placement>(V5Method(sketch, IVel5SketchDefinition::Plane)));
        const double start = V5Get(curve, IVel5Curve::Start);
        const double end = V5Get(curve, IVel5Curve::End);
        for (double t : std::array<double, 3>{start, end, (start + end) / 2}) {
            double x = 0, y = 0, z = 0, u = 0, v = 0;
            V5Method(curve, IVel5Curve::PointAt, t, ByRef(x), ByRef(y), ByRef(z));
            // Into the sketch: the point in its plane's own two coordinates.
            V5Method(plane, IVel5Placement::ToPlane, x, y, z, ByRef(u), ByRef(v));
            const double distance = V5Method(iApp5, IVel5Application::DistanceInSketch, u, v, reference);
            if (!(std::fabs(distance) < kOnObject))
                return false;
        }
        return true;
    };
    const IDispatchPtr found = item.iEdge1 && liesOnObject(item.iEdge1) ? item.iEdge1 : item.iEdge2;
    scope.Hex(L"iEdge", Address(found));
    return found;
}

void NMVelmarElement3D::UpdateElement()
{
    TraceScope scope(L"NMVelmarElement3D::UpdateElement");
    WriteLibraryMark();
    elem_pos->DebugInfo();
    WritePlacementValues(elem_pos->CurrentItem());
    V5Put(iMacroDef, IVel5MacroDefinition::Setting1, false);
    GetNewMateGeometry();
}
