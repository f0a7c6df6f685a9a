// The mates a model proposes from its named geometry, and the mates read back at its coordinate systems.
#include "insert3d/velmar_mate_set.h"

#include "sim/document.h"
#include "sim/geometry_test.h"
#include "sim/panel_scene.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

using Lines = std::vector<std::string>;

namespace {

class MateSet : public sim::GeometryTest {
public:
    std::unique_ptr<sim::ModelGeometry> model = std::make_unique<sim::ModelGeometry>(velmar(), geometry(), "model");

    sim::GeoEntity& Named(const std::string& name, short type, const std::wstring& hostName = L"")
    {
        return model->Named(name, type, hostName);
    }
    sim::GeoEntity& Attach(bool base72) { return model->AttachPoint(base72); }
    sim::GeoEntity& Cone(short type, const std::wstring& name) { return model->Cone(type, name); }
    sim::GeoEntity& Lcs(const std::string& name) { return model->Lcs(name); }

    VelmarMateSet Build(IVel5Document3D* context = nullptr)
    {
        return VelmarMateSet(App5(), model->Model().V5().As<IVel5Part>(), context);
    }

    static std::string NameOf(IUnknown* object)
    {
        const sim::Object* found = sim::Object::From(object);
        return found ? found->Name() : "null";
    }
};

} // namespace

TEST_F(MateSet, EachKindOfModelProposesItsMembers)
{
    struct Row {
        const char* model;
        std::function<void(MateSet&)> build;
        std::array<const char*, 5> targets;
        double cone;
        const char* base72;
    };
    const Row rows[] = {
        {"attach point and cone: planes and axes are not looked for",
         [](MateSet& t) { t.Attach(true); t.Cone(28, L"Conus "); t.Named("Plane", 109); t.Named("Axis", 109); },
         {"Auto5", "conical5", "null", "null", "null"}, 2.5, "base725"},
        {"a cone of the older type, an attach point with one base",
         [](MateSet& t) { t.Attach(false); t.Cone(27, L"Conus "); },
         {"Auto5", "conical5", "null", "null", "null"}, 2.5, "null"},
        {"a cone without its trailing blank is none",
         [](MateSet& t) { t.Attach(true); t.Cone(28, L"Conus"); },
         {"Auto5", "null", "null", "null", "null"}, 0, "base725"},
        {"only PlaneR", [](MateSet& t) { t.Named("PlaneR", 109); }, {"null", "null", "PlaneR5", "null", "null"}, 0, "null"},
        {"PlaneR replaces Plane", [](MateSet& t) { t.Named("Plane", 109); t.Named("PlaneR", 109); t.Named("Axis", 109); t.Named("AxisD", 109); },
         {"null", "null", "PlaneR5", "Axis5", "AxisD5"}, 0, "null"},
        {"names of another type are not looked at", [](MateSet& t) { t.Named("Plane", 68); t.Named("Auto", 109); },
         {"null", "null", "null", "null", "null"}, 0, "null"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.model);
        model = std::make_unique<sim::ModelGeometry>(velmar(), geometry(), row.model);
        row.build(*this);
        VelmarMateSet set = Build();
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(NameOf(set.Members[i].Target), row.targets[i]) << i;
            EXPECT_EQ(set.Members[i].Used, row.targets[i] != std::string("null")) << i;
            EXPECT_EQ(set.Members[i].Kind, (i == 3 ? 4 : i == 4 ? 1 : 0)) << i;
            EXPECT_EQ(set.Members[i].Direction, 1) << i;
            EXPECT_EQ(set.Members[i].PickAgainClears, 1) << i;
            EXPECT_EQ(set.Members[i].iface, nullptr) << i;
        }
        EXPECT_EQ(set.ConeValue, row.cone);
        EXPECT_EQ(NameOf(set.AttachBase71), set.ConjunctPnt().Used ? "base715" : "null");
        EXPECT_EQ(NameOf(set.AttachBase72), row.base72);
        EXPECT_EQ(set.AttachBasesFlag, row.base72 != std::string("null"));
        EXPECT_TRUE(set.LcsMates.empty());
    }
}

TEST_F(MateSet, ThePlanesAndAxesAreLookedForInOneCollectionAfterTheAttachPoint)
{
    Named("PlaneR", 109);
    Build();
    EXPECT_EQ(journal().Lines(), (Lines{"model5.18(68)", "model5Type68.9(\"Auto\",-1,-1)", "model5.18(109)",
                                        "model5Type109.9(\"Plane\",0,0)", "model5Type109.9(\"PlaneR\",0,0)",
                                        "model5Type109.9(\"Axis\",0,0)", "model5Type109.9(\"AxisD\",0,0)", "model5.18(85)",
                                        "model5Type85.3()"}));
}

TEST_F(MateSet, CoordinateSystemsNamedLcsAndANumberGiveTheirSubObjects)
{
    Lcs("lcs1");
    Lcs("lcs01");
    Lcs("lcsA");
    Lcs("lcs");
    Lcs("lcs-3");
    sim::GeoEntity& again = Lcs("lcs1");
    again.SetHostName(L"lcs1");
    again.items[72] = &geometry().AddEntity("againY", 72).V7();

    VelmarMateSet set = Build();
    ASSERT_EQ(set.LcsMates.size(), 3u);
    for (const wchar_t* name : {L"lcs01", L"lcs-3"}) {
        const auto& byCode = set.LcsMates.at(name);
        ASSERT_EQ(byCode.size(), 2u) << name;
        EXPECT_EQ(NameOf(byCode.at(71).at(0).Target), sim::Utf8(name) + "X5");
        EXPECT_EQ(NameOf(byCode.at(4).at(0).Target), sim::Utf8(name) + "Element5");
        EXPECT_EQ(byCode.at(71).at(0).HostMate, nullptr);
        EXPECT_EQ(byCode.at(71).at(0).PickAgainClears, 1);
    }
    // The second system of one name replaces the first.
    EXPECT_EQ(set.LcsMates.at(L"lcs1").size(), 3u);
    EXPECT_EQ(NameOf(set.LcsMates.at(L"lcs1").at(72).at(0).Target), "againY5");
}

TEST_F(MateSet, WithADocumentTheExistingMatesOfTheSubObjectsAreRead)
{
    sim::Document& document = velmar().OpenDocument(5);
    geometry().UseDocument(document);
    sim::GeoEntity& lcs = Lcs("lcs7");
    sim::GeoEntity& x = geometry().AddEntity("x", 71);
    lcs.items[71] = &x.V7();
    sim::GeoEntity& assembly = geometry().AddFace("assembly", nullptr, {});
    sim::GeoEntity& other = geometry().AddFace("other", nullptr, {});
    // Object 1 is the sub-object (known to Velmar by its identity only), so the other object is object 2.
    geometry().DocumentMates().AddExisting(3, -1, 1, 4.5, x.V5().Ptr(), assembly.V5().Ptr());
    geometry().DocumentMates().AddExisting(0, 1, 0, 0, other.V5().Ptr(), x.V5().Ptr());

    VelmarMateSet set = Build(document.V5().As<IVel5Document3D>());
    const auto& byCode = set.LcsMates.at(L"lcs7");
    ASSERT_EQ(byCode.size(), 1u) << "the element has no mates: no entry";
    const std::vector<VelmarMate>& mates = byCode.at(71);
    ASSERT_EQ(mates.size(), 2u);
    EXPECT_EQ(NameOf(mates[0].iface), "assembly5");
    EXPECT_EQ(NameOf(mates[0].Target), "x5");
    EXPECT_EQ(NameOf(mates[0].HostMate), "matesMate1");
    EXPECT_EQ(mates[0].Kind, 3);
    EXPECT_EQ(mates[0].Direction, -1);
    EXPECT_EQ(mates[0].Fixed, 1);
    EXPECT_EQ(mates[0].Value, 4.5);
    EXPECT_EQ(mates[0].PickAgainClears, 1);
    EXPECT_EQ(mates[0].Used, 0);
    EXPECT_EQ(NameOf(mates[1].iface), "other5");
    EXPECT_EQ(mates[1].Direction, 1);
}

TEST_F(MateSet, AnObjectWithoutItsInterfaceIsAbsentAndEveryOtherFailureRaises)
{
    Attach(true);
    Cone(28, L"Conus ");
    Lcs("lcs2");
    velmar().Faults().FailQuery("Auto5", __uuidof(IVel5Entity), E_NOINTERFACE);
    VelmarMateSet set = Build();
    EXPECT_FALSE(set.ConjunctPnt().Used);
    EXPECT_EQ(set.ConjunctPnt().Target, nullptr);
    velmar().Faults().Clear();

    // Every host call of a full build, failing in turn.
    journal().Clear();
    Build();
    const size_t calls = journal().Calls().size();
    ASSERT_GT(calls, 20u);
    for (size_t n = 1; n <= calls; ++n) {
        journal().Clear();
        velmar().Faults().FailCall(n, E_FAIL);
        const _com_error error = sim::CaughtHostError([&] { Build(); });
        EXPECT_EQ(error.Error(), E_FAIL) << n;
        velmar().Faults().Clear();
    }
}

TEST(LcsName, LcsFollowedByA32BitNumberAndNothingElse)
{
    const std::pair<const wchar_t*, bool> rows[] = {
        {L"lcs12", true},  {L"lcs-3", true},  {L"lcs01", true},       {L"lcs2147483647", true}, {L"lcs", false},
        {L"lcsA", false},  {L"lcs1x", false}, {L"LCS1", false},       {L"lcs2147483648", false}, {L"xlcs1", false},
        {L"", false},
    };
    for (const auto& [name, expected] : rows)
        EXPECT_EQ(IsLcsName(name), expected) << sim::Utf8(name);
}
