// Mate elements of macro elements, the mates of an object, mate creation on both of its paths, the cone
// value, the top part and the faces mates may be put on.
#include "hostapi/mate_queries.h"

#include "hostapi/element_queries.h"
#include "sim/document.h"
#include "sim/geometry_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class MateQueries : public sim::GeometryTest {
protected:
    static bool Same(IUnknown* a, sim::Object& b) { return sim::Object::From(a) == &b; }
    static bool Same(IUnknown* a, sim::GeoEntity& b) { return Same(a, b.V5()); }

    // A 3D document with the geometry's mates and parts.
    IVel5Document3DPtr Document()
    {
        sim::Document& document = velmar().OpenDocument(5);
        geometry().UseDocument(document);
        return document.V5().As<IVel5Document3D>();
    }

    // A mate element (type 68) whose version-7 form has, or has not, the item 72.
    sim::GeoEntity& MateElement(const std::string& name, bool item72)
    {
        sim::GeoEntity& mate = geometry().AddMacro(name, nullptr, 68);
        if (item72)
            mate.items[72] = &velmar().AddPart(name + "Item").V5();
        return mate;
    }
};

} // namespace

TEST_F(MateQueries, TheDirectionObjectIsTheFirstOfItsKind)
{
    sim::GeoEntity& part = geometry().AddEntity("lcs", 85);
    sim::GeoEntity& y = geometry().AddAxis("y", nullptr, 72);
    part.directions[72] = &y;

    EXPECT_TRUE(Same(GetDirectionObject(part.Entity(), 72), y));
    EXPECT_EQ(journal().Lines(), (Lines{"lcs5.18(72)", "lcsDir72.3()"}));
    EXPECT_EQ(GetDirectionObject(part.Entity(), 71), nullptr);
    EXPECT_EQ(GetDirectionObject(static_cast<IVel5Entity*>(nullptr), 72), nullptr);
}

TEST_F(MateQueries, TheMateMacroIsTheMateElementThatOwnsTheObject)
{
    sim::GeoEntity& mate = MateElement("mate", true);
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {});
    mate.Add(face);

    EXPECT_TRUE(Same(GetMateMacro(face.V7().Ptr()), mate));
    EXPECT_EQ(journal().Lines(), (Lines{"face7.14()", "mateFeature.7", "mateFeature.8()"}));
    EXPECT_EQ(GetMateMacro(nullptr), nullptr);
}

TEST_F(MateQueries, Item72OfTheVersionSevenFormTellsTheMateKind)
{
    sim::GeoEntity& with = MateElement("with", true);
    sim::GeoEntity& without = MateElement("without", false);

    EXPECT_TRUE(HasApi7Item72(App5(), with.Entity()));
    EXPECT_EQ(journal().Lines(), (Lines{"app5.108(with5,2,0)", "with7#41(72,&)"}));
    EXPECT_FALSE(HasApi7Item72(App5(), without.Entity()));
    EXPECT_FALSE(HasApi7Item72(App5(), nullptr));
}

TEST_F(MateQueries, IsMateOfMacroKindWantsAMateElementOfTheKindAsked)
{
    sim::GeoEntity& mate = MateElement("mate", true);
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {});
    mate.Add(face);

    EXPECT_TRUE(Same(IsMateOfMacroKind(App5(), face.V7().Ptr(), true), mate));
    EXPECT_EQ(IsMateOfMacroKind(App5(), face.V7().Ptr(), false), nullptr);

    // An owner of another type is refused before its version-7 form is asked.
    sim::GeoEntity& macro = geometry().AddMacro("macro", nullptr);
    sim::GeoEntity& inner = geometry().AddFace("inner", nullptr, {});
    macro.Add(inner);
    journal().Clear();
    EXPECT_EQ(IsMateOfMacroKind(App5(), inner.V7().Ptr(), true), nullptr);
    EXPECT_EQ(journal().Lines(), (Lines{"inner7.14()", "macroFeature.7", "macroFeature.8()", "macro5.3"}));
}

TEST_F(MateQueries, TheFirstMateElementAmongTheItemsIsFoundAndTheWalkStops)
{
    sim::Part& part = velmar().AddPart("part");
    sim::GeoEntity& macro = geometry().AddMacro("macro", &part);
    sim::GeoEntity& plane = geometry().AddPlane("plane", &part, 1);
    sim::GeoEntity& first = MateElement("first", false);
    sim::GeoEntity& second = MateElement("second", false);
    macro.Add(part);
    macro.Add(plane);
    macro.Add(first);
    macro.Add(second);

    EXPECT_TRUE(Same(GetMacroOfMateEntity(macro.Entity()), first));
    EXPECT_EQ(journal().LinesOf("macroItems"), (Lines{"macroItems.3()", "macroItems.5()", "macroItems.5()"}));
    EXPECT_EQ(journal().Count("secondFeature.7"), 0u);

    macro.inner = {&plane.Feature()};
    EXPECT_EQ(GetMacroOfMateEntity(macro.Entity()), nullptr);
    EXPECT_EQ(GetMateMacroOfEntity(nullptr), nullptr);
    EXPECT_EQ(GetMacroOfMateEntity(plane.Entity()), nullptr);   // no macro definition
    EXPECT_EQ(GetMacroOfMateEntity(nullptr), nullptr);
}

TEST_F(MateQueries, IsMateEntityOfKindLooksInsideTheOwningMacroElement)
{
    sim::GeoEntity& macro = geometry().AddMacro("macro", nullptr);
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {});
    sim::GeoEntity& mate = MateElement("mate", true);
    macro.Add(face);
    macro.Add(mate);

    EXPECT_TRUE(Same(IsMateEntityOfKind(App5(), face.V7().Ptr(), true), mate));
    EXPECT_EQ(IsMateEntityOfKind(App5(), face.V7().Ptr(), false), nullptr);

    // A mate element as the owner itself is not a macro element.
    sim::GeoEntity& owner = MateElement("owner", true);
    sim::GeoEntity& edge = geometry().AddEdge("edge", nullptr, {});
    owner.Add(edge);
    EXPECT_EQ(IsMateEntityOfKind(App5(), edge.V7().Ptr(), true), nullptr);
    EXPECT_EQ(IsMateEntityOfKind(App5(), nullptr, true), nullptr);
}

TEST_F(MateQueries, AMateDefinitionIsFilledCheckedAndAddedToTheCollection)
{
    auto document = Document();
    sim::GeoEntity& a = geometry().AddFace("a", nullptr, {});
    sim::GeoEntity& b = geometry().AddFace("b", nullptr, {});
    auto mates = geometry().MateCollection().As<IVel5MateCollection>();

    CreateMate(document, a.V5().Ptr(), b.V5().Ptr(), 3, -1, mates, 2.5);
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.34()", "mateDef.1=3", "mateDef.7(1,a5)", "mateDef.7(2,b5)", "mateDef.2=-1",
                                        "mateDef.3=1", "mateDef.4=2.5", "mateDef.5()", "mates.7(mateDef)"}));
    ASSERT_EQ(geometry().Mates().size(), 1u);
    const sim::MateRecord& mate = geometry().Mates()[0];
    EXPECT_FALSE(mate.direct);
    EXPECT_EQ(mate.kind, 3);
    EXPECT_EQ(mate.direction, -1);
    EXPECT_EQ(mate.fixed, 1);
    EXPECT_EQ(mate.value, 2.5);
    EXPECT_TRUE(Same(mate.first, a));
    EXPECT_TRUE(Same(mate.second, b));
}

TEST_F(MateQueries, ADefinitionFailingItsCheckIsNotAdded)
{
    auto document = Document();
    geometry().mateCheck = false;
    auto mates = geometry().MateCollection().As<IVel5MateCollection>();
    CreateMate(document, geometry().AddFace("a", nullptr, {}).V5().Ptr(), geometry().AddFace("b", nullptr, {}).V5().Ptr(),
               1, 1, mates, 0);
    EXPECT_EQ(journal().Lines().back(), "mateDef.5()");
    EXPECT_TRUE(geometry().Mates().empty());
}

TEST_F(MateQueries, WithoutACollectionTheDocumentMakesTheMateAtOnce)
{
    auto document = Document();
    sim::GeoEntity& a = geometry().AddFace("a", nullptr, {});
    sim::GeoEntity& b = geometry().AddFace("b", nullptr, {});

    CreateMate(document, a.V5().Ptr(), b.V5().Ptr(), 7, 1, nullptr, 0.5);
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.27(7,a5,b5,1,1,0.5)"}));
    ASSERT_EQ(geometry().Mates().size(), 1u);
    EXPECT_TRUE(geometry().Mates()[0].direct);
    EXPECT_EQ(geometry().Mates()[0].fixed, 1);
    EXPECT_EQ(geometry().Mates()[0].kind, 7);
}

TEST_F(MateQueries, AMissingObjectMakesNoMateAndAMissingDefinitionRaises)
{
    auto document = Document();
    IDispatchPtr a = geometry().AddFace("a", nullptr, {}).V5().Ptr();
    auto mates = geometry().MateCollection().As<IVel5MateCollection>();
    CreateMate(document, a, nullptr, 1, 1, nullptr, 0);
    CreateMate(document, nullptr, a, 1, 1, mates, 0);
    EXPECT_TRUE(journal().Lines().empty());

    velmar().Faults().FailQuery("mateDef", __uuidof(IVel5Mate), E_NOINTERFACE);
    _com_error error = sim::CaughtHostError([&] { CreateMate(document, a, a, 1, 1, mates, 0); });
    EXPECT_EQ(error.Error(), E_POINTER);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5Mate));
    EXPECT_TRUE(geometry().Mates().empty());
}

TEST_F(MateQueries, TheMatesOfAnObjectAreThoseItTakesPartIn)
{
    auto document = Document();
    IDispatchPtr a = geometry().AddFace("a", nullptr, {}).V5().Ptr();
    IDispatchPtr b = geometry().AddFace("b", nullptr, {}).V5().Ptr();
    IDispatchPtr c = geometry().AddFace("c", nullptr, {}).V5().Ptr();
    CreateMate(document, a, b, 1, 1, nullptr, 0);
    CreateMate(document, b, c, 1, 1, nullptr, 0);
    journal().Clear();

    ObjArray ofB = GetMateObjects(document, b);
    ASSERT_EQ(ofB.size(), 2u);
    EXPECT_TRUE(Same(ofB[0], *geometry().Mates()[0].mate));
    EXPECT_TRUE(Same(ofB[1], *geometry().Mates()[1].mate));
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.8()", "mates.12(b5,empty)"}));
    EXPECT_EQ(GetMateObjects(document, a).size(), 1u);
    EXPECT_TRUE(GetMateObjects(document, geometry().AddFace("d", nullptr, {}).V5().Ptr()).empty());
    EXPECT_TRUE(GetMateObjects(nullptr, a).empty());
}

TEST_F(MateQueries, TheConeValueIsTakenWithoutItsSign)
{
    auto cone = geometry().AddFace("cone", nullptr, {.cone = true, .coneValue = -0.75}).Entity();
    EXPECT_EQ(GetConeParams(cone), 0.75);
    EXPECT_EQ(journal().Lines(), (Lines{"cone5.5()", "coneDef.6()", "coneSurface.29()", "coneCone.3"}));
}

TEST_F(MateQueries, AMissingObjectOnTheWayToTheConeRaisesENoPointer)
{
    auto cylinder = geometry().AddFace("cylinder", nullptr, {}).Entity();   // its parameters are no cone's
    _com_error error = sim::CaughtHostError([&] { GetConeParams(cylinder); });
    EXPECT_EQ(error.Error(), E_POINTER);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5ConeParam));

    auto bare = geometry().AddEntity("bare", 6).Entity();
    EXPECT_EQ(sim::CaughtHostError([&] { GetConeParams(bare); }).GUID_(), __uuidof(IVel5FaceDefinition));
    EXPECT_EQ(sim::CaughtHostError([] { GetConeParams(nullptr); }).Error(), E_POINTER);
}

TEST_F(MateQueries, TheTopPartIsTheComponentEditedInPlaceElseTheDocumentsOwn)
{
    auto document = Document();
    EXPECT_EQ(GetTopPart(document), nullptr);
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.7(-4)", "doc5.7(-1)"}));

    sim::Part& top = velmar().AddPart("top");
    geometry().topPart = &top;
    EXPECT_TRUE(Same(GetTopPart(document), top.V5()));

    sim::Part& edited = velmar().AddPart("edited");
    geometry().editedPart = &edited;
    journal().Clear();
    EXPECT_TRUE(Same(GetTopPart(document), edited.V5()));
    EXPECT_EQ(journal().Lines(), (Lines{"doc5.7(-4)"}));
    EXPECT_EQ(GetTopPart(nullptr), nullptr);
}

TEST_F(MateQueries, TheFacesOfAPartThatPassVariant2AreCollectedInOrder)
{
    sim::Part& part = velmar().AddPart("part");
    sim::GeoEntity& first = geometry().AddFace("first", &part, {.test2 = true});
    geometry().AddFace("plain", &part, {.test1 = true});
    geometry().AddFace("flagless", &part, {.surfaceFlag = false, .test2 = true});
    sim::GeoEntity& last = geometry().AddFace("last", &part, {.test2 = true});

    ObjArray faces = CollectFacesVariant2(part.V5().As<IVel5Part>());
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_TRUE(Same(faces[0], first));
    EXPECT_TRUE(Same(faces[1], last));
    EXPECT_EQ(journal().Lines().front(), "part5.11(6)");
    EXPECT_TRUE(CollectFacesVariant2(nullptr).empty());
}

TEST_F(MateQueries, MateGeometryComesFromEveryPartOfTheCollectionAndNothingElse)
{
    sim::Part& a = velmar().AddPart("a");
    sim::Part& b = velmar().AddPart("b");
    sim::GeoEntity& faceA = geometry().AddFace("faceA", &a, {.test2 = true});
    sim::GeoEntity& faceB = geometry().AddFace("faceB", &b, {.test2 = true});
    sim::GeoEntity& macro = geometry().AddMacro("macro", nullptr);
    macro.Add(a);
    macro.Add(faceA);   // a feature, not a part
    macro.Add(b);

    ObjArray faces = GetMateGeometryObjects(GetEntityDefinition(macro.Entity()));
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_TRUE(Same(faces[0], faceA));
    EXPECT_TRUE(Same(faces[1], faceB));
    EXPECT_TRUE(GetMateGeometryObjects(nullptr).empty());
}
