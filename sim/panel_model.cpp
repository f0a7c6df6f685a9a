#include "sim/panel_model.h"

#include "hostapi/velmar.h"
#include "sim/library_export.h"
#include "sim/shown_text.h"
#include "sim/velmar.h"

#include <cwchar>
#include <utility>

namespace sim {

namespace {

std::wstring Text(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

std::string Quoted(const std::wstring& text)
{
    return QuoteShown(text);
}

// What a step that reached the library did, in the user's terms. The handler's bare TRUE or FALSE tells
// nothing of it: a panel answers FALSE to a control it has handled.
std::string Done(const PanelStep& step)
{
    switch (step.kind) {
    case PanelStep::Button:
    case PanelStep::Help:
        return "pressed";
    case PanelStep::Check:
        return step.on ? "checked" : "unchecked";
    case PanelStep::Choose:
        return "chosen";
    case PanelStep::Value:
        return "typed";
    default:
        return "done";
    }
}

std::string Answer(VARIANT_BOOL answer)
{
    return answer != VARIANT_FALSE ? "TRUE" : "FALSE";
}

} // namespace

PanelModel::PanelModel(Velmar& velmar) : velmar_(velmar)
{
    manager_ = velmar.NewObject("propMng");
    pagesObject_ = velmar.NewObject("pages");
    Object* pages = pagesObject_.get();
    manager_->Face<IVel7PropertyManager>()
        .On<&IVel7PropertyManager::put_HeaderCaption>(11, [this](BSTR caption) { headerCaption_ = Text(caption); })
        .On<&IVel7PropertyManager::get_Pages>(13, [pages](IDispatch** out) { (*out = pages->Primary())->AddRef(); })
        .On<&IVel7PropertyManager::put_LayoutStyle>(14, [this](long style) { layoutStyle_ = style; })
        .On<&IVel7PropertyManager::put_Setting16>(16, [this](VARIANT_BOOL on) { setting16_ = on != VARIANT_FALSE; });
    pagesObject_->Face<IVel7Pages>().On<&IVel7Pages::Add>(14, [this](BSTR caption, IDispatch** page) {
        PanelPage& added = AddPanelPage(velmar_, pages_, Text(caption));
        (*page = added.object->Primary())->AddRef();
    });
    events_ = std::make_unique<EventSource>(*manager_);
}

PanelModel::~PanelModel() = default;

PanelPage& PanelModel::Page()
{
    if (pages_.empty())
        throw std::logic_error("the property manager has no page");
    return pages_.back();
}

void PanelModel::AddPickable(const std::string& name, Object& object)
{
    pickables_[name] = ObjectRef(&object);
}

void PanelModel::ServeRequest(Object& placement)
{
    PanelRequest& request = requests_.emplace_back();
    request.object = ObjectRef(&placement);
    request.mates = std::make_unique<MateList>(velmar_, placement.Name() + "Mates");
    PanelRequest* self = &request;
    // The module handle travels as a 32-bit integer, exactly: anything wider is not Velmar's protocol.
    auto registration = [this, self](std::wstring PanelRequest::*name, long PanelRequest::*module) {
        return [this, self, name, module](Args& args) {
            if (V_VT(&args.At(1)) != VT_I4)
                throw Fail{DISP_E_TYPEMISMATCH, 1};
            self->*name = args.Text(0);
            self->*module = args.Int32(1);
            args.Object(2);
            active_ = self;
            return _variant_t();
        };
    };
    Object* mates = &request.mates->Obj();
    placement.Property(IVel5PlacementInfo::Prompt, _variant_t(L""))
        .Property(IVel5PlacementInfo::CurrentObject)
        .Method(IVel5PlacementInfo::FilterCallback, 3, registration(&PanelRequest::filterName, &PanelRequest::filterModule))
        .Method(IVel5PlacementInfo::PickCallback, 3, registration(&PanelRequest::pickName, &PanelRequest::pickModule))
        .Method(IVel5PlacementInfo::Mates, 0, [mates](Args&) { return _variant_t(mates->Primary()); })
        .Method(IVel5PlacementInfo::SetPropertyManager, 1, [self](Args& args) {
            self->manager = args.Object(0);
            return _variant_t();
        });
}

PanelRequest* PanelModel::RequestOf(IUnknown* placement)
{
    Object* wanted = Object::From(placement);
    for (PanelRequest& request : requests_)
        if (request.object.get() == wanted)
            return &request;
    return nullptr;
}

void PanelModel::LinkCallbacks(SelectFilterProc filter, SelectPickProc pick)
{
    linkedFilter_ = filter;
    linkedPick_ = pick;
}

template <class F>
F PanelModel::Resolve(const std::wstring& name, long module, const char* role)
{
    F found = nullptr;
    if (module != 0)
        found = reinterpret_cast<F>(FindLibraryExport(module, name));
    else if (name == L"SELECTFILTERPROC")
        found = reinterpret_cast<F>(reinterpret_cast<void*>(linkedFilter_));
    else if (name == L"SELECTCALLBACKPROC")
        found = reinterpret_cast<F>(reinterpret_cast<void*>(linkedPick_));
    else if (name == L"MEASUREFILTERPROC3D")
        found = reinterpret_cast<F>(reinterpret_cast<void*>(linkedMeasure_));
    if (!found)
        Problem(std::string("the ") + role + " callback " + Quoted(name) + " of module " + std::to_string(module) +
                " cannot be resolved");
    return found;
}

std::vector<PanelStep> PanelModel::NextScript(const std::string& kind, const std::wstring& prompt)
{
    Question question;
    question.kind = kind;
    question.text = prompt;
    const _variant_t script = velmar_.User().Ask(question, _variant_t(L""));
    try {
        return ParsePanelScript(V_VT(&script) == VT_BSTR ? Text(V_BSTR(&script)) : std::wstring());
    } catch (const std::invalid_argument& error) {
        Problem(error.what());
        return {};
    }
}

_variant_t PanelModel::PickEntity(Args& args)
{
    args.Object(0);
    const std::wstring filterName = args.Text(1);
    const std::wstring prompt = args.Text(2);
    if (V_VT(&args.At(3)) != VT_I4)
        throw Fail{DISP_E_TYPEMISMATCH, 3};
    const long module = args.Int32(3);
    args.Object(4);
    if (run_) {
        Problem("a pick started while another process ran");
        return _variant_t();
    }
    const std::vector<PanelStep> steps = NextScript("panel", prompt);
    prompts_.push_back(prompt);
    Note("pick " + Quoted(prompt));
    const auto filter = Resolve<MeasureFilterProc3D>(filterName, module, "filter");
    Object* picked = nullptr;
    std::string pickedName;
    for (const PanelStep& step : steps) {
        if (step.kind == PanelStep::Cancel)
            break;
        auto found = pickables_.find(step.name);
        if ((step.kind != PanelStep::Pick && step.kind != PanelStep::Offer) || found == pickables_.end()) {
            Problem(QuoteShown(step.text) + ": a pick offers and picks objects by name");
            break;
        }
        const int accepted = filter ? filter(found->second->Primary()) : 0;
        Note("step " + QuoteShown(step.text) + ": filter " + std::to_string(accepted));
        if (step.kind == PanelStep::Pick && accepted) {
            picked = found->second.get();
            pickedName = step.name;
            break;
        }
    }
    Note(picked ? "end: picked " + pickedName : std::string("end: nothing picked"));
    return picked ? _variant_t(picked->Primary()) : _variant_t();
}

void PanelModel::Note(const std::string& line)
{
    log_.push_back(line);
    if (holding_)
        held_.push_back(line);
    else if (OnLog)
        OnLog(line);
}

void PanelModel::NoteMates()
{
    if (!active_)
        return;
    auto name = [this](IUnknown* object) { return NameObject ? NameObject(object) : RenderObject(object); };
    std::string text;
    for (const MateRecord& mate : active_->mates->Mates()) {
        text += std::string(text.empty() ? "" : ", ") + "kind " + std::to_string(mate.kind) + " direction " +
                std::to_string(mate.direction) + " value " + ShownNumber(mate.value) + " " + name(mate.first) + "-" +
                name(mate.second);
    }
    if (text == lastMates_)
        return;
    lastMates_ = text;
    Note("mates: " + (text.empty() ? std::string("none") : text));
}

void PanelModel::ShowChanges()
{
    if (!active_)
        return;
    const std::wstring prompt = active_->object->Text(IVel5PlacementInfo::Prompt);
    if (!prompts_.empty() && prompts_.back() == prompt)
        return;
    prompts_.push_back(prompt);
    Note("prompt " + Quoted(prompt));
}

bool PanelModel::Run3D(long mode)
{
    RunState run;
    run.is3D = true;
    return Play(run, "run 3D, mode " + std::to_string(mode)) == Outcome::Accepted;
}

long PanelModel::Run2D(Args& args)
{
    args.Object(0);
    RunState run;
    run.is3D = false;
    run.x = args.Double(1);
    run.y = args.Double(2);
    run.angle = args.Double(3);
    args.Object(4);
    args.Object(5);
    if (Play(run, "run 2D") != Outcome::Accepted)
        return 0;
    args.SetDouble(1, run.x);
    args.SetDouble(2, run.y);
    args.SetDouble(3, run.angle);
    return 1;
}

void PanelModel::EndProcess3D()
{
    if (!run_ || !run_->is3D)
        Problem("the library ended a 3D process that was not running");
    else
        run_->ended = true;
}

void PanelModel::EndProcess2D(long first, long second)
{
    if (first != -1 || second != 0)
        Problem("a 2D process is ended with (-1, 0), not (" + std::to_string(first) + ", " + std::to_string(second) + ")");
    else if (!run_ || run_->is3D)
        Problem("the library ended a 2D process that was not running");
    else
        run_->ended = true;
}

PanelModel::Outcome PanelModel::Play(RunState& run, const std::string& title)
{
    if (run_) {
        Problem("a process started while another ran");
        return Outcome::Cancelled;
    }
    const std::vector<PanelStep> steps = NextScript("panel", L"");
    ++runs_;
    run_ = &run;
    lastMates_.clear();
    Note(title);
    if (!pages_.empty()) {
        Note("page " + Quoted(pages_.back().caption) + ", header " + Quoted(headerCaption_) + ", layout " +
             std::to_string(layoutStyle_));
        for (const PanelControl& control : pages_.back().controls)
            Note("control " + control.Describe());
    }
    Fire(IVelPropertyManagerEvents::ProcessActivate, {});
    size_t number = 0;
    for (const PanelStep& step : steps) {
        if (run.ended || run.decided)
            break;
        holding_ = true;
        const std::string answer = Perform(step, ++number, run);
        holding_ = false;
        Note("step " + QuoteShown(step.text) + ": " + (answer == "TRUE" || answer == "FALSE" ? Done(step) : answer));
        for (const std::string& line : std::exchange(held_, {}))
            if (OnLog)
                OnLog(line);
        NoteMates();
    }
    if (run.ended)
        run.outcome = Outcome::Ended;
    const char* end = run.outcome == Outcome::Accepted ? "accepted"
                      : run.outcome == Outcome::Cancelled ? "cancelled"
                      : run.outcome == Outcome::Ended     ? "ended by the library"
                                                          : "cancelled (the script ran out)";
    Note(std::string("end: ") + end);
    run_ = nullptr;
    return run.outcome;
}

std::string PanelModel::Perform(const PanelStep& step, size_t number, RunState& run)
{
    switch (step.kind) {
    case PanelStep::Pick:
    case PanelStep::Offer:
        if (!run.is3D) {
            Problem(QuoteShown(step.text) + ": objects are picked in 3D processes");
            return "not a 3D process";
        }
        return Pick(step, number, step.kind == PanelStep::Pick);
    case PanelStep::Clear: {
        if (!run.is3D || !active_) {
            Problem(QuoteShown(step.text) + ": selections are cleared in 3D processes");
            return "not a 3D process";
        }
        auto pick = Resolve<SelectPickProc>(active_->pickName, active_->pickModule, "pick");
        return pick ? "callback " + std::to_string(pick(nullptr, PickArgument(number))) : "no callback";
    }
    case PanelStep::Button:
        return Press(step.id);
    case PanelStep::Check: {
        PanelControl* control = pages_.empty() ? nullptr : Page().Find(step.id, VelControlCheckBox);
        return Change(control, _variant_t(step.on));
    }
    case PanelStep::Choose: {
        PanelControl* control = pages_.empty() ? nullptr : Page().Find(step.id, VelControlComboBox);
        if (control && (step.index < 0 || static_cast<size_t>(step.index) >= control->items.size())) {
            Problem(QuoteShown(step.text) + ": the combo box has no such item");
            return "no such item";
        }
        return Change(control, control ? _variant_t(control->items[static_cast<size_t>(step.index)].c_str()) : _variant_t());
    }
    case PanelStep::Value: {
        PanelControl* control = nullptr;
        if (!pages_.empty())
            for (PanelControl& candidate : Page().controls)
                if (!control && candidate.id == step.id && candidate.kind != VelControlButtons)
                    control = &candidate;
        wchar_t* end = nullptr;
        const double number = std::wcstod(step.value.c_str(), &end);
        return Change(control, end && *end == L'\0' ? _variant_t(number) : _variant_t(step.value.c_str()));
    }
    case PanelStep::Cursor:
        if (run.is3D) {
            Problem(QuoteShown(step.text) + ": the cursor belongs to 2D processes");
            return "not a 2D process";
        }
        run.x = step.x;
        run.y = step.y;
        run.angle = step.angle;
        return "moved";
    case PanelStep::Help:
        return Fire(IVelPropertyManagerEvents::ButtonClick, {_variant_t(8L)});
    case PanelStep::Ok: {
        VARIANT_BOOL checked = VARIANT_FALSE;
        VARIANT_BOOL enabled = VARIANT_TRUE;
        _variant_t checkedRef;
        V_VT(&checkedRef) = VT_BOOL | VT_BYREF;
        V_BOOLREF(&checkedRef) = &checked;
        _variant_t enabledRef;
        V_VT(&enabledRef) = VT_BOOL | VT_BYREF;
        V_BOOLREF(&enabledRef) = &enabled;
        const std::string update = Fire(IVelPropertyManagerEvents::ButtonUpdate, {_variant_t(1L), checkedRef, enabledRef});
        // The references point at this frame: they must not be cleared as if they owned anything.
        V_VT(&checkedRef) = VT_EMPTY;
        V_VT(&enabledRef) = VT_EMPTY;
        if (enabled == VARIANT_FALSE || run.ended)
            return "update " + update + ", OK disabled";
        const std::string click = Fire(IVelPropertyManagerEvents::ButtonClick, {_variant_t(1L)});
        if (click == "TRUE" && !run.ended) {
            run.decided = true;
            run.outcome = Outcome::Accepted;
        }
        return "update " + update + ", click " + click;
    }
    case PanelStep::Cancel:
        run.decided = true;
        run.outcome = Outcome::Cancelled;
        return "cancelled";
    case PanelStep::Show:
        if (!pages_.empty())
            for (const PanelControl& control : pages_.back().controls)
                Note("control " + control.Describe());
        return "shown";
    }
    return "";
}

std::string PanelModel::Pick(const PanelStep& step, size_t number, bool pick)
{
    auto found = pickables_.find(step.name);
    if (found == pickables_.end()) {
        Problem(QuoteShown(step.text) + ": no object of that name");
        return "no such object";
    }
    if (!active_) {
        Problem(QuoteShown(step.text) + ": the library registered no callbacks");
        return "no callbacks";
    }
    auto filter = Resolve<SelectFilterProc>(active_->filterName, active_->filterModule, "filter");
    if (!filter)
        return "no filter";
    IDispatch* object = found->second->Primary();
    const BOOL accepted = filter(object);
    std::string answer = "filter " + std::to_string(accepted);
    if (!pick || !accepted || (run_ && run_->ended))
        return answer;
    auto callback = Resolve<SelectPickProc>(active_->pickName, active_->pickModule, "pick");
    if (callback)
        answer += ", callback " + std::to_string(callback(object, PickArgument(number)));
    return answer;
}

std::string PanelModel::Press(long id)
{
    if (pages_.empty()) {
        Problem("button " + std::to_string(id) + ": no page");
        return "no page";
    }
    PanelPage& page = Page();
    PanelControl* owner = page.OwnerOfButton(id);
    PanelControl* control = owner ? owner : page.Find(id, VelControlToggle);
    if (!control) {
        Problem("button " + std::to_string(id) + ": no such button or toggle");
        return "no such button";
    }
    if (!control->enabled || !control->visible)
        return "disabled";
    if (owner) {
        PanelButton& button = *owner->Button(id);
        if (!button.enabled)
            return "disabled";
        // What the press does to the buttons, as Velmar shows it: a select button stays pressed until it
        // is pressed again; of a direction pair the pressed one is checked.
        if (owner->style == 1)
            button.checked = !button.checked;
        else if (owner->style == 2)
            for (PanelButton& other : owner->buttons)
                other.checked = &other == &button;
    }
    return Fire(IVelPropertyManagerEvents::ControlCommand, {_variant_t(control->Dispatch()), _variant_t(id)});
}

std::string PanelModel::Change(PanelControl* control, const _variant_t& value)
{
    if (!control) {
        Problem("no control of that id and kind on the page");
        return "no such control";
    }
    if (!control->enabled || !control->visible)
        return "disabled";
    control->value = value;
    return Fire(IVelPropertyManagerEvents::ChangeControlValue, {_variant_t(control->Dispatch())});
}

std::string PanelModel::Fire(DISPID id, std::vector<_variant_t> args)
{
    const auto answer = events_->Fire(id, std::move(args), problems_);
    return answer ? Answer(*answer) : "no sink";
}

} // namespace sim
