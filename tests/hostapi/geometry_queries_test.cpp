// Axis points, directions and points carried between parts, cylinder and thread values, the side a
// cylindrical face looks to, the faces at a circular edge and the geometric base of planes and faces.
#include "hostapi/geometry_queries.h"

#include "sim/geometry_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class GeometryQueries : public sim::GeometryTest {
protected:
    static bool Same(IUnknown* a, sim::Object& b) { return sim::Object::From(a) == &b; }
    static bool Same(IUnknown* a, sim::GeoEntity& b) { return Same(a, b.V5()); }

    struct Points {
        double x1 = 7, y1 = 7, z1 = 7, x2 = 9, y2 = 9, z2 = 9;   // what the caller had
    };
    static Points AxisPoints(IVel5Entity* entity)
    {
        Points p;
        GetAxisPoints(entity, p.x1, p.y1, p.z1, p.x2, p.y2, p.z2);
        return p;
    }

    // A cylindrical face around the Z axis through the origin, seen at the point (5, 0, 0).
    sim::FaceShape Cylinder(sim::Point3 normal, bool orientation = true)
    {
        return {.test3 = true, .orientation = orientation, .u = 0.25, .v = 0.75, .point = {5, 0, 0}, .normal = normal};
    }
};

} // namespace

TEST_F(GeometryQueries, TheCoordinateAxesNeedNoCallBeyondTheType)
{
    Points y = AxisPoints(geometry().AddAxis("y", nullptr, 72).Entity());
    EXPECT_EQ(journal().Lines(), (Lines{"y5.3"}));
    EXPECT_EQ((std::vector<double>{y.x1, y.y1, y.z1, y.x2, y.y2, y.z2}), (std::vector<double>{0, 0, 0, 0, 1, 0}));

    Points x = AxisPoints(geometry().AddAxis("x", nullptr, 71).Entity());
    EXPECT_EQ((std::vector<double>{x.x2, x.y2, x.z2}), (std::vector<double>{1, 0, 0}));
    Points z = AxisPoints(geometry().AddAxis("z", nullptr, 73).Entity());
    EXPECT_EQ((std::vector<double>{z.x2, z.y2, z.z2}), (std::vector<double>{0, 0, 1}));
}

TEST_F(GeometryQueries, AxesOfTypes9To13GiveTheirCurvesEndsThroughTheirOwnDefinition)
{
    for (short type = 9; type <= 13; ++type) {
        const std::string name = "axis" + std::to_string(type);
        sim::GeoEntity& axis = geometry().AddAxis(name, nullptr, type, {.from = {1, 2, 3}, .to = {4, 6, 8}, .start = 2, .end = 5});
        journal().Clear();
        Points p = AxisPoints(axis.Entity());
        EXPECT_EQ((std::vector<double>{p.x1, p.y1, p.z1, p.x2, p.y2, p.z2}), (std::vector<double>{1, 2, 3, 4, 6, 8})) << type;
        EXPECT_EQ(journal().Lines(), (Lines{name + "5.3", name + "5.5()", name + "Def.3()", name + "Curve.7", name + "Curve.8",
                                            name + "Curve.1(2,&,&,&)", name + "Curve.1(5,&,&,&)"}));
    }
}

TEST_F(GeometryQueries, AnAxisWithoutTheDefinitionOfItsTypeRaisesAndWithoutCurveKeepsTheSecondPoint)
{
    sim::GeoEntity& axis = geometry().AddAxis("axis", nullptr, 10, {.from = {1, 1, 1}, .to = {2, 2, 2}});
    velmar().Faults().FailQuery("axisDef", __uuidof(IVel5AxisDefinition10), E_NOINTERFACE);
    _com_error error = sim::CaughtHostError([&] { AxisPoints(axis.Entity()); });
    EXPECT_EQ(error.Error(), E_POINTER);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5AxisDefinition10));
    EXPECT_EQ(sim::CaughtHostError([&] { AxisPoints(geometry().AddEntity("bare", 12).Entity()); }).Error(), E_POINTER);

    sim::GeoEntity& curveless = geometry().AddAxis("curveless", nullptr, 13, {.from = {1, 1, 1}, .to = {2, 2, 2}});
    velmar().Faults().FailQuery("curvelessCurve", __uuidof(IVel5Curve), E_NOINTERFACE);
    Points p = AxisPoints(curveless.Entity());
    EXPECT_EQ((std::vector<double>{p.x1, p.y1, p.z1, p.x2, p.y2, p.z2}), (std::vector<double>{0, 0, 0, 9, 9, 9}));
}

TEST_F(GeometryQueries, OtherTypesResetOnlyTheFirstPoint)
{
    Points p = AxisPoints(geometry().AddFace("face", nullptr, {}).Entity());
    EXPECT_EQ((std::vector<double>{p.x1, p.y1, p.z1, p.x2, p.y2, p.z2}), (std::vector<double>{0, 0, 0, 9, 9, 9}));
    EXPECT_EQ(journal().Lines(), (Lines{"face5.3"}));
    EXPECT_EQ(sim::CaughtHostError([] { AxisPoints(nullptr); }).Error(), E_POINTER);
}

TEST_F(GeometryQueries, ADirectionCarriedIntoAnotherPartLosesThePartsOffsets)
{
    sim::Part& source = velmar().AddPart("source");
    sim::Part& target = velmar().AddPart("target");
    geometry().Shape(source).origin = {10, 0, 0};
    geometry().Shape(target).origin = {0, 5, -2};
    sim::GeoEntity& edge = geometry().AddEdge("edge", &source, {});

    double x = 1, y = 2, z = 3;
    GetCurveEndPoints(target.V5().As<IVel5Part>(), edge.Entity(), x, y, z);
    EXPECT_EQ((std::vector<double>{x, y, z}), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(journal().Lines(), (Lines{"edge5.6()", "target5.45(&,&,&,source5)", "target5.45(&,&,&,source5)"}));
}

TEST_F(GeometryQueries, ADirectionOfAnEntityWithoutPartStaysAsGiven)
{
    sim::Part& target = velmar().AddPart("target");
    geometry().Shape(target).origin = {0, 5, 0};
    double x = 1, y = 2, z = 3;
    GetCurveEndPoints(target.V5().As<IVel5Part>(), geometry().AddEdge("edge", nullptr, {}).Entity(), x, y, z);
    EXPECT_EQ((std::vector<double>{x, y, z}), (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(journal().Lines(), (Lines{"edge5.6()"}));

    EXPECT_EQ(sim::CaughtHostError([&] { GetCurveEndPoints(nullptr, geometry().AddEdge("e", nullptr, {}).Entity(), x, y, z); }).GUID_(),
              __uuidof(IVel5Part));
    EXPECT_EQ(sim::CaughtHostError([&] { GetCurveEndPoints(target.V5().As<IVel5Part>(), nullptr, x, y, z); }).Error(), E_POINTER);
}

TEST_F(GeometryQueries, APointIsConvertedOnlyBetweenTwoDifferentParts)
{
    sim::Part& source = velmar().AddPart("source");
    sim::Part& target = velmar().AddPart("target");
    geometry().Shape(source).origin = {10, 0, 0};
    geometry().Shape(target).origin = {0, 5, 0};
    auto target5 = target.V5().As<IVel5Part>();

    double x = 1, y = 1, z = 1;
    GetCurvePoint(target5, geometry().AddEdge("edge", &source, {}).Entity(), x, y, z);
    EXPECT_EQ((std::vector<double>{x, y, z}), (std::vector<double>{11, -4, 1}));
    EXPECT_EQ(journal().Lines(), (Lines{"edge5.6()", "target5.45(&,&,&,source5)"}));

    journal().Clear();
    x = y = z = 1;
    GetCurvePoint(target5, geometry().AddEdge("own", &target, {}).Entity(), x, y, z);
    GetCurvePoint(target5, geometry().AddEdge("loose", nullptr, {}).Entity(), x, y, z);
    GetCurvePoint(nullptr, geometry().AddEdge("other", &source, {}).Entity(), x, y, z);
    GetCurvePoint(target5, nullptr, x, y, z);
    EXPECT_EQ((std::vector<double>{x, y, z}), (std::vector<double>{1, 1, 1}));
    EXPECT_EQ(journal().Lines(), (Lines{"own5.6()", "loose5.6()"}));
}

TEST_F(GeometryQueries, TheFirstCylinderParameterIsTheRadiusAndTheSecondTheLength)
{
    auto face = geometry().AddFace("face", nullptr, {.length = 20, .radius = 4}).Entity();
    EXPECT_EQ(GetCylinderParam1(face), 4.0);
    EXPECT_EQ(GetCylinderParam2(face), 20.0);
    EXPECT_EQ(journal().LinesOf("faceDef"), (Lines{"faceDef.4(&,&)", "faceDef.4(&,&)"}));

    auto edge = geometry().AddEdge("edge", nullptr, {}).Entity();
    EXPECT_EQ(GetCylinderParam1(edge), 0.0);
    EXPECT_EQ(GetCylinderParam2(edge), 0.0);
    EXPECT_EQ(sim::CaughtHostError([] { GetCylinderParam1(nullptr); }).Error(), E_POINTER);
}

TEST_F(GeometryQueries, AnOuterCylindricalFaceLooksAwayFromItsAxisAndAHoleTowardsIt)
{
    auto shaft = geometry().AddFace("shaft", nullptr, Cylinder({1, 0, 0})).Entity();
    EXPECT_TRUE(IsCylindricalFace(shaft));
    EXPECT_EQ(journal().Lines(),
              (Lines{"shaft5.5()", "shaftDef.6()", "shaftSurface.15", "shaftSurface.17", "shaftSurface.3(0.25,0.75,&,&,&)",
                     "shaftDef.8", "shaftSurface.2(0.25,0.75,&,&,&)", "shaftSurface.29()", "shaftCylinder.3()",
                     "shaftAxis.1(&,&,&)"}));

    EXPECT_FALSE(IsCylindricalFace(geometry().AddFace("hole", nullptr, Cylinder({-1, 0, 0})).Entity()));
    // A face whose orientation is reversed turns the surface normal round.
    EXPECT_TRUE(IsCylindricalFace(geometry().AddFace("turnedShaft", nullptr, Cylinder({-1, 0, 0}, false)).Entity()));
    EXPECT_FALSE(IsCylindricalFace(geometry().AddFace("turnedHole", nullptr, Cylinder({1, 0, 0}, false)).Entity()));
}

TEST_F(GeometryQueries, ComponentsBelowTheToleranceCountAsZero)
{
    sim::FaceShape noisyNormal = Cylinder({1, 5e-7, 0});
    noisyNormal.point = {5, -2, 0};   // -2 * 5e-7 < 0 unless the normal's noise is dropped
    EXPECT_TRUE(IsCylindricalFace(geometry().AddFace("noisyNormal", nullptr, noisyNormal).Entity()));

    sim::FaceShape noisyOffset = Cylinder({1, -0.5, 0});
    noisyOffset.point = {5, 4e-7, 0};
    EXPECT_TRUE(IsCylindricalFace(geometry().AddFace("noisyOffset", nullptr, noisyOffset).Entity()));

    sim::FaceShape realOffset = Cylinder({1, -0.5, 0});
    realOffset.point = {5, 2e-6, 0};
    EXPECT_FALSE(IsCylindricalFace(geometry().AddFace("realOffset", nullptr, realOffset).Entity()));
}

TEST_F(GeometryQueries, ACylindricalFaceTestWithoutFaceIsFalseAndWithoutCylinderRaises)
{
    EXPECT_FALSE(IsCylindricalFace(geometry().AddEdge("edge", nullptr, {}).Entity()));

    sim::FaceShape cone = Cylinder({1, 0, 0});
    cone.cone = true;
    _com_error error = sim::CaughtHostError([&] { IsCylindricalFace(geometry().AddFace("cone", nullptr, cone).Entity()); });
    EXPECT_EQ(error.Error(), E_POINTER);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5CylinderParam));

    sim::GeoEntity& axisless = geometry().AddFace("axisless", nullptr, Cylinder({1, 0, 0}));
    velmar().Faults().FailQuery("axislessAxis", __uuidof(IVel5Placement), E_NOINTERFACE);
    EXPECT_EQ(sim::CaughtHostError([&] { IsCylindricalFace(axisless.Entity()); }).GUID_(), __uuidof(IVel5Placement));
    EXPECT_EQ(sim::CaughtHostError([] { IsCylindricalFace(nullptr); }).Error(), E_POINTER);
}

TEST_F(GeometryQueries, TheEdgeCircleGivesThePlanarFaceFirstWhicheverSideItLiesOn)
{
    sim::GeoEntity& planar = geometry().AddFace("planar", nullptr, {.test1 = true});
    sim::GeoEntity& round = geometry().AddFace("round", nullptr, {.test3 = true});
    for (bool planarFirst : {true, false}) {
        sim::GeoEntity& edge = geometry().AddEdge(planarFirst ? "edgeA" : "edgeB", nullptr,
                                                  {.test9 = true, .side1 = planarFirst ? &planar : &round,
                                                   .side2 = planarFirst ? &round : &planar});
        IVel5EntityPtr first;
        IVel5EntityPtr second;
        EXPECT_EQ(GetEdgeCircle(edge.Entity(), first, second), -1);
        EXPECT_TRUE(Same(first, planar)) << planarFirst;
        EXPECT_TRUE(Same(second, round)) << planarFirst;
    }
    EXPECT_EQ(journal().Count("edgeA5.5()"), 1u);
    EXPECT_EQ(journal().Count("edgeADef.4(-1)"), 1u);
    EXPECT_EQ(journal().Count("edgeADef.4(0)"), 1u);
}

TEST_F(GeometryQueries, WithoutAPlanarAndACylindricalFaceTheOutputsStayUntouched)
{
    sim::GeoEntity& planar = geometry().AddFace("planar", nullptr, {.test1 = true});
    sim::GeoEntity& other = geometry().AddFace("other", nullptr, {.test1 = true});
    sim::GeoEntity& marker = geometry().AddFace("marker", nullptr, {});
    IVel5EntityPtr first = marker.Entity();
    IVel5EntityPtr second = marker.Entity();

    EXPECT_EQ(GetEdgeCircle(geometry().AddEdge("flat", nullptr, {.side1 = &planar, .side2 = &other}).Entity(), first, second), 0);
    EXPECT_EQ(GetEdgeCircle(geometry().AddEdge("open", nullptr, {.side1 = &planar}).Entity(), first, second), 0);
    EXPECT_EQ(GetEdgeCircle(geometry().AddEntity("bare", 7).Entity(), first, second), 0);
    EXPECT_TRUE(Same(first, marker));
    EXPECT_TRUE(Same(second, marker));
    EXPECT_EQ(sim::CaughtHostError([&] { GetEdgeCircle(nullptr, first, second); }).Error(), E_POINTER);
}

TEST_F(GeometryQueries, ThreadValuesComeFromTheThreadDefinition)
{
    auto thread = geometry().AddThread("thread", nullptr, {.param1 = 8, .param2 = 12, .param3 = 1.25, .outer = true}).Entity();
    EXPECT_TRUE(GetThreadFlag(thread));
    EXPECT_EQ(GetThreadParam1(thread), 8.0);
    EXPECT_EQ(GetThreadParam2(thread), 12.0);
    EXPECT_EQ(GetThreadParam3(thread), 1.25);
    EXPECT_FALSE(GetThreadFlag(geometry().AddThread("inner", nullptr, {}).Entity()));
}

TEST_F(GeometryQueries, AThreadFromAnOffsetPlaneCountsThePlanesOffset)
{
    sim::GeoEntity& offsetPlane = geometry().AddPlane("offset", nullptr, 14);
    offsetPlane.offset = 1.5;
    auto fromOffset = geometry().AddThread("fromOffset", nullptr, {.param2 = 10, .base = &offsetPlane}).Entity();
    EXPECT_EQ(GetThreadParam2(fromOffset), 11.5);
    EXPECT_EQ(journal().Count("offsetDef.1"), 1u);

    sim::GeoEntity& otherPlane = geometry().AddPlane("other", nullptr, 15);
    EXPECT_EQ(GetThreadParam2(geometry().AddThread("fromOther", nullptr, {.param2 = 10, .base = &otherPlane}).Entity()), 10.0);
    EXPECT_EQ(GetThreadParam2(geometry().AddThread("fromNothing", nullptr, {.param2 = 10}).Entity()), 10.0);

    sim::GeoEntity& bare = geometry().AddEntity("bare", 14);
    auto fromBare = geometry().AddThread("fromBare", nullptr, {.param2 = 10, .base = &bare}).Entity();
    EXPECT_EQ(sim::CaughtHostError([&] { GetThreadParam2(fromBare); }).GUID_(), __uuidof(IVel5OffsetPlaneDefinition));
}

TEST_F(GeometryQueries, WithoutThreadDefinitionTheValuesAreZeroOrTheCallRaises)
{
    auto face = geometry().AddFace("face", nullptr, {}).Entity();
    EXPECT_EQ(GetThreadParam1(face), 0.0);
    EXPECT_EQ(GetThreadParam3(face), 0.0);
    _com_error flag = sim::CaughtHostError([&] { GetThreadFlag(face); });
    EXPECT_EQ(flag.Error(), E_POINTER);
    EXPECT_EQ(flag.GUID_(), __uuidof(IVel5ThreadDefinition));
    EXPECT_EQ(sim::CaughtHostError([&] { GetThreadParam2(face); }).Error(), E_POINTER);
    EXPECT_EQ(sim::CaughtHostError([] { GetThreadParam1(nullptr); }).Error(), E_POINTER);
}

TEST_F(GeometryQueries, EveryPlaneTypeAndTheFaceGiveTheirBaseFromTheirOwnDefinition)
{
    for (short type : {1, 2, 3, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 66}) {
        const std::string name = "plane" + std::to_string(type);
        sim::GeoEntity& plane = geometry().AddPlane(name, nullptr, type);
        IDispatchPtr base;
        GetEntityGeometry(plane.Entity(), base);
        ASSERT_NE(sim::Object::From(base), nullptr) << type;
        EXPECT_EQ(sim::Object::From(base)->Name(), name + "Base");
    }
    IDispatchPtr surface;
    GetEntityGeometry(geometry().AddFace("face", nullptr, {}).Entity(), surface);
    ASSERT_NE(sim::Object::From(surface), nullptr);
    EXPECT_EQ(sim::Object::From(surface)->Name(), "faceSurface");
}

TEST_F(GeometryQueries, OtherTypesAndMissingDefinitionsGiveNoBase)
{
    IDispatchPtr base = geometry().AddEntity("marker", 1).V5().Ptr();
    GetEntityGeometry(geometry().AddAxis("axis", nullptr, 9).Entity(), base);
    EXPECT_EQ(base, nullptr);

    base = geometry().AddEntity("marker2", 1).V5().Ptr();
    GetEntityGeometry(geometry().AddEntity("bare", 17).Entity(), base);
    EXPECT_EQ(base, nullptr);
    EXPECT_EQ(sim::CaughtHostError([&] { GetEntityGeometry(nullptr, base); }).Error(), E_POINTER);
}
