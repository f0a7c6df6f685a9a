// Position leaders against the stand-in's leaders: the kind of a leader, the part an anchor lies on
// through nested parts, the first part that takes leaders, and the copies of each kind on another part.
#include "hostapi/position_leaders.h"

#include "sim/document.h"
#include "sim/leader_model.h"
#include "sim/panel_scene.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using Lines = std::vector<std::string>;

namespace {

class PositionLeaders : public sim::StandInTest {
protected:
    void TearDown() override
    {
        leaders_.reset();
        geometry_.reset();
        StandInTest::TearDown();
    }

    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
    IVel7LeadersPtr Collection() { return DocumentLeaders(document_.V7().As<IVel7Document3D>()); }
    // A part whose one face has a rim with its vertex at (radius, 0, 0).
    sim::Part& PartWithVertex(const std::string& name, double radius)
    {
        sim::Part& part = velmar().AddPart(name);
        anchorFace_ = &sim::ModelGeometry(velmar(), *geometry_, part, name).Cylinder("Shank", radius, 20);
        return part;
    }
    static void Flag(sim::Part& part, bool on) { part.V5().Value(IVel5Part::UserParamSet) = on; }

    sim::Document& document_ = velmar().OpenDocument(5);
    std::unique_ptr<sim::Geometry> geometry_ = std::make_unique<sim::Geometry>(velmar());
    std::unique_ptr<sim::Leaders> leaders_ = std::make_unique<sim::Leaders>(velmar(), document_);
    sim::GeoEntity* anchorFace_ = nullptr;
};

} // namespace

TEST_F(PositionLeaders, TheKindIsTheFirstKindInterfaceInTheOrderA741A822EEF8And8A5D)
{
    struct Row {
        std::vector<long> served;
        long kind;
    };
    for (const Row& row : {Row{{89, 86}, 86}, Row{{89}, 89}, Row{{90}, 90}, Row{{87}, 105}, Row{{}, 87}}) {
        IDispatchPtr leader;
        if (row.served.empty()) {
            leader = velmar().NewObject("plain")->Ptr();
        } else {
            sim::Leader& made = leaders_->Add(row.served.front());
            for (size_t i = 1; i < row.served.size(); ++i)
                leaders_->AddKind(made, row.served[i]);
            leader = made.object->Ptr();
        }
        EXPECT_EQ(GetPosLeaderKind(leader), row.kind) << row.served.size();
    }
}

TEST_F(PositionLeaders, TheOutermostFlaggedPartIsReachedThroughFlaggedOwnersOnly)
{
    sim::Part& inner = velmar().AddPart("inner");
    sim::Part& middle = velmar().AddPart("middle");
    sim::Part& outer = velmar().AddPart("outer");
    sim::Part& top = velmar().AddPart("top");
    inner.ownerPart = &middle;
    middle.ownerPart = &outer;
    outer.ownerPart = &top;
    for (sim::Part* part : {&inner, &middle, &outer})
        Flag(*part, true);
    EXPECT_EQ(sim::Object::From(GetOutermostFlaggedPart(inner.V5().As<IVel5Part>())), &outer.V5());
    // An owner without the flag, or none at all, leaves the part where the walk stands.
    Flag(middle, false);
    EXPECT_EQ(sim::Object::From(GetOutermostFlaggedPart(inner.V5().As<IVel5Part>())), &inner.V5());
    EXPECT_EQ(sim::Object::From(GetOutermostFlaggedPart(top.V5().As<IVel5Part>())), &top.V5());
    Flag(top, true);
    EXPECT_EQ(sim::Object::From(GetOutermostFlaggedPart(top.V5().As<IVel5Part>())), &top.V5());
}

TEST_F(PositionLeaders, TheFirstPartThatTakesLeadersIsFoundDepthFirstThroughTheFeatureTrees)
{
    sim::Part& assembly = velmar().AddPart("assembly");
    sim::Part& subassembly = velmar().AddPart("subassembly");
    sim::Part& taker = velmar().AddPart("taker");
    geometry_->Shape(assembly).features = {&subassembly.Feature()};
    geometry_->Shape(subassembly).features = {&taker.Feature()};
    geometry_->Shape(taker);
    taker.V5().Value(IVel5Part::EditedInPlace) = true;
    EXPECT_EQ(sim::Object::From(SetPosLeaderParts(assembly.V5().As<IVel5Part>())), &taker.V5());

    // A part that takes them is the answer without a walk; a tree without one gives the part itself.
    journal().Clear();
    EXPECT_EQ(sim::Object::From(SetPosLeaderParts(taker.V5().As<IVel5Part>())), &taker.V5());
    EXPECT_EQ(journal().Lines(), Lines{"taker5.22()"});
    taker.V5().Value(IVel5Part::EditedInPlace) = false;
    EXPECT_EQ(sim::Object::From(SetPosLeaderParts(assembly.V5().As<IVel5Part>())), &assembly.V5());
}

TEST_F(PositionLeaders, AnAnchorLiesOnThePartWhenItsObjectIsOfThePartOrOfAFlaggedPartInside)
{
    sim::Part& part = PartWithVertex("bolt", 5);
    sim::GeoEntity& boltFace = *anchorFace_;
    sim::Part& other = PartWithVertex("nut", 8);
    sim::Part& inside = PartWithVertex("pin", 2);
    inside.ownerPart = &part;
    Flag(inside, true);
    Flag(part, true);
    sim::Leader& leader = leaders_->Add(89);
    leaders_->Anchor(leader, other.V7().Ptr(), {});
    const auto anchors = leader.object->As<IVel7LeaderAnchors>();
    EXPECT_FALSE(GetPosLeadersOfPart(App5(), part.V5().As<IVel5Part>(), anchors));
    leaders_->Anchor(leader, anchorFace_->V7().Ptr(), {});
    EXPECT_TRUE(GetPosLeadersOfPart(App5(), part.V5().As<IVel5Part>(), anchors)) << "a face of a part inside";
    EXPECT_FALSE(GetPosLeadersOfPart(App5(), inside.V5().As<IVel5Part>(), anchors)) << "the outermost flagged part counts";
    leader.anchors.pop_back();
    leaders_->Anchor(leader, boltFace.V7().Ptr(), {});
    EXPECT_TRUE(GetPosLeadersOfPart(App5(), part.V5().As<IVel5Part>(), anchors));
}

// Each kind's copy: a new leader of its creation code anchored on the part's vertex, with every property
// pair and text of the source, and the source taken out of the document.
TEST_F(PositionLeaders, EveryKindsCopyTakesEveryPairAndTextOfItsSourceAndTakesTheSourceOut)
{
    using Copy = std::function<IDispatchPtr(IVel7Leaders*, IDispatch*, IVel5Part*)>;
    struct Row {
        long sourceCode;
        long madeCode;
        Copy copy;
    };
    const auto app5 = App5();
    const Row rows[] = {
        {89, 89, [&](IVel7Leaders* c, IDispatch* s, IVel5Part* p) { return IDispatchPtr(CopyPosLeaderA822(app5, c, QueryHost<IVel7LeaderA822>(s), p)); }},
        {86, 86, [&](IVel7Leaders* c, IDispatch* s, IVel5Part* p) { return IDispatchPtr(CopyPosLeaderA741(app5, c, QueryHost<IVel7LeaderA741>(s), p)); }},
        {90, 90, [&](IVel7Leaders* c, IDispatch* s, IVel5Part* p) { return IDispatchPtr(CopyPosLeaderEEF8(app5, c, QueryHost<IVel7LeaderEEF8>(s), p)); }},
        {87, 87, [&](IVel7Leaders* c, IDispatch* s, IVel5Part* p) { return IDispatchPtr(CopyPosLeader8A5D(app5, c, QueryHost<IVel7Leader8A5D>(s), p)); }},
    };
    sim::Part& part = PartWithVertex("washer", 6);
    for (const Row& row : rows) {
        sim::Leader& source = leaders_->Add(row.sourceCode);
        leaders_->Fill(source, "L" + std::to_string(row.sourceCode));
        source.object->Value(1020) = 1L;
        const IDispatchPtr made = row.copy(Collection(), source.object->Primary(), part.V5().As<IVel5Part>());
        sim::Leader* copy = leaders_->Find(made);
        ASSERT_TRUE(copy) << row.sourceCode;
        EXPECT_EQ(copy->code, row.madeCode);
        EXPECT_EQ(leaders_->Values(*copy), leaders_->Values(source)) << row.sourceCode;
        ASSERT_EQ(copy->anchors.size(), 1u);
        EXPECT_EQ(sim::Leaders::AnchoredTo(*copy, 0), &anchorFace_->V7());
        EXPECT_TRUE(source.removed);
        EXPECT_EQ(copy->updates, 1);
    }
}

TEST_F(PositionLeaders, TheSourcesPointOverwritesTheCoordinatesOfThePlaneTheCodeNames)
{
    struct Row {
        long plane;
        double x, y, z;
    };
    sim::Part& part = PartWithVertex("stud", 5);
    for (const Row& row : {Row{1, 100, 200, 0}, Row{2, 100, 0, 300}, Row{3, 5, 200, 300}, Row{4, 5, 0, 0}}) {
        sim::Leader& source = leaders_->Add(89);
        source.object->Value(1020) = row.plane;
        source.object->As<IVel7Leader>()->SetPoint(100, 200, 300);
        const IVel7LeaderPtr copy = CopyPosLeaderParams(App5(), Collection(), source.object->As<IVel7Leader>(), 89,
                                                        part.V5().As<IVel5Part>());
        double x = 0, y = 0, z = 0;
        ASSERT_EQ(copy->GetPoint(&x, &y, &z), S_OK);
        EXPECT_EQ((std::vector<double>{x, y, z}), (std::vector<double>{row.x, row.y, row.z})) << "plane " << row.plane;
    }
}

TEST_F(PositionLeaders, APartWithoutAVertexGivesNoCopyAndLeavesTheSourceAlone)
{
    sim::Part& bare = velmar().AddPart("bare");
    geometry_->Shape(bare);
    sim::Leader& source = leaders_->Add(86);
    EXPECT_FALSE(CopyPosLeaderA741(App5(), Collection(), source.object->As<IVel7LeaderA741>(), bare.V5().As<IVel5Part>()));
    ASSERT_EQ(leaders_->Live().size(), 1u);
    EXPECT_EQ(leaders_->Live().front(), &source);
}
