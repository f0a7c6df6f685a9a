#include "positioning/placement_sketch.h"

#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/entity_access.h"
#include "hostapi/restore_step.h"

namespace {

constexpr long kSegment = 1;
constexpr long kPoint = 5;
constexpr short kSegmentParameters = 11;
constexpr short kPointParameters = 16;
constexpr long kPointStyle = 7;

// The kinds a projected vertex or round edge may give, with the parameter structure each is read into.
struct PointKind {
    long kind;
    short structure;
};
constexpr PointKind kPointKinds[] = {{kPoint, kPointParameters}, {2, 20}, {3, 12}, {32, 22}};

// A projection lives only while it is read.
class Projection {
public:
    Projection(IVel5Document2D* editor, IDispatch* object) : editor_(editor)
    {
        reference_ = V5Method(editor_, IVel5Document2D::Project, RequireHost(IDispatchPtr(object)));
    }
    ~Projection()
    {
        if (reference_)
            RestoreStep(L"~Projection", [this] { V5Method(editor_, IVel5Document2D::RemoveObject, reference_); });
    }
    Projection(const Projection&) = delete;
    Projection& operator=(const Projection&) = delete;
    long Reference() const { return reference_; }

private:
    IVel5Document2DPtr editor_;
    long reference_ = 0;
};

double Number(IDispatch* parameters, DISPID id)
{
    return V5Get(parameters, id);
}

} // namespace

PlacementSketch::PlacementSketch(IVel5Application* application, IDispatch* sketch) : application_(application)
{
    definition_ = RequireHost(EntityDefinition<IVel5SketchDefinition>(RequireHost(QueryHostOrNull<IVel5Entity>(sketch))));
    editor_ = QueryDispid9Interface(definition_);
    close_.emplace(definition_);
    RequireHost(editor_);
}

std::optional<Point2D> PlacementSketch::Point()
{
    const long reference = FirstPoint();
    IDispatchPtr parameters;
    if (!reference || Read(reference, kPointParameters, parameters) != kPoint)
        return std::nullopt;
    return Point2D{Number(parameters, IVel5PointParam::X), Number(parameters, IVel5PointParam::Y)};
}

void PlacementSketch::PutPoint(const Point2D& point)
{
    const long reference = FirstPoint();
    if (!reference) {
        V5Method(editor_, IVel5Document2D::NewPoint, point.x, point.y, kPointStyle);
        return;
    }
    IDispatchPtr parameters;
    Read(reference, kPointParameters, parameters);
    V5Put(parameters, IVel5PointParam::X, point.x);
    V5Put(parameters, IVel5PointParam::Y, point.y);
    V5Method(editor_, IVel5Document2D::WriteParams, reference, parameters, -1L);
}

std::optional<Point2D> PlacementSketch::ProjectedPoint(IDispatch* object)
{
    Projection projection(editor_, object);
    if (!projection.Reference())
        return std::nullopt;
    for (const PointKind& kind : kPointKinds) {
        IDispatchPtr parameters;
        if (Read(projection.Reference(), kind.structure, parameters) == kind.kind)
            // Points, arcs, circles and kind 32 all keep their position or centre first.
            return Point2D{Number(parameters, IVel5PointParam::X), Number(parameters, IVel5PointParam::Y)};
    }
    return std::nullopt;
}

std::optional<Line2D> PlacementSketch::ProjectedLine(IDispatch* object)
{
    Projection projection(editor_, object);
    IDispatchPtr parameters;
    if (!projection.Reference() || Read(projection.Reference(), kSegmentParameters, parameters) != kSegment)
        return std::nullopt;
    Line2D line;
    line.x1 = Number(parameters, IVel5SegmentParam::X1);
    line.y1 = Number(parameters, IVel5SegmentParam::Y1);
    line.x2 = Number(parameters, IVel5SegmentParam::X2);
    line.y2 = Number(parameters, IVel5SegmentParam::Y2);
    line.Init();
    return line;
}

long PlacementSketch::FirstPoint()
{
    const IVel5IteratorPtr iterator = RequireHost(ObjectAs<IVel5Iterator>(V5Method(application_, IVel5Application::NewIterator)));
    const bool created = static_cast<bool>(V5Method(iterator, IVel5Iterator::Init, kPoint, 0L));
    ScopeExitDispid9 close(iterator, created);
    if (!created)
        return 0;
    return V5Method(iterator, IVel5Iterator::Step, L"F");
}

long PlacementSketch::Read(long reference, short structureKind, IDispatchPtr& parameters)
{
    parameters = RequireHost(ObjectAs<IDispatch>(V5Method(application_, IVel5Application::NewStructure, structureKind)));
    return V5Method(editor_, IVel5Document2D::ReadParams, reference, parameters, -1L);
}
