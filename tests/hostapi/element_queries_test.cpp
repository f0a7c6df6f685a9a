// The inner objects of macro elements, the cylindrical face of a part, the elements of a type in a
// part's feature tree, the patterns of elements and the thread inside an element.
#include "hostapi/element_queries.h"

#include "sim/geometry_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {

class ElementQueries : public sim::GeometryTest {
protected:
    static bool Same(IUnknown* a, sim::Object& b) { return sim::Object::From(a) == &b; }
    static bool Same(IUnknown* a, sim::GeoEntity& b) { return Same(a, b.V5()); }
    static ObjArray List(std::initializer_list<IDispatchPtr> objects)
    {
        ObjArray list;
        list.assign(objects.begin(), objects.end());
        return list;
    }
    static std::vector<sim::Object*> Objects(const ObjArray& list)
    {
        std::vector<sim::Object*> objects;
        for (const IDispatchPtr& object : list)
            objects.push_back(sim::Object::From(object));
        return objects;
    }
};

} // namespace

TEST_F(ElementQueries, TheInnerObjectsOfAMacroElementComeFromItsMacroDefinition)
{
    sim::GeoEntity& macro = geometry().AddMacro("macro", nullptr);
    IDispatchPtr items = GetEntityDefinition(macro.Entity());
    EXPECT_EQ(sim::Object::From(items)->Name(), "macroItems");
    EXPECT_EQ(journal().Lines(), (Lines{"macro5.5()", "macroDef.2()"}));

    EXPECT_EQ(GetEntityDefinition(geometry().AddFace("face", nullptr, {}).Entity()), nullptr);
    EXPECT_EQ(GetEntityDefinition(geometry().AddEntity("bare", 63).Entity()), nullptr);
    journal().Clear();
    EXPECT_EQ(GetEntityDefinition(nullptr), nullptr);
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(ElementQueries, ThePartsCylindricalFaceIsItsFirstFacePassingTest3)
{
    sim::Part& part = velmar().AddPart("part");
    geometry().AddFace("planar", &part, {.test1 = true});
    sim::GeoEntity& bore = geometry().AddFace("bore", &part, {.test3 = true});
    geometry().AddFace("shaft", &part, {.test3 = true});

    EXPECT_TRUE(Same(FindPartOfEntity(part.V5().As<IVel5Part>()), bore));
    EXPECT_EQ(journal().LinesOf("part5Faces"), (Lines{"part5Faces.3()", "part5Faces.5()"}));
    EXPECT_EQ(journal().Count("shaft5.5()"), 0u);
    EXPECT_EQ(FindPartOfEntity(nullptr), nullptr);
}

TEST_F(ElementQueries, FacesWithoutAFaceDefinitionAreSkipped)
{
    sim::Part& part = velmar().AddPart("part");
    geometry().AddFace("odd", &part, {.test3 = true});
    sim::GeoEntity& bore = geometry().AddFace("bore", &part, {.test3 = true});
    velmar().Faults().FailQuery("oddDef", __uuidof(IVel5FaceDefinition), E_NOINTERFACE);
    EXPECT_TRUE(Same(FindPartOfEntity(part.V5().As<IVel5Part>()), bore));

    sim::Part& flat = velmar().AddPart("flat");
    geometry().AddFace("top", &flat, {.test1 = true});
    EXPECT_EQ(FindPartOfEntity(flat.V5().As<IVel5Part>()), nullptr);
}

TEST_F(ElementQueries, TheDefinitionPartIsTheFirstCylindricalFaceOfThePartsInTheCollection)
{
    sim::Part& flat = velmar().AddPart("flat");
    sim::Part& round = velmar().AddPart("round");
    geometry().AddFace("top", &flat, {.test1 = true});
    sim::GeoEntity& bore = geometry().AddFace("bore", &round, {.test3 = true});
    sim::GeoEntity& macro = geometry().AddMacro("macro", nullptr);
    macro.Add(geometry().AddPlane("plane", nullptr, 1));
    macro.Add(flat);
    macro.Add(round);

    EXPECT_TRUE(Same(GetEntityDefinitionPart(GetEntityDefinition(macro.Entity())), bore));
    EXPECT_EQ(GetEntityDefinitionPart(nullptr), nullptr);
    macro.inner.pop_back();
    EXPECT_EQ(GetEntityDefinitionPart(GetEntityDefinition(macro.Entity())), nullptr);
}

TEST_F(ElementQueries, NamedObjectsAreFoundAtEveryDepthOfNestedElements)
{
    sim::Part& part = velmar().AddPart("part");
    sim::GeoEntity& outer = geometry().AddMacro("outer", &part);
    sim::GeoEntity& inner = geometry().AddMacro("inner", &part);
    sim::GeoEntity& thread1 = geometry().AddThread("thread1", &part, {});
    sim::GeoEntity& thread2 = geometry().AddThread("thread2", &part, {});
    sim::GeoEntity& thread3 = geometry().AddThread("thread3", &part, {});
    outer.Add(thread1);
    outer.Add(inner);
    inner.Add(thread2);
    geometry().Shape(part).features = {&outer.Feature(), &velmar().AddPart("sub").Feature(),
                                       &geometry().AddPlane("plane", &part, 1).Feature(), &thread3.Feature()};

    ObjArray threads;
    CollectNamedObjects(part.V5().As<IVel5Part>(), 58, threads);
    EXPECT_EQ(Objects(threads), (std::vector<sim::Object*>{&thread1.V5(), &thread2.V5(), &thread3.V5()}));
    EXPECT_EQ(journal().Lines().front(), "part5.4(-1,-1)");
    EXPECT_EQ(journal().Count("outerFeature.4(-1,-1)"), 1u);
    EXPECT_EQ(journal().Count("innerFeature.4(-1,-1)"), 1u);

    ObjArray elements;
    CollectNamedObjects(part.V5().As<IVel5Part>(), 63, elements);
    EXPECT_EQ(Objects(elements), (std::vector<sim::Object*>{&outer.V5(), &inner.V5()}));
}

TEST_F(ElementQueries, NamedObjectsAreAppendedToTheListAndNeedAPart)
{
    sim::Part& part = velmar().AddPart("part");
    sim::GeoEntity& lcs = geometry().AddEntity("lcs", 85, &part);
    geometry().Shape(part).features = {&lcs.Feature()};
    ObjArray list;
    list.push_back(nullptr);
    CollectNamedObjects(part.V5().As<IVel5Part>(), 85, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_TRUE(Same(list[1], lcs));

    velmar().Faults().FailQuery("part5Tree", __uuidof(IVel5FeatureCollection), E_NOINTERFACE);
    CollectNamedObjects(part.V5().As<IVel5Part>(), 85, list);
    EXPECT_EQ(list.size(), 2u);

    _com_error error = sim::CaughtHostError([&] { CollectNamedObjects(nullptr, 85, list); });
    EXPECT_EQ(error.Error(), E_POINTER);
    EXPECT_EQ(error.GUID_(), __uuidof(IVel5Part));
}

TEST_F(ElementQueries, EachPatternKindGivesItsFurtherObjectFromItsOwnDefinition)
{
    const struct {
        short type;
        int member;
    } kinds[] = {{25, 3}, {26, 4}, {29, 5}, {47, 4}};
    for (const auto& kind : kinds) {
        const std::string name = "p" + std::to_string(kind.type);
        sim::GeoEntity& further = geometry().AddAxis(name + "Axis", nullptr, 11);
        sim::GeoEntity& pattern = geometry().AddPattern(name, nullptr, kind.type, &further);
        sim::GeoEntity& element = geometry().AddMacro(name + "Element", nullptr);
        element.Add(pattern);

        journal().Clear();
        ObjArray patterns;
        ObjArray sources;
        EXPECT_EQ(CollectPatternObjects(App5(), List({element.V5().Ptr()}), patterns, sources), 0);
        EXPECT_EQ(Objects(patterns), (std::vector<sim::Object*>{&pattern.V7()})) << kind.type;
        EXPECT_EQ(Objects(sources), (std::vector<sim::Object*>{&further.V7()})) << kind.type;
        EXPECT_EQ(journal().Count(name + "Def." + std::to_string(kind.member) + "()"), 1u) << kind.type;
        EXPECT_EQ(journal().Count("app5.108(" + name + "Feature,2,0)"), 1u);
        EXPECT_EQ(journal().Count("app5.108(" + name + "Axis5,2,0)"), 1u);
    }
}

TEST_F(ElementQueries, PatternsOfTheWholeListAreCollectedInOrderAndACoordinateSystemSetsTheFlag)
{
    sim::GeoEntity& axis = geometry().AddAxis("axis", nullptr, 9);
    sim::GeoEntity& linear = geometry().AddPattern("linear", nullptr, 25, &axis);
    sim::GeoEntity& threadPattern = geometry().AddPattern("threads", nullptr, 58, nullptr);
    sim::GeoEntity& bare = geometry().AddPattern("bare", nullptr, 47, nullptr);
    sim::GeoEntity& first = geometry().AddMacro("first", nullptr);
    first.Add(linear);
    first.Add(geometry().AddPlane("plane", nullptr, 1));
    first.Add(geometry().AddEntity("lcs", 85));
    first.Add(threadPattern);
    sim::GeoEntity& second = geometry().AddMacro("second", nullptr);
    second.Add(bare);

    ObjArray objects = List({velmar().AddPart("part").V5().Ptr(), first.V5().Ptr(), nullptr, second.V5().Ptr()});
    ObjArray patterns;
    ObjArray sources;
    EXPECT_EQ(CollectPatternObjects(App5(), objects, patterns, sources), 1);
    EXPECT_EQ(Objects(patterns), (std::vector<sim::Object*>{&linear.V7(), &threadPattern.V7(), &bare.V7()}));
    EXPECT_EQ(Objects(sources), (std::vector<sim::Object*>{&axis.V7()}));
    EXPECT_EQ(journal().Count("lcs5.5()"), 0u);   // neither pattern nor source is asked of it
}

TEST_F(ElementQueries, AVersionSevenFormTheHostDoesNotOfferIsNotListed)
{
    sim::GeoEntity& axis = geometry().AddAxis("axis", nullptr, 9);
    sim::GeoEntity& pattern = geometry().AddPattern("pattern", nullptr, 26, &axis);
    sim::GeoEntity& element = geometry().AddMacro("element", nullptr);
    element.Add(pattern);
    velmar().Faults().FailQuery("pattern7", __uuidof(IVel7ModelObject), E_NOINTERFACE);

    ObjArray patterns;
    ObjArray sources;
    CollectPatternObjects(App5(), List({element.V5().Ptr()}), patterns, sources);
    EXPECT_TRUE(patterns.empty());
    EXPECT_EQ(Objects(sources), (std::vector<sim::Object*>{&axis.V7()}));
}

TEST_F(ElementQueries, TheThreadInsideTheOwningElementIsItsFirstInnerFeatureOfType58)
{
    sim::GeoEntity& element = geometry().AddMacro("element", nullptr);
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {});
    sim::GeoEntity& thread = geometry().AddThread("thread", nullptr, {});
    element.Add(face);
    element.Add(geometry().AddPlane("plane", nullptr, 2));
    element.Add(thread);
    element.Add(geometry().AddThread("later", nullptr, {}));

    EXPECT_TRUE(Same(GetCylinderAxisFromEntity(face.V7().Ptr()), thread));
    EXPECT_EQ(journal().Count("laterFeature.7"), 0u);

    element.inner.pop_back();
    element.inner.pop_back();
    EXPECT_EQ(GetCylinderAxisFromEntity(face.V7().Ptr()), nullptr);
}

TEST_F(ElementQueries, AThreadIsSoughtOnlyInAMacroElement)
{
    sim::GeoEntity& pattern = geometry().AddMacro("pattern", nullptr, 25);
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {});
    pattern.Add(face);
    pattern.Add(geometry().AddThread("thread", nullptr, {}));
    EXPECT_EQ(GetCylinderAxisFromEntity(face.V7().Ptr()), nullptr);
    EXPECT_EQ(journal().Count("patternDef.2()"), 0u);

    journal().Clear();
    EXPECT_EQ(GetCylinderAxisFromEntity(nullptr), nullptr);
    EXPECT_TRUE(journal().Lines().empty());
}
