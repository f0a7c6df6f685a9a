#include "core/module.h"

#include "core/files.h"
#include "core/translate.h"
#include "scratch_folder.h"
#include "support/inert_dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// An automation object that writes every AddRef and Release it hears into a shared journal.
class JournalObject : public testsupport::InertDispatch {
public:
    JournalObject(std::string name, Calls& journal) : name_(std::move(name)), journal_(journal) {}

    ULONG References() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        journal_.push_back(name_ + ".QueryInterface");
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        journal_.push_back(name_ + ".Release");
        return --references_;
    }

private:
    std::string name_;
    Calls& journal_;
    ULONG references_ = 1;  // the test's own reference
};

// The provider's shut-down call as its holder makes it: journalled, answering what the test asks.
Calls* g_disconnectJournal = nullptr;
HRESULT g_disconnectResult = S_OK;

HRESULT JournalDisconnect(IUnknown*)
{
    g_disconnectJournal->push_back("provider.Disconnect");
    return g_disconnectResult;
}

class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testhooks::ClearModuleSlots();
        testhooks::ResetLanguage();
        g_disconnectJournal = &journal_;
        g_disconnectResult = S_OK;
    }
    void TearDown() override
    {
        testhooks::ClearModuleSlots();
        testhooks::ResetLanguage();
        testhooks::SetModuleHandle(nullptr);
        g_disconnectJournal = nullptr;
    }

    // Fills every slot as a command would have left them, with a loaded dictionary.
    void FillSlots()
    {
        HoldProvider(&provider_, &JournalDisconnect);
        HoldApplication5(&application5_);
        HoldApplication7(&application7_);
        ASSERT_TRUE(WriteUnicodeFile(L"h\r\n#I\r\n1 Отмена\r\n", language_ / L"default.lng"));
        ASSERT_TRUE(WriteUnicodeFile(L"h\r\n#I\r\n1 Cancel\r\n", language_ / L"english.lng"));
        LoadLanguage(language_.Path(), L"english");
        ASSERT_TRUE(testhooks::HasLanguageDictionary());
        journal_.clear();
    }

    void ExpectEverythingReleasedOnce()
    {
        EXPECT_EQ(provider_.References(), 1u);
        EXPECT_EQ(application5_.References(), 1u);
        EXPECT_EQ(application7_.References(), 1u);
        ExpectSlotsEmpty();
    }

    void ExpectSlotsEmpty()
    {
        EXPECT_EQ(HeldProvider(), nullptr);
        EXPECT_EQ(HeldApplication5(), nullptr);
        EXPECT_EQ(HeldApplication7(), nullptr);
        EXPECT_FALSE(testhooks::HasLanguageDictionary());
    }

    Calls journal_;
    JournalObject provider_{"provider", journal_};
    JournalObject application5_{"application5", journal_};
    JournalObject application7_{"application7", journal_};
    ScratchFolder language_;
};

} // namespace

TEST_F(ModuleTest, AttachKeepsTheModuleHandleAndEveryReasonAnswersTrue)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    EXPECT_TRUE(DllMain(instance, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(ModuleHandle(), instance);
    EXPECT_TRUE(DllMain(instance, DLL_THREAD_ATTACH, nullptr));
    EXPECT_TRUE(DllMain(instance, DLL_THREAD_DETACH, nullptr));
    EXPECT_EQ(ModuleHandle(), instance);
}

TEST_F(ModuleTest, DetachOfAnUntouchedModuleCallsNothing)
{
    EXPECT_TRUE(DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr));
    EXPECT_TRUE(journal_.empty());
    ExpectSlotsEmpty();
}

TEST_F(ModuleTest, DetachDisconnectsTheProviderThenReleasesEachObjectOnceInOrder)
{
    FillSlots();
    EXPECT_TRUE(DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(journal_, (Calls{"provider.Disconnect", "provider.Release", "application5.Release", "application7.Release"}));
    ExpectEverythingReleasedOnce();
    EXPECT_EQ(Translate(L"Отмена"), L"Отмена");
}

TEST_F(ModuleTest, DetachAtProcessTerminationOnlyEmptiesTheSlots)
{
    FillSlots();
    EXPECT_TRUE(DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, reinterpret_cast<LPVOID>(1)));
    EXPECT_TRUE(journal_.empty());
    ExpectSlotsEmpty();
    EXPECT_EQ(provider_.References(), 2u);  // left to the end of the process
}

TEST_F(ModuleTest, FailedDisconnectAtDetachDoesNotEscapeAndStillReleasesEverything)
{
    FillSlots();
    g_disconnectResult = E_FAIL;
    EXPECT_TRUE(DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(journal_, (Calls{"provider.Disconnect", "provider.Release", "application5.Release", "application7.Release"}));
    ExpectEverythingReleasedOnce();
}

TEST_F(ModuleTest, ReleaseVazezadAzuduvEmptiesTheSlotEvenWhenDisconnectFailsAndThenRaisesTheFailure)
{
    HoldProvider(&provider_, &JournalDisconnect);
    g_disconnectResult = E_FAIL;
    try {
        ReleaseVazezadAzuduv();
        FAIL() << "no exception";
    } catch (const _com_error& e) {
        EXPECT_EQ(e.Error(), E_FAIL);
    }
    EXPECT_EQ(journal_, (Calls{"provider.Disconnect", "provider.Release"}));
    EXPECT_EQ(HeldProvider(), nullptr);
    EXPECT_EQ(provider_.References(), 1u);
}

TEST_F(ModuleTest, AfterReleaseVazezadAzuduvTheDetachSkipsTheDisconnect)
{
    FillSlots();
    ReleaseVazezadAzuduv();
    EXPECT_EQ(journal_, (Calls{"provider.Disconnect", "provider.Release"}));
    journal_.clear();
    EXPECT_TRUE(DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_DETACH, nullptr));
    EXPECT_EQ(journal_, (Calls{"application5.Release", "application7.Release"}));
    ExpectEverythingReleasedOnce();
}

TEST_F(ModuleTest, HoldingANewObjectReleasesThePreviousOneWithoutDisconnectingIt)
{
    Calls other;
    JournalObject second("second", other);
    HoldProvider(&provider_, &JournalDisconnect);
    HoldProvider(&second, &JournalDisconnect);
    EXPECT_EQ(journal_, (Calls{"provider.Release"}));
    EXPECT_EQ(HeldProvider(), &second);
    HoldProvider(nullptr, nullptr);
    EXPECT_EQ(HeldProvider(), nullptr);
    EXPECT_EQ(second.References(), 1u);
    ReleaseVazezadAzuduv();  // nothing held: nothing called
    EXPECT_EQ(journal_, (Calls{"provider.Release"}));

    HoldApplication5(&application5_);
    EXPECT_EQ(HeldApplication5(), &application5_);
    EXPECT_EQ(application5_.References(), 2u);
    HoldApplication5(nullptr);
    EXPECT_EQ(application5_.References(), 1u);
}

TEST_F(ModuleTest, TheRealLibraryLoadsAndUnloadsCleanlyAgainAndAgain)
{
    const std::wstring path = ProgramFolder() + L"normset.dll";
    for (int round = 0; round < 2; ++round) {
        HMODULE library = LoadLibraryW(path.c_str());
        ASSERT_NE(library, nullptr) << GetLastError();
        EXPECT_EQ(GetModuleHandleW(path.c_str()), library);
        EXPECT_TRUE(FreeLibrary(library));
        EXPECT_EQ(GetModuleHandleW(path.c_str()), nullptr) << "still loaded after round " << round;
    }
}
