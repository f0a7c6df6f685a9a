#include "sim/panel_scene.h"

#include "sim/document.h"
#include "sim/velmar.h"

namespace sim {

namespace {

// A mate element of an attach point: both base objects, so that the library's test of kind 72 holds.
GeoEntity& MateElement(Geometry& geometry, const std::string& name, Part* part)
{
    GeoEntity& mate = geometry.AddMacro(name, part, 68);
    mate.items[71] = &geometry.AddEntity(name + "X", 71).V7();
    mate.items[72] = &geometry.AddEntity(name + "Y", 72).V7();
    return mate;
}

} // namespace

void BuildPanelScene(Velmar& velmar, Geometry& geometry, Document& document)
{
    geometry.UseDocument(document);
    Part& assembly = velmar.AddPart("assembly");
    geometry.topPart = &assembly;
    const FaceShape planar{.test1 = true};
    geometry.AddFace("top", &assembly, planar);
    geometry.AddFace("side", &assembly, planar);
    geometry.AddFace("bore", &assembly, {.test3 = true, .length = 20, .radius = 5});
    geometry.AddFace("cone", &assembly, {.test2 = true, .cone = true, .coneValue = -2.5});
    geometry.AddAxis("axis", &assembly, 9, {.from = {0, 0, 0}, .to = {0, 0, 10}});
    geometry.AddEdge("edge", &assembly, {.test1 = true});
    // What the measure tools take besides: a straight edge 50 long, a circular edge of radius 6, a thread
    // M10 x 1.5.
    geometry.AddEdge("ridge", &assembly, {.test1 = true}).axis = {.from = {0, 0, 0}, .to = {30, 40, 0}};
    geometry.AddEdge("rim", &assembly, {.test9 = true}).axis.circleRadius = 6;
    geometry.AddThread("thread", &assembly, {.param1 = 10, .param3 = 1.5});
    MateElement(geometry, "seat", &assembly).Add(geometry.AddFace("seatFace", &assembly, planar));
    // The part's first base plane, where placeholders of replaced elements are sketched.
    geometry.Shape(assembly).objects[1] = {&geometry.AddPlane("basePlane", &assembly, 1)};
    GeoEntity& hole = geometry.AddMacro("hole", &assembly);
    hole.Add(geometry.AddFace("holeFace", &assembly, {.test3 = true, .radius = 4}));
    hole.Add(MateElement(geometry, "holeSeat", &assembly));
}

Plate BuildPlate(Velmar& velmar, Geometry& geometry, Construction& made)
{
    Plate plate;
    plate.part = &velmar.AddPart("plate");
    plate.top = &geometry.AddFace("plateTop", plate.part, {.test1 = true});
    plate.bottom = &geometry.AddFace("plateBottom", plate.part, {.test1 = true});
    made.SetPlaneBasis(*plate.top, {1, 0, 0}, {0, 1, 0});
    made.SetIntersections(*plate.bottom, {{0, 0, -20}});
    for (int i = 0; i < 2; ++i) {
        GeoEntity& bore = geometry.AddFace("plateBore" + std::to_string(i + 1), plate.part, {.test3 = true, .length = 20, .radius = 5.25});
        // A bore: its normal points into the axis.
        bore.face.point = {5.25, 0, 0};
        bore.face.normal = {-1, 0, 0};
        plate.bores[i] = &bore;
    }
    return plate;
}

void AddPlateEdges(Geometry& geometry, Construction& made, const Plate& plate)
{
    made.Projects(geometry.AddEdge("plateEdgeX", plate.part, {.test1 = true}).V5(), Object2D::Segment(0, 0, 100, 0));
    made.Projects(geometry.AddEdge("plateEdgeY", plate.part, {.test1 = true}).V5(), Object2D::Segment(0, 0, 0, 100));
}

ModelGeometry::ModelGeometry(Velmar& velmar, Geometry& geometry, const std::string& name)
    : velmar_(velmar), geometry_(geometry), model_(&velmar.AddPart(name))
{
}

ModelGeometry::ModelGeometry(Velmar& velmar, Geometry& geometry, Part& model, const std::string& prefix)
    : velmar_(velmar), geometry_(geometry), model_(&model), prefix_(prefix)
{
}

GeoEntity& ModelGeometry::Renamed(GeoEntity& entity, const std::string& name)
{
    if (!prefix_.empty())
        entity.SetHostName(std::wstring(name.begin(), name.end()));
    return entity;
}

GeoEntity& ModelGeometry::Named(const std::string& name, short type, const std::wstring& hostName)
{
    GeoEntity& entity = Renamed(geometry_.AddEntity(prefix_ + name, type, model_), name);
    if (!hostName.empty())
        entity.SetHostName(hostName);
    geometry_.Shape(*model_).objects[type].push_back(&entity);
    return entity;
}

GeoEntity& ModelGeometry::Cylinder(const std::string& name, double radius, double length)
{
    GeoEntity& face = Renamed(geometry_.AddFace(prefix_ + name, model_, {.test3 = true, .length = length, .radius = radius}), name);
    PartShape& shape = geometry_.Shape(*model_);
    shape.objects[6].push_back(&face);
    // The rim at the cylinder's start, from the point of it on the x axis round to the same point.
    GeoEntity& rim = geometry_.AddEdge(prefix_ + name + "Rim", model_, {.test9 = true, .side1 = &face});
    face.subObjects[7] = {&rim};
    const Point3 point{shape.origin.x + radius, shape.origin.y, shape.origin.z};
    geometry_.AddVertices(rim, point, point);
    return face;
}

GeoEntity& ModelGeometry::AttachPoint(bool base72)
{
    GeoEntity& attach = Named("Auto", 68);
    attach.items[71] = &geometry_.AddEntity(prefix_ + "base71", 71, model_).V7();
    if (base72)
        attach.items[72] = &geometry_.AddEntity(prefix_ + "base72", 72, model_).V7();
    return attach;
}

GeoEntity& ModelGeometry::Cone(short type, const std::wstring& name, double value)
{
    GeoEntity& cone = Named("Conus", type, name);
    RemakeConeFaces(cone, value, 0);
    return cone;
}

void ModelGeometry::RemakeConeFaces(GeoEntity& cone, double value, int n)
{
    const std::string suffix = n ? std::to_string(n) : std::string();
    cone.subObjects[6] = {&geometry_.AddFace(prefix_ + "coneSide" + suffix, model_, {}),
                          &geometry_.AddFace(prefix_ + "conical" + suffix, model_, {.test2 = true, .cone = true, .coneValue = -value})};
}

GeoEntity& ModelGeometry::Lcs(const std::string& name)
{
    GeoEntity& lcs = Named(name, 85);
    lcs.items[71] = &geometry_.AddEntity(prefix_ + name + "X", 71).V7();
    lcs.subObjects[8] = {&geometry_.AddMacro(prefix_ + name + "Element", model_)};
    return lcs;
}

} // namespace sim
