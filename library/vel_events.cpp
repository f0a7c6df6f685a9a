#include "library/vel_events.h"

#include "core/trace_log.h"
#include "hostapi/velmar_events.h"

#include <utility>

namespace {

// Velmar's answer for a source that offers no connection point at all.
[[noreturn]] void NoContainer()
{
    throw _com_error(E_POINTER);
}

IConnectionPointPtr FindPoint(IUnknown* source, const IID& events, HRESULT& hr)
{
    IConnectionPointContainerPtr container;
    hr = source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr) || !container) {
        hr = E_POINTER;
        return nullptr;
    }
    IConnectionPointPtr point;
    hr = container->FindConnectionPoint(events, &point);
    return SUCCEEDED(hr) ? point : nullptr;
}

} // namespace

VelEvents::VelEvents(const IID& events, std::map<std::wstring, DISPID> names, Lifetime lifetime)
    : events_(events), names_(std::move(names)), lifetime_(lifetime)
{
}

VelEvents::~VelEvents() = default;

HRESULT STDMETHODCALLTYPE VelEvents::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, events_))
        return E_NOINTERFACE;
    AddRef();
    *object = static_cast<IDispatch*>(this);
    return S_OK;
}

ULONG STDMETHODCALLTYPE VelEvents::AddRef()
{
    return static_cast<ULONG>(++references_);
}

ULONG STDMETHODCALLTYPE VelEvents::Release()
{
    const LONG left = --references_;
    if (left == 0 && lifetime_ == Lifetime::ByCount)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE VelEvents::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE VelEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE VelEvents::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (count > 1)
        return E_INVALIDARG;
    if (count == 0 || !names || !names[0] || !ids)
        return E_POINTER;
    const auto found = names_.find(names[0]);
    ids[0] = found == names_.end() ? DISPID_UNKNOWN : found->second;
    return found == names_.end() ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT STDMETHODCALLTYPE VelEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                            EXCEPINFO*, UINT*)
{
    // A handler may let this sink go (the document is gone) while it runs.
    AddRef();
    HRESULT hr = S_OK;
    try {
        hr = handler_ ? handler_->OnHandlerEvent(this, id, params, result) : OnEvent(id, params, result);
    } catch (...) {
        TraceCurrentException(L"VelEvents::Invoke");
        hr = AnswerTrue(result);
    }
    Release();
    return hr;
}

bool VelEvents::Advise(IUnknown* source)
{
    TraceScope scope(L"VelEvents::Advise");
    if (!source)
        NoContainer();
    const IUnknownPtr kept(source);
    Unadvise();
    HRESULT hr = S_OK;
    const IConnectionPointPtr point = FindPoint(source, events_, hr);
    if (hr == E_POINTER)
        NoContainer();
    if (!point) {
        scope.HResult(L"FindConnectionPoint", hr);
        return false;
    }
    DWORD cookie = 0;
    hr = scope.HResult(L"Advise", point->Advise(static_cast<IDispatch*>(this), &cookie));
    if (FAILED(hr))
        throw _com_error(hr);
    source->AddRef();
    source_ = source;
    cookie_ = cookie;
    return true;
}

void VelEvents::Unadvise() noexcept
{
    IUnknown* source = std::exchange(source_, nullptr);
    const DWORD cookie = std::exchange(cookie_, 0);
    if (!source)
        return;
    try {
        TraceScope scope(L"VelEvents::Unadvise");
        HRESULT hr = S_OK;
        if (const IConnectionPointPtr point = FindPoint(source, events_, hr))
            hr = point->Unadvise(cookie);
        scope.HResult(L"Unadvise", hr);
    } catch (...) {
        TraceCurrentException(L"VelEvents::Unadvise");
    }
    try {
        source->Release();
    } catch (...) {
        TraceCurrentException(L"VelEvents::Unadvise");
    }
}

void VelEvents::Forget() noexcept
{
    source_ = nullptr;
    cookie_ = 0;
}

HRESULT VelEvents::OnEvent(DISPID, DISPPARAMS*, VARIANT*)
{
    return DISP_E_UNKNOWNINTERFACE;
}

HRESULT VelEvents::OnHandlerEvent(VelEvents*, DISPID, DISPPARAMS*, VARIANT*)
{
    return DISP_E_UNKNOWNINTERFACE;
}

bool VelEvents::EventArgument(const DISPPARAMS* params, unsigned position, VARTYPE type, _variant_t& value)
{
    if (!params || !params->rgvarg || params->cArgs <= position)
        return false;
    _variant_t given;
    if (FAILED(VariantCopyInd(&given, &params->rgvarg[params->cArgs - 1 - position])))
        return false;
    // A number is never asked of an object: its default property would be a call into the unknown.
    if (type != VT_DISPATCH && (V_VT(&given) == VT_DISPATCH || V_VT(&given) == VT_UNKNOWN))
        return false;
    _variant_t converted;
    if (FAILED(VariantChangeType(&converted, &given, 0, type)))
        return false;
    value = std::move(converted);
    return true;
}

HRESULT VelEvents::AnswerTrue(VARIANT* result) noexcept
{
    if (result) {
        VariantClear(result);
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = VARIANT_TRUE;
    }
    return S_OK;
}

VelAppEvents::VelAppEvents()
    : VelEvents(__uuidof(IVelApplicationEvents), {{L"OpenDocument", IVelApplicationEvents::OpenDocument}}, Lifetime::Process)
{
}

VelDocEvents::VelDocEvents()
    : VelEvents(__uuidof(IVelDocumentEvents),
                {{L"BeginProcess", IVelDocumentEvents::BeginProcess}, {L"EndProcess", IVelDocumentEvents::EndProcess}},
                Lifetime::ByCount)
{
}
