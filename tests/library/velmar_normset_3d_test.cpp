// The 3D controller against the stand-in: what the insert command refuses or asks before the reference
// book opens and an answer it cannot place, the masks it sends, the library object a method body gives, what a selection in the
// document makes the command edit, the silent insertion, and a drawing refused by the relink and the
// user part.
#include "library/velmar_normset_2d.h"
#include "library/velmar_normset_3d.h"

#include "library/document_stand_in.h"
#include "insert3d/nm_velmar_model_3d.h"
#include "insert3d/nm_velmar_tcs_3d.h"
#include "objects/bad_response.h"
#include "sim/sample_responses.h"
#include "support/select_answer.h"

#include <gmock/gmock.h>

using namespace document_test;

namespace {

const wchar_t kNoPart[] = L"Активный документ не является сборкой, фрагментом, чертежом или спецификацией.";
const wchar_t kNotAny[] = L"Активный документ не является сборкой, деталью, фрагментом, чертежом или спецификацией.";
const wchar_t kExploded[] = L"Для работы со Справочником необходимо отказаться от разнесения компонентов сборки.\r\n"
                            L"Включить режим обычного отображения сборки?";
const wchar_t kRecalc[] = L"Для работы со Справочником необходимо отказаться от режима пересчета размеров.\r\n"
                          L"Выключить режим пересчета размеров?";
const wchar_t kNoHoles[] = L"Крепежное соединение \"Комплект крепежа М10\" не вставлено: не указаны отверстия для его установки.\r\n"
                          L"Крепежное соединение устанавливается в отверстия, указанные при позиционировании, и не может "
                          L"заменить компонент, не входящий в крепежное соединение.";
const wchar_t kInPlace[] = L"Вызов справочника \"Нормсет\" завершит редактирование на месте компонента \"nut\".\r\n"
                           L"Вы действительно хотите продолжить?";

class Controller3D : public DocumentStandIn {
protected:
    TraceLog log_{L"test", false};
};

} // namespace

// Besides, a set the reference book answers for a selected component that no set holds has no holes to
// stand in: the user is told so, and the document stays as it was.
TEST_F(Controller3D, InsertRefusesOrAsksBeforeTheReferenceBookOpensOrWarnsOfAnAnswerWithNowhereToGo)
{
    struct Row {
        const char* name;
        sim::HostVersion version;
        int type;
        std::function<void()> setUp;
        std::deque<int> answers;
        std::vector<std::wstring> boxes;
        bool asked;                                     // the reference book was opened
        std::function<bool()> after;       // what the document shows afterwards
        bool failed = false;               // the command ended in the error dialog
    };
    auto showsSpc = [this]() { document().V5().Value(IVel5Document3D::ViewMode) = 2L; };
    auto exploded = [this]() { document().V5().Value(IVel5Document3D::Exploded) = true; };
    auto recalc = [this]() { document().V7().Value(74) = _variant_t(VARIANT_TRUE, VT_I2); };
    auto inPlace = [this]() {
        sim::Part& nut = velmar().AddPart("nut");
        nut.V5().Value(IVel5Part::EditedInPlace) = true;
        world().geometry.editedPart = &nut;
    };
    auto isExploded = [this]() { return document().V5().Bool(IVel5Document3D::Exploded); };
    auto recalculates = [this]() { return document().V7().Bool(74); };
    auto editsInPlace = [this]() { return world().geometry.editedPart->V5().Bool(IVel5Part::EditedInPlace); };
    size_t topFeatures = 0;
    auto setForComponent = [&]() {
        assembly().selected = &AddComponent("bolt", {L"B1", L"Болт", L"old\\bolt.vlm"});
        topFeatures = world().geometry.Shape(*world().geometry.topPart).features.size();
        book().QueueSelect(testsupport::Answer(0, sim::SampleResponse("fastener_set_3d"), L"", L"TKR M10"));
    };
    auto unchanged = [&]() {
        return world().geometry.Shape(*world().geometry.topPart).features.size() == topFeatures && document().Spc().Objects().empty();
    };
    const Row rows[] = {
        {"part showing its spc, 14.9.9", {14, 9, 9, 0}, 4, showsSpc, {}, {kNoPart}, false, nullptr},
        {"part showing its spc, 15.0.0", {15, 0, 0, 0}, 4, showsSpc, {}, {kNotAny}, false, nullptr},
        {"exploded, no", {15, 0, 1, 0}, 5, exploded, {IDNO}, {kExploded}, false, isExploded},
        {"exploded, yes", {15, 0, 1, 0}, 5, exploded, {IDYES}, {kExploded}, true, [&] { return !isExploded(); }},
        {"exploded, no box shown", {15, 0, 1, 0}, 5, exploded, {0}, {kExploded}, false, isExploded, true},
        {"recalculating, no", {14, 0, 0, 0}, 7, recalc, {IDNO}, {kRecalc}, false, recalculates},
        {"recalculating, yes", {14, 0, 0, 0}, 7, recalc, {IDYES}, {kRecalc}, true, [&] { return !recalculates(); }},
        {"recalculating before 14.0.0", {13, 9, 9, 0}, 5, recalc, {}, {}, true, recalculates},
        {"edited in place, no", {14, 9, 9, 0}, 5, inPlace, {IDNO}, {kInPlace}, false, editsInPlace},
        {"edited in place, yes", {14, 9, 9, 0}, 5, inPlace, {IDYES}, {kInPlace}, true, [&] { return !editsInPlace(); }},
        {"edited in place at 15.0.0", {15, 0, 0, 0}, 5, inPlace, {}, {}, true, editsInPlace},
        {"a set answered for a component no set holds", {15, 0, 1, 0}, 5, setForComponent, {}, {kNoHoles}, true, unchanged},
    };
    for (const Row& row : rows) {
        Restart(row.version, row.type);
        row.setUp();
        answers = row.answers;
        const Outcome outcome = Insert();
        EXPECT_EQ(outcome.dialog, row.failed) << row.name;
        EXPECT_EQ(outcome.boxes, row.boxes) << row.name;
        EXPECT_EQ(!book().Selections().empty(), row.asked) << row.name;
        if (row.after) {
            EXPECT_TRUE(row.after()) << row.name;
        }
    }
}

TEST_F(Controller3D, FindTakesAPartShowingItsSpcButNoAssemblyShowingItsOwn)
{
    for (int type : {4, 5, 3}) {
        Restart({15, 0, 1, 0}, type);
        document().V5().Value(IVel5Document3D::ViewMode) = 2L;
        const auto controller = NewController(2, type);
        bool refused = false;
        try {
            controller->CheckDocumentValidForFind();
        } catch (const _bstr_t& warning) {
            refused = true;
            EXPECT_EQ(std::wstring(warning), L"Активный документ не является сборкой, деталью, фрагментом или чертежом.");
        }
        EXPECT_EQ(refused, type != 4) << type;
    }
}

TEST_F(Controller3D, TheMaskSaysWhatTheReferenceBookOffers)
{
    struct Row {
        sim::HostVersion version;
        int type;
        bool showsSpc;
        uint32_t mask;
    };
    for (const Row& row : {Row{{14, 9, 9, 0}, 4, false, 0x341F}, Row{{15, 0, 0, 0}, 4, false, 0x1F},
                           Row{{15, 0, 0, 0}, 4, true, 0x800}, Row{{14, 9, 9, 0}, 5, false, 0x1F}, Row{{15, 0, 1, 0}, 3, false, 0x800}}) {
        Restart(row.version, row.type);
        if (row.showsSpc)
            document().V5().Value(IVel5Document3D::ViewMode) = 2L;
        EXPECT_EQ(NewController(1, row.type)->mask, row.mask) << row.type << " " << row.version.major;
    }
    const auto controller = NewController(1);
    struct Step {
        std::function<void()> act;
        uint32_t mask;
    };
    const Step steps[] = {
        {[&] { controller->CorrectMask(9); }, 0x1F},
        {[&] { controller->CorrectMask(0); }, 0x11F},
        {[&] { controller->CorrectMask(1); }, 0x351F},
        {[&] { controller->ClearReselectMask(); }, 0x11F},
        {[&] { controller->CorrectMask(2); }, 0x2D1F},
        {[&] { controller->ClearReselectMask(); }, 0x11F},
        {[&] { controller->location = L"TKR3D"; controller->SetReselectMask(); }, 0x2D1F},
        {[&] { controller->ClearReselectMask(); controller->location = L"xTKR"; controller->SetReselectMask(); }, 0x351F},
        {[&] { controller->ClearReselectMask(); controller->location = L""; controller->SetReselectMask(); }, 0x351F},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(controller->mask, step.mask) << &step - steps;
    }
}

// A script is an element (its own tests).
TEST_F(Controller3D, NoMethodBodyGivesAFastenerSetAnythingButAScriptAComponentModel)
{
    const auto controller = NewController(1);
    struct Row {
        const wchar_t* body;
        const char* kind;
    };
    auto kindOf = [](NMObject* part) {
        return dynamic_cast<NMVelmarTCS3D*>(part) ? "set" : dynamic_cast<NMVelmarElement3D*>(part) ? "element"
                                                   : dynamic_cast<NMVelmarModel3D*>(part) ? "model" : "none";
    };
    for (const Row& row : {Row{L"", "set"}, Row{L"a.vbs.x", "model"}, Row{L" ", "model"}}) {
        controller->ClearPart();
        controller->CreatePart(row.body);
        EXPECT_STREQ(kindOf(controller->CurrentPart.get()), row.kind) << sim::Utf8(row.body);
    }
}

TEST_F(Controller3D, WhatTheUserSelectedIsWhatTheCommandEdits)
{
    // A component of the library: its identity is the location, and the command edits a part.
    sim::Part& bolt = velmar().AddPart("bolt");
    velmar().UserParams().BlockOf(bolt) = sim::UserParamBlock{L"", L"Нормсет", 1, std::vector<sim::ValueItemData>(14, {L"", L"PART:BOLT[M10]"})};
    assembly().selected = &bolt;
    auto controller = NewController(1);
    controller->Prepare();
    EXPECT_EQ(std::wstring(controller->location), L"PART:BOLT[M10]");
    EXPECT_EQ(controller->mask, 0x11Fu);
    EXPECT_EQ(controller->state, Normset::StateReselect);
    EXPECT_TRUE(controller->iEdPrt);

    // A part of a fastener set: the whole set is edited.
    sim::GeoEntity& set = AddElement("set", true);
    bolt.PlaceIn(set.Feature());
    controller = NewController(1);
    controller->Prepare();
    EXPECT_FALSE(controller->iEdPrt);
    EXPECT_TRUE(SameHostObject(controller->iEdMcr, set.Entity()));
    EXPECT_EQ(std::wstring(controller->location), L"PART:set");
    EXPECT_EQ(controller->mask, 0x2C1Fu);
    EXPECT_EQ(controller->state, Normset::StateReposition);
    ASSERT_TRUE(controller->elem_pos);
    EXPECT_EQ(controller->PosMode, 2);

    // An element of the library selected as such.
    assembly().selected = nullptr;
    document().V5().Value(IVel5Document3D::SelectedMacro) = _variant_t(AddElement("hole", false).V5().Primary());
    controller = NewController(1);
    controller->Prepare();
    EXPECT_EQ(std::wstring(controller->location), L"PART:hole");
    EXPECT_EQ(std::wstring(controller->org_location), L"PART:hole");
    EXPECT_EQ(controller->mask, 0x341Fu);
    EXPECT_EQ(controller->state, Normset::StateReposition);

    // An element another program made cannot be edited here.
    document().V5().Value(IVel5Document3D::SelectedMacro) =
        _variant_t(world().geometry.AddMacro("foreign", world().geometry.topPart).V5().Primary());
    controller = NewController(1);
    try {
        controller->Prepare();
        ADD_FAILURE() << "no warning";
    } catch (const _bstr_t& warning) {
        EXPECT_EQ(std::wstring(warning), L"Вы не можете отредактировать элемент \"foreign\" в текущем документе.\r\n"
                                         L"Откройте документ, в котором был создан этот элемент, и выполните редактирование.");
    }
}

TEST_F(Controller3D, SilentInsertionPlacesAtTheCallersPlacementAndKeepsAPartWhoseSpcObjectFailed)
{
    sim::ObjectRef placement = velmar().NewObject("callersPlacement");
    placement->Supports(__uuidof(IVel5Placement));
    const sim::ObjectRef response = book().MakeResponse(Bolt());
    auto controller = NewController(1);
    const IDispatchPtr part = controller->InsertPartSilent(response->As<INMResponse>(), placement->As<IVel5Placement>());
    ASSERT_EQ(assembly().Components().size(), 1u);
    sim::Component& silent = *assembly().Components().at(0);
    EXPECT_TRUE(SameHostObject(part, silent.part->V5().Ptr()));
    EXPECT_EQ(silent.Variable(L"L"), 50);
    EXPECT_EQ(sim::Object::From(V_DISPATCH(&silent.part->V5().Value(sim::Part::kPlacement))), placement.get());
    EXPECT_EQ(assembly().SpcObjectsOf(silent).size(), 1u);
    EXPECT_EQ(velmar().Panels().Runs(), 0u);

    document().Spc().RefuseAdd(2);
    EXPECT_TRUE(NewController(1)->InsertPartSilent(response->As<INMResponse>(), nullptr));
    EXPECT_EQ(VelmarMessages(), (std::vector<std::wstring>{L"Не удалось создать объект спецификации."}));
    ASSERT_EQ(assembly().Components().size(), 2u);

    // A bill of materials shown by the assembly gets the part's spc object and no component.
    document().V5().Value(IVel5Document3D::ViewMode) = 2L;
    EXPECT_FALSE(NewController(1)->InsertPartSilent(response->As<INMResponse>(), nullptr));
    ASSERT_EQ(assembly().Components().size(), 2u);
    EXPECT_EQ(document().Spc().Objects().size(), 2u);
    document().V5().Value(IVel5Document3D::ViewMode) = 0L;

    const IDispatchPtr fast = NewController(1)->InsertPartFast(response->As<INMResponse>());
    ASSERT_EQ(assembly().Components().size(), 3u);
    sim::Component& quick = *assembly().Components().at(2);
    EXPECT_TRUE(SameHostObject(fast, quick.part->V5().Ptr()));
    EXPECT_DOUBLE_EQ(quick.mass, 41.2);
    EXPECT_FALSE(quick.part->V5().Has(sim::Part::kPlacement));
    EXPECT_TRUE(assembly().SpcObjectsOf(quick).empty());
    EXPECT_EQ(document().Spc().Objects().size(), 2u);
}

// A drawing is refused by the relink and the user part as the base refuses it.
TEST_F(Controller3D, ADrawingRefusesRelinkAndUserPart)
{
    Restart({15, 0, 1, 0}, 1);
    const sim::ObjectRef client = book().NewProvider();
    VelmarNormset2D drawing(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                            client->As<INMClient>(), 1, 1);
    for (const auto& check : {&VelmarNormset::CheckDocumentValidForRelink, &VelmarNormset::CheckDocumentValidForClone})
        EXPECT_THROW((drawing.*check)(), _bstr_t);
}
