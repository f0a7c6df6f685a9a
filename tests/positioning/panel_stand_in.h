#pragma once
// What the panel tests share: test-only panels that record what Velmar told them and answer as the test
// says, an assembly in the stand-in Velmar with the library's callbacks linked in, and the fault sweep
// of a panel's construction and run.
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "library/exports.h"
#include "positioning/part_panel_3d.h"
#include "positioning/vel_base_panel_2d.h"
#include "positioning/vel_base_panel_3d.h"
#include "sim/document.h"
#include "sim/geometry_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace panel_test {

using Lines = std::vector<std::string>;

// A panel of the framework alone: every handler and operation is recorded, answers are the test's, and
// `failOn` names a record that raises instead.
template <class Base>
class Recording : public Base {
public:
    using Base::Base;
    using Base::AddButtonBar;
    using Base::AddCheckBox;
    using Base::AddComboBox;
    using Base::AddDirectionButtons;
    using Base::AddGroupTitle;
    using Base::AddList;
    using Base::AddSelectButton;
    using Base::AddSelectField;
    using Base::AddSpinEdit;
    using Base::AddToggle;
    using Base::HelpId;
    using Base::PromptWords;

    Lines calls;
    std::string failOn;
    VARIANT_BOOL complete = VARIANT_TRUE;
    BOOL filterAnswer = TRUE;

    VARIANT_BOOL ButtonClick(long id) override { return Record("ButtonClick(" + std::to_string(id) + ")", [&] { return Base::ButtonClick(id); }); }
    VARIANT_BOOL ChangeControlValue(IDispatch* control) override { return Record("ChangeControlValue(" + Name(control) + ")", VARIANT_FALSE); }
    VARIANT_BOOL ControlCommand(IDispatch* control, long id) override
    {
        return Record("ControlCommand(" + Name(control) + "," + std::to_string(id) + ")", VARIANT_FALSE);
    }
    VARIANT_BOOL ButtonUpdate(long id, VARIANT_BOOL* checked, VARIANT_BOOL* enabled) override
    {
        return Record("ButtonUpdate(" + std::to_string(id) + ")", [&] { return Base::ButtonUpdate(id, checked, enabled); });
    }
    VARIANT_BOOL ProcessActivate() override { return Record("ProcessActivate", VARIANT_FALSE); }
    VARIANT_BOOL ProcessDeactivate() override { return Record("ProcessDeactivate", VARIANT_FALSE); }
    VARIANT_BOOL CommandHelp(long id) override { return Record("CommandHelp(" + std::to_string(id) + ")", [&] { return Base::CommandHelp(id); }); }
    VARIANT_BOOL SelectItem(IDispatch* control, long index, VARIANT_BOOL on) override
    {
        return Record("SelectItem(" + Name(control) + "," + std::to_string(index) + "," + std::to_string(on) + ")", VARIANT_TRUE);
    }
    VARIANT_BOOL CheckItem(IDispatch* control, long index, VARIANT_BOOL on) override
    {
        return Record("CheckItem(" + Name(control) + "," + std::to_string(index) + "," + std::to_string(on) + ")", VARIANT_TRUE);
    }
    VARIANT_BOOL ChangeActiveTab(long tab) override { return Record("ChangeActiveTab(" + std::to_string(tab) + ")", VARIANT_TRUE); }
    VARIANT_BOOL EditFocus(IDispatch* control, VARIANT_BOOL on) override
    {
        return Record("EditFocus(" + Name(control) + "," + std::to_string(on) + ")", VARIANT_TRUE);
    }
    VARIANT_BOOL UserMenuCommand(IDispatch* control, long command) override
    {
        return Record("UserMenuCommand(" + Name(control) + "," + std::to_string(command) + ")", VARIANT_TRUE);
    }
    void OnAccepted() override { Record("OnAccepted", 0); }
    void OnCancelled() override { Record("OnCancelled", 0); }
    void BeforeRun() override { Record("BeforeRun", 0); }
    VARIANT_BOOL IsComplete() override { return complete; }
    BOOL SelectFilter(IDispatch* object) override { return Record("SelectFilter(" + Name(object) + ")", filterAnswer); }
    BOOL SelectCallback(IDispatch* object, LONG_PTR argument) override
    {
        return Record("SelectCallback(" + Name(object) + "," + std::to_string(argument) + ")", TRUE);
    }
    void UpdatePrompt() override { Record("UpdatePrompt", 0); }

    static std::string Name(IUnknown* object)
    {
        const sim::Object* found = sim::Object::From(object);
        return found ? found->Name() : object ? "object" : "null";
    }

private:
    template <class F>
    auto Record(const std::string& call, F&& answer)
    {
        calls.push_back(call);
        if (call == failOn)
            throw std::runtime_error("the test panel raises in " + call);
        if constexpr (std::is_invocable_v<F>)
            return answer();
        else
            return answer;
    }
};

using TestPanel3D = Recording<VelBasePanel3D>;
using TestPanel2D = Recording<VelBasePanel2D>;

// Runs the scenario once for each host call it makes, with that call failing (E_FAIL). `setUp` builds
// a fresh model and gives the scenario, which builds its panel, runs it and destroys it, setting
// `teardown` to the journal's length when the panel's destruction begins. A failure before that must
// end in that _com_error from the constructor or Run; after every run no panel is current, no sink
// is left advised (unless the failed call was one of the destructor's, when the sink left behind must
// answer FALSE), both highlight sets are empty, and `check` holds. With `mayGoOn` a panel may also
// answer a failure itself (a restoring call that only traces, a model started over) and go on: then
// nothing is raised and the run ends as its script says, never ended by the library.
// The sweep ends with the first run in which no call failed.
inline void SweepPanelFailures(sim::Velmar& velmar, const std::function<std::function<void(size_t& teardown)>()>& setUp,
                               const std::function<void(size_t n)>& check, bool mayGoOn = false)
{
    for (size_t n = 1; n < 5000; ++n) {
        const auto scenario = setUp();
        sim::Document* document = velmar.ActiveDocument();
        const size_t sinksBefore = velmar.Panels().Events().Sinks();
        velmar.Journal().Clear();
        velmar.Faults().FailCall(n, E_FAIL);
        const size_t logged = velmar.Panels().Log().size();
        size_t teardown = SIZE_MAX;
        bool raised = false;
        try {
            scenario(teardown);
        } catch (const _com_error& error) {
            raised = true;
            EXPECT_EQ(error.Error(), E_FAIL) << "call " << n;
        }
        velmar.Faults().Clear();
        // A script a run that never came would have played.
        velmar.User().Clear();
        const auto& calls = velmar.Journal().Calls();
        size_t failed = SIZE_MAX;
        for (size_t i = 0; i < calls.size() && failed == SIZE_MAX; ++i)
            if (calls[i].result == E_FAIL)
                failed = i;
        if (failed == SIZE_MAX) {
            EXPECT_FALSE(raised);
            EXPECT_GT(n, 10u) << "fewer host calls than the scenario makes";
            return;
        }
        const std::string key = calls[failed].Key();
        const bool inTeardown = failed >= teardown;
        const auto& log = velmar.Panels().Log();
        const bool wentOn = mayGoOn && !raised && std::any_of(log.begin() + logged, log.end(), [](const std::string& line) {
                                return line.rfind("end: ", 0) == 0 && line != "end: ended by the library";
                            });
        EXPECT_EQ(raised, !inTeardown && !wentOn) << "call " << n << " (" << key << ") failed";
        EXPECT_EQ(VelBasePanel::Current(), nullptr) << key;
        if (velmar.Panels().Events().Sinks() > sinksBefore) {
            EXPECT_TRUE(inTeardown) << key;
            std::vector<std::string> escapes;
            EXPECT_EQ(velmar.Panels().Events().Fire(IVelPropertyManagerEvents::ButtonClick, {_variant_t(5L)}, escapes),
                      std::optional<VARIANT_BOOL>(VARIANT_FALSE))
                << key;
        }
        for (int set = 0; set < 2; ++set) {
            if (key != (set == 0 ? "selectionA.3" : "selectionB.3")) {
                EXPECT_TRUE(document->Highlighted(set).empty()) << key << " left highlight set " << set;
            }
        }
        check(n);
    }
    FAIL() << "the scenario never ended without a failure";
}

class PanelStandIn : public sim::GeometryTest {
protected:
    PanelStandIn()
    {
        velmar().Panels().LinkCallbacks(&SELECTFILTERPROC, &SELECTCALLBACKPROC);
        testhooks::ResetAttachPointPreference();
    }
    void TearDown() override
    {
        EXPECT_EQ(VelBasePanel::Current(), nullptr) << "a panel stayed current";
        testhooks::ResetCurrentPanel();
        testhooks::ResetAttachPointPreference();
        sim::GeometryTest::TearDown();
    }

    IVel5ApplicationPtr App5() { return velmar().App5().As<IVel5Application>(); }
    IVel7ApplicationPtr App7() { return velmar().App7().As<IVel7Application>(); }
    sim::PanelModel& Panels() { return velmar().Panels(); }
    sim::PanelPage& Page() { return Panels().Page(); }

    // An active assembly whose top part is "assembly", with the geometry's mates.
    sim::Document& Assembly()
    {
        sim::Document& document = velmar().OpenDocument(5, "asm");
        geometry().UseDocument(document);
        geometry().topPart = &velmar().AddPart("assembly");
        return document;
    }
    // The request info of the placement of a part in the document (as the insertion's phantom guard hands
    // it over).
    IVel5PlacementInfoPtr Placement(sim::Document& document, sim::Part& part)
    {
        auto placement = ObjectAs<IVel5PlacementInfo>(
            V5Method(document.V5().As<IVel5Document3D>(), IVel5Document3D::PlacementInfo, part.V5().Ptr()));
        journal().Clear();
        return placement;
    }
    sim::PanelRequest& Request(IVel5PlacementInfo* placement) { return *Panels().RequestOf(placement); }

    // The script the scripted user plays in the next panel run.
    void Script(const std::wstring& steps) { velmar().User().Answer("panel", _variant_t(steps.c_str())); }

    void SweepPanelFailures(const std::function<std::function<void(size_t& teardown)>()>& setUp,
                            const std::function<void(size_t n)>& check)
    {
        panel_test::SweepPanelFailures(velmar(), setUp, check);
    }

    TraceLog log_{L"test", false};
};

} // namespace panel_test
