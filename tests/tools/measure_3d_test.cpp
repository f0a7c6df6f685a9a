// The measure tools of an assembly against the stand-in: each kind with the entities the user offers
// and picks, the host calls of a distance in order, a document without a top part, the filter export,
// every host call of a measure of each kind failing in turn, and the insert command sending the measure
// back to the reference book.
#include "tools/nm_measure_3d.h"

#include "insert3d/insertion_stand_in.h"
#include "sim/construction_model.h"
#include "support/host_fault_sweep.h"
#include "tools/filter_watch.h"

using namespace insertion_test;
using namespace measure_test;

namespace {

// The assembly of the panel scene (sim/panel_scene.h), whose measurer answers a distance of 25 and an
// angle of 90 degrees.
class Measure3D : public InsertionStandIn {
protected:
    Measure3D()
    {
        made_ = std::make_unique<sim::Construction>(velmar(), document(), *world().geometry.topPart);
        made_->Measurer().Value(IVel5Measurer::Distance) = 25.0;
        made_->Measurer().Value(IVel5Measurer::Angle) = 90.0;
        velmar().Panels().LinkMeasureFilter(&Watched<&MEASUREFILTERPROC3D, IDispatch*>);
        WatchFilterCalls(journal());
    }
    void TearDown() override
    {
        EXPECT_EQ(NMMeasure3D::Current(), nullptr);
        made_.reset();
        InsertionStandIn::TearDown();
    }

    // One measure of a kind, the user playing one pick script for each pick.
    std::wstring Measure(uint8_t kind, const std::vector<const wchar_t*>& picks)
    {
        for (const wchar_t* steps : picks)
            velmar().User().Answer("panel", _variant_t(steps));
        return MeasureOnce<NMMeasure3D>(velmar().App5().As<IVel5Application>(), kind);
    }
    size_t HighlightedCount() { return document().Highlighted(0).size() + document().Highlighted(1).size(); }

    std::unique_ptr<sim::Construction> made_;
};

} // namespace

TEST_F(Measure3D, EachKindMeasuresWhatTheUserPicks)
{
    struct Row {
        const char* name;
        uint8_t kind;
        std::vector<const wchar_t*> picks;
        const wchar_t* text;
        Lines log;   // the picks and the filter's answers
        bool calculates = true;
    };
    const Row rows[] = {
        {"distance", 1, {L"offer edge; offer bore; pick top", L"pick side"}, L"25",
         {"pick \"Укажите первый объект\"", "step \"offer edge\": filter 0", "step \"offer bore\": filter 0",
          "step \"pick top\": filter 1", "end: picked top", "pick \"Укажите второй объект\"", "step \"pick side\": filter 1", "end: picked side"}},
        {"distance the measurer cannot take", 1, {L"pick top", L"pick side"}, L"0",
         {"pick \"Укажите первый объект\"", "step \"pick top\": filter 1", "end: picked top", "pick \"Укажите второй объект\"",
          "step \"pick side\": filter 1", "end: picked side"}, false},
        {"distance, second pick cancelled", 1, {L"pick top", L"cancel"}, L"0",
         {"pick \"Укажите первый объект\"", "step \"pick top\": filter 1", "end: picked top", "pick \"Укажите второй объект\"",
          "end: nothing picked"}},
        {"angle", 4, {L"pick top", L"offer thread; pick side"}, L"90",
         {"pick \"Укажите первый объект\"", "step \"pick top\": filter 1", "end: picked top", "pick \"Укажите второй объект\"",
          "step \"offer thread\": filter 0", "step \"pick side\": filter 1", "end: picked side"}},
        {"length of a cylindrical face", 2, {L"offer top; pick bore"}, L"20",
         {"pick \"Укажите ребро\"", "step \"offer top\": filter 0", "step \"pick bore\": filter 1", "end: picked bore"}},
        {"length of a straight edge", 2, {L"offer rim; offer thread; pick ridge"}, L"50",
         {"pick \"Укажите ребро\"", "step \"offer rim\": filter 0", "step \"offer thread\": filter 0", "step \"pick ridge\": filter 1",
          "end: picked ridge"}},
        {"diameter of a cylindrical face", 3, {L"offer top; pick bore"}, L"10",
         {"pick \"Укажите объект\"", "step \"offer top\": filter 0", "step \"pick bore\": filter 1", "end: picked bore"}},
        {"diameter of a circular edge", 3, {L"offer ridge; pick rim"}, L"12",
         {"pick \"Укажите объект\"", "step \"offer ridge\": filter 0", "step \"pick rim\": filter 1", "end: picked rim"}},
        {"diameter of a thread", 3, {L"pick thread"}, L"10",
         {"pick \"Укажите объект\"", "step \"pick thread\": filter 1", "end: picked thread"}},
        {"thread", 5, {L"offer bore; offer rim; pick thread"}, L"M10 x 1.5",
         {"pick \"Укажите резьбу\"", "step \"offer bore\": filter 0", "step \"offer rim\": filter 0", "step \"pick thread\": filter 1",
          "end: picked thread"}},
        {"thread cancelled", 5, {L"cancel"}, L"M0 x 0", {"pick \"Укажите резьбу\"", "end: nothing picked"}},
        {"no tool of kind 6", 6, {}, L"", {}},
    };
    for (const Row& row : rows) {
        made_->Measurer().Value(IVel5Measurer::Calculate) = row.calculates;
        const size_t before = velmar().Panels().Log().size();
        const std::wstring expected = *row.text ? L"<MEASURE>" + std::wstring(row.text) + L"</MEASURE>" : L"";
        EXPECT_EQ(Measure(row.kind, row.picks), expected) << row.name;
        EXPECT_EQ(Lines(velmar().Panels().Log().begin() + before, velmar().Panels().Log().end()), row.log) << row.name;
        EXPECT_EQ(HighlightedCount(), 0u) << row.name;
    }
}

TEST_F(Measure3D, ADistanceMakesItsHostCallsInOrder)
{
    journal().Clear();
    Measure(1, {L"pick top", L"pick side"});
    EXPECT_EQ(journal().Lines(), (Lines{
        "app5.3()", "asm5.44()", "asm5.45()", "selectionA.3()", "selectionB.3()", "asm5.7(-4)", "asm5.7(-1)", "assembly5.36()",
        "app5.24()", "asm5.25(null,\"MEASUREFILTERPROC3D\",\"Укажите первый объект\",0,null)", "top5.3", "top5.5()", "topDef.1()",
        "selectionB.1(top5)",
        "app5.24()", "asm5.25(null,\"MEASUREFILTERPROC3D\",\"Укажите второй объект\",0,null)", "side5.3", "side5.5()", "sideDef.1()",
        "selectionB.1(side5)", "measurer.1=top5", "measurer.2=side5", "measurer.8()", "measurer.15",
        // The highlight sets are emptied when the tool goes.
        "selectionA.3()", "selectionB.3()"}));
}

TEST_F(Measure3D, WithoutATopPartNoToolIsMadeAndTheFilterAnswers0WithoutATool)
{
    sim::Part* const top = std::exchange(world().geometry.topPart, nullptr);
    EXPECT_EQ(sim::CaughtHostError([&] { Measure(1, {}); }).Error(), E_POINTER);
    EXPECT_EQ(NMMeasure3D::Current(), nullptr);

    world().geometry.topPart = top;
    const IVel5EntityPtr face = world().geometry.AddFace("plane", top, {.test1 = true}).Entity();
    EXPECT_EQ(MEASUREFILTERPROC3D(face), 0);
    NMMeasure3D::Create(velmar().App5().As<IVel5Application>(), 1);
    journal().Clear();
    EXPECT_EQ(MEASUREFILTERPROC3D(nullptr), 0);
    EXPECT_EQ(journal().Lines(), Lines{});
    EXPECT_EQ(MEASUREFILTERPROC3D(face), 1);
    NMMeasure3D::DeleteCurrent();
}

TEST_F(Measure3D, AFailedHostCallReachesTheCallerOrIsKeptByTheFilterAndLeavesNoHighlight)
{
    struct Row {
        uint8_t kind;
        std::vector<const wchar_t*> picks;
        size_t calls;
    };
    for (const Row& row : {Row{1, {L"offer edge; pick top", L"pick side"}, 28}, Row{2, {L"pick ridge"}, 22}, Row{3, {L"pick rim"}, 21},
                           Row{4, {L"pick top", L"pick side"}, 26}, Row{5, {L"pick thread"}, 17}}) {
        SCOPED_TRACE(row.kind);
        test_support::SweepHostCalls(
            velmar(),
            [&]() -> std::function<void()> {
                velmar().User().Clear();
                failedInFilter = false;
                for (const wchar_t* steps : row.picks)
                    velmar().User().Answer("panel", _variant_t(steps));
                return [&] { MeasureOnce<NMMeasure3D>(velmar().App5().As<IVel5Application>(), row.kind); };
            },
            [&](const test_support::SweptFailure& failure) {
                // The highlight sets are emptied last, quietly, as the tool goes; only a failure of that
                // very call leaves a set as it was.
                const bool emptying = (failure.call == "selectionA.3" || failure.call == "selectionB.3") &&
                                      failure.n + 1 >= journal().Calls().size();
                EXPECT_TRUE(failure.raised || failedInFilter || emptying);
                EXPECT_EQ(NMMeasure3D::Current(), nullptr);
                if (!emptying) {
                    EXPECT_EQ(HighlightedCount(), 0u);
                }
                velmar().User().Clear();
            },
            row.calls + 1);
    }
}

TEST_F(Measure3D, TheInsertCommandSendsTheMeasureToTheReferenceBook)
{
    sim::SelectAnswer measure;
    measure.command = 1;   // a distance
    book().QueueSelect(measure);
    book().QueueSelect({});
    velmar().User().Answer("panel", _variant_t(L"pick top"));
    velmar().User().Answer("panel", _variant_t(L"pick side"));
    const Outcome outcome = Insert();
    EXPECT_FALSE(outcome.dialog) << sim::Utf8(outcome.message);
    ASSERT_EQ(book().Selections().size(), 2u);
    EXPECT_EQ(book().Selections()[1].command, 1);
    EXPECT_EQ(book().Selections()[1].params, L"<MEASURE>25</MEASURE>");
}
