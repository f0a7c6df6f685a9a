// The application sink against the stand-in's connection points: which events attach a document sink,
// which process events make the spc objects and how quietly, a document that goes while Velmar still
// holds its sink, and every event answered TRUE whatever host call fails.
#include "library/spc_obj_create_on_events.h"

#include "core/modal_seam.h"
#include "hostapi/velmar_events.h"
#include "library/command_functions.h"
#include "library/document_stand_in.h"
#include "library/exports.h"
#include "library/velmar_normset_3d.h"
#include "support/host_fault_sweep.h"
#include "support/library_holds_velmar.h"

using namespace document_test;

namespace {

// Counts the windows this thread makes while it lives: progress windows and dialogs alike.
class WindowsMade {
public:
    WindowsMade() : hook_(SetWindowsHookExW(WH_CBT, &Note, nullptr, GetCurrentThreadId())) { made_ = 0; }
    ~WindowsMade() { UnhookWindowsHookEx(hook_); }
    WindowsMade(const WindowsMade&) = delete;
    WindowsMade& operator=(const WindowsMade&) = delete;

    bool Hooked() const { return hook_ != nullptr; }
    int Made() const { return made_; }

private:
    static LRESULT CALLBACK Note(int code, WPARAM window, LPARAM details)
    {
        if (code == HCBT_CREATEWND)
            ++made_;
        return CallNextHookEx(nullptr, code, window, details);
    }

    HHOOK hook_;
    static inline int made_ = 0;
};

// The 3D controller with the pass recorded instead of run.
class RecordingPass : public VelmarNormset3D {
public:
    RecordingPass(IVel5Application* app5, IVel7Application* app7, INMClient* client, uint32_t command, Lines& calls)
        : VelmarNormset3D(app5, app7, client, command, 5), calls_(calls)
    {
        calls_.push_back("controller " + std::to_string(command));
    }
    ~RecordingPass() override { calls_.push_back("deleted"); }
    void CreateSpcObjects() override { calls_.push_back(QuietPass ? "CreateSpcObjects quiet" : "CreateSpcObjects"); }

private:
    Lines& calls_;
};

class ApplicationEvents : public DocumentStandIn {
protected:
    ApplicationEvents() { ApplicationEventSink().Connect(velmar().App5().As<IVel5Application>()); }
    void TearDown() override
    {
        ApplicationEventSink().Disconnect();
        EXPECT_EQ(velmar().Events().Sinks(), 0u);
        DocumentStandIn::TearDown();
    }

    // Velmar fires; the sink's answer, which must be TRUE.
    static void Fire(sim::EventSource& source, DISPID id, std::vector<_variant_t> args)
    {
        std::vector<std::string> escapes;
        EXPECT_EQ(source.Fire(id, std::move(args), escapes), std::optional<VARIANT_BOOL>(VARIANT_TRUE)) << "event " << id;
        EXPECT_EQ(escapes, std::vector<std::string>{});
    }
    _variant_t Document5() { return _variant_t(document().V5().Primary()); }
    void Watch() { Fire(velmar().Events(), IVelApplicationEvents::OpenDocument, {Document5(), 6L}); }
    sim::EventSource& DocumentEvents() { return *document().Events(); }
};

// The library holds Velmar as after its load: its exports can run.
class EventsDuringACall : public LibraryHoldsVelmar<ApplicationEvents> {};

} // namespace

TEST_F(ApplicationEvents, OnlyADocumentOfEventType6WithItsDocumentEventsIsWatched)
{
    sim::Document& drawing = velmar().OpenDocument(1, "drw");
    velmar().Activate(&document());
    long count = 6;
    _variant_t byReference;
    V_VT(&byReference) = VT_I4 | VT_BYREF;
    V_I4REF(&byReference) = &count;
    IDispatchPtr nothing;
    struct Row {
        const char* what;
        DISPID id;
        std::vector<_variant_t> args;
        bool watched;
    };
    const Row rows[] = {
        {"open, type 6", IVelApplicationEvents::OpenDocument, {Document5(), 6L}, true},
        {"document event, type 6 as a short", IVelApplicationEvents::DocumentEvent, {Document5(), _variant_t(short(6))}, true},
        {"type by reference", IVelApplicationEvents::OpenDocument, {Document5(), byReference}, true},
        {"type 5", IVelApplicationEvents::OpenDocument, {Document5(), 5L}, false},
        {"arguments swapped", IVelApplicationEvents::OpenDocument, {6L, Document5()}, false},
        {"no type", IVelApplicationEvents::OpenDocument, {Document5()}, false},
        {"no arguments", IVelApplicationEvents::OpenDocument, {}, false},
        {"no document", IVelApplicationEvents::OpenDocument, {_variant_t(nothing.GetInterfacePtr()), 6L}, false},
        {"a drawing", IVelApplicationEvents::OpenDocument, {_variant_t(drawing.V5().Primary()), 6L}, false},
        {"another event", 7, {Document5(), 6L}, false},
    };
    size_t watched = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        journal().Clear();
        Fire(velmar().Events(), row.id, row.args);
        watched += row.watched;
        EXPECT_EQ(DocumentEvents().Sinks(), watched);
        EXPECT_EQ(ApplicationEventSink().DocumentSinks(), watched);
        if (row.watched) {
            EXPECT_EQ(journal().Lines(), (Lines{"asm5Points#4(events,&)", "asm5Point#5(object,&)"}));
        }
    }
    EXPECT_TRUE(velmar().User().Questions().empty());
}

TEST_F(ApplicationEvents, BeginningProcess20183OrEnding20181MakesTheSpcObjectsQuietlyWithTheSettingOn)
{
    Lines calls;
    testhooks::ScopedControllerFactory factory([&](uint32_t command) {
        return std::make_unique<RecordingPass>(velmar().App5().As<IVel5Application>(), velmar().App7().As<IVel7Application>(),
                                               NormsetProvider(), command, calls);
    });
    Watch();
    const Lines pass = {"controller 4", "CreateSpcObjects quiet", "deleted"};
    struct Row {
        const char* what;
        DISPID id;
        std::vector<_variant_t> args;
        DWORD setting;
        Lines calls;
    };
    const Row rows[] = {
        {"begins 20183", IVelDocumentEvents::BeginProcess, {20183L}, 1, pass},
        {"ends 20181", IVelDocumentEvents::EndProcess, {20181L}, 1, pass},
        {"code as text", IVelDocumentEvents::EndProcess, {_variant_t(L"20181")}, 1, pass},
        {"begins 20181", IVelDocumentEvents::BeginProcess, {20181L}, 1, {}},
        {"ends 20183", IVelDocumentEvents::EndProcess, {20183L}, 1, {}},
        {"no code", IVelDocumentEvents::EndProcess, {}, 1, {}},
        {"an object for a code", IVelDocumentEvents::EndProcess, {Document5()}, 1, {}},
        {"setting off", IVelDocumentEvents::EndProcess, {20181L}, 0, {"controller 4", "deleted"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetSetting(L"CreateSpcObject", row.setting);
        calls.clear();
        Fire(DocumentEvents(), row.id, row.args);
        EXPECT_EQ(calls, row.calls);
    }
    EXPECT_TRUE(velmar().User().Questions().empty());
    // The provider the events started is connected but not marked ready: the next command starts its own,
    // and the one the events connected is disconnected before it goes.
    EXPECT_EQ(book().Connects(), 1);
    NormsetInitOnce();
    EXPECT_EQ(book().ProvidersCreated(), 2);
    EXPECT_EQ(book().Disconnects(), 1);
}

TEST_F(ApplicationEvents, TheRealPassMakesTheMissingSpcObjectsShowingNothingAndLeavesTheNextCommandsLocation)
{
    {
        const RegKey key = CreateRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_WRITE);
        RegSetValueExW(key.get(), L"ExtLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"GOST"), 10);
    }
    // Two bolts of one identifier: the first has no spc object, the second has its own already; an anchor,
    // whose name comes first, Velmar refuses an spc object.
    sim::Part& bare = AddComponent("bolt1", {L"B1", L"Болт", L"old\\bolt.vlm"});
    sim::Part& listed = AddComponent("bolt2", {L"B1", L"Болт", L"old\\bolt.vlm"});
    sim::Part& refused = AddComponent("anchor", {L"A1", L"Анкер", L"old\\anchor.vlm"});
    book().SetPlacedResponse(L"B1", Bolt());
    book().SetPlacedResponse(L"A1", Bolt());
    sim::SpcObject& own = document().Spc().AddObject(25);
    own.Link(listed.V7());
    own.ColumnA(5, 1)->SetText(L"Болт М10х50");
    auto objectsOf = [&](sim::Part& part) {
        std::vector<sim::SpcObject*> objects;
        for (sim::SpcObject* object : document().Spc().Objects())
            for (const IDispatchPtr& linked : object->linked)
                if (sim::Object::From(linked) == &part.V7())
                    objects.push_back(object);
        return objects;
    };

    int shown = 0;
    ModalSeam seam;
    seam.messageBox = [&](HWND, const std::wstring&, const std::wstring&, UINT) { return ++shown, IDOK; };
    seam.dialogBox = [&](HINSTANCE, int, HWND, DLGPROC, LPARAM) -> INT_PTR { return ++shown, IDCANCEL; };
    seam.openFileName = seam.saveFileName = [&](OPENFILENAMEW&) { return ++shown, FALSE; };
    testhooks::ScopedModalSeam scoped(seam);
    Watch();
    const WindowsMade windows;
    ASSERT_TRUE(windows.Hooked());

    // With the setting off nothing is made.
    SetSetting(L"CreateSpcObject", 0);
    Fire(DocumentEvents(), IVelDocumentEvents::EndProcess, {20181L});
    EXPECT_EQ(document().Spc().Objects(), std::vector<sim::SpcObject*>{&own});

    SetSetting(L"CreateSpcObject", 1);
    // The anchor is refused its object twice: the one attempt and its retry.
    document().Spc().RefuseAdd(2);
    Fire(DocumentEvents(), IVelDocumentEvents::EndProcess, {20181L});
    const std::vector<sim::SpcObject*> made = objectsOf(bare);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0]->section, 25);
    EXPECT_EQ(made[0]->ColumnA(5, 1)->Text(), L"Болт М10х50");
    EXPECT_EQ(objectsOf(listed), std::vector<sim::SpcObject*>{&own});
    EXPECT_EQ(own.section, 25);
    EXPECT_EQ(own.ColumnA(5, 1)->Text(), L"Болт М10х50");
    EXPECT_TRUE(objectsOf(refused).empty());

    velmar().Activate(nullptr);   // no document: the factory's warning is not shown either
    Fire(DocumentEvents(), IVelDocumentEvents::BeginProcess, {20183L});
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(windows.Made(), 0) << "no progress window, of the finder's search or of the pass";
    EXPECT_TRUE(velmar().User().Questions().empty()) << "neither the count nor a failure in Velmar's box";
    const RegKey key = OpenRegKey(HKEY_CURRENT_USER, kSettingsKeyPath, KEY_READ);
    EXPECT_EQ(ReadRegString(key.get(), L"ExtLocation", L""), L"GOST");
}

TEST_F(ApplicationEvents, ADocumentThatGoesIsLetGoWhileVelmarStillHoldsItsSink)
{
    Watch();
    IDispatchPtr held = DocumentEvents().Sink(0);
    journal().Clear();
    Fire(DocumentEvents(), IVelDocumentEvents::DocumentGone, {});
    EXPECT_EQ(journal().Lines(), (Lines{"asm5Points#4(events,&)", "asm5Point#6(1)"}));
    EXPECT_EQ(DocumentEvents().Sinks(), 0u);
    EXPECT_EQ(ApplicationEventSink().DocumentSinks(), 0u);
    // What Velmar still holds is a sink of its own that handles nothing more.
    DISPPARAMS none{};
    _variant_t result;
    EXPECT_EQ(held->Invoke(IVelDocumentEvents::EndProcess, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_EQ(held->AddRef(), 2u);
    EXPECT_EQ(held->Release(), 1u);
    EXPECT_EQ(held.Detach()->Release(), 0u);
}

TEST_F(ApplicationEvents, EveryEventIsAnsweredTrueWhicheverHostCallFails)
{
    SetSetting(L"CreateSpcObject", 1);
    int run = 0;
    sim::Document* watched = nullptr;
    std::vector<std::optional<VARIANT_BOOL>> answers;
    test_support::SweepHostCalls(
        velmar(),
        [&] {
            // A document of its own for each run: a sink Velmar kept after a failed unadvise answers no more.
            // The pass runs on the assembly, which stays the active document.
            watched = &velmar().OpenDocument(5, "run" + std::to_string(++run));
            velmar().Activate(&document());
            answers.clear();
            return [&] {
                std::vector<std::string> escapes;
                const _variant_t document(watched->V5().Primary());
                answers.push_back(velmar().Events().Fire(IVelApplicationEvents::OpenDocument, {document, 6L}, escapes));
                answers.push_back(watched->Events()->Fire(IVelDocumentEvents::EndProcess, {20181L}, escapes));
                answers.push_back(watched->Events()->Fire(IVelDocumentEvents::DocumentGone, {}, escapes));
                EXPECT_EQ(escapes, std::vector<std::string>{});
            };
        },
        [&](const test_support::SweptFailure&) {
            for (const auto& answer : answers)
                EXPECT_TRUE(!answer || *answer == VARIANT_TRUE);
            // A listed sink is always one Velmar calls.
            EXPECT_LE(ApplicationEventSink().DocumentSinks(), watched->Events()->Sinks());
            EXPECT_EQ(velmar().Events().Sinks(), 1u);
            EXPECT_TRUE(velmar().User().Questions().empty());
        },
        6);
    EXPECT_EQ(answers, (std::vector<std::optional<VARIANT_BOOL>>(3, VARIANT_TRUE)));
}

TEST_F(EventsDuringACall, ThePassWaitsWhileAnExportInsertsSoEachComponentHasOneSpcObject)
{
    SetSetting(L"CreateSpcObject", 1);
    Watch();
    const sim::ObjectRef provider = book().NewProvider();
    const sim::ObjectRef response = book().MakeResponse(Bolt());
    ASSERT_TRUE(book().AddPlacedResponse(Bolt()));
    // Velmar ends its process while the component stands named (its identity block just written) and
    // without its spc object yet.
    bool fired = false;
    velmar().Faults().During("comp15.21", [&] {
        Fire(DocumentEvents(), IVelDocumentEvents::EndProcess, {20181L});
        fired = true;
    });
    IDispatch* part = nullptr;
    NMInsert3D(&part, provider->Primary(), response->Primary(), nullptr);
    ASSERT_NE(part, nullptr);
    part->Release();
    EXPECT_TRUE(fired);
    ASSERT_EQ(assembly().Components().size(), 1u);
    EXPECT_EQ(assembly().SpcObjectsOf(*assembly().Components()[0]).size(), 1u);
    EXPECT_EQ(document().Spc().Objects().size(), 1u);
}
