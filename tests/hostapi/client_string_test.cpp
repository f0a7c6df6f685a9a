// A text of the reference book for an identifier.
#include "hostapi/client_string.h"

#include "sim/reference_book.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

class ClientString : public sim::StandInTest {
protected:
    void TearDown() override
    {
        book_.reset();
        StandInTest::TearDown();
    }
    INMClientPtr Provider() { return book_->NewProvider()->As<INMClient>(); }
    std::unique_ptr<sim::ReferenceBook> book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
};

TEST_F(ClientString, GivesTheReferenceBooksTextForTheIdentifier)
{
    book_->SetClientString(L"TCS:BOLT-NUT[d=10]", L"PART:7798-70[d=10;L=50]\r\nPART:5915-70[d=10]");
    const _bstr_t members = QueryClientString(Provider(), L"TCS:BOLT-NUT[d=10]");
    EXPECT_EQ(std::wstring(members), L"PART:7798-70[d=10;L=50]\r\nPART:5915-70[d=10]");
    EXPECT_EQ(journal().Lines(), (std::vector<std::string>{"client#39(\"TCS:BOLT-NUT[d=10]\",&)"}));
}

TEST_F(ClientString, AFailureRaisesWithTheProvidersInterface)
{
    velmar().Faults().FailMember("client#39", E_FAIL);
    try {
        QueryClientString(Provider(), L"x");
        FAIL() << "no error";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_FAIL);
        EXPECT_EQ(error.GUID_(), __uuidof(INMClient));
    }
}

TEST_F(ClientString, NoProviderRaisesEPointer)
{
    try {
        QueryClientString(nullptr, L"x");
        FAIL() << "no error";
    } catch (const _com_error& error) {
        EXPECT_EQ(error.Error(), E_POINTER);
    }
}
