// The measure tools of a drawing against the stand-in: each kind with the user's points and picks, the
// host calls of a pick inside a macro and of a distance in order, the angle's fold, the filter export,
// and every host call of a measure of each kind failing in turn.
#include "tools/nm_measure_2d.h"

#include "insert2d/drawing_stand_in.h"
#include "library/command_dispatch.h"
#include "library/command_table.h"
#include "library/exports.h"
#include "hostapi/provider_connection.h"
#include "core/module.h"
#include "hostapi/dispatch_call.h"
#include "support/host_fault_sweep.h"
#include "tools/filter_watch.h"

using namespace drawing_test;
using namespace measure_test;

namespace {

// The drawing the user measures in; objects are found by their start or centre.
//   (0,0)-(30,40) a segment 50 long; (20,0)-(40,0) one at 0 degrees; (0,100)-(10,110) one at 45
//   a circle at (50,50) of radius 5, an arc at (80,80) of radius 2.5
//   a line of type 28 at (90,0) whose parameters cannot be read
//   a macro at (100,0) turned by 90 degrees holding a segment 8 long from (0.5,0), at (100,0.5) in the drawing
class Measure2D : public DrawingStandIn {
protected:
    Measure2D()
    {
        auto segment = [](double x1, double y1, double x2, double y2) {
            return std::map<int, _variant_t>{{1, x1}, {2, y1}, {3, x2}, {4, y2}};
        };
        Drawing().Add(1, segment(0, 0, 30, 40));
        Drawing().Add(1, segment(20, 0, 40, 0));
        Drawing().Add(1, segment(0, 100, 10, 110));
        Drawing().Add(3, {{1, 50.0}, {2, 50.0}, {3, 5.0}});
        Drawing().Add(2, {{1, 80.0}, {2, 80.0}, {3, 2.5}});
        Drawing().Find(Drawing().Add(28, segment(90, 0, 95, 0)))->unreadable = true;
        macro_ = Drawing().AddMacro(100, 0);
        Drawing().Find(macro_)->angle = 90;
        Drawing().Add(1, segment(0.5, 0, 0.5, 8), macro_);
        velmar().Drawings().LinkMeasureFilter(&Watched<&MEASUREFILTERPROC2D, LONG_PTR, double*, double*, LONG_PTR, LONG_PTR, int>);
        WatchFilterCalls(journal());
    }
    void TearDown() override
    {
        EXPECT_EQ(NMMeasure2D::Current(), nullptr);
        // The library lets go of Velmar and the reference book, as an unload does, also after a failed
        // assertion of the insert command's test.
        HoldProvider(nullptr, nullptr);
        testhooks::ResetProviderConnection();
        HoldApplication5(nullptr);
        HoldApplication7(nullptr);
        DrawingStandIn::TearDown();
    }

    // One measure of a kind, the user answering each point request in turn.
    std::wstring Measure(uint8_t kind, const std::vector<const wchar_t*>& answers)
    {
        for (const wchar_t* answer : answers)
            velmar().User().Answer("point", _variant_t(answer));
        return MeasureOnce<NMMeasure2D>(App5(), kind);
    }
    // Every object of the drawing and of the macro that is highlighted.
    std::vector<long> Highlighted()
    {
        std::vector<long> all = Drawing().Objects();
        const std::vector<long> inner = Drawing().Contents(macro_);
        all.insert(all.end(), inner.begin(), inner.end());
        std::erase_if(all, [this](long reference) { return !Drawing().Find(reference)->highlighted; });
        return all;
    }

    long macro_ = 0;
};

} // namespace

TEST_F(Measure2D, EachKindMeasuresWhatTheUserPointsAtOrPicks)
{
    struct Row {
        const char* name;
        uint8_t kind;
        std::vector<const wchar_t*> answers;
        const wchar_t* text;
        Lines picks;   // the cursor positions offered to the filter, with its answers
    };
    const Row rows[] = {
        {"distance", 1, {L"0,0", L"30,40"}, L"50", {}},
        {"distance, first point not given", 1, {L"end"}, L"0", {}},
        {"distance, second point not given", 1, {L"0,0", L"end"}, L"0", {}},
        {"length of a segment", 2, {L"25,25; 0,0"}, L"50", {"move 25, 25: 1", "click 0, 0: 0"}},
        {"length of a circle", 2, {L"50,50"}, L"31.41592654", {"click 50, 50: 0"}},
        {"length inside a macro", 2, {L"100,0.5"}, L"8", {"click 100, 0.5: 0"}},
        {"length, pick ended without a click", 2, {L"0,0; end"}, L"0", {"move 0, 0: 0"}},
        {"diameter of a circle", 3, {L"50,50"}, L"10", {"click 50, 50: 0"}},
        {"diameter of an arc", 3, {L"20,0; 80,80"}, L"5", {"move 20, 0: 1", "click 80, 80: 0"}},
        {"diameter of a segment refused", 3, {L"0,0"}, L"0", {"click 0, 0: 1"}},
        {"angle from 0 to 45 degrees", 4, {L"20,0", L"0,100"}, L"135", {"click 20, 0: 0", "click 0, 100: 0"}},
        {"angle from 45 to 0 degrees", 4, {L"0,100", L"20,0"}, L"45", {"click 0, 100: 0", "click 20, 0: 0"}},
        {"angle to a line whose parameters cannot be read", 4, {L"20,0", L"90,0"}, L"0", {"click 20, 0: 0", "click 90, 0: 0"}},
        {"angle, circle refused", 4, {L"50,50"}, L"0", {"click 50, 50: 1"}},
        {"angle, second pick ended", 4, {L"20,0", L"end"}, L"0", {"click 20, 0: 0"}},
        {"no tool for a thread in a drawing", 5, {}, L"", {}},
    };
    for (const Row& row : rows) {
        const size_t before = Drawing().Picks().size();
        const std::wstring expected = *row.text ? L"<MEASURE>" + std::wstring(row.text) + L"</MEASURE>" : L"";
        EXPECT_EQ(Measure(row.kind, row.answers), expected) << row.name;
        EXPECT_EQ(Lines(Drawing().Picks().begin() + before, Drawing().Picks().end()), row.picks) << row.name;
        EXPECT_EQ(Highlighted(), std::vector<long>{}) << row.name;
        EXPECT_EQ(NMMeasure2D::Current(), nullptr) << row.name;
    }
}

TEST_F(Measure2D, APickInsideAMacroAndADistanceMakeTheirHostCallsInOrder)
{
    journal().Clear();
    Measure(2, {L"100,0.5"});
    EXPECT_EQ(journal().Lines(), (Lines{
        "app5.5()", "app5.9(10)", "struct10.17()", "struct10.1=\"Укажите объект\"", "struct10.5=1", "struct10.10=65532",
        "struct10.12(\"MEASUREFILTERPROC2D\",0,null)", "app5.24()", "drawing5.117(struct10,&,&,empty)",
        // The filter: the macro under the cursor is searched in its own coordinates.
        "drawing5.109(100,0.5,&,&)", "drawing5.39(100,0.5,1)", "drawing5.8(107,empty,-1)", "drawing5.54(107)",
        "drawing5.157(107,&,&,&)", "drawing5.107(100,0,90,1,1)", "drawing5.109(100,0.5,&,&)",
        "drawing5.39(0.5,3.06151588455594e-17,1)", "drawing5.8(108,empty,-1)", "drawing5.108()", "drawing5.19()",
        "drawing5.38(108,1)",
        // The pick ended: highlight off, then the length.
        "drawing5.38(108,0)", "app5.8()", "math2d.40(108,1)"}));
    journal().Clear();
    Measure(1, {L"0,0", L"30,40"});
    EXPECT_EQ(journal().Lines(), (Lines{
        "app5.5()", "app5.9(10)", "struct10.17()", "struct10.1=\"Укажите первую точку для измерения расстояния\"",
        "app5.24()", "drawing5.117(struct10,&,&,empty)",
        "app5.9(10)", "struct10.17()", "struct10.1=\"Укажите вторую точку для измерения расстояния\"",
        // A rubber line from the first point.
        "app5.9(6)", "struct6.3()", "struct6.1=2", "struct6.2()", "phantomPoint.1=0", "phantomPoint.2=0",
        "app5.24()", "drawing5.117(struct10,&,&,struct6)"}));
}

TEST(MeasureAngle2D, TheAngleIsTheFirstDirectionLessTheSecondFoldedInto0To180)
{
    struct Row {
        double first, second, angle;
    };
    for (const Row& row : {Row{30, 210, 180}, Row{30, 250, 140}, Row{250, 30, 40}, Row{210, 30, 180}, Row{45, 45, 0},
                           Row{0, 90, 90}, Row{359, 0, 179}}) {
        EXPECT_EQ(FoldSegmentAngle(row.first, row.second), row.angle) << row.first << " " << row.second;
    }
}

TEST_F(Measure2D, TheValueHasTenSignificantDigitsAndTheFilterAnswers0WithoutATool)
{
    NMMeasureDistance2D tool(App5());
    for (const auto& [value, text] : {std::pair{0.1, L"0.1"}, {1.0 / 3, L"0.3333333333"}, {12345678901.0, L"1.23456789e+10"}, {0.0, L"0"}}) {
        tool.Value = value;
        EXPECT_EQ(tool.GetValueText(), text);
    }
    double x = 0, y = 0;
    journal().Clear();
    EXPECT_EQ(MEASUREFILTERPROC2D(0, &x, &y, 0, 0, 0), 0);
    NMMeasure2D::Create(App5(), 2);
    EXPECT_EQ(MEASUREFILTERPROC2D(0, nullptr, &y, 0, 0, 0), 0);
    EXPECT_FALSE(NMMeasure2D::Current()->PickFlag);
    // A kind outside the table keeps the tool current.
    NMMeasure2D* const tool2 = NMMeasure2D::Current();
    NMMeasure2D::Create(App5(), 0);
    EXPECT_EQ(NMMeasure2D::Current(), tool2);
    NMMeasure2D::DeleteCurrent();
    EXPECT_EQ(journal().Lines(), Lines{"app5.5()"});
}

TEST_F(Measure2D, AFailedHostCallReachesTheCallerOrIsKeptByTheFilterAndLeavesNothingOn)
{
    struct Row {
        uint8_t kind;
        std::vector<const wchar_t*> answers;
        size_t calls;
    };
    for (const Row& row : {Row{1, {L"0,0", L"30,40"}, 17}, Row{2, {L"25,25; 100,0.5"}, 26}, Row{3, {L"50,50"}, 19},
                           Row{4, {L"20,0", L"0,100"}, 45}}) {
        SCOPED_TRACE(row.kind);
        test_support::SweepHostCalls(
            velmar(),
            [&]() -> std::function<void()> {
                velmar().User().Clear();
                failedInFilter = false;
                for (const wchar_t* answer : row.answers)
                    velmar().User().Answer("point", _variant_t(answer));
                return [&] { MeasureOnce<NMMeasure2D>(App5(), row.kind); };
            },
            [&](const test_support::SweptFailure& failure) {
                EXPECT_TRUE(failure.raised || failedInFilter);
                EXPECT_EQ(NMMeasure2D::Current(), nullptr);
                // Only a failure of the very call that switches the highlight off or closes a bracket
                // leaves it.
                const auto& calls = journal().Calls();
                const std::string text = std::find_if(calls.begin(), calls.end(), [](const sim::Call& call) { return call.result == E_FAIL; })->Text();
                if (text.find(",0) ->") == std::string::npos || failure.call != "drawing5.38") {
                    EXPECT_EQ(Highlighted(), std::vector<long>{});
                }
                if (failure.call != "drawing5.19" && failure.call != "drawing5.108") {
                    EXPECT_EQ(velmar().OpenBrackets(), Lines{});
                }
                for (long reference : Highlighted())
                    Drawing().Find(reference)->highlighted = false;
                while (!velmar().OpenBrackets().empty())
                    V5Method(Drawing().V5().As<IVel5Document2D>(), velmar().OpenBrackets().front().find("local") != std::string::npos
                                                                       ? DISPID{IVel5Document2D::CloseLocalSystem}
                                                                       : DISPID{IVel5Document2D::EndMacro});
                velmar().User().Clear();
            },
            row.calls + 1);
    }
}

TEST_F(Measure2D, TheInsertCommandSendsTheMeasureToTheReferenceBook)
{
    HoldApplication5(velmar().Application5());
    HoldApplication7(velmar().Application7());
    sim::SelectAnswer measure;
    measure.command = 2;   // a length
    book_->QueueSelect(measure);
    book_->QueueSelect({});
    velmar().User().Answer("point", _variant_t(L"100,0.5"));
    std::wstring title, message;
    EXPECT_FALSE(ExecuteLibCommand(FindLibCommand(1), title, message)) << sim::Utf8(message);
    ASSERT_EQ(book_->Selections().size(), 2u);
    EXPECT_EQ(book_->Selections()[1].command, 2);
    EXPECT_EQ(book_->Selections()[1].params, L"<MEASURE>8</MEASURE>");
}
