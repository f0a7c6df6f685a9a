// Command 2 in a part or an assembly through LIBRARYENTRY: the find panel's list, buttons and prompt
// over the finder, the kind switched by its buttons and by a pick in the model, and the controller's
// answer to "choose a part" (chosen, closed without a choice, a positioning answer for an element, an
// answer of another kind than the object's), and the list after the last object of a name is replaced.
#include "library/document_stand_in.h"

#include "sim/construction_model.h"
#include "sim/panel_model.h"
#include "sim/panel_scene.h"
#include "support/select_answer.h"

#include <gmock/gmock.h>

using namespace document_test;

namespace {

enum : long { kTypes = 9150, kNames = 9151, kField = 9152, kSteps = 9153, kChoose = 9155, kReplace = 9156, kReplaceAll = 9157 };

class FindCommand : public DocumentStandIn {
protected:
    // made: the part's construction, where the element is a hole in a plate that its positioning reads back.
    void Populate(sim::Construction* made = nullptr)
    {
        AddComponent("bolt1", {L"B1", L"Болт", L"bolt.vlm"});
        sim::Part& bolt2 = AddComponent("bolt2", {L"B1", L"Болт", L"bolt.vlm"});
        world().geometry.AddFace("bolt2Face", &bolt2, {.test1 = true});
        AddComponent("nut", {L"N1", L"Гайка", L"nut.vlm"});
        if (!made) {
            AddElement("drill", false);
            return;
        }
        const sim::Plate plate = sim::BuildPlate(velmar(), world().geometry, *made);
        const auto hole = NMElemPos::Create(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), 2);
        hole->iStartPlane = plate.top->V5().Ptr();
        hole->iEndPlane = plate.bottom->V5().Ptr();
        hole->CurrentItem().iCylFace = plate.bores[0]->V5().Ptr();
        AddElement("drill", false, hole.get());
    }
    // What the page of a panel run shows: enabled controls, the names, the hint and the part field.
    struct Shown {
        std::vector<long> enabled;
        std::vector<std::wstring> names;
        std::wstring value;
        std::wstring hint;
        std::wstring part;
        long checkedType = -1;

        bool operator==(const Shown&) const = default;
    };
    Shown ShownBy(size_t run)
    {
        sim::PanelPage& page = velmar().Panels().Pages().at(run);
        Shown shown;
        for (long id : {kNames, kSteps, kField, kChoose, kReplace, kReplaceAll})
            if (page.Find(id)->enabled)
                shown.enabled.push_back(id);
        const sim::PanelControl& names = *page.Find(kNames);
        shown.names = names.items;
        shown.value = V_VT(&names.value) == VT_BSTR ? V_BSTR(&names.value) : L"";
        shown.hint = names.name;
        const sim::PanelControl& field = *page.Find(kField);
        shown.part = V_VT(&field.value) == VT_BSTR ? V_BSTR(&field.value) : L"";
        if (sim::PanelControl* types = page.Find(kTypes))
            for (const sim::PanelButton& button : types->buttons)
                if (button.checked)
                    shown.checkedType = button.id;
        return shown;
    }
};

} // namespace

TEST_F(FindCommand, ThePanelFollowsTheFilteredCountAndThePartChosenAndClosingAsksNothing)
{
    Populate();
    velmar().User().Answer("panel", _variant_t(L"cancel"));
    const Outcome outcome = Run(2);
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_TRUE(book().Selections().empty());
    EXPECT_EQ(ShownBy(0), (Shown{{kNames, kSteps, kField, kChoose}, {L"Болт", L"Гайка"}, L"Болт", L"[2] Болт", L"", 9050}));
    EXPECT_EQ(velmar().Panels().Prompts().back(), L"Нормсет: 3");
    EXPECT_EQ(velmar().Panels().Page().caption, L"Найти и заменить");
}

TEST_F(FindCommand, ChoosingAsksTheReferenceBookAtTheObjectAndThePanelOpensAgain)
{
    using response_xml::Object;
    const std::wstring script = response_xml::Response(
        Object(L"Method", {{L"NM_IID", L"ELEM:HOLE"}, {L"URL", models_.Path()}, {L"MethodBody", L"hole.vbs"}}) +
        Object(L"ExternalParameters", {{L"Designation", L"Отверстие 10,5"}}));
    const Shown bolts{{kNames, kSteps, kField, kChoose}, {L"Болт", L"Гайка"}, L"Болт", L"[2] Болт", L"", 9050};
    const Shown drill{{kNames, kField, kChoose}, {L"drill"}, L"drill", L"[1] drill", L"", 9051};
    struct Row {
        const char* what;
        int type;
        std::vector<sim::SelectAnswer> answers;    // one choice each
        Shown last;                                // the panel after the last choice
        std::vector<long> sent;                    // the command each choice sent
        std::wstring location;                     // where the first choice opened the book; empty: not looked at
        std::vector<std::wstring> messages;
        const wchar_t* replace = nullptr;          // a run after the choices that replaces
    };
    const Row rows[] = {
        {"a part chosen", 5, {testsupport::Answer(0, Bolt())},
         {{kNames, kSteps, kField, kChoose, kReplace, kReplaceAll}, {L"Болт", L"Гайка"}, L"Болт", L"[2] Болт", L"Болт М10х50", 9050},
         {0}, L"B1", {}},
        {"closed without a choice", 5, {testsupport::Answer(0, std::nullopt)}, bolts, {0}, L"B1", {}},
        {"a part script for a component", 5, {testsupport::Answer(0, script)}, bolts, {0}, L"B1",
         {L"Выберите стандартное изделие: оно заменит найденное."}},
        {"a positioning answer for an element, then a choice that sends no command again", 4,
         {testsupport::Answer(0x400, std::nullopt, L"", L"HOLE [d]"), testsupport::Answer(0, std::nullopt)}, drill, {0, 0}, L"", {}},
        // One object: nothing to step to and nothing to replace all of.
        {"a hole chosen for the one element", 4, {testsupport::Answer(0, script)},
         {{kNames, kField, kChoose, kReplace}, {L"drill"}, L"drill", L"[1] drill", L"Отверстие 10,5", 9051}, {0}, L"", {}},
        {"a component for an element", 4, {testsupport::Answer(0, Bolt())}, drill, {0}, L"", {L"Выберите конструктивный элемент: он заменит найденный."}},
        // The last object of the name replaced: the list goes over to the new name with its objects.
        {"every bolt replaced", 5, {testsupport::Answer(0, Bolt(BoltSizes(), {}))},
         {{kNames, kSteps, kField, kChoose, kReplace, kReplaceAll}, {L"Болт М10х50", L"Гайка"}, L"Болт М10х50", L"[2] Болт М10х50",
          L"Болт М10х50", 9050},
         {0}, L"B1",
         {L"Просмотр документа завершен. Выполнено замен: 2 из 2."}, L"button 9157"},
    };
    for (const Row& row : rows) {
        Restart({15, 0, 1, 0}, row.type);
        sim::Construction made(velmar(), document(), *world().geometry.topPart);
        Populate(&made);
        for (const sim::SelectAnswer& answer : row.answers) {
            book().QueueSelect(answer);
            velmar().User().Answer("panel", _variant_t(L"button 9055"));
        }
        if (row.replace)
            velmar().User().Answer("panel", _variant_t(row.replace));
        velmar().User().Answer("panel", _variant_t(L"cancel"));
        const Outcome outcome = Run(2);
        EXPECT_FALSE(outcome.dialog) << row.what << ": " << sim::Utf8(outcome.message);
        std::vector<long> sent;
        for (const sim::SelectCall& call : book().Selections())
            sent.push_back(call.command);
        EXPECT_EQ(sent, row.sent) << row.what;
        if (!row.location.empty() && !book().Selections().empty()) {
            EXPECT_EQ(book().Selections().at(0).location, row.location) << row.what;
        }
        EXPECT_EQ(ShownBy(row.answers.size() + (row.replace ? 1 : 0)), row.last) << row.what;
        EXPECT_EQ(VelmarMessages(), row.messages) << row.what;
        if (!row.replace) {
            EXPECT_EQ(assembly().Components().size(), 0u) << row.what << ": nothing placed";
        }
    }
}

TEST_F(FindCommand, TheKindFollowsTheTypeButtonsAndAPickInTheModel)
{
    Populate();
    velmar().User().Answer("panel", _variant_t(L"button 9051; pick top; pick bolt2Face; cancel"));
    const Outcome outcome = Run(2);
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_EQ(ShownBy(0), (Shown{{kNames, kSteps, kField, kChoose}, {L"Болт", L"Гайка"}, L"Болт", L"[2] Болт", L"", 9050}));
    std::vector<std::string> highlights;
    for (const std::string& line : journal().LinesOf("selectionA"))
        if (line.rfind("selectionA.1(", 0) == 0)
            highlights.push_back(line);
    ASSERT_FALSE(highlights.empty());
    EXPECT_EQ(highlights.back(), "selectionA.1(bolt25)") << "the picked bolt is the current object";
    EXPECT_THAT(velmar().Panels().Log(), testing::Contains(testing::HasSubstr("\"pick top\": filter 0")))
        << "a face of no library object cannot be picked";
    EXPECT_THAT(velmar().Panels().Prompts(), testing::Contains(L"Конструктивные элементы: 1"));
}

TEST_F(FindCommand, APartDocumentListsElementsAndAnEmptyListLeavesOnlyTheTypes)
{
    Restart({15, 0, 1, 0}, 4);
    velmar().User().Answer("panel", _variant_t(L"cancel"));
    Run(2);
    EXPECT_EQ(ShownBy(0), (Shown{{kNames, kField}, {}, L"", L"", L"", 9051}));
    EXPECT_EQ(velmar().Panels().Prompts().back(), L"Конструктивные элементы: 0");
}
