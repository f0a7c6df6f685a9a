// Position leaders of placed 2D parts: drawn by the user, pointed at, found on the part's spc objects,
// deleted, and made without the user from the part's placement or from an old leader.
#include "insert2d/nm_vel_obj_2d.h"

#include "insert2d/drawing_stand_in.h"

namespace {

using namespace drawing_test;

class Leaders2D : public DrawingStandIn {
protected:
    // A part on a macro placed at (10, 20).
    std::unique_ptr<NMVelObj2D> Placed()
    {
        auto part = std::make_unique<NMVelObj2D>(App5(), App7(), Client(), Drawing().AddMacro(10, 20), false);
        journal().Clear();
        return part;
    }
    sim::LeaderData Leader(double x, double y)
    {
        sim::LeaderData leader;
        leader.settings[2] = x;
        leader.settings[3] = y;
        leader.branches = {{{1, 2}, {3, 4}}};
        leader.texts = {L"7"};
        return leader;
    }
};

} // namespace

TEST_F(Leaders2D, EachModeHighlightsTheMacroOnlyWhileTheUserIsAsked)
{
    const long existing = Drawing().AddLeader(Leader(50, 60));
    struct Row {
        int32_t mode;
        std::vector<std::pair<std::string, const wchar_t*>> answers;
        bool drawsOne;      // a new leader is the result
        long result;        // otherwise
        std::optional<Lines> calls;   // every host call, where they are the point
    };
    const Row rows[] = {
        {NMVelObj2D::LeaderNone, {}, false, 0, Lines{}},
        {7, {}, false, 0, Lines{"drawing5.38(M,1)", "drawing5.38(M,0)"}},
        {NMVelObj2D::LeaderNew, {{"leader", L"30,40"}}, true, 0, Lines{"drawing5.38(M,1)", "app5.24()", "drawing5.42(21)", "drawing5.38(M,0)"}},
        {NMVelObj2D::LeaderNew, {{"leader", L"none"}}, false, 0, Lines{"drawing5.38(M,1)", "app5.24()", "drawing5.42(21)", "drawing5.38(M,0)"}},
        // Nothing at the first point, the part itself at the second: asked again without a word; then the leader.
        {NMVelObj2D::LeaderExisting, {{"point", L"90,90"}, {"point", L"10,20"}, {"point", L"50,60"}}, false, existing, std::nullopt},
        {NMVelObj2D::LeaderExisting, {{"point", L"end"}}, false, 0, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        auto part = Placed();
        part->PosLeadMode = row.mode;
        for (const auto& [kind, answer] : row.answers)
            velmar().User().Answer(kind, _variant_t(answer));
        const size_t leaders = Leaders().size();
        const int32_t leader = part->DrawPosLeader();
        if (row.drawsOne) {
            EXPECT_EQ(Leaders().size(), leaders + 1);
            EXPECT_EQ(leader, Leaders().back());
        } else {
            EXPECT_EQ(leader, row.result);
            EXPECT_EQ(Leaders().size(), leaders);
        }
        if (row.calls) {
            Lines expected = *row.calls;
            for (std::string& line : expected)
                if (const size_t at = line.find('M'); at != std::string::npos)
                    line.replace(at, 1, std::to_string(part->macro));
            EXPECT_EQ(journal().Lines(), expected);
        }
        EXPECT_FALSE(Drawing().Find(part->macro)->highlighted);
        EXPECT_TRUE(velmar().User().Unanswered().empty());
        velmar().User().Clear();
    }
    // Pointing at what is no leader shows no message: the same prompt is asked until the leader comes.
    auto part = Placed();
    part->PosLeadMode = NMVelObj2D::LeaderExisting;
    velmar().User().Answer("point", _variant_t(L"10,20"));
    velmar().User().Answer("point", _variant_t(L"50,60"));
    EXPECT_EQ(part->DrawPosLeader(), existing);
    EXPECT_EQ(Drawing().Prompts().back(), L"Укажите существующую линию-выноску");
    EXPECT_EQ(journal().Count("app5.24()"), 2u);
}

TEST_F(Leaders2D, ALeaderOfTwoSpcObjectsStandsOnceAndIsDeletedOnceNoLineHoldsIt)
{
    auto part = Placed();
    const long leader = Drawing().AddLeader(Leader(50, 60));
    sim::Object& drawnLeader = *velmar().Drawings().DrawingObject(leader);
    sim::Object& drawnMacro = *velmar().Drawings().DrawingObject(part->macro);
    std::vector<sim::SpcObject*> lines;
    for (int i = 0; i < 2; ++i) {
        sim::SpcObject& object = Spc().AddObject(25);
        object.Link(drawnMacro);
        object.Link(drawnLeader);
        part->ExSpcObjs.push_back(object.Obj().Ptr());
        lines.push_back(&object);
    }
    part->GetPosLeadsFromSpcObjects();
    ASSERT_EQ(part->PosLeads.size(), 1u);
    EXPECT_EQ(sim::Object::From(part->PosLeads[0]), &drawnLeader);
    // A leader goes only when no line holds it any more: while one line stays, or where the bill of
    // materials cannot be asked, it stays and leaves the list.
    const ObjArray listed = part->PosLeads;
    const auto removeLine = [&](size_t i) {
        lines[i]->deleted = true;
        Spc().Changed();
    };
    removeLine(0);
    part->RemoveUnusedPosLeads(part->Context(false));
    EXPECT_TRUE(part->PosLeads.empty());
    EXPECT_EQ(Leaders(), std::vector<long>{leader});
    removeLine(1);
    part->PosLeads = listed;
    part->RemoveUnusedPosLeads(SpcDocContext());
    EXPECT_EQ(Leaders(), std::vector<long>{leader});
    part->PosLeads = listed;
    part->RemoveUnusedPosLeads(part->Context(false));
    EXPECT_TRUE(part->PosLeads.empty());
    EXPECT_EQ(Leaders(), std::vector<long>{});
    EXPECT_NE(Drawing().Find(part->macro), nullptr);
}

TEST_F(Leaders2D, ANewLeaderStartsAtThePlacementAndACopyKeepsTheOldOnesShape)
{
    auto part = Placed();
    const long made = part->MakePosLead();
    const sim::DrawnObject* leader = Drawing().Find(made);
    ASSERT_NE(leader, nullptr);
    EXPECT_EQ(leader->type, 21);
    EXPECT_EQ(leader->leader.branches, (std::vector<std::vector<sim::DrawPoint>>{{{10, 20}}}));
    EXPECT_EQ(static_cast<double>(leader->leader.settings.at(2)), 30.0);
    EXPECT_EQ(static_cast<double>(leader->leader.settings.at(3)), 40.0);
    EXPECT_EQ(static_cast<long>(leader->leader.settings.at(1)), 65535);
    EXPECT_EQ(static_cast<long>(leader->leader.settings.at(5)), 1);
    EXPECT_EQ(V_VT(&leader->leader.settings.at(4)), VT_I2);

    // From an old leader: its shape, its texts emptied.
    const long old = Drawing().AddLeader(Leader(50, 60));
    part->PosLeads.push_back(velmar().Drawings().DrawingObject(old)->Ptr());
    const sim::DrawnObject* copy = Drawing().Find(part->MakePosLead());
    EXPECT_EQ(copy->leader.branches, Drawing().Find(old)->leader.branches);
    EXPECT_EQ(static_cast<double>(copy->leader.settings.at(2)), 50.0);
    EXPECT_TRUE(copy->leader.texts.empty());

    // An old leader that can no longer be read gives a new one.
    journal().Clear();
    Drawing().Find(old)->deleted = true;
    const sim::DrawnObject* fresh = Drawing().Find(part->MakePosLead());
    EXPECT_EQ(fresh->leader.branches, (std::vector<std::vector<sim::DrawPoint>>{{{10, 20}}}));
    EXPECT_EQ(journal().Count("drawing5.157(" + std::to_string(part->macro) + ",&,&,&)"), 1u);
}
