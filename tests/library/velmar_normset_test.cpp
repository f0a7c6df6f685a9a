// The Velmar controller base against the stand-ins: set-up options, the one-shot external location,
// the order of its refusals, the spc objects it lists, and the bulk refresh of a bill of
// materials from the reference book with its failures, the user's cancel and a fault sweep.
#include "library/velmar_normset.h"

#include "core/files.h"
#include "core/modal_seam.h"
#include "core/registry.h"
#include "hostapi/provider_connection.h"
#include "library/command_dispatch.h"
#include "library/command_table.h"
#include "objects/cant_create_spc_obj.h"
#include "objects/main_settings.h"
#include "objects/settings_sandbox.h"
#include "sim/geometry_model.h"
#include "sim/stand_in_test.h"
#include "spc_pass_stand_in.h"
#include "support/library_holds_velmar.h"

#include <gtest/gtest.h>

namespace {

using spc_pass::TestController;
using Lines = std::vector<std::string>;

class ControllerBase : public sim::StandInTest {
protected:
    void TearDown() override
    {
        book_.reset();
        testhooks::ResetProviderConnection();
        sim::StandInTest::TearDown();
    }
    // A new Velmar with a reference book of its own (the sweep starts over for every run).
    void Restart()
    {
        book_.reset();
        UseVelmar({15, 0, 1, 0});
        book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
        testhooks::ResetProviderConnection();
    }
    std::unique_ptr<TestController> Make(int32_t docType = 3, uint32_t command = 4)
    {
        sim::ObjectRef client = book_->NewProvider();
        return std::make_unique<TestController>(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                                                client->As<INMClient>(), command, docType);
    }
    std::wstring ClosingMessage()
    {
        const auto& questions = velmar().User().Questions();
        return questions.empty() ? L"(none)" : questions.back().text;
    }
    size_t Asked(const std::string& id) { return journal().Count("client#15(\"" + id + "\",&,&)"); }

    settings_test::RegistrySandbox registry_;
    std::unique_ptr<sim::ReferenceBook> book_ = std::make_unique<sim::ReferenceBook>(velmar().GetSession());
    TraceLog log_{L"LIBRARYENTRY", false};
};

} // namespace

TEST_F(ControllerBase, OptionsAreSentOncePerPairAndProviderAndAgainAfterAFailure)
{
    velmar().OpenDocument(4);
    auto controller = Make(4);
    controller->mask = 0x11;
    controller->SetInstrumentOption();
    controller->SetInstrumentOption();
    ASSERT_EQ(book_->InstrumentOptionsSent().size(), 1u);
    const auto& sent = book_->InstrumentOptionsSent().at(0);
    EXPECT_EQ(sent.instrument, L"Velmar");
    EXPECT_EQ(sent.hostVersion, L"1501");
    EXPECT_EQ(sent.documentId, L"3DSolid");
    EXPECT_EQ(sent.containerId, L"2");
    EXPECT_EQ(sent.extra, GetModulePath());
    EXPECT_EQ(sent.mask, 0x11);

    controller->mask = 0x13;
    velmar().Faults().FailMember("client#29", E_FAIL, 1);
    EXPECT_EQ(sim::CaughtHostError([&] { controller->SetInstrumentOption(); }).Error(), E_FAIL);
    controller->SetInstrumentOption();
    EXPECT_EQ(book_->InstrumentOptionsSent().size(), 2u);

    // A bill-of-materials document has no library path to send; another provider is set up anew.
    auto spcController = Make(3);
    spcController->SetInstrumentOption();
    ASSERT_EQ(book_->InstrumentOptionsSent().size(), 3u);
    EXPECT_FALSE(book_->InstrumentOptionsSent().at(2).extra.has_value());
    EXPECT_EQ(book_->InstrumentOptionsSent().at(2).containerId, L"3");
}

TEST_F(ControllerBase, AnExternalLocationIsTakenOnceAndARefusedControllerLeavesIt)
{
    const RegKey key = CreateRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_ALL_ACCESS);
    WriteRegString(key.get(), L"ExtLocation", L"loc:42");
    // Refusals come in this order and take nothing.
    EXPECT_EQ(sim::CaughtHostError([] { TestController(nullptr, nullptr, nullptr, 1, 3); }).Error(), E_POINTER);
    try {
        TestController(velmar().App5().As<IVel5Application>(), nullptr, nullptr, 1, 3);
        ADD_FAILURE();
    } catch (const std::wstring& message) {
        EXPECT_EQ(message, L"No API 7 interface");
    }
    try {
        TestController(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(), nullptr, 1, 3);
        ADD_FAILURE();
    } catch (const std::wstring& message) {
        EXPECT_EQ(message, L"No VAZEZAdAzuduv provider");
    }
    EXPECT_EQ(ReadRegString(key.get(), L"ExtLocation", L"(gone)"), L"loc:42");

    EXPECT_EQ(Make()->location, _bstr_t(L"loc:42"));
    EXPECT_EQ(ReadRegString(key.get(), L"ExtLocation", L"(gone)"), L"(gone)");
    EXPECT_EQ(Make()->location.length(), 0u);
    // An empty value changes nothing and stays.
    WriteRegString(key.get(), L"ExtLocation", L"");
    EXPECT_EQ(Make()->location.length(), 0u);
    EXPECT_EQ(ReadRegString(key.get(), L"ExtLocation", L"(gone)"), L"");
    EXPECT_EQ(Make(3, 2)->SelectParams(), L"<SLAVESPC>TRUE</SLAVESPC>");
    EXPECT_EQ(Make(3, 1)->SelectParams(), L"");
}

TEST_F(ControllerBase, ListedAreTheLibrarysObjectsOfThisDocumentSortedByIdentifier)
{
    spc_pass::SpcDocument spc(velmar());
    sim::Part& inside = velmar().AddPart("inside");
    velmar().AddEntity("array", 26, {&inside}).ListSources({&velmar().AddPart("source")});
    spc.Add(L"Q-3");
    spc.Add(L"Q-1");
    spc.Add(L"");                                      // no identity
    spc.Add(L"Q-0").origin = _variant_t(1L);            // not the user's own
    spc.Add(L"Q-2").Link(inside.V7());                 // a part inside another object
    spc.Add(L"Q-2").Link(velmar().AddPart("plain").V7());
    auto controller = Make();
    SpcDocContext context;
    context.iApp5 = controller->iApp5;
    context.iApp7 = controller->iApp7;
    context.Refresh(true);
    SpcRecords records;
    controller->CollectSpcRecords(context, false, records);
    std::vector<std::wstring> ids;
    for (const auto& record : records)
        ids.push_back(record->NM_QuarvendID);
    EXPECT_EQ(ids, (std::vector<std::wstring>{L"Q-1", L"Q-2", L"Q-3"}));
    EXPECT_EQ(ProgressWnd::Current(), nullptr);
}

TEST_F(ControllerBase, TheReferenceBookIsAskedOncePerRunAndAgainAfterABadResponse)
{
    spc_pass::SpcDocument spc(velmar());
    for (const wchar_t* id : {L"Q-2", L"Q-1", L"Q-3", L"Q-1", L"Q-3"})
        spc.Add(id).AddComment(std::string("note") + static_cast<char>('0' + spc.document.Spc().Objects().size()));
    spc_pass::Describe(*book_, L"Q-1");
    spc_pass::Describe(*book_, L"Q-2");
    book_->SetObjectInfo(L"Q-3", L"C-3", L"O-3");   // described, but without an answer: BadResponse
    auto controller = Make();
    controller->CreateSpcObjectsForSpec(spc.document.Spc5().Ptr(), false);
    EXPECT_EQ(Asked("Q-1"), 1u);
    EXPECT_EQ(Asked("Q-2"), 1u);
    EXPECT_EQ(Asked("Q-3"), 2u);
    EXPECT_EQ(ClosingMessage(), L"Просмотр документа завершен. Создано объектов спецификации: 3 из 5.");
    EXPECT_EQ(velmar().User().Questions().back().flags, 64);
    EXPECT_EQ(spc.document.Spc().Objects().size(), 5u);
    size_t comments = 0;
    for (sim::SpcObject* object : spc.document.Spc().Objects())
        comments += object->Comments().size();
    EXPECT_EQ(comments, 5u);
    const std::wstring& text = log_.Text();
    auto count = [&text](const std::wstring& what) {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count(L"Bad Response!"), 2u);
    EXPECT_EQ(count(L"obj->NM_ID=\"\""), 2u);
    EXPECT_EQ(count(L"B.Msg=\"No response\""), 2u);
    // The two failed groups (the last one among them) reach the command's log; the others leave no text.
    EXPECT_EQ(count(L"\r\n\tCreateSpcObjSpec_i\r\n"), 2u);
}

TEST_F(ControllerBase, AComErrorEndsThePassWithTheGroupsTextInTheLogOnce)
{
    spc_pass::SpcDocument spc(velmar());
    spc.Add(L"Q-1");
    spc.Add(L"Q-2");
    spc_pass::Describe(*book_, L"Q-1");
    book_->FailObjectInfo(L"Q-2", E_ACCESSDENIED);
    auto controller = Make();
    EXPECT_EQ(sim::CaughtHostError([&] { controller->CreateSpcObjectsForSpec(spc.document.Spc5().Ptr(), false); })
                  .Error(),
              E_ACCESSDENIED);
    const std::wstring& text = log_.Text();
    EXPECT_EQ(text.find(L"COM Error!"), text.rfind(L"COM Error!"));
    EXPECT_NE(text.find(L"COM Error!"), std::wstring::npos);
    EXPECT_EQ(text.find(L"\tCreateSpcObjSpec_i\r\n"), text.rfind(L"\tCreateSpcObjSpec_i\r\n"));
    EXPECT_EQ(ClosingMessage(), L"(none)");
    EXPECT_EQ(ProgressWnd::Current(), nullptr);
}

TEST_F(ControllerBase, TheUsersCancelStopsAfterTheCurrentObjectAndTheCountsSaySo)
{
    spc_pass::SpcDocument spc(velmar());
    for (const wchar_t* id : {L"Q-1", L"Q-2", L"Q-3"}) {
        spc.Add(id);
        spc_pass::Describe(*book_, id);
    }
    auto controller = Make();
    controller->onNewPart = [] { SendMessageW(ProgressWnd::Current()->Window(), WM_COMMAND, IDCANCEL, 0); };
    controller->CreateSpcObjectsForSpec(spc.document.Spc5().Ptr(), false);
    EXPECT_EQ(ClosingMessage(), L"Просмотр документа завершен. Создано объектов спецификации: 1 из 3.");
    EXPECT_EQ(Asked("Q-2"), 0u);
}

TEST_F(ControllerBase, AnIncompleteSpecificationStillSaysNoneOfNone)
{
    spc_pass::SpcDocument spc(velmar());
    spc.Add(L"Q-1");
    spc.document.SetSpcDescription(false);
    spc.document.AllowSpcDescriptionCreation(false);
    Make()->CreateSpcObjectsForSpec(spc.document.Spc5().Ptr(), false);
    EXPECT_EQ(ClosingMessage(), L"Просмотр документа завершен. Создано объектов спецификации: 0 из 0.");
}

TEST_F(ControllerBase, EveryHostFailureOfThePassEndsInItsErrorAndLosesNothing)
{
    auto setUp = [this]() {
        Restart();
        auto spc = std::make_unique<spc_pass::SpcDocument>(velmar());
        for (const wchar_t* id : {L"Q-1", L"Q-1", L"Q-2"})
            spc->Add(id).AddComment("note");
        spc_pass::Describe(*book_, L"Q-1");
        spc_pass::Describe(*book_, L"Q-2");
        return spc;
    };
    for (size_t n = 1;; ++n) {
        ASSERT_LT(n, 2000u) << "the pass never ended without a failure";
        auto spc = setUp();
        auto controller = Make();
        // Quiet: the many runs show no windows (a window's end on failure is the COM error test's).
        controller->QuietPass = true;
        TraceLog run(L"run", false);
        velmar().User().Clear();
        journal().Clear();
        velmar().Faults().FailCall(n, E_FAIL);
        bool failed = false;
        try {
            controller->CreateSpcObjectsForSpec(spc->document.Spc5().Ptr(), false);
        } catch (const _com_error& error) {
            failed = true;
            EXPECT_EQ(error.Error(), E_FAIL) << n;
        } catch (const CantCreateSpcObj&) {
            failed = true;
        }
        const bool injected = std::any_of(journal().Calls().begin(), journal().Calls().end(),
                                          [](const sim::Call& call) { return call.result == E_FAIL; });
        velmar().Faults().Clear();
        EXPECT_EQ(ProgressWnd::Current(), nullptr) << n;
        size_t comments = 0;
        for (sim::SpcObject* object : spc->document.Spc().Objects())
            comments += object->Comments().size();
        EXPECT_EQ(spc->document.Spc().Objects().size(), 3u) << n;
        EXPECT_EQ(comments, 3u) << n;
        controller.reset();
        if (!injected) {
            EXPECT_FALSE(failed);
            EXPECT_NE(run.Text().find(L"Создано объектов спецификации: 3 из 3."), std::wstring::npos);
            EXPECT_GT(n, 30u);
            break;
        }
        // The failed group's text reaches the command's log once.
        const std::wstring& text = run.Text();
        EXPECT_EQ(text.find(L"COM Error!"), text.rfind(L"COM Error!")) << n;
    }
}

// Command 4 where a bill of materials is shown: a 3D document's own, an spc document's, a
// drawing's in spc mode. Each of its objects is refreshed from the reference book's description.
TEST_F(ControllerBase, Command4RefreshesTheObjectsOfEveryBillOfMaterialsShown)
{
    struct Row {
        const char* what;
        int type;
        std::function<void(sim::Document&)> show;
    };
    const Row rows[] = {
        {"a 3D document showing its bill of materials", 5, [](sim::Document& d) { d.V5().Value(IVel5Document3D::ViewMode) = 2L; }},
        {"an spc document", 3, [](sim::Document&) {}},
        {"a drawing in spc mode", 1, [](sim::Document& d) { d.V5().Value(IVel5Document2D::SpcMode) = 2L; }},
    };
    for (const Row& row : rows) {
        Restart();
        sim::Document& document = velmar().OpenDocument(row.type, "doc");
        document.Spc().DefineColumnA({5, 1, L"Обозначение"});
        document.Spc().DefineColumnB({20, 1, L"ID Normset"});
        row.show(document);
        for (const wchar_t* id : {L"Q-2", L"Q-1", L"Q-2"}) {
            document.Spc().AddObject(25).ColumnB(20, 1)->SetText(id);
            spc_pass::Describe(*book_, id);
        }
        HoldApplication5(velmar().Application5());
        HoldApplication7(velmar().Application7());
        ModalSeam seam;
        seam.messageBox = [](HWND, const std::wstring&, const std::wstring&, UINT) { return IDYES; };
        std::wstring title;
        std::wstring message;
        {
            testhooks::ScopedModalSeam scoped(seam);
            EXPECT_FALSE(ExecuteLibCommand(FindLibCommand(4), title, message)) << row.what << ": " << sim::Utf8(message);
        }
        HoldProvider(nullptr, nullptr);
        HoldApplication5(nullptr);
        HoldApplication7(nullptr);
        EXPECT_EQ(ClosingMessage(), L"Просмотр документа завершен. Создано объектов спецификации: 3 из 3.") << row.what;
        Lines objects;
        for (sim::SpcObject* object : document.Spc().Objects())
            objects.push_back(object->Describe());
        // The identity column takes the part's identity from the description.
        EXPECT_EQ(objects, (Lines{"section 25, 5.1 \"Деталь Q-2\", 20.1 \"7:8\"", "section 25, 5.1 \"Деталь Q-1\", 20.1 \"7:8\"",
                                  "section 25, 5.1 \"Деталь Q-2\", 20.1 \"7:8\""}))
            << row.what;
        EXPECT_EQ(Asked("Q-2"), 1u) << row.what << ": the two of one identifier are one run";
    }
}
