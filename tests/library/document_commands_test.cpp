// The whole-document commands of an assembly run through LIBRARYENTRY: the relink of components to the
// model files the reference book names now (3 after its question, 68 without) and the spc objects of
// every standard part (4), each with its host calls in order, the documents they accept, and every host
// call failing in turn; and the find panel's replace-all (2) with the assembly read back, under the same
// sweep.
#include "library/document_stand_in.h"

#include "tools/finder_3d.h"
#include "core/progress_wnd.h"
#include "objects/all_settings.h"
#include "library/spc_pass_stand_in.h"
#include "support/host_fault_sweep.h"

#include <gmock/gmock.h>

#include <functional>
#include <optional>
#include <regex>
#include <sstream>

using namespace document_test;
using response_xml::Object;
using response_xml::Response;

namespace {

const wchar_t kRelinkQuestion[] = L"Ссылки всех вставленных в сборку стандартных изделий будут обновлены. Продолжить?";
const wchar_t kScrewModel[] = L"file Screw.vlm\nvariable d 8\nvariable L 30\nplane Plane\naxis Axis\nmass 0.01\nmaterial Сталь 10\n";
const wchar_t kSpcQuestion[] = L"У всех вставленных в документ стандартных изделий будут созданы объекты спецификации. Продолжить?";

class DocumentCommands : public DocumentStandIn {
protected:
    // Two bolts of one identifier; unless few: a nut whose model file is missing, a fastener set's
    // washer, a screw the reference book does not know and a part whose answer is a script.
    void Populate(bool few = false)
    {
        parts_ = {&AddComponent("bolt1", {L"B1", L"Болт", L"old\\bolt.vlm"})};
        if (!few)
            parts_.push_back(&AddComponent("nut", {L"N1", L"Гайка", L"old\\nut.vlm"}));
        parts_.push_back(&AddComponent("bolt2", {L"B1", L"Болт", L"old\\bolt.vlm"}));
        book().SetPlacedResponse(L"B1", Component(L"Bolt.vlm", L"Болт", true));
        book().SetPlacedResponse(L"N1", Component(L"Missing.vlm", L"Гайка", false));
        journal().Clear();
        if (few)
            return;
        sim::GeoEntity& set = AddElement("set", true);
        parts_.push_back(&AddComponent("washer", {L"W1", L"Шайба", L"old\\washer.vlm"}, &set));
        parts_.push_back(&AddComponent("screw", {L"S1", L"Винт", L"old\\screw.vlm"}));
        parts_.push_back(&AddComponent("pin", {L"P1", L"Штифт", L"old\\pin.vlm"}));
        WriteFileBytes(models_ / L"Washer.vlm", "a model file");
        WriteFileBytes(models_ / L"Pin.vbs", "' a script");
        book().SetPlacedResponse(L"W1", Component(L"Washer.vlm", L"Шайба", true));
        book().SetPlacedResponse(L"P1", Component(L"Pin.vbs", L"Штифт", true));
        journal().Clear();
    }

    // The two bolts, the first with its spc object moved by the user to section 30 with a note of the
    // user's, the second without one.
    void PopulateMoved()
    {
        Populate(true);
        document().Spc().DefineColumnA({6, 1, L"Примечание"});
        sim::SpcObject& moved = document().Spc().AddObject(30);
        moved.Link(parts_[0]->V7());
        moved.ColumnA(5, 1)->SetText(L"Болт");
        moved.ColumnA(6, 1)->SetText(L"user note");
        journal().Clear();
    }
    // How the screw's answer of PopulateDamaged is damaged.
    enum class Damage { Section, Mass, Cut };
    // Two bolts, then a screw whose answer holds a section or a mass that is no number, or stops midway,
    // then a nut.
    void PopulateDamaged(Damage damage)
    {
        Populate(true);
        parts_.push_back(&AddComponent("screw", {L"S1", L"Винт", L"old\\screw.vlm"}));
        parts_.push_back(&AddComponent("nut", {L"N1", L"Гайка", L"old\\nut.vlm"}));
        WriteFileBytes(models_ / L"Screw.vlm", "a model file");
        WriteFileBytes(models_ / L"Nut.vlm", "a model file");
        std::wstring screw = Component(L"Screw.vlm", L"Винт", true, damage == Damage::Section ? L"abc" : L"25",
                                       damage == Damage::Mass ? L"abc" : L"0,01");
        if (damage == Damage::Cut)
            screw.resize(screw.size() / 2);
        book().SetPlacedResponse(L"S1", screw);
        book().SetPlacedResponse(L"N1", Component(L"Nut.vlm", L"Гайка", true));
        journal().Clear();
    }
    // What the trace says of the screw's answer that PopulateDamaged damaged.
    static const wchar_t* Reason(Damage damage)
    {
        switch (damage) {
        case Damage::Section: return L"StrToInt64(abc) invalid argument";
        case Damage::Mass: return L"StrToDouble(abc) invalid argument";
        default: return L"Start-end tags mismatch";
        }
    }

    // A component's answer: its model file below the models' folder, with or without a bill-of-materials place.
    std::wstring Component(const std::wstring& body, const std::wstring& name, bool spc, const wchar_t* section = L"25",
                           const wchar_t* mass = nullptr)
    {
        std::vector<Attr> external = {{L"Designation", name}, {L"Quarvend_IID", L"Q-" + name}};
        if (mass)
            external.push_back({L"MACC", mass});
        if (spc) {
            for (const Attr& attr : std::vector<Attr>{{L"spcSection", section}, {L"spcSubSection", L"0"}, {L"spcNestedBlock", L"0"},
                                                      {L"spcNestedSection", L"0"}, {L"spcAdditionalBlock", L"0"},
                                                      {L"spcColumns", L"5.1=Designation"}})
                external.push_back(attr);
        }
        return Response(Object(L"MethodParameters", {{L"d", L"10"}}) +
                        Object(L"Method", {{L"NM_IID", L"PART:X"}, {L"URL", models_.Path()}, {L"MethodBody", body}}) +
                        Object(L"ExternalParameters", external));
    }

    // The spc objects that include each part.
    std::vector<size_t> SpcObjects()
    {
        std::vector<size_t> counts;
        for (sim::Part* part : parts_)
            counts.push_back(SpcObjectsOf(*part));
        return counts;
    }
    // Each part's spc objects as velmar-sim prints them.
    Lines SpcPlaces()
    {
        Lines places;
        for (sim::Part* part : parts_) {
            std::string place;
            for (sim::SpcObject* object : document().Spc().Objects())
                if (std::any_of(object->linked.begin(), object->linked.end(),
                                [&](const IDispatchPtr& linked) { return sim::Object::From(linked) == &part->V7(); }))
                    place += (place.empty() ? "" : "; ") + object->Describe();
            places.push_back(place);
        }
        return places;
    }
    size_t SpcObjectsOf(sim::Part& part)
    {
        size_t n = 0;
        for (sim::SpcObject* object : document().Spc().Objects())
            n += std::any_of(object->linked.begin(), object->linked.end(),
                             [&](const IDispatchPtr& linked) { return sim::Object::From(linked) == &part.V7(); });
        return n;
    }

    // The library components in the assembly now, as velmar-sim lists them: those it started with that
    // are still in the top part's tree, then those placed since; each with its NM_ID, its model file and
    // how many spc objects include it.
    Lines LibraryNow()
    {
        std::vector<sim::Part*> now;
        const std::vector<sim::Object*>& tree = world().geometry.Shape(*world().geometry.topPart).features;
        for (sim::Part* part : parts_)
            if (std::find(tree.begin(), tree.end(), &part->Feature()) != tree.end())
                now.push_back(part);
        for (sim::Component* component : assembly().Components())
            now.push_back(component->part);
        Lines lines;
        for (sim::Part* part : now) {
            const std::string name = part->V5().Name();
            lines.push_back(Named(name.substr(0, name.size() - 1) + ": " + sim::Utf8(sim::LibraryIdOf(velmar(), *part)) + ", " +
                                  sim::Utf8(Link(*part)) + ", spc " + std::to_string(SpcObjectsOf(*part))));
        }
        return lines;
    }

    // Three bolts of one name (two unless few) and a nut, each with its spc object; the screw's model is
    // known too.
    void PopulateForReplace(bool few = false)
    {
        parts_ = {&AddComponent("bolt1", {L"B1", L"Болт", L"old\\bolt.vlm"}), &AddComponent("bolt2", {L"B1", L"Болт", L"old\\bolt.vlm"}),
                  &AddComponent("nut", {L"N1", L"Гайка", L"old\\nut.vlm"})};
        if (!few)
            parts_.push_back(&AddComponent("bolt3", {L"B2", L"Болт", L"old\\bolt.vlm"}));
        for (sim::Part* part : parts_)
            document().Spc().AddObject(25).Link(part->V7());
        world().catalogue.Add(sim::ParseModel(kScrewModel));
        WriteFileBytes(models_ / L"Screw.vlm", "another model file");
        journal().Clear();
    }
    // Command 2 with the panel choosing the bolts, the reference book answering, and "replace all".
    void QueueReplaceAll(const std::wstring& response)
    {
        sim::SelectAnswer answer;
        answer.responseXml = response;
        book().QueueSelect(answer);
        for (const wchar_t* steps : {L"choose 9151 0; button 9055", L"button 9157", L"cancel"})
            velmar().User().Answer("panel", _variant_t(steps));
    }
    std::vector<sim::Part*> parts_;
};

} // namespace

TEST_F(DocumentCommands, RelinkPointsComponentsAtTheFilesTheReferenceBookNamesAskingOncePerIdentifier)
{
    Populate();
    // A second nut: a file found missing is not the answer for the rest of its identifier.
    parts_.push_back(&AddComponent("nut2", {L"N1", L"Гайка", L"old\\nut.vlm"}));
    journal().Clear();
    answers = {IDYES};
    const Outcome outcome = Run(3);
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_EQ(outcome.boxes, std::vector<std::wstring>{kRelinkQuestion});
    EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{L"Просмотр документа завершен. Обновлено ссылок: 3 из 7."});
    const std::wstring bolt = models_.Path() + L"Bolt.vlm";
    EXPECT_EQ(Link(*parts_[0]), bolt);
    EXPECT_EQ(Link(*parts_[1]), L"old\\nut.vlm") << "a missing file leaves the link";
    EXPECT_EQ(Link(*parts_[2]), bolt);
    EXPECT_EQ(Link(*parts_[3]), models_.Path() + L"Washer.vlm") << "a fastener set's member";
    EXPECT_EQ(Link(*parts_[4]), L"old\\screw.vlm") << "no answer";
    EXPECT_EQ(Link(*parts_[5]), L"old\\pin.vlm") << "a script is no model";
    EXPECT_EQ(Link(*parts_[6]), L"old\\nut.vlm") << "asked again, the file still missing";
    EXPECT_EQ(document().Rebuilds(), 1);
    EXPECT_THAT(trace, testing::HasSubstr(L"Bad Response!"));
    ExpectJournalAsIn(__FILE__, "relink.journal");
}

TEST_F(DocumentCommands, RelinkTakesAssembliesAndFromHost15PartsAndTheSilentCommandNeverAsks)
{
    struct Row {
        const char* what;
        sim::HostVersion version;
        int type;
        unsigned command;
        std::deque<int> answers;
        std::vector<std::wstring> boxes;
        std::vector<std::wstring> messages;
        std::optional<Damage> damaged = {};   // PopulateDamaged: the screw's answer is skipped, the nut after it relinked
    };
    const std::wstring done = L"Просмотр документа завершен. Обновлено ссылок: 0 из 0.";
    const Row rows[] = {
        {"an empty assembly", {15, 0, 1, 0}, 5, 3, {IDYES}, {kRelinkQuestion}, {done}},
        {"no", {15, 0, 1, 0}, 7, 3, {IDNO}, {kRelinkQuestion}, {}},
        {"silent", {15, 0, 1, 0}, 7, 68, {}, {}, {done}},
        {"a part, 14.9.9", {14, 9, 9, 0}, 4, 68, {}, {L"Активный документ не является сборкой."}, {}},
        {"a part, 15.0.0", {15, 0, 0, 0}, 4, 68, {}, {}, {done}},
        {"a bill of materials", {15, 0, 0, 0}, 3, 68, {}, {L"Активный документ не является сборкой или деталью."}, {}},
        {"a damaged answer", {15, 0, 1, 0}, 5, 68, {}, {}, {L"Просмотр документа завершен. Обновлено ссылок: 3 из 4."}, Damage::Section},
        {"a damaged mass", {15, 0, 1, 0}, 5, 68, {}, {}, {L"Просмотр документа завершен. Обновлено ссылок: 3 из 4."}, Damage::Mass},
        {"an answer cut short", {15, 0, 1, 0}, 5, 68, {}, {}, {L"Просмотр документа завершен. Обновлено ссылок: 3 из 4."}, Damage::Cut},
    };
    for (const Row& row : rows) {
        Restart(row.version, row.type);
        parts_.clear();
        if (row.damaged)
            PopulateDamaged(*row.damaged);
        answers = row.answers;
        const Outcome outcome = Run(row.command);
        EXPECT_FALSE(outcome.dialog) << row.what << ": " << sim::Utf8(outcome.message);
        EXPECT_EQ(outcome.boxes, row.boxes) << row.what;
        EXPECT_EQ(VelmarMessages(), row.messages) << row.what;
        EXPECT_EQ(document().Rebuilds(), row.damaged ? 1 : 0) << row.what;
        if (row.damaged) {
            std::vector<std::wstring> links;
            for (sim::Part* part : parts_)
                links.push_back(Link(*part));
            EXPECT_EQ(links, (std::vector<std::wstring>{models_.Path() + L"Bolt.vlm", models_.Path() + L"Bolt.vlm", L"old\\screw.vlm",
                                                        models_.Path() + L"Nut.vlm"}));
            EXPECT_THAT(trace, testing::HasSubstr(L"Bad Response!"));
            EXPECT_THAT(trace, testing::HasSubstr(Reason(*row.damaged))) << row.what;
        }
    }
}

TEST_F(DocumentCommands, EveryHostCallOfARelinkFailingLeavesEachLinkOldOrNew)
{
    Populate(true);
    std::vector<std::wstring> before;
    for (sim::Part* part : parts_)
        before.push_back(Link(*part));
    TraceLog log(L"test", false);
    // One controller for every run: its settings are read once.
    auto controller = NewController(68);
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            for (size_t i = 0; i < parts_.size(); ++i)
                parts_[i]->V5().Value(IVel5Part::FileName) = before[i].c_str();
            velmar().User().Clear();
            return [&] { controller->Relink(); };
        },
        [&](const test_support::SweptFailure& failure) {
            for (size_t i = 0; i < parts_.size(); ++i) {
                const std::wstring link = Link(*parts_[i]);
                EXPECT_TRUE(link == before[i] || link == models_.Path() + L"Bolt.vlm")
                    << sim::Utf8(link) << " of part " << i;
            }
            if (failure.raised) {
                EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{}) << "a COM error ends the command";
            }
        },
        100);
    controller.reset();
}

TEST_F(DocumentCommands, SpcPassGivesEachStandardPartItsObjectAskingOncePerIdentifier)
{
    Populate();
    document().SetItemCount(2);
    document().SetCurrentItem(1);
    answers = {IDYES};
    const Outcome outcome = Run(4);
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_EQ(outcome.boxes, std::vector<std::wstring>{kSpcQuestion});
    // Per item: the bolts and the washer; the nut has no place in the bill of materials; the screw no
    // answer; the pin no model.
    EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{L"Просмотр документа завершен. Создано объектов спецификации: 6 из 12."});
    EXPECT_EQ(SpcObjects(), (std::vector<size_t>{1, 0, 1, 1, 0, 0}));
    EXPECT_EQ(document().ItemsMadeCurrent(), (std::vector<size_t>{0, 1, 1}));
    EXPECT_TRUE(document().SpcDescription().Bool(37)) << "the bulk switch is on again";
    ExpectJournalAsIn(__FILE__, "spc_pass.journal");
}

TEST_F(DocumentCommands, SpcPassAsksAgainAfterAFailedAnswerWhateverTheIdentifier)
{
    // The second bolt, renamed by the user, comes after the pin: its identifier was asked before the pin's
    // answer, a script, took the place of the current part.
    parts_ = {&AddComponent("bolt1", {L"B1", L"Болт", L"old\\bolt.vlm"}), &AddComponent("pin", {L"P1", L"Винт", L"old\\pin.vlm"}),
              &AddComponent("bolt2", {L"B1", L"Гайка", L"old\\bolt.vlm"})};
    WriteFileBytes(models_ / L"Pin.vbs", "' a script");
    book().SetPlacedResponse(L"B1", Component(L"Bolt.vlm", L"Болт", true));
    book().SetPlacedResponse(L"P1", Component(L"Pin.vbs", L"Штифт", true));
    answers = {IDYES};
    const Outcome outcome = Run(4);
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{L"Просмотр документа завершен. Создано объектов спецификации: 2 из 3."});
    EXPECT_EQ(SpcObjects(), (std::vector<size_t>{1, 0, 1}));
}

TEST_F(DocumentCommands, SpcPassCountsPerItemUnderTheHostsScopeNameAndRefusesWhatItCannotDo)
{
    struct Row {
        const char* what;
        sim::HostVersion version;
        int type;
        size_t items;
        bool create;                             // the setting CreateSpcObject
        std::vector<std::wstring> boxes;
        std::vector<std::wstring> messages;
        const wchar_t* scope;                    // in the trace
        std::function<void()> populate = nullptr;   // else the two bolts
        Lines places = {};                       // each part's spc objects afterwards, when given
        std::optional<Damage> damaged = {};      // the answer PopulateDamaged damaged, skipped
    };
    const std::wstring none = L"Просмотр документа завершен. Создано объектов спецификации: 0 из 0.";
    const wchar_t kPart[] = L"Активный документ не является сборкой, фрагментом, чертежом или спецификацией.";
    const wchar_t kOff[] = L"При текущей настройке параметров работы со стандартными изделиями запрещено создавать объекты "
                           L"спецификации.\r\nДля изменения текущей настройки вызовите из главного меню ВЕЛМАР-3D команду "
                           L"\"Библиотеки - Нормсет - Настройки\".";
    const Row rows[] = {
        {"three items, 14.0.1", {14, 0, 1, 0}, 5, 3, true, {kSpcQuestion},
         {L"Просмотр документа завершен. Создано объектов спецификации: 6 из 6."}, L"CreateSpcObjectsForGeom_14SP1"},
        {"one item, 14.0.0", {14, 0, 0, 0}, 7, 1, true, {kSpcQuestion},
         {L"Просмотр документа завершен. Создано объектов спецификации: 2 из 2."}, L"CreateSpcObjectsForGeom\r"},
        {"no parts", {15, 0, 1, 0}, 5, 1, true, {kSpcQuestion}, {none}, L"CreateSpcObjectsForGeom_14SP1"},
        {"a part document", {15, 0, 1, 0}, 4, 1, true, {kPart}, {}, nullptr},
        {"spc objects not wanted", {15, 0, 1, 0}, 5, 1, false, {kOff}, {}, nullptr},
        // The second bolt's object goes to its part's own place, not to where the user moved the first's.
        {"a moved object", {15, 0, 1, 0}, 5, 1, true, {kSpcQuestion}, {L"Просмотр документа завершен. Создано объектов спецификации: 2 из 2."},
         L"CreateSpcObjectsForGeom_14SP1", [this] { PopulateMoved(); },
         {"section 30, 5.1 \"Болт\", 6.1 \"user note\"", "section 25, 5.1 \"Болт\""}},
        {"a damaged answer", {15, 0, 1, 0}, 5, 1, true, {kSpcQuestion}, {L"Просмотр документа завершен. Создано объектов спецификации: 3 из 4."},
         L"CreateSpcObjectsForGeom_14SP1", [this] { PopulateDamaged(Damage::Section); },
         {"section 25, 5.1 \"Болт\"", "section 25, 5.1 \"Болт\"", "", "section 25, 5.1 \"Гайка\""}, Damage::Section},
        {"a damaged mass", {15, 0, 1, 0}, 5, 1, true, {kSpcQuestion}, {L"Просмотр документа завершен. Создано объектов спецификации: 3 из 4."},
         L"CreateSpcObjectsForGeom_14SP1", [this] { PopulateDamaged(Damage::Mass); },
         {"section 25, 5.1 \"Болт\"", "section 25, 5.1 \"Болт\"", "", "section 25, 5.1 \"Гайка\""}, Damage::Mass},
        {"an answer cut short", {15, 0, 1, 0}, 5, 1, true, {kSpcQuestion}, {L"Просмотр документа завершен. Создано объектов спецификации: 3 из 4."},
         L"CreateSpcObjectsForGeom_14SP1", [this] { PopulateDamaged(Damage::Cut); },
         {"section 25, 5.1 \"Болт\"", "section 25, 5.1 \"Болт\"", "", "section 25, 5.1 \"Гайка\""}, Damage::Cut},
    };
    for (const Row& row : rows) {
        Restart(row.version, row.type);
        parts_.clear();
        if (row.populate)
            row.populate();
        else if (std::string(row.what) != "no parts")
            Populate(true);
        document().SetItemCount(row.items);
        SetSetting(L"CreateSpcObject", row.create);
        answers = {IDYES};
        const Outcome outcome = Run(4);
        EXPECT_FALSE(outcome.dialog) << row.what << ": " << sim::Utf8(outcome.message);
        EXPECT_EQ(outcome.boxes, row.boxes) << row.what;
        EXPECT_EQ(VelmarMessages(), row.messages) << row.what;
        if (row.scope) {
            EXPECT_THAT(trace, testing::HasSubstr(std::wstring(L"VelmarNormset3D::") + row.scope)) << row.what;
        }
        if (!row.places.empty()) {
            EXPECT_EQ(SpcPlaces(), row.places) << row.what;
        }
        if (row.damaged) {
            EXPECT_THAT(trace, testing::HasSubstr(L"Bad Response!"));
            EXPECT_THAT(trace, testing::HasSubstr(Reason(*row.damaged))) << row.what;
        }
    }
}

TEST_F(DocumentCommands, EveryHostCallOfAnSpcPassFailingLeavesOneObjectOrNoneAndTheSwitchesBack)
{
    sim::Part& bolt = AddComponent("bolt", {L"B1", L"Болт", L"old\\bolt.vlm"});
    parts_ = {&bolt};
    book().SetPlacedResponse(L"B1", Component(L"Bolt.vlm", L"Болт", true));
    TraceLog log(L"test", false);
    auto controller = NewController(4);
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            velmar().User().Clear();
            document().SetCurrentItem(0);
            document().SpcDescription().Value(37) = _variant_t(VARIANT_TRUE, VT_I2);
            return [&] { controller->CreateSpcObjects(); };
        },
        [&](const test_support::SweptFailure& failure) {
            EXPECT_LE(SpcObjects().at(0), 1u);
            // What a failed restoring call leaves is Velmar's, and the command's failure; any other failure
            // finds the starting item current and the bulk switch on again.
            if (failure.call == "item1#22" || failure.call == "spcDsc#37") {
                EXPECT_TRUE(failure.raised);
            }
            if (failure.call != "item1#22") {
                EXPECT_EQ(document().CurrentItem(), 0u);
            }
            if (failure.call != "spcDsc#37") {
                EXPECT_TRUE(document().SpcDescription().Bool(37));
            }
            EXPECT_EQ(ProgressWnd::Current(), nullptr);
            if (failure.raised) {
                EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{});
            }
        },
        100);
    controller.reset();
}

TEST_F(DocumentCommands, ReplaceAllFromTheFindPanelReplacesEveryComponentOfTheNameKeepingOneSpcObjectEach)
{
    PopulateForReplace();
    EXPECT_EQ(LibraryNow(), (Lines{"bolt1: B1, old\\bolt.vlm, spc 1", "bolt2: B1, old\\bolt.vlm, spc 1", "nut: N1, old\\nut.vlm, spc 1",
                                   "bolt3: B2, old\\bolt.vlm, spc 1"}));
    QueueReplaceAll(Component(L"Screw.vlm", L"Винт", true));
    const Outcome outcome = Run(2);
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_EQ(LibraryNow(), (Lines{"nut: N1, old\\nut.vlm, spc 1", "comp1: PART:X, <models>\\Screw.vlm, spc 1",
                                   "comp2: PART:X, <models>\\Screw.vlm, spc 1", "comp3: PART:X, <models>\\Screw.vlm, spc 1"}));
    EXPECT_EQ(document().Spc().Objects().size(), 4u) << "no spc object lost or doubled";
    EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{L"Просмотр документа завершен. Выполнено замен: 3 из 3."});
    // Each replacement is one step with undo recording off: the new component and its spc object come
    // before the old ones go. The user chose the replacement: the reference book is never asked by NM_ID.
    const std::regex ordered(R"(^(asm7#69|asm5\.70=|asm5\.60|asm5\.43|spcObjs#14|spcObj\d+#(50|51|34)|client#31)\b.*)");
    Lines pinned;
    for (const std::string& call : HostCalls())
        if (std::regex_match(call, ordered))
            pinned.push_back(call);
    Lines expected;
    for (const char* step : {"1 5 1", "2 6 2", "3 7 4"}) {
        std::istringstream numbers(step);
        std::string n, made, old;
        numbers >> n >> made >> old;
        for (const std::string& call : Lines
             {"asm7#69(-1)", "asm5.70=false", "asm5.60(\"<models>\\Screw.vlm\",comp" + n + "5,true)", std::string("spcObjs#14(25,0,&)"),
              "spcObj" + made + "#50(comp" + n + "7,0,&)", "spcObj" + old + "#51(-1,-1,&)", "spcObj" + old + "#34()",
              "asm5.43(bolt" + n + "5)", "asm7#69(0)", "asm5.70=true"})
            expected.push_back(call);
    }
    EXPECT_EQ(pinned, expected);
}

// The replace of all's sweep in two test cases, each failing every other host call, so that neither nears its
// time limit on a busy machine.
class DocumentCommandsReplaceAllFailures : public DocumentCommands, public testing::WithParamInterface<size_t> {};

TEST_P(DocumentCommandsReplaceAllFailures, EveryHostCallFailingLeavesEachBoltOldOrReplacedWithOneSpcObject)
{
    // A replacement turns Velmar's undo off: every run starts in a new Velmar. Velmar's main window is
    // gone, so the pass runs without progress windows: opening two for each of several hundred runs
    // would take most of the sweep's time (the progress window has tests of its own).
    HWND gone = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    std::unique_ptr<VelmarNormset3D> controller;
    std::unique_ptr<Finder3D> finder;
    TraceLog log(L"test", false);
    test_support::SweepHostCalls(
        [this]() -> sim::Velmar& { return velmar(); },
        [&] {
            finder.reset();
            controller.reset();
            Restart();
            PopulateForReplace(true);
            controller = NewController(2);
            finder = std::make_unique<Finder3D>(gone, controller.get(), NMObjPart, false, false);
            finder->FilterNMObjs(L"Болт");
            // The reference book's answer, as the panel's choice loads it.
            controller->LoadResponseXml(_bstr_t(Component(L"Screw.vlm", L"Винт", true).c_str()));
            return [&] { finder->ReplaceAllNMObj(); };
        },
        [&](const test_support::SweptFailure& failure) {
            size_t old = 0, replaced = 0;
            for (const std::string& line : LibraryNow()) {
                if (line == "nut: N1, old\\nut.vlm, spc 1")
                    continue;
                const bool isOld = std::regex_match(line, std::regex(R"(bolt\d: B1, old\\bolt\.vlm, spc 1)"));
                const bool isNew = std::regex_match(line, std::regex(R"(comp\d: PART:X, <models>\\Screw\.vlm, spc 1)"));
                EXPECT_TRUE(isOld || isNew) << line;
                old += isOld;
                replaced += isNew;
            }
            EXPECT_EQ(old + replaced, 2u) << "each bolt is there once, old or replaced";
            EXPECT_EQ(document().Spc().Objects().size(), 3u) << "no spc object lost or doubled";
            if (failure.call != "asm5.70") {
                EXPECT_TRUE(document().V5().Bool(IVel5Document3D::UndoRecording)) << "undo recording is on again";
            }
            EXPECT_EQ(ProgressWnd::Current(), nullptr);
            const std::vector<std::wstring> messages = VelmarMessages();
            if (failure.raised) {
                EXPECT_EQ(messages, std::vector<std::wstring>{}) << "a COM error ends the pass without its count";
            } else {
                EXPECT_EQ(messages.size(), 1u) << "the count of a pass that went on";
            }
        },
        300, {GetParam(), 2});
    finder.reset();
    controller.reset();
}

INSTANTIATE_TEST_SUITE_P(EveryOtherCall, DocumentCommandsReplaceAllFailures, testing::Values(0u, 1u));

TEST_F(DocumentCommands, SilentSpcObjectUsesThePresetTextAloneOrTheRegistrysPresets)
{
    NMAllSettings stored;
    stored.Presets = {NMSpcPreset(L"Первый"), NMSpcPreset(L"Второй")};
    stored.SpcPresetNum = 1;
    ASSERT_TRUE(stored.SaveToRegistry());
    const std::wstring xml = spc_pass::ObjectXml(L"Болт М10");
    struct Row {
        const char* what;
        sim::ObjectRef response;
        std::wstring preset;
        bool made;
        std::vector<std::wstring> presets;
    };
    const Row rows[] = {
        {"no preset text", book().MakeResponse(xml, true), L"", true, {L"Первый", L"Второй"}},
        {"a preset text", book().MakeResponse(xml, true), L"SectionNum=25", true, {L"По умолчанию"}},
        {"no object data", book().MakeResponse(xml, false), L"SectionNum=25", false, {L"Первый", L"Второй"}},
        {"no response", sim::ObjectRef(), L"", false, {L"Первый", L"Второй"}},
    };
    for (const Row& row : rows) {
        TraceLog log(L"test", false);
        const auto controller = NewController(0);
        const size_t before = document().Spc().Objects().size();
        const IUnknownPtr made = controller->SilentInsertSpec(row.response ? row.response->Ptr() : nullptr, row.preset);
        EXPECT_EQ(made != nullptr, row.made) << row.what;
        EXPECT_EQ(document().Spc().Objects().size(), before + (row.made ? 1 : 0)) << row.what;
        std::vector<std::wstring> presets;
        for (const NMSpcPreset& preset : controller->Settings.Presets)
            presets.push_back(preset.PresetName);
        EXPECT_EQ(presets, row.presets) << row.what;
        EXPECT_EQ(controller->Settings.SpcPresetNum, row.made && !row.preset.empty() ? 0 : 1) << row.what;
    }
}
