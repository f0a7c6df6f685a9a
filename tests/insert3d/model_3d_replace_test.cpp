// A placed component edited and replaced as the user does it: the component selected, command 1, the
// reference book's new choice; and what the component had in the assembly read back from the stand-in:
// its placement, mates, layer, colours, leaders, patterns with their instances, owning macro and spc
// object. Every host call of a replace failing in turn leaves the old component or the new one, whole.
#include "insertion_stand_in.h"

#include "insert3d/nm_velmar_model_3d.h"
#include "sim/leader_model.h"
#include "sim/macro_elements.h"
#include "sim/pattern_model.h"
#include "support/host_fault_sweep.h"

#include <gmock/gmock.h>

using namespace insertion_test;

namespace {

const wchar_t kOldModel[] = L"file Bolt.vlm\nvariable d 8\nvariable L 40\nplane Plane\naxis Axis\ncylinder Shank 5 40\n"
                            L"lcs lcs1\nbox 0 0 0 10 10 40\nmass 0.01\nmaterial Сталь 10\n";
const wchar_t kNewModel[] = L"file Screw.vlm\nvariable d 8\nvariable L 30\nplane Plane\naxis Axis\ncylinder Shank 4 30\n"
                            L"lcs lcs1\nbox 0 0 0 8 8 30\nmass 0.01\nmaterial Сталь 10\n";

// Countersunk screws: an attach point with its cone, the second of another length.
const wchar_t kCountersunk[] = L"file Csk.vlm\nvariable L 30\nattach\ncone 2.5\nplane Plane\naxis Axis\naxis AxisD\n";
const wchar_t kLongerCountersunk[] = L"file Csk40.vlm\nvariable L 40\nattach\ncone 2.5\nplane Plane\naxis Axis\n";
// A screw placed by its planes and axes alone.
const wchar_t kPlainScrew[] = L"file Plain.vlm\nvariable L 30\nplane Plane\naxis Axis\naxis AxisD\n";

class ComponentReplace : public InsertionStandIn {
protected:
    ComponentReplace() { Start(); }
    void TearDown() override
    {
        Stop();
        InsertionStandIn::TearDown();
    }
    void Stop()
    {
        macros_.reset();
        patterns_.reset();
        leaders_.reset();
    }
    void Start(sim::HostVersion version = {15, 0, 1, 0})
    {
        Stop();
        Restart(version);
        world().catalogue.Add(sim::ParseModel(kOldModel));
        world().catalogue.Add(sim::ParseModel(kNewModel));
        WriteFileBytes(models_ / L"Screw.vlm", "another model file");
        for (const wchar_t* model : {kCountersunk, kLongerCountersunk, kPlainScrew}) {
            const sim::ModelDescription description = sim::ParseModel(model);
            world().catalogue.Add(description);
            WriteFileBytes(models_ / description.file, "a countersunk screw");
        }
        leaders_ = std::make_unique<sim::Leaders>(velmar(), document());
        patterns_ = std::make_unique<sim::Patterns>(velmar(), document());
        macros_ = std::make_unique<sim::MacroElements>(velmar(), world().geometry, document(), *world().geometry.topPart);
    }

    // The bolt as the library places it (with its leader and spc object), then what the user made of it:
    // a layer and colours, a note on its spc object, a second leader on it and on the bore, a leader on
    // the bore alone, two patterns (the second of two sources) with instances mated at their coordinate
    // systems, an owning macro.
    sim::Component& Place()
    {
        SetSetting(L"PosLeader3D", 1);
        Choose(Bolt(), {kPlaceOnTop, L"cancel"});
        Insert();
        sim::Component& bolt = *assembly().Components().at(0);
        sim::Part& part = *bolt.part;
        part.V7().Value(sim::Part::kLayer) = 5L;
        part.V5().Value(IVel5Part::PhantomLook) = 3L;
        part.V5().Value(sim::Part::kColour) = 255L;
        for (int i = 1; i <= 6; ++i)
            part.V5().Value(sim::Part::kColour - i) = 0.1 * i;
        assembly().SpcObjectsOf(bolt).at(0)->AddComment("note");
        sim::GeoEntity& shank = Face("comp1Shank");
        sim::Leader& twoParts = leaders_->Add(86);
        leaders_->Anchor(twoParts, shank.V7().Ptr(), {5, 0, 0});
        leaders_->Anchor(twoParts, Face("bore").V7().Ptr(), {0, 0, 0});
        leaders_->Fill(twoParts, "two");
        leaders_->Anchor(leaders_->Add(90), Face("bore").V7().Ptr(), {0, 0, 0});
        // The second pattern copies the bolt and a nut: the rewrite appends the new part after the nut.
        sim::Part& nut = velmar().AddPart("nut");
        nut_ = &nut;
        for (const auto& [name, sources] : {std::pair{"array1", std::vector<IDispatchPtr>{part.V7().Ptr()}},
                                            std::pair{"array2", std::vector<IDispatchPtr>{part.V7().Ptr(), nut.V7().Ptr()}}}) {
            sim::Pattern& pattern = patterns_->Add(name, sources);
            patterns_->AddInstances(pattern, 2, 1, [this](long, long, size_t, IDispatch*) { return &Copy(); });
        }
        // The copies Velmar makes of a new source are not mated yet.
        matedCopies_ = false;
        sim::GeoEntity& owner = macros_->Make();
        owner.inner.push_back(&part.Feature());
        part.PlaceIn(owner.Feature());
        assembly().selected = &part;
        return bolt;
    }
    // A copy a pattern instance holds; the first ones are mated to the side face at their coordinate system.
    sim::Part& Copy()
    {
        const std::string name = "copy" + std::to_string(++copies_);
        sim::Part& copy = velmar().AddPart(name);
        sim::GeoEntity& lcs = sim::ModelGeometry(velmar(), world().geometry, copy, name).Lcs("lcs1");
        if (matedCopies_)
            world().geometry.DocumentMates().AddExisting(0, 1, 1, 0.0, Face("side").V5().Ptr(),
                                                        world().geometry.EntityOf(lcs.items.at(71)->Primary())->V5().Ptr());
        return copy;
    }
    sim::GeoEntity& Face(const std::string& name)
    {
        for (sim::Part* part : {world().geometry.topPart})
            for (sim::GeoEntity* face : world().geometry.Shape(*part).faces)
                if (face->Name() == name)
                    return *face;
        for (sim::Component* component : assembly().Components())
            for (sim::GeoEntity* face : world().geometry.Shape(*component->part).faces)
                if (face->Name() == name)
                    return *face;
        throw std::runtime_error("no face " + name);
    }

    // The screw with its spc section, or without one.
    std::wstring Screw(const wchar_t* body = L"Screw.vlm", bool spcSection = true)
    {
        using namespace response_xml;
        std::vector<Attr> external = {{L"Designation", L"Винт М8х30"}, {L"Quarvend_IID", L"1204:9001"}};
        if (spcSection)
            external.insert(external.end(), {{L"spcSection", L"25"}, {L"spcSubSection", L"0"}, {L"spcNestedBlock", L"0"},
                                             {L"spcNestedSection", L"0"}, {L"spcAdditionalBlock", L"0"},
                                             {L"spcColumns", L"5.1=Designation"}});
        return Response(Object(L"MethodParameters", {{L"d", L"8"}, {L"L", L"30"}}) +
                        Object(L"Method", {{L"NM_IID", L"PART:SCREW[M8]"}, {L"URL", models_.Path()}, {L"MethodBody", body}}) +
                        Object(L"ExternalParameters", external));
    }

    // The document's mates, named.
    Lines Mates()
    {
        Lines lines;
        for (const sim::MateRecord& mate : world().geometry.Mates()) {
            const sim::GeoEntity* first = world().geometry.EntityOf(mate.first);
            const sim::GeoEntity* second = world().geometry.EntityOf(mate.second);
            lines.push_back("mate " + std::to_string(mate.kind) + " " + (first ? first->Name() : "?") + " " + (second ? second->Name() : "?"));
        }
        return lines;
    }
    // Everything of the document a replace may touch, named.
    Lines State()
    {
        Lines lines;
        for (sim::Component* component : assembly().Components()) {
            for (const std::string& line : assembly().Describe(*component))
                lines.push_back(Named(line));
            sim::Part& part = *component->part;
            lines.push_back("layer " + sim::RenderVariant(part.V7().Value(sim::Part::kLayer)) + ", look " +
                            std::to_string(part.V5().Long(IVel5Part::PhantomLook)) + ", colour " +
                            std::to_string(part.V5().Long(sim::Part::kColour)));
        }
        for (sim::Leader* leader : leaders_->Live())
            lines.push_back(leaders_->Describe(*leader));
        for (sim::Pattern* pattern : {&Pattern(0), &Pattern(1)}) {
            std::string line = pattern->name + ":";
            for (const std::string& source : sim::Patterns::SourceNames(*pattern))
                line += " " + source;
            for (const sim::PatternInstance& instance : pattern->instances)
                for (sim::Part* copy : instance.copies)
                    line += " " + copy->V5().Name();
            lines.push_back(line);
        }
        for (sim::GeoEntity* macro : macros_->Live())
            lines.push_back(macros_->Describe(*macro));
        for (sim::SpcObject* object : document().Spc().Objects()) {
            std::string line = object->Name() + " comments:";
            for (const std::string& comment : object->Comments())
                line += " " + comment;
            lines.push_back(line);
        }
        for (const std::string& mate : Mates())
            lines.push_back(mate);
        return lines;
    }
    // The live position leaders, those that number a line.
    size_t PositionLeaders()
    {
        const std::vector<sim::Leader*> live = leaders_->Live();
        return static_cast<size_t>(std::count_if(live.begin(), live.end(), [](const sim::Leader* leader) { return leader->code == 89; }));
    }
    sim::Pattern& Pattern(size_t index)
    {
        return *patterns_->Find(index == 0 ? "array1" : "array2");
    }

    std::unique_ptr<sim::Leaders> leaders_;
    std::unique_ptr<sim::Patterns> patterns_;
    std::unique_ptr<sim::MacroElements> macros_;
    int copies_ = 0;
    bool matedCopies_ = true;
    sim::Part* nut_ = nullptr;
    NMAllSettings settings_;
};

} // namespace

TEST_F(ComponentReplace, TheNewComponentTakesThePlacementMatesLayerColoursLeadersPatternsMacroAndSpcObjectOfTheOld)
{
    sim::Component& bolt = Place();
    Choose(Screw(), {});
    journal().Clear();
    const Outcome outcome = Insert();
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    ExpectJournalAsIn(__FILE__, "replace.journal");

    EXPECT_TRUE(bolt.deleted);
    ASSERT_EQ(assembly().Components().size(), 1u);
    sim::Component& screw = *assembly().Components().at(0);
    EXPECT_EQ(State(), (Lines{
                           "\"Винт М8х30\", model \"<models>\\Screw.vlm\"",
                           "parameters: d=8, L=30",
                           "mass 0.01, material \"Сталь 10\"",
                           "placement: as placed in panel run 1",
                           "mate: kind 0, direction 1, value 0: top and Plane",
                           "mate: kind 4, direction 0, value 0: bore and Axis",
                           "spc object: section 25, 5.1 \"Винт М8х30\"",
                           "layer 5, look 3, colour 255",
                           "leader leader3, kind 90, on bore7",
                           "leader leader4, kind 89, on comp3Shank7, text \"\", text \"\"",
                           "leader leader5, kind 86, on comp3Shank7, text \"two text 3013\", text \"two text 3014\", text \"two text 3015\", "
                           "text \"two text 3016\", text \"two text 3017\"",
                           "array1: comp37 copy75 copy85",
                           // The rewrite appended the screw after the nut: the nut's copies keep their mates.
                           "array2: nut7 comp37 copy45 copy95 copy65 copy105",
                           "set macro \"macro1\": \"Винт М8х30\"",
                           "spcObj2 comments: note",
                           "mate 0 side copy4lcs1X",
                           "mate 0 side copy6lcs1X",
                           "mate 0 top comp3Plane",
                           "mate 4 bore comp3Axis",
                           "mate 0 side copy7lcs1X",
                           "mate 0 side copy8lcs1X",
                           "mate 0 side copy9lcs1X",
                           "mate 0 side copy10lcs1X",
                       }));
    EXPECT_DOUBLE_EQ(screw.part->V5().Double(sim::Part::kColour - 6), 0.6);
}

// A countersunk screw placed by its attach point or by its cone and replaced by a longer one: the new
// screw takes the mates of the same member, also those that held on to a base object of the old attach
// point rather than to the point. Edited instead, the screw's rebuild makes its cone anew, and the cone's
// mate moves to the new face. Where one of the two screws has no attach point, the new one takes the mates
// of the old one's planes and axes.
TEST_F(ComponentReplace, AnAttachPointOrItsConeTakesTheMatesOfTheOldOnes)
{
    struct Row {
        const char* name;
        const wchar_t* placement;   // the old screw's panel run
        bool onBase;                // its mate moved from the attach point to the point's base object 71
        bool planesMated;           // the user mated its Plane, Axis and AxisD too
        const wchar_t* body;        // the reference book's new choice
        Lines mates;                // the document's mates afterwards
        const wchar_t* oldBody = L"Csk.vlm";
    };
    const Row rows[] = {
        {"attach point", L"pick seatFace; ok", false, false, L"Csk40.vlm", {"mate 0 seat comp3Auto"}},
        // The cone's counterpart is the assembly's conical surface object, no entity of its own.
        {"cone", L"button 9036; pick cone; ok", false, false, L"Csk40.vlm", {"mate 0 ? comp3conical1"}},
        {"a base object of the attach point", L"pick seatFace; ok", true, false, L"Csk40.vlm", {"mate 0 seat comp3Auto"}},
        {"cone, edited", L"button 9036; pick cone; ok", false, false, L"Csk.vlm", {"mate 0 ? comp1conical2"}},
        {"planes and axes, by a screw without attach point", L"pick seatFace; ok", false, true, L"Plain.vlm",
         {"mate 0 top comp3Plane", "mate 4 bore comp3Axis", "mate 1 side comp3AxisD"}},
        {"planes and axes, by a screw with an attach point replacing one without", kPlaceOnTop, false, false, L"Csk40.vlm",
         {"mate 0 top comp3Plane", "mate 4 bore comp3Axis"}, L"Plain.vlm"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Start();
        Choose(Screw(row.oldBody), {row.placement, L"cancel"});
        ASSERT_FALSE(Insert().dialog);
        ASSERT_EQ(assembly().Components().size(), 1u);
        sim::Component& old = *assembly().Components().at(0);
        if (row.onBase) {
            ASSERT_EQ(world().geometry.Mates().size(), 1u);
            const sim::MateRecord mate = world().geometry.Mates().front();
            world().geometry.DocumentMates().RemoveIf([](const sim::MateRecord&) { return true; });
            sim::GeoEntity& attach = *world().geometry.Shape(*old.part).objects.at(68).at(0);
            world().geometry.DocumentMates().AddExisting(mate.kind, mate.direction, 1, mate.value, IDispatchPtr(mate.first),
                                                         world().geometry.EntityOf(attach.items.at(71)->Primary())->V5().Ptr());
        }
        if (row.planesMated)
            for (const auto& [kind, face, named] : {std::tuple{0, "top", "comp1Plane"}, {4, "bore", "comp1Axis"}, {1, "side", "comp1AxisD"}}) {
                const std::vector<sim::GeoEntity*>& objects = world().geometry.Shape(*old.part).objects[109];
                const auto found = std::find_if(objects.begin(), objects.end(), [&](sim::GeoEntity* object) { return object->Name() == named; });
                ASSERT_NE(found, objects.end()) << named;
                world().geometry.DocumentMates().AddExisting(static_cast<short>(kind), 1, 1, 0.0, Face(face).V5().Ptr(), (*found)->V5().Ptr());
            }
        Lines before = Mates();
        assembly().selected = old.part;
        Choose(Screw(row.body), {});
        const Outcome outcome = Insert();
        EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
        ASSERT_EQ(assembly().Components().size(), 1u);
        EXPECT_EQ(assembly().Components().at(0) == &old, row.body == std::wstring(L"Csk.vlm"));
        EXPECT_EQ(Mates(), row.mates) << "before:" << testing::PrintToString(before);
    }
}

namespace {

// A replace of the sweep below, one a test case.
struct ComponentReplaceRow {
    const char* name;
    bool spcSection;
    bool createSpcObject;   // the setting
    bool refused;           // Velmar gives no new spc object (a host that cannot reuse the old one)
    bool handLine = false;  // a line the user attached to the bolt ("Прокладка"), commented
    bool nutLine = false;   // the nut's line, which the bolt's position leader numbers as well
    bool nutsLeader = false;   // a position leader on the nut that numbers the nut's line and the bolt's
    bool handFirst = false;    // the user's line comes first among the bolt's and holds a position leader of its own
    bool idColumn = false;     // the bill of materials has the column "ID Normset"
};

void PrintTo(const ComponentReplaceRow& row, std::ostream* out)
{
    *out << row.name;
}

// The column shared out over the rows: the user's line on the bolt runs as the user meets it, without.
const ComponentReplaceRow kComponentReplaceRows[] = {
    {"a screw with its spc section", true, true, false, false, false, false, false, true},
    {"a screw without one", false, true, false},
    {"no spc objects by the settings", true, false, false, false, false, false, false, true},
    {"Velmar refusing the new line", true, true, true},
    {"a line the user attached to the bolt", true, true, false, true},
    {"a line the user attached to the bolt, listed first with a leader of its own", true, true, false, true, false, false, true, true},
    {"a line the user attached to the bolt, a screw without spc section", false, true, false, true, false, false, false, true},
    {"a screw without spc section, the bolt's leader numbering the nut's line", false, true, false, false, true},
    {"a leader on the nut numbering the nut's line and the bolt's", true, true, false, false, false, true, false, true},
};

class ComponentReplaceSweep : public ComponentReplace, public testing::WithParamInterface<ComponentReplaceRow> {};

} // namespace

// Every host call of a replace failing in turn, by a screw with its spc section, by one without, and by
// one whose new spc object Velmar refuses, over a bolt with a line the user attached, over a bolt whose
// position leader numbers the nut's line too, and over a bolt whose line a leader on the nut numbers, some
// with the "ID Normset" column: a run either reports the failure and Velmar's undo has left the
// document exactly as it was, or completes with the new component in the old one's place, the old
// component's own line carried over to it (rebuilt with its comments) or gone with the old component, the
// user's line as it was made holding the new component, never a line holding no component, and the
// position leader with it or gone with it, unless the nut's line keeps its number through it; the new line
// keeps the number of the nut's leader; a refused object is shown once. A completed run taken back by
// Velmar's undo leaves the document as it was too.
TEST_P(ComponentReplaceSweep, LeavesTheOldComponentWithEverythingOrTheNewOneInItsPlace)
{
    const ComponentReplaceRow& row = GetParam();
    const bool spcSection = row.spcSection && row.createSpcObject && !row.refused;
    Start(row.refused ? sim::HostVersion{15, 0, 0, 0} : sim::HostVersion{15, 0, 1, 0});
    if (row.idColumn)
        document().Spc().DefineColumnB({20, 1, L"ID Normset"});
    matedCopies_ = true;
    // Velmar lists a component's lines in the order they were made: one the user made first comes first.
    sim::SpcObject* hand = row.handFirst ? &document().Spc().AddObject(25) : nullptr;
    sim::Component& bolt = Place();
    if (row.handLine) {
        if (!hand)
            hand = &document().Spc().AddObject(25);
        hand->ColumnA(5, 1)->SetText(L"Прокладка");
        hand->Link(bolt.part->V7());
        hand->AddComment("hand");
    }
    sim::Leader* handsLeader = nullptr;
    if (row.handFirst) {
        handsLeader = &leaders_->Add(89);
        leaders_->Anchor(*handsLeader, Face("comp1Shank").V7().Ptr(), {5, 0, 0});
        leaders_->Fill(*handsLeader, "hand");
        hand->Link(*handsLeader->object);
        ASSERT_EQ(assembly().SpcObjectsOf(bolt).at(0), hand);
    }
    sim::SpcObject* nutLine = nullptr;
    if (row.nutLine || row.nutsLeader) {
        nutLine = &document().Spc().AddObject(25);
        nutLine->Link(nut_->V7());
    }
    if (row.nutLine)
        nutLine->Link(*leaders_->Live().at(0)->object);
    sim::Leader* nutsLeader = nullptr;
    if (row.nutsLeader) {
        nutsLeader = &leaders_->Add(89);
        leaders_->Anchor(*nutsLeader, nut_->V7().Ptr(), {0, 0, 0});
        leaders_->Fill(*nutsLeader, "nut");
        nutLine->Link(*nutsLeader->object);
        assembly().SpcObjectsOf(bolt).at(0)->Link(*nutsLeader->object);
    }
    const auto holds = [](const sim::SpcObject& line, const sim::Leader& leader) {
        return std::any_of(line.linked.begin(), line.linked.end(),
                           [&](const IDispatchPtr& linked) { return sim::Object::From(linked) == leader.object.get(); });
    };
    // The nut's line holds the live position leader on the new component.
    const auto nutNumbered = [&] {
        const std::vector<sim::Leader*> live = leaders_->Live();
        return std::any_of(live.begin(), live.end(),
                           [&](sim::Leader* leader) { return leader != nutsLeader && leader->code == 89 && holds(*nutLine, *leader); });
    };
    const Lines before = State();
    const auto app5 = velmar().App5().As<IVel5Application>();
    const auto app7 = velmar().App7().As<IVel7Application>();
    auto answer = std::make_shared<pugi::xml_document>();
    LoadXmlFromBstr(_bstr_t(Screw(L"Screw.vlm", row.spcSection).c_str()), *answer);
    const sim::ObjectRef client = book().NewProvider();
    settings_.LoadFromRegistry();
    settings_.CreateSpcObject = row.createSpcObject;
    std::unique_ptr<NMVelmarModel3D> replacing;
    bool completed = false;
    const auto start = [&] {
        TakeBackCompletedRun(completed, before, [&] { return State(); });
        velmar().User().Clear();
        document().Spc().RefuseAdd(row.refused ? 2 : 0);
        document().V5().Value(IVel5Document3D::UndoRecording) = true;
        replacing = std::make_unique<NMVelmarModel3D>(app5, app7, client->As<INMClient>(), bolt.part->V5().As<IVel5Part>(), false,
                                                      &settings_);
        replacing->loadPartData(answer->child(L"response").child(L"objectcollection"), answer);
        EXPECT_EQ(replacing->state, NMObject::StateReplace);
        return [&] { replacing->Apply(); };
    };
    const auto expectReplaced = [&](const Lines& after) {
        ASSERT_EQ(assembly().Components().size(), 1u);
        EXPECT_NE(assembly().Components().at(0), &bolt);
        // The nut is no component the library placed.
        EXPECT_EQ(SpcObjectsOfNoComponent(), nutLine ? 1u : 0u);
        EXPECT_EQ(document().Spc().Objects().size(), (spcSection ? 1u : 0u) + (nutLine ? 1u : 0u) + (hand ? 1u : 0u));
        EXPECT_EQ(PositionLeaders(), (spcSection || row.nutLine ? 1u : 0u) + (nutsLeader ? 1u : 0u) + (handsLeader ? 1u : 0u));
        if (row.nutLine) {
            EXPECT_TRUE(nutNumbered());
        }
        std::vector<sim::SpcObject*> screwLines = assembly().SpcObjectsOf(*assembly().Components().at(0));
        // The user's line stays as it was made, with the new component: it never holds nothing.
        if (hand) {
            EXPECT_FALSE(hand->deleted);
            EXPECT_NE(std::find(screwLines.begin(), screwLines.end(), hand), screwLines.end());
            screwLines.erase(std::remove(screwLines.begin(), screwLines.end(), hand), screwLines.end());
            EXPECT_EQ(hand->ColumnA(5, 1)->Text(), L"Прокладка");
            EXPECT_EQ(hand->Comments(), Lines{"hand"});
            // Its own leader is made again on the new component, and it goes on numbering through it.
            if (handsLeader) {
                const std::vector<sim::Leader*> live = leaders_->Live();
                EXPECT_TRUE(std::any_of(live.begin(), live.end(), [&](sim::Leader* leader) {
                    return leader->code == 89 && holds(*hand, *leader) &&
                           std::none_of(screwLines.begin(), screwLines.end(), [&](sim::SpcObject* line) { return holds(*line, *leader); });
                }));
            }
        }
        ASSERT_EQ(screwLines.size(), spcSection ? 1u : 0u);
        // A leader on a part that stays keeps numbering every line it numbered, the new one in the bolt's.
        if (nutsLeader) {
            EXPECT_FALSE(nutsLeader->removed);
            EXPECT_TRUE(holds(*nutLine, *nutsLeader));
            for (const sim::SpcObject* line : screwLines)
                EXPECT_TRUE(holds(*line, *nutsLeader));
        }
        if (spcSection) {
            EXPECT_EQ(after.size(), before.size());
            EXPECT_EQ(screwLines.front()->Comments(), Lines{"note"});
        }
    };
    test_support::SweepHostCalls(
        velmar(), start,
        [&](const test_support::SweptFailure& failure) {
            completed = !failure.raised;
            const Lines after = State();
            if (failure.raised) {
                EXPECT_EQ(after, before);
                EXPECT_EQ(assembly().Components(), std::vector<sim::Component*>{&bolt});
            } else {
                expectReplaced(after);
            }
        },
        200);
    // The run without a failing call.
    completed = true;
    expectReplaced(State());
    EXPECT_EQ(VelmarMessages(), row.refused ? std::vector<std::wstring>{L"Не удалось создать объект спецификации."}
                                            : std::vector<std::wstring>{});
    // Velmar refuses to delete the old component: the replace fails as on a failing call.
    document().RefuseDeletion([&](IUnknown* object) { return sim::Object::From(object) == &bolt.part->V5(); });
    const auto refused = start();
    EXPECT_THROW(refused(), _com_error);
    document().RefuseDeletion(nullptr);
    EXPECT_EQ(State(), before);
    EXPECT_EQ(assembly().Components(), std::vector<sim::Component*>{&bolt});
    replacing.reset();
}

INSTANTIATE_TEST_SUITE_P(EveryRow, ComponentReplaceSweep, testing::ValuesIn(kComponentReplaceRows),
                         [](const testing::TestParamInfo<ComponentReplaceRow>& info) {
                             return test_support::SweptRowName(info.param.name) + (info.param.idColumn ? "WithIdColumn" : "");
                         });

namespace {

// A way the user meets a road of the table below.
struct RoadWay {
    bool leader;     // the bolt's position leader numbers its own line
    bool idColumn;   // the bill of materials has the column "ID Normset"
    bool hand;       // the user attached "Прокладка" to the bolt
};
const RoadWay kUsersWay{false, false, true};

enum class Chosen { LongerBolt, Bolt, Screw };

struct RoadRow {
    const char* name;
    Chosen chosen;   // the reference book's choice for commands 1 and 2, its answer for the bolt for command 4
    unsigned command;
    std::vector<const wchar_t*> panel;   // the find panel's runs for command 2
    Lines spc;   // what each line shows, the components it holds that it does not name, its comments
    std::vector<RoadWay> ways;
    bool doubledFirst = false;   // the second line was made first: the bolt's position leader tells its own
    bool secondBolt = false;     // a second bolt with a line of its own, placed after the first
};

void PrintTo(const RoadRow& row, std::ostream* out)
{
    *out << row.name;
}

const RoadRow kRoadRows[] = {
    {"command 1, the same model", Chosen::LongerBolt, 1, {}, {"Прокладка on Болт М10х60: hand", "Болт М10х60: note twice"},
     {kUsersWay, {true, true, false}}},
    {"command 1, another model", Chosen::Screw, 1, {}, {"Прокладка on Винт М8х30: hand", "Винт М8х30: note twice"},
     {kUsersWay, {true, true, true}}},
    {"the find panel, the same model", Chosen::LongerBolt, 2, {L"button 9055", L"button 9156", L"cancel"},
     {"Прокладка on Болт М10х60: hand", "Болт М10х60: note twice"}, {kUsersWay, {false, false, false}}},
    {"the find panel, every bolt", Chosen::LongerBolt, 2, {L"button 9055", L"button 9157", L"cancel"},
     {"Болт М10х60:", "Прокладка on Болт М10х60: hand", "Болт М10х60: note twice"}, {kUsersWay, {false, true, true}}, false, true},
    {"command 4, the same model", Chosen::Bolt, 4, {}, {"Прокладка on Болт М10х50: hand", "Болт М10х50: note twice"},
     {kUsersWay, {false, true, false}}},
    {"command 4, the same model, the second line made first", Chosen::Bolt, 4, {},
     {"Прокладка on Болт М10х50: hand", "Болт М10х50: note twice"}, {{true, false, true}, {true, false, false}}, true},
    // The reference book now makes another model of the bolt placed earlier: its line is made anew.
    {"command 4, another model", Chosen::Screw, 4, {}, {"Прокладка on Болт М10х50: hand", "Винт М8х30 on Болт М10х50: note twice"},
     {kUsersWay, {true, true, false}}},
};

class EveryRoad : public ComponentReplace, public testing::WithParamInterface<RoadRow> {};

} // namespace

// A bolt whose own line was doubled by an earlier run (a second line showing its designation, commented
// "twice"), rebuilt on every road that rebuilds or replaces a component's line: the bolt or its successor
// has one line of itself, with the comments of both, and a line the user attached ("Прокладка", commented
// "hand") stays as it was made, holding the component. Each row runs in two of the ways the user meets
// it, the eight shared out over the rows: the bolt's position leader in its own line or in none, the "ID
// Normset" column or none, the user's line or none; each in the user's way (no leader in the line, no
// column, the user's line) but where only the leader tells the own line. Edited to another size, the
// bolt's lines are told by the size it had: the new one shows another designation.
TEST_P(EveryRoad, LeavesOneOwnLineAndTheLineTheUserAttached)
{
    const RoadRow& row = GetParam();
    for (const RoadWay& way : row.ways) {
        SCOPED_TRACE(testing::Message() << (way.leader ? "its leader in its line" : "no leader in its line")
                                        << (way.idColumn ? ", with the \"ID Normset\" column" : "")
                                        << (way.hand ? ", a line the user attached" : ""));
        Start();
        if (way.idColumn)
            document().Spc().DefineColumnB({20, 1, L"ID Normset"});
        sim::SpcObject* made = row.doubledFirst ? &document().Spc().AddObject(25) : nullptr;
        sim::Component& bolt = Place();
        sim::SpcObject& own = *assembly().SpcObjectsOf(bolt).at(0);
        if (way.leader)
            own.Link(*leaders_->Live().at(0)->object);
        if (row.secondBolt) {
            assembly().selected = nullptr;
            Choose(Bolt(), {kPlaceOnTop, L"cancel"});
            ASSERT_FALSE(Insert().dialog);
        }
        sim::SpcObject& twice = made ? *made : document().Spc().AddObject(25);
        twice.ColumnA(5, 1)->SetText(own.ColumnA(5, 1)->Text());
        if (way.idColumn)
            twice.ColumnB(20, 1)->SetText(own.ColumnB(20, 1)->Text());
        twice.Link(bolt.part->V7());
        twice.AddComment("twice");
        if (way.hand) {
            sim::SpcObject& hand = document().Spc().AddObject(25);
            hand.ColumnA(5, 1)->SetText(L"Прокладка");
            hand.Link(bolt.part->V7());
            hand.AddComment("hand");
        }
        const std::wstring chosen = row.chosen == Chosen::Screw ? Screw()
                                    : row.chosen == Chosen::Bolt ? Bolt()
                                                                 : Bolt({{L"d", L"10"}, {L"L", L"60"}, {L"P", L"1,5"}});
        if (row.command == 4) {
            book().SetPlacedResponse(L"PART:BOLT[M10]", chosen);
            answers = {IDYES};
        } else {
            assembly().selected = row.command == 1 ? bolt.part : nullptr;
            Choose(chosen, std::vector<std::wstring>(row.panel.begin(), row.panel.end()));
        }
        const Outcome outcome = Run(row.command);
        EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
        Lines spc;
        for (sim::SpcObject* object : document().Spc().Objects()) {
            std::string line = ShownAndHolding(*object) + ":";
            for (const std::string& comment : object->Comments())
                line += " " + comment;
            spc.push_back(line);
        }
        Lines expected = row.spc;
        if (!way.hand)
            std::erase_if(expected, [](const std::string& line) { return line.rfind("Прокладка", 0) == 0; });
        EXPECT_EQ(spc, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(ComponentLines, EveryRoad, testing::ValuesIn(kRoadRows),
                         [](const testing::TestParamInfo<RoadRow>& info) { return test_support::SweptRowName(info.param.name); });

// The leaders present when the walk starts are each copied once: a leader on the old part and another
// part is made again on the new part only once, the leader after it is not skipped, and a host whose
// copy leaves the old leader in the document does not make the walk copy it again.
TEST_F(ComponentReplace, LeaderWalkCopiesEachLeaderOfTheOldPartOnceWhateverTheHostDoesWithTheOld)
{
    for (bool sourcesStay : {false, true}) {
        Start();
        matedCopies_ = true;
        sim::Component& bolt = Place();
        leaders_->sourcesStay = sourcesStay;
        const size_t before = leaders_->Live().size();
        Choose(Screw(), {});
        Insert();
        ASSERT_EQ(assembly().Components().size(), 1u);
        const std::vector<sim::Leader*> live = leaders_->Live();
        // Two leaders held the old part: two copies, on the new part only.
        EXPECT_EQ(live.size(), sourcesStay ? before + 2 : before) << sourcesStay;
        size_t onNew = 0;
        for (sim::Leader* leader : live)
            for (size_t i = 0; i < leader->anchors.size(); ++i)
                onNew += sim::Leaders::AnchoredTo(*leader, i) == &Face("comp3Shank").V7();
        EXPECT_EQ(onNew, 2u) << sourcesStay;
        EXPECT_TRUE(bolt.deleted);
    }
}

TEST_F(ComponentReplace, ALayerIsCopiedFromHost1501AndTheAxisMateTurnsWhenTheNewBoxLiesBeside)
{
    struct Row {
        sim::HostVersion version;
        bool beside;        // the new model's box lies beside the old one's on x
        const char* layer;
        short axisDirection;
    };
    for (const Row& row : {Row{{15, 0, 1, 0}, false, "5", 0}, Row{{15, 0, 0, 0}, false, "empty", 0}, Row{{15, 0, 1, 0}, true, "5", 1}}) {
        Start(row.version);
        matedCopies_ = true;
        if (row.beside)
            world().catalogue.Add(sim::ParseModel(std::wstring(kNewModel) + L"box 20 0 0 28 8 30\n"));
        sim::Component& bolt = Place();
        // The plane's first mate is of kind 3: the boxes decide the axis mate's orientation.
        for (const sim::MateRecord& mate : world().geometry.Mates())
            if (mate.kind == 0)
                const_cast<sim::MateRecord&>(mate).mate->Value(IVel5Mate::Kind) = short{3};
        Choose(Screw(), {});
        Insert();
        ASSERT_TRUE(bolt.deleted);
        sim::Component& screw = *assembly().Components().at(0);
        const _variant_t& layer = screw.part->V7().Value(sim::Part::kLayer);
        EXPECT_EQ(V_VT(&layer) == VT_EMPTY ? std::string("empty") : sim::RenderVariant(layer), row.layer);
        short direction = -9;
        for (const sim::MateRecord* mate : assembly().MatesOf(screw))
            if (mate->kind == 4)
                direction = mate->direction;
        EXPECT_EQ(direction, row.axisDirection);
    }
}

// An edit keeps the component: the new parameters, its leader's point following the part, the spc object
// refreshed in place, the mates of a cone that stayed the same left as they are.
TEST_F(ComponentReplace, AnEditKeepsTheComponentItsMatesAndSpcObjectAndMovesItsLeader)
{
    sim::Component& bolt = Place();
    sim::SpcObject& spc = *assembly().SpcObjectsOf(bolt).at(0);
    const size_t mates = world().geometry.Mates().size();
    Choose(Bolt({{L"d", L"10"}, {L"L", L"60"}, {L"P", L"1,5"}}), {});
    Insert();
    EXPECT_FALSE(bolt.deleted);
    EXPECT_EQ(bolt.Variable(L"L"), 60);
    EXPECT_EQ(world().geometry.Mates().size(), mates);
    EXPECT_EQ(assembly().SpcObjectsOf(bolt), std::vector<sim::SpcObject*>{&spc});
    EXPECT_EQ(spc.Comments(), Lines{"note"});
    // The library's leader on the part: its anchor on the shank's rim, its point 10 and 10 off in x and y.
    sim::Leader& leader = *leaders_->Live().at(0);
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(leader.object->As<IVel7Leader>()->GetPoint(&x, &y, &z), S_OK);
    EXPECT_EQ((std::vector<double>{x, y, z}), (std::vector<double>{15, 10, 0}));
}
