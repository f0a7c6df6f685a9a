#pragma once
// The site through which the VBScript engine reaches its host: the named items the script may use, the
// text of the last script error, and a security manager that refuses every URL action (so CreateObject
// and GetObject fail inside scripts). Its life is that of the VBScriptHost that owns it: the reference
// counts are not real and never delete it.
#include "core/com.h"

#include <activscp.h>
#include <urlmon.h>

#include <string>
#include <vector>

class VBScriptSite final : public IActiveScriptSite, public IInternetHostSecurityManager, public IServiceProvider {
public:
    VBScriptSite() = default;
    VBScriptSite(const VBScriptSite&) = delete;
    VBScriptSite& operator=(const VBScriptSite&) = delete;
    virtual ~VBScriptSite() = default;

    // Serves object to the engine under name (exact, case-sensitive).
    void AddItem(const std::wstring& name, IDispatch* object);
    void RemoveLastItem() noexcept;
    // The engine's last error as "<source>.\r\n<description>\r\nAt line <n>, pos <n>"; empty if none.
    const std::wstring& ErrorText() const noexcept { return errorText_; }

    // IUnknown (shared by the three bases)
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IActiveScriptSite
    STDMETHODIMP GetLCID(LCID* lcid) override;
    STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** typeInfo) override;
    STDMETHODIMP GetDocVersionString(BSTR* version) override;
    STDMETHODIMP OnScriptTerminate(const VARIANT* result, const EXCEPINFO* exception) override;
    STDMETHODIMP OnStateChange(SCRIPTSTATE state) override;
    STDMETHODIMP OnScriptError(IActiveScriptError* error) override;
    STDMETHODIMP OnEnterScript() override;
    STDMETHODIMP OnLeaveScript() override;

    // IInternetHostSecurityManager
    STDMETHODIMP GetSecurityId(BYTE* securityId, DWORD* size, DWORD_PTR reserved) override;
    STDMETHODIMP ProcessUrlAction(DWORD action, BYTE* policy, DWORD policySize, BYTE* context, DWORD contextSize,
                                  DWORD flags, DWORD reserved) override;
    STDMETHODIMP QueryCustomPolicy(REFGUID key, BYTE** policy, DWORD* policySize, BYTE* context, DWORD contextSize,
                                   DWORD reserved) override;

    // IServiceProvider
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    std::wstring errorText_;
    std::vector<std::wstring> names_;
    std::vector<IDispatchPtr> objects_;
};
