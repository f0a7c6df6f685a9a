// The tests a selection filter puts to a picked entity: by type, by the face and edge definitions'
// answers, by the surface-flag chain, and whether the entity's part is closed to picking.
#include "hostapi/selection_tests.h"

#include "sim/geometry_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class SelectionTests : public sim::GeometryTest {
protected:
    IVel5EntityPtr Bare(short type) { return geometry().AddEntity("e" + std::to_string(type), type).Entity(); }
};

constexpr short kUntouched = 5;

} // namespace

TEST_F(SelectionTests, AxisEntitiesAreTheTypes9To13And71To73)
{
    for (short type : {9, 10, 11, 12, 13, 71, 72, 73}) {
        short flag = kUntouched;
        EXPECT_TRUE(IsAxisEntity(Bare(type), &flag)) << type;
        EXPECT_EQ(flag, kUntouched);
    }
    for (short type : {8, 14, 70, 74}) {
        short flag = kUntouched;
        EXPECT_FALSE(IsAxisEntity(Bare(type), &flag)) << type;
        EXPECT_EQ(flag, kUntouched);
    }
}

TEST_F(SelectionTests, Types18And553AreAcceptedAndTheirNeighboursNot)
{
    short flag = kUntouched;
    EXPECT_TRUE(IsEntityType18or553(Bare(18), &flag));
    EXPECT_TRUE(IsEntityType18or553(Bare(553), &flag));
    EXPECT_FALSE(IsEntityType18or553(Bare(17), &flag));
    EXPECT_FALSE(IsEntityType18or553(Bare(554), &flag));
    EXPECT_EQ(flag, kUntouched);
    EXPECT_EQ(journal().Lines(), (Lines{"e185.3", "e5535.3", "e175.3", "e5545.3"}));
}

TEST_F(SelectionTests, AFacePassingItsSurfaceTestSetsTheFlag)
{
    auto face = geometry().AddFace("face", nullptr, {}).Entity();
    short flag = 0;
    EXPECT_TRUE(IsFaceWithSurfaceFlag(face, &flag));
    EXPECT_EQ(flag, -1);
    EXPECT_EQ(journal().Lines(), (Lines{"face5.3", "face5.15()", "faceLink1.3()", "faceLink2.3()"}));
}

TEST_F(SelectionTests, AFaceFailingItsSurfaceTestOrMissingALinkLeavesTheFlag)
{
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {.surfaceFlag = false});
    short flag = kUntouched;
    EXPECT_FALSE(IsFaceWithSurfaceFlag(face.Entity(), &flag));

    face.face.surfaceFlag = true;
    velmar().Faults().FailQuery("faceLink2", __uuidof(IVel5SurfaceFlagLink2), E_NOINTERFACE);
    EXPECT_FALSE(IsFaceWithSurfaceFlag(face.Entity(), &flag));
    EXPECT_EQ(flag, kUntouched);
}

TEST_F(SelectionTests, ANonFaceIsToldByItsTypeAlone)
{
    auto edge = geometry().AddEdge("edge", nullptr, {.test1 = true}).Entity();
    short flag = kUntouched;
    EXPECT_FALSE(IsFaceWithSurfaceFlag(edge, &flag));
    EXPECT_FALSE(IsFaceVariant1(edge, &flag));
    EXPECT_EQ(flag, kUntouched);
    EXPECT_EQ(journal().Lines(), (Lines{"edge5.3", "edge5.3"}));
}

TEST_F(SelectionTests, EachFaceVariantAsksItsOwnTestOfTheDefinition)
{
    using Test = bool (*)(IVel5Entity*, short*);
    const Test variants[] = {IsFaceVariant1, IsFaceVariant2, IsFaceVariant3};
    for (int n = 1; n <= 3; ++n) {
        sim::GeoEntity& face = geometry().AddFace("face" + std::to_string(n), nullptr,
                                                  {.test1 = n == 1, .test2 = n == 2, .test3 = n == 3});
        for (int variant = 1; variant <= 3; ++variant) {
            journal().Clear();
            short flag = 0;
            EXPECT_EQ(variants[variant - 1](face.Entity(), &flag), variant == n) << n << " " << variant;
            EXPECT_EQ(journal().Lines().back(), face.Name() + "Def." + std::to_string(variant) + "()");
        }
    }
}

TEST_F(SelectionTests, AFaceVariantThatFailsItsOwnTestStillSetsTheFlag)
{
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {});
    short flag = 0;
    EXPECT_FALSE(IsFaceVariant1(face.Entity(), &flag));
    EXPECT_EQ(flag, -1);

    flag = 0;
    velmar().Faults().FailQuery("faceDef", __uuidof(IVel5FaceDefinition), E_NOINTERFACE);
    EXPECT_FALSE(IsFaceVariant3(face.Entity(), &flag));
    EXPECT_EQ(flag, -1);
}

TEST_F(SelectionTests, EdgeTestsAskTheEdgeDefinitionOfType7Only)
{
    short flag = kUntouched;
    EXPECT_TRUE(IsType7WithFlag9(geometry().AddEdge("circle", nullptr, {.test9 = true}).Entity(), &flag));
    EXPECT_FALSE(IsType7WithFlag9(geometry().AddEdge("line", nullptr, {.test1 = true}).Entity(), &flag));
    EXPECT_FALSE(IsType7WithFlag9(Bare(7), &flag));      // no edge definition
    EXPECT_FALSE(IsType7WithFlag9(Bare(570), &flag));

    EXPECT_TRUE(IsType570OrType7WithFlag1(geometry().AddEdge("straight", nullptr, {.test1 = true}).Entity(), &flag));
    EXPECT_FALSE(IsType570OrType7WithFlag1(geometry().AddEdge("round", nullptr, {.test9 = true}).Entity(), &flag));
    EXPECT_FALSE(IsType570OrType7WithFlag1(Bare(6), &flag));
    EXPECT_EQ(flag, kUntouched);
    EXPECT_EQ(journal().Count("straightDef.1()"), 1u);
    EXPECT_EQ(journal().Count("circleDef.9()"), 1u);

    journal().Clear();
    EXPECT_TRUE(IsType570OrType7WithFlag1(Bare(570), &flag));
    EXPECT_EQ(journal().Lines(), (Lines{"e5705.3"}));
}

TEST_F(SelectionTests, TheTestsOfOneKindAnswerFalseForANullEntityWithoutAHostCall)
{
    short flag = kUntouched;
    EXPECT_FALSE(IsFaceWithSurfaceFlag(nullptr, &flag));
    EXPECT_FALSE(IsFaceVariant2(nullptr, &flag));
    EXPECT_FALSE(IsEntityType18or553(nullptr, &flag));
    EXPECT_FALSE(IsAxisEntity(nullptr, &flag));
    EXPECT_FALSE(IsType7WithFlag9(nullptr, &flag));
    EXPECT_FALSE(IsType570OrType7WithFlag1(nullptr, &flag));
    EXPECT_EQ(flag, kUntouched);
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(SelectionTests, AFailingHostCallRaisesWithTheInterfaceCalled)
{
    auto face = geometry().AddFace("face", nullptr, {.test1 = true}).Entity();
    velmar().Faults().FailMember("faceDef.1", E_FAIL);
    short flag = 0;
    _com_error error = sim::CaughtHostError([&] { IsFaceVariant1(face, &flag); });
    EXPECT_EQ(error.Error(), E_FAIL);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5FaceDefinition));
}

TEST_F(SelectionTests, APartClosedToPickingIsReportedFromHost1500On)
{
    HoldApplication();
    sim::Part& part = velmar().AddPart("part");
    geometry().Shape(part).excluded = true;
    auto face = geometry().AddFace("face", &part, {}).Entity();

    short flag = kUntouched;
    EXPECT_TRUE(IsAPI7SelectionAvailable(face, &flag));
    EXPECT_EQ(flag, kUntouched);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.50(&,&,&,&)", "face5.6()", "app5.108(part5,2,0)", "part7#64(&)"}));

    geometry().Shape(part).excluded = false;
    EXPECT_FALSE(IsAPI7SelectionAvailable(face, &flag));
    velmar().SetVersion({15, 0, 0, 0});
    EXPECT_FALSE(IsAPI7SelectionAvailable(face, &flag));
}

TEST_F(SelectionTests, BelowHost1500TheEntityIsNotAsked)
{
    HoldApplication();
    velmar().SetVersion({14, 9, 9, 0});
    sim::Part& part = velmar().AddPart("part");
    geometry().Shape(part).excluded = true;
    auto face = geometry().AddFace("face", &part, {}).Entity();

    EXPECT_FALSE(IsAPI7SelectionAvailable(face, nullptr));
    EXPECT_EQ(journal().Lines(), (Lines{"app5.50(&,&,&,&)"}));
}

TEST_F(SelectionTests, WithoutApplicationOrPartNothingIsClosed)
{
    sim::Part& part = velmar().AddPart("part");
    geometry().Shape(part).excluded = true;
    auto inPart = geometry().AddFace("inPart", &part, {}).Entity();
    EXPECT_FALSE(IsAPI7SelectionAvailable(inPart, nullptr));   // no application held
    EXPECT_TRUE(journal().Lines().empty());

    HoldApplication();
    auto loose = geometry().AddFace("loose", nullptr, {}).Entity();
    EXPECT_FALSE(IsAPI7SelectionAvailable(loose, nullptr));
    EXPECT_EQ(journal().Lines(), (Lines{"app5.50(&,&,&,&)", "loose5.6()"}));
}

TEST_F(SelectionTests, PlaneEntitiesSetTheFlagToZero)
{
    for (short type : {1, 2, 3, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 66, 553}) {
        short flag = kUntouched;
        EXPECT_TRUE(IsPlaneEntity(Bare(type), &flag)) << type;
        EXPECT_EQ(flag, 0);
    }
    for (short type : {0, 4, 6, 13, 24, 65, 67}) {
        short flag = kUntouched;
        EXPECT_FALSE(IsPlaneEntity(Bare(type), &flag)) << type;
        EXPECT_EQ(flag, kUntouched);
    }
    EXPECT_EQ(sim::CaughtHostError([] { IsPlaneEntity(nullptr, nullptr); }).Error(), E_POINTER);
}

TEST_F(SelectionTests, Type519OrAnEdgePassingTest8Or9Or10IsAccepted)
{
    short flag = kUntouched;
    EXPECT_TRUE(IsType519OrType7Flag(Bare(519), &flag));
    EXPECT_EQ(flag, 0);

    flag = kUntouched;
    EXPECT_TRUE(IsType519OrType7Flag(geometry().AddEdge("third", nullptr, {.test10 = true}).Entity(), &flag));
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(journal().LinesOf("thirdDef"), (Lines{"thirdDef.8()", "thirdDef.9()", "thirdDef.10()"}));

    EXPECT_TRUE(IsType519OrType7Flag(geometry().AddEdge("first", nullptr, {.test8 = true, .test10 = true}).Entity(), &flag));
    EXPECT_EQ(journal().LinesOf("firstDef"), (Lines{"firstDef.8()"}));

    flag = kUntouched;
    EXPECT_FALSE(IsType519OrType7Flag(geometry().AddEdge("straight", nullptr, {.test1 = true}).Entity(), &flag));
    EXPECT_FALSE(IsType519OrType7Flag(Bare(6), &flag));
    EXPECT_EQ(flag, kUntouched);
}

TEST_F(SelectionTests, AnEdgeWithoutEdgeDefinitionOrANullEntityRaisesENoPointer)
{
    _com_error error = sim::CaughtHostError([&] { IsType519OrType7Flag(Bare(7), nullptr); });
    EXPECT_EQ(error.Error(), E_POINTER);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5EdgeDefinition));
    EXPECT_EQ(sim::CaughtHostError([] { IsType519OrType7Flag(nullptr, nullptr); }).Error(), E_POINTER);
}
