// Fastener sets as the user inserts them (command 1: the hole positioning, the set's response) and as
// the set object builds them: its members mated along the packet's axis, its hole elements, its macro
// element, the set mated to the assembly by each kind of layout; a refused spc object; a set replaced
// in place with every host call failing in turn; command 2's find and replace of components, holes and
// sets in the same assembly; the spc pass and the relink over library-built sets.
#include "element_stand_in.h"

#include "insert3d/nm_velmar_tcs_3d.h"
#include "library/velmar_normset_3d.h"
#include "sim/leader_model.h"
#include "sim/library_components.h"
#include "sim/macro_elements.h"
#include "sim/pattern_model.h"
#include "support/host_fault_sweep.h"
#include "tools/finder_3d.h"

#include <gmock/gmock.h>

#include <functional>
#include <map>
#include <set>

using namespace element_test;

namespace {

const wchar_t* const kModels[] = {
    L"file Bolt10.vlm\nplane Plane\naxis Axis\ncylinder Shank 5 50\n",
    L"file Washer10.vlm\nplane PlaneT\nplane Plane\naxis Axis\ncylinder Bore 5.3 2\n",
    L"file Nut10.vlm\nplane Plane\naxis Axis\ncylinder Bore 5 8\n",
    L"file Stud10.vlm\nplane Plane\naxis Axis\n",
    L"file Csk10.vlm\nattach\ncone 2.5\nplane Plane\naxis Axis\n",
};

struct MemberSpec {
    const wchar_t* body;
    const wchar_t* designation;
    std::vector<response_xml::Attr> layout;
    bool spcData = true;
    const wchar_t* id = nullptr;   // its identifier in the reference book; "PART:" and the body when none
};

const MemberSpec kBolt{L"Bolt10.vlm", L"Болт М10", {{L"PartType", L"1"}, {L"OnPacket", L"true"}, {L"Orientation", L"true"}}};
const MemberSpec kWasher{L"Washer10.vlm", L"Шайба 10",
                         {{L"PartType", L"2"}, {L"OnPacket", L"false"}, {L"Orientation", L"false"}, {L"Width", L"8"}, {L"Distance", L"20"}}};
const MemberSpec kNut{L"Nut10.vlm", L"Гайка М10",
                      {{L"PartType", L"2"}, {L"OnPacket", L"false"}, {L"Orientation", L"true"}, {L"Width", L"8"}, {L"Distance", L"20"}}};
const MemberSpec kHole{L"hole.vbs", L"Отверстие 10,5", {{L"Hole", L"true"}}};
const MemberSpec kBolt12{L"Bolt10.vlm", L"Болт М12", {{L"PartType", L"1"}, {L"OnPacket", L"true"}, {L"Orientation", L"true"}}};
const wchar_t kNoMembers[] = L"Изделие \"Комплект крепежа М10\" не содержит ни одной детали и не вставлено в документ.";

class FastenerSets : public ElementStandIn {
protected:
    FastenerSets() { Prepare(); }
    void TearDown() override
    {
        set_.reset();
        client_ = nullptr;
        macros_.reset();
        leaders_.reset();
        patterns_.reset();
        ElementStandIn::TearDown();
    }
    // A Velmar made anew with the plate, the models and the document's stand-ins.
    void StartAgain(sim::HostVersion version = {15, 0, 1, 0})
    {
        set_.reset();
        client_ = nullptr;
        leaders_.reset();
        macros_.reset();
        patterns_.reset();
        RestartWithElements(version);
        Prepare();
    }
    void Prepare()
    {
        for (const wchar_t* model : kModels) {
            const sim::ModelDescription description = sim::ParseModel(model);
            world().catalogue.Add(description);
            WriteFileBytes(models_ / description.file, "a model file");
        }
        macros_ = std::make_unique<sim::MacroElements>(velmar(), world().geometry, document(), *world().geometry.topPart);
        patterns_ = std::make_unique<sim::Patterns>(velmar(), document());
        leaders_ = std::make_unique<sim::Leaders>(velmar(), document());
    }

    std::wstring Set(const std::vector<MemberSpec>& members, const wchar_t* designation = L"Комплект крепежа М10")
    {
        using namespace response_xml;
        std::wstring layouts;
        std::wstring methods;
        for (const MemberSpec& member : members) {
            layouts += Object(L"PartAttrs", member.layout);
            std::vector<Attr> external = {{L"Designation", member.designation}};
            if (member.spcData)
                external.insert(external.end(), {{L"spcSection", L"25"}, {L"spcSubSection", L"0"}, {L"spcNestedBlock", L"0"},
                                                 {L"spcNestedSection", L"0"}, {L"spcAdditionalBlock", L"0"},
                                                 {L"spcColumns", L"5.1=Designation"}});
            external.push_back({L"Quarvend_IID", L"Q-1"});
            const std::wstring id = member.id ? std::wstring(member.id) : std::wstring(L"PART:") + member.body;
            methods += Object(L"PartMethod", {},
                              Object(L"MethodParameters", {{L"D", L"10,5"}}) +
                                  Object(L"Method", {{L"NM_IID", id}, {L"URL", models_.Path()}, {L"MethodBody", member.body}}) +
                                  Object(L"ExternalParameters", external));
        }
        return Response(Object(L"Method", {{L"NM_IID", L"TKR3D:M10"}, {L"MethodBody", L""}}, layouts) +
                        Object(L"ExternalParameters", {{L"Designation", designation}, {L"Quarvend_IID", L"Q-TKR"}}) +
                        Object(L"AssyPartsMethods", {}, methods));
    }
    NMVelmarTCS3D& NewSet(const NMElemPos* model, const std::wstring& response, IVel5Entity* macro = nullptr, bool specActive = false)
    {
        set_.reset();
        client_ = book().NewProvider();
        set_ = std::make_unique<NMVelmarTCS3D>(App5(), App7(), client_->As<INMClient>(), macro, model, _bstr_t(L"TKR [d]"),
                                               _bstr_t(L"TKR M10"), specActive, &settings_);
        auto document = std::make_shared<pugi::xml_document>();
        LoadXmlFromBstr(_bstr_t(response.c_str()), *document);
        set_->loadPartData(document->child(L"response").child(L"objectcollection"), document);
        return *set_;
    }
    // The document's mates, named: kind, direction, value, the two objects.
    Lines Mates()
    {
        Lines lines;
        for (const sim::MateRecord& mate : world().geometry.Mates()) {
            auto name = [this](IUnknown* object) {
                const sim::GeoEntity* entity = world().geometry.EntityOf(object);
                return entity ? entity->Name() : std::string("?");
            };
            char value[32];
            std::snprintf(value, sizeof value, "%g", mate.value);
            lines.push_back(std::to_string(mate.kind) + " " + std::to_string(mate.direction) + " " + value + " " + name(mate.first) + " " +
                            name(mate.second));
        }
        return lines;
    }

    std::unique_ptr<sim::MacroElements> macros_;
    std::unique_ptr<sim::Leaders> leaders_;
    std::unique_ptr<sim::Patterns> patterns_;
    std::unique_ptr<NMVelmarTCS3D> set_;
    sim::ObjectRef client_;
    NMAllSettings settings_ = [] {
        NMAllSettings settings;
        settings.LoadFromRegistry();
        return settings;
    }();
};

} // namespace

TEST_F(FastenerSets, ASetAfterHolePicksIsItsMembersMatedAlongThePacketInOneMacroMarkedAndNamedAfterTheSet)
{
    book().QueueSelect(testsupport::Answer(0x400, std::nullopt, L"", kHoleTemplate));
    book().QueueSelect(testsupport::Answer(0, Set({kBolt, kWasher, kNut, kHole}), L"", L"TKR M10"));
    velmar().User().Answer("panel", _variant_t(L"pick plateTop; pick plateBottom; pick plateBore1; ok"));
    velmar().User().Answer("panel", _variant_t(L"cancel"));
    journal().Clear();
    const Outcome outcome = Insert();
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    ExpectJournalAsIn(__FILE__, "fastener_set.journal");

    const std::vector<sim::GeoEntity*> sets = macros_->Live();
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(macros_->Describe(*sets.front()),
              "set macro \"Комплект крепежа М10\", marked \"TKR3D\": \"Болт М10\" \"Шайба 10\" \"Гайка М10\" \"Отверстие 10,5\"");
    EXPECT_EQ(elements->Live().at(0)->parameters, L"D=10.5");
    // Washer and nut on the bolt's axis: the washer (on the packet's side as it faces) at -(8 + 20), the nut
    // (facing the other way) at -20; the bolt on the hole's start face and in its cylindrical face.
    EXPECT_EQ(Mates(), (Lines{"4 0 0 comp1Axis comp2Axis", "5 1 -28 comp1Plane comp2PlaneT", "4 0 0 comp1Axis comp3Axis",
                              "5 -1 -20 comp1Plane comp3Plane", "0 1 0 plateTop comp1Plane", "4 0 0 element1Face comp1Axis"}));
    EXPECT_TRUE(VelmarMessages().empty());
}

// How a set is mated to the assembly, by its members' layouts: the model on the packet (or the first under
// it for type 21), the start or end plane, and the axis of the record's face or of the right hole.
TEST_F(FastenerSets, TheSetIsMatedToTheAssemblyByTheLayoutOfItsMembers)
{
    MemberSpec under21 = kBolt;
    under21.layout = {{L"PartType", L"21"}, {L"OnPacket", L"true"}};
    MemberSpec stud = kBolt;
    stud.body = L"Stud10.vlm";
    stud.layout = {{L"PartType", L"3"}, {L"OnPacket", L"true"}};
    MemberSpec countersunk = kBolt;
    countersunk.body = L"Csk10.vlm";
    // A body is a hole's script by its ending alone, in any case.
    MemberSpec holeInCapitals = kHole;
    holeInCapitals.body = L"HOLE.VBS";
    MemberSpec nutBesideScripts = kNut;
    nutBesideScripts.body = L"Nuts.vbs\\Nut10.vlm";
    CreateDirectoryW((models_ / L"Nuts.vbs").c_str(), nullptr);
    WriteFileBytes(models_ / nutBesideScripts.body, "a model file");
    struct Row {
        const char* name;
        std::vector<MemberSpec> members;
        Lines assembly;      // the mates to the assembly, after the members' own
        std::vector<std::wstring> parDir;   // the holes' "PAR_DIR", first hole first
    };
    const Row rows[] = {
        {"no holes: the record's face", {kBolt, kNut}, {"0 1 0 plateTop comp1Plane", "4 0 0 plateBore1 comp1Axis"}, {}},
        // The model under the packet then decides the plane by its own type.
        {"type 21 with a model under the packet", {under21, kNut}, {"0 1 0 plateTop comp2Plane", "4 0 0 plateBore1 comp2Axis"}, {}},
        {"a stud with one hole: hole 0", {stud, kHole}, {"0 -1 0 plateBottom comp1Plane", "4 0 0 element1Face comp1Axis"}, {L"1"}},
        // Hole 0 is built last: the third element made.
        {"three holes: the last built first", {kBolt, kHole, kHole, kHole}, {"0 1 0 plateTop comp1Plane", "4 0 0 element3Face comp1Axis"},
         {L"1", L"2", L"3"}},
        // A model with an attach point sits in its hole's mate element.
        {"an attach point: the hole's seat", {countersunk, kNut, kHole}, {"5 -1 -20 comp1Plane comp2Plane", "0 1 0 element1Seat comp1Auto"}, {L"1"}},
        {"a hole's script in capitals", {stud, holeInCapitals}, {"0 -1 0 plateBottom comp1Plane", "4 0 0 element1Face comp1Axis"}, {L"1"}},
        {"a model with \".vbs\" before its ending", {kBolt, nutBesideScripts}, {"0 1 0 plateTop comp1Plane", "4 0 0 plateBore1 comp1Axis"}, {}},
    };
    for (const Row& row : rows) {
        StartAgain();
        const auto model = HoleModel({plate.bores[0]});
        NMVelmarTCS3D& set = NewSet(model.get(), Set(row.members));
        set.Apply();
        Lines mates = Mates();
        ASSERT_GE(mates.size(), 2u) << row.name;
        EXPECT_EQ(Lines(mates.end() - 2, mates.end()), row.assembly) << row.name;
        std::vector<std::wstring> parDir;
        for (const auto& element : set.Elements)
            parDir.push_back(element->pData->Params.at(L"PAR_DIR"));
        EXPECT_EQ(parDir, row.parDir) << row.name;
    }
}

// In the assembly, and in a bill of materials, where only the members' spc objects are made; over two
// holes, a set whose spc object was refused stops none after it, and the count says so. An answer that
// names no member is refused before anything is made or replaced.
TEST_F(FastenerSets, ARefusedSpcObjectIsReportedOnceAndEveryMemberIsStillBuilt)
{
    const std::wstring refused = L"Не удалось создать объект спецификации.";
    const struct {
        const char* name;
        bool specActive;
        size_t holes;
        int refusals;   // the first adds Velmar refuses; a member takes two: by its pattern, then without
        size_t components;
        std::vector<std::wstring> messages;
        std::vector<MemberSpec> members = {kBolt, kWasher, kNut};
        const wchar_t* warning = L"";   // the refusal of the answer
        bool replacing = false;         // the answer replaces a set of a bolt, a washer and a nut placed before
    } rows[] = {
        {"bill of materials", true, 1, 100, 0, {refused}},
        {"assembly", false, 1, 100, 3, {refused}},
        {"two holes, the first set's bolt refused", false, 2, 2, 6, {refused, L"Создано крепежных соединений: 2 из 2."}},
        {"an answer naming no member", false, 1, 0, 0, {}, {}, kNoMembers},
        {"a placed set replaced by an answer naming no member", false, 1, 0, 3, {}, {}, kNoMembers, true},
    };
    for (const auto& row : rows) {
        StartAgain();
        const auto model = HoleModel(std::vector<sim::GeoEntity*>(plate.bores, plate.bores + row.holes));
        IVel5EntityPtr placed;
        if (row.replacing) {
            NewSet(model.get(), Set({kBolt, kWasher, kNut})).Apply();
            placed = macros_->Live().at(0)->Entity();
        }
        document().Spc().RefuseAdd(row.refusals);
        std::wstring warning;
        try {
            NewSet(model.get(), Set(row.members), placed, row.specActive).Apply();
        } catch (const _bstr_t& refusal) {
            warning = BstrToWString(refusal);
        }
        EXPECT_EQ(warning, row.warning) << row.name;
        EXPECT_EQ(assembly().Components().size(), row.components) << row.name;
        EXPECT_EQ(macros_->Live().size(), row.components > 0 ? row.holes : 0u) << row.name << ": a set macro a hole";
        EXPECT_EQ(VelmarMessages(), row.messages) << row.name;
    }
}

namespace {

// The members without their spc sections.
MemberSpec WithoutSpc(MemberSpec member)
{
    member.spcData = false;
    return member;
}

// A member by its part in the reference book, of a size.
MemberSpec Sized(MemberSpec member, const wchar_t* id, const wchar_t* designation = nullptr)
{
    member.id = id;
    if (designation)
        member.designation = designation;
    return member;
}

const MemberSpec kSpacer{L"Stud10.vlm", L"Втулка 10", kWasher.layout, false};
const MemberSpec kWasherRenamed = [] {
    MemberSpec washer = kWasher;
    washer.designation = L"Шайба 10.01";
    return washer;
}();
const MemberSpec kBoltPartM10 = Sized(kBolt, L"PART:BOLT[M10]");
const MemberSpec kWasherPart10 = Sized(kWasher, L"PART:WASHER[10]");
const MemberSpec kNutPartM10 = Sized(kNut, L"PART:NUT[M10]");
const MemberSpec kBoltPartM12 = Sized(kBolt, L"PART:BOLT[M12]", L"Болт М12");
const MemberSpec kWasherPart12 = Sized(kWasher, L"PART:WASHER[12]", L"Шайба 12");
const MemberSpec kNutPartM12 = Sized(kNut, L"PART:NUT[M12]", L"Гайка М12");

// A set replaced in place, each row swept in test cases of its own: the old set and the reference book's
// new one, what the user made of the old set, and what a completed run leaves.
struct SetReplaceRow {
    const char* name;
    std::vector<MemberSpec> old;
    std::vector<MemberSpec> answer;
    Lines spc;   // the spc objects of a completed run: the designation, the note typed and the comments
    size_t components;
    int refusedLines = 0;   // Velmar refuses the new set's first lines
    sim::HostVersion version = {15, 0, 1, 0};
    bool spcObjects = true;   // the settings make them; where they do not, the document has no spc description
    // Old members the user put each in an array of its own with a position leader, and those arrays and
    // the live leaders after a completed run, by the members they hold and the lines that hold them.
    std::vector<size_t> arranged = {};
    Lines arrays = {};
    // An old line whose designation the user typed over with another member's.
    int typedOver = -1;
    const wchar_t* typed = L"";
    // Leaders the user drew besides: of a kind code, with branches to old members, held by old members'
    // lines; or with a branch to a part beside the set, or held by that part's line or by the line the user
    // attached.
    static constexpr size_t kNeighbour = 99;
    static constexpr size_t kAttached = 98;
    struct Callout {
        long code;
        std::vector<size_t> on;
        std::vector<size_t> lines = {};
    };
    std::vector<Callout> leaders = {};
    const wchar_t* designation = L"Комплект крепежа М10";   // the new set's
    // Old members the user attached a line to ("Прокладка", commented "by-hand"), each one: one showing
    // another text, with a note in 9.1, where given.
    std::vector<size_t> attachedTo = {};
    const wchar_t* attachedShows = L"Прокладка";
    const wchar_t* attachedNote = L"";
    // The old set made anew by itself after the user wrote on it: the lines it handed on stand before those
    // it made, as they do after every replace.
    bool madeAnew = false;
    // The reference book answers for the old set's identifier as the set was made.
    bool listed = false;
    // The combination the row runs in, shared out over the rows with the attached lines above: the bill of
    // materials' "ID Normset" column, and a position leader on each old member that its own line holds.
    bool idColumn = false;
    bool ownLeaders = false;
};

void PrintTo(const SetReplaceRow& row, std::ostream* out)
{
    *out << row.name;
}

const SetReplaceRow kSetReplaceRows[] = {
    {.name = "the same set, each member under a leader in its own line",
     .old = {kBolt, kNut},
     .answer = {kBolt, kNut},
     .spc = {"Болт М10: Болт: bolt", "Гайка М10: Гайка: nut"},
     .components = 2,
     .arrays = {"leader 89 on Болт М10 in Болт М10", "leader 89 on Гайка М10 in Гайка М10"},
     .ownLeaders = true},
    {"members without spc data", {kBolt, kNut}, {WithoutSpc(kBolt), WithoutSpc(kNut)}, {}, 2},
    {.name = "a set of one member, each member under a leader in its own line, the ID column",
     .old = {kBolt, kNut},
     .answer = {kBolt},
     .spc = {"Болт М10: Болт: bolt nut"},
     .components = 1,
     .arrays = {"leader 89 on Болт М10 in Болт М10"},
     .idColumn = true,
     .ownLeaders = true},
    {.name = "members in another order, the ID column",
     .old = {kBolt, kNut},
     .answer = {kNut, kBolt},
     .spc = {"Гайка М10: Гайка: nut", "Болт М10: Болт: bolt"},
     .components = 2,
     .idColumn = true},
    {.name = "a set without the washer, a line the user attached to the nut, the ID column",
     .old = {kBolt, kWasher, kNut},
     .answer = {kBolt, kNut},
     .spc = {"Прокладка on Гайка М10: : by-hand", "Болт М10: Болт: bolt washer", "Гайка М10: Гайка: nut"},
     .components = 2,
     .attachedTo = {2},
     .idColumn = true},
    // A host that reuses no old line: each member asks for a new one. It moves no comments either.
    {"Velmar refusing the bolt's new line", {kBolt, kNut}, {kBolt, kNut}, {"Гайка М10: Гайка:"}, 2, 2, {15, 0, 0, 0}},
    {"no spc objects by the settings", {kBolt, kNut}, {kBolt, kNut}, {}, 2, 0, {15, 0, 1, 0}, false},
    // Each member takes over what the old member it succeeds had, wherever it stands in the new set.
    {.name = "the nut in an array under a leader, the members in another order, the ID column",
     .old = {kBolt, kWasher, kNut},
     .answer = {kNut, kWasher, kBolt},
     .spc = {"Гайка М10: Гайка: nut", "Шайба 10: Шайба: washer", "Болт М10: Болт: bolt"},
     .components = 3,
     .arranged = {2},
     .arrays = {"array1: Гайка М10", "leader 89 on Гайка М10 in Гайка М10"},
     .idColumn = true},
    // Its leaders of every kind go, but the one the set's other lines held: that one is made again on the
    // bolt, whose line takes the washer's, and numbers the bolt's and the nut's new lines.
    {.name = "the washer dropped: its array loses it as a deleted component's does, its leaders go",
     .old = {kBolt, kWasher, kNut},
     .answer = {kBolt, kNut},
     .spc = {"Болт М10: Болт: bolt washer", "Гайка М10: Гайка: nut"},
     .components = 2,
     .arranged = {1, 2},
     .arrays = {"array1:", "array2: Гайка М10", "leader 89 on Гайка М10 in Гайка М10", "leader 89 on Болт М10 in Болт М10 Гайка М10"},
     .leaders = {{86, {1}}, {90, {1}}, {87, {1}}, {89, {1}, {0, 1, 2}}}},
    // One leader numbers several lines: its copy numbers each of their new lines, made before it or after.
    {.name = "one leader on the bolt for the whole set, the members in another order, the ID column",
     .old = {kBolt, kWasher, kNut},
     .answer = {kNut, kWasher, kBolt},
     .spc = {"Гайка М10: Гайка: nut", "Шайба 10: Шайба: washer", "Болт М10: Болт: bolt"},
     .components = 3,
     .arrays = {"leader 89 on Болт М10 in Гайка М10 Шайба 10 Болт М10"},
     .leaders = {{89, {0}, {0, 1, 2}}},
     .idColumn = true},
    // A line keeps every number it showed: a leader on another part, or one copied with a member.
    {.name = "a neighbour's leader numbering the bolt's and the nut's lines, the nut's numbering the neighbour's line, the members in "
             "another order",
     .old = {kBolt, kWasher, kNut},
     .answer = {kNut, kWasher, kBolt},
     .spc = {"Шпилька М8: :", "Гайка М10: Гайка: nut", "Шайба 10: Шайба: washer", "Болт М10: Болт: bolt"},
     .components = 3,
     .arrays = {"leader 89 on neighbour7 in Шпилька М8 Гайка М10 Болт М10", "leader 89 on Гайка М10 in Шпилька М8 Гайка М10"},
     .leaders = {{89, {SetReplaceRow::kNeighbour}, {SetReplaceRow::kNeighbour, 0, 2}}, {89, {2}, {2, SetReplaceRow::kNeighbour}}}},
    // A dropped member's leaders a neighbour's line holds go to the part whose line takes the member's
    // lines, as long as some line is made.
    {.name = "the washer dropped, its leaders numbering a neighbour's line, the ID column",
     .old = {kBolt, kWasher, kNut},
     .answer = {kBolt, kNut},
     .spc = {"Шпилька М8: :", "Болт М10: Болт: bolt washer", "Гайка М10: Гайка: nut"},
     .components = 2,
     .arrays = {"leader 89 on Болт М10 in Шпилька М8 Болт М10", "leader 86 on Болт М10 in Шпилька М8 Болт М10"},
     .leaders = {{89, {1}, {SetReplaceRow::kNeighbour}}, {86, {1}, {SetReplaceRow::kNeighbour}}},
     .idColumn = true},
    // Where the set makes no line at all, the number a line that stays shows stands on that line's part.
    {.name = "the washer dropped, its leader numbering every member's and a neighbour's line, no member with spc data now",
     .old = {kBolt, kWasher, kNut},
     .answer = {WithoutSpc(kBolt), WithoutSpc(kNut)},
     .spc = {"Шпилька М8: :"},
     .components = 2,
     .arrays = {"leader 89 on neighbourBody7 in Шпилька М8"},
     .leaders = {{89, {1}, {0, 1, 2, SetReplaceRow::kNeighbour}}}},
    {.name = "the washer dropped, its leader numbering every member's line and the line the user attached to it, no member with spc "
             "data now",
     .old = {kBolt, kWasher, kNut},
     .answer = {WithoutSpc(kBolt), WithoutSpc(kNut)},
     .spc = {"Прокладка on Болт М10: : by-hand"},
     .components = 2,
     .arrays = {"leader 89 on Болт М10 in Прокладка"},
     .leaders = {{89, {1}, {0, 1, 2, SetReplaceRow::kAttached}}},
     .attachedTo = {1}},
    // A set of a hole alone drops every member, as any make-up does that leaves one out.
    {.name = "a hole alone for every member, a leader on the washer numbering every member's and a neighbour's line, each member "
             "under a leader in its own line, the ID column",
     .old = {kBolt, kWasher, kNut},
     .answer = {kHole},
     .spc = {"Шпилька М8: :"},
     .components = 0,
     .arrays = {"leader 89 on neighbourBody7 in Шпилька М8"},
     .leaders = {{89, {1}, {0, 1, 2, SetReplaceRow::kNeighbour}}},
     .idColumn = true,
     .ownLeaders = true},
    {.name = "a hole alone for every member, leaders on the bolt and the nut numbering a neighbour's line, one numbering none",
     .old = {kBolt, kWasher, kNut},
     .answer = {kHole},
     .spc = {"Шпилька М8: :"},
     .components = 0,
     .arrays = {"leader 89 on neighbourBody7 in Шпилька М8", "leader 86 on neighbourBody7 in Шпилька М8"},
     .leaders = {{89, {0, 2}, {SetReplaceRow::kNeighbour}}, {86, {2}, {SetReplaceRow::kNeighbour}}, {90, {1}}}},
    // A line the user attached to a member stays as it was made, with the member's successor, else with the
    // set's first new line, and keeps numbering through the leaders it held.
    {.name = "a line the user attached to the nut, the members in another order",
     .old = {kBolt, kWasher, kNut},
     .answer = {kNut, kWasher, kBolt},
     .spc = {"Прокладка on Гайка М10: : by-hand", "Гайка М10: Гайка: nut", "Шайба 10: Шайба: washer", "Болт М10: Болт: bolt"},
     .components = 3,
     .attachedTo = {2}},
    {.name = "a line the user attached to the washer under the washer's leader, the washer dropped, the ID column",
     .old = {kBolt, kWasher, kNut},
     .answer = {kBolt, kNut},
     .spc = {"Прокладка on Болт М10: : by-hand", "Болт М10: Болт: bolt washer", "Гайка М10: Гайка: nut"},
     .components = 2,
     .arrays = {"leader 89 on Болт М10 in Прокладка Болт М10"},
     .leaders = {{89, {1}, {SetReplaceRow::kAttached}}},
     .attachedTo = {1},
     .idColumn = true},
    // A line the user listed by hand with a dropped member's designation and wrote on stands first once the
    // set was made anew: nothing tells it from the member's own line, so neither goes.
    {.name = "a line the user attached to the washer with its designation and a note, the set made anew, the washer dropped",
     .old = {kBolt, kWasher, kNut},
     .answer = {kBolt, kNut},
     .spc = {"Шайба 10 on Болт М10: hand: by-hand", "Шайба 10 on Болт М10: Шайба: washer", "Болт М10: Болт: bolt", "Гайка М10: Гайка: nut"},
     .components = 2,
     .attachedTo = {1},
     .attachedShows = L"Шайба 10",
     .attachedNote = L"hand",
     .madeAnew = true},
    // Where its leader tells the member's own line, that one goes with it.
    {.name = "a line the user attached to the washer with its designation and a note, the set made anew, the washer dropped, each "
             "member under a leader in its own line",
     .old = {kBolt, kWasher, kNut},
     .answer = {kBolt, kNut},
     .spc = {"Шайба 10 on Болт М10: hand: by-hand", "Болт М10: Болт: bolt washer", "Гайка М10: Гайка: nut"},
     .components = 2,
     .arrays = {"leader 89 on Болт М10 in Болт М10", "leader 89 on Гайка М10 in Гайка М10"},
     .attachedTo = {1},
     .attachedShows = L"Шайба 10",
     .attachedNote = L"hand",
     .madeAnew = true,
     .ownLeaders = true},
    // A member the reference book lists without spc data has no line of its own: the one it holds is the user's.
    {.name = "a line the user attached to the bolt without spc data, the reference book listing the old set",
     .old = {WithoutSpc(kBolt), kNut},
     .answer = {WithoutSpc(kBolt), kNut},
     .spc = {"Прокладка on Болт М10: : by-hand", "Гайка М10: Гайка: nut"},
     .components = 2,
     .attachedTo = {0},
     .listed = true},
    {.name = "a leader with branches to the bolt and the nut",
     .old = {kBolt, kNut},
     .answer = {kBolt, kNut},
     .spc = {"Болт М10: Болт: bolt", "Гайка М10: Гайка: nut"},
     .components = 2,
     .arrays = {"leader 89 on Болт М10 in Болт М10 Гайка М10"},
     .leaders = {{89, {0, 1}, {0, 1}}}},
    // A member that gets no line takes none: its old line goes as one no member succeeds, and so does the
    // copy of the leader that numbered it.
    {.name = "the nut under a leader without spc data now, the ID column",
     .old = {kBolt, kNut},
     .answer = {kBolt, WithoutSpc(kNut)},
     .spc = {"Болт М10: Болт: bolt nut"},
     .components = 2,
     .leaders = {{89, {1}, {1}}},
     .idColumn = true},
    {.name = "a member without spc data before the renamed washer, the ID column",
     .old = {kBolt, kWasher, kNut},
     .answer = {kBolt, kSpacer, kWasherRenamed, kNut},
     .spc = {"Болт М10: Болт: bolt", "Шайба 10.01: Шайба: washer", "Гайка М10: Гайка: nut"},
     .components = 4,
     .idColumn = true},
    // A line stays with its component, whatever the user typed over on it.
    {.name = "the washer's line typed over with the nut's designation, the members in another order, each member under a leader in "
             "its own line, a line the user attached to the bolt",
     .old = {kBolt, kWasher, kNut},
     .answer = {kNut, kWasher, kBolt},
     .spc = {"Прокладка on Болт М10: : by-hand", "Гайка М10: Гайка: nut", "Шайба 10: Шайба: washer", "Болт М10: Болт: bolt"},
     .components = 3,
     .arrays = {"leader 89 on Гайка М10 in Гайка М10", "leader 89 on Шайба 10 in Шайба 10", "leader 89 on Болт М10 in Болт М10"},
     .typedOver = 1,
     .typed = L"Гайка М10",
     .attachedTo = {0},
     .ownLeaders = true},
    // Each member is known by its part in the reference book whatever its size.
    {.name = "a set of another size, the members in another order, each member under a leader in its own line, a line the user "
             "attached to the bolt, the ID column",
     .old = {kBoltPartM10, kWasherPart10, kNutPartM10},
     .answer = {kNutPartM12, kWasherPart12, kBoltPartM12},
     .spc = {"Прокладка on Болт М12: : by-hand", "Гайка М12: Гайка: nut", "Шайба 12: Шайба: washer", "Болт М12: Болт: bolt"},
     .components = 3,
     .arrays = {"leader 89 on Гайка М12 in Гайка М12", "leader 89 on Шайба 12 in Шайба 12", "leader 89 on Болт М12 in Болт М12"},
     .designation = L"Комплект крепежа М12",
     .attachedTo = {0},
     .idColumn = true,
     .ownLeaders = true},
};

// Each row in its own combination, its host calls swept in two halves.
class SetReplaceSweep : public FastenerSets, public testing::WithParamInterface<std::tuple<SetReplaceRow, size_t>> {};

} // namespace

// A set replaced in place: every host call failing in turn either reports the failure with the old set
// as it was (members, their spc objects with their comments, its array) or completes with the new set in
// its place: one new spc object per member, carrying the comment of the old member in its place; a new
// member without spc data, or an old member with none in its place, leaves no spc object behind; a leader
// goes on numbering each line that stays and each new line whose old line it numbered, and goes where it
// numbers none; a dropped member's leader some such line numbers through is made again on the part whose
// line takes the member's lines, or, where the set makes no line, on the part of a line that stays. Velmar
// refusing to delete the old set is such a failure. Each row is two test cases, each failing every other
// host call of the replace.
TEST_P(SetReplaceSweep, LeavesTheOldSetOrTheNewOneInItsPlaceAndArray)
{
    const auto& [row, half] = GetParam();
    StartAgain(row.version);
    settings_.CreateSpcObject = row.spcObjects;
    document().SetSpcDescription(row.spcObjects);
    // Each line noted and commented by the user with its own member's word.
    document().Spc().DefineColumnA({9, 1, L"Примечание"});
    if (row.idColumn)
        document().Spc().DefineColumnB({20, 1, L"ID Normset"});
    const auto model = HoleModel({plate.bores[0]});
    NewSet(model.get(), Set(row.old)).Apply();
    if (row.listed)
        book().AddPlacedResponse(Set(row.old));
    sim::GeoEntity* old = macros_->Live().at(0);
    sim::Pattern& array = patterns_->Add("array", {old->V7().Ptr()});
    std::vector<sim::SpcObject*> oldObjects = document().Spc().Objects();
    const auto lined = static_cast<size_t>(std::count_if(row.old.begin(), row.old.end(), [](const MemberSpec& member) { return member.spcData; }));
    ASSERT_EQ(oldObjects.size(), row.spcObjects ? lined : 0u);
    const std::map<std::wstring, std::pair<std::wstring, std::string>> words = {
        {kBolt.designation, {L"Болт", "bolt"}}, {kWasher.designation, {L"Шайба", "washer"}}, {kNut.designation, {L"Гайка", "nut"}}};
    for (sim::SpcObject* object : oldObjects) {
        const auto& word = words.at(object->ColumnA(5, 1)->Text());
        object->ColumnA(9, 1)->SetText(word.first);
        object->AddComment(word.second);
    }
    if (row.typedOver >= 0)
        oldObjects.at(static_cast<size_t>(row.typedOver))->ColumnA(5, 1)->SetText(row.typed);
    std::vector<sim::SpcObject*> attached;
    for (size_t member : row.attachedTo) {
        sim::SpcObject& line = document().Spc().AddObject(25);
        line.ColumnA(5, 1)->SetText(row.attachedShows);
        line.ColumnA(9, 1)->SetText(row.attachedNote);
        line.Link(assembly().Components().at(member)->part->V7());
        line.AddComment("by-hand");
        attached.push_back(&line);
    }
    if (row.madeAnew) {
        NewSet(model.get(), Set(row.old), old->Entity()).Apply();
        set_.reset();
        old = macros_->Live().at(0);
        const std::vector<sim::SpcObject*> objects = document().Spc().Objects();
        ASSERT_GE(objects.size(), oldObjects.size());
        oldObjects.assign(objects.end() - static_cast<std::ptrdiff_t>(oldObjects.size()), objects.end());
    }
    if (row.ownLeaders)
        for (size_t member = 0; member < oldObjects.size(); ++member) {
            sim::Leader& leader = leaders_->Add(89);
            leaders_->Anchor(leader, assembly().Components().at(member)->part->V7().Ptr(), {0, 0, 0});
            leaders_->Fill(leader, "own");
            oldObjects[member]->Link(*leader.object);
        }
    std::vector<sim::Pattern*> memberArrays;
    for (size_t member : row.arranged) {
        sim::Part& part = *assembly().Components().at(member)->part;
        memberArrays.push_back(&patterns_->Add("array" + std::to_string(memberArrays.size() + 1), {part.V7().Ptr()}));
        sim::Leader& leader = leaders_->Add(89);
        leaders_->Anchor(leader, part.V7().Ptr(), {0, 0, 0});
        leaders_->Fill(leader, "pos");
    }
    // A part beside the set, with a line of its own, where a leader stands on it or numbers its line.
    const bool hasNeighbour = std::any_of(row.leaders.begin(), row.leaders.end(), [](const SetReplaceRow::Callout& callout) {
        const auto neighbour = [](const std::vector<size_t>& places) {
            return std::find(places.begin(), places.end(), SetReplaceRow::kNeighbour) != places.end();
        };
        return neighbour(callout.on) || neighbour(callout.lines);
    });
    sim::Part* neighbour = nullptr;
    sim::SpcObject* neighbourLine = nullptr;
    if (hasNeighbour) {
        neighbour = &velmar().AddPart("neighbour");
        // A leader made again on it anchors on its face.
        sim::ModelGeometry(velmar(), world().geometry, *neighbour, "neighbour").Cylinder("Body", 4, 20);
        neighbourLine = &document().Spc().AddObject(25);
        neighbourLine->ColumnA(5, 1)->SetText(L"Шпилька М8");
        neighbourLine->Link(neighbour->V7());
    }
    for (const SetReplaceRow::Callout& callout : row.leaders) {
        sim::Leader& leader = leaders_->Add(callout.code);
        for (size_t member : callout.on)
            leaders_->Anchor(leader, member == SetReplaceRow::kNeighbour ? neighbour->V7().Ptr() : assembly().Components().at(member)->part->V7().Ptr(),
                             {0, 0, 0});
        leaders_->Fill(leader, "callout");
        for (size_t line : callout.lines)
            (line == SetReplaceRow::kNeighbour  ? neighbourLine
             : line == SetReplaceRow::kAttached ? attached.at(0)
                                                : oldObjects.at(line))
                ->Link(*leader.object);
    }
    // The member arrays and the live leaders, by the designations of the components they hold.
    auto arrays = [&] {
        auto designation = [&](sim::Object* object) {
            const sim::GeoEntity* face = object ? world().geometry.EntityOf(object->Primary()) : nullptr;
            for (sim::Component* component : assembly().Components())
                if (object == &component->part->V7() || (face && face->part == component->part))
                    return sim::Utf8(component->part->V5().Text(IVel5Part::ComponentName));
            return object ? object->Name() : std::string("?");
        };
        Lines lines;
        for (sim::Pattern* pattern : memberArrays) {
            std::string line = pattern->name + ":";
            for (const IDispatchPtr& source : pattern->sources)
                line += " " + designation(sim::Object::From(source));
            lines.push_back(line);
        }
        for (sim::Leader* leader : leaders_->Live()) {
            std::string line = "leader " + std::to_string(leader->code) + " on";
            for (size_t i = 0; i < leader->anchors.size(); ++i)
                line += " " + designation(sim::Leaders::AnchoredTo(*leader, i));
            std::string held;
            for (sim::SpcObject* object : document().Spc().Objects())
                if (std::any_of(object->linked.begin(), object->linked.end(),
                                [&](const IDispatchPtr& linked) { return sim::Object::From(linked) == leader->object.get(); }))
                    held += " " + sim::Utf8(object->ColumnA(5, 1)->Text());
            lines.push_back(held.empty() ? line : line + " in" + held);
        }
        return lines;
    };
    // Each line: what it shows and the live components it holds that it does not show, its note and comments.
    auto spc = [&] {
        Lines lines;
        for (sim::SpcObject* object : document().Spc().Objects()) {
            std::string line = ShownAndHolding(*object) + ": " + sim::Utf8(object->ColumnA(9, 1)->Text()) + ":";
            for (const std::string& comment : object->Comments())
                line += " " + comment;
            lines.push_back(line);
        }
        return lines;
    };
    auto state = [&] {
        Lines lines;
        for (sim::GeoEntity* set : macros_->Live())
            lines.push_back(set->Name() + " " + macros_->Describe(*set));
        for (const std::string& line : spc())
            lines.push_back(line);
        for (const std::string& source : sim::Patterns::SourceNames(array))
            lines.push_back("array " + source);
        lines.push_back(std::to_string(assembly().Components().size()) + " components");
        for (const std::string& line : arrays())
            lines.push_back(line);
        return lines;
    };
    const Lines before = state();
    const std::vector<std::string> oldSources = sim::Patterns::SourceNames(array);
    bool completed = false;
    const auto start = [&] {
        TakeBackCompletedRun(completed, before, state);
        velmar().App7().Value(25) = _variant_t(VARIANT_FALSE, VT_I2);
        velmar().User().Clear();
        NewSet(model.get(), Set(row.answer, row.designation), old->Entity());
        EXPECT_EQ(set_->state, NMObject::StateReplace);
        document().Spc().RefuseAdd(row.refusedLines);
        return [&] { set_->Apply(); };
    };
    test_support::SweepHostCalls(
        velmar(), start,
        [&](const test_support::SweptFailure& failure) {
            // The message of a refused line comes after the replace is done: failing to show it takes
            // nothing back.
            const bool message = failure.call == "app7#34";
            // A call failing inside a hole's script comes back as no error but as Velmar's undo of the
            // whole replace and a warning.
            const bool scriptFailed =
                VelmarMessages() ==
                std::vector<std::wstring>{L"Не удалось построить конструктивный элемент.\r\nПроверьте правильность позиционирования."};
            completed = (!failure.raised || message) && !scriptFailed;
            if (!completed) {
                EXPECT_EQ(state(), before);
            } else {
                ASSERT_EQ(macros_->Live().size(), 1u);
                EXPECT_NE(macros_->Live().front(), old) << "a new set";
                EXPECT_EQ(spc(), row.spc);
                EXPECT_EQ(document().HasSpcDescription(), row.spcObjects) << "none made where the settings make no spc objects";
                EXPECT_EQ(SpcObjectsOfNoComponent(), hasNeighbour ? 1u : 0u);
                EXPECT_EQ(assembly().Components().size(), row.components);
                const std::vector<std::string> sources = sim::Patterns::SourceNames(array);
                EXPECT_EQ(sources.size(), 1u);
                EXPECT_NE(sources, oldSources) << "the new set in the array";
                EXPECT_EQ(arrays(), row.arrays);
            }
            // Velmar refusing to leave edit mode, at the start or at the end, fails the replace.
            if (failure.call != "app7#25") {
                EXPECT_FALSE(velmar().App7().Bool(25));
            } else {
                EXPECT_TRUE(failure.raised);
            }
        },
        150, {half, 2});
    if (half != 0)
        return;
    // Velmar refuses to delete the old set's macro element: the replace fails as on a failing call.
    const auto refused = start();
    document().RefuseDeletion([&](IUnknown* object) { return sim::Object::From(object) == &old->V5(); });
    EXPECT_THROW(refused(), _com_error);
    document().RefuseDeletion(nullptr);
    EXPECT_EQ(state(), before);
}

INSTANTIATE_TEST_SUITE_P(EveryRow, SetReplaceSweep, testing::Combine(testing::ValuesIn(kSetReplaceRows), testing::Values(size_t{0}, size_t{1})),
                         [](const testing::TestParamInfo<std::tuple<SetReplaceRow, size_t>>& info) {
                             return test_support::SweptRowName(std::get<0>(info.param).name) + "Half" +
                                    std::to_string(std::get<1>(info.param) + 1);
                         });

TEST_F(FastenerSets, WithoutSpcObjectsAReplacedSetsPartsStillTakeTheOldOnesPlaceInTheirPatterns)
{
    const auto model = HoleModel({plate.bores[0]});
    NewSet(model.get(), Set({kBolt, kNut})).Apply();
    sim::GeoEntity& old = *macros_->Live().at(0);
    sim::Component& bolt = *assembly().Components().at(0);
    sim::Pattern& array = patterns_->Add("boltArray", {bolt.part->V7().Ptr()});
    settings_.CreateSpcObject = false;
    NewSet(model.get(), Set({kBolt, kNut}), old.Entity()).Apply();
    ASSERT_EQ(assembly().Components().size(), 2u);
    EXPECT_EQ(sim::Patterns::SourceNames(array), std::vector<std::string>{assembly().Components().at(0)->part->V7().Name()});
    EXPECT_TRUE(bolt.deleted);
    // The old members' spc objects went with them.
    EXPECT_EQ(document().Spc().Objects().size(), 0u);
}

namespace {

// The sweep below is long: each of three test cases fails every third host call.
class ReplaceAllSweep : public FastenerSets, public testing::WithParamInterface<size_t> {};

} // namespace

// "Заменить все" over two sets, one in each bore: each set is replaced at its own place, its bolt by the
// new set's, a line the user attached to it staying with it; with every host call failing in turn each
// set is the old one or the new one, whole, and the user's line holds one of them.
TEST_P(ReplaceAllSweep, ReplacesEachSetAtItsOwnPlaceAndAFailureLeavesEachSetOldOrNew)
{
    // Velmar's main window is gone: the pass runs without progress windows (they have tests of their own).
    HWND gone = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    std::unique_ptr<VelmarNormset3D> controller;
    std::unique_ptr<Finder3D> finder;
    sim::ObjectRef client;
    auto reset = [&] {
        finder.reset();
        controller.reset();
        client = nullptr;
        set_.reset();
        client_ = nullptr;
        macros_.reset();
        patterns_.reset();
        leaders_.reset();
    };
    // Two sets of a bolt, the first bolt with a line the user attached, then the finder's sets and the
    // reference book's other set, as the find panel's choice leaves them.
    sim::SpcObject* handLine = nullptr;
    auto setUp = [&] {
        reset();
        RestartWithElements();
        Prepare();
        const auto model = HoleModel({plate.bores[0], plate.bores[1]});
        NewSet(model.get(), Set({kBolt})).Apply();
        set_.reset();
        handLine = &document().Spc().AddObject(25);
        handLine->ColumnA(5, 1)->SetText(L"Прокладка");
        handLine->Link(assembly().Components().at(0)->part->V7());
        velmar().User().Clear();
        client = book().NewProvider();
        controller = std::make_unique<VelmarNormset3D>(App5(), App7(), client->As<INMClient>(), 2, 5);
        finder = std::make_unique<Finder3D>(gone, controller.get(), NMObjTCS, false, false);
        controller->location = L"TKR M12";
        controller->LoadResponseXml(_bstr_t(Set({kBolt12}, L"Комплект крепежа М12").c_str()));
    };
    // The live sets, old and new, with their bores (the face each bolt is mated in); the live components,
    // those of them the user's line holds, and the mates.
    struct Seen {
        size_t old = 0;
        size_t replaced = 0;
        std::set<std::string> bores;
        size_t components = 0;
        size_t handLineHolds = 0;
        size_t mates = 0;
    };
    auto seen = [&] {
        Seen now;
        for (sim::GeoEntity* set : macros_->Live()) {
            const std::string described = macros_->Describe(*set);
            auto holds = [&](const char* text) { return described.find(text) != std::string::npos; };
            const bool isOld = holds("крепежа М10") && holds(": \"Болт М10\"");
            const bool isNew = holds("крепежа М12") && holds(": \"Болт М12\"");
            EXPECT_TRUE(isOld != isNew) << described;
            EXPECT_EQ(set->inner.size(), 1u) << described;
            now.old += isOld;
            now.replaced += isNew;
            const sim::Part* bolt = set->inner.empty() ? nullptr : velmar().FindPart(set->inner.front()->Primary());
            for (const sim::MateRecord& mate : world().geometry.Mates()) {
                const sim::GeoEntity* first = world().geometry.EntityOf(mate.first);
                const sim::GeoEntity* second = world().geometry.EntityOf(mate.second);
                if (mate.kind == 4 && first && second && second->part == bolt && first->Name().rfind("plateBore", 0) == 0)
                    now.bores.insert(first->Name());
            }
        }
        for (sim::Component* component : assembly().Components()) {
            const std::vector<sim::SpcObject*> holding = assembly().SpcObjectsOf(*component);
            const bool live = component->inserted && !component->deleted;
            now.components += live;
            now.handLineHolds += live && std::find(holding.begin(), holding.end(), handLine) != holding.end();
        }
        now.mates = world().geometry.Mates().size();
        return now;
    };

    setUp();
    const Seen before = seen();
    ASSERT_EQ(before.old, 2u);
    const std::set<std::string> bores{"plateBore1", "plateBore2"};
    EXPECT_EQ(before.bores, bores);
    finder->ReplaceAllNMObj();
    const Seen after = seen();
    EXPECT_EQ(after.replaced, 2u);
    EXPECT_EQ(after.bores, bores) << "each new set in the old one's bore";
    EXPECT_EQ(after.components, 2u);
    EXPECT_EQ(after.handLineHolds, 1u) << "the user's line stays with the first bolt's successor";
    EXPECT_EQ(after.mates, before.mates);
    EXPECT_EQ(document().Spc().Objects().size(), 3u) << "one spc object a bolt, and the user's";
    EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{L"Просмотр документа завершен. Выполнено замен: 2 из 2."});

    // Every host call failing in turn, each run from the two old sets again (Velmar's undo takes back what
    // the runs before replaced): each set is old or new, whole and in its own bore.
    setUp();
    velmar().Undo().Clear();
    auto again = [&] {
        finder.reset();
        controller.reset();
        velmar().Undo().Close();
        while (velmar().Undo().UndoLast()) {
        }
        velmar().Undo().Clear();
        document().V7().Value(69) = _variant_t(VARIANT_FALSE, VT_I2);
        velmar().App7().Value(25) = _variant_t(VARIANT_FALSE, VT_I2);
        controller = std::make_unique<VelmarNormset3D>(App5(), App7(), client->As<INMClient>(), 2, 5);
        finder = std::make_unique<Finder3D>(gone, controller.get(), NMObjTCS, false, false);
        EXPECT_EQ(seen().old, 2u) << "the run starts from the old sets";
        controller->location = L"TKR M12";
        controller->LoadResponseXml(_bstr_t(Set({kBolt12}, L"Комплект крепежа М12").c_str()));
    };
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            again();
            return [&] { finder->ReplaceAllNMObj(); };
        },
        [&](const test_support::SweptFailure&) {
            const Seen now = seen();
            EXPECT_EQ(now.old + now.replaced, 2u) << "each set there once, old or new";
            EXPECT_EQ(now.bores, bores);
            EXPECT_EQ(now.components, 2u);
            EXPECT_EQ(now.handLineHolds, 1u);
            EXPECT_EQ(now.mates, before.mates);
            EXPECT_EQ(document().Spc().Objects().size(), 3u);
        },
        100, {GetParam(), 3});
    reset();
}

INSTANTIATE_TEST_SUITE_P(EveryThirdCall, ReplaceAllSweep, testing::Values(0u, 1u, 2u));

namespace {

// The table below is long: each of three test cases runs every third row.
class FindAndReplace : public FastenerSets, public testing::WithParamInterface<size_t> {};

} // namespace

// Command 2 through LIBRARYENTRY for each kind, over two objects of the kind: listed and counted; the next
// and the previous one highlighted; the reference book's choice replacing the highlighted one, or all of
// them. Each replaced object is replaced at its own place by one new object with its spc objects, and a
// replace-all tells its count. A set answer that names no member is refused and changes nothing.
TEST_P(FindAndReplace, StepsThroughEachKindAndReplacesTheHighlightedOneOrAllInPlace)
{
    using namespace response_xml;
    const std::wstring stud = Response(
        Object(L"MethodParameters", {{L"d", L"10"}}) +
        Object(L"Method", {{L"NM_IID", L"PART:Stud10"}, {L"URL", models_.Path()}, {L"MethodBody", L"Stud10.vlm"}}) +
        Object(L"ExternalParameters", {{L"Designation", L"Шпилька М10"}, {L"Quarvend_IID", L"Q-2"}, {L"spcSection", L"25"},
                                       {L"spcSubSection", L"0"}, {L"spcNestedBlock", L"0"}, {L"spcNestedSection", L"0"},
                                       {L"spcAdditionalBlock", L"0"}, {L"spcColumns", L"5.1=Designation"}}));
    const std::wstring hole12 = Response(
        Object(L"MethodParameters", {{L"D", L"12"}}) +
        Object(L"Method", {{L"NM_IID", L"ELEM:HOLE[D=12]"}, {L"URL", models_.Path()}, {L"MethodBody", L"hole.vbs"}}) +
        Object(L"ExternalParameters", {{L"Designation", L"Отверстие 12"}, {L"Quarvend_IID", L"Q-12"}}));
    std::vector<sim::Part*> bolts;
    // Each kind: the type button, two objects of it, the reference book's choice and where it was made,
    // the panel's count of the two, and the live objects of the kind with where each is and how many spc
    // objects include it.
    struct Kind {
        long type;
        std::function<void()> populate;
        std::wstring answer;
        const wchar_t* location;
        const wchar_t* count;
        std::function<Lines()> now;
    };
    auto spcOf = [&](sim::Part* part) {
        size_t n = 0;
        for (sim::SpcObject* object : document().Spc().Objects())
            n += std::any_of(object->linked.begin(), object->linked.end(),
                             [&](const IDispatchPtr& linked) { return sim::Object::From(linked) == &part->V7(); });
        return std::to_string(n);
    };
    const Kind component{
        9050,
        [&] {
            bolts.clear();
            for (const char* name : {"bolt1", "bolt2"}) {
                bolts.push_back(&sim::AddLibraryComponent(velmar(), world().geometry, name, {L"B1", L"Болт", L"old\\bolt.vlm"}));
                document().Spc().AddObject(25).Link(bolts.back()->V7());
            }
        },
        stud, L"B1", L"Нормсет: 2",
        [&] {
            Lines lines;
            const std::vector<sim::Object*>& tree = world().geometry.Shape(*world().geometry.topPart).features;
            for (sim::Part* bolt : bolts)
                if (std::find(tree.begin(), tree.end(), &bolt->Feature()) != tree.end())
                    lines.push_back(bolt->V5().Name() + ", spc " + spcOf(bolt));
            for (const sim::Component* component : assembly().Components())
                if (component->inserted && !component->deleted) {
                    const std::string file = sim::Utf8(component->part->V5().Text(IVel5Part::FileName));
                    lines.push_back(component->part->V5().Name() + " " + file.substr(file.rfind('\\') + 1) + ", spc " +
                                    spcOf(component->part));
                }
            return lines;
        }};
    const Kind element{
        9051,
        [&] {
            for (sim::GeoEntity* bore : {plate.bores[0], plate.bores[1]})
                NewElement(*HoleModel({bore}))->Apply();
        },
        hole12, L"HOLE [12]", L"Конструктивные элементы: 2",
        [&] {
            Lines lines;
            for (const sim::BuiltElement* built : elements->Live())
                lines.push_back(sim::Utf8(built->macro->HostName()) + " in " + built->references.at(2));
            return lines;
        }};
    const Kind set{
        9052,
        [&] {
            const auto model = HoleModel({plate.bores[0], plate.bores[1]});
            NewSet(model.get(), Set({kBolt})).Apply();
            set_.reset();
        },
        Set({kBolt12}, L"Комплект крепежа М12"), L"TKR M12", L"Крепежные соединения: 2",
        [&] {
            Lines lines;
            for (sim::GeoEntity* macro : macros_->Live()) {
                std::string line = macros_->Describe(*macro);
                sim::Part* bolt = macro->inner.empty() ? nullptr : velmar().FindPart(macro->inner.front()->Primary());
                for (const sim::MateRecord& mate : world().geometry.Mates()) {
                    const sim::GeoEntity* first = world().geometry.EntityOf(mate.first);
                    const sim::GeoEntity* second = world().geometry.EntityOf(mate.second);
                    if (mate.kind == 4 && first && second && second->part == bolt && first->Name().rfind("plateBore", 0) == 0)
                        line += " in " + first->Name();
                }
                lines.push_back(line + ", spc " + (bolt ? spcOf(bolt) : "-"));
            }
            return lines;
        }};
    const std::wstring next = L"; choose 9151 0; button 9054; button 9053; button 9054; button 9055";
    const std::wstring all = L"; choose 9151 0; button 9055";
    const std::wstring replaceAll = L"Просмотр документа завершен. Выполнено замен: 2 из 2.";
    struct Row {
        const char* what;
        const Kind& kind;
        std::wstring choose;             // the first panel run after the type button
        const wchar_t* button;           // then the replacement
        Lines highlighted;               // in turn, each as long as it stayed highlighted
        Lines after;
        std::vector<std::wstring> messages;
        std::wstring warning = L"";   // the command's refusal
    };
    Kind noMembers = set;
    noMembers.answer = Set({});
    const Lines bothSets = {"set macro \"Комплект крепежа М10\", marked \"TKR3D\": \"Болт М10\" in plateBore1, spc 1",
                            "set macro \"Комплект крепежа М10 (1)\", marked \"TKR3D\": \"Болт М10\" in plateBore2, spc 1"};
    const Row rows[] = {
        {"the next component", component, next, L"button 9156", {"bolt15", "bolt25", "bolt15", "bolt25", "bolt15"},
         {"bolt15, spc 1", "comp15 Stud10.vlm, spc 1"}, {}},
        {"all components", component, all, L"button 9157", {"bolt15", "comp15"},
         {"comp15 Stud10.vlm, spc 1", "comp25 Stud10.vlm, spc 1"}, {replaceAll}},
        {"the next element", element, next, L"button 9156",
         {"element1Cut5", "element2Cut5", "element1Cut5", "element2Cut5", "element1Cut5"},
         {"Отверстие 10,5 in plateBore1", "Отверстие 12 in plateBore2"}, {}},
        {"all elements", element, all, L"button 9157", {"element1Cut5", "element3Cut5"},
         {"Отверстие 12 in plateBore1", "Отверстие 12 (1) in plateBore2"}, {replaceAll}},
        {"the next set", set, next, L"button 9156", {"macro15", "macro25", "macro15", "macro25", "macro15"},
         {"set macro \"Комплект крепежа М10\", marked \"TKR3D\": \"Болт М10\" in plateBore1, spc 1",
          "set macro \"Комплект крепежа М12\", marked \"TKR3D\": \"Болт М12\" in plateBore2, spc 1"},
         {}},
        {"all sets", set, all, L"button 9157", {"macro15", "macro35"},
         {"set macro \"Комплект крепежа М12\", marked \"TKR3D\": \"Болт М12\" in plateBore1, spc 1",
          "set macro \"Комплект крепежа М12 (1)\", marked \"TKR3D\": \"Болт М12\" in plateBore2, spc 1"},
         {replaceAll}},
        // An answer that names no member changes nothing.
        {"the next set by an answer naming no member", noMembers, all, L"button 9156", {"macro15"}, bothSets, {}, kNoMembers},
        {"all sets by an answer naming no member", noMembers, all, L"button 9157", {"macro15"}, bothSets, {}, kNoMembers},
    };
    for (size_t i = GetParam(); i < std::size(rows); i += 3) {
        const Row& row = rows[i];
        StartAgain();
        row.kind.populate();
        const size_t spcBefore = document().Spc().Objects().size();
        velmar().User().Clear();
        journal().Clear();
        book().QueueSelect(testsupport::Answer(0, row.kind.answer, L"", row.kind.location));
        const std::wstring first = L"button " + std::to_wstring(row.kind.type) + row.choose;
        // A refused answer ends the command: the panel does not open again.
        std::vector<std::wstring> runs = {first, row.button};
        if (row.warning.empty())
            runs.push_back(L"cancel");
        for (const std::wstring& steps : runs)
            velmar().User().Answer("panel", _variant_t(steps.c_str()));
        const Outcome outcome = Run(2);
        EXPECT_FALSE(outcome.dialog) << row.what << ": " << sim::Utf8(outcome.message);
        EXPECT_EQ(outcome.message, row.warning) << row.what;
        EXPECT_THAT(velmar().Panels().Prompts(), testing::Contains(row.kind.count)) << row.what;
        Lines highlighted;
        for (const std::string& line : journal().LinesOf("selectionA"))
            if (line.rfind("selectionA.1(", 0) == 0) {
                const std::string object = line.substr(13, line.size() - 14);
                if (highlighted.empty() || highlighted.back() != object)
                    highlighted.push_back(object);
            }
        EXPECT_EQ(highlighted, row.highlighted) << row.what;
        EXPECT_EQ(row.kind.now(), row.after) << row.what;
        EXPECT_EQ(document().Spc().Objects().size(), spcBefore) << row.what << ": no spc object lost or doubled";
        EXPECT_EQ(VelmarMessages(), row.messages) << row.what;
    }
    leaders_.reset();
}

INSTANTIATE_TEST_SUITE_P(EveryThirdRow, FindAndReplace, testing::Values(0u, 1u, 2u));

// The document passes over two sets the library built, of a bolt and a nut each: every member is visited
// once, inside its set, and counted once.
TEST_F(FastenerSets, TheSpcPassAndTheRelinkCountEachMemberOfASetOnce)
{
    using namespace response_xml;
    struct Row {
        unsigned command;
        const wchar_t* message;
    };
    const Row rows[] = {
        {4, L"Просмотр документа завершен. Создано объектов спецификации: 4 из 4."},
        {3, L"Просмотр документа завершен. Обновлено ссылок: 4 из 4."},
    };
    for (const Row& row : rows) {
        StartAgain();
        const auto model = HoleModel({plate.bores[0], plate.bores[1]});
        NewSet(model.get(), Set({kBolt, kNut})).Apply();
        set_.reset();
        for (const MemberSpec& member : {kBolt, kNut})
            book().SetPlacedResponse(std::wstring(L"PART:") + member.body,
                                     Response(Object(L"Method", {{L"NM_IID", std::wstring(L"PART:") + member.body},
                                                                 {L"URL", models_.Path()}, {L"MethodBody", member.body}}) +
                                              Object(L"ExternalParameters",
                                                     {{L"Designation", member.designation}, {L"spcSection", L"25"},
                                                      {L"spcSubSection", L"0"}, {L"spcNestedBlock", L"0"}, {L"spcNestedSection", L"0"},
                                                      {L"spcAdditionalBlock", L"0"}, {L"spcColumns", L"5.1=Designation"}})));
        velmar().User().Clear();
        answers = {IDYES};
        const Outcome outcome = Run(row.command);
        EXPECT_FALSE(outcome.dialog) << row.command << ": " << sim::Utf8(outcome.message);
        EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{row.message}) << row.command;
        EXPECT_EQ(document().Spc().Objects().size(), 4u) << row.command << ": one spc object a member";
    }
}
