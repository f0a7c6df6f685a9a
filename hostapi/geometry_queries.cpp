#include "hostapi/geometry_queries.h"

#include "hostapi/entity_access.h"

#include <cmath>
#include <utility>

namespace {

constexpr short kOffsetPlane = 14;
// Velmar's values are exact to about this much; anything smaller is taken as zero.
constexpr double kTolerance = 1e-6;

struct Vector {
    double x = 0;
    double y = 0;
    double z = 0;
};

Vector WithoutNoise(Vector v)
{
    for (double* c : {&v.x, &v.y, &v.z})
        if (std::fabs(*c) < kTolerance)
            *c = 0;
    return v;
}

template <class Definition>
IVel5CurvePtr AxisCurve(IVel5Entity* entity)
{
    auto definition = RequireHost(EntityDefinition<Definition>(entity));
    return ObjectAs<IVel5Curve>(V5Method(definition, Definition::Curve));
}

// Each axis type has a definition interface of its own.
IVel5CurvePtr AxisCurveOfType(IVel5Entity* entity, short type)
{
    switch (type) {
    case 9:
        return AxisCurve<IVel5AxisDefinition9>(entity);
    case 10:
        return AxisCurve<IVel5AxisDefinition10>(entity);
    case 11:
        return AxisCurve<IVel5AxisDefinition11>(entity);
    case 12:
        return AxisCurve<IVel5AxisDefinition12>(entity);
    default:
        return AxisCurve<IVel5AxisDefinition13>(entity);
    }
}

// (length, radius) of a cylindrical face; both 0 without a face definition.
std::pair<double, double> CylinderValues(IVel5Entity* entity)
{
    double length = 0;
    double radius = 0;
    if (auto face = EntityDefinition<IVel5FaceDefinition>(entity))
        V5Method(face, IVel5FaceDefinition::CylinderParams, ByRef(length), ByRef(radius));
    return {length, radius};
}

IVel5EntityPtr FaceEntity(IVel5FaceDefinition* face)
{
    return ObjectAs<IVel5Entity>(V5Method(face, IVel5FaceDefinition::Face));
}

bool FacePasses(IVel5FaceDefinition* face, DISPID test)
{
    return static_cast<bool>(V5Method(face, test));
}

double ThreadValue(IVel5Entity* entity, DISPID value)
{
    auto thread = EntityDefinition<IVel5ThreadDefinition>(entity);
    return thread ? static_cast<double>(V5Get(thread, value)) : 0.0;
}

// The object a definition of its kind gives at a member; null without such a definition.
template <class Definition>
IDispatchPtr BaseOf(IVel5Entity* entity, DISPID member = Definition::Base)
{
    auto definition = EntityDefinition<Definition>(entity);
    return definition ? ObjectAs<IDispatch>(V5Method(definition, member)) : nullptr;
}

} // namespace

void GetAxisPoints(IVel5Entity* entity, double& x1, double& y1, double& z1, double& x2, double& y2, double& z2)
{
    x1 = y1 = z1 = 0;
    const short type = GetEntityType(entity);
    if (type >= 71 && type <= 73) {
        x2 = type == 71 ? 1 : 0;
        y2 = type == 72 ? 1 : 0;
        z2 = type == 73 ? 1 : 0;
        return;
    }
    if (type < 9 || type > 13)
        return;
    IVel5CurvePtr curve = AxisCurveOfType(entity, type);
    if (!curve)
        return;
    const double start = V5Get(curve, IVel5Curve::Start);
    const double end = V5Get(curve, IVel5Curve::End);
    V5Method(curve, IVel5Curve::PointAt, start, ByRef(x1), ByRef(y1), ByRef(z1));
    V5Method(curve, IVel5Curve::PointAt, end, ByRef(x2), ByRef(y2), ByRef(z2));
}

void GetCurveEndPoints(IVel5Part* target, IVel5Entity* entity, double& x, double& y, double& z)
{
    if (!target)
        RaiseNullHostPointer(__uuidof(IVel5Part));
    auto part = ObjectAs<IVel5Part>(V5Method(entity, IVel5Entity::Part));
    if (!part)
        return;
    // A direction has no place: converting both ends of the vector takes the parts' offsets out again.
    Vector a;
    Vector b{x, y, z};
    V5Method(target, IVel5Part::ConvertPoint, ByRef(a.x), ByRef(a.y), ByRef(a.z), part);
    V5Method(target, IVel5Part::ConvertPoint, ByRef(b.x), ByRef(b.y), ByRef(b.z), part);
    x = b.x - a.x;
    y = b.y - a.y;
    z = b.z - a.z;
}

void GetCurvePoint(IVel5Part* target, IVel5Entity* entity, double& x, double& y, double& z)
{
    if (!target || !entity)
        return;
    auto part = ObjectAs<IVel5Part>(V5Method(entity, IVel5Entity::Part));
    if (!part || IUnknownPtr(part).GetInterfacePtr() == IUnknownPtr(target).GetInterfacePtr())
        return;
    V5Method(target, IVel5Part::ConvertPoint, ByRef(x), ByRef(y), ByRef(z), part);
}

double GetCylinderParam1(IVel5Entity* entity)
{
    return CylinderValues(entity).second;
}

double GetCylinderParam2(IVel5Entity* entity)
{
    return CylinderValues(entity).first;
}

bool IsCylindricalFace(IVel5Entity* entity)
{
    auto face = EntityDefinition<IVel5FaceDefinition>(entity);
    if (!face)
        return false;
    auto surface = RequireHost(ObjectAs<IVel5Surface>(V5Method(face, IVel5FaceDefinition::Surface)));
    const double u = V5Get(surface, IVel5Surface::U);
    const double v = V5Get(surface, IVel5Surface::V);

    Vector n;
    V5Method(surface, IVel5Surface::NormalAt, u, v, ByRef(n.x), ByRef(n.y), ByRef(n.z));
    if (!static_cast<bool>(V5Get(face, IVel5FaceDefinition::Orientation)))
        n = {-n.x, -n.y, -n.z};
    n = WithoutNoise(n);

    Vector p;
    V5Method(surface, IVel5Surface::PointAt, u, v, ByRef(p.x), ByRef(p.y), ByRef(p.z));
    auto cylinder = RequireHost(ObjectAs<IVel5CylinderParam>(V5Method(surface, IVel5Surface::Parameters)));
    auto axis = RequireHost(ObjectAs<IVel5Placement>(V5Method(cylinder, IVel5CylinderParam::Axis)));
    Vector o;
    V5Method(axis, IVel5Placement::AxisPoint, ByRef(o.x), ByRef(o.y), ByRef(o.z));

    const Vector r = WithoutNoise({p.x - o.x, p.y - o.y, p.z - o.z});
    return r.x * n.x >= 0 && r.y * n.y >= 0 && r.z * n.z >= 0;
}

long GetEdgeCircle(IVel5Entity* edge, IVel5EntityPtr& planarFace, IVel5EntityPtr& cylindricalFace)
{
    auto definition = EntityDefinition<IVel5EdgeDefinition>(edge);
    if (!definition)
        return 0;
    auto side1 = ObjectAs<IVel5FaceDefinition>(V5Method(definition, IVel5EdgeDefinition::AdjacentFace, short{-1}));
    auto side2 = ObjectAs<IVel5FaceDefinition>(V5Method(definition, IVel5EdgeDefinition::AdjacentFace, short{0}));
    if (!side1 || !side2)
        return 0;
    if (FacePasses(side1, IVel5FaceDefinition::Test3) && FacePasses(side2, IVel5FaceDefinition::Test1)) {
        cylindricalFace = FaceEntity(side1);
        planarFace = FaceEntity(side2);
        return -1;
    }
    if (FacePasses(side1, IVel5FaceDefinition::Test1) && FacePasses(side2, IVel5FaceDefinition::Test3)) {
        cylindricalFace = FaceEntity(side2);
        planarFace = FaceEntity(side1);
        return -1;
    }
    return 0;
}

bool GetThreadFlag(IVel5Entity* entity)
{
    auto thread = RequireHost(EntityDefinition<IVel5ThreadDefinition>(entity));
    return static_cast<bool>(V5Get(thread, IVel5ThreadDefinition::Outer));
}

double GetThreadParam1(IVel5Entity* entity)
{
    return ThreadValue(entity, IVel5ThreadDefinition::Param1);
}

double GetThreadParam2(IVel5Entity* entity)
{
    auto thread = RequireHost(EntityDefinition<IVel5ThreadDefinition>(entity));
    const double value = V5Get(thread, IVel5ThreadDefinition::Param2);
    auto base = ObjectAs<IVel5Entity>(V5Method(thread, IVel5ThreadDefinition::Base));
    if (!base || GetEntityType(base) != kOffsetPlane)
        return value;
    // A thread that starts from an offset plane counts its length from the plane's own base.
    auto plane = RequireHost(EntityDefinition<IVel5OffsetPlaneDefinition>(base));
    return static_cast<double>(V5Get(plane, IVel5OffsetPlaneDefinition::Offset)) + value;
}

double GetThreadParam3(IVel5Entity* entity)
{
    return ThreadValue(entity, IVel5ThreadDefinition::Param3);
}

void GetEntityGeometry(IVel5Entity* entity, IDispatchPtr& base)
{
    base = nullptr;
    switch (GetEntityType(entity)) {
    case 1:
    case 2:
    case 3:
        base = BaseOf<IVel5PlaneDefinition1>(entity);
        break;
    case 6:
        base = BaseOf<IVel5FaceDefinition>(entity, IVel5FaceDefinition::Surface);
        break;
    case 14:
        base = BaseOf<IVel5OffsetPlaneDefinition>(entity);
        break;
    case 15:
        base = BaseOf<IVel5PlaneDefinition15>(entity);
        break;
    case 16:
        base = BaseOf<IVel5PlaneDefinition16>(entity);
        break;
    case 17:
        base = BaseOf<IVel5PlaneDefinition17>(entity);
        break;
    case 18:
        base = BaseOf<IVel5PlaneDefinition18>(entity);
        break;
    case 19:
        base = BaseOf<IVel5PlaneDefinition19>(entity);
        break;
    case 20:
        base = BaseOf<IVel5PlaneDefinition20>(entity);
        break;
    case 21:
        base = BaseOf<IVel5PlaneDefinition21>(entity);
        break;
    case 22:
        base = BaseOf<IVel5PlaneDefinition22>(entity);
        break;
    case 23:
        base = BaseOf<IVel5PlaneDefinition23>(entity);
        break;
    case 66:
        base = BaseOf<IVel5PlaneDefinition66>(entity);
        break;
    default:
        break;
    }
}
