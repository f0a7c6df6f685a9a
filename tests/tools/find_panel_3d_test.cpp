// Command 2 in a part or an assembly through LIBRARYENTRY: the find panel's list, buttons and prompt
// over the finder, the kind switched by its buttons and by a pick in the model, and the controller's
// answer to "choose a part" (chosen, closed without a choice, a positioning answer for an element).
#include "library/document_stand_in.h"

#include "sim/panel_model.h"

#include <gmock/gmock.h>

using namespace document_test;

namespace {

enum : long { kTypes = 9150, kNames = 9151, kField = 9152, kSteps = 9153, kChoose = 9155, kReplace = 9156, kReplaceAll = 9157 };

class FindCommand : public DocumentStandIn {
protected:
    void Populate()
    {
        AddComponent("bolt1", {L"B1", L"Болт", L"bolt.vlm"});
        sim::Part& bolt2 = AddComponent("bolt2", {L"B1", L"Болт", L"bolt.vlm"});
        world().geometry.AddFace("bolt2Face", &bolt2, {.test1 = true});
        AddComponent("nut", {L"N1", L"Гайка", L"nut.vlm"});
        AddElement("drill", false);
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
    struct Row {
        const char* what;
        int type;
        bool answered;
        long command;                              // the reference book's answer
        Shown second;                              // the panel after the choice
        std::wstring location;
    };
    const Row rows[] = {
        {"a part chosen", 5, true, 0,
         {{kNames, kSteps, kField, kChoose, kReplace, kReplaceAll}, {L"Болт", L"Гайка"}, L"Болт", L"[2] Болт", L"Болт М10х50", 9050},
         L"B1"},
        {"closed without a choice", 5, false, 0, {{kNames, kSteps, kField, kChoose}, {L"Болт", L"Гайка"}, L"Болт", L"[2] Болт", L"", 9050}, L"B1"},
    };
    for (const Row& row : rows) {
        Restart({15, 0, 1, 0}, row.type);
        Populate();
        sim::SelectAnswer answer;
        answer.command = row.command;
        if (row.answered)
            answer.responseXml = Bolt();
        book().QueueSelect(answer);
        velmar().User().Answer("panel", _variant_t(L"button 9055"));
        velmar().User().Answer("panel", _variant_t(L"cancel"));
        const Outcome outcome = Run(2);
        EXPECT_FALSE(outcome.dialog) << row.what << ": " << sim::Utf8(outcome.message);
        ASSERT_EQ(book().Selections().size(), 1u) << row.what;
        EXPECT_EQ(book().Selections().at(0).location, row.location) << row.what;
        EXPECT_EQ(ShownBy(1), row.second) << row.what;
    }
}

TEST_F(FindCommand, TheKindFollowsTheTypeButtonsAndAPickInTheModel)
{
    Populate();
    velmar().User().Answer("panel", _variant_t(L"button 9051; pick bolt2Face; cancel"));
    const Outcome outcome = Run(2);
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_EQ(ShownBy(0), (Shown{{kNames, kSteps, kField, kChoose}, {L"Болт", L"Гайка"}, L"Болт", L"[2] Болт", L"", 9050}));
    std::vector<std::string> highlights;
    for (const std::string& line : journal().LinesOf("selectionA"))
        if (line.rfind("selectionA.1(", 0) == 0)
            highlights.push_back(line);
    ASSERT_FALSE(highlights.empty());
    EXPECT_EQ(highlights.back(), "selectionA.1(bolt25)") << "the picked bolt is the current object";
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
