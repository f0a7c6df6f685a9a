#include "library/spc_obj_create_on_events.h"

#include "core/module.h"
#include "core/trace_log.h"
#include "hostapi/dispatch_call.h"
#include "hostapi/velmar_events.h"
#include "library/application_sink.h"
#include "hostapi/provider_connection.h"
#include "library/library_call.h"
#include "library/velmar_normset.h"

#include <algorithm>
#include <memory>

namespace {

// The type Velmar's open event gives the documents the library watches.
constexpr long kWatchedDocument = 6;
constexpr long kBeginsProcess = 20183;
constexpr long kEndsProcess = 20181;
constexpr uint32_t kCreateSpcObjsCommand = 4;

void ShutDownSinks(bool processTerminating) noexcept
{
    if (processTerminating)
        ApplicationEventSink().ForgetAll();
    else
        ApplicationEventSink().Disconnect();
}

bool CodeIs(const DISPPARAMS* params, long code)
{
    _variant_t value;
    return VelEvents::EventArgument(params, 0, VT_I4, value) && V_I4(&value) == code;
}

} // namespace

VelmarSpcObjCreateOnEvents::VelmarSpcObjCreateOnEvents()
{
    SetApplicationSinkConnect([this](IVel5Application* application5) { Connect(application5); });
    SetModuleShutDownStep(&ShutDownSinks);
}

VelmarSpcObjCreateOnEvents::~VelmarSpcObjCreateOnEvents() = default;

void VelmarSpcObjCreateOnEvents::Connect(IVel5Application* application5)
{
    TraceScope scope(L"VelmarSpcObjCreateOnEvents::Connect");
    // Read first: a failed read leaves the sink unconnected, for Velmar's next hand-over to connect.
    const IVel7ApplicationPtr application7 =
        ObjectAs<IVel7Application>(V5Get(application5, IVel5Application::Application7));
    Advise(application5);
    if (IVel7Application* previous = std::exchange(application7_, nullptr))
        previous->Release();
    if (application7) {
        application7_ = application7;
        application7_->AddRef();
    }
}

void VelmarSpcObjCreateOnEvents::AttachDocument(IDispatch* document, long type)
{
    TraceScope scope(L"VelmarSpcObjCreateOnEvents::AttachDocument");
    scope.Value(L"type", type);
    if (!document || type != kWatchedDocument)
        return;
    const IVel5Document3DPtr document5 = QueryHost<IVel5Document3D>(document);
    // A sink is listed only once it is connected: one that hears nothing would only wait for unload.
    auto* sink = new VelDocEvents;
    sink->AddRef();
    try {
        sink->SetHandler(this);
        if (!sink->Advise(document5)) {
            sink->Release();
            return;
        }
    } catch (...) {
        sink->Release();
        throw;
    }
    documents_.push_back(sink);
}

void VelmarSpcObjCreateOnEvents::DetachDocument(VelEvents* sink)
{
    TraceScope scope(L"VelmarSpcObjCreateOnEvents::DetachDocument");
    const auto found = std::find(documents_.begin(), documents_.end(), sink);
    if (found == documents_.end())
        return;
    VelDocEvents* detached = *found;
    documents_.erase(found);
    detached->Unadvise();
    detached->SetHandler(nullptr);
    detached->Release();
}

void VelmarSpcObjCreateOnEvents::CreateSpcObjects() noexcept
{
    try {
        TraceScope scope(L"VelmarSpcObjCreateOnEvents::CreateSpcObjects");
        if (LibraryCallRunning()) {
            // The call makes the spc objects of the parts it makes; a pass now would make them twice.
            scope.WriteLine(L"library call running: no pass");
            return;
        }
        auto* application5 = static_cast<IVel5Application*>(Source());
        if (!application5 || !EnsureProviderQuietly())
            return;
        std::unique_ptr<VelmarNormset> controller;
        VelmarNormset::CreateForActiveDocument(controller, application5, application7_, NormsetProvider(),
                                               kCreateSpcObjsCommand, ExternalLocation::Leave);
        scope.Value(L"CreateSpcObject", controller->Settings.CreateSpcObject);
        if (!controller->Settings.CreateSpcObject)
            return;
        controller->QuietPass = true;
        controller->CreateSpcObjects();
    } catch (...) {
        TraceCurrentException(L"VelmarSpcObjCreateOnEvents::CreateSpcObjects");
    }
}

HRESULT VelmarSpcObjCreateOnEvents::OnEvent(DISPID id, DISPPARAMS* params, VARIANT* result)
{
    if (id == IVelApplicationEvents::DocumentEvent || id == IVelApplicationEvents::OpenDocument) {
        _variant_t document;
        _variant_t type;
        if (EventArgument(params, 0, VT_DISPATCH, document) && EventArgument(params, 1, VT_I4, type))
            AttachDocument(V_DISPATCH(&document), V_I4(&type));
    }
    return AnswerTrue(result);
}

HRESULT VelmarSpcObjCreateOnEvents::OnHandlerEvent(VelEvents* sender, DISPID id, DISPPARAMS* params, VARIANT* result)
{
    switch (id) {
    case IVelDocumentEvents::DocumentGone:
        DetachDocument(sender);
        break;
    case IVelDocumentEvents::BeginProcess:
        if (CodeIs(params, kBeginsProcess))
            CreateSpcObjects();
        break;
    case IVelDocumentEvents::EndProcess:
        if (CodeIs(params, kEndsProcess))
            CreateSpcObjects();
        break;
    default:
        break;
    }
    return AnswerTrue(result);
}

void VelmarSpcObjCreateOnEvents::Disconnect() noexcept
{
    while (!documents_.empty()) {
        VelDocEvents* sink = documents_.back();
        documents_.pop_back();
        sink->Unadvise();
        sink->SetHandler(nullptr);
        try {
            sink->Release();
        } catch (...) {
            TraceCurrentException(L"VelmarSpcObjCreateOnEvents::Disconnect");
        }
    }
    Unadvise();
    if (IVel7Application* application7 = std::exchange(application7_, nullptr)) {
        try {
            application7->Release();
        } catch (...) {
            TraceCurrentException(L"VelmarSpcObjCreateOnEvents::Disconnect");
        }
    }
}

void VelmarSpcObjCreateOnEvents::ForgetAll() noexcept
{
    // The sinks' memory goes with the process; their sources may be gone already.
    for (VelDocEvents* sink : documents_)
        sink->Forget();
    documents_.clear();
    Forget();
    application7_ = nullptr;
}

VelmarSpcObjCreateOnEvents& ApplicationEventSink() noexcept
{
    static VelmarSpcObjCreateOnEvents sink;
    return sink;
}

namespace {

// Built during the library's static initialisation, so that the first LibInterfaceNotifyEntry finds its
// connection installed.
[[maybe_unused]] const bool g_sinkBuilt = (ApplicationEventSink(), true);

} // namespace
