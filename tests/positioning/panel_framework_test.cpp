// The panel framework through a test-only panel: the sink as Velmar sees it, the base handlers, the
// prompt, the current panel and the exports, the 2D and 3D runs, and what a failure inside a run does.
#include "panel_stand_in.h"

#include "core/files.h"
#include "core/modal_seam.h"
#include "core/scratch_folder.h"
#include "core/translate.h"
#include "hostapi/velmar_events.h"

using namespace panel_test;

namespace {

class PanelFramework : public PanelStandIn {
protected:
    std::unique_ptr<TestPanel3D> Panel3D(sim::Document&, IVel5PlacementInfo* placement = nullptr)
    {
        auto panel = std::make_unique<TestPanel3D>(App5(), App7(), L"Заголовок", L"Страница", 1, placement, 825, false);
        journal().Clear();
        return panel;
    }

    // Calls the panel's Invoke with the arguments first first.
    static HRESULT Invoke(IDispatch& sink, DISPID id, std::vector<_variant_t> args, VARIANT* result, UINT* badArgument = nullptr)
    {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        return sink.Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, badArgument);
    }
};

_variant_t BoolRef(VARIANT_BOOL* target)
{
    _variant_t reference;
    V_VT(&reference) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&reference) = target;
    return reference;
}

// An object that counts what was asked of it.
class CountingObject : public IDispatch {
public:
    int calls = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override { ++calls; *object = nullptr; return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++calls; }
    ULONG STDMETHODCALLTYPE Release() override { return ++calls; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return ++calls, E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return ++calls, E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return ++calls, E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return ++calls, E_NOTIMPL;
    }
};

} // namespace

TEST_F(PanelFramework, ConstructionAdvisesTheSinkMakesThePageAndRegistersTheCallbacks)
{
    sim::Document& document = Assembly();
    TestPanel3D panel(App5(), App7(), L"Заголовок", L"Страница", 1, nullptr, 825, false);
    EXPECT_EQ(journal().Lines(),
              (Lines{"app7#15(&)", "propMngPoints#4(events,&)", "propMngPoint#5(object,&)", "propMng#13(&)",
                     "pages#14(\"Страница\",&)", "propMng#14(2)", "propMng#11(\"Заголовок\")", "propMng#16(0)", "app5.3()",
                     "asm5.7(-4)", "asm5.7(-1)", "asm5.14(assembly5)", "placement.10(\"SELECTCALLBACKPROC\",0,null)",
                     "placement.9(\"SELECTFILTERPROC\",0,null)", "placement.18(propMng)", "asm5.44()", "asm5.45()",
                     "selectionA.3()", "selectionB.3()"}));
    EXPECT_EQ(VelBasePanel::Current(), &panel);
    EXPECT_EQ(Panels().Events().Sinks(), 1u);
    EXPECT_EQ(Page().caption, L"Страница");
    EXPECT_EQ(Panels().HeaderCaption(), L"Заголовок");
    EXPECT_EQ(Panels().LayoutStyle(), 2);
    EXPECT_FALSE(Panels().Setting16());
    const sim::PanelRequest& request = *Panels().RequestOf(document.Placements().at(0)->Primary());
    EXPECT_EQ(request.filterName, L"SELECTFILTERPROC");
    EXPECT_EQ(request.pickName, L"SELECTCALLBACKPROC");
    EXPECT_EQ(sim::Object::From(request.manager), &Panels().Manager());
}

TEST_F(PanelFramework, TheSinkAnswersItsIdentityAndItsTwelveNames)
{
    sim::Document& document = Assembly();
    auto panel = Panel3D(document);
    IDispatch& sink = *panel;
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, __uuidof(IVelPropertyManagerEvents)}) {
        void* object = nullptr;
        EXPECT_EQ(sink.QueryInterface(iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<IDispatch*>(panel.get()));
        sink.Release();
    }
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(sink.QueryInterface(IID_IConnectionPoint, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    UINT count = 7;
    EXPECT_EQ(sink.GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(sink.GetTypeInfo(0, 0, &info), E_NOTIMPL);
    EXPECT_EQ(info, nullptr);

    const std::pair<const wchar_t*, DISPID> names[] = {
        {L"buttonclick", 1}, {L"CHANGECONTROLVALUE", 2}, {L"ControlCommand", 3}, {L"ButtonUpdate", 4},
        {L"processactivate", 5}, {L"ProcessDeactivate", 6}, {L"CommandHelp", 7}, {L"SelectItem", 8},
        {L"CheckItem", 9}, {L"ChangeActiveTab", 10}, {L"EditFocus", 11}, {L"UserMenuCommand", 12}};
    for (const auto& [name, id] : names) {
        LPOLESTR one[] = {const_cast<LPOLESTR>(name)};
        DISPID found = 0;
        EXPECT_EQ(sink.GetIDsOfNames(IID_NULL, one, 1, 0, &found), S_OK) << sim::Utf8(name);
        EXPECT_EQ(found, id);
    }
    LPOLESTR two[] = {const_cast<LPOLESTR>(L"ButtonClick"), const_cast<LPOLESTR>(L"id")};
    DISPID ids[2] = {};
    EXPECT_EQ(sink.GetIDsOfNames(IID_NULL, two, 2, 0, ids), static_cast<HRESULT>(0x80070057));
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"ButtonClicked")};
    EXPECT_EQ(sink.GetIDsOfNames(IID_NULL, unknown, 1, 0, ids), static_cast<HRESULT>(0x80020006));
    EXPECT_TRUE(journal().Lines().empty());
}

TEST_F(PanelFramework, InvokeChecksTheArgumentsAndCallsTheHandler)
{
    sim::Document& document = Assembly();
    auto panel = Panel3D(document);
    panel->complete = VARIANT_FALSE;
    IDispatchPtr control = velmar().NewObject("control")->Ptr();
    IUnknownPtr unknown = control;
    VARIANT_BOOL checked = VARIANT_TRUE;
    VARIANT_BOOL enabled = VARIANT_TRUE;
    testhooks::ScopedHtmlHelp help([](HWND, const std::wstring&, UINT, DWORD_PTR) { return nullptr; });
    struct Row {
        DISPID id;
        std::vector<_variant_t> args;
        HRESULT hr;
        VARIANT_BOOL answer;
        const char* call;                        // what the panel heard; "" nothing
        UINT badArgument = 99;
    };
    const Row rows[] = {
        {1, {_variant_t(5L)}, S_OK, VARIANT_TRUE, "ButtonClick(5)"},
        {1, {_variant_t(short(6))}, S_OK, VARIANT_TRUE, "ButtonClick(6)"},
        {1, {}, DISP_E_BADPARAMCOUNT, VARIANT_FALSE, ""},
        {1, {_variant_t(1L), _variant_t(2L)}, DISP_E_BADPARAMCOUNT, VARIANT_FALSE, ""},
        {1, {_variant_t(L"5")}, DISP_E_TYPEMISMATCH, VARIANT_FALSE, "", 0},
        {1, {_variant_t(2.5)}, DISP_E_TYPEMISMATCH, VARIANT_FALSE, "", 0},
        {2, {_variant_t(static_cast<IUnknown*>(unknown))}, S_OK, VARIANT_FALSE, "ChangeControlValue(control)"},
        {3, {_variant_t(static_cast<IDispatch*>(control)), _variant_t(9030L)}, S_OK, VARIANT_FALSE, "ControlCommand(control,9030)"},
        {3, {_variant_t(9030L), _variant_t(9030L)}, DISP_E_TYPEMISMATCH, VARIANT_FALSE, "", 1},
        {4, {_variant_t(1L), BoolRef(&checked), BoolRef(&enabled)}, S_OK, VARIANT_TRUE, "ButtonUpdate(1)"},
        {4, {_variant_t(1L), _variant_t(true), BoolRef(&enabled)}, DISP_E_TYPEMISMATCH, VARIANT_FALSE, "", 1},
        {4, {_variant_t(1L), BoolRef(&checked), BoolRef(nullptr)}, DISP_E_TYPEMISMATCH, VARIANT_FALSE, "", 0},
        {5, {}, S_OK, VARIANT_FALSE, "ProcessActivate"},
        {6, {}, S_OK, VARIANT_FALSE, "ProcessDeactivate"},
        {7, {_variant_t(4L)}, S_OK, VARIANT_FALSE, "CommandHelp(4)"},
        {8, {_variant_t(static_cast<IDispatch*>(control)), _variant_t(2L), _variant_t(true)}, S_OK, VARIANT_TRUE, "SelectItem(control,2,-1)"},
        {9, {_variant_t(), _variant_t(3L), _variant_t(0L)}, S_OK, VARIANT_TRUE, "CheckItem(null,3,0)"},
        {10, {_variant_t(3L)}, S_OK, VARIANT_TRUE, "ChangeActiveTab(3)"},
        {11, {_variant_t(static_cast<IDispatch*>(control)), _variant_t(false)}, S_OK, VARIANT_TRUE, "EditFocus(control,0)"},
        {12, {_variant_t(static_cast<IDispatch*>(nullptr)), _variant_t(7L)}, S_OK, VARIANT_TRUE, "UserMenuCommand(null,7)"},
        {13, {}, DISP_E_MEMBERNOTFOUND, VARIANT_FALSE, ""},
        {0, {}, DISP_E_MEMBERNOTFOUND, VARIANT_FALSE, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        panel->calls.clear();
        VARIANT result;
        V_VT(&result) = VT_I4;
        UINT badArgument = 99;
        EXPECT_EQ(Invoke(*panel, row.id, row.args, &result, &badArgument), row.hr);
        EXPECT_EQ(V_VT(&result), VT_BOOL);
        EXPECT_EQ(V_BOOL(&result), row.answer);
        EXPECT_EQ(badArgument, row.badArgument);
        EXPECT_EQ(panel->calls, *row.call ? Lines{row.call} : Lines{});
    }
    // The OK button's update wrote the panel's completeness and left the check state alone.
    EXPECT_EQ(enabled, VARIANT_FALSE);
    EXPECT_EQ(checked, VARIANT_TRUE);

    // Named arguments and a call without a place for the result.
    panel->calls.clear();
    VARIANT argument = _variant_t(5L).Detach();
    DISPID named = 0;
    DISPPARAMS withNames{&argument, &named, 1, 1};
    EXPECT_EQ(panel->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &withNames, nullptr, nullptr, nullptr), DISP_E_NONAMEDARGS);
    DISPPARAMS plain{&argument, nullptr, 1, 0};
    EXPECT_EQ(panel->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &plain, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(panel->calls, (Lines{"ButtonClick(5)"}));
}

TEST_F(PanelFramework, TheHelpButtonOpensThePanelsTopicOverVelmarsWindow)
{
    sim::Document& document = Assembly();
    auto panel = Panel3D(document);
    std::vector<std::tuple<HWND, std::wstring, UINT, DWORD_PTR>> shown;
    testhooks::ScopedHtmlHelp help([&](HWND owner, const std::wstring& path, UINT command, DWORD_PTR data) {
        shown.emplace_back(owner, path, command, data);
        return nullptr;
    });
    EXPECT_EQ(panel->ButtonClick(8), VARIANT_FALSE);
    EXPECT_EQ(panel->ButtonClick(5), VARIANT_TRUE);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(std::get<0>(shown[0]), velmar().MainWindow());
    EXPECT_EQ(std::get<1>(shown[0]), std::wstring(LIBRARYHELPFILEW()));
    EXPECT_EQ(std::get<2>(shown[0]), 15u);
    EXPECT_EQ(std::get<3>(shown[0]), 825u);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.21()"}));

    // The OK button follows the panel's completeness; other buttons' flags stay as they are.
    for (VARIANT_BOOL complete : {VARIANT_FALSE, VARIANT_TRUE}) {
        panel->complete = complete;
        VARIANT_BOOL checked = 7;
        VARIANT_BOOL enabled = 7;
        EXPECT_EQ(panel->ButtonUpdate(1, &checked, &enabled), VARIANT_TRUE);
        EXPECT_EQ(enabled, complete);
        EXPECT_EQ(checked, 7);
        enabled = 7;
        EXPECT_EQ(panel->ButtonUpdate(2, &checked, &enabled), VARIANT_TRUE);
        EXPECT_EQ(enabled, 7);
    }
}

TEST_F(PanelFramework, ThePromptJoinsItsWordsWithTheTranslatedJoints)
{
    ScratchFolder folder;
    ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Выберите\r\n2 или\r\n", folder / L"default.lng"));
    ASSERT_TRUE(WriteUnicodeFile(L"\r\n#I\r\n1 Select\r\n2 or\r\n", folder / L"english.lng"));
    testhooks::ResetLanguage();
    LoadLanguage(folder.Path(), L"english");
    sim::Document& document = Assembly();
    auto panel = Panel3D(document);
    const std::pair<std::vector<std::wstring>, std::wstring> rows[] = {
        {{}, L" "},
        {{L"грань"}, L"Select грань"},
        {{L"a", L"b"}, L"Select a or b"},
        {{L"a", L"b", L"c"}, L"Select a, b or c"},
    };
    for (const auto& [words, prompt] : rows) {
        panel->PromptWords.clear();
        for (const std::wstring& word : words) {
            panel->AddPromptWord(word, true);
            panel->AddPromptWord(word, true);
            panel->AddPromptWord(L"not shown", false);
        }
        EXPECT_EQ(panel->BuildPrompt(), prompt);
    }
    testhooks::ResetLanguage();
}

TEST_F(PanelFramework, TheLastPanelBuiltIsCurrentUntilItGoesAndTheExportsReachOnlyIt)
{
    sim::Document& document = Assembly();
    CountingObject untouched;
    EXPECT_EQ(SELECTFILTERPROC(&untouched), FALSE);
    EXPECT_EQ(SELECTCALLBACKPROC(&untouched, 7), FALSE);
    EXPECT_EQ(untouched.calls, 0);

    auto first = Panel3D(document);
    auto second = Panel3D(document);
    EXPECT_EQ(VelBasePanel::Current(), second.get());
    IDispatchPtr face = geometry().AddFace("face", nullptr, {}).V5().Ptr();
    EXPECT_EQ(SELECTFILTERPROC(face), TRUE);
    EXPECT_EQ(SELECTFILTERPROC(nullptr), FALSE);
    EXPECT_EQ(SELECTCALLBACKPROC(nullptr, 42), TRUE);
    EXPECT_EQ(second->calls, (Lines{"SelectFilter(face5)", "SelectCallback(null,42)"}));
    EXPECT_TRUE(first->calls.empty());

    // A panel going away leaves another one current.
    first.reset();
    EXPECT_EQ(VelBasePanel::Current(), second.get());
    second.reset();
    EXPECT_EQ(VelBasePanel::Current(), nullptr);
    EXPECT_EQ(SELECTFILTERPROC(face), FALSE);
    EXPECT_EQ(Panels().Events().Sinks(), 0u);
}

TEST_F(PanelFramework, A3DRunAcceptedOrCancelledClearsBothHighlightSets)
{
    sim::Document& document = Assembly();
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {});
    struct Row {
        const wchar_t* script;
        bool accepted;
        Lines calls;
    };
    const Row rows[] = {
        {L"pick face; ok", true,
         {"BeforeRun", "ProcessActivate", "SelectFilter(face5)", "SelectCallback(face5,1579075329)", "ButtonUpdate(1)",
          "ButtonClick(1)", "OnAccepted"}},
        {L"offer face; clear; cancel", false,
         {"BeforeRun", "ProcessActivate", "SelectFilter(face5)", "SelectCallback(null,1579075330)", "OnCancelled"}},
        {L"pick face", false,
         {"BeforeRun", "ProcessActivate", "SelectFilter(face5)", "SelectCallback(face5,1579075329)", "OnCancelled"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(sim::Utf8(row.script));
        auto panel = Panel3D(document);
        panel->HighlightObject(face.V5().Ptr());
        journal().Clear();
        Script(row.script);
        EXPECT_EQ(panel->Run(), row.accepted);
        EXPECT_EQ(panel->calls, row.calls);
        EXPECT_EQ(journal().Lines(), (Lines{"app5.24()", "asm5.15(1)", "selectionA.3()", "selectionB.3()"}));
        EXPECT_TRUE(document.Highlighted(1).empty());
    }
    // The process saw one panel page, as it was, and its steps.
    EXPECT_EQ(Panels().Log().at(0), "run 3D, mode 1");
    EXPECT_EQ(Panels().Log().at(1), "page \"Страница\", header \"Заголовок\", layout 2");
    EXPECT_EQ(Panels().Log().at(2), "step \"pick face\": filter 1, callback 1");
}

TEST_F(PanelFramework, A2DRunGivesBackWhereTheUserPutTheObject)
{
    velmar().OpenDocument(1, "drawing");
    struct Row {
        const wchar_t* script;
        bool accepted;
        double x;
        Lines calls;
    };
    const Row rows[] = {
        {L"cursor 10 20 45; ok", true, 10, {"BeforeRun", "ProcessActivate", "ButtonUpdate(1)", "ButtonClick(1)", "OnAccepted"}},
        {L"cursor 10 20 45; cancel", false, 0, {"BeforeRun", "ProcessActivate", "OnCancelled"}},
    };
    for (const Row& row : rows) {
        journal().Clear();
        TestPanel2D panel(App5(), App7(), L"Заголовок", L"Страница", nullptr, nullptr, 1, true);
        EXPECT_EQ(journal().Lines(),
                  (Lines{"app7#15(&)", "propMngPoints#4(events,&)", "propMngPoint#5(object,&)", "propMng#13(&)",
                         "pages#14(\"Страница\",&)", "propMng#14(3)", "propMng#11(\"Заголовок\")", "propMng#16(0)",
                         "app5.5()", "app5.9(10)", "struct10.17()", "struct10.5=0"}));
        journal().Clear();
        Script(row.script);
        EXPECT_EQ(panel.Run(), row.accepted);
        EXPECT_EQ(panel.X, row.x);
        EXPECT_EQ(panel.Angle, row.accepted ? 45 : 0);
        EXPECT_EQ(journal().Lines(), (Lines{"app5.24()", "propMng#16(-1)", "drawing5.217(struct10,&,&,&,null,propMng)"}));
        EXPECT_EQ(panel.calls, row.calls);
        EXPECT_TRUE(Panels().Setting16());
        journal().Clear();
    }

    // A failure inside a 2D run ends it the 2D way.
    TestPanel2D panel(App5(), App7(), L"Заголовок", L"Страница", nullptr, nullptr, 1, true);
    panel.failOn = "ProcessActivate";
    journal().Clear();
    Script(L"cursor 1 2 3; ok");
    EXPECT_THROW(panel.Run(), std::runtime_error);
    EXPECT_EQ(journal().Lines(), (Lines{"app5.24()", "propMng#16(-1)", "drawing5.217(struct10,&,&,&,null,propMng)",
                                        "app7#16(-1,0)"}));
}

TEST_F(PanelFramework, AFailureInsideARunEndsItAndComesOutOfRunNotIntoVelmar)
{
    sim::Document& document = Assembly();
    struct Row {
        const char* failOn;
        const wchar_t* script;
        const char* end;
    };
    const Row rows[] = {
        {"SelectFilter(face5)", L"pick face; ok", "asm5.12()"},
        {"SelectCallback(face5,1579075329)", L"pick face; ok", "asm5.12()"},
        {"ButtonUpdate(1)", L"ok; ok", "asm5.12()"},
        {"ProcessActivate", L"pick face; ok", "asm5.12()"},
    };
    geometry().AddFace("face", nullptr, {});
    for (const Row& row : rows) {
        SCOPED_TRACE(row.failOn);
        auto panel = Panel3D(document);
        panel->failOn = row.failOn;
        Script(row.script);
        EXPECT_THROW(panel->Run(), std::runtime_error);
        EXPECT_EQ(panel->calls.back(), row.failOn) << "nothing after the failure reached the panel";
        EXPECT_EQ(journal().Lines(), (Lines{"app5.24()", "asm5.15(1)", row.end, "selectionA.3()", "selectionB.3()"}));
        EXPECT_EQ(Panels().Log().back(), "end: ended by the library");
        journal().Clear();
    }

    // When ending the process fails too, the process goes on and the panel ignores the rest of it.
    auto panel = Panel3D(document);
    panel->failOn = "SelectFilter(face5)";
    velmar().Faults().FailMember("asm5.12", E_FAIL);
    Script(L"offer face; offer face; ok");
    EXPECT_THROW(panel->Run(), std::runtime_error);
    EXPECT_EQ(panel->calls, (Lines{"BeforeRun", "ProcessActivate", "SelectFilter(face5)"}));
    EXPECT_EQ(Panels().Log().at(Panels().Log().size() - 3), "step \"offer face\": filter 0");
}

TEST_F(PanelFramework, ASinkVelmarKeepsAfterAFailedUnadviseAnswersFalse)
{
    sim::Document& document = Assembly();
    auto panel = Panel3D(document);
    velmar().Faults().FailMember("propMngPoint#6", E_FAIL);
    panel.reset();
    const std::wstring trace = log_.Text();
    EXPECT_NE(trace.find(L"iCont->FindConnectionPoint(vAPI7::DIID_vlPropertyManagerNotify, &iConnPnt)=SUCCEEDED(0x00000000)"),
              std::wstring::npos);
    EXPECT_NE(trace.find(L"iConnPnt->Advise(this, &e_cookie)=SUCCEEDED(0x00000000)"), std::wstring::npos);
    EXPECT_NE(trace.find(L"iConnPnt->Unadvise(e_cookie)=FAILED(0x80004005)"), std::wstring::npos);
    ASSERT_EQ(Panels().Events().Sinks(), 1u);
    std::vector<std::string> escapes;
    EXPECT_EQ(Panels().Events().Fire(IVelPropertyManagerEvents::ButtonClick, {_variant_t(5L)}, escapes), VARIANT_FALSE);
    EXPECT_TRUE(escapes.empty());
}

TEST_F(PanelFramework, PickingTheRecordsOwnObjectAgainEmptiesIt)
{
    sim::Document& document = Assembly();
    auto panel = Panel3D(document);
    sim::GeoEntity& face = geometry().AddFace("face", nullptr, {});
    IDispatchPtr asDispatch = face.V5().Ptr();
    IUnknownPtr asUnknown = asDispatch;   // the same object through its other entry
    PosPanelMate toggling;
    toggling.PickAgainClears = 1;
    EXPECT_EQ(panel->SetSelectedObject(toggling, asDispatch).GetInterfacePtr(), asDispatch.GetInterfacePtr());
    EXPECT_EQ(document.Highlighted(1).size(), 1u);
    EXPECT_EQ(panel->SetSelectedObject(toggling, reinterpret_cast<IDispatch*>(asUnknown.GetInterfacePtr())), nullptr);
    EXPECT_EQ(toggling.iface, nullptr);
    EXPECT_TRUE(document.Highlighted(1).empty());
    // The object left goes from both sets: the panel does not remember which set it was put in.
    EXPECT_EQ(journal().Lines(), (Lines{"selectionB.1(face5)", "selectionA.2(face5)", "selectionB.2(face5)"}));

    // A record that keeps its object keeps it; the highlight switch chooses the first set.
    PosPanelMate keeping;
    panel->SetSelectedObject(keeping, asDispatch);
    panel->SetSelectedObject(keeping, asDispatch);
    EXPECT_EQ(keeping.iface.GetInterfacePtr(), asDispatch.GetInterfacePtr());
    EXPECT_EQ(document.Highlighted(1).size(), 1u);
}

TEST_F(PanelFramework, AFailedHostCallEndsA2DPanelsConstructionOrRun)
{
    velmar().OpenDocument(1, "drawing");
    SweepPanelFailures(
        [&] {
            Script(L"cursor 1 2 3; ok");
            return [this](size_t& teardown) {
                TestPanel2D panel(App5(), App7(), L"Заголовок", L"Страница", nullptr, nullptr, 1, true);
                panel.Run();
                teardown = journal().Calls().size();
            };
        },
        [](size_t) {});
}
