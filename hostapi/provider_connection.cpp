#include "hostapi/provider_connection.h"

#include "core/format_string.h"
#include "core/module.h"
#include "core/trace_log.h"
#include "core/unique.h"
#include "core/translate.h"
#include "hostapi/vtable_call.h"

#include <utility>

namespace {

// The slot holds the provider's INMClient interface (as IUnknown, its base): the only interface the
// library stores there, so it reads back as INMClient.
bool g_ready = false;
// Connected by the quiet path without the ready flag: whoever lets it go disconnects it first.
bool g_connectedQuietly = false;

// What a controller sent last: to which provider (its identity, compared only, not counted) and for
// which pair. Forgotten whenever a provider is created or anything else sets the provider up.
struct SentOptions {
    IUnknown* provider = nullptr;
    long documentType = 0;
    long mask = 0;
};
SentOptions g_sent;

void ForgetSentOptions() noexcept
{
    g_sent = SentOptions{};
}

IUnknown* IdentityOf(IUnknown* object)
{
    IUnknownPtr identity;
    if (object)
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    return identity.GetInterfacePtr();
}

HRESULT DisconnectProvider(IUnknown* provider)
{
    _variant_t unused;
    return static_cast<INMClient*>(provider)->Disconnect(&unused);
}

} // namespace

INMClient* NormsetProvider() noexcept
{
    return static_cast<INMClient*>(HeldProvider());
}

HRESULT CreateNormsetProvider()
{
    if (std::exchange(g_connectedQuietly, false) && NormsetProvider())
        DisconnectProvider(NormsetProvider());
    HoldProvider(nullptr, nullptr);
    g_ready = false;
    ForgetSentOptions();
    IUnknownPtr object;
    HRESULT hr = CoCreateInstance(CLSID_BOSimpleProvider, nullptr,
                                  CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                                      CLSCTX_REMOTE_SERVER,
                                  IID_IUnknown, reinterpret_cast<void**>(&object));
    if (FAILED(hr))
        return hr;
    hr = OleRun(object);
    if (FAILED(hr))
        return hr;
    INMClientPtr client;
    hr = object->QueryInterface(__uuidof(INMClient), reinterpret_cast<void**>(&client));
    if (FAILED(hr))
        return hr;
    if (!client)
        return E_NOINTERFACE;
    HoldProvider(static_cast<IUnknown*>(client.GetInterfacePtr()), &DisconnectProvider);
    return S_OK;
}

void NormsetInitOnce()
{
    TraceScope scope(L"NormsetInitOnce");
    if (g_ready && NormsetProvider())
        return;
    scope.WriteLine(L"First_init");
    const HRESULT created =
        scope.HResult(L"iNMClientExt.CreateInstance(VAZEZadAzuduv::CLSID_BOSimpleProvider)", CreateNormsetProvider());
    if (FAILED(created))
        throw FormatString(Translate(L"Ошибка при запуске Справочника (код ошибки %x)."),
                           _variant_t(static_cast<long>(created)));
    INMClient* provider = NormsetProvider();
    long error = 0;
    UniqueBstr connectText(SysAllocString(L""));
    V7Call(provider, &INMClient::Connect, &connectText.get(), &error);
    const _bstr_t text(connectText.release(), false);
    if (error != 0) {
        scope.WriteLine(L"\"Init_error\"");
        // The user is to learn why the connection was refused: a failing clean-up must not replace that.
        scope.HResult(L"Disconnect", DisconnectProvider(provider));
        HoldProvider(nullptr, nullptr);
        throw FormatString(L"%s\r\n%s", _variant_t(Translate(L"Ошибка подключения к серверу.").c_str()),
                           _variant_t(text));
    }
    g_ready = true;
}

bool EnsureProviderQuietly()
{
    TraceScope scope(L"EnsureProviderQuietly");
    if (NormsetProvider())
        return true;
    if (FAILED(scope.HResult(L"CreateNormsetProvider", CreateNormsetProvider())))
        return false;
    INMClient* provider = NormsetProvider();
    long error = 0;
    UniqueBstr connectText(SysAllocString(L""));
    try {
        V7Call(provider, &INMClient::Connect, &connectText.get(), &error);
    } catch (...) {
        // A provider whose connection is unknown is not one to use on the next event.
        HoldProvider(nullptr, nullptr);
        throw;
    }
    if (error != 0) {
        scope.Value(L"Connect", error);
        scope.HResult(L"Disconnect", DisconnectProvider(provider));
        HoldProvider(nullptr, nullptr);
        return false;
    }
    g_connectedQuietly = true;
    return true;
}

INMResponsePtr ClientSelect(INMClient* provider, long& command, _bstr_t& params, _bstr_t& location, HWND owner)
{
    // The reference book takes the window as a 32-bit long; window handles fit in 32 bits.
    const long window = static_cast<long>(reinterpret_cast<LONG_PTR>(owner));
    // In/out strings: the reference book may free what goes in and put its own text in its place, so it
    // gets copies of its own (the caller's strings may be shared) and what comes back is taken over.
    UniqueBstr paramsText(params.copy());
    UniqueBstr locationText(location.copy());
    // A response handed back together with a failure is released with its owner, not leaked.
    INMResponsePtr response = V7Get(provider, &INMClient::Select, &command, &paramsText.get(), &locationText.get(), window);
    params = _bstr_t(paramsText.release(), false);
    location = _bstr_t(locationText.release(), false);
    return response;
}

_bstr_t ResponseXml(INMResponse* response)
{
    return V7Get(response, &INMResponse::get_Xml);
}

INMResponsePtr ClientPlacedResponse(INMClient* provider, const std::wstring& id, const std::wstring& context)
{
    return V7Get(provider, &INMClient::PlacedResponse, _bstr_t(id.c_str()), _bstr_t(context.c_str()));
}

void SetInstrumentOptions(INMClient* provider, const InstrumentOptions& options)
{
    ForgetSentOptions();
    V7Call(provider, &INMClient::SetInstrumentOptions, static_cast<BSTR>(options.instrument),
           static_cast<BSTR>(options.hostVersion), static_cast<BSTR>(options.documentId),
           static_cast<BSTR>(options.containerId), static_cast<BSTR>(options.extra), options.mask);
}

bool InstrumentOptionsAlreadySent(INMClient* provider, long documentType, long mask)
{
    IUnknown* identity = IdentityOf(provider);
    return identity && g_sent.provider == identity && g_sent.documentType == documentType && g_sent.mask == mask;
}

bool SetInstrumentOptionsOnChange(INMClient* provider, long documentType, const InstrumentOptions& options)
{
    if (InstrumentOptionsAlreadySent(provider, documentType, options.mask))
        return false;
    SetInstrumentOptions(provider, options);
    g_sent = SentOptions{IdentityOf(provider), documentType, options.mask};
    return true;
}

namespace testhooks {

void ResetProviderConnection() noexcept
{
    g_ready = false;
    g_connectedQuietly = false;
    ForgetSentOptions();
}

} // namespace testhooks
