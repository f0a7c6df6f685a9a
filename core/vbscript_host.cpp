#include "core/vbscript_host.h"

#include "core/trace_log.h"
#include "core/unique.h"
#include "core/vbscript_site.h"

#include <objsafe.h>

// objsafe.h gives the interface no uuid of its own for __uuidof.
__CRT_UUID_DECL(IObjectSafety, 0xcb5bdc81, 0x93c1, 0x11cf, 0x8f, 0x20, 0x00, 0x80, 0x5f, 0x2c, 0xd0, 0x64)
_COM_SMARTPTR_TYPEDEF(IObjectSafety, __uuidof(IObjectSafety));

namespace {

void Check(HRESULT result)
{
    if (FAILED(result))
        _com_issue_error(result);
}

} // namespace

VBScriptHost::VBScriptHost()
{
    TraceScope scope(L":VBScriptHost");
    try {
        CLSID engineClass = {};
        Check(CLSIDFromProgID(L"VBScript", &engineClass));
        IUnknownPtr engine;
        Check(CoCreateInstance(engineClass, nullptr,
                               CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                               IID_IUnknown, reinterpret_cast<void**>(&engine)));
        Check(OleRun(engine));
        IActiveScript* script = nullptr;
        Check(engine->QueryInterface(__uuidof(IActiveScript), reinterpret_cast<void**>(&script)));
        engine_.Attach(script);
        parser_ = engine_; // a missing parser is reported before InitNew below

        site_ = std::make_unique<VBScriptSite>();
        Check(engine_->SetScriptSite(site_.get()));
        if (!engine_ || !parser_)
            _com_issue_error(E_POINTER);
        Check(parser_->InitNew());
    } catch (...) {
        Shutdown();
        throw;
    }
}

VBScriptHost::~VBScriptHost()
{
    Shutdown();
}

void VBScriptHost::Shutdown() noexcept
{
    // The engine holds the site until it is closed: close first, then the site may go.
    if (engine_) {
        try {
            engine_->Close();
        } catch (...) {
            TraceCurrentException(L"~VBScriptHost");
        }
    }
    site_.reset();
    parser_ = nullptr;
    engine_ = nullptr;
}

void VBScriptHost::AddNamedItem(const std::wstring& name, IDispatch* object)
{
    TraceScope scope(L"VBScriptHost::AddNamedItem");
    scope.String(L"name", name);
    site_->AddItem(name, object);
    const HRESULT result = engine_->AddNamedItem(name.c_str(), SCRIPTITEM_ISVISIBLE);
    if (FAILED(result)) {
        site_->RemoveLastItem();
        _com_issue_error(result);
    }
}

void VBScriptHost::Run(const _bstr_t& script)
{
    TraceScope scope(L"VBScriptHost::Run");
    IObjectSafetyPtr safety = engine_;
    if (!safety)
        throw VBScriptError(L"IObjectSafety is null");
    // The engine asks the site's security manager before any URL action, and the site refuses them all.
    Check(safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACE_USES_SECURITY_MANAGER,
                                            INTERFACE_USES_SECURITY_MANAGER));

    // The engine's own account of a parse error is not used: the site's error text says more.
    UniqueExcepInfo exception;
    const HRESULT parsed = parser_->ParseScriptText(script, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, exception.put());
    if (FAILED(parsed)) {
        scope.HResult(L"ParseScriptText", parsed);
        throw VBScriptError(site_->ErrorText());
    }
    // A run-time error while the script's main code runs is reported to the site, and the engine may
    // still answer S_OK: the site's text decides.
    const HRESULT started = engine_->SetScriptState(SCRIPTSTATE_CONNECTED);
    if (FAILED(started) || !site_->ErrorText().empty()) {
        scope.HResult(L"SetScriptState", started);
        throw VBScriptError(site_->ErrorText());
    }
}
