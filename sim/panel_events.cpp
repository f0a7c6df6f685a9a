#include "sim/panel_events.h"

#include "hostapi/velmar_events.h"

namespace sim {

namespace {

std::string RenderIid(REFIID iid, REFIID events)
{
    if (IsEqualIID(iid, events))
        return "events";
    wchar_t text[40] = {};
    StringFromGUID2(iid, text, 40);
    return Utf8(text);
}

} // namespace

class EventSource::Container final : public IConnectionPointContainer {
public:
    explicit Container(EventSource& source) : source_(source) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        if (result && IsEqualIID(iid, IID_IConnectionPointContainer)) {
            AddRef();
            *result = static_cast<IConnectionPointContainer*>(this);
            return S_OK;
        }
        return source_.owner_.QueryInterface(iid, result);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return source_.owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return source_.owner_.Release(); }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override
    {
        if (points)
            *points = nullptr;
        return source_.Journal(source_.containerName_, 3, {"&"}, E_NOTIMPL);
    }

    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    EventSource& source_;
};

class EventSource::Point final : public IConnectionPoint {
public:
    explicit Point(EventSource& source) : source_(source) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override
    {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IConnectionPoint))
            return E_NOINTERFACE;
        AddRef();
        *result = static_cast<IConnectionPoint*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return source_.owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return source_.owner_.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override
    {
        if (!iid)
            return E_POINTER;
        *iid = source_.events_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override
    {
        if (!container)
            return E_POINTER;
        source_.container_->AddRef();
        *container = source_.container_.get();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override
    {
        if (connections)
            *connections = nullptr;
        return source_.Journal(source_.pointName_, 7, {"&"}, E_NOTIMPL);
    }

    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        HRESULT hr = source_.Journal(source_.pointName_, 5, {RenderObject(sink), "&"}, S_OK);
        if (FAILED(hr))
            return hr;
        if (!sink || !cookie)
            return E_POINTER;
        // Velmar calls its sinks through the notification interface, as a dispatch interface.
        IDispatchPtr events;
        if (FAILED(sink->QueryInterface(source_.events_, reinterpret_cast<void**>(&events))) || !events)
            return CONNECT_E_CANNOTCONNECT;
        *cookie = source_.nextCookie_++;
        source_.sinks_.emplace_back(*cookie, events);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        HRESULT hr = source_.Journal(source_.pointName_, 6, {std::to_string(cookie)}, S_OK);
        if (FAILED(hr))
            return hr;
        auto& sinks = source_.sinks_;
        for (auto sink = sinks.begin(); sink != sinks.end(); ++sink) {
            if (sink->first != cookie)
                continue;
            IDispatchPtr released = std::move(sink->second);
            sinks.erase(sink);
            return S_OK;
        }
        return CONNECT_E_NOCONNECTION;
    }

private:
    EventSource& source_;
};

HRESULT STDMETHODCALLTYPE EventSource::Container::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (point)
        *point = nullptr;
    const HRESULT hr = source_.Journal(source_.containerName_, 4, {RenderIid(iid, source_.events_), "&"}, S_OK);
    if (FAILED(hr))
        return hr;
    if (!point)
        return E_POINTER;
    if (!IsEqualIID(iid, source_.events_))
        return CONNECT_E_NOCONNECTION;
    source_.point_->AddRef();
    *point = source_.point_.get();
    return S_OK;
}

EventSource::EventSource(Object& owner, const IID& events, std::string containerName, std::string pointName)
    : owner_(owner), events_(events), containerName_(std::move(containerName)), pointName_(std::move(pointName)),
      container_(std::make_unique<Container>(*this)), point_(std::make_unique<Point>(*this))
{
    owner.TearOff(IID_IConnectionPointContainer, container_.get());
}

EventSource::~EventSource() = default;

HRESULT EventSource::Journal(const std::string& object, int position, std::vector<std::string> args, HRESULT result)
{
    Session* session = owner_.GetSession();
    if (!session)
        return CO_E_OBJNOTCONNECTED;
    Call call;
    call.object = object;
    call.kind = CallKind::Slot;
    call.member = position;
    call.args = std::move(args);
    call.unexpected = result == E_NOTIMPL;
    const size_t index = session->journal.Add(call);
    const HRESULT injected = session->faults.OnCall(call.Key());
    session->journal.At(index).result = FAILED(injected) ? injected : result;
    return FAILED(injected) ? injected : result;
}

std::optional<VARIANT_BOOL> EventSource::Fire(DISPID id, std::vector<_variant_t> args, std::vector<std::string>& escapes)
{
    std::optional<VARIANT_BOOL> answer;
    // The sinks may change while one of them runs: each call works on the list as it was.
    const auto sinks = sinks_;
    for (const auto& [cookie, sink] : sinks) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        _variant_t result;
        EXCEPINFO exception{};
        UINT badArgument = 0;
        HRESULT hr = E_FAIL;
        try {
            hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &exception, &badArgument);
        } catch (...) {
            escapes.push_back("an exception left the sink's Invoke of event " + std::to_string(id));
        }
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        if (answer)
            continue;
        if (SUCCEEDED(hr) && V_VT(&result) == VT_BOOL)
            answer = V_BOOL(&result);
        else
            answer = VARIANT_FALSE;
    }
    return answer;
}

} // namespace sim
