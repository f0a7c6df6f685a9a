// Placing 2D parts copy after copy with the cursor, replacing a placed part in place, placing one at a
// point without the user; and what a failed host call leaves of each.
#include "insert2d/nm_vel_obj_2d.h"

#include "insert2d/drawing_stand_in.h"
#include "insert2d/user_data_block.h"

namespace {

using namespace drawing_test;

class Insert2D : public DrawingStandIn {
protected:
    // The nut placed by the user at (100, 50) with a leader whose shelf is at (130, 80).
    long PlaceNut()
    {
        auto part = MakePart();
        Place(L"cursor 100 50 0; ok", L"130,80");
        velmar().User().Answer("panel", _variant_t(L"cancel"));
        part->Apply();
        return Macros().back();
    }
    void Place(const wchar_t* panel, const wchar_t* leader)
    {
        velmar().User().Answer("panel", _variant_t(panel));
        velmar().User().Answer("leader", _variant_t(leader));
    }
    // What a placed part is made of, to compare before and after.
    struct Snapshot {
        std::vector<long> types;
        std::optional<std::vector<std::uint8_t>> block;
        std::vector<long> leaders;
        std::vector<std::vector<std::string>> spc;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Take(long macro)
    {
        const sim::DrawnObject* object = Drawing().Find(macro);
        return {TypesIn(macro), object ? object->block : std::nullopt, Leaders(), SpcGeometry()};
    }
};

} // namespace

TEST_F(Insert2D, AnAcceptedPlacementIsCommittedWithItsIdentityLeaderAndSpcObject)
{
    auto part = MakePart();
    Place(L"cursor 100 50 90; ok", L"130,80");
    velmar().User().Answer("panel", _variant_t(L"cancel"));
    journal().Clear();
    EXPECT_EQ(part->Apply(), NMObject::StateInsert);

    ASSERT_EQ(Macros().size(), 1u);
    const long macro = Macros()[0];
    const long leader = Leaders().at(0);
    const std::string m = std::to_string(macro);
    const std::string g = std::to_string(macro - 1);
    // The drawing's calls in order: the nut drawn as a macro in a group, placed through the panel, the
    // group committed, the macro moved to the placement and given its identity; the leader drawn with the
    // macro highlighted; the spc object opened for editing; the next placement's drawing, cancelled.
    EXPECT_EQ(journal().LinesOf("drawing5"),
              (Lines{"drawing5.24(1)", "drawing5.11(1)", "drawing5.2(0,0,12,0,1)", "drawing5.4(0,0,6,1)", "drawing5.19()",
                     "drawing5.25()", "drawing5.217(struct10,&,&,&,struct6,propMng)", "drawing5.53(" + g + ")",
                     "drawing5.63(" + g + ",true)", "drawing5.34(" + g + ")", "drawing5.158(" + m + ",100,50,90,1)",
                     "drawing5.136(" + m + ",userParam,false,true,false)", "drawing5.1", "drawing5.38(" + m + ",1)",
                     "drawing5.42(21)", "drawing5.38(" + m + ",0)", "drawing5.177()", "drawing5.24(1)", "drawing5.11(1)",
                     "drawing5.2(0,0,12,0,1)", "drawing5.4(0,0,6,1)", "drawing5.19()", "drawing5.25()",
                     "drawing5.217(struct10,&,&,&,struct6,propMng)"}));
    const sim::DrawnObject& placed = *Drawing().Find(macro);
    EXPECT_EQ(std::vector<double>({placed.x, placed.y, placed.angle}), std::vector<double>({100, 50, 90}));
    EXPECT_EQ(TypesIn(macro), (std::vector<long>{1, 3}));
    PartIdentity identity;
    DecodeUserData(*placed.block, identity);
    EXPECT_EQ(identity.id, L"PART:5915[d=12]");
    EXPECT_EQ(Drawing().Find(leader)->leader.branches, (std::vector<std::vector<sim::DrawPoint>>{{{100, 50}}}));
    EXPECT_EQ(SpcGeometry(), (std::vector<std::vector<std::string>>{{Name("macro", macro), Name("leader", leader)}}));
    EXPECT_EQ(Spc().Objects()[0]->ColumnA(5, 1)->Text(), L"Гайка М12");
    EXPECT_EQ(document_->ObjectsEdited(), std::vector<long>{Spc().Objects()[0]->reference});
    EXPECT_EQ(Drawing().Prompts(), std::vector<std::wstring>{}) << "the panel's placement asks no prompt of its own";
}

TEST_F(Insert2D, EachPlacementEndsInWholePartsAndACancelEndsTheInsertion)
{
    struct Row {
        const char* what;
        bool withSpc;
        bool specActive;
        std::vector<std::pair<std::string, const wchar_t*>> answers;
        size_t macros;
        size_t leaders;
        std::vector<size_t> geometrySizes;   // of each spc object
        int refusedSpcObjects = 0;           // Velmar gives no spc object this often
        int failedLeader = 0;                // Velmar fails the drawing of this copy's leader; 0: none
    };
    const Row rows[] = {
        {"cancelled at once", true, false, {{"panel", L"cancel"}}, 0, 0, {}},
        {"two copies", true, false,
         {{"panel", L"cursor 1 1 0; ok"}, {"leader", L"5,5"}, {"panel", L"cursor 9 9 0; ok"}, {"leader", L"15,15"}, {"panel", L"cancel"}},
         2, 2, {2, 2}},
        {"no leader chosen in the panel", true, false, {{"panel", L"choose 9145 2; cursor 1 1 0; ok"}, {"panel", L"cancel"}}, 1, 0, {1}},
        // Without a spc section of its own the part is placed by Velmar alone, with the prompt.
        {"no spc section", false, false, {{"placement", L"3,4,0"}, {"placement", L"cancel"}}, 1, 0, {}},
        {"a drawing in spc mode", true, true, {}, 0, 0, {0}},
        // A copy without its spc object is told of once and stays; the next copy follows.
        {"Velmar gives no spc object", true, false,
         {{"panel", L"cursor 1 1 0; ok"}, {"leader", L"5,5"}, {"panel", L"cursor 9 9 0; ok"}, {"leader", L"15,15"}, {"panel", L"cancel"}},
         2, 2, {2}, 2},
        // The failure ends the insertion; the copy before it stays whole.
        {"the second copy's leader fails", true, false,
         {{"panel", L"cursor 1 1 0; ok"}, {"leader", L"5,5"}, {"panel", L"cursor 9 9 0; ok"}}, 1, 1, {2}, 0, 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Open();
        velmar().User().Clear();
        // Each row starts from no leader mode remembered.
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Orbex\\Normset\\RNMClient\\VELMAR_SETTINGS\\fmPosLead");
        const size_t runs = velmar().Panels().Runs();
        for (const auto& [kind, answer] : row.answers)
            velmar().User().Answer(kind, _variant_t(answer));
        Spc().RefuseAdd(row.refusedSpcObjects);
        if (row.failedLeader)
            velmar().Faults().FailMember("drawing5.42", E_FAIL, 1, row.failedLeader - 1);
        auto part = MakePart(row.withSpc, {}, 0, row.specActive);
        HRESULT failed = S_OK;
        try {
            part->Apply();
        } catch (const _com_error& error) {
            failed = error.Error();
        }
        velmar().Faults().Clear();
        EXPECT_EQ(failed, row.failedLeader ? E_FAIL : S_OK);
        size_t told = 0;
        for (const sim::Question& question : velmar().User().Questions())
            told += question.text == L"Не удалось создать объект спецификации.";
        EXPECT_EQ(told, row.refusedSpcObjects ? 1u : 0u);
        EXPECT_EQ(Macros().size(), row.macros);
        EXPECT_EQ(Leaders().size(), row.leaders);
        std::vector<size_t> sizes;
        for (const auto& geometry : SpcGeometry())
            sizes.push_back(geometry.size());
        EXPECT_EQ(sizes, row.geometrySizes);
        for (long macro : Macros())
            EXPECT_TRUE(Drawing().Find(macro)->block.has_value());
        EXPECT_EQ(velmar().User().Pending(), 0u);
        if (!row.withSpc) {
            EXPECT_EQ(velmar().Panels().Runs(), runs);
            EXPECT_EQ(Drawing().Prompts().front(), L"Выберите расположение и угол");
        }
    }
}

TEST_F(Insert2D, TheIdentityIsWrittenBeforeTheAttributesAndProperties)
{
    const std::wstring tech = response_xml::Object(L"SpecialTechnoParameters", {{L"LocationUTS", L"A1"}});
    auto part = MakePart<NMVelmarScript2D>(true, {}, 0, false, tech);
    velmar().User().Answer("panel", _variant_t(L"choose 9145 2; cursor 1 1 0; ok"));
    velmar().User().Answer("panel", _variant_t(L"cancel"));
    part->Apply();
    const Lines lines = journal().Lines();
    const auto at = [&](const std::string& prefix) {
        return std::find_if(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }) - lines.begin();
    };
    EXPECT_LT(at("drawing5.136("), at("iterator.4("));
    EXPECT_LT(at("iterator.4("), at("attrManager.6("));
    EXPECT_LT(at("attrManager.6("), at("client#34("));
    EXPECT_EQ(Drawing().Find(Macros()[0])->attributes.size(), 1u);
}

TEST_F(Insert2D, AReplacementPutsTheNewDrawingIntoTheMacroAndMovesItOnlyWhenAsked)
{
    struct Row {
        double x, y, angle;
        bool moves;
    };
    for (const Row& row : {Row{0.0000005, 0, 0, false}, Row{0, 0, 90, true}}) {
        Open();
        const long macro = PlaceNut();
        auto washer = MakePart<NMVelmarFragment2D>(true, {}, macro);
        ASSERT_EQ(washer->state, NMObject::StateReplace);
        journal().Clear();
        washer->replacePartSilent(row.x, row.y, row.angle);
        EXPECT_EQ(washer->macro, macro);
        EXPECT_EQ(Macros(), std::vector<long>{macro});
        EXPECT_EQ(TypesIn(macro), (std::vector<long>{1, 3}));
        EXPECT_EQ(journal().Count("drawing5.158(" + std::to_string(macro) + ",0,0,90,1)"), row.moves ? 1u : 0u);
        EXPECT_EQ(journal().Count("drawing5.158(" + std::to_string(macro) + ",5e-07,0,0,1)"), 0u);
        EXPECT_EQ(Drawing().Find(macro)->angle, row.moves ? 90 : 0);
        PartIdentity identity;
        DecodeUserData(*Drawing().Find(macro)->block, identity);
        EXPECT_EQ(identity.id, L"PART:11371[d=8]");
        // The spc object is the old one, its leader kept in its geometry.
        EXPECT_EQ(SpcGeometry(), (std::vector<std::vector<std::string>>{{Name("macro", macro), Name("leader", Leaders().at(0))}}));
        EXPECT_TRUE(washer->PosLeads.empty());
    }
}

TEST_F(Insert2D, AReplacementWithoutSpcSectionTakesTheOldSpcObjectsAndLeadersAndARefusedOneChangesNothing)
{
    const long macro = PlaceNut();
    const Snapshot before = Take(macro);
    // Velmar refusing the new drawing, or a new part that draws nothing (the caller told), changes nothing.
    struct Row {
        const char* what;
        std::function<std::unique_ptr<NMVelObj2D>()> part;
        bool told;
    };
    const Row rows[] = {
        {"Velmar refuses the new drawing", [&] {
             Drawing().RefuseMacroFill(1);
             return MakePart<NMVelmarFragment2D>(false, {}, macro);
         }, false},
        {"the new part draws nothing", [&] {
             WriteFileBytes(folder_ / L"nut.vbs", kEmptyScript);
             return MakePart(false, {}, macro);
         }, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::unique_ptr<NMVelObj2D> refused = row.part();
        refused->PosLeads.push_back(velmar().Drawings().DrawingObject(Leaders().at(0))->Ptr());
        bool told = false;
        try {
            refused->Apply();
        } catch (const _bstr_t&) {
            told = true;
        }
        EXPECT_EQ(told, row.told);
        EXPECT_EQ(Take(macro), before);
        EXPECT_TRUE(refused->PosLeads.empty());
    }

    auto plain = MakePart<NMVelmarFragment2D>(false, {}, macro);
    plain->Apply();
    EXPECT_EQ(Macros(), std::vector<long>{macro});
    EXPECT_EQ(Leaders(), std::vector<long>{});
    EXPECT_EQ(SpcGeometry(), (std::vector<std::vector<std::string>>{}));
}

TEST_F(Insert2D, APartPlacedAtAPointIsWholeOrGoneAndAMissingSpcObjectKeepsIt)
{
    auto part = MakePart();
    part->PlaceAt(5, 6, 30);
    const sim::DrawnObject& placed = *Drawing().Find(part->macro);
    EXPECT_EQ(std::vector<double>({placed.x, placed.y, placed.angle}), std::vector<double>({5, 6, 30}));
    EXPECT_TRUE(placed.block.has_value());
    EXPECT_EQ(SpcGeometry(), (std::vector<std::vector<std::string>>{{Name("macro", part->macro)}}));

    // Velmar gives no spc object: the part stays, and the caller is not told of a failure.
    Open();
    Spc().RefuseAdd(2);
    auto kept = MakePart();
    EXPECT_NO_THROW(kept->PlaceAt(5, 6, 30));
    EXPECT_EQ(Macros(), std::vector<long>{kept->macro});
    EXPECT_NE(log_.Text().find(L"CantCreateSpcObj"), std::wstring::npos);

    // A part that fails on its way leaves nothing a caller trying again would find twice.
    Open();
    velmar().Faults().FailMember("drawing5.136", E_FAIL, 1);
    auto failed = MakePart();
    EXPECT_EQ(sim::CaughtHostError([&] { failed->PlaceAt(5, 6, 30); }).Error(), E_FAIL);
    EXPECT_EQ(failed->macro, 0);
    EXPECT_EQ(Drawing().Objects(), std::vector<long>{});

    // A part that draws nothing is not placed: the caller is told, and nothing of it stays.
    Open();
    WriteFileBytes(folder_ / L"nut.vbs", kEmptyScript);
    auto empty = MakePart();
    EXPECT_THROW(empty->PlaceAt(5, 6, 30), _bstr_t);
    EXPECT_EQ(empty->macro, 0);
    EXPECT_EQ(Drawing().Objects(), std::vector<long>{});
    EXPECT_EQ(SpcGeometry(), (std::vector<std::vector<std::string>>{}));

    // In spc mode only the spc object is made, whatever the part draws.
    Open();
    auto spcOnly = MakePart(true, {}, 0, true);
    spcOnly->PlaceAt(5, 6, 30);
    EXPECT_EQ(Drawing().Objects(), std::vector<long>{});
    EXPECT_EQ(SpcGeometry(), (std::vector<std::vector<std::string>>{{}}));
}

TEST_F(Insert2D, AFailedCallOfAnInsertionLeavesTheEarlierPartAsItWasAndTheNewOneWholeOrGone)
{
    long earlier = 0;
    Snapshot before;
    SweepDrawingFailures(
        [&] {
            Restart();
            earlier = PlaceNut();
            before = Take(earlier);
            auto part = std::shared_ptr<NMVelObj2D>(MakePart());
            Place(L"cursor 200 50 0; ok", L"230,80");
            velmar().User().Answer("panel", _variant_t(L"cancel"));
            return [part] { part->Apply(); };
        },
        [&](const sim::Call& failed) {
            SCOPED_TRACE(failed.Text());
            const std::vector<long> macros = Macros();
            ASSERT_FALSE(macros.empty());
            EXPECT_EQ(macros[0], earlier);
            Snapshot now = Take(earlier);
            EXPECT_EQ(now.block, before.block);
            EXPECT_EQ(now.types, before.types);
            EXPECT_EQ(now.leaders.at(0), before.leaders.at(0));
            EXPECT_EQ(now.spc.at(0), before.spc.at(0));
            if (macros.size() == 1) {
                EXPECT_EQ(now.leaders.size(), 1u);
                EXPECT_EQ(now.spc.size(), 1u);
            } else {
                ASSERT_EQ(macros.size(), 2u);
                ASSERT_EQ(now.leaders.size(), 2u);
                EXPECT_TRUE(Drawing().Find(macros[1])->block.has_value());
                EXPECT_EQ(now.spc.at(1), (std::vector<std::string>{Name("macro", macros[1]), Name("leader", now.leaders[1])}));
            }
            // The highlight is taken off unless taking it off was the call that failed.
            for (long object : Drawing().Objects())
                EXPECT_TRUE(!Drawing().Find(object)->highlighted || failed.Key() == "drawing5.38");
        });
}

// The nut as the user meets it: placed without a leader, its line commented, a line of the user's attached
// beside it. Whatever fails, neither line loses what the user wrote on it.
TEST_F(Insert2D, AFailedCallOfAReplacementBeforeTheNewDrawingIsInTheMacroLeavesTheOldPart)
{
    long macro = 0;
    Snapshot before;
    SweepDrawingFailures(
        [&] {
            Restart();
            auto nut = MakePart();
            velmar().User().Answer("panel", _variant_t(L"choose 9145 2; cursor 100 50 0; ok"));
            velmar().User().Answer("panel", _variant_t(L"cancel"));
            nut->Apply();
            macro = Macros().back();
            Spc().Objects().at(0)->AddComment("own");
            sim::SpcObject& byHand = Spc().AddObject(25);
            byHand.Link(*velmar().Drawings().DrawingObject(macro));
            byHand.ColumnA(5, 1)->SetText(L"Прокладка");
            byHand.AddComment("by hand");
            before = Take(macro);
            auto washer = std::shared_ptr<NMVelObj2D>(MakePart<NMVelmarFragment2D>(true, {}, macro));
            return [washer] { washer->Apply(); };
        },
        [&](const sim::Call& failed) {
            SCOPED_TRACE(failed.Text());
            const auto& calls = journal().Calls();
            const bool filled = std::any_of(calls.begin(), calls.end(), [](const sim::Call& call) {
                return call.Key() == "drawing5.14" && call.result == S_OK;
            });
            if (!filled) {
                EXPECT_EQ(Take(macro), before);
            }
            EXPECT_EQ(Macros(), std::vector<long>{macro});
            size_t hand = 0;
            std::vector<std::string> comments;
            for (sim::SpcObject* line : Spc().Objects()) {
                if (line->ColumnA(5, 1)->Text() == L"Прокладка") {
                    ++hand;
                    EXPECT_EQ(line->Comments(), std::vector<std::string>{"by hand"});
                } else {
                    for (const std::string& comment : line->Comments())
                        comments.push_back(comment);
                }
            }
            EXPECT_EQ(hand, 1u);
            EXPECT_EQ(comments, std::vector<std::string>{"own"});
        });
}
