#include "tools/nm_measure_3d.h"

#include "core/format_string.h"
#include "core/module.h"
#include "core/translate.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/mate_queries.h"
#include "hostapi/restore_step.h"

#include <cmath>
#include <memory>

namespace {

constexpr short kFaceType = 6;
constexpr short kEdgeType = 7;
constexpr short kThreadType = 58;
constexpr DISPID kNone = 0;   // no member asked: entities of that kind are refused

std::unique_ptr<NMMeasure3D> MakeTool(IVel5Application* application, uint8_t kind)
{
    switch (kind) {
    case 1: return std::make_unique<NMMeasureDistance3D>(application);
    case 2: return std::make_unique<NMMeasureLength3D>(application);
    case 3: return std::make_unique<NMMeasureDiameter3D>(application);
    case 4: return std::make_unique<NMMeasureAngle3D>(application);
    default: return std::make_unique<NMMeasureThread3D>(application);
    }
}

} // namespace

NMMeasure3D::NMMeasure3D(IVel5Application* application) : NMMeasure(application, L"MEASUREFILTERPROC3D")
{
    iDoc = RequireHost(ObjectAs<IVel5Document3D>(V5Method(iApp, IVel5Application::ActiveDocument3D)));
    iSelection1 = RequireHost(ObjectAs<IVel5Selection>(V5Method(iDoc, IVel5Document3D::SelectionA)));
    iSelection2 = RequireHost(ObjectAs<IVel5Selection>(V5Method(iDoc, IVel5Document3D::SelectionB)));
    V5Method(iSelection1, IVel5Selection::Clear);
    V5Method(iSelection2, IVel5Selection::Clear);
    iMeasurer = RequireHost(ObjectAs<IVel5Measurer>(V5Method(RequireHost(GetTopPart(iDoc)), IVel5Part::Measurer)));
}

NMMeasure3D::~NMMeasure3D()
{
    RestoreStep(L"~NMMeasure3D", [this] { V5Method(iSelection1, IVel5Selection::Clear); });
    RestoreStep(L"~NMMeasure3D", [this] { V5Method(iSelection2, IVel5Selection::Clear); });
}

void NMMeasure3D::Create(IVel5Application* application, uint8_t kind)
{
    TraceScope scope(L"NMMeasure3D::Create");
    scope.Value(L"kind", static_cast<long>(kind));
    if (kind < 1 || kind > 5)
        return;
    Replace([&] { return MakeTool(application, kind); });
}

IVel5EntityPtr NMMeasure3D::PickObject(const std::wstring& prompt)
{
    V5Method(iApp, IVel5Application::BeforeProcess);
    const _variant_t picked = V5Method(iDoc, IVel5Document3D::PickEntity, static_cast<IDispatch*>(nullptr), FilterName,
                                       Translate(prompt), ModuleHandleForVelmar(), static_cast<IDispatch*>(nullptr));
    return ObjectAs<IVel5Entity>(picked);
}

std::wstring NMMeasure3D::MeasurePair(DISPID result)
{
    const IVel5EntityPtr first = PickObject(L"Укажите первый объект");
    if (!first)
        return GetValueText();
    V5Method(iSelection2, IVel5Selection::Add, first);
    const IVel5EntityPtr second = PickObject(L"Укажите второй объект");
    if (!second)
        return GetValueText();
    V5Method(iSelection2, IVel5Selection::Add, second);
    V5Put(iMeasurer, IVel5Measurer::First, first);
    V5Put(iMeasurer, IVel5Measurer::Second, second);
    if (static_cast<bool>(V5Method(iMeasurer, IVel5Measurer::Calculate)))
        Value = V5Get(iMeasurer, result);
    return GetValueText();
}

int32_t NMMeasure3D::Accepts(IDispatch* object, DISPID faceTest, DISPID edgeTest, bool threads)
{
    const auto entity = QueryHostOrNull<IVel5Entity>(object);
    if (!entity)
        return 0;
    switch (GetEntityType(entity)) {
    case kFaceType: {
        const auto face = EntityDefinition<IVel5FaceDefinition>(entity);
        return faceTest != kNone && face && static_cast<bool>(V5Method(face, faceTest));
    }
    case kEdgeType: {
        const auto edge = EntityDefinition<IVel5EdgeDefinition>(entity);
        return edgeTest != kNone && edge && static_cast<bool>(V5Method(edge, edgeTest));
    }
    case kThreadType:
        return threads;
    default:
        return 0;
    }
}

void NMMeasure3D::ReadCylinder(IVel5Entity* face, double& length, double& radius)
{
    V5Method(RequireHost(EntityDefinition<IVel5FaceDefinition>(face)), IVel5FaceDefinition::CylinderParams, ByRef(length), ByRef(radius));
}

IDispatchPtr NMMeasure3D::EdgeShape(IVel5Entity* edge, DISPID isShape)
{
    const auto definition = RequireHost(EntityDefinition<IVel5EdgeDefinition>(edge));
    const auto curve = RequireHost(ObjectAs<IVel5Curve>(V5Method(definition, IVel5EdgeDefinition::Curve)));
    if (!static_cast<bool>(V5Method(curve, isShape)))
        return nullptr;
    return RequireHost(ObjectAs<IDispatch>(V5Method(curve, IVel5Curve::Shape)));
}

void NMMeasure3D::ReadThread(IVel5Entity* thread, double& diameter, double& pitch)
{
    const auto definition = RequireHost(EntityDefinition<IVel5ThreadDefinition>(thread));
    diameter = V5Get(definition, IVel5ThreadDefinition::Param1);
    pitch = V5Get(definition, IVel5ThreadDefinition::Param3);
}

std::wstring NMMeasureDistance3D::Measure()
{
    TraceScope scope(L"NMMeasureDistance3D::Measure");
    return MeasurePair(IVel5Measurer::Distance);
}

int32_t NMMeasureDistance3D::Filter(IDispatch* object)
{
    return Accepts(object, IVel5FaceDefinition::Test1, kNone, false);
}

std::wstring NMMeasureAngle3D::Measure()
{
    TraceScope scope(L"NMMeasureAngle3D::Measure");
    return MeasurePair(IVel5Measurer::Angle);
}

int32_t NMMeasureAngle3D::Filter(IDispatch* object)
{
    return Accepts(object, IVel5FaceDefinition::Test1, kNone, false);
}

std::wstring NMMeasureLength3D::Measure()
{
    TraceScope scope(L"NMMeasureLength3D::Measure");
    const IVel5EntityPtr entity = PickObject(L"Укажите ребро");
    const short type = entity ? GetEntityType(entity) : 0;
    if (type == kFaceType) {
        double radius = 0;
        ReadCylinder(entity, Value, radius);
    } else if (type == kEdgeType) {
        if (const IDispatchPtr line = EdgeShape(entity, IVel5Curve::IsLine)) {
            double start[3] = {};
            double end[3] = {};
            V5Method(line, IVel5Line3D::Start, ByRef(start[0]), ByRef(start[1]), ByRef(start[2]));
            V5Method(line, IVel5Line3D::End, ByRef(end[0]), ByRef(end[1]), ByRef(end[2]));
            Value = std::hypot(end[0] - start[0], end[1] - start[1], end[2] - start[2]);
        }
    }
    return GetValueText();
}

int32_t NMMeasureLength3D::Filter(IDispatch* object)
{
    return Accepts(object, IVel5FaceDefinition::Test3, IVel5EdgeDefinition::Test1, false);
}

std::wstring NMMeasureDiameter3D::Measure()
{
    TraceScope scope(L"NMMeasureDiameter3D::Measure");
    const IVel5EntityPtr entity = PickObject(L"Укажите объект");
    const short type = entity ? GetEntityType(entity) : 0;
    if (type == kFaceType) {
        double length = 0;
        double radius = 0;
        ReadCylinder(entity, length, radius);
        Value = 2 * radius;
    } else if (type == kEdgeType) {
        if (const IDispatchPtr circle = EdgeShape(entity, IVel5Curve::IsCircle))
            Value = 2 * static_cast<double>(V5Get(circle, IVel5Circle3D::Radius));
    } else if (type == kThreadType) {
        double pitch = 0;
        ReadThread(entity, Value, pitch);
    }
    return GetValueText();
}

int32_t NMMeasureDiameter3D::Filter(IDispatch* object)
{
    return Accepts(object, IVel5FaceDefinition::Test3, IVel5EdgeDefinition::Test9, true);
}

std::wstring NMMeasureThread3D::Measure()
{
    TraceScope scope(L"NMMeasureThread3D::Measure");
    const IVel5EntityPtr entity = PickObject(L"Укажите резьбу");
    if (entity && GetEntityType(entity) == kThreadType)
        ReadThread(entity, Value, Pitch);
    return GetValueText();
}

std::wstring NMMeasureThread3D::GetValueText()
{
    return FormatString(L"M%.6g x %.6g", Value, Pitch);
}

int32_t NMMeasureThread3D::Filter(IDispatch* object)
{
    return Accepts(object, kNone, kNone, true);
}
