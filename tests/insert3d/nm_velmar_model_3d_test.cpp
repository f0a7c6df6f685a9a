// Component insertion run as the user runs it: command 1 through the catch-all, the reference book's
// choice, the part panel's scripted runs, and the assembly read back afterwards; the model object's own
// operations where no command reaches them.
#include "insertion_stand_in.h"

#include "core/files.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "objects/spc_stand_in.h"
#include "sim/text_file.h"

#include <gmock/gmock.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <optional>

using namespace insertion_test;
using testing::ElementsAre;

namespace {

const Lines kBoltDescribed = {
    "\"Болт М10х50\", model \"<models>\\Bolt.vlm\"",
    "parameters: d=10, L=50, P=1.5",
    "mass 41.2, material \"Сталь 35\"",
    "placement: as placed in panel run 1",
    "mate: kind 0, direction 1, value 0: top and Plane",
    "mate: kind 4, direction 0, value 0: bore and Axis",
    "spc object: section 25, 5.1 \"Болт М10х50\"",
};

class ComponentInsertion : public InsertionStandIn {
protected:
    Lines Describe(size_t index)
    {
        Lines lines = Described(index);
        for (std::string& line : lines)
            line = Named(line);
        return lines;
    }
    // Runs `act` when the panel's nth run (from 1) starts.
    void OnPanelRun(size_t n, std::function<void()> act)
    {
        velmar().Panels().OnLog = [this, n, act, runs = size_t(0)](const std::string& line) mutable {
            if (line.rfind("run 3D", 0) == 0 && ++runs == n)
                act();
        };
    }
    sim::Component& NewPart(size_t index) { return assembly().NewParts().at(index); }
};

} // namespace

TEST_F(ComponentInsertion, OneCopyIsPlacedWithItsParametersMassMaterialMatesAndSpcObjectInThisOrder)
{
    Choose(Bolt(), {kPlaceOnTop, L"cancel"});
    const Outcome outcome = Insert();
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    ASSERT_EQ(assembly().Components().size(), 1u);
    EXPECT_EQ(Describe(0), kBoltDescribed);
    EXPECT_EQ(velmar().UserParams().BlockOf(*NewPart(0).part)->items.at(9).wide, L"PART:BOLT[M10]");

    ExpectJournalAsIn(__FILE__, "one_copy.journal");
}

TEST_F(ComponentInsertion, EveryAcceptedCopyIsAComponentWithItsSpcObjectAndPositionLeader)
{
    SetSetting(L"PosLeader3D", 1);
    Choose(Bolt(), {kPlaceOnTop, kPlaceOnTop, kPlaceOnTop, L"cancel"});
    EXPECT_FALSE(Insert().dialog);
    ASSERT_EQ(assembly().Components().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        Lines expected = kBoltDescribed;
        expected[3] = "placement: as placed in panel run " + std::to_string(i + 1);
        EXPECT_EQ(Describe(i), expected);
        EXPECT_EQ(NewPart(i).part->Leaders().size(), 1u);
    }
    EXPECT_EQ(document().Spc().Objects().size(), 3u);
    EXPECT_EQ(document().ObjectsEdited(), (std::vector<long>{1001, 1002, 1003}));
    // The fourth part was made for the cancelled run and never placed.
    EXPECT_EQ(assembly().NewParts().size(), 4u);
    EXPECT_EQ(journal().Count("comp45.51(89,0)"), 0u);
    EXPECT_EQ(journal().Count("app5.24()"), 4u + 3u + 3u) << "before each panel, each spc object edited, each leader";
}

TEST_F(ComponentInsertion, ACancelledFirstPanelLeavesNothingAndThePartsLookAsBefore)
{
    Choose(Bolt(), {L"pick top; cancel"});
    const Outcome outcome = Insert();
    EXPECT_FALSE(outcome.dialog);
    EXPECT_TRUE(assembly().Components().empty());
    EXPECT_TRUE(document().Spc().Objects().empty());
    EXPECT_TRUE(world().geometry.Mates().empty());
    sim::Part& part = *NewPart(0).part;
    EXPECT_EQ(part.V5().Long(IVel5Part::PhantomLook), 7);
    EXPECT_EQ(part.ColorParam().Double(IVel5ColorParam::PhantomShade), 1.0);
    EXPECT_EQ(journal().Count("comp15.12()"), 2u);
    EXPECT_TRUE(document().V7().Bool(67));
    EXPECT_FALSE(document().V7().Bool(69));
    EXPECT_TRUE(document().V5().Bool(IVel5Document3D::UndoRecording));
}

TEST_F(ComponentInsertion, TheModelTakesTheParametersOnlyWhenEveryOneIsANumber)
{
    struct Row {
        const wchar_t* length;
        const wchar_t* message;   // empty: placed
        double d;                  // the phantom's variables afterwards; 0: no phantom was made
        double L;
        const wchar_t* section = L"25";   // the bill-of-materials section of the answer
        const wchar_t* mass = L"0,0412";
        bool cut = false;                 // the answer stops midway
    };
    const Row rows[] = {
        {L"12,5", L"", 10, 12.5},
        {L"NULL_VALUE", L"", 10, 40},
        // d comes first and is a number, yet nothing is written when L is not.
        {L"abc", L"Wrong parameter \"L\": abc", 8, 40},
        // A damaged answer is refused before anything is placed.
        {L"12,5", L"Данные об изделии некорректны (StrToInt64(abc) invalid argument).", 0, 0, L"abc"},
        {L"12,5", L"Данные об изделии некорректны (StrToDouble(abc) invalid argument).", 0, 0, L"25", L"abc"},
        // A mass no part can have: below zero, or infinite once scaled to kilograms; zero is one.
        {L"12,5", L"", 10, 12.5, L"25", L"0"},
        {L"12,5", L"", 10, 12.5, L"25", L"-0"},
        {L"12,5", L"Данные об изделии некорректны (Wrong mass \"-0,0412\").", 0, 0, L"25", L"-0,0412"},
        {L"12,5", L"Данные об изделии некорректны (Wrong mass \"5e306\").", 0, 0, L"25", L"5e306"},
        {L"12,5", L"Данные об изделии некорректны (Start-end tags mismatch).", 0, 0, L"25", L"0,0412", true},
    };
    for (const Row& row : rows) {
        Restart();
        std::wstring answer = Bolt({{L"d", L"10"}, {L"L", row.length}}, {{L"MACC", row.mass}, {L"spcSection", row.section}});
        if (row.cut)
            answer.resize(answer.size() / 2);
        Choose(answer, *row.message ? std::vector<std::wstring>{} : std::vector<std::wstring>{kPlaceOnTop, L"cancel"});
        const Outcome outcome = Insert();
        EXPECT_EQ(outcome.message, row.message) << sim::Utf8(row.length);
        EXPECT_EQ(outcome.dialog, *row.message != L'\0');
        if (row.d == 0) {
            EXPECT_TRUE(assembly().NewParts().empty()) << sim::Utf8(row.section);
        } else {
            EXPECT_EQ(NewPart(0).Variable(L"d"), row.d) << sim::Utf8(row.length);
            EXPECT_EQ(NewPart(0).Variable(L"L"), row.L) << sim::Utf8(row.length);
            EXPECT_EQ(NewPart(0).Variable(L"P"), 1.25) << "a variable the parameters do not name keeps its value";
        }
        EXPECT_EQ(assembly().Components().size(), *row.message ? 0u : 1u);
    }
}

TEST_F(ComponentInsertion, TheModelFileIsTheFolderAndTheBodyJoinedAsTheyAreAndMustBeThere)
{
    // A folder given without its final separator names another file, which is not there.
    std::wstring response = Bolt();
    const std::wstring folder = models_.Path().substr(0, models_.Path().size() - 1);
    response.replace(response.find(models_.Path()), models_.Path().size(), folder);
    Choose(response, {});
    const Outcome outcome = Insert();
    EXPECT_TRUE(outcome.dialog);
    EXPECT_EQ(outcome.message, L"Данные об изделии некорректны (File \"" + folder + L"Bolt.vlm\" not exists).");
    EXPECT_TRUE(assembly().NewParts().empty());
}

TEST_F(ComponentInsertion, TheMassIsScaledToKilogramsOnlyWhereVelmarCountsInThem)
{
    struct Row {
        const wchar_t* mass;
        long unitFlag;
        double written;   // the model's own 0.01 when none is written
    };
    for (const Row& row : {Row{L"0,35", 0, 350.0}, Row{L"0,35", 1, 0.35}, Row{L"-0", 0, 0.0}, Row{L"NULL_VALUE", 0, 0.01},
                           Row{L"", 0, 0.01}}) {
        Restart();
        assembly().massUnitFlag = row.unitFlag;
        Choose(Bolt(BoltSizes(), {{L"MACC", row.mass}}), {kPlaceOnTop, L"cancel"});
        EXPECT_FALSE(Insert().dialog);
        EXPECT_DOUBLE_EQ(NewPart(0).mass, row.written) << sim::Utf8(row.mass) << " " << row.unitFlag;
        EXPECT_FALSE(std::signbit(NewPart(0).mass)) << sim::Utf8(row.mass) << ": a zero is stored as zero";
        EXPECT_EQ(NewPart(0).setting21, Variables::IsNullValue(row.mass) ? 0 : 1);
        EXPECT_EQ(NewPart(0).material, L"Сталь 10") << "no material given: the model's stays";
    }
}

TEST_F(ComponentInsertion, TheSettingsAndTheAssemblyDecideWhatTheCopyGetsBesideItsGeometry)
{
    struct Row {
        const char* name;
        std::function<void()> setUp;
        bool block;       // the identity block
        bool spcObject;
        bool edited;      // the spc object opened for editing
    };
    const Row rows[] = {
        {"defaults", [] {}, true, true, true},
        {"debug mode", [] { SetSetting(L"debug_mode", 1); }, false, true, true},
        {"no spc objects", [] { SetSetting(L"CreateSpcObject", 0); }, true, false, false},
        {"spc objects not edited", [] { SetSetting(L"EditSpcObject", 0); }, true, true, false},
        // The bill of materials of an assembly edited in place is not this document's to fill.
        {"edited in place", [this] { world().geometry.topPart->V5().Value(IVel5Part::EditedInPlace) = true; }, true, false, false},
        {"parts outside the bill of materials", [this] { assembly().partsInSpc = false; }, true, false, false},
    };
    for (const Row& row : rows) {
        Restart();
        row.setUp();
        Choose(Bolt(), {kPlaceOnTop, L"cancel"});
        EXPECT_FALSE(Insert().dialog) << row.name;
        ASSERT_EQ(assembly().Components().size(), 1u) << row.name;
        EXPECT_EQ(velmar().UserParams().BlockOf(*NewPart(0).part).has_value(), row.block) << row.name;
        EXPECT_EQ(document().Spc().Objects().size(), row.spcObject ? 1u : 0u) << row.name;
        EXPECT_EQ(document().ObjectsEdited().size(), row.edited ? 1u : 0u) << row.name;
    }
}

TEST_F(ComponentInsertion, ASpcObjectVelmarRefusesIsReportedAndTheNextCopyIsStillMade)
{
    OnPanelRun(2, [this] { document().Spc().RefuseAdd(2); });
    Choose(Bolt(), {kPlaceOnTop, kPlaceOnTop, kPlaceOnTop, L"cancel"});
    EXPECT_FALSE(Insert().dialog);
    EXPECT_EQ(assembly().Components().size(), 3u);
    EXPECT_EQ(VelmarMessages(), (std::vector<std::wstring>{L"Не удалось создать объект спецификации."}));
    ASSERT_EQ(document().Spc().Objects().size(), 2u);
    EXPECT_EQ(assembly().SpcObjectsOf(*assembly().Components().at(1)).size(), 0u);
    EXPECT_EQ(assembly().SpcObjectsOf(*assembly().Components().at(2)).size(), 1u);
}

TEST_F(ComponentInsertion, ACopyWhoseMatesFailIsTakenOutWhileTheEarlierOnesStay)
{
    OnPanelRun(2, [this] { velmar().Faults().FailMember("asm5.27", E_FAIL, 1); });
    Choose(Bolt(), {kPlaceOnTop, kPlaceOnTop});
    const Outcome outcome = Insert();
    EXPECT_TRUE(outcome.dialog);
    EXPECT_EQ(outcome.title, L"Ошибка COM");
    ASSERT_EQ(assembly().Components().size(), 1u);
    EXPECT_EQ(assembly().Components().at(0), &NewPart(0));
    EXPECT_TRUE(NewPart(1).deleted);
    EXPECT_EQ(world().geometry.Mates().size(), 2u);
    // Taken out inside the copy's own undo step.
    const Lines calls = journal().Lines();
    const auto removed = std::find(calls.begin(), calls.end(), "asm5.43(comp25)");
    ASSERT_NE(removed, calls.end());
    EXPECT_EQ(std::find(removed, calls.end(), "asm7#69(0)") - removed, 1);

    // Velmar keeping the copy says so in the trace; the failure reported is still the mates'.
    Restart();
    OnPanelRun(2, [this] { velmar().Faults().FailMember("asm5.27", E_FAIL, 1); });
    document().RefuseDeletion([](IUnknown* object) { return sim::Object::From(object)->Name() == "comp25"; });
    Choose(Bolt(), {kPlaceOnTop, kPlaceOnTop});
    EXPECT_EQ(Insert().title, L"Ошибка COM");
    document().RefuseDeletion(nullptr);
    EXPECT_FALSE(NewPart(1).deleted);
    EXPECT_THAT(trace, testing::HasSubstr(L"Velmar did not delete the new component"));
}

TEST_F(ComponentInsertion, ABillOfMaterialsShownByTheAssemblyGetsOnlyTheSpcObject)
{
    document().V5().Value(IVel5Document3D::ViewMode) = 2L;
    Choose(Bolt(), {});
    EXPECT_FALSE(Insert().dialog);
    EXPECT_TRUE(assembly().NewParts().empty());
    EXPECT_EQ(velmar().Panels().Runs(), 0u);
    ASSERT_EQ(document().Spc().Objects().size(), 1u);
    EXPECT_TRUE(document().Spc().Objects().at(0)->linked.empty());
}

// One whole insertion with every host call of the library's own failing in turn (the part panel's
// controls have their own sweep): a run ends in the catch-all or, where a refused spc object is only
// reported, normally. Afterwards the assembly has no new component or one complete one, the undo
// switches and the phantom's look are as before, and nothing of Velmar is held.
TEST_F(ComponentInsertion, EveryHostFailureLeavesNoComponentOrOneCompleteOne)
{
    ScratchFolder system;
    WriteFileBytes(system / L"bo_atr.lat", "attributes");
    std::optional<int> fresh;
    auto insert = [&](std::optional<size_t> failing) {
        Restart();
        if (!fresh)
            fresh = sim::Object::Live();
        EXPECT_EQ(sim::Object::Live(), *fresh) << "references kept after the run before";
        velmar().SetSystemFolder(system.Path().substr(0, system.Path().size() - 1));
        Choose(Bolt(BoltSizes(), {{L"MACC", L"0,0412"}, {L"ExtObjectName", L"Сталь 35"}, {L"Handle", L"17"}}), {kPlaceOnTop, L"cancel"});
        journal().Clear();
        if (failing)
            velmar().Faults().FailCall(*failing + 1, E_FAIL);
        const Outcome outcome = Insert();
        velmar().Faults().Clear();
        velmar().User().Clear();
        return outcome;
    };
    EXPECT_FALSE(insert(std::nullopt).dialog);
    ASSERT_EQ(assembly().Components().size(), 1u);
    std::vector<std::pair<size_t, std::string>> targets;
    for (size_t i = 0; i < journal().Calls().size(); ++i)
        if (!IsPanelControl(journal().Calls()[i].object))
            targets.emplace_back(i, journal().Calls()[i].Text());
    ASSERT_GT(targets.size(), 300u);
    for (const auto& [index, call] : targets) {
        const Outcome outcome = insert(index);
        ASSERT_GT(journal().Calls().size(), index);
        const sim::Call& failed = journal().Calls()[index];
        ASSERT_EQ(failed.result, E_FAIL) << call;
        // A restoring call that fails is traced and the rest restored: only what it restores stays off.
        auto restoring = [&](const std::string& restore) { return call == restore; };
        const std::vector<sim::Component*> placed = assembly().Components();
        EXPECT_TRUE(!outcome.dialog || !outcome.title.empty()) << call;
        ASSERT_LE(placed.size(), 1u) << call;
        if (!placed.empty()) {
            const sim::Component& component = *placed.front();
            EXPECT_EQ(component.Variable(L"L"), 50) << call;
            EXPECT_DOUBLE_EQ(component.mass, 41.2) << call;
            EXPECT_TRUE(velmar().UserParams().BlockOf(*component.part).has_value()) << call;
            EXPECT_TRUE(component.part->V5().Has(sim::Part::kPlacement)) << call;
            EXPECT_EQ(assembly().MatesOf(component).size(), 2u) << call;
        }
        EXPECT_TRUE(document().V7().Bool(67) || restoring("asm7#67(-1)")) << call;
        EXPECT_TRUE(!document().V7().Bool(69) || restoring("asm7#69(0)")) << call;
        EXPECT_TRUE(document().V5().Bool(IVel5Document3D::UndoRecording) || restoring("asm5.70=true")) << call;
        for (sim::Component& made : assembly().NewParts())
            EXPECT_TRUE(made.part->V5().Long(IVel5Part::PhantomLook) == 7 || restoring(made.part->V5().Name() + ".38=7")) << call;
        EXPECT_EQ(VelBasePanel::Current(), nullptr) << call;
    }
}

TEST_F(ComponentInsertion, ABoundModelWorksOnTheComponentItTookOverAndOnNothingElse)
{
    Choose(Bolt(), {kPlaceOnTop, L"cancel"});
    Insert();
    TraceLog log(L"test", false);
    const auto app5 = velmar().App5().As<IVel5Application>();
    const auto app7 = velmar().App7().As<IVel7Application>();
    NMVelmarModel3D found(app5, app7, nullptr, NewPart(0).part->V5().As<IVel5Part>(), false, nullptr);
    found.ExSpcObjs.push_back(document().Spc().Objects().at(0)->Obj().Ptr());
    for (const wchar_t* body : {L"Bolt.vlm", L"Screw.vlm"}) {
        NMVelmarModel3D model(app5, app7, nullptr, nullptr, false, nullptr);
        model.NM_Body = body;
        model.BindTo(&found);
        EXPECT_EQ(model.state, *body == L'B' ? NMObject::StateEdit : NMObject::StateReplace);
        EXPECT_TRUE(model.iEdPrt5 == found.iPrt5.GetInterfacePtr());
        EXPECT_TRUE(model.iEdPrt7 == found.iPrt7.GetInterfacePtr() && model.iEdPrt7);
        EXPECT_EQ(model.ExSpcObjs.size(), 1u);
    }
    NMVelObjModel3D plain(app5, app7, nullptr, nullptr, false);
    NMVelmarModel3D model(app5, app7, nullptr, nullptr, false, nullptr);
    EXPECT_EQ(sim::CaughtHostError([&] { model.BindTo(&plain); }).Error(), E_INVALIDARG);
    EXPECT_FALSE(model.iEdPrt5);

    // What the spc code asks of the component: its spc objects, a position number, a selection.
    const std::unique_ptr<NMObject> based = found.CreateOnBase();
    auto& rebuilt = dynamic_cast<NMVelmarModel3D&>(*based);
    SpcDocContext context;
    context.iApp5 = app5;
    context.iApp7 = app7;
    context.Refresh(false);
    rebuilt.GetExistsSpcObjects(context);
    ASSERT_EQ(rebuilt.ExSpcObjs.size(), 1u);
    EXPECT_EQ(sim::Object::From(rebuilt.ExSpcObjs.at(0)), &document().Spc().Objects().at(0)->Obj());
    rebuilt.RestorePosition(7);
    EXPECT_EQ(document().PositionsSet(), std::vector<long>{7});
    rebuilt.Select();
    ASSERT_EQ(document().Highlighted(0).size(), 1u);
    EXPECT_TRUE(SameHostObject(document().Highlighted(0).at(0), NewPart(0).part->V5().Ptr()));
}

TEST_F(ComponentInsertion, TheMaterialIdentifierReplacesTheOldOneOnlyOnceTheNewOneCanBeMade)
{
    struct Row {
        bool library;       // "bo_atr.lat" in Velmar's system folder
        bool refused;       // the new attribute refuses its values
        bool notMade;       // Velmar makes no attribute of them
        Lines kept;         // the part's material identifiers afterwards
    };
    const Row rows[] = {{true, false, false, {"4711"}}, {true, true, false, {"1204"}}, {false, false, false, {"1204"}},
                        {true, false, true, {"1204"}}};
    for (const Row& row : rows) {
        Restart();
        ScratchFolder system;
        velmar().SetSystemFolder(system.Path().substr(0, system.Path().size() - 1));
        if (row.library)
            WriteFileBytes(system / L"bo_atr.lat", "attributes");
        sim::Part& part = velmar().AddPart("old");
        velmar().Attributes().Of(part.Bridge()).push_back({232089080430.0, L"", {}, {L"1204"}, velmar().NewObject("oldId")});
        velmar().Attributes().RefuseValues(row.refused ? 1 : 0);
        velmar().Attributes().RefuseCreation(row.notMade ? 1 : 0);
        TraceLog log(L"test", false);
        NMVelmarModel3D model(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), nullptr,
                              nullptr, false, nullptr);
        spc_test::LoadPart(model, {{L"Handle", L"4711"}});
        model.iPrt5 = part.V5().As<IVel5Part>();
        model.SetMaterialID();
        Lines kept;
        for (const sim::Attribute& attribute : velmar().Attributes().Of(part.Bridge()))
            kept.push_back(sim::Utf8(attribute.values.at(0)));
        EXPECT_EQ(kept, row.kept) << row.library << row.refused << row.notMade;
    }
}
