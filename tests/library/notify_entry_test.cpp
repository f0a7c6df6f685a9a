// The hand-over of Velmar's application to the library, and the owner window taken from it.
#include "core/display_name.h"
#include "core/modal_seam.h"
#include "core/module.h"
#include "core/trace_log.h"
#include "library/application_sink.h"
#include "library/command_dispatch.h"
#include "library/exports.h"
#include "hostapi/velmar_application.h"
#include "sim/stand_in_test.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>

using Lines = std::vector<std::string>;

namespace {

std::string Locale(int category)
{
    const char* name = setlocale(category, nullptr);
    return name ? name : "";
}

class NotifyEntry : public sim::StandInTest {
protected:
    void SetUp() override
    {
        previousConnect_ = SetApplicationSinkConnect([this](IVel5Application* application) {
            connected_.push_back(application);
        });
    }
    void TearDown() override
    {
        SetApplicationSinkConnect(previousConnect_);
        // The slots hold references to the stand-in: they go before it does.
        HoldApplication5(nullptr);
        HoldApplication7(nullptr);
        setlocale(LC_ALL, "C");
        sim::StandInTest::TearDown();
    }

    IUnknown* Identity(IUnknown* object)
    {
        IUnknownPtr identity;
        if (object)
            object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
        return identity.GetInterfacePtr();
    }

    std::vector<IVel5Application*> connected_;

private:
    ApplicationSinkConnect previousConnect_;
};

} // namespace

TEST_F(NotifyEntry, KeepsBothApplicationsAndConnectsTheSinkFromVersion1402)
{
    UseVelmar({14, 0, 2, 0});
    EXPECT_EQ(LibInterfaceNotifyEntry(velmar().Application5()), 1);
    ASSERT_NE(HeldVelmar5(), nullptr);
    EXPECT_EQ(Identity(HeldVelmar5()), Identity(velmar().Application5()));
    EXPECT_EQ(Identity(HeldVelmar7()), Identity(velmar().Application7()));
    EXPECT_EQ(journal().Lines(), (Lines{"app5.103", "app5.50(&,&,&,&)"}));
    ASSERT_EQ(connected_.size(), 1u);
    EXPECT_EQ(connected_[0], HeldVelmar5());
}

TEST_F(NotifyEntry, Version1401IsNotConnected)
{
    UseVelmar({14, 0, 1, 0});
    EXPECT_EQ(LibInterfaceNotifyEntry(velmar().Application5()), 1);
    EXPECT_NE(HeldVelmar5(), nullptr);
    EXPECT_TRUE(connected_.empty());
}

TEST_F(NotifyEntry, SetsTheEnvironmentsLocaleWithRussianCharactersAndCollation)
{
    setlocale(LC_ALL, "C");
    LibInterfaceNotifyEntry(velmar().Application5());
    EXPECT_NE(Locale(LC_CTYPE).find("Russian"), std::string::npos) << Locale(LC_CTYPE);
    EXPECT_NE(Locale(LC_COLLATE).find("Russian"), std::string::npos) << Locale(LC_COLLATE);
    // Numbers keep the environment's conventions (the test bed's is "C").
    EXPECT_EQ(Locale(LC_NUMERIC).find("Russian"), std::string::npos) << Locale(LC_NUMERIC);
}

TEST_F(NotifyEntry, ASecondCallChangesNothing)
{
    LibInterfaceNotifyEntry(velmar().Application5());
    IVel5Application* first = HeldVelmar5();
    setlocale(LC_ALL, "C");
    journal().Clear();
    sim::Velmar other({15, 0, 1, 0});
    EXPECT_EQ(LibInterfaceNotifyEntry(other.Application5()), 1);
    EXPECT_EQ(HeldVelmar5(), first);
    EXPECT_EQ(Locale(LC_CTYPE), "C");
    EXPECT_EQ(connected_.size(), 1u);
    EXPECT_TRUE(other.Journal().Lines().empty());
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(NotifyEntry, AnObjectThatIsNoVelmarApplicationLeavesBothSlotsEmpty)
{
    sim::ObjectRef stranger = velmar().NewObject("stranger");
    EXPECT_EQ(LibInterfaceNotifyEntry(stranger->Ptr()), 1);
    EXPECT_EQ(HeldVelmar5(), nullptr);
    EXPECT_EQ(HeldVelmar7(), nullptr);
    EXPECT_EQ(LibInterfaceNotifyEntry(nullptr), 1);
    EXPECT_EQ(HeldVelmar5(), nullptr);
    EXPECT_TRUE(connected_.empty());
    // A later call with the real application still takes it.
    EXPECT_EQ(LibInterfaceNotifyEntry(velmar().Application5()), 1);
    EXPECT_NE(HeldVelmar5(), nullptr);
}

TEST_F(NotifyEntry, AFailedHandOverFillsNoSlotAndVelmarsNextCallTakesTheApplication)
{
    const std::function<void()> failures[] = {
        [&] { velmar().Faults().FailQuery("app5", __uuidof(IVel5Application), E_UNEXPECTED); },
        [&] { velmar().Faults().FailMember("app5.103", E_FAIL); },
        [&] { velmar().Faults().FailQuery("app7", __uuidof(IVel7Application), E_UNEXPECTED); },
        [&] { SetApplicationSinkConnect([](IVel5Application*) { throw _com_error(E_FAIL); }); },
    };
    for (const auto& fail : failures) {
        fail();
        EXPECT_EQ(LibInterfaceNotifyEntry(velmar().Application5()), 1);
        EXPECT_EQ(HeldVelmar5(), nullptr);
        EXPECT_EQ(HeldVelmar7(), nullptr);
        velmar().Faults().Clear();
        SetApplicationSinkConnect([this](IVel5Application* application) { connected_.push_back(application); });
        connected_.clear();
        EXPECT_EQ(LibInterfaceNotifyEntry(velmar().Application5()), 1);
        EXPECT_NE(HeldVelmar5(), nullptr);
        EXPECT_NE(HeldVelmar7(), nullptr);
        EXPECT_EQ(connected_.size(), 1u);
        HoldApplication5(nullptr);
        HoldApplication7(nullptr);
    }
}

TEST_F(NotifyEntry, AVersion7ObjectOfAnotherKindLeavesItsSlotEmpty)
{
    velmar().Faults().FailQuery("app7", __uuidof(IVel7Application), E_NOINTERFACE);
    EXPECT_EQ(LibInterfaceNotifyEntry(velmar().Application5()), 1);
    EXPECT_NE(HeldVelmar5(), nullptr);
    EXPECT_EQ(HeldVelmar7(), nullptr);
    EXPECT_EQ(connected_.size(), 1u);
}

TEST_F(NotifyEntry, MessagesAndTheErrorDialogAreOwnedByVelmarsMainWindow)
{
    LibInterfaceNotifyEntry(velmar().Application5());
    ASSERT_NE(velmar().MainWindow(), nullptr);
    EXPECT_EQ(VelmarMainWindow(), velmar().MainWindow());

    std::vector<HWND> owners;
    testhooks::ScopedModalSeam seam([&] {
        ModalSeam answers;
        answers.messageBox = [&](HWND owner, const std::wstring&, const std::wstring&, UINT) {
            owners.push_back(owner);
            return IDOK;
        };
        answers.dialogBox = [&](HINSTANCE, int, HWND owner, DLGPROC, LPARAM) -> INT_PTR {
            owners.push_back(owner);
            return IDCANCEL;
        };
        return answers;
    }());
    std::wstring title;
    std::wstring message;
    ExecuteLibCommand([] { throw _bstr_t(L"warning"); }, title, message);
    ShowCommandError(L"title", L"message", L"log");
    EXPECT_EQ(owners, (std::vector<HWND>{velmar().MainWindow(), velmar().MainWindow()}));

    // A host that cannot name its window leaves the box over the desktop rather than unseen.
    velmar().Faults().FailMember("app5.21", E_FAIL);
    EXPECT_EQ(VelmarMainWindow(), nullptr);
}

TEST_F(NotifyEntry, CommandTracesVelmarsVersion)
{
    UseVelmar({15, 0, 1, 4711});
    LibInterfaceNotifyEntry(velmar().Application5());
    TraceLog log(L"test", false);
    std::wstring title;
    std::wstring message;
    ExecuteLibCommand([] {}, title, message);
    EXPECT_NE(log.Text().find(L"\tvelmar_ver=15.0.1.4711\r\n"), std::wstring::npos) << log.Text();
}
