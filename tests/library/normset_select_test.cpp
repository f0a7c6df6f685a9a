// The controller base's conversation with the stand-in reference book: measuring, positioning, the
// user who closes the book, and the response that is finally loaded.
#include "library/normset.h"

#include "core/com_convert.h"
#include "core/trace_log.h"
#include "objects/bad_response.h"
#include "sim/reference_book.h"
#include "sim/stand_in_test.h"
#include "support/select_answer.h"
#include "support/response_xml.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>

using namespace response_xml;
using testing::HasSubstr;
using testsupport::Answer;
using Steps = std::vector<std::string>;

namespace {

const HWND Owner = reinterpret_cast<HWND>(0x5678);

// Answers the host steps from a script and records them in order.
class ScriptedController : public Normset {
public:
    explicit ScriptedController(INMClient* provider) : Normset(Owner, provider) {}

    void CreatePart(const std::wstring& body) override
    {
        steps.push_back("CreatePart");
        bodies.push_back(body);
        CurrentPart = std::make_unique<NMObject>(hwndOwner, iNMClient);
    }
    void CreateSpcPart() override { steps.push_back("CreateSpcPart"); }
    bool Positioning() override
    {
        steps.push_back("Positioning");
        savedLocations.push_back(BstrToWString(saved_location));
        const bool accepted = positionings.empty() ? false : positionings.front();
        if (!positionings.empty())
            positionings.pop_front();
        return accepted;
    }
    std::wstring Measure() override
    {
        steps.push_back("Measure");
        return L"D=8";
    }
    std::wstring SelectParams() override
    {
        steps.push_back("SelectParams");
        return L"plain";
    }
    void SetReselectMask() override { steps.push_back("SetReselectMask"); }
    void ClearReselectMask() override { steps.push_back("ClearReselectMask"); }
    void SetInstrumentOption() override { steps.push_back("SetInstrumentOption"); }

    std::deque<bool> positionings;
    Steps steps;
    std::vector<std::wstring> bodies;
    std::vector<std::wstring> savedLocations;
};

std::wstring ResponseOf(const std::wstring& id)
{
    return PartResponse(L"parts/" + id + L".vbs", id);
}

class NormsetSelect : public sim::StandInTest {
protected:
    void TearDown() override
    {
        controller_.reset();
        provider_ = nullptr;
        book_.reset();
        sim::StandInTest::TearDown();
    }

    sim::ReferenceBook& book() { return *book_; }
    ScriptedController& controller() { return *controller_; }
    const std::vector<sim::SelectCall>& selections() { return book_->Selections(); }

    std::wstring Failure(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const BadResponse& failure) {
            return failure.Reason();
        }
        return L"(no failure)";
    }

private:
    std::unique_ptr<sim::ReferenceBook> book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
    INMClientPtr provider_ = book_->NewProvider()->As<INMClient>();
    std::unique_ptr<ScriptedController> controller_ = std::make_unique<ScriptedController>(provider_);
};

} // namespace

TEST_F(NormsetSelect, PlainChoiceIsLoaded)
{
    book().QueueSelect(Answer(0, ResponseOf(L"PART:A[1]")));
    EXPECT_TRUE(controller().SelectPart());
    EXPECT_EQ(controller().steps, (Steps{"SetInstrumentOption", "SelectParams", "CreatePart"}));
    ASSERT_EQ(selections().size(), 1u);
    EXPECT_EQ(selections()[0].command, 0);
    EXPECT_EQ(selections()[0].params, L"plain");
    EXPECT_EQ(selections()[0].location, L"");
    EXPECT_EQ(selections()[0].ownerWindow, 0x5678);
    EXPECT_EQ(controller().state, Normset::StateChosen);
    EXPECT_EQ(controller().PosMode, -1);
    ASSERT_TRUE(controller().CurrentPart);
    EXPECT_EQ(controller().CurrentPart->NM_ID, L"PART:A[1]");
    EXPECT_EQ(controller().bodies, (std::vector<std::wstring>{L"parts/PART:A[1].vbs"}));
}

TEST_F(NormsetSelect, MeasurementIsSentBackAndTheSecondAnswerIsLoaded)
{
    book().QueueSelect(Answer(3, ResponseOf(L"FIRST")));
    book().QueueSelect(Answer(0, ResponseOf(L"SECOND")));
    EXPECT_TRUE(controller().SelectPart());
    ASSERT_EQ(selections().size(), 2u);
    EXPECT_EQ(selections()[1].command, 3);
    EXPECT_EQ(selections()[1].params, L"D=8");
    EXPECT_EQ(controller().steps, (Steps{"SetInstrumentOption", "SelectParams", "Measure", "CreatePart"}));
    EXPECT_EQ(controller().CurrentPart->NM_ID, L"SECOND");
}

TEST_F(NormsetSelect, CancelledPositioningForgetsTheChoiceAndSelectsAgain)
{
    book().QueueSelect(Answer(0x0400, ResponseOf(L"ELEMENT"), L"", L"EDGE:1"));
    book().QueueSelect(Answer(0, ResponseOf(L"PART:B[2]")));
    controller().positionings = {false};
    EXPECT_TRUE(controller().SelectPart());
    EXPECT_EQ(controller().PosMode, 2);
    EXPECT_EQ(controller().steps, (Steps{"SetInstrumentOption", "SelectParams", "Positioning", "SetInstrumentOption",
                                         "SelectParams", "CreatePart"}));
    EXPECT_EQ(controller().savedLocations, (std::vector<std::wstring>{L"EDGE:1"}));
    ASSERT_EQ(selections().size(), 2u);
    EXPECT_EQ(selections()[1].location, L"");   // the location was emptied
    EXPECT_EQ(controller().command, 0);
    EXPECT_EQ(controller().CurrentPart->NM_ID, L"PART:B[2]");
}

TEST_F(NormsetSelect, AcceptedPositioningAsksAgainUnderTheReselectMask)
{
    book().QueueSelect(Answer(0x0100, ResponseOf(L"FIRST")));
    book().QueueSelect(Answer(0x0700, ResponseOf(L"SECOND")));
    book().QueueSelect(Answer(0, ResponseOf(L"THIRD"), L"", L"HOLE:2"));
    controller().positionings = {true, true};
    EXPECT_TRUE(controller().SelectPart());
    EXPECT_EQ(controller().steps,
              (Steps{"SetInstrumentOption", "SelectParams", "Positioning", "SetReselectMask", "SetInstrumentOption",
                     "SelectParams", "ClearReselectMask", "Positioning", "SetReselectMask", "SetInstrumentOption",
                     "SelectParams", "ClearReselectMask", "CreatePart"}));
    EXPECT_EQ(controller().PosMode, 4);   // kind 7 of the second answer
    EXPECT_EQ(controller().state, Normset::StatePosition);
    EXPECT_EQ(BstrToWString(controller().org_location), L"HOLE:2");
    EXPECT_EQ(controller().CurrentPart->NM_ID, L"THIRD");
}

TEST_F(NormsetSelect, NoInstancesLeadsBackToPositioning)
{
    book().QueueSelect(Answer(0x0200, ResponseOf(L"FIRST")));
    book().QueueSelect(Answer(0x0200, ResponseOf(L"NONE"), L"NoInstances"));
    book().QueueSelect(Answer(0, ResponseOf(L"LAST")));
    controller().positionings = {true, true};
    EXPECT_TRUE(controller().SelectPart());
    EXPECT_EQ(std::count(controller().steps.begin(), controller().steps.end(), "Positioning"), 2);
    EXPECT_EQ(controller().PosMode, 0);   // NoInstances takes no positioning kind from its command
    ASSERT_EQ(selections().size(), 3u);
    EXPECT_EQ(selections()[2].command, 0) << "nor sends its command back";
    EXPECT_FALSE(controller().IsNoInstances);
    EXPECT_EQ(controller().CurrentPart->NM_ID, L"LAST");
}

TEST_F(NormsetSelect, UserWhoClosesTheBookChoosesNothing)
{
    book().QueueSelect(Answer(0, std::nullopt));
    EXPECT_FALSE(controller().SelectPart());
    EXPECT_FALSE(controller().CurrentPart);
    EXPECT_EQ(controller().steps, (Steps{"SetInstrumentOption", "SelectParams"}));
}

TEST_F(NormsetSelect, ClosingTheBookOverAPlacedPartIsNoResponse)
{
    book().QueueSelect(Answer(0, std::nullopt, L"", L"PART:OLD[1]"));
    EXPECT_EQ(Failure([&] { controller().SelectPart(); }), L"No response");
}

TEST_F(NormsetSelect, UnknownPositioningKindIsABadCommand)
{
    book().QueueSelect(Answer(0x0800, ResponseOf(L"X")));
    EXPECT_EQ(Failure([&] { controller().SelectPart(); }), L"Bad command");
    EXPECT_TRUE(std::find(controller().steps.begin(), controller().steps.end(), "Positioning") ==
                controller().steps.end());
}

TEST_F(NormsetSelect, ExchangeIsTraced)
{
    book().QueueSelect(Answer(0x0300, ResponseOf(L"X"), L"p", L"loc"));
    book().QueueSelect(Answer(0, ResponseOf(L"Y")));
    controller().positionings = {true};
    TraceLog log(L"test", false);
    controller().SelectPart();
    const std::wstring& text = log.Text();
    EXPECT_THAT(text, HasSubstr(L"{Normset::SelectEx\r\n\t\t(LONG_PTR) hwndOwner=0x0000000000005678\r\n"
                                L"\t\tPosMode=-1\r\n\t\tcommand=0\r\n\t\tparams=\"plain\"\r\n\t\tlocation=\"\"\r\n"
                                L"\t\tcommand=768\r\n\t\tparams=\"p\"\r\n\t\tlocation=\"loc\"\r\n\t\tm_iResponse=0x"));
    EXPECT_THAT(text, HasSubstr(L"IsNoInstances=0\r\n\t\tIs_Positioning_Command\r\n\t\tPosMode=1\r\n"));
    EXPECT_THAT(text, HasSubstr(L"{Normset::SelectElement\r\n"));
    EXPECT_THAT(text, HasSubstr(L"org_location=\"loc\"\r\n"));
    EXPECT_THAT(text, HasSubstr(L"org_command=768\r\n"));
}

TEST_F(NormsetSelect, ProviderFailuresPassUnchanged)
{
    velmar().Faults().FailMember("client#30", E_ACCESSDENIED);
    HRESULT failure = S_OK;
    try {
        controller().SelectPart();
    } catch (const _com_error& error) {
        failure = error.Error();
    }
    EXPECT_EQ(failure, E_ACCESSDENIED);

    ScriptedController orphan(nullptr);
    failure = S_OK;
    try {
        orphan.SelectPart();
    } catch (const _com_error& error) {
        failure = error.Error();
    }
    EXPECT_EQ(failure, E_POINTER);
}

TEST_F(NormsetSelect, CallersResponseIsLoadedLikeTheControllersOwn)
{
    sim::ObjectRef response = book().MakeResponse(ResponseOf(L"GIVEN"));
    controller().LoadResponse(response->As<INMResponse>());
    EXPECT_EQ(controller().CurrentPart->NM_ID, L"GIVEN");
    EXPECT_FALSE(controller().m_iResponse);

    HRESULT failure = S_OK;
    try {
        controller().LoadResponse(nullptr);
    } catch (const _com_error& error) {
        failure = error.Error();
    }
    EXPECT_EQ(failure, E_POINTER);
    // An answer that is no XML is a damaged answer, named by the parser's complaint.
    sim::ObjectRef broken = book().MakeResponse(L"<response><objectcollection>");
    try {
        controller().LoadResponse(broken->As<INMResponse>());
        ADD_FAILURE() << "loaded";
    } catch (const BadResponse& bad) {
        EXPECT_EQ(bad.Reason(), L"Start-end tags mismatch");
    }
}
