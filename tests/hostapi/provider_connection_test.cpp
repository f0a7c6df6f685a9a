// The one provider of the process against the stand-in reference book: created and connected once, the
// messages of a failed start or connection, the set-up options sent only on a change.
#include "hostapi/provider_connection.h"

#include "core/com_convert.h"
#include "core/module.h"
#include "core/trace_log.h"
#include "sim/reference_book.h"
#include "sim/stand_in_test.h"
#include "support/select_answer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::HasSubstr;
using testsupport::Answer;
using Lines = std::vector<std::string>;

namespace {

std::wstring InitFailure()
{
    try {
        NormsetInitOnce();
    } catch (const std::wstring& message) {
        return message;
    }
    return L"(connected)";
}

InstrumentOptions Options(long mask, const wchar_t* documentId = L"3DSolid")
{
    return {L"Velmar", L"1501", documentId, L"3", L"C:\\lib\\normset.dll", mask};
}

HRESULT ComFailure(const std::function<void()>& action)
{
    try {
        action();
    } catch (const _com_error& failure) {
        return failure.Error();
    }
    return S_OK;
}

class ProviderConnection : public sim::StandInTest {
protected:
    void TearDown() override
    {
        // The provider goes before the reference book that serves it.
        HoldProvider(nullptr, nullptr);
        testhooks::ResetProviderConnection();
        book_.reset();
        sim::StandInTest::TearDown();
    }

    sim::ReferenceBook& book() { return *book_; }
    // The reference book's class is no longer in the process.
    void RemoveBook() { book_.reset(); }
    size_t OptionsSent() const { return book_->InstrumentOptionsSent().size(); }

private:
    std::unique_ptr<sim::ReferenceBook> book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
};

} // namespace

TEST_F(ProviderConnection, FirstCommandCreatesAndConnectsOnceForTheProcess)
{
    TraceLog log(L"test", false);
    NormsetInitOnce();
    NormsetInitOnce();
    EXPECT_EQ(book().ProvidersCreated(), 1);
    EXPECT_EQ(book().Connects(), 1);
    ASSERT_NE(NormsetProvider(), nullptr);
    EXPECT_EQ(journal().Lines(), (Lines{"client#27(&,&)"}));
    EXPECT_THAT(log.Text(), HasSubstr(L"{NormsetInitOnce\r\n\tFirst_init\r\n"
                                      L"\tiNMClientExt.CreateInstance(VAZEZadAzuduv::CLSID_BOSimpleProvider)="
                                      L"SUCCEEDED(0x00000000)\r\n"));
    EXPECT_EQ(log.Text().find(L"First_init"), log.Text().rfind(L"First_init"));
}

TEST_F(ProviderConnection, RefusedConnectionGivesTwoLinesAndTheNextCommandStartsAgain)
{
    book().SetConnectOutcome(5, L"Сервер недоступен");
    TraceLog log(L"test", false);
    EXPECT_EQ(InitFailure(), L"Ошибка подключения к серверу.\r\nСервер недоступен");
    EXPECT_EQ(NormsetProvider(), nullptr);
    EXPECT_EQ(book().Disconnects(), 1);
    EXPECT_THAT(log.Text(), HasSubstr(L"\t\"Init_error\"\r\n"));

    book().SetConnectOutcome(0);
    NormsetInitOnce();
    EXPECT_EQ(book().ProvidersCreated(), 2);
    EXPECT_EQ(book().Connects(), 2);
    EXPECT_NE(NormsetProvider(), nullptr);
}

TEST_F(ProviderConnection, FailingCleanUpDoesNotHideWhyTheConnectionWasRefused)
{
    book().SetConnectOutcome(1, L"Нет лицензии");
    velmar().Faults().FailMember("client#28", E_FAIL);
    EXPECT_EQ(InitFailure(), L"Ошибка подключения к серверу.\r\nНет лицензии");
    EXPECT_EQ(NormsetProvider(), nullptr);
}

TEST_F(ProviderConnection, UnregisteredProviderNamesTheErrorCode)
{
    RemoveBook();
    TraceLog log(L"test", false);
    EXPECT_EQ(InitFailure(), L"Ошибка при запуске Справочника (код ошибки 0x80040154).");
    EXPECT_EQ(NormsetProvider(), nullptr);
    EXPECT_THAT(log.Text(), HasSubstr(L"=FAILED(0x80040154)\r\n"));
}

TEST_F(ProviderConnection, FailingConnectCallIsAComErrorAndIsTriedAgain)
{
    velmar().Faults().FailMember("client#27", E_FAIL, 1);
    EXPECT_EQ(ComFailure([] { NormsetInitOnce(); }), E_FAIL);
    NormsetInitOnce();
    EXPECT_EQ(book().ProvidersCreated(), 2);
    EXPECT_EQ(book().Connects(), 1);
}

TEST_F(ProviderConnection, EmptiedSlotIsFilledAgain)
{
    NormsetInitOnce();
    HoldProvider(nullptr, nullptr);
    NormsetInitOnce();
    EXPECT_EQ(book().ProvidersCreated(), 2);
    EXPECT_NE(NormsetProvider(), nullptr);
}

TEST_F(ProviderConnection, ControllerOptionsAreSentOnlyWhenThePairChanges)
{
    NormsetInitOnce();
    INMClient* provider = NormsetProvider();
    EXPECT_TRUE(SetInstrumentOptionsOnChange(provider, 5, Options(15)));
    EXPECT_FALSE(SetInstrumentOptionsOnChange(provider, 5, Options(15)));
    EXPECT_EQ(OptionsSent(), 1u);
    EXPECT_TRUE(SetInstrumentOptionsOnChange(provider, 5, Options(7)));   // the mask alone
    EXPECT_TRUE(SetInstrumentOptionsOnChange(provider, 4, Options(7)));   // the document type alone
    EXPECT_EQ(OptionsSent(), 3u);
    const sim::InstrumentOptions& sent = book().InstrumentOptionsSent().back();
    EXPECT_EQ(sent.instrument, L"Velmar");
    EXPECT_EQ(sent.hostVersion, L"1501");
    EXPECT_EQ(sent.documentId, L"3DSolid");
    EXPECT_EQ(sent.containerId, L"3");
    EXPECT_EQ(sent.extra, std::optional<std::wstring>(L"C:\\lib\\normset.dll"));
    EXPECT_EQ(sent.mask, 7);
}

TEST_F(ProviderConnection, OptionsSentByAnotherPathOrToANewProviderAreSentAgain)
{
    NormsetInitOnce();
    EXPECT_TRUE(SetInstrumentOptionsOnChange(NormsetProvider(), 5, Options(15)));
    // The hot points set the reference book up for 2D on their own.
    SetInstrumentOptions(NormsetProvider(), {L"Velmar", L"1501", L"2D", L"0", _bstr_t(), 15});
    EXPECT_TRUE(SetInstrumentOptionsOnChange(NormsetProvider(), 5, Options(15)));
    EXPECT_EQ(book().InstrumentOptionsSent().at(1).documentId, L"2D");
    EXPECT_EQ(book().InstrumentOptionsSent().at(1).extra, std::nullopt);
    EXPECT_EQ(book().InstrumentOptionsSent().at(2).documentId, L"3DSolid");

    ASSERT_EQ(CreateNormsetProvider(), S_OK);
    EXPECT_TRUE(SetInstrumentOptionsOnChange(NormsetProvider(), 5, Options(15)));
    EXPECT_EQ(OptionsSent(), 4u);
}

TEST_F(ProviderConnection, OptionsThatFailedAreNotRemembered)
{
    NormsetInitOnce();
    velmar().Faults().FailMember("client#29", E_FAIL, 1);
    EXPECT_EQ(ComFailure([] { SetInstrumentOptionsOnChange(NormsetProvider(), 5, Options(15)); }), E_FAIL);
    EXPECT_TRUE(SetInstrumentOptionsOnChange(NormsetProvider(), 5, Options(15)));
}

TEST_F(ProviderConnection, SelectionPassesItsArgumentsAndTakesBackWhatComesBack)
{
    NormsetInitOnce();
    book().QueueSelect(Answer(0x0400, L"<response/>", L"p", L"loc"));
    long command = 3;
    _bstr_t params(L"measured");
    _bstr_t location(L"");
    INMResponsePtr response = ClientSelect(NormsetProvider(), command, params, location, reinterpret_cast<HWND>(0x1234));
    ASSERT_EQ(book().Selections().size(), 1u);
    EXPECT_EQ(book().Selections()[0].command, 3);
    EXPECT_EQ(book().Selections()[0].params, L"measured");
    EXPECT_EQ(book().Selections()[0].location, L"");
    EXPECT_EQ(book().Selections()[0].ownerWindow, 0x1234);
    EXPECT_EQ(command, 0x0400);
    EXPECT_EQ(BstrToWString(params), L"p");
    EXPECT_EQ(BstrToWString(location), L"loc");
    ASSERT_TRUE(response);
    EXPECT_EQ(BstrToWString(ResponseXml(response)), L"<response/>");
}

TEST_F(ProviderConnection, AResponseHandedBackWithAFailureIsReleasedAndTheStringsStayAsTheyWere)
{
    NormsetInitOnce();
    sim::SelectAnswer failing = Answer(0x0400, L"<response/>", L"p", L"loc");
    failing.result = E_FAIL;
    book().QueueSelect(failing);
    long command = 3;
    _bstr_t params(L"measured");
    _bstr_t location(L"here");
    EXPECT_EQ(ComFailure([&] { ClientSelect(NormsetProvider(), command, params, location, nullptr); }), E_FAIL);
    EXPECT_EQ(command, 3);
    EXPECT_EQ(BstrToWString(params), L"measured");
    EXPECT_EQ(BstrToWString(location), L"here");
    // The teardown fails when the response object is still referenced.
}

TEST_F(ProviderConnection, NothingChosenGivesNoResponseAndNullObjectsAreComErrors)
{
    NormsetInitOnce();
    book().QueueSelect(Answer(0, std::nullopt));
    long command = 0;
    _bstr_t params(L"");
    _bstr_t location(L"");
    EXPECT_FALSE(ClientSelect(NormsetProvider(), command, params, location, nullptr));
    EXPECT_EQ(ComFailure([&] { ClientSelect(nullptr, command, params, location, nullptr); }), E_POINTER);
    EXPECT_EQ(ComFailure([] { ResponseXml(nullptr); }), E_POINTER);
    velmar().Faults().FailMember("client#30", E_ACCESSDENIED);
    EXPECT_EQ(ComFailure([&] { ClientSelect(NormsetProvider(), command, params, location, nullptr); }), E_ACCESSDENIED);
}
