#pragma once
// Velmar's property manager and its interactive processes in the stand-in.
//
// The property manager (version-7 application position 15): 11 the header caption, 13 the pages
// (sim/panel_controls.h), 14 the layout style, 16 a Boolean, and a connection point for the panel's
// notifications (sim/panel_events.h).
//
// The request info of a 3D selection process (the placement object IVel5Document3D::PlacementInfo makes)
// answers 1 (the prompt), 9 and 10 (the library's filter and pick callbacks by name and module handle),
// 14 (the mates of the part being placed, sim/mate_list.h) and 18 (the property manager it is tied to).
//
// A process plays the next script the scripted user has for it (kind "panel", sim/panel_script.h; none:
// cancelled): the 3D document's 15 (mode) and the 2D document's 217 (placement). ProcessActivate comes
// first, then one step after another, as Velmar would send them: the filter and pick callbacks are the
// library's exports, resolved by name with GetProcAddress from the 32-bit module handle the library
// registered, taken as the whole handle; a program that links the library statically (handle 0) hands
// the two functions over with LinkCallbacks. The library may end a run: the 3D document's 12, the
// version-7 application's 16 with (-1, 0).
//
// The 3D document's 25 lets the user pick one entity for a measure tool: it plays the next panel script
// (the question's text is the prompt) with the steps "offer NAME" (the library's filter export, named in
// the call with its module handle, is asked about the object), "pick NAME" (asked, and picked when
// accepted: the pick ends with it) and "cancel"; a script that runs out picks nothing.
//
// Every run is written to the log, one line per event (velmar-sim prints it): the page and its controls,
// each step with the library's answer, the prompts shown (the 3D document's 11), the mates applied to
// the part being placed, the end of the run. Whatever must not happen (an exception that reached Velmar
// from a callback or a sink, an unknown object or control in a script, a callback that cannot be
// resolved) is a problem; StandInTest fails on any.
#include "sim/mate_list.h"
#include "sim/panel_controls.h"
#include "sim/panel_events.h"
#include "sim/panel_script.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class Velmar;

// The library's exported selection callbacks, as Velmar calls them.
using SelectFilterProc = BOOL(WINAPI*)(IDispatch* object);
using SelectPickProc = BOOL(WINAPI*)(IDispatch* object, LONG_PTR argument);
using MeasureFilterProc3D = int(WINAPI*)(IDispatch* object);

struct PanelRequest {
    ObjectRef object;                            // the request info
    std::unique_ptr<MateList> mates;             // 14
    std::wstring filterName;                     // 9
    long filterModule = 0;
    std::wstring pickName;                       // 10
    long pickModule = 0;
    IDispatchPtr manager;                        // 18
};

class PanelModel {
public:
    explicit PanelModel(Velmar& velmar);
    ~PanelModel();
    PanelModel(const PanelModel&) = delete;
    PanelModel& operator=(const PanelModel&) = delete;

    Object& Manager() { return *manager_; }
    const std::wstring& HeaderCaption() const { return headerCaption_; }
    long LayoutStyle() const { return layoutStyle_; }
    bool Setting16() const { return setting16_; }
    std::deque<PanelPage>& Pages() { return pages_; }
    PanelPage& Page();                           // the last page made; a test that has none fails
    EventSource& Events() { return *events_; }

    // An object a script may pick by name (every entity of sim::Geometry is one).
    void AddPickable(const std::string& name, Object& object);

    // Gives a placement object the members of a request info.
    void ServeRequest(Object& placement);
    PanelRequest* RequestOf(IUnknown* placement);

    void LinkCallbacks(SelectFilterProc filter, SelectPickProc pick);
    void LinkMeasureFilter(MeasureFilterProc3D filter) { linkedMeasure_ = filter; }
    // The second argument Velmar passes to the pick callback at a step (counted from 1).
    static LONG_PTR PickArgument(size_t step) { return 0x5E1EC700 + static_cast<LONG_PTR>(step); }

    // The members of the documents and the application that drive processes.
    bool Run3D(long mode);
    long Run2D(Args& args);
    void EndProcess3D();
    void EndProcess2D(long first, long second);
    void ShowChanges();
    _variant_t PickEntity(Args& args);

    const std::vector<std::string>& Log() const { return log_; }
    const std::vector<std::wstring>& Prompts() const { return prompts_; }
    const std::vector<std::string>& Problems() const { return problems_; }
    size_t Runs() const { return runs_; }
    // Told every line of the log as it is written; what a step causes (a prompt, its mates) is told after
    // the step's own line, which is written once the step is done.
    std::function<void(const std::string&)> OnLog;
    // How the log names the objects of a mate; without it, by the stand-in objects' own names.
    std::function<std::string(IUnknown*)> NameObject;

private:
    enum class Outcome { Accepted, Cancelled, ScriptRanOut, Ended };
    struct RunState {
        bool is3D = true;
        bool ended = false;
        bool decided = false;
        Outcome outcome = Outcome::ScriptRanOut;
        double x = 0;
        double y = 0;
        double angle = 0;
    };

    Outcome Play(RunState& run, const std::string& title);
    // The scripted user's next script of a kind; a script that does not read is a problem and no steps.
    std::vector<PanelStep> NextScript(const std::string& kind, const std::wstring& prompt);
    std::string Perform(const PanelStep& step, size_t number, RunState& run);
    std::string Pick(const PanelStep& step, size_t number, bool pick);
    std::string Press(long id);
    std::string Change(PanelControl* control, const _variant_t& value);
    std::string Fire(DISPID id, std::vector<_variant_t> args);
    template <class F>
    F Resolve(const std::wstring& name, long module, const char* role);
    void Note(const std::string& line);
    void NoteMates();
    void Problem(const std::string& text) { problems_.push_back(text); }

    Velmar& velmar_;
    ObjectRef manager_;
    ObjectRef pagesObject_;
    std::unique_ptr<EventSource> events_;
    std::deque<PanelPage> pages_;
    std::wstring headerCaption_;
    long layoutStyle_ = 0;
    bool setting16_ = false;
    std::map<std::string, ObjectRef> pickables_;
    std::deque<PanelRequest> requests_;
    PanelRequest* active_ = nullptr;
    RunState* run_ = nullptr;
    SelectFilterProc linkedFilter_ = nullptr;
    SelectPickProc linkedPick_ = nullptr;
    MeasureFilterProc3D linkedMeasure_ = nullptr;
    std::vector<std::string> log_;
    std::vector<std::wstring> prompts_;
    std::string lastMates_;
    bool holding_ = false;                 // a step is being performed: OnLog waits for its line
    std::vector<std::string> held_;
    std::vector<std::string> problems_;
    size_t runs_ = 0;
};

} // namespace sim
