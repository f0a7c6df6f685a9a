// From version-7 objects to their version-5 objects, features to entities and parts, and a part inside an
// entity to the part it stands for.
#include "hostapi/interface_bridge.h"

#include "core/trace_log.h"
#include "hostapi/velmar.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

class InterfaceBridge : public sim::StandInTest {
protected:
    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
    static bool Same(IUnknown* a, sim::Object& b) { return sim::Object::From(a) == &b; }
};

TEST_F(InterfaceBridge, AVersionSevenObjectReachesItsVersionFiveObjectThroughItsBridge)
{
    sim::Part& part = velmar().AddPart("bolt");
    IVel5ObjectPtr object = GetAPI5ObjectFromAPI7(part.V7().Ptr());
    EXPECT_TRUE(Same(object, part.Feature()));
    EXPECT_EQ(journal().Lines(), (Lines{"bolt7.34()", "boltBridge.5()"}));
}

TEST_F(InterfaceBridge, TheSecondKindUsesDispatchId14)
{
    sim::Part& part = velmar().AddPart("bolt");
    EXPECT_TRUE(Same(GetAPI5ObjectFromAPI7Ex(part.V7().Ptr()), part.Feature()));
    EXPECT_EQ(journal().Lines(), (Lines{"bolt7.14()", "boltBridge.5()"}));
}

TEST_F(InterfaceBridge, NothingGivesNothingWithoutAHostCall)
{
    EXPECT_EQ(GetAPI5ObjectFromAPI7(nullptr), nullptr);
    EXPECT_EQ(GetMacroFromAPI7ObjectEx(nullptr), nullptr);
    EXPECT_EQ(FeatureToMacro(nullptr), nullptr);
    EXPECT_EQ(FeatureToPart(nullptr), nullptr);
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(InterfaceBridge, ABridgeWithoutTheObjectInterfaceGivesNullAndNoError)
{
    auto object7 = velmar().NewObject("object7");
    auto bridge = velmar().NewObject("bridge");   // answers no version-5 object interface
    object7->Returns(IVel7Dispatch::Bridge, _variant_t(bridge->Primary()));
    EXPECT_EQ(GetAPI5ObjectFromAPI7(object7->Ptr()), nullptr);
    EXPECT_EQ(journal().Lines(), (Lines{"object7.34()"}));
}

TEST_F(InterfaceBridge, AQueryFailingOtherwiseRaisesWithTheInterface)
{
    sim::Part& part = velmar().AddPart("bolt");
    velmar().Faults().FailQuery("boltBridge", __uuidof(IVel5Object), E_UNEXPECTED);
    try {
        GetAPI5ObjectFromAPI7(part.V7().Ptr());
        FAIL() << "no error";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_UNEXPECTED);
        EXPECT_EQ(error.GUID_(), __uuidof(IVel5Object));
    }
}

TEST_F(InterfaceBridge, FeaturesNarrowOnlyToTheirOwnKind)
{
    sim::Part& part = velmar().AddPart("bolt");
    sim::Entity& entity = velmar().AddEntity("hole", 25);
    auto partFeature = part.Feature().As<IVel5Object>();
    auto entityFeature = entity.Feature().As<IVel5Object>();

    EXPECT_EQ(FeatureToMacro(partFeature), nullptr);
    EXPECT_EQ(FeatureToPart(entityFeature), nullptr);
    EXPECT_TRUE(Same(FeatureToPart(partFeature), part.V5()));
    EXPECT_TRUE(Same(FeatureToMacro(entityFeature), entity.V5()));
    // The wrong kind is told by the type alone.
    EXPECT_EQ(journal().Lines(), (Lines{"boltFeature.7", "holeFeature.7", "boltFeature.7", "boltFeature.8()",
                                        "holeFeature.7", "holeFeature.8()"}));
}

TEST_F(InterfaceBridge, APartInsideAnEntityYieldsThatEntity)
{
    sim::Part& bolt = velmar().AddPart("bolt");
    sim::Part& nut = velmar().AddPart("nut");
    sim::Entity& set = velmar().AddEntity("set", 25, {&bolt, &nut});
    EXPECT_TRUE(Same(GetMacroFromAPI7Object(nut.V7().Ptr()), set.V5()));
    EXPECT_EQ(GetMacroFromAPI7Object(velmar().AddPart("washer").V7().Ptr()), nullptr);
}

TEST_F(InterfaceBridge, CollectMacroObjectsKeepsAnObjectOutsideAnyEntity)
{
    sim::Part& bolt = velmar().AddPart("bolt");
    IDispatchPtr selected = bolt.V7().Ptr();
    EXPECT_EQ(CollectMacroObjects(App5(), selected).GetInterfacePtr(), selected.GetInterfacePtr());
    EXPECT_EQ(CollectMacroObjects(App5(), nullptr), nullptr);
}

TEST_F(InterfaceBridge, CollectMacroObjectsKeepsAnObjectInsideAMacroElement)
{
    sim::Part& bolt = velmar().AddPart("bolt");
    velmar().AddEntity("macro", 63, {&bolt});
    IDispatchPtr selected = bolt.V7().Ptr();
    EXPECT_EQ(CollectMacroObjects(App5(), selected).GetInterfacePtr(), selected.GetInterfacePtr());
    EXPECT_EQ(journal().Lines(), (Lines{"bolt7.34()", "boltBridge.5()", "macroFeature.7", "macroFeature.8()", "macro5.3"}));
}

TEST_F(InterfaceBridge, CollectMacroObjectsGivesThePartTheSelectedObjectStandsFor)
{
    sim::Part& bolt = velmar().AddPart("bolt");
    sim::Part& nut = velmar().AddPart("nut");
    sim::Part& washer = velmar().AddPart("washer");
    velmar().AddEntity("set", 25, {&bolt, &nut, &washer});

    IDispatchPtr result = CollectMacroObjects(App5(), nut.V7().Ptr());
    EXPECT_TRUE(Same(result, nut.V5()));
    EXPECT_EQ(journal().Lines(),
              (Lines{"nut7.34()", "nutBridge.5()", "setFeature.7", "setFeature.8()", "set5.3",
                     "setFeature.4(false,false)", "nut7.34()", "setFeatures.9(nutBridge)",
                     "setFeature.5()", "setFeature.8()", "app5.108(set5,2,0)", "set7#21(&)", "app5.108(nut7,1,104)"}));
}

TEST_F(InterfaceBridge, CollectMacroObjectsAcceptsAVersionFivePart)
{
    sim::Part& bolt = velmar().AddPart("bolt");
    sim::Part& nut = velmar().AddPart("nut");
    velmar().AddEntity("set", 25, {&bolt, &nut});
    IDispatchPtr result = CollectMacroObjects(App5(), nut.V5().Ptr());
    EXPECT_TRUE(Same(result, nut.V5()));
    EXPECT_EQ(journal().Lines().front(), "nut5.34()");
}

TEST_F(InterfaceBridge, AnIndexOutsideTheEntitysListGivesNoPartAndATraceLine)
{
    sim::Part& bolt = velmar().AddPart("bolt");
    sim::Entity& set = velmar().AddEntity("set", 25, {&bolt});
    set.Features().Method(IVel5FeatureCollection::IndexOf, 1, [](sim::Args&) { return _variant_t(1L); });

    TraceLog log(L"test", false);
    EXPECT_EQ(CollectMacroObjects(App5(), bolt.V7().Ptr()), nullptr);
    EXPECT_EQ(CollectMacroObjectsByIndex(App5(), bolt.Bridge().As<IVel5Object>(), -1), nullptr);
    EXPECT_NE(log.Text().find(L"index=1"), std::wstring::npos) << log.Text();
    EXPECT_NE(log.Text().find(L"index=-1"), std::wstring::npos) << log.Text();
    EXPECT_EQ(journal().Count("app5.108(bolt7,1,104)"), 0u);
}
