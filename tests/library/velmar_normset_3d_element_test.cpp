// The 3D controller's element branch: the element a script body gives, the insertion loop over the
// reference book's answers, the panel a positioning mode gets, a selected element edited through the
// insert command, and the repositioning of a stored element without a panel.
#include "library/velmar_normset_3d.h"

#include "insert3d/element_stand_in.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "hostapi/vtable_call.h"

#include <gmock/gmock.h>

using namespace element_test;

namespace {

class ElementController : public ElementStandIn {
protected:
    std::unique_ptr<VelmarNormset3D> Make()
    {
        client_ = book().NewProvider();
        return std::make_unique<VelmarNormset3D>(App5(), App7(), client_->As<INMClient>(), 1, 5);
    }
    void TearDown() override
    {
        client_ = nullptr;
        ElementStandIn::TearDown();
    }
    // A controller that just built nothing yet but holds the hole of the reference book's answer, as
    // after the first positioning of the insert command.
    std::unique_ptr<VelmarNormset3D> Positioned()
    {
        auto controller = Make();
        controller->PosMode = 2;
        controller->elem_pos = HoleModel({plate.bores[0]});
        controller->org_location = kHoleTemplate;
        controller->location = L"HOLE [10.5]x[20]";
        controller->state = Normset::StatePosition;
        controller->LoadResponse(book().MakeResponse(Hole())->As<INMResponse>());
        return controller;
    }

    sim::ObjectRef client_;
};

} // namespace

TEST_F(ElementController, AScriptBodyInAnyCaseGivesAnElementThatMovesOnlyWhileTheLocationWasKept)
{
    struct Row {
        const wchar_t* body;
        bool element;
        bool model;
        const wchar_t* location;   // the location the reference book came back with
        bool moves;
    };
    const Row rows[] = {
        {L"hole.VBS", true, false, L"HOLE [10.5]x[20]", true},
        {L"holes\\m8.Vbs", true, false, L"HOLE [11]x[20]", false},
        {L"a.vbs.x", false, true, L"HOLE [10.5]x[20]", true},
    };
    for (const Row& row : rows) {
        const auto controller = Make();
        controller->elem_pos = HoleModel({plate.bores[0]});
        controller->elem_pos->isMove = true;
        controller->saved_location = L"HOLE [10.5]x[20]";
        controller->location = row.location;
        controller->CreatePart(row.body);
        const auto* element = dynamic_cast<NMVelmarElement3D*>(controller->CurrentPart.get());
        EXPECT_EQ(element != nullptr, row.element) << sim::Utf8(row.body);
        EXPECT_EQ(dynamic_cast<NMVelmarModel3D*>(controller->CurrentPart.get()) != nullptr, row.model) << sim::Utf8(row.body);
        if (element) {
            EXPECT_EQ(element->state, row.moves ? NMObject::StateEdit : NMObject::StateInsert) << sim::Utf8(row.body);
            EXPECT_EQ(controller->elem_pos->isMove, row.moves);
        }
    }
}

TEST_F(ElementController, TheInsertionEndsWithZeroWhenAPositioningIsCancelledAndWithOneWhenNoElementComesBack)
{
    struct Row {
        const wchar_t* nextPositioning;   // the panel of the next element after the first is built
        int result;
    };
    const Row rows[] = {{L"cancel", 0}, {L"pick plateTop; pick plateBottom; pick plateBore2; ok", 1}};
    for (const Row& row : rows) {
        RestartWithElements();
        const auto controller = Positioned();
        velmar().User().Answer("panel", _variant_t(row.nextPositioning));
        // Positioned, the reference book is closed without a choice.
        if (row.result == 1)
            book().QueueSelect(testsupport::Answer(0, std::nullopt));
        EXPECT_EQ(controller->Apply(), row.result);
        EXPECT_EQ(controller->state, Normset::StateSelect);
        // The hole is built once: a selection without an answer never builds the last one again.
        EXPECT_EQ(elements->Live().size(), 1u);
        EXPECT_EQ(book().PendingSelectAnswers(), 0u);
        EXPECT_FALSE(velmar().User().Pending("panel"));
    }
}

TEST_F(ElementController, AModeWithoutAPanelRunsNoneDropsTheModelAndAnswersFalse)
{
    const auto controller = Make();
    controller->elem_pos = NMElemPos::Create(App5(), App7(), 21);
    controller->PosMode = 21;
    EXPECT_FALSE(controller->Positioning());
    EXPECT_EQ(controller->elem_pos, nullptr);
    EXPECT_EQ(velmar().Panels().Runs(), 0u);
    EXPECT_THAT(journal().Lines(), testing::Contains("app5.16()"));
}

TEST_F(ElementController, ASelectedHoleIsPositionedInItsEditPanelAndRebuiltInPlace)
{
    ChooseHole({L"pick plateTop; pick plateBottom; pick plateBore1; ok", L"cancel"});
    Insert();
    ASSERT_EQ(elements->Live().size(), 1u);
    sim::BuiltElement& old = *elements->Live().front();
    document().V5().Value(IVel5Document3D::SelectedMacro) = _variant_t(old.macro->V5().Primary());

    // The panel offers the hole's face for a change only when editing; the user takes the other bore.
    book().QueueSelect(testsupport::Answer(0, Hole(), L"", L"HOLE [10.5]x[20]"));
    velmar().User().Answer("panel", _variant_t(L"pick plateBore1; pick plateBore2; ok"));
    const Outcome outcome = Insert();
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    EXPECT_NE(velmar().Panels().Page().Find(9106, VelControlSelectField), nullptr);
    EXPECT_TRUE(old.deleted);
    ASSERT_EQ(elements->Live().size(), 1u);
    EXPECT_EQ(elements->Live().front()->references,
              (std::vector<std::string>{"plateTop", "plateBottom", "plateBore2", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(book().Selections().back().location, L"HOLE [10.5]x[20]");

    // Once its edit is applied the edited element is forgotten: an element positioned next by the same
    // controller starts from its own mode, in its own panel.
    const auto controller = Make();
    document().V5().Value(IVel5Document3D::SelectedMacro) = _variant_t(elements->Live().front()->macro->V5().Primary());
    controller->Prepare();
    book().QueueSelect(testsupport::Answer(0, Hole(), L"", L"HOLE [11]x[20]"));
    velmar().User().Answer("panel", _variant_t(L"ok"));
    ASSERT_TRUE(controller->SelectPart());
    controller->Apply();
    EXPECT_EQ(controller->iEdMcr, nullptr);
    controller->PosMode = 0;
    velmar().User().Answer("panel", _variant_t(L"cancel"));
    EXPECT_FALSE(controller->Positioning());
    EXPECT_NE(velmar().Panels().Page().Find(9120, VelControlButtons), nullptr) << "the two-planes panel";
}

TEST_F(ElementController, RepositioningFillsTheLocationOfAStoredElementAndPutsTheEditSwitchOffWhateverFails)
{
    ChooseHole({L"pick plateTop; pick plateBottom; pick plateBore1; ok", L"cancel"});
    Insert();
    ASSERT_EQ(elements->Live().size(), 1u);
    const IVel5EntityPtr macro = elements->Live().front()->macro->Entity();
    const size_t runs = velmar().Panels().Runs();
    const std::string rebuild = document().V5().Name() + "." + std::to_string(IVel5Document3D::Rebuild);
    // Nothing fails; the rebuild fails; Velmar refuses to put the edit switch off at the end, which is
    // the command's failure.
    const struct {
        std::string fail;
        int after;
        HRESULT result;
        bool rebuilt;
        bool switchOff;
    } rows[] = {{"", 0, S_OK, true, true}, {rebuild, 0, E_FAIL, false, true}, {"app7#25", 1, E_FAIL, true, false}};
    for (const auto& row : rows) {
        const auto controller = Make();
        controller->iEdMcr = macro;
        controller->org_location = kHoleTemplate;
        journal().Clear();
        document().V5().Value(IVel5Document3D::Rebuild) = 0L;
        if (!row.fail.empty())
            velmar().Faults().FailMember(row.fail, E_FAIL, 1, row.after);
        HRESULT result = S_OK;
        try {
            controller->Repositioning();
        } catch (const _com_error& error) {
            result = error.Error();
        }
        velmar().Faults().Clear();
        EXPECT_EQ(result, row.result) << row.fail;
        EXPECT_EQ(document().V5().Long(IVel5Document3D::Rebuild), row.rebuilt ? 1 : 0) << row.fail;
        EXPECT_EQ(std::wstring(controller->location), L"HOLE [10.5]x[20]") << row.fail;
        EXPECT_EQ(velmar().Panels().Runs(), runs) << row.fail;
        EXPECT_EQ(!velmar().App7().Bool(25), row.switchOff) << row.fail;
    }
}
