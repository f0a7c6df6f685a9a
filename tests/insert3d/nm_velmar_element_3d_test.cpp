// Constructive elements as the user inserts them (command 1: the reference book's positioning, the hole
// panel, the element's response) and as the element object builds them: the script's text, the element
// read back from the stand-in, the count of several placements, a failing script, every host call of a
// placement failing in turn.
#include "element_stand_in.h"

#include "core/number_text.h"
#include "core/progress_wnd.h"
#include "objects/bad_response.h"
#include "support/host_fault_sweep.h"

#include <gmock/gmock.h>

using namespace element_test;
using testing::HasSubstr;

namespace {

const wchar_t kCount3[] = L"Создано конструктивных элементов: %d из 3.";
const wchar_t kWarning[] = L"Не удалось построить конструктивный элемент.\r\nПроверьте правильность позиционирования.";

class ElementInsertion : public ElementStandIn {
protected:
    // The element's stored values.
    sim::DataStore::Section& Block(const sim::BuiltElement& element)
    {
        sim::DataStore::Section* section =
            world().geometry.topPart->Store().SectionNamed(element.macro->Name() + "Def7", L"Нормсет");
        if (!section)
            throw std::runtime_error("no stored block");
        return *section;
    }
    static std::wstring Text(const _variant_t& value) { return V_VT(&value) == VT_BSTR ? V_BSTR(&value) : L"?"; }
};

} // namespace

TEST_F(ElementInsertion, OneHoleThroughTheInsertCommandIsBuiltNamedMarkedAndStoredInThisOrder)
{
    ChooseHole({L"pick plateTop; pick plateBottom; pick plateBore1; ok", L"cancel"});
    const Outcome outcome = Insert();
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    // The positioning went back to the reference book as the filled template.
    ASSERT_EQ(book().Selections().size(), 3u);
    EXPECT_EQ(book().Selections()[1].location, L"HOLE [10.5]x[20]");

    ASSERT_EQ(elements->Live().size(), 1u);
    const sim::BuiltElement& hole = *elements->Live().front();
    EXPECT_EQ(elements->Describe(hole), (Lines{"Отверстие 10,5 (hole)", "parameters: D=10.5",
                                               "position: type -1, X 0, Y 0, R 0, A 0",
                                               "picked: start plateTop, end plateBottom, face plateBore1"}));
    sim::DataStore::Section& block = Block(hole);
    EXPECT_EQ(Text(block[L"NMUID"]), L"HOLE [10.5]x[20]");
    EXPECT_EQ(Text(block[L"Body"]), L"ELEM:HOLE[D=10.5]");
    EXPECT_EQ(Text(block[L"Name"]), L"Отверстие 10,5");
    EXPECT_FALSE(hole.macro->Definition().Bool(IVel5MacroDefinition::Setting1));
    // One placement: no count message.
    EXPECT_TRUE(VelmarMessages().empty());
    EXPECT_THAT(trace, HasSubstr(L"hole D=10.5"));
    ExpectJournalAsIn(__FILE__, "one_element.journal");
}

TEST_F(ElementInsertion, TheScriptIsTheHeaderThePositionTheFileAndTheCallWhateverTheUsersSeparator)
{
    auto model = HoleModel({plate.bores[0]});
    ElemPos& item = model->CurrentItem();
    item.X = 10.5;
    item.Y = 20;
    item.R = 2.5;
    item.A = -1;
    item.SubMode = kSubModeNames[SubModeFromTwoEdges];
    auto element = NewElement(*model);
    element->NM_FileName = element->NM_Path + element->NM_Body;
    const std::wstring expected = element->pData->GetScriptHeader() +
                                  L"positmType=1\r\npositmX=-20\r\npositmY=10.5\r\npositmR=2.5\r\npositmA=-1\r\n" +
                                  std::wstring(std::begin(kHoleScript), std::end(kHoleScript) - 1) + L"\r\n Script_OnLoad()";
    for (const char* locale : {"C", "Russian"}) {
        ScopedNumericLocale numbers(locale);
        EXPECT_EQ(element->ScriptText(), expected) << locale;
    }
}

TEST_F(ElementInsertion, SeveralRecordsAreCountedInAProgressWindowThatTheUserMayClose)
{
    struct Row {
        bool closeAfterFirst;
        size_t built;
        std::wstring message;
    };
    for (const Row& row : {Row{false, 3, L"Создано конструктивных элементов: 3 из 3."},
                           Row{true, 1, L"Создано конструктивных элементов: 1 из 3."}}) {
        RestartWithElements();
        elements->OnBuilt = [&](sim::BuiltElement&) {
            if (ProgressWnd* window = ProgressWnd::Current(); window && row.closeAfterFirst)
                SendMessageW(window->Window(), WM_COMMAND, IDCANCEL, 0);
        };
        auto model = HoleModel({plate.bores[0], plate.bores[1], plate.bores[0]});
        auto element = NewElement(*model);
        EXPECT_EQ(element->Apply(), NMObject::StateInsert);
        EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{row.message});
        ASSERT_EQ(elements->Live().size(), row.built);
        // Each element is built on its own record's face and named apart from the ones before it.
        const char* const faces[] = {"plateBore1", "plateBore2", "plateBore1"};
        const wchar_t* const names[] = {L"Отверстие 10,5", L"Отверстие 10,5 (1)", L"Отверстие 10,5 (2)"};
        for (size_t i = 0; i < row.built; ++i) {
            EXPECT_EQ(elements->Live()[i]->references.at(2), faces[i]);
            EXPECT_EQ(elements->Live()[i]->macro->HostName(), names[i]);
        }
        EXPECT_EQ(ProgressWnd::Current(), nullptr);
    }
}

TEST_F(ElementInsertion, ScriptErrorUndoesThatElementWarnsOnceAndKeepsTheOnesBefore)
{
    // The second placement's script builds its element, then fails.
    elements->OnBuilt = [this](sim::BuiltElement&) {
        WriteScript("Sub Script_OnLoad()\r\n"
                    "  Set element = Doc.BuildElement(\"hole\", \"\", 0, 0, 0, 0, 0, PosEntities)\r\n"
                    "  RAZadi.Append \"built, then failed\"\r\n"
                    "  Err.Raise 1001, \"hole\", \"no hole here\"\r\n"
                    "End Sub\r\n");
    };
    auto model = HoleModel({plate.bores[0], plate.bores[1]});
    auto element = NewElement(*model);
    EXPECT_EQ(element->Apply(), NMObject::StateInsert);
    EXPECT_EQ(velmar().CommandsRun(), std::vector<long>{57643});
    EXPECT_EQ(VelmarMessages(), std::vector<std::wstring>{kWarning});
    EXPECT_EQ(velmar().User().Questions().back().flags, 48);
    EXPECT_THAT(log_.Text(), HasSubstr(L"built, then failed"));
    ASSERT_EQ(elements->Elements().size(), 2u);
    EXPECT_FALSE(elements->Elements()[0].deleted);
    EXPECT_TRUE(elements->Elements()[1].deleted);
    EXPECT_EQ(made->Live(5).size(), 1u) << "the failed element's sketch went with it";
    EXPECT_EQ(world().geometry.topPart->Store().Entries(), 1u);
}

TEST_F(ElementInsertion, AScriptThatHandsBackNoElementIsAnInvalidPointerAndTouchesNothingOfTheUsers)
{
    const char* const scripts[] = {
        "Sub Script_OnLoad()\r\n  RAZadi.Append \"nothing\"\r\nEnd Sub\r\n",
        // The last item is one of the user's own references.
        "Sub Script_OnLoad()\r\n  PosEntities.Add PosEntities.Item(2)\r\nEnd Sub\r\n",
    };
    for (const char* script : scripts) {
        RestartWithElements();
        WriteScript(script);
        auto model = HoleModel({plate.bores[0]});
        auto element = NewElement(*model);
        EXPECT_EQ(sim::CaughtHostError([&] { element->Apply(); }).Error(), E_POINTER) << script;
        EXPECT_TRUE(velmar().CommandsRun().empty()) << script;
        EXPECT_EQ(world().geometry.topPart->Store().Entries(), 0u) << script;
        EXPECT_EQ(plate.bores[0]->HostName(), L"plateBore1") << script;
        EXPECT_TRUE(elements->Elements().empty()) << script;
    }
}

// The rule of every run: the failure is reported once (raised, or as the script warning) and the
// document has no element of the placement, or a failed restoring call was traced and the element is
// whole; the undo switches are back.
TEST_F(ElementInsertion, InsertionFaultSweepLeavesAWholeElementOrNone)
{
    std::unique_ptr<NMElemPos> model;
    std::unique_ptr<NMVelmarElement3D> element;
    size_t elementsBefore = 0, entriesBefore = 0, questionsBefore = 0;
    std::vector<sim::Object*>& features = world().geometry.Shape(*world().geometry.topPart).features;
    const std::vector<sim::Object*> firstFeatures = features;
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            element.reset();
            model.reset();
            // Every run names its element among the same ones.
            features = firstFeatures;
            // What a failed restoring call left switched is set right for the next run.
            velmar().Undo().Clear();
            document().V7().Value(69) = _variant_t(VARIANT_FALSE, VT_I2);
            document().V5().Value(IVel5Document3D::UndoRecording) = true;
            model = HoleModel({plate.bores[0]});
            element = NewElement(*model);
            elementsBefore = elements->Live().size();
            entriesBefore = world().geometry.topPart->Store().Entries();
            questionsBefore = velmar().User().Questions().size();
            return [&] { element->Apply(); };
        },
        [&](const test_support::SweptFailure& failure) {
            const size_t built = elements->Live().size() - elementsBefore;
            const size_t warnings = velmar().User().Questions().size() - questionsBefore;
            EXPECT_LE(warnings, failure.raised ? 0u : 1u);
            if (failure.raised || warnings == 1) {
                EXPECT_EQ(built, 0u);
                EXPECT_EQ(world().geometry.topPart->Store().Entries(), entriesBefore);
            } else {
                ASSERT_EQ(built, 1u);
                const sim::BuiltElement& whole = *elements->Live().back();
                EXPECT_EQ(whole.macro->HostName().rfind(L"Отверстие 10,5", 0), 0u);
                EXPECT_EQ(world().geometry.topPart->Store().Entries(), entriesBefore + 1);
            }
            if (failure.call != "asm7#69") {
                EXPECT_FALSE(document().V7().Bool(69));
            }
            if (failure.call != "asm5.70") {
                EXPECT_TRUE(document().V5().Bool(IVel5Document3D::UndoRecording));
            }
        },
        60);
}

namespace {

// An element already in the part, in an array and mated by its face to the plate's top, and the element
// object that replaces it by the bore's record.
class ElementReplace : public ElementStandIn {
protected:
    // bound: the replacing element is made for a new place and bound to the old element afterwards, as the
    // find panel's replacement is.
    void Place(sim::GeoEntity* bore, bool bound = false)
    {
        // Arrays of earlier placements are no longer the document's.
        patterns = std::make_unique<sim::Patterns>(velmar(), document());
        sim::BuiltElement asked;
        asked.kind = L"hole";
        old_ = &elements->Make(asked, {plate.top->V5().Ptr(), plate.bottom->V5().Ptr(), bore->V5().Ptr()});
        array_ = &patterns->Add("array" + std::to_string(elements->Elements().size()), {old_->macro->V7().Ptr()});
        world().geometry.DocumentMates().AddExisting(4, 0, 1, 0.0, old_->face->V5().Ptr(), plate.top->V5().Ptr());
        model_ = HoleModel({bore});
        if (!bound) {
            replacing_ = NewElement(*model_, old_->macro->Entity());
            return;
        }
        // The found element, as the finder reads it back, has its positioning stored on the macro.
        const std::unique_ptr<NMVelmarElement3D> found = NewElement(*model_, old_->macro->Entity());
        found->Save();
        replacing_ = NewElement(*model_);
        replacing_->BindTo(found.get());
    }
    void TearDown() override
    {
        replacing_.reset();
        model_.reset();
        ElementStandIn::TearDown();
    }
    // The mates of the document between the plate's top and an element's face.
    size_t MatesOf(const sim::BuiltElement& element)
    {
        size_t count = 0;
        for (const sim::MateRecord& mate : world().geometry.Mates())
            for (const IUnknownPtr& object : {mate.first, mate.second})
                count += sim::Object::From(object) == &element.face->V5();
        return count;
    }
    std::vector<std::string> ArraySources() { return sim::Patterns::SourceNames(*array_); }

    std::unique_ptr<NMElemPos> model_;
    std::unique_ptr<NMVelmarElement3D> replacing_;
    sim::BuiltElement* old_ = nullptr;
    sim::Pattern* array_ = nullptr;
};

} // namespace

TEST_F(ElementReplace, TheNewElementTakesTheOldOnesPlaceInItsArrayAndItsMates)
{
    for (const bool bound : {false, true}) {
        const char* what = bound ? "bound to the old element" : "made over the old element";
        if (bound) {
            model_.reset();
            RestartWithElements();
        }
        Place(plate.bores[0], bound);
        EXPECT_EQ(replacing_->state, NMObject::StateReplace) << what;
        replacing_->Apply();
        ASSERT_EQ(elements->Live().size(), 1u) << what;
        const sim::BuiltElement& placed = *elements->Live().front();
        EXPECT_TRUE(old_->deleted) << what;
        EXPECT_EQ(ArraySources(), std::vector<std::string>{placed.macro->V7().Name()}) << what;
        EXPECT_EQ(MatesOf(*old_), 0u) << what;
        EXPECT_EQ(MatesOf(placed), 1u) << what;
        EXPECT_TRUE(made->Live(25).empty()) << what << ": the placeholder is gone";
        EXPECT_FALSE(velmar().App7().Bool(25)) << what;
        EXPECT_EQ(placed.macro->HostName(), L"Отверстие 10,5") << what;
        replacing_.reset();
    }
}

// Every host call of a replace failing in turn: a reported failure (raised, or the script's warning)
// brings the old element back in its array with its mate and leaves no placeholder; a failed restoring
// call leaves the new element in the old one's place. The switches are back either way.
TEST_F(ElementReplace, ReplaceFaultSweepEndsWithTheOldElementOrTheNewOneInItsPlace)
{
    size_t questionsBefore = 0;
    std::vector<sim::Object*>& features = world().geometry.Shape(*world().geometry.topPart).features;
    const std::vector<sim::Object*> firstFeatures = features;
    const auto start = [&] {
        replacing_.reset();
        velmar().Undo().Clear();
        document().V7().Value(69) = _variant_t(VARIANT_FALSE, VT_I2);
        document().V5().Value(IVel5Document3D::UndoRecording) = true;
        velmar().App7().Value(25) = _variant_t(VARIANT_FALSE, VT_I2);
        document().V5().Value(IVel5Document3D::CurrentObject) = _variant_t(plate.part->Bridge().Primary());
        made->ForgetLeftovers();
        for (sim::BuiltElement* left : elements->Live())
            left->deleted = true;
        features = firstFeatures;
        Place(plate.bores[0]);
        questionsBefore = velmar().User().Questions().size();
        return [&] { replacing_->Apply(); };
    };
    test_support::SweepHostCalls(
        velmar(), start,
        [&](const test_support::SweptFailure& failure) {
            const bool warned = velmar().User().Questions().size() > questionsBefore;
            const std::vector<sim::BuiltElement*> live = elements->Live();
            ASSERT_EQ(live.size(), 1u);
            if (failure.raised || warned) {
                EXPECT_EQ(live.front(), old_);
                EXPECT_EQ(ArraySources(), std::vector<std::string>{old_->macro->V7().Name()});
                EXPECT_EQ(MatesOf(*old_), 1u);
                EXPECT_TRUE(made->Live(25).empty()) << "no placeholder is left";
            } else {
                EXPECT_NE(live.front(), old_);
                const std::vector<std::string> sources = ArraySources();
                ASSERT_EQ(sources.size(), 1u);
                EXPECT_NE(sources.front(), old_->macro->V7().Name()) << "the new element or the placeholder";
            }
            // Velmar refusing to leave edit mode, at the start or at the end, fails the replace.
            if (failure.call != "app7#25") {
                EXPECT_FALSE(velmar().App7().Bool(25));
            } else {
                EXPECT_TRUE(failure.raised || warned);
            }
            if (failure.call != "asm7#69") {
                EXPECT_FALSE(document().V7().Bool(69));
            }
            if (failure.call != "asm5.73") {
                EXPECT_EQ(sim::Object::From(V_DISPATCH(&document().V5().Value(IVel5Document3D::CurrentObject))),
                          &plate.part->Bridge());
            }
        },
        80);
    // Velmar refuses to delete the old element: the replace fails as on a failing call.
    const auto refused = start();
    document().RefuseDeletion([&](IUnknown* object) { return sim::Object::From(object) == &old_->macro->V5(); });
    EXPECT_THROW(refused(), _com_error);
    document().RefuseDeletion(nullptr);
    ASSERT_EQ(elements->Live().size(), 1u);
    EXPECT_EQ(elements->Live().front(), old_);
    EXPECT_EQ(ArraySources(), std::vector<std::string>{old_->macro->V7().Name()});
    EXPECT_EQ(MatesOf(*old_), 1u);
    EXPECT_TRUE(made->Live(25).empty()) << "no placeholder is left";
}

TEST_F(ElementInsertion, AnElementSelectsItsFeaturesAndDeletesEveryAttributeOfAType)
{
    auto model = HoleModel({plate.bores[0]});
    auto element = NewElement(*model);
    element->Apply();
    ASSERT_EQ(elements->Live().size(), 1u);
    sim::BuiltElement& hole = *elements->Live().front();

    element->Select();
    std::vector<std::string> selected;
    for (const IUnknownPtr& object : document().Highlighted(0))
        selected.push_back(world().geometry.EntityOf(object)->Name());
    EXPECT_EQ(selected, std::vector<std::string>{"element1Cut"}) << "only features are selected, not the sketch or system";

    const IVel5AttributeManagerPtr manager = velmar().Attributes().Manager().As<IVel5AttributeManager>();
    for (double type : {7.0, 9.0, 7.0})
        element->CreateTechAttribute(type, manager, {{L"1204", 1}}, L"C:\\lib.lat");
    element->DeleteTechAttribute(7, manager);
    std::vector<double> left;
    for (const sim::Attribute& attribute : velmar().Attributes().Of(hole.macro->Feature()))
        left.push_back(attribute.type);
    EXPECT_EQ(left, std::vector<double>{9.0});
    EXPECT_EQ(velmar().Attributes().Of(hole.macro->Feature()).front().values, std::vector<std::wstring>{L"1204"});
}
