#include "positioning/vel_prop_mng_events.h"

#include "core/trace_log.h"
#include "hostapi/entity_access.h"
#include "hostapi/velmar_events.h"
#include "hostapi/vtable_call.h"

#include <utility>

namespace {

using Events = IVelPropertyManagerEvents;

enum class ArgType { Int32, Object, Bool, BoolRef };

struct Notification {
    DISPID id;
    const wchar_t* name;
    unsigned count;
    ArgType args[3];
};

const Notification kNotifications[] = {
    {Events::ButtonClick, L"ButtonClick", 1, {ArgType::Int32}},
    {Events::ChangeControlValue, L"ChangeControlValue", 1, {ArgType::Object}},
    {Events::ControlCommand, L"ControlCommand", 2, {ArgType::Object, ArgType::Int32}},
    {Events::ButtonUpdate, L"ButtonUpdate", 3, {ArgType::Int32, ArgType::BoolRef, ArgType::BoolRef}},
    {Events::ProcessActivate, L"ProcessActivate", 0, {}},
    {Events::ProcessDeactivate, L"ProcessDeactivate", 0, {}},
    {Events::CommandHelp, L"CommandHelp", 1, {ArgType::Int32}},
    {Events::SelectItem, L"SelectItem", 3, {ArgType::Object, ArgType::Int32, ArgType::Bool}},
    {Events::CheckItem, L"CheckItem", 3, {ArgType::Object, ArgType::Int32, ArgType::Bool}},
    {Events::ChangeActiveTab, L"ChangeActiveTab", 1, {ArgType::Int32}},
    {Events::EditFocus, L"EditFocus", 2, {ArgType::Object, ArgType::Bool}},
    {Events::UserMenuCommand, L"UserMenuCommand", 2, {ArgType::Object, ArgType::Int32}},
};

bool SameNameInAsciiCase(const wchar_t* a, const wchar_t* b)
{
    auto lower = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    for (; *a && *b; ++a, ++b)
        if (lower(*a) != lower(*b))
            return false;
    return *a == *b;
}

HRESULT LookUpNotification(LPOLESTR* names, UINT count, DISPID* ids)
{
    if (count != 1)
        return E_INVALIDARG;
    if (!names || !names[0] || !ids)
        return E_POINTER;
    for (const Notification& notification : kNotifications) {
        if (SameNameInAsciiCase(names[0], notification.name)) {
            ids[0] = notification.id;
            return S_OK;
        }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

bool IsInteger(VARTYPE type)
{
    switch (type & ~VT_BYREF) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4:
    case VT_INT: case VT_UINT: case VT_I8: case VT_UI8: case VT_BOOL:
        return true;
    default:
        return false;
    }
}

// One argument as its handler takes it. False when the argument is not of that type.
struct ArgValue {
    long number = 0;
    VARIANT_BOOL flag = VARIANT_FALSE;
    IDispatchPtr object;
    VARIANT_BOOL* flagRef = nullptr;
};

bool Read(const VARIANT& given, ArgType type, ArgValue& out)
{
    const VARIANT* arg = &given;
    if (V_VT(arg) == (VT_VARIANT | VT_BYREF) && type != ArgType::BoolRef) {
        if (!V_VARIANTREF(arg))
            return false;
        arg = V_VARIANTREF(arg);
    }
    _variant_t converted;
    switch (type) {
    case ArgType::Int32:
        if (!IsInteger(V_VT(arg)) || V_VT(arg) == VT_BOOL ||
            FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(arg), 0, VT_I4)))
            return false;
        out.number = V_I4(&converted);
        return true;
    case ArgType::Bool:
        if (!IsInteger(V_VT(arg)) || FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(arg), 0, VT_BOOL)))
            return false;
        out.flag = V_BOOL(&converted);
        return true;
    case ArgType::Object: {
        IUnknown* object = nullptr;
        switch (V_VT(arg)) {
        case VT_EMPTY: case VT_NULL: return true;
        case VT_DISPATCH: object = V_DISPATCH(arg); break;
        case VT_UNKNOWN: object = V_UNKNOWN(arg); break;
        case VT_DISPATCH | VT_BYREF: object = V_DISPATCHREF(arg) ? *V_DISPATCHREF(arg) : nullptr; break;
        case VT_UNKNOWN | VT_BYREF: object = V_UNKNOWNREF(arg) ? *V_UNKNOWNREF(arg) : nullptr; break;
        default: return false;
        }
        return !object || SUCCEEDED(object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&out.object)));
    }
    case ArgType::BoolRef:
        // The handler writes through it: only a real VARIANT_BOOL (or a variant holding one) will do.
        if (V_VT(arg) == (VT_BOOL | VT_BYREF))
            out.flagRef = V_BOOLREF(arg);
        else if (V_VT(arg) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(arg) && V_VT(V_VARIANTREF(arg)) == VT_BOOL)
            out.flagRef = &V_BOOL(V_VARIANTREF(arg));
        return out.flagRef != nullptr;
    }
    return false;
}

// The identity of the sink and of its forwarder alike: IUnknown, IDispatch, the notification interface.
HRESULT QuerySink(IDispatch* sink, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, __uuidof(Events)))
        return E_NOINTERFACE;
    sink->AddRef();
    *object = sink;
    return S_OK;
}

// Neither has type information.
HRESULT NoTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT NoTypeInfo(ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

} // namespace

// What Velmar is advised: it passes notifications on to its panel while the panel listens, and answers
// FALSE otherwise, also after the panel is gone.
class PanelEventForwarder final : public IDispatch {
public:
    explicit PanelEventForwarder(VelPropMngEvents* panel) : panel_(panel) {}

    void Detach() noexcept
    {
        panel_ = nullptr;
        listening_ = false;
    }
    void Listen(bool on) noexcept { listening_ = on && panel_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return QuerySink(this, iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return NoTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override { return NoTypeInfo(info); }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        return LookUpNotification(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* badArgument) override
    {
        if (panel_ && listening_)
            return panel_->Invoke(id, iid, locale, flags, params, result, exception, badArgument);
        if (result) {
            VariantInit(result);
            V_VT(result) = VT_BOOL;
            V_BOOL(result) = VARIANT_FALSE;
        }
        return S_OK;
    }

private:
    ~PanelEventForwarder() = default;

    LONG references_ = 1;   // the panel's
    VelPropMngEvents* panel_;
    bool listening_ = false;
};

VelPropMngEvents::VelPropMngEvents(IVel5Application*, IVel7Application* application7)
{
    TraceScope scope(L":VelPropMngEvents");
    iPropMng = RequireHost(QueryHost<IVel7PropertyManager>(V7Get(application7, &IVel7Application::get_PropertyManager)));
    IConnectionPointContainerPtr container;
    HRESULT hr = iPropMng->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container));
    if (FAILED(hr) || !container)
        RaiseHostError(FAILED(hr) ? hr : E_POINTER, nullptr, IID_IConnectionPointContainer);
    IConnectionPointPtr point;
    hr = scope.HResult(L"iCont->FindConnectionPoint(vAPI7::DIID_vlPropertyManagerNotify, &iConnPnt)",
                       container->FindConnectionPoint(__uuidof(Events), &point));
    if (FAILED(hr) || !point)
        RaiseHostError(FAILED(hr) ? hr : E_POINTER, container, IID_IConnectionPointContainer);
    auto* forwarder = new PanelEventForwarder(this);
    hr = scope.HResult(L"iConnPnt->Advise(this, &e_cookie)", point->Advise(forwarder, &cookie_));
    if (FAILED(hr)) {
        forwarder->Release();
        RaiseHostError(hr, point, IID_IConnectionPoint);
    }
    forwarder_ = forwarder;
}

VelPropMngEvents::~VelPropMngEvents()
{
    try {
        TraceScope scope(L"~VelPropMngEvents");
        IConnectionPointContainerPtr container;
        if (forwarder_ && iPropMng &&
            SUCCEEDED(iPropMng->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) &&
            container) {
            IConnectionPointPtr point;
            const HRESULT hr = scope.HResult(L"iCont->FindConnectionPoint(vAPI7::DIID_vlPropertyManagerNotify, &iConnPnt)",
                                             container->FindConnectionPoint(__uuidof(Events), &point));
            if (SUCCEEDED(hr) && point)
                scope.HResult(L"iConnPnt->Unadvise(e_cookie)", point->Unadvise(cookie_));
        }
    } catch (...) {
        TraceCurrentException(L"~VelPropMngEvents");
    }
    if (forwarder_) {
        forwarder_->Detach();
        forwarder_->Release();
    }
}

HRESULT STDMETHODCALLTYPE VelPropMngEvents::QueryInterface(REFIID iid, void** object)
{
    return QuerySink(this, iid, object);
}

ULONG STDMETHODCALLTYPE VelPropMngEvents::AddRef()
{
    return ++references_;
}

ULONG STDMETHODCALLTYPE VelPropMngEvents::Release()
{
    return references_ > 0 ? --references_ : 0;
}

HRESULT STDMETHODCALLTYPE VelPropMngEvents::GetTypeInfoCount(UINT* count)
{
    return NoTypeInfoCount(count);
}

HRESULT STDMETHODCALLTYPE VelPropMngEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    return NoTypeInfo(info);
}

HRESULT STDMETHODCALLTYPE VelPropMngEvents::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return LookUpNotification(names, count, ids);
}

HRESULT STDMETHODCALLTYPE VelPropMngEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                                   EXCEPINFO*, UINT* badArgument)
{
    if (result) {
        VariantInit(result);
        V_VT(result) = VT_BOOL;
        V_BOOL(result) = VARIANT_FALSE;
    }
    const Notification* found = nullptr;
    for (const Notification& notification : kNotifications)
        if (notification.id == id)
            found = &notification;
    if (!found)
        return DISP_E_MEMBERNOTFOUND;
    const UINT count = params ? params->cArgs : 0;
    if (params && params->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    if (count != found->count || (count > 0 && !params->rgvarg))
        return DISP_E_BADPARAMCOUNT;
    ArgValue args[3];
    for (UINT i = 0; i < count; ++i) {
        // DISPPARAMS holds the arguments last first.
        const UINT at = count - 1 - i;
        if (!Read(params->rgvarg[at], found->args[i], args[i])) {
            if (badArgument)
                *badArgument = at;
            return DISP_E_TYPEMISMATCH;
        }
    }
    const VARIANT_BOOL answer = Shielded(L"VelPropMngEvents::Invoke", VARIANT_FALSE, [&]() -> VARIANT_BOOL {
        switch (id) {
        case Events::ButtonClick: return ButtonClick(args[0].number);
        case Events::ChangeControlValue: return ChangeControlValue(args[0].object);
        case Events::ControlCommand: return ControlCommand(args[0].object, args[1].number);
        case Events::ButtonUpdate: return ButtonUpdate(args[0].number, args[1].flagRef, args[2].flagRef);
        case Events::ProcessActivate: return ProcessActivate();
        case Events::ProcessDeactivate: return ProcessDeactivate();
        case Events::CommandHelp: return CommandHelp(args[0].number);
        case Events::SelectItem: return SelectItem(args[0].object, args[1].number, args[2].flag);
        case Events::CheckItem: return CheckItem(args[0].object, args[1].number, args[2].flag);
        case Events::ChangeActiveTab: return ChangeActiveTab(args[0].number);
        case Events::EditFocus: return EditFocus(args[0].object, args[1].flag);
        default: return UserMenuCommand(args[0].object, args[1].number);
        }
    });
    if (result)
        V_BOOL(result) = answer;
    return S_OK;
}

void VelPropMngEvents::KeepFailure(const wchar_t* where) noexcept
{
    failure_ = std::current_exception();
    TraceCurrentException(where);
    OnVelmarCallFailed();
}

void VelPropMngEvents::RethrowFailure()
{
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
}

void VelPropMngEvents::Listen(bool on) noexcept
{
    if (forwarder_)
        forwarder_->Listen(on);
}
