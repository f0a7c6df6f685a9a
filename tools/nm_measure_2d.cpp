#include "tools/nm_measure_2d.h"

#include "core/module.h"
#include "core/translate.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/restore_step.h"

#include <cmath>
#include <memory>

namespace {

constexpr short kRequestInfoKind = 10;
constexpr short kPhantomKind = 6;
constexpr short kSegmentKind = 11;
constexpr short kCircleKind = 12;
constexpr short kArcKind = 20;
constexpr short kRubberLine = 2;
constexpr long kPickObjectMask = 0xFFFC;

constexpr long kSegmentType = 1;
constexpr long kArcType = 2;
constexpr long kCircleType = 3;
constexpr long kMacroType = 27;

// Other line objects, whose parameters read as a segment's.
constexpr long kLineType28 = 28;
constexpr long kLineType48 = 48;

std::unique_ptr<NMMeasure2D> MakeTool(IVel5Application* application, uint8_t kind)
{
    switch (kind) {
    case 1: return std::make_unique<NMMeasureDistance2D>(application);
    case 2: return std::make_unique<NMMeasureLength2D>(application);
    case 3: return std::make_unique<NMMeasureDiameter2D>(application);
    default: return std::make_unique<NMMeasureAngle2D>(application);
    }
}

} // namespace

double FoldSegmentAngle(double first, double second)
{
    double angle = first - second;
    if (angle < 0)
        angle += 360;
    if (angle > 180)
        angle -= 180;
    return angle;
}

NMMeasure2D::NMMeasure2D(IVel5Application* application) : NMMeasure(application, L"MEASUREFILTERPROC2D")
{
    iDoc = RequireHost(ObjectAs<IVel5Document2D>(V5Method(iApp, IVel5Application::ActiveDocument2D)));
}

void NMMeasure2D::Create(IVel5Application* application, uint8_t kind)
{
    TraceScope scope(L"NMMeasure2D::Create");
    scope.Value(L"kind", static_cast<long>(kind));
    if (kind < 1 || kind > 4)
        return;
    Replace([&] { return MakeTool(application, kind); });
}

IVel5RequestInfo2DPtr NMMeasure2D::NewRequest(const std::wstring& prompt)
{
    const auto request = NewStructure<IVel5RequestInfo2D>(iApp, kRequestInfoKind);
    V5Method(request, IVel5RequestInfo2D::Init);
    V5Put(request, IVel5RequestInfo2D::Prompt, Translate(prompt));
    return request;
}

bool NMMeasure2D::RunRequest(IVel5RequestInfo2D* request, double& x, double& y, const _variant_t& phantom)
{
    V5Method(iApp, IVel5Application::BeforeProcess);
    // Velmar answers -1 for a point; any non-zero answer is taken as one.
    return static_cast<long>(V5Method(iDoc, IVel5Document2D::PointRequest, request, ByRef(x), ByRef(y), phantom)) != 0;
}

bool NMMeasure2D::GetPoint(const std::wstring& prompt, double& x, double& y)
{
    return RunRequest(NewRequest(prompt), x, y, _variant_t());
}

bool NMMeasure2D::GetSecondPoint(double x1, double y1, const std::wstring& prompt, double& x, double& y)
{
    const IVel5RequestInfo2DPtr request = NewRequest(prompt);
    const auto phantom = NewStructure<IVel5Phantom2D>(iApp, kPhantomKind);
    V5Method(phantom, IVel5Phantom2D::Init);
    V5Put(phantom, IVel5Phantom2D::Kind, kRubberLine);
    const auto start = RequireHost(ObjectAs<IVel5Phantom2DPoint>(V5Method(phantom, IVel5Phantom2D::Params)));
    V5Put(start, IVel5Phantom2DPoint::X, x1);
    V5Put(start, IVel5Phantom2DPoint::Y, y1);
    return RunRequest(request, x, y, _variant_t(static_cast<IDispatch*>(phantom)));
}

void NMMeasure2D::PickObject(const std::wstring& prompt)
{
    PickFlag = false;
    PickedObject = 0;
    const IVel5RequestInfo2DPtr request = NewRequest(prompt);
    V5Put(request, IVel5RequestInfo2D::Setting5, 1L);
    V5Put(request, IVel5RequestInfo2D::ObjectMask, kPickObjectMask);
    V5Method(request, IVel5RequestInfo2D::FilterCallback, FilterName, ModuleHandleForVelmar(), static_cast<IDispatch*>(nullptr));
    double x = 0;
    double y = 0;
    RunRequest(request, x, y, _variant_t());
}

void NMMeasure2D::PickThenUnhighlight(const std::wstring& prompt)
{
    PartialSwitches highlighted(L"NMMeasure2D::PickThenUnhighlight");
    highlighted.Add([this] { Unhighlight(0); });
    PickObject(prompt);
    highlighted.Commit();
    Unhighlight(0);
}

void NMMeasure2D::Unhighlight(long other)
{
    Highlight(other, false);
    if (PickedObject != other)
        Highlight(PickedObject, false);
}

long NMMeasure2D::ObjectType(long object)
{
    return V5Method(iDoc, IVel5Document2D::ReadParams, object, _variant_t(), -1L);
}

long NMMeasure2D::FindObjectAt(double x, double y)
{
    double localX = 0;
    double localY = 0;
    V5Method(iDoc, IVel5Document2D::ToLocal, x, y, ByRef(localX), ByRef(localY));
    long object = V5Method(iDoc, IVel5Document2D::ObjectAt, localX, localY, 1.0);
    if (object == 0 || ObjectType(object) != kMacroType ||
        static_cast<long>(V5Method(iDoc, IVel5Document2D::ReopenMacro, object)) == 0)
        return object;
    // What the user points at inside a macro is one of its own objects, found in the macro's coordinates.
    PartialSwitches macroOpen(L"NMMeasure2D::FindObjectAt");
    macroOpen.Add([this] { V5Method(iDoc, IVel5Document2D::EndMacro); });
    double macroX = 0;
    double macroY = 0;
    double angle = 0;
    if (static_cast<long>(V5Method(iDoc, IVel5Document2D::MacroPlacement, object, ByRef(macroX), ByRef(macroY), ByRef(angle))) != 0) {
        V5Method(iDoc, IVel5Document2D::OpenLocalSystem, macroX, macroY, angle, 1.0, 1.0);
        {
            PartialSwitches systemOpen(L"NMMeasure2D::FindObjectAt");
            systemOpen.Add([this] { V5Method(iDoc, IVel5Document2D::CloseLocalSystem); });
            object = FindObjectAt(x, y);
            systemOpen.Commit();
        }
        V5Method(iDoc, IVel5Document2D::CloseLocalSystem);
    }
    macroOpen.Commit();
    V5Method(iDoc, IVel5Document2D::EndMacro);
    return object;
}

void NMMeasure2D::Highlight(long object, bool on)
{
    if (object != 0)
        V5Method(iDoc, IVel5Document2D::Highlight, object, on ? 1L : 0L);
}

int32_t NMMeasure2D::TakeObjectAt(double x, double y, bool (*accepts)(long type))
{
    const long object = FindObjectAt(x, y);
    if (object == 0 || (accepts && !accepts(ObjectType(object))))
        return 1;
    if (object != PickedObject) {
        Highlight(PickedObject, false);
        Highlight(object, true);
        PickedObject = object;
    }
    return 0;
}

IVel5Math2DPtr NMMeasure2D::Math()
{
    return RequireHost(ObjectAs<IVel5Math2D>(V5Method(iApp, IVel5Application::Math2D)));
}

std::wstring NMMeasureDistance2D::Measure()
{
    TraceScope scope(L"NMMeasureDistance2D::Measure");
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    if (GetPoint(L"Укажите первую точку для измерения расстояния", x1, y1) &&
        GetSecondPoint(x1, y1, L"Укажите вторую точку для измерения расстояния", x2, y2))
        Value = std::hypot(x2 - x1, y2 - y1);
    return GetValueText();
}

int32_t NMMeasureDistance2D::Filter(double, double)
{
    return 0;
}

std::wstring NMMeasureLength2D::Measure()
{
    TraceScope scope(L"NMMeasureLength2D::Measure");
    PickThenUnhighlight(L"Укажите объект");
    if (PickFlag && PickedObject != 0)
        Value = V5Method(Math(), IVel5Math2D::Length, PickedObject, 1L);
    return GetValueText();
}

int32_t NMMeasureLength2D::Filter(double x, double y)
{
    return TakeObjectAt(x, y, nullptr);
}

std::wstring NMMeasureDiameter2D::Measure()
{
    TraceScope scope(L"NMMeasureDiameter2D::Measure");
    PickThenUnhighlight(L"Укажите объект");
    if (!PickFlag || PickedObject == 0)
        return GetValueText();
    const long type = ObjectType(PickedObject);
    if (type != kCircleType && type != kArcType)
        return GetValueText();
    const IDispatchPtr params = type == kCircleType ? IDispatchPtr(NewStructure<IVel5CircleParam>(iApp, kCircleKind))
                                                    : IDispatchPtr(NewStructure<IVel5ArcParam>(iApp, kArcKind));
    V5Method(iDoc, IVel5Document2D::ReadParams, PickedObject, params, -1L);
    // Arcs and circles keep the radius at the same number.
    Value = 2 * static_cast<double>(V5Get(params, IVel5CircleParam::Radius));
    return GetValueText();
}

int32_t NMMeasureDiameter2D::Filter(double x, double y)
{
    return TakeObjectAt(x, y, [](long type) { return type == kArcType || type == kCircleType; });
}

std::wstring NMMeasureAngle2D::Measure()
{
    TraceScope scope(L"NMMeasureAngle2D::Measure");
    // The first segment stays highlighted while the user picks the second.
    long first = 0;
    PartialSwitches highlighted(L"NMMeasureAngle2D::Measure");
    highlighted.Add([this, &first] { Unhighlight(first); });
    PickObject(L"Укажите первый объект");
    if (PickFlag && PickedObject != 0) {
        first = PickedObject;
        PickObject(L"Укажите второй объект");
    }
    highlighted.Commit();
    Unhighlight(first);
    double angle1 = 0;
    double angle2 = 0;
    if (first != 0 && PickFlag && PickedObject != 0 && SegmentAngle(first, angle1) && SegmentAngle(PickedObject, angle2))
        Value = FoldSegmentAngle(angle1, angle2);
    return GetValueText();
}

bool NMMeasureAngle2D::SegmentAngle(long object, double& angle)
{
    const auto segment = NewStructure<IVel5SegmentParam>(iApp, kSegmentKind);
    if (static_cast<long>(V5Method(iDoc, IVel5Document2D::ReadParams, object, segment, -1L)) == 0)
        return false;
    const double x1 = V5Get(segment, IVel5SegmentParam::X1);
    const double y1 = V5Get(segment, IVel5SegmentParam::Y1);
    const double x2 = V5Get(segment, IVel5SegmentParam::X2);
    const double y2 = V5Get(segment, IVel5SegmentParam::Y2);
    angle = V5Method(Math(), IVel5Math2D::DirectionAngle, x1, y1, x2, y2);
    return true;
}

int32_t NMMeasureAngle2D::Filter(double x, double y)
{
    return TakeObjectAt(x, y, [](long type) { return type == kSegmentType || type == kLineType28 || type == kLineType48; });
}
