#include "core/vbscript_site.h"

#include "core/format_string.h"
#include "core/trace_log.h"
#include "core/unique.h"

#include <cstring>

namespace {

std::wstring Text(BSTR text)
{
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

} // namespace

void VBScriptSite::AddItem(const std::wstring& name, IDispatch* object)
{
    names_.push_back(name);
    try {
        objects_.emplace_back(object);
    } catch (...) {
        names_.pop_back();
        throw;
    }
}

void VBScriptSite::RemoveLastItem() noexcept
{
    if (!names_.empty()) {
        names_.pop_back();
        objects_.pop_back();
    }
}

STDMETHODIMP VBScriptSite::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    // The site is no dispatch object: IDispatch is refused like any other interface it does not have.
    if (iid == IID_IUnknown || iid == __uuidof(IActiveScriptSite))
        *object = static_cast<IActiveScriptSite*>(this);
    else if (iid == __uuidof(IServiceProvider))
        *object = static_cast<IServiceProvider*>(this);
    else if (iid == __uuidof(IInternetHostSecurityManager))
        *object = static_cast<IInternetHostSecurityManager*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

STDMETHODIMP VBScriptSite::GetLCID(LCID* lcid)
{
    if (!lcid)
        return E_POINTER;
    *lcid = GetSystemDefaultLCID();
    return S_OK;
}

STDMETHODIMP VBScriptSite::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** typeInfo)
{
    if (mask & SCRIPTINFO_ITYPEINFO) {
        if (!typeInfo)
            return E_INVALIDARG;
        *typeInfo = nullptr; // no type information is offered
    }
    if (item)
        *item = nullptr;
    if (!name)
        return E_INVALIDARG;
    for (size_t index = 0; index < names_.size(); ++index) {
        if (names_[index] == name) {
            if (item) {
                *item = objects_[index].GetInterfacePtr();
                if (*item)
                    (*item)->AddRef();
            }
            return S_OK;
        }
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP VBScriptSite::GetDocVersionString(BSTR*)
{
    return E_NOTIMPL;
}

STDMETHODIMP VBScriptSite::OnScriptTerminate(const VARIANT*, const EXCEPINFO*)
{
    return S_OK;
}

STDMETHODIMP VBScriptSite::OnStateChange(SCRIPTSTATE)
{
    return S_OK;
}

STDMETHODIMP VBScriptSite::OnScriptError(IActiveScriptError* error)
{
    if (!error)
        return E_POINTER;
    try {
        TraceScope scope(L"VBScriptSite::OnScriptError");
        UniqueExcepInfo owned;
        if (SUCCEEDED(error->GetExceptionInfo(owned.put()))) {
            EXCEPINFO& info = owned.get();
            if (info.pfnDeferredFillIn)
                info.pfnDeferredFillIn(&info);
            const std::wstring source = Text(info.bstrSource);
            std::wstring description = Text(info.bstrDescription);
            // Wine's engine reports some errors with neither text: the code at least tells them apart.
            if (source.empty() && description.empty()) {
                const HRESULT code = info.scode ? info.scode : static_cast<HRESULT>(info.wCode);
                description = FormatString(L"%x", _variant_t(static_cast<unsigned long>(code)));
            }
            errorText_ = FormatString(L"%s.\r\n%s\r\n", source.c_str(), description.c_str());
        }
        DWORD context = 0;
        ULONG line = 0;
        LONG position = 0;
        if (SUCCEEDED(error->GetSourcePosition(&context, &line, &position)))
            errorText_ += FormatString(L"At line %d, pos %d", _variant_t(static_cast<unsigned long>(line)),
                                       _variant_t(static_cast<long>(position)));
        scope.String(L"error", errorText_);
    } catch (...) {
        TraceCurrentException(L"VBScriptSite::OnScriptError");
    }
    return S_OK;
}

STDMETHODIMP VBScriptSite::OnEnterScript()
{
    return S_OK;
}

STDMETHODIMP VBScriptSite::OnLeaveScript()
{
    return S_OK;
}

STDMETHODIMP VBScriptSite::GetSecurityId(BYTE*, DWORD*, DWORD_PTR)
{
    return E_NOTIMPL;
}

STDMETHODIMP VBScriptSite::ProcessUrlAction(DWORD, BYTE* policy, DWORD policySize, BYTE*, DWORD, DWORD, DWORD)
{
    // Every URL action is disallowed: the policy is a DWORD when the buffer holds one.
    const DWORD disallow = URLPOLICY_DISALLOW;
    if (policy && policySize >= sizeof(disallow))
        std::memcpy(policy, &disallow, sizeof(disallow));
    else if (policy && policySize > 0)
        policy[0] = static_cast<BYTE>(disallow);
    return S_FALSE;
}

STDMETHODIMP VBScriptSite::QueryCustomPolicy(REFGUID, BYTE**, DWORD*, BYTE*, DWORD, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP VBScriptSite::QueryService(REFGUID service, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (service == __uuidof(IInternetHostSecurityManager))
        return QueryInterface(iid, object);
    *object = nullptr;
    return E_NOINTERFACE;
}
